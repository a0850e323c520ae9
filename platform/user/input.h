#pragma once
// Focus, activation, mouse capture, keyboard state, cursors, the input entry points of the back
// ends and tests, and the few system settings controls read (work area, double-click time).

#include <functional>
#include <optional>
#include <string>

#include "platform/user/winuser.h"

// ---- focus and activation --------------------------------------------------------------------

// Activates the window's top-level window first when it is not active; then WM_KILLFOCUS to the
// old focus window and WM_SETFOCUS to the new one. Fails (null) for a window that is disabled or
// minimised, or has such an ancestor. A null window removes the focus. Returns the old focus.
HWND SetFocus(HWND Window);
HWND GetFocus();
// Top-level windows only (a child's request is ignored). To the old active window WM_NCACTIVATE
// (FALSE) and WM_ACTIVATE (WA_INACTIVE); WM_ACTIVATEAPP when the application gains or loses
// activation; to the new one WM_NCACTIVATE (TRUE) and WM_ACTIVATE (WA_ACTIVE); then the focus
// moves into it unless it is there already. Returns the old active window.
HWND SetActiveWindow(HWND Window);
HWND GetActiveWindow();
// Brings the window to the top and activates it.
BOOL SetForegroundWindow(HWND Window);
HWND GetForegroundWindow();

// ---- capture ---------------------------------------------------------------------------------

// While a window holds the capture, every mouse message goes to it as a client message. The
// window losing the capture gets WM_CAPTURECHANGED (lParam: the new capture window). Returns the
// old capture window.
HWND SetCapture(HWND Window);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- keyboard state --------------------------------------------------------------------------

// The state as of the messages this thread has retrieved: high bit set (negative) while down,
// low bit the toggle.
SHORT GetKeyState(int VirtualKey);
// The state as input arrives (before any message is retrieved).
SHORT GetAsyncKeyState(int VirtualKey);
// 256 bytes: 0x80 down, 0x01 toggled.
BOOL GetKeyboardState(BYTE* KeyState);
BOOL SetKeyboardState(const BYTE* KeyState);
// The US keyboard layout, which the headless back end types with.
UINT MapVirtualKeyA(UINT Code, UINT MapType);
inline UINT MapVirtualKey(UINT Code, UINT MapType) { return MapVirtualKeyA(Code, MapType); }
// Low byte: the virtual key; high byte: 1 Shift, 2 Ctrl, 4 Alt; -1 when no key types it.
SHORT VkKeyScanA(char Character);
inline SHORT VkKeyScan(char Character) { return VkKeyScanA(Character); }
// Synthesised key input, as if typed.
void keybd_event(BYTE VirtualKey, BYTE ScanCode, DWORD Flags, ULONG_PTR ExtraInfo);

// ---- input entry points (back ends and tests) --------------------------------------------------

// A key press or release. Text is what the key typed (what TranslateMessage turns into WM_CHAR);
// without it the keyboard layout's character for the key and the shift state is used.
void InjectKey(int VirtualKey, bool Down, std::optional<std::u32string> Text = std::nullopt);
// Presses and releases VirtualKey (its layout character, or Text).
void InjectKeyStroke(int VirtualKey, std::optional<std::u32string> Text = std::nullopt);
// Characters without keys of their own (VK_PACKET), one press and release each.
void InjectText(const std::u32string& Text);
// The mouse at a screen point: moves, VK_LBUTTON / VK_RBUTTON / VK_MBUTTON presses and releases
// (a button at another point moves there first), wheel turns in WHEEL_DELTA units.
void InjectMouseMove(int X, int Y);
void InjectMouseButton(int Button, bool Down, int X, int Y);
void InjectMouseWheel(int Delta, int X, int Y);
// Press and release at the point.
void InjectMouseClick(int Button, int X, int Y);

// ---- cursors ---------------------------------------------------------------------------------

// The stock cursors (IDC_*); custom cursors are not supported (null).
HCURSOR LoadCursorA(HINSTANCE Instance, LPCSTR Name);
inline HCURSOR LoadCursor(HINSTANCE Instance, LPCSTR Name) { return LoadCursorA(Instance, Name); }
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
// The IDC_ number of a stock cursor (0 for null), for back ends and tests.
WORD CursorId(HCURSOR Cursor);
int ShowCursor(BOOL Show);
BOOL GetCursorPos(LPPOINT Point);
// Moves the cursor (as a mouse move would, so the window under it sees WM_MOUSEMOVE).
BOOL SetCursorPos(int X, int Y);

// ---- system settings -------------------------------------------------------------------------

// SPI_GETWORKAREA / SPI_SETWORKAREA (RECT* in Param), SPI_GETWHEELSCROLLLINES (UINT*),
// SPI_GETDRAGFULLWINDOWS (BOOL*), SPI_GETKEYBOARDDELAY, SPI_GETKEYBOARDSPEED (int*),
// SPI_GETMOUSEHOVERTIME/WIDTH/HEIGHT (UINT*). FALSE for anything else.
BOOL SystemParametersInfoA(UINT Action, UINT UIParam, LPVOID Param, UINT WinIni);
inline BOOL SystemParametersInfo(UINT Action, UINT UIParam, LPVOID Param, UINT WinIni) {
  return SystemParametersInfoA(Action, UIParam, Param, WinIni);
}
// The screen's work area (the whole screen until set).
RECT GetWorkArea();
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Milliseconds);

// ---- sounds ----------------------------------------------------------------------------------

// The beep goes to the installed sink (nothing is heard without one); tests count refusals with
// it. Returns TRUE.
BOOL MessageBeep(UINT Type);
using TMessageBeepSink = std::function<void(UINT Type)>;
// Installs a sink (an empty function removes it) and returns the previous one.
TMessageBeepSink SetMessageBeepSink(TMessageBeepSink Sink);

// ---- caret -----------------------------------------------------------------------------------

// The caret as state (its window, position, size, visibility), for edits and the back ends.
BOOL CreateCaret(HWND Window, HBITMAP Bitmap, int Width, int Height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND Window);
BOOL HideCaret(HWND Window);
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(LPPOINT Point);
struct TCaretInfo {
  HWND Window = nullptr;
  POINT Position{};
  SIZE Size{};
  int HideCount = 1;  // visible at 0
};
TCaretInfo GetCaretInfo();
