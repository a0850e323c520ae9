// The drop-down calendar of the date/time picker: opening it under (or above) the picker, the
// keys that open, accept and cancel it, the keys forwarded to it while it is down, a click on a
// day that accepts, and the thread mouse hook that closes it on a click anywhere else.
//
// An unbound picker follows every change of the calendar at once (so Escape puts back the value
// from before the drop-down); a bound one takes the calendar's date when the calendar closes
// accepting, and writes its field once, when the focus leaves.

#include <algorithm>
#include <cmath>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "platform/db/field.h"
#include "platform/forms/screen.h"
#include "platform/gdi/rect.h"
#include "platform/rtl/datetime.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/user.h"

namespace {

// One mouse hook for every picker of the thread; only the active control is looked at.
HHOOK PickerMouseHook = nullptr;

LRESULT PickerMouseHookProc(int Code, WPARAM WParam, LPARAM LParam);

void InstallMouseHook() {
  if (!PickerMouseHook)
    PickerMouseHook = SetWindowsHookEx(WH_MOUSE, &PickerMouseHookProc, nullptr, GetCurrentThreadId());
}

void RemoveMouseHook() {
  if (PickerMouseHook) UnhookWindowsHookEx(PickerMouseHook);
  PickerMouseHook = nullptr;
}

LRESULT PickerMouseHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(PickerMouseHook, Code, WParam, LParam);
  if (Code < 0 || (WParam != WM_LBUTTONDOWN && WParam != WM_NCLBUTTONDOWN)) return Result;
  auto* Picker = Screen ? dynamic_cast<TkvDBCustomDateTimePicker*>(Screen->ActiveControl()) : nullptr;
  if (!Picker || !Picker->GetDroppedDown() || !Picker->Calendar() || Picker->Calendar()->IsPopupMenuShowing())
    return Result;
  const POINT Point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam)->pt;
  RECT CalendarRect{}, PickerRect{};
  GetWindowRect(Picker->Calendar()->Handle(), &CalendarRect);
  GetWindowRect(Picker->Handle(), &PickerRect);
  // Posted, so the click is dispatched first (a press on a form button still reaches it).
  if (!PtInRect(&CalendarRect, Point) && !PtInRect(&PickerRect, Point))
    PostMessageA(Picker->Handle(), CM_CANCELMODE, 0, 0);
  return Result;
}

}  // namespace

// ---- TkvPopupCalendar ------------------------------------------------------------------------------

TkvPopupCalendar::TkvPopupCalendar(TComponent* AOwner)
    : TkvMonthCalendar(AOwner), FPicker(dynamic_cast<TkvDBCustomDateTimePicker*>(AOwner)) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetVisible(false);
}

TkvPopupCalendar::~TkvPopupCalendar() {
  if (FPicker && FPicker->FCalendar == this) {
    if (IsWindowVisible(HandleIfAllocated())) RemoveMouseHook();
    FPicker->FCalendar = nullptr;
  }
}

void TkvPopupCalendar::CreateParams(TCreateParams& Params) {
  TkvMonthCalendar::CreateParams(Params);
  // A top-level tool window (it answers WM_MOUSEACTIVATE so that clicks never take the
  // activation, and with it the focus, from the picker's form).
  Params.Style = (Params.Style & ~(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style = CS_SAVEBITS;
  Params.WndParent = nullptr;
}

void TkvPopupCalendar::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TkvMonthCalendar::Dispatch(Message);
  if (Message.Msg != WM_LBUTTONUP || !FPicker || !HandleAllocated()) return;
  SYSTEMTIME Day{};
  const UINT Hit = HitTest(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)), Day);
  // A day (or the today line) accepts; the day names and week numbers do not.
  if ((Hit & MCHT_CALENDAR) == MCHT_CALENDAR && Hit != MCHT_CALENDARDAY && Hit != MCHT_CALENDARWEEKNUM)
    FPicker->CloseUp(true);
}

void TkvPopupCalendar::Change() {
  TkvMonthCalendar::Change();
  if (!FPicker || !FPicker->CanEdit()) return;
  FPicker->EditCanModify();
  FPicker->SetModifiedState(true);
  FPicker->FMarkModifiedOnChange = true;
  try {
    FPicker->SetDate(Date());
  } catch (...) {
    FPicker->FMarkModifiedOnChange = false;
    throw;
  }
  FPicker->FMarkModifiedOnChange = false;
}

