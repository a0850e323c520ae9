// Motion detection and the motion response: the byte comparison and its measure, the timer
// intervals of the options, the numbered movie files, the check on every third composition with
// its snapshot, the arming of the motion timers, the response in its order, the end of the
// indication, the movie action, and the motion button with its option row.
//
// The check is fed bitmaps built here; the response runs without a device (the movie tests with
// the synthetic camera are in motionmovie_test.cpp).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/motion.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/shell/launcher.h"
#include "platform/user/input.h"
#include "platform/user/winuser.h"
#include "tests/app/apptest.h"

namespace {

// ---- the arithmetic --------------------------------------------------------------------------------

size_t EqualBytesOneByOne(const uint8_t* A, const uint8_t* B, size_t Size) {
  size_t Equal = 0;
  for (size_t Index = 0; Index < Size; ++Index) Equal += A[Index] == B[Index];
  return Equal;
}

TEST(MotionArithmetic, EqualBytesMatchTheCountOneByOne) {
  struct TCase {
    const char* Name;
    size_t Size;
    int ChangedPercent;  // the chance of each byte to differ
  } Cases[] = {
      {"nothing", 0, 50},
      {"less than a word", 7, 50},
      {"one word", 8, 100},
      {"a word and a byte", 9, 0},
      {"255 words: one round of the lane counters", 255 * 8, 100},
      {"past a round, odd tail", 255 * 8 * 2 + 5, 30},
      {"a 640 x 480 frame, nothing changed", 640 * 480 * 3, 0},
      {"a 640 x 480 frame, all changed", 640 * 480 * 3, 100},
      {"a 640 x 480 frame, a little noise", 640 * 480 * 3, 3},
  };
  std::mt19937 Random(21);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    // Eight bytes of slack, so that the comparison also runs from every misaligned start.
    std::vector<uint8_t> A(Case.Size + 8), B(Case.Size + 8);
    for (size_t Index = 0; Index < A.size(); ++Index) {
      A[Index] = uint8_t(Random());
      // A changed byte differs in one bit only now and then, in the top bit now and then.
      const uint8_t Flip = uint8_t(1u << (Random() % 8));
      B[Index] = int(Random() % 100) < Case.ChangedPercent ? uint8_t(A[Index] ^ Flip) : A[Index];
    }
    for (size_t Offset = 0; Offset < 8; ++Offset)
      EXPECT_EQ(CountEqualBytes(A.data() + Offset, B.data() + Offset, Case.Size),
                EqualBytesOneByOne(A.data() + Offset, B.data() + Offset, Case.Size))
          << "from byte " << Offset;
  }
}

TEST(MotionArithmetic, MeasureAgainstTheSensitivity) {
  struct TCase {
    const char* Name;
    size_t Equal, Size;
    double Sensitivity;
    bool Motion;
  } Cases[] = {
      {"two identical frames measure 50", 1000, 1000, 50, false},
      {"so only a sensitivity above 50 sees motion there", 1000, 1000, 51, true},
      {"every byte changed measures 0", 0, 1000, 1, true},
      // The default 20: motion when fewer than a quarter of the bytes are unchanged.
      {"default 20, 24.9 % unchanged", 249, 1000, 20, true},
      {"default 20, 25 % unchanged", 250, 1000, 20, false},
      {"default 20, 30 % unchanged", 300, 1000, 20, false},
      // 100 * Equal would not fit 32 bits here.
      {"a frame of 60 MB, unchanged", 60000000, 60000000, 50, false},
      {"a frame of 60 MB, 10 % unchanged", 6000000, 60000000, 20, true},
      {"an empty frame changed nothing", 0, 0, 20, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Case.Sensitivity > double(MotionMeasure(Case.Equal, Case.Size)), Case.Motion);
  }
  EXPECT_FLOAT_EQ(MotionMeasure(1000, 1000), 50.0f);
  EXPECT_FLOAT_EQ(MotionMeasure(250, 1000), 20.0f);
}

