#pragma once
// The system's "BUTTON" window class, as far as the controls built on it need it: the push
// button and the owner-drawn button. An owner-drawn button (BS_OWNERDRAW) paints nothing itself:
// whenever it must be drawn -- WM_PAINT, a change of its pushed state or of its focus -- it sends
// its parent WM_DRAWITEM with a DRAWITEMSTRUCT that names the button, the device context to
// draw on, the client rectangle, what changed (itemAction) and its state now (itemState). Any
// other style draws a classic push button with its text.
//
// Input: a left press takes the focus and the mouse capture and shows the button pushed while the
// mouse stays over it; the release over it sends the parent WM_COMMAND with BN_CLICKED. Space
// works the same way from the keyboard. A class that subclasses the button and handles the mouse
// itself (owner-drawn controls do) never starts that tracking, and the release then does nothing.
//
// WM_PAINT with a device context in wParam draws into that context (a copy painted elsewhere);
// without one the button paints its update region as usual.

#include "platform/rtl/wintypes.h"

// The class name, for CreateWindowEx and GetClassInfo.
constexpr const char* ButtonClassName = "BUTTON";

// Button styles (the low four bits are the type).
constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_NOTIFY = 0x00004000;

// Button messages.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;

// BM_GETSTATE bits.
constexpr LRESULT BST_UNCHECKED = 0x0000;
constexpr LRESULT BST_PUSHED = 0x0004;
constexpr LRESULT BST_FOCUS = 0x0008;

// Notification codes (the high word of WM_COMMAND's wParam).
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_SETFOCUS = 6;
constexpr WORD BN_KILLFOCUS = 7;

// Owner drawing.
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;

constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;

constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_NOFOCUSRECT = 0x0200;

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

// The class's window procedure (what GetClassInfo reports for "BUTTON").
LRESULT ButtonWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
