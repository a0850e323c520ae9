// The X11 back end under Xvfb: windows, presents, input, window-manager actions, properties and
// the lost display.

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/platform/backends/x11/x11fixture.h"

#include <X11/extensions/shape.h>
#include <X11/keysym.h>

using namespace X11Test;

namespace {

// ---- choosing the back end -------------------------------------------------------------------

class TScopedEnvironment {
 public:
  explicit TScopedEnvironment(const char* Name) : FName(Name) {
    if (const char* Value = std::getenv(Name)) FSaved = Value;
  }
  ~TScopedEnvironment() {
    if (FSaved) {
      setenv(FName, FSaved->c_str(), 1);
    } else {
      unsetenv(FName);
    }
  }
  void Set(const char* Value) {
    if (Value) {
      setenv(FName, Value, 1);
    } else {
      unsetenv(FName);
    }
  }

 private:
  const char* FName;
  std::optional<std::string> FSaved;
};

TEST(X11BackendChoice, EnvironmentDecides) {
  struct TCase {
    const char* Name;
    const char* Forced;   // KORCAM_BACKEND
    const char* Display;  // DISPLAY
    TBackendKind Expected;
  };
  const TCase Cases[] = {
      {"a display and nothing forced", nullptr, ":5", TBackendKind::X11},
      {"no display", nullptr, nullptr, TBackendKind::Headless},
      {"an empty display", nullptr, "", TBackendKind::Headless},
      {"headless forced despite a display", "headless", ":5", TBackendKind::Headless},
      {"x11 forced without a display (starting it will fail)", "x11", nullptr, TBackendKind::X11},
      {"any case", "HeadLess", ":5", TBackendKind::Headless},
      {"an unknown name falls back to DISPLAY", "wayland", ":5", TBackendKind::X11},
  };
  TScopedEnvironment Forced("KORCAM_BACKEND"), Display("DISPLAY");
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Forced.Set(Case.Forced);
    Display.Set(Case.Display);
    EXPECT_EQ(ChooseBackend(), Case.Expected);
  }
  EXPECT_STREQ(BackendName(TBackendKind::X11), "x11");
  EXPECT_STREQ(BackendName(TBackendKind::Headless), "headless");
}

TEST(X11BackendChoice, NoServerNoBackend) {
  EXPECT_FALSE(X11BackendAvailable(":4999"));
  EXPECT_FALSE(StartX11Backend(":4999"));
  EXPECT_FALSE(X11BackendRunning());
}

// ---- presents --------------------------------------------------------------------------------

class X11Windows : public TX11BackendTest {
 protected:
  // Waits until the X window shows exactly what the model's store holds there.
  void ExpectShowsStore(HWND Window, ::Window Id) {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Expected, Shown;
    bool Same = PumpUntil([&] {
      Expected = ExpectedPixels(Window, Width, Height);
      // Not a blank store compared with a blank window: the picture must be there.
      if (Expected.empty() || std::count(Expected.begin(), Expected.end(), Expected[0]) == long(Expected.size()))
        return false;
      Shown = Other->Pixels(Id, Width, Height);
      return Shown == Expected;
    });
    ASSERT_TRUE(Same) << "the X window does not show the store (" << Width << " x " << Height << ")";
  }

  void Restart(bool SharedMemory) {
    StopX11Backend();
    TX11StartOptions Options;
    Options.DisplayName = Server->Name().c_str();
    Options.UseSharedMemory = SharedMemory;
    ASSERT_TRUE(StartX11Backend(Options));
  }
};

TEST_F(X11Windows, PresentsShowTheStore) {
  struct TCase {
    const char* Name;
    DWORD Style;
    bool SharedMemory;
  };
  const TCase Cases[] = {
      {"caption-less window, shared memory: the whole window", WS_POPUP | WS_BORDER, true},
      {"captioned window: the client area, the manager draws the frame", WS_OVERLAPPEDWINDOW, true},
      {"caption-less window without shared memory (a remote display)", WS_POPUP | WS_BORDER, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Restart(Case.SharedMemory);
    SetPainter(nullptr);
    HWND Window = CreateTestWindow(0, Case.Style, 40, 30, 161, 97);
    ShowWindow(Window, SW_SHOW);
    ::Window Id = WaitForXWindow(Window);
    ASSERT_NE(Id, 0u);
    ExpectShowsStore(Window, Id);

    // A later paint of one part reaches the screen as that part.
    SetPainter([](HWND, HDC DC, const RECT& Client) {
      RECT Part{10, 10, 60, 40};
      HBRUSH Brush = CreateSolidBrush(RGB(1, 2, 3));
      FillRect(DC, &Part, Brush);
      DeleteObject(Brush);
    });
    RECT Part{10, 10, 60, 40};
    InvalidateRect(Window, &Part, FALSE);
    ExpectShowsStore(Window, Id);
    DestroyWindow(Window);
    EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Id); }));
  }
}

