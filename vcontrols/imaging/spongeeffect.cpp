// The sponge: every pixel, in raster order, takes the value of a pixel displaced at random. It
// draws three words a pixel from the generator (one when the first draw is 0) and moves one
// pixel; a pixel may read one that was just replaced. The words depend only on the generator's
// state and their position, so they are computed ahead in blocks (eight at a time), together with
// a record of what a pixel whose draws start at each word would do. Alone, the moves read one
// record a pixel, in order. On several threads, the moves are cut into bands of words (see below);
// either way the picture is that of the moves in order and the generator ends up past exactly the
// words drawn.

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <thread>

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

// --- on several threads ---------------------------------------------------------------------------
//
// The moves themselves stay in raster order on the calling thread; what the other threads take
// off it is everything else: making the words and records, and finding which word each pixel's
// draws start at. That depends on every pixel before it, so the stream of words is cut into bands
// and each band is surveyed by itself:
// - A band makes the records of its words and walks the chain of pixel starts that enters at its
//   first word, keeping each pixel's displacement. A pixel's next start is one or three words on
//   (more after a rejection, which is rare), so the chains that enter at the next two words soon
//   land on a start of that chain and share the rest of it: two chains meet as soon as one of them
//   draws a single word where it lines them up. For those, the band keeps how far they run before
//   they join.
// - The calling thread takes the bands in order: each is entered where the one before ends
//   (nearly always one of its first three words, whose chains are known), and its pixels are moved
//   from the displacements kept (the few before its chain is joined walked again), with no word
//   drawn and nothing but a clamp and a copy a pixel.
// The other threads survey the bands ahead meanwhile.

// Bands of a run, at most, and the words a band is cut to (a band's records and starts stay in
// the second-level cache).
constexpr int32_t MaxBands = 128;
constexpr int64_t BandWordsTarget = 65536;
constexpr int64_t MinBandWords = 1024;
// With one other thread the moves already lose the words and records.
constexpr int32_t MinBandThreads = 2;
// A band keeps the word of every so many of its chain's starts, to find where the last pixel
// of the picture ends.
constexpr int64_t CheckpointEvery = 64;

// Waiting for another thread: a pause at first, then the processor for others.
inline void Pause(int32_t& Rounds) {
  if (++Rounds < 1024) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  } else {
    std::this_thread::yield();
  }
}

// The draws of a pixel whose draws start at word Index, by the generator's own rule: the
// displacement and the word after its draws.
uint64_t DrawByRule(int32_t Amount, uint64_t State, uint64_t Index, int32_t& Dx, int32_t& Dy) {
  TWordSource words{State, Index};
  const int32_t r = TvcRandom::BelowFrom(Amount, words);
  Dx = r - TvcRandom::BelowFrom(2 * r, words);
  Dy = r - TvcRandom::BelowFrom(2 * r, words);
  return words.Index;
}

// Pixels per word: one word where the first draw is 0 (one pixel in Amount), three otherwise;
// rejections are rare at the amounts that have records.
double PixelsPerWord(int32_t Amount) {
  return 1.0 / (3.0 - 2.0 / Amount);
}

// The words that Pixels pixels are expected to draw, with room for chance; a run that falls short
// goes on in another.
int64_t ExpectedWords(int64_t Pixels, int32_t Amount) {
  const double still = 1.0 / Amount;
  return int64_t(double(Pixels) / PixelsPerWord(Amount) + 16.0 * std::sqrt(double(Pixels) * still) + 64);
}

// A displacement as a record holds it.
constexpr uint32_t Displacement(int32_t Dx, int32_t Dy) {
  return (uint32_t(Dx) & 0xFFFF) | uint32_t(Dy) << 16;
}

// How a chain that enters a band at one of its first words runs: Prefix pixels before it lands on
// a start of the chain from the band's first word, at word JoinWord, that chain's start number
// Joined (the chain's end when it does not); Count pixels in all, and Exit, the word after the
// last one's draws.
struct TJoin {
  int64_t Prefix = 0;
  int64_t Joined = 0;
  uint64_t JoinWord = 0;
  int64_t Count = 0;
  uint64_t Exit = 0;
};

