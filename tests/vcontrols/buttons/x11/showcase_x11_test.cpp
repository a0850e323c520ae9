// The buttons' test form on a real X server: the server shows exactly what the headless back end
// rendered, and the same clicks and keys, sent as X events from another connection, give the
// same clicks, selection and focus. The pictures are kept to be looked at.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/forms/application.h"
#include "platform/user/user.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/vcontrols/buttons/showcase.h"

// Xlib last: its macros (Below, GrayScale...) would meet the library's names.
#include "tests/platform/backends/x11/x11fixture.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

// Runs the program's own loop (with its key pre-pass, which turns Enter and Escape into dialog
// keys) until Done holds or Milliseconds pass.
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

KeySym SymbolOf(int VirtualKey) {
  switch (VirtualKey) {
    case VK_ESCAPE:
      return XK_Escape;
    case VK_RETURN:
      return XK_Return;
    case VK_SPACE:
      return XK_space;
    default:
      return KeySym(XK_a + (VirtualKey - 'A'));
  }
}

class X11Showcase : public TX11BackendTest {
 protected:
  ::Window ShowOnServer(TForm* Form) {
    Form->Show();
    ::Window Id = WaitForXWindow(Form->Handle());
    if (!Id) return 0;
    XSetInputFocus(Other->Get(), Id, RevertToParent, CurrentTime);
    XSync(Other->Get(), False);
    LoopUntil([&] { return GetActiveWindow() == Form->Handle(); });
    return Id;
  }
  // Waits until the X server shows Expected in the window; keeps both pictures (and their
  // difference) under Name.
  bool ShowsExactly(::Window Id, const TScreenImage& Expected, const std::string& Name) {
    // Reading the window back takes longer than a timer tick: the loop gets time of its own
    // between two readings, so it also waits (and the back end reads and presents).
    TScreenImage Shown{Expected.Width, Expected.Height, {}};
    bool Same = false;
    const auto Start = std::chrono::steady_clock::now();
    while (!Same && std::chrono::steady_clock::now() - Start < std::chrono::seconds(5)) {
      LoopUntil([] { return false; }, 50);
      Shown.Pixels = Other->Pixels(Id, Shown.Width, Shown.Height);
      Same = Shown.Pixels == Expected.Pixels;
    }
    const std::string Folder = PictureFolder();
    SaveScreenImagePng(Shown, Folder + "/" + Name + "-x11.png");
    SaveScreenImagePng(Expected, Folder + "/" + Name + "-headless.png");
    if (!Same && Shown.Pixels.size() == Expected.Pixels.size()) {
      TScreenImage Difference = Shown;
      int Count = 0;
      for (size_t Index = 0; Index < Shown.Pixels.size(); ++Index) {
        const bool Differs = Shown.Pixels[Index] != Expected.Pixels[Index];
        Count += Differs;
        Difference.Pixels[Index] = Differs ? 0xFF0000 : 0x404040;
      }
      SaveScreenImagePng(Difference, Folder + "/" + Name + "-difference.png");
      ADD_FAILURE() << Count << " pixels differ; see " << Folder;
    }
    return Same;
  }
};

TEST_F(X11Showcase, TheServerShowsTheFormAndItAnswersClicksAndKeys) {
  // The headless run goes first, with the X11 back end stopped, so that it is all its own.
  StopX11Backend();
  const TShowcaseRun Headless = RunShowcaseHeadless();
  ASSERT_EQ(Headless.Clicks, ShowcaseClicks);
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));

  TVcShowcaseHolder Form = MakeShowcaseForm();
  const ::Window Id = ShowOnServer(Form.get());
  ASSERT_NE(Id, 0u);
  ASSERT_EQ(Form->ClientWidth(), Headless.Before.Width);
  ASSERT_EQ(Form->ClientHeight(), Headless.Before.Height);
  EXPECT_TRUE(ShowsExactly(Id, Headless.Before, "showcase"));
  {
    // The whole screen as the server shows it, to be looked at.
    TScreenImage Screen{1024, 768, Other->Pixels(Other->Root(), 1024, 768)};
    SaveScreenImagePng(Screen, PictureFolder() + "/showcase-screen.png");
  }

  for (size_t Index = 0; Index < ShowcaseStepCount; ++Index) {
    const TShowcaseStep& Step = ShowcaseSteps[Index];
    SCOPED_TRACE(Step.Name);
    const size_t Before = Form->Clicks.size();
    if (Step.Control) {
      const POINT At = ShowcaseClickPoint(Form.get(), Step);
      Other->SendButton(Id, Button1, true, At.x, At.y);
      Other->SendButton(Id, Button1, false, At.x, At.y, Button1Mask);
    } else {
      const unsigned Modifier = Step.Alt ? Mod1Mask : 0;
      if (Step.Alt) Other->SendKey(Id, XK_Alt_L, true);
      Other->SendKey(Id, SymbolOf(Step.VirtualKey), true, Modifier);
      Other->SendKey(Id, SymbolOf(Step.VirtualKey), false, Modifier);
      if (Step.Alt) Other->SendKey(Id, XK_Alt_L, false, Modifier);
    }
    // Each step is done when its click (if it gives one) has arrived and the queue is empty.
    LoopUntil([&] { return Form->Clicks.size() > Before; }, 300);
  }
  EXPECT_EQ(Form->Clicks, ShowcaseClicks);
  EXPECT_EQ(Form->SelectionChanges, Headless.SelectionChanges);
  TWinControl* Focused = TWinControl::FindControl(GetFocus());
  EXPECT_EQ(Focused ? Focused->Name() : std::string(), Headless.FocusedName);
  // The pointer leaves the window: nothing shows a hot look, as in the headless picture.
  Other->SendCrossing(Id, false, -10, -10);
  EXPECT_TRUE(ShowsExactly(Id, Headless.After, "showcase-after"));
}

}  // namespace