TEST_F(X11Windows, WindowsShownBeforeTheStartAreMirrored) {
  StopX11Backend();
  HWND Window = CreateTestWindow(0, WS_POPUP, 10, 10, 80, 60);
  ShowWindow(Window, SW_SHOW);
  UpdateWindow(Window);
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  ExpectShowsStore(Window, Id);
}

TEST_F(X11Windows, PopUpsAreOverrideRedirect) {
  HWND Main = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  ShowWindow(Main, SW_SHOW);
  ::Window MainId = WaitForXWindow(Main);
  ASSERT_NE(MainId, 0u);
  EXPECT_FALSE(Other->OverrideRedirect(MainId));

  // A drop-down: owned, caption-less, a tool window, shown without activation.
  HWND DropDown = CreateTestWindow(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP | WS_BORDER, 120, 180, 100, 80, Main);
  ShowWindow(DropDown, SW_SHOWNOACTIVATE);
  ::Window DropId = WaitForXWindow(DropDown);
  ASSERT_NE(DropId, 0u);
  EXPECT_TRUE(Other->OverrideRedirect(DropId));
  // Its place on the screen is the model's, with no manager in between.
  ::Window Child = 0;
  int X = 0, Y = 0;
  XTranslateCoordinates(Other->Get(), DropId, Other->Root(), 0, 0, &X, &Y, &Child);
  EXPECT_EQ(X, 120);
  EXPECT_EQ(Y, 180);
  EXPECT_EQ(GetActiveWindow(), Main);

  ShowWindow(DropDown, SW_HIDE);
  EXPECT_TRUE(PumpUntil([&] { return !Other->Viewable(DropId); }));
  ShowWindow(DropDown, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(PumpUntil([&] { return Other->Viewable(DropId); }));
  DestroyWindow(DropDown);
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(DropId); }));
  EXPECT_TRUE(Other->Viewable(MainId));
}

// ---- input -----------------------------------------------------------------------------------

TEST_F(X11Windows, ClicksAndWheelArriveAsMouseMessages) {
  HWND Window = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 50, 60, 240, 160);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  Log().clear();
  // X window coordinates are client coordinates of a captioned window.
  Other->SendButton(Id, Button1, true, 30, 20);
  Other->SendButton(Id, Button1, false, 30, 20, Button1Mask);
  Other->SendButton(Id, Button3, true, 31, 21);
  Other->SendButton(Id, Button3, false, 31, 21, Button3Mask);
  Other->SendButton(Id, Button4, true, 31, 21);
  Other->SendButton(Id, Button4, false, 31, 21);
  ASSERT_TRUE(PumpUntil([&] { return Logged(WM_MOUSEWHEEL, Window); }));
  const TLogged* Down = FindLogged(WM_LBUTTONDOWN, Window);
  ASSERT_NE(Down, nullptr);
  EXPECT_EQ(GET_X_LPARAM(Down->LParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(Down->LParam), 20);
  EXPECT_TRUE(Logged(WM_LBUTTONUP, Window));
  const TLogged* Right = FindLogged(WM_RBUTTONUP, Window);
  ASSERT_NE(Right, nullptr);
  EXPECT_EQ(GET_X_LPARAM(Right->LParam), 31);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(FindLogged(WM_MOUSEWHEEL, Window)->WParam), WHEEL_DELTA);
}

TEST_F(X11Windows, ThePointerEnteringAndLeavingMovesTheCursor) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 50, 60, 240, 160);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  Other->SendCrossing(Id, true, 10, 12);
  EXPECT_TRUE(PumpUntil([&] {
    POINT Cursor{};
    GetCursorPos(&Cursor);
    return Cursor.x == 60 && Cursor.y == 72;
  }));
  // Gone to another program's window: the controls must hear that the mouse left them.
  Other->SendCrossing(Id, false, 239, 80);
  EXPECT_TRUE(PumpUntil([&] {
    POINT Cursor{};
    GetCursorPos(&Cursor);
    return WindowFromPoint(Cursor) == nullptr;
  }));
}

