#include "platform/gdi/drawedge.h"

#include <algorithm>

#include "platform/gdi/brush.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/region.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"

namespace {

void Fill(HDC DC, int Left, int Top, int Right, int Bottom, int SysColor) {
  if (Right <= Left || Bottom <= Top) return;
  RECT r{Left, Top, Right, Bottom};
  FillRect(DC, &r, GetSysColorBrush(SysColor));
}

void Dot(HDC DC, int X, int Y, int SysColor) {
  Fill(DC, X, Y, X + 1, Y + 1, SysColor);
}

// One border: the top-left colour first, then the bottom-right one, which takes the two
// corners it shares. Answers the rectangle inside the border.
RECT Border(HDC DC, RECT R, UINT Flags, int TopLeft, int BottomRight) {
  if (Flags & BF_LEFT) Fill(DC, R.left, R.top, R.left + 1, R.bottom, TopLeft);
  if (Flags & BF_TOP) Fill(DC, R.left, R.top, R.right, R.top + 1, TopLeft);
  if (Flags & BF_RIGHT) Fill(DC, R.right - 1, R.top, R.right, R.bottom, BottomRight);
  if (Flags & BF_BOTTOM) Fill(DC, R.left, R.bottom - 1, R.right, R.bottom, BottomRight);
  if (Flags & BF_LEFT) ++R.left;
  if (Flags & BF_TOP) ++R.top;
  if (Flags & BF_RIGHT) --R.right;
  if (Flags & BF_BOTTOM) --R.bottom;
  return R;
}

// A checker of two system colours, x + y even in the first (pushed-and-checked buttons).
void Dither(HDC DC, const RECT& R, int Even, int Odd) {
  for (int y = R.top; y < R.bottom; ++y)
    for (int x = R.left; x < R.right; ++x) Dot(DC, x, y, ((x + y) & 1) ? Odd : Even);
}

RECT CenteredSquare(const RECT& R) {
  int width = R.right - R.left, height = R.bottom - R.top;
  int side = std::min(width, height);
  int left = R.left + (width - side) / 2, top = R.top + (height - side) / 2;
  return RECT{left, top, left + side, top + side};
}

BOOL PushButton(HDC DC, LPRECT Rect, UINT State) {
  bool down = State & (DFCS_PUSHED | DFCS_CHECKED);
  UINT flags = BF_RECT | BF_MIDDLE;
  if (State & DFCS_FLAT) flags |= BF_FLAT;
  if (State & DFCS_MONO) flags |= BF_MONO;
  RECT r = *Rect;
  DrawEdge(DC, &r, down ? EDGE_SUNKEN : EDGE_RAISED, flags | BF_ADJUST);
  if ((State & DFCS_CHECKED) && !(State & DFCS_PUSHED)) Dither(DC, r, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE);
  if (State & DFCS_ADJUSTRECT) *Rect = r;
  return TRUE;
}

// The check mark, 7 x 7, rows top to bottom, bit 6 leftmost.
constexpr uint8_t CheckMark[7] = {0x01, 0x03, 0x47, 0x6E, 0x7C, 0x38, 0x10};

BOOL CheckBox(HDC DC, const RECT& Rect, UINT State) {
  RECT box = CenteredSquare(Rect);
  UINT flags = BF_RECT | BF_ADJUST;
  if (State & DFCS_FLAT) flags |= BF_FLAT;
  if (State & DFCS_MONO) flags |= BF_MONO;
  DrawEdge(DC, &box, EDGE_SUNKEN, flags);
  bool grey = State & (DFCS_PUSHED | DFCS_INACTIVE);
  Fill(DC, box.left, box.top, box.right, box.bottom, grey ? COLOR_BTNFACE : COLOR_WINDOW);
  if (State & DFCS_CHECKED) {
    int ink = (State & DFCS_INACTIVE) || (State & DFCS_BUTTON3STATE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
    int left = box.left + (box.right - box.left - 7) / 2;
    int top = box.top + (box.bottom - box.top - 7) / 2;
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x)
        if (CheckMark[y] & (0x40 >> x)) Dot(DC, left + x, top + y, ink);
  }
  return TRUE;
}

BOOL RadioButton(HDC DC, const RECT& Rect, UINT State) {
  RECT box = CenteredSquare(Rect);
  int side = box.right - box.left;
  if (side <= 0) return TRUE;
  auto ellipse = [&](int Inset) {
    return TRegion::FromEllipse(
        RECT{box.left + Inset, box.top + Inset, box.right - Inset, box.bottom - Inset});
  };
  TRegion outer = ellipse(0), middle = ellipse(1), inner = ellipse(2);
  TRegion dot = ellipse(std::max(3, side / 3));
  // Pixels above the diagonal through the centre take the top-left colours.
  int centre = box.left + box.top + side - 1;
  bool mono = State & (DFCS_MONO | DFCS_FLAT);
  bool grey = State & (DFCS_PUSHED | DFCS_INACTIVE);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      if (!outer.Contains(x, y)) continue;
      bool upper = x + y < centre;
      int color;
      if (!middle.Contains(x, y))
        color = mono ? COLOR_WINDOWFRAME : upper ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
      else if (!inner.Contains(x, y))
        color = mono ? (grey ? COLOR_BTNFACE : COLOR_WINDOW) : upper ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
      else if ((State & DFCS_CHECKED) && dot.Contains(x, y))
        color = (State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
      else
        color = grey ? COLOR_BTNFACE : COLOR_WINDOW;
      Dot(DC, x, y, color);
    }
  return TRUE;
}

// A filled triangle pointing in Direction (DFCS_SCROLLUP/DOWN/LEFT/RIGHT) centred in R.
void Arrow(HDC DC, const RECT& R, UINT Direction, int Color) {
  int width = R.right - R.left, height = R.bottom - R.top;
  int size = std::min(width, height);
  int base = std::max(1, ((size - 2) / 2) | 1);
  int depth = base / 2 + 1;
  bool vertical = Direction == DFCS_SCROLLUP || Direction == DFCS_SCROLLDOWN;
  int across = vertical ? width : height, along = vertical ? height : width;
  int start = (across - base) / 2, lead = (along - depth) / 2;
  for (int k = 0; k < depth; ++k) {
    // Row k of the triangle counted from its wide side.
    int from = start + k, to = start + base - k;
    bool pointsBack = Direction == DFCS_SCROLLUP || Direction == DFCS_SCROLLLEFT;
    int at = pointsBack ? lead + depth - 1 - k : lead + k;
    if (vertical)
      Fill(DC, R.left + from, R.top + at, R.left + to, R.top + at + 1, Color);
    else
      Fill(DC, R.left + at, R.top + from, R.left + at + 1, R.top + to, Color);
  }
}

BOOL ScrollButton(HDC DC, LPRECT Rect, UINT State) {
  UINT kind = State & 0x1F;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    RECT r = *Rect;
    if (!(State & DFCS_TRANSPARENT)) Fill(DC, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
    int size = std::min(r.right - r.left, r.bottom - r.top);
    // Three ridges: two shadow diagonals under one highlight diagonal each.
    for (int ridge = 0; ridge < 3; ++ridge) {
      int offset = 2 + ridge * 4;
      for (int i = 0; i + offset < size; ++i) {
        Dot(DC, r.right - size + offset + i, r.bottom - 1 - i, COLOR_BTNHIGHLIGHT);
        if (i + offset + 1 < size)
          Dot(DC, r.right - size + offset + i + 1, r.bottom - 1 - i, COLOR_BTNSHADOW);
        if (i + offset + 2 < size)
          Dot(DC, r.right - size + offset + i + 2, r.bottom - 1 - i, COLOR_BTNSHADOW);
      }
    }
    return TRUE;
  }
  UINT direction = kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind;
  if (direction > DFCS_SCROLLRIGHT) return FALSE;
  bool pushed = State & DFCS_PUSHED;
  UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
  if ((State & DFCS_FLAT) || pushed) flags |= BF_FLAT;
  if (State & DFCS_MONO) flags |= BF_MONO;
  RECT r = *Rect;
  DrawEdge(DC, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags);
  RECT glyph = *Rect;
  if (pushed) OffsetRect(&glyph, 1, 1);
  if (State & DFCS_INACTIVE) {
    RECT shadow = glyph;
    OffsetRect(&shadow, 1, 1);
    Arrow(DC, shadow, direction, COLOR_BTNHIGHLIGHT);
    Arrow(DC, glyph, direction, COLOR_BTNSHADOW);
  } else {
    Arrow(DC, glyph, direction, COLOR_BTNTEXT);
  }
  if (State & DFCS_ADJUSTRECT) *Rect = r;
  return TRUE;
}

}  // namespace

