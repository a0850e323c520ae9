#pragma once
// Helpers of the shell tests: environment variables set for one test and restored afterwards, and
// a launcher that records what would be started instead of starting it.

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell/launcher.h"

namespace ShellTest {

class TScopedEnvironment {
 public:
  // Sets Name to Value (nullopt: removes it) until the object goes.
  TScopedEnvironment(const char* Name, std::optional<std::string> Value) : FName(Name) {
    if (const char* Old = std::getenv(Name)) FOld = Old;
    if (Value)
      setenv(Name, Value->c_str(), 1);
    else
      unsetenv(Name);
  }
  ~TScopedEnvironment() {
    if (FOld)
      setenv(FName.c_str(), FOld->c_str(), 1);
    else
      unsetenv(FName.c_str());
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  std::string FName;
  std::optional<std::string> FOld;
};

// Installed for its lifetime; answers Result for every launch.
class TRecordingLauncher : public TProgramLauncher {
 public:
  TRecordingLauncher() { FPrevious = SetProgramLauncher(this); }
  ~TRecordingLauncher() override { SetProgramLauncher(FPrevious); }
  TRecordingLauncher(const TRecordingLauncher&) = delete;
  TRecordingLauncher& operator=(const TRecordingLauncher&) = delete;

  int Launch(const TLaunchRequest& Request) override {
    Requests.push_back(Request);
    return Result;
  }
  // "program|argument|argument @folder" of the last request, "" when none.
  std::string Last() const {
    if (Requests.empty()) return std::string();
    const TLaunchRequest& Request = Requests.back();
    std::string Text = Request.Program;
    for (const std::string& Argument : Request.Arguments) Text += "|" + Argument;
    if (!Request.Folder.empty()) Text += " @" + Request.Folder;
    return Text;
  }

  std::vector<TLaunchRequest> Requests;
  int Result = 0;

 private:
  TProgramLauncher* FPrevious = nullptr;
};

}  // namespace ShellTest
