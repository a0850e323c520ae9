// The V4L2 driver against a fake kernel: which nodes become drivers, format negotiation, the
// memory-mapped stream and its conversion to 24-bit rows, and the ways a camera fails (no
// frame in time, unplugged, refusing a format), none of which may hang or crash.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "platform/capture/capturedriver.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/capture/v4l2camera.h"
#include "tests/platform/capture/capture_support.h"
#include "tests/platform/capture/fakev4l2.h"

namespace {

using CaptureTest::TFakeCamera;
using CaptureTest::TFakeV4L2System;

std::unique_ptr<TV4L2Camera> ConnectOrFail(TFakeV4L2System& System, const std::string& Path) {
  std::string Error;
  std::unique_ptr<TV4L2Camera> Camera = TV4L2Camera::Connect(System, Path, Error);
  EXPECT_NE(Camera, nullptr) << Error;
  return Camera;
}

TEST(V4L2Camera, OnlyStreamingCaptureNodesWithAConvertibleFormatBecomeDrivers) {
  TFakeV4L2System System;
  System.Add("/dev/video0").Card = "Desk Camera";
  System.Add("/dev/video1").DeviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;  // its metadata node
  System.Add("/dev/video2").Formats = {v4l2_fourcc('H', '2', '6', '4')};
  System.Add("/dev/video3").OpenError = EACCES;
  System.Add("/dev/video4").DeviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;  // no streaming
  TFakeCamera& Second = System.Add("/dev/video5");
  Second.Card = "Second Camera";
  Second.Formats = {V4L2_PIX_FMT_MJPEG};
  Second.PixelFormat = V4L2_PIX_FMT_MJPEG;

  const std::vector<TV4L2CameraInfo> Cameras = FindV4L2Cameras(System);
  ASSERT_EQ(Cameras.size(), 2u);
  EXPECT_EQ(Cameras[0].Path, "/dev/video0");
  EXPECT_EQ(Cameras[1].Path, "/dev/video5");

  // The driver list: the cameras in node order, then the synthetic camera at the next index.
  CaptureTest::TCaptureScope Scope(&System);
  const std::vector<TCaptureDriverEntry> Drivers = EnumerateCaptureDrivers();
  ASSERT_EQ(Drivers.size(), 3u);
  EXPECT_EQ(Drivers[0].Name, "Desk Camera");
  EXPECT_EQ(Drivers[0].Version, "fakecam 6.1.12");
  EXPECT_EQ(Drivers[1].Name, "Second Camera");
  EXPECT_EQ(Drivers[2].Name, "Synthetic Camera");
  std::string Error;
  EXPECT_NE(Drivers[1].Open(Error), nullptr) << Error;
}

TEST(V4L2Camera, ConnectKeepsAConvertibleFormatAndOtherwiseNegotiatesOne) {
  TFakeV4L2System System;
  TFakeCamera& Keeps = System.Add("/dev/video0");
  Keeps.Width = 160;
  Keeps.Height = 120;
  TFakeCamera& Negotiates = System.Add("/dev/video1");
  Negotiates.Formats = {v4l2_fourcc('H', '2', '6', '4'), V4L2_PIX_FMT_MJPEG};
  Negotiates.PixelFormat = v4l2_fourcc('H', '2', '6', '4');

  auto First = ConnectOrFail(System, "/dev/video0");
  EXPECT_EQ(First->PixelFormat(), V4L2_PIX_FMT_YUYV);
  EXPECT_EQ(First->Format().biWidth, 160);
  EXPECT_EQ(First->Format().biCompression, DWORD(BI_RGB));
  EXPECT_EQ(First->Format().biBitCount, 24);
  EXPECT_EQ(First->Format().biSizeImage, VideoRowStride(160, 24) * 120);

  auto Second = ConnectOrFail(System, "/dev/video1");
  EXPECT_EQ(Second->PixelFormat(), V4L2_PIX_FMT_MJPEG);
  EXPECT_EQ(Second->Format().biWidth, 640);
  EXPECT_EQ(Second->Format().biHeight, 480);
  EXPECT_FALSE(Second->HasDialog(TCaptureDialog::Source));
  EXPECT_TRUE(Second->HasDialog(TCaptureDialog::Compression));
}

TEST(V4L2Camera, FormatRequestsSettleOnTheNearestSizeTheCameraHas) {
  struct TRequestCase {
    const char* Name;
    BITMAPINFOHEADER Wanted;
    int SetFormatError;
    bool Taken;
    LONG Width, Height;  // delivered afterwards
  };
  const TRequestCase Cases[] = {
      {"a size the camera has", MakeVideoFormat(BI_RGB, 640, 480, 24), 0, true, 640, 480},
      {"another size: the nearest one", MakeVideoFormat(BI_RGB, 352, 288, 24), 0, true, 320, 240},
      {"not 24 bits", MakeVideoFormat(BI_RGB, 640, 480, 32), 0, false, 320, 240},
      {"a compressed code", MakeVideoFormat(FOURCC_YUY2, 640, 480), 0, false, 320, 240},
      {"the camera is busy", MakeVideoFormat(BI_RGB, 640, 480, 24), EBUSY, false, 320, 240},
  };
  for (const TRequestCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFakeV4L2System System;
    TFakeCamera& Fake = System.Add("/dev/video0");
    auto Camera = ConnectOrFail(System, "/dev/video0");
    Fake.SetFormatError = Case.SetFormatError;
    EXPECT_EQ(Camera->SetFormat(Case.Wanted), Case.Taken);
    EXPECT_EQ(Camera->Format().biWidth, Case.Width);
    EXPECT_EQ(Camera->Format().biHeight, Case.Height);
    EXPECT_EQ(Fake.Width, uint32_t(Case.Width)) << "what the camera delivers is what is reported";
  }
}

TEST(V4L2Camera, StreamsYuyvAndJpegFramesAs24BitRows) {
  for (const uint32_t PixelFormat : {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG}) {
    SCOPED_TRACE(PixelFormat == V4L2_PIX_FMT_YUYV ? "YUYV with padded rows" : "MJPEG");
    TFakeV4L2System System;
    TFakeCamera& Fake = System.Add("/dev/video0");
    Fake.PixelFormat = PixelFormat;
    Fake.LinePadding = 16;
    Fake.OnWait = [&Fake](int Timeout) {
      if (Timeout > 0) Fake.Deliver(Fake.PixelFormat == V4L2_PIX_FMT_YUYV ? CaptureTest::YuyvStillFrame(Fake)
                                                                          : CaptureTest::JpegFrame(Fake));
    };
    {
      auto Camera = ConnectOrFail(System, "/dev/video0");
      std::vector<uint8_t> Frame(Camera->Format().biSizeImage);
      for (int Round = 0; Round < 3; ++Round) {
        const TCaptureResult Result = Camera->Capture(Frame.data(), Frame.size());
        ASSERT_EQ(Result.Outcome, TCaptureOutcome::Frame) << Camera->LastError();
        EXPECT_EQ(Result.BytesUsed, Frame.size());
        CaptureTest::ExpectDibNear(Frame.data(), 320, 240, 24, true, CaptureTest::StillScene(320, 240),
                                   PixelFormat == V4L2_PIX_FMT_YUYV ? 6 : 12);
      }
      EXPECT_TRUE(Fake.Streaming) << "the stream stays on between captures";
      EXPECT_EQ(Fake.Maps, int(TV4L2Camera::BufferCount));
      EXPECT_EQ(Fake.Queued.size(), TV4L2Camera::BufferCount) << "every buffer goes back to the camera";
    }
    EXPECT_FALSE(Fake.Streaming);
    EXPECT_EQ(Fake.Unmaps, Fake.Maps);
    EXPECT_TRUE(Fake.Buffers.empty());
  }
}

TEST(V4L2Camera, TakesTheNewestOfTheFramesWaiting) {
  TFakeV4L2System System;
  TFakeCamera& Fake = System.Add("/dev/video0");
  Fake.Formats = {V4L2_PIX_FMT_MJPEG};
  Fake.PixelFormat = V4L2_PIX_FMT_MJPEG;
  auto Camera = ConnectOrFail(System, "/dev/video0");
  std::vector<uint8_t> Frame(Camera->Format().biSizeImage);
  Fake.OnWait = [&Fake](int Timeout) {
    if (Timeout == 0) return;
    Fake.Deliver(CaptureTest::JpegFrame(Fake, true));  // stale
    Fake.Deliver(CaptureTest::JpegFrame(Fake, false));
  };
  ASSERT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);
  CaptureTest::ExpectDibNear(Frame.data(), 320, 240, 24, true, CaptureTest::StillScene(320, 240), 12);
}

