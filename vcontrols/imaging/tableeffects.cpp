// The per-channel effects: grey scale, lightness, contrast, invert, tint, colour, saturation and
// the alpha blend. Each is a fixed function of a pixel (and of the blend pixel), so rows are
// independent: each row is one loop the compiler vectorises, and the rows are cut into bands
// for the worker threads. Where a rule is given as a table of 256 entries, the loop computes the same entry
// arithmetically in 16-bit lanes for the amounts where that is exact, and falls back to the table elsewhere.

#include <cstring>

#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/vectorpath.h"
#include "vcontrols/imaging/widekernels.h"

namespace vcfx {

namespace {

// v div 3 for v = 0 ... 255 without a division: v x 171 / 512 exceeds v / 3 by less than the
// gap to the next multiple of 3. Written as the high half of v x 21888 (171 x 128), which the
// vector units compute in one instruction.
VC_KERNEL uint16_t Third(uint16_t Value) {
  return uint16_t((uint32_t(Value) * 21888u) >> 16);
}

VC_KERNEL void TableBytes(uint8_t* p, int32_t Count, const uint8_t* Table) {
  for (int32_t i = 0; i < Count; ++i) p[i] = Table[p[i]];
}

// --- kernels over one row ----------------------------------------------------------------------
// Each takes a row pointer and a count of pixels or bytes, so that the hand-written wide forms
// can do a prefix and these the rest.

VC_KERNEL void GrayPixels(uint8_t* __restrict p, int32_t Count) {
  for (int32_t x = 0; x < Count; ++x) {
    const uint8_t gray = uint8_t(Third(p[3 * x]) + Third(p[3 * x + 1]) + Third(p[3 * x + 2]));
    p[3 * x] = gray;
    p[3 * x + 1] = gray;
    p[3 * x + 2] = gray;
  }
}

// 0 < Amount < 256: i + ((255 - i) x Amount) shr 8 never passes 255.
VC_KERNEL void LightenBytes(uint8_t* __restrict p, int32_t Count, uint16_t Amount) {
  for (int32_t i = 0; i < Count; ++i) {
    const uint16_t value = p[i];
    p[i] = uint8_t(value + (uint16_t(uint16_t(255 - value) * Amount) >> 8));
  }
}

// 0 < Amount < 256 (the magnitude of a negative lightness): i - (i x Amount) shr 8 stays >= 0.
VC_KERNEL void DarkenBytes(uint8_t* __restrict p, int32_t Count, uint16_t Amount) {
  for (int32_t i = 0; i < Count; ++i) {
    const uint16_t value = p[i];
    p[i] = uint8_t(value - (uint16_t(value * Amount) >> 8));
  }
}

// |Amount| < 512: the spread (|128 - i| x |Amount|) shr 8 is at most 255; it has the sign of
// Amount (truncated toward zero), and values 127 and up move by +spread, values below by -spread.
VC_KERNEL void ContrastBytes(uint8_t* __restrict p, int32_t Count, uint16_t Magnitude, bool Negative) {
  for (int32_t i = 0; i < Count; ++i) {
    const int32_t value = p[i];
    const int32_t spread = ((value >= 128 ? value - 128 : 128 - value) * Magnitude) >> 8;
    const bool up = (value >= 127) != Negative;
    p[i] = ClampByte(up ? value + spread : value - spread);
  }
}

VC_KERNEL void InvertBytes(uint8_t* __restrict p, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) p[i] = uint8_t(~p[i]);
}

VC_KERNEL uint8_t AddClamped(uint8_t Value, int16_t Offset) {
  int16_t sum = int16_t(Value + Offset);
  sum = sum < 0 ? 0 : sum > 255 ? 255 : sum;
  return uint8_t(sum);
}

// Offsets are limited to -255 ... 255 first, which changes no clamped result.
VC_KERNEL void OffsetPixels(uint8_t* __restrict p, int32_t Count, int16_t Blue, int16_t Green, int16_t Red) {
  for (int32_t x = 0; x < Count; ++x) {
    p[3 * x] = AddClamped(p[3 * x], Blue);
    p[3 * x + 1] = AddClamped(p[3 * x + 1], Green);
    p[3 * x + 2] = AddClamped(p[3 * x + 2], Red);
  }
}

VC_KERNEL void OffsetPixelsKeyed(uint8_t* __restrict p, int32_t Count, int16_t Blue, int16_t Green,
                                 int16_t Red, TvcPixel Key) {
  for (int32_t x = 0; x < Count; ++x) {
    if (SamePixel(p + 3 * x, Key)) continue;
    p[3 * x] = AddClamped(p[3 * x], Blue);
    p[3 * x + 1] = AddClamped(p[3 * x + 1], Green);
    p[3 * x + 2] = AddClamped(p[3 * x + 2], Red);
  }
}

// The scale (i x Amount) shr 8 for 0 <= Amount < 32640 stays below 32512, so differences of two
// scales plus a grey level fit 16 bits.
VC_KERNEL void SaturationPixels(uint8_t* __restrict p, int32_t Count, uint16_t Amount) {
  for (int32_t x = 0; x < Count; ++x) {
    const int32_t b = p[3 * x], g = p[3 * x + 1], r = p[3 * x + 2];
    const int32_t gray = Third(uint16_t(b)) + Third(uint16_t(g)) + Third(uint16_t(r));
    const int32_t base = gray - ((gray * Amount) >> 8);
    p[3 * x] = ClampByte(base + ((b * Amount) >> 8));
    p[3 * x + 1] = ClampByte(base + ((g * Amount) >> 8));
    p[3 * x + 2] = ClampByte(base + ((r * Amount) >> 8));
  }
}

// c + floor(a (b - c) / 256) = (c (256 - a) + b a) shr 8, whose sum stays below 65536 for
// 0 <= a <= 255.
VC_KERNEL uint8_t Blend(uint16_t Value, uint16_t Other, uint16_t Amount) {
  return uint8_t(uint16_t(Value * uint16_t(256 - Amount) + Other * Amount) >> 8);
}

VC_KERNEL void BlendBytes(uint8_t* __restrict p, const uint8_t* __restrict b, int32_t Count,
                          uint16_t Amount) {
  for (int32_t i = 0; i < Count; ++i) p[i] = Blend(p[i], b[i], Amount);
}

VC_KERNEL void BlendPixelsKeyed(uint8_t* __restrict p, const uint8_t* __restrict s, int32_t Count,
                                uint16_t Amount, TvcPixel Key) {
  for (int32_t x = 0; x < Count; ++x) {
    if (SamePixel(s + 3 * x, Key)) continue;
    for (int c = 0; c < 3; ++c) p[3 * x + c] = Blend(p[3 * x + c], s[3 * x + c], Amount);
  }
}

// The byte kernels the compiler vectorises by itself, compiled once more for the wide path.
VC_WIDE_TARGET __attribute__((noinline)) void LightenBytesWide(uint8_t* p, int32_t Count, uint16_t Amount) {
  LightenBytes(p, Count, Amount);
}
VC_WIDE_TARGET __attribute__((noinline)) void DarkenBytesWide(uint8_t* p, int32_t Count, uint16_t Amount) {
  DarkenBytes(p, Count, Amount);
}
VC_WIDE_TARGET __attribute__((noinline)) void InvertBytesWide(uint8_t* p, int32_t Count) {
  InvertBytes(p, Count);
}
VC_WIDE_TARGET __attribute__((noinline)) void OffsetPixelsWide(uint8_t* p, int32_t Count, int16_t Blue,
                                                               int16_t Green, int16_t Red) {
  OffsetPixels(p, Count, Blue, Green, Red);
}
VC_WIDE_TARGET __attribute__((noinline)) void BlendBytesWide(uint8_t* p, const uint8_t* b, int32_t Count,
                                                             uint16_t Amount) {
  BlendBytes(p, b, Count, Amount);
}

int64_t RowBytes(const TvcRaster& Image) {
  return int64_t(Image.Width) * 3;
}

// Runs Row(row pointer) for every row, the rows cut into bands.
template <class TRow>
void ForEachRow(const TvcRaster& Image, TvcEffectScratch& Scratch, const TRow& Row) {
  Scratch.Bands().RunRanges(Image.Height, RowBytes(Image), [&](int32_t First, int32_t End) {
    for (int32_t y = First; y < End; ++y) Row(Image.Row(y));
  });
}

void FillRows(const TvcRaster& Image, uint8_t Value, TvcEffectScratch& Scratch) {
  ForEachRow(Image, Scratch, [&](uint8_t* Row) { std::memset(Row, Value, size_t(Image.Width) * 3); });
}

int16_t OffsetLimit(int32_t Offset) {
  return int16_t(ClampInt(Offset, -255, 255));
}

}  // namespace

