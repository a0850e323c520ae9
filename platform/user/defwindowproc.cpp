// The default window procedure: what a window does with a message its own procedure leaves.

#include <cstring>

#include "platform/gdi/brush.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/unicode.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/ncpaint.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

DWORD StyleOf(HWND Handle) { return DWORD(GetWindowLongPtrA(Handle, GWL_STYLE)); }

bool IsChildStyle(HWND Handle) { return (StyleOf(Handle) & (WS_CHILD | WS_POPUP)) == WS_CHILD; }

HWND RealParent(HWND Handle) {
  HWND Parent = GetAncestor(Handle, GA_PARENT);
  return Parent == GetDesktopWindow() ? nullptr : Parent;
}

LRESULT SetCursorDefault(HWND Handle, WPARAM WParam, LPARAM LParam) {
  short Hit = short(LOWORD(DWORD_PTR(LParam)));
  if (IsChildStyle(Handle) && (Hit < HTLEFT || Hit > HTBOTTOMRIGHT)) {
    if (HWND Parent = RealParent(Handle))
      if (SendMessage(Parent, WM_SETCURSOR, WParam, LParam)) return TRUE;
  }
  switch (Hit) {
    case HTERROR:
      if (HIWORD(DWORD_PTR(LParam)) == WM_LBUTTONDOWN) MessageBeep(0);
      return FALSE;
    case HTCLIENT: {
      HCURSOR Cursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(Handle, GCL_HCURSOR));
      if (!Cursor) return FALSE;
      SetCursor(Cursor);
      return TRUE;
    }
    case HTLEFT:
    case HTRIGHT: SetCursor(LoadCursorA(nullptr, IDC_SIZEWE)); return TRUE;
    case HTTOP:
    case HTBOTTOM: SetCursor(LoadCursorA(nullptr, IDC_SIZENS)); return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursorA(nullptr, IDC_SIZENWSE)); return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: SetCursor(LoadCursorA(nullptr, IDC_SIZENESW)); return TRUE;
    default: SetCursor(LoadCursorA(nullptr, IDC_ARROW)); return TRUE;
  }
}

// The brush a class names for its background: a handle, or a system colour index plus one.
HBRUSH BackgroundBrush(HWND Handle) {
  ULONG_PTR Value = GetClassLongPtrA(Handle, GCL_HBRBACKGROUND);
  if (!Value) return nullptr;
  if (Value <= ULONG_PTR(COLOR_ENDCOLORS + 1)) return GetSysColorBrush(int(Value) - 1);
  return reinterpret_cast<HBRUSH>(Value);
}

