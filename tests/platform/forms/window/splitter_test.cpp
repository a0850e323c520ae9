// The splitter: a drag resizes the control it touches (left and right splitters), within the
// minimum sizes on both sides; the hatched line shows while dragging and leaves nothing behind;
// Escape puts everything back; OnMoved only after a real change; a hidden splitter is inert.

#include "platform/forms/splitter.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class SplitterTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 400, 200);
    Left = NewPanel(alLeft, 100, clRed);
    Splitter = new TSplitter(Form);
    Splitter->SetParent(Form);
    Splitter->SetLeft(100);
    Splitter->SetWidth(4);
    Splitter->OnMoved = TNotifyEvent([this](TObject*) { ++Moves; });
    Right = NewPanel(alRight, 80, clBlue);
    RightSplitter = new TSplitter(Form);
    RightSplitter->SetAlign(alRight);
    RightSplitter->SetParent(Form);
    RightSplitter->SetLeft(Form->ClientWidth() - 80 - 4);
    RightSplitter->SetWidth(4);
    Client = NewPanel(alClient, 0, clLime);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TTestPanel* NewPanel(TAlign Align, int Width, TColor Color) {
    auto* Panel = new TTestPanel(Form);
    Panel->SetAlign(Align);
    Panel->SetWidth(Width);
    Panel->SetColor(Color);
    Panel->SetParent(Form);
    return Panel;
  }
  // Presses the splitter, moves by DX (in steps, as a mouse does), releases.
  void Drag(TSplitter* Which, int DX, bool Escape = false) {
    PressAt(Which, 1, 50);
    Pump();
    for (int Step = 1; Step <= 4; ++Step) {
      MoveTo(Which, 1 + DX * Step / 4, 50);
      Pump();
    }
    if (Escape) {
      InjectKeyStroke(VK_ESCAPE);
      Pump();
    }
    ReleaseAt(Which, 1 + DX, 50);
    Pump();
  }

  TForm* Form = nullptr;
  TTestPanel* Left = nullptr;
  TTestPanel* Right = nullptr;
  TTestPanel* Client = nullptr;
  TSplitter* Splitter = nullptr;
  TSplitter* RightSplitter = nullptr;
  int Moves = 0;
};

TEST_F(SplitterTest, ADragResizesTheNeighbourWithinTheMinimumSizes) {
  EXPECT_EQ(Splitter->ResizeControl(), Left);
  EXPECT_EQ(RightSplitter->ResizeControl(), Right);
  EXPECT_EQ(Splitter->Cursor(), crHSplit);
  const int ClientWidth = Form->ClientWidth();
  // The most the left panel can take: all but the right panel, both splitters and MinSize.
  const int MostLeft = ClientWidth - 80 - 4 - 4 - 30;
  struct TRow {
    const char* Name;
    int DX;
    int LeftWidth;
    int Moves;
  };
  const TRow Rows[] = {
      {"wider by 50", 50, 150, 1},
      {"back by 120 stops at MinSize", -120, 30, 1},
      {"far right stops where the client keeps MinSize", 600, MostLeft, 1},
      {"a drag back to where it started changes nothing", 0, MostLeft, 0},
  };
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Name);
    Moves = 0;
    Drag(Splitter, Row.DX);
    EXPECT_EQ(Left->Width(), Row.LeftWidth);
    EXPECT_EQ(Moves, Row.Moves);
    // The splitter stays against its panel; the client panel takes the rest.
    EXPECT_EQ(Splitter->Left(), Left->Width());
    EXPECT_EQ(Client->Width(), ClientWidth - Left->Width() - Right->Width() - 8);
  }
  // A right splitter widens its panel when dragged to the left.
  Left->SetWidth(100);
  Pump();
  Drag(RightSplitter, -40);
  EXPECT_EQ(Right->Width(), 120);
  EXPECT_EQ(RightSplitter->Left() + RightSplitter->Width(), Right->Left());
  EXPECT_EQ(Client->Width(), ClientWidth - 100 - 120 - 8);
}

TEST_F(SplitterTest, TheHatchedLineShowsWhileDraggingAndLeavesNothingBehind) {
  PressAt(Splitter, 1, 50);
  Pump();
  MoveTo(Splitter, 61, 50);
  Pump();
  EXPECT_TRUE(Splitter->Dragging());
  // The line stands where the edge will go, over the client panel: its pixels are inverted in a
  // checkerboard, so two neighbours differ and at least one differs from the panel.
  const TColor A = PixelAt(Form, 160, 40), B = PixelAt(Form, 161, 40);
  EXPECT_NE(A, B);
  EXPECT_TRUE(A != clLime || B != clLime);
  SaveWindowPng(Form, "splitter_drag", 2);
  ReleaseAt(Splitter, 61, 50);
  Pump();
  EXPECT_FALSE(Splitter->Dragging());
  EXPECT_EQ(Left->Width(), 160);
  // Nothing of the line is left on the panels.
  EXPECT_EQ(PixelAt(Client, 40, 40), clLime);
  EXPECT_EQ(PixelAt(Left, 155, 40), clRed);
}

TEST_F(SplitterTest, EscapePutsEverythingBack) {
  const TColor Before = PixelAt(Form, 140, 40);
  Drag(Splitter, 40, true);
  EXPECT_EQ(Left->Width(), 100);
  EXPECT_EQ(Moves, 0);
  EXPECT_FALSE(Splitter->Dragging());
  EXPECT_EQ(PixelAt(Form, 140, 40), Before);
}

TEST_F(SplitterTest, OnCanResizeAndAHiddenSplitter) {
  Splitter->OnCanResize = TCanResizeEvent([](TObject*, int& NewSize, bool& Accept) {
    // Only multiples of 20, and never 180.
    NewSize = NewSize / 20 * 20;
    Accept = NewSize != 180;
  });
  Drag(Splitter, 47);
  EXPECT_EQ(Left->Width(), 140);
  Drag(Splitter, 40);
  EXPECT_EQ(Left->Width(), 160);  // 180 was refused; the last size accepted on the way stands
  // Hidden: no room taken, no drag.
  Splitter->SetVisible(false);
  Pump();
  EXPECT_EQ(Client->Left(), Left->Width());
  Moves = 0;
  PressAt(Form, Left->Width() + 1, 50);
  MoveTo(Form, Left->Width() + 30, 50);
  ReleaseAt(Form, Left->Width() + 30, 50);
  Pump();
  EXPECT_EQ(Left->Width(), 160);
  EXPECT_EQ(Moves, 0);
}

}  // namespace
}  // namespace FormsTest