BOOL DrawEdge(HDC DC, LPRECT Rect, UINT Edge, UINT Flags) {
  if (!Rect) return FALSE;
  RECT r = *Rect;
  UINT outer = Edge & BDR_OUTER, inner = Edge & BDR_INNER;
  int outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  if (Flags & BF_MONO) {
    outerTopLeft = outerBottomRight = COLOR_WINDOWFRAME;
    innerTopLeft = innerBottomRight = COLOR_WINDOW;
  } else if (Flags & BF_FLAT) {
    outerTopLeft = outerBottomRight = COLOR_BTNSHADOW;
    innerTopLeft = innerBottomRight = COLOR_BTNFACE;
  } else {
    bool raisedOuter = outer & BDR_RAISEDOUTER, raisedInner = inner & BDR_RAISEDINNER;
    outerTopLeft = raisedOuter ? COLOR_3DLIGHT : COLOR_BTNSHADOW;
    outerBottomRight = raisedOuter ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT;
    innerTopLeft = raisedInner ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW;
    innerBottomRight = raisedInner ? COLOR_BTNSHADOW : COLOR_3DLIGHT;
    // Soft edges put the brighter highlight outside.
    if ((Flags & BF_SOFT) && raisedOuter && raisedInner) std::swap(outerTopLeft, innerTopLeft);
  }
  if (outer) r = Border(DC, r, Flags, outerTopLeft, outerBottomRight);
  if (inner) r = Border(DC, r, Flags, innerTopLeft, innerBottomRight);
  if (Flags & BF_MIDDLE)
    Fill(DC, r.left, r.top, r.right, r.bottom, (Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (Flags & BF_ADJUST) *Rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC DC, LPRECT Rect, UINT Type, UINT State) {
  if (!Rect) return FALSE;
  switch (Type) {
    case DFC_BUTTON:
      if (State & DFCS_BUTTONPUSH) return PushButton(DC, Rect, State);
      if (State & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
        return RadioButton(DC, *Rect, State);
      return CheckBox(DC, *Rect, State);
    case DFC_SCROLL:
      return ScrollButton(DC, Rect, State);
    default:
      return FALSE;
  }
}
