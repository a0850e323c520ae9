#include "platform/rtl/sysutils.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <vector>

#include "platform/rtl/unicode.h"

namespace {

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }
char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }
bool IsTrimmed(char C) { return static_cast<unsigned char>(C) <= ' '; }

int Sign(int Value) { return (Value > 0) - (Value < 0); }

// Code points of Text, each folded to upper case when Fold is set, with the byte offset where
// each one starts (plus one final entry for the end of the text).
struct TFoldedText {
  std::u32string Codes;
  std::vector<size_t> Offsets;
};

TFoldedText FoldText(std::string_view Text, bool Fold) {
  TFoldedText Result;
  for (size_t Index = 0; Index < Text.size();) {
    Result.Offsets.push_back(Index);
    const char32_t Code = Utf8Decode(Text, Index);
    Result.Codes += Fold ? UnicodeToUpper(Code) : Code;
  }
  Result.Offsets.push_back(Text.size());
  return Result;
}

int CompareCodes(std::u32string_view A, std::u32string_view B) { return Sign(A.compare(B)); }

std::string HexDigits(uint64_t Value, int Digits) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Result;
  do {
    Result += Hex[Value & 15];
    Value >>= 4;
  } while (Value != 0);
  if (Digits > 32) Digits = 32;
  while (static_cast<int>(Result.size()) < Digits) Result += '0';
  std::reverse(Result.begin(), Result.end());
  return Result;
}

// Integer text the way the class library reads it: blanks before the number, an optional sign,
// then decimal digits or hexadecimal digits after "$", "0x" or "0X"; nothing may follow. Decimal
// values must fit the signed range; hexadecimal ones may use the full unsigned width of the type
// and wrap ("$FFFFFFFF" is -1 as a 32-bit value).
bool ScanInteger(const std::string& S, int Bits, int64_t& Value) {
  size_t I = 0;
  while (I < S.size() && S[I] == ' ') ++I;
  bool Negative = false;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) {
    Negative = S[I] == '-';
    ++I;
  }
  bool IsHex = false;
  if (I < S.size() && S[I] == '$') {
    IsHex = true;
    ++I;
  } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    IsHex = true;
    I += 2;
  }
  if (I >= S.size()) return false;
  const uint64_t UnsignedMax = Bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  const uint64_t SignedMax = UnsignedMax >> 1;
  uint64_t Magnitude = 0;
  for (; I < S.size(); ++I) {
    const char C = S[I];
    unsigned Digit;
    if (C >= '0' && C <= '9')
      Digit = C - '0';
    else if (IsHex && AsciiUpper(C) >= 'A' && AsciiUpper(C) <= 'F')
      Digit = AsciiUpper(C) - 'A' + 10;
    else
      return false;
    const unsigned Base = IsHex ? 16 : 10;
    if (Magnitude > (UnsignedMax - Digit) / Base) return false;
    Magnitude = Magnitude * Base + Digit;
  }
  if (IsHex) {
    // Reinterpret in the type's width, then apply the sign.
    int64_t Wrapped = Bits == 64 ? static_cast<int64_t>(Magnitude)
                                 : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(Magnitude)));
    Value = Negative ? static_cast<int64_t>(0ull - static_cast<uint64_t>(Wrapped)) : Wrapped;
    if (Bits == 32) Value = static_cast<int32_t>(static_cast<uint32_t>(Value));
    return true;
  }
  if (Negative) {
    if (Magnitude > SignedMax + 1) return false;
    Value = static_cast<int64_t>(0ull - Magnitude);
  } else {
    if (Magnitude > SignedMax) return false;
    Value = static_cast<int64_t>(Magnitude);
  }
  return true;
}

[[noreturn]] void RaiseInvalidInteger(const std::string& S) {
  throw EConvertError("'" + S + "' is not a valid integer value");
}

}  // namespace

std::string Trim(const std::string& S) {
  size_t First = 0, Last = S.size();
  while (First < Last && IsTrimmed(S[First])) ++First;
  while (Last > First && IsTrimmed(S[Last - 1])) --Last;
  return S.substr(First, Last - First);
}

std::string TrimLeft(const std::string& S) {
  size_t First = 0;
  while (First < S.size() && IsTrimmed(S[First])) ++First;
  return S.substr(First);
}

std::string TrimRight(const std::string& S) {
  size_t Last = S.size();
  while (Last > 0 && IsTrimmed(S[Last - 1])) --Last;
  return S.substr(0, Last);
}

