#pragma once
// PNG pictures through libpng's simplified interface, which catches libpng's own error jumps
// inside libpng and answers with a status, so no error path crosses our frames.
//
// Reading keeps alpha straight and reports whether the file carries transparency (an alpha
// channel or a transparent-colour chunk), which decides whether a watermark blends per pixel.
// Writing is used for screenshots and test images.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

// Raises EInvalidGraphic("PNG image is not valid: <libpng's reason>") on a fault.
TBgraImage DecodePng(std::span<const uint8_t> Bytes, const TImageLimits& Limits = {});

// Bgra32 sources are written with their alpha channel; Bgr24 and Bgrx32 sources as opaque
// colour pictures.
std::vector<uint8_t> EncodePng(const TPixelView& Source);
// EncodePng, then written to FileName as WriteFileBytes does (the old file survives a failure).
void SavePngFile(const std::string& FileName, const TPixelView& Source);
