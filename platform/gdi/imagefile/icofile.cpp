#include "platform/gdi/imagefile/icofile.h"

#include <algorithm>

#include "platform/gdi/imagefile/bmpfile.h"
#include "platform/gdi/imagefile/byteorder.h"
#include "platform/gdi/imagefile/pngfile.h"

namespace {

constexpr size_t DirectoryHeaderSize = 6;
constexpr size_t DirectoryEntrySize = 16;

[[noreturn]] void RaiseInvalidIcon() {
  throw EInvalidGraphic("Icon image is not valid");
}

bool IsPng(std::span<const uint8_t> Bytes) {
  static constexpr uint8_t Signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return Bytes.size() >= 8 && std::equal(Signature, Signature + 8, Bytes.begin());
}

// A bitmap entry: colour rows, then the 1-bit mask of the same picture.
TBgraImage DecodeIconBitmap(std::span<const uint8_t> Entry, const TImageLimits& Limits) {
  TDibHeader Header = ParseDibHeader(Entry);
  const TBmpInfo& Info = Header.Info;
  if (Info.Compression != TBmpCompression::Rgb && Info.Compression != TBmpCompression::BitFields)
    RaiseInvalidIcon();
  // The header counts the colour rows and the mask rows together.
  const int32_t Rows = Info.Height / 2;
  if (Rows <= 0) RaiseInvalidIcon();
  if (Info.BitCount == 32 && Info.Compression == TBmpCompression::Rgb) {
    // In an icon the fourth byte of a 32-bit pixel is its alpha.
    Header.Masks[3] = 0xFF000000;
    Header.UseAlphaMask = true;
  }
  if (Header.TableEnd > Entry.size()) RaiseInvalidIcon();
  const std::span<const uint8_t> Pixels = Entry.subspan(Header.TableEnd);
  TBgraImage Image;
  DecodeDibPixels(Header, Rows, Pixels, Image, Limits);

  const size_t ColorBytes = size_t(BmpRowStride(Info.Width, Info.BitCount)) * size_t(Rows);
  const size_t MaskStride = BmpRowStride(Info.Width, 1);
  const bool MaskPresent = Pixels.size() >= ColorBytes + MaskStride * size_t(Rows);
  // A picture with its own alpha needs no mask; any other picture without one is cut short.
  if (Image.HasAlpha) return Image;
  if (!MaskPresent) RaiseInvalidIcon();
  const uint8_t* Mask = Pixels.data() + ColorBytes;
  for (int32_t Y = 0; Y < Rows; ++Y) {
    const uint8_t* MaskRow = Mask + size_t(Y) * MaskStride;
    uint8_t* Target = Image.Row(Info.TopDown ? Y : Rows - 1 - Y);
    for (int32_t X = 0; X < Info.Width; ++X) {
      if (MaskRow[X / 8] & (0x80 >> (X % 8))) {
        Target[4 * X + 3] = 0;
        Image.HasAlpha = true;
      }
    }
  }
  return Image;
}

}  // namespace

std::vector<TIconEntry> ReadIconDirectory(std::span<const uint8_t> Bytes) {
  if (Bytes.size() < DirectoryHeaderSize) RaiseInvalidIcon();
  const uint16_t Reserved = ReadLE16(Bytes.data());
  const uint16_t Type = ReadLE16(Bytes.data() + 2);
  const uint16_t Count = ReadLE16(Bytes.data() + 4);
  if (Reserved != 0 || (Type != 1 && Type != 2) || Count == 0) RaiseInvalidIcon();
  if (Bytes.size() < DirectoryHeaderSize + size_t(Count) * DirectoryEntrySize) RaiseInvalidIcon();
  std::vector<TIconEntry> Entries(Count);
  for (size_t Index = 0; Index < Count; ++Index) {
    const uint8_t* P = Bytes.data() + DirectoryHeaderSize + Index * DirectoryEntrySize;
    TIconEntry& Entry = Entries[Index];
    Entry.Width = P[0] == 0 ? 256 : P[0];
    Entry.Height = P[1] == 0 ? 256 : P[1];
    // A cursor keeps its hot spot where an icon keeps planes and depth.
    Entry.BitCount = Type == 1 ? ReadLE16(P + 6) : 0;
    Entry.Size = ReadLE32(P + 8);
    Entry.Offset = ReadLE32(P + 12);
  }
  return Entries;
}

size_t BestIconEntry(const std::vector<TIconEntry>& Entries) {
  size_t Best = 0;
  for (size_t Index = 1; Index < Entries.size(); ++Index) {
    const int64_t Area = int64_t(Entries[Index].Width) * Entries[Index].Height;
    const int64_t BestArea = int64_t(Entries[Best].Width) * Entries[Best].Height;
    if (Area > BestArea || (Area == BestArea && Entries[Index].BitCount > Entries[Best].BitCount))
      Best = Index;
  }
  return Best;
}

TBgraImage DecodeIco(std::span<const uint8_t> Bytes, int32_t Index, const TImageLimits& Limits) {
  const std::vector<TIconEntry> Entries = ReadIconDirectory(Bytes);
  const size_t Chosen = Index < 0 ? BestIconEntry(Entries) : size_t(Index);
  if (Chosen >= Entries.size()) RaiseInvalidIcon();
  const TIconEntry& Entry = Entries[Chosen];
  if (Entry.Offset >= Bytes.size() || Entry.Size > Bytes.size() - Entry.Offset) RaiseInvalidIcon();
  const std::span<const uint8_t> Data = Bytes.subspan(Entry.Offset, Entry.Size);
  if (IsPng(Data)) return DecodePng(Data, Limits);
  try {
    return DecodeIconBitmap(Data, Limits);
  } catch (const EInvalidGraphic& Error) {
    // The bitmap reader words its faults for bitmap files; here the file is an icon.
    if (Error.Message() == "Bitmap image is not valid") RaiseInvalidIcon();
    throw;
  }
}