TEST_F(X11Windows, APopUpHoldingTheCaptureGrabsThePointer) {
  HWND Main = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  ShowWindow(Main, SW_SHOW);
  HWND DropDown = CreateTestWindow(WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER, 120, 180, 100, 80, Main);
  ShowWindow(DropDown, SW_SHOWNOACTIVATE);
  ASSERT_NE(WaitForXWindow(DropDown), 0u);
  Display* Server = Other->Get();
  auto OthersCanGrab = [&] {
    int Result = XGrabPointer(Server, Other->Root(), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, 0, 0,
                              CurrentTime);
    if (Result == GrabSuccess) XUngrabPointer(Server, CurrentTime);
    XSync(Server, False);
    return Result == GrabSuccess;
  };
  // A normal window holding the capture (a drag) needs no grab.
  SetCapture(Main);
  PumpFor(30);
  EXPECT_TRUE(OthersCanGrab());
  // An open drop-down holding it must hear of a click anywhere.
  SetCapture(DropDown);
  EXPECT_TRUE(PumpUntil([&] { return !OthersCanGrab(); }));
  ReleaseCapture();
  EXPECT_TRUE(PumpUntil(OthersCanGrab));
}

TEST_F(X11Windows, KeysArriveAsVirtualKeysAndTypedText) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 50, 60, 120, 80);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  ASSERT_EQ(GetFocus(), Window);
  Display* Server = Other->Get();
  unsigned KeyQ = XKeysymToKeycode(Server, XK_q);

  struct TCase {
    const char* Name;
    KeySym Symbol;
    bool Shift;
    int VirtualKey;
    char32_t Typed;  // 0: no WM_CHAR
  };
  const TCase Cases[] = {
      {"a letter", XK_a, false, 'A', U'a'},
      {"with Shift the same key types the capital", XK_a, true, 'A', U'A'},
      {"a digit", XK_7, false, '7', U'7'},
      {"punctuation is an OEM key", XK_semicolon, false, VK_OEM_1, U';'},
      {"a function key types nothing", XK_F1, false, VK_F1, 0},
      {"Enter types a carriage return", XK_Return, false, VK_RETURN, U'\r'},
      {"Delete types nothing", XK_Delete, false, VK_DELETE, 0},
      {"an arrow", XK_Left, false, VK_LEFT, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log().clear();
    if (Case.Shift) Other->SendKey(Id, XK_Shift_L, true);
    unsigned State = Case.Shift ? ShiftMask : 0;
    Other->SendKey(Id, Case.Symbol, true, State);
    Other->SendKey(Id, Case.Symbol, false, State);
    if (Case.Shift) Other->SendKey(Id, XK_Shift_L, false, ShiftMask);
    ASSERT_TRUE(PumpUntil([&] {
      for (const TLogged& Entry : Log())
        if (Entry.Message == WM_KEYUP && Entry.WParam == WPARAM(Case.VirtualKey)) return true;
      return false;
    }));
    const TLogged* Down = nullptr;
    for (const TLogged& Entry : Log())
      if (Entry.Message == WM_KEYDOWN && Entry.WParam == WPARAM(Case.VirtualKey)) Down = &Entry;
    EXPECT_NE(Down, nullptr);
    PumpFor(30);
    const TLogged* Char = FindLogged(WM_CHAR, Window);
    if (Case.Typed) {
      ASSERT_NE(Char, nullptr);
      EXPECT_EQ(Char->WParam, WPARAM(Case.Typed));
    } else {
      EXPECT_EQ(Char, nullptr);
    }
  }

  // A Russian layout on the Q key: the key stays VK 'Q' for shortcuts, the text is the letter.
  int PerCode = 0;
  KeySym* Saved = XGetKeyboardMapping(Server, KeyCode(KeyQ), 1, &PerCode);
  std::vector<KeySym> Original(Saved, Saved + PerCode);
  XFree(Saved);
  KeySym Russian[2] = {XK_Cyrillic_shorti, XK_Cyrillic_SHORTI};
  XChangeKeyboardMapping(Server, int(KeyQ), 2, Russian, 1);
  XSync(Server, False);
  PumpFor(100);
  Log().clear();
  Other->SendKeycode(Id, KeyQ, true);
  Other->SendKeycode(Id, KeyQ, false);
  EXPECT_TRUE(PumpUntil([&] { return Logged(WM_CHAR, Window); }));
  const TLogged* Down = FindLogged(WM_KEYDOWN, Window);
  ASSERT_NE(Down, nullptr);
  EXPECT_EQ(Down->WParam, WPARAM('Q'));
  const TLogged* Char = FindLogged(WM_CHAR, Window);
  ASSERT_NE(Char, nullptr);
  EXPECT_EQ(Char->WParam, WPARAM(U'\u0439'));
  XChangeKeyboardMapping(Server, int(KeyQ), PerCode, Original.data(), 1);
  XSync(Server, False);
  PumpFor(50);
}

