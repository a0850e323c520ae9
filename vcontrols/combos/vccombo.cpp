// The combo base: construction, settings, layout of the button and the text, data binding, and
// the message handling that is not about keys (vccombokeys.cpp), opening and closing
// (vccombodropdown.cpp) or painting (vccombopaint.cpp).

#include "vcontrols/combos/vccombo.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/form.h"
#include "platform/forms/grids.h"
#include "platform/forms/screen.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcDropDownButton)
namespace vccombo {
KORCAM_REGISTER_CLASS(TBtnWinControl)
}  // namespace vccombo
KORCAM_REGISTER_CLASS(TvcComboButtonEffects)
KORCAM_REGISTER_CLASS(TvcCustomCombo)

using namespace vccombo;

namespace {

int AutomaticButtonWidth() {
  return std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
}

bool OwnerLoading(const TComponent* Component) {
  const TComponent* Owner = Component->Owner();
  return Owner && Owner->ComponentState().Contains(csLoading);
}

}  // namespace

// ---- button effects, host and button --------------------------------------------------------

TvcComboButtonEffects::TvcComboButtonEffects(TControl* ACombo, TControl* AButton)
    : TvcButtonEffects(ACombo, AButton) {}

void TvcComboButtonEffects::Refresh() {
  if (auto* Combo = dynamic_cast<TvcCustomCombo*>(FCombo)) Combo->UpdateButtonGlyph();
}

TBtnWinControl::TBtnWinControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csReplicatable);
}

TvcCustomCombo* TBtnWinControl::Combo() const {
  return dynamic_cast<TvcCustomCombo*>(Owner());
}

TvcDropDownButton::TvcDropDownButton(TComponent* AOwner) : TSpeedButton(AOwner) {
  FControlStyle.Include(csReplicatable);
}

TvcCustomCombo* TvcDropDownButton::Combo() const {
  return dynamic_cast<TvcCustomCombo*>(Owner());
}

// ---- the combo -------------------------------------------------------------------------------

TvcCustomCombo::TvcCustomCombo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FControlStyle.Include(csReplicatable);
  FFrame = std::make_unique<TvcEditFrame>(this);
  FButtonEffects = std::make_unique<TvcComboButtonEffects>(this, nullptr);
  FButtonHost = new TBtnWinControl(this);
  FButtonHost->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
  FButtonHost->SetVisible(true);
  FButtonHost->SetParent(this);
  FButton = new TvcDropDownButton(this);
  FButton->SetBounds(0, 0, FButtonHost->Width(), FButtonHost->Height());
  FButton->SetWidth(AutomaticButtonWidth());
  // Flat and transparent as the effects say (both off).
  FButton->SetFlat(false);
  FButton->SetTransparent(false);
  FButton->SetParent(FButtonHost);
  FButton->OnMouseDown = TMouseEvent(this, &TvcCustomCombo::ButtonMouseDown);
  FButtonEffects->SetButton(FButton);
  FFrameCanvas = std::make_unique<TControlCanvas>();
  FFrameCanvas->SetControl(this);
  FDataLink = std::make_unique<TFieldDataLink>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent([this](TObject* Sender) { DataChange(Sender); });
  FDataLink->OnEditingChange = TNotifyEvent([this](TObject* Sender) { EditingChange(Sender); });
  FDataLink->OnUpdateData = TNotifyEvent([this](TObject* Sender) { UpdateData(Sender); });
  VcComboDropDownMessage();
}

TvcCustomCombo::~TvcCustomCombo() {
  // A combo freed without Free still takes its own open drop-down's hook with it.
  ReleaseMouseHookOf(this);
  if (FDataLink) {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
  }
}

void TvcCustomCombo::BeforeDestruction() {
  // The hook serves every combo: only the combo whose drop-down it watches takes it away, so
  // that another combo's open drop-down still closes on outside clicks.
  ReleaseMouseHookOf(this);
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->SetDataSource(nullptr);
  FButtonEffects->SetButton(nullptr);
  TCustomEdit::BeforeDestruction();
}

// ---- settings ----------------------------------------------------------------------------------

void TvcCustomCombo::SetAlignmentVertical(TvcAlignVertical Value) {
  if (Value == FAlignmentVertical) return;
  FAlignmentVertical = Value;
  Invalidate();
}

