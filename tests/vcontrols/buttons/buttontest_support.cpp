#include "tests/vcontrols/buttons/buttontest.h"

#include "platform/user/user.h"

namespace VcTest {

TvcShapeBtn* TButtonTest::AddButton(const std::string& Name, RECT Bounds) {
  auto* Button = new TvcShapeBtn(Form);
  Button->SetName(Name);
  Button->SetParent(Form);
  Button->SetBoundsRect(Bounds);
  return Button;
}

TvcImageBtn* TButtonTest::AddImageButton(const std::string& Name, RECT Bounds) {
  auto* Button = new TvcImageBtn(Form);
  Button->SetName(Name);
  Button->SetParent(Form);
  Button->SetBoundsRect(Bounds);
  return Button;
}

void TButtonTest::MouseDown(TControl* Control, int X, int Y) {
  const POINT At = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(At.x, At.y);
  Pump();
  InjectMouseButton(VK_LBUTTON, true, At.x, At.y);
  Pump();
}

void TButtonTest::MouseMove(TControl* Control, int X, int Y) {
  const POINT At = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(At.x, At.y);
  Pump();
}

void TButtonTest::MouseUp(TControl* Control, int X, int Y) {
  const POINT At = Control->ClientToScreen(POINT{X, Y});
  InjectMouseButton(VK_LBUTTON, false, At.x, At.y);
  Pump();
}

void TButtonTest::Click(TControl* Control, int X, int Y) {
  MouseDown(Control, X, Y);
  MouseUp(Control, X, Y);
}

TRegion WindowRegion(TWinControl* Control) {
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  TRegion Result;
  if (GetWindowRgn(Control->Handle(), Region) != ERROR) Result = *GdiGetRegion(Region);
  DeleteObject(Region);
  return Result;
}

bool HasWindowRegion(TWinControl* Control) {
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  const bool Has = GetWindowRgn(Control->Handle(), Region) != ERROR;
  DeleteObject(Region);
  return Has;
}

uint32_t Rgb(TColor Color) {
  const TColor Value = ColorToRGB(Color);
  return uint32_t(Value & 0xFF) << 16 | uint32_t(Value & 0xFF00) | uint32_t(Value >> 16 & 0xFF);
}

uint32_t PictureColor(TvcBitmap& Picture, int X, int Y) {
  const uint8_t* Pixel = Picture.RowStart(Y) + 3 * X;
  return uint32_t(Pixel[2]) << 16 | uint32_t(Pixel[1]) << 8 | Pixel[0];
}

}  // namespace VcTest
