// The watermark: the blend's arithmetic against its reference, loading each kind of file into
// rows of a width that is a multiple of 4 (with a PNG's alpha map on its own pixels and its
// colours not darkened by their alpha), placement and clipping in the frame, the transparency
// row, the failures, and the dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/watermarkblend.h"
#include "platform/forms/filedialogs.h"
#include "platform/gdi/imagefile/imagefile.h"
#include "platform/rtl/fileutils.h"
#include "platform/shell/launcher.h"
#include "platform/shell/modules.h"
#include "platform/user/message.h"
#include "tests/app/picturetest.h"
#include "tests/platform/forms/alloc_counter.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

// ---- the arithmetic ------------------------------------------------------------------------

TEST(WatermarkBlend, BytesAreTruncatedNeverRounded) {
  struct TCase {
    const char* Name;
    uint8_t Mark, Frame;
    float Alpha;
    uint8_t Expected;
  };
  const TCase Cases[] = {
      {"0.7 of 255 over 0: 178.5 truncated", 255, 0, 0.7f, 178},
      {"0.7 of 0 over 255: 76.5 truncated", 0, 255, 0.7f, 76},
      {"0.7 of 255 over 255 stays 255", 255, 255, 0.7f, 255},
      {"opaque takes the watermark", 100, 200, 1.0f, 100},
      {"clear keeps the frame", 100, 200, 0.0f, 200},
      {"alpha byte 128 of white over black: 128, not 64", 255, 0, WatermarkAlpha(128), 128},
      {"alpha byte 1", 255, 0, WatermarkAlpha(1), 1},
      {"alpha byte 254 of black over white: 0.99999994 truncated", 0, 255, WatermarkAlpha(254), 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(WatermarkByte(Case.Mark, Case.Frame, Case.Alpha), Case.Expected);
  }
  EXPECT_EQ(WatermarkAlpha(255), 1.0f);
  EXPECT_EQ(WatermarkAlpha(0), 0.0f);
}

// The blender's fast paths (the byte table, opaque and clear alpha) against the plain loop, over
// placements inside, across every edge and outside the frame, frames whose rows are padded, and
// rows lying either way up in memory. Padding bytes must stay untouched.
TEST(WatermarkBlend, MatchesTheReferenceEverywhere) {
  std::mt19937 Random(20);
  auto Byte = [&] { return uint8_t(Random()); };
  struct TSize {
    int Width, Height;
  };
  const TSize Frames[] = {{1, 1}, {3, 2}, {37, 20}, {64, 9}};
  const TSize Marks[] = {{1, 1}, {4, 3}, {12, 7}, {40, 24}};
  const float Opacities[] = {0.7f, 1.0f, 0.0f, 0.33f};
  TWatermarkBlender Blender;
  for (const TSize& FrameSize : Frames)
    for (const TSize& MarkSize : Marks)
      for (bool WithAlpha : {false, true})
        for (bool TopDownMemory : {false, true})
          for (int Trial = 0; Trial < 6; ++Trial) {
            const ptrdiff_t RowBytes = ((FrameSize.Width * 24 + 31) / 32) * 4;
            std::vector<uint8_t> Frame(size_t(RowBytes) * FrameSize.Height);
            for (uint8_t& Value : Frame) Value = Byte();
            std::vector<uint8_t> Pixels(size_t(MarkSize.Width) * MarkSize.Height * 3), Alpha;
            for (uint8_t& Value : Pixels) Value = Byte();
            if (WithAlpha) {
              Alpha.resize(size_t(MarkSize.Width) * MarkSize.Height);
              // Mostly clear and opaque, as a logo is, with soft pixels between.
              for (uint8_t& Value : Alpha) Value = Random() % 3 == 0 ? Byte() : (Random() % 2 ? 0 : 255);
            }
            const TWatermarkPicture Mark{Pixels.data(), WithAlpha ? Alpha.data() : nullptr, MarkSize.Width,
                                         MarkSize.Height};
            const int64_t X0 =
                int64_t(Random() % (FrameSize.Width + MarkSize.Width + 4)) - MarkSize.Width - 2;
            const int64_t Y0 =
                int64_t(Random() % (FrameSize.Height + MarkSize.Height + 4)) - MarkSize.Height - 2;
            const float Opacity = Opacities[Trial % 4];
            std::vector<uint8_t> Expected = Frame;
            auto View = [&](std::vector<uint8_t>& Bytes) {
              return TopDownMemory
                         ? TWatermarkFrame{Bytes.data() + (FrameSize.Height - 1) * RowBytes, -RowBytes,
                                           FrameSize.Width, FrameSize.Height}
                         : TWatermarkFrame{Bytes.data(), RowBytes, FrameSize.Width, FrameSize.Height};
            };
            BlendWatermarkReference(View(Expected), Mark, X0, Y0, Opacity);
            Blender.Blend(View(Frame), Mark, X0, Y0, Opacity);
            ASSERT_EQ(Frame, Expected) << "frame " << FrameSize.Width << "x" << FrameSize.Height << ", mark "
                                       << MarkSize.Width << "x" << MarkSize.Height << " at " << X0 << ","
                                       << Y0 << (WithAlpha ? " with alpha" : "") << ", opacity " << Opacity;
          }
}

// ---- the window's watermark ----------------------------------------------------------------

// Records what would have been started.
class TRecordingLauncher : public TProgramLauncher {
 public:
  int Launch(const TLaunchRequest& Request) override {
    Requests.push_back(Request);
    return 0;
  }
  std::vector<TLaunchRequest> Requests;
};

class Watermark : public TPictureTest {
 protected:
  void TearDown() override {
    SetModuleAvailable("gdiplus.dll", true);
    SetFileDialogScript(nullptr);
    TPictureTest::TearDown();
  }

  // Loads the file as the watermark with stamping on.
  void Load(const std::string& Name) {
    Option("Picture file")->SetEditText(Path(Name));
    Option("Enable picture stamp")->SetChecked(true);
    FormGhost->LoadWatermark();
  }
  // A watermark row's pixel (X, Y counted from the top), as 0x00RRGGBB.
  uint32_t MarkPixel(int X, int Y) const {
    const int Width = FormGhost->FWatermarkBitmap->Width(), Height = FormGhost->FWatermarkBitmap->Height();
    const uint8_t* Pixel = FormGhost->FWatermarkPixels.data() + (size_t(Height - 1 - Y) * Width + X) * 3;
    return uint32_t(Pixel[2]) << 16 | uint32_t(Pixel[1]) << 8 | Pixel[0];
  }
  uint8_t MarkAlpha(int X, int Y) const {
    const int Width = FormGhost->FWatermarkBitmap->Width(), Height = FormGhost->FWatermarkBitmap->Height();
    return FormGhost->FWatermarkAlpha[size_t(Height - 1 - Y) * Width + X];
  }
  bool Logged(const std::string& Message) const {
    return ReadText("korcam.log").find(Message) != std::string::npos;
  }
};

// Column X of a test picture has red X * Step, row Y green Y * 40, so a stored pixel tells the
// column it came from.
uint32_t SteppedColour(int X, int Y, int Step) {
  return uint32_t(X * Step) << 16 | uint32_t(Y * 40) << 8 | 0x33;
}
uint32_t ColumnColour(int X, int Y) {
  return SteppedColour(X, Y, 36);
}

TEST_F(Watermark, EachKindOfFileLoadsSqueezedToAMultipleOf4) {
  Start();
  struct TCase {
    const char* Name;  // the file's name, its extension choosing the loader
    int Width, Height;
    int StoredWidth;
    int Step;  // red per column
  };
  const TCase Cases[] = {
      {"mark.bmp", 7, 3, 4, 36},  // the class library's bitmap
      {"mark.jpg", 9, 5, 8, 28},  // the class library's JPEG image
      {"mark.png", 7, 2, 4, 36},  // the picture library
      {"mark.ico", 6, 6, 4, 36},  // the picture library
      {"wide.bmp", 101, 2, 100, 2}, {"even.bmp", 8, 2, 8, 30},
      {"narrow.bmp", 3, 2, 0, 36},  // nothing is left of it: no watermark
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Extension = ExtractFileExt(Case.Name);
    const int Step = Case.Step;
    auto Rgb = [Step](int X, int Y) { return SteppedColour(X, Y, Step); };
    auto Argb = [Step](int X, int Y) { return 0xFF000000 | SteppedColour(X, Y, Step); };
    if (Extension == ".jpg")
      WriteJpegFile(Path(Case.Name), Case.Width, Case.Height, Rgb);
    else if (Extension == ".png")
      WritePngFile(Path(Case.Name), Case.Width, Case.Height, Argb);
    else if (Extension == ".ico")
      WriteFileBytes(Path(Case.Name), MakeIconFile(Case.Width, Case.Height, Argb));
    else
      WriteBmpFile(Path(Case.Name), Case.Width, Case.Height, Rgb);
    Load(Case.Name);
    EXPECT_FALSE(FormGhost->FWatermarkNotReady);
    EXPECT_EQ(FormGhost->FWatermarkBitmap->Width(), Case.StoredWidth);
    EXPECT_EQ(FormGhost->FWatermarkBitmap->Empty(), Case.StoredWidth == 0);
    EXPECT_EQ(FormGhost->FWatermarkPixels.size(), size_t(Case.StoredWidth) * 3 * Case.Height);
    EXPECT_FALSE(FormGhost->FWatermarkHasAlpha);
    if (Case.StoredWidth == 0 || Extension == ".jpg") continue;
    // Squeezed, not cropped: a narrower picture skips source columns across its whole width.
    bool Cropped = true;
    for (int X = 0; X < Case.StoredWidth; ++X) {
      const int Source = int(MarkPixel(X, 0) >> 16) / Step;
      EXPECT_EQ(MarkPixel(X, Case.Height - 1), SteppedColour(Source, Case.Height - 1, Step))
          << "upright, row by row";
      if (Source != X) Cropped = false;
    }
    EXPECT_EQ(Cropped, Case.Width == Case.StoredWidth);
  }
  EXPECT_FALSE(Logged("Load watermark file failed"));
}

// A PNG with alpha keeps its straight colours (drawn over black they would be multiplied by
// their alpha, and multiplied again by the blend), and its alpha map is squeezed with its pixels.
TEST_F(Watermark, PngAlphaMapStaysOnItsStraightPixels) {
  Start();
  WritePngFile(Path("logo.png"), 7, 2,
               [](int X, int Y) { return uint32_t(40 * X + 10) << 24 | ColumnColour(X, Y); });
  Load("logo.png");
  ASSERT_TRUE(FormGhost->FWatermarkHasAlpha);
  ASSERT_EQ(FormGhost->FWatermarkBitmap->Width(), 4);
  ASSERT_EQ(FormGhost->FWatermarkAlpha.size(), 8u);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 4; ++X) {
      SCOPED_TRACE("stored column " + std::to_string(X) + ", row " + std::to_string(Y));
      const uint32_t Colour = MarkPixel(X, Y);
      const int Source = int(Colour >> 16) / 36;
      EXPECT_EQ(Colour, ColumnColour(Source, Y)) << "colours are straight";
      EXPECT_EQ(MarkAlpha(X, Y), 40 * Source + 10) << "alpha of the same source column";
    }
  // Over a black frame, white at alpha 128 comes out at 128.
  WritePngFile(Path("soft.png"), 4, 1, [](int, int) { return 0x80FFFFFFu; });
  Load("soft.png");
  auto Frame = MakeFrame(6, 3, [](int, int) { return 0u; });
  FormGhost->BlendWatermark(Frame.get());
  EXPECT_EQ(RgbOf(*Frame, 0, 0), 0x808080u);
  EXPECT_EQ(RgbOf(*Frame, 3, 0), 0x808080u);
  EXPECT_EQ(RgbOf(*Frame, 4, 0), 0u);
  EXPECT_EQ(RgbOf(*Frame, 0, 1), 0u);
}

