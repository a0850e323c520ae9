// The combo's painting: its own text painting while it has no focus (or paints a copy for a
// grid), the frame, the background, the button face and the host behind the button.

#include "platform/forms/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/user/paint.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccombo.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcpaint.h"

using namespace vccombo;

namespace {

// A rectangle of Control's client area in the client coordinates of Other.
RECT MapRect(TControl* Control, TControl* Other, RECT Rect) {
  const POINT TopLeft = Other->ScreenToClient(Control->ClientToScreen(POINT{Rect.left, Rect.top}));
  OffsetRect(&Rect, TopLeft.x - Rect.left, TopLeft.y - Rect.top);
  return Rect;
}

bool ParentIsDataGrid(const TControl* Control) {
  return Control->Parent() && IsClassNamed(&Control->Parent()->ClassType(), "TkvDBGrid");
}

}  // namespace

// ---- the combo's painting --------------------------------------------------------------------

void TvcCustomCombo::DrawFrame(TCanvas* ACanvas) {
  DrawEditFrame(this, FFrame.get(), ACanvas, FHasFocus);
}

void TvcCustomCombo::WMPaint(TMessage& Message) {
  const bool Own = ((FFrame->Enabled() || PaintsUnfocusedText()) && !FHasFocus) || FControlState.Contains(csPaintCopy);
  if (!Own) {
    TCustomEdit::Dispatch(Message);
  } else {
    PAINTSTRUCT Paint{};
    HDC DC = Message.DC();
    const bool OwnDC = DC == nullptr;
    if (OwnDC) DC = BeginPaint(Handle(), &Paint);
    if (DC) {
      if (!FPaintCanvas) {
        FPaintCanvas = std::make_unique<TControlCanvas>();
        FPaintCanvas->SetControl(this);
      }
      struct TUnbind {
        TvcCustomCombo* Combo;
        HDC DC;
        bool OwnDC;
        PAINTSTRUCT* Paint;
        ~TUnbind() {
          Combo->FPaintCanvas->SetHandle(nullptr);
          if (OwnDC) EndPaint(Combo->HandleIfAllocated(), Paint);
        }
      } Unbind{this, DC, OwnDC, &Paint};
      FPaintCanvas->SetHandle(DC);
      PaintText(FPaintCanvas.get(), GetTextRect(), true, false, PaintedText());
      if (FFrame->IsFrameEffective()) DrawFrame(FPaintCanvas.get());
    }
  }
  // The button paints again over whatever the text left.
  if (FButtonHost && FButtonHost->HandleAllocated()) InvalidateRect(FButtonHost->HandleIfAllocated(), nullptr, FALSE);
}

void TvcCustomCombo::PaintEdit(HDC DC, const RECT& Update) {
  const int Saved = SaveDC(DC);
  TCustomEdit::PaintEdit(DC, Update);
  RestoreDC(DC, Saved);
  FPaintDC = DC;
  struct TForget {
    HDC& DC;
    ~TForget() { DC = nullptr; }
  } Forget{FPaintDC};
  AfterPaint();
  if (FFrame->IsFrameEffective()) {
    FFrameCanvas->SetHandle(DC);
    DrawFrame(FFrameCanvas.get());
    FFrameCanvas->SetHandle(nullptr);
  }
}

void TvcCustomCombo::WMEraseBkgnd(TMessage& Message) {
  const bool Copy = FControlState.Contains(csPaintCopy);
  if ((Copy && ParentIsInspector(this)) || (IsTransparentEffective() && !FHasFocus)) {
    Message.Result = 1;
    return;
  }
  if ((Copy && ParentIsGridClass(this)) || FHasFocus || FFrame->NonFocusColor() == clNone) {
    TCustomEdit::Dispatch(Message);
    return;
  }
  RECT Client = ClientRect();
  HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(FFrame->NonFocusColor())));
  FillRect(Message.DC(), &Client, Brush);
  DeleteObject(Brush);
  Message.Result = 1;
}

// ---- the button --------------------------------------------------------------------------------

void TvcCustomCombo::DrawButton(TCanvas* ACanvas, RECT Rect, TButtonState State, TControlState ComboState,
                                bool& DefaultDraw) {
  if (FButtonStyle == cbsCustom) return;
  DefaultDraw = false;
  const bool Copy = ComboState.Contains(csPaintCopy);
  if (FButtonStyle == cbsDownArrow) {
    DrawComboArrowGlyph(ACanvas, Rect, State != bsUp && !Copy, Enabled(), 0);
  } else {
    const bool FlatNow = FButtonEffects->Flat() && !FMouseInButton && !FHasFocus;
    DrawEllipsisGlyph(ACanvas, Rect, Copy ? bsUp : State, FlatNow, FButtonEffects->Transparent(), 0);
  }
}

