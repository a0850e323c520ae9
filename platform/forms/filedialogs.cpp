#include "platform/forms/filedialogs.h"

#include <cstdio>

#include "platform/forms/application.h"
#include "platform/forms/filedialogform.h"
#include "platform/forms/graphic.h"
#include "platform/forms/picture.h"
#include "platform/user/paint.h"

namespace {

TFileDialogScript& CurrentScript() {
  static TFileDialogScript Script;
  return Script;
}

}  // namespace

TFileDialogScript SetFileDialogScript(TFileDialogScript Script) {
  TFileDialogScript Previous = std::move(CurrentScript());
  CurrentScript() = std::move(Script);
  return Previous;
}

bool RunFileDialog(TFileDialogSession& Session) {
  if (CurrentScript()) {
    // Copied: the script may install another one while it runs.
    TFileDialogScript Script = CurrentScript();
    Script(Session);
  } else if (GetWindowDriver() && Application) {
    ShowFileDialogWindow(Session);
  } else {
    std::fprintf(stderr, "[%s] no display to ask on; cancelled\n", Session.Title().c_str());
  }
  if (!Session.Accepted()) Session.Cancel();
  return Session.Accepted();
}

// ---- TCommonDialog ---------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
TCommonDialog::~TCommonDialog() = default;

bool TCommonDialog::Execute() { return false; }

KORCAM_REGISTER_CLASS(TCommonDialog)

// ---- TOpenDialog and TSaveDialog ---------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TOpenDialog::~TOpenDialog() = default;

TFileDialogKind TOpenDialog::DialogKind() const { return TFileDialogKind::Open; }
bool TOpenDialog::ShowsPreview() const { return false; }

bool TOpenDialog::Execute() {
  TFileDialogSetup Setup;
  Setup.Kind = DialogKind();
  Setup.Title = FTitle;
  Setup.Filter = FFilter;
  Setup.FilterIndex = FFilterIndex;
  Setup.InitialDir = FInitialDir;
  Setup.FileName = FFileName;
  Setup.Options = FOptions;
  Setup.Preview = ShowsPreview();
  TFileDialogSession Session(std::move(Setup));
  if (!RunFileDialog(Session)) return false;
  FFileName = Session.Result();
  if (Session.FilterIndex() > 0) FFilterIndex = Session.FilterIndex();
  return true;
}

KORCAM_REGISTER_CLASS(TOpenDialog)

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
TFileDialogKind TSaveDialog::DialogKind() const { return TFileDialogKind::Save; }

KORCAM_REGISTER_CLASS(TSaveDialog)

// ---- the picture dialogs -----------------------------------------------------------------------

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  FFilter = GraphicFilter(&TGraphic::StaticClass());
}
bool TOpenPictureDialog::ShowsPreview() const { return true; }

KORCAM_REGISTER_CLASS(TOpenPictureDialog)

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TOpenPictureDialog(AOwner) {}
TFileDialogKind TSavePictureDialog::DialogKind() const { return TFileDialogKind::Save; }

KORCAM_REGISTER_CLASS(TSavePictureDialog)

// ---- the folder selection ----------------------------------------------------------------------

bool SelectDirectory(std::string& Directory, TSelectDirOpts Options, int32_t) {
  TFileDialogSetup Setup;
  Setup.Kind = TFileDialogKind::Folder;
  Setup.FileName = Directory;
  Setup.FolderOptions = Options;
  Setup.Options = {ofEnableSizing, ofNoChangeDir};
  TFileDialogSession Session(std::move(Setup));
  if (!RunFileDialog(Session)) return false;
  Directory = Session.Result();
  return true;
}
