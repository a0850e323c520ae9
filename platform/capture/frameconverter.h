#pragma once
// Pixel format and size conversion of one picture with libswscale, keeping the conversion
// context between frames. Colour ranges are set explicitly: studio-range BT.601 for the packed
// YUV formats, full range for grey and JPEG, so every source is read as its format means.

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
struct SwsContext;

class TFrameConverter {
 public:
  TFrameConverter() = default;
  ~TFrameConverter();
  TFrameConverter(const TFrameConverter&) = delete;
  TFrameConverter& operator=(const TFrameConverter&) = delete;

  // Writes Source as Width x Height pixels of Target into the planes. A negative stride with the
  // plane pointing at the last row writes the picture bottom-up (a DIB). False when libswscale
  // cannot convert between the two.
  bool Convert(const AVFrame& Source, AVPixelFormat Target, int Width, int Height,
               uint8_t* const Planes[4], const int Strides[4]);

  // Convenience: a bottom-up DIB of 24 or 32 bits per pixel at Bits, rows padded to 4 bytes.
  bool ConvertToDib(const AVFrame& Source, int Width, int Height, int BitCount, uint8_t* Bits);

 private:
  SwsContext* FContext = nullptr;
  int FSourceWidth = 0, FSourceHeight = 0, FSourceFormat = -1, FSourceRange = -1;
  int FTargetWidth = 0, FTargetHeight = 0, FTargetFormat = -1;
};
