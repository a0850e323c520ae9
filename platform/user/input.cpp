// Mouse input, and how queued input becomes messages when a thread retrieves it.

#include <cstdlib>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/queueinput.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

constexpr UINT NonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

int ButtonKey(UINT Message) {
  switch (Message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return VK_MBUTTON;
    default: return 0;
  }
}

bool IsButtonDown(UINT Message) {
  return Message == WM_LBUTTONDOWN || Message == WM_RBUTTONDOWN || Message == WM_MBUTTONDOWN;
}

WPARAM MouseKeys(const BYTE* State) {
  WPARAM Keys = 0;
  if (State[VK_LBUTTON] & 0x80) Keys |= MK_LBUTTON;
  if (State[VK_RBUTTON] & 0x80) Keys |= MK_RBUTTON;
  if (State[VK_MBUTTON] & 0x80) Keys |= MK_MBUTTON;
  if (State[VK_SHIFT] & 0x80) Keys |= MK_SHIFT;
  if (State[VK_CONTROL] & 0x80) Keys |= MK_CONTROL;
  return Keys;
}

// The window mouse input at a point goes to: the capture window, else the window under it.
TWindow* MouseTargetLocked(POINT Point) {
  TInputState& Input = InputLocked();
  if (TWindow* Capture = FindLocked(Input.Capture)) return Capture;
  return WindowFromPointLocked(nullptr, Point);
}

TWindow* KeyTargetLocked(bool* NoFocus = nullptr) {
  TInputState& Input = InputLocked();
  TWindow* Target = FindLocked(Input.Focus);
  if (NoFocus) *NoFocus = Target == nullptr;
  if (!Target) Target = FindLocked(Input.Active);
  return Target;
}

void QueueMouse(UINT Message, int X, int Y, int Delta) {
  TGuard Lock(Mutex());
  TInputState& Input = InputLocked();
  Input.CursorPos = POINT{X, Y};
  if (int Key = ButtonKey(Message)) ApplyKeyToState(Input.AsyncKeys, Key, IsButtonDown(Message));
  TWindow* Target = Message == WM_MOUSEWHEEL ? KeyTargetLocked() : MouseTargetLocked(POINT{X, Y});
  if (!Target) return;
  TMessageQueue* Queue = QueueOfThreadLocked(Target->ThreadId);
  if (!Queue) return;
  DWORD Time = GetTickCount();
  // Moves in a row collapse into the last one, as a busy program sees only where the mouse is.
  if (Message == WM_MOUSEMOVE && !Queue->Input.empty()) {
    TInputEvent& Last = Queue->Input.back();
    if (Last.Kind == TInputEvent::Mouse && Last.MouseMessage == WM_MOUSEMOVE) {
      Last.Point = POINT{X, Y};
      Last.Time = Time;
      WakeQueueLocked(*Queue);
      return;
    }
  }
  TInputEvent Event;
  Event.Kind = TInputEvent::Mouse;
  Event.MouseMessage = Message;
  Event.Point = POINT{X, Y};
  Event.WheelDelta = Delta;
  Event.Time = Time;
  Queue->Input.push_back(Event);
  WakeQueueLocked(*Queue);
}

void MoveIfElsewhere(int X, int Y) {
  bool Elsewhere;
  {
    TGuard Lock(Mutex());
    POINT Current = InputLocked().CursorPos;
    Elsewhere = Current.x != X || Current.y != Y;
  }
  if (Elsewhere) QueueMouse(WM_MOUSEMOVE, X, Y, 0);
}

void SendParentNotifyClick(HWND Handle, UINT Message, POINT Screen) {
  for (;;) {
    HWND Parent;
    POINT Origin;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      if (!Window || !IsChildWindow(Window) || (Window->ExStyle & WS_EX_NOPARENTNOTIFY)) return;
      Parent = Window->Parent->Handle;
      Origin = ClientOriginLocked(Window->Parent);
    }
    SendMessage(Parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(Message), 0),
                MAKELPARAM(WORD(Screen.x - Origin.x), WORD(Screen.y - Origin.y)));
    Handle = Parent;
  }
}

}  // namespace

void InjectMouseMove(int X, int Y) { QueueMouse(WM_MOUSEMOVE, X, Y, 0); }

void InjectMouseButton(int Button, bool Down, int X, int Y) {
  UINT Message;
  switch (Button) {
    case VK_LBUTTON: Message = Down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case VK_RBUTTON: Message = Down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case VK_MBUTTON: Message = Down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
  }
  MoveIfElsewhere(X, Y);
  QueueMouse(Message, X, Y, 0);
}

void InjectMouseWheel(int Delta, int X, int Y) {
  MoveIfElsewhere(X, Y);
  QueueMouse(WM_MOUSEWHEEL, X, Y, Delta);
}

