// TvcBitmap: its row layout, image life, assignment both ways, drawing (same size, stretched,
// tiled, transparent), change notification, store and restore, and the routines that draw or
// take regions from it.

#include "vcontrols/imaging/vcbitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "tests/vcontrols/imaging/image_support.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/common/vcdraw.h"

namespace {

// A TvcBitmap with the pixels of a test image.
void Fill(TvcBitmap& Bitmap, const TTestImage& Image) {
  Bitmap.CreateDib(Image.Width(), Image.Height());
  for (int32_t y = 0; y < Image.Height(); ++y)
    std::memcpy(Bitmap.RowStart(y), const_cast<TTestImage&>(Image).Raster().Row(y),
                size_t(Image.Width()) * 3);
}

uint32_t PixelOf(TvcBitmap& Bitmap, int32_t X, int32_t Y) {
  const TvcPixel p = ReadPixel(Bitmap.RowStart(Y) + 3 * X);
  return uint32_t(p.Red) << 16 | uint32_t(p.Green) << 8 | p.Blue;
}

// 0xRRGGBB of a canvas pixel.
uint32_t CanvasPixel(TCanvas* Canvas, int32_t X, int32_t Y) {
  const uint32_t color = uint32_t(Canvas->Pixels(X, Y));
  return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

class TCounter : public TObject {
  KORCAM_CLASS(TCounter, TObject)

 public:
  int Count = 0;
  TObject* Last = nullptr;
  void Seen(TObject* Sender) {
    ++Count;
    Last = Sender;
  }
};
KORCAM_REGISTER_CLASS(TCounter)

TEST(VcBitmapTest, RowLayoutAndFreshImages) {
  const int32_t rowSizes[] = {4, 8, 12, 12, 16}, pads[] = {1, 2, 3, 0, 1};
  for (int32_t width = 1; width <= 5; ++width) {
    SCOPED_TRACE(width);
    TvcBitmap bitmap;
    bitmap.CreateDib(width, 3);
    EXPECT_EQ(bitmap.RowSize(), rowSizes[width - 1]);
    EXPECT_EQ(bitmap.RowPad(), pads[width - 1]);
    EXPECT_EQ(bitmap.ImageSize(), rowSizes[width - 1] * 3);
    EXPECT_EQ(bitmap.RowStart(2), bitmap.PixelData() + 2 * rowSizes[width - 1]);
    EXPECT_EQ(bitmap.DibHeader().biHeight, -3);  // top-down
  }
  TvcBitmap white;
  white.CreateDib(2, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(white.RowStart(y)[i], 255);

  for (auto [w, h] : {std::pair{0, 10}, {10, 0}}) {
    TvcBitmap empty;
    empty.CreateDib(w, h);
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
  }
  TvcBitmap stillEmpty;
  stillEmpty.SetWidth(20);
  EXPECT_TRUE(stillEmpty.Empty());
}

TEST(VcBitmapTest, EnsureSizeKeepsPixelsOnlyAtTheSameSize) {
  TvcBitmap bitmap;
  Fill(bitmap, TTestImage::Random(3, 2, 1));
  const uint32_t before = PixelOf(bitmap, 1, 1);
  bitmap.EnsureSize(3, 2);
  EXPECT_EQ(PixelOf(bitmap, 1, 1), before);
  bitmap.EnsureSize(4, 2);
  EXPECT_EQ(PixelOf(bitmap, 1, 1), 0xFFFFFFu);
}

TEST(VcBitmapTest, ChangesReachOnChangeAndEveryLinkInOrder) {
  TvcBitmap bitmap;
  TCounter events, first, second;
  bitmap.OnChange = TNotifyEvent(&events, &TCounter::Seen);
  TvcChangeLink a, b;
  a.OnChange = TNotifyEvent(&first, &TCounter::Seen);
  b.OnChange = TNotifyEvent(&second, &TCounter::Seen);
  bitmap.RegisterLink(&a);
  bitmap.RegisterLink(&b);
  bitmap.RegisterLink(&a);  // twice: notified twice
  bitmap.Assign(nullptr);
  EXPECT_EQ(events.Count, 1);
  EXPECT_EQ(first.Count, 2);
  EXPECT_EQ(second.Count, 1);
  EXPECT_EQ(first.Last, &bitmap);
  bitmap.UnregisterLink(&a);
  bitmap.Assign(nullptr);
  EXPECT_EQ(first.Count, 3);
  // Pixel operations fire nothing.
  Fill(bitmap, TTestImage::Random(4, 4, 2));
  const int before = events.Count;
  bitmap.ApplyInvert();
  EXPECT_EQ(events.Count, before);
}

TEST(VcBitmapTest, AssigningAVcBitmapCopiesEverythingWithOneChange) {
  TvcBitmap source;
  Fill(source, TTestImage::Random(5, 3, 3));
  source.SetTransparent(true);
  source.SetSmoothStretching(true);
  source.SetTransparentColor(clRed);
  source.SetSourcePixelFormat(pf8bit);
  TvcBitmap target;
  TCounter changes;
  target.OnChange = TNotifyEvent(&changes, &TCounter::Seen);
  target.Assign(&source);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(std::memcmp(target.PixelData(), source.PixelData(), size_t(source.ImageSize())), 0);
  EXPECT_TRUE(target.Transparent());
  EXPECT_TRUE(target.SmoothStretching());
  EXPECT_EQ(target.TransparentColor(), clRed);
  EXPECT_EQ(target.SourcePixelFormat(), pf8bit);
  EXPECT_EQ(target.SourceTraits(), source.SourceTraits());

  TvcBitmap empty;
  target.Assign(&empty);
  EXPECT_TRUE(target.Empty());
  EXPECT_EQ(changes.Count, 2);
}

TEST(VcBitmapTest, ClassLibraryBitmapsBothWays) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(7, 3);
  bitmap.Canvas()->SetPixels(2, 1, 0x123456);
  TvcBitmap vc;
  vc.Assign(&bitmap);
  EXPECT_EQ(vc.Width(), 7);
  EXPECT_EQ(PixelOf(vc, 2, 1), 0x563412u);
  EXPECT_TRUE(vc.PixelsFromSource());

  TBitmap back;
  back.Assign(&vc);
  EXPECT_EQ(back.Width(), 7);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  EXPECT_EQ(back.Canvas()->Pixels(2, 1), 0x123456);

  // 32-bit pictures lose their fourth byte; a second picture of the same size reuses the image.
  TBitmap wide;
  wide.SetPixelFormat(pf32bit);
  wide.SetSize(7, 3);
  wide.Canvas()->SetPixels(6, 2, 0xABCDEF);
  const HBITMAP section = vc.DibHandle();
  vc.Assign(&wide);
  EXPECT_EQ(vc.DibHandle(), section);
  EXPECT_EQ(PixelOf(vc, 6, 2), 0xEFCDABu);
  EXPECT_EQ(PixelOf(vc, 2, 1), 0xFFFFFFu);

  TCanvas notAGraphic;
  EXPECT_THROW(vc.Assign(&notAGraphic), EConvertError);
}

// Copying out gives the target the format of the loaded source only while the pixels are that
// source's: an 8-bit picture that went through an effect comes out at 24 bits, with the effect.
TEST(VcBitmapTest, ProcessedPicturesAreCopiedOutAtFullDepth) {
  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(4, 2);
  indexed.Canvas()->Brush()->SetColor(TColor(0x808080));
  indexed.Canvas()->FillRect(RECT{0, 0, 4, 2});
  TvcBitmap vc;
  vc.Assign(&indexed);
  EXPECT_EQ(vc.SourcePixelFormat(), pf8bit);

  TBitmap untouched;
  untouched.Assign(&vc);
  EXPECT_EQ(untouched.PixelFormat(), pf8bit);

  vc.ApplyTint(0, 0, 27);  // blue + 27: a colour the 8-bit table may not hold
  TBitmap processed;
  processed.Assign(&vc);
  EXPECT_EQ(processed.PixelFormat(), pf24bit);
  EXPECT_EQ(processed.Canvas()->Pixels(1, 1), 0x9B8080);

  // A new image of another size is no longer the source either.
  vc.EnsureSize(3, 3);
  TBitmap resized;
  resized.Assign(&vc);
  EXPECT_EQ(resized.PixelFormat(), pf24bit);
}

TEST(VcBitmapTest, StoreAndRestoreGiveBackThePixels) {
  TvcBitmap bitmap;
  const TTestImage image = TTestImage::Random(6, 5, 4);
  Fill(bitmap, image);
  const std::vector<uint8_t> before(bitmap.PixelData(), bitmap.PixelData() + bitmap.ImageSize());
  bitmap.StoreBits();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_TRUE(bitmap.HasStoredBits());
  EXPECT_EQ(bitmap.StoredExtent().x, 6);
  bitmap.RestoreBits();
  EXPECT_FALSE(bitmap.HasStoredBits());
  ASSERT_EQ(bitmap.ImageSize(), int32_t(before.size()));
  for (int32_t y = 0; y < 5; ++y)
    EXPECT_EQ(std::memcmp(bitmap.RowStart(y), before.data() + y * bitmap.RowSize(), 18), 0) << y;
}

TEST(VcBitmapTest, DrawingAtTheSameSizeCopiesEveryPixel) {
  TvcBitmap bitmap;
  const TTestImage image = TTestImage::Random(5, 4, 5);
  Fill(bitmap, image);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(8, 8);
  target.Canvas()->Draw(2, 3, &bitmap);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x)
      EXPECT_EQ(CanvasPixel(target.Canvas(), x + 2, y + 3), image.Color(x, y)) << x << "," << y;
}

TEST(VcBitmapTest, SmoothStretchDrawOfTheRulesExample) {
  TvcBitmap row;
  Fill(row, TTestImage::Levels(2, {0, 255}));
  row.SetSmoothStretching(true);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(4, 1);
  target.Canvas()->StretchDraw(RECT{0, 0, 4, 1}, &row);
  std::vector<uint32_t> levels;
  for (int32_t x = 0; x < 4; ++x) levels.push_back(CanvasPixel(target.Canvas(), x, 0) & 0xFF);
  EXPECT_EQ(levels, (std::vector<uint32_t>{0, 63, 127, 191}));
}

TEST(VcBitmapTest, TransparentDrawLeavesTheKeyColour) {
  TvcBitmap bitmap;
  Fill(bitmap, TTestImage::FromColors(3, {0x00FF00, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00, 0x00FF00}));
  bitmap.SetTransparent(true);  // key: the top-left colour
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(3, 2);
  target.Canvas()->Brush()->SetColor(TColor(0x404040));
  target.Canvas()->FillRect(RECT{0, 0, 3, 2});
  target.Canvas()->Draw(0, 0, &bitmap);
  const uint32_t expected[2][3] = {{0x404040, 0xFF0000, 0x404040}, {0x0000FF, 0x404040, 0x404040}};
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x)
      EXPECT_EQ(CanvasPixel(target.Canvas(), x, y), expected[y][x]) << x << "," << y;

