#include "kvcontrols/editors/kvcombo.h"

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/forms/form.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvComboButtonEffects)
namespace kvdotdot {
KORCAM_REGISTER_CLASS(TBtnWinControl)
}  // namespace kvdotdot
KORCAM_REGISTER_CLASS(TkvComboDlgButton)
KORCAM_REGISTER_CLASS(TkvDBCustomCombo)
KORCAM_REGISTER_CLASS(TkvDBComboDlg)

namespace {

bool AltHeld(TShiftState Shift) {
  // The Alt key counts when it is down even if the shift state does not say so.
  return Shift.Contains(ssAlt) || (GetKeyState(VK_MENU) & 0x8000) != 0;
}

}  // namespace

// ---- button effects, host and button ------------------------------------------------------------

TkvComboButtonEffects::TkvComboButtonEffects(TkvDBCustomCombo* ACombo) : TkvButtonEffects(ACombo), FCombo(ACombo) {}

void TkvComboButtonEffects::RefreshButton() {
  if (!FCombo) return;
  FCombo->RefreshGlyph();
  if (FCombo->Button()) FCombo->Button()->Invalidate();
}

kvdotdot::TBtnWinControl::TBtnWinControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csReplicatable);
}

TkvComboDlgButton::TkvComboDlgButton(TComponent* AOwner) : TSpeedButton(AOwner) {
  FControlStyle.Include(csReplicatable);
}

TkvDBCustomCombo* TkvComboDlgButton::Combo() const {
  auto* Host = dynamic_cast<kvdotdot::TBtnWinControl*>(Parent());
  return Host ? Host->Combo() : nullptr;
}

