#pragma once
// The window system's shared state, for the library's own files only.
//
// One mutex guards everything: the window table and tree, the classes, every thread's queue,
// timers, hooks and the input state. It is held only while data is read or changed, never while
// a window procedure, hook or timer procedure runs, because those call back into the API and may
// run on another thread's behalf. Code that called out must look its window up again afterwards:
// the procedure may have destroyed it. Functions named ...Locked expect the caller to hold the
// lock; everything else takes it itself.
//
// Waiting never uses a private condition variable: a thread with nothing to do waits on the
// clock service (Clock().WaitUntilTick) with its queue's Wake flag as the cancel flag, so one
// mechanism serves "a message arrived" and "a timer's time came", and a manual clock in tests
// wakes waiting threads when it is advanced.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/user/paintstore.h"
#include "platform/user/winuser.h"

namespace UserImpl {

std::mutex& Mutex();
using TGuard = std::unique_lock<std::mutex>;

struct TWindowClass {
  ATOM Atom = 0;
  std::string Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  int ClassExtra = 0;
  int WindowExtra = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
};

// A window's own scroll bar (WS_HSCROLL / WS_VSCROLL).
struct TScrollBar {
  int Min = 0;
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Disabled = ESB_ENABLE_BOTH;
  // The range starts as 0..100 for a window created with the bar's style, 0..0 otherwise; it is
  // settled on first use.
  bool Initialised = false;
};

struct TMessageQueue;

struct TWindow {
  HWND Handle = nullptr;
  TWindowClass* Class = nullptr;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  LONG_PTR Id = 0;
  LONG_PTR UserData = 0;
  HINSTANCE Instance = nullptr;
  std::string Text;
  // The desktop for top-level windows; null only for the desktop itself.
  TWindow* Parent = nullptr;
  // Owner of a top-level window (never a child window).
  TWindow* Owner = nullptr;
  // Front (top of the z-order) first.
  std::vector<TWindow*> Children;
  // Both in the parent's client coordinates (screen coordinates for top-level windows).
  RECT Window{};
  RECT Client{};
  // The bounds to restore a minimised or maximised window to.
  RECT Normal{};
  DWORD ThreadId = 0;
  TScrollBar HorzScroll;
  TScrollBar VertScroll;
  // Window region in window coordinates; none = the whole rectangle.
  std::optional<TRegion> Region;
  std::vector<uint8_t> Extra;
  std::map<std::string, HANDLE> Props;
  // Painting: the part still to paint, in client coordinates.
  TRegion Update;
  bool EraseNeeded = false;
  bool FrameNeeded = false;
  bool InternalPaint = false;
  bool PaintStarted = false;  // BeginPaint was called for the WM_PAINT being dispatched
  // Layered window state.
  COLORREF LayeredKey = 0;
  BYTE LayeredAlpha = 255;
  DWORD LayeredFlags = 0;
  // Top-level windows own a backing store (created on first paint).
  std::unique_ptr<TBackingStore> Store;
  bool DestroyStarted = false;
  bool CreateFinished = false;
};

// A cross-thread SendMessage waiting for, or being processed by, its receiver.
struct TSentMessage {
  enum TState { Queued, Processing, Replied, Released };
  HWND Window = nullptr;
  UINT Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  DWORD SenderThread = 0;
  DWORD ReceiverThread = 0;
  LRESULT Result = 0;
  TState State = Queued;
};
using TSentPointer = std::shared_ptr<TSentMessage>;

struct TTimer {
  HWND Window = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  TIMERPROC Proc = nullptr;
  uint64_t Due = 0;
  uint64_t Order = 0;
};

// Input waiting in a thread's queue, turned into a message when it is retrieved (the window
// under the mouse, the focus and the hooks are looked at then, as the platform does).
struct TInputEvent {
  enum TKind { Key, Mouse };
  TKind Kind = Key;
  // Keys
  int VirtualKey = 0;
  bool Up = false;
  WORD ScanCode = 0;
  bool Extended = false;
  bool HasText = false;
  std::u32string Text;
  // Mouse: WM_MOUSEMOVE, WM_xBUTTONDOWN/UP, WM_MOUSEWHEEL at a screen point.
  UINT MouseMessage = 0;
  POINT Point{};
  int WheelDelta = 0;
  DWORD Time = 0;
};

// The key message TranslateMessage may turn into characters, with the text that came with it.
struct TLastKey {
  HWND Window = nullptr;
  UINT Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  DWORD Time = 0;
  bool HasText = false;
  std::u32string Text;
  bool Valid = false;
};

struct TClickState {
  HWND Window = nullptr;
  UINT Message = 0;  // the client or non-client button-down message of the last click
  DWORD Time = 0;
  POINT Point{};
};

// Scroll-bar tracking: a press on a window's scroll bar takes the mouse until the button is
// released; the queue feeds it the mouse input instead of making messages.
struct TScrollTrack {
  bool Active = false;
  HWND Window = nullptr;
  int Bar = SB_VERT;
  int Part = 0;  // which part was pressed (see scrollbar.cpp)
  WORD Command = 0;
  uint64_t RepeatDue = 0;
  bool Repeating = false;
  POINT LastPoint{};
  int ThumbOffset = 0;  // pointer position within the thumb when dragging
  int TrackPos = 0;
  bool Dragging = false;
  bool PointerInside = true;
};

struct THook {
  HHOOK Handle = nullptr;
  int Kind = 0;
  HOOKPROC Proc = nullptr;
  DWORD ThreadId = 0;  // 0: every thread
  bool Removed = false;
};

struct TMessageQueue {
  DWORD ThreadId = 0;
  std::deque<MSG> Posted;
  std::deque<TInputEvent> Input;
  std::deque<TSentPointer> Incoming;
  // Set by anyone who gives this thread something to do; the thread waits on the clock with it
  // as the cancel flag.
  std::atomic<bool> Wake{false};
  bool QuitPosted = false;
  int QuitCode = 0;
  std::vector<TTimer> Timers;
  uint64_t NextTimerOrder = 0;
  BYTE KeyState[256] = {};
  DWORD MessageTime = 0;
  POINT MessagePos{};
  // Cross-thread sends this thread is processing right now, innermost last.
  std::vector<TSentPointer> Receiving;
  // The cross-thread send this thread waits for, if any.
  TSentPointer Waiting;
  // While set, cross-thread sends from this thread return 0 at once (see BlockThreadSends).
  bool SendsBlocked = false;
  TLastKey LastKey;
  TClickState LastClick;
  TScrollTrack Track;
};

// ---- the table -------------------------------------------------------------------------------

TWindow* FindLocked(HWND Handle);
// The desktop window (created on first use; it belongs to no thread).
TWindow* DesktopLocked();
TWindow* AddWindowLocked(std::unique_ptr<TWindow> Window);
// Unlinks and frees the record (the caller has sent every message already).
void FreeWindowLocked(TWindow* Window);
// Every window, for scans (order unspecified).
std::vector<TWindow*> AllWindowsLocked();

// ---- queues ----------------------------------------------------------------------------------

// The calling thread's queue (created on first use).
TMessageQueue& CurrentQueue();
TMessageQueue& CurrentQueueLocked();
DWORD CurrentThreadId();
std::vector<TMessageQueue*> AllQueuesLocked();
// Thread ids blocked (BlockThreadSends) before they had a queue.
std::vector<DWORD>& PendingSendBlocksLocked();
TMessageQueue* QueueOfThreadLocked(DWORD ThreadId);
// Marks the queue as having work and wakes its thread if it waits.
void WakeQueueLocked(TMessageQueue& Queue);
// Drops the window's pending messages, timers and sends (the window is being destroyed).
void ForgetWindowLocked(TWindow* Window);

// ---- tree helpers ----------------------------------------------------------------------------

bool IsChildWindow(const TWindow* Window);  // WS_CHILD below a real parent
bool IsTopLevel(const TWindow* Window);     // parent is the desktop
TWindow* RootLocked(TWindow* Window);       // top-level ancestor (itself for a top-level)
bool IsDescendantLocked(const TWindow* Ancestor, const TWindow* Window);
// The client origin in screen coordinates.
POINT ClientOriginLocked(const TWindow* Window);
RECT WindowRectScreenLocked(const TWindow* Window);
bool IsVisibleLocked(const TWindow* Window);  // it and all its ancestors have WS_VISIBLE
bool IsEnabledLocked(const TWindow* Window);
// Puts the window into its parent's z-order list.
void LinkWindowLocked(TWindow* Window, HWND InsertAfter);
void UnlinkWindowLocked(TWindow* Window);
// The deepest visible window containing the screen point, searching under Scope (the desktop
// when null); window regions count, windows both layered and transparent are passed through.
TWindow* WindowFromPointLocked(TWindow* Scope, POINT Screen);

// ---- input state ---------------------------------------------------------------------------

// The thread's focus, active and capture windows are process-wide here (one user-interface
// thread owns them in practice).
struct TInputState {
  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Capture = nullptr;
  POINT CursorPos{};
  BYTE AsyncKeys[256] = {};
  HCURSOR Cursor = nullptr;
  int CursorShowCount = 0;
};
TInputState& InputLocked();

// Activation helpers shared by focus and window-position code.
void ActivateOtherWindow(HWND Leaving);
void SetActiveWindowInternal(HWND Window, bool ByMouse);
void SetFocusInternal(HWND Window);

// Painting helpers used by window-position code.
void InvalidateAfterMove(HWND Window, const RECT& OldWindowScreen, bool WasVisible, UINT Flags,
                         bool SizeChanged);
bool WindowNeedsPaintLocked(const TWindow* Window);
TWindow* FindWindowToPaintLocked(TWindow* Parent, DWORD ThreadId);
// Updates the client area of a window from its style after a style or size change; sends
// WM_NCCALCSIZE (so without the lock).
RECT CalcClientRect(HWND Window, const RECT& WindowRect, bool SendMessages);

// Border, caption, client edge and (optionally) scroll-bar thickness on each side.
RECT NonClientInsets(DWORD Style, DWORD ExStyle, bool ScrollBars);
// The client rectangle the default WM_NCCALCSIZE handling gives.
RECT DefaultClientRect(const RECT& Window, DWORD Style, DWORD ExStyle);

// Scroll bars of a window (scrollbar.cpp).
// The bar's record, settled on first use.
TScrollBar& ScrollBarLocked(TWindow* Window, int Bar);
// Starts tracking a press on a window's scroll bar (the default WM_NCLBUTTONDOWN handling).
void StartScrollTrack(HWND Window, int Bar, POINT Screen);
// Ends tracking without messages (WM_CANCELMODE, capture changes).
void CancelScrollTrack(HWND Window);
// The non-client hit-test answer of the default procedure.
LRESULT DefaultHitTest(HWND Window, POINT Screen);

// Back-end driver notifications for top-level windows (see driver.h).
void NotifyDriverWindowChanged(HWND Window);
void NotifyDriverWindowDestroyed(HWND Window);
void NotifyDriverFlush();
// Removes the hooks of a thread that ends.
void ForgetThreadHooksLocked(DWORD ThreadId);
// Empties the views of the DCs of a window that goes away.
void ForgetWindowDCsLocked(HWND Window);

}  // namespace UserImpl
