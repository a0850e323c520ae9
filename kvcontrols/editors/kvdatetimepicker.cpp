#include "kvcontrols/editors/kvdatetimepicker.h"

#include <cmath>

#include "kvcontrols/editors/kvdatetextutils.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvintl.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/textfields.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvCalendarOptions)
KORCAM_REGISTER_CLASS(TkvDTInterval)
KORCAM_REGISTER_CLASS(TkvDBCustomDateTimePicker)
KORCAM_REGISTER_CLASS(TkvDateComboButton)
KORCAM_REGISTER_CLASS(TkvPopupCalendar)
KORCAM_REGISTER_CLASS(TkvDBDateTimePicker)

using namespace kvdbdatetimepicker;

namespace {

bool IsDateTimeType(TFieldType Type) {
  return Type == ftDateTime || Type == ftTimeStamp;
}

// The whole-day part, truncated toward zero.
TDateTime WholeDays(TDateTime Value) {
  return std::trunc(Value);
}

// The time of day with the value's sign (negative values carry a negative fraction).
TDateTime Fraction(TDateTime Value) {
  return Value - std::trunc(Value);
}

// A whole day plus a fraction, the fraction counting with the day's sign.
TDateTime Combine(TDateTime Day, TDateTime Fraction) {
  Fraction = std::fabs(Fraction);
  return Day < 0 ? Day - Fraction : Day + Fraction;
}

[[noreturn]] void RaiseAboveMax(TDateTime MaxDate) {
  throw EDateTimeError(Format("Date exceeds maximum of %s", DateToStr(MaxDate)));
}

[[noreturn]] void RaiseBelowMin(TDateTime MinDate) {
  throw EDateTimeError(Format("Date is less than minimum of %s", DateToStr(MinDate)));
}

}  // namespace

UINT kvDatePickerDestroyCalendarMessage() {
  static const UINT Message = RegisterWindowMessageA("DATEPICKERDESTROYCALENDAR");
  return Message;
}

// ---- settings objects --------------------------------------------------------------------------

TkvCalendarOptions::TkvCalendarOptions(TControl* Control) {
  FColors = std::make_unique<TkvDateTimeColors>(Control);
  FFont = std::make_unique<TFont>();
  FPopupYearOptions = std::make_unique<TkvPopupYearOptions>();
}

TkvCalendarOptions::~TkvCalendarOptions() = default;

void TkvCalendarOptions::SetColors(TkvDateTimeColors* Value) {
  if (Value != FColors.get()) FColors->Assign(Value);
}
void TkvCalendarOptions::SetFont(TFont* Value) {
  if (Value != FFont.get()) FFont->Assign(Value);
}
void TkvCalendarOptions::SetPopupYearOptions(TkvPopupYearOptions* Value) {
  if (Value != FPopupYearOptions.get()) FPopupYearOptions->Assign(Value);
}

// ---- construction ------------------------------------------------------------------------------

TkvDBCustomDateTimePicker::TkvDBCustomDateTimePicker(TComponent* AOwner) : TCustomEdit(AOwner) {
  kvDatePickerDestroyCalendarMessage();
  FControlStyle.Include(csReplicatable);
  FCalendarAttributes = std::make_unique<TkvCalendarOptions>(this);
  FDataLink = std::make_unique<TFieldDataLink>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TkvDBCustomDateTimePicker::DataChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TkvDBCustomDateTimePicker::UpdateData);
  FEpoch = kvGlobalIntl ? kvGlobalIntl->DefaultEpochYear() : 1950;
  FParentCtl3D = false;
  FCtl3D = true;
  FInterval = std::make_unique<TkvDTInterval>();
  CreateButton();
}

TkvDBCustomDateTimePicker::~TkvDBCustomDateTimePicker() {
  DestroyCalendar();
  FDataLink->OnDataChange.Clear();
  FDataLink->OnUpdateData.Clear();
  FDataLink->SetDataSource(nullptr);
}

void TkvDBCustomDateTimePicker::Loaded() {
  TCustomEdit::Loaded();
  LayoutButton();
}

void TkvDBCustomDateTimePicker::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
  // The owner frees the calendar before this destructor runs.
  if (Operation == opRemove && AComponent == FCalendar) FCalendar = nullptr;
}

