#include "tests/platform/gdi/pixel_support.h"

#include <cstdlib>
#include <filesystem>

#include "platform/gdi/dib.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/gdi/surface.h"

TTestBitmap::TTestBitmap(int Width, int Height, int BitCount, bool TopDown, std::vector<uint32_t> Colors)
    : FWidth(Width), FHeight(Height) {
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = Width;
  header->biHeight = TopDown ? -Height : Height;
  header->biPlanes = 1;
  header->biBitCount = WORD(BitCount);
  header->biCompression = BI_RGB;
  if (BitCount <= 8) {
    if (Colors.empty()) Colors = gdi::StandardColorTable(BitCount);
    header->biClrUsed = DWORD(Colors.size());
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (size_t i = 0; i < Colors.size(); ++i)
      table[i] = RGBQUAD{BYTE(Colors[i]), BYTE(Colors[i] >> 8), BYTE(Colors[i] >> 16), 0};
  }
  void* bits = nullptr;
  FBitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                             nullptr, 0);
  FDC = CreateCompatibleDC(nullptr);
  FOldBitmap = SelectObject(FDC, FBitmap);
}

TTestBitmap TTestBitmap::Monochrome(int Width, int Height) {
  TTestBitmap result;
  result.FWidth = Width;
  result.FHeight = Height;
  result.FBitmap = CreateBitmap(Width, Height, 1, 1, nullptr);
  result.FDC = CreateCompatibleDC(nullptr);
  result.FOldBitmap = SelectObject(result.FDC, result.FBitmap);
  return result;
}

TTestBitmap::TTestBitmap(TTestBitmap&& Other) noexcept
    : FDC(Other.FDC),
      FBitmap(Other.FBitmap),
      FOldBitmap(Other.FOldBitmap),
      FWidth(Other.FWidth),
      FHeight(Other.FHeight) {
  Other.FDC = nullptr;
  Other.FBitmap = nullptr;
}

TTestBitmap::~TTestBitmap() {
  if (FDC) {
    SelectObject(FDC, FOldBitmap);
    DeleteDC(FDC);
  }
  if (FBitmap) DeleteObject(FBitmap);
}

const TPixelSurface& TTestBitmap::Surface() const {
  return GdiGetDC(FDC)->Surface();
}

COLORREF TTestBitmap::Pixel(int X, int Y) const {
  return gdi::RgbToColorRef(GdiReadPixel(Surface(), X, Y));
}

uint32_t TTestBitmap::Value(int X, int Y) const {
  uint32_t value;
  gdi::ReadRow(Surface(), X, Y, 1, &value);
  return value;
}

void TTestBitmap::SetValue(int X, int Y, uint32_t Value) const {
  gdi::WriteRow(Surface(), X, Y, 1, &Value);
}

void TTestBitmap::Fill(COLORREF Color) const {
  TDC* dc = GdiGetDC(FDC);
  dc->FillSolidRect(RECT{0, 0, FWidth, FHeight}, Color);
}

std::string TTestBitmap::Art(COLORREF Ink, char InkChar) const {
  std::string text;
  for (int y = 0; y < FHeight; ++y) {
    if (y) text += '\n';
    for (int x = 0; x < FWidth; ++x) text += Pixel(x, y) == Ink ? InkChar : '.';
  }
  return text;
}

std::string TTestBitmap::Art(const std::vector<std::pair<COLORREF, char>>& Legend) const {
  std::string text;
  for (int y = 0; y < FHeight; ++y) {
    if (y) text += '\n';
    for (int x = 0; x < FWidth; ++x) {
      COLORREF color = Pixel(x, y);
      char c = '?';
      for (const auto& entry : Legend)
        if (entry.first == color) {
          c = entry.second;
          break;
        }
      text += c;
    }
  }
  return text;
}

std::string TTestBitmap::SavePng(const std::string& Name, int Scale) const {
  const char* folder = std::getenv("KORCAM_TEST_IMAGES");
  std::filesystem::path directory = folder ? folder : "/tmp/korcam-gdi-images";
  std::filesystem::create_directories(directory);
  int width = FWidth * Scale, height = FHeight * Scale;
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = Pixel(x / Scale, y / Scale);
      uint8_t* p = pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      p[3] = 255;
    }
  TPixelView view;
  view.Top = pixels.data();
  view.Stride = ptrdiff_t(width) * 4;
  view.Width = width;
  view.Height = height;
  view.Format = TPixelLayout::Bgrx32;
  std::string path = (directory / (Name + ".png")).string();
  SavePngFile(path, view);
  return path;
}

std::string Lines(std::initializer_list<const char*> Rows) {
  std::string text;
  bool first = true;
  for (const char* row : Rows) {
    if (!first) text += '\n';
    text += row;
    first = false;
  }
  return text;
}
