#pragma once
// The desktop's autostart entries. A program that starts with the user's session has a desktop
// entry file in the autostart folder of the user's configuration ($XDG_CONFIG_HOME/autostart,
// usually ~/.config/autostart). The program asks for that through the registry: the string values
// of the key HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run are these entries --
// writing a value ("Korvane WebCam" = the quoted program path) writes the entry, deleting it
// removes the entry, and the key is there without being created. The key opens for writing only
// where the user may write the autostart folder (or create it).
//
// Each entry carries the value's name, so only the entries written this way are read, replaced or
// removed: a file of the user's that happens to have the same name is never touched.

#include <optional>
#include <string>
#include <vector>

// The Run key's path below HKEY_LOCAL_MACHINE.
extern const char* const AutostartRunKeyPath;

// The folder of the user's autostart entries; empty when no configuration folder is known.
std::string AutostartFolder();
// The entry file of a value: its name in lower case, blanks as "-", other marks written as %XX.
std::string AutostartEntryPath(const std::string& ValueName);

// Writes the entry for a command line (program, then arguments, in the registry's form); false
// when the line names no program, the name is empty, a file of the user's is in the way, or the
// folder cannot be written.
bool WriteAutostartEntry(const std::string& ValueName, const std::string& CommandLine);
// The command line of the entry (program quoted), or nothing when there is no such entry.
std::optional<std::string> ReadAutostartEntry(const std::string& ValueName);
bool RemoveAutostartEntry(const std::string& ValueName);
// The value names of every entry written this way.
std::vector<std::string> AutostartEntryNames();
