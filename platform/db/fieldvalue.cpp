#include "platform/db/fieldvalue.h"

#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"

std::string TFieldValue::ToText() const {
  if (IsNull()) return {};
  if (IsInteger()) return IntToStr(Integer());
  if (IsFloat()) return FloatToStr(Float());
  if (IsBoolean()) return Boolean() ? "True" : "False";
  return String();
}

namespace {

int Sign(double Difference) {
  return Difference < 0 ? -1 : (Difference > 0 ? 1 : 0);
}

int CompareNumbers(const TFieldValue& A, const TFieldValue& B) {
  if (A.IsInteger() && B.IsInteger())
    return A.Integer() < B.Integer() ? -1 : (A.Integer() > B.Integer() ? 1 : 0);
  return Sign(A.Float() - B.Float());
}

// Booleans order as numbers (False 0, True 1) against numbers and other Booleans.
TFieldValue AsNumber(const TFieldValue& Value) {
  if (Value.IsBoolean()) return TFieldValue(static_cast<int64_t>(Value.Boolean() ? 1 : 0));
  return Value;
}

int CompareTexts(const std::string& A, const std::string& B, bool CaseInsensitive) {
  const int Result = CaseInsensitive ? AnsiCompareText(A, B) : CompareStr(A, B);
  return Result < 0 ? -1 : (Result > 0 ? 1 : 0);
}

}  // namespace

int CompareFieldValues(const TFieldValue& A, const TFieldValue& B, bool CaseInsensitive) {
  if (A.IsNull() || B.IsNull()) return (A.IsNull() ? 0 : 1) - (B.IsNull() ? 0 : 1);
  if (A.IsString() && B.IsString()) return CompareTexts(A.String(), B.String(), CaseInsensitive);
  if (!A.IsString() && !B.IsString()) return CompareNumbers(AsNumber(A), AsNumber(B));
  // One text, one number or Boolean.
  const TFieldValue& Text = A.IsString() ? A : B;
  const TFieldValue& Other = A.IsString() ? B : A;
  long double Number = 0;
  int Result;
  if (Other.IsBoolean()) {
    bool Flag = false;
    Result = TryStrToBool(Text.String(), Flag) ? CompareNumbers(AsNumber(TFieldValue(Flag)), AsNumber(Other))
                                               : CompareTexts(Text.String(), Other.ToText(), CaseInsensitive);
  } else if (TryStrToFloat(Text.String(), Number)) {
    Result = CompareNumbers(TFieldValue(static_cast<double>(Number)), Other);
  } else {
    Result = CompareTexts(Text.String(), Other.ToText(), CaseInsensitive);
  }
  return A.IsString() ? Result : -Result;
}
