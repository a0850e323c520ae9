#include "kvcontrols/editors/kvbitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

// A 3 x 2 fixture with distinct pixels (TColor values: red in the low byte).
//   row 0: red-ish, mid grey, blue-ish
//   row 1: black, white, a colour near the top of the range
constexpr TColor Fixture[2][3] = {
    {TColor(0x102030), TColor(0x808080), TColor(0xF01008)},
    {TColor(0x000000), TColor(0xFFFFFF), TColor(0x40C0FE)},
};

void FillFixture(TkvBitmap& Bitmap) {
  Bitmap.SetSize(3, 2);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X) Bitmap.SetPixelColor(X, Y, Fixture[Y][X]);
}

// The same colour with each channel passed through F.
TColor MapChannels(TColor Color, const std::function<int(int)>& F) {
  auto Channel = [&](int Shift) { return std::clamp(F((Color >> Shift) & 0xFF), 0, 255) << Shift; };
  return TColor(Channel(0) | Channel(8) | Channel(16));
}

std::vector<TColor> PixelsOf(const TkvBitmap& Bitmap) {
  std::vector<TColor> Result;
  for (int Y = 0; Y < Bitmap.Height(); ++Y)
    for (int X = 0; X < Bitmap.Width(); ++X) Result.push_back(Bitmap.PixelColor(X, Y));
  return Result;
}

std::vector<TColor> FixturePixels() {
  std::vector<TColor> Result;
  for (const auto& Row : Fixture)
    for (TColor Color : Row) Result.push_back(Color);
  return Result;
}

TEST(KvBitmapLayout, StrideGapAndSizeFollowTheWidth) {
  struct TCase {
    int Width, Height, Stride, Gap;
  };
  // Rows are padded to 4 bytes: the gap is Width mod 4 for 3-byte pixels.
  constexpr TCase Cases[] = {{1, 1, 4, 1}, {2, 3, 8, 2}, {3, 1, 12, 3}, {4, 2, 12, 0}, {5, 1, 16, 1}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Width);
    TkvBitmap Bitmap;
    Bitmap.SetSize(Case.Width, Case.Height);
    EXPECT_EQ(Bitmap.RowSize(), Case.Stride);
    EXPECT_EQ(Bitmap.RowGap(), Case.Gap);
    EXPECT_EQ(Bitmap.ImageSize(), Case.Stride * Case.Height);
    EXPECT_EQ(Bitmap.ScanLine(1 % Case.Height) - Bitmap.ScanLine(0), (1 % Case.Height) * Case.Stride);
    EXPECT_EQ(Bitmap.PixelColor(Case.Width - 1, Case.Height - 1), TColor(0xFFFFFF)) << "new images are white";
  }
}

TEST(KvBitmapLayout, SetSizeKeepsPixelsOnlyForTheSameSize) {
  TkvBitmap Bitmap;
  FillFixture(Bitmap);
  Bitmap.SetSize(3, 2);
  EXPECT_EQ(PixelsOf(Bitmap), FixturePixels());
  Bitmap.SetSize(2, 2);
  EXPECT_EQ(PixelsOf(Bitmap), std::vector<TColor>(4, TColor(0xFFFFFF)));
  Bitmap.SetSize(0, 2);
  EXPECT_TRUE(Bitmap.Empty());
  EXPECT_EQ(Bitmap.Width(), 0);
}

