#pragma once
// Icon (and cursor) files: a directory of pictures, each a device-independent bitmap of twice the
// picture's height (colour rows, then a 1-bit transparency mask) or a complete PNG file.
//
// A bitmap entry's alpha comes from its own alpha bytes when it is a 32-bit picture that uses
// them, otherwise from the mask (a set bit is transparent). Pixels the mask would invert on the
// screen cannot be represented and come out transparent.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

struct TIconEntry {
  int32_t Width = 0;  // from the directory: 0 there means 256
  int32_t Height = 0;
  uint16_t BitCount = 0;  // 0 when the directory does not say
  uint32_t Size = 0;
  uint32_t Offset = 0;
};

// The directory. Raises EInvalidGraphic("Icon image is not valid") on a fault.
std::vector<TIconEntry> ReadIconDirectory(std::span<const uint8_t> Bytes);
// The index DecodeIco picks by default: the largest picture, the deepest among equals, the first
// among those.
size_t BestIconEntry(const std::vector<TIconEntry>& Entries);

// Decodes entry Index, or the best entry when Index is -1. Raises EInvalidGraphic("Icon image is
// not valid") on a fault of the container or a bitmap entry, the PNG reader's exception for a
// faulty PNG entry.
TBgraImage DecodeIco(std::span<const uint8_t> Bytes, int32_t Index = -1, const TImageLimits& Limits = {});
