// The data module's part of motion detection: the motion timer that runs the response after the
// starting delay, the response itself (sound, program, e-mail hook, picture, movie), the movie
// timer that ends the motion indication, the pause between two motion e-mails, and the movie
// action (Ctrl+M), which records a movie by hand through the same response.
//
// A movie holds the response for its whole length: the capture thread streams the frames into
// the file while this thread keeps processing messages (and composing the streamed frames) in
// WaitWhileCapturing. FMotionBusy keeps a second response out meanwhile.

#include <algorithm>
#include <string>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "app/motion.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/shellapi.h"
#include "platform/user/winuser.h"

namespace {

// A bare file name in an option lies in the program folder; a path is taken as it stands.
std::string OptionFilePath(const std::string& Name) {
  if (Name.empty()) return Name;
  return ExtractFileName(Name) == Name ? ProgramFolder() + Name : Name;
}

// The motion button's colour outside a motion indication.
TColor IdleMotionColor(TFormGhost& Form) {
  if (!Form.vcShapeBtnMotion->Enabled()) return TColor(0xDDDDDD);
  return Form.FindOption("Enable motion detection")->IsChecked() ? clLime : clMoneyGreen;
}

// Records the motion movie into the motion folder as video01.avi, the older movies moving up by
// one number. The movie carries the stamps, the watermark and the effects: every streamed frame
// is composed on this thread and written back before it is recorded.
void RecordMotionMovie(TDataModule1& Module, TFormGhost& Form) {
  std::string Folder = Trim(Form.FindOption("Motion detection Target folder")->EditText());
  if (Folder.empty()) Folder = ProgramFolder() + "My Pictures";
  // One level only; a folder that cannot be made shows in the capture, which then fails to write.
  if (!DirectoryExists(Folder)) CreateDir(Folder);
  Folder = IncludeTrailingPathDelimiter(Folder);

  // Without a device nothing would be recorded, and a movie of no length holds no frame: the
  // movies there keep their numbers rather than losing the oldest and leaving video01.avi missing.
  if (!Form.FCaptureWindow || !Form.FConnected || Form.kvDBSpinEditMotionValue->Value() < 1) return;
  RotateMovieFiles(Folder);

  const std::string Path = MovieFileName(Folder, 1);
  Form.SendCaptureMessage(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(Path.c_str()));
  Module.TimerPreview->SetEnabled(false);
  // A preview grab still running ends first.
  Form.WaitWhileCapturing();
  // Streamed frames are composed like preview frames; a composition this response interrupted
  // would otherwise keep them all out.
  Form.FRendering = false;
  Form.SetupSequenceCapture(true);
  Sleep(40);
  // The movie runs here, for its length.
  Form.WaitWhileCapturing();
  Form.SetupSequenceCapture(false);
  Form.SendCaptureMessage(WM_CAP_STOP);
  Form.WaitWhileCapturing();
  // The preview goes on, unless the device went away while the movie ran.
  if (Form.FConnected) Module.TimerPreview->SetEnabled(true);
  Application->ProcessMessages();
}

}  // namespace

// ---- the response ------------------------------------------------------------------------------

void TDataModule1::TimerMotionTimer(TObject*) {
  TFormGhost* Form = FormGhost;
  if (!Form || Form->FMotionBusy) return;
  TimerMotion->SetEnabled(false);
  Form->FMotionBusy = true;
  {
    TScopeExit Done([this, Form] {
      Form->InspectorOptions->Refresh();
      // No driver dialog opens while a movie records; afterwards the dialogs are there again as
      // far as a device is connected to offer them.
      ActionVideoOptions->SetEnabled(Form->FConnected);
      // A real close during the response leaves every activity busy, so that nothing runs after it.
      if (!Application->Terminated()) Form->FMotionBusy = false;
    });
    Application->ProcessMessages();
    ActionVideoOptions->SetEnabled(false);
    try {
      RespondToMotion();
    } catch (const std::exception&) {
      Form->WriteLog("Motion detection failed");
    }
  }
  Application->ProcessMessages();
}