  // A copy out is opaque.
  TBitmap copy;
  copy.Assign(&bitmap);
  EXPECT_EQ(CanvasPixel(copy.Canvas(), 0, 0), 0x00FF00u);
}

TEST(VcBitmapTest, TilesStartAtTheOriginShiftedByTheRectangle) {
  TvcBitmap tile;
  TTestImage image(32, 32, {10, 10, 10});
  image.SetColor(0, 0, 0xFF0000);
  image.SetColor(10, 0, 0x00FF00);
  Fill(tile, image);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(100, 50);
  tile.TileDraw(target.Canvas(), RECT{10, 0, 100, 50});
  // Tiles at x = -10, 22, 54, 86 and y = 0, 32.
  EXPECT_EQ(CanvasPixel(target.Canvas(), 0, 0), 0x00FF00u);
  for (int32_t x : {22, 54, 86})
    for (int32_t y : {0, 32}) EXPECT_EQ(CanvasPixel(target.Canvas(), x, y), 0xFF0000u) << x << "," << y;
}

TEST(VcBitmapTest, AlphaBlendOfAnotherSize) {
  TvcBitmap image, blend;
  Fill(image, TTestImage(4, 4, {255, 255, 255}));
  Fill(blend, TTestImage(2, 2, {0, 0, 0}));
  try {
    image.ApplyAlphaBlend(&blend, 128, false);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap");
  }
  EXPECT_EQ(PixelOf(image, 3, 3), 0xFFFFFFu);
  image.ApplyAlphaBlend(&blend, 128, true);
  EXPECT_EQ(PixelOf(image, 3, 3), 0x7F7F7Fu);
  EXPECT_EQ(PixelOf(image, 0, 0), 0x7F7F7Fu);
}

