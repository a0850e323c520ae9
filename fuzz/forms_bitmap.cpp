// Arbitrary bytes through the class library's bitmap reader (the direct path for layouts a DIB
// section holds as they are, the general reader for the rest): a picture or EInvalidGraphic,
// never a crash or a leak. A picture it reads must be written and read back to the same file.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/forms/bitmap.h"

namespace {

void Reload(TBitmap& Bitmap, TMemoryStream& Saved) {
  Saved.Clear();
  Bitmap.SaveToStream(Saved);
  Saved.SetPosition(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size > (size_t(1) << 20)) return 0;
  TMemoryStream Input;
  if (Size) Input.WriteBuffer(Data, int32_t(Size));
  Input.SetPosition(0);
  TBitmap Bitmap;
  try {
    Bitmap.LoadFromStream(Input);
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const EReadError&) {
    return 0;
  }
  TMemoryStream First, Second;
  Reload(Bitmap, First);
  TBitmap Again;
  Again.LoadFromStream(First);
  Reload(Again, Second);
  if (First.Size() != Second.Size() ||
      std::memcmp(First.Memory(), Second.Memory(), size_t(First.Size())) != 0)
    std::abort();
  return 0;
}
