#include "kvcontrols/editors/kvframe.h"

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/forms/canvas.h"
#include "platform/forms/edit.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvEditFrame)
KORCAM_REGISTER_CLASS(TkvButtonEffects)

namespace {

bool IsBoxOrSingle(TkvEditFocusStyle Style) {
  return Style == efsFrameBox || Style == efsFrameSingle;
}

bool IsCustomEdit(const TControl* Control) {
  return Control && kvInheritsFromClassName(&Control->ClassType(), "TCustomEdit");
}

LONG ExStyleOf(HWND Window) {
  return Window ? GetWindowLongA(Window, GWL_EXSTYLE) : 0;
}

int FontHeight(HDC DC, HFONT Font) {
  HGDIOBJ Old = SelectObject(DC, Font);
  TEXTMETRICA Metrics{};
  GetTextMetricsA(DC, &Metrics);
  SelectObject(DC, Old);
  return Metrics.tmHeight;
}

// The control's rectangle in the client coordinates of Ancestor.
RECT RectIn(TControl* Control, TWinControl* Ancestor) {
  const POINT Origin = Control->Parent()->ClientToScreen(POINT{Control->Left(), Control->Top()});
  const POINT Local = Ancestor->ScreenToClient(Origin);
  return RECT{Local.x, Local.y, Local.x + Control->Width(), Local.y + Control->Height()};
}

}  // namespace

// ---- TkvEditFrame --------------------------------------------------------------------------

TkvEditFrame::TkvEditFrame(TControl* AControl) : FControl(dynamic_cast<TWinControl*>(AControl)) {}

bool TkvEditFrame::IsFrameEffective() const {
  return FEnabled && FControl && !kvParentIsGrid(FControl);
}

bool TkvEditFrame::IsTransparentInEffect() const {
  return FTransparent && IsFrameEffective() && !kvIsDesigning(FControl);
}

void TkvEditFrame::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (!IsCustomEdit(FControl)) return;
  // The frame takes the place of the window border.
  if (Value) kvSetBorderStyleProp(FControl, false);
  if (GetOrdProp(FControl, "AutoSize") != 0) AdjustHeight();
  FControl->Invalidate();
}

void TkvEditFrame::SetTransparent(bool Value) {
  const bool Changed = FTransparent != Value;
  if (Changed) {
    FCreateTransparent = Value;
    FTransparent = Value;
  }
  if (!FControl || !FControl->HandleAllocated()) return;
  // A rich edit only takes transparency at window creation, so it is always made again.
  if (kvInheritsFromClassName(&FControl->ClassType(), "TkvCustomRichEdit")) {
    FControl->Perform(CM_RECREATEWND, 0, 0);
    return;
  }
  if (!Changed || !IsTransparentInEffect()) return;
  // A parent that clips its children would never paint behind the control.
  TWinControl* Parent = FControl->Parent();
  if (Parent && Parent->HandleAllocated() &&
      (GetWindowLongA(Parent->HandleIfAllocated(), GWL_STYLE) & LONG(WS_CLIPCHILDREN)))
    FControl->Perform(CM_RECREATEWND, 0, 0);
}

void TkvEditFrame::SetCreateTransparent(bool Value) {
  FCreateTransparent = Value;
}

void TkvEditFrame::SetFocusBorders(const TkvEditFrameEnabledSet& Value) {
  FFocusBorders = Value;
  if (IsCustomEdit(FControl)) FControl->Invalidate();
}

void TkvEditFrame::SetNonFocusBorders(const TkvEditFrameEnabledSet& Value) {
  FNonFocusBorders = Value;
  if (!IsCustomEdit(FControl)) return;
  if (FEnabled && FTransparent && FControl->Parent() && FControl->Parent()->HandleAllocated()) {
    const RECT Bounds = FControl->BoundsRect();
    InvalidateRect(FControl->Parent()->HandleIfAllocated(), &Bounds, FALSE);
  } else {
    FControl->Invalidate();
  }
}

