#pragma once
// The plain pixel containers that every image file reader returns and every writer accepts.
//
// Readers hand back a TBgraImage: 32 bits per pixel in the byte order blue, green, red, alpha,
// rows top-down without padding, alpha STRAIGHT (colour bytes are not multiplied by alpha), so a
// caller that composites (watermark over black, icon over a background) does its own arithmetic.
//
// Writers read a TPixelView: a first-row pointer, a signed stride and a pixel format. A bottom-up
// device-independent bitmap is viewed with Top pointing at its LAST row in memory and a negative
// stride, so writers walk any DIB in display order without copying it first.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/exceptions.h"

enum class TPixelLayout : uint8_t {
  Bgr24,   // blue, green, red
  Bgrx32,  // blue, green, red, unused
  Bgra32,  // blue, green, red, straight alpha
};

constexpr int32_t BytesPerPixel(TPixelLayout Format) {
  return Format == TPixelLayout::Bgr24 ? 3 : 4;
}

struct TPixelView {
  const uint8_t* Top = nullptr;  // the row shown at the top
  ptrdiff_t Stride = 0;          // bytes from one displayed row to the next; negative for bottom-up
  int32_t Width = 0;
  int32_t Height = 0;
  TPixelLayout Format = TPixelLayout::Bgra32;

  const uint8_t* Row(int32_t Y) const { return Top + Y * Stride; }
};

// Views of a DIB's memory, where Bits is the first row in memory (the bottom row of a bottom-up DIB).
TPixelView BottomUpView(const uint8_t* Bits, ptrdiff_t Stride, int32_t Width, int32_t Height,
                        TPixelLayout Format);
TPixelView TopDownView(const uint8_t* Bits, ptrdiff_t Stride, int32_t Width, int32_t Height,
                       TPixelLayout Format);

// Upper bounds a reader checks before it allocates pixels, so a tiny file that claims a huge
// picture fails cleanly instead of exhausting memory.
struct TImageLimits {
  int32_t MaxWidth = 32768;
  int32_t MaxHeight = 32768;
  int64_t MaxPixels = int64_t(1) << 26;  // 64 M pixels: 256 MB of BGRA
};

struct TBgraImage {
  int32_t Width = 0;
  int32_t Height = 0;
  // The file carried transparency: an alpha channel, a transparent palette entry or mask. The
  // pixels' alpha bytes are valid either way (255 where the file has none).
  bool HasAlpha = false;
  std::vector<uint8_t> Pixels;  // Height rows of Width * 4 bytes, top row first

  uint8_t* Row(int32_t Y) { return Pixels.data() + size_t(Y) * size_t(Width) * 4; }
  const uint8_t* Row(int32_t Y) const { return Pixels.data() + size_t(Y) * size_t(Width) * 4; }
  // Blue, green, red, alpha of one pixel, as 0xAARRGGBB.
  uint32_t PixelAt(int32_t X, int32_t Y) const;
  bool Empty() const { return Width == 0 || Height == 0; }

  // Sets the size and allocates the rows, reusing the buffer's capacity. The contents are
  // unspecified (old bytes or zeros).
  void Resize(int32_t NewWidth, int32_t NewHeight);
  TPixelView View() const {
    return TPixelView{Pixels.data(), ptrdiff_t(Width) * 4, Width, Height, TPixelLayout::Bgra32};
  }
};

// What the readers raise for a picture that breaks the limits they were given: an
// EInvalidGraphic, told apart by callers that refuse such a picture in words of their own.
KORCAM_EXCEPTION(EGraphicTooLarge, EInvalidGraphic);

// Raises EGraphicTooLarge("<What> image is too large") when Width x Height breaks the limits and
// EInvalidGraphic("<What> image is not valid") when either is not positive.
void CheckImageSize(int64_t Width, int64_t Height, const TImageLimits& Limits, const char* What);
