#pragma once
// Windows: classes, creation and destruction, the window tree and z-order, styles and the
// window's stored values, visibility, position and size, coordinates and hit testing, text.
//
// Every window belongs to the thread that created it; its procedure runs on that thread only
// (SendMessage from another thread waits until the owner's message retrieval runs it). A handle
// stays valid until WM_NCDESTROY has been sent; later calls with it fail as the API does (FALSE,
// 0 or a null handle), and a handle value is not handed out again for the life of the process.

#include <string>

#include "platform/user/winuser.h"

// ---- classes ---------------------------------------------------------------------------------

// Registers a class; the atom, or 0 when a class of that name exists already for the instance.
ATOM RegisterClassA(const WNDCLASSA* Class);
inline ATOM RegisterClass(const WNDCLASSA* Class) { return RegisterClassA(Class); }
BOOL UnregisterClassA(LPCSTR ClassName, HINSTANCE Instance);
inline BOOL UnregisterClass(LPCSTR ClassName, HINSTANCE Instance) {
  return UnregisterClassA(ClassName, Instance);
}
BOOL GetClassInfoA(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSA* Class);
inline BOOL GetClassInfo(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSA* Class) {
  return GetClassInfoA(Instance, ClassName, Class);
}
int GetClassNameA(HWND Window, LPSTR Buffer, int MaxCount);
inline int GetClassName(HWND Window, LPSTR Buffer, int MaxCount) {
  return GetClassNameA(Window, Buffer, MaxCount);
}
DWORD GetClassLongA(HWND Window, int Index);
ULONG_PTR GetClassLongPtrA(HWND Window, int Index);
ULONG_PTR SetClassLongPtrA(HWND Window, int Index, LONG_PTR Value);
inline ULONG_PTR GetClassLongPtr(HWND Window, int Index) { return GetClassLongPtrA(Window, Index); }
inline ULONG_PTR SetClassLongPtr(HWND Window, int Index, LONG_PTR Value) {
  return SetClassLongPtrA(Window, Index, Value);
}

// ---- creation and destruction -----------------------------------------------------------------

// Sends, in order: WM_GETMINMAXINFO (sizable and overlapped windows), WM_NCCREATE (FALSE
// fails the creation), WM_NCCALCSIZE, WM_CREATE (-1 fails it; either way only WM_NCDESTROY
// follows), WM_SIZE, WM_MOVE, WM_PARENTNOTIFY to the parent of a child; then, with WS_VISIBLE,
// shows the window as ShowWindow(SW_SHOW) does. A non-child window given a parent is owned by that parent's top-level
// window and lives on the desktop.
HWND CreateWindowExA(DWORD ExStyle, LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y,
                     int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance,
                     LPVOID Param);
inline HWND CreateWindowEx(DWORD ExStyle, LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X,
                           int Y, int Width, int Height, HWND Parent, HMENU Menu,
                           HINSTANCE Instance, LPVOID Param) {
  return CreateWindowExA(ExStyle, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu,
                         Instance, Param);
}
inline HWND CreateWindowA(LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y,
                          int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance,
                          LPVOID Param) {
  return CreateWindowExA(0, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu,
                         Instance, Param);
}
inline HWND CreateWindow(LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y, int Width,
                         int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, LPVOID Param) {
  return CreateWindowA(ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu, Instance,
                       Param);
}

// Hides the window (a child first tells its parent with WM_PARENTNOTIFY), destroys the windows it
// owns, sends WM_DESTROY to it and then to its children (parents first, so a window still sees
// its children while it handles WM_DESTROY), then WM_NCDESTROY to the children and finally to it
// (children first). Only the owning thread may destroy a window.
BOOL DestroyWindow(HWND Window);
BOOL IsWindow(HWND Window);
// The thread that created the window (0 for an invalid handle); ProcessId gets 1.
DWORD GetWindowThreadProcessId(HWND Window, LPDWORD ProcessId);

// ---- the tree --------------------------------------------------------------------------------

HWND GetDesktopWindow();
// The parent of a child window, the owner of a pop-up, null otherwise.
HWND GetParent(HWND Window);
// Moves the window under a new parent (null: the desktop), keeping its coordinates relative to
// the parent's client area, at the top of the new parent's z-order. Returns the old parent.
HWND SetParent(HWND Window, HWND NewParent);
HWND GetAncestor(HWND Window, UINT Flags);
HWND GetWindow(HWND Window, UINT Command);
HWND GetTopWindow(HWND Window);
inline HWND GetNextWindow(HWND Window, UINT Command) { return GetWindow(Window, Command); }
BOOL IsChild(HWND Parent, HWND Window);
// Descendants depth first in z-order, each followed by its own children; stops when Proc
// returns FALSE.
BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Proc, LPARAM Param);
// Top-level windows in z-order.
BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param);
BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC Proc, LPARAM Param);
HWND FindWindowA(LPCSTR ClassName, LPCSTR WindowName);
BOOL BringWindowToTop(HWND Window);

// ---- stored values ---------------------------------------------------------------------------

// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA and the extra bytes (offset >= 0) as 32-bit
// values; pointer-sized values (GWL_WNDPROC, GWL_HINSTANCE, GWL_HWNDPARENT) need the Ptr forms.
// Setting a style sends WM_STYLECHANGING and WM_STYLECHANGED; the frame is recalculated only by
// SetWindowPos with SWP_FRAMECHANGED, as on the platform.
LONG GetWindowLongA(HWND Window, int Index);
LONG SetWindowLongA(HWND Window, int Index, LONG Value);
LONG_PTR GetWindowLongPtrA(HWND Window, int Index);
LONG_PTR SetWindowLongPtrA(HWND Window, int Index, LONG_PTR Value);
inline LONG GetWindowLong(HWND Window, int Index) { return GetWindowLongA(Window, Index); }
inline LONG SetWindowLong(HWND Window, int Index, LONG Value) {
  return SetWindowLongA(Window, Index, Value);
}
inline LONG_PTR GetWindowLongPtr(HWND Window, int Index) { return GetWindowLongPtrA(Window, Index); }
inline LONG_PTR SetWindowLongPtr(HWND Window, int Index, LONG_PTR Value) {
  return SetWindowLongPtrA(Window, Index, Value);
}
BOOL SetPropA(HWND Window, LPCSTR Name, HANDLE Data);
HANDLE GetPropA(HWND Window, LPCSTR Name);
HANDLE RemovePropA(HWND Window, LPCSTR Name);
inline BOOL SetProp(HWND Window, LPCSTR Name, HANDLE Data) { return SetPropA(Window, Name, Data); }
inline HANDLE GetProp(HWND Window, LPCSTR Name) { return GetPropA(Window, Name); }
inline HANDLE RemoveProp(HWND Window, LPCSTR Name) { return RemovePropA(Window, Name); }

// ---- text (UTF-8) ----------------------------------------------------------------------------

// WM_SETTEXT; the default procedure stores the text.
BOOL SetWindowTextA(HWND Window, LPCSTR Text);
inline BOOL SetWindowText(HWND Window, LPCSTR Text) { return SetWindowTextA(Window, Text); }
// WM_GETTEXT for a window of this thread, the stored text for another thread's: at most
// MaxCount - 1 bytes, cut on a character boundary, zero-terminated; returns the bytes copied.
int GetWindowTextA(HWND Window, LPSTR Buffer, int MaxCount);
inline int GetWindowText(HWND Window, LPSTR Buffer, int MaxCount) {
  return GetWindowTextA(Window, Buffer, MaxCount);
}
int GetWindowTextLengthA(HWND Window);
inline int GetWindowTextLength(HWND Window) { return GetWindowTextLengthA(Window); }
// The whole text, through WM_GETTEXTLENGTH and WM_GETTEXT.
std::string GetWindowTextString(HWND Window);

// ---- enabled state ---------------------------------------------------------------------------

// Sends WM_ENABLE when the state changes; disabling the focus window (or its ancestor) takes the
// focus away. Returns whether the window was disabled before.
BOOL EnableWindow(HWND Window, BOOL Enable);
BOOL IsWindowEnabled(HWND Window);

// ---- visibility, position, size ------------------------------------------------------------

// WM_SHOWWINDOW, then SetWindowPos with SWP_SHOWWINDOW or SWP_HIDEWINDOW. Showing a top-level
// window activates it unless the command says not to (SW_SHOWNA, SW_SHOWNOACTIVATE, ...); hiding
// the focus window gives the focus to its parent (child) or activates another window (top-level).
// Returns whether the window was visible before.
BOOL ShowWindow(HWND Window, int Command);
BOOL IsWindowVisible(HWND Window);
BOOL IsIconic(HWND Window);
BOOL IsZoomed(HWND Window);
// WM_WINDOWPOSCHANGING (the procedure may change the WINDOWPOS), the change itself with
// WM_NCCALCSIZE when the size or frame changes, activation when a top-level window is shown
// without SWP_NOACTIVATE, then WM_WINDOWPOSCHANGED (the default procedure turns it into WM_MOVE and
// WM_SIZE). Position and size are in the parent's client coordinates.
BOOL SetWindowPos(HWND Window, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
BOOL MoveWindow(HWND Window, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL GetWindowPlacement(HWND Window, WINDOWPLACEMENT* Placement);
BOOL SetWindowPlacement(HWND Window, const WINDOWPLACEMENT* Placement);

// Screen coordinates.
BOOL GetWindowRect(HWND Window, LPRECT Rect);
// (0, 0, client width, client height): borders, caption and scroll bars are outside.
BOOL GetClientRect(HWND Window, LPRECT Rect);
BOOL ClientToScreen(HWND Window, LPPOINT Point);
BOOL ScreenToClient(HWND Window, LPPOINT Point);
// Client coordinates of From to those of To (null: the screen); returns the offset added, x in
// the low word and y in the high word.
int MapWindowPoints(HWND From, HWND To, LPPOINT Points, UINT Count);
// The adjustments CreateWindowEx applies for a wanted client rectangle.
BOOL AdjustWindowRectEx(LPRECT Rect, DWORD Style, BOOL Menu, DWORD ExStyle);
inline BOOL AdjustWindowRect(LPRECT Rect, DWORD Style, BOOL Menu) {
  return AdjustWindowRectEx(Rect, Style, Menu, 0);
}

// ---- hit testing -----------------------------------------------------------------------------

// The deepest visible window under the screen point (window regions respected; windows both
// layered and transparent are passed through).
HWND WindowFromPoint(POINT Point);
// The direct child of Parent containing the point (Parent's client coordinates), Parent itself
// when the point is in it but no child qualifies, null when outside Parent.
HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags);
inline HWND ChildWindowFromPoint(HWND Parent, POINT Point) {
  return ChildWindowFromPointEx(Parent, Point, CWP_ALL);
}

// ---- layered windows and topmost -------------------------------------------------------------

// State for the back end: the whole window drawn with Alpha and/or without pixels of Key.
BOOL SetLayeredWindowAttributes(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags);
BOOL GetLayeredWindowAttributes(HWND Window, COLORREF* Key, BYTE* Alpha, DWORD* Flags);
