// Painting, the drop-down button and the layout of the date/time picker. While it is not being
// edited the picker paints its own text, so the value shows in its display format and aligned
// like its field; a focused picker lets the edit paint itself (caret and selected field). Hosts
// (the inspector, the grid) paint a copy of the picker into their cells the same way.

#include <algorithm>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/db/field.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

using namespace kvdbdatetimepicker;

namespace kvdatetimepicker {

// The small window at the picker's right edge that holds the button. Its owner must be a picker.
class TBtnWinControl : public TWinControl {
  KORCAM_CLASS(TBtnWinControl, TWinControl)

 public:
  explicit TBtnWinControl(TComponent* AOwner) : TWinControl(AOwner) {
    if (AOwner && !dynamic_cast<TkvDBCustomDateTimePicker*>(AOwner)) throw EInvalidCast("Invalid class typecast");
    FControlStyle.Include(csReplicatable);
  }
};
KORCAM_REGISTER_CLASS(TBtnWinControl)

}  // namespace kvdatetimepicker

namespace {

int DefaultButtonWidth() {
  return std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
}

}  // namespace

TWinControl* TkvDBCustomDateTimePicker::ButtonHost() const {
  return FButtonHost;
}

void TkvDBCustomDateTimePicker::CreateButton() {
  FButtonHost = new kvdatetimepicker::TBtnWinControl(this);
  FButtonHost->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
  FButtonHost->SetParent(this);
  FButton = new TkvDateComboButton(this);
  FButton->SetBounds(0, 0, DefaultButtonWidth(), 17);
  FButton->SetControlStyle(FButton->ControlStyle().Include(csReplicatable));
  FButton->SetParent(FButtonHost);
  FButton->OnClick = TNotifyEvent(this, &TkvDBCustomDateTimePicker::ButtonClick);
  LayoutButton();
}

int TkvDBCustomDateTimePicker::GetButtonAreaWidth() const {
  return FButtonHost ? FButtonHost->Width() : 0;
}

int TkvDBCustomDateTimePicker::GetButtonAreaLeft() const {
  return FButtonHost ? FButtonHost->Left() - 1 : ClientWidth();
}

void TkvDBCustomDateTimePicker::LayoutButton() {
  if (!FButtonHost || !FButton) return;
  const int ButtonWidth = FButtonWidth > 0 ? FButtonWidth : DefaultButtonWidth();
  const int K = 0;  // the edit frame's inset, while no frame is in effect
  const bool Bordered = FBorderStyle == bsSingle;
  if (Bordered && FCtl3D)
    FButtonHost->SetBounds(Width() - ButtonWidth - 4, K, ButtonWidth, ClientHeight() - K);
  else
    FButtonHost->SetBounds(Width() - ButtonWidth - K, K, ButtonWidth, ClientHeight() - 2 * K);
  if (Bordered)
    FButton->SetBounds(0, 0, ButtonWidth, FButtonHost->Height());
  else
    FButton->SetBounds(0, -1, ButtonWidth, FButtonHost->Height() + 1);
  FButtonHost->SetVisible(FShowButton && !IsTimeOnly());
  SetEditRect();
}

void TkvDBCustomDateTimePicker::ButtonStyleChanged() {
  if (FButton) FButton->Invalidate();
}

void TkvDBCustomDateTimePicker::ButtonFocusChanged() {
  if (FButton) FButton->Invalidate();
}

void TkvDBCustomDateTimePicker::ButtonClick(TObject*) {
  if (GetDroppedDown()) {
    CloseUp(true);
    return;
  }
  FFocusFromButton = true;
  try {
    if (!Focused() && CanFocus()) SetFocus();
    if (Focused()) DropDown();
  } catch (...) {
    FFocusFromButton = false;
    throw;
  }
  FFocusFromButton = false;
}

void TkvDBCustomDateTimePicker::SetButtonWidth(int32_t Value) {
  if (FButtonWidth == Value) return;
  FButtonWidth = Value;
  LayoutButton();
}

