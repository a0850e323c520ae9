// Saving pictures. Every picture, timed, immediate (Ctrl+I) or taken for a motion, goes through
// the picture timer: its tick guards against a second save, colours the picture button and runs
// SavePictureLocally, which decides whether a picture is due, names the file, numbers or shifts
// the older ones and writes the composed picture as JPEG or as a bitmap file.
//
// Names: the base is "Picture FileName" up to its first full stop, the extension from its last
// one, and a four-digit number sits between them ("my.cam.jpg" gives my0001.jpg). Shifting keeps
// 0001 the newest and at most N files; the direct save order writes the counter's number
// instead and wraps after N. A picture is written under a temporary name beside its final one
// and renamed over it only when complete, so a failed write leaves the earlier picture of that
// name as it was.

#include <algorithm>
#include <cmath>
#include <string_view>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/jpegimage.h"
#include "platform/forms/picture.h"
#include "platform/rtl/atomicfile.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

const char* const WeekdayKeys[7] = {"Picture Monday",   "Picture Tuesday", "Picture Wednesday",
                                    "Picture Thursday", "Picture Friday",  "Picture Saturday",
                                    "Picture Sunday"};

// A number with leading zeros to four digits; a longer one in full.
std::string FourDigits(int64_t Number) {
  std::string Digits = IntToStr(Number);
  if (Number >= 0 && Digits.size() < 4) Digits.insert(0, 4 - Digits.size(), '0');
  return Digits;
}

// A time of day in whole milliseconds, so that the ends of the schedule compare exactly.
int64_t Milliseconds(TDateTime Time) {
  return std::llround((Time - std::floor(Time)) * 86400000.0);
}

// Inside the daily window From..To, both ends included. A window whose end comes before its
// start wraps past midnight; one whose ends are equal allows the whole day.
bool InSchedule(int64_t Now, int64_t From, int64_t To) {
  if (From < To) return Now >= From && Now <= To;
  return !(Now < From && Now > To);
}

// The composed picture as a class-library bitmap (empty when nothing was composed yet).
void CopyComposedPicture(TFormGhost& Form, TBitmap& Into) {
  TGraphic* Graphic = Form.FComposedPicture ? Form.FComposedPicture->Graphic() : nullptr;
  if (!Graphic || Graphic->Empty()) {
    Into.Assign(nullptr);
    return;
  }
  Into.Assign(Graphic);
}

}  // namespace

// ---- the picture timer ---------------------------------------------------------------------

void TDataModule1::TimerSaveLocallyTimer(TObject*) {
  TFormGhost* Form = FormGhost;
  if (!Form || Form->FSaveBusy) return;
  TimerSaveLocally->SetEnabled(false);
  Form->FSaveBusy = true;
  // Cleared below before the button turns back; the guard covers a failure that is no Exception.
  TScopeExit NotBusy([Form] {
    Form->FSaveBusy = false;
    Form->FSaveNow = false;
  });
  Form->vcShapeBtnLocally->SetColor(clYellow);
  Application->ProcessMessages();
  try {
    SavePictureLocally();
  } catch (const Exception&) {
    Form->WriteLog("Save picture failed");
  }
  Form->FSaveBusy = false;
  Form->FSaveNow = false;
  // An immediate save borrowed the timer with an interval of 1: give the timed one back.
  if (TimerSaveLocally->Interval() == 1)
    TimerSaveLocally->SetInterval(uint32_t(std::max(Form->FSavedInterval, 0)));
  if (Form->FindOption("Enable Picture")->IsChecked()) {
    TimerSaveLocally->SetEnabled(true);
    Form->vcShapeBtnLocally->SetColor(clLime);
  } else {
    Form->vcShapeBtnLocally->SetColor(clMoneyGreen);
  }
  Application->ProcessMessages();
}

void TDataModule1::ActionCaptureImageExecute(TObject*) {
  if (FormGhost) FormGhost->CaptureImageNow();
}

// ---- one picture ---------------------------------------------------------------------------

