// Region algebra lives in pixman's banded rectangle lists; here are the shapes pixman has no
// constructor for and the HRGN API.
//
// Polygons are scan-converted at integer points: pixel (x, y) belongs to the region when the
// point (x, y) -- the pixel's top-left corner -- lies inside the polygon, counting points on a
// left or top edge as inside and points on a right or bottom edge as outside. An edge is active
// on the rows y with Ymin <= y < Ymax, and a crossing at real position X opens or closes the span
// at column ceil(X). A rectangle given as a polygon therefore gives the same pixels as the
// rectangle region, and polygons that share an edge neither overlap nor leave a gap.
//
// Ellipses and rounded corners sample pixel centres: pixel (x, y) is inside when
// (x + 0.5, y + 0.5) lies inside the ellipse inscribed in the bounding rectangle, which keeps
// the shape symmetric about both axes of the rectangle.

#include "platform/gdi/region.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr int MaxScanRow = 1 << 24;

// Collects per-row spans and turns runs of identical rows into band rectangles.
class TSpanCollector {
 public:
  void AddRow(int Y, std::vector<std::pair<int, int>>& Spans) {
    if (!FRects.empty() && Y == FLastY + 1 && Spans == FLastSpans) {
      for (size_t i = FBandStart; i < FRects.size(); ++i) FRects[i].bottom = Y + 1;
      FLastY = Y;
      return;
    }
    FBandStart = FRects.size();
    for (const auto& span : Spans)
      if (span.second > span.first) FRects.push_back(RECT{span.first, Y, span.second, Y + 1});
    FLastY = Y;
    FLastSpans = Spans;
  }
  TRegion Build() const { return TRegion::FromRects(FRects.data(), FRects.size()); }

 private:
  std::vector<RECT> FRects;
  size_t FBandStart = 0;
  int FLastY = INT_MIN;
  std::vector<std::pair<int, int>> FLastSpans;
};

int64_t CeilDiv(int64_t A, int64_t B) {
  // B > 0
  int64_t q = A / B;
  if (A % B != 0 && A > 0) ++q;
  return q;
}

struct TEdge {
  int64_t X0, Y0, X1, Y1;  // Y0 < Y1
  int Direction;           // +1 downwards in the original order, -1 upwards
};

int Clamp32(int64_t V) {
  return int(std::clamp<int64_t>(V, INT_MIN / 2, INT_MAX / 2));
}

}  // namespace

TRegion::TRegion() {
  pixman_region32_init(&FRegion);
}

TRegion::TRegion(const RECT& Rect) : TRegion(Rect.left, Rect.top, Rect.right, Rect.bottom) {}

TRegion::TRegion(int Left, int Top, int Right, int Bottom) {
  if (Right > Left && Bottom > Top)
    pixman_region32_init_rect(&FRegion, Left, Top, unsigned(int64_t(Right) - Left),
                              unsigned(int64_t(Bottom) - Top));
  else
    pixman_region32_init(&FRegion);
}

TRegion::TRegion(const TRegion& Other) {
  pixman_region32_init(&FRegion);
  pixman_region32_copy(&FRegion, const_cast<pixman_region32_t*>(&Other.FRegion));
}

TRegion::TRegion(TRegion&& Other) noexcept : TRegion() {
  std::swap(FRegion, Other.FRegion);
}

TRegion& TRegion::operator=(const TRegion& Other) {
  if (this != &Other) pixman_region32_copy(&FRegion, const_cast<pixman_region32_t*>(&Other.FRegion));
  return *this;
}

TRegion& TRegion::operator=(TRegion&& Other) noexcept {
  if (this != &Other) std::swap(FRegion, Other.FRegion);
  return *this;
}

TRegion::~TRegion() {
  pixman_region32_fini(&FRegion);
}

