// TTimer semantics, driven by the manual clock.

#include "platform/forms/timer.h"

#include <gtest/gtest.h>

#include "platform/rtl/clock.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

struct TTimerStep {
  uint64_t At;  // milliseconds after the timer was made
  enum { Enable, Disable, Interval } What;
  uint32_t Value = 0;
};

struct TTimerCase {
  const char* Name;
  bool Enabled;
  uint32_t Interval;
  std::vector<TTimerStep> Steps;
  uint64_t RunUntil;
  std::vector<uint64_t> Ticks;  // when OnTimer ran
};

const TTimerCase TimerCases[] = {
    {"runs every interval", true, 100, {}, 350, {100, 200, 300}},
    {"enabling a running timer does not restart it",
     true,
     100,
     {{50, TTimerStep::Enable}},
     350,
     {100, 200, 300}},
    {"disabling and enabling restarts it",
     true,
     100,
     {{50, TTimerStep::Disable}, {60, TTimerStep::Enable}},
     350,
     {160, 260}},
    {"the same interval changes nothing",
     true,
     100,
     {{150, TTimerStep::Interval, 100}},
     350,
     {100, 200, 300}},
    {"a new interval restarts the countdown",
     true,
     100,
     {{150, TTimerStep::Interval, 50}},
     350,
     {100, 200, 250, 300, 350}},
    {"a longer interval restarts too", true, 100, {{90, TTimerStep::Interval, 200}}, 500, {290, 490}},
    {"interval 0 never fires", true, 0, {}, 1000, {}},
    {"interval 0 stops a running timer", true, 100, {{150, TTimerStep::Interval, 0}}, 1000, {100}},
    {"from interval 0 back to 100",
     true,
     100,
     {{50, TTimerStep::Interval, 0}, {120, TTimerStep::Interval, 100}},
     350,
     {220, 320}},
    {"disabled from the start", false, 100, {}, 500, {}},
    {"enabled later", false, 100, {{30, TTimerStep::Enable}}, 350, {130, 230, 330}},
};

class TimerTest : public TFormsTest {};

TEST_F(TimerTest, SemanticsTable) {
  for (const auto& Case : TimerCases) {
    SCOPED_TRACE(Case.Name);
    const uint64_t Start = GetTickCount64();
    TTimer Timer(nullptr);
    Timer.SetEnabled(Case.Enabled);
    Timer.SetInterval(Case.Interval);
    std::vector<uint64_t> Ticks;
    Timer.OnTimer = TNotifyEvent([&](TObject*) { Ticks.push_back(GetTickCount64() - Start); });
    size_t Next = 0;
    for (uint64_t Now = 0; Now <= Case.RunUntil; Now += 10) {
      while (Next < Case.Steps.size() && Case.Steps[Next].At == Now) {
        const auto& Step = Case.Steps[Next++];
        if (Step.What == TTimerStep::Enable) Timer.SetEnabled(true);
        if (Step.What == TTimerStep::Disable) Timer.SetEnabled(false);
        if (Step.What == TTimerStep::Interval) Timer.SetInterval(Step.Value);
      }
      Pump();
      if (Now < Case.RunUntil) FClock->Advance(10);
    }
    EXPECT_EQ(Ticks, Case.Ticks);
  }
}

TEST_F(TimerTest, AtMostOneTickIsPending) {
  TTimer Timer(nullptr);
  Timer.SetInterval(100);
  int Ticks = 0;
  Timer.OnTimer = TNotifyEvent([&](TObject*) { ++Ticks; });
  // A second passes while nothing handles messages (a long step): one tick waits, not ten.
  FClock->Advance(1000);
  Pump();
  EXPECT_EQ(Ticks, 1);
  Advance(100);
  EXPECT_EQ(Ticks, 2);
}

TEST_F(TimerTest, ProcessMessagesInsideTheHandlerReentersIt) {
  TTimer Timer(nullptr);
  Timer.SetInterval(100);
  int Depth = 0, MaxDepth = 0, Entries = 0;
  bool Busy = false;
  int Skipped = 0;
  bool Guarded = false;
  Timer.OnTimer = TNotifyEvent([&](TObject*) {
    if (Guarded && Busy) {
      ++Skipped;  // the guard flag makes the second entry return at once
      return;
    }
    Busy = true;
    ++Entries;
    MaxDepth = std::max(MaxDepth, ++Depth);
    if (Entries == 1 || (Guarded && Entries == 3)) {
      // A long step that lets time pass and handles messages meanwhile.
      FClock->Advance(100);
      Application->ProcessMessages();
    }
    --Depth;
    Busy = false;
  });
  Advance(100);
  EXPECT_EQ(Entries, 2);
  EXPECT_EQ(MaxDepth, 2);
  Guarded = true;
  Advance(100);
  EXPECT_EQ(Entries, 3);
  EXPECT_EQ(Skipped, 1);
}

TEST_F(TimerTest, FreeingTheTimerInItsHandlerIsSafe) {
  auto* Timer = new TTimer(nullptr);
  Timer->SetInterval(50);
  int Ticks = 0;
  Timer->OnTimer = TNotifyEvent([&](TObject* Sender) {
    ++Ticks;
    static_cast<TTimer*>(Sender)->Free();
  });
  Advance(200);
  EXPECT_EQ(Ticks, 1);
}

TEST_F(TimerTest, TimerReadFromAFormStartsOnceLoaded) {
  // A timer's properties arrive one by one while it is read; it starts when reading ends.
  TForm* Form = NewForm<TForm>(nullptr);
  auto* Timer = new TTimer(Form);
  Timer->SetComponentState(Timer->ComponentState() + csLoading);
  Timer->SetInterval(40);
  Timer->SetEnabled(true);
  EXPECT_FALSE(Timer->Running());
  Timer->Loaded();
  EXPECT_TRUE(Timer->Running());
  int Ticks = 0;
  Timer->OnTimer = TNotifyEvent([&](TObject*) { ++Ticks; });
  Advance(100);
  EXPECT_EQ(Ticks, 2);
  Form->Free();
  Advance(100);
  EXPECT_EQ(Ticks, 2);
}

}  // namespace
}  // namespace FormsTest
