// SIGTERM and SIGHUP through a self-pipe.

#include "platform/user/signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

#include "platform/user/message.h"

namespace {

int Pipe[2] = {-1, -1};
std::atomic<HWND> Target{nullptr};
std::thread Reader;
std::mutex Lock;
struct sigaction PreviousTerm{}, PreviousHup{};

// Only async-signal-safe calls here: write, and errno restored for the interrupted code.
void OnSignal(int Signal) {
  int Saved = errno;
  unsigned char Byte = static_cast<unsigned char>(Signal);
  [[maybe_unused]] ssize_t Written = write(Pipe[1], &Byte, 1);
  errno = Saved;
}

void ReadSignals() {
  for (;;) {
    unsigned char Byte = 0;
    ssize_t Count = read(Pipe[0], &Byte, 1);
    if (Count < 0 && errno == EINTR) continue;
    // End of the pipe, an error, or the stop byte 0 from RemoveSessionSignals.
    if (Count <= 0 || Byte == 0) return;
    PostMessage(Target.load(), WM_ENDSESSION, TRUE, LPARAM(Byte));
  }
}

}  // namespace

BOOL InstallSessionSignals(HWND Window) {
  std::lock_guard<std::mutex> Guard(Lock);
  Target = Window;
  if (Reader.joinable()) return TRUE;
  if (pipe2(Pipe, O_CLOEXEC) != 0) return FALSE;
  Reader = std::thread(ReadSignals);
  struct sigaction Action{};
  Action.sa_handler = OnSignal;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &Action, &PreviousTerm);
  sigaction(SIGHUP, &Action, &PreviousHup);
  return TRUE;
}

void RemoveSessionSignals() {
  std::lock_guard<std::mutex> Guard(Lock);
  if (!Reader.joinable()) return;
  sigaction(SIGTERM, &PreviousTerm, nullptr);
  sigaction(SIGHUP, &PreviousHup, nullptr);
  unsigned char Stop = 0;
  [[maybe_unused]] ssize_t Written = write(Pipe[1], &Stop, 1);
  Reader.join();
  close(Pipe[0]);
  close(Pipe[1]);
  Pipe[0] = Pipe[1] = -1;
  Target = nullptr;
}