// ---- what the window manager does ------------------------------------------------------------

TEST_F(X11Windows, ManagerMovesAndResizesReachTheModel) {
  struct TCase {
    const char* Name;
    DWORD Style;
  };
  const TCase Cases[] = {
      {"caption-less: the X window is the window", WS_POPUP | WS_THICKFRAME},
      {"captioned: the X window is the client area", WS_OVERLAPPEDWINDOW},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    HWND Window = CreateTestWindow(0, Case.Style, 50, 60, 200, 150);
    ShowWindow(Window, SW_SHOW);
    ::Window Id = WaitForXWindow(Window);
    ASSERT_NE(Id, 0u);
    RECT Before{};
    GetWindowRect(Window, &Before);
    Log().clear();
    XMoveResizeWindow(Other->Get(), Id, 300, 210, 180, 120);
    XSync(Other->Get(), False);
    ASSERT_TRUE(PumpUntil([&] {
      POINT Corner{0, 0};
      ClientToScreen(Window, &Corner);
      RECT Client{};
      GetClientRect(Window, &Client);
      bool Framed = (Case.Style & WS_CAPTION) == WS_CAPTION;
      RECT Outer{};
      GetWindowRect(Window, &Outer);
      POINT Seen = Framed ? Corner : POINT{Outer.left, Outer.top};
      int Width = Framed ? Client.right : Outer.right - Outer.left;
      int Height = Framed ? Client.bottom : Outer.bottom - Outer.top;
      return Seen.x == 300 && Seen.y == 210 && Width == 180 && Height == 120;
    }));
    EXPECT_TRUE(Logged(WM_MOVE, Window));
    EXPECT_TRUE(Logged(WM_SIZE, Window));

    // And the other way round: the model moves, the X window follows.
    SetWindowPos(Window, nullptr, 20, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT Corner{0, 0};
    ClientToScreen(Window, &Corner);
    RECT Outer{};
    GetWindowRect(Window, &Outer);
    bool Framed = (Case.Style & WS_CAPTION) == WS_CAPTION;
    POINT Expected = Framed ? Corner : POINT{Outer.left, Outer.top};
    EXPECT_TRUE(PumpUntil([&] {
      ::Window Child = 0;
      int X = 0, Y = 0;
      XTranslateCoordinates(Other->Get(), Id, Other->Root(), 0, 0, &X, &Y, &Child);
      return X == Expected.x && Y == Expected.y;
    }));
    // The move came back as our own request, not as a new move of the manager.
    PumpFor(50);
    RECT After{};
    GetWindowRect(Window, &After);
    EXPECT_EQ(After.left, Outer.left);
    EXPECT_EQ(After.top, Outer.top);
    DestroyWindow(Window);
  }
}

TEST_F(X11Windows, ManagerMinimiseAndRestoreReachTheModel) {
  HWND Window = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 50, 60, 200, 150);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  RECT Before{};
  GetWindowRect(Window, &Before);
  Display* Server = Other->Get();
  Atom WmState = Other->Intern("WM_STATE");
  // What a manager does to minimise: the state iconic, then the window unmapped.
  long State[2] = {IconicState, 0};
  XChangeProperty(Server, Id, WmState, WmState, 32, PropModeReplace, reinterpret_cast<unsigned char*>(State), 2);
  XUnmapWindow(Server, Id);
  XSync(Server, False);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(Window) != FALSE; }));
  // ... and to restore: the state normal, the window mapped.
  State[0] = NormalState;
  XChangeProperty(Server, Id, WmState, WmState, 32, PropModeReplace, reinterpret_cast<unsigned char*>(State), 2);
  XMapWindow(Server, Id);
  XSync(Server, False);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(Window) && IsWindowVisible(Window); }));
  PumpFor(50);
  RECT After{};
  GetWindowRect(Window, &After);
  EXPECT_EQ(After.left, Before.left);
  EXPECT_EQ(After.top, Before.top);
  EXPECT_TRUE(Other->Viewable(Id));
  // An unmap that is no minimise (a manager reparenting the window) changes nothing.
  XUnmapWindow(Server, Id);
  XMapWindow(Server, Id);
  XSync(Server, False);
  PumpFor(50);
  EXPECT_FALSE(IsIconic(Window));
}

