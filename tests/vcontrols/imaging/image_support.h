#pragma once
// Small owned images for the effect tests: the bitmap's row layout, pad bytes set to a marker so
// a test can see that no effect writes them, and a readable dump on mismatch.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "vcontrols/imaging/raster.h"

class TTestImage {
 public:
  static constexpr uint8_t PadMarker = 0xA5;

  TTestImage(int32_t Width, int32_t Height, TvcPixel Fill = {255, 255, 255});
  // Rows of pixels given as 0xRRGGBB colours, top row first.
  static TTestImage FromColors(int32_t Width, std::initializer_list<uint32_t> Colors);
  // Every channel of every pixel from a seeded generator.
  static TTestImage Random(int32_t Width, int32_t Height, uint64_t Seed);
  // One value in every channel, pixel by pixel, from a list of levels (for one-channel fixtures).
  static TTestImage Levels(int32_t Width, std::initializer_list<uint8_t> Levels);

  TvcRaster Raster() { return TvcRaster{FBytes.data(), FWidth, FHeight, vcRowSize(FWidth)}; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  TvcPixel Pixel(int32_t X, int32_t Y) const;
  uint32_t Color(int32_t X, int32_t Y) const;  // 0xRRGGBB
  void SetColor(int32_t X, int32_t Y, uint32_t Color);
  // Channel values of every pixel in raster order, blue green red.
  std::vector<uint8_t> Channels() const;
  bool PadsIntact() const;
  const std::vector<uint8_t>& Bytes() const { return FBytes; }

  friend bool operator==(const TTestImage& A, const TTestImage& B) { return A.FBytes == B.FBytes; }

 private:
  int32_t FWidth, FHeight;
  std::vector<uint8_t> FBytes;
};

// "3x2: (1,0) is 102030 want 405060; ..." for the first differing pixels.
std::string DescribeDifference(const TTestImage& Actual, const TTestImage& Expected);

// For EXPECT_PRED_FORMAT2-style use: gtest prints the description on failure.
#define EXPECT_SAME_IMAGE(Actual, Expected) EXPECT_EQ(DescribeDifference(Actual, Expected), "")
