#include "vcontrols/common/vcframe.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "platform/forms/canvas.h"
#include "platform/forms/edit.h"
#include "platform/forms/grids.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/font.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/user.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcEditFrame)
KORCAM_REGISTER_CLASS(TvcButtonEffects)

using namespace vcframe;

namespace {

// The ordinal value of a published property of Source; nothing when its class has none.
std::optional<int64_t> OrdinalByName(const TObject* Source, std::string_view Name) {
  if (!GetPropInfo(Source, Name)) return std::nullopt;
  const TValue Value = GetPropValue(Source, Name);
  if (const auto* Number = std::get_if<int64_t>(&Value)) return *Number;
  if (const auto* Flag = std::get_if<bool>(&Value)) return *Flag ? 1 : 0;
  return std::nullopt;
}

int FontHeight(HDC DC, HFONT Font) {
  HGDIOBJ Old = SelectObject(DC, Font);
  TEXTMETRICA Metrics{};
  GetTextMetricsA(DC, &Metrics);
  SelectObject(DC, Old);
  return Metrics.tmHeight;
}

bool HasNoBorder(const TControl* Control) {
  return GetOrdPropByName(Control, "BorderStyle") == bsNone;
}

// The control's rectangle in its parent's client area.
RECT BoundsInParent(const TControl* Control) {
  return Control->BoundsRect();
}

}  // namespace

// ---- the edit frame --------------------------------------------------------------------------

TvcEditFrame::TvcEditFrame(TControl* AControl) : FControl(dynamic_cast<TWinControl*>(AControl)) {
  // Through the writer, as every frame is set up; with Enabled already false it changes nothing.
  SetEnabled(false);
}

TvcEditFrame::~TvcEditFrame() = default;

bool TvcEditFrame::IsSingleLineStyle(TvcEditFocusStyle Style) {
  return Style == efsFrameBox || Style == efsFrameSingle;
}

bool TvcEditFrame::IsFrameEffective() const {
  return FEnabled && FControl && !dynamic_cast<TCustomGrid*>(FControl->Parent());
}

void TvcEditFrame::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (!FControl) return;
  if (dynamic_cast<TCustomEdit*>(FControl)) {
    if (Value) SetControlBorderStyle(FControl, bsNone);
    if (GetAutoSizeProperty(FControl)) AdjustHeight();
  }
  // Every framed control paints its frame itself, so each needs a repaint.
  FControl->Invalidate();
}

void TvcEditFrame::SetNonFocusBorders(const TvcEditFrameEnabledSet& Value) {
  FNonFocusBorders = Value;
  if (dynamic_cast<TCustomEdit*>(FControl)) InvalidateFrame();
}

void TvcEditFrame::SetFocusBorders(const TvcEditFrameEnabledSet& Value) {
  FFocusBorders = Value;
  if (dynamic_cast<TCustomEdit*>(FControl)) FControl->Invalidate();
}

void TvcEditFrame::SetNonFocusStyle(TvcEditFocusStyle Value) {
  if (Value == FNonFocusStyle) return;
  FNonFocusStyle = Value;
  if (dynamic_cast<TCustomEdit*>(FControl)) FControl->Invalidate();
}

void TvcEditFrame::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  FCreateTransparent = Value;
  RecreateForTransparency();
}

void TvcEditFrame::RecreateForTransparency() {
  if (!FTransparent || !IsFrameEffective() || IsDesigning(FControl) || !FControl->HandleAllocated()) return;
  TWinControl* Parent = FControl->Parent();
  if (!Parent || !Parent->HandleAllocated()) return;
  if (GetWindowLongA(Parent->HandleIfAllocated(), GWL_STYLE) & WS_CLIPCHILDREN)
    FControl->Perform(CM_RECREATEWND, 0, 0);
}

void TvcEditFrame::Assign(TPersistent* Source) {
  auto* Same = dynamic_cast<TvcEditFrame*>(Source);
  if (!Same && !(Source && IsClassNamed(&Source->ClassType(), "TkvEditFrame"))) {
    TPersistent::Assign(Source);
    return;
  }
  // Member by member, by name: the two frames keep the same settings under the same names,
  // whatever order their classes hold them in.
  auto Read = [Source](std::string_view Name) { return OrdinalByName(Source, Name); };
  if (auto Value = Read("FocusStyle")) FFocusStyle = TvcEditFocusStyle(*Value);
  if (auto Value = Read("Enabled")) SetEnabled(*Value != 0);
  if (auto Value = Read("Transparent")) SetTransparent(*Value != 0);
  if (!FEnabled) return;
  if (Same)
    FEraseOnRefresh = Same->FEraseOnRefresh;
  else if (auto Value = Read("EraseOnRefresh"))
    FEraseOnRefresh = *Value != 0;
  if (auto Value = Read("AutoSizeHeightAdjust")) FAutoSizeHeightAdjust = int32_t(*Value);
  if (auto Value = Read("FocusBorders")) SetFocusBorders(TvcEditFrameEnabledSet::FromBits(uint64_t(*Value) & 0xF));
  if (auto Value = Read("NonFocusBorders"))
    SetNonFocusBorders(TvcEditFrameEnabledSet::FromBits(uint64_t(*Value) & 0xF));
  if (auto Value = Read("NonFocusStyle")) SetNonFocusStyle(TvcEditFocusStyle(*Value));
  if (auto Value = Read("NonFocusTextOffsetX")) FNonFocusTextOffsetX = int32_t(*Value);
  if (auto Value = Read("NonFocusTextOffsetY")) FNonFocusTextOffsetY = int32_t(*Value);
  if (auto Value = Read("NonFocusTransparentFontColor")) FNonFocusTransparentFontColor = TColor(*Value);
  if (auto Value = Read("NonFocusColor")) FNonFocusColor = TColor(*Value);
  if (auto Value = Read("NonFocusFontColor")) FNonFocusFontColor = TColor(*Value);
  if (auto Value = Read("MouseEnterSameAsFocus")) FMouseEnterSameAsFocus = *Value != 0;
}

