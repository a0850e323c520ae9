#include "platform/gdi/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/blt.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

using namespace gdi;

namespace {

constexpr uint32_t BlackWhite[2] = {0x000000, 0xFFFFFF};
// Width and height limits: big enough for any picture the program handles, small enough that
// row arithmetic stays inside 32 bits.
constexpr int MaxDimension = 65536;
constexpr size_t MaxImageBytes = size_t(1) << 31;

}  // namespace

TBitmapObject::~TBitmapObject() {
  std::free(FBits);
}

bool TBitmapObject::Allocate(int Width, int Height, int BitCount, bool DibSection, bool BottomUp) {
  if (Width <= 0 || Height <= 0 || Width > MaxDimension || Height > MaxDimension) return false;
  if (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 16 && BitCount != 24 && BitCount != 32)
    return false;
  size_t rowBits = size_t(Width) * size_t(BitCount);
  size_t rowBytes = DibSection ? ((rowBits + 31) / 32) * 4 : ((rowBits + 15) / 16) * 2;
  // 32-bit rows are always 4-byte multiples; the fill code relies on that.
  if (rowBytes * size_t(Height) > MaxImageBytes) return false;
  auto* bits = static_cast<uint8_t*>(std::calloc(rowBytes * size_t(Height), 1));
  if (!bits) return false;
  std::free(FBits);
  FBits = bits;
  FRowBytes = int(rowBytes);
  FDibSection = DibSection;
  FBottomUp = BottomUp;
  FSurface = TPixelSurface{};
  FSurface.Width = Width;
  FSurface.Height = Height;
  FSurface.BitCount = BitCount;
  FSurface.Top = BottomUp ? bits + rowBytes * size_t(Height - 1) : bits;
  FSurface.Stride = BottomUp ? -ptrdiff_t(rowBytes) : ptrdiff_t(rowBytes);
  if (BitCount == 1 && !DibSection) {
    FColorTable.assign(BlackWhite, BlackWhite + 2);
    FSurface.UsesDCColors = true;
  } else if (BitCount <= 8) {
    FColorTable.assign(size_t(1) << BitCount, 0);
    if (BitCount == 1) FColorTable[1] = 0xFFFFFF;
  } else {
    FColorTable.clear();
  }
  FSurface.ColorTable = FColorTable.empty() ? nullptr : FColorTable.data();
  FSurface.ColorCount = int(FColorTable.size());
  return true;
}

void TBitmapObject::SetColorTable(const std::vector<uint32_t>& Colors) {
  FColorTable = Colors;
  FSurface.ColorTable = FColorTable.empty() ? nullptr : FColorTable.data();
  FSurface.ColorCount = int(FColorTable.size());
}

int TBitmapObject::GetObjectInfo(int Size, void* Buffer) const {
  BITMAP bitmap{};
  bitmap.bmType = 0;
  bitmap.bmWidth = FSurface.Width;
  bitmap.bmHeight = FSurface.Height;
  bitmap.bmWidthBytes = FRowBytes;
  bitmap.bmPlanes = 1;
  bitmap.bmBitsPixel = WORD(FSurface.BitCount);
  bitmap.bmBits = FDibSection ? FBits : nullptr;
  if (!FDibSection || Size < int(sizeof(DIBSECTION))) {
    if (!Buffer) return FDibSection ? int(sizeof(DIBSECTION)) : int(sizeof(BITMAP));
    if (Size < int(sizeof(BITMAP))) return 0;
    std::memcpy(Buffer, &bitmap, sizeof(bitmap));
    return int(sizeof(BITMAP));
  }
  DIBSECTION section{};
  section.dsBm = bitmap;
  section.dsBmih = DibHeader;
  section.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
  section.dsBmih.biSizeImage = DWORD(ImageSize());
  std::memcpy(section.dsBitfields, BitFields, sizeof(BitFields));
  std::memcpy(Buffer, &section, sizeof(section));
  return int(sizeof(DIBSECTION));
}

TBitmapObject* GdiGetBitmap(HBITMAP Bitmap) {
  return GdiGetObjectAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
}

