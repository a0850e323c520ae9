#include "platform/rtl/unicode.h"

namespace {

bool IsContinuation(unsigned char Byte) { return (Byte & 0xC0) == 0x80; }

// Pairs of upper and lower case that sit next to each other in alternation: in [First, Last]
// the upper case letters are those whose parity equals UpperParity, and each one's lower case
// follows it.
struct TAlternatingRange {
  char32_t First, Last;
  unsigned UpperParity;
};

constexpr TAlternatingRange AlternatingRanges[] = {
    {0x0100, 0x012F, 0},  // Latin Extended-A: A with macron ... i with ogonek
    {0x0132, 0x0137, 0},  // IJ ... k with cedilla
    {0x0139, 0x0148, 1},  // L with acute ... n with caron
    {0x014A, 0x0177, 0},  // ENG ... y with circumflex
    {0x0179, 0x017E, 1},  // Z with acute ... z with caron
    {0x0460, 0x0481, 0},  // Cyrillic historic letters
    {0x048A, 0x04BF, 0},  // Cyrillic extended letters
    {0x04C1, 0x04CE, 1},
    {0x04D0, 0x052F, 0},
    {0x1E00, 0x1E95, 0},  // Latin Extended Additional
    {0x1EA0, 0x1EFF, 0},  // Vietnamese letters
};

// Blocks where the lower case letter is the upper case letter plus Delta.
struct TShiftedRange {
  char32_t First, Last;  // upper case letters
  char32_t Delta;
};

constexpr TShiftedRange ShiftedRanges[] = {
    {0x0041, 0x005A, 0x20},    // A-Z
    {0x00C0, 0x00D6, 0x20},    // Latin-1 letters before the multiplication sign
    {0x00D8, 0x00DE, 0x20},    // ... and after it
    {0x0388, 0x038A, 0x25},    // Greek accented capitals
    {0x038E, 0x038F, 0x3F},
    {0x0391, 0x03A1, 0x20},    // Greek capitals (0x03A2 is unassigned)
    {0x03A3, 0x03AB, 0x20},
    {0x0400, 0x040F, 0x50},    // Cyrillic capitals with marks
    {0x0410, 0x042F, 0x20},    // Cyrillic basic capitals
    {0x0531, 0x0556, 0x30},    // Armenian
    {0xFF21, 0xFF3A, 0x20},    // fullwidth Latin
};

// Single pairs outside the regular blocks.
struct TSinglePair {
  char32_t Upper, Lower;
};

constexpr TSinglePair SinglePairs[] = {
    {0x0178, 0x00FF},  // Y with diaeresis
    {0x0386, 0x03AC},  // Greek Alpha with tonos
    {0x038C, 0x03CC},  // Greek Omicron with tonos
    {0x04C0, 0x04CF},  // Cyrillic palochka
    {0x1E9E, 0x00DF},  // capital sharp s (lower-casing only: sharp s has no simple upper case)
};

// Upper-casing only: lower case letters whose simple upper case belongs to another letter.
constexpr TSinglePair UpperOnly[] = {
    {0x0049, 0x0131},  // dotless i
    {0x0053, 0x017F},  // long s
    {0x039C, 0x00B5},  // micro sign
    {0x03A3, 0x03C2},  // final sigma
};

// Lower-casing only.
constexpr TSinglePair LowerOnly[] = {
    {0x0130, 0x0069},  // I with dot above
};

}  // namespace

size_t Utf8SequenceLength(unsigned char Lead) {
  if (Lead < 0x80) return 1;
  if (Lead >= 0xC2 && Lead <= 0xDF) return 2;
  if (Lead >= 0xE0 && Lead <= 0xEF) return 3;
  if (Lead >= 0xF0 && Lead <= 0xF4) return 4;
  return 1;
}

char32_t Utf8Decode(std::string_view Text, size_t& Index) {
  const auto Byte = [&](size_t At) { return static_cast<unsigned char>(Text[At]); };
  const unsigned char Lead = Byte(Index);
  const size_t Length = Utf8SequenceLength(Lead);
  if (Length == 1) {
    ++Index;
    return Lead < 0x80 ? Lead : ReplacementCharacter;
  }
  if (Index + Length > Text.size()) {
    ++Index;
    return ReplacementCharacter;
  }
  char32_t Code = Lead & (0x7F >> Length);
  for (size_t I = 1; I < Length; ++I) {
    if (!IsContinuation(Byte(Index + I))) {
      ++Index;
      return ReplacementCharacter;
    }
    Code = (Code << 6) | (Byte(Index + I) & 0x3F);
  }
  const bool Overlong = (Length == 3 && Code < 0x800) || (Length == 4 && Code < 0x10000);
  const bool Invalid = (Code >= 0xD800 && Code <= 0xDFFF) || Code > 0x10FFFF;
  if (Overlong || Invalid) {
    ++Index;
    return ReplacementCharacter;
  }
  Index += Length;
  return Code;
}

