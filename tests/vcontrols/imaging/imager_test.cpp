// The image control: its draw styles on screen, the work bitmap's size, the pipeline run by
// setting changes, the processed picture copied out, change links, auto size and loading.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/classes/formreader.h"
#include "platform/forms/clipboard.h"
#include "platform/user/input.h"
#include "tests/vcontrols/imaging/image_support.h"
#include "tests/vcontrols/imaging/imager_support.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/imaging/vcimager.h"

namespace {

// Quadrants of a picture: what each corner of a drawn picture must show.
constexpr uint32_t TopLeft = 0xFF0000, TopRight = 0x0000FF, BottomLeft = 0x00FF00, BottomRight = 0xFFFF00;

uint32_t Quadrants(int X, int Y, int Width, int Height) {
  if (Y < Height / 2) return X < Width / 2 ? TopLeft : TopRight;
  return X < Width / 2 ? BottomLeft : BottomRight;
}

std::unique_ptr<TBitmap> QuadrantPicture(int Width, int Height) {
  return MakePatternBitmap(Width, Height, [=](int X, int Y) { return Quadrants(X, Y, Width, Height); });
}

// A picture where every pixel differs from its neighbours, for exact comparisons.
std::unique_ptr<TBitmap> NoisePicture(int Width, int Height, uint32_t Seed) {
  return MakePatternBitmap(Width, Height, [=](int X, int Y) {
    uint32_t value = uint32_t(X * 7919 + Y * 104729) ^ (Seed * 2654435761u);
    value ^= value >> 13;
    value *= 0x5bd1e995;
    return (value ^ value >> 15) & 0xFFFFFF;
  });
}

uint32_t WorkColor(TvcBitmap* Work, int X, int Y) {
  const uint8_t* pixel = Work->RowStart(Y) + 3 * X;
  return uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
}

// The work bitmap's pixels against a class-library bitmap of the same size.
std::string CompareWork(TvcBitmap* Work, TBitmap& Expected) {
  if (Work->Width() != Expected.Width() || Work->Height() != Expected.Height())
    return "size " + std::to_string(Work->Width()) + "x" + std::to_string(Work->Height());
  for (int y = 0; y < Work->Height(); ++y)
    for (int x = 0; x < Work->Width(); ++x)
      if (WorkColor(Work, x, y) != BitmapColor(Expected, x, y))
        return "first difference at " + std::to_string(x) + "," + std::to_string(y);
  return "";
}

class ImagerTest : public TImagerTest {
 protected:
  TvcImager* AddImager(RECT Bounds) {
    auto* imager = new TvcImager(Form);
    imager->SetParent(Form);
    imager->SetBoundsRect(Bounds);
    return imager;
  }
};

// --- draw styles --------------------------------------------------------------------------------

struct TDrawStyleCase {
  const char* Name;
  TvcImagerDrawStyle Style;
  bool PreProcess;
  SIZE Work;
  RECT DrawRect;
  RECT OnePicture;  // where one whole copy of the picture shows, in control coordinates
};

// A 20 x 10 picture in a 60 x 40 control.
const TDrawStyleCase DrawStyleCases[] = {
    {"normal: unscaled at the corner", dsNormal, true, {20, 10}, {0, 0, 20, 10}, {0, 0, 20, 10}},
    {"center: unscaled in the middle", dsCenter, true, {20, 10}, {20, 15, 40, 25}, {20, 15, 40, 25}},
    {"stretch: over the control", dsStretch, true, {20, 10}, {0, 0, 60, 40}, {0, 0, 60, 40}},
    {"tile: copies from the corner", dsTile, true, {20, 10}, {0, 0, 60, 40}, {20, 10, 40, 20}},
    {"proportional: at the top", dsProportional, true, {20, 10}, {0, 0, 60, 30}, {0, 0, 60, 30}},
    {"proportional center: in the middle",
     dsProportionalCenter,
     true,
     {20, 10},
     {0, 5, 60, 35},
     {0, 5, 60, 35}},
    // Effects after scaling: the work bitmap is the control's size and is painted unscaled.
    {"stretch, scaled first", dsStretch, false, {60, 40}, {0, 0, 60, 40}, {0, 0, 60, 40}},
    {"tile, scaled first", dsTile, false, {60, 40}, {0, 0, 60, 40}, {40, 30, 60, 40}},
    // The live picture: the frame fills the control without keeping its proportions.
    {"proportional, scaled first", dsProportional, false, {60, 40}, {0, 0, 60, 40}, {0, 0, 60, 40}},
};

TEST_F(ImagerTest, DrawStylesPaintTheWorkBitmapIntoTheirRectangle) {
  auto picture = QuadrantPicture(20, 10);
  for (const TDrawStyleCase& Case : DrawStyleCases) {
    SCOPED_TRACE(Case.Name);
    TvcImager* imager = AddImager(RECT{10, 10, 70, 50});
    imager->SetPreProcess(Case.PreProcess);
    imager->SetDrawStyle(Case.Style);
    imager->Picture()->Assign(picture.get());
    Form->Show();
    Pump();
    EXPECT_EQ(imager->WorkBitmap()->Width(), Case.Work.cx);
    EXPECT_EQ(imager->WorkBitmap()->Height(), Case.Work.cy);
    EXPECT_EQ(imager->GetDrawRect(), Case.DrawRect);
    SaveFormPng(Form,
                std::string("imager_style_") + EnumInfoOf<TvcImagerDrawStyle>().Name(Case.Style) +
                    (Case.PreProcess ? "" : "_scaled"),
                4);
    // The picture's four corners, one pixel in from each edge.
    const RECT& r = Case.OnePicture;
    const struct {
      int X, Y;
      uint32_t Color;
    } corners[] = {{r.left + 1, r.top + 1, TopLeft},
                   {r.right - 2, r.top + 1, TopRight},
                   {r.left + 1, r.bottom - 2, BottomLeft},
                   {r.right - 2, r.bottom - 2, BottomRight}};
    for (const auto& corner : corners)
      EXPECT_EQ(ScreenColor(Form, 10 + corner.X, 10 + corner.Y), corner.Color) << corner.X << "," << corner.Y;
    // Outside the control the form shows through.
    EXPECT_EQ(ScreenColor(Form, 5, 5), 0xFFFFFFu);
    imager->Free();
  }
}

TEST_F(ImagerTest, SmoothStretchingBlendsAcrossTheQuadrantEdge) {
  TvcImager* imager = AddImager(RECT{0, 0, 80, 40});
  imager->SetDrawStyle(dsStretch);
  imager->Picture()->Assign(QuadrantPicture(4, 2).get());
  Form->Show();
  Pump();
  // Plain stretching keeps hard edges; bilinear stretching mixes the two sides in between.
  EXPECT_EQ(ScreenColor(Form, 40, 5), TopRight);
  imager->SetSmoothStretching(true);
  Pump();
  const uint32_t mixed = ScreenColor(Form, 40, 5);
  EXPECT_NE(mixed, TopLeft);
  EXPECT_NE(mixed, TopRight);
  // The corner pixel lies on the source pixel exactly.
  EXPECT_EQ(ScreenColor(Form, 0, 0), TopLeft);
}

// --- the work bitmap's size -----------------------------------------------------------------------

struct TSizeCase {
  const char* Name;
  bool PreProcess;
  TvcImagerDrawStyle Style;
  int32_t Angle;
  SIZE Picture;
  SIZE Expected;
};

// The control is 100 x 80.
const TSizeCase SizeCases[] = {
    {"scaled first, stretch: the control's size", false, dsStretch, 0, {320, 240}, {100, 80}},
    {"scaled first, proportional center: the control's",
     false,
     dsProportionalCenter,
     30,
     {320, 240},
     {100, 80}},
    {"scaled first but unscaled style: the picture's", false, dsCenter, 0, {320, 240}, {320, 240}},
    {"rotation: a square of the larger side", true, dsStretch, 10, {320, 240}, {320, 320}},
    {"rotation of a tall picture", true, dsNormal, -5, {30, 70}, {70, 70}},
    {"otherwise the picture's size", true, dsTile, 0, {30, 70}, {30, 70}},
};

TEST_F(ImagerTest, WorkBitmapSizeFollowsPreProcessStyleAndRotation) {
  for (const TSizeCase& Case : SizeCases) {
    SCOPED_TRACE(Case.Name);
    TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
    imager->SetPreProcess(Case.PreProcess);
    imager->SetDrawStyle(Case.Style);
    imager->BitmapOptions()->Rotation()->SetAngle(Case.Angle);
    imager->Picture()->Assign(QuadrantPicture(Case.Picture.cx, Case.Picture.cy).get());
    EXPECT_EQ(imager->WorkBitmap()->Width(), Case.Expected.cx);
    EXPECT_EQ(imager->WorkBitmap()->Height(), Case.Expected.cy);
    imager->Free();
  }
}

// Effects after scaling in a control of no size: the work bitmap stays empty, and neither the
// picture change nor a refresh nor painting keeps asking for a size that never comes.
TEST_F(ImagerTest, ControlOfNoSizeLeavesTheWorkBitmapEmpty) {
  TvcImager* imager = AddImager(RECT{0, 0, 0, 0});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsStretch);
  imager->Picture()->Assign(QuadrantPicture(8, 4).get());
  imager->RefreshEffects();
  Form->Show();
  Pump();
  EXPECT_TRUE(imager->WorkBitmap()->Empty());
  imager->SetBounds(0, 0, 16, 8);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 15, 7), BottomRight);
}