void TvcCustomCombo::SetButtonStyle(TvcComboButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  if (HandleAllocated()) RecreateWnd();
  FButton->Invalidate();
}

void TvcCustomCombo::SetButtonWidth(int32_t Value) {
  if (Value == FButtonWidth) return;
  FButtonWidth = Value;
  FButton->SetWidth(Value == 0 ? AutomaticButtonWidth() : Value);
  UpdateButtonPosition();
}

void TvcCustomCombo::SetStyle(TvcComboStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (!HandleAllocated() || ComponentState().Contains(csLoading)) return;
  if (Value == csDropDownList) {
    SendMessageA(HandleIfAllocated(), EM_SETREADONLY, TRUE, 0);
    DisableTyping();
  } else {
    EnableTyping();
  }
}

void TvcCustomCombo::SetReadOnly(bool Value) {
  FComboReadOnly = Value;
  TCustomEdit::SetReadOnly(Value);
}

void TvcCustomCombo::SetFrame(TvcEditFrame* Value) {
  FFrame->Assign(Value);
}

void TvcCustomCombo::SetButtonEffects(TvcComboButtonEffects* Value) {
  FButtonEffects->Assign(Value);
}

TWinControl* TvcCustomCombo::ButtonHost() const {
  return FButtonHost;
}

bool TvcCustomCombo::ShowButton() const {
  return FButtonHost && FButtonHost->Visible();
}

void TvcCustomCombo::SetShowButton(bool Value) {
  if (!FButtonHost || Value == FButtonHost->Visible()) return;
  FButtonHost->SetVisible(Value);
  UpdateButtonPosition();
  if (!OwnerLoading(this)) SetEditRect();
  Invalidate();
}

TBitmap* TvcCustomCombo::ButtonGlyph() const {
  return FButton->Glyph();
}

void TvcCustomCombo::SetButtonGlyph(TBitmap* Value) {
  FButton->SetGlyph(Value);
  Invalidate();
}

bool TvcCustomCombo::IsButtonGlyphStored() const {
  return FButtonStyle == cbsCustom;
}

TDataSource* TvcCustomCombo::DataSource() const {
  return FDataLink->DataSource();
}

void TvcCustomCombo::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSource() == Value) return;
  if (FDataLink->DataSource()) FDataLink->DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

const std::string& TvcCustomCombo::DataField() const {
  return FDataLink->FieldName();
}

void TvcCustomCombo::SetDataField(const std::string& Value) {
  FDataLink->SetFieldName(Value);
}

TField* TvcCustomCombo::Field() const {
  return FDataLink->Field();
}

bool TvcCustomCombo::IsDataBound() const {
  return DataSource() && DataSource()->DataSet() && !DataField().empty();
}

void TvcCustomCombo::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TvcCustomCombo::Loaded() {
  if (FButtonWidth == 0) FButton->SetWidth(AutomaticButtonWidth());
  if (Parent() || Owner()) UpdateButtonPosition();
  TCustomEdit::Loaded();
}

bool TvcCustomCombo::IsTransparentEffective() const {
  return FFrame->Transparent() && FFrame->IsFrameEffective() && !IsDesigning(this);
}

// ---- layout ------------------------------------------------------------------------------------

int TvcCustomCombo::GetButtonHostWidth() {
  return FButtonHost->Width();
}

int TvcCustomCombo::GetButtonHostEdge() {
  return FButtonHost->Left() - 1;
}

int TvcCustomCombo::GetTopMargin() {
  int Margin = 0;
  if (FBorderStyle == bsNone) {
    if (ParentIsGrid(this)) {
      // A data grid drawn without row lines and tabs leaves one pixel less above the text.
      const uint16_t Options = DataGridOptions(this);
      Margin = IsClassNamed(&Parent()->ClassType(), "TkvDBGrid") && !(Options & 0x40) && !(Options & 0x80) ? 1 : 2;
    } else {
      Margin = 1;
    }
  }
  if (FAlignmentVertical == vcavCenter) {
    FFrameCanvas->SetFont(Font());
    const int Letter = FFrameCanvas->TextHeight("A");
    Margin += FBorderStyle == bsNone ? (Height() - Letter - 2) / 2 : (Height() - Letter - 5) / 2;
  }
  return Margin;
}

