// Arbitrary bytes through the JPEG reader, strict and tolerant: it returns a picture or raises
// EJPEG (or EInvalidGraphic for a picture over the size limits), never crashes or leaks, and no
// libjpeg error jump escapes the C wrapper.
#include <cstdint>

#include "platform/gdi/imagefile/jpegfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const TImageLimits Limits{4096, 4096, int64_t(1) << 22};
  TJpegDecoder Decoder;
  TBgraImage Image;
  for (TJpegDamage Damage : {TJpegDamage::Raise, TJpegDamage::Tolerate}) {
    try {
      Decoder.Decode({Data, Size}, Image, Limits, Damage);
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
