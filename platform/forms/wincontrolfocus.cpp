// TWinControl: focus, tab order and keys.
//
// Keys reach a control twice. Before a key message is dispatched, the application sends the
// control CN_KEYDOWN (CN_CHAR for characters): a key that is the shortcut of one of the form's
// actions runs that action and is dropped; dialog keys (Tab, arrows, Enter, Escape) that the
// control does not ask for (WM_GETDLGCODE, CM_WANTSPECIALKEY) go to the form as CM_DIALOGKEY,
// which moves the focus or presses the default button, and the key message is then dropped.
// Then the key message itself arrives: the form sees it first when KeyPreview is on, and a
// handler that sets the key to 0 consumes it.

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/wincontrol.h"
#include "platform/user/user.h"

// ---- focus -----------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
  TCustomForm* Form = GetParentForm(this);
  if (!Form) return false;
  for (const TControl* Control = this; Control != Form; Control = Control->Parent())
    if (!Control->Visible() || !Control->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
  if (TCustomForm* Form = GetParentForm(this)) {
    Form->FocusControl(this);
  } else if (FParentWindow) {
    ::SetFocus(Handle());
  } else {
    ValidParentForm(this);
  }
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* Form = GetParentForm(this)) Form->DefocusControl(this, Removing);
}

void TWinControl::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message) {
  DefaultHandler(Message);
}

void TWinControl::CMEnter(TMessage&) {
  DoEnter();
}

void TWinControl::CMExit(TMessage&) {
  DoExit();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---- tab order -------------------------------------------------------------------------------

TTabOrder TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& List = FParent->FTabList;
  auto Where = std::find(List.begin(), List.end(), this);
  return Where == List.end() ? TTabOrder(-1) : TTabOrder(Where - List.begin());
}

void TWinControl::SetTabOrder(TTabOrder Value) {
  if (ComponentState().Contains(csLoading)) FPendingTabOrder = Value;
  UpdateTabOrder(Value);
}

void TWinControl::UpdateTabOrder(TTabOrder Value) {
  if (!FParent) return;
  auto& List = FParent->FTabList;
  auto Where = std::find(List.begin(), List.end(), this);
  if (Where == List.end()) return;
  const int Count = int(List.size());
  int Target = Value;
  if (Target < 0 || Target >= Count) Target = Count - 1;
  const int Current = int(Where - List.begin());
  if (Target == Current) return;
  List.erase(Where);
  List.insert(List.begin() + Target, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, Value ? (Style | LONG(WS_TABSTOP)) : (Style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* Control : FTabList) {
    List.push_back(Control);
    Control->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  if (List.empty()) return nullptr;
  const int Count = int(List.size());
  auto Where = std::find(List.begin(), List.end(), CurControl);
  int Start = Where == List.end() ? (GoForward ? Count - 1 : 0) : int(Where - List.begin());
  int Index = Start;
  do {
    if (GoForward) {
      if (++Index == Count) Index = 0;
    } else {
      if (Index == 0) Index = Count;
      --Index;
    }
    TWinControl* Candidate = List[size_t(Index)];
    if (Candidate->CanFocus() && (!CheckTabStop || Candidate->TabStop()) &&
        (!CheckParent || Candidate->Parent() == this))
      return Candidate;
  } while (Index != Start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
    Next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* Form = GetParentForm(this);
  if (!Form) return;
  TWinControl* Control = FindNextControl(nullptr, true, true, false);
  if (!Control) Control = FindNextControl(nullptr, true, false, false);
  if (Control) Form->SetActiveControl(Control);
}

// ---- keys ------------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyDown(Message))
    return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD Key = WORD(Message.WParam);
  KeyDown(Key, KeyDataToShiftState(Message.LParam));
  if (Key == 0) return true;
  Message.WParam = Key;
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyUp(Message))
    return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD Key = WORD(Message.WParam);
  KeyUp(Key, KeyDataToShiftState(Message.LParam));
  if (Key == 0) return true;
  Message.WParam = Key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyPress(Message))
    return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  char32_t Key = char32_t(Message.WParam);
  KeyPress(Key);
  if (Key == 0) return true;
  Message.WParam = WPARAM(Key);
  return false;
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  // A shortcut of one of the form's actions comes before everything else.
  if (TCustomForm* Form = GetParentForm(this))
    if (Form->IsShortCut(Message)) return;
  if (Perform(CM_CHILDKEY, Message.WParam, LPARAM(this)) != 0) return;
  LRESULT Mask = 0;
  switch (Message.WParam) {
    case VK_TAB:
      Mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      Mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      Mask = DLGC_WANTALLKEYS;
      break;
    default:
      break;
  }
  if (Mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, 0) == 0 &&
      (Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0) {
    if (TCustomForm* Form = GetParentForm(this))
      if (Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) {
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    if (TCustomForm* Form = GetParentForm(this))
      if (Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& Message) {
  Broadcast(Message);
}

void TWinControl::CMDialogChar(TMessage& Message) {
  Broadcast(Message);
}
