// Picture saving: names and numbers, shifting and the direct order, the weekday and time-of-day
// schedule, the timer's interval and its borrowing by an immediate save, the JPEG and bitmap
// files written, the failures and what survives them, the capture sound, and the picture
// options' handlers and dialogs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/forms/filedialogs.h"
#include "platform/forms/jpegimage.h"
#include "platform/forms/picture.h"
#include "platform/rtl/atomicfile.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "tests/app/picturetest.h"

namespace {

namespace fs = std::filesystem;

class PictureSaving : public TPictureTest {
 protected:
  void SetUp() override {
    TPictureTest::SetUp();
    Start();
    // The pictures of these tests are put in place by hand: no composition replaces them.
    DataModule1->TimerPreview->SetEnabled(false);
    DataModule1->Timer1->SetEnabled(false);
    // Bitmap files keep the colours exact, so each picture can be told by its colour.
    Option("JPEG")->SetEditText("BMP");
    Option("Picture FileName")->SetEditText("kv.bmp");
    Option("Play  capture sound")->SetChecked(false);
  }
  void TearDown() override {
    SetAtomicWriteFault(TAtomicWriteFault::None);
    SetFileDialogScript(nullptr);
    TPictureTest::TearDown();
  }

  void ComposeColour(uint32_t Rgb) {
    Compose(MakeFrame(8, 6, [Rgb](int, int) { return Rgb; }));
  }
  // Ctrl+I, and the tick it asks for (the window system's shortest timer is 10 ms).
  void SaveNow() {
    FormGhost->CaptureImageNow();
    Advance(20, 1);
  }
  // One tick of the picture timer, as it comes for a timed picture.
  void Tick() {
    DataModule1->TimerSaveLocally->SetEnabled(false);
    DataModule1->TimerSaveLocallyTimer(nullptr);
  }
  std::string Pictures() const { return Folder + "My Pictures/"; }
  // The names in the picture folder, sorted.
  std::vector<std::string> Files(const std::string& In = "") const {
    std::vector<std::string> Names;
    std::error_code Error;
    for (const auto& Entry : fs::directory_iterator(In.empty() ? Pictures() : In, Error))
      Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }
  // The colour of a saved bitmap file's top-left pixel.
  uint32_t ColourOf(const std::string& Name) const {
    TBitmap Bitmap;
    Bitmap.LoadFromFile(Pictures() + Name);
    Bitmap.SetPixelFormat(pf24bit);
    return RgbOf(Bitmap, 0, 0);
  }
  bool Logged(const std::string& Message) const {
    return ReadText("korcam.log").find(Message) != std::string::npos;
  }
  TTimer* Timer() const { return DataModule1->TimerSaveLocally; }
};

// ---- names and numbers -------------------------------------------------------------------------

TEST_F(PictureSaving, NamesNumbersAndWhatIsKept) {
  struct TCase {
    const char* Name;
    const char* FileName;
    const char* SaveLast;
    bool Direct;
    int Counter;  // the direct order's counter before the saves
    int Saves;    // pictures taken, the colour of picture k being k
    std::vector<std::pair<const char*, uint32_t>> Expected;  // every file left, with its picture
    int CounterAfter;
  };
  const TCase Cases[] = {
      {"shifting: 0001 is the newest, at most 5 files",
       "kv.bmp",
       "5",
       false,
       1,
       7,
       {{"kv0001.bmp", 7}, {"kv0002.bmp", 6}, {"kv0003.bmp", 5}, {"kv0004.bmp", 4}, {"kv0005.bmp", 3}},
       1},
      {"base to the first full stop, extension from the last",
       "my.cam.bmp",
       "5",
       false,
       1,
       2,
       {{"my0001.bmp", 2}, {"my0002.bmp", 1}},
       1},
      {"a name without a full stop has no extension", "kvshot", "5", false, 1, 1, {{"kvshot0001", 1}}, 1},
      {"one file kept: overwritten each time", "kv.bmp", "1", false, 1, 3, {{"kv0001.bmp", 3}}, 1},
      {"numbering off: the whole name, overwritten", "kv.bmp", "0", false, 1, 2, {{"kv.bmp", 2}}, 1},
      {"direct order wraps after N", "kv.bmp", "3", true, 3, 2, {{"kv0001.bmp", 2}, {"kv0003.bmp", 1}}, 2},
      {"direct order overwrites, shifts nothing",
       "kv.bmp",
       "2",
       true,
       1,
       3,
       {{"kv0001.bmp", 3}, {"kv0002.bmp", 2}},
       2},
      {"a large counter is written in full", "kv.bmp", "5", true, 12345, 1, {{"kv12345.bmp", 1}}, 1},
      {"direct order without numbering: the whole name", "kv.bmp", "0", true, 4, 2, {{"kv.bmp", 2}}, 1},
      {"a hand-edited number past the editor's 9999 shifts no longer",
       "kv.bmp",
       "2000000000",
       false,
       1,
       2,
       {{"kv0001.bmp", 2}, {"kv0002.bmp", 1}},
       1},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    fs::remove_all(Pictures());
    Option("Picture FileName")->SetEditText(Case.FileName);
    Option("Picture  Save Last")->SetEditText(Case.SaveLast);
    Option("Direct Save Order")->SetChecked(Case.Direct);
    DataModule1->FDirectSaveNumber = Case.Counter;
    for (int Picture = 1; Picture <= Case.Saves; ++Picture) {
      ComposeColour(uint32_t(Picture));
      SaveNow();
    }
    std::vector<std::string> Expected;
    for (const auto& [File, Colour] : Case.Expected) Expected.push_back(File);
    std::sort(Expected.begin(), Expected.end());
    ASSERT_EQ(Files(), Expected);
    for (const auto& [File, Colour] : Case.Expected) {
      EXPECT_EQ(ColourOf(File), Colour) << File;
    }
    EXPECT_EQ(DataModule1->FDirectSaveNumber, Case.CounterAfter);
  }
  EXPECT_FALSE(Logged("failed"));
}

// ---- when a picture is due ---------------------------------------------------------------------

TEST_F(PictureSaving, WeekdayAndTimeOfDaySchedule) {
  Option("Enable Picture")->SetChecked(true);
  Option("Picture Schedule")->SetChecked(true);
  struct TCase {
    const char* Name;
    int FromHour, FromMinute, ToHour, ToMinute;
    int Hour, Minute, Second;
    bool MondayAllowed;  // the clock's day is a Monday
    bool Immediate;
    bool Saved;
  };
  const TCase Cases[] = {
      {"window wrapping past midnight, late evening", 22, 0, 6, 0, 23, 30, 0, true, false, true},
      {"window wrapping past midnight, early morning", 22, 0, 6, 0, 5, 59, 0, true, false, true},
      {"window wrapping past midnight, noon", 22, 0, 6, 0, 12, 0, 0, true, false, false},
      {"start of the window belongs to it", 9, 0, 17, 0, 9, 0, 0, true, false, true},
      {"end of the window belongs to it", 9, 0, 17, 0, 17, 0, 0, true, false, true},
      {"a second before the window", 9, 0, 17, 0, 8, 59, 59, true, false, false},
      {"a second after the window", 9, 0, 17, 0, 17, 0, 1, true, false, false},
      {"From equal to To allows the whole day", 9, 0, 9, 0, 3, 0, 0, true, false, true},
      {"an immediate picture outside the window", 22, 0, 6, 0, 12, 0, 0, true, true, true},
      {"a day not allowed, timed", 0, 0, 0, 0, 12, 0, 0, false, false, false},
      {"a day not allowed, immediate", 0, 0, 0, 0, 12, 0, 0, false, true, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    fs::remove_all(Pictures());
    FormGhost->kvTimePickerLocallyRestrictCaptuningFrom->SetTime(
        EncodeTime(Case.FromHour, Case.FromMinute, 0, 0));
    FormGhost->kvTimePickerLocallyRestrictCaptuningTo->SetTime(EncodeTime(Case.ToHour, Case.ToMinute, 0, 0));
    Option("Picture Monday")->SetChecked(Case.MondayAllowed);
    FClock->SetNow(ManualClockDefaultStart - 0.375 + EncodeTime(Case.Hour, Case.Minute, Case.Second, 0));
    ASSERT_EQ(DayOfTheWeek(Now()), 1);
    ComposeColour(0x123456);
    if (Case.Immediate)
      SaveNow();
    else
      Tick();
    EXPECT_EQ(Files().size(), Case.Saved ? 1u : 0u);
  }
  // Without the schedule the day does not matter.
  Option("Picture Schedule")->SetChecked(false);
  Tick();
  EXPECT_EQ(Files(), std::vector<std::string>{"kv0001.bmp"});
}

TEST_F(PictureSaving, TimerIntervalFromValueAndPeriod) {
  struct TCase {
    const char* Name;
    const char* Value;
    const char* Period;
    uint32_t Interval;
  };
  const TCase Cases[] = {
      {"seconds", "60", "seconds", 60000},
      {"minutes", "5", "minutes", 300000},
      {"hours", "2", "hours", 7200000},
      {"0 never fires", "0", "seconds", 0},
      {"a period the list does not offer leaves it", "9", "weeks", 0},
      {"hours past the timer's range wait as long as it goes", "1000", "hours", 0x7FFFFFFF},
      {"a negative value never fires", "-5", "minutes", 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Option("Picture Value")->SetEditText(Case.Value);
    Option("Picture Period")->SetEditText(Case.Period);
    FormGhost->InspectorOptionsItems8Items3Items1ItemChanged(nullptr, nullptr, Case.Period);
    EXPECT_EQ(Timer()->Interval(), Case.Interval);
  }
}

// Timed pictures every second, as a prepared settings file asks for them.
TEST_F(PictureSaving, TimedPicturesComeEveryInterval) {
  Option("Picture Value")->SetEditText("1");
  FormGhost->InspectorOptionsItems8Items3Items0ItemChanged(nullptr, nullptr, "1");
  Option("Enable Picture")->SetChecked(true);
  FormGhost->InspectorOptionsItems8Items0ItemChanged(nullptr, nullptr, "True");
  EXPECT_TRUE(Timer()->Enabled());
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clLime);
  EXPECT_TRUE(FormGhost->vcShapeBtnLocally->Down());
  ComposeColour(0x00FF00);
  Advance(3500, 50);
  EXPECT_EQ(Files(), (std::vector<std::string>{"kv0001.bmp", "kv0002.bmp", "kv0003.bmp"}));
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clLime);
  EXPECT_TRUE(Timer()->Enabled());
  // "Picture Interval" off: the ticks come, nothing is saved.
  Option("Picture Interval")->SetChecked(false);
  Advance(2000, 50);
  EXPECT_EQ(Files().size(), 3u);
  // Switched off: the timer stops and the button turns back.
  Option("Enable Picture")->SetChecked(false);
  FormGhost->InspectorOptionsItems8Items0ItemChanged(nullptr, nullptr, "False");
  EXPECT_FALSE(Timer()->Enabled());
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clMoneyGreen);
  EXPECT_FALSE(FormGhost->vcShapeBtnLocally->Down());
}

