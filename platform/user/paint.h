#pragma once
// Invalidation and painting.
//
// Every window keeps an update region (what must be painted again, in client coordinates), a
// flag that the background must be erased first, and a flag for its frame. The queue makes
// WM_PAINT for a visible window with a non-empty update region when nothing more urgent waits;
// BeginPaint sends WM_NCPAINT if the frame needs it and WM_ERASEBKGND if the background does, and
// empties the update region.
//
// Pixels: each top-level window has one 32-bit backing store the size of its window rectangle.
// A window's device context is a view into its top-level window's store: the window's origin in
// it, limited to what the window may draw on -- its own rectangle and window region, inside
// every ancestor's client area and window region, minus the siblings above it when it has
// WS_CLIPSIBLINGS and minus its visible children when it has WS_CLIPCHILDREN. So windowless
// controls paint on their parent's context, and a transparent control shows what its parent
// painted beneath it. The back end shows the stores' dirty parts.

#include <optional>

#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"
#include "platform/user/winuser.h"

// GetDCEx
constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_NORESETATTRS = 0x00000004;
constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
constexpr DWORD DCX_PARENTCLIP = 0x00000020;
constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
constexpr DWORD DCX_EXCLUDEUPDATE = 0x00000100;
constexpr DWORD DCX_INTERSECTUPDATE = 0x00000200;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
constexpr DWORD DCX_VALIDATE = 0x00200000;

HDC BeginPaint(HWND Window, LPPAINTSTRUCT Paint);
BOOL EndPaint(HWND Window, const PAINTSTRUCT* Paint);
// A DC on the client area (clipped as the class and window styles say); GetWindowDC covers the
// whole window, frame included. A null window gives a DC of the screen that draws nowhere
// (for device capabilities and bitmap conversions). Release every DC with ReleaseDC.
HDC GetDC(HWND Window);
HDC GetWindowDC(HWND Window);
HDC GetDCEx(HWND Window, HRGN Clip, DWORD Flags);
int ReleaseDC(HWND Window, HDC DC);
HWND WindowFromDC(HDC DC);

// Child windows are included when the window lacks WS_CLIPCHILDREN, as on the platform.
BOOL InvalidateRect(HWND Window, const RECT* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Window, HRGN Region, BOOL Erase);
BOOL ValidateRect(HWND Window, const RECT* Rect);
BOOL ValidateRgn(HWND Window, HRGN Region);
// The bounds of the update region (client coordinates); with Erase, the background is erased now
// if it needs it. FALSE when there is nothing to paint.
BOOL GetUpdateRect(HWND Window, LPRECT Rect, BOOL Erase);
int GetUpdateRgn(HWND Window, HRGN Region, BOOL Erase);
// Removes the window's update region from the DC's clipping.
int ExcludeUpdateRgn(HDC DC, HWND Window);
// Sends WM_PAINT now to the window and its children that need painting.
BOOL UpdateWindow(HWND Window);
// RDW_INVALIDATE / RDW_VALIDATE with RDW_ERASE, RDW_FRAME, RDW_INTERNALPAINT and their NO
// forms; RDW_ALLCHILDREN / RDW_NOCHILDREN; RDW_UPDATENOW and RDW_ERASENOW paint at once.
BOOL RedrawWindow(HWND Window, const RECT* Rect, HRGN Region, UINT Flags);

// Moves the client pixels inside Scroll (the whole client area when null) by DX, DY, limited to
// Clip; what could not be moved from visible pixels becomes the update area (returned in
// Update / UpdateRect, and invalidated with SW_INVALIDATE, erased with SW_ERASE). The window's
// pending update region moves along. SW_SCROLLCHILDREN moves the child windows in the area.
// Returns the complexity of the update area.
int ScrollWindowEx(HWND Window, int DX, int DY, const RECT* Scroll, const RECT* Clip, HRGN Update,
                   LPRECT UpdateRect, UINT Flags);
BOOL ScrollWindow(HWND Window, int DX, int DY, const RECT* Scroll, const RECT* Clip);

// The window region (window coordinates): hits and painting outside it pass the window by. The
// window owns Region afterwards (it is deleted when replaced). Null removes the region.
int SetWindowRgn(HWND Window, HRGN Region, BOOL Redraw);
// Copies the window region into Region; ERROR when the window has none.
int GetWindowRgn(HWND Window, HRGN Region);

// ---- back ends and tests ---------------------------------------------------------------------

// Draws every window of the calling thread that needs painting, as a loop of the messages would
// (WM_PAINT through the window procedures). For tests that check pixels without a message loop.
void PaintPendingWindows();
// The backing store of a top-level window (window coordinates), painted up to now. Invalid for
// a window that is not top-level or has never been painted.
TPixelSurface GetWindowSurface(HWND TopLevel);
// Copies a window's pixels (its whole window rectangle, as its top-level store holds them) into
// a 32-bit top-down buffer of Width x Height (the window's size); false when there are none.
bool CopyWindowPixels(HWND Window, std::vector<uint32_t>& Pixels, int& Width, int& Height);
// The part of the store changed since the last call (window coordinates), emptied by the call.
TRegion TakeDirtyRegion(HWND TopLevel);

// What a back end hears about top-level windows. Every call comes from the thread that owns the
// window, with no lock of the window system held; the back end may call the API.
class TWindowDriver {
 public:
  virtual ~TWindowDriver() = default;
  // Created, moved, resized, shown, hidden, restyled (layered attributes, region, topmost).
  virtual void WindowChanged(HWND TopLevel) {}
  virtual void WindowDestroyed(HWND TopLevel) {}
  // Before a thread waits for messages: the stores' dirty parts may be shown now.
  virtual void Flush() {}
  virtual void CursorChanged(HCURSOR Cursor) {}
};
// Installs the back end's driver (null: none, as headless). The caller keeps ownership.
void SetWindowDriver(TWindowDriver* Driver);
TWindowDriver* GetWindowDriver();
