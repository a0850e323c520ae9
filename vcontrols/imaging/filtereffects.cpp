// The neighbourhood filters: blur pass, sharpen, emboss and sponge. They work in place in raster
// order, and that order is part of their result: a pixel reads neighbours above it and to its
// left after they were replaced. The fast forms below keep exactly those reads:
// - blur: a row other than the first and the last reads only the row d above (finished) and the
//   row d below (untouched), so it is a pure function of two other rows and is vectorised; the
//   first and last rows read themselves and run pixel by pixel;
// - sharpen: the same holds for the rows above and below, so everything except the left
//   neighbour in the same row is summed first, vectorised; the left neighbour, already
//   replaced, is then subtracted in one serial pass along the row;
// - emboss: every partner is an original pixel (the row below, or a saved copy of the last row),
//   so it is a pure function of the rows and is vectorised;
// - sponge: random reads anywhere, pixel by pixel.
// Bands for the worker threads: the blur's and the sharpen's rows between the first and the last
// fall into Distance chains (rows y = c + 1, c + 1 + d, c + 1 + 2d, ...) that read only rows of
// their own chain, so the chains are the bands (distance 1 is one chain, and runs alone); the
// emboss's rows are cut into bands with each band's first row saved beforehand, since the band
// above reads it as it was.

#include <algorithm>
#include <cstring>

#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>
#endif

namespace vcfx {

namespace {

#define VC_BOTH_PATHS(Kernel, Params, Args)                           \
  VC_WIDE_TARGET __attribute__((noinline)) void Kernel##Wide Params { \
    Kernel Args;                                                      \
  }                                                                   \
  __attribute__((noinline)) void Kernel##Plain Params {               \
    Kernel Args;                                                      \
  }                                                                   \
  void Run##Kernel Params {                                           \
    if (vcUseWidePath())                                              \
      Kernel##Wide Args;                                              \
    else                                                              \
      Kernel##Plain Args;                                             \
  }

// Column tables: the clamped left and right neighbour of every column, as byte offsets.
void ClampedColumns(int32_t Width, int32_t Distance, int32_t* Left, int32_t* Right) {
  for (int32_t x = 0; x < Width; ++x) {
    Left[x] = 3 * ClampInt(x - Distance, 0, Width - 1);
    Right[x] = 3 * ClampInt(x + Distance, 0, Width - 1);
  }
}

// --- blur pass --------------------------------------------------------------------------------

// A row whose neighbour rows may be itself: pixel by pixel, reading the image as it is.
void BlurRowInPlace(uint8_t* Row, const uint8_t* Above, const uint8_t* Below, int32_t Width,
                    const int32_t* Left, const int32_t* Right) {
  for (int32_t x = 0; x < Width; ++x) {
    const int32_t l = Left[x], r = Right[x];
    for (int c = 0; c < 3; ++c)
      Row[3 * x + c] = uint8_t((Below[r + c] + Above[r + c] + Below[l + c] + Above[l + c]) >> 2);
  }
}

// A row between the first and the last: Above (finished) and Below (untouched) are other rows.
VC_KERNEL void BlurRowBetween(uint8_t* __restrict Row, const uint8_t* __restrict Above,
                              const uint8_t* __restrict Below, int32_t Width, int32_t Distance,
                              const int32_t* Left, const int32_t* Right) {
  const int32_t first = Distance < Width ? Distance : Width;  // first column with both neighbours inside
  const int32_t last = Width - Distance > first ? Width - Distance : first;  // one past the last such column
  for (int32_t x = 0; x < first; ++x) {
    const int32_t l = Left[x], r = Right[x];
    for (int c = 0; c < 3; ++c)
      Row[3 * x + c] = uint8_t((Below[r + c] + Above[r + c] + Below[l + c] + Above[l + c]) >> 2);
  }
  const int32_t offset = 3 * Distance;
  for (int32_t i = 3 * first; i < 3 * last; ++i)
    Row[i] = uint8_t(
        uint16_t(uint16_t(Below[i + offset]) + Above[i + offset] + Below[i - offset] + Above[i - offset]) >>
        2);
  for (int32_t x = last; x < Width; ++x) {
    const int32_t l = Left[x], r = Right[x];
    for (int c = 0; c < 3; ++c)
      Row[3 * x + c] = uint8_t((Below[r + c] + Above[r + c] + Below[l + c] + Above[l + c]) >> 2);
  }
}

// Rows 1 ... Height - 2 whose chain, (y - 1) mod Distance, lies in FirstChain ... EndChain - 1, in
// raster order. A row between the first and the last reads the row Distance above (already
// replaced) and the row Distance below (not yet): both lie in its own chain, or are the first
// row (done before any chain) or the last (done after all). So the chains do not depend on each
// other, and each band of chains runs on its own.
template <class TRow>
VC_KERNEL void ForChainRows(int32_t Height, int32_t Distance, int32_t FirstChain, int32_t EndChain,
                            const TRow& Row) {
  for (int64_t start = 1; start < Height - 1; start += Distance) {
    const int64_t end = std::min<int64_t>(start + EndChain, Height - 1);
    for (int64_t y = start + FirstChain; y < end; ++y) Row(int32_t(y));
  }
}

VC_KERNEL void BlurRowsBetween(const TvcRaster& Image, int32_t Distance, int32_t FirstChain, int32_t EndChain,
                               const int32_t* Left, const int32_t* Right) {
  const int32_t h = Image.Height;
  ForChainRows(h, Distance, FirstChain, EndChain, [&](int32_t y) {
    BlurRowBetween(Image.Row(y), Image.Row(ClampInt(y - Distance, 0, h - 1)),
                   Image.Row(ClampInt(y + Distance, 0, h - 1)), Image.Width, Distance, Left, Right);
  });
}

// --- sharpen ----------------------------------------------------------------------------------

// Branch-free: on camera noise a branching clamp mispredicts most of the time.
// (256 c - 16 s) div 128 = (16 c - s) div 8, and where that is negative both the truncated and
// the floored quotient clamp to 0: so an arithmetic shift serves.
inline int32_t SharpenResult(int32_t Difference) {
  return std::min(std::max(Difference >> 3, 0), 255);
}

