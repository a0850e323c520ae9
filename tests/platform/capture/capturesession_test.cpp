// The capture engine behind a capture window, driven directly: every request's answer and
// record, grabbing, and streams paced by the manual clock (rate, time limit, dropped frames,
// the file they write), stopped at any point, also while the capture thread waits in a callback.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/capture/avifile.h"
#include "platform/capture/capturesession.h"
#include "platform/capture/moviefile.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/capture/vcm.h"
#include "tests/platform/capture/capture_support.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

using CaptureTest::DriveStream;
using CaptureTest::WaitUntil;

// What the callbacks saw. The callbacks are plain functions, so they report to the recorder of
// the running test.
struct TRecorder {
  std::mutex Mutex;
  std::condition_variable Changed;
  int Frames = 0;
  std::vector<DWORD> Times;
  std::vector<std::thread::id> Threads;
  std::vector<int> Statuses;
  std::vector<std::pair<int, std::string>> Errors;
  VIDEOHDR LastHeader{};
  std::vector<uint8_t> LastFrame;
  // A callback that "waits for the program" blocks here until released.
  bool Blocking = false;
  bool InCallback = false;
  bool Released = false;
  // Rewrites every streamed frame with this byte, when set.
  int Rewrite = -1;
  // A synchronous stream: what the callback does to its own clock and session.
  TManualClock* AdvanceClock = nullptr;
  TCaptureSession* StopAfter3 = nullptr;

  int FrameCount() {
    std::lock_guard Lock(Mutex);
    return Frames;
  }
};

TRecorder* Recorder = nullptr;

LRESULT RecordFrame(HWND, LPVIDEOHDR Header) {
  std::unique_lock Lock(Recorder->Mutex);
  ++Recorder->Frames;
  Recorder->Times.push_back(Header->dwTimeCaptured);
  Recorder->Threads.push_back(std::this_thread::get_id());
  Recorder->LastHeader = *Header;
  Recorder->LastFrame.assign(Header->lpData, Header->lpData + Header->dwBytesUsed);
  if (Recorder->Rewrite >= 0) std::memset(Header->lpData, Recorder->Rewrite, Header->dwBytesUsed);
  if (Recorder->AdvanceClock) Recorder->AdvanceClock->Advance(100);
  if (Recorder->StopAfter3 && Recorder->Frames == 3) {
    TCaptureSession* Session = Recorder->StopAfter3;
    Lock.unlock();
    Session->Stop();
    Lock.lock();
  }
  if (Recorder->Blocking) {
    Recorder->InCallback = true;
    Recorder->Changed.notify_all();
    Recorder->Changed.wait(Lock, [] { return Recorder->Released; });
  }
  return TRUE;
}

LRESULT RecordStatus(HWND, int Id, LPCSTR) {
  std::lock_guard Lock(Recorder->Mutex);
  Recorder->Statuses.push_back(Id);
  return TRUE;
}

LRESULT RecordError(HWND, int Id, LPCSTR Text) {
  std::lock_guard Lock(Recorder->Mutex);
  Recorder->Errors.emplace_back(Id, Text);
  return TRUE;
}

// Frees a callback blocked on the recorder, the way the window layer frees a blocked send.
class TReleaseByRecorder : public TCaptureThreadRelease {
 public:
  uint32_t Register() override {
    RegisteredOn = std::this_thread::get_id();
    return 77;
  }
  void Block(uint32_t Id, bool Value) override {
    Calls.emplace_back(Id, Value);
    if (!Value) return;
    std::lock_guard Lock(Recorder->Mutex);
    Recorder->Released = true;
    Recorder->Changed.notify_all();
  }
  std::thread::id RegisteredOn;
  std::vector<std::pair<uint32_t, bool>> Calls;
};

class CaptureSession : public ::testing::Test {
 protected:
  CaptureSession() { Recorder = &FRecorder; }
  ~CaptureSession() override {
    Session.Disconnect();
    Recorder = nullptr;
  }

