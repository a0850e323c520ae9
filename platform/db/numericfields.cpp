#include "platform/db/numericfields.h"

#include <cmath>

#include "platform/db/dbconsts.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TNumericField)
KORCAM_REGISTER_CLASS(TIntegerField)
KORCAM_REGISTER_CLASS(TSmallintField)
KORCAM_REGISTER_CLASS(TWordField)
KORCAM_REGISTER_CLASS(TAutoIncField)
KORCAM_REGISTER_CLASS(TLargeintField)
KORCAM_REGISTER_CLASS(TFloatField)
KORCAM_REGISTER_CLASS(TCurrencyField)
KORCAM_REGISTER_CLASS(TBCDField)
KORCAM_REGISTER_CLASS(TFMTBCDField)

namespace {

// Halves go to the even neighbour, as the class library rounds.
int64_t RoundToInteger(double Value) {
  return static_cast<int64_t>(std::nearbyint(Value));
}

bool IsDigitOrSign(char32_t Char) {
  return (Char >= '0' && Char <= '9') || Char == '+' || Char == '-';
}

bool IsFloatChar(char32_t Char) {
  return IsDigitOrSign(Char) || Char == 'E' || Char == 'e' ||
         Char == static_cast<unsigned char>(FormatSettings().DecimalSeparator);
}

std::string FloatText(double Value, const std::string& Format, bool Currency, bool DisplayText,
                      int Precision) {
  if (!Format.empty()) return FormatFloat(Format, Value);
  if (Currency) {
    const int Decimals = FormatSettings().CurrencyDecimals;
    return FloatToStrF(Value, DisplayText ? ffCurrency : ffFixed, Precision, Decimals);
  }
  return FloatToStrF(Value, ffGeneral, Precision, 0);
}

double ParseFloat(const TField& Field, const std::string& Text) {
  long double Value = 0;
  if (!TryStrToFloat(Text, Value)) DatabaseErrorFmt(SInvalidFloatValue, {Text, Field.DisplayName()});
  return static_cast<double>(Value);
}

int64_t ParseInteger(const TField& Field, const std::string& Text) {
  int64_t Value = 0;
  if (!TryStrToInt64(Text, Value)) DatabaseErrorFmt(SInvalidIntegerValue, {Text, Field.DisplayName()});
  return Value;
}

}  // namespace

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) {
  FAlignment = taRightJustify;
}

void TNumericField::SetDisplayFormat(const std::string& Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& Value) {
  if (FEditFormat == Value) return;
  FEditFormat = Value;
  PropertyChanged(false);
}

const std::string& TNumericField::TextFormat(bool DisplayText) const {
  return DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
}

// ---------------------------------------------------------------------------------------------

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftInteger);
}

void TIntegerField::SetMaxValue(int32_t Value) {
  FMaxValue = Value;
}
void TIntegerField::SetMinValue(int32_t Value) {
  FMinValue = Value;
}

bool TIntegerField::IsValidChar(char32_t InputChar) const {
  return IsDigitOrSign(InputChar);
}

int64_t TIntegerField::GetAsLargeInt() const {
  TFieldValue Value;
  return GetData(Value) ? Value.Integer() : 0;
}

int32_t TIntegerField::GetAsInteger() const {
  return static_cast<int32_t>(GetAsLargeInt());
}

std::string TIntegerField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? IntToStr(Value.Integer()) : std::string();
}

void TIntegerField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsLargeIntValue(ParseInteger(*this, Value));
}

void TIntegerField::SetAsLargeIntValue(int64_t Value) {
  const bool OwnRange = FMinValue != 0 || FMaxValue != 0;
  const int64_t Min = OwnRange ? FMinValue : TypeMin();
  const int64_t Max = OwnRange ? FMaxValue : TypeMax();
  if (Value < Min || Value > Max) RangeError(IntToStr(Value), IntToStr(Min), IntToStr(Max));
  SetData(TFieldValue(Value));
}

void TIntegerField::SetAsFloatValue(double Value) {
  SetAsLargeIntValue(RoundToInteger(Value));
}

void TIntegerField::GetText(std::string& Text, bool DisplayText) const {
  TFieldValue Value;
  if (!GetData(Value)) {
    Text.clear();
    return;
  }
  const std::string& Format = TextFormat(DisplayText);
  Text = Format.empty() ? IntToStr(Value.Integer())
                        : FormatFloat(Format, static_cast<long double>(Value.Integer()));
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) {
  SetDataType(ftSmallint);
}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) {
  SetDataType(ftWord);
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) {
  SetDataType(ftAutoInc);
}

// ---------------------------------------------------------------------------------------------

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftLargeint);
}

void TLargeintField::SetMaxValue(int64_t Value) {
  FMaxValue = Value;
}
void TLargeintField::SetMinValue(int64_t Value) {
  FMinValue = Value;
}

bool TLargeintField::IsValidChar(char32_t InputChar) const {
  return IsDigitOrSign(InputChar);
}

int64_t TLargeintField::GetAsLargeInt() const {
  TFieldValue Value;
  return GetData(Value) ? Value.Integer() : 0;
}

