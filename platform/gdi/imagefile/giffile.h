#pragma once
// GIF pictures through giflib: the first picture of the file, placed on the file's logical
// screen. Screen pixels the picture does not cover and pixels of the transparent colour come out
// with alpha 0 (HasAlpha is then set); everything else is opaque.

#include <cstdint>
#include <span>

#include "platform/gdi/imagefile/bgraimage.h"

// Raises EInvalidGraphic("GIF image is not valid") on a fault.
TBgraImage DecodeGif(std::span<const uint8_t> Bytes, const TImageLimits& Limits = {});