TEST_F(ImagerTest, RotatedPictureIsStretchedToItsSquareAndRotationSizesAtTheNextResize) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  imager->Picture()->Assign(QuadrantPicture(32, 24).get());
  // Switching the rotation on re-runs the pipeline at the current size ...
  imager->BitmapOptions()->Rotation()->SetAngle(180);
  EXPECT_EQ(imager->WorkBitmap()->Width(), 32);
  EXPECT_EQ(imager->WorkBitmap()->Height(), 24);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 1, 1), BottomRight);
  // ... and the square comes with the next picture change.
  imager->Picture()->Assign(QuadrantPicture(32, 24).get());
  ASSERT_EQ(imager->WorkBitmap()->Width(), 32);
  ASSERT_EQ(imager->WorkBitmap()->Height(), 32);
  // The picture fills the square (stretched, not padded), turned half round.
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 2, 2), BottomRight);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 29, 29), TopLeft);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 29, 2), BottomLeft);
}

TEST_F(ImagerTest, TiledBeforeEffectsOverTheWholeControl) {
  TvcImager* imager = AddImager(RECT{0, 0, 50, 30});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsTile);
  imager->BitmapOptions()->SetInverted(true);
  imager->Picture()->Assign(QuadrantPicture(20, 10).get());
  TvcBitmap* work = imager->WorkBitmap();
  ASSERT_EQ(work->Width(), 50);
  ASSERT_EQ(work->Height(), 30);
  // Tiles from the corner, cut at the edges, every one of them inverted.
  EXPECT_EQ(WorkColor(work, 1, 1), TopLeft ^ 0xFFFFFF);
  EXPECT_EQ(WorkColor(work, 21, 1), TopLeft ^ 0xFFFFFF);
  EXPECT_EQ(WorkColor(work, 38, 28), BottomRight ^ 0xFFFFFF);
  EXPECT_EQ(WorkColor(work, 49, 21), TopLeft ^ 0xFFFFFF);
}

