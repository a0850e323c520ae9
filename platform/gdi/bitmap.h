#pragma once
// Bitmaps. Every bitmap is kept as a device-independent pixel block the DCs can draw on:
// - device-dependent bitmaps (CreateBitmap, CreateCompatibleBitmap, CreateDIBitmap): top-down
//   rows padded to 16 bits for monochrome ones (as GetBitmapBits lays them out) and to 32 bits
//   otherwise; their bits are private (GetObject answers no bmBits);
// - DIB sections (CreateDIBSection): rows padded to 32 bits, bottom-up when the header's height
//   is positive, top-down when it is negative; the caller sees and writes the bits directly.
// A monochrome device-dependent bitmap takes its colours from the DCs it is drawn with (text and
// background colours); a DIB section's colour table gives its colours.

#include <memory>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 4;

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};
using LPBITMAP = BITMAP*;

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
using LPBITMAPINFO = BITMAPINFO*;

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
};

class TBitmapObject : public TGdiObject {
 public:
  TBitmapObject() : TGdiObject(OBJ_BITMAP) {}
  ~TBitmapObject() override;

  // Allocates zeroed pixels. Answers false when the size is out of range or memory runs out.
  bool Allocate(int Width, int Height, int BitCount, bool DibSection, bool BottomUp);
  void SetColorTable(const std::vector<uint32_t>& Colors);

  int GetObjectInfo(int Size, void* Buffer) const override;
  bool IsMonochrome() const { return FSurface.BitCount == 1; }
  bool IsDibSection() const { return FDibSection; }
  bool IsBottomUp() const { return FBottomUp; }
  // Bytes from one row to the next in memory (always positive).
  int RowBytes() const { return FRowBytes; }
  const TPixelSurface& Surface() const { return FSurface; }
  // The start of the pixel memory (the bottom row for bottom-up sections).
  uint8_t* Bits() const { return FBits; }
  size_t ImageSize() const { return size_t(FRowBytes) * size_t(FSurface.Height); }
  std::vector<uint32_t>& ColorTable() { return FColorTable; }
  const std::vector<uint32_t>& ColorTable() const { return FColorTable; }
  // Whether 1-bit pixels use the DC colours (device-dependent) or the colour table.
  bool UsesDCColors() const { return IsMonochrome() && !FDibSection; }

  // The DC this bitmap is selected into, if any (a bitmap can be in one DC at a time).
  HDC SelectedInto = nullptr;
  BITMAPINFOHEADER DibHeader{};  // as given to CreateDIBSection
  DWORD BitFields[3] = {0, 0, 0};

 private:
  TPixelSurface FSurface;
  uint8_t* FBits = nullptr;
  int FRowBytes = 0;
  bool FDibSection = false;
  bool FBottomUp = false;
  std::vector<uint32_t> FColorTable;
};

TBitmapObject* GdiGetBitmap(HBITMAP Bitmap);
// The 1x1 monochrome bitmap every memory DC starts with.
HBITMAP GdiDefaultBitmap();
// Reads one pixel as 0x00RRGGBB (monochrome device-dependent pixels as black for 0 and white
// for 1). Coordinates must be inside the surface.
uint32_t GdiReadPixel(const TPixelSurface& Surface, int X, int Y);
// Writes a pixel value (see TDC::ColorToPixel) at a surface position inside the surface.
void GdiWritePixel(const TPixelSurface& Surface, int X, int Y, uint32_t Pixel);
// The index of the colour-table entry nearest to Color (squared distance, first one on ties).
uint32_t GdiNearestIndex(const uint32_t* Table, int Count, COLORREF Color);

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits);
HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap);
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
HBITMAP CreateDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section,
                         DWORD Offset);
HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage);
// Reads Lines rows from StartScan (counted from the bottom for bottom-up requests) of Bitmap in
// the format Info asks for. With Bits null, fills in Info's header (biSizeImage, and the colour
// table for 8 bits or fewer) and answers non-zero. Answers the rows copied, 0 on error.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage);
LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits);
LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits);
BOOL GetBitmapDimensionEx(HBITMAP Bitmap, LPSIZE Size);
// The colour table of the DIB section selected into DC.
UINT GetDIBColorTable(HDC DC, UINT Start, UINT Count, RGBQUAD* Colors);
UINT SetDIBColorTable(HDC DC, UINT Start, UINT Count, const RGBQUAD* Colors);
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage,
                  DWORD Rop);
int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc,
                      UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