void TDataModule1::SavePictureLocally() {
  TFormGhost& Form = *FormGhost;
  auto Checked = [&Form](const char* Key) { return Form.FindOption(Key)->IsChecked(); };

  // 1. Due: timed pictures on, or an immediate one asked for.
  if (!((Checked("Enable Picture") && Checked("Picture Interval")) || Form.FSaveNow)) return;

  // 2. The schedule: the weekday for every picture, the daily window for timed ones.
  if (Checked("Picture Schedule")) {
    const TDateTime Current = Now();
    if (!Checked(WeekdayKeys[DayOfTheWeek(Current) - 1])) return;
    if (!Form.FSaveNow && !InSchedule(Milliseconds(Current),
                                      Milliseconds(Form.kvTimePickerLocallyRestrictCaptuningFrom->Time()),
                                      Milliseconds(Form.kvTimePickerLocallyRestrictCaptuningTo->Time())))
      return;
  }

  // 3. How many numbered files are kept.
  const std::string SaveLast = Form.FindOption("Picture  Save Last")->EditText();
  // A hand-edited file may hold more than the editor allows; shifting that many numbers would
  // hold the program up for minutes at every picture, so the editor's limit holds here too.
  const int32_t SaveLastLimit = int32_t(Form.kvDBSpinEditSaveLast->MaxValue());
  int32_t Kept = StrToInt(Trim(SaveLast));
  if (SaveLastLimit > 0 && Kept > SaveLastLimit) Kept = SaveLastLimit;

  // 4. The folder, made when it is missing (one level; a failure shows as a failed write).
  std::string Folder = Trim(Form.FindOption("Picture Target Folder")->EditText());
  if (Folder.empty()) Folder = ProgramFolder() + "My Pictures";
  if (!DirectoryExists(Folder)) CreateDir(ExcludeTrailingPathDelimiter(Folder));
  Folder = IncludeTrailingPathDelimiter(Folder);

  // 5.-8. The file name, and the older files shifted or the counter advanced.
  const std::string Name = Trim(Form.FindOption("Picture FileName")->EditText());
  const size_t LastStop = Name.rfind('.');
  const std::string Extension = LastStop == std::string::npos ? "" : Trim(Name.substr(LastStop));
  const bool Numbered = !SaveLast.empty() && SaveLast != "0";
  std::string Base;
  std::string FileName = Name;
  if (Numbered) {
    Base = Name.substr(0, Name.find('.'));
    FileName = Base + "0001" + Extension;
  }
  if (Checked("Direct Save Order")) {
    if (FDirectSaveNumber < 1) FDirectSaveNumber = 1;  // a hand-edited counter starts again
    // Without numbering the whole name is written over, as it is without the direct order (a
    // bare number for a name would surprise); the counter then stays at 1.
    if (Numbered) FileName = Base + FourDigits(FDirectSaveNumber) + Extension;
    FDirectSaveNumber = FDirectSaveNumber < Kept ? FDirectSaveNumber + 1 : 1;
  } else {
    for (int32_t Number = Kept; Number >= 2; --Number) {
      const std::string Older = Folder + Base + FourDigits(Number) + Extension;
      const std::string Newer = Folder + Base + FourDigits(Number - 1) + Extension;
      if (FileExists(Older)) DeleteFile(Older);
      if (FileExists(Newer)) RenameFile(Newer, Older);
    }
  }

  // 9.
  const std::string Path = Folder + FileName;

  // 10. In the tray the live picture is not composed; take a fresh frame first.
  if (Form.FInTray) TimerPreviewTimer(nullptr);

  // 11. A JPEG image of the composed picture, at the chosen quality.
  const bool AsJpeg = Form.FindOption("JPEG")->EditText() == "JPEG";
  TJPEGImage Jpeg;
  if (AsJpeg) {
    Form.FJpegCopying = true;
    try {
      TBitmap Composed;
      CopyComposedPicture(Form, Composed);
      Jpeg.Assign(&Composed);
      Form.FJpegCopying = false;
      const double Quality = Form.kvDBSpinEditJPEGQuality->Value();
      Jpeg.SetCompressionQuality(std::isnan(Quality) ? 90
                                                     : int32_t(std::trunc(std::clamp(Quality, 0.0, 100.0))));
    } catch (const Exception&) {
      Form.WriteLog("Assign jpg failed");
      Form.FJpegCopying = false;
      return;
    }
  }

  // 12. The last-saved view shows the picture.
  Form.FLastShotCopying = true;
  try {
    Form.ImageLastShot->Picture()->Assign(Form.FComposedPicture.get());
    ActionLastSaved->SetEnabled(true);
    Form.FSaveNow = false;
  } catch (const Exception&) {
    Form.WriteLog("Assign last saved image failed");
  }
  Form.FLastShotCopying = false;

  // 13. The file.
  try {
    TMemoryStream Image;
    if (AsJpeg) {
      if (Jpeg.Empty()) throw EInvalidGraphic("There is no picture to save");
      Jpeg.SaveToStream(Image);
    } else {
      Form.FJpegCopying = true;
      TScopeExit Copied([&Form] { Form.FJpegCopying = false; });
      TBitmap Composed;
      CopyComposedPicture(Form, Composed);
      if (Composed.Empty()) throw EInvalidGraphic("There is no picture to save");
      Composed.SetPixelFormat(pf24bit);
      Composed.SaveToStream(Image);
    }
    std::string Error;
    const std::string_view Bytes(static_cast<const char*>(Image.Memory()), size_t(Image.Size()));
    if (!WriteFileAtomically(Path, Bytes, &Error))
      throw EFCreateError("Cannot create file \"" + Path + "\". " + Error);
  } catch (const Exception&) {
    Form.WriteLog("Save picture failed");
    Form.ShowStatusMessage("Save locally failed");
    Form.FJpegCopying = false;
  }
}
