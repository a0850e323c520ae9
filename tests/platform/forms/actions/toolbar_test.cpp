// The action tool bar: its layout (margins, glyph, caption and separator widths, the height the
// window layout reads), buttons that follow their actions' visibility and images, the drop-down
// menu of an entry with items, the keyboard while the bar has the focus, and a picture of it.

#include "platform/forms/actiontoolbar.h"

#include <gtest/gtest.h>

#include "platform/forms/actionmanager.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/menus.h"
#include "platform/gdi/text.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class ToolBarTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 420, 160);
    Images = new TImageList(Form);
    // Three 16 x 16 glyphs: a red disc, a green square, a blue bar.
    const TColor Colors[] = {clRed, clGreen, clBlue};
    for (int Index = 0; Index < 3; ++Index) {
      TBitmap Glyph;
      Glyph.SetSize(16, 16);
      TCanvas* C = Glyph.Canvas();
      C->Brush()->SetColor(clFuchsia);
      C->FillRect(RECT{0, 0, 16, 16});
      C->Brush()->SetColor(Colors[Index]);
      C->Pen()->SetColor(clBlack);
      if (Index == 0) C->Ellipse(2, 2, 14, 14);
      if (Index == 1) C->Rectangle(3, 3, 13, 13);
      if (Index == 2) C->Rectangle(1, 6, 15, 10);
      Images->AddMasked(&Glyph, clFuchsia);
    }
    Manager = new TActionManager(Form);
    Manager->SetImages(Images);
    Capture = NewAction("Capture", 0);
    Movie = NewAction("Movie", 1);
    Hidden = NewAction("-", -1);  // a separator the program hides and shows
    Buttons = NewAction("Buttons", -1);
    View = NewAction("View", 2);
    for (const char* Style : {"Icon", "List", "Report"}) {
      TAction* Action = NewAction(Style, -1);
      Action->SetAutoCheck(true);
      Action->SetGroupIndex(1);
      ViewStyles.push_back(Action);
    }
    ViewStyles[2]->SetChecked(true);
    Bar = new TActionToolBar(Form);
    Bar->SetParent(Form);
    Bar->SetActionManager(Manager);
    Bar->SetHorzMargin(5);
    TActionClients* Items = Bar->Items();
    Items->BeginUpdate();
    Items->Add()->SetAction(Capture);
    Items->Add()->SetAction(Movie);
    Items->Add()->SetAction(Hidden);
    Items->Add()->SetCaption("-");
    Items->Add()->SetAction(Buttons);
    TActionClientItem* ViewItem = Items->Add();
    ViewItem->SetAction(View);
    for (TAction* Style : ViewStyles) ViewItem->Items()->Add()->SetAction(Style);
    Items->EndUpdate();
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TAction* NewAction(const std::string& Caption, int ImageIndex) {
    auto* Action = new TAction(Form);
    Action->SetCaption(Caption);
    Action->SetImageIndex(ImageIndex);
    Action->SetActionList(Manager);
    Action->OnExecute = TNotifyEvent([this, Action](TObject*) { Executed += Action->Caption() + ";"; });
    return Action;
  }
  RECT BoundsOf(int Index) { return Bar->Buttons(Index)->BoundsRect(); }
  int TextWidth(const std::string& Text) {
    TBitmap Scratch;
    Scratch.Canvas()->SetFont(Bar->Font());
    RECT R{0, 0, 0, 0};
    DrawTextA(Scratch.Canvas()->Handle(), Text.c_str(), int(Text.size()), &R, DT_CALCRECT | DT_SINGLELINE);
    return R.right - R.left;
  }

  TForm* Form = nullptr;
  TImageList* Images = nullptr;
  TActionManager* Manager = nullptr;
  TAction* Capture = nullptr;
  TAction* Movie = nullptr;
  TAction* Hidden = nullptr;
  TAction* Buttons = nullptr;
  TAction* View = nullptr;
  std::vector<TAction*> ViewStyles;
  TActionToolBar* Bar = nullptr;
  std::string Executed;
};

TEST_F(ToolBarTest, LaysOutGlyphsCaptionsSeparatorsAndTheDropDown) {
  ASSERT_EQ(Bar->ButtonCount(), 6);
  // Buttons as high as a 16-pixel glyph with its frame; the bar that plus its margins.
  EXPECT_EQ(Bar->ButtonHeight(), 22);
  EXPECT_EQ(Bar->Height(), 22 + 2 * Bar->VertMargin());
  EXPECT_EQ(Bar->Align(), alTop);
  EXPECT_EQ(Bar->Width(), Form->ClientWidth());
  const int CaptionWidth = TextWidth("Buttons") + 12;
  struct TCase {
    const char* Name;
    int Index;
    int Left;
    int Width;
  };
  const TCase Cases[] = {
      {"glyph from the horizontal margin", 0, 5, 23},
      {"glyph", 1, 28, 23},
      {"separator of an action", 2, 51, 8},
      {"separator of its own", 3, 59, 8},
      {"caption of an action without an image", 4, 67, CaptionWidth},
      {"glyph with the drop-down arrow", 5, 67 + CaptionWidth, 23 + 11},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const RECT R = BoundsOf(Case.Index);
    EXPECT_EQ(R.left, Case.Left);
    EXPECT_EQ(R.right - R.left, Case.Width);
    EXPECT_EQ(R.top, Bar->VertMargin());
    EXPECT_EQ(R.bottom - R.top, 22);
  }
  // The program hides actions (gamer view's tools, the network separator): the rest close up.
  Hidden->SetVisible(false);
  Movie->SetVisible(false);
  EXPECT_FALSE(Bar->Buttons(1)->Visible());
  EXPECT_EQ(BoundsOf(3).left, 28);
  // A new margin moves every button.
  Bar->SetHorzMargin(3);
  EXPECT_EQ(BoundsOf(0).left, 3);
  EXPECT_EQ(BoundsOf(3).left, 26);
  // An action that loses its image shows its caption, and the bar makes room.
  Capture->SetImageIndex(-1);
  EXPECT_EQ(BoundsOf(0).right - BoundsOf(0).left, TextWidth("Capture") + 12);
  Pump();
  SaveWindowPng(Bar, "action_toolbar_hidden", 3);
}