// ---- properties --------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::SetCalendarAttributes(TkvCalendarOptions* Value) {
  if (Value == FCalendarAttributes.get() || !Value) return;
  FCalendarAttributes->SetAlignment(Value->Alignment());
  FCalendarAttributes->SetColors(Value->Colors());
  FCalendarAttributes->SetFont(Value->Font());
  FCalendarAttributes->SetOptions(Value->Options());
  FCalendarAttributes->SetPopupYearOptions(Value->PopupYearOptions());
  FCalendarAttributes->SetFirstDayOfWeek(Value->FirstDayOfWeek());
}

void TkvDBCustomDateTimePicker::SetInterval(TkvDTInterval* Value) {
  if (Value == FInterval.get() || !Value) return;
  FInterval->SetMinutesInterval(Value->MinutesInterval());
  FInterval->SetRoundMinutes(Value->RoundMinutes());
}

void TkvDBCustomDateTimePicker::SetButtonStyle(TkvComboButtonStyle Value) {
  if (FButtonStyle == Value) return;
  FButtonStyle = Value;
  ButtonStyleChanged();
}

const std::string& TkvDBCustomDateTimePicker::DataField() const {
  return FDataLink->FieldName();
}

void TkvDBCustomDateTimePicker::SetDataField(const std::string& Value) {
  FDataLink->SetFieldName(Value);
  if (Value.empty()) SetUnboundDataType(kvDTEdtDateTime);
}

TDataSource* TkvDBCustomDateTimePicker::DataSource() const {
  return FDataLink->DataSource();
}

void TkvDBCustomDateTimePicker::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSource() == Value) {
    if (!Value) SetUnboundDataType(kvDTEdtDateTime);
    return;
  }
  FDataLink->SetDataSource(Value);
  if (Value)
    Value->FreeNotification(this);
  else
    SetUnboundDataType(kvDTEdtDateTime);
}

void TkvDBCustomDateTimePicker::SetDateFormat(TDTDateFormat Value) {
  if (FDateFormat == Value) return;
  FDateFormat = Value;
  RefreshText();
}

void TkvDBCustomDateTimePicker::SetEpoch(int32_t Value) {
  FEpoch = Value;
}

void TkvDBCustomDateTimePicker::SetUnboundDataType(TkvDTEditDataType Value) {
  if (FUnboundDataType == Value) return;
  FUnboundDataType = Value;
  RefreshText();
}

void TkvDBCustomDateTimePicker::SetDisplayFormat(const std::string& Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  RefreshText();
}

bool TkvDBCustomDateTimePicker::ReadOnly() const {
  return FDataLink->ReadOnly();
}

void TkvDBCustomDateTimePicker::SetReadOnly(bool Value) {
  FDataLink->SetReadOnly(Value);
  TCustomEdit::SetReadOnly(Value);
}

void TkvDBCustomDateTimePicker::SetMaxDate(TDateTime Value) {
  if (Value != 0 && FMinDate != 0 && Value < FMinDate) RaiseBelowMin(FMinDate);
  FMaxDate = Value;
}

void TkvDBCustomDateTimePicker::SetMinDate(TDateTime Value) {
  if (FMaxDate != 0 && Value > FMaxDate) RaiseAboveMax(FMaxDate);
  FMinDate = Value;
}

// ---- kind --------------------------------------------------------------------------------------

TField* TkvDBCustomDateTimePicker::BoundField() const {
  return FDataLink ? FDataLink->Field() : nullptr;
}

bool TkvDBCustomDateTimePicker::IsUnboundButConfigured() const {
  return !BoundField() && (FDataLink->DataSource() || !FDataLink->FieldName().empty());
}

bool TkvDBCustomDateTimePicker::IsDateOnly() const {
  if (TField* Field = BoundField()) return Field->DataType() == ftDate;
  return FUnboundDataType == kvDTEdtDate;
}

bool TkvDBCustomDateTimePicker::IsTimeOnly() const {
  if (TField* Field = BoundField()) {
    if (Field->DataType() == ftTime) return true;
    return IsDateTimeType(Field->DataType()) && !kvFormatHasDate(FullDisplayFormat());
  }
  return FUnboundDataType == kvDTEdtTime;
}

bool TkvDBCustomDateTimePicker::IsDateTime() const {
  if (TField* Field = BoundField()) return IsDateTimeType(Field->DataType());
  return FUnboundDataType == kvDTEdtDateTime;
}