TRegion TRegion::FromRects(const RECT* Rects, size_t Count) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(Count);
  for (size_t i = 0; i < Count; ++i) {
    const RECT& r = Rects[i];
    if (r.right > r.left && r.bottom > r.top) boxes.push_back({r.left, r.top, r.right, r.bottom});
  }
  TRegion result;
  if (!boxes.empty()) {
    pixman_region32_fini(&result.FRegion);
    pixman_region32_init_rects(&result.FRegion, boxes.data(), int(boxes.size()));
  }
  return result;
}

TRegion TRegion::FromPolyPolygon(const POINT* Points, const INT* Counts, size_t PolygonCount, int FillMode) {
  std::vector<TEdge> edges;
  int64_t minY = INT64_MAX, maxY = INT64_MIN;
  size_t offset = 0;
  for (size_t polygon = 0; polygon < PolygonCount; ++polygon) {
    int count = Counts[polygon];
    if (count < 2) {
      offset += std::max(count, 0);
      continue;
    }
    for (int i = 0; i < count; ++i) {
      const POINT& a = Points[offset + i];
      const POINT& b = Points[offset + (i + 1) % count];
      if (a.y == b.y) continue;
      TEdge edge;
      if (a.y < b.y)
        edge = {a.x, a.y, b.x, b.y, 1};
      else
        edge = {b.x, b.y, a.x, a.y, -1};
      edges.push_back(edge);
      minY = std::min(minY, edge.Y0);
      maxY = std::max(maxY, edge.Y1);
    }
    offset += count;
  }
  TSpanCollector collector;
  if (edges.empty()) return TRegion();
  struct TCrossing {
    int64_t X;
    int Direction;
  };
  std::vector<TCrossing> crossings;
  std::vector<std::pair<int, int>> spans;
  // Rows far outside any surface are not scanned (keeps absurd coordinates from looping for
  // billions of rows).
  minY = std::max<int64_t>(minY, -MaxScanRow);
  maxY = std::min<int64_t>(maxY, MaxScanRow);
  for (int64_t y = minY; y < maxY; ++y) {
    crossings.clear();
    for (const TEdge& edge : edges) {
      if (y < edge.Y0 || y >= edge.Y1) continue;
      // X at row y = X0 + (y - Y0) * (X1 - X0) / (Y1 - Y0); the span boundary is its ceiling.
      int64_t dy = edge.Y1 - edge.Y0;
      int64_t numerator = edge.X0 * dy + (y - edge.Y0) * (edge.X1 - edge.X0);
      crossings.push_back({CeilDiv(numerator, dy), edge.Direction});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const TCrossing& A, const TCrossing& B) { return A.X < B.X; });
    spans.clear();
    if (FillMode == WINDING) {
      int winding = 0;
      int64_t start = 0;
      for (const TCrossing& crossing : crossings) {
        int before = winding;
        winding += crossing.Direction;
        if (before == 0 && winding != 0) start = crossing.X;
        if (before != 0 && winding == 0 && crossing.X > start)
          spans.push_back({Clamp32(start), Clamp32(crossing.X)});
      }
    } else {
      for (size_t i = 0; i + 1 < crossings.size(); i += 2)
        if (crossings[i + 1].X > crossings[i].X)
          spans.push_back({Clamp32(crossings[i].X), Clamp32(crossings[i + 1].X)});
    }
    // Merge touching spans so identical rows compare equal.
    std::vector<std::pair<int, int>> merged;
    for (const auto& span : spans) {
      if (!merged.empty() && span.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, span.second);
      else
        merged.push_back(span);
    }
    collector.AddRow(int(y), merged);
  }
  return collector.Build();
}

TRegion TRegion::FromPolygon(const POINT* Points, size_t Count, int FillMode) {
  INT count = INT(Count);
  return FromPolyPolygon(Points, &count, 1, FillMode);
}

