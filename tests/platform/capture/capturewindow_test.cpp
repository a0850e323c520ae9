// The capture library as the program uses it: driver descriptions, a capture window made a child
// of a window of ours, every message sent to it, grabbing on the caller's thread, and streams
// whose frames the capture thread hands to the user-interface thread with a synchronous
// cross-thread send, stopped and aborted while that send waits.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "platform/capture/avifile.h"
#include "platform/capture/capture.h"
#include "platform/capture/capturedialog.h"
#include "platform/user/user.h"
#include "tests/platform/capture/capture_support.h"
#include "tests/platform/capture/fakev4l2.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

using CaptureTest::WaitUntil;

constexpr UINT WM_FRAME_HANDOFF = WM_APP + 1;

// The program's side: a main window whose procedure takes the handed-off frames, and the
// callbacks the capture library calls.
struct TProgram {
  HWND MainWindow = nullptr;
  HWND CaptureWindow = nullptr;
  std::atomic<int> Grabbed{0};
  std::atomic<int> Composed{0};     // frames the user-interface thread handled
  std::atomic<int> HandOffs{0};     // hand-offs the capture thread began
  std::atomic<int> HandOffResults{0};  // hand-offs that came back with the program's answer
  std::atomic<bool> StopInsideHandOff{false};
  std::thread::id UiThread;
  std::atomic<bool> WrongThread{false};
};
TProgram* Program = nullptr;

