#include "platform/forms/canvas.h"

#include <vector>

#include "platform/forms/graphic.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"

KORCAM_REGISTER_CLASS(TCanvas)

TCanvas::TCanvas() {
  FFont = std::make_unique<TFont>();
  FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
  FPen = std::make_unique<TPen>();
  FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
  FBrush = std::make_unique<TBrush>();
  FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() {
  // Detach without calling descendants (they are gone): just deselect our objects.
  DeselectHandles();
  FHandle = nullptr;
}

void TCanvas::SetFont(TFont* Value) {
  FFont->Assign(Value);
}
void TCanvas::SetPen(TPen* Value) {
  FPen->Assign(Value);
}
void TCanvas::SetBrush(TBrush* Value) {
  FBrush->Assign(Value);
}

HDC TCanvas::Handle() {
  Changing();
  RequiredState(csAllValid);
  Changed();
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) {
    DeselectHandles();
    GetCurrentPositionEx(FHandle, &FPenPos);
    FHandle = nullptr;
    FState.Exclude(csHandleValid);
  }
  if (Value) {
    FState.Include(csHandleValid);
    FHandle = Value;
    MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
  }
}

void TCanvas::RequiredState(TCanvasState Required) {
  const TCanvasState Needed = Required - FState;
  if (Needed.Empty()) return;
  if (Needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (Needed.Contains(csFontValid)) SelectFont();
  if (Needed.Contains(csPenValid)) SelectPen();
  if (Needed.Contains(csBrushValid)) SelectBrush();
  FState = FState + Needed;
}

void TCanvas::SelectFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())) & 0xFFFFFF);
}

void TCanvas::SelectPen() {
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
}

void TCanvas::SelectBrush() {
  SelectObject(FHandle, FBrush->Handle());
  const COLORREF Rgb = COLORREF(ColorToRGB(FBrush->Color())) & 0xFFFFFF;
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, Rgb);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches draw their gaps transparently; the complement keeps the background colour from
    // ever equalling the brush colour.
    SetBkColor(FHandle, ~Rgb & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  const TCanvasState Objects{csFontValid, csPenValid, csBrushValid};
  if ((FState * Objects).Empty()) return;
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
  SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  FState = FState - Objects;
}

void TCanvas::FontChanged(TObject*) {
  if (FState.Contains(csFontValid)) {
    FState.Exclude(csFontValid);
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (FState.Contains(csPenValid)) {
    FState.Exclude(csPenValid);
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (FState.Contains(csBrushValid)) {
    FState.Exclude(csBrushValid);
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

POINT TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT Result{0, 0};
  GetCurrentPositionEx(FHandle, &Result);
  return Result;
}

void TCanvas::SetPenPos(POINT Value) {
  MoveTo(Value.x, Value.y);
}

RECT TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT Result{0, 0, 0, 0};
  GetClipBox(FHandle, &Result);
  return Result;
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return TColor(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, X, Y, COLORREF(ColorToRGB(Value)) & 0xFFFFFF);
  Changed();
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Polygon(std::span<const POINT> Points) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const POINT> Points) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::FillRect(const RECT& R) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &R, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& R) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &R, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const RECT& R) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &R);
  Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(FHandle, X, Y, UINT(FTextFlags), nullptr, Text.data(), UINT(Text.size()), nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const RECT& R, int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT Options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) Options |= ETO_OPAQUE;
  ExtTextOutA(FHandle, X, Y, Options, &R, Text.data(), UINT(Text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const std::string& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE Result{0, 0};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &Result);
  return Result;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())) & 0xFFFFFF);
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const RECT& R, TGraphic* Graphic) {
  if (!Graphic) return;
  Changing();
  RequiredState(csAllValid);
  Graphic->Draw(this, R);
  Changed();
}

void TCanvas::CopyRect(const RECT& Dest, TCanvas* Canvas, const RECT& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->FHandle,
             Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top,
             DWORD(FCopyMode));
  Changed();
}

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

void TCanvas::Refresh() {
  DeselectHandles();
}
