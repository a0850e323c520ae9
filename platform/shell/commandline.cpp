#include "platform/shell/commandline.h"

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandArguments(std::string_view Text) {
  std::vector<std::string> Arguments;
  size_t Index = 0;
  const size_t Size = Text.size();
  for (;;) {
    while (Index < Size && IsBlank(Text[Index])) ++Index;
    if (Index >= Size) break;
    std::string Argument;
    bool Quoted = false;
    while (Index < Size) {
      char C = Text[Index];
      if (IsBlank(C) && !Quoted) break;
      if (C == '\\') {
        size_t Count = 0;
        while (Index + Count < Size && Text[Index + Count] == '\\') ++Count;
        if (Index + Count < Size && Text[Index + Count] == '"') {
          Argument.append(Count / 2, '\\');
          Index += Count;
          if (Count % 2 == 1) {
            Argument += '"';
            ++Index;
          }
          // An even run leaves the quote itself to the next step.
        } else {
          Argument.append(Count, '\\');
          Index += Count;
        }
        continue;
      }
      if (C == '"') {
        if (Quoted && Index + 1 < Size && Text[Index + 1] == '"') {
          Argument += '"';
          Index += 2;
        } else {
          Quoted = !Quoted;
          ++Index;
        }
        continue;
      }
      Argument += C;
      ++Index;
    }
    Arguments.push_back(std::move(Argument));
  }
  return Arguments;
}

std::vector<std::string> SplitCommandLine(std::string_view Text) {
  size_t Index = 0;
  while (Index < Text.size() && IsBlank(Text[Index])) ++Index;
  if (Index >= Text.size()) return {};
  std::string Program;
  if (Text[Index] == '"') {
    size_t End = Text.find('"', Index + 1);
    if (End == std::string_view::npos) End = Text.size();
    Program.assign(Text.substr(Index + 1, End - Index - 1));
    Index = End < Text.size() ? End + 1 : End;
  } else {
    size_t End = Index;
    while (End < Text.size() && !IsBlank(Text[End])) ++End;
    Program.assign(Text.substr(Index, End - Index));
    Index = End;
  }
  std::vector<std::string> Arguments{std::move(Program)};
  for (std::string& Argument : SplitCommandArguments(Text.substr(Index))) Arguments.push_back(std::move(Argument));
  return Arguments;
}

std::string QuoteCommandArgument(const std::string& Argument, bool Force) {
  if (!Force && !Argument.empty() && Argument.find_first_of(" \t\n\v\"") == std::string::npos) return Argument;
  std::string Result = "\"";
  size_t Backslashes = 0;
  for (char C : Argument) {
    if (C == '\\') {
      ++Backslashes;
      continue;
    }
    if (C == '"') {
      Result.append(Backslashes * 2 + 1, '\\');
    } else {
      Result.append(Backslashes, '\\');
    }
    Backslashes = 0;
    Result += C;
  }
  // Backslashes before the closing quote are doubled so that they stay backslashes.
  Result.append(Backslashes * 2, '\\');
  Result += '"';
  return Result;
}

std::string JoinCommandLine(const std::vector<std::string>& Arguments) {
  std::string Result;
  for (size_t Index = 0; Index < Arguments.size(); ++Index) {
    if (Index > 0) Result += ' ';
    const std::string& Argument = Arguments[Index];
    // The program's quotes take no escapes, so a name without a quote is simply enclosed.
    if (Index == 0 && Argument.find('"') == std::string::npos)
      Result += '"' + Argument + '"';
    else
      Result += QuoteCommandArgument(Argument, Index == 0);
  }
  return Result;
}
