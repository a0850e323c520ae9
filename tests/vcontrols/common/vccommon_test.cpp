// The shared routines of the visual library that need no window: colours and colour texts,
// texts and tokens, layout geometry.

#include "vcontrols/common/vccommon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

TEST(VcCommonTest, ColourHelpers) {
  EXPECT_EQ(ColorToRGBText(clRed), "RGB: 255, 0, 0");
  EXPECT_EQ(ColorToRGBText(0x123456), "RGB: 86, 52, 18");
  // Upper case, so that the text matches IntToHex texts of the same colour.
  EXPECT_EQ(ColorBytesToHex(255, 0, 16), "FF0010");
  EXPECT_EQ(ColorBytesToHex(0x0A, 0x0B, 0x0C), IntToHex(0x0A0B0C, 6));

  struct TCase {
    const char* Name;
    TColor Color;
    int32_t Amount;
    bool Percent;
    TColor Expected;
  } cases[] = {
      {"+50 percent of the way to white", 0x646464, 50, true, 0xB1B1B1},
      {"-50 percent toward black", 0x646464, -50, true, 0x323232},
      {"+200 absolute clamps", 0x646464, 200, false, 0xFFFFFF},
      {"-30 absolute clamps at 0", 0x0A1428, -30, false, 0x00000A},
      {"channels move independently", 0x00FF80, 50, true, 0x7FFFBF},
      {"zero percent changes nothing", 0x123456, 0, true, 0x123456},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AdjustColor(c.Color, c.Amount, c.Percent), c.Expected);
  }
  // System colours are resolved first.
  EXPECT_EQ(AdjustColor(clBtnFace, 0, false), ColorToRGB(clBtnFace));

  uint8_t top, blue, green, red;
  SplitColor(0x01020304, top, blue, green, red);
  EXPECT_EQ((std::vector<int>{top, blue, green, red}), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(MaxChannel(0x102030), 0x30);
  EXPECT_EQ(ColorToImageListColor(clNone), CLR_NONE);
  EXPECT_EQ(ColorToImageListColor(clDefault), CLR_DEFAULT);
  EXPECT_EQ(ColorToImageListColor(clBtnFace), COLORREF(ColorToRGB(clBtnFace)));
}

TEST(VcCommonTest, TokensAndPositions) {
  struct TCountCase {
    const char* Text;
    const char* Separator;
    int32_t Expected;
  } counts[] = {{"", ",", 0}, {"a", ",", 1}, {"one\r\ntwo", "\r\n", 2}, {"aaa", "aa", 3}, {"a,b,,c", ",", 4}};
  for (const TCountCase& c : counts) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(CountTokens(c.Text, c.Separator), c.Expected);
  }
  EXPECT_EQ(GetToken("a,b,,c", ",", 2), "");
  EXPECT_EQ(GetToken("a,b,,c", ",", 3), "c");
  EXPECT_EQ(GetToken("a,b,,c", ",", 4), "");
  EXPECT_EQ(GetToken("one\r\ntwo", "\r\n", 1), "two");
  EXPECT_EQ(TokenIndex("a,b,,c", ",", "c"), 3);
  EXPECT_EQ(TokenIndex("a,b,,c", ",", "C"), -1);
  EXPECT_EQ(PosFrom("b", "abcb", 3), 4);
  EXPECT_EQ(PosFrom("x", "abcb", 1), 0);
  EXPECT_EQ(NthPos("b", "abcb", 0), 2);
  EXPECT_EQ(NthPos("b", "abcb", 1), 4);
  EXPECT_EQ(CopyRange("abcdef", 2, 4), "bc");
  EXPECT_EQ(CopyRange("abcdef", 3, 0), "cdef");
  EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceAll("a-b-c", "-", ""), "abc");
  EXPECT_EQ(StripAccelerators("&File && Edit"), "File & Edit");
  std::string blanks = " \t x y \t";
  TrimBlanks(blanks);
  EXPECT_EQ(blanks, "x y");
}

