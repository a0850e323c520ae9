#pragma once
// Block transfers: BitBlt, StretchBlt, PatBlt and TransparentBlt, for every ternary raster
// operation, between surfaces of any supported format.
//
// Colour conversions between a source and a destination of different kinds:
// - monochrome device-dependent source into a colour destination: 0 bits become the
//   destination DC's text colour, 1 bits its background colour;
// - colour source into a monochrome destination: pixels equal to the source DC's background
//   colour become 1, all others 0;
// - indexed sources give the colours of their colour table; colours going to an indexed
//   destination take the nearest colour-table entry.
// Stretching samples the source pixel under each destination pixel's centre:
// source = SrcX + floor((2i + 1) * SrcWidth / (2 * DestWidth)) for destination column i (and the
// same for rows). When shrinking in BLACKONWHITE (the DC default) or WHITEONBLACK mode, the
// source pixels a destination pixel covers are combined with AND or OR first, so thin black
// (or white) lines survive; COLORONCOLOR and HALFTONE just sample.

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/rop.h"

struct BLENDFUNCTION {
  BYTE BlendOp;
  BYTE BlendFlags;
  BYTE SourceConstantAlpha;
  BYTE AlphaFormat;
};
constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, DWORD Rop);
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, DWORD Rop);
BOOL PatBlt(HDC Dest, int X, int Y, int Width, int Height, DWORD Rop);
// Copies (stretching as StretchBlt does) every source pixel whose colour is not
// TransparentColor.
BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                    int SrcWidth, int SrcHeight, UINT TransparentColor);
// Source-over blending with a constant alpha and, with AC_SRC_ALPHA, the premultiplied alpha
// of a 32-bit source.
BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, BLENDFUNCTION Blend);

namespace gdi {

// A source for the transfer core: a surface and a rectangle in its coordinates (negative
// extents mirror).
struct TBltSource {
  TPixelSurface Surface;
  int X = 0, Y = 0, Width = 0, Height = 0;
  COLORREF BkColor = 0xFFFFFF;  // the source DC's background colour (colour -> monochrome)
};

// The transfer core. The destination rectangle is in device coordinates of Dest (negative
// extents mirror); Brush is the pattern (null: the DC's brush); TransparentKey (a COLORREF) skips
// source pixels of that colour when set. Answers false on bad arguments.
bool Transfer(TDC& Dest, int X, int Y, int Width, int Height, const TBltSource* Source, DWORD Rop,
              const TBrushObject* Brush = nullptr, const COLORREF* TransparentKey = nullptr);

// Fills the surface-space rectangles of Area (intersected with the DC's clip) with Brush under
// the ternary operation Index (PATCOPY's index for plain fills, the mix mode's for shapes).
void FillSurfaceRegion(TDC& Dest, const TRegion& Area, const TBrushObject* Brush, uint8_t Index);
void FillSurfaceRect(TDC& Dest, const RECT& Area, const TBrushObject* Brush, uint8_t Index);

// The brush's pattern converted for one DC: rows of destination pixel values aligned to the DC
// origin plus the brush origin.
class TPattern {
 public:
  // False when the brush paints nothing (a null brush).
  bool Init(TDC& DC, const TBrushObject* Brush);
  bool IsSolid() const { return FSolid; }
  uint32_t SolidValue() const { return FSolidValue; }
  // True when some pixels are left alone (hatches in TRANSPARENT background mode).
  bool HasMask() const { return !FMask.empty(); }
  // Count values from surface point (X, Y); Mask (when HasMask) receives 1 where the pattern
  // paints.
  void Row(int X, int Y, int Count, uint32_t* Values, uint8_t* Mask) const;

 private:
  bool FSolid = true;
  uint32_t FSolidValue = 0;
  int FWidth = 1, FHeight = 1;
  int FOriginX = 0, FOriginY = 0;
  std::vector<uint32_t> FValues;
  std::vector<uint8_t> FMask;
};

}  // namespace gdi
