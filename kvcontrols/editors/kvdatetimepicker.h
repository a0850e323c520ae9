#pragma once
// TkvDBDateTimePicker: the library's date/time editor. A one-line edit that shows a date, a time
// or both in a display format, lets the user change the value one field at a time (day, month,
// year, hour, minute, second, am/pm) with the arrow keys, typed digits and letters, and drops a
// month calendar down from a button at its right edge. Unbound, the value lives in the control;
// bound, it follows a date, time or date-time field through a field data link.
//
// The value is a TDateTime; 0 means "no value". Which parts it stands for (date and time, date
// only, time only) comes from the bound field's type, or from UnboundDataType. The option tables
// of the webcam program place unbound time-only pickers ("hh:mm:ss") and read their Time.
//
// Files: kvdatetimepicker.cpp (value, text, data link, focus, mouse), kvdatetimepickerkeys.cpp
// (keyboard editing), kvdatetimepickerpaint.cpp (painting and layout), kvdatetimepickerformat.h
// (the format engine without a window).

#include <memory>
#include <string>

#include "kvcontrols/editors/kvdatetimepickerformat.h"
#include "kvcontrols/editors/kvmonthcalendar.h"
#include "kvcontrols/editors/kvmonthcalendaroptions.h"
#include "platform/classes/alignment.h"
#include "platform/db/datasource.h"
#include "platform/forms/buttons.h"
#include "platform/forms/edit.h"
#include "platform/forms/monthcalendar.h"

class TField;
class TFieldDataLink;
class TkvDateComboButton;
class TkvPopupCalendar;
// The button's host window; each editor unit has a private class of that name.
namespace kvdatetimepicker {
class TBtnWinControl;
}

KORCAM_ENUM(TkvDTEditDataType, kvDTEdtDateTime, kvDTEdtDate, kvDTEdtTime)
// The button styles, as the combo base has them. Kept in a namespace of this unit so that a file
// including both editors' headers sees no second global definition.
namespace kvdbdatetimepicker {
KORCAM_ENUM(TkvComboButtonStyle, cbsEllipsis, cbsDownArrow, cbsCustom)
}  // namespace kvdbdatetimepicker
KORCAM_ENUM(TkvDTCalAlignment, kvdtaLeft, kvdtaRight, kvdtaCenter)


// How the drop-down calendar looks.
class TkvCalendarOptions : public TPersistent {
  KORCAM_CLASS(TkvCalendarOptions, TPersistent)

 public:
  explicit TkvCalendarOptions(TControl* Control = nullptr);
  ~TkvCalendarOptions() override;

  PLAIN_PROPERTY(TkvDTCalAlignment, Alignment, kvdtaLeft)
  OWNED_PROPERTY(TkvDateTimeColors, Colors)
  OWNED_PROPERTY(TFont, Font)
  PLAIN_PROPERTY(TkvMonthOptions, Options, mdoDayState)
  OWNED_PROPERTY(TkvPopupYearOptions, PopupYearOptions)
  PLAIN_PROPERTY(TkvCalDayOfWeek, FirstDayOfWeek, kvdowLocaleDefault)

 public:
  // Not published; nothing sets them. A size above the calendar's minimum would replace it.
  int CalendarWidth = 0;
  int CalendarHeight = 0;
};

// The minute step of the arrow keys.
class TkvDTInterval : public TPersistent {
  KORCAM_CLASS(TkvDTInterval, TPersistent)

 public:
  TkvDTInterval() = default;
  PLAIN_PROPERTY(int32_t, MinutesInterval, 1)
  PLAIN_PROPERTY(bool, RoundMinutes, false)
};

class TkvDBCustomDateTimePicker : public TCustomEdit {
  KORCAM_CLASS(TkvDBCustomDateTimePicker, TCustomEdit)

 public:
  explicit TkvDBCustomDateTimePicker(TComponent* AOwner);
  ~TkvDBCustomDateTimePicker() override;

  // ---- published, in streaming order (Date and Time before UnboundDataType and DisplayFormat) --
  PLAIN_PROPERTY(bool, AutoFillDateAndTime, false)
  OWNED_PROPERTY(TkvCalendarOptions, CalendarAttributes)
  PROPERTY(kvdbdatetimepicker::TkvComboButtonStyle, ButtonStyle, kvdbdatetimepicker::cbsDownArrow)
  ACCESSOR_PROPERTY(std::string, DataField, "")
  PROPERTY(TDTDateFormat, DateFormat, dfShort)
  ACCESSOR_PROPERTY(TDataSource*, DataSource, nullptr)
  TDateTime Date() const;
  void SetDate(TDateTime Value);
  PUBLISH_NODEFAULT(TkvDBCustomDateTimePicker, TDateTime, Date)
  NODEFAULT_PROPERTY(int32_t, Epoch, 1950)
  PROPERTY(int32_t, ButtonWidth, 0)
  TDateTime Time() const;
  void SetTime(TDateTime Value);
  PUBLISH_NODEFAULT(TkvDBCustomDateTimePicker, TDateTime, Time)
  PROPERTY(TDateTime, MaxDate, 0)
  PROPERTY(TDateTime, MinDate, 0)
  OWNED_PROPERTY(TkvDTInterval, Interval)
  PUBLISH_PROPERTY(TkvDBCustomDateTimePicker, bool, ReadOnly, false)
  NODEFAULT_PROPERTY(bool, ShowButton, true)
  PROPERTY(TkvDTEditDataType, UnboundDataType, kvDTEdtDateTime)
  PROPERTY(std::string, DisplayFormat, "")
  EVENT(TCalcBoldDayEvent, OnCalcBoldDay)
  EVENT(TNotifyEvent, OnCloseUp)
  EVENT(TNotifyEvent, OnDropDown)

