// Sending, posting, retrieving and dispatching messages; registered messages.

#include "platform/user/message.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/queueinput.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

// What the innermost window procedure call on this thread came from.
enum class TCallKind { None, Sent, CrossThread, Dispatched };
thread_local TCallKind CurrentCall = TCallKind::None;

struct TCallScope {
  TCallKind Saved;
  explicit TCallScope(TCallKind Kind) : Saved(CurrentCall) { CurrentCall = Kind; }
  ~TCallScope() { CurrentCall = Saved; }
  TCallScope(const TCallScope&) = delete;
  TCallScope& operator=(const TCallScope&) = delete;
};

LRESULT CallProc(WNDPROC Proc, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return Proc ? Proc(Window, Message, WParam, LParam) : DefWindowProcA(Window, Message, WParam, LParam);
}

// With the lock held: releases a send and wakes its sender.
void ReleaseLocked(const TSentPointer& Sent) {
  Sent->State = TSentMessage::Released;
  if (TMessageQueue* Sender = QueueOfThreadLocked(Sent->SenderThread)) WakeQueueLocked(*Sender);
}

POINT CursorLocked() { return InputLocked().CursorPos; }

}  // namespace

namespace UserImpl {

bool MatchesRange(UINT Message, UINT Min, UINT Max) {
  if (Min == 0 && Max == 0) return true;
  if (Min <= Max) return Message >= Min && Message <= Max;
  return Message >= Min || Message <= Max;
}

bool MatchesWindowLocked(HWND Filter, HWND Target) {
  if (!Filter) return true;
  if (Filter == reinterpret_cast<HWND>(intptr_t(-1))) return Target == nullptr;
  if (Target == Filter) return true;
  TWindow* Scope = FindLocked(Filter);
  TWindow* Window = FindLocked(Target);
  return Scope && Window && IsDescendantLocked(Scope, Window);
}

// Runs the oldest message another thread sent to this one. False when there was none.
bool ProcessIncomingSend(TMessageQueue& Queue) {
  TSentPointer Sent;
  WNDPROC Proc = nullptr;
  bool Exists;
  {
    TGuard Lock(Mutex());
    if (Queue.Incoming.empty()) return false;
    Sent = Queue.Incoming.front();
    Queue.Incoming.pop_front();
    Sent->State = TSentMessage::Processing;
    Queue.Receiving.push_back(Sent);
    TWindow* Window = FindLocked(Sent->Window);
    Exists = Window != nullptr;
    if (Window) Proc = Window->Proc;
  }
  LRESULT Result = 0;
  // Replies even when the procedure throws, so the sender is never left waiting.
  struct TFinish {
    TMessageQueue& Queue;
    TSentPointer& Sent;
    LRESULT& Result;
    ~TFinish() {
      TGuard Lock(Mutex());
      if (Sent->State == TSentMessage::Processing) {
        Sent->Result = Result;
        Sent->State = TSentMessage::Replied;
        if (TMessageQueue* Sender = QueueOfThreadLocked(Sent->SenderThread)) WakeQueueLocked(*Sender);
      }
      auto& Receiving = Queue.Receiving;
      Receiving.erase(std::find(Receiving.begin(), Receiving.end(), Sent));
    }
  } Finish{Queue, Sent, Result};
  if (Exists) {
    TCallScope Scope(TCallKind::CrossThread);
    Result = CallProc(Proc, Sent->Window, Sent->Message, Sent->WParam, Sent->LParam);
  }
  return true;
}

}  // namespace UserImpl

DWORD GetCurrentThreadId() {
  CurrentQueue();
  return CurrentThreadId();
}

LRESULT CallWindowProcA(WNDPROC Proc, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return CallProc(Proc, Window, Message, WParam, LParam);
}

// ---- sending ---------------------------------------------------------------------------------

