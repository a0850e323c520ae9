#include <gtest/gtest.h>

#include <cmath>

#include "platform/gdi/imagefile/bmpfile.h"
#include "platform/gdi/imagefile/jpegfile.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

// A smooth picture, the kind of content JPEG is made for: its error bound says something.
TBgraImage Gradient(int32_t Width, int32_t Height) {
  TBgraImage Image;
  Image.Resize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) {
      uint8_t* Pixel = Image.Row(Y) + 4 * X;
      Pixel[0] = uint8_t(X * 255 / (Width - 1));
      Pixel[1] = uint8_t(Y * 255 / (Height - 1));
      Pixel[2] = uint8_t(128 + 100 * std::sin(X * 0.1 + Y * 0.07));
      Pixel[3] = 255;
    }
  return Image;
}

struct TError {
  double Mean = 0;
  int Max = 0;
};

TError Compare(const TBgraImage& A, const TBgraImage& B) {
  TError Error;
  double Sum = 0;
  for (int32_t Y = 0; Y < A.Height; ++Y)
    for (int32_t X = 0; X < A.Width; ++X)
      for (int Byte = 0; Byte < 3; ++Byte) {
        const int Difference = std::abs(int(A.Row(Y)[4 * X + Byte]) - int(B.Row(Y)[4 * X + Byte]));
        Sum += Difference;
        Error.Max = std::max(Error.Max, Difference);
      }
  Error.Mean = Sum / (3.0 * A.Width * A.Height);
  return Error;
}

bool HasMarker(std::span<const uint8_t> File, uint8_t Marker) {
  for (size_t Index = 0; Index + 1 < File.size(); ++Index)
    if (File[Index] == 0xFF && File[Index + 1] == Marker) return true;
  return false;
}

TEST(JpegCodec, RoundTripWithinTheQualitysErrorBound) {
  const TBgraImage Source = Gradient(64, 48);
  struct TCase {
    int Quality;
    double MeanBound;
    int MaxBound;
  };
  // Bounds measured with libjpeg-turbo's default settings (4:2:0, slow integer DCT), with headroom.
  const TCase Cases[] = {{90, 1.5, 16}, {50, 3.5, 28}};
  size_t PreviousSize = SIZE_MAX;
  for (const TCase& Case : Cases) {
    SCOPED_TRACE("quality " + std::to_string(Case.Quality));
    const std::vector<uint8_t> File = EncodeJpeg(Source.View(), Case.Quality);
    EXPECT_TRUE(HasMarker(File, 0xC0)) << "baseline frame";
    EXPECT_FALSE(HasMarker(File, 0xC2)) << "no progressive frame";
    EXPECT_LT(File.size(), PreviousSize);
    PreviousSize = File.size();
    const TBgraImage Back = DecodeJpeg(File);
    ASSERT_EQ(Back.Width, 64);
    ASSERT_EQ(Back.Height, 48);
    EXPECT_FALSE(Back.HasAlpha);
    const TError Error = Compare(Source, Back);
    EXPECT_LT(Error.Mean, Case.MeanBound);
    EXPECT_LE(Error.Max, Case.MaxBound);
    for (size_t Index = 3; Index < Back.Pixels.size(); Index += 4) ASSERT_EQ(Back.Pixels[Index], 255);
  }
}

TEST(JpegCodec, EncodesEveryRowLayoutAlike) {
  // The same picture as top-down BGRA, as a bottom-up 24-bit DIB with padded rows and as BGRX.
  const TBgraImage Source = Gradient(13, 9);
  const uint32_t Stride = BmpRowStride(13, 24);
  std::vector<uint8_t> Dib(Stride * 9, 0x5A);
  for (int32_t Y = 0; Y < 9; ++Y)
    for (int32_t X = 0; X < 13; ++X)
      std::copy_n(Source.Row(Y) + 4 * X, 3, Dib.data() + size_t(8 - Y) * Stride + 3 * X);
  TPixelView Bgrx = Source.View();
  Bgrx.Format = TPixelLayout::Bgrx32;

  TJpegEncoder Encoder;
  const auto Copy = [](std::span<const uint8_t> Bytes) {
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
  };
  const std::vector<uint8_t> FromBgra = Copy(Encoder.Encode(Source.View(), 75));
  EXPECT_EQ(Copy(Encoder.Encode(BottomUpView(Dib.data(), Stride, 13, 9, TPixelLayout::Bgr24), 75)), FromBgra);
  EXPECT_EQ(Copy(Encoder.Encode(Bgrx, 75)), FromBgra);
}

TEST(JpegCodec, EncoderIsReusableAcrossSizesAndErrors) {
  const TBgraImage Large = Gradient(96, 64), Small = Gradient(16, 8);
  TJpegEncoder Encoder;
  const auto First = [&] {
    auto Bytes = Encoder.Encode(Large.View(), 90);
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
  }();
  Encoder.Encode(Small.View(), 20);
  TPixelView Empty = Small.View();
  Empty.Width = 0;
  EXPECT_THROW(Encoder.Encode(Empty, 90), EJPEG);
  const std::span<const uint8_t> Again = Encoder.Encode(Large.View(), 90);
  EXPECT_TRUE(std::equal(Again.begin(), Again.end(), First.begin(), First.end()));
  EXPECT_EQ(EncodeJpeg(Large.View(), 90), First);
}

