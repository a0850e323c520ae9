// Arbitrary bytes through the icon reader, every entry of the directory: each returns a picture
// or raises EInvalidGraphic, never crashes or leaks.
#include <algorithm>
#include <cstdint>

#include "platform/gdi/imagefile/icofile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  size_t Count = 0;
  try {
    Count = ReadIconDirectory({Data, Size}).size();
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  // A hostile directory may list thousands of entries pointing at the same bytes.
  Count = std::min<size_t>(Count, 16);
  for (size_t Index = 0; Index < Count; ++Index) {
    try {
      DecodeIco({Data, Size}, int32_t(Index), Limits);
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