TEST(V4L2Camera, FailuresEndInNoFrameOrNoSuchDeviceAndNeverHang) {
  TFakeV4L2System System;
  TFakeCamera& Fake = System.Add("/dev/video0");
  auto Camera = ConnectOrFail(System, "/dev/video0");
  std::vector<uint8_t> Frame(Camera->Format().biSizeImage);

  // Nothing arrives: the first wait allows the camera time to start, later ones a second.
  ASSERT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::NoFrame);
  EXPECT_EQ(Camera->LastError(), "No frame in time");
  Fake.OnWait = [&Fake](int Timeout) {
    if (Timeout > 0) Fake.Deliver(CaptureTest::YuyvStillFrame(Fake));
  };
  ASSERT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);

  // A transient dequeue failure drops one frame only.
  Fake.DequeueError = EIO;
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::NoFrame);
  Fake.DequeueError = 0;
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);

  // A JPEG camera handing a broken frame: that frame is dropped.
  TFakeCamera& Jpeg = System.Add("/dev/video1");
  Jpeg.Formats = {V4L2_PIX_FMT_MJPEG};
  Jpeg.PixelFormat = V4L2_PIX_FMT_MJPEG;
  auto JpegCamera = ConnectOrFail(System, "/dev/video1");
  Jpeg.OnWait = [&Jpeg](int Timeout) {
    if (Timeout > 0) Jpeg.Deliver(std::vector<uint8_t>(3000, 0x42));
  };
  EXPECT_EQ(JpegCamera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::NoFrame);

  // Unplugged while streaming: "No such device" now and for every later call.
  Fake.Unplugged = true;
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Gone);
  EXPECT_EQ(Camera->LastError(), "No such device");
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Gone);
  EXPECT_FALSE(Camera->SetFormat(MakeVideoFormat(BI_RGB, 640, 480, 24)));
  Camera.reset();  // letting an unplugged camera go is quiet

  // Gone before connecting.
  std::string Error;
  EXPECT_EQ(TV4L2Camera::Connect(System, "/dev/video0", Error), nullptr);
  EXPECT_EQ(Error, "No such device");
}

TEST(V4L2Camera, AStreamThatCannotStartReleasesItsBuffers) {
  TFakeV4L2System System;
  TFakeCamera& Fake = System.Add("/dev/video0");
  Fake.StreamOnError = EIO;
  auto Camera = ConnectOrFail(System, "/dev/video0");
  std::vector<uint8_t> Frame(Camera->Format().biSizeImage);
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::NoFrame);
  EXPECT_EQ(Fake.Unmaps, Fake.Maps);
  EXPECT_TRUE(Fake.Buffers.empty());
  EXPECT_EQ(Camera->Capture(Frame.data(), Frame.size() - 1).Outcome, TCaptureOutcome::NoFrame)
      << "a buffer smaller than a frame";

  Camera->Interrupt();
  EXPECT_EQ(Fake.Wakes, 1);
}

}  // namespace