// One band of words, Base ... End - 1.
struct TWordBand {
  uint64_t Base = 0, End = 0;
  // Surveyed: the chain from Base (Joins[0]), with its pixels' displacements in Codes and the
  // word of every CheckpointEvery-th start in Checkpoints, unless there were more pixels than the
  // room (Overflow: the band is walked in full); the chains from Base + 1 and Base + 2.
  uint32_t* Codes = nullptr;
  uint32_t* Checkpoints = nullptr;
  bool Overflow = false;
  TJoin Joins[3];
  // Entered: the word, which of the chains that is (3: another one, walked in full), and the
  // band's pixels.
  uint64_t Entry = 0;
  int32_t Way = 0;
  int32_t FirstPixel = 0;
  int32_t Pixels = 0;
  bool Last = false;
};

// What the bands of one run share.
struct TSpongeRun {
  TvcRaster Image;
  int32_t Amount = 0;
  bool Wide = false;
  uint64_t State = 0;
  // A slot of words per thread: a band's records, then its starts or displacements.
  uint32_t* SlotMemory = nullptr;
  int64_t SlotWords = 0;
  int32_t Slots = 0;
  std::atomic<uint64_t> TakenSlots{0};
  TWordBand* Bands = nullptr;
  int64_t BandWords = 0;
  int64_t CodeRoom = 0;
  // The word after the last pixel's draws.
  uint64_t EndWord = 0;
  // Which bands are surveyed, and the next band to survey.
  std::array<std::atomic<uint8_t>, MaxBands> Surveyed;
  std::atomic<int32_t> NextSurvey{0};

  uint64_t NextStart(uint32_t Record, uint64_t Word) const {
    if ((Record & 0xFFFF) != RecordMark) return Word + 3;
    if (Record == StillRecord) return Word + 1;
    int32_t dx, dy;
    return DrawByRule(Amount, State, Word, dx, dy);
  }

  // A slot for the calling band: there are as many as threads that run bands, so one is free.
  uint32_t* ClaimSlot(int32_t& Slot) {
    for (;;) {
      uint64_t taken = TakenSlots.load(std::memory_order_relaxed);
      const uint64_t free = ~taken & (Slots >= 64 ? ~uint64_t(0) : (uint64_t(1) << Slots) - 1);
      if (free == 0) {
        std::this_thread::yield();
        continue;
      }
      Slot = std::countr_zero(free);
      if (TakenSlots.compare_exchange_weak(taken, taken | uint64_t(1) << Slot, std::memory_order_acquire,
                                           std::memory_order_relaxed))
        return SlotMemory + Slot * SlotWords;
    }
  }
  void ReleaseSlot(int32_t Slot) { TakenSlots.fetch_and(~(uint64_t(1) << Slot), std::memory_order_release); }

  // Records of band words From ... To - 1 into Records (indexed from the band's base).
  void MakeRecords(const TWordBand& Band, uint32_t* Records, uint64_t From, uint64_t To) const {
    FillBlock(State, Band.Base, Records, int32_t(From - Band.Base), int32_t(To - Band.Base), Amount, Wide);
  }

  // Walks Count pixels from word Entry, whose records are made, writing their displacements to
  // Codes. Returns the word after the last one's draws.
  uint64_t WalkCodes(const TWordBand& Band, const uint32_t* Records, uint64_t Entry, int64_t Count,
                     uint32_t* Codes) const {
    uint64_t word = Entry;
    for (int64_t i = 0; i < Count; ++i) {
      const uint32_t record = Records[word - Band.Base];
      if ((record & 0xFFFF) != RecordMark) {
        Codes[i] = record;
        word += 3;
      } else if (record == StillRecord) {
        Codes[i] = 0;
        ++word;
      } else {
        int32_t dx, dy;
        word = DrawByRule(Amount, State, word, dx, dy);
        Codes[i] = Displacement(dx, dy);
      }
    }
    return word;
  }

  void Survey(int32_t Index);
  void Move(const TWordBand& Band);
};

