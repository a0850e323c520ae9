#include "platform/db/textfields.h"

#include <cmath>

#include "platform/db/dbconsts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

KORCAM_REGISTER_CLASS(TStringField)
KORCAM_REGISTER_CLASS(TBooleanField)
KORCAM_REGISTER_CLASS(TDateTimeField)
KORCAM_REGISTER_CLASS(TDateField)
KORCAM_REGISTER_CLASS(TTimeField)

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  TField::SetSize(20);
}

int32_t TStringField::Size() const {
  return TField::Size();
}

void TStringField::SetSize(int32_t Value) {
  TField::SetSize(Value);
}

std::string TStringField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? Value.String() : std::string();
}

void TStringField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  if (Size() > 0 && Utf8Length(Value) > static_cast<size_t>(Size())) {
    SetData(TFieldValue(Value.substr(0, Utf8OffsetOf(Value, static_cast<size_t>(Size())))));
    return;
  }
  SetData(TFieldValue(Value));
}

int32_t TStringField::GetAsInteger() const {
  return StrToInt(GetAsString());
}
void TStringField::SetAsIntegerValue(int32_t Value) {
  SetAsStringValue(IntToStr(Value));
}
int64_t TStringField::GetAsLargeInt() const {
  return StrToInt64(GetAsString());
}
void TStringField::SetAsLargeIntValue(int64_t Value) {
  SetAsStringValue(IntToStr(Value));
}
double TStringField::GetAsFloat() const {
  return static_cast<double>(StrToFloat(GetAsString()));
}
void TStringField::SetAsFloatValue(double Value) {
  SetAsStringValue(FloatToStr(Value));
}

bool TStringField::GetAsBoolean() const {
  const std::string Text = GetAsString();
  return !Text.empty() && (Text[0] == 'T' || Text[0] == 't' || Text[0] == 'Y' || Text[0] == 'y');
}

void TStringField::SetAsBooleanValue(bool Value) {
  SetAsStringValue(Value ? "T" : "F");
}
TDateTime TStringField::GetAsDateTime() const {
  return StrToDateTime(GetAsString());
}
void TStringField::SetAsDateTimeValue(TDateTime Value) {
  SetAsStringValue(DateTimeToStr(Value));
}

void TStringField::GetText(std::string& Text, bool) const {
  Text = GetAsString();
}

// ---------------------------------------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBoolean);
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
  FDisplayValues = Value;
  if (Value.empty()) {
    FTrueText = STextTrue;
    FFalseText = STextFalse;
  } else {
    const size_t Separator = Value.find(';');
    FTrueText = Value.substr(0, Separator);
    FFalseText = Separator == std::string::npos ? std::string() : Value.substr(Separator + 1);
  }
  PropertyChanged(true);
}

bool TBooleanField::GetAsBoolean() const {
  TFieldValue Value;
  return GetData(Value) && Value.Boolean();
}

void TBooleanField::SetAsBooleanValue(bool Value) {
  SetData(TFieldValue(Value));
}

int32_t TBooleanField::GetAsInteger() const {
  return GetAsBoolean() ? 1 : 0;
}

std::string TBooleanField::GetAsString() const {
  TFieldValue Value;
  if (!GetData(Value)) return {};
  return Value.Boolean() ? FTrueText : FFalseText;
}

void TBooleanField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    // An empty text is one of the values when a display text is empty, else null.
    if (FFalseText.empty())
      SetAsBooleanValue(false);
    else if (FTrueText.empty())
      SetAsBooleanValue(true);
    else
      Clear();
    return;
  }
  // Any leading part of a display text selects it, ignoring case; the false text is tried first.
  const std::string Upper = AnsiUpperCase(Value);
  auto Starts = [&](const std::string& Candidate) {
    const std::string Target = AnsiUpperCase(Candidate);
    return Target.compare(0, Upper.size(), Upper) == 0 && Upper.size() <= Target.size();
  };
  if (Starts(FFalseText))
    SetAsBooleanValue(false);
  else if (Starts(FTrueText))
    SetAsBooleanValue(true);
  else
    DatabaseErrorFmt(SInvalidBoolValue, {Value, DisplayName()});
}

void TBooleanField::GetText(std::string& Text, bool) const {
  Text = GetAsString();
}

int32_t TBooleanField::GetDefaultWidth() const {
  return static_cast<int32_t>(std::max(Utf8Length(FTrueText), Utf8Length(FFalseText)));
}

// ---------------------------------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftDateTime);
}

void TDateTimeField::SetDisplayFormat(const std::string& Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  PropertyChanged(false);
}

TDateTime TDateTimeField::GetAsDateTime() const {
  TFieldValue Value;
  return GetData(Value) ? Value.Float() : 0.0;
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value) {
  // The stored part only: the day of a date, the time of day of a time.
  if (DataType() == ftDate) Value = std::trunc(Value);
  if (DataType() == ftTime) Value = std::fabs(Value - std::trunc(Value));
  SetData(TFieldValue(Value));
}

std::string TDateTimeField::GetAsString() const {
  std::string Text;
  GetText(Text, false);
  return Text;
}

void TDateTimeField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  switch (DataType()) {
    case ftDate:
      SetAsDateTimeValue(StrToDate(Value));
      break;
    case ftTime:
      SetAsDateTimeValue(StrToTime(Value));
      break;
    default:
      SetAsDateTimeValue(StrToDateTime(Value));
      break;
  }
}

void TDateTimeField::GetText(std::string& Text, bool DisplayText) const {
  TFieldValue Value;
  if (!GetData(Value)) {
    Text.clear();
    return;
  }
  std::string Format;
  if (DisplayText && !FDisplayFormat.empty())
    Format = FDisplayFormat;
  else if (DataType() == ftDate)
    Format = FormatSettings().ShortDateFormat;
  else if (DataType() == ftTime)
    Format = FormatSettings().LongTimeFormat;
  Text = FormatDateTime(Format, Value.Float());
}

int32_t TDateTimeField::GetDefaultWidth() const {
  return DataType() == ftDateTime ? 18 : 10;
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) {
  SetDataType(ftDate);
}

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) {
  SetDataType(ftTime);
}