TRegion TRegion::FromRoundRect(const RECT& Bounds, int CornerWidth, int CornerHeight) {
  int left = std::min(Bounds.left, Bounds.right), right = std::max(Bounds.left, Bounds.right);
  int top = std::min(Bounds.top, Bounds.bottom), bottom = std::max(Bounds.top, Bounds.bottom);
  if (right <= left || bottom <= top) return TRegion();
  double width = std::min(std::abs(CornerWidth), right - left);
  double height = std::min(std::abs(CornerHeight), bottom - top);
  if (width < 1 || height < 1) return TRegion(left, top, right, bottom);
  double rx = width / 2, ry = height / 2;
  TSpanCollector collector;
  std::vector<std::pair<int, int>> spans;
  for (int y = std::max(top, -MaxScanRow); y < std::min(bottom, MaxScanRow); ++y) {
    double py = y + 0.5;
    double dy = 0;
    if (py < top + ry)
      dy = (top + ry - py) / ry;
    else if (py > bottom - ry)
      dy = (py - (bottom - ry)) / ry;
    double inset = 0;
    if (dy > 0) {
      if (dy >= 1) continue;
      inset = rx - rx * std::sqrt(1 - dy * dy);
    }
    // Pixel centres x + 0.5 within [left + inset, right - inset].
    int x0 = int(std::ceil(left + inset - 0.5));
    int x1 = int(std::floor(right - inset - 0.5)) + 1;
    spans.clear();
    if (x1 > x0) spans.push_back({x0, x1});
    collector.AddRow(y, spans);
  }
  return collector.Build();
}

TRegion TRegion::FromEllipse(const RECT& Bounds) {
  return FromRoundRect(Bounds, std::abs(Bounds.right - Bounds.left), std::abs(Bounds.bottom - Bounds.top));
}

bool TRegion::IsEmpty() const {
  return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&FRegion));
}

int TRegion::Complexity() const {
  int count = pixman_region32_n_rects(const_cast<pixman_region32_t*>(&FRegion));
  return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT TRegion::Bounds() const {
  if (IsEmpty()) return RECT{0, 0, 0, 0};
  const pixman_box32_t* box = pixman_region32_extents(const_cast<pixman_region32_t*>(&FRegion));
  return RECT{box->x1, box->y1, box->x2, box->y2};
}

bool TRegion::Contains(int X, int Y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&FRegion), X, Y, nullptr);
}

bool TRegion::Intersects(const RECT& Rect) const {
  if (Rect.right <= Rect.left || Rect.bottom <= Rect.top) return false;
  pixman_box32_t box{Rect.left, Rect.top, Rect.right, Rect.bottom};
  return pixman_region32_contains_rectangle(const_cast<pixman_region32_t*>(&FRegion), &box) !=
         PIXMAN_REGION_OUT;
}

bool TRegion::operator==(const TRegion& Other) const {
  return pixman_region32_equal(const_cast<pixman_region32_t*>(&FRegion),
                               const_cast<pixman_region32_t*>(&Other.FRegion));
}

void TRegion::Clear() {
  pixman_region32_clear(&FRegion);
}

void TRegion::SetRect(const RECT& Rect) {
  *this = TRegion(Rect);
}

void TRegion::Offset(int DX, int DY) {
  pixman_region32_translate(&FRegion, DX, DY);
}

void TRegion::Intersect(const TRegion& Other) {
  pixman_region32_intersect(&FRegion, &FRegion, const_cast<pixman_region32_t*>(&Other.FRegion));
}

void TRegion::Intersect(const RECT& Rect) {
  if (Rect.right <= Rect.left || Rect.bottom <= Rect.top) {
    Clear();
    return;
  }
  pixman_region32_intersect_rect(&FRegion, &FRegion, Rect.left, Rect.top,
                                 unsigned(int64_t(Rect.right) - Rect.left),
                                 unsigned(int64_t(Rect.bottom) - Rect.top));
}

void TRegion::Union(const TRegion& Other) {
  pixman_region32_union(&FRegion, &FRegion, const_cast<pixman_region32_t*>(&Other.FRegion));
}

