#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/imagefile/bmpfile.h"
#include "platform/gdi/imagefile/byteorder.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

// A 24-bit buffer laid out like a bottom-up DIB: row 0 in memory is the bottom row.
struct TBottomUpDib {
  int32_t Width, Height;
  uint32_t Stride;
  std::vector<uint8_t> Bits;

  TBottomUpDib(int32_t W, int32_t H)
      : Width(W), Height(H), Stride(BmpRowStride(W, 24)), Bits(Stride * H, 0xEE) {
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) {
        uint8_t* Pixel = Bits.data() + size_t(H - 1 - Y) * Stride + 3 * X;
        const uint32_t Color = PatternPixel(X, Y);
        Pixel[0] = uint8_t(Color), Pixel[1] = uint8_t(Color >> 8), Pixel[2] = uint8_t(Color >> 16);
      }
  }
  TPixelView View() const { return BottomUpView(Bits.data(), Stride, Width, Height, TPixelLayout::Bgr24); }
};

void ExpectPixels(const TBgraImage& Image, int32_t Width, int32_t Height,
                  const std::function<uint32_t(int, int)>& Expected) {
  ASSERT_EQ(Image.Width, Width);
  ASSERT_EQ(Image.Height, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X)
      ASSERT_EQ(Image.PixelAt(X, Y), Expected(X, Y)) << "at " << X << "," << Y;
}

// The 5-6-5 value of a pattern pixel, expanded back to 8 bits the way the reader scales fields.
uint32_t Pattern565(int X, int Y) {
  const uint32_t Pixel = PatternPixel(X, Y);
  auto Scale = [](uint32_t Value, uint32_t Bits) {
    const uint32_t Max = (1u << Bits) - 1;
    return (Value * 255 + Max / 2) / Max;
  };
  const uint32_t Blue = Scale((Pixel & 0xFF) >> 3, 5), Green = Scale(((Pixel >> 8) & 0xFF) >> 2, 6),
                 Red = Scale(((Pixel >> 16) & 0xFF) >> 3, 5);
  return 0xFF000000 | Red << 16 | Green << 8 | Blue;
}

TEST(BmpWriter, FrameBufferLayout) {
  // The 54-byte header the capture frame buffer uses, for a 5 x 3 picture at 24 bits.
  const TBottomUpDib Dib(5, 3);
  const std::vector<uint8_t> File = EncodeBmp(Dib.View());
  ASSERT_EQ(File.size(), 54u + 16 * 3);
  EXPECT_EQ(File[0], 'B');
  EXPECT_EQ(File[1], 'M');
  EXPECT_EQ(ReadLE32(&File[2]), File.size());  // file size
  EXPECT_EQ(ReadLE32(&File[6]), 0u);           // reserved
  EXPECT_EQ(ReadLE32(&File[10]), 54u);         // pixel offset
  EXPECT_EQ(ReadLE32(&File[14]), 40u);         // header size
  EXPECT_EQ(ReadLE32Signed(&File[18]), 5);
  EXPECT_EQ(ReadLE32Signed(&File[22]), 3);  // positive: bottom-up
  EXPECT_EQ(ReadLE16(&File[26]), 1);        // planes
  EXPECT_EQ(ReadLE16(&File[28]), 24);
  EXPECT_EQ(ReadLE32(&File[30]), 0u);   // uncompressed
  EXPECT_EQ(ReadLE32(&File[34]), 48u);  // image size: stride 16 times 3 rows
  for (size_t Offset = 38; Offset < 54; Offset += 4) EXPECT_EQ(ReadLE32(&File[Offset]), 0u) << Offset;
  // The pixel area is the DIB's memory, padding zeroed.
  std::vector<uint8_t> Expected = Dib.Bits;
  for (int Row = 0; Row < 3; ++Row) Expected[Row * 16 + 15] = 0;
  EXPECT_TRUE(std::equal(Expected.begin(), Expected.end(), File.begin() + 54));
}

