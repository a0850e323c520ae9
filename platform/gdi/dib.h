#pragma once
// Reading caller-supplied device-independent bitmaps (a BITMAPINFO and its bits) for
// SetDIBits, CreateDIBSection, StretchDIBits and pattern brushes.

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace gdi {

// Bytes per row of a DIB: rows are padded to 32 bits.
size_t DibRowBytes(int Width, int BitCount);
// The colour table GetDIBits reports for a depth the bitmap does not have (0x00RRGGBB entries):
// black and white for 1 bit, the 16 standard colours for 4, the halftone palette for 8.
std::vector<uint32_t> StandardColorTable(int BitCount);

struct TDibFormat {
  int Width = 0;
  int Height = 0;  // always positive
  bool TopDown = false;
  int BitCount = 0;
  DWORD Compression = 0;
  size_t RowBytes = 0;
  std::vector<uint32_t> Colors;  // 0x00RRGGBB, for 8 bits or fewer
  DWORD Masks[3] = {0, 0, 0};    // red, green, blue for BI_BITFIELDS

  // Checks the header and reads the colour table (DIB_PAL_COLORS entries are indexes into the
  // palette selected into DC). False for a malformed or unsupported header (RLE included).
  bool Parse(const BITMAPINFO* Info, UINT Usage, HDC DC);
  // A surface over Lines rows of Bits in scan-line order (row 0 = the first scan line given).
  TPixelSurface Wrap(const void* Bits, int Lines) const;
  // Lines scan lines of Bits (starting with scan line StartScan) as a surface in picture order
  // (row 0 at the top of the band). Bit-field layouts other than the standard ones are
  // converted into Scratch first. PictureTop receives the picture row of the band's top row.
  TPixelSurface WrapPicture(const void* Bits, int StartScan, int Lines, std::vector<uint8_t>& Scratch,
                            int& PictureTop) const;
  // Row Row of Source (from Wrap) as 0x00RRGGBB colours.
  void ReadColors(const TPixelSurface& Source, int Row, int Count, uint32_t* Colors) const;
};

}  // namespace gdi
