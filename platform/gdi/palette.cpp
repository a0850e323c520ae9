#include "platform/gdi/palette.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"

namespace {

// The static colours of a palette display: 10 at the start of the system palette, 10 at its end.
constexpr PALETTEENTRY StaticColors[20] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
};

}  // namespace

std::unique_ptr<TPaletteObject> TPaletteObject::DefaultPalette() {
  auto palette = std::make_unique<TPaletteObject>();
  palette->Entries.assign(StaticColors, StaticColors + 20);
  return palette;
}

int TPaletteObject::GetObjectInfo(int Size, void* Buffer) const {
  if (!Buffer) return int(sizeof(WORD));
  if (Size < int(sizeof(WORD))) return 0;
  WORD count = WORD(Entries.size());
  std::memcpy(Buffer, &count, sizeof(count));
  return int(sizeof(WORD));
}

UINT TPaletteObject::NearestIndex(COLORREF Color) const {
  std::vector<uint32_t> table;
  table.reserve(Entries.size());
  for (const PALETTEENTRY& e : Entries)
    table.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
  if (table.empty()) return CLR_INVALID;
  return GdiNearestIndex(table.data(), int(table.size()), Color);
}

std::vector<PALETTEENTRY> GdiHalftoneEntries() {
  std::vector<PALETTEENTRY> entries(StaticColors, StaticColors + 10);
  static const BYTE Levels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r) entries.push_back({Levels[r], Levels[g], Levels[b], 0});
  // 20 greys fill the gap up to the last ten static colours.
  for (int i = 1; i <= 20; ++i) {
    BYTE level = BYTE(i * 255 / 21);
    entries.push_back({level, level, level, 0});
  }
  entries.insert(entries.end(), StaticColors + 10, StaticColors + 20);
  return entries;
}

TPaletteObject* GdiGetPalette(HPALETTE Palette) {
  return GdiGetObjectAs<TPaletteObject>(Palette, OBJ_PAL);
}

HPALETTE CreatePalette(const LOGPALETTE* LogPalette) {
  if (!LogPalette || LogPalette->palVersion != 0x300) return nullptr;
  auto palette = std::make_unique<TPaletteObject>();
  palette->Entries.assign(LogPalette->palPalEntry, LogPalette->palPalEntry + LogPalette->palNumEntries);
  return GdiHandleAs<HPALETTE>(GdiAddObject(std::move(palette)));
}

HPALETTE CreateHalftonePalette(HDC DC) {
  auto palette = std::make_unique<TPaletteObject>();
  palette->Entries = GdiHalftoneEntries();
  return GdiHandleAs<HPALETTE>(GdiAddObject(std::move(palette)));
}

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL ForceBackground) {
  TDC* dc = GdiGetDC(DC);
  TPaletteObject* palette = GdiGetPalette(Palette);
  if (!dc || !palette) return nullptr;
  return GdiHandleAs<HPALETTE>(dc->Select(palette));
}

UINT RealizePalette(HDC DC) {
  // A true-colour display maps nothing.
  return GdiGetDC(DC) ? 0 : GDI_ERROR;
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, LPPALETTEENTRY Entries) {
  TPaletteObject* palette = GdiGetPalette(Palette);
  if (!palette) return 0;
  UINT size = UINT(palette->Entries.size());
  if (!Entries) return size;
  if (Start >= size) return 0;
  UINT copied = std::min(Count, size - Start);
  std::copy_n(palette->Entries.begin() + Start, copied, Entries);
  return copied;
}

UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries) {
  TPaletteObject* palette = GdiGetPalette(Palette);
  if (!palette || !Entries) return 0;
  UINT size = UINT(palette->Entries.size());
  if (Start >= size) return 0;
  UINT copied = std::min(Count, size - Start);
  std::copy_n(Entries, copied, palette->Entries.begin() + Start);
  return copied;
}

UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color) {
  TPaletteObject* palette = GdiGetPalette(Palette);
  return palette ? palette->NearestIndex(Color) : CLR_INVALID;
}

UINT GetSystemPaletteEntries(HDC DC, UINT Start, UINT Count, LPPALETTEENTRY Entries) {
  // Only palette displays have a system palette.
  if (GdiScreenBitsPerPixel() > 8) return 0;
  std::vector<PALETTEENTRY> entries = GdiHalftoneEntries();
  if (!Entries) return UINT(entries.size());
  if (Start >= entries.size()) return 0;
  UINT copied = std::min<UINT>(Count, UINT(entries.size()) - Start);
  std::copy_n(entries.begin() + Start, copied, Entries);
  return copied;
}

COLORREF GetNearestColor(HDC DC, COLORREF Color) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return CLR_INVALID;
  COLORREF color = dc->ResolveColor(Color);
  const TPixelSurface& surface = dc->Surface();
  if (!surface.IsValid() || !gdi::IsIndexed(surface)) return color;
  return gdi::RgbToColorRef([&] {
    uint32_t value = gdi::ColorToValue(surface, gdi::ColorRefToRgb(color));
    gdi::ValuesToColors(surface, &value, 1, 0x000000, 0xFFFFFF);
    return value;
  }());
}
