// The sponge: every pixel, in raster order, takes the value of a pixel displaced at random. It
// draws three words a pixel from the generator (one when the first draw is 0) and moves one
// pixel; the moves stay in raster order, one after the other, since a pixel may read one that was
// just replaced. The words depend only on the generator's state and their position, so they are
// computed ahead in blocks (eight at a time, and on other threads when there are any), together
// with a record of what a pixel whose draws start at each word would do; the moves then read one
// record a pixel, in order, and the generator ends up past exactly the words drawn.

#include <algorithm>
#include <cstring>

#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>
#endif

namespace vcfx {

namespace {

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
  const int32_t threads = bands.ThreadCount(Image.Height, int64_t(Image.Width) * 3);
  const int32_t makers = std::min(threads - 1, 4);
  // Two slices of a block per maker: a maker that is late holds the moves up by a small slice.
  const int32_t slices = 2 * makers;
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
        bands.Run(slices, [&](int32_t Band) { fill(buffers[current], base, Band, slices); });
        block = TRecordBlock{buffers[current], base, base + uint64_t(blockRecords)};
      }
      // The next block starts where this one ends: the pixel this block stops at starts there or
      // a word or two later.
      const uint64_t nextBase = block.End;
      uint32_t* nextBuffer = buffers[1 - current];
      // The moves stay on the calling thread, whose cache holds the picture.
      bands.RunWithCallerFirst(1 + slices, [&](int32_t Band) {
        if (Band == 0)
          SpongePixels(Image, Amount, state, block, index, position);
        else
          fill(nextBuffer, nextBase, Band - 1, slices);
      });
      current = 1 - current;
      block = TRecordBlock{buffers[current], nextBase, nextBase + uint64_t(blockRecords)};
    }
  }
  Random.Skip(index);
}

}  // namespace vcfx
