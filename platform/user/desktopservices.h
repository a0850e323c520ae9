#pragma once
// What the desktop offers the program beyond its windows: a clipboard shared with other programs
// and the notification area (the tray) for a small status icon. A display back end installs its
// services when it starts and removes them when it stops; the class library and the program
// reach them only through this header, so they never see the display's own headers. Without a
// display (headless runs) nothing is installed: the class library keeps its clipboard inside the
// process, and there is no tray -- adding an icon fails, which tells the program not to hide a
// window into a tray nobody can see.
//
// Everything here lives on the user-interface thread: services are installed, removed and called
// there. The installer keeps an installed service alive until it removes it again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/wintypes.h"

// ---- the clipboard ---------------------------------------------------------------------------

// Where the clipboard's content goes beyond the process. While a store is installed the class
// library's clipboard writes through to it and reads from it (another program may have put
// something there). Pictures travel as top-down rows of 0x00RRGGBB pixels.
// Reading content another program put there raises when the store refuses it for its size
// (an Exception whose message says so); content that cannot be read is simply not there.
class TClipboardStore {
 public:
  virtual ~TClipboardStore() = default;
  virtual void SetText(const std::string& Text) = 0;
  virtual void SetPicture(int Width, int Height, const std::vector<uint32_t>& Pixels) = 0;
  virtual void Clear() = 0;
  virtual bool HasText() = 0;
  virtual bool HasPicture() = 0;
  virtual std::optional<std::string> Text() = 0;
  virtual bool Picture(int& Width, int& Height, std::vector<uint32_t>& Pixels) = 0;
};

namespace DesktopServices {
inline TClipboardStore*& ClipboardSlot() {
  static TClipboardStore* Store = nullptr;
  return Store;
}
}  // namespace DesktopServices

// Installs the store (nullptr: none).
inline void SetClipboardStore(TClipboardStore* Store) { DesktopServices::ClipboardSlot() = Store; }
inline TClipboardStore* GetClipboardStore() { return DesktopServices::ClipboardSlot(); }

// ---- the notification area -------------------------------------------------------------------

// What Shell_NotifyIcon does.
constexpr DWORD NIM_ADD = 0x00000000;
constexpr DWORD NIM_MODIFY = 0x00000001;
constexpr DWORD NIM_DELETE = 0x00000002;

// Which members of TNotifyIconData count (NIM_ADD and NIM_MODIFY).
constexpr UINT NIF_MESSAGE = 0x00000001;
constexpr UINT NIF_ICON = 0x00000002;
constexpr UINT NIF_TIP = 0x00000004;

// One icon. A window may have several, told apart by ID. The mouse over the icon reaches Wnd as
// CallbackMessage with wParam the icon's ID and lParam the mouse message (WM_MOUSEMOVE,
// WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, and the same for the right and middle
// buttons). When a tray starts (or starts again after its program ended) the icons added before
// are shown in it anew, and every top-level window is posted the registered message
// "TaskbarCreated", as a program that added its icon while there was no tray expects.
struct TNotifyIconData {
  HWND Wnd = nullptr;
  UINT ID = 0;
  UINT Flags = 0;
  UINT CallbackMessage = 0;  // NIF_MESSAGE
  // NIF_ICON: IconWidth x IconHeight pixels 0xAARRGGBB (straight alpha), top row first. The tray
  // decides the size it shows; the picture is scaled to it.
  int IconWidth = 0;
  int IconHeight = 0;
  std::vector<uint32_t> IconPixels;
  std::string Tip;  // NIF_TIP: UTF-8
};

// A display back end's tray.
class TNotifyArea {
 public:
  virtual ~TNotifyArea() = default;
  // Whether a tray shows icons now (a desktop may have none, or end and start one any time).
  virtual bool Exists() = 0;
  // False without a tray. Members not named in Flags start empty. Adding an icon that exists
  // already replaces it.
  virtual bool Add(const TNotifyIconData& Data) = 0;
  // Changes the members named in Flags; false when there is no such icon.
  virtual bool Modify(const TNotifyIconData& Data) = 0;
  // False when there is no such icon. A window's icons go with it when it is destroyed.
  virtual bool Delete(HWND Wnd, UINT ID) = 0;
};

namespace DesktopServices {
inline TNotifyArea*& NotifyAreaSlot() {
  static TNotifyArea* Area = nullptr;
  return Area;
}
}  // namespace DesktopServices

// Installs the tray (nullptr: none).
inline void SetNotifyArea(TNotifyArea* Area) { DesktopServices::NotifyAreaSlot() = Area; }
inline TNotifyArea* GetNotifyArea() { return DesktopServices::NotifyAreaSlot(); }

inline bool NotifyAreaExists() {
  TNotifyArea* Area = GetNotifyArea();
  return Area && Area->Exists();
}

// Adds, changes or deletes a tray icon; FALSE without a tray, for an unknown icon (NIM_MODIFY,
// NIM_DELETE) and for an unknown Message.
inline BOOL Shell_NotifyIcon(DWORD Message, const TNotifyIconData& Data) {
  TNotifyArea* Area = GetNotifyArea();
  if (!Area) return FALSE;
  switch (Message) {
    case NIM_ADD: return Area->Add(Data) ? TRUE : FALSE;
    case NIM_MODIFY: return Area->Modify(Data) ? TRUE : FALSE;
    case NIM_DELETE: return Area->Delete(Data.Wnd, Data.ID) ? TRUE : FALSE;
    default: return FALSE;
  }
}