// Ctrl+I borrows the picture timer with an interval of 1 and gives the interval back.
TEST_F(PictureSaving, ImmediatePictureRestoresTheTimer) {
  struct TCase {
    const char* Name;
    const char* Value;
    bool Enabled;
    uint32_t Interval;
    TColor Colour;
  };
  const TCase Cases[] = {
      {"timed pictures off", "60", false, 60000, clMoneyGreen},
      {"timed pictures on", "60", true, 60000, clLime},
      {"a value of 0: the timer never fires, Ctrl+I still saves", "0", true, 0, clLime},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    fs::remove_all(Pictures());
    Option("Picture Value")->SetEditText(Case.Value);
    FormGhost->InspectorOptionsItems8Items3Items0ItemChanged(nullptr, nullptr, Case.Value);
    Option("Enable Picture")->SetChecked(Case.Enabled);
    FormGhost->InspectorOptionsItems8Items0ItemChanged(nullptr, nullptr, "");
    ComposeColour(0xABCDEF);
    DataModule1->ActionCaptureImage->Execute();
    EXPECT_EQ(Timer()->Interval(), 1u);
    EXPECT_TRUE(Timer()->Enabled());
    EXPECT_TRUE(FormGhost->FSaveNow);
    Advance(20, 1);
    EXPECT_EQ(Files(), std::vector<std::string>{"kv0001.bmp"});
    EXPECT_EQ(Timer()->Interval(), Case.Interval);
    EXPECT_EQ(Timer()->Enabled(), Case.Enabled);
    EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), Case.Colour);
    EXPECT_FALSE(FormGhost->FSaveNow);
    EXPECT_FALSE(FormGhost->FSaveBusy);
    EXPECT_TRUE(DataModule1->ActionLastSaved->Enabled());
    EXPECT_EQ(FormGhost->ImageLastShot->Picture()->Width(), 8);
    // Nothing more comes of it.
    Advance(3000, 100);
    EXPECT_EQ(Files().size(), 1u);
  }
}

