// Raster operations: every ternary operation against its truth table, the colour conversion
// rules between monochrome and colour, stretching, clipping and overlapping copies, and the
// fast paths against the plain evaluation of the operation index.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/gdi/blt.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/region.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

// The index of an operation is its result for P = 0xF0, S = 0xCC, D = 0xAA, so drawing those
// bytes through BitBlt with every code must give back each code's index in every channel.
TEST(RopTest, EveryTernaryOperationMatchesItsIndex) {
  struct TFormatCase {
    const char* Name;
    int DestBits;
    int SourceBits;
  };
  const TFormatCase formats[] = {
      {"32 from 32", 32, 32},  // fast byte paths for the common codes
      {"24 from 24", 24, 24}, {"24 from 32", 24, 32}, {"32 from 24", 32, 24},
      {"16 from 24", 16, 24},  // 5-bit channels: only bytes whose low 3 bits are 0 survive
  };
  for (const TFormatCase& format : formats) {
    SCOPED_TRACE(format.Name);
    TTestBitmap source(1, 1, format.SourceBits);
    source.Fill(RGB(0xCC, 0xCC, 0xCC));
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    for (int index = 0; index < 256; ++index) {
      TTestBitmap dest(1, 1, format.DestBits);
      dest.Fill(RGB(0xAA, 0xAA, 0xAA));
      HGDIOBJ old = SelectObject(dest.DC(), brush);
      DWORD rop = DWORD(index) << 16;
      ASSERT_TRUE(BitBlt(dest.DC(), 0, 0, 1, 1, source.DC(), 0, 0, rop));
      SelectObject(dest.DC(), old);
      BYTE expected = BYTE(index);
      if (format.DestBits == 16) {
        // Inputs 0xF0, 0xCC, 0xA8 after 5-bit storage (0xAA keeps 0xA8, read back as 0xAD).
        uint32_t d = (0xA8 | (0xA8 >> 5));
        uint32_t r = gdi::ApplyRop(uint8_t(index), 0xF0, 0xCC, d) & 0xF8;
        expected = BYTE(r | (r >> 5));
      }
      COLORREF got = dest.Pixel(0, 0);
      ASSERT_EQ(got, RGB(expected, expected, expected)) << "rop index 0x" << std::hex << index;
    }
    DeleteObject(brush);
  }
}

// On monochrome bitmaps every operand is one bit: check all eight input combinations of each
// operation against bit (P<<2 | S<<1 | D) of its index.
TEST(RopTest, MonochromeTruthTables) {
  TTestBitmap source = TTestBitmap::Monochrome(8, 1);
  TTestBitmap dest = TTestBitmap::Monochrome(8, 1);
  HBRUSH white = GdiHandleAs<HBRUSH>(GetStockObject(WHITE_BRUSH));
  HBRUSH black = GdiHandleAs<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (int index = 0; index < 256; ++index) {
    for (int p = 0; p < 2; ++p) {
      // Columns 0..3 carry S,D = 00, 01, 10, 11.
      for (int x = 0; x < 4; ++x) {
        source.SetValue(x, 0, (x >> 1) & 1);
        dest.SetValue(x, 0, x & 1);
      }
      HGDIOBJ old = SelectObject(dest.DC(), p ? white : black);
      BitBlt(dest.DC(), 0, 0, 4, 1, source.DC(), 0, 0, DWORD(index) << 16);
      SelectObject(dest.DC(), old);
      for (int x = 0; x < 4; ++x) {
        int bit = (p << 2) | (((x >> 1) & 1) << 1) | (x & 1);
        ASSERT_EQ(dest.Value(x, 0), uint32_t((index >> bit) & 1))
            << "index 0x" << std::hex << index << " P=" << p << " S,D=" << x;
      }
    }
  }
}

