// Rectangles, shapes and fills, pixels, clipping and the DC state stack.

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

constexpr COLORREF Paper = RGB(255, 255, 255), PenInk = RGB(0, 0, 0), Fill = RGB(0, 0, 255);
const std::vector<std::pair<COLORREF, char>> Legend = {{Paper, '.'}, {PenInk, '#'}, {Fill, 'o'}};

// A canvas with a blue brush selected (and the default black pen).
struct TShapeCanvas {
  TTestBitmap Canvas;
  HBRUSH Brush;
  HGDIOBJ OldBrush;
  TShapeCanvas(int Width, int Height) : Canvas(Width, Height, 24) {
    Canvas.Fill(Paper);
    Brush = CreateSolidBrush(Fill);
    OldBrush = SelectObject(Canvas.DC(), Brush);
  }
  ~TShapeCanvas() {
    SelectObject(Canvas.DC(), OldBrush);
    DeleteObject(Brush);
  }
};

TEST(RectTest, RectangleAndFillRectEdges) {
  struct TCase {
    const char* Name;
    std::function<void(HDC)> Draw;
    std::string Expected;
  };
  const TCase cases[] = {
      {"Rectangle: frame on the outermost pixels, brush inside", [](HDC DC) { Rectangle(DC, 1, 1, 5, 4); },
       Lines({"......", ".####.", ".#oo#.", ".####.", "......"})},
      {"Rectangle with the null pen is one pixel smaller",
       [](HDC DC) {
         SelectObject(DC, GetStockObject(NULL_PEN));
         Rectangle(DC, 1, 1, 5, 4);
       },
       Lines({"......", ".ooo..", ".ooo..", "......", "......"})},
      {"Rectangle with the null brush",
       [](HDC DC) {
         SelectObject(DC, GetStockObject(NULL_BRUSH));
         Rectangle(DC, 0, 0, 3, 3);
       },
       Lines({"###...", "#.#...", "###...", "......", "......"})},
      {"Rectangle with reversed corners", [](HDC DC) { Rectangle(DC, 5, 4, 1, 1); },
       Lines({"......", ".####.", ".#oo#.", ".####.", "......"})},
      {"FillRect is half-open",
       [](HDC DC) {
         RECT r{1, 1, 4, 3};
         FillRect(DC, &r, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
       },
       Lines({"......", ".ooo..", ".ooo..", "......", "......"})},
      {"FillRect with an inverted rectangle draws nothing",
       [](HDC DC) {
         RECT r{4, 1, 1, 3};
         FillRect(DC, &r, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
       },
       Lines({"......", "......", "......", "......", "......"})},
      {"FrameRect",
       [](HDC DC) {
         RECT r{0, 0, 6, 5};
         FrameRect(DC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
       },
       Lines({"######", "#....#", "#....#", "#....#", "######"})},
      {"FillRect with a system colour index",
       [](HDC DC) {
         RECT r{0, 0, 2, 1};
         FillRect(DC, &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOWTEXT + 1)));
       },
       Lines({"##....", "......", "......", "......", "......"})},
      {"FillRect ignores the mix mode",
       [](HDC DC) {
         SetROP2(DC, R2_NOP);
         RECT r{0, 0, 1, 1};
         FillRect(DC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
         Rectangle(DC, 2, 2, 5, 5);  // shapes follow it: nothing drawn
       },
       Lines({"#.....", "......", "......", "......", "......"})},
      {"SetPixel and PatBlt",
       [](HDC DC) {
         SetPixel(DC, 5, 4, PenInk);
         PatBlt(DC, 0, 4, 2, 1, PATCOPY);
       },
       Lines({"......", "......", "......", "......", "oo...#"})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TShapeCanvas shape(6, 5);
    int saved = SaveDC(shape.Canvas.DC());
    c.Draw(shape.Canvas.DC());
    RestoreDC(shape.Canvas.DC(), saved);
    EXPECT_EQ(shape.Canvas.Art(Legend), c.Expected);
  }
}

TEST(RectTest, InvertAndFocusRectangles) {
  TTestBitmap canvas(6, 4, 24);
  canvas.Fill(Paper);
  RECT r{0, 0, 6, 4};
  DrawFocusRect(canvas.DC(), &r);
  // Every other frame pixel, those with x + y even.
  EXPECT_EQ(canvas.Art(RGB(0, 0, 0)), Lines({"#.#.#.", ".....#", "#.....", ".#.#.#"}));
  DrawFocusRect(canvas.DC(), &r);  // XOR: a second call removes it
  EXPECT_EQ(canvas.Art(Paper), Lines({"######", "######", "######", "######"}));
  RECT inner{1, 1, 3, 3};
  InvertRect(canvas.DC(), &inner);
  EXPECT_EQ(canvas.Art(RGB(0, 0, 0)), Lines({"......", ".##...", ".##...", "......"}));
}

TEST(RectTest, EllipseAndRoundRectAreSymmetricWithAnOutline) {
  for (bool round : {false, true}) {
    SCOPED_TRACE(round ? "RoundRect" : "Ellipse");
    TShapeCanvas shape(15, 11);
    if (round)
      RoundRect(shape.Canvas.DC(), 0, 0, 15, 11, 6, 6);
    else
      Ellipse(shape.Canvas.DC(), 0, 0, 15, 11);
    TTestBitmap& c = shape.Canvas;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 15; ++x) {
        ASSERT_EQ(c.Pixel(x, y), c.Pixel(14 - x, y)) << x << "," << y;
        ASSERT_EQ(c.Pixel(x, y), c.Pixel(x, 10 - y)) << x << "," << y;
      }
    EXPECT_EQ(c.Pixel(7, 5), Fill);
    EXPECT_EQ(c.Pixel(7, 0), PenInk);
    EXPECT_EQ(c.Pixel(0, 5), PenInk);
    EXPECT_EQ(c.Pixel(0, 0), Paper);
    // The outline closes: walking in from any side meets ink before fill.
    for (int y = 1; y < 10; ++y) {
      int x = 0;
      while (c.Pixel(x, y) == Paper) ++x;
      EXPECT_EQ(c.Pixel(x, y), PenInk) << "row " << y;
    }
    if (round) {
      // Straight edges between the corners.
      EXPECT_EQ(c.Pixel(4, 0), PenInk);
      EXPECT_EQ(c.Pixel(0, 4), PenInk);
    }
  }
}

TEST(RectTest, PolygonFillModes) {
  // A square drawn twice round: the inside is covered twice.
  const POINT twice[] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}, {1, 1}, {8, 1}, {8, 8}, {1, 8}};
  for (int mode : {ALTERNATE, WINDING}) {
    SCOPED_TRACE(mode == ALTERNATE ? "alternate" : "winding");
    TShapeCanvas shape(10, 10);
    SetPolyFillMode(shape.Canvas.DC(), mode);
    SelectObject(shape.Canvas.DC(), GetStockObject(NULL_PEN));
    Polygon(shape.Canvas.DC(), twice, 8);
    EXPECT_EQ(shape.Canvas.Pixel(4, 4), mode == WINDING ? Fill : Paper);
  }
  TShapeCanvas shape(6, 6);
  const POINT triangle[] = {{0, 0}, {5, 0}, {0, 5}};
  Polygon(shape.Canvas.DC(), triangle, 3);
  EXPECT_EQ(shape.Canvas.Art(Legend), Lines({"######", "#ooo#.", "#oo#..", "#o#...", "##....", "#....."}));
}

