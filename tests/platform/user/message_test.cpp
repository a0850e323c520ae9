// Message queues: send and post order, retrieval priority and filters, timers on the manual
// clock, registered messages, and sends between threads with their release.

#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/platform/user/messagelog.h"

using namespace UserTest;

namespace {

class MessageTest : public TUserTest {};

// From inside a handler of WM_USER: PostMessage(WM_USER + 1), then SendMessage(WM_USER + 2).
// The send runs at once, inside the handler; the post waits for the queue, after the separator.
constexpr TExpectedMessage SendBeforePost[] = {
    {WM_USER, Sent},
    {WM_USER + 2, Sent},
    {SeparatorMessage, Sent},
    {WM_USER + 1, Posted},
};

TEST_F(MessageTest, SendRunsAtOncePostWaitsForTheQueue) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  Log.Responder = [](HWND Window, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message != WM_USER) return std::nullopt;
    PostMessage(Window, WM_USER + 1, 0, 0);
    SendMessage(Window, WM_USER + 2, 0, 0);
    return 0;
  };
  Log.Clear();
  SendMessage(Window, WM_USER, 0, 0);
  SendSeparatorAndDrain(Window);
  ExpectSequence(Log, SendBeforePost, "post and send from a handler");
}

TEST_F(MessageTest, RetrievalPriority) {
  HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  SetFocus(Window);
  Drain();
  // Everything at once: a due timer, a window to paint, a key, a quit request and a post.
  SetTimer(Window, 1, 50, nullptr);
  FClock->Advance(50);
  InvalidateRect(Window, nullptr, FALSE);
  InjectKey('A', true);
  PostQuitMessage(3);
  PostMessage(Window, WM_USER, 0, 0);
  std::vector<UINT> Order;
  MSG Message;
  while (Order.size() < 5 && PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
    Order.push_back(Message.message);
    if (Message.message == WM_QUIT) {
      EXPECT_EQ(Message.wParam, 3u);
    }
    DispatchMessage(&Message);
  }
  EXPECT_EQ(Order, (std::vector<UINT>{WM_USER, WM_QUIT, WM_KEYDOWN, WM_PAINT, WM_TIMER}));
  KillTimer(Window, 1);
  InjectKey('A', false);
  Drain();
}

