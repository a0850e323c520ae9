// Arbitrary bytes through the TIFF reader: it returns a picture or raises EInvalidGraphic, never
// crashes, leaks or prints libtiff's complaints.
#include <cstdint>

#include "platform/gdi/imagefile/tifffile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  try {
    DecodeTiff({Data, Size}, Limits);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