// Placement from the frame's top-left corner; only the part inside the frame is touched; rows
// of a frame whose width is no multiple of 4 are padded, and the watermark stays upright.
TEST_F(Watermark, PlacedFromTheTopLeftAndClippedToTheFrame) {
  Start();
  const int MarkWidth = 8, MarkHeight = 4;
  WriteBmpFile(Path("mark.bmp"), MarkWidth, MarkHeight,
               [](int X, int Y) { return 0x800000u | uint32_t(X * 16) << 8 | uint32_t(Y * 50); });
  Load("mark.bmp");
  struct TCase {
    const char* Name;
    int Horizontal, Vertical;
  };
  const TCase Cases[] = {
      {"top-left corner", 0, 0},
      {"inside", 13, 9},
      {"across the right and bottom edges", 33, 18},
      {"across the left and top edges", -3, -2},
      {"wholly outside", 40, 0},
      {"wholly above", 0, -4},
  };
  const int Width = 37, Height = 20;
  auto Background = [](int X, int Y) { return uint32_t(X) << 16 | uint32_t(Y) << 8 | 0x11; };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FormGhost->kvDBSpinEditPicturePlacementHorizontal->SetValue(Case.Horizontal);
    FormGhost->kvDBSpinEditPicturePlacementVertical->SetValue(Case.Vertical);
    for (TPixelFormat Format : {pf24bit, pf32bit}) {
      auto Frame = MakeFrame(Width, Height, Background);
      Frame->SetPixelFormat(Format);
      FormGhost->BlendWatermark(Frame.get());
      Frame->SetPixelFormat(pf24bit);
      int Wrong = 0;
      for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
          const int MarkX = X - Case.Horizontal, MarkY = Y - Case.Vertical;
          const bool Inside = MarkX >= 0 && MarkX < MarkWidth && MarkY >= 0 && MarkY < MarkHeight;
          const uint32_t Expected =
              Inside ? 0x800000u | uint32_t(MarkX * 16) << 8 | uint32_t(MarkY * 50) : Background(X, Y);
          if (RgbOf(*Frame, X, Y) != Expected && Wrong++ < 3) {
            ADD_FAILURE() << "pixel " << X << "," << Y << " of a " << (Format == pf24bit ? "24" : "32")
                          << "-bit frame is " << std::hex << RgbOf(*Frame, X, Y) << ", not " << Expected;
          }
        }
    }
  }
}

