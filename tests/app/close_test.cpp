// The two kinds of close: any close but a real one keeps the program running (in the tray, or
// minimised where there is no tray); the exit action, the tray's Exit, Alt+X and the end of the
// session close for real and save.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/rtl/profile.h"
#include "platform/user/desktopservices.h"
#include "platform/user/input.h"
#include "platform/user/signals.h"
#include "platform/user/winuser.h"
#include "tests/app/apptest.h"

namespace {

// A desktop's tray that takes every icon.
class TTestTray : public TNotifyArea {
 public:
  bool Exists() override { return true; }
  bool Add(const TNotifyIconData&) override { return ++Icons, true; }
  bool Modify(const TNotifyIconData&) override { return true; }
  bool Delete(HWND, UINT) override { return Icons > 0 ? (--Icons, true) : false; }
  int Icons = 0;
};

class Closing : public TAppTest {
 protected:
  void TearDown() override {
    TAppTest::TearDown();
    SetNotifyArea(nullptr);
  }
  // What every real close leaves: the file written, every activity busy, the program ending.
  void ExpectClosedForReal() {
    EXPECT_TRUE(Exists("korcam.ini"));
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(FormGhost->FRealClose);
    EXPECT_TRUE(FormGhost->FRendering && FormGhost->FSaveBusy && FormGhost->FMotionBusy && FormGhost->FConnecting &&
                FormGhost->FPreviewPaused);
  }
  TTestTray Tray;
};

TEST_F(Closing, TheCloseBoxPutsTheWindowIntoTheTray) {
  SetNotifyArea(&Tray);
  Start();
  ASSERT_TRUE(DataModule1->TrayIcon->IconShown());
  FormGhost->vcShapeBtnExit->SetDown(true);
  SendMessageA(FormGhost->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(Exists("korcam.ini"));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_FALSE(IsWindowVisible(FormGhost->Handle()));
  EXPECT_TRUE(FormGhost->FInTray);
  EXPECT_FALSE(FormGhost->vcShapeBtnExit->Down());
  // The tray's Open brings it back.
  DataModule1->Open1->Click();
  Pump();
  EXPECT_TRUE(IsWindowVisible(FormGhost->Handle()));
  EXPECT_FALSE(FormGhost->FInTray);
}

// Without a tray a hidden window could not come back, and with it the real close that saves the
// settings: the window only minimises.
TEST_F(Closing, WithoutATrayTheCloseBoxOnlyMinimises) {
  Start();
  SendMessageA(FormGhost->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(IsWindowVisible(FormGhost->Handle()));
  EXPECT_TRUE(IsIconic(FormGhost->Handle()));
  EXPECT_FALSE(Exists("korcam.ini"));
  // The window's own exit action still closes for real.
  CloseForReal();
  ExpectClosedForReal();
}

TEST_F(Closing, MinimizeOnStart) {
  WriteText("korcam.ini", "[Options]\nMinimize on start=True\n");
  {
    SCOPED_TRACE("with a tray the window is never shown");
    SetNotifyArea(&Tray);
    Start();
    EXPECT_TRUE(FormGhost->FInTray);
    EXPECT_FALSE(IsWindowVisible(FormGhost->Handle()));
    Stop();
  }
  {
    SCOPED_TRACE("without one it starts minimised");
    SetNotifyArea(nullptr);
    Start();
    EXPECT_TRUE(FormGhost->FInTray);
    EXPECT_EQ(FormGhost->WindowState(), wsMinimized);
  }
}

TEST_F(Closing, EveryWayOfARealCloseSaves) {
  struct TCase {
    const char* Name;
    void (*Close)();
  } Cases[] = {
      {"the exit action", [] { DataModule1->ActionExit->Execute(); }},
      {"the tray menu's Exit", [] { DataModule1->Close1->Click(); }},
      {"Alt+X",
       [] {
         SetFocus(FormGhost->Handle());
         InjectKey(VK_MENU, true);
         InjectKeyStroke('X');
         InjectKey(VK_MENU, false);
       }},
      // The end of the session, whatever its parameters say.
      {"the end of the session", [] { PostMessageA(FormGhost->Handle(), WM_ENDSESSION, 0, 0); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Start();
    Case.Close();
    Pump();
    ExpectClosedForReal();
    Stop();
    ::unlink(SettingsPath().c_str());
    Application->ResetTerminated();
  }
}

// SIGTERM (and SIGHUP) end the session: a real close that saves, run by the message loop.
TEST_F(Closing, SigtermSavesTheSettings) {
  Start();
  ASSERT_TRUE(InstallSessionSignals(FormGhost->Handle()));
  ::raise(SIGTERM);
  for (int Round = 0; Round < 2000 && !Application->Terminated(); ++Round) {
    Pump();
    ::usleep(1000);
  }
  RemoveSessionSignals();
  ExpectClosedForReal();
}

// A real close while gamer view is on keeps the window bounds from before gamer view.
TEST_F(Closing, GamerViewKeepsTheStoredBounds) {
  WriteText("korcam.ini", "[Options]\nFormWidth=700\nGamer View Enable=True\n");
  Start();
  FormGhost->SetWidth(300);
  CloseForReal();
  EXPECT_EQ(GetPrivateProfileStringA("Options", "FormWidth", "", SettingsPath()), "700");
}

}  // namespace