void TRegion::Union(const RECT& Rect) {
  if (Rect.right <= Rect.left || Rect.bottom <= Rect.top) return;
  pixman_region32_union_rect(&FRegion, &FRegion, Rect.left, Rect.top,
                             unsigned(int64_t(Rect.right) - Rect.left),
                             unsigned(int64_t(Rect.bottom) - Rect.top));
}

void TRegion::Subtract(const TRegion& Other) {
  pixman_region32_subtract(&FRegion, &FRegion, const_cast<pixman_region32_t*>(&Other.FRegion));
}

void TRegion::Subtract(const RECT& Rect) {
  Subtract(TRegion(Rect));
}

void TRegion::Xor(const TRegion& Other) {
  TRegion otherOnly(Other);
  otherOnly.Subtract(*this);
  Subtract(Other);
  Union(otherOnly);
}

std::vector<RECT> TRegion::Rects() const {
  int count = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&FRegion), &count);
  std::vector<RECT> result;
  result.reserve(count);
  for (int i = 0; i < count; ++i) result.push_back(RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
  return result;
}

size_t TRegion::RectCount() const {
  return size_t(pixman_region32_n_rects(const_cast<pixman_region32_t*>(&FRegion)));
}

// ---------------------------------------------------------------------------------------------
// The HRGN API.

TRegion* GdiGetRegion(HRGN Handle) {
  auto* object = GdiGetObjectAs<TRegionObject>(Handle, OBJ_REGION);
  return object ? &object->Region : nullptr;
}

HRGN GdiCreateRegion(TRegion Region) {
  return GdiHandleAs<HRGN>(GdiAddObject(std::make_unique<TRegionObject>(std::move(Region))));
}

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
  // Reversed coordinates are put in order, as callers rely on.
  if (Left > Right) std::swap(Left, Right);
  if (Top > Bottom) std::swap(Top, Bottom);
  return GdiCreateRegion(TRegion(Left, Top, Right, Bottom));
}

HRGN CreateRectRgnIndirect(const RECT* Rect) {
  if (!Rect) return nullptr;
  return CreateRectRgn(Rect->left, Rect->top, Rect->right, Rect->bottom);
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
  return GdiCreateRegion(TRegion::FromEllipse(RECT{Left, Top, Right, Bottom}));
}

HRGN CreateEllipticRgnIndirect(const RECT* Rect) {
  if (!Rect) return nullptr;
  return CreateEllipticRgn(Rect->left, Rect->top, Rect->right, Rect->bottom);
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight) {
  return GdiCreateRegion(TRegion::FromRoundRect(RECT{Left, Top, Right, Bottom}, CornerWidth, CornerHeight));
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode) {
  if (!Points || Count < 0 || (FillMode != ALTERNATE && FillMode != WINDING)) return nullptr;
  return GdiCreateRegion(TRegion::FromPolygon(Points, size_t(Count), FillMode));
}

HRGN CreatePolyPolygonRgn(const POINT* Points, const INT* Counts, int PolygonCount, int FillMode) {
  if (!Points || !Counts || PolygonCount < 0 || (FillMode != ALTERNATE && FillMode != WINDING))
    return nullptr;
  return GdiCreateRegion(TRegion::FromPolyPolygon(Points, Counts, size_t(PolygonCount), FillMode));
}

HRGN ExtCreateRegion(const XFORM* Transform, DWORD Size, const RGNDATA* Data) {
  if (Transform || !Data || Size < sizeof(RGNDATAHEADER)) return nullptr;
  RGNDATAHEADER header;
  std::memcpy(&header, Data, sizeof(header));
  if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES) return nullptr;
  uint64_t needed = uint64_t(sizeof(RGNDATAHEADER)) + uint64_t(header.nCount) * sizeof(RECT);
  if (needed > Size) return nullptr;
  std::vector<RECT> rects(header.nCount);
  if (header.nCount)
    std::memcpy(rects.data(), reinterpret_cast<const uint8_t*>(Data) + sizeof(RGNDATAHEADER),
                size_t(header.nCount) * sizeof(RECT));
  // The rectangles are taken as given (any order, overlaps allowed); empty ones count for
  // nothing. Coordinates are bounded so pixman's extents arithmetic cannot overflow.
  constexpr LONG Limit = 1 << 28;
  for (RECT& r : rects) {
    r.left = std::clamp(r.left, -Limit, Limit);
    r.right = std::clamp(r.right, -Limit, Limit);
    r.top = std::clamp(r.top, -Limit, Limit);
    r.bottom = std::clamp(r.bottom, -Limit, Limit);
  }
  return GdiCreateRegion(TRegion::FromRects(rects.data(), rects.size()));
}

