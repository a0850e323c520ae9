#pragma once
// TTimer: OnTimer every Interval milliseconds while Enabled, from the message loop.
//
// The semantics code relies on:
// - setting Enabled to true on a running timer changes nothing (the countdown goes on);
// - setting a different Interval restarts the countdown; the same Interval changes nothing;
// - Interval 0 never fires;
// - ticks are low-priority messages and never pile up: at most one is pending at a time, so a
//   slow handler misses ticks rather than running them back to back;
// - a handler that processes messages (Application->ProcessMessages) can be entered again by
//   the next tick unless it guards itself.
// Time comes from the clock service, so a test's manual clock drives timers.

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/rtl/wintypes.h"

class TTimer : public TComponent {
  KORCAM_CLASS(TTimer, TComponent)

 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  void BeforeDestruction() override;

  PROPERTY(bool, Enabled, true)
  PROPERTY(uint32_t, Interval, 1000)
  EVENT(TNotifyEvent, OnTimer)

 public:
  // Assigns OnTimer and restarts the countdown, as assigning the handler does in the class
  // library (assigning the field directly does not restart it).
  void SetOnTimer(const TNotifyEvent& Value);
  // True while the window system's timer runs.
  bool Running() const { return FTimerId != 0; }
  void Loaded() override;

 protected:
  // Fires OnTimer; descendants extend it.
  virtual void Timer();

 private:
  friend void TimerTick(UINT_PTR Id);
  void UpdateTimer();
  void KillSystemTimer();
  UINT_PTR FTimerId = 0;
};
