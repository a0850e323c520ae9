// The window table, the tree helpers, the per-thread queues and their registry.

#include <algorithm>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/clock.h"
#include "platform/user/internal.h"
#include "platform/user/paintstore.h"

namespace UserImpl {

namespace {

struct TTable {
  std::unordered_map<HWND, std::unique_ptr<TWindow>> Windows;
  // Handles count up and are never handed out twice, so a stale handle stays invalid.
  uintptr_t NextHandle = 0x10020;
  TWindow* Desktop = nullptr;
  std::unordered_map<DWORD, std::unique_ptr<TMessageQueue>> Queues;
  // Blocks asked for before the thread had a queue (see BlockThreadSends).
  std::vector<DWORD> PendingBlocks;
  TInputState Input;
};

TTable& Table() {
  static TTable Instance;
  return Instance;
}

std::atomic<DWORD> NextThreadId{1};
thread_local DWORD ThisThreadId = 0;

// Frees the thread's queue and windows when the thread ends. The windows go without messages:
// their procedures would run on a thread that no longer exists.
struct TQueueOwner {
  TMessageQueue* Queue = nullptr;
  ~TQueueOwner();
};
thread_local TQueueOwner ThisQueue;

}  // namespace

std::mutex& Mutex() {
  static std::mutex Instance;
  return Instance;
}

DWORD CurrentThreadId() {
  if (ThisThreadId == 0) ThisThreadId = NextThreadId.fetch_add(1);
  return ThisThreadId;
}

TMessageQueue& CurrentQueueLocked() {
  if (ThisQueue.Queue) return *ThisQueue.Queue;
  DWORD Id = CurrentThreadId();
  auto Queue = std::make_unique<TMessageQueue>();
  Queue->ThreadId = Id;
  auto& Pending = Table().PendingBlocks;
  auto Found = std::find(Pending.begin(), Pending.end(), Id);
  if (Found != Pending.end()) {
    Queue->SendsBlocked = true;
    Pending.erase(Found);
  }
  ThisQueue.Queue = Queue.get();
  Table().Queues[Id] = std::move(Queue);
  return *ThisQueue.Queue;
}

TMessageQueue& CurrentQueue() {
  if (ThisQueue.Queue) return *ThisQueue.Queue;
  TGuard Lock(Mutex());
  return CurrentQueueLocked();
}

TQueueOwner::~TQueueOwner() {
  if (!Queue) return;
  TGuard Lock(Mutex());
  TTable& T = Table();
  std::vector<TWindow*> Owned;
  for (auto& [Handle, Window] : T.Windows)
    if (Window->ThreadId == Queue->ThreadId) Owned.push_back(Window.get());
  // Children before parents, so each unlink finds its parent alive.
  std::sort(Owned.begin(), Owned.end(), [](TWindow* A, TWindow* B) {
    int DepthA = 0, DepthB = 0;
    for (TWindow* W = A; W; W = W->Parent) ++DepthA;
    for (TWindow* W = B; W; W = W->Parent) ++DepthB;
    return DepthA > DepthB;
  });
  for (TWindow* Window : Owned) {
    ForgetWindowLocked(Window);
    FreeWindowLocked(Window);
  }
  for (auto& Sent : Queue->Incoming) {
    Sent->State = TSentMessage::Released;
    if (TMessageQueue* Sender = QueueOfThreadLocked(Sent->SenderThread)) WakeQueueLocked(*Sender);
  }
  for (auto& Sent : Queue->Receiving) {
    if (Sent->State != TSentMessage::Processing) continue;
    Sent->State = TSentMessage::Released;
    if (TMessageQueue* Sender = QueueOfThreadLocked(Sent->SenderThread)) WakeQueueLocked(*Sender);
  }
  ForgetThreadHooksLocked(Queue->ThreadId);
  T.Queues.erase(Queue->ThreadId);
  Queue = nullptr;
}

TMessageQueue* QueueOfThreadLocked(DWORD ThreadId) {
  auto Found = Table().Queues.find(ThreadId);
  return Found == Table().Queues.end() ? nullptr : Found->second.get();
}

void WakeQueueLocked(TMessageQueue& Queue) {
  Queue.Wake.store(true);
  Clock().WakeWaiters();
}

std::vector<DWORD>& PendingSendBlocksLocked() { return Table().PendingBlocks; }

std::vector<TMessageQueue*> AllQueuesLocked() {
  std::vector<TMessageQueue*> Result;
  for (auto& [Id, Queue] : Table().Queues) Result.push_back(Queue.get());
  return Result;
}

TInputState& InputLocked() { return Table().Input; }

// ---- the table -------------------------------------------------------------------------------

TWindow* FindLocked(HWND Handle) {
  if (!Handle) return nullptr;
  TTable& T = Table();
  if (T.Desktop && Handle == T.Desktop->Handle) return T.Desktop;
  auto Found = T.Windows.find(Handle);
  return Found == T.Windows.end() ? nullptr : Found->second.get();
}

TWindow* DesktopLocked() {
  TTable& T = Table();
  if (!T.Desktop) {
    auto Desktop = std::make_unique<TWindow>();
    Desktop->Style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
    Desktop->Text = "Desktop";
    T.Desktop = AddWindowLocked(std::move(Desktop));
  }
  // The screen size may be set at any time (tests, the back end).
  int Width = GetSystemMetrics(SM_CXSCREEN), Height = GetSystemMetrics(SM_CYSCREEN);
  T.Desktop->Window = RECT{0, 0, Width, Height};
  T.Desktop->Client = T.Desktop->Window;
  return T.Desktop;
}

TWindow* AddWindowLocked(std::unique_ptr<TWindow> Window) {
  TTable& T = Table();
  Window->Handle = reinterpret_cast<HWND>(T.NextHandle);
  T.NextHandle += 4;
  TWindow* Result = Window.get();
  T.Windows[Result->Handle] = std::move(Window);
  return Result;
}

void FreeWindowLocked(TWindow* Window) {
  UnlinkWindowLocked(Window);
  for (TWindow* Child : Window->Children) Child->Parent = nullptr;
  for (auto& [Handle, Other] : Table().Windows)
    if (Other->Owner == Window) Other->Owner = nullptr;
  TInputState& Input = Table().Input;
  if (Input.Focus == Window->Handle) Input.Focus = nullptr;
  if (Input.Active == Window->Handle) Input.Active = nullptr;
  if (Input.Capture == Window->Handle) Input.Capture = nullptr;
  Table().Windows.erase(Window->Handle);
}

std::vector<TWindow*> AllWindowsLocked() {
  std::vector<TWindow*> Result;
  for (auto& [Handle, Window] : Table().Windows)
    if (Window.get() != Table().Desktop) Result.push_back(Window.get());
  return Result;
}

// ---- tree helpers ----------------------------------------------------------------------------

bool IsTopLevel(const TWindow* Window) {
  return Window->Parent && Window->Parent->Parent == nullptr;
}

bool IsChildWindow(const TWindow* Window) {
  return (Window->Style & WS_CHILD) && Window->Parent && Window->Parent->Parent != nullptr;
}

TWindow* RootLocked(TWindow* Window) {
  while (Window && Window->Parent && Window->Parent->Parent) Window = Window->Parent;
  return Window;
}

bool IsDescendantLocked(const TWindow* Ancestor, const TWindow* Window) {
  for (const TWindow* W = Window ? Window->Parent : nullptr; W; W = W->Parent)
    if (W == Ancestor) return true;
  return false;
}

POINT ClientOriginLocked(const TWindow* Window) {
  POINT Origin{0, 0};
  for (const TWindow* W = Window; W; W = W->Parent) {
    Origin.x += W->Client.left;
    Origin.y += W->Client.top;
  }
  return Origin;
}

RECT WindowRectScreenLocked(const TWindow* Window) {
  POINT Origin = Window->Parent ? ClientOriginLocked(Window->Parent) : POINT{0, 0};
  RECT R = Window->Window;
  R.left += Origin.x;
  R.right += Origin.x;
  R.top += Origin.y;
  R.bottom += Origin.y;
  return R;
}

bool IsVisibleLocked(const TWindow* Window) {
  for (const TWindow* W = Window; W; W = W->Parent)
    if (!(W->Style & WS_VISIBLE)) return false;
  return Window != nullptr;
}

bool IsEnabledLocked(const TWindow* Window) {
  return Window && !(Window->Style & WS_DISABLED);
}

void UnlinkWindowLocked(TWindow* Window) {
  if (!Window->Parent) return;
  auto& Siblings = Window->Parent->Children;
  Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), Window), Siblings.end());
}

