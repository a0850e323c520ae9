#include "tests/platform/forms/widgets/widgettest.h"

#include <gtest/gtest.h>

#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {

POINT ScreenPointOf(TControl* Control, int X, int Y) {
  return Control->ClientToScreen(POINT{X, Y});
}

void PressAt(TControl* Control, int X, int Y) {
  const POINT P = ScreenPointOf(Control, X, Y);
  InjectMouseMove(P.x, P.y);
  InjectMouseButton(VK_LBUTTON, true, P.x, P.y);
}

void ReleaseAt(TControl* Control, int X, int Y) {
  const POINT P = ScreenPointOf(Control, X, Y);
  InjectMouseMove(P.x, P.y);
  InjectMouseButton(VK_LBUTTON, false, P.x, P.y);
}

void ClickAt(TControl* Control, int X, int Y) {
  PressAt(Control, X, Y);
  ReleaseAt(Control, X, Y);
}

void MoveTo(TControl* Control, int X, int Y) {
  const POINT P = ScreenPointOf(Control, X, Y);
  InjectMouseMove(P.x, P.y);
}

TIdleScript::TIdleScript(TManualClock& Clock, std::vector<std::function<void()>> Steps, std::function<void()> Escape,
                         int Patience)
    : FClock(Clock), FSteps(std::move(Steps)), FEscape(std::move(Escape)), FPatience(Patience) {
  Application->OnIdle = TIdleEvent([this](TObject*, bool& Done) {
    Done = false;
    if (FNext < FSteps.size()) {
      // Steps may run nested loops of their own; take the step off first.
      auto Step = FSteps[FNext++];
      Step();
      return;
    }
    FClock.Advance(50);
    if (--FPatience == 0 && FEscape) {
      FEscaped = true;
      ADD_FAILURE() << "the modal loop did not end after its script";
      FEscape();
    }
  });
}

TIdleScript::~TIdleScript() {
  Application->OnIdle = TIdleEvent();
}

std::string SaveWindowPng(TWinControl* Control, const std::string& Name, int Scale) {
  HWND Window = Control->Handle();
  HWND Top = GetAncestor(Window, GA_ROOT);
  RECT Frame{}, TopFrame{};
  GetWindowRect(Window, &Frame);
  GetWindowRect(Top, &TopFrame);
  TPixelSurface Surface = GetWindowSurface(Top);
  const int Width = Frame.right - Frame.left, Height = Frame.bottom - Frame.top;
  TBitmap Bitmap;
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(Width, Height);
  TCanvas* C = Bitmap.Canvas();
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const int SX = Frame.left - TopFrame.left + X, SY = Frame.top - TopFrame.top + Y;
      if (!Surface.IsValid() || SX < 0 || SY < 0 || SX >= Surface.Width || SY >= Surface.Height) continue;
      const uint8_t* Pixel = Surface.Row(SY) + SX * 4;
      C->SetPixels(X, Y, TColor(RGB(Pixel[2], Pixel[1], Pixel[0])));
    }
  return SavePng(Bitmap, Name, Scale);
}

}  // namespace FormsTest
