#include "platform/rtl/format.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

class TFormatter {
 public:
  TFormatter(const std::string& Format, std::span<const TFormatArg> Args, const TFormatSettings& Settings)
      : FFormat(Format), FArgs(Args), FSettings(Settings) {}

  std::string Run() {
    std::string Result;
    size_t I = 0;
    while (I < FFormat.size()) {
      const size_t Percent = FFormat.find('%', I);
      if (Percent == std::string::npos) {
        Result.append(FFormat, I, std::string::npos);
        break;
      }
      Result.append(FFormat, I, Percent - I);
      I = Percent + 1;
      if (I < FFormat.size() && FFormat[I] == '%') {
        Result += '%';
        ++I;
        continue;
      }
      Result += Specifier(I);
    }
    return Result;
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError("Format '" + FFormat + "' invalid or incompatible with argument");
  }

  const TFormatArg& NextArg() {
    if (FNext >= FArgs.size()) throw EConvertError("No argument for format '" + FFormat + "'");
    return FArgs[FNext++];
  }

  // A number or "*" at I; -1 when there is neither.
  int ReadNumber(size_t& I) {
    if (I < FFormat.size() && FFormat[I] == '*') {
      ++I;
      const TFormatArg& Arg = NextArg();
      if (Arg.Kind() != TFormatArg::fkInteger) Invalid();
      return static_cast<int>(std::clamp<int64_t>(Arg.Integer(), 0, 1 << 20));
    }
    if (I >= FFormat.size() || FFormat[I] < '0' || FFormat[I] > '9') return -1;
    int64_t Value = 0;
    while (I < FFormat.size() && FFormat[I] >= '0' && FFormat[I] <= '9') {
      Value = std::min<int64_t>(Value * 10 + (FFormat[I] - '0'), 1 << 20);
      ++I;
    }
    return static_cast<int>(Value);
  }

  std::string Specifier(size_t& I) {
    // An index is a number (or "*") followed by ":".
    const size_t Start = I;
    const size_t SavedNext = FNext;
    const int Index = ReadNumber(I);
    if (Index >= 0 && I < FFormat.size() && FFormat[I] == ':') {
      FNext = static_cast<size_t>(Index);
      ++I;
    } else {
      I = Start;
      FNext = SavedNext;
    }
    bool LeftJustify = false;
    if (I < FFormat.size() && FFormat[I] == '-') {
      LeftJustify = true;
      ++I;
    }
    const int Width = ReadNumber(I);
    int Precision = -1;
    if (I < FFormat.size() && FFormat[I] == '.') {
      ++I;
      Precision = ReadNumber(I);
      if (Precision < 0) Precision = 0;
    }
    if (I >= FFormat.size()) Invalid();
    const char Type = static_cast<char>(FFormat[I] | 0x20);
    ++I;
    std::string Text = Convert(Type, Precision);
    const size_t Length = Utf8Length(Text);
    if (Width > 0 && Length < static_cast<size_t>(Width)) {
      const std::string Padding(static_cast<size_t>(Width) - Length, ' ');
      Text = LeftJustify ? Text + Padding : Padding + Text;
    }
    return Text;
  }

  static std::string ZeroPad(std::string Digits, int Precision) {
    if (Precision > 0 && Digits.size() < static_cast<size_t>(Precision)) Digits.insert(0, Precision - Digits.size(), '0');
    return Digits;
  }

  // The value as unsigned in the width of its own type.
  static uint64_t AsUnsigned(const TFormatArg& Arg) {
    const uint64_t Raw = static_cast<uint64_t>(Arg.Integer());
    return Arg.Bits() == 32 ? static_cast<uint32_t>(Raw) : Raw;
  }

  std::string Convert(char Type, int Precision) {
    const TFormatArg& Arg = NextArg();
    const auto RequireInteger = [&] {
      if (Arg.Kind() != TFormatArg::fkInteger) Invalid();
    };
    const auto RequireFloat = [&] {
      if (Arg.Kind() != TFormatArg::fkExtended) Invalid();
    };
    const auto Decimals = [&](int Default) { return std::min(Precision < 0 ? Default : Precision, 18); };
    const auto Significant = [&] { return Precision < 0 || Precision > 18 ? 15 : std::max(Precision, 1); };
    switch (Type) {
      case 'd': {
        RequireInteger();
        if (Arg.IsUnsigned()) return ZeroPad(UIntToStr(static_cast<uint64_t>(Arg.Integer())), Precision);
        const int64_t Value = Arg.Integer();
        const uint64_t Magnitude = Value < 0 ? 0ull - static_cast<uint64_t>(Value) : static_cast<uint64_t>(Value);
        return (Value < 0 ? "-" : "") + ZeroPad(UIntToStr(Magnitude), Precision);
      }
      case 'u':
        RequireInteger();
        return ZeroPad(UIntToStr(AsUnsigned(Arg)), Precision);
      case 'x':
        RequireInteger();
        return ZeroPad(IntToHex(AsUnsigned(Arg), 1), Precision);
      case 'e':
        RequireFloat();
        return FloatToStrF(Arg.Extended(), ffExponent, Significant(), 3, FSettings);
      case 'f':
        RequireFloat();
        return FloatToStrF(Arg.Extended(), ffFixed, 18, Decimals(2), FSettings);
      case 'g':
        RequireFloat();
        return FloatToStrF(Arg.Extended(), ffGeneral, Significant(), 3, FSettings);
      case 'n':
        RequireFloat();
        return FloatToStrF(Arg.Extended(), ffNumber, 18, Decimals(2), FSettings);
      case 'm':
        RequireFloat();
        return FloatToStrF(Arg.Extended(), ffCurrency, 18, Decimals(FSettings.CurrencyDecimals), FSettings);
      case 'p':
        if (Arg.Kind() != TFormatArg::fkPointer) Invalid();
        return IntToHex(static_cast<uint64_t>(Arg.Pointer()), 16);
      case 's': {
        if (Arg.Kind() != TFormatArg::fkString && Arg.Kind() != TFormatArg::fkChar) Invalid();
        const std::string& Text = Arg.String();
        if (Precision >= 0) return Text.substr(0, Utf8OffsetOf(Text, static_cast<size_t>(Precision)));
        return Text;
      }
      default:
        Invalid();
    }
  }

  const std::string& FFormat;
  std::span<const TFormatArg> FArgs;
  const TFormatSettings& FSettings;
  size_t FNext = 0;
};

}  // namespace

std::string FormatArgs(const std::string& Format, std::span<const TFormatArg> Args, const TFormatSettings& Settings) {
  return TFormatter(Format, Args, Settings).Run();
}

std::string FormatArgs(const std::string& Format, std::span<const TFormatArg> Args) {
  return FormatArgs(Format, Args, FormatSettings());
}
