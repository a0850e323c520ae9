// Regions from pictures and the streamed bytes of a region.

#include "vcontrols/common/regions.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "tests/vcontrols/imaging/image_support.h"

namespace {

std::vector<RECT> RectsOf(HRGN Region) {
  return Region ? GdiGetRegion(Region)->Rects() : std::vector<RECT>{};
}

TEST(RegionsTest, RegionFromPictureRuns) {
  struct TCase {
    const char* Name;
    int32_t Width;
    std::vector<uint8_t> Levels;  // grey level per pixel
    TColor Key;
    std::vector<RECT> Expected;  // banded rectangles
  } cases[] = {
      {"every pixel the key: no region", 3, {5, 5, 5, 5, 5, 5}, -1, {}},
      {"one row, middle run", 5, {0, 9, 9, 9, 0}, -1, {{1, 0, 4, 1}}},
      {"key given explicitly", 3, {0, 9, 9}, 0x090909, {{0, 0, 1, 1}}},
      {"runs per row, equal rows merge into a band",
       4,
       {1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1},
       -1,
       {{1, 0, 3, 2}, {0, 2, 3, 3}}},
      {"a system colour matches no pixel", 2, {0, 9}, clBtnFace, {{0, 0, 2, 1}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestImage image(c.Width, int32_t(c.Levels.size()) / c.Width);
    for (size_t i = 0; i < c.Levels.size(); ++i)
      image.SetColor(int32_t(i) % c.Width, int32_t(i) / c.Width, c.Levels[i] * 0x010101u);
    HRGN region = RegionFromRaster(image.Raster(), c.Key);
    EXPECT_EQ(region == nullptr, c.Expected.empty());
    EXPECT_EQ(RectsOf(region), c.Expected);
    if (region) DeleteObject(region);
  }
  EXPECT_EQ(RegionFromRaster(TvcRaster{}, -1), nullptr);
}

TEST(RegionsTest, StreamedBytes) {
  // No region: exactly four zero bytes, read back as none.
  TMemoryStream empty;
  WriteRegionBytes(empty, {});
  ASSERT_EQ(empty.Size(), 4);
  EXPECT_EQ(
      std::vector<uint8_t>(static_cast<uint8_t*>(empty.Memory()), static_cast<uint8_t*>(empty.Memory()) + 4),
      (std::vector<uint8_t>{0, 0, 0, 0}));
  empty.SetPosition(0);
  EXPECT_TRUE(ReadRegionBytes(empty).empty());

  // Seven bands make 32 + 7 x 16 = 144 bytes of region data, 148 streamed.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (int32_t band = 0; band < 7; ++band) {
    HRGN row = CreateRectRgn(band, band, 13 - band, band + 1);
    CombineRgn(region, region, row, RGN_OR);
    DeleteObject(row);
  }
  const std::vector<uint8_t> bytes = CaptureRegionBytes(region);
  ASSERT_EQ(bytes.size(), 144u);
  EXPECT_EQ(bytes[0], 32);  // header size
  EXPECT_EQ(bytes[4], 1);   // rectangles
  EXPECT_EQ(bytes[8], 7);   // count
  TMemoryStream stream;
  WriteRegionBytes(stream, bytes);
  EXPECT_EQ(stream.Size(), 148);
  stream.SetPosition(0);
  const std::vector<uint8_t> read = ReadRegionBytes(stream);
  EXPECT_EQ(read, bytes);
  HRGN again = RegionFromBytes(read);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(EqualRgn(region, again));
  DeleteObject(again);
  DeleteObject(region);
}

TEST(RegionsTest, ReadingRefusesCountsPastTheData) {
  const uint8_t claims[] = {0x30, 0, 0, 0, 1, 2, 3};
  const uint8_t negative[] = {0xF0, 0xFF, 0xFF, 0xFF};
  for (auto [data, size] : {std::pair{claims, sizeof claims}, {negative, sizeof negative}}) {
    TMemoryStream stream;
    stream.WriteBuffer(data, int32_t(size));
    stream.SetPosition(0);
    EXPECT_THROW(ReadRegionBytes(stream), EReadError);
  }
  EXPECT_EQ(RegionFromBytes({1, 2, 3}), nullptr);
}

}  // namespace