TEST_F(ImagerTest, ResizingTheControlResizesAScaledFirstWorkBitmap) {
  TvcImager* imager = AddImager(RECT{0, 0, 40, 30});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsProportional);
  imager->Picture()->Assign(QuadrantPicture(20, 10).get());
  imager->SetBounds(5, 5, 64, 48);
  EXPECT_EQ(imager->WorkBitmap()->Width(), 64);
  EXPECT_EQ(imager->WorkBitmap()->Height(), 48);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 63, 47), BottomRight);
  EXPECT_FALSE(imager->BoundsChanging());
  // The parent was marked opaque only while the control moved.
  EXPECT_FALSE(Form->ControlStyle().Contains(csOpaque));
}

// --- the pipeline -------------------------------------------------------------------------------

TEST_F(ImagerTest, WithDefaultSettingsTheWorkBitmapIsAnExactCopy) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  auto picture = NoisePicture(33, 17, 1);
  imager->Picture()->Assign(picture.get());
  EXPECT_EQ(CompareWork(imager->WorkBitmap(), *picture), "");
  // Saturation 256 runs its step and changes nothing.
  imager->BitmapOptions()->SetSaturation(256);
  EXPECT_EQ(CompareWork(imager->WorkBitmap(), *picture), "");
}

// A picture of another size is stretched straight into the work bitmap. The result must be what
// drawing a bitmap copy of the picture stretched onto the work bitmap's canvas gives, for every
// kind of picture and both kinds of stretching.
struct TStretchCase {
  const char* Name;
  TPixelFormat Format;
  bool Smooth;
};

const TStretchCase StretchCases[] = {
    {"24-bit rows read in place, plain", pf24bit, false},
    {"24-bit rows read in place, bilinear", pf24bit, true},
    {"32-bit picture converted first, plain", pf32bit, false},
    {"32-bit picture converted first, bilinear", pf32bit, true},
    {"device bitmap converted first, bilinear", pfDevice, true},
};

