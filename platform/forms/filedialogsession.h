#pragma once
// What a file or folder dialog does, apart from its window: the folder it shows and how the user
// moves about (into a folder, up to the parent, to a typed path, into a new folder), the entries
// listed there (folders first, then the files the chosen filter lets through), the name being
// typed, and the checks made when the user confirms (a folder that must exist, a file that must
// exist, a file about to be replaced). The dialog's window is one view of a session; a test's
// script is another: it calls the same operations a user's keys and clicks lead to.
//
// Questions and complaints go to the user through message boxes titled with the dialog's title.
// Paths are UTF-8 bytes as the file system holds them; folder names may be in any script.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/typinfo.h"
#include "platform/forms/filefilter.h"

// The open and save dialogs' options, in the class library's order (the sets are masks in it).
KORCAM_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
            ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
            ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
            ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
            ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption>;
// The folder selection's options.
KORCAM_ENUM(TSelectDirOpt, sdAllowCreate, sdPerformCreate, sdPrompt)
using TSelectDirOpts = TSet<TSelectDirOpt>;

enum class TFileDialogKind { Open, Save, Folder };

struct TFileDialogSetup {
  TFileDialogKind Kind = TFileDialogKind::Open;
  std::string Title;  // empty: "Open", "Save As" or "Select Directory"
  std::string Filter;
  int32_t FilterIndex = 1;
  std::string InitialDir;
  // Open and save: the starting name (a folder part, when that folder exists, is where the
  // dialog starts). Folder selection: the starting folder.
  std::string FileName;
  TOpenOptions Options;
  TSelectDirOpts FolderOptions;
  bool Preview = false;  // a picture dialog: the view shows the chosen file's picture
};

struct TFileDialogEntry {
  std::string Name;
  bool Folder = false;
};

class TFileDialogSession {
 public:
  explicit TFileDialogSession(TFileDialogSetup Setup);

  const TFileDialogSetup& Setup() const { return FSetup; }
  TFileDialogKind Kind() const { return FSetup.Kind; }
  const std::string& Title() const { return FTitle; }

  // ---- where the dialog is -----------------------------------------------------------------
  // The folder shown: absolute, normalised, no "/" at the end (but the root's).
  const std::string& Folder() const { return FFolder; }
  const std::vector<TFileDialogEntry>& Entries() const { return FEntries; }
  // Index of the selected entry, -1 for none.
  int Selected() const { return FSelected; }
  // The full path of an entry.
  std::string PathOf(int Index) const;

  // Moves to a folder: absolute, relative to the one shown, or below "~". False (after telling
  // the user) when there is no such folder or it cannot be read; the dialog then stays where it is.
  bool ChangeFolder(const std::string& Path);
  // To the parent folder, with the folder just left selected.
  bool Up();
  // Lists the folder again.
  void Refresh();
  // Makes a folder of that name in the one shown and selects it. False (after telling the user)
  // for an unusable name, a name already taken, or a folder that cannot be made.
  bool NewFolder(const std::string& Name);

  // ---- what the user picks -------------------------------------------------------------------
  const std::vector<TFileFilter>& Filters() const { return FFilters; }
  // 1-based; 0 without filters.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Index);
  // A pattern the user typed as the name ("*.png"): it stands in for the filter until another
  // filter is chosen or the folder changes.
  const std::string& TypedPattern() const { return FTypedPattern; }
  // The name field: a file name, a path, or (folder selection) the folder's path.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Text) { FFileName = Text; }
  // Selecting a file puts its name in the name field (selecting a folder, in a folder
  // selection, its path); -1 clears the selection.
  void Select(int Index);
  // What a double click or Enter on an entry does: a folder is entered, a file is confirmed.
  bool Activate(int Index);
  // The file whose picture a picture dialog shows: the selected file, or "".
  std::string PreviewFile() const;

  // ---- the answer ----------------------------------------------------------------------------
  // OK: acts on the name field. A folder (or a path to one) is entered, a pattern filters, and a
  // file name is checked and confirmed. True when the dialog is done and accepted.
  bool Accept();
  void Cancel();
  bool Done() const { return FDone; }
  bool Accepted() const { return FAccepted; }
  // The chosen file or folder (absolute).
  const std::string& Result() const { return FResult; }

  // Called when the folder, the entries, the selection or the name field changed through the
  // session (not when the view set the name field itself).
  std::function<void()> OnChange;

 private:
  std::string Resolve(const std::string& Text) const;
  bool List(const std::string& Folder, std::vector<TFileDialogEntry>& Entries, std::string& Error) const;
  void Changed();
  int Tell(const std::string& Text, unsigned Type) const;
  bool AcceptFolder();
  bool AcceptFile();

  TFileDialogSetup FSetup;
  std::string FTitle;
  std::string FFolder;
  std::vector<TFileDialogEntry> FEntries;
  int FSelected = -1;
  std::vector<TFileFilter> FFilters;
  int FFilterIndex = 0;
  std::string FTypedPattern;
  std::string FFileName;
  bool FDone = false;
  bool FAccepted = false;
  std::string FResult;
};