// Surveys one band.
void TSpongeRun::Survey(int32_t Index) {
  TWordBand& band = Bands[Index];
  int32_t slot;
  uint32_t* const records = ClaimSlot(slot);
  uint32_t* const starts = records + BandWords + 8;
  // The records a chunk at a time, each walked while it is in the first-level cache.
  constexpr int64_t chunk = 2048;
  uint64_t word = band.Base;
  int64_t count = 0;
  for (uint64_t from = band.Base; from < band.End; from += chunk) {
    const uint64_t to = std::min(band.End, from + chunk);
    MakeRecords(band, records, from, to);
    while (word < to) {
      const uint32_t offset = uint32_t(word - band.Base), record = records[offset];
      starts[count] = offset;
      uint32_t code = record;
      if ((record & 0xFFFF) != RecordMark) {
        word += 3;
      } else if (record == StillRecord) {
        code = 0;
        ++word;
      } else {
        int32_t dx, dy;
        word = DrawByRule(Amount, State, word, dx, dy);
        code = Displacement(dx, dy);
      }
      if (count < CodeRoom) {
        band.Codes[count] = code;
        if (count % CheckpointEvery == 0) band.Checkpoints[count / CheckpointEvery] = offset;
      }
      ++count;
    }
  }
  band.Overflow = count > CodeRoom;
  band.Joins[0] = TJoin{0, 0, band.Base, count, word};
  // The chains from the next two words, until they land on a start of this one.
  for (int32_t way = 1; way < 3; ++way) {
    TJoin& join = band.Joins[way];
    word = band.Base + uint64_t(way);
    int64_t next = 0;
    join.Prefix = 0;
    for (;;) {
      if (word >= band.End) {
        join = TJoin{join.Prefix, count, word, join.Prefix, word};
        break;
      }
      while (next < count && band.Base + starts[next] < word) ++next;
      if (next < count && band.Base + starts[next] == word) {
        join.Joined = next;
        join.JoinWord = word;
        join.Count = join.Prefix + count - next;
        join.Exit = band.Joins[0].Exit;
        break;
      }
      ++join.Prefix;
      word = NextStart(records[word - band.Base], word);
    }
  }
  ReleaseSlot(slot);
}

// Where a band's moves stand: the next pixel and its place in the picture.
struct TMoveCursor {
  int32_t Pixel, X, Y;
  ptrdiff_t Place;
};

// Moves Count pixels in place from Cursor on, whose displacements are Codes. Runs of pixels at
// least Reach from every edge need no clamp.
TMoveCursor MoveCodes(const TvcRaster& Image, int32_t Reach, const uint32_t* Codes, int64_t Count,
                      TMoveCursor Cursor) {
  const int32_t w = Image.Width, h = Image.Height, rowSize = Image.RowSize;
  uint8_t* const pixels = Image.Pixels;
  int32_t x = Cursor.X, y = Cursor.Y;
  ptrdiff_t place = Cursor.Place;
  const int32_t innerLeft = std::min(Reach, w), innerRight = std::max(innerLeft, w - Reach);
  for (int64_t i = 0; i < Count;) {
    const bool innerRow = y >= Reach && y < h - Reach;
    const bool inner = innerRow && x >= innerLeft && x < innerRight;
    const int32_t runEnd = inner ? innerRight : innerRow && x < innerLeft ? innerLeft : w;
    const int32_t run = int32_t(std::min<int64_t>(Count - i, runEnd - x));
    const uint32_t* const codes = Codes + i;
    if (inner) {
      for (int32_t k = 0; k < run; ++k, place += 3) {
        const uint32_t code = codes[k];
        MovePixel(pixels + place,
                  pixels + place + ptrdiff_t(int32_t(code) >> 16) * rowSize + 3 * int16_t(code));
      }
    } else {
      for (int32_t k = 0; k < run; ++k, place += 3) {
        const uint32_t code = codes[k];
        const int32_t xs = ClampInt(x + k + int16_t(code), 0, w - 1),
                      ys = ClampInt(y + (int32_t(code) >> 16), 0, h - 1);
        MovePixel(pixels + place, pixels + ptrdiff_t(ys) * rowSize + 3 * xs);
      }
    }
    i += run;
    x += run;
    if (x == w) {
      x = 0;
      ++y;
      place = ptrdiff_t(y) * rowSize;
    }
  }
  return {Cursor.Pixel + int32_t(Count), x, y, place};
}