void TkvEditFrame::SetNonFocusStyle(TkvEditFocusStyle Value) {
  if (FNonFocusStyle == Value) return;
  FNonFocusStyle = Value;
  if (IsCustomEdit(FControl)) FControl->Invalidate();
}

void TkvEditFrame::Assign(TPersistent* Source) {
  if (auto* Frame = dynamic_cast<TkvEditFrame*>(Source)) {
    CopyFrom(Frame, false);
    return;
  }
  TPersistent::Assign(Source);
}

void TkvEditFrame::CopyFrom(TkvEditFrame* Source, bool Full) {
  SetEnabled(Source->Enabled());
  SetTransparent(Source->Transparent());
  if (!Full && !FEnabled) return;
  FMouseEnterSameAsFocus = Source->MouseEnterSameAsFocus();
  FAutoSizeHeightAdjust = Source->AutoSizeHeightAdjust();
  SetFocusBorders(Source->FocusBorders());
  SetNonFocusBorders(Source->NonFocusBorders());
  FFocusStyle = Source->FocusStyle();
  SetNonFocusStyle(Source->NonFocusStyle());
  FNonFocusTextOffsetX = Source->NonFocusTextOffsetX();
  FNonFocusTextOffsetY = Source->NonFocusTextOffsetY();
  FNonFocusTransparentFontColor = Source->NonFocusTransparentFontColor();
  FNonFocusColor = Source->NonFocusColor();
  FNonFocusFontColor = Source->NonFocusFontColor();
}

void TkvEditFrame::GetEditRect(RECT& Rect) const {
  const bool Left = FFocusBorders.Contains(efLeftBorder);
  if (IsBoxOrSingle(FFocusStyle)) {
    Rect.left = 2;
    Rect.top = 2;
    if (FFocusBorders.Contains(efRightBorder) && FFocusStyle == efsFrameBox) Rect.right -= 1;
    return;
  }
  Rect.top = 3;
  if (!Left)
    Rect.left = 1;
  else if (FFocusStyle == efsFrameSunken || FFocusStyle == efsFrameBump)
    Rect.left = 3;
  else
    Rect.left = 2;
  Rect.right -= 2;
}

void TkvEditFrame::GetTextOffsets(int& Left, int& Top, bool Focused) const {
  const TkvEditFrameEnabledSet Borders = Focused ? FFocusBorders : FNonFocusBorders;
  const TkvEditFocusStyle Style = Focused ? FFocusStyle : FNonFocusStyle;
  Left = 1;
  if (Borders.Contains(efLeftBorder)) Left = IsBoxOrSingle(Style) ? 2 : 3;
  Top = 2;
  if (Borders.Contains(efTopBorder) && !IsBoxOrSingle(Style)) Top = 3;
  Left += FNonFocusTextOffsetX;
  Top += FNonFocusTextOffsetY;
}

void TkvEditFrame::AdjustHeight() {
  if (!FControl) return;
  HDC DC = GetDC(nullptr);
  const int ControlFont = FontHeight(DC, FControl->Font()->Handle());
  ReleaseDC(nullptr, DC);
  // Controls are always drawn new-style here (3-D borders), so the system font takes no part.
  int Allowance;
  if (kvHasBorder(FControl))
    Allowance = GetSystemMetrics(SM_CYBORDER) * (FControl->Ctl3D() ? 8 : 6);
  else
    Allowance = 6;
  if (FEnabled) Allowance += FAutoSizeHeightAdjust;
  FControl->SetHeight(Allowance + ControlFont);
}

