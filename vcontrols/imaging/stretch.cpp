#include "vcontrols/imaging/stretch.h"

#include <algorithm>
#include <cstring>

namespace vcfx {

void SmoothStretch(const TvcRaster& Source, const TvcRaster& Target, TvcEffectScratch& Scratch) {
  if (Source.Empty() || Target.Empty()) return;
  const int32_t stepX = ((Source.Width - 1) * 32768) / Target.Width;
  const int32_t stepY = ((Source.Height - 1) * 32768) / Target.Height;
  // Per target column: the byte offset of the left source pixel, of its right neighbour (itself
  // in a one-column source) and the 15-bit fraction between them.
  int32_t* left = Scratch.Table(0, size_t(Target.Width));
  int32_t* right = Scratch.Table(1, size_t(Target.Width));
  int32_t* fraction = Scratch.Table(2, size_t(Target.Width));
  int32_t fx = 0;
  for (int32_t x = 0; x < Target.Width; ++x, fx += stepX) {
    const int32_t column = fx >> 15;
    left[x] = 3 * column;
    right[x] = 3 * (Source.Width == 1 ? column : column + 1);
    fraction[x] = fx & 32767;
  }
  Scratch.Bands().RunRanges(Target.Height, int64_t(Target.Width) * 3, [&](int32_t First, int32_t End) {
    for (int32_t y = First; y < End; ++y) {
      const int32_t fy = y * stepY;
      const int32_t upperRow = fy >> 15;
      const uint8_t* upper = Source.Row(upperRow);
      const uint8_t* lower = Source.Row(Source.Height == 1 ? upperRow : upperRow + 1);
      const int32_t wy1 = fy & 32767, wy0 = 32768 - wy1;
      uint8_t* target = Target.Row(y);
      for (int32_t x = 0; x < Target.Width; ++x) {
        const int32_t f = fraction[x];
        const int32_t a = (f * wy0) >> 15, topLeft = wy0 - a;
        const int32_t b = (f * wy1) >> 15, bottomLeft = wy1 - b;
        const uint8_t* ul = upper + left[x];
        const uint8_t* ur = upper + right[x];
        const uint8_t* ll = lower + left[x];
        const uint8_t* lr = lower + right[x];
        for (int c = 0; c < 3; ++c)
          target[3 * x + c] = uint8_t((ul[c] * topLeft + ur[c] * a + ll[c] * bottomLeft + lr[c] * b) >> 15);
      }
    }
  });
}

void PlainStretch(const TvcRaster& Source, const TvcRaster& Target, TvcEffectScratch& Scratch) {
  if (Source.Empty() || Target.Empty()) return;
  int32_t* columns = Scratch.Table(0, size_t(Target.Width));
  for (int32_t x = 0; x < Target.Width; ++x)
    columns[x] = 3 * int32_t((int64_t(2 * x + 1) * Source.Width) / (2 * int64_t(Target.Width)));
  Scratch.Bands().RunRanges(Target.Height, int64_t(Target.Width) * 3, [&](int32_t First, int32_t End) {
    for (int32_t y = First; y < End; ++y) {
      const uint8_t* source =
          Source.Row(int32_t((int64_t(2 * y + 1) * Source.Height) / (2 * int64_t(Target.Height))));
      uint8_t* target = Target.Row(y);
      for (int32_t x = 0; x < Target.Width; ++x) {
        const uint8_t* pixel = source + columns[x];
        target[3 * x] = pixel[0];
        target[3 * x + 1] = pixel[1];
        target[3 * x + 2] = pixel[2];
      }
    }
  });
}

void TileCopy(const TvcRaster& Source, const TvcRaster& Target) {
  if (Source.Empty() || Target.Empty()) return;
  for (int32_t y = 0; y < Target.Height; ++y) {
    const uint8_t* source = Source.Row(y % Source.Height);
    uint8_t* target = Target.Row(y);
    for (int32_t x = 0; x < Target.Width; x += Source.Width)
      std::memcpy(target + 3 * size_t(x), source, 3 * size_t(std::min(Source.Width, Target.Width - x)));
  }
}

void CopyPixels(const TvcRaster& Source, const TvcRaster& Target) {
  const int32_t width = std::min(Source.Width, Target.Width), height = std::min(Source.Height, Target.Height);
  if (width <= 0 || height <= 0) return;
  if (Source.RowSize == Target.RowSize && Source.Width == Target.Width) {
    std::memcpy(Target.Pixels, Source.Pixels, size_t(Source.RowSize) * (height - 1) + 3 * size_t(width));
    return;
  }
  for (int32_t y = 0; y < height; ++y) std::memcpy(Target.Row(y), Source.Row(y), 3 * size_t(width));
}

}  // namespace vcfx
