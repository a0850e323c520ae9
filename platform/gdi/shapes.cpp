#include "platform/gdi/shapes.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gdi/blt.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rop.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/sysmetrics.h"

using namespace gdi;

namespace {

struct TDashPattern {
  const int* Lengths;
  int Count;
};

constexpr int DashLengths[] = {18, 6};
constexpr int DotLengths[] = {3, 3};
constexpr int DashDotLengths[] = {9, 6, 3, 6};
constexpr int DashDotDotLengths[] = {9, 3, 3, 3, 3, 3};

// Draws one-pixel lines with the pen's colour, style and the DC's mix mode, clipped. The dash
// position carries over from segment to segment, as along a polyline.
class TLinePainter {
 public:
  TLinePainter(TDC& DC, const TPenObject& Pen) : FDC(DC), FSurface(DC.Surface()), FClip(DC.Clip()) {
    const TDCState& state = DC.State();
    FIndex = Rop2ToRop3(state.Rop2);
    FValue = DC.ColorToPixel(Pen.FollowsDCColor ? state.DCPenColor : Pen.Color);
    FGapValue = DC.ColorToPixel(state.BkColor);
    FOpaqueGaps = state.BkMode == OPAQUE;
    switch (Pen.Style) {
      case PS_DASH:
        FDash = {DashLengths, 2};
        break;
      case PS_DOT:
      case PS_ALTERNATE:
        FDash = {DotLengths, 2};
        break;
      case PS_DASHDOT:
        FDash = {DashDotLengths, 4};
        break;
      case PS_DASHDOTDOT:
        FDash = {DashDotDotLengths, 6};
        break;
      default:
        FDash = {nullptr, 0};
        break;
    }
    if (FDash.Lengths) FRemaining = FDash.Lengths[0];
    FSimpleClip = FClip.Complexity() == SIMPLEREGION;
    FClipBox = FClip.Bounds();
  }

  // From (X0, Y0) to (X1, Y1) in surface coordinates, the end point left out.
  void Line(int X0, int Y0, int X1, int Y1) {
    int dx = std::abs(X1 - X0), dy = std::abs(Y1 - Y0);
    int sx = X0 < X1 ? 1 : -1, sy = Y0 < Y1 ? 1 : -1;
    int err = dx - dy;
    int x = X0, y = Y0;
    while (x != X1 || y != Y1) {
      Step(x, y);
      int e2 = 2 * err;
      if (e2 > -dy) {
        err -= dy;
        x += sx;
      }
      if (e2 < dx) {
        err += dx;
        y += sy;
      }
    }
  }

  // The pixel itself, as the last point of a closed figure.
  void Point(int X, int Y) { Step(X, Y); }

 private:
  void Step(int X, int Y) {
    bool on = true;
    if (FDash.Lengths) {
      on = (FDashIndex & 1) == 0;
      if (--FRemaining == 0) {
        FDashIndex = (FDashIndex + 1) % FDash.Count;
        FRemaining = FDash.Lengths[FDashIndex];
      }
    }
    if (on)
      Plot(X, Y, FValue);
    else if (FOpaqueGaps)
      Plot(X, Y, FGapValue);
  }

  void Plot(int X, int Y, uint32_t Value) {
    if (FSimpleClip) {
      if (X < FClipBox.left || X >= FClipBox.right || Y < FClipBox.top || Y >= FClipBox.bottom) return;
    } else if (!FClip.Contains(X, Y)) {
      return;
    }
    uint32_t d = 0;
    if (FIndex != 0xF0) ReadRow(FSurface, X, Y, 1, &d);
    uint32_t result = FIndex == 0xF0 ? Value : ApplyRop(FIndex, Value, 0, d);
    WriteRow(FSurface, X, Y, 1, &result);
  }

