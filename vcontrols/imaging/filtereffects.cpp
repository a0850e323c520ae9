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
// their own chain, so at long distances runs of chains are the bands. Short distances, distance
// 1 among them, have too few chains: there groups of consecutive rows run on the threads side
// by side, each group some columns behind the group above (see TFollowing), since a row reads
// the rows Distance away only up to Distance columns right of the column it makes. The emboss's
// rows are cut into bands with each band's first row saved beforehand, since the band above
// reads it as it was.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>
#endif

namespace vcfx {

namespace {

// The wide path of kernels that ask for rows they are about to write (a processor without the
// write prefetch takes its instruction as a no-operation).
#if VC_HAS_WIDE_PATH
#define VC_WIDE_WRITE_TARGET __attribute__((target("avx2,prfchw")))
#else
#define VC_WIDE_WRITE_TARGET
#endif

#define VC_BOTH_PATHS(Kernel, Params, Args)                           \
  VC_WIDE_TARGET __attribute__((noinline)) void Kernel##Wide Params { \
    Kernel Args;                                                      \
  }                                                                   \
  __attribute__((noinline)) void Kernel##Plain Params {               \
    Kernel Args;                                                      \
  }                                                                   \
  [[maybe_unused]] void Run##Kernel Params {                          \
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

// --- rows that follow each other --------------------------------------------------------------

// The blur and the sharpen at short distances have too few independent chains of rows for the
// threads, but a row reads the row Distance above it only up to Distance columns right of the
// column it makes. So rows can run side by side, each some columns behind the rows it reads:
// the rows between the first and the last are cut into groups of consecutive rows, the threads
// take the groups in order from a counter, and each group publishes how many columns of all its
// rows it has finished. A group waits only on the group before it, which a thread took earlier
// and is running (or has finished): whatever the number of threads, every wait ends. The same
// published count also tells a group that the group above has read the originals of the rows it
// is about to replace, since a row reads the row Distance below exactly as far as it reads the
// row Distance above.
class TFollowing {
 public:
  // Words: (Groups + 1) x WordStride words of scratch, the claim counter and then one progress
  // word per group, each in a cache line of its own.
  static constexpr int32_t WordStride = 16;
  TFollowing(int32_t* Words, int32_t Groups, int32_t Width) : FWords(Words), FGroups(Groups), FWidth(Width) {
    for (int32_t i = 0; i <= Groups; ++i)
      std::atomic_ref<int32_t>(Word(i)).store(0, std::memory_order_relaxed);
  }
  int32_t Groups() const { return FGroups; }

  // The next group to make, or Groups() when none is left.
  int32_t Claim() const {
    return std::min(std::atomic_ref<int32_t>(Word(0)).fetch_add(1, std::memory_order_relaxed), FGroups);
  }
  // Every row of Group is finished in columns 0 ... Columns - 1 (Width: the whole group).
  void Publish(int32_t Group, int32_t Columns) const {
    const std::atomic_ref<int32_t> word(Word(Group + 1));
    word.store(Columns, std::memory_order_release);
    // Wakes a group that went to sleep on the word (without one, this costs a load).
    word.notify_all();
  }
  // Waits until the group above Group has published at least Columns (at most Width) and returns
  // what it published; the first group has nothing above it to wait for. Known is what the group
  // saw last (0 at its start): the shared word is read only when that is not enough, since each
  // read of a word that the other thread has just written moves its cache line across.
  int32_t Await(int32_t Group, int32_t Columns, int32_t& Known) const {
    if (Known >= Columns) return Known;
    if (Group == 0) return Known = FWidth;
    const std::atomic_ref<int32_t> word(Word(Group));
    int32_t done = word.load(std::memory_order_acquire);
    for (int32_t round = 0; done < Columns; ++round) {
      // A short wait is the rule (the group above is a few columns ahead). A longer one means
      // its thread was slow to get a processor or lost it: the group keeps spinning for some hundreds
      // of microseconds, yielding now and then so that a thread waiting for this processor gets it,
      // since a sleep and a wake-up through the kernel cost tens of microseconds on a virtual
      // machine, and a pass has hundreds of such waits (with them, eight threads were slower
      // than one). Longer still means the processors are busy with other programs: a group
      // that kept spinning would keep the thread it waits for from a processor, so it sleeps
      // until the word changes.
      if (round >= SpinRounds)
        word.wait(done, std::memory_order_acquire);
      else if (round % YieldRounds == YieldRounds - 1)
        std::this_thread::yield();
      else
        Pause();
      done = word.load(std::memory_order_acquire);
    }
    return Known = done;
  }