  CAPSTATUS Status() {
    CAPSTATUS Result;
    std::memset(&Result, 0xCC, sizeof Result);
    EXPECT_TRUE(Session.GetStatus(&Result, sizeof Result));
    return Result;
  }
  // A stream of Seconds at Rate frames a second into File (none when empty), yield on.
  void SetUpStream(int Rate, int Seconds, const std::string& File) {
    CAPTUREPARMS Parameters;
    ASSERT_TRUE(Session.GetSequenceSetup(&Parameters, sizeof Parameters));
    Parameters.dwRequestMicroSecPerFrame = 1000000 / Rate;
    Parameters.fYield = TRUE;
    Parameters.fLimitEnabled = Seconds >= 0;
    Parameters.wTimeLimit = Seconds >= 0 ? Seconds : 0;
    ASSERT_TRUE(Session.SetSequenceSetup(&Parameters, sizeof Parameters));
    if (!File.empty()) {
      ASSERT_TRUE(Session.SetCaptureFile(File.c_str()));
    }
  }
  bool Drive(uint64_t Step) {
    return DriveStream(Clock.Get(), [this] { return Session.Capturing(); },
                       [this] { return FRecorder.FrameCount(); }, Step);
  }

  TRecorder FRecorder;
  CaptureTest::TCaptureScope Scope;
  TScopedManualClock Clock;
  TTempFolder Folder;
  TReleaseByRecorder Release;
  TCaptureSession Session{reinterpret_cast<HWND>(0x1234), &Release};
};

TEST_F(CaptureSession, RequestsAnswerFalseWithoutADriver) {
  CAPSTATUS Status{};
  CAPDRIVERCAPS Caps{};
  EXPECT_FALSE(Session.Connected());
  EXPECT_FALSE(Session.GetStatus(&Status, sizeof Status));
  EXPECT_FALSE(Session.GetDriverCaps(&Caps, sizeof Caps));
  EXPECT_EQ(Session.GetVideoFormat(nullptr, 0), 0u);
  EXPECT_FALSE(Session.GrabFrame());
  EXPECT_FALSE(Session.StartSequence(false));
  EXPECT_FALSE(Session.Stop());
  EXPECT_FALSE(Session.Disconnect());
  EXPECT_FALSE(Session.ShowDialog(TCaptureDialog::Source));
  EXPECT_FALSE(Session.Connect(1)) << "only the synthetic camera, at index 0";
  EXPECT_FALSE(Session.Connect(-2));
}

TEST_F(CaptureSession, ConnectedDriverReportsItsCapabilitiesFormatAndStatus) {
  ASSERT_TRUE(Session.Connect(0));
  EXPECT_EQ(Session.DriverName(), "Synthetic Camera");

  CAPDRIVERCAPS Caps;
  std::memset(&Caps, 0xCC, sizeof Caps);
  ASSERT_TRUE(Session.GetDriverCaps(&Caps, sizeof Caps));
  EXPECT_EQ(Caps.wDeviceIndex, 0u);
  EXPECT_FALSE(Caps.fHasOverlay);
  EXPECT_TRUE(Caps.fHasDlgVideoSource);
  EXPECT_TRUE(Caps.fHasDlgVideoFormat);
  EXPECT_FALSE(Caps.fHasDlgVideoDisplay);
  EXPECT_TRUE(Caps.fCaptureInitialized);
  EXPECT_FALSE(Caps.fDriverSuppliesPalettes);
  EXPECT_EQ(Caps.hVideoIn | Caps.hVideoOut | Caps.hVideoExtIn | Caps.hVideoExtOut, 0u);
  // A short record gets only its own bytes.
  std::memset(&Caps, 0xCC, sizeof Caps);
  ASSERT_TRUE(Session.GetDriverCaps(&Caps, 8));
  EXPECT_EQ(Caps.fHasDlgVideoSource, BOOL(0xCCCCCCCC));

  EXPECT_EQ(Session.GetVideoFormat(nullptr, 0), 40u);
  BITMAPINFOHEADER Format{};
  EXPECT_EQ(Session.GetVideoFormat(&Format, sizeof Format), 40u);
  EXPECT_EQ(Format.biWidth, 320);
  EXPECT_EQ(Format.biHeight, 240);
  EXPECT_EQ(Format.biBitCount, 24);
  EXPECT_EQ(Format.biSizeImage, 230400u);

  // The program's 24-bit request at the preview size; then one the camera refuses.
  BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, 176, 144, 24);
  EXPECT_TRUE(Session.SetVideoFormat(&Wanted, 40));
  EXPECT_FALSE(Session.SetVideoFormat(&Wanted, 39));
  Wanted = MakeVideoFormat(mmioFOURCC('H', '2', '6', '4'), 640, 480, 24);
  EXPECT_FALSE(Session.SetVideoFormat(&Wanted, 40));
  const CAPSTATUS Status = this->Status();
  EXPECT_EQ(Status.uiImageWidth, 176u);
  EXPECT_EQ(Status.uiImageHeight, 144u);
  EXPECT_FALSE(Status.fCapturingNow);
  EXPECT_FALSE(Status.fCapFileExists);
  EXPECT_EQ(Status.dwCurrentVideoFrame, 0u);
  EXPECT_EQ(Status.hPalCurrent, 0u);

  EXPECT_TRUE(Session.Disconnect());
  EXPECT_FALSE(Session.Connected());
}

