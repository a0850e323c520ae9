// The shared X connection: opening the display, atoms, the visual's pixel layout, error traps,
// waiting for one particular event.

#include <poll.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/rtl/clock.h"

#include "platform/backends/x11/x11connection.h"

#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

namespace X11Impl {

namespace {

// ---- error traps -----------------------------------------------------------------------------

struct TTrapState {
  int Depth = 0;
  int FirstError = 0;
};

std::mutex& TrapMutex() {
  static std::mutex Instance;
  return Instance;
}

std::map<Display*, TTrapState>& Traps() {
  static std::map<Display*, TTrapState> Instance;
  return Instance;
}

// Called by Xlib for every protocol error. It must not talk to the server; it only notes the
// error for a trap running on that display and drops the rest (a window destroyed by the window
// manager an instant before our request reached it is no reason to stop the program).
int OnProtocolError(Display* Source, XErrorEvent* Error) {
  try {
    std::lock_guard<std::mutex> Lock(TrapMutex());
    auto Found = Traps().find(Source);
    if (Found != Traps().end() && Found->second.FirstError == 0) Found->second.FirstError = Error->error_code;
  } catch (...) {
    // Called from inside Xlib: nothing may unwind through it.
  }
  return 0;
}

}  // namespace

void InstallErrorHandler() {
  static std::once_flag Once;
  std::call_once(Once, [] { XSetErrorHandler(OnProtocolError); });
}

TErrorTrap::TErrorTrap(Display* Target) : FDisplay(Target) {
  InstallErrorHandler();
  std::lock_guard<std::mutex> Lock(TrapMutex());
  TTrapState& State = Traps()[FDisplay];
  if (State.Depth++ == 0) State.FirstError = 0;
}

TErrorTrap::~TErrorTrap() {
  std::lock_guard<std::mutex> Lock(TrapMutex());
  auto Found = Traps().find(FDisplay);
  if (Found != Traps().end() && --Found->second.Depth == 0) Traps().erase(Found);
}

int TErrorTrap::Sync() {
  XSync(FDisplay, False);
  std::lock_guard<std::mutex> Lock(TrapMutex());
  auto Found = Traps().find(FDisplay);
  return Found == Traps().end() ? 0 : Found->second.FirstError;
}

std::vector<unsigned long> ReadLongProperty(Display* Target, ::Window Owner, Atom Property, Atom Type) {
  std::vector<unsigned long> Result;
  Atom ActualType = 0;
  int ActualFormat = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  if (XGetWindowProperty(Target, Owner, Property, 0, 65536, False, Type, &ActualType, &ActualFormat,
                         &Count, &After, &Data) == Success &&
      Data) {
    // Format-32 items arrive as longs, whatever the width of a long.
    if (ActualFormat == 32) {
      const long* Items = reinterpret_cast<const long*>(Data);
      // Xlib widens the 32-bit items with their sign; the values are unsigned.
      for (unsigned long I = 0; I < Count; ++I) Result.push_back(static_cast<unsigned long>(Items[I]) & 0xFFFFFFFFul);
    }
    XFree(Data);
  }
  return Result;
}

// ---- the connection --------------------------------------------------------------------------

std::unique_ptr<TX11Connection> TX11Connection::Open(const char* Name) {
  InstallErrorHandler();
  Display* Opened = XOpenDisplay(Name && *Name ? Name : nullptr);
  if (!Opened) return nullptr;
  std::unique_ptr<TX11Connection> Result(new TX11Connection());
  Result->FDisplay = Opened;
  Result->FScreen = DefaultScreen(Opened);
  Result->FRoot = RootWindow(Opened, Result->FScreen);
  Result->FVisual = DefaultVisual(Opened, Result->FScreen);
  Result->FDepth = DefaultDepth(Opened, Result->FScreen);
  Result->InternAtoms();
  Result->ReadPixelLayout();
  int Major = 0, Minor = 0;
  Bool Pixmaps = False;
  Result->FHasShm = XShmQueryVersion(Opened, &Major, &Minor, &Pixmaps) == True;
  int EventBase = 0, ErrorBase = 0;
  Result->FHasShape = XShapeQueryExtension(Opened, &EventBase, &ErrorBase) == True;

  XSetWindowAttributes Attributes{};
  Attributes.event_mask = PropertyChangeMask;
  Result->FHelper = XCreateWindow(Opened, Result->FRoot, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                  CopyFromParent, CWEventMask, &Attributes);
  return Result;
}

TX11Connection::~TX11Connection() {
  if (!FDisplay) return;
  if (!FLost && FHelper) XDestroyWindow(FDisplay, FHelper);
  XCloseDisplay(FDisplay);
}

int TX11Connection::Descriptor() const { return XConnectionNumber(FDisplay); }

void TX11Connection::ReportLost() {
  if (FLost) return;
  FLost = true;
  if (FOnLost) FOnLost();
}

bool TX11Connection::Alive() {
  if (FLost) return false;
  pollfd Watch{Descriptor(), POLLIN | POLLRDHUP, 0};
  if (poll(&Watch, 1, 0) > 0 && (Watch.revents & (POLLHUP | POLLERR | POLLRDHUP | POLLNVAL))) ReportLost();
  return !FLost;
}

void TX11Connection::InternAtoms() {
  struct TEntry {
    Atom* Target;
    const char* Name;
  };
  std::string TrayName = "_NET_SYSTEM_TRAY_S" + std::to_string(FScreen);
  const TEntry Entries[] = {
      {&FAtoms.WmProtocols, "WM_PROTOCOLS"},
      {&FAtoms.WmDeleteWindow, "WM_DELETE_WINDOW"},
      {&FAtoms.WmState, "WM_STATE"},
      {&FAtoms.WmChangeState, "WM_CHANGE_STATE"},
      {&FAtoms.Utf8String, "UTF8_STRING"},
      {&FAtoms.NetWmName, "_NET_WM_NAME"},
      {&FAtoms.NetWmIconName, "_NET_WM_ICON_NAME"},
      {&FAtoms.NetWmState, "_NET_WM_STATE"},
      {&FAtoms.NetWmStateAbove, "_NET_WM_STATE_ABOVE"},
      {&FAtoms.NetWmStateSkipTaskbar, "_NET_WM_STATE_SKIP_TASKBAR"},
      {&FAtoms.NetWmStateModal, "_NET_WM_STATE_MODAL"},
      {&FAtoms.NetWmStateHidden, "_NET_WM_STATE_HIDDEN"},
      {&FAtoms.NetWmWindowOpacity, "_NET_WM_WINDOW_OPACITY"},
      {&FAtoms.NetWmWindowType, "_NET_WM_WINDOW_TYPE"},
      {&FAtoms.NetWmWindowTypeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
      {&FAtoms.NetWmWindowTypeDialog, "_NET_WM_WINDOW_TYPE_DIALOG"},
      {&FAtoms.NetWmWindowTypeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
      {&FAtoms.NetWmWindowTypeDropdownMenu, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"},
      {&FAtoms.NetWmWindowTypePopupMenu, "_NET_WM_WINDOW_TYPE_POPUP_MENU"},
      {&FAtoms.NetWmWindowTypeTooltip, "_NET_WM_WINDOW_TYPE_TOOLTIP"},
      {&FAtoms.NetWmPid, "_NET_WM_PID"},
      {&FAtoms.NetActiveWindow, "_NET_ACTIVE_WINDOW"},
      {&FAtoms.NetSupported, "_NET_SUPPORTED"},
      {&FAtoms.NetSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK"},
      {&FAtoms.NetWorkarea, "_NET_WORKAREA"},
      {&FAtoms.MotifWmHints, "_MOTIF_WM_HINTS"},
      {&FAtoms.Clipboard, "CLIPBOARD"},
      {&FAtoms.Targets, "TARGETS"},
      {&FAtoms.Timestamp, "TIMESTAMP"},
      {&FAtoms.Text, "TEXT"},
      {&FAtoms.TextPlain, "text/plain"},
      {&FAtoms.TextPlainUtf8, "text/plain;charset=utf-8"},
      {&FAtoms.ImagePng, "image/png"},
      {&FAtoms.ImageBmp, "image/bmp"},
      {&FAtoms.Incr, "INCR"},
      {&FAtoms.Transfer, "KORCAM_SELECTION"},
      {&FAtoms.TimestampProbe, "KORCAM_TIME"},
      {&FAtoms.TraySelection, TrayName.c_str()},
      {&FAtoms.TrayOpcode, "_NET_SYSTEM_TRAY_OPCODE"},
      {&FAtoms.TrayVisual, "_NET_SYSTEM_TRAY_VISUAL"},
      {&FAtoms.Manager, "MANAGER"},
      {&FAtoms.XembedInfo, "_XEMBED_INFO"},
  };
  constexpr size_t Count = std::size(Entries);
  char* Names[Count];
  Atom Values[Count];
  for (size_t I = 0; I < Count; ++I) Names[I] = const_cast<char*>(Entries[I].Name);
  // One round trip for all of them.
  XInternAtoms(FDisplay, Names, int(Count), False, Values);
  for (size_t I = 0; I < Count; ++I) *Entries[I].Target = Values[I];
}

void TX11Connection::ReadPixelLayout() {
  FLayout.RedMask = FVisual->red_mask;
  FLayout.GreenMask = FVisual->green_mask;
  FLayout.BlueMask = FVisual->blue_mask;
  FLayout.ServerLsbFirst = ImageByteOrder(FDisplay) == LSBFirst;
  FLayout.BitsPerPixel = 0;
  int Count = 0;
  if (XPixmapFormatValues* Formats = XListPixmapFormats(FDisplay, &Count)) {
    for (int I = 0; I < Count; ++I)
      if (Formats[I].depth == FDepth) FLayout.BitsPerPixel = Formats[I].bits_per_pixel;
    XFree(Formats);
  }
  const uint32_t Probe = 1;
  bool HostLsbFirst = *reinterpret_cast<const uint8_t*>(&Probe) == 1;
  FLayout.Direct = FLayout.BitsPerPixel == 32 && FLayout.RedMask == 0xFF0000 &&
                   FLayout.GreenMask == 0x00FF00 && FLayout.BlueMask == 0x0000FF &&
                   FLayout.ServerLsbFirst == HostLsbFirst;
}

bool TX11Connection::WmSupports(Atom Feature) {
  if (FLost) return false;
  if (!FSupportedRead) {
    FSupportedRead = true;
    FSupported.reset();
    FSupportedCount = 0;
    // Only a manager that proves it runs (its check window names itself) counts.
    std::vector<unsigned long> Check = ReadLongProperty(FDisplay, FRoot, FAtoms.NetSupportingWmCheck, XA_WINDOW);
    if (!Check.empty()) {
      std::vector<unsigned long> List = ReadLongProperty(FDisplay, FRoot, FAtoms.NetSupported, XA_ATOM);
      FSupported.reset(new Atom[List.size() + 1]);
      for (size_t I = 0; I < List.size(); ++I) FSupported[I] = Atom(List[I]);
      FSupportedCount = List.size();
    }
  }
  for (unsigned long I = 0; I < FSupportedCount; ++I)
    if (FSupported[I] == Feature) return true;
  return false;
}

namespace {

struct TProbeMatch {
  ::Window Helper;
  Atom Property;
};

bool IsProbeEvent(const XEvent& Event, const void* Context) {
  const TProbeMatch* Match = static_cast<const TProbeMatch*>(Context);
  return Event.type == PropertyNotify && Event.xproperty.window == Match->Helper &&
         Event.xproperty.atom == Match->Property;
}

}  // namespace

Time TX11Connection::ServerTime() {
  if (FLastTime || FLost) return FLastTime;
  return FreshServerTime();
}

Time TX11Connection::FreshServerTime() {
  if (FLost) return FLastTime;
  // A zero-length append changes nothing but makes the server report its time.
  unsigned char Nothing = 0;
  XChangeProperty(FDisplay, FHelper, FAtoms.TimestampProbe, XA_STRING, 8, PropModeAppend, &Nothing, 0);
  TProbeMatch Match{FHelper, FAtoms.TimestampProbe};
  XEvent Event;
  if (WaitForEvent(IsProbeEvent, &Match, Event, 1000)) NoteTime(Event.xproperty.time);
  return FLastTime;
}

namespace {

struct TPredicateCall {
  TX11Connection::TEventMatch Match;
  const void* Context;
};

Bool CallPredicate(Display*, XEvent* Event, XPointer Argument) {
  const TPredicateCall* Call = reinterpret_cast<const TPredicateCall*>(Argument);
  return Call->Match(*Event, Call->Context) ? True : False;
}

}  // namespace

bool TX11Connection::WaitForEvent(TEventMatch Match, const void* Context, XEvent& Event,
                                  unsigned Milliseconds) {
  TPredicateCall Call{Match, Context};
  uint64_t Deadline = Clock().TickCount() + Milliseconds;
  // The clock service may be a manual one nobody advances; the slice count bounds the wait too.
  unsigned Slices = Milliseconds * 4 + 100;
  for (;;) {
    if (!Alive()) return false;
    XFlush(FDisplay);
    if (XCheckIfEvent(FDisplay, &Event, CallPredicate, reinterpret_cast<XPointer>(&Call))) return true;
    if (Slices-- == 0 || Clock().TickCount() >= Deadline) return false;
    pollfd Watch{Descriptor(), POLLIN, 0};
    if (poll(&Watch, 1, 5) > 0) XEventsQueued(FDisplay, QueuedAfterReading);
  }
}

}  // namespace X11Impl
