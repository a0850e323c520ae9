// The effects that move pixels: flips, wave and rotation. Wave and rotation read source pixels
// anywhere in the image, so they first copy the picture into scratch memory and then write each
// result row from it; after the copy every result row is independent, and the rows are cut into
// bands, each with its own offsets table. Their
// only floating-point work is fixed per row and per column (the wave's sines, the rotation's
// products u x cos and u x sin), computed once into tables; the per-pixel work is integer
// except the rotation's subtraction and rounding, which use the same operands as the literal
// formula and so give the same bits.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>
#endif

namespace vcfx {

namespace {

// Rounds to the nearest integer, halves to the even neighbour (the processor's rounding mode,
// which nothing in the program changes), as nearbyint does.
inline int64_t RoundToEven(double Value) {
#if defined(__x86_64__)
  return _mm_cvtsd_si64(_mm_set_sd(Value));
#else
  return int64_t(std::nearbyint(Value));
#endif
}

#if VC_HAS_WIDE_PATH
// Eight pixels at a time: each read as 4 bytes at its offset (the copy has slack after it), the
// fourth bytes dropped, and the 24 bytes written at once. Returns the pixels done.
VC_WIDE_TARGET __attribute__((noinline)) int32_t GatherPixelsWide(uint8_t* Target, const uint8_t* Source,
                                                                  const int32_t* Offsets, int32_t Count) {
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5,
                                        6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  int32_t x = 0;
  for (; x + 8 <= Count; x += 8) {
    const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Offsets + x));
    const __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(Source), offsets, 1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, pack), join);
    uint8_t* target = Target + 3 * x;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(target + 16), _mm256_extracti128_si256(packed, 1));
  }
  return x;
}
#endif

// The wrap of the wave: a negative overflow counts back from Size - 1, so -1 lands on
// Size - 2; an overflow past the end starts again at 0.
inline int32_t WaveWrap(int32_t Value, int32_t Size) {
  if (Value < 0) return (Size - 1) - int32_t((-int64_t(Value)) % Size);
  if (Value >= Size) return Value % Size;
  return Value;
}

}  // namespace

int32_t WaveShift(long double Ratio, int32_t Index, long double Divisor) {
  // The rule computes in extended precision, whose sine is slow (the wave needs one per row and
  // column of every frame). The double result can differ from it by a few units in the last
  // place of the sine and of the quotient, that is by at most |Ratio| (|Index / Divisor| + 1)
  // 2^-52; unless that could carry it across a rounding boundary (a half-integer), both round
  // the same. Near a boundary the extended form decides.
  const double ratio = double(Ratio), quotient = double(Index) / double(Divisor);
  const double shift = ratio * std::sin(quotient);
  const double fraction = shift - std::floor(shift);
  const double margin = std::fabs(ratio) * (std::fabs(quotient) + 1) * 0x1p-44 + 0x1p-40;
  long double rounded;
  if (std::isfinite(shift) && std::fabs(fraction - 0.5) > margin && ratio == Ratio &&
      double(Divisor) == Divisor)
    rounded = std::nearbyint(shift);
  else
    rounded = std::nearbyint(Ratio * std::sin(Index / Divisor));
  // Only a ratio at the very end of the int32 range can round past it.
  return int32_t(std::clamp(rounded, -2147483647.0L, 2147483647.0L));
}

void RotationSineCosine(long double Angle, double& Sine, double& Cosine) {
  const long double t = -Angle * std::numbers::pi_v<long double> / 180;
  Sine = std::sin(double(t));
  Cosine = std::cos(double(t));
}

