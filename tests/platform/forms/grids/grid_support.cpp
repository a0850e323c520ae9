#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
KORCAM_REGISTER_CLASS(TTestGrid)
}  // namespace FormsTest

namespace FormsTest {

void TGridTest::SetUp() {
  TFormsTest::SetUp();
  Form = NewForm<TForm>(nullptr);
  Form->SetBounds(0, 0, 400, 300);
  Grid = new TTestGrid(Form);
  Grid->SetBorderStyle(bsNone);
  Grid->SetScrollBars(ssNone);
  Grid->SetBounds(0, 0, 200, 100);
  Grid->SetParent(Form);
  Form->Show();
  Pump();
}

void TGridTest::TearDown() {
  Form->Free();
  TFormsTest::TearDown();
}

void TGridTest::SetClient(int Width, int Height) {
  Grid->SetBounds(Grid->Left(), Grid->Top(), Width, Height);
  Pump();
}

POINT TGridTest::Screen(int X, int Y) {
  return Grid->ClientToScreen(POINT{X, Y});
}

}  // namespace FormsTest
