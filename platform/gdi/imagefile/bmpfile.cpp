#include "platform/gdi/imagefile/bmpfile.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/gdi/imagefile/byteorder.h"

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t CoreHeaderSize = 12;

[[noreturn]] void RaiseInvalidBitmap() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

// One channel of a bit-field pixel: mask, shift and the largest value, scaled to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;

  explicit TChannel(uint32_t BitMask) : Mask(BitMask) {
    if (Mask != 0) {
      Shift = std::countr_zero(Mask);
      Max = Mask >> Shift;
    }
  }
  uint8_t Extract(uint32_t Pixel) const {
    if (Max == 0) return 0;
    const uint32_t Value = (Pixel & Mask) >> Shift;
    if (Max == 255) return uint8_t(Value);
    return uint8_t((uint64_t(Value) * 255 + Max / 2) / Max);
  }
};

void PutPaletteColor(const std::vector<TPaletteColor>& Palette, uint32_t Index, uint8_t* Pixel) {
  if (Index < Palette.size()) {
    Pixel[0] = Palette[Index].Blue;
    Pixel[1] = Palette[Index].Green;
    Pixel[2] = Palette[Index].Red;
  } else {
    // An index past the colour table draws black, as the display driver does.
    Pixel[0] = Pixel[1] = Pixel[2] = 0;
  }
  Pixel[3] = 255;
}

// Run-length encoded pixels, 8 or 4 bits per index, always stored bottom-up. Pixels a delta or an
// early end of line skips keep index 0. Returns the row of indexes, bottom row first.
std::vector<uint8_t> ExpandRunLength(std::span<const uint8_t> Data, int32_t Width, int32_t Height,
                                     bool FourBit) {
  std::vector<uint8_t> Indexes(size_t(Width) * size_t(Height), 0);
  int64_t X = 0, Y = 0;
  size_t Position = 0;
  auto Put = [&](uint8_t Index) {
    if (X < Width && Y < Height) Indexes[size_t(Y) * size_t(Width) + size_t(X)] = Index;
    ++X;
  };
  for (;;) {
    if (Y >= Height) break;  // every row reached: a missing end marker is harmless
    if (Position + 2 > Data.size()) RaiseInvalidBitmap();
    const uint8_t Count = Data[Position];
    const uint8_t Value = Data[Position + 1];
    Position += 2;
    if (Count > 0) {
      for (int Index = 0; Index < Count; ++Index)
        Put(FourBit ? uint8_t((Index & 1) ? (Value & 0x0F) : (Value >> 4)) : Value);
      continue;
    }
    if (Value == 0) {  // end of line
      X = 0;
      ++Y;
    } else if (Value == 1) {  // end of bitmap
      break;
    } else if (Value == 2) {  // delta
      if (Position + 2 > Data.size()) RaiseInvalidBitmap();
      X += Data[Position];
      Y += Data[Position + 1];
      Position += 2;
    } else {  // an absolute run of Value indexes, padded to a 16-bit boundary
      const size_t Bytes = FourBit ? (size_t(Value) + 1) / 2 : size_t(Value);
      if (Position + Bytes > Data.size()) RaiseInvalidBitmap();
      for (int Index = 0; Index < Value; ++Index) {
        const uint8_t Byte = Data[Position + (FourBit ? size_t(Index / 2) : size_t(Index))];
        Put(FourBit ? uint8_t((Index & 1) ? (Byte & 0x0F) : (Byte >> 4)) : Byte);
      }
      Position += (Bytes + 1) & ~size_t(1);
    }
  }
  return Indexes;
}

}  // namespace