TEST_F(MessageTest, RetrievalFilters) {
  HWND Parent = CreateTestWindow(0, WS_POPUP, 0, 0, 100, 100);
  HWND Child = CreateTestWindow(0, WS_CHILD, 0, 0, 10, 10, Parent);
  HWND Other = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  struct TCase {
    const char* Name;
    HWND Filter;
    UINT Min, Max;
    std::vector<UINT> Expected;  // what comes out, in order, of the posts below
  };
  // Posted in this order: (Child, WM_USER), (Other, WM_USER + 1), (thread, WM_USER + 2),
  // (Parent, WM_APP).
  const TCase Cases[] = {
      {"no filter", nullptr, 0, 0, {WM_USER, WM_USER + 1, WM_USER + 2, WM_APP}},
      {"a window takes its children too", Parent, 0, 0, {WM_USER, WM_APP}},
      {"thread messages only", reinterpret_cast<HWND>(intptr_t(-1)), 0, 0, {WM_USER + 2}},
      {"a range", nullptr, WM_USER + 1, WM_USER + 2, {WM_USER + 1, WM_USER + 2}},
      {"a reversed range leaves its inside out", nullptr, WM_USER + 2, WM_USER, {WM_USER, WM_USER + 2, WM_APP}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    PostMessage(Child, WM_USER, 0, 0);
    PostMessage(Other, WM_USER + 1, 0, 0);
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 2, 0, 0);
    PostMessage(Parent, WM_APP, 0, 0);
    MSG Message;
    // PM_NOREMOVE looks without taking.
    if (PeekMessage(&Message, Case.Filter, Case.Min, Case.Max, PM_NOREMOVE)) {
      EXPECT_EQ(Message.message, Case.Expected.front());
    }
    std::vector<UINT> Seen;
    while (PeekMessage(&Message, Case.Filter, Case.Min, Case.Max, PM_REMOVE)) Seen.push_back(Message.message);
    EXPECT_EQ(Seen, Case.Expected);
    while (PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  MSG Message;
  EXPECT_EQ(GetMessage(&Message, reinterpret_cast<HWND>(0x7777), 0, 0), -1);
}

TEST_F(MessageTest, MessageTimeAndRegisteredMessages) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  PostMessage(Window, WM_USER, 0, 0);
  FClock->Advance(25);
  MSG Message;
  ASSERT_TRUE(GetMessage(&Message, nullptr, 0, 0));
  EXPECT_EQ(Message.time, 1000u);
  EXPECT_EQ(GetMessageTime(), 1000);

  UINT First = RegisterWindowMessage("VCCOMBODROPDOWNMESSAGE");
  EXPECT_GE(First, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("vccombodropdownmessage"), First);
  EXPECT_NE(RegisterWindowMessage("EXPANDBUTTONDROPDOWN"), First);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

// ---- timers ----------------------------------------------------------------------------------

struct TTimerStep {
  enum TKind { Advance, Restart, Kill } Kind;
  UINT Value;      // milliseconds to advance, or the new interval
  int Ticks;       // WM_TIMER messages the queue then gives
};

struct TTimerCase {
  const char* Name;
  UINT Interval;
  std::vector<TTimerStep> Steps;
};

TEST_F(MessageTest, TimerSemantics) {
  const TTimerCase Cases[] = {
      {"nothing before the interval, then one tick",
       100,
       {{TTimerStep::Advance, 99, 0}, {TTimerStep::Advance, 1, 1}, {TTimerStep::Advance, 0, 0}}},
      {"a long stall gives one tick, not ten", 100, {{TTimerStep::Advance, 1000, 1}, {TTimerStep::Advance, 0, 0}}},
      {"the next tick counts from the retrieval",
       100,
       {{TTimerStep::Advance, 150, 1}, {TTimerStep::Advance, 99, 0}, {TTimerStep::Advance, 1, 1}}},
      {"intervals below the minimum run at 10 ms",
       1,
       {{TTimerStep::Advance, 9, 0}, {TTimerStep::Advance, 1, 1}, {TTimerStep::Advance, 10, 1}}},
      {"setting the timer again restarts it",
       100,
       {{TTimerStep::Advance, 60, 0}, {TTimerStep::Restart, 100, 0}, {TTimerStep::Advance, 60, 0},
        {TTimerStep::Advance, 40, 1}}},
      {"a new interval applies at once",
       100,
       {{TTimerStep::Restart, 20, 0}, {TTimerStep::Advance, 20, 1}, {TTimerStep::Advance, 20, 1}}},
      {"killed timers stay quiet", 100, {{TTimerStep::Advance, 50, 0}, {TTimerStep::Kill, 0, 0}, {TTimerStep::Advance, 100, 0}}},
  };
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  for (const TTimerCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ASSERT_EQ(SetTimer(Window, 7, Case.Interval, nullptr), 7u);
    for (size_t I = 0; I < Case.Steps.size(); ++I) {
      SCOPED_TRACE(I);
      const TTimerStep& Step = Case.Steps[I];
      if (Step.Kind == TTimerStep::Advance) FClock->Advance(Step.Value);
      if (Step.Kind == TTimerStep::Restart) SetTimer(Window, 7, Step.Value, nullptr);
      if (Step.Kind == TTimerStep::Kill) {
        EXPECT_TRUE(KillTimer(Window, 7));
      }
      Log.Clear();
      Drain();
      int Ticks = 0;
      for (const TLoggedMessage& Entry : Log.Entries()) {
        if (Entry.Message != WM_TIMER) continue;
        ++Ticks;
        EXPECT_EQ(Entry.WParamValue, 7u);
        EXPECT_TRUE(Entry.Flags & Posted);
      }
      EXPECT_EQ(Ticks, Step.Ticks);
    }
    KillTimer(Window, 7);
  }
  EXPECT_FALSE(KillTimer(Window, 7));
}

std::vector<std::pair<HWND, UINT_PTR>> TimerProcCalls;

void RecordTimer(HWND Window, UINT Message, UINT_PTR Id, DWORD) {
  EXPECT_EQ(Message, UINT(WM_TIMER));
  TimerProcCalls.push_back({Window, Id});
}

TEST_F(MessageTest, TimersWithProceduresAndWithoutWindows) {
  TimerProcCalls.clear();
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  UINT_PTR ThreadTimer = SetTimer(nullptr, 0, 30, RecordTimer);
  EXPECT_NE(ThreadTimer, 0u);
  SetTimer(Window, 5, 20, RecordTimer);
  FClock->Advance(30);
  Log.Clear();
  Drain();
  // The earlier deadline first; the window procedure is not called for a timer procedure.
  ASSERT_EQ(TimerProcCalls.size(), 2u);
  EXPECT_EQ(TimerProcCalls[0], std::make_pair(Window, UINT_PTR(5)));
  EXPECT_EQ(TimerProcCalls[1], std::make_pair(HWND(nullptr), ThreadTimer));
  EXPECT_TRUE(Log.Entries().empty());
  KillTimer(nullptr, ThreadTimer);
  // Destroying the window removes its timers.
  DestroyWindow(Window);
  FClock->Advance(100);
  TimerProcCalls.clear();
  Drain();
  EXPECT_TRUE(TimerProcCalls.empty());
}

TEST_F(MessageTest, GetMessageWaitsOnTheClock) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  SetTimer(Window, 1, 500, nullptr);
  // Once this thread waits, another one moves the clock past the deadline.
  std::thread Advancer([&] {
    while (FClock->WaiterCount() == 0) std::this_thread::yield();
    FClock->Advance(500);
  });
  MSG Message;
  ASSERT_TRUE(GetMessage(&Message, nullptr, 0, 0));
  Advancer.join();
  EXPECT_EQ(Message.message, UINT(WM_TIMER));
  EXPECT_EQ(Message.time, 1500u);
  KillTimer(Window, 1);
}

// A loop busier than its timer never waits for messages; what it paints must reach the screen
// all the same, once the paints are done and before the next timer runs.
TEST_F(MessageTest, ABusyTimerLoopStillShowsWhatItPainted) {
  struct TCountingDriver : TWindowDriver {
    int Flushes = 0;
    void Flush() override { ++Flushes; }
  } Driver;
  HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Drain();
  SetWindowDriver(&Driver);
  SetTimer(Window, 1, 10, nullptr);
  std::vector<std::pair<UINT, int>> Seen;  // each message with the flushes before it
  MSG Message;
  for (int Step = 0; Step < 4; ++Step) {
    FClock->Advance(20);  // each handler takes longer than the timer's interval
    if (Step == 1) InvalidateRect(Window, nullptr, FALSE);
    ASSERT_TRUE(PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE));
    Seen.emplace_back(Message.message, Driver.Flushes);
    DispatchMessage(&Message);
    if (Message.message == WM_PAINT) {
      ASSERT_TRUE(PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE));
      Seen.emplace_back(Message.message, Driver.Flushes);
      DispatchMessage(&Message);
    }
  }
  SetWindowDriver(nullptr);
  KillTimer(Window, 1);
  const std::vector<std::pair<UINT, int>> Expected = {
      {WM_TIMER, 1}, {WM_PAINT, 1}, {WM_TIMER, 2}, {WM_TIMER, 3}, {WM_TIMER, 4}};
  EXPECT_EQ(Seen, Expected);
}