void TvcEditFrame::GetOffsets(int& X, int& Y, bool Focused) const {
  const TvcEditFrameEnabledSet Sides = Focused ? FFocusBorders : FNonFocusBorders;
  const TvcEditFocusStyle Style = Focused ? FFocusStyle : FNonFocusStyle;
  const bool Single = IsSingleLineStyle(Style);
  X = Sides.Contains(efLeftBorder) ? (Single ? 2 : 3) : 1;
  Y = Sides.Contains(efTopBorder) && !Single ? 3 : 2;
  X += FNonFocusTextOffsetX;
  Y += FNonFocusTextOffsetY;
}

void TvcEditFrame::GetEditRect(RECT& Rect) const {
  if (IsSingleLineStyle(FFocusStyle)) {
    Rect.left = 2;
    Rect.top = 2;
    if (FFocusBorders.Contains(efRightBorder) && FFocusStyle == efsFrameBox) --Rect.right;
    return;
  }
  Rect.top = 3;
  if (!FFocusBorders.Contains(efLeftBorder))
    Rect.left = 1;
  else if (FFocusStyle == efsFrameSunken || FFocusStyle == efsFrameBump)
    Rect.left = 3;
  else
    Rect.left = 2;
  Rect.right -= 2;
}

void TvcEditFrame::AdjustHeight() {
  if (!FControl) return;
  HDC DC = GetDC(nullptr);
  const int ControlFont = FontHeight(DC, FControl->Font()->Handle());
  ReleaseDC(nullptr, DC);
  // Controls are always drawn in the new style here, where the system font takes no part.
  int Extra = HasNoBorder(FControl) ? 6 : GetSystemMetrics(SM_CYBORDER) * (FControl->Ctl3D() ? 8 : 6);
  if (FEnabled) Extra += FAutoSizeHeightAdjust;
  const int Height = ControlFont + Extra;
  // The same height once more still makes the control lay itself out again.
  if (Height == FControl->Height()) FControl->SetHeight(Height - 1);
  FControl->SetHeight(Height);
}

void TvcEditFrame::InvalidateFrame() {
  if (!FControl) return;
  TWinControl* Parent = FControl->Parent();
  if (FEnabled && FTransparent && Parent && Parent->HandleAllocated()) {
    const RECT Bounds = BoundsInParent(FControl);
    InvalidateRect(Parent->HandleIfAllocated(), &Bounds, FALSE);
    return;
  }
  FControl->Invalidate();
}

void TvcEditFrame::RefreshTransparentBackground(bool Whole) {
  if (!FControl || !FControl->Parent()) return;
  TWinControl* Parent = FControl->Parent();
  RECT Area = BoundsInParent(FControl);
  RECT Format = FControl->ClientRect();
  const bool NoLeftSide = !FNonFocusBorders.Contains(efLeftBorder);
  if (!Whole) {
    FControl->Perform(EM_GETRECT, 0, LPARAM(&Format));
    if (HasNoBorder(FControl)) {
      InflateRect(&Area, -2, -2);
      if (NoLeftSide) Area.left -= 2;
      Area.right = Area.left + Format.right + 1;
    }
  }
  if (IsParentTransparent(FControl)) {
    InvalidateTransparentParents(FControl);
    return;
  }
  TControl* Beneath = Parent->ControlAtPos(POINT{FControl->Left(), FControl->Top()}, true, false);
  if (Beneath) {
    // A windowless control under this one paints on the parent: the parent repaints the area.
    if (Parent->HandleAllocated()) InvalidateRect(Parent->HandleIfAllocated(), &Area, FEraseOnRefresh);
    return;
  }
  if (!FControl->HandleAllocated()) return;
  RECT Fill = FControl->ClientRect();
  if (!Whole) {
    Fill = Format;
    InflateRect(&Fill, 1, 1);
    if (NoLeftSide) Fill.left = std::max<LONG>(0, Fill.left - 1);
  }
  HDC DC = GetDC(FControl->HandleIfAllocated());
  HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(Parent->Color())));
  FillRect(DC, &Fill, Brush);
  DeleteObject(Brush);
  ReleaseDC(FControl->HandleIfAllocated(), DC);
}