void ApplyGrayScale(const TvcRaster& Image, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  const bool wide = vcUseWidePath();
  ForEachRow(Image, Scratch, [&](uint8_t* Row) {
    const int32_t done = wide ? vcwide::GrayPixels(Row, Image.Width) : 0;
    GrayPixels(Row + 3 * done, Image.Width - done);
  });
}

void ApplyLightness(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch) {
  if (Image.Empty() || Amount == 0) return;
  if (Amount >= 256) return FillRows(Image, 255, Scratch);
  if (Amount <= -256) return FillRows(Image, 0, Scratch);
  const bool wide = vcUseWidePath();
  const uint16_t magnitude = uint16_t(Amount > 0 ? Amount : -Amount);
  const int32_t count = Image.Width * 3;
  ForEachRow(Image, Scratch, [&](uint8_t* Row) {
    if (Amount > 0)
      wide ? LightenBytesWide(Row, count, magnitude) : LightenBytes(Row, count, magnitude);
    else
      wide ? DarkenBytesWide(Row, count, magnitude) : DarkenBytes(Row, count, magnitude);
  });
}

void ApplyContrast(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch) {
  if (Image.Empty() || Amount == 0) return;
  const int32_t count = Image.Width * 3;
  if (Amount > -512 && Amount < 512) {
    const bool wide = vcUseWidePath();
    const uint16_t magnitude = uint16_t(Amount < 0 ? -Amount : Amount);
    ForEachRow(Image, Scratch, [&](uint8_t* Row) {
      const int32_t done = wide ? vcwide::ContrastBytes(Row, count, magnitude, Amount < 0) : 0;
      ContrastBytes(Row + done, count - done, magnitude, Amount < 0);
    });
    return;
  }
  uint8_t table[256];
  for (int64_t i = 0; i < 256; ++i) {
    const int64_t spread = ((i < 128 ? 128 - i : i - 128) * Amount) / 256;
    table[i] = ClampByte(int32_t(i <= 126 ? i - spread : i + spread));
  }
  ForEachRow(Image, Scratch, [&](uint8_t* Row) { TableBytes(Row, count, table); });
}

