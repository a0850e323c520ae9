// The drop-down protocol of the combo base, driven through colour combos: opening from the posted
// message, closing on keys and on clicks inside and outside (the shared mouse hook, also with a
// second combo about), where the drop-down opens on the screen, the keys a cell editor leaves to
// its grid, and the button's layout.

#include "vcontrols/combos/vccombo.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"
#include "vcontrols/common/vccommon.h"

namespace VcTest {
namespace {

class TComboProtocolTest : public TComboTest {
 protected:
  void SetUp() override {
    TComboTest::SetUp();
    Combo->OnCloseUp = TvcComboCloseUpEvent([this](TObject*, bool Select) { CloseUps.push_back(Select); });
  }
  // Focuses the combo and opens its drop-down with F4.
  void Open(TvcCustomCombo* Target) {
    Target->SetFocus();
    Pump();
    Stroke(VK_F4);
    ASSERT_TRUE(Target->GetDroppedDown());
  }
  // The centre of shown item Index of the combo's list, in the list's client coordinates.
  POINT ItemCentre(int Index) {
    TvcColorList* List = Combo->ColorList();
    return POINT{List->ClientWidth() / 2,
                 (Index - List->TopIndex()) * List->ItemHeight() + List->ItemHeight() / 2};
  }
  std::vector<bool> CloseUps;
};

TEST_F(TComboProtocolTest, APressOnTheButtonOpensOnceThePostedMessageArrives) {
  // The press focuses the combo at once; the drop-down waits for the message loop.
  Combo->ButtonMouseDown(Combo->Button(), mbLeft, {}, 1, 1);
  EXPECT_EQ(GetFocus(), Combo->Handle());
  EXPECT_FALSE(Combo->GetDroppedDown());
  MSG Waiting{};
  ASSERT_TRUE(PeekMessageA(&Waiting, Combo->Handle(), VcComboDropDownMessage(), VcComboDropDownMessage(),
                           PM_NOREMOVE));
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
  Pump();
  EXPECT_TRUE(Combo->GetDroppedDown());
  EXPECT_NE(TvcCustomCombo::MouseHook(), nullptr);
  // A press on the button of the open combo closes it, accepting.
  Combo->ButtonMouseDown(Combo->Button(), mbLeft, {}, 1, 1);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
  EXPECT_EQ(CloseUps, std::vector<bool>{true});

  // The right button does nothing.
  Other->SetFocus();
  Pump();
  const POINT Button = ButtonCentre(Combo);
  PressAt(Combo, Button.x, Button.y, VK_RBUTTON);
  ReleaseAt(Combo, Button.x, Button.y, VK_RBUTTON);
  EXPECT_FALSE(Combo->GetDroppedDown());
  // A real click opens it, and it stays open when the button is let go.
  ClickAt(Combo, Button.x, Button.y);
  EXPECT_TRUE(Combo->GetDroppedDown());
  EXPECT_EQ(GetFocus(), Combo->Handle());
}

TEST_F(TComboProtocolTest, ClicksOutsideTheDropDownCloseItAndClicksInsideChooseFromIt) {
  Combo->SetSelectedColor(clRed);
  Open(Combo);
  // A press inside the list leaves it open; the release there takes the item and closes. (The
  // list shows Red, item 9, scrolled into view: Lime is the item below it.)
  const POINT Lime = ItemCentre(10);
  PressAt(Combo->ColorList(), Lime.x, Lime.y);
  EXPECT_TRUE(Combo->GetDroppedDown());
  ReleaseAt(Combo->ColorList(), Lime.x, Lime.y);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->SelectedColor(), clLime);
  EXPECT_EQ(Combo->Text(), "Lime");
  EXPECT_EQ(CloseUps, std::vector<bool>{true});
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);