// Everything of 16 x centre - (sum of the eight) that does not depend on the left neighbour in
// the same row: rows Above (finished) and Below (untouched) are other rows, summed first into
// Vertical, and the right neighbour in the row is still original when its turn comes. Columns
// whose left (or right) neighbour is clamped to the first (or last) column read that column's
// values as constants.
template <bool LeftFixed, bool RightFixed>
VC_KERNEL void SharpenSumsRange(int16_t* __restrict Sums, const uint8_t* __restrict Row,
                                const int16_t* __restrict Vertical, int32_t From, int32_t To, int32_t Offset,
                                int32_t Last) {
  const int16_t l0 = Vertical[0], l1 = Vertical[1], l2 = Vertical[2];
  const int16_t r0 = int16_t(Vertical[Last] + Row[Last]), r1 = int16_t(Vertical[Last + 1] + Row[Last + 1]),
                r2 = int16_t(Vertical[Last + 2] + Row[Last + 2]);
  for (int32_t x = From; x < To; ++x) {
    const int32_t i = 3 * x;
    const int16_t left0 = LeftFixed ? l0 : Vertical[i - Offset];
    const int16_t left1 = LeftFixed ? l1 : Vertical[i + 1 - Offset];
    const int16_t left2 = LeftFixed ? l2 : Vertical[i + 2 - Offset];
    const int16_t right0 = RightFixed ? r0 : int16_t(Vertical[i + Offset] + Row[i + Offset]);
    const int16_t right1 = RightFixed ? r1 : int16_t(Vertical[i + 1 + Offset] + Row[i + 1 + Offset]);
    const int16_t right2 = RightFixed ? r2 : int16_t(Vertical[i + 2 + Offset] + Row[i + 2 + Offset]);
    Sums[i] = int16_t(16 * Row[i] - (left0 + Vertical[i] + right0));
    Sums[i + 1] = int16_t(16 * Row[i + 1] - (left1 + Vertical[i + 1] + right1));
    Sums[i + 2] = int16_t(16 * Row[i + 2] - (left2 + Vertical[i + 2] + right2));
  }
}

VC_KERNEL void SharpenSumsRow(int16_t* __restrict Sums, int16_t* __restrict Vertical,
                              const uint8_t* __restrict Row, const uint8_t* __restrict Above,
                              const uint8_t* __restrict Below, int32_t Width, int32_t Distance) {
  const int32_t count = 3 * Width;
  for (int32_t i = 0; i < count; ++i) Vertical[i] = int16_t(Above[i] + Below[i]);
  // Columns below FixedLeft clamp their left neighbour to column 0; columns from FixedRight on
  // clamp their right neighbour to the last column.
  const int32_t fixedLeft = Distance < Width ? Distance : Width;
  const int32_t fixedRight = Width - Distance > 0 ? Width - Distance : 0;
  const int32_t offset = 3 * Distance, last = 3 * (Width - 1);
  const int32_t low = std::min(fixedLeft, fixedRight), high = std::max(fixedLeft, fixedRight);
  SharpenSumsRange<true, false>(Sums, Row, Vertical, 0, low, offset, last);
  if (fixedLeft <= fixedRight) {
    // Both neighbours inside: one loop over bytes.
    for (int32_t i = 3 * low; i < 3 * high; ++i)
      Sums[i] = int16_t(int16_t(16 * Row[i]) -
                        int16_t(Vertical[i - offset] + Vertical[i] + Vertical[i + offset] + Row[i + offset]));
  } else {
    SharpenSumsRange<true, true>(Sums, Row, Vertical, low, high, offset, last);
  }
  SharpenSumsRange<false, true>(Sums, Row, Vertical, high, Width, offset, last);
}

// Columns 1 ... Count - 1 whose left neighbour is column 0, already replaced.
VC_KERNEL void SharpenFixedLeft(uint8_t* __restrict Row, const int16_t* __restrict Sums, int32_t From,
                                int32_t To) {
  const int32_t b = Row[0], g = Row[1], r = Row[2];
  for (int32_t x = From; x < To; ++x) {
    Row[3 * x] = uint8_t(SharpenResult(Sums[3 * x] - b));
    Row[3 * x + 1] = uint8_t(SharpenResult(Sums[3 * x + 1] - g));
    Row[3 * x + 2] = uint8_t(SharpenResult(Sums[3 * x + 2] - r));
  }
}

VC_WIDE_TARGET __attribute__((noinline)) void SharpenSumsRowWide(int16_t* Sums, int16_t* Vertical,
                                                                 const uint8_t* Row, const uint8_t* Above,
                                                                 const uint8_t* Below, int32_t Width,
                                                                 int32_t Distance) {
  SharpenSumsRow(Sums, Vertical, Row, Above, Below, Width, Distance);
}

VC_WIDE_TARGET __attribute__((noinline)) void SharpenFixedLeftWide(uint8_t* Row, const int16_t* Sums,
                                                                   int32_t From, int32_t To) {
  SharpenFixedLeft(Row, Sums, From, To);
}

#if VC_HAS_WIDE_PATH
// Bytes From ... To - 1 whose left neighbour lies at least 16 bytes back, so that a block of 16
// only reads bytes already replaced. Returns the first byte not done.
VC_WIDE_TARGET __attribute__((noinline)) int32_t SharpenDistantWide(uint8_t* Row, const int16_t* Sums,
                                                                    int32_t From, int32_t To,
                                                                    int32_t Offset) {
  int32_t i = From;
  for (; i + 16 <= To; i += 16) {
    const __m256i sums = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Sums + i));
    const __m256i left =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + i - Offset)));
    const __m256i value = _mm256_srai_epi16(_mm256_sub_epi16(sums, left), 3);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(value, value), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + i), _mm256_castsi256_si128(packed));
  }
  return i;
}

