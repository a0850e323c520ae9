// The main window's part of picture saving: the picture timer's interval and switch, the picture
// button, the immediate save with its capture sound, the picture format row, and the dialogs
// behind the picture folder and the sound file rows. The saving itself is the data module's
// (datamodule1pictures.cpp): every picture, timed or immediate, goes through the picture timer.

#include <algorithm>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/classes/resources.h"
#include "platform/media/mci.h"
#include "platform/rtl/atomicfile.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/message.h"
#include "platform/user/winuser.h"

namespace {

// The longest interval a timer takes (the window system's limit, about 24.8 days). A longer
// period (a hand-edited value of hours) waits that long rather than wrapping to a short one.
constexpr int64_t LongestTimerInterval = 0x7FFFFFFF;

// The sounds the program brings along, written into the program folder when they are missing.
const char* const DefaultSounds[] = {"save.wav", "dog.wav"};

// A bare name lies in the program folder. When that is one of the program's own sounds and the
// user has none there, the embedded one is written first (a file of the user's is never
// replaced).
std::string SoundPath(const std::string& FileName) {
  if (FileName.find('/') != std::string::npos) return FileName;
  const std::string Path = ProgramFolder() + FileName;
  for (const char* Default : DefaultSounds) {
    if (FileName != Default || FileExists(Path)) continue;
    if (auto Data = FindResourceData(std::string("sounds/") + Default)) {
      const std::string_view Bytes(reinterpret_cast<const char*>(Data->data()), Data->size());
      WriteFileAtomically(Path, Bytes);
    }
  }
  return Path;
}

// The sound file rows' dialog: a confirmed file that exists becomes the editor's and the row's
// text. Nothing is played here.
void ChooseSoundFile(TkvDBComboDlg* Editor, TkvInspectorItem* Row) {
  const std::string Folder = GetCurrentDir();
  TOpenDialog* Dialog = DataModule1->OpenDialogSoundFile;
  Dialog->SetInitialDir(ProgramFolder());
  Dialog->SetFileName(Editor->Text());
  if (Dialog->Execute() && FileExists(Dialog->FileName())) {
    Editor->SetText(Dialog->FileName());
    Row->SetEditText(Editor->Text());
  }
  SetCurrentDir(Folder);
}

}  // namespace

// ---- the capture sound ---------------------------------------------------------------------

void TFormGhost::PlaySoundFile(const std::string& FileName) {
  const std::string Path = SoundPath(FileName);
  // Closing the last device stops a sound that still plays. Nothing here reports a failure: a
  // missing file plays nothing.
  if (FSoundDevice != 0) {
    MCI_GENERIC_PARMS Close{};
    mciSendCommandA(FSoundDevice, MCI_CLOSE, MCI_WAIT, DWORD_PTR(&Close));
    FSoundDevice = 0;
  }
  MCI_OPEN_PARMSA Open{};
  Open.lpstrElementName = Path.c_str();
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, DWORD_PTR(&Open)) != 0) return;
  FSoundDevice = Open.wDeviceID;
  MCI_PLAY_PARMS Play{};
  Play.dwCallback = DWORD_PTR(Handle());
  mciSendCommandA(FSoundDevice, MCI_PLAY, MCI_NOTIFY, DWORD_PTR(&Play));
}

// "Play  capture sound": switched off, a capture sound that still plays stops.
void TFormGhost::InspectorOptionsItems1Items14ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                          const std::string&) {
  if (FindOption("Play  capture sound")->IsChecked() || FSoundDevice == 0) return;
  MCI_GENERIC_PARMS Close{};
  mciSendCommandA(FSoundDevice, MCI_CLOSE, MCI_WAIT, DWORD_PTR(&Close));
  FSoundDevice = 0;
}

// ---- asking for pictures -------------------------------------------------------------------

void TFormGhost::CaptureImageNow() {
  if (FindOption("Play  capture sound")->IsChecked())
    PlaySoundFile(FindOption("Play  capture sound File name")->EditText());
  FSaveNow = true;
  TTimer* Timer = DataModule1->TimerSaveLocally;
  // The timer fires at once; its tick puts the interval back.
  if (Timer->Interval() != 1) FSavedInterval = int32_t(Timer->Interval());
  Timer->SetInterval(1);
  Timer->SetEnabled(true);
}

// "Picture Value" (and "Picture Period", which runs it): the picture timer's interval. A value of
// 0 stops the timed pictures (a timer of interval 0 never fires); a period the list does not
// offer leaves the interval as it is.
void TFormGhost::InspectorOptionsItems8Items3Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                               const std::string&) {
  const std::string Period = FindOption("Picture Period")->EditText();
  int64_t Unit = 0;
  if (Period == "seconds")
    Unit = 1000;
  else if (Period == "minutes")
    Unit = 60000;
  else if (Period == "hours")
    Unit = 3600000;
  else
    return;
  const int64_t Interval =
      std::clamp<int64_t>(int64_t(OptionInteger("Picture Value")) * Unit, 0, LongestTimerInterval);
  DataModule1->TimerSaveLocally->SetInterval(uint32_t(Interval));
}

