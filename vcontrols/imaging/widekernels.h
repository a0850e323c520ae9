#pragma once
// Hand-written AVX2 forms of the per-channel kernels whose three-byte pixels the compiler does
// not vectorise well (grey scale, saturation, the keyed colour and blend) and of the contrast.
// Each processes a prefix of a row and returns how many pixels (or bytes) it did; the portable
// kernel does the rest. Only called when the processor has AVX2 (vcUseWidePath).
//
// Pixels are taken four at a time per 128-bit lane: a lane loads 16 bytes, of which the first 12
// are four whole pixels and the last 4 pass through unchanged; the next lane starts 12 bytes on.
// The lanes are stored in order, so those 4 bytes end up with the value the next lane wrote.

#include <cstdint>

#include "vcontrols/imaging/raster.h"

namespace vcwide {

int32_t GrayPixels(uint8_t* Row, int32_t Count);
// 0 <= Amount < 32640. Does the whole row.
int32_t SaturationPixels(uint8_t* Row, int32_t Count, uint16_t Amount);
// |Amount| < 512, as magnitude and sign.
int32_t ContrastBytes(uint8_t* Row, int32_t Count, uint16_t Magnitude, bool Negative);
// Offsets limited to -255 ... 255; pixels equal to Key are left.
int32_t OffsetPixelsKeyed(uint8_t* Row, int32_t Count, int16_t Blue, int16_t Green, int16_t Red,
                          TvcPixel Key);
// 0 <= Amount <= 255; pixels whose blend pixel equals Key are left.
int32_t BlendPixelsKeyed(uint8_t* Row, const uint8_t* Blend, int32_t Count, uint16_t Amount, TvcPixel Key);

}  // namespace vcwide
