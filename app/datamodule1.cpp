// The data module's own state, the handlers of the start-up and the real close (the tray's
// "Exit", the exit action, the tray icon's minimise and restore), and the handlers of features
// still to come, which do nothing yet.

#include "app/datamodule1.h"

#include "app/formghost.h"
#include "platform/forms/application.h"

KORCAM_REGISTER_CLASS(TDataModule1)

TDataModule1* DataModule1 = nullptr;

TDataModule1::TDataModule1(TComponent* AOwner) : TDataModule(AOwner) {
  DataModule1 = this;
}

TDataModule1::~TDataModule1() {
  if (DataModule1 == this) DataModule1 = nullptr;
}

void TDataModule1::DataModuleCreate(TObject*) {
  // The album's view actions carry the list view's style in their tags (the form holds others).
  ActionIcon->SetTag(0);
  ActionSmallIcon->SetTag(1);
  ActionList->SetTag(2);
  ActionReport->SetTag(3);
}

// ---- the real close ----------------------------------------------------------------------------

void TDataModule1::ActionExitExecute(TObject*) {
  if (!FormGhost) return;
  FormGhost->FRealClose = true;
  FormGhost->Close();
}

void TDataModule1::Close1Click(TObject*) {
  if (!FormGhost) return;
  FormGhost->FRealClose = true;
  FormGhost->Close();
}

// ---- the window in the tray and back -------------------------------------------------------------

void TDataModule1::Open1Click(TObject*) {
  TrayIcon->Restore();
  if (FormGhost) FormGhost->FPreviewPaused = false;
}

void TDataModule1::TrayIconMinimize(TObject*) {
  if (!FormGhost) return;
  FormGhost->FInTray = true;
  // In the tray the preview runs on only to watch for motion.
  if (!(FormGhost->FindOption("Enable motion detection")->IsChecked() && FormGhost->FConnected))
    TimerPreview->SetEnabled(false);
}

void TDataModule1::TrayIconRestore(TObject*) {
  if (!FormGhost) return;
  // The application is being restored when this event comes (the tray icon's restore is its
  // restore), so only the window is brought back: at start-up it is not the main form yet.
  if (!FormGhost->Visible()) FormGhost->Show();
  Application->BringToFront();
  FormGhost->FInTray = false;
  if (FormGhost->FConnected) TimerPreview->SetEnabled(true);
}

// ---- the FTP client's transfers ------------------------------------------------------------------

void TDataModule1::IdFTP1WorkBegin(TObject*, TWorkMode, int64_t) {
  if (FormGhost) FormGhost->FFtpTransferring = true;
}

void TDataModule1::IdFTP1WorkEnd(TObject*, TWorkMode) {
  if (FormGhost) FormGhost->FFtpTransferring = false;
}

// ---- the tray menu, the status message and the tool-bar toggles ----------------------------
// FIXME: waits for the window shell.
void TDataModule1::PopupMenuTrayPopup(TObject*) {}
void TDataModule1::TimerIconInfoTimer(TObject*) {}
void TDataModule1::ActionEffectsExecute(TObject*) {}
void TDataModule1::ActionImageEffectsExecute(TObject*) {}
void TDataModule1::ActionLastSavedExecute(TObject*) {}
void TDataModule1::ActionMarkExecute(TObject*) {}
void TDataModule1::ActionGamersExecute(TObject*) {}
void TDataModule1::ActionButtonsExecute(TObject*) {}
void TDataModule1::ActionHelpExecute(TObject*) {}

// ---- the album's actions -------------------------------------------------------------------
// FIXME: waits for the album page.
void TDataModule1::ActionHomeExecute(TObject*) {}
void TDataModule1::ActionBackExecute(TObject*) {}
void TDataModule1::ActionBackUpdate(TObject*) {}
void TDataModule1::ActionRefreshExecute(TObject*) {}
void TDataModule1::ActionDeleteExecute(TObject*) {}
void TDataModule1::ActionViewAlbumExecute(TObject*) {}
void TDataModule1::ActionIconExecute(TObject*) {}
void TDataModule1::ActionIconUpdate(TObject*) {}
void TDataModule1::ActionSmallIconExecute(TObject*) {}
void TDataModule1::ActionListExecute(TObject*) {}
void TDataModule1::ActionReportExecute(TObject*) {}
void TDataModule1::ActionSortedExecute(TObject*) {}
void TDataModule1::ActionSortedUpdate(TObject*) {}

// ---- the image page's actions and slide show -----------------------------------------------
// FIXME: waits for the image page.
void TDataModule1::ActionFirstImageExecute(TObject*) {}
void TDataModule1::ActionPrevImageExecute(TObject*) {}
void TDataModule1::ActionNextImageExecute(TObject*) {}
void TDataModule1::ActionLastImageExecute(TObject*) {}
void TDataModule1::ActionSlideImageExecute(TObject*) {}
void TDataModule1::ActionIncImageExecute(TObject*) {}
void TDataModule1::ActionDecImageExecute(TObject*) {}
void TDataModule1::ActionRealImageExecute(TObject*) {}
void TDataModule1::ActionSaveImageExecute(TObject*) {}
void TDataModule1::ActionCopyImageExecute(TObject*) {}
void TDataModule1::ActionDeleteImageExecute(TObject*) {}
void TDataModule1::TimerImageSlideTimer(TObject*) {}

// ---- the driver dialogs, the stream behind the source dialog and the window size -----------
// FIXME: waits for the driver dialogs and video window size.
void TDataModule1::TimerDelayPreviewTimer(TObject*) {}
void TDataModule1::ActionVideoOptionsExecute(TObject*) {}
void TDataModule1::ActionFormatSetupExecute(TObject*) {}
void TDataModule1::ActionSourceSetupExecute(TObject*) {}
void TDataModule1::ActionVideoOutputExecute(TObject*) {}
void TDataModule1::ActionVideoCompressionExecute(TObject*) {}

// ---- the movie position timer --------------------------------------------------------------
// FIXME: waits for the album movie playback.
void TDataModule1::TimerAlbumTimer(TObject*) {}

// ---- the dial-up action and the picture server's delayed notice ----------------------------
// FIXME: waits for the preference handlers.
void TDataModule1::ActionHangUpExecute(TObject*) {}
void TDataModule1::TimerDelayPictureTimer(TObject*) {}

// ---- the hidden network groups -------------------------------------------------------------
// This edition runs no server, sends no mail and transfers no files: these do nothing.
void TDataModule1::TimerHTTPConnectionsTimer(TObject*) {}
void TDataModule1::TimerFTPTimer(TObject*) {}
void TDataModule1::HTTPServerCommandGet(TPeerThread*, THTTPRequestInfo*, THTTPResponseInfo*) {}
void TDataModule1::HTTPServerConnect(TPeerThread*) {}
void TDataModule1::HTTPServerDisconnect(TPeerThread*) {}
void TDataModule1::acActivateExecute(TObject*) {}
void TDataModule1::ActionHTTPServerExecute(TObject*) {}
void TDataModule1::ActionHTTPCopyClipboardExecute(TObject*) {}
void TDataModule1::ActionRunBrowserExecute(TObject*) {}
void TDataModule1::ActionSendEmailExecute(TObject*) {}
void TDataModule1::ActionSendEmailImageExecute(TObject*) {}
void TDataModule1::ActionSendEmailInstantExecute(TObject*) {}
