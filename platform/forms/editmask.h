#pragma once
// The edit-mask grammar of the masked edit, without any window.
//
// A mask text has up to three sections separated by ';':
//   <mask> ; <store-literals flag> ; <blank character>
// The flag is '0' (the text given to programs leaves the literals out) or anything else (they
// are kept; the default). The blank character is shown for positions nothing was typed into
// (default '_').
//
// Mask characters: '!' optional positions are dropped from the start rather than from the end
// of the text (the reverse directive); '>' upper case from here on; '<' lower case from here on;
// "<>" no case rule; '\' the next character is a literal; 'L' letter, 'l' optional letter;
// 'A' letter or digit, 'a' optional; 'C' any character, 'c' optional; '0' digit, '9' optional
// digit; '#' optional digit or sign; ':' and '/' the locale's time and date separators; '_' a
// literal blank; anything else is a literal shown and kept as it is. The directives take no
// position in the text; every other mask character takes exactly one.
//
// Texts here are code points: the edit text holds one character per position.

#include <cstddef>
#include <string>
#include <vector>

enum class TMaskCharKind {
  Literal,       // shown and kept as it is
  Letter,        // L l
  AlphaNumeric,  // A a
  AnyChar,       // C c
  Digit,         // 0 9
  DigitOrSign,   // #
};

enum class TMaskCase { None, Upper, Lower };

struct TMaskPosition {
  TMaskCharKind Kind = TMaskCharKind::Literal;
  bool Required = false;
  TMaskCase Case = TMaskCase::None;
  char32_t Literal = 0;  // the character a literal position shows
};

class TEditMask {
 public:
  TEditMask() = default;
  explicit TEditMask(const std::string& Mask);

  // True for an empty mask: the edit is a plain edit.
  bool Empty() const { return FPositions.empty(); }
  size_t Length() const { return FPositions.size(); }
  const std::vector<TMaskPosition>& Positions() const { return FPositions; }
  const TMaskPosition& At(size_t Position) const { return FPositions[Position]; }
  bool IsLiteral(size_t Position) const {
    return Position < FPositions.size() && FPositions[Position].Kind == TMaskCharKind::Literal;
  }
  bool SaveLiterals() const { return FSaveLiterals; }
  char32_t Blank() const { return FBlank; }
  bool Reverse() const { return FReverse; }

  // Whether Char may stand at Position; on success Char is converted to the position's case.
  bool Accept(size_t Position, char32_t& Char) const;
  // The edit text of an empty edit: literals and blanks.
  std::u32string EmptyEditText() const;
  // Lays a text out on the mask, as a program sets Text: with stored literals the text is read
  // position by position (a literal position takes a literal character that matches it); without
  // them the text fills only the input positions, from the end when the mask has the reverse
  // directive. Characters that do not fit a position leave it blank; spaces give blanks.
  std::u32string FormatText(const std::u32string& Value) const;
  // The text a program reads from an edit text: blank positions become spaces, literals are
  // dropped when they are not stored (and the spaces of empty optional positions trimmed from
  // the end, or the start with the reverse directive).
  std::u32string TextOf(const std::u32string& EditText) const;
  // The first position whose character does not satisfy the mask (a required position left
  // blank, or a character of the wrong class), or npos when the text is complete.
  size_t FirstInvalid(const std::u32string& EditText) const;

  // Input positions at or after From (npos: none), and before From (npos: none).
  size_t NextInput(size_t From) const;
  size_t PriorInput(size_t From) const;

 private:
  std::vector<TMaskPosition> FPositions;
  bool FSaveLiterals = true;
  char32_t FBlank = U'_';
  bool FReverse = false;
};

// Lays Value out on Mask as a program setting Text does and reads the text back the way programs
// see it (an empty mask gives Value itself).
std::string MaskedText(const std::string& Mask, const std::string& Value);