TEST(KvBitmapPixels, OperationsOnTheFixture) {
  struct TCase {
    const char* Name;
    std::function<void(TkvBitmap&)> Apply;
    std::function<TColor(TColor, int X, int Y)> Expected;
  };
  auto Same = [](TColor Color, int, int) { return Color; };
  const TCase Cases[] = {
      // Tinting with white darkens one step, with black by half the range (clamped at 0).
      {"ApplyColor white", [](TkvBitmap& B) { B.ApplyColor(255, 255, 255); },
       [](TColor C, int, int) { return MapChannels(C, [](int V) { return V - 1; }); }},
      {"ApplyColor black", [](TkvBitmap& B) { B.ApplyColor(0, 0, 0); },
       [](TColor C, int, int) { return MapChannels(C, [](int V) { return V - 128; }); }},
      {"ApplyLightness 0", [](TkvBitmap& B) { B.ApplyLightness(0); }, Same},
      {"ApplyLightness +128", [](TkvBitmap& B) { B.ApplyLightness(128); },
       [](TColor C, int, int) { return MapChannels(C, [](int V) { return V + 128 * (255 - V) / 256; }); }},
      {"ApplyLightness -64", [](TkvBitmap& B) { B.ApplyLightness(-64); },
       [](TColor C, int, int) { return MapChannels(C, [](int V) { return V - V * 64 / 256; }); }},
      {"ApplySaturation 256", [](TkvBitmap& B) { B.ApplySaturation(256); }, Same},
      {"ApplyRotation 0", [](TkvBitmap& B) { B.ApplyRotation(POINT{-1, -1}, 0); }, Same},
      {"ApplySponge 1", [](TkvBitmap& B) { B.ApplySponge(1); }, Same},  // random(1) is always 0
      {"ApplyWave with XDiv 0", [](TkvBitmap& B) { B.ApplyWave(true, 5, 3, 0); }, Same},
      {"ApplyInvert", [](TkvBitmap& B) { B.ApplyInvert(); },
       [](TColor C, int, int) { return MapChannels(C, [](int V) { return 255 - V; }); }},
      {"ApplyGrayScale", [](TkvBitmap& B) { B.ApplyGrayScale(); },
       [](TColor C, int, int) {
         const int Gray = (C & 0xFF) / 3 + ((C >> 8) & 0xFF) / 3 + ((C >> 16) & 0xFF) / 3;
         return TColor(Gray | Gray << 8 | Gray << 16);
       }},
      // Contrast spreads away from 128: below 127 down, from 127 up.
      {"ApplyContrast 128", [](TkvBitmap& B) { B.ApplyContrast(128); },
       [](TColor C, int, int) {
         return MapChannels(C, [](int V) { return V < 127 ? V - std::abs(128 - V) * 128 / 256 : V + std::abs(128 - V) * 128 / 256; });
       }},
      {"AddColorOffsets", [](TkvBitmap& B) { B.AddColorOffsets(100, -50, 300); },
       [](TColor C, int, int) {
         return TColor(std::clamp((C & 0xFF) + 100, 0, 255) | std::clamp(((C >> 8) & 0xFF) - 50, 0, 255) << 8 |
                       std::clamp(((C >> 16) & 0xFF) + 300, 0, 255) << 16);
       }},
      {"ReplaceColor white by red", [](TkvBitmap& B) { B.ReplaceColor(TColor(0xFFFFFF), TColor(0x0000FF)); },
       [](TColor C, int, int) { return C == TColor(0xFFFFFF) ? TColor(0x0000FF) : C; }},
      {"MakeMask of grey", [](TkvBitmap& B) { B.MakeMask(TColor(0x808080)); },
       [](TColor C, int, int) { return C == TColor(0x808080) ? TColor(0) : TColor(0xFFFFFF); }},
      // Width 3: the middle column stays where it is.
      {"ApplyFlip horizontal", [](TkvBitmap& B) { B.ApplyFlip(true); },
       [](TColor, int X, int Y) { return Fixture[Y][2 - X]; }},
      {"ApplyFlip vertical", [](TkvBitmap& B) { B.ApplyFlip(false); },
       [](TColor, int X, int Y) { return Fixture[1 - Y][X]; }},
      // The centre (-1: Width div 2, Height div 2 = 1, 1) is a pixel corner: 180 degrees swaps
      // columns 0 and 1 and rows 0 and 1; column 2 maps outside and takes the top-left colour.
      {"ApplyRotation 180", [](TkvBitmap& B) { B.ApplyRotation(POINT{-1, -1}, 180); },
       [](TColor, int X, int Y) { return X < 2 ? Fixture[1 - Y][1 - X] : Fixture[0][0]; }},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TkvBitmap Bitmap;
    FillFixture(Bitmap);
    // Mark the padding byte of each row: operations must leave it alone.
    for (int Y = 0; Y < 2; ++Y) Bitmap.ScanLine(Y)[9] = 0xAB;
    Case.Apply(Bitmap);
    for (int Y = 0; Y < 2; ++Y)
      for (int X = 0; X < 3; ++X)
        EXPECT_EQ(Bitmap.PixelColor(X, Y), Case.Expected(Fixture[Y][X], X, Y)) << "pixel " << X << "," << Y;
    for (int Y = 0; Y < 2; ++Y) EXPECT_EQ(Bitmap.ScanLine(Y)[9], 0xAB) << "padding of row " << Y;
  }
}

