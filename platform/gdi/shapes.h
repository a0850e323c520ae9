#pragma once
// Lines, shapes, rectangle fills and pixels.
//
// Conventions (pinned by the tests):
// - LineTo draws from the current position up to, not including, the end point, so
//   MoveToEx(0,0) + LineTo(1,1) sets exactly pixel (0,0); Polyline does the same per segment.
// - Rectangle(l, t, r, b) covers columns l..r-1 and rows t..b-1: a one-pixel pen frame on the
//   outermost pixels, the brush inside. With the null pen the filled area is one pixel smaller
//   on the right and bottom (columns l..r-2, rows t..b-2), as on the platform.
// - FillRect covers left..right-1 and top..bottom-1 with the brush, whatever the mix mode;
//   shapes use the DC's mix mode (SetROP2) for their pen and their brush.
// - Styled cosmetic pens repeat dash 18/6, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3
//   pixels along the line; the gaps take the background colour in OPAQUE mode.
// - DrawFocusRect inverts every other pixel of the rectangle's one-pixel frame: those whose
//   device x + y is even.

#include "platform/gdi/dc.h"

BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const POINT* Points, int Count);
BOOL PolylineTo(HDC DC, const POINT* Points, DWORD Count);
BOOL Polygon(HDC DC, const POINT* Points, int Count);
BOOL PolyPolygon(HDC DC, const POINT* Points, const INT* Counts, int PolygonCount);
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);

// Brush may also be a system colour index + 1 (COLOR_BTNFACE + 1), as the API allows.
int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush);
BOOL InvertRect(HDC DC, const RECT* Rect);
BOOL DrawFocusRect(HDC DC, const RECT* Rect);

BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush);
BOOL PaintRgn(HDC DC, HRGN Region);
BOOL InvertRgn(HDC DC, HRGN Region);
// A frame Width pixels wide and Height pixels high along the region's inside edges.
BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height);

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
// CLR_INVALID outside the clip region or the surface.
COLORREF GetPixel(HDC DC, int X, int Y);
