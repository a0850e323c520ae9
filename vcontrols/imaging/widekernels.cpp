#include "vcontrols/imaging/widekernels.h"

#include <cstring>

#include "vcontrols/imaging/vectorpath.h"

#if VC_HAS_WIDE_PATH
#include <immintrin.h>

namespace vcwide {

namespace {

// Eight pixels: bytes 0..15 of the first lane from Row, of the second lane from Row + 12.
VC_WIDE_TARGET inline __m256i LoadPixels(const uint8_t* Row) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Row))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + 12)), 1);
}

VC_WIDE_TARGET inline void StorePixels(uint8_t* Row, __m256i Value) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Row), _mm256_castsi256_si128(Value));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + 12), _mm256_extracti128_si256(Value, 1));
}

// Shuffle masks that give every byte of a pixel the first, second or third byte of that pixel
// (bytes 12..15 of a lane get 0).
VC_WIDE_TARGET inline __m256i ChannelMask(int Channel) {
  alignas(16) int8_t lane[16];
  for (int j = 0; j < 16; ++j) lane[j] = j < 12 ? int8_t(3 * (j / 3) + Channel) : int8_t(-128);
  const __m128i half = _mm_load_si128(reinterpret_cast<const __m128i*>(lane));
  return _mm256_broadcastsi128_si256(half);
}

// 0xFF in bytes 12..15 of each lane.
VC_WIDE_TARGET inline __m256i PassThroughMask() {
  return _mm256_broadcastsi128_si256(_mm_set_epi32(-1, 0, 0, 0));
}

// A lane pattern of three bytes repeated four times, then four zero bytes.
VC_WIDE_TARGET inline __m256i PixelPattern(uint8_t First, uint8_t Second, uint8_t Third) {
  alignas(16) uint8_t lane[16] = {};
  for (int j = 0; j < 12; j += 3) {
    lane[j] = First;
    lane[j + 1] = Second;
    lane[j + 2] = Third;
  }
  return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(lane)));
}

// v div 3 of every byte (the high half of v x 21888).
VC_WIDE_TARGET inline __m256i Thirds(__m256i Value) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i factor = _mm256_set1_epi16(21888);
  const __m256i low = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(Value, zero), factor);
  const __m256i high = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(Value, zero), factor);
  return _mm256_packus_epi16(low, high);
}

// The grey level of each pixel in all three of its bytes.
VC_WIDE_TARGET inline __m256i GrayLevels(__m256i Value, __m256i First, __m256i Second, __m256i Third) {
  const __m256i thirds = Thirds(Value);
  return _mm256_add_epi8(
      _mm256_add_epi8(_mm256_shuffle_epi8(thirds, First), _mm256_shuffle_epi8(thirds, Second)),
      _mm256_shuffle_epi8(thirds, Third));
}

// All-ones in the three bytes of every pixel that equals the key.
VC_WIDE_TARGET inline __m256i KeyPixels(__m256i Value, __m256i Key, __m256i First, __m256i Second,
                                        __m256i Third) {
  const __m256i equal = _mm256_cmpeq_epi8(Value, Key);
  return _mm256_and_si256(
      _mm256_and_si256(_mm256_shuffle_epi8(equal, First), _mm256_shuffle_epi8(equal, Second)),
      _mm256_shuffle_epi8(equal, Third));
}

// (c (256 - a) + b a) shr 8 for 16-bit lanes; the sum stays below 65536.
VC_WIDE_TARGET inline __m256i BlendHalf(__m256i Values, __m256i Blends, __m256i Amount, __m256i Rest) {
  return _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(Values, Rest), _mm256_mullo_epi16(Blends, Amount)), 8);
}

// Groups of eight pixels whose loads stay inside the row's pixel bytes.
inline int32_t WholeGroups(int32_t Count) {
  return Count >= 10 ? (Count - 2) / 8 : 0;
}

}  // namespace

VC_WIDE_TARGET int32_t GrayPixels(uint8_t* Row, int32_t Count) {
  const int32_t groups = WholeGroups(Count);
  const __m256i first = ChannelMask(0), second = ChannelMask(1), third = ChannelMask(2),
                pass = PassThroughMask();
  __m256i next = groups > 0 ? LoadPixels(Row) : _mm256_setzero_si256();
  for (int32_t k = 0; k < groups; ++k) {
    uint8_t* p = Row + 24 * k;
    const __m256i value = next;
    // The next group's first bytes are the last four this group stores (unchanged): read them
    // before the store, so the load never waits on a store it only partly overlaps.
    if (k + 1 < groups) next = LoadPixels(p + 24);
    StorePixels(p, _mm256_blendv_epi8(GrayLevels(value, first, second, third), value, pass));
  }
  return groups * 8;
}

