// TPicture: files loaded and saved by extension, change notices, the forced bitmap, copies
// between the graphic classes, and pictures inside form texts.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "forms_fixture.h"
#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"
#include "platform/forms/icon.h"
#include "platform/forms/jpegimage.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::ofstream(Path, std::ios::binary)
      .write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

// A 2 x 2 icon: opaque red at the top left, fully transparent elsewhere.
std::vector<uint8_t> SmallIcon() {
  return MakeIconFile(2, 2, [](int X, int Y) { return X == 0 && Y == 0 ? 0xFFFF0000u : 0x00000000u; });
}

}  // namespace

TEST(Picture, LoadsByExtension) {
  auto Ramp = MakeRamp(12, 8);
  Ramp->SaveToFile(ScratchPath("ramp.bmp"));
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  Jpeg.SaveToFile(ScratchPath("ramp.JPG"));  // any case
  WriteFile(ScratchPath("dot.ico"), SmallIcon());
  struct TCase {
    const char* File;
    const char* ClassName;
    int Width;
  };
  const TCase Cases[] = {
      {"ramp.bmp", "TBitmap", 12}, {"ramp.JPG", "TJPEGImage", 12}, {"dot.ico", "TIcon", 2}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    TPicture Picture;
    int Changes = 0;
    Picture.OnChange = TNotifyEvent([&](TObject* Sender) {
      EXPECT_EQ(Sender, &Picture);
      ++Changes;
    });
    Picture.LoadFromFile(ScratchPath(Case.File));
    ASSERT_NE(Picture.Graphic(), nullptr);
    EXPECT_EQ(Picture.Graphic()->ClassName(), Case.ClassName);
    EXPECT_EQ(Picture.Width(), Case.Width);
    EXPECT_EQ(Changes, 1);
  }
}

TEST(Picture, FailedLoadsKeepTheOldGraphic) {
  TPicture Picture;
  auto Ramp = MakeRamp(5, 5);
  Picture.SetGraphic(Ramp.get());
  WriteFile(ScratchPath("notes.xyz"), {1, 2, 3});
  try {
    Picture.LoadFromFile(ScratchPath("notes.xyz"));
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& Error) {
    EXPECT_EQ(Error.Message(), "Unknown picture file extension (.xyz)");
  }
  // The extension decides the reader: bitmap bytes in a ".jpg" fail as JPEG.
  Ramp->SaveToFile(ScratchPath("liar.jpg"));
  EXPECT_THROW(Picture.LoadFromFile(ScratchPath("liar.jpg")), EInvalidGraphic);
  EXPECT_THROW(Picture.LoadFromFile(ScratchPath("missing.bmp")), EFOpenError);
  ASSERT_NE(Picture.Graphic(), nullptr);
  EXPECT_EQ(Picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(Picture.Width(), 5);
}

TEST(Picture, SavesInTheFormatTheExtensionNames) {
  struct TCase {
    const char* Name;
    bool FromJpeg;
    const char* File;
    uint8_t First, Second;
  };
  const TCase Cases[] = {
      {"bitmap as bmp", false, "a.bmp", 'B', 'M'},
      {"bitmap as jpg", false, "b.jpg", 0xFF, 0xD8},
      {"jpeg as jpeg", true, "c.jpeg", 0xFF, 0xD8},
      {"jpeg as bmp", true, "d.bmp", 'B', 'M'},
      {"unknown extension: own format", false, "e.dat", 'B', 'M'},
  };
  auto Ramp = MakeRamp(16, 16);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TPicture Picture;
    if (Case.FromJpeg) {
      TJPEGImage Jpeg;
      Jpeg.Assign(Ramp.get());
      Picture.SetGraphic(&Jpeg);
    } else {
      Picture.SetGraphic(Ramp.get());
    }
    Picture.SaveToFile(ScratchPath(Case.File));
    const std::vector<uint8_t> Bytes = FileBytes(ScratchPath(Case.File));
    ASSERT_GT(Bytes.size(), 2u);
    EXPECT_EQ(Bytes[0], Case.First);
    EXPECT_EQ(Bytes[1], Case.Second);
    if (std::string(Case.File) != "e.dat") {
      TPicture Back;
      Back.LoadFromFile(ScratchPath(Case.File));
      EXPECT_EQ(Back.Width(), 16);
      TBitmap Pixels;
      Pixels.Assign(&Back);
      Pixels.SetPixelFormat(pf24bit);
      EXPECT_LE(MaxChannelDifference(Pixels, *Ramp), Case.First == 'B' && !Case.FromJpeg ? 0 : 10);
    }
  }
}

TEST(Picture, TellsOfChangesToItsGraphic) {
  TPicture Picture;
  int Changes = 0;
  Picture.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  TBitmap* Bitmap = Picture.Bitmap();  // an empty bitmap replaces nothing
  EXPECT_EQ(Changes, 1);
  Bitmap->SetSize(4, 4);
  EXPECT_EQ(Changes, 2);
  Bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(Changes, 3);
  EXPECT_EQ(Picture.Bitmap(), Bitmap);  // already a bitmap
  EXPECT_EQ(Changes, 3);

  // A JPEG picture asked for its bitmap gets a new, empty one: nothing is converted.
  auto Ramp = MakeRamp(6, 6);
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  Picture.SetGraphic(&Jpeg);
  EXPECT_EQ(Picture.Graphic()->ClassName(), "TJPEGImage");
  EXPECT_NE(Picture.Graphic(), &Jpeg);  // a copy
  EXPECT_TRUE(Picture.Bitmap()->Empty());
}

