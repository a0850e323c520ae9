// The edit frame and button effects, and the library's drawing routines (buttons, dotted lines,
// aligned cell text), checked on small bitmaps.

#include "kvcontrols/editors/kvframe.h"

#include <gtest/gtest.h>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvedit.h"
#include "platform/forms/buttons.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "tests/kvcontrols/edits/kvedittest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

using TBorders = TkvEditFrameEnabledSet;
const TBorders AllSides{efLeftBorder, efTopBorder, efRightBorder, efBottomBorder};

TEST(KvEditFrame, MarginsAndTextOffsetsTable) {
  struct TCase {
    const char* Name;
    TkvEditFocusStyle Style;
    TBorders Borders;
    RECT Expected;  // from (0, 0, 100, 20)
    int TextLeft, TextTop;
  };
  const TCase Cases[] = {
      {"box, all sides", efsFrameBox, AllSides, {2, 2, 99, 20}, 2, 2},
      {"single, all sides", efsFrameSingle, AllSides, {2, 2, 100, 20}, 2, 2},
      {"sunken, all sides", efsFrameSunken, AllSides, {3, 3, 98, 20}, 3, 3},
      {"raised, all sides", efsFrameRaised, AllSides, {2, 3, 98, 20}, 3, 3},
      {"etched without left", efsFrameEtched, TBorders{efTopBorder}, {1, 3, 98, 20}, 1, 3},
      {"bump, bottom only", efsFrameBump, TBorders{efBottomBorder}, {1, 3, 98, 20}, 1, 2},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TkvEditFrame Frame;
    Frame.SetFocusStyle(Case.Style);
    Frame.SetFocusBorders(Case.Borders);
    RECT Rect{0, 0, 100, 20};
    Frame.GetEditRect(Rect);
    EXPECT_EQ(Rect.left, Case.Expected.left);
    EXPECT_EQ(Rect.top, Case.Expected.top);
    EXPECT_EQ(Rect.right, Case.Expected.right);
    int Left = 0, Top = 0;
    Frame.GetTextOffsets(Left, Top, true);
    EXPECT_EQ(Left, Case.TextLeft);
    EXPECT_EQ(Top, Case.TextTop);
  }
}

TEST(KvEditFrame, DefaultsAndCopy) {
  TkvEditFrame Frame;
  EXPECT_FALSE(Frame.Enabled());
  EXPECT_EQ(Frame.FocusBorders(), AllSides);
  EXPECT_EQ(Frame.NonFocusBorders(), TBorders{efBottomBorder});
  EXPECT_EQ(Frame.NonFocusColor(), clNone);
  // A disabled frame copies only Enabled and Transparent; an enabled one takes the rest too.
  TkvEditFrame Source;
  Source.SetNonFocusStyle(efsFrameBump);
  Source.SetNonFocusTextOffsetX(4);
  Frame.Assign(&Source);
  EXPECT_EQ(Frame.NonFocusStyle(), efsFrameBox);
  Source.SetEnabled(true);
  Frame.Assign(&Source);
  EXPECT_EQ(Frame.NonFocusStyle(), efsFrameBump);
  EXPECT_EQ(Frame.NonFocusTextOffsetX(), 4);
  // Other frames copy the members by name, in declaration order; the erase flag follows
  // Transparent.
  const TClassInfo& Class = TkvEditFrame::StaticClass();
  const auto Properties = Class.PropertyList();
  std::vector<std::string> Names;
  for (const TPropertyInfo* Info : Properties) Names.push_back(Info->Name);
  ASSERT_GE(Names.size(), 4u);
  EXPECT_EQ(Names[0], "FocusStyle");
  EXPECT_EQ(Names[2], "Transparent");
  EXPECT_EQ(Names[3], "CreateTransparent");
}

TEST(KvEditFrame, UnfocusedBottomBorderIsOneMonoLine) {
  auto Bitmap = MakeBitmap(30, 12, pf24bit, clWhite);
  TkvDBEdit Edit(nullptr);
  Edit.SetAutoSize(false);
  Edit.SetBorderStyle(bsNone);
  Edit.SetBounds(0, 0, 30, 12);
  TkvEditFrame* Frame = Edit.Frame();
  kvPaintEditFrame(&Edit, Frame, Bitmap->Canvas(), false);
  // BF_MONO: the outer border in the window-frame colour, the inner one in the window colour.
  EXPECT_EQ(PixelOf(*Bitmap, 15, 11), TColor(ColorToRGB(clWindowFrame)));
  EXPECT_EQ(PixelOf(*Bitmap, 15, 10), TColor(ColorToRGB(clWindow)));
  EXPECT_EQ(PixelOf(*Bitmap, 0, 5), clWhite);
  EXPECT_EQ(PixelOf(*Bitmap, 15, 0), clWhite);
  // Focused: all four sides.
  kvPaintEditFrame(&Edit, Frame, Bitmap->Canvas(), true);
  EXPECT_EQ(PixelOf(*Bitmap, 0, 5), TColor(ColorToRGB(clWindowFrame)));
}

class KvFrameControlTest : public TKvEditTest {};

TEST_F(KvFrameControlTest, EnablingTheFrameRemovesTheBorderAndSizesTheEdit) {
  auto* Edit = new TkvDBEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(10, 10, 100, 40);
  Form->Show();
  Pump();
  EXPECT_EQ(Edit->BorderStyle(), bsSingle);
  Edit->Frame()->SetAutoSizeHeightAdjust(3);
  Edit->Frame()->SetEnabled(true);
  EXPECT_EQ(Edit->BorderStyle(), bsNone);
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Edit->Font()->Handle());
  TEXTMETRICA Metrics{};
  GetTextMetricsA(DC, &Metrics);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  EXPECT_EQ(Edit->Height(), 6 + 3 + Metrics.tmHeight);
}

