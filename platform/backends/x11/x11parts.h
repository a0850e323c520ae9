#pragma once
// Internal to the X11 back end: its running parts, for the public functions of the clipboard
// and the tray.

#include "platform/backends/x11/x11connection.h"

namespace X11Impl {

class TX11WindowDriver;
class TX11Selections;
class TX11Tray;

struct TX11Parts {
  TX11Connection* Connection = nullptr;
  TX11WindowDriver* Driver = nullptr;
  TX11Selections* Selections = nullptr;
  TX11Tray* Tray = nullptr;
};

// Null when no back end runs, when its display is lost, or when the caller is not the thread
// that runs it.
const TX11Parts* RunningParts();

}  // namespace X11Impl
