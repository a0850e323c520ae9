// Tree view painting: the row geometry (button rectangle, centre, button x), the dotted line, the
// expand box and check box sizes, the colours chosen per item state (selection focused or not,
// hidden selection, the inactive colour, multi-selection, links), OnDrawText and a bold font
// from OnCalcNodeAttributes; and the whole view rendered for looking at.

#include "vcontrols/treeview/vccanvas.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/font.h"
#include "platform/forms/imagelist.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "tests/platform/forms/widgets/widgettest.h"
#include "tests/vcontrols/treeview/treetest.h"
#include "vcontrols/treeview/vctreeview.h"

namespace TreeTest {
namespace {

using TreePaintTest = TTreeViewTest;

uint32_t Rgb(TColor Color) { return uint32_t(ColorToRGB(Color)); }
uint32_t At(TvcTreeView* View, int X, int Y) { return Rgb(FormsTest::PixelAt(View, X, Y)); }

TEST(TreeGeometry, RectCenterTakesTheOddHalfRule) {
  struct TCase {
    RECT Rect;
    POINT Center;
  };
  const TCase Cases[] = {
      {{0, 0, 16, 16}, {8, 8}},    // half 8: even
      {{0, 0, 10, 18}, {5, 10}},   // half 9: odd, (18 + 2) / 2
      {{4, 2, 9, 17}, {6, 10}},    // height 15, half 7: odd, 2 + 17 / 2
      {{0, 0, 0, 0}, {0, 0}},
  };
  for (const TCase& Case : Cases) {
    const POINT Center = TvcCustomTreeView::GetRectCenter(Case.Rect);
    EXPECT_EQ(Center.x, Case.Center.x);
    EXPECT_EQ(Center.y, Case.Center.y);
  }
}

TEST_F(TreePaintTest, ButtonRectangleAndButtonX) {
  const auto Nodes = Build({"a", " a1"});
  Nodes[0]->Expand(false);
  const int Indent = View->Indent();
  RECT Text = Nodes[1]->DisplayRect(true);
  RECT Button = View->GetButtonRect(Nodes[1]);
  EXPECT_EQ(Button.right, Text.left);
  EXPECT_EQ(Button.right - Button.left, Indent);
  const int Height = Text.bottom - Text.top;
  EXPECT_EQ(View->GetButtonX(Nodes[1]), Button.left + 1 + std::min(Height / 2 / 2 + 2, 6));
  // An image: the button column sits left of it (its width + 1).
  auto* Images = new TImageList(Form);
  Images->SetSize(16, 16);
  View->SetImages(Images);
  Text = Nodes[1]->DisplayRect(true);
  Button = View->GetButtonRect(Nodes[1]);
  EXPECT_EQ(Button.right, Text.left - 17);
  // A check box: its state slot too.
  Nodes[1]->SetCheckboxType(vccbCheckbox);
  Text = Nodes[1]->DisplayRect(true);
  Button = View->GetButtonRect(Nodes[1]);
  EXPECT_EQ(Button.right, Text.left - 17 - 16);
  EXPECT_EQ(Button.right - Button.left, Indent);
}

TEST(TreeCanvas, DottedLineSetsEverySecondPixel) {
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetSize(8, 20);
  Bitmap->Canvas()->Brush()->SetColor(clWhite);
  Bitmap->Canvas()->FillRect(RECT{0, 0, 8, 20});
  TvcCanvas Canvas;
  Canvas.SetHandle(Bitmap->Canvas()->Handle());
  Canvas.Pen()->SetColor(clRed);
  Canvas.DottedLine(POINT{3, 2}, POINT{3, 18});
  Canvas.SetHandle(nullptr);
  std::string Column;
  for (int Y = 0; Y < 20; ++Y) Column += Bitmap->Canvas()->Pixels(3, Y) == clRed ? 'x' : '.';
  EXPECT_EQ(Column, "..x.x.x.x.x.x.x.x.x.");
  // Horizontal likewise.
  Canvas.SetHandle(Bitmap->Canvas()->Handle());
  Canvas.DottedLine(POINT{0, 0}, POINT{6, 0});
  Canvas.SetHandle(nullptr);
  std::string Row;
  for (int X = 0; X < 8; ++X) Row += Bitmap->Canvas()->Pixels(X, 0) == clRed ? 'x' : '.';
  EXPECT_EQ(Row, "x.x.x.x.");
}

TEST_F(TreePaintTest, ExpandBoxAndCheckBoxSizes) {
  const auto Nodes = Build({"parent", " child", "box"});
  Nodes[2]->SetCheckboxType(vccbCheckbox);
  View->SetOptions(View->Options() - TvcTreeViewOptions{tvoShowLines});
  View->Repaint();
  ASSERT_EQ(View->ItemHeight(), 16);
  // The flat box: 9 x 9, framed in the button shadow colour, centred on the button x.
  const RECT Row = Nodes[0]->DisplayRect(false);
  const int X = View->GetButtonX(Nodes[0]);
  const int Y = TvcCustomTreeView::GetRectCenter(View->GetButtonRect(Nodes[0])).y;
  EXPECT_EQ(At(View, X - 4, Y), Rgb(clBtnShadow));
  EXPECT_EQ(At(View, X + 4, Y), Rgb(clBtnShadow));
  EXPECT_EQ(At(View, X, Y - 4), Rgb(clBtnShadow));
  EXPECT_EQ(At(View, X - 5, Y), Rgb(clWindow));
  EXPECT_EQ(At(View, X + 5, Y), Rgb(clWindow));
  EXPECT_EQ(At(View, X, Y - 2), 0u);  // the plus's stroke
  (void)Row;
  // The check box: 13 x 13 from B.right + 1.
  const RECT Button = View->GetButtonRect(Nodes[2]);
  const int CY = TvcCustomTreeView::GetRectCenter(Button).y;
  const int Left = Button.right + 1, Top = CY - 6;
  EXPECT_EQ(At(View, Left + 6, Top + 6), Rgb(clWindow));  // inside
  EXPECT_NE(At(View, Left, Top + 6), Rgb(clWindow));       // its left and top edges
  EXPECT_NE(At(View, Left + 6, Top), Rgb(clWindow));
  EXPECT_EQ(At(View, Left + 6, Top - 1), Rgb(clWindow));   // above and left of it
  EXPECT_EQ(At(View, Left - 1, Top + 6), Rgb(clWindow));
}

// The colours an item is painted with, as OnCalcNodeAttributes sees them (after the view chose
// them, before the handler may change them).
struct TColours {
  TColor Brush, Font;
  bool Underlined;
};

TEST_F(TreePaintTest, ColoursPerItemState) {
  const auto Nodes = Build({"selected", "plain", "link"});
  Nodes[2]->SetDataText("https://example.org");
  std::map<std::string, TColours> Seen;
  View->OnCalcNodeAttributes = TvcCalcNodeAttributesEvent([&](TvcCustomTreeView* Tree, TvcTreeNode* Node, TvcItemStates) {
    TCanvas* Canvas = static_cast<TCanvas*>(Tree->Canvas());
    Seen[Node->Text()] = TColours{Canvas->Brush()->Color(), Canvas->Font()->Color(),
                                  Canvas->Font()->Style().Contains(fsUnderline)};
  });
  struct TCase {
    const char* Name;
    std::function<void()> Setup;
    const char* Node;
    TColor Brush, Font;
  };
  const TCase Cases[] = {
      {"selected in the focused view", [&] { View->SetFocus(); }, "selected", clHighlight, clHighlightText},
      {"selected, view without focus", [&] { ::SetFocus(Form->Handle()); }, "selected",
       clBtnFace, clWindowText},
      {"inactive colour equal to Color: grey",
       [&] { View->SetInactiveFocusColor(clWindow); }, "selected", clGray, clWindowText},
      {"hidden selection", [&] { View->SetOptions(View->Options() + TvcTreeViewOptions{tvoHideSelection}); },
       "selected", clWindow, clWindowText},
      {"an item not selected", [] {}, "plain", clWindow, clWindowText},
      {"a link", [] {}, "link", clWindow, clBlue},
  };
  View->SetOptions(View->Options() - TvcTreeViewOptions{tvoHideSelection} + TvcTreeViewOptions{tvoAutoURL});
  Nodes[0]->SetSelected(true);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Case.Setup();
    Pump();
    Seen.clear();
    View->Repaint();
    ASSERT_TRUE(Seen.count(Case.Node));
    EXPECT_EQ(Rgb(Seen[Case.Node].Brush), Rgb(Case.Brush));
    EXPECT_EQ(Rgb(Seen[Case.Node].Font), Rgb(Case.Font));
  }
  EXPECT_TRUE(Seen["link"].Underlined);
  // The selected link of the focused view: the highlight's text colour, still underlined.
  View->SetOptions(View->Options() - TvcTreeViewOptions{tvoHideSelection});
  Nodes[2]->SetSelected(true);
  View->SetFocus();
  Pump();
  Seen.clear();
  View->Repaint();
  EXPECT_EQ(Rgb(Seen["link"].Font), Rgb(clHighlightText));
  EXPECT_TRUE(Seen["link"].Underlined);
  // Multi-selection: the multi-selected nodes are highlighted, the selection itself is not.
  View->MultiSelectAttributes()->SetEnabled(true);
  Nodes[1]->SetMultiSelected(true);
  Seen.clear();
  View->Repaint();
  EXPECT_EQ(Rgb(Seen["plain"].Brush), Rgb(clHighlight));
  EXPECT_EQ(Rgb(Seen["link"].Brush), Rgb(clWindow));
}

TEST_F(TreePaintTest, OnDrawTextAndABoldFont) {
  const auto Nodes = Build({"drawn", "bold"});
  View->SetFocus();
  Nodes[1]->SetSelected(true);
  bool Default = true;
  std::set<std::string> Drawn;
  View->OnDrawText = TvcTVDrawTextEvent([&](TvcCustomTreeView*, TvcTreeNode* Node, RECT, TvcItemStates,
                                            bool& DefaultDrawing) {
    Drawn.insert(Node->Text());
    DefaultDrawing = Default;
  });
  View->OnCalcNodeAttributes = TvcCalcNodeAttributesEvent([](TvcCustomTreeView* Tree, TvcTreeNode* Node, TvcItemStates) {
    if (Node->Text() == "bold") static_cast<TCanvas*>(Tree->Canvas())->Font()->SetStyle(TFontStyles{fsBold});
  });
  Pump();
  View->Repaint();
  EXPECT_EQ(Drawn, (std::set<std::string>{"bold", "drawn"}));
  // The highlight of the bold node reaches past the window's text rectangle (measured plain).
  const RECT Text = Nodes[1]->DisplayRect(true);
  EXPECT_EQ(At(View, Text.right + 1, (Text.top + Text.bottom) / 2), Rgb(clHighlight));
  // Without default drawing no text and no focus rectangle: the highlight is one colour.
  Default = false;
  View->Repaint();
  bool OneColour = true;
  for (int X = Text.left + 1; X < Text.right - 1; ++X)
    for (int Y = Text.top + 1; Y < Text.bottom - 2; ++Y) OneColour &= At(View, X, Y) == Rgb(clHighlight);
  EXPECT_TRUE(OneColour);
}

TEST_F(TreePaintTest, RenderedForLooking) {
  View->SetBounds(8, 8, 270, 230);
  View->SetOptions(View->Options() + TvcTreeViewOptions{tvo3StateCheckbox, tvoAutoURL});
  const auto Nodes = Build({"Options", " Show lines", " Show buttons", " Three states", " Sizes", "  Small", "  Medium",
                            "  Large", "Links", " korvane.example", "A node whose text is far too long to fit into the width of this tree view"});
  for (int Index = 1; Index <= 3; ++Index) Nodes[size_t(Index)]->SetCheckboxType(vccbCheckbox);
  Nodes[1]->SetChecked(true);
  Nodes[3]->SetChecked(true);
  Nodes[3]->SetGrayed(true);
  for (int Index = 5; Index <= 7; ++Index) Nodes[size_t(Index)]->SetCheckboxType(vccbRadioButton);
  Nodes[6]->SetChecked(true);
  Nodes[9]->SetDataText("https://korvane.example");
  View->FullExpand();
  View->SetFocus();
  Nodes[2]->SetSelected(true);
  Pump();
  const POINT Long = PointOf(Nodes[10], TPart::Label);
  FormsTest::MoveTo(View, Long.x + 30, Long.y);
  Pump();
  ASSERT_NE(View->HintWindow(), nullptr);
  FormsTest::SaveWindowPng(View, "treeview");
  FormsTest::SaveWindowPng(View->HintWindow(), "treeview_hint");
  // Lines, buttons and boxes are where the geometry says.
  const int X = View->GetButtonX(Nodes[4]);
  const int Y = TvcCustomTreeView::GetRectCenter(View->GetButtonRect(Nodes[4])).y;
  EXPECT_EQ(At(View, X - 4, Y), Rgb(clBtnShadow));
}

}  // namespace
}  // namespace TreeTest
