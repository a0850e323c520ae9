// The window driver: top-level windows of the model mirrored as X windows, and their presents.

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

#include "platform/backends/x11/x11windows.h"

#include <X11/cursorfont.h>

namespace X11Impl {

namespace {

constexpr long WindowEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | EnterWindowMask | LeaveWindowMask | ExposureMask |
                              StructureNotifyMask | FocusChangeMask | PropertyChangeMask;

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr unsigned long MotifFunctions = 1;
constexpr unsigned long MotifDecorations = 2;
constexpr unsigned long MotifFunctionResize = 2, MotifFunctionMove = 4, MotifFunctionMinimize = 8,
                        MotifFunctionMaximize = 16, MotifFunctionClose = 32;
constexpr unsigned long MotifDecorBorder = 2, MotifDecorResize = 4, MotifDecorTitle = 8, MotifDecorMenu = 16,
                        MotifDecorMinimize = 32, MotifDecorMaximize = 64;

// _NET_WM_STATE client message actions.
constexpr long StateRemove = 0, StateAdd = 1;

bool SameRect(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

unsigned int FontCursorOf(WORD Id) {
  switch (Id) {
    case 32512: return XC_left_ptr;
    case 32513: return XC_xterm;
    case 32514: return XC_watch;
    case 32515: return XC_crosshair;
    case 32516: return XC_sb_up_arrow;
    case 32640: return XC_fleur;
    case 32641: return XC_icon;
    case 32642: return XC_bottom_right_corner;
    case 32643: return XC_bottom_left_corner;
    case 32644: return XC_sb_h_double_arrow;
    case 32645: return XC_sb_v_double_arrow;
    case 32646: return XC_fleur;
    case 32648: return XC_X_cursor;
    case 32649: return XC_hand2;
    case 32650: return XC_watch;
    case 32651: return XC_question_arrow;
    default: return ~0u;
  }
}

BOOL CollectWindow(HWND Window, LPARAM Param) {
  reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
  return TRUE;
}

}  // namespace

// What the model says about a top-level window, read once per change.
struct TX11WindowDriver::TModel {
  bool Valid = false;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  bool Visible = false;
  bool Iconic = false;
  RECT Window{};  // screen coordinates
  RECT Client{};  // screen coordinates
  HWND Owner = nullptr;
  std::string Title;
  COLORREF Key = 0;
  BYTE Alpha = 255;
  DWORD LayeredFlags = 0;
  std::optional<TRegion> Region;