// ---- sends between threads -------------------------------------------------------------------

class CrossThreadTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    Receiver = CurrentThreadId();
    Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  }
  // Spins (without sleeping) until this thread has a message sent by another thread waiting.
  static void WaitForIncomingSend() {
    while (!(GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE)) std::this_thread::yield();
  }
  static DWORD CurrentThreadId() { return GetCurrentThreadId(); }
  DWORD Receiver = 0;
  HWND Window = nullptr;
};

TEST_F(CrossThreadTest, ProcessedByTheReceiverInsideItsRetrieval) {
  std::atomic<DWORD> HandledOn{0};
  std::atomic<BOOL> SawInSend{FALSE};
  Log.Responder = [&](HWND, UINT Message, WPARAM WParam, LPARAM) -> std::optional<LRESULT> {
    if (Message != WM_USER) return std::nullopt;
    HandledOn = GetCurrentThreadId();
    SawInSend = InSendMessage();
    return LRESULT(WParam * 2);
  };
  LRESULT Result = 0;
  std::thread Sender([&] {
    Result = SendMessage(Window, WM_USER, 21, 0);
    PostMessage(Window, WM_USER + 1, 0, 0);
  });
  MSG Message;
  ASSERT_TRUE(GetMessage(&Message, nullptr, 0, 0));
  Sender.join();
  EXPECT_EQ(Message.message, UINT(WM_USER + 1));
  EXPECT_EQ(Result, 42);
  EXPECT_EQ(HandledOn.load(), Receiver);
  EXPECT_TRUE(SawInSend.load());
  EXPECT_FALSE(InSendMessage());
  Log.Responder = nullptr;
}

