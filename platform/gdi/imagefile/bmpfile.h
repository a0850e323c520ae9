#pragma once
// Bitmap (BMP) files: reading every layout the program meets (1, 4, 8, 16, 24 and 32 bits per
// pixel; uncompressed, bit-field and run-length encoded; bottom-up and top-down; core, info and
// the larger version 4/5 headers) and writing 24- or 32-bit uncompressed files.
//
// The writer produces exactly the layout of the capture frame buffer: a 14-byte file header, a
// 40-byte info header, pixels at offset 54, rows bottom-up and padded to 4 bytes, the image size
// field filled in and every resolution and colour-count field 0. A composed frame saved into
// that buffer therefore lands byte for byte where the capture format expects its pixels.
//
// Faults in the file (truncation, impossible sizes, unknown compression) raise EInvalidGraphic
// "Bitmap image is not valid".

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

// Compression codes of the info header.
enum class TBmpCompression : uint32_t {
  Rgb = 0,
  Rle8 = 1,
  Rle4 = 2,
  BitFields = 3,
  Jpeg = 4,
  Png = 5,
  AlphaBitFields = 6,
};

struct TPaletteColor {
  uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
};

// What a caller may need beyond the pixels: the stored depth and colour table.
struct TBmpInfo {
  uint32_t HeaderSize = 0;  // 12 for the core header, 40 and up for the info headers
  int32_t Width = 0;
  int32_t Height = 0;  // always positive; TopDown tells the row order
  bool TopDown = false;
  uint16_t BitCount = 0;
  TBmpCompression Compression = TBmpCompression::Rgb;
  std::vector<TPaletteColor> Palette;  // as stored (empty above 8 bits unless the file holds one)
};

// A parsed device-independent bitmap header, with everything needed to convert the pixels.
// Icon entries hold the same header without a file header, at twice the picture's height.
struct TDibHeader {
  TBmpInfo Info;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha for 16/32 bits (alpha 0: none)
  bool UseAlphaMask = false;         // the alpha mask comes from the file, not the defaults
  size_t TableEnd = 0;               // offset after the header, masks and colour table
};

// Parses the header that starts at Dib[0]. Raises EInvalidGraphic on a fault.
TDibHeader ParseDibHeader(std::span<const uint8_t> Dib);
// Converts the pixel rows of a DIB (Pixels starts at the first stored row) into Out (top-down
// BGRA, resized). Rows is the number of rows to read, which icons pass as half the header's
// height. Raises EInvalidGraphic when Pixels is too short.
void DecodeDibPixels(const TDibHeader& Header, int32_t Rows, std::span<const uint8_t> Pixels, TBgraImage& Out,
                     const TImageLimits& Limits);

// Bytes of one stored row of Width pixels at BitCount bits: rows are padded to 4 bytes.
constexpr uint32_t BmpRowStride(int64_t Width, uint32_t BitCount) {
  return uint32_t(((Width * BitCount + 31) / 32) * 4);
}

// Decodes a whole BMP file image. The second form reuses Out's buffer.
TBgraImage DecodeBmp(std::span<const uint8_t> Bytes, TBmpInfo* Info = nullptr,
                     const TImageLimits& Limits = {});
void DecodeBmp(std::span<const uint8_t> Bytes, TBgraImage& Out, TBmpInfo* Info = nullptr,
               const TImageLimits& Limits = {});

// Writes Source as a BMP file image of BitCount 24 or 32 into Out (resized; its capacity is
// reused, so a caller that writes every frame allocates nothing in steady state). For 32 bits
// the fourth byte carries the source's alpha or unused byte (0 from a 24-bit source).
void EncodeBmp(const TPixelView& Source, std::vector<uint8_t>& Out, uint16_t BitCount = 24);
std::vector<uint8_t> EncodeBmp(const TPixelView& Source, uint16_t BitCount = 24);
// The size EncodeBmp produces.
size_t BmpFileSize(int32_t Width, int32_t Height, uint16_t BitCount);
