#pragma once
// The desktop's entry files: launchers of installed programs, autostart entries and the lists of
// default applications share one text format of [groups] holding key=value lines. Values are
// strings with a few backslash escapes (\s \n \t \r \\); the Exec key of a launcher holds the
// program and its arguments, quoted where they hold blanks or characters a shell would read,
// plus field codes (%f, %u, ...) that opening a file fills in.
//
// These files come from other programs and from the user: the parser takes any bytes, keeps what
// it understands and skips the rest.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TDesktopGroup {
  std::string Name;
  // Keys as written (localised keys such as "Name[de]" are keys of their own), values unescaped.
  std::vector<std::pair<std::string, std::string>> Entries;
  // The value of the first entry with exactly that key.
  const std::string* Find(std::string_view Key) const;
};

struct TDesktopFile {
  std::vector<TDesktopGroup> Groups;
  const TDesktopGroup* Group(std::string_view Name) const;
  // The value of Key in group Name; nothing when either is missing.
  std::optional<std::string> Value(std::string_view GroupName, std::string_view Key) const;
};

TDesktopFile ParseDesktopFile(std::string_view Text);

// A string value as the file holds it, and back.
std::string EscapeDesktopValue(std::string_view Text);
std::string UnescapeDesktopValue(std::string_view Text);

// The Exec value (before the string escapes) for a program and its arguments: each quoted when it
// must be, and "%" doubled so that no field code is read into it.
std::string QuoteExecArguments(const std::vector<std::string>& Arguments);
// An Exec value (string escapes already undone) cut into its arguments, quotes removed; field
// codes stay as written. Nothing when a quote is not closed.
std::optional<std::vector<std::string>> SplitExecArguments(std::string_view Exec);

// What the field codes of split Exec arguments stand for when a launcher opens File.
struct TExecFields {
  std::string File;      // %f %F %u %U (a local path serves for a URL too)
  std::string Name;      // %c
  std::string Icon;      // %i gives "--icon" and the icon, when there is one
  std::string Location;  // %k: the launcher file itself
};
// Fills in the field codes; "%%" becomes "%" and codes no longer in use vanish. When no argument
// names the file at all, the file is appended, as desktops do.
std::vector<std::string> ExpandExecFieldCodes(const std::vector<std::string>& Arguments, const TExecFields& Fields);
