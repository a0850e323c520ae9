#pragma once
// TTrayIcon: the program's icon in the desktop's notification area (the tray), with a tooltip
// (Hint), a menu on the right button's release (PopupMenu; its default item is what a left
// double-click chooses, and without one a double-click restores the program), and the program's
// main window going into the tray and coming back out of it.
//
// Minimize and Restore act on the application: Minimize minimises it and, while HideOnMinimize
// is on and the icon is really in a tray, takes the main window off the screen altogether;
// Restore brings the main window back and to the front. OnMinimize and OnRestore follow, also
// when the user minimises or restores the window by other means (its title bar, the task bar).
// A window is never hidden into a tray that does not exist: without one it only minimises, so
// the user can always get it back.
//
// Visible is what the program wants: the icon shows while it is on and a tray exists. A tray
// that starts later (or again, after its program ended) gets the icon then. SystemTrayExists
// tells whether there is a tray at all; IconShown whether the icon is in it now.
//
// The icon's picture is Icon; an empty Icon shows a small built-in camera.

#include <memory>
#include <string>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/forms/application.h"
#include "platform/forms/icon.h"

class TPopupMenu;

class TTrayIcon : public TComponent, public TMinimizeWatcher {
  KORCAM_CLASS(TTrayIcon, TComponent)

 public:
  explicit TTrayIcon(TComponent* AOwner);
  ~TTrayIcon() override;
  void BeforeDestruction() override;

  PROPERTY(bool, Visible, false)
  PROPERTY(std::string, Hint, "")
  OWNED_PROPERTY(TIcon, Icon)
  PROPERTY(TPopupMenu*, PopupMenu, nullptr)
  PLAIN_PROPERTY(bool, HideOnMinimize, false)
  EVENT(TNotifyEvent, OnMinimize)
  EVENT(TNotifyEvent, OnRestore)

 public:
  static bool SystemTrayExists();
  bool IconShown() const { return FShown; }
  // See the top of the file.
  void Minimize();
  void Restore();
  // Sends the icon, the tooltip and the wish to be shown to the tray again.
  void Update();
  // Shows the menu at the mouse, as the right button's release does.
  void PopupAtCursor();
  // What a left double-click on the icon does.
  void DoubleClicked();

  // The window the tray reports the mouse to (wParam the icon's id, lParam the mouse message),
  // and that message.
  HWND CallbackWindow() const { return FWindow; }
  static constexpr UINT CallbackMessage = WM_APP + 0x200;
  static constexpr UINT IconId = 1;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ApplicationMinimized() override;
  void ApplicationRestored() override;

 private:
  friend LRESULT TrayIconWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  void HandleMouse(UINT MouseMessage);
  void IconChanged(TObject* Sender);
  // Adds or changes the icon in the tray as Visible says.
  void Refresh();
  void RemoveIcon();
  void Teardown();

  HWND FWindow = nullptr;
  bool FShown = false;
  TApplication* FApplication = nullptr;  // the one watched
};
