#include "platform/forms/panel.h"

#include <algorithm>

#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomPanel)
KORCAM_REGISTER_CLASS(TCustomGroupBox)
KORCAM_REGISTER_CLASS(TGroupBox)

void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width) {
  TBrush* Brush = Canvas->Brush();
  const TColor SavedColor = Brush->Color();
  const TBrushStyle SavedStyle = Brush->Style();
  Brush->SetStyle(bsSolid);
  for (int Ring = 0; Ring < Width && Rect.right > Rect.left && Rect.bottom > Rect.top; ++Ring) {
    const LONG L = Rect.left, T = Rect.top, R = Rect.right, B = Rect.bottom;
    Brush->SetColor(TopColor);
    Canvas->FillRect(RECT{L, T, std::max(L, R - 1), T + 1});
    Canvas->FillRect(RECT{L, T, L + 1, std::max(T, B - 1)});
    Brush->SetColor(BottomColor);
    Canvas->FillRect(RECT{R - 1, T, R, B});
    Canvas->FillRect(RECT{L, B - 1, R, B});
    Rect = RECT{L + 1, T + 1, R - 1, B - 1};
  }
  if (Width > 0 && (Rect.right <= Rect.left || Rect.bottom <= Rect.top)) {
    // Rings that no longer fit still take their room: the caller's inner rectangle is empty.
    Rect.right = std::max(Rect.left, Rect.right);
    Rect.bottom = std::max(Rect.top, Rect.bottom);
  }
  Brush->SetColor(SavedColor);
  Brush->SetStyle(SavedStyle);
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csOpaque,          csDoubleClicks, csReplicatable};
  FWidth = 185;
  FHeight = 41;
  SetParentColor(false);
  SetColor(clBtnFace);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::BevelsChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  BevelsChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  BevelsChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  Value = std::max<TBevelWidth>(Value, 1);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  BevelsChanged();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value) {
  Value = std::max<TBorderWidth>(Value, 0);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BORDERCHANGED:
      BevelsChanged();
      return;
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      TCustomControl::Dispatch(Message);
  }
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  // Bevels are drawn from the window's edges: a resize repaints what it needs (FullRepaint).
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
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

namespace {

void BevelColors(TBevelCut Cut, TColor& Top, TColor& Bottom) {
  Top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
  Bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas* C = Canvas();
  RECT Rect = ClientRect();
  TColor Top = clNone, Bottom = clNone;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, Top, Bottom);
    if (FBevelOuter == bvSpace) Top = Bottom = FColor;
    Frame3D(C, Rect, Top, Bottom, FBevelWidth);
  }
  Frame3D(C, Rect, FColor, FColor, FBorderWidth);
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, Top, Bottom);
    if (FBevelInner == bvSpace) Top = Bottom = FColor;
    Frame3D(C, Rect, Top, Bottom, FBevelWidth);
  }
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(FColor);
  C->FillRect(Rect);
  const std::string Text = Caption();
  if (Text.empty()) return;
  C->Brush()->SetStyle(bsClear);
  C->Font()->Assign(Font());
  UINT Format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (FAlignment == taCenter) Format |= DT_CENTER;
  if (FAlignment == taRightJustify) Format |= DT_RIGHT;
  DrawTextA(C->Handle(), Text.c_str(), -1, &Rect, Format);
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
