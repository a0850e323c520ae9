// The effect chain of the image pipeline: the fixed order, the off values, the argument
// conversions, the blend's stretch and cache, the stretches, and the image control's geometry.

#include "vcontrols/imaging/effectchain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "tests/vcontrols/imaging/effectreference.h"
#include "tests/vcontrols/imaging/image_support.h"
#include "vcontrols/imaging/imagerlayout.h"
#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/stretch.h"

namespace {

// A chain target that only writes down what it was asked to do.
struct TRecordingTarget {
  std::vector<std::string> Calls;
  void ApplyGrayScale() { Calls.push_back("GrayScale"); }
  void ApplyLightness(int32_t A) { Calls.push_back(Format("Lightness %d", A)); }
  void ApplyAlphaBlend(const TvcBlendSource*, int32_t A, bool Stretch) {
    Calls.push_back(Format("AlphaBlend %d %s", A, Stretch ? "stretch" : "exact"));
  }
  void ApplyColor(int32_t R, int32_t G, int32_t B) { Calls.push_back(Format("Color %d %d %d", R, G, B)); }
  void ApplyTint(int32_t R, int32_t G, int32_t B) { Calls.push_back(Format("Tint %d %d %d", R, G, B)); }
  void ApplySponge(int32_t A) { Calls.push_back(Format("Sponge %d", A)); }
  void ApplySaturation(int32_t A) { Calls.push_back(Format("Saturation %d", A)); }
  void ApplyGaussianBlur(int32_t A) { Calls.push_back(Format("GaussianBlur %d", A)); }
  void ApplyEmboss() { Calls.push_back("Emboss"); }
  void ApplyInvert() { Calls.push_back("Invert"); }
  void ApplyContrast(int32_t A) { Calls.push_back(Format("Contrast %d", A)); }
  void ApplySharpen(int32_t A) { Calls.push_back(Format("Sharpen %d", A)); }
  void ApplyFlip(bool Horizontal) { Calls.push_back(Horizontal ? "Flip horizontal" : "Flip vertical"); }
  void ApplyWave(bool Wrap, long double X, long double Y, long double R) {
    Calls.push_back(Format("Wave %s %g %g %g", Wrap ? "wrap" : "clip", double(X), double(Y), double(R)));
  }
  void ApplyRotation(POINT C, long double A) {
    Calls.push_back(Format("Rotation %d %d %g", int(C.x), int(C.y), double(A)));
  }
};

TvcEffectSettings EverythingOn() {
  TvcEffectSettings s;
  s.GrayScale = true;
  s.Lightness = 60;
  s.AlphaBlendAmount = 75;
  s.Color = clBtnFace;
  s.TintColor = 0x0180FF;
  s.Sponge = 10;
  s.Saturation = 500;
  s.GaussianBlur = 2;
  s.Embossed = true;
  s.Inverted = true;
  s.Contrast = 80;
  s.Sharpen = 1;
  s.HorizontallyFlipped = true;
  s.VerticallyFlipped = true;
  s.WaveWrap = true;
  s.WaveXDiv = 20;
  s.WaveYDiv = 15;
  s.WaveRatio = 5;
  s.RotationCenterX = 3;
  s.RotationCenterY = -1;
  s.RotationAngle = 10;
  return s;
}

TEST(EffectChainTest, RunsEveryEffectInItsFixedOrder) {
  TTestImage blend(2, 2);
  const TvcBlendSource source{blend.Raster()};
  TRecordingTarget target;
  RunEffectChain(target, EverythingOn(), &source);
  const uint32_t face = uint32_t(ColorToRGB(clBtnFace));
  const std::vector<std::string> expected = {
      "GrayScale",
      "Lightness 60",
      "AlphaBlend 75 stretch",
      Format("Color %d %d %d", face & 0xFF, (face >> 8) & 0xFF, face >> 16),  // system colour resolved
      "Tint 127 64 0",  // each byte of 0x0180FF halved: red FF, green 80, blue 01
      "Sponge 10",
      "Saturation 500",
      "GaussianBlur 2",
      "Emboss",
      "Invert",
      "Contrast 80",
      "Sharpen 1",
      "Flip horizontal",
      "Flip vertical",
      "Wave wrap 20 15 5",
      "Rotation 3 -1 10",
  };
  EXPECT_EQ(target.Calls, expected);
}

TEST(EffectChainTest, OffValuesSkipTheirSteps) {
  struct TCase {
    const char* Name;
    void (*Change)(TvcEffectSettings&);
    std::vector<std::string> Expected;
  } cases[] = {
      {"defaults run nothing", [](TvcEffectSettings&) {}, {}},
      {"saturation -1 is off", [](TvcEffectSettings& S) { S.Saturation = -1; }, {}},
      {"saturation 0 runs", [](TvcEffectSettings& S) { S.Saturation = 0; }, {"Saturation 0"}},
      {"saturation 256 runs", [](TvcEffectSettings& S) { S.Saturation = 256; }, {"Saturation 256"}},
      {"wave needs all three values", [](TvcEffectSettings& S) { S.WaveRatio = 5, S.WaveXDiv = 20; }, {}},
      {"wave wrap alone is off", [](TvcEffectSettings& S) { S.WaveWrap = true; }, {}},
      {"rotation centre alone is off", [](TvcEffectSettings& S) { S.RotationCenterX = 10; }, {}},
      {"blend amount without a blend bitmap", [](TvcEffectSettings& S) { S.AlphaBlendAmount = 50; }, {}},
      {"colour black is on", [](TvcEffectSettings& S) { S.Color = clBlack; }, {"Color 0 0 0"}},
      {"tint white halves to 127", [](TvcEffectSettings& S) { S.TintColor = clWhite; }, {"Tint 127 127 127"}},
      {"negative lightness runs", [](TvcEffectSettings& S) { S.Lightness = -1; }, {"Lightness -1"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TvcEffectSettings settings;
    c.Change(settings);
    TRecordingTarget target;
    RunEffectChain(target, settings, static_cast<const TvcBlendSource*>(nullptr));
    EXPECT_EQ(target.Calls, c.Expected);
  }
}

// The order shows in the pixels: colour acts on the grey picture, contrast on the inverted one,
// and the two flips turn the picture before it is rotated.
TEST(EffectChainTest, OrderShowsInThePixels) {
  TvcEffectWorkspace workspace;
  const TTestImage original = TTestImage::Random(9, 7, 31);

  struct TCase {
    const char* Name;
    void (*Change)(TvcEffectSettings&);
    void (*ByHand)(const TvcRaster&, TvcEffectScratch&);
    void (*OtherOrder)(const TvcRaster&, TvcEffectScratch&);
  } cases[] = {
      {"grey then colour", [](TvcEffectSettings& S) { S.GrayScale = true, S.Color = 0x3050F0; },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyGrayScale(R, Scratch), vcfx::ApplyColor(R, 0xF0, 0x50, 0x30, nullptr, Scratch);
       },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyColor(R, 0xF0, 0x50, 0x30, nullptr, Scratch), vcfx::ApplyGrayScale(R, Scratch);
       }},
      {"invert then contrast", [](TvcEffectSettings& S) { S.Inverted = true, S.Contrast = 120; },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyInvert(R, Scratch), vcfx::ApplyContrast(R, 120, Scratch);
       },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyContrast(R, 120, Scratch), vcfx::ApplyInvert(R, Scratch);
       }},
      {"flips then rotation",
       [](TvcEffectSettings& S) {
         S.HorizontallyFlipped = S.VerticallyFlipped = true, S.RotationAngle = 30, S.RotationCenterX = 2;
       },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyFlip(R, true, Scratch), vcfx::ApplyFlip(R, false, Scratch),
             vcfx::ApplyRotation(R, 2, -1, 30, Scratch);
       },
       [](const TvcRaster& R, TvcEffectScratch& Scratch) {
         vcfx::ApplyRotation(R, 2, -1, 30, Scratch), vcfx::ApplyFlip(R, true, Scratch),
             vcfx::ApplyFlip(R, false, Scratch);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TvcEffectSettings settings;
    c.Change(settings);
    TTestImage chained = original, byHand = original, otherOrder = original;
    TvcRasterTarget target(chained.Raster(), workspace);
    RunEffectChain(target, settings, static_cast<const TvcBlendSource*>(nullptr));
    c.ByHand(byHand.Raster(), workspace.Scratch);
    c.OtherOrder(otherOrder.Raster(), workspace.Scratch);
    EXPECT_SAME_IMAGE(chained, byHand);
    EXPECT_NE(DescribeDifference(chained, otherOrder), "");
  }
}

