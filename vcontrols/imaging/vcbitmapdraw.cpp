// Drawing a TvcBitmap: at its own size with one transfer, stretched (bilinear or plain), tiled,
// and transparently through a monochrome mask of its key colour.

#include <cstring>

#include "platform/gdi/gdi.h"
#include "vcontrols/common/vcdraw.h"
#include "vcontrols/imaging/stretch.h"
#include "vcontrols/imaging/vcbitmap.h"

void TvcBitmap::Draw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty() || Rect.right <= Rect.left || Rect.bottom <= Rect.top) return;
  HPALETTE previous = nullptr;
  if (!FPaletteHeld) previous = BeginPaletteDraw(ACanvas);
  if (Rect.right - Rect.left != FWidth || Rect.bottom - Rect.top != FHeight) {
    if (FSmoothStretching)
      SmoothStretchDraw(ACanvas, Rect);
    else
      FastStretchDraw(ACanvas, Rect);
  } else if (Transparent() && !FDrawingForCopy) {
    TransparentDraw(ACanvas, Rect);
  } else {
    BitBlt(CanvasHandle(ACanvas), Rect.left, Rect.top, FWidth, FHeight, FMemoryDC, 0, 0, SRCCOPY);
  }
  if (!FPaletteHeld) EndPaletteDraw(ACanvas, previous);
}

void TvcBitmap::SmoothStretchDraw(TCanvas* ACanvas, const RECT& Rect) {
  TvcBitmap stretched;
  stretched.CreateDib(Rect.right - Rect.left, Rect.bottom - Rect.top);
  if (stretched.Empty()) return;
  vcfx::SmoothStretch(Raster(), stretched.Raster(), FWorkspace.Scratch);
  if (Transparent())
    stretched.TransparentDraw(ACanvas, Rect);
  else
    stretched.Draw(ACanvas, Rect);
}

void TvcBitmap::FastStretchDraw(TCanvas* ACanvas, const RECT& Rect) {
  const int32_t width = Rect.right - Rect.left, height = Rect.bottom - Rect.top;
  if (!Transparent()) {
    HDC dc = CanvasHandle(ACanvas);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, Rect.left, Rect.top, width, height, FMemoryDC, 0, 0, FWidth, FHeight, SRCCOPY);
    return;
  }
  TvcBitmap stretched;
  stretched.CreateDib(width, height);
  if (stretched.Empty()) return;
  StretchBlt(stretched.FMemoryDC, 0, 0, width, height, FMemoryDC, 0, 0, FWidth, FHeight, SRCCOPY);
  stretched.TransparentDraw(ACanvas, Rect);
}

void TvcBitmap::TileDraw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty()) return;
  FPaletteHeld = true;
  const HPALETTE previous = BeginPaletteDraw(ACanvas);
  // The tiles start at the origin; a rectangle off the origin shifts them left and up.
  for (int32_t y = 0; y < Rect.bottom; y += FHeight)
    for (int32_t x = 0; x < Rect.right; x += FWidth)
      Draw(ACanvas, RECT{x - Rect.left, y - Rect.top, x - Rect.left + FWidth, y - Rect.top + FHeight});
  FPaletteHeld = false;
  EndPaletteDraw(ACanvas, previous);
}

void TvcBitmap::TransparentDraw(TCanvas* ACanvas, const RECT& Rect) {
  TBitmap* mask = GetMask();
  if (!mask) return;
  TBitmap image;
  image.SetPixelFormat(pf24bit);
  image.SetSize(FWidth, FHeight);
  image.Canvas()->CopyRect(RECT{0, 0, FWidth, FHeight}, FCanvas.get(), RECT{0, 0, FWidth, FHeight});
  DrawMasked(ACanvas, Rect, &image, mask, true);
}

TBitmap* TvcBitmap::GetMask() {
  if (FMask || Empty()) return FMask.get();
  TvcBitmap copy;
  copy.Assign(this);
  TvcPixel key = ReadPixel(FPixelData);
  if (FTransparentColor != clNone) ColorToBGR(FTransparentColor, key);
  copy.MakeMask(key);
  auto mask = std::make_unique<TBitmap>();
  mask->Assign(&copy);
  mask->SetMonochrome(true);
  FMask = std::move(mask);
  return FMask.get();
}

void TvcBitmap::StretchFrom(const TvcRaster& Source, bool Smooth) {
  if (Empty() || Source.Empty()) return;
  if (Smooth)
    vcfx::SmoothStretch(Source, Raster(), FWorkspace.Scratch);
  else
    vcfx::PlainStretch(Source, Raster(), FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::TileFrom(const TvcRaster& Source) {
  if (Empty() || Source.Empty()) return;
  vcfx::TileCopy(Source, Raster());
  PixelsChanged();
}