void Utf8Append(std::string& Text, char32_t Code) {
  if ((Code >= 0xD800 && Code <= 0xDFFF) || Code > 0x10FFFF) Code = ReplacementCharacter;
  if (Code < 0x80) {
    Text += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Text += static_cast<char>(0xC0 | (Code >> 6));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Text += static_cast<char>(0xE0 | (Code >> 12));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Text += static_cast<char>(0xF0 | (Code >> 18));
    Text += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

std::string Utf8Encode(char32_t Code) {
  std::string Result;
  Utf8Append(Result, Code);
  return Result;
}

std::u32string Utf8ToUtf32(std::string_view Text) {
  std::u32string Result;
  Result.reserve(Text.size());
  for (size_t Index = 0; Index < Text.size();) Result += Utf8Decode(Text, Index);
  return Result;
}

std::string Utf32ToUtf8(std::u32string_view Text) {
  std::string Result;
  Result.reserve(Text.size());
  for (char32_t Code : Text) Utf8Append(Result, Code);
  return Result;
}

size_t Utf8Length(std::string_view Text) {
  size_t Count = 0;
  for (size_t Index = 0; Index < Text.size(); ++Count) Utf8Decode(Text, Index);
  return Count;
}

size_t Utf8Next(std::string_view Text, size_t Index) {
  if (Index >= Text.size()) return Text.size();
  Utf8Decode(Text, Index);
  return Index;
}

size_t Utf8Prior(std::string_view Text, size_t Index) {
  if (Index == 0) return 0;
  if (Index > Text.size()) return Text.size();
  // Step back over continuation bytes (at most three), then check that the sequence found
  // really ends at Index; otherwise the byte before Index stands alone.
  size_t Start = Index - 1;
  while (Start > 0 && Index - Start < 4 && IsContinuation(static_cast<unsigned char>(Text[Start])))
    --Start;
  size_t Probe = Start;
  Utf8Decode(Text, Probe);
  return Probe == Index ? Start : Index - 1;
}

size_t Utf8OffsetOf(std::string_view Text, size_t CodePointIndex) {
  size_t Index = 0;
  for (size_t Count = 0; Count < CodePointIndex && Index < Text.size(); ++Count)
    Utf8Decode(Text, Index);
  return Index;
}

bool Utf8IsValid(std::string_view Text) {
  for (size_t Index = 0; Index < Text.size();) {
    const size_t Before = Index;
    if (Utf8Decode(Text, Index) == ReplacementCharacter) {
      // U+FFFD itself is valid: it is three bytes long.
      if (Index - Before != 3) return false;
    }
  }
  return true;
}

std::string_view Utf8TruncateBytes(std::string_view Text, size_t MaxBytes) {
  if (Text.size() <= MaxBytes) return Text;
  size_t End = 0;
  for (size_t Index = 0; Index < Text.size();) {
    Utf8Decode(Text, Index);
    if (Index > MaxBytes) break;
    End = Index;
  }
  return Text.substr(0, End);
}

char32_t UnicodeToUpper(char32_t Code) {
  if (Code < 0x80) return (Code >= 'a' && Code <= 'z') ? Code - 0x20 : Code;
  for (const auto& Range : ShiftedRanges)
    if (Code >= Range.First + Range.Delta && Code <= Range.Last + Range.Delta)
      return Code - Range.Delta;
  for (const auto& Range : AlternatingRanges)
    if (Code >= Range.First && Code <= Range.Last)
      return (Code & 1) == Range.UpperParity ? Code : Code - 1;
  for (const auto& Pair : SinglePairs)
    if (Pair.Lower == Code && Pair.Upper != 0x1E9E) return Pair.Upper;
  for (const auto& Pair : UpperOnly)
    if (Pair.Lower == Code) return Pair.Upper;
  return Code;
}

char32_t UnicodeToLower(char32_t Code) {
  if (Code < 0x80) return (Code >= 'A' && Code <= 'Z') ? Code + 0x20 : Code;
  for (const auto& Range : ShiftedRanges)
    if (Code >= Range.First && Code <= Range.Last) return Code + Range.Delta;
  for (const auto& Range : AlternatingRanges)
    if (Code >= Range.First && Code <= Range.Last)
      return (Code & 1) == Range.UpperParity ? Code + 1 : Code;
  for (const auto& Pair : SinglePairs)
    if (Pair.Upper == Code) return Pair.Lower;
  for (const auto& Pair : LowerOnly)
    if (Pair.Upper == Code) return Pair.Lower;
  return Code;
}

bool UnicodeIsUpper(char32_t Code) { return UnicodeToLower(Code) != Code; }
bool UnicodeIsLower(char32_t Code) { return UnicodeToUpper(Code) != Code; }

namespace {

template <typename TMap>
std::string MapCase(std::string_view Text, TMap Map) {
  std::string Result;
  Result.reserve(Text.size());
  for (size_t Index = 0; Index < Text.size();) {
    const size_t Start = Index;
    const char32_t Code = Utf8Decode(Text, Index);
    const char32_t Mapped = Map(Code);
    // Bytes that are not valid UTF-8 pass through untouched rather than becoming U+FFFD.
    if (Mapped == Code)
      Result.append(Text.substr(Start, Index - Start));
    else
      Utf8Append(Result, Mapped);
  }
  return Result;
}

}  // namespace

std::string Utf8UpperCase(std::string_view Text) { return MapCase(Text, UnicodeToUpper); }
std::string Utf8LowerCase(std::string_view Text) { return MapCase(Text, UnicodeToLower); }