RECT TvcCustomCombo::GetEditRect() {
  RECT R{0, GetTopMargin(), ShowButton() ? FButtonHost->Left() - 2 : ClientWidth() - 2, ClientHeight() + 1};
  if (ParentIsInspector(this)) {
    R.left = 1;
    R.top = 1;
  } else if (FFrame->IsFrameEffective()) {
    FFrame->GetEditRect(R);
  } else if (FBorderStyle == bsNone) {
    R.left = ParentIsGrid(this) ? 2 : 1;
  } else {
    R.left = 0;
  }
  R.left += GetLeftIndent();
  return R;
}

void TvcCustomCombo::SetEditRect() {
  if (!HandleAllocated()) return;
  FFrameCanvas->SetFont(Font());
  RECT R = GetEditRect();
  SendMessageA(HandleIfAllocated(), EM_SETRECTNP, 0, LPARAM(&R));
}

void TvcCustomCombo::UpdateButtonPosition() {
  if (!FButtonHost || !FButton) return;
  const int F = FFrame->IsFrameEffective() ? 2 : 0;
  const int W = FButton->Width();
  if (FBorderStyle != bsNone && FCtl3D)
    FButtonHost->SetBounds(Width() - W - 4, F, W, ClientHeight() - F);
  else
    FButtonHost->SetBounds(Width() - W - F, F, W, ClientHeight() - 2 * F);
  if (!FButtonHost->Visible() && IsDesigning(this)) FButtonHost->SetLeft(Width());
  if (FBorderStyle == bsNone)
    FButton->SetBounds(0, -1, W, FButtonHost->Height() + 1);
  else
    FButton->SetBounds(0, 0, W, FButtonHost->Height());
  SetEditRect();
}

RECT TvcCustomCombo::GetTextRect() {
  RECT R = ClientRect();
  if (ShowButton() && !IsGridPaintCopy(this)) R.right = FButtonHost->Left();
  return R;
}

void TvcCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateButtonPosition();
  SetEditRect();
}

