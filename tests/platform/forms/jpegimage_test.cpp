// TJPEGImage: encoding a bitmap at the quality set last, decoding lazily at a scale or in grey,
// keeping loaded bytes, and reporting codec faults.

#include "platform/forms/jpegimage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "forms_fixture.h"

namespace {

std::vector<uint8_t> Saved(TGraphic& Graphic) {
  TMemoryStream Stream;
  Graphic.SaveToStream(Stream);
  const auto* Data = static_cast<const uint8_t*>(Stream.Memory());
  return std::vector<uint8_t>(Data, Data + Stream.Size());
}

void Load(TGraphic& Graphic, const std::vector<uint8_t>& Bytes) {
  TMemoryStream Stream;
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
  Stream.SetPosition(0);
  Graphic.LoadFromStream(Stream);
}

}  // namespace

TEST(JPEGImage, RoundTripsABitmap) {
  auto Ramp = MakeRamp(40, 24);
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  EXPECT_EQ(Jpeg.Width(), 40);
  EXPECT_EQ(Jpeg.Height(), 24);
  const std::vector<uint8_t> Bytes = Saved(Jpeg);
  ASSERT_GT(Bytes.size(), 4u);
  EXPECT_EQ(Bytes[0], 0xFF);
  EXPECT_EQ(Bytes[1], 0xD8);

  TJPEGImage Loaded;
  Load(Loaded, Bytes);
  EXPECT_EQ(Loaded.Bitmap(), nullptr);  // decoded only when needed
  EXPECT_EQ(Loaded.Width(), 40);
  TBitmap Back;
  Back.Assign(&Loaded);
  EXPECT_NE(Loaded.Bitmap(), nullptr);
  EXPECT_EQ(Back.PixelFormat(), pf24bit);
  ASSERT_EQ(Back.Width(), 40);
  EXPECT_LE(MaxChannelDifference(Back, *Ramp), 8);
}

TEST(JPEGImage, QualitySetAfterTheAssignmentIsTheOneWritten) {
  auto Ramp = MakeRamp(64, 64);
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  Jpeg.SetCompressionQuality(95);
  const size_t Fine = Saved(Jpeg).size();
  Jpeg.SetCompressionQuality(5);  // the bytes came from a bitmap: made again
  const size_t Coarse = Saved(Jpeg).size();
  EXPECT_LT(Coarse, Fine);
  Jpeg.SetCompressionQuality(500);
  EXPECT_EQ(Jpeg.CompressionQuality(), 100);

  // A loaded file keeps its bytes whatever the quality.
  TJPEGImage Loaded;
  const std::vector<uint8_t> Bytes = Saved(Jpeg);
  Load(Loaded, Bytes);
  Loaded.SetCompressionQuality(10);
  EXPECT_EQ(Saved(Loaded), Bytes);
}

TEST(JPEGImage, DecodesAtAScale) {
  struct TCase {
    const char* Name;
    TJPEGScale Scale;
    int Width, Height;
  };
  // Sides round up, as the codec's scaled output does.
  const TCase Cases[] = {{"full", jsFullSize, 33, 17},
                         {"half", jsHalf, 17, 9},
                         {"quarter", jsQuarter, 9, 5},
                         {"eighth", jsEighth, 5, 3}};
  auto Solid = MakeBitmap(33, 17, pf24bit, TColor(0x00204080));
  TJPEGImage Source;
  Source.Assign(Solid.get());
  const std::vector<uint8_t> Bytes = Saved(Source);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TJPEGImage Jpeg;
    Jpeg.SetScale(Case.Scale);
    Load(Jpeg, Bytes);
    EXPECT_EQ(Jpeg.Width(), Case.Width);
    EXPECT_EQ(Jpeg.Height(), Case.Height);
    Jpeg.DIBNeeded();
    ASSERT_NE(Jpeg.Bitmap(), nullptr);
    EXPECT_EQ(Jpeg.Bitmap()->Width(), Case.Width);
    const TColor C = PixelOf(*Jpeg.Bitmap(), Case.Width - 1, Case.Height - 1);
    EXPECT_NEAR(C & 0xFF, 0x80, 6);
    EXPECT_NEAR((C >> 8) & 0xFF, 0x40, 6);
    EXPECT_NEAR((C >> 16) & 0xFF, 0x20, 6);
  }
  // Changing the scale of a decoded picture decodes it again.
  TJPEGImage Jpeg;
  Load(Jpeg, Bytes);
  Jpeg.DIBNeeded();
  int Changes = 0;
  Jpeg.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Jpeg.SetScale(jsHalf);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Jpeg.Bitmap(), nullptr);
  EXPECT_EQ(Jpeg.Width(), 17);
}

