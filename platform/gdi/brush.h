#pragma once
// Brushes: solid, null (hollow), hatched and pattern brushes. A pattern brush keeps a copy of
// the bitmap it was made from. A monochrome pattern draws its 0 bits in the DC's text colour
// and its 1 bits in the background colour; a colour pattern draws its own pixels. Patterns are
// aligned to the DC's device origin shifted by the brush origin, so adjacent fills line up.

#include <memory>
#include <vector>

#include "platform/gdi/gdiobj.h"

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr UINT BS_INDEXED = 4;
constexpr UINT BS_DIBPATTERN = 5;
constexpr UINT BS_DIBPATTERNPT = 6;
constexpr UINT BS_PATTERN8X8 = 7;
constexpr UINT BS_DIBPATTERN8X8 = 8;

constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};

class TBrushObject : public TGdiObject {
 public:
  TBrushObject() : TGdiObject(OBJ_BRUSH) {}
  static std::unique_ptr<TBrushObject> Solid(COLORREF Color);
  static std::unique_ptr<TBrushObject> Null();
  // The stock DC brush: its colour is the DC's brush colour (SetDCBrushColor).
  static std::unique_ptr<TBrushObject> DCBrush();

  int GetObjectInfo(int Size, void* Buffer) const override;

  bool IsNull() const { return Style == BS_NULL; }
  bool IsSolid() const { return Style == BS_SOLID; }

  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  bool FollowsDCColor = false;
  // Pattern and hatch bits: PatternWidth x PatternHeight entries, row by row, top row first.
  // For a monochrome pattern (and a hatch) each entry is 0 or 1 (the bit); for a colour pattern
  // each entry is the colour 0x00RRGGBB.
  bool Monochrome = false;
  int PatternWidth = 0;
  int PatternHeight = 0;
  std::vector<uint32_t> Pattern;
  HBITMAP PatternBitmap = nullptr;  // the handle it was made from, for GetObject
};

TBrushObject* GdiGetBrush(HBRUSH Brush);

HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* LogBrush);
// Packed DIB: a BITMAPINFO followed by the bits.
HBRUSH CreateDIBPatternBrushPt(const void* PackedDib, UINT Usage);
