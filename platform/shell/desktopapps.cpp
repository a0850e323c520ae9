#include "platform/shell/desktopapps.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/desktopentry.h"

namespace {

std::string Environment(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? std::string(Value) : std::string();
}

// A base-directory variable holds an absolute path; anything else is ignored.
std::string AbsoluteOrEmpty(std::string Path) {
  if (Path.empty() || Path.front() != '/') return std::string();
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  return Path;
}

std::vector<std::string> FolderList(const char* Variable, const char* Default) {
  std::string Text = Environment(Variable);
  if (Text.empty()) Text = Default;
  std::vector<std::string> Folders;
  size_t Start = 0;
  while (Start <= Text.size()) {
    size_t End = Text.find(':', Start);
    if (End == std::string::npos) End = Text.size();
    std::string Folder = AbsoluteOrEmpty(Text.substr(Start, End - Start));
    if (!Folder.empty()) Folders.push_back(Folder);
    Start = End + 1;
  }
  return Folders;
}

std::string HomeBased(const char* Variable, const char* BelowHome) {
  std::string Folder = AbsoluteOrEmpty(Environment(Variable));
  if (!Folder.empty()) return Folder;
  std::string Home = AbsoluteOrEmpty(Environment("HOME"));
  return Home.empty() ? std::string() : Home + BelowHome;
}

std::optional<TDesktopFile> ReadDesktopFile(const std::string& Path) {
  std::string Content;
  if (ReadFileContent(Path, Content) != TFileReadResult::Read) return std::nullopt;
  return ParseDesktopFile(Content);
}

// "a.desktop;b.desktop;" split at the semicolons.
std::vector<std::string> SplitList(const std::string& Text) {
  std::vector<std::string> Items;
  size_t Start = 0;
  while (Start < Text.size()) {
    size_t End = Text.find(';', Start);
    if (End == std::string::npos) End = Text.size();
    std::string Item = Trim(Text.substr(Start, End - Start));
    if (!Item.empty()) Items.push_back(Item);
    Start = End + 1;
  }
  return Items;
}

bool ExecutableFound(const std::string& Program) {
  if (Program.find('/') != std::string::npos) return access(Program.c_str(), X_OK) == 0;
  for (const std::string& Folder : FolderList("PATH", "/usr/local/bin:/usr/bin:/bin"))
    if (access((Folder + "/" + Program).c_str(), X_OK) == 0) return true;
  return false;
}

// The command of an installed application for File, or nothing when the id names none that can
// run here.
std::optional<std::vector<std::string>> CommandOf(const std::string& DesktopId, const std::string& File) {
  if (DesktopId.find('/') != std::string::npos || DesktopId == "." || DesktopId == "..") return std::nullopt;
  std::vector<std::string> Folders{DataHomeFolder()};
  for (const std::string& Folder : DataFolders()) Folders.push_back(Folder);
  for (const std::string& Folder : Folders) {
    if (Folder.empty()) continue;
    const std::string Path = Folder + "/applications/" + DesktopId;
    std::optional<TDesktopFile> Entry = ReadDesktopFile(Path);
    if (!Entry) continue;
    // The first file found for an id is the application, whatever it says.
    auto Get = [&](const char* Key) { return Entry->Value("Desktop Entry", Key).value_or(std::string()); };
    if (Get("Type") != "Application" || Get("Hidden") == "true" || Get("Terminal") == "true") return std::nullopt;
    const std::string TryExec = Get("TryExec");
    if (!TryExec.empty() && !ExecutableFound(TryExec)) return std::nullopt;
    std::optional<std::vector<std::string>> Arguments = SplitExecArguments(Get("Exec"));
    if (!Arguments || Arguments->empty() || !ExecutableFound(Arguments->front())) return std::nullopt;
    TExecFields Fields{File, Get("Name"), Get("Icon"), Path};
    std::vector<std::string> Command = ExpandExecFieldCodes(*Arguments, Fields);
    if (Command.empty() || Command.front().empty()) return std::nullopt;
    return Command;
  }
  return std::nullopt;
}

}  // namespace

std::string ConfigHomeFolder() { return HomeBased("XDG_CONFIG_HOME", "/.config"); }

std::string DataHomeFolder() { return HomeBased("XDG_DATA_HOME", "/.local/share"); }

std::vector<std::string> ConfigFolders() { return FolderList("XDG_CONFIG_DIRS", "/etc/xdg"); }

std::vector<std::string> DataFolders() { return FolderList("XDG_DATA_DIRS", "/usr/local/share:/usr/share"); }

std::optional<std::vector<std::string>> DefaultApplicationCommand(const std::string& MimeType,
                                                                  const std::string& File) {
  // The association lists, most personal first: the desktop's own list before the general one in
  // every folder.
  std::vector<std::string> Desktops;
  for (const std::string& Name : SplitList(StringReplace(Environment("XDG_CURRENT_DESKTOP"), ":", ";", rfReplaceAll)))
    Desktops.push_back(LowerCase(Name));
  std::vector<std::string> Lists;
  auto AddFolder = [&](const std::string& Folder) {
    if (Folder.empty()) return;
    for (const std::string& Desktop : Desktops) Lists.push_back(Folder + "/" + Desktop + "-mimeapps.list");
    Lists.push_back(Folder + "/mimeapps.list");
  };
  AddFolder(ConfigHomeFolder());
  for (const std::string& Folder : ConfigFolders()) AddFolder(Folder);
  const std::string DataHome = DataHomeFolder();
  AddFolder(DataHome.empty() ? std::string() : DataHome + "/applications");
  for (const std::string& Folder : DataFolders()) AddFolder(Folder + "/applications");

  std::vector<TDesktopFile> Files;
  for (const std::string& List : Lists)
    if (std::optional<TDesktopFile> Parsed = ReadDesktopFile(List)) Files.push_back(std::move(*Parsed));
  // Chosen defaults first, then applications added for the type, then what the installed
  // applications say they open.
  for (const char* Group : {"Default Applications", "Added Associations"})
    for (const TDesktopFile& List : Files)
      for (const std::string& Id : SplitList(List.Value(Group, MimeType).value_or(std::string())))
        if (auto Command = CommandOf(Id, File)) return Command;
  std::vector<std::string> Caches;
  if (!DataHome.empty()) Caches.push_back(DataHome + "/applications/mimeinfo.cache");
  for (const std::string& Folder : DataFolders()) Caches.push_back(Folder + "/applications/mimeinfo.cache");
  for (const std::string& Cache : Caches)
    if (std::optional<TDesktopFile> Parsed = ReadDesktopFile(Cache))
      for (const std::string& Id : SplitList(Parsed->Value("MIME Cache", MimeType).value_or(std::string())))
        if (auto Command = CommandOf(Id, File)) return Command;
  return std::nullopt;
}
