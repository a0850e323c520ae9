// The X11 back end's life: choosing it, starting and stopping it, the event pump between the X
// connection and the message loop, and the end of the session when the display goes away.

#include "platform/backends/x11/x11backend.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

#include "platform/backends/x11/x11desktop.h"

#include "platform/backends/x11/x11connection.h"
#include "platform/backends/x11/x11keyboard.h"
#include "platform/backends/x11/x11parts.h"
#include "platform/backends/x11/x11selections.h"
#include "platform/backends/x11/x11trayicons.h"
#include "platform/backends/x11/x11windows.h"

using namespace X11Impl;

namespace {

constexpr const char* PumpClassName = "KorcamX11Events";

// The driver, told also when a window goes so its tray icons go with it.
class TBackendDriver : public TX11WindowDriver {
 public:
  using TX11WindowDriver::TX11WindowDriver;
  TX11Tray* Tray = nullptr;
  void WindowDestroyed(HWND TopLevel) override {
    if (Tray && GetCurrentThreadId() == OwnerThread) Tray->RemoveWindowIcons(TopLevel);
    TX11WindowDriver::WindowDestroyed(TopLevel);
  }
  DWORD OwnerThread = 0;
};

class TX11Backend {
 public:
  bool Start(const TX11StartOptions& Options);
  void Stop();
  // Drains the X event queue on the user-interface thread (the pump window's message).
  void Drain();
  void DisplayLost();

  std::unique_ptr<TX11Connection> Connection;
  std::unique_ptr<TX11Keyboard> Keyboard;
  std::unique_ptr<TBackendDriver> Driver;
  std::unique_ptr<TX11Selections> Selections;
  std::unique_ptr<TX11Tray> Tray;
  std::unique_ptr<TX11Desktop> Desktop;
  TX11Parts Parts;
  DWORD OwnerThread = 0;
  HWND PumpWindow = nullptr;
  UINT DrainMessage = 0;
  std::atomic<bool> Lost{false};

 private:
  void RequestDrain();
  void ReadLoop();

  std::thread FReader;
  int FStopPipe[2] = {-1, -1};
  std::mutex FMutex;
  std::condition_variable FDrained;
  bool FDrainPending = false;
  bool FStopping = false;
};

std::mutex StartMutex;
std::atomic<TX11Backend*> Running{nullptr};
std::atomic<HWND> SessionTarget{nullptr};

LRESULT PumpProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TX11Backend* Backend = Running;
  if (Backend && Message == Backend->DrainMessage && Window == Backend->PumpWindow) {
    Backend->Drain();
    return 0;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

BOOL CollectTopLevel(HWND Window, LPARAM Param) {
  reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
  return TRUE;
}

// Xlib's own handlers end the process when the connection breaks, the first one after its
// message. For our display both return instead: the back end stops using the display and asks
// the program to close for real. Other connections keep the handler they had.
XIOErrorHandler PreviousIOHandler = nullptr;
// Our display, until it is closed (closing a broken one runs into the error once more).
std::atomic<Display*> OwnDisplay{nullptr};

int OnIOError(Display* Source) {
  if (Source && Source == OwnDisplay.load()) return 0;
  return PreviousIOHandler ? PreviousIOHandler(Source) : 0;
}

// Called from inside Xlib: nothing may unwind through it.
void OnConnectionBroken(Display*, void*) {
  try {
    TX11Backend* Backend = Running;
    if (Backend && Backend->Connection) Backend->Connection->ReportLost();
  } catch (...) {
  }
}

bool Truthy(const char* Text) { return Text && *Text; }

std::string AsciiLower(std::string Text) {
  for (char& Character : Text)
    if (Character >= 'A' && Character <= 'Z') Character = char(Character - 'A' + 'a');
  return Text;
}

}  // namespace

// ---- choosing --------------------------------------------------------------------------------

TBackendKind ChooseBackend() {
  const char* Forced = std::getenv("KORCAM_BACKEND");
  if (Truthy(Forced)) {
    std::string Name = AsciiLower(Forced);
    if (Name == "headless") return TBackendKind::Headless;
    if (Name == "x11") return TBackendKind::X11;
  }
  return Truthy(std::getenv("DISPLAY")) ? TBackendKind::X11 : TBackendKind::Headless;
}

const char* BackendName(TBackendKind Kind) { return Kind == TBackendKind::X11 ? "x11" : "headless"; }

bool X11BackendAvailable(const char* DisplayName) {
  InstallErrorHandler();
  Display* Probe = XOpenDisplay(DisplayName && *DisplayName ? DisplayName : nullptr);
  if (!Probe) return false;
  XCloseDisplay(Probe);
  return true;
}

// ---- the back end ----------------------------------------------------------------------------

bool TX11Backend::Start(const TX11StartOptions& Options) {
  Connection = TX11Connection::Open(Options.DisplayName);
  if (!Connection) return false;
  OwnerThread = GetCurrentThreadId();
  Connection->SetLostHandler([this] { DisplayLost(); });
  Display* Server = Connection->Get();
  OwnDisplay = Server;
  XSetIOErrorExitHandler(Server, OnConnectionBroken, nullptr);
  static std::once_flag Once;
  std::call_once(Once, [] { PreviousIOHandler = XSetIOErrorHandler(OnIOError); });

  // The model's screen is the X screen.
  GdiSetScreenSize(DisplayWidth(Server, Connection->Screen()), DisplayHeight(Server, Connection->Screen()));
  std::vector<unsigned long> Area =
      ReadLongProperty(Server, Connection->Root(), Connection->Atoms().NetWorkarea, XA_CARDINAL);
  if (Area.size() >= 4 && Area[2] > 0 && Area[3] > 0) {
    RECT Work{LONG(Area[0]), LONG(Area[1]), LONG(Area[0] + Area[2]), LONG(Area[1] + Area[3])};
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &Work, 0);
  }