TEST(MotionArithmetic, TimerIntervalsOfTheOptions) {
  struct TCase {
    const char* Name;
    double Value;
    uint32_t Delay, Indication;  // as minutes of starting delay, as seconds of movie length
  } Cases[] = {
      {"0: the response at once; the indication ends at once", 0, 1, 1},
      {"a fraction is truncated", 0.0001, 6, 1},
      {"one", 1, 60000, 1000},
      {"the longest movie", 180, 10800000, 180000},
      {"below zero (typed)", -3, 1, 1},
      // Minutes times 60000 pass 32 bits from 71583 minutes on; a timer waits at most ~24.8 days.
      {"a very large delay waits the longest a timer can", 1e9, 0x7FFFFFFF, 0x7FFFFFFF},
      {"just past 32 bits", 71583, 0x7FFFFFFF, 71583000},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(StartingDelayInterval(Case.Value), Case.Delay);
    EXPECT_EQ(MotionIndicationInterval(Case.Value), Case.Indication);
  }
}

class MovieFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char Template[] = "/tmp/korcam-movies-XXXXXX";
    ASSERT_NE(::mkdtemp(Template), nullptr);
    Folder = std::string(Template) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }
  void Write(int Number, const std::string& Text) {
    std::FILE* File = std::fopen(MovieFileName(Folder, Number).c_str(), "wb");
    std::fputs(Text.c_str(), File);
    std::fclose(File);
  }
  // The content of movie Number, "-" when there is none.
  std::string Read(int Number) {
    std::FILE* File = std::fopen(MovieFileName(Folder, Number).c_str(), "rb");
    if (!File) return "-";
    char Buffer[32] = {};
    const size_t Length = std::fread(Buffer, 1, sizeof Buffer - 1, File);
    std::fclose(File);
    return std::string(Buffer, Length);
  }
  std::string Folder;
};

TEST_F(MovieFiles, NamesHaveTwoDigits) {
  EXPECT_EQ(MovieFileName("/m/", 1), "/m/video01.avi");
  EXPECT_EQ(MovieFileName("/m/", 7), "/m/video07.avi");
  EXPECT_EQ(MovieFileName("/m/", 99), "/m/video99.avi");
}

TEST_F(MovieFiles, AFullSetLosesTheOldestAndFreesTheFirst) {
  for (int Number = 1; Number <= MovieFileCount; ++Number) Write(Number, std::to_string(Number));
  Write(100, "not one of ours");
  RotateMovieFiles(Folder);
  EXPECT_EQ(Read(1), "-");
  for (int Number = 2; Number <= MovieFileCount; ++Number) EXPECT_EQ(Read(Number), std::to_string(Number - 1));
  EXPECT_EQ(Read(100), "not one of ours");
}

TEST_F(MovieFiles, GapsMoveWithTheirMovies) {
  Write(1, "newest");
  Write(3, "older");
  Write(99, "oldest");
  RotateMovieFiles(Folder);
  EXPECT_EQ(Read(1), "-");
  EXPECT_EQ(Read(2), "newest");
  EXPECT_EQ(Read(3), "-");
  EXPECT_EQ(Read(4), "older");
  EXPECT_EQ(Read(99), "-");
}

// ---- the check -------------------------------------------------------------------------------------

// A launcher that records what would be started, and what the response had done by then.
class TRecordingLauncher : public TProgramLauncher {
 public:
  struct TLaunch {
    TLaunchRequest Request;
    bool SoundPlaying, MailSent, PictureAsked;
  };
  int Launch(const TLaunchRequest& Request) override {
    if (Fail) throw Exception("the desktop is gone");
    Launches.push_back({Request, FormGhost->FSoundDevice != 0, !DataModule1->FMailAllowed, FormGhost->FSaveNow});
    return 0;
  }
  std::vector<TLaunch> Launches;
  bool Fail = false;
};

