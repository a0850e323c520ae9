#include "platform/gdi/imagefile/jpegfile.h"

#include <new>
#include <string>

// jpeglib.h uses FILE without including stdio.h, and jerror.h needs jpeglib.h.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "platform/gdi/imagefile/jpegcodec.h"

void RaiseJpegError(int Code) {
  throw EJPEG("JPEG error #" + std::to_string(Code));
}

namespace {

TJpegLayout LayoutOf(TPixelLayout Format) {
  return Format == TPixelLayout::Bgr24 ? jlBgr24 : jlBgrx32;
}

TJpegCompressor* CreateCompressor() {
  TJpegCompressor* Compressor = JpegCompressorCreate();
  if (!Compressor) throw std::bad_alloc();
  return Compressor;
}

TJpegDecompressor* CreateDecompressor() {
  TJpegDecompressor* Decompressor = JpegDecompressorCreate();
  if (!Decompressor) throw std::bad_alloc();
  return Decompressor;
}

}  // namespace

TJpegEncoder::TJpegEncoder() : FCompressor(CreateCompressor(), JpegCompressorDestroy) {}

TJpegEncoder::~TJpegEncoder() = default;

std::span<const uint8_t> TJpegEncoder::Encode(const TPixelView& Source, int Quality) {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  const int Code = JpegCompressorEncode(FCompressor.get(), Source.Top, Source.Stride, Source.Width,
                                        Source.Height, LayoutOf(Source.Format), Quality, &Data, &Size);
  if (Code != 0) RaiseJpegError(Code);
  return {Data, Size};
}

TJpegDecoder::TJpegDecoder() : FDecompressor(CreateDecompressor(), JpegDecompressorDestroy) {}

TJpegDecoder::~TJpegDecoder() {
  Abort();
}

TJpegHeader TJpegDecoder::ReadHeader(std::span<const uint8_t> Bytes, TJpegDamage Damage) {
  Abort();
  TJpegHeaderInfo Info{};
  const int Code = JpegDecompressorReadHeader(FDecompressor.get(), Bytes.data(), Bytes.size(),
                                              Damage == TJpegDamage::Raise ? 1 : 0, &Info);
  if (Code != 0) RaiseJpegError(Code);
  FHeaderRead = true;
  return TJpegHeader{Info.Width, Info.Height, Info.Components, Info.Progressive != 0};
}

void TJpegDecoder::DecodeInto(uint8_t* Top, ptrdiff_t Stride, TPixelLayout Format) {
  if (!FHeaderRead) RaiseJpegError(JERR_BAD_STATE);
  FHeaderRead = false;
  const int Code = JpegDecompressorDecode(FDecompressor.get(), Top, Stride, LayoutOf(Format));
  if (Code != 0) RaiseJpegError(Code);
}

void TJpegDecoder::Abort() {
  if (FHeaderRead) JpegDecompressorAbort(FDecompressor.get());
  FHeaderRead = false;
}

void TJpegDecoder::Decode(std::span<const uint8_t> Bytes, TBgraImage& Out, const TImageLimits& Limits,
                          TJpegDamage Damage) {
  const TJpegHeader Header = ReadHeader(Bytes, Damage);
  try {
    CheckImageSize(Header.Width, Header.Height, Limits, "JPEG");
    Out.Resize(Header.Width, Header.Height);
  } catch (...) {
    Abort();
    throw;
  }
  Out.HasAlpha = false;
  DecodeInto(Out.Pixels.data(), ptrdiff_t(Header.Width) * 4, TPixelLayout::Bgra32);
}

std::vector<uint8_t> EncodeJpeg(const TPixelView& Source, int Quality) {
  TJpegEncoder Encoder;
  const std::span<const uint8_t> Bytes = Encoder.Encode(Source, Quality);
  return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

TBgraImage DecodeJpeg(std::span<const uint8_t> Bytes, const TImageLimits& Limits, TJpegDamage Damage) {
  TJpegDecoder Decoder;
  TBgraImage Image;
  Decoder.Decode(Bytes, Image, Limits, Damage);
  return Image;
}