TEST_F(ImagerTest, StretchIntoTheWorkBitmapMatchesADrawnStretch) {
  for (const TStretchCase& Case : StretchCases) {
    SCOPED_TRACE(Case.Name);
    for (SIZE size : {SIZE{23, 17}, SIZE{90, 70}}) {  // enlarged and reduced
      auto picture = NoisePicture(int(size.cx), int(size.cy), 6);
      picture->SetPixelFormat(Case.Format);
      TvcImager* imager = AddImager(RECT{0, 0, 40, 30});
      imager->SetPreProcess(false);
      imager->SetDrawStyle(dsStretch);
      imager->SetSmoothStretching(Case.Smooth);
      imager->Picture()->Assign(picture.get());

      TvcBitmap copy;
      copy.Assign(picture.get());
      copy.SetSmoothStretching(Case.Smooth);
      TvcBitmap expected;
      expected.CreateDib(40, 30);
      expected.Canvas()->StretchDraw(RECT{0, 0, 40, 30}, &copy);
      TvcBitmap* work = imager->WorkBitmap();
      ASSERT_EQ(work->Width(), 40);
      for (int y = 0; y < 30; ++y)
        ASSERT_EQ(std::memcmp(work->RowStart(y), expected.RowStart(y), 40 * 3), 0) << "row " << y;
      imager->Free();
    }
  }
}

// A transparent picture is drawn through its mask over what the work bitmap held before.
TEST_F(ImagerTest, TransparentPictureIsStretchedOverThePreviousContent) {
  TvcImager* imager = AddImager(RECT{0, 0, 40, 20});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsStretch);
  imager->Picture()->Assign(MakePatternBitmap(20, 10, [](int, int) { return 0x808080u; }).get());
  // Top-left quarter keyed out (the bitmap graphic's key is its top-left colour).
  auto keyed = QuadrantPicture(10, 10);
  keyed->SetTransparent(true);
  imager->Picture()->Assign(keyed.get());
  TvcBitmap* work = imager->WorkBitmap();
  EXPECT_EQ(WorkColor(work, 2, 2), 0x808080u);  // left alone: the earlier picture
  EXPECT_EQ(WorkColor(work, 37, 2), TopRight);  // the new picture's own pixels
  EXPECT_EQ(WorkColor(work, 37, 17), BottomRight);
}

// Each writer: the pipeline once when the value changes, never when it stays.
struct TSettingCase {
  const char* Name;
  std::function<void(TvcBitmapOptions*)> Set;
};

const TSettingCase SettingCases[] = {
    {"Lightness", [](TvcBitmapOptions* O) { O->SetLightness(40); }},
    {"Saturation", [](TvcBitmapOptions* O) { O->SetSaturation(300); }},
    {"Sponge", [](TvcBitmapOptions* O) { O->SetSponge(3); }},
    {"GaussianBlur", [](TvcBitmapOptions* O) { O->SetGaussianBlur(1); }},
    {"Contrast", [](TvcBitmapOptions* O) { O->SetContrast(50); }},
    {"Sharpen", [](TvcBitmapOptions* O) { O->SetSharpen(1); }},
    {"Embossed", [](TvcBitmapOptions* O) { O->SetEmbossed(true); }},
    {"Inverted", [](TvcBitmapOptions* O) { O->SetInverted(true); }},
    {"GrayScale", [](TvcBitmapOptions* O) { O->SetGrayScale(true); }},
    {"HorizontallyFlipped", [](TvcBitmapOptions* O) { O->SetHorizontallyFlipped(true); }},
    {"VerticallyFlipped", [](TvcBitmapOptions* O) { O->SetVerticallyFlipped(true); }},
    {"Color", [](TvcBitmapOptions* O) { O->SetColor(clTeal); }},
    {"TintColor", [](TvcBitmapOptions* O) { O->SetTintColor(clSkyBlue); }},
    {"AlphaBlend.Amount", [](TvcBitmapOptions* O) { O->AlphaBlend()->SetAmount(50); }},
    {"Rotation.Angle", [](TvcBitmapOptions* O) { O->Rotation()->SetAngle(15); }},
    {"Rotation.CenterX", [](TvcBitmapOptions* O) { O->Rotation()->SetCenterX(3); }},
    {"Rotation.CenterY", [](TvcBitmapOptions* O) { O->Rotation()->SetCenterY(4); }},
    {"Wave.XDiv", [](TvcBitmapOptions* O) { O->Wave()->SetXDiv(5); }},
    {"Wave.YDiv", [](TvcBitmapOptions* O) { O->Wave()->SetYDiv(5); }},
    {"Wave.Ratio", [](TvcBitmapOptions* O) { O->Wave()->SetRatio(2); }},
    {"Wave.Wrap", [](TvcBitmapOptions* O) { O->Wave()->SetWrap(true); }},
};

