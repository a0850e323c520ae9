// The per-channel effects: grey scale, lightness, contrast, invert, tint, colour, saturation and
// the alpha blend. Each is a fixed function of a pixel (and of the blend pixel), so rows are
// independent and each row is one loop the compiler vectorises. Where a rule is given as a
// table of 256 entries, the loop computes the same entry arithmetically in 16-bit lanes for the
// amounts where that is exact, and falls back to the table elsewhere.

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

VC_KERNEL void ApplyTableRows(const TvcRaster& Image, const uint8_t* Table) {
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* p = Image.Row(y);
    const int32_t count = Image.Width * 3;
    for (int32_t i = 0; i < count; ++i) p[i] = Table[p[i]];
  }
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

void FillRows(const TvcRaster& Image, uint8_t Value) {
  for (int32_t y = 0; y < Image.Height; ++y) std::memset(Image.Row(y), Value, size_t(Image.Width) * 3);
}

int16_t OffsetLimit(int32_t Offset) {
  return int16_t(ClampInt(Offset, -255, 255));
}

}  // namespace

void ApplyGrayScale(const TvcRaster& Image) {
  if (Image.Empty()) return;
  const bool wide = vcUseWidePath();
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* row = Image.Row(y);
    const int32_t done = wide ? vcwide::GrayPixels(row, Image.Width) : 0;
    GrayPixels(row + 3 * done, Image.Width - done);
  }
}

void ApplyLightness(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty() || Amount == 0) return;
  if (Amount >= 256) return FillRows(Image, 255);
  if (Amount <= -256) return FillRows(Image, 0);
  const bool wide = vcUseWidePath();
  const uint16_t magnitude = uint16_t(Amount > 0 ? Amount : -Amount);
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* row = Image.Row(y);
    if (Amount > 0)
      wide ? LightenBytesWide(row, Image.Width * 3, magnitude)
           : LightenBytes(row, Image.Width * 3, magnitude);
    else
      wide ? DarkenBytesWide(row, Image.Width * 3, magnitude) : DarkenBytes(row, Image.Width * 3, magnitude);
  }
}

void ApplyContrast(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty() || Amount == 0) return;
  if (Amount > -512 && Amount < 512) {
    const bool wide = vcUseWidePath();
    const uint16_t magnitude = uint16_t(Amount < 0 ? -Amount : Amount);
    for (int32_t y = 0; y < Image.Height; ++y) {
      uint8_t* row = Image.Row(y);
      const int32_t done = wide ? vcwide::ContrastBytes(row, Image.Width * 3, magnitude, Amount < 0) : 0;
      ContrastBytes(row + done, Image.Width * 3 - done, magnitude, Amount < 0);
    }
    return;
  }
  uint8_t table[256];
  for (int64_t i = 0; i < 256; ++i) {
    const int64_t spread = ((i < 128 ? 128 - i : i - 128) * Amount) / 256;
    table[i] = ClampByte(int32_t(i <= 126 ? i - spread : i + spread));
  }
  ApplyTableRows(Image, table);
}

void ApplyInvert(const TvcRaster& Image) {
  if (Image.Empty()) return;
  const bool wide = vcUseWidePath();
  for (int32_t y = 0; y < Image.Height; ++y)
    wide ? InvertBytesWide(Image.Row(y), Image.Width * 3) : InvertBytes(Image.Row(y), Image.Width * 3);
}

namespace {

void ApplyOffsets(const TvcRaster& Image, int16_t Blue, int16_t Green, int16_t Red, const TvcPixel* Key) {
  const bool wide = vcUseWidePath();
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* row = Image.Row(y);
    if (Key) {
      const int32_t done = wide ? vcwide::OffsetPixelsKeyed(row, Image.Width, Blue, Green, Red, *Key) : 0;
      OffsetPixelsKeyed(row + 3 * done, Image.Width - done, Blue, Green, Red, *Key);
    } else {
      wide ? OffsetPixelsWide(row, Image.Width, Blue, Green, Red)
           : OffsetPixels(row, Image.Width, Blue, Green, Red);
    }
  }
}

}  // namespace

void ApplyTint(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue) {
  if (Image.Empty()) return;
  ApplyOffsets(Image, OffsetLimit(Blue), OffsetLimit(Green), OffsetLimit(Red), nullptr);
}

void ApplyColor(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, const TvcPixel* Key) {
  if (Image.Empty()) return;
  // Limit each offset before taking 192 off, so that no sum can leave 32 bits.
  ApplyOffsets(Image, OffsetLimit(ClampInt(Blue, -1024, 1024) - 192),
               OffsetLimit(ClampInt(Green, -1024, 1024) - 192), OffsetLimit(ClampInt(Red, -1024, 1024) - 192),
               Key);
}

void ApplySaturation(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty()) return;
  if (Amount >= 0 && Amount < 32640) {
    const bool wide = vcUseWidePath();
    for (int32_t y = 0; y < Image.Height; ++y) {
      uint8_t* row = Image.Row(y);
      const int32_t done = wide ? vcwide::SaturationPixels(row, Image.Width, uint16_t(Amount)) : 0;
      SaturationPixels(row + 3 * done, Image.Width - done, uint16_t(Amount));
    }
    return;
  }
  // Negative amounts and amounts far past the offered range: the 16-bit scale table as the rule
  // states it.
  int16_t scale[256];
  for (int32_t i = 0; i < 256; ++i) scale[i] = int16_t((int64_t(i) * Amount) >> 8);
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* p = Image.Row(y);
    for (int32_t x = 0; x < Image.Width; ++x, p += 3) {
      const int32_t gray = p[0] / 3 + p[1] / 3 + p[2] / 3;
      for (int c = 0; c < 3; ++c) p[c] = ClampByte(gray + scale[p[c]] - scale[gray]);
    }
  }
}

void ApplyAlphaBlend(const TvcRaster& Image, const TvcRaster& Blend, int32_t Amount, const TvcPixel* Key) {
  if (Image.Empty() || Blend.Width != Image.Width || Blend.Height != Image.Height) return;
  if (Amount >= 0 && Amount <= 255) {
    const bool wide = vcUseWidePath();
    for (int32_t y = 0; y < Image.Height; ++y) {
      uint8_t* row = Image.Row(y);
      const uint8_t* blend = Blend.Row(y);
      if (Key) {
        const int32_t done =
            wide ? vcwide::BlendPixelsKeyed(row, blend, Image.Width, uint16_t(Amount), *Key) : 0;
        BlendPixelsKeyed(row + 3 * done, blend + 3 * done, Image.Width - done, uint16_t(Amount), *Key);
      } else {
        wide ? BlendBytesWide(row, blend, Image.Width * 3, uint16_t(Amount))
             : BlendBytes(row, blend, Image.Width * 3, uint16_t(Amount));
      }
    }
    return;
  }
  // An amount outside a byte: the difference table with byte arithmetic, as the rule states it.
  int32_t table[511];
  for (int32_t d = -255; d <= 255; ++d) table[d + 255] = int32_t((int64_t(Amount) * d) >> 8);
  for (int32_t y = 0; y < Image.Height; ++y) {
    uint8_t* p = Image.Row(y);
    const uint8_t* b = Blend.Row(y);
    for (int32_t x = 0; x < Image.Width; ++x, p += 3, b += 3) {
      if (Key && SamePixel(b, *Key)) continue;
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] + table[b[c] - p[c] + 255]);
    }
  }
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