void TkvComboDlgButton::Paint() {
  TkvDBCustomCombo* Owner = Combo();
  if (!Owner) return TSpeedButton::Paint();
  if (Owner->EraseGuard()) return;
  if (kvIsPaintCopyInGrid(Owner) && !kvIsDesigning(Owner)) return;
  Owner->FMouseInButton = MouseInControl();
  const bool InDBGrid = kvParentIsDBGrid(Owner);
  TkvComboButtonEffects* Effects = Owner->ButtonEffects();
  bool DefaultPaint = true;
  const bool Pressed = FState == bsDown;
  if ((Glyph()->Empty() || MouseInControl() || Owner->Focused() || InDBGrid) &&
      !(Effects->Transparent() && Owner->ButtonStyle() == cbsDownArrow)) {
    RECT R = ClientRect();
    Owner->DrawButton(Canvas(), R, DefaultPaint, Pressed, Owner->Enabled());
  }
  if (DefaultPaint) TSpeedButton::Paint();
  if (MouseInControl() || !Effects->Flat() || Owner->Focused() || InDBGrid) {
    RECT R = ClientRect();
    DrawEdge(Canvas()->Handle(), &R, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
}

// ---- the combo base ------------------------------------------------------------------------------

int TkvDBCustomCombo::DefaultButtonWidth() {
  return std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
}

TkvDBCustomCombo::TkvDBCustomCombo(TComponent* AOwner) : TkvDBCustomEdit(AOwner) {
  FButtonGlyph = std::make_unique<TBitmap>();
  FButtonEffects = std::make_unique<TkvComboButtonEffects>(this);
  FButtonHost = new kvdotdot::TBtnWinControl(this);
  FButtonHost->SetCombo(this);
  FButtonHost->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
  FButtonHost->SetParent(this);
  FButton = new TkvComboDlgButton(this);
  FButton->SetBounds(0, 0, FButtonHost->Width(), FButtonHost->Height());
  FButton->SetWidth(DefaultButtonWidth());
  FButton->SetParent(FButtonHost);
  FButton->OnClick = TNotifyEvent(this, &TkvDBCustomCombo::ButtonClick);
  FButton->OnMouseDown = TMouseEvent(this, &TkvDBCustomCombo::ButtonMouse);
  FButton->OnMouseUp = TMouseEvent(this, &TkvDBCustomCombo::ButtonMouse);
  FButtonEffects->SetButtonControl(FButton);
}

TkvDBCustomCombo::~TkvDBCustomCombo() = default;

void TkvDBCustomCombo::BeforeDestruction() {
  // The button goes before the edit base: nothing may call back into a half-destroyed combo.
  FButtonEffects->SetButtonControl(nullptr);
  FreeAndNil(FButton);
  FButtonHost->SetCombo(nullptr);
  TkvDBCustomEdit::BeforeDestruction();
}

void TkvDBCustomCombo::SetStyle(TkvDBLookupComboStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Invalidate();
}

void TkvDBCustomCombo::SetButtonStyle(TkvComboButtonStyle Value) {
  FButtonStyle = Value;
  RefreshGlyph();
  if (FButton) FButton->Invalidate();
}

void TkvDBCustomCombo::SetButtonGlyph(TBitmap* Value) {
  FButtonGlyph->Assign(Value);
  if (FButton) {
    FButton->SetGlyph(FButtonGlyph.get());
    FButton->Invalidate();
  }
}

void TkvDBCustomCombo::SetButtonWidth(int32_t Value) {
  FButtonWidth = Value;
  if (FButton) FButton->SetWidth(Value == 0 ? DefaultButtonWidth() : Value);
  PlaceButton();
}

void TkvDBCustomCombo::SetButtonEffects(TkvComboButtonEffects* Value) {
  FButtonEffects->Assign(Value);
}

void TkvDBCustomCombo::SetLimitEditRect(bool Value) {
  if (Value == FLimitEditRect) return;
  FLimitEditRect = Value;
  if (HandleAllocated()) RecreateWnd();
}

bool TkvDBCustomCombo::ShowButton() const {
  return GetShowButton();
}

bool TkvDBCustomCombo::GetShowButton() const {
  return FButtonHost && FButtonHost->Visible();
}

void TkvDBCustomCombo::SetShowButton(bool Value) {
  if (!FButtonHost || Value == FButtonHost->Visible()) return;
  FButtonHost->SetVisible(Value);
  if (!(Owner() && Owner()->ComponentState().Contains(csLoading))) SetEditRect();
  Invalidate();
}

int TkvDBCustomCombo::GetButtonWidth() const {
  return FButtonHost ? FButtonHost->Width() : 0;
}

int TkvDBCustomCombo::GetTextRight() const {
  return FButtonHost ? FButtonHost->Left() - 1 : ClientWidth();
}

bool TkvDBCustomCombo::HasEditableText() const {
  return !(FStyle == kvdotdot::csDropDownList && !FDroppedDown);
}

void TkvDBCustomCombo::RefreshGlyph() {
  if (FButtonStyle == cbsCustom || !FButton) return;
  if ((FButtonEffects->Flat() || FButtonEffects->Transparent()) && FButtonStyle == cbsDownArrow) {
    try {
      FButtonGlyph->LoadFromResourceName(nullptr, "KVDROPDOWN");
      FButton->SetGlyph(FButtonGlyph.get());
    } catch (const Exception&) {
      // Without the glyph resource the drawn arrow face stands in.
    }
  }
}

void TkvDBCustomCombo::PlaceButton() {
  if (!FButtonHost || !FButton) return;
  const bool FrameOn = Frame() && Frame()->Enabled();
  const int E = FrameOn ? 2 : 0;
  const int W = FButtonWidth == 0 ? DefaultButtonWidth() : FButtonWidth;
  const bool Bordered = BorderStyle() != bsNone;
  if (Bordered && Ctl3D())
    FButtonHost->SetBounds(Width() - W - 4, E, W, ClientHeight() - E);
  else
    FButtonHost->SetBounds(Width() - W - E, E, W, ClientHeight() - 2 * E);
  if (Bordered)
    FButton->SetBounds(0, 0, W, FButtonHost->Height());
  else
    FButton->SetBounds(0, -1, W, FButtonHost->Height() + 1);
  SetEditRect();
}

void TkvDBCustomCombo::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT R{0, 0, ClientWidth() - 2, ClientHeight() + 1};
  if (GetShowButton() && FButtonHost) R.right = FButtonHost->Left() - 2;
  if (BorderStyle() == bsNone) {
    const int Margin = kvParentIsInspector(this) ? 1 : 2;
    R.left = Margin;
    R.top = Margin;
  }
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
}

void TkvDBCustomCombo::CreateParams(TCreateParams& Params) {
  TkvDBCustomEdit::CreateParams(Params);
  Params.Style &= ~DWORD(ES_WANTRETURN | ES_AUTOVSCROLL);
  Params.Style |= WS_CLIPCHILDREN;
  if (FLimitEditRect || FEditAlignment == eaRightAlignEditing) Params.Style |= ES_MULTILINE;
}

void TkvDBCustomCombo::Loaded() {
  TkvDBCustomEdit::Loaded();
  if (FButtonWidth == 0 && FButton) FButton->SetWidth(DefaultButtonWidth());
  if (Parent() || Owner()) PlaceButton();
}

void TkvDBCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TkvDBCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlaceButton();
}

// ---- drop-down protocol -------------------------------------------------------------------------