namespace {

bool SendCore(HWND Handle, UINT Message, WPARAM WParam, LPARAM LParam, bool HasTimeout,
              UINT Timeout, LRESULT& Result) {
  Result = 0;
  TSentPointer Sent;
  TMessageQueue* Own;
  TSentPointer PreviousWait;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return false;
    if (!Window->Parent) {
      Lock.unlock();
      TCallScope Scope(TCallKind::Sent);
      Result = DefWindowProcA(Handle, Message, WParam, LParam);
      return true;
    }
    Own = &CurrentQueueLocked();
    if (Window->ThreadId == Own->ThreadId) {
      WNDPROC Proc = Window->Proc;
      Lock.unlock();
      TCallScope Scope(TCallKind::Sent);
      Result = CallProc(Proc, Handle, Message, WParam, LParam);
      return true;
    }
    if (Own->SendsBlocked) return false;
    TMessageQueue* Receiver = QueueOfThreadLocked(Window->ThreadId);
    if (!Receiver) return false;
    Sent = std::make_shared<TSentMessage>();
    Sent->Window = Handle;
    Sent->Message = Message;
    Sent->WParam = WParam;
    Sent->LParam = LParam;
    Sent->SenderThread = Own->ThreadId;
    Sent->ReceiverThread = Receiver->ThreadId;
    Receiver->Incoming.push_back(Sent);
    WakeQueueLocked(*Receiver);
    PreviousWait = Own->Waiting;
    Own->Waiting = Sent;
  }
  // Whatever happens (a message sent to us may throw while we wait), the send is not left
  // behind as waiting.
  struct TRestore {
    TMessageQueue* Own;
    TSentPointer& Sent;
    TSentPointer& Previous;
    ~TRestore() {
      TGuard Lock(Mutex());
      Own->Waiting = Previous;
      if (Sent->State == TSentMessage::Queued) {
        if (TMessageQueue* Receiver = QueueOfThreadLocked(Sent->ReceiverThread)) {
          auto& Incoming = Receiver->Incoming;
          Incoming.erase(std::remove(Incoming.begin(), Incoming.end(), Sent), Incoming.end());
        }
      }
      if (Sent->State == TSentMessage::Queued || Sent->State == TSentMessage::Processing)
        Sent->State = TSentMessage::Released;
    }
  } Restore{Own, Sent, PreviousWait};
  uint64_t Deadline = HasTimeout ? Clock().TickCount() + Timeout : 0;
  for (;;) {
    TGuard Lock(Mutex());
    Own->Wake.store(false);
    if (Sent->State == TSentMessage::Replied) {
      Result = Sent->Result;
      return true;
    }
    if (Sent->State == TSentMessage::Released) return false;
    if (!Own->Incoming.empty()) {
      Lock.unlock();
      ProcessIncomingSend(*Own);
      continue;
    }
    uint64_t Now = Clock().TickCount();
    if (HasTimeout && Now >= Deadline) return false;
    Lock.unlock();
    Clock().WaitUntilTick(HasTimeout ? Deadline : Now + 60000, Own->Wake);
  }
}

}  // namespace

LRESULT SendMessageA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  LRESULT Result;
  SendCore(Window, Message, WParam, LParam, false, 0, Result);
  return Result;
}

LRESULT SendMessageTimeoutA(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT Flags,
                            UINT Timeout, DWORD_PTR* Result) {
  LRESULT Value;
  bool Done = SendCore(Window, Message, WParam, LParam, true, Timeout, Value);
  if (Result) *Result = DWORD_PTR(Value);
  return Done ? TRUE : FALSE;
}

UINT BlockThreadSends(DWORD SenderThreadId, BOOL Block) {
  TGuard Lock(Mutex());
  TMessageQueue* Sender = QueueOfThreadLocked(SenderThreadId);
  auto& Pending = PendingSendBlocksLocked();
  if (!Sender) {
    Pending.erase(std::remove(Pending.begin(), Pending.end(), SenderThreadId), Pending.end());
    if (Block) Pending.push_back(SenderThreadId);
    return 0;
  }
  Sender->SendsBlocked = Block != FALSE;
  if (!Block) return 0;
  UINT Count = 0;
  for (TMessageQueue* Queue : AllQueuesLocked()) {
    auto& Incoming = Queue->Incoming;
    for (auto It = Incoming.begin(); It != Incoming.end();) {
      if ((*It)->SenderThread == SenderThreadId) {
        ReleaseLocked(*It);
        ++Count;
        It = Incoming.erase(It);
      } else {
        ++It;
      }
    }
  }
  if (Sender->Waiting && Sender->Waiting->State == TSentMessage::Processing) {
    ReleaseLocked(Sender->Waiting);
    ++Count;
  }
  return Count;
}