LRESULT MainWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_FRAME_HANDOFF) {
    if (std::this_thread::get_id() != Program->UiThread) Program->WrongThread = true;
    ++Program->Composed;
    if (Program->StopInsideHandOff.exchange(false)) SendMessageA(Program->CaptureWindow, WM_CAP_STOP, 0, 0);
    return 1;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

LRESULT FrameCallback(HWND Window, LPVIDEOHDR Header) {
  if (Window != Program->CaptureWindow || !Header->lpData) Program->WrongThread = true;
  ++Program->Grabbed;
  return TRUE;
}

// The video-stream callback hands the frame over and waits, as the program's does.
LRESULT VideoStreamCallback(HWND, LPVIDEOHDR Header) {
  ++Program->HandOffs;
  if (SendMessageA(Program->MainWindow, WM_FRAME_HANDOFF, 0, reinterpret_cast<LPARAM>(Header)) == 1)
    ++Program->HandOffResults;
  return TRUE;
}

class CaptureWindow : public ::testing::Test {
 protected:
  CaptureWindow() {
    Program = &State;
    State.UiThread = std::this_thread::get_id();
    WNDCLASSA Class{};
    Class.lpfnWndProc = MainWindowProc;
    Class.lpszClassName = "CaptureTestMain";
    RegisterClassA(&Class);
    State.MainWindow = CreateWindowExA(0, "CaptureTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                       nullptr, nullptr, nullptr);
    State.CaptureWindow =
        capCreateCaptureWindowA("Korvane Window", WS_CHILD, 0, 0, 320, 240, State.MainWindow, 0);
  }
  ~CaptureWindow() override {
    DestroyWindow(State.MainWindow);  // takes the capture window (and any stream) with it
    Program = nullptr;
  }

  LRESULT Send(UINT Message, WPARAM WParam = 0, LPARAM LParam = 0) {
    return SendMessageA(State.CaptureWindow, Message, WParam, LParam);
  }
  template <typename TRecord>
  LRESULT SendRecord(UINT Message, TRecord& Record) {
    return Send(Message, sizeof(TRecord), reinterpret_cast<LPARAM>(&Record));
  }
  bool Capturing() {
    CAPSTATUS Status{};
    return SendRecord(WM_CAP_GET_STATUS, Status) && Status.fCapturingNow;
  }
  void SetUpStream(int Rate, int Seconds) {
    CAPTUREPARMS Parameters{};
    ASSERT_TRUE(SendRecord(WM_CAP_GET_SEQUENCE_SETUP, Parameters));
    Parameters.dwRequestMicroSecPerFrame = 1000000 / Rate;
    Parameters.fYield = TRUE;
    Parameters.fLimitEnabled = Seconds >= 0;
    Parameters.wTimeLimit = Seconds >= 0 ? Seconds : 0;
    ASSERT_TRUE(SendRecord(WM_CAP_SET_SEQUENCE_SETUP, Parameters));
  }
  void ProcessMessages() {
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Message);
  }
  // The program's "wait while capturing": ask the status, process messages, repeat. The manual
  // clock moves on one frame period for every frame the user-interface thread has handled.
  void WaitWhileCapturing(uint64_t Period) {
    int Handled = 0;
    for (int Round = 0; Round < 200000 && Capturing(); ++Round) {
      ProcessMessages();
      if (State.Composed > Handled) {
        Handled = State.Composed;
        Clock->Advance(Period);
      }
      std::this_thread::yield();
    }
  }

  TProgram State;
  CaptureTest::TCaptureScope Scope;
  TScopedManualClock Clock;
  TTempFolder Folder;
};

TEST(CaptureDrivers, DescriptionsListTheCamerasThenTheSyntheticOneAndNothingElse) {
  CaptureTest::TFakeV4L2System System;
  System.Add("/dev/video0").Card = "Desk Camera";
  CaptureTest::TCaptureScope Scope(&System);
  char Name[80], Version[80];
  ASSERT_TRUE(capGetDriverDescriptionA(0, Name, sizeof Name, Version, sizeof Version));
  EXPECT_STREQ(Name, "Desk Camera");
  EXPECT_STREQ(Version, "fakecam 6.1.12");
  ASSERT_TRUE(capGetDriverDescriptionA(1, Name, sizeof Name, Version, sizeof Version));
  EXPECT_STREQ(Name, "Synthetic Camera");
  EXPECT_STREQ(Version, "1.0");
  for (UINT Index = 2; Index <= 9; ++Index) {
    std::strcpy(Name, "untouched");
    EXPECT_FALSE(capGetDriverDescriptionA(Index, Name, sizeof Name, Version, sizeof Version));
    EXPECT_STREQ(Name, "untouched");
  }
  char Short[5];
  ASSERT_TRUE(capGetDriverDescriptionA(1, Short, sizeof Short, nullptr, 0));
  EXPECT_STREQ(Short, "Synt");
}

// A driver that will not report its capabilities once connected.
class TSilentCamera : public TSyntheticCamera {
 public:
  TSilentCamera() : TSyntheticCamera(SyntheticCameraSettings()) {}
  bool AnswersCapabilities() const override { return false; }
};

TEST_F(CaptureWindow, AnIndexWithoutADriverIsAGapAndADriverMayRefuseItsCapabilities) {
  // Index 0: the synthetic camera; 1: no driver answers; 2: a camera without capabilities.
  InstallCaptureDriverList([] {
    std::vector<TCaptureDriverEntry> Drivers(3);
    Drivers[0].Name = "Synthetic Camera";
    Drivers[0].Open = [](std::string&) -> std::unique_ptr<TCaptureDriver> {
      return std::make_unique<TSyntheticCamera>(SyntheticCameraSettings());
    };
    Drivers[2].Name = "Silent Camera";
    Drivers[2].Open = [](std::string&) -> std::unique_ptr<TCaptureDriver> { return std::make_unique<TSilentCamera>(); };
    return Drivers;
  });
  char Name[80] = "untouched", Version[80];
  EXPECT_TRUE(capGetDriverDescriptionA(0, Name, sizeof Name, Version, sizeof Version));
  std::strcpy(Name, "untouched");
  EXPECT_FALSE(capGetDriverDescriptionA(1, Name, sizeof Name, Version, sizeof Version));
  EXPECT_STREQ(Name, "untouched");
  ASSERT_TRUE(capGetDriverDescriptionA(2, Name, sizeof Name, Version, sizeof Version));
  EXPECT_STREQ(Name, "Silent Camera");

  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), FALSE) << "the gap connects nothing";
  CAPDRIVERCAPS Caps{};
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 2), TRUE);
  EXPECT_EQ(SendRecord(WM_CAP_DRIVER_GET_CAPS, Caps), FALSE);
  CAPSTATUS Status{};
  EXPECT_EQ(SendRecord(WM_CAP_GET_STATUS, Status), TRUE) << "connected all the same";
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(SendRecord(WM_CAP_DRIVER_GET_CAPS, Caps), TRUE);
}

