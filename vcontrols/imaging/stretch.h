#pragma once
// Copying a whole picture into a raster of another size: the bilinear stretch of the bitmap
// graphic (15-bit fixed point, integer only), the plain stretch (the pixel under each target
// pixel's centre, as StretchBlt samples in COLORONCOLOR mode), tiling from the top-left corner
// and the same-size copy.

#include "vcontrols/imaging/effectscratch.h"
#include "vcontrols/imaging/raster.h"

namespace vcfx {

// Target pixel (x, y) blends the four source pixels around (x x StepX, y x StepY), where the
// steps map the target's span onto source coordinates 0 ... size - 1.
void SmoothStretch(const TvcRaster& Source, const TvcRaster& Target, TvcEffectScratch& Scratch);
// Target column i takes source column floor((2i + 1) x source width / (2 x target width)).
void PlainStretch(const TvcRaster& Source, const TvcRaster& Target, TvcEffectScratch& Scratch);
// Copies of Source side by side from (0, 0), cut at the target's edges.
void TileCopy(const TvcRaster& Source, const TvcRaster& Target);
// The pixels of rasters of the same size.
void CopyPixels(const TvcRaster& Source, const TvcRaster& Target);

}  // namespace vcfx
