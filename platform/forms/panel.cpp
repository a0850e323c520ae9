#include "platform/forms/panel.h"

#include <algorithm>

#include "platform/forms/canvas.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"

KORCAM_REGISTER_CLASS(TCustomPanel)
KORCAM_REGISTER_CLASS(TPanel)
KORCAM_REGISTER_CLASS(TCustomGroupBox)
KORCAM_REGISTER_CLASS(TGroupBox)

void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  --Rect.bottom;
  --Rect.right;
  for (int Step = 0; Step < Width; ++Step) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({POINT{Rect.left, Rect.bottom}, POINT{Rect.left, Rect.top}, POINT{Rect.right, Rect.top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline({POINT{Rect.right, Rect.top}, POINT{Rect.right, Rect.bottom}, POINT{Rect.left - 1, Rect.bottom}});
    ++Rect.left;
    ++Rect.top;
    --Rect.right;
    --Rect.bottom;
  }
  ++Rect.bottom;
  ++Rect.right;
}

UINT DrawTextBiDiModeFlags(const TControl* Control, UINT Flags) {
  if (!Control || !Control->UseRightToLeftAlignment()) return Flags;
  // Left and right trade places; centred text stays centred.
  if ((Flags & DT_RIGHT) == DT_RIGHT)
    Flags &= ~DT_RIGHT;
  else if ((Flags & DT_CENTER) == 0)
    Flags |= DT_RIGHT;
  return Flags | DT_RTLREADING;
}

// ---- the panel -------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable};
  FColor = clBtnFace;
  FParentColor = false;
  SetBounds(0, 0, 185, 41);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  if (Value < 1 || FBevelWidth == Value) return;
  FBevelWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value) {
  if (Value < 0 || FBorderWidth == Value) return;
  FBorderWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomPanel::AdjustClientRect(RECT& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  int Inset = FBorderWidth;
  if (FBevelOuter != bvNone) Inset += FBevelWidth;
  if (FBevelInner != bvNone) Inset += FBevelWidth;
  Rect.left += Inset;
  Rect.top += Inset;
  Rect.right = std::max(Rect.left, Rect.right - Inset);
  Rect.bottom = std::max(Rect.top, Rect.bottom - Inset);
}

void TCustomPanel::Paint() {
  TCanvas* C = Canvas();
  RECT R = ClientRect();
  auto Bevel = [&](TPanelBevel Kind) {
    if (Kind == bvNone) return;
    const TColor Top = Kind == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor Bottom = Kind == bvLowered ? clBtnHighlight : clBtnShadow;
    Frame3D(C, R, Top, Bottom, FBevelWidth);
  };
  Bevel(FBevelOuter);
  Frame3D(C, R, FColor, FColor, FBorderWidth);
  Bevel(FBevelInner);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(FColor);
  C->FillRect(R);
  DrawPanelCaption(R);
}

void TCustomPanel::DrawPanelCaption(RECT Rect) {
  TCanvas* C = Canvas();
  C->Brush()->SetStyle(bsClear);
  C->SetFont(Font());
  const int TextHeight = C->TextHeight("W");
  // The caption's line, centred in the area (integer division toward zero, as the layout of
  // every panel of the program has it).
  Rect.top = (Rect.top + Rect.bottom - TextHeight) / 2;
  Rect.bottom = Rect.top + TextHeight;
  const UINT Align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  const UINT Flags = DrawTextBiDiModeFlags(this, DT_EXPANDTABS | DT_VCENTER | Align);
  const std::string Text = Caption();
  DrawTextA(C->Handle(), Text.c_str(), -1, &Rect, Flags);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_BORDERCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_ERASEBKGND:
      // Paint covers the whole client area.
      Message.Result = 1;
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

// ---- the group box ---------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                csReplicatable};
  SetBounds(0, 0, 185, 105);
}

TCustomGroupBox::~TCustomGroupBox() = default;

void TCustomGroupBox::AdjustClientRect(RECT& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const int Top = C->TextHeight("0");
  Rect.left += 2;
  Rect.top += Top;
  Rect.right = std::max(Rect.left, Rect.right - 2);
  Rect.bottom = std::max(Rect.top, Rect.bottom - 2);
}

void TCustomGroupBox::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const int TextHeight = C->TextHeight("0");
  RECT Frame{0, TextHeight / 2 - 1, Width(), Height()};
  const std::string Text = Caption();
  DrawEdge(C->Handle(), &Frame, EDGE_ETCHED, BF_RECT);
  if (Text.empty()) return;
  const int TextWidth = C->TextWidth(Text);
  RECT Label{8, 0, 8 + TextWidth, TextHeight};
  if (UseRightToLeftAlignment()) OffsetRect(&Label, Width() - 16 - TextWidth, 0);
  // The caption sits on the control's own colour, breaking the frame's top edge.
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  RECT Gap = Label;
  InflateRect(&Gap, 2, 0);
  C->FillRect(Gap);
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
  DrawTextA(C->Handle(), Text.c_str(), -1, &Label, DrawTextBiDiModeFlags(this, DT_SINGLELINE | DT_LEFT));
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Realign();
      Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}
