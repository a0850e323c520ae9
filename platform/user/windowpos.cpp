// Position, size, visibility and z-order of windows; coordinates and hit testing.

#include <algorithm>

#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace UserImpl {

RECT NonClientInsets(DWORD Style, DWORD ExStyle, bool ScrollBars) {
  RECT Insets{0, 0, 0, 0};
  auto Inflate = [&](int X, int Y) {
    Insets.left += X;
    Insets.right += X;
    Insets.top += Y;
    Insets.bottom += Y;
  };
  if (!(Style & WS_MINIMIZE)) {
    // The outer edge of dialog frames and thick frames, the sizing border, and the thin line.
    int Adjust = 0;
    if ((ExStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
      Adjust = 1;
    else if ((ExStyle & WS_EX_DLGMODALFRAME) || (Style & (WS_THICKFRAME | WS_DLGFRAME)))
      Adjust = 2;
    if (Style & WS_THICKFRAME)
      Adjust += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    if ((Style & (WS_BORDER | WS_DLGFRAME)) || (ExStyle & WS_EX_DLGMODALFRAME)) ++Adjust;
    Inflate(Adjust, Adjust);
    if ((Style & WS_CAPTION) == WS_CAPTION)
      Insets.top += GetSystemMetrics((ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  if (ExStyle & WS_EX_CLIENTEDGE) Inflate(GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
  if (ScrollBars) {
    if (Style & WS_VSCROLL) {
      if (ExStyle & WS_EX_LEFTSCROLLBAR)
        Insets.left += GetSystemMetrics(SM_CXVSCROLL);
      else
        Insets.right += GetSystemMetrics(SM_CXVSCROLL);
    }
    if (Style & WS_HSCROLL) Insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
  }
  return Insets;
}

RECT DefaultClientRect(const RECT& Window, DWORD Style, DWORD ExStyle) {
  RECT Insets = NonClientInsets(Style, ExStyle, true);
  RECT Client{Window.left + Insets.left, Window.top + Insets.top, Window.right - Insets.right,
              Window.bottom - Insets.bottom};
  if (Client.right < Client.left) Client.right = Client.left;
  if (Client.bottom < Client.top) Client.bottom = Client.top;
  return Client;
}

RECT CalcClientRect(HWND Handle, const RECT& WindowRect, bool SendMessages) {
  RECT Rect = WindowRect;
  if (SendMessages) SendMessage(Handle, WM_NCCALCSIZE, FALSE, LPARAM(&Rect));
  if (Rect.right < Rect.left) Rect.right = Rect.left;
  if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
  return Rect;
}

}  // namespace UserImpl

namespace {

bool CanActivateLocked(const TWindow* Window, DWORD ThreadId) {
  return Window && IsTopLevel(Window) && Window->ThreadId == ThreadId &&
         (Window->Style & WS_VISIBLE) && !(Window->Style & WS_DISABLED) &&
         !(Window->ExStyle & WS_EX_NOACTIVATE);
}

}  // namespace

namespace UserImpl {

void ActivateOtherWindow(HWND Leaving) {
  HWND Next = nullptr;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Leaving);
    DWORD Thread = CurrentThreadId();
    if (Window && (Window->Style & WS_POPUP) && Window->Owner &&
        CanActivateLocked(RootLocked(Window->Owner), Thread)) {
      Next = RootLocked(Window->Owner)->Handle;
    } else {
      for (TWindow* Other : DesktopLocked()->Children) {
        if (Other == Window) continue;
        if (CanActivateLocked(Other, Thread)) {
          Next = Other->Handle;
          break;
        }
      }
    }
  }
  SetActiveWindowInternal(Next, false);
}

}  // namespace UserImpl

BOOL SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
  WINDOWPOS Pos{Handle, InsertAfter, X, Y, std::max(Width, 0), std::max(Height, 0), Flags};
  bool TopLevel;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return FALSE;
    TopLevel = IsTopLevel(Window);
    if (Window->Style & WS_VISIBLE) {
      Pos.flags &= ~SWP_SHOWWINDOW;
    } else {
      Pos.flags &= ~SWP_HIDEWINDOW;
      if (!(Pos.flags & SWP_SHOWWINDOW)) Pos.flags |= SWP_NOREDRAW;
    }
    const RECT& R = Window->Window;
    if (Pos.cx == R.right - R.left && Pos.cy == R.bottom - R.top) Pos.flags |= SWP_NOSIZE;
    if (Pos.x == R.left && Pos.y == R.top) Pos.flags |= SWP_NOMOVE;
    // Child windows are never activated, not even one moved onto the desktop (a drop-down).
    if (!TopLevel || (Window->Style & (WS_CHILD | WS_POPUP)) == WS_CHILD || Handle == InputLocked().Active)
      Pos.flags |= SWP_NOACTIVATE;
    if (!(Pos.flags & SWP_NOZORDER)) {
      auto& Siblings = Window->Parent->Children;
      auto Position = std::find(Siblings.begin(), Siblings.end(), Window);
      if (InsertAfter == Handle) {
        Pos.flags |= SWP_NOZORDER;
      } else if (InsertAfter == HWND_TOP && Position == Siblings.begin()) {
        Pos.flags |= SWP_NOZORDER;
      } else if (InsertAfter != HWND_TOP && InsertAfter != HWND_BOTTOM &&
                 InsertAfter != HWND_TOPMOST && InsertAfter != HWND_NOTOPMOST) {
        if (!FindLocked(InsertAfter) || FindLocked(InsertAfter)->Parent != Window->Parent)
          Pos.flags |= SWP_NOZORDER;
        else if (Position != Siblings.begin() && (*(Position - 1))->Handle == InsertAfter)
          Pos.flags |= SWP_NOZORDER;
      }
      if (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
        if (!TopLevel) Pos.hwndInsertAfter = HWND_TOP;
      }
    }
  }
  if (!(Pos.flags & SWP_NOSENDCHANGING)) SendMessage(Handle, WM_WINDOWPOSCHANGING, 0, LPARAM(&Pos));

  RECT NewWindow, OldWindow, OldClient;
  DWORD Style, ExStyle;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return FALSE;
    OldWindow = Window->Window;
    OldClient = Window->Client;
    NewWindow = OldWindow;
    if (!(Pos.flags & SWP_NOMOVE)) {
      NewWindow = RECT{Pos.x, Pos.y, Pos.x + (OldWindow.right - OldWindow.left),
                       Pos.y + (OldWindow.bottom - OldWindow.top)};
    }
    if (!(Pos.flags & SWP_NOSIZE)) {
      NewWindow.right = NewWindow.left + std::max(Pos.cx, 0);
      NewWindow.bottom = NewWindow.top + std::max(Pos.cy, 0);
    }
    Style = Window->Style;
    ExStyle = Window->ExStyle;
  }
  RECT NewClient{OldClient.left + NewWindow.left - OldWindow.left,
                 OldClient.top + NewWindow.top - OldWindow.top,
                 OldClient.right + NewWindow.left - OldWindow.left,
                 OldClient.bottom + NewWindow.top - OldWindow.top};
  bool SizeChanged = NewWindow.right - NewWindow.left != OldWindow.right - OldWindow.left ||
                     NewWindow.bottom - NewWindow.top != OldWindow.bottom - OldWindow.top;
  if (SizeChanged || (Pos.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS Params{};
    Params.rgrc[0] = NewWindow;
    Params.rgrc[1] = OldWindow;
    Params.rgrc[2] = OldClient;
    Params.lppos = &Pos;
    SendMessage(Handle, WM_NCCALCSIZE, TRUE, LPARAM(&Params));
    NewClient = Params.rgrc[0];
    if (NewClient.right < NewClient.left) NewClient.right = NewClient.left;
    if (NewClient.bottom < NewClient.top) NewClient.bottom = NewClient.top;
  }
  (void)Style;
  (void)ExStyle;

  bool WasVisible, NowVisible;
  RECT OldScreen;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return FALSE;
    WasVisible = IsVisibleLocked(Window);
    OldScreen = WindowRectScreenLocked(Window);
    Window->Window = NewWindow;
    Window->Client = NewClient;
    if (!(Window->Style & (WS_MINIMIZE | WS_MAXIMIZE))) Window->Normal = NewWindow;
    if (!(Pos.flags & SWP_NOZORDER)) LinkWindowLocked(Window, Pos.hwndInsertAfter);
    if (Pos.flags & SWP_SHOWWINDOW) Window->Style |= WS_VISIBLE;
    if (Pos.flags & SWP_HIDEWINDOW) Window->Style &= ~WS_VISIBLE;
    NowVisible = IsVisibleLocked(Window);
    if (NewClient.right - NewClient.left == OldClient.right - OldClient.left &&
        NewClient.bottom - NewClient.top == OldClient.bottom - OldClient.top)
      Pos.flags |= SWP_NOCLIENTSIZE;
    if (NewClient.left == OldClient.left && NewClient.top == OldClient.top)
      Pos.flags |= SWP_NOCLIENTMOVE;
  }
  if (WasVisible || NowVisible)
    InvalidateAfterMove(Handle, OldScreen, WasVisible, Pos.flags,
                        SizeChanged || (Pos.flags & SWP_FRAMECHANGED));

  if ((Pos.flags & SWP_HIDEWINDOW)) {
    HWND Capture = GetCapture();
    if (Capture && (Capture == Handle || IsChild(Handle, Capture))) ReleaseCapture();
  }
  if ((Pos.flags & SWP_SHOWWINDOW) && !(Pos.flags & SWP_NOACTIVATE) && TopLevel)
    SetActiveWindowInternal(Handle, false);

  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return TRUE;
    Pos.x = NewWindow.left;
    Pos.y = NewWindow.top;
    Pos.cx = NewWindow.right - NewWindow.left;
    Pos.cy = NewWindow.bottom - NewWindow.top;
  }
  SendMessage(Handle, WM_WINDOWPOSCHANGED, 0, LPARAM(&Pos));
  // A hidden active window hands the activation on once it is out of sight.
  if ((Pos.flags & SWP_HIDEWINDOW) && TopLevel && GetActiveWindow() == Handle) ActivateOtherWindow(Handle);
  NotifyDriverWindowChanged(Handle);
  return TRUE;
}

