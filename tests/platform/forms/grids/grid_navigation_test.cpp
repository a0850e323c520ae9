// Moving the current cell: SelectCell's veto, scrolling the new cell into full view with one
// TopLeftChanged, the keys through the real message path, the vertical scroll bar and its
// WM_VSCROLL codes, and the mouse wheel.

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
namespace {

TEST_F(TGridTest, SelectCellCanRefuseAMove) {
  Grid->Refused.insert({2, 3});
  Grid->Asked.clear();
  Grid->MoveColRow(2, 3, true, true);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->Row(), 1);
  ASSERT_EQ(Grid->Asked.size(), 1u);
  EXPECT_EQ(Grid->Asked[0], std::make_pair(2, 3));
  // The same refusal holds for the keys and the Row writer.
  Grid->MoveColRow(2, 2, true, true);
  Grid->SetFocus();
  Pump();
  InjectKeyStroke(VK_DOWN);
  Pump();
  EXPECT_EQ(Grid->Row(), 2);
  Grid->SetRow(3);
  EXPECT_EQ(Grid->Row(), 2);
  Grid->MoveColRow(3, 3, true, true);
  EXPECT_EQ(Grid->Col(), 3);
  EXPECT_EQ(Grid->Row(), 3);
  EXPECT_THROW(Grid->MoveColRow(5, 1, true, true), EInvalidGridOperation);
}

TEST_F(TGridTest, MovingScrollsTheRowIntoFullView) {
  // 10 rows; rows 1 to 3 are fully visible in 100 pixels.
  Grid->SetRowCount(10);
  Grid->TopLeftChanges = 0;
  Grid->MoveColRow(1, 3, true, true);
  EXPECT_EQ(Grid->TopRow(), 1);
  EXPECT_EQ(Grid->TopLeftChanges, 0);
  // Row 6 becomes the last fully visible row.
  Grid->MoveColRow(1, 6, true, true);
  EXPECT_EQ(Grid->TopRow(), 4);
  EXPECT_EQ(Grid->TopLeftChanges, 1);
  // Going up puts the row at the top.
  Grid->MoveColRow(1, 2, true, true);
  EXPECT_EQ(Grid->TopRow(), 2);
  EXPECT_EQ(Grid->TopLeftChanges, 2);
  // Without Show the origin stays.
  Grid->MoveColRow(1, 9, true, false);
  EXPECT_EQ(Grid->TopRow(), 2);
  EXPECT_EQ(Grid->TopLeftChanges, 2);
  // A partly shown row is not good enough: the client is cut at 90, row 4 ends at 99.
  SetClient(200, 90);
  Grid->MoveColRow(1, 2, true, true);
  Grid->TopLeftChanges = 0;
  Grid->MoveColRow(1, 4, true, true);
  EXPECT_EQ(Grid->TopRow(), 3);
  EXPECT_EQ(Grid->TopLeftChanges, 1);
  // Columns scroll the same way.
  Grid->MoveColRow(4, 4, true, true);
  EXPECT_EQ(Grid->LeftCol(), 3);
}

struct TKeyCase {
  const char* Name;
  TGridCoord Start;
  WORD Key;
  bool Shift, Ctrl;
  TGridCoord Expected;
  int32_t ExpectedTop = -1;  // -1: not checked
};

