// Tray icons: docking with the tray manager, drawing the picture, the mouse as callback messages.

#include "platform/backends/x11/x11tray.h"

#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

#include "platform/backends/x11/x11parts.h"
#include "platform/backends/x11/x11present.h"
#include "platform/backends/x11/x11trayicons.h"

#include <X11/extensions/shape.h>

namespace X11Impl {

namespace {

constexpr long SystemTrayRequestDock = 0;
constexpr long XembedMapped = 1;
constexpr int DefaultIconSize = 24;

BOOL CollectWindow(HWND Window, LPARAM Param) {
  reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
  return TRUE;
}

// The picture scaled to Width x Height as premultiplied 0xAARRGGBB: each target pixel averages
// the source pixels it covers (the nearest one when enlarging).
std::vector<uint32_t> ScalePremultiplied(const TX11TrayIcon& Icon, int Width, int Height) {
  std::vector<uint32_t> Result(size_t(Width) * size_t(Height), 0);
  if (Icon.Width <= 0 || Icon.Height <= 0 || Icon.Pixels.size() < size_t(Icon.Width) * size_t(Icon.Height))
    return Result;
  for (int Y = 0; Y < Height; ++Y) {
    int Y0 = Y * Icon.Height / Height, Y1 = std::max(Y0 + 1, (Y + 1) * Icon.Height / Height);
    for (int X = 0; X < Width; ++X) {
      int X0 = X * Icon.Width / Width, X1 = std::max(X0 + 1, (X + 1) * Icon.Width / Width);
      uint64_t A = 0, R = 0, G = 0, B = 0, Count = 0;
      for (int SY = Y0; SY < Y1; ++SY)
        for (int SX = X0; SX < X1; ++SX) {
          uint32_t P = Icon.Pixels[size_t(SY) * size_t(Icon.Width) + size_t(SX)];
          uint32_t Alpha = P >> 24;
          A += Alpha;
          R += ((P >> 16) & 0xFF) * Alpha / 255;
          G += ((P >> 8) & 0xFF) * Alpha / 255;
          B += (P & 0xFF) * Alpha / 255;
          ++Count;
        }
      Result[size_t(Y) * size_t(Width) + size_t(X)] =
          uint32_t((A / Count) << 24 | (R / Count) << 16 | (G / Count) << 8 | (B / Count));
    }
  }
  return Result;
}

}  // namespace

TX11Tray::TX11Tray(TX11Connection& Connection) : FConnection(Connection) {
  // The manager announces itself to the root window's structure listeners.
  XWindowAttributes Attributes{};
  XGetWindowAttributes(FConnection.Get(), FConnection.Root(), &Attributes);
  XSelectInput(FConnection.Get(), FConnection.Root(), Attributes.your_event_mask | StructureNotifyMask);
}

TX11Tray::~TX11Tray() {
  for (auto& Entry : FIcons) DestroyIconWindow(*Entry);
  if (FArgbColormap && !FConnection.Lost()) XFreeColormap(FConnection.Get(), FArgbColormap);
}

::Window TX11Tray::Manager() {
  if (FConnection.Lost()) return 0;
  ::Window Owner = XGetSelectionOwner(FConnection.Get(), FConnection.Atoms().TraySelection);
  if (Owner != FManager) {
    FManager = Owner;
    // Its end (the panel quits) must reach us.
    if (Owner) XSelectInput(FConnection.Get(), Owner, StructureNotifyMask);
  }
  return FManager;
}

bool TX11Tray::Exists() { return Manager() != 0; }

TX11Tray::TEntry* TX11Tray::Find(HWND Window, UINT Id) {
  for (auto& Entry : FIcons)
    if (Entry->Icon.Window == Window && Entry->Icon.Id == Id) return Entry.get();
  return nullptr;
}

TX11Tray::TEntry* TX11Tray::FindById(::Window Id) {
  if (!Id) return nullptr;
  for (auto& Entry : FIcons)
    if (Entry->Id == Id) return Entry.get();
  return nullptr;
}

void TX11Tray::DestroyIconWindow(TEntry& Entry) {
  if (Entry.Context) XFreeGC(FConnection.Get(), Entry.Context);
  if (Entry.Id && !FConnection.Lost()) XDestroyWindow(FConnection.Get(), Entry.Id);
  Entry.Context = nullptr;
  Entry.Id = 0;
}

void TX11Tray::Dock(TEntry& Entry) {
  ::Window Tray = Manager();
  if (!Tray) return;
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  if (!Entry.Id) {
    // A tray that composites asks for windows with alpha through its visual property.
    Visual* Chosen = FConnection.XVisual();
    int Depth = FConnection.Depth();
    Colormap Colours = DefaultColormap(Server, FConnection.Screen());
    std::vector<unsigned long> VisualId = ReadLongProperty(Server, Tray, Atoms.TrayVisual, XA_VISUALID);
    if (!VisualId.empty()) {
      XVisualInfo Wanted{};
      Wanted.visualid = VisualId[0];
      int Count = 0;
      if (XVisualInfo* Found = XGetVisualInfo(Server, VisualIDMask, &Wanted, &Count)) {
        if (Count > 0 && Found[0].depth == 32) {
          if (!FArgbColormap) {
            FArgbVisual = Found[0].visual;
            FArgbColormap = XCreateColormap(Server, FConnection.Root(), FArgbVisual, AllocNone);
          }
          if (FArgbVisual == Found[0].visual) {
            Chosen = FArgbVisual;
            Depth = 32;
            Colours = FArgbColormap;
          }
        }
        XFree(Found);
      }
    }
    Entry.Argb = Depth == 32 && Chosen != FConnection.XVisual();
    XSetWindowAttributes Attributes{};
    Attributes.background_pixel = 0;
    Attributes.border_pixel = 0;
    Attributes.colormap = Colours;
    Attributes.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | ExposureMask |
                            StructureNotifyMask | EnterWindowMask | LeaveWindowMask;
    Entry.Width = Entry.Height = DefaultIconSize;
    Entry.Id = XCreateWindow(Server, FConnection.Root(), 0, 0, unsigned(Entry.Width), unsigned(Entry.Height), 0,
                             Depth, InputOutput, Chosen, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                             &Attributes);
    Entry.Context = XCreateGC(Server, Entry.Id, 0, nullptr);
    long Info[2] = {0, XembedMapped};
    XChangeProperty(Server, Entry.Id, Atoms.XembedInfo, Atoms.XembedInfo, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(Info), 2);
    XClassHint* Class = XAllocClassHint();
    char Name[] = "korcam", ClassName[] = "Korcam";
    Class->res_name = Name;
    Class->res_class = ClassName;
    XSetClassHint(Server, Entry.Id, Class);
    XFree(Class);
  }
  const std::string& Tip = Entry.Icon.Tip;
  for (Atom Property : {Atoms.NetWmName, Atom(XA_WM_NAME)})
    XChangeProperty(Server, Entry.Id, Property, Atoms.Utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Tip.data()), int(Tip.size()));
  XEvent Request{};
  Request.xclient.type = ClientMessage;
  Request.xclient.window = Tray;
  Request.xclient.message_type = Atoms.TrayOpcode;
  Request.xclient.format = 32;
  Request.xclient.data.l[0] = long(FConnection.ServerTime());
  Request.xclient.data.l[1] = SystemTrayRequestDock;
  Request.xclient.data.l[2] = long(Entry.Id);
  XSendEvent(Server, Tray, False, NoEventMask, &Request);
  XFlush(Server);
}