class Motion : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    // A device would compose frames of its own; these tests hand the check their own bitmaps.
    SyntheticCameraSettings().Present = false;
    Before = SetProgramLauncher(&Launcher);
  }
  void TearDown() override {
    TAppTest::TearDown();
    SetProgramLauncher(Before);
  }

  void StartWith(const std::string& Options) {
    WriteText("korcam.ini", "[Options]\nError history=True\n" + Options);
    Start();
  }

  // A 24-bit frame of Width x Height whose bytes are all Value, except the first Equal bytes of
  // its rows, which are 0 (rows of a width that is a multiple of 4 have no padding).
  static std::unique_ptr<TBitmap> Frame(int Width, int Height, uint8_t Value, size_t Equal = 0) {
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(Width, Height);
    const size_t RowBytes = size_t(Width) * 3;
    for (int Y = 0; Y < Height; ++Y) {
      auto* Row = static_cast<uint8_t*>(Bitmap->ScanLine(Height - 1 - Y));  // bottom-up order
      for (size_t X = 0; X < RowBytes; ++X) Row[X] = size_t(Y) * RowBytes + X < Equal ? 0 : Value;
    }
    return Bitmap;
  }

  // One composition of a connected device showing Picture, as far as the check sees it.
  void Compose(TBitmap& Picture) {
    FormGhost->FFrameBitmap->Assign(&Picture);
    FormGhost->CheckMotion();
  }
  // Three compositions (one check) of Picture.
  void ComposeThree(TBitmap& Picture) {
    for (int Index = 0; Index < 3; ++Index) Compose(Picture);
  }
  // No snapshot, and the next composition checks.
  static void ForgetSnapshot() {
    FormGhost->FMotionSnapshot.clear();
    FormGhost->FMotionSnapshotSize = 0;
    FormGhost->FMotionCycle = 0;
  }
  // A motion: the snapshot of a dark frame, then three compositions of a bright one.
  void SeeMotion() {
    Dark = Frame(40, 30, 0x10);
    Bright = Frame(40, 30, 0xF0);
    ForgetSnapshot();
    Compose(*Dark);
    ComposeThree(*Bright);
  }

  TTimer* TimerMotion() { return DataModule1->TimerMotion; }
  TTimer* TimerMovie() { return DataModule1->TimerMovie; }

  TRecordingLauncher Launcher;
  TProgramLauncher* Before = nullptr;
  std::unique_ptr<TBitmap> Dark, Bright;
};

TEST_F(Motion, TheFirstCheckOnlyTakesTheSnapshotAndEveryThirdCompositionCompares) {
  StartWith("Enable motion detection=True\n");
  auto Dark = Frame(40, 30, 0x10);
  auto Bright = Frame(40, 30, 0xF0);
  Compose(*Dark);
  EXPECT_EQ(FormGhost->FMotionCycle, 1);
  EXPECT_EQ(FormGhost->FMotionSnapshotSize, 40 * 30 * 3);
  EXPECT_FALSE(TimerMotion()->Enabled()) << "the first check compares nothing";
  // The next two compositions are not checked, whatever they show.
  Compose(*Bright);
  Compose(*Bright);
  EXPECT_FALSE(TimerMotion()->Enabled());
  EXPECT_EQ(FormGhost->FMotionCycle, 0);
  // The third one compares with the dark snapshot.
  Compose(*Bright);
  EXPECT_TRUE(TimerMotion()->Enabled());
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clYellow);
  // Every check keeps its frame: the bright one is the snapshot now, so bright frames are still.
  TimerMotion()->SetEnabled(false);
  ComposeThree(*Bright);
  EXPECT_FALSE(TimerMotion()->Enabled());
}

TEST_F(Motion, ASizeChangeSkipsOneComparison) {
  StartWith("Enable motion detection=True\n");
  auto Small = Frame(40, 30, 0x10);
  auto Large = Frame(80, 60, 0xF0);
  auto LargeDark = Frame(80, 60, 0x10);
  Compose(*Small);
  ComposeThree(*Large);
  EXPECT_FALSE(TimerMotion()->Enabled()) << "a snapshot of another size is replaced, not compared";
  EXPECT_EQ(FormGhost->FMotionSnapshotSize, 80 * 60 * 3);
  ComposeThree(*LargeDark);
  EXPECT_TRUE(TimerMotion()->Enabled());
}

