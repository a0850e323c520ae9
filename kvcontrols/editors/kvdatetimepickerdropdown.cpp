// The drop-down calendar of the date/time picker.

#include "kvcontrols/editors/kvdatetimepicker.h"

bool TkvDBCustomDateTimePicker::GetDroppedDown() const {
  return false;
}

void TkvDBCustomDateTimePicker::DropDown() {}

void TkvDBCustomDateTimePicker::CloseUp(bool Accept) {}

void TkvDBCustomDateTimePicker::DestroyCalendar() {}

TDateTime TkvDBCustomDateTimePicker::CalendarDateTime() const {
  return FValue;
}

bool TkvDBCustomDateTimePicker::ForwardKeyToCalendar(TMessage& Message) {
  return false;
}

void TkvDBCustomDateTimePicker::CMCancelMode(TMessage& Message) {
  FinishDigitEdit();
}

bool TkvDBCustomDateTimePicker::HandleDropDownKeys(WORD& Key, TShiftState Shift, bool AltHeld) {
  return false;
}
