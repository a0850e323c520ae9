#include "platform/gdi/brush.h"

#include <cstring>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/surface.h"

namespace {

// Hatch patterns, one byte per row, most significant bit leftmost; 1 bits are the lines.
constexpr uint8_t Hatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

HBRUSH AddBrush(std::unique_ptr<TBrushObject> Brush) {
  return GdiHandleAs<HBRUSH>(GdiAddObject(std::move(Brush)));
}

}  // namespace

std::unique_ptr<TBrushObject> TBrushObject::Solid(COLORREF Color) {
  auto brush = std::make_unique<TBrushObject>();
  brush->Color = Color;
  return brush;
}

std::unique_ptr<TBrushObject> TBrushObject::Null() {
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = BS_NULL;
  return brush;
}

std::unique_ptr<TBrushObject> TBrushObject::DCBrush() {
  auto brush = std::make_unique<TBrushObject>();
  brush->FollowsDCColor = true;
  return brush;
}

int TBrushObject::GetObjectInfo(int Size, void* Buffer) const {
  if (!Buffer) return int(sizeof(LOGBRUSH));
  if (Size < int(sizeof(LOGBRUSH))) return 0;
  LOGBRUSH brush{Style, Color, ULONG_PTR(Hatch)};
  if (Style == BS_PATTERN) brush.lbHatch = reinterpret_cast<ULONG_PTR>(PatternBitmap);
  std::memcpy(Buffer, &brush, sizeof(brush));
  return int(sizeof(LOGBRUSH));
}

TBrushObject* GdiGetBrush(HBRUSH Brush) {
  return GdiGetObjectAs<TBrushObject>(Brush, OBJ_BRUSH);
}

HBRUSH CreateSolidBrush(COLORREF Color) {
  return AddBrush(TBrushObject::Solid(Color));
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
  if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) return nullptr;
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = BS_HATCHED;
  brush->Color = Color;
  brush->Hatch = Hatch;
  brush->Monochrome = true;
  brush->PatternWidth = brush->PatternHeight = 8;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) brush->Pattern.push_back((Hatches[Hatch][y] >> (7 - x)) & 1);
  return AddBrush(std::move(brush));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
  TBitmapObject* bitmap = GdiGetBitmap(Bitmap);
  if (!bitmap) return nullptr;
  const TPixelSurface& surface = bitmap->Surface();
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = BS_PATTERN;
  brush->PatternBitmap = Bitmap;
  brush->PatternWidth = surface.Width;
  brush->PatternHeight = surface.Height;
  // Any 1-bit bitmap is a monochrome pattern: its bits take the DC's colours.
  brush->Monochrome = surface.BitCount == 1;
  brush->Pattern.resize(size_t(surface.Width) * size_t(surface.Height));
  for (int y = 0; y < surface.Height; ++y) {
    uint32_t* row = brush->Pattern.data() + size_t(y) * size_t(surface.Width);
    gdi::ReadRow(surface, 0, y, surface.Width, row);
    if (!brush->Monochrome) gdi::ValuesToColors(surface, row, surface.Width, 0x000000, 0xFFFFFF);
  }
  return AddBrush(std::move(brush));
}

HBRUSH CreateDIBPatternBrushPt(const void* PackedDib, UINT Usage) {
  if (!PackedDib) return nullptr;
  const auto* info = static_cast<const BITMAPINFO*>(PackedDib);
  gdi::TDibFormat format;
  if (!format.Parse(info, Usage, nullptr)) return nullptr;
  size_t tableBytes = info->bmiHeader.biCompression == BI_BITFIELDS ? 12
                      : format.BitCount <= 8 ? (info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed
                                                                          : (1u << format.BitCount)) *
                                                   (Usage == DIB_PAL_COLORS ? 2 : 4)
                                             : 0;
  const uint8_t* bits = reinterpret_cast<const uint8_t*>(info) + info->bmiHeader.biSize + tableBytes;
  TPixelSurface source = format.Wrap(bits, format.Height);
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = BS_DIBPATTERNPT;
  brush->PatternWidth = format.Width;
  brush->PatternHeight = format.Height;
  brush->Pattern.resize(size_t(format.Width) * size_t(format.Height));
  for (int y = 0; y < format.Height; ++y) {
    int sourceRow = format.TopDown ? y : format.Height - 1 - y;
    format.ReadColors(source, sourceRow, format.Width,
                      brush->Pattern.data() + size_t(y) * size_t(format.Width));
  }
  return AddBrush(std::move(brush));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* LogBrush) {
  if (!LogBrush) return nullptr;
  switch (LogBrush->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(LogBrush->lbColor);
    case BS_NULL:
      return AddBrush(TBrushObject::Null());
    case BS_HATCHED:
      return CreateHatchBrush(int(LogBrush->lbHatch), LogBrush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8:
      return CreatePatternBrush(reinterpret_cast<HBITMAP>(LogBrush->lbHatch));
    case BS_DIBPATTERNPT:
      return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(LogBrush->lbHatch),
                                     UINT(LogBrush->lbColor));
    default:
      return nullptr;
  }
}