TEST(BmpWriter, RoundTripsEveryRowPadding) {
  struct TCase {
    const char* Name;
    TPixelLayout Source;
    uint16_t BitCount;
  };
  const TCase Cases[] = {
      {"24-bit rows from BGRA", TPixelLayout::Bgra32, 24},
      {"32-bit rows from BGRA keep the fourth byte", TPixelLayout::Bgra32, 32},
      {"24-bit rows from BGR", TPixelLayout::Bgr24, 24},
  };
  for (const TCase& Case : Cases) {
    for (int32_t Width = 1; Width <= 5; ++Width) {
      SCOPED_TRACE(std::string(Case.Name) + ", width " + std::to_string(Width));
      const TBgraImage Source = PatternImage(Width, 2);
      std::vector<uint8_t> Packed;
      TPixelView View = Source.View();
      if (Case.Source == TPixelLayout::Bgr24) {
        for (size_t Index = 0; Index < Source.Pixels.size(); Index += 4)
          Packed.insert(Packed.end(), Source.Pixels.begin() + Index, Source.Pixels.begin() + Index + 3);
        View = TopDownView(Packed.data(), 3 * Width, Width, 2, TPixelLayout::Bgr24);
      }
      const std::vector<uint8_t> File = EncodeBmp(View, Case.BitCount);
      ASSERT_EQ(File.size(), BmpFileSize(Width, 2, Case.BitCount));
      const uint32_t Stride = BmpRowStride(Width, Case.BitCount);
      for (uint32_t Pad = Width * Case.BitCount / 8; Pad < Stride; ++Pad) EXPECT_EQ(File[54 + Pad], 0) << Pad;
      if (Case.BitCount == 32) {
        EXPECT_EQ(File[54 + 3], uint8_t(PatternPixel(0, 1) >> 24));
      }
      TBmpInfo Info;
      const TBgraImage Back = DecodeBmp(File, &Info);
      EXPECT_EQ(Info.BitCount, Case.BitCount);
      EXPECT_FALSE(Back.HasAlpha);  // the fourth byte of an uncompressed 32-bit pixel is no alpha
      ExpectPixels(Back, Width, 2, [](int X, int Y) { return Opaque(PatternPixel(X, Y)); });
    }
  }
}

TEST(BmpWriter, ReusesTheCallersBuffer) {
  const TBottomUpDib Dib(7, 5);
  std::vector<uint8_t> Out;
  EncodeBmp(Dib.View(), Out);
  const uint8_t* First = Out.data();
  EncodeBmp(Dib.View(), Out);
  EXPECT_EQ(Out.data(), First);
  EXPECT_EQ(Out, EncodeBmp(Dib.View()));
}

