#pragma once
// Baseline JPEG encoding of pictures with FFmpeg's MJPEG encoder: full-range 4:2:0, a fixed
// quantiser, single-threaded and bit-exact, so the same picture always gives the same bytes.
// Used for the synthetic camera's JPEG frames and for the frames of recorded movies.

#include <cstdint>

#include "platform/capture/frameconverter.h"

extern "C" {
#include <libavutil/rational.h>
}

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class TMjpegEncoder {
 public:
  TMjpegEncoder() = default;
  ~TMjpegEncoder();
  TMjpegEncoder(const TMjpegEncoder&) = delete;
  TMjpegEncoder& operator=(const TMjpegEncoder&) = delete;

  // Prepares for pictures of Width x Height. Quantiser: 2 (best) to 31. False when the encoder
  // cannot be opened.
  bool Configure(int Width, int Height, AVRational TimeBase, int Quantiser = 3);
  const AVCodecContext* Context() const { return FCodec; }

  // Encodes Source (any pixel format and size; converted first). The packet stays valid until
  // the next call; null on failure.
  AVPacket* Encode(const AVFrame& Source, int64_t Pts);

 private:
  void Release();

  AVCodecContext* FCodec = nullptr;
  AVFrame* FPicture = nullptr;
  AVPacket* FPacket = nullptr;
  TFrameConverter FConverter;
  int FQuantiser = 3;
};
