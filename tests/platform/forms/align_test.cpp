// Alignment and anchors of child controls.

#include <gtest/gtest.h>

#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

struct TChildSpec {
  TAlign Align;
  RECT Bounds;  // before the layout (left, top, width, height as a RECT of Bounds())
  bool Visible = true;
};

struct TAlignCase {
  const char* Name;
  std::vector<TChildSpec> Children;
  std::vector<RECT> Expected;  // BoundsRect() of each child afterwards
};

// The parent's client area is 200 x 100 in every case.
const TAlignCase AlignCases[] = {
    // top, bottom, left, right and client share the space in that order
    {"all five",
     {{alClient, Bounds(0, 0, 10, 10)},
      {alRight, Bounds(0, 0, 30, 10)},
      {alLeft, Bounds(0, 0, 20, 10)},
      {alBottom, Bounds(0, 0, 10, 15)},
      {alTop, Bounds(0, 0, 10, 10)}},
     {Rect(20, 10, 170, 85), Rect(170, 10, 200, 85), Rect(0, 10, 20, 85), Rect(0, 85, 200, 100),
      Rect(0, 0, 200, 10)}},
    // two top controls keep their order on screen, whatever their creation order
    {"two tops in screen order",
     {{alTop, Bounds(0, 50, 10, 20)}, {alTop, Bounds(0, 5, 10, 10)}},
     {Rect(0, 10, 200, 30), Rect(0, 0, 200, 10)}},
    // two bottoms: the lower one stays at the bottom edge
    {"two bottoms",
     {{alBottom, Bounds(0, 90, 10, 10)}, {alBottom, Bounds(0, 60, 10, 20)}},
     {Rect(0, 90, 200, 100), Rect(0, 70, 200, 90)}},
    // a hidden control takes no space and is left where it was
    {"hidden top",
     {{alTop, Bounds(0, 0, 10, 30), false}, {alTop, Bounds(0, 40, 10, 10)}, {alClient, Bounds(0, 0, 5, 5)}},
     {Bounds(0, 0, 10, 30), Rect(0, 0, 200, 10), Rect(0, 10, 200, 100)}},
    // left and right take the whole height between top and bottom strips
    {"left right between strips",
     {{alLeft, Bounds(0, 0, 50, 1)}, {alTop, Bounds(0, 0, 1, 20)}, {alRight, Bounds(0, 0, 40, 1)}},
     {Rect(0, 20, 50, 100), Rect(0, 0, 200, 20), Rect(160, 20, 200, 100)}},
    // controls larger than the space still get their own width (client gets a negative rest)
    {"client squeezed out",
     {{alLeft, Bounds(0, 0, 150, 1)}, {alRight, Bounds(0, 0, 100, 1)}, {alClient, Bounds(0, 0, 1, 1)}},
     {Rect(0, 0, 150, 100), Rect(100, 0, 200, 100), Rect(150, 0, 151, 100)}},
    // unaligned controls stay put
    {"none stays",
     {{alNone, Bounds(7, 8, 9, 10)}, {alClient, Bounds(0, 0, 1, 1)}},
     {Bounds(7, 8, 9, 10), Rect(0, 0, 200, 100)}},
};

class AlignTest : public TFormsTest {};

TEST_F(AlignTest, LayoutTable) {
  for (const auto& Case : AlignCases) {
    SCOPED_TRACE(Case.Name);
    TForm* Form = new TForm(nullptr, 0);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 200, 100);
    std::vector<TTestPanel*> Children;
    Form->DisableAlign();
    for (const auto& Spec : Case.Children) {
      auto* Child = new TTestPanel(Form);
      Child->SetVisible(Spec.Visible);
      Child->SetBoundsRect(Spec.Bounds);
      Child->SetAlign(Spec.Align);
      Child->SetParent(Form);
      Children.push_back(Child);
    }
    Form->EnableAlign();
    for (size_t Index = 0; Index < Children.size(); ++Index) {
      SCOPED_TRACE(Index);
      EXPECT_EQ(Children[Index]->BoundsRect(), Case.Expected[Index]);
    }
    Form->Free();
  }
}

TEST_F(AlignTest, ShowingAHiddenControlTakesItsPlaceAgain) {
  TForm* Form = new TForm(nullptr, 0);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 100);
  auto* Top = new TTestPanel(Form);
  Top->SetHeight(30);
  Top->SetAlign(alTop);
  Top->SetParent(Form);
  auto* Client = new TTestPanel(Form);
  Client->SetAlign(alClient);
  Client->SetParent(Form);
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 30, 200, 100));
  Top->SetVisible(false);
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 0, 200, 100));
  Top->SetVisible(true);
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 200, 30));
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 30, 200, 100));
  // Resizing an aligned control moves its neighbours.
  Top->SetHeight(50);
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 50, 200, 100));
  Form->Free();
}

TEST_F(AlignTest, ParentResizeRealignsAndMovesAnchoredControls) {
  TForm* Form = new TForm(nullptr, 0);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 100);
  auto* Client = new TTestPanel(Form);
  Client->SetAlign(alClient);
  Client->SetParent(Form);
  // A button kept at the bottom-right corner, and a bar stretched with the width.
  auto* Corner = new TTestPanel(Form);
  Corner->SetBounds(150, 70, 40, 20);
  Corner->SetParent(Form);
  Corner->SetAnchors({akRight, akBottom});
  auto* Bar = new TTestPanel(Form);
  Bar->SetBounds(10, 5, 180, 10);
  Bar->SetParent(Form);
  Bar->SetAnchors({akLeft, akTop, akRight});
  Form->Show();
  Pump();
  Form->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 0, 300, 150));
  EXPECT_EQ(Corner->BoundsRect(), Bounds(250, 120, 40, 20));
  EXPECT_EQ(Bar->BoundsRect(), Bounds(10, 5, 280, 10));
  Form->Free();
}

TEST_F(AlignTest, ControlThatAskedForTheLayoutGoesFirst) {
  TForm* Form = new TForm(nullptr, 0);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 100);
  auto* A = new TTestPanel(Form);
  A->SetBounds(0, 0, 10, 10);
  A->SetAlign(alTop);
  A->SetParent(Form);
  auto* B = new TTestPanel(Form);
  B->SetBounds(0, 0, 10, 20);
  B->SetAlign(alTop);
  B->SetParent(Form);
  // B was inserted last and asked for the layout, so it went first (at the top).
  EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(A->BoundsRect(), Rect(0, 20, 200, 30));
  // Moving A above B puts it first.
  A->SetTop(-1);
  EXPECT_EQ(A->BoundsRect(), Rect(0, 0, 200, 10));
  EXPECT_EQ(B->BoundsRect(), Rect(0, 10, 200, 30));
  Form->Free();
}

}  // namespace
}  // namespace FormsTest
