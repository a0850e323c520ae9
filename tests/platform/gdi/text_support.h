#pragma once
// Test canvases for the font and text tests: a memory DC over a top-down 32-bit (or 24-bit
// bottom-up, or 1-bit) DIB section filled with one colour, with pixel reads and ink boxes.

#include <string>

#include "platform/gdi/font.h"
#include "platform/rtl/wintypes.h"

class TTextCanvas {
 public:
  // BitCount 32 (top-down), 24 (bottom-up) or 1 (black and white colour table).
  TTextCanvas(int Width, int Height, int BitCount = 32, COLORREF Fill = RGB(255, 255, 255));
  ~TTextCanvas();
  TTextCanvas(const TTextCanvas&) = delete;
  TTextCanvas& operator=(const TTextCanvas&) = delete;

  HDC DC() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  COLORREF Pixel(int X, int Y) const;
  // The smallest rectangle holding every pixel that differs from Fill (all zero when none).
  RECT InkBounds(COLORREF Fill = RGB(255, 255, 255)) const;
  // The smallest rectangle holding every pixel of exactly Color.
  RECT ColorBounds(COLORREF Color) const;
  int CountColor(COLORREF Color) const;
  // Fills the whole canvas with one colour again.
  void Clear(COLORREF Fill = RGB(255, 255, 255));
  // Selects Font (owned by the canvas from now on; deleted with it).
  void UseFont(HFONT Font);
  // A hash of every pixel, for determinism checks.
  uint64_t Hash() const;
  // Writes the canvas as PNG to $KORCAM_TEST_IMAGES/<Name>.png when that variable is set.
  void SaveForViewing(const std::string& Name) const;

 private:
  int FWidth;
  int FHeight;
  int FBitCount;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  HFONT FFont = nullptr;
  HGDIOBJ FOldFont = nullptr;
  uint8_t* FBits = nullptr;
};

// A font through CreateFontIndirectA with the usual defaults.
HFONT MakeTestFont(const char* Face, int Height, int Weight = FW_NORMAL, int Escapement = 0,
                   bool Italic = false, bool Underline = false, bool StrikeOut = false,
                   BYTE Quality = DEFAULT_QUALITY);

inline bool operator!=(const RECT& A, const RECT& B) { return !(A == B); }
std::string RectText(const RECT& Rect);
