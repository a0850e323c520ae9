#pragma once
// The integer expressions of custom button shapes and the point lists made of them.
//
// An expression holds whole numbers, blanks and the operators * / + - (the point list puts the
// button's last column and row in for WIDTH and HEIGHT first). It is worked out by rewriting:
// every operator gets a blank on each side, runs of blanks shrink to one, and then, until no
// operator is left, the leftmost * or / (or, without one, the leftmost + or -) and its two
// neighbours are replaced by their result. So * and / bind tighter than + and -, and operators of
// one rank work from left to right. Operands are read by the runtime's integer conversion
// (StrToInt: blanks before the number are allowed, none after it); a minus is always an operator,
// so "-5" has no left operand and fails, while a negative intermediate result is an ordinary
// operand ("10 - 20 - 5" gives -15). Division truncates toward zero; results are computed wide
// enough that one outside the 32-bit range fails the conversion instead of wrapping.
//
// A point list has one point a line: "x, y", each an expression; the text after a second comma
// is ignored. Lines are upper-cased first, so "width" works as well as "WIDTH".

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/object.h"
#include "platform/rtl/wintypes.h"

class TStrings;

// The errors' texts, as users see them when a point list is wrong.
extern const char* const vcCharacterError;
extern const char* const vcDivideByZeroError;
extern const char* const vcPointFormatError;

class TvcEvaluator : public TObject {
  KORCAM_CLASS(TvcEvaluator, TObject)

 public:
  // The value of Text. Raises EInvalidOperation for a character other than a blank, a digit or
  // one of * + , - / and for a division by 0, and EConvertError for an operand that is not a
  // whole number (missing, followed by blanks, or out of the 32-bit range).
  static int32_t Evaluate(const std::string& Text);
  static void CheckCharacters(const std::string& Text);
  // A blank on each side of every operator, then no two blanks in a row.
  static std::string SpaceOperators(const std::string& Text);
  // The index of the leftmost token in Tokens equal to First or Second, -1 when none.
  static int32_t FindOperator(const std::vector<std::string>& Tokens, char First, char Second);
};

// The points of a custom shape's lines in a box whose last column is Width and last row Height;
// empty for two lines or fewer. Raises the evaluator's errors, or EInvalidOperation
// vcPointFormatError for a line without a comma.
std::vector<POINT> ParsePointListLines(const TStrings& Lines, int32_t Width, int32_t Height);
