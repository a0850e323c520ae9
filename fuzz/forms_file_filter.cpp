// Arbitrary bytes as a file dialog's filter text and a file name: the filter, then a NUL byte,
// then the name (no NUL: the whole input is the filter and the name is its own text). Every
// pattern is matched against the name; a pattern always matches itself when it holds no
// wildcard, "*" matches anything, and no input crashes or takes long.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/forms/filefilter.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const size_t Split = Input.find('\0');
  const std::string Filter = Input.substr(0, Split);
  const std::string Name = Split == std::string::npos ? Input : Input.substr(Split + 1);
  for (const TFileFilter& Entry : ParseFileFilter(Filter)) {
    MatchesAnyFilePattern(Name, Entry.Patterns);
    for (const std::string& Pattern : Entry.Patterns) {
      Check(!Pattern.empty());
      if (!HasFileWildcards(Pattern)) Check(MatchesFilePattern(Pattern, Pattern));
      Check(MatchesFilePattern(Pattern, "*"));
    }
  }
  MatchesFilePattern(Name, Filter);
  return 0;
}
