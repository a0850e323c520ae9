#pragma once
// The image control tests' fixture: a manual clock, a fixed screen, a fresh application and a
// borderless form to put controls on, a clipboard of the test's own, the pixels of what a window
// shows, bitmaps with known pixels and PNG dumps to look at.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/form.h"
#include "platform/rtl/clock.h"

class TClipboard;

class TImagerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Handles every queued message (painting among them) as the program's loop does.
  void Pump() { Application->ProcessMessages(); }

  TScopedManualClock FClock;
  TForm* Form = nullptr;

 private:
  TApplication* FSavedApplication = nullptr;
  TClipboard* FSavedClipboard = nullptr;
};

// The colour (0xRRGGBB) a window shows at a client point, read from its top-level's store.
uint32_t ScreenColor(TWinControl* Control, int X, int Y);
// The colour (0xRRGGBB) of a pixel of a bitmap.
uint32_t BitmapColor(TBitmap& Bitmap, int X, int Y);
// A 24-bit bitmap whose pixel (x, y) is Pattern(x, y) as 0xRRGGBB.
template <class TPattern>
std::unique_ptr<TBitmap> MakePatternBitmap(int Width, int Height, TPattern Pattern) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(Width, Height);
  for (int y = 0; y < Height; ++y) {
    auto* row = static_cast<uint8_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < Width; ++x) {
      const uint32_t color = Pattern(x, y);
      row[3 * x] = uint8_t(color);
      row[3 * x + 1] = uint8_t(color >> 8);
      row[3 * x + 2] = uint8_t(color >> 16);
    }
  }
  return bitmap;
}
// Writes what the form shows as a PNG under $KORCAM_TEST_IMAGES (or /tmp/korcam-imager-images),
// each pixel Scale x Scale, and answers the path.
std::string SaveFormPng(TForm* Form, const std::string& Name, int Scale = 1);
