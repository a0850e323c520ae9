#pragma once
// Internal to the X11 back end: the connection to the X server that its parts share -- the
// display, its screen and visual, the atoms we use -- and a trap for protocol errors. This header
// includes Xlib, so only files of this folder (and their tests) include it, and each includes it
// after every header of ours: Xlib's macros (None, Bool, Status, True, Success, KeyPress...) must
// not meet our declarations.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace X11Impl {

// Atoms interned once per connection.
struct TAtoms {
  Atom WmProtocols = 0;
  Atom WmDeleteWindow = 0;
  Atom WmState = 0;
  Atom WmChangeState = 0;
  Atom Utf8String = 0;
  Atom NetWmName = 0;
  Atom NetWmIconName = 0;
  Atom NetWmState = 0;
  Atom NetWmStateAbove = 0;
  Atom NetWmStateSkipTaskbar = 0;
  Atom NetWmStateHidden = 0;
  Atom NetWmStateModal = 0;
  Atom NetWmWindowOpacity = 0;
  Atom NetWmWindowType = 0;
  Atom NetWmWindowTypeNormal = 0;
  Atom NetWmWindowTypeDialog = 0;
  Atom NetWmWindowTypeUtility = 0;
  Atom NetWmWindowTypeDropdownMenu = 0;
  Atom NetWmWindowTypePopupMenu = 0;
  Atom NetWmWindowTypeTooltip = 0;
  Atom NetWmPid = 0;
  Atom NetActiveWindow = 0;
  Atom NetSupported = 0;
  Atom NetSupportingWmCheck = 0;
  Atom NetWorkarea = 0;
  Atom MotifWmHints = 0;
  // Selections
  Atom Clipboard = 0;
  Atom Targets = 0;
  Atom Timestamp = 0;
  Atom Text = 0;
  Atom TextPlain = 0;
  Atom TextPlainUtf8 = 0;
  Atom ImagePng = 0;
  Atom ImageBmp = 0;
  Atom Incr = 0;
  Atom Transfer = 0;        // the property our selection requests land in
  Atom TimestampProbe = 0;  // a property touched to learn the server time
  // System tray
  Atom TraySelection = 0;  // _NET_SYSTEM_TRAY_S<screen>
  Atom TrayOpcode = 0;
  Atom TrayVisual = 0;
  Atom Manager = 0;
  Atom XembedInfo = 0;
};

class TX11Connection {
 public:
  // Null when the display cannot be opened.
  static std::unique_ptr<TX11Connection> Open(const char* Name);
  ~TX11Connection();
  TX11Connection(const TX11Connection&) = delete;
  TX11Connection& operator=(const TX11Connection&) = delete;

  Display* Get() const { return FDisplay; }
  int Screen() const { return FScreen; }
  ::Window Root() const { return FRoot; }
  Visual* XVisual() const { return FVisual; }
  int Depth() const { return FDepth; }
  const TAtoms& Atoms() const { return FAtoms; }
  bool HasShm() const { return FHasShm; }
  bool HasShape() const { return FHasShape; }
  int Descriptor() const;

  // A window manager that follows the extended hints runs, and whether it supports an atom of
  // _NET_SUPPORTED (read once, when asked first).
  bool WmSupports(Atom Feature);
  void ForgetWmSupport() { FSupportedRead = false; }

  // Once the connection broke, nothing may use the display any more (except closing it).
  bool Lost() const { return FLost; }
  // Marks the connection broken and tells the handler (once).
  void ReportLost();
  void SetLostHandler(std::function<void()> Handler) { FOnLost = std::move(Handler); }
  // Looks at the socket first: a server that went away is noticed here, before an Xlib call
  // would run into the broken connection. False once the connection is lost.
  bool Alive();

  // The server time of the last event that carried one, for selection ownership and focus.
  Time LastEventTime() const { return FLastTime; }
  void NoteTime(Time Value) {
    if (Value) FLastTime = Value;
  }
  // A current server time: the last event's, or one learned now from a property change.
  Time ServerTime();
  // The server's time now, learned from a property change (one round trip): for taking a
  // selection that another program took after our last event.
  Time FreshServerTime();

  // An unmapped window of our own: selection owner, input-method client, time probe.
  ::Window HelperWindow() const { return FHelper; }

  // Waits (up to Milliseconds of the clock service) for an event that Match accepts and takes it
  // out of the queue; other events stay queued for the event pump. False on a timeout or when
  // the connection breaks.
  using TEventMatch = bool (*)(const XEvent& Event, const void* Context);
  bool WaitForEvent(TEventMatch Match, const void* Context, XEvent& Event, unsigned Milliseconds);

  // The X visual's pixel layout, for presents.
  struct TPixelLayout {
    unsigned long RedMask = 0, GreenMask = 0, BlueMask = 0;
    int BitsPerPixel = 0;
    bool ServerLsbFirst = true;
    // 32 bits per pixel laid out as 0x00RRGGBB in our byte order: rows copy as they are.
    bool Direct = false;
  };
  const TPixelLayout& PixelLayout() const { return FLayout; }

 private:
  TX11Connection() = default;
  void InternAtoms();
  void ReadPixelLayout();

  Display* FDisplay = nullptr;
  int FScreen = 0;
  ::Window FRoot = 0;
  Visual* FVisual = nullptr;
  int FDepth = 0;
  TAtoms FAtoms;
  ::Window FHelper = 0;
  bool FHasShm = false;
  bool FHasShape = false;
  bool FLost = false;
  std::function<void()> FOnLost;
  Time FLastTime = 0;
  bool FSupportedRead = false;
  std::unique_ptr<Atom[]> FSupported;
  unsigned long FSupportedCount = 0;
  TPixelLayout FLayout;
};

// Collects the protocol errors of one display while it lives, instead of Xlib's default of
// printing and exiting. Errors of a display with no trap running are dropped: the back end
// asks only where a failure matters (attaching shared memory, a window that may be gone).
class TErrorTrap {
 public:
  explicit TErrorTrap(Display* Target);
  ~TErrorTrap();
  TErrorTrap(const TErrorTrap&) = delete;
  TErrorTrap& operator=(const TErrorTrap&) = delete;
  // Waits for the server to answer everything sent so far; the first error code seen (0: none).
  int Sync();

 private:
  Display* FDisplay;
};

// Installs the process-wide error handler behind TErrorTrap (idempotent).
void InstallErrorHandler();

// Reads a property of 32-bit items (CARDINAL, ATOM, WINDOW); empty when missing.
std::vector<unsigned long> ReadLongProperty(Display* Target, ::Window Owner, Atom Property, Atom Type);

}  // namespace X11Impl
