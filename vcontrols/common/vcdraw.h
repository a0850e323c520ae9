#pragma once
// Drawing routines of the visual library that work on canvases and bitmaps: masked drawing, the
// dither brush and fill, tiling a graphic, the transparent draw of a TvcBitmap through a key
// colour, and the window region of a TvcBitmap's pixels.

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/gdi/colors.h"

class TvcBitmap;

// Image where Mask is white, the target where it is black; image and mask are used 1:1 from
// their top-left corners over the rectangle's size. With OffScreen the target area is combined
// in a temporary bitmap and copied back once.
void DrawMasked(TCanvas* ACanvas, const RECT& Rect, TBitmap* Image, TBitmap* Mask, bool OffScreen);
// An 8 x 8 pattern brush of alternating pixels (rows 0xAAAA and 0x5555); the caller deletes it.
HBRUSH CreateDitherBrush();
// Copies of the graphic side by side over the rectangle's size, from (0, 0).
void TileGraphic(TGraphic* Graphic, TCanvas* ACanvas, const RECT& Rect);

// The bitmap drawn with the pixels of Color (-1: the top-left pixel's colour) left out.
void DrawTransparentVcBitmap(TCanvas* ACanvas, const RECT& Rect, TvcBitmap* Bitmap, TColor Color);
// Pixels with x + y even get Color1, the others Color2; with Color1 clNone only the Color2 dots
// are drawn. Color2 clNone raises EInvalidOperation "Color2 cannot be clNone".
void DitherFill(TCanvas* ACanvas, const RECT& Rect, TColor Color1, TColor Color2);
// The region of the pixels whose colour differs from Color (-1: the top-left pixel's colour);
// nullptr for an empty bitmap or when no pixel differs.
HRGN CreateRegionFromBitmap(TvcBitmap* Bitmap, TColor Color);
// Fills the part of the bitmap outside the region with its TransparentColor.
void FillOutsideRegion(TvcBitmap* Bitmap, HRGN Region);
