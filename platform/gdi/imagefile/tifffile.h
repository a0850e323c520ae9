#pragma once
// TIFF pictures through libtiff: the first page, in any photometric interpretation and
// compression libtiff can turn into RGBA. libtiff's messages go to the exception text, never to
// the terminal.

#include <cstdint>
#include <span>

#include "platform/gdi/imagefile/bgraimage.h"

// Raises EInvalidGraphic("TIFF image is not valid: <libtiff's reason>") on a fault.
TBgraImage DecodeTiff(std::span<const uint8_t> Bytes, const TImageLimits& Limits = {});
