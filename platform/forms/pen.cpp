#include "platform/forms/pen.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/pen.h"

KORCAM_REGISTER_CLASS(TPen)

namespace {

constexpr int PenStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};

}  // namespace

int PenModeToRop2(TPenMode Mode) {
  static constexpr int Rop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                 R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                 R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                 R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  const int Index = static_cast<int>(Mode);
  return Index >= 0 && Index < 16 ? Rop2[Index] : R2_COPYPEN;
}

TPen::~TPen() {
  FreeHandle();
}

void TPen::FreeHandle() const {
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  FreeHandle();
  Changed();
}

// The mode is applied by the canvas (SetROP2), so the handle stays.
void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  FreeHandle();
  Changed();
}

void TPen::SetWidth(int32_t Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  FreeHandle();
  Changed();
}

HPEN TPen::Handle() const {
  if (!FHandle) {
    const int Index = static_cast<int>(FStyle);
    const int GdiStyle = Index >= 0 && Index < 7 ? PenStyles[Index] : PS_SOLID;
    FHandle = CreatePen(GdiStyle, FWidth, COLORREF(ColorToRGB(FColor)) & 0xFFFFFF);
  }
  return FHandle;
}

void TPen::SetHandle(HPEN Value) {
  LOGPEN Data{};
  if (!Value || GetObject(Value, sizeof(Data), &Data) == 0) return;
  FreeHandle();
  FColor = TColor(Data.lopnColor);
  FWidth = Data.lopnWidth.x;
  FStyle = psSolid;
  for (int Index = 0; Index < 7; ++Index)
    if (PenStyles[Index] == int(Data.lopnStyle & PS_STYLE_MASK)) FStyle = static_cast<TPenStyle>(Index);
  FHandle = Value;
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TPen*>(Source)) {
    if (Other == this) return;
    FreeHandle();
    FColor = Other->FColor;
    FMode = Other->FMode;
    FStyle = Other->FStyle;
    FWidth = Other->FWidth;
    Changed();
    return;
  }
  inherited::Assign(Source);
}
