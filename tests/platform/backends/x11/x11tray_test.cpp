// Tray icons: no tray, a small fake tray manager, and a tray that starts later.

#include <string>

#include "platform/backends/x11/x11tray.h"
#include "platform/user/desktopservices.h"
#include "tests/platform/backends/x11/x11fixture.h"

using namespace X11Test;

namespace {

constexpr UINT TrayCallback = WM_APP + 5;

TX11TrayIcon RedIcon(HWND Window, const char* Tip) {
  TX11TrayIcon Icon;
  Icon.Window = Window;
  Icon.Id = 7;
  Icon.CallbackMessage = TrayCallback;
  Icon.Width = Icon.Height = 16;
  Icon.Pixels.assign(16 * 16, 0xFFE01010u);
  // A transparent corner.
  Icon.Pixels[0] = 0x00000000u;
  Icon.Tip = Tip;
  return Icon;
}

using X11Tray = TX11BackendTest;

TEST_F(X11Tray, WithoutATrayManagerThereIsNoTray) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  EXPECT_FALSE(X11TrayExists());
  EXPECT_FALSE(X11TrayAddIcon(RedIcon(Window, "Korvane Webcam")));
  EXPECT_FALSE(X11TrayModifyIcon(RedIcon(Window, "Other")));
  EXPECT_FALSE(X11TrayRemoveIcon(Window, 7));
}

TEST_F(X11Tray, IconsDockWithTheTrayAndReportTheMouse) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  TFakeTray Tray(*Other);
  PumpFor(20);
  ASSERT_TRUE(X11TrayExists());
  ASSERT_TRUE(X11TrayAddIcon(RedIcon(Window, "Korvane Webcam")));
  ::Window Icon = 0;
  ASSERT_TRUE(PumpUntil([&] { return (Icon = Tray.Docked()) != 0; }));
  EXPECT_EQ(Other->LongProperty(Icon, "_XEMBED_INFO", Other->Intern("_XEMBED_INFO")),
            (std::vector<unsigned long>{0, 1}));
  EXPECT_EQ(Other->StringProperty(Icon, "_NET_WM_NAME"), "Korvane Webcam");

  // The tray embeds it at the size it likes; the picture is scaled to it.
  Display* Server = Other->Get();
  XReparentWindow(Server, Icon, Tray.Window(), 0, 0);
  XResizeWindow(Server, Icon, 22, 22);
  XMapWindow(Server, Tray.Window());
  XMapWindow(Server, Icon);
  XSync(Server, False);
  EXPECT_TRUE(PumpUntil([&] {
    std::vector<uint32_t> Pixels = Other->Pixels(Icon, 22, 22);
    return Pixels.size() == 22 * 22 && Pixels[11 * 22 + 11] == 0xE01010u;
  }));

  // Clicks reach the window as the callback message: wParam the id, lParam the mouse message.
  Log().clear();
  Other->SendButton(Icon, Button1, true, 5, 5);
  Other->SendButton(Icon, Button1, false, 5, 5, Button1Mask);
  Other->SendButton(Icon, Button1, true, 5, 5);
  Other->SendButton(Icon, Button3, false, 5, 5, Button3Mask);
  ASSERT_TRUE(PumpUntil([&] { return Log().size() >= 4; }));
  const LPARAM Expected[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP};
  for (size_t I = 0; I < 4; ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Log()[I].Window, Window);
    EXPECT_EQ(Log()[I].Message, TrayCallback);
    EXPECT_EQ(Log()[I].WParam, WPARAM(7));
    EXPECT_EQ(Log()[I].LParam, Expected[I]);
  }

  // Adding it again changes it; modifying changes the tip; removing takes the window away.
  EXPECT_TRUE(X11TrayModifyIcon(RedIcon(Window, "Motion detected")));
  EXPECT_TRUE(PumpUntil([&] { return Other->StringProperty(Icon, "_NET_WM_NAME") == "Motion detected"; }));
  EXPECT_TRUE(X11TrayRemoveIcon(Window, 7));
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Icon); }));
  EXPECT_FALSE(X11TrayRemoveIcon(Window, 7));

  // An icon goes with the window it reports to.
  ASSERT_TRUE(X11TrayAddIcon(RedIcon(Window, "Korvane Webcam")));
  ::Window Second = 0;
  ASSERT_TRUE(PumpUntil([&] { return (Second = Tray.Docked()) != Icon && Second; }));
  DestroyWindow(Window);
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Second); }));
}

