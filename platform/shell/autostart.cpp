#include "platform/shell/autostart.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/registrymap.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/commandline.h"
#include "platform/shell/desktopapps.h"
#include "platform/shell/desktopentry.h"

const char* const AutostartRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

// The key that marks an entry as a Run value and holds its name.
constexpr const char* MarkerKey = "X-Korcam-Run-Value";

struct TEntry {
  std::string Name;  // the value's name as written
  std::string Exec;  // the Exec value, string escapes undone
};

// The entry at Path when it is one of ours for Name (any name when Name is empty).
std::optional<TEntry> ReadEntry(const std::string& Path, const std::string& Name) {
  std::string Content;
  if (ReadFileContent(Path, Content) != TFileReadResult::Read) return std::nullopt;
  TDesktopFile File = ParseDesktopFile(Content);
  std::optional<std::string> Marker = File.Value("Desktop Entry", MarkerKey);
  if (!Marker || Marker->empty() || (!Name.empty() && !SameText(*Marker, Name))) return std::nullopt;
  return TEntry{*Marker, File.Value("Desktop Entry", "Exec").value_or(std::string())};
}

// Whether Folder can be written, or made where the nearest existing folder above it can be.
bool CanWriteFolder(std::string Folder) {
  while (!Folder.empty()) {
    if (DirectoryExists(Folder)) return access(Folder.c_str(), W_OK | X_OK) == 0;
    if (FileExists(Folder)) return false;
    size_t Slash = Folder.find_last_of('/');
    if (Slash == std::string::npos) return false;
    Folder = Slash == 0 ? std::string("/") : Folder.substr(0, Slash);
    if (Folder == "/") return access("/", W_OK | X_OK) == 0;
  }
  return false;
}

class TAutostartRunKey : public TMappedRegistryKey {
 public:
  bool CanOpen(bool Writable) override {
    const std::string Folder = AutostartFolder();
    return !Folder.empty() && (!Writable || CanWriteFolder(Folder));
  }
  std::vector<std::string> ValueNames() override { return AutostartEntryNames(); }
  std::optional<TRegistryValue> ReadValue(const std::string& Name) override {
    std::optional<std::string> Line = ReadAutostartEntry(Name);
    if (!Line) return std::nullopt;
    std::optional<TEntry> Entry = ReadEntry(AutostartEntryPath(Name), Name);
    return TRegistryValue{Entry ? Entry->Name : Name, rdString, *Line};
  }
  bool WriteValue(const TRegistryValue& Value) override {
    if (Value.Type != rdString && Value.Type != rdExpandString) return false;
    return WriteAutostartEntry(Value.Name, Value.Data.substr(0, Value.Data.find('\0')));
  }
  bool DeleteValue(const std::string& Name) override { return RemoveAutostartEntry(Name); }
};

TAutostartRunKey RunKey;

// The Run key is the autostart folder for as long as the program runs.
struct TRunKeyMapping {
  TRunKeyMapping() { MapRegistryKey(HKEY_LOCAL_MACHINE, AutostartRunKeyPath, &RunKey); }
  ~TRunKeyMapping() { MapRegistryKey(HKEY_LOCAL_MACHINE, AutostartRunKeyPath, nullptr); }
};
const TRunKeyMapping RunKeyMapping;

}  // namespace

std::string AutostartFolder() {
  const std::string Home = ConfigHomeFolder();
  return Home.empty() ? std::string() : Home + "/autostart";
}

std::string AutostartEntryPath(const std::string& ValueName) {
  static const char Hex[] = "0123456789ABCDEF";
  std::string Name;
  for (unsigned char C : ValueName) {
    if (C >= 'A' && C <= 'Z') {
      Name += char(C - 'A' + 'a');
    } else if ((C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '.' || C == '_' || C >= 0x80) {
      Name += char(C);
    } else if (C == ' ') {
      Name += '-';
    } else {
      Name += '%';
      Name += Hex[C >> 4];
      Name += Hex[C & 15];
    }
  }
  return AutostartFolder() + "/" + Name + ".desktop";
}

bool WriteAutostartEntry(const std::string& ValueName, const std::string& CommandLine) {
  const std::string Folder = AutostartFolder();
  std::vector<std::string> Arguments = SplitCommandLine(CommandLine);
  if (Folder.empty() || ValueName.empty() || Arguments.empty() || Arguments.front().empty()) return false;
  const std::string Path = AutostartEntryPath(ValueName);
  if (FileExists(Path) && !ReadEntry(Path, ValueName)) return false;
  if (!ForceDirectories(Folder)) return false;
  const std::string Name = EscapeDesktopValue(ValueName);
  std::string Content = "[Desktop Entry]\n";
  Content += "Type=Application\n";
  Content += "Name=" + Name + "\n";
  Content += "Exec=" + EscapeDesktopValue(QuoteExecArguments(Arguments)) + "\n";
  Content += "Terminal=false\n";
  Content += std::string(MarkerKey) + "=" + Name + "\n";
  return WriteFileAtomically(Path, Content);
}

std::optional<std::string> ReadAutostartEntry(const std::string& ValueName) {
  if (AutostartFolder().empty() || ValueName.empty()) return std::nullopt;
  std::optional<TEntry> Entry = ReadEntry(AutostartEntryPath(ValueName), ValueName);
  if (!Entry) return std::nullopt;
  std::optional<std::vector<std::string>> Arguments = SplitExecArguments(Entry->Exec);
  if (!Arguments || Arguments->empty()) return std::string();
  // "%%" back to "%"; an entry has no file to fill in.
  return JoinCommandLine(ExpandExecFieldCodes(*Arguments, TExecFields{}));
}

bool RemoveAutostartEntry(const std::string& ValueName) {
  if (AutostartFolder().empty() || ValueName.empty()) return false;
  const std::string Path = AutostartEntryPath(ValueName);
  return ReadEntry(Path, ValueName) && std::remove(Path.c_str()) == 0;
}

std::vector<std::string> AutostartEntryNames() {
  std::vector<std::string> Names;
  const std::string Folder = AutostartFolder();
  if (Folder.empty()) return Names;
  DIR* Listing = opendir(Folder.c_str());
  if (!Listing) return Names;
  while (dirent* Item = readdir(Listing)) {
    const std::string FileName = Item->d_name;
    if (FileName.size() <= 8 || FileName.compare(FileName.size() - 8, 8, ".desktop") != 0) continue;
    std::optional<TEntry> Entry = ReadEntry(Folder + "/" + FileName, std::string());
    // Only the file the name leads to counts: a copy under another name is not the value.
    if (Entry && AutostartEntryPath(Entry->Name) == Folder + "/" + FileName) Names.push_back(Entry->Name);
  }
  closedir(Listing);
  std::sort(Names.begin(), Names.end());
  return Names;
}