// Moves a band's pixels in place, on the calling thread, after the bands before it.
void TSpongeRun::Move(const TWordBand& Band) {
  const int32_t w = Image.Width, rowSize = Image.RowSize;
  int32_t slot;
  uint32_t* const records = ClaimSlot(slot);
  uint32_t* const codes = records + BandWords + 8;
  const int32_t first = Band.FirstPixel;
  TMoveCursor cursor{first, first % w, first / w, ptrdiff_t(first / w) * rowSize + 3 * (first % w)};
  const auto move = [&](const uint32_t* Codes, int64_t Count) {
    cursor = MoveCodes(Image, Amount - 1, Codes, Count, cursor);
  };
  // The pixels before the band's chain is joined (or all of them), walked again.
  const int64_t walked =
      Band.Way == 3 ? Band.Pixels : std::min<int64_t>(Band.Joins[Band.Way].Prefix, Band.Pixels);
  if (walked > 0) {
    const uint64_t recordsEnd = Band.Way == 3 ? Band.End : std::min(Band.End, Band.Joins[Band.Way].JoinWord);
    MakeRecords(Band, records, Band.Entry, recordsEnd);
    const uint64_t after = WalkCodes(Band, records, Band.Entry, walked, codes);
    move(codes, walked);
    if (Band.Last && walked == Band.Pixels) EndWord = after;
  }
  // The rest from the chain's displacements.
  if (walked < Band.Pixels) {
    const TJoin& join = Band.Joins[Band.Way];
    const int64_t start = join.Joined, count = Band.Pixels - walked;
    move(Band.Codes + start, count);
    if (Band.Last) {
      // The word after the last pixel is the start of the chain's next one: from the checkpoint
      // before it, by the rule.
      const int64_t next = start + count;
      if (next == join.Count - join.Prefix + join.Joined) {
        EndWord = join.Exit;
      } else {
        uint64_t word = Band.Base + Band.Checkpoints[next / CheckpointEvery];
        for (int64_t i = next / CheckpointEvery * CheckpointEvery; i < next; ++i) {
          int32_t dx, dy;
          word = DrawByRule(Amount, State, word, dx, dy);
        }
        EndWord = word;
      }
    }
  }
  ReleaseSlot(slot);
}

// The sponge with the bands surveyed on Threads threads. Returns false (and changes nothing)
// where the picture is too small for more than one band.
bool SpongeOnThreads(const TvcRaster& Image, int32_t Amount, uint64_t State, int32_t Threads, bool Wide,
                     TvcEffectScratch& Scratch, uint64_t& EndWord) {
  // Pixel numbers are 32-bit.
  if (int64_t(Image.Width) * Image.Height >= INT32_MAX) return false;
  const int32_t pixels = Image.Width * Image.Height;
  const int64_t words = ExpectedWords(pixels, Amount);
  const int64_t wanted = std::min<int64_t>(MaxBands, std::max<int64_t>(4 * Threads, words / BandWordsTarget));
  const int64_t bandWords = std::max(MinBandWords, (words + wanted - 1) / wanted);
  if (words <= bandWords) return false;
  TvcBandPool& pool = Scratch.Bands();
  // As many slots as threads can run at once.
  const int32_t slots = std::min(64, pool.ThreadCount(MaxBands, INT32_MAX));
  const double perBand = double(bandWords) * PixelsPerWord(Amount);
  const int64_t codeRoom = int64_t(perBand + 16.0 * std::sqrt(perBand) + 64);
  const int64_t bandRoom = codeRoom + codeRoom / CheckpointEvery + 2;
  const int64_t slotWords = 2 * bandWords + 16;
  uint32_t* const memory =
      Scratch.Records(size_t(slots) * size_t(slotWords) + size_t(wanted) * size_t(bandRoom));
  std::array<TWordBand, MaxBands> bands;
  TSpongeRun run;
  run.Image = Image;
  run.Amount = Amount;
  run.Wide = Wide;
  run.State = State;
  run.SlotMemory = memory;
  run.SlotWords = slotWords;
  run.Slots = slots;
  run.Bands = bands.data();
  run.BandWords = bandWords;
  run.CodeRoom = codeRoom;
  uint32_t* const bandMemory = memory + slots * slotWords;
  for (int32_t i = 0; i < wanted; ++i) {
    bands[size_t(i)].Codes = bandMemory + i * bandRoom;
    bands[size_t(i)].Checkpoints = bands[size_t(i)].Codes + codeRoom;
  }

  // Runs of bands from word Word and pixel Pixel on, until every pixel is moved (the first run's
  // bands hold all the words but for a rare shortfall).
  uint64_t word = 0;
  int64_t pixel = 0;
  while (pixel < pixels) {
    const int32_t count = int32_t(
        std::min<int64_t>(wanted, (ExpectedWords(pixels - pixel, Amount) + bandWords - 1) / bandWords));
    for (int32_t i = 0; i < count; ++i) {
      bands[size_t(i)].Base = word + uint64_t(i) * uint64_t(bandWords);
      bands[size_t(i)].End = bands[size_t(i)].Base + uint64_t(bandWords);
      run.Surveyed[size_t(i)].store(0, std::memory_order_relaxed);
    }
    run.NextSurvey.store(0, std::memory_order_relaxed);
    // Where a band is entered: one of its first three words, nearly always, whose chain is known;
    // another after a pixel that drew more words, walked here.
    const auto enter = [&](TWordBand& Band) {
      Band.Entry = word;
      Band.FirstPixel = int32_t(std::min<int64_t>(pixel, pixels));
      Band.Pixels = 0;
      Band.Last = false;
      if (pixel >= pixels) return;
      TJoin join;
      if (word - Band.Base < 3) {
        Band.Way = int32_t(word - Band.Base);
        join = Band.Joins[Band.Way];
        if (Band.Overflow && join.Count > join.Prefix) Band.Way = 3;
      } else {
        Band.Way = 3;
        int32_t slot;
        uint32_t* const records = run.ClaimSlot(slot);
        run.MakeRecords(Band, records, std::min(word, Band.End), Band.End);
        join.Count = 0;
        uint64_t at = word;
        for (; at < Band.End; ++join.Count) at = run.NextStart(records[at - Band.Base], at);
        join.Exit = at;
        run.ReleaseSlot(slot);
      }
      Band.Pixels = int32_t(std::min<int64_t>(join.Count, pixels - pixel));
      Band.Last = pixel + join.Count >= pixels;
      pixel += join.Count;
      word = join.Exit;
    };
    // The calling thread enters and moves the bands in order while the others survey the bands
    // ahead, taking the next band to survey from a counter. A band that is not surveyed yet when
    // its turn comes is being surveyed by a running thread, or the calling thread surveys the next
    // one itself; so it never waits on a band that no running thread holds.
    const auto surveyNext = [&] {
      const int32_t next = run.NextSurvey.fetch_add(1, std::memory_order_relaxed);
      if (next >= count) return false;
      run.Survey(next);
      run.Surveyed[size_t(next)].store(1, std::memory_order_release);
      return true;
    };
    pool.RunWithCallerFirst(Threads, [&](int32_t Task) {
      if (Task > 0) {
        while (surveyNext()) {
        }
        return;
      }
      for (int32_t i = 0; i < count; ++i) {
        for (int32_t rounds = 0; !run.Surveyed[size_t(i)].load(std::memory_order_acquire);)
          if (!surveyNext()) Pause(rounds);
        enter(bands[size_t(i)]);
        if (bands[size_t(i)].Pixels > 0) run.Move(bands[size_t(i)]);
      }
    });
  }
  EndWord = run.EndWord;
  return true;
}

}  // namespace

