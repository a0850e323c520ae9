// The capture layer of the main window: the driver list and the connect (first start, a stored
// choice, "no driver", a missing capture library, a driver that refuses its capabilities), the
// frame buffer, the frame kinds, the size the driver delivers, and the preview tick.

#include <gtest/gtest.h>

#include <cstring>

#include "app/capturetypes.h"
#include "app/optiontext.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/picture.h"
#include "platform/rtl/streams.h"
#include "platform/shell/modules.h"
#include "tests/app/livepicture.h"
#include "tests/platform/capture/capture_support.h"

namespace {

using CaptureLayer = TLivePictureTest;

TEST(FrameBufferArithmetic, RowStridesHeadersAndFrameKinds) {
  struct TStride {
    int32_t Bits, Bytes;
  } Strides[] = {{0, 0}, {1, 4}, {24, 4}, {32, 4}, {33, 8}, {24 * 321, 964}, {32 * 320, 1280}};
  for (const TStride& Case : Strides) EXPECT_EQ(DibRowStride(Case.Bits), Case.Bytes) << Case.Bits << " bits";

  BITMAPINFOHEADER Header;
  std::memset(&Header, 0xAB, sizeof Header);
  FillBitmapInfoHeader(Header, 321, 240, 24);
  EXPECT_EQ(Header.biSize, 40u);
  EXPECT_EQ(Header.biWidth, 321);
  EXPECT_EQ(Header.biHeight, 240) << "positive: bottom-up";
  EXPECT_EQ(Header.biPlanes, 1);
  EXPECT_EQ(Header.biBitCount, 24);
  EXPECT_EQ(Header.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(Header.biSizeImage, 964u * 240) << "rows padded to 4 bytes";
  EXPECT_EQ(Header.biXPelsPerMeter, 0);
  EXPECT_EQ(Header.biClrUsed, 0u);
  EXPECT_EQ(Header.biClrImportant, 0u);
  FillBitmapInfoHeader(Header, -5, 240, 24);
  EXPECT_EQ(Header.biSizeImage, 0u) << "a size of nothing asks for no pixels";

  struct TKind {
    const char* Code;
    DWORD Compression;
    int32_t Kind;
  } Kinds[] = {
      {"uncompressed", BI_RGB, 1},
      {"bit fields", BI_BITFIELDS, 1},
      {"YUY2", mmioFOURCC('Y', 'U', 'Y', '2'), 2},
      {"UYVY", mmioFOURCC('U', 'Y', 'V', 'Y'), 3},
      {"Y41P", mmioFOURCC('Y', '4', '1', 'P'), 4},
      {"Y8 and two blanks", 0x20203859, 5},
      {"MJPG", mmioFOURCC('M', 'J', 'P', 'G'), 0},
      {"Y800", mmioFOURCC('Y', '8', '0', '0'), 0},
  };
  for (const TKind& Case : Kinds) EXPECT_EQ(PixelFormatKind(Case.Compression), Case.Kind) << Case.Code;
}

TEST(VideoWindowSizeText, TheNumbersAroundTheX) {
  struct TCase {
    const char* Text;
    bool Read;
    int32_t Width, Height;
  } Cases[] = {
      {"320 x 240", true, 320, 240},
      {"176 x 144", true, 176, 144},
      {"640x480", true, 640, 480},
      {"x 240", false, 0, 0},
      {"320 x", false, 0, 0},
      {"320 by 240", false, 0, 0},
      {"", false, 0, 0},
      {"1 x 2 x 3", false, 0, 0},
      {"99999999999 x 1", false, 0, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    int32_t Width = -1, Height = -1;
    EXPECT_EQ(VideoSizeFromOptionText(Case.Text, Width, Height), Case.Read);
    EXPECT_EQ(Width, Case.Read ? Case.Width : -1);
    EXPECT_EQ(Height, Case.Read ? Case.Height : -1);
  }
}

// A first start tries the listed drivers in turn and keeps the first that connects; every entry
// connects the index it was listed at, also past a gap in the indices.
TEST_F(CaptureLayer, AFirstStartChoosesTheFirstDriverThatConnects) {
  struct TCase {
    const char* Name;
    std::vector<TDriverEntry> Drivers;
    int Entry;  // the list entry chosen (0: none connects)
    const char* Chosen;
  } Cases[] = {
      {"one driver", {{TDriverKind::Synthetic, "Synthetic Camera"}}, 1, "Synthetic Camera 1.0"},
      {"the first cannot be opened, index 1 does not answer, index 2 connects",
       {{TDriverKind::Broken, "Unplugged Camera"},
        {TDriverKind::Gap, ""},
        {TDriverKind::Synthetic, "Desk Camera"}},
       2,
       "Desk Camera 1.0"},
      {"none connects", {{TDriverKind::Broken, "Unplugged Camera"}}, 0, ""},
      {"no driver at all", {}, 0, ""},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    InstallDrivers(Case.Drivers);
    StartWith();
    const bool Connected = Case.Entry > 0;
    EXPECT_EQ(FormGhost->FConnected, Connected);
    EXPECT_FALSE(FormGhost->FConnecting);
    EXPECT_EQ(FormGhost->kvDBComboBoxSelectDriver->ItemIndex(), Connected ? Case.Entry : -1);
    EXPECT_EQ(Option("Select driver")->EditText(), Case.Chosen);
    EXPECT_EQ(ConnectedDriver(),
              Connected ? std::string(Case.Chosen).substr(0, std::strlen(Case.Chosen) - 4) : "");
    // The options open on the video device group either way.
    EXPECT_TRUE(Option("Video Device")->Expanded());
    EXPECT_EQ(FormGhost->FCaptureWindow != nullptr, Connected);
    EXPECT_EQ(DataModule1->TimerPreview->Enabled(), Connected);
    EXPECT_EQ(DataModule1->ActionMovie->Enabled(), Connected);
    EXPECT_EQ(DataModule1->ActionVideoOptions->Enabled(), Connected);
    EXPECT_EQ(DataModule1->ActionVideoCompression->Visible(), Connected);
    EXPECT_EQ(DataModule1->ActionSourceSetup->Visible(), Connected)
        << "the synthetic camera has a source dialog";
    EXPECT_FALSE(DataModule1->ActionVideoOutput->Visible()) << "and no display dialog";
    EXPECT_EQ(Option("Motion detection")->Visible(), Connected);
    EXPECT_EQ(FormGhost->vcShapeBtnMotion->Enabled(), Connected);
    if (Connected) { EXPECT_EQ(FormGhost->vcShapeBtnMotion->Color(), clMoneyGreen); }
    // Without a device the still picture is composed at once.
    if (!Connected) { EXPECT_NE(Composed(), nullptr); }
    Stop();
  }
}

// A stored choice connects the driver that entry was listed for; a name no longer installed
// and "no driver" leave the program with the still picture.
TEST_F(CaptureLayer, AStoredChoiceConnectsItsOwnDriver) {
  struct TCase {
    const char* Name;
    const char* Stored;
    const char* Connected;
  } Cases[] = {
      {"past a gap", "Second Camera 1.0", "Second Camera"},
      {"before it", "First Camera 1.0", "First Camera"},
      {"no longer installed", "Old Camera 1.0", ""},
      {"no driver", "no driver", ""},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    InstallDrivers({{TDriverKind::Synthetic, "First Camera"},
                    {TDriverKind::Gap, ""},
                    {TDriverKind::Synthetic, "Second Camera"}});
    StartWith(std::string("[Options]\nSelect driver=") + Case.Stored + "\n");
    EXPECT_EQ(ConnectedDriver(), Case.Connected);
    EXPECT_EQ(FormGhost->FConnected, *Case.Connected != 0);
    // A stored choice is no first start: the options stay as they were.
    EXPECT_FALSE(Option("Video Device")->Expanded());
    EXPECT_EQ(Option("Select driver")->EditText(), Case.Stored);
    if (!FormGhost->FConnected) {
      EXPECT_EQ(FormGhost->FCaptureWindow, nullptr);
      for (TAction* Action : {DataModule1->ActionFormatSetup, DataModule1->ActionSourceSetup,
                              DataModule1->ActionVideoOutput, DataModule1->ActionVideoCompression})
        EXPECT_FALSE(Action->Visible()) << Action->Name();
      ASSERT_NE(Composed(), nullptr) << "the still picture is composed";
      EXPECT_EQ(Composed()->Width(), FormGhost->vcPanel1->Width());
    }
    Stop();
  }
}

// A connect that ends early must not keep later connects from running.
TEST_F(CaptureLayer, ADriverWithoutCapabilitiesStaysConnectedAndTheNextConnectRuns) {
  InstallDrivers({{TDriverKind::Silent, "Silent Camera"}, {TDriverKind::Synthetic, "Synthetic Camera"}});
  StartWith("[Options]\nSelect driver=Silent Camera 1.0\n");
  EXPECT_TRUE(FormGhost->FConnected);
  EXPECT_FALSE(FormGhost->FConnecting);
  EXPECT_FALSE(DataModule1->TimerPreview->Enabled()) << "no preview runs";
  EXPECT_EQ(FormGhost->FFrameBuffer->Size(), 0);

  FormGhost->kvDBComboBoxSelectDriver->SetItemIndex(2);
  FormGhost->kvDBComboBoxSelectDriverCloseUp(FormGhost->kvDBComboBoxSelectDriver, true);
  EXPECT_EQ(ConnectedDriver(), "Synthetic Camera");
  EXPECT_TRUE(DataModule1->TimerPreview->Enabled());
  EXPECT_FALSE(FormGhost->FConnecting);
}

TEST_F(CaptureLayer, WithoutTheCaptureLibraryABoxSaysSoAndALaterConnectMayTryAgain) {
  const int Loads = ModuleLoadCount("avicap32.dll");
  SetModuleAvailable("avicap32.dll", false);
  StartWith();
  SetModuleAvailable("avicap32.dll", true);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Can't find system file avicap32.dll");
  EXPECT_EQ(Boxes[0].Caption, "Error");
  EXPECT_EQ(Boxes[0].Type & 0xF, UINT(MB_OK));
  EXPECT_FALSE(FormGhost->FConnected);
  EXPECT_FALSE(FormGhost->FConnecting);
  EXPECT_EQ(ModuleLoadCount("avicap32.dll"), Loads);

  FormGhost->ConnectCaptureDriver();
  EXPECT_TRUE(FormGhost->FConnected);
  EXPECT_EQ(ModuleLoadCount("avicap32.dll"), Loads + 1);
  CloseForReal();
  EXPECT_EQ(ModuleLoadCount("avicap32.dll"), Loads) << "the real close lets the library go";
}

// The frame buffer is a whole bitmap file in memory; frames land in its rows bottom-up.
TEST_F(CaptureLayer, TheFrameBufferIsABitmapFileThatFramesAreCopiedInto) {
  StartWith();
  ASSERT_TRUE(FormGhost->FConnected);
  TMemoryStream& Buffer = *FormGhost->FFrameBuffer;
  const uint32_t ImageSize = 320 * 3 * 240;
  ASSERT_EQ(Buffer.Size(), int64_t(14 + 40 + ImageSize));
  const auto* Bytes = static_cast<const uint8_t*>(Buffer.Memory());
  auto Word32 = [&](int Offset) {
    return uint32_t(Bytes[Offset]) | uint32_t(Bytes[Offset + 1]) << 8 | uint32_t(Bytes[Offset + 2]) << 16 |
           uint32_t(Bytes[Offset + 3]) << 24;
  };
  EXPECT_EQ(Bytes[0], 'B');
  EXPECT_EQ(Bytes[1], 'M');
  EXPECT_EQ(Word32(2), 14 + 40 + ImageSize) << "the file size is the stream's size";
  EXPECT_EQ(Word32(6), 0u);
  EXPECT_EQ(Word32(10), 54u);
  BITMAPINFOHEADER Header;
  std::memcpy(&Header, Bytes + 14, sizeof Header);
  EXPECT_EQ(Header.biSize, 40u);
  EXPECT_EQ(Header.biWidth, 320);
  EXPECT_EQ(Header.biHeight, 240);
  EXPECT_EQ(Header.biBitCount, 24);
  EXPECT_EQ(Header.biSizeImage, ImageSize);
  EXPECT_EQ(FormGhost->FFrameBits, Bytes + 54);
  EXPECT_EQ(FormGhost->FFrameKind, 1);
  EXPECT_FALSE(FormGhost->FDecompressing);

  Tick();
  CaptureTest::ExpectDibNear(FormGhost->FFrameBits, 320, 240, 24, true, CaptureTest::StillScene(320, 240), 0);
  EXPECT_EQ(FormGhost->FFrameBitmap->Width(), 320);
  EXPECT_EQ(Compositions, 1);
}

// Frames of the packed YUV codes are decompressed into 32-bit rows, header and rows alike;
// other compressed codes into 24-bit rows.
TEST_F(CaptureLayer, CompressedCamerasAreDecompressedIntoTheFrameBuffer) {
  struct TCase {
    const char* Code;
    DWORD Compression;
    int Bits;
    int Tolerance;
  } Cases[] = {
      {"YUY2", mmioFOURCC('Y', 'U', 'Y', '2'), 32, 4},
      {"UYVY", mmioFOURCC('U', 'Y', 'V', 'Y'), 32, 4},
      {"MJPG", mmioFOURCC('M', 'J', 'P', 'G'), 24, 12},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Code);
    SyntheticCameraSettings().Compression = Case.Compression;
    SyntheticCameraSettings().RefusedCodes = {BI_RGB};
    StartWith();
    ASSERT_TRUE(FormGhost->FConnected);
    EXPECT_EQ(FormGhost->FFrameKind, 0);
    EXPECT_TRUE(FormGhost->FDecompressing);
    EXPECT_EQ(FormGhost->FFrameHeader.biBitCount, Case.Bits);
    EXPECT_EQ(FormGhost->FDecompressFormat.biBitCount, Case.Bits) << "what the decompressor writes";
    EXPECT_EQ(FormGhost->FFrameBuffer->Size(), int64_t(54 + 320 * 240 * Case.Bits / 8));
    Tick();
    CaptureTest::ExpectDibNear(FormGhost->FFrameBits, 320, 240, Case.Bits, true,
                               CaptureTest::StillScene(320, 240), Case.Tolerance);
    EXPECT_EQ(Compositions, 1);
    Stop();
    ResetSyntheticCameraSettings();
  }
}

// The size the driver really delivers becomes the preview size; the size item and the stamps
// follow it.
TEST_F(CaptureLayer, ADriverThatDeliversAnotherSizeMovesTheSizeAndThePlacements) {
  SyntheticCameraSettings().ForcedWidth = 176;
  SyntheticCameraSettings().ForcedHeight = 144;
  StartWith();
  EXPECT_EQ(FormGhost->FVideoWidth, 176);
  EXPECT_EQ(FormGhost->FVideoHeight, 144);
  EXPECT_EQ(Option("Video Window Size")->EditText(), "176 x 144");
  // 30 x 5 at 320 x 240 is 16.5 x 3 at 176 x 144; the rows show whole pixels.
  EXPECT_FLOAT_EQ(FormGhost->FTextPlacementHorizontal, 16.5f);
  EXPECT_EQ(Option("Text horisontal placement")->EditText(), "16");
  EXPECT_EQ(FormGhost->kvDBSpinEditTextPlacementHorizontal->Value(), 16);
  EXPECT_EQ(Option("Text vertical placement")->EditText(), "3");
  EXPECT_EQ(Option("Time horisontal placement")->EditText(), "104");
  EXPECT_EQ(FormGhost->FFrameHeader.biWidth, 176);
  Tick();
  EXPECT_EQ(FormGhost->FFrameBitmap->Width(), 176);
}

// A frame buffer that cannot be read is logged and built again; the next frame shows.
TEST_F(CaptureLayer, AFrameThatCannotBeLoadedIsLoggedAndTheBufferRebuilt) {
  StartWith();
  auto* Bytes = static_cast<uint8_t*>(FormGhost->FFrameBuffer->Memory());
  Bytes[14 + 14] = 7;  // a bit count no bitmap has
  Tick();
  EXPECT_NE(ReadText("korcam.log").find("  Frame Callback failed\r\n"), std::string::npos)
      << ReadText("korcam.log");
  EXPECT_EQ(Compositions, 0);
  EXPECT_EQ(Bytes[14 + 14], 24) << "the header is written again";
  Tick();
  EXPECT_EQ(Compositions, 1);
}

// While the window is in the tray, a tick composes once; with motion detection watching a
// connected device the frame is composed in the callback as well. A paused preview only stops
// a capture still running.
TEST_F(CaptureLayer, TicksComposeByTrayMotionDetectionAndPause) {
  struct TCase {
    const char* Name;
    bool InTray, Motion, Paused;
    int Compositions;
  } Cases[] = {
      {"on the screen: the frame callback", false, false, false, 1},
      {"in the tray: the tick itself", true, false, false, 1},
      {"in the tray with motion detection: both", true, true, false, 2},
      {"paused: nothing", false, false, true, 0},
  };
  StartWith();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FormGhost->FInTray = Case.InTray;
    Option("Enable motion detection")->SetChecked(Case.Motion);
    FormGhost->FPreviewPaused = Case.Paused;
    Compositions = 0;
    Tick();
    EXPECT_EQ(Compositions, Case.Compositions);
    EXPECT_EQ(FormGhost->FPreviewPaused, Case.Paused) << "a tick leaves the pause as it found it";
    EXPECT_TRUE(DataModule1->TimerPreview->Enabled());
    FormGhost->FPreviewPaused = false;
  }
}

// The video window size action steps through its list and applies the size to the driver.
TEST_F(CaptureLayer, TheSizeActionStepsThroughTheSizesAndAppliesThem) {
  struct TCase {
    const char* From;
    const char* To;
    int Width, Height;
  } Cases[] = {
      {"320 x 240", "352 x 288", 352, 288},
      {"640 x 480", "160 x 120", 160, 120},  // the last wraps to the first
      {"300 x 200", "160 x 120", 160, 120},  // a text not in the list
  };
  StartWith();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.From);
    Option("Video Window Size")->SetEditText(Case.From);
    DataModule1->ActionVideoWindowSize->Execute();
    EXPECT_EQ(Option("Video Window Size")->EditText(), Case.To);
    EXPECT_EQ(FormGhost->FVideoWidth, Case.Width);
    EXPECT_EQ(FormGhost->FVideoHeight, Case.Height);
    EXPECT_EQ(FormGhost->FFrameHeader.biWidth, Case.Width) << "the driver was asked for it";
    EXPECT_TRUE(DataModule1->ActionVideoWindowSize->Enabled());
    Tick();
    EXPECT_EQ(FormGhost->FFrameBitmap->Width(), Case.Width);
  }
}

TEST_F(CaptureLayer, WithoutADeviceTheSizeActionOnlyChangesTheSizeAndThePlacements) {
  StartWith("[Options]\nSelect driver=no driver\n");
  const BITMAPINFOHEADER Before = FormGhost->FFrameHeader;
  DataModule1->ActionVideoWindowSize->Execute();
  EXPECT_EQ(Option("Video Window Size")->EditText(), "352 x 288");
  EXPECT_EQ(FormGhost->FVideoWidth, 352);
  EXPECT_EQ(FormGhost->FVideoHeight, 288);
  EXPECT_EQ(Option("Text horisontal placement")->EditText(), "33");  // 30 * 352 / 320
  EXPECT_EQ(Option("Text vertical placement")->EditText(), "6");     // 5 * 288 / 240
  EXPECT_EQ(std::memcmp(&Before, &FormGhost->FFrameHeader, sizeof Before), 0) << "no format asked for";
}

}  // namespace
