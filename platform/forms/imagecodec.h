#pragma once
// The picture file readers and writers of the graphics device layer, seen through plain types.
//
// The device layer's file code and the class library's graphics classes each have a type named
// TPixelFormat, so no file can include both; the graphics classes reach the file code only
// through this header, whose implementation is the one file that includes the device layer's.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace imagecodec {

// 32 bits per pixel, blue, green, red, straight alpha; rows top-down without padding.
struct TImage {
  int32_t Width = 0;
  int32_t Height = 0;
  bool HasAlpha = false;  // the file carried transparency
  std::vector<uint8_t> Pixels;
};

// Any bitmap file the reader knows (run-length encoded, core headers, odd bit fields included).
// Raises EInvalidGraphic "Bitmap image is not valid" on a fault.
void DecodeBmp(std::span<const uint8_t> Bytes, TImage& Out);

struct TIconInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t BitCount = 0;
};
// The pictures of an icon file, and the index of the one shown by default. Raises
// EInvalidGraphic "Icon image is not valid" on a fault.
std::vector<TIconInfo> IconDirectory(std::span<const uint8_t> Bytes, size_t* Best = nullptr);
// Picture Index (-1: the default one) of an icon file.
void DecodeIco(std::span<const uint8_t> Bytes, int32_t Index, TImage& Out);

// Writes rows of 3 or 4 bytes per pixel (blue first; the fourth byte is ignored) as an opaque PNG.
void SavePng(const std::string& FileName, const uint8_t* Top, ptrdiff_t Stride, int32_t Width, int32_t Height,
             int32_t BytesPerPixel);

}  // namespace imagecodec
