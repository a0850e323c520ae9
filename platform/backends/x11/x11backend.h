#pragma once
// The X11 back end: the program's top-level windows as real X windows.
//
// Our window model stays the authority on geometry, z-order and focus. The back end listens to
// it (TWindowDriver) and mirrors every visible top-level window: captioned windows become
// windows the window manager frames (the X window shows the client area; the manager draws the
// title bar and borders), pop-ups without a caption (drop-downs, hints, menus) become
// override-redirect windows, other caption-less windows undecorated managed windows. The dirty
// parts of each top-level backing store are shown through XShm (plain XPutImage where the
// server offers no shared memory, e.g. a remote display). What the window manager and the user
// do -- keys, the mouse, moves and resizes, closes, focus changes -- comes back as input: key and
// mouse events through the Inject* entry points, the rest as the messages a user's action
// would cause, never by reading geometry back behind the model's back.
//
// Events reach the message loop like this: a small reader thread watches the connection's file
// descriptor and, when it becomes readable, posts one wake-up message to a hidden window of the
// user-interface thread; handling it drains the X event queue on that thread (all Xlib calls
// stay on the user-interface thread). Before the thread waits for messages (the driver's Flush)
// the dirty stores are shown and events Xlib already read are drained too, so none is left
// sleeping in Xlib's own queue.
//
// No Xlib type or macro appears in this header (their None, Status, Bool, Window... must not leak
// into the program); X window ids are plain unsigned longs here.

#include <string>

#include "platform/user/winuser.h"

enum class TBackendKind { Headless, X11 };

// KORCAM_BACKEND=headless or x11 (any case) decides; otherwise X11 when DISPLAY is set and not
// empty, headless when it is not.
TBackendKind ChooseBackend();
const char* BackendName(TBackendKind Kind);

struct TX11StartOptions {
  // Null or empty: the DISPLAY environment variable.
  const char* DisplayName = nullptr;
  // Presents through shared memory when the server offers it; false forces plain XPutImage (as
  // a remote display would), for tests of that path.
  bool UseSharedMemory = true;
};

// Whether an X server answers at the display (null: DISPLAY).
bool X11BackendAvailable(const char* DisplayName = nullptr);
// Opens the display and installs the back end for the calling thread, which must be the thread
// that runs the message loop and owns the windows. Windows already visible are mirrored at once,
// and the desktop services (desktopservices.h: the clipboard store, the tray) are installed until
// the back end stops. False when no display could be opened or the back end runs already.
bool StartX11Backend(const TX11StartOptions& Options = {});
inline bool StartX11Backend(const char* DisplayName) {
  TX11StartOptions Options;
  Options.DisplayName = DisplayName;
  return StartX11Backend(Options);
}
// Removes the driver, destroys the X windows and tray icons, and closes the display. Must be
// called on the thread that started the back end, before its windows' thread ends.
void StopX11Backend();
bool X11BackendRunning();

// Losing the X server must not lose the program's settings. When the connection breaks, the back
// end stops using the display and posts WM_ENDSESSION (wParam TRUE, lParam
// ENDSESSION_DISPLAYLOST) to the session target, so the program closes for real -- saving its
// settings -- in its own message handling; Xlib's default of exiting on the spot is replaced.
// The program's exit is then the program's own. Without a target set, the message goes to the
// active window's root owner, else to the first top-level window of the back end's thread.
constexpr LPARAM ENDSESSION_DISPLAYLOST = 0x00001000;
void SetX11SessionTarget(HWND Window);
// True once the connection broke.
bool X11DisplayLost();

// The X window that mirrors a top-level window (0 when it has none yet), for tests and tools.
unsigned long X11WindowOf(HWND TopLevel);
