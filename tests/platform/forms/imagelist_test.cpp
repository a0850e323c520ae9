// TImageList on a small fixture: two 4 x 4 images, masked by fuchsia, drawn in every style over
// a silver background, dimmed, with an overlay; then the list's bookkeeping and form data.

#include "platform/forms/imagelist.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "forms_fixture.h"
#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"
#include "platform/forms/imagelistapi.h"
#include "platform/gdi/sysmetrics.h"

namespace {

// Image 0: a red ring around blue with transparent corners; image 1: one green dot.
const char* const Fixture[] = {
    "MRRMGMMM",
    "RBBRMMMM",
    "RBBRMMMM",
    "MRRMMMMM",
};

TColor ColorOf(char Code) {
  switch (Code) {
    case 'M':
      return clFuchsia;
    case 'R':
      return clRed;
    case 'B':
      return clBlue;
    case 'G':
      return clLime;
    default:
      return clBlack;
  }
}

std::unique_ptr<TBitmap> FixtureStrip() {
  auto Strip = MakeBitmap(8, 4, pf24bit, clWhite);
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 8; ++X) Strip->Canvas()->SetPixels(X, Y, ColorOf(Fixture[Y][X]));
  return Strip;
}

std::unique_ptr<TImageList> FixtureList() {
  auto List = std::make_unique<TImageList>(nullptr);
  List->SetSize(4, 4);
  auto Strip = FixtureStrip();
  EXPECT_EQ(List->AddMasked(Strip.get(), clFuchsia), 0);
  EXPECT_EQ(List->Count(), 2);
  return List;
}

// The pixels as characters of the legend ('?' for any other colour).
std::string Picture(TBitmap& Bitmap, const std::map<TColor, char>& Legend) {
  std::string Result;
  for (int Y = 0; Y < Bitmap.Height(); ++Y) {
    for (int X = 0; X < Bitmap.Width(); ++X) {
      const auto It = Legend.find(PixelOf(Bitmap, X, Y));
      Result += It == Legend.end() ? '?' : It->second;
    }
    Result += '\n';
  }
  return Result;
}

}  // namespace

