#include "platform/rtl/profiledocument.h"

#include <algorithm>

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t NotFound = static_cast<size_t>(-1);

bool IsBlankByte(char C) {
  return C == ' ' || C == '\t' || C == '\v' || C == '\f';
}

char FoldAscii(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool Contains(const std::vector<std::string>& Names, std::string_view Name) {
  return std::any_of(Names.begin(), Names.end(),
                     [&](const std::string& Known) { return TProfileDocument::SameName(Known, Name); });
}

}  // namespace

std::string_view TProfileDocument::TrimBlanks(std::string_view Text) {
  while (!Text.empty() && IsBlankByte(Text.front())) Text.remove_prefix(1);
  while (!Text.empty() && IsBlankByte(Text.back())) Text.remove_suffix(1);
  return Text;
}

bool TProfileDocument::SameName(std::string_view Left, std::string_view Right) {
  Left = TrimBlanks(Left);
  Right = TrimBlanks(Right);
  if (Left.size() != Right.size()) return false;
  for (size_t Index = 0; Index < Left.size(); ++Index)
    if (FoldAscii(Left[Index]) != FoldAscii(Right[Index])) return false;
  return true;
}

TProfileDocument::TLine TProfileDocument::MakeLine(std::string Text, std::string End) {
  TLine Line;
  Line.Text = std::move(Text);
  Line.End = std::move(End);
  std::string_view Content = TrimBlanks(Line.Text);
  if (Content.empty()) {
    Line.Kind = TLineKind::Blank;
  } else if (Content.front() == '[') {
    Line.Kind = TLineKind::Section;
    Content.remove_prefix(1);
    size_t Close = Content.find(']');
    Line.Name = std::string(TrimBlanks(Content.substr(0, Close)));
  } else if (Content.front() == ';') {
    Line.Kind = TLineKind::Comment;
  } else {
    Line.Kind = TLineKind::Key;
    Line.Name = std::string(TrimBlanks(Content.substr(0, Content.find('='))));
  }
  return Line;
}

void TProfileDocument::Parse(std::string_view Text) {
  FLines.clear();
  FByteOrderMark.clear();
  FLineEnd = "\r\n";
  if (Text.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
    FByteOrderMark = ByteOrderMark;
    Text.remove_prefix(ByteOrderMark.size());
  }
  bool LineEndKnown = false;
  size_t At = 0;
  while (At < Text.size()) {
    size_t Stop = Text.find_first_of("\r\n", At);
    if (Stop == std::string_view::npos) {
      FLines.push_back(MakeLine(std::string(Text.substr(At)), std::string()));
      break;
    }
    size_t EndLength = Text[Stop] == '\r' && Stop + 1 < Text.size() && Text[Stop + 1] == '\n' ? 2 : 1;
    std::string End(Text.substr(Stop, EndLength));
    if (!LineEndKnown) {
      FLineEnd = End;
      LineEndKnown = true;
    }
    FLines.push_back(MakeLine(std::string(Text.substr(At, Stop - At)), std::move(End)));
    At = Stop + EndLength;
  }
}

std::string TProfileDocument::Text() const {
  std::string Result = FByteOrderMark;
  for (const auto& Line : FLines) {
    Result += Line.Text;
    Result += Line.End;
  }
  return Result;
}

size_t TProfileDocument::NextSection(size_t From) const {
  while (From < FLines.size() && FLines[From].Kind != TLineKind::Section) ++From;
  return From;
}

size_t TProfileDocument::FindKey(std::string_view Section, std::string_view Key) const {
  for (size_t Header = NextSection(0); Header < FLines.size(); Header = NextSection(Header + 1)) {
    if (!SameName(FLines[Header].Name, Section)) continue;
    for (size_t Index = Header + 1; Index < FLines.size() && FLines[Index].Kind != TLineKind::Section;
         ++Index)
      if (FLines[Index].Kind == TLineKind::Key && SameName(FLines[Index].Name, Key)) return Index;
  }
  return NotFound;
}

bool TProfileDocument::ReadValue(std::string_view Section, std::string_view Key, std::string& Value) const {
  size_t Index = FindKey(Section, Key);
  if (Index == NotFound) return false;
  std::string_view Text = FLines[Index].Text;
  size_t Equals = Text.find('=');
  std::string_view Raw =
      Equals == std::string_view::npos ? std::string_view() : TrimBlanks(Text.substr(Equals + 1));
  if (Raw.size() >= 2 && (Raw.front() == '"' || Raw.front() == '\'') && Raw.back() == Raw.front())
    Raw = Raw.substr(1, Raw.size() - 2);
  Value.assign(Raw);
  return true;
}

