#include "platform/gdi/dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

namespace gdi {

size_t DibRowBytes(int Width, int BitCount) {
  return ((size_t(Width) * size_t(BitCount) + 31) / 32) * 4;
}

std::vector<uint32_t> StandardColorTable(int BitCount) {
  if (BitCount == 1) return {0x000000, 0xFFFFFF};
  if (BitCount == 4)
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
            0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  std::vector<uint32_t> table;
  for (const PALETTEENTRY& e : GdiHalftoneEntries())
    table.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
  table.resize(256, 0);
  return table;
}

bool TDibFormat::Parse(const BITMAPINFO* Info, UINT Usage, HDC DC) {
  const BITMAPINFOHEADER& header = Info->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return false;
  if (header.biWidth <= 0 || header.biHeight == 0) return false;
  if (header.biWidth > 65536 || header.biHeight > 65536 || header.biHeight < -65536) return false;
  BitCount = header.biBitCount;
  if (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 16 && BitCount != 24 && BitCount != 32)
    return false;
  Compression = header.biCompression;
  if (Compression != BI_RGB && Compression != BI_BITFIELDS) return false;
  if (Compression == BI_BITFIELDS && BitCount != 16 && BitCount != 32) return false;
  Width = header.biWidth;
  Height = std::abs(header.biHeight);
  TopDown = header.biHeight < 0;
  RowBytes = DibRowBytes(Width, BitCount);
  const uint8_t* tableStart = reinterpret_cast<const uint8_t*>(Info) + header.biSize;
  Colors.clear();
  if (BitCount <= 8) {
    size_t count = header.biClrUsed ? header.biClrUsed : (size_t(1) << BitCount);
    if (count > (size_t(1) << BitCount)) count = size_t(1) << BitCount;
    if (Usage == DIB_PAL_COLORS) {
      TDC* dc = GdiGetDC(DC);
      TPaletteObject* palette = dc ? GdiGetPalette(dc->State().Palette) : nullptr;
      std::vector<PALETTEENTRY> fallback;
      if (!palette) fallback = TPaletteObject::DefaultPalette()->Entries;
      const std::vector<PALETTEENTRY>& entries = palette ? palette->Entries : fallback;
      for (size_t i = 0; i < count; ++i) {
        WORD index;
        std::memcpy(&index, tableStart + i * 2, 2);
        PALETTEENTRY e = index < entries.size() ? entries[index] : PALETTEENTRY{0, 0, 0, 0};
        Colors.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
      }
    } else {
      for (size_t i = 0; i < count; ++i) {
        RGBQUAD q;
        std::memcpy(&q, tableStart + i * 4, 4);
        Colors.push_back((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue);
      }
    }
    Colors.resize(size_t(1) << BitCount, 0);
  }
  if (Compression == BI_BITFIELDS) {
    std::memcpy(Masks, tableStart, sizeof(Masks));
  } else if (BitCount == 16) {
    Masks[0] = 0x7C00, Masks[1] = 0x03E0, Masks[2] = 0x001F;
  } else if (BitCount == 32) {
    Masks[0] = 0xFF0000, Masks[1] = 0x00FF00, Masks[2] = 0x0000FF;
  }
  return true;
}

TPixelSurface TDibFormat::Wrap(const void* Bits, int Lines) const {
  TPixelSurface surface;
  surface.Width = Width;
  surface.Height = Lines;
  surface.BitCount = BitCount;
  surface.Top = const_cast<uint8_t*>(static_cast<const uint8_t*>(Bits));
  surface.Stride = ptrdiff_t(RowBytes);
  surface.ColorTable = Colors.empty() ? nullptr : Colors.data();
  surface.ColorCount = int(Colors.size());
  return surface;
}

TPixelSurface TDibFormat::WrapPicture(const void* Bits, int StartScan, int Lines,
                                      std::vector<uint8_t>& Scratch, int& PictureTop) const {
  TPixelSurface band = Wrap(Bits, Lines);
  bool standard = BitCount <= 8 || BitCount == 24 ||
                  (BitCount == 16 && Masks[0] == 0x7C00 && Masks[1] == 0x03E0 && Masks[2] == 0x001F) ||
                  (BitCount == 32 && Masks[0] == 0xFF0000 && Masks[1] == 0x00FF00 && Masks[2] == 0x0000FF);
  if (!standard) {
    // Re-encode as plain 32-bit rows, keeping scan-line order.
    Scratch.assign(size_t(Width) * 4 * size_t(Lines), 0);
    TPixelSurface converted = band;
    converted.BitCount = 32;
    converted.Top = Scratch.data();
    converted.Stride = ptrdiff_t(Width) * 4;
    converted.ColorTable = nullptr;
    converted.ColorCount = 0;
    for (int row = 0; row < Lines; ++row)
      ReadColors(band, row, Width, reinterpret_cast<uint32_t*>(converted.Row(row)));
    band = converted;
  }
  if (TopDown) {
    PictureTop = StartScan;
  } else {
    // Scan lines run upwards: the last one given is the band's top row.
    band.Top = band.Top + (Lines - 1) * band.Stride;
    band.Stride = -band.Stride;
    PictureTop = Height - StartScan - Lines;
  }
  return band;
}

namespace {

// Scales a masked channel to 8 bits.
uint32_t Channel(uint32_t Value, DWORD Mask) {
  if (!Mask) return 0;
  int shift = 0;
  while (!((Mask >> shift) & 1)) ++shift;
  uint32_t bits = Mask >> shift;
  int width = 0;
  while ((bits >> width) & 1) ++width;
  uint32_t v = (Value & Mask) >> shift;
  if (width >= 8) return v >> (width - 8);
  // Replicate the high bits into the low ones (31 -> 255).
  uint32_t result = 0;
  int filled = 0;
  while (filled < 8) {
    result = (result << width) | v;
    filled += width;
  }
  return result >> (filled - 8);
}

}  // namespace

void TDibFormat::ReadColors(const TPixelSurface& Source, int Row, int Count, uint32_t* Values) const {
  bool standard = BitCount <= 8 || BitCount == 24 ||
                  (BitCount == 16 && Masks[0] == 0x7C00 && Masks[1] == 0x03E0 && Masks[2] == 0x001F) ||
                  (BitCount == 32 && Masks[0] == 0xFF0000 && Masks[1] == 0x00FF00 && Masks[2] == 0x0000FF);
  if (standard) {
    ReadRow(Source, 0, Row, Count, Values);
    ValuesToColors(Source, Values, Count, 0, 0xFFFFFF);
    if (BitCount == 32)
      for (int i = 0; i < Count; ++i) Values[i] &= 0x00FFFFFF;
    return;
  }
  const uint8_t* row = Source.Row(Row);
  for (int i = 0; i < Count; ++i) {
    uint32_t raw;
    if (BitCount == 16)
      raw = uint32_t(row[i * 2]) | (uint32_t(row[i * 2 + 1]) << 8);
    else
      std::memcpy(&raw, row + size_t(i) * 4, 4);
    Values[i] = (Channel(raw, Masks[0]) << 16) | (Channel(raw, Masks[1]) << 8) | Channel(raw, Masks[2]);
  }
}

}  // namespace gdi
