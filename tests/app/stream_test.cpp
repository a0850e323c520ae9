// Streaming capture: the capture thread hands every frame to the user-interface thread, which
// composes it and writes the composed picture back, so a recorded movie carries the stamps;
// only a composed picture of the capture format's own layout is written back.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/capture/avifile.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/picture.h"
#include "tests/app/livepicture.h"

namespace {

class Streaming : public TLivePictureTest {
 protected:
  bool Capturing() {
    CAPSTATUS Status{};
    return FormGhost->SendCaptureMessage(WM_CAP_GET_STATUS, sizeof Status,
                                         reinterpret_cast<LPARAM>(&Status)) &&
           Status.fCapturingNow;
  }

  // Records a movie of Seconds at Rate frames a second into File, as the motion response asks
  // for one; the manual clock moves on one frame period whenever a frame has been composed.
  void Record(const std::string& File, int Rate, int Seconds) {
    DataModule1->TimerPreview->SetEnabled(false);
    DataModule1->Timer1->SetEnabled(false);
    FormGhost->kvDBSpinEditFrameRate->SetValue(Rate);
    FormGhost->kvDBSpinEditMotionValue->SetValue(Seconds);
    ASSERT_TRUE(FormGhost->SendCaptureMessage(WM_CAP_FILE_SET_CAPTURE_FILEA, 0,
                                              reinterpret_cast<LPARAM>(File.c_str())));
    Compositions = 0;
    FormGhost->SetupSequenceCapture(true);
    ASSERT_TRUE(Capturing());
    int Seen = 0;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Capturing() && std::chrono::steady_clock::now() < Deadline) {
      Pump();
      if (Compositions > Seen) {
        Seen = Compositions;
        FClock->Advance(1000 / Rate);
      }
      std::this_thread::yield();
    }
    ASSERT_FALSE(Capturing()) << "the movie ended at its limit";
  }

  // The recorded frames as bitmaps.
  std::vector<std::unique_ptr<TBitmap>> Frames(const std::string& File) {
    std::vector<std::unique_ptr<TBitmap>> Result;
    PAVISTREAM Stream = nullptr;
    if (AVIStreamOpenFromFileA(&Stream, File.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr) !=
        AVIERR_OK)
      return Result;
    PGETFRAME Reader = AVIStreamGetFrameOpen(Stream, nullptr);
    for (LONG Position = 0; Reader && Position < AVIStreamLength(Stream); ++Position) {
      const auto* Packed = static_cast<const uint8_t*>(AVIStreamGetFrame(Reader, Position));
      if (!Packed) break;
      BITMAPINFOHEADER Header;
      std::memcpy(&Header, Packed, sizeof Header);
      auto Frame = std::make_unique<TBitmap>();
      Frame->SetPixelFormat(pf24bit);
      Frame->SetSize(Header.biWidth, Header.biHeight);
      const int Stride = (Header.biWidth * 3 + 3) / 4 * 4;
      for (int Y = 0; Y < Header.biHeight; ++Y)
        std::memcpy(Frame->ScanLine(Y), Packed + Header.biSize + size_t(Header.biHeight - 1 - Y) * Stride,
                    size_t(Header.biWidth) * 3);
      Result.push_back(std::move(Frame));
    }
    if (Reader) AVIStreamGetFrameClose(Reader);
    AVIStreamRelease(Stream);
    return Result;
  }

  // Pixels of the text stamp where it starts, over the white and yellow bars of the test card:
  // both bars are full red there, the stamp's aqua has none. The movie is MJPEG, so a pixel counts
  // once its red has clearly dropped.
  static int StampPixels(TBitmap* Frame) {
    int Count = 0;
    for (int Y = 5; Y < 18; ++Y)
      for (int X = 30; X < 80; ++X)
        if ((Pixel(Frame, X, Y) >> 16) < 160) ++Count;
    return Count;
  }
};