TEST(JpegCodec, DecodesFixtures) {
  struct TCase {
    const char* File;  // what it covers
    int32_t Width, Height;
    int Tolerance;  // against the pattern; -1: grey, every channel near the pattern's green
  };
  const TCase Cases[] = {
      // 4:2:0 from ffmpeg: only the size, the pattern's wrap-around edges are lost to subsampling.
      {"yuv420_16x8.jpg", 16, 8, 255},
      {"progressive_5x3.jpg", 5, 3, 6},  // progressive scans, 4:4:4 at quality 100
      {"cmyk_5x3.jpg", 5, 3, 6},         // inverted CMYK with an Adobe marker, quality 100
      {"gray_8x8.jpg", 8, 8, -1},        // one component, quality 100
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    const TBgraImage Image = DecodeJpeg(Fixture("image_jpeg", Case.File));
    ASSERT_EQ(Image.Width, Case.Width);
    ASSERT_EQ(Image.Height, Case.Height);
    for (int32_t Y = 0; Y < Image.Height; ++Y)
      for (int32_t X = 0; X < Image.Width; ++X) {
        const uint32_t Pixel = Image.PixelAt(X, Y);
        ASSERT_EQ(Pixel >> 24, 0xFFu);
        if (Case.Tolerance < 0) {
          const uint32_t Green = (PatternPixel(X, Y) >> 8) & 0xFF;
          ASSERT_LE(ColorDistance(Pixel, Green | Green << 8 | Green << 16), 6) << X << "," << Y;
        } else {
          ASSERT_LE(ColorDistance(Pixel, PatternPixel(X, Y)), Case.Tolerance) << X << "," << Y;
        }
      }
  }
}

TEST(JpegCodec, DecodesIntoBottomUpBgrRows) {
  const std::vector<uint8_t> File = Fixture("image_jpeg", "progressive_5x3.jpg");
  const TBgraImage Reference = DecodeJpeg(File);
  TJpegDecoder Decoder;
  const TJpegHeader Header = Decoder.ReadHeader(File);
  EXPECT_TRUE(Header.Progressive);
  EXPECT_EQ(Header.Components, 3);
  const uint32_t Stride = BmpRowStride(5, 24);
  std::vector<uint8_t> Dib(Stride * 3, 0x77);
  Decoder.DecodeInto(Dib.data() + 2 * Stride, -ptrdiff_t(Stride), TPixelLayout::Bgr24);
  for (int32_t Y = 0; Y < 3; ++Y)
    for (int32_t X = 0; X < 5; ++X)
      for (int Byte = 0; Byte < 3; ++Byte)
        ASSERT_EQ(Dib[size_t(2 - Y) * Stride + 3 * X + Byte], Reference.Row(Y)[4 * X + Byte]);
  EXPECT_EQ(Dib[15], 0x77) << "row padding untouched";
}

TEST(JpegCodec, DamageRaisesJpegError) {
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File;
  };
  std::vector<uint8_t> Scrambled = Fixture("image_jpeg", "yuv420_16x8.jpg");
  for (size_t Index = Scrambled.size() / 2; Index < Scrambled.size() - 2; ++Index) Scrambled[Index] ^= 0x5B;
  const TCase Cases[] = {
      {"empty", {}},
      {"not a JPEG", {'B', 'M', 0, 0, 0, 0}},
      {"markers without a frame", Fixture("image_jpeg", "not_a_jpeg.jpg")},
      {"truncated", Fixture("image_jpeg", "yuv420_truncated.jpg")},
      {"entropy-coded data scrambled", Scrambled},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      DecodeJpeg(Case.File);
      ADD_FAILURE() << "decoded";
    } catch (const EJPEG& Error) {
      EXPECT_STREQ(Error.ClassName(), "EJPEG");
      EXPECT_EQ(Error.Message().rfind("JPEG error #", 0), 0u) << Error.Message();
      EXPECT_GT(std::stoi(Error.Message().substr(12)), 0);
      EXPECT_NE(dynamic_cast<const EInvalidGraphic*>(&Error), nullptr);
    }
  }
}

TEST(JpegCodec, ToleratedDamageStillDecodes) {
  // A live frame cut short is worth showing; a file the user opens is not.
  const std::vector<uint8_t> File = Fixture("image_jpeg", "yuv420_truncated.jpg");
  const TBgraImage Image = DecodeJpeg(File, {}, TJpegDamage::Tolerate);
  EXPECT_EQ(Image.Width, 16);
  EXPECT_EQ(Image.Height, 8);
  // The decoder object survives both outcomes.
  TJpegDecoder Decoder;
  TBgraImage Out;
  EXPECT_THROW(Decoder.Decode(File, Out), EJPEG);
  Decoder.Decode(Fixture("image_jpeg", "gray_8x8.jpg"), Out);
  EXPECT_EQ(Out.Width, 8);
}

TEST(JpegCodec, RefusesPicturesOverTheLimits) {
  const TImageLimits Small{8, 8, 64};
  try {
    DecodeJpeg(Fixture("image_jpeg", "yuv420_16x8.jpg"), Small);
    ADD_FAILURE() << "decoded";
  } catch (const EInvalidGraphic& Error) {
    EXPECT_EQ(Error.Message(), "JPEG image is too large");
  }
}

}  // namespace
