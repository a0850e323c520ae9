#include "tests/platform/backends/x11/x11fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace X11Test {

// ---- Xvfb ------------------------------------------------------------------------------------

namespace {

std::string FindXvfb() {
  const char* Path = std::getenv("PATH");
  std::string Folders = Path ? Path : "/usr/bin:/bin";
  size_t Start = 0;
  while (Start <= Folders.size()) {
    size_t End = Folders.find(':', Start);
    if (End == std::string::npos) End = Folders.size();
    std::string Candidate = Folders.substr(Start, End - Start) + "/Xvfb";
    if (access(Candidate.c_str(), X_OK) == 0) return Candidate;
    Start = End + 1;
  }
  return std::string();
}

}  // namespace

bool XvfbInstalled() { return !FindXvfb().empty(); }

std::unique_ptr<TXvfb> TXvfb::Start(int Depth) {
  std::string Program = FindXvfb();
  if (Program.empty()) return nullptr;
  int Pipe[2];
  if (pipe2(Pipe, O_CLOEXEC) != 0) return nullptr;
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  // Xvfb writes its display number to descriptor 3.
  posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 3);
  posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  // -noreset: the server would otherwise start over whenever its last client leaves (between
  // two tests), refusing the next test's connections meanwhile.
  std::vector<std::string> Arguments{Program,   "-displayfd", "3",   "-screen", "0",
                                     "1024x768x" + std::to_string(Depth), "-nolisten", "tcp", "-noreset"};
  std::vector<char*> Pointers;
  for (std::string& Argument : Arguments) Pointers.push_back(Argument.data());
  Pointers.push_back(nullptr);
  pid_t Pid = -1;
  int Error = posix_spawn(&Pid, Program.c_str(), &Actions, nullptr, Pointers.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  close(Pipe[1]);
  if (Error != 0) {
    close(Pipe[0]);
    return nullptr;
  }
  std::unique_ptr<TXvfb> Server(new TXvfb());
  Server->FPid = Pid;
  std::string Number;
  for (;;) {
    pollfd Watch{Pipe[0], POLLIN, 0};
    if (poll(&Watch, 1, 15000) <= 0) break;
    char Character;
    if (read(Pipe[0], &Character, 1) != 1 || Character == '\n') break;
    Number.push_back(Character);
  }
  close(Pipe[0]);
  if (Number.empty()) return nullptr;
  Server->FName = ":" + Number;
  return Server;
}

TXvfb::~TXvfb() { Kill(); }

void TXvfb::Kill() {
  if (FPid <= 0) return;
  kill(FPid, SIGKILL);
  int ExitState = 0;
  waitpid(FPid, &ExitState, 0);
  FPid = -1;
}

TXvfb* SharedServer() {
  static std::unique_ptr<TXvfb> Server = TXvfb::Start();
  return Server.get();
}

// ---- the message loop ------------------------------------------------------------------------

