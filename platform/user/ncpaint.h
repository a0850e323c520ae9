#pragma once
// Internal: the default drawing of a window's frame, caption and scroll bars (library files only).

#include "platform/user/winuser.h"

namespace UserImpl {

// Draws the non-client area through a window DC (what the default WM_NCPAINT does).
void PaintNonClient(HWND Window, bool Active);
// Draws the window's scroll bars on a window DC (scrollbar.cpp).
void DrawWindowScrollBars(HWND Window, HDC DC);

}  // namespace UserImpl
