// Region bytes as image buttons stream them ("RegionData": a count, then region data): any
// bytes must be refused or give a region that survives a round trip through its region data and
// its streamed form. The same bytes also make a small picture, whose region must cover exactly
// the pixels that differ from the key colour.

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "vcontrols/common/regions.h"

namespace {

void CheckStreamedRegion(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  if (Size) stream.WriteBuffer(Data, int32_t(Size));
  stream.SetPosition(0);
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadRegionBytes(stream);
  } catch (const EReadError&) {
    return;
  }
  HRGN region = RegionFromBytes(bytes);
  if (!region) return;
  const std::vector<uint8_t> captured = CaptureRegionBytes(region);
  HRGN again = RegionFromBytes(captured);
  if (!again || !EqualRgn(region, again)) __builtin_trap();

  TMemoryStream written;
  WriteRegionBytes(written, captured);
  written.SetPosition(0);
  if (ReadRegionBytes(written) != captured) __builtin_trap();
  DeleteObject(again);
  DeleteObject(region);
}

void CheckPictureRegion(const uint8_t* Data, size_t Size) {
  if (Size < 3) return;
  const int32_t width = Data[0] % 17 + 1, height = Data[1] % 9 + 1;
  const TColor key = Data[2] & 1 ? TColor(-1) : TColor(Data[2] & 0x0F);
  std::vector<uint8_t> pixels(size_t(vcRowSize(width)) * size_t(height), 0);
  const TvcRaster image{pixels.data(), width, height, vcRowSize(width)};
  // Few distinct colours, so that runs and key pixels occur.
  size_t next = 3;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t value = next < Size ? Data[next++] & 0x03 : 0;
      image.At(x, y)[0] = value;
    }
  HRGN region = RegionFromRaster(image, key);
  const TColor resolved = key == -1 ? PixelToColor(ReadPixel(image.Pixels)) : key;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const bool expected = PixelToColor(ReadPixel(image.At(x, y))) != resolved;
      const bool inside = region && PtInRegion(region, x, y);
      if (inside != expected) __builtin_trap();
    }
  if (region) {
    RECT box;
    GetRgnBox(region, &box);
    if (box.left < 0 || box.top < 0 || box.right > width || box.bottom > height) __builtin_trap();
    DeleteObject(region);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  CheckStreamedRegion(Data, Size);
  CheckPictureRegion(Data, Size);
  return 0;
}