TEST_F(X11Windows, CloseButtonOfTheManagerClosesAsTheCaptionWould) {
  HWND Window = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 50, 60, 200, 150);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  Log().clear();
  Other->SendClientMessage(Id, Other->Intern("WM_PROTOCOLS"), long(Other->Intern("WM_DELETE_WINDOW")), CurrentTime);
  ASSERT_TRUE(PumpUntil([&] { return Logged(WM_CLOSE, Window); }));
  const TLogged* Command = FindLogged(WM_SYSCOMMAND, Window);
  ASSERT_NE(Command, nullptr);
  EXPECT_EQ(Command->WParam & 0xFFF0, SC_CLOSE);
  // The default answer to WM_CLOSE destroys the window, and its X window goes.
  EXPECT_FALSE(IsWindow(Window));
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Id); }));

  // A disabled window (a modal dialog is up) is not closed that way.
  HWND Disabled = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 50, 60, 200, 150);
  ShowWindow(Disabled, SW_SHOW);
  ::Window DisabledId = WaitForXWindow(Disabled);
  EnableWindow(Disabled, FALSE);
  Log().clear();
  Other->SendClientMessage(DisabledId, Other->Intern("WM_PROTOCOLS"), long(Other->Intern("WM_DELETE_WINDOW")),
                           CurrentTime);
  PumpFor(100);
  EXPECT_FALSE(Logged(WM_CLOSE));
  EXPECT_TRUE(IsWindow(Disabled));
}

TEST_F(X11Windows, FocusChangesActivate) {
  HWND First = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, "First");
  HWND Second = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 300, 10, 200, 150, nullptr, "Second");
  ShowWindow(First, SW_SHOW);
  ShowWindow(Second, SW_SHOW);
  ::Window FirstId = WaitForXWindow(First), SecondId = WaitForXWindow(Second);
  ASSERT_NE(FirstId, 0u);
  ASSERT_NE(SecondId, 0u);
  ASSERT_EQ(GetActiveWindow(), Second);
  PumpFor(50);
  XSetInputFocus(Other->Get(), FirstId, RevertToParent, CurrentTime);
  XSync(Other->Get(), False);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == First; }));
  EXPECT_EQ(GetFocus(), First);
  XSetInputFocus(Other->Get(), SecondId, RevertToParent, CurrentTime);
  XSync(Other->Get(), False);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == Second; }));
  // The focus goes to another program: nothing of ours is active.
  ::Window Foreign = XCreateSimpleWindow(Other->Get(), Other->Root(), 600, 400, 50, 50, 0, 0, 0);
  XMapWindow(Other->Get(), Foreign);
  XSync(Other->Get(), False);
  PumpUntil([&] { return Other->Viewable(Foreign); });
  XSetInputFocus(Other->Get(), Foreign, RevertToParent, CurrentTime);
  XSync(Other->Get(), False);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == nullptr; }));
  XDestroyWindow(Other->Get(), Foreign);
  XSync(Other->Get(), False);
}

// ---- properties ------------------------------------------------------------------------------