BOOL MoveWindow(HWND Window, int X, int Y, int Width, int Height, BOOL Repaint) {
  return SetWindowPos(Window, nullptr, X, Y, Width, Height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

namespace {

// The rectangle of a minimised or maximised top-level window.
RECT MinMaxRect(HWND Handle, int Command, const RECT& Normal, bool Child) {
  if (Command == SW_MINIMIZE || Command == SW_SHOWMINIMIZED || Command == SW_SHOWMINNOACTIVE ||
      Command == SW_FORCEMINIMIZE) {
    if (Child) return RECT{Normal.left, Normal.top, Normal.left + GetSystemMetrics(SM_CXMINIMIZED),
                           Normal.top + GetSystemMetrics(SM_CYMINIMIZED)};
    // Minimised top-level windows leave the screen, as on the platform.
    return RECT{-32000, -32000, -32000 + GetSystemMetrics(SM_CXMINIMIZED),
                -32000 + GetSystemMetrics(SM_CYMINIMIZED)};
  }
  RECT Work = Child ? RECT{} : GetWorkArea();
  if (Child) {
    RECT Client{};
    GetClientRect(GetParent(Handle), &Client);
    Work = Client;
  }
  RECT Insets{};
  {
    TGuard Lock(Mutex());
    if (TWindow* Window = FindLocked(Handle))
      Insets = NonClientInsets(Window->Style & ~(WS_VSCROLL | WS_HSCROLL), Window->ExStyle, false);
  }
  MINMAXINFO Info{};
  Info.ptMaxPosition = POINT{Work.left - Insets.left, Work.top - Insets.top};
  Info.ptMaxSize = POINT{Work.right - Work.left + Insets.left + Insets.right,
                         Work.bottom - Work.top + Insets.top + Insets.bottom};
  Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  Info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(Handle, WM_GETMINMAXINFO, 0, LPARAM(&Info));
  return RECT{Info.ptMaxPosition.x, Info.ptMaxPosition.y, Info.ptMaxPosition.x + Info.ptMaxSize.x,
              Info.ptMaxPosition.y + Info.ptMaxSize.y};
}

}  // namespace

BOOL ShowWindow(HWND Handle, int Command) {
  bool WasVisible, ParentVisible, Child, Active;
  DWORD Style;
  RECT Normal, Current;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return FALSE;
    WasVisible = (Window->Style & WS_VISIBLE) != 0;
    ParentVisible = IsVisibleLocked(Window->Parent);
    Child = !IsTopLevel(Window);
    Active = InputLocked().Active == Handle;
    Style = Window->Style;
    Normal = Window->Normal;
    Current = Window->Window;
  }
  UINT Flags = 0;
  bool Show = true;
  RECT NewRect = Current;
  DWORD SetStyle = 0, ClearStyle = 0;
  switch (Command) {
    case SW_HIDE:
      if (!WasVisible) return FALSE;
      Show = false;
      Flags |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (!Active) Flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      Flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWMINIMIZED:
      Flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      if (Style & WS_MINIMIZE) {
        if (WasVisible) return TRUE;
        Flags |= SWP_NOSIZE | SWP_NOMOVE;
        break;
      }
      NewRect = MinMaxRect(Handle, Command, Normal, Child);
      SetStyle = WS_MINIMIZE;
      ClearStyle = WS_MAXIMIZE;
      break;
    case SW_SHOWMAXIMIZED:
      Flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      if (Style & WS_MAXIMIZE) {
        if (WasVisible) return TRUE;
        Flags |= SWP_NOSIZE | SWP_NOMOVE;
        break;
      }
      NewRect = MinMaxRect(Handle, Command, Normal, Child);
      SetStyle = WS_MAXIMIZE;
      ClearStyle = WS_MINIMIZE;
      break;
    case SW_SHOWNA:
      Flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOW:
      if (WasVisible) return TRUE;
      Flags |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      break;
    case SW_SHOWNOACTIVATE:
      Flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    default:
      Flags |= SWP_SHOWWINDOW;
      if (Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        Flags |= SWP_FRAMECHANGED;
        NewRect = Normal;
        ClearStyle = WS_MINIMIZE | WS_MAXIMIZE;
      } else {
        if (WasVisible) return TRUE;
        Flags |= SWP_NOSIZE | SWP_NOMOVE;
      }
      break;
  }
  if (Show != WasVisible || Command == SW_SHOWNA) SendMessage(Handle, WM_SHOWWINDOW, Show, 0);
  if (!IsWindow(Handle)) return WasVisible;
  if (SetStyle || ClearStyle) {
    TGuard Lock(Mutex());
    if (TWindow* Window = FindLocked(Handle)) {
      if (!(Window->Style & (WS_MINIMIZE | WS_MAXIMIZE))) Window->Normal = Window->Window;
      Window->Style = (Window->Style & ~ClearStyle) | SetStyle;
    }
  }
  if (Child && !ParentVisible && !(SetStyle || ClearStyle)) {
    // Under a hidden parent only the flag changes; nothing can be seen to move.
    TGuard Lock(Mutex());
    if (TWindow* Window = FindLocked(Handle)) {
      if (Show)
        Window->Style |= WS_VISIBLE;
      else
        Window->Style &= ~WS_VISIBLE;
    }
  } else {
    SetWindowPos(Handle, HWND_TOP, NewRect.left, NewRect.top, NewRect.right - NewRect.left,
                 NewRect.bottom - NewRect.top, Flags);
  }
  if (Command == SW_MINIMIZE || Command == SW_SHOWMINNOACTIVE || Command == SW_FORCEMINIMIZE) {
    if (GetActiveWindow() == Handle) ActivateOtherWindow(Handle);
  }
  if (Command == SW_HIDE) {
    if (GetActiveWindow() == Handle) ActivateOtherWindow(Handle);
    HWND Focus = GetFocus();
    if (Focus && (Focus == Handle || IsChild(Handle, Focus))) {
      HWND Parent = GetAncestor(Handle, GA_PARENT);
      if (Parent == GetDesktopWindow()) Parent = nullptr;
      SetFocus(Parent);
    }
  }
  return WasVisible;
}

BOOL IsWindowVisible(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  return Window && IsVisibleLocked(Window) ? TRUE : FALSE;
}

BOOL IsIconic(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  return Window && (Window->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  return Window && (Window->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND Handle, WINDOWPLACEMENT* Placement) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Placement) return FALSE;
  Placement->length = sizeof(WINDOWPLACEMENT);
  Placement->flags = 0;
  Placement->showCmd = (Window->Style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                       : (Window->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                       : SW_SHOWNORMAL;
  Placement->ptMinPosition = POINT{-1, -1};
  Placement->ptMaxPosition = POINT{-1, -1};
  Placement->rcNormalPosition =
      (Window->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? Window->Normal : Window->Window;
  return TRUE;
}

BOOL SetWindowPlacement(HWND Handle, const WINDOWPLACEMENT* Placement) {
  if (!Placement || !IsWindow(Handle)) return FALSE;
  const RECT& R = Placement->rcNormalPosition;
  bool Plain;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return FALSE;
    Plain = !(Window->Style & (WS_MINIMIZE | WS_MAXIMIZE));
    Window->Normal = R;
  }
  if (Plain)
    SetWindowPos(Handle, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(Handle, int(Placement->showCmd));
  return TRUE;
}

// ---- coordinates -----------------------------------------------------------------------------

BOOL GetWindowRect(HWND Handle, LPRECT Rect) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Rect) return FALSE;
  if (!Window->Parent) Window = DesktopLocked();
  *Rect = WindowRectScreenLocked(Window);
  return TRUE;
}

BOOL GetClientRect(HWND Handle, LPRECT Rect) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Rect) return FALSE;
  if (!Window->Parent) Window = DesktopLocked();
  *Rect = RECT{0, 0, Window->Client.right - Window->Client.left,
               Window->Client.bottom - Window->Client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND Handle, LPPOINT Point) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Point) return FALSE;
  POINT Origin = ClientOriginLocked(Window);
  Point->x += Origin.x;
  Point->y += Origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND Handle, LPPOINT Point) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Point) return FALSE;
  POINT Origin = ClientOriginLocked(Window);
  Point->x -= Origin.x;
  Point->y -= Origin.y;
  return TRUE;
}

