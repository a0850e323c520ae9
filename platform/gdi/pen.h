#pragma once
// Pens: the outline of shapes and lines. Cosmetic pens of width 0 or 1 draw one-pixel lines and
// are the only ones that can be styled (dash, dot...); wider pens draw solid, as the platform
// does for its simple pens.

#include <memory>

#include "platform/gdi/gdiobj.h"

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_USERSTYLE = 7;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0x0000000F;
constexpr int PS_ENDCAP_ROUND = 0x00000000;
constexpr int PS_ENDCAP_SQUARE = 0x00000100;
constexpr int PS_ENDCAP_FLAT = 0x00000200;
constexpr int PS_ENDCAP_MASK = 0x00000F00;
constexpr int PS_JOIN_ROUND = 0x00000000;
constexpr int PS_JOIN_BEVEL = 0x00001000;
constexpr int PS_JOIN_MITER = 0x00002000;
constexpr int PS_JOIN_MASK = 0x0000F000;
constexpr int PS_COSMETIC = 0x00000000;
constexpr int PS_GEOMETRIC = 0x00010000;
constexpr int PS_TYPE_MASK = 0x000F0000;

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
};

struct LOGBRUSH;

class TPenObject : public TGdiObject {
 public:
  TPenObject() : TGdiObject(OBJ_PEN) {}
  static std::unique_ptr<TPenObject> Solid(COLORREF Color);
  static std::unique_ptr<TPenObject> Null();
  // The stock DC pen: its colour is the DC's pen colour (SetDCPenColor).
  static std::unique_ptr<TPenObject> DCPen();

  int GetObjectInfo(int Size, void* Buffer) const override;

  int Style = PS_SOLID;  // PS_STYLE_MASK part
  int Width = 1;         // 0 is drawn as 1
  COLORREF Color = 0;
  bool FollowsDCColor = false;
};

TPenObject* GdiGetPen(HPEN Pen);

HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* LogPen);
// Only what the simple pens offer is honoured: style, width, the brush's colour.
HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount,
                  const DWORD* StyleEntries);
