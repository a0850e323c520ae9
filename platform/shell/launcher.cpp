#include "platform/shell/launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace {

class TSpawnLauncher : public TProgramLauncher {
 public:
  int Launch(const TLaunchRequest& Request) override;
};

int TSpawnLauncher::Launch(const TLaunchRequest& Request) {
  if (Request.Program.empty()) return ENOENT;
  std::vector<std::string> Texts;
  Texts.push_back(Request.Program);
  Texts.insert(Texts.end(), Request.Arguments.begin(), Request.Arguments.end());
  std::vector<char*> Argv;
  for (std::string& Text : Texts) Argv.push_back(Text.data());
  Argv.push_back(nullptr);

  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Our X connection, pipes and files are ours alone.
  posix_spawn_file_actions_addclosefrom_np(&Actions, STDERR_FILENO + 1);
  if (!Request.Folder.empty()) posix_spawn_file_actions_addchdir_np(&Actions, Request.Folder.c_str());

  posix_spawnattr_t Attributes;
  posix_spawnattr_init(&Attributes);
  sigset_t Empty, Defaults;
  sigemptyset(&Empty);
  sigemptyset(&Defaults);
  for (int Signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
    sigaddset(&Defaults, Signal);
  posix_spawnattr_setsigmask(&Attributes, &Empty);
  posix_spawnattr_setsigdefault(&Attributes, &Defaults);
  // Its own session: closing our terminal or ending our process group leaves it running.
  posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

  pid_t Child = -1;
  int Error = posix_spawnp(&Child, Request.Program.c_str(), &Actions, &Attributes, Argv.data(), environ);
  posix_spawnattr_destroy(&Attributes);
  posix_spawn_file_actions_destroy(&Actions);
  if (Error != 0) return Error;
  std::thread([Child] {
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

TSpawnLauncher& RealLauncher() {
  static TSpawnLauncher Instance;
  return Instance;
}

TProgramLauncher*& InstalledLauncher() {
  static TProgramLauncher* Launcher = nullptr;
  return Launcher;
}

}  // namespace

TProgramLauncher* SetProgramLauncher(TProgramLauncher* Launcher) {
  TProgramLauncher* Previous = InstalledLauncher();
  InstalledLauncher() = Launcher;
  return Previous;
}

int LaunchProgram(const TLaunchRequest& Request) {
  TProgramLauncher* Launcher = InstalledLauncher();
  return (Launcher ? *Launcher : static_cast<TProgramLauncher&>(RealLauncher())).Launch(Request);
}