// 10 rows of 24 in 100 pixels, 5 columns, the origin at row 1 unless the move scrolls.
const TKeyCase KeyCases[] = {
    {"Down", {1, 1}, VK_DOWN, false, false, {1, 2}},
    {"Up stops at the first scrolling row", {1, 1}, VK_UP, false, false, {1, 1}},
    {"Right", {1, 1}, VK_RIGHT, false, false, {2, 1}},
    {"Left stops at the first scrolling column", {1, 1}, VK_LEFT, false, false, {1, 1}},
    {"Home goes to the first scrolling column", {3, 2}, VK_HOME, false, false, {1, 2}},
    {"End goes to the last column", {1, 2}, VK_END, false, false, {4, 2}},
    {"Ctrl+Home goes to the first scrolling cell", {3, 4}, VK_HOME, false, true, {1, 1}},
    {"Ctrl+End goes to the last cell", {1, 1}, VK_END, false, true, {4, 9}, 7},
    {"PageDown moves a page and scrolls", {1, 1}, VK_NEXT, false, false, {1, 3}, 3},
    {"PageDown at the end stays on the last row", {1, 9}, VK_NEXT, false, false, {1, 9}},
    {"PageUp from the middle", {1, 6}, VK_PRIOR, false, false, {1, 4}},
    {"Tab moves right", {1, 1}, VK_TAB, false, false, {2, 1}},
    {"Tab wraps into the next row", {4, 1}, VK_TAB, false, false, {1, 2}},
    {"Tab on the last cell wraps to the first", {4, 9}, VK_TAB, false, false, {1, 1}},
    {"Shift+Tab wraps back a row", {1, 2}, VK_TAB, true, false, {4, 1}},
};

TEST_F(TGridTest, KeysMoveTheCurrentCell) {
  Grid->SetRowCount(10);
  Grid->SetOptions(Grid->Options() + goTabs);
  Grid->SetFocus();
  Pump();
  for (const TKeyCase& Case : KeyCases) {
    SCOPED_TRACE(Case.Name);
    Grid->SetTopRow(1);
    Grid->MoveColRow(Case.Start.X, Case.Start.Y, true, true);
    if (Case.Shift) InjectKey(VK_SHIFT, true);
    if (Case.Ctrl) InjectKey(VK_CONTROL, true);
    InjectKeyStroke(Case.Key);
    if (Case.Ctrl) InjectKey(VK_CONTROL, false);
    if (Case.Shift) InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Grid->Col(), Case.Expected.X);
    EXPECT_EQ(Grid->Row(), Case.Expected.Y);
    if (Case.ExpectedTop >= 0) { EXPECT_EQ(Grid->TopRow(), Case.ExpectedTop); }
    // The current cell is always fully visible after a key.
    TGridDrawInfo Info;
    Grid->CalcDrawInfo(Info);
    EXPECT_GE(Grid->Row(), Grid->TopRow());
    EXPECT_LE(Grid->Row(), Info.Vert.LastFullVisibleCell);
  }
}

TEST_F(TGridTest, ShiftArrowsExtendARangeSelection) {
  Grid->SetOptions(Grid->Options() + goRangeSelect);
  Grid->SetFocus();
  Pump();
  Grid->MoveColRow(1, 1, true, true);
  InjectKey(VK_SHIFT, true);
  InjectKeyStroke(VK_RIGHT);
  InjectKeyStroke(VK_DOWN);
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 2}));
  // Without goRangeSelect the selection is the current cell.
  Grid->SetOptions(Grid->Options() - goRangeSelect);
  InjectKey(VK_SHIFT, true);
  InjectKeyStroke(VK_RIGHT);
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Grid->Selection(), (TGridRect{3, 2, 3, 2}));
}

class TGridScrollBarTest : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    Grid->SetRowCount(20);
    Grid->SetScrollBars(ssVertical);
    Pump();
  }
  SCROLLINFO Bar() {
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    GetScrollInfo(Grid->Handle(), SB_VERT, &Info);
    return Info;
  }
  void Scroll(WORD Code, WORD Position = 0) {
    Grid->Perform(WM_VSCROLL, MAKEWPARAM(Code, Position), 0);
  }
};

TEST_F(TGridScrollBarTest, RangeAndPositionFollowTheGrid) {
  // 19 scrolling rows of 25, three fully visible: the last top row is 17.
  EXPECT_EQ(Bar().nMin, 0);
  EXPECT_EQ(Bar().nMax, 16);
  EXPECT_EQ(Bar().nPos, 0);
  Grid->SetTopRow(5);
  EXPECT_EQ(Bar().nPos, 4);
  // Taller rows (the fixed one too) leave room for one row: every row can be the top one.
  Grid->SetDefaultRowHeight(36);
  EXPECT_EQ(Bar().nMax, 18);
  // A grid that shows every row has nothing to scroll, and goes back to its first row.
  Grid->SetDefaultRowHeight(24);
  Grid->SetRowCount(3);
  EXPECT_EQ(Bar().nMax, 0);
  EXPECT_EQ(Grid->TopRow(), 1);
}