bool TkvDBCustomDateTimePicker::HasNoTimePart() const {
  if (TField* Field = BoundField()) {
    if (Field->DataType() == ftDate) return true;
    return IsDateTimeType(Field->DataType()) && !kvFormatHasTime(FullDisplayFormat());
  }
  // The time kind counts here, not the date kind: clearing an unbound time picker keeps its
  // value (Delete writes Date, which a time picker ignores).
  return FUnboundDataType == kvDTEdtTime;
}

// ---- format and text ---------------------------------------------------------------------------

std::string TkvDBCustomDateTimePicker::GetDisplayFormat(bool UseDefaults) const {
  if (!FDisplayFormat.empty()) return FDisplayFormat;
  TField* Field = BoundField();
  if (auto* DateTimeField = dynamic_cast<TDateTimeField*>(Field); DateTimeField && !DateTimeField->DisplayFormat().empty())
    return DateTimeField->DisplayFormat();
  if (!UseDefaults) return {};
  const TFormatSettings& Settings = FormatSettings();
  const bool Long = FDateFormat == dfLong;
  const bool TimeKind = Field ? Field->DataType() == ftTime : FUnboundDataType == kvDTEdtTime;
  const bool DateKind = Field ? Field->DataType() == ftDate : FUnboundDataType == kvDTEdtDate;
  if (TimeKind) return Long ? Settings.LongTimeFormat : Settings.ShortTimeFormat;
  if (DateKind) return Long ? Settings.LongDateFormat : Settings.ShortDateFormat;
  return Long ? Settings.LongDateFormat + " " + Settings.LongTimeFormat : "c";
}

std::string TkvDBCustomDateTimePicker::ExpandedFormat() const {
  return kvExpandDateTimeFormat(FullDisplayFormat());
}

TkvFieldSet TkvDBCustomDateTimePicker::FieldSet() const {
  if (IsTimeOnly()) return TkvFieldSet::TimeOnly;
  if (IsDateOnly()) return TkvFieldSet::DateOnly;
  return TkvFieldSet::DateAndTime;
}

int TkvDBCustomDateTimePicker::CountFields() const {
  return kvCountFields(ExpandedFormat(), FieldSet());
}

TkvFieldInfo TkvDBCustomDateTimePicker::GetFieldInfo(int N, TDateTime X) const {
  return kvGetFieldInfo(ExpandedFormat(), FieldSet(), N, X);
}

bool TkvDBCustomDateTimePicker::IsAutoTimeFormat() const {
  if (!IsDateTime()) return false;
  if (TField* Field = BoundField()) {
    if (GetDisplayFormat(false).empty()) return true;
    auto* DateTimeField = dynamic_cast<TDateTimeField*>(Field);
    return DateTimeField && DateTimeField->DisplayFormat() == "c";
  }
  return FDisplayFormat == "c" || (FDisplayFormat.empty() && FDateFormat == dfShort);
}

int TkvDBCustomDateTimePicker::VisibleFieldCount() const {
  if (!IsAutoTimeFormat()) return CountFields();
  const size_t Shown = Utf8Length(Text());
  for (int N = 1;; ++N) {
    const TkvFieldInfo Info = GetFieldInfo(N, FValue);
    // Past the last field: the last one is the last visible one.
    if (Info.Text.empty()) return std::max(1, N - 1);
    if (Utf8Length(Info.Text) >= Shown) return N;
  }
}

bool TkvDBCustomDateTimePicker::IsFullTextShown() const {
  if (!IsAutoTimeFormat()) return true;
  return Utf8Length(Text()) >= Utf8Length(GetFieldInfo(CountFields(), FValue).Text);
}

std::string TkvDBCustomDateTimePicker::ValueToText(TDateTime X) const {
  if (IsUnboundButConfigured()) return {};
  if (WholeDays(X) != 0 || IsTimeOnly()) {
    if (!GetDisplayFormat(false).empty() || FDateFormat != dfLong || Fraction(X) != 0)
      return FormatDateTime(FullDisplayFormat(), X);
    return FormatDateTime(FormatSettings().LongDateFormat, X);
  }
  return {};
}

std::string TkvDBCustomDateTimePicker::GetDisplayText(TDateTime X) const {
  if (IsUnboundButConfigured()) return {};
  if (TField* Field = BoundField(); Field && Field->IsNull() && !GetDroppedDown()) return {};
  if (!BoundField() && X == 0 && FUserEmptied) return {};
  return ValueToText(X);
}

