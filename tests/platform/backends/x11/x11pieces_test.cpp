// The pieces form on a real X server: it shows exactly what the headless back end rendered, its
// tool-bar buttons answer clicks from the server, and its tray icon docks with a tray manager and
// answers a double-click and the right button with the tray menu, whose entry a click picks.

// The class library first: Xlib's macros (KeyPress, None, Status ...) come after it.
#include "platform/backends/headless/headless.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/platform/forms/window/piecesform.h"
#include "tests/platform/backends/x11/x11fixture.h"

using namespace X11Test;

namespace {

// The client area of the form as the headless back end renders it, on a held clock, with the
// mouse away from it and nothing pressed.
TScreenImage RenderPiecesHeadless() {
  TScopedManualClock Clock;
  THeadlessBackend Backend{1024, 768};
  BYTE KeyState[256] = {};
  SetKeyboardState(KeyState);
  SetCursorPos(1023, 767);
  TPiecesFormHolder Form = MakePiecesForm();
  Form->Show();
  Application->ProcessMessages();
  RECT Outer{};
  GetWindowRect(Form->Handle(), &Outer);
  const POINT Origin = Form->ClientOrigin();
  const TScreenImage Window = Backend.CaptureWindow(Form->Handle());
  TScreenImage Client{Form->ClientWidth(), Form->ClientHeight(), {}};
  Client.Pixels.resize(size_t(Client.Width) * size_t(Client.Height));
  for (int Y = 0; Y < Client.Height; ++Y)
    for (int X = 0; X < Client.Width; ++X)
      Client.Pixels[size_t(Y) * size_t(Client.Width) + size_t(X)] =
          Window.At(X + Origin.x - Outer.left, Y + Origin.y - Outer.top);
  Form.reset();
  Application->ProcessMessages();
  return Client;
}

class X11Pieces : public TX11BackendTest {
 protected:
  void Click(::Window Id, unsigned Button, int X, int Y) {
    Other->SendButton(Id, Button, true, X, Y);
    Other->SendButton(Id, Button, false, X, Y, Button == Button3 ? Button3Mask : Button1Mask);
  }
};

TEST_F(X11Pieces, TheFormWorksOnScreen) {
  // The headless picture first, with the X11 back end stopped so that the render is its own.
  StopX11Backend();
  const TScreenImage Headless = RenderPiecesHeadless();
  const std::string Folder = PictureFolder();
  SaveScreenImagePng(Headless, Folder + "/pieces-headless.png");
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));
  TFakeTray Tray(*Other);
  PumpFor(20);

  TPiecesFormHolder Form = MakePiecesForm();
  Form->Show();
  ::Window Id = WaitForXWindow(Form->Handle());
  ASSERT_NE(Id, 0u);
  XSetInputFocus(Other->Get(), Id, RevertToParent, CurrentTime);
  XSync(Other->Get(), False);
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Form->Handle(); }));

  // The server shows what the headless back end rendered, pixel for pixel.
  TScreenImage Shown{Headless.Width, Headless.Height, {}};
  const bool Same = PumpUntil([&] {
    Shown.Pixels = Other->Pixels(Id, Shown.Width, Shown.Height);
    return Shown.Pixels == Headless.Pixels;
  });
  SaveScreenImagePng(Shown, Folder + "/pieces-x11.png");
  EXPECT_TRUE(Same) << "see " << Folder << "/pieces-x11.png and pieces-headless.png";

  // A click from the server on the capture button runs its action.
  TActionToolButton* Capture = Form->ActionToolBar2->FindButton(Form->ActionCapture);
  const POINT At = Form->ScreenToClient(Capture->ClientToScreen(POINT{8, 8}));
  Click(Id, Button1, At.x, At.y);
  EXPECT_TRUE(PumpUntil([&] { return Form->Log == "ActionExecute Image;"; })) << Form->Log;

  // The icon docks with the tray manager; a double-click on it chooses the default item.
  ::Window Icon = 0;
  ASSERT_TRUE(PumpUntil([&] { return (Icon = Tray.Docked()) != 0; }));
  EXPECT_TRUE(Form->TrayIcon->IconShown());
  EXPECT_EQ(Other->StringProperty(Icon, "_NET_WM_NAME"), "Korvane Webcam Lite");
  Form->Log.clear();
  Click(Icon, Button1, 4, 4);
  Click(Icon, Button1, 4, 4);
  EXPECT_TRUE(PumpUntil([&] { return Form->Log == "Open1Click;"; })) << Form->Log;

  // The right button shows the tray menu; a click on "Exit" picks it. The menu runs its own
  // loop, so the click is sent from inside it, once its window is on the server.
  Form->Log.clear();
  bool Clicked = false;
  ::Window MenuId = 0;
  Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
    Done = false;
    TPopupMenuWindow* Menu = Form->PopupMenuTray->Window();
    if (!Menu || Clicked) return;
    MenuId = WaitForXWindow(Menu->Handle());
    if (!MenuId) return;
    const RECT Entry = Menu->EntryRect(2);
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels = ExpectedPixels(Menu->Handle(), Width, Height);
    PumpUntil([&] { return Other->Pixels(MenuId, Width, Height) == Pixels; }, 2000);
    SaveScreenImagePng(TScreenImage{Width, Height, Other->Pixels(MenuId, Width, Height)}, Folder + "/pieces-tray-menu.png");
    Click(MenuId, Button1, (Entry.left + Entry.right) / 2 + 1, (Entry.top + Entry.bottom) / 2 + 1);
    Clicked = true;
  });
  Click(Icon, Button3, 4, 4);
  EXPECT_TRUE(PumpUntil([&] { return Form->Log == "PopupMenuTrayPopup;Close1Click;"; })) << Form->Log;
  Application->OnIdle = TIdleEvent();
  EXPECT_TRUE(Clicked);
  EXPECT_EQ(Form->PopupMenuTray->Window(), nullptr);

  // The form goes; its icon leaves the tray.
  Form.reset();
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Icon); }));
}

}  // namespace
