// The motion movie with the synthetic camera: a scripted motion seen by the preview, the response
// recording video01.avi with the older movies moved up, the movie by hand with detection off,
// a movie of no length, and a real close while a movie records.
//
// A movie holds the user-interface thread inside the response, where it waits for the capture
// thread's frames; a helper thread moves the manual clock on whenever a thread waits for it, so
// the movie runs without real time passing.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "app/motion.h"
#include "platform/capture/avifile.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/application.h"
#include "platform/forms/timer.h"
#include "platform/rtl/profile.h"
#include "tests/app/livepicture.h"
#include "tests/platform/forms/alloc_counter.h"

namespace {

// Moves the manual clock on by Step milliseconds whenever a thread waits for it.
class TClockDriver {
 public:
  TClockDriver(TManualClock& Clock, uint64_t Step)
      : FThread([this, &Clock, Step] {
          while (!FStop) {
            if (Clock.WaiterCount() > 0) Clock.Advance(Step);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
          }
        }) {}
  ~TClockDriver() {
    FStop = true;
    FThread.join();
  }

 private:
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

// The frames of the movie at Path; -1 when it does not open as a movie.
long MovieFrames(const std::string& Path) {
  PAVISTREAM Stream = nullptr;
  if (AVIStreamOpenFromFileA(&Stream, Path.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr) != AVIERR_OK)
    return -1;
  const long Frames = AVIStreamLength(Stream);
  AVIStreamRelease(Stream);
  return Frames;
}

class MotionMovie : public TLivePictureTest {
 protected:
  std::string Movies() const { return Path("My Pictures/"); }

  // Preview ticks on the manual clock until Done holds; false after a generous real-time wait.
  bool RunUntil(const std::function<bool()>& Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!Done()) {
      if (std::chrono::steady_clock::now() > Deadline) return false;
      Advance(10, 10);
    }
    return true;
  }

  bool Recording() {
    CAPSTATUS Status{};
    return FormGhost->SendCaptureMessage(WM_CAP_GET_STATUS, sizeof Status, reinterpret_cast<LPARAM>(&Status)) &&
           Status.fCapturingNow;
  }

  // Movies 1, 2 and 99 of a user's earlier runs.
  void WriteOldMovies() {
    std::filesystem::create_directory(Movies());
    for (int Number : {1, 2, 99}) WriteText(MovieFileName("My Pictures/", Number), "old " + std::to_string(Number));
  }
};

// With detection on, the check reuses its buffers frame after frame: nothing frame-sized comes
// from the heap, for frames of 24-bit rows (compared where they lie) and of YUY2 (read first).
TEST_F(MotionMovie, TheCheckAllocatesNothingFrameAfterFrame) {
  for (const DWORD Code : {DWORD(BI_RGB), DWORD(mmioFOURCC('Y', 'U', 'Y', '2'))}) {
    SCOPED_TRACE(Code == BI_RGB ? "24-bit" : "YUY2");
    SyntheticCameraSettings().Compression = Code;
    SyntheticCameraSettings().RefusedCodes.clear();
    if (Code != BI_RGB) SyntheticCameraSettings().RefusedCodes.push_back(BI_RGB);
    StartWith("[Options]\nEnable motion detection=True\n");
    for (int Warm = 0; Warm < 6; ++Warm) Tick();
    ASSERT_EQ(FormGhost->FMotionSnapshotSize, 320 * 240 * 3);
    const std::set<const uint8_t*> Buffers = {FormGhost->FMotionSnapshot.data(), FormGhost->FMotionFrame.data()};
    GLargeAllocations = 0;
    GLargeAllocation = 320 * 240;
    for (int Frame = 0; Frame < 30; ++Frame) Tick();
    GLargeAllocation = SIZE_MAX;
    EXPECT_EQ(GLargeAllocations, 0);
    EXPECT_TRUE(Buffers.count(FormGhost->FMotionSnapshot.data()));
    EXPECT_FALSE(DataModule1->TimerMotion->Enabled()) << "the still card is no motion";
    Stop();
  }
}

TEST_F(MotionMovie, AMotionRecordsVideo01AndMovesTheOlderMoviesUp) {
  // The preview shows a still card, then a few moving frames, then the card again.
  SyntheticCameraSettings().MotionFirst = 12;
  SyntheticCameraSettings().MotionCount = 3;
  WriteOldMovies();
  StartWith(
      "[Options]\nEnable motion detection=True\nMotion detection Capture video=True\nMotion detection Picture=True\n"
      "Motion detection Capture video (sec)=2\nFrame Rate=5\n");
  ASSERT_FALSE(ConnectedDriver().empty());
  TClockDriver Driver(FClock.Get(), 5);
  ASSERT_TRUE(RunUntil([&] { return FormGhost->vcShapeBtnMotion->Color() == clYellow; })) << "the motion was seen";
  ASSERT_TRUE(RunUntil([&] { return MovieFrames(MovieFileName(Movies(), 1)) > 0 && !FormGhost->FMotionBusy; }));
  // Two seconds at five frames a second.
  EXPECT_EQ(MovieFrames(MovieFileName(Movies(), 1)), 10);
  EXPECT_EQ(ReadText(MovieFileName("My Pictures/", 2)), "old 1");
  EXPECT_EQ(ReadText(MovieFileName("My Pictures/", 3)), "old 2");
  EXPECT_FALSE(Exists(MovieFileName("My Pictures/", 99))) << "the oldest movie made room";
  // The motion picture, and the preview going on after the movie.
  EXPECT_TRUE(Exists("My Pictures/kv0001.jpg"));
  EXPECT_TRUE(DataModule1->TimerPreview->Enabled());
  EXPECT_TRUE(DataModule1->ActionVideoOptions->Enabled());
  // The indication ends the movie length after the last motion.
  ASSERT_TRUE(RunUntil([&] { return !DataModule1->TimerMovie->Enabled(); }));
  EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clLime);
}