void TkvDBCustomDateTimePicker::RefreshText() {
  if (Modified()) {
    SetText(ValueToText(FValue));
  } else if (IsBound()) {
    SetText(GetDisplayText(FValue));
  } else if (!IsUnboundButConfigured() && (FValue != 0 || (IsTimeOnly() && !FUserEmptied))) {
    // Midnight is a time like any other: a time picker that holds 00:00:00 (not emptied by the
    // user) keeps showing it, or the host would commit an empty text for it.
    SetText(GetDisplayText(FValue));
  } else {
    SetText("");
  }
  Invalidate();
}

void TkvDBCustomDateTimePicker::SelectCurrentField(TDateTime X) {
  if (!CanEdit()) {
    SelectAll();
  } else if (GetDroppedDown()) {
    Perform(EM_SETSEL, 0, 0);
  } else {
    const TkvFieldInfo Info = GetFieldInfo(FCurrentField, X);
    Perform(EM_SETSEL, WPARAM(Info.Position), LPARAM(Info.Position + Info.Length));
  }
  // The selected field marks the position: no caret on top of it.
  ShowCaretNow();
  HideCaretNow();
}

bool TkvDBCustomDateTimePicker::CanEdit() const {
  if (ReadOnly()) return false;
  if (TField* Field = BoundField()) {
    if (Field->ReadOnly() || !Field->DataSet() || !Field->DataSet()->CanModify()) return false;
  }
  if (TDataSource* Source = FDataLink->DataSource(); Source && !Source->AutoEdit())
    return Source->State() == dsEdit || Source->State() == dsInsert;
  return true;
}

bool TkvDBCustomDateTimePicker::CanModifyField() const {
  TField* Field = BoundField();
  if (!Field) return true;
  TDataSet* DataSet = Field->DataSet();
  if (!DataSet) return false;
  if (DataSet->State() == dsEdit || DataSet->State() == dsInsert) return true;
  if ((Field->Calculated() || Field->Lookup()) && !ReadOnly() && !Field->ReadOnly()) return DataSet->CanModify();
  return false;
}

bool TkvDBCustomDateTimePicker::EditCanModify() {
  if (!IsBound()) return true;
  return FDataLink->Edit();
}

void TkvDBCustomDateTimePicker::SetModifiedState(bool Flag) {
  TField* Field = BoundField();
  if (Flag && Field && Field->ReadOnly()) return;
  if (Flag && Field) FDataLink->Modified();
  SetModified(Flag);
}

// ---- the value ---------------------------------------------------------------------------------

TDateTime TkvDBCustomDateTimePicker::EffectiveMaxDate() const {
  return WholeDays(FMaxDate) != 0 ? FMaxDate : EncodeDate(9999, 12, 31);
}

TDateTime TkvDBCustomDateTimePicker::EffectiveMinDate() const {
  // Day 1, not day 0: 0 stands for "no value".
  return WholeDays(FMinDate) != 0 ? FMinDate : 1.0;
}

void TkvDBCustomDateTimePicker::StoreValue(TDateTime X) {
  const bool WasModified = Modified();
  if (IsBound() || X != 0) {
    if (X == FValue && FValue != 0) return;
  } else {
    FUserEmptied = false;
  }
  if (X == 0) {
    FValue = 0;
    if (!IsTimeOnly()) {
      if (!Text().empty()) SetText("");
      return;
    }
  }
  try {
    TField* Field = BoundField();
    if (X != 0 && (WholeDays(X) != 0 || !IsTimeOnly()) && (!Field || !Field->IsNull())) {
      if (FMaxDate != 0 && WholeDays(X) > FMaxDate) RaiseAboveMax(FMaxDate);
      if (FMinDate != 0 && X < FMinDate) RaiseBelowMin(FMinDate);
    }
    FValue = X;
    const std::string Shown = ValueToText(X);
    if (Text() != Shown) SetText(Shown);
    SelectCurrentField(X);
    SetModified(WasModified);
  } catch (...) {
    // The new value is taken and shown all the same: a field value outside the range must still
    // be seen as it is.
    FValue = X;
    SetText(ValueToText(X));
    SelectCurrentField(X);
    throw;
  }
}

TDateTime TkvDBCustomDateTimePicker::Date() const {
  const_cast<TkvDBCustomDateTimePicker*>(this)->FinishDigitEdit();
  if (IsTimeOnly()) return 0;
  return WholeDays(FValue);
}

