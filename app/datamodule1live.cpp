// The data module's part of the live picture: the preview tick that grabs one frame, the
// one-second composition of the still picture while no device is connected, and the video
// window size action that steps through the sizes a driver is asked for.

#include <iterator>
#include <string>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/rtl/scopeexit.h"

// One preview tick: a frame is grabbed and, inside the grab, composed by the frame callback.
void TDataModule1::TimerPreviewTimer(TObject*) {
  TFormGhost* Form = FormGhost;
  if (!Form) return;
  if (Form->FPreviewPaused) {
    // Paused (a dialog or the tray menu is open, or the program closes): a capture still
    // running ends here and the picture stays as it is.
    Form->SendCaptureMessage(WM_CAP_ABORT);
    Application->ProcessMessages();
    return;
  }
  Form->FPreviewPaused = true;
  TimerPreview->SetEnabled(false);
  Application->ProcessMessages();
  if (Form->FCaptureWindow) {
    try {
      Form->SendCaptureMessage(WM_CAP_GRAB_FRAME_NOSTOP);
      Form->WaitWhileCapturing();
    } catch (const std::exception&) {
      Form->WriteLog("capGrabFrameNoStop failed");
    }
  }
  // In the tray the frame callback composes only while motion detection watches; the tick
  // composes anyway, so that a picture saved from the tray is current.
  if (Form->FInTray) Form->RefreshMainImage(true);
  if (Form->FConnected) TimerPreview->SetEnabled(true);
  Form->FPreviewPaused = false;
}

// Timer1: while no device is connected, the still picture is composed every second (the time
// stamp ticks on it).
void TDataModule1::TimerRefreshImageMain(TObject*) {
  if (FormGhost && !FormGhost->FConnected) FormGhost->RefreshMainImage(false);
}

namespace {

const char* const VideoWindowSizes[] = {"160 x 120", "176 x 144", "320 x 240", "352 x 288", "640 x 480"};
constexpr int VideoWindowSizeCount = int(std::size(VideoWindowSizes));

}  // namespace

// The next video window size (Ctrl+S); in gamer view of the gamer size item. Gamer view's own
// switch runs it with FGamerSwitching set to apply the current size without stepping.
void TDataModule1::ActionVideoWindowSizeExecute(TObject*) {
  TFormGhost* Form = FormGhost;
  if (!Form) return;
  ActionVideoWindowSize->SetEnabled(false);
  TScopeExit Restore([this] {
    Screen->SetCursor(crDefault);
    ActionVideoWindowSize->SetEnabled(true);
  });

  const bool Gamer = Form->FindOption("Gamer View Enable")->IsChecked();
  TkvInspectorItem* SizeItem = Form->FindOption(Gamer ? "Video Window Size Gamer" : "Video Window Size");
  int Entry = -1;
  for (int Index = 0; Index < VideoWindowSizeCount; ++Index)
    if (SizeItem->EditText() == VideoWindowSizes[Index]) Entry = Index;
  if (!Form->FGamerSwitching) Entry = Entry >= 0 && Entry < VideoWindowSizeCount - 1 ? Entry + 1 : 0;
  // A text that is not a size of the list (possible only without stepping) applies the first.
  if (Entry < 0) Entry = 0;
  SizeItem->SetEditText(VideoWindowSizes[Entry]);

  Screen->SetCursor(crHourGlass);
  try {
    Form->FSizeApplying = true;
    {
      TScopeExit Applied([Form] { Form->FSizeApplying = false; });
      if (Gamer)
        Form->InspectorOptionsItems12Items2ItemChanged(nullptr, nullptr, "0");
      else
        Form->InspectorOptionsItems0Items5ItemChanged(nullptr, nullptr, "0");
    }
    if (Form->FConnected) {
      FillBitmapInfoHeader(Form->FFrameHeader, Form->FVideoWidth, Form->FVideoHeight, 24);
      Form->SendCaptureMessage(WM_CAP_SET_VIDEOFORMAT, sizeof Form->FFrameHeader,
                               reinterpret_cast<LPARAM>(&Form->FFrameHeader));
      Form->PrepareFrameBuffer();
      Form->ApplyCaptureSize();
    }
  } catch (const std::exception&) {
    Form->WriteLog("Set video window size failed");
  }

  if (Form->FCreated && !Form->FGamerSwitching) Form->OpenVideoDeviceGroup();
  Form->InspectorOptions->Refresh();
  if (Gamer) {
    // Gamer view fits the window around the video.
    Form->SetWidth(Form->FVideoWidth + Form->Splitter1->Width() + 2);
    Form->SetHeight(Form->FVideoHeight + Form->ActionToolBar2->Height() + Form->PageControl1->TabHeight());
    Form->PageControl1->SetLeft(-1);
    Form->PageControl1->SetWidth(Form->Width() + 2);
    Form->PageControl1->SetTop(0);
    Form->PageControl1->SetHeight(Form->Height());
    Form->Splitter1Moved(nullptr);
  }
}