void TkvDBCustomCombo::DropDown() {
  if (!OnCustomDlg) return;
  FDroppedDown = true;
  Invalidate();
  struct TAfterDialog {
    TkvDBCustomCombo* Combo;
    ~TAfterDialog() {
      // Also when the handler raised: the combo is closed and repainted, the error goes on.
      if (!Combo->HasEditableText() && Combo->HandleAllocated()) HideCaret(Combo->Handle());
      Combo->Invalidate();
      Combo->FDroppedDown = false;
    }
  } After{this};
  if (FAutoEnableEdit && DataSource() && DataSource()->DataSet()) StartEdit();
  OnCustomDlg(this);
}

void TkvDBCustomCombo::CloseUp(bool Accept) {
  if (Accept) SetModifiedFlag(true);
}

void TkvDBCustomCombo::ToggleDropDown() {
  if (IsDroppedDown())
    CloseUp(true);
  else
    DropDown();
}

void TkvDBCustomCombo::ButtonClick(TObject* Sender) {
  if (IsDroppedDown()) {
    CloseUp(true);
    return;
  }
  if (CanFocus()) SetFocus();
  TCustomForm* Form = GetParentForm(this);
  const bool Active = Focused() || (Form && Form->FormStyle() == fsMDIChild && Form->ActiveControl() == this);
  if (Active) DropDown();
}

bool TkvDBCustomCombo::HandleDropDownKey(WORD Key, TShiftState Shift) {
  const bool Alt = AltHeld(Shift);
  if ((Key == VK_F4 && !Alt) || ((Key == VK_UP || Key == VK_DOWN) && Alt)) {
    ToggleDropDown();
    return true;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && IsDroppedDown() && !Alt) {
    // The character the key types next belongs to the closed drop-down: Escape must not also
    // give back the text the edit had when it took the focus, nor Enter reach a default button.
    FSwallowChar = Key == VK_RETURN ? U'\r' : U'\x1b';
    CloseUp(Key == VK_RETURN);
    return true;
  }
  return false;
}

void TkvDBCustomCombo::KeyDown(WORD& Key, TShiftState Shift) {
  if (HandleDropDownKey(Key, Shift)) {
    Key = 0;
    return;
  }
  TkvDBCustomEdit::KeyDown(Key, Shift);
  if (Key && kvIsEditingKey(Key) && !HasEditableText()) Key = 0;
}

void TkvDBCustomCombo::KeyPress(char32_t& Key) {
  const char32_t Swallow = FSwallowChar;
  FSwallowChar = 0;
  if (Swallow && Key == Swallow) {
    Key = 0;
    return;
  }
  if (Key == U'\t' && PictureMaskInUse()) return;
  TkvDBCustomEdit::KeyPress(Key);
}

void TkvDBCustomCombo::DoEnter() {
  TkvDBCustomEdit::DoEnter();
  if (FButtonEffects->Flat()) {
    PlaceButton();
    if (FButton) FButton->Invalidate();
  }
}

void TkvDBCustomCombo::DoExit() {
  TkvDBCustomEdit::DoExit();
  if (FButtonEffects->Flat() && FButton) FButton->Invalidate();
}

void TkvDBCustomCombo::DrawButton(TCanvas* Canvas, const RECT& Rect, bool& DefaultPaint, bool Pressed, bool Enabled) {
  if (FButtonStyle == cbsCustom) return;
  DefaultPaint = false;
  const TkvButtonFaceState State = !Enabled ? kvbsDisabled : Pressed ? kvbsDown : kvbsUp;
  if (FButtonStyle == cbsDownArrow) {
    kvDrawDropDownButton(Canvas, Rect, State, Enabled, ControlState());
  } else {
    const bool FlatNotHot = FButtonEffects->Flat() && !FMouseInButton && !Focused();
    kvDrawEllipsisButton(Canvas, Rect, State, Enabled, FlatNotHot, FButtonEffects->Transparent(), ControlState());
  }
}

void TkvDBCustomCombo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsEditStyle()) {
        // A fixed text has no caret to place: a click on it opens the drop-down instead.
        if (!kvParentIsCustomDBGrid(this) && CanFocus()) SetFocus();
        ToggleDropDown();
        const int X = short(LOWORD(Message.LParam)), Y = short(HIWORD(Message.LParam));
        MouseDown(mbLeft, KeysToShiftState(WORD(Message.WParam)), X, Y);
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (!IsEditStyle() && GetCapture() == Handle()) ReleaseCapture();
      break;
    case WM_SETFOCUS:
      TkvDBCustomEdit::Dispatch(Message);
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      TkvDBCustomEdit::Dispatch(Message);
      if (FButton) FButton->SetEnabled(Enabled());
      return;
    default:
      break;
  }
  TkvDBCustomEdit::Dispatch(Message);
}