void TkvDBCustomDateTimePicker::SetDate(TDateTime Value) {
  if (IsTimeOnly()) return;
  if (!IsBound() && Value == 0) {
    FUserEmptied = false;
    StoreValue(0);
    return;
  }
  if (WholeDays(Value) == WholeDays(FValue)) return;
  const TDateTime Candidate = Combine(WholeDays(Value), Fraction(FValue));
  if (Candidate == 0) {
    StoreValue(0);
    Invalidate();
    return;
  }
  try {
    // Whole days against the maximum, as everywhere else: a value late on the last allowed day
    // is allowed.
    if (FMaxDate != 0 && WholeDays(Candidate) > FMaxDate) RaiseAboveMax(FMaxDate);
    if (FMinDate != 0 && Candidate < FMinDate) RaiseBelowMin(FMinDate);
    StoreValue(Candidate);
  } catch (...) {
    StoreValue(FValue);
    throw;
  }
}

TDateTime TkvDBCustomDateTimePicker::Time() const {
  const_cast<TkvDBCustomDateTimePicker*>(this)->FinishDigitEdit();
  if (IsDateOnly()) return 0;
  return Fraction(FValue);
}

void TkvDBCustomDateTimePicker::SetTime(TDateTime Value) {
  if (IsDateOnly()) return;
  if (!IsBound() && Value == 0) {
    FUserEmptied = false;
    StoreValue(0);
    return;
  }
  if (Fraction(Value) == Fraction(FValue)) return;
  const TDateTime Candidate = Combine(WholeDays(FValue), Fraction(Value));
  StoreValue(Candidate);
  if (Candidate == 0) Invalidate();
}

void TkvDBCustomDateTimePicker::SetDateTimeParts(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
  if (IsTimeOnly()) {
    TDateTime TimeOfDay = 0;
    if (TryEncodeTime(Hour, Min, Sec, MSec, TimeOfDay)) SetTime(TimeOfDay);
    return;
  }
  const int Days = kvDaysOfMonth(Year, Month);
  if (Days > 0 && Day > Days) Day = Days;
  TDateTime DatePart = 0, TimePart = 0;
  if (!TryEncodeDate(Year, Month, Day, DatePart) || !TryEncodeTime(Hour, Min, Sec, MSec, TimePart)) {
    RefreshText();
    return;
  }
  const TDateTime Candidate = Combine(DatePart, TimePart);
  const TDateTime Whole = WholeDays(Candidate);
  if (Whole >= WholeDays(EffectiveMinDate()) && Whole <= WholeDays(EffectiveMaxDate()))
    StoreValue(Candidate);
  else
    RefreshText();
}

void TkvDBCustomDateTimePicker::Change() {
  if (FMarkModifiedOnChange) SetModified(true);
  TCustomEdit::Change();
  if (IsBound()) FDataLink->Modified();
  if (Text().empty()) {
    // The part the picker shows is gone with its text.
    FValue = IsTimeOnly() ? WholeDays(FValue) : Fraction(FValue);
  }
}

// ---- data link ---------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::DataChange(TObject*) {
  TField* Field = BoundField();
  if (Field) {
    if (Field->Alignment() != FFieldAlignment) {
      SetText("");
      FFieldAlignment = Field->Alignment();
    }
    const TDataSetState State = FDataLink->DataSource() ? FDataLink->DataSource()->State() : dsInactive;
    if (Field->IsNull()) {
      StoreValue(0);
      SetText("");
      ShowCaretNow();
      if (State == dsBrowse || State == dsInsert) {
        FCurrentField = 1;
        SelectAll();
      }
    } else {
      // Straight from the field, without the range check: a stored value outside the range
      // shows as it is.
      FValue = Field->AsDateTime();
      SetText(GetDisplayText(FValue));
      if (State == dsBrowse) {
        FCurrentField = 1;
        SelectAll();
      }
      Invalidate();
    }
    if (Text().empty()) {
      SetText(GetDisplayText(Field->AsDateTime()));
      ShowCaretNow();
    }
    return;
  }
  FFieldAlignment = taLeftJustify;
  if (IsUnboundButConfigured()) {
    RefreshText();
    if (Focused()) ShowCaretNow();
  }
}