 public:
  // ReadOnly reads the data link's; the writer sets the link's and the edit's.
  bool ReadOnly() const;
  void SetReadOnly(bool Value);

  // ---- the value -----------------------------------------------------------------------------
  TDateTime Value() const { return FValue; }
  // Every path that changes the value ends here: range check, text, selection (Modified kept).
  void StoreValue(TDateTime X);
  // Sets the value from its parts; a candidate outside the effective range only refreshes the
  // text (never raises for the range).
  void SetDateTimeParts(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
  // MaxDate / MinDate, or 9999-12-31 / 1899-12-31 when not set.
  TDateTime EffectiveMaxDate() const;
  TDateTime EffectiveMinDate() const;

  // ---- kind ----------------------------------------------------------------------------------
  bool IsDateOnly() const;
  bool IsTimeOnly() const;
  bool IsDateTime() const;
  bool HasNoTimePart() const;
  // A field is bound.
  bool IsBound() const { return BoundField() != nullptr; }
  // DataSource or DataField set but no field resolved: shows nothing and ignores typing.
  bool IsUnboundButConfigured() const;
  TField* BoundField() const;
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  // ---- format and text -----------------------------------------------------------------------
  std::string GetDisplayFormat(bool UseDefaults) const;
  std::string FullDisplayFormat() const { return GetDisplayFormat(true); }
  std::string ExpandedFormat() const;
  TkvFieldSet FieldSet() const;
  int CountFields() const;
  TkvFieldInfo GetFieldInfo(int N, TDateTime X) const;
  bool IsAutoTimeFormat() const;
  int VisibleFieldCount() const;
  bool IsFullTextShown() const;
  std::string ValueToText(TDateTime X) const;
  std::string GetDisplayText(TDateTime X) const;
  void RefreshText();
  void SelectCurrentField(TDateTime X);
  void SelectCurrentField() { SelectCurrentField(FValue); }
  bool CanEdit() const;
  // Puts the data link into edit state; whether it edits now (always true unbound).
  bool EditCanModify();
  void ResetValue();
  void CommitToField();
  // Completes a digit entry in progress.
  void FinishDigitEdit();

  // ---- state the tests and hosts read -----------------------------------------------------------
  int CurrentField() const { return FCurrentField; }
  void SetCurrentField(int Value) { FCurrentField = Value; }
  bool DigitEntryOpen() const { return FDigitEntryOpen; }
  TDateTime DigitEntryValue() const { return FDigitEntryValue; }
  TDateTime EntryValue() const { return FEntryValue; }
  bool UserEmptied() const { return FUserEmptied; }
  bool FocusFlag() const { return FFocusFlag; }

  // ---- virtual operations, in slot order -----------------------------------------------------
  virtual bool StoresButtonGlyph() const { return FButtonStyle == kvdbdatetimepicker::cbsCustom; }
  // Paints the button face; cbsCustom leaves DoDefault set so the speed button paints its glyph.
  virtual void DrawButtonFace(TCanvas* Canvas, const RECT& Rect, bool& DoDefault, TControlState ControlState,
                              TButtonState ButtonState);
  virtual void CloseUp(bool Accept);
  virtual bool GetDroppedDown() const;
  virtual bool CanModifyField() const;
  virtual void GetTextRect(RECT& Rect) const;
  virtual void SetEditRect();
  virtual bool UsesEditPaintWhenFocused() const { return true; }
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  virtual void DropDown();

  // The button host's width, and its left edge less 1 (where right-aligned text ends).
  int GetButtonAreaWidth() const;
  int GetButtonAreaLeft() const;
  TkvDateComboButton* Button() const { return FButton; }
  TWinControl* ButtonHost() const;
  bool ButtonHot() const { return FButtonHot; }
  // The drop-down calendar (made at the first drop-down, kept until the focus leaves), or null.
  TkvPopupCalendar* Calendar() const { return FCalendar; }

  void Dispatch(TMessage& Message) override;
  void Invalidate() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void Change() override;
  void SetModifiedState(bool Flag);

 private:
  // kvdatetimepicker.cpp
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void WMSetFocusPicker(TMessage& Message);
  void WMLButtonDownPicker(TMessage& Message);
  void WMCutPicker(TMessage& Message);
  void WMPastePicker(TMessage& Message);
  void SetFocused(bool Value);
  void ShowCaretNow();
  void HideCaretNow();
  void ReplaceText(const std::string& Text);
  int TextWidth(const std::string& Text) const;
  bool HasFocusNow() const;

  // kvdatetimepickerpaint.cpp
  friend class TkvDateComboButton;
  void CreateButton();
  void PaintPicker(HDC DC);
  void ButtonClick(TObject* Sender);
  void LayoutButton();
  void ButtonStyleChanged();
  void ButtonFocusChanged();
  bool DispatchPaint(TMessage& Message);

  // kvdatetimepickerdropdown.cpp
  friend class ::TkvPopupCalendar;
  void DestroyCalendar();
  void PlaceCalendar();
  bool DispatchDropDownKey(TMessage& Message);
  TDateTime CalendarDateTime() const;
  bool ForwardKeyToCalendar(TMessage& Message);
  void CMCancelMode(TMessage& Message);

  // kvdatetimepickerhost.cpp: hands the host's keys to a grid or the inspector; true when the
  // key was taken (Key is then 0).
  bool HandToHost(WORD& Key, TShiftState Shift, bool AltHeld);

  // kvdatetimepickerkeys.cpp
  bool HandleDropDownKeys(WORD& Key, TShiftState Shift, bool AltHeld);
  void HandleKeyMain(WORD& Key, TShiftState Shift, bool AltHeld);
  bool StartingValue(WORD Key, bool AltHeld);
  // The digit-entry step of a typed digit; false when the digit was refused.
  bool EnterDigit(int Digit, TkvDateTimeParts& Parts, const TkvFieldInfo& Field, bool WasOpen, bool& Completed);
  bool ValidateDigitValue(char Kind, const std::string& Token, int V, TkvDateTimeParts& Parts);
  void StepField(const std::string& Token, int Steps, bool Wrap, TkvDateTimeParts& Parts);
  void KeyEnd(const std::string& Token, TkvDateTimeParts& Parts);
  void KeyHome(const std::string& Token, TkvDateTimeParts& Parts);
  bool KeyLetter(char32_t Letter, const std::string& Token, TkvDateTimeParts& Parts);
  void ClearValue();
  void MoveRight();
  void GetWeekBounds(int& First, int& Last) const;
  void KeepPendingValue(const TkvDateTimeParts& Parts);
  void StoreParts(const TkvDateTimeParts& Parts);
  bool PartsInRange(const TkvDateTimeParts& Parts) const;

  std::unique_ptr<TFieldDataLink> FDataLink;
  TDateTime FValue = 0;
  TDateTime FEntryValue = 0;
  TDateTime FDropDownStartValue = 0;
  TDateTime FDigitEntryValue = 0;
  int FCurrentField = 1;
  bool FDigitEntryOpen = false;
  bool FUserEmptied = true;
  bool FFocusFlag = false;
  TAlignment FFieldAlignment = taLeftJustify;
  bool FClosingUp = false;
  bool FFocusFromButton = false;
  bool FEscClosedCalendar = false;
  bool FMarkModifiedOnChange = false;
  bool FSavedShowHint = false;
  bool FButtonHot = false;
  kvdatetimepicker::TBtnWinControl* FButtonHost = nullptr;
  TkvDateComboButton* FButton = nullptr;
  TkvPopupCalendar* FCalendar = nullptr;
};

// The drop-down button: paints the library's arrow (or ellipsis) face.
class TkvDateComboButton : public TSpeedButton {
  KORCAM_CLASS(TkvDateComboButton, TSpeedButton)