TEST_F(PictureSaving, ATickWhileASaveRunsDoesNothing) {
  ComposeColour(0x010203);
  FormGhost->FSaveBusy = true;
  FormGhost->CaptureImageNow();
  Advance(50, 1);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(Timer()->Enabled()) << "the timer stays as it is";
  FormGhost->FSaveBusy = false;
  Advance(20, 1);
  EXPECT_EQ(Files().size(), 1u);
}

// ---- the files -------------------------------------------------------------------------------

TEST_F(PictureSaving, JpegAtTheComposedSizeAndQuality) {
  Option("JPEG")->SetEditText("JPEG");
  Option("Picture FileName")->SetEditText("kv.jpg");
  auto Composed =
      MakeFrame(40, 30, [](int X, int Y) { return uint32_t(X * 6) << 16 | uint32_t(Y * 8) << 8 | 0x40; });
  for (int Quality : {90, 35}) {
    SCOPED_TRACE(Quality);
    FormGhost->kvDBSpinEditJPEGQuality->SetValue(Quality);
    Compose(MakeFrame(40, 30, [&](int X, int Y) { return RgbOf(*Composed, X, Y); }));
    SaveNow();
    const std::string File = Pictures() + "kv0001.jpg";
    ASSERT_TRUE(FileExists(File));
    // The same picture encoded at the same quality gives the same bytes.
    TJPEGImage Expected;
    Expected.Assign(Composed.get());
    Expected.SetCompressionQuality(Quality);
    TMemoryStream Bytes;
    Expected.SaveToStream(Bytes);
    const std::string Saved = ReadText("My Pictures/kv0001.jpg");
    EXPECT_EQ(Saved, std::string(static_cast<const char*>(Bytes.Memory()), size_t(Bytes.Size())));
    TJPEGImage Decoded;
    Decoded.LoadFromFile(File);
    EXPECT_EQ(Decoded.Width(), 40);
    EXPECT_EQ(Decoded.Height(), 30);
  }
}

