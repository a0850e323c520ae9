// The shaped button and its point-list evaluator: expressions and their errors, point lists,
// the shapes' points and turns, structural checks of the rendered regions (containment,
// symmetry, corners), the face's colours and bevel, a failing point list, and regions that are
// never kept in the form.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/classes/formreader.h"
#include "platform/rtl/stringlist.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"

using namespace VcTest;

namespace {

// --- the evaluator --------------------------------------------------------------------------------

TEST(Evaluator, WorksOutExpressionsAndRefusesTheRest) {
  const struct {
    const char* Text;
    int32_t Value;
  } Values[] = {
      {"37 - 5", 32},     {"10 - 4 - 3", 3},   {"7 / 2 * 2", 6},      {"2 + 3 * 4", 14},
      {"10 - 20 - 5", -15}, {"100/7", 14},      {"  42", 42},          {"0", 0},
      {"2*3+4*5", 26},    {"8 / 3 / 2", 1},    {"2147483647", 2147483647},
  };
  for (const auto& Case : Values) EXPECT_EQ(TvcEvaluator::Evaluate(Case.Text), Case.Value) << Case.Text;
  const struct {
    const char* Text;
    const char* Message;  // nullptr: a conversion error
  } Errors[] = {
      {"-5", nullptr},           // no left operand: a leading minus fails
      {"", nullptr},             // nothing to convert
      {"5 ", nullptr},           // a blank after the number
      {"5 +", nullptr},          // a missing operand
      {"1,2", nullptr},          // a comma inside an operand
      {"7 / -2", nullptr},       // a signed operand
      {"2147483647 + 1", nullptr},  // beyond 32 bits
      {"99999999999", nullptr},
      {"5 / 0", "Divide By Zero Error"},
      {"WIDTH", "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed."},
      {"1.5", "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed."},
      {"3 x 4", "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed."},
  };
  for (const auto& Case : Errors) {
    SCOPED_TRACE(Case.Text);
    try {
      TvcEvaluator::Evaluate(Case.Text);
      ADD_FAILURE() << "evaluated";
    } catch (const EConvertError&) {
      EXPECT_EQ(Case.Message, nullptr);
    } catch (const EInvalidOperation& Error) {
      ASSERT_NE(Case.Message, nullptr) << Error.Message();
      EXPECT_EQ(std::string(Error.Message()), Case.Message);
    }
  }
}

std::vector<POINT> Parse(std::initializer_list<const char*> Lines, int W = 37, int H = 33) {
  TStringList List;
  for (const char* Line : Lines) List.Add(Line);
  return ParsePointListLines(List, W, H);
}

bool SamePoints(const std::vector<POINT>& A, const std::vector<POINT>& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](POINT P, POINT Q) {
           return P.x == Q.x && P.y == Q.y;
         });
}