void TvcCustomCombo::UpdateButtonGlyph() {
  if (FButtonStyle == cbsCustom || !FButton) return;
  if ((FButton->Flat() || FButton->Transparent()) && FButtonStyle == cbsDownArrow) {
    TBitmap Glyph;
    Glyph.LoadFromResourceName(nullptr, "VCDROPDOWN");
    FButton->SetGlyph(&Glyph);
  }
}

void TvcCustomCombo::RepaintBehindButton() {
  if (!(FButton->Flat() || FButton->Transparent())) return;
  TWinControl* Outer = Parent();
  if (Outer && Outer->HandleAllocated() && FButtonHost->HandleAllocated()) {
    const RECT Host = MapRect(FButtonHost, Outer, FButtonHost->ClientRect());
    InvalidateRect(Outer->HandleIfAllocated(), &Host, FALSE);
    Outer->Update();
  }
  FButton->Invalidate();
}

void TvcDropDownButton::Paint() {
  TvcCustomCombo* Owner = Combo();
  if (!Owner) {
    TSpeedButton::Paint();
    return;
  }
  if (Owner->FEraseGuard) return;
  if (IsGridPaintCopy(Owner) && !IsDesigning(Owner)) return;
  Owner->FMouseInButton = MouseInControl();
  const bool DataGrid = ParentIsDataGrid(Owner);
  bool DefaultDraw = true;
  const bool Drawn = Glyph()->Empty() || MouseInControl() || Owner->FHasFocus || DataGrid;
  if (Drawn && !(Owner->ButtonEffects()->Transparent() && Owner->ButtonStyle() == cbsDownArrow)) {
    Owner->DrawButton(Canvas(), ClientRect(), FState, Owner->ControlState(), DefaultDraw);
  }
  if (DefaultDraw) TSpeedButton::Paint();
  if (MouseInControl() || !Flat() || Owner->FHasFocus || DataGrid) {
    RECT Edge = ClientRect();
    DrawEdge(Canvas()->Handle(), &Edge, FState == bsDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
}

void TvcDropDownButton::MouseMove(TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseMove(Shift, X, Y);
  const RECT Client = ClientRect();
  if (FDragging && !PtInRect(&Client, POINT{X, Y})) {
    // Let go here: the press goes on into the drop-down it opened.
    Perform(WM_LBUTTONUP, 0, MAKELPARAM(WORD(int16_t(X)), WORD(int16_t(Y))));
    SetMouseCapture(false);
  }
}

void TvcDropDownButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseUp(Button, Shift, X, Y);
  if (TvcCustomCombo* Owner = Combo()) Owner->RepaintBehindButton();
}

// ---- the host ------------------------------------------------------------------------------------

void TBtnWinControl::Dispatch(TMessage& Message) {
  TvcCustomCombo* Owner = Combo();
  if (!Owner) {
    TWinControl::Dispatch(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      Message.Result = 1;
      if (Owner->FEraseGuard) return;
      const bool GridCopy = IsGridPaintCopy(Owner);
      if (!GridCopy && !Owner->ButtonEffects()->Transparent()) {
        TWinControl::Dispatch(Message);
        return;
      }
      TvcDropDownButton* Button = Owner->Button();
      if (!GridCopy && (Button->Flat() || Button->Transparent()) && Button->State() == bsDown) {
        TWinControl* Outer = Owner->Parent();
        if (Outer && Outer->HandleAllocated()) {
          const RECT Host = MapRect(this, Outer, ClientRect());
          InvalidateRect(Outer->HandleIfAllocated(), &Host, FALSE);
          Owner->FEraseGuard = true;
          struct TGuard {
            bool& Flag;
            ~TGuard() { Flag = false; }
          } Guard{Owner->FEraseGuard};
          Outer->Update();
        }
      }
      Message.Result = 1;
      return;
    }
    case CM_MOUSELEAVE:
      TWinControl::Dispatch(Message);
      if (Owner->ButtonEffects()->Flat() && !Owner->HasFocus()) {
        if (Owner->IsTransparentEffective() && Owner->Parent() && Owner->Parent()->HandleAllocated()) {
          if (IsParentTransparent(this)) {
            InvalidateTransparentParents(this);
          } else {
            RECT Host = MapRect(this, Owner->Parent(), ClientRect());
            if (Owner->BorderStyle() == bsSingle) OffsetRect(&Host, 2, 2);
            InvalidateRect(Owner->Parent()->HandleIfAllocated(), &Host, FALSE);
          }
        }
        Invalidate();
      }
      return;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}
