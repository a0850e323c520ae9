#pragma once
// The drivers' own dialogs (video format, source, display, compression). None of our drivers
// brings a window of its own: a dialog is whatever handler the program or a test installs, run
// modally from the WM_CAP_DLG_ message and expected to return when the user closes it (a
// handler may run a message loop meanwhile, so the program's timers keep firing). Without a
// handler a dialog closes at once, as if the user had confirmed it unchanged.

#include <functional>

#include "platform/capture/capturedriver.h"
#include "platform/rtl/wintypes.h"

// Returns what the dialog message answers (TRUE: the dialog ran).
using TCaptureDialogHandler = std::function<bool(HWND Window, TCaptureDialog Dialog, TCaptureDriver& Driver)>;

// Installs the handler for every capture window (an empty one removes it). Owner's thread only.
void SetCaptureDialogHandler(TCaptureDialogHandler Handler);
bool RunCaptureDialog(HWND Window, TCaptureDialog Dialog, TCaptureDriver& Driver);