TEST_F(Motion, SensitivityDecides) {
  StartWith("Enable motion detection=True\n");
  constexpr size_t Bytes = 40 * 30 * 3;  // 3600
  struct TCase {
    const char* Name;
    int Sensitivity;
    size_t Equal;
    bool Motion;
  } Cases[] = {
      {"default 20, 24 % unchanged", 20, Bytes * 24 / 100, true},
      {"default 20, 26 % unchanged", 20, Bytes * 26 / 100, false},
      {"identical frames at 50", 50, Bytes, false},
      {"identical frames at 51", 51, Bytes, true},
      {"every byte changed at 1", 1, 0, true},
  };
  auto Base = Frame(40, 30, 0);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FormGhost->kvDBSpinEditMotionSensibility->SetValue(Case.Sensitivity);
    ForgetSnapshot();
    FormGhost->vcShapeBtnMotion->SetColor(clMoneyGreen);
    TimerMotion()->SetEnabled(false);
    Compose(*Base);
    ComposeThree(*Frame(40, 30, 0x80, Case.Equal));
    EXPECT_EQ(TimerMotion()->Enabled(), Case.Motion);
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color() == clYellow, Case.Motion);
  }
}

// The check reads the frame's rows where they lie (24-bit) or through the device layer (any other
// layout): the same bytes either way, padding included.
TEST_F(Motion, FramesOfEveryLayoutAreReadAsTheSameRows) {
  StartWith("Enable motion detection=True\n");
  struct TCase {
    const char* Name;
    TPixelFormat Format;
    int Width;
  } Cases[] = {
      {"24-bit, rows without padding", pf24bit, 40},
      {"24-bit, padded rows", pf24bit, 41},
      {"32-bit (a decompressed YUY2 frame)", pf32bit, 41},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Picture = Frame(Case.Width, 9, 0x40);
    Picture->Canvas()->SetPixels(3, 4, TColor(0x123456));
    Picture->SetPixelFormat(Case.Format);
    std::vector<uint8_t> Read, Scratch;
    const size_t Bytes = ReadMotionRows(*Picture, Read);
    ASSERT_EQ(Bytes, size_t((Case.Width * 3 + 3) / 4 * 4 * 9));
    size_t Size = 0;
    const uint8_t* Rows = MotionRows(*Picture, Scratch, Size);
    ASSERT_EQ(Size, Bytes);
    EXPECT_EQ(std::memcmp(Rows, Read.data(), Bytes), 0);
    EXPECT_EQ(Rows == Scratch.data(), Case.Format != pf24bit);
    // And the check sees a motion in a frame of that layout.
    ForgetSnapshot();
    TimerMotion()->SetEnabled(false);
    auto Other = Frame(Case.Width, 9, 0xC0);
    Other->SetPixelFormat(Case.Format);
    Compose(*Picture);
    ComposeThree(*Other);
    EXPECT_TRUE(TimerMotion()->Enabled());
  }
}

TEST_F(Motion, ARunningCountdownGoesOnUnlessTheDelayChanged) {
  StartWith("Enable motion detection=True\nStarting Delay=2\n");
  SeeMotion();
  ASSERT_TRUE(TimerMotion()->Enabled());
  EXPECT_EQ(TimerMotion()->Interval(), 120000u);
  Advance(60000, 1000);
  // The same delay: the countdown keeps its start.
  SeeMotion();
  Advance(59000, 1000);
  EXPECT_TRUE(TimerMotion()->Enabled());
  Advance(2000, 1000);
  EXPECT_FALSE(TimerMotion()->Enabled()) << "the response ran two minutes after the first motion";

  // A changed delay starts the countdown again.
  SeeMotion();
  Advance(60000, 1000);
  FormGhost->kvDBSpinEditStartingDelay->SetValue(3);
  SeeMotion();
  EXPECT_EQ(TimerMotion()->Interval(), 180000u);
  Advance(170000, 1000);
  EXPECT_TRUE(TimerMotion()->Enabled());
  Advance(11000, 1000);
  EXPECT_FALSE(TimerMotion()->Enabled());
}

