#pragma once
// The clock service. Every reading of time in the program goes through the installed TClock: the
// monotonic tick behind GetTickCount, timers and Sleep, and the local wall-clock time behind Now.
// Tests install a TManualClock, so timers fire in order without sleeping and a thread waiting on
// the clock (the capture thread pacing frames) wakes as soon as the manual time passes its
// deadline.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/rtl/datetime_type.h"

class TClock {
 public:
  virtual ~TClock() = default;
  // Monotonic milliseconds; never goes back.
  virtual uint64_t TickCount() = 0;
  // Local wall-clock time.
  virtual TDateTime Now() = 0;
  // Returns once the tick has moved on by Milliseconds (a manual clock waits for Advance, unless
  // told to move itself, see TManualClock::SetSleepAdvances).
  virtual void Sleep(uint32_t Milliseconds) = 0;
  // Blocks the calling thread until TickCount() >= Deadline or Cancel becomes true (whoever sets
  // Cancel then calls WakeWaiters()). Returns true when the deadline was reached.
  virtual bool WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) = 0;
  // Wakes every thread blocked in WaitUntilTick so it can look at its Cancel flag again.
  virtual void WakeWaiters() = 0;
};

// The installed clock (the system clock by default).
TClock& Clock();
// Installs a clock for the whole process; nullptr restores the system clock. The caller keeps
// ownership and must restore the previous clock before destroying its own.
void InstallClock(TClock* Clock);

// Clock().TickCount() truncated to 32 bits, as the window system's tick wraps.
uint32_t GetTickCount();
uint64_t GetTickCount64();
void Sleep(uint32_t Milliseconds);

// The real clock: CLOCK_MONOTONIC for the tick, the machine's local time zone for Now.
class TSystemClock : public TClock {
 public:
  uint64_t TickCount() override;
  TDateTime Now() override;
  void Sleep(uint32_t Milliseconds) override;
  bool WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) override;
  void WakeWaiters() override;

 private:
  std::mutex FMutex;
  std::condition_variable FWake;
};

// Monday 2026-01-05 09:00:00: a working-day morning, far from midnight and from a month's end.
inline constexpr TDateTime ManualClockDefaultStart = 46027.375;

// A clock for tests: time moves only when told. Thread-safe: one thread may Advance while others
// read or wait.
class TManualClock : public TClock {
 public:
  explicit TManualClock(TDateTime Start = ManualClockDefaultStart, uint64_t StartTick = 1000);

  uint64_t TickCount() override;
  TDateTime Now() override;
  // Waits until another thread advances the tick past the sleep's end; with SetSleepAdvances(true)
  // the clock moves itself by Milliseconds and returns at once, for single-threaded tests of code
  // that sleeps on the user-interface thread.
  void Sleep(uint32_t Milliseconds) override;
  bool WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) override;
  void WakeWaiters() override;

  // Moves tick and wall time together and wakes the waiters.
  void Advance(uint64_t Milliseconds);
  // Sets the wall time only; the tick stays.
  void SetNow(TDateTime Value);
  void SetSleepAdvances(bool Value);
  // The number of threads blocked in WaitUntilTick or Sleep right now, so a test can wait until
  // its worker thread is really waiting before it advances the clock.
  int WaiterCount();

 private:
  std::mutex FMutex;
  std::condition_variable FWake;
  uint64_t FTick;
  // Wall time in whole milliseconds since 1899-12-30, so that advancing by a second lands exactly
  // on the next second instead of a rounding error below it.
  int64_t FNowMilliseconds;
  bool FSleepAdvances = false;
  int FWaiters = 0;
};

// Installs a manual clock for the scope of a test and restores the previous clock on exit.
class TScopedManualClock {
 public:
  explicit TScopedManualClock(TDateTime Start = ManualClockDefaultStart, uint64_t StartTick = 1000);
  ~TScopedManualClock();
  TScopedManualClock(const TScopedManualClock&) = delete;
  TScopedManualClock& operator=(const TScopedManualClock&) = delete;

  TManualClock& Get() { return FClock; }
  TManualClock* operator->() { return &FClock; }

 private:
  TManualClock FClock;
  TClock* FPrevious;
};