TEST(JPEGImage, GrayscaleDecodesToEightBitGrey) {
  auto Red = MakeBitmap(16, 16, pf24bit, clRed);
  TJPEGImage Source;
  Source.Assign(Red.get());
  TJPEGImage Jpeg;
  Jpeg.SetGrayscale(true);
  Load(Jpeg, Saved(Source));
  TBitmap Grey;
  Grey.Assign(&Jpeg);
  EXPECT_EQ(Grey.PixelFormat(), pf8bit);
  const TColor C = PixelOf(Grey, 8, 8);
  EXPECT_EQ(C & 0xFF, (C >> 8) & 0xFF);
  EXPECT_EQ(C & 0xFF, (C >> 16) & 0xFF);
  EXPECT_NEAR(C & 0xFF, 76, 6);  // the luminance of pure red
}

TEST(JPEGImage, CodecFaultsRaiseJpegErrors) {
  TJPEGImage Jpeg;
  auto Ramp = MakeRamp(8, 8);
  Jpeg.Assign(Ramp.get());
  const std::vector<std::vector<uint8_t>> Faults = {
      {'B', 'M', 0, 0, 0, 0},  // not a JPEG at all
      {0xFF, 0xD8, 0xFF},      // a start marker and nothing else
  };
  for (const auto& Fault : Faults) {
    try {
      Load(Jpeg, Fault);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& Error) {
      EXPECT_STREQ(Error.ClassName(), "EJPEG");
      EXPECT_EQ(Error.Message().rfind("JPEG error #", 0), 0u) << Error.Message();
    }
    EXPECT_EQ(Jpeg.Width(), 8);  // the old picture stays
  }
  // Cut inside the entropy-coded data: the header reads, the pixels fail.
  auto Big = MakeRamp(64, 64);
  TJPEGImage Whole;
  Whole.Assign(Big.get());
  const std::vector<uint8_t> Long = Saved(Whole);
  std::vector<uint8_t> Cut(Long.begin(), Long.begin() + Long.size() * 3 / 4);
  TJPEGImage Truncated;
  Load(Truncated, Cut);
  EXPECT_THROW(Truncated.DIBNeeded(), EInvalidGraphic);
  EXPECT_THROW(Jpeg.SetWidth(3), EInvalidGraphicOperation);
  TMemoryStream Empty;
  EXPECT_THROW(Jpeg.LoadFromStream(Empty), EInvalidGraphic);
}

TEST(JPEGImage, AssignCopiesBytesAndOptions) {
  auto Ramp = MakeRamp(20, 10);
  TJPEGImage First;
  First.Assign(Ramp.get());
  First.SetCompressionQuality(40);
  First.SetScale(jsHalf);
  TJPEGImage Second;
  Second.Assign(&First);
  EXPECT_EQ(Second.CompressionQuality(), 40);
  EXPECT_EQ(Second.Scale(), jsHalf);
  EXPECT_EQ(Saved(Second), Saved(First));
  Second.Assign(nullptr);
  EXPECT_TRUE(Second.Empty());
  EXPECT_TRUE(Saved(Second).empty());
}