// gray + scale(c) - scale(gray) for eight pixels; bytes 12..15 of each lane come out as junk.
VC_WIDE_TARGET inline __m256i SaturatedGroup(__m256i Value, __m256i First, __m256i Second, __m256i Third,
                                             __m256i Amount) {
  const __m256i zero = _mm256_setzero_si256(), oneThird = _mm256_set1_epi16(171);
  // Values times 256 in 16-bit lanes: v div 3 = ((v x 256) x 171) shr 16 shr 1, and the scale
  // (v x a) shr 8 = ((v x 256) x a) shr 16.
  const __m256i low = _mm256_unpacklo_epi8(zero, Value), high = _mm256_unpackhi_epi8(zero, Value);
  const __m256i thirds = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_mulhi_epu16(low, oneThird), 1),
                                             _mm256_srli_epi16(_mm256_mulhi_epu16(high, oneThird), 1));
  const __m256i gray = _mm256_add_epi8(
      _mm256_add_epi8(_mm256_shuffle_epi8(thirds, First), _mm256_shuffle_epi8(thirds, Second)),
      _mm256_shuffle_epi8(thirds, Third));
  // The signed-to-unsigned pack clamps to 0 ... 255.
  const __m256i grayLow = _mm256_unpacklo_epi8(gray, zero), grayHigh = _mm256_unpackhi_epi8(gray, zero);
  const __m256i resultLow = _mm256_add_epi16(
      grayLow, _mm256_sub_epi16(_mm256_mulhi_epu16(low, Amount),
                                _mm256_mulhi_epu16(_mm256_slli_epi16(grayLow, 8), Amount)));
  const __m256i resultHigh = _mm256_add_epi16(
      grayHigh, _mm256_sub_epi16(_mm256_mulhi_epu16(high, Amount),
                                 _mm256_mulhi_epu16(_mm256_slli_epi16(grayHigh, 8), Amount)));
  return _mm256_packus_epi16(resultLow, resultHigh);
}

VC_WIDE_TARGET int32_t SaturationPixels(uint8_t* Row, int32_t Count, uint16_t Amount) {
  const int32_t groups = WholeGroups(Count);
  const __m256i first = ChannelMask(0), second = ChannelMask(1), third = ChannelMask(2),
                pass = PassThroughMask();
  const __m256i amount = _mm256_set1_epi16(int16_t(Amount));
  int32_t k = 0;
  if (groups > 0) {
    __m256i next = LoadPixels(Row);
    // Every group but the last leaves junk in the four bytes after its pixels, which the next
    // group's store then overwrites. The next group's first bytes are those four: they are read
    // before the store, so the load never waits on a store it only partly overlaps.
    for (; k + 1 < groups; ++k) {
      uint8_t* p = Row + 24 * k;
      const __m256i value = next;
      next = LoadPixels(p + 24);
      StorePixels(p, SaturatedGroup(value, first, second, third, amount));
    }
    StorePixels(Row + 24 * k, _mm256_blendv_epi8(SaturatedGroup(next, first, second, third, amount), next, pass));
    ++k;
  }
  // The last few pixels (fewer than ten) through a copy, at most eight at a time: one group costs
  // less than the pixels one by one.
  for (int32_t done = 8 * k; done < Count;) {
    const int32_t pixels = Count - done < 8 ? Count - done : 8;
    alignas(32) uint8_t copy[32] = {};
    std::memcpy(copy, Row + 3 * done, size_t(3 * pixels));
    StorePixels(copy, SaturatedGroup(LoadPixels(copy), first, second, third, amount));
    std::memcpy(Row + 3 * done, copy, size_t(3 * pixels));
    done += pixels;
  }
  return Count;
}

VC_WIDE_TARGET int32_t ContrastBytes(uint8_t* Row, int32_t Count, uint16_t Magnitude, bool Negative) {
  const int32_t blocks = Count / 32;
  const __m256i zero = _mm256_setzero_si256(), bias = _mm256_set1_epi8(int8_t(0x80));
  const __m256i magnitude = _mm256_set1_epi16(int16_t(Magnitude));
  const __m256i below = _mm256_set1_epi8(int8_t(126 ^ 0x80));
  const __m256i flip = Negative ? _mm256_set1_epi8(-1) : zero;
  for (int32_t k = 0; k < blocks; ++k) {
    uint8_t* p = Row + 32 * k;
    const __m256i value = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i centred = _mm256_xor_si256(value, bias);  // value - 128 as a signed byte
    const __m256i distance = _mm256_abs_epi8(centred);      // 128 stays 0x80, read unsigned
    // (distance x magnitude) shr 8 = the high half of (distance x 256) x magnitude.
    const __m256i low =
        _mm256_mulhi_epu16(_mm256_slli_epi16(_mm256_unpacklo_epi8(distance, zero), 8), magnitude);
    const __m256i high =
        _mm256_mulhi_epu16(_mm256_slli_epi16(_mm256_unpackhi_epi8(distance, zero), 8), magnitude);
    const __m256i spread = _mm256_packus_epi16(low, high);
    const __m256i up = _mm256_xor_si256(_mm256_cmpgt_epi8(centred, below), flip);
    const __m256i result =
        _mm256_blendv_epi8(_mm256_subs_epu8(value, spread), _mm256_adds_epu8(value, spread), up);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), result);
  }
  return blocks * 32;
}