  TX11Kind Kind() const {
    if ((Style & WS_CAPTION) == WS_CAPTION) return TX11Kind::Framed;
    if ((Style & WS_POPUP) && !(ExStyle & WS_EX_APPWINDOW) && (Owner || (ExStyle & WS_EX_TOOLWINDOW)))
      return TX11Kind::PopUp;
    return TX11Kind::Plain;
  }
  bool Layered() const { return (ExStyle & WS_EX_LAYERED) != 0; }
};

TX11WindowDriver::TX11WindowDriver(TX11Connection& Connection, TX11Keyboard& Keyboard, bool UseSharedMemory)
    : FConnection(Connection), FKeyboard(Keyboard), FUseSharedMemory(UseSharedMemory) {
  FContext = XCreateGC(FConnection.Get(), FConnection.Root(), 0, nullptr);
  XSetGraphicsExposures(FConnection.Get(), FContext, False);
}

TX11WindowDriver::~TX11WindowDriver() {
  DestroyEveryWindow();
  if (!FConnection.Lost())
    for (auto& Entry : FCursors) XFreeCursor(FConnection.Get(), Entry.second);
  // Also on a broken connection: the request goes nowhere, but Xlib frees its own record.
  if (FContext) XFreeGC(FConnection.Get(), FContext);
}

bool TX11WindowDriver::OnOwnerThread() const { return FOwnerThread == GetCurrentThreadId(); }

TX11Window* TX11WindowDriver::Find(HWND TopLevel) {
  auto Found = FWindows.find(TopLevel);
  return Found == FWindows.end() ? nullptr : Found->second.get();
}

TX11Window* TX11WindowDriver::FindById(::Window Id) {
  auto Found = FById.find(Id);
  return Found == FById.end() ? nullptr : Found->second;
}

TX11WindowDriver::TModel TX11WindowDriver::ReadModel(HWND TopLevel) {
  TModel Model;
  if (!IsWindow(TopLevel)) return Model;
  Model.Valid = true;
  Model.Style = DWORD(GetWindowLongA(TopLevel, GWL_STYLE));
  Model.ExStyle = DWORD(GetWindowLongA(TopLevel, GWL_EXSTYLE));
  Model.Visible = IsWindowVisible(TopLevel) != FALSE;
  Model.Iconic = IsIconic(TopLevel) != FALSE;
  GetWindowRect(TopLevel, &Model.Window);
  RECT Client{};
  GetClientRect(TopLevel, &Client);
  POINT Corner{0, 0};
  ClientToScreen(TopLevel, &Corner);
  Model.Client = RECT{Corner.x, Corner.y, Corner.x + Client.right, Corner.y + Client.bottom};
  Model.Owner = GetWindow(TopLevel, GW_OWNER);
  Model.Title = GetWindowTextString(TopLevel);
  GetLayeredWindowAttributes(TopLevel, &Model.Key, &Model.Alpha, &Model.LayeredFlags);
  if (HRGN Probe = CreateRectRgn(0, 0, 0, 0)) {
    if (GetWindowRgn(TopLevel, Probe) != ERROR)
      if (TRegion* Region = GdiGetRegion(Probe)) Model.Region = *Region;
    DeleteObject(Probe);
  }
  return Model;
}

void TX11WindowDriver::WindowChanged(HWND TopLevel) {
  if (!OnOwnerThread() || FConnection.Lost() || TopLevel == FHiddenWindow) return;
  TModel Model = ReadModel(TopLevel);
  if (!Model.Valid) return;
  TX11Kind Kind = Model.Kind();
  TX11Window* Window = Find(TopLevel);
  if (!Window) {
    // A window gets its X window when it is first shown.
    if (!Model.Visible) return;
    auto Record = std::make_unique<TX11Window>();
    Record->Handle = TopLevel;
    Record->Kind = Kind;
    Window = Record.get();
    FWindows[TopLevel] = std::move(Record);
  } else if (Window->Kind != Kind) {
    // Override-redirect cannot change on a mapped window: a new X window takes over.
    DestroyXWindow(*Window);
    Window->Kind = Kind;
  }
  Display* Server = FConnection.Get();

  RECT Frame{0, 0, 0, 0};
  RECT Wanted = Model.Window;
  if (Kind == TX11Kind::Framed) {
    Frame = RECT{Model.Client.left - Model.Window.left, Model.Client.top - Model.Window.top,
                 Model.Window.right - Model.Client.right, Model.Window.bottom - Model.Client.bottom};
    Wanted = Model.Client;
  }
  // X windows are at least one pixel in each direction.
  Wanted.right = std::max(Wanted.right, Wanted.left + 1);
  Wanted.bottom = std::max(Wanted.bottom, Wanted.top + 1);
  bool Restyled = Window->Style != Model.Style || Window->ExStyle != Model.ExStyle || Window->Owner != Model.Owner;
  Window->Style = Model.Style;
  Window->ExStyle = Model.ExStyle;
  Window->Owner = Model.Owner;
  Window->Frame = Frame;

  if (!Window->Id) {
    Window->Geometry = Wanted;
    CreateXWindow(*Window, Model);
  } else {
    // A minimised window sits far off screen in the model; its X window keeps its place.
    if (!Model.Iconic && !SameRect(Wanted, Window->Geometry)) {
      bool Resized = Wanted.right - Wanted.left != Window->Width() || Wanted.bottom - Wanted.top != Window->Height();
      Window->Geometry = Wanted;
      // The size of a window the user may not resize is pinned in the hints: they change first,
      // or the manager refuses the new size.
      if (Resized && Kind != TX11Kind::PopUp && !(Model.Style & WS_THICKFRAME)) {
        SetManagerHints(*Window, Model);
        Restyled = false;
      }
      Window->PendingConfigures.push_back(Wanted);
      if (Window->PendingConfigures.size() > 32) Window->PendingConfigures.pop_front();
      XMoveResizeWindow(Server, Window->Id, Wanted.left, Wanted.top, unsigned(Wanted.right - Wanted.left),
                        unsigned(Wanted.bottom - Wanted.top));
    }
    if (Restyled) SetManagerHints(*Window, Model);
    if (Model.Title != Window->Title) SetTitle(*Window, Model.Title);
    bool Topmost = (Model.ExStyle & WS_EX_TOPMOST) != 0;
    if (Topmost != Window->Topmost) SetTopmost(*Window, Topmost);
  }
  SetOpacity(*Window, Model);

  bool KeyActive = Model.Layered() && (Model.LayeredFlags & LWA_COLORKEY);
  uint32_t Key = gdi::ColorRefToRgb(Model.Key & 0xFFFFFF);
  bool RegionChanged = Model.Region.has_value() != Window->WindowRegion.has_value() ||
                       (Model.Region && !(*Model.Region == *Window->WindowRegion));
  if (RegionChanged || KeyActive != Window->KeyActive || (KeyActive && Key != Window->Key)) {
    Window->WindowRegion = Model.Region;
    Window->KeyActive = KeyActive;
    Window->Key = Key;
    Window->ShapeDirty = true;
  }

  if (Model.Visible && !Model.Iconic) {
    if (!Window->MapRequested || Window->Iconic) {
      // Hints of a window about to be mapped are read by the manager once, at the map.
      if (!Window->MapRequested) {
        SetInitialState(*Window, NormalState);
        SetManagerHints(*Window, Model);
      }
      Window->Iconic = false;
      Window->MapRequested = true;
      XMapRaised(Server, Window->Id);
    }
  } else if (Model.Visible) {
    if (Kind == TX11Kind::PopUp) {
      if (Window->MapRequested) XUnmapWindow(Server, Window->Id);
      Window->MapRequested = false;
    } else if (!Window->Iconic) {
      Window->Iconic = true;
      if (!Window->MapRequested) {
        // Shown minimised: mapped straight into the iconic state.
        SetInitialState(*Window, IconicState);
        SetManagerHints(*Window, Model);
        Window->MapRequested = true;
        XMapWindow(Server, Window->Id);
      } else {
        XIconifyWindow(Server, Window->Id, FConnection.Screen());
      }
    }
  } else if (Window->MapRequested) {
    Window->MapRequested = false;
    Window->Iconic = false;
    // A hidden window (a hint between two showings) keeps no image memory.
    Window->Image.reset();
    if (Kind == TX11Kind::PopUp) {
      XUnmapWindow(Server, Window->Id);
    } else {
      XWithdrawWindow(Server, Window->Id, FConnection.Screen());
    }
  }
}

void TX11WindowDriver::CreateXWindow(TX11Window& Window, const TModel& Model) {
  Display* Server = FConnection.Get();
  XSetWindowAttributes Attributes{};
  // No background: the server never clears what the store is about to show.
  Attributes.background_pixmap = 0;
  Attributes.border_pixel = 0;
  Attributes.bit_gravity = NorthWestGravity;
  Attributes.override_redirect = Window.Kind == TX11Kind::PopUp ? True : False;
  Attributes.save_under = Window.Kind == TX11Kind::PopUp ? True : False;
  Attributes.event_mask = WindowEvents;
  Attributes.colormap = DefaultColormap(Server, FConnection.Screen());
  const RECT& G = Window.Geometry;
  Window.Id = XCreateWindow(Server, FConnection.Root(), G.left, G.top, unsigned(G.right - G.left),
                            unsigned(G.bottom - G.top), 0, FConnection.Depth(), InputOutput,
                            FConnection.XVisual(),
                            CWBackPixmap | CWBorderPixel | CWBitGravity | CWOverrideRedirect | CWSaveUnder |
                                CWEventMask | CWColormap,
                            &Attributes);
  FById[Window.Id] = &Window;
  Atom Delete = FConnection.Atoms().WmDeleteWindow;
  XSetWMProtocols(Server, Window.Id, &Delete, 1);
  XClassHint* Class = XAllocClassHint();
  char Name[] = "korcam", ClassName[] = "Korcam";
  Class->res_name = Name;
  Class->res_class = ClassName;
  XSetClassHint(Server, Window.Id, Class);
  XFree(Class);
  long Pid = long(getpid());
  XChangeProperty(Server, Window.Id, FConnection.Atoms().NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Pid), 1);
  Window.Topmost = (Model.ExStyle & WS_EX_TOPMOST) != 0;
  Window.Title.clear();
  SetTitle(Window, Model.Title);
  SetManagerHints(Window, Model);
  ApplyCursor(Window);
  Window.ShapeDirty = Window.WindowRegion.has_value() || Window.KeyActive;
}

void TX11WindowDriver::DestroyXWindow(TX11Window& Window) {
  if (!Window.Id) return;
  if (FGrab == Window.Id) {
    if (!FConnection.Lost()) XUngrabPointer(FConnection.Get(), CurrentTime);
    FGrab = 0;
  }
  if (FFocus == Window.Id) FFocus = 0;
  Window.Image.reset();
  if (!FConnection.Lost()) XDestroyWindow(FConnection.Get(), Window.Id);
  FById.erase(Window.Id);
  Window.Id = 0;
  Window.MapRequested = Window.Viewable = Window.Iconic = Window.Reparented = false;
  Window.PendingConfigures.clear();
  Window.AppliedShape.reset();
  Window.OpacitySet = false;
  Window.Title.clear();
  Window.Exposed.Clear();
}

void TX11WindowDriver::WindowDestroyed(HWND TopLevel) {
  if (!OnOwnerThread()) return;
  TX11Window* Window = Find(TopLevel);
  if (!Window) return;
  DestroyXWindow(*Window);
  if (FSyncedActive == TopLevel) FSyncedActive = nullptr;
  FWindows.erase(TopLevel);
}

void TX11WindowDriver::DestroyEveryWindow() {
  for (auto& Entry : FWindows) DestroyXWindow(*Entry.second);
  FWindows.clear();
  FById.clear();
  FSyncedActive = nullptr;
}

void TX11WindowDriver::MirrorExisting() {
  std::vector<HWND> Windows;
  EnumThreadWindows(FOwnerThread, CollectWindow, reinterpret_cast<LPARAM>(&Windows));
  for (HWND Window : Windows) WindowChanged(Window);
}

// ---- window-manager hints --------------------------------------------------------------------

void TX11WindowDriver::SetManagerHints(TX11Window& Window, const TModel& Model) {
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  TX11Window* Owner = Model.Owner ? Find(Model.Owner) : nullptr;
  if (Owner && Owner->Id) {
    XSetTransientForHint(Server, Window.Id, Owner->Id);
  } else {
    XDeleteProperty(Server, Window.Id, XA_WM_TRANSIENT_FOR);
  }
  Atom Type = Atoms.NetWmWindowTypeNormal;
  if (Window.Kind == TX11Kind::PopUp) {
    Type = Atoms.NetWmWindowTypeDropdownMenu;
  } else if (Model.ExStyle & WS_EX_TOOLWINDOW) {
    Type = Atoms.NetWmWindowTypeUtility;
  } else if (Model.Owner) {
    Type = Atoms.NetWmWindowTypeDialog;
  }
  XChangeProperty(Server, Window.Id, Atoms.NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Type), 1);
  if (Window.Kind == TX11Kind::PopUp) return;