// What the class library's tray icon uses: Shell_NotifyIcon over the back end's tray.
TEST_F(X11Tray, ShellNotifyIconReachesTheTray) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  TNotifyIconData Full;
  Full.Wnd = Window;
  Full.ID = 3;
  Full.Flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Full.CallbackMessage = TrayCallback;
  Full.IconWidth = Full.IconHeight = 16;
  Full.IconPixels.assign(16 * 16, 0xFF10E010u);
  Full.Tip = "Korvane Webcam";
  ASSERT_NE(GetNotifyArea(), nullptr);
  EXPECT_FALSE(NotifyAreaExists());
  EXPECT_EQ(Shell_NotifyIcon(NIM_ADD, Full), FALSE);

  TFakeTray Tray(*Other);
  PumpFor(20);
  EXPECT_TRUE(NotifyAreaExists());
  ASSERT_EQ(Shell_NotifyIcon(NIM_ADD, Full), TRUE);
  ::Window Icon = 0;
  ASSERT_TRUE(PumpUntil([&] { return (Icon = Tray.Docked()) != 0; }));
  EXPECT_EQ(Other->StringProperty(Icon, "_NET_WM_NAME"), "Korvane Webcam");

  // A change of the tip alone keeps the picture and the callback message.
  TNotifyIconData TipOnly;
  TipOnly.Wnd = Window;
  TipOnly.ID = 3;
  TipOnly.Flags = NIF_TIP;
  TipOnly.Tip = "Motion detected";
  EXPECT_EQ(Shell_NotifyIcon(NIM_MODIFY, TipOnly), TRUE);
  EXPECT_TRUE(PumpUntil([&] { return Other->StringProperty(Icon, "_NET_WM_NAME") == "Motion detected"; }));
  Display* Server = Other->Get();
  XReparentWindow(Server, Icon, Tray.Window(), 0, 0);
  XMapWindow(Server, Tray.Window());
  XMapWindow(Server, Icon);
  XSync(Server, False);
  EXPECT_TRUE(PumpUntil([&] {
    std::vector<uint32_t> Pixels = Other->Pixels(Icon, 16, 16);
    return Pixels.size() == 16 * 16 && Pixels[8 * 16 + 8] == 0x10E010u;
  }));
  Log().clear();
  Other->SendButton(Icon, Button1, true, 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return Logged(TrayCallback, Window); }));
  EXPECT_EQ(FindLogged(TrayCallback, Window)->WParam, WPARAM(3));
  EXPECT_EQ(FindLogged(TrayCallback, Window)->LParam, LPARAM(WM_LBUTTONDOWN));

  TNotifyIconData Unknown = TipOnly;
  Unknown.ID = 4;
  EXPECT_EQ(Shell_NotifyIcon(NIM_MODIFY, Unknown), FALSE);
  EXPECT_EQ(Shell_NotifyIcon(NIM_DELETE, Unknown), FALSE);
  EXPECT_EQ(Shell_NotifyIcon(7, Full), FALSE);
  EXPECT_EQ(Shell_NotifyIcon(NIM_DELETE, TipOnly), TRUE);
  EXPECT_TRUE(PumpUntil([&] { return !Other->Exists(Icon); }));
  EXPECT_EQ(Shell_NotifyIcon(NIM_MODIFY, TipOnly), FALSE);

  // Without the back end (headless) there is no tray at all.
  StopX11Backend();
  EXPECT_EQ(GetNotifyArea(), nullptr);
  EXPECT_FALSE(NotifyAreaExists());
  EXPECT_EQ(Shell_NotifyIcon(NIM_ADD, Full), FALSE);
}

TEST_F(X11Tray, ATrayThatStartsLaterGetsTheIconsAndIsAnnounced) {
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  UINT Created = RegisterWindowMessageA("TaskbarCreated");
  {
    TFakeTray First(*Other);
    PumpFor(20);
    ASSERT_TRUE(X11TrayAddIcon(RedIcon(Window, "Korvane Webcam")));
    ASSERT_TRUE(PumpUntil([&] { return First.Docked() != 0; }));
  }
  // The panel quit: no tray until another starts.
  EXPECT_TRUE(PumpUntil([&] { return !X11TrayExists(); }));
  Log().clear();
  TFakeTray Second(*Other);
  EXPECT_TRUE(PumpUntil([&] { return Second.Docked() != 0; }));
  EXPECT_TRUE(PumpUntil([&] { return Logged(Created, Window); }));
  EXPECT_TRUE(X11TrayExists());
}

}  // namespace