TEST_F(ToolBarTest, ButtonsRunTheirActionsAndShowTheirState) {
  TActionToolButton* CaptureButton = Bar->FindButton(Capture);
  ClickAt(CaptureButton, 10, 10);
  Pump();
  EXPECT_EQ(Executed, "Capture;");
  // Pressed while the mouse holds it down over it; a release elsewhere runs nothing.
  PressAt(CaptureButton, 10, 10);
  Pump();
  EXPECT_TRUE(CaptureButton->Pressed());
  MoveTo(CaptureButton, 60, 10);
  Pump();
  EXPECT_FALSE(CaptureButton->Pressed());
  ReleaseAt(CaptureButton, 60, 10);
  Pump();
  EXPECT_EQ(Executed, "Capture;");
  // A disabled action's button does nothing.
  Movie->SetEnabled(false);
  ClickAt(Bar->FindButton(Movie), 10, 10);
  Pump();
  EXPECT_EQ(Executed, "Capture;");
  // The checked look follows the action.
  Capture->SetChecked(true);
  EXPECT_TRUE(CaptureButton->Checked());
  // The hint is the action's: the application shows it for the button under the mouse.
  Capture->SetHint("Capture an Image. Ctrl+I");
  MoveTo(CaptureButton, 8, 8);
  Pump();
  Application->Idle();
  EXPECT_EQ(Application->Hint(), "Capture an Image. Ctrl+I");
  SaveWindowPng(Form, "action_toolbar", 2);
}

TEST_F(ToolBarTest, TheViewEntryDropsItsMenuDown) {
  TActionToolButton* ViewButton = Bar->FindButton(View);
  ASSERT_TRUE(ViewButton->HasDropDown());
  std::vector<std::string> Entries;
  std::vector<bool> Checks;
  RECT MenuFrame{};
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        TPopupMenu* Menu = Bar->DroppedMenu();
                        ASSERT_NE(Menu, nullptr);
                        for (int Index = 0; Index < Menu->Items()->Count(); ++Index) {
                          Entries.push_back(Menu->Items()->Items(Index)->Caption());
                          Checks.push_back(Menu->Items()->Items(Index)->Checked());
                        }
                        GetWindowRect(Menu->Window()->Handle(), &MenuFrame);
                        EXPECT_TRUE(ViewButton->Pressed());
                        SaveWindowPng(Menu->Window(), "action_toolbar_dropdown", 2);
                        // Down to "List" and pick it.
                        InjectKeyStroke(VK_DOWN);
                        InjectKeyStroke(VK_DOWN);
                        InjectKeyStroke(VK_RETURN);
                      }},
                     [&] { Bar->DroppedMenu()->CloseMenu(); });
  ClickAt(ViewButton, 5, 5);
  Pump();
  EXPECT_EQ(Entries, (std::vector<std::string>{"Icon", "List", "Report"}));
  EXPECT_EQ(Checks, (std::vector<bool>{false, false, true}));
  // Right below the button.
  const POINT Below = ViewButton->ClientToScreen(POINT{0, ViewButton->Height()});
  EXPECT_EQ(MenuFrame.left, Below.x);
  EXPECT_EQ(MenuFrame.top, Below.y);
  // The picked entry's action ran (radio group: List checked, Report not); View's own did not.
  EXPECT_EQ(Executed, "List;");
  EXPECT_TRUE(ViewStyles[1]->Checked());
  EXPECT_FALSE(ViewStyles[2]->Checked());
  EXPECT_EQ(Bar->DroppedMenu(), nullptr);
  EXPECT_FALSE(ViewButton->Pressed());
}

TEST_F(ToolBarTest, TheKeyboardWhileTheBarHasTheFocus) {
  Bar->SetFocus();
  Pump();
  ASSERT_TRUE(Bar->Focused());
  EXPECT_EQ(Bar->HotIndex(), 0);
  // Right skips the separators; Left from the first wraps to the last.
  Keys({VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(Bar->HotIndex(), 4);
  Keys({VK_SPACE});
  EXPECT_EQ(Executed, "Buttons;");
  Keys({VK_HOME, VK_LEFT});
  EXPECT_EQ(Bar->HotIndex(), 5);
}

TEST_F(ToolBarTest, RebuildsWhenItsEntriesOrItsManagerChange) {
  Bar->Items()->Delete(0);
  EXPECT_EQ(Bar->ButtonCount(), 5);
  EXPECT_EQ(Bar->FindButton(Capture), nullptr);
  // An action freed while its button is showing leaves an entry that shows nothing to run.
  Movie->Free();
  Movie = nullptr;
  EXPECT_EQ(Bar->ButtonCount(), 5);
  EXPECT_EQ(Bar->Items()->Items(0)->Action(), nullptr);
  // Without the manager there are no images: the glyph buttons show their captions.
  Manager->Free();
  Manager = nullptr;
  EXPECT_EQ(Bar->ActionManager(), nullptr);
  EXPECT_EQ(Bar->ButtonHeight(), Bar->Height() - 2 * Bar->VertMargin());
}

}  // namespace
}  // namespace FormsTest
