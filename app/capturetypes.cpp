#include "app/capturetypes.h"

#include <cstdlib>
#include <cstring>

#include "platform/capture/fourcc.h"

int32_t DibRowStride(int32_t Bits) {
  return ((Bits + 31) / 32) * 4;
}

void FillBitmapInfoHeader(BITMAPINFOHEADER& Header, int32_t Width, int32_t Height, int32_t BitCount) {
  Header = BITMAPINFOHEADER{};
  Header.biSize = sizeof(BITMAPINFOHEADER);
  Header.biWidth = Width;
  Header.biHeight = Height;
  Header.biPlanes = 1;
  Header.biBitCount = WORD(BitCount);
  Header.biCompression = BI_RGB;
  // A negative or absurd size (a hand-edited settings file) asks for nothing rather than for a
  // wrapped huge image.
  const int64_t Size = ((int64_t(BitCount) * Width + 31) / 32) * 4 * Height;
  Header.biSizeImage = Size > 0 && Size <= INT32_MAX ? DWORD(Size) : 0;
}

int32_t PixelFormatKind(DWORD Compression) {
  switch (Compression) {
    case BI_RGB:
    case BI_BITFIELDS:
      return FrameKindCopy;
    case mmioFOURCC('Y', 'U', 'Y', '2'):
      return FrameKindYUY2;
    case mmioFOURCC('U', 'Y', 'V', 'Y'):
      return FrameKindUYVY;
    case mmioFOURCC('Y', '4', '1', 'P'):
      return FrameKindY41P;
    case mmioFOURCC('Y', '8', ' ', ' '):
      return FrameKindY8;
    default:
      return FrameKindDecompress;
  }
}

namespace {

void Put16(uint8_t* At, uint16_t Value) {
  At[0] = uint8_t(Value);
  At[1] = uint8_t(Value >> 8);
}

void Put32(uint8_t* At, uint32_t Value) {
  for (int Byte = 0; Byte < 4; ++Byte) At[Byte] = uint8_t(Value >> (8 * Byte));
}

}  // namespace

void WriteFrameBufferHeaders(uint8_t* Image, uint32_t FileSize, const BITMAPINFOHEADER& Header) {
  Put16(Image, 0x4D42);  // "BM"
  Put32(Image + 2, FileSize);
  Put32(Image + 6, 0);
  Put32(Image + 10, BitmapFileHeaderSize + sizeof(BITMAPINFOHEADER));
  std::memcpy(Image + BitmapFileHeaderSize, &Header, sizeof Header);
}

void TDecompressorHandle::Adopt(HIC Handle) {
  if (Handle == FHandle) return;
  Reset();
  FHandle = Handle;
}

void TDecompressorHandle::Reset() {
  if (FHandle) ICClose(FHandle);
  FHandle = nullptr;
}