DWORD GetRegionData(HRGN Region, DWORD Size, LPRGNDATA Data) {
  TRegion* region = GdiGetRegion(Region);
  if (!region) return 0;
  std::vector<RECT> rects = region->Rects();
  DWORD rectBytes = DWORD(rects.size() * sizeof(RECT));
  DWORD needed = DWORD(sizeof(RGNDATAHEADER)) + rectBytes;
  if (!Data) return needed;
  if (Size < needed) return 0;
  RGNDATAHEADER header;
  header.dwSize = sizeof(RGNDATAHEADER);
  header.iType = RDH_RECTANGLES;
  header.nCount = DWORD(rects.size());
  header.nRgnSize = rectBytes;
  header.rcBound = region->Bounds();
  std::memcpy(Data, &header, sizeof(header));
  if (!rects.empty()) std::memcpy(reinterpret_cast<uint8_t*>(Data) + sizeof(header), rects.data(), rectBytes);
  return needed;
}

int CombineRgn(HRGN Destination, HRGN Source1, HRGN Source2, int Mode) {
  TRegion* destination = GdiGetRegion(Destination);
  TRegion* source1 = GdiGetRegion(Source1);
  if (!destination || !source1) return ERROR;
  if (Mode == RGN_COPY) {
    *destination = *source1;
    return destination->Complexity();
  }
  TRegion* source2 = GdiGetRegion(Source2);
  if (!source2) return ERROR;
  TRegion result(*source1);
  switch (Mode) {
    case RGN_AND:
      result.Intersect(*source2);
      break;
    case RGN_OR:
      result.Union(*source2);
      break;
    case RGN_XOR:
      result.Xor(*source2);
      break;
    case RGN_DIFF:
      result.Subtract(*source2);
      break;
    default:
      return ERROR;
  }
  *destination = std::move(result);
  return destination->Complexity();
}

int OffsetRgn(HRGN Region, int DX, int DY) {
  TRegion* region = GdiGetRegion(Region);
  if (!region) return ERROR;
  region->Offset(DX, DY);
  return region->Complexity();
}

BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom) {
  TRegion* region = GdiGetRegion(Region);
  if (!region) return FALSE;
  if (Left > Right) std::swap(Left, Right);
  if (Top > Bottom) std::swap(Top, Bottom);
  *region = TRegion(Left, Top, Right, Bottom);
  return TRUE;
}

BOOL PtInRegion(HRGN Region, int X, int Y) {
  TRegion* region = GdiGetRegion(Region);
  return region && region->Contains(X, Y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN Region, const RECT* Rect) {
  TRegion* region = GdiGetRegion(Region);
  if (!region || !Rect) return FALSE;
  RECT r = *Rect;
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return region->Intersects(r) ? TRUE : FALSE;
}

int GetRgnBox(HRGN Region, LPRECT Rect) {
  TRegion* region = GdiGetRegion(Region);
  if (!region || !Rect) return ERROR;
  *Rect = region->Bounds();
  return region->Complexity();
}

BOOL EqualRgn(HRGN Region1, HRGN Region2) {
  TRegion* region1 = GdiGetRegion(Region1);
  TRegion* region2 = GdiGetRegion(Region2);
  if (!region1 || !region2) return ERROR;
  return *region1 == *region2 ? TRUE : FALSE;
}
