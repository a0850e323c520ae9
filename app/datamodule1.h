#pragma once
// The data module of the program: its timers, the three action managers with their actions, the
// tray icon and its menu, the file dialogs and the network components of the hidden groups, read
// from its form resource (resources/forms/datamodule1.form). It is created before the main window
// and lives until the program ends; DataModule1 reaches it from everywhere.
//
// The handlers are published methods bound by the resource. Those of the start-up and the real
// close are built here; the others belong to the features that come with later work and do
// nothing yet (each is marked where it is defined).

#include <cstdint>

#include "platform/forms/actionmanager.h"
#include "platform/forms/actions.h"
#include "platform/forms/datamodule.h"
#include "platform/forms/filedialogs.h"
#include "platform/forms/internet/antifreeze.h"
#include "platform/forms/internet/clients.h"
#include "platform/forms/internet/httpserver.h"
#include "platform/forms/internet/mailmessage.h"
#include "platform/forms/menus.h"
#include "platform/forms/timer.h"
#include "platform/forms/trayicon.h"

class TDataModule1 : public TDataModule {
  KORCAM_CLASS(TDataModule1, TDataModule)

 public:
  explicit TDataModule1(TComponent* AOwner);
  ~TDataModule1() override;

  // ---- timers ------------------------------------------------------------------------------
  PUBLISHED_FIELD(TTimer, Timer1)
  PUBLISHED_FIELD(TTimer, TimerPreview)
  PUBLISHED_FIELD(TTimer, TimerSaveLocally)
  PUBLISHED_FIELD(TTimer, TimerMotion)
  PUBLISHED_FIELD(TTimer, TimerMovie)
  PUBLISHED_FIELD(TTimer, TimerMessagePer)
  PUBLISHED_FIELD(TTimer, TimerDelayPreview)
  PUBLISHED_FIELD(TTimer, TimerIconInfo)
  PUBLISHED_FIELD(TTimer, TimerAlbum)
  PUBLISHED_FIELD(TTimer, TimerImageSlide)
  PUBLISHED_FIELD(TTimer, TimerInLive)
  PUBLISHED_FIELD(TTimer, TimerRefreshMain)
  PUBLISHED_FIELD(TTimer, TimerHTTPConnections)
  PUBLISHED_FIELD(TTimer, TimerFTP)
  PUBLISHED_FIELD(TTimer, TimerDelayPicture)

  // ---- the WebCam page's actions -------------------------------------------------------------
  PUBLISHED_FIELD(TActionManager, ActionManagerWebCam)
  PUBLISHED_FIELD(TAction, ActionVideoOptions)
  PUBLISHED_FIELD(TAction, ActionFormatSetup)
  PUBLISHED_FIELD(TAction, ActionSourceSetup)
  PUBLISHED_FIELD(TAction, ActionVideoOutput)
  PUBLISHED_FIELD(TAction, ActionVideoCompression)
  PUBLISHED_FIELD(TAction, ActionVideoWindowSize)
  PUBLISHED_FIELD(TAction, ActionCaptureImage)
  PUBLISHED_FIELD(TAction, ActionMovie)
  PUBLISHED_FIELD(TAction, ActionLastSaved)
  PUBLISHED_FIELD(TAction, ActionMark)
  PUBLISHED_FIELD(TAction, ActionEffects)
  PUBLISHED_FIELD(TAction, ActionGamers)
  PUBLISHED_FIELD(TAction, ActionButtons)
  PUBLISHED_FIELD(TAction, ActionHTTPServer)
  PUBLISHED_FIELD(TAction, ActionHTTPCopyClipboard)
  PUBLISHED_FIELD(TAction, ActionRunBrowser)
  PUBLISHED_FIELD(TAction, ActionSendEmail)
  PUBLISHED_FIELD(TAction, ActionSendEmailInstant)
  PUBLISHED_FIELD(TAction, ActionHangUp)
  PUBLISHED_FIELD(TAction, ActionHelp)
  PUBLISHED_FIELD(TAction, ActionExit)
  PUBLISHED_FIELD(TAction, acActivate)

  // ---- the Album page's actions --------------------------------------------------------------
  PUBLISHED_FIELD(TActionManager, ActionManagerAlbum)
  PUBLISHED_FIELD(TAction, ActionHome)
  PUBLISHED_FIELD(TAction, ActionBack)
  PUBLISHED_FIELD(TAction, ActionRefresh)
  PUBLISHED_FIELD(TAction, ActionDelete)
  PUBLISHED_FIELD(TAction, ActionViewAlbum)
  PUBLISHED_FIELD(TAction, ActionIcon)
  PUBLISHED_FIELD(TAction, ActionSmallIcon)
  PUBLISHED_FIELD(TAction, ActionList)
  PUBLISHED_FIELD(TAction, ActionReport)
  PUBLISHED_FIELD(TAction, ActionSorted)

  // ---- the Image page's actions --------------------------------------------------------------
  PUBLISHED_FIELD(TActionManager, ActionManagerImage)
  PUBLISHED_FIELD(TAction, ActionFirstImage)
  PUBLISHED_FIELD(TAction, ActionPrevImage)
  PUBLISHED_FIELD(TAction, ActionNextImage)
  PUBLISHED_FIELD(TAction, ActionLastImage)
  PUBLISHED_FIELD(TAction, ActionSlideImage)
  PUBLISHED_FIELD(TAction, ActionIncImage)
  PUBLISHED_FIELD(TAction, ActionDecImage)
  PUBLISHED_FIELD(TAction, ActionRealImage)
  PUBLISHED_FIELD(TAction, ActionImageEffects)
  PUBLISHED_FIELD(TAction, ActionSeparatorImageToHide)
  PUBLISHED_FIELD(TAction, ActionSendEmailImage)
  PUBLISHED_FIELD(TAction, ActionSaveImage)
  PUBLISHED_FIELD(TAction, ActionCopyImage)
  PUBLISHED_FIELD(TAction, ActionDeleteImage)

