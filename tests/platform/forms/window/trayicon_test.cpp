// The tray icon over a recording tray: shown, changed and taken away as Visible, Hint and Icon
// say; a left double-click chooses the menu's default item (or restores); the menu on the right
// button's release; the main window into the tray and back, also when the window manager
// minimises it; no tray (none at all, or one that comes later): nothing is hidden beyond reach.

#include "platform/forms/trayicon.h"

#include <gtest/gtest.h>

#include "platform/forms/menus.h"
#include "platform/user/desktopservices.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"
#include "tests/platform/forms/window/piecesform.h"

namespace FormsTest {
namespace {

class TrayIconTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    SetNotifyArea(&Tray);
    Application->CreateForm(Form);
    Form->SetBounds(100, 100, 240, 120);
    Form->Show();
    Pump();
    Menu = new TPopupMenu(Form);
    for (const char* Caption : {"Open", "Exit"}) {
      auto* Item = new TMenuItem(Form);
      Item->SetCaption(Caption);
      Item->OnClick = TNotifyEvent([this, Caption](TObject*) { Log += std::string(Caption) + ";"; });
      Menu->Items()->Add(Item);
    }
    Icon = new TTrayIcon(Form);
    Icon->SetHint("Korvane Webcam Lite");
    Icon->SetPopupMenu(Menu);
    Icon->SetHideOnMinimize(true);
    Icon->OnMinimize = TNotifyEvent([this](TObject*) { Log += "minimize;"; });
    Icon->OnRestore = TNotifyEvent([this](TObject*) { Log += "restore;"; });
  }
  void TearDown() override {
    Form->Free();
    SetNotifyArea(nullptr);
    TFormsTest::TearDown();
  }
  // The tray tells the icon's window about the mouse, as a tray does.
  void TrayMouse(UINT MouseMessage) {
    PostMessageA(Icon->CallbackWindow(), TTrayIcon::CallbackMessage, TTrayIcon::IconId, LPARAM(MouseMessage));
    Pump();
  }
  bool FormOnScreen() { return Form->Visible() && IsWindowVisible(Form->Handle()); }

  TRecordingTray Tray;
  TForm* Form = nullptr;
  TPopupMenu* Menu = nullptr;
  TTrayIcon* Icon = nullptr;
  std::string Log;
};

TEST_F(TrayIconTest, ShownChangedAndTakenAwayAsThePropertiesSay) {
  EXPECT_TRUE(TTrayIcon::SystemTrayExists());
  EXPECT_TRUE(Tray.Log.empty()) << "an icon that is not Visible asks nothing";
  Icon->SetVisible(true);
  EXPECT_TRUE(Icon->IconShown());
  Icon->SetHint("Korvane Webcam");
  Icon->Update();
  Icon->SetVisible(false);
  EXPECT_FALSE(Icon->IconShown());
  EXPECT_EQ(Tray.Log, (std::vector<std::string>{"add Korvane Webcam Lite", "modify Korvane Webcam",
                                                 "add Korvane Webcam", "delete"}));
  // What the tray got: the icon's window and message, and a picture (the built-in one).
  Icon->SetVisible(true);
  ASSERT_EQ(Tray.Icons.size(), 1u);
  const TNotifyIconData& Data = Tray.Icons.begin()->second;
  EXPECT_EQ(Data.Wnd, Icon->CallbackWindow());
  EXPECT_EQ(Data.CallbackMessage, TTrayIcon::CallbackMessage);
  EXPECT_EQ(Data.IconWidth, 16);
  EXPECT_EQ(Data.IconPixels.size(), 256u);
  EXPECT_EQ(Data.IconPixels[0] >> 24, 0u);  // a transparent corner
  EXPECT_EQ(Data.IconPixels[8 * 16 + 7] >> 24, 0xFFu);
  // The icon goes when the component goes.
  Tray.Log.clear();
  Icon->Free();
  Icon = nullptr;
  EXPECT_EQ(Tray.Log, (std::vector<std::string>{"delete"}));
  EXPECT_TRUE(Tray.Icons.empty());
}

