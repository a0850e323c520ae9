// Arbitrary bytes through the GIF reader: it returns a picture or raises EInvalidGraphic, never
// crashes or leaks.
#include <cstdint>

#include "platform/gdi/imagefile/giffile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  try {
    DecodeGif({Data, Size}, Limits);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
