// Text on device contexts: extents, where TextOut and DrawText put text (checked through the
// opaque background cell, whose edges are exact), clipping, rotation, decorations, surfaces of
// every depth and determinism.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/text.h"
#include "tests/platform/gdi/text_support.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

SIZE Extent(HDC DC, const char* Text) {
  SIZE Size{};
  EXPECT_TRUE(GetTextExtentPoint32A(DC, Text, int(std::strlen(Text)), &Size));
  return Size;
}

TEXTMETRICA Metrics(HDC DC) {
  TEXTMETRICA Metric{};
  GetTextMetricsA(DC, &Metric);
  return Metric;
}

TEST(TextExtent, SumsAdvances) {
  TTextCanvas Canvas(4, 4);
  Canvas.UseFont(MakeTestFont("Arial", -11));
  HDC DC = Canvas.DC();
  // H 1479, e 1139, l 455, o 1139 font units at 11 pixels per em, each rounded.
  EXPECT_EQ(Extent(DC, "Hello").cx, 8 + 6 + 2 + 2 + 6);
  EXPECT_EQ(Extent(DC, "Hello").cy, 12);
  EXPECT_EQ(Extent(DC, "").cx, 0);
  EXPECT_EQ(Extent(DC, "").cy, 12);
  EXPECT_EQ(Extent(DC, "ab").cx, Extent(DC, "a").cx + Extent(DC, "b").cx);
  // Control characters take no room.
  EXPECT_EQ(Extent(DC, "a\tb\r\n").cx, Extent(DC, "ab").cx);
  // The character extra applies to every character.
  SetTextCharacterExtra(DC, 2);
  EXPECT_EQ(Extent(DC, "Hello").cx, 24 + 10);
  SetTextCharacterExtra(DC, 0);
  // The count is in bytes; a cut character does not crash.
  SIZE Size{};
  EXPECT_TRUE(GetTextExtentPoint32A(DC, "Hello", 2, &Size));
  EXPECT_EQ(Size.cx, 14);
  EXPECT_TRUE(GetTextExtentPoint32A(DC, "\xD0\x96", 1, &Size));
  EXPECT_FALSE(GetTextExtentPoint32A(DC, "x", -1, &Size));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &Size));
}

TEST(TextExtent, ExPointCountsCodePoints) {
  TTextCanvas Canvas(4, 4);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  const char* Text = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // six Cyrillic letters
  INT Dx[6] = {};
  INT Fit = -1;
  SIZE Size{};
  ASSERT_TRUE(GetTextExtentExPointA(DC, Text, int(std::strlen(Text)), 30, &Fit, Dx, &Size));
  EXPECT_EQ(Dx[5], Size.cx);
  for (int Index = 1; Index < 6; ++Index) EXPECT_GT(Dx[Index], Dx[Index - 1]);
  int Expected = 0;
  while (Expected < 6 && Dx[Expected] <= 30) ++Expected;
  EXPECT_EQ(Fit, Expected);
  EXPECT_GT(Fit, 0);
  EXPECT_LT(Fit, 6);
}

// TextOut in OPAQUE mode fills the text cell with the background colour; with a background no
// glyph uses, the cell's box is exact and shows where the reference point put the text.
TEST(TextOut, AlignmentPlacesTheCell) {
  struct TCase {
    const char* Name;
    UINT Align;
    int Left, Top;  // expected cell origin, from the cell size (cx, h) and ascent a
  };
  TTextCanvas Canvas(120, 80);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  const SIZE Size = Extent(DC, "Align");
  const int Ascent = Metrics(DC).tmAscent;
  const int X = 60, Y = 40;
  const TCase Cases[] = {
      {"left top", TA_LEFT | TA_TOP, X, Y},
      {"centre top", TA_CENTER | TA_TOP, X - Size.cx / 2, Y},
      {"right top", TA_RIGHT | TA_TOP, X - Size.cx, Y},
      {"left baseline", TA_LEFT | TA_BASELINE, X, Y - Ascent},
      {"left bottom", TA_LEFT | TA_BOTTOM, X, Y - Size.cy},
      {"right bottom", TA_RIGHT | TA_BOTTOM, X - Size.cx, Y - Size.cy},
  };
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  SetTextColor(DC, Black);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Canvas.Clear();
    SetTextAlign(DC, Case.Align);
    ASSERT_TRUE(TextOutA(DC, X, Y, "Align", 5));
    RECT Expected{Case.Left, Case.Top, Case.Left + Size.cx, Case.Top + Size.cy};
    EXPECT_EQ(RectText(Canvas.ColorBounds(Red)), RectText(Expected));
    EXPECT_EQ(RectText(Canvas.InkBounds()), RectText(Expected));
  }
}

