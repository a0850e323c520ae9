// The grid's geometry: draw information per axis, cell rectangles, boxes and hit tests, with
// fixed cells, line widths, hidden rows, scrolled origins and partly shown last cells.

#include <gtest/gtest.h>

#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
namespace {

struct TAxisExpect {
  int32_t FixedBoundary, GridBoundary, LastFullVisibleCell, FullVisBoundary;
};

struct TDrawInfoCase {
  const char* Name;
  int Width, Height;  // client size
  int32_t FixedRows = 1;
  int32_t LineWidth = 1;
  bool Lines = true;
  int32_t TopRow = 1;
  int32_t HiddenRow = -1;  // a row of height -1
  TAxisExpect Horz, Vert;
};

// Columns 64 wide, rows 24 high, 5 x 5, one fixed column.
const TDrawInfoCase DrawInfoCases[] = {
    // Rows end at 25, 50, 75, 100: row 3's line is the last client pixel.
    {"rows fill the client exactly", 200, 100, 1, 1, true, 1, -1, {65, 200, 2, 195}, {25, 100, 3, 100}},
    // A row whose line alone is cut off still counts as fully visible.
    {"last line cut off", 200, 99, 1, 1, true, 1, -1, {65, 200, 2, 195}, {25, 99, 3, 100}},
    {"partly shown last row", 200, 90, 1, 1, true, 1, -1, {65, 200, 2, 195}, {25, 90, 2, 75}},
    {"everything fits", 400, 200, 1, 1, true, 1, -1, {65, 325, 4, 325}, {25, 125, 4, 125}},
    {"no lines", 200, 100, 1, 1, false, 1, -1, {64, 200, 2, 192}, {24, 100, 3, 96}},
    {"wide lines", 200, 100, 1, 3, true, 1, -1, {67, 200, 2, 201}, {27, 100, 2, 81}},
    {"no fixed rows", 200, 100, 0, 1, true, 0, -1, {65, 200, 2, 195}, {0, 100, 3, 100}},
    {"scrolled to row 3", 200, 100, 1, 1, true, 3, -1, {65, 200, 2, 195}, {25, 75, 4, 75}},
    // A hidden row takes no room, not even its line.
    {"hidden row 2", 200, 100, 1, 1, true, 1, 2, {65, 200, 2, 195}, {25, 100, 4, 100}},
    // The first scrolling cell counts as shown even when it does not fit.
    {"client smaller than one row", 200, 30, 1, 1, true, 1, -1, {65, 200, 2, 195}, {25, 30, 1, 25}},
};

void ExpectAxis(const TGridAxisDrawInfo& Axis, const TAxisExpect& Expected, const char* Which) {
  SCOPED_TRACE(Which);
  EXPECT_EQ(Axis.FixedBoundary, Expected.FixedBoundary);
  EXPECT_EQ(Axis.GridBoundary, Expected.GridBoundary);
  EXPECT_EQ(Axis.LastFullVisibleCell, Expected.LastFullVisibleCell);
  EXPECT_EQ(Axis.FullVisBoundary, Expected.FullVisBoundary);
}

TEST_F(TGridTest, DrawInfoPerAxis) {
  for (const TDrawInfoCase& Case : DrawInfoCases) {
    SCOPED_TRACE(Case.Name);
    SetClient(Case.Width, Case.Height);
    Grid->SetFixedRows(Case.FixedRows);
    Grid->SetGridLineWidth(Case.LineWidth);
    Grid->SetOptions(Case.Lines ? TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine}
                                : TGridOptions{});
    Grid->SetDefaultRowHeight(24);
    if (Case.HiddenRow >= 0) Grid->SetRowHeights(Case.HiddenRow, -1);
    Grid->SetTopRow(Case.TopRow);
    ASSERT_EQ(Grid->TopRow(), Case.TopRow);
    TGridDrawInfo Info;
    Grid->CalcDrawInfo(Info);
    EXPECT_EQ(Info.Horz.GridExtent, Case.Width);
    EXPECT_EQ(Info.Vert.GridExtent, Case.Height);
    ExpectAxis(Info.Horz, Case.Horz, "horizontal");
    ExpectAxis(Info.Vert, Case.Vert, "vertical");
    EXPECT_EQ(Grid->VisibleRowCount(), Case.Vert.LastFullVisibleCell - Case.TopRow + 1);
    Grid->SetTopRow(Case.FixedRows);
  }
}

struct TRectCase {
  const char* Name;
  int32_t Left, Top, Right, Bottom;  // a box of cells (a cell: Left = Right, Top = Bottom)
  RECT Expected;
};

// 200 x 90 client: column 3 is cut at 200, row 3 at 90; column 4 and row 4 are not shown.
const TRectCase RectCases[] = {
    {"fixed corner", 0, 0, 0, 0, {0, 0, 64, 24}},
    {"first scrolling cell", 1, 1, 1, 1, {65, 25, 129, 49}},
    {"cut at the right", 3, 1, 3, 1, {195, 25, 200, 49}},
    {"cut at the bottom", 1, 3, 1, 3, {65, 75, 129, 90}},
    {"past the right", 4, 1, 4, 1, {0, 0, 0, 0}},
    {"past the bottom", 1, 4, 1, 4, {0, 0, 0, 0}},
    {"box of scrolling cells", 1, 1, 2, 2, {65, 25, 194, 74}},
    {"box across fixed and scrolling", 0, 0, 2, 1, {0, 0, 194, 49}},
    {"box reaching past the client", 2, 2, 4, 4, {130, 50, 200, 90}},
    {"box given backwards", 2, 2, 1, 1, {65, 25, 194, 74}},
};

