#include "vcontrols/panels/vcpanel.h"

#include "platform/forms/canvas.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/user/paint.h"
#include "platform/user/user.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcCustomPanel)
KORCAM_REGISTER_CLASS(TvcPanel)
KORCAM_REGISTER_CLASS(TvcCustomGroupBox)
KORCAM_REGISTER_CLASS(TvcGroupBox)

using namespace vcframe;

namespace {

void ClearClipChildren(HWND Window) {
  if (!Window) return;
  SetWindowLongA(Window, GWL_STYLE, LONG(DWORD(GetWindowLongA(Window, GWL_STYLE)) & ~WS_CLIPCHILDREN));
}

// WS_CLIPCHILDREN goes from the parent's window and the control's own: a transparent control
// needs what lies beneath it painted first, and its own children paint over its background.
void RemoveClipChildren(TWinControl* Control) {
  if (Control->Parent()) ClearClipChildren(Control->Parent()->HandleIfAllocated());
  ClearClipChildren(Control->HandleIfAllocated());
}

bool IsLoading(const TComponent* Component) {
  return Component->ComponentState().Contains(csLoading);
}

// The shared writer of Transparent: csOpaque follows IsTransparent, and after loading a control
// with a window that is not designed repaints and gets a window of the new kind.
template <class TControlClass>
void ApplyTransparent(TControlClass* Control, bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  TControlStyle Style = Control->ControlStyle();
  if (Control->IsTransparent())
    Style.Exclude(csOpaque);
  else
    Style.Include(csOpaque);
  Control->SetControlStyle(Style);
  if (IsLoading(Control) || !Control->HandleAllocated() || IsDesigning(Control)) return;
  Control->Invalidate();
  RemoveClipChildren(Control);
  Control->RecreateWnd();
}

bool FrameHasNonFocusColors(const TvcEditFrame* Frame, TColor Color, TColor FontColor) {
  if (!Frame->Enabled()) return false;
  if (Frame->NonFocusColor() != clNone) return Frame->NonFocusColor() != Color;
  return Frame->NonFocusFontColor() != clNone && Frame->NonFocusFontColor() != FontColor;
}

// The pending update rectangle of a transparent control goes to its parent as well (without
// erasing), so the parent repaints what shows through. Answers whether anything was pending.
bool ForwardPendingUpdate(TWinControl* Control) {
  RECT Pending{};
  if (!GetUpdateRect(Control->HandleIfAllocated(), &Pending, FALSE) || IsRectEmpty(&Pending)) return false;
  RECT InParent = Pending;
  OffsetRect(&InParent, Control->Left(), Control->Top());
  InvalidateRect(Control->Parent()->HandleIfAllocated(), &InParent, FALSE);
  InvalidateRect(Control->HandleIfAllocated(), &Pending, FALSE);
  return true;
}

}  // namespace

// ---- the panel -------------------------------------------------------------------------------

TvcCustomPanel::TvcCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  FFrame = std::make_unique<TvcEditFrame>(this);
}

TvcCustomPanel::~TvcCustomPanel() = default;

void TvcCustomPanel::SetFrame(TvcEditFrame* Value) {
  FFrame->Assign(Value);
}

void TvcCustomPanel::SetTransparent(bool Value) {
  ApplyTransparent(this, FTransparent, Value);
}

bool TvcCustomPanel::IsTransparent() const {
  return FTransparent && !IsDesigning(this);
}

bool TvcCustomPanel::HasNonFocusColors() const {
  return FrameHasNonFocusColors(FFrame.get(), FColor, Font()->Color());
}

void TvcCustomPanel::SetParent(TWinControl* AParent) {
  TCustomPanel::SetParent(AParent);
}

void TvcCustomPanel::Invalidate() {
  if (!IsTransparent() || !Parent() || !Parent()->HandleAllocated() || !HandleAllocated()) {
    TCustomPanel::Invalidate();
    return;
  }
  if (!ForwardPendingUpdate(this)) InvalidateRect(HandleIfAllocated(), nullptr, FALSE);
}

void TvcCustomPanel::AlignControls(TControl* AControl, RECT& Rect) {
  TCustomPanel::AlignControls(AControl, Rect);
  if (IsTransparent()) Invalidate();
}

void TvcCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  if (IsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TvcCustomPanel::CreateWnd() {
  TCustomPanel::CreateWnd();
  RemoveClipChildren(this);
}

void TvcCustomPanel::Paint() {
  TCanvas* C = Canvas();
  RECT R = ClientRect();
  const bool Framed = FFrame->IsFrameEffective();
  if (Framed) {
    const TColor Back = FFrame->NonFocusColor() != clNone && !FHasFocus ? FFrame->NonFocusColor() : FColor;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Back);
    if (!FTransparent) C->FillRect(R);
    DrawEditFrame(this, FFrame.get(), C, FHasFocus);
  } else {
    auto Bevel = [&](TBevelCut Kind) {
      if (Kind == bvNone) return;
      const TColor Top = Kind == bvLowered ? clBtnShadow : clBtnHighlight;
      const TColor Bottom = Kind == bvLowered ? clBtnHighlight : clBtnShadow;
      Frame3D(C, R, Top, Bottom, FBevelWidth);
    };
    Bevel(FBevelOuter);
    Frame3D(C, R, FColor, FColor, FBorderWidth);
    Bevel(FBevelInner);
    if (!FTransparent) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(FColor);
      C->FillRect(R);
    }
  }
  C->Brush()->SetStyle(bsClear);
  C->SetFont(Font());
  const int TextHeight = C->TextHeight("W");
  R.top = (R.top + R.bottom - TextHeight) / 2;
  R.bottom = R.top + TextHeight;
  const UINT Align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  const UINT Flags = DrawTextBiDiModeFlags(this, DT_EXPANDTABS | DT_VCENTER | Align);
  if (Framed && FFrame->NonFocusFontColor() != clNone && !FHasFocus)
    C->Font()->SetColor(FFrame->NonFocusFontColor());
  const std::string Text = Caption();
  DrawTextA(C->Handle(), Text.c_str(), -1, &R, Flags);
}

void TvcCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (IsTransparent()) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_MOVE:
      TCustomPanel::Dispatch(Message);
      if (IsTransparent()) Invalidate();
      return;
    case CM_TEXTCHANGED:
      if (!(IsDesigning(this) && !FTransparent)) FFrame->RefreshTransparentBackground(true);
      break;
    case CM_ENTER:
    case CM_EXIT: {
      FHasFocus = Message.Msg == CM_ENTER;
      if (HasNonFocusColors()) Invalidate();
      // A frame whose focused look differs repaints over the whole client area.
      const bool LookDiffers = (FFrame->FocusBorders().Bits() & ~FFrame->NonFocusBorders().Bits()) != 0 ||
                               FFrame->FocusStyle() != FFrame->NonFocusStyle();
      if (FFrame->Enabled() && LookDiffers && HandleAllocated()) InvalidateRect(HandleIfAllocated(), nullptr, FALSE);
      break;
    }
    default:
      break;
  }
  TCustomPanel::Dispatch(Message);
}

// ---- the group box ---------------------------------------------------------------------------

TvcCustomGroupBox::TvcCustomGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {
  FFrame = std::make_unique<TvcEditFrame>(this);
}

TvcCustomGroupBox::~TvcCustomGroupBox() = default;

void TvcCustomGroupBox::SetFrame(TvcEditFrame* Value) {
  FFrame->Assign(Value);
}

void TvcCustomGroupBox::SetCaptionIndent(int32_t Value) {
  if (Value == FCaptionIndent) return;
  FCaptionIndent = std::max<int32_t>(3, Value);
  Invalidate();
}

void TvcCustomGroupBox::SetFullBorder(bool Value) {
  if (Value == FFullBorder) return;
  FFullBorder = Value;
  Invalidate();
}

void TvcCustomGroupBox::SetTransparent(bool Value) {
  ApplyTransparent(this, FTransparent, Value);
}

bool TvcCustomGroupBox::IsTransparent() const {
  return FTransparent && !IsDesigning(this);
}

bool TvcCustomGroupBox::HasNonFocusColors() const {
  return FrameHasNonFocusColors(FFrame.get(), FColor, Font()->Color());
}

void TvcCustomGroupBox::SetParent(TWinControl* AParent) {
  TCustomGroupBox::SetParent(AParent);
}

void TvcCustomGroupBox::Invalidate() {
  if (!IsTransparent() || !Parent() || !Parent()->HandleAllocated() || !HandleAllocated()) {
    TCustomGroupBox::Invalidate();
    return;
  }
  // Nothing pending: the box itself is left as it is, as the group box always behaved.
  ForwardPendingUpdate(this);
}

void TvcCustomGroupBox::AlignControls(TControl* AControl, RECT& Rect) {
  TCustomGroupBox::AlignControls(AControl, Rect);
  if (IsTransparent()) Invalidate();
}