void InjectMouseClick(int Button, int X, int Y) {
  InjectMouseButton(Button, true, X, Y);
  InjectMouseButton(Button, false, X, Y);
}

BOOL GetCursorPos(LPPOINT Point) {
  if (!Point) return FALSE;
  TGuard Lock(Mutex());
  *Point = InputLocked().CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  QueueMouse(WM_MOUSEMOVE, X, Y, 0);
  return TRUE;
}

namespace UserImpl {

bool InputMatchesFilterLocked(TMessageQueue& Queue, const TInputEvent& Event, HWND Filter,
                              UINT Min, UINT Max) {
  TWindow* Target = Event.Kind == TInputEvent::Key || Event.MouseMessage == WM_MOUSEWHEEL
                        ? KeyTargetLocked()
                        : MouseTargetLocked(Event.Point);
  if (Filter && !MatchesWindowLocked(Filter, Target ? Target->Handle : nullptr)) return false;
  if (Min == 0 && Max == 0) return true;
  if (Event.Kind == TInputEvent::Key)
    return MatchesRange(WM_KEYDOWN, Min, Max) || MatchesRange(WM_KEYUP, Min, Max) ||
           MatchesRange(WM_SYSKEYDOWN, Min, Max) || MatchesRange(WM_SYSKEYUP, Min, Max);
  UINT Client = Event.MouseMessage;
  if (Client == WM_MOUSEWHEEL) return MatchesRange(Client, Min, Max);
  return MatchesRange(Client, Min, Max) || MatchesRange(Client - NonClientOffset, Min, Max) ||
         (IsButtonDown(Client) &&
          (MatchesRange(Client + 2, Min, Max) || MatchesRange(Client + 2 - NonClientOffset, Min, Max)));
}

namespace {

bool TakeKey(TMessageQueue& Queue, const TInputEvent& Event, MSG& Message, bool Remove) {
  int Key = GenericVirtualKey(Event.VirtualKey);
  LPARAM LParam;
  {
    TGuard Lock(Mutex());
    bool NoFocus;
    TWindow* Target = KeyTargetLocked(&NoFocus);
    if (!Target || Target->ThreadId != Queue.ThreadId) return false;
    const BYTE* State = Queue.KeyState;
    bool AltDown = (State[VK_MENU] & 0x80) || (Key == VK_MENU && !Event.Up);
    bool ControlDown = (State[VK_CONTROL] & 0x80) || (Key == VK_CONTROL && !Event.Up);
    bool System = (AltDown && !ControlDown) || Key == VK_F10 || NoFocus;
    bool WasDown = (State[Key] & 0x80) != 0;
    LParam = 1 | (LPARAM(Event.ScanCode) << 16) | (Event.Extended ? KF_EXTENDED_BIT : 0) |
             (System && AltDown ? KF_ALTDOWN_BIT : 0) | (WasDown || Event.Up ? KF_REPEAT_BIT : 0) |
             (Event.Up ? KF_UP_BIT : 0);
    UINT Kind = System ? (Event.Up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (Event.Up ? WM_KEYUP : WM_KEYDOWN);
    Message = MSG{Target->Handle, Kind, WPARAM(Key), LParam, Event.Time, InputLocked().CursorPos};
  }
  if (!Remove) return true;
  LRESULT Discard = CallHooks(WH_KEYBOARD, HC_ACTION, WPARAM(Key), LParam);
  TGuard Lock(Mutex());
  ApplyKeyToState(Queue.KeyState, Event.VirtualKey, !Event.Up);
  if (Discard) return false;
  Queue.LastKey = TLastKey{Message.hwnd, Message.message, Message.wParam, Message.lParam,
                           Message.time, Event.HasText, Event.Text, true};
  return true;
}

bool TakeMouse(TMessageQueue& Queue, const TInputEvent& Event, MSG& Message, bool Remove) {
  UINT Raw = Event.MouseMessage;
  POINT Screen = Event.Point;
  HWND Target;
  bool Captured;
  BYTE State[256];
  {
    TGuard Lock(Mutex());
    TWindow* Window = Raw == WM_MOUSEWHEEL ? KeyTargetLocked() : MouseTargetLocked(Screen);
    if (!Window || Window->ThreadId != Queue.ThreadId) return false;
    Target = Window->Handle;
    Captured = Raw != WM_MOUSEWHEEL && InputLocked().Capture == Target;
    std::copy(std::begin(Queue.KeyState), std::end(Queue.KeyState), State);
  }
  if (int Key = ButtonKey(Raw)) ApplyKeyToState(State, Key, IsButtonDown(Raw));

  if (Raw == WM_MOUSEWHEEL) {
    Message = MSG{Target, WM_MOUSEWHEEL, MAKEWPARAM(WORD(MouseKeys(State)), WORD(short(Event.WheelDelta))),
                  MAKELPARAM(WORD(Screen.x), WORD(Screen.y)), Event.Time, Screen};
    if (!Remove) return true;
    MOUSEHOOKSTRUCT Hook{Screen, Target, UINT(HTCLIENT), 0};
    if (CallHooks(WH_MOUSE, HC_ACTION, WM_MOUSEWHEEL, LPARAM(&Hook))) return false;
    return true;
  }

  LRESULT Hit = HTCLIENT;
  if (!Captured) {
    Hit = SendMessage(Target, WM_NCHITTEST, 0, MAKELPARAM(WORD(Screen.x), WORD(Screen.y)));
    // A window that calls itself transparent passes the mouse to its parent.
    while (Hit == HTTRANSPARENT) {
      HWND Parent = GetAncestor(Target, GA_PARENT);
      if (!Parent || Parent == GetDesktopWindow()) return false;
      Target = Parent;
      Hit = SendMessage(Target, WM_NCHITTEST, 0, MAKELPARAM(WORD(Screen.x), WORD(Screen.y)));
    }
  }
  bool Client = Hit == HTCLIENT;
  UINT Kind = Client ? Raw : Raw - NonClientOffset;
  POINT Origin{};
  UINT ClassStyle = 0;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Target);
    if (!Window) return false;
    Origin = ClientOriginLocked(Window);
    ClassStyle = Window->Class ? Window->Class->Style : 0;
    if (IsButtonDown(Raw)) {
      TClickState& Last = Queue.LastClick;
      bool Double = Last.Window == Target && Last.Message == Kind &&
                    Event.Time - Last.Time <= GetDoubleClickTime() &&
                    std::abs(Screen.x - Last.Point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                    std::abs(Screen.y - Last.Point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2 &&
                    (!Client || (ClassStyle & CS_DBLCLKS));
      if (Remove) Last = Double ? TClickState{} : TClickState{Target, Kind, Event.Time, Screen};
      if (Double) Kind += 2;
    }
  }
  if (Client) {
    Message = MSG{Target, Kind, MouseKeys(State),
                  MAKELPARAM(WORD(Screen.x - Origin.x), WORD(Screen.y - Origin.y)), Event.Time, Screen};
  } else {
    Message = MSG{Target, Kind, WPARAM(Hit), MAKELPARAM(WORD(Screen.x), WORD(Screen.y)), Event.Time,
                  Screen};
  }
  if (!Remove) return true;

  MOUSEHOOKSTRUCT Hook{Screen, Target, UINT(Hit), 0};
  LRESULT Discard = CallHooks(WH_MOUSE, HC_ACTION, Kind, LPARAM(&Hook));
  {
    TGuard Lock(Mutex());
    if (int Key = ButtonKey(Raw)) ApplyKeyToState(Queue.KeyState, Key, IsButtonDown(Raw));
  }
  if (Discard) return false;

  bool Eat = false;
  if (IsButtonDown(Raw)) {
    SendParentNotifyClick(Target, Raw, Screen);
    HWND Active, Top;
    bool TopIsChild;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Target);
      if (!Window) return false;
      Active = InputLocked().Active;
      TWindow* Root = RootLocked(Window);
      Top = Root->Handle;
      TopIsChild = (Root->Style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
    }
    if (Target != Active && !TopIsChild) {
      LRESULT Answer = SendMessage(Target, WM_MOUSEACTIVATE, WPARAM(Top), MAKELPARAM(WORD(Hit), WORD(Raw)));
      bool Activate = false;
      switch (Answer) {
        case MA_NOACTIVATEANDEAT: Eat = true; break;
        case MA_NOACTIVATE: break;
        case MA_ACTIVATEANDEAT:
          Eat = true;
          Activate = true;
          break;
        default: Activate = true; break;
      }
      if (Activate && Top != GetActiveWindow()) {
        if (IsWindowEnabled(Top) && IsWindowVisible(Top))
          SetActiveWindowInternal(Top, true);
        if (GetActiveWindow() != Top) Eat = true;
      }
    }
  }
  if (!IsWindow(Target)) return false;
  SendMessage(Target, WM_SETCURSOR, WPARAM(Target), MAKELPARAM(WORD(Hit), WORD(Raw)));
  if (!IsWindowEnabled(Target)) return false;
  return !Eat && IsWindow(Target);
}

}  // namespace

bool TakeInputMessage(TMessageQueue& Queue, const TInputEvent& Event, MSG& Message, bool Remove) {
  if (Event.Kind == TInputEvent::Key) return TakeKey(Queue, Event, Message, Remove);
  return TakeMouse(Queue, Event, Message, Remove);
}

}  // namespace UserImpl