TEST(KvBitmapPixels, NeighbourhoodOperationsKeepAUniformImage) {
  // Blur, sharpen and emboss of a flat colour: the blur and sharpen keep it, emboss gives
  // ((255 - v) + v) div 2 everywhere.
  for (auto Apply : {+[](TkvBitmap& B) { B.ApplyGaussianBlur(3); }, +[](TkvBitmap& B) { B.ApplySharpen(2); }}) {
    TkvBitmap Bitmap;
    Bitmap.SetSize(4, 3);
    Bitmap.Canvas()->Brush()->SetColor(TColor(0x336699));
    Bitmap.Canvas()->FillRect(RECT{0, 0, 4, 3});
    Apply(Bitmap);
    EXPECT_EQ(PixelsOf(Bitmap), std::vector<TColor>(12, TColor(0x336699)));
  }
  TkvBitmap Bitmap;
  Bitmap.SetSize(4, 3);
  Bitmap.ApplyEmboss();
  EXPECT_EQ(PixelsOf(Bitmap), std::vector<TColor>(12, TColor(0x7F7F7F)));
}

TEST(KvBitmapPixels, SharpenAndBlurReactToAnEdge) {
  // A white column beside black ones: sharpening overshoots (clamped), blurring averages the
  // four diagonal neighbours.
  TkvBitmap Bitmap;
  Bitmap.SetSize(3, 3);
  for (int Y = 0; Y < 3; ++Y) {
    Bitmap.SetPixelColor(0, Y, TColor(0));
    Bitmap.SetPixelColor(2, Y, TColor(0));
  }
  TkvBitmap Sharp;
  Sharp.Assign(&Bitmap);
  Sharp.ApplySharpen(1);
  EXPECT_EQ(Sharp.PixelColor(1, 1), TColor(0xFFFFFF));
  EXPECT_EQ(Sharp.PixelColor(0, 1), TColor(0)) << "(0 - 16 x 3 x 255) / 128 clamps to 0";
  Bitmap.BlurPass(1);
  // (0,0): diagonals (-1,-1)->(0,0) black, (1,-1)->(1,0) white, (-1,1)->(0,1) black, (1,1) white.
  EXPECT_EQ(Bitmap.PixelColor(0, 0) & 0xFF, 510 / 4);
}

TEST(KvBitmapPixels, ApplyColorSkipsTheTransparentColour) {
  TkvBitmap Bitmap;
  FillFixture(Bitmap);
  Bitmap.SetTransparentColor(TColor(0xFFFFFF));
  Bitmap.ApplyColor(0, 0, 0);
  EXPECT_EQ(Bitmap.PixelColor(1, 1), TColor(0xFFFFFF));
  EXPECT_EQ(Bitmap.PixelColor(1, 0), TColor(0));
}