void LinkWindowLocked(TWindow* Window, HWND InsertAfter) {
  TWindow* Parent = Window->Parent;
  if (!Parent) return;
  UnlinkWindowLocked(Window);
  auto& Siblings = Parent->Children;
  bool TopLevel = Parent->Parent == nullptr;
  if (TopLevel && InsertAfter == HWND_TOPMOST) Window->ExStyle |= WS_EX_TOPMOST;
  if (TopLevel && InsertAfter == HWND_NOTOPMOST) Window->ExStyle &= ~WS_EX_TOPMOST;
  // Among top-level windows the topmost ones stay in front of all others.
  size_t FirstNonTopmost = 0;
  if (TopLevel)
    while (FirstNonTopmost < Siblings.size() && (Siblings[FirstNonTopmost]->ExStyle & WS_EX_TOPMOST))
      ++FirstNonTopmost;
  bool Topmost = TopLevel && (Window->ExStyle & WS_EX_TOPMOST);
  size_t Index;
  if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
    Index = Topmost ? 0 : FirstNonTopmost;
  } else if (InsertAfter == HWND_BOTTOM) {
    Index = Topmost ? FirstNonTopmost : Siblings.size();
  } else {
    auto Found = std::find_if(Siblings.begin(), Siblings.end(),
                              [&](TWindow* W) { return W->Handle == InsertAfter; });
    Index = Found == Siblings.end() ? (Topmost ? 0 : FirstNonTopmost)
                                    : size_t(Found - Siblings.begin()) + 1;
    if (TopLevel) Index = Topmost ? std::min(Index, FirstNonTopmost) : std::max(Index, FirstNonTopmost);
  }
  Siblings.insert(Siblings.begin() + std::min(Index, Siblings.size()), Window);
}