  XSizeHints* Size = XAllocSizeHints();
  Size->flags = PPosition | USPosition | PSize | USSize | PWinGravity;
  Size->x = Window.Geometry.left;
  Size->y = Window.Geometry.top;
  Size->width = Window.Width();
  Size->height = Window.Height();
  // The position we give is the client's own, whatever frame the manager adds.
  Size->win_gravity = StaticGravity;
  if (!(Model.Style & WS_THICKFRAME)) {
    Size->flags |= PMinSize | PMaxSize;
    Size->min_width = Size->max_width = Window.Width();
    Size->min_height = Size->max_height = Window.Height();
  }
  XSetWMNormalHints(Server, Window.Id, Size);
  XFree(Size);

  long Motif[5] = {0, 0, 0, 0, 0};
  if (Window.Kind == TX11Kind::Plain) {
    Motif[0] = long(MotifDecorations);
  } else {
    Motif[0] = long(MotifFunctions | MotifDecorations);
    unsigned long Functions = MotifFunctionMove | MotifFunctionClose;
    unsigned long Decorations = MotifDecorBorder | MotifDecorTitle | MotifDecorMenu;
    if (Model.Style & WS_THICKFRAME) {
      Functions |= MotifFunctionResize;
      Decorations |= MotifDecorResize;
    }
    if (Model.Style & WS_MINIMIZEBOX) {
      Functions |= MotifFunctionMinimize;
      Decorations |= MotifDecorMinimize;
    }
    if (Model.Style & WS_MAXIMIZEBOX) {
      Functions |= MotifFunctionMaximize;
      Decorations |= MotifDecorMaximize;
    }
    Motif[1] = long(Functions);
    Motif[2] = long(Decorations);
  }
  XChangeProperty(Server, Window.Id, Atoms.MotifWmHints, Atoms.MotifWmHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(Motif), 5);

