// The default painting of a grid: DrawCell once per shown cell with its state, fixed cells in
// the fixed colour, the selection highlighted, the lines, and the client area past the cells.
// The picture is written as PNG ($KORCAM_TEST_IMAGES or /tmp/korcam-forms-images/grid.png).

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/forms/forms_fixture.h"
#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
namespace {

std::unique_ptr<TBitmap> Render(TWinControl* Control) {
  auto Picture = MakeBitmap(Control->Width(), Control->Height(), pf24bit, clFuchsia);
  Control->PaintTo(Picture->Canvas(), 0, 0);
  return Picture;
}

TEST_F(TGridTest, DrawCellPerShownCellWithItsState) {
  SetClient(200, 90);
  Grid->SetOptions(Grid->Options() + goRangeSelect);
  Grid->SetSelection(TGridRect{1, 1, 2, 1});
  Grid->SetFocus();
  Pump();
  Grid->Drawn.clear();
  auto Picture = Render(Grid);
  // Columns 0 to 3 and rows 0 to 3 are (at least partly) shown: 16 cells, each once.
  EXPECT_EQ(Grid->Drawn.size(), 16u);
  auto StateOf = [&](int32_t Col, int32_t Row) {
    auto It = std::find_if(Grid->Drawn.begin(), Grid->Drawn.end(),
                           [&](const auto& Entry) { return Entry.first == TGridCoord{Col, Row}; });
    return It == Grid->Drawn.end() ? TGridDrawState{} : It->second;
  };
  EXPECT_EQ(StateOf(0, 2), TGridDrawState{gdFixed});
  EXPECT_EQ(StateOf(2, 0), TGridDrawState{gdFixed});
  // SetSelection put the current cell at its bottom-right corner.
  EXPECT_EQ(StateOf(2, 1), (TGridDrawState{gdSelected, gdFocused}));
  EXPECT_EQ(StateOf(1, 1), TGridDrawState{gdSelected});
  EXPECT_EQ(StateOf(1, 2), TGridDrawState{});
}

TEST_F(TGridTest, RenderedGrid) {
  SetClient(230, 110);
  Grid->SetColCount(4);
  Grid->SetRowCount(4);
  Grid->SetColWidths(0, 40);
  Grid->SetRowHeights(2, 30);
  Grid->SetOptions(Grid->Options() + goRangeSelect + goDrawFocusSelected);
  Grid->SetSelection(TGridRect{1, 2, 2, 3});
  Grid->SetFocus();
  Pump();
  auto Picture = Render(Grid);
  const std::string Path = SavePng(*Picture, "grid", 3);
  SCOPED_TRACE(Path);
  // The grid is 40 + 3 x 64 + 4 lines = 236 wide: the last column is cut at 230. Rows end at
  // 25, 50, 81, 106: the client below 106 is the grid's colour.
  EXPECT_EQ(PixelOf(*Picture, 20, 12), ColorToRGB(clBtnFace));      // fixed corner
  EXPECT_EQ(PixelOf(*Picture, 40, 12), clBlack);                    // fixed vertical line
  EXPECT_EQ(PixelOf(*Picture, 80, 24), clBlack);                    // fixed horizontal line
  EXPECT_EQ(PixelOf(*Picture, 80, 40), ColorToRGB(clWindow));       // a plain cell
  EXPECT_EQ(PixelOf(*Picture, 105, 40), clSilver);                  // scrolling vertical line
  EXPECT_EQ(PixelOf(*Picture, 80, 60), ColorToRGB(clHighlight));    // selected
  EXPECT_EQ(PixelOf(*Picture, 150, 95), ColorToRGB(clHighlight));   // selected, current
  EXPECT_EQ(PixelOf(*Picture, 80, 108), ColorToRGB(clWindow));      // past the last row
  EXPECT_EQ(PixelOf(*Picture, 229, 40), ColorToRGB(clWindow));      // the cut column
}

// The published grid: its hooks are events, its shape is in the property table.
TEST_F(TGridTest, DrawGridEventsAndProperties) {
  auto* Draw = new TDrawGrid(Form);
  Draw->SetBounds(0, 120, 260, 80);
  Draw->SetParent(Form);
  SetOrdProp(Draw, "ColCount", 3);
  SetOrdProp(Draw, "RowCount", 3);
  SetOrdProp(Draw, "DefaultRowHeight", 20);
  EXPECT_EQ(Draw->ColCount(), 3);
  EXPECT_EQ(GetOrdProp(Draw, "Options"), 0x1F);  // the four line kinds and range selection
  Draw->OnDrawCell = TDrawCellEvent([Draw](TObject*, int32_t Col, int32_t Row, RECT R, TGridDrawState) {
    TCanvas* Canvas = Draw->Canvas();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextOut(R.left + 2, R.top + 2, std::to_string(Col) + "," + std::to_string(Row));
  });
  std::vector<TGridCoord> Asked;
  Draw->OnSelectCell = TSelectCellEvent([&](TObject*, int32_t Col, int32_t Row, bool& CanSelect) {
    Asked.push_back({Col, Row});
    CanSelect = Row != 2;
  });
  int TopLeftChanges = 0;
  Draw->OnTopLeftChanged = TNotifyEvent([&](TObject*) { ++TopLeftChanges; });
  Draw->SetRow(2);
  EXPECT_EQ(Draw->Row(), 1);
  Draw->SetCol(2);
  EXPECT_EQ(Draw->Col(), 2);
  EXPECT_EQ(Asked, (std::vector<TGridCoord>{{1, 2}, {2, 1}}));
  Draw->SetTopRow(2);
  EXPECT_EQ(TopLeftChanges, 1);
  Draw->SetTopRow(1);
  Pump();
  auto Picture = Render(Draw);
  SavePng(*Picture, "drawgrid", 3);
  // Some text was drawn into the first scrolling cell (dark pixels of the black font).
  bool Ink = false;
  for (int Y = 23; Y < 40; ++Y)
    for (int X = 67; X < 90; ++X) Ink = Ink || (PixelOf(*Picture, X, Y) & 0xFF) < 0x60;
  EXPECT_TRUE(Ink);
}

}  // namespace
}  // namespace FormsTest
