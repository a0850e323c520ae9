#pragma once
// Helpers of the picture tests (watermark, saving, effects): small picture files written into the
// program folder, 24-bit frames of known pixels, and reading pixels back top row first.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/bitmap.h"
#include "tests/app/apptest.h"

// 0xAARRGGBB (or 0x00RRGGBB) of pixel (X, Y), top row 0.
using TPixelFunction = std::function<uint32_t(int X, int Y)>;

// A 24-bit bitmap of that size, each pixel from Color (its alpha ignored).
std::unique_ptr<TBitmap> MakeFrame(int Width, int Height, const TPixelFunction& Color);
// Pixel (X, Y) of a 24-bit bitmap, top row 0, as 0x00RRGGBB.
uint32_t RgbOf(TBitmap& Bitmap, int X, int Y);

// Picture files: a PNG with straight alpha, a 24-bit bitmap file, a JPEG at quality 95.
void WritePngFile(const std::string& Path, int Width, int Height, const TPixelFunction& Argb);
void WriteBmpFile(const std::string& Path, int Width, int Height, const TPixelFunction& Rgb);
void WriteJpegFile(const std::string& Path, int Width, int Height, const TPixelFunction& Rgb);

// The program's tests with the picture helpers at hand.
class TPictureTest : public TAppTest {
 protected:
  // Makes Path the composed picture, as a composition leaves it.
  void Compose(std::unique_ptr<TBitmap> Picture);
};
