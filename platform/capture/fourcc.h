#pragma once
// Four-character codes: the compression field of a video format, stream and chunk types of AVI
// files, the handler type of the compression manager. The first character is the lowest byte, so
// the code reads as text in a little-endian file.

#include <string>

#include "platform/rtl/wintypes.h"

using FOURCC = DWORD;

constexpr FOURCC mmioFOURCC(char A, char B, char C, char D) {
  return FOURCC(uint8_t(A)) | (FOURCC(uint8_t(B)) << 8) | (FOURCC(uint8_t(C)) << 16) |
         (FOURCC(uint8_t(D)) << 24);
}

// The codes of the formats the capture drivers deliver and the decompressors take.
constexpr FOURCC FOURCC_YUY2 = mmioFOURCC('Y', 'U', 'Y', '2');
constexpr FOURCC FOURCC_YUYV = mmioFOURCC('Y', 'U', 'Y', 'V');
constexpr FOURCC FOURCC_UYVY = mmioFOURCC('U', 'Y', 'V', 'Y');
constexpr FOURCC FOURCC_Y41P = mmioFOURCC('Y', '4', '1', 'P');
// Grey: "Y8" padded with two blanks, its twin "Y800" and the "GREY" spelling.
constexpr FOURCC FOURCC_Y8 = mmioFOURCC('Y', '8', ' ', ' ');
constexpr FOURCC FOURCC_Y800 = mmioFOURCC('Y', '8', '0', '0');
constexpr FOURCC FOURCC_GREY = mmioFOURCC('G', 'R', 'E', 'Y');
constexpr FOURCC FOURCC_MJPG = mmioFOURCC('M', 'J', 'P', 'G');

// "YUY2", or the number in decimal when the code has a byte that is no printable character.
inline std::string FourCCToString(FOURCC Code) {
  std::string Text;
  for (int Shift = 0; Shift < 32; Shift += 8) {
    const char Character = char((Code >> Shift) & 0xFF);
    if (Character < 32 || Character > 126) return std::to_string(Code);
    Text += Character;
  }
  return Text;
}
