#include "platform/forms/imagecodec.h"

#include <utility>

#include "platform/gdi/imagefile/bmpfile.h"
#include "platform/gdi/imagefile/icofile.h"
#include "platform/gdi/imagefile/pngfile.h"

namespace imagecodec {

namespace {

void MoveOut(TBgraImage& Source, TImage& Out) {
  Out.Width = Source.Width;
  Out.Height = Source.Height;
  Out.HasAlpha = Source.HasAlpha;
  Out.Pixels = std::move(Source.Pixels);
}

}  // namespace

void DecodeBmp(std::span<const uint8_t> Bytes, TImage& Out) {
  TBgraImage Image = ::DecodeBmp(Bytes);
  MoveOut(Image, Out);
}

std::vector<TIconInfo> IconDirectory(std::span<const uint8_t> Bytes, size_t* Best) {
  const std::vector<TIconEntry> Entries = ReadIconDirectory(Bytes);
  std::vector<TIconInfo> Result;
  Result.reserve(Entries.size());
  for (const TIconEntry& Entry : Entries)
    Result.push_back(TIconInfo{Entry.Width, Entry.Height, Entry.BitCount});
  if (Best) *Best = Entries.empty() ? 0 : BestIconEntry(Entries);
  return Result;
}

void DecodeIco(std::span<const uint8_t> Bytes, int32_t Index, TImage& Out) {
  TBgraImage Image = ::DecodeIco(Bytes, Index);
  MoveOut(Image, Out);
}

void SavePng(const std::string& FileName, const uint8_t* Top, ptrdiff_t Stride, int32_t Width, int32_t Height,
             int32_t BytesPerPixel) {
  TPixelView View{Top, Stride, Width, Height,
                  BytesPerPixel == 3 ? TPixelLayout::Bgr24 : TPixelLayout::Bgrx32};
  SavePngFile(FileName, View);
}

}  // namespace imagecodec
