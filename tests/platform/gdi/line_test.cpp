// Lines: the end pixel is left out, styled pens repeat their dash lengths, mix modes apply per
// pixel, and polylines continue the dash pattern round corners.

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

constexpr COLORREF Ink = RGB(0, 0, 0), Paper = RGB(255, 255, 255);

struct TLineCase {
  const char* Name;
  POINT From, To;
  std::string Expected;  // 5x5 picture
};

TEST(LineTest, EndPixelIsNotDrawn) {
  const TLineCase cases[] = {
      {"diagonal of one step sets one pixel",
       {0, 0},
       {1, 1},
       Lines({"#....", ".....", ".....", ".....", "....."})},
      {"horizontal", {0, 2}, {4, 2}, Lines({".....", ".....", "####.", ".....", "....."})},
      {"vertical upwards", {3, 4}, {3, 0}, Lines({".....", "...#.", "...#.", "...#.", "...#."})},
      {"right to left", {4, 0}, {0, 0}, Lines({".####", ".....", ".....", ".....", "....."})},
      {"45 degrees", {0, 4}, {4, 0}, Lines({".....", "...#.", "..#..", ".#...", "#...."})},
      {"shallow", {0, 0}, {4, 2}, Lines({"##...", "..##.", ".....", ".....", "....."})},
      {"zero length draws nothing", {2, 2}, {2, 2}, Lines({".....", ".....", ".....", ".....", "....."})},
      {"clipped at the bitmap edge", {-3, 1}, {9, 1}, Lines({".....", "#####", ".....", ".....", "....."})},
  };
  for (const TLineCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(5, 5, 24);
    canvas.Fill(Paper);
    MoveToEx(canvas.DC(), c.From.x, c.From.y, nullptr);
    LineTo(canvas.DC(), c.To.x, c.To.y);
    EXPECT_EQ(canvas.Art(Ink), c.Expected);
    POINT position;
    GetCurrentPositionEx(canvas.DC(), &position);
    EXPECT_EQ(position, c.To);
  }
}

TEST(LineTest, PolylineSetsEachSegmentWithoutItsEnd) {
  TTestBitmap canvas(5, 5, 24);
  canvas.Fill(Paper);
  // Two segments: the shared corner is drawn once (as the second segment's start), the last
  // point not at all.
  const POINT points[] = {{0, 0}, {3, 0}, {3, 3}};
  Polyline(canvas.DC(), points, 3);
  EXPECT_EQ(canvas.Art(Ink), Lines({"####.", "...#.", "...#.", ".....", "....."}));
  EXPECT_FALSE(Polyline(canvas.DC(), points, 1));
}

