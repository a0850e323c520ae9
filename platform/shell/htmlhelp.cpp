#include "platform/shell/htmlhelp.h"

#include <filesystem>
#include <mutex>
#include <set>

#include "platform/rtl/sysutils.h"
#include "platform/shell/desktopopener.h"

namespace {

struct THelpState {
  std::mutex Lock;
  std::set<DWORD> Cookies;
  DWORD NextCookie = 1;
};

THelpState& State() {
  static THelpState Instance;
  return Instance;
}

bool IsFile(const std::filesystem::path& Path) {
  std::error_code Error;
  return std::filesystem::is_regular_file(Path, Error);
}

}  // namespace

std::string HelpTopicTarget(const std::string& Topic) {
  // ".\korcam.chm::/korcam.htm>Window": the file, the page after "::", the window after ">".
  std::string Text = Topic;
  for (char& C : Text)
    if (C == '\\') C = '/';
  if (const size_t Window = Text.find('>'); Window != std::string::npos) Text.erase(Window);
  std::string File = Text, Page;
  if (const size_t Separator = Text.find("::"); Separator != std::string::npos) {
    File = Text.substr(0, Separator);
    Page = Text.substr(Separator + 2);
    while (!Page.empty() && Page.front() == '/') Page.erase(0, 1);
  }
  File = Trim(File);
  if (File.empty()) return "";
  // A page is looked for beside the help file, in both places the help file may lie.
  std::error_code Error;
  for (const std::filesystem::path& Base :
       {std::filesystem::current_path(Error), std::filesystem::path(ProgramFolder())}) {
    if (Base.empty()) continue;
    const std::filesystem::path HelpFile =
        std::filesystem::path(File).is_absolute() ? std::filesystem::path(File) : (Base / File).lexically_normal();
    if (!Page.empty()) {
      const std::filesystem::path PageFile = HelpFile.parent_path() / Page;
      if (IsFile(PageFile)) return PageFile.lexically_normal().string();
    }
    if (IsFile(HelpFile)) return HelpFile.string();
  }
  return "";
}

bool HelpInitialized() {
  std::lock_guard<std::mutex> Guard(State().Lock);
  return !State().Cookies.empty();
}

HWND HtmlHelpA(HWND, LPCSTR File, UINT Command, DWORD_PTR Data) {
  switch (Command) {
    case HH_INITIALIZE: {
      std::lock_guard<std::mutex> Guard(State().Lock);
      const DWORD Cookie = State().NextCookie++;
      State().Cookies.insert(Cookie);
      if (auto* Out = reinterpret_cast<DWORD*>(Data)) *Out = Cookie;
      return nullptr;
    }
    case HH_UNINITIALIZE: {
      std::lock_guard<std::mutex> Guard(State().Lock);
      State().Cookies.erase(DWORD(Data));
      return nullptr;
    }
    case HH_DISPLAY_TOPIC: {
      if (!File) return nullptr;
      const std::string Target = HelpTopicTarget(File);
      if (!Target.empty()) OpenWithDesktop(Target);
      return nullptr;
    }
    default:
      return nullptr;
  }
}
