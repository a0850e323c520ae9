#pragma once
// Writes a movie of captured frames as an AVI file through libavformat: one MJPEG video stream
// at a fixed frame rate, every frame a baseline JPEG (so any player opens it), switching to
// OpenDML (further RIFF chunks and their own index) once the file passes 1 GB.
//
// The movie is written under the final name plus ".part" and renamed when complete, so a reader
// never sees half a movie under the real name. A movie that cannot be written on (a full disk, a
// device gone) ends at its last whole frame: it is finished there and gets its name, so what was
// recorded plays; one without a single frame, or one that is discarded, leaves no file behind
// (and whatever had the final name stays as it was). A ".part" that a program ending in the
// middle of a movie left under the same name is recovered when the next movie starts there (see
// RecoverUnfinishedMovie). Each frame reaches the file as soon as it is written.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/capture/framedecoder.h"
#include "platform/capture/mjpegencoder.h"
#include "platform/capture/moviefile.h"

struct AVFormatContext;
struct AVIOContext;
struct AVStream;

class TAviWriter {
 public:
  TAviWriter() = default;
  ~TAviWriter();  // an unfinished movie is discarded
  TAviWriter(const TAviWriter&) = delete;
  TAviWriter& operator=(const TAviWriter&) = delete;

  // Starts a movie of frames in Format (any format this library reads), one frame every
  // MicroSecondsPerFrame. False, with Error() saying why, when the file cannot be created.
  bool Open(const std::string& Path, const BITMAPINFOHEADER& Format, uint32_t MicroSecondsPerFrame);

  // Adds the frame in Data (Size bytes of the format) as frame number Index; indices must grow.
  // Frames skipped between two indices show the previous picture. A frame whose bytes cannot be
  // read is left out the same way. False when the file cannot be written: the movie is then
  // closed, kept up to its last whole frame when it has one (Kept, FramesWritten), and Error
  // says why it ended.
  bool Write(const uint8_t* Data, size_t Size, int64_t Index);

  // Completes the movie and gives it its final name. False when that fails; the movie is then
  // kept up to its last whole frame when it can be, as after a failed Write.
  bool Finish();
  // Drops the movie.
  void Discard();

  bool IsOpen() const { return FOutput != nullptr; }
  const std::string& Error() const { return FError; }
  // The frames of the movie: written so far, or kept after a failure.
  int64_t FramesWritten() const { return FFramesWritten; }
  // After a failure: whether the frames before it were kept as the movie.
  bool Kept() const { return FKept; }
  static std::string TemporaryName(const std::string& Path) { return Path + ".part"; }

 private:
  void CloseOutput();
  // Open failed: nothing is kept.
  bool Fail(const std::string& Text);
  // Writing failed: the movie ends at its last whole frame.
  bool Cut(const std::string& Text);

  AVFormatContext* FOutput = nullptr;
  AVIOContext* FIo = nullptr;
  AVStream* FStream = nullptr;
  AVRational FFrameDuration{1, 1};
  TMovieFile FFile;
  // What the muxer's output reaches: the file, and the muxer's position in it.
  std::pair<TMovieFile*, int64_t> FPosition{nullptr, 0};
  TFrameDecoder FDecoder;
  TMjpegEncoder FEncoder;
  std::string FPath;
  std::string FError;
  int64_t FFramesWritten = 0;
  int64_t FLastIndex = -1;
  bool FKept = false;
};