TDibHeader ParseDibHeader(std::span<const uint8_t> Dib) {
  TDibHeader Header;
  TBmpInfo& Info = Header.Info;
  if (Dib.size() < 4) RaiseInvalidBitmap();
  Info.HeaderSize = ReadLE32(Dib.data());
  const uint8_t* P = Dib.data();
  int64_t Height = 0;
  uint32_t ColorsUsed = 0;
  size_t PaletteEntrySize = 4;
  if (Info.HeaderSize == CoreHeaderSize) {
    if (Dib.size() < CoreHeaderSize) RaiseInvalidBitmap();
    Info.Width = ReadLE16(P + 4);
    Height = ReadLE16(P + 6);
    Info.BitCount = ReadLE16(P + 10);
    PaletteEntrySize = 3;
    if (Info.BitCount != 1 && Info.BitCount != 4 && Info.BitCount != 8 && Info.BitCount != 24)
      RaiseInvalidBitmap();
  } else if (Info.HeaderSize >= InfoHeaderSize && Info.HeaderSize <= 1024) {
    if (Dib.size() < Info.HeaderSize) RaiseInvalidBitmap();
    Info.Width = ReadLE32Signed(P + 4);
    Height = ReadLE32Signed(P + 8);
    Info.BitCount = ReadLE16(P + 14);
    Info.Compression = TBmpCompression(ReadLE32(P + 16));
    ColorsUsed = ReadLE32(P + 32);
  } else {
    RaiseInvalidBitmap();
  }
  if (Height < 0) {
    Info.TopDown = true;
    Height = -Height;
  }
  if (Info.Width <= 0 || Height <= 0 || Height > INT32_MAX) RaiseInvalidBitmap();
  Info.Height = int32_t(Height);

  size_t Offset = Info.HeaderSize;
  switch (Info.Compression) {
    case TBmpCompression::Rgb:
      if (Info.BitCount != 1 && Info.BitCount != 4 && Info.BitCount != 8 && Info.BitCount != 16 &&
          Info.BitCount != 24 && Info.BitCount != 32)
        RaiseInvalidBitmap();
      break;
    case TBmpCompression::Rle8:
      if (Info.BitCount != 8 || Info.TopDown) RaiseInvalidBitmap();
      break;
    case TBmpCompression::Rle4:
      if (Info.BitCount != 4 || Info.TopDown) RaiseInvalidBitmap();
      break;
    case TBmpCompression::BitFields:
    case TBmpCompression::AlphaBitFields: {
      if (Info.BitCount != 16 && Info.BitCount != 32) RaiseInvalidBitmap();
      const int MaskCount = Info.Compression == TBmpCompression::AlphaBitFields ? 4 : 3;
      if (Info.HeaderSize >= InfoHeaderSize + 16) {
        // Version 4 and 5 headers (and the 56-byte variant) carry all four masks inside.
        for (int Index = 0; Index < 4; ++Index)
          Header.Masks[Index] = ReadLE32(P + InfoHeaderSize + 4 * Index);
        Header.UseAlphaMask = Header.Masks[3] != 0;
      } else if (Info.HeaderSize >= InfoHeaderSize + 12) {
        for (int Index = 0; Index < 3; ++Index)
          Header.Masks[Index] = ReadLE32(P + InfoHeaderSize + 4 * Index);
      } else {
        // A plain info header is followed by the masks.
        if (Dib.size() < Offset + 4 * size_t(MaskCount)) RaiseInvalidBitmap();
        for (int Index = 0; Index < MaskCount; ++Index)
          Header.Masks[Index] = ReadLE32(P + Offset + 4 * Index);
        Offset += 4 * size_t(MaskCount);
        Header.UseAlphaMask = MaskCount == 4 && Header.Masks[3] != 0;
      }
      break;
    }
    default:
      RaiseInvalidBitmap();
  }
  if (Info.Compression == TBmpCompression::Rgb && Info.BitCount == 16) {
    Header.Masks[0] = 0x7C00;
    Header.Masks[1] = 0x03E0;
    Header.Masks[2] = 0x001F;
  } else if (Info.Compression == TBmpCompression::Rgb && Info.BitCount == 32) {
    // The fourth byte of an uncompressed 32-bit pixel is unused: capture frames leave anything there.
    Header.Masks[0] = 0x00FF0000;
    Header.Masks[1] = 0x0000FF00;
    Header.Masks[2] = 0x000000FF;
  }

  // The colour table: required up to 8 bits, an optional hint above.
  uint32_t Entries = 0;
  if (Info.BitCount <= 8) {
    const uint32_t Full = 1u << Info.BitCount;
    Entries = ColorsUsed == 0 ? Full : std::min<uint32_t>(ColorsUsed, 256);
  } else {
    Entries = std::min<uint32_t>(ColorsUsed, 256);
  }
  if (Dib.size() < Offset + Entries * PaletteEntrySize) RaiseInvalidBitmap();
  Info.Palette.resize(Entries);
  for (uint32_t Index = 0; Index < Entries; ++Index) {
    const uint8_t* Entry = P + Offset + Index * PaletteEntrySize;
    Info.Palette[Index] =
        TPaletteColor{Entry[0], Entry[1], Entry[2], PaletteEntrySize == 4 ? Entry[3] : uint8_t(0)};
  }
  Offset += Entries * PaletteEntrySize;
  // A table larger than 256 entries is legal; only its first 256 can be indexed.
  if (ColorsUsed > 256 && Info.BitCount <= 8) Offset += size_t(ColorsUsed - 256) * PaletteEntrySize;
  Header.TableEnd = Offset;
  return Header;
}

