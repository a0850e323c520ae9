#pragma once
// Starting other programs for the shell functions. A program is started directly -- its path
// (or its name, looked up in PATH) and its arguments exactly as given, never through a shell --
// in its own session, with the default signal handling, no standard input, and none of our open
// files. It runs on after we stop waiting for it; a small thread collects its exit so it leaves
// no zombie behind.
//
// Tests put a recording launcher in place of the real one to see what would be started.

#include <string>
#include <vector>

struct TLaunchRequest {
  std::string Program;                 // a path (holding "/") or a name looked up in PATH
  std::vector<std::string> Arguments;  // after the program's own name
  std::string Folder;                  // the working folder; empty: ours
};

class TProgramLauncher {
 public:
  virtual ~TProgramLauncher() = default;
  // Starts the program; 0 when it runs, else the errno of the failure (ENOENT: no such program,
  // EACCES: not allowed, ENOEXEC: not a program).
  virtual int Launch(const TLaunchRequest& Request) = 0;
};

// Installs a launcher (nullptr: the real one) and returns the one before it.
TProgramLauncher* SetProgramLauncher(TProgramLauncher* Launcher);
// Starts a program through the installed launcher.
int LaunchProgram(const TLaunchRequest& Request);