TEST_F(CaptureSession, GrabRunsTheFrameCallbackOnceOnTheCallersThread) {
  Session.SetFrameCallback(RecordFrame);
  Session.SetErrorCallback(RecordError);
  ASSERT_TRUE(Session.Connect(0));
  EXPECT_TRUE(Session.GrabFrame());
  ASSERT_EQ(FRecorder.Frames, 1);
  EXPECT_EQ(FRecorder.Threads[0], std::this_thread::get_id());
  const VIDEOHDR& Header = FRecorder.LastHeader;
  EXPECT_NE(Header.lpData, nullptr);
  EXPECT_EQ(Header.dwBufferLength, 230400u);
  EXPECT_EQ(Header.dwBytesUsed, 230400u);
  EXPECT_EQ(Header.dwFlags, VHDR_DONE | VHDR_KEYFRAME);
  CaptureTest::ExpectDibNear(FRecorder.LastFrame.data(), 320, 240, 24, true, CaptureTest::StillScene(320, 240), 0);

  Session.SetFrameCallback(nullptr);
  EXPECT_TRUE(Session.GrabFrame());
  EXPECT_EQ(FRecorder.Frames, 1) << "a removed callback is not called";
  EXPECT_TRUE(FRecorder.Errors.empty());
}

TEST_F(CaptureSession, AGrabFromAnUnpluggedCameraFailsAndSaysWhy) {
  SyntheticCameraSettings().GoneAtFrame = 1;
  Session.SetFrameCallback(RecordFrame);
  Session.SetErrorCallback(RecordError);
  ASSERT_TRUE(Session.Connect(0));
  EXPECT_TRUE(Session.GrabFrame());
  EXPECT_FALSE(Session.GrabFrame());
  EXPECT_EQ(FRecorder.Frames, 1);
  ASSERT_EQ(FRecorder.Errors.size(), 1u);
  EXPECT_EQ(FRecorder.Errors[0], (std::pair<int, std::string>{CAPERR_NO_DEVICE, "No such device"}));
}