TEST_F(CrossThreadTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  std::atomic<HWND> Remote{nullptr};
  std::atomic<DWORD> RemoteThread{0};
  std::thread Other([&] {
    HWND Own = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
    RemoteThread = GetCurrentThreadId();
    Remote = Own;
    MSG Message;
    while (GetMessage(&Message, nullptr, 0, 0)) DispatchMessage(&Message);
    DestroyWindow(Own);
  });
  while (!Remote.load()) std::this_thread::yield();
  // The other window's procedure (the same logging procedure) sends back to ours while we wait.
  Log.Responder = [&](HWND Target, UINT Message, WPARAM WParam, LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_USER && Target == Remote.load()) return SendMessage(Window, WM_USER + 1, WParam, 0) + 1;
    if (Message == WM_USER + 1 && Target == Window) return LRESULT(WParam * 10);
    return std::nullopt;
  };
  EXPECT_EQ(SendMessage(Remote.load(), WM_USER, 4, 0), 41);
  Log.Responder = nullptr;
  PostThreadMessage(RemoteThread.load(), WM_QUIT, 0, 0);
  Other.join();
}

TEST_F(CrossThreadTest, BlockReleasesWaitingAndLaterSends) {
  std::atomic<DWORD> SenderId{0};
  std::atomic<int> Delivered{0};
  std::mutex Lock;
  std::condition_variable Changed;
  LRESULT First = -1, Second = -1;
  bool FirstDone = false;
  Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_USER) ++Delivered;
    return std::nullopt;
  };
  std::unique_lock<std::mutex> Guard(Lock);
  std::thread Sender([&] {
    SenderId = GetCurrentThreadId();
    LRESULT Result = SendMessage(Window, WM_USER, 0, 0);
    {
      std::lock_guard<std::mutex> Inner(Lock);
      First = Result;
      FirstDone = true;
    }
    Changed.notify_all();
    Second = SendMessage(Window, WM_USER, 0, 0);
  });
  Guard.unlock();
  WaitForIncomingSend();
  // The receiver never retrieves messages here: the block alone lets the sender go.
  EXPECT_EQ(BlockThreadSends(SenderId.load(), TRUE), 1u);
  Guard.lock();
  Changed.wait(Guard, [&] { return FirstDone; });
  Guard.unlock();
  Sender.join();
  EXPECT_EQ(First, 0);
  EXPECT_EQ(Second, 0);  // refused at once while the block stands
  Drain();
  EXPECT_EQ(Delivered.load(), 0);  // neither reached the window procedure
  BlockThreadSends(SenderId.load(), FALSE);
  Log.Responder = nullptr;
}

