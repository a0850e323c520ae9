#pragma once
// Internal to the X11 back end: the desktop services it offers the class library while it runs
// (see desktopservices.h) -- the clipboard store over the CLIPBOARD selection and the tray over
// the system-tray protocol. Made when the back end starts, which installs them; destroying it
// removes them again (only where they are still the installed ones).

#include <memory>

class TClipboardStore;
class TNotifyArea;

namespace X11Impl {

class TX11Desktop {
 public:
  TX11Desktop();
  ~TX11Desktop();
  TX11Desktop(const TX11Desktop&) = delete;
  TX11Desktop& operator=(const TX11Desktop&) = delete;

 private:
  std::unique_ptr<TClipboardStore> FClipboard;
  std::unique_ptr<TNotifyArea> FTray;
};

}  // namespace X11Impl
