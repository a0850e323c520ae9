#include "platform/shell/shellapi.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/commandline.h"
#include "platform/shell/desktopapps.h"
#include "platform/shell/launcher.h"

namespace {

constexpr int Handed = 42;
const char* const Opener = "xdg-open";

HINSTANCE Answer(int Code) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(Code)); }

int FromErrno(int Error, bool OpenerRun) {
  switch (Error) {
    case 0: return Handed;
    case ENOENT: return OpenerRun ? SE_ERR_NOASSOC : SE_ERR_FNF;
    case EACCES:
    case EPERM: return SE_ERR_ACCESSDENIED;
    case ENOEXEC: return SE_ERR_BADFORMAT;
    case ENOMEM: return SE_ERR_OOM;
    default: return SE_ERR_NOASSOC;
  }
}

int Open(const std::string& Target) { return FromErrno(LaunchProgram({Opener, {Target}, {}}), true); }

// "scheme:" of two or more characters (a single letter before a colon is a drive in the other
// system's paths), or the bare "www." that users type for a web site.
bool IsAddress(std::string_view Text) {
  if (StartsText("www.", std::string(Text))) return true;
  size_t Colon = Text.find(':');
  if (Colon == std::string_view::npos || Colon < 2) return false;
  auto Letter = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); };
  if (!Letter(Text[0])) return false;
  for (size_t Index = 1; Index < Colon; ++Index) {
    char C = Text[Index];
    if (!Letter(C) && !(C >= '0' && C <= '9') && C != '+' && C != '-' && C != '.') return false;
  }
  return true;
}

bool IsTextEditor(const std::string& File) {
  return SameText(File, "notepad") || SameText(File, "notepad.exe");
}

std::string Absolute(const std::string& Path) {
  return Path.empty() || Path.front() == '/' ? Path : IncludeTrailingPathDelimiter(GetCurrentDir()) + Path;
}

// A runnable file that really is a program: an executable image or a script with "#!". Files on
// shared drives are often all marked runnable; those are documents.
bool IsProgramFile(const std::string& Path) {
  if (access(Path.c_str(), X_OK) != 0) return false;
  std::FILE* Stream = std::fopen(Path.c_str(), "rb");
  if (!Stream) return false;
  unsigned char Head[4] = {0, 0, 0, 0};
  size_t Read = std::fread(Head, 1, sizeof Head, Stream);
  std::fclose(Stream);
  if (Read >= 4 && Head[0] == 0x7F && Head[1] == 'E' && Head[2] == 'L' && Head[3] == 'F') return true;
  return Read >= 2 && Head[0] == '#' && Head[1] == '!';
}

bool FoundInPath(const std::string& Name) {
  const char* Path = std::getenv("PATH");
  std::string Folders = Path ? Path : "/usr/local/bin:/usr/bin:/bin";
  size_t Start = 0;
  while (Start <= Folders.size()) {
    size_t End = Folders.find(':', Start);
    if (End == std::string::npos) End = Folders.size();
    std::string Folder = Folders.substr(Start, End - Start);
    if (!Folder.empty() && IsProgramFile(Folder + "/" + Name)) return true;
    Start = End + 1;
  }
  return false;
}

// The text editor: the parameters name the file, quoted or not (a name with blanks may come
// unquoted: the whole tail is the name then).
int OpenInTextEditor(const std::string& Parameters, const std::string& Folder) {
  std::string Name = Trim(Parameters);
  if (!Name.empty() && Name.front() == '"') {
    size_t Close = Name.find('"', 1);
    Name = Name.substr(1, Close == std::string::npos ? std::string::npos : Close - 1);
  }
  if (!Name.empty() && Name.front() != '/')
    Name = IncludeTrailingPathDelimiter(Folder.empty() ? GetCurrentDir() : Folder) + Name;
  if (std::optional<std::vector<std::string>> Command = DefaultApplicationCommand("text/plain", Name)) {
    TLaunchRequest Request{Command->front(), std::vector<std::string>(Command->begin() + 1, Command->end()), {}};
    return FromErrno(LaunchProgram(Request), false);
  }
  if (Name.empty()) return SE_ERR_NOASSOC;
  return Open(Name);
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory, INT) {
  const std::string Verb = Operation ? Operation : "";
  if (!Verb.empty() && !SameText(Verb, "open") && !SameText(Verb, "explore")) return Answer(SE_ERR_NOASSOC);
  const std::string Target = File ? File : "";
  const std::string Tail = Parameters ? Parameters : "";
  const std::string Folder = Directory ? Directory : "";
  if (Target.empty()) return Answer(SE_ERR_FNF);
  if (!Folder.empty() && !DirectoryExists(Folder)) return Answer(SE_ERR_PNF);

  std::string Path = Absolute(Target);
  struct stat Info {};
  const bool Present = stat(Path.c_str(), &Info) == 0;
  // A file of that name wins: ":" is an ordinary character of names here.
  if (!Present && IsAddress(Target)) return Answer(Open(StartsText("www.", Target) ? "http://" + Target : Target));
  if (IsTextEditor(Target)) return Answer(OpenInTextEditor(Tail, Folder));
  if (!Present) {
    // A bare name that is no file here may be a program on the search path.
    if (Target.find('/') == std::string::npos && FoundInPath(Target))
      return Answer(FromErrno(LaunchProgram({Target, SplitCommandArguments(Tail), Folder}), false));
    return Answer(DirectoryExists(ExtractFileDir(Path)) ? SE_ERR_FNF : SE_ERR_PNF);
  }
  if (S_ISDIR(Info.st_mode)) return Answer(Open(Path));
  if (S_ISREG(Info.st_mode) && IsProgramFile(Path))
    return Answer(FromErrno(LaunchProgram({Path, SplitCommandArguments(Tail), Folder}), false));
  return Answer(Open(Path));
}