TEST(TextOut, TransparentModeLeavesTheBackground) {
  TTextCanvas Canvas(60, 24);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  SetBkMode(DC, TRANSPARENT);
  SetBkColor(DC, Red);
  SetTextColor(DC, Blue);
  TextOutA(DC, 2, 2, "Hi", 2);
  EXPECT_EQ(Canvas.CountColor(Red), 0);
  EXPECT_GT(Canvas.CountColor(Blue), 10);
  RECT Ink = Canvas.InkBounds();
  SIZE Size = Extent(DC, "Hi");
  EXPECT_GE(Ink.left, 2);
  EXPECT_LE(Ink.right, 2 + Size.cx + 1);
  EXPECT_GE(Ink.top, 2);
  EXPECT_LE(Ink.bottom, 2 + Size.cy);
}

TEST(TextOut, UpdateCurrentPosition) {
  TTextCanvas Canvas(120, 30);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  SetTextAlign(DC, TA_UPDATECP);
  MoveToEx(DC, 10, 5, nullptr);
  TextOutA(DC, 0, 0, "ab", 2);
  POINT Position{};
  GetCurrentPositionEx(DC, &Position);
  EXPECT_EQ(Position.x, 10 + Extent(DC, "ab").cx);
  EXPECT_EQ(Position.y, 5);
  // The second string continues where the first ended: same as drawing both at once.
  TextOutA(DC, 0, 0, "cd", 2);
  uint64_t Pieces = Canvas.Hash();
  Canvas.Clear();
  SetTextAlign(DC, TA_LEFT);
  TextOutA(DC, 10, 5, "abcd", 4);
  EXPECT_EQ(Canvas.Hash(), Pieces);
}

TEST(TextOut, LogicalCoordinatesAndClipping) {
  TTextCanvas Canvas(80, 40);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  SetWindowOrgEx(DC, -10, -5, nullptr);
  TextOutA(DC, 0, 0, "W", 1);
  EXPECT_EQ(Canvas.ColorBounds(Red).left, 10);
  EXPECT_EQ(Canvas.ColorBounds(Red).top, 5);
  SetWindowOrgEx(DC, 0, 0, nullptr);

  Canvas.Clear();
  IntersectClipRect(DC, 0, 0, 15, 40);
  TextOutA(DC, 5, 5, "WWW", 3);
  EXPECT_EQ(Canvas.InkBounds().right, 15);
  SelectClipRgn(DC, nullptr);
}

TEST(ExtTextOut, OpaqueAndClippedRectangles) {
  TTextCanvas Canvas(80, 40);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  SetBkMode(DC, TRANSPARENT);
  SetBkColor(DC, Red);
  RECT Box{5, 5, 30, 30};
  // ETO_OPAQUE fills the rectangle whatever the background mode; without text, only that.
  ASSERT_TRUE(ExtTextOutA(DC, 0, 0, ETO_OPAQUE, &Box, nullptr, 0, nullptr));
  EXPECT_EQ(RectText(Canvas.InkBounds()), RectText(Box));
  EXPECT_EQ(Canvas.CountColor(Red), 25 * 25);

  Canvas.Clear();
  RECT Clip{10, 0, 20, 40};
  ExtTextOutA(DC, 2, 5, ETO_CLIPPED, &Clip, "WWWW", 4, nullptr);
  RECT Ink = Canvas.InkBounds();
  EXPECT_GE(Ink.left, 10);
  EXPECT_LE(Ink.right, 20);

  // Caller-given advances replace the font's.
  Canvas.Clear();
  SetBkMode(DC, OPAQUE);
  INT Dx[3] = {20, 20, 20};
  ExtTextOutA(DC, 0, 0, 0, nullptr, "iii", 3, Dx);
  EXPECT_EQ(Canvas.ColorBounds(Red).right, 60);
}