namespace {

struct RotationRowParameters {
  const double* ColumnCos;
  const double* ColumnSin;
  int32_t Width, Height, CenterX, CenterY, RowSize, Background;
};

// Byte offsets of the source pixels of one result row: pixel (xs, ys) where
// xs = (round(u cos - v sin) - 1) div 2 + cx and ys = (round(u sin + v cos) - 1) div 2 + cy,
// or the background offset outside the picture.
VC_KERNEL void RotationOffsets(const RotationRowParameters& P, double RowSin, double RowCos, int32_t* Offsets,
                               int32_t From) {
  for (int32_t x = From; x < P.Width; ++x) {
    const int64_t xs = (RoundToEven(P.ColumnCos[x] - RowSin) - 1) / 2 + P.CenterX;
    const int64_t ys = (RoundToEven(P.ColumnSin[x] + RowCos) - 1) / 2 + P.CenterY;
    Offsets[x] = uint64_t(xs) < uint64_t(P.Width) && uint64_t(ys) < uint64_t(P.Height)
                     ? int32_t(ys) * P.RowSize + 3 * int32_t(xs)
                     : P.Background;
  }
}

#if VC_HAS_WIDE_PATH
// Eight columns at a time: the same subtraction and addition of the same products, rounded to
// even by the vector unit; every value here is far inside 32 bits.
VC_WIDE_TARGET inline __m256i RoundedPair(__m256d Low, __m256d High) {
  const int mode = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
  return _mm256_set_m128i(_mm256_cvtpd_epi32(_mm256_round_pd(High, mode)),
                          _mm256_cvtpd_epi32(_mm256_round_pd(Low, mode)));
}

// (r - 1) div 2, truncating toward zero (1 added to negative odd numerators before the shift),
// plus the centre.
VC_WIDE_TARGET inline __m256i HalfStep(__m256i Rounded, __m256i Center) {
  const __m256i numerator = _mm256_sub_epi32(Rounded, _mm256_set1_epi32(1));
  return _mm256_add_epi32(_mm256_srai_epi32(_mm256_add_epi32(numerator, _mm256_srli_epi32(numerator, 31)), 1),
                          Center);
}

VC_WIDE_TARGET __attribute__((noinline)) void RotationOffsetsWide(const RotationRowParameters& P,
                                                                  double RowSin, double RowCos,
                                                                  int32_t* Offsets) {
  const __m256d rowSin = _mm256_set1_pd(RowSin), rowCos = _mm256_set1_pd(RowCos);
  const __m256i centerX = _mm256_set1_epi32(P.CenterX), centerY = _mm256_set1_epi32(P.CenterY);
  // 0 <= v < size as a signed compare after flipping the sign bits.
  const __m256i bias = _mm256_set1_epi32(int32_t(0x80000000));
  const __m256i width = _mm256_xor_si256(_mm256_set1_epi32(P.Width), bias);
  const __m256i height = _mm256_xor_si256(_mm256_set1_epi32(P.Height), bias);
  const __m256i rowSize = _mm256_set1_epi32(P.RowSize), background = _mm256_set1_epi32(P.Background);
  int32_t x = 0;
  for (; x + 8 <= P.Width; x += 8) {
    const __m256i xs = HalfStep(RoundedPair(_mm256_sub_pd(_mm256_loadu_pd(P.ColumnCos + x), rowSin),
                                            _mm256_sub_pd(_mm256_loadu_pd(P.ColumnCos + x + 4), rowSin)),
                                centerX);
    const __m256i ys = HalfStep(RoundedPair(_mm256_add_pd(_mm256_loadu_pd(P.ColumnSin + x), rowCos),
                                            _mm256_add_pd(_mm256_loadu_pd(P.ColumnSin + x + 4), rowCos)),
                                centerY);
    const __m256i inside = _mm256_and_si256(_mm256_cmpgt_epi32(width, _mm256_xor_si256(xs, bias)),
                                            _mm256_cmpgt_epi32(height, _mm256_xor_si256(ys, bias)));
    const __m256i offset =
        _mm256_add_epi32(_mm256_mullo_epi32(ys, rowSize), _mm256_add_epi32(xs, _mm256_add_epi32(xs, xs)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Offsets + x),
                        _mm256_blendv_epi8(background, offset, inside));
  }
  RotationOffsets(P, RowSin, RowCos, Offsets, x);
}
#endif

void RotationSourceOffsets(const RotationRowParameters& P, double RowSin, double RowCos, int32_t* Offsets) {
#if VC_HAS_WIDE_PATH
  // The vector form needs every coordinate inside 32 bits.
  constexpr int32_t limit = 1 << 28;
  if (vcUseWidePath() && P.Width < limit && P.Height < limit && P.CenterX > -limit && P.CenterX < limit &&
      P.CenterY > -limit && P.CenterY < limit)
    return RotationOffsetsWide(P, RowSin, RowCos, Offsets);
#endif
  RotationOffsets(P, RowSin, RowCos, Offsets, 0);
}

}  // namespace

