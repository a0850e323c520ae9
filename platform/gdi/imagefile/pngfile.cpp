#include "platform/gdi/imagefile/pngfile.h"

#include <png.h>

#include <cstring>

#include "platform/gdi/imagefile/imagefile.h"

namespace {

[[noreturn]] void RaisePngError(const png_image& Image) {
  std::string Message = "PNG image is not valid";
  if (Image.message[0] != '\0') Message += std::string(": ") + Image.message;
  throw EInvalidGraphic(Message);
}

// Releases libpng's reader when a read is abandoned between its two halves.
struct TPngImageGuard {
  png_image& Image;
  ~TPngImageGuard() { png_image_free(&Image); }
};

}  // namespace

TBgraImage DecodePng(std::span<const uint8_t> Bytes, const TImageLimits& Limits) {
  png_image Image;
  std::memset(&Image, 0, sizeof(Image));
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&Image, Bytes.data(), Bytes.size())) RaisePngError(Image);
  TBgraImage Result;
  {
    TPngImageGuard Guard{Image};
    CheckImageSize(Image.width, Image.height, Limits, "PNG");
    Result.HasAlpha = (Image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    Result.Resize(int32_t(Image.width), int32_t(Image.height));
    Image.format = PNG_FORMAT_BGRA;
    // Straight alpha: the 8-bit sRGB formats of the simplified interface are never premultiplied.
    const bool Done = png_image_finish_read(&Image, nullptr, Result.Pixels.data(),
                                            png_int_32(Result.Width) * 4, nullptr) != 0;
    if (!Done) RaisePngError(Image);
  }
  return Result;
}

std::vector<uint8_t> EncodePng(const TPixelView& Source) {
  if (Source.Width <= 0 || Source.Height <= 0) throw EInvalidGraphic("PNG image is not valid");
  png_image Image;
  std::memset(&Image, 0, sizeof(Image));
  Image.version = PNG_IMAGE_VERSION;
  Image.width = png_uint_32(Source.Width);
  Image.height = png_uint_32(Source.Height);

  // libpng reads rows top-first with a positive stride, bottom-first with a negative one.
  const uint8_t* First = Source.Top;
  ptrdiff_t Stride = Source.Stride;
  std::vector<uint8_t> Packed;
  if (Source.Format == TPixelLayout::Bgrx32) {
    // The unused byte is no alpha: write colour only.
    Packed.resize(size_t(Source.Width) * size_t(Source.Height) * 3);
    for (int32_t Y = 0; Y < Source.Height; ++Y) {
      const uint8_t* From = Source.Row(Y);
      uint8_t* To = Packed.data() + size_t(Y) * size_t(Source.Width) * 3;
      for (int32_t X = 0; X < Source.Width; ++X) {
        To[3 * X] = From[4 * X];
        To[3 * X + 1] = From[4 * X + 1];
        To[3 * X + 2] = From[4 * X + 2];
      }
    }
    First = Packed.data();
    Stride = ptrdiff_t(Source.Width) * 3;
    Image.format = PNG_FORMAT_BGR;
  } else {
    Image.format = Source.Format == TPixelLayout::Bgra32 ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    if (Stride < 0) First = Source.Row(Source.Height - 1);
  }

  const size_t RowBytes = size_t(PNG_IMAGE_ROW_STRIDE(Image));
  std::vector<uint8_t> Out(PNG_IMAGE_PNG_SIZE_MAX(Image) + RowBytes);
  png_alloc_size_t Size = Out.size();
  if (!png_image_write_to_memory(&Image, Out.data(), &Size, 0, First, png_int_32(Stride), nullptr)) {
    std::string Message = "PNG image could not be written";
    if (Image.message[0] != '\0') Message += std::string(": ") + Image.message;
    png_image_free(&Image);
    throw EInvalidGraphic(Message);
  }
  Out.resize(Size);
  return Out;
}

void SavePngFile(const std::string& FileName, const TPixelView& Source) {
  const std::vector<uint8_t> Bytes = EncodePng(Source);
  WriteFileBytes(FileName, Bytes);
}