TEST_F(CaptureSession, SequenceParametersRoundTripFromTheirDefaults) {
  CAPTUREPARMS Parameters;
  std::memset(&Parameters, 0xCC, sizeof Parameters);
  ASSERT_TRUE(Session.GetSequenceSetup(&Parameters, sizeof Parameters));
  EXPECT_EQ(Parameters.dwRequestMicroSecPerFrame, 66667u);
  EXPECT_FALSE(Parameters.fYield);
  EXPECT_FALSE(Parameters.fLimitEnabled);
  EXPECT_FALSE(Parameters.fCaptureAudio);
  EXPECT_EQ(Parameters.vKeyAbort, 0x1Bu);
  EXPECT_TRUE(Parameters.fAbortLeftMouse);

  Parameters.dwRequestMicroSecPerFrame = 1000000 / 30;
  Parameters.fYield = TRUE;
  Parameters.wPercentDropForError = 30;
  Parameters.fLimitEnabled = TRUE;
  Parameters.wTimeLimit = 180;
  ASSERT_TRUE(Session.SetSequenceSetup(&Parameters, sizeof Parameters));
  CAPTUREPARMS Read{};
  ASSERT_TRUE(Session.GetSequenceSetup(&Read, sizeof Read));
  EXPECT_EQ(std::memcmp(&Read, &Parameters, sizeof Read), 0);

  Parameters.dwRequestMicroSecPerFrame = 0;
  EXPECT_FALSE(Session.SetSequenceSetup(&Parameters, sizeof Parameters)) << "no frame period";
  ASSERT_TRUE(Session.GetSequenceSetup(&Read, sizeof Read));
  EXPECT_EQ(Read.dwRequestMicroSecPerFrame, 33333u);
}

TEST_F(CaptureSession, AStreamToAFileDeliversEveryFrameAtTheRateAndEndsAtTheTimeLimit) {
  Session.SetVideoStreamCallback(RecordFrame);
  Session.SetStatusCallback(RecordStatus);
  Session.SetErrorCallback(RecordError);
  ASSERT_TRUE(Session.Connect(0));
  const std::string File = Folder.File("video01.avi");
  SetUpStream(10, 2, File);
  ASSERT_TRUE(Session.StartSequence(true));
  EXPECT_TRUE(Session.Capturing());

  // While it runs, requests that need the driver are refused and the status says so.
  BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, 176, 144, 24);
  EXPECT_FALSE(Session.GrabFrame());
  EXPECT_FALSE(Session.SetVideoFormat(&Wanted, 40));
  EXPECT_FALSE(Session.StartSequence(false));
  EXPECT_TRUE(Status().fCapturingNow);

  ASSERT_TRUE(Drive(100));
  EXPECT_FALSE(Session.Capturing());
  ASSERT_EQ(FRecorder.Frames, 20) << "two seconds at ten frames a second";
  for (int Frame = 0; Frame < 20; ++Frame) EXPECT_EQ(FRecorder.Times[size_t(Frame)], DWORD(Frame * 100));
  EXPECT_NE(Release.RegisteredOn, std::this_thread::get_id());
  EXPECT_EQ(FRecorder.Threads[0], Release.RegisteredOn) << "the callback runs on the capture thread";
  EXPECT_EQ(FRecorder.Statuses, (std::vector<int>{IDS_CAP_BEGIN, IDS_CAP_END}));
  EXPECT_TRUE(FRecorder.Errors.empty());

  const CAPSTATUS Status = this->Status();
  EXPECT_FALSE(Status.fCapturingNow);
  EXPECT_EQ(Status.dwCurrentVideoFrame, 20u);
  EXPECT_EQ(Status.dwCurrentVideoFramesDropped, 0u);
  EXPECT_EQ(Status.dwCurrentTimeElapsedMS, 1900u);
  EXPECT_TRUE(Status.fCapFileExists);

  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Stream), 20);
  AVIStreamRelease(Stream);
  EXPECT_EQ(Folder.Listing(), "video01.avi");
  EXPECT_TRUE(Session.GrabFrame()) << "the driver is free again";
}

TEST_F(CaptureSession, TheTimeLimitHoldsTheNearestWholeNumberOfFrames) {
  struct TLimitCase {
    const char* Name;
    int Rate, Seconds;
    int Frames;
  };
  constexpr TLimitCase Cases[] = {
      {"30 frames a second for a second", 30, 1, 30},
      {"15 a second: a period of 66666 us still gives 30 in 2 s", 15, 2, 30},
      {"1 a second for 3 s", 1, 3, 3},
  };
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  for (const TLimitCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FRecorder.Frames = 0;
    SetUpStream(Case.Rate, Case.Seconds, "");
    ASSERT_TRUE(Session.StartSequence(false));
    ASSERT_TRUE(Drive(uint64_t(1000 + Case.Rate - 1) / uint64_t(Case.Rate)));
    EXPECT_EQ(FRecorder.Frames, Case.Frames);
    EXPECT_EQ(Status().dwCurrentVideoFramesDropped, 0u);
  }
}