TEST(RopTest, MonochromeSourceTakesDestinationTextAndBackgroundColours) {
  TTestBitmap mask = TTestBitmap::Monochrome(2, 1);
  mask.SetValue(0, 0, 0);
  mask.SetValue(1, 0, 1);
  TTestBitmap dest(2, 1, 24);
  SetTextColor(dest.DC(), RGB(255, 0, 0));
  SetBkColor(dest.DC(), RGB(0, 0, 255));
  // The source DC's colours play no part.
  SetTextColor(mask.DC(), RGB(0, 255, 0));
  SetBkColor(mask.DC(), RGB(0, 255, 0));
  BitBlt(dest.DC(), 0, 0, 2, 1, mask.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), RGB(255, 0, 0));  // bit 0 -> text colour
  EXPECT_EQ(dest.Pixel(1, 0), RGB(0, 0, 255));  // bit 1 -> background colour
}

TEST(RopTest, ColourSourceBecomesMonochromeByTheSourceBackgroundColour) {
  TTestBitmap picture(3, 1, 32);
  picture.Fill(RGB(10, 20, 30));
  SetPixel(picture.DC(), 1, 0, RGB(0, 255, 0));
  SetPixel(picture.DC(), 2, 0, RGB(0, 0, 0));
  TTestBitmap mask = TTestBitmap::Monochrome(3, 1);
  SetBkColor(picture.DC(), RGB(0, 255, 0));
  BitBlt(mask.DC(), 0, 0, 3, 1, picture.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(mask.Value(0, 0), 0u);
  EXPECT_EQ(mask.Value(1, 0), 1u);  // equal to the reference -> 1 (white)
  EXPECT_EQ(mask.Value(2, 0), 0u);
  // The black reference the disabled-glyph code uses: black pixels become white.
  SetBkColor(picture.DC(), RGB(0, 0, 0));
  BitBlt(mask.DC(), 0, 0, 3, 1, picture.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(mask.Art(RGB(255, 255, 255)), "..#");
}

// DSPDxax: where the monochrome source is 1 the pattern shows, where it is 0 the destination
// stays (the disabled-image draw).
TEST(RopTest, DspdxaxPaintsThePatternThroughTheMask) {
  TTestBitmap mask = TTestBitmap::Monochrome(4, 1);
  mask.SetValue(1, 0, 1);
  mask.SetValue(2, 0, 1);
  TTestBitmap dest(4, 1, 24);
  dest.Fill(RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(128, 128, 128));
  HGDIOBJ old = SelectObject(dest.DC(), brush);
  BitBlt(dest.DC(), 0, 0, 4, 1, mask.DC(), 0, 0, 0x00E20746);
  SelectObject(dest.DC(), old);
  DeleteObject(brush);
  EXPECT_EQ(dest.Art({{RGB(1, 2, 3), 'd'}, {RGB(128, 128, 128), 'p'}}), "dppd");
}

TEST(RopTest, MaskedDrawingWithSrcInvertAndDsna) {
  // XOR, AND-NOT, XOR: where the mask is 1 the image shows, where it is 0 the background stays
  // (whatever the image has there).
  TTestBitmap image(3, 1, 24), mask = TTestBitmap::Monochrome(3, 1), dest(3, 1, 24);
  image.Fill(RGB(200, 10, 10));
  dest.Fill(RGB(5, 100, 5));
  mask.SetValue(0, 0, 1);
  mask.SetValue(2, 0, 1);
  SetPixel(image.DC(), 1, 0, RGB(77, 66, 55));
  BitBlt(dest.DC(), 0, 0, 3, 1, image.DC(), 0, 0, SRCINVERT);
  BitBlt(dest.DC(), 0, 0, 3, 1, mask.DC(), 0, 0, 0x00220326);
  BitBlt(dest.DC(), 0, 0, 3, 1, image.DC(), 0, 0, SRCINVERT);
  EXPECT_EQ(dest.Art({{RGB(200, 10, 10), 'i'}, {RGB(5, 100, 5), 'b'}}), "ibi");
}

TEST(RopTest, PatBltBlacknessAndWhitenessIgnoreTheBrush) {
  TTestBitmap dest(4, 2, 24);
  dest.Fill(RGB(9, 9, 9));
  PatBlt(dest.DC(), 1, 0, 2, 2, BLACKNESS);
  EXPECT_EQ(dest.Art(RGB(0, 0, 0)), Lines({".##.", ".##."}));
  PatBlt(dest.DC(), 0, 1, 4, 1, WHITENESS);
  EXPECT_EQ(dest.Art(RGB(255, 255, 255)), Lines({"....", "####"}));
  EXPECT_FALSE(PatBlt(dest.DC(), 0, 0, 1, 1, SRCCOPY));  // needs a source
}

TEST(RopTest, BitBltClipsToTheSourceAndTheClipRegion) {
  TTestBitmap source(2, 2, 24), dest(4, 4, 24);
  source.Fill(RGB(255, 0, 0));
  dest.Fill(RGB(255, 255, 255));
  // Asking for 3x3 from a 2x2 source copies only what exists.
  BitBlt(dest.DC(), 0, 0, 3, 3, source.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.Art(RGB(255, 0, 0)), Lines({"##..", "##..", "....", "...."}));
  dest.Fill(RGB(255, 255, 255));
  HRGN clip = CreateRectRgn(1, 1, 4, 4);
  SelectClipRgn(dest.DC(), clip);
  DeleteObject(clip);
  BitBlt(dest.DC(), 0, 0, 2, 2, source.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.Art(RGB(255, 0, 0)), Lines({"....", ".#..", "....", "...."}));
}

TEST(RopTest, OverlappingCopyWithinOneBitmap) {
  struct TCase {
    const char* Name;
    int DX, DY;
  };
  const TCase cases[] = {{"right", 1, 0}, {"left", -1, 0}, {"down", 0, 1}, {"up", 0, -1}, {"diagonal", 2, 1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap bitmap(8, 8, 24);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) SetPixel(bitmap.DC(), x, y, RGB(x * 10, y * 10, 7));
    BitBlt(bitmap.DC(), 1 + c.DX, 1 + c.DY, 4, 4, bitmap.DC(), 1, 1, SRCCOPY);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        ASSERT_EQ(bitmap.Pixel(1 + c.DX + x, 1 + c.DY + y), RGB((1 + x) * 10, (1 + y) * 10, 7));
  }
}

TEST(RopTest, StretchSamplesPixelCentres) {
  TTestBitmap source(4, 1, 24);
  const COLORREF colours[4] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0)};
  for (int x = 0; x < 4; ++x) SetPixel(source.DC(), x, 0, colours[x]);
  struct TCase {
    const char* Name;
    int DestWidth;
    int SourceX, SourceWidth;
    std::vector<int> Expected;  // red channel per destination pixel
  };
  const TCase cases[] = {
      {"double", 8, 0, 4, {1, 1, 2, 2, 3, 3, 4, 4}}, {"half", 2, 0, 4, {2, 4}},  // centres 1 and 3
      {"three from four", 3, 0, 4, {1, 3, 4}},  // floor((2i+1)*4/6) = 0, 2, 3
      {"mirrored source", 4, 4, -4, {4, 3, 2, 1}},   {"same size", 4, 0, 4, {1, 2, 3, 4}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap dest(c.DestWidth, 1, 24);
    SetStretchBltMode(dest.DC(), COLORONCOLOR);
    ASSERT_TRUE(
        StretchBlt(dest.DC(), 0, 0, c.DestWidth, 1, source.DC(), c.SourceX, 0, c.SourceWidth, 1, SRCCOPY));
    for (int x = 0; x < c.DestWidth; ++x) EXPECT_EQ(GetRValue(dest.Pixel(x, 0)), c.Expected[size_t(x)]) << x;
  }
}

TEST(RopTest, BlackOnWhiteShrinkKeepsThinBlackLines) {
  TTestBitmap source(8, 8, 24);
  source.Fill(RGB(255, 255, 255));
  for (int y = 0; y < 8; ++y) SetPixel(source.DC(), 1, y, RGB(0, 0, 0));  // a line at x = 1
  TTestBitmap dest(4, 4, 24);
  EXPECT_EQ(GetStretchBltMode(dest.DC()), BLACKONWHITE);  // the DC default
  StretchBlt(dest.DC(), 0, 0, 4, 4, source.DC(), 0, 0, 8, 8, SRCCOPY);
  EXPECT_EQ(dest.Art(RGB(0, 0, 0)), Lines({"#...", "#...", "#...", "#..."}));
  // Sampling pixel centres (columns 1, 3, 5, 7) would also hit it; a line at x = 0 is lost.
  source.Fill(RGB(255, 255, 255));
  for (int y = 0; y < 8; ++y) SetPixel(source.DC(), 0, y, RGB(0, 0, 0));
  SetStretchBltMode(dest.DC(), COLORONCOLOR);
  StretchBlt(dest.DC(), 0, 0, 4, 4, source.DC(), 0, 0, 8, 8, SRCCOPY);
  EXPECT_EQ(dest.Art(RGB(0, 0, 0)), Lines({"....", "....", "....", "...."}));
  SetStretchBltMode(dest.DC(), BLACKONWHITE);
  StretchBlt(dest.DC(), 0, 0, 4, 4, source.DC(), 0, 0, 8, 8, SRCCOPY);
  EXPECT_EQ(dest.Art(RGB(0, 0, 0)), Lines({"#...", "#...", "#...", "#..."}));
}

TEST(RopTest, TransparentBltSkipsTheKeyColour) {
  TTestBitmap source(3, 1, 24), dest(6, 1, 24);
  source.Fill(RGB(255, 0, 255));
  SetPixel(source.DC(), 1, 0, RGB(0, 0, 200));
  dest.Fill(RGB(10, 10, 10));
  TransparentBlt(dest.DC(), 0, 0, 6, 1, source.DC(), 0, 0, 3, 1, RGB(255, 0, 255));
  EXPECT_EQ(dest.Art({{RGB(10, 10, 10), '.'}, {RGB(0, 0, 200), '#'}}), "..##..");
}

// The fast byte paths must agree with the general row evaluation: run each common operation
// on random pixels with an odd-sized clip, once with the fast path reachable (same formats) and
// once forced through the general path (a 16-bit twin is not used; instead compare with the
// operation evaluated pixel by pixel).
TEST(RopTest, FastPathsAgreeWithThePlainEvaluation) {
  std::mt19937 random(7);
  const DWORD rops[] = {SRCCOPY,   SRCAND,    SRCPAINT,  SRCINVERT, 0x00220326, PATCOPY,
                        PATINVERT, DSTINVERT, BLACKNESS, WHITENESS, 0x00E20746, MERGECOPY};
  for (int bits : {24, 32}) {
    for (DWORD rop : rops) {
      SCOPED_TRACE(testing::Message() << bits << " bits, rop 0x" << std::hex << rop);
      TTestBitmap source(13, 7, bits), dest(13, 7, bits), before(13, 7, bits);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
          source.SetValue(x, y, random() & 0xFFFFFF);
          uint32_t d = random() & 0xFFFFFF;
          dest.SetValue(x, y, d);
          before.SetValue(x, y, d);
        }
      HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
      HGDIOBJ old = SelectObject(dest.DC(), brush);
      IntersectClipRect(dest.DC(), 1, 1, 12, 6);
      BitBlt(dest.DC(), 0, 0, 11, 6, source.DC(), 2, 1, rop);
      SelectObject(dest.DC(), old);
      DeleteObject(brush);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
          uint32_t d = before.Value(x, y) & 0xFFFFFF;
          uint32_t expected = d;
          if (x >= 1 && x < 11 && y >= 1 && y < 6) {
            uint32_t s = source.Value(x + 2, y + 1) & 0xFFFFFF;
            expected = gdi::ApplyRop(gdi::RopIndex(rop), 0x123456, s, d) & 0xFFFFFF;
          }
          ASSERT_EQ(dest.Value(x, y) & 0xFFFFFF, expected) << x << "," << y;
        }
    }
  }
}

