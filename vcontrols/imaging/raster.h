#pragma once
// The pixel rows the bitmap effects work on: 24-bit pixels (blue, green, red), top row first,
// every row RowSize bytes long. Only the first 3 x Width bytes of a row are pixels; the bytes
// after them pad the row to the bitmap's row size and are never written by an effect.

#include <cstddef>
#include <cstdint>

#include "platform/gdi/colors.h"

// One pixel as it lies in memory.
struct TvcPixel {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;

  friend bool operator==(const TvcPixel&, const TvcPixel&) = default;
};
static_assert(sizeof(TvcPixel) == 3, "a pixel is three bytes");

// A view of a bitmap's pixel rows; it owns nothing.
struct TvcRaster {
  uint8_t* Pixels = nullptr;  // first byte of the top row
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RowSize = 0;  // bytes from one row to the next

  bool Empty() const { return Pixels == nullptr || Width <= 0 || Height <= 0; }
  uint8_t* Row(int32_t Y) const { return Pixels + ptrdiff_t(Y) * RowSize; }
  uint8_t* At(int32_t X, int32_t Y) const { return Row(Y) + ptrdiff_t(X) * 3; }
  size_t ImageSize() const { return size_t(RowSize) * size_t(Height); }
};

// The bitmap's own row size: three bytes a pixel plus Width mod 4 pad bytes, which is the
// 4-byte-aligned size of a 24-bit row.
constexpr int32_t vcRowSize(int32_t Width) {
  return 3 * Width + Width % 4;
}

constexpr uint8_t ClampByte(int32_t Value) {
  return Value < 0 ? 0 : Value > 255 ? 255 : uint8_t(Value);
}

constexpr int32_t ClampInt(int32_t Value, int32_t Low, int32_t High) {
  return Value > High ? High : Value < Low ? Low : Value;
}

inline void MakePixel(int32_t Red, int32_t Green, int32_t Blue, TvcPixel& Pixel) {
  Pixel.Red = uint8_t(Red);
  Pixel.Green = uint8_t(Green);
  Pixel.Blue = uint8_t(Blue);
}

// System colours are resolved first; the pixel gets the colour's blue, green and red bytes.
void ColorToBGR(TColor Color, TvcPixel& Pixel);
// The colour (red + green x 256 + blue x 65536) of a pixel.
TColor PixelToColor(const TvcPixel& Pixel);

inline TvcPixel ReadPixel(const uint8_t* Bytes) {
  return TvcPixel{Bytes[0], Bytes[1], Bytes[2]};
}
inline bool SamePixel(const uint8_t* Bytes, const TvcPixel& Pixel) {
  return Bytes[0] == Pixel.Blue && Bytes[1] == Pixel.Green && Bytes[2] == Pixel.Red;
}
