#include "platform/shell/desktopentry.h"

namespace {

std::string_view TrimBlanks(std::string_view Text) {
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t' || Text.back() == '\r')) Text.remove_suffix(1);
  return Text;
}

// Characters that make an Exec argument need quotes.
constexpr std::string_view Reserved = " \t\n\"'\\><~|&;$*?#()`";

}  // namespace

const std::string* TDesktopGroup::Find(std::string_view Key) const {
  for (const auto& [Name, Value] : Entries)
    if (Name == Key) return &Value;
  return nullptr;
}

const TDesktopGroup* TDesktopFile::Group(std::string_view Name) const {
  for (const TDesktopGroup& Candidate : Groups)
    if (Candidate.Name == Name) return &Candidate;
  return nullptr;
}

std::optional<std::string> TDesktopFile::Value(std::string_view GroupName, std::string_view Key) const {
  const TDesktopGroup* Found = Group(GroupName);
  const std::string* Text = Found ? Found->Find(Key) : nullptr;
  if (!Text) return std::nullopt;
  return *Text;
}

TDesktopFile ParseDesktopFile(std::string_view Text) {
  TDesktopFile File;
  TDesktopGroup* Current = nullptr;
  size_t Start = 0;
  while (Start < Text.size()) {
    size_t End = Text.find('\n', Start);
    if (End == std::string_view::npos) End = Text.size();
    std::string_view Line = TrimBlanks(Text.substr(Start, End - Start));
    Start = End + 1;
    if (Line.empty() || Line.front() == '#') continue;
    if (Line.front() == '[') {
      size_t Close = Line.find(']');
      if (Close == std::string_view::npos) {
        // A broken group header: its lines belong to no group we could name.
        Current = nullptr;
        continue;
      }
      File.Groups.push_back(TDesktopGroup{std::string(Line.substr(1, Close - 1)), {}});
      Current = &File.Groups.back();
      continue;
    }
    size_t Equals = Line.find('=');
    if (!Current || Equals == std::string_view::npos) continue;
    std::string_view Key = TrimBlanks(Line.substr(0, Equals));
    if (Key.empty()) continue;
    Current->Entries.emplace_back(std::string(Key), UnescapeDesktopValue(TrimBlanks(Line.substr(Equals + 1))));
  }
  return File;
}

std::string EscapeDesktopValue(std::string_view Text) {
  std::string Result;
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    char C = Text[Index];
    switch (C) {
      case '\\': Result += "\\\\"; break;
      case '\n': Result += "\\n"; break;
      case '\t': Result += "\\t"; break;
      case '\r': Result += "\\r"; break;
      // A leading blank would be trimmed away when the line is read.
      case ' ': Result += Index == 0 ? "\\s" : " "; break;
      default: Result += C; break;
    }
  }
  return Result;
}

std::string UnescapeDesktopValue(std::string_view Text) {
  std::string Result;
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    char C = Text[Index];
    if (C != '\\' || Index + 1 >= Text.size()) {
      Result += C;
      continue;
    }
    char Next = Text[++Index];
    switch (Next) {
      case 's': Result += ' '; break;
      case 'n': Result += '\n'; break;
      case 't': Result += '\t'; break;
      case 'r': Result += '\r'; break;
      case '\\': Result += '\\'; break;
      default:
        // Not an escape of this format (Exec quoting uses its own): left as it stands.
        Result += '\\';
        Result += Next;
        break;
    }
  }
  return Result;
}

std::string QuoteExecArguments(const std::vector<std::string>& Arguments) {
  std::string Result;
  for (size_t Index = 0; Index < Arguments.size(); ++Index) {
    if (Index > 0) Result += ' ';
    std::string Argument;
    for (char C : Arguments[Index]) {
      Argument += C;
      if (C == '%') Argument += '%';
    }
    if (!Argument.empty() && Argument.find_first_of(Reserved) == std::string::npos) {
      Result += Argument;
      continue;
    }
    Result += '"';
    for (char C : Argument) {
      if (C == '"' || C == '`' || C == '$' || C == '\\') Result += '\\';
      Result += C;
    }
    Result += '"';
  }
  return Result;
}

std::optional<std::vector<std::string>> SplitExecArguments(std::string_view Exec) {
  std::vector<std::string> Arguments;
  size_t Index = 0;
  for (;;) {
    while (Index < Exec.size() && (Exec[Index] == ' ' || Exec[Index] == '\t')) ++Index;
    if (Index >= Exec.size()) break;
    std::string Argument;
    while (Index < Exec.size() && Exec[Index] != ' ' && Exec[Index] != '\t') {
      if (Exec[Index] != '"') {
        Argument += Exec[Index++];
        continue;
      }
      ++Index;
      bool Closed = false;
      while (Index < Exec.size()) {
        char C = Exec[Index++];
        if (C == '"') {
          Closed = true;
          break;
        }
        if (C == '\\' && Index < Exec.size()) {
          char Next = Exec[Index];
          if (Next == '"' || Next == '`' || Next == '$' || Next == '\\') {
            Argument += Next;
            ++Index;
            continue;
          }
        }
        Argument += C;
      }
      if (!Closed) return std::nullopt;
    }
    Arguments.push_back(std::move(Argument));
  }
  return Arguments;
}

std::vector<std::string> ExpandExecFieldCodes(const std::vector<std::string>& Arguments, const TExecFields& Fields) {
  std::vector<std::string> Result;
  bool FileNamed = false;
  for (const std::string& Argument : Arguments) {
    if (Argument == "%F" || Argument == "%U") {
      FileNamed = true;
      if (!Fields.File.empty()) Result.push_back(Fields.File);
      continue;
    }
    if (Argument == "%i") {
      if (!Fields.Icon.empty()) {
        Result.push_back("--icon");
        Result.push_back(Fields.Icon);
      }
      continue;
    }
    std::string Expanded;
    for (size_t Index = 0; Index < Argument.size(); ++Index) {
      if (Argument[Index] != '%' || Index + 1 >= Argument.size()) {
        Expanded += Argument[Index];
        continue;
      }
      char Code = Argument[++Index];
      switch (Code) {
        case '%': Expanded += '%'; break;
        case 'f':
        case 'u':
          FileNamed = true;
          Expanded += Fields.File;
          break;
        case 'c': Expanded += Fields.Name; break;
        case 'k': Expanded += Fields.Location; break;
        default: break;  // %d %D %n %N %v %m and unknown codes: nothing
      }
    }
    // An argument that was only a code for something absent goes away.
    if (Expanded.empty() && !Argument.empty() && Argument.front() == '%') continue;
    Result.push_back(std::move(Expanded));
  }
  if (!FileNamed && !Fields.File.empty()) Result.push_back(Fields.File);
  return Result;
}