TEST_F(CaptureSession, AStreamKeepsRealTimeWhenItFallsBehind) {
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  SetUpStream(10, 1, "");
  ASSERT_TRUE(Session.StartSequence(false));
  ASSERT_TRUE(WaitUntil([&] { return Clock->WaiterCount() > 0; }));  // frame 0 is done
  Clock->Advance(350);  // frames 1 to 3 are due at once: 1 is taken late, 2 is dropped, 3 taken
  ASSERT_TRUE(WaitUntil([&] { return FRecorder.FrameCount() == 3 && Clock->WaiterCount() > 0; }));
  ASSERT_TRUE(Drive(100));
  EXPECT_EQ(FRecorder.Times, (std::vector<DWORD>{0, 100, 300, 400, 500, 600, 700, 800, 900}));
  EXPECT_EQ(Status().dwCurrentVideoFramesDropped, 1u);
}

TEST_F(CaptureSession, ATimeLimitOfZeroEndsAtOnceWithAnEmptyMovie) {
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  const std::string File = Folder.File("video01.avi");
  SetUpStream(10, 0, File);
  ASSERT_TRUE(Session.StartSequence(true));
  ASSERT_TRUE(WaitUntil([&] { return !Session.Capturing(); })) << "no clock advance needed";
  EXPECT_EQ(FRecorder.Frames, 0);
  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Stream), 0);
  AVIStreamRelease(Stream);
}

TEST_F(CaptureSession, TheRecordedMovieCarriesWhatTheCallbackWroteBack) {
  FRecorder.Rewrite = 0x40;  // every frame becomes a flat dark grey
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  const std::string File = Folder.File("composed.avi");
  SetUpStream(5, 1, File);
  ASSERT_TRUE(Session.StartSequence(true));
  ASSERT_TRUE(Drive(200));
  ASSERT_EQ(FRecorder.Frames, 5);
  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_OK);
  PGETFRAME Reader = AVIStreamGetFrameOpen(Stream, nullptr);
  ASSERT_NE(Reader, nullptr);
  const auto* Frame = static_cast<const uint8_t*>(AVIStreamGetFrame(Reader, 3));
  ASSERT_NE(Frame, nullptr);
  EXPECT_NEAR(Frame[40 + 1000], 0x40, 3);
  AVIStreamGetFrameClose(Reader);
  AVIStreamRelease(Stream);
}

TEST_F(CaptureSession, StopAndAbortReleaseAStreamBlockedInItsCallback) {
  for (const bool UseAbort : {false, true}) {
    SCOPED_TRACE(UseAbort ? "abort" : "stop");
    {
      std::lock_guard Lock(FRecorder.Mutex);
      FRecorder.Frames = 0;
      FRecorder.Blocking = false;
      FRecorder.Released = false;
      FRecorder.InCallback = false;
    }
    Release.Calls.clear();
    Session.SetVideoStreamCallback(RecordFrame);
    ASSERT_TRUE(Session.Connect(0));
    const std::string File = Folder.File(UseAbort ? "aborted.avi" : "stopped.avi");
    SetUpStream(10, -1, File);  // no time limit: only a stop ends it
    ASSERT_TRUE(Session.StartSequence(true));
    // Two frames go through; the third waits for the program, which never answers.
    for (int Frame = 1; Frame <= 2; ++Frame) {
      ASSERT_TRUE(WaitUntil([&] { return FRecorder.FrameCount() == Frame && Clock->WaiterCount() > 0; }));
      if (Frame == 2) {
        std::lock_guard Lock(FRecorder.Mutex);
        FRecorder.Blocking = true;
      }
      Clock->Advance(100);
    }
    {
      std::unique_lock Lock(FRecorder.Mutex);
      ASSERT_TRUE(FRecorder.Changed.wait_for(Lock, std::chrono::seconds(10), [&] { return FRecorder.InCallback; }));
    }
    EXPECT_TRUE(UseAbort ? Session.Abort() : Session.Stop());
    EXPECT_FALSE(Session.Capturing());
    EXPECT_EQ(Release.Calls, (std::vector<std::pair<uint32_t, bool>>{{77, true}, {77, false}}));
    // The frames before the stop are in the movie; the one cut short is not.
    PAVISTREAM Stream = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(Stream), 2);
    AVIStreamRelease(Stream);
  }
}