// ---- the picker's drop-down ------------------------------------------------------------------------

bool TkvDBCustomDateTimePicker::GetDroppedDown() const {
  return FCalendar && FCalendar->HandleAllocated() && FCalendar->Visible() &&
         IsWindowVisible(FCalendar->HandleIfAllocated());
}

void TkvDBCustomDateTimePicker::DropDown() {
  if (GetDroppedDown() || IsUnboundButConfigured() || IsTimeOnly()) return;
  if (!CanEdit()) {
    HideCaretNow();
    Perform(EM_SETREADONLY, 1, 0);
    return;
  }
  Perform(EM_SETREADONLY, 0, 0);
  FDropDownStartValue = FValue;
  FinishDigitEdit();
  FDigitEntryOpen = false;
  HideCaretNow();

  if (!FCalendar) FCalendar = new TkvPopupCalendar(this);
  TkvCalendarOptions* Attributes = FCalendarAttributes.get();
  FCalendar->SetBorderStyle(bsSingle);
  FCalendar->CalColors()->Assign(Attributes->Colors());
  FCalendar->OnCalcBoldDay = OnCalcBoldDay;
  FCalendar->SetOptions(Attributes->Options());
  // Widen before narrowing, so the old limits never cross the new ones.
  FCalendar->SetMinDate(0);
  FCalendar->SetMaxDate(EffectiveMaxDate());
  FCalendar->SetMinDate(EffectiveMinDate());
  FCalendar->Font()->Assign(Attributes->Font());
  FCalendar->PopupYearOptions()->Assign(Attributes->PopupYearOptions());
  FCalendar->SetFirstDayOfWeek(Attributes->FirstDayOfWeek());
  FCalendar->HandleNeeded();
  FCalendar->CalColors()->ApplyColors();

  if (Text().empty() || FValue == 0) {
    EditCanModify();
    SetModifiedState(true);
    if (Text().empty()) {
      const TDateTime Today = ::Date();
      TDateTime Start = Today;
      if (Today > EffectiveMaxDate() || Today < EffectiveMinDate())
        Start = EffectiveMinDate();
      else if (FAutoFillDateAndTime && !HasNoTimePart() && !IsAutoTimeFormat())
        Start = Now();
      StoreValue(Start);
    }
  }
  SetText(ValueToText(FValue));
  FCalendar->SetDateTime(FValue);
  SetSelLength(0);
  if (OnDropDown) OnDropDown(this);
  FSavedShowHint = ShowHint();
  SetShowHint(false);
  PlaceCalendar();
  InstallMouseHook();
}

void TkvDBCustomDateTimePicker::PlaceCalendar() {
  RECT Min{};
  SendMessageA(FCalendar->Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&Min));
  const int MinWidth = Min.right + 2, MinHeight = Min.bottom + 2;  // with the border
  const TkvCalendarOptions* Attributes = FCalendarAttributes.get();
  const int CalendarHeight = Attributes->CalendarHeight >= MinHeight ? Attributes->CalendarHeight : MinHeight;
  const int CalendarWidth = Attributes->CalendarWidth >= MinWidth ? Attributes->CalendarWidth : MinWidth;

  RECT Own{};
  GetWindowRect(Handle(), &Own);
  const POINT P{Own.left, Own.top};
  RECT Work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
  int Top = P.y + Height() - 1;
  // Upward when there is no room below and room above.
  if (Top + CalendarHeight > Work.bottom && P.y - CalendarHeight > 0) Top = P.y - CalendarHeight;
  const int ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int G = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
  int X = P.x;
  switch (Attributes->Alignment()) {
    case kvdtaLeft:
      if (P.x + CalendarWidth >= ScreenWidth) X = P.x + Width() - CalendarWidth - 1;
      break;
    case kvdtaRight:
      X = P.x + CalendarWidth < ScreenWidth ? P.x + Width() - G - CalendarWidth - 1 : P.x + Width() - CalendarWidth - 1;
      X = std::max(X, 0);
      break;
    case kvdtaCenter:
      X = P.x + CalendarWidth < ScreenWidth ? (Width() - CalendarWidth - G - 1) / 2 + P.x
                                            : P.x + Width() - CalendarWidth - 1;
      X = std::max(X, 0);
      break;
  }
  FCalendar->SetBounds(X + 1, Top, CalendarWidth, CalendarHeight);
  SetWindowPos(FCalendar->Handle(), HWND_TOPMOST, X + 1, Top, CalendarWidth, CalendarHeight,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FCalendar->SetVisible(true);
}

