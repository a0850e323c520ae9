// The whole road of a picture: the test camera's frames composed with the stamps, a PNG
// watermark with its alpha and the live effects, saved every second into "My Pictures" as a
// prepared settings file asks. Copies of the pictures go to $KORCAM_TEST_IMAGES (or
// /tmp/korcam-app-images) to be looked at.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/forms/jpegimage.h"
#include "tests/app/picturetest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

using PicturePath = TPictureTest;

std::string ImageFolder() {
  const char* Env = std::getenv("KORCAM_TEST_IMAGES");
  std::string Folder = Env && *Env ? Env : "/tmp/korcam-app-images";
  std::filesystem::create_directories(Folder);
  return Folder + "/";
}

// The largest channel difference between a decoded pixel and a colour (JPEG is lossy).
int Distance(TBitmap& Picture, int X, int Y, uint32_t Rgb) {
  const uint32_t Pixel = RgbOf(Picture, X, Y);
  int Largest = 0;
  for (int Shift : {0, 8, 16})
    Largest = std::max(Largest, std::abs(int((Pixel >> Shift) & 0xFF) - int((Rgb >> Shift) & 0xFF)));
  return Largest;
}

TEST_F(PicturePath, TimedPicturesCarryStampsWatermarkAndEffects) {
  // A logo: an opaque orange disc with a soft edge on a clear ground, and a white bar.
  WritePngFile(Path("logo.png"), 64, 48, [](int X, int Y) -> uint32_t {
    if (Y >= 40 && X >= 4 && X < 60) return 0xFFFFFFFF;
    const double Distance = std::hypot(X - 32.0, Y - 20.0);
    const double Alpha = std::clamp((18.0 - Distance) / 4.0, 0.0, 1.0);
    return uint32_t(std::lround(Alpha * 255)) << 24 | 0xFF8000;
  });
  WriteText("korcam.ini",
            "[Options]\r\nEnable Picture=True\r\nPicture Value=1\r\nPicture Period=seconds\r\n"
            "Play  capture sound=False\r\nEnable picture stamp=True\r\nPicture file=" +
                Path("logo.png") +
                "\r\nPicture horisontal placement=240\r\nPicture vertical placement=170\r\n"
                "Enable Image Effects=True\r\nImage Effects Contrast=True\r\nContrast Value=40\r\n");
  Start();
  ASSERT_TRUE(FormGhost->FWatermarkHasAlpha);
  ASSERT_TRUE(FormGhost->FConnected) << "the test camera";
  Advance(3500, 20);
  for (const char* Name : {"kv0001.jpg", "kv0002.jpg", "kv0003.jpg"}) {
    ASSERT_TRUE(Exists(std::string("My Pictures/") + Name)) << Name;
  }

  TJPEGImage Jpeg;
  Jpeg.LoadFromFile(Path("My Pictures/kv0001.jpg"));
  TBitmap Picture;
  Picture.Assign(&Jpeg);
  Picture.SetPixelFormat(pf24bit);
  EXPECT_EQ(Picture.Width(), FormGhost->ImageMain->WorkBitmap()->Width());
  EXPECT_EQ(Picture.Height(), FormGhost->ImageMain->WorkBitmap()->Height());
  std::filesystem::copy_file(Path("My Pictures/kv0001.jpg"), ImageFolder() + "timed_picture.jpg",
                             std::filesystem::copy_options::overwrite_existing);
  SavePng(Picture, "timed_picture", 2);
  // The watermark sits where it was placed: the disc's middle orange, the bar white (the
  // contrast effect leaves such saturated colours nearly as they are).
  if (Picture.Width() == 320 && Picture.Height() == 240) {
    EXPECT_LT(Distance(Picture, 240 + 32, 170 + 20, 0xFF8000), 40);
    EXPECT_LT(Distance(Picture, 240 + 30, 170 + 43, 0xFFFFFF), 40);
  }
}

}  // namespace