TEST(VcBitmapTest, RegionAndDither) {
  TvcBitmap bitmap;
  Fill(bitmap, TTestImage::Levels(5, {0, 9, 9, 9, 0}));
  HRGN region = CreateRegionFromBitmap(&bitmap, -1);
  ASSERT_NE(region, nullptr);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_EQ(box, (RECT{1, 0, 4, 1}));
  DeleteObject(region);
  TvcBitmap empty;
  EXPECT_EQ(CreateRegionFromBitmap(&empty, -1), nullptr);

  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(2, 2);
  DitherFill(target.Canvas(), RECT{0, 0, 2, 2}, clBlack, clWhite);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 0, 0), 0x000000u);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 1, 1), 0x000000u);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 1, 0), 0xFFFFFFu);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 0, 1), 0xFFFFFFu);
  try {
    DitherFill(target.Canvas(), RECT{0, 0, 2, 2}, clBlack, clNone);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Color2 cannot be clNone");
  }
  // Colour 1 none: only the colour-2 dots are drawn.
  target.Canvas()->Brush()->SetColor(TColor(0x00FF00));
  target.Canvas()->FillRect(RECT{0, 0, 2, 2});
  DitherFill(target.Canvas(), RECT{0, 0, 2, 2}, clNone, clRed);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 0, 0), 0x00FF00u);
  EXPECT_EQ(CanvasPixel(target.Canvas(), 1, 0), 0xFF0000u);
}

}  // namespace
