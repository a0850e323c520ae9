#pragma once
// The text of a profile (INI) file as lines, with the reading and editing rules of the profile
// functions:
// - "[Name]" starts a section; "key=value" lines belong to the section above them; a line
//   without "=" is a key with an empty value; a line starting with ";" is a comment; lines before
//   the first section belong to none.
// - Section and key names match without regard to ASCII case and without their surrounding
//   blanks. Sections of the same name act as one section: a key is found in the first of them
//   that has it.
// - A value is read without its surrounding blanks, then without one pair of matching quotes
//   ("..." or '...') around it.
// - Editing touches only the lines it changes: comments, blank lines, unknown lines, a UTF-8
//   byte-order mark, the line ends and every other byte stay as they were. A changed key keeps
//   its place (and its spelling); a new key goes after the last non-blank line of its section; a
//   new section goes to the end of the file, after a blank line. New lines take the file's line
//   end (the first one in it; CR LF for a new file).

#include <string>
#include <string_view>
#include <vector>

class TProfileDocument {
 public:
  TProfileDocument() = default;
  explicit TProfileDocument(std::string_view Text) { Parse(Text); }

  void Parse(std::string_view Text);
  // The file's bytes; a document that was parsed and not changed gives back its text exactly.
  std::string Text() const;

  // The value of Key in Section; false when the section or the key is missing.
  bool ReadValue(std::string_view Section, std::string_view Key, std::string& Value) const;
  // Section names in file order, each once (in its first spelling).
  std::vector<std::string> SectionNames() const;
  // The keys of Section in file order, each once.
  std::vector<std::string> KeyNames(std::string_view Section) const;
  bool SectionExists(std::string_view Section) const;

  // The editors return whether the text changed. Names must be storable (CanStore...).
  bool WriteValue(std::string_view Section, std::string_view Key, std::string_view Value);
  bool DeleteKey(std::string_view Section, std::string_view Key);
  bool DeleteSection(std::string_view Section);

  // Whether a name or value can be written so that it reads back the same: no line ends, no "]"
  // in a section name, no "=" in a key and no key that would read as a section or a comment.
  static bool CanStoreSection(std::string_view Section);
  static bool CanStoreKey(std::string_view Key);
  static bool CanStoreValue(std::string_view Value);

  // Blanks around names and values, as the file's reader drops them.
  static std::string_view TrimBlanks(std::string_view Text);
  static bool SameName(std::string_view Left, std::string_view Right);

 private:
  enum class TLineKind { Blank, Comment, Section, Key, Other };
  struct TLine {
    std::string Text;  // without the line end
    std::string End;   // "\r\n", "\n", "\r" or "" (the last line of a file without a final line end)
    TLineKind Kind = TLineKind::Other;
    std::string Name;  // the section's or the key's name, trimmed
  };

  std::string FByteOrderMark;
  std::vector<TLine> FLines;
  std::string FLineEnd = "\r\n";

  static TLine MakeLine(std::string Text, std::string End);
  // Index of the header of the next section at or after From, or FLines.size().
  size_t NextSection(size_t From) const;
  // Finds Key in the sections named Section; returns the line index or npos.
  size_t FindKey(std::string_view Section, std::string_view Key) const;
  void EnsureLastLineEnded();
};