// ---- the button effects ------------------------------------------------------------------------

TvcButtonEffects::TvcButtonEffects(TControl* ACombo, TControl* AButton) : FCombo(ACombo), FButton(AButton) {}
TvcButtonEffects::~TvcButtonEffects() = default;

void TvcButtonEffects::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  SetOrdPropertyByName(FButton, "Transparent", FFlat || FTransparent);
  SetOrdPropertyByName(FButton, "Flat", FFlat || FTransparent);
  Refresh();
  if (FButton) FButton->Invalidate();
}

void TvcButtonEffects::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  SetOrdPropertyByName(FButton, "Flat", FFlat || FTransparent);
  Refresh();
  if (FButton) FButton->Invalidate();
}

void TvcButtonEffects::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcButtonEffects*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetFlat(Other->FFlat);
  SetTransparent(Other->FTransparent);
}

// ---- free routines -----------------------------------------------------------------------------

void DrawEditFrame(TControl* Control, TvcEditFrame* Frame, TCanvas* Canvas, bool Focused) {
  if (!Control || !Frame || !Canvas) return;
  RECT R = Control->ClientRect();
  const TvcEditFrameEnabledSet Sides = Focused ? Frame->FocusBorders() : Frame->NonFocusBorders();
  const TvcEditFocusStyle Style = Focused ? Frame->FocusStyle() : Frame->NonFocusStyle();
  if (!Sides.Contains(efRightBorder) && Frame->Transparent()) R.right -= 2;
  const UINT SideFlags = UINT(Sides.Bits() & BF_RECT);
  UINT Edge = EDGE_SUNKEN, Flags = SideFlags;
  switch (Style) {
    case efsFrameBox: Flags |= BF_MONO; break;
    case efsFrameSunken: break;
    case efsFrameRaised: Edge = EDGE_RAISED; break;
    case efsFrameEtched: Edge = EDGE_ETCHED; break;
    case efsFrameBump: Edge = EDGE_BUMP; break;
    case efsFrameSingle:
      Edge = BDR_SUNKENOUTER;
      Flags |= BF_MONO;
      break;
  }
  DrawEdge(Canvas->Handle(), &R, Edge, Flags);
}

bool IsParentTransparent(const TControl* Control) {
  if (!Control || !Control->Parent()) return false;
  const TWinControl* Parent = Control->Parent();
  if (IsClassNamed(&Parent->ClassType(), "TvcPanel") || IsClassNamed(&Parent->ClassType(), "TvcGroupBox"))
    if (GetTransparentProperty(Parent)) return true;
  return Parent->HandleAllocated() && (GetWindowLongA(Parent->HandleIfAllocated(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

void InvalidateTransparentArea(TControl* Control, bool Erase) {
  if (!Control) return;
  // The control's client origin on the screen with its width and height; each ancestor gets the
  // part of that rectangle that lies in its client area.
  const POINT Origin = Control->ClientToScreen(POINT{0, 0});
  for (TControl* Walk = Control; Walk && Walk->Parent(); Walk = Walk->Parent()) {
    TWinControl* Parent = Walk->Parent();
    if (!Parent->HandleAllocated()) return;
    const POINT Local = Parent->ScreenToClient(Origin);
    const RECT Area{Local.x, Local.y, Local.x + Control->Width(), Local.y + Control->Height()};
    InvalidateRect(Parent->HandleIfAllocated(), &Area, Erase);
    if (!IsParentTransparent(Walk)) return;
  }
}

void InvalidateTransparentParents(TControl* Control) {
  auto* Frame = dynamic_cast<TvcEditFrame*>(GetFrameProperty(Control));
  InvalidateTransparentArea(Control, Frame && Frame->EraseOnRefresh());
}

void SetControlBorderStyle(TObject* Control, TBorderStyle Value) {
  SetOrdPropertyByName(Control, "BorderStyle", Value);
}

bool GetTransparentProperty(const TObject* Control) {
  return Control && GetPropInfo(Control, "Transparent") && GetOrdPropByName(Control, "Transparent") != 0;
}

bool GetAutoSizeProperty(const TObject* Control) {
  return Control && GetPropInfo(Control, "AutoSize") && GetOrdPropByName(Control, "AutoSize") != 0;
}

TObject* GetFrameProperty(const TObject* Control) {
  if (!Control || !GetPropInfo(Control, "Frame")) return nullptr;
  return GetObjectProp(Control, "Frame");
}

void SetOrdPropertyByName(TObject* Object, std::string_view PropertyName, int64_t Value) {
  SetOrdPropByName(Object, PropertyName, Value);
}