  TDC& FDC;
  const TPixelSurface& FSurface;
  const TRegion& FClip;
  bool FSimpleClip = false;
  RECT FClipBox{};
  uint8_t FIndex = 0xF0;
  uint32_t FValue = 0, FGapValue = 0;
  bool FOpaqueGaps = false;
  TDashPattern FDash{nullptr, 0};
  int FDashIndex = 0;
  int FRemaining = 0;
};

TPenObject* CurrentPen(TDC& DC) {
  return GdiGetPen(DC.State().Pen);
}
TBrushObject* CurrentBrush(TDC& DC) {
  return GdiGetBrush(DC.State().Brush);
}

bool PenDraws(const TPenObject* Pen) {
  return Pen && Pen->Style != PS_NULL;
}
int PenWidth(const TPenObject* Pen) {
  return Pen->Width <= 1 ? 1 : Pen->Width;
}

// Fills a surface region with the pen's colour under the DC's mix mode (wide pens).
void FillWithPen(TDC& DC, const TPenObject& Pen, const TRegion& Area) {
  auto brush = TBrushObject::Solid(Pen.FollowsDCColor ? DC.State().DCPenColor : Pen.Color);
  FillSurfaceRegion(DC, Area, brush.get(), Rop2ToRop3(DC.State().Rop2));
}

// Wide lines: a square of the pen's width stamped along the line, filled as one region so
// mix modes such as XOR touch each pixel once.
void WideLine(TDC& DC, const TPenObject& Pen, const std::vector<POINT>& Points, bool Closed) {
  int width = PenWidth(&Pen);
  int before = (width - 1) / 2, after = width / 2;
  std::vector<RECT> squares;
  auto stamp = [&](int X, int Y) {
    squares.push_back(RECT{X - before, Y - before, X + after + 1, Y + after + 1});
  };
  size_t count = Points.size();
  size_t segments = Closed ? count : (count ? count - 1 : 0);
  for (size_t i = 0; i < segments; ++i) {
    POINT a = Points[i], b = Points[(i + 1) % count];
    int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx - dy, x = a.x, y = a.y;
    while (x != b.x || y != b.y) {
      stamp(x, y);
      int e2 = 2 * err;
      if (e2 > -dy) {
        err -= dy;
        x += sx;
      }
      if (e2 < dx) {
        err += dx;
        y += sy;
      }
    }
  }
  FillWithPen(DC, Pen, TRegion::FromRects(squares.data(), squares.size()));
}

void StrokePoints(TDC& DC, const TPenObject& Pen, const std::vector<POINT>& Points, bool Closed) {
  if (Points.empty()) return;
  if (PenWidth(&Pen) > 1) {
    WideLine(DC, Pen, Points, Closed);
    return;
  }
  TLinePainter painter(DC, Pen);
  for (size_t i = 0; i + 1 < Points.size(); ++i)
    painter.Line(Points[i].x, Points[i].y, Points[i + 1].x, Points[i + 1].y);
  if (Closed && Points.size() > 1)
    painter.Line(Points.back().x, Points.back().y, Points.front().x, Points.front().y);
}

RECT NormalizedSurfaceRect(TDC& DC, int Left, int Top, int Right, int Bottom) {
  RECT r = DC.LogicalToSurface(RECT{Left, Top, Right, Bottom});
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// Brush handles may be system colour indexes + 1.
const TBrushObject* ResolveBrush(HBRUSH Brush) {
  auto value = reinterpret_cast<uintptr_t>(Brush);
  if (value > 0 && value <= uintptr_t(COLOR_ENDCOLORS + 1))
    return GdiGetBrush(GetSysColorBrush(int(value - 1)));
  return GdiGetBrush(Brush);
}

TRegion RegionToSurface(TDC& DC, const TRegion& Region) {
  TRegion result(Region);
  POINT offset = DC.LogicalToSurface(POINT{0, 0});
  result.Offset(offset.x, offset.y);
  return result;
}

// Shapes whose outline and interior come from one region constructor.
template <class TMake>
BOOL DrawClosedShape(HDC Handle, int Left, int Top, int Right, int Bottom, TMake Make) {
  TDC* dc = GdiGetDC(Handle);
  if (!dc) return FALSE;
  RECT r = NormalizedSurfaceRect(*dc, Left, Top, Right, Bottom);
  TPenObject* pen = CurrentPen(*dc);
  TBrushObject* brush = CurrentBrush(*dc);
  uint8_t index = Rop2ToRop3(dc->State().Rop2);
  if (!PenDraws(pen)) {
    FillSurfaceRegion(*dc, Make(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, 0), brush, index);
    return TRUE;
  }
  int width = PenWidth(pen);
  RECT outer = r;
  if (width > 1 && pen->Style != PS_INSIDEFRAME) {
    int grow = (width - 1) / 2;
    outer = RECT{r.left - grow, r.top - grow, r.right + grow, r.bottom + grow};
  }
  TRegion whole = Make(outer, 0);
  TRegion inner =
      Make(RECT{outer.left + width, outer.top + width, outer.right - width, outer.bottom - width}, width);
  FillSurfaceRegion(*dc, inner, brush, index);
  TRegion frame(whole);
  frame.Subtract(inner);
  FillWithPen(*dc, *pen, frame);
  return TRUE;
}

}  // namespace

BOOL LineTo(HDC DC, int X, int Y) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return FALSE;
  POINT from = dc->LogicalToSurface(dc->State().CurrentPosition);
  POINT to = dc->LogicalToSurface(POINT{X, Y});
  dc->State().CurrentPosition = POINT{X, Y};
  TPenObject* pen = CurrentPen(*dc);
  if (PenDraws(pen)) StrokePoints(*dc, *pen, {from, to}, false);
  return TRUE;
}

