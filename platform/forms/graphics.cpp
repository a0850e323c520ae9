#include "platform/forms/graphics.h"

#include <cstdlib>

#include "platform/gdi/font.h"
#include "platform/rtl/sysutils.h"

int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator) {
  if (Denominator == 0) return -1;
  const int64_t Product = int64_t(Number) * Numerator;
  // Rounded half away from zero.
  const int64_t Half = std::llabs(int64_t(Denominator)) / 2;
  const bool Negative = (Product < 0) != (Denominator < 0);
  const int64_t Magnitude = (std::llabs(Product) + Half) / std::llabs(int64_t(Denominator));
  return int32_t(Negative ? -Magnitude : Magnitude);
}

namespace {

// Form texts write colours and character sets by their names ("Color = clBtnFace",
// "Font.Charset = RUSSIAN_CHARSET") and numbers otherwise.
bool IdentToColorConst(const std::string& Ident, int64_t& Value) {
  int32_t Color = 0;
  if (!IdentToColor(Ident, Color)) return false;
  Value = Color;
  return true;
}

bool ColorConstToIdent(int64_t Value, std::string& Ident) {
  if (Value < INT32_MIN || Value > INT32_MAX) return false;
  return ColorToIdent(int32_t(Value), Ident);
}

struct TCharsetName {
  const char* Name;
  int Value;
};

constexpr TCharsetName CharsetNames[] = {
    {"ANSI_CHARSET", ANSI_CHARSET},
    {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SYMBOL_CHARSET", SYMBOL_CHARSET},
    {"MAC_CHARSET", MAC_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
    {"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {"JOHAB_CHARSET", JOHAB_CHARSET},
    {"GB2312_CHARSET", GB2312_CHARSET},
    {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
    {"GREEK_CHARSET", GREEK_CHARSET},
    {"TURKISH_CHARSET", TURKISH_CHARSET},
    {"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {"HEBREW_CHARSET", HEBREW_CHARSET},
    {"ARABIC_CHARSET", ARABIC_CHARSET},
    {"BALTIC_CHARSET", BALTIC_CHARSET},
    {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {"THAI_CHARSET", THAI_CHARSET},
    {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {"OEM_CHARSET", OEM_CHARSET},
};

bool IdentToCharset(const std::string& Ident, int64_t& Value) {
  for (const TCharsetName& Entry : CharsetNames)
    if (SameText(Ident, Entry.Name)) {
      Value = Entry.Value;
      return true;
    }
  return false;
}

bool CharsetToIdent(int64_t Value, std::string& Ident) {
  for (const TCharsetName& Entry : CharsetNames)
    if (Entry.Value == Value) {
      Ident = Entry.Name;
      return true;
    }
  return false;
}

const bool ConstantsRegistered = [] {
  RegisterIntegerConsts("TColor", &IdentToColorConst, &ColorConstToIdent);
  RegisterIntegerConsts("TFontCharset", &IdentToCharset, &CharsetToIdent);
  return true;
}();

}  // namespace