void TX11Tray::Draw(TEntry& Entry) {
  if (!Entry.Id || FConnection.Lost() || Entry.Width <= 0 || Entry.Height <= 0) return;
  Display* Server = FConnection.Get();
  std::vector<uint32_t> Pixels = ScalePremultiplied(Entry.Icon, Entry.Width, Entry.Height);
  if (Entry.Argb) {
    XImage* Image = XCreateImage(Server, FArgbVisual, 32, ZPixmap, 0, reinterpret_cast<char*>(Pixels.data()),
                                 unsigned(Entry.Width), unsigned(Entry.Height), 32, Entry.Width * 4);
    if (!Image) return;
    XPutImage(Server, Entry.Id, Entry.Context, Image, 0, 0, 0, 0, unsigned(Entry.Width), unsigned(Entry.Height));
    Image->data = nullptr;
    XDestroyImage(Image);
    return;
  }
  // Without alpha: the picture over the face colour, and the mostly transparent pixels cut away
  // so the panel shows through them.
  uint32_t Face = gdi::ColorRefToRgb(GetSysColor(COLOR_BTNFACE));
  std::vector<RECT> Kept;
  for (int Y = 0; Y < Entry.Height; ++Y) {
    for (int X = 0; X < Entry.Width; ++X) {
      uint32_t& P = Pixels[size_t(Y) * size_t(Entry.Width) + size_t(X)];
      uint32_t Alpha = P >> 24, Rest = 255 - Alpha;
      auto Mix = [&](int Shift) { return (((P >> Shift) & 0xFF) + ((Face >> Shift) & 0xFF) * Rest / 255) & 0xFF; };
      P = Mix(16) << 16 | Mix(8) << 8 | Mix(0);
      if (Alpha >= 128) Kept.push_back(RECT{X, Y, X + 1, Y + 1});
    }
  }
  TPixelSurface Surface;
  Surface.Width = Entry.Width;
  Surface.Height = Entry.Height;
  Surface.BitCount = 32;
  Surface.Top = reinterpret_cast<uint8_t*>(Pixels.data());
  Surface.Stride = Entry.Width * 4;
  TX11ImageBuffer Image(FConnection, false);
  Image.Put(Entry.Id, Entry.Context, Surface, POINT{0, 0}, Entry.Width, Entry.Height,
            TRegion(0, 0, Entry.Width, Entry.Height));
  TRegion Shape = TRegion::FromRects(Kept.data(), Kept.size());
  SetWindowShape(FConnection, Entry.Id, &Shape);
}