TEST(TextOut, JustificationSpreadsOverBlanks) {
  TTextCanvas Canvas(160, 30);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  const SIZE Plain = Extent(DC, "a b c");
  const SIZE Half = Extent(DC, "a b");
  // 5 pixels over 2 blanks: 2 each, and the remainder pixel to the first blank.
  ASSERT_TRUE(SetTextJustification(DC, 5, 2));
  TextOutA(DC, 0, 0, "a b c", 5);
  EXPECT_EQ(Canvas.ColorBounds(Red).right, Plain.cx + 5);
  Canvas.Clear();
  TextOutA(DC, 0, 0, "a b", 3);
  EXPECT_EQ(Canvas.ColorBounds(Red).right, Half.cx + 3);
  // Measuring is not justified.
  EXPECT_EQ(Extent(DC, "a b c").cx, Plain.cx);
  // Negative extra condenses.
  SetTextJustification(DC, -2, 2);
  Canvas.Clear();
  TextOutA(DC, 0, 0, "a b c", 5);
  EXPECT_EQ(Canvas.ColorBounds(Red).right, Plain.cx - 2);
  // (0, 0) switches it off.
  SetTextJustification(DC, 0, 0);
  Canvas.Clear();
  TextOutA(DC, 0, 0, "a b c", 5);
  EXPECT_EQ(Canvas.ColorBounds(Red).right, Plain.cx);
}

TEST(TextOut, UnderlineAndStrikeOutSpanTheText) {
  TTextCanvas Canvas(100, 40);
  Canvas.UseFont(MakeTestFont("Arial", -20, FW_NORMAL, 0, false, true, true));
  HDC DC = Canvas.DC();
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, Black);
  TextOutA(DC, 10, 5, "a  b", 4);
  const int Width = Extent(DC, "a  b").cx;
  const int Baseline = 5 + Metrics(DC).tmAscent;
  // Some row below the baseline and some row above it are solid across the whole run, blanks
  // included: the underline and the strike-out.
  auto SolidRow = [&](int Y) {
    for (int X = 10; X < 10 + Width; ++X)
      if (Canvas.Pixel(X, Y) != Black) return false;
    return Canvas.Pixel(9, Y) == White && Canvas.Pixel(10 + Width, Y) == White;
  };
  bool Under = false, Strike = false;
  for (int Y = Baseline; Y < Baseline + 5; ++Y) Under = Under || SolidRow(Y);
  for (int Y = Baseline - 10; Y < Baseline - 3; ++Y) Strike = Strike || SolidRow(Y);
  EXPECT_TRUE(Under);
  EXPECT_TRUE(Strike);
}

TEST(TextOut, QualityAndSurfaceDepth) {
  // Smooth text has grey edges; NONANTIALIASED_QUALITY and 1-bit surfaces only full pixels.
  auto Greys = [](const TTextCanvas& Canvas) {
    int Count = 0;
    for (int Y = 0; Y < Canvas.Height(); ++Y)
      for (int X = 0; X < Canvas.Width(); ++X) {
        COLORREF Color = Canvas.Pixel(X, Y);
        Count += Color != White && Color != Black;
      }
    return Count;
  };
  {
    TTextCanvas Canvas(60, 30);
    Canvas.UseFont(MakeTestFont("Arial", -16));
    TextOutA(Canvas.DC(), 2, 2, "Smooth", 6);
    EXPECT_GT(Greys(Canvas), 0);
  }
  {
    TTextCanvas Canvas(60, 30);
    Canvas.UseFont(
        MakeTestFont("Arial", -16, FW_NORMAL, 0, false, false, false, NONANTIALIASED_QUALITY));
    TextOutA(Canvas.DC(), 2, 2, "Smooth", 6);
    EXPECT_EQ(Greys(Canvas), 0);
    EXPECT_GT(Canvas.CountColor(Black), 20);
  }
  {
    TTextCanvas Canvas(60, 30, 1);
    Canvas.UseFont(MakeTestFont("Arial", -16));
    TextOutA(Canvas.DC(), 2, 2, "Smooth", 6);
    EXPECT_GT(Canvas.CountColor(Black), 20);
  }
  // A 24-bit bottom-up surface gets the same pixels as a 32-bit top-down one.
  TTextCanvas Wide(60, 30, 32), Packed(60, 30, 24);
  for (TTextCanvas* Canvas : {&Wide, &Packed}) {
    Canvas->UseFont(MakeTestFont("Verdana", -13, FW_BOLD));
    SetTextColor(Canvas->DC(), RGB(200, 30, 60));
    TextOutA(Canvas->DC(), 3, 4, "Same", 4);
  }
  EXPECT_EQ(Wide.Hash(), Packed.Hash());
}

