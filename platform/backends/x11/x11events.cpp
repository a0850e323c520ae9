// X events about our windows, turned into input for the model: keys and the mouse through the
// Inject* entry points, a manager's moves, iconifies, closes and focus changes as what the
// user's action would do in the model.

#include "platform/user/user.h"

#include "platform/backends/x11/x11windows.h"

namespace X11Impl {

namespace {

bool SameRect(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

// Where the mouse goes when it leaves our windows for another program's: no window of ours lies
// there (minimised windows sit near -32000), so the controls hear that the mouse left them.
constexpr POINT Elsewhere{-32700, -32700};

}  // namespace

bool TX11WindowDriver::HandleEvent(XEvent& Event) {
  TX11Window* Window = FindById(Event.xany.window);
  if (!Window) return false;
  switch (Event.type) {
    case KeyPress:
    case KeyRelease:
      FConnection.NoteTime(Event.xkey.time);
      FKeyboard.HandleKey(Event.xkey);
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case EnterNotify:
    case LeaveNotify: OnPointer(*Window, Event); break;
    case Expose:
      Window->Exposed.Union(RECT{Event.xexpose.x, Event.xexpose.y, Event.xexpose.x + Event.xexpose.width,
                                 Event.xexpose.y + Event.xexpose.height});
      break;
    case ConfigureNotify: OnConfigure(*Window, Event.xconfigure); break;
    case MapNotify: OnMap(*Window); break;
    case UnmapNotify: OnUnmap(*Window); break;
    case ReparentNotify: Window->Reparented = Event.xreparent.parent != FConnection.Root(); break;
    case FocusIn:
    case FocusOut: OnFocus(*Window, Event.xfocus); break;
    case ClientMessage: OnClientMessage(*Window, Event.xclient); break;
    case PropertyNotify: FConnection.NoteTime(Event.xproperty.time); break;
    default: break;
  }
  return true;
}

POINT TX11WindowDriver::ScreenPoint(TX11Window& Window, int X, int Y) {
  // The model's position of the window, not the server's: a click lands where the model shows
  // the control even while the two disagree for an instant.
  RECT Rect{};
  GetWindowRect(Window.Handle, &Rect);
  return POINT{Rect.left + Window.Frame.left + X, Rect.top + Window.Frame.top + Y};
}

void TX11WindowDriver::OnPointer(TX11Window& Window, XEvent& Event) {
  switch (Event.type) {
    case MotionNotify: {
      FConnection.NoteTime(Event.xmotion.time);
      POINT Point = ScreenPoint(Window, Event.xmotion.x, Event.xmotion.y);
      InjectMouseMove(Point.x, Point.y);
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& Button = Event.xbutton;
      FConnection.NoteTime(Button.time);
      POINT Point = ScreenPoint(Window, Button.x, Button.y);
      bool Down = Event.type == ButtonPress;
      switch (Button.button) {
        case Button1: InjectMouseButton(VK_LBUTTON, Down, Point.x, Point.y); break;
        case Button2: InjectMouseButton(VK_MBUTTON, Down, Point.x, Point.y); break;
        case Button3: InjectMouseButton(VK_RBUTTON, Down, Point.x, Point.y); break;
        // The wheel: each notch is a press (and release) of button 4 (away) or 5 (toward).
        case Button4:
          if (Down) InjectMouseWheel(WHEEL_DELTA, Point.x, Point.y);
          break;
        case Button5:
          if (Down) InjectMouseWheel(-WHEEL_DELTA, Point.x, Point.y);
          break;
        default: break;
      }
      break;
    }
    case EnterNotify: {
      FConnection.NoteTime(Event.xcrossing.time);
      POINT Point = ScreenPoint(Window, Event.xcrossing.x, Event.xcrossing.y);
      InjectMouseMove(Point.x, Point.y);
      break;
    }
    case LeaveNotify: {
      const XCrossingEvent& Crossing = Event.xcrossing;
      FConnection.NoteTime(Crossing.time);
      if (Crossing.mode != NotifyNormal || Crossing.detail == NotifyInferior) break;
      // While a button is held the pressed window keeps getting the mouse's real position.
      if (Crossing.state & (Button1Mask | Button2Mask | Button3Mask)) break;
      InjectMouseMove(Elsewhere.x, Elsewhere.y);
      break;
    }
    default: break;
  }
}

void TX11WindowDriver::OnConfigure(TX11Window& Window, const XConfigureEvent& Event) {
  int X = Event.x, Y = Event.y;
  if (!Event.send_event && Window.Reparented) {
    // Under a manager's frame a real event counts from the frame; ask where that is on screen.
    ::Window Child = 0;
    XTranslateCoordinates(FConnection.Get(), Window.Id, FConnection.Root(), 0, 0, &X, &Y, &Child);
  }
  RECT Reported{X, Y, X + Event.width, Y + Event.height};
  for (auto It = Window.PendingConfigures.begin(); It != Window.PendingConfigures.end(); ++It) {
    if (SameRect(*It, Reported)) {
      // Our own request coming back.
      Window.PendingConfigures.erase(Window.PendingConfigures.begin(), It + 1);
      return;
    }
  }
  if (SameRect(Reported, Window.Geometry)) return;
  Window.PendingConfigures.clear();
  Window.Geometry = Reported;
  // Only we move override-redirect windows.
  if (Window.Kind == TX11Kind::PopUp) return;
  HWND Handle = Window.Handle;
  if (!IsWindowVisible(Handle) || IsIconic(Handle)) return;
  RECT Current{};
  GetWindowRect(Handle, &Current);
  RECT Target{Reported.left - Window.Frame.left, Reported.top - Window.Frame.top,
              Reported.right + Window.Frame.right, Reported.bottom + Window.Frame.bottom};
  UINT Flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (Target.left == Current.left && Target.top == Current.top) Flags |= SWP_NOMOVE;
  if (Target.right - Target.left == Current.right - Current.left &&
      Target.bottom - Target.top == Current.bottom - Current.top)
    Flags |= SWP_NOSIZE;
  if ((Flags & SWP_NOMOVE) && (Flags & SWP_NOSIZE)) return;
  // As if the user moved or sized the window: the model's handlers see it and may refuse, in
  // which case WindowChanged puts the X window back.
  SetWindowPos(Handle, nullptr, Target.left, Target.top, Target.right - Target.left, Target.bottom - Target.top,
               Flags);
}

bool TX11WindowDriver::WmSaysIconic(TX11Window& Window) {
  const TAtoms& Atoms = FConnection.Atoms();
  std::vector<unsigned long> State = ReadLongProperty(FConnection.Get(), Window.Id, Atoms.WmState, Atoms.WmState);
  return !State.empty() && State[0] == IconicState;
}

void TX11WindowDriver::OnMap(TX11Window& Window) {
  Window.Viewable = true;
  Window.Exposed = TRegion(0, 0, Window.Width(), Window.Height());
  HWND Handle = Window.Handle;
  if (Window.Iconic && Window.Kind != TX11Kind::PopUp && IsIconic(Handle)) {
    // The manager restored a window the model has minimised (a click on the task bar).
    Window.Iconic = false;
    PostMessage(Handle, WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

void TX11WindowDriver::OnUnmap(TX11Window& Window) {
  Window.Viewable = false;
  if (Window.Kind == TX11Kind::PopUp || !Window.MapRequested || Window.Iconic) return;
  // Not our doing: the manager minimised the window.
  if (WmSaysIconic(Window)) {
    Window.Iconic = true;
    PostMessage(Window.Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  }
}

void TX11WindowDriver::OnFocus(TX11Window& Window, const XFocusChangeEvent& Event) {
  if (Event.mode != NotifyNormal && Event.mode != NotifyWhileGrabbed) return;
  if (Event.detail == NotifyInferior || Event.detail == NotifyPointer || Event.detail == NotifyPointerRoot ||
      Event.detail == NotifyDetailNone)
    return;
  if (Event.type == FocusOut) {
    if (FFocus == Window.Id) {
      FFocus = 0;
      FFocusLost = true;
      FKeyboard.SetFocusWindow(0);
    }
    return;
  }
  FFocus = Window.Id;
  FFocusLost = false;
  FKeyboard.SetFocusWindow(Window.Id);
  HWND Handle = Window.Handle;
  if (Window.Kind == TX11Kind::PopUp || GetActiveWindow() == Handle) return;
  if (!IsWindowEnabled(Handle) || !IsWindowVisible(Handle)) return;
  FSyncedActive = Handle;
  SetActiveWindow(Handle);
}

void TX11WindowDriver::AfterEvents() {
  if (!FFocusLost || FFocus) return;
  FFocusLost = false;
  // The focus went to another program: the model's active window loses the activation.
  if (GetActiveWindow()) {
    FSyncedActive = nullptr;
    SetActiveWindow(nullptr);
  }
}

void TX11WindowDriver::OnClientMessage(TX11Window& Window, const XClientMessageEvent& Event) {
  const TAtoms& Atoms = FConnection.Atoms();
  if (Event.message_type != Atoms.WmProtocols || Event.format != 32) return;
  if (Atom(Event.data.l[0]) != Atoms.WmDeleteWindow) return;
  FConnection.NoteTime(Time(Event.data.l[1]));
  // The close button of the manager's frame: what the caption's own close button does. A
  // disabled window (a modal dialog is up) cannot be closed that way.
  if (!IsWindowEnabled(Window.Handle)) return;
  PostMessage(Window.Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace X11Impl
