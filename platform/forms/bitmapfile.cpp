#include "platform/forms/bitmapfile.h"

#include <cstring>

#include "platform/rtl/exceptions.h"

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiBitFields = 3;
constexpr uint32_t BiAlphaBitFields = 6;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

uint32_t Get32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
uint16_t Get16(const uint8_t* P) {
  return uint16_t(P[0] | (P[1] << 8));
}

void Put32(uint8_t* P, uint32_t V) {
  P[0] = uint8_t(V);
  P[1] = uint8_t(V >> 8);
  P[2] = uint8_t(V >> 16);
  P[3] = uint8_t(V >> 24);
}
void Put16(uint8_t* P, uint16_t V) {
  P[0] = uint8_t(V);
  P[1] = uint8_t(V >> 8);
}

bool SameMasks(const uint32_t* Masks, uint32_t R, uint32_t G, uint32_t B) {
  return Masks[0] == R && Masks[1] == G && Masks[2] == B;
}

}  // namespace

TBitmapFileInfo ParseBitmapFile(const uint8_t* Data, size_t Size) {
  if (Size < FileHeaderSize + 12 || Data[0] != 'B' || Data[1] != 'M') Invalid();
  TBitmapFileInfo Info;
  const uint32_t OffBits = Get32(Data + 10);
  const uint8_t* Header = Data + FileHeaderSize;
  const uint32_t HeaderSize = Get32(Header);
  if (HeaderSize < 12 || FileHeaderSize + HeaderSize > Size) Invalid();
  if (HeaderSize < InfoHeaderSize) {
    // A core header: the general reader handles it.
    Info.Width = Get16(Header + 4);
    Info.Height = Get16(Header + 6);
    Info.BitCount = Get16(Header + 10);
    return Info;
  }
  const int32_t Width = int32_t(Get32(Header + 4));
  const int32_t RawHeight = int32_t(Get32(Header + 8));
  Info.BitCount = Get16(Header + 14);
  Info.Compression = Get32(Header + 16);
  const uint32_t ClrUsed = Get32(Header + 32);
  if (Width <= 0 || RawHeight == 0 || RawHeight == INT32_MIN || Get16(Header + 12) != 1) Invalid();
  Info.Width = Width;
  Info.Height = RawHeight < 0 ? -RawHeight : RawHeight;
  Info.TopDown = RawHeight < 0;
  if (Info.Width > MaxPictureSide || Info.Height > MaxPictureSide ||
      int64_t(Info.Width) * Info.Height > MaxPicturePixels)
    throw EInvalidGraphic("Bitmap image is too large");

  size_t TableStart = FileHeaderSize + HeaderSize;
  const bool BitFields = Info.Compression == BiBitFields || Info.Compression == BiAlphaBitFields;
  if (BitFields) {
    if (HeaderSize >= 52) {
      for (int i = 0; i < 3; ++i) Info.Masks[i] = Get32(Header + 40 + 4 * i);
    } else {
      const size_t MaskCount = Info.Compression == BiAlphaBitFields ? 4 : 3;
      if (TableStart + 4 * MaskCount > Size) Invalid();
      for (int i = 0; i < 3; ++i) Info.Masks[i] = Get32(Data + TableStart + 4 * i);
      TableStart += 4 * MaskCount;
    }
  }

  switch (Info.BitCount) {
    case 1:
    case 4:
    case 8: {
      if (Info.Compression != BiRgb) return Info;  // run-length encoded: the general reader
      const size_t Full = size_t(1) << Info.BitCount;
      const size_t Count = ClrUsed == 0 || ClrUsed > Full ? Full : ClrUsed;
      if (TableStart + 4 * Count > Size) Invalid();
      Info.Colors.assign(Full, 0);
      for (size_t i = 0; i < Count; ++i) Info.Colors[i] = Get32(Data + TableStart + 4 * i) & 0xFFFFFF;
      TableStart += 4 * Count;
      Info.Direct = true;
      break;
    }
    case 16:
      if (Info.Compression == BiRgb) {
        Info.Masks[0] = 0x7C00, Info.Masks[1] = 0x03E0, Info.Masks[2] = 0x001F;
        Info.Direct = true;
      } else if (BitFields) {
        Info.Direct =
            SameMasks(Info.Masks, 0x7C00, 0x03E0, 0x001F) || SameMasks(Info.Masks, 0xF800, 0x07E0, 0x001F);
      }
      break;
    case 24:
      Info.Direct = Info.Compression == BiRgb;
      break;
    case 32:
      Info.Direct = Info.Compression == BiRgb || (BitFields && SameMasks(Info.Masks, 0xFF0000, 0xFF00, 0xFF));
      if (Info.Direct) Info.Masks[0] = 0, Info.Masks[1] = 0, Info.Masks[2] = 0;
      break;
    default:
      Invalid();
  }
  if (!Info.Direct) return Info;

  Info.RowBytes = ((size_t(Info.Width) * size_t(Info.BitCount) + 31) / 32) * 4;
  // A zero or impossible offset means "right after the colour table", as writers that leave it
  // out expect.
  Info.BitsOffset = OffBits >= TableStart && OffBits < Size ? OffBits : TableStart;
  if (Info.BitsOffset + Info.RowBytes * size_t(Info.Height) > Size) Invalid();
  return Info;
}

void WriteBitmapFileHeaders(TStream& Stream, int32_t Width, int32_t Height, int32_t BitCount,
                            uint32_t Compression, const uint32_t* Masks, const std::vector<uint32_t>& Colors,
                            size_t ImageSize) {
  const size_t MaskBytes = Compression == BiBitFields ? 12 : 0;
  const size_t TableBytes = Colors.size() * 4;
  const size_t OffBits = FileHeaderSize + InfoHeaderSize + MaskBytes + TableBytes;
  std::vector<uint8_t> Bytes(OffBits, 0);
  uint8_t* P = Bytes.data();
  P[0] = 'B';
  P[1] = 'M';
  Put32(P + 2, uint32_t(OffBits + ImageSize));
  Put32(P + 10, uint32_t(OffBits));
  uint8_t* H = P + FileHeaderSize;
  Put32(H, InfoHeaderSize);
  Put32(H + 4, uint32_t(Width));
  Put32(H + 8, uint32_t(Height));
  Put16(H + 12, 1);
  Put16(H + 14, uint16_t(BitCount));
  Put32(H + 16, Compression);
  Put32(H + 20, uint32_t(ImageSize));
  uint8_t* Q = H + InfoHeaderSize;
  if (MaskBytes) {
    for (int i = 0; i < 3; ++i) Put32(Q + 4 * i, Masks[i]);
    Q += MaskBytes;
  }
  for (size_t i = 0; i < Colors.size(); ++i) Put32(Q + 4 * i, Colors[i] & 0xFFFFFF);
  Stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
}
