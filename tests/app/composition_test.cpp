// The composition of the live picture: the stamps as both pairs of switches, the shadow colours,
// the time offsets and gamer view make them, the still picture without a device, the guard
// against a second composition, the placement rescale, the formats restored at start-up, and a
// preview that allocates nothing frame after frame.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/forms/canvas.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/forms/picture.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/streams.h"
#include "platform/user/user.h"
#include "tests/app/livepicture.h"
#include "tests/platform/forms/alloc_counter.h"

namespace {

using Composition = TLivePictureTest;

// The manual clock's morning, as the default format writes it.
constexpr const char* Morning = "01/05 09:00:00 am";

// Every combination that matters of the four switches, a shadow, and gamer view; the expected
// picture is the raw frame with exactly the listed stamps drawn over it.
TEST_F(Composition, StampsFollowTheirSwitchesShadowsAndGamerView) {
  struct TCase {
    const char* Name;
    bool TextText, TextTime, TimeTime, TimeText;
    TColor TextShadow;
    bool Gamer;
    std::vector<TStamp> Stamps;
  } Cases[] = {
      {"the defaults: the stamp text and the time", true, false, true, false, clNone, false,
       {{30, 5, "Korvane Software", clAqua}, {190, 5, Morning, clAqua}}},
      {"both text switches: the text, two blanks, the time", true, true, false, false, clNone, false,
       {{30, 5, std::string("Korvane Software  ") + Morning, clAqua}}},
      {"only the text stamp's time switch: the time at its place", false, true, false, false, clNone, false,
       {{30, 5, Morning, clAqua}}},
      {"both time switches: the time, two blanks, the time text", false, false, true, true, clNone, false,
       {{190, 5, std::string(Morning) + "  Korvane Software", clAqua}}},
      {"a shadow colour: the text one pixel right and down first", true, false, false, false, clBlack, false,
       {{30, 5, "Korvane Software", clAqua, clBlack}}},
      {"gamer view: no stamp at all", true, true, true, true, clBlack, true, {}},
      {"every switch off", false, false, false, false, clNone, false, {}},
  };
  StartWith();
  ASSERT_TRUE(FormGhost->FConnected);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Option("Enable text/text stamp")->SetChecked(Case.TextText);
    Option("Enable text/time stamp")->SetChecked(Case.TextTime);
    Option("Enable time/time stamp")->SetChecked(Case.TimeTime);
    Option("Enable time/text stamp")->SetChecked(Case.TimeText);
    FormGhost->vcColorComboShadowText->SetSelectedColor(Case.TextShadow);
    Option("Gamer View Enable")->SetChecked(Case.Gamer);
    Tick();
    const auto Expected = WithStamps(FormGhost->FFrameBitmap.get(), Case.Stamps);
    EXPECT_TRUE(SamePixels(Expected.get(), Composed()));
  }
}

// The hours from GMT move the date with them.
TEST_F(Composition, AnOffsetFromGmtRollsTheDateOver) {
  StartWith();
  FClock->SetNow(EncodeDate(2026, 1, 5) + EncodeTime(22, 30, 0, 0));
  FormGhost->kvDBComboBoxTimeFormat->SetText("MM/dd HH:mm");
  FormGhost->kvDBSpinEditGMTTime->SetValue(3);
  FormGhost->kvDBComboBoxTextFormat->SetText("dd HH:mm");
  FormGhost->kvDBSpinEditGMTText->SetValue(-12);
  Option("Enable text/time stamp")->SetChecked(true);
  Tick();
  const auto Expected =
      WithStamps(FormGhost->FFrameBitmap.get(),
                 {{30, 5, "Korvane Software  05 10:30", clAqua}, {190, 5, "01/06 01:30", clAqua}});
  EXPECT_TRUE(SamePixels(Expected.get(), Composed()));
}

TEST_F(Composition, TheCharacterSetComesFromItsTable) {
  struct TCase {
    const char* Text;
    int Charset;
  } Cases[] = {{"Cyrillic", 204}, {"Western", 0}, {"Klingon", 0}, {"cyrillic", 0}};
  StartWith();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    FormGhost->kvDBComboBoxCharSet->SetText(Case.Text);
    Tick();
    EXPECT_EQ(FormGhost->FWorkingBitmap->Canvas()->Font()->Charset(), Case.Charset);
  }
}

