#pragma once
// A fresh folder under the system's temporary folder for one test, removed with everything in it
// when the test ends.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TTempFolder {
 public:
  TTempFolder() {
    static std::atomic<int> Counter{0};
    FPath = std::filesystem::temp_directory_path() /
            ("korcam-rtl-" + std::to_string(::getpid()) + "-" + std::to_string(Counter++));
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
  }
  ~TTempFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The full path of Name inside the folder.
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

  void Write(const std::string& Name, const std::string& Content) const {
    std::ofstream Output(File(Name), std::ios::binary | std::ios::trunc);
    Output << Content;
  }
  std::string Read(const std::string& Name) const {
    std::ifstream Input(File(Name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Input), std::istreambuf_iterator<char>());
  }
  // The names of the files in the folder, sorted.
  std::string Listing() const {
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(FPath))
      Names.push_back(Entry.path().filename());
    std::sort(Names.begin(), Names.end());
    std::string Result;
    for (const auto& Name : Names) Result += (Result.empty() ? "" : " ") + Name;
    return Result;
  }

 private:
  std::filesystem::path FPath;
};