TEST_F(PictureSaving, BitmapFileLayout) {
  // 5 x 3: rows of 15 bytes padded to 16, bottom row first, blue, green, red.
  Compose(
      MakeFrame(5, 3, [](int X, int Y) { return uint32_t(0x10 * (Y + 1)) << 16 | uint32_t(X) << 8 | 0xEE; }));
  SaveNow();
  const std::string File = ReadText("My Pictures/kv0001.bmp");
  ASSERT_EQ(File.size(), 54u + 16 * 3);
  auto U16 = [&](size_t At) { return unsigned(uint8_t(File[At])) | unsigned(uint8_t(File[At + 1])) << 8; };
  auto U32 = [&](size_t At) { return U16(At) | U16(At + 2) << 16; };
  EXPECT_EQ(File.substr(0, 2), "BM");
  EXPECT_EQ(U32(2), File.size());
  EXPECT_EQ(U32(10), 54u) << "the pixels follow the two headers";
  EXPECT_EQ(U32(14), 40u);
  EXPECT_EQ(U32(18), 5u);
  EXPECT_EQ(U32(22), 3u) << "positive height: bottom-up";
  EXPECT_EQ(U16(26), 1u);
  EXPECT_EQ(U16(28), 24u);
  EXPECT_EQ(U32(30), 0u) << "uncompressed";
  // The first stored row is the bottom one (Y = 2): red 0x30.
  EXPECT_EQ(uint8_t(File[54]), 0xEE);
  EXPECT_EQ(uint8_t(File[54 + 1]), 0);
  EXPECT_EQ(uint8_t(File[54 + 2]), 0x30);
  EXPECT_EQ(uint8_t(File[54 + 4 * 3 + 1]), 4) << "the fifth pixel's green";
  EXPECT_EQ(uint8_t(File[54 + 15]), 0) << "padding";
  EXPECT_EQ(uint8_t(File[54 + 16 * 2 + 2]), 0x10) << "the top row comes last";
}

