// Arbitrary bytes through the class library's JPEG image as the watermark loader uses it: the
// file read, then the picture decoded into a bitmap (full size, and scaled and grey as other
// callers ask). A picture or EInvalidGraphic (EJPEG among them), never a crash or a leak.
#include <cstdint>

#include "platform/forms/bitmap.h"
#include "platform/forms/jpegimage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size > (size_t(1) << 20)) return 0;
  TMemoryStream Input;
  if (Size) Input.WriteBuffer(Data, int32_t(Size));
  for (bool Scaled : {false, true}) {
    Input.SetPosition(0);
    TJPEGImage Jpeg;
    try {
      Jpeg.LoadFromStream(Input);
      if (Jpeg.Width() > 4096 || Jpeg.Height() > 4096) return 0;
      if (Scaled) {
        Jpeg.SetScale(jsQuarter);
        Jpeg.SetGrayscale(true);
      }
      TBitmap Bitmap;
      Bitmap.Assign(&Jpeg);
    } catch (const EInvalidGraphic&) {
    } catch (const EReadError&) {
    }
  }
  return 0;
}