TEST_F(ImagerTest, EachSettingChangeRunsThePipelineOnceAndAnUnchangedValueNone) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  imager->Picture()->Assign(NoisePicture(24, 16, 2).get());
  int runs = 0;
  TvcChangeLink link;
  link.OnChange = TNotifyEvent([&](TObject* Sender) {
    ++runs;
    EXPECT_EQ(Sender, imager->WorkBitmap());
  });
  imager->RegisterLink(&link);
  for (const TSettingCase& Case : SettingCases) {
    SCOPED_TRACE(Case.Name);
    runs = 0;
    Case.Set(imager->BitmapOptions());
    EXPECT_EQ(runs, 1);
    Case.Set(imager->BitmapOptions());
    EXPECT_EQ(runs, 1);
  }
  // The blend bitmap and its transparency only store: the caller re-runs the effects.
  runs = 0;
  TvcBitmap blend;
  blend.CreateDib(4, 4);
  imager->BitmapOptions()->AlphaBlend()->SetBitmap(&blend);
  imager->BitmapOptions()->AlphaBlend()->SetTransparent(true);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(imager->BitmapOptions()->AlphaBlend()->Bitmap()->Transparent());
  imager->RefreshEffects();
  EXPECT_EQ(runs, 1);
  // Nothing runs while locked.
  imager->BitmapOptions()->LockUpdates();
  imager->BitmapOptions()->SetLightness(-20);
  imager->RefreshEffects();
  EXPECT_EQ(runs, 1);
  imager->UnregisterLink(&link);
}

TEST_F(ImagerTest, SwitchingASettingBackRestoresThePicture) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  auto picture = NoisePicture(24, 16, 3);
  imager->Picture()->Assign(picture.get());
  imager->BitmapOptions()->SetLightness(60);
  EXPECT_NE(CompareWork(imager->WorkBitmap(), *picture), "");
  imager->BitmapOptions()->SetLightness(0);
  EXPECT_EQ(CompareWork(imager->WorkBitmap(), *picture), "");
}

// Every setting reaches the chain with its own value: the control's result equals the chain run
// on a copy of the picture with the settings written out by hand.
TEST_F(ImagerTest, PipelineMatchesTheEffectChainWithEverySettingOn) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  auto picture = NoisePicture(30, 22, 4);
  TvcBitmap blend;
  blend.Assign(NoisePicture(7, 5, 5).get());
  TvcBitmapOptions* options = imager->BitmapOptions();
  options->LockUpdates();  // one run at the end, through a copy of the settings
  options->SetGrayScale(true);
  options->SetLightness(25);
  options->AlphaBlend()->SetBitmap(&blend);
  options->AlphaBlend()->SetAmount(40);
  options->SetColor(TColor(0x204060));
  options->SetTintColor(TColor(0x102030));
  options->SetSaturation(400);
  options->SetGaussianBlur(2);
  options->SetEmbossed(true);
  options->SetInverted(true);
  options->SetContrast(30);
  options->SetSharpen(1);
  options->SetHorizontallyFlipped(true);
  options->Wave()->SetXDiv(6);
  options->Wave()->SetYDiv(4);
  options->Wave()->SetRatio(3);
  options->Wave()->SetWrap(true);
  options->Rotation()->SetAngle(20);
  options->Rotation()->SetCenterX(5);
  options->Rotation()->SetCenterY(7);
  TvcBitmapOptions copy(nullptr);
  copy.Assign(options);

  TvcImager* second = AddImager(RECT{0, 0, 100, 80});
  second->Picture()->Assign(picture.get());
  second->BitmapOptions()->Assign(&copy);
  TvcBitmap* work = second->WorkBitmap();
  ASSERT_EQ(work->Width(), 30);  // rotation sizes the work bitmap only at the next resize

  TvcEffectSettings settings;
  settings.GrayScale = settings.Embossed = settings.Inverted = settings.HorizontallyFlipped = true;
  settings.Lightness = 25;
  settings.AlphaBlendAmount = 40;
  settings.Color = TColor(0x204060);
  settings.TintColor = TColor(0x102030);
  settings.Saturation = 400;
  settings.GaussianBlur = 2;
  settings.Contrast = 30;
  settings.Sharpen = 1;
  settings.WaveXDiv = 6;
  settings.WaveYDiv = 4;
  settings.WaveRatio = 3;
  settings.WaveWrap = true;
  settings.RotationAngle = 20;
  settings.RotationCenterX = 5;
  settings.RotationCenterY = 7;
  TvcBitmap expected;
  expected.Assign(picture.get());
  RunEffectChain(expected, settings, &blend);
  ASSERT_EQ(expected.ImageSize(), work->ImageSize());
  for (int y = 0; y < work->Height(); ++y)
    ASSERT_EQ(std::memcmp(work->RowStart(y), expected.RowStart(y), size_t(work->Width()) * 3), 0)
        << "row " << y;
}

