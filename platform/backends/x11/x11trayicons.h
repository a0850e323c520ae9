#pragma once
// Internal to the X11 back end: tray icons docked with the tray manager (see x11tray.h).

#include <memory>
#include <vector>

#include "platform/backends/x11/x11tray.h"

#include "platform/backends/x11/x11connection.h"

namespace X11Impl {

class TX11Tray {
 public:
  explicit TX11Tray(TX11Connection& Connection);
  ~TX11Tray();
  TX11Tray(const TX11Tray&) = delete;
  TX11Tray& operator=(const TX11Tray&) = delete;

  // The thread whose top-level windows hear "TaskbarCreated".
  void SetOwnerThread(DWORD ThreadId) { FOwnerThread = ThreadId; }

  bool Exists();
  bool Add(const TX11TrayIcon& Icon);
  bool Modify(const TX11TrayIcon& Icon);
  bool Remove(HWND Window, UINT Id);
  // An added icon as it stands (null when there is none).
  const TX11TrayIcon* IconOf(HWND Window, UINT Id) {
    TEntry* Entry = Find(Window, Id);
    return Entry ? &Entry->Icon : nullptr;
  }
  // The icons of a window that is destroyed go with it.
  void RemoveWindowIcons(HWND Window);

  // Events of the icon windows, of the manager and the manager's announcement; false otherwise.
  bool HandleEvent(XEvent& Event);

 private:
  struct TEntry {
    TX11TrayIcon Icon;
    ::Window Id = 0;
    GC Context = nullptr;
    bool Argb = false;
    int Width = 0;
    int Height = 0;
    Time LastPress = 0;
    unsigned LastButton = 0;
  };

  ::Window Manager();
  void Dock(TEntry& Entry);
  void DestroyIconWindow(TEntry& Entry);
  void Draw(TEntry& Entry);
  void Notify(TEntry& Entry, UINT MouseMessage);
  void OnButton(TEntry& Entry, const XButtonEvent& Event);
  TEntry* Find(HWND Window, UINT Id);
  TEntry* FindById(::Window Id);

  TX11Connection& FConnection;
  DWORD FOwnerThread = 0;
  std::vector<std::unique_ptr<TEntry>> FIcons;
  ::Window FManager = 0;
  Colormap FArgbColormap = 0;
  Visual* FArgbVisual = nullptr;
};

}  // namespace X11Impl
