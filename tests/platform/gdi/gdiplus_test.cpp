#include "platform/gdi/gdiplus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gdi/imagefile/imagefile.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

namespace fs = std::filesystem;

// A started library and a scratch folder for picture files, both undone afterwards.
class TGdiplus : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder =
        ::testing::TempDir() + "gdiplus_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    GdiplusStartupInput Input;
    ASSERT_EQ(GdiplusStartup(&Token, &Input, nullptr), Ok);
  }
  void TearDown() override {
    GdiplusShutdown(Token);
    fs::remove_all(Folder);
  }

  // A 3 x 2 PNG with straight alpha: top row opaque red, half-transparent green, clear blue;
  // bottom row white at alpha 255, 128 and 0.
  std::string WriteAlphaPng() {
    TBgraImage Image;
    Image.Resize(3, 2);
    const uint32_t Argb[6] = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF, 0x80FFFFFF, 0x00FFFFFF};
    for (int Index = 0; Index < 6; ++Index) {
      uint8_t* Pixel = Image.Pixels.data() + Index * 4;
      Pixel[0] = uint8_t(Argb[Index]);
      Pixel[1] = uint8_t(Argb[Index] >> 8);
      Pixel[2] = uint8_t(Argb[Index] >> 16);
      Pixel[3] = uint8_t(Argb[Index] >> 24);
    }
    Image.HasAlpha = true;
    const std::string Path = Folder + "/mark.png";
    SavePngFile(Path, Image.View());
    return Path;
  }

  ULONG_PTR Token = 0;
  std::string Folder;
};

TEST_F(TGdiplus, ReadsAPictureWithItsStraightAlpha) {
  GpBitmap* Bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromFile(WriteAlphaPng().c_str(), &Bitmap), Ok);
  UINT Width = 0, Height = 0, Flags = 0;
  EXPECT_EQ(GdipGetImageWidth(AsImage(Bitmap), &Width), Ok);
  EXPECT_EQ(GdipGetImageHeight(AsImage(Bitmap), &Height), Ok);
  EXPECT_EQ(GdipGetImageFlags(AsImage(Bitmap), &Flags), Ok);
  EXPECT_EQ(Width, 3u);
  EXPECT_EQ(Height, 2u);
  EXPECT_EQ(Flags & ImageFlagsHasAlpha, ImageFlagsHasAlpha);
  ARGB Color = 0;
  EXPECT_EQ(GdipBitmapGetPixel(Bitmap, 1, 0, &Color), Ok);
  EXPECT_EQ(Color, 0x8000FF00u) << "colours are not premultiplied";
  EXPECT_EQ(GdipBitmapGetPixel(Bitmap, 2, 1, &Color), Ok);
  EXPECT_EQ(Color, 0x00FFFFFFu);
  EXPECT_EQ(GdipBitmapGetPixel(Bitmap, 3, 0, &Color), InvalidParameter) << "outside the picture";
  EXPECT_EQ(GdipBitmapGetPixel(Bitmap, 0, -1, &Color), InvalidParameter);
  EXPECT_EQ(GdipDisposeImage(AsImage(Bitmap)), Ok);
}

TEST_F(TGdiplus, DrawsSourceOverWhatTheContextHolds) {
  GpBitmap* Bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromFile(WriteAlphaPng().c_str(), &Bitmap), Ok);
  // A 24-bit target as the program's bitmaps are, one pixel wider and higher than the picture.
  TTestBitmap Target(4, 3, 24);
  Target.Fill(RGB(10, 20, 30));
  GpGraphics* Graphics = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(Target.DC(), &Graphics), Ok);
  ASSERT_EQ(GdipGraphicsClear(Graphics, 0xFF000000), Ok);
  EXPECT_EQ(Target.Pixel(3, 2), RGB(0, 0, 0)) << "clearing covers the whole surface";
  ASSERT_EQ(GdipDrawImageI(Graphics, AsImage(Bitmap), 1, 1), Ok);
  EXPECT_EQ(GdipDeleteGraphics(Graphics), Ok);
  EXPECT_EQ(GdipDisposeImage(AsImage(Bitmap)), Ok);
  // Over black, each colour comes out multiplied by its alpha.
  EXPECT_EQ(Target.Pixel(0, 0), RGB(0, 0, 0)) << "left of and above the image: untouched";
  EXPECT_EQ(Target.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(Target.Pixel(2, 1), RGB(0, 128, 0));
  EXPECT_EQ(Target.Pixel(3, 1), RGB(0, 0, 0)) << "a clear pixel leaves the black";
  EXPECT_EQ(Target.Pixel(1, 2), RGB(255, 255, 255));
  EXPECT_EQ(Target.Pixel(2, 2), RGB(128, 128, 128));
}

TEST_F(TGdiplus, AnswersStatusesForWhatItCannotDo) {
  struct TCase {
    const char* Name;
    std::string File;
    GpStatus Expected;
  };
  const std::string Garbage = Folder + "/garbage.png";
  const uint8_t Bytes[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6};
  WriteFileBytes(Garbage, Bytes);
  const TCase Cases[] = {
      {"missing file", Folder + "/none.png", FileNotFound},
      {"a folder", Folder, FileNotFound},
      {"damaged picture", Garbage, UnknownImageFormat},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    GpBitmap* Bitmap = reinterpret_cast<GpBitmap*>(this);
    EXPECT_EQ(GdipCreateBitmapFromFile(Case.File.c_str(), &Bitmap), Case.Expected);
    EXPECT_EQ(Bitmap, nullptr);
  }
  GpBitmap* Bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromFile(nullptr, &Bitmap), InvalidParameter);
  GdiplusStartupInput Version2;
  Version2.GdiplusVersion = 2;
  ULONG_PTR Other = 0;
  EXPECT_EQ(GdiplusStartup(&Other, &Version2, nullptr), UnsupportedGdiplusVersion);
}

TEST(GdiplusStartup, CallsNeedAStartUpThatIsNotShutDown) {
  GpBitmap* Bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromFile("/nowhere.png", &Bitmap), GdiplusNotInitialized);
  GdiplusStartupInput Input;
  ULONG_PTR First = 0, Second = 0;
  ASSERT_EQ(GdiplusStartup(&First, &Input, nullptr), Ok);
  ASSERT_EQ(GdiplusStartup(&Second, &Input, nullptr), Ok);
  EXPECT_NE(First, Second);
  GdiplusShutdown(Second);
  EXPECT_EQ(GdipCreateBitmapFromFile("/nowhere.png", &Bitmap), FileNotFound) << "one start-up is still open";
  GdiplusShutdown(First);
  EXPECT_EQ(GdipCreateBitmapFromFile("/nowhere.png", &Bitmap), GdiplusNotInitialized);
}

}  // namespace