// The same, 8 bytes at a time, for neighbours at least 8 bytes back.
VC_WIDE_TARGET __attribute__((noinline)) int32_t SharpenNearWide(uint8_t* Row, const int16_t* Sums,
                                                                 int32_t From, int32_t To, int32_t Offset) {
  int32_t i = From;
  for (; i + 8 <= To; i += 8) {
    const __m128i sums = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Sums + i));
    const __m128i left =
        _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + i - Offset)));
    const __m128i value = _mm_srai_epi16(_mm_sub_epi16(sums, left), 3);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(Row + i), _mm_packus_epi16(value, value));
  }
  return i;
}
#endif

#if VC_HAS_WIDE_PATH
// Distance 1: the three channels' chains side by side in one register, so that each step is
// four one-cycle operations. (Sums has room for the fourth value read past a row.)
VC_WIDE_TARGET __attribute__((noinline)) void SharpenChainWide(uint8_t* Row, const int16_t* Sums,
                                                               int32_t Width) {
  const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi32(255);
  __m128i previous = _mm_setr_epi32(Row[0], Row[1], Row[2], 0);
  for (int32_t x = 0; x < Width; ++x) {
    const __m128i sums = _mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Sums + 3 * x)));
    previous = _mm_min_epi32(_mm_max_epi32(_mm_srai_epi32(_mm_sub_epi32(sums, previous), 3), zero), top);
    const __m128i bytes = _mm_shuffle_epi8(
        previous, _mm_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(bytes));
    // The fourth byte is overwritten by the next pixel; the last pixel writes three.
    std::memcpy(Row + 3 * x, &pixel, x + 1 < Width ? 4 : 3);
  }
}
#endif

// The serial pass: subtract the left neighbour, which is already replaced (or, in column 0, the
// pixel itself, still original).
void SharpenFinishRow(uint8_t* Row, const int16_t* Sums, int32_t Width, int32_t Distance, bool Wide) {
#if VC_HAS_WIDE_PATH
  if (Distance == 1 && Wide) return SharpenChainWide(Row, Sums, Width);
#endif
  if (Distance == 1) {
    // The neighbour is the pixel just written: keep it in registers.
    int32_t b = Row[0], g = Row[1], r = Row[2];
    for (int32_t x = 0; x < Width; ++x) {
      const int32_t i = 3 * x;
      b = SharpenResult(Sums[i] - b);
      g = SharpenResult(Sums[i + 1] - g);
      r = SharpenResult(Sums[i + 2] - r);
      Row[i] = uint8_t(b);
      Row[i + 1] = uint8_t(g);
      Row[i + 2] = uint8_t(r);
    }
    return;
  }
  for (int c = 0; c < 3; ++c) Row[c] = uint8_t(SharpenResult(Sums[c] - Row[c]));
  const int32_t fixedLeft = std::min(Distance, Width);
  Wide ? SharpenFixedLeftWide(Row, Sums, 1, fixedLeft) : SharpenFixedLeft(Row, Sums, 1, fixedLeft);
  int32_t i = 3 * fixedLeft;
  const int32_t offset = 3 * Distance, end = 3 * Width;
#if VC_HAS_WIDE_PATH
  if (Wide && offset >= 16) i = SharpenDistantWide(Row, Sums, i, end, offset);
  if (Wide && offset >= 8) i = SharpenNearWide(Row, Sums, i, end, offset);
#endif
  for (; i < end; ++i) Row[i] = uint8_t(SharpenResult(Sums[i] - Row[i - offset]));
}

// Distance 1 as a wavefront over WaveRows rows: each row runs two pixels behind the one above,
// so that when a row's pixel is due, the three pixels of the row above that it reads are
// finished, and the three of the row below still hold their old values. The same reads as the
// row-by-row rule, so the same bytes; but the rows' chains (each pixel waits for its left
// neighbour) now run side by side. Per row, everything that does not come from the rows being
// computed (the row below, the right neighbour, the centre; for the first row also the finished
// row above) is summed beforehand into Partial; the wavefront subtracts the row above's three
// fresh results and the left neighbour.
constexpr int32_t WaveRows = 8;

// One pixel of the wavefront: column X of Row, from its partial sums, the row above's results
// (Above; none for the group's first row, whose row above is in its sums) and its left
// neighbour (in column 0 the centre itself, which its sums hold).
inline void SharpenWavePixel(uint8_t* Row, const uint8_t* Above, const int16_t* Partial, int32_t X,
                             int32_t Width) {
  const int32_t l = X > 0 ? X - 1 : 0, r = X + 1 < Width ? X + 1 : Width - 1;
  for (int c = 0; c < 3; ++c) {
    int32_t value = Partial[3 * X + c];
    if (Above) value -= Above[3 * l + c] + Above[3 * X + c] + Above[3 * r + c];
    if (X > 0) value -= Row[3 * (X - 1) + c];
    Row[3 * X + c] = uint8_t(SharpenResult(value));
  }
}