bool PumpUntil(const std::function<bool()>& Done, unsigned Milliseconds) {
  // The loop polls and never blocks in GetMessage: the peer on the other side of the X server
  // only moves when Done() runs, and under a manual clock no timer would ever wake a waiting loop.
  const auto Start = std::chrono::steady_clock::now();
  for (;;) {
    if (Done()) return true;
    if (std::chrono::steady_clock::now() - Start > std::chrono::milliseconds(Milliseconds)) return false;
    MSG Message;
    if (!PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    if (Message.message == WM_QUIT) return Done();
    TranslateMessage(&Message);
    DispatchMessage(&Message);
  }
}

void PumpFor(unsigned Milliseconds) {
  auto Start = std::chrono::steady_clock::now();
  PumpUntil([&] { return std::chrono::steady_clock::now() - Start > std::chrono::milliseconds(Milliseconds); },
            Milliseconds + 1000);
}

// ---- test windows ----------------------------------------------------------------------------

namespace {

TPainter& Painter() {
  static TPainter Instance;
  return Instance;
}

std::function<void(HWND)>& CopyAction() {
  static std::function<void(HWND)> Instance;
  return Instance;
}

bool Interesting(UINT Message) {
  switch (Message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_ACTIVATE:
    case WM_CLOSE:
    case WM_SYSCOMMAND:
    case WM_ENDSESSION:
    case WM_MOVE:
    case WM_SIZE: return true;
    default: return Message >= WM_APP;
  }
}

LRESULT TestProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Interesting(Message)) Log().push_back(TLogged{Window, Message, WParam, LParam});
  switch (Message) {
    case WM_PAINT: {
      PAINTSTRUCT Paint;
      HDC DC = BeginPaint(Window, &Paint);
      RECT Client;
      GetClientRect(Window, &Client);
      if (Painter()) {
        Painter()(Window, DC, Client);
      } else {
        int MidX = Client.right / 2, MidY = Client.bottom / 2;
        const COLORREF Colors[4] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(20, 40, 190), RGB(220, 200, 20)};
        const RECT Parts[4] = {{0, 0, MidX, MidY}, {MidX, 0, Client.right, MidY}, {0, MidY, MidX, Client.bottom},
                               {MidX, MidY, Client.right, Client.bottom}};
        for (int I = 0; I < 4; ++I) {
          HBRUSH Brush = CreateSolidBrush(Colors[I]);
          FillRect(DC, &Parts[I], Brush);
          DeleteObject(Brush);
        }
        HPEN Pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        HGDIOBJ Old = SelectObject(DC, Pen);
        MoveToEx(DC, 0, 0, nullptr);
        LineTo(DC, Client.right, Client.bottom);
        SelectObject(DC, Old);
        DeleteObject(Pen);
      }
      EndPaint(Window, &Paint);
      return 0;
    }
    case WM_CHAR:
      if (WParam == 3 && CopyAction()) CopyAction()(Window);
      return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProc(Window, Message, WParam, LParam);
  }
}

const char* TestClass() {
  static const char* Name = [] {
    WNDCLASSA Class{};
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = TestProc;
    Class.lpszClassName = "KorcamX11TestWindow";
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&Class);
    return "KorcamX11TestWindow";
  }();
  return Name;
}

}  // namespace

std::vector<TLogged>& Log() {
  static std::vector<TLogged> Instance;
  return Instance;
}

const TLogged* FindLogged(UINT Message, HWND Window) {
  for (const TLogged& Entry : Log())
    if (Entry.Message == Message && (!Window || Entry.Window == Window)) return &Entry;
  return nullptr;
}

bool Logged(UINT Message, HWND Window) { return FindLogged(Message, Window) != nullptr; }

HWND CreateTestWindow(DWORD ExStyle, DWORD Style, int X, int Y, int Width, int Height, HWND Owner,
                      const char* Title) {
  return CreateWindowExA(ExStyle, TestClass(), Title, Style, X, Y, Width, Height, Owner, nullptr, nullptr, nullptr);
}

void SetPainter(TPainter Value) { Painter() = std::move(Value); }
void SetCopyAction(std::function<void(HWND)> Action) { CopyAction() = std::move(Action); }

// ---- the other client ------------------------------------------------------------------------

TFakeTray::TFakeTray(TOtherClient& Other) : FOther(Other) {
  Display* Server = FOther.Get();
  FWindow = XCreateSimpleWindow(Server, FOther.Root(), 0, 0, 200, 30, 0, 0, 0);
  Atom Selection = FOther.Intern("_NET_SYSTEM_TRAY_S0");
  XSetSelectionOwner(Server, Selection, FWindow, CurrentTime);
  XEvent Announce{};
  Announce.xclient.type = ClientMessage;
  Announce.xclient.window = FOther.Root();
  Announce.xclient.message_type = FOther.Intern("MANAGER");
  Announce.xclient.format = 32;
  Announce.xclient.data.l[0] = CurrentTime;
  Announce.xclient.data.l[1] = long(Selection);
  Announce.xclient.data.l[2] = long(FWindow);
  XSendEvent(Server, FOther.Root(), False, StructureNotifyMask, &Announce);
  XSync(Server, False);
}

TFakeTray::~TFakeTray() {
  XDestroyWindow(FOther.Get(), FWindow);
  XSync(FOther.Get(), False);
}