std::string UpperCase(const std::string& S) {
  std::string Result = S;
  for (char& C : Result) C = AsciiUpper(C);
  return Result;
}

std::string LowerCase(const std::string& S) {
  std::string Result = S;
  for (char& C : Result) C = AsciiLower(C);
  return Result;
}

std::string AnsiUpperCase(const std::string& S) { return Utf8UpperCase(S); }
std::string AnsiLowerCase(const std::string& S) { return Utf8LowerCase(S); }

int CompareStr(const std::string& S1, const std::string& S2) {
  // Bytes compare unsigned, so UTF-8 text orders by code point.
  return Sign(S1.compare(S2));
}

int CompareText(const std::string& S1, const std::string& S2) {
  const size_t Length = std::min(S1.size(), S2.size());
  for (size_t I = 0; I < Length; ++I) {
    const auto A = static_cast<unsigned char>(AsciiUpper(S1[I]));
    const auto B = static_cast<unsigned char>(AsciiUpper(S2[I]));
    if (A != B) return A < B ? -1 : 1;
  }
  return Sign(static_cast<int>(S1.size() > S2.size()) - static_cast<int>(S1.size() < S2.size()));
}

bool SameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }
bool SameText(const std::string& S1, const std::string& S2) {
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

int AnsiCompareStr(const std::string& S1, const std::string& S2) {
  return CompareCodes(FoldText(S1, false).Codes, FoldText(S2, false).Codes);
}

int AnsiCompareText(const std::string& S1, const std::string& S2) {
  return CompareCodes(FoldText(S1, true).Codes, FoldText(S2, true).Codes);
}

bool AnsiSameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }
bool AnsiSameText(const std::string& S1, const std::string& S2) { return AnsiCompareText(S1, S2) == 0; }

int lstrcmpA(const char* S1, const char* S2) {
  const std::string A = S1 ? S1 : "", B = S2 ? S2 : "";
  const int Folded = AnsiCompareText(A, B);
  if (Folded != 0) return Folded;
  // Only case differs: the first differing code point decides, lower case (the higher code)
  // first.
  return -AnsiCompareStr(A, B);
}

std::string IntToStr(int64_t Value) { return std::to_string(Value); }
std::string UIntToStr(uint64_t Value) { return std::to_string(Value); }

std::string IntToHex(int32_t Value, int Digits) { return HexDigits(static_cast<uint32_t>(Value), Digits); }
std::string IntToHex(uint32_t Value, int Digits) { return HexDigits(Value, Digits); }
std::string IntToHex(int64_t Value, int Digits) { return HexDigits(static_cast<uint64_t>(Value), Digits); }
std::string IntToHex(uint64_t Value, int Digits) { return HexDigits(Value, Digits); }

bool TryStrToInt(const std::string& S, int32_t& Value) {
  int64_t Wide;
  if (!ScanInteger(S, 32, Wide)) return false;
  Value = static_cast<int32_t>(Wide);
  return true;
}

int32_t StrToInt(const std::string& S) {
  int32_t Value;
  if (!TryStrToInt(S, Value)) RaiseInvalidInteger(S);
  return Value;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
  int32_t Value;
  return TryStrToInt(S, Value) ? Value : Default;
}

bool TryStrToInt64(const std::string& S, int64_t& Value) { return ScanInteger(S, 64, Value); }

int64_t StrToInt64(const std::string& S) {
  int64_t Value;
  if (!TryStrToInt64(S, Value)) RaiseInvalidInteger(S);
  return Value;
}

int64_t StrToInt64Def(const std::string& S, int64_t Default) {
  int64_t Value;
  return TryStrToInt64(S, Value) ? Value : Default;
}

bool TryStrToBool(const std::string& S, bool& Value) {
  if (SameText(S, "True")) {
    Value = true;
    return true;
  }
  if (SameText(S, "False")) {
    Value = false;
    return true;
  }
  int64_t Number;
  if (!ScanInteger(S, 64, Number)) return false;
  Value = Number != 0;
  return true;
}

bool StrToBool(const std::string& S) {
  bool Value;
  if (!TryStrToBool(S, Value)) throw EConvertError("'" + S + "' is not a valid boolean value");
  return Value;
}

bool StrToBoolDef(const std::string& S, bool Default) {
  bool Value;
  return TryStrToBool(S, Value) ? Value : Default;
}

