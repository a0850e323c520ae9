#pragma once
// Shared by the image file tests: the test pattern every corpus picture shows (make_corpus.py
// draws the same one), the four-colour palette of the palette pictures, and fixture loading.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"
#include "platform/gdi/imagefile/imagefile.h"
#include "tests/sourcepath.h"

// Blue, green, red, alpha of the pattern at (X, Y), as 0xAARRGGBB.
inline uint32_t PatternPixel(int X, int Y) {
  const uint32_t Blue = (37 * X + 11 * Y) & 0xFF;
  const uint32_t Green = (53 * Y + 7 * X + 40) & 0xFF;
  const uint32_t Red = (200 - 23 * X + 31 * Y) & 0xFF;
  const uint32_t Alpha = (255 - 17 * (X + Y)) & 0xFF;
  return Alpha << 24 | Red << 16 | Green << 8 | Blue;
}

inline uint32_t Opaque(uint32_t Pixel) {
  return Pixel | 0xFF000000u;
}

// Black, white, red, blue: the palette pictures index it with (X + 2 * Y) mod 4.
constexpr uint32_t FourColors[4] = {0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF0000FF};

inline std::vector<uint8_t> Fixture(const std::string& Folder, const std::string& Name) {
  return ReadFileBytes(SourcePath("tests/fixtures/fuzz/" + Folder + "/" + Name));
}

// The largest difference of the three colour bytes.
inline int ColorDistance(uint32_t A, uint32_t B) {
  int Largest = 0;
  for (int Shift = 0; Shift < 24; Shift += 8) {
    const int Difference = std::abs(int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF));
    if (Difference > Largest) Largest = Difference;
  }
  return Largest;
}

// A pattern picture of the given size, alpha included.
inline TBgraImage PatternImage(int32_t Width, int32_t Height) {
  TBgraImage Image;
  Image.Resize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) {
      const uint32_t Pixel = PatternPixel(X, Y);
      uint8_t* Target = Image.Row(Y) + 4 * X;
      for (int Byte = 0; Byte < 4; ++Byte) Target[Byte] = uint8_t(Pixel >> (8 * Byte));
    }
  return Image;
}