#if VC_HAS_WIDE_PATH
// Rows[k] (k = 0 ... WaveRows - 1, consecutive rows) with their partial sums; Width is at least
// 2 x WaveRows + 1. Two rows share a register, four 16-bit lanes each (three channels and a
// spare); at step t, row k works on column t - 2k. The pixels before the first step at which
// every row's column is at least 1, and after the last at which every row's is at most
// Width - 2, go one by one (rows in order: each row's earlier columns are then done).
VC_WIDE_TARGET __attribute__((noinline)) void SharpenWaveWide(uint8_t* const* Rows,
                                                              const int16_t* const* Partial, int32_t Width) {
  constexpr int32_t firstStep = 2 * WaveRows - 1;
  constexpr int32_t registers = WaveRows / 2;
  for (int32_t k = 0; k < WaveRows; ++k)
    for (int32_t x = 0; x < firstStep - 2 * k; ++x)
      SharpenWavePixel(Rows[k], k ? Rows[k - 1] : nullptr, Partial[k], x, Width);
  // The results of the three steps before the first, each row at its own column (columns before
  // 0 are only ever read by the row below the last, which is not in the group).
  __m128i recent[3][registers];
  for (int32_t back = 1; back <= 3; ++back) {
    alignas(16) int16_t lanes[registers][8] = {};
    for (int32_t k = 0; k < WaveRows; ++k) {
      const int32_t x = firstStep - back - 2 * k;
      if (x < 0) continue;
      for (int c = 0; c < 3; ++c) lanes[k / 2][4 * (k % 2) + c] = Rows[k][3 * x + c];
    }
    for (int32_t j = 0; j < registers; ++j)
      recent[back - 1][j] = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes[j]));
  }
  __m128i v1[registers], v2[registers], v3[registers];
  for (int32_t j = 0; j < registers; ++j) v1[j] = recent[0][j], v2[j] = recent[1][j], v3[j] = recent[2][j];
  const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi16(255);
  for (int32_t t = firstStep; t <= Width - 2; ++t) {
    __m128i window[registers], partial[registers];
    for (int32_t j = 0; j < registers; ++j) {
      // The row above's three results around the column: the last three steps of that row.
      window[j] = _mm_add_epi16(_mm_add_epi16(v1[j], v2[j]), v3[j]);
      const int16_t* upper = Partial[2 * j] + 3 * (t - 4 * j);
      const int16_t* lower = Partial[2 * j + 1] + 3 * (t - 4 * j - 2);
      partial[j] = _mm_castpd_si128(
          _mm_loadh_pd(_mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(upper))),
                       reinterpret_cast<const double*>(lower)));
    }
    for (int32_t j = 0; j < registers; ++j) {
      // Each row's lanes take the window of the row above (the first row's is in its sums).
      const __m128i above = j ? _mm_alignr_epi8(window[j], window[j - 1], 8) : _mm_slli_si128(window[0], 8);
      const __m128i difference = _mm_sub_epi16(_mm_sub_epi16(partial[j], above), v1[j]);
      const __m128i value = _mm_min_epi16(_mm_max_epi16(_mm_srai_epi16(difference, 3), zero), top);
      const __m128i bytes = _mm_packus_epi16(value, value);
      // 4 bytes a row; the fourth lands on the next column, which the next step writes.
      const uint32_t upperPixel = uint32_t(_mm_cvtsi128_si32(bytes)),
                     lowerPixel = uint32_t(_mm_extract_epi32(bytes, 1));
      std::memcpy(Rows[2 * j] + 3 * (t - 4 * j), &upperPixel, 4);
      std::memcpy(Rows[2 * j + 1] + 3 * (t - 4 * j - 2), &lowerPixel, 4);
      v3[j] = v2[j];
      v2[j] = v1[j];
      v1[j] = value;
    }
  }
  for (int32_t k = 0; k < WaveRows; ++k)
    for (int32_t x = Width - 1 - 2 * k; x < Width; ++x)
      SharpenWavePixel(Rows[k], k ? Rows[k - 1] : nullptr, Partial[k], x, Width);
}
#endif

// The first and last rows, whose upper or lower grid row is the row itself.
void SharpenRowInPlace(uint8_t* Row, const uint8_t* Above, const uint8_t* Below, int32_t Width,
                       const int32_t* Left, const int32_t* Right) {
  for (int32_t x = 0; x < Width; ++x) {
    const int32_t l = Left[x], r = Right[x], i = 3 * x;
    for (int c = 0; c < 3; ++c) {
      const int32_t sum = Above[l + c] + Above[i + c] + Above[r + c] + Row[l + c] + Row[r + c] +
                          Below[l + c] + Below[i + c] + Below[r + c];
      Row[i + c] = uint8_t(SharpenResult(16 * Row[i + c] - sum));
    }
  }
}

// --- emboss -----------------------------------------------------------------------------------

VC_KERNEL uint8_t Emboss(uint16_t Value, uint16_t Partner) {
  return uint8_t(uint16_t(Value + 255 - Partner) >> 1);
}

// Rows First ... End - 1. Boundary holds row End as it was before the operation (the band below
// may already have replaced it), LastRow the last row as it was.
VC_KERNEL void EmbossRows(const TvcRaster& Image, int32_t First, int32_t End,
                          const uint8_t* __restrict Boundary, const uint8_t* __restrict LastRow) {
  const int32_t w = Image.Width, h = Image.Height;
  // Rows 0 ... h - 3: the partner is one down and one right (the last column for the last two).
  const int32_t pairedEnd = std::min(End, h - 2);
  for (int32_t y = First; y < pairedEnd; ++y) {
    uint8_t* __restrict row = Image.Row(y);
    const uint8_t* __restrict below = y + 1 == End ? Boundary : Image.Row(y + 1);
    const int32_t inner = 3 * (w - 1);
    for (int32_t i = 0; i < inner; ++i) row[i] = Emboss(row[i], below[i + 3]);
    for (int c = 0; c < 3; ++c) row[inner + c] = Emboss(row[inner + c], below[inner + c]);
  }
  // The last two rows: one partner for all, column 1 of the last row as it was.
  const uint8_t* partner = LastRow + 3 * ClampInt(1, 0, w - 1);
  const uint8_t pb = partner[0], pg = partner[1], pr = partner[2];
  for (int32_t y = std::max(First, std::max(h - 2, 0)); y < End; ++y) {
    uint8_t* __restrict row = Image.Row(y);
    for (int32_t x = 0; x < w; ++x) {
      row[3 * x] = Emboss(row[3 * x], pb);
      row[3 * x + 1] = Emboss(row[3 * x + 1], pg);
      row[3 * x + 2] = Emboss(row[3 * x + 2], pr);
    }
  }
}

VC_BOTH_PATHS(BlurRowsBetween,
              (const TvcRaster& Image, int32_t Distance, int32_t FirstChain, int32_t EndChain,
               const int32_t* Left, const int32_t* Right),
              (Image, Distance, FirstChain, EndChain, Left, Right))
VC_BOTH_PATHS(EmbossRows,
              (const TvcRaster& Image, int32_t First, int32_t End, const uint8_t* __restrict Boundary,
               const uint8_t* __restrict LastRow),
              (Image, First, End, Boundary, LastRow))

#undef VC_BOTH_PATHS

// The clamped neighbours for a distance: the rules clamp y - d and y + d alike, so a negative
// distance names the same neighbours as its magnitude. Distances past the image clamp the same
// way as the image's own size does.
int32_t DistanceMagnitude(const TvcRaster& Image, int32_t Distance) {
  const int64_t magnitude = Distance < 0 ? -int64_t(Distance) : Distance;
  const int64_t limit = int64_t(Image.Width > Image.Height ? Image.Width : Image.Height);
  return int32_t(magnitude < limit ? magnitude : limit);
}