void ApplyInvert(const TvcRaster& Image, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  const bool wide = vcUseWidePath();
  const int32_t count = Image.Width * 3;
  ForEachRow(Image, Scratch,
             [&](uint8_t* Row) { wide ? InvertBytesWide(Row, count) : InvertBytes(Row, count); });
}

namespace {

void ApplyOffsets(const TvcRaster& Image, int16_t Blue, int16_t Green, int16_t Red, const TvcPixel* Key,
                  TvcEffectScratch& Scratch) {
  const bool wide = vcUseWidePath();
  ForEachRow(Image, Scratch, [&](uint8_t* Row) {
    if (Key) {
      const int32_t done = wide ? vcwide::OffsetPixelsKeyed(Row, Image.Width, Blue, Green, Red, *Key) : 0;
      OffsetPixelsKeyed(Row + 3 * done, Image.Width - done, Blue, Green, Red, *Key);
    } else {
      wide ? OffsetPixelsWide(Row, Image.Width, Blue, Green, Red)
           : OffsetPixels(Row, Image.Width, Blue, Green, Red);
    }
  });
}

}  // namespace

void ApplyTint(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  ApplyOffsets(Image, OffsetLimit(Blue), OffsetLimit(Green), OffsetLimit(Red), nullptr, Scratch);
}

void ApplyColor(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, const TvcPixel* Key,
                TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  // Limit each offset before taking 192 off, so that no sum can leave 32 bits.
  ApplyOffsets(Image, OffsetLimit(ClampInt(Blue, -1024, 1024) - 192),
               OffsetLimit(ClampInt(Green, -1024, 1024) - 192), OffsetLimit(ClampInt(Red, -1024, 1024) - 192),
               Key, Scratch);
}