 private:
  static constexpr int32_t SpinRounds = 1 << 12, YieldRounds = 64;
  static void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
  }
  int32_t& Word(int32_t Index) const {
    return FWords[size_t(Index) * WordStride];
  }

  int32_t* FWords;
  int32_t FGroups, FWidth;
};

// How far a group moves per step: far enough that its waits and stores are few, near enough that
// the group below can start soon; a step is cut short to what the group above allows, but not
// below MinimumStep columns, so that the groups do not crawl one column at a time.
constexpr int32_t MaximumStep = 128;
constexpr int32_t MinimumStep = 16;
// Rows per group of the blur and the sharpen at distances other than the wavefront's.
constexpr int32_t FollowRows = 32;

// Makes the groups that Following hands out, groups of GroupRows rows from row 1 on, in steps:
// Step(First, Rows, Front, Next) makes columns Front - r ... Next - r - 1 of each row First + r
// (within the row). So each row runs one column behind the row above it: a row that reads the
// row Distance above within its group finds it Distance columns ahead, and the group's first
// rows wait for the group above to be Distance columns ahead of the group's front.
template <class TStep>
void MakeFollowingRows(const TFollowing& Following, int32_t Height, int32_t Width, int32_t Distance,
                       int32_t GroupRows, const TStep& Step) {
  for (int32_t group = Following.Claim(); group < Following.Groups(); group = Following.Claim()) {
    const int32_t first = 1 + group * GroupRows, rows = std::min(GroupRows, Height - 1 - first);
    const int32_t end = Width + rows - 1;  // the front at which the last row is done
    int32_t known = 0;
    for (int32_t front = 0; front < end;) {
      const int32_t target = std::min(front + MaximumStep, end);
      const int32_t wanted = std::min(target, front + MinimumStep);
      const int32_t above = Following.Await(group, std::min(wanted + Distance, Width), known);
      const int32_t next = above >= Width ? target : std::min(target, above - Distance);
      Step(first, rows, front, next);
      front = next;
      Following.Publish(group, std::clamp(front - (rows - 1), 0, Width));
    }
  }
}