  // A click on the bare form: the hook hands it to the list, which closes without taking anything.
  Open(Combo);
  ClickAt(Form, 260, 150);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->SelectedColor(), clLime);
  EXPECT_EQ(CloseUps, (std::vector<bool>{true, false}));
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);

  // A click on another control: it takes the focus and the drop-down closes.
  Open(Combo);
  ClickAt(Other, 5, 5);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(GetFocus(), Other->Handle());
  EXPECT_EQ(Combo->SelectedColor(), clLime);
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
}

TEST_F(TComboProtocolTest, AnotherCombosEndLeavesTheOpenDropDownItsHook) {
  TvcColorCombo* Second = AddColorCombo("Second", RECT{10, 60, 170, 82});
  Pump();
  Open(Combo);
  const HHOOK Hook = TvcCustomCombo::MouseHook();
  ASSERT_NE(Hook, nullptr);
  // A late close of the other combo, and its destruction, leave the hook with the open one.
  Second->CloseUp(true);
  EXPECT_EQ(TvcCustomCombo::MouseHook(), Hook);
  Second->Free();
  Pump();
  EXPECT_EQ(TvcCustomCombo::MouseHook(), Hook);
  EXPECT_TRUE(Combo->GetDroppedDown());
  // So an outside click still closes it.
  ClickAt(Form, 260, 150);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);

  // The combo whose drop-down is open takes the hook with it.
  Open(Combo);
  Combo->Free();
  Combo = nullptr;
  Pump();
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
  ClickAt(Form, 260, 150);
}

TEST_F(TComboProtocolTest, KeysOpenAndCloseTheDropDown) {
  struct TStep {
    const char* Name;
    int Key;
    std::initializer_list<int> Modifiers;
    bool Open;      // afterwards
    TColor Colour;  // SelectedColor afterwards
  };
  // Red is item 9 of the default list, Lime item 10, Yellow item 11.
  const TStep Steps[] = {
      {"F4 opens", VK_F4, {}, true, clRed},
      {"Down moves to Lime", VK_DOWN, {}, true, clLime},
      {"Escape goes back to the colour at opening", VK_ESCAPE, {}, false, clRed},
      {"Alt+Down opens", VK_DOWN, {VK_MENU}, true, clRed},
      {"Down, Down", VK_DOWN, {}, true, clLime},
      {"... Yellow", VK_DOWN, {}, true, clYellow},
      {"Enter takes it", VK_RETURN, {}, false, clYellow},
      {"Alt+Up opens", VK_UP, {VK_MENU}, true, clYellow},
      {"Up moves to Lime", VK_UP, {}, true, clLime},
      {"F4 closes, taking it", VK_F4, {}, false, clLime},
  };
  Combo->SetSelectedColor(clRed);
  Combo->SetFocus();
  Pump();
  for (const TStep& Step : Steps) {
    SCOPED_TRACE(Step.Name);
    Stroke(Step.Key, Step.Modifiers);
    EXPECT_EQ(Combo->GetDroppedDown(), Step.Open);
    EXPECT_EQ(Combo->SelectedColor(), Step.Colour);
  }
  EXPECT_EQ(CloseUps, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(Combo->Text(), "Lime");
  // Tab closes it too, taking the colour, and moves on.
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_TAB);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->SelectedColor(), clYellow);
  EXPECT_NE(GetFocus(), Combo->Handle());
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
}

TEST_F(TComboProtocolTest, TheKeyDownEventRunsOncePerKey) {
  std::vector<WORD> Keys;
  Combo->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState) { Keys.push_back(Key); });
  Combo->SetFocus();
  Pump();
  // One event per key that reaches the combo: the keys the steps before it consumed (opening and
  // closing) arrive as 0; Down in the open list goes to the list alone, Down on the closed combo
  // arrives as itself.
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  Stroke(VK_DOWN);
  Stroke(VK_F4);
  Stroke(VK_ESCAPE);
  EXPECT_EQ(Keys, (std::vector<WORD>{0, 0, VK_DOWN, 0, 0}));
}

