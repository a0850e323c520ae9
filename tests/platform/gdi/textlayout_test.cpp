// DrawText layout with a fixed-width stand-in font: every character 10 pixels wide except the
// period (4, so an ellipsis is 12), cells 16 high, average width 8 (tabs of 64).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/textlayout.h"
#include "platform/rtl/unicode.h"
#include "tests/platform/gdi/text_support.h"

namespace {

TTextMeasure FixedMeasure(int ExternalLeading = 0) {
  TTextMeasure Measure;
  Measure.CharWidth = [](char32_t Code) { return Code == U'.' ? 4 : 10; };
  Measure.Height = 16;
  Measure.ExternalLeading = ExternalLeading;
  Measure.AveCharWidth = 8;
  return Measure;
}

struct TExpectedLine {
  const char* Text;  // segments joined with "|" where a tab split the line
  int X;
  int Y;
};

struct TLayoutCase {
  const char* Name;
  const char* Text;
  RECT Rect;
  UINT Format;
  std::vector<TExpectedLine> Lines;
  int Height;
};

std::string LineText(const TTextLine& Line) {
  std::string Text;
  for (size_t Index = 0; Index < Line.Segments.size(); ++Index) {
    if (Index) Text += "|";
    Text += Utf32ToUtf8(Line.Segments[Index].Text);
  }
  return Text;
}

TTextLayout Layout(const char* Text, RECT Rect, UINT Format, const TTextLayoutParams& Params = {},
                   int ExternalLeading = 0) {
  return LayoutText(Utf8ToUtf32(Text), Rect, Format, FixedMeasure(ExternalLeading), Params);
}

constexpr UINT Single = DT_SINGLELINE;

TEST(TextLayout, LinesAndPositions) {
  const TLayoutCase Cases[] = {
      // Horizontal alignment of one line in a 100-wide rectangle.
      {"left", "abc", {0, 0, 100, 20}, Single, {{"abc", 0, 0}}, 16},
      {"centre", "abc", {0, 0, 100, 20}, Single | DT_CENTER, {{"abc", 35, 0}}, 16},
      {"right", "abc", {0, 0, 100, 20}, Single | DT_RIGHT, {{"abc", 70, 0}}, 16},
      {"centre, odd slack truncates", "ab", {0, 0, 25, 20}, Single | DT_CENTER, {{"ab", 2, 0}}, 16},
      {"centre, wider than the rectangle", "abcdef", {10, 0, 40, 20}, Single | DT_CENTER,
       {{"abcdef", -5, 0}}, 16},
      // Vertical alignment applies to single lines only; the answer reaches the text's bottom.
      {"vcentre", "abc", {0, 0, 100, 41}, Single | DT_VCENTER, {{"abc", 0, 12}}, 28},
      {"bottom", "abc", {0, 0, 100, 40}, Single | DT_BOTTOM, {{"abc", 0, 24}}, 40},
      {"vcentre without single line is ignored", "abc", {0, 0, 100, 40}, DT_VCENTER,
       {{"abc", 0, 0}}, 16},
      // Paragraphs: CR LF, LF and CR each end one; a final break adds no empty line.
      {"hard breaks", "ab\r\ncd\ne\rf", {0, 0, 100, 100}, 0,
       {{"ab", 0, 0}, {"cd", 0, 16}, {"e", 0, 32}, {"f", 0, 48}}, 64},
      {"trailing break", "ab\r\n", {0, 0, 100, 100}, 0, {{"ab", 0, 0}}, 16},
      {"empty paragraph kept", "a\r\n\r\nb", {0, 0, 100, 100}, 0,
       {{"a", 0, 0}, {"", 0, 16}, {"b", 0, 32}}, 48},
      {"single line ignores breaks", "ab\r\ncd", {0, 0, 100, 20}, Single, {{"ab\r\ncd", 0, 0}},
       16},
      // Word wrapping at blanks.
      {"wrap at the last blank that fits", "aaa bbb ccc", {0, 0, 75, 100}, DT_WORDBREAK,
       {{"aaa bbb", 0, 0}, {"ccc", 0, 16}}, 32},
      {"blank runs vanish at a break", "aa    bb", {0, 0, 30, 100}, DT_WORDBREAK,
       {{"aa", 0, 0}, {"bb", 0, 16}}, 32},
      {"a long word overhangs", "a verylongword b", {0, 0, 50, 100}, DT_WORDBREAK,
       {{"a", 0, 0}, {"verylongword", 0, 16}, {"b", 0, 32}}, 48},
      {"edit control breaks a long word", "a verylongword b", {0, 0, 50, 100},
       DT_WORDBREAK | DT_EDITCONTROL,
       {{"a", 0, 0}, {"veryl", 0, 16}, {"ongwo", 0, 32}, {"rd b", 0, 48}}, 64},
      {"wrapped lines centre one by one", "aaa bbb ccc", {0, 0, 75, 100},
       DT_WORDBREAK | DT_CENTER, {{"aaa bbb", 2, 0}, {"ccc", 22, 16}}, 32},
      {"single line does not wrap", "aaa bbb ccc", {0, 0, 75, 100}, DT_WORDBREAK | Single,
       {{"aaa bbb ccc", 0, 0}}, 16},
      {"leading blanks of a paragraph stay", "  ab", {0, 0, 100, 100}, DT_WORDBREAK,
       {{"  ab", 0, 0}}, 16},
      // Prefixes.
      {"prefix removed", "&File", {0, 0, 100, 20}, Single, {{"File", 0, 0}}, 16},
      {"double ampersand", "A&&B", {0, 0, 100, 20}, Single, {{"A&B", 0, 0}}, 16},
      {"no prefix", "&File", {0, 0, 100, 20}, Single | DT_NOPREFIX, {{"&File", 0, 0}}, 16},
      {"trailing ampersand dropped", "abc&", {0, 0, 100, 20}, Single, {{"abc", 0, 0}}, 16},
      // End ellipsis: the longest head that fits with "..." (12 wide).
      {"ellipsis", "abcdefghij", {0, 0, 50, 20}, Single | DT_END_ELLIPSIS, {{"abc...", 0, 0}},
       16},
      {"ellipsis not needed", "abcd", {0, 0, 50, 20}, Single | DT_END_ELLIPSIS, {{"abcd", 0, 0}},
       16},
      {"ellipsis right-aligned", "abcdefghij", {0, 0, 50, 20},
       Single | DT_END_ELLIPSIS | DT_RIGHT, {{"abc...", 8, 0}}, 16},
      {"ellipsis narrower than the dots", "abcdef", {0, 0, 8, 20}, Single | DT_END_ELLIPSIS,
       {{"...", 0, 0}}, 16},
      {"ellipsis per hard line", "abcdefgh\r\nab", {0, 0, 50, 100}, DT_END_ELLIPSIS,
       {{"abc...", 0, 0}, {"ab", 0, 16}}, 32},
      {"ellipsis on an overhanging word", "ab abcdefghij", {0, 0, 50, 100},
       DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOCLIP, {{"ab", 0, 0}, {"abc...", 0, 16}}, 32},
      // The last line shown takes the rest of its paragraph and ends in an ellipsis.
      {"last visible line", "aaa bbb ccc ddd eee", {0, 0, 75, 20},
       DT_WORDBREAK | DT_END_ELLIPSIS, {{"aaa bbb", 0, 0}, {"ccc dd...", 0, 16}}, 32},
      {"last visible line, no clipping", "aaa bbb ccc ddd eee", {0, 0, 75, 20},
       DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOCLIP,
       {{"aaa bbb", 0, 0}, {"ccc ddd", 0, 16}, {"eee", 0, 32}}, 48},
      {"clipped layout stops at the bottom", "a\nb\nc\nd", {0, 0, 50, 20}, 0,
       {{"a", 0, 0}, {"b", 0, 16}}, 32},
      {"edit control shows whole lines only", "a\nb\nc", {0, 0, 50, 20}, DT_EDITCONTROL,
       {{"a", 0, 0}}, 16},
      // Tabs: to the next multiple of 8 average widths from the line's start.
      {"expanded tab", "a\tb", {0, 0, 200, 20}, Single | DT_EXPANDTABS, {{"a|b", 0, 0}}, 16},
      {"tab stop count", "a\tb\tc", {0, 0, 200, 20}, Single | DT_EXPANDTABS | DT_TABSTOP | (4 << 8),
       {{"a|b|c", 0, 0}}, 16},
      {"unexpanded tab takes no room", "a\tb", {0, 0, 200, 20}, Single, {{"a\tb", 0, 0}}, 16},
      // Rectangle offsets carry through.
      {"offset rectangle", "ab\ncd", {5, 7, 105, 100}, DT_RIGHT, {{"ab", 85, 7}, {"cd", 85, 23}},
       32},
  };
  for (const TLayoutCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTextLayout Result = Layout(Case.Text, Case.Rect, Case.Format);
    ASSERT_EQ(Result.Lines.size(), Case.Lines.size());
    for (size_t Index = 0; Index < Case.Lines.size(); ++Index) {
      SCOPED_TRACE("line " + std::to_string(Index));
      EXPECT_EQ(LineText(Result.Lines[Index]), Case.Lines[Index].Text);
      EXPECT_EQ(Result.Lines[Index].X, Case.Lines[Index].X);
      EXPECT_EQ(Result.Lines[Index].Y, Case.Lines[Index].Y);
    }
    EXPECT_EQ(Result.Height, Case.Height);
  }
}

TEST(TextLayout, TabSegmentsStartAtTabStops) {
  // Tabs every 64 (8 x 8): "a" ends at 10, so "b" starts at 64 and "c" at 128.
  TTextLayout Result = Layout("a\tb\tc", {20, 0, 300, 20}, Single | DT_EXPANDTABS);
  ASSERT_EQ(Result.Lines.size(), 1u);
  const auto& Segments = Result.Lines[0].Segments;
  ASSERT_EQ(Segments.size(), 3u);
  EXPECT_EQ(Segments[0].X, 20);
  EXPECT_EQ(Segments[1].X, 84);
  EXPECT_EQ(Segments[2].X, 148);
  EXPECT_EQ(Result.Lines[0].Width, 138);

  // DT_TABSTOP with 4 characters: tabs every 32; DrawTextEx's tab length overrides the flags.
  Result = Layout("a\tb", {0, 0, 300, 20}, Single | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_EQ(Result.Lines[0].Segments[1].X, 32);
  TTextLayoutParams Params;
  Params.TabLength = 2;
  Result = Layout("a\tb", {0, 0, 300, 20}, Single | DT_EXPANDTABS, Params);
  EXPECT_EQ(Result.Lines[0].Segments[1].X, 16);
}

TEST(TextLayout, TabStopCountIsNotReadAsFlags) {
  // The count 4 sits where DT_CALCRECT would be: with DT_TABSTOP it must not measure.
  RECT Rect{0, 0, 300, 20};
  TTextLayout Result = Layout("a\tb", Rect, Single | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_EQ(Result.Bounds, Rect);
  // And 8 would be DT_NOPREFIX: prefixes still work.
  Result = Layout("&a", Rect, Single | DT_TABSTOP | (8 << 8));
  EXPECT_EQ(LineText(Result.Lines[0]), "a");
}

TEST(TextLayout, PrefixUnderline) {
  struct TCase {
    const char* Name;
    const char* Text;
    UINT Format;
    int UnderlineX;
    int UnderlineWidth;
    bool Underlines;
    bool Glyphs;
  };
  const TCase Cases[] = {
      {"first character", "&File", Single, 0, 10, true, true},
      {"inside", "Fi&le", Single, 20, 10, true, true},
      {"the last prefix wins", "&a&b", Single, 10, 10, true, true},
      {"doubled ampersand is no prefix", "a&&b", Single, 0, 0, true, true},
      {"centred line", "&ab", Single | DT_CENTER, 40, 10, true, true},  // line at 40 in 100
      {"hidden prefix", "&File", Single | DT_HIDEPREFIX, 0, 10, false, true},
      {"prefix only", "&File", Single | DT_PREFIXONLY, 0, 10, true, false},
      {"cut by the ellipsis", "abcd&efgh", Single | DT_END_ELLIPSIS, 0, 0, true, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    RECT Rect{0, 0, Case.Format & DT_END_ELLIPSIS ? 50 : 100, 20};
    TTextLayout Result = Layout(Case.Text, Rect, Case.Format);
    ASSERT_EQ(Result.Lines.size(), 1u);
    EXPECT_EQ(Result.Lines[0].UnderlineWidth, Case.UnderlineWidth);
    if (Case.UnderlineWidth) {
      EXPECT_EQ(Result.Lines[0].UnderlineX, Case.UnderlineX);
    }
    EXPECT_EQ(Result.DrawUnderlines, Case.Underlines);
    EXPECT_EQ(Result.DrawGlyphs, Case.Glyphs);
  }
  // A prefix on a wrapped paragraph follows its character to the second line.
  TTextLayout Wrapped = Layout("aaa b&bb", {0, 0, 40, 100}, DT_WORDBREAK);
  ASSERT_EQ(Wrapped.Lines.size(), 2u);
  EXPECT_EQ(Wrapped.Lines[0].UnderlineWidth, 0);
  EXPECT_EQ(Wrapped.Lines[1].UnderlineX, 10);
  EXPECT_EQ(Wrapped.Lines[1].UnderlineWidth, 10);
}

TEST(TextLayout, CalcRect) {
  struct TCase {
    const char* Name;
    const char* Text;
    RECT Rect;
    UINT Format;
    RECT Expected;
  };
  const TCase Cases[] = {
      {"single line", "abc", {5, 5, 200, 5}, Single, {5, 5, 35, 21}},
      {"wrapped: widest line, all lines", "aaa bbb ccc", {0, 0, 75, 0}, DT_WORDBREAK,
       {0, 0, 70, 32}},
      {"overhanging word widens", "a verylongword", {0, 0, 50, 0}, DT_WORDBREAK,
       {0, 0, 120, 32}},
      {"no clipping stop while measuring", "a\nb\nc", {0, 0, 50, 0}, 0, {0, 0, 10, 48}},
      {"centring flags keep the left edge", "abc", {10, 0, 200, 40},
       Single | DT_CENTER | DT_VCENTER, {10, 0, 40, 16}},
      {"measured ellipsis", "abcdefghij", {0, 0, 50, 0}, Single | DT_END_ELLIPSIS,
       {0, 0, 42, 16}},
      {"empty multi-line text", "", {3, 4, 50, 50}, 0, {3, 4, 3, 4}},
      {"empty single line", "", {3, 4, 50, 50}, Single, {3, 4, 3, 20}},
      {"blank", " ", {0, 0, 50, 0}, Single, {0, 0, 10, 16}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTextLayout Result = Layout(Case.Text, Case.Rect, Case.Format | DT_CALCRECT);
    EXPECT_EQ(RectText(Result.Bounds), RectText(Case.Expected));
    EXPECT_EQ(Result.Height, Case.Expected.bottom - Case.Expected.top);
  }
}

TEST(TextLayout, MarginsAndExternalLeading) {
  TTextLayoutParams Params;
  Params.LeftMargin = 5;
  Params.RightMargin = 5;
  TTextLayout Result = Layout("abc", {0, 0, 100, 20}, Single | DT_CENTER, Params);
  EXPECT_EQ(Result.Lines[0].X, 35);  // centred between 5 and 95
  Result = Layout("abc", {0, 0, 100, 20}, Single | DT_RIGHT, Params);
  EXPECT_EQ(Result.Lines[0].X, 65);
  Result = Layout("abc", {0, 0, 100, 0}, Single | DT_CALCRECT, Params);
  EXPECT_EQ(Result.Bounds.right, 40);  // margins count in the measured width

  Result = Layout("a\nb", {0, 0, 100, 100}, DT_EXTERNALLEADING, {}, 2);
  EXPECT_EQ(Result.Lines[1].Y, 18);
  Result = Layout("a\nb", {0, 0, 100, 100}, 0, {}, 2);
  EXPECT_EQ(Result.Lines[1].Y, 16);
}

TEST(TextLayout, LengthDrawnCountsCodePoints) {
  // All of it.
  EXPECT_EQ(Layout("ab\ncd", {0, 0, 100, 100}, 0).LengthDrawn, 5);
  // Two lines fit in 20 pixels when clipping, so the count ends after "a", LF, "b".
  TTextLayout Stopped = Layout("a\nb\nc\nd", {0, 0, 50, 20}, 0);
  EXPECT_EQ(Stopped.LengthDrawn, 3);
  // Non-ASCII text counts characters, not bytes.
  EXPECT_EQ(Layout("\xD0\x96\xD0\x96", {0, 0, 100, 20}, Single).LengthDrawn, 2);
}

TEST(TextLayout, StripPrefixes) {
  struct TCase {
    const char* Text;
    const char* Expected;
    int Prefix;
  };
  const TCase Cases[] = {
      {"&Open", "Open", 0},  {"Save &As", "Save As", 5}, {"A&&B", "A&B", -1},
      {"&&&x", "&x", 1},     {"x&", "x", -1},            {"", "", -1},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    int Prefix = 99;
    EXPECT_EQ(Utf32ToUtf8(StripPrefixes(Utf8ToUtf32(Case.Text), &Prefix)), Case.Expected);
    EXPECT_EQ(Prefix, Case.Prefix);
  }
}

}  // namespace