TEST_F(ImagerTest, PublishedSettingsReadAndWriteByName) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  TvcBitmapOptions* options = imager->BitmapOptions();
  EXPECT_EQ(GetOrdProp(options, "Saturation"), -1);
  EXPECT_EQ(GetOrdProp(options, "Color"), clNone);
  EXPECT_EQ(GetOrdProp(options->Rotation(), "CenterX"), -1);
  SetOrdProp(options->Wave(), "Ratio", 7);
  EXPECT_EQ(options->Wave()->Ratio(), 7);
  SetOrdProp(options->AlphaBlend(), "Transparent", 1);
  EXPECT_TRUE(options->AlphaBlend()->Bitmap()->Transparent());
  EXPECT_EQ(GetObjectProp(imager, "BitmapOptions"), options);
  SetEnumProp(imager, "DrawStyle", "dsProportionalCenter");
  EXPECT_EQ(imager->DrawStyle(), dsProportionalCenter);
  EXPECT_TRUE(options->TileMode() == false);
  SetEnumProp(imager, "DrawStyle", "dsTile");
  EXPECT_TRUE(options->TileMode());
  // No setting has a default that a form resource would leave out.
  for (const char* name : {"Saturation", "Color", "Lightness", "GrayScale"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(GetPropInfo(options, name)->HasDefault);
  }
}

// --- copying the processed picture out ------------------------------------------------------------

TEST_F(ImagerTest, CopyOutAfterADifferentPictureHasTheNewPicturesColours) {
  TvcImager* imager = AddImager(RECT{0, 0, 40, 30});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsStretch);
  // First an 8-bit picture of the control's size: copied in as is, and out in its own format.
  auto indexed = QuadrantPicture(40, 30);
  indexed->SetPixelFormat(pf8bit);
  imager->Picture()->Assign(indexed.get());
  TBitmap first;
  first.Assign(imager->WorkBitmap());
  EXPECT_EQ(first.PixelFormat(), pf8bit);
  // Then a true-colour picture of another size, with colours no 8-bit palette holds: the copy
  // has them all, at 24 bits.
  auto fine = MakePatternBitmap(
      80, 60, [](int X, int Y) { return uint32_t(0x123456 + X * 0x010203 + Y * 0x020100); });
  imager->Picture()->Assign(fine.get());
  TBitmap second;
  second.Assign(imager->WorkBitmap());
  EXPECT_EQ(second.PixelFormat(), pf24bit);
  for (int y = 0; y < 30; y += 7)
    for (int x = 0; x < 40; x += 9)
      EXPECT_EQ(BitmapColor(second, x, y), WorkColor(imager->WorkBitmap(), x, y));
  // The clipboard gets the same processed picture.
  imager->CopyToClipboard();
  TBitmap pasted;
  pasted.Assign(Clipboard());
  ASSERT_EQ(pasted.Width(), 40);
  EXPECT_EQ(BitmapColor(pasted, 39, 29), WorkColor(imager->WorkBitmap(), 39, 29));
}

// --- clipboard keys -------------------------------------------------------------------------------