TEST_F(TComboProtocolTest, TheDropDownOpensWhereTheScreenHasRoom) {
  const int Border = 2 * GetSystemMetrics(SM_CYBORDER);
  struct TCase {
    const char* Name;
    POINT FormAt;
    int DropDownWidth;
    int Shown;  // items the filter lets through
    bool Above, RightAligned;
    int Height;
  };
  const TCase Cases[] = {
      {"20 items, 8 shown", {0, 0}, 0, 20, false, false, 8 * 16 + Border},
      {"3 items", {0, 0}, 0, 3, false, false, 3 * 16 + Border},
      {"no items: the combo's height", {0, 0}, 0, 0, false, false, 22 + Border},
      {"near the bottom: above", {0, 460}, 0, 20, true, false, 8 * 16 + Border},
      {"wide, near the right edge: right edges line up", {600, 0}, 300, 20, false, true, 8 * 16 + Border},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Form->SetBounds(Case.FormAt.x, Case.FormAt.y, 320, 240);
    Combo->SetDropDownWidth(Case.DropDownWidth);
    int Index = 0;
    Combo->OnFilterColor = TvcOnFilterColorEvent(
        [&](TObject*, TColor, const std::string&, bool& Accept) { Accept = Index++ < Case.Shown; });
    Pump();
    Index = 0;
    Open(Combo);
    RECT Combined{}, List{};
    GetWindowRect(Combo->Handle(), &Combined);
    GetWindowRect(Combo->ColorList()->Handle(), &List);
    EXPECT_EQ(List.bottom - List.top, Case.Height);
    const int Width =
        Case.DropDownWidth == 0
            ? Combo->Width()
            : std::max(Combo->Width(), Case.DropDownWidth + Border + 2 * GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(List.right - List.left, Width);
    if (Case.Above)
      EXPECT_EQ(List.bottom, Combined.top);
    else
      EXPECT_EQ(List.top, Combined.bottom);
    if (Case.RightAligned)
      EXPECT_EQ(List.right, Combined.right);
    else
      EXPECT_EQ(List.left, Combined.left);
    Stroke(VK_ESCAPE);
    EXPECT_FALSE(Combo->GetDroppedDown());
  }
}

TEST_F(TComboProtocolTest, InAGridCellTheNavigationKeysGoToTheGrid) {
  auto* Grid = new TkvDBGrid(Form);
  Grid->SetName("Grid");
  Grid->SetBoundsRect(RECT{10, 60, 310, 180});
  Grid->SetParent(Form);
  TvcColorCombo* Cell = AddColorCombo("Cell", RECT{5, 5, 155, 25}, Grid);
  Cell->SetSelectedColor(clRed);
  Cell->Frame()->SetEnabled(true);
  Pump();
  EXPECT_FALSE(Cell->Frame()->IsFrameEffective());
  auto Focus = [&] {
    Cell->SetFocus();
    Pump();
    Grid->Keys.clear();
  };

  // Up and Down go to the grid, which takes the focus; with Alt they open the drop-down, and
  // while it shows they move in it.
  for (const int Key : {VK_UP, VK_DOWN, VK_NEXT, VK_PRIOR}) {
    SCOPED_TRACE(Key);
    Focus();
    Stroke(Key);
    EXPECT_EQ(GetFocus(), Grid->Handle());
    EXPECT_EQ(Grid->Keys, std::vector<WORD>{WORD(Key)});
    EXPECT_EQ(Cell->SelectedColor(), clRed);
  }
  Focus();
  Stroke(VK_DOWN, {VK_MENU});
  EXPECT_TRUE(Cell->GetDroppedDown());
  Stroke(VK_DOWN);
  EXPECT_EQ(GetFocus(), Cell->Handle());
  EXPECT_TRUE(Grid->Keys.empty());
  Stroke(VK_ESCAPE);
  EXPECT_FALSE(Cell->GetDroppedDown());
  // Clicks outside the drop-down close it in a cell too: on the grid around it, and on the form.
  Stroke(VK_DOWN, {VK_MENU});
  ASSERT_TRUE(Cell->GetDroppedDown());
  ClickAt(Grid, 250, 100);
  EXPECT_FALSE(Cell->GetDroppedDown());
  EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
  Focus();
  Stroke(VK_DOWN, {VK_MENU});
  ASSERT_TRUE(Cell->GetDroppedDown());
  ClickAt(Form, 260, 200);
  EXPECT_FALSE(Cell->GetDroppedDown());
  EXPECT_EQ(Cell->SelectedColor(), clRed);

  // Left at the start of an editable text goes to the grid only when the grid always shows its
  // editor (bit 1 of its options).
  Cell->SetStyle(vccombo::csDropDown);
  for (const int Options : {0, 2}) {
    SCOPED_TRACE(Options);
    Grid->SetOptions(Options);
    Focus();
    Cell->SetSelStart(0);
    Cell->SetSelLength(0);
    Stroke(VK_LEFT);
    EXPECT_EQ(GetFocus(), Options ? Grid->Handle() : Cell->Handle());
  }
  // F2 removes the selection of an editable combo and stays with it.
  Focus();
  Cell->SelectAll();
  Stroke(VK_F2);
  EXPECT_EQ(GetFocus(), Cell->Handle());
  EXPECT_EQ(Cell->SelLength(), 0);
  EXPECT_TRUE(Grid->Keys.empty());
}

TEST_F(TComboProtocolTest, TheButtonsWidthAndTheTextArea) {
  const int Automatic = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
  EXPECT_EQ(Combo->Button()->Width(), Automatic);
  Combo->SetButtonWidth(30);
  EXPECT_EQ(Combo->Button()->Width(), 30);
  EXPECT_EQ(Combo->ButtonHost()->Left(), Combo->Width() - 30 - 4);
  Combo->SetButtonWidth(0);
  EXPECT_EQ(Combo->Button()->Width(), Automatic);
  EXPECT_EQ(Combo->GetEditRect().right, Combo->ButtonHost()->Left() - 2);
  Combo->SetShowButton(false);
  EXPECT_FALSE(Combo->ButtonHost()->Visible());
  EXPECT_EQ(Combo->GetEditRect().right, Combo->ClientWidth() - 2);
}

TEST_F(TComboProtocolTest, FlatAndTransparentButtonsTakeTheFlatArrow) {
  EXPECT_TRUE(Combo->ButtonGlyph()->Empty());
  Combo->ButtonEffects()->SetFlat(true);
  EXPECT_TRUE(Combo->Button()->Flat());
  EXPECT_FALSE(Combo->Button()->Transparent());
  // The arrow glyph: 10 x 4, a black triangle on the key colour.
  ASSERT_FALSE(Combo->ButtonGlyph()->Empty());
  EXPECT_EQ(Combo->ButtonGlyph()->Width(), 10);
  EXPECT_EQ(Combo->ButtonGlyph()->Height(), 4);
  EXPECT_EQ(ColorToRGB(Combo->ButtonGlyph()->Canvas()->Pixels(1, 0)), 0);
  EXPECT_EQ(ColorToRGB(Combo->ButtonGlyph()->Canvas()->Pixels(0, 0)), clFuchsia);
  EXPECT_EQ(ColorToRGB(Combo->ButtonGlyph()->Canvas()->Pixels(4, 3)), 0);
  Combo->ButtonEffects()->SetFlat(false);
  Combo->ButtonEffects()->SetTransparent(true);
  EXPECT_TRUE(Combo->Button()->Flat());
  EXPECT_TRUE(Combo->Button()->Transparent());
  Combo->ButtonEffects()->SetTransparent(false);
  EXPECT_FALSE(Combo->Button()->Flat());
  Pump();
}

}  // namespace
}  // namespace VcTest
