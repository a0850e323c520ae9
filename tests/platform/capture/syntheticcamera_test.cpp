// The synthetic camera: format requests (taken, narrowed, refused, forced to another size), the
// same frames on every run, the scripted motion, the unplug switch and the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/capture/capturedriver.h"
#include "platform/capture/syntheticcamera.h"
#include "tests/platform/capture/capture_support.h"

namespace {

std::vector<uint8_t> Capture(TSyntheticCamera& Camera) {
  std::vector<uint8_t> Frame(Camera.Format().biSizeImage);
  const TCaptureResult Result = Camera.Capture(Frame.data(), Frame.size());
  EXPECT_EQ(Result.Outcome, TCaptureOutcome::Frame);
  Frame.resize(Result.BytesUsed);
  return Frame;
}

// The share of byte positions at which two frames differ.
double ChangedShare(const std::vector<uint8_t>& A, const std::vector<uint8_t>& B) {
  size_t Changed = 0;
  for (size_t Index = 0; Index < A.size(); ++Index) Changed += A[Index] != B[Index];
  return double(Changed) / double(A.size());
}

TEST(SyntheticCamera, FormatRequestsAreTakenNarrowedRefusedOrForced) {
  struct TRequestCase {
    const char* Name;
    TSyntheticCameraSettings Settings;
    BITMAPINFOHEADER Wanted;
    bool Taken;
    DWORD Compression;  // of the format in force afterwards
    LONG Width, Height;
    int BitCount;
  };
  TSyntheticCameraSettings Defaults;
  TSyntheticCameraSettings RefusesAll;
  RefusesAll.RefuseAll = true;
  TSyntheticCameraSettings RefusesRgb;
  RefusesRgb.Compression = FOURCC_YUY2;
  RefusesRgb.RefusedCodes = {BI_RGB};
  TSyntheticCameraSettings Forced;
  Forced.ForcedWidth = 352;
  Forced.ForcedHeight = 288;
  const TRequestCase Cases[] = {
      {"24-bit at the preview size", Defaults, MakeVideoFormat(BI_RGB, 640, 480, 24), true, BI_RGB, 640, 480, 24},
      {"32-bit", Defaults, MakeVideoFormat(BI_RGB, 160, 120, 32), true, BI_RGB, 160, 120, 32},
      {"16-bit RGB is no format of the camera", Defaults, MakeVideoFormat(BI_RGB, 160, 120, 16), false, BI_RGB, 320, 240, 24},
      {"an unknown code", Defaults, MakeVideoFormat(mmioFOURCC('H', '2', '6', '4'), 160, 120, 24), false, BI_RGB, 320, 240, 24},
      {"RGB of an odd width is taken as it is", Defaults, MakeVideoFormat(BI_RGB, 175, 144, 24), true, BI_RGB, 175, 144, 24},
      {"YUY2 of an odd width is narrowed", Defaults, [] { auto F = MakeVideoFormat(FOURCC_YUY2, 176, 144); F.biWidth = 175; return F; }(), true, FOURCC_YUY2, 174, 144, 16},
      {"Y41P narrows to a multiple of 8", Defaults, [] { auto F = MakeVideoFormat(FOURCC_Y41P, 176, 144); F.biWidth = 180; return F; }(), true, FOURCC_Y41P, 176, 144, 12},
      {"a camera refusing every request", RefusesAll, MakeVideoFormat(BI_RGB, 640, 480, 24), false, BI_RGB, 320, 240, 24},
      {"a YUY2 camera refusing RGB", RefusesRgb, MakeVideoFormat(BI_RGB, 640, 480, 24), false, FOURCC_YUY2, 320, 240, 16},
      {"the YUY2 camera takes YUY2 of another size", RefusesRgb, MakeVideoFormat(FOURCC_YUY2, 176, 144), true, FOURCC_YUY2, 176, 144, 16},
      {"a forced size replaces the asked one", Forced, MakeVideoFormat(BI_RGB, 640, 480, 24), true, BI_RGB, 352, 288, 24},
      {"a top-down request", Defaults, MakeVideoFormat(BI_RGB, 64, -48, 24), false, BI_RGB, 320, 240, 24},
  };
  for (const TRequestCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TSyntheticCamera Camera(Case.Settings);
    EXPECT_EQ(Camera.SetFormat(Case.Wanted), Case.Taken);
    const BITMAPINFOHEADER& Format = Camera.Format();
    EXPECT_EQ(Format.biCompression, Case.Compression);
    EXPECT_EQ(Format.biWidth, Case.Width);
    EXPECT_EQ(Format.biHeight, Case.Height);
    EXPECT_EQ(Format.biBitCount, Case.BitCount);
    EXPECT_EQ(Format.biSize, 40u);
    EXPECT_EQ(Format.biSizeImage,
              VideoImageSize(Format.biCompression, Format.biWidth, Format.biHeight, Format.biBitCount));
  }
}

TEST(SyntheticCamera, FramesAreTheSameOnEveryRunAndInEveryFormat) {
  for (const DWORD Code : {DWORD(BI_RGB), FOURCC_YUY2, FOURCC_UYVY, FOURCC_Y41P, FOURCC_Y8, FOURCC_MJPG}) {
    SCOPED_TRACE(FourCCToString(Code));
    TSyntheticCameraSettings Settings;
    Settings.Compression = Code;
    Settings.Width = 96;
    Settings.Height = 64;
    TSyntheticCamera First(Settings), Second(Settings);
    const std::vector<uint8_t> A = Capture(First);
    EXPECT_EQ(A, Capture(Second)) << "two cameras, same frame";
    EXPECT_EQ(A, Capture(First)) << "a still scene does not change";
    EXPECT_EQ(First.FrameNumber(), 2);
  }
  // The 24-bit frame is exactly the scene, bottom-up.
  TSyntheticCamera Camera{TSyntheticCameraSettings{}};
  const std::vector<uint8_t> Frame = Capture(Camera);
  CaptureTest::ExpectDibNear(Frame.data(), 320, 240, 24, true, CaptureTest::StillScene(320, 240), 0);
}

TEST(SyntheticCamera, ScriptedMotionChangesNearlyEveryByteOnlyInsideItsFrames) {
  TSyntheticCameraSettings Settings;
  Settings.Width = 64;
  Settings.Height = 48;
  Settings.MotionFirst = 3;
  Settings.MotionCount = 4;  // frames 3, 4, 5, 6
  TSyntheticCamera Camera(Settings);
  std::vector<std::vector<uint8_t>> Frames;
  for (int Frame = 0; Frame < 9; ++Frame) Frames.push_back(Capture(Camera));
  for (int Frame = 1; Frame < 9; ++Frame) {
    SCOPED_TRACE("frame " + std::to_string(Frame));
    const bool Moving = Frame >= 3 && Frame <= 6;
    EXPECT_EQ(Camera.Moving(Frame), Moving);
    // Motion detection with the default sensitivity wants fewer than a quarter unchanged.
    if (Moving)
      EXPECT_GT(ChangedShare(Frames[Frame - 1], Frames[Frame]), 0.9);
    else if (Frame != 7)
      EXPECT_EQ(Frames[Frame - 1], Frames[Frame]);
  }
  EXPECT_EQ(Frames[0], Frames[8]) << "after the motion the still scene is back";
}

TEST(SyntheticCamera, AnUnpluggedCameraAnswersNoSuchDevice) {
  TSyntheticCameraSettings Settings;
  Settings.GoneAtFrame = 2;
  TSyntheticCamera Camera(Settings);
  Capture(Camera);
  Capture(Camera);
  std::vector<uint8_t> Frame(Camera.Format().biSizeImage);
  EXPECT_EQ(Camera.Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Gone);
  EXPECT_EQ(Camera.LastError(), "No such device");
  EXPECT_EQ(Camera.Capture(Frame.data(), 10).Outcome, TCaptureOutcome::Gone);
}

TEST(SyntheticCamera, EnvironmentScriptsEndToEndRuns) {
  CaptureTest::TCaptureScope Scope;
  setenv("KORCAM_SYNTHETIC_MOTION", "25,10", 1);
  setenv("KORCAM_SYNTHETIC_FORMAT", "Y41P", 1);
  setenv("KORCAM_SYNTHETIC_SIZE", "176x144", 1);
  ResetSyntheticCameraSettings();
  const TSyntheticCameraSettings Settings = SyntheticCameraSettings();
  unsetenv("KORCAM_SYNTHETIC_MOTION");
  unsetenv("KORCAM_SYNTHETIC_FORMAT");
  unsetenv("KORCAM_SYNTHETIC_SIZE");
  EXPECT_EQ(Settings.MotionFirst, 25);
  EXPECT_EQ(Settings.MotionCount, 10);
  EXPECT_EQ(Settings.Compression, FOURCC_Y41P);
  EXPECT_TRUE(Settings.RefuseAll);
  TSyntheticCamera Camera(Settings);
  EXPECT_EQ(Camera.Format().biCompression, FOURCC_Y41P);
  EXPECT_EQ(Camera.Format().biWidth, 176);
  EXPECT_EQ(Camera.Format().biHeight, 144);
  EXPECT_FALSE(Camera.SetFormat(MakeVideoFormat(BI_RGB, 320, 240, 24)));

  setenv("KORCAM_SYNTHETIC_CAMERA", "0", 1);
  ResetSyntheticCameraSettings();
  unsetenv("KORCAM_SYNTHETIC_CAMERA");
  EXPECT_TRUE(EnumerateCaptureDrivers().empty()) << "no camera at all when the synthetic one is off";
  ResetSyntheticCameraSettings();
  ASSERT_EQ(EnumerateCaptureDrivers().size(), 1u);
  EXPECT_EQ(EnumerateCaptureDrivers()[0].Name, "Synthetic Camera");
}

}  // namespace