void ApplySponge(const TvcRaster& Image, int32_t Amount, TvcRandom& Random, TvcEffectScratch& Scratch) {
  // An amount of 0 or less draws nothing, 1 draws one word a pixel and moves nothing.
  if (Image.Empty() || Amount <= 0) return;
  if (Amount == 1) return Random.Skip(uint64_t(Image.Width) * uint64_t(Image.Height));
  // Twice the largest draw must stay an int32; amounts that large displace as far as any other.
  if (Amount > (1 << 30)) Amount = 1 << 30;
  const bool wide = vcUseWidePath();
  const uint64_t state = Random.State();
  // The bands cut the word stream, not rows: a picture of a few long rows is cut as well.
  const int32_t threads = Scratch.Bands().ThreadCount(int64_t(Image.Width) * Image.Height / 256 + 1, 256 * 3);
  uint64_t index = 0;
  // Bands need the records (above those amounts every pixel goes through the rule, whose words
  // are not known ahead).
  if (threads >= MinBandThreads && Amount <= RecordedAmounts &&
      SpongeOnThreads(Image, Amount, state, threads, wide, Scratch, index))
    return Random.Skip(index);
  // Alone: small blocks that stay in the cache, made and drawn from in turn.
  constexpr int32_t blockRecords = 4096;
  uint32_t* const records = Scratch.Records(blockRecords);
  TSpongePosition position;
  while (position.Y < Image.Height) {
    FillBlock(state, index, records, 0, blockRecords, Amount, wide);
    SpongePixels(Image, Amount, state, TRecordBlock{records, index, index + uint64_t(blockRecords)}, index,
                 position);
  }
  Random.Skip(index);
}

}  // namespace vcfx
