#pragma once
// The desktop's own choices, read the way desktops keep them: where the user's configuration and
// data folders are (the base-directory environment variables, with their usual defaults), and
// which installed application opens a type of file (the mimeapps.list files of the user, the
// system and the desktop, then the installed applications' cache).

#include <optional>
#include <string>
#include <vector>

// $XDG_CONFIG_HOME, else ~/.config (no trailing "/"); empty when neither is known.
std::string ConfigHomeFolder();
// $XDG_DATA_HOME, else ~/.local/share.
std::string DataHomeFolder();
// $XDG_CONFIG_DIRS (default /etc/xdg) and $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
std::vector<std::string> ConfigFolders();
std::vector<std::string> DataFolders();

// The program and arguments that open File in the default application for MimeType
// ("text/plain"): the first listed application that is installed, can run without a terminal,
// and is not hidden. Nothing when there is none.
std::optional<std::vector<std::string>> DefaultApplicationCommand(const std::string& MimeType,
                                                                  const std::string& File);