void TkvDBCustomDateTimePicker::SetShowButton(bool Value) {
  if (FShowButton == Value) return;
  FShowButton = Value;
  if (FButtonHost) FButtonHost->SetVisible(Value && !IsTimeOnly());
  if (HandleAllocated()) {
    SetEditRect();
    Invalidate();
  }
}

void TkvDBCustomDateTimePicker::GetTextRect(RECT& Rect) const {
  Rect = ClientRect();
}

void TkvDBCustomDateTimePicker::SetEditRect() {
  RECT Rect{};
  const bool ButtonShown = FShowButton && FButtonHost && FButtonHost->Visible();
  Rect.right = ButtonShown ? FButtonHost->Left() - 1 : ClientWidth() - 2;
  Rect.bottom = ClientHeight() + 1;
  if (kvParentIsInspector(this)) {
    Rect.left = Rect.top = 1;
  } else if (FBorderStyle == bsNone && kvParentIsGrid(this)) {
    Rect.left = Rect.top = 2;
  } else if (FBorderStyle == bsSingle) {
    Rect.left = Rect.top = 0;
  } else {
    Rect.left = Rect.top = 1;
  }
  Perform(EM_SETRECTNP, 0, LPARAM(&Rect));
}

void TkvDBCustomDateTimePicker::Invalidate() {
  TCustomEdit::Invalidate();
  if (FButton) FButton->Invalidate();
}

void TkvDBCustomDateTimePicker::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~(ES_WANTRETURN | ES_AUTOVSCROLL);
  Params.Style |= WS_CLIPCHILDREN;
  if (FBorderStyle == bsNone) Params.Style |= ES_MULTILINE;
}

void TkvDBCustomDateTimePicker::DrawButtonFace(TCanvas* Canvas, const RECT& Rect, bool& DoDefault,
                                               TControlState ControlState, TButtonState ButtonState) {
  if (FButtonStyle == cbsCustom) return;
  DoDefault = false;
  if (FButtonStyle == cbsDownArrow)
    kvDrawDropDownButton(Canvas, Rect, TkvButtonFaceState(int(ButtonState)), FEnabled, ControlState);
  else
    kvDrawEllipsisButton(Canvas, Rect, TkvButtonFaceState(int(ButtonState)), FEnabled, false, false, ControlState);
}

// ---- painting ----------------------------------------------------------------------------------

bool TkvDBCustomDateTimePicker::DispatchPaint(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return true;
  }
  if (Message.Msg != WM_PAINT) return false;
  if (FButtonHost) {
    // A time picker has nothing to drop down: no button, whatever ShowButton says.
    const bool Wanted = FShowButton && !IsTimeOnly();
    if (FButtonHost->Visible() != Wanted) {
      FButtonHost->SetVisible(Wanted);
      SetEditRect();
    }
  }
  const bool PaintCopy = FControlState.Contains(csPaintCopy);
  const bool CurrentGridCell = IsBound() && kvParentIsDBGrid(this) && Parent()->Focused();
  if (FFocusFlag && UsesEditPaintWhenFocused() && !CurrentGridCell && !PaintCopy) return false;
  PAINTSTRUCT Paint{};
  HDC DC = Message.DC();
  if (!DC) DC = BeginPaint(HandleIfAllocated(), &Paint);
  if (!DC) return true;
  try {
    PaintPicker(DC);
  } catch (...) {
    if (!Message.DC()) EndPaint(HandleIfAllocated(), &Paint);
    throw;
  }
  if (!Message.DC()) EndPaint(HandleIfAllocated(), &Paint);
  return true;
}