// Without a device the still picture fills the video panel, whatever its own size.
TEST_F(Composition, WithoutADeviceTheStillPictureIsStretchedToThePanel) {
  StartWith("[Options]\nSelect driver=no driver\nGamer View Enable=True\n");
  ASSERT_FALSE(FormGhost->FConnected);
  FormGhost->vcPanel1->SetBounds(0, 0, 640, 480);
  Compositions = 0;
  DataModule1->TimerRefreshImageMain(DataModule1->Timer1);
  EXPECT_EQ(Compositions, 1);
  TBitmap Expected;
  Expected.SetPixelFormat(pf24bit);
  Expected.SetSize(640, 480);
  Expected.Canvas()->StretchDraw(RECT{0, 0, 640, 480}, FormGhost->FStillPicture->Graphic());
  EXPECT_TRUE(SamePixels(&Expected, Composed()));
  EXPECT_EQ(FormGhost->ImageMain->Picture()->Width(), 640);

  // Timer1 composes only while nothing is connected.
  FormGhost->ConnectCaptureDriver();
  EXPECT_FALSE(FormGhost->FConnected) << "still no driver chosen";
}

// A composition that processes window messages is not entered again from them.
TEST_F(Composition, ACompositionRequestedWhileOneRunsIsSkipped) {
  StartWith();
  struct TProbe {
    int Calls = 0;
    bool SawRendering = false;
  };
  static TProbe Probe;
  Probe = {};
  WNDCLASSA Class{};
  Class.lpfnWndProc = [](HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) -> LRESULT {
    if (Message == WM_APP + 7) {
      ++Probe.Calls;
      Probe.SawRendering = FormGhost->FRendering;
      FormGhost->RefreshMainImage(true);
      return 0;
    }
    return DefWindowProcA(Window, Message, WParam, LParam);
  };
  Class.lpszClassName = "CompositionProbe";
  RegisterClassA(&Class);
  HWND Window = CreateWindowExA(0, "CompositionProbe", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  // Posted now, the message is handled inside the composition of the frame grabbed last.
  Tick();
  Compositions = 0;
  PostMessageA(Window, WM_APP + 7, 0, 0);
  FormGhost->RefreshMainImage(false);
  DestroyWindow(Window);
  EXPECT_EQ(Probe.Calls, 1);
  EXPECT_TRUE(Probe.SawRendering);
  EXPECT_EQ(Compositions, 1) << "the second request was skipped";
  EXPECT_FALSE(FormGhost->FRendering);
}

TEST_F(Composition, AFailedCompositionIsLoggedAndKeepsTheLastPicture) {
  StartWith();
  Tick();
  ASSERT_EQ(Compositions, 1);
  // The stamp's option cannot be found: the composition fails half way.
  Option("Text/Text")->SetTagString("Text/Gone");
  Tick();
  FormGhost->InspectorOptions->FindItemByTagString("Text/Gone")->SetTagString("Text/Text");
  EXPECT_EQ(Compositions, 1) << "the composed picture stays the last one made";
  EXPECT_NE(ReadText("korcam.log").find("  Refreshing main image failed\r\n"), std::string::npos);
  EXPECT_FALSE(FormGhost->FRendering);
  Tick();
  EXPECT_EQ(Compositions, 2);
}

// Stamp placements move with the video size and keep their fractions, so sizes that go back
// and forth do not drift; a size of nothing leaves them alone.
TEST_F(Composition, PlacementsRescaleWithoutDriftAndNeverFromNothing) {
  struct TStep {
    int32_t OldWidth, OldHeight, NewWidth, NewHeight;
    float Horizontal, Vertical;  // of the text stamp, from 30 x 5
    const char* HorizontalText;
  } Steps[] = {
      {320, 240, 640, 480, 60, 10, "60"},
      {640, 480, 320, 240, 30, 5, "30"},
      {320, 240, 176, 144, 16.5f, 3, "16"},
      {176, 144, 320, 240, 30, 5, "30"},
      {0, 0, 320, 240, 30, 5, "30"},    // from nothing: no proportions to keep
      {320, 240, 0, 240, 30, 5, "30"},  // to nothing: likewise
  };
  StartWith("[Options]\nSelect driver=no driver\n");
  for (const TStep& Step : Steps) {
    SCOPED_TRACE(testing::Message() << Step.OldWidth << " x " << Step.OldHeight << " to " << Step.NewWidth
                                    << " x " << Step.NewHeight);
    FormGhost->RescaleStampPlacements(Step.OldWidth, Step.OldHeight, Step.NewWidth, Step.NewHeight);
    EXPECT_FLOAT_EQ(FormGhost->FTextPlacementHorizontal, Step.Horizontal);
    EXPECT_FLOAT_EQ(FormGhost->FTextPlacementVertical, Step.Vertical);
    EXPECT_EQ(Option("Text horisontal placement")->EditText(), Step.HorizontalText);
    EXPECT_EQ(FormGhost->kvDBSpinEditTextPlacementHorizontal->Value(), std::trunc(Step.Horizontal));
    EXPECT_TRUE(std::isfinite(FormGhost->FTimePlacementHorizontal));
  }
  // A placement the user set moves from where the user put it.
  FormGhost->kvDBSpinEditTimePlacementHorizontal->SetValue(100);
  FormGhost->RescaleStampPlacements(320, 240, 640, 480);
  EXPECT_EQ(Option("Time horisontal placement")->EditText(), "200");
}

// Both stamp formats come back from the settings file at start-up, also a format the list lacks,
// without the options table ever painting their rows.
TEST_F(Composition, BothStampFormatsAreRestoredAtStartUp) {
  StartWith("[Options]\nText Format=HH:mm\nTime Format=yyyy\nSelect driver=no driver\n");
  EXPECT_EQ(FormGhost->kvDBComboBoxTextFormat->Text(), "HH:mm");
  EXPECT_EQ(FormGhost->kvDBComboBoxTextFormat->ItemIndex(), 1);
  EXPECT_EQ(FormGhost->kvDBComboBoxTimeFormat->Text(), "yyyy");
  EXPECT_EQ(FormGhost->kvDBComboBoxTimeFormat->ItemIndex(), -1);
}

// Once the first frame has built every buffer, the preview allocates no frame storage: the
// bitmaps keep their pixel memory and nothing frame-sized comes from the heap.
TEST_F(Composition, TheLivePreviewAllocatesNothingFrameAfterFrame) {
  StartWith();
  for (int Warm = 0; Warm < 3; ++Warm) Tick();
  const void* FrameBuffer = FormGhost->FFrameBuffer->Memory();
  const void* FrameRows = FormGhost->FFrameBitmap->ScanLine(0);
  const void* WorkingRows = FormGhost->FWorkingBitmap->ScanLine(0);
  const void* ImageRows = FormGhost->ImageMain->Picture()->Bitmap()->ScanLine(0);
  const void* ComposedRows = Composed()->ScanLine(0);
  GLargeAllocations = 0;
  GLargeAllocation = 320 * 240;
  for (int Frame = 0; Frame < 30; ++Frame) Tick();
  GLargeAllocation = SIZE_MAX;
  EXPECT_EQ(GLargeAllocations, 0);
  EXPECT_EQ(Compositions, 33);
  EXPECT_EQ(FormGhost->FFrameBuffer->Memory(), FrameBuffer);
  EXPECT_EQ(FormGhost->FFrameBitmap->ScanLine(0), FrameRows);
  EXPECT_EQ(FormGhost->FWorkingBitmap->ScanLine(0), WorkingRows);
  EXPECT_EQ(FormGhost->ImageMain->Picture()->Bitmap()->ScanLine(0), ImageRows);
  EXPECT_EQ(Composed()->ScanLine(0), ComposedRows);
}

// Without a display the program still composes: the composed frame of the synthetic camera,
// with its stamps, is written as a PNG to look at (KORCAM_TEST_IMAGES, else
// /tmp/korcam-app-images).
TEST_F(Composition, AComposedFrameCanBeLookedAtAsAPicture) {
  StartWith();
  Tick();
  TBitmap* Picture = Composed();
  ASSERT_NE(Picture, nullptr);
  ASSERT_EQ(Picture->PixelFormat(), pf24bit);
  TPixelView View;
  View.Top = static_cast<const uint8_t*>(Picture->ScanLine(0));
  View.Stride = Picture->Height() > 1 ? static_cast<const uint8_t*>(Picture->ScanLine(1)) - View.Top : 0;
  View.Width = Picture->Width();
  View.Height = Picture->Height();
  View.Format = TPixelLayout::Bgr24;
  const char* Folder = std::getenv("KORCAM_TEST_IMAGES");
  const std::filesystem::path Directory = Folder ? Folder : "/tmp/korcam-app-images";
  std::filesystem::create_directories(Directory);
  const std::string File = (Directory / "live-picture.png").string();
  SavePngFile(File, View);
  EXPECT_GT(std::filesystem::file_size(File), 1000u);
}

}  // namespace