bool TX11Tray::Add(const TX11TrayIcon& Icon) {
  if (!Icon.Window || !Exists()) return false;
  TEntry* Entry = Find(Icon.Window, Icon.Id);
  if (!Entry) {
    FIcons.push_back(std::make_unique<TEntry>());
    Entry = FIcons.back().get();
  }
  Entry->Icon = Icon;
  Dock(*Entry);
  Draw(*Entry);
  return Entry->Id != 0;
}

bool TX11Tray::Modify(const TX11TrayIcon& Icon) {
  TEntry* Entry = Find(Icon.Window, Icon.Id);
  if (!Entry) return false;
  bool TipChanged = Entry->Icon.Tip != Icon.Tip;
  Entry->Icon = Icon;
  if (Entry->Id && TipChanged && !FConnection.Lost()) {
    const TAtoms& Atoms = FConnection.Atoms();
    for (Atom Property : {Atoms.NetWmName, Atom(XA_WM_NAME)})
      XChangeProperty(FConnection.Get(), Entry->Id, Property, Atoms.Utf8String, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(Icon.Tip.data()), int(Icon.Tip.size()));
  }
  Draw(*Entry);
  return true;
}

bool TX11Tray::Remove(HWND Window, UINT Id) {
  for (auto It = FIcons.begin(); It != FIcons.end(); ++It) {
    if ((*It)->Icon.Window != Window || (*It)->Icon.Id != Id) continue;
    DestroyIconWindow(**It);
    FIcons.erase(It);
    return true;
  }
  return false;
}

void TX11Tray::RemoveWindowIcons(HWND Window) {
  for (auto It = FIcons.begin(); It != FIcons.end();) {
    if ((*It)->Icon.Window == Window) {
      DestroyIconWindow(**It);
      It = FIcons.erase(It);
    } else {
      ++It;
    }
  }
}