TEST_F(CaptureWindow, IsAHiddenChildWindowThatAnswersEveryMessage) {
  ASSERT_NE(State.CaptureWindow, nullptr);
  EXPECT_EQ(GetParent(State.CaptureWindow), State.MainWindow);
  EXPECT_FALSE(IsWindowVisible(State.CaptureWindow));
  RECT Client{};
  GetClientRect(State.CaptureWindow, &Client);
  EXPECT_EQ(Client.right, 320);
  EXPECT_EQ(Client.bottom, 240);

  // Before a driver is connected.
  CAPSTATUS Status{};
  CAPDRIVERCAPS Caps{};
  EXPECT_EQ(SendRecord(WM_CAP_GET_STATUS, Status), FALSE);
  EXPECT_EQ(SendRecord(WM_CAP_DRIVER_GET_CAPS, Caps), FALSE);
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT), 0);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME_NOSTOP), FALSE);
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), FALSE) << "index 1 has no driver";
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, WPARAM(-2)), FALSE) << "a name no longer installed";

  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(SendRecord(WM_CAP_DRIVER_GET_CAPS, Caps), TRUE);
  EXPECT_TRUE(Caps.fHasDlgVideoSource);
  EXPECT_TRUE(Caps.fCaptureInitialized);
  char Name[80];
  EXPECT_EQ(Send(WM_CAP_DRIVER_GET_NAMEA, sizeof Name, reinterpret_cast<LPARAM>(Name)), TRUE);
  EXPECT_STREQ(Name, "Synthetic Camera");
  EXPECT_EQ(Send(WM_CAP_PAL_AUTOCREATE, 100, 240), TRUE);

  // The program's connect: 24 bits at the preview size, then read the whole format back.
  BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, 640, 480, 24);
  EXPECT_EQ(Send(WM_CAP_SET_VIDEOFORMAT, 40, reinterpret_cast<LPARAM>(&Wanted)), TRUE);
  const LRESULT FormatSize = Send(WM_CAP_GET_VIDEOFORMAT);
  ASSERT_EQ(FormatSize, 40);
  std::vector<uint8_t> Format(static_cast<size_t>(FormatSize));
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT, WPARAM(FormatSize), reinterpret_cast<LPARAM>(Format.data())), 40);
  BITMAPINFOHEADER Header;
  std::memcpy(&Header, Format.data(), sizeof Header);
  EXPECT_EQ(Header.biWidth, 640);
  EXPECT_EQ(Header.biSizeImage, 640u * 480 * 3);
  ASSERT_EQ(SendRecord(WM_CAP_GET_STATUS, Status), TRUE);
  EXPECT_EQ(Status.uiImageWidth, 640u);
  EXPECT_EQ(Status.uiImageHeight, 480u);

  const std::string File = Folder.File("video01.avi");
  EXPECT_EQ(Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(File.c_str())), TRUE);
  char Read[260];
  EXPECT_EQ(Send(WM_CAP_FILE_GET_CAPTURE_FILEA, sizeof Read, reinterpret_cast<LPARAM>(Read)), TRUE);
  EXPECT_EQ(File, Read);
  EXPECT_EQ(Send(WM_CAP_SET_USER_DATA, 0, 1234), TRUE);
  EXPECT_EQ(Send(WM_CAP_GET_USER_DATA), 1234);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, TRUE), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_OVERLAY, TRUE), FALSE);
  EXPECT_EQ(Send(WM_CAP_STOP), TRUE) << "nothing running: stopped already";
  EXPECT_EQ(Send(WM_CAP_ABORT), TRUE);

  EXPECT_EQ(Send(WM_CAP_DRIVER_DISCONNECT), TRUE);
  EXPECT_EQ(Send(WM_CAP_DRIVER_DISCONNECT), FALSE);

  // A destroyed capture window makes every message a no-op answering 0.
  const HWND Gone = State.CaptureWindow;
  DestroyWindow(Gone);
  EXPECT_FALSE(IsWindow(Gone));
  EXPECT_EQ(SendMessageA(Gone, WM_CAP_DRIVER_CONNECT, 0, 0), 0);
}

TEST_F(CaptureWindow, GrabbingRunsTheFrameCallbackInsideTheSend) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(FrameCallback)), TRUE);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME_NOSTOP), TRUE);
  EXPECT_EQ(State.Grabbed, 1);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  EXPECT_EQ(State.Grabbed, 2);
  ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_FRAME, 0, 0), TRUE);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME_NOSTOP), TRUE);
  EXPECT_EQ(State.Grabbed, 2);
  EXPECT_FALSE(State.WrongThread);
}

TEST_F(CaptureWindow, AMovieHandsEveryFrameToTheUserInterfaceThreadAndEndsAtItsLimit) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<LPARAM>(VideoStreamCallback)), TRUE);
  const std::string File = Folder.File("video01.avi");
  Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(File.c_str()));
  SetUpStream(10, 1);
  ASSERT_EQ(Send(WM_CAP_SEQUENCE), TRUE);
  WaitWhileCapturing(100);
  EXPECT_FALSE(Capturing());
  EXPECT_EQ(State.Composed, 10);
  EXPECT_EQ(State.HandOffResults, 10);
  EXPECT_FALSE(State.WrongThread) << "every frame was handled on the user-interface thread";
  PAVISTREAM Stream = nullptr;
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Stream), 10);
  AVIStreamRelease(Stream);
}

