#include "kvcontrols/editors/kvtextutils.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

char AsciiUpper(char Ch) { return Ch >= 'a' && Ch <= 'z' ? static_cast<char>(Ch - 'a' + 'A') : Ch; }

// The byte offset of the 1-based character position Position (Text.size() past the end).
size_t OffsetOfPosition(const std::string& Text, int Position) {
  return Utf8OffsetOf(Text, static_cast<size_t>(Position - 1));
}

int CharacterCount(std::string_view Text) { return static_cast<int>(Utf8Length(Text)); }

// The byte offset of the first Ch in Text, or npos.
size_t FindChar(const std::string& Text, char32_t Ch) {
  for (size_t Index = 0; Index < Text.size();) {
    const size_t Start = Index;
    if (Utf8Decode(Text, Index) == Ch) return Start;
  }
  return std::string::npos;
}

}  // namespace

void kvNextToken(const std::string& Text, const std::string& Separator, int& Position,
                 std::string& Token) {
  Token.clear();
  if (Position <= 0) return;
  if (Position > CharacterCount(Text)) {
    Position = -1;
    return;
  }
  const size_t Start = OffsetOfPosition(Text, Position);
  size_t Found = std::string::npos;
  size_t SeparatorEnd = 0;
  if (Utf8Length(Separator) == 1) {
    Found = Text.find(Separator, Start);
    SeparatorEnd = Found + Separator.size();
  } else if (!Separator.empty()) {
    // A word separator ("and", "or") stands between blanks; case-folding a-z keeps byte offsets.
    const std::string Word = UpperCase(" " + Separator + " ");
    const std::string Rest = UpperCase(Text.substr(Start));
    const size_t At = Rest.find(Word);
    if (At != std::string::npos) {
      Found = Start + At;
      SeparatorEnd = Found + Word.size();
    }
  }
  if (Found == std::string::npos) {
    Token = Text.substr(Start);
    Position = -1;
    return;
  }
  Token = Text.substr(Start, Found - Start);
  Position += CharacterCount(std::string_view(Text).substr(Start, SeparatorEnd - Start));
}

void kvSplitToList(const std::string& Text, const std::string& Separator, TStrings& List) {
  List.Clear();
  size_t Start = 0;
  if (!Separator.empty()) {
    for (size_t Found = Text.find(Separator); Found != std::string::npos;
         Found = Text.find(Separator, Start)) {
      List.Add(Text.substr(Start, Found - Start));
      // Resume one character after the separator's first character.
      Start = Utf8Next(Text, Found);
    }
  }
  List.Add(Text.substr(Start));
}

void kvTrimTrailingChars(std::string& Text, std::string_view CharSet) {
  const std::u32string Set = Utf8ToUtf32(CharSet);
  size_t End = Text.size();
  while (End > 0) {
    const size_t Prior = Utf8Prior(Text, End);
    size_t Index = Prior;
    if (Set.find(Utf8Decode(Text, Index)) == std::u32string::npos) break;
    End = Prior;
  }
  Text.resize(End);
}

std::string kvReplaceEveryChar(const std::string& Text, char32_t OldChar, char32_t NewChar) {
  return kvReplaceCharByText(Text, OldChar, Utf8Encode(NewChar));
}

std::string kvReplaceCharByText(const std::string& Text, char32_t OldChar, const std::string& NewText) {
  std::string Result;
  Result.reserve(Text.size());
  for (size_t Index = 0; Index < Text.size();) {
    const size_t Start = Index;
    if (Utf8Decode(Text, Index) == OldChar)
      Result += NewText;
    else
      Result.append(Text, Start, Index - Start);
  }
  return Result;
}

bool kvEqualsIgnoreCase(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t Index = 0; Index < A.size(); ++Index)
    if (AsciiUpper(A[Index]) != AsciiUpper(B[Index])) return false;
  return true;
}

int kvCountChar(const std::string& Text, char32_t Ch) {
  int Count = 0;
  for (size_t Index = 0; Index < Text.size();)
    if (Utf8Decode(Text, Index) == Ch) ++Count;
  return Count;
}

std::string kvTextAfterChar(const std::string& Text, char32_t Ch) {
  const size_t Found = FindChar(Text, Ch);
  return Found == std::string::npos ? std::string() : Text.substr(Utf8Next(Text, Found));
}

std::string kvTextBeforeChar(const std::string& Text, char32_t Ch) {
  const size_t Found = FindChar(Text, Ch);
  return Found == std::string::npos ? std::string() : Text.substr(0, Found);
}

std::string kvFileBaseName(const std::string& FileName) {
  const size_t Slash = FileName.rfind('/');
  const std::string Name = Slash == std::string::npos ? FileName : FileName.substr(Slash + 1);
  const size_t Dot = Name.find('.');
  return Dot == std::string::npos ? std::string() : Name.substr(0, Dot);
}

std::string kvProgramBaseName(const std::string& ProgramFileName) {
  const size_t Slash = ProgramFileName.rfind('/');
  const std::string Name = Slash == std::string::npos ? ProgramFileName : ProgramFileName.substr(Slash + 1);
  return Name.find('.') == std::string::npos ? Name : kvFileBaseName(Name);
}