TEST_F(Watermark, FixedOpacityOnlyWhenTransparencyIsEnabled) {
  Start();
  WriteBmpFile(Path("white.bmp"), 4, 1, [](int, int) { return 0xFFFFFFu; });
  Load("white.bmp");
  FormGhost->kvDBSpinEditTransperarency->SetValue(70);
  struct TCase {
    const char* Name;
    bool Transparency;
    bool Stamp;
    uint32_t Expected;
  };
  const TCase Cases[] = {
      {"transparency off: fully opaque", false, true, 0xFFFFFF},
      {"70 percent: 255 x 0.7 truncated", true, true, 0xB2B2B2},
      {"stamp off: nothing", true, false, 0x000000},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Option("Enable picture transparency")->SetChecked(Case.Transparency);
    Option("Enable picture stamp")->SetChecked(Case.Stamp);
    auto Frame = MakeFrame(4, 2, [](int, int) { return 0u; });
    FormGhost->BlendWatermark(Frame.get());
    EXPECT_EQ(RgbOf(*Frame, 2, 0), Case.Expected);
  }
}

// The blend processes no pending messages, so nothing (a dialog that loads another watermark
// among it) can run in the middle of it and free the rows it reads.
TEST_F(Watermark, BlendingHandlesNoPendingMessages) {
  Start();
  WriteBmpFile(Path("mark.bmp"), 40, 30, ColumnColour);
  Load("mark.bmp");
  constexpr UINT Marker = WM_APP + 0x123;
  PostMessageA(FormGhost->Handle(), Marker, 0, 0);
  auto Frame = MakeFrame(64, 48, [](int, int) { return 0u; });
  FormGhost->BlendWatermark(Frame.get());
  MSG Message;
  EXPECT_TRUE(PeekMessageA(&Message, FormGhost->Handle(), Marker, Marker, PM_REMOVE))
      << "the message posted before the blend is still waiting";
}

