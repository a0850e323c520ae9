#pragma once
// Reads single frames of a video stream of an AVI file through libavformat and FFmpeg's
// decoders, for still pictures of movies. Only the AVI container is read; any video codec FFmpeg
// decodes is taken, single-threaded. Pictures larger than MaxVideoDimension either way are
// refused, so a damaged or hostile file cannot make the reader allocate without bound.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/capture/frameconverter.h"
#include "platform/capture/videoformat.h"

extern "C" {
#include <libavutil/rational.h>
}

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;

class TAviReader {
 public:
  TAviReader() = default;
  ~TAviReader();
  TAviReader(const TAviReader&) = delete;
  TAviReader& operator=(const TAviReader&) = delete;

  // Opens the video stream number StreamIndex (0: the first) of the AVI file. False when the
  // file is no AVI file, has no such stream or no decoder for it.
  bool Open(const std::string& Path, int StreamIndex = 0);
  void Close();

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Frames in the stream (empty frames, which repeat the previous picture, included).
  int64_t FrameCount() const { return FFrameCount; }
  // Seconds per frame.
  AVRational FrameDuration() const { return FFrameDuration; }

  // The picture of frame Position as a packed bitmap: a 40-byte BITMAPINFOHEADER (24 bits,
  // bottom-up, image size set) followed by the rows. Valid until the next call or Close; null
  // for a position outside the stream or a frame that cannot be decoded.
  const uint8_t* FrameAt(int64_t Position);

 private:
  bool DecodeAt(int64_t Position);

  AVFormatContext* FInput = nullptr;
  AVCodecContext* FCodec = nullptr;
  AVPacket* FPacket = nullptr;
  AVFrame* FPicture = nullptr;
  TFrameConverter FConverter;
  int FStream = -1;
  int FWidth = 0, FHeight = 0;
  int64_t FFrameCount = 0;
  AVRational FFrameDuration{1, 1};
  AVRational FTimeBase{1, 1};
  std::vector<uint8_t> FDib;
  int64_t FDibPosition = -1;
  // The position of the next packet when reading straight on; -1 when a seek is needed.
  int64_t FNextPosition = -1;
};
