#pragma once
// Rectangle helpers of the window API. Rectangles are half-open: right and bottom are outside.

#include "platform/rtl/wintypes.h"

BOOL SetRect(LPRECT Rect, int Left, int Top, int Right, int Bottom);
BOOL SetRectEmpty(LPRECT Rect);
BOOL CopyRect(LPRECT Destination, const RECT* Source);
BOOL InflateRect(LPRECT Rect, int DX, int DY);
BOOL OffsetRect(LPRECT Rect, int DX, int DY);
// FALSE and an empty Destination when the two do not overlap.
BOOL IntersectRect(LPRECT Destination, const RECT* Source1, const RECT* Source2);
// An empty source counts for nothing.
BOOL UnionRect(LPRECT Destination, const RECT* Source1, const RECT* Source2);
// Source1 minus Source2 when the difference is a rectangle; otherwise Source1 unchanged.
BOOL SubtractRect(LPRECT Destination, const RECT* Source1, const RECT* Source2);
BOOL EqualRect(const RECT* Rect1, const RECT* Rect2);
BOOL IsRectEmpty(const RECT* Rect);
BOOL PtInRect(const RECT* Rect, POINT Point);
