#include "vcontrols/common/vcdraw.h"

#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "vcontrols/common/regions.h"
#include "vcontrols/imaging/vcbitmap.h"

namespace {

// Destination AND NOT source.
constexpr DWORD MaskOut = 0x220326;

}  // namespace

void DrawMasked(TCanvas* ACanvas, const RECT& Rect, TBitmap* Image, TBitmap* Mask, bool OffScreen) {
  const int32_t width = Rect.right - Rect.left, height = Rect.bottom - Rect.top;
  if (width <= 0 || height <= 0) return;
  HDC target = ACanvas->Handle();
  const COLORREF oldBack = SetBkColor(target, 0xFFFFFF), oldText = SetTextColor(target, 0x000000);
  TBitmap offScreen;
  HDC drawing = target;
  int32_t x = Rect.left, y = Rect.top;
  if (OffScreen) {
    offScreen.SetSize(width, height);
    offScreen.Canvas()->CopyRect(RECT{0, 0, width, height}, ACanvas, Rect);
    drawing = offScreen.Canvas()->Handle();
    // A monochrome mask takes these colours on its way into a colour bitmap.
    SetBkColor(drawing, 0xFFFFFF);
    SetTextColor(drawing, 0x000000);
    x = y = 0;
  }
  // The bitmaps' own memory DCs serve as the sources (a bitmap is selected into one DC at a
  // time, and its canvas may hold it already).
  HDC image = Image->Canvas()->Handle(), mask = Mask->Canvas()->Handle();
  BitBlt(drawing, x, y, width, height, image, 0, 0, SRCINVERT);
  BitBlt(drawing, x, y, width, height, mask, 0, 0, MaskOut);
  BitBlt(drawing, x, y, width, height, image, 0, 0, SRCINVERT);
  if (OffScreen) ACanvas->CopyRect(Rect, offScreen.Canvas(), RECT{0, 0, width, height});
  SetBkColor(target, oldBack);
  SetTextColor(target, oldText);
}

HBRUSH CreateDitherBrush() {
  const WORD rows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

void TileGraphic(TGraphic* Graphic, TCanvas* ACanvas, const RECT& Rect) {
  if (!Graphic || Graphic->Empty()) return;
  const int32_t width = Rect.right - Rect.left, height = Rect.bottom - Rect.top;
  for (int32_t x = 0; x < width; x += Graphic->Width())
    for (int32_t y = 0; y < height; y += Graphic->Height()) ACanvas->Draw(x, y, Graphic);
}

void DrawTransparentVcBitmap(TCanvas* ACanvas, const RECT& Rect, TvcBitmap* Bitmap, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  TvcBitmap copy;
  copy.Assign(Bitmap);
  TvcPixel key = ReadPixel(Bitmap->PixelData());
  if (Color != -1) ColorToBGR(Color, key);
  copy.MakeMask(key);
  TBitmap mask, image;
  mask.Assign(&copy);
  mask.SetMonochrome(true);
  image.Assign(Bitmap);
  DrawMasked(ACanvas, Rect, &image, &mask, true);
}

void DitherFill(TCanvas* ACanvas, const RECT& Rect, TColor Color1, TColor Color2) {
  if (Color2 == clNone) throw EInvalidOperation("Color2 cannot be clNone");
  if (Color1 == clNone) {
    // Dots of colour 2 only: a dither of colour 2 and a colour unlike it, which is then keyed
    // out. System colours are resolved before taking the complement.
    TvcBitmap dots;
    dots.CreateDib(Rect.right - Rect.left, Rect.bottom - Rect.top);
    if (dots.Empty()) return;
    const TColor complement =
        TColor(GetNearestColor(dots.Canvas()->Handle(), COLORREF(~uint32_t(ColorToRGB(Color2)) & 0xFFFFFF)));
    DitherFill(dots.Canvas(), RECT{0, 0, dots.Width(), dots.Height()}, complement, Color2);
    DrawTransparentVcBitmap(ACanvas, Rect, &dots, PixelToColor(ReadPixel(dots.PixelData())));
    return;
  }
  HDC dc = ACanvas->Handle();
  HBRUSH brush = CreateDitherBrush();
  const COLORREF oldText = SetTextColor(dc, COLORREF(ColorToRGB(Color2)));
  const COLORREF oldBack = SetBkColor(dc, COLORREF(ColorToRGB(Color1)));
  FillRect(dc, &Rect, brush);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  DeleteObject(brush);
}

HRGN CreateRegionFromBitmap(TvcBitmap* Bitmap, TColor Color) {
  if (!Bitmap || Bitmap->Width() == 0 || Bitmap->Height() == 0) return nullptr;
  return RegionFromRaster(Bitmap->Raster(), Color);
}

void FillOutsideRegion(TvcBitmap* Bitmap, HRGN Region) {
  if (!Bitmap || Bitmap->Empty()) return;
  HRGN outside = CreateRectRgn(0, 0, Bitmap->Width(), Bitmap->Height());
  if (Region) CombineRgn(outside, outside, Region, RGN_DIFF);
  HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(Bitmap->TransparentColor())));
  FillRgn(Bitmap->Canvas()->Handle(), outside, brush);
  DeleteObject(brush);
  DeleteObject(outside);
}
