#include "tests/platform/gdi/text_support.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/imagefile/pngfile.h"

TTextCanvas::TTextCanvas(int Width, int Height, int BitCount, COLORREF Fill)
    : FWidth(Width), FHeight(Height), FBitCount(BitCount) {
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
  } Info{};
  Info.Header.biSize = sizeof(BITMAPINFOHEADER);
  Info.Header.biWidth = Width;
  Info.Header.biHeight = BitCount == 32 ? -Height : Height;
  Info.Header.biPlanes = 1;
  Info.Header.biBitCount = WORD(BitCount);
  Info.Colors[1] = RGBQUAD{255, 255, 255, 0};
  FDC = CreateCompatibleDC(nullptr);
  void* Bits = nullptr;
  FBitmap = CreateDIBSection(FDC, reinterpret_cast<BITMAPINFO*>(&Info), DIB_RGB_COLORS, &Bits,
                             nullptr, 0);
  FBits = static_cast<uint8_t*>(Bits);
  FOldBitmap = SelectObject(FDC, FBitmap);
  Clear(Fill);
}

TTextCanvas::~TTextCanvas() {
  if (FFont) {
    SelectObject(FDC, FOldFont);
    DeleteObject(FFont);
  }
  SelectObject(FDC, FOldBitmap);
  DeleteObject(FBitmap);
  DeleteDC(FDC);
}

void TTextCanvas::UseFont(HFONT Font) {
  HGDIOBJ Old = SelectObject(FDC, Font);
  if (FFont) {
    DeleteObject(FFont);
  } else {
    FOldFont = Old;
  }
  FFont = Font;
}

COLORREF TTextCanvas::Pixel(int X, int Y) const {
  size_t Stride = gdi::DibRowBytes(FWidth, FBitCount);
  int Row = FBitCount == 32 ? Y : FHeight - 1 - Y;
  const uint8_t* Line = FBits + size_t(Row) * Stride;
  switch (FBitCount) {
    case 32:
    case 24: {
      const uint8_t* P = Line + size_t(X) * (FBitCount / 8);
      return RGB(P[2], P[1], P[0]);
    }
    case 1:
      return (Line[X / 8] & (0x80 >> (X % 8))) ? RGB(255, 255, 255) : RGB(0, 0, 0);
  }
  return 0;
}

void TTextCanvas::Clear(COLORREF Fill) {
  TDC* Context = GdiGetDC(FDC);
  Context->FillSolidRect(RECT{0, 0, FWidth, FHeight}, Fill);
}

RECT TTextCanvas::InkBounds(COLORREF Fill) const {
  RECT Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X)
      if (Pixel(X, Y) != Fill) {
        Box.left = std::min<LONG>(Box.left, X);
        Box.top = std::min<LONG>(Box.top, Y);
        Box.right = std::max<LONG>(Box.right, X + 1);
        Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
      }
  return Box.left == INT_MAX ? RECT{0, 0, 0, 0} : Box;
}

RECT TTextCanvas::ColorBounds(COLORREF Color) const {
  RECT Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X)
      if (Pixel(X, Y) == Color) {
        Box.left = std::min<LONG>(Box.left, X);
        Box.top = std::min<LONG>(Box.top, Y);
        Box.right = std::max<LONG>(Box.right, X + 1);
        Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
      }
  return Box.left == INT_MAX ? RECT{0, 0, 0, 0} : Box;
}

int TTextCanvas::CountColor(COLORREF Color) const {
  int Count = 0;
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) Count += Pixel(X, Y) == Color;
  return Count;
}

uint64_t TTextCanvas::Hash() const {
  uint64_t Hash = 14695981039346656037ull;
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      Hash ^= Pixel(X, Y);
      Hash *= 1099511628211ull;
    }
  return Hash;
}

void TTextCanvas::SaveForViewing(const std::string& Name) const {
  const char* Folder = std::getenv("KORCAM_TEST_IMAGES");
  if (Folder == nullptr || *Folder == 0) return;
  std::vector<uint8_t> Pixels(size_t(FWidth) * size_t(FHeight) * 4);
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      COLORREF Color = Pixel(X, Y);
      uint8_t* P = Pixels.data() + (size_t(Y) * size_t(FWidth) + size_t(X)) * 4;
      P[0] = GetBValue(Color);
      P[1] = GetGValue(Color);
      P[2] = GetRValue(Color);
      P[3] = 255;
    }
  TPixelView View{Pixels.data(), ptrdiff_t(FWidth) * 4, FWidth, FHeight, TPixelLayout::Bgrx32};
  SavePngFile(std::string(Folder) + "/" + Name + ".png", View);
}

HFONT MakeTestFont(const char* Face, int Height, int Weight, int Escapement, bool Italic,
                   bool Underline, bool StrikeOut, BYTE Quality) {
  LOGFONTA Font{};
  Font.lfHeight = Height;
  Font.lfEscapement = Escapement;
  Font.lfOrientation = Escapement;
  Font.lfWeight = Weight;
  Font.lfItalic = Italic;
  Font.lfUnderline = Underline;
  Font.lfStrikeOut = StrikeOut;
  Font.lfCharSet = DEFAULT_CHARSET;
  Font.lfOutPrecision = Escapement ? OUT_TT_ONLY_PRECIS : OUT_TT_PRECIS;
  Font.lfQuality = Quality;
  Font.lfPitchAndFamily = VARIABLE_PITCH;
  std::strncpy(Font.lfFaceName, Face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&Font);
}

std::string RectText(const RECT& Rect) {
  return "(" + std::to_string(Rect.left) + ", " + std::to_string(Rect.top) + ", " +
         std::to_string(Rect.right) + ", " + std::to_string(Rect.bottom) + ")";
}
