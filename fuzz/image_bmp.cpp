// Arbitrary bytes through the BMP reader: it returns a picture or raises EInvalidGraphic, never
// crashes or leaks. A picture it returns must survive our writer and the reader again unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/imagefile/bmpfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  TBgraImage Image;
  try {
    DecodeBmp({Data, Size}, Image, nullptr, Limits);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  const std::vector<uint8_t> Written = EncodeBmp(Image.View(), 24);
  const TBgraImage Again = DecodeBmp(Written, nullptr, Limits);
  if (Again.Width != Image.Width || Again.Height != Image.Height) std::abort();
  for (size_t Index = 0; Index < Image.Pixels.size(); Index += 4)
    if (std::memcmp(&Image.Pixels[Index], &Again.Pixels[Index], 3) != 0) std::abort();
  return 0;
}
