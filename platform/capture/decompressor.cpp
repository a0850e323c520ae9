#include "platform/capture/decompressor.h"

#include <cstdlib>

#include "platform/capture/videoformat.h"

bool TDecompressor::Accepts(const BITMAPINFOHEADER& Input) {
  return Input.biCompression != BI_RGB && IsReadableVideoFormat(Input);
}

bool TDecompressor::Produces(const BITMAPINFOHEADER& Input, const BITMAPINFOHEADER& Output) {
  return Accepts(Input) && Output.biCompression == BI_RGB &&
         (Output.biBitCount == 24 || Output.biBitCount == 32) && Output.biWidth == Input.biWidth &&
         std::abs(Output.biHeight) == std::abs(Input.biHeight);
}

BITMAPINFOHEADER TDecompressor::ProposedOutput(const BITMAPINFOHEADER& Input) {
  int BitCount = 24;
  switch (Input.biCompression) {
    case FOURCC_YUY2:
    case FOURCC_UYVY:
    case FOURCC_Y41P:
    case FOURCC_Y8: BitCount = 32; break;
    default: break;
  }
  return MakeVideoFormat(BI_RGB, Input.biWidth, std::abs(Input.biHeight), BitCount);
}

bool TDecompressor::Begin(const BITMAPINFOHEADER& Input, const BITMAPINFOHEADER& Output) {
  FBegun = Produces(Input, Output) && FDecoder.Configure(Input);
  return FBegun;
}

bool TDecompressor::Decompress(const BITMAPINFOHEADER& Input, const uint8_t* Data,
                               const BITMAPINFOHEADER& Output, uint8_t* Bits) {
  if (!Data || !Bits || !Produces(Input, Output) || !FDecoder.Configure(Input)) return false;
  size_t Available = Input.biSizeImage;
  if (Available == 0)
    Available = VideoImageSize(Input.biCompression, Input.biWidth, Input.biHeight, Input.biBitCount);
  const AVFrame* Picture = FDecoder.Decode(Data, Available);
  if (!Picture) return false;
  const int Width = Output.biWidth;
  const int Height = std::abs(Output.biHeight);
  if (Output.biHeight > 0) return FConverter.ConvertToDib(*Picture, Width, Height, Output.biBitCount, Bits);
  const int Stride = int(VideoRowStride(Width, Output.biBitCount));
  uint8_t* const Planes[4] = {Bits, nullptr, nullptr, nullptr};
  const int Strides[4] = {Stride, 0, 0, 0};
  return FConverter.Convert(*Picture, Output.biBitCount == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24,
                            Width, Height, Planes, Strides);
}
