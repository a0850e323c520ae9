#include "platform/rtl/clock.h"

#include <time.h>

#include <chrono>
#include <cmath>

namespace {

constexpr double MillisecondsPerDay = 86400000.0;
// 1970-01-01 as a day number counted from 1899-12-30.
constexpr int64_t UnixEpochDay = 25569;

TSystemClock& SystemClock() {
  static TSystemClock Instance;
  return Instance;
}

std::atomic<TClock*> InstalledClock{nullptr};

}  // namespace

TClock& Clock() {
  TClock* Installed = InstalledClock.load(std::memory_order_acquire);
  return Installed ? *Installed : SystemClock();
}

void InstallClock(TClock* Value) {
  if (Value == &SystemClock()) Value = nullptr;
  InstalledClock.store(Value, std::memory_order_release);
}

uint32_t GetTickCount() {
  return static_cast<uint32_t>(Clock().TickCount());
}
uint64_t GetTickCount64() {
  return Clock().TickCount();
}
void Sleep(uint32_t Milliseconds) {
  Clock().Sleep(Milliseconds);
}

// ---------------------------------------------------------------------------------------------
// System clock

uint64_t TSystemClock::TickCount() {
  timespec Now{};
  clock_gettime(CLOCK_MONOTONIC, &Now);
  return static_cast<uint64_t>(Now.tv_sec) * 1000u + static_cast<uint64_t>(Now.tv_nsec / 1000000);
}

TDateTime TSystemClock::Now() {
  timespec Real{};
  clock_gettime(CLOCK_REALTIME, &Real);
  time_t Seconds = Real.tv_sec;
  tm Local{};
  localtime_r(&Seconds, &Local);
  // Seconds since 1970 on the local calendar: the offset folds the time zone and daylight saving in.
  int64_t LocalSeconds = static_cast<int64_t>(Seconds) + Local.tm_gmtoff;
  int64_t Day = LocalSeconds / 86400;
  int64_t SecondOfDay = LocalSeconds % 86400;
  if (SecondOfDay < 0) {
    SecondOfDay += 86400;
    --Day;
  }
  double Milliseconds = static_cast<double>(SecondOfDay * 1000 + Real.tv_nsec / 1000000);
  return static_cast<double>(Day + UnixEpochDay) + Milliseconds / MillisecondsPerDay;
}

void TSystemClock::Sleep(uint32_t Milliseconds) {
  timespec Remaining{static_cast<time_t>(Milliseconds / 1000),
                     static_cast<long>(Milliseconds % 1000) * 1000000L};
  // nanosleep returns early on a signal; go on sleeping for what is left.
  while (nanosleep(&Remaining, &Remaining) != 0) {
  }
}

bool TSystemClock::WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) {
  std::unique_lock<std::mutex> Lock(FMutex);
  for (;;) {
    if (Cancel.load()) return TickCount() >= Deadline;
    uint64_t Now = TickCount();
    if (Now >= Deadline) return true;
    FWake.wait_for(Lock, std::chrono::milliseconds(Deadline - Now));
  }
}

void TSystemClock::WakeWaiters() {
  // Taking the lock orders the waker after a waiter's look at Cancel, so no wake-up is lost.
  std::lock_guard<std::mutex> Lock(FMutex);
  FWake.notify_all();
}

// ---------------------------------------------------------------------------------------------
// Manual clock

TManualClock::TManualClock(TDateTime Start, uint64_t StartTick)
    : FTick(StartTick), FNowMilliseconds(std::llround(Start * MillisecondsPerDay)) {}

uint64_t TManualClock::TickCount() {
  std::lock_guard<std::mutex> Lock(FMutex);
  return FTick;
}

TDateTime TManualClock::Now() {
  std::lock_guard<std::mutex> Lock(FMutex);
  return static_cast<double>(FNowMilliseconds) / MillisecondsPerDay;
}

void TManualClock::Sleep(uint32_t Milliseconds) {
  std::unique_lock<std::mutex> Lock(FMutex);
  if (FSleepAdvances) {
    FTick += Milliseconds;
    FNowMilliseconds += Milliseconds;
    FWake.notify_all();
    return;
  }
  uint64_t Deadline = FTick + Milliseconds;
  ++FWaiters;
  FWake.wait(Lock, [&] { return FTick >= Deadline; });
  --FWaiters;
}

bool TManualClock::WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) {
  std::unique_lock<std::mutex> Lock(FMutex);
  ++FWaiters;
  FWake.wait(Lock, [&] { return FTick >= Deadline || Cancel.load(); });
  --FWaiters;
  return FTick >= Deadline;
}

void TManualClock::WakeWaiters() {
  std::lock_guard<std::mutex> Lock(FMutex);
  FWake.notify_all();
}

void TManualClock::Advance(uint64_t Milliseconds) {
  std::lock_guard<std::mutex> Lock(FMutex);
  FTick += Milliseconds;
  FNowMilliseconds += static_cast<int64_t>(Milliseconds);
  FWake.notify_all();
}

void TManualClock::SetNow(TDateTime Value) {
  std::lock_guard<std::mutex> Lock(FMutex);
  FNowMilliseconds = std::llround(Value * MillisecondsPerDay);
}

void TManualClock::SetSleepAdvances(bool Value) {
  std::lock_guard<std::mutex> Lock(FMutex);
  FSleepAdvances = Value;
}

int TManualClock::WaiterCount() {
  std::lock_guard<std::mutex> Lock(FMutex);
  return FWaiters;
}

TScopedManualClock::TScopedManualClock(TDateTime Start, uint64_t StartTick)
    : FClock(Start, StartTick), FPrevious(&Clock()) {
  InstallClock(&FClock);
}

TScopedManualClock::~TScopedManualClock() {
  InstallClock(FPrevious);
}
