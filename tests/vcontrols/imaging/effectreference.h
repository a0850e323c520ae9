#pragma once
// The pixel effects written out literally, pixel by pixel, the way their rules read: the oracle
// the fast implementations are compared with (tests) and timed against (benchmarks). Nothing
// here is tuned; where the rules give a table, a table is built.

#include <cstdint>

#include "vcontrols/imaging/random.h"
#include "vcontrols/imaging/raster.h"

namespace vcreference {

void ApplyGrayScale(const TvcRaster& Image);
void ApplyLightness(const TvcRaster& Image, int32_t Amount);
void ApplyAlphaBlend(const TvcRaster& Image, const TvcRaster& Blend, int32_t Amount, const TvcPixel* Key);
void ApplyColor(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, const TvcPixel* Key);
void ApplyTint(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue);
void ApplySponge(const TvcRaster& Image, int32_t Amount, TvcRandom& Random);
void ApplySaturation(const TvcRaster& Image, int32_t Amount);
void ApplyGaussianBlur(const TvcRaster& Image, int32_t Amount);
void ApplyBlurPass(const TvcRaster& Image, int32_t Distance);
void ApplyEmboss(const TvcRaster& Image);
void ApplyInvert(const TvcRaster& Image);
void ApplyContrast(const TvcRaster& Image, int32_t Amount);
void ApplySharpen(const TvcRaster& Image, int32_t Distance);
void ApplyFlip(const TvcRaster& Image, bool Horizontal);
void ApplyWave(const TvcRaster& Image, bool Wrap, long double XDiv, long double YDiv, long double Ratio);
void ApplyRotation(const TvcRaster& Image, int32_t CenterX, int32_t CenterY, long double Angle);

// The bilinear stretch of the whole Source over the whole Target, 15-bit fixed point.
void SmoothStretch(const TvcRaster& Source, const TvcRaster& Target);

}  // namespace vcreference