  // The initial state list; once mapped under a manager, only the manager writes it.
  if (!Window.MapRequested || !FConnection.WmSupports(Atoms.NetWmState)) {
    long States[3];
    int Count = 0;
    if (Window.Topmost) States[Count++] = long(Atoms.NetWmStateAbove);
    if ((Model.ExStyle & WS_EX_TOOLWINDOW) || (Model.Owner && !(Model.ExStyle & WS_EX_APPWINDOW)))
      States[Count++] = long(Atoms.NetWmStateSkipTaskbar);
    // A dialog shown while its owner takes no input is modal: the manager keeps it above the
    // owner and gives it the focus when the owner is clicked.
    if (Model.Owner && !IsWindowEnabled(Model.Owner)) States[Count++] = long(Atoms.NetWmStateModal);
    XChangeProperty(Server, Window.Id, Atoms.NetWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(States), Count);
  }
}

void TX11WindowDriver::SetInitialState(TX11Window& Window, int State) {
  XWMHints* Hints = XAllocWMHints();
  Hints->flags = InputHint | StateHint | WindowGroupHint;
  Hints->input = True;
  Hints->initial_state = State;
  Hints->window_group = FConnection.HelperWindow();
  XSetWMHints(FConnection.Get(), Window.Id, Hints);
  XFree(Hints);
}

