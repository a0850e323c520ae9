#pragma once
// The filters of the file dialogs, in the class library's form: description and pattern pairs
// separated by vertical bars, the patterns of one pair by semicolons --
//   "All Files|*.wav;*.mid;*.mp3;|Wav Files(*.wav)|*.wav"
// A pattern matches a file name with "*" for any run of characters and "?" for one character,
// without regard to ASCII case, as users of the other system expect ("*.jpg" shows PHOTO.JPG).
// "*.*" and "*" match every name, a name without a dot included.

#include <string>
#include <string_view>
#include <vector>

struct TFileFilter {
  std::string Description;
  std::vector<std::string> Patterns;  // blanks trimmed, empty ones left out
};

// The pairs of a filter text; a description without its pattern part is left out.
std::vector<TFileFilter> ParseFileFilter(std::string_view Filter);

bool MatchesFilePattern(std::string_view Name, std::string_view Pattern);
// No patterns at all match every name.
bool MatchesAnyFilePattern(std::string_view Name, const std::vector<std::string>& Patterns);
// Whether a typed name is a pattern ("*" or "?" in it).
bool HasFileWildcards(std::string_view Text);