TEST_F(PictureSaving, AFailedWriteKeepsTheEarlierPicture) {
  Option("Picture  Save Last")->SetEditText("1");
  ComposeColour(0x111111);
  SaveNow();
  ASSERT_EQ(ColourOf("kv0001.bmp"), 0x111111u);
  for (TAtomicWriteFault Fault : {TAtomicWriteFault::Write, TAtomicWriteFault::Rename}) {
    SCOPED_TRACE(int(Fault));
    ComposeColour(0x222222);
    SetAtomicWriteFault(Fault);
    SaveNow();
    EXPECT_EQ(Files(), std::vector<std::string>{"kv0001.bmp"}) << "no half-written or temporary file";
    EXPECT_EQ(ColourOf("kv0001.bmp"), 0x111111u);
    EXPECT_TRUE(Logged("Save picture failed"));
    EXPECT_FALSE(FormGhost->FSaveBusy);
    EXPECT_FALSE(FormGhost->FJpegCopying);
  }
  // The next write goes through.
  ComposeColour(0x333333);
  SaveNow();
  EXPECT_EQ(ColourOf("kv0001.bmp"), 0x333333u);
}

TEST_F(PictureSaving, FailuresAreLoggedAndTheTickEndsNormally) {
  struct TCase {
    const char* Name;
    const char* SaveLast;
    std::string TargetFolder;
    bool Composed;
  };
  const TCase Cases[] = {
      {"save number not a whole number", "five", "", true},
      {"save number empty", "", "", true},
      {"a folder two levels below a missing one", "5", Folder + "missing/deeper", true},
      {"nothing composed yet", "5", "", false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    fs::remove(Path("korcam.log"));
    fs::remove_all(Pictures());
    Option("Picture  Save Last")->SetEditText(Case.SaveLast);
    Option("Picture Target Folder")->SetEditText(Case.TargetFolder);
    if (Case.Composed)
      ComposeColour(0x445566);
    else
      FormGhost->FComposedPicture->SetGraphic(nullptr);
    SaveNow();
    EXPECT_TRUE(Logged("Save picture failed"));
    EXPECT_TRUE(Files().empty());
    EXPECT_FALSE(FormGhost->FSaveBusy);
    EXPECT_FALSE(FormGhost->FSaveNow);
    EXPECT_EQ(Timer()->Interval(), 60000u) << "the borrowed interval is given back";
    EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clMoneyGreen);
  }
  EXPECT_FALSE(DirectoryExists(Folder + "missing"));
}