void DecodeDibPixels(const TDibHeader& Header, int32_t Rows, std::span<const uint8_t> Pixels, TBgraImage& Out,
                     const TImageLimits& Limits) {
  const TBmpInfo& Info = Header.Info;
  const int32_t Width = Info.Width;
  CheckImageSize(Width, Rows, Limits, "Bitmap");
  const bool RunLength =
      Info.Compression == TBmpCompression::Rle8 || Info.Compression == TBmpCompression::Rle4;
  const size_t Stride = BmpRowStride(Width, Info.BitCount);
  if (!RunLength) {
    // The last row may lack its padding: some writers stop at the last pixel.
    const size_t LastRow = (size_t(Width) * Info.BitCount + 7) / 8;
    if (Pixels.size() < Stride * size_t(Rows - 1) + LastRow) RaiseInvalidBitmap();
  }
  Out.Resize(Width, Rows);
  Out.HasAlpha = false;
  const auto& Palette = Info.Palette;

  if (RunLength) {
    const std::vector<uint8_t> Indexes =
        ExpandRunLength(Pixels, Width, Rows, Info.Compression == TBmpCompression::Rle4);
    for (int32_t Y = 0; Y < Rows; ++Y) {
      const uint8_t* Source = Indexes.data() + size_t(Y) * size_t(Width);
      uint8_t* Target = Out.Row(Rows - 1 - Y);
      for (int32_t X = 0; X < Width; ++X) PutPaletteColor(Palette, Source[X], Target + 4 * X);
    }
    return;
  }

  const TChannel Red(Header.Masks[0]), Green(Header.Masks[1]), Blue(Header.Masks[2]);
  const TChannel Alpha(Header.UseAlphaMask ? Header.Masks[3] : 0);
  bool AnyAlpha = false;
  for (int32_t Y = 0; Y < Rows; ++Y) {
    const uint8_t* Source = Pixels.data() + size_t(Y) * Stride;
    uint8_t* Target = Out.Row(Info.TopDown ? Y : Rows - 1 - Y);
    switch (Info.BitCount) {
      case 1:
      case 4:
      case 8: {
        const int Bits = Info.BitCount;
        const int PerByte = 8 / Bits;
        const uint8_t IndexMask = uint8_t((1 << Bits) - 1);
        for (int32_t X = 0; X < Width; ++X) {
          const uint8_t Byte = Source[X / PerByte];
          const int BitShift = 8 - Bits * (X % PerByte + 1);
          PutPaletteColor(Palette, (Byte >> BitShift) & IndexMask, Target + 4 * X);
        }
        break;
      }
      case 24:
        for (int32_t X = 0; X < Width; ++X) {
          Target[4 * X] = Source[3 * X];
          Target[4 * X + 1] = Source[3 * X + 1];
          Target[4 * X + 2] = Source[3 * X + 2];
          Target[4 * X + 3] = 255;
        }
        break;
      case 16:
      case 32:
        for (int32_t X = 0; X < Width; ++X) {
          const uint32_t Pixel = Info.BitCount == 16 ? ReadLE16(Source + 2 * X) : ReadLE32(Source + 4 * X);
          uint8_t* Pixel8 = Target + 4 * X;
          Pixel8[0] = Blue.Extract(Pixel);
          Pixel8[1] = Green.Extract(Pixel);
          Pixel8[2] = Red.Extract(Pixel);
          if (Alpha.Max != 0) {
            Pixel8[3] = Alpha.Extract(Pixel);
            AnyAlpha = AnyAlpha || Pixel8[3] != 0;
          } else {
            Pixel8[3] = 255;
          }
        }
        break;
    }
  }
  if (Alpha.Max != 0) {
    // Many writers declare an alpha mask and leave every alpha 0: such a picture is opaque.
    if (AnyAlpha) {
      Out.HasAlpha = true;
    } else {
      for (size_t Index = 3; Index < Out.Pixels.size(); Index += 4) Out.Pixels[Index] = 255;
    }
  }
}

