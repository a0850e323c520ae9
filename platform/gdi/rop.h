#pragma once
// Ternary raster operations. A raster-operation code's bits 16..23 are its index: the result
// table of the operation over pattern P, source S and destination D, bit (P<<2 | S<<1 | D) of
// the index giving the result for those input bits. Evaluating the index bitwise therefore
// covers all 256 operations with no list of special cases; the index of a code is the result
// of applying it to P = 0xF0, S = 0xCC, D = 0xAA.

#include <cstdint>

#include "platform/rtl/wintypes.h"

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD NOMIRRORBITMAP = 0x80000000;
constexpr DWORD CAPTUREBLT = 0x40000000;

// MAKEROP4: a foreground and a background ternary operation for MaskBlt.
constexpr DWORD MAKEROP4(DWORD Foreground, DWORD Background) {
  return ((Background << 8) & 0xFF000000) | Foreground;
}

namespace gdi {

constexpr uint8_t RopIndex(DWORD Rop) {
  return uint8_t((Rop >> 16) & 0xFF);
}
constexpr bool RopUsesSource(uint8_t Index) {
  return ((Index >> 2) ^ Index) & 0x33;
}
constexpr bool RopUsesPattern(uint8_t Index) {
  return ((Index >> 4) ^ Index) & 0x0F;
}
constexpr bool RopUsesDestination(uint8_t Index) {
  return ((Index >> 1) ^ Index) & 0x55;
}

// The ternary index of a binary mix mode (R2_...) over pen/brush P and destination D.
constexpr uint8_t Rop2ToRop3(int Rop2) {
  unsigned table = unsigned(Rop2 - 1) & 0xF;  // bit (P<<1 | D)
  unsigned index = 0;
  for (unsigned i = 0; i < 8; ++i) {
    unsigned p = (i >> 2) & 1, d = i & 1;
    if ((table >> ((p << 1) | d)) & 1) index |= 1u << i;
  }
  return uint8_t(index);
}

// Evaluates an operation on one set of operands (every bit independently).
constexpr uint32_t ApplyRop(uint8_t Index, uint32_t P, uint32_t S, uint32_t D) {
  uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((Index >> i) & 1)) continue;
    uint32_t term = ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
    result |= term;
  }
  return result;
}

// D[i] := op(P[i], S[i], D[i]) for a row; unused operands may point anywhere readable of the
// same length.
using TRopRow = void (*)(uint32_t* D, const uint32_t* S, const uint32_t* P, int Count);
TRopRow RopRowFunction(uint8_t Index);

}  // namespace gdi