TEST(LineTest, StyledPensRepeatTheirDashes) {
  struct TCase {
    const char* Name;
    int Style;
    std::string Expected;  // 40 pixels along a line
  };
  const TCase cases[] = {
      {"dash 18/6", PS_DASH, "##################......################"},
      {"dot 3/3", PS_DOT, "###...###...###...###...###...###...###."},
      {"dash-dot 9/6/3/6", PS_DASHDOT, "#########......###......#########......#"},
      {"dash-dot-dot", PS_DASHDOTDOT, "#########...###...###...#########...###."},
      {"null", PS_NULL, "........................................"},
      {"solid", PS_SOLID, "########################################"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(40, 1, 24);
    canvas.Fill(Paper);
    SetBkMode(canvas.DC(), TRANSPARENT);
    HPEN pen = CreatePen(c.Style, 1, Ink);
    HGDIOBJ old = SelectObject(canvas.DC(), pen);
    MoveToEx(canvas.DC(), 0, 0, nullptr);
    LineTo(canvas.DC(), 41, 0);
    SelectObject(canvas.DC(), old);
    DeleteObject(pen);
    EXPECT_EQ(canvas.Art(Ink), c.Expected);
  }
}

TEST(LineTest, OpaqueGapsTakeTheBackgroundColour) {
  TTestBitmap canvas(12, 1, 24);
  canvas.Fill(Paper);
  SetBkColor(canvas.DC(), RGB(0, 0, 255));
  HPEN pen = CreatePen(PS_DOT, 0, Ink);
  HGDIOBJ old = SelectObject(canvas.DC(), pen);
  MoveToEx(canvas.DC(), 0, 0, nullptr);
  LineTo(canvas.DC(), 12, 0);
  SelectObject(canvas.DC(), old);
  DeleteObject(pen);
  EXPECT_EQ(canvas.Art({{Ink, '#'}, {RGB(0, 0, 255), 'b'}}), "###bbb###bbb");
}

TEST(LineTest, MixModes) {
  struct TCase {
    const char* Name;
    int Rop2;
    COLORREF Pen, Before, After;
  };
  const TCase cases[] = {
      {"copy", R2_COPYPEN, RGB(1, 2, 3), RGB(200, 100, 50), RGB(1, 2, 3)},
      {"xor", R2_XORPEN, RGB(0xFF, 0x0F, 0x00), RGB(0x0F, 0x0F, 0x0F), RGB(0xF0, 0x00, 0x0F)},
      {"not", R2_NOT, RGB(1, 2, 3), RGB(0x10, 0x20, 0x30), RGB(0xEF, 0xDF, 0xCF)},
      {"not xor", R2_NOTXORPEN, RGB(0xFF, 0, 0), RGB(0xFF, 0xFF, 0), RGB(0xFF, 0, 0xFF)},
      {"mask", R2_MASKPEN, RGB(0xF0, 0xF0, 0xF0), RGB(0x3C, 0x3C, 0x3C), RGB(0x30, 0x30, 0x30)},
      {"merge", R2_MERGEPEN, RGB(0xF0, 0, 0), RGB(0x0F, 0, 0), RGB(0xFF, 0, 0)},
      {"nop", R2_NOP, RGB(1, 2, 3), RGB(9, 9, 9), RGB(9, 9, 9)},
      {"black", R2_BLACK, RGB(1, 2, 3), RGB(9, 9, 9), RGB(0, 0, 0)},
      {"white", R2_WHITE, RGB(1, 2, 3), RGB(9, 9, 9), RGB(255, 255, 255)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(2, 1, 32);
    canvas.Fill(c.Before);
    HPEN pen = CreatePen(PS_SOLID, 1, c.Pen);
    HGDIOBJ old = SelectObject(canvas.DC(), pen);
    EXPECT_EQ(SetROP2(canvas.DC(), c.Rop2), R2_COPYPEN);
    MoveToEx(canvas.DC(), 0, 0, nullptr);
    LineTo(canvas.DC(), 1, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), c.After);
    EXPECT_EQ(canvas.Pixel(1, 0), c.Before);
    SelectObject(canvas.DC(), old);
    DeleteObject(pen);
  }
}

TEST(LineTest, XorTwiceRestoresAndWidePensCoverTheirWidth) {
  TTestBitmap canvas(8, 8, 24);
  canvas.Fill(RGB(10, 20, 30));
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(canvas.DC(), pen);
  SetROP2(canvas.DC(), R2_XORPEN);
  const POINT points[] = {{1, 1}, {6, 1}, {6, 6}};
  Polyline(canvas.DC(), points, 3);
  // A 3-pixel pen: rows 0..2 along the top segment, each pixel inverted once.
  EXPECT_EQ(canvas.Pixel(3, 0), RGB(245, 235, 225));
  EXPECT_EQ(canvas.Pixel(3, 2), RGB(245, 235, 225));
  EXPECT_EQ(canvas.Pixel(3, 3), RGB(10, 20, 30));
  EXPECT_EQ(canvas.Pixel(6, 1), RGB(245, 235, 225));  // the corner, once
  Polyline(canvas.DC(), points, 3);
  EXPECT_EQ(canvas.Art(RGB(10, 20, 30)), Lines({"########", "########", "########", "########", "########",
                                                "########", "########", "########"}));
  SelectObject(canvas.DC(), old);
  DeleteObject(pen);
}

TEST(LineTest, LinesFollowTheWindowAndViewportOrigins) {
  TTestBitmap canvas(5, 5, 24);
  canvas.Fill(Paper);
  SetWindowOrgEx(canvas.DC(), 10, 0, nullptr);   // logical (10,0) is device (0,0)
  SetViewportOrgEx(canvas.DC(), 0, 2, nullptr);  // ...then shifted down by 2
  MoveToEx(canvas.DC(), 11, 0, nullptr);
  LineTo(canvas.DC(), 14, 0);
  EXPECT_EQ(canvas.Art(Ink), Lines({".....", ".....", ".###.", ".....", "....."}));
}

}  // namespace
