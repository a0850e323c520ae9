#pragma once
// Little-endian fields of the BMP and ICO file formats, read and written byte by byte so
// that unaligned offsets in a file image are safe.

#include <cstdint>

inline uint16_t ReadLE16(const uint8_t* P) {
  return uint16_t(P[0] | P[1] << 8);
}
inline uint32_t ReadLE32(const uint8_t* P) {
  return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}
inline int32_t ReadLE32Signed(const uint8_t* P) {
  return int32_t(ReadLE32(P));
}

inline void WriteLE16(uint8_t* P, uint16_t Value) {
  P[0] = uint8_t(Value);
  P[1] = uint8_t(Value >> 8);
}
inline void WriteLE32(uint8_t* P, uint32_t Value) {
  P[0] = uint8_t(Value);
  P[1] = uint8_t(Value >> 8);
  P[2] = uint8_t(Value >> 16);
  P[3] = uint8_t(Value >> 24);
}
