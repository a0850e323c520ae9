// The image button: its transparent colour, its window region from the picture (and the bytes
// the form keeps of it), the faces of each shade style, tint and dither, the outline bevel, and
// pictures taken from other controls by reference.

#include <gtest/gtest.h>

#include "platform/classes/formreader.h"
#include "platform/rtl/streams.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"
#include "vcontrols/imaging/vcimager.h"

using namespace VcTest;

namespace {

constexpr uint32_t Key = 0xFFFFFF;    // white: the pictures' transparent colour
constexpr uint32_t Ink = 0x2060C0;    // the pictures' opaque colour

// A 6 x 4 picture: white with an ink block at columns 1..3 of rows 1..2 (the top-left is white).
void BlockPicture(TvcBitmap& Picture) {
  PaintPicture(Picture, 6, 4, [](int X, int Y) { return X >= 1 && X <= 3 && Y >= 1 && Y <= 2 ? Ink : Key; });
}

class ImageButtonTest : public TButtonTest {
 protected:
  TvcImageBtn* BlockButton(const std::string& Name = "Block") {
    TvcImageBtn* Button = AddImageButton(Name, RECT{10, 10, 16, 14});
    TvcBitmap Picture;
    BlockPicture(Picture);
    Button->SetImage(&Picture);
    return Button;
  }
};

TEST_F(ImageButtonTest, TheTransparentColourAndWhetherTheButtonIsShaped) {
  TvcImageBtn* Button = BlockButton();
  TvcBitmap Down;
  PaintPicture(Down, 6, 4, [](int, int) { return 0x00FF00u; });
  const struct {
    const char* Name;
    TColor Transparent;
    bool DownPicture;
    TvcShadeStyle Style;
    TColor Up, DownColor;
    bool Shaped;
  } Cases[] = {
      {"top-left pixel of the up picture", clNone, false, fbsNormal, TColor(0xFFFFFF), TColor(0xFFFFFF), false},
      {"the down picture's own while down", clNone, true, fbsNormal, TColor(0xFFFFFF), TColor(0x00FF00), true},
      {"a real colour as it is", clRed, true, fbsNormal, clRed, clRed, true},
      {"raised: shaped with one picture", clNone, false, fbsRaised, TColor(0xFFFFFF), TColor(0xFFFFFF), true},
      {"no region at all", vcNoTransparentColor, true, fbsRaised, vcNoTransparentColor, vcNoTransparentColor,
       false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button->SetTransparentColor(Case.Transparent);
    Button->SetImageDown(Case.DownPicture ? &Down : nullptr);
    if (!Case.DownPicture) Button->ImageDown()->Assign(nullptr);
    Button->SetShadeStyle(Case.Style);
    EXPECT_EQ(Button->EffectiveTransparentColor(false), Case.Up);
    EXPECT_EQ(Button->EffectiveTransparentColor(true), Case.DownColor);
    EXPECT_EQ(Button->IsShaped(), Case.Shaped);
  }
}

TEST_F(ImageButtonTest, TheWindowRegionIsThePicturesOutlineAndTheFormKeepsItsBytes) {
  Form->SetName("Form");
  TvcImageBtn* Button = BlockButton();
  Form->Show();
  Pump();
  ASSERT_TRUE(HasWindowRegion(Button));
  EXPECT_TRUE(WindowRegion(Button) == TRegion(1, 1, 4, 3));
  // The bytes: a 32-byte header (size 32, rectangles, count, bytes of rectangles, bounds) and one
  // rectangle, as region data are laid out.
  const std::vector<uint8_t>& Bytes = Button->RegionBytes();
  ASSERT_EQ(Bytes.size(), 48u);
  auto Dword = [&](size_t At) { return uint32_t(Bytes[At] | Bytes[At + 1] << 8 | Bytes[At + 2] << 16 | Bytes[At + 3] << 24); };
  EXPECT_EQ(Dword(0), 32u);
  EXPECT_EQ(Dword(4), 1u);
  EXPECT_EQ(Dword(8), 1u);
  EXPECT_EQ(Dword(12), 16u);
  EXPECT_EQ(Dword(32), 1u);
  EXPECT_EQ(Dword(36), 1u);
  EXPECT_EQ(Dword(40), 4u);
  EXPECT_EQ(Dword(44), 3u);
  // The form stores them ("RegionData": the count, then the block) and reads them back.
  const std::string Text = WriteComponentText(Form);
  EXPECT_NE(Text.find("RegionData = {"), std::string::npos) << Text;
  EXPECT_NE(Text.find("30000000200000000100000001000000"), std::string::npos) << Text;
  EXPECT_NE(Text.find("DownRegionData = {\n      00000000}"), std::string::npos) << Text;
}

TEST_F(ImageButtonTest, PixelsOnlyOfTheTransparentColourGiveNoRegion) {
  TvcImageBtn* Button = AddImageButton("Blank", RECT{10, 10, 16, 14});
  Form->Show();
  Pump();
  EXPECT_FALSE(HasWindowRegion(Button)) << "no picture: no region";
  EXPECT_EQ(ScreenColor(Button, 3, 2), Rgb(clBtnFace)) << "the placeholder face";
  TvcBitmap White;
  PaintPicture(White, 6, 4, [](int, int) { return Key; });
  Button->SetImage(&White);
  Pump();
  EXPECT_FALSE(HasWindowRegion(Button));
  // No transparent colour: the whole picture shows, no pixel replaced.
  TvcImageBtn* Whole = BlockButton("Whole");
  Whole->SetTransparentColor(vcNoTransparentColor);
  Pump();
  EXPECT_FALSE(HasWindowRegion(Whole));
  EXPECT_EQ(ScreenColor(Whole, 0, 0), Key);
  EXPECT_EQ(ScreenColor(Whole, 2, 1), Ink);
}

TEST_F(ImageButtonTest, ANormalFaceReplacesTheKeyAndShiftsThePictureWhileDown) {
  TvcImageBtn* Button = AddImageButton("Arrow", RECT{10, 10, 23, 19});
  TvcBitmap Arrow;
  // A triangle pointing down below a white top row (the top-left pixel is the key).
  PaintPicture(Arrow, 13, 9, [](int X, int Y) { return Y >= 1 && X >= Y && X <= 12 - Y ? Ink : Key; });
  Button->SetImage(&Arrow);
  Button->ShadeColors()->SetShadow(TColor(0x0000C0));
  Button->ImageOffsets()->SetImageDownX(1);
  Button->ImageOffsets()->SetImageDownY(1);
  TvcBitmap Face;
  Button->RenderFace(&Face, false, fbsNormal, false);
  EXPECT_EQ(PictureColor(Face, 6, 1), Ink);
  EXPECT_EQ(PictureColor(Face, 0, 8), 0xC00000u) << "a key pixel takes the shadow colour";
  Button->RenderFace(&Face, false, fbsNormal, true);
  EXPECT_EQ(PictureColor(Face, 0, 0), 0xC00000u) << "the shifted-out corner shows the shadow";
  EXPECT_EQ(PictureColor(Face, 2, 2), Ink) << "pressed: one pixel right and down";
  EXPECT_EQ(PictureColor(Face, 1, 1), 0xC00000u);
}

TEST_F(ImageButtonTest, ARaisedButtonCarriesADropShadow) {
  TvcImageBtn* Button = AddImageButton("Raised", RECT{10, 10, 18, 16});
  TvcBitmap Picture;
  PaintPicture(Picture, 6, 4, [](int X, int Y) { return X == 0 && Y == 0 ? Key : Ink; });
  Button->SetImage(&Picture);
  Button->SetShadeStyle(fbsRaised);
  // The picture is drawn 2 smaller than the button; the shadow is the picture moved (2, 2).
  HRGN Up = Button->CreateRegion(true, false);
  HRGN Down = Button->CreateRegion(true, true);
  ASSERT_TRUE(Up && Down);
  TRegion Picture6x4;
  Picture6x4.Union(RECT{1, 0, 6, 1});
  Picture6x4.Union(RECT{0, 1, 6, 4});
  TRegion Shadow = Picture6x4;
  Shadow.Offset(2, 2);
  TRegion Both = Picture6x4;
  Both.Union(Shadow);
  EXPECT_TRUE(*GdiGetRegion(Up) == Both);
  EXPECT_TRUE(*GdiGetRegion(Down) == Shadow);
  DeleteObject(Up);
  DeleteObject(Down);
}

TEST_F(ImageButtonTest, TintAndDither) {
  TvcImageBtn* Button = BlockButton();
  const struct {
    const char* Name;
    TColor Color;
    uint32_t Expected;
  } Tints[] = {
      {"no tint", clNone, Ink},
      {"silver tints nothing", TColor(0xC0C0C0), Ink},
      {"white brightens by 63", clWhite, 0x5F9FFF},
  };
  for (const auto& Case : Tints) {
    SCOPED_TRACE(Case.Name);
    Button->SetColor(Case.Color);
    TvcBitmap Face;
    Button->RenderFace(&Face, false, fbsNormal, false);
    EXPECT_EQ(PictureColor(Face, 2, 1), Case.Expected);
    EXPECT_EQ(PictureColor(Face, 0, 0), Rgb(Button->ShadeColors()->Shadow())) << "the key is left alone";
  }
  // A grouped button that is down, without a down picture: the dither covers the picture inside
  // its region.
  Button->SetColor(clNone);
  Button->SetGroupIndex(4);
  Button->SetDown(true);
  Button->SetDitherColor(clLime);
  Button->SetDitherStyle(dsFill);
  TvcBitmap Filled;
  Button->DrawImage(Button->Image(), &Filled, fbsNormal, false, true);
  EXPECT_EQ(PictureColor(Filled, 2, 1), 0x00FF00u);
  EXPECT_EQ(PictureColor(Filled, 0, 0), Key) << "outside the region the dither does not go";
  Button->SetDitherStyle(dsDither);
  TvcBitmap Dithered;
  Button->DrawImage(Button->Image(), &Dithered, fbsNormal, false, true);
  EXPECT_NE(PictureColor(Dithered, 1, 1), PictureColor(Dithered, 2, 1)) << "alternating pixels";
}

TEST_F(ImageButtonTest, TheOutlineBevelLightsTheUpperLeftEnds) {
  TvcImageBtn* Button = AddImageButton("Gem", RECT{10, 10, 15, 15});
  Button->ShadeColors()->SetBtnHighlight(TColor(0x0000FF));  // red
  Button->ShadeColors()->SetBtn3DLight(TColor(0x00FFFF));    // yellow
  Button->ShadeColors()->SetBtnShadow(TColor(0xFF0000));     // blue
  Button->ShadeColors()->SetBtnBlack(TColor(0x000000));
  // A 3 x 3 square on a white 5 x 5 picture: along the main diagonal the run is (1,1)..(3,3).
  TvcBitmap Source, Target;
  PaintPicture(Source, 5, 5, [](int X, int Y) { return X >= 1 && X <= 3 && Y >= 1 && Y <= 3 ? Ink : Key; });
  const struct {
    const char* Name;
    bool Down, Default;
    uint32_t First, Middle, Last;
  } Cases[] = {
      {"up: highlight, light inside, black end", false, false, 0xFF0000, 0xFFFF00, 0x000000},
      {"down: the other way", true, false, 0x000000, 0x0000FF, 0xFF0000},
      {"default: black ends, the bevel a pixel in", false, true, 0x000000, 0xFF0000, 0x000000},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button->SetDefault(Case.Default);
    PaintPicture(Target, 5, 5, [](int, int) { return 0x808080u; });
    Button->DrawShade(&Source, &Target, TColor(0xFFFFFF), Case.Down);
    EXPECT_EQ(PictureColor(Target, 1, 1), Case.First);
    EXPECT_EQ(PictureColor(Target, 2, 2), Case.Middle);
    EXPECT_EQ(PictureColor(Target, 3, 3), Case.Last);
    EXPECT_EQ(PictureColor(Target, 0, 0), 0x808080u) << "key pixels are not touched";
  }
  // Different sizes: nothing.
  TvcBitmap Small;
  PaintPicture(Small, 2, 2, [](int, int) { return 0x808080u; });
  Button->DrawShade(&Source, &Small, TColor(0xFFFFFF), false);
  EXPECT_EQ(PictureColor(Small, 1, 1), 0x808080u);
}

TEST_F(ImageButtonTest, PicturesTakenByReferenceFollowTheirSource) {
  auto* Imager = new TvcImager(Form);
  Imager->SetParent(Form);
  Imager->SetBounds(100, 10, 6, 4);
  TvcBitmap Picture;
  BlockPicture(Picture);
  Imager->Picture()->Assign(&Picture);
  TvcImageBtn* Button = AddImageButton("Referring", RECT{10, 10, 16, 14});
  Button->SetExtImage(Imager);
  Form->Show();
  Pump();
  EXPECT_EQ(Button->GetImage(false), Imager->WorkBitmap());
  EXPECT_TRUE(WindowRegion(Button) == TRegion(1, 1, 4, 3));
  // A change of the source's processed picture rebuilds the region.
  TvcBitmap Wider;
  PaintPicture(Wider, 6, 4, [](int X, int Y) { return Y >= 1 && Y <= 2 && X >= 1 ? Ink : Key; });
  Imager->Picture()->Assign(&Wider);
  Pump();
  EXPECT_TRUE(WindowRegion(Button) == TRegion(1, 1, 6, 3));
  // Another image button shows a button's pictures after an assignment, and follows them.
  TvcImageBtn* Source = BlockButton("Source");
  TvcImageBtn* Copy = AddImageButton("Copy", RECT{40, 10, 46, 14});
  Copy->Assign(Source);
  EXPECT_EQ(Copy->ExtImage(), Source);
  EXPECT_EQ(Copy->GetImage(false), Source->Image());
  Pump();
  EXPECT_TRUE(WindowRegion(Copy) == TRegion(1, 1, 4, 3));
  Source->SetImage(&Wider);
  Pump();
  EXPECT_TRUE(WindowRegion(Copy) == TRegion(1, 1, 6, 3));
  // Freed sources are forgotten.
  Imager->Free();
  EXPECT_EQ(Button->ExtImage(), nullptr);
  Source->Free();
  EXPECT_EQ(Copy->ExtImage(), nullptr);
  EXPECT_EQ(Copy->ExtImageDown(), nullptr);
  Pump();
}

TEST_F(ImageButtonTest, WithoutAWindowThePictureIsKeptAsPlainPixels) {
  TvcImageBtn* Button = BlockButton();
  Form->Show();
  Pump();
  ASSERT_TRUE(Button->HandleAllocated());
  Button->SetTransparentColor(clRed);  // makes the window again
  Pump();
  Form->Hide();
  Button->SetParent(nullptr);
  EXPECT_FALSE(Button->HandleAllocated());
  EXPECT_TRUE(Button->Image()->HasStoredBits());
  Button->SetParent(Form);
  Form->Show();
  Pump();
  EXPECT_TRUE(Button->HandleAllocated());
  EXPECT_FALSE(Button->Image()->HasStoredBits());
  EXPECT_EQ(Button->Image()->Width(), 6);
  EXPECT_EQ(PictureColor(*Button->Image(), 2, 1), Ink);
}

}  // namespace