void TX11WindowDriver::SetTitle(TX11Window& Window, const std::string& Title) {
  Window.Title = Title;
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  const unsigned char* Bytes = reinterpret_cast<const unsigned char*>(Title.data());
  for (Atom Property : {Atoms.NetWmName, Atoms.NetWmIconName, Atom(XA_WM_NAME)})
    XChangeProperty(Server, Window.Id, Property, Atoms.Utf8String, 8, PropModeReplace, Bytes, int(Title.size()));
}

void TX11WindowDriver::SetTopmost(TX11Window& Window, bool Topmost) {
  Window.Topmost = Topmost;
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  if (Window.Kind == TX11Kind::PopUp) {
    if (Topmost) XRaiseWindow(Server, Window.Id);
    return;
  }
  if (Window.MapRequested && FConnection.WmSupports(Atoms.NetWmState)) {
    XEvent Event{};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Window.Id;
    Event.xclient.message_type = Atoms.NetWmState;
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = Topmost ? StateAdd : StateRemove;
    Event.xclient.data.l[1] = long(Atoms.NetWmStateAbove);
    Event.xclient.data.l[3] = 1;  // a normal application asks
    XSendEvent(Server, FConnection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &Event);
    return;
  }
  // No manager to ask (or not mapped yet): the property is ours to write.
  std::vector<unsigned long> Current = ReadLongProperty(Server, Window.Id, Atoms.NetWmState, XA_ATOM);
  std::vector<long> States;
  for (unsigned long State : Current)
    if (State != Atoms.NetWmStateAbove) States.push_back(long(State));
  if (Topmost) States.push_back(long(Atoms.NetWmStateAbove));
  XChangeProperty(Server, Window.Id, Atoms.NetWmState, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(States.data()), int(States.size()));
  if (Topmost && Window.MapRequested) XRaiseWindow(Server, Window.Id);
}