TEST(EffectChainTest, ColourSparesTheTargetsKeyColour) {
  TTestImage image = TTestImage::FromColors(2, {0xFF0000, 0x00FF00});
  TvcEffectWorkspace workspace;
  TvcRasterTarget target(image.Raster(), workspace, clBlue);  // clBlue is 0xFF0000 as a TColor: RGB 0000FF
  target.ApplyColor(0, 0, 0);
  EXPECT_EQ(image.Color(0, 0), 0x3F0000u);
  TTestImage keyed = TTestImage::FromColors(2, {0x0000FF, 0x00FF00});
  TvcRasterTarget keyedTarget(keyed.Raster(), workspace, clBlue);
  keyedTarget.ApplyColor(0, 0, 0);
  EXPECT_EQ(keyed.Color(0, 0), 0x0000FFu);
  EXPECT_EQ(keyed.Color(1, 0), 0x003F00u);
}

TEST(EffectChainTest, AlphaBlendStretchesAndCachesTheBlendBitmap) {
  TvcEffectWorkspace workspace;
  TTestImage blend = TTestImage::Random(3, 2, 41);
  for (bool smooth : {true, false}) {
    SCOPED_TRACE(smooth ? "bilinear" : "plain");
    TvcBlendSource source{blend.Raster(), false, smooth};
    for (int frame = 0; frame < 3; ++frame) {
      if (frame == 2) blend.SetColor(1, 1, blend.Color(1, 1) ^ 0x808080);  // changed behind the cache
      TTestImage image = TTestImage::Random(7, 5, 42);
      TTestImage expected = image;
      TTestImage stretched(7, 5);
      if (smooth)
        vcreference::SmoothStretch(blend.Raster(), stretched.Raster());
      else
        vcfx::PlainStretch(blend.Raster(), stretched.Raster(), workspace.Scratch);
      vcreference::ApplyAlphaBlend(expected.Raster(), stretched.Raster(), 100, nullptr);
      TvcRasterTarget(image.Raster(), workspace).ApplyAlphaBlend(&source, 100, true);
      EXPECT_SAME_IMAGE(image, expected) << "frame " << frame;
    }
  }
}

