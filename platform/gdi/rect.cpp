#include "platform/gdi/rect.h"

#include <algorithm>

BOOL SetRect(LPRECT Rect, int Left, int Top, int Right, int Bottom) {
  if (!Rect) return FALSE;
  *Rect = RECT{Left, Top, Right, Bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT Rect) {
  return SetRect(Rect, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT Destination, const RECT* Source) {
  if (!Destination || !Source) return FALSE;
  *Destination = *Source;
  return TRUE;
}

BOOL InflateRect(LPRECT Rect, int DX, int DY) {
  if (!Rect) return FALSE;
  Rect->left -= DX;
  Rect->top -= DY;
  Rect->right += DX;
  Rect->bottom += DY;
  return TRUE;
}

BOOL OffsetRect(LPRECT Rect, int DX, int DY) {
  if (!Rect) return FALSE;
  Rect->left += DX;
  Rect->right += DX;
  Rect->top += DY;
  Rect->bottom += DY;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* Rect) {
  return !Rect || Rect->right <= Rect->left || Rect->bottom <= Rect->top;
}

BOOL IntersectRect(LPRECT Destination, const RECT* Source1, const RECT* Source2) {
  if (!Destination || !Source1 || !Source2) return FALSE;
  RECT r{std::max(Source1->left, Source2->left), std::max(Source1->top, Source2->top),
         std::min(Source1->right, Source2->right), std::min(Source1->bottom, Source2->bottom)};
  if (IsRectEmpty(&r) || IsRectEmpty(Source1) || IsRectEmpty(Source2)) {
    *Destination = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *Destination = r;
  return TRUE;
}

BOOL UnionRect(LPRECT Destination, const RECT* Source1, const RECT* Source2) {
  if (!Destination || !Source1 || !Source2) return FALSE;
  bool empty1 = IsRectEmpty(Source1), empty2 = IsRectEmpty(Source2);
  if (empty1 && empty2) {
    *Destination = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (empty1) {
    *Destination = *Source2;
  } else if (empty2) {
    *Destination = *Source1;
  } else {
    *Destination = RECT{std::min(Source1->left, Source2->left), std::min(Source1->top, Source2->top),
                        std::max(Source1->right, Source2->right), std::max(Source1->bottom, Source2->bottom)};
  }
  return TRUE;
}

BOOL SubtractRect(LPRECT Destination, const RECT* Source1, const RECT* Source2) {
  if (!Destination || !Source1 || !Source2) return FALSE;
  RECT result = *Source1;
  RECT overlap;
  if (IntersectRect(&overlap, Source1, Source2)) {
    bool fullWidth = overlap.left == Source1->left && overlap.right == Source1->right;
    bool fullHeight = overlap.top == Source1->top && overlap.bottom == Source1->bottom;
    if (fullWidth && fullHeight) {
      *Destination = RECT{0, 0, 0, 0};
      return FALSE;
    }
    if (fullWidth) {
      if (overlap.top == Source1->top)
        result.top = overlap.bottom;
      else if (overlap.bottom == Source1->bottom)
        result.bottom = overlap.top;
    } else if (fullHeight) {
      if (overlap.left == Source1->left)
        result.left = overlap.right;
      else if (overlap.right == Source1->right)
        result.right = overlap.left;
    }
  }
  *Destination = result;
  return TRUE;
}

BOOL EqualRect(const RECT* Rect1, const RECT* Rect2) {
  if (!Rect1 || !Rect2) return FALSE;
  return *Rect1 == *Rect2 ? TRUE : FALSE;
}

BOOL PtInRect(const RECT* Rect, POINT Point) {
  if (!Rect) return FALSE;
  return Point.x >= Rect->left && Point.x < Rect->right && Point.y >= Rect->top && Point.y < Rect->bottom
             ? TRUE
             : FALSE;
}