int64_t RowBytes(const TvcRaster& Image) {
  return int64_t(Image.Width) * 3;
}

// The chains of rows 1 ... h - 2 at a distance: Distance chains, or one per row when the picture
// has fewer rows.
int32_t ChainCount(const TvcRaster& Image, int32_t Distance) {
  return std::max(1, std::min(Distance, Image.Height - 2));
}

}  // namespace

void ApplyBlurPass(const TvcRaster& Image, int32_t Distance, TvcEffectScratch& Scratch) {
  // Distance 0 averages the pixel with itself four times.
  if (Image.Empty() || Distance == 0) return;
  const int32_t d = DistanceMagnitude(Image, Distance);
  const int32_t w = Image.Width, h = Image.Height;
  int32_t* left = Scratch.Table(0, size_t(w));
  int32_t* right = Scratch.Table(1, size_t(w));
  ClampedColumns(w, d, left, right);

  BlurRowInPlace(Image.Row(0), Image.Row(0), Image.Row(ClampInt(d, 0, h - 1)), w, left, right);
  const int32_t chains = ChainCount(Image, d);
  Scratch.Bands().RunRanges(chains, RowBytes(Image) * (h / chains + 1), [&](int32_t First, int32_t End) {
    RunBlurRowsBetween(Image, d, First, End, left, right);
  });
  if (h > 1)
    BlurRowInPlace(Image.Row(h - 1), Image.Row(ClampInt(h - 1 - d, 0, h - 1)), Image.Row(h - 1), w, left,
                   right);
}

void ApplyGaussianBlur(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch) {
  for (int32_t distance = Amount; distance >= 1; --distance) ApplyBlurPass(Image, distance, Scratch);
}

void ApplySharpen(const TvcRaster& Image, int32_t Distance, TvcEffectScratch& Scratch) {
  if (Image.Empty() || Distance == 0) return;
  const int32_t d = DistanceMagnitude(Image, Distance);
  const int32_t w = Image.Width, h = Image.Height;
  int32_t* left = Scratch.Table(0, size_t(w));
  int32_t* right = Scratch.Table(1, size_t(w));
  ClampedColumns(w, d, left, right);
  const bool wide = vcUseWidePath();

  SharpenRowInPlace(Image.Row(0), Image.Row(0), Image.Row(ClampInt(d, 0, h - 1)), w, left, right);
#if VC_HAS_WIDE_PATH
  // Distance 1 on the wide path: groups of rows as a wavefront, then the rows left one by one.
  int32_t firstRow = 1;
  if (d == 1 && wide && w >= 2 * WaveRows + 1 && h - 2 >= WaveRows) {
    const size_t rowValues = size_t(w) * 3;
    int16_t* const buffer = Scratch.Sums(rowValues * (WaveRows + 1));
    int16_t* const vertical = buffer + rowValues * WaveRows;
    uint8_t* const noRow = Scratch.Row(rowValues);
    std::memset(noRow, 0, rowValues);
    int16_t* partial[WaveRows];
    uint8_t* rows[WaveRows];
    for (; firstRow + WaveRows - 1 <= h - 2; firstRow += WaveRows) {
      for (int32_t k = 0; k < WaveRows; ++k) {
        rows[k] = Image.Row(firstRow + k);
        partial[k] = buffer + rowValues * size_t(k);
        // The first row's sums take in the finished row above; the others' leave it out.
        SharpenSumsRowWide(partial[k], vertical, rows[k], k ? noRow : Image.Row(firstRow - 1),
                           Image.Row(firstRow + k + 1), w, 1);
        // Column 0's left neighbour is the centre itself.
        for (int c = 0; c < 3; ++c) partial[k][c] = int16_t(partial[k][c] - rows[k][c]);
      }
      SharpenWaveWide(rows, partial, w);
    }
    for (int32_t y = firstRow; y < h - 1; ++y) {
      SharpenSumsRowWide(buffer, vertical, Image.Row(y), Image.Row(y - 1), Image.Row(y + 1), w, 1);
      SharpenFinishRow(Image.Row(y), buffer, w, 1, true);
    }
    if (h > 1) SharpenRowInPlace(Image.Row(h - 1), Image.Row(h - 2), Image.Row(h - 1), w, left, right);
    return;
  }
#endif
  // The rows between, chain by chain as the blur's (the same reads: the row d above, finished,
  // the row d below, untouched); each band has its own sums.
  TvcBandPool& bands = Scratch.Bands();
  const int32_t chains = ChainCount(Image, d);
  const int32_t count = bands.BandCount(chains, RowBytes(Image) * (h / chains + 1));
  // Per band: the row sums, then the vertical sums (SharpenChainWide reads one value past the
  // row sums, which lands in the vertical ones), rounded up to whole cache lines.
  const size_t stride = (size_t(w) * 6 + 1 + 31) & ~size_t(31);
  int16_t* sums = Scratch.Sums(stride * size_t(count));
  bands.Run(count, [&](int32_t Band) {
    int16_t* rowSums = sums + stride * size_t(Band);
    int16_t* vertical = rowSums + size_t(w) * 3;
    ForChainRows(h, d, vcBandStart(chains, count, Band), vcBandStart(chains, count, Band + 1),
                 [&](int32_t y) {
                   uint8_t* row = Image.Row(y);
                   const uint8_t* above = Image.Row(ClampInt(y - d, 0, h - 1));
                   const uint8_t* below = Image.Row(ClampInt(y + d, 0, h - 1));
                   wide ? SharpenSumsRowWide(rowSums, vertical, row, above, below, w, d)
                        : SharpenSumsRow(rowSums, vertical, row, above, below, w, d);
                   SharpenFinishRow(row, rowSums, w, d, wide);
                 });
  });
  if (h > 1)
    SharpenRowInPlace(Image.Row(h - 1), Image.Row(ClampInt(h - 1 - d, 0, h - 1)), Image.Row(h - 1), w, left,
                      right);
}