TEST(EffectChainTest, AlphaBlendKeysOnTheStretchedTopLeftWhenTransparent) {
  TvcEffectWorkspace workspace;
  TTestImage blend = TTestImage::FromColors(2, {0x000000, 0x0000FF, 0x0000FF, 0x0000FF});
  TTestImage image(4, 4, {255, 255, 255});
  const TvcBlendSource transparent{blend.Raster(), true, false};
  TvcRasterTarget(image.Raster(), workspace).ApplyAlphaBlend(&transparent, 128, true);
  EXPECT_EQ(image.Color(0, 0), 0xFFFFFFu);  // black blend pixels leave the picture alone
  EXPECT_EQ(image.Color(3, 3), 0x7F7FFFu);
}

TEST(EffectChainTest, AlphaBlendOfAnotherSizeWithoutStretchRaises) {
  TvcEffectWorkspace workspace;
  TTestImage blend(3, 3, {0, 0, 0});
  TTestImage image = TTestImage::Random(4, 4, 43);
  const TTestImage before = image;
  try {
    const TvcBlendSource source{blend.Raster()};
    TvcRasterTarget(image.Raster(), workspace).ApplyAlphaBlend(&source, 128, false);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap");
  }
  EXPECT_SAME_IMAGE(image, before);
}

// --- stretches --------------------------------------------------------------------------------

TEST(StretchTest, BilinearMatchesTheRuleAndItsExample) {
  TvcEffectScratch scratch;
  TTestImage row = TTestImage::Levels(2, {0, 255});
  TTestImage four(4, 1);
  vcfx::SmoothStretch(row.Raster(), four.Raster(), scratch);
  EXPECT_EQ(four.Channels(), (std::vector<uint8_t>{0, 0, 0, 63, 63, 63, 127, 127, 127, 191, 191, 191}));

  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {1, 5}, {5, 1}, {7, 5}, {64, 33}};
  for (auto [sw, sh] : sizes)
    for (auto [tw, th] : sizes) {
      SCOPED_TRACE(Format("%dx%d to %dx%d", sw, sh, tw, th));
      TTestImage source = TTestImage::Random(sw, sh, uint64_t(sw * 100 + sh));
      TTestImage fast(tw, th), reference(tw, th);
      vcfx::SmoothStretch(source.Raster(), fast.Raster(), scratch);
      vcreference::SmoothStretch(source.Raster(), reference.Raster());
      // (At 1:1 the rule is not a copy: the steps map w pixels onto w - 1 spans. Drawing at
      // the same size never stretches, so that case does not arise in use.)
      EXPECT_SAME_IMAGE(fast, reference);
    }
}