void TkvDBCustomDateTimePicker::PaintPicker(HDC DC) {
  TCanvas* C = Canvas();
  auto* ControlCanvas = static_cast<TControlCanvas*>(C);
  ControlCanvas->Lock();
  ControlCanvas->SetHandle(DC);
  try {
    const bool PaintCopy = FControlState.Contains(csPaintCopy);
    const bool CopyInGrid = PaintCopy && kvParentIsGrid(this);
    C->SetFont(Font());
    const RECT Client = ClientRect();
    // Text colour: grey while disabled, the cell's colour when painted into a grid.
    if (!FEnabled && FColor != clGrayText)
      C->Font()->SetColor(clGrayText);
    else if (CopyInGrid)
      C->Font()->SetColor(TColor(GetTextColor(DC)));
    else if (kvParentIsGrid(this))
      C->Font()->SetColor(Parent()->Font()->Color());
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    if (!CopyInGrid) C->FillRect(Client);

    RECT TextRect = Client;
    if (FShowButton && !CopyInGrid) GetTextRect(TextRect);
    InflateRect(&TextRect, -1, -1);

    std::string Shown;
    TField* Field = BoundField();
    if (PaintCopy && Field)
      Shown = GetDisplayText(Field->AsDateTime());
    else if (!Field || Modified())
      Shown = GetDisplayText(FValue);
    else
      Shown = (Field->IsNull() || FValue != 0) ? GetDisplayText(Field->AsDateTime()) : ValueToText(0);

    const bool Highlight = ((!UsesEditPaintWhenFocused() && Focused()) ||
                            (IsBound() && kvParentIsDBGrid(this) && Parent()->Focused())) &&
                           !PaintCopy;
    if (Highlight) {
      C->Brush()->SetColor(clHighlight);
      C->Font()->SetColor(clHighlightText);
    }
    const int TopMargin = 1;
    int LeftMargin = kvParentIsGrid(this) ? 2 : TopMargin;
    const int Width = C->TextWidth(Shown);
    if (FFieldAlignment == taRightJustify) {
      const int Right = (FShowButton && FButtonHost && FButtonHost->Visible()) ? GetButtonAreaLeft() : Client.right;
      LeftMargin = Right - Width - TopMargin - TextRect.left;
    } else if (FFieldAlignment == taCenter) {
      const int ButtonArea = (FShowButton && FButtonHost && FButtonHost->Visible()) ? GetButtonAreaWidth() : 0;
      LeftMargin = (Client.left + Client.right - Width - ButtonArea) / 2 - TextRect.left;
    } else if (PaintCopy && (kvParentIsInspector(this) || !kvParentIsGrid(this))) {
      --LeftMargin;
    }
    const uint32_t Options = CopyInGrid ? kvdtNoFill : 0;
    if (!CopyInGrid) C->Brush()->SetStyle(bsClear);
    kvDrawAlignedText(C, TextRect, LeftMargin - 1, TopMargin - 1, Shown, taLeftJustify, Options);
    if (Highlight) {
      RECT Focus{};
      GetTextRect(Focus);
      C->DrawFocusRect(Focus);
    }
  } catch (...) {
    ControlCanvas->SetHandle(nullptr);
    ControlCanvas->Unlock();
    throw;
  }
  ControlCanvas->SetHandle(nullptr);
  ControlCanvas->Unlock();
}

// ---- the button --------------------------------------------------------------------------------

TkvDBCustomDateTimePicker* TkvDateComboButton::Picker() const {
  return dynamic_cast<TkvDBCustomDateTimePicker*>(Owner());
}

void TkvDateComboButton::Paint() {
  TkvDBCustomDateTimePicker* Owner = Picker();
  if (!Owner) {
    TSpeedButton::Paint();
    return;
  }
  if (FControlState.Contains(csPaintCopy) && kvParentIsGrid(Owner)) return;
  Owner->FButtonHot = MouseInControl();
  const bool Focused = Owner->Focused();
  const bool InDBGrid = kvParentIsDBGrid(Owner);
  if (!FEnabled) FState = bsDisabled;
  else if (FState == bsDisabled) FState = bsUp;
  RECT Client = ClientRect();
  bool DoDefault = true;
  if (Glyph()->Empty() || MouseInControl() || Focused || InDBGrid)
    Owner->DrawButtonFace(Canvas(), Client, DoDefault, FControlState, FState);
  if (DoDefault) TSpeedButton::Paint();
  if (MouseInControl() || !Flat() || Focused || InDBGrid) {
    HDC DC = Canvas()->Handle();
    DrawEdge(DC, &Client, FState == bsDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
}
