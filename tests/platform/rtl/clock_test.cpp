#include "platform/rtl/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

// Waits (in real time, briefly) until the worker thread is blocked on the manual clock, so the
// test advances the clock only once the waiter is really waiting.
void WaitForWaiters(TManualClock& ManualClock, int Count) {
  for (int Attempt = 0; Attempt < 5000 && ManualClock.WaiterCount() < Count; ++Attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(ManualClock.WaiterCount(), Count);
}

TEST(ManualClock, StartsAtTheDocumentedMomentAndMovesTickAndWallTimeTogether) {
  TScopedManualClock Scoped;
  EXPECT_EQ(&Clock(), &Scoped.Get());
  EXPECT_EQ(GetTickCount64(), 1000u);
  EXPECT_DOUBLE_EQ(Clock().Now(), 46027.375);  // 2026-01-05 09:00:00

  Scoped->Advance(1000);
  EXPECT_EQ(GetTickCount(), 2000u);
  // One second later exactly: the wall time is kept in whole milliseconds, so a formatter that
  // rounds to the millisecond sees 09:00:01.000 and not 09:00:00.999.
  EXPECT_EQ(std::llround(Clock().Now() * 86400000.0), std::llround(46027.375 * 86400000.0) + 1000);

  Scoped->SetNow(46028.5);
  EXPECT_DOUBLE_EQ(Clock().Now(), 46028.5);
  EXPECT_EQ(GetTickCount64(), 2000u);  // setting the wall time leaves the tick alone
}

TEST(ManualClock, ScopeRestoresThePreviousClock) {
  TClock* Before = &Clock();
  {
    TScopedManualClock Outer;
    {
      TScopedManualClock Inner(46000.0, 5);
      EXPECT_EQ(GetTickCount64(), 5u);
    }
    EXPECT_EQ(&Clock(), &Outer.Get());
  }
  EXPECT_EQ(&Clock(), Before);
}

TEST(ManualClock, GetTickCountWrapsAt32Bits) {
  TScopedManualClock Scoped(ManualClockDefaultStart, 0xFFFFFFF0ull);
  Scoped->Advance(0x20);
  EXPECT_EQ(GetTickCount64(), 0x100000010ull);
  EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST(ManualClock, WaiterWakesWhenTheClockPassesItsDeadline) {
  TScopedManualClock Scoped;
  std::atomic<bool> Cancel{false};
  std::atomic<int> Result{-1};
  std::thread Waiter([&] { Result = Clock().WaitUntilTick(1500, Cancel) ? 1 : 0; });
  WaitForWaiters(Scoped.Get(), 1);

  Scoped->Advance(499);  // one short of the deadline: still waiting
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(Result.load(), -1);
  EXPECT_EQ(Scoped->WaiterCount(), 1);

  Scoped->Advance(1);
  Waiter.join();
  EXPECT_EQ(Result.load(), 1);
}

TEST(ManualClock, CancelReleasesAWaiterBeforeItsDeadline) {
  TScopedManualClock Scoped;
  std::atomic<bool> Cancel{false};
  std::atomic<int> Result{-1};
  std::thread Waiter([&] { Result = Clock().WaitUntilTick(1000000, Cancel) ? 1 : 0; });
  WaitForWaiters(Scoped.Get(), 1);

  Cancel = true;
  Clock().WakeWaiters();
  Waiter.join();
  EXPECT_EQ(Result.load(), 0);
  EXPECT_EQ(GetTickCount64(), 1000u);
}

TEST(ManualClock, DeadlineAlreadyPassedOrAlreadyCancelledReturnsAtOnce) {
  TScopedManualClock Scoped;
  std::atomic<bool> Cancel{false};
  EXPECT_TRUE(Clock().WaitUntilTick(1000, Cancel));
  Cancel = true;
  EXPECT_FALSE(Clock().WaitUntilTick(5000, Cancel));
}

TEST(ManualClock, SleepWaitsForAdvanceOrMovesTheClockWhenTold) {
  TScopedManualClock Scoped;
  std::atomic<bool> Done{false};
  std::thread Sleeper([&] {
    Sleep(400);
    Done = true;
  });
  WaitForWaiters(Scoped.Get(), 1);
  Scoped->Advance(300);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(Done.load());
  Scoped->Advance(100);
  Sleeper.join();
  EXPECT_TRUE(Done.load());

  Scoped->SetSleepAdvances(true);
  Sleep(250);
  EXPECT_EQ(GetTickCount64(), 1650u);
}

TEST(SystemClock, TickIsMonotonicAndWaitsEndAtTheDeadlineOrOnCancel) {
  TSystemClock System;
  uint64_t Start = System.TickCount();
  std::atomic<bool> Cancel{false};
  EXPECT_TRUE(System.WaitUntilTick(Start + 20, Cancel));
  EXPECT_GE(System.TickCount(), Start + 20);

  std::atomic<int> Result{-1};
  std::thread Waiter([&] { Result = System.WaitUntilTick(System.TickCount() + 60000, Cancel) ? 1 : 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Cancel = true;
  System.WakeWaiters();
  Waiter.join();
  EXPECT_EQ(Result.load(), 0);
  EXPECT_LT(System.TickCount(), Start + 30000);
}

TEST(SystemClock, NowIsAPlausibleLocalTime) {
  TSystemClock System;
  TDateTime Now = System.Now();
  // Between 2020 and 2100, and consistent with time(): the local offset is at most 14 hours.
  EXPECT_GT(Now, 43831.0);
  EXPECT_LT(Now, 73051.0);
  double FromUtc = 25569.0 + static_cast<double>(time(nullptr)) / 86400.0;
  EXPECT_LT(std::fabs(Now - FromUtc), 14.5 / 24.0);
}

}  // namespace