namespace {

// Reverses the order of the pixels from Left up to (not including) Right.
void MirrorPixels(uint8_t* Left, uint8_t* Right) {
  for (Right -= 3; Left < Right; Left += 3, Right -= 3) {
    std::swap(Left[0], Right[0]);
    std::swap(Left[1], Right[1]);
    std::swap(Left[2], Right[2]);
  }
}

#if VC_HAS_WIDE_PATH
// Five pixels (15 bytes) at a time from each end: a 16-byte load takes the five pixels plus one
// byte of the next group inward, one shuffle reverses the five, and the store puts the stray byte
// back as it was. Each end's next group is loaded before the stores, so no load waits on a store
// it only partly overlaps. The pixels left in the middle are swapped one by one.
VC_WIDE_TARGET __attribute__((noinline)) void MirrorRowWide(uint8_t* Row, int32_t Width) {
  uint8_t* left = Row;
  uint8_t* right = Row + 3 * size_t(Width);
  if (right - left >= 32) {
    // Left group: bytes 0..14 of [left, left + 16), byte 15 stays. Right group: bytes 1..15 of
    // [right - 16, right), byte 0 stays. Pixel p of one lands as pixel 4 - p of the other.
    const __m128i rightToLeft = _mm_setr_epi8(13, 14, 15, 10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3, -128);
    const __m128i leftToRight = _mm_setr_epi8(-128, 12, 13, 14, 9, 10, 11, 6, 7, 8, 3, 4, 5, 0, 1, 2);
    const __m128i keepLast = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1);
    const __m128i keepFirst = _mm_setr_epi8(-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    __m128i leftBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left));
    __m128i rightBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right - 16));
    for (;;) {
      const __m128i newLeft = _mm_blendv_epi8(_mm_shuffle_epi8(rightBytes, rightToLeft), leftBytes, keepLast);
      const __m128i newRight =
          _mm_blendv_epi8(_mm_shuffle_epi8(leftBytes, leftToRight), rightBytes, keepFirst);
      // The next pair must not touch the bytes this pair writes (other than the stray bytes,
      // which keep their value).
      const bool more = (right - 15) - (left + 15) >= 32;
      if (more) {
        leftBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + 15));
        rightBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right - 31));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(left), newLeft);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(right - 16), newRight);
      left += 15;
      right -= 15;
      if (!more) break;
    }
  }
  MirrorPixels(left, right);
}
#endif

}  // namespace

void ApplyFlip(const TvcRaster& Image, bool Horizontal, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  if (Horizontal) {
    const bool wide = vcUseWidePath();
    Scratch.Bands().RunRanges(h, int64_t(w) * 3, [&](int32_t First, int32_t End) {
      for (int32_t y = First; y < End; ++y) {
#if VC_HAS_WIDE_PATH
        if (wide) {
          MirrorRowWide(Image.Row(y), w);
          continue;
        }
#endif
        MirrorPixels(Image.Row(y), Image.Row(y) + 3 * size_t(w));
      }
    });
  } else {
    // Whole rows, padding included, as the row buffer of the rule moves them; a band is a run of
    // row pairs.
    Scratch.Bands().RunRanges(h / 2, 2 * int64_t(Image.RowSize), [&](int32_t First, int32_t End) {
      for (int32_t y = First; y < End; ++y)
        std::swap_ranges(Image.Row(y), Image.Row(y) + Image.RowSize, Image.Row(h - 1 - y));
    });
  }
}