void TX11WindowDriver::SetOpacity(TX11Window& Window, const TModel& Model) {
  bool Wanted = Model.Layered() && (Model.LayeredFlags & LWA_ALPHA) && Model.Alpha < 255;
  Display* Server = FConnection.Get();
  Atom Property = FConnection.Atoms().NetWmWindowOpacity;
  if (!Wanted) {
    if (Window.OpacitySet) XDeleteProperty(Server, Window.Id, Property);
    Window.OpacitySet = false;
    return;
  }
  // The compositor's scale: 0 transparent .. 0xFFFFFFFF opaque.
  unsigned long Opacity = static_cast<unsigned long>(uint64_t(Model.Alpha) * 0xFFFFFFFFull / 255);
  if (Window.OpacitySet && Window.Opacity == Opacity) return;
  long Value = long(Opacity);
  XChangeProperty(Server, Window.Id, Property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&Value), 1);
  Window.OpacitySet = true;
  Window.Opacity = Opacity;
}

// ---- presents --------------------------------------------------------------------------------

void TX11WindowDriver::UpdateShape(TX11Window& Window, const TPixelSurface& Surface) {
  POINT Origin = Window.Origin();
  std::optional<TRegion> Shape;
  if (Window.WindowRegion) {
    Shape = *Window.WindowRegion;
    Shape->Offset(-Origin.x, -Origin.y);
  }
  if (Window.KeyActive) {
    // The key colour's pixels are holes; without painted pixels there is nothing to cut yet.
    if (!Surface.IsValid()) return;
    TRegion Kept = RegionWithoutColor(Surface, Origin, Window.Width(), Window.Height(), Window.Key);
    if (Shape) {
      Shape->Intersect(Kept);
    } else {
      Shape = std::move(Kept);
    }
  }
  Window.ShapeDirty = false;
  // A colour key is looked at after every paint; the server hears only of real changes.
  if (Shape.has_value() == Window.AppliedShape.has_value() && (!Shape || *Shape == *Window.AppliedShape)) return;
  SetWindowShape(FConnection, Window.Id, Shape ? &*Shape : nullptr);
  Window.AppliedShape = std::move(Shape);
}

void TX11WindowDriver::Present(TX11Window& Window) {
  TRegion Dirty = TakeDirtyRegion(Window.Handle);
  if (!Window.Id) return;
  TPixelSurface Surface = GetWindowSurface(Window.Handle);
  if (Window.KeyActive && !Dirty.IsEmpty()) Window.ShapeDirty = true;
  if (Window.ShapeDirty) UpdateShape(Window, Surface);
  // What an unmapped window misses is shown whole when it is exposed after mapping.
  if (!Window.Viewable || !Surface.IsValid()) return;
  POINT Origin = Window.Origin();
  Dirty.Offset(-Origin.x, -Origin.y);
  Dirty.Union(Window.Exposed);
  Window.Exposed.Clear();
  Dirty.Intersect(RECT{0, 0, Window.Width(), Window.Height()});
  if (Dirty.IsEmpty()) return;
  if (!Window.Image) Window.Image = std::make_unique<TX11ImageBuffer>(FConnection, FUseSharedMemory);
  if (Window.Image->Put(Window.Id, FContext, Surface, Origin, Window.Width(), Window.Height(), Dirty))
    FSharedPending = true;
}