TEST(PointList, ReadsPointsOfExpressions) {
  const std::vector<POINT> Corner{{0, 0}, {37, 0}, {0, 33}};
  EXPECT_TRUE(SamePoints(Parse({"0, 0", "Width, 0", "0, Height"}), Corner));
  EXPECT_TRUE(SamePoints(Parse({"0,0", "width,0", "0,height"}), Corner)) << "no blanks, lower case";
  EXPECT_TRUE(SamePoints(Parse({"10, 20, 30", "Width - 5, Height / 2", "0,  0"}),
                         (std::vector<POINT>{{10, 20}, {32, 16}, {0, 0}})))
      << "the text after a second comma is ignored";
  EXPECT_TRUE(Parse({"0, 0", "1, 1"}).empty()) << "two lines or fewer: no polygon";
  EXPECT_THROW(Parse({"10;20", "0, 0", "1, 1"}), EInvalidOperation);
  EXPECT_THROW(Parse({"0, 0", "", "1, 1"}), EInvalidOperation) << "blank lines count";
  try {
    Parse({"WIDTH / 0, 5", "0, 0", "1, 1"});
    ADD_FAILURE() << "parsed";
  } catch (const EInvalidOperation& Error) {
    EXPECT_EQ(std::string(Error.Message()), "Divide By Zero Error");
  }
  try {
    Parse({"10 20", "0, 0", "1, 1"});
    ADD_FAILURE() << "parsed";
  } catch (const EInvalidOperation& Error) {
    EXPECT_EQ(std::string(Error.Message()),
              "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
  }
}

// --- shapes ---------------------------------------------------------------------------------------

TEST(ShapePoints, PointsAndTurns) {
  EXPECT_TRUE(SamePoints(vcShapePoints(bsTrapezoid, 79, 45),
                         (std::vector<POINT>{{19, 0}, {60, 0}, {79, 45}, {0, 45}, {19, 0}})));
  EXPECT_TRUE(SamePoints(vcStarPoints(99, 99), (std::vector<POINT>{{49, 0},
                                                                    {62, 37},
                                                                    {99, 37},
                                                                    {70, 61},
                                                                    {81, 99},
                                                                    {49, 77},
                                                                    {17, 99},
                                                                    {29, 61},
                                                                    {0, 37},
                                                                    {37, 37}})));
  EXPECT_EQ(vcShapePoints(bsTriangle, 54, 40).size(), 4u) << "closed";
  EXPECT_TRUE(vcShapePoints(bsEllipse, 54, 40).empty());
  // Turned twice, the exit button's triangle points down.
  std::vector<POINT> Triangle = vcShapePoints(bsTriangle, 54, 40);
  vcOrientPoints(Triangle, soDown, 54, 40);
  EXPECT_TRUE(SamePoints(Triangle, (std::vector<POINT>{{27, 40}, {0, 0}, {54, 0}, {27, 40}})));
  // One turn: the arrow points right, three: left.
  std::vector<POINT> Right = vcShapePoints(bsArrow, 59, 43), Left = Right;
  vcOrientPoints(Right, soRight, 59, 43);
  vcOrientPoints(Left, soLeft, 59, 43);
  EXPECT_EQ(Right[1].x, 59);
  EXPECT_EQ(Left[1].x, 0);
  // A box one pixel wide or high is not turned (there is nothing to divide by).
  std::vector<POINT> Thin = vcShapePoints(bsTriangle, 0, 19), Same = Thin;
  vcOrientPoints(Thin, soRight, 0, 19);
  EXPECT_TRUE(SamePoints(Thin, Same));
}

class ShapeButtonTest : public TButtonTest {
 protected:
  // The region of the rendered face, as the button builds it.
  TRegion FaceRegion(TvcShapeBtn* Button, bool Down = false) {
    HRGN Region = Button->CreateRegion(true, Down);
    TRegion Result;
    if (Region) Result = *GdiGetRegion(Region);
    if (Region) DeleteObject(Region);
    return Result;
  }
};

TEST_F(ShapeButtonTest, EveryShapeStaysInItsBoxKeepsItsSymmetryAndItsCorners) {
  TvcShapeBtn* Button = AddButton("Shape", RECT{0, 0, 61, 41});  // W = 60, H = 40: an exact middle
  const struct {
    TvcButtonShape Shape;
    const char* Name;
    bool Symmetric;
    bool TopCorners, BottomCorners;
  } Cases[] = {
      {bsRoundRect, "round rectangle", true, false, false}, {bsEllipse, "ellipse", true, false, false},
      {bsTriangle, "triangle", true, false, true},          {bsArrow, "arrow", true, false, false},
      {bsDiamond, "diamond", true, false, false},           {bsRect, "rectangle", true, true, true},
      {bsStar, "star", true, false, false},                 {bsTrapezoid, "trapezoid", true, false, true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button->SetShape(Case.Shape);
    const TRegion Region = FaceRegion(Button);
    ASSERT_FALSE(Region.IsEmpty());
    const RECT Bounds = Region.Bounds();
    EXPECT_GE(Bounds.left, 0);
    EXPECT_GE(Bounds.top, 0);
    EXPECT_LE(Bounds.right, 61);
    EXPECT_LE(Bounds.bottom, 41);
    EXPECT_TRUE(Region.Contains(30, 25)) << "the middle belongs to every shape";
    // The corner pixels of the box (0, 0)-(W, H), the outline included.
    EXPECT_EQ(Region.Contains(0, 0), Case.TopCorners);
    EXPECT_EQ(Region.Contains(60, 0), Case.TopCorners);
    EXPECT_EQ(Region.Contains(0, 40), Case.BottomCorners);
    EXPECT_EQ(Region.Contains(60, 40), Case.BottomCorners);
    if (Case.Symmetric) {
      // Each row's span is as far from the left edge as from the right (one pixel of
      // rasterisation either way).
      for (int Y = 0; Y < 41; ++Y) {
        int First = -1, Last = -1;
        for (int X = 0; X < 61; ++X)
          if (Region.Contains(X, Y)) {
            if (First < 0) First = X;
            Last = X;
          }
        if (First < 0) continue;
        EXPECT_LE(std::abs(First - (60 - Last)), 1) << "row " << Y;
      }
    }
  }
}

TEST_F(ShapeButtonTest, TurnedShapesPointWhereTheirOrientationSays) {
  TvcShapeBtn* Button = AddButton("Arrow", RECT{0, 0, 61, 41});
  Button->SetShape(bsArrow);
  const struct {
    TvcShapeOrientation Turn;
    POINT Tip, NotTip;
  } Cases[] = {
      {soUp, {30, 1}, {1, 1}}, {soRight, {58, 20}, {58, 2}}, {soDown, {30, 38}, {1, 38}}, {soLeft, {1, 20}, {1, 2}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(int(Case.Turn));
    Button->SetOrientation(Case.Turn);
    const TRegion Region = FaceRegion(Button);
    EXPECT_TRUE(Region.Contains(Case.Tip.x, Case.Tip.y));
    EXPECT_FALSE(Region.Contains(Case.NotTip.x, Case.NotTip.y));
  }
}

TEST_F(ShapeButtonTest, OnePixelButtonsAreDrawnWithoutDividingByZero) {
  for (RECT Bounds : {RECT{0, 0, 1, 20}, RECT{0, 0, 20, 1}, RECT{0, 0, 1, 1}})
    for (TvcShapeOrientation Turn : {soLeft, soRight, soUp, soDown})
      for (TvcButtonShape Shape : {bsTriangle, bsStar, bsArrow, bsTrapezoid, bsCustom}) {
        TvcShapeBtn* Button = AddButton("", Bounds);
        TStringList Lines;
        for (const char* Line : {"0, 0", "Width, 0", "0, Height"}) Lines.Add(Line);
        Button->SetPointList(&Lines);
        Button->SetShape(Shape);
        Button->SetOrientation(Turn);
        TvcBitmap Face;
        Button->RenderFace(&Face, false, fbsHighlight, false);
        EXPECT_EQ(Face.Width(), Bounds.right);
        FaceRegion(Button);
      }
  Form->Show();
  Pump();
}

TEST_F(ShapeButtonTest, TheFaceIsFilledOnAKeyThatIsNeverItsOwnColour) {
  TvcShapeBtn* Button = AddButton("Ellipse", RECT{0, 0, 41, 31});
  Button->SetShape(bsEllipse);
  TvcBitmap Face;
  Button->RenderFace(&Face, true, fbsHighlight, false);
  EXPECT_EQ(PictureColor(Face, 0, 0), 0xFF0000u) << "red outside";
  Button->SetColor(clRed);
  Button->RenderFace(&Face, true, fbsHighlight, false);
  EXPECT_EQ(PictureColor(Face, 0, 0), 0x0000FFu) << "blue outside a red button";
  EXPECT_EQ(PictureColor(Face, 20, 15), 0xFF0000u);
  EXPECT_TRUE(FaceRegion(Button).Contains(20, 15));
  EXPECT_FALSE(FaceRegion(Button).Contains(0, 0));
  // A grouped button that is down, with a dither colour: a checkerboard of both colours.
  Button->SetColor(clBlue);
  Button->SetGroupIndex(1);
  Button->SetDitherColor(clWhite);
  Button->RenderFace(&Face, true, fbsHighlight, true);
  const uint32_t A = PictureColor(Face, 20, 15), B = PictureColor(Face, 21, 15), C = PictureColor(Face, 21, 16);
  EXPECT_NE(A, B);
  EXPECT_EQ(A, C);
  EXPECT_TRUE((A == 0x0000FF && B == 0xFFFFFF) || (A == 0xFFFFFF && B == 0x0000FF));
}

TEST_F(ShapeButtonTest, TheBevelLightsUpperAndLeftEdgesAndDarkensTheOthers) {
  TvcShapeBtn* Button = AddButton("Rect", RECT{10, 10, 50, 30});  // W = 39, H = 19
  Button->SetColor(clSilver);
  Button->ShadeColors()->SetBtnHighlight(TColor(0x0000FF));  // red
  Button->ShadeColors()->SetBtn3DLight(TColor(0x00FFFF));    // yellow
  Button->ShadeColors()->SetBtnShadow(TColor(0xFF0000));     // blue
  Button->ShadeColors()->SetBtnBlack(TColor(0x00FF00));      // lime
  Button->ShadeColors()->SetBtnFocus(TColor(0xFF00FF));      // fuchsia
  const uint32_t Hi = 0xFF0000, Li = 0xFFFF00, Sh = 0x0000FF, Bk = 0x00FF00, Focus = 0xFF00FF;
  const struct {
    const char* Name;
    bool Down, Default;
    TvcShadeStyle Style;
    uint32_t Top, TopInner, Bottom, BottomInner, Left, Right;
  } Cases[] = {
      {"up", false, false, fbsHighlight, Hi, Li, Bk, Sh, Hi, Bk},
      {"down", true, false, fbsHighlight, Bk, Sh, Hi, Li, Bk, Hi},
      {"flat, no pointer: no bevel", false, false, fbsFlat, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0,
       0xC0C0C0},
  };
  Button->SetGroupIndex(1);
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button->SetShadeStyle(Case.Style);
    Button->SetDown(Case.Down);
    TvcBitmap Face;
    Button->RenderFace(&Face, false, Case.Style, Case.Down);
    EXPECT_EQ(PictureColor(Face, 20, 0), Case.Top);
    EXPECT_EQ(PictureColor(Face, 20, 1), Case.TopInner);
    EXPECT_EQ(PictureColor(Face, 20, 19), Case.Bottom);
    EXPECT_EQ(PictureColor(Face, 20, 18), Case.BottomInner);
    EXPECT_EQ(PictureColor(Face, 0, 10), Case.Left);
    EXPECT_EQ(PictureColor(Face, 39, 10), Case.Right);
  }
  // The default button: a ring in the focus colour on the polygon, the bevel a pixel inside.
  Button->SetDown(false);
  Button->SetShadeStyle(fbsHighlight);
  Button->SetDefault(true);
  TvcBitmap Face;
  Button->RenderFace(&Face, false, fbsHighlight, false);
  EXPECT_EQ(PictureColor(Face, 20, 0), Focus);
  EXPECT_EQ(PictureColor(Face, 20, 1), Hi);
  EXPECT_EQ(PictureColor(Face, 20, 2), Li);
}

TEST_F(ShapeButtonTest, AFailingPointListIsReportedOnceAndLeavesARectangle) {
  TvcShapeBtn* Button = AddButton("Custom", RECT{10, 10, 50, 40});
  TStringList Lines;
  for (const char* Line : {"0, 0", "1.5, 0", "0, Height"}) Lines.Add(Line);
  Button->SetPointList(&Lines);
  Button->SetShape(bsCustom);
  Form->Show();
  Pump();
  Button->Repaint();
  Pump();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].Text.find("Only alpha characters"), std::string::npos) << Boxes[0].Text;
  EXPECT_EQ(Button->Shape(), bsRect);
  SaveFormPng(Form, "shape_failed_point_list", 3);
  // From then on a rectangle: painted and shaped without further errors.
  Button->SetBounds(10, 10, 60, 40);
  Pump();
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_TRUE(WindowRegion(Button).Contains(1, 1));
}

