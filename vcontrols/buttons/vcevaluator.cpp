#include "vcontrols/buttons/vcevaluator.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "vcontrols/common/vccommon.h"

KORCAM_REGISTER_CLASS(TvcEvaluator)

const char* const vcCharacterError = "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.";
const char* const vcDivideByZeroError = "Divide By Zero Error";
const char* const vcPointFormatError =
    "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.";

namespace {

bool IsOperator(char Character) {
  return Character == '*' || Character == '/' || Character == '+' || Character == '-';
}

// The pieces between single blanks (a leading or trailing blank gives an empty piece).
std::vector<std::string> SplitAtBlanks(const std::string& Text) {
  std::vector<std::string> Tokens;
  size_t Start = 0;
  while (true) {
    const size_t Blank = Text.find(' ', Start);
    Tokens.push_back(Text.substr(Start, Blank == std::string::npos ? std::string::npos : Blank - Start));
    if (Blank == std::string::npos) break;
    Start = Blank + 1;
  }
  return Tokens;
}

std::string JoinWithBlanks(const std::vector<std::string>& Tokens) {
  std::string Text;
  for (size_t Index = 0; Index < Tokens.size(); ++Index) {
    if (Index != 0) Text += ' ';
    Text += Tokens[Index];
  }
  return Text;
}

}  // namespace

void TvcEvaluator::CheckCharacters(const std::string& Text) {
  for (char Character : Text)
    if (!(Character == ' ' || (Character >= '0' && Character <= '9') || Character == ',' || IsOperator(Character)))
      throw EInvalidOperation(vcCharacterError);
}

std::string TvcEvaluator::SpaceOperators(const std::string& Text) {
  std::string Spaced;
  for (char Character : Text) {
    if (IsOperator(Character)) {
      Spaced += ' ';
      Spaced += Character;
      Spaced += ' ';
    } else {
      Spaced += Character;
    }
  }
  std::string Collapsed;
  for (char Character : Spaced)
    if (!(Character == ' ' && !Collapsed.empty() && Collapsed.back() == ' ')) Collapsed += Character;
  return Collapsed;
}

int32_t TvcEvaluator::FindOperator(const std::vector<std::string>& Tokens, char First, char Second) {
  for (size_t Index = 0; Index < Tokens.size(); ++Index)
    if (Tokens[Index].size() == 1 && (Tokens[Index][0] == First || Tokens[Index][0] == Second))
      return int32_t(Index);
  return -1;
}

int32_t TvcEvaluator::Evaluate(const std::string& Text) {
  CheckCharacters(Text);
  std::vector<std::string> Tokens = SplitAtBlanks(SpaceOperators(Text));
  while (true) {
    int32_t At = FindOperator(Tokens, '*', '/');
    if (At < 0) At = FindOperator(Tokens, '+', '-');
    if (At < 0) break;
    const std::string Left = At > 0 ? Tokens[size_t(At) - 1] : std::string();
    const std::string Right = size_t(At) + 1 < Tokens.size() ? Tokens[size_t(At) + 1] : std::string();
    const int64_t A = StrToInt(Left), B = StrToInt(Right);
    int64_t Result = 0;
    switch (Tokens[size_t(At)][0]) {
      case '*':
        Result = A * B;
        break;
      case '/':
        if (B == 0) throw EInvalidOperation(vcDivideByZeroError);
        Result = A / B;
        break;
      case '+':
        Result = A + B;
        break;
      default:
        Result = A - B;
        break;
    }
    // The operator and its operands become the result; a missing operand failed above.
    const size_t First = size_t(At) - 1;
    Tokens.erase(Tokens.begin() + long(First), Tokens.begin() + long(First) + 3);
    Tokens.insert(Tokens.begin() + long(First), std::to_string(Result));
  }
  return StrToInt(JoinWithBlanks(Tokens));
}

std::vector<POINT> ParsePointListLines(const TStrings& Lines, int32_t Width, int32_t Height) {
  std::vector<POINT> Points;
  if (Lines.Count() <= 2) return Points;
  for (int32_t Index = 0; Index < Lines.Count(); ++Index) {
    std::string Line = Lines.Get(Index);
    for (char& Character : Line)
      if (Character >= 'a' && Character <= 'z') Character = char(Character - 'a' + 'A');
    if (Line.find(',') == std::string::npos) throw EInvalidOperation(vcPointFormatError);
    Line = ReplaceAll(Line, ",", ", ");
    Line = ReplaceAll(Line, ",  ", ", ");
    Line = ReplaceAll(Line, "WIDTH", std::to_string(Width));
    Line = ReplaceAll(Line, "HEIGHT", std::to_string(Height));
    const size_t First = Line.find(", ");
    const std::string XText = Line.substr(0, First);
    const std::string Rest = First == std::string::npos ? std::string() : Line.substr(First + 2);
    const std::string YText = Rest.substr(0, Rest.find(", "));
    const int32_t X = TvcEvaluator::Evaluate(XText);
    const int32_t Y = TvcEvaluator::Evaluate(YText);
    Points.push_back(POINT{X, Y});
  }
  return Points;
}
