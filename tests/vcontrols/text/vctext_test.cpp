// The caption renderer: its settings and their notifications, the measuring and placing rules,
// the copies each style draws (recorded through the text-block step), full justification and
// the text-block guard, on a bitmap's canvas with a real font.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/text/vctext.h"

using namespace VcTest;

namespace {

// A renderer that records every text block it is asked to draw: where, and in which colour.
class TRecordingText : public TvcCaptionText {
 public:
  using TvcCaptionText::TvcCaptionText;
  struct TBlock {
    RECT Rect;
    TColor Color;
  };
  std::vector<TBlock> Blocks;
  bool Record = false;
  void DrawTextBlock(RECT R) override {
    if (Record) {
      Blocks.push_back(TBlock{R, FontColor()});
      return;
    }
    TvcCaptionText::DrawTextBlock(R);
  }
};

class TextTest : public ::testing::Test {
 protected:
  TextTest() {
    Bitmap = WhiteBitmap(240, 120);
    Font.SetName("DejaVu Sans");
    Font.SetHeight(-14);
    Font.SetColor(clNavy);
    Hooks.OnInvalidate = [this] { ++Invalidates; };
    Hooks.OnAdjustBounds = [this] { ++Adjusts; };
    Hooks.IsEnabled = [this] { return Enabled; };
    Text = std::make_unique<TRecordingText>(Hooks, &Font, Bitmap->Canvas());
    Text->SetTextRect(RECT{0, 0, 240, 120});
  }
  // The width and height of a string in the test font, as the canvas measures it.
  SIZE Measure(const std::string& S) {
    TBitmap Scratch;
    Scratch.SetSize(1, 1);
    Scratch.Canvas()->SetFont(&Font);
    return Scratch.Canvas()->TextExtent(S);
  }

  std::unique_ptr<TBitmap> Bitmap;
  TFont Font;
  TvcTextOwnerHooks Hooks;
  int Invalidates = 0, Adjusts = 0;
  bool Enabled = true;
  std::unique_ptr<TRecordingText> Text;
};

TEST(TextRules, RndRoundsDownExceptJustBelowTheNextInteger) {
  const struct {
    long double Value;
    int32_t Expected;
  } Cases[] = {{2.9L, 2}, {-0.3L, -1}, {2.99995L, 3}, {25.5L, 25}, {255.0L, 255}, {0.0L, 0}, {-2.5L, -3}};
  for (const auto& Case : Cases) EXPECT_EQ(Rnd(Case.Value), Case.Expected) << double(Case.Value);
}

TEST(TextRules, AcceleratorIsTheLetterAfterTheFirstSingleAmpersand) {
  EXPECT_TRUE(IsAccel(U'l', "&Lowered"));
  EXPECT_TRUE(IsAccel(U'L', "&lowered"));
  EXPECT_FALSE(IsAccel(U'a', "R&&D"));        // a doubled ampersand is text
  EXPECT_TRUE(IsAccel(U'x', "A&&B &x &y"));   // the first real one counts
  EXPECT_TRUE(IsAccel(U'ж', "&Жук"));          // letters beyond ASCII, without regard to case
  EXPECT_FALSE(IsAccel(U'a', "Plain"));
  EXPECT_FALSE(IsAccel(U'a', "trailing&"));
}

TEST_F(TextTest, RotationIsKeptInAFullTurnAndBecomesTheFontsEscapement) {
  const struct {
    int32_t Set, Stored;
    LONG Escapement;
    BYTE Precision;
  } Cases[] = {
      {-90, 270, 2700, OUT_TT_ONLY_PRECIS}, {720, 0, 0, OUT_TT_PRECIS},       {450, 90, 900, OUT_TT_ONLY_PRECIS},
      {360, 0, 0, OUT_TT_PRECIS},           {-450, 270, 2700, OUT_TT_ONLY_PRECIS},
      // A negative full turn stays 360: it aligns like 0 but gives the font 3600.
      {-360, 360, 3600, OUT_TT_ONLY_PRECIS},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Set);
    Text->SetRotation(Case.Set);
    EXPECT_EQ(Text->Rotation(), Case.Stored);
    LOGFONTA LogFont;
    Text->FillLogFont(LogFont);
    EXPECT_EQ(LogFont.lfEscapement, Case.Escapement);
    EXPECT_EQ(LogFont.lfOrientation, Case.Escapement);
    EXPECT_EQ(LogFont.lfOutPrecision, Case.Precision);
    EXPECT_EQ(LogFont.lfQuality, PROOF_QUALITY);
    EXPECT_STREQ(LogFont.lfFaceName, "DejaVu Sans");
  }
}

