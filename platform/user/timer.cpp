// Timers. A timer is a deadline in its thread's queue; the queue makes WM_TIMER from it when
// nothing more urgent is waiting and the clock has passed the deadline. The next deadline is set
// when the message is retrieved, one interval after that moment, so at most one WM_TIMER per
// timer is ever pending and a slow handler is not flooded with ticks it could not take.

#include <algorithm>

#include "platform/rtl/clock.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"

using namespace UserImpl;

UINT_PTR SetTimer(HWND Window, UINT_PTR Id, UINT Elapse, TIMERPROC Proc) {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  if (Window) {
    TWindow* Record = FindLocked(Window);
    if (!Record || Record->ThreadId != Queue.ThreadId) return 0;
  }
  Elapse = std::clamp(Elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  uint64_t Due = Clock().TickCount() + Elapse;
  auto Existing = std::find_if(Queue.Timers.begin(), Queue.Timers.end(), [&](const TTimer& T) {
    return T.Window == Window && T.Id == Id && (Window || Id != 0);
  });
  if (Existing != Queue.Timers.end()) {
    Existing->Interval = Elapse;
    Existing->Proc = Proc;
    Existing->Due = Due;
    WakeQueueLocked(Queue);
    return Window ? (Id ? Id : 1) : Id;
  }
  if (!Window) {
    // Ids of thread timers count down from a high value, away from the small ids windows use.
    static UINT_PTR NextThreadTimerId = 0x7FFF;
    do {
      Id = NextThreadTimerId--;
      if (NextThreadTimerId < 0x100) NextThreadTimerId = 0x7FFF;
    } while (std::any_of(Queue.Timers.begin(), Queue.Timers.end(),
                         [&](const TTimer& T) { return !T.Window && T.Id == Id; }));
  }
  TTimer Timer;
  Timer.Window = Window;
  Timer.Id = Id;
  Timer.Interval = Elapse;
  Timer.Proc = Proc;
  Timer.Due = Due;
  Timer.Order = Queue.NextTimerOrder++;
  Queue.Timers.push_back(Timer);
  WakeQueueLocked(Queue);
  return Window ? (Id ? Id : 1) : Id;
}

BOOL KillTimer(HWND Window, UINT_PTR Id) {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  auto Found = std::find_if(Queue.Timers.begin(), Queue.Timers.end(),
                            [&](const TTimer& T) { return T.Window == Window && T.Id == Id; });
  if (Found == Queue.Timers.end()) return FALSE;
  Queue.Timers.erase(Found);
  // A WM_TIMER of it already posted (by PeekMessage without removal) is gone with it as well:
  // timer messages are made at retrieval and never sit in the posted list.
  return TRUE;
}