TEST_F(Motion, AVeryLargeDelayWaitsAndDoesNotRespondSoon) {
  StartWith("Enable motion detection=True\n");
  FormGhost->kvDBSpinEditStartingDelay->SetValue(100000);  // 6e9 ms: past 32 bits
  SeeMotion();
  EXPECT_EQ(TimerMotion()->Interval(), 0x7FFFFFFFu);
  Advance(3600000, 60000);
  EXPECT_TRUE(TimerMotion()->Enabled());
}

TEST_F(Motion, TheIndicationLastsTheMovieLengthFromTheLastMotion) {
  struct TCase {
    const char* Name;
    const char* Options;
    int Length;
    TColor After;
  } Cases[] = {
      {"detection on", "Enable motion detection=True\n", 5, clLime},
      {"length 0 ends at once", "Enable motion detection=True\n", 0, clLime},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    StartWith(Case.Options);
    // The button shows the state of a connected device.
    FormGhost->vcShapeBtnMotion->SetEnabled(true);
    FormGhost->kvDBSpinEditMotionValue->SetValue(Case.Length);
    FormGhost->kvDBSpinEditStartingDelay->SetValue(10);
    SeeMotion();
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clYellow);
    if (Case.Length > 0) {
      Advance(3000, 100);
      // Another motion restarts the indication.
      SeeMotion();
      Advance(Case.Length * 1000 - 200, 100);
      EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clYellow);
    }
    Advance(300, 10);
    EXPECT_FALSE(TimerMovie()->Enabled());
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), Case.After);
    EXPECT_EQ(FormGhost->vcLabelMotion->Caption(), "motion");
    Stop();
  }
}

// ---- the response ------------------------------------------------------------------------------------

TEST_F(Motion, TheResponseRunsInItsOrder) {
  WriteText("prog.sh", "#!/bin/sh\n");
  ::chmod(Path("prog.sh").c_str(), 0755);
  StartWith(
      "Enable motion detection=True\nPlay Sound motion detection=True\nLaunch Program motion detection=True\n"
      "Launch Program File name=prog.sh\nSend Email motion detection=True\nMotion detection Picture=True\n");
  ASSERT_EQ(Option("Play Sound File name")->EditText(), "dog.wav");
  SeeMotion();
  Advance(20);
  ASSERT_FALSE(TimerMotion()->Enabled()) << "a starting delay of 0 answers at once";
  // The sound (a bare name: the program folder's) before the program, the program before the
  // e-mail hook and the picture.
  ASSERT_EQ(Launcher.Launches.size(), 1u);
  EXPECT_EQ(Launcher.Launches[0].Request.Program, Path("prog.sh"));
  EXPECT_TRUE(Launcher.Launches[0].SoundPlaying);
  EXPECT_TRUE(Exists("dog.wav"));
  EXPECT_FALSE(Launcher.Launches[0].MailSent);
  EXPECT_FALSE(Launcher.Launches[0].PictureAsked);
  // The e-mail hook waits "One message during N minutes" before the next.
  EXPECT_FALSE(DataModule1->FMailAllowed);
  EXPECT_TRUE(DataModule1->TimerMessagePer->Enabled());
  EXPECT_EQ(DataModule1->TimerMessagePer->Interval(), 5u * 60000u);
  Advance(5 * 60000, 1000);
  EXPECT_TRUE(DataModule1->FMailAllowed);
  EXPECT_FALSE(DataModule1->TimerMessagePer->Enabled());
  // The picture was saved through the picture timer, which has its interval back.
  EXPECT_TRUE(std::filesystem::exists(Path("My Pictures/kv0001.jpg")));
  EXPECT_FALSE(FormGhost->FSaveNow);
  EXPECT_FALSE(FormGhost->FMotionBusy);
}

