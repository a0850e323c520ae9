#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gdi/imagefile/pngfile.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

void ExpectPattern(const TBgraImage& Image, int32_t Width, int32_t Height, bool WithAlpha) {
  ASSERT_EQ(Image.Width, Width);
  ASSERT_EQ(Image.Height, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X)
      ASSERT_EQ(Image.PixelAt(X, Y), WithAlpha ? PatternPixel(X, Y) : Opaque(PatternPixel(X, Y)))
          << X << "," << Y;
}

TEST(PngCodec, AlphaStaysStraightThroughARoundTrip) {
  // Colour under low alpha is where premultiplying would show: 200 at alpha 1 would come back 255.
  TBgraImage Source;
  Source.Resize(4, 1);
  const uint32_t Pixels[4] = {0x00C86432, 0x01C86432, 0x80C86432, 0xFFC86432};
  for (int X = 0; X < 4; ++X)
    for (int Byte = 0; Byte < 4; ++Byte) Source.Row(0)[4 * X + Byte] = uint8_t(Pixels[X] >> (8 * Byte));
  const TBgraImage Back = DecodePng(EncodePng(Source.View()));
  EXPECT_TRUE(Back.HasAlpha);
  for (int X = 0; X < 4; ++X) EXPECT_EQ(Back.PixelAt(X, 0), Pixels[X]) << X;
}

TEST(PngCodec, ColourSourcesWriteOpaquePictures) {
  const TBgraImage Pattern = PatternImage(5, 3);
  // Bottom-up BGR rows with padding, and BGRX whose fourth byte is junk, not alpha.
  std::vector<uint8_t> Dib(16 * 3, 0xAB);
  for (int32_t Y = 0; Y < 3; ++Y)
    for (int32_t X = 0; X < 5; ++X) std::copy_n(Pattern.Row(Y) + 4 * X, 3, Dib.data() + (2 - Y) * 16 + 3 * X);
  TPixelView Bgrx = Pattern.View();
  Bgrx.Format = TPixelLayout::Bgrx32;
  struct TCase {
    const char* Name;
    TPixelView View;
  };
  const TCase Cases[] = {
      {"bottom-up BGR", BottomUpView(Dib.data(), 16, 5, 3, TPixelLayout::Bgr24)},
      {"BGRX", Bgrx},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TBgraImage Back = DecodePng(EncodePng(Case.View));
    EXPECT_FALSE(Back.HasAlpha);
    ExpectPattern(Back, 5, 3, false);
  }
}

TEST(PngCodec, DecodesFixtures) {
  {
    SCOPED_TRACE("8-bit RGBA");
    const TBgraImage Image = DecodePng(Fixture("image_png", "rgba_5x3.png"));
    EXPECT_TRUE(Image.HasAlpha);
    ExpectPattern(Image, 5, 3, true);
  }
  {
    SCOPED_TRACE("Adam7 interlaced RGBA");
    ExpectPattern(DecodePng(Fixture("image_png", "rgba_interlaced.png")), 5, 3, true);
  }
  {
    SCOPED_TRACE("RGB from ffmpeg");
    const TBgraImage Image = DecodePng(Fixture("image_png", "rgb24_ffmpeg.png"));
    EXPECT_FALSE(Image.HasAlpha);
    ExpectPattern(Image, 5, 3, false);
  }
  {
    // Palette entries 0 and 2 are transparent and half transparent through a tRNS chunk.
    SCOPED_TRACE("palette with tRNS");
    const TBgraImage Image = DecodePng(Fixture("image_png", "pal_trns.png"));
    EXPECT_TRUE(Image.HasAlpha);
    const uint8_t Alpha[4] = {0, 255, 128, 255};
    for (int32_t Y = 0; Y < 3; ++Y)
      for (int32_t X = 0; X < 5; ++X) {
        const int Index = (X + 2 * Y) % 4;
        EXPECT_EQ(Image.PixelAt(X, Y), (FourColors[Index] & 0xFFFFFF) | uint32_t(Alpha[Index]) << 24)
            << X << "," << Y;
      }
  }
  {
    SCOPED_TRACE("16-bit grey");
    const TBgraImage Image = DecodePng(Fixture("image_png", "gray16.png"));
    EXPECT_FALSE(Image.HasAlpha);
    ASSERT_EQ(Image.Width, 5);
    for (int32_t X = 0; X < 5; ++X) {
      const uint32_t Pixel = Image.PixelAt(X, 1);
      EXPECT_EQ(Pixel & 0xFF, (Pixel >> 16) & 0xFF);
      EXPECT_EQ(Pixel >> 24, 0xFFu);
    }
  }
}

TEST(PngCodec, DamageRaisesInvalidGraphic) {
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
  };
  const TCase Cases[] = {
      {"empty", {}},
      {"signature only", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
      {"truncated", Fixture("image_png", "rgba_truncated.png")},
      {"header checksum wrong", Fixture("image_png", "bad_crc.png")},
      {"a BMP", Fixture("image_bmp", "rgb24_5x3.bmp")},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodePng(Case.File);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message().rfind("PNG image is not valid", 0), 0u) << Error.Message();
    }
  }
  EXPECT_THROW(DecodePng(Fixture("image_png", "rgba_5x3.png"), TImageLimits{4, 4, 16}), EInvalidGraphic);
}

TEST(PngCodec, SavesAFile) {
  const std::string Folder = ::testing::TempDir() + "png_codec_saves";
  std::filesystem::remove_all(Folder);
  std::filesystem::create_directories(Folder);
  const std::string Name = Folder + "/shot.png";
  SavePngFile(Name, PatternImage(5, 3).View());
  ExpectPattern(DecodePng(ReadFileBytes(Name)), 5, 3, true);
  EXPECT_THROW(SavePngFile(Folder + "/missing/shot.png", PatternImage(5, 3).View()), EFCreateError);
  std::filesystem::remove_all(Folder);
}

}  // namespace
