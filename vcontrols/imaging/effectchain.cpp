#include "vcontrols/imaging/effectchain.h"

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/stretch.h"

const char* const SAlphaBlendDimensions =
    "In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap";

namespace {

size_t PixelBytes(const TvcRaster& Image) {
  return size_t(Image.RowSize) * size_t(Image.Height - 1) + size_t(Image.Width) * 3;
}

}  // namespace

bool vcAnyEffect(const TvcEffectSettings& Settings) {
  return Settings.GrayScale || Settings.Lightness != 0 || Settings.AlphaBlendAmount != 0 ||
         Settings.Color != clNone || Settings.TintColor != clNone || Settings.Sponge != 0 ||
         Settings.Saturation != -1 || Settings.GaussianBlur != 0 || Settings.Embossed || Settings.Inverted ||
         Settings.Contrast != 0 || Settings.Sharpen != 0 || Settings.HorizontallyFlipped ||
         Settings.VerticallyFlipped || (Settings.WaveRatio != 0 && Settings.WaveXDiv != 0 && Settings.WaveYDiv != 0) ||
         Settings.RotationAngle != 0;
}

bool TvcBlendCache::Matches(const TvcBlendSource& Source, int32_t Width, int32_t Height) const {
  const TvcRaster& bitmap = Source.Bitmap;
  return FValid && FWidth == Width && FHeight == Height && FSmooth == Source.SmoothStretching &&
         FSourceWidth == bitmap.Width && FSourceHeight == bitmap.Height &&
         bitmap.RowSize == vcRowSize(bitmap.Width) &&
         std::memcmp(FSourceCopy.data(), bitmap.Pixels, PixelBytes(bitmap)) == 0;
}

TvcRaster TvcBlendCache::Stretched(const TvcBlendSource& Source, int32_t Width, int32_t Height,
                                   TvcEffectScratch& Scratch) {
  const TvcRaster& bitmap = Source.Bitmap;
  if (bitmap.Width == Width && bitmap.Height == Height) return bitmap;
  const int32_t rowSize = vcRowSize(Width);
  if (!Matches(Source, Width, Height)) {
    FValid = false;
    FStretched.resize(size_t(rowSize) * size_t(Height));
    const TvcRaster target{FStretched.data(), Width, Height, rowSize};
    if (Source.SmoothStretching)
      vcfx::SmoothStretch(bitmap, target, Scratch);
    else
      vcfx::PlainStretch(bitmap, target, Scratch);
    // Only a source in the bitmap's own row layout is remembered (and so compared) as a block.
    if (bitmap.RowSize == vcRowSize(bitmap.Width)) {
      FSourceCopy.assign(bitmap.Pixels, bitmap.Pixels + PixelBytes(bitmap));
      FSourceWidth = bitmap.Width;
      FSourceHeight = bitmap.Height;
      FWidth = Width;
      FHeight = Height;
      FSmooth = Source.SmoothStretching;
      FValid = true;
    }
  }
  return TvcRaster{FStretched.data(), Width, Height, rowSize};
}

void TvcBlendCache::Clear() {
  FValid = false;
  FSourceCopy = {};
  FStretched = {};
}

void TvcRasterTarget::ApplyGrayScale() {
  vcfx::ApplyGrayScale(FImage, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyLightness(int32_t Amount) {
  vcfx::ApplyLightness(FImage, Amount, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyAlphaBlend(const TvcBlendSource* Blend, int32_t Amount, bool StretchAllowed) {
  if (FImage.Empty() || !Blend || Blend->Empty()) return;
  const bool sameSize = Blend->Bitmap.Width == FImage.Width && Blend->Bitmap.Height == FImage.Height;
  if (!sameSize && !StretchAllowed) throw EInvalidOperation(SAlphaBlendDimensions);
  const TvcRaster blend =
      FWorkspace.BlendCache.Stretched(*Blend, FImage.Width, FImage.Height, FWorkspace.Scratch);
  // A transparent blend bitmap leaves the picture alone wherever it has its top-left colour.
  const TvcPixel key = ReadPixel(blend.Pixels);
  vcfx::ApplyAlphaBlend(FImage, blend, Amount, Blend->Transparent ? &key : nullptr, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyColor(int32_t Red, int32_t Green, int32_t Blue) {
  TvcPixel key;
  if (FTransparentColor != clNone) ColorToBGR(FTransparentColor, key);
  vcfx::ApplyColor(FImage, Red, Green, Blue, FTransparentColor != clNone ? &key : nullptr,
                   FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyTint(int32_t Red, int32_t Green, int32_t Blue) {
  vcfx::ApplyTint(FImage, Red, Green, Blue, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplySponge(int32_t Amount) {
  vcfx::ApplySponge(FImage, Amount, FRandom, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplySaturation(int32_t Amount) {
  vcfx::ApplySaturation(FImage, Amount, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyGaussianBlur(int32_t Amount) {
  vcfx::ApplyGaussianBlur(FImage, Amount, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyEmboss() {
  vcfx::ApplyEmboss(FImage, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyInvert() {
  vcfx::ApplyInvert(FImage, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyContrast(int32_t Amount) {
  vcfx::ApplyContrast(FImage, Amount, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplySharpen(int32_t Distance) {
  vcfx::ApplySharpen(FImage, Distance, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyFlip(bool Horizontal) {
  vcfx::ApplyFlip(FImage, Horizontal, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyWave(bool Wrap, long double XDiv, long double YDiv, long double Ratio) {
  vcfx::ApplyWave(FImage, Wrap, XDiv, YDiv, Ratio, FWorkspace.Scratch);
}

void TvcRasterTarget::ApplyRotation(POINT Center, long double Angle) {
  vcfx::ApplyRotation(FImage, Center.x, Center.y, Angle, FWorkspace.Scratch);
}