namespace {

// Wave and rotation read the picture as it was while writing the result into it: the picture is
// first copied into scratch memory (with slack after it, so a pixel can be read as 4 bytes), and
// result rows are written straight into the image.
// Moves one pixel; with Wide, as 4 bytes, the fourth of which the next pixel overwrites.
inline void MovePixel(uint8_t* Target, const uint8_t* Source, bool Wide) {
  if (Wide) {
    uint32_t value;
    std::memcpy(&value, Source, 4);
    std::memcpy(Target, &value, 4);
  } else {
    Target[0] = Source[0];
    Target[1] = Source[1];
    Target[2] = Source[2];
  }
}

// Bytes after the copy: a piece of a run may read up to a piece past its last pixel.
constexpr size_t CopySlack = 32;

// The 4 bytes after the copy hold a fill pixel (white for the wave, the background for the
// rotation) that rows point at where the result has no source pixel. The copy is made in bands
// of rows (PrepareCopy before the bands, CopyRows in them, FinishCopy after).
uint8_t* PrepareCopy(const TvcRaster& Image, TvcEffectScratch& Scratch) {
  return Scratch.Image(Image.ImageSize() + CopySlack);
}

void CopyRows(const TvcRaster& Image, uint8_t* Copy, int32_t First, int32_t End) {
  const size_t offset = size_t(First) * size_t(Image.RowSize);
  std::memcpy(Copy + offset, Image.Pixels + offset, size_t(End - First) * size_t(Image.RowSize));
}

void FinishCopy(const TvcRaster& Image, uint8_t* Copy, const uint8_t* Fill = nullptr) {
  static const uint8_t white[3] = {255, 255, 255};
  std::memcpy(Copy + Image.ImageSize(), Fill ? Fill : white, 3);
}

uint8_t* CopyOfPixels(const TvcRaster& Image, TvcEffectScratch& Scratch, const uint8_t* Fill = nullptr) {
  uint8_t* copy = PrepareCopy(Image, Scratch);
  CopyRows(Image, copy, 0, Image.Height);
  FinishCopy(Image, copy, Fill);
  return copy;
}

// Offsets tables for each band, rounded up to whole cache lines.
size_t OffsetsStride(int32_t Width) {
  return (size_t(Width) + 15) & ~size_t(15);
}

// Writes Count pixels taken from Source at the byte offsets given.
void CopyByOffsets(uint8_t* Target, const uint8_t* Source, const int32_t* Offsets, int32_t Count) {
  int32_t x = 0;
#if VC_HAS_WIDE_PATH
  if (vcUseWidePath()) x = GatherPixelsWide(Target, Source, Offsets, Count);
#endif
  for (; x + 1 < Count; ++x) MovePixel(Target + 3 * x, Source + Offsets[x], true);
  if (x < Count) MovePixel(Target + 3 * x, Source + Offsets[x], false);
}

}  // namespace

