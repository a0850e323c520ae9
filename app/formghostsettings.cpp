// The two files that outlive a run: the settings file korcam.ini, which mirrors both option
// tables item by item, and the error-history log.
//
// The settings file holds section "Image" (the Image page's table) and then "Options" (the live
// table). Every item owns two keys in its section, in tree order: its key with its text, and its
// key followed by " -Expanded" with "true" or "false". An item missing from the file keeps its
// value; an existing file is updated in place, so keys the program does not know survive.

#include <string>

#include "app/errorlog.h"
#include "app/formghost.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/profile.h"
#include "platform/rtl/sysutils.h"

namespace {

const char* const ExpandedSuffix = " -Expanded";

struct TTableSection {
  TkvDataInspector* Table;
  const char* Section;
};

void LoadTable(TkvDataInspector* Table, const std::string& Section, const std::string& Path) {
  Table->LockRedraw();
  for (TkvInspectorItem* Item = Table->FirstItem(false); Item; Item = Item->NextItem(false, false)) {
    const std::string Key = Item->TagString();
    if (!Key.empty()) {
      // Values are read whole: a long folder path comes back as it was stored.
      const std::string Text = GetPrivateProfileStringA(Section, Key, Item->EditText(), Path);
      if (auto* Spin = dynamic_cast<TkvDBSpinEdit*>(Item->CustomControl())) {
        // A spin editor takes only a whole number; anything else counts as a missing key. The
        // editor clamps the number to its range while the item keeps the text as stored.
        int32_t Number = 0;
        if (TryStrToInt(Text, Number)) {
          Item->SetEditText(Text);
          Spin->SetValue(Number);
        }
      } else {
        Item->SetEditText(Text);
      }
    }
    // Only exactly "true" expands: any other spelling, or no key, collapses the item.
    Item->SetExpanded(GetPrivateProfileStringA(Section, Key + ExpandedSuffix, "false", Path) == "true");
  }
  Table->UnlockRedraw(true);
}

// Writes the table's keys; returns the keys whose value the file format cannot hold.
std::vector<std::string> SaveTable(TkvDataInspector* Table, const std::string& Section, const std::string& Path) {
  std::vector<std::string> Refused;
  for (TkvInspectorItem* Item = Table->FirstItem(false); Item; Item = Item->NextItem(false, false)) {
    const std::string Key = Item->TagString();
    if (Key.empty()) continue;
    // An empty text is written too: an option the user emptied stays empty at the next start
    // instead of taking back the value an earlier run stored.
    if (!WritePrivateProfileStringA(Section.c_str(), Key.c_str(), Item->EditText().c_str(), Path.c_str()))
      Refused.push_back(Key);
    const char* Expanded = Item->Visible() && Item->Expanded() ? "true" : "false";
    WritePrivateProfileStringA(Section.c_str(), (Key + ExpandedSuffix).c_str(), Expanded, Path.c_str());
  }
  return Refused;
}

}  // namespace

void TFormGhost::LoadSettings(const std::string& FileName) {
  const std::string Path = ProgramFolder() + FileName;
  for (const TTableSection& Part : {TTableSection{InspectorImageEffects, "Image"}, TTableSection{InspectorOptions, "Options"}})
    LoadTable(Part.Table, Part.Section, Path);
}

void TFormGhost::SaveSettings(const std::string& FileName) {
  const std::string Path = ProgramFolder() + FileName;
  std::vector<std::string> Refused;
  {
    // One replacement of the whole file: a failed write (a read-only folder, a full disk) leaves
    // the previous file as it was.
    TProfileBatch Batch(Path);
    for (const TTableSection& Part :
         {TTableSection{InspectorImageEffects, "Image"}, TTableSection{InspectorOptions, "Options"}}) {
      std::vector<std::string> Keys = SaveTable(Part.Table, Part.Section, Path);
      Refused.insert(Refused.end(), Keys.begin(), Keys.end());
    }
    if (!Batch.Commit()) {
      WriteLog("Save settings failed");
      return;
    }
  }
  for (const std::string& Key : Refused) WriteLog("Save settings failed: the value of \"" + Key + "\" cannot be stored");
}

void TFormGhost::WriteLog(const std::string& Message) {
  if (!FindOption("Error history")->IsChecked()) return;
  const std::string Path = ErrorLogPath(FindOption("Log File")->EditText(), ProgramFolder());
  const bool ControlSize = FindOption("Control size")->IsChecked();
  // The spin editor keeps "Max file size" a whole number; a text that is not one (a settings
  // file edited by hand before it was read) leaves the file without a limit rather than trimming
  // it by a guess.
  int32_t MaxKilobytes = 0;
  const bool HasLimit = TryStrToInt(FindOption("Max file size")->EditText(), MaxKilobytes);
  // A log that cannot be written loses the entry; the caller goes on.
  AppendErrorLogEntry(Path, ErrorLogEntry(Now(), Message), ControlSize && HasLimit, int64_t(MaxKilobytes) * 1024);
}
