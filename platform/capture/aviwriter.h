#pragma once
// Writes a movie of captured frames as an AVI file through libavformat: one MJPEG video stream
// at a fixed frame rate, every frame a baseline JPEG (so any player opens it), switching to
// OpenDML (further RIFF chunks and their own index) once the file passes 1 GB.
//
// The movie is written under the final name plus ".part" and renamed when complete, so a reader
// never sees half a movie under the real name; a movie that fails or is discarded leaves no
// file behind (and whatever had the final name stays as it was).

#include <cstdint>
#include <string>

#include "platform/capture/framedecoder.h"
#include "platform/capture/mjpegencoder.h"

struct AVFormatContext;
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
  // read is left out the same way. False when the file cannot be written.
  bool Write(const uint8_t* Data, size_t Size, int64_t Index);

  // Completes the movie and gives it its final name. False (and no file) on failure.
  bool Finish();
  // Drops the movie.
  void Discard();

  bool IsOpen() const { return FOutput != nullptr; }
  const std::string& Error() const { return FError; }
  int64_t FramesWritten() const { return FFramesWritten; }
  static std::string TemporaryName(const std::string& Path) { return Path + ".part"; }

 private:
  void Close();
  bool Fail(const std::string& Text);

  AVFormatContext* FOutput = nullptr;
  AVStream* FStream = nullptr;
  AVRational FFrameDuration{1, 1};
  TFrameDecoder FDecoder;
  TMjpegEncoder FEncoder;
  std::string FPath;
  std::string FError;
  int64_t FFramesWritten = 0;
  int64_t FLastIndex = -1;
};
