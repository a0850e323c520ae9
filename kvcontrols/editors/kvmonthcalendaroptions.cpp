#include "kvcontrols/editors/kvmonthcalendaroptions.h"

#include "kvcontrols/editors/kvhelpers.h"
#include "platform/forms/monthcalendar.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/format.h"
#include "platform/user/message.h"

KORCAM_REGISTER_CLASS(TkvDateTimeColors)
KORCAM_REGISTER_CLASS(TkvPopupYearOptions)

TColor* TkvDateTimeColors::Slot(int Index) {
  switch (Index) {
    case MCSC_BACKGROUND:
      return &FBackColor;
    case MCSC_TEXT:
      return &FTextColor;
    case MCSC_TITLEBK:
      return &FTitleBackColor;
    case MCSC_TITLETEXT:
      return &FTitleTextColor;
    case MCSC_MONTHBK:
      return &FMonthBackColor;
    case MCSC_TRAILINGTEXT:
      return &FTrailingTextColor;
    default:
      return nullptr;
  }
}

TColor TkvDateTimeColors::Color(int Index) const {
  TColor* Value = const_cast<TkvDateTimeColors*>(this)->Slot(Index);
  return Value ? *Value : clNone;
}

void TkvDateTimeColors::Send(int Index, TColor Value) {
  // Only a calendar's colours go to a window; the picker's copy waits for the next drop-down.
  auto* Calendar = dynamic_cast<TWinControl*>(FControl);
  if (!Calendar || !kvInheritsFromClassName(&Calendar->ClassType(), "TkvMonthCalendar")) return;
  if (!Calendar->Parent() && !Calendar->ParentWindow() && !Calendar->HandleAllocated()) return;
  SendMessageA(Calendar->Handle(), MCM_SETCOLOR, WPARAM(Index), LPARAM(ColorToRGB(Value)));
}

void TkvDateTimeColors::SetColor(int Index, TColor Value) {
  TColor* Target = Slot(Index);
  if (!Target) return;
  Send(Index, Value);
  *Target = Value;
}

void TkvDateTimeColors::ApplyColors() {
  for (int Index = MCSC_BACKGROUND; Index <= MCSC_TRAILINGTEXT; ++Index) Send(Index, Color(Index));
}

void TkvDateTimeColors::SetTextColor(TColor Value) {
  SetColor(MCSC_TEXT, Value);
}
void TkvDateTimeColors::SetTitleBackColor(TColor Value) {
  SetColor(MCSC_TITLEBK, Value);
}
void TkvDateTimeColors::SetTitleTextColor(TColor Value) {
  SetColor(MCSC_TITLETEXT, Value);
}
void TkvDateTimeColors::SetMonthBackColor(TColor Value) {
  SetColor(MCSC_MONTHBK, Value);
}
void TkvDateTimeColors::SetTrailingTextColor(TColor Value) {
  SetColor(MCSC_TRAILINGTEXT, Value);
}

void TkvDateTimeColors::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TkvDateTimeColors*>(Source)) {
    FTextColor = Other->FTextColor;
    FTitleBackColor = Other->FTitleBackColor;
    FTitleTextColor = Other->FTitleTextColor;
    FMonthBackColor = Other->FMonthBackColor;
    FTrailingTextColor = Other->FTrailingTextColor;
    return;
  }
  const std::string SourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError(Format("Cannot assign a %s to a %s", SourceName, ClassName()));
}

void TkvPopupYearOptions::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TkvPopupYearOptions*>(Source)) {
    FYearsPerColumn = Other->FYearsPerColumn;
    FNumberColumns = Other->FNumberColumns;
    FStartYear = Other->FStartYear;
    FShowEditYear = Other->FShowEditYear;
    return;
  }
  TPersistent::Assign(Source);
}
