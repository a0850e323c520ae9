#include "platform/forms/editmask.h"

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/unicode.h"

namespace {

constexpr char32_t SectionSeparator = U';';
constexpr char32_t NoSaveFlag = U'0';

bool IsDigit(char32_t Char) {
  return Char >= U'0' && Char <= U'9';
}

// A letter: the ASCII letters and every other character that has a case.
bool IsLetter(char32_t Char) {
  if ((Char >= U'a' && Char <= U'z') || (Char >= U'A' && Char <= U'Z')) return true;
  return Char > 0x7F && (UnicodeIsUpper(Char) || UnicodeIsLower(Char));
}

char32_t Converted(char32_t Char, TMaskCase Case) {
  switch (Case) {
    case TMaskCase::Upper:
      return UnicodeToUpper(Char);
    case TMaskCase::Lower:
      return UnicodeToLower(Char);
    case TMaskCase::None:
      break;
  }
  return Char;
}

// Splits the mask text at the separators that are not escaped by '\'.
std::vector<std::u32string> Sections(const std::u32string& Text) {
  std::vector<std::u32string> Result(1);
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    const char32_t Char = Text[Index];
    if (Char == U'\\' && Index + 1 < Text.size()) {
      Result.back() += Char;
      Result.back() += Text[++Index];
    } else if (Char == SectionSeparator) {
      Result.emplace_back();
    } else {
      Result.back() += Char;
    }
  }
  return Result;
}

}  // namespace

TEditMask::TEditMask(const std::string& Mask) {
  const std::vector<std::u32string> Parts = Sections(Utf8ToUtf32(Mask));
  if (Parts.size() > 1 && !Parts[1].empty()) FSaveLiterals = Parts[1][0] != NoSaveFlag;
  if (Parts.size() > 2 && !Parts[2].empty()) FBlank = Parts[2][0];

  const std::u32string& Body = Parts[0];
  const TFormatSettings& Settings = FormatSettings();
  TMaskCase Case = TMaskCase::None;
  for (size_t Index = 0; Index < Body.size(); ++Index) {
    const char32_t Char = Body[Index];
    TMaskPosition Position;
    switch (Char) {
      case U'!':
        FReverse = true;
        continue;
      case U'>':
      case U'<': {
        const char32_t Other = Char == U'>' ? U'<' : U'>';
        if (Index + 1 < Body.size() && Body[Index + 1] == Other) {
          Case = TMaskCase::None;
          ++Index;
        } else {
          Case = Char == U'>' ? TMaskCase::Upper : TMaskCase::Lower;
        }
        continue;
      }
      case U'\\':
        if (Index + 1 >= Body.size()) continue;  // a trailing escape escapes nothing
        Position.Literal = Body[++Index];
        break;
      case U'L':
      case U'l':
        Position.Kind = TMaskCharKind::Letter;
        Position.Required = Char == U'L';
        break;
      case U'A':
      case U'a':
        Position.Kind = TMaskCharKind::AlphaNumeric;
        Position.Required = Char == U'A';
        break;
      case U'C':
      case U'c':
        Position.Kind = TMaskCharKind::AnyChar;
        Position.Required = Char == U'C';
        break;
      case U'0':
      case U'9':
        Position.Kind = TMaskCharKind::Digit;
        Position.Required = Char == U'0';
        break;
      case U'#':
        Position.Kind = TMaskCharKind::DigitOrSign;
        break;
      case U':':
        Position.Literal = char32_t(static_cast<unsigned char>(Settings.TimeSeparator));
        break;
      case U'/':
        Position.Literal = char32_t(static_cast<unsigned char>(Settings.DateSeparator));
        break;
      case U'_':
        Position.Literal = U' ';
        break;
      default:
        Position.Literal = Char;
        break;
    }
    if (Position.Kind != TMaskCharKind::Literal) Position.Case = Case;
    FPositions.push_back(Position);
  }
}

bool TEditMask::Accept(size_t Position, char32_t& Char) const {
  if (Position >= FPositions.size()) return false;
  const TMaskPosition& Mask = FPositions[Position];
  bool Fits = false;
  switch (Mask.Kind) {
    case TMaskCharKind::Literal:
      return false;
    case TMaskCharKind::Letter:
      Fits = IsLetter(Char);
      break;
    case TMaskCharKind::AlphaNumeric:
      Fits = IsLetter(Char) || IsDigit(Char);
      break;
    case TMaskCharKind::AnyChar:
      // Any printable character, but not the blank character: it stands for "nothing here".
      Fits = Char >= 0x20 && Char != 0x7F && Char != FBlank;
      break;
    case TMaskCharKind::Digit:
      Fits = IsDigit(Char);
      break;
    case TMaskCharKind::DigitOrSign:
      Fits = IsDigit(Char) || Char == U'+' || Char == U'-';
      break;
  }
  if (!Fits) return false;
  // A character whose case form is the blank character would read as an empty position.
  const char32_t Stored = Converted(Char, Mask.Case);
  if (Stored == FBlank) return false;
  Char = Stored;
  return true;
}