struct TScrollCase {
  const char* Name;
  int32_t StartTop;
  WORD Code;
  WORD Position;
  bool ThumbTracking;
  int32_t ExpectedTop;
};

const TScrollCase ScrollCases[] = {
    {"line down", 1, SB_LINEDOWN, 0, false, 2},
    {"line up at the top stays", 1, SB_LINEUP, 0, false, 1},
    {"line down at the bottom stays", 17, SB_LINEDOWN, 0, false, 17},
    {"page down: the last full row becomes the top", 1, SB_PAGEDOWN, 0, false, 3},
    {"page up", 10, SB_PAGEUP, 0, false, 8},
    {"top", 10, SB_TOP, 0, false, 1},
    {"bottom", 1, SB_BOTTOM, 0, false, 17},
    {"thumb position", 1, SB_THUMBPOSITION, 6, false, 7},
    {"thumb position past the end", 1, SB_THUMBPOSITION, 40, false, 17},
    {"thumb track without thumb tracking waits", 1, SB_THUMBTRACK, 6, false, 1},
    {"thumb track with thumb tracking follows", 1, SB_THUMBTRACK, 6, true, 7},
    {"end scroll does nothing", 4, SB_ENDSCROLL, 0, false, 4},
};

TEST_F(TGridScrollBarTest, ScrollCodes) {
  for (const TScrollCase& Case : ScrollCases) {
    SCOPED_TRACE(Case.Name);
    Grid->SetOptions(Case.ThumbTracking ? Grid->Options() + goThumbTracking : Grid->Options() - goThumbTracking);
    Grid->SetTopRow(Case.StartTop);
    Grid->TopLeftChanges = 0;
    Scroll(Case.Code, Case.Position);
    EXPECT_EQ(Grid->TopRow(), Case.ExpectedTop);
    EXPECT_EQ(Grid->TopLeftChanges, Case.ExpectedTop != Case.StartTop ? 1 : 0);
    EXPECT_EQ(Bar().nPos, Grid->TopRow() - 1);
  }
  // Scrolling does not move the current cell, and the bar takes the focus for the grid.
  EXPECT_EQ(Grid->Row(), 1);
  EXPECT_TRUE(Grid->Focused());
}

TEST_F(TGridScrollBarTest, HorizontalBarScrollsColumns) {
  Grid->SetColCount(12);
  Grid->SetScrollBars(ssBoth);
  Pump();
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  GetScrollInfo(Grid->Handle(), SB_HORZ, &Info);
  // 11 scrolling columns of 65 pixels; the vertical bar takes its share of the 200 pixels.
  TGridDrawInfo Draw;
  Grid->CalcDrawInfo(Draw);
  const int32_t Shown = Draw.Horz.LastFullVisibleCell - Grid->LeftCol() + 1;
  EXPECT_EQ(Info.nMax, 11 - Shown);
  Grid->TopLeftChanges = 0;
  Grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(Grid->LeftCol(), 2);
  Grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  EXPECT_EQ(Grid->LeftCol(), 12 - Shown);
  EXPECT_EQ(Grid->TopLeftChanges, 2);
  EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_HORZ), 11 - Shown);
  // The rows did not move.
  EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(TGridTest, WheelMovesTheCurrentRow) {
  Grid->SetRowCount(10);
  Grid->SetFocus();
  Pump();
  const POINT Center = Screen(100, 50);
  InjectMouseWheel(-WHEEL_DELTA, Center.x, Center.y);
  Pump();
  EXPECT_EQ(Grid->Row(), 2);
  InjectMouseWheel(WHEEL_DELTA, Center.x, Center.y);
  InjectMouseWheel(WHEEL_DELTA, Center.x, Center.y);
  Pump();
  EXPECT_EQ(Grid->Row(), 1);
}

}  // namespace
}  // namespace FormsTest
