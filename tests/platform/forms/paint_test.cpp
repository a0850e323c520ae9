// Painting: windowless controls on their parent's context, clipping of children and siblings,
// transparent windows, window regions, copies of a control painted elsewhere, double buffering.

#include <gtest/gtest.h>

#include "platform/forms/bitmap.h"
#include "platform/gdi/gdi.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class PaintTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 200, 150);
    Form->SetColor(clWhite);
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TTestPanel* AddPanel(TWinControl* Parent, RECT Bounds, TColor Color) {
    auto* Panel = new TTestPanel(Form);
    Panel->SetBoundsRect(Bounds);
    Panel->SetColor(Color);
    Panel->SetParent(Parent);
    return Panel;
  }
  TTestShape* AddShape(TWinControl* Parent, RECT Bounds, TColor Color) {
    auto* Shape = new TTestShape(Form);
    Shape->SetBoundsRect(Bounds);
    Shape->SetColor(Color);
    Shape->SetParent(Parent);
    return Shape;
  }
  void Show() {
    Form->Show();
    Pump();
  }
  TForm* Form;
};

TEST_F(PaintTest, WindowlessControlsPaintOnTheirParentClippedToThemselves) {
  TTestPanel* Panel = AddPanel(Form, Bounds(20, 20, 100, 80), clBlue);
  TTestShape* Shape = AddShape(Panel, Bounds(10, 10, 30, 20), clRed);
  // A shape that paints beyond its rectangle is cut at its edges.
  Shape->InnerColor = clLime;
  Show();
  EXPECT_EQ(Shape->PaintCount, 1);
  EXPECT_EQ(PixelAt(Form, 5, 5), clWhite);
  EXPECT_EQ(PixelAt(Panel, 0, 0), clBlue);
  EXPECT_EQ(PixelAt(Panel, 10, 10), clRed);   // the shape's top-left
  EXPECT_EQ(PixelAt(Panel, 39, 29), clRed);   // its bottom-right pixel
  EXPECT_EQ(PixelAt(Panel, 40, 30), clBlue);  // just outside
  EXPECT_EQ(PixelAt(Panel, 25, 20), clLime);  // the inner square
  EXPECT_EQ(PixelAt(Form, 20 + 25, 20 + 20), clLime);

  // Invalidating the shape repaints it (through its parent) with the next messages.
  Shape->SetColor(clYellow);
  Pump();
  EXPECT_EQ(Shape->PaintCount, 2);
  EXPECT_EQ(PixelAt(Panel, 10, 10), clYellow);
  // Hiding it shows the parent beneath.
  Shape->SetVisible(false);
  Pump();
  EXPECT_EQ(PixelAt(Panel, 10, 10), clBlue);
  // Moving it repaints both places.
  Shape->SetVisible(true);
  Shape->SetLeft(60);
  Pump();
  EXPECT_EQ(PixelAt(Panel, 10, 10), clBlue);
  EXPECT_EQ(PixelAt(Panel, 60, 10), clYellow);
}

TEST_F(PaintTest, ParentsDoNotPaintOverChildrenNorLowerSiblingsOverUpperOnes) {
  TTestPanel* Lower = AddPanel(Form, Bounds(10, 10, 100, 100), clBlue);
  TTestPanel* Upper = AddPanel(Form, Bounds(60, 60, 100, 60), clRed);  // added later: on top
  TTestPanel* Child = AddPanel(Lower, Bounds(10, 10, 20, 20), clLime);
  Show();
  auto Check = [&](const char* When) {
    SCOPED_TRACE(When);
    EXPECT_EQ(PixelAt(Form, 15, 15), clBlue);
    EXPECT_EQ(PixelAt(Form, 25, 25), clLime);  // the child inside Lower
    EXPECT_EQ(PixelAt(Form, 70, 70), clRed);   // Upper over Lower
    EXPECT_EQ(PixelAt(Form, 150, 70), clRed);
    EXPECT_EQ(PixelAt(Form, 170, 20), clWhite);
  };
  Check("after showing");
  // Lower paints again, alone: the child and the sibling above keep their pixels.
  const int ChildPaints = Child->PaintCount, UpperPaints = Upper->PaintCount;
  Lower->Repaint();
  EXPECT_EQ(Child->PaintCount, ChildPaints);
  EXPECT_EQ(Upper->PaintCount, UpperPaints);
  Check("after Lower.Repaint");
  // Sending Upper to the back lets Lower show through.
  Upper->SendToBack();
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Pump();
  EXPECT_EQ(PixelAt(Form, 70, 70), clBlue);
  EXPECT_EQ(PixelAt(Form, 150, 70), clRed);
}

TEST_F(PaintTest, TransparentWindowShowsWhatItsParentPaintsBeneath) {
  TTestPanel* Back = AddPanel(Form, Bounds(10, 10, 150, 100), clBlue);
  TTestShape* Mark = AddShape(Back, Bounds(20, 20, 10, 10), clRed);
  TTestPanel* Glass = AddPanel(Back, Bounds(10, 10, 60, 60), clLime);
  Glass->SetTransparent(true);
  TTestShape* Dot = AddShape(Glass, Bounds(40, 40, 5, 5), clYellow);
  Show();
  EXPECT_EQ(PixelAt(Back, 12, 12), clBlue);    // under the glass: the parent's colour
  EXPECT_EQ(PixelAt(Back, 25, 25), clRed);     // and the parent's windowless child
  EXPECT_EQ(PixelAt(Back, 52, 52), clYellow);  // the glass's own child on top
  // Repainting the parent beneath shows through again.
  Mark->SetColor(clFuchsia);
  Pump();
  EXPECT_EQ(PixelAt(Back, 25, 25), clFuchsia);
  EXPECT_EQ(PixelAt(Back, 52, 52), clYellow);
  (void)Dot;
}