int MapWindowPoints(HWND From, HWND To, LPPOINT Points, UINT Count) {
  POINT FromOrigin{0, 0}, ToOrigin{0, 0};
  {
    TGuard Lock(Mutex());
    if (From) {
      TWindow* Window = FindLocked(From);
      if (!Window) return 0;
      FromOrigin = ClientOriginLocked(Window);
    }
    if (To) {
      TWindow* Window = FindLocked(To);
      if (!Window) return 0;
      ToOrigin = ClientOriginLocked(Window);
    }
  }
  int DX = FromOrigin.x - ToOrigin.x, DY = FromOrigin.y - ToOrigin.y;
  for (UINT I = 0; Points && I < Count; ++I) {
    Points[I].x += DX;
    Points[I].y += DY;
  }
  return MAKELONG(WORD(DX), WORD(DY));
}

BOOL AdjustWindowRectEx(LPRECT Rect, DWORD Style, BOOL Menu, DWORD ExStyle) {
  if (!Rect) return FALSE;
  if (!(Style & (WS_CHILD | WS_POPUP))) Style |= WS_CAPTION;
  RECT Insets = NonClientInsets(Style & ~(WS_VSCROLL | WS_HSCROLL), ExStyle, false);
  Rect->left -= Insets.left;
  Rect->top -= Insets.top + (Menu ? GetSystemMetrics(SM_CYMENU) : 0);
  Rect->right += Insets.right;
  Rect->bottom += Insets.bottom;
  return TRUE;
}

