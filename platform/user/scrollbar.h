#pragma once
// The scroll bars of a window (WS_VSCROLL, WS_HSCROLL); SB_CTL scroll-bar controls are not
// offered. A bar whose range leaves nothing to scroll is hidden when its range or page is set,
// or shown disabled with SIF_DISABLENOSCROLL; a bar with something to scroll is shown. Showing or
// hiding a bar changes the window's frame, so the client area shrinks or grows (WM_SIZE).

#include "platform/user/winuser.h"

// Returns the (clamped) position.
int SetScrollInfo(HWND Window, int Bar, LPCSCROLLINFO Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Window, int Bar, LPSCROLLINFO Info);
// Returns the previous position.
int SetScrollPos(HWND Window, int Bar, int Position, BOOL Redraw);
int GetScrollPos(HWND Window, int Bar);
BOOL SetScrollRange(HWND Window, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Window, int Bar, LPINT Min, LPINT Max);
BOOL ShowScrollBar(HWND Window, int Bar, BOOL Show);
// ESB_ flags: which arrows are disabled.
BOOL EnableScrollBar(HWND Window, UINT Bars, UINT Arrows);

// The bar's rectangle in screen coordinates, for back ends and tests.
BOOL GetScrollBarRect(HWND Window, int Bar, LPRECT Rect);
// The thumb's offset from the bar's start and its length along the bar; FALSE without a thumb.
BOOL GetScrollThumb(HWND Window, int Bar, int* Start, int* Length);
