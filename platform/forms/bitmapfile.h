#pragma once
// Bitmap file images as TBitmap reads and writes them: the file and info headers, bit fields and
// colour table. Layouts a DIB section can hold as they are (uncompressed 1, 4, 8, 24 and 32 bits,
// 16 bits as 5-5-5 or 5-6-5) are read directly; the others (run-length encoding, core headers,
// unusual bit fields) are left to the general picture reader.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/streams.h"

struct TBitmapFileInfo {
  int32_t Width = 0;
  int32_t Height = 0;  // always positive
  bool TopDown = false;
  int32_t BitCount = 0;
  uint32_t Compression = 0;
  uint32_t Masks[3] = {0, 0, 0};  // red, green, blue of 16- and 32-bit images
  std::vector<uint32_t> Colors;   // 0x00RRGGBB, padded to 2^BitCount entries for indexed images
  size_t BitsOffset = 0;          // from the start of the file image
  size_t RowBytes = 0;            // stored bytes per row (padded to 4)
  bool Direct = false;            // the rows can be copied as they are into a DIB section
};

// Parses the headers of the file image Data[0..Size). Raises EInvalidGraphic "Bitmap image is not
// valid" on a fault, also when a Direct image's rows do not fit in Size.
TBitmapFileInfo ParseBitmapFile(const uint8_t* Data, size_t Size);

// Writes the file header, a 40-byte info header, the bit fields (when Compression is BI_BITFIELDS)
// and the colour table; ImageSize is the byte count of the rows that follow.
void WriteBitmapFileHeaders(TStream& Stream, int32_t Width, int32_t Height, int32_t BitCount,
                            uint32_t Compression, const uint32_t* Masks, const std::vector<uint32_t>& Colors,
                            size_t ImageSize);

// Width x Height limits of pictures read from files: large enough for any real picture, small
// enough that a damaged header cannot ask for gigabytes.
constexpr int32_t MaxPictureSide = 32768;
constexpr int64_t MaxPicturePixels = int64_t(1) << 26;