void TvcCustomGroupBox::CreateParams(TCreateParams& Params) {
  TCustomGroupBox::CreateParams(Params);
  if (IsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TvcCustomGroupBox::CreateWnd() {
  TCustomGroupBox::CreateWnd();
  RemoveClipChildren(this);
}

RECT TvcCustomGroupBox::GetFrameRect() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const int H = C->TextHeight("0") + (FBorderAroundLabel ? 2 : 0);
  if (FFullBorder && FBorderAroundLabel) return RECT{0, H - 2, Width(), Height()};
  if (FFullBorder) return RECT{0, H + 1, Width(), Height()};
  return RECT{0, H / 2 - 1, Width(), Height()};
}

void TvcCustomGroupBox::Paint() {
  const std::string Text = Caption();
  // Without a caption the box paints nothing: its background is what the erase step left.
  if (Text.empty()) return;
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const int H0 = C->TextHeight("0");
  const int TextWidth = C->TextWidth(Text);
  RECT F = GetFrameRect();
  const int T = F.top;
  const int H = H0 + (FBorderAroundLabel ? 2 : 0);
  const bool RightToLeft = UseRightToLeftAlignment();
  auto CaptionLeft = [&](int FrameRight) { return RightToLeft ? FrameRight - TextWidth - FCaptionIndent : FCaptionIndent; };
  const int L = CaptionLeft(F.right);
  const int R = L + TextWidth;

  const bool Framed = FFrame->IsFrameEffective();
  const TColor Back = Framed && FFrame->NonFocusColor() != clNone && !FHasFocus ? FFrame->NonFocusColor() : FColor;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Back);
  if (!FTransparent) {
    RECT Inside = F;
    InflateRect(&Inside, -1, -1);
    C->FillRect(Inside);
  }
  // One colour at a time for the pen and the brush.
  auto Ink = [&](TColor Color) {
    C->Pen()->SetColor(Color);
    C->Brush()->SetColor(Color);
  };
  int GapEnd = R + 1;
  if (FBorderAroundLabel) {
    if (!FTransparent) C->FillRect(RECT{L - 3, 0, R + 2, H0 + 1});
    Ink(clBtnHighlight);
    C->Polyline({POINT{L - 2, T + 1}, POINT{L - 2, 1}, POINT{R + 2, 1}, POINT{R + 2, T}});
    Ink(clBtnShadow);
    C->Polyline({POINT{L - 3, T}, POINT{L - 3, 0}, POINT{R + 1, 0}, POINT{R + 1, T + 1}});
  } else if (FFullBorder) {
    Ink(clBtnHighlight);
    C->Polyline({POINT{L - 2, T + 1}, POINT{R + 1, T + 1}});
    Ink(clBtnShadow);
    C->Polyline({POINT{L - 3, T}, POINT{R + 2, T}});
    GapEnd = R;
  }
  int Top = T;
  if (Ctl3D()) {
    ++F.left;
    ++F.top;
    Top = F.top;
    Ink(clBtnHighlight);
    C->Polyline({POINT{L - 3, Top}, POINT{F.left, Top}, POINT{F.left, F.bottom - 1}, POINT{F.right - 1, F.bottom - 1},
                 POINT{F.right - 1, Top}, POINT{GapEnd, Top}});
    OffsetRect(&F, -1, -1);
    Ink(clBtnShadow);
  } else {
    Ink(clWindowFrame);
  }
  Top = F.top;
  C->Polyline({POINT{L - 3, Top}, POINT{F.left, Top}, POINT{F.left, F.bottom - 1}, POINT{F.right - 1, F.bottom - 1},
               POINT{F.right - 1, Top}, POINT{R + 1, Top}});

  // The caption once more with the label height, right to left against the frame as it is now.
  RECT Label{CaptionLeft(F.right), 0, 0, H};
  Label.right = Label.left + TextWidth;
  if (FBorderAroundLabel) ++Label.top;
  const TColor FontColor =
      Framed && FFrame->NonFocusFontColor() != clNone && !FHasFocus ? FFrame->NonFocusFontColor() : Font()->Color();
  C->Font()->SetColor(FontColor);
  C->Brush()->SetStyle(bsClear);
  const UINT Flags = DrawTextBiDiModeFlags(this, DT_SINGLELINE);
  DrawTextA(C->Handle(), Text.c_str(), -1, &Label, Flags | DT_CALCRECT);
  DrawTextA(C->Handle(), Text.c_str(), -1, &Label, Flags);
}

void TvcCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (IsTransparent() ||
          (FFrame->IsFrameEffective() && (FFrame->NonFocusColor() != clNone || FBorderAroundLabel))) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_MOVE:
      TCustomGroupBox::Dispatch(Message);
      if (IsTransparent()) Invalidate();
      return;
    case CM_TEXTCHANGED:
      if (!(IsDesigning(this) && !FTransparent)) FFrame->RefreshTransparentBackground(true);
      break;
    case CM_ENTER:
    case CM_EXIT:
      FHasFocus = Message.Msg == CM_ENTER;
      if (HasNonFocusColors()) Invalidate();
      break;
    default:
      break;
  }
  TCustomGroupBox::Dispatch(Message);
}

// ---- the published group box -------------------------------------------------------------------

TvcGroupBox::TvcGroupBox(TComponent* AOwner) : TvcCustomGroupBox(AOwner) {
  FParentColor = true;
}
