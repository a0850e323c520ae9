// Cell hints of the inspector: which cells get one, the hint window over the cell, the timer
// that takes it away (mouse gone, or the hide pause at rest), and what else cancels it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectorhint.h"
#include "platform/forms/edit.h"
#include "platform/forms/timer.h"
#include "platform/gdi/colors.h"
#include "platform/user/input.h"
#include "tests/kvcontrols/inspector/inspectortest.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

const std::string LongValue = "a value far too long for the value column of this little table";
const std::string LongCaption = "A caption much too long for its column";

class InspectorHintTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 320, 300);
    Edit = new TEdit(Form);
    Edit->SetName("EditRate");
    Inspector = new TkvDataInspector(Form);
    Inspector->SetName("Inspector");
    Inspector->SetBorderStyle(bsNone);
    Inspector->SetBounds(0, 0, 240, 200);
    Inspector->SetDefaultRowHeight(20);
    Inspector->SetCaptionWidth(90);
    Inspector->SetParent(Form);
    Inspector->SetOptions(Inspector->Options() + ovShowCaptionHints + ovShowCellHints);
    Short = Add("Short", "1");
    LongCaptionItem = Add(LongCaption, "fits");
    LongValueItem = Add("Value", LongValue);
    Hosted = Add("Hosted", LongValue);
    Hosted->SetCustomControl(Edit);
    Next = Add("Next", LongValue + " too");
    for (int Index = 0; Index < 12; ++Index) Add("Filler " + std::to_string(Index), "x");
    Inspector->RebuildRows();
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TkvInspectorItem* Add(const std::string& Caption, const std::string& Value) {
    return AddOption(Inspector, Caption, Value);
  }
  RECT Cell(TkvInspectorItem* Item, int Column) { return Inspector->CellRect(Column, Inspector->RowOfItem(Item)); }
  POINT Middle(TkvInspectorItem* Item, int Column) {
    const RECT R = Cell(Item, Column);
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
  }
  // The mouse rests over the cell (the timer reads the cursor) and the move reaches the hint.
  void HoverOver(TkvInspectorItem* Item, int Column) {
    const POINT P = Middle(Item, Column);
    const POINT Screen = Inspector->ClientToScreen(P);
    SetCursorPos(Screen.x, Screen.y);
    Inspector->ShowCellHint(TShiftState{}, P.x, P.y);
  }
  bool HintShown() { return Inspector->HintWindow() && Inspector->HintWindow()->Active(); }

  TForm* Form = nullptr;
  TEdit* Edit = nullptr;
  TkvDataInspector* Inspector = nullptr;
  TkvInspectorItem* Short = nullptr;
  TkvInspectorItem* LongCaptionItem = nullptr;
  TkvInspectorItem* LongValueItem = nullptr;
  TkvInspectorItem* Hosted = nullptr;
  TkvInspectorItem* Next = nullptr;
};

TEST_F(InspectorHintTest, WhichCellsGetAHint) {
  struct THover {
    const char* Name;
    TkvInspectorItem* Item;
    int Column;
    TkvDataInspectorOptions Without;  // options switched off for this case
    std::string Expected;             // the hint's text; empty: no hint
  };
  const std::vector<THover> Cases = {
      // Switched off first: a refused cell is not remembered, so it can be hinted right after.
      {"long caption, caption hints off", LongCaptionItem, 0, TkvDataInspectorOptions{ovShowCaptionHints}, ""},
      {"long caption", LongCaptionItem, 0, {}, LongCaption},
      {"short caption", Short, 0, {}, ""},
      {"value that fits", LongCaptionItem, 1, {}, ""},
      {"long value, value hints off", LongValueItem, 1, TkvDataInspectorOptions{ovShowCellHints}, ""},
      {"long value", LongValueItem, 1, {}, LongValue},
      {"hosted control that always paints", Hosted, 1, {}, ""},
      {"next long value", Next, 1, {}, LongValue + " too"},
  };
  const TkvDataInspectorOptions All = Inspector->Options();
  for (const THover& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Inspector->SetOptions(All - Case.Without);
    HoverOver(Case.Item, Case.Column);
    EXPECT_EQ(HintShown(), !Case.Expected.empty());
    if (HintShown()) {
      EXPECT_EQ(Inspector->HintWindow()->Caption(), Case.Expected);
    }
  }
  Inspector->SetOptions(All);
}