TEST_F(Motion, TheResponseFollowsItsSwitches) {
  struct TCase {
    const char* Name;
    const char* Options;
    bool Launched;
  } Cases[] = {
      {"detection off: no response", "Launch Program motion detection=True\nLaunch Program File name=prog.sh\n", false},
      {"a program that does not exist",
       "Enable motion detection=True\nLaunch Program motion detection=True\nLaunch Program File name=none.sh\n", false},
      {"launching off", "Enable motion detection=True\nLaunch Program File name=prog.sh\n", false},
      {"a full path", "Enable motion detection=True\nLaunch Program motion detection=True\n", true},
  };
  WriteText("prog.sh", "#!/bin/sh\n");
  ::chmod(Path("prog.sh").c_str(), 0755);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Launcher.Launches.clear();
    StartWith(Case.Options);
    if (Case.Launched) Option("Launch Program File name")->SetEditText(Path("prog.sh"));
    DataModule1->TimerMotionTimer(nullptr);
    EXPECT_EQ(Launcher.Launches.size(), Case.Launched ? 1u : 0u);
    EXPECT_EQ(FormGhost->FSoundDevice, 0u) << "no sound without its switch";
    EXPECT_TRUE(Boxes.empty()) << "nothing is said";
    EXPECT_FALSE(DataModule1->TimerSaveLocally->Enabled()) << "no picture without its switch";
    Stop();
  }
}

TEST_F(Motion, AFailedResponseIsLoggedAndEndsTheBusyState) {
  WriteText("prog.sh", "#!/bin/sh\n");
  ::chmod(Path("prog.sh").c_str(), 0755);
  StartWith("Enable motion detection=True\nLaunch Program motion detection=True\nLaunch Program File name=prog.sh\n");
  Launcher.Fail = true;
  DataModule1->TimerMotionTimer(nullptr);
  EXPECT_NE(ReadText("korcam.log").find("Motion detection failed"), std::string::npos);
  EXPECT_FALSE(FormGhost->FMotionBusy);
  // Without a device the driver dialogs stay off.
  EXPECT_FALSE(DataModule1->ActionVideoOptions->Enabled());
}

TEST_F(Motion, ABusyResponseKeepsTheNextOneWaiting) {
  StartWith("Enable motion detection=True\nLaunch Program motion detection=True\n");
  Option("Launch Program File name")->SetEditText("/bin/sh");
  FormGhost->FMotionBusy = true;
  TimerMotion()->SetEnabled(true);
  DataModule1->TimerMotionTimer(nullptr);
  EXPECT_TRUE(Launcher.Launches.empty());
  EXPECT_TRUE(TimerMotion()->Enabled()) << "it answers once the running response is over";
  FormGhost->FMotionBusy = false;
  Advance(20);
  EXPECT_EQ(Launcher.Launches.size(), 1u);
}

// Without a device nothing is recorded, so the movies keep their numbers: no video99 is lost for
// a video01 that never comes.
TEST_F(Motion, WithoutADeviceTheMoviesKeepTheirNumbers) {
  StartWith("Enable motion detection=True\nMotion detection Capture video=True\n");
  std::filesystem::create_directory(Path("My Pictures"));
  for (int Number : {1, 2, 99}) WriteText(MovieFileName("My Pictures/", Number), "movie");
  DataModule1->TimerMotionTimer(nullptr);
  for (int Number : {1, 2, 99}) EXPECT_TRUE(Exists(MovieFileName("My Pictures/", Number)));
  EXPECT_FALSE(Exists("My Pictures/video03.avi"));
}

// ---- the movie action, the motion button and its row ------------------------------------------------