void TX11WindowDriver::Flush() {
  if (!OnOwnerThread() || !FConnection.Alive()) return;
  if (FCursorId != FWantedCursor.load()) {
    FCursorId = FWantedCursor.load();
    for (auto& Entry : FWindows)
      if (Entry.second->Id) ApplyCursor(*Entry.second);
  }
  SyncActivation();
  SyncPointerGrab();
  FSharedPending = false;
  for (auto& Entry : FWindows) Present(*Entry.second);
  if (FConnection.Lost()) return;
  // Shared memory is read by the server later: wait for it before the stores are copied again.
  if (FSharedPending) {
    XSync(FConnection.Get(), False);
  } else {
    XFlush(FConnection.Get());
  }
  if (!FConnection.Lost() && XPending(FConnection.Get()) > 0 && FRequestDrain) FRequestDrain();
}

// ---- focus, grabs, cursors -------------------------------------------------------------------

void TX11WindowDriver::SyncActivation() {
  HWND Active = GetActiveWindow();
  if (Active == FSyncedActive) return;
  TX11Window* Window = Active ? Find(Active) : nullptr;
  // Not shown yet: ask again once the server has mapped it.
  if (Window && Window->Id && Window->MapRequested && !Window->Viewable) return;
  FSyncedActive = Active;
  if (!Window || !Window->Id || Window->Kind == TX11Kind::PopUp || FFocus == Window->Id) return;
  Display* Server = FConnection.Get();
  const TAtoms& Atoms = FConnection.Atoms();
  if (FConnection.WmSupports(Atoms.NetActiveWindow)) {
    XEvent Event{};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Window->Id;
    Event.xclient.message_type = Atoms.NetActiveWindow;
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = 1;  // a normal application asks
    Event.xclient.data.l[1] = long(FConnection.LastEventTime());
    Event.xclient.data.l[2] = long(FFocus);
    XSendEvent(Server, FConnection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &Event);
    return;
  }
  XRaiseWindow(Server, Window->Id);
  XSetInputFocus(Server, Window->Id, RevertToParent, CurrentTime);
}

void TX11WindowDriver::SyncPointerGrab() {
  // A pop-up holding the capture (an open drop-down or menu) must hear of a click anywhere, also
  // on another program's window, to close: the pointer is grabbed for it meanwhile.
  ::Window Wanted = 0;
  if (HWND Capture = GetCapture()) {
    HWND Root = GetAncestor(Capture, GA_ROOT);
    TX11Window* Window = Root ? Find(Root) : nullptr;
    if (Window && Window->Kind == TX11Kind::PopUp && Window->Viewable) Wanted = Window->Id;
  }
  if (Wanted == FGrab) return;
  Display* Server = FConnection.Get();
  if (FGrab) XUngrabPointer(Server, CurrentTime);
  FGrab = 0;
  if (Wanted &&
      XGrabPointer(Server, Wanted, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                   GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess)
    FGrab = Wanted;
}

void TX11WindowDriver::CursorChanged(HCURSOR Cursor) {
  FWantedCursor.store(CursorId(Cursor));
  if (!OnOwnerThread() || FConnection.Lost()) return;
  FCursorId = FWantedCursor.load();
  for (auto& Entry : FWindows)
    if (Entry.second->Id) ApplyCursor(*Entry.second);
}

void TX11WindowDriver::ApplyCursor(TX11Window& Window) {
  unsigned int Shape = FontCursorOf(FCursorId);
  Display* Server = FConnection.Get();
  if (Shape == ~0u) {
    XUndefineCursor(Server, Window.Id);
    return;
  }
  auto Found = FCursors.find(FCursorId);
  if (Found == FCursors.end()) Found = FCursors.emplace(FCursorId, XCreateFontCursor(Server, Shape)).first;
  XDefineCursor(Server, Window.Id, Found->second);
}

}  // namespace X11Impl
