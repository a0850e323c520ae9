#include "platform/gdi/imagefile/bgraimage.h"

#include <string>

TPixelView BottomUpView(const uint8_t* Bits, ptrdiff_t Stride, int32_t Width, int32_t Height,
                        TPixelLayout Format) {
  const uint8_t* Top = Height > 0 ? Bits + (Height - 1) * Stride : Bits;
  return TPixelView{Top, -Stride, Width, Height, Format};
}

TPixelView TopDownView(const uint8_t* Bits, ptrdiff_t Stride, int32_t Width, int32_t Height,
                       TPixelLayout Format) {
  return TPixelView{Bits, Stride, Width, Height, Format};
}

uint32_t TBgraImage::PixelAt(int32_t X, int32_t Y) const {
  const uint8_t* Pixel = Row(Y) + size_t(X) * 4;
  return uint32_t(Pixel[0]) | uint32_t(Pixel[1]) << 8 | uint32_t(Pixel[2]) << 16 | uint32_t(Pixel[3]) << 24;
}

void TBgraImage::Resize(int32_t NewWidth, int32_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
  Pixels.resize(size_t(NewWidth) * size_t(NewHeight) * 4);
}

void CheckImageSize(int64_t Width, int64_t Height, const TImageLimits& Limits, const char* What) {
  if (Width <= 0 || Height <= 0) throw EInvalidGraphic(std::string(What) + " image is not valid");
  if (Width > Limits.MaxWidth || Height > Limits.MaxHeight || Width * Height > Limits.MaxPixels)
    throw EGraphicTooLarge(std::string(What) + " image is too large");
}