std::u32string TEditMask::EmptyEditText() const {
  std::u32string Result;
  Result.reserve(FPositions.size());
  for (const TMaskPosition& Position : FPositions)
    Result += Position.Kind == TMaskCharKind::Literal ? Position.Literal : FBlank;
  return Result;
}

std::u32string TEditMask::FormatText(const std::u32string& Value) const {
  std::u32string Result = EmptyEditText();
  // A character for an input position: accepted ones stay (in the position's case); spaces and
  // characters the position refuses leave it blank.
  auto Put = [&](size_t Position, char32_t Char) {
    if (Char != U' ' && Char != FBlank && Accept(Position, Char)) Result[Position] = Char;
  };
  if (FSaveLiterals) {
    size_t Next = 0;
    for (size_t Position = 0; Position < FPositions.size() && Next < Value.size(); ++Position) {
      if (FPositions[Position].Kind == TMaskCharKind::Literal) {
        // The literal is in the text where it belongs: step over it; else the text goes on with
        // the next input position.
        if (Value[Next] == FPositions[Position].Literal) ++Next;
        continue;
      }
      Put(Position, Value[Next++]);
    }
    return Result;
  }
  std::vector<size_t> Inputs;
  for (size_t Position = 0; Position < FPositions.size(); ++Position)
    if (FPositions[Position].Kind != TMaskCharKind::Literal) Inputs.push_back(Position);
  const size_t Count = std::min(Inputs.size(), Value.size());
  // With the reverse directive a short text fills the last input positions.
  const size_t First = FReverse ? Inputs.size() - Count : 0;
  for (size_t Index = 0; Index < Count; ++Index) Put(Inputs[First + Index], Value[Index]);
  return Result;
}

std::u32string TEditMask::TextOf(const std::u32string& EditText) const {
  std::u32string Result;
  for (size_t Position = 0; Position < FPositions.size(); ++Position) {
    const bool Literal = FPositions[Position].Kind == TMaskCharKind::Literal;
    if (Literal && !FSaveLiterals) continue;
    const char32_t Char = Position < EditText.size() ? EditText[Position]
                                                     : (Literal ? FPositions[Position].Literal : FBlank);
    Result += (!Literal && Char == FBlank) ? U' ' : Char;
  }
  if (!FSaveLiterals) {
    // Without the literals the empty optional positions at the end (the start, reversed) carry
    // no meaning; dropping them makes an empty edit read as an empty text.
    if (FReverse) {
      const size_t Start = Result.find_first_not_of(U' ');
      Result.erase(0, Start == std::u32string::npos ? Result.size() : Start);
    } else {
      const size_t End = Result.find_last_not_of(U' ');
      Result.erase(End == std::u32string::npos ? 0 : End + 1);
    }
  }
  return Result;
}

size_t TEditMask::FirstInvalid(const std::u32string& EditText) const {
  for (size_t Position = 0; Position < FPositions.size(); ++Position) {
    const TMaskPosition& Mask = FPositions[Position];
    if (Mask.Kind == TMaskCharKind::Literal) continue;
    char32_t Char = Position < EditText.size() ? EditText[Position] : FBlank;
    const bool Empty = Char == FBlank || (Char == U' ' && Mask.Kind != TMaskCharKind::AnyChar);
    if (Empty) {
      if (Mask.Required) return Position;
      continue;
    }
    if (!Accept(Position, Char)) return Position;
  }
  return std::u32string::npos;
}

size_t TEditMask::NextInput(size_t From) const {
  for (size_t Position = From; Position < FPositions.size(); ++Position)
    if (FPositions[Position].Kind != TMaskCharKind::Literal) return Position;
  return std::u32string::npos;
}

size_t TEditMask::PriorInput(size_t From) const {
  for (size_t Position = std::min(From, FPositions.size()); Position > 0; --Position)
    if (FPositions[Position - 1].Kind != TMaskCharKind::Literal) return Position - 1;
  return std::u32string::npos;
}

std::string MaskedText(const std::string& Mask, const std::string& Value) {
  const TEditMask EditMask(Mask);
  if (EditMask.Empty()) return Value;
  return Utf32ToUtf8(EditMask.TextOf(EditMask.FormatText(Utf8ToUtf32(Value))));
}