 public:
  explicit TkvDateComboButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

 protected:
  void Paint() override;

 private:
  TkvDBCustomDateTimePicker* Picker() const;
};

// The picker's drop-down: a month calendar in a top-level tool window under the picker. It never
// takes the focus (the picker keeps the keys and forwards them), and a click on a day closes it
// accepting that day.
class TkvPopupCalendar : public TkvMonthCalendar {
  KORCAM_CLASS(TkvPopupCalendar, TkvMonthCalendar)

 public:
  explicit TkvPopupCalendar(TComponent* AOwner);
  // The picker frees its owned components before its own destructor runs: it must not keep a
  // calendar that is gone.
  ~TkvPopupCalendar() override;
  void FocusIfVisible() override {}

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void Change() override;
  bool WindowReady() const override { return true; }

 private:
  TkvDBCustomDateTimePicker* FPicker;
};

class TkvDBDateTimePicker : public TkvDBCustomDateTimePicker {
  KORCAM_CLASS(TkvDBDateTimePicker, TkvDBCustomDateTimePicker)

 public:
  explicit TkvDBDateTimePicker(TComponent* AOwner) : TkvDBCustomDateTimePicker(AOwner) {}
};

// The registered message a picker posts itself on exit; it frees the drop-down calendar when the
// focus has not come back in the meantime.
UINT kvDatePickerDestroyCalendarMessage();