TEST(Picture, AssignmentsChainAcrossGraphicClasses) {
  auto Ramp = MakeRamp(10, 6);
  // Bitmap -> picture -> picture -> JPEG -> bitmap -> bitmap via picture.
  TPicture First;
  First.Assign(Ramp.get());
  TPicture Second;
  Second.Assign(&First);
  EXPECT_NE(Second.Graphic(), First.Graphic());
  TJPEGImage Jpeg;
  Jpeg.Assign(&Second);
  TBitmap FromJpeg;
  FromJpeg.Assign(&Jpeg);
  EXPECT_EQ(FromJpeg.Width(), 10);
  EXPECT_LE(MaxChannelDifference(FromJpeg, *Ramp), 10);
  TBitmap FromPicture;
  FromPicture.Assign(&Second);
  EXPECT_EQ(MaxChannelDifference(FromPicture, *Ramp), 0);
  TPicture Empty;
  FromPicture.Assign(&Empty);
  EXPECT_TRUE(FromPicture.Empty());

  // An icon becomes a bitmap drawn over white.
  TIcon Icon;
  TMemoryStream Stream;
  const std::vector<uint8_t> IconBytes = SmallIcon();
  Stream.WriteBuffer(IconBytes.data(), int32_t(IconBytes.size()));
  Stream.SetPosition(0);
  Icon.LoadFromStream(Stream);
  TBitmap FromIcon;
  FromIcon.Assign(&Icon);
  EXPECT_EQ(FromIcon.PixelFormat(), pf24bit);
  EXPECT_EQ(PixelOf(FromIcon, 0, 0), clRed);
  EXPECT_EQ(PixelOf(FromIcon, 1, 1), clWhite);
  // And an icon drawn on a canvas blends over what is there.
  auto Back = MakeBitmap(4, 4, pf24bit, clBlue);
  Back->Canvas()->Draw(1, 1, &Icon);
  EXPECT_EQ(PixelOf(*Back, 1, 1), clRed);
  EXPECT_EQ(PixelOf(*Back, 2, 2), clBlue);
}

TEST(Picture, FormTextsCarryPicturesAndGlyphs) {
  auto Glyph = MakeBitmap(3, 2, pf24bit, clOlive);
  TMemoryStream GlyphFile;
  Glyph->SaveToStream(GlyphFile);
  RegisterResourceData(
      "glyphs/kvtestpicture.bmp",
      std::span<const uint8_t>(static_cast<const uint8_t*>(GlyphFile.Memory()), size_t(GlyphFile.Size())));
  auto Ramp = MakeRamp(8, 8);
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  TMemoryStream JpegFile;
  Jpeg.SaveToStream(JpegFile);
  RegisterResourceData(
      "testlogo.jpg",
      std::span<const uint8_t>(static_cast<const uint8_t*>(JpegFile.Memory()), size_t(JpegFile.Size())));

  // Files from the resources, as the forms of the program hold them.
  TGraphicsHolder Holder(nullptr);
  ReadComponentText(&Holder,
                    "object Holder: TGraphicsHolder\n"
                    "  Picture.Data = @'testlogo.jpg'\n"
                    "  Glyph.Data = @'glyphs/kvtestpicture.bmp'\n"
                    "end\n");
  ASSERT_NE(Holder.Picture()->Graphic(), nullptr);
  EXPECT_EQ(Holder.Picture()->Graphic()->ClassName(), "TJPEGImage");
  EXPECT_EQ(Holder.Picture()->Width(), 8);
  EXPECT_EQ(Holder.Glyph()->Width(), 3);
  EXPECT_EQ(PixelOf(*Holder.Glyph(), 2, 1), clOlive);

  // Written back with the class library's framing, and read again.
  const std::string Text = WriteComponentText(&Holder);
  EXPECT_NE(Text.find("Picture.Data = {"), std::string::npos) << Text;
  TGraphicsHolder Copy(nullptr);
  ReadComponentText(&Copy, Text);
  EXPECT_EQ(Copy.Picture()->Graphic()->ClassName(), "TJPEGImage");
  EXPECT_EQ(Copy.Picture()->Height(), 8);
  EXPECT_EQ(PixelOf(*Copy.Glyph(), 0, 0), clOlive);
  EXPECT_EQ(WriteComponentText(&Copy), Text);
}

TEST(Picture, FilterListsTheRegisteredFormats) {
  EXPECT_EQ(GraphicFilter(&TGraphic::StaticClass()),
            "All (*.jpg;*.jpeg;*.bmp;*.ico)|*.jpg;*.jpeg;*.bmp;*.ico|JPEG Image File (*.jpg)|*.jpg|"
            "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico");
  EXPECT_EQ(GraphicFilter(&TBitmap::StaticClass()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicExtension(&TJPEGImage::StaticClass()), "jpg");
  EXPECT_EQ(GraphicFileMask(&TIcon::StaticClass()), "*.ico");
  EXPECT_EQ(TPicture::FindFileFormat(".JPEG"), &TJPEGImage::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("png"), nullptr);
}