TEST_F(PictureSaving, TargetFolderIsMadeOneLevelDeep) {
  ComposeColour(0x0000FF);
  Option("Picture Target Folder")->SetEditText("  " + Folder + "shots  ");
  SaveNow();
  EXPECT_EQ(Files(Folder + "shots"), std::vector<std::string>{"kv0001.bmp"})
      << "trimmed, given its separator";
  Option("Picture Target Folder")->SetEditText(Folder + "shots/");
  SaveNow();
  EXPECT_EQ(Files(Folder + "shots").size(), 2u);
}

// ---- the capture sound ---------------------------------------------------------------------

TEST_F(PictureSaving, CaptureSoundBeforeAnImmediatePicture) {
  ComposeColour(0x777777);
  Option("Play  capture sound")->SetChecked(true);
  // The program's own shutter sound is put into the program folder when it is missing.
  ASSERT_FALSE(Exists("save.wav"));
  SaveNow();
  EXPECT_TRUE(Exists("save.wav"));
  EXPECT_EQ(ReadText("save.wav").substr(0, 4), "RIFF");
  EXPECT_NE(FormGhost->FSoundDevice, 0u);
  EXPECT_EQ(Files().size(), 1u);
  // Switching the sound off stops it.
  Option("Play  capture sound")->SetChecked(false);
  FormGhost->InspectorOptionsItems1Items14ItemChanged(nullptr, nullptr, "False");
  EXPECT_EQ(FormGhost->FSoundDevice, 0u);
  // No sound: none is opened.
  SaveNow();
  EXPECT_EQ(FormGhost->FSoundDevice, 0u);
  // A sound of the user's own under the same name is never replaced.
  WriteText("save.wav", "mine");
  Option("Play  capture sound")->SetChecked(true);
  SaveNow();
  EXPECT_EQ(ReadText("save.wav"), "mine");
}

// ---- the picture options -------------------------------------------------------------------

TEST_F(PictureSaving, PictureFormatRenamesThePictureFiles) {
  struct TCase {
    const char* Name;
    const char* Format;
    const char* Before;
    const char* After;
    bool QualityShown;
  };
  const TCase Cases[] = {
      {"to bitmaps", "BMP", "kv.jpg", "kv.bmp", false},
      {"back to JPEG", "JPEG", "kv.bmp", "kv.jpg", true},
      {"kept up to the first full stop", "BMP", "my.cam.jpg", "my.bmp", false},
      {"a name without a full stop is left", "BMP", "snapshot", "snapshot", false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Option("Picture FileName")->SetEditText(Case.Before);
    Option("FTPFileName")->SetEditText(Case.Before);
    FormGhost->InspectorOptionsItems5Items0ItemChanged(nullptr, nullptr, Case.Format);
    EXPECT_EQ(Option("Picture FileName")->EditText(), Case.After);
    EXPECT_EQ(Option("FTPFileName")->EditText(), Case.After);
    EXPECT_EQ(Option("Jpeg Quality")->Visible(), Case.QualityShown);
  }
}

TEST_F(PictureSaving, PictureButtonSwitchesTimedPictures) {
  FormGhost->vcShapeBtnLocally->SetDown(true);
  FormGhost->vcShapeBtnLocallyClick(nullptr);
  EXPECT_TRUE(Option("Enable Picture")->IsChecked());
  EXPECT_TRUE(Timer()->Enabled());
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clLime);
  EXPECT_TRUE(Option("Picture")->Expanded()) << "the group opens";
  FormGhost->vcShapeBtnLocally->SetDown(false);
  FormGhost->vcShapeBtnLocallyClick(nullptr);
  EXPECT_FALSE(Option("Enable Picture")->IsChecked());
  EXPECT_FALSE(Timer()->Enabled());
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clMoneyGreen);
}