TEST(TextOut, RotatedTextRunsAlongTheEscapement) {
  struct TCase {
    const char* Name;
    int Escapement;
  };
  const TCase Cases[] = {{"90", 900}, {"180", 1800}, {"270", 2700}, {"-90 is 270", -900}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTextCanvas Canvas(200, 200);
    Canvas.UseFont(MakeTestFont("Arial", -16, FW_NORMAL, Case.Escapement));
    HDC DC = Canvas.DC();
    SetBkMode(DC, OPAQUE);
    SetBkColor(DC, Red);
    TextOutA(DC, 100, 100, "Rotate", 6);
    const int Length = Extent(DC, "Rotate").cx;
    const int Cell = Metrics(DC).tmHeight;
    // The reference point is the cell's top-left corner in text space.
    RECT Expected{};
    switch ((Case.Escapement + 3600) % 3600) {
      case 900: Expected = {100, 100 - Length, 100 + Cell, 100}; break;
      case 1800: Expected = {100 - Length, 100 - Cell, 100, 100}; break;
      case 2700: Expected = {100 - Cell, 100, 100, 100 + Length}; break;
    }
    EXPECT_EQ(RectText(Canvas.ColorBounds(Red)), RectText(Expected));
    RECT Ink = Canvas.InkBounds();
    EXPECT_EQ(RectText(Ink), RectText(Expected));
  }
}

TEST(TextOut, ObliqueTextStaysNearItsLine) {
  TTextCanvas Canvas(200, 200);
  Canvas.UseFont(MakeTestFont("Arial", -16, FW_NORMAL, 450, false, true));
  HDC DC = Canvas.DC();
  TextOutA(DC, 40, 160, "Forty-five", 10);
  const int Length = Extent(DC, "Forty-five").cx;
  RECT Ink = Canvas.InkBounds();
  // The run goes up and right at 45 degrees from (40, 160) over Length pixels.
  const int Run = int(Length * 0.7071);
  EXPECT_NEAR(Ink.right - 40, Run + 16, 8);
  EXPECT_NEAR(160 - Ink.top, Run, 8);
  EXPECT_GE(Ink.left, 38);
  EXPECT_LE(Ink.bottom, 160 + 20);
  Canvas.SaveForViewing("text_oblique");
}