TEST(RectTest, ClippingAndTheStateStack) {
  TShapeCanvas shape(6, 4);
  HDC dc = shape.Canvas.DC();
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 6, 4}));
  int level = SaveDC(dc);
  EXPECT_EQ(level, 1);
  EXPECT_EQ(IntersectClipRect(dc, 1, 0, 5, 4), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(dc, 2, 1, 4, 3), COMPLEXREGION);
  SetTextColor(dc, RGB(1, 1, 1));
  RECT all{0, 0, 6, 4};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(shape.Canvas.Art(PenInk), Lines({".####.", ".#..#.", ".#..#.", ".####."}));
  EXPECT_FALSE(PtVisible(dc, 2, 1));
  EXPECT_TRUE(PtVisible(dc, 1, 1));
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, copy), 1);
  EXPECT_FALSE(PtInRegion(copy, 0, 0));
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetClipRgn(dc, copy), 0);  // no clip region any more
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_FALSE(RestoreDC(dc, 1));  // already popped
  // A clip region is in device coordinates: origins do not move it.
  HRGN clip = CreateRectRgn(0, 0, 2, 4);
  SelectClipRgn(dc, clip);
  SetWindowOrgEx(dc, 3, 0, nullptr);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{3, 0, 5, 4}));  // answered in logical coordinates
  EXPECT_TRUE(RectVisible(dc, &box));
  DeleteObject(clip);
  DeleteObject(copy);
}