  // ---- tray, dialogs, network ----------------------------------------------------------------
  PUBLISHED_FIELD(TTrayIcon, TrayIcon)
  PUBLISHED_FIELD(TPopupMenu, PopupMenuTray)
  PUBLISHED_FIELD(TMenuItem, Open1)
  PUBLISHED_FIELD(TMenuItem, Close1)
  PUBLISHED_FIELD(TOpenDialog, OpenDialogLogFile)
  PUBLISHED_FIELD(TOpenDialog, OpenDialogLaunch)
  PUBLISHED_FIELD(TOpenDialog, OpenDialogSoundFile)
  PUBLISHED_FIELD(TOpenPictureDialog, OpenPictureDialogPictureStamp)
  PUBLISHED_FIELD(TOpenPictureDialog, OpenPictureDialogAlphaBlend)
  PUBLISHED_FIELD(TSavePictureDialog, SavePictureDialogImage)
  PUBLISHED_FIELD(THTTPServer, HTTPServer)
  PUBLISHED_FIELD(TFTPClient, IdFTP1)
  PUBLISHED_FIELD(TSMTPClient, SMTP1)
  PUBLISHED_FIELD(TPOP3Client, POP31)
  PUBLISHED_FIELD(TMailMessage, MailMessage1)
  PUBLISHED_FIELD(TAntiFreeze, AntiFreeze1)

  // ---- handlers built here ---------------------------------------------------------------------
  PUBLISHED_METHOD(DataModuleCreate, TObject* Sender)
  PUBLISHED_METHOD(ActionExitExecute, TObject* Sender)
  PUBLISHED_METHOD(Close1Click, TObject* Sender)
  PUBLISHED_METHOD(Open1Click, TObject* Sender)
  PUBLISHED_METHOD(TrayIconMinimize, TObject* Sender)
  PUBLISHED_METHOD(TrayIconRestore, TObject* Sender)
  PUBLISHED_METHOD(IdFTP1WorkBegin, TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax)
  PUBLISHED_METHOD(IdFTP1WorkEnd, TObject* Sender, TWorkMode AWorkMode)

  // ---- handlers of later features (they do nothing yet) ----------------------------------------
  PUBLISHED_METHOD(TimerRefreshImageMain, TObject* Sender)
  PUBLISHED_METHOD(TimerPreviewTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerSaveLocallyTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerMotionTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerMovieTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerMessagePerTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerDelayPreviewTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerIconInfoTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerAlbumTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerImageSlideTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerHTTPConnectionsTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerFTPTimer, TObject* Sender)
  PUBLISHED_METHOD(TimerDelayPictureTimer, TObject* Sender)
  PUBLISHED_METHOD(PopupMenuTrayPopup, TObject* Sender)
  PUBLISHED_METHOD(ActionVideoOptionsExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionFormatSetupExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSourceSetupExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionVideoOutputExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionVideoCompressionExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionVideoWindowSizeExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionCaptureImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionMovieExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionLastSavedExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionMarkExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionEffectsExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionGamersExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionButtonsExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionHelpExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionHomeExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionBackExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionBackUpdate, TObject* Sender)
  PUBLISHED_METHOD(ActionRefreshExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionDeleteExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionViewAlbumExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionIconExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionIconUpdate, TObject* Sender)
  PUBLISHED_METHOD(ActionSmallIconExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionListExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionReportExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSortedExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSortedUpdate, TObject* Sender)
  PUBLISHED_METHOD(ActionFirstImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionPrevImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionNextImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionLastImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSlideImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionIncImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionDecImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionRealImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionImageEffectsExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSaveImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionCopyImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionDeleteImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionHTTPServerExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionHTTPCopyClipboardExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionRunBrowserExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSendEmailExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSendEmailImageExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionSendEmailInstantExecute, TObject* Sender)
  PUBLISHED_METHOD(ActionHangUpExecute, TObject* Sender)
  PUBLISHED_METHOD(acActivateExecute, TObject* Sender)
  PUBLISHED_METHOD(HTTPServerCommandGet, TPeerThread* AThread, THTTPRequestInfo* ARequestInfo,
                   THTTPResponseInfo* AResponseInfo)
  PUBLISHED_METHOD(HTTPServerConnect, TPeerThread* AThread)
  PUBLISHED_METHOD(HTTPServerDisconnect, TPeerThread* AThread)

  // ---- picture saving (datamodule1pictures.cpp) -----------------------------------------------
  // One picture into the picture folder, when one is due; raises when "Picture  Save Last" holds
  // no whole number.
  void SavePictureLocally();

  // ---- the motion response (datamodule1motion.cpp) --------------------------------------------
  // Answers a motion (or the movie action) as the motion options say: the sound, the program, the
  // e-mail hook, a picture and a movie, in that order. Returns at once unless motion detection is
  // on or a movie was asked for by hand.
  void RespondToMotion();

  // ---- own state (set by the constructor) -----------------------------------------------------
  int32_t FMovieZoomStep = 5;
  int32_t FPictureZoomStep = 5;
  int32_t FMovieZoom = 0;
  int32_t FPictureZoom = 0;
  int32_t FMotionLabelLeft = 0;
  int32_t FMotionLabelTop = 0;
  int32_t FDirectSaveNumber = 1;
  bool FMailAllowed = true;
};

// The program's one data module; nullptr before it is created and after it is freed.
extern TDataModule1* DataModule1;