void TkvDBCustomDateTimePicker::UpdateData(TObject*) {
  TField* Field = BoundField();
  if (!Field || ReadOnly() || !Modified()) return;
  if (!FDataLink->Editing() && !Field->Calculated() && !Field->Lookup()) return;
  if (FDigitEntryValue != 0) {
    FValue = FDigitEntryValue;
    FDigitEntryValue = 0;
  }
  if (HasNoTimePart()) {
    StoreValue(FValue);
    // The field keeps its own time of day.
    FValue = Combine(WholeDays(FValue), Fraction(Field->AsDateTime()));
    if (FValue == 0) FUserEmptied = true;
  } else if (IsTimeOnly()) {
    // The field keeps its own date.
    FValue = Combine(WholeDays(Field->AsDateTime()), Fraction(FValue));
    if (FValue == 0 && Text().empty())
      Field->Clear();
    else
      Field->SetAsDateTime(FValue);
    return;
  }
  if (FValue != 0)
    Field->SetAsDateTime(FValue);
  else if (FUserEmptied)
    Field->Clear();
}

void TkvDBCustomDateTimePicker::CommitToField() {
  const bool WasModified = Modified();
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    SelectCurrentField();
    if (CanFocus()) SetFocus();
    SetModified(WasModified);
    throw;
  }
}

void TkvDBCustomDateTimePicker::ResetValue() {
  if (IsBound())
    FDataLink->Reset();
  else
    StoreValue(FEntryValue);
  SetModified(false);
  FCurrentField = 1;
}

// ---- caret and measuring -----------------------------------------------------------------------

void TkvDBCustomDateTimePicker::ShowCaretNow() {
  if (HandleAllocated() && GetCaretInfo().Window == HandleIfAllocated()) ShowCaret(HandleIfAllocated());
}

void TkvDBCustomDateTimePicker::HideCaretNow() {
  if (HandleAllocated() && GetCaretInfo().Window == HandleIfAllocated()) HideCaret(HandleIfAllocated());
}

int TkvDBCustomDateTimePicker::TextWidth(const std::string& Value) const {
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font()->Handle());
  SIZE Size{};
  GetTextExtentPoint32A(DC, Value.c_str(), int(Value.size()), &Size);
  SelectObject(DC, Old);
  DeleteDC(DC);
  return Size.cx;
}

// ---- messages ----------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::Dispatch(TMessage& Message) {
  if (Message.Msg == kvDatePickerDestroyCalendarMessage()) {
    if (!FFocusFlag) DestroyCalendar();
    return;
  }
  if (DispatchDropDownKey(Message)) return;
  switch (Message.Msg) {
    case CM_ENTER:
      CMEnter(Message);
      return;
    case CM_EXIT:
      CMExit(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocusPicker(Message);
      return;
    case WM_KILLFOCUS:
      TCustomEdit::Dispatch(Message);
      CloseUp(true);
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDownPicker(Message);
      return;
    case WM_LBUTTONDBLCLK:
      TWinControl::Dispatch(Message);
      SelectAll();
      return;
    case WM_LBUTTONUP:
      if (HandleAllocated() && GetCapture() == HandleIfAllocated()) ReleaseCapture();
      TCustomEdit::Dispatch(Message);
      return;
    case WM_CUT:
      WMCutPicker(Message);
      return;
    case WM_PASTE:
      WMPastePicker(Message);
      return;
    case CM_GETDATALINK:
      Message.Result = LRESULT(FDataLink.get());
      return;
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    case WM_SIZE:
      TCustomEdit::Dispatch(Message);
      LayoutButton();
      return;
    default:
      break;
  }
  if (DispatchPaint(Message)) return;
  if (GetDroppedDown() && Message.Msg == WM_KEYDOWN && ForwardKeyToCalendar(Message)) return;
  TCustomEdit::Dispatch(Message);
}

void TkvDBCustomDateTimePicker::SetFocused(bool Value) {
  if (FFocusFlag == Value) return;
  FFocusFlag = Value;
  if (FFieldAlignment != taLeftJustify) Invalidate();
  if (IsBound()) FDataLink->Reset();
}