TEST_F(CaptureSession, StopEndsAStreamWaitingForItsNextFrameAndDisconnectEndsAnyStream) {
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  SetUpStream(1, -1, "");
  ASSERT_TRUE(Session.StartSequence(false));
  ASSERT_TRUE(WaitUntil([&] { return Clock->WaiterCount() > 0; }));
  EXPECT_TRUE(Session.Stop());
  EXPECT_FALSE(Session.Capturing());
  EXPECT_EQ(FRecorder.Frames, 1);
  EXPECT_TRUE(Session.Stop()) << "stopping what is not running is fine";

  ASSERT_TRUE(Session.StartSequence(false));
  ASSERT_TRUE(WaitUntil([&] { return Clock->WaiterCount() > 0; }));
  EXPECT_TRUE(Session.Disconnect());
  EXPECT_FALSE(Session.Capturing());

  // The destructor of a session with a stream running ends it too.
  ASSERT_TRUE(Session.Connect(0));
  auto Other = std::make_unique<TCaptureSession>();
  ASSERT_TRUE(Other->Connect(0));
  CAPTUREPARMS Parameters;
  Other->GetSequenceSetup(&Parameters, sizeof Parameters);
  Parameters.fYield = TRUE;
  Other->SetSequenceSetup(&Parameters, sizeof Parameters);
  ASSERT_TRUE(Other->StartSequence(false));
  ASSERT_TRUE(WaitUntil([&] { return Clock->WaiterCount() > 0; }));
  Other.reset();
}

TEST_F(CaptureSession, WithoutYieldTheStreamRunsOnTheCallersThreadUntilACallbackStopsIt) {
  FRecorder.AdvanceClock = &Clock.Get();  // each frame moves time on to the next one
  FRecorder.StopAfter3 = &Session;
  Session.SetVideoStreamCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  CAPTUREPARMS Parameters;
  Session.GetSequenceSetup(&Parameters, sizeof Parameters);
  Parameters.dwRequestMicroSecPerFrame = 100000;
  Parameters.fYield = FALSE;
  Session.SetSequenceSetup(&Parameters, sizeof Parameters);
  ASSERT_TRUE(Session.StartSequence(false));
  EXPECT_FALSE(Session.Capturing());
  ASSERT_EQ(FRecorder.Frames, 3);
  for (const std::thread::id& Thread : FRecorder.Threads) EXPECT_EQ(Thread, std::this_thread::get_id());
}

TEST_F(CaptureSession, StreamsEndOnAnUnpluggedCameraOrRefuseAFileThatCannotBeWritten) {
  Session.SetVideoStreamCallback(RecordFrame);
  Session.SetErrorCallback(RecordError);
  ASSERT_TRUE(Session.Connect(0));
  SetUpStream(10, 5, "");
  EXPECT_FALSE(Session.StartSequence(true)) << "no capture file named";
  ASSERT_TRUE(Session.SetCaptureFile(Folder.File("missing/video01.avi").c_str()));
  EXPECT_FALSE(Session.StartSequence(true));
  ASSERT_EQ(FRecorder.Errors.size(), 2u);
  EXPECT_EQ(FRecorder.Errors[0].first, CAPERR_NO_CAPTURE_FILE);
  EXPECT_EQ(FRecorder.Errors[1].first, CAPERR_FILE_FAILED);
  EXPECT_FALSE(Session.SetCaptureFile(""));
  EXPECT_EQ(Session.CaptureFile(), Folder.File("missing/video01.avi"));

  // Unplugged after two frames: the stream ends by itself and the movie keeps those two.
  FRecorder.Errors.clear();
  SyntheticCameraSettings().GoneAtFrame = 2;
  ASSERT_TRUE(Session.Connect(0));
  const std::string File = Folder.File("video01.avi");
  SetUpStream(10, 5, File);
  ASSERT_TRUE(Session.StartSequence(true));
  ASSERT_TRUE(Drive(100));
  EXPECT_EQ(FRecorder.Frames, 2);
  ASSERT_EQ(FRecorder.Errors.size(), 1u);
  EXPECT_EQ(FRecorder.Errors[0], (std::pair<int, std::string>{CAPERR_NO_DEVICE, "No such device"}));
  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Stream), 2);
  AVIStreamRelease(Stream);
}