TEST(DrawText, PlacesAndMeasures) {
  TTextCanvas Canvas(120, 60);
  Canvas.UseFont(MakeTestFont("Arial", -13));
  HDC DC = Canvas.DC();
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  const SIZE Size = Extent(DC, "Caption");
  RECT Rect{10, 10, 110, 50};
  int Height = DrawTextA(DC, "Caption", -1, &Rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const int Left = (10 + 110 - Size.cx) / 2;
  const int Top = 10 + 40 / 2 - Size.cy / 2;
  EXPECT_EQ(RectText(Canvas.ColorBounds(Red)),
            RectText(RECT{Left, Top, Left + Size.cx, Top + Size.cy}));
  EXPECT_EQ(Height, Top + Size.cy - 10);

  RECT Measure{10, 10, 10, 10};
  EXPECT_EQ(DrawTextA(DC, "Caption", -1, &Measure, DT_CALCRECT | DT_SINGLELINE), Size.cy);
  EXPECT_EQ(RectText(Measure), RectText(RECT{10, 10, 10 + Size.cx, 10 + Size.cy}));

  // Word-wrapped measuring in a width: two lines.
  RECT Wrapped{0, 0, Size.cx + 5, 0};
  DrawTextA(DC, "Caption Caption", -1, &Wrapped, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(Wrapped.bottom, 2 * Size.cy);
  EXPECT_EQ(Wrapped.right, Size.cx);

  EXPECT_EQ(DrawTextA(DC, "x", 1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextA(nullptr, "x", 1, &Rect, 0), 0);
}

TEST(DrawText, ClipsToTheRectangleUnlessToldNot) {
  TTextCanvas Canvas(120, 40);
  Canvas.UseFont(MakeTestFont("Arial", -16));
  HDC DC = Canvas.DC();
  RECT Rect{10, 5, 30, 25};
  DrawTextA(DC, "Overflowing", -1, &Rect, DT_SINGLELINE);
  RECT Ink = Canvas.InkBounds();
  EXPECT_GE(Ink.left, 10);
  EXPECT_LE(Ink.right, 30);
  Canvas.Clear();
  DrawTextA(DC, "Overflowing", -1, &Rect, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(Canvas.InkBounds().right, 60);
}

TEST(DrawText, PrefixUnderlinesOneCharacter) {
  TTextCanvas Plain(80, 30), Prefixed(80, 30);
  for (TTextCanvas* Canvas : {&Plain, &Prefixed}) {
    Canvas->UseFont(MakeTestFont("Arial", -16));
    SetBkMode(Canvas->DC(), TRANSPARENT);
  }
  RECT Rect{4, 4, 80, 30};
  DrawTextA(Plain.DC(), "File", -1, &Rect, DT_SINGLELINE);
  DrawTextA(Prefixed.DC(), "&File", -1, &Rect, DT_SINGLELINE);
  const int FWidth = Extent(Plain.DC(), "F").cx;
  // The two differ only below the baseline under the F.
  const int Baseline = 4 + Metrics(Plain.DC()).tmAscent;
  int Differences = 0;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 80; ++X)
      if (Plain.Pixel(X, Y) != Prefixed.Pixel(X, Y)) {
        ++Differences;
        EXPECT_GE(X, 4);
        EXPECT_LT(X, 4 + FWidth);
        EXPECT_GT(Y, Baseline - 1);
      }
  EXPECT_GE(Differences, FWidth - 1);

  // DT_NOPREFIX draws the ampersand; DT_HIDEPREFIX hides the underline.
  TTextCanvas Hidden(80, 30);
  Hidden.UseFont(MakeTestFont("Arial", -16));
  DrawTextA(Hidden.DC(), "&File", -1, &Rect, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(Hidden.Hash(), Plain.Hash());
}

TEST(DrawText, RotatedLinesStartAtTheTopLeft) {
  TTextCanvas Canvas(200, 200);
  Canvas.UseFont(MakeTestFont("Arial", -16, FW_NORMAL, 900));
  HDC DC = Canvas.DC();
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  RECT Rect{50, 150, 190, 190};
  DrawTextA(DC, "Up", -1, &Rect, DT_NOCLIP);
  const int Length = Extent(DC, "Up").cx;
  const int Cell = Metrics(DC).tmHeight;
  EXPECT_EQ(RectText(Canvas.ColorBounds(Red)), RectText(RECT{50, 150 - Length, 50 + Cell, 150}));
  // A second line goes to the right of the first (down the rotated page).
  Canvas.Clear();
  DrawTextA(DC, "Up\r\nUp", -1, &Rect, DT_NOCLIP);
  EXPECT_EQ(RectText(Canvas.ColorBounds(Red)),
            RectText(RECT{50, 150 - Length, 50 + 2 * Cell, 150}));
}

TEST(Text, ExtremeCoordinatesAreHarmless) {
  TTextCanvas Canvas(40, 20);
  Canvas.UseFont(MakeTestFont("Arial", -16, FW_NORMAL, 0, false, true));
  HDC DC = Canvas.DC();
  SetBkMode(DC, OPAQUE);
  EXPECT_TRUE(TextOutA(DC, INT32_MAX - 5, INT32_MIN + 5, "far", 3));
  INT Dx[3] = {INT32_MAX, INT32_MAX, INT32_MIN};
  EXPECT_TRUE(ExtTextOutA(DC, 0, 0, 0, nullptr, "abc", 3, Dx));
  RECT Huge{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX, INT32_MAX};
  DrawTextA(DC, "centre", -1, &Huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  DrawTextA(DC, "a b c", -1, &Huge, DT_WORDBREAK | DT_END_ELLIPSIS);
  RECT Corner{INT32_MIN, INT32_MAX - 3, INT32_MIN + 1, INT32_MAX};
  DrawTextA(DC, "right", -1, &Corner, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  DrawTextA(DC, "a\nb\nc", -1, &Corner, DT_NOCLIP);
  DRAWTEXTPARAMS Params{sizeof(DRAWTEXTPARAMS), 0, INT32_MAX, INT32_MAX, 0};
  RECT Measured = Corner;
  DrawTextExA(DC, "margins", -1, &Measured, DT_CALCRECT | DT_CENTER, &Params);
  SUCCEED();
}

TEST(Text, RenderingIsDeterministic) {
  auto Render = [] {
    TTextCanvas Canvas(220, 60, 24);
    Canvas.UseFont(MakeTestFont("Verdana", -16));
    HDC DC = Canvas.DC();
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, RGB(10, 10, 10));
    TextOutA(DC, 6, 6, "Korvane Software  12:34:56", 26);
    SetTextColor(DC, RGB(255, 255, 0));
    TextOutA(DC, 5, 5, "Korvane Software  12:34:56", 26);
    Canvas.UseFont(MakeTestFont("Arial", -12, FW_BOLD, 100, true));
    TextOutA(DC, 5, 50, "tilted", 6);
    return Canvas.Hash();
  };
  EXPECT_EQ(Render(), Render());
}

// A sample sheet to look at: KORCAM_TEST_IMAGES=<folder> writes text_sample.png there.
TEST(Text, SampleSheet) {
  TTextCanvas Canvas(420, 300, 32, RGB(236, 233, 216));
  HDC DC = Canvas.DC();
  SetBkMode(DC, TRANSPARENT);
  int Y = 4;
  struct TLine {
    const char* Face;
    int Height;
    int Weight;
    bool Italic;
    bool Underline;
    const char* Text;
  };
  const TLine Lines[] = {
      {"MS Sans Serif", -11, FW_NORMAL, false, false, "MS Sans Serif 8: The quick brown fox 0123"},
      {"Arial", -13, FW_NORMAL, false, false, "Arial 10: The quick brown fox jumps"},
      {"Arial", -13, FW_BOLD, false, false, "Arial bold: The quick brown fox jumps"},
      {"Times New Roman", -16, FW_NORMAL, true, false, "Times italic: Wafer-thin mint"},
      {"Courier New", -13, FW_NORMAL, false, true, "Courier New underlined {x = 42;}"},
      {"Verdana", -20, FW_NORMAL, false, false, "Verdana 15: \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2"
                                                "\xD0\xB5\xD1\x82 \xE2\x98\x83"},
  };
  for (const TLine& Line : Lines) {
    Canvas.UseFont(MakeTestFont(Line.Face, Line.Height, Line.Weight, 0, Line.Italic, Line.Underline));
    TextOutA(DC, 6, Y, Line.Text, int(std::strlen(Line.Text)));
    Y += Metrics(DC).tmHeight + 2;
  }
  Canvas.UseFont(MakeTestFont("Arial", -13));
  RECT Box{6, Y + 4, 200, Y + 60};
  DrawTextA(DC, "A &wrapped paragraph with an end ellipsis that does not fit in its box at all",
            -1, &Box, DT_WORDBREAK | DT_END_ELLIPSIS);
  for (int Angle : {0, 450, 900, 1350, 1800}) {
    Canvas.UseFont(MakeTestFont("Arial", -14, FW_NORMAL, Angle));
    SetTextColor(DC, RGB(0, 0, 128));
    TextOutA(DC, 320, 220, "  Rotated", 9);
  }
  Canvas.SaveForViewing("text_sample");
  EXPECT_NE(Canvas.InkBounds(RGB(236, 233, 216)).right, 0);
}

}  // namespace