HBITMAP GdiDefaultBitmap() {
  static HBITMAP bitmap = [] {
    auto object = std::make_unique<TBitmapObject>();
    object->Allocate(1, 1, 1, false, false);
    return GdiHandleAs<HBITMAP>(GdiAddStockObject(std::move(object)));
  }();
  return bitmap;
}

uint32_t GdiReadPixel(const TPixelSurface& Surface, int X, int Y) {
  uint32_t value;
  ReadRow(Surface, X, Y, 1, &value);
  ValuesToColors(Surface, &value, 1, 0x000000, 0xFFFFFF);
  return value;
}

void GdiWritePixel(const TPixelSurface& Surface, int X, int Y, uint32_t Pixel) {
  WriteRow(Surface, X, Y, 1, &Pixel);
}

// ---------------------------------------------------------------------------------------------

static HBITMAP AddBitmap(std::unique_ptr<TBitmapObject> Bitmap) {
  return GdiHandleAs<HBITMAP>(GdiAddObject(std::move(Bitmap)));
}

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits) {
  if (Width < 0 || Height < 0) return nullptr;
  if (Width == 0 || Height == 0) return GdiDefaultBitmap();
  int bitCount = int(Planes * BitCount);
  if (Planes != 1 && BitCount != 1) return nullptr;
  if (bitCount > 1 && bitCount <= 4)
    bitCount = 4;
  else if (bitCount > 4 && bitCount <= 8)
    bitCount = 8;
  else if (bitCount > 8 && bitCount <= 16)
    bitCount = 16;
  else if (bitCount > 16 && bitCount <= 24)
    bitCount = 24;
  else if (bitCount > 24)
    bitCount = 32;
  auto bitmap = std::make_unique<TBitmapObject>();
  if (!bitmap->Allocate(Width, Height, bitCount, false, false)) return nullptr;
  if (bitCount == 8) {
    // An 8-bit device bitmap uses the default palette's colours for its first 20 indexes.
    auto palette = TPaletteObject::DefaultPalette();
    std::vector<uint32_t> table(256, 0);
    for (size_t i = 0; i < palette->Entries.size() && i < 256; ++i) {
      const PALETTEENTRY& e = palette->Entries[i];
      table[i] = (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
    }
    bitmap->SetColorTable(table);
  }
  if (Bits) std::memcpy(bitmap->Bits(), Bits, bitmap->ImageSize());
  return AddBitmap(std::move(bitmap));
}

HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap) {
  if (!Bitmap) return nullptr;
  return CreateBitmap(Bitmap->bmWidth, Bitmap->bmHeight, Bitmap->bmPlanes, Bitmap->bmBitsPixel,
                      Bitmap->bmBits);
}

// The bit depth of bitmaps compatible with a DC: the depth of the bitmap selected into a memory
// DC (so a fresh memory DC, holding its 1x1 monochrome bitmap, makes monochrome bitmaps), the
// screen depth otherwise.
static int CompatibleBitCount(HDC DC) {
  TDC* dc = GdiGetDC(DC);
  if (dc && dc->Kind() == OBJ_MEMDC && dc->Surface().IsValid()) return dc->Surface().BitCount;
  int screen = GdiScreenBitsPerPixel();
  if (screen == 1) return 1;
  if (screen == 16 || screen == 24) return screen;
  return 32;
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height) {
  if (!GdiGetDC(DC) || Width < 0 || Height < 0) return nullptr;
  if (Width == 0 || Height == 0) return GdiDefaultBitmap();
  auto bitmap = std::make_unique<TBitmapObject>();
  if (!bitmap->Allocate(Width, Height, CompatibleBitCount(DC), false, false)) return nullptr;
  return AddBitmap(std::move(bitmap));
}

HBITMAP CreateDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section,
                         DWORD Offset) {
  if (Bits) *Bits = nullptr;
  TDibFormat format;
  if (!Info || !format.Parse(Info, Usage, DC)) return nullptr;
  if (Info->bmiHeader.biCompression != BI_RGB && Info->bmiHeader.biCompression != BI_BITFIELDS)
    return nullptr;
  auto bitmap = std::make_unique<TBitmapObject>();
  if (!bitmap->Allocate(format.Width, format.Height, format.BitCount, true, !format.TopDown)) return nullptr;
  if (format.BitCount <= 8) bitmap->SetColorTable(format.Colors);
  bitmap->DibHeader = Info->bmiHeader;
  if (Info->bmiHeader.biCompression == BI_BITFIELDS)
    std::memcpy(bitmap->BitFields, format.Masks, sizeof(bitmap->BitFields));
  if (Bits) *Bits = bitmap->Bits();
  return AddBitmap(std::move(bitmap));
}

HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage) {
  if (!Header) return nullptr;
  int width = Header->biWidth, height = std::abs(Header->biHeight);
  if (width <= 0 || height <= 0) return GdiDefaultBitmap();
  auto bitmap = std::make_unique<TBitmapObject>();
  int bitCount = DC ? CompatibleBitCount(DC) : 1;
  if (!bitmap->Allocate(width, height, bitCount, false, false)) return nullptr;
  HBITMAP handle = AddBitmap(std::move(bitmap));
  if ((Init & CBM_INIT) && Bits && Info) SetDIBits(DC, handle, 0, UINT(height), Bits, Info, Usage);
  return handle;
}

int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage) {
  TBitmapObject* bitmap = GdiGetBitmap(Bitmap);
  if (!bitmap || !Info || Info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  const TPixelSurface& surface = bitmap->Surface();
  BITMAPINFOHEADER& header = Info->bmiHeader;
  if (!Bits && header.biBitCount == 0) {
    // Describe the bitmap itself.
    header.biWidth = surface.Width;
    header.biHeight = bitmap->IsDibSection() && !bitmap->IsBottomUp() ? -surface.Height : surface.Height;
    header.biPlanes = 1;
    header.biBitCount = WORD(surface.BitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(DibRowBytes(surface.Width, surface.BitCount) * surface.Height);
    header.biXPelsPerMeter = header.biYPelsPerMeter = 0;
    header.biClrUsed = header.biClrImportant = 0;
    return surface.Height;
  }
  int bitCount = header.biBitCount;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return 0;
  if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) return 0;
  int width = header.biWidth;
  int height = std::abs(header.biHeight);
  bool topDown = header.biHeight < 0;
  if (width <= 0) return 0;
  if (height == 0) height = surface.Height;
  // The colour table GetDIBits reports: the bitmap's own when the depth matches, otherwise a
  // standard one (black and white; a halftone-style cube for 4 and 8 bits).
  std::vector<uint32_t> table;
  if (bitCount <= 8) {
    if (surface.BitCount == bitCount && !surface.UsesDCColors && surface.ColorTable)
      table.assign(surface.ColorTable, surface.ColorTable + surface.ColorCount);
    else
      table = StandardColorTable(bitCount);
    table.resize(size_t(1) << bitCount, 0);
    if (Usage == DIB_RGB_COLORS) {
      for (size_t i = 0; i < table.size(); ++i) {
        RGBQUAD q{BYTE(table[i]), BYTE(table[i] >> 8), BYTE(table[i] >> 16), 0};
        std::memcpy(&Info->bmiColors[i], &q, sizeof(q));
      }
    } else {
      auto* indexes = reinterpret_cast<WORD*>(Info->bmiColors);
      for (size_t i = 0; i < table.size(); ++i) indexes[i] = WORD(i);
    }
  }
  if (header.biCompression == BI_BITFIELDS) {
    DWORD masks[3];
    if (bitCount == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
      masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
    std::memcpy(Info->bmiColors, masks, sizeof(masks));
  }
  size_t rowBytes = DibRowBytes(width, bitCount);
  header.biSizeImage = DWORD(rowBytes * size_t(std::abs(header.biHeight ? header.biHeight : height)));
  if (!Bits) return surface.Height;

  // Scan lines are counted from the bottom of the picture for bottom-up requests.
  int first = int(std::min<UINT>(StartScan, UINT(surface.Height)));
  int last = int(std::min<uint64_t>(uint64_t(StartScan) + Lines, uint64_t(surface.Height)));
  if (last <= first) return 0;
  int copyWidth = std::min(width, surface.Width);
  TPixelSurface target;
  target.Width = width;
  target.Height = last - first;
  target.BitCount = bitCount;
  target.ColorTable = table.empty() ? nullptr : table.data();
  target.ColorCount = int(table.size());
  uint32_t* values = ScratchRow(0, size_t(std::max(width, surface.Width)));
  for (int line = first; line < last; ++line) {
    int sourceY = topDown ? line : surface.Height - 1 - line;
    uint8_t* destinationRow = static_cast<uint8_t*>(Bits) + size_t(line - first) * rowBytes;
    ReadRow(surface, 0, sourceY, copyWidth, values);
    bool sameIndexes = bitCount <= 8 && surface.BitCount == bitCount && !surface.UsesDCColors;
    if (!sameIndexes) {
      ValuesToColors(surface, values, copyWidth, 0x000000, 0xFFFFFF);
      if (bitCount <= 8)
        for (int x = 0; x < copyWidth; ++x) values[x] = ColorToValue(target, values[x]);
      else if (bitCount == 32)
        for (int x = 0; x < copyWidth; ++x) values[x] &= 0x00FFFFFF;
    }
    target.Top = destinationRow;
    target.Stride = ptrdiff_t(rowBytes);
    WriteRow(target, 0, 0, copyWidth, values);
  }
  return last - first;
}

int SetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage) {
  TBitmapObject* bitmap = GdiGetBitmap(Bitmap);
  TDibFormat format;
  if (!bitmap || !Bits || !Info || !format.Parse(Info, Usage, DC)) return 0;
  const TPixelSurface& surface = bitmap->Surface();
  int first = int(std::min<UINT>(StartScan, UINT(format.Height)));
  int last = int(std::min<uint64_t>(uint64_t(StartScan) + Lines, uint64_t(format.Height)));
  if (last <= first) return 0;
  TPixelSurface source = format.Wrap(Bits, last - first);
  int copyWidth = std::min(format.Width, surface.Width);
  uint32_t* values = ScratchRow(0, size_t(std::max(format.Width, surface.Width)));
  int copied = 0;
  for (int line = first; line < last; ++line) {
    // The buffer holds scan lines first..last-1 in order; scan line `line` of bottom-up data is
    // picture row (Height - 1 - line), and the bitmap's rows count from the top of the picture.
    int pictureY = format.TopDown ? line : format.Height - 1 - line;
    if (pictureY >= surface.Height) continue;
    format.ReadColors(source, line - first, copyWidth, values);
    if (IsIndexed(surface))
      for (int x = 0; x < copyWidth; ++x) values[x] = ColorToValue(surface, values[x]);
    WriteRow(surface, 0, pictureY, copyWidth, values);
    ++copied;
  }
  return copied;
}

LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits) {
  TBitmapObject* bitmap = GdiGetBitmap(Bitmap);
  if (!bitmap || Count < 0) return 0;
  // Device-dependent layout: top-down rows padded to 16 bits.
  const TPixelSurface& surface = bitmap->Surface();
  size_t rowBytes = ((size_t(surface.Width) * surface.BitCount + 15) / 16) * 2;
  size_t total = rowBytes * size_t(surface.Height);
  if (!Bits) return LONG(total);
  size_t wanted = std::min(total, size_t(Count));
  size_t copyRow = std::min(rowBytes, size_t(std::abs(surface.Stride)));
  for (int y = 0; y < surface.Height && size_t(y) * rowBytes < wanted; ++y) {
    size_t n = std::min(copyRow, wanted - size_t(y) * rowBytes);
    std::memcpy(static_cast<uint8_t*>(Bits) + size_t(y) * rowBytes, surface.Row(y), n);
  }
  return LONG(wanted);
}

LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits) {
  TBitmapObject* bitmap = GdiGetBitmap(Bitmap);
  if (!bitmap || !Bits) return 0;
  const TPixelSurface& surface = bitmap->Surface();
  size_t rowBytes = ((size_t(surface.Width) * surface.BitCount + 15) / 16) * 2;
  size_t total = std::min(rowBytes * size_t(surface.Height), size_t(Count));
  size_t copyRow = std::min(rowBytes, size_t(std::abs(surface.Stride)));
  for (int y = 0; y < surface.Height && size_t(y) * rowBytes < total; ++y) {
    size_t n = std::min(copyRow, total - size_t(y) * rowBytes);
    std::memcpy(surface.Row(y), static_cast<const uint8_t*>(Bits) + size_t(y) * rowBytes, n);
  }
  return LONG(total);
}

BOOL GetBitmapDimensionEx(HBITMAP Bitmap, LPSIZE Size) {
  if (!GdiGetBitmap(Bitmap) || !Size) return FALSE;
  *Size = SIZE{0, 0};
  return TRUE;
}

static TBitmapObject* SelectedSection(HDC DC) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return nullptr;
  TBitmapObject* bitmap = GdiGetBitmap(dc->State().Bitmap);
  if (!bitmap || !bitmap->IsDibSection() || bitmap->Surface().BitCount > 8) return nullptr;
  return bitmap;
}