TEST(BmpReader, DecodesEveryLayout) {
  auto Four = [](int X, int Y) { return FourColors[(X + 2 * Y) % 4]; };
  // Run-length pictures, top row first; -1 marks a pixel the stream skips (it keeps index 0).
  const int Rle8Rows[3][5] = {{3, 3, 3, 3, 3}, {0, 2, 2, 0, 0}, {1, 1, 2, 3, 0}};
  const int Rle4Rows[3][5] = {{3, 3, 3, 3, 0}, {3, 2, 1, 0, 0}, {1, 2, 1, 2, 1}};
  struct TCase {
    const char* File;  // what it covers
    int32_t Width, Height;
    uint16_t BitCount;
    bool TopDown, HasAlpha;
    std::function<uint32_t(int, int)> Expected;
  };
  const TCase Cases[] = {
      {"rgb24_5x3.bmp", 5, 3, 24, false, false, [](int X, int Y) { return Opaque(PatternPixel(X, Y)); }},
      // Version 5 header, bit fields with an alpha mask, top-down rows.
      {"v5_alpha_topdown.bmp", 5, 3, 32, true, true, PatternPixel},
      // 16 bits, 5-6-5 masks after a 40-byte header.
      {"rgb565.bmp", 5, 3, 16, false, false, Pattern565},
      {"pal1.bmp", 9, 2, 1, false, false, [](int X, int Y) { return FourColors[(X + Y) % 2]; }},
      {"pal4.bmp", 5, 3, 4, false, false, Four},
      {"pal8.bmp", 5, 3, 8, false, false, Four},
      // Core header, three-byte palette entries.
      {"core8.bmp", 5, 3, 8, false, false, Four},
      // Runs, an absolute run, a delta, end of line and end of bitmap.
      {"rle8.bmp", 5, 3, 8, false, false, [&](int X, int Y) { return FourColors[Rle8Rows[Y][X]]; }},
      {"rle4.bmp", 5, 3, 4, false, false, [&](int X, int Y) { return FourColors[Rle4Rows[Y][X]]; }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    TBmpInfo Info;
    const TBgraImage Image = DecodeBmp(Fixture("image_bmp", Case.File), &Info);
    EXPECT_EQ(Info.BitCount, Case.BitCount);
    EXPECT_EQ(Info.TopDown, Case.TopDown);
    EXPECT_EQ(Image.HasAlpha, Case.HasAlpha);
    if (Case.BitCount <= 8) {
      EXPECT_GE(Info.Palette.size(), 2u);
    }
    ExpectPixels(Image, Case.Width, Case.Height, Case.Expected);
  }
}

TEST(BmpReader, AlphaMaskWithoutAlphaIsOpaque) {
  // Writers often declare an alpha mask and leave every alpha byte 0.
  std::vector<uint8_t> File = Fixture("image_bmp", "v5_alpha_topdown.bmp");
  for (size_t Offset = 14 + 124 + 3; Offset < File.size(); Offset += 4) File[Offset] = 0;
  const TBgraImage Image = DecodeBmp(File);
  EXPECT_FALSE(Image.HasAlpha);
  ExpectPixels(Image, 5, 3, [](int X, int Y) { return Opaque(PatternPixel(X, Y)); });
}

TEST(BmpReader, RejectsDamagedFiles) {
  const std::vector<uint8_t> Good = Fixture("image_bmp", "rgb24_5x3.bmp");
  auto Patched = [&](size_t Offset, uint32_t Value, int Bytes = 4) {
    std::vector<uint8_t> File = Good;
    if (Bytes == 4)
      WriteLE32(&File[Offset], Value);
    else
      WriteLE16(&File[Offset], uint16_t(Value));
    return File;
  };
  std::vector<uint8_t> Rle8 = Fixture("image_bmp", "rle8.bmp");
  WriteLE32(&Rle8[22], uint32_t(-3));  // run-length rows cannot be top-down
  std::vector<uint8_t> CutPalette = Fixture("image_bmp", "pal8.bmp");
  CutPalette.resize(14 + 40 + 8);
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
  };
  const TCase Cases[] = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(Good.begin(), Good.begin() + 14)},
      {"no BM signature", Patched(0, 'X', 2)},
      {"pixels cut short", Fixture("image_bmp", "rgb24_truncated.bmp")},
      {"unknown header size", Fixture("image_bmp", "bad_header_size.bmp")},
      {"run-length stream cut short", Fixture("image_bmp", "rle8_truncated.bmp")},
      {"width 0", Patched(18, 0)},
      {"negative width", Patched(18, uint32_t(-5))},
      {"height 0", Patched(22, 0)},
      {"7 bits per pixel", Patched(28, 7, 2)},
      {"JPEG compression", Patched(30, 4)},
      {"run-length compression at 24 bits", Patched(30, 1)},
      {"top-down run-length", Rle8},
      {"colour table cut short", CutPalette},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodeBmp(Case.File);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_EQ(Error.Message(), "Bitmap image is not valid");
    }
  }
}

TEST(BmpReader, RefusesPicturesOverTheLimits) {
  std::vector<uint8_t> File = Fixture("image_bmp", "rgb24_5x3.bmp");
  WriteLE32(&File[18], 100000);
  WriteLE32(&File[22], 100000);
  EXPECT_THROW(
      {
        try {
          DecodeBmp(File);
        } catch (const EInvalidGraphic& Error) {
          EXPECT_EQ(Error.Message(), "Bitmap image is too large");
          throw;
        }
      },
      EInvalidGraphic);
  const TImageLimits Small{4, 4, 16};
  EXPECT_THROW(DecodeBmp(Fixture("image_bmp", "rgb24_5x3.bmp"), nullptr, Small), EInvalidGraphic);
}

}  // namespace