TEST_F(InspectorHintTest, HintCoversTheCellInTheInfoColours) {
  HoverOver(LongValueItem, 1);
  ASSERT_TRUE(HintShown());
  TkvInspectorHintWindow* Hint = Inspector->HintWindow();
  const RECT R = Cell(LongValueItem, 1);
  const POINT Origin = Inspector->ClientToScreen(POINT{0, 0});
  // Over the cell, one pixel left and two up, and as wide as the text needs: past the table.
  EXPECT_EQ(Hint->Left(), R.left + Origin.x - 1);
  EXPECT_EQ(Hint->Top(), R.top + Origin.y - 2);
  EXPECT_EQ(Hint->Height(), R.bottom - R.top - 2);
  EXPECT_GT(Hint->Left() + Hint->Width(), Origin.x + Inspector->Width());
  EXPECT_FALSE(Hint->WordWrap);

  Pump();
  int Text = 0, Back = 0;
  for (int X = 2; X < Hint->ClientWidth() - 2; ++X)
    for (int Y = 2; Y < Hint->ClientHeight() - 1; ++Y) {
      const TColor C = PixelAt(Hint, X, Y);
      Back += C == ColorToRGB(clInfoBk);
      Text += C != ColorToRGB(clInfoBk);
    }
  EXPECT_GT(Back, Text) << "an info-coloured window";
  EXPECT_GT(Text, 20) << "with the text drawn on it";
  SavePng(*Inspector->PaintBitmap(), "inspector_hint_table", 2);

  // A caption hint starts where the caption text starts (two pixels before it, one above).
  HoverOver(LongCaptionItem, 0);
  ASSERT_TRUE(HintShown());
  const RECT C = Cell(LongCaptionItem, 0);
  EXPECT_EQ(Inspector->HintWindow()->Left(), C.left + Inspector->CaptionIndent() - 2 + Origin.x - 1);
  EXPECT_EQ(Inspector->HintWindow()->Top(), C.top + Origin.y - 2);
  EXPECT_TRUE(Inspector->HintWindow()->CenterVertically);
}

TEST_F(InspectorHintTest, TimerRemovesTheHint) {
  ASSERT_EQ(Application->HintHidePause(), 2500);
  HoverOver(LongValueItem, 1);
  ASSERT_TRUE(HintShown());
  ASSERT_NE(Inspector->HintTimer(), nullptr);
  EXPECT_EQ(Inspector->HintTimer()->Interval(), 250u);
  // 2500 ms / 250 ms gives 10 ticks, less than 16: the count must pass 16.
  Advance(16 * 250);
  EXPECT_TRUE(HintShown()) << "after 16 ticks at rest";
  Advance(250);
  EXPECT_EQ(Inspector->HintWindow(), nullptr) << "gone on the 17th tick";
  EXPECT_FALSE(Inspector->HintTimer()->Enabled());

  // The mouse resting on: the same cell is still the hinted one, so no new hint.
  HoverOver(LongValueItem, 1);
  EXPECT_EQ(Inspector->HintWindow(), nullptr);

  // Leaving the cell: the next tick takes the hint away and forgets the cell, so coming back
  // shows it again.
  HoverOver(Next, 1);
  ASSERT_TRUE(HintShown());
  const POINT Away = Inspector->ClientToScreen(Middle(Short, 1));
  SetCursorPos(Away.x, Away.y);
  Advance(250);
  EXPECT_EQ(Inspector->HintWindow(), nullptr);
  HoverOver(Next, 1);
  EXPECT_TRUE(HintShown());

  // A longer hide pause keeps the hint longer.
  Application->SetHintHidePause(5000);
  HoverOver(LongValueItem, 1);
  Advance(20 * 250);
  EXPECT_TRUE(HintShown());
  Advance(250);
  EXPECT_FALSE(HintShown());
  Application->SetHintHidePause(2500);
}