void TFormGhost::InspectorOptionsItems8Items3Items1ItemChanged(TkvDataInspector* Sender,
                                                               TkvInspectorItem* Item,
                                                               const std::string& NewValue) {
  InspectorOptionsItems8Items3Items0ItemChanged(Sender, Item, NewValue);
}

// "Enable Picture": timed pictures on or off, shown by the picture button's colour and state.
void TFormGhost::InspectorOptionsItems8Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string&) {
  TTimer* Timer = DataModule1->TimerSaveLocally;
  const bool Enabled = FindOption("Enable Picture")->IsChecked();
  if (Enabled) {
    if (FindOption("Picture Interval")->IsChecked()) Timer->SetEnabled(true);
    vcShapeBtnLocally->SetColor(clLime);
  } else {
    Timer->SetEnabled(false);
    vcShapeBtnLocally->SetColor(clMoneyGreen);
  }
  vcShapeBtnLocally->SetDown(Enabled);
}

// The picture button switches timed pictures and, once the window is up, opens the "Picture"
// group of the options.
void TFormGhost::vcShapeBtnLocallyClick(TObject*) {
  FindOption("Enable Picture")->SetChecked(vcShapeBtnLocally->Down());
  InspectorOptionsItems8Items0ItemChanged(nullptr, nullptr, "");
  if (FCreated) {
    vcImageBtnExpand->SetTag(1);
    vcImageBtnExpandClick(nullptr);
    TkvInspectorItem* Group = FindOption("Picture");
    Group->SetExpanded(true);
    InspectorOptions->LockRedraw();
    for (int Line = 0; Line < Group->Index() - 1; ++Line)
      SendMessageA(InspectorOptions->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    InspectorOptions->UnlockRedraw(false);
  }
  InspectorOptions->Repaint();
}

// "Picture Format": the quality row shows for JPEG only, and the picture file names take the
// format's extension (a name without a full stop is left as it is).
void TFormGhost::InspectorOptionsItems5Items0ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                         const std::string& NewValue) {
  const bool Jpeg = NewValue == "JPEG";
  FindOption("Jpeg Quality")->SetVisible(Jpeg);
  const std::string Extension = Jpeg ? "jpg" : "bmp";
  for (const char* Key : {"FTPFileName", "Picture FileName"}) {
    TkvInspectorItem* Item = FindOption(Key);
    const std::string Name = Item->EditText();
    const size_t Stop = Name.find('.');
    if (Stop != std::string::npos) Item->SetEditText(Name.substr(0, Stop + 1) + Extension);
  }
}

// ---- the folder and sound file dialogs -------------------------------------------------------

void TFormGhost::kvDBComboDlgLocallyFileCustomDlg(TObject*) {
  const std::string Folder = GetCurrentDir();
  TkvInspectorItem* Row = FindOption("Picture Target Folder");
  std::string Start = Row->EditText();
  if (Start.empty() || !DirectoryExists(Start)) {
    Start = ShellTreeView1->Path();
    if (Start.empty() || !DirectoryExists(Start)) Start = ProgramFolder() + "My Pictures";
  }
  if (SelectDirectory(Start, TSelectDirOpts{sdAllowCreate, sdPerformCreate, sdPrompt}, 0)) {
    kvDBComboDlgLocallyFile->SetText(Start);
    Row->SetEditText(Start);
  }
  InspectorOptions->Repaint();
  SetCurrentDir(Folder);
}

void TFormGhost::kvDBComboDlgCaptureSoundFileNameCustomDlg(TObject*) {
  ChooseSoundFile(kvDBComboDlgCaptureSoundFileName, FindOption("Play  capture sound File name"));
}

void TFormGhost::kvDBComboDlgSoundNameCustomDlg(TObject*) {
  ChooseSoundFile(kvDBComboDlgSoundName, FindOption("Play Sound File name"));
}

// The folder and the sound files change only through their dialogs.
void TFormGhost::kvDBComboDlgLocallyFileKeyPress(TObject*, char32_t& Key) {
  Key = 0;
}

void TFormGhost::kvDBComboDlgCaptureSoundFileNameKeyPress(TObject*, char32_t& Key) {
  Key = 0;
}

void TFormGhost::kvDBComboDlgSoundNameKeyPress(TObject*, char32_t& Key) {
  Key = 0;
}
