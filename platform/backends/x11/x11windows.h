#pragma once
// Internal to the X11 back end: the driver that mirrors the model's top-level windows as X
// windows, shows their stores and turns X events about them into input.
//
// Three kinds of X window:
//   Framed -- a window with a caption. The window manager draws title bar and borders; the X
//             window shows the client area, so the model's own frame stays out of sight. The
//             model's window rectangle is the X window's rectangle grown by the model's frame.
//   Plain  -- no caption, managed: undecorated (the Motif hints say so), the whole window shown.
//   PopUp  -- a pop-up without caption that is owned or a tool window (drop-downs, hints, menus):
//             override-redirect, so no manager moves, frames or focuses it.
//
// The model is the authority. A change in the model (WindowChanged) is sent to the server; a
// change the server reports (a manager's move, iconify, close, focus) is turned into what a
// user's action would do in the model -- SetWindowPos, WM_SYSCOMMAND, SetActiveWindow -- whose
// WindowChanged then finds the X window already where the model wants it. Echoes of our own
// configure requests are recognised and dropped, so the two sides cannot chase each other.

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/region.h"
#include "platform/user/user.h"

#include "platform/backends/x11/x11connection.h"
#include "platform/backends/x11/x11keyboard.h"
#include "platform/backends/x11/x11present.h"

namespace X11Impl {

enum class TX11Kind { Framed, Plain, PopUp };

struct TX11Window {
  HWND Handle = nullptr;
  ::Window Id = 0;
  TX11Kind Kind = TX11Kind::Framed;
  // The X window's rectangle in root coordinates, as last requested or reported.
  RECT Geometry{};
  // The model's frame around the X window: the X window's top-left lies at (Frame.left,
  // Frame.top) of the window rectangle; right and bottom are the widths on those sides.
  RECT Frame{};
  bool MapRequested = false;
  bool Viewable = false;
  bool Iconic = false;
  bool Reparented = false;
  // Configure requests not yet reported back.
  std::deque<RECT> PendingConfigures;
  std::string Title;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND Owner = nullptr;
  bool Topmost = false;
  bool OpacitySet = false;
  unsigned long Opacity = 0;
  // Window shape: the model's window region (window coordinates) and the colour key.
  std::optional<TRegion> WindowRegion;
  bool KeyActive = false;
  uint32_t Key = 0;
  bool ShapeDirty = false;
  // The bounding shape last given to the server (none: the plain rectangle).
  std::optional<TRegion> AppliedShape;
  // Parts the server lost (X window coordinates), shown again from the store.
  TRegion Exposed;
  std::unique_ptr<TX11ImageBuffer> Image;

  int Width() const { return Geometry.right - Geometry.left; }
  int Height() const { return Geometry.bottom - Geometry.top; }
  POINT Origin() const { return POINT{Frame.left, Frame.top}; }
};

class TX11WindowDriver : public TWindowDriver {
 public:
  TX11WindowDriver(TX11Connection& Connection, TX11Keyboard& Keyboard, bool UseSharedMemory);
  ~TX11WindowDriver() override;

  // TWindowDriver: called by the model on the windows' thread.
  void WindowChanged(HWND TopLevel) override;
  void WindowDestroyed(HWND TopLevel) override;
  void Flush() override;
  void CursorChanged(HCURSOR Cursor) override;

  // The thread that owns the windows; calls from other threads are ignored.
  void SetOwnerThread(DWORD ThreadId) { FOwnerThread = ThreadId; }
  // A window the driver never mirrors (the back end's own message window).
  void SetHiddenWindow(HWND Window) { FHiddenWindow = Window; }
  // Asked for when Flush finds events waiting in Xlib's queue.
  void SetDrainRequest(std::function<void()> Request) { FRequestDrain = std::move(Request); }

  // An X event about one of our windows; false when it is not about one.
  bool HandleEvent(XEvent& Event);
  // After a batch of events: the focus left all our windows for another program.
  void AfterEvents();

  TX11Window* Find(HWND TopLevel);
  TX11Window* FindById(::Window Id);
  // Mirrors every visible top-level window of the owner thread (the back end started late).
  void MirrorExisting();
  // Destroys every X window (the back end stops).
  void DestroyEveryWindow();

 private:
  struct TModel;
  bool OnOwnerThread() const;
  TModel ReadModel(HWND TopLevel);
  void CreateXWindow(TX11Window& Window, const TModel& Model);
  void DestroyXWindow(TX11Window& Window);
  void SetManagerHints(TX11Window& Window, const TModel& Model);
  void SetInitialState(TX11Window& Window, int State);
  void SetTitle(TX11Window& Window, const std::string& Title);
  void SetTopmost(TX11Window& Window, bool Topmost);
  void SetOpacity(TX11Window& Window, const TModel& Model);
  void Present(TX11Window& Window);
  void UpdateShape(TX11Window& Window, const TPixelSurface& Surface);
  void SyncActivation();
  void SyncPointerGrab();
  void ApplyCursor(TX11Window& Window);

  // Events (x11events.cpp).
  void OnConfigure(TX11Window& Window, const XConfigureEvent& Event);
  void OnMap(TX11Window& Window);
  void OnUnmap(TX11Window& Window);
  void OnFocus(TX11Window& Window, const XFocusChangeEvent& Event);
  void OnClientMessage(TX11Window& Window, const XClientMessageEvent& Event);
  void OnPointer(TX11Window& Window, XEvent& Event);
  POINT ScreenPoint(TX11Window& Window, int X, int Y);
  bool WmSaysIconic(TX11Window& Window);

  TX11Connection& FConnection;
  TX11Keyboard& FKeyboard;
  bool FUseSharedMemory;
  DWORD FOwnerThread = 0;
  HWND FHiddenWindow = nullptr;
  std::function<void()> FRequestDrain;
  std::map<HWND, std::unique_ptr<TX11Window>> FWindows;
  std::map<::Window, TX11Window*> FById;
  GC FContext = nullptr;
  // Focus: the X window of ours that has it, whether it was just lost, and the model's active
  // window as last synchronised with the server.
  ::Window FFocus = 0;
  bool FFocusLost = false;
  HWND FSyncedActive = nullptr;
  ::Window FGrab = 0;
  bool FSharedPending = false;
  // The cursor the model set (from any thread) and the one the windows show.
  std::atomic<WORD> FWantedCursor{0};
  WORD FCursorId = 0;
  std::map<WORD, ::Cursor> FCursors;
};

}  // namespace X11Impl
