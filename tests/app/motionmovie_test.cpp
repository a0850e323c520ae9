// The motion movie with the synthetic camera: a scripted motion seen by the preview, the response
// recording video01.avi with the older movies moved up, the movie by hand with detection off,
// a movie of no length, and a real close while a movie records.
//
// A movie holds the user-interface thread inside the response, where it waits for the capture
// thread's frames; a helper thread moves the manual clock on whenever both threads wait for it,
// so the movie runs without real time passing and holds every frame however slow the threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "app/motion.h"
#include "platform/capture/avifile.h"
#include "platform/capture/capturesession.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/application.h"
#include "platform/forms/timer.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/profile.h"
#include "platform/rtl/scopeexit.h"
#include "tests/app/livepicture.h"
#include "tests/platform/forms/alloc_counter.h"

namespace {

// Moves the manual clock on by Step milliseconds whenever every thread of the movie waits for
// it: the user-interface thread, held in the response, and while a stream runs the capture thread
// too, for its next frame's time. Installed as the clock meanwhile, it sees every wait.
//
// Moving on whenever some thread waits is not enough. The capture thread makes, hands over and
// writes a frame while the user-interface thread waits for its next message, and it waits for
// the composition of its frame (a cross-thread send, which waits on the clock as well) while the
// user-interface thread composes; on a slow run the clock then passed the frame times meanwhile,
// the stream dropped them, and a movie held one frame. Held in step, each frame is written
// before the clock reaches the next one's time, however slowly either thread runs.
class TClockDriver : public TClock {
 public:
  TClockDriver(TManualClock& Base, uint64_t Step)
      : FBase(Base), FStep(Step), FPrevious(&Clock()), FUserInterface(std::this_thread::get_id()) {
    InstallClock(this);
    FThread = std::thread([this] {
      while (!FStop) {
        AdvanceWhenAllWait();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
  }
  ~TClockDriver() override {
    FStop = true;
    FThread.join();
    InstallClock(FPrevious);
    // A thread still waiting through this clock (a movie cut short by a failed check) is moved
    // on until it has left, so that it does not come back into a clock that is gone.
    for (;;) {
      {
        std::lock_guard<std::mutex> Lock(FMutex);
        if (FWaits.empty()) break;
      }
      FBase.Advance(FStep);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  uint64_t TickCount() override { return FBase.TickCount(); }
  TDateTime Now() override { return FBase.Now(); }
  void Sleep(uint32_t Milliseconds) override { FBase.Sleep(Milliseconds); }
  void WakeWaiters() override { FBase.WakeWaiters(); }

  bool WaitUntilTick(uint64_t Deadline, const std::atomic<bool>& Cancel) override {
    TWait Wait{std::this_thread::get_id(), Deadline, &Cancel, nullptr};
    // The stream is looked up on the user-interface thread, whose window it belongs to, so it
    // cannot go away while that thread waits here. The capture window keeps its session at offset 0
    // of its extra window bytes.
    if (Wait.Thread == FUserInterface && FormGhost && FormGhost->FCaptureWindow)
      Wait.Stream = reinterpret_cast<const TCaptureSession*>(GetWindowLongPtrA(FormGhost->FCaptureWindow, 0));
    {
      std::lock_guard<std::mutex> Lock(FMutex);
      FWaits.push_back(&Wait);
    }
    TScopeExit Leave([this, &Wait] {
      std::lock_guard<std::mutex> Lock(FMutex);
      FWaits.erase(std::find(FWaits.begin(), FWaits.end(), &Wait));
    });
    return FBase.WaitUntilTick(Deadline, Cancel);
  }

 private:
  struct TWait {
    std::thread::id Thread;
    uint64_t Deadline;
    const std::atomic<bool>* Cancel;
    // The user-interface thread's capture stream (its capture window's session), if any.
    const TCaptureSession* Stream;
  };

  // Whether the wait still holds its thread: neither its time nor its cancel has come.
  bool Blocked(const TWait& Wait) { return !Wait.Cancel->load() && FBase.TickCount() < Wait.Deadline; }

  void AdvanceWhenAllWait() {
    // The waits stay as they are while the lock is held: a thread leaving one takes it first.
    std::lock_guard<std::mutex> Lock(FMutex);
    const auto UserInterface = std::find_if(FWaits.begin(), FWaits.end(),
                                            [this](TWait* Wait) { return Wait->Thread == FUserInterface; });
    if (UserInterface == FWaits.end() || !Blocked(**UserInterface)) return;
    // While the user-interface thread waits, a thread waiting besides it can only be the capture
    // thread waiting for its next frame's time: its other wait, for a frame's composition, has
    // woken the user-interface thread.
    const TCaptureSession* Stream = (*UserInterface)->Stream;
    if (Stream && Stream->Capturing() && std::none_of(FWaits.begin(), FWaits.end(), [this](TWait* Wait) {
          return Wait->Thread != FUserInterface && Blocked(*Wait);
        }))
      return;
    FBase.Advance(FStep);
  }

  TManualClock& FBase;
  const uint64_t FStep;
  TClock* FPrevious;
  const std::thread::id FUserInterface;
  std::mutex FMutex;
  std::vector<TWait*> FWaits;
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