VC_WIDE_TARGET int32_t OffsetPixelsKeyed(uint8_t* Row, int32_t Count, int16_t Blue, int16_t Green,
                                         int16_t Red, TvcPixel Key) {
  const int32_t groups = WholeGroups(Count);
  const __m256i first = ChannelMask(0), second = ChannelMask(1), third = ChannelMask(2);
  // Zero offsets in bytes 12..15 pass those bytes through.
  const __m256i add =
      PixelPattern(uint8_t(Blue > 0 ? Blue : 0), uint8_t(Green > 0 ? Green : 0), uint8_t(Red > 0 ? Red : 0));
  const __m256i subtract = PixelPattern(uint8_t(Blue < 0 ? -Blue : 0), uint8_t(Green < 0 ? -Green : 0),
                                        uint8_t(Red < 0 ? -Red : 0));
  const __m256i key = PixelPattern(Key.Blue, Key.Green, Key.Red);
  __m256i next = groups > 0 ? LoadPixels(Row) : _mm256_setzero_si256();
  for (int32_t k = 0; k < groups; ++k) {
    uint8_t* p = Row + 24 * k;
    const __m256i value = next;
    // The next group's first bytes are the last four this group stores (unchanged): read them
    // before the store, so the load never waits on a store it only partly overlaps.
    if (k + 1 < groups) next = LoadPixels(p + 24);
    const __m256i moved = _mm256_subs_epu8(_mm256_adds_epu8(value, add), subtract);
    StorePixels(p, _mm256_blendv_epi8(moved, value, KeyPixels(value, key, first, second, third)));
  }
  return groups * 8;
}

VC_WIDE_TARGET int32_t BlendPixelsKeyed(uint8_t* Row, const uint8_t* Blend, int32_t Count, uint16_t Amount,
                                        TvcPixel Key) {
  const int32_t groups = WholeGroups(Count);
  const __m256i first = ChannelMask(0), second = ChannelMask(1), third = ChannelMask(2),
                pass = PassThroughMask();
  const __m256i key = PixelPattern(Key.Blue, Key.Green, Key.Red);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i amount = _mm256_set1_epi16(int16_t(Amount)), rest = _mm256_set1_epi16(int16_t(256 - Amount));
  __m256i next = groups > 0 ? LoadPixels(Row) : _mm256_setzero_si256();
  for (int32_t k = 0; k < groups; ++k) {
    uint8_t* p = Row + 24 * k;
    const __m256i value = next;
    // The next group's first bytes are the last four this group stores (unchanged): read them
    // before the store, so the load never waits on a store it only partly overlaps.
    if (k + 1 < groups) next = LoadPixels(p + 24);
    const __m256i blend = LoadPixels(Blend + 24 * k);
    const __m256i mixed = _mm256_packus_epi16(
        BlendHalf(_mm256_unpacklo_epi8(value, zero), _mm256_unpacklo_epi8(blend, zero), amount, rest),
        BlendHalf(_mm256_unpackhi_epi8(value, zero), _mm256_unpackhi_epi8(blend, zero), amount, rest));
    const __m256i keep = _mm256_or_si256(KeyPixels(blend, key, first, second, third), pass);
    StorePixels(p, _mm256_blendv_epi8(mixed, value, keep));
  }
  return groups * 8;
}

}  // namespace vcwide

#else

namespace vcwide {
int32_t GrayPixels(uint8_t*, int32_t) {
  return 0;
}
int32_t SaturationPixels(uint8_t*, int32_t, uint16_t) {
  return 0;
}
int32_t ContrastBytes(uint8_t*, int32_t, uint16_t, bool) {
  return 0;
}
int32_t OffsetPixelsKeyed(uint8_t*, int32_t, int16_t, int16_t, int16_t, TvcPixel) {
  return 0;
}
int32_t BlendPixelsKeyed(uint8_t*, const uint8_t*, int32_t, uint16_t, TvcPixel) {
  return 0;
}
}  // namespace vcwide

#endif
