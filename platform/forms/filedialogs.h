#pragma once
// The class library's file dialogs as components of a form or data module -- TOpenDialog,
// TSaveDialog, and the picture dialogs that show the chosen picture beside the list -- and its
// folder selection, SelectDirectory. Execute shows the dialog modally and, when the user
// confirms, leaves the chosen file in FileName (a full path) and the chosen filter in FilterIndex.
//
// Who answers: a test's script when one is installed (it drives the dialog's session as a user
// would, never a window); else, while a back end shows the program's windows, the user in the
// dialog's window; else nobody can, and the dialog counts as cancelled.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/component.h"
#include "platform/forms/filedialogsession.h"

class TCommonDialog : public TComponent {
  KORCAM_CLASS(TCommonDialog, TComponent)

 public:
  explicit TCommonDialog(TComponent* AOwner);
  ~TCommonDialog() override;
  // Shows the dialog; true when the user confirmed. The base class has nothing to show.
  virtual bool Execute();
};

class TOpenDialog : public TCommonDialog {
  KORCAM_CLASS(TOpenDialog, TCommonDialog)

 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  PLAIN_PROPERTY(std::string, FileName, "")
  PLAIN_PROPERTY(std::string, Filter, "")
  PLAIN_PROPERTY(int32_t, FilterIndex, 1)
  PLAIN_PROPERTY(std::string, InitialDir, "")
  PLAIN_PROPERTY(TOpenOptions, Options, ofHideReadOnly, ofEnableSizing)
  PLAIN_PROPERTY(std::string, Title, "")

 public:
  bool Execute() override;

 protected:
  virtual TFileDialogKind DialogKind() const;
  virtual bool ShowsPreview() const;
};

class TSaveDialog : public TOpenDialog {
  KORCAM_CLASS(TSaveDialog, TOpenDialog)

 public:
  explicit TSaveDialog(TComponent* AOwner);

 protected:
  TFileDialogKind DialogKind() const override;
};

// Starts with a filter of every picture format the class library reads.
class TOpenPictureDialog : public TOpenDialog {
  KORCAM_CLASS(TOpenPictureDialog, TOpenDialog)

 public:
  explicit TOpenPictureDialog(TComponent* AOwner);

 protected:
  bool ShowsPreview() const override;
};

class TSavePictureDialog : public TOpenPictureDialog {
  KORCAM_CLASS(TSavePictureDialog, TOpenPictureDialog)

 public:
  explicit TSavePictureDialog(TComponent* AOwner);

 protected:
  TFileDialogKind DialogKind() const override;
};

// The class library's folder selection: starts in Directory (its nearest existing folder when
// it does not exist) and, when the user confirms, leaves the chosen folder there. sdAllowCreate
// lets the user name a folder that does not exist, sdPrompt asks before taking one, and
// sdPerformCreate makes it. The help context is not used.
bool SelectDirectory(std::string& Directory, TSelectDirOpts Options, int32_t HelpCtx);

// A script answers every file and folder dialog in place of its window: it receives the dialog's
// session and calls what a user's keys and clicks would (ChangeFolder, SetFileName, Accept...);
// a session it leaves unaccepted is cancelled. Installs Script (an empty one removes it) and
// returns the one before.
using TFileDialogScript = std::function<void(TFileDialogSession& Session)>;
TFileDialogScript SetFileDialogScript(TFileDialogScript Script);

// Runs a session as Execute does (see above); true when it was accepted.
bool RunFileDialog(TFileDialogSession& Session);
