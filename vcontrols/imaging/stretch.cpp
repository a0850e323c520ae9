#include "vcontrols/imaging/stretch.h"

#include <algorithm>
#include <cstring>

#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>
#endif

namespace vcfx {

namespace {

// Target pixels From ... To - 1 of one row, the formula as it stands.
void SmoothPixels(uint8_t* Target, const uint8_t* Upper, const uint8_t* Lower, const int32_t* Left,
                  const int32_t* Right, const int32_t* Fraction, int32_t From, int32_t To, int32_t Wy0,
                  int32_t Wy1) {
  for (int32_t x = From; x < To; ++x) {
    const int32_t f = Fraction[x];
    const int32_t a = (f * Wy0) >> 15, topLeft = Wy0 - a;
    const int32_t b = (f * Wy1) >> 15, bottomLeft = Wy1 - b;
    const uint8_t* ul = Upper + Left[x];
    const uint8_t* ur = Upper + Right[x];
    const uint8_t* ll = Lower + Left[x];
    const uint8_t* lr = Lower + Right[x];
    for (int c = 0; c < 3; ++c)
      Target[3 * x + c] = uint8_t((ul[c] * topLeft + ur[c] * a + ll[c] * bottomLeft + lr[c] * b) >> 15);
  }
}

#if VC_HAS_WIDE_PATH
// The same sum in 16-bit lanes. With TL = wy0 - A, BL = wy1 - B and wy0 = 32768 - wy1,
//   ul TL + ur A + ll BL + lr B = 32768 ul + wy1 (ll - ul) + A (ur - ul) + B (lr - ll),
// where A, B and wy1 are below 32768 and the differences within +-255: two multiply-adds of
// 16-bit pairs, (ur - ul, lr - ll) x (A, B) and (ll - ul, 2 ul) x (wy1, 16384), give the exact
// sum, which the shift by 15 turns into the same byte. Pixels k and k + 4 of a group of eight go
// through one register (one per 128-bit half), so that the weights of both come from one
// in-lane shuffle and the results pack back in pixel order.
// Pixels K and K + 4 of a group: 8 bytes each from the left source pixel (left and right
// neighbour, two bytes spare), as 16-bit lanes.
template <int K>
VC_WIDE_TARGET inline __m256i NeighbourPair(const uint8_t* Row, const int32_t* Left) {
  const __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + Left[K]));
  const __m128i both = _mm_castpd_si128(
      _mm_loadh_pd(_mm_castsi128_pd(low), reinterpret_cast<const double*>(Row + Left[K + 4])));
  return _mm256_cvtepu8_epi16(both);
}

template <int K>
VC_WIDE_TARGET inline __m256i SmoothPair(const uint8_t* Upper, const uint8_t* Lower, const int32_t* Left,
                                         __m256i Horizontal, __m256i Vertical) {
  const __m256i upper = NeighbourPair<K>(Upper, Left), lower = NeighbourPair<K>(Lower, Left);
  // Lanes 0..2 of each half: the three channels (the rest is discarded when packing).
  const __m256i upperRight = _mm256_srli_si256(upper, 6), lowerRight = _mm256_srli_si256(lower, 6);
  const __m256i across =
      _mm256_unpacklo_epi16(_mm256_sub_epi16(upperRight, upper), _mm256_sub_epi16(lowerRight, lower));
  const __m256i down = _mm256_unpacklo_epi16(_mm256_sub_epi16(lower, upper), _mm256_add_epi16(upper, upper));
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(across, _mm256_shuffle_epi32(Horizontal, K * 0x55)),
                                       _mm256_madd_epi16(down, Vertical));
  return _mm256_srai_epi32(sum, 15);
}

// Target pixels 0 ... Count - 1 in groups of eight; returns the pixels done. Each group stores
// 4 bytes past its last pixel, which the next group (or the caller's tail) writes again.
VC_WIDE_TARGET __attribute__((noinline)) int32_t SmoothPixelsWide(uint8_t* Target, const uint8_t* Upper,
                                                                  const uint8_t* Lower, const int32_t* Left,
                                                                  const int32_t* Fraction, int32_t Count,
                                                                  int32_t Wy0, int32_t Wy1) {
  const __m256i wy0 = _mm256_set1_epi32(Wy0), wy1 = _mm256_set1_epi32(Wy1);
  // (wy1, 16384) as a 16-bit pair, the same for the whole row.
  const __m256i vertical = _mm256_set1_epi32(Wy1 | 16384 << 16);
  const __m256i compact = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4,
                                           5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int32_t x = 0;
  for (; x + 8 <= Count; x += 8) {
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Fraction + x));
    const __m256i a = _mm256_srli_epi32(_mm256_mullo_epi32(f, wy0), 15);
    const __m256i b = _mm256_srli_epi32(_mm256_mullo_epi32(f, wy1), 15);
    // (A, B) as 16-bit pairs.
    const __m256i horizontal = _mm256_or_si256(a, _mm256_slli_epi32(b, 16));
    const int32_t* left = Left + x;
    const __m256i r0 = SmoothPair<0>(Upper, Lower, left, horizontal, vertical);
    const __m256i r1 = SmoothPair<1>(Upper, Lower, left, horizontal, vertical);
    const __m256i r2 = SmoothPair<2>(Upper, Lower, left, horizontal, vertical);
    const __m256i r3 = SmoothPair<3>(Upper, Lower, left, horizontal, vertical);
    // Pixels 0..3 in the low half, 4..7 in the high half, 4 bytes each, then 3.
    const __m256i bytes = _mm256_shuffle_epi8(
        _mm256_packus_epi16(_mm256_packs_epi32(r0, r1), _mm256_packs_epi32(r2, r3)), compact);
    uint8_t* target = Target + 3 * x;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm256_castsi256_si128(bytes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 12), _mm256_extracti128_si256(bytes, 1));
  }
  return x;
}
#endif

}  // namespace

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
  // The vector form reads 8 bytes from each left source pixel (both neighbours, which must be
  // next to each other) and writes 4 bytes past each group: it covers the columns whose 8 bytes
  // lie inside the source row, less two pixels for the tail to write.
  int32_t vectorColumns = 0;
#if VC_HAS_WIDE_PATH
  if (vcUseWidePath() && Source.Width > 1) {
    const int64_t lastByte = 3 * int64_t(Source.Width);
    while (vectorColumns < Target.Width && left[vectorColumns] + 8 <= lastByte) ++vectorColumns;
    vectorColumns = std::max(0, std::min(vectorColumns, Target.Width - 2));
  }
#endif
  Scratch.Bands().RunRanges(Target.Height, int64_t(Target.Width) * 3, [&](int32_t First, int32_t End) {
    for (int32_t y = First; y < End; ++y) {
      const int32_t fy = y * stepY;
      const int32_t upperRow = fy >> 15;
      const uint8_t* upper = Source.Row(upperRow);
      const uint8_t* lower = Source.Row(Source.Height == 1 ? upperRow : upperRow + 1);
      const int32_t wy1 = fy & 32767, wy0 = 32768 - wy1;
      uint8_t* target = Target.Row(y);
      int32_t done = 0;
#if VC_HAS_WIDE_PATH
      if (vectorColumns > 0)
        done = SmoothPixelsWide(target, upper, lower, left, fraction, vectorColumns, wy0, wy1);
#endif
      SmoothPixels(target, upper, lower, left, right, fraction, done, Target.Width, wy0, wy1);
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