TEST(RectTest, RegionPainting) {
  TShapeCanvas shape(6, 4);
  HDC dc = shape.Canvas.DC();
  HRGN region = CreateRectRgn(0, 0, 6, 4);
  HRGN hole = CreateRectRgn(2, 1, 4, 3);
  CombineRgn(region, region, hole, RGN_DIFF);
  FillRgn(dc, hole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(shape.Canvas.Art(Legend), Lines({"......", "..##..", "..##..", "......"}));
  PaintRgn(dc, region);  // with the selected brush
  EXPECT_EQ(shape.Canvas.Art(Legend), Lines({"oooooo", "oo##oo", "oo##oo", "oooooo"}));
  HRGN whole = CreateRectRgn(0, 0, 6, 4);
  FrameRgn(dc, whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 2, 1);
  EXPECT_EQ(shape.Canvas.Art(Legend), Lines({"######", "######", "######", "######"}));
  InvertRgn(dc, hole);
  EXPECT_EQ(shape.Canvas.Art(Legend), Lines({"######", "##..##", "##..##", "######"}));
  for (HRGN r : {region, hole, whole}) DeleteObject(r);
}

TEST(RectTest, ObjectsAndHandles) {
  DeleteDC(CreateCompatibleDC(nullptr));  // creates the stock objects a DC starts with
  GetStockObject(WHITE_BRUSH);
  int before = GdiObjectCount();
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
  LOGPEN logPen{};
  EXPECT_EQ(GetObject(pen, sizeof(logPen), &logPen), int(sizeof(LOGPEN)));
  EXPECT_EQ(logPen.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(logPen.lopnColor, RGB(1, 2, 3));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
  // Deleting a selected object defers until it is deselected.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  SelectObject(dc, oldPen);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_FALSE(DeleteObject(pen));
  // Stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
  EXPECT_FALSE(DeleteObject(dc));  // contexts go through DeleteDC
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GdiObjectCount(), before);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(uintptr_t(0x1234))), 0u);
}

// The text code draws glyphs as coverage masks through the clip.
TEST(RectTest, CoverageMasksBlendThroughTheClip) {
  TTestBitmap canvas(4, 2, 24);
  canvas.Fill(RGB(255, 255, 255));
  IntersectClipRect(canvas.DC(), 0, 0, 3, 2);
  const uint8_t mask[8] = {255, 128, 0,   255,  //
                           64,  255, 255, 255};
  TDC* dc = GdiGetDC(canvas.DC());
  dc->BlendMask(0, 0, mask, 4, 4, 2, RGB(0, 0, 0));
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.Pixel(1, 0), RGB(127, 127, 127));
  EXPECT_EQ(canvas.Pixel(2, 0), RGB(255, 255, 255));
  EXPECT_EQ(canvas.Pixel(3, 0), RGB(255, 255, 255));  // clipped away
  EXPECT_EQ(canvas.Pixel(0, 1), RGB(191, 191, 191));
  RECT extra{1, 0, 2, 2};
  dc->FillSolidRect(RECT{0, 0, 4, 2}, RGB(9, 9, 9), &extra);
  EXPECT_EQ(canvas.Art(RGB(9, 9, 9)), Lines({".#..", ".#.."}));
  // Monochrome targets take the colour where coverage reaches half.
  TTestBitmap mono = TTestBitmap::Monochrome(4, 1);
  GdiGetDC(mono.DC())->BlendMask(0, 0, mask, 4, 4, 1, RGB(255, 255, 255));
  EXPECT_EQ(mono.Art(RGB(255, 255, 255)), "##.#");
}

TEST(RectTest, AlphaBlendConstantAndPerPixel) {
  TTestBitmap source(2, 1, 32), dest(2, 1, 32);
  source.SetValue(0, 0, 0x80800000);  // premultiplied red 0x80 at alpha 0x80
  source.SetValue(1, 0, 0xFF0000FF);
  dest.Fill(RGB(0, 0, 200));
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(dest.DC(), 0, 0, 2, 1, source.DC(), 0, 0, 2, 1, perPixel));
  EXPECT_EQ(dest.Pixel(0, 0), RGB(128, 0, 99));
  EXPECT_EQ(dest.Pixel(1, 0), RGB(0, 0, 255));
  dest.Fill(RGB(0, 0, 200));
  BLENDFUNCTION constant{AC_SRC_OVER, 0, 51, 0};
  AlphaBlend(dest.DC(), 0, 0, 1, 1, source.DC(), 1, 0, 1, 1, constant);
  EXPECT_EQ(dest.Pixel(0, 0), RGB(0, 0, 211));  // (255 * 51 + 200 * 204 + 127) / 255
}

TEST(RectTest, DeviceCapsFollowTheScreenDepth) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  EXPECT_FALSE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  GdiSetScreenBitsPerPixel(8);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES), 8);
  EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
  GdiSetScreenBitsPerPixel(32);
  HPALETTE halftone = CreateHalftonePalette(dc);
  PALETTEENTRY entries[256];
  EXPECT_EQ(GetPaletteEntries(halftone, 0, 256, entries), 256u);
  EXPECT_EQ(RGB(entries[255].peRed, entries[255].peGreen, entries[255].peBlue), RGB(255, 255, 255));
  HPALETTE old = SelectPalette(dc, halftone, FALSE);
  EXPECT_EQ(RealizePalette(dc), 0u);
  // A fresh memory DC draws on its 1x1 monochrome bitmap: black or white only.
  EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  SelectPalette(dc, old, FALSE);
  TTestBitmap canvas(1, 1, 32);
  EXPECT_EQ(GetNearestColor(canvas.DC(), RGB(1, 2, 3)), RGB(1, 2, 3));  // true colour
  DeleteObject(halftone);
  DeleteDC(dc);
}

}  // namespace
