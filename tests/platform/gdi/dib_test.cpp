// Device-independent bitmaps: row order and padding, the GetDIBits/SetDIBits round trips the
// frame code relies on, colour tables, and what GetObject reports.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

BITMAPINFO Header24(int Width, int Height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

COLORREF Marker(int X, int Y) {
  return RGB(10 + X, 20 + Y, 30 + X * Y);
}

// Widths 1 to 5 cover every padding of 24-bit rows (3, 2, 1, 0, 3 bytes).
TEST(DibTest, SectionRowOrderAndPadding) {
  for (int width = 1; width <= 5; ++width) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << "width " << width << (topDown ? " top-down" : " bottom-up"));
      const int height = 3;
      BITMAPINFO info = Header24(width, topDown ? -height : height);
      void* bits = nullptr;
      HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      ASSERT_NE(section, nullptr);
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, section);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixel(dc, x, y, Marker(x, y));
      size_t stride = size_t(3 * width + 3) & ~size_t(3);
      const auto* memory = static_cast<const uint8_t*>(bits);
      for (int y = 0; y < height; ++y) {
        const uint8_t* row = memory + stride * size_t(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
          COLORREF c = Marker(x, y);
          ASSERT_EQ(row[x * 3], GetBValue(c));
          ASSERT_EQ(row[x * 3 + 1], GetGValue(c));
          ASSERT_EQ(row[x * 3 + 2], GetRValue(c));
        }
        for (size_t pad = size_t(width) * 3; pad < stride; ++pad) ASSERT_EQ(row[pad], 0) << "pad";
      }
      DIBSECTION described{};
      ASSERT_EQ(GetObject(section, sizeof(described), &described), int(sizeof(DIBSECTION)));
      EXPECT_EQ(described.dsBm.bmWidthBytes, LONG(stride));
      EXPECT_EQ(described.dsBm.bmBits, bits);
      EXPECT_EQ(described.dsBmih.biSizeImage, DWORD(stride * height));
      BITMAP plain{};
      ASSERT_EQ(GetObject(section, sizeof(plain), &plain), int(sizeof(BITMAP)));
      EXPECT_EQ(plain.bmBitsPixel, 24);
      EXPECT_EQ(plain.bmHeight, height);
      SelectObject(dc, old);
      DeleteDC(dc);
      DeleteObject(section);
    }
  }
}

// The frame and watermark code: ask for the image size first, then read any bitmap as
// bottom-up 24-bit rows, change them, and write them back.
TEST(DibTest, GetDIBitsAndSetDIBitsRoundTrip) {
  struct TCase {
    const char* Name;
    int BitCount;
    bool TopDown;
  };
  const TCase cases[] = {
      {"32 top-down", 32, true}, {"24 bottom-up", 24, false}, {"16", 16, false}, {"8 with table", 8, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int width = 5, height = 3;
    TTestBitmap source(width, height, c.BitCount, c.TopDown);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        SetPixel(source.DC(), x, y,
                 c.BitCount == 8 ? RGB(255 * (x & 1), 0, 255 * (y & 1)) : Marker(x * 8, y * 8));
    std::vector<COLORREF> expected;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) expected.push_back(source.Pixel(x, y));
    HDC screen = CreateCompatibleDC(nullptr);
    BITMAPINFO info = Header24(width, height);
    SelectObject(source.DC(), GdiDefaultBitmap());  // GetDIBits wants it deselected
    ASSERT_NE(GetDIBits(screen, source.Bitmap(), 0, height, nullptr, &info, DIB_RGB_COLORS), 0);
    ASSERT_EQ(info.bmiHeader.biSizeImage, 16u * height);
    std::vector<uint8_t> rows(info.bmiHeader.biSizeImage, 0xEE);
    ASSERT_EQ(GetDIBits(screen, source.Bitmap(), 0, height, rows.data(), &info, DIB_RGB_COLORS), height);
    // Bottom row first.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = rows.data() + size_t(height - 1 - y) * 16 + size_t(x) * 3;
        ASSERT_EQ(RGB(p[2], p[1], p[0]), expected[size_t(y * width + x)]) << x << "," << y;
      }
    // Invert and write back.
    for (uint8_t& b : rows) b = uint8_t(~b);
    ASSERT_EQ(SetDIBits(screen, source.Bitmap(), 0, height, rows.data(), &info, DIB_RGB_COLORS), height);
    SelectObject(source.DC(), source.Bitmap());
    if (c.BitCount >= 24) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ASSERT_EQ(source.Pixel(x, y), Marker(x * 8, y * 8) ^ 0xFFFFFF);
    }
    DeleteDC(screen);
  }
}