namespace {

bool PointInWindowLocked(const TWindow* Window, POINT InParentClient) {
  if (!(Window->Style & WS_VISIBLE)) return false;
  if ((Window->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT))
    return false;
  const RECT& R = Window->Window;
  if (InParentClient.x < R.left || InParentClient.x >= R.right || InParentClient.y < R.top ||
      InParentClient.y >= R.bottom)
    return false;
  if (Window->Region &&
      !Window->Region->Contains(InParentClient.x - R.left, InParentClient.y - R.top))
    return false;
  return true;
}

TWindow* ChildFromPointLocked(TWindow* Parent, POINT InParentClient) {
  for (TWindow* Child : Parent->Children) {
    if (!PointInWindowLocked(Child, InParentClient)) continue;
    if (Child->Style & (WS_MINIMIZE | WS_DISABLED)) return Child;
    const RECT& C = Child->Client;
    if (InParentClient.x < C.left || InParentClient.x >= C.right || InParentClient.y < C.top ||
        InParentClient.y >= C.bottom)
      return Child;
    POINT Inner{InParentClient.x - C.left, InParentClient.y - C.top};
    TWindow* Deeper = ChildFromPointLocked(Child, Inner);
    return Deeper ? Deeper : Child;
  }
  return nullptr;
}

}  // namespace

TWindow* WindowFromPointLocked(TWindow* Scope, POINT Screen) {
  if (!Scope) Scope = DesktopLocked();
  POINT Origin = ClientOriginLocked(Scope);
  return ChildFromPointLocked(Scope, POINT{Screen.x - Origin.x, Screen.y - Origin.y});
}

// ---- paint store bookkeeping ---------------------------------------------------------------

void ForgetWindowLocked(TWindow* Window) {
  TMessageQueue* Queue = QueueOfThreadLocked(Window->ThreadId);
  if (Queue) {
    auto& Posted = Queue->Posted;
    Posted.erase(std::remove_if(Posted.begin(), Posted.end(),
                                [&](const MSG& M) { return M.hwnd == Window->Handle; }),
                 Posted.end());
    auto& Timers = Queue->Timers;
    Timers.erase(std::remove_if(Timers.begin(), Timers.end(),
                                [&](const TTimer& T) { return T.Window == Window->Handle; }),
                 Timers.end());
    if (Queue->Track.Active && Queue->Track.Window == Window->Handle) Queue->Track = TScrollTrack{};
    if (Queue->LastKey.Window == Window->Handle) Queue->LastKey = TLastKey{};
    // Sends still queued for the window are answered with 0.
    auto& Incoming = Queue->Incoming;
    for (auto It = Incoming.begin(); It != Incoming.end();) {
      if ((*It)->Window == Window->Handle) {
        (*It)->State = TSentMessage::Released;
        if (TMessageQueue* Sender = QueueOfThreadLocked((*It)->SenderThread))
          WakeQueueLocked(*Sender);
        It = Incoming.erase(It);
      } else {
        ++It;
      }
    }
  }
  ForgetWindowDCsLocked(Window->Handle);
  Window->Store.reset();
}

}  // namespace UserImpl