TEST(KvBitmapPixels, WaveShiftsRowsAndFillsWhiteWithoutWrap) {
  // Ratio 1 and divisors so that row 1's shift is Round(sin(1 / 0.5)) = 1 and columns stay.
  TkvBitmap Bitmap;
  FillFixture(Bitmap);
  Bitmap.ApplyWave(false, 1, 0.5, 1e9);
  EXPECT_EQ(Bitmap.PixelColor(0, 0), Fixture[0][0]) << "row 0 has shift Round(sin 0) = 0";
  EXPECT_EQ(Bitmap.PixelColor(0, 1), Fixture[1][1]);
  EXPECT_EQ(Bitmap.PixelColor(2, 1), TColor(0xFFFFFF)) << "its source lies outside";
  TkvBitmap Wrapped;
  FillFixture(Wrapped);
  Wrapped.ApplyWave(true, 1, 0.5, 1e9);
  EXPECT_EQ(Wrapped.PixelColor(2, 1), Fixture[1][0]) << "a column past the right edge wraps to the left";
}

TEST(KvBitmapLife, StoredPixelsComeBack) {
  TkvBitmap Bitmap;
  FillFixture(Bitmap);
  Bitmap.StoreBits();
  EXPECT_TRUE(Bitmap.Empty());
  EXPECT_TRUE(Bitmap.HasStoredBits());
  Bitmap.ApplyInvert();  // nothing to work on while stored
  Bitmap.RestoreBits();
  EXPECT_FALSE(Bitmap.HasStoredBits());
  EXPECT_EQ(PixelsOf(Bitmap), FixturePixels());
}

TEST(KvBitmapLife, AssignsWithClassLibraryBitmapsBothWays) {
  TkvBitmap Source;
  FillFixture(Source);
  Source.SetSmoothStretching(true);
  TBitmap Plain;
  Plain.Assign(&Source);
  ASSERT_EQ(Plain.Width(), 3);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X) EXPECT_EQ(PixelOf(Plain, X, Y), Fixture[Y][X]);

  TkvBitmap Back;
  Back.Assign(&Plain);
  EXPECT_EQ(PixelsOf(Back), FixturePixels());
  EXPECT_EQ(Back.PixelFormat(), Plain.PixelFormat());

  TkvBitmap Copy;
  Copy.Assign(&Source);
  EXPECT_EQ(PixelsOf(Copy), FixturePixels());
  EXPECT_TRUE(Copy.SmoothStretching());

  TBitmap Empty;
  Copy.Assign(&Empty);
  EXPECT_TRUE(Copy.Empty());
}

TEST(KvBitmapLife, LoadsAnIndexedBitmapWithItsColourTable) {
  auto Indexed = MakeBitmap(4, 2, pf8bit, TColor(0x00FF00));
  TkvBitmap Bitmap;
  Bitmap.Assign(Indexed.get());
  EXPECT_EQ(Bitmap.PixelFormat(), pf8bit);
  EXPECT_TRUE(Bitmap.HasColorTable());
  EXPECT_EQ(Bitmap.PixelColor(3, 1), TColor(0x00FF00));
}

TEST(KvBitmapLife, ChangeLinksHearEveryChange) {
  TkvBitmap Bitmap;
  TkvChangeLink Link;
  int Count = 0;
  TObject* Sender = nullptr;
  Link.OnChange = TNotifyEvent([&](TObject* From) {
    ++Count;
    Sender = From;
  });
  Bitmap.RegisterLink(&Link);
  Bitmap.SetSize(2, 2);
  EXPECT_GE(Count, 1);
  EXPECT_EQ(Sender, &Bitmap);
  const int Before = Count;
  Bitmap.ApplyInvert();
  EXPECT_EQ(Count, Before + 1);
  Bitmap.UnregisterLink(&Link);
  Bitmap.ApplyInvert();
  EXPECT_EQ(Count, Before + 1);
}