TEST(DibTest, PartialScanLines) {
  TTestBitmap source(2, 4, 24, false);
  for (int y = 0; y < 4; ++y) SetPixel(source.DC(), 0, y, RGB(y, 0, 0));
  SelectObject(source.DC(), GdiDefaultBitmap());
  BITMAPINFO info = Header24(2, 4);
  std::vector<uint8_t> rows(8 * 2);
  // Scan lines 1 and 2 from the bottom are picture rows 2 and 1.
  ASSERT_EQ(GetDIBits(source.DC(), source.Bitmap(), 1, 2, rows.data(), &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[2], 2);
  EXPECT_EQ(rows[8 + 2], 1);
  EXPECT_EQ(GetDIBits(source.DC(), source.Bitmap(), 4, 2, rows.data(), &info, DIB_RGB_COLORS), 0);
  SelectObject(source.DC(), source.Bitmap());
}

TEST(DibTest, CreateDIBitmapFromBits) {
  const uint8_t bits[] = {1, 2, 3, 4,  5,  6,  0, 0,   // bottom row: (3,2,1) (6,5,4)
                          7, 8, 9, 10, 11, 12, 0, 0};  // top row
  BITMAPINFO info = Header24(2, 2);
  // A fresh memory DC holds a monochrome bitmap, so bitmaps compatible with it are monochrome.
  HDC screen = CreateCompatibleDC(nullptr);
  HBITMAP compatible = CreateCompatibleBitmap(screen, 4, 4);
  BITMAP described{};
  GetObject(compatible, sizeof(described), &described);
  EXPECT_EQ(described.bmBitsPixel, 1);
  EXPECT_EQ(described.bmBits, nullptr);
  DeleteObject(compatible);

  TTestBitmap canvas(1, 1, 32);
  HBITMAP bitmap = CreateDIBitmap(canvas.DC(), &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
  GetObject(bitmap, sizeof(described), &described);
  EXPECT_EQ(described.bmBitsPixel, 32);
  HDC dc = CreateCompatibleDC(canvas.DC());
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(3, 2, 1));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(12, 11, 10));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  DeleteDC(screen);
}

TEST(DibTest, ScreenCompatibleBitmapsHaveTheScreenDepth) {
  HDC screen = GdiCreateScreenDC();
  EXPECT_EQ(GetObjectType(screen), OBJ_DC);
  struct TCase {
    int Depth, Expected;
  };
  for (TCase c : {TCase{32, 32}, TCase{24, 24}, TCase{16, 16}}) {
    SCOPED_TRACE(c.Depth);
    GdiSetScreenBitsPerPixel(c.Depth);
    BITMAPINFO info = Header24(2, 2);
    const uint8_t bits[16] = {1, 2, 3};
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
    BITMAP described{};
    GetObject(bitmap, sizeof(described), &described);
    EXPECT_EQ(described.bmBitsPixel, c.Expected);
    DeleteObject(bitmap);
  }
  GdiSetScreenBitsPerPixel(32);
  DeleteDC(screen);
}