BOOL Polyline(HDC DC, const POINT* Points, int Count) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Points || Count < 2) return FALSE;
  TPenObject* pen = CurrentPen(*dc);
  if (!PenDraws(pen)) return TRUE;
  std::vector<POINT> points;
  points.reserve(size_t(Count));
  for (int i = 0; i < Count; ++i) points.push_back(dc->LogicalToSurface(Points[i]));
  StrokePoints(*dc, *pen, points, false);
  return TRUE;
}

BOOL PolylineTo(HDC DC, const POINT* Points, DWORD Count) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Points || Count == 0) return FALSE;
  std::vector<POINT> points{dc->State().CurrentPosition};
  points.insert(points.end(), Points, Points + Count);
  BOOL result = Polyline(DC, points.data(), int(points.size()));
  dc->State().CurrentPosition = Points[Count - 1];
  return result;
}

BOOL PolyPolygon(HDC DC, const POINT* Points, const INT* Counts, int PolygonCount) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Points || !Counts || PolygonCount <= 0) return FALSE;
  std::vector<POINT> points;
  size_t total = 0;
  for (int i = 0; i < PolygonCount; ++i) {
    if (Counts[i] < 2) return FALSE;
    total += size_t(Counts[i]);
  }
  for (size_t i = 0; i < total; ++i) points.push_back(dc->LogicalToSurface(Points[i]));
  TRegion area =
      TRegion::FromPolyPolygon(points.data(), Counts, size_t(PolygonCount), dc->State().PolyFillMode);
  FillSurfaceRegion(*dc, area, CurrentBrush(*dc), Rop2ToRop3(dc->State().Rop2));
  TPenObject* pen = CurrentPen(*dc);
  if (PenDraws(pen)) {
    size_t offset = 0;
    for (int i = 0; i < PolygonCount; ++i) {
      std::vector<POINT> ring(points.begin() + ptrdiff_t(offset),
                              points.begin() + ptrdiff_t(offset + size_t(Counts[i])));
      StrokePoints(*dc, *pen, ring, true);
      offset += size_t(Counts[i]);
    }
  }
  return TRUE;
}

BOOL Polygon(HDC DC, const POINT* Points, int Count) {
  if (Count < 2) return FALSE;
  INT count = Count;
  return PolyPolygon(DC, Points, &count, 1);
}

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return FALSE;
  TPenObject* pen = CurrentPen(*dc);
  // One-pixel styled frames are drawn as lines so the dash pattern runs round the rectangle.
  if (PenDraws(pen) && PenWidth(pen) == 1 && pen->Style != PS_SOLID && pen->Style != PS_INSIDEFRAME) {
    RECT r = NormalizedSurfaceRect(*dc, Left, Top, Right, Bottom);
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return TRUE;
    FillSurfaceRect(*dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, CurrentBrush(*dc),
                    Rop2ToRop3(dc->State().Rop2));
    std::vector<POINT> corners{
        {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    StrokePoints(*dc, *pen, corners, true);
    return TRUE;
  }
  return DrawClosedShape(DC, Left, Top, Right, Bottom, [](const RECT& R, int) { return TRegion(R); });
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight) {
  return DrawClosedShape(DC, Left, Top, Right, Bottom, [&](const RECT& R, int Inset) {
    return TRegion::FromRoundRect(R, CornerWidth - 2 * Inset, CornerHeight - 2 * Inset);
  });
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom) {
  return DrawClosedShape(DC, Left, Top, Right, Bottom,
                         [](const RECT& R, int) { return TRegion::FromEllipse(R); });
}

int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush) {
  TDC* dc = GdiGetDC(DC);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !Rect || !brush) return 0;
  RECT r = dc->LogicalToSurface(*Rect);
  if (r.right <= r.left || r.bottom <= r.top) return 1;
  FillSurfaceRect(*dc, r, brush, RopIndex(PATCOPY));
  return 1;
}