void DecodeBmp(std::span<const uint8_t> Bytes, TBgraImage& Out, TBmpInfo* Info, const TImageLimits& Limits) {
  if (Bytes.size() < FileHeaderSize || Bytes[0] != 'B' || Bytes[1] != 'M') RaiseInvalidBitmap();
  const std::span<const uint8_t> Dib = Bytes.subspan(FileHeaderSize);
  const TDibHeader Header = ParseDibHeader(Dib);
  // Trust the pixel offset of the file header when it points past the headers; a zero or
  // impossible offset means the pixels follow the colour table.
  const uint32_t PixelOffset = ReadLE32(Bytes.data() + 10);
  size_t Start = FileHeaderSize + Header.TableEnd;
  if (PixelOffset >= FileHeaderSize + Header.Info.HeaderSize && PixelOffset < Bytes.size())
    Start = PixelOffset;
  if (Start > Bytes.size()) RaiseInvalidBitmap();
  DecodeDibPixels(Header, Header.Info.Height, Bytes.subspan(Start), Out, Limits);
  if (Info) *Info = Header.Info;
}

TBgraImage DecodeBmp(std::span<const uint8_t> Bytes, TBmpInfo* Info, const TImageLimits& Limits) {
  TBgraImage Image;
  DecodeBmp(Bytes, Image, Info, Limits);
  return Image;
}

size_t BmpFileSize(int32_t Width, int32_t Height, uint16_t BitCount) {
  return FileHeaderSize + InfoHeaderSize + size_t(BmpRowStride(Width, BitCount)) * size_t(Height);
}

void EncodeBmp(const TPixelView& Source, std::vector<uint8_t>& Out, uint16_t BitCount) {
  if (BitCount != 24 && BitCount != 32) throw EInvalidGraphic("Bitmap image is not valid");
  if (Source.Width < 0 || Source.Height < 0) throw EInvalidGraphic("Bitmap image is not valid");
  const uint32_t Stride = BmpRowStride(Source.Width, BitCount);
  const uint32_t ImageSize = Stride * uint32_t(Source.Height);
  Out.resize(BmpFileSize(Source.Width, Source.Height, BitCount));
  uint8_t* P = Out.data();
  // File header.
  P[0] = 'B';
  P[1] = 'M';
  WriteLE32(P + 2, uint32_t(Out.size()));
  WriteLE32(P + 6, 0);
  WriteLE32(P + 10, FileHeaderSize + InfoHeaderSize);
  // Info header: positive height (bottom-up), one plane, uncompressed.
  uint8_t* H = P + FileHeaderSize;
  std::memset(H, 0, InfoHeaderSize);
  WriteLE32(H, InfoHeaderSize);
  WriteLE32(H + 4, uint32_t(Source.Width));
  WriteLE32(H + 8, uint32_t(Source.Height));
  WriteLE16(H + 12, 1);
  WriteLE16(H + 14, BitCount);
  WriteLE32(H + 20, ImageSize);

  const int32_t SourceBytes = BytesPerPixel(Source.Format);
  const int32_t TargetBytes = BitCount / 8;
  const size_t Used = size_t(Source.Width) * size_t(TargetBytes);
  uint8_t* Rows = P + FileHeaderSize + InfoHeaderSize;
  for (int32_t Y = 0; Y < Source.Height; ++Y) {
    const uint8_t* From = Source.Row(Source.Height - 1 - Y);
    uint8_t* To = Rows + size_t(Y) * Stride;
    if (SourceBytes == TargetBytes) {
      std::memcpy(To, From, Used);
    } else if (TargetBytes == 3) {
      for (int32_t X = 0; X < Source.Width; ++X) {
        To[3 * X] = From[4 * X];
        To[3 * X + 1] = From[4 * X + 1];
        To[3 * X + 2] = From[4 * X + 2];
      }
    } else {
      for (int32_t X = 0; X < Source.Width; ++X) {
        To[4 * X] = From[3 * X];
        To[4 * X + 1] = From[3 * X + 1];
        To[4 * X + 2] = From[3 * X + 2];
        To[4 * X + 3] = 0;
      }
    }
    std::memset(To + Used, 0, Stride - Used);
  }
}

std::vector<uint8_t> EncodeBmp(const TPixelView& Source, uint16_t BitCount) {
  std::vector<uint8_t> Out;
  EncodeBmp(Source, Out, BitCount);
  return Out;
}