void ApplyEmboss(const TvcRaster& Image, TvcEffectScratch& Scratch) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  const size_t rowBytes = size_t(w) * 3;
  TvcBandPool& bands = Scratch.Bands();
  const int32_t count = bands.BandCount(h, RowBytes(Image));
  // The last row, then the first row of every band but the first, as they are before any band
  // starts: the last row of a band reads the row below it, which the next band may replace.
  uint8_t* saved = Scratch.Row(rowBytes * size_t(count + 1));
  std::memcpy(saved, Image.Row(h - 1), rowBytes);
  for (int32_t band = 1; band < count; ++band)
    std::memcpy(saved + rowBytes * size_t(band), Image.Row(vcBandStart(h, count, band)), rowBytes);
  bands.Run(count, [&](int32_t Band) {
    const int32_t first = vcBandStart(h, count, Band), end = vcBandStart(h, count, Band + 1);
    RunEmbossRows(Image, first, end, saved + rowBytes * size_t(Band + 1), saved);
  });
}

namespace {

// --- sponge -----------------------------------------------------------------------------------
// The sponge draws three words a pixel (one when the first draw is 0) and moves one pixel in
// raster order. The moves stay in that order, one after the other. The words depend only on the
// generator's state and their position, so they are computed ahead in blocks (on other threads
// when there are any), together with what a pixel whose draws start at each word would do; the
// moves then read one record a pixel, in order.

// Words First ... First + Count - 1 from State.
void FillWordsPlain(uint64_t State, uint64_t First, uint32_t* Words, int32_t Count) {
  uint64_t value = State + (First + 1) * TvcRandom::Increment;
  for (int32_t i = 0; i < Count; ++i, value += TvcRandom::Increment) Words[i] = TvcRandom::Mix(value);
}

#if VC_HAS_WIDE_PATH
// Value x (High:Low) modulo 2^64 in each 64-bit lane, from three 32 x 32-bit products.
VC_WIDE_TARGET inline __m256i Multiply64(__m256i Value, __m256i Low, __m256i High) {
  const __m256i cross =
      _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(Value, 32), Low), _mm256_mul_epu32(Value, High));
  return _mm256_add_epi64(_mm256_mul_epu32(Value, Low), _mm256_slli_epi64(cross, 32));
}

// The generator's mixer in four lanes; the word is the high half of each lane.
VC_WIDE_TARGET inline __m256i MixLanes(__m256i Value) {
  const __m256i low1 = _mm256_set1_epi64x(0x1CE4E5B9), high1 = _mm256_set1_epi64x(0xBF58476D);
  const __m256i low2 = _mm256_set1_epi64x(0x133111EB), high2 = _mm256_set1_epi64x(0x94D049BB);
  Value = Multiply64(_mm256_xor_si256(Value, _mm256_srli_epi64(Value, 30)), low1, high1);
  Value = Multiply64(_mm256_xor_si256(Value, _mm256_srli_epi64(Value, 27)), low2, high2);
  return _mm256_xor_si256(Value, _mm256_srli_epi64(Value, 31));
}

// Eight words at a time: the even positions in one register, the odd in another, so that one
// blend puts the high halves in order. Returns the words done.
VC_WIDE_TARGET __attribute__((noinline)) int32_t FillWordsWide(uint64_t State, uint64_t First,
                                                               uint32_t* Words, int32_t Count) {
  constexpr uint64_t step = TvcRandom::Increment;
  const uint64_t base = State + (First + 1) * step;
  __m256i even = _mm256_setr_epi64x(int64_t(base), int64_t(base + 2 * step), int64_t(base + 4 * step),
                                    int64_t(base + 6 * step));
  __m256i odd = _mm256_setr_epi64x(int64_t(base + step), int64_t(base + 3 * step), int64_t(base + 5 * step),
                                   int64_t(base + 7 * step));
  const __m256i advance = _mm256_set1_epi64x(int64_t(8 * step));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m256i words = _mm256_blend_epi32(_mm256_srli_epi64(MixLanes(even), 32), MixLanes(odd), 0xAA);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Words + i), words);
    even = _mm256_add_epi64(even, advance);
    odd = _mm256_add_epi64(odd, advance);
  }
  return i;
}
#endif

void FillWords(uint64_t State, uint64_t First, uint32_t* Words, int32_t Count, bool Wide) {
  int32_t done = 0;
#if VC_HAS_WIDE_PATH
  if (Wide) done = FillWordsWide(State, First, Words, Count);
#endif
  FillWordsPlain(State, First + uint64_t(done), Words + done, Count - done);
}

// What a pixel whose draws start at a word does, one record per word: the displacement, dx and
// dy in the two 16-bit halves, or one of two marks in place of dx (no displacement is -32768):
// no displacement (the first draw is 0: one word, the pixel keeps its value), or a draw that
// rejects a word (the pixel goes through the generator's rule). Records are made for amounts
// whose displacements fit 16 bits; above that every pixel goes through the rule.
constexpr uint32_t RecordMark = 0x8000;
constexpr uint32_t StillRecord = RecordMark;
constexpr uint32_t ByRuleRecord = RecordMark | 1u << 16;
constexpr int32_t RecordedAmounts = 32767;

uint32_t MakeRecord(uint32_t First, uint32_t Across, uint32_t Down, uint32_t Amount) {
  const uint64_t first = uint64_t(First) * Amount;
  if (uint32_t(first) < Amount) return ByRuleRecord;
  const uint32_t r = uint32_t(first >> 32);
  if (r == 0) return StillRecord;
  const uint32_t range = 2 * r;
  const uint64_t across = uint64_t(Across) * range, down = uint64_t(Down) * range;
  if (uint32_t(across) < range || uint32_t(down) < range) return ByRuleRecord;
  const uint32_t dx = r - uint32_t(across >> 32), dy = r - uint32_t(down >> 32);
  return (dx & 0xFFFF) | dy << 16;
}

