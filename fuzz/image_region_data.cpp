// Region data from outside (form resources stream shaped-button regions as RGNDATA): any
// bytes must either be refused or give a region that survives a round trip, and drawing with
// it must stay inside the target.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // RGNDATA is read as 32-bit words: give it an aligned copy.
  std::vector<uint32_t> words((Size + 3) / 4 + 1, 0);
  if (Size) std::memcpy(words.data(), Data, Size);
  HRGN region = ExtCreateRegion(nullptr, DWORD(Size), reinterpret_cast<const RGNDATA*>(words.data()));
  if (!region) return 0;

  DWORD needed = GetRegionData(region, 0, nullptr);
  std::vector<uint32_t> copy((needed + 3) / 4, 0);
  if (GetRegionData(region, needed, reinterpret_cast<RGNDATA*>(copy.data())) != needed) __builtin_trap();
  HRGN again = ExtCreateRegion(nullptr, needed, reinterpret_cast<const RGNDATA*>(copy.data()));
  if (!again || !EqualRgn(region, again)) __builtin_trap();

  HRGN clip = CreateRectRgn(-3, -3, 20, 12);
  CombineRgn(again, again, clip, RGN_XOR);
  OffsetRgn(again, 1, -1);

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(16, 8, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  FrameRgn(dc, again, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 2, 1);
  SelectClipRgn(dc, region);
  PatBlt(dc, 0, 0, 16, 8, DSTINVERT);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  DeleteObject(clip);
  DeleteObject(again);
  DeleteObject(region);
  return 0;
}