TEST_F(TextTest, SettingsTellTheOwnerWhatChanged) {
  // Each writer: whether it asks the owner to measure again, to repaint, and whether an
  // unchanged value is left alone.
  const struct {
    const char* Name;
    std::function<void()> Write;
    int Adjust, Invalidate;
  } Cases[] = {
      {"Alignment", [&] { Text->SetAlignment(taCenter); }, 0, 1},
      {"HighlightColor", [&] { Text->SetHighlightColor(clRed); }, 0, 1},
      {"VAlignment", [&] { Text->SetVAlignment(vaBottom); }, 0, 1},
      {"LineSpacing", [&] { Text->SetLineSpacing(2); }, 1, 1},
      {"Style", [&] { Text->SetStyle(vclsOutline); }, 1, 1},
      {"Options", [&] { Text->SetOptions(TvcTextOptions{toShowEllipsis}); }, 1, 1},
      {"WordWrap", [&] { Text->SetWordWrap(true); }, 0, 1},
      {"Shadow.Color", [&] { Text->Shadow()->SetColor(clRed); }, 0, 1},
      {"Shadow.XOffset", [&] { Text->Shadow()->SetXOffset(3); }, 1, 1},
      {"Extrude.Depth", [&] { Text->ExtrudeEffects()->SetDepth(4); }, 1, 1},
      {"Extrude.NearColor", [&] { Text->ExtrudeEffects()->SetNearColor(clWhite); }, 0, 1},
      {"Disabled.ShadeColor", [&] { Text->DisabledColors()->SetShadeColor(clRed); }, 0, 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Adjusts = Invalidates = 0;
    Case.Write();
    EXPECT_EQ(Adjusts, Case.Adjust);
    EXPECT_EQ(Invalidates, Case.Invalidate);
    Adjusts = Invalidates = 0;
    Case.Write();
    EXPECT_EQ(Adjusts + Invalidates, 0) << "an unchanged value notifies nobody";
  }
  // Rotation always assigns and notifies.
  Adjusts = Invalidates = 0;
  Text->SetRotation(0);
  EXPECT_EQ(Adjusts, 1);
  EXPECT_EQ(Invalidates, 1);
  // The owner may take the repaint hook away (the status panel does while it draws).
  Text->Hooks().OnInvalidate = nullptr;
  Text->SetAlignment(taRightJustify);
}

TEST_F(TextTest, FlagsFollowOptionsAndWordWrap) {
  EXPECT_EQ(Text->Flags(), DT_NOCLIP);
  Text->SetOptions(TvcTextOptions{toShowEllipsis});
  EXPECT_EQ(Text->Flags(), DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS);
  Text->SetWordWrap(true);
  EXPECT_EQ(Text->Flags(), DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS | DT_WORDBREAK);
  Text->SetOptions(TvcTextOptions{toShowAccel});
  Text->SetWordWrap(false);
  EXPECT_EQ(Text->Flags(), DT_NOCLIP);
}

TEST_F(TextTest, ShadowOffsetCountsOnlyOnTheSideTheBodyExtendsTo) {
  const struct {
    const char* Name;
    bool Shadow, Extrude;
    TvcOrientation Side;
    POINT Offset, Expected;
  } Cases[] = {
      {"shadow alone", true, false, vcBottomRight, {10, 10}, {10, 10}},
      {"no shadow", false, false, vcBottomRight, {10, 10}, {0, 0}},
      {"body up-left: step (1, 1)", true, true, vcTopLeft, {10, 10}, {10, 10}},
      {"body down-right: step (-1, -1)", true, true, vcBottomRight, {10, 10}, {0, 0}},
      {"body on top: step (0, 1)", true, true, vcTop, {10, 10}, {0, 10}},
      {"body top-right: step (-1, 1)", true, true, vcTopRight, {-5, 5}, {-5, 5}},
      {"zero stays zero", true, true, vcTopLeft, {0, 4}, {0, 4}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Text->Shadow()->SetEnabled(Case.Shadow);
    Text->Shadow()->SetXOffset(Case.Offset.x);
    Text->Shadow()->SetYOffset(Case.Offset.y);
    Text->ExtrudeEffects()->SetEnabled(Case.Extrude);
    Text->ExtrudeEffects()->SetOrientation(Case.Side);
    const POINT Got = Text->Shadow()->EffectiveOffset();
    EXPECT_EQ(Got.x, Case.Expected.x);
    EXPECT_EQ(Got.y, Case.Expected.y);
  }
  Text->ExtrudeEffects()->SetDepth(6);
  Text->ExtrudeEffects()->SetOrientation(vcLeft);
  EXPECT_EQ(Text->ExtrudeEffects()->Extent(false).x, 6);
  EXPECT_EQ(Text->ExtrudeEffects()->Extent(false).y, 6);
  EXPECT_EQ(Text->ExtrudeEffects()->Extent(true).x, 6);
  EXPECT_EQ(Text->ExtrudeEffects()->Extent(true).y, 0);
}

TEST_F(TextTest, AssigningCopiesTheLookButNotThePlacement) {
  TRecordingText Other(TvcTextOwnerHooks{}, &Font, Bitmap->Canvas());
  Text->SetStyle(vclsRaised);
  Text->SetRotation(-90);
  Text->SetLineSpacing(1);
  Text->SetAlignment(taRightJustify);
  Text->SetWordWrap(true);
  Text->Shadow()->SetEnabled(true);
  Text->ExtrudeEffects()->SetStriated(true);
  Text->DisabledColors()->SetShadeColor(clRed);
  Text->SetText("Copied");
  Other.Assign(Text.get());
  EXPECT_EQ(Other.Style(), vclsRaised);
  EXPECT_EQ(Other.Rotation(), 270);
  EXPECT_EQ(Other.LineSpacing(), 1);
  EXPECT_TRUE(Other.Shadow()->Enabled());
  EXPECT_TRUE(Other.ExtrudeEffects()->Striated());
  EXPECT_EQ(Other.Text(), "Copied");
  EXPECT_EQ(Other.Alignment(), taLeftJustify);
  EXPECT_FALSE(Other.WordWrap());
  EXPECT_EQ(Other.DisabledColors()->ShadeColor(), clBtnShadow);
  // Only to another renderer; the settings objects only to their own class; the disabled
  // colours not at all.
  TFont NotAText;
  EXPECT_THROW(NotAText.Assign(Text.get()), Exception);
  EXPECT_THROW(Other.Shadow()->Assign(Text->ExtrudeEffects()), EConvertError);
  try {
    Other.DisabledColors()->Assign(Text->DisabledColors());
    ADD_FAILURE() << "assigned";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(std::string(Error.Message()), "Cannot assign a TvcDisabledColors to a TvcDisabledColors");
  }
}

TEST_F(TextTest, MeasuresLinesWithSpacingAccelerators) {
  const SIZE A = Measure("Ab"), B = Measure("Second line"), Amp = Measure("A&B"), Raw = Measure("A&&B");
  const struct {
    const char* Name;
    std::string Caption;
    TvcTextOptions Options;
    SIZE Expected;
  } Cases[] = {
      {"empty", "", TvcTextOptions{toShowAccel}, SIZE{1, 0}},
      {"one line", "Ab", TvcTextOptions{toShowAccel}, SIZE{A.cx + 1, A.cy}},
      {"two lines: spacing between them only", "Ab\r\nSecond line", TvcTextOptions{toShowAccel},
       SIZE{B.cx + 1, A.cy + 5 + B.cy}},
      {"doubled ampersand measured once", "A&&B", TvcTextOptions{toShowAccel}, SIZE{Amp.cx + 1, Amp.cy}},
      {"without accelerators every ampersand is text", "A&&B", TvcTextOptions{}, SIZE{Raw.cx + 1, Raw.cy}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Text->SetOptions(Case.Options);
    Text->SetText(Case.Caption);
    const SIZE Got = Text->GetTextSize();
    EXPECT_EQ(Got.cx, Case.Expected.cx);
    EXPECT_EQ(Got.cy, Case.Expected.cy);
  }
}

TEST_F(TextTest, RotatedSizeIsTheTurnedBoxWithEffectsAndOutline) {
  Text->SetText("Turned");
  const SIZE Measured = Measure("Turned");
  const SIZE Flat{Measured.cx + 1, Measured.cy};
  EXPECT_EQ(Text->GetTextSize().cx, Flat.cx) << "measured in the caption's own font";
  const struct {
    const char* Name;
    int32_t Rotation;
    std::function<void()> Setup;
    SIZE Expected;
  } Cases[] = {
      {"flat", 0, [] {}, Flat},
      {"quarter turn swaps the sides", 90, [] {}, SIZE{Flat.cy, Flat.cx}},
      {"half turn", 180, [] {}, Flat},
      {"outline adds two each way", 0, [&] { Text->SetStyle(vclsOutline); }, SIZE{Flat.cx + 2, Flat.cy + 2}},
      {"shadow adds its offset", 0, [&] { Text->Shadow()->SetEnabled(true); }, SIZE{Flat.cx + 10, Flat.cy + 10}},
      {"extrude adds its depth", 0, [&] { Text->ExtrudeEffects()->SetEnabled(true); }, SIZE{Flat.cx + 10, Flat.cy + 10}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Text->SetStyle(vclsDefault);
    Text->Shadow()->SetEnabled(false);
    Text->ExtrudeEffects()->SetEnabled(false);
    Text->SetRotation(Case.Rotation);
    Case.Setup();
    RECT R{};
    Text->CalcRect(true, R);
    EXPECT_EQ(R.right - R.left, Case.Expected.cx);
    EXPECT_EQ(R.bottom - R.top, Case.Expected.cy);
  }
  // At 45 degrees both sides of the box are (w + h) / sqrt 2.
  Text->ExtrudeEffects()->SetEnabled(false);
  Text->SetRotation(45);
  RECT R{};
  Text->CalcRect(true, R);
  const int32_t Diagonal = Rnd((Flat.cx + Flat.cy) * std::sqrt(0.5L));
  EXPECT_NEAR(R.right - R.left, Diagonal, 1);
  EXPECT_NEAR(R.bottom - R.top, Diagonal, 1);
  // Clipped to the text area unless asked otherwise.
  Text->SetRotation(0);
  Text->SetTextRect(RECT{0, 0, 10, 5});
  Text->CalcRect(false, R);
  EXPECT_EQ(R.right - R.left, 10);
  EXPECT_EQ(R.bottom - R.top, 5);
}

TEST_F(TextTest, DrawNarrowsTheAreaToTheCaptionForEachAlignment) {
  Text->SetText("Narrow");
  const SIZE Size = Text->GetTextSize();
  const RECT Area{10, 20, 210, 100};
  const struct {
    const char* Name;
    TAlignment Horizontal;
    TvcVAlignment Vertical;
    int32_t Rotation;
    RECT Expected;
    UINT Flags;
  } Cases[] = {
      {"left, top", taLeftJustify, vaTop, 0, {10, 20, 10 + Size.cx, 20 + Size.cy}, 0},
      {"right, bottom", taRightJustify, vaBottom, 0, {210 - Size.cx, 100 - Size.cy, 210, 100}, DT_RIGHT},
      {"centre, middle: unchanged", taCenter, vaVCenter, 0, Area, DT_CENTER},
      {"turned: always centred, unchanged", taRightJustify, vaBottom, 90, Area, 0},
      {"a negative full turn aligns like none", taRightJustify, vaTop, -360, {210 - Size.cx, 20, 210, 20 + Size.cy},
       DT_RIGHT},
  };
  Text->Record = true;
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Text->SetAlignment(Case.Horizontal);
    Text->SetVAlignment(Case.Vertical);
    Text->SetRotation(Case.Rotation);
    Text->SetTextRect(Area);
    Text->Draw();
    EXPECT_EQ(Text->TextRect(), Case.Expected);
    EXPECT_EQ(Text->Flags() & (DT_CENTER | DT_RIGHT), Case.Flags);
  }
}

TEST_F(TextTest, ExtrudedCopiesShadeFromFarToNearAndEndUnderTheCaption) {
  Text->SetText("Body");
  Text->ExtrudeEffects()->SetEnabled(true);
  Text->ExtrudeEffects()->SetNearColor(clWhite);
  Text->ExtrudeEffects()->SetFarColor(clBlack);
  Text->Record = true;
  Text->Draw();
  ASSERT_EQ(Text->Blocks.size(), 11u);  // ten copies and the caption
  const RECT Body = Text->Blocks.back().Rect;
  // vcBottomRight: copy i lies 10 - i pixels below and right of the caption.
  for (int Index = 0; Index < 10; ++Index) {
    EXPECT_EQ(Text->Blocks[size_t(Index)].Rect.left - Body.left, 9 - Index);
    EXPECT_EQ(Text->Blocks[size_t(Index)].Rect.top - Body.top, 9 - Index);
  }
  EXPECT_EQ(Text->Blocks[0].Color, TColor(0x191919));  // 25 in each channel
  EXPECT_EQ(Text->Blocks[9].Color, TColor(0xFFFFFF));
  EXPECT_EQ(Text->Blocks[10].Color, clNavy);
  // Striated: the even copies a quarter, only the low byte of each channel kept.
  Text->ExtrudeEffects()->SetStriated(true);
  Text->Blocks.clear();
  Text->Draw();
  EXPECT_EQ(Text->Blocks[0].Color, TColor(0x191919));
  EXPECT_EQ(Text->Blocks[1].Color, TColor(0x0C0C0C));
  EXPECT_EQ(Text->Blocks[2].Color, TColor(0x4B4B4B));
  EXPECT_EQ(Text->Blocks[9].Color, TColor(0x3E3E3E));  // 250 div 4
}

TEST_F(TextTest, EachStyleDrawsItsCopies) {
  Text->SetText("Copies");
  Text->Record = true;
  struct TCopy {
    int DX, DY;
    TColor Color;
  };
  const TColor Shade = clBtnShadow, Light = clBtnHighlight;
  const struct {
    const char* Name;
    TvcTextStyle Style;
    bool Enabled;
    std::vector<TCopy> Expected;
  } Cases[] = {
      {"plain", vclsDefault, true, {{0, 0, clNavy}}},
      {"raised: light up-left, shade down-right", vclsRaised, true,
       {{-1, -1, Light}, {1, 1, Shade}, {0, 0, clNavy}}},
      {"lowered: the other way", vclsLowered, true, {{-1, -1, Shade}, {1, 1, Light}, {0, 0, clNavy}}},
      {"disabled: highlight down-right, body in the shade", vclsDefault, false, {{1, 1, Light}, {0, 0, Shade}}},
      {"outline: eight copies round the caption", vclsOutline, true,
       {{1, 1, clBlack},
        {-1, 1, clBlack},
        {1, -1, clBlack},
        {-1, -1, clBlack},
        {0, 1, clBlack},
        {-1, 0, clBlack},
        {1, 0, clBlack},
        {0, -1, clBlack},
        {0, 0, clNavy}}},
      {"disabled outline", vclsOutline, false,
       {{1, 1, Shade}, {-1, 1, Shade}, {1, -1, Shade}, {-1, -1, Shade}, {0, 1, Shade}, {-1, 0, Shade}, {1, 0, Shade},
        {0, -1, Shade}, {0, 0, Light}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Enabled = Case.Enabled;
    Text->SetStyle(Case.Style);
    Text->Blocks.clear();
    Text->SetTextRect(RECT{0, 0, 240, 120});
    Text->Draw();
    ASSERT_EQ(Text->Blocks.size(), Case.Expected.size());
    const RECT Body = Text->Blocks.back().Rect;
    for (size_t Index = 0; Index < Case.Expected.size(); ++Index) {
      EXPECT_EQ(Text->Blocks[Index].Rect.left - Body.left, Case.Expected[Index].DX) << Index;
      EXPECT_EQ(Text->Blocks[Index].Rect.top - Body.top, Case.Expected[Index].DY) << Index;
      EXPECT_EQ(Text->Blocks[Index].Color, Case.Expected[Index].Color) << Index;
    }
  }
  // A highlight of clNone is left out; the shadow goes first, at its raw offsets.
  Enabled = false;
  Text->SetStyle(vclsDefault);
  Text->DisabledColors()->SetHighlightColor(clNone);
  Text->Shadow()->SetEnabled(true);
  Text->Shadow()->SetXOffset(3);
  Text->Shadow()->SetYOffset(-2);
  Text->Blocks.clear();
  Text->Draw();
  ASSERT_EQ(Text->Blocks.size(), 2u);
  EXPECT_EQ(Text->Blocks[0].Rect.left - Text->Blocks[1].Rect.left, 3);
  EXPECT_EQ(Text->Blocks[0].Rect.top - Text->Blocks[1].Rect.top, -2);
  EXPECT_EQ(Text->Blocks[0].Color, Shade);
}

TEST_F(TextTest, JustifiedLinesFillTheWidthExceptEachParagraphsLast) {
  Text->SetWordWrap(true);
  Text->SetOptions(TvcTextOptions{toShowAccel, toFullJustify});
  Text->SetLineSpacing(0);
  Text->SetText("one two three four five six seven eight nine ten eleven");
  Text->SetTextRect(RECT{0, 0, 150, 120});
  Text->Draw();
  SaveBitmapPng(*Bitmap, "text_justified", 3);
  const int LineHeight = Measure("AgTpjW").cy;
  // The ink of each line: the first lines reach the right edge, the last does not.
  auto Ink = [&](int Line) {
    RECT Band{0, Line * LineHeight, 150, (Line + 1) * LineHeight};
    TPixelCount Count;
    for (int Y = Band.top; Y < Band.bottom; ++Y)
      for (int X = Band.left; X < Band.right; ++X)
        if (BitmapColor(*Bitmap, X, Y) != 0xFFFFFF) {
          if (Count.Count == 0) Count.Bounds = RECT{X, Y, X + 1, Y + 1};
          Count.Bounds.left = std::min<LONG>(Count.Bounds.left, X);
          Count.Bounds.right = std::max<LONG>(Count.Bounds.right, X + 1);
          ++Count.Count;
        }
    return Count;
  };
  // Lines are stretched to the block's width: the wrapped caption's widest line.
  const TPixelCount First = Ink(0), Second = Ink(1), Last = Ink(2), Beyond = Ink(3);
  ASSERT_GT(First.Count, 0);
  ASSERT_GT(Second.Count, 0);
  EXPECT_LE(First.Bounds.left, 2);
  EXPECT_LE(Second.Bounds.left, 2);
  EXPECT_NEAR(First.Bounds.right, Second.Bounds.right, 2) << "justified lines end together";
  EXPECT_GT(First.Bounds.right, 120);
  ASSERT_GT(Last.Count, 0);
  EXPECT_LT(Last.Bounds.right, First.Bounds.right - 20) << "a paragraph's last line is not stretched";
  EXPECT_EQ(Beyond.Count, 0);
}

TEST_F(TextTest, AWordWiderThanTheBlockLeavesAnEmptyLineAndParagraphsBreakAtBlankLines) {
  Text->SetWordWrap(true);
  Text->SetOptions(TvcTextOptions{toShowAccel, toFullJustify});
  Text->SetLineSpacing(0);
  Text->SetTextRect(RECT{0, 0, 60, 120});
  const int LineHeight = Measure("AgTpjW").cy;
  auto InkRows = [&] {
    std::vector<bool> Rows(6);
    for (int Y = 0; Y < 120; ++Y)
      for (int X = 0; X < 240; ++X)
        if (BitmapColor(*Bitmap, X, Y) != 0xFFFFFF && Y / LineHeight < 6) Rows[size_t(Y / LineHeight)] = true;
    return Rows;
  };
  Text->SetText("Extraordinarily ok");
  Text->Draw();
  EXPECT_EQ(InkRows(), (std::vector<bool>{false, true, false, false, false, false}));
  // LF LF parts paragraphs; CR LF then stays inside a paragraph.
  Bitmap = WhiteBitmap(240, 120);
  Text->SetCanvas(Bitmap->Canvas());
  Text->SetTextRect(RECT{0, 0, 60, 120});
  Text->SetText("ab\n\ncd");
  Text->Draw();
  EXPECT_EQ(InkRows(), (std::vector<bool>{true, true, false, false, false, false}));
}

// A font that measures no height: the text block must still lay its lines out.
class TUnmeasurableText : public TvcCaptionText {
 public:
  using TvcCaptionText::TvcCaptionText;
  int32_t MeasureHeight(const std::string&, int32_t) override { return 0; }
};

TEST_F(TextTest, ALineHeightOfZeroDoesNotDivideByZero) {
  for (bool Justify : {false, true}) {
    SCOPED_TRACE(Justify);
    TUnmeasurableText Flat(TvcTextOwnerHooks{}, &Font, Bitmap->Canvas());
    Flat.SetWordWrap(Justify);
    if (Justify) Flat.SetOptions(TvcTextOptions{toShowAccel, toFullJustify});
    Flat.SetText("one two\r\nthree");
    Flat.SetTextRect(RECT{0, 0, 100, 40});
    EXPECT_NO_THROW(Flat.Draw());
  }
}

TEST_F(TextTest, OffScreenDrawingGivesTheSamePixels) {
  Text->SetText("Twice");
  Text->SetStyle(vclsRaised);
  Text->ExtrudeEffects()->SetEnabled(true);
  Text->Draw();
  auto Direct = WhiteBitmap(240, 120);
  Direct->Canvas()->CopyRect(RECT{0, 0, 240, 120}, Bitmap->Canvas(), RECT{0, 0, 240, 120});
  Bitmap = WhiteBitmap(240, 120);
  Text->SetCanvas(Bitmap->Canvas());
  Text->SetDoubleBuffered(true);
  Text->SetTextRect(RECT{0, 0, 240, 120});
  Text->Draw();
  EXPECT_EQ(Text->BufferBitmap(), nullptr);
  EXPECT_FALSE(Text->DrawingToBuffer());
  int Different = 0;
  for (int Y = 0; Y < 120; ++Y)
    for (int X = 0; X < 240; ++X) Different += BitmapColor(*Bitmap, X, Y) != BitmapColor(*Direct, X, Y);
  EXPECT_EQ(Different, 0);
}

}  // namespace