// The plain stretch samples as the graphics layer's StretchBlt does in COLORONCOLOR mode.
TEST(StretchTest, PlainStretchSamplesLikeStretchBlt) {
  TvcEffectScratch scratch;
  auto makeSection = [](int32_t Width, int32_t Height, void** Bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, Bits, nullptr, 0);
  };
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {3, 2}, {7, 5}, {20, 3}};
  for (auto [sw, sh] : sizes)
    for (auto [tw, th] : sizes) {
      SCOPED_TRACE(Format("%dx%d to %dx%d", sw, sh, tw, th));
      TTestImage source = TTestImage::Random(sw, sh, 7);
      void* sourceBits = nullptr;
      void* targetBits = nullptr;
      HBITMAP sourceSection = makeSection(sw, sh, &sourceBits);
      HBITMAP targetSection = makeSection(tw, th, &targetBits);
      ASSERT_TRUE(sourceSection && targetSection);
      for (int32_t y = 0; y < sh; ++y)
        std::memcpy(static_cast<uint8_t*>(sourceBits) + y * vcRowSize(sw), source.Raster().Row(y),
                    size_t(sw) * 3);
      HDC sourceDC = CreateCompatibleDC(nullptr), targetDC = CreateCompatibleDC(nullptr);
      HGDIOBJ oldSource = SelectObject(sourceDC, sourceSection),
              oldTarget = SelectObject(targetDC, targetSection);
      SetStretchBltMode(targetDC, COLORONCOLOR);
      StretchBlt(targetDC, 0, 0, tw, th, sourceDC, 0, 0, sw, sh, SRCCOPY);
      TTestImage viaGdi(tw, th), ours(tw, th);
      for (int32_t y = 0; y < th; ++y)
        std::memcpy(viaGdi.Raster().Row(y), static_cast<uint8_t*>(targetBits) + y * vcRowSize(tw),
                    size_t(tw) * 3);
      vcfx::PlainStretch(source.Raster(), ours.Raster(), scratch);
      EXPECT_SAME_IMAGE(ours, viaGdi);
      SelectObject(sourceDC, oldSource);
      SelectObject(targetDC, oldTarget);
      DeleteDC(sourceDC);
      DeleteDC(targetDC);
      DeleteObject(sourceSection);
      DeleteObject(targetSection);
    }
}

TEST(StretchTest, TileCopyRepeatsFromTheTopLeft) {
  TTestImage tile = TTestImage::Levels(2, {1, 2, 3, 4});
  TTestImage target(5, 3);
  vcfx::TileCopy(tile.Raster(), target.Raster());
  std::vector<uint8_t> levels;
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) levels.push_back(target.Pixel(x, y).Blue);
  EXPECT_EQ(levels, (std::vector<uint8_t>{1, 2, 1, 2, 1, 3, 4, 3, 4, 3, 1, 2, 1, 2, 1}));
  EXPECT_TRUE(target.PadsIntact());
}

// --- the image control's geometry -------------------------------------------------------------

TEST(ImagerLayoutTest, WorkBitmapSizeRules) {
  struct TCase {
    const char* Name;
    bool PreProcess;
    TvcImagerDrawStyle Style;
    int32_t Angle;
    SIZE Expected;
  } cases[] = {
      // picture 320 x 240, control 500 x 100
      {"effects after scaling with a scaling style: control size", false, dsProportional, 10, {500, 100}},
      {"tile without pre-processing: control size", false, dsTile, 0, {500, 100}},
      {"stretch without pre-processing", false, dsStretch, 0, {500, 100}},
      {"centre is no scaling style: picture size", false, dsCenter, 0, {320, 240}},
      {"rotation makes a square of the larger side", true, dsStretch, 10, {320, 320}},
      {"rotation with a non-scaling style", false, dsNormal, -90, {320, 320}},
      {"otherwise the picture size", true, dsProportionalCenter, 0, {320, 240}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(WorkBitmapExtent(c.PreProcess, c.Style, c.Angle, SIZE{320, 240}, SIZE{500, 100}), c.Expected);
  }
}

TEST(ImagerLayoutTest, DrawRectanglePerStyle) {
  struct TCase {
    const char* Name;
    TvcImagerDrawStyle Style;
    RECT Expected;
  } cases[] = {
      // control 200 x 100, picture 40 x 30, work bitmap 400 x 100
      {"normal: the picture's size at the origin", dsNormal, {0, 0, 40, 30}},
      {"centre: offsets from the work bitmap", dsCenter, {-100, 0, 300, 100}},
      {"stretch: the client area", dsStretch, {0, 0, 200, 100}},
      {"tile: the client area", dsTile, {0, 0, 200, 100}},
      {"proportional: top left", dsProportional, {0, 0, 200, 50}},
      {"proportional centre", dsProportionalCenter, {0, 25, 200, 75}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ImagerDrawRect(c.Style, SIZE{200, 100}, SIZE{40, 30}, SIZE{400, 100}), c.Expected);
  }
}

}  // namespace
