// The pieces form, headless: a main window read from its form resource, its fields bound before
// OnCreate, then used as a user would: tool-bar buttons and shortcuts, the splitter, the pages,
// the track bar, the album's view menu, and the tray icon with its menu. Pictures of both pages.

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"
#include "tests/platform/forms/window/piecesform.h"

namespace FormsTest {
namespace {

class PiecesTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    SetNotifyArea(&Tray);
    RegisterPiecesForm();
    Application->CreateForm(Form);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    SetNotifyArea(nullptr);
    TFormsTest::TearDown();
  }
  void Chord(int Modifier, int Key) {
    InjectKey(Modifier, true);
    InjectKeyStroke(Key);
    InjectKey(Modifier, false);
    Pump();
  }
  void TrayMouse(UINT MouseMessage) {
    PostMessageA(Form->TrayIcon->CallbackWindow(), TTrayIcon::CallbackMessage, TTrayIcon::IconId,
                 LPARAM(MouseMessage));
    Pump();
  }

  TRecordingTray Tray;
  TPiecesForm* Form = nullptr;
};

TEST_F(PiecesTest, ReadFromItsResourceWithItsFieldsBoundBeforeOnCreate) {
  EXPECT_TRUE(Form->FieldsBoundAtCreate);
  EXPECT_EQ(Form->ImageList1->Count(), 5);
  EXPECT_EQ(Form->PageControl1->PageCount(), 3);
  EXPECT_EQ(Form->PageControl1->ActivePage(), Form->TabSheetWebCam);
  EXPECT_FALSE(Form->TabSheetImage->TabVisible());
  EXPECT_EQ(Form->ActionToolBar2->ButtonCount(), 7);
  EXPECT_EQ(Form->ActionToolBar2->Height(), 22 + 2);
  EXPECT_TRUE(Form->ActionToolBar3->Buttons(2)->HasDropDown());
  EXPECT_EQ(Form->PopupMenuTray->Items()->DefaultItem()->Caption(), "Open");
  EXPECT_EQ(Form->TrayIcon->PopupMenu(), Form->PopupMenuTray);
  // The tray got the icon with its tooltip.
  EXPECT_EQ(Tray.Log, (std::vector<std::string>{"add Korvane Webcam Lite"}));
  EXPECT_TRUE(Form->TrayIcon->IconShown());
}

TEST_F(PiecesTest, TheWebCamPage) {
  // Start-up hides what this edition does not offer: the bar closes up.
  const int ButtonsLeft = Form->ActionToolBar2->FindButton(Form->ActionButtons)->Left();
  Form->ActionSeparatorToHide->SetVisible(false);
  EXPECT_LT(Form->ActionToolBar2->FindButton(Form->ActionButtons)->Left(), ButtonsLeft);
  // A click on a tool-bar button, and the actions' shortcuts (the form owns the manager).
  TActionToolButton* Capture = Form->ActionToolBar2->FindButton(Form->ActionCapture);
  ClickAt(Capture, 5, 5);
  Pump();
  Chord(VK_CONTROL, 'I');
  Chord(VK_MENU, 'X');
  ClickAt(Form->ActionToolBar2->FindButton(Form->ActionMovie), 5, 5);
  Pump();
  EXPECT_EQ(Form->Log, "ActionExecute Image;ActionExecute Image;ActionExecute Exit;ActionExecute Movie;");
  EXPECT_TRUE(Form->ActionMovie->Checked());
  EXPECT_TRUE(Form->ActionToolBar2->FindButton(Form->ActionMovie)->Checked());
  // The splitter gives the options panel 40 pixels more.
  Form->Log.clear();
  PressAt(Form->Splitter1, 1, 60);
  MoveTo(Form->Splitter1, 21, 60);
  MoveTo(Form->Splitter1, 41, 60);
  ReleaseAt(Form->Splitter1, 41, 60);
  Pump();
  EXPECT_EQ(Form->PanelOptions->Width(), 190);
  EXPECT_EQ(Form->Log, "Splitter1Moved;");
  MoveTo(Form->ActionToolBar2->FindButton(Form->ActionCapture), 6, 6);
  Pump();
  SaveWindowPng(Form, "pieces_webcam", 2);
}

TEST_F(PiecesTest, TheAlbumPage) {
  const RECT Tab = Form->PageControl1->TabRect(Form->TabSheetAlbum->PageIndex());
  ClickAt(Form->PageControl1, (Tab.left + Tab.right) / 2, (Tab.top + Tab.bottom) / 2);
  Pump();
  ASSERT_EQ(Form->PageControl1->ActivePage(), Form->TabSheetAlbum);
  // The track bar: a click takes the focus, the keys move it, the program's moves raise OnChange.
  ClickAt(Form->TrackBarAlbum, Form->TrackBarAlbum->ThumbRect().left + 1, 8);
  Pump();
  Form->Log.clear();
  Keys({VK_RIGHT, VK_NEXT});
  Form->TrackBarAlbum->SetPosition(50);
  EXPECT_EQ(Form->Log, "TrackBarAlbumChange 1;TrackBarAlbumChange 2;TrackBarAlbumChange 50;");
  // The view menu: List.
  Form->Log.clear();
  TActionToolButton* View = Form->ActionToolBar3->FindButton(Form->ActionViewAlbum);
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        InjectKeyStroke(VK_DOWN);
                        InjectKeyStroke(VK_DOWN);
                        InjectKeyStroke(VK_RETURN);
                      }},
                     [&] { Form->ActionToolBar3->DroppedMenu()->CloseMenu(); });
  ClickAt(View, 5, 5);
  Pump();
  EXPECT_EQ(Form->Log, "ActionExecute List;");
  EXPECT_TRUE(Form->ActionList->Checked());
  EXPECT_FALSE(Form->ActionReport->Checked());
  SaveWindowPng(Form, "pieces_album", 2);
}

TEST_F(PiecesTest, TheTrayIconAndItsMenu) {
  TrayMouse(WM_LBUTTONDBLCLK);
  EXPECT_EQ(Form->Log, "Open1Click;");
  Form->Log.clear();
  SetCursorPos(600, 560);
  std::string HintOfExit;
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        SaveWindowPng(Form->PopupMenuTray->Window(), "pieces_tray_menu", 2);
                        InjectKeyStroke(VK_UP);
                      },
                      [&] {
                        // The highlighted item's hint is the application's (a status bar shows it).
                        HintOfExit = Application->Hint();
                        InjectKeyStroke(VK_RETURN);
                      }},
                     [&] { Form->PopupMenuTray->CloseMenu(); });
  TrayMouse(WM_RBUTTONUP);
  EXPECT_EQ(Form->Log, "PopupMenuTrayPopup;Close1Click;");
  EXPECT_EQ(HintOfExit, "Application Close");
  EXPECT_EQ(Application->Hint(), "");
  // Into the tray and back.
  Form->Log.clear();
  Form->TrayIcon->Minimize();
  Pump();
  EXPECT_FALSE(Form->Visible());
  Form->TrayIcon->Restore();
  Pump();
  EXPECT_TRUE(Form->Visible());
  EXPECT_EQ(Form->Log, "TrayIconMinimize;TrayIconRestore;");
}

}  // namespace
}  // namespace FormsTest
