// Arbitrary bytes through the PNG reader: it returns a picture or raises EInvalidGraphic, never
// crashes or leaks. A picture it returns must survive our writer and the reader again exactly,
// alpha included (straight alpha in, straight alpha out).
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/imagefile/pngfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  TBgraImage Image;
  try {
    Image = DecodePng({Data, Size}, Limits);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  const TBgraImage Again = DecodePng(EncodePng(Image.View()), Limits);
  if (Again.Width != Image.Width || Again.Height != Image.Height || Again.Pixels != Image.Pixels)
    std::abort();
  return 0;
}