UINT ReleaseSentMessages(HWND Window, DWORD SenderThreadId) {
  TGuard Lock(Mutex());
  UINT Count = 0;
  auto Matches = [&](const TSentPointer& Sent) {
    return (!Window || Sent->Window == Window) && (!SenderThreadId || Sent->SenderThread == SenderThreadId);
  };
  for (TMessageQueue* Queue : AllQueuesLocked()) {
    auto& Incoming = Queue->Incoming;
    for (auto It = Incoming.begin(); It != Incoming.end();) {
      if (Matches(*It)) {
        ReleaseLocked(*It);
        ++Count;
        It = Incoming.erase(It);
      } else {
        ++It;
      }
    }
    for (auto& Sent : Queue->Receiving) {
      if (Sent->State == TSentMessage::Processing && Matches(Sent)) {
        ReleaseLocked(Sent);
        ++Count;
      }
    }
  }
  return Count;
}

BOOL InSendMessage() { return CurrentCall == TCallKind::CrossThread ? TRUE : FALSE; }

DWORD InSendMessageEx(LPVOID) {
  if (CurrentCall != TCallKind::CrossThread) return ISMEX_NOSEND;
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  DWORD Result = ISMEX_SEND;
  if (!Queue.Receiving.empty() && Queue.Receiving.back()->State != TSentMessage::Processing)
    Result |= ISMEX_REPLIED;
  return Result;
}

BOOL ReplyMessage(LRESULT Result) {
  if (CurrentCall != TCallKind::CrossThread) return FALSE;
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  if (Queue.Receiving.empty()) return FALSE;
  TSentPointer Sent = Queue.Receiving.back();
  if (Sent->State != TSentMessage::Processing) return FALSE;
  Sent->Result = Result;
  Sent->State = TSentMessage::Replied;
  if (TMessageQueue* Sender = QueueOfThreadLocked(Sent->SenderThread)) WakeQueueLocked(*Sender);
  return TRUE;
}

BOOL InDispatchedMessage() { return CurrentCall == TCallKind::Dispatched ? TRUE : FALSE; }

// ---- posting ---------------------------------------------------------------------------------

namespace {

void PostToLocked(TMessageQueue& Queue, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  Queue.Posted.push_back(MSG{Window, Message, WParam, LParam, GetTickCount(), CursorLocked()});
  WakeQueueLocked(Queue);
}

}  // namespace

BOOL PostMessageA(HWND Handle, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (!Handle) return PostThreadMessageA(GetCurrentThreadId(), Message, WParam, LParam);
  TGuard Lock(Mutex());
  if (Handle == HWND_BROADCAST) {
    for (TWindow* Window : DesktopLocked()->Children)
      if (TMessageQueue* Queue = QueueOfThreadLocked(Window->ThreadId))
        PostToLocked(*Queue, Window->Handle, Message, WParam, LParam);
    return TRUE;
  }
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Parent) return FALSE;
  TMessageQueue* Queue = QueueOfThreadLocked(Window->ThreadId);
  if (!Queue) return FALSE;
  PostToLocked(*Queue, Handle, Message, WParam, LParam);
  return TRUE;
}

BOOL PostThreadMessageA(DWORD ThreadId, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (ThreadId == CurrentThreadId()) CurrentQueue();
  TGuard Lock(Mutex());
  TMessageQueue* Queue = QueueOfThreadLocked(ThreadId);
  if (!Queue) return FALSE;
  PostToLocked(*Queue, nullptr, Message, WParam, LParam);
  return TRUE;
}

void PostQuitMessage(int ExitCode) {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  Queue.QuitPosted = true;
  Queue.QuitCode = ExitCode;
  WakeQueueLocked(Queue);
}

// ---- retrieving ------------------------------------------------------------------------------