TEST_F(InspectorHintTest, MovesScrollingAndClicksCancel) {
  HoverOver(LongValueItem, 1);
  TkvInspectorHintWindow* First = Inspector->HintWindow();
  ASSERT_TRUE(HintShown());

  // Within the same cell nothing is made again.
  const RECT R = Cell(LongValueItem, 1);
  Inspector->ShowCellHint(TShiftState{}, R.left + 3, R.top + 3);
  EXPECT_EQ(Inspector->HintWindow(), First);

  // Into a cell whose text fits: the hint goes at once, none comes.
  Inspector->ShowCellHint(TShiftState{}, Middle(Short, 1).x, Middle(Short, 1).y);
  EXPECT_EQ(Inspector->HintWindow(), nullptr);

  struct TCase {
    const char* Name;
    std::function<void()> Action;
  };
  const TCase Cases[] = {
      {"scrolling", [&] { SendMessage(Inspector->Handle(), WM_VSCROLL, SB_LINEDOWN, 0); }},
      {"selecting a cell", [&] { Inspector->SetRow(Inspector->RowOfItem(LongCaptionItem)); }},
      {"CancelHint", [&] { Inspector->CancelHint(); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SendMessage(Inspector->Handle(), WM_VSCROLL, SB_TOP, 0);
    Inspector->SetRow(Inspector->RowOfItem(Short));
    Inspector->CancelHint();
    HoverOver(Short, 1);  // another cell first, so the next hover counts
    HoverOver(Next, 1);
    ASSERT_TRUE(HintShown());
    Case.Action();
    EXPECT_EQ(Inspector->HintWindow(), nullptr);
  }
}

TEST_F(InspectorHintTest, MouseMovesReachTheHint) {
  // A real mouse move over the window: the inspector's mouse handling asks for the hint.
  const POINT Over = Inspector->ClientToScreen(Middle(LongValueItem, 1));
  InjectMouseMove(Over.x, Over.y);
  Pump();
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Inspector->HintWindow()->Caption(), LongValue);
  // The hint lets the mouse through: moving on within the cell keeps the same hint.
  TkvInspectorHintWindow* First = Inspector->HintWindow();
  InjectMouseMove(Over.x + 4, Over.y + 1);
  Pump();
  EXPECT_EQ(Inspector->HintWindow(), First);
  // Onto a caption that fits (the first row's value lies under the in-place editor): gone at once.
  const POINT Fits = Inspector->ClientToScreen(Middle(Short, 0));
  ASSERT_EQ(WindowFromPoint(Fits), Inspector->Handle());
  InjectMouseMove(Fits.x, Fits.y);
  Pump();
  EXPECT_EQ(Inspector->HintWindow(), nullptr);
}

TEST_F(InspectorHintTest, NoHintOverTheCellItsEditorShows) {
  Inspector->SetFocus();
  Pump();
  Inspector->SetActiveItem(LongValueItem);
  Pump();
  ASSERT_NE(Inspector->InplaceEditor(), nullptr);
  ASSERT_TRUE(Inspector->InplaceEditor()->Visible());
  HoverOver(LongValueItem, 1);
  EXPECT_EQ(Inspector->HintWindow(), nullptr);
  HoverOver(LongValueItem, 0);  // its caption fits; another row's value is still hinted
  HoverOver(Next, 1);
  EXPECT_TRUE(HintShown());
}

TEST_F(InspectorHintTest, HandlerShapesOrSuppressesTheHint) {
  std::vector<std::string> Calls;
  bool Suppress = true;
  Inspector->OnCreateHintWindow = TkvCreateInspectorHintWindowEvent(
      [&](TObject* Sender, TkvInspectorHintWindow* Window, TField* Field, RECT R, bool& WordWrap, int32_t& MaxWidth,
          int32_t& MaxHeight, bool& DoDefault) {
        EXPECT_EQ(Sender, Inspector);
        EXPECT_EQ(Field, nullptr) << "an unbound row";
        EXPECT_EQ(R.bottom - R.top, 20);
        EXPECT_EQ(MaxHeight, 18);
        Calls.push_back(Window->Caption());
        if (Suppress) {
          DoDefault = false;
        } else {
          WordWrap = true;
          MaxWidth = 160;
          MaxHeight = 100;
        }
      });
  HoverOver(LongValueItem, 1);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0], LongValue);
  ASSERT_NE(Inspector->HintWindow(), nullptr) << "made";
  EXPECT_FALSE(Inspector->HintWindow()->Active()) << "but never shown";
  Inspector->CancelHint();
  EXPECT_EQ(Inspector->HintWindow(), nullptr) << "freed at the next cancel";

  // A handler that allows wrapping and more height gets a taller, narrower hint.
  Suppress = false;
  HoverOver(Next, 1);
  ASSERT_TRUE(HintShown());
  TkvInspectorHintWindow* Hint = Inspector->HintWindow();
  EXPECT_TRUE(Hint->WordWrap);
  EXPECT_LE(Hint->Width(), 160 + 8);
  EXPECT_GT(Hint->Height(), 20) << "the wrapped lines, taller than the cell";
}

}  // namespace
}  // namespace FormsTest
