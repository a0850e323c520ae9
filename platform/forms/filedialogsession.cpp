#include "platform/forms/filedialogsession.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/forms/messagebox.h"
#include "platform/rtl/fileutils.h"
#include "platform/user/user.h"

namespace fs = std::filesystem;

namespace {

// Normalised, without a "/" at the end (the root keeps its own).
std::string Normal(const fs::path& Path) {
  std::string Text = Path.lexically_normal().string();
  while (Text.size() > 1 && Text.back() == '/') Text.pop_back();
  return Text.empty() ? std::string("/") : Text;
}

bool IsFolder(const std::string& Path) {
  std::error_code Error;
  return fs::is_directory(Path, Error);
}

bool Exists(const std::string& Path) {
  std::error_code Error;
  return fs::exists(fs::symlink_status(Path, Error));
}

std::string LastPart(const std::string& Path) {
  size_t Slash = Path.find_last_of('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string ParentOf(const std::string& Path) {
  size_t Slash = Path.find_last_of('/');
  if (Slash == std::string::npos) return std::string();
  return Slash == 0 ? std::string("/") : Path.substr(0, Slash);
}

// Names compared as a user reads a list: ASCII case folded first, bytes to break ties.
bool Before(const TFileDialogEntry& A, const TFileDialogEntry& B) {
  if (A.Folder != B.Folder) return A.Folder;
  const size_t Size = std::min(A.Name.size(), B.Name.size());
  for (size_t Index = 0; Index < Size; ++Index) {
    unsigned char X = static_cast<unsigned char>(A.Name[Index]), Y = static_cast<unsigned char>(B.Name[Index]);
    if (X >= 'A' && X <= 'Z') X = X - 'A' + 'a';
    if (Y >= 'A' && Y <= 'Z') Y = Y - 'A' + 'a';
    if (X != Y) return X < Y;
  }
  if (A.Name.size() != B.Name.size()) return A.Name.size() < B.Name.size();
  return A.Name < B.Name;
}

// A typed pattern may list several, as a filter does ("*.jpg;*.png").
std::vector<std::string> SplitPatterns(const std::string& Text) {
  std::vector<TFileFilter> Parsed = ParseFileFilter("|" + Text);
  return Parsed.empty() ? std::vector<std::string>{} : Parsed.front().Patterns;
}

}  // namespace

TFileDialogSession::TFileDialogSession(TFileDialogSetup Setup) : FSetup(std::move(Setup)) {
  FTitle = FSetup.Title;
  if (FTitle.empty())
    FTitle = FSetup.Kind == TFileDialogKind::Open   ? "Open"
             : FSetup.Kind == TFileDialogKind::Save ? "Save As"
                                                    : "Select Directory";
  FFilters = ParseFileFilter(FSetup.Filter);
  if (!FFilters.empty()) FFilterIndex = std::clamp<int>(FSetup.FilterIndex, 1, int(FFilters.size()));

  std::string Current = GetCurrentDir();
  if (Current.empty()) Current = "/";
  auto Absolute = [&](const std::string& Text) {
    if (Text.empty()) return Current;
    fs::path Path(Text);
    return Normal(Path.is_absolute() ? Path : fs::path(Current) / Path);
  };
  std::string Start;
  if (FSetup.Kind == TFileDialogKind::Folder) {
    const std::string Given = Absolute(FSetup.FileName);
    // A folder that does not exist yet opens its nearest existing ancestor; the name field keeps
    // what was asked for.
    Start = Given;
    while (!IsFolder(Start) && Start != "/") Start = ParentOf(Start);
    FFileName = FSetup.FileName.empty() ? Start : Given;
  } else {
    const std::string& Name = FSetup.FileName;
    size_t Slash = Name.find_last_of('/');
    FFileName = Name;
    if (Slash != std::string::npos) {
      const std::string Folder = Absolute(Slash == 0 ? std::string("/") : Name.substr(0, Slash));
      if (IsFolder(Folder)) {
        Start = Folder;
        FFileName = Name.substr(Slash + 1);
      }
    }
    if (Start.empty() && !FSetup.InitialDir.empty() && IsFolder(Absolute(FSetup.InitialDir)))
      Start = Absolute(FSetup.InitialDir);
    if (Start.empty()) Start = Current;
  }
  FFolder = Start;
  std::string Error;
  List(FFolder, FEntries, Error);
}

std::string TFileDialogSession::PathOf(int Index) const {
  if (Index < 0 || Index >= int(FEntries.size())) return std::string();
  return FFolder == "/" ? "/" + FEntries[size_t(Index)].Name : FFolder + "/" + FEntries[size_t(Index)].Name;
}

std::string TFileDialogSession::Resolve(const std::string& Text) const {
  if (Text.empty()) return FFolder;
  std::string Expanded = Text;
  if (Text == "~" || Text.rfind("~/", 0) == 0) {
    const char* Home = std::getenv("HOME");
    if (Home && *Home) Expanded = std::string(Home) + Text.substr(1);
  }
  fs::path Path(Expanded);
  return Normal(Path.is_absolute() ? Path : fs::path(FFolder) / Path);
}

bool TFileDialogSession::List(const std::string& Folder, std::vector<TFileDialogEntry>& Entries,
                              std::string& Error) const {
  Entries.clear();
  std::error_code Code;
  fs::directory_iterator It(Folder, Code);
  if (Code) {
    Error = Code.message();
    return false;
  }
  const bool FoldersOnly = FSetup.Kind == TFileDialogKind::Folder;
  const std::vector<std::string> Patterns =
      !FTypedPattern.empty() ? SplitPatterns(FTypedPattern)
      : FFilterIndex > 0     ? FFilters[size_t(FFilterIndex - 1)].Patterns
                             : std::vector<std::string>{};
  for (; It != fs::directory_iterator(); It.increment(Code)) {
    if (Code) break;
    std::string Name = It->path().filename().string();
    if (Name.empty() || (Name.front() == '.' && !FSetup.Options.Contains(ofForceShowHidden))) continue;
    std::error_code Ignored;
    const bool Folder = It->is_directory(Ignored);
    if (!Folder && (FoldersOnly || !MatchesAnyFilePattern(Name, Patterns))) continue;
    Entries.push_back(TFileDialogEntry{std::move(Name), Folder});
  }
  std::sort(Entries.begin(), Entries.end(), Before);
  return true;
}

void TFileDialogSession::Changed() {
  if (OnChange) OnChange();
}

int TFileDialogSession::Tell(const std::string& Text, unsigned Type) const {
  return MessageBoxA(GetActiveWindow(), Text.c_str(), FTitle.c_str(), Type);
}

bool TFileDialogSession::ChangeFolder(const std::string& Path) {
  const std::string Target = Resolve(Path);
  if (!IsFolder(Target)) {
    Tell("The folder \"" + Target + "\" does not exist.", MB_OK | MB_ICONWARNING);
    return false;
  }
  const std::string SavedPattern = FTypedPattern;
  FTypedPattern.clear();
  std::vector<TFileDialogEntry> Entries;
  std::string Error;
  if (!List(Target, Entries, Error)) {
    FTypedPattern = SavedPattern;
    Tell("The folder \"" + Target + "\" cannot be opened: " + Error + ".", MB_OK | MB_ICONWARNING);
    return false;
  }
  FFolder = Target;
  FEntries = std::move(Entries);
  FSelected = -1;
  if (FSetup.Kind == TFileDialogKind::Folder) FFileName = FFolder;
  Changed();
  return true;
}

bool TFileDialogSession::Up() {
  if (FFolder == "/") return false;
  const std::string Left = LastPart(FFolder);
  if (!ChangeFolder(ParentOf(FFolder))) return false;
  for (size_t Index = 0; Index < FEntries.size(); ++Index)
    if (FEntries[Index].Folder && FEntries[Index].Name == Left) FSelected = int(Index);
  Changed();
  return true;
}

void TFileDialogSession::Refresh() {
  const std::string Kept = FSelected >= 0 && FSelected < int(FEntries.size()) ? FEntries[size_t(FSelected)].Name : "";
  std::string Error;
  List(FFolder, FEntries, Error);
  FSelected = -1;
  for (size_t Index = 0; Index < FEntries.size() && !Kept.empty(); ++Index)
    if (FEntries[Index].Name == Kept) FSelected = int(Index);
  Changed();
}

bool TFileDialogSession::NewFolder(const std::string& Name) {
  if (Name.empty() || Name == "." || Name == ".." || Name.find('/') != std::string::npos ||
      Name.find('\0') != std::string::npos) {
    Tell("\"" + Name + "\" cannot be a folder name: a name must not be empty, \".\" or \"..\", and must not hold "
         "\"/\".",
         MB_OK | MB_ICONWARNING);
    return false;
  }
  const std::string Path = FFolder == "/" ? "/" + Name : FFolder + "/" + Name;
  if (Exists(Path)) {
    Tell("\"" + Name + "\" already exists.", MB_OK | MB_ICONWARNING);
    return false;
  }
  std::error_code Error;
  if (!fs::create_directory(Path, Error)) {
    Tell("The folder \"" + Name + "\" cannot be made: " + Error.message() + ".", MB_OK | MB_ICONERROR);
    return false;
  }
  Refresh();
  for (size_t Index = 0; Index < FEntries.size(); ++Index)
    if (FEntries[Index].Folder && FEntries[Index].Name == Name) FSelected = int(Index);
  if (FSetup.Kind == TFileDialogKind::Folder) FFileName = Path;
  Changed();
  return true;
}

void TFileDialogSession::SetFilterIndex(int Index) {
  if (FFilters.empty()) return;
  FFilterIndex = std::clamp<int>(Index, 1, int(FFilters.size()));
  FTypedPattern.clear();
  Refresh();
}

void TFileDialogSession::Select(int Index) {
  if (Index < 0 || Index >= int(FEntries.size())) {
    FSelected = -1;
    Changed();
    return;
  }
  FSelected = Index;
  const TFileDialogEntry& Entry = FEntries[size_t(Index)];
  if (FSetup.Kind == TFileDialogKind::Folder) {
    if (Entry.Folder) FFileName = PathOf(Index);
  } else if (!Entry.Folder) {
    FFileName = Entry.Name;
  }
  Changed();
}

bool TFileDialogSession::Activate(int Index) {
  if (Index < 0 || Index >= int(FEntries.size())) return false;
  if (FEntries[size_t(Index)].Folder) {
    ChangeFolder(PathOf(Index));
    return false;
  }
  Select(Index);
  return Accept();
}

std::string TFileDialogSession::PreviewFile() const {
  if (FSelected >= 0 && FSelected < int(FEntries.size()) && !FEntries[size_t(FSelected)].Folder)
    return PathOf(FSelected);
  return std::string();
}

bool TFileDialogSession::Accept() {
  if (FDone) return FAccepted;
  return FSetup.Kind == TFileDialogKind::Folder ? AcceptFolder() : AcceptFile();
}

void TFileDialogSession::Cancel() {
  FDone = true;
  FAccepted = false;
}

bool TFileDialogSession::AcceptFile() {
  const std::string Text = FFileName;
  if (Text.empty()) {
    if (FSelected >= 0 && FEntries[size_t(FSelected)].Folder) Activate(FSelected);
    return false;
  }
  const size_t Slash = Text.find_last_of('/');
  const std::string Last = Slash == std::string::npos ? Text : Text.substr(Slash + 1);
  if (HasFileWildcards(Last)) {
    // A pattern typed as the name: it filters the list, in the folder typed before it.
    if (Slash != std::string::npos && !ChangeFolder(Slash == 0 ? std::string("/") : Text.substr(0, Slash))) return false;
    FTypedPattern = Last;
    FFileName = Last;
    Refresh();
    return false;
  }
  const std::string Path = Resolve(Text);
  if (IsFolder(Path)) {
    if (ChangeFolder(Path)) {
      FFileName.clear();
      Changed();
    }
    return false;
  }
  const std::string Parent = ParentOf(Path);
  if (!IsFolder(Parent)) {
    Tell("The folder \"" + Parent + "\" does not exist.\nCheck the path and try again.", MB_OK | MB_ICONWARNING);
    return false;
  }
  const bool Present = Exists(Path);
  if (FSetup.Kind == TFileDialogKind::Open && !Present && FSetup.Options.Contains(ofFileMustExist)) {
    Tell("The file \"" + LastPart(Path) + "\" does not exist.\nCheck the file name and try again.",
         MB_OK | MB_ICONWARNING);
    return false;
  }
  if (FSetup.Kind == TFileDialogKind::Save && Present && FSetup.Options.Contains(ofOverwritePrompt) &&
      Tell("\"" + LastPart(Path) + "\" already exists.\nDo you want to replace it?",
           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return false;
  FResult = Path;
  FDone = FAccepted = true;
  if (!FSetup.Options.Contains(ofNoChangeDir)) SetCurrentDir(Parent);
  return true;
}

bool TFileDialogSession::AcceptFolder() {
  const std::string Path = Resolve(FFileName.empty() ? FFolder : FFileName);
  if (!IsFolder(Path)) {
    if (Exists(Path)) {
      Tell("\"" + Path + "\" is not a folder.", MB_OK | MB_ICONWARNING);
      return false;
    }
    if (!FSetup.FolderOptions.Contains(sdAllowCreate)) {
      Tell("The folder \"" + Path + "\" does not exist.", MB_OK | MB_ICONWARNING);
      return false;
    }
    if (FSetup.FolderOptions.Contains(sdPrompt) &&
        MessageDlg("The folder \"" + Path + "\" does not exist. Create it?", mtConfirmation, {mbYes, mbNo}, 0) !=
            mrYes)
      return false;
    if (FSetup.FolderOptions.Contains(sdPerformCreate) && !ForceDirectories(Path)) {
      Tell("The folder \"" + Path + "\" cannot be made.", MB_OK | MB_ICONERROR);
      return false;
    }
  }
  FResult = Path;
  FDone = FAccepted = true;
  return true;
}
