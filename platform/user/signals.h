#pragma once
// The end of the session (SIGTERM, SIGHUP) as a message. The signal handler does nothing but
// write the signal's number into a pipe; a small reader thread turns each byte into
// WM_ENDSESSION (wParam TRUE, lParam the signal number) posted to the target window, so all the
// work of closing happens in the window's own message handling, never in a signal handler.

#include "platform/user/winuser.h"

// Installs the handlers (the first call) and sets the window that hears of the signals (later
// calls only change the window). FALSE when the pipe cannot be made.
BOOL InstallSessionSignals(HWND Target);
// Restores the previous handlers and stops the reader thread.
void RemoveSessionSignals();