std::string BoolToStr(bool Value, bool UseBoolStrs) {
  if (UseBoolStrs) return Value ? "True" : "False";
  return Value ? "-1" : "0";
}

int Pos(const std::string& Substr, const std::string& S, int Offset) {
  if (Substr.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size()) return 0;
  const size_t Found = S.find(Substr, static_cast<size_t>(Offset - 1));
  return Found == std::string::npos ? 0 : static_cast<int>(Found) + 1;
}

int AnsiPos(const std::string& Substr, const std::string& S) { return Pos(Substr, S); }

std::string StringReplace(const std::string& S, const std::string& OldPattern,
                          const std::string& NewPattern, TReplaceFlags Flags) {
  if (OldPattern.empty()) return S;
  const bool All = (Flags & rfReplaceAll) != 0;
  const bool Fold = (Flags & rfIgnoreCase) != 0;
  // Matching walks code points so that folding, which may change a character's byte length,
  // never shifts positions in the original text.
  const TFoldedText Text = FoldText(S, Fold);
  const std::u32string Pattern = FoldText(OldPattern, Fold).Codes;
  std::string Result;
  size_t Copied = 0;  // code points of S already copied or replaced
  size_t From = 0;
  while (true) {
    const size_t Found = Text.Codes.find(Pattern, From);
    if (Found == std::u32string::npos) break;
    Result.append(S, Text.Offsets[Copied], Text.Offsets[Found] - Text.Offsets[Copied]);
    Result += NewPattern;
    Copied = From = Found + Pattern.size();
    if (!All) break;
  }
  Result.append(S, Text.Offsets[Copied], std::string::npos);
  return Result;
}

std::string QuotedStr(const std::string& S) { return AnsiQuotedStr(S, '\''); }

std::string AnsiQuotedStr(const std::string& S, char Quote) {
  std::string Result(1, Quote);
  for (char C : S) {
    Result += C;
    if (C == Quote) Result += C;
  }
  Result += Quote;
  return Result;
}

std::string AnsiDequotedStr(const std::string& S, char Quote) {
  if (S.empty() || S[0] != Quote) return S;
  std::string Result;
  size_t I = 1;
  for (; I < S.size(); ++I) {
    if (S[I] == Quote) {
      if (I + 1 < S.size() && S[I + 1] == Quote) {
        Result += Quote;
        ++I;
        continue;
      }
      return Result;  // the closing quote; text after it is dropped
    }
    Result += S[I];
  }
  // No closing quote: the text is not a quoted string after all.
  return S;
}

std::string Copy(const std::string& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<size_t>(Index) > S.size()) return std::string();
  return S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

std::string StringOfChar(char C, int Count) { return Count > 0 ? std::string(Count, C) : std::string(); }

bool StartsText(const std::string& SubText, const std::string& Text) {
  return SubText.size() <= Text.size() && SameText(Text.substr(0, SubText.size()), SubText);
}

bool EndsText(const std::string& SubText, const std::string& Text) {
  return SubText.size() <= Text.size() && SameText(Text.substr(Text.size() - SubText.size()), SubText);
}

bool ContainsText(const std::string& Text, const std::string& SubText) {
  return UpperCase(Text).find(UpperCase(SubText)) != std::string::npos;
}

bool StartsStr(const std::string& SubText, const std::string& Text) { return Text.starts_with(SubText); }
bool EndsStr(const std::string& SubText, const std::string& Text) { return Text.ends_with(SubText); }

std::string ProgramPath() {
  std::error_code Error;
  const std::filesystem::path Path = std::filesystem::read_symlink("/proc/self/exe", Error);
  return Error ? std::string() : Path.string();
}

std::string ProgramFolder() {
  std::string Folder;
  if (const char* Home = std::getenv("KORCAM_HOME"); Home != nullptr && *Home != '\0') {
    std::error_code Error;
    const std::filesystem::path Absolute = std::filesystem::absolute(Home, Error);
    Folder = Error ? std::string(Home) : Absolute.lexically_normal().string();
  } else {
    const std::string Path = ProgramPath();
    const size_t Slash = Path.rfind('/');
    Folder = Slash == std::string::npos ? std::string() : Path.substr(0, Slash);
  }
  if (Folder.empty() || Folder.back() != '/') Folder += '/';
  return Folder;
}
