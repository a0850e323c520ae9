#include "platform/gdi/imagefile/tifffile.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

// The file image libtiff reads through the client procedures below.
struct TTiffSource {
  const uint8_t* Data;
  toff_t Size;
  toff_t Position;
  std::string FirstError;  // libtiff's first complaint, for the exception text
};

tmsize_t ReadTiffBytes(thandle_t Handle, void* Target, tmsize_t Count) {
  auto* Source = static_cast<TTiffSource*>(Handle);
  if (Count <= 0 || Source->Position >= Source->Size) return 0;
  const toff_t Copied = std::min<toff_t>(toff_t(Count), Source->Size - Source->Position);
  std::memcpy(Target, Source->Data + Source->Position, size_t(Copied));
  Source->Position += Copied;
  return tmsize_t(Copied);
}

tmsize_t WriteTiffBytes(thandle_t, void*, tmsize_t) {
  return -1;
}

toff_t SeekTiff(thandle_t Handle, toff_t Offset, int Whence) {
  auto* Source = static_cast<TTiffSource*>(Handle);
  toff_t Base = 0;
  if (Whence == SEEK_CUR) Base = Source->Position;
  if (Whence == SEEK_END) Base = Source->Size;
  // libtiff passes negative relative offsets as wrapped unsigned values.
  Source->Position = Base + Offset;
  return Source->Position;
}

int CloseTiff(thandle_t) {
  return 0;
}
toff_t TiffSize(thandle_t Handle) {
  return static_cast<TTiffSource*>(Handle)->Size;
}
int MapTiff(thandle_t, void**, toff_t*) {
  return 0;
}
void UnmapTiff(thandle_t, void*, toff_t) {}

int RecordTiffError(TIFF*, void* UserData, const char*, const char* Format, va_list Arguments) {
  auto* Source = static_cast<TTiffSource*>(UserData);
  if (Source->FirstError.empty()) {
    char Text[256];
    std::vsnprintf(Text, sizeof(Text), Format, Arguments);
    Source->FirstError = Text;
  }
  return 1;  // handled: nothing reaches the terminal
}

int IgnoreTiffWarning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

// Messages libtiff raises before a handle exists go to its process-wide handlers; silence them.
void SilenceGlobalHandlers() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
  });
}

[[noreturn]] void RaiseInvalidTiff(const TTiffSource& Source) {
  std::string Message = "TIFF image is not valid";
  if (!Source.FirstError.empty()) Message += ": " + Source.FirstError;
  throw EInvalidGraphic(Message);
}

struct TTiffCloser {
  void operator()(TIFF* File) const { TIFFClose(File); }
};
struct TTiffOptionsFree {
  void operator()(TIFFOpenOptions* Options) const { TIFFOpenOptionsFree(Options); }
};

}  // namespace

TBgraImage DecodeTiff(std::span<const uint8_t> Bytes, const TImageLimits& Limits) {
  SilenceGlobalHandlers();
  TTiffSource Source{Bytes.data(), toff_t(Bytes.size()), 0, {}};
  std::unique_ptr<TIFFOpenOptions, TTiffOptionsFree> Options(TIFFOpenOptionsAlloc());
  if (!Options) throw std::bad_alloc();
  TIFFOpenOptionsSetErrorHandlerExtR(Options.get(), RecordTiffError, &Source);
  TIFFOpenOptionsSetWarningHandlerExtR(Options.get(), IgnoreTiffWarning, &Source);
  // No single buffer of libtiff's may exceed what the largest allowed picture could need at 16
  // bits per sample with alpha.
  TIFFOpenOptionsSetMaxSingleMemAlloc(Options.get(), tmsize_t(Limits.MaxPixels) * 8 + (1 << 20));

  std::unique_ptr<TIFF, TTiffCloser> File(TIFFClientOpenExt("picture", "rm", &Source, ReadTiffBytes,
                                                            WriteTiffBytes, SeekTiff, CloseTiff, TiffSize,
                                                            MapTiff, UnmapTiff, Options.get()));
  if (!File) RaiseInvalidTiff(Source);

  uint32_t Width = 0, Height = 0;
  if (!TIFFGetField(File.get(), TIFFTAG_IMAGEWIDTH, &Width) ||
      !TIFFGetField(File.get(), TIFFTAG_IMAGELENGTH, &Height))
    RaiseInvalidTiff(Source);
  CheckImageSize(Width, Height, Limits, "TIFF");
  char Reason[1024] = {0};
  if (!TIFFRGBAImageOK(File.get(), Reason)) {
    if (Source.FirstError.empty()) Source.FirstError = Reason;
    RaiseInvalidTiff(Source);
  }

  uint16_t ExtraCount = 0;
  uint16_t* ExtraKinds = nullptr;
  bool Alpha = false;
  if (TIFFGetField(File.get(), TIFFTAG_EXTRASAMPLES, &ExtraCount, &ExtraKinds) && ExtraCount > 0 &&
      ExtraKinds)
    Alpha = ExtraKinds[0] == EXTRASAMPLE_ASSOCALPHA || ExtraKinds[0] == EXTRASAMPLE_UNASSALPHA;

  TBgraImage Image;
  Image.Resize(int32_t(Width), int32_t(Height));
  Image.HasAlpha = Alpha;
  // libtiff writes packed 32-bit pixels (red in the low byte) straight into our buffer; they are
  // then turned into blue-first bytes in place.
  static_assert(alignof(std::max_align_t) >= alignof(uint32_t));
  auto* Raster = reinterpret_cast<uint32_t*>(Image.Pixels.data());
  if (!TIFFReadRGBAImageOriented(File.get(), Width, Height, Raster, ORIENTATION_TOPLEFT, 1))
    RaiseInvalidTiff(Source);

  const size_t Count = size_t(Width) * Height;
  for (size_t Index = 0; Index < Count; ++Index) {
    uint8_t* Pixel = Image.Pixels.data() + Index * 4;
    uint32_t Packed;
    std::memcpy(&Packed, Pixel, 4);
    uint32_t Red = TIFFGetR(Packed), Green = TIFFGetG(Packed), Blue = TIFFGetB(Packed);
    const uint32_t A = TIFFGetA(Packed);
    // libtiff hands alpha pictures over premultiplied; our pictures carry straight alpha.
    if (Alpha && A != 255) {
      if (A == 0) {
        Red = Green = Blue = 0;
      } else {
        Red = std::min<uint32_t>(255, (Red * 255 + A / 2) / A);
        Green = std::min<uint32_t>(255, (Green * 255 + A / 2) / A);
        Blue = std::min<uint32_t>(255, (Blue * 255 + A / 2) / A);
      }
    }
    Pixel[0] = uint8_t(Blue);
    Pixel[1] = uint8_t(Green);
    Pixel[2] = uint8_t(Red);
    Pixel[3] = Alpha ? uint8_t(A) : 255;
  }
  return Image;
}
