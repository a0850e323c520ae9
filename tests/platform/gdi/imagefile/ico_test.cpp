#include <gtest/gtest.h>

#include "platform/gdi/imagefile/icofile.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

// three_entries.ico: a 4 x 4 8-bit bitmap whose mask hides column 0, a 5 x 3 32-bit bitmap with
// alpha (mask all clear) and a 6 x 6 PNG.
TEST(IcoReader, ReadsEveryEntryKind) {
  const std::vector<uint8_t> File = Fixture("image_ico", "three_entries.ico");
  const std::vector<TIconEntry> Entries = ReadIconDirectory(File);
  ASSERT_EQ(Entries.size(), 3u);
  EXPECT_EQ(Entries[0].BitCount, 8);
  EXPECT_EQ(Entries[2].Width, 6);
  EXPECT_EQ(BestIconEntry(Entries), 2u) << "the largest picture";

  {
    SCOPED_TRACE("8-bit with mask");
    const TBgraImage Image = DecodeIco(File, 0);
    EXPECT_TRUE(Image.HasAlpha);
    ASSERT_EQ(Image.Width, 4);
    ASSERT_EQ(Image.Height, 4);
    for (int32_t Y = 0; Y < 4; ++Y)
      for (int32_t X = 0; X < 4; ++X) {
        const uint32_t Color = FourColors[(X + 2 * Y) % 4];
        EXPECT_EQ(Image.PixelAt(X, Y), X == 0 ? Color & 0xFFFFFF : Color) << X << "," << Y;
      }
  }
  {
    SCOPED_TRACE("32-bit with alpha");
    const TBgraImage Image = DecodeIco(File, 1);
    EXPECT_TRUE(Image.HasAlpha);
    ASSERT_EQ(Image.Width, 5);
    ASSERT_EQ(Image.Height, 3);
    for (int32_t Y = 0; Y < 3; ++Y)
      for (int32_t X = 0; X < 5; ++X) EXPECT_EQ(Image.PixelAt(X, Y), PatternPixel(X, Y)) << X << "," << Y;
  }
  for (int32_t Index : {2, -1}) {
    SCOPED_TRACE("PNG entry, index " + std::to_string(Index));
    const TBgraImage Image = DecodeIco(File, Index);
    ASSERT_EQ(Image.Width, 6);
    ASSERT_EQ(Image.Height, 6);
    EXPECT_EQ(Image.PixelAt(5, 4), PatternPixel(5, 4));
  }
  {
    SCOPED_TRACE("PNG entry written by ffmpeg");
    const TBgraImage Image = DecodeIco(Fixture("image_ico", "ffmpeg_png.ico"));
    ASSERT_EQ(Image.Width, 8);
    EXPECT_EQ(Image.PixelAt(7, 7), PatternPixel(7, 7));
  }
}

TEST(IcoReader, ThirtyTwoBitsWithoutAlphaUseTheMask) {
  // Older 32-bit icons leave every alpha byte 0 and rely on the mask.
  std::vector<uint8_t> File = Fixture("image_ico", "alpha32.ico");
  const size_t Pixels = 6 + 16 + 40;
  for (size_t Index = 0; Index < 15; ++Index) File[Pixels + 4 * Index + 3] = 0;
  File[Pixels + 60 + 2 * 4] = 0x80;  // mask row 2 of 3 bottom-up, i.e. the top row: hide its first pixel
  const TBgraImage Image = DecodeIco(File);
  EXPECT_TRUE(Image.HasAlpha);
  EXPECT_EQ(Image.PixelAt(0, 0), PatternPixel(0, 0) & 0xFFFFFF);
  EXPECT_EQ(Image.PixelAt(1, 0), Opaque(PatternPixel(1, 0)));
  EXPECT_EQ(Image.PixelAt(0, 2), Opaque(PatternPixel(0, 2)));
}

TEST(IcoReader, DamageRaisesInvalidGraphic) {
  const std::vector<uint8_t> Masked = Fixture("image_ico", "masked8.ico");
  std::vector<uint8_t> NoMask(Masked.begin(), Masked.end() - 16);
  NoMask[6 + 8] = uint8_t(NoMask.size() - 22);  // directory size agrees with the shorter entry
  std::vector<uint8_t> WrongType = Masked;
  WrongType[2] = 3;
  std::vector<uint8_t> OffsetPastEnd = Masked;
  OffsetPastEnd[6 + 12] = 0xF0;
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
    int32_t Index;
  };
  const TCase Cases[] = {
      {"empty", {}, -1},
      {"no entries", {0, 0, 1, 0, 0, 0}, -1},
      {"directory cut short", std::vector<uint8_t>(Masked.begin(), Masked.begin() + 12), -1},
      {"type 3", WrongType, -1},
      {"entry past the end", OffsetPastEnd, -1},
      {"entry cut short", Fixture("image_ico", "alpha32_truncated.ico"), -1},
      {"8-bit entry without its mask", NoMask, -1},
      {"index out of range", Masked, 1},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodeIco(Case.File, Case.Index);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message(), "Icon image is not valid");
    }
  }
}

}  // namespace
