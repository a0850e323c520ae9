#pragma once
// The common controls: registration of their window classes (InitCommonControlsEx) and the
// status-bar window (class "msctls_statusbar32"), drawn by us.
//
// The status bar is a row of parts. SB_SETPARTS gives the parts' right edges (-1: to the window's
// right end); SB_SETTEXT gives a part its text and its drawing flags; SB_SIMPLE switches to one
// part spanning the whole window that shows the text of part 255 (SB_SIMPLEID). A part is drawn
// with a one-pixel lowered edge (SBT_POPOUT: raised; SBT_NOBORDERS: none) and its text inside;
// one leading tab centres the text, two put it at the right. An owner-drawn part (SBT_OWNERDRAW)
// keeps the value it was given as item data and is drawn by the parent: WM_DRAWITEM with the
// part's index as itemID, that data, and the rectangle inside the part's edge.
//
// Geometry (the system leaves it to the window): a part runs from 2 pixels below the window's
// top to its bottom; part 0 starts at the left edge, every further part 2 pixels right of the
// previous part's right edge; a right edge left of its part's left edge gives an empty part. A
// size grip (SBARS_SIZEGRIP) is drawn in the bottom-right corner over the last part; resizing
// the window is the window manager's business, so it takes no input. The window keeps the
// position and size its owner gives it (it never moves itself to the parent's edge).

#include <cstdint>

#include "platform/user/winuser.h"

// ---- registration ----------------------------------------------------------------------------

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;

constexpr DWORD ICC_LISTVIEW_CLASSES = 0x0001;
constexpr DWORD ICC_TREEVIEW_CLASSES = 0x0002;
constexpr DWORD ICC_BAR_CLASSES = 0x0004;
constexpr DWORD ICC_TAB_CLASSES = 0x0008;

// Registers the window classes of the groups asked for; FALSE for a wrong dwSize. Groups whose
// windows we do not offer are ignored. Safe to call any number of times.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* Init);
// Every class we offer.
void InitCommonControls();

// ---- the status bar --------------------------------------------------------------------------

inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";

// Styles.
constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NOMOVEY = 0x0002;
constexpr DWORD CCS_BOTTOM = 0x0003;
constexpr DWORD CCS_NORESIZE = 0x0004;
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD SBARS_SIZEGRIP = 0x0100;

// Messages.
constexpr UINT SB_SETTEXTA = WM_USER + 1;
constexpr UINT SB_GETTEXTA = WM_USER + 2;
constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;
constexpr UINT SB_GETBORDERS = WM_USER + 7;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;
constexpr UINT SB_ISSIMPLE = WM_USER + 14;
constexpr UINT SB_SETTEXT = SB_SETTEXTA;
constexpr UINT SB_GETTEXT = SB_GETTEXTA;
constexpr UINT SB_GETTEXTLENGTH = SB_GETTEXTLENGTHA;

// SB_SETTEXT flags (with the part index in the low byte of wParam).
constexpr WPARAM SBT_NOBORDERS = 0x0100;
constexpr WPARAM SBT_POPOUT = 0x0200;
constexpr WPARAM SBT_RTLREADING = 0x0400;
constexpr WPARAM SBT_OWNERDRAW = 0x1000;

// The part index of the simple mode's text.
constexpr WPARAM SB_SIMPLEID = 0x00FF;
// At most this many parts.
constexpr int SB_MAXPARTS = 256;

// The window procedure of the class, for controls that make their window a subclass of it.
LRESULT StatusBarWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