// Asks for the cache lines of bytes From ... To - 1 of two rows (a row being made and the row
// it reads below), which the next step of a group reads.
VC_KERNEL void FetchAhead(const uint8_t* Row, const uint8_t* Below, int32_t From, int32_t To) {
  for (int32_t i = From; i < To; i += 64) {
    __builtin_prefetch(Row + i, 1);
    __builtin_prefetch(Below + i, 0);
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

// Columns X0 ... X1 - 1 of such a row (the same reads, for a row made in pieces).
VC_KERNEL void BlurSegment(uint8_t* __restrict Row, const uint8_t* __restrict Above,
                           const uint8_t* __restrict Below, int32_t Width, int32_t Distance, int32_t X0,
                           int32_t X1, const int32_t* Left, const int32_t* Right) {
  const int32_t first = Distance < Width ? Distance : Width;
  const int32_t last = Width - Distance > first ? Width - Distance : first;
  const auto pixels = [&](int32_t From, int32_t To) {
    for (int32_t x = From; x < To; ++x) {
      const int32_t l = Left[x], r = Right[x];
      for (int c = 0; c < 3; ++c)
        Row[3 * x + c] = uint8_t((Below[r + c] + Above[r + c] + Below[l + c] + Above[l + c]) >> 2);
    }
  };
  pixels(X0, std::min(X1, first));
  const int32_t offset = 3 * Distance, from = 3 * std::max(X0, first), to = 3 * std::min(X1, last);
  for (int32_t i = from; i < to; ++i)
    Row[i] = uint8_t(
        uint16_t(uint16_t(Below[i + offset]) + Above[i + offset] + Below[i - offset] + Above[i - offset]) >>
        2);
  pixels(std::max(X0, last), X1);
}

// One step of a group of following rows (see MakeFollowingRows): row First + r makes columns
// Front - r ... Next - r - 1 (within the row), and the memory its next step will read is fetched
// ahead, since a step reads many short pieces of rows, which the processor does not foresee.
VC_KERNEL void BlurStep(const TvcRaster& Image, int32_t Distance, int32_t First, int32_t Rows, int32_t Front,
                        int32_t Next, const int32_t* Left, const int32_t* Right) {
  const int32_t w = Image.Width, h = Image.Height, ahead = 3 * (Next - Front);
  for (int32_t r = 0; r < Rows; ++r) {
    const int32_t x0 = std::max(0, Front - r), x1 = std::min(w, Next - r);
    if (x0 >= x1) continue;
    const int32_t y = First + r;
    uint8_t* row = Image.Row(y);
    const uint8_t* below = Image.Row(ClampInt(y + Distance, 0, h - 1));
    BlurSegment(row, Image.Row(ClampInt(y - Distance, 0, h - 1)), below, w, Distance, x0, x1, Left, Right);
    FetchAhead(row, below, 3 * x1, std::min(3 * x1 + ahead, 3 * w));
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

// SharpenSumsRow for columns X0 ... X1 - 1 of the row only (Sums and Vertical indexed as for the
// whole row): the vertical sums of the columns they read, then their sums.
VC_KERNEL void SharpenSumsSegment(int16_t* __restrict Sums, int16_t* __restrict Vertical,
                                  const uint8_t* __restrict Row, const uint8_t* __restrict Above,
                                  const uint8_t* __restrict Below, int32_t Width, int32_t Distance,
                                  int32_t X0, int32_t X1) {
  const int32_t from = 3 * std::max(0, X0 - Distance), to = 3 * std::min(Width, X1 + Distance);
  for (int32_t i = from; i < to; ++i) Vertical[i] = int16_t(Above[i] + Below[i]);
  const int32_t fixedLeft = Distance < Width ? Distance : Width;
  const int32_t fixedRight = Width - Distance > 0 ? Width - Distance : 0;
  const int32_t offset = 3 * Distance, last = 3 * (Width - 1);
  const int32_t low = std::min(fixedLeft, fixedRight), high = std::max(fixedLeft, fixedRight);
  const int32_t lowEnd = std::min(X1, low), highStart = std::max(X0, high);
  if (X0 < lowEnd) SharpenSumsRange<true, false>(Sums, Row, Vertical, X0, lowEnd, offset, last);
  const int32_t middleStart = std::max(X0, low), middleEnd = std::min(X1, high);
  if (middleStart < middleEnd) {
    if (fixedLeft <= fixedRight) {
      for (int32_t i = 3 * middleStart; i < 3 * middleEnd; ++i)
        Sums[i] = int16_t(int16_t(16 * Row[i]) - int16_t(Vertical[i - offset] + Vertical[i] +
                                                         Vertical[i + offset] + Row[i + offset]));
    } else {
      SharpenSumsRange<true, true>(Sums, Row, Vertical, middleStart, middleEnd, offset, last);
    }
  }
  if (highStart < X1) SharpenSumsRange<false, true>(Sums, Row, Vertical, highStart, X1, offset, last);
}

VC_WIDE_TARGET __attribute__((noinline)) void SharpenSumsSegmentWide(int16_t* Sums, int16_t* Vertical,
                                                                     const uint8_t* Row, const uint8_t* Above,
                                                                     const uint8_t* Below, int32_t Width,
                                                                     int32_t Distance, int32_t X0,
                                                                     int32_t X1) {
  SharpenSumsSegment(Sums, Vertical, Row, Above, Below, Width, Distance, X0, X1);
}

__attribute__((noinline)) void SharpenSumsSegmentPlain(int16_t* Sums, int16_t* Vertical, const uint8_t* Row,
                                                       const uint8_t* Above, const uint8_t* Below,
                                                       int32_t Width, int32_t Distance, int32_t X0,
                                                       int32_t X1) {
  SharpenSumsSegment(Sums, Vertical, Row, Above, Below, Width, Distance, X0, X1);
}

// SharpenFinishRow for columns X0 ... X1 - 1, whose left neighbours before X0 are replaced.
void SharpenFinishSegment(uint8_t* Row, const int16_t* Sums, int32_t Width, int32_t Distance, int32_t X0,
                          int32_t X1, bool Wide) {
  if (Distance == 1) {
    // In column 0 the neighbour is the pixel itself, still original.
    const int32_t from = 3 * (X0 > 0 ? X0 - 1 : 0);
    int32_t b = Row[from], g = Row[from + 1], r = Row[from + 2];
    for (int32_t x = X0; x < X1; ++x) {
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
  if (X0 == 0)
    for (int c = 0; c < 3; ++c) Row[c] = uint8_t(SharpenResult(Sums[c] - Row[c]));
  const int32_t fixedLeft = std::min(Distance, Width);
  const int32_t fixedFrom = std::max(X0, 1), fixedTo = std::min(X1, fixedLeft);
  if (fixedFrom < fixedTo)
    Wide ? SharpenFixedLeftWide(Row, Sums, fixedFrom, fixedTo)
         : SharpenFixedLeft(Row, Sums, fixedFrom, fixedTo);
  int32_t i = 3 * std::max(X0, fixedLeft);
  const int32_t offset = 3 * Distance, end = 3 * X1;
#if VC_HAS_WIDE_PATH
  if (Wide && offset >= 16 && i < end) i = SharpenDistantWide(Row, Sums, i, end, offset);
  if (Wide && offset >= 8 && i < end) i = SharpenNearWide(Row, Sums, i, end, offset);
#endif
  for (; i < end; ++i) Row[i] = uint8_t(SharpenResult(Sums[i] - Row[i - offset]));
}

// The serial pass over a whole row: subtract the left neighbour, which is already replaced (or,
// in column 0, the pixel itself, still original).
void SharpenFinishRow(uint8_t* Row, const int16_t* Sums, int32_t Width, int32_t Distance, bool Wide) {
#if VC_HAS_WIDE_PATH
  if (Distance == 1 && Wide) return SharpenChainWide(Row, Sums, Width);
#endif
  SharpenFinishSegment(Row, Sums, Width, Distance, 0, Width, Wide);
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

// Steps of the wavefront between two looks at the group above: a few cache lines of each row.
constexpr int32_t WaveTile = 64;

// Subtracts from the first row's sums, in columns X0 ... X1 - 1, its three neighbours in the
// finished row above (Above), which were left out when the sums were made: with the groups on
// several threads, that row is made while the sums are, and is read only once it is finished.
VC_KERNEL void FoldRowAbove(int16_t* __restrict Partial, const uint8_t* __restrict Above, int32_t X0,
                            int32_t X1, int32_t Width) {
  const auto pixel = [&](int32_t x) {
    const int32_t l = x > 0 ? x - 1 : 0, r = x + 1 < Width ? x + 1 : Width - 1;
    for (int c = 0; c < 3; ++c)
      Partial[3 * x + c] =
          int16_t(Partial[3 * x + c] - (Above[3 * l + c] + Above[3 * x + c] + Above[3 * r + c]));
  };
  if (X0 == 0 && X1 > 0) pixel(0);
  const int32_t from = 3 * std::max(X0, 1), to = 3 * std::min(X1, Width - 1);
  for (int32_t i = from; i < to; ++i)
    Partial[i] = int16_t(Partial[i] - (Above[i - 3] + Above[i] + Above[i + 3]));
  if (X1 == Width && X0 < Width && Width > 1) pixel(Width - 1);
}

#if VC_HAS_WIDE_PATH
// Rows[k] (k = 0 ... WaveRows - 1, consecutive rows) with their partial sums; Width is at least
// 2 x WaveRows + 1. Two rows share a register, four 16-bit lanes each (three channels and a
// spare); at step t, row k works on column t - 2k. The pixels before the first step at which
// every row's column is at least 1, and after the last at which every row's is at most
// Width - 2, go one by one (rows in order: each row's earlier columns are then done).
// Above is the row above the group: before the first row makes a column, the group waits (when
// Following is given) until the group above has finished that row one column further, and folds
// its three neighbours into the sums; after each tile of steps it publishes how far its last row
// has come.
VC_WIDE_WRITE_TARGET __attribute__((noinline)) void SharpenWaveWide(uint8_t* const* Rows,
                                                                    int16_t* const* Partial,
                                                                    const uint8_t* Above, int32_t Width,
                                                                    const TFollowing* Following,
                                                                    int32_t Group) {
  constexpr int32_t firstStep = 2 * WaveRows - 1;
  constexpr int32_t registers = WaveRows / 2;
  // The first row is about to make columns X0 ... X1 - 1.
  int32_t known = 0;
  const auto follow = [&](int32_t X0, int32_t X1) {
    if (Following) Following->Await(Group, std::min(X1 + 1, Width), known);
    FoldRowAbove(Partial[0], Above, X0, X1, Width);
  };
  const auto publish = [&](int32_t Columns) {
    if (Following) Following->Publish(Group, Columns);
  };
  follow(0, firstStep);
  for (int32_t k = 0; k < WaveRows; ++k)
    for (int32_t x = 0; x < firstStep - 2 * k; ++x)
      SharpenWavePixel(Rows[k], k ? Rows[k - 1] : nullptr, Partial[k], x, Width);
  publish(firstStep - 2 * (WaveRows - 1));
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
  for (int32_t tile = firstStep; tile <= Width - 2; tile += WaveTile) {
    const int32_t tileEnd = std::min(tile + WaveTile, Width - 1);
    follow(tile, tileEnd);
    // The rows' next tile, for writing: the rows were last written on another processor, most
    // likely, and the step's chain would wait for each line.
    for (int32_t k = 0; k < WaveRows; ++k)
      for (int32_t i = 3 * (tileEnd - 2 * k), end = 3 * std::min(tileEnd + WaveTile - 2 * k, Width); i < end;
           i += 64)
        __builtin_prefetch(Rows[k] + i, 1);
    for (int32_t t = tile; t < tileEnd; ++t) {
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
    // The last row has made the columns before its column at the tile's end (the byte each row
    // wrote past its column belongs to a column not yet published).
    publish(tileEnd - 2 * (WaveRows - 1));
  }
  follow(Width - 1, Width);
  for (int32_t k = 0; k < WaveRows; ++k)
    for (int32_t x = Width - 1 - 2 * k; x < Width; ++x)
      SharpenWavePixel(Rows[k], k ? Rows[k - 1] : nullptr, Partial[k], x, Width);
  publish(Width);
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
VC_WIDE_WRITE_TARGET __attribute__((noinline)) void BlurStepWide(const TvcRaster& Image, int32_t Distance,
                                                                 int32_t First, int32_t Rows, int32_t Front,
                                                                 int32_t Next, const int32_t* Left,
                                                                 const int32_t* Right) {
  BlurStep(Image, Distance, First, Rows, Front, Next, Left, Right);
}
__attribute__((noinline)) void BlurStepPlain(const TvcRaster& Image, int32_t Distance, int32_t First,
                                             int32_t Rows, int32_t Front, int32_t Next, const int32_t* Left,
                                             const int32_t* Right) {
  BlurStep(Image, Distance, First, Rows, Front, Next, Left, Right);
}
VC_BOTH_PATHS(EmbossRows,
              (const TvcRaster& Image, int32_t First, int32_t End, const uint8_t* __restrict Boundary,
               const uint8_t* __restrict LastRow),
              (Image, First, End, Boundary, LastRow))

#undef VC_BOTH_PATHS
#undef VC_WIDE_WRITE_TARGET

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

// Threads for Groups groups of GroupRows rows that follow each other (see TFollowing), each
// about Lag columns behind the one above: when the setting is automatic, one when the picture
// is too small for threads or too narrow for the groups to run side by side.
int32_t FollowingThreads(TvcBandPool& Bands, const TvcRaster& Image, int32_t GroupRows, int32_t Lag,
                         int32_t Groups) {
  if (Groups < 2) return 1;
  const int32_t threads = Bands.ThreadCount(Groups, RowBytes(Image) * GroupRows);
  if (vcEffectThreads() > 0) return threads;  // a fixed count cuts even a small picture
  return std::max(1, std::min(threads, Image.Width / Lag));
}

// The claim counter and progress words of the following groups (scratch table 2).
int32_t* FollowingWords(TvcEffectScratch& Scratch, int32_t Groups) {
  return Scratch.Table(2, size_t(Groups + 1) * TFollowing::WordStride);
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
  TvcBandPool& bands = Scratch.Bands();
  const int32_t chains = ChainCount(Image, d);
  const int32_t count = ChainBands(bands, Image, chains);
  const int32_t groups = std::max(0, (h - 2 + FollowRows - 1) / FollowRows);
  const int32_t threads = FollowingThreads(bands, Image, FollowRows, MinimumStep + FollowRows + d, groups);
  if (threads > count) {
    const TFollowing following(FollowingWords(Scratch, groups), groups, w);
    const bool wide = vcUseWidePath();
    bands.Run(threads, [&](int32_t) {
      MakeFollowingRows(following, h, w, d, FollowRows,
                        [&](int32_t First, int32_t Rows, int32_t Front, int32_t Next) {
                          wide ? BlurStepWide(Image, d, First, Rows, Front, Next, left, right)
                               : BlurStepPlain(Image, d, First, Rows, Front, Next, left, right);
                        });
    });
  } else {
    bands.Run(count, [&](int32_t Band) {
      RunBlurRowsBetween(Image, d, vcBandStart(chains, count, Band), vcBandStart(chains, count, Band + 1),
                         left, right);
    });
  }
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
  // Distance 1 on the wide path: groups of rows as a wavefront, the groups on the threads one
  // after the other (see TFollowing), then the rows left one by one.
  if (d == 1 && wide && w >= 2 * WaveRows + 1 && h - 2 >= WaveRows) {
    const size_t rowValues = size_t(w) * 3;
    const int32_t groups = (h - 2) / WaveRows;
    const int32_t threads =
        std::min(FollowingThreads(Scratch.Bands(), Image, WaveRows, WaveTile + 2 * WaveRows, groups), groups);
    // Per thread: the partial sums of a group's rows, then the vertical sums.
    const size_t stride = rowValues * (WaveRows + 1);
    int16_t* const buffers = Scratch.Sums(stride * size_t(threads));
    uint8_t* const noRow = Scratch.Row(rowValues);
    std::memset(noRow, 0, rowValues);
    const TFollowing following(FollowingWords(Scratch, groups), groups, w);
    Scratch.Bands().Run(threads, [&](int32_t Band) {
      int16_t* const buffer = buffers + stride * size_t(Band);
      int16_t* const vertical = buffer + rowValues * WaveRows;
      int16_t* partial[WaveRows];
      uint8_t* rows[WaveRows];
      for (int32_t group = following.Claim(); group < groups; group = following.Claim()) {
        const int32_t firstRow = 1 + group * WaveRows;
        for (int32_t k = 0; k < WaveRows; ++k) {
          rows[k] = Image.Row(firstRow + k);
          partial[k] = buffer + rowValues * size_t(k);
          // The row above each row is made by the wavefront: its sums leave it out (the first
          // row's is folded in as the group above finishes it).
          SharpenSumsRowWide(partial[k], vertical, rows[k], noRow, Image.Row(firstRow + k + 1), w, 1);
          // Column 0's left neighbour is the centre itself.
          for (int c = 0; c < 3; ++c) partial[k][c] = int16_t(partial[k][c] - rows[k][c]);
        }
        SharpenWaveWide(rows, partial, Image.Row(firstRow - 1), w, &following, group);
      }
    });
    int16_t* const buffer = buffers;
    int16_t* const vertical = buffer + rowValues * WaveRows;
    const int32_t firstRow = 1 + groups * WaveRows;
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
  const int32_t groups = std::max(0, (h - 2 + FollowRows - 1) / FollowRows);
  const int32_t threads = FollowingThreads(bands, Image, FollowRows, MinimumStep + FollowRows + d, groups);
  if (threads > count) {
    // Short distances: rows that follow each other, in steps of columns, as the blur's.
    int16_t* sums = Scratch.Sums(stride * size_t(threads));
    const TFollowing following(FollowingWords(Scratch, groups), groups, w);
    bands.Run(threads, [&](int32_t Band) {
      int16_t* rowSums = sums + stride * size_t(Band);
      int16_t* vertical = rowSums + size_t(w) * 3;
      MakeFollowingRows(
          following, h, w, d, FollowRows, [&](int32_t First, int32_t Rows, int32_t Front, int32_t Next) {
            for (int32_t r = 0; r < Rows; ++r) {
              const int32_t x0 = std::max(0, Front - r), x1 = std::min(w, Next - r);
              if (x0 >= x1) continue;
              const int32_t y = First + r;
              uint8_t* row = Image.Row(y);
              const uint8_t* above = Image.Row(ClampInt(y - d, 0, h - 1));
              const uint8_t* below = Image.Row(ClampInt(y + d, 0, h - 1));
              wide ? SharpenSumsSegmentWide(rowSums, vertical, row, above, below, w, d, x0, x1)
                   : SharpenSumsSegmentPlain(rowSums, vertical, row, above, below, w, d, x0, x1);
              SharpenFinishSegment(row, rowSums, w, d, x0, x1, wide);
            }
          });
    });
    if (h > 1)
      SharpenRowInPlace(Image.Row(h - 1), Image.Row(ClampInt(h - 1 - d, 0, h - 1)), Image.Row(h - 1), w, left,
                        right);
    return;
  }
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