TEST_F(ShapeButtonTest, RegionsAreRebuiltFromTheShapeAndNeverKeptInTheForm) {
  // A form that still carries a region (a 5 x 5 square) for an elliptic button: the region is
  // read and dropped, since the shape makes its own.
  ReadComponentText(Form,
                    "object Form: TForm\n"
                    "  object Oval: TvcShapeBtn\n"
                    "    Left = 10\n"
                    "    Top = 10\n"
                    "    Width = 41\n"
                    "    Height = 31\n"
                    "    Shape = bsEllipse\n"
                    "    RegionData = {\n"
                    "      3000000020000000010000000100000010000000000000000000000005000000\n"
                    "      0500000000000000000000000500000005000000}\n"
                    "  end\n"
                    "end\n");
  auto* Oval = dynamic_cast<TvcShapeBtn*>(Form->FindComponent("Oval"));
  ASSERT_NE(Oval, nullptr);
  EXPECT_TRUE(Oval->RegionBytes().empty());
  Form->Show();
  Pump();
  const TRegion Shown = WindowRegion(Oval);
  EXPECT_TRUE(Shown.Contains(20, 15));
  EXPECT_FALSE(Shown.Contains(0, 0));
  EXPECT_FALSE(Shown == TRegion(0, 0, 5, 5));
  const std::string Text = WriteComponentText(Form);
  EXPECT_EQ(Text.find("RegionData"), std::string::npos) << Text;
  // A new shape at run time gives a new region.
  Oval->SetShape(bsRect);
  Pump();
  EXPECT_TRUE(WindowRegion(Oval).Contains(0, 0));
  Oval->SetShape(bsDiamond);
  Pump();
  EXPECT_FALSE(WindowRegion(Oval).Contains(0, 0));
  EXPECT_TRUE(WindowRegion(Oval).Contains(20, 15));
}

TEST_F(ShapeButtonTest, ClicksOutsideTheShapeMissTheButton) {
  TvcShapeBtn* Diamond = AddButton("Diamond", RECT{10, 10, 71, 51});
  Diamond->SetShape(bsDiamond);
  int Clicks = 0;
  Diamond->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  Form->Show();
  Pump();
  Click(Diamond, 2, 2);
  EXPECT_EQ(Clicks, 0) << "a corner lies outside the diamond";
  Click(Diamond, 30, 20);
  EXPECT_EQ(Clicks, 1);
}

}  // namespace