void TkvEditFrame::RefreshTransparentBackground(bool ClientOnly, bool TextChanged) {
  if (!FControl || !FControl->Parent()) return;
  TWinControl* Parent = FControl->Parent();
  RECT Bounds = FControl->BoundsRect();
  RECT Format = FControl->ClientRect();
  if (!ClientOnly) {
    FControl->Perform(EM_GETRECT, 0, LPARAM(&Format));
    const bool NoLeft = !FNonFocusBorders.Contains(efLeftBorder);
    if (!TextChanged) {
      InflateRect(&Bounds, -2, -2);
      if (NoLeft) Bounds.left -= 2;
      Bounds.bottom += 2;
    } else if (!kvHasBorder(FControl)) {
      InflateRect(&Bounds, -2, -2);
      if (NoLeft) Bounds.left -= 2;
      // A control with a button keeps the text clear of it: repaint only up to the text.
      const int Gap = FControl->ClientWidth() - Format.right;
      const bool HasButton = GetPropInfo(FControl, "ButtonEffects") != nullptr;
      Bounds.right = FControl->Left() + Format.right + (HasButton && Gap > 8 ? 3 : 1);
    }
  }
  if (kvIsParentTransparent(FControl)) {
    kvInvalidateTransparentParents(FControl);
    return;
  }
  if (Parent->HandleAllocated() &&
      Parent->ControlAtPos(POINT{FControl->Left(), FControl->Top()}, true, false) != nullptr) {
    InvalidateRect(Parent->HandleIfAllocated(), &Bounds, FALSE);
    return;
  }
  if (!FControl->HandleAllocated()) return;
  RECT Fill = FControl->ClientRect();
  if (!ClientOnly) {
    Fill = Format;
    InflateRect(&Fill, 1, 1);
    if (!FNonFocusBorders.Contains(efLeftBorder)) Fill.left = std::max<LONG>(0, Fill.left - 1);
    if (FControl->ClientRect().bottom > Format.bottom + 3) Fill.bottom += 2;
  }
  HDC DC = GetDC(FControl->HandleIfAllocated());
  HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(Parent->Color())));
  FillRect(DC, &Fill, Brush);
  DeleteObject(Brush);
  ReleaseDC(FControl->HandleIfAllocated(), DC);
}

int TkvEditFrame::PaintWindowFrame(bool Focused, bool KeepBackground, HDC DC) {
  if (!IsFrameEffective()) return 1;
  HWND Window = FControl->Handle();
  const bool OwnDC = DC == nullptr;
  if (OwnDC) DC = GetWindowDC(Window);
  const TClassInfo* Class = &FControl->ClassType();
  if (!kvInheritsFromClassName(Class, "TkvCheckBox") && !kvInheritsFromClassName(Class, "TkvRadioButton")) {
    if (!FTransparent || (Focused && !KeepBackground)) {
      // Wipe what a previous frame style left in the two outer rings.
      HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(FControl->Color())));
      RECT Outer{0, 0, FControl->Width(), FControl->Height()};
      FrameRect(DC, &Outer, Brush);
      RECT Inner{1, 1, FControl->Width() - 1, FControl->Height() - 1};
      FrameRect(DC, &Inner, Brush);
      DeleteObject(Brush);
    }
  }
  kvPaintEditFrameOnDC(FControl, this, DC, Focused);
  if (OwnDC) ReleaseDC(Window, DC);
  return 0;
}

// ---- TkvButtonEffects ----------------------------------------------------------------------

TkvButtonEffects::TkvButtonEffects(TControl* AEditControl, TControl* AButtonControl)
    : FEditControl(AEditControl), FButtonControl(AButtonControl) {}

void TkvButtonEffects::Assign(TPersistent* Source) {
  if (auto* Effects = dynamic_cast<TkvButtonEffects*>(Source)) {
    SetTransparent(Effects->Transparent());
    SetFlat(Effects->Flat());
    return;
  }
  TPersistent::Assign(Source);
}

void TkvButtonEffects::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (FButtonControl) {
    const int64_t Look = (FFlat || FTransparent) ? 1 : 0;
    if (GetPropInfo(FButtonControl, "Transparent")) SetOrdProp(FButtonControl, "Transparent", Look);
    if (GetPropInfo(FButtonControl, "Flat")) SetOrdProp(FButtonControl, "Flat", Look);
  }
  RefreshButton();
  if (FButtonControl) FButtonControl->Invalidate();
}