int32_t TLargeintField::GetAsInteger() const {
  return static_cast<int32_t>(GetAsLargeInt());
}

std::string TLargeintField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? IntToStr(Value.Integer()) : std::string();
}

void TLargeintField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsLargeIntValue(ParseInteger(*this, Value));
}

void TLargeintField::SetAsLargeIntValue(int64_t Value) {
  if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
    RangeError(IntToStr(Value), IntToStr(FMinValue), IntToStr(FMaxValue));
  SetData(TFieldValue(Value));
}

void TLargeintField::SetAsFloatValue(double Value) {
  SetAsLargeIntValue(RoundToInteger(Value));
}

void TLargeintField::GetText(std::string& Text, bool DisplayText) const {
  TFieldValue Value;
  if (!GetData(Value)) {
    Text.clear();
    return;
  }
  const std::string& Format = TextFormat(DisplayText);
  Text = Format.empty() ? IntToStr(Value.Integer())
                        : FormatFloat(Format, static_cast<long double>(Value.Integer()));
}

// ---------------------------------------------------------------------------------------------

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFloat);
}

void TFloatField::SetCurrency(bool Value) {
  if (FCurrency == Value) return;
  FCurrency = Value;
  PropertyChanged(false);
}

void TFloatField::SetMaxValue(double Value) {
  FMaxValue = Value;
}
void TFloatField::SetMinValue(double Value) {
  FMinValue = Value;
}

void TFloatField::SetPrecision(int32_t Value) {
  if (Value < 2) Value = 2;
  if (Value > 15) Value = 15;
  if (FPrecision == Value) return;
  FPrecision = Value;
  PropertyChanged(false);
}

bool TFloatField::IsValidChar(char32_t InputChar) const {
  return IsFloatChar(InputChar);
}

double TFloatField::GetAsFloat() const {
  TFieldValue Value;
  return GetData(Value) ? Value.Float() : 0.0;
}

int32_t TFloatField::GetAsInteger() const {
  return static_cast<int32_t>(RoundToInteger(GetAsFloat()));
}

int64_t TFloatField::GetAsLargeInt() const {
  return RoundToInteger(GetAsFloat());
}

std::string TFloatField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? FloatToStr(Value.Float()) : std::string();
}

void TFloatField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsFloatValue(ParseFloat(*this, Value));
}

void TFloatField::SetAsFloatValue(double Value) {
  if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
    RangeError(FloatToStr(Value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  SetData(TFieldValue(Value));
}

void TFloatField::GetText(std::string& Text, bool DisplayText) const {
  TFieldValue Value;
  if (!GetData(Value)) {
    Text.clear();
    return;
  }
  Text = FloatText(Value.Float(), TextFormat(DisplayText), FCurrency, DisplayText, FPrecision);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  FCurrency = true;
}

// ---------------------------------------------------------------------------------------------

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftBCD);
  TField::SetSize(4);
}

int32_t TBCDField::Size() const {
  return TField::Size();
}

void TBCDField::SetSize(int32_t Value) {
  TField::SetSize(Value);
}

void TBCDField::SetCurrency(bool Value) {
  if (FCurrency == Value) return;
  FCurrency = Value;
  PropertyChanged(false);
}

void TBCDField::SetMaxValue(double Value) {
  FMaxValue = Value;
}
void TBCDField::SetMinValue(double Value) {
  FMinValue = Value;
}
void TBCDField::SetPrecision(int32_t Value) {
  FPrecision = Value;
}

bool TBCDField::IsValidChar(char32_t InputChar) const {
  return IsFloatChar(InputChar);
}

double TBCDField::GetAsFloat() const {
  TFieldValue Value;
  return GetData(Value) ? Value.Float() : 0.0;
}

int32_t TBCDField::GetAsInteger() const {
  return static_cast<int32_t>(RoundToInteger(GetAsFloat()));
}

int64_t TBCDField::GetAsLargeInt() const {
  return RoundToInteger(GetAsFloat());
}

std::string TBCDField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? FloatToStr(Value.Float()) : std::string();
}

void TBCDField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsFloatValue(ParseFloat(*this, Value));
}

void TBCDField::SetAsFloatValue(double Value) {
  // A fixed-point value keeps Size decimals, rounded half away from zero.
  const int Decimals = Size() > 0 && Size() < 16 ? Size() : 4;
  const double Scale = std::pow(10.0, Decimals);
  Value = std::round(Value * Scale) / Scale;
  if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
    RangeError(FloatToStr(Value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  SetData(TFieldValue(Value));
}

void TBCDField::GetText(std::string& Text, bool DisplayText) const {
  TFieldValue Value;
  if (!GetData(Value)) {
    Text.clear();
    return;
  }
  Text = FloatText(Value.Float(), TextFormat(DisplayText), FCurrency, DisplayText, 15);
}

TFMTBCDField::TFMTBCDField(TComponent* AOwner) : TBCDField(AOwner) {
  SetDataType(ftFMTBcd);
}
