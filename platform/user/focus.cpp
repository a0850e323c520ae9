// Focus, activation and mouse capture.

#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

// Brings the window to the top of its z-order group unless it is there already.
void RaiseWindow(HWND Handle) {
  bool AtTop = true;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return;
    for (TWindow* Sibling : Window->Parent->Children) {
      if (Sibling == Window) break;
      // Topmost windows stay in front of a window that is not topmost.
      if ((Sibling->ExStyle & WS_EX_TOPMOST) && !(Window->ExStyle & WS_EX_TOPMOST)) continue;
      AtTop = false;
      break;
    }
  }
  if (!AtTop) SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SendActivateApp(DWORD Thread, BOOL Active, DWORD OtherThread) {
  if (!Thread) return;
  std::vector<HWND> Windows;
  {
    TGuard Lock(Mutex());
    for (TWindow* Window : DesktopLocked()->Children)
      if (Window->ThreadId == Thread) Windows.push_back(Window->Handle);
  }
  for (HWND Window : Windows) SendMessage(Window, WM_ACTIVATEAPP, WPARAM(Active), LPARAM(OtherThread));
}

}  // namespace

namespace UserImpl {

void SetFocusInternal(HWND Handle) {
  HWND Previous;
  {
    TGuard Lock(Mutex());
    TInputState& Input = InputLocked();
    Previous = Input.Focus;
    if (Previous == Handle) return;
    Input.Focus = Handle;
  }
  if (Previous && IsWindow(Previous)) SendMessage(Previous, WM_KILLFOCUS, WPARAM(Handle), 0);
  {
    TGuard Lock(Mutex());
    if (InputLocked().Focus != Handle) return;
  }
  if (Handle) SendMessage(Handle, WM_SETFOCUS, WPARAM(Previous), 0);
}

void SetActiveWindowInternal(HWND Handle, bool ByMouse) {
  HWND Previous;
  DWORD PreviousThread = 0, NewThread = 0;
  {
    TGuard Lock(Mutex());
    Previous = InputLocked().Active;
    if (Previous == Handle) return;
    if (Handle) {
      TWindow* Window = FindLocked(Handle);
      if (!Window) return;
      NewThread = Window->ThreadId;
    }
    if (TWindow* Old = FindLocked(Previous)) PreviousThread = Old->ThreadId;
  }
  if (Handle) RaiseWindow(Handle);
  if (Previous && IsWindow(Previous)) {
    SendMessage(Previous, WM_NCACTIVATE, FALSE, LPARAM(Handle));
    SendMessage(Previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, WORD(IsIconic(Previous))), LPARAM(Handle));
  }
  {
    TGuard Lock(Mutex());
    if (Handle && !FindLocked(Handle)) return;
    InputLocked().Active = Handle;
  }
  if (PreviousThread != NewThread) {
    SendActivateApp(PreviousThread, FALSE, NewThread);
    SendActivateApp(NewThread, TRUE, PreviousThread);
  }
  if (Handle && IsWindow(Handle)) {
    SendMessage(Handle, WM_NCACTIVATE, TRUE, LPARAM(Previous));
    SendMessage(Handle, WM_ACTIVATE, MAKEWPARAM(ByMouse ? WA_CLICKACTIVE : WA_ACTIVE, WORD(IsIconic(Handle))),
                LPARAM(Previous));
  }
  HWND Focus;
  {
    TGuard Lock(Mutex());
    if (InputLocked().Active != Handle) return;
    Focus = InputLocked().Focus;
    TWindow* FocusWindow = FindLocked(Focus);
    if (Handle && FocusWindow && RootLocked(FocusWindow)->Handle == Handle) return;
  }
  SetFocusInternal(Handle);
}

}  // namespace UserImpl

HWND SetFocus(HWND Handle) {
  HWND Previous, Top, Active;
  {
    TGuard Lock(Mutex());
    TInputState& Input = InputLocked();
    Previous = Input.Focus;
    if (!Handle) {
      Lock.unlock();
      SetFocusInternal(nullptr);
      return Previous;
    }
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent || Window->ThreadId != CurrentThreadId()) return nullptr;
    for (TWindow* W = Window; W && W->Parent; W = W->Parent) {
      if (W->Style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
      if (!IsChildWindow(W)) break;
    }
    if (Handle == Previous) return Previous;
    Top = RootLocked(Window)->Handle;
    Active = Input.Active;
  }
  if (Top != Active) {
    SetActiveWindowInternal(Top, false);
    if (!IsWindow(Handle)) return nullptr;
    if (GetActiveWindow() != Top) return nullptr;
  }
  SetFocusInternal(Handle);
  return Previous;
}

HWND GetFocus() {
  TGuard Lock(Mutex());
  return InputLocked().Focus;
}

HWND SetActiveWindow(HWND Handle) {
  HWND Previous;
  {
    TGuard Lock(Mutex());
    Previous = InputLocked().Active;
    if (Handle) {
      TWindow* Window = FindLocked(Handle);
      if (!Window || !Window->Parent) return nullptr;
      // A child window cannot be the active window.
      if (IsChildWindow(Window)) return Previous;
    }
  }
  SetActiveWindowInternal(Handle, false);
  return Previous;
}

HWND GetActiveWindow() {
  TGuard Lock(Mutex());
  return InputLocked().Active;
}

BOOL SetForegroundWindow(HWND Handle) {
  HWND Root;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return FALSE;
    Root = RootLocked(Window)->Handle;
  }
  RaiseWindow(Root);
  SetActiveWindowInternal(Root, false);
  return GetActiveWindow() == Root ? TRUE : FALSE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

// ---- capture ---------------------------------------------------------------------------------

HWND SetCapture(HWND Handle) {
  HWND Previous;
  {
    TGuard Lock(Mutex());
    TInputState& Input = InputLocked();
    Previous = Input.Capture;
    if (Handle && !FindLocked(Handle)) return Previous;
    Input.Capture = Handle;
  }
  if (Previous && Previous != Handle && IsWindow(Previous))
    SendMessage(Previous, WM_CAPTURECHANGED, 0, LPARAM(Handle));
  return Previous;
}

BOOL ReleaseCapture() {
  HWND Previous;
  {
    TGuard Lock(Mutex());
    Previous = InputLocked().Capture;
    InputLocked().Capture = nullptr;
  }
  if (Previous && IsWindow(Previous)) SendMessage(Previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  TGuard Lock(Mutex());
  return InputLocked().Capture;
}