TEST_F(ImagerTest, ClipboardKeysCopyPasteAndCut) {
  TvcImager* imager = AddImager(RECT{0, 0, 100, 80});
  imager->SetFocusable(true);
  ASSERT_NE(imager->FocusWindow(), nullptr);
  imager->BitmapOptions()->SetInverted(true);
  imager->Picture()->Assign(QuadrantPicture(20, 10).get());
  Form->Show();
  Pump();
  imager->FocusImage();
  Pump();
  ASSERT_TRUE(imager->ShowingFocus());

  auto chord = [&](int Modifier, int Key) {
    InjectKey(Modifier, true);
    InjectKeyStroke(Key);
    InjectKey(Modifier, false);
    Pump();
  };
  // Ctrl+Insert: the processed (inverted) picture goes to the clipboard.
  chord(VK_CONTROL, VK_INSERT);
  ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  TBitmap copied;
  copied.Assign(Clipboard());
  EXPECT_EQ(BitmapColor(copied, 1, 1), TopLeft ^ 0xFFFFFF);

  // Shift+Insert: a bitmap on the clipboard becomes the picture.
  Clipboard()->Assign(QuadrantPicture(8, 6).get());
  chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(imager->Picture()->Width(), 8);
  EXPECT_EQ(imager->WorkBitmap()->Width(), 8);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 7, 5), BottomRight ^ 0xFFFFFF);

  // Shift+Delete: copied, then the picture is cleared, and with it the work bitmap.
  chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(imager->Picture()->Graphic(), nullptr);
  EXPECT_TRUE(imager->WorkBitmap()->Empty());
  TBitmap cut;
  cut.Assign(Clipboard());
  EXPECT_EQ(cut.Width(), 8);

  // Ctrl+V (character 22) pastes again.
  chord(VK_CONTROL, 'V');
  EXPECT_EQ(imager->Picture()->Width(), 8);
}

TEST_F(ImagerTest, CutKeepsAWorkBitmapOfTheControlsSize) {
  TvcImager* imager = AddImager(RECT{0, 0, 30, 20});
  imager->SetPreProcess(false);
  imager->SetDrawStyle(dsStretch);
  imager->Picture()->Assign(QuadrantPicture(10, 10).get());
  imager->CutToClipboard();
  EXPECT_TRUE(imager->PictureEmpty());
  EXPECT_EQ(imager->WorkBitmap()->Width(), 30);
  // Pasting with nothing on the clipboard does nothing.
  Clipboard()->Clear();
  imager->PasteFromClipboard();
  EXPECT_TRUE(imager->PictureEmpty());
}

TEST_F(ImagerTest, FocusWindowExistsWhileFocusableOrTabStop) {
  TvcImager* imager = AddImager(RECT{0, 0, 30, 20});
  EXPECT_EQ(imager->FocusWindow(), nullptr);
  imager->SetTabStop(true);
  ASSERT_NE(imager->FocusWindow(), nullptr);
  EXPECT_TRUE(imager->FocusWindow()->TabStop());
  EXPECT_EQ(imager->FocusWindow()->Parent(), Form);
  EXPECT_EQ(imager->FocusWindow()->Width(), 0);
  // A tab order change frees it unless the control is focusable.
  imager->SetTabOrder(3);
  EXPECT_EQ(imager->FocusWindow(), nullptr);
  imager->SetFocusable(true);
  imager->SetTabOrder(0);
  ASSERT_NE(imager->FocusWindow(), nullptr);
  imager->SetFocusable(false);
  imager->SetTabStop(false);
  EXPECT_EQ(imager->FocusWindow(), nullptr);
  // A focus window left when the control goes is freed with it.
  imager->SetFocusable(true);
  imager->Free();
}

// --- events, size and loading ---------------------------------------------------------------------

TEST_F(ImagerTest, AutoSizeFollowsThePictureUnlessAligned) {
  TvcImager* imager = AddImager(RECT{5, 6, 100, 80});
  imager->Picture()->Assign(QuadrantPicture(30, 20).get());
  imager->SetAutoSize(true);
  EXPECT_EQ(imager->BoundsRect(), (RECT{5, 6, 35, 26}));
  imager->Picture()->Assign(QuadrantPicture(12, 14).get());
  EXPECT_EQ(imager->BoundsRect(), (RECT{5, 6, 17, 20}));

  TvcImager* client = AddImager(RECT{0, 0, 50, 50});
  client->SetAlign(alClient);
  client->SetAutoSize(true);
  client->Picture()->Assign(QuadrantPicture(12, 14).get());
  EXPECT_EQ(client->Width(), Form->ClientWidth());
  EXPECT_EQ(client->Height(), Form->ClientHeight());
}

