#pragma once
// The pixel effects of the bitmap graphic, on a raster view. Every effect rewrites the pixels in
// place (wave and rotation through a scratch image) and leaves pad bytes alone; none fires a
// change notification, the caller repaints. Each does nothing on an empty raster.
//
// Every effect takes the scratch of the bitmap it works on: its buffers, and the worker threads
// among which it cuts the image into bands where rows (or groups of rows) do not depend on each
// other. The result does not depend on the number of threads.
//
// The arithmetic of each effect is fixed to the byte because the pictures of the program look
// the way they do through it: the neighbourhood filters (blur, sharpen, sponge) work in place in
// raster order, so a neighbour above or to the left has already been replaced when it is read;
// divisions truncate toward zero where the rules say div and floor where they say shr; rotation
// rounds halves to even. The implementations here are built for the per-frame path (row
// pointers, table or vector arithmetic, hoisted edge clamps, no allocation once the scratch
// buffers have grown); the tests hold a literal implementation of the same rules and compare
// the two byte for byte.

#include <cstdint>

#include "vcontrols/imaging/effectscratch.h"
#include "vcontrols/imaging/random.h"
#include "vcontrols/imaging/raster.h"

namespace vcfx {

// gray = blue div 3 + green div 3 + red div 3 into all three channels.
void ApplyGrayScale(const TvcRaster& Image, TvcEffectScratch& Scratch);
// Toward white (Amount > 0) or black (Amount < 0) by Amount / 256 of the distance.
void ApplyLightness(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch);
// Blend and Image have the same size. Each channel moves by floor(Amount x (b - c) / 256)
// toward the blend pixel, except where the blend pixel equals Key (when given).
void ApplyAlphaBlend(const TvcRaster& Image, const TvcRaster& Blend, int32_t Amount, const TvcPixel* Key,
                     TvcEffectScratch& Scratch);
// Adds Red - 192, Green - 192, Blue - 192 (clamped) to every pixel that is not Key.
void ApplyColor(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, const TvcPixel* Key,
                TvcEffectScratch& Scratch);
// Adds the offsets (clamped) to every pixel.
void ApplyTint(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, TvcEffectScratch& Scratch);
// Every pixel, in raster order, takes the value of a pixel displaced at random by up to the
// amount in each direction.
void ApplySponge(const TvcRaster& Image, int32_t Amount, TvcRandom& Random, TvcEffectScratch& Scratch);
// 256 leaves the image as it is, 0 makes it grey, more makes colours stronger.
void ApplySaturation(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch);
// Blur passes of distance Amount, Amount - 1, ..., 1.
void ApplyGaussianBlur(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch);
// Each pixel, in raster order, becomes the truncated mean of its four diagonal neighbours at
// the distance (edges clamped).
void ApplyBlurPass(const TvcRaster& Image, int32_t Distance, TvcEffectScratch& Scratch);
void ApplyEmboss(const TvcRaster& Image, TvcEffectScratch& Scratch);
void ApplyInvert(const TvcRaster& Image, TvcEffectScratch& Scratch);
void ApplyContrast(const TvcRaster& Image, int32_t Amount, TvcEffectScratch& Scratch);
void ApplySharpen(const TvcRaster& Image, int32_t Distance, TvcEffectScratch& Scratch);
void ApplyFlip(const TvcRaster& Image, bool Horizontal, TvcEffectScratch& Scratch);
void ApplyWave(const TvcRaster& Image, bool Wrap, long double XDiv, long double YDiv, long double Ratio,
               TvcEffectScratch& Scratch);
// A negative centre coordinate means the middle of the image on that axis.
void ApplyRotation(const TvcRaster& Image, int32_t CenterX, int32_t CenterY, long double Angle,
                   TvcEffectScratch& Scratch);

// Key-coloured pixels black, all others white.
void MakeMask(const TvcRaster& Image, const TvcPixel& Key);
void ReplaceColor(const TvcRaster& Image, const TvcPixel& OldPixel, const TvcPixel& NewPixel);

// The rows and columns shifts of the wave and the sine and cosine of the rotation, shared by
// both implementations so that the only floating-point work happens in one place.
int32_t WaveShift(long double Ratio, int32_t Index, long double Divisor);
void RotationSineCosine(long double Angle, double& Sine, double& Cosine);

}  // namespace vcfx