TEST_F(TGridTest, CellAndBoxRectangles) {
  SetClient(200, 90);
  for (const TRectCase& Case : RectCases) {
    SCOPED_TRACE(Case.Name);
    const RECT R = Case.Left == Case.Right && Case.Top == Case.Bottom
                       ? Grid->CellRect(Case.Left, Case.Top)
                       : Grid->BoxRect(Case.Left, Case.Top, Case.Right, Case.Bottom);
    EXPECT_EQ(R.left, Case.Expected.left);
    EXPECT_EQ(R.top, Case.Expected.top);
    EXPECT_EQ(R.right, Case.Expected.right);
    EXPECT_EQ(R.bottom, Case.Expected.bottom);
  }
}

TEST_F(TGridTest, ScrolledAwayCellsHaveNoRectangle) {
  Grid->SetTopRow(3);
  const RECT Away = Grid->CellRect(1, 2);
  EXPECT_EQ(Away.right - Away.left, 0);
  const RECT First = Grid->CellRect(1, 3);
  EXPECT_EQ(First.top, 25);
  // A box that starts among the scrolled-away rows starts at the first shown one.
  const RECT Box = Grid->BoxRect(1, 1, 1, 3);
  EXPECT_EQ(Box.top, 25);
  EXPECT_EQ(Box.bottom, 49);
}

struct TPointCase {
  const char* Name;
  int X, Y;
  TGridCoord Expected;
};

const TPointCase PointCases[] = {
    {"inside the fixed corner", 10, 10, {0, 0}},
    {"a line belongs to the cell before it", 64, 24, {0, 0}},
    {"first pixel after a line", 65, 25, {1, 1}},
    {"last client pixel, in a cut cell", 199, 89, {3, 3}},
    {"left of the client", -1, 10, {-1, -1}},
    {"below the client", 10, 90, {-1, -1}},
};

TEST_F(TGridTest, MouseCoordOfPoints) {
  SetClient(200, 90);
  for (const TPointCase& Case : PointCases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Grid->MouseCoord(Case.X, Case.Y), Case.Expected);
  }
  // Past the last cell of a grid narrower than its client: no cell.
  Grid->SetColCount(2);
  EXPECT_EQ(Grid->MouseCoord(150, 30), (TGridCoord{-1, -1}));
}

// Every shown cell's rectangle hits that cell at its corners, and its lines hit it too; checked
// over several origins and line widths.
TEST_F(TGridTest, MouseCoordInvertsCellRect) {
  SetClient(230, 110);
  Grid->SetColCount(8);
  Grid->SetRowCount(9);
  Grid->SetColWidths(2, 10);
  Grid->SetRowHeights(3, 40);
  Grid->SetRowHeights(5, -1);
  for (int32_t LineWidth : {0, 1, 4}) {
    for (int32_t Top : {1, 2, 4}) {
      SCOPED_TRACE(testing::Message() << "line " << LineWidth << ", top " << Top);
      Grid->SetGridLineWidth(LineWidth);
      Grid->SetTopRow(Top);
      for (int32_t Row = 0; Row < Grid->RowCount(); ++Row) {
        for (int32_t Col = 0; Col < Grid->ColCount(); ++Col) {
          const RECT R = Grid->CellRect(Col, Row);
          if (R.right <= R.left || R.bottom <= R.top) continue;
          const TGridCoord Cell{Col, Row};
          EXPECT_EQ(Grid->MouseCoord(R.left, R.top), Cell) << Col << "," << Row;
          EXPECT_EQ(Grid->MouseCoord(R.right - 1, R.bottom - 1), Cell) << Col << "," << Row;
          if (LineWidth > 0 && R.right < 230 && R.bottom < 110) {
            EXPECT_EQ(Grid->MouseCoord(R.right, R.bottom), Cell) << "line of " << Col << "," << Row;
          }
        }
      }
    }
  }
}

TEST_F(TGridTest, ShapeChangesKeepTheCurrentCellInside) {
  Grid->SetRowCount(10);
  Grid->SetRow(9);
  EXPECT_EQ(Grid->TopRow(), 7);
  Grid->SetRowCount(4);
  EXPECT_EQ(Grid->Row(), 3);
  EXPECT_LE(Grid->TopRow(), 3);
  // No scrolling row would remain.
  EXPECT_THROW(Grid->SetFixedRows(4), EInvalidGridOperation);
  // A row count at or below the fixed count takes the fixed count down with it.
  Grid->SetRowCount(1);
  EXPECT_EQ(Grid->FixedRows(), 0);
  EXPECT_EQ(Grid->Row(), 0);
  EXPECT_THROW(Grid->SetRowHeights(1, 10), EInvalidGridOperation);
  EXPECT_EQ(Grid->RowHeights(7), 24);  // out of range reads the default
}

TEST_F(TGridTest, DefaultExtentsForgetOwnExtents) {
  Grid->SetColWidths(2, 30);
  EXPECT_EQ(Grid->ColWidths(2), 30);
  EXPECT_EQ(Grid->ColWidthChanges, 1);
  Grid->SetColWidths(2, 30);  // unchanged: no notice
  EXPECT_EQ(Grid->ColWidthChanges, 1);
  Grid->SetDefaultColWidth(50);
  EXPECT_EQ(Grid->ColWidths(2), 50);
  EXPECT_EQ(Grid->ColWidthChanges, 2);
  Grid->SetDefaultRowHeight(18);
  EXPECT_EQ(Grid->RowHeights(1), 18);
  EXPECT_EQ(Grid->RowHeightChanges, 1);
}

}  // namespace
}  // namespace FormsTest
