#include "vcontrols/panels/vcclearpanel.h"

#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TvcCustomTransparentPanel)
KORCAM_REGISTER_CLASS(TvcTransparentPanel)

TvcCustomTransparentPanel::TvcCustomTransparentPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  FTransparent = true;
  FBevelOuter = bvRaised;
  FControlStyle.Exclude(csSetCaption);
  FControlStyle.Exclude(csOpaque);
}

void TvcCustomTransparentPanel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (!ComponentState().Contains(csLoading) && HandleAllocated()) Invalidate();
}

bool TvcCustomTransparentPanel::IsTransparent() const { return FTransparent; }

void TvcCustomTransparentPanel::Invalidate() {
  TWinControl* Host = Parent();
  if (!IsTransparent() || !Host || !Host->HandleAllocated()) {
    TCustomPanel::Invalidate();
    return;
  }
  const RECT Bounds = BoundsRect();
  InvalidateRect(Host->HandleIfAllocated(), &Bounds, TRUE);
  for (int Index = 0; Index < ControlCount(); ++Index) Controls(Index)->Invalidate();
}

void TvcCustomTransparentPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // Transparent: the background counts as erased. Opaque: Paint fills the whole face, so
      // erasing first would only flicker.
      Message.Result = IsTransparent() ? 1 : 0;
      return;
    case WM_MOVE:
      TCustomPanel::Dispatch(Message);
      if (IsTransparent()) Invalidate();
      return;
    default:
      TCustomPanel::Dispatch(Message);
  }
}

void TvcCustomTransparentPanel::AlignControls(TControl* AControl, RECT& Rect) {
  TCustomPanel::AlignControls(AControl, Rect);
  if (IsTransparent()) Invalidate();
}

void TvcCustomTransparentPanel::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  if (IsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TvcCustomTransparentPanel::Paint() {
  if (!IsTransparent()) {
    TCustomPanel::Paint();
    return;
  }
  TCanvas* C = Canvas();
  RECT Rect = ClientRect();
  auto Bevel = [&](TBevelCut Cut) {
    if (Cut == bvNone) return;
    const TColor Light = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor Dark = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
    Frame3D(C, Rect, Light, Dark, FBevelWidth);
  };
  Bevel(FBevelOuter);
  Frame3D(C, Rect, FColor, FColor, FBorderWidth);
  Bevel(FBevelInner);
  Update();
}
