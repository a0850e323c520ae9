#include "platform/capture/capturedialog.h"

namespace {

TCaptureDialogHandler& Handler() {
  static TCaptureDialogHandler Instance;
  return Instance;
}

}  // namespace

void SetCaptureDialogHandler(TCaptureDialogHandler Value) { Handler() = std::move(Value); }

bool RunCaptureDialog(HWND Window, TCaptureDialog Dialog, TCaptureDriver& Driver) {
  // A copy, so a handler that installs another one while it runs stays alive until it returns.
  const TCaptureDialogHandler Current = Handler();
  return Current ? Current(Window, Dialog, Driver) : true;
}
