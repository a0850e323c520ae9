#pragma once
// Tray icons through the system-tray protocol of X desktops: the back end asks the tray manager
// (the owner of the _NET_SYSTEM_TRAY_S<screen> selection) to dock a small window of its own that
// shows the icon's picture. The class library's tray icon reaches these through Shell_NotifyIcon
// and the tray the back end installs while it runs (desktopservices.h).
//
// Mouse input on the icon goes to the icon's window as its callback message, as the platform's
// tray does: wParam the icon's id, lParam the mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN,
// WM_LBUTTONUP, WM_LBUTTONDBLCLK and the same for the right and middle buttons).
//
// Without a tray manager there is no tray: adding fails, and X11TrayExists says so, so the
// program can keep a window that would otherwise be hidden beyond reach. When a tray manager
// starts later (or starts again), the icons added before are docked anew and every top-level
// window of the back end's thread is posted the registered message "TaskbarCreated".
//
// Only the thread that runs the back end may call these.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/user/winuser.h"

struct TX11TrayIcon {
  // The window that hears of the mouse, and the icon's id among that window's icons.
  HWND Window = nullptr;
  UINT Id = 0;
  UINT CallbackMessage = 0;
  // The picture: Width x Height pixels 0xAARRGGBB (straight alpha), top row first. The tray
  // decides the size it shows; the picture is scaled to it.
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // The tooltip (also the icon window's name, which trays show where they show names).
  std::string Tip;
};

bool X11TrayExists();
// False without a tray. Adding an icon that exists already modifies it.
bool X11TrayAddIcon(const TX11TrayIcon& Icon);
// Replaces picture, tip and callback of an added icon; false when there is no such icon.
bool X11TrayModifyIcon(const TX11TrayIcon& Icon);
bool X11TrayRemoveIcon(HWND Window, UINT Id);