TEST_F(ImagerTest, RespectPaletteIsOffInTheWorkBitmapWhileAColourEffectIsOn) {
  TvcImager* imager = AddImager(RECT{0, 0, 30, 20});
  EXPECT_TRUE(imager->WorkBitmap()->RespectPalette());
  imager->BitmapOptions()->SetColor(clRed);
  imager->SetRespectPalette(true);
  EXPECT_TRUE(imager->RespectPalette());
  EXPECT_FALSE(imager->WorkBitmap()->RespectPalette());
  imager->BitmapOptions()->SetColor(clNone);
  imager->SetRespectPalette(true);
  EXPECT_TRUE(imager->WorkBitmap()->RespectPalette());
}

TEST_F(ImagerTest, WhileLoadingNothingIsProcessedUntilTheFirstPaint) {
  TvcImager* imager = AddImager(RECT{0, 0, 60, 40});
  imager->SetComponentState(imager->ComponentState() + csLoading);
  imager->Picture()->Assign(QuadrantPicture(20, 10).get());
  imager->BitmapOptions()->SetInverted(true);
  EXPECT_TRUE(imager->WorkBitmap()->Empty());
  imager->Loaded();
  EXPECT_TRUE(imager->WorkBitmap()->Empty());
  Form->Show();
  Pump();
  ASSERT_EQ(imager->WorkBitmap()->Width(), 20);
  EXPECT_EQ(WorkColor(imager->WorkBitmap(), 0, 0), TopLeft ^ 0xFFFFFF);
  EXPECT_EQ(ScreenColor(Form, 1, 1), TopLeft ^ 0xFFFFFF);
}

// Form resources carry every setting (none is left out as a default) and the picture; a form
// read back processes its picture at the first paint.
TEST_F(ImagerTest, FormResourceRoundTripKeepsSettingsAndPicture) {
  TvcImager* imager = AddImager(RECT{4, 4, 64, 44});
  imager->SetName("ImageMain");
  imager->SetDrawStyle(dsProportional);
  imager->SetPreProcess(false);
  imager->SetSmoothStretching(true);
  imager->Picture()->Assign(QuadrantPicture(30, 20).get());
  imager->BitmapOptions()->SetInverted(true);
  imager->BitmapOptions()->Wave()->SetXDiv(9);
  imager->BitmapOptions()->AlphaBlend()->SetTransparent(true);
  imager->SetTabStop(true);
  const std::string text = WriteComponentText(Form);
  // The focus window is the control's own business, made again when the form is read.
  EXPECT_EQ(text.find("TvcImagerWinControl"), std::string::npos);
  SCOPED_TRACE(text);
  EXPECT_NE(text.find("BitmapOptions.Saturation = -1"), std::string::npos);
  EXPECT_NE(text.find("BitmapOptions.Rotation.CenterX = -1"), std::string::npos);

  TForm* copy = new TForm(nullptr, 0);
  ReadComponentText(copy, text);
  auto* read = dynamic_cast<TvcImager*>(copy->FindComponent("ImageMain"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DrawStyle(), dsProportional);
  EXPECT_FALSE(read->PreProcess());
  EXPECT_TRUE(read->SmoothStretching());
  EXPECT_TRUE(read->BitmapOptions()->Inverted());
  EXPECT_EQ(read->BitmapOptions()->Wave()->XDiv(), 9);
  EXPECT_TRUE(read->BitmapOptions()->AlphaBlend()->Transparent());
  ASSERT_NE(read->FocusWindow(), nullptr);
  EXPECT_EQ(read->FocusWindow()->Parent(), copy);
  EXPECT_EQ(read->Picture()->Width(), 30);
  EXPECT_TRUE(read->WorkBitmap()->Empty());
  copy->Show();
  Pump();
  ASSERT_EQ(read->WorkBitmap()->Width(), 60);
  EXPECT_EQ(WorkColor(read->WorkBitmap(), 0, 0), TopLeft ^ 0xFFFFFF);
  copy->Free();
}

TEST_F(ImagerTest, EnterAndExitFireWithTheControlAndSwallowHandlerErrors) {
  TvcImager* imager = AddImager(RECT{0, 0, 30, 20});
  std::vector<std::string> events;
  imager->OnEnter = TNotifyEvent([&](TObject* Sender) {
    EXPECT_EQ(Sender, imager);
    events.push_back("enter");
    throw Exception("handler failed");
  });
  imager->OnExit = TNotifyEvent([&](TObject*) { events.push_back("exit"); });
  imager->ImageEnter();
  imager->ImageExit();
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));
  EXPECT_FALSE(imager->ShowingFocus());
}

}  // namespace