void TkvDBCustomDateTimePicker::CloseUp(bool Accept) {
  if (FClosingUp) return;
  FClosingUp = true;
  try {
    if (GetDroppedDown()) {
      if (HWND Capture = GetCapture()) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
      TDateTime Chosen = 0;
      std::string ChosenText;
      if (Accept) {
        Chosen = FCalendar->Date();
        ChosenText = GetDisplayText(FCalendar->Date());
      }
      SetWindowPos(FCalendar->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      FCalendar->SetVisible(false);
      if (Accept && IsBound()) {
        TField* Field = BoundField();
        if (ChosenText != GetDisplayText(Field->AsDateTime()) && CanModifyField()) {
          if (!ChosenText.empty())
            SetDate(Chosen);
          else
            SetText("");
          SetModifiedState(true);
        }
      }
      if (!Accept) StoreValue(FDropDownStartValue);
      if (OnCloseUp) OnCloseUp(this);
      SetShowHint(FSavedShowHint);
      ShowCaretNow();
      HideCaretNow();
      Invalidate();
      SelectCurrentField();
      SelectAll();
    }
  } catch (...) {
    FClosingUp = false;
    RemoveMouseHook();
    throw;
  }
  FClosingUp = false;
  RemoveMouseHook();
}

void TkvDBCustomDateTimePicker::DestroyCalendar() {
  if (!FCalendar) return;
  if (GetDroppedDown()) RemoveMouseHook();
  TkvPopupCalendar* Calendar = FCalendar;
  FCalendar = nullptr;
  Calendar->Free();
}

TDateTime TkvDBCustomDateTimePicker::CalendarDateTime() const {
  return FCalendar ? FCalendar->Date() : FValue;
}

bool TkvDBCustomDateTimePicker::ForwardKeyToCalendar(TMessage& Message) {
  WORD Key = WORD(Message.WParam);
  const TShiftState Shift = KeyDataToShiftState(Message.LParam);
  const bool AltHeld = Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
  if (HandleDropDownKeys(Key, Shift, AltHeld)) return true;
  SendMessageA(FCalendar->Handle(), WM_KEYDOWN, Message.WParam, Message.LParam);
  if (FCalendar && CanEdit()) {
    EditCanModify();
    SetModifiedState(true);
    SetDate(FCalendar->Date());
  }
  return true;
}

void TkvDBCustomDateTimePicker::CMCancelMode(TMessage& Message) {
  auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
  if (Sender && (Sender == FCalendar || Sender == FButton)) {
    FinishDigitEdit();
    return;
  }
  CloseUp(true);
}

bool TkvDBCustomDateTimePicker::HandleDropDownKeys(WORD& Key, TShiftState Shift, bool AltHeld) {
  if ((Key == VK_F4 && !AltHeld) || ((Key == VK_UP || Key == VK_DOWN) && AltHeld)) {
    if (GetDroppedDown())
      CloseUp(true);
    else
      DropDown();
    return true;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !AltHeld && GetDroppedDown()) {
    CloseUp(Key == VK_RETURN);
    if (Key == VK_ESCAPE) FEscClosedCalendar = true;
    return true;
  }
  return false;
}

bool TkvDBCustomDateTimePicker::DispatchDropDownKey(TMessage& Message) {
  // The pre-pass of a key while the calendar is down: Tab closes it accepting; Enter and Escape
  // must reach KeyDown (which closes it) instead of the form's default and cancel buttons.
  if (Message.Msg != CN_KEYDOWN || !GetDroppedDown() || ComponentState().Contains(csDesigning)) return false;
  const WORD Key = WORD(Message.WParam);
  if (Key == VK_TAB) {
    CloseUp(true);
    return false;
  }
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    Message.Result = 0;
    return true;
  }
  return false;
}
