#pragma once
// The effect chain of the image control's pipeline: which effects run, in which fixed order,
// with which arguments. The order is part of what the user sees (grey scale before colour, so
// the colour tints the grey picture; invert before contrast; both flips before wave and
// rotation), so it is written down once, here, as a template over the target: the bitmap graphic
// runs it on itself, and TvcRasterTarget runs it on a bare raster for tests and benchmarks.

#include <cstdint>
#include <vector>

#include "platform/gdi/colors.h"
#include "platform/rtl/wintypes.h"
#include "vcontrols/imaging/effectscratch.h"
#include "vcontrols/imaging/random.h"
#include "vcontrols/imaging/raster.h"

// The settings the chain reads; the image control's options object holds them. Every field's
// default is its "off" value.
struct TvcEffectSettings {
  bool GrayScale = false;
  int32_t Lightness = 0;
  int32_t AlphaBlendAmount = 0;
  TColor Color = clNone;
  TColor TintColor = clNone;
  int32_t Sponge = 0;
  int32_t Saturation = -1;
  int32_t GaussianBlur = 0;
  bool Embossed = false;
  bool Inverted = false;
  int32_t Contrast = 0;
  int32_t Sharpen = 0;
  bool HorizontallyFlipped = false;
  bool VerticallyFlipped = false;
  bool WaveWrap = false;
  int32_t WaveXDiv = 0;
  int32_t WaveYDiv = 0;
  int32_t WaveRatio = 0;
  int32_t RotationCenterX = -1;
  int32_t RotationCenterY = -1;
  int32_t RotationAngle = 0;
};

// Whether any step of the chain is on.
bool vcAnyEffect(const TvcEffectSettings& Settings);

// Runs the chain. TTarget has the bitmap graphic's effect operations; its alpha blend takes a
// TBlend pointer (TBlend has Empty()). A null or empty blend skips the blend step. A target with
// an effect workspace keeps its worker threads ready from one step to the next.
template <class TTarget, class TBlend>
void RunEffectChain(TTarget& Target, const TvcEffectSettings& Settings, const TBlend* Blend) {
  TvcBandPool* bands = nullptr;
  if constexpr (requires { Target.Workspace().Scratch.Bands(); }) bands = &Target.Workspace().Scratch.Bands();
  const TvcBandHold hold(vcAnyEffect(Settings) ? bands : nullptr);
  if (Settings.GrayScale) Target.ApplyGrayScale();
  if (Settings.Lightness != 0) Target.ApplyLightness(Settings.Lightness);
  // The blend bitmap rarely has the picture's size: stretching is always allowed here.
  if (Settings.AlphaBlendAmount != 0 && Blend && !Blend->Empty())
    Target.ApplyAlphaBlend(Blend, Settings.AlphaBlendAmount, true);
  if (Settings.Color != clNone) {
    const uint32_t rgb = uint32_t(ColorToRGB(Settings.Color));
    Target.ApplyColor(int32_t(rgb & 0xFF), int32_t((rgb >> 8) & 0xFF), int32_t((rgb >> 16) & 0xFF));
  }
  // Half of each channel: a tint only brightens, by at most 127.
  if (Settings.TintColor != clNone) {
    const uint32_t rgb = uint32_t(ColorToRGB(Settings.TintColor));
    Target.ApplyTint(int32_t((rgb & 0xFF) >> 1), int32_t(((rgb >> 8) & 0xFF) >> 1),
                     int32_t(((rgb >> 16) & 0xFF) >> 1));
  }
  if (Settings.Sponge != 0) Target.ApplySponge(Settings.Sponge);
  if (Settings.Saturation != -1) Target.ApplySaturation(Settings.Saturation);
  if (Settings.GaussianBlur != 0) Target.ApplyGaussianBlur(Settings.GaussianBlur);
  if (Settings.Embossed) Target.ApplyEmboss();
  if (Settings.Inverted) Target.ApplyInvert();
  if (Settings.Contrast != 0) Target.ApplyContrast(Settings.Contrast);
  if (Settings.Sharpen != 0) Target.ApplySharpen(Settings.Sharpen);
  if (Settings.HorizontallyFlipped) Target.ApplyFlip(true);
  if (Settings.VerticallyFlipped) Target.ApplyFlip(false);
  if (Settings.WaveRatio != 0 && Settings.WaveXDiv != 0 && Settings.WaveYDiv != 0)
    Target.ApplyWave(Settings.WaveWrap, (long double)Settings.WaveXDiv, (long double)Settings.WaveYDiv,
                     (long double)Settings.WaveRatio);
  if (Settings.RotationAngle != 0)
    Target.ApplyRotation(POINT{Settings.RotationCenterX, Settings.RotationCenterY},
                         (long double)Settings.RotationAngle);
}

