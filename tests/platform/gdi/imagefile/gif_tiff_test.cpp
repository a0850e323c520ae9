#include <gtest/gtest.h>

#include "platform/gdi/imagefile/giffile.h"
#include "platform/gdi/imagefile/tifffile.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

TEST(GifReader, DecodesThePaletteOntoTheScreen) {
  const TBgraImage Plain = DecodeGif(Fixture("image_gif", "pal4_5x3.gif"));
  EXPECT_FALSE(Plain.HasAlpha);
  ASSERT_EQ(Plain.Width, 5);
  ASSERT_EQ(Plain.Height, 3);
  for (int32_t Y = 0; Y < 3; ++Y)
    for (int32_t X = 0; X < 5; ++X)
      EXPECT_EQ(Plain.PixelAt(X, Y), FourColors[(X + 2 * Y) % 4]) << X << "," << Y;

  // A 6 x 9 interlaced picture at (1, 1) on an 8 x 10 screen, colour 0 transparent: the screen
  // around it and its colour-0 pixels come out transparent black.
  const TBgraImage Placed = DecodeGif(Fixture("image_gif", "interlaced_offset_transparent.gif"));
  EXPECT_TRUE(Placed.HasAlpha);
  ASSERT_EQ(Placed.Width, 8);
  ASSERT_EQ(Placed.Height, 10);
  for (int32_t Y = 0; Y < 10; ++Y)
    for (int32_t X = 0; X < 8; ++X) {
      const bool Inside = X >= 1 && X < 7 && Y >= 1 && Y < 10;
      const int Index = Inside ? (X - 1 + 2 * (Y - 1)) % 4 : 0;
      EXPECT_EQ(Placed.PixelAt(X, Y), Index == 0 ? 0u : FourColors[Index]) << X << "," << Y;
    }

  const TBgraImage FromFfmpeg = DecodeGif(Fixture("image_gif", "ffmpeg.gif"));
  EXPECT_EQ(FromFfmpeg.Width, 8);
  EXPECT_EQ(FromFfmpeg.Height, 6);
}

TEST(GifReader, DamageRaisesInvalidGraphic) {
  std::vector<uint8_t> NoColors = Fixture("image_gif", "pal4_5x3.gif");
  NoColors[10] &= 0x7F;  // drop the global colour table flag: indexes name no colour
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
  };
  const TCase Cases[] = {
      {"empty", {}},
      {"header only", {'G', 'I', 'F', '8', '9', 'a'}},
      {"picture data cut short", Fixture("image_gif", "pal4_truncated.gif")},
      {"no colour table", NoColors},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodeGif(Case.File);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message().rfind("GIF image is not valid", 0), 0u) << Error.Message();
    }
  }
  EXPECT_THROW(DecodeGif(Fixture("image_gif", "pal4_5x3.gif"), TImageLimits{4, 4, 16}), EInvalidGraphic);
}

TEST(TiffReader, DecodesFixtures) {
  struct TCase {
    const char* File;  // what it covers
    bool HasAlpha;
  };
  const TCase Colour[] = {{"rgb24_raw.tif", false}, {"rgb24_lzw.tif", false}, {"rgba_deflate.tif", true}};
  for (const TCase& Case : Colour) {
    SCOPED_TRACE(Case.File);
    const TBgraImage Image = DecodeTiff(Fixture("image_tiff", Case.File));
    EXPECT_EQ(Image.HasAlpha, Case.HasAlpha);
    ASSERT_EQ(Image.Width, 5);
    ASSERT_EQ(Image.Height, 3);
    for (int32_t Y = 0; Y < 3; ++Y)
      for (int32_t X = 0; X < 5; ++X) {
        const uint32_t Expected = Case.HasAlpha ? PatternPixel(X, Y) : Opaque(PatternPixel(X, Y));
        const uint32_t Pixel = Image.PixelAt(X, Y);
        EXPECT_EQ(Pixel >> 24, Expected >> 24);
        // Alpha pictures pass through libtiff's premultiplied form: back to straight within the
        // rounding that costs (under 1 level above alpha 128, which the pattern keeps).
        EXPECT_LE(ColorDistance(Pixel, Expected), Case.HasAlpha ? 1 : 0) << X << "," << Y;
      }
  }
  {
    SCOPED_TRACE("grey, LZW");
    const TBgraImage Grey = DecodeTiff(Fixture("image_tiff", "gray_lzw.tif"));
    ASSERT_EQ(Grey.Width, 5);
    for (int32_t X = 0; X < 5; ++X) {
      const uint32_t Pixel = Grey.PixelAt(X, 2);
      EXPECT_EQ(Pixel & 0xFF, (Pixel >> 8) & 0xFF);
      EXPECT_EQ(Pixel & 0xFF, (Pixel >> 16) & 0xFF);
    }
  }
  {
    SCOPED_TRACE("1 bit, PackBits");
    const TBgraImage Mono = DecodeTiff(Fixture("image_tiff", "monob_packbits.tif"));
    ASSERT_EQ(Mono.Width, 9);
    ASSERT_EQ(Mono.Height, 2);
    for (int32_t X = 0; X < 9; ++X) {
      const uint32_t Pixel = Mono.PixelAt(X, 0);
      EXPECT_TRUE(Pixel == 0xFF000000 || Pixel == 0xFFFFFFFF) << std::hex << Pixel;
    }
  }
}

TEST(TiffReader, DamageRaisesInvalidGraphic) {
  std::vector<uint8_t> BadOffset = Fixture("image_tiff", "rgb24_raw.tif");
  BadOffset[4] = 0xF0;  // first directory far past the end
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
  };
  const TCase Cases[] = {
      {"empty", {}},
      {"header only", {'I', 'I', 42, 0}},
      {"cut in half", Fixture("image_tiff", "rgb24_truncated.tif")},
      {"directory offset past the end", BadOffset},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodeTiff(Case.File);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message().rfind("TIFF image is not valid", 0), 0u) << Error.Message();
    }
  }
  EXPECT_THROW(DecodeTiff(Fixture("image_tiff", "rgb24_raw.tif"), TImageLimits{4, 4, 16}), EInvalidGraphic);
}

}  // namespace
