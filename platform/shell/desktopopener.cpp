#include "platform/shell/desktopopener.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

#include <mutex>
#include <thread>

extern char** environ;

namespace {

std::mutex& OpenerLock() {
  static std::mutex Lock;
  return Lock;
}

TDesktopOpener& InstalledOpener() {
  static TDesktopOpener Opener;
  return Opener;
}

bool SpawnXdgOpen(const std::string& Target) {
  std::string Program = "xdg-open";
  std::string Argument = Target;
  char* Arguments[] = {Program.data(), Argument.data(), nullptr};
  posix_spawnattr_t Attributes;
  posix_spawnattr_init(&Attributes);
  // Its own session: a terminal's Ctrl+C for the program does not reach the opened viewer.
  posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSID);
  pid_t Child = 0;
  const int Error = posix_spawnp(&Child, Program.c_str(), nullptr, &Attributes, Arguments, environ);
  posix_spawnattr_destroy(&Attributes);
  if (Error != 0) return false;
  // Someone has to wait for it, or it stays a zombie until the program ends.
  std::thread([Child] {
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace

bool OpenWithDesktop(const std::string& Target) {
  TDesktopOpener Opener;
  {
    std::lock_guard<std::mutex> Guard(OpenerLock());
    Opener = InstalledOpener();
  }
  if (Opener) return Opener(Target);
  return SpawnXdgOpen(Target);
}

void SetDesktopOpener(TDesktopOpener Opener) {
  std::lock_guard<std::mutex> Guard(OpenerLock());
  InstalledOpener() = std::move(Opener);
}