void TkvButtonEffects::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  if (FButtonControl && GetPropInfo(FButtonControl, "Flat"))
    SetOrdProp(FButtonControl, "Flat", (FFlat || FTransparent) ? 1 : 0);
  RefreshButton();
  if (FButtonControl) FButtonControl->Invalidate();
}

// ---- free routines -------------------------------------------------------------------------

void kvFrameEdge(TkvEditFocusStyle Style, TkvEditFrameEnabledSet Borders, UINT& Edge, UINT& Flags) {
  Flags = 0;
  if (Borders.Contains(efLeftBorder)) Flags |= BF_LEFT;
  if (Borders.Contains(efTopBorder)) Flags |= BF_TOP;
  if (Borders.Contains(efRightBorder)) Flags |= BF_RIGHT;
  if (Borders.Contains(efBottomBorder)) Flags |= BF_BOTTOM;
  switch (Style) {
    case efsFrameBox:
      Edge = EDGE_SUNKEN;
      Flags |= BF_MONO;
      break;
    case efsFrameSunken:
      Edge = EDGE_SUNKEN;
      break;
    case efsFrameRaised:
      Edge = EDGE_RAISED;
      break;
    case efsFrameEtched:
      Edge = EDGE_ETCHED;
      break;
    case efsFrameBump:
      Edge = EDGE_BUMP;
      break;
    case efsFrameSingle:
      Edge = BDR_SUNKENOUTER;
      Flags |= BF_MONO;
      break;
  }
}

void kvPaintEditFrame(TControl* Control, TkvEditFrame* Frame, TCanvas* Canvas, bool Focused) {
  RECT Rect = Control->ClientRect();
  const TkvEditFrameEnabledSet Borders = Focused ? Frame->FocusBorders() : Frame->NonFocusBorders();
  const TkvEditFocusStyle Style = Focused ? Frame->FocusStyle() : Frame->NonFocusStyle();
  if (!Borders.Contains(efRightBorder) && Frame->Transparent()) Rect.right -= 2;
  UINT Edge = 0, Flags = 0;
  kvFrameEdge(Style, Borders, Edge, Flags);
  DrawEdge(Canvas->Handle(), &Rect, Edge, Flags);
}

void kvPaintEditFrameOnDC(TControl* Control, TkvEditFrame* Frame, HDC DC, bool Focused) {
  const TkvEditFrameEnabledSet Borders = Focused ? Frame->FocusBorders() : Frame->NonFocusBorders();
  if (Borders.Empty()) return;
  const TkvEditFocusStyle Style = Focused ? Frame->FocusStyle() : Frame->NonFocusStyle();
  RECT Rect{0, 0, Control->Width(), Control->Height()};
  UINT Edge = 0, Flags = 0;
  kvFrameEdge(Style, Borders, Edge, Flags);
  DrawEdge(DC, &Rect, Edge, Flags);
}

bool kvIsParentTransparent(const TControl* Control) {
  if (!Control || !Control->Parent() || !Control->Parent()->HandleAllocated()) return false;
  return (ExStyleOf(Control->Parent()->HandleIfAllocated()) & LONG(WS_EX_TRANSPARENT)) != 0;
}

void kvInvalidateParentsBehind(TControl* Control, bool Erase) {
  if (!Control) return;
  for (TWinControl* Ancestor = Control->Parent(); Ancestor; Ancestor = Ancestor->Parent()) {
    if (Ancestor->HandleAllocated()) {
      const RECT Rect = RectIn(Control, Ancestor);
      InvalidateRect(Ancestor->HandleIfAllocated(), &Rect, Erase ? TRUE : FALSE);
    }
    if (!(ExStyleOf(Ancestor->HandleIfAllocated()) & LONG(WS_EX_TRANSPARENT))) break;
  }
}

void kvInvalidateTransparentParents(TControl* Control) {
  kvInvalidateParentsBehind(Control, false);
}