void KeepAllocation(std::vector<uint8_t>& Bytes) {
  volatile uint8_t* Keep = Bytes.data();
  (void)Keep;
}

// Every frame is blended: once the first has made the tables (and, for a frame that is not
// 24-bit, the rows), further frames allocate nothing of size.
TEST_F(Watermark, SteadyBlendingAllocatesNothing) {
  Start();
  WriteBmpFile(Path("mark.bmp"), 64, 48, ColumnColour);
  Load("mark.bmp");
  Option("Enable picture transparency")->SetChecked(true);
  for (TPixelFormat Format : {pf24bit, pf32bit}) {
    SCOPED_TRACE(Format == pf24bit ? "24-bit frame" : "32-bit frame");
    auto Frame = MakeFrame(320, 240, [](int X, int Y) { return uint32_t(X ^ Y); });
    Frame->SetPixelFormat(Format);
    FormGhost->BlendWatermark(Frame.get());
    GLargeAllocations = 0;
    GLargeAllocation = 4096;
    for (int Count = 0; Count < 20; ++Count) FormGhost->BlendWatermark(Frame.get());
    EXPECT_EQ(GLargeAllocations.load(), 0);
    // The counter sees what it should.
    std::vector<uint8_t> Control(8192);
    KeepAllocation(Control);
    GLargeAllocation = SIZE_MAX;
    EXPECT_EQ(GLargeAllocations.load(), 1);
  }
}

