#include "platform/gdi/pen.h"

#include <cstring>

#include "platform/gdi/brush.h"

std::unique_ptr<TPenObject> TPenObject::Solid(COLORREF Color) {
  auto pen = std::make_unique<TPenObject>();
  pen->Color = Color;
  return pen;
}

std::unique_ptr<TPenObject> TPenObject::Null() {
  auto pen = std::make_unique<TPenObject>();
  pen->Style = PS_NULL;
  return pen;
}

std::unique_ptr<TPenObject> TPenObject::DCPen() {
  auto pen = std::make_unique<TPenObject>();
  pen->FollowsDCColor = true;
  return pen;
}

int TPenObject::GetObjectInfo(int Size, void* Buffer) const {
  if (!Buffer) return int(sizeof(LOGPEN));
  if (Size < int(sizeof(LOGPEN))) return 0;
  LOGPEN pen{UINT(Style), POINT{Width, 0}, Color};
  std::memcpy(Buffer, &pen, sizeof(pen));
  return int(sizeof(LOGPEN));
}

TPenObject* GdiGetPen(HPEN Pen) {
  return GdiGetObjectAs<TPenObject>(Pen, OBJ_PEN);
}

HPEN CreatePen(int Style, int Width, COLORREF Color) {
  int style = Style & PS_STYLE_MASK;
  if (style > PS_ALTERNATE) return nullptr;
  auto pen = std::make_unique<TPenObject>();
  pen->Style = style;
  pen->Width = Width < 0 ? 0 : Width;
  pen->Color = Color;
  // Styled lines are one pixel wide only; a wider styled pen draws solid.
  if (pen->Width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) pen->Style = PS_SOLID;
  return GdiHandleAs<HPEN>(GdiAddObject(std::move(pen)));
}

HPEN CreatePenIndirect(const LOGPEN* LogPen) {
  if (!LogPen) return nullptr;
  return CreatePen(int(LogPen->lopnStyle), LogPen->lopnWidth.x, LogPen->lopnColor);
}

HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount,
                  const DWORD* StyleEntries) {
  if (!Brush) return nullptr;
  int style = int(Style & PS_STYLE_MASK);
  if (style == PS_USERSTYLE || style == PS_ALTERNATE) style = PS_DOT;
  COLORREF color = Brush->lbStyle == BS_SOLID ? Brush->lbColor : 0;
  if (Brush->lbStyle == BS_NULL) style = PS_NULL;
  return CreatePen(style, int(Width), color);
}
