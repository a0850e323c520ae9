// Arbitrary bytes as a settings file: read keys, list sections and keys through small and large
// buffers, write a key back into the file, and check that it reads back while every other
// section keeps its keys.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/profile.h"
#include "platform/rtl/profiledocument.h"

namespace {

// A scratch folder of this process, removed at exit.
struct TScratch {
  std::filesystem::path Folder =
      std::filesystem::temp_directory_path() / ("korcam-fuzz-settings-" + std::to_string(::getpid()));
  std::string File;
  TScratch() {
    std::filesystem::create_directories(Folder);
    File = (Folder / "korcam.ini").string();
  }
  ~TScratch() {
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
  }
};

const std::string& SettingsPath() {
  static TScratch Scratch;
  return Scratch.File;
}

void Check(bool Condition, const char* What) {
  if (!Condition) {
    std::fprintf(stderr, "settings_file: %s\n", What);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string& Path = SettingsPath();
  // The scratch file needs no flush to the disk; the replacement itself is still exercised.
  SetAtomicWriteSync(false);
  {
    std::ofstream Output(Path, std::ios::binary | std::ios::trunc);
    Output.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  }

  char Small[16];
  char Large[4096];
  for (DWORD BufferSize : {DWORD(1), DWORD(2), DWORD(sizeof Small)})
    GetPrivateProfileStringA(nullptr, nullptr, nullptr, Small, BufferSize, Path.c_str());
  DWORD Length = GetPrivateProfileStringA(nullptr, nullptr, nullptr, Large, sizeof Large, Path.c_str());
  Check(Length < sizeof Large, "section list overran");

  std::vector<std::string> Sections = GetProfileSectionNames(Path);
  std::vector<std::vector<std::string>> KeysBefore;
  for (const auto& Section : Sections) {
    KeysBefore.push_back(GetProfileKeyNames(Section, Path));
    GetPrivateProfileStringA(Section.c_str(), nullptr, "", Small, sizeof Small, Path.c_str());
    // A few keys per section are enough to reach every path; all of them would make each
    // input cost as much as its square.
    size_t Keys = std::min<size_t>(KeysBefore.back().size(), 8);
    for (size_t Index = 0; Index < Keys; ++Index) {
      const std::string& Key = KeysBefore.back()[Index];
      Length = GetPrivateProfileStringA(Section.c_str(), Key.c_str(), "", Small, sizeof Small, Path.c_str());
      Check(Length < sizeof Small && Small[Length] == '\0', "value overran");
      (void)GetPrivateProfileStringA(Section, Key, "", Path);
    }
  }
  GetPrivateProfileStringA("Options", "Time Format", "hh:mm:ss", Large, sizeof Large, Path.c_str());
  GetPrivateProfileStringA("Image", "Rotation Angle -Expanded", "false", Large, sizeof Large, Path.c_str());

  // A write reads back, creates at most its own section and leaves the others' keys alone.
  const char* Value = "/home/user/Фото/My Pictures";
  if (WritePrivateProfileStringA("Options", "Picture Target Folder", Value, Path.c_str())) {
    Check(GetPrivateProfileStringA("options", "PICTURE TARGET FOLDER", "", Path) == Value,
          "written value lost");
    std::vector<std::string> After = GetProfileSectionNames(Path);
    Check(After.size() == Sections.size() || After.size() == Sections.size() + 1, "sections changed");
    for (size_t Index = 0; Index < Sections.size(); ++Index) {
      Check(After[Index] == Sections[Index], "section order changed");
      std::vector<std::string> Keys = GetProfileKeyNames(Sections[Index], Path);
      if (!TProfileDocument::SameName(Sections[Index], "Options") && Keys != KeysBefore[Index])
        Check(false, "other section's keys changed");
    }
    WritePrivateProfileStringA("Options", "Picture Target Folder", nullptr, Path.c_str());
    Check(!ProfileKeyExists("Options", "Picture Target Folder", Path), "deleted key still there");
    WritePrivateProfileStringA("Image", nullptr, nullptr, Path.c_str());
    Check(GetProfileKeyNames("IMAGE", Path).empty(), "deleted section still there");
  }
  return 0;
}
