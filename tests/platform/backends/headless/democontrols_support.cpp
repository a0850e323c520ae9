#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "tests/platform/backends/headless/democontrols.h"

KORCAM_REGISTER_CLASS(TDemoForm)
KORCAM_REGISTER_CLASS(TDemoPanel)
KORCAM_REGISTER_CLASS(TDemoShape)
KORCAM_REGISTER_CLASS(TDemoLabel)

TDemoPanel::TDemoPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csOpaque,          csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 100, 40);
}

void TDemoPanel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  RecreateWnd();
}

void TDemoPanel::SetBevel(int32_t Value) {
  if (FBevel == Value) return;
  FBevel = Value;
  Invalidate();
}

void TDemoPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FTransparent) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TDemoPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    // Paint fills the background (or leaves it, when transparent).
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TDemoPanel::Paint() {
  RECT R = ClientRect();
  if (!FTransparent) {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
  }
  if (FBevel) DrawEdge(Canvas()->Handle(), &R, FBevel == 1 ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (!Caption().empty()) {
    Canvas()->SetFont(Font());
    Canvas()->Brush()->SetStyle(bsClear);
    const std::string Text = Caption();
    DrawTextA(Canvas()->Handle(), Text.c_str(), -1, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

TDemoShape::TDemoShape(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 40, 40);
}

void TDemoShape::SetKind(int32_t Value) {
  FKind = Value;
  Invalidate();
}

void TDemoShape::SetBrushColor(TColor Value) {
  FBrushColor = Value;
  Invalidate();
}

void TDemoShape::SetPenColor(TColor Value) {
  FPenColor = Value;
  Invalidate();
}

void TDemoShape::Paint() {
  Canvas()->Pen()->SetColor(FPenColor);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(FBrushColor);
  if (FKind == 1)
    Canvas()->Ellipse(0, 0, Width(), Height());
  else
    Canvas()->Rectangle(0, 0, Width(), Height());
}

TDemoLabel::TDemoLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 80, 16);
}

void TDemoLabel::Paint() {
  Canvas()->SetFont(Font());
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextOut(0, 0, Caption());
}