TEST_F(CaptureWindow, StopAndAbortReleaseAHandOffTheUserInterfaceThreadNeverTakes) {
  for (const UINT Ending : {WM_CAP_STOP, WM_CAP_ABORT}) {
    SCOPED_TRACE(Ending == WM_CAP_STOP ? "stop" : "abort");
    State.HandOffs = 0;
    State.HandOffResults = 0;
    ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
    ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<LPARAM>(VideoStreamCallback)), TRUE);
    SetUpStream(10, -1);
    ASSERT_EQ(Send(WM_CAP_SEQUENCE_NOFILE), TRUE);
    // The first frame is due at once; its hand-off waits for this thread, which does not look.
    ASSERT_TRUE(WaitUntil([&] { return State.HandOffs == 1; }));
    EXPECT_EQ(Send(Ending), TRUE);
    EXPECT_FALSE(Capturing());
    EXPECT_EQ(State.HandOffResults, 0) << "the hand-off came back without the program's answer";
    EXPECT_EQ(State.Composed, 0);
    ProcessMessages();
    EXPECT_EQ(State.Composed, 0) << "a released hand-off never reaches the window";
  }
}

TEST_F(CaptureWindow, AStopSentWhileHandlingAHandOffEndsTheStream) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<LPARAM>(VideoStreamCallback)), TRUE);
  SetUpStream(10, -1);
  ASSERT_EQ(Send(WM_CAP_SEQUENCE_NOFILE), TRUE);
  State.StopInsideHandOff = true;
  for (int Round = 0; Round < 100000 && Capturing(); ++Round) ProcessMessages();
  EXPECT_FALSE(Capturing());
  EXPECT_EQ(State.Composed, 1);
  // The window can stream again afterwards: the block on the old capture thread is gone.
  State.Composed = 0;
  SetUpStream(10, 1);
  ASSERT_EQ(Send(WM_CAP_SEQUENCE_NOFILE), TRUE);
  WaitWhileCapturing(100);
  EXPECT_EQ(State.Composed, 10);
}

TEST_F(CaptureWindow, DriverDialogsRunTheInstalledHandlerWhichMayStartAStream) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  std::vector<TCaptureDialog> Shown;
  SetCaptureDialogHandler([&](HWND Window, TCaptureDialog Dialog, TCaptureDriver&) {
    EXPECT_EQ(Window, State.CaptureWindow);
    Shown.push_back(Dialog);
    if (Dialog == TCaptureDialog::Source) {
      // What the delayed preview does from inside the source dialog.
      SetUpStream(10, -1);
      EXPECT_EQ(Send(WM_CAP_SEQUENCE_NOFILE), TRUE);
    }
    return true;
  });
  EXPECT_EQ(Send(WM_CAP_DLG_VIDEOFORMAT), TRUE);
  EXPECT_EQ(Send(WM_CAP_DLG_VIDEOSOURCE), TRUE);
  EXPECT_TRUE(Capturing());
  EXPECT_EQ(Send(WM_CAP_STOP), TRUE);
  EXPECT_EQ(Send(WM_CAP_DLG_VIDEODISPLAY), FALSE) << "the camera has no display dialog";
  EXPECT_EQ(Send(WM_CAP_DLG_VIDEOCOMPRESSION), TRUE);
  SetCaptureDialogHandler(nullptr);
  EXPECT_EQ(Send(WM_CAP_DLG_VIDEOSOURCE), TRUE) << "without a handler a dialog closes at once";
  EXPECT_EQ(Shown, (std::vector<TCaptureDialog>{TCaptureDialog::Format, TCaptureDialog::Source,
                                                TCaptureDialog::Compression}));
}

TEST_F(CaptureWindow, DestroyingTheWindowEndsItsStreamAndCompletesTheMovie) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<LPARAM>(VideoStreamCallback)), TRUE);
  const std::string File = Folder.File("video01.avi");
  Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(File.c_str()));
  SetUpStream(10, 60);
  ASSERT_EQ(Send(WM_CAP_SEQUENCE), TRUE);
  ASSERT_TRUE(WaitUntil([&] { return State.HandOffs == 1; }));
  EXPECT_TRUE(DestroyWindow(State.CaptureWindow));
  EXPECT_EQ(Folder.Listing(), "video01.avi");
}

}  // namespace
