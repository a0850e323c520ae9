// The mouse on a grid, through injected input: clicks select cells, border drags in the fixed
// cells size rows and columns (RowHeightsChanged / ColWidthsChanged once, on release), and the
// cursor shows where a drag may start.

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
namespace {

class TGridMouseTest : public TGridTest {
 protected:
  void Press(int X, int Y) {
    const POINT P = Screen(X, Y);
    InjectMouseButton(VK_LBUTTON, true, P.x, P.y);
    Pump();
  }
  void MoveTo(int X, int Y) {
    const POINT P = Screen(X, Y);
    InjectMouseMove(P.x, P.y);
    Pump();
  }
  void Release(int X, int Y) {
    const POINT P = Screen(X, Y);
    InjectMouseButton(VK_LBUTTON, false, P.x, P.y);
    Pump();
  }
};

TEST_F(TGridMouseTest, ClickSelectsTheCellAndTakesTheFocus) {
  Press(140, 60);  // column 2, row 2
  Release(140, 60);
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  // Fixed cells are not selectable; a refused cell keeps the old one.
  Press(10, 60);
  Release(10, 60);
  EXPECT_EQ(Grid->Col(), 2);
  Grid->Refused.insert({1, 1});
  Press(70, 30);
  Release(70, 30);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(TGridMouseTest, DraggingSelectsARange) {
  Grid->SetOptions(Grid->Options() + goRangeSelect);
  Press(70, 30);
  MoveTo(140, 60);
  Release(140, 60);
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 2}));
  EXPECT_EQ(Grid->FGridState, gsNormal);
}

TEST_F(TGridMouseTest, SelectingPastTheBottomScrollsOnATimer) {
  Grid->SetRowCount(10);
  Grid->SetOptions(Grid->Options() + goRangeSelect);
  Press(70, 30);
  MoveTo(70, 130);  // below the grid, with the mouse still captured
  Advance(130);     // two ticks
  EXPECT_EQ(Grid->TopRow(), 3);
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 1, 5}));
  Release(70, 130);
  // Released: no more scrolling.
  Advance(300);
  EXPECT_EQ(Grid->TopRow(), 3);
  EXPECT_EQ(Grid->FGridState, gsNormal);
}

TEST_F(TGridMouseTest, RowBorderDragEndsInRowHeightsChanged) {
  Grid->SetOptions(Grid->Options() + goRowSizing);
  // Row 1 ends at 49 (fixed row 0..24, its line, row 1 from 25); its border is caught in the
  // fixed column only.
  EXPECT_TRUE(Grid->Sizing(10, 49));
  EXPECT_TRUE(Grid->Sizing(10, 46));
  EXPECT_FALSE(Grid->Sizing(10, 40));
  EXPECT_FALSE(Grid->Sizing(100, 49));
  Grid->RowHeightChanges = 0;
  Press(10, 49);
  EXPECT_EQ(Grid->FGridState, gsRowSizing);
  MoveTo(10, 55);
  MoveTo(10, 62);
  // Nothing changes while the mouse moves: only the sizing line follows it.
  EXPECT_EQ(Grid->RowHeights(1), 24);
  EXPECT_EQ(Grid->RowHeightChanges, 0);
  Release(10, 62);
  EXPECT_EQ(Grid->FGridState, gsNormal);
  EXPECT_EQ(Grid->RowHeights(1), 37);
  EXPECT_EQ(Grid->RowHeightChanges, 1);
  EXPECT_EQ(Grid->RowHeights(2), 24);
  // The current cell did not move.
  EXPECT_EQ(Grid->Row(), 1);
  // A drag that would leave a row 1 pixel high changes nothing.
  Press(10, 62);
  Release(10, 26);
  EXPECT_EQ(Grid->RowHeights(1), 37);
  EXPECT_EQ(Grid->RowHeightChanges, 1);
}

TEST_F(TGridMouseTest, ColumnBorderDragInTheFixedRow) {
  Grid->SetOptions(Grid->Options() + goColSizing);
  // Column 1 ends at 129; caught in the fixed row only.
  EXPECT_FALSE(Grid->Sizing(129, 40));
  Press(127, 10);
  EXPECT_EQ(Grid->FGridState, gsColSizing);
  MoveTo(100, 10);
  Release(100, 10);
  // The grab was 2 pixels left of the border, so the border follows 2 pixels right of the mouse.
  EXPECT_EQ(Grid->ColWidths(1), 37);
  EXPECT_EQ(Grid->ColWidthChanges, 1);
}

TEST_F(TGridMouseTest, DraggingAFixedCellMovesItsColumn) {
  Grid->SetOptions(Grid->Options() + goColMoving);
  Grid->SetColWidths(1, 40);
  // Column 1 now spans 65..104, column 2 from 106; drop on column 2's title.
  Press(80, 10);
  EXPECT_EQ(Grid->FGridState, gsColMoving);
  MoveTo(150, 10);
  Release(150, 10);
  EXPECT_EQ(Grid->ColumnMoves, (std::vector<std::pair<int32_t, int32_t>>{{1, 2}}));
  // The width travels with the column.
  EXPECT_EQ(Grid->ColWidths(2), 40);
  EXPECT_EQ(Grid->ColWidths(1), 64);
  // A press and release on one title moves nothing.
  Press(80, 10);
  Release(80, 10);
  EXPECT_EQ(Grid->ColumnMoves.size(), 1u);
}

TEST_F(TGridMouseTest, SizingCursorOverABorder) {
  Grid->SetOptions(Grid->Options() + goRowSizing);
  MoveTo(10, 49);
  EXPECT_EQ(GetCursor(), CursorHandle(crVSplit));
  MoveTo(10, 40);
  EXPECT_NE(GetCursor(), CursorHandle(crVSplit));
}

TEST_F(TGridMouseTest, ClickOnTheCurrentCellOfAnEditableGridEdits) {
  Grid->SetOptions(Grid->Options() + goEditing);
  Grid->Texts[{1, 1}] = "cell";
  Press(70, 30);
  Release(70, 30);
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
  EXPECT_EQ(Grid->InplaceEditor()->Text(), "cell");
  EXPECT_TRUE(Grid->InplaceEditor()->Focused());
}

}  // namespace
}  // namespace FormsTest