// A blend bitmap as the raster-level blend sees it.
struct TvcBlendSource {
  TvcRaster Bitmap;
  bool Transparent = false;
  bool SmoothStretching = false;
  bool Empty() const { return Bitmap.Empty(); }
};

// The blend bitmap stretched to the picture's size, kept while neither the blend's pixels, its
// size, its smoothing nor the target size change: the live picture blends the same bitmap into
// every frame, and stretching it is the larger part of the blend's cost. The pixels are checked
// by comparison with a copy, so a change made behind the bitmap's back is noticed too.
class TvcBlendCache {
 public:
  // The blend at Width x Height (Source itself when it already has that size).
  TvcRaster Stretched(const TvcBlendSource& Source, int32_t Width, int32_t Height, TvcEffectScratch& Scratch);
  void Clear();

 private:
  bool Matches(const TvcBlendSource& Source, int32_t Width, int32_t Height) const;

  std::vector<uint8_t> FSourceCopy;
  std::vector<uint8_t> FStretched;
  int32_t FSourceWidth = 0, FSourceHeight = 0, FWidth = 0, FHeight = 0;
  bool FSmooth = false;
  bool FValid = false;
};

// What a bitmap keeps for its effects between runs: the scratch buffers and the blend cache.
struct TvcEffectWorkspace {
  TvcEffectScratch Scratch;
  TvcBlendCache BlendCache;
};

// The chain's target over a bare raster (the bitmap graphic runs the same operations on its own
// rows). TransparentColor is the key colour ApplyColor leaves alone (clNone: none).
class TvcRasterTarget {
 public:
  TvcRasterTarget(const TvcRaster& Image, TvcEffectWorkspace& Workspace, TColor TransparentColor = clNone,
                  TvcRandom& Random = vcSharedRandom())
      : FImage(Image), FWorkspace(Workspace), FTransparentColor(TransparentColor), FRandom(Random) {}

  void ApplyGrayScale();
  void ApplyLightness(int32_t Amount);
  // Raises EInvalidOperation when the sizes differ and stretching is not allowed.
  void ApplyAlphaBlend(const TvcBlendSource* Blend, int32_t Amount, bool StretchAllowed);
  void ApplyColor(int32_t Red, int32_t Green, int32_t Blue);
  void ApplyTint(int32_t Red, int32_t Green, int32_t Blue);
  void ApplySponge(int32_t Amount);
  void ApplySaturation(int32_t Amount);
  void ApplyGaussianBlur(int32_t Amount);
  void ApplyEmboss();
  void ApplyInvert();
  void ApplyContrast(int32_t Amount);
  void ApplySharpen(int32_t Distance);
  void ApplyFlip(bool Horizontal);
  void ApplyWave(bool Wrap, long double XDiv, long double YDiv, long double Ratio);
  void ApplyRotation(POINT Center, long double Angle);

  TvcEffectWorkspace& Workspace() { return FWorkspace; }

 private:
  TvcRaster FImage;
  TvcEffectWorkspace& FWorkspace;
  TColor FTransparentColor;
  TvcRandom& FRandom;
};

// The message of the blend's size check.
extern const char* const SAlphaBlendDimensions;
