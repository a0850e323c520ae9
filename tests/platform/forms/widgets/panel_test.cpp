// The class library's panel: the bevel routine's pixels, the panel's rings from the outside in,
// the room left to aligned children, and the border change reaching the panel as a message.

#include "platform/forms/panel.h"

#include <gtest/gtest.h>

#include "platform/forms/bitmap.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

constexpr TColor Top = TColor(0x0000FF);     // red
constexpr TColor Bottom = TColor(0xFF0000);  // blue
constexpr TColor Paper = TColor(0xFFFFFF);

// One letter per pixel of a bitmap: T top colour, B bottom colour, . the paper.
std::string Picture(TBitmap& Bitmap) {
  std::string Result;
  for (int Y = 0; Y < Bitmap.Height(); ++Y) {
    for (int X = 0; X < Bitmap.Width(); ++X) {
      const TColor Color = Bitmap.Canvas()->Pixels(X, Y);
      Result += Color == Top ? 'T' : Color == Bottom ? 'B' : Color == Paper ? '.' : '?';
    }
    Result += '\n';
  }
  return Result;
}

TEST(Frame3D, RingsFromTheOutsideIn) {
  struct TCase {
    const char* Name;
    int Width;
    const char* Expected;
    RECT Left;  // what the rectangle comes back as
  };
  const TCase Cases[] = {
      // The bottom colour takes the top-right and bottom-left corners.
      {"one ring", 1,
       "TTTTB\n"
       "T...B\n"
       "T...B\n"
       "BBBBB\n",
       RECT{1, 1, 4, 3}},
      {"two rings", 2,
       "TTTTB\n"
       "TTTBB\n"
       "TBBBB\n"
       "BBBBB\n",
       RECT{2, 2, 3, 2}},
      {"no ring", 0,
       ".....\n"
       ".....\n"
       ".....\n"
       ".....\n",
       RECT{0, 0, 5, 4}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBitmap Bitmap;
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(5, 4);
    Bitmap.Canvas()->Brush()->SetColor(Paper);
    Bitmap.Canvas()->FillRect(RECT{0, 0, 5, 4});
    RECT Rect{0, 0, 5, 4};
    Frame3D(Bitmap.Canvas(), Rect, Top, Bottom, Case.Width);
    EXPECT_EQ(Picture(Bitmap), Case.Expected);
    EXPECT_EQ(Rect, Case.Left);
  }
}

class PanelTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 200, 120);
    Panel = new TCustomPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(10, 10, 100, 60);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TForm* Form = nullptr;
  TCustomPanel* Panel = nullptr;
};

TEST_F(PanelTest, PaintsBevelsBorderAndFace) {
  Panel->SetBevelOuter(bvRaised);
  Panel->SetBevelInner(bvLowered);
  Panel->SetBorderWidth(2);
  Panel->SetColor(TColor(0x40C040));
  Pump();
  // Outer raised ring, two rings of the panel's colour, inner lowered ring, then the face.
  EXPECT_EQ(PixelAt(Panel, 0, 0), ColorToRGB(clBtnHighlight)) << "outer ring, top-left";
  EXPECT_EQ(PixelAt(Panel, 99, 59), ColorToRGB(clBtnShadow)) << "outer ring, bottom-right";
  EXPECT_EQ(PixelAt(Panel, 1, 1), TColor(0x40C040)) << "border";
  EXPECT_EQ(PixelAt(Panel, 2, 2), TColor(0x40C040)) << "border";
  EXPECT_EQ(PixelAt(Panel, 3, 3), ColorToRGB(clBtnShadow)) << "inner lowered ring, top-left";
  EXPECT_EQ(PixelAt(Panel, 96, 56), ColorToRGB(clBtnHighlight)) << "inner lowered ring, bottom-right";
  EXPECT_EQ(PixelAt(Panel, 50, 30), TColor(0x40C040)) << "face";
}

TEST_F(PanelTest, AlignedChildrenStayInsideBevelsAndBorder) {
  auto* Child = new TTestPanel(Form);
  Child->SetParent(Panel);
  Child->SetAlign(alClient);
  Pump();
  EXPECT_EQ(Child->BoundsRect(), (RECT{1, 1, 99, 59})) << "inside the outer bevel";
  Panel->SetBorderWidth(3);
  EXPECT_EQ(Child->BoundsRect(), (RECT{4, 4, 96, 56})) << "and the border";
  Panel->SetBevelInner(bvRaised);
  Panel->SetBevelWidth(2);
  EXPECT_EQ(Child->BoundsRect(), (RECT{7, 7, 93, 53})) << "and the inner bevel, both two wide";
  EXPECT_EQ(Panel->ClientRect(), (RECT{0, 0, 100, 60})) << "the client area stays the whole window";
}

TEST_F(PanelTest, BorderChangeArrivesAsMessage) {
  Log.Only = {CM_BORDERCHANGED};
  Log.Attach(Panel, "Panel");
  Panel->SetBorderWidth(4);
  Panel->SetBorderWidth(4);
  Panel->SetBorderWidth(-2);
  EXPECT_EQ(Log.Entries().size(), 2u) << "once per change; a negative width is 0";
  EXPECT_EQ(Panel->BorderWidth(), 0);
}

}  // namespace
}  // namespace FormsTest