void TX11Tray::Notify(TEntry& Entry, UINT MouseMessage) {
  if (Entry.Icon.CallbackMessage)
    PostMessage(Entry.Icon.Window, Entry.Icon.CallbackMessage, WPARAM(Entry.Icon.Id), LPARAM(MouseMessage));
}

void TX11Tray::OnButton(TEntry& Entry, const XButtonEvent& Event) {
  FConnection.NoteTime(Event.time);
  // The program shows its tray menu where the mouse is.
  InjectMouseMove(Event.x_root, Event.y_root);
  UINT Down, Up;
  switch (Event.button) {
    case Button1: Down = WM_LBUTTONDOWN, Up = WM_LBUTTONUP; break;
    case Button2: Down = WM_MBUTTONDOWN, Up = WM_MBUTTONUP; break;
    case Button3: Down = WM_RBUTTONDOWN, Up = WM_RBUTTONUP; break;
    default: return;
  }
  if (Event.type == ButtonRelease) {
    Notify(Entry, Up);
    return;
  }
  // A second press soon enough is a double click (the message is the button's DBLCLK).
  bool Double = Entry.LastButton == Event.button && Event.time - Entry.LastPress <= GetDoubleClickTime();
  Entry.LastButton = Double ? 0 : Event.button;
  Entry.LastPress = Event.time;
  Notify(Entry, Double ? Down + 2 : Down);
}

bool TX11Tray::HandleEvent(XEvent& Event) {
  const TAtoms& Atoms = FConnection.Atoms();
  if (Event.type == ClientMessage && Event.xclient.window == FConnection.Root() &&
      Event.xclient.message_type == Atoms.Manager && Atom(Event.xclient.data.l[1]) == Atoms.TraySelection) {
    // A tray manager started: what was docked before docks again, and the program hears of it.
    FManager = 0;
    for (auto& Entry : FIcons) Dock(*Entry);
    UINT Created = RegisterWindowMessageA("TaskbarCreated");
    std::vector<HWND> Windows;
    EnumThreadWindows(FOwnerThread, CollectWindow, reinterpret_cast<LPARAM>(&Windows));
    for (HWND Window : Windows) PostMessage(Window, Created, 0, 0);
    return true;
  }
  if (Event.type == DestroyNotify && FManager && Event.xdestroywindow.window == FManager) {
    FManager = 0;
    return true;
  }
  TEntry* Entry = FindById(Event.xany.window);
  if (!Entry) return false;
  switch (Event.type) {
    case Expose:
      if (Event.xexpose.count == 0) Draw(*Entry);
      break;
    case ConfigureNotify:
      if (Event.xconfigure.width != Entry->Width || Event.xconfigure.height != Entry->Height) {
        Entry->Width = Event.xconfigure.width;
        Entry->Height = Event.xconfigure.height;
        Draw(*Entry);
      }
      break;
    case DestroyNotify:
      // Gone with the tray that held it: docking again makes a new one.
      if (Entry->Context) XFreeGC(FConnection.Get(), Entry->Context);
      Entry->Context = nullptr;
      Entry->Id = 0;
      break;
    case ButtonPress:
    case ButtonRelease: OnButton(*Entry, Event.xbutton); break;
    case MotionNotify:
      FConnection.NoteTime(Event.xmotion.time);
      Notify(*Entry, WM_MOUSEMOVE);
      break;
    default: break;
  }
  return true;
}

}  // namespace X11Impl

// ---- the public functions --------------------------------------------------------------------

using namespace X11Impl;

bool X11TrayExists() {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Tray->Exists();
}

bool X11TrayAddIcon(const TX11TrayIcon& Icon) {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Tray->Add(Icon);
}

bool X11TrayModifyIcon(const TX11TrayIcon& Icon) {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Tray->Modify(Icon);
}

bool X11TrayRemoveIcon(HWND Window, UINT Id) {
  const TX11Parts* Parts = RunningParts();
  return Parts && Parts->Tray->Remove(Window, Id);
}