TEST_F(Streaming, AMovieCarriesTheComposedFramesWithTheirStamps) {
  StartWith();
  const std::string File = Path("video01.avi");
  Record(File, 5, 1);
  // The parameters the movie ran with.
  CAPTUREPARMS Parameters{};
  ASSERT_TRUE(FormGhost->SendCaptureMessage(WM_CAP_GET_SEQUENCE_SETUP, sizeof Parameters,
                                            reinterpret_cast<LPARAM>(&Parameters)));
  EXPECT_EQ(Parameters.dwRequestMicroSecPerFrame, 200000u);
  EXPECT_TRUE(Parameters.fYield) << "on the capture library's own thread";
  EXPECT_EQ(Parameters.wPercentDropForError, 30u);
  EXPECT_FALSE(Parameters.fAbortLeftMouse);
  EXPECT_FALSE(Parameters.fAbortRightMouse);
  EXPECT_EQ(Parameters.vKeyAbort, 0u);
  EXPECT_TRUE(Parameters.fLimitEnabled);
  EXPECT_EQ(Parameters.wTimeLimit, 1u);
  EXPECT_FALSE(Parameters.fMCIControl);
  EXPECT_FALSE(Parameters.fCaptureAudio) << "\"Capture Audio\" is off";
  EXPECT_EQ(Compositions, 5);

  const auto Recorded = Frames(File);
  ASSERT_EQ(Recorded.size(), 5u);
  for (const auto& Frame : Recorded) EXPECT_GT(StampPixels(Frame.get()), 20);
  EXPECT_FALSE(FormGhost->FRendering);
}

// Nothing is written back that the driver's frame could not hold as it is: a packed YUV frame,
// or a composed picture of another size than the frame.
TEST_F(Streaming, FramesOfAnotherLayoutAreRecordedAsCaptured) {
  struct TCase {
    const char* Name;
    DWORD Compression;
    int PanelWidth, PanelHeight;
  } Cases[] = {
      {"a YUY2 camera", mmioFOURCC('Y', 'U', 'Y', '2'), 320, 240},
      {"a video panel of another size", BI_RGB, 640, 480},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SyntheticCameraSettings().Compression = Case.Compression;
    if (Case.Compression != BI_RGB) SyntheticCameraSettings().RefusedCodes = {BI_RGB};
    StartWith();
    FormGhost->vcPanel1->SetBounds(0, 0, Case.PanelWidth, Case.PanelHeight);
    const std::string File = Path(std::string("raw") + Case.Name[2] + ".avi");
    Record(File, 5, 1);
    EXPECT_EQ(Compositions, 5) << "every frame is still composed for the screen";
    if (Case.PanelWidth == 320) { EXPECT_GT(StampPixels(Composed()), 20) << "the screen shows the stamps"; }
    const auto Recorded = Frames(File);
    ASSERT_EQ(Recorded.size(), 5u);
    for (const auto& Frame : Recorded) EXPECT_EQ(StampPixels(Frame.get()), 0);
    Stop();
    ResetSyntheticCameraSettings();
  }
}

// Stopping a stream from inside the composition of one of its frames releases the capture
// thread at once; the frame it let go of is neither written back nor recorded.
TEST_F(Streaming, AStreamStoppedWhileAFrameIsComposedEndsCleanly) {
  StartWith();
  DataModule1->TimerPreview->SetEnabled(false);
  DataModule1->Timer1->SetEnabled(false);
  const std::string File = Path("video02.avi");
  ASSERT_TRUE(FormGhost->SendCaptureMessage(WM_CAP_FILE_SET_CAPTURE_FILEA, 0,
                                            reinterpret_cast<LPARAM>(File.c_str())));
  // The third composition stops the stream from within.
  TvcBitmapOptions* Options = FormGhost->ImageMain->BitmapOptions();
  const TNotifyEvent Counting = Options->OnChange;
  Options->OnChange = TNotifyEvent([this, Counting](TObject* Sender) {
    Counting(Sender);
    if (Compositions == 3) FormGhost->SendCaptureMessage(WM_CAP_STOP);
  });
  FormGhost->SetupSequenceCapture(true);
  int Seen = 0;
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (Capturing() && std::chrono::steady_clock::now() < Deadline) {
    Pump();
    if (Compositions > Seen) {
      Seen = Compositions;
      FClock->Advance(100);
    }
    std::this_thread::yield();
  }
  EXPECT_FALSE(Capturing());
  EXPECT_EQ(Compositions, 3);
  EXPECT_FALSE(FormGhost->FRendering);
  EXPECT_EQ(Frames(File).size(), 2u) << "the frame being composed when the stream stopped stays out";
}

}  // namespace