LRESULT ControlColor(UINT Message, HDC DC) {
  if (Message == WM_CTLCOLOREDIT || Message == WM_CTLCOLORLISTBOX) {
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  if (Message == WM_CTLCOLORSCROLLBAR) {
    SetTextColor(DC, GetSysColor(COLOR_3DFACE));
    SetBkColor(DC, GetSysColor(COLOR_3DHILIGHT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
  }
  SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(DC, GetSysColor(COLOR_3DFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
}

}  // namespace

LRESULT DefWindowProcA(HWND Handle, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_NCCREATE: {
      const CREATESTRUCTA* Create = reinterpret_cast<const CREATESTRUCTA*>(LParam);
      if (Create && Create->lpszName && !IS_INTRESOURCE(Create->lpszName)) {
        TGuard Lock(Mutex());
        if (TWindow* Window = FindLocked(Handle)) Window->Text = Create->lpszName;
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* Rect = reinterpret_cast<RECT*>(LParam);
      if (!Rect) return 0;
      DWORD Style, ExStyle;
      {
        TGuard Lock(Mutex());
        TWindow* Window = FindLocked(Handle);
        if (!Window) return 0;
        Style = Window->Style;
        ExStyle = Window->ExStyle;
      }
      *Rect = DefaultClientRect(*Rect, Style, ExStyle);
      return 0;
    }
    case WM_NCHITTEST:
      return DefaultHitTest(Handle, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
    case WM_NCPAINT:
      PaintNonClient(Handle, GetActiveWindow() == Handle || GetAncestor(GetActiveWindow(), GA_ROOT) == Handle);
      return 0;
    case WM_NCACTIVATE:
      RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      return TRUE;
    case WM_SETTEXT: {
      LPCSTR Text = reinterpret_cast<LPCSTR>(LParam);
      {
        TGuard Lock(Mutex());
        TWindow* Window = FindLocked(Handle);
        if (!Window) return FALSE;
        Window->Text = Text ? Text : "";
      }
      if ((StyleOf(Handle) & WS_CAPTION) == WS_CAPTION)
        RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      NotifyDriverWindowChanged(Handle);
      return TRUE;
    }
    case WM_GETTEXT: {
      char* Buffer = reinterpret_cast<char*>(LParam);
      if (!Buffer || WParam == 0) return 0;
      std::string Text;
      {
        TGuard Lock(Mutex());
        TWindow* Window = FindLocked(Handle);
        if (!Window) return 0;
        Text = Window->Text;
      }
      std::string_view Cut = Utf8TruncateBytes(Text, size_t(WParam - 1));
      std::memcpy(Buffer, Cut.data(), Cut.size());
      Buffer[Cut.size()] = 0;
      return LRESULT(Cut.size());
    }
    case WM_GETTEXTLENGTH: {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      return Window ? LRESULT(Window->Text.size()) : 0;
    }
    case WM_CLOSE: DestroyWindow(Handle); return 0;
    case WM_SYSCOMMAND:
      switch (WParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(Handle, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(Handle, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(Handle, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(Handle, SW_RESTORE); break;
        default: break;
      }
      return 0;
    case WM_SYSKEYDOWN:
      if ((LParam & KF_ALTDOWN_BIT) && WParam == WPARAM(VK_F4) &&
          !(GetClassLongPtrA(Handle, GCL_STYLE) & CS_NOCLOSE))
        PostMessage(Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
      if (!Pos) return 0;
      RECT Client{};
      {
        TGuard Lock(Mutex());
        TWindow* Window = FindLocked(Handle);
        if (!Window) return 0;
        Client = Window->Client;
      }
      if (!(Pos->flags & SWP_NOCLIENTMOVE))
        SendMessage(Handle, WM_MOVE, 0, MAKELPARAM(WORD(Client.left), WORD(Client.top)));
      if (!(Pos->flags & SWP_NOCLIENTSIZE)) {
        if (IsIconic(Handle)) {
          SendMessage(Handle, WM_SIZE, SIZE_MINIMIZED, 0);
        } else {
          WPARAM Kind = IsZoomed(Handle) ? SIZE_MAXIMIZED : SIZE_RESTORED;
          SendMessage(Handle, WM_SIZE, Kind,
                      MAKELPARAM(WORD(Client.right - Client.left), WORD(Client.bottom - Client.top)));
        }
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE && !IsIconic(Handle)) SetFocus(Handle);
      return 0;
    case WM_MOUSEACTIVATE:
      if (IsChildStyle(Handle)) {
        if (HWND Parent = RealParent(Handle)) {
          LRESULT Result = SendMessage(Parent, WM_MOUSEACTIVATE, WParam, LParam);
          if (Result) return Result;
        }
      }
      return (HIWORD(DWORD_PTR(LParam)) == WM_LBUTTONDOWN && short(LOWORD(DWORD_PTR(LParam))) == HTCAPTION)
                 ? MA_NOACTIVATE
                 : MA_ACTIVATE;
    case WM_SETCURSOR: return SetCursorDefault(Handle, WParam, LParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if (IsChildStyle(Handle))
        if (HWND Parent = RealParent(Handle)) return SendMessage(Parent, Message, WParam, LParam);
      return 0;
    case WM_CONTEXTMENU:
      if (IsChildStyle(Handle))
        if (HWND Parent = RealParent(Handle)) SendMessage(Parent, WM_CONTEXTMENU, WParam, LParam);
      return 0;
    case WM_RBUTTONUP: {
      POINT Point{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      ClientToScreen(Handle, &Point);
      SendMessage(Handle, WM_CONTEXTMENU, WPARAM(Handle), MAKELPARAM(WORD(Point.x), WORD(Point.y)));
      return 0;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (WParam == WPARAM(HTVSCROLL) || WParam == WPARAM(HTHSCROLL))
        StartScrollTrack(Handle, WParam == WPARAM(HTVSCROLL) ? SB_VERT : SB_HORZ,
                         POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_NCLBUTTONUP:
      if (WParam == WPARAM(HTCLOSE)) PostMessage(Handle, WM_SYSCOMMAND, SC_CLOSE, LParam);
      return 0;
    case WM_CAPTURECHANGED:
      // Losing the mouse ends a scroll-bar press.
      if (reinterpret_cast<HWND>(LParam) != Handle) CancelScrollTrack(Handle);
      return 0;
    case WM_CANCELMODE:
      CancelScrollTrack(Handle);
      if (GetCapture() == Handle) ReleaseCapture();
      return 0;
    case WM_ERASEBKGND: {
      HBRUSH Brush = BackgroundBrush(Handle);
      if (!Brush) return 0;
      HDC DC = reinterpret_cast<HDC>(WParam);
      RECT Client{};
      GetClientRect(Handle, &Client);
      FillRect(DC, &Client, Brush);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT Paint;
      if (BeginPaint(Handle, &Paint)) EndPaint(Handle, &Paint);
      return 0;
    }
    case WM_SETREDRAW:
      // Redrawing off clears the visible flag without hiding: nothing paints, nothing moves.
      if (WParam) {
        TGuard Lock(Mutex());
        if (TWindow* Window = FindLocked(Handle)) Window->Style |= WS_VISIBLE;
      } else {
        RedrawWindow(Handle, nullptr, nullptr, RDW_ALLCHILDREN | RDW_VALIDATE);
        TGuard Lock(Mutex());
        if (TWindow* Window = FindLocked(Handle)) Window->Style &= ~WS_VISIBLE;
      }
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return ControlColor(Message, reinterpret_cast<HDC>(WParam));
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return -1;
    case WM_GETMINMAXINFO: return 0;
    default: return 0;
  }
}