// Records 0 ... Count - 1 from Words (indexed alike, with two more words after Count - 1).
void MakeRecordsPlain(const uint32_t* Words, uint32_t* Records, int32_t From, int32_t Count,
                      uint32_t Amount) {
  for (int32_t i = From; i < Count; ++i)
    Records[i] = MakeRecord(Words[i], Words[i + 1], Words[i + 2], Amount);
}

#if VC_HAS_WIDE_PATH
// The full 64-bit products of eight 32-bit lanes, as their high and low halves.
VC_WIDE_TARGET inline void MultiplyLanes(__m256i A, __m256i B, __m256i& High, __m256i& Low) {
  const __m256i even = _mm256_mul_epu32(A, B);
  const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(A, 32), _mm256_srli_epi64(B, 32));
  High = _mm256_blend_epi32(_mm256_srli_epi64(even, 32), odd, 0xAA);
  Low = _mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), 0xAA);
}

// A < B for unsigned lanes.
VC_WIDE_TARGET inline __m256i Below(__m256i A, __m256i B) {
  const __m256i bias = _mm256_set1_epi32(int32_t(0x80000000));
  return _mm256_cmpgt_epi32(_mm256_xor_si256(B, bias), _mm256_xor_si256(A, bias));
}

// Eight records at a time, each lane the same as MakeRecord. Returns the records done.
VC_WIDE_TARGET __attribute__((noinline)) int32_t MakeRecordsWide(const uint32_t* Words, uint32_t* Records,
                                                                 int32_t Count, uint32_t Amount) {
  const __m256i amount = _mm256_set1_epi32(int32_t(Amount)), zero = _mm256_setzero_si256();
  const __m256i low16 = _mm256_set1_epi32(0xFFFF);
  const __m256i still = _mm256_set1_epi32(int32_t(StillRecord)),
                byRule = _mm256_set1_epi32(int32_t(ByRuleRecord));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Words + i));
    const __m256i acrossWord = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Words + i + 1));
    const __m256i downWord = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Words + i + 2));
    __m256i r, firstLow, across, acrossLow, down, downLow;
    MultiplyLanes(first, amount, r, firstLow);
    const __m256i range = _mm256_add_epi32(r, r);
    MultiplyLanes(acrossWord, range, across, acrossLow);
    MultiplyLanes(downWord, range, down, downLow);
    const __m256i rejectedFirst = Below(firstLow, amount);
    const __m256i isStill = _mm256_cmpeq_epi32(r, zero);
    const __m256i rejectedLater = _mm256_or_si256(Below(acrossLow, range), Below(downLow, range));
    const __m256i record = _mm256_or_si256(_mm256_and_si256(_mm256_sub_epi32(r, across), low16),
                                           _mm256_slli_epi32(_mm256_sub_epi32(r, down), 16));
    const __m256i byRuleLanes = _mm256_or_si256(rejectedFirst, _mm256_andnot_si256(isStill, rejectedLater));
    const __m256i stillLanes = _mm256_andnot_si256(rejectedFirst, isStill);
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(Records + i),
        _mm256_blendv_epi8(_mm256_blendv_epi8(record, still, stillLanes), byRule, byRuleLanes));
  }
  return i;
}
#endif

// Records First ... End - 1 of a block that starts at word Base. The words are made a chunk at a
// time in a small buffer that stays in the first-level cache; only the records are stored.
void FillBlock(uint64_t State, uint64_t Base, uint32_t* Records, int32_t First, int32_t End, int32_t Amount,
               bool Wide) {
  if (Amount > RecordedAmounts) {
    std::fill(Records + First, Records + End, ByRuleRecord);
    return;
  }
  constexpr int32_t chunk = 1024;
  uint32_t words[chunk + 8];
  for (int32_t from = First; from < End; from += chunk) {
    const int32_t count = std::min(chunk, End - from);
    // Two more words than records: the last records' other draws.
    FillWords(State, Base + uint64_t(from), words, count + 2, Wide);
    int32_t done = 0;
#if VC_HAS_WIDE_PATH
    if (Wide) done = MakeRecordsWide(words, Records + from, count, uint32_t(Amount));
#endif
    MakeRecordsPlain(words, Records + from, done, count, uint32_t(Amount));
  }
}

// The generator's words from a fixed state, drawn one after the other from Index on.
struct TWordSource {
  uint64_t State = 0;
  uint64_t Index = 0;  // the next word to draw
  uint32_t operator()() { return TvcRandom::Word(State, Index++); }
};

// A block of records: the records of words Base ... End - 1.
struct TRecordBlock {
  const uint32_t* Records = nullptr;
  uint64_t Base = 0, End = 0;
};

// Where the sponge stands: the next pixel in raster order.
struct TSpongePosition {
  int32_t X = 0, Y = 0;
};

inline void MovePixel(uint8_t* Target, const uint8_t* Source) {
  uint16_t blueGreen;
  std::memcpy(&blueGreen, Source, 2);
  const uint8_t red = Source[2];
  std::memcpy(Target, &blueGreen, 2);
  Target[2] = red;
}

// A pixel whose draws meet a rejection (a low word the bounded draw must replace): the
// generator's own rule, word by word from Index. Returns the next word's index.
__attribute__((noinline)) uint64_t SpongePixelByRule(const TvcRaster& Image, int32_t Amount, uint64_t State,
                                                     uint64_t Index, int32_t X, int32_t Y) {
  TWordSource words{State, Index};
  const int32_t r = TvcRandom::BelowFrom(Amount, words);
  const int32_t xs = ClampInt(r - TvcRandom::BelowFrom(2 * r, words) + X, 0, Image.Width - 1);
  const int32_t ys = ClampInt(r - TvcRandom::BelowFrom(2 * r, words) + Y, 0, Image.Height - 1);
  MovePixel(Image.At(X, Y), Image.At(xs, ys));
  return words.Index;
}

