#include "platform/gdi/rop.h"

#include <array>
#include <utility>

namespace gdi {
namespace {

// The operation as a sum of its minterms; the compiler folds each instance to a few bit
// operations, so every one of the 256 row loops is branch-free.
template <unsigned R>
inline uint32_t Rop3(uint32_t P, uint32_t S, uint32_t D) {
  uint32_t r = 0;
  if constexpr ((R & 0x01) != 0) r |= ~P & ~S & ~D;
  if constexpr ((R & 0x02) != 0) r |= ~P & ~S & D;
  if constexpr ((R & 0x04) != 0) r |= ~P & S & ~D;
  if constexpr ((R & 0x08) != 0) r |= ~P & S & D;
  if constexpr ((R & 0x10) != 0) r |= P & ~S & ~D;
  if constexpr ((R & 0x20) != 0) r |= P & ~S & D;
  if constexpr ((R & 0x40) != 0) r |= P & S & ~D;
  if constexpr ((R & 0x80) != 0) r |= P & S & D;
  return r;
}

template <unsigned R>
void RopRow(uint32_t* D, const uint32_t* S, const uint32_t* P, int Count) {
  for (int i = 0; i < Count; ++i) D[i] = Rop3<R>(P[i], S[i], D[i]);
}

template <size_t... I>
constexpr std::array<TRopRow, 256> MakeTable(std::index_sequence<I...>) {
  return {&RopRow<unsigned(I)>...};
}

constexpr std::array<TRopRow, 256> RowTable = MakeTable(std::make_index_sequence<256>());

static_assert(RopIndex(SRCCOPY) == 0xCC && ApplyRop(0xCC, 0xF0, 0xCC, 0xAA) == 0xCC);
static_assert(Rop2ToRop3(13 /* R2_COPYPEN */) == 0xF0);
static_assert(Rop2ToRop3(7 /* R2_XORPEN */) == 0x5A);
static_assert(Rop2ToRop3(6 /* R2_NOT */) == 0x55);

}  // namespace

TRopRow RopRowFunction(uint8_t Index) {
  return RowTable[Index];
}

}  // namespace gdi