TEST_F(KvFrameControlTest, ButtonEffectsSetTheButtonsLook) {
  auto* Button = new TSpeedButton(Form);
  Button->SetTransparent(false);
  TkvButtonEffects Effects(nullptr, Button);
  Effects.SetFlat(true);
  EXPECT_TRUE(Button->Flat());
  EXPECT_FALSE(Button->Transparent());  // Flat alone leaves it
  Effects.SetFlat(false);
  EXPECT_FALSE(Button->Flat());
  Effects.SetTransparent(true);
  EXPECT_TRUE(Button->Flat());
  EXPECT_TRUE(Button->Transparent());
}

// ---- drawing routines ----------------------------------------------------------------------

TEST(KvDrawing, EllipsisDotsMoveWhenPressed) {
  // 16 x 16: squares of side 2 centred at x = 7, y = 7 (up) or 8, 8 (down), 4 pixels apart.
  for (bool Down : {false, true}) {
    SCOPED_TRACE(Down ? "down" : "up");
    auto Bitmap = MakeBitmap(16, 16, pf24bit, clWhite);
    kvDrawEllipsisButton(Bitmap->Canvas(), RECT{0, 0, 16, 16}, Down ? kvbsDown : kvbsUp, true, true, false,
                         {});
    const int Y = Down ? 8 : 7, X = Down ? 8 : 7;
    for (int Dot : {-4, 0, 4}) {
      EXPECT_EQ(PixelOf(*Bitmap, X + Dot, Y), clBlack);
      EXPECT_EQ(PixelOf(*Bitmap, X + Dot + 1, Y + 1), clBlack);
      EXPECT_EQ(PixelOf(*Bitmap, X + Dot + 2, Y), clWhite);
    }
    EXPECT_EQ(PixelOf(*Bitmap, X, Y - 1), clWhite);
    EXPECT_EQ(PixelOf(*Bitmap, 0, 0), clWhite);  // flat and not hot: no edge
  }
}

TEST(KvDrawing, DottedLinesSetEverySecondPixel) {
  auto Bitmap = MakeBitmap(12, 12, pf24bit, clWhite);
  Bitmap->Canvas()->Pen()->SetColor(clBlack);
  DrawDottedLine(Bitmap->Canvas(), POINT{0, 1}, POINT{10, 1});
  DrawDottedLine(Bitmap->Canvas(), POINT{1, 3}, POINT{1, 9});
  for (int X = 0; X <= 11; ++X)
    EXPECT_EQ(PixelOf(*Bitmap, X, 1), X % 2 == 0 && X <= 10 ? clBlack : clWhite) << X;
  for (int Y = 3; Y <= 10; ++Y)
    EXPECT_EQ(PixelOf(*Bitmap, 1, Y), (Y - 3) % 2 == 0 && Y <= 9 ? clBlack : clWhite) << Y;
}

TEST(KvDrawing, AlignedTextFlagsTable) {
  struct TCase {
    const char* Name;
    int Alignment;
    uint32_t Options;
    int Height;
    UINT Expected;
  };
  const TCase Cases[] = {
      {"left", 0, 0, 18, DT_EXPANDTABS | DT_NOPREFIX},
      {"right", 1, 0, 18, DT_EXPANDTABS | DT_NOPREFIX | DT_RIGHT},
      {"centre", 2, 0, 18, DT_EXPANDTABS | DT_NOPREFIX | DT_CENTER},
      {"prefixes", 0, kvdtPrefix, 18, DT_EXPANDTABS},
      {"word break in a tall cell", 0, kvdtWordBreak, 60, DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK},
      {"no word break in a one-line cell", 0, kvdtWordBreak, 18, DT_EXPANDTABS | DT_NOPREFIX},
      {"ellipsis drops the word break", 0, kvdtWordBreak | kvdtEllipsis, 60,
       DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS},
      {"centred vertically", 0, kvdtVCenter, 18, DT_EXPANDTABS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Bitmap = MakeBitmap(80, Case.Height, pf24bit, clWhite);
    EXPECT_EQ(kvDrawAlignedText(Bitmap->Canvas(), RECT{0, 0, 80, Case.Height}, 2, 1, "A&b", Case.Alignment,
                                Case.Options),
              Case.Expected);
  }
}

TEST(KvDrawing, AlignedTextFillsUnlessAskedNotTo) {
  auto Bitmap = MakeBitmap(40, 18, pf24bit, clWhite);
  Bitmap->Canvas()->Brush()->SetColor(clYellow);
  kvDrawAlignedText(Bitmap->Canvas(), RECT{0, 0, 20, 18}, 2, 1, "", 0, kvdtNoFill);
  EXPECT_EQ(PixelOf(*Bitmap, 5, 5), clWhite);
  kvDrawAlignedText(Bitmap->Canvas(), RECT{0, 0, 20, 18}, 2, 1, "", 0, 0);
  EXPECT_EQ(PixelOf(*Bitmap, 5, 5), clYellow);
  EXPECT_EQ(PixelOf(*Bitmap, 25, 5), clWhite);
}

}  // namespace
}  // namespace FormsTest