void TvcCustomCombo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style = (Params.Style | ES_MULTILINE | WS_CLIPCHILDREN) & ~DWORD(ES_AUTOVSCROLL | ES_WANTRETURN);
  if (IsTransparentEffective() && FFrame->CreateTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TvcCustomCombo::CreateWnd() {
  TCustomEdit::CreateWnd();
  FCaretHidden = false;
  if (FBorderStyle == bsNone && FAutoSize && !dynamic_cast<TCustomGrid*>(Parent())) FFrame->AdjustHeight();
  SetEditRect();
  if (IsTransparentEffective() && Parent() && Parent()->HandleAllocated()) {
    HWND ParentWindow = Parent()->HandleIfAllocated();
    SetWindowLongA(ParentWindow, GWL_STYLE, LONG(DWORD(GetWindowLongA(ParentWindow, GWL_STYLE)) & ~WS_CLIPCHILDREN));
  }
}

// ---- typing ------------------------------------------------------------------------------------

void TvcCustomCombo::DisableTyping() {
  if (!HandleAllocated()) return;
  if (!FCaretHidden && HideCaret(HandleIfAllocated())) FCaretHidden = true;
  SendMessageA(HandleIfAllocated(), EM_SETREADONLY, TRUE, 0);
}

void TvcCustomCombo::EnableTyping() {
  if (!HandleAllocated()) return;
  if (FCaretHidden) {
    ShowCaret(HandleIfAllocated());
    FCaretHidden = false;
  }
  SendMessageA(HandleIfAllocated(), EM_SETREADONLY, FALSE, 0);
}

void TvcCustomCombo::SelectAll() {
  TCustomEdit::SelectAll();
}

// ---- data binding ------------------------------------------------------------------------------

bool TvcCustomCombo::IsReadOnly() {
  return FComboReadOnly || FDataLink->ReadOnly() || (Field() && !Field()->CanModify());
}

bool TvcCustomCombo::EditCanModify() {
  if (IsReadOnly()) return false;
  TDataSource* Source = DataSource();
  if (Source && !Source->AutoEdit() && Source->State() != dsEdit && Source->State() != dsInsert) return false;
  if (Field()) return FDataLink->Edit();
  return true;
}

void TvcCustomCombo::SetModified(bool Value) {
  TDataSource* Source = DataSource();
  if (Value && Source && (Source->State() == dsEdit || Source->State() == dsInsert)) FDataLink->Modified();
  TCustomEdit::SetModified(Value);
}

void TvcCustomCombo::Reset() {
  if (Field()) FDataLink->Reset();
  SelectAll();
  SetModified(false);
  AfterPaint();
}

void TvcCustomCombo::DataChange(TObject*) {
  TField* F = Field();
  if (F) {
    if (F->DataType() == ftString && FMaxLength == 0 && !IsDesigning(this)) SetMaxLength(F->Size());
    SetText(FHasFocus && FDataLink->CanModify() ? F->EditText() : F->DisplayText());
  } else {
    SetText(IsDesigning(this) ? Name() : std::string());
  }
}

void TvcCustomCombo::EditingChange(TObject*) {
  TCustomEdit::SetReadOnly(!FDataLink->Editing());
}

void TvcCustomCombo::UpdateData(TObject*) {
  TField* F = Field();
  if (F && F->EditText() != Text()) F->SetEditText(Text());
}

std::string TvcCustomCombo::PaintedText() const {
  TField* F = Field();
  if (F) return F->DisplayText();
  return Text();
}

// ---- messages ----------------------------------------------------------------------------------

void TvcCustomCombo::Change() {
  if (!Field() && !FControlState.Contains(csCreating)) TCustomEdit::SetModified(true);
  if (IsTransparentEffective() && !FHasFocus) FFrame->RefreshTransparentBackground(false);
  TCustomEdit::Change();
}

void TvcCustomCombo::DoEnter() {
  if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TWinControl::DoEnter();
}

void TvcCustomCombo::MouseMove(TShiftState Shift, int X, int Y) {
  FCursorGuard = true;
  SetCursor(FStyle == csDropDownList ? crArrow : FSavedCursor);
  FCursorGuard = false;
  TCustomEdit::MouseMove(Shift, X, Y);
}

void TvcCustomCombo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FStyle == csDropDownList) {
    if (GetDroppedDown() || Button != mbLeft) {
      CloseUp(true);
    } else {
      PostMessageA(Handle(), VcComboDropDownMessage(), 0, 0);
      FReleaseCaptureAfterPress = true;
    }
  }
  TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TvcCustomCombo::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
    FHasFocus = false;
    if (FButtonEffects->Flat()) FButton->Invalidate();
    if (IsTransparentEffective() && HandleAllocated()) {
      HWND Window = HandleIfAllocated();
      SetWindowLongA(Window, GWL_EXSTYLE, GetWindowLongA(Window, GWL_EXSTYLE) | LONG(WS_EX_TRANSPARENT));
      SetEditRect();
      FFrame->RefreshTransparentBackground(true);
    }
    if (FFrame->Enabled()) Invalidate();
  } catch (...) {
    // A record that cannot be written keeps the focus here, with the text selected; the error
    // goes on to be shown, and the exit event does not run.
    SelectAll();
    if (CanFocus()) SetFocus();
    throw;
  }
  TCustomEdit::Dispatch(Message);
}