TEST(DibTest, StretchDIBitsAndSetDIBitsToDevice) {
  // A bottom-up 2x3 picture: memory rows are picture rows 2, 1, 0.
  uint8_t bits[3 * 8] = {};
  for (int memoryRow = 0; memoryRow < 3; ++memoryRow)
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = bits + memoryRow * 8 + x * 3;
      p[2] = uint8_t(10 * (2 - memoryRow) + x);  // red = 10 * picture row + column
    }
  BITMAPINFO info = Header24(2, 3);
  TTestBitmap canvas(4, 6, 32);
  canvas.Fill(RGB(0, 0, 99));
  SetStretchBltMode(canvas.DC(), COLORONCOLOR);
  EXPECT_EQ(StretchDIBits(canvas.DC(), 0, 0, 4, 6, 0, 0, 2, 3, bits, &info, DIB_RGB_COLORS, SRCCOPY), 3);
  EXPECT_EQ(GetRValue(canvas.Pixel(0, 0)), 0);
  EXPECT_EQ(GetRValue(canvas.Pixel(3, 0)), 1);
  EXPECT_EQ(GetRValue(canvas.Pixel(2, 5)), 21);
  // Source y counts from the bottom: rows 0..1 from the bottom are picture rows 1 and 2.
  canvas.Fill(RGB(0, 0, 99));
  StretchDIBits(canvas.DC(), 0, 0, 2, 2, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(GetRValue(canvas.Pixel(1, 0)), 11);
  EXPECT_EQ(GetRValue(canvas.Pixel(0, 1)), 20);
  // Only scan lines 1..2 given: picture rows 1 and 0.
  canvas.Fill(RGB(0, 0, 99));
  EXPECT_EQ(SetDIBitsToDevice(canvas.DC(), 1, 1, 2, 3, 0, 0, 1, 2, bits + 8, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(GetRValue(canvas.Pixel(1, 1)), 0);
  EXPECT_EQ(GetRValue(canvas.Pixel(2, 2)), 11);
  EXPECT_EQ(canvas.Pixel(1, 3), RGB(0, 0, 99));  // scan line 0 was not given
}

TEST(DibTest, ColourTablesOfIndexedSections) {
  TTestBitmap canvas(4, 1, 8, true, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
  RGBQUAD table[256];
  EXPECT_EQ(GetDIBColorTable(canvas.DC(), 0, 256, table), 256u);
  EXPECT_EQ(table[1].rgbRed, 0xFF);
  // Drawing picks the nearest entry.
  SetPixel(canvas.DC(), 0, 0, RGB(250, 10, 0));
  EXPECT_EQ(canvas.Value(0, 0), 1u);
  EXPECT_EQ(GetPixel(canvas.DC(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetNearestColor(canvas.DC(), RGB(0, 0, 240)), RGB(0, 0, 255));
  // A new table recolours the pixels without touching their indexes.
  const RGBQUAD grey = {0x80, 0x80, 0x80, 0};
  EXPECT_EQ(SetDIBColorTable(canvas.DC(), 1, 1, &grey), 1u);
  EXPECT_EQ(GetPixel(canvas.DC(), 0, 0), RGB(0x80, 0x80, 0x80));
  // Sections of more than 8 bits have no table.
  TTestBitmap deep(1, 1, 24);
  EXPECT_EQ(GetDIBColorTable(deep.DC(), 0, 256, table), 0u);
}

TEST(DibTest, MonochromeBitmapsAndSelection) {
  const uint8_t pattern[] = {0xA0, 0x00, 0x50, 0x00};  // 4x2, rows padded to 16 bits
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, pattern);
  BITMAP described{};
  GetObject(mono, sizeof(described), &described);
  EXPECT_EQ(described.bmWidthBytes, 2);
  EXPECT_EQ(described.bmBitsPixel, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mono);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
  // A bitmap lives in one DC at a time.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, mono), nullptr);
  uint8_t back[4] = {};
  EXPECT_EQ(GetBitmapBits(mono, 4, back), 4);
  EXPECT_EQ(std::memcmp(back, pattern, 4), 0);
  SelectObject(dc, old);
  EXPECT_NE(SelectObject(other, mono), nullptr);
  SelectObject(other, old);
  DeleteDC(other);
  DeleteDC(dc);
  DeleteObject(mono);
  // Zero-sized requests give the shared 1x1 monochrome bitmap.
  EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), GdiDefaultBitmap());
}

// Unlike monochrome device bitmaps, 1- and 4-bit sections show the colours of their table,
// whatever the DC colours.
TEST(DibTest, IndexedSectionsUseTheirColourTables) {
  for (int bits : {1, 4}) {
    SCOPED_TRACE(bits);
    std::vector<uint32_t> table(size_t(1) << bits, 0x00FF00);
    table[0] = 0xFF0000;  // red
    table[1] = 0x0000FF;  // blue
    TTestBitmap section(5, 1, bits, false, table);
    SetPixel(section.DC(), 1, 0, RGB(0, 0, 250));
    SetPixel(section.DC(), 3, 0, RGB(250, 0, 0));
    EXPECT_EQ(section.Value(1, 0), 1u);
    EXPECT_EQ(section.Value(3, 0), 0u);
    TTestBitmap dest(5, 1, 24);
    SetTextColor(dest.DC(), RGB(1, 1, 1));
    SetBkColor(dest.DC(), RGB(2, 2, 2));
    BitBlt(dest.DC(), 0, 0, 5, 1, section.DC(), 0, 0, SRCCOPY);
    EXPECT_EQ(dest.Art({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}}), "rbrrr");
  }
}

TEST(DibTest, MalformedHeadersAreRefused) {
  struct TCase {
    const char* Name;
    void (*Change)(BITMAPINFOHEADER&);
  };
  const TCase cases[] = {
      {"small header", [](BITMAPINFOHEADER& H) { H.biSize = 12; }},
      {"zero width", [](BITMAPINFOHEADER& H) { H.biWidth = 0; }},
      {"zero height", [](BITMAPINFOHEADER& H) { H.biHeight = 0; }},
      {"odd depth", [](BITMAPINFOHEADER& H) { H.biBitCount = 7; }},
      {"run-length", [](BITMAPINFOHEADER& H) { H.biBitCount = 8, H.biCompression = BI_RLE8; }},
      {"huge", [](BITMAPINFOHEADER& H) { H.biWidth = 1 << 20; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    BITMAPINFO info = Header24(4, 4);
    c.Change(info.bmiHeader);
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
}

}  // namespace