std::vector<std::string> TProfileDocument::SectionNames() const {
  std::vector<std::string> Names;
  for (size_t Header = NextSection(0); Header < FLines.size(); Header = NextSection(Header + 1))
    if (!Contains(Names, FLines[Header].Name)) Names.push_back(FLines[Header].Name);
  return Names;
}

std::vector<std::string> TProfileDocument::KeyNames(std::string_view Section) const {
  std::vector<std::string> Names;
  for (size_t Header = NextSection(0); Header < FLines.size(); Header = NextSection(Header + 1)) {
    if (!SameName(FLines[Header].Name, Section)) continue;
    for (size_t Index = Header + 1; Index < FLines.size() && FLines[Index].Kind != TLineKind::Section;
         ++Index)
      if (FLines[Index].Kind == TLineKind::Key && !Contains(Names, FLines[Index].Name))
        Names.push_back(FLines[Index].Name);
  }
  return Names;
}

bool TProfileDocument::SectionExists(std::string_view Section) const {
  for (size_t Header = NextSection(0); Header < FLines.size(); Header = NextSection(Header + 1))
    if (SameName(FLines[Header].Name, Section)) return true;
  return false;
}

void TProfileDocument::EnsureLastLineEnded() {
  if (!FLines.empty() && FLines.back().End.empty()) FLines.back().End = FLineEnd;
}

bool TProfileDocument::WriteValue(std::string_view Section, std::string_view Key, std::string_view Value) {
  Section = TrimBlanks(Section);
  Key = TrimBlanks(Key);
  size_t Existing = FindKey(Section, Key);
  if (Existing != NotFound) {
    TLine& Line = FLines[Existing];
    std::string Text = Line.Name + "=" + std::string(Value);
    if (Text == Line.Text) return false;
    Line.Text = std::move(Text);
    return true;
  }
  TLine NewKey = MakeLine(std::string(Key) + "=" + std::string(Value), FLineEnd);
  for (size_t Header = NextSection(0); Header < FLines.size(); Header = NextSection(Header + 1)) {
    if (!SameName(FLines[Header].Name, Section)) continue;
    // After the section's last non-blank line, so the blank lines before the next section stay
    // between the sections.
    size_t Last = Header;
    for (size_t Index = Header + 1; Index < FLines.size() && FLines[Index].Kind != TLineKind::Section;
         ++Index)
      if (FLines[Index].Kind != TLineKind::Blank) Last = Index;
    if (FLines[Last].End.empty()) FLines[Last].End = FLineEnd;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(Last + 1), std::move(NewKey));
    return true;
  }
  EnsureLastLineEnded();
  if (!FLines.empty() && FLines.back().Kind != TLineKind::Blank)
    FLines.push_back(MakeLine(std::string(), FLineEnd));
  FLines.push_back(MakeLine("[" + std::string(Section) + "]", FLineEnd));
  FLines.push_back(std::move(NewKey));
  return true;
}

bool TProfileDocument::DeleteKey(std::string_view Section, std::string_view Key) {
  bool Changed = false;
  for (size_t Index = FindKey(Section, Key); Index != NotFound; Index = FindKey(Section, Key)) {
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(Index));
    Changed = true;
  }
  return Changed;
}

bool TProfileDocument::DeleteSection(std::string_view Section) {
  bool Changed = false;
  size_t Header = NextSection(0);
  while (Header < FLines.size()) {
    size_t Next = NextSection(Header + 1);
    if (SameName(FLines[Header].Name, Section)) {
      FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(Header),
                   FLines.begin() + static_cast<std::ptrdiff_t>(Next));
      Changed = true;
      Header = NextSection(Header);
    } else {
      Header = Next;
    }
  }
  return Changed;
}

bool TProfileDocument::CanStoreSection(std::string_view Section) {
  return Section.find_first_of("\r\n]") == std::string_view::npos;
}

bool TProfileDocument::CanStoreKey(std::string_view Key) {
  std::string_view Trimmed = TrimBlanks(Key);
  if (Key.find_first_of("\r\n=") != std::string_view::npos) return false;
  return Trimmed.empty() || (Trimmed.front() != '[' && Trimmed.front() != ';');
}

bool TProfileDocument::CanStoreValue(std::string_view Value) {
  return Value.find_first_of("\r\n") == std::string_view::npos;
}