TEST(KvBitmapDraw, PlainSmoothFastAndTransparent) {
  TkvBitmap Image;
  Image.SetSize(2, 1);
  Image.SetPixelColor(0, 0, TColor(0x000000));
  Image.SetPixelColor(1, 0, TColor(0xC8C8C8));
  auto Target = MakeBitmap(6, 2, pf24bit, TColor(0x0000FF));

  // Same size: a plain copy.
  Target->Canvas()->Draw(0, 0, &Image);
  EXPECT_EQ(PixelOf(*Target, 0, 0), TColor(0));
  EXPECT_EQ(PixelOf(*Target, 1, 0), TColor(0xC8C8C8));
  EXPECT_EQ(PixelOf(*Target, 2, 0), TColor(0x0000FF));

  // Smooth: 2 -> 4 pixels, step (1 << 15) / 4, so the second target pixel is a quarter of the
  // way: 200 x 8192 >> 15 = 50.
  Image.SetSmoothStretching(true);
  Target->Canvas()->StretchDraw(RECT{0, 1, 4, 2}, &Image);
  EXPECT_EQ(PixelOf(*Target, 0, 1), TColor(0));
  EXPECT_EQ(PixelOf(*Target, 1, 1), TColor(0x323232));
  EXPECT_EQ(PixelOf(*Target, 2, 1), TColor(0x646464));
  // A zero-sized target draws nothing.
  Target->Canvas()->StretchDraw(RECT{5, 0, 5, 2}, &Image);
  EXPECT_EQ(PixelOf(*Target, 5, 0), TColor(0x0000FF));

  // Fast: sampled.
  Image.SetSmoothStretching(false);
  Target->Canvas()->StretchDraw(RECT{2, 0, 6, 1}, &Image);
  EXPECT_EQ(PixelOf(*Target, 2, 0), TColor(0));
  EXPECT_EQ(PixelOf(*Target, 5, 0), TColor(0xC8C8C8));

  // Transparent: the top-left colour (black) is left out; the target shows through.
  auto Under = MakeBitmap(2, 1, pf24bit, TColor(0x00FF00));
  Image.SetTransparent(true);
  Under->Canvas()->Draw(0, 0, &Image);
  EXPECT_EQ(PixelOf(*Under, 0, 0), TColor(0x00FF00));
  EXPECT_EQ(PixelOf(*Under, 1, 0), TColor(0xC8C8C8));
  // A fixed transparent colour takes over from the top-left pixel.
  Image.SetTransparentColor(TColor(0xC8C8C8));
  Under->Canvas()->Draw(0, 0, &Image);
  EXPECT_EQ(PixelOf(*Under, 0, 0), TColor(0));
}

TEST(KvBitmapDraw, TilesFromTheOriginShiftedByTheRectangle) {
  TkvBitmap Tile;
  Tile.SetSize(2, 2);
  Tile.SetPixelColor(0, 0, TColor(0xFF0000));
  auto Target = MakeBitmap(5, 5, pf24bit, TColor(0));
  Tile.TileDraw(Target->Canvas(), RECT{1, 0, 5, 5});
  // Copies at x = -1, 1, 3 and y = 0, 2, 4: the marked corner lands on odd columns.
  EXPECT_EQ(PixelOf(*Target, 1, 0), TColor(0xFF0000));
  EXPECT_EQ(PixelOf(*Target, 3, 4), TColor(0xFF0000));
  EXPECT_EQ(PixelOf(*Target, 0, 0), TColor(0xFFFFFF));
}

TEST(KvBitmapDraw, PaletteDisplayDrawsWithoutLeakingThePalette) {
  const int OldDepth = GdiScreenBitsPerPixel();
  GdiSetScreenBitsPerPixel(8);
  auto Indexed = MakeBitmap(2, 2, pf8bit, TColor(0x0000FF));
  TkvBitmap Bitmap;
  Bitmap.Assign(Indexed.get());
  Bitmap.SetRespectPalette(true);
  auto Target = MakeBitmap(2, 2, pf24bit, TColor(0));
  Target->Canvas()->Draw(0, 0, &Bitmap);
  EXPECT_EQ(Bitmap.Palette(), nullptr) << "the palette lives only while drawing";
  EXPECT_EQ(PixelOf(*Target, 1, 1), TColor(0x0000FF));
  GdiSetScreenBitsPerPixel(OldDepth);
}

}  // namespace
