#include "kvcontrols/editors/kvspin.h"

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvframe.h"
#include "kvcontrols/editors/kvspinedit.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvTimerSpeedButton)
KORCAM_REGISTER_CLASS(TkvSpinButton)

void kvDrawSpinArrow(TCanvas* Canvas, const RECT& Rect, bool Up, bool Enabled, bool Pressed) {
  const int Shift = Pressed ? 1 : 0;
  const int Left = Rect.left + (Rect.right - Rect.left - 7) / 2 + Shift;
  const int Top = Rect.top + (Rect.bottom - Rect.top - 4) / 2 + Shift;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Enabled ? clBtnText : clGrayText);
  for (int Row = 0; Row < 4; ++Row) {
    const int Half = Up ? Row : 3 - Row;  // how far the row reaches beyond the middle column
    Canvas->FillRect(RECT{Left + 3 - Half, Top + Row, Left + 4 + Half, Top + Row + 1});
  }
}

// ---- TkvTimerSpeedButton -------------------------------------------------------------------

TkvTimerSpeedButton::TkvTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TkvTimerSpeedButton::~TkvTimerSpeedButton() = default;

TkvDBSpinEdit* TkvTimerSpeedButton::SpinEdit() const {
  return Parent() ? dynamic_cast<TkvDBSpinEdit*>(Parent()->Parent()) : nullptr;
}

void TkvTimerSpeedButton::RefreshParentBehind() {
  TkvDBSpinEdit* Edit = SpinEdit();
  if (!Edit || !Edit->Parent() || !Edit->Parent()->HandleAllocated()) return;
  TkvButtonEffects* Effects = Edit->ButtonEffects();
  if (!Effects->Flat() && !Effects->Transparent()) return;
  const RECT Behind = Edit->BoundsRect();
  InvalidateRect(Edit->Parent()->HandleIfAllocated(), &Behind, TRUE);
}

void TkvTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (FAutoRepeat) {
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(this);
      FRepeatTimer->OnTimer = TNotifyEvent(this, &TkvTimerSpeedButton::TimerExpired);
    }
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->SetEnabled(true);
  }
  RefreshParentBehind();
}

void TkvTimerSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseMove(Shift, X, Y);
  const bool Inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
  if (Inside != FMouseInside) {
    FMouseInside = Inside;
    Invalidate();
  }
}

void TkvTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  // The speed button clicks once more when released over it.
  TSpeedButton::MouseUp(Button, Shift, X, Y);
  RefreshParentBehind();
}

void TkvTimerSpeedButton::TimerExpired(TObject*) {
  FRepeatTimer->SetInterval(100);
  if (FState != bsDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    // A failing step ends the repeat; the press itself goes on.
    FRepeatTimer->SetEnabled(false);
  }
}

void TkvTimerSpeedButton::Paint() {
  TkvDBSpinEdit* Edit = SpinEdit();
  if (Edit && Edit->EraseGuard()) return;
  if (Edit && kvIsPaintCopyInGrid(Edit) && !kvIsDesigning(Edit)) return;
  TSpeedButton::Paint();
  if (Glyph()->Empty()) kvDrawSpinArrow(Canvas(), ClientRect(), FUpArrow, Enabled(), FState == bsDown);
  if (!Edit || !FMouseInside) return;
  TkvButtonEffects* Effects = Edit->ButtonEffects();
  if (Effects->Flat() || !(Edit->Focused() || kvParentIsDBGrid(Edit))) return;
  RECT Client = ClientRect();
  DrawEdge(Canvas()->Handle(), &Client, FState == bsDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

void TkvTimerSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      FMouseInside = true;
      break;
    case CM_MOUSELEAVE:
      FMouseInside = false;
      if (TkvDBSpinEdit* Edit = SpinEdit(); Edit && Edit->ButtonEffects()->Flat() && !Edit->Focused())
        Edit->Invalidate();
      break;
    default:
      break;
  }
  TSpeedButton::Dispatch(Message);
}

// ---- TkvSpinButton -------------------------------------------------------------------------

TkvSpinButton::TkvSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Exclude(csAcceptsControls);
  FControlStyle.Exclude(csSetCaption);
  FControlStyle.Include(csFramed);
  FControlStyle.Include(csOpaque);
  FUpButton = new TkvTimerSpeedButton(this);
  FDownButton = new TkvTimerSpeedButton(this);
  for (TkvTimerSpeedButton* Button : {FUpButton, FDownButton}) {
    Button->SetVisible(true);
    Button->SetEnabled(true);
    Button->SetAutoRepeat(true);
    Button->SetNumGlyphs(1);
    Button->OnClick = TNotifyEvent(this, &TkvSpinButton::ButtonClick);
    Button->SetParent(this);
  }
  // No glyph bitmaps ship with the program: the buttons draw their arrows themselves.
  FDownButton->SetUpArrow(false);
  SetBounds(0, 0, 20, 25);
}

bool TkvSpinButton::Flat() const {
  return FUpButton->Flat();
}

void TkvSpinButton::SetFlat(bool Value) {
  FUpButton->SetFlat(Value);
  FDownButton->SetFlat(Value);
}

void TkvSpinButton::ButtonClick(TObject* Sender) {
  if (Sender == FUpButton) {
    if (OnUpClick) OnUpClick(this);
  } else if (Sender == FDownButton) {
    if (OnDownClick) OnDownClick(this);
  }
}

void TkvSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, std::max(AWidth, 15), AHeight);
  if (!ComponentState().Contains(csLoading)) LayoutButtons();
}

void TkvSpinButton::LayoutButtons() {
  if (!FUpButton || !FDownButton) return;
  const int Half = Height() / 2;
  FUpButton->SetBounds(0, 0, Width(), Half);
  FDownButton->SetBounds(0, Half - 1, Width(), Height() - Half + 1);
}

void TkvSpinButton::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TWinControl::Dispatch(Message);
}