TEST_F(Watermark, TransparencyRowShowsOnlyForAPictureWithoutAlpha) {
  Start();
  WritePngFile(Path("alpha.png"), 4, 4, [](int, int) { return 0x80FF0000u; });
  WritePngFile(Path("opaque.png"), 4, 4, [](int, int) { return 0xFFFF0000u; });
  WriteBmpFile(Path("plain.bmp"), 4, 4, [](int, int) { return 0xFF0000u; });
  struct TCase {
    const char* File;
    bool Transparency;
    bool Visible;
  };
  const TCase Cases[] = {{"alpha.png", true, false},
                         {"opaque.png", true, true},
                         {"plain.bmp", true, true},
                         {"plain.bmp", false, false}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.File) + (Case.Transparency ? ", transparency on" : ", transparency off"));
    Option("Enable picture transparency")->SetChecked(Case.Transparency);
    Load(Case.File);
    EXPECT_EQ(Option("Picture transperarency")->Visible(), Case.Visible);
    // The row's own handler decides the same way.
    FormGhost->InspectorOptionsItems4Items3ItemChanged(nullptr, nullptr, "");
    EXPECT_EQ(Option("Picture transperarency")->Visible(), Case.Visible);
  }
}

TEST_F(Watermark, WhatALoadThatFailsLeaves) {
  Start();
  WriteBmpFile(Path("good.bmp"), 8, 4, ColumnColour);
  const uint8_t Damaged[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7};
  WriteFileBytes(Path("damaged.bmp"), Damaged);
  WriteFileBytes(Path("damaged.png"), Damaged);
  auto Blended = [] {
    auto Frame = MakeFrame(8, 4, [](int, int) { return 0u; });
    FormGhost->BlendWatermark(Frame.get());
    return RgbOf(*Frame, 1, 1) != 0;
  };
  Load("good.bmp");
  ASSERT_TRUE(Blended());

  // An empty name changes nothing: the picture loaded before stays.
  Option("Picture file")->SetEditText("  ");
  FormGhost->LoadWatermark();
  EXPECT_TRUE(Blended());

  // A missing file: nothing is said, nothing is blended.
  Load("missing.bmp");
  EXPECT_TRUE(FormGhost->FWatermarkNotReady);
  EXPECT_FALSE(Blended());
  EXPECT_FALSE(Logged("Load watermark file failed"));

  // A damaged file: one log line; the watermark is dropped until a later load succeeds.
  for (const char* File : {"damaged.bmp", "damaged.png"}) {
    SCOPED_TRACE(File);
    Load("good.bmp");
    Load(File);
    EXPECT_FALSE(FormGhost->FWatermarkNotReady);
    EXPECT_TRUE(FormGhost->FWatermarkBitmap->Empty());
    EXPECT_FALSE(Blended());
    EXPECT_TRUE(Logged("Load watermark file failed"));
  }
  Load("good.bmp");
  EXPECT_TRUE(Blended());
}