TEST_F(X11Windows, TitleOpacityAndTopmostAreProperties) {
  HWND Window = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, "Webcam");
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  EXPECT_EQ(Other->StringProperty(Id, "_NET_WM_NAME"), "Webcam");
  SetWindowTextA(Window, "Веб-камера");
  EXPECT_TRUE(PumpUntil([&] { return Other->StringProperty(Id, "_NET_WM_NAME") == "Веб-камера"; }));

  struct TOpacityCase {
    const char* Name;
    BYTE Alpha;
    DWORD Flags;
    std::vector<unsigned long> Expected;  // empty: no property
  };
  const TOpacityCase Opacities[] = {
      {"alpha 204 (translucency 20 %)", 204, LWA_ALPHA, {0xCCCCCCCCul}},
      {"alpha 12 (95 %)", 12, LWA_ALPHA, {0x0C0C0C0Cul}},
      {"opaque again: no property", 255, LWA_ALPHA, {}},
      {"a colour key alone sets no opacity", 100, LWA_COLORKEY, {}},
  };
  SetWindowLongA(Window, GWL_EXSTYLE, GetWindowLongA(Window, GWL_EXSTYLE) | WS_EX_LAYERED);
  for (const TOpacityCase& Case : Opacities) {
    SCOPED_TRACE(Case.Name);
    SetLayeredWindowAttributes(Window, RGB(1, 2, 3), Case.Alpha, Case.Flags);
    EXPECT_TRUE(PumpUntil([&] {
      return Other->LongProperty(Id, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL) == Case.Expected;
    }));
  }

  Atom AboveState = Other->Intern("_NET_WM_STATE_ABOVE");
  auto IsAbove = [&] {
    for (unsigned long State : Other->LongProperty(Id, "_NET_WM_STATE", XA_ATOM))
      if (State == AboveState) return true;
    return false;
  };
  EXPECT_FALSE(IsAbove());
  SetWindowPos(Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(PumpUntil(IsAbove));
  SetWindowPos(Window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(PumpUntil([&] { return !IsAbove(); }));

  // A topmost window shown for the first time carries the state from the start.
  HWND Topmost = CreateTestWindow(WS_EX_TOPMOST, WS_OVERLAPPEDWINDOW, 10, 10, 100, 80);
  ShowWindow(Topmost, SW_SHOW);
  ::Window TopmostId = WaitForXWindow(Topmost);
  std::vector<unsigned long> States = Other->LongProperty(TopmostId, "_NET_WM_STATE", XA_ATOM);
  EXPECT_NE(std::find(States.begin(), States.end(), AboveState), States.end());
}

// Whether the window's bounding shape holds the point (X window coordinates).
bool ShapeContains(Display* Server, ::Window Id, int X, int Y) {
  int Count = 0, Ordering = 0;
  XRectangle* Boxes = XShapeGetRectangles(Server, Id, ShapeBounding, &Count, &Ordering);
  bool Inside = false;
  for (int I = 0; I < Count; ++I)
    if (X >= Boxes[I].x && X < Boxes[I].x + Boxes[I].width && Y >= Boxes[I].y && Y < Boxes[I].y + Boxes[I].height)
      Inside = true;
  if (Boxes) XFree(Boxes);
  return Inside;
}

TEST_F(X11Windows, RegionsAndColourKeysShapeTheWindow) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 100, 100, 200, 100);
  ShowWindow(Window, SW_SHOW);
  ::Window Id = WaitForXWindow(Window);
  ASSERT_NE(Id, 0u);
  Display* Server = Other->Get();
  EXPECT_TRUE(ShapeContains(Server, Id, 0, 0));

  SetWindowRgn(Window, CreateEllipticRgn(0, 0, 200, 100), TRUE);
  EXPECT_TRUE(PumpUntil([&] { return !ShapeContains(Server, Id, 2, 2); }));
  EXPECT_TRUE(ShapeContains(Server, Id, 100, 50));
  SetWindowRgn(Window, nullptr, TRUE);
  EXPECT_TRUE(PumpUntil([&] { return ShapeContains(Server, Id, 2, 2); }));

  // The key colour's pixels become holes: the left half is painted with it.
  const COLORREF Key = RGB(255, 251, 241);
  SetPainter([Key](HWND, HDC DC, const RECT& Client) {
    RECT Left{0, 0, Client.right / 2, Client.bottom}, Right{Client.right / 2, 0, Client.right, Client.bottom};
    HBRUSH KeyBrush = CreateSolidBrush(Key), Other = CreateSolidBrush(RGB(10, 20, 30));
    FillRect(DC, &Left, KeyBrush);
    FillRect(DC, &Right, Other);
    DeleteObject(KeyBrush);
    DeleteObject(Other);
  });
  SetWindowLongA(Window, GWL_EXSTYLE, GetWindowLongA(Window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Window, Key, 255, LWA_COLORKEY);
  InvalidateRect(Window, nullptr, TRUE);
  EXPECT_TRUE(PumpUntil([&] { return !ShapeContains(Server, Id, 20, 50); }));
  EXPECT_TRUE(ShapeContains(Server, Id, 150, 50));
  // Painting over the key colour fills the hole again.
  SetPainter([](HWND, HDC DC, const RECT& Client) {
    HBRUSH Brush = CreateSolidBrush(RGB(10, 20, 30));
    FillRect(DC, &Client, Brush);
    DeleteObject(Brush);
  });
  InvalidateRect(Window, nullptr, TRUE);
  EXPECT_TRUE(PumpUntil([&] { return ShapeContains(Server, Id, 20, 50); }));
}