void TDataModule1::RespondToMotion() {
  TFormGhost* Form = FormGhost;
  if (!Form) return;
  const bool ByHand = ActionMovie->Checked();
  if (!Form->FindOption("Enable motion detection")->IsChecked() && !ByHand) return;

  // 1. The motion sound.
  if (Form->FindOption("Play Sound motion detection")->IsChecked())
    Form->PlaySoundFile(Form->FindOption("Play Sound File name")->EditText());

  // 2. The program (or document): only one that exists; nothing is said about one that does not.
  if (Form->FindOption("Launch Program motion detection")->IsChecked()) {
    const std::string Program = OptionFilePath(Form->FindOption("Launch Program File name")->EditText());
    if (!Program.empty() && FileExists(Program))
      ShellExecuteA(Form->Handle(), "open", Program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  // 3. The e-mail hook, at most once in "One message during N minutes".
  if (Form->FindOption("Send Email motion detection")->IsChecked() && FMailAllowed) {
    const std::string Body = DateTimeToStr(Now()) + " : " + Form->FindOption("Message motion detection")->EditText();
    FMailAllowed = false;
    const std::string Sender = Form->FindOption("Email Settings Your Email")->EditText();
    Form->SendEmail(Sender, Sender, Form->FindOption("Recipient motion detection")->EditText(),
                    Form->FindOption("Subject motion detection")->EditText(), Body,
                    Form->FindOption("Send Email Attachment")->IsChecked());
    // A pause of 0 minutes allows the next message at once rather than never.
    TimerMessagePer->SetEnabled(false);
    TimerMessagePer->SetInterval(std::max<uint32_t>(1, OptionInterval(Form->kvDBSpinEditMessagePerMin->Value(), 60000)));
    TimerMessagePer->SetEnabled(true);
  }

  // 4. A picture, without the capture sound: the picture timer fires at once and puts its own
  // interval back afterwards. A movie by hand saves none.
  if (!ByHand && Form->FindOption("Motion detection Picture")->IsChecked()) {
    Form->FSaveNow = true;
    if (TimerSaveLocally->Interval() != 1) Form->FSavedInterval = int32_t(TimerSaveLocally->Interval());
    TimerSaveLocally->SetInterval(1);
    TimerSaveLocally->SetEnabled(true);
  }

  // 5. The movie.
  if (ByHand || Form->FindOption("Motion detection Capture video")->IsChecked()) RecordMotionMovie(*this, *Form);
}

// ---- the end of the motion indication and the e-mail pause ---------------------------------------

void TDataModule1::TimerMovieTimer(TObject*) {
  TimerMovie->SetEnabled(false);
  TFormGhost* Form = FormGhost;
  if (!Form) return;
  Form->vcShapeBtnMotion->SetColor(IdleMotionColor(*Form));
  // The end of a movie by hand sounds like a picture taken.
  if (ActionMovie->Checked() && Form->FindOption("Play  capture sound")->IsChecked())
    Form->PlaySoundFile(Form->FindOption("Play  capture sound File name")->EditText());
  Form->vcLabelMotion->SetCaption("motion");
  Form->vcLabelMotion->SetLeft(FMotionLabelLeft);
  Form->vcLabelMotion->SetTop(FMotionLabelTop);
  ActionMovie->SetChecked(false);
}

void TDataModule1::TimerMessagePerTimer(TObject*) {
  TimerMessagePer->SetEnabled(false);
  FMailAllowed = true;
}

// ---- the movie action (Ctrl+M) -------------------------------------------------------------------

// The action has checked itself before this runs; the response sees the check and records a
// movie, also with motion detection off.
void TDataModule1::ActionMovieExecute(TObject*) {
  TFormGhost* Form = FormGhost;
  if (!Form) return;
  TimerMovie->SetEnabled(false);
  TimerMovie->SetInterval(MotionIndicationInterval(Form->kvDBSpinEditMotionValue->Value()));
  TimerMovie->SetEnabled(true);
  Form->vcLabelMotion->SetCaption("movie");
  Form->vcLabelMotion->SetLeft(FMotionLabelLeft + 2);
  Form->vcLabelMotion->SetTop(FMotionLabelTop + 2);
  Form->vcShapeBtnMotion->SetColor(clYellow);
  TimerMotion->SetInterval(1);
  TimerMotion->SetEnabled(true);
}
