#pragma once
// String routines shared by every control of the data-aware library: the next token of a
// separated list, splitting into a string list, trimming, replacing, comparing and counting, and
// the program's file base name.
//
// Text is UTF-8. Positions are 1-based character positions counted in code points, so a caret
// position of an edit and a position handed back by these routines mean the same place. "Case
// insensitive" here folds the letters a-z only; every other character compares unchanged.

#include <string>
#include <string_view>

class TStrings;

// Takes the next token of Text from Position.
//   - Token is emptied first; nothing else happens when Position is 0 or less.
//   - Position beyond the end of Text becomes -1 (Token stays empty).
//   - A one-character Separator is searched exactly; a longer Separator is searched as a word, a
//     blank, the separator and a blank, case-insensitively, so "and" never matches inside "band".
//   - Found: Token is the text up to the separator (up to the word's leading blank) and Position
//     moves past the separator (past the word's trailing blank). Not found: Token is the rest of
//     Text and Position becomes -1.
// A text ending in a separator yields, after its last token, one more call with an empty Token
// and Position -1, which lets callers tell "a;" from "a".
void kvNextToken(const std::string& Text, const std::string& Separator, int& Position,
                 std::string& Token);

// Clears List and adds the pieces of Text between occurrences of Separator. After each occurrence
// the scan resumes one character after the separator's first character, so the remaining
// characters of a longer separator lead the next piece. The last piece is always added: an empty
// Text gives one empty entry, a trailing separator a final empty entry.
void kvSplitToList(const std::string& Text, const std::string& Separator, TStrings& List);

// Removes the trailing characters of Text that occur in CharSet (a UTF-8 text listing them).
void kvTrimTrailingChars(std::string& Text, std::string_view CharSet);
// Every OldChar replaced by NewChar.
std::string kvReplaceEveryChar(const std::string& Text, char32_t OldChar, char32_t NewChar);
// Every OldChar replaced by NewText; characters of the inserted text are never replaced again.
std::string kvReplaceCharByText(const std::string& Text, char32_t OldChar, const std::string& NewText);
// Equal after upper-casing a-z.
bool kvEqualsIgnoreCase(std::string_view A, std::string_view B);
int kvCountChar(const std::string& Text, char32_t Ch);
// The text after (before) the first Ch; empty when Ch does not occur.
std::string kvTextAfterChar(const std::string& Text, char32_t Ch);
std::string kvTextBeforeChar(const std::string& Text, char32_t Ch);

// The file name without its folder, up to (not including) its first dot; empty when the name has
// no dot.
std::string kvFileBaseName(const std::string& FileName);
// The name that default settings files of the library are built from: kvFileBaseName of the
// program file, or the whole name without its folder when it has no dot. Programs on Linux have no
// extension, and a default file name of ".ini" would be hidden and shared by every program in the
// folder.
std::string kvProgramBaseName(const std::string& ProgramFileName);