::Window TFakeTray::Docked() {
  XEvent Event;
  while (XCheckTypedWindowEvent(FOther.Get(), FWindow, ClientMessage, &Event)) {
    if (Event.xclient.message_type == FOther.Intern("_NET_SYSTEM_TRAY_OPCODE") && Event.xclient.data.l[1] == 0)
      FDocked = ::Window(Event.xclient.data.l[2]);
  }
  return FDocked;
}

TOtherClient::TOtherClient(const std::string& DisplayName) {
  X11Impl::InstallErrorHandler();
  FDisplay = XOpenDisplay(DisplayName.c_str());
}

TOtherClient::~TOtherClient() {
  if (FDisplay) XCloseDisplay(FDisplay);
}

bool TOtherClient::Exists(::Window Target) {
  X11Impl::TErrorTrap Trap(FDisplay);
  XWindowAttributes Attributes{};
  Status Ok = XGetWindowAttributes(FDisplay, Target, &Attributes);
  return Trap.Sync() == 0 && Ok;
}

bool TOtherClient::Viewable(::Window Target) {
  X11Impl::TErrorTrap Trap(FDisplay);
  XWindowAttributes Attributes{};
  Status Ok = XGetWindowAttributes(FDisplay, Target, &Attributes);
  return Trap.Sync() == 0 && Ok && Attributes.map_state == IsViewable;
}

bool TOtherClient::OverrideRedirect(::Window Target) {
  XWindowAttributes Attributes{};
  XGetWindowAttributes(FDisplay, Target, &Attributes);
  return Attributes.override_redirect == True;
}

std::vector<uint32_t> TOtherClient::Pixels(::Window Target, int Width, int Height) {
  std::vector<uint32_t> Result;
  X11Impl::TErrorTrap Trap(FDisplay);
  XImage* Image = XGetImage(FDisplay, Target, 0, 0, unsigned(Width), unsigned(Height), AllPlanes, ZPixmap);
  Trap.Sync();
  if (!Image) return Result;
  Result.reserve(size_t(Width) * size_t(Height));
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) Result.push_back(uint32_t(XGetPixel(Image, X, Y)) & 0xFFFFFF);
  XDestroyImage(Image);
  return Result;
}

std::vector<unsigned long> TOtherClient::LongProperty(::Window Target, const char* Name, Atom Type) {
  return X11Impl::ReadLongProperty(FDisplay, Target, Intern(Name), Type);
}

std::string TOtherClient::StringProperty(::Window Target, const char* Name) {
  Atom Type = 0;
  int Format = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  std::string Result;
  if (XGetWindowProperty(FDisplay, Target, Intern(Name), 0, 65536, False, AnyPropertyType, &Type, &Format, &Count,
                         &After, &Data) == Success &&
      Data) {
    if (Format == 8) Result.assign(reinterpret_cast<char*>(Data), Count);
    XFree(Data);
  }
  return Result;
}

void TOtherClient::SendKeycode(::Window Target, unsigned Keycode, bool Press, unsigned State) {
  XEvent Event{};
  Event.xkey.type = Press ? KeyPress : KeyRelease;
  Event.xkey.display = FDisplay;
  Event.xkey.window = Target;
  Event.xkey.root = Root();
  Event.xkey.subwindow = 0;
  Event.xkey.time = CurrentTime;
  Event.xkey.x = Event.xkey.y = 5;
  Event.xkey.x_root = Event.xkey.y_root = 5;
  Event.xkey.state = State;
  Event.xkey.keycode = Keycode;
  Event.xkey.same_screen = True;
  XSendEvent(FDisplay, Target, True, Press ? KeyPressMask : KeyReleaseMask, &Event);
  XFlush(FDisplay);
}

void TOtherClient::SendKey(::Window Target, KeySym Symbol, bool Press, unsigned State) {
  SendKeycode(Target, XKeysymToKeycode(FDisplay, Symbol), Press, State);
}

