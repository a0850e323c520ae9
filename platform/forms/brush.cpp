#include "platform/forms/brush.h"

#include "platform/forms/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/gdiobj.h"

KORCAM_REGISTER_CLASS(TBrush)

TBrush::~TBrush() {
  FreeHandle();
}

void TBrush::FreeHandle() const {
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
    FPatternSource = nullptr;
  }
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  FreeHandle();
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  FreeHandle();
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  FreeHandle();
  Changed();
}

HBRUSH TBrush::Handle() const {
  HBITMAP Pattern = FBitmap && !FBitmap->Empty() ? FBitmap->Handle() : nullptr;
  // A pattern follows its bitmap's handle: a bitmap that was resized or reloaded has a new one.
  if (FHandle && Pattern != FPatternSource) FreeHandle();
  if (FHandle) return FHandle;
  if (Pattern) {
    FHandle = CreatePatternBrush(Pattern);
    FPatternSource = Pattern;
    return FHandle;
  }
  const COLORREF Rgb = COLORREF(ColorToRGB(FColor)) & 0xFFFFFF;
  switch (FStyle) {
    case bsSolid:
      FHandle = CreateSolidBrush(Rgb);
      break;
    case bsClear: {
      LOGBRUSH Data{BS_NULL, 0, 0};
      FHandle = CreateBrushIndirect(&Data);
      break;
    }
    default:
      FHandle = CreateHatchBrush(static_cast<int>(FStyle) - bsHorizontal + HS_HORIZONTAL, Rgb);
      break;
  }
  return FHandle;
}

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH Data{};
  if (!Value || GetObject(Value, sizeof(Data), &Data) == 0) return;
  FreeHandle();
  FBitmap = nullptr;
  FColor = TColor(Data.lbColor);
  if (Data.lbStyle == BS_NULL)
    FStyle = bsClear;
  else if (Data.lbStyle == BS_HATCHED)
    FStyle = static_cast<TBrushStyle>(bsHorizontal + int(Data.lbHatch));
  else
    FStyle = bsSolid;
  FHandle = Value;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TBrush*>(Source)) {
    if (Other == this) return;
    FreeHandle();
    FColor = Other->FColor;
    FStyle = Other->FStyle;
    FBitmap = Other->FBitmap;
    Changed();
    return;
  }
  inherited::Assign(Source);
}