// The stretch fast paths (24/32-bit copies, repeated rows) against the sampling rule evaluated
// pixel by pixel, for enlarging and shrinking, mirrored, clipped and through the general path.
TEST(RopTest, StretchFastPathsAgreeWithTheSamplingRule) {
  std::mt19937 random(11);
  struct TCase {
    const char* Name;
    int SourceBits, DestBits;
    int DestWidth, DestHeight;  // negative: mirrored
    DWORD Rop;
  };
  const TCase cases[] = {
      {"enlarge 24 to 32", 24, 32, 13, 9, SRCCOPY},     {"enlarge 24 to 24", 24, 24, 13, 9, SRCCOPY},
      {"enlarge 32 to 24", 32, 24, 13, 9, SRCCOPY},     {"enlarge 32 to 32", 32, 32, 13, 9, SRCCOPY},
      {"shrink 24 to 32", 24, 32, 3, 2, SRCCOPY},       {"mirrored", 24, 32, -13, -9, SRCCOPY},
      {"general path (xor)", 24, 32, 13, 9, SRCINVERT},
  };
  const int sourceWidth = 7, sourceHeight = 5;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap source(sourceWidth, sourceHeight, c.SourceBits);
    for (int y = 0; y < sourceHeight; ++y)
      for (int x = 0; x < sourceWidth; ++x) source.SetValue(x, y, random() & 0xFFFFFF);
    int width = std::abs(c.DestWidth), height = std::abs(c.DestHeight);
    TTestBitmap dest(width + 2, height + 2, c.DestBits);
    dest.Fill(RGB(1, 2, 3));
    SetStretchBltMode(dest.DC(), COLORONCOLOR);
    IntersectClipRect(dest.DC(), 1, 2, width + 1, height + 1);  // cuts the top row
    int x0 = c.DestWidth < 0 ? width + 1 : 1, y0 = c.DestHeight < 0 ? height + 1 : 1;
    ASSERT_TRUE(StretchBlt(dest.DC(), x0, y0, c.DestWidth, c.DestHeight, source.DC(), 0, 0, sourceWidth,
                           sourceHeight, c.Rop));
    for (int y = 0; y < height + 2; ++y)
      for (int x = 0; x < width + 2; ++x) {
        uint32_t expected = 0x010203;
        if (x >= 1 && x <= width && y >= 2 && y <= height) {
          int i = x - 1, j = y - 1;
          if (c.DestWidth < 0) i = width - 1 - i;
          if (c.DestHeight < 0) j = height - 1 - j;
          int sx = (2 * i + 1) * sourceWidth / (2 * width);
          int sy = (2 * j + 1) * sourceHeight / (2 * height);
          expected = source.Value(sx, sy) & 0xFFFFFF;
          if (c.Rop == SRCINVERT) expected ^= 0x010203;
        }
        ASSERT_EQ(dest.Value(x, y) & 0xFFFFFF, expected) << x << "," << y;
      }
  }
}

TEST(RopTest, BltWithBadHandlesFails) {
  TTestBitmap dest(2, 2, 24);
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 1, 1, dest.DC(), 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(dest.DC(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  // Operations without a source accept a missing one.
  EXPECT_TRUE(BitBlt(dest.DC(), 0, 0, 1, 1, nullptr, 0, 0, PATCOPY));
}

}  // namespace
