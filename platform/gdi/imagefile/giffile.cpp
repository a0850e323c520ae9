#include "platform/gdi/imagefile/giffile.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

[[noreturn]] void RaiseInvalidGif(int Error = 0) {
  std::string Message = "GIF image is not valid";
  if (Error != 0) {
    if (const char* Reason = GifErrorString(Error)) Message += std::string(": ") + Reason;
  }
  throw EInvalidGraphic(Message);
}

struct TGifSource {
  const uint8_t* Data;
  size_t Size;
  size_t Position;
};

// giflib's read callback: copies what is left, fewer bytes at the end of the file image (giflib
// treats a short read as the end).
int ReadGifBytes(GifFileType* File, GifByteType* Target, int Count) {
  auto* Source = static_cast<TGifSource*>(File->UserData);
  const size_t Left = Source->Size - Source->Position;
  const size_t Copied = std::min(Left, size_t(Count > 0 ? Count : 0));
  if (Copied > 0) std::memcpy(Target, Source->Data + Source->Position, Copied);
  Source->Position += Copied;
  return int(Copied);
}

struct TGifCloser {
  void operator()(GifFileType* File) const {
    int Error = 0;
    DGifCloseFile(File, &Error);
  }
};

}  // namespace

TBgraImage DecodeGif(std::span<const uint8_t> Bytes, const TImageLimits& Limits) {
  TGifSource Source{Bytes.data(), Bytes.size(), 0};
  int Error = 0;
  std::unique_ptr<GifFileType, TGifCloser> File(DGifOpen(&Source, ReadGifBytes, &Error));
  if (!File) RaiseInvalidGif(Error);

  int TransparentIndex = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType Record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(File.get(), &Record) == GIF_ERROR) RaiseInvalidGif(File->Error);
    if (Record == TERMINATE_RECORD_TYPE) RaiseInvalidGif();  // no picture at all
    if (Record == EXTENSION_RECORD_TYPE) {
      int Code = 0;
      GifByteType* Block = nullptr;
      if (DGifGetExtension(File.get(), &Code, &Block) == GIF_ERROR) RaiseInvalidGif(File->Error);
      // The graphics control block that precedes a picture names its transparent colour.
      if (Code == GRAPHICS_EXT_FUNC_CODE && Block != nullptr && Block[0] == 4) {
        GraphicsControlBlock Control;
        if (DGifExtensionToGCB(Block[0], Block + 1, &Control) == GIF_OK)
          TransparentIndex = Control.TransparentColor;
      }
      while (Block != nullptr)
        if (DGifGetExtensionNext(File.get(), &Block) == GIF_ERROR) RaiseInvalidGif(File->Error);
      continue;
    }
    if (Record != IMAGE_DESC_RECORD_TYPE) continue;

    if (DGifGetImageDesc(File.get()) == GIF_ERROR) RaiseInvalidGif(File->Error);
    const GifImageDesc& Frame = File->Image;
    if (Frame.Width <= 0 || Frame.Height <= 0 || Frame.Left < 0 || Frame.Top < 0) RaiseInvalidGif();
    const ColorMapObject* Colors = Frame.ColorMap ? Frame.ColorMap : File->SColorMap;
    if (Colors == nullptr || Colors->Colors == nullptr) RaiseInvalidGif();
    // The logical screen, grown to hold a picture that reaches past it.
    const int64_t Width = std::max<int64_t>(File->SWidth, int64_t(Frame.Left) + Frame.Width);
    const int64_t Height = std::max<int64_t>(File->SHeight, int64_t(Frame.Top) + Frame.Height);
    CheckImageSize(Width, Height, Limits, "GIF");
    CheckImageSize(Frame.Width, Frame.Height, Limits, "GIF");

    TBgraImage Image;
    Image.Resize(int32_t(Width), int32_t(Height));
    std::fill(Image.Pixels.begin(), Image.Pixels.end(), 0);
    Image.HasAlpha =
        TransparentIndex != NO_TRANSPARENT_COLOR || Width != Frame.Width || Height != Frame.Height;

    std::vector<GifPixelType> Line(size_t(Frame.Width));
    // Interlaced pictures store every eighth row from 0, every eighth from 4, every fourth from 2,
    // then every second from 1.
    constexpr int PassStart[4] = {0, 4, 2, 1};
    constexpr int PassStep[4] = {8, 8, 4, 2};
    const int Passes = Frame.Interlace ? 4 : 1;
    for (int Pass = 0; Pass < Passes; ++Pass) {
      const int Start = Frame.Interlace ? PassStart[Pass] : 0;
      const int Step = Frame.Interlace ? PassStep[Pass] : 1;
      for (int Y = Start; Y < Frame.Height; Y += Step) {
        if (DGifGetLine(File.get(), Line.data(), Frame.Width) == GIF_ERROR) RaiseInvalidGif(File->Error);
        uint8_t* Target = Image.Row(Frame.Top + Y) + size_t(Frame.Left) * 4;
        for (int X = 0; X < Frame.Width; ++X) {
          const int Index = Line[size_t(X)];
          uint8_t* Pixel = Target + 4 * X;
          if (Index == TransparentIndex) continue;  // stays transparent black
          if (Index < Colors->ColorCount) {
            const GifColorType& Color = Colors->Colors[Index];
            Pixel[0] = Color.Blue;
            Pixel[1] = Color.Green;
            Pixel[2] = Color.Red;
          }  // an index past the colour map is black
          Pixel[3] = 255;
        }
      }
    }
    return Image;
  }
}
