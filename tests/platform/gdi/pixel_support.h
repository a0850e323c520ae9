#pragma once
// Tiny bitmaps for pixel tests: a memory DC holding a DIB section (or a monochrome
// device-dependent bitmap), pixel access, ASCII pictures of what was drawn, and PNG dumps for
// looking at a result.

#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

class TTestBitmap {
 public:
  // A DIB section of BitCount bits (1, 4, 8, 16, 24, 32), filled with Background when given.
  TTestBitmap(int Width, int Height, int BitCount = 32, bool TopDown = true,
              std::vector<uint32_t> Colors = {});
  // A monochrome device-dependent bitmap (CreateBitmap with 1 bit).
  static TTestBitmap Monochrome(int Width, int Height);
  TTestBitmap(TTestBitmap&& Other) noexcept;
  TTestBitmap(const TTestBitmap&) = delete;
  TTestBitmap& operator=(const TTestBitmap&) = delete;
  ~TTestBitmap();

  HDC DC() const { return FDC; }
  HBITMAP Bitmap() const { return FBitmap; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const TPixelSurface& Surface() const;

  // The colour at a surface position (monochrome device bits as black/white).
  COLORREF Pixel(int X, int Y) const;
  // The raw pixel value (colour-table index for indexed formats, 0x00RRGGBB otherwise).
  uint32_t Value(int X, int Y) const;
  void SetValue(int X, int Y, uint32_t Value) const;
  void Fill(COLORREF Color) const;

  // One text row per pixel row: Ink where the pixel has that colour, '.' elsewhere.
  std::string Art(COLORREF Ink, char InkChar = '#') const;
  // Several colours: each listed colour shows as its character, any other as '?'.
  std::string Art(const std::vector<std::pair<COLORREF, char>>& Legend) const;

  // Writes the bitmap as PNG under the test image folder ($KORCAM_TEST_IMAGES or
  // /tmp/korcam-gdi-images), answering the path.
  std::string SavePng(const std::string& Name, int Scale = 1) const;

 private:
  TTestBitmap() = default;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

// "rows" joined with '\n' (for comparing with Art()).
std::string Lines(std::initializer_list<const char*> Rows);