int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush) {
  TDC* dc = GdiGetDC(DC);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !Rect || !brush) return 0;
  RECT r = dc->LogicalToSurface(*Rect);
  if (r.right <= r.left || r.bottom <= r.top) return 1;
  RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                   {r.left, r.bottom - 1, r.right, r.bottom},
                   {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                   {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
  FillSurfaceRegion(*dc, TRegion::FromRects(sides, 4), brush, RopIndex(PATCOPY));
  return 1;
}

BOOL InvertRect(HDC DC, const RECT* Rect) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Rect) return FALSE;
  RECT r = dc->LogicalToSurface(*Rect);
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  FillSurfaceRect(*dc, r, nullptr, RopIndex(DSTINVERT));
  return TRUE;
}

BOOL DrawFocusRect(HDC DC, const RECT* Rect) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Rect) return FALSE;
  RECT r = dc->LogicalToSurface(*Rect);
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  const TPixelSurface& surface = dc->Surface();
  if (!surface.IsValid()) return TRUE;
  const TRegion& clip = dc->Clip();
  POINT origin = dc->Origin();
  uint32_t flip = IsIndexed(surface) ? uint32_t((1u << surface.BitCount) - 1) : 0x00FFFFFF;
  auto invert = [&](int X, int Y) {
    if (((X - origin.x) + (Y - origin.y)) & 1) return;
    if (!clip.Contains(X, Y)) return;
    uint32_t v;
    ReadRow(surface, X, Y, 1, &v);
    v ^= flip;
    WriteRow(surface, X, Y, 1, &v);
  };
  for (int x = r.left; x < r.right; ++x) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
  return TRUE;
}

BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush) {
  TDC* dc = GdiGetDC(DC);
  TRegion* region = GdiGetRegion(Region);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !region || !brush) return FALSE;
  FillSurfaceRegion(*dc, RegionToSurface(*dc, *region), brush, RopIndex(PATCOPY));
  return TRUE;
}

BOOL PaintRgn(HDC DC, HRGN Region) {
  TDC* dc = GdiGetDC(DC);
  TRegion* region = GdiGetRegion(Region);
  if (!dc || !region) return FALSE;
  FillSurfaceRegion(*dc, RegionToSurface(*dc, *region), CurrentBrush(*dc), Rop2ToRop3(dc->State().Rop2));
  return TRUE;
}

BOOL InvertRgn(HDC DC, HRGN Region) {
  TDC* dc = GdiGetDC(DC);
  TRegion* region = GdiGetRegion(Region);
  if (!dc || !region) return FALSE;
  FillSurfaceRegion(*dc, RegionToSurface(*dc, *region), nullptr, RopIndex(DSTINVERT));
  return TRUE;
}

BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height) {
  TDC* dc = GdiGetDC(DC);
  TRegion* region = GdiGetRegion(Region);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !region || !brush || Width <= 0 || Height <= 0) return FALSE;
  // The frame is the region minus its erosion: pixels less than Width (Height) from an edge.
  TRegion inner(*region);
  const int shifts[4][2] = {{Width, 0}, {-Width, 0}, {0, Height}, {0, -Height}};
  for (const auto& shift : shifts) {
    TRegion moved(*region);
    moved.Offset(shift[0], shift[1]);
    inner.Intersect(moved);
  }
  TRegion frame(*region);
  frame.Subtract(inner);
  FillSurfaceRegion(*dc, RegionToSurface(*dc, frame), brush, RopIndex(PATCOPY));
  return TRUE;
}

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return CLR_INVALID;
  POINT p = dc->LogicalToSurface(POINT{X, Y});
  if (!dc->Surface().IsValid() || !dc->Clip().Contains(p.x, p.y)) return CLR_INVALID;
  uint32_t value = dc->ColorToPixel(Color);
  WriteRow(dc->Surface(), p.x, p.y, 1, &value);
  return dc->PixelToColor(value);
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color) {
  return SetPixel(DC, X, Y, Color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC DC, int X, int Y) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return CLR_INVALID;
  POINT p = dc->LogicalToSurface(POINT{X, Y});
  if (!dc->Surface().IsValid() || !dc->Clip().Contains(p.x, p.y)) return CLR_INVALID;
  uint32_t value;
  ReadRow(dc->Surface(), p.x, p.y, 1, &value);
  // Monochrome device-dependent pixels read back as black and white, whatever the DC colours.
  ValuesToColors(dc->Surface(), &value, 1, 0x000000, 0xFFFFFF);
  return RgbToColorRef(value);
}