namespace {

// The source offsets of one row of the wave without wrap: columns Begin ... End - 1.
VC_KERNEL void WaveOffsets(int32_t* __restrict Offsets, const int32_t* __restrict ColumnShift,
                           const int32_t* __restrict RowOffset, int32_t Begin, int32_t End, int32_t Y,
                           int32_t Height, int32_t Base, int32_t White) {
  for (int32_t x = Begin; x < End; ++x) {
    const bool inside = uint32_t(Y + ColumnShift[x]) < uint32_t(Height);
    Offsets[x] = inside ? Base + RowOffset[x] + 3 * x : White;
  }
}

// With wrap: source row (start + y) mod height as a byte offset (both terms lie below the
// image's size), plus the wrapped column.
VC_KERNEL void WrappedWaveOffsets(int32_t* __restrict Offsets, const int32_t* __restrict RowOffset,
                                  const int32_t* __restrict Columns, int32_t Width, int32_t RowStart,
                                  int32_t ImageBytes) {
  for (int32_t x = 0; x < Width; ++x) {
    const int32_t offset = RowOffset[x] + RowStart;
    Offsets[x] = (offset >= ImageBytes ? offset - ImageBytes : offset) + Columns[x];
  }
}

VC_WIDE_TARGET __attribute__((noinline)) void WaveOffsetsWide(int32_t* Offsets, const int32_t* ColumnShift,
                                                              const int32_t* RowOffset, int32_t Begin,
                                                              int32_t End, int32_t Y, int32_t Height,
                                                              int32_t Base, int32_t White) {
  WaveOffsets(Offsets, ColumnShift, RowOffset, Begin, End, Y, Height, Base, White);
}

VC_WIDE_TARGET __attribute__((noinline)) void WrappedWaveOffsetsWide(int32_t* Offsets,
                                                                     const int32_t* RowOffset,
                                                                     const int32_t* Columns, int32_t Width,
                                                                     int32_t RowStart, int32_t ImageBytes) {
  WrappedWaveOffsets(Offsets, RowOffset, Columns, Width, RowStart, ImageBytes);
}

void RunWaveOffsets(int32_t* Offsets, const int32_t* ColumnShift, const int32_t* RowOffset, int32_t Begin,
                    int32_t End, int32_t Y, int32_t Height, int32_t Base, int32_t White) {
  if (vcUseWidePath())
    WaveOffsetsWide(Offsets, ColumnShift, RowOffset, Begin, End, Y, Height, Base, White);
  else
    WaveOffsets(Offsets, ColumnShift, RowOffset, Begin, End, Y, Height, Base, White);
}

void RunWrappedWaveOffsets(int32_t* Offsets, const int32_t* RowOffset, const int32_t* Columns, int32_t Width,
                           int32_t RowStart, int32_t ImageBytes) {
  if (vcUseWidePath())
    WrappedWaveOffsetsWide(Offsets, RowOffset, Columns, Width, RowStart, ImageBytes);
  else
    WrappedWaveOffsets(Offsets, RowOffset, Columns, Width, RowStart, ImageBytes);
}

// The wave without wrap moves whole runs of columns: a column's source row depends on the column
// alone (y + D(x)) and its source column on the row alone (x + S(y)), so wherever D stays the
// same over neighbouring columns, those columns of a result row come from one stretch of one
// source row. With the usual settings D changes every few columns; a row is then a few hundred
// short copies instead of one gather per pixel.
// A run is three numbers: its first column, the column after its last, and D of its columns.
constexpr int32_t RunFields = 3;

// Finds the runs of equal column shifts; returns how many, or 0 when there would be more than
// Limit (the runs are too short to pay).
int32_t WaveRuns(const int32_t* ColumnShift, int32_t Width, int32_t* Runs, int32_t Limit) {
  int32_t count = 0;
  for (int32_t x = 0; x < Width;) {
    if (count == Limit) return 0;
    int32_t end = x + 1;
    while (end < Width && ColumnShift[end] == ColumnShift[x]) ++end;
    int32_t* run = Runs + RunFields * count++;
    run[0] = x;
    run[1] = end;
    run[2] = ColumnShift[x];
    x = end;
  }
  return count;
}

// 16 bytes, through the vector registers where there are any.
inline void MovePiece(uint8_t* Target, const uint8_t* Source) {
  std::memcpy(Target, Source, 16);
}

// Copies Bytes bytes in pieces of 16. The last piece may write past Bytes (the rest of the row is
// written after it, left to right, and puts those bytes right), but never at or past Limit, the
// end of the row's pixels: there the rest is copied byte-exact. Most runs are shorter than two
// pieces, and two are always moved, so that the number of pieces is rarely a branch to guess.
inline void CopyRun(uint8_t* Target, const uint8_t* Source, ptrdiff_t Bytes, const uint8_t* Limit) {
  ptrdiff_t done = 0;
  if (Limit - Target >= 32) {
    MovePiece(Target, Source);
    MovePiece(Target + 16, Source + 16);
    done = 32;
  }
  for (; done < Bytes; done += 16) {
    if (Limit - (Target + done) < 16) {
      std::memcpy(Target + done, Source + done, size_t(Bytes - done));
      return;
    }
    MovePiece(Target + done, Source + done);
  }
}

// One result row of the wave without wrap from the runs: columns whose source lies outside the
// picture are white.
void WaveRowFromRuns(uint8_t* Row, const uint8_t* Source, const int32_t* Runs, int32_t RunCount, int32_t Y,
                     int32_t Width, int32_t Height, ptrdiff_t RowSize, int32_t Shift, const uint8_t* White) {
  const uint8_t* const limit = Row + 3 * ptrdiff_t(Width);
  // Columns whose source column lies inside: [begin, stop).
  const int32_t begin = int32_t(std::clamp(-int64_t(Shift), int64_t(0), int64_t(Width)));
  const int32_t stop = int32_t(std::clamp(int64_t(Width) - Shift, int64_t(begin), int64_t(Width)));
  CopyRun(Row, White, 3 * ptrdiff_t(begin), limit);
  for (int32_t i = 0; i < RunCount; ++i) {
    const int32_t* run = Runs + RunFields * i;
    const int32_t first = std::max(run[0], begin), end = std::min(run[1], stop);
    if (first >= end) continue;
    uint8_t* target = Row + 3 * ptrdiff_t(first);
    const ptrdiff_t bytes = 3 * ptrdiff_t(end - first);
    const int32_t row = Y + run[2];
    if (uint32_t(row) < uint32_t(Height))
      CopyRun(target, Source + (row * RowSize + 3 * (ptrdiff_t(first) + Shift)), bytes, limit);
    else
      CopyRun(target, White, bytes, limit);
  }
  CopyRun(Row + 3 * ptrdiff_t(stop), White, 3 * ptrdiff_t(Width - stop), limit);
}

// Pictures of 2 GB and more, pixel by pixel with 64-bit offsets.
void ApplyWaveLarge(const TvcRaster& Image, bool Wrap, long double XDiv, long double YDiv, long double Ratio,
                    TvcEffectScratch& Scratch) {
  const int32_t w = Image.Width, h = Image.Height;
  const uint8_t* source = CopyOfPixels(Image, Scratch);
  for (int32_t y = 0; y < h; ++y) {
    const int32_t rowShift = WaveShift(Ratio, y, YDiv);
    for (int32_t x = 0; x < w; ++x) {
      const int32_t columnShift = WaveShift(Ratio, x, XDiv);
      int64_t column = int64_t(x) + rowShift, row;
      if (!Wrap) {
        row = int64_t(y) + columnShift;
        if (column < 0 || column >= w || row < 0 || row >= h) {
          Image.At(x, y)[0] = Image.At(x, y)[1] = Image.At(x, y)[2] = 255;
          continue;
        }
      } else {
        column = column < 0 ? (w - 1) - (-column) % w : column % w;
        row = (WaveWrap(columnShift, h) + int64_t(y)) % h;
      }
      MovePixel(Image.At(x, y), source + row * Image.RowSize + 3 * column, false);
    }
  }
}

}  // namespace

