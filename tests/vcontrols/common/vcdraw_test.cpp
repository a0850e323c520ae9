// Masked drawing and tiling on small bitmaps.

#include "vcontrols/common/vcdraw.h"

#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "tests/vcontrols/imaging/imager_support.h"

namespace {

constexpr uint32_t Backdrop = 0x336699;

uint32_t ImageColor(int X, int Y) {
  return 0x100000u * uint32_t(X + 1) + 0x000100u * uint32_t(Y + 1) + 0x07u;
}

TEST(VcDrawTest, DrawMaskedShowsTheImageWhereTheMaskIsWhite) {
  // The image and mask are read from their top-left corners; the mask is white on its left
  // half and on the bottom row.
  auto image = MakePatternBitmap(4, 3, ImageColor);
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(4, 3);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(RECT{0, 0, 4, 3});
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(RECT{0, 0, 2, 3});
  mask.Canvas()->FillRect(RECT{0, 2, 4, 3});
  for (bool offScreen : {false, true}) {
    SCOPED_TRACE(offScreen ? "off-screen" : "direct");
    auto target = MakePatternBitmap(8, 6, [](int, int) { return Backdrop; });
    const COLORREF oldText = SetTextColor(target->Canvas()->Handle(), 0x123456);
    DrawMasked(target->Canvas(), RECT{3, 2, 7, 5}, image.get(), &mask, offScreen);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        const int ix = x - 3, iy = y - 2;
        const bool inside = ix >= 0 && ix < 4 && iy >= 0 && iy < 3;
        const bool shown = inside && (ix < 2 || iy == 2);
        EXPECT_EQ(BitmapColor(*target, x, y), shown ? ImageColor(ix, iy) : Backdrop) << x << "," << y;
      }
    // The target's colours are given back.
    EXPECT_EQ(GetTextColor(target->Canvas()->Handle()), 0x123456u);
    SetTextColor(target->Canvas()->Handle(), oldText);
  }
}

TEST(VcDrawTest, TileGraphicCoversTheRectanglesSizeFromTheOrigin) {
  auto tile = MakePatternBitmap(3, 2, ImageColor);
  auto target = MakePatternBitmap(12, 8, [](int, int) { return Backdrop; });
  // Only the size (7 x 3) counts: tiles start at 0, 3, 6 across and 0, 2 down, and the last
  // ones are drawn whole.
  TileGraphic(tile.get(), target->Canvas(), RECT{4, 4, 11, 7});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool covered = x < 9 && y < 4;
      EXPECT_EQ(BitmapColor(*target, x, y), covered ? ImageColor(x % 3, y % 2) : Backdrop) << x << "," << y;
    }
  TBitmap empty;
  auto untouched = MakePatternBitmap(4, 4, [](int, int) { return Backdrop; });
  TileGraphic(&empty, untouched->Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(BitmapColor(*untouched, 0, 0), Backdrop);
}

}  // namespace
