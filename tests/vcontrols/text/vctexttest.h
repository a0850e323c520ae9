#pragma once
// Shared by the caption, label and button tests: the control-test fixture with a borderless
// white form to put controls on, the colours a window shows, bitmaps to draw captions on, and PNG
// dumps to look at (under $KORCAM_TEST_IMAGES, else /tmp/korcam-vc-images).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/bitmap.h"
#include "platform/forms/form.h"
#include "tests/platform/forms/controltest.h"

namespace VcTest {

class TVcFormTest : public FormsTest::TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  TForm* Form = nullptr;
};

// The colour (0xRRGGBB) a window shows at a client point, read from its top-level's store.
uint32_t ScreenColor(TWinControl* Control, int X, int Y);
// The colour (0xRRGGBB) of a bitmap's pixel.
uint32_t BitmapColor(TBitmap& Bitmap, int X, int Y);
// A white 24-bit bitmap.
std::unique_ptr<TBitmap> WhiteBitmap(int Width, int Height);
// Pixels of a bitmap (or of a form's client area) for which Test holds, and their bounds.
struct TPixelCount {
  int Count = 0;
  RECT Bounds{0, 0, 0, 0};
};
TPixelCount CountPixels(TBitmap& Bitmap, const std::function<bool(uint32_t)>& Test);
TPixelCount CountFormPixels(TWinControl* Control, const RECT& Area, const std::function<bool(uint32_t)>& Test);
// PNG dumps, each pixel Scale x Scale; they answer the path.
std::string SaveBitmapPng(TBitmap& Bitmap, const std::string& Name, int Scale = 1);
std::string SaveFormPng(TForm* Form, const std::string& Name, int Scale = 1);

}  // namespace VcTest