// ---- other visuals ---------------------------------------------------------------------------

TEST(X11OtherVisuals, SixteenBitScreensGetConvertedPixels) {
  if (!XvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs the xvfb package)";
  std::unique_ptr<TXvfb> Server = TXvfb::Start(16);
  ASSERT_NE(Server, nullptr);
  TOtherClient Other(Server->Name());
  ASSERT_EQ(DefaultDepth(Other.Get(), 0), 16);
  for (bool SharedMemory : {true, false}) {
    SCOPED_TRACE(SharedMemory ? "shared memory" : "plain images");
    TX11StartOptions Options;
    Options.DisplayName = Server->Name().c_str();
    Options.UseSharedMemory = SharedMemory;
    ASSERT_TRUE(StartX11Backend(Options));
    HWND Window = CreateTestWindow(0, WS_POPUP, 10, 10, 64, 48);
    ShowWindow(Window, SW_SHOW);
    UpdateWindow(Window);
    ::Window Id = 0;
    ASSERT_TRUE(PumpUntil([&] { return (Id = X11WindowOf(Window)) != 0 && Other.Viewable(Id); }));
    std::vector<uint32_t> Store;
    int Width = 0, Height = 0;
    ASSERT_TRUE(CopyWindowPixels(Window, Store, Width, Height));
    // 5, 6 and 5 bits of red, green and blue.
    std::vector<uint32_t> Expected;
    for (uint32_t Pixel : Store)
      Expected.push_back(((Pixel >> 19) & 0x1F) << 11 | ((Pixel >> 10) & 0x3F) << 5 | ((Pixel >> 3) & 0x1F));
    EXPECT_TRUE(PumpUntil([&] { return Other.Pixels(Id, Width, Height) == Expected; }));
    DestroyWindow(Window);
    StopX11Backend();
  }
}

// ---- a lost display --------------------------------------------------------------------------

TEST(X11DisplayLoss, PostsARealCloseAndStopsUsingTheDisplay) {
  if (!XvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs the xvfb package)";
  std::unique_ptr<TXvfb> Server = TXvfb::Start();
  ASSERT_NE(Server, nullptr);
  ASSERT_TRUE(StartX11Backend(Server->Name().c_str()));
  Log().clear();
  HWND Main = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, "Main");
  HWND Tool = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 300, 10, 100, 100, nullptr, "Tool");
  ShowWindow(Main, SW_SHOW);
  ShowWindow(Tool, SW_SHOW);
  SetX11SessionTarget(Main);
  ASSERT_TRUE(PumpUntil([&] { return X11WindowOf(Main) != 0 && X11WindowOf(Tool) != 0; }));
  PumpFor(50);

  Server->Kill();
  // Requests go out to the dead server before the loss is noticed.
  SetWindowTextA(Main, "Still here");
  MoveWindow(Tool, 20, 20, 120, 120, TRUE);
  ASSERT_TRUE(PumpUntil([&] { return Logged(WM_ENDSESSION); }));
  const TLogged* End = FindLogged(WM_ENDSESSION);
  EXPECT_EQ(End->Window, Main);
  EXPECT_EQ(End->WParam, WPARAM(TRUE));
  EXPECT_EQ(End->LParam, ENDSESSION_DISPLAYLOST);
  EXPECT_TRUE(X11DisplayLost());
  // The program goes on closing in its own time: windows change and go without the display.
  SetWindowTextA(Main, "Saving");
  MoveWindow(Main, 5, 5, 100, 100, TRUE);
  PumpFor(50);
  DestroyWindow(Tool);
  DestroyWindow(Main);
  SetX11SessionTarget(nullptr);
  StopX11Backend();
  EXPECT_FALSE(X11BackendRunning());
}

}  // namespace
