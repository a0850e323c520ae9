// The colour dialog: what a session does with the colour, the channel texts and the custom
// colours; the component's custom colour entries on the way in and out; and the window on the
// headless screen, answered by clicks and keys (a basic colour, typed channels, a refused field,
// adding a custom colour, Escape). A picture of the open dialog is written for looking at.

#include "platform/forms/colordialog.h"

#include <gtest/gtest.h>

#include "platform/forms/buttons.h"
#include "platform/forms/edit.h"
#include "platform/user/input.h"
#include "tests/platform/forms/dialogs/dialogtest.h"

namespace FormsTest {
namespace {

TEST(ColorDialogSession, ChannelTextsAreWholeNumbersFrom0To255) {
  struct TCase {
    const char* Text;
    std::optional<uint8_t> Value;
  };
  const TCase Cases[] = {
      {"0", 0},
      {"255", 255},
      {" 128\t", 128},
      {"007", 7},
      {"256", std::nullopt},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {"1 2", std::nullopt},
      {"12a", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(ParseColorChannel(Case.Text), Case.Value);
  }
}

TEST(ColorDialogSession, TheColourCustomColoursAndTheFullPart) {
  std::array<TColor, TColorDialogSession::CustomColorCount> Custom{};
  Custom.fill(0xFFFFFF);
  Custom[1] = clBtnFace;  // a system colour shows as its value
  Custom[2] = clNone;     // no colour shows white
  TColorDialogSession Session(clRed, Custom, {});
  EXPECT_EQ(Session.Color(), 0x0000FF);
  EXPECT_GE(Session.SelectedBasic(), 0);  // red is a basic colour
  EXPECT_EQ(Session.CustomColors()[1], ColorToRGB(clBtnFace));
  EXPECT_EQ(Session.CustomColors()[2], 0xFFFFFF);
  // Channels: red, green, blue of the RGB value; a refused text changes nothing.
  EXPECT_TRUE(Session.SetChannelText(1, "128"));
  EXPECT_EQ(Session.Color(), 0x0080FF);
  EXPECT_EQ(Session.Channel(0), 255);
  EXPECT_EQ(Session.Channel(1), 128);
  EXPECT_FALSE(Session.SetChannelText(2, "300"));
  EXPECT_FALSE(Session.SetChannelText(3, "1"));
  EXPECT_EQ(Session.Color(), 0x0080FF);
  // Adding fills the custom slots in turn, from the chosen one, or the first when a basic colour
  // was chosen last.
  Session.AddToCustomColors();
  Session.SetColor(0x111111);
  Session.AddToCustomColors();
  EXPECT_EQ(Session.CustomColors()[0], 0x0080FF);
  EXPECT_EQ(Session.CustomColors()[1], 0x111111);
  Session.SelectBasic(0);
  const TColor FirstBasic = Session.Color();
  Session.AddToCustomColors();
  EXPECT_EQ(Session.CustomColors()[0], FirstBasic);
  Session.SelectCustom(15);
  Session.SetColor(0x010203);
  Session.AddToCustomColors();
  Session.AddToCustomColors();
  EXPECT_EQ(Session.CustomColors()[15], 0x010203);
  EXPECT_EQ(Session.CustomColors()[0], 0x010203);
  // The full part opens unless forbidden; a system colour or none starts as itself or black.
  EXPECT_FALSE(Session.FullOpen());
  Session.OpenFull();
  EXPECT_TRUE(Session.FullOpen());
  TColorDialogSession Prevented(clNone, Custom, {cdFullOpen, cdPreventFullOpen});
  EXPECT_EQ(Prevented.Color(), 0);
  EXPECT_FALSE(Prevented.FullOpen());
  Prevented.OpenFull();
  EXPECT_FALSE(Prevented.FullOpen());
  TColorDialogSession Full(clWindow, Custom, {cdFullOpen});
  EXPECT_TRUE(Full.FullOpen());
  EXPECT_EQ(Full.Color(), ColorToRGB(clWindow));
}

TEST(ColorDialogComponent, CustomColoursGoInAndComeOutAsEntries) {
  TColorDialog Dialog(nullptr);
  Dialog.SetColor(0x123456);
  Dialog.CustomColors()->Add("ColorA=00FF80");
  Dialog.CustomColors()->Add("ColorC= 0000FF ");
  Dialog.CustomColors()->Add("ColorD=not a colour");
  std::array<TColor, TColorDialogSession::CustomColorCount> Seen{};
  TColor Shown = 0;
  bool Confirm = true;
  const TColorDialogScript Previous = SetColorDialogScript([&](TColorDialogSession& Session) {
    Shown = Session.Color();
    Seen = Session.CustomColors();
    Session.SetColor(0xABCDEF);
    Session.AddToCustomColors();
    if (Confirm) Session.Accept();
  });
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Shown, 0x123456);
  EXPECT_EQ(Seen[0], 0x00FF80);
  EXPECT_EQ(Seen[1], 0xFFFFFF);
  EXPECT_EQ(Seen[2], 0x0000FF);
  EXPECT_EQ(Seen[3], 0xFFFFFF);
  EXPECT_EQ(Dialog.Color(), 0xABCDEF);
  ASSERT_EQ(Dialog.CustomColors()->Count(), 16);
  EXPECT_EQ(Dialog.CustomColors()->Get(0), "ColorA=ABCDEF");
  EXPECT_EQ(Dialog.CustomColors()->Get(15), "ColorP=FFFFFF");
  // Cancelled: the colour and the entries stay.
  Confirm = false;
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Dialog.Color(), 0xABCDEF);
  SetColorDialogScript(Previous);
}

class ColorDialogWindow : public TDialogTest {
 protected:
  template <class T>
  T* Named(const char* Name) {
    TCustomForm* Form = ActiveForm();
    return Form ? dynamic_cast<T*>(Form->FindComponent(Name)) : nullptr;
  }
  void Click(const char* Name, int X = -1, int Y = -1) {
    auto* Control = Named<TControl>(Name);
    ASSERT_NE(Control, nullptr) << Name;
    const POINT At =
        Control->ClientToScreen(POINT{X < 0 ? Control->Width() / 2 : X, Y < 0 ? Control->Height() / 2 : Y});
    InjectMouseMove(At.x, At.y);
    InjectMouseButton(VK_LBUTTON, true, At.x, At.y);
    InjectMouseButton(VK_LBUTTON, false, At.x, At.y);
  }
  void Type(const char* Name, const std::u32string& Text) {
    auto* Edit = Named<TEdit>(Name);
    ASSERT_NE(Edit, nullptr) << Name;
    Edit->SetFocus();
    Edit->SelectAll();
    InjectText(Text);
  }
  bool Run(TColorDialog& Dialog, std::vector<std::function<void()>> Steps) {
    TIdleScript Script(FClock.Get(), std::move(Steps), [this] {
      while (TCustomForm* Form = ActiveForm()) Form->SetModalResult(mrCancel);
    });
    return Dialog.Execute();
  }
};

TEST_F(ColorDialogWindow, ABasicColourThenTypedChannelsAndACustomColour) {
  TColorDialog Dialog(nullptr);
  Dialog.SetColor(clWhite);
  std::string Caption, Picture;
  bool DefineEnabled = false;
  const bool Chosen = Run(Dialog, {[&] {
                                     Caption = ActiveForm()->Caption();
                                     DefineEnabled = Named<TButton>("DefineButton")->Enabled();
                                   },
                                   [&] { Click("BasicColors", 5, 5); },  // the first basic colour
                                   [&] { Click("DefineButton"); }, [&] { Type("RedEdit", U"200"); },
                                   [&] { Type("GreenEdit", U"100"); }, [&] { Type("BlueEdit", U"50"); },
                                   [&] { Click("AddButton"); },
                                   [&] { Picture = SaveScreenshot(ActiveForm()->Handle(), "colour-dialog"); },
                                   [&] { Click("OkButton"); }});
  SCOPED_TRACE(Picture);
  EXPECT_EQ(Caption, "Color");
  EXPECT_TRUE(DefineEnabled);
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Dialog.Color(), TColor(50 << 16 | 100 << 8 | 200));
  EXPECT_EQ(Dialog.CustomColors()->Get(0), "ColorA=3264C8");
}

TEST_F(ColorDialogWindow, ARefusedFieldKeepsTheDialogOpenAndEscapeCancels) {
  TColorDialog Dialog(nullptr);
  Dialog.SetColor(clRed);
  Dialog.SetOptions({cdFullOpen});
  bool StillOpen = false;
  const bool Chosen = Run(
      Dialog, {[&] { Type("RedEdit", U"300"); }, [&] { Click("OkButton"); },
               [] { InjectKeyStroke(VK_RETURN); },  // the warning's OK
               [&] { StillOpen = Named<TEdit>("RedEdit") != nullptr; }, [] { InjectKeyStroke(VK_ESCAPE); }});
  EXPECT_TRUE(StillOpen);
  EXPECT_FALSE(Chosen);
  EXPECT_EQ(Dialog.Color(), clRed);
}

}  // namespace
}  // namespace FormsTest