TEST_F(Motion, TheMovieActionShowsAMovieByHand) {
  StartWith("Play  capture sound=True\n");
  DataModule1->ActionMovie->SetEnabled(true);
  FormGhost->kvDBSpinEditMotionValue->SetValue(2);
  const int HomeLeft = FormGhost->vcLabelMotion->Left(), HomeTop = FormGhost->vcLabelMotion->Top();
  DataModule1->ActionMovie->Execute();
  EXPECT_TRUE(DataModule1->ActionMovie->Checked());
  EXPECT_EQ(FormGhost->vcLabelMotion->Caption(), "movie");
  EXPECT_EQ(FormGhost->vcLabelMotion->Left(), HomeLeft + 2);
  EXPECT_EQ(FormGhost->vcLabelMotion->Top(), HomeTop + 2);
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clYellow);
  EXPECT_TRUE(TimerMotion()->Enabled());
  EXPECT_EQ(TimerMotion()->Interval(), 1u);
  Advance(1990, 10);
  EXPECT_TRUE(DataModule1->ActionMovie->Checked());
  EXPECT_EQ(FormGhost->FSoundDevice, 0u);
  Advance(20, 10);
  // Its end: the capture sound, the label home, the action unchecked, the button idle (grey: no
  // device).
  EXPECT_FALSE(DataModule1->ActionMovie->Checked());
  EXPECT_NE(FormGhost->FSoundDevice, 0u);
  EXPECT_EQ(FormGhost->vcLabelMotion->Caption(), "motion");
  EXPECT_EQ(FormGhost->vcLabelMotion->Left(), HomeLeft);
  EXPECT_EQ(FormGhost->vcLabelMotion->Top(), HomeTop);
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), TColor(0xDDDDDD));
  // No picture for a movie by hand.
  EXPECT_FALSE(FormGhost->FSaveNow);
}

TEST_F(Motion, TheEnableRowColoursTheButton) {
  struct TCase {
    const char* Name;
    bool ButtonEnabled, Checked;
    TColor Color;
  } Cases[] = {
      {"device, on", true, true, clLime},
      {"device, off", true, false, clMoneyGreen},
      {"no device, on", false, true, TColor(0xDDDDDD)},
      {"no device, off", false, false, TColor(0xDDDDDD)},
  };
  StartWith("");
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FormGhost->vcShapeBtnMotion->SetEnabled(Case.ButtonEnabled);
    Option("Enable motion detection")->SetChecked(Case.Checked);
    FormGhost->InspectorOptionsItems9Items0ItemChanged(nullptr, nullptr, "");
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), Case.Color);
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Down(), Case.Checked);
  }
  // Switched off, a motion sound that plays stops.
  FormGhost->vcShapeBtnMotion->SetEnabled(true);
  FormGhost->PlaySoundFile("dog.wav");
  ASSERT_NE(FormGhost->FSoundDevice, 0u);
  Option("Enable motion detection")->SetChecked(false);
  FormGhost->InspectorOptionsItems9Items0ItemChanged(nullptr, nullptr, "False");
  EXPECT_EQ(FormGhost->FSoundDevice, 0u);
}

TEST_F(Motion, TheButtonAndItsKeysSwitchDetectionAndOpenTheGroup) {
  StartWith("");
  FormGhost->vcShapeBtnMotion->SetEnabled(true);
  FormGhost->FindOption("Motion detection")->SetVisible(true);
  // Ctrl+D on the WebCam page.
  SetFocus(FormGhost->Handle());
  InjectKey(VK_CONTROL, true);
  InjectKeyStroke('D');
  InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_TRUE(Option("Enable motion detection")->IsChecked());
  EXPECT_TRUE(FormGhost->vcShapeBtnMotion->Down());
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clLime);
  EXPECT_TRUE(Option("Motion detection")->Expanded());
  // A click on the button switches it off again.
  FormGhost->vcShapeBtnMotion->SetDown(false);
  FormGhost->vcShapeBtnMotionClick(nullptr);
  EXPECT_FALSE(Option("Enable motion detection")->IsChecked());
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clMoneyGreen);

  // Ctrl+M: only while the movie action is enabled (a device is connected).
  InjectKey(VK_CONTROL, true);
  InjectKeyStroke('M');
  InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_FALSE(DataModule1->ActionMovie->Checked());
  DataModule1->ActionMovie->SetEnabled(true);
  InjectKey(VK_CONTROL, true);
  InjectKeyStroke('M');
  InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_TRUE(DataModule1->ActionMovie->Checked());
  EXPECT_EQ(FormGhost->vcLabelMotion->Caption(), "movie");
}

}  // namespace
