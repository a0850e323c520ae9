#pragma once
// Shared helpers of the graphics class tests: a component that publishes a font, a colour and a
// picture (as controls do, so form texts can set them), small bitmaps with known pixels, and
// PNG dumps for looking at a result.

#include <memory>
#include <string>

#include "platform/classes/component.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/font.h"
#include "platform/forms/picture.h"

class TGraphicsHolder : public TComponent {
  KORCAM_CLASS(TGraphicsHolder, TComponent)

 public:
  explicit TGraphicsHolder(TComponent* AOwner);
  OWNED_PROPERTY(TFont, Font)
  PLAIN_PROPERTY(TColor, Color, clBtnFace)
  OWNED_PROPERTY(TPicture, Picture)
  OWNED_PROPERTY(TBitmap, Glyph)
};

// A bitmap of that size and format filled with one colour.
std::unique_ptr<TBitmap> MakeBitmap(int Width, int Height, TPixelFormat Format, TColor Fill);
// The colour of a pixel as a TColor (0x00BBGGRR), read through the canvas.
TColor PixelOf(TBitmap& Bitmap, int X, int Y);
// Writes the bitmap as PNG under $KORCAM_TEST_IMAGES (or /tmp/korcam-forms-images), scaled up
// by Scale, and answers the path.
std::string SavePng(TBitmap& Bitmap, const std::string& Name, int Scale = 1);
// A file path for a test's scratch files (a fresh folder per test program run).
std::string ScratchPath(const std::string& Name);

#include <cstdint>
#include <functional>
#include <vector>

// The bytes of an icon file with one 32-bit picture; Argb(X, Y) gives each pixel (top row 0).
std::vector<uint8_t> MakeIconFile(int Width, int Height, const std::function<uint32_t(int, int)>& Argb);
// A Width x Height 24-bit bitmap with a smooth colour ramp (good material for JPEG).
std::unique_ptr<TBitmap> MakeRamp(int Width, int Height);
// The largest difference of any channel between two 24-bit bitmaps of one size.
int MaxChannelDifference(TBitmap& A, TBitmap& B);