void TkvDBCustomDateTimePicker::CMEnter(TMessage& Message) {
  SetEditRect();
  SetFocused(true);
  if (Parent() && kvInheritsFromClassName(&Parent()->ClassType(), "TCustomGrid")) FCurrentField = 1;
  if (TField* Field = BoundField(); Field && Field->IsNull()) {
    SetText("");
  } else {
    FEntryValue = FValue;
    SetText(GetDisplayText(FValue));
    SelectCurrentField();
  }
  TCustomEdit::Dispatch(Message);  // OnEnter
  if (FValue != 0 && !Text().empty()) {
    Invalidate();
    if (!FFocusFromButton) SelectAll();
  }
  if (!IsBound()) SetModified(false);
  ButtonFocusChanged();
}

void TkvDBCustomDateTimePicker::CMExit(TMessage& Message) {
  FinishDigitEdit();
  if (Modified()) CommitToField();
  TCustomEdit::Dispatch(Message);  // OnExit
  if (HandleAllocated()) PostMessageA(HandleIfAllocated(), kvDatePickerDestroyCalendarMessage(), 0, 0);
  SetFocused(false);
  ButtonFocusChanged();
  Invalidate();
}

void TkvDBCustomDateTimePicker::WMSetFocusPicker(TMessage& Message) {
  TCustomEdit::Dispatch(Message);
  const bool InGrid = Parent() && kvInheritsFromClassName(&Parent()->ClassType(), "TCustomGrid");
  if (InGrid && UsesEditPaintWhenFocused()) return;
  TField* Field = BoundField();
  if ((!Field || !Field->IsNull()) && !Text().empty() && !FDigitEntryOpen) HideCaretNow();
}

void TkvDBCustomDateTimePicker::WMLButtonDownPicker(TMessage& Message) {
  if (Text().empty()) {
    if (FUserEmptied) ShowCaretNow();
    TCustomEdit::Dispatch(Message);
    return;
  }
  SendCancelMode(this);
  TWinControl::Dispatch(Message);  // click bookkeeping and OnMouseDown
  if (!HandleAllocated()) return;
  if (!Focused() && CanFocus()) SetFocus();
  SetCapture(HandleIfAllocated());
  if (FDigitEntryValue != 0) {
    FValue = FDigitEntryValue;
    RefreshText();
    FDigitEntryValue = 0;
    FDigitEntryOpen = false;
  }
  FinishDigitEdit();
  const TDateTime Reference = GetDroppedDown() ? CalendarDateTime() : FValue;
  const int X = Message.XPos() - EditRect().left;
  const size_t Shown = Utf8Length(Text());
  const bool AutoTime = IsAutoTimeFormat();
  for (int N = 1;; ++N) {
    const TkvFieldInfo Info = GetFieldInfo(N, Reference);
    if (Info.Text.empty()) break;
    FCurrentField = N;
    if (size_t(Info.Position + Info.Length) >= Shown || X < TextWidth(Info.Text) ||
        (AutoTime && Utf8Length(Info.Text) >= Shown))
      break;
  }
  SelectCurrentField();
}

void TkvDBCustomDateTimePicker::WMCutPicker(TMessage& Message) {
  EditCanModify();
  TCustomEdit::Dispatch(Message);
  if (!CanEdit()) return;
  StoreValue(0);
  SetText("");
  Update();
  ShowCaretNow();
  FCurrentField = 1;
  FUserEmptied = true;
  SetModified(true);
}

void TkvDBCustomDateTimePicker::WMPastePicker(TMessage& Message) {
  if (!CanEdit()) return;
  EditCanModify();
  const std::string Before = Text();
  SelectAll();
  TCustomEdit::Dispatch(Message);
  try {
    const std::string Pasted = Text();
    if (IsTimeOnly()) {
      const TDateTime Value = kvTimeTextToValue(Pasted);
      if (Value != 0) StoreValue(Value);
    } else {
      TDateTime Value = kvDateTimeTextToValue(Pasted);
      if (WholeDays(Value) == 0) Value = kvDateTextToValue(Pasted);
      if (WholeDays(Value) != 0) StoreValue(Value);
    }
  } catch (const Exception&) {
    // A text that does not read, or a value out of range: the old text comes back silently.
    SetText(Before);
  }
  RefreshText();
  SelectCurrentField();
  SetModified(true);
}

void TkvDBCustomDateTimePicker::DoMouseEnter() {
  try {
    if (OnMouseEnter) OnMouseEnter(this);
  } catch (const Exception&) {
  }
}

void TkvDBCustomDateTimePicker::DoMouseLeave() {
  try {
    if (OnMouseLeave) OnMouseLeave(this);
  } catch (const Exception&) {
  }
}
