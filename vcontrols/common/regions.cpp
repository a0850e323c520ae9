#include "vcontrols/common/regions.h"

#include <cstring>

#include "platform/gdi/region.h"
#include "platform/rtl/exceptions.h"

HRGN RegionFromRaster(const TvcRaster& Image, TColor Color) {
  if (Image.Empty()) return nullptr;
  const TColor key = Color == -1 ? PixelToColor(ReadPixel(Image.Pixels)) : Color;
  std::vector<RECT> runs;
  for (int32_t y = 0; y < Image.Height; ++y) {
    const uint8_t* row = Image.Row(y);
    int32_t x = 0;
    while (x < Image.Width) {
      while (x < Image.Width && PixelToColor(ReadPixel(row + 3 * x)) == key) ++x;
      const int32_t first = x;
      while (x < Image.Width && PixelToColor(ReadPixel(row + 3 * x)) != key) ++x;
      if (x > first) runs.push_back(RECT{first, y, x, y + 1});
    }
  }
  if (runs.empty()) return nullptr;
  // Joining every run at once gives the same region as joining them one by one.
  return GdiCreateRegion(TRegion::FromRects(runs.data(), runs.size()));
}

std::vector<uint8_t> CaptureRegionBytes(HRGN Region) {
  if (!Region) return {};
  const DWORD size = GetRegionData(Region, 0, nullptr);
  if (size == 0) return {};
  // Region data is read as 32-bit words: build it in aligned memory.
  std::vector<uint32_t> words((size + 3) / 4);
  if (GetRegionData(Region, size, reinterpret_cast<RGNDATA*>(words.data())) != size) return {};
  std::vector<uint8_t> bytes(size);
  std::memcpy(bytes.data(), words.data(), size);
  return bytes;
}

HRGN RegionFromBytes(const std::vector<uint8_t>& Bytes) {
  if (Bytes.empty()) return nullptr;
  std::vector<uint32_t> words((Bytes.size() + 3) / 4, 0);
  std::memcpy(words.data(), Bytes.data(), Bytes.size());
  return ExtCreateRegion(nullptr, DWORD(Bytes.size()), reinterpret_cast<const RGNDATA*>(words.data()));
}

void WriteRegionBytes(TStream& Stream, const std::vector<uint8_t>& Bytes) {
  const int32_t count = int32_t(Bytes.size());
  uint8_t header[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
  Stream.WriteBuffer(header, 4);
  if (count) Stream.WriteBuffer(Bytes.data(), count);
}

std::vector<uint8_t> ReadRegionBytes(TStream& Stream) {
  uint8_t header[4];
  Stream.ReadBuffer(header, 4);
  const int32_t count = int32_t(uint32_t(header[0]) | uint32_t(header[1]) << 8 | uint32_t(header[2]) << 16 |
                                uint32_t(header[3]) << 24);
  if (count == 0) return {};
  // Check the count against what is there before making room for it: the bytes come from a
  // form file.
  if (count < 0 || count > Stream.Size() - Stream.Position()) throw EReadError("Stream read error");
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  Stream.ReadBuffer(bytes.data(), count);
  return bytes;
}