TEST_F(TrayIconTest, DoubleClickAndTheMenu) {
  Icon->SetVisible(true);
  // Without a default item a double-click restores the program.
  TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_EQ(Log, "restore;");
  // With one it chooses that item.
  Log.clear();
  Menu->Items()->Items(0)->SetDefault(true);
  TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_EQ(Log, "Open;");
  // A single click and the right button's press do nothing; its release shows the menu where the
  // mouse is.
  Log.clear();
  TrayMouse(WM_LBUTTONDOWN);
  TrayMouse(WM_LBUTTONUP);
  TrayMouse(WM_RBUTTONDOWN);
  EXPECT_EQ(Log, "");
  SetCursorPos(700, 560);
  RECT MenuFrame{};
  int Popups = 0;
  Menu->OnPopup = TNotifyEvent([&](TObject*) { ++Popups; });
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        GetWindowRect(Menu->Window()->Handle(), &MenuFrame);
                        SaveWindowPng(Menu->Window(), "tray_menu", 2);
                        // Up from nothing wraps to the last item.
                        InjectKeyStroke(VK_UP);
                        InjectKeyStroke(VK_RETURN);
                      }},
                     [&] { Menu->CloseMenu(); });
  TrayMouse(WM_RBUTTONUP);
  EXPECT_EQ(Popups, 1);
  EXPECT_EQ(Log, "Exit;");
  // At the mouse, kept on the screen (the tray is at the bottom right).
  EXPECT_EQ(MenuFrame.left, 700);
  EXPECT_LE(MenuFrame.bottom, 600);
  // A press on the desktop, where no window of the program is, closes the menu without a pick.
  Log.clear();
  TIdleScript Away(FClock.Get(),
                   {[&] {
                      InjectMouseMove(10, 590);
                      InjectMouseButton(VK_LBUTTON, true, 10, 590);
                      InjectMouseButton(VK_LBUTTON, false, 10, 590);
                    }},
                   [&] { Menu->CloseMenu(); });
  TrayMouse(WM_RBUTTONUP);
  EXPECT_EQ(Log, "");
  EXPECT_EQ(Menu->Window(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrayIconTest, TheMainWindowGoesIntoTheTrayAndComesBack) {
  Icon->SetVisible(true);
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    bool OnScreen;
    const char* Log;
  };
  const TCase Cases[] = {
      {"Minimize", [&] { Icon->Minimize(); }, false, "minimize;"},
      {"Restore", [&] { Icon->Restore(); }, true, "restore;"},
      {"the window manager minimises the window",
       [&] {
         SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
         Pump();
       },
       false, "minimize;"},
      {"a double-click brings it back", [&] { TrayMouse(WM_LBUTTONDBLCLK); }, true, "restore;"},
      {"hide switch off: only minimised",
       [&] {
         Icon->SetHideOnMinimize(false);
         Icon->Minimize();
       },
       true, "minimize;"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log.clear();
    Case.Act();
    Pump();
    EXPECT_EQ(FormOnScreen(), Case.OnScreen);
    EXPECT_EQ(Log, Case.Log);
  }
  EXPECT_TRUE(IsIconic(Form->Handle()));
}

TEST_F(TrayIconTest, WithoutATrayNothingIsHiddenBeyondReach) {
  struct TCase {
    const char* Name;
    bool Installed;  // a tray service at all (a headless run has none)
  };
  const TCase Cases[] = {{"no tray running", true}, {"no tray service", false}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Tray.Present = false;
    if (!Case.Installed) SetNotifyArea(nullptr);
    EXPECT_FALSE(TTrayIcon::SystemTrayExists());
    Icon->SetVisible(true);
    EXPECT_FALSE(Icon->IconShown());
    EXPECT_TRUE(Icon->Visible());
    Log.clear();
    Icon->Minimize();
    Pump();
    // Minimised, still there for the user: the window is not hidden.
    EXPECT_TRUE(Form->Visible());
    EXPECT_TRUE(IsIconic(Form->Handle()));
    EXPECT_EQ(Log, "minimize;");
    Icon->Restore();
    Pump();
    EXPECT_FALSE(IsIconic(Form->Handle()));
    Icon->SetVisible(false);
    SetNotifyArea(&Tray);
  }
  // A tray that starts later gets the icon the program wants.
  Tray.Present = false;
  Icon->SetVisible(true);
  EXPECT_FALSE(Icon->IconShown());
  Tray.Present = true;
  PostMessageA(Icon->CallbackWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  Pump();
  EXPECT_TRUE(Icon->IconShown());
  EXPECT_EQ(Tray.Icons.size(), 1u);
}

}  // namespace
}  // namespace FormsTest