UINT GetDIBColorTable(HDC DC, UINT Start, UINT Count, RGBQUAD* Colors) {
  TBitmapObject* bitmap = SelectedSection(DC);
  if (!bitmap || !Colors) return 0;
  const auto& table = bitmap->ColorTable();
  UINT copied = 0;
  for (UINT i = Start; i < table.size() && copied < Count; ++i, ++copied)
    Colors[copied] = RGBQUAD{BYTE(table[i]), BYTE(table[i] >> 8), BYTE(table[i] >> 16), 0};
  return copied;
}

UINT SetDIBColorTable(HDC DC, UINT Start, UINT Count, const RGBQUAD* Colors) {
  TBitmapObject* bitmap = SelectedSection(DC);
  if (!bitmap || !Colors) return 0;
  std::vector<uint32_t> table = bitmap->ColorTable();
  UINT copied = 0;
  for (UINT i = Start; i < table.size() && copied < Count; ++i, ++copied) {
    const RGBQUAD& q = Colors[copied];
    table[i] = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
  }
  bitmap->SetColorTable(table);
  GdiGetDC(DC)->RefreshSurface();
  return copied;
}

// Both draw a DIB from caller memory through the transfer core. Source coordinates count from
// the picture's bottom-left corner for bottom-up DIBs (as their scan lines do) and from its
// top-left corner for top-down ones.
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage,
                  DWORD Rop) {
  TDC* dc = GdiGetDC(DC);
  TDibFormat format;
  if (!dc || !Info || !format.Parse(Info, Usage, DC)) return 0;
  if (RopUsesSource(RopIndex(Rop)) && !Bits) return 0;
  std::vector<uint8_t> scratch;
  int pictureTop = 0;
  TBltSource source;
  if (Bits) source.Surface = format.WrapPicture(Bits, 0, format.Height, scratch, pictureTop);
  source.X = XSrc;
  source.Y = format.TopDown ? YSrc : format.Height - YSrc - SrcHeight;
  source.Width = SrcWidth;
  source.Height = SrcHeight;
  source.BkColor = dc->ResolveColor(dc->State().BkColor);
  POINT a = dc->LogicalToDevice(POINT{XDest, YDest});
  POINT b = dc->LogicalToDevice(POINT{XDest + DestWidth, YDest + DestHeight});
  if (!Transfer(*dc, a.x, a.y, b.x - a.x, b.y - a.y, Bits ? &source : nullptr, Rop)) return 0;
  return format.Height;
}

int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc,
                      UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage) {
  TDC* dc = GdiGetDC(DC);
  TDibFormat format;
  if (!dc || !Bits || !Info || !format.Parse(Info, Usage, DC)) return 0;
  if (StartScan >= UINT(format.Height) || Lines == 0) return 0;
  int lines = int(std::min<uint64_t>(Lines, uint64_t(format.Height) - StartScan));
  std::vector<uint8_t> scratch;
  int bandTop = 0;
  TBltSource source;
  source.Surface = format.WrapPicture(Bits, int(StartScan), lines, scratch, bandTop);
  int pictureY = format.TopDown ? YSrc : format.Height - YSrc - int(Height);
  source.X = XSrc;
  source.Y = pictureY - bandTop;  // rows outside the band are clipped away
  source.Width = int(Width);
  source.Height = int(Height);
  POINT a = dc->LogicalToDevice(POINT{XDest, YDest});
  if (!Transfer(*dc, a.x, a.y, int(Width), int(Height), &source, SRCCOPY)) return 0;
  return lines;
}