TEST_F(PictureSaving, FolderAndSoundRowsChangeThroughTheirDialogsOnly) {
  fs::create_directories(Folder + "chosen");
  WriteText("click.wav", "RIFF");
  const std::string Before = GetCurrentDir();
  TFileDialogSetup Seen;
  std::string Answer;
  SetFileDialogScript([&](TFileDialogSession& Session) {
    Seen = Session.Setup();
    if (Answer.empty()) return;
    Session.SetFileName(Answer);
    Session.Accept();
  });
  struct TCase {
    const char* Name;
    const char* Key;
    std::function<void()> Open;
    std::string Chosen;
    TFileDialogKind Kind;
  };
  const TCase Cases[] = {
      {"picture folder", "Picture Target Folder",
       [] { FormGhost->kvDBComboDlgLocallyFileCustomDlg(nullptr); }, Folder + "chosen",
       TFileDialogKind::Folder},
      {"capture sound", "Play  capture sound File name",
       [] { FormGhost->kvDBComboDlgCaptureSoundFileNameCustomDlg(nullptr); }, Folder + "click.wav",
       TFileDialogKind::Open},
      {"motion sound", "Play Sound File name", [] { FormGhost->kvDBComboDlgSoundNameCustomDlg(nullptr); },
       Folder + "click.wav", TFileDialogKind::Open},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Old = Option(Case.Key)->EditText();
    Answer.clear();
    Case.Open();
    EXPECT_EQ(Seen.Kind, Case.Kind);
    EXPECT_EQ(Option(Case.Key)->EditText(), Old) << "cancelled";
    Answer = Case.Chosen;
    Case.Open();
    EXPECT_EQ(Option(Case.Key)->EditText(), Case.Chosen);
    EXPECT_EQ(GetCurrentDir(), Before);
  }
  // The folder dialog starts in "My Pictures" while the row names no folder, then in the row's.
  Option("Picture Target Folder")->SetEditText("");
  Answer.clear();
  FormGhost->kvDBComboDlgLocallyFileCustomDlg(nullptr);
  EXPECT_EQ(Seen.FileName, Folder + "My Pictures");
  EXPECT_EQ(
      DataModule1->OpenDialogSoundFile->Filter(),
      "All Files|*.wav;*.mid;*.mp3;|Wav Files(*.wav)|*.wav|Midi Files(*.mid)|*.mid|MP3 Files(*.mp3)|*.mp3");
  for (auto Handler :
       {&TFormGhost::kvDBComboDlgLocallyFileKeyPress, &TFormGhost::kvDBComboDlgCaptureSoundFileNameKeyPress,
        &TFormGhost::kvDBComboDlgSoundNameKeyPress}) {
    char32_t Key = U'a';
    (FormGhost->*Handler)(nullptr, Key);
    EXPECT_EQ(Key, 0u);
  }
}

}  // namespace

namespace {

using PicturesAtStartUp = TAppTest;

// A settings file that asks for a picture every second: start-up starts the timer, and the
// program folder's "My Pictures" fills with kv0001.jpg and on.
TEST_F(PicturesAtStartUp, StoredTimedPicturesStartWithTheProgram) {
  WriteText("korcam.ini",
            "[Options]\r\nEnable Picture=True\r\nPicture Value=1\r\nPicture Period=seconds\r\n"
            "Play  capture sound=False\r\n");
  Start();
  TTimer* Timer = DataModule1->TimerSaveLocally;
  EXPECT_TRUE(Timer->Enabled());
  EXPECT_EQ(Timer->Interval(), 1000u);
  EXPECT_EQ(FormGhost->vcShapeBtnLocally->Color(), clLime);
  EXPECT_TRUE(FormGhost->vcShapeBtnLocally->Down());
  auto Frame = MakeFrame(32, 24, [](int X, int Y) { return uint32_t(X * 8) << 16 | uint32_t(Y * 10); });
  TBitmap Composed;
  Composed.Assign(Frame.get());
  FormGhost->FComposedPicture->SetGraphic(&Composed);
  Advance(3500, 50);
  for (const char* Name : {"kv0001.jpg", "kv0002.jpg", "kv0003.jpg"}) {
    EXPECT_TRUE(Exists(std::string("My Pictures/") + Name)) << Name;
  }
  EXPECT_FALSE(Exists("My Pictures/kv0004.jpg"));
}

}  // namespace