TEST(ImageList, DrawsInEachStyle) {
  const TColor Pink = TColor(0x008080FF);      // red mixed half and half with white
  const TColor DarkRed = TColor(0x000000BF);   // red with a quarter of black
  const TColor DarkBlue = TColor(0x00BF0000);  // blue with a quarter of black
  const TColor Lavender = TColor(0x00FF8080);  // blue half and half with white
  const std::map<TColor, char> Legend = {{clSilver, '.'}, {clRed, 'R'},    {clBlue, 'B'}, {clYellow, 'Y'},
                                         {clBlack, 'k'},  {clWhite, 'w'},  {Pink, 'p'},   {DarkRed, 'd'},
                                         {DarkBlue, 'b'}, {Lavender, 'l'}, {clLime, 'G'}};
  struct TCase {
    const char* Name;
    TDrawingStyle Style;
    TImageType Type;
    TColor Bk, Blend;
    const char* Expected;
  };
  const TCase Cases[] = {
      // CC: normal, no background colour: the mask shows the silver beneath.
      {"normal, bk none", TDrawingStyle::dsNormal, itImage, clNone, clNone, ".RR.\nRBBR\nRBBR\n.RR.\n"},
      // CC: a background colour fills the masked pixels.
      {"normal, bk yellow", TDrawingStyle::dsNormal, itImage, clYellow, clNone, "YRRY\nRBBR\nRBBR\nYRRY\n"},
      // CC: transparent ignores the background colour.
      {"transparent, bk yellow", TDrawingStyle::dsTransparent, itImage, clYellow, clNone,
       ".RR.\nRBBR\nRBBR\n.RR.\n"},
      // CC: selected mixes half of the blend colour into the image only.
      {"selected, blend white", TDrawingStyle::dsSelected, itImage, clNone, clWhite,
       ".pp.\npllp\npllp\n.pp.\n"},
      // CC: focus mixes a quarter.
      {"focus, blend black", TDrawingStyle::dsFocus, itImage, clNone, clBlack, ".dd.\ndbbd\ndbbd\n.dd.\n"},
      // CC: the mask in the canvas's text colour (the font's, black) and background colour (the
      // brush's, silver here).
      {"mask", TDrawingStyle::dsNormal, itMask, clNone, clNone, ".kk.\nkkkk\nkkkk\n.kk.\n"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto List = FixtureList();
    List->SetDrawingStyle(Case.Style);
    List->SetImageType(Case.Type);
    List->SetBkColor(Case.Bk);
    List->SetBlendColor(Case.Blend);
    auto Target = MakeBitmap(4, 4, pf24bit, clSilver);
    List->Draw(Target->Canvas(), 0, 0, 0);
    EXPECT_EQ(Picture(*Target, Legend), Case.Expected);
  }
}

TEST(ImageList, DisabledImagesAreEmbossedFromTheirMask) {
  const TColor Highlight = TColor(GetSysColor(COLOR_BTNHIGHLIGHT));
  const TColor Shadow = TColor(GetSysColor(COLOR_BTNSHADOW));
  ASSERT_NE(Highlight, Shadow);
  auto List = FixtureList();
  auto Target = MakeBitmap(6, 6, pf24bit, clSilver);
  Target->Canvas()->Brush()->SetColor(clAqua);
  List->Draw(Target->Canvas(), 1, 1, 0, false);
  // The shadow at the image's place, the highlight one pixel down and right beneath it.
  EXPECT_EQ(Picture(*Target, {{clSilver, '.'}, {Highlight, 'H'}, {Shadow, 'S'}}),
            "......\n"
            "..SS..\n"
            ".SSSS.\n"
            ".SSSSH\n"
            "..SSHH\n"
            "...HH.\n");
  EXPECT_EQ(Target->Canvas()->Brush()->Color(), clAqua);  // the canvas is left as it was
}

TEST(ImageList, OverlaysDrawOverTheImage) {
  auto List = FixtureList();
  EXPECT_TRUE(List->Overlay(1, 0));
  auto Target = MakeBitmap(4, 4, pf24bit, clSilver);
  List->DrawOverlay(Target->Canvas(), 0, 0, 0, 0);
  EXPECT_EQ(Picture(*Target, {{clSilver, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}}),
            "GRR.\nRBBR\nRBBR\n.RR.\n");
  EXPECT_FALSE(List->Overlay(0, 15));
}

TEST(ImageList, GetBitmapDrawsOnAFreshBitmap) {
  auto List = FixtureList();
  TBitmap Image;
  EXPECT_TRUE(List->GetBitmap(0, &Image));
  EXPECT_EQ(Image.Width(), 4);
  EXPECT_EQ(Image.Height(), 4);
  EXPECT_EQ(PixelOf(Image, 0, 0), clWhite);
  EXPECT_EQ(PixelOf(Image, 1, 1), clBlue);
  EXPECT_FALSE(List->GetBitmap(2, &Image));
  EXPECT_FALSE(List->GetBitmap(0, nullptr));
}

TEST(ImageList, TellsItsLinksOfChanges) {
  auto List = FixtureList();
  int LinkCalls = 0, Events = 0;
  TCustomImageList* Seen = nullptr;
  {
    TChangeLink Link;
    Link.OnChange = TNotifyEvent([&](TObject* Sender) {
      ++LinkCalls;
      Seen = dynamic_cast<TCustomImageList*>(Sender);
    });
    List->RegisterChanges(&Link);
    List->OnChange = TNotifyEvent([&](TObject*) {
      EXPECT_EQ(LinkCalls, Events + 1);  // links first
      ++Events;
    });
    List->SetBkColor(clRed);
    EXPECT_EQ(LinkCalls, 1);
    EXPECT_EQ(Seen, List.get());
    List->BeginUpdate();
    List->Delete(1);
    List->SetBlendColor(clBlue);
    EXPECT_EQ(LinkCalls, 1);
    List->EndUpdate();  // one notice for the batch
    EXPECT_EQ(LinkCalls, 2);
    EXPECT_EQ(Events, 2);
    EXPECT_EQ(List->Count(), 1);
    List->OnChange = nullptr;
  }
  List->Clear();  // the link unregistered itself when it went away
  EXPECT_EQ(LinkCalls, 2);
  EXPECT_EQ(List->Count(), 0);
  EXPECT_THROW(List->Delete(0), EInvalidOperation);

  // A link outliving its list is told nothing more.
  TChangeLink Orphan;
  {
    TImageList Short(nullptr);
    Short.RegisterChanges(&Orphan);
  }
  EXPECT_EQ(Orphan.Sender(), nullptr);
}

TEST(ImageList, ResizingOrUnmaskingEmptiesTheList) {
  auto List = FixtureList();
  List->SetWidth(4);
  EXPECT_EQ(List->Count(), 2);
  List->SetHeight(8);
  EXPECT_EQ(List->Count(), 0);
  auto Again = FixtureList();
  Again->SetMasked(false);
  EXPECT_EQ(Again->Count(), 0);
  auto Strip = FixtureStrip();
  Again->AddMasked(Strip.get(), clFuchsia);
  auto Target = MakeBitmap(4, 4, pf24bit, clSilver);
  Again->Draw(Target->Canvas(), 0, 0, 0);
  EXPECT_EQ(PixelOf(*Target, 0, 0), clBlack);  // unmasked: the masked pixels were made black
  EXPECT_FALSE(TImageList(nullptr).HandleAllocated());
}

TEST(ImageList, ImagesTravelInFormResources) {
  auto List = FixtureList();
  List->SetName("Images");
  List->SetBlendColor(clHighlight);
  const std::string Text = WriteComponentText(List.get());
  EXPECT_NE(Text.find("BlendColor = clHighlight"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Bitmap = {"), std::string::npos) << Text;
  TImageList Copy(nullptr);
  ReadComponentText(&Copy, Text);
  EXPECT_EQ(Copy.Width(), 4);
  ASSERT_EQ(Copy.Count(), 2);
  auto Target = MakeBitmap(8, 4, pf24bit, clSilver);
  Copy.Draw(Target->Canvas(), 0, 0, 0);
  Copy.Draw(Target->Canvas(), 4, 0, 1);
  EXPECT_EQ(Picture(*Target, {{clSilver, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}}),
            ".RR.G...\nRBBR....\nRBBR....\n.RR.....\n");

  // A plain strip from the resources, masked by its bottom-left colour.
  auto Strip = FixtureStrip();
  TMemoryStream File;
  Strip->SaveToStream(File);
  RegisterResourceData(
      "glyphs/kvteststrip.bmp",
      std::span<const uint8_t>(static_cast<const uint8_t*>(File.Memory()), size_t(File.Size())));
  TImageList FromStrip(nullptr);
  ReadComponentText(
      &FromStrip,
      "object Strip: TImageList\n  Height = 4\n  Width = 4\n  Bitmap = @'glyphs/kvteststrip.bmp'\nend\n");
  EXPECT_EQ(FromStrip.Count(), 2);
  auto Second = MakeBitmap(4, 4, pf24bit, clSilver);
  FromStrip.Draw(Second->Canvas(), 0, 0, 0);
  EXPECT_EQ(PixelOf(*Second, 0, 0), clSilver);

  TImageList Loaded(nullptr);
  Loaded.SetSize(4, 4);
  EXPECT_TRUE(Loaded.ResourceLoad(rtBitmap, "KVTESTSTRIP", clFuchsia));
  EXPECT_EQ(Loaded.Count(), 2);
  EXPECT_FALSE(Loaded.ResourceLoad(rtBitmap, "KVNOSUCHSTRIP", clFuchsia));
}

TEST(ImageList, AssignCopiesImagesAndSettings) {
  auto List = FixtureList();
  List->SetDrawingStyle(TDrawingStyle::dsTransparent);
  List->SetBkColor(clYellow);
  TImageList Copy(nullptr);
  Copy.Assign(List.get());
  EXPECT_EQ(Copy.Count(), 2);
  EXPECT_EQ(Copy.DrawingStyle(), TDrawingStyle::dsTransparent);
  EXPECT_NE(Copy.Handle(), List->Handle());
  List->Clear();
  EXPECT_EQ(Copy.Count(), 2);
  EXPECT_EQ(GetEnumProp(&Copy, "DrawingStyle"), "dsTransparent");
}

TEST(ImageListApi, AnswersForStaleHandlesAndBadIndexes) {
  HIMAGELIST List = ImageList_Create(4, 4, ILC_MASK, 1, 1);
  auto Strip = FixtureStrip();
  EXPECT_EQ(ImageList_AddMasked(List, Strip->Handle(), CLR_DEFAULT), 0);  // top-left colour: fuchsia
  EXPECT_EQ(ImageList_GetImageCount(List), 2);
  EXPECT_TRUE(ImageList_Move(List, 1, 0));
  auto Target = MakeBitmap(4, 4, pf24bit, clSilver);
  EXPECT_TRUE(ImageList_Draw(List, 0, Target->Canvas()->Handle(), 0, 0, ILD_NORMAL));
  EXPECT_EQ(PixelOf(*Target, 0, 0), clLime);  // the dot image is first now
  EXPECT_FALSE(ImageList_Draw(List, 2, Target->Canvas()->Handle(), 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Remove(List, 5));
  EXPECT_TRUE(ImageList_Destroy(List));
  EXPECT_EQ(ImageList_GetImageCount(List), 0);
  EXPECT_EQ(ImageList_Add(List, Strip->Handle(), nullptr), -1);
  EXPECT_FALSE(ImageList_Destroy(List));
}