TEST(VcCommonTest, NextToken) {
  struct TStep {
    std::string Token;
    int32_t Position;
  };
  struct TCase {
    const char* Name;
    std::string Text;
    int32_t Flags;
    std::vector<TStep> Steps;
  } cases[] = {
      {"a two-character token stops at the delimiter", "ab+c", 0, {{"ab", 3}, {"+", 4}, {"c", 6}}},
      {"a one-character token passes the delimiter after it", "a+b", 0, {{"a", 3}, {"b", 5}}},
      {"blanks end a token and are skipped with flag 1", "ab  cd", gtSkipBlanks, {{"ab", 3}, {"cd", 7}}},
      {"blanks stay in a token with flag 8", "a b+c", gtBlanksInToken, {{"a b", 4}, {"+", 5}}},
      {"a quoted token keeps its quotes", "\"a+b\"+c", gtQuoted, {{"\"a+b\"", 6}}},
      {"and loses them with flag 4", "\"a+b\"+c", gtQuoted | gtStripQuotes, {{"a+b", 6}}},
      {"an unterminated quote runs to the end", "\"ab", gtQuoted, {{"\"ab", 4}}},
      {"control characters end a token",
       "ab\x01"
       "cd",
       0,
       {{"ab", 3}, {"\x01", 4}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    int32_t position = 1;
    for (const TStep& step : c.Steps) {
      EXPECT_EQ(GetNextToken(c.Text, position, c.Flags, "+"), step.Token);
      EXPECT_EQ(position, step.Position);
    }
  }
  int32_t past = 9;
  EXPECT_EQ(GetNextToken("abc", past, 0, "+"), "");
  EXPECT_EQ(past, 9);
}

TEST(VcCommonTest, NameValueLists) {
  TStringList list;
  list.Add("Black=000000");
  list.Add("Name = value ");
  list.Add(" plain ");
  list.Add("Grey=0A0A0A");
  EXPECT_EQ(GetNameAt(list, 1), "Name ");
  EXPECT_EQ(GetNameAt(list, -1), "");
  EXPECT_EQ(GetValueAt(list, 1), "value");
  EXPECT_EQ(GetValueAt(list, 2), "plain");
  EXPECT_EQ(GetColorValueAt(list, 3), 0x0A0A0A);
  EXPECT_EQ(IndexOfValue("0A0A0A", list), 3);
  EXPECT_EQ(IndexOfValue("0a0a0a", list), -1);
  EXPECT_EQ(IndexOfName("grey", list), 3);
  EXPECT_EQ(IndexOfName("missing", list), -1);
  EXPECT_EQ(GetListString(list, 0), "Black=000000");
}

TEST(VcCommonTest, SortStringsOrdersTextsAndLeavesObjects) {
  TStringList list;
  for (const char* text : {"pear", "apple", "fig", "kiwi", "apple", "date"}) list.Add(text);
  TObject* marker = reinterpret_cast<TObject*>(uintptr_t(0x10));
  list.SetObjects(0, marker);
  SortStrings(list, 0, list.Count() - 1, GetListString,
              [](const std::string& A, const std::string& B) { return CompareStr(A, B); });
  std::vector<std::string> sorted;
  for (int i = 0; i < list.Count(); ++i) sorted.push_back(list[i]);
  EXPECT_EQ(sorted, (std::vector<std::string>{"apple", "apple", "date", "fig", "kiwi", "pear"}));
  EXPECT_EQ(list.Objects(0), marker);
}

TEST(VcCommonTest, Geometry) {
  EXPECT_EQ(ProportionalRect(RECT{0, 0, 200, 100}, 400, 100), (RECT{0, 0, 200, 50}));
  EXPECT_EQ(ProportionalCenterRect(RECT{0, 0, 200, 100}, 400, 100), (RECT{0, 25, 200, 75}));
  EXPECT_EQ(ProportionalRect(RECT{10, 10, 110, 60}, 100, 100), (RECT{10, 10, 60, 60}));
  EXPECT_EQ(ProportionalCenterRect(RECT{10, 10, 110, 60}, 100, 100), (RECT{35, 10, 85, 60}));
  // 4:3 into 4:3: the comparison is equal, so the height decides.
  EXPECT_EQ(ProportionalRect(RECT{0, 0, 640, 480}, 320, 240), (RECT{0, 0, 640, 480}));
  EXPECT_EQ(ProportionalRect(RECT{5, 5, 5, 50}, 10, 10), (RECT{5, 5, 5, 5}));
  EXPECT_EQ(ProportionalCenterRect(RECT{0, 0, 100, 100}, 0, 10), (RECT{0, 0, 0, 0}));

  RECT caption, glyph;
  CalcGlyphTextLayout(POINT{50, 20}, &caption, &glyph, SIZE{30, 13}, SIZE{16, 16}, 0, 4);
  EXPECT_EQ(glyph, (RECT{25, 12, 41, 28}));
  EXPECT_EQ(caption, (RECT{45, 14, 75, 27}));
  CalcGlyphTextLayout(POINT{50, 20}, &caption, &glyph, SIZE{30, 13}, SIZE{16, 16}, 1, 4);
  EXPECT_EQ(caption, (RECT{25, 14, 55, 27}));
  EXPECT_EQ(glyph, (RECT{59, 12, 75, 28}));
  CalcGlyphTextLayout(POINT{50, 40}, &caption, &glyph, SIZE{30, 13}, SIZE{16, 16}, 2, 4);
  EXPECT_EQ(glyph, (RECT{42, 23, 58, 39}));
  EXPECT_EQ(caption, (RECT{35, 43, 65, 56}));
  // No glyph: the spacing becomes (4 - 6) div 2 = -1.
  CalcGlyphTextLayout(POINT{50, 20}, &caption, nullptr, SIZE{30, 13}, SIZE{0, 0}, 0, 4);
  EXPECT_EQ(caption, (RECT{35, 14, 65, 27}));

  EXPECT_EQ(IntersectRects(RECT{0, 0, 10, 10}, RECT{5, 5, 20, 20}), (RECT{5, 5, 10, 10}));
  EXPECT_TRUE(IsZeroRect(IntersectRects(RECT{0, 0, 10, 10}, RECT{10, 0, 20, 10})));
  uint32_t flags = 0x10;
  SetFlag(true, flags, 0x03u);
  SetFlag(false, flags, 0x10u);
  EXPECT_EQ(flags, 0x03u);
}

}  // namespace
