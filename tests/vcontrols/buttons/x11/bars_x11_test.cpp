// The bars' test form on a real X server: the server shows exactly what the headless back end
// rendered, and the same clicks and key, sent as X events from another connection, switch the
// title button and the outlook page (with its slide on the real clock), click the list item and
// the status panel, and turn the Caps Lock panel on. The pictures are kept to be looked at.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/forms/application.h"
#include "platform/user/user.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/vcontrols/statusbar/bars.h"

// Xlib last: its macros (Below, GrayScale...) would meet the library's names.
#include "tests/platform/backends/x11/x11fixture.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

// Runs the program's own loop until Done holds or Milliseconds pass.
bool LoopUntil(const std::function<bool()>& Done, unsigned Milliseconds = 5000) {
  UINT_PTR Timer = SetTimer(nullptr, 0, 10, nullptr);
  const auto Start = std::chrono::steady_clock::now();
  bool Result = Done();
  while (!Result && std::chrono::steady_clock::now() - Start < std::chrono::milliseconds(Milliseconds)) {
    Application->HandleMessage();
    Result = Done();
  }
  KillTimer(nullptr, Timer);
  return Result;
}

class X11Bars : public TX11BackendTest {
 protected:
  // Waits until the server shows Expected in the window; keeps both pictures under Name.
  bool ShowsExactly(::Window Id, const TScreenImage& Expected, const std::string& Name) {
    TScreenImage Shown{Expected.Width, Expected.Height, {}};
    bool Same = false;
    const auto Start = std::chrono::steady_clock::now();
    while (!Same && std::chrono::steady_clock::now() - Start < std::chrono::seconds(5)) {
      LoopUntil([] { return false; }, 50);
      Shown.Pixels = Other->Pixels(Id, Shown.Width, Shown.Height);
      Same = Shown.Pixels == Expected.Pixels;
    }
    SaveScreenImagePng(Shown, PictureFolder() + "/" + Name + "-x11.png");
    SaveScreenImagePng(Expected, PictureFolder() + "/" + Name + "-headless.png");
    if (!Same) {
      int Count = 0;
      for (size_t Index = 0; Index < Shown.Pixels.size() && Index < Expected.Pixels.size(); ++Index)
        Count += Shown.Pixels[Index] != Expected.Pixels[Index];
      ADD_FAILURE() << Count << " pixels differ; see " << PictureFolder();
    }
    return Same;
  }
};

TEST_F(X11Bars, TheServerShowsTheFormAndItAnswersClicksAndKeys) {
  // The headless run goes first, with the X11 back end stopped, so that it is all its own.
  StopX11Backend();
  const TBarsRun Headless = RunBarsHeadless();
  ASSERT_EQ(Headless.Events, BarsEvents);
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);

  TVcBarsHolder Form = MakeBarsForm();
  Form->Show();
  const ::Window Id = WaitForXWindow(Form->Handle());
  ASSERT_NE(Id, 0u);
  XSetInputFocus(Other->Get(), Id, RevertToParent, CurrentTime);
  XSync(Other->Get(), False);
  LoopUntil([&] { return GetActiveWindow() == Form->Handle(); });
  ASSERT_EQ(Form->ClientWidth(), Headless.Before.Width);
  EXPECT_TRUE(ShowsExactly(Id, Headless.Before, "bars"));

  for (size_t Index = 0; Index < BarsStepCount; ++Index) {
    const TBarsStep& Step = BarsSteps[Index];
    SCOPED_TRACE(Step.Name);
    const size_t Before = Form->Events.size();
    if (Step.Control) {
      const POINT At = BarsClickPoint(Form.get(), Step);
      Other->SendButton(Id, Button1, true, At.x, At.y);
      Other->SendButton(Id, Button1, false, At.x, At.y, Button1Mask);
      LoopUntil([&] { return Form->Events.size() > Before; }, 2000);
    } else {
      Other->SendKey(Id, XK_Caps_Lock, true);
      Other->SendKey(Id, XK_Caps_Lock, false, LockMask);
      LoopUntil([] { return (GetKeyState(VK_CAPITAL) & 1) != 0; }, 2000);
    }
  }
  EXPECT_EQ(Form->Events, BarsEvents);
  EXPECT_TRUE(GetKeyState(VK_CAPITAL) & 1);
  EXPECT_TRUE(ShowsExactly(Id, Headless.After, "bars-after"));
  SetKeyboardState(Keys);
}

}  // namespace