void TvcCustomCombo::Dispatch(TMessage& Message) {
  if (Message.Msg == VcComboDropDownMessage()) {
    DropDown();
    return;
  }
  const bool InGrid = ParentIsGrid(this);
  if (InGrid && ((Message.Msg >= WM_KEYDOWN && Message.Msg <= 264) || Message.Msg == WM_CUT || Message.Msg == WM_PASTE))
    Changed();
  switch (Message.Msg) {
    case WM_NCLBUTTONDOWN:
      CloseUp(true);
      break;
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Message);
      return;
    case CN_KEYDOWN:
      CNKeyDown(Message);
      return;
    case CM_WANTSPECIALKEY:
      // Enter and Escape stay with the combo while they close its drop-down, and Escape while it
      // reverts a modified text; otherwise a dialog's buttons may have them.
      if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && GetDroppedDown()) {
        Message.Result = 1;
        return;
      }
      if (Message.WParam == VK_ESCAPE && Modified()) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
      FReleaseCaptureAfterPress = false;
      TCustomEdit::Dispatch(Message);
      if (FReleaseCaptureAfterPress && GetCapture() == HandleIfAllocated()) ReleaseCapture();
      FReleaseCaptureAfterPress = false;
      return;
    case WM_SETFOCUS:
      TCustomEdit::Dispatch(Message);
      FCaretHidden = false;
      if (FStyle == csDropDownList) {
        Invalidate();
        EnableTyping();
        DisableTyping();
      }
      return;
    case WM_KILLFOCUS:
      if (!GetDroppedDown() || HWND(Message.WParam) != GetDropDownContainer()->HandleIfAllocated()) CloseUp(true);
      TCustomEdit::Dispatch(Message);
      if (FStyle == csDropDownList) Invalidate();
      return;
    case WM_CUT:
    case WM_PASTE:
      if (FStyle == csDropDown && !EditCanModify()) return;
      TCustomEdit::Dispatch(Message);
      SetModified(true);
      return;
    case CM_ENTER: {
      TCustomEdit::Dispatch(Message);
      const bool Changed = !FHasFocus;
      FHasFocus = true;
      if (Changed && Field()) FDataLink->Reset();
      if (!Field()) TCustomEdit::SetModified(false);
      if (FButtonEffects->Flat()) FButton->Invalidate();
      if (IsTransparentEffective()) {
        FFrame->SetCreateTransparent(false);
        if (HandleAllocated()) {
          HWND Window = HandleIfAllocated();
          SetWindowLongA(Window, GWL_EXSTYLE, GetWindowLongA(Window, GWL_EXSTYLE) & ~LONG(WS_EX_TRANSPARENT));
        }
        Invalidate();
      }
      if (FFrame->Enabled()) Invalidate();
      return;
    }
    case CM_EXIT:
      CMExit(Message);
      return;
    case CM_FONTCHANGED:
      TCustomEdit::Dispatch(Message);
      if (!OwnerLoading(this)) SetEditRect();
      return;
    case WM_SETFONT:
      TCustomEdit::Dispatch(Message);
      if (FFrame->Enabled() && HandleAllocated())
        SendMessageA(HandleIfAllocated(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      return;
    case CM_ENABLEDCHANGED:
      TCustomEdit::Dispatch(Message);
      FButton->SetEnabled(Enabled());
      return;
    case WM_SIZE:
      TCustomEdit::Dispatch(Message);
      UpdateButtonPosition();
      SetEditRect();
      return;
    case CM_CANCELMODE:
      // A click elsewhere is the hook's business.
      return;
    case CM_GETDATALINK:
      Message.Result = LRESULT(FDataLink.get());
      return;
    case CM_CURSORCHANGED:
      if (!FCursorGuard) FSavedCursor = Cursor();
      break;
    case CM_MOUSEENTER:
      DoMouseEnter();
      return;
    case CM_MOUSELEAVE: {
      // Moving onto the button host is no leaving.
      POINT Cursor{};
      GetCursorPos(&Cursor);
      const POINT Local = ScreenToClient(Cursor);
      const RECT Client = ClientRect();
      if (PtInRect(&Client, Local)) return;
      DoMouseLeave();
      return;
    }
    default:
      break;
  }
  TCustomEdit::Dispatch(Message);
}

// ---- mouse enter and leave -----------------------------------------------------------------------

void TvcCustomCombo::DoMouseEnter() {
  try {
    if (OnMouseEnter) OnMouseEnter(this);
  } catch (const std::exception&) {
    return;  // the handler's failure ends the step, the frame effect included
  }
  if (FFrame->IsFrameEffective() && !FHasFocus && FFrame->MouseEnterSameAsFocus() && HandleAllocated()) {
    HDC DC = GetDC(HandleIfAllocated());
    FFrameCanvas->SetHandle(DC);
    DrawEditFrame(this, FFrame.get(), FFrameCanvas.get(), true);
    FFrameCanvas->SetHandle(nullptr);
    ReleaseDC(HandleIfAllocated(), DC);
  }
}

void TvcCustomCombo::DoMouseLeave() {
  try {
    if (OnMouseLeave) OnMouseLeave(this);
  } catch (const std::exception&) {
    return;
  }
  if (FFrame->IsFrameEffective() && !FHasFocus && FFrame->MouseEnterSameAsFocus() && HandleAllocated()) {
    HDC DC = GetDC(HandleIfAllocated());
    FFrameCanvas->SetHandle(DC);
    DrawEditFrame(this, FFrame.get(), FFrameCanvas.get(), false);
    FFrameCanvas->SetHandle(nullptr);
    ReleaseDC(HandleIfAllocated(), DC);
    if (IsTransparentEffective()) FFrame->SetCreateTransparent(true);
    RecreateWnd();
  }
}
