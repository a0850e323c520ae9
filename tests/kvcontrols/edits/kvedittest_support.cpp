#include "platform/forms/bitmap.h"
#include "platform/user/user.h"
#include "tests/kvcontrols/edits/kvedittest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {

void TKvEditTest::SetUp() {
  TFormsTest::SetUp();
  Form = NewForm<TForm>(nullptr);
  Form->SetBounds(0, 0, 300, 140);
  Parking = new TEdit(Form);
  Parking->SetBounds(200, 100, 60, 24);
  Parking->SetParent(Form);
}

void TKvEditTest::Park() {
  Pump();
  Parking->SetFocus();
  Pump();
}

void TKvEditTest::TearDown() {
  Form->Free();
  TFormsTest::TearDown();
}

void TKvEditTest::Type(const std::u32string& Text) {
  InjectText(Text);
  Pump();
}

void TKvEditTest::Key(int VirtualKey, bool Ctrl, bool Shift) {
  if (Ctrl) InjectKey(VK_CONTROL, true);
  if (Shift) InjectKey(VK_SHIFT, true);
  InjectKeyStroke(VirtualKey);
  if (Shift) InjectKey(VK_SHIFT, false);
  if (Ctrl) InjectKey(VK_CONTROL, false);
  Pump();
}

namespace {

bool IsInk(TColor Color) {
  const int R = Color & 0xFF, G = (Color >> 8) & 0xFF, B = (Color >> 16) & 0xFF;
  return R + G + B < 3 * 110;
}

int InkEdge(TWinControl* Control, bool FromLeft) {
  const int Width = Control->ClientWidth(), Height = Control->ClientHeight();
  // The frame rows and columns are left out: only the text counts.
  for (int Step = 2; Step < Width - 2; ++Step) {
    const int X = FromLeft ? Step : Width - 1 - Step;
    for (int Y = 2; Y < Height - 2; ++Y)
      if (IsInk(PixelAt(Control, X, Y))) return X;
  }
  return -1;
}

}  // namespace

int InkLeft(TWinControl* Control) {
  return InkEdge(Control, true);
}

std::string SaveClientPng(TWinControl* Control, const std::string& Name, int Scale) {
  TBitmap Bitmap;
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(Control->ClientWidth(), Control->ClientHeight());
  for (int Y = 0; Y < Control->ClientHeight(); ++Y)
    for (int X = 0; X < Control->ClientWidth(); ++X) Bitmap.Canvas()->SetPixels(X, Y, PixelAt(Control, X, Y));
  return SavePng(Bitmap, Name, Scale);
}
int InkRight(TWinControl* Control) {
  return InkEdge(Control, false);
}

}  // namespace FormsTest
