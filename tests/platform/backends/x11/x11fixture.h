#pragma once
// The X11 back end under a real X server: an Xvfb started by the tests themselves, a second X
// connection that plays the other programs (window manager moves, clicks, clipboard readers,
// a tray), test windows that paint a known picture and log what they receive, and a message
// loop that runs until a condition holds.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends/x11/x11backend.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

#include "platform/backends/x11/x11connection.h"

namespace X11Test {

// An Xvfb process on a free display number (Xvfb picks it and reports it: -displayfd).
class TXvfb {
 public:
  // Null when the Xvfb program is missing or does not start. Depth: of the screen's visual.
  static std::unique_ptr<TXvfb> Start(int Depth = 24);
  ~TXvfb();
  const std::string& Name() const { return FName; }
  // Ends the server at once (SIGKILL), as a crash or a lost connection would.
  void Kill();

 private:
  int FPid = -1;
  std::string FName;
};

bool XvfbInstalled();
// The server the tests share (started on first use); null when it cannot run.
TXvfb* SharedServer();

// A message loop on the calling thread (timers tick every 10 ms, so it never blocks long) until
// Done() holds or Milliseconds pass. Returns Done()'s last answer.
bool PumpUntil(const std::function<bool()>& Done, unsigned Milliseconds = 5000);
void PumpFor(unsigned Milliseconds);

struct TLogged {
  HWND Window;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
};
// Every message of the test windows that a test looks at (input, activation, close, sizes).
std::vector<TLogged>& Log();
bool Logged(UINT Message, HWND Window = nullptr);
const TLogged* FindLogged(UINT Message, HWND Window = nullptr);

// A test window: its client area shows four coloured quadrants and a white diagonal, so a
// present that shows the wrong part or nothing is seen. WM_CLOSE is logged and destroys it.
// Custom painting: a procedure to call instead of the quadrants (null: none).
using TPainter = std::function<void(HWND, HDC, const RECT& Client)>;
HWND CreateTestWindow(DWORD ExStyle, DWORD Style, int X, int Y, int Width, int Height, HWND Owner = nullptr,
                      const char* Title = "Test");
void SetPainter(TPainter Painter);
// What a test window does when the typed character 3 (Ctrl+C) arrives.
void SetCopyAction(std::function<void(HWND)> Action);

// The second X connection: the other programs of the desktop.
class TOtherClient {
 public:
  explicit TOtherClient(const std::string& DisplayName);
  ~TOtherClient();
  Display* Get() const { return FDisplay; }
  ::Window Root() const { return DefaultRootWindow(FDisplay); }
  Atom Intern(const char* Name) { return XInternAtom(FDisplay, Name, False); }

  bool Viewable(::Window Target);
  bool Exists(::Window Target);
  bool OverrideRedirect(::Window Target);
  // Pixels of the window as 0x00RRGGBB, top row first.
  std::vector<uint32_t> Pixels(::Window Target, int Width, int Height);
  std::vector<unsigned long> LongProperty(::Window Target, const char* Name, Atom Type);
  std::string StringProperty(::Window Target, const char* Name);

  void SendKey(::Window Target, KeySym Symbol, bool Press, unsigned State = 0);
  void SendKeycode(::Window Target, unsigned Keycode, bool Press, unsigned State = 0);
  void SendButton(::Window Target, unsigned Button, bool Press, int X, int Y, unsigned State = 0);
  void SendCrossing(::Window Target, bool Enter, int X, int Y);
  void SendClientMessage(::Window Target, Atom Type, long Data0, long Data1 = 0, long Data2 = 0);

 private:
  Display* FDisplay = nullptr;
};

// The smallest tray manager, on the other connection: it owns the tray selection, announces
// itself and collects the dock requests it gets. The selection goes when it is destroyed.
class TFakeTray {
 public:
  explicit TFakeTray(TOtherClient& Other);
  ~TFakeTray();
  TFakeTray(const TFakeTray&) = delete;
  TFakeTray& operator=(const TFakeTray&) = delete;
  ::Window Window() const { return FWindow; }
  // The window of the latest dock request that arrived (0: none).
  ::Window Docked();

 private:
  TOtherClient& FOther;
  ::Window FWindow = 0;
  ::Window FDocked = 0;
};

// Starts the back end on the shared server for every test, and stops it (destroying what the
// test left) afterwards. Skips with a message when Xvfb is missing.
class TX11BackendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Waits until the test window has an X window that is mapped (or unmapped).
  ::Window WaitForXWindow(HWND Window, bool Mapped = true);
  // The model's store of the X window's part: the client area for captioned windows.
  std::vector<uint32_t> ExpectedPixels(HWND Window, int& Width, int& Height);

  TXvfb* Server = nullptr;
  std::unique_ptr<TOtherClient> Other;
};

}  // namespace X11Test