void ApplyWave(const TvcRaster& Image, bool Wrap, long double XDiv, long double YDiv, long double Ratio,
               TvcEffectScratch& Scratch) {
  if (Image.Empty() || XDiv == 0 || YDiv == 0) return;
  // Offsets below are kept in 32 bits.
  if (Image.ImageSize() > size_t(INT32_MAX) - 8)
    return ApplyWaveLarge(Image, Wrap, XDiv, YDiv, Ratio, Scratch);
  const int32_t w = Image.Width, h = Image.Height;
  const ptrdiff_t rowSize = Image.RowSize;
  uint8_t* const pixels = Image.Pixels;
  TvcBandPool& bands = Scratch.Bands();
  int32_t* rowShift = Scratch.Table(0, size_t(h));
  int32_t* columnShift = Scratch.Table(1, size_t(w));
  uint8_t* source = PrepareCopy(Image, Scratch);
  // The shifts (a sine each) and the copy of the picture, in bands: each band takes a run of rows
  // and the same share of the columns.
  bands.RunRanges(h, rowSize, [&](int32_t First, int32_t End) {
    for (int32_t y = First; y < End; ++y) rowShift[y] = WaveShift(Ratio, y, YDiv);
    const int32_t firstColumn = int32_t(int64_t(w) * First / h), endColumn = int32_t(int64_t(w) * End / h);
    for (int32_t x = firstColumn; x < endColumn; ++x) {
      const int32_t shift = WaveShift(Ratio, x, XDiv);
      // Without wrap, a shift of the height or more takes every row outside either way.
      columnShift[x] = Wrap ? WaveWrap(shift, h) : std::clamp(shift, -h, h);
    }
    CopyRows(Image, source, First, End);
  });
  FinishCopy(Image, source);
  int32_t lowest = 0, highest = 0;
  for (int32_t y = 0; y < h; ++y) {
    lowest = std::min(lowest, rowShift[y]);
    highest = std::max(highest, rowShift[y]);
  }
  // Every column a row can ask for, wrapped once (x + shift runs from lowest to
  // w - 1 + highest); ratios far beyond the image wrap column by column instead, each band in its
  // own slice.
  const int64_t span = int64_t(w) + (int64_t(highest) - lowest);
  const bool tabled = Wrap && span <= 4 * int64_t(w) + 4096;
  const int32_t count = bands.BandCount(h, rowSize);
  const size_t stride = OffsetsStride(w);
  int32_t* wrapped = Scratch.Table(2, tabled ? size_t(span) : stride * size_t(count));
  if (tabled)
    for (int32_t i = 0; i < span; ++i) wrapped[i] = 3 * WaveWrap(i + lowest, w);
  if (!Wrap) {
    // Runs of at least four columns on average pay for their copies; shorter ones are gathered.
    int32_t* runs = Scratch.Table(5, size_t(RunFields) * size_t(w / 4 + 1));
    const int32_t runCount = WaveRuns(columnShift, w, runs, std::max(1, w / 4));
    if (runCount > 0) {
      uint8_t* white = Scratch.Row(3 * size_t(w) + 16);
      std::memset(white, 255, 3 * size_t(w) + 16);
      bands.RunRanges(h, rowSize, [&](int32_t First, int32_t End) {
        for (int32_t y = First; y < End; ++y)
          WaveRowFromRuns(pixels + y * rowSize, source, runs, runCount, y, w, h, rowSize, rowShift[y], white);
      });
      return;
    }
  }
  const int32_t white = int32_t(Image.ImageSize());
  // Per column, the source row's offset from the result row (wrapped start rows: from row 0).
  int32_t* rowOffset = Scratch.Table(3, size_t(w));
  for (int32_t x = 0; x < w; ++x) rowOffset[x] = int32_t(columnShift[x] * rowSize);
  int32_t* allOffsets = Scratch.Table(4, stride * size_t(count));
  const int32_t imageBytes = int32_t(h * rowSize);

  bands.Run(count, [&](int32_t Band) {
    int32_t* offsets = allOffsets + stride * size_t(Band);
    int32_t* bandWrapped = tabled ? wrapped : wrapped + stride * size_t(Band);
    for (int32_t y = vcBandStart(h, count, Band), end = vcBandStart(h, count, Band + 1); y < end; ++y) {
      const int32_t shift = rowShift[y];
      const int32_t rowStart = int32_t(y * rowSize);
      if (!Wrap) {
        // Columns whose source column lies inside; the rest are white.
        const int32_t begin = int32_t(std::clamp(-int64_t(shift), int64_t(0), int64_t(w)));
        const int32_t stop = int32_t(std::clamp(int64_t(w) - shift, int64_t(begin), int64_t(w)));
        for (int32_t x = 0; x < begin; ++x) offsets[x] = white;
        for (int32_t x = stop; x < w; ++x) offsets[x] = white;
        // Pixel x + shift of row y + the column's shift, or white.
        RunWaveOffsets(offsets, columnShift, rowOffset, begin, stop, y, h, rowStart + 3 * shift, white);
      } else {
        const int32_t* columns = bandWrapped;
        if (tabled) {
          columns += shift - lowest;
        } else {
          for (int32_t x = 0; x < w; ++x)
            bandWrapped[x] =
                3 *
                WaveWrap(int32_t(std::clamp(int64_t(x) + shift, -int64_t(INT32_MAX), int64_t(INT32_MAX))), w);
        }
        RunWrappedWaveOffsets(offsets, rowOffset, columns, w, rowStart, imageBytes);
      }
      CopyByOffsets(pixels + y * rowSize, source, offsets, w);
    }
  });
}