namespace {

bool PeekCore(TMessageQueue& Queue, MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Flags) {
  bool Remove = (Flags & PM_REMOVE) != 0;
  for (;;) {
    TGuard Lock(Mutex());
    Queue.Wake.store(false);
    if (!Queue.Incoming.empty()) {
      Lock.unlock();
      ProcessIncomingSend(Queue);
      continue;
    }
    auto Deliver = [&](const MSG& Message) {
      *Out = Message;
      Queue.MessageTime = Message.time;
      Queue.MessagePos = Message.pt;
      return true;
    };
    for (auto It = Queue.Posted.begin(); It != Queue.Posted.end(); ++It) {
      if (!MatchesRange(It->message, Min, Max) || !MatchesWindowLocked(Filter, It->hwnd)) continue;
      MSG Message = *It;
      if (Remove) Queue.Posted.erase(It);
      return Deliver(Message);
    }
    if (Queue.QuitPosted && MatchesRange(WM_QUIT, Min, Max)) {
      MSG Message{nullptr, WM_QUIT, WPARAM(Queue.QuitCode), 0, GetTickCount(), CursorLocked()};
      if (Remove) Queue.QuitPosted = false;
      return Deliver(Message);
    }
    if (!Queue.Input.empty()) {
      TInputEvent Event = Queue.Input.front();
      if (Queue.Track.Active && Event.Kind == TInputEvent::Mouse) {
        Queue.Input.pop_front();
        Lock.unlock();
        TrackScrollInput(Queue, Event);
        continue;
      }
      if (InputMatchesFilterLocked(Queue, Event, Filter, Min, Max)) {
        if (Remove) Queue.Input.pop_front();
        Lock.unlock();
        MSG Message{};
        if (TakeInputMessage(Queue, Event, Message, Remove)) {
          TGuard Relock(Mutex());
          return Deliver(Message);
        }
        if (!Remove) {
          // A discarded message that was only peeked at leaves the queue now.
          TGuard Relock(Mutex());
          if (!Queue.Input.empty()) Queue.Input.pop_front();
        }
        continue;
      }
    }
    if (MatchesRange(WM_PAINT, Min, Max)) {
      TWindow* Scope = Filter && Filter != reinterpret_cast<HWND>(intptr_t(-1)) ? FindLocked(Filter)
                                                                               : DesktopLocked();
      TWindow* Paint = nullptr;
      if (Scope) {
        if (Scope->Parent && Scope->ThreadId == Queue.ThreadId && IsVisibleLocked(Scope) &&
            WindowNeedsPaintLocked(Scope))
          Paint = Scope;
        else if (!Filter || Scope->Parent)
          Paint = FindWindowToPaintLocked(Scope, Queue.ThreadId);
      }
      if (Paint) return Deliver(MSG{Paint->Handle, WM_PAINT, 0, 0, GetTickCount(), CursorLocked()});
    }
    uint64_t Now = Clock().TickCount();
    if (Queue.Track.Active && Queue.Track.Repeating && Now >= Queue.Track.RepeatDue) {
      Lock.unlock();
      ScrollTrackRepeat(Queue);
      continue;
    }
    if (MatchesRange(WM_TIMER, Min, Max)) {
      TTimer* Due = nullptr;
      for (TTimer& Timer : Queue.Timers) {
        if (Timer.Due > Now || !MatchesWindowLocked(Filter, Timer.Window)) continue;
        if (!Due || Timer.Due < Due->Due || (Timer.Due == Due->Due && Timer.Order < Due->Order))
          Due = &Timer;
      }
      if (Due) {
        MSG Message{Due->Window, WM_TIMER, Due->Id, reinterpret_cast<LPARAM>(Due->Proc),
                    DWORD(Now), CursorLocked()};
        if (Remove) Due->Due = Now + Due->Interval;
        // A timer is only handed out when nothing else waits (no post, no input, nothing to
        // paint), so what was painted is complete: show it now. A loop whose timers always come
        // due again before it finishes with the last one never waits, and would otherwise never
        // show a picture again.
        Lock.unlock();
        NotifyDriverFlush();
        TGuard Relock(Mutex());
        return Deliver(Message);
      }
    }
    return false;
  }
}

// Blocks until something may have arrived for the thread or a timer of the filter comes due.
void WaitForWork(TMessageQueue& Queue, HWND Filter) {
  NotifyDriverFlush();
  uint64_t Deadline;
  {
    TGuard Lock(Mutex());
    uint64_t Now = Clock().TickCount();
    Deadline = Now + 60000;
    for (const TTimer& Timer : Queue.Timers)
      if (MatchesWindowLocked(Filter, Timer.Window)) Deadline = std::min(Deadline, Timer.Due);
    if (Queue.Track.Active && Queue.Track.Repeating) Deadline = std::min(Deadline, Queue.Track.RepeatDue);
  }
  Clock().WaitUntilTick(Deadline, Queue.Wake);
}

}  // namespace

BOOL GetMessageA(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax) {
  if (!Message) return -1;
  if (Window && Window != reinterpret_cast<HWND>(intptr_t(-1)) && !IsWindow(Window)) return -1;
  TMessageQueue& Queue = CurrentQueue();
  for (;;) {
    if (PeekCore(Queue, Message, Window, FilterMin, FilterMax, PM_REMOVE))
      return Message->message == WM_QUIT ? FALSE : TRUE;
    WaitForWork(Queue, Window);
  }
}

