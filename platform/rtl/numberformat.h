#pragma once
// Floating-point text: FloatToStr, FloatToStrF, FormatFloat and the reverse conversions, using the
// decimal and thousand separators of the locale settings (formatsettings.h). Values are extended
// precision, as the class library's Extended; a double converts without loss.

#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits and no thousand separators: 5 gives "5", 2.5 gives
// "2.5", 1E20 gives "1E20", 0.00001 gives "1E-5". Not-a-number gives "NAN", infinities "INF" and
// "-INF".
std::string FloatToStr(long double Value);
std::string FloatToStr(long double Value, const TFormatSettings& Settings);

// Precision is the count of significant digits (1..18). Digits is, for ffGeneral and ffExponent,
// the minimum count of exponent digits (0..4) and, for ffFixed, ffNumber and ffCurrency, the count
// of decimals (0..18). ffNumber adds thousand separators; ffCurrency lays the value out with
// CurrencyString, CurrencyFormat and NegCurrFormat.
std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);
std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings);

// A format of up to three sections separated by ";" (positive; negative; zero). In a section:
// "0" a digit that is always shown, "#" a digit shown only when significant, "." the place of the
// decimal separator, "," anywhere turns on thousand separators, "E+" "E-" "e+" "e-" followed by
// zeros scientific notation, text in '' or "" copied without its quotes, every other character
// copied. The negative section prints the magnitude (its own text gives the sign); without one, the
// positive section is used with a leading minus. A value that rounds to zero under the chosen
// section uses the zero section when there is one, and never shows a minus. An empty format gives
// FloatToStr's text.
std::string FormatFloat(const std::string& Format, long double Value);
std::string FormatFloat(const std::string& Format, long double Value, const TFormatSettings& Settings);

// Reads [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks], the separator being
// the locale's DecimalSeparator ("2.5" is refused when it is ","). Thousand separators are not
// accepted. StrToFloat raises EConvertError "'S' is not a valid floating point value".
bool TryStrToFloat(const std::string& S, long double& Value);
bool TryStrToFloat(const std::string& S, double& Value);
bool TryStrToFloat(const std::string& S, long double& Value, const TFormatSettings& Settings);
long double StrToFloat(const std::string& S);
long double StrToFloat(const std::string& S, const TFormatSettings& Settings);
long double StrToFloatDef(const std::string& S, long double Default);
// TextToFloat: TryStrToFloat under another name, as some callers spell it.
bool TextToFloat(const std::string& S, long double& Value);
bool TextToFloat(const std::string& S, long double& Value, const TFormatSettings& Settings);