// Without the picture library, PNG, GIF, TIF and ICO files cannot load: the user is told and may
// open the page where the library is found; nothing is blended.
TEST_F(Watermark, WithoutThePictureLibraryTheUserIsOfferedItsPage) {
  Start();
  WritePngFile(Path("logo.png"), 8, 8, [](int, int) { return 0xFFFF0000u; });
  TRecordingLauncher Launcher;
  TProgramLauncher* Before = SetProgramLauncher(&Launcher);
  std::vector<TLaunchRequest>& Opened = Launcher.Requests;
  SetModuleAvailable("gdiplus.dll", false);
  struct TCase {
    const char* Name;
    int Answer;
    size_t PagesOpened;
  };
  const TCase Cases[] = {{"Cancel", IDCANCEL, 0}, {"OK", IDOK, 1}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Boxes.clear();
    Opened.clear();
    Answers.push_back(Case.Answer);
    Load("logo.png");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "WebCam");
    EXPECT_EQ(Boxes[0].Type & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(Opened.size(), Case.PagesOpened);
    if (!Opened.empty()) {
      EXPECT_EQ(Opened[0].Arguments.at(0).rfind("https://", 0), 0u) << "a web page";
    }
    EXPECT_TRUE(FormGhost->FWatermarkNotReady);
    auto Frame = MakeFrame(8, 8, [](int, int) { return 0u; });
    FormGhost->BlendWatermark(Frame.get());
    EXPECT_EQ(RgbOf(*Frame, 1, 1), 0u);
  }
  SetProgramLauncher(Before);
  EXPECT_EQ(ModuleLoadCount("gdiplus.dll"), 0);
  // A bitmap file needs no picture library.
  WriteBmpFile(Path("plain.bmp"), 4, 4, ColumnColour);
  Boxes.clear();
  Load("plain.bmp");
  EXPECT_TRUE(Boxes.empty());
  EXPECT_FALSE(FormGhost->FWatermarkNotReady);
}

TEST_F(Watermark, StampSwitchAndActionShowOneState) {
  Start();
  for (bool On : {true, false}) {
    Option("Enable picture stamp")->SetChecked(On);
    FormGhost->InspectorOptionsItems4Items0ItemChanged(nullptr, nullptr, "");
    EXPECT_EQ(DataModule1->ActionMark->Checked(), On);
  }
}

TEST_F(Watermark, FileIsChosenThroughTheDialogOnly) {
  Start();
  WriteBmpFile(Path("chosen.bmp"), 12, 4, ColumnColour);
  const std::string Before = GetCurrentDir();
  TFileDialogSetup Seen;
  std::string Answer;
  SetFileDialogScript([&](TFileDialogSession& Session) {
    Seen = Session.Setup();
    if (Answer.empty()) return;  // cancelled
    Session.SetFileName(Answer);
    Session.Accept();
  });
  // Cancelled: nothing changes.
  FormGhost->kvDBComboDlgPictureStampCustomDlg(nullptr);
  EXPECT_EQ(Seen.InitialDir, Folder);
  EXPECT_EQ(Option("Picture file")->EditText(), "");
  EXPECT_EQ(GetCurrentDir(), Before);
  // Confirmed: the file is the row's and is loaded at once.
  Answer = Path("chosen.bmp");
  FormGhost->kvDBComboDlgPictureStampCustomDlg(nullptr);
  EXPECT_EQ(Option("Picture file")->EditText(), Path("chosen.bmp"));
  EXPECT_EQ(FormGhost->kvDBComboDlgPictureStamp->Text(), Path("chosen.bmp"));
  EXPECT_EQ(FormGhost->FWatermarkBitmap->Width(), 12);
  EXPECT_FALSE(FormGhost->FWatermarkNotReady);
  EXPECT_EQ(GetCurrentDir(), Before);
  // Typing is refused.
  char32_t Key = U'x';
  FormGhost->kvDBComboDlgPictureStampKeyPress(nullptr, Key);
  EXPECT_EQ(Key, 0u);
}

}  // namespace