void TOtherClient::SendButton(::Window Target, unsigned Button, bool Press, int X, int Y, unsigned State) {
  XEvent Event{};
  Event.xbutton.type = Press ? ButtonPress : ButtonRelease;
  Event.xbutton.display = FDisplay;
  Event.xbutton.window = Target;
  Event.xbutton.root = Root();
  Event.xbutton.time = CurrentTime;
  Event.xbutton.x = X;
  Event.xbutton.y = Y;
  Event.xbutton.state = State;
  Event.xbutton.button = Button;
  Event.xbutton.same_screen = True;
  XSendEvent(FDisplay, Target, True, Press ? ButtonPressMask : ButtonReleaseMask, &Event);
  XFlush(FDisplay);
}

void TOtherClient::SendCrossing(::Window Target, bool Enter, int X, int Y) {
  XEvent Event{};
  Event.xcrossing.type = Enter ? EnterNotify : LeaveNotify;
  Event.xcrossing.display = FDisplay;
  Event.xcrossing.window = Target;
  Event.xcrossing.root = Root();
  Event.xcrossing.time = CurrentTime;
  Event.xcrossing.x = X;
  Event.xcrossing.y = Y;
  Event.xcrossing.mode = NotifyNormal;
  Event.xcrossing.detail = NotifyAncestor;
  Event.xcrossing.same_screen = True;
  XSendEvent(FDisplay, Target, True, Enter ? EnterWindowMask : LeaveWindowMask, &Event);
  XFlush(FDisplay);
}

void TOtherClient::SendClientMessage(::Window Target, Atom Type, long Data0, long Data1, long Data2) {
  XEvent Event{};
  Event.xclient.type = ClientMessage;
  Event.xclient.window = Target;
  Event.xclient.message_type = Type;
  Event.xclient.format = 32;
  Event.xclient.data.l[0] = Data0;
  Event.xclient.data.l[1] = Data1;
  Event.xclient.data.l[2] = Data2;
  XSendEvent(FDisplay, Target, False, NoEventMask, &Event);
  XFlush(FDisplay);
}

// ---- the fixture -----------------------------------------------------------------------------

void TX11BackendTest::SetUp() {
  if (!XvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs the xvfb package)";
  Server = SharedServer();
  ASSERT_NE(Server, nullptr) << "Xvfb did not start";
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));
  Other = std::make_unique<TOtherClient>(Server->Name());
  ASSERT_NE(Other->Get(), nullptr);
  Log().clear();
  SetPainter(nullptr);
  SetCopyAction(nullptr);
}

void TX11BackendTest::TearDown() {
  std::vector<HWND> Windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM Param) {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Windows));
  for (HWND Window : Windows)
    if (IsWindow(Window)) DestroyWindow(Window);
  StopX11Backend();
  Other.reset();
  SetPainter(nullptr);
  SetCopyAction(nullptr);
}

::Window TX11BackendTest::WaitForXWindow(HWND Window, bool Mapped) {
  ::Window Id = 0;
  PumpUntil([&] {
    Id = X11WindowOf(Window);
    return Id && Other->Viewable(Id) == Mapped;
  });
  return Id;
}

std::vector<uint32_t> TX11BackendTest::ExpectedPixels(HWND Window, int& Width, int& Height) {
  std::vector<uint32_t> Store;
  int StoreWidth = 0, StoreHeight = 0;
  std::vector<uint32_t> Result;
  if (!CopyWindowPixels(Window, Store, StoreWidth, StoreHeight)) return Result;
  RECT Outer{}, Client{};
  GetWindowRect(Window, &Outer);
  GetClientRect(Window, &Client);
  POINT Corner{0, 0};
  ClientToScreen(Window, &Corner);
  bool Framed = (GetWindowLongA(Window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  int Left = Framed ? Corner.x - Outer.left : 0, Top = Framed ? Corner.y - Outer.top : 0;
  Width = Framed ? Client.right : StoreWidth;
  Height = Framed ? Client.bottom : StoreHeight;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X)
      Result.push_back(Store[size_t(Y + Top) * size_t(StoreWidth) + size_t(X + Left)] & 0xFFFFFF);
  return Result;
}

}  // namespace X11Test
