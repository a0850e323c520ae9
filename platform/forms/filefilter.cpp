#include "platform/forms/filefilter.h"

#include "platform/rtl/unicode.h"

namespace {

std::string Trimmed(std::string_view Text) {
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t')) Text.remove_suffix(1);
  return std::string(Text);
}

std::vector<std::string_view> Split(std::string_view Text, char Separator) {
  std::vector<std::string_view> Parts;
  size_t Start = 0;
  for (;;) {
    size_t End = Text.find(Separator, Start);
    if (End == std::string_view::npos) {
      Parts.push_back(Text.substr(Start));
      return Parts;
    }
    Parts.push_back(Text.substr(Start, End - Start));
    Start = End + 1;
  }
}

char32_t Folded(char32_t Code) { return Code >= 'A' && Code <= 'Z' ? Code - 'A' + 'a' : Code; }

}  // namespace

std::vector<TFileFilter> ParseFileFilter(std::string_view Filter) {
  std::vector<TFileFilter> Filters;
  if (Filter.empty()) return Filters;
  std::vector<std::string_view> Parts = Split(Filter, '|');
  for (size_t Index = 0; Index + 1 < Parts.size(); Index += 2) {
    TFileFilter Entry;
    Entry.Description = std::string(Parts[Index]);
    for (std::string_view Pattern : Split(Parts[Index + 1], ';')) {
      std::string Clean = Trimmed(Pattern);
      if (!Clean.empty()) Entry.Patterns.push_back(std::move(Clean));
    }
    Filters.push_back(std::move(Entry));
  }
  return Filters;
}

bool MatchesFilePattern(std::string_view Name, std::string_view Pattern) {
  if (Pattern == "*" || Pattern == "*.*") return true;
  const std::u32string N = Utf8ToUtf32(Name);
  const std::u32string P = Utf8ToUtf32(Pattern);
  // Greedy matching that remembers the last star: linear in practice, never exponential.
  size_t NameAt = 0, PatternAt = 0;
  size_t StarAt = std::u32string::npos, NameAtStar = 0;
  while (NameAt < N.size()) {
    if (PatternAt < P.size() && P[PatternAt] == U'*') {
      StarAt = PatternAt++;
      NameAtStar = NameAt;
    } else if (PatternAt < P.size() && (P[PatternAt] == U'?' || Folded(P[PatternAt]) == Folded(N[NameAt]))) {
      ++PatternAt;
      ++NameAt;
    } else if (StarAt != std::u32string::npos) {
      PatternAt = StarAt + 1;
      NameAt = ++NameAtStar;
    } else {
      return false;
    }
  }
  while (PatternAt < P.size() && P[PatternAt] == U'*') ++PatternAt;
  return PatternAt == P.size();
}

bool MatchesAnyFilePattern(std::string_view Name, const std::vector<std::string>& Patterns) {
  if (Patterns.empty()) return true;
  for (const std::string& Pattern : Patterns)
    if (MatchesFilePattern(Name, Pattern)) return true;
  return false;
}

bool HasFileWildcards(std::string_view Text) { return Text.find_first_of("*?") != std::string_view::npos; }
