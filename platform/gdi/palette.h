#pragma once
// Palettes, answered as a true-colour display answers: palettes can be made, selected and
// realised, and keep their entries, but drawing never goes through them, so colours stay as
// given. The display depth is a test setting (GdiSetScreenBitsPerPixel); code that takes a
// palette branch on 8-bit displays can be driven down it.

#include <memory>
#include <vector>

#include "platform/gdi/gdiobj.h"

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};
using LPPALETTEENTRY = PALETTEENTRY*;

struct LOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
};

constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

class TPaletteObject : public TGdiObject {
 public:
  TPaletteObject() : TGdiObject(OBJ_PAL) {}
  // The 20 static colours.
  static std::unique_ptr<TPaletteObject> DefaultPalette();
  // GetObject answers the entry count as a WORD.
  int GetObjectInfo(int Size, void* Buffer) const override;
  UINT NearestIndex(COLORREF Color) const;
  std::vector<PALETTEENTRY> Entries;
};

TPaletteObject* GdiGetPalette(HPALETTE Palette);

HPALETTE CreatePalette(const LOGPALETTE* LogPalette);
// 256 entries: the 20 static colours and a 6x6x6 colour cube.
HPALETTE CreateHalftonePalette(HDC DC);
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL ForceBackground);
UINT RealizePalette(HDC DC);
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, LPPALETTEENTRY Entries);
UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries);
UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color);
UINT GetSystemPaletteEntries(HDC DC, UINT Start, UINT Count, LPPALETTEENTRY Entries);
// The colour the DC would really draw for Color: itself on true-colour surfaces, the nearest
// colour-table entry on 1-, 4- and 8-bit ones.
COLORREF GetNearestColor(HDC DC, COLORREF Color);

// The 256 entries of the halftone palette: the 20 static colours (10 first, 10 last) with a
// 6x6x6 colour cube and greys between them.
std::vector<PALETTEENTRY> GdiHalftoneEntries();
