#pragma once
// Regions: sets of pixels kept as y-x banded rectangle lists (pixman does the algebra). A region
// holds whole pixels: a rectangle's left and top edges are inside it, its right and bottom edges
// are not. TRegion is the value type the library passes around (clip regions of device contexts,
// window regions); HRGN handles wrap one for the API.

#include <pixman.h>

#include <vector>

#include "platform/rtl/wintypes.h"

// CombineRgn modes and the complexity results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

class TRegion {
 public:
  TRegion();
  explicit TRegion(const RECT& Rect);
  TRegion(int Left, int Top, int Right, int Bottom);
  TRegion(const TRegion& Other);
  TRegion(TRegion&& Other) noexcept;
  TRegion& operator=(const TRegion& Other);
  TRegion& operator=(TRegion&& Other) noexcept;
  ~TRegion();

  // Builds the region from rectangles in any order (they may overlap); empty ones are skipped.
  static TRegion FromRects(const RECT* Rects, size_t Count);
  // Scan-converted polygon with the GDI edge rule: a pixel belongs to the region when its
  // top-left corner lies inside the polygon (left/top edges in, right/bottom edges out).
  static TRegion FromPolygon(const POINT* Points, size_t Count, int FillMode);
  // Several polygons filled together (one winding count across all of them).
  static TRegion FromPolyPolygon(const POINT* Points, const INT* Counts, size_t PolygonCount, int FillMode);
  // The ellipse inscribed in the rectangle, and a rectangle with elliptic corners of the given
  // width and height.
  static TRegion FromEllipse(const RECT& Bounds);
  static TRegion FromRoundRect(const RECT& Bounds, int CornerWidth, int CornerHeight);

  bool IsEmpty() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  RECT Bounds() const;  // all zero when empty
  bool Contains(int X, int Y) const;
  // True when any pixel of the rectangle is in the region.
  bool Intersects(const RECT& Rect) const;
  bool operator==(const TRegion& Other) const;

  void Clear();
  void SetRect(const RECT& Rect);
  void Offset(int DX, int DY);
  void Intersect(const TRegion& Other);
  void Intersect(const RECT& Rect);
  void Union(const TRegion& Other);
  void Union(const RECT& Rect);
  void Subtract(const TRegion& Other);
  void Subtract(const RECT& Rect);
  void Xor(const TRegion& Other);

  // The banded rectangle list, top to bottom, left to right within a band.
  std::vector<RECT> Rects() const;
  size_t RectCount() const;

  pixman_region32_t* Native() { return &FRegion; }
  const pixman_region32_t* Native() const { return &FRegion; }

 private:
  pixman_region32_t FRegion;
};

// ---------------------------------------------------------------------------------------------
// HRGN objects and the region API.

#include "platform/gdi/gdiobj.h"

class TRegionObject : public TGdiObject {
 public:
  TRegionObject() : TGdiObject(OBJ_REGION) {}
  explicit TRegionObject(TRegion Region) : TGdiObject(OBJ_REGION), Region(std::move(Region)) {}
  TRegion Region;
};

// The region behind a handle, or null.
TRegion* GdiGetRegion(HRGN Handle);
// Adds a region to the handle table.
HRGN GdiCreateRegion(TRegion Region);

// RGNDATA: a 32-byte header then nCount RECTs.
constexpr DWORD RDH_RECTANGLES = 1;
struct RGNDATAHEADER {
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
};
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};
using LPRGNDATA = RGNDATA*;
struct XFORM;

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT* Rect);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT* Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const POINT* Points, const INT* Counts, int PolygonCount, int FillMode);
// Transform must be null (no transforms are supported); Size is the byte count of Data.
HRGN ExtCreateRegion(const XFORM* Transform, DWORD Size, const RGNDATA* Data);
// With a null Data or a Size too small, the byte count needed; otherwise the byte count written
// (0 on error).
DWORD GetRegionData(HRGN Region, DWORD Size, LPRGNDATA Data);
int CombineRgn(HRGN Destination, HRGN Source1, HRGN Source2, int Mode);
int OffsetRgn(HRGN Region, int DX, int DY);
BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);
BOOL PtInRegion(HRGN Region, int X, int Y);
BOOL RectInRegion(HRGN Region, const RECT* Rect);
int GetRgnBox(HRGN Region, LPRECT Rect);
BOOL EqualRgn(HRGN Region1, HRGN Region2);