// Moves the pixels of one run of a row, From ... To - 1, starting at word Index, as long as the
// records last: a pixel reads the record at its first word and starts the next pixel one or three
// words later, so Limit pixels (at most a third of the records left) need no check. Inner runs lie
// at least Amount - 1 from every edge and need no clamp. Returns the first pixel not moved; a pixel
// drawn by the rule ends the run early (its words are not known ahead).
template <bool Inner>
int32_t SpongeRun(const TvcRaster& Image, int32_t Amount, uint64_t State, const uint32_t* Records,
                  uint64_t Base, uint64_t& Index, int32_t From, int32_t To, int32_t Y) {
  uint8_t* const pixels = Image.Pixels;
  const ptrdiff_t rowSize = Image.RowSize;
  const int32_t w = Image.Width, h = Image.Height;
  uint8_t* const row = pixels + Y * rowSize;
  const uint32_t* next = Records + (Index - Base);
  for (int32_t x = From; x < To; ++x) {
    const uint32_t record = *next;
    if ((record & 0xFFFF) == RecordMark) {
      if (record != StillRecord) {
        Index = SpongePixelByRule(Image, Amount, State, Base + uint64_t(next - Records), x, Y);
        return x + 1;
      }
      // No displacement: the pixel keeps its value.
      ++next;
      continue;
    }
    next += 3;
    const int32_t dx = int16_t(record), dy = int32_t(record) >> 16;
    if (Inner) {
      uint8_t* target = row + 3 * x;
      MovePixel(target, target + (dy * rowSize + 3 * dx));
    } else {
      MovePixel(row + 3 * x, pixels + ClampInt(Y + dy, 0, h - 1) * rowSize + 3 * ClampInt(x + dx, 0, w - 1));
    }
  }
  Index = Base + uint64_t(next - Records);
  return To;
}

// Moves pixels from Position on while the next pixel's record lies in the block (or until the
// picture is done); Index is the next word.
void SpongePixels(const TvcRaster& Image, int32_t Amount, uint64_t State, const TRecordBlock& Block,
                  uint64_t& Index, TSpongePosition& Position) {
  const int32_t w = Image.Width, h = Image.Height;
  // Columns innerLeft ... innerRight - 1 of rows innerTop ... innerBottom - 1 need no clamp.
  const int32_t reach = Amount - 1;
  const int32_t innerLeft = std::min(reach, w), innerRight = std::max(innerLeft, w - reach);
  const int32_t innerTop = reach, innerBottom = h - reach;
  int32_t x = Position.X, y = Position.Y;
  for (; y < h; ++y, x = 0) {
    const bool innerRow = y >= innerTop && y < innerBottom;
    while (x < w) {
      // Records left: the pixel at a record three from the end still finds its words in the
      // record, so every record may start a pixel.
      if (Index < Block.Base || Index >= Block.End) goto done;
      const int64_t left = int64_t(Block.End - Index);
      const bool inner = innerRow && x >= innerLeft && x < innerRight;
      const int32_t runEnd = inner ? innerRight : innerRow && x < innerLeft ? innerLeft : w;
      const int32_t end = int32_t(std::min<int64_t>(runEnd, x + std::max<int64_t>(1, (left + 2) / 3)));
      x = inner ? SpongeRun<true>(Image, Amount, State, Block.Records, Block.Base, Index, x, end, y)
                : SpongeRun<false>(Image, Amount, State, Block.Records, Block.Base, Index, x, end, y);
    }
  }
done:
  Position = TSpongePosition{x, y};
}

}  // namespace

void ApplySponge(const TvcRaster& Image, int32_t Amount, TvcRandom& Random, TvcEffectScratch& Scratch) {
  // An amount of 0 or less draws nothing, 1 draws one word a pixel and moves nothing.
  if (Image.Empty() || Amount <= 0) return;
  if (Amount == 1) return Random.Skip(uint64_t(Image.Width) * uint64_t(Image.Height));
  // Twice the largest draw must stay an int32; amounts that large displace as far as any other.
  if (Amount > (1 << 30)) Amount = 1 << 30;
  const bool wide = vcUseWidePath();
  TvcBandPool& bands = Scratch.Bands();
  const uint64_t state = Random.State();
  uint64_t index = 0;
  TSpongePosition position;
  // Alone: small blocks that stay in the cache, made and drawn from in turn. With threads: two
  // blocks; the calling thread draws from one while the others make the next.
  const int32_t threads = bands.BandCount(Image.Height, int64_t(Image.Width) * 3);
  const int32_t makers = std::min(threads - 1, 4);
  const int32_t blockRecords = makers <= 0 ? 4096 : 1 << 15;
  uint32_t* const records = Scratch.Records(size_t(makers <= 0 ? 1 : 2) * size_t(blockRecords));
  const auto fill = [&](uint32_t* Records, uint64_t Base, int32_t Slice, int32_t Slices) {
    FillBlock(state, Base, Records, vcBandStart(blockRecords, Slices, Slice),
              vcBandStart(blockRecords, Slices, Slice + 1), Amount, wide);
  };
  if (makers <= 0) {
    while (position.Y < Image.Height) {
      fill(records, index, 0, 1);
      SpongePixels(Image, Amount, state, TRecordBlock{records, index, index + uint64_t(blockRecords)}, index,
                   position);
    }
  } else {
    uint32_t* buffers[2] = {records, records + blockRecords};
    int current = 0;
    TRecordBlock block;
    while (position.Y < Image.Height) {
      // The block must hold the next pixel's record (a pixel drawn by the rule can leave it
      // behind).
      if (!block.Records || index < block.Base || index >= block.End) {
        const uint64_t base = index;
        bands.Run(makers, [&](int32_t Band) { fill(buffers[current], base, Band, makers); });
        block = TRecordBlock{buffers[current], base, base + uint64_t(blockRecords)};
      }
      // The next block starts where this one ends: the pixel this block stops at starts there or
      // a word or two later.
      const uint64_t nextBase = block.End;
      uint32_t* nextBuffer = buffers[1 - current];
      // The moves stay on the calling thread, whose cache holds the picture.
      bands.RunWithCallerFirst(1 + makers, [&](int32_t Band) {
        if (Band == 0)
          SpongePixels(Image, Amount, state, block, index, position);
        else
          fill(nextBuffer, nextBase, Band - 1, makers);
      });
      current = 1 - current;
      block = TRecordBlock{buffers[current], nextBase, nextBase + uint64_t(blockRecords)};
    }
  }
  Random.Skip(index);
}

}  // namespace vcfx