// ---- hit testing -----------------------------------------------------------------------------

HWND WindowFromPoint(POINT Point) {
  TGuard Lock(Mutex());
  TWindow* Window = WindowFromPointLocked(nullptr, Point);
  return Window ? Window->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND ParentHandle, POINT Point, UINT Flags) {
  TGuard Lock(Mutex());
  TWindow* Parent = FindLocked(ParentHandle);
  if (!Parent) return nullptr;
  RECT Client{0, 0, Parent->Client.right - Parent->Client.left,
              Parent->Client.bottom - Parent->Client.top};
  if (Point.x < Client.left || Point.x >= Client.right || Point.y < Client.top ||
      Point.y >= Client.bottom)
    return nullptr;
  for (TWindow* Child : Parent->Children) {
    const RECT& R = Child->Window;
    if (Point.x < R.left || Point.x >= R.right || Point.y < R.top || Point.y >= R.bottom) continue;
    if ((Flags & CWP_SKIPINVISIBLE) && !(Child->Style & WS_VISIBLE)) continue;
    if ((Flags & CWP_SKIPDISABLED) && (Child->Style & WS_DISABLED)) continue;
    if ((Flags & CWP_SKIPTRANSPARENT) && (Child->ExStyle & WS_EX_TRANSPARENT)) continue;
    return Child->Handle;
  }
  return ParentHandle;
}
