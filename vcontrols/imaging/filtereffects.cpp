// The neighbourhood filters: blur pass, sharpen and emboss (the sponge has a file of its own).
// They work in place in raster order, and that order is part of their result: a pixel reads
// neighbours above it and to its left after they were replaced. The fast forms below keep exactly
// those reads:
// - blur: a row other than the first and the last reads only the row d above (finished) and the
//   row d below (untouched), so it is a pure function of two other rows and is vectorised; the
//   first and last rows read themselves and run pixel by pixel;
// - sharpen: the same holds for the rows above and below, so everything except the left
//   neighbour in the same row is summed first, vectorised; the left neighbour, already
//   replaced, is then subtracted in one serial pass along the row;
// - emboss: every partner is an original pixel (the row below, or a saved copy of the last row),
//   so it is a pure function of the rows and is vectorised;
// Bands for the worker threads: the blur's and the sharpen's rows between the first and the last
// fall into Distance chains (rows y = c + 1, c + 1 + d, c + 1 + 2d, ...) that read only rows of
// their own chain, so runs of chains are the bands (short distances, distance 1 among them, run
// on one thread); the emboss's rows are cut into bands with each band's first row saved
// beforehand, since the band above reads it as it was.

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

// Bands of chains: one per thread, each of at least four consecutive chains. A band of chains
// takes every Distance-th run of rows; runs of a single row would put neighbouring rows (and the
// cache lines the prefetcher brings along with them) on different processors, which costs more
// than the threads gain.
int32_t ChainBands(TvcBandPool& Bands, const TvcRaster& Image, int32_t Chains) {
  constexpr int32_t chainsPerBand = 4;
  return std::max(1, std::min(Bands.ThreadCount(Chains, RowBytes(Image) * (Image.Height / Chains + 1)),
                              Chains / chainsPerBand));
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
  const int32_t count = ChainBands(Scratch.Bands(), Image, chains);
  Scratch.Bands().Run(count, [&](int32_t Band) {
    RunBlurRowsBetween(Image, d, vcBandStart(chains, count, Band), vcBandStart(chains, count, Band + 1), left,
                       right);
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
  const int32_t count = ChainBands(bands, Image, chains);
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

}  // namespace vcfx
