#pragma once
// Format: the class library's printf-like formatting.
//
//   "%" [index ":"] ["-"] [width] ["." precision] type
//
//   d  signed integer; the precision is the minimum count of digits (zero-padded after the sign)
//   u  unsigned integer (a negative value shows its two's complement in its own width)
//   x  upper-case hexadecimal integer; the precision as for d
//   e  scientific ("1.23450000000000E+003"), precision = significant digits, 15 by default
//   f  fixed, precision = decimals, 2 by default
//   g  the shorter of fixed and scientific, precision = significant digits, 15 by default
//   n  fixed with thousand separators, precision = decimals, 2 by default
//   m  money: CurrencyString, CurrencyFormat/NegCurrFormat, decimals by default CurrencyDecimals
//   p  pointer, 16 hexadecimal digits
//   s  text (a string or a single char); the precision is the maximum count of characters
//   %% a percent sign
//
// The width pads with blanks, on the left unless "-" is given; a leading zero in the width is not
// a flag ("%02d" of 5 is " 5": write "%.2d" for "05"). Width and precision may be "*", taking the
// next argument, which must be an integer. An index n: makes that argument (0-based) the next one
// used. Widths and precisions count characters (code points), not bytes.
//
// An argument of the wrong kind for its specifier raises EConvertError "Format '...' invalid or
// incompatible with argument"; too few arguments raise "No argument for format '...'". Booleans
// fit no specifier, as in the class library.

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

class TFormatArg {
 public:
  enum TKind { fkInteger, fkExtended, fkString, fkChar, fkBoolean, fkPointer };

  TFormatArg(bool Value) : FKind(fkBoolean), FInteger(Value) {}
  TFormatArg(char Value) : FKind(fkChar), FString(1, Value) {}
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
  TFormatArg(T Value)
      : FKind(fkInteger),
        FInteger(static_cast<int64_t>(Value)),
        FBits(sizeof(T) <= 4 ? 32 : 64),
        FUnsigned(std::is_unsigned_v<T>) {}
  template <typename T>
    requires std::is_enum_v<T>
  TFormatArg(T Value) : TFormatArg(static_cast<std::underlying_type_t<T>>(Value)) {}
  template <std::floating_point T>
  TFormatArg(T Value) : FKind(fkExtended), FExtended(Value) {}
  TFormatArg(const char* Value) : FKind(fkString), FString(Value != nullptr ? Value : "") {}
  TFormatArg(std::string_view Value) : FKind(fkString), FString(Value) {}
  TFormatArg(const std::string& Value) : FKind(fkString), FString(Value) {}
  template <typename T>
    requires(!std::same_as<std::remove_cv_t<T>, char>)
  TFormatArg(T* Value) : FKind(fkPointer), FPointer(reinterpret_cast<uintptr_t>(Value)) {}
  TFormatArg(std::nullptr_t) : FKind(fkPointer) {}

  TKind Kind() const { return FKind; }
  int64_t Integer() const { return FInteger; }
  int Bits() const { return FBits; }
  bool IsUnsigned() const { return FUnsigned; }
  long double Extended() const { return FExtended; }
  const std::string& String() const { return FString; }
  uintptr_t Pointer() const { return FPointer; }

 private:
  TKind FKind;
  int64_t FInteger = 0;
  int FBits = 32;
  bool FUnsigned = false;
  long double FExtended = 0;
  std::string FString;
  uintptr_t FPointer = 0;
};

std::string FormatArgs(const std::string& Format, std::span<const TFormatArg> Args);
std::string FormatArgs(const std::string& Format, std::span<const TFormatArg> Args,
                       const TFormatSettings& Settings);

template <typename... TArgs>
std::string Format(const std::string& FormatText, const TArgs&... Args) {
  if constexpr (sizeof...(TArgs) == 0) {
    return FormatArgs(FormatText, std::span<const TFormatArg>());
  } else {
    const TFormatArg Array[] = {TFormatArg(Args)...};
    return FormatArgs(FormatText, Array);
  }
}