BOOL PeekMessageA(LPMSG Message, HWND Window, UINT FilterMin, UINT FilterMax, UINT RemoveFlags) {
  if (!Message) return FALSE;
  TMessageQueue& Queue = CurrentQueue();
  if (PeekCore(Queue, Message, Window, FilterMin, FilterMax, RemoveFlags)) return TRUE;
  // Nothing left to do: a loop that only peeks (ProcessMessages inside a long step) must still
  // show what it painted, as a wait would.
  NotifyDriverFlush();
  return FALSE;
}

BOOL WaitMessage() {
  TMessageQueue& Queue = CurrentQueue();
  for (;;) {
    MSG Message;
    if (PeekCore(Queue, &Message, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    WaitForWork(Queue, nullptr);
  }
}

DWORD GetQueueStatus(UINT Flags) {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  UINT Bits = 0;
  if (!Queue.Posted.empty() || Queue.QuitPosted) Bits |= QS_POSTMESSAGE;
  if (!Queue.Incoming.empty()) Bits |= QS_SENDMESSAGE;
  for (const TInputEvent& Event : Queue.Input) {
    if (Event.Kind == TInputEvent::Key)
      Bits |= QS_KEY;
    else if (Event.MouseMessage == WM_MOUSEMOVE)
      Bits |= QS_MOUSEMOVE;
    else
      Bits |= QS_MOUSEBUTTON;
  }
  if (FindWindowToPaintLocked(DesktopLocked(), Queue.ThreadId)) Bits |= QS_PAINT;
  uint64_t Now = Clock().TickCount();
  for (const TTimer& Timer : Queue.Timers)
    if (Timer.Due <= Now) Bits |= QS_TIMER;
  Bits &= Flags;
  return MAKELONG(WORD(Bits), WORD(Bits));
}

BOOL GetInputState() { return (GetQueueStatus(QS_INPUT) & 0xFFFF) != 0; }

LRESULT DispatchMessageA(const MSG* Message) {
  if (!Message) return 0;
  if (Message->message == WM_TIMER && Message->lParam) {
    TIMERPROC Proc = reinterpret_cast<TIMERPROC>(Message->lParam);
    {
      TMessageQueue& Queue = CurrentQueue();
      TGuard Lock(Mutex());
      bool Valid = std::any_of(Queue.Timers.begin(), Queue.Timers.end(), [&](const TTimer& T) {
        return T.Window == Message->hwnd && T.Id == Message->wParam && T.Proc == Proc;
      });
      if (!Valid) return 0;
    }
    TCallScope Scope(TCallKind::Dispatched);
    Proc(Message->hwnd, WM_TIMER, Message->wParam, GetTickCount());
    return 0;
  }
  if (!Message->hwnd) return 0;
  WNDPROC Proc;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Message->hwnd);
    if (!Window || Window->ThreadId != CurrentThreadId()) return 0;
    Proc = Window->Proc;
    if (Message->message == WM_PAINT) Window->PaintStarted = false;
  }
  LRESULT Result;
  {
    TCallScope Scope(TCallKind::Dispatched);
    Result = CallProc(Proc, Message->hwnd, Message->message, Message->wParam, Message->lParam);
  }
  if (Message->message == WM_PAINT) {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Message->hwnd);
    if (Window && !Window->PaintStarted && WindowNeedsPaintLocked(Window)) {
      Window->Update.Clear();
      Window->EraseNeeded = false;
      Window->FrameNeeded = false;
      Window->InternalPaint = false;
    }
  }
  return Result;
}

LONG GetMessageTime() {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  return LONG(Queue.MessageTime);
}

DWORD GetMessagePos() {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  return DWORD(MAKELONG(WORD(Queue.MessagePos.x), WORD(Queue.MessagePos.y)));
}

// ---- registered messages ---------------------------------------------------------------------

UINT RegisterWindowMessageA(LPCSTR Name) {
  if (!Name || !*Name) return 0;
  static std::mutex Lock;
  static std::map<std::string, UINT> Registered;
  std::string Key(Name);
  for (char& C : Key)
    if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
  std::lock_guard<std::mutex> Guard(Lock);
  auto Found = Registered.find(Key);
  if (Found != Registered.end()) return Found->second;
  UINT Id = 0xC000 + UINT(Registered.size());
  if (Id > 0xFFFF) return 0;
  Registered[Key] = Id;
  return Id;
}