  Keyboard = std::make_unique<TX11Keyboard>(*Connection);
  Driver = std::make_unique<TBackendDriver>(*Connection, *Keyboard, Options.UseSharedMemory);
  Selections = std::make_unique<TX11Selections>(*Connection);
  Tray = std::make_unique<TX11Tray>(*Connection);
  Tray->SetOwnerThread(OwnerThread);
  Driver->Tray = Tray.get();
  Driver->OwnerThread = OwnerThread;
  Parts = TX11Parts{Connection.get(), Driver.get(), Selections.get(), Tray.get()};

  WNDCLASSA Class{};
  if (!GetClassInfoA(nullptr, PumpClassName, &Class)) {
    Class.lpfnWndProc = PumpProc;
    Class.lpszClassName = PumpClassName;
    RegisterClassA(&Class);
  }
  DrainMessage = RegisterWindowMessageA("KorcamX11Events");
  PumpWindow = CreateWindowExA(0, PumpClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Driver->SetOwnerThread(OwnerThread);
  Driver->SetHiddenWindow(PumpWindow);
  Driver->SetDrainRequest([this] { RequestDrain(); });

  // The class library's clipboard and tray icon go to the desktop from now on.
  Desktop = std::make_unique<TX11Desktop>();

  if (pipe2(FStopPipe, O_CLOEXEC) != 0) FStopPipe[0] = FStopPipe[1] = -1;
  FReader = std::thread([this] { ReadLoop(); });
  return true;
}

void TX11Backend::Stop() {
  {
    std::lock_guard<std::mutex> Lock(FMutex);
    FStopping = true;
  }
  FDrained.notify_all();
  if (FStopPipe[1] >= 0) {
    unsigned char Byte = 0;
    [[maybe_unused]] ssize_t Written = write(FStopPipe[1], &Byte, 1);
  }
  if (FReader.joinable()) FReader.join();
  for (int& End : FStopPipe) {
    if (End >= 0) close(End);
    End = -1;
  }
  if (PumpWindow) DestroyWindow(PumpWindow);
  PumpWindow = nullptr;
  Desktop.reset();
  Tray.reset();
  Selections.reset();
  Driver.reset();
  Keyboard.reset();
  Connection.reset();
  OwnDisplay = nullptr;
}

// The reader thread only watches the descriptor; it never calls Xlib. Once it has asked for a
// drain it waits until the user-interface thread has read what was there, so a readable
// descriptor does not make it spin.
void TX11Backend::ReadLoop() {
  int Descriptor = Connection->Descriptor();
  for (;;) {
    pollfd Watch[2] = {{Descriptor, POLLIN, 0}, {FStopPipe[0], POLLIN, 0}};
    int Count = poll(Watch, FStopPipe[0] >= 0 ? 2 : 1, FStopPipe[0] >= 0 ? -1 : 50);
    {
      std::unique_lock<std::mutex> Lock(FMutex);
      if (FStopping || Lost) return;
    }
    if (Count <= 0 || !(Watch[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    RequestDrain();
    std::unique_lock<std::mutex> Lock(FMutex);
    FDrained.wait(Lock, [this] { return !FDrainPending || FStopping || Lost; });
    if (FStopping || Lost) return;
  }
}

void TX11Backend::RequestDrain() {
  {
    std::lock_guard<std::mutex> Lock(FMutex);
    if (FDrainPending) return;
    FDrainPending = true;
  }
  PostMessageA(PumpWindow, DrainMessage, 0, 0);
}

void TX11Backend::Drain() {
  if (!Connection->Alive()) {
    std::lock_guard<std::mutex> Lock(FMutex);
    FDrainPending = false;
    return;
  }
  Display* Server = Connection->Get();
  // Read everything the server sent before the reader may look at the descriptor again. The
  // request is answered first, so a handler that runs a message loop of its own (a modal
  // dialog) is drained by that loop in turn.
  XEventsQueued(Server, QueuedAfterReading);
  {
    std::lock_guard<std::mutex> Lock(FMutex);
    FDrainPending = false;
  }
  FDrained.notify_all();
  while (!Lost && XPending(Server) > 0) {
    XEvent Event;
    XNextEvent(Server, &Event);
    if (Lost) break;
    if (Event.type == MappingNotify) {
      // The keyboard layout changed: Xlib's key tables must follow.
      XRefreshKeyboardMapping(&Event.xmapping);
      continue;
    }
    if (Keyboard->Filter(Event)) continue;
    if (Selections->HandleEvent(Event)) continue;
    if (Tray->HandleEvent(Event)) continue;
    Driver->HandleEvent(Event);
  }
  if (!Lost) Driver->AfterEvents();
}

void TX11Backend::DisplayLost() {
  if (Lost.exchange(true)) return;
  FDrained.notify_all();
  HWND Target = SessionTarget.load();
  if (!Target || !IsWindow(Target)) {
    Target = nullptr;
    if (HWND Active = GetActiveWindow()) Target = GetAncestor(Active, GA_ROOTOWNER);
  }
  if (!Target) {
    std::vector<HWND> Windows;
    EnumThreadWindows(OwnerThread, CollectTopLevel, reinterpret_cast<LPARAM>(&Windows));
    for (HWND Window : Windows)
      if (Window != PumpWindow) {
        Target = Window;
        break;
      }
  }
  if (Target) PostMessageA(Target, WM_ENDSESSION, TRUE, ENDSESSION_DISPLAYLOST);
}

// ---- the public functions --------------------------------------------------------------------

bool StartX11Backend(const TX11StartOptions& Options) {
  std::lock_guard<std::mutex> Lock(StartMutex);
  if (Running) return false;
  auto Backend = std::make_unique<TX11Backend>();
  if (!Backend->Start(Options)) return false;
  TX11Backend* Started = Backend.release();
  Running = Started;
  SetWindowDriver(Started->Driver.get());
  Started->Driver->MirrorExisting();
  return true;
}

void StopX11Backend() {
  TX11Backend* Backend;
  {
    std::lock_guard<std::mutex> Lock(StartMutex);
    Backend = Running;
    if (!Backend) return;
  }
  if (GetWindowDriver() == Backend->Driver.get()) SetWindowDriver(nullptr);
  Backend->Stop();
  {
    std::lock_guard<std::mutex> Lock(StartMutex);
    Running = nullptr;
  }
  delete Backend;
}

bool X11BackendRunning() { return Running != nullptr; }

void SetX11SessionTarget(HWND Window) { SessionTarget.store(Window); }

bool X11DisplayLost() {
  TX11Backend* Backend = Running;
  return Backend && Backend->Lost;
}

unsigned long X11WindowOf(HWND TopLevel) {
  TX11Backend* Backend = Running;
  if (!Backend || Backend->OwnerThread != GetCurrentThreadId()) return 0;
  TX11Window* Window = Backend->Driver->Find(TopLevel);
  return Window ? Window->Id : 0;
}

namespace X11Impl {

const TX11Parts* RunningParts() {
  TX11Backend* Backend = Running;
  if (!Backend || Backend->Lost || Backend->OwnerThread != GetCurrentThreadId()) return nullptr;
  return &Backend->Parts;
}

}  // namespace X11Impl