TEST_F(MotionMovie, AMovieByHandRecordsWithDetectionOff) {
  StartWith(
      "[Options]\nPlay Sound motion detection=True\nMotion detection Picture=True\n"
      "Motion detection Capture video (sec)=1\nFrame Rate=4\n");
  ASSERT_TRUE(DataModule1->ActionMovie->Enabled());
  TClockDriver Driver(FClock.Get(), 5);
  DataModule1->ActionMovie->Execute();
  ASSERT_TRUE(RunUntil([&] { return MovieFrames(MovieFileName(Movies(), 1)) > 0 && !FormGhost->FMotionBusy; }));
  EXPECT_EQ(MovieFrames(MovieFileName(Movies(), 1)), 4);
  // The motion sound played; no picture was saved.
  EXPECT_TRUE(Exists("dog.wav"));
  EXPECT_FALSE(Exists("My Pictures/kv0001.jpg"));
  ASSERT_TRUE(RunUntil([&] { return !DataModule1->ActionMovie->Checked(); }));
  EXPECT_EQ(FormGhost->vcLabelMotion->Caption(), "motion");
}

TEST_F(MotionMovie, AMovieOfNoLengthRecordsNothingAndMovesNothing) {
  WriteOldMovies();
  StartWith("[Options]\nMotion detection Capture video (sec)=0\n");
  DataModule1->ActionMovie->Execute();
  Advance(100, 10);
  EXPECT_FALSE(Recording());
  EXPECT_FALSE(FormGhost->FMotionBusy);
  for (int Number : {1, 2, 99})
    EXPECT_EQ(ReadText(MovieFileName("My Pictures/", Number)), "old " + std::to_string(Number));
  // The indication is over at once, not shown for good.
  EXPECT_FALSE(DataModule1->TimerMovie->Enabled());
  EXPECT_FALSE(DataModule1->ActionMovie->Checked());
}

// The end of the session while a movie records: the close is real, the movie is finished with
// what it has, and nothing runs after the close.
TEST_F(MotionMovie, ARealCloseDuringAMovieKeepsWhatWasRecorded) {
  StartWith("[Options]\nMotion detection Capture video (sec)=60\nFrame Rate=5\n");
  const HWND Window = FormGhost->Handle();
  // A second and a half after the movie began, the session ends.
  TTimer Ending(nullptr);
  Ending.SetEnabled(false);
  Ending.SetInterval(1500);
  Ending.SetOnTimer(TNotifyEvent([&](TObject*) {
    Ending.SetEnabled(false);
    PostMessageA(Window, WM_ENDSESSION, 0, 0);
  }));
  TClockDriver Driver(FClock.Get(), 5);
  Ending.SetEnabled(true);
  DataModule1->ActionMovie->Execute();
  ASSERT_TRUE(RunUntil([&] { return Application->Terminated(); }));
  EXPECT_TRUE(Exists("korcam.ini"));
  EXPECT_TRUE(FormGhost->FMotionBusy) << "the response does not undo the close";
  const long Recorded = MovieFrames(MovieFileName(Movies(), 1));
  EXPECT_GE(Recorded, 5);
  EXPECT_LT(Recorded, 300);
  Application->ResetTerminated();
}

}  // namespace