namespace {

// Pictures of 2 GB and more, pixel by pixel in 64 bits.
void ApplyRotationLarge(const TvcRaster& Image, int32_t CenterX, int32_t CenterY, long double Angle,
                        TvcEffectScratch& Scratch) {
  const int32_t w = Image.Width, h = Image.Height;
  if (CenterX < 0) CenterX = w / 2;
  if (CenterY < 0) CenterY = h / 2;
  double s, c;
  RotationSineCosine(Angle, s, c);
  const uint8_t* source = CopyOfPixels(Image, Scratch);
  const uint8_t background[3] = {source[0], source[1], source[2]};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const double u = double(2 * int64_t(x - CenterX) + 1), v = double(2 * int64_t(y - CenterY) + 1);
      const int64_t xs = (RoundToEven(u * c - v * s) - 1) / 2 + CenterX;
      const int64_t ys = (RoundToEven(u * s + v * c) - 1) / 2 + CenterY;
      const uint8_t* from = uint64_t(xs) < uint64_t(w) && uint64_t(ys) < uint64_t(h)
                                ? source + ys * int64_t(Image.RowSize) + 3 * xs
                                : background;
      MovePixel(Image.At(x, y), from, false);
    }
}

}  // namespace

void ApplyRotation(const TvcRaster& Image, int32_t CenterX, int32_t CenterY, long double Angle,
                   TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  // Source offsets are kept in 32 bits.
  if (Image.ImageSize() > size_t(INT32_MAX) - 8)
    return ApplyRotationLarge(Image, CenterX, CenterY, Angle, Scratch);
  const int32_t w = Image.Width, h = Image.Height;
  const ptrdiff_t rowSize = Image.RowSize;
  uint8_t* const pixels = Image.Pixels;
  if (CenterX < 0) CenterX = w / 2;
  if (CenterY < 0) CenterY = h / 2;
  double s, c;
  RotationSineCosine(Angle, s, c);

  TvcBandPool& bands = Scratch.Bands();
  const int32_t count = bands.BandCount(h, rowSize);
  double* columnCos = Scratch.Products(0, size_t(w));
  double* columnSin = Scratch.Products(1, size_t(w));
  const size_t stride = OffsetsStride(w);
  int32_t* allOffsets = Scratch.Table(0, stride * size_t(count));
  for (int32_t x = 0; x < w; ++x) {
    const double u = double(2 * int64_t(x - CenterX) + 1);
    columnCos[x] = u * c;
    columnSin[x] = u * s;
  }
  // The background is the top-left pixel, kept after the copy.
  uint8_t* source = PrepareCopy(Image, Scratch);
  bands.RunRanges(h, rowSize, [&](int32_t First, int32_t End) { CopyRows(Image, source, First, End); });
  FinishCopy(Image, source, source);
  const RotationRowParameters parameters{
      columnCos, columnSin, w, h, CenterX, CenterY, int32_t(rowSize), int32_t(Image.ImageSize())};
  bands.Run(count, [&](int32_t Band) {
    int32_t* offsets = allOffsets + stride * size_t(Band);
    for (int32_t y = vcBandStart(h, count, Band), end = vcBandStart(h, count, Band + 1); y < end; ++y) {
      const double v = double(2 * int64_t(y - CenterY) + 1);
      RotationSourceOffsets(parameters, v * s, v * c, offsets);
      CopyByOffsets(pixels + y * rowSize, source, offsets, w);
    }
  });
}

}  // namespace vcfx
