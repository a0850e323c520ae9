// Pattern brushes: monochrome patterns take the text colour for 0 bits and the background
// colour for 1 bits, and every pattern is aligned to the device origin (plus the brush origin),
// so neighbouring fills continue one another.

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

constexpr COLORREF One = RGB(255, 0, 0), Two = RGB(0, 0, 255);

// The dither brush: rows 0xAA and 0x55 alternating.
HBRUSH CheckerBrush() {
  const uint8_t rows[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);  // the brush keeps its own copy
  return brush;
}

TEST(PatternTest, MonochromePatternUsesTextAndBackgroundColours) {
  TTestBitmap canvas(6, 3, 24);
  SetTextColor(canvas.DC(), Two);
  SetBkColor(canvas.DC(), One);
  HBRUSH brush = CheckerBrush();
  RECT r{0, 0, 6, 3};
  FillRect(canvas.DC(), &r, brush);
  // x + y even gets the background colour (1 bits).
  EXPECT_EQ(canvas.Art({{One, '1'}, {Two, '2'}}), Lines({"121212", "212121", "121212"}));
  DeleteObject(brush);
}

TEST(PatternTest, NeighbouringFillsLineUp) {
  struct TCase {
    const char* Name;
    POINT WindowOrigin;
    POINT BrushOrigin;
    POINT DCOrigin;  // where device (0,0) lies on the surface
    std::string Expected;
  };
  const TCase cases[] = {
      {"plain", {0, 0}, {0, 0}, {0, 0}, Lines({"1212121", "2121212"})},
      // The pattern follows the device, not logical coordinates.
      {"window origin moved", {1, 0}, {0, 0}, {0, 0}, Lines({"1212121", "2121212"})},
      {"brush origin moved", {0, 0}, {1, 0}, {0, 0}, Lines({"2121212", "1212121"})},
      // A DC whose origin is inside a larger surface (a child window's view).
      {"DC origin at x = 1", {0, 0}, {0, 0}, {1, 0}, Lines({"?121212", "?212121"})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(7, 2, 24);
    canvas.Fill(RGB(9, 9, 9));
    HDC dc = canvas.DC();
    HDC view = nullptr;
    if (c.DCOrigin.x || c.DCOrigin.y) {
      view = GdiCreateSurfaceDC(canvas.Surface(), c.DCOrigin, std::nullopt);
      dc = view;
    }
    SetTextColor(dc, Two);
    SetBkColor(dc, One);
    SetWindowOrgEx(dc, c.WindowOrigin.x, c.WindowOrigin.y, nullptr);
    SetBrushOrgEx(dc, c.BrushOrigin.x, c.BrushOrigin.y, nullptr);
    HBRUSH brush = CheckerBrush();
    // Two fills meeting at an odd column.
    RECT left{c.WindowOrigin.x, 0, c.WindowOrigin.x + 3, 2};
    RECT right{c.WindowOrigin.x + 3, 0, c.WindowOrigin.x + 7, 2};
    FillRect(dc, &left, brush);
    FillRect(dc, &right, brush);
    DeleteObject(brush);
    if (view) DeleteDC(view);
    EXPECT_EQ(canvas.Art({{One, '1'}, {Two, '2'}}), c.Expected);
  }
}

TEST(PatternTest, ColourAndHatchPatterns) {
  TTestBitmap tile(2, 2, 32);
  SetPixel(tile.DC(), 0, 0, One);
  SetPixel(tile.DC(), 1, 0, Two);
  SetPixel(tile.DC(), 0, 1, Two);
  SetPixel(tile.DC(), 1, 1, RGB(0, 255, 0));
  SelectObject(tile.DC(), GdiDefaultBitmap());
  HBRUSH colour = CreatePatternBrush(tile.Bitmap());
  SelectObject(tile.DC(), tile.Bitmap());
  TTestBitmap canvas(5, 3, 24);
  RECT r{0, 0, 5, 3};
  FillRect(canvas.DC(), &r, colour);
  EXPECT_EQ(canvas.Art({{One, '1'}, {Two, '2'}, {RGB(0, 255, 0), 'g'}}), Lines({"12121", "2g2g2", "12121"}));
  DeleteObject(colour);

  HBRUSH hatch = CreateHatchBrush(HS_CROSS, One);
  canvas.Fill(RGB(0, 0, 0));
  SetBkColor(canvas.DC(), Two);
  FillRect(canvas.DC(), &r, hatch);
  EXPECT_EQ(canvas.Art({{One, '1'}, {Two, '2'}, {RGB(0, 0, 0), '.'}}), Lines({"22221", "22221", "22221"}));
  // In transparent mode only the lines are painted.
  TTestBitmap tall(5, 5, 24);
  tall.Fill(RGB(0, 0, 0));
  SetBkMode(tall.DC(), TRANSPARENT);
  RECT all{0, 0, 5, 5};
  FillRect(tall.DC(), &all, hatch);
  EXPECT_EQ(tall.Art({{One, '1'}, {RGB(0, 0, 0), '.'}}),
            Lines({"....1", "....1", "....1", "11111", "....1"}));
  DeleteObject(hatch);
  LOGBRUSH described{};
  HBRUSH solid = CreateSolidBrush(One);
  EXPECT_EQ(GetObject(solid, sizeof(described), &described), int(sizeof(LOGBRUSH)));
  EXPECT_EQ(described.lbStyle, BS_SOLID);
  EXPECT_EQ(described.lbColor, One);
  DeleteObject(solid);
}

TEST(PatternTest, PatternOnAMonochromeBitmap) {
  TTestBitmap mask = TTestBitmap::Monochrome(4, 2);
  HBRUSH brush = CheckerBrush();
  RECT r{0, 0, 4, 2};
  FillRect(mask.DC(), &r, brush);  // default colours: text black (0), background white (1)
  EXPECT_EQ(mask.Art(RGB(255, 255, 255)), Lines({"#.#.", ".#.#"}));
  DeleteObject(brush);
}

TEST(PatternTest, SaveShapesPicture) {
  TTestBitmap canvas(64, 40, 32);
  canvas.Fill(RGB(255, 255, 255));
  HDC dc = canvas.DC();
  HBRUSH checker = CheckerBrush();
  SetTextColor(dc, RGB(0, 128, 0));
  SetBkColor(dc, RGB(255, 255, 0));
  HGDIOBJ oldBrush = SelectObject(dc, checker);
  Rectangle(dc, 2, 2, 22, 18);
  HBRUSH blue = CreateSolidBrush(RGB(80, 120, 255));
  SelectObject(dc, blue);
  Ellipse(dc, 24, 2, 44, 18);
  RoundRect(dc, 46, 2, 62, 18, 8, 8);
  const POINT star[] = {{12, 20}, {18, 38}, {3, 27}, {21, 27}, {6, 38}};
  SetPolyFillMode(dc, WINDING);
  Polygon(dc, star, 5);
  HPEN dashed = CreatePen(PS_DASHDOT, 1, RGB(200, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, dashed);
  SetBkMode(dc, TRANSPARENT);
  MoveToEx(dc, 24, 22, nullptr);
  LineTo(dc, 62, 38);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  RECT focus{26, 30, 44, 38};
  DrawFocusRect(dc, &focus);
  DeleteObject(dashed);
  DeleteObject(blue);
  DeleteObject(checker);
  EXPECT_FALSE(canvas.SavePng("shapes", 6).empty());
}

}  // namespace