TEST_F(PaintTest, WindowRegionLimitsHitsAndPaint) {
  TTestPanel* Round = AddPanel(Form, Bounds(20, 20, 100, 100), clBlue);
  Show();
  SetWindowRgn(Round->Handle(), CreateEllipticRgn(0, 0, 100, 100), TRUE);
  Round->Repaint();
  Form->Repaint();
  Pump();
  EXPECT_EQ(PixelAt(Form, 20 + 50, 20 + 50), clBlue);  // the centre
  EXPECT_EQ(PixelAt(Form, 20 + 2, 20 + 2), clWhite);   // a corner outside the ellipse
  int RoundClicks = 0, FormClicks = 0;
  Round->OnClick = TNotifyEvent([&](TObject*) { ++RoundClicks; });
  Form->OnClick = TNotifyEvent([&](TObject*) { ++FormClicks; });
  InjectMouseClick(VK_LBUTTON, 22, 22);
  Pump();
  FClock->Advance(1000);
  InjectMouseClick(VK_LBUTTON, 70, 70);
  Pump();
  EXPECT_EQ(FormClicks, 1);
  EXPECT_EQ(RoundClicks, 1);
}

TEST_F(PaintTest, PaintToCopiesTheControlAndItsChildrenIntoAnotherCanvas) {
  TTestPanel* Source = AddPanel(Form, Bounds(10, 10, 60, 40), clBlue);
  TTestShape* Shape = AddShape(Source, Bounds(5, 5, 10, 10), clRed);
  TTestPanel* Child = AddPanel(Source, Bounds(30, 10, 20, 20), clLime);
  Show();
  TBitmap Copy;
  Copy.SetSize(100, 60);
  Copy.Canvas()->Brush()->SetColor(clWhite);
  Copy.Canvas()->FillRect(RECT{0, 0, 100, 60});
  Shape->CopyPainted = false;
  Source->PaintTo(Copy.Canvas(), 20, 10);
  EXPECT_TRUE(Shape->CopyPainted);
  EXPECT_FALSE(Source->ControlState().Contains(csPaintCopy));
  EXPECT_EQ(Copy.Canvas()->Pixels(5, 5), clWhite);
  EXPECT_EQ(Copy.Canvas()->Pixels(20, 10), clBlue);
  EXPECT_EQ(Copy.Canvas()->Pixels(20 + 7, 10 + 7), clRed);
  EXPECT_EQ(Copy.Canvas()->Pixels(20 + 35, 10 + 15), clLime);
  EXPECT_EQ(Copy.Canvas()->Pixels(20 + 59, 10 + 39), clBlue);
  EXPECT_EQ(Copy.Canvas()->Pixels(20 + 60, 10 + 40), clWhite);  // clipped to the control
  (void)Child;
}

TEST_F(PaintTest, CanvasOutsidePaintingDrawsOnTheScreenClippedToTheControl) {
  TTestPanel* Panel = AddPanel(Form, Bounds(10, 10, 100, 80), clBlue);
  TTestShape* Shape = AddShape(Panel, Bounds(20, 20, 10, 10), clRed);
  Show();
  // A windowless control's canvas is its parent's window, moved to the control and clipped to it.
  Shape->Canvas()->Brush()->SetColor(clLime);
  Shape->Canvas()->FillRect(RECT{-5, -5, 50, 50});
  EXPECT_EQ(PixelAt(Panel, 20, 20), clLime);
  EXPECT_EQ(PixelAt(Panel, 29, 29), clLime);
  EXPECT_EQ(PixelAt(Panel, 30, 30), clBlue);
  EXPECT_EQ(PixelAt(Panel, 19, 19), clBlue);
  // A windowed control's canvas is its own client area.
  Panel->Canvas()->Brush()->SetColor(clYellow);
  Panel->Canvas()->FillRect(RECT{0, 0, 5, 5});
  EXPECT_EQ(PixelAt(Panel, 4, 4), clYellow);
  EXPECT_EQ(PixelAt(Form, 9, 9), clWhite);
  // The canvases give their DCs back when the application is idle; drawing again makes new ones.
  Application->Idle();
  Shape->Canvas()->FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(PixelAt(Panel, 21, 21), clLime);  // the canvas kept its brush
  // A repaint puts the control's own picture back.
  Panel->Repaint();
  EXPECT_EQ(PixelAt(Panel, 20, 20), clRed);
}

TEST_F(PaintTest, DoubleBufferedPaintsTheSamePixels) {
  TTestPanel* Plain = AddPanel(Form, Bounds(0, 0, 90, 60), clBlue);
  AddShape(Plain, Bounds(10, 10, 20, 20), clRed)->InnerColor = clLime;
  TTestPanel* Buffered = AddPanel(Form, Bounds(100, 0, 90, 60), clBlue);
  Buffered->SetDoubleBuffered(true);
  AddShape(Buffered, Bounds(10, 10, 20, 20), clRed)->InnerColor = clLime;
  Show();
  for (int Y = 0; Y < 60; Y += 3)
    for (int X = 0; X < 90; X += 3) {
      ASSERT_EQ(PixelAt(Plain, X, Y), PixelAt(Buffered, X, Y)) << X << "," << Y;
    }
}

}  // namespace
}  // namespace FormsTest