void ApplySaturation(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  if (Amount >= 0 && Amount < 32640) {
    const bool wide = vcUseWidePath();
    ForEachRow(Image, Scratch, [&](uint8_t* Row) {
      const int32_t done = wide ? vcwide::SaturationPixels(Row, Image.Width, uint16_t(Amount)) : 0;
      SaturationPixels(Row + 3 * done, Image.Width - done, uint16_t(Amount));
    });
    return;
  }
  // Negative amounts and amounts far past the offered range: the 16-bit scale table as the rule
  // states it.
  int16_t scale[256];
  for (int32_t i = 0; i < 256; ++i) scale[i] = int16_t((int64_t(i) * Amount) >> 8);
  ForEachRow(Image, Scratch, [&](uint8_t* Row) {
    uint8_t* p = Row;
    for (int32_t x = 0; x < Image.Width; ++x, p += 3) {
      const int32_t gray = p[0] / 3 + p[1] / 3 + p[2] / 3;
      for (int c = 0; c < 3; ++c) p[c] = ClampByte(gray + scale[p[c]] - scale[gray]);
    }
  });
}

void ApplyAlphaBlend(const TvcRaster& Image, const TvcRaster& Blend, int32_t Amount, const TvcPixel* Key,
                     TvcEffectScratch& Scratch) {
  if (Image.Empty() || Blend.Width != Image.Width || Blend.Height != Image.Height) return;
  // Runs Pair(image row, blend row) for every row, the rows cut into bands.
  const auto forEachPair = [&](const auto& Pair) {
    Scratch.Bands().RunRanges(Image.Height, 2 * RowBytes(Image), [&](int32_t First, int32_t End) {
      for (int32_t y = First; y < End; ++y) Pair(Image.Row(y), Blend.Row(y));
    });
  };
  if (Amount >= 0 && Amount <= 255) {
    const bool wide = vcUseWidePath();
    forEachPair([&](uint8_t* Row, const uint8_t* BlendRow) {
      if (Key) {
        const int32_t done =
            wide ? vcwide::BlendPixelsKeyed(Row, BlendRow, Image.Width, uint16_t(Amount), *Key) : 0;
        BlendPixelsKeyed(Row + 3 * done, BlendRow + 3 * done, Image.Width - done, uint16_t(Amount), *Key);
      } else {
        wide ? BlendBytesWide(Row, BlendRow, Image.Width * 3, uint16_t(Amount))
             : BlendBytes(Row, BlendRow, Image.Width * 3, uint16_t(Amount));
      }
    });
    return;
  }
  // An amount outside a byte: the difference table with byte arithmetic, as the rule states it.
  int32_t table[511];
  for (int32_t d = -255; d <= 255; ++d) table[d + 255] = int32_t((int64_t(Amount) * d) >> 8);
  forEachPair([&](uint8_t* Row, const uint8_t* BlendRow) {
    uint8_t* p = Row;
    const uint8_t* b = BlendRow;
    for (int32_t x = 0; x < Image.Width; ++x, p += 3, b += 3) {
      if (Key && SamePixel(b, *Key)) continue;
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] + table[b[c] - p[c] + 255]);
    }
  });
}

void MakeMask(const TvcRaster& Image, const TvcPixel& Key) {
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* p = Image.Row(y);
    for (int32_t x = 0; x < Image.Width; ++x, p += 3) {
      const uint8_t value = SamePixel(p, Key) ? 0 : 255;
      p[0] = p[1] = p[2] = value;
    }
  }
}

void ReplaceColor(const TvcRaster& Image, const TvcPixel& OldPixel, const TvcPixel& NewPixel) {
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* p = Image.Row(y);
    for (int32_t x = 0; x < Image.Width; ++x, p += 3)
      if (SamePixel(p, OldPixel)) {
        p[0] = NewPixel.Blue;
        p[1] = NewPixel.Green;
        p[2] = NewPixel.Red;
      }
  }
}

}  // namespace vcfx
