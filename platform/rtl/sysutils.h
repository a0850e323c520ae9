#pragma once
// String, number and program-location routines of the runtime library. Text is UTF-8; the
// "Ansi" forms fold case with one fixed Unicode simple case map, the plain forms fold a-z only,
// so no result depends on the machine's locale.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/exceptions.h"

// Blanks and control characters (bytes <= ' ') are trimmed; UTF-8 bytes are never touched.
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);

std::string UpperCase(const std::string& S);  // a-z only
std::string LowerCase(const std::string& S);  // A-Z only
std::string AnsiUpperCase(const std::string& S);
std::string AnsiLowerCase(const std::string& S);

// < 0, 0 or > 0. CompareStr compares bytes; CompareText folds a-z only.
int CompareStr(const std::string& S1, const std::string& S2);
int CompareText(const std::string& S1, const std::string& S2);
bool SameStr(const std::string& S1, const std::string& S2);
bool SameText(const std::string& S1, const std::string& S2);
// By code point after the fixed case map (AnsiCompareStr: without folding).
int AnsiCompareStr(const std::string& S1, const std::string& S2);
int AnsiCompareText(const std::string& S1, const std::string& S2);
bool AnsiSameStr(const std::string& S1, const std::string& S2);
bool AnsiSameText(const std::string& S1, const std::string& S2);
// The window system's text order (lstrcmpA, which its sorted lists and tree views use): letters
// compare without case first, as a reader sorts ("apple" before "Banana"); texts that differ
// only in case put the lower-case one first.
int lstrcmpA(const char* S1, const char* S2);

std::string IntToStr(int64_t Value);
std::string UIntToStr(uint64_t Value);
// Upper-case hexadecimal with at least Digits digits, padded with zeros. A negative value shows
// its two's complement in the width of its type: IntToHex(int32_t(0x8000000F), 6) is "8000000F".
std::string IntToHex(int32_t Value, int Digits);
std::string IntToHex(uint32_t Value, int Digits);
std::string IntToHex(int64_t Value, int Digits);
std::string IntToHex(uint64_t Value, int Digits);

// Accepts optional blanks before the number, a sign, decimal digits or a hex number written
// "$1A", "0x1A" or "0X1A". Anything else raises EConvertError "'S' is not a valid integer value".
int32_t StrToInt(const std::string& S);
int32_t StrToIntDef(const std::string& S, int32_t Default);
bool TryStrToInt(const std::string& S, int32_t& Value);
int64_t StrToInt64(const std::string& S);
int64_t StrToInt64Def(const std::string& S, int64_t Default);
bool TryStrToInt64(const std::string& S, int64_t& Value);
// "True"/"False" (any case) or a number, nonzero meaning true.
bool StrToBool(const std::string& S);
bool StrToBoolDef(const std::string& S, bool Default);
bool TryStrToBool(const std::string& S, bool& Value);
std::string BoolToStr(bool Value, bool UseBoolStrs = false);

// 1-based byte position of Substr in S, 0 when absent.
int Pos(const std::string& Substr, const std::string& S, int Offset = 1);
int AnsiPos(const std::string& Substr, const std::string& S);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
std::string StringReplace(const std::string& S, const std::string& OldPattern,
                          const std::string& NewPattern, TReplaceFlags Flags);

std::string QuotedStr(const std::string& S);
std::string AnsiQuotedStr(const std::string& S, char Quote);
// Removes the quotes and halves doubled quotes; returns S unchanged when it does not start with Quote.
std::string AnsiDequotedStr(const std::string& S, char Quote);

// Class-library string helpers counted in bytes (Copy is 1-based like the library's).
std::string Copy(const std::string& S, int Index, int Count);
std::string StringOfChar(char C, int Count);
bool StartsText(const std::string& SubText, const std::string& Text);
bool EndsText(const std::string& SubText, const std::string& Text);
bool ContainsText(const std::string& Text, const std::string& SubText);
bool StartsStr(const std::string& SubText, const std::string& Text);
bool EndsStr(const std::string& SubText, const std::string& Text);

// The program's folder: $KORCAM_HOME when set and not empty, else the folder of the executable.
// Always ends with "/".
std::string ProgramFolder();
// The executable's full path (what the first command-line parameter names).
std::string ProgramPath();

// The rest of the utility routines (numbers, Format, files, dates), so that code written against
// the class library's single utility unit needs one include.
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numberformat.h"