TEST_F(CrossThreadTest, StoppingAProducerThatHandsFramesOver) {
  // The capture pattern: a thread hands frames over with SendMessage until told to stop; the
  // stopping thread blocks its sends and joins it without retrieving another message.
  std::atomic<bool> Stop{false};
  std::atomic<DWORD> ProducerId{0};
  std::atomic<int> Frames{0};
  Log.Ignored = {WM_USER};
  Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_USER) ++Frames;
    return std::nullopt;
  };
  std::thread Producer([&] {
    ProducerId = GetCurrentThreadId();
    while (!Stop.load()) SendMessage(Window, WM_USER, 0, 0);
  });
  while (Frames.load() < 3) {
    MSG Message;
    if (PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&Message);
  }
  while (!ProducerId.load()) std::this_thread::yield();
  Stop = true;
  BlockThreadSends(ProducerId.load(), TRUE);
  Producer.join();
  BlockThreadSends(ProducerId.load(), FALSE);
  EXPECT_GE(Frames.load(), 3);
  Log.Ignored.clear();
  Log.Responder = nullptr;
}

TEST_F(CrossThreadTest, ReleaseWhileTheReceiverIsStillInTheHandler) {
  std::atomic<DWORD> SenderId{0};
  std::mutex Lock;
  std::condition_variable Changed;
  bool SenderReturned = false;
  LRESULT Result = -1;
  Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message != WM_USER) return std::nullopt;
    // A stop requested from inside the handler: the sender must not wait for us to finish.
    EXPECT_EQ(ReleaseSentMessages(Window, 0), 1u);
    std::unique_lock<std::mutex> Guard(Lock);
    Changed.wait(Guard, [&] { return SenderReturned; });
    return 99;
  };
  std::thread Sender([&] {
    SenderId = GetCurrentThreadId();
    LRESULT Value = SendMessage(Window, WM_USER, 0, 0);
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Result = Value;
      SenderReturned = true;
    }
    Changed.notify_all();
  });
  WaitForIncomingSend();
  MSG Message;
  PeekMessage(&Message, nullptr, 0, 0, PM_NOREMOVE);
  Sender.join();
  EXPECT_EQ(Result, 0);  // released, not the handler's 99
  Log.Responder = nullptr;
}

TEST_F(CrossThreadTest, ReplyMessageLetsTheSenderGoEarly) {
  std::mutex Lock;
  std::condition_variable Changed;
  bool SenderReturned = false;
  LRESULT Result = -1;
  Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Message != WM_USER) return std::nullopt;
    EXPECT_TRUE(ReplyMessage(7));
    EXPECT_EQ(InSendMessageEx(nullptr), ISMEX_SEND | ISMEX_REPLIED);
    std::unique_lock<std::mutex> Guard(Lock);
    Changed.wait(Guard, [&] { return SenderReturned; });
    return 8;
  };
  std::thread Sender([&] {
    LRESULT Value = SendMessage(Window, WM_USER, 0, 0);
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Result = Value;
      SenderReturned = true;
    }
    Changed.notify_all();
  });
  WaitForIncomingSend();
  MSG Message;
  PeekMessage(&Message, nullptr, 0, 0, PM_NOREMOVE);
  Sender.join();
  EXPECT_EQ(Result, 7);
  Log.Responder = nullptr;
}

TEST_F(CrossThreadTest, SendMessageTimeoutFollowsTheClock) {
  DWORD_PTR Result = 5;
  BOOL Done = TRUE;
  std::thread Sender([&] { Done = BOOL(SendMessageTimeout(Window, WM_USER, 0, 0, SMTO_NORMAL, 200, &Result)); });
  WaitForIncomingSend();
  while (FClock->WaiterCount() == 0) std::this_thread::yield();
  FClock->Advance(200);
  Sender.join();
  EXPECT_FALSE(Done);
  // The timed-out send never reaches the procedure.
  Log.Clear();
  Drain();
  EXPECT_TRUE(Log.Entries().empty());
}

TEST_F(MessageTest, SessionEndSignalsArriveAsMessages) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  ASSERT_TRUE(InstallSessionSignals(Window));
  for (int Signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(Signal);
    raise(Signal);
    MSG Message;
    ASSERT_TRUE(GetMessage(&Message, nullptr, 0, 0));
    EXPECT_EQ(Message.hwnd, Window);
    EXPECT_EQ(Message.message, UINT(WM_ENDSESSION));
    EXPECT_EQ(Message.wParam, WPARAM(TRUE));
    EXPECT_EQ(Message.lParam, LPARAM(Signal));
  }
  RemoveSessionSignals();
}

}  // namespace