TEST_F(CaptureSession, AStreamOnAFullDiskEndsWithAMovieOfTheFramesItWrote) {
  Session.SetVideoStreamCallback(RecordFrame);
  Session.SetErrorCallback(RecordError);
  ASSERT_TRUE(Session.Connect(0));
  const std::string File = Folder.File("video01.avi");
  SetUpStream(10, 20, File);
  // Room for the headers and a few frames of the camera's picture.
  SetMovieDiskSpace(40000);
  ASSERT_TRUE(Session.StartSequence(true));
  const bool Ended = Drive(100);
  SetMovieDiskSpace(-1);
  ASSERT_TRUE(Ended);
  const CAPSTATUS Final = Status();
  EXPECT_LT(Final.dwCurrentVideoFrame, 200u) << "the stream ended early";
  ASSERT_GE(Final.dwCurrentVideoFrame, 1u);
  ASSERT_EQ(FRecorder.Errors.size(), 1u);
  EXPECT_EQ(FRecorder.Errors[0].first, CAPERR_FILE_FAILED);
  const std::string Ends = "the movie ends after " + std::to_string(Final.dwCurrentVideoFrame) + " frame";
  EXPECT_NE(FRecorder.Errors[0].second.find(Ends), std::string::npos) << FRecorder.Errors[0].second;
  EXPECT_EQ(Folder.Listing(), "video01.avi");
  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Stream), LONG(Final.dwCurrentVideoFrame)) << "every frame counted was kept";
  AVIStreamRelease(Stream);
}

TEST_F(CaptureSession, CompressedCameraFormatsStreamIntoPlayableMovies) {
  // A YUY2 camera: the program's decompressor reads its frames, the writer encodes them.
  SyntheticCameraSettings().Compression = FOURCC_YUY2;
  SyntheticCameraSettings().RefuseAll = true;
  Session.SetFrameCallback(RecordFrame);
  ASSERT_TRUE(Session.Connect(0));
  BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, 320, 240, 24);
  EXPECT_FALSE(Session.SetVideoFormat(&Wanted, 40));
  BITMAPINFOHEADER Format{};
  ASSERT_EQ(Session.GetVideoFormat(&Format, 40), 40u);
  EXPECT_EQ(Format.biCompression, FOURCC_YUY2);
  HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Format, nullptr, ICMODE_DECOMPRESS);
  ASSERT_NE(Decompressor, nullptr);
  BITMAPINFOHEADER Output{};
  ASSERT_EQ(ICDecompressGetFormat(Decompressor, &Format, &Output), ICERR_OK);
  EXPECT_EQ(Output.biBitCount, 32);
  ASSERT_TRUE(Session.GrabFrame());
  std::vector<uint8_t> Bits(Output.biSizeImage);
  ASSERT_EQ(ICDecompressBegin(Decompressor, &Format, &Output), ICERR_OK);
  EXPECT_EQ(ICDecompress(Decompressor, 0, &Format, FRecorder.LastFrame.data(), &Output, Bits.data()), DWORD(ICERR_OK));
  ICDecompressEnd(Decompressor);
  ICClose(Decompressor);
  CaptureTest::ExpectDibNear(Bits.data(), 320, 240, 32, true, CaptureTest::StillScene(320, 240), 6);
}

}  // namespace
