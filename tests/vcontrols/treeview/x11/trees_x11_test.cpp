// The trees' test form on a real X server: the server shows exactly what the headless back end
// rendered, and the same clicks and keys, sent as X events from another connection, check a node,
// move the tree's selection, and choose a place and a font in the combos' drop-downs (windows of
// their own on the server), leaving the same nodes, texts and changes. The pictures are kept to be
// looked at.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/forms/application.h"
#include "platform/user/user.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/vcontrols/treeview/treeform.h"

// Xlib last: its macros (Below, GrayScale...) would meet the library's names.
#include <X11/keysym.h>

#include "tests/platform/backends/x11/x11fixture.h"

using namespace X11Test;

namespace {

KeySym SymbolOf(int VirtualKey) {
  switch (VirtualKey) {
    case VK_UP:
      return XK_Up;
    case VK_DOWN:
      return XK_Down;
    case VK_RETURN:
      return XK_Return;
    default:
      return XK_space;
  }
}

class X11Trees : public TX11BackendTest {
 protected:
  ::Window ShowOnServer(TForm* Form) {
    Form->Show();
    ::Window Id = WaitForXWindow(Form->Handle());
    if (!Id) return 0;
    XSetInputFocus(Other->Get(), Id, RevertToParent, CurrentTime);
    XSync(Other->Get(), False);
    PumpUntil([&] { return GetActiveWindow() == Form->Handle(); });
    return Id;
  }
  // Waits until the X server shows Expected in the window; keeps both pictures (and their
  // difference) under Name.
  bool ShowsExactly(::Window Id, const TScreenImage& Expected, const std::string& Name) {
    TScreenImage Shown{Expected.Width, Expected.Height, {}};
    bool Same = false;
    const auto Start = std::chrono::steady_clock::now();
    while (!Same && std::chrono::steady_clock::now() - Start < std::chrono::seconds(5)) {
      PumpFor(50);
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

TEST_F(X11Trees, TheServerShowsTheFormAndTheTreesAnswerClicksAndKeys) {
  // The headless run goes first, with the X11 back end stopped, so that it is all its own.
  StopX11Backend();
  const TTreeRun Headless = RunTreesHeadless();
  ASSERT_EQ(Headless.Selected, "Medium");
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));

  TVcTreesHolder Form = MakeTreesForm();
  const ::Window Id = ShowOnServer(Form.get());
  ASSERT_NE(Id, 0u);
  ASSERT_EQ(Form->ClientWidth(), Headless.Before.Width);
  EXPECT_TRUE(ShowsExactly(Id, Headless.Before, "trees"));

  for (size_t Index = 0; Index < TreeStepCount; ++Index) {
    const TTreeStep& Step = TreeSteps[Index];
    SCOPED_TRACE(Step.Name);
    if (Step.Control) {
      const POINT At = TreeClickPoint(Form.get(), Step);
      Other->SendButton(Id, Button1, true, At.x, At.y);
      Other->SendButton(Id, Button1, false, At.x, At.y, Button1Mask);
    } else {
      Other->SendKey(Id, SymbolOf(Step.VirtualKey), true);
      Other->SendKey(Id, SymbolOf(Step.VirtualKey), false);
    }
    // A click on a combo's button opens its drop-down once the posted message arrives: the
    // pop-up panel is a window of its own, mapped on the server.
    auto* Combo = Step.Control ? Form->Find<TvcCustomTreeCombo>(Step.Control) : nullptr;
    if (Combo) {
      ASSERT_TRUE(PumpUntil([&] { return Combo->GetDroppedDown(); }));
      EXPECT_NE(WaitForXWindow(Combo->PopupPanel()->Handle()), 0u);
      if (std::string(Step.Control) == "Fonts") {
        PumpFor(200);
        TScreenImage Screen{1024, 768, Other->Pixels(Other->Root(), 1024, 768)};
        SaveScreenImagePng(Screen, PictureFolder() + "/trees-fonts-open-screen.png");
      }
    } else {
      PumpFor(150);
    }
  }
  auto* Tree = Form->Find<TvcTreeView>("Tree");
  EXPECT_EQ(Tree->Selected() ? Tree->Selected()->Text() : std::string(), Headless.Selected);
  EXPECT_EQ(Tree->Items()->FindNode("Show buttons", false)->Checked(), Headless.ShowButtonsChecked);
  EXPECT_EQ(Form->Find<TvcCustomTreeCombo>("Places")->Text(), Headless.Place);
  EXPECT_EQ(Form->Find<TvcFontCombo>("Fonts")->SelectedFont(), Headless.Font);
  EXPECT_FALSE(Form->Find<TvcFontCombo>("Fonts")->GetDroppedDown());
  EXPECT_EQ(Form->Changes, Headless.Changes);
  // The pointer leaves the window: nothing shows a hot look, as in the headless picture.
  Other->SendCrossing(Id, false, -10, -10);
  EXPECT_TRUE(ShowsExactly(Id, Headless.After, "trees-after"));
}

}  // namespace
