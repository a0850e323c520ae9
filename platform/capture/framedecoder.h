#pragma once
// One frame of a capture format as an FFmpeg picture, so one conversion path (libswscale) serves
// the decompressors, the AVI writer and the V4L2 driver. The raw layouts are copied into a
// buffer with the padding FFmpeg's readers may look into (libswscale reads past a picture's last
// row) and described there; JPEG and Y41P go through FFmpeg's decoders, single-threaded so that
// every run gives the same pixels. In steady state no frame-sized memory is allocated: the input
// buffer is kept and the decoders reuse their picture pools.

#include <cstdint>
#include <vector>

#include "platform/capture/videoformat.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVBufferRef;

class TFrameDecoder {
 public:
  TFrameDecoder();
  ~TFrameDecoder();
  TFrameDecoder(const TFrameDecoder&) = delete;
  TFrameDecoder& operator=(const TFrameDecoder&) = delete;

  // Prepares for frames of Format; false when this library cannot read it (see
  // IsReadableVideoFormat). Configuring the same format again keeps the decoder.
  bool Configure(const BITMAPINFOHEADER& Format);
  const BITMAPINFOHEADER& Format() const { return FFormat; }

  // The picture of one frame of the configured format in Data (Size bytes available; a JPEG may
  // use fewer). Valid until the next call or Configure. Null when the frame cannot be read:
  // too few bytes, a broken JPEG, nothing configured.
  const AVFrame* Decode(const uint8_t* Data, size_t Size);

 private:
  void Release();
  const AVFrame* DecodeWithCodec(const uint8_t* Data, size_t Size);

  BITMAPINFOHEADER FFormat{};
  TVideoCode FCode = TVideoCode::Unknown;
  AVCodecContext* FCodec = nullptr;
  AVFrame* FPicture = nullptr;
  AVPacket* FPacket = nullptr;
  // The frame with the zeroed padding FFmpeg's readers may look into; for a compressed frame,
  // wrapped once in a buffer reference that does not own it, so the decoder copies nothing.
  std::vector<uint8_t> FInput;
  AVBufferRef* FInputReference = nullptr;
};

// The length of the JPEG image at the start of Data: up to and including its end-of-image
// marker, or Size when there is none. Camera drivers hand out JPEG frames in buffers of the
// largest size; the decoder is given only the image.
size_t JpegImageLength(const uint8_t* Data, size_t Size);
