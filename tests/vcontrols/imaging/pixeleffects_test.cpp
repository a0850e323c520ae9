// The pixel effects: the rules' own cases, one fixture per in-place rule that a cleaner filter
// would get wrong, and the fast implementations against the literal ones on random images of
// awkward sizes, on both instruction-set paths and for several numbers of threads.

#include "vcontrols/imaging/pixeleffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "tests/vcontrols/imaging/effectreference.h"
#include "tests/vcontrols/imaging/image_support.h"
#include "vcontrols/imaging/bandpool.h"
#include "vcontrols/imaging/vectorpath.h"

namespace {

TvcEffectScratch& Scratch() {
  static TvcEffectScratch scratch;
  return scratch;
}

// One channel value per pixel in, the same value expected in every channel out.
struct TLevelCase {
  const char* Name;
  int32_t Width;
  std::vector<uint8_t> Input;
  std::function<void(const TvcRaster&)> Effect;
  std::vector<uint8_t> Expected;
};

void RunLevelCases(const std::vector<TLevelCase>& Cases) {
  for (const TLevelCase& c : Cases) {
    SCOPED_TRACE(c.Name);
    TTestImage image(c.Width, int32_t(c.Input.size()) / c.Width);
    for (size_t i = 0; i < c.Input.size(); ++i) {
      uint8_t* p = image.Raster().At(int32_t(i) % c.Width, int32_t(i) / c.Width);
      p[0] = p[1] = p[2] = c.Input[i];
    }
    c.Effect(image.Raster());
    std::vector<uint8_t> actual;
    for (int32_t y = 0; y < image.Height(); ++y)
      for (int32_t x = 0; x < image.Width(); ++x) actual.push_back(image.Pixel(x, y).Blue);
    EXPECT_EQ(actual, c.Expected);
    EXPECT_TRUE(image.PadsIntact());
  }
}

TEST(PixelEffectsTest, ToneTablesAtTheRulesPoints) {
  using namespace vcfx;
  const std::vector<uint8_t> contrastPoints = {0, 64, 126, 127, 128, 192, 255};
  RunLevelCases({
      // CC: lightness saturates at +-256 and moves halfway at 128
      {"lightness 256 is white",
       3,
       {0, 128, 255},
       [](auto& R) { ApplyLightness(R, 256, Scratch()); },
       {255, 255, 255}},
      {"lightness -256 is black",
       3,
       {0, 128, 255},
       [](auto& R) { ApplyLightness(R, -256, Scratch()); },
       {0, 0, 0}},
      {"lightness 128",
       3,
       {0, 128, 255},
       [](auto& R) { ApplyLightness(R, 128, Scratch()); },
       {127, 191, 255}},
      {"lightness -128", 3, {0, 128, 255}, [](auto& R) { ApplyLightness(R, -128, Scratch()); }, {0, 64, 128}},
      {"lightness beyond 256 saturates",
       2,
       {0, 200},
       [](auto& R) { ApplyLightness(R, 5000, Scratch()); },
       {255, 255}},
      // CC: contrast pushes 0..126 down and 127..255 up; T[127] = 127 + a div 256
      {"contrast 256",
       7,
       contrastPoints,
       [](auto& R) { ApplyContrast(R, 256, Scratch()); },
       {0, 0, 124, 128, 128, 255, 255}},
      {"contrast -256",
       7,
       contrastPoints,
       [](auto& R) { ApplyContrast(R, -256, Scratch()); },
       {128, 128, 128, 126, 128, 128, 128}},
      {"contrast 80 truncates",
       7,
       contrastPoints,
       [](auto& R) { ApplyContrast(R, 80, Scratch()); },
       {0, 44, 126, 127, 128, 212, 255}},
      {"contrast -80 truncates toward zero",
       7,
       contrastPoints,
       [](auto& R) { ApplyContrast(R, -80, Scratch()); },
       {40, 84, 126, 127, 128, 172, 216}},
      {"contrast -600 crosses 128 (table path)",
       3,
       {0, 127, 255},
       [](auto& R) { ApplyContrast(R, -600, Scratch()); },
       {255, 125, 0}},
      // CC: invert
      {"invert", 3, {0, 100, 255}, [](auto& R) { ApplyInvert(R, Scratch()); }, {255, 155, 0}},
  });
}

struct TColorCase {
  const char* Name;
  uint32_t Input;  // 0xRRGGBB
  std::function<void(const TvcRaster&)> Effect;
  uint32_t Expected;
};

void RunColorCases(const std::vector<TColorCase>& Cases) {
  for (const TColorCase& c : Cases) {
    SCOPED_TRACE(c.Name);
    TTestImage image = TTestImage::FromColors(1, {c.Input});
    c.Effect(image.Raster());
    EXPECT_EQ(image.Color(0, 0), c.Expected) << std::hex << image.Color(0, 0);
  }
}

TEST(PixelEffectsTest, PerPixelColourRules) {
  using namespace vcfx;
  static const TvcPixel key{0x30, 0x20, 0x10};  // colour 0x102030
  RunColorCases({
      // CC: grey = b div 3 + g div 3 + r div 3
      {"grey of white", 0xFFFFFF, [](auto& R) { ApplyGrayScale(R, Scratch()); }, 0xFFFFFF},
      {"grey of blue", 0x0000FF, [](auto& R) { ApplyGrayScale(R, Scratch()); }, 0x555555},
      {"grey of 255,255,254 loses the thirds", 0xFEFFFF, [](auto& R) { ApplyGrayScale(R, Scratch()); },
       0xFEFEFE},
      // CC: saturation
      {"saturation 256 changes nothing", 0x5A3C1E, [](auto& R) { ApplySaturation(R, 256, Scratch()); },
       0x5A3C1E},
      {"saturation 0 is grey", 0x5A3C1E, [](auto& R) { ApplySaturation(R, 0, Scratch()); }, 0x3C3C3C},
      {"saturation 512 doubles the distance to grey", 0x5A3C1E,
       [](auto& R) { ApplySaturation(R, 512, Scratch()); }, 0x783C00},
      // CC: colour adds channel - 192; tint adds its offsets
      {"colour 192,192,192 is neutral", 0x5A3C1E,
       [](auto& R) { ApplyColor(R, 192, 192, 192, nullptr, Scratch()); }, 0x5A3C1E},
      {"colour white adds 63", 0x5A3C1E, [](auto& R) { ApplyColor(R, 255, 255, 255, nullptr, Scratch()); },
       0x997B5D},
      {"colour black takes 192", 0xC8C8FF, [](auto& R) { ApplyColor(R, 0, 0, 0, nullptr, Scratch()); },
       0x08083F},
      {"colour leaves the key pixel", 0x102030, [](auto& R) { ApplyColor(R, 0, 0, 0, &key, Scratch()); },
       0x102030},
      {"colour changes a near-key pixel", 0x102031,
       [](auto& R) { ApplyColor(R, 255, 192, 192, &key, Scratch()); }, 0x4F2031},
      {"tint clamps each channel", 0xF01008, [](auto& R) { ApplyTint(R, 127, 0, -20, Scratch()); }, 0xFF1000},
  });
}

TEST(PixelEffectsTest, AlphaBlendFloorsNegativeDifferences) {
  struct TCase {
    const char* Name;
    uint8_t Image, Blend;
    int32_t Amount;
    uint8_t Expected;
  } cases[] = {
      {"black into white at 128", 255, 0, 128, 127},
      {"floor(100 x -200 / 256) = -79, not -78", 200, 0, 100, 121},
      {"positive difference truncates", 0, 200, 100, 78},
      {"amount 0 leaves the image", 90, 10, 0, 90},
      {"amount 255 stops short of the blend", 0, 255, 255, 254},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestImage image(2, 1, {c.Image, c.Image, c.Image});
    TTestImage blend(2, 1, {c.Blend, c.Blend, c.Blend});
    vcfx::ApplyAlphaBlend(image.Raster(), blend.Raster(), c.Amount, nullptr, Scratch());
    EXPECT_EQ(image.Pixel(1, 0), (TvcPixel{c.Expected, c.Expected, c.Expected}));
  }
}

TEST(PixelEffectsTest, AlphaBlendSkipsKeyColouredBlendPixels) {
  TTestImage image = TTestImage::FromColors(2, {0xFFFFFF, 0xFFFFFF});
  TTestImage blend = TTestImage::FromColors(2, {0x000000, 0x0000FF});
  const TvcPixel key{0, 0, 0};
  vcfx::ApplyAlphaBlend(image.Raster(), blend.Raster(), 128, &key, Scratch());
  EXPECT_EQ(image.Color(0, 0), 0xFFFFFFu);
  EXPECT_EQ(image.Color(1, 0), 0x7F7FFFu);
}

// Identities the rules promise.
TEST(PixelEffectsTest, OperationsThatLeaveTheImage) {
  using namespace vcfx;
  struct TCase {
    const char* Name;
    std::function<void(const TvcRaster&)> Effect;
    bool FlatOnly;  // holds for a flat image only
  } cases[] = {
      {"invert twice", [](auto& R) { ApplyInvert(R, Scratch()), ApplyInvert(R, Scratch()); }, false},
      {"horizontal flip twice", [](auto& R) { ApplyFlip(R, true, Scratch()), ApplyFlip(R, true, Scratch()); },
       false},
      {"vertical flip twice", [](auto& R) { ApplyFlip(R, false, Scratch()), ApplyFlip(R, false, Scratch()); },
       false},
      {"sharpen distance 0", [](auto& R) { ApplySharpen(R, 0, Scratch()); }, false},
      {"blur pass distance 0", [](auto& R) { ApplyBlurPass(R, 0, Scratch()); }, false},
      {"wave ratio 0", [](auto& R) { ApplyWave(R, false, 20, 15, 0, Scratch()); }, false},
      {"wave divisor 0", [](auto& R) { ApplyWave(R, true, 0, 15, 9, Scratch()); }, false},
      {"rotation 360", [](auto& R) { ApplyRotation(R, -1, -1, 360, Scratch()); }, false},
      {"rotation 0 about any centre", [](auto& R) { ApplyRotation(R, 2, 100, 0, Scratch()); }, false},
      {"sponge 1", [](auto& R) { ApplySponge(R, 1, vcSharedRandom(), Scratch()); }, false},
      {"sponge 0", [](auto& R) { ApplySponge(R, 0, vcSharedRandom(), Scratch()); }, false},
      {"lightness 0", [](auto& R) { ApplyLightness(R, 0, Scratch()); }, false},
      {"contrast 0", [](auto& R) { ApplyContrast(R, 0, Scratch()); }, false},
      {"saturation 256", [](auto& R) { ApplySaturation(R, 256, Scratch()); }, false},
      {"sharpen on a flat image", [](auto& R) { ApplySharpen(R, 3, Scratch()); }, true},
      {"blur on a flat image", [](auto& R) { ApplyGaussianBlur(R, 4, Scratch()); }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    for (TTestImage original :
         {TTestImage::Random(7, 5, 3), TTestImage::Random(1, 1, 4), TTestImage(6, 4, {9, 80, 200})}) {
      if (c.FlatOnly && original.Color(0, 0) != original.Color(1 % original.Width(), 0)) continue;
      TTestImage image = original;
      c.Effect(image.Raster());
      EXPECT_SAME_IMAGE(image, original);
    }
  }
}

TEST(PixelEffectsTest, OnePixelWideImagesAndFlatEmboss) {
  TTestImage column = TTestImage::Random(1, 6, 11);
  TTestImage flipped = column;
  vcfx::ApplyFlip(flipped.Raster(), true, Scratch());
  EXPECT_SAME_IMAGE(flipped, column);

  TTestImage single = TTestImage::Random(1, 1, 12);
  TTestImage blurred = single;
  vcfx::ApplyGaussianBlur(blurred.Raster(), 3, Scratch());
  EXPECT_SAME_IMAGE(blurred, single);

  TTestImage flat(5, 4, {60, 60, 60});
  vcfx::ApplyEmboss(flat.Raster(), Scratch());
  EXPECT_SAME_IMAGE(flat, TTestImage(5, 4, {127, 127, 127}));
}

// In place, in raster order: each fixture's result differs from what an out-of-place filter
// (every read from the original image) would give.
TEST(PixelEffectsTest, InPlaceRasterOrderFixtures) {
  using namespace vcfx;
  RunLevelCases({
      // A clean blur gives 50 0 50 / 0 0 0 / 50 0 50: here the replaced (0,0) feeds (1,0),
      // and the replaced top row feeds the middle row.
      {"blur pass 1 on a bright centre",
       3,
       {0, 0, 0, 0, 200, 0, 0, 0, 0},
       [](auto& R) { ApplyBlurPass(R, 1, Scratch()); },
       {50, 12, 53, 15, 25, 16, 10, 10, 12}},
      // One row: the left neighbour is already sharpened (a clean filter gives 45 for the middle).
      {"sharpen 1 along one row",
       3,
       {100, 60, 60},
       [](auto& R) { ApplySharpen(R, 1, Scratch()); },
       {115, 39, 67}},
      // Three rows: the middle row reads the sharpened top row and its own sharpened left pixel.
      {"sharpen 1 over three rows",
       3,
       {60, 60, 60, 100, 60, 60, 60, 60, 60},
       [](auto& R) { ApplySharpen(R, 1, Scratch()); },
       {50, 57, 60, 137, 52, 61, 41, 56, 61}},
      // The last two rows all take the original pixel (1, last row) as partner, so (2,2) reads 80,
      // not the 127 that (1,2) has become by then.
      {"emboss last two rows",
       3,
       {10, 20, 30, 40, 50, 60, 70, 80, 90},
       [](auto& R) { ApplyEmboss(R, Scratch()); },
       {107, 107, 112, 107, 112, 117, 122, 127, 132}},
      {"emboss one row", 3, {10, 20, 30}, [](auto& R) { ApplyEmboss(R, Scratch()); }, {122, 127, 132}},
      {"emboss one column", 1, {10, 20, 30}, [](auto& R) { ApplyEmboss(R, Scratch()); }, {122, 122, 127}},
  });
}

// sin(1 / YDiv) = -1 for YDiv = -2 / pi: row 1 shifts by -1. A very large divisor keeps the
// other axis still.
constexpr long double QuarterTurnDivisor = -2.0L / std::numbers::pi_v<long double>;

TEST(PixelEffectsTest, WaveWrapRules) {
  using namespace vcfx;
  RunLevelCases({
      // Column -1 wraps to width - 2, not to the last column.
      {"row shift -1 wraps to width - 2",
       4,
       {1, 2, 3, 4, 10, 20, 30, 40},
       [](auto& R) { ApplyWave(R, true, 1e12L, QuarterTurnDivisor, 1, Scratch()); },
       {1, 2, 3, 4, 30, 10, 20, 30}},
      {"row shift -1 without wrap is white",
       4,
       {1, 2, 3, 4, 10, 20, 30, 40},
       [](auto& R) { ApplyWave(R, false, 1e12L, QuarterTurnDivisor, 1, Scratch()); },
       {1, 2, 3, 4, 255, 10, 20, 30}},
      // Column 1 starts at row -1 -> (3 - 1) - 1 = 1, then takes rows (1 + y) mod 3.
      {"column start -1 wraps to height - 2",
       2,
       {1, 10, 2, 20, 3, 30},
       [](auto& R) { ApplyWave(R, true, QuarterTurnDivisor, 1e12L, 1, Scratch()); },
       {1, 20, 2, 30, 3, 10}},
      {"column shift -1 without wrap",
       2,
       {1, 10, 2, 20, 3, 30},
       [](auto& R) { ApplyWave(R, false, QuarterTurnDivisor, 1e12L, 1, Scratch()); },
       {1, 255, 2, 10, 3, 20}},
      {"a ratio past the image leaves white",
       3,
       {1, 2, 3, 4, 5, 6},
       [](auto& R) { ApplyWave(R, false, QuarterTurnDivisor, QuarterTurnDivisor, 50, Scratch()); },
       {1, 255, 3, 255, 255, 255}},
      {"one row wraps onto itself",
       3,
       {1, 2, 3},
       [](auto& R) { ApplyWave(R, true, QuarterTurnDivisor, 1, 1, Scratch()); },
       {1, 2, 3}},
  });
}

TEST(PixelEffectsTest, RotationRules) {
  // 180 degrees about the default centre of an even-sized image mirrors both axes.
  TTestImage image = TTestImage::Random(6, 4, 21);
  TTestImage turned = image;
  vcfx::ApplyRotation(turned.Raster(), -1, -1, 180, Scratch());
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(turned.Color(x, y), image.Color(5 - x, 3 - y)) << x << "," << y;

  // 45 degrees uncovers the corners, which take the old top-left colour.
  TTestImage square = TTestImage::Random(9, 9, 22);
  const uint32_t topLeft = square.Color(0, 0);
  vcfx::ApplyRotation(square.Raster(), -1, -1, 45, Scratch());
  for (auto [x, y] : {std::pair{0, 0}, {8, 0}, {0, 8}, {8, 8}}) EXPECT_EQ(square.Color(x, y), topLeft);

  // A positive angle turns clockwise on screen: after 90 degrees about the centre (1, 1) pixel
  // (x, y) comes from (y, 1 - x) (pixel centres sit at half-pixel offsets).
  TTestImage grid = TTestImage::Levels(3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  vcfx::ApplyRotation(grid.Raster(), -1, -1, 90, Scratch());
  EXPECT_EQ(grid.Pixel(0, 0).Blue, 4);
  EXPECT_EQ(grid.Pixel(1, 0).Blue, 1);
}

// The sponge draws from the generator it is handed. Each fixture looks for a seed whose draws
// send every pixel to a chosen source, then checks that a source already replaced passes on its
// new value: an out-of-place filter gives a different picture.
TEST(PixelEffectsTest, SpongeWorksInPlaceInRasterOrder) {
  struct TCase {
    const char* Name;
    int32_t Width;
    std::initializer_list<uint8_t> Levels;
    int32_t Amount;
    std::vector<std::pair<int32_t, int32_t>> Sources;  // per pixel, raster order
    std::vector<uint8_t> Expected;
  } cases[] = {
      // (1,0) takes (0,0), which has just taken (1,0): out of place gives 20 10.
      {"a row swap", 2, {10, 20}, 3, {{1, 0}, {0, 0}}, {20, 20}},
      {"a column swap", 1, {10, 20}, 3, {{0, 1}, {0, 0}}, {20, 20}},
      // A rotation by one: the last pixel reads the first, which already holds 20.
      {"a row rotation", 3, {10, 20, 30}, 4, {{1, 0}, {2, 0}, {0, 0}}, {20, 30, 20}},
  };
  // The draws of one pixel, in their order: r, then the column's and the row's displacement.
  const auto sourcesOf = [](TvcRandom& Random, int32_t Width, int32_t Height, int32_t Amount) {
    std::vector<std::pair<int32_t, int32_t>> sources;
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t x = 0; x < Width; ++x) {
        const int32_t r = Random.Below(Amount);
        const int32_t xs = ClampInt(r - Random.Below(2 * r) + x, 0, Width - 1);
        const int32_t ys = ClampInt(r - Random.Below(2 * r) + y, 0, Height - 1);
        sources.emplace_back(xs, ys);
      }
    return sources;
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int32_t height = int32_t(c.Levels.size()) / c.Width;
    uint64_t seed = 0;
    for (; seed < 1000000; ++seed) {
      TvcRandom trial(seed);
      if (sourcesOf(trial, c.Width, height, c.Amount) == c.Sources) break;
    }
    ASSERT_LT(seed, 1000000u) << "no seed gives these draws";
    TTestImage image = TTestImage::Levels(c.Width, c.Levels);
    TvcRandom random(seed);
    vcfx::ApplySponge(image.Raster(), c.Amount, random, Scratch());
    std::vector<uint8_t> actual;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < c.Width; ++x) actual.push_back(image.Pixel(x, y).Blue);
    EXPECT_EQ(actual, c.Expected);
    // The generator handed in has moved on past exactly the draws made.
    TvcRandom replay(seed);
    sourcesOf(replay, c.Width, height, c.Amount);
    EXPECT_EQ(random.Next(), replay.Next());
  }
}

// Two rules of the rotation's source coordinates that a tidier formula would miss, checked on
// pixel (1, 2) of a 4 x 4 image turned about its default centre (2, 2), where u = -1 and v = 1:
// (r - 1) div 2 truncates toward zero, so r = 0 gives column 2, not 1; and an exact half rounds
// to the even neighbour, so -0.5 gives r = 0, not -1.
TEST(PixelEffectsTest, RotationDividesTowardZeroAndRoundsHalvesToEven) {
  // An angle whose column coordinate u cos - v sin for u = -1, v = 1 is exactly -0.5: searched
  // near the exact solution (cos + sin = 0.5) among the angles the double grid offers.
  const auto columnCoordinate = [](long double Angle) {
    double s, c;
    vcfx::RotationSineCosine(Angle, s, c);
    return double(-1) * c - double(1) * s;
  };
  const long double pi = std::numbers::pi_v<long double>;
  const long double exact = -(std::asin(0.5L / std::sqrt(2.0L)) - pi / 4) * 180 / pi;
  // Adjacent angles here are about a thousandth of the double grid of the turn apart.
  long double tie = 0, up = exact, down = exact;
  for (int step = 0; step < 20000 && tie == 0;
       ++step, up = std::nextafter(up, 90.0L), down = std::nextafter(down, 0.0L))
    for (long double candidate : {up, down})
      if (columnCoordinate(candidate) == -0.5) tie = candidate;
  ASSERT_NE(tie, 0) << "no angle near " << double(exact) << " gives an exact half";

  struct TCase {
    const char* Name;
    long double Angle;
    uint8_t Expected;  // level of the source of pixel (1, 2)
  } cases[] = {
      // u cos - v sin = -1.1e-16 rounds to 0: (0 - 1) div 2 = 0, column 2 (a floor would take 1).
      {"45 degrees: a negative numerator truncates", 45, 11},
      // -0.5 rounds to 0, column 2 (halves away from zero would give -1 and column 1).
      {"exact half rounds to even", tie, 11},
      {"no turn", 0, 10},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestImage fast = TTestImage::Levels(4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    TTestImage literal = fast;
    vcfx::ApplyRotation(fast.Raster(), -1, -1, c.Angle, Scratch());
    vcreference::ApplyRotation(literal.Raster(), -1, -1, c.Angle);
    EXPECT_EQ(fast.Pixel(1, 2).Blue, c.Expected);
    EXPECT_EQ(literal.Pixel(1, 2).Blue, c.Expected);
  }
}

// The wave's shifts are the extended-precision formula, also where the fast double form is
// close to a rounding boundary (ratios and divisors over the option ranges and beyond).
TEST(PixelEffectsTest, WaveShiftsFollowTheExtendedFormula) {
  TvcRandom random(77);
  for (int i = 0; i < 200000; ++i) {
    const long double ratio = random.Below(1001) - 500;
    const long double divisor = random.Below(2) ? random.Below(641) + 1 : -(random.Below(50) + 1);
    const int32_t index = random.Below(2000);
    const int32_t expected = int32_t(std::nearbyint(ratio * std::sin(index / divisor)));
    ASSERT_EQ(vcfx::WaveShift(ratio, index, divisor), expected)
        << double(ratio) << " " << index << " " << double(divisor);
  }
  // Exact halves: 0.5 x sin(pi / 2) rounds to 0 (even), 1.5 x 1 to 2.
  EXPECT_EQ(vcfx::WaveShift(0.5L, 1, -QuarterTurnDivisor), 0);
  EXPECT_EQ(vcfx::WaveShift(1e9L, 7, 3), int32_t(std::nearbyint(1e9L * std::sin(7 / 3.0L))));
}

TEST(PixelEffectsTest, RandomDrawsStayInRange) {
  TvcRandom random(5);
  EXPECT_EQ(random.Below(0), 0);
  EXPECT_EQ(random.Below(-3), 0);
  std::vector<int> seen(7, 0);
  for (int i = 0; i < 7000; ++i) {
    const int32_t value = random.Below(7);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 7);
    ++seen[size_t(value)];
  }
  for (int count : seen) EXPECT_NEAR(count, 1000, 150);
}

// --- the fast implementations against the literal ones -----------------------------------------

struct TOracleCase {
  std::string Name;
  std::function<void(const TvcRaster&)> Fast;
  std::function<void(const TvcRaster&)> Reference;
};

std::vector<TOracleCase> OracleCases() {
  std::vector<TOracleCase> cases;
  auto add = [&](std::string Name, std::function<void(const TvcRaster&)> Fast,
                 std::function<void(const TvcRaster&)> Reference) {
    cases.push_back({std::move(Name), std::move(Fast), std::move(Reference)});
  };
  add(
      "grey", [](auto& R) { vcfx::ApplyGrayScale(R, Scratch()); },
      [](auto& R) { vcreference::ApplyGrayScale(R); });
  add(
      "invert", [](auto& R) { vcfx::ApplyInvert(R, Scratch()); },
      [](auto& R) { vcreference::ApplyInvert(R); });
  for (int32_t a : {1, 60, 128, 255, 256, 500, -1, -60, -255, -256, -500})
    add(
        "lightness " + std::to_string(a), [a](auto& R) { vcfx::ApplyLightness(R, a, Scratch()); },
        [a](auto& R) { vcreference::ApplyLightness(R, a); });
  for (int32_t a : {1, 80, 255, 300, 511, 512, 2000, -1, -80, -300, -511, -512, -2000})
    add(
        "contrast " + std::to_string(a), [a](auto& R) { vcfx::ApplyContrast(R, a, Scratch()); },
        [a](auto& R) { vcreference::ApplyContrast(R, a); });
  for (int32_t a : {0, 100, 255, 256, 257, 500, 1000, 10000, 32000, 40000, -200, -32000, -40000})
    add(
        "saturation " + std::to_string(a), [a](auto& R) { vcfx::ApplySaturation(R, a, Scratch()); },
        [a](auto& R) { vcreference::ApplySaturation(R, a); });
  for (auto [r, g, b] : {std::tuple{0, 127, 64}, {-300, 12, 300}, {255, 255, 255}})
    add(
        "tint " + std::to_string(r), [=](auto& R) { vcfx::ApplyTint(R, r, g, b, Scratch()); },
        [=](auto& R) { vcreference::ApplyTint(R, r, g, b); });
  for (auto [r, g, b] : {std::tuple{192, 192, 192}, {0, 255, 100}, {2000, -2000, 191}}) {
    add(
        "colour " + std::to_string(r), [=](auto& R) { vcfx::ApplyColor(R, r, g, b, nullptr, Scratch()); },
        [=](auto& R) { vcreference::ApplyColor(R, r, g, b, nullptr); });
    add(
        "colour keyed " + std::to_string(r),
        [=](auto& R) {
          const TvcPixel key = ReadPixel(R.Pixels);
          vcfx::ApplyColor(R, r, g, b, &key, Scratch());
        },
        [=](auto& R) {
          const TvcPixel key = ReadPixel(R.Pixels);
          vcreference::ApplyColor(R, r, g, b, &key);
        });
  }
  for (int32_t d : {1, 2, 3, 10, 40, -2})
    add(
        "blur pass " + std::to_string(d), [d](auto& R) { vcfx::ApplyBlurPass(R, d, Scratch()); },
        [d](auto& R) { vcreference::ApplyBlurPass(R, d); });
  for (int32_t n : {2, 10})
    add(
        "gaussian blur " + std::to_string(n), [n](auto& R) { vcfx::ApplyGaussianBlur(R, n, Scratch()); },
        [n](auto& R) { vcreference::ApplyGaussianBlur(R, n); });
  for (int32_t d : {1, 2, 5, 17, 500, -3})
    add(
        "sharpen " + std::to_string(d), [d](auto& R) { vcfx::ApplySharpen(R, d, Scratch()); },
        [d](auto& R) { vcreference::ApplySharpen(R, d); });
  add(
      "emboss", [](auto& R) { vcfx::ApplyEmboss(R, Scratch()); },
      [](auto& R) { vcreference::ApplyEmboss(R); });
  add(
      "flip horizontal", [](auto& R) { vcfx::ApplyFlip(R, true, Scratch()); },
      [](auto& R) { vcreference::ApplyFlip(R, true); });
  add(
      "flip vertical", [](auto& R) { vcfx::ApplyFlip(R, false, Scratch()); },
      [](auto& R) { vcreference::ApplyFlip(R, false); });
  // (The largest amounts make the bounded draws reject words often: 2^32 mod 805306368 is a
  // quarter of 2^30, and twice a draw near that leaves a quarter of all words.)
  for (int32_t n : {1, 2, 10, 500, 805306368, 1 << 30})
    add(
        "sponge " + std::to_string(n),
        [n](auto& R) {
          TvcRandom random(n);
          vcfx::ApplySponge(R, n, random, Scratch());
        },
        [n](auto& R) {
          TvcRandom random(n);
          vcreference::ApplySponge(R, n, random);
        });
  struct TWave {
    bool Wrap;
    long double XDiv, YDiv, Ratio;
  };
  for (TWave w : {TWave{false, 20, 15, 5},
                  {true, 20, 15, 5},
                  {true, 3, 2, 40},
                  {false, 3, -2, -40},
                  {true, -1.5L, 0.7L, 500},
                  {true, 1, 1, 3e6L},
                  {false, 640, 480, 500},
                  // Columns in runs of equal shift, copied run by run: shifts past the width and
                  // the height (white rows and white runs), a negative ratio, and a ratio whose
                  // shifts are all but 0 and 1.
                  {false, 40, 3, 12},
                  {false, 50, 7, -9},
                  {false, 1e6L, 2, 1e4L}})
    add(
        "wave " + std::to_string(double(w.Ratio)) + (w.Wrap ? " wrap" : ""),
        [w](auto& R) { vcfx::ApplyWave(R, w.Wrap, w.XDiv, w.YDiv, w.Ratio, Scratch()); },
        [w](auto& R) { vcreference::ApplyWave(R, w.Wrap, w.XDiv, w.YDiv, w.Ratio); });
  struct TTurn {
    int32_t X, Y;
    long double Angle;
  };
  for (TTurn t : {TTurn{-1, -1, 10},
                  {-1, -1, 45},
                  {-1, -1, 90},
                  {-1, -1, 180},
                  {-1, -1, -270},
                  {0, 0, 33.3L},
                  {3, 100, -5},
                  {-1, 2, 1e-3L},
                  {-1, -1, 359}})
    add(
        "rotation " + std::to_string(double(t.Angle)),
        [t](auto& R) { vcfx::ApplyRotation(R, t.X, t.Y, t.Angle, Scratch()); },
        [t](auto& R) { vcreference::ApplyRotation(R, t.X, t.Y, t.Angle); });
  for (int32_t a : {0, 1, 75, 128, 255, 300, -20})
    for (bool keyed : {false, true})
      add(
          "alpha blend " + std::to_string(a) + (keyed ? " keyed" : ""),
          [a, keyed](auto& R) {
            TTestImage blend = TTestImage::Random(R.Width, R.Height, 99);
            blend.SetColor(R.Width - 1, R.Height - 1, blend.Color(0, 0));
            const TvcPixel key = blend.Pixel(0, 0);
            vcfx::ApplyAlphaBlend(R, blend.Raster(), a, keyed ? &key : nullptr, Scratch());
          },
          [a, keyed](auto& R) {
            TTestImage blend = TTestImage::Random(R.Width, R.Height, 99);
            blend.SetColor(R.Width - 1, R.Height - 1, blend.Color(0, 0));
            const TvcPixel key = blend.Pixel(0, 0);
            vcreference::ApplyAlphaBlend(R, blend.Raster(), a, keyed ? &key : nullptr);
          });
  return cases;
}

// Each instruction-set path with the effects on one thread and cut into 2, 3 and 8 bands.
class PixelEffectsOracleTest : public testing::TestWithParam<std::tuple<TvcVectorPath, int32_t>> {
 protected:
  void SetUp() override {
    FPreviousPath = vcSetVectorPath(std::get<0>(GetParam()));
    FPreviousThreads = vcSetEffectThreads(std::get<1>(GetParam()));
  }
  void TearDown() override {
    vcSetVectorPath(FPreviousPath);
    vcSetEffectThreads(FPreviousThreads);
  }
  TvcVectorPath FPreviousPath = TvcVectorPath::Wide;
  int32_t FPreviousThreads = 0;
};

TEST_P(PixelEffectsOracleTest, FastMatchesReferenceByteForByte) {
  // One pixel, one column, one row, widths on both sides of the vector widths and their
  // multiples of three, rows long enough for the vector loops' steady state, and pictures tall
  // enough for several groups of rows that follow each other across the columns (one of them
  // narrower than a group's lag).
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {1, 9},  {9, 1},   {2, 2},    {7, 5},  {5, 7},
                                               {64, 33}, {37, 3}, {61, 23}, {133, 17}, {6, 75}, {151, 101}};
  for (const TOracleCase& c : OracleCases()) {
    SCOPED_TRACE(c.Name);
    uint64_t seed = 1;
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
      TTestImage fast = TTestImage::Random(w, h, seed++);
      // Some flat runs so that key colours and equal neighbours occur.
      for (int32_t x = 0; x < w / 3; ++x) fast.SetColor(x, h / 2, fast.Color(0, 0));
      TTestImage reference = fast;
      c.Fast(fast.Raster());
      c.Reference(reference.Raster());
      EXPECT_SAME_IMAGE(fast, reference);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, PixelEffectsOracleTest,
                         testing::Combine(testing::Values(TvcVectorPath::Plain, TvcVectorPath::Wide),
                                          testing::Values(1, 2, 3, 8)),
                         [](const auto& Info) {
                           return std::string(std::get<0>(Info.param) == TvcVectorPath::Plain ? "Plain"
                                                                                              : "Wide") +
                                  std::to_string(std::get<1>(Info.param)) + "Threads";
                         });

// Every amount the arithmetic fast paths accept, against the rules' tables, on all 256 levels.
TEST_P(PixelEffectsOracleTest, ArithmeticPathsMatchTheTablesForEveryLevel) {
  TTestImage levels(256, 1);
  for (int32_t i = 0; i < 256; ++i) levels.SetColor(i, 0, uint32_t(i) * 0x010101u ^ 0x00A05A);
  auto check = [&](const char* Name, int32_t From, int32_t To, int32_t Step, auto Fast, auto Reference) {
    for (int32_t a = From; a <= To; a += Step) {
      TTestImage fast = levels, reference = levels;
      Fast(fast.Raster(), a);
      Reference(reference.Raster(), a);
      if (!(fast == reference)) {
        ADD_FAILURE() << Name << " " << a << ": " << DescribeDifference(fast, reference);
        return;
      }
    }
  };
  const auto withScratch = [](void (*Effect)(const TvcRaster&, int32_t, TvcEffectScratch&)) {
    return [Effect](const TvcRaster& Image, int32_t Amount) { Effect(Image, Amount, Scratch()); };
  };
  check("lightness", -300, 300, 1, withScratch(vcfx::ApplyLightness), vcreference::ApplyLightness);
  check("contrast", -520, 520, 1, withScratch(vcfx::ApplyContrast), vcreference::ApplyContrast);
  check("saturation", -33000, 33000, 37, withScratch(vcfx::ApplySaturation), vcreference::ApplySaturation);
}

// The blend for every pair of levels (image level x, blend level y) at a spread of amounts.
TEST_P(PixelEffectsOracleTest, BlendArithmeticMatchesTheDifferenceTable) {
  TTestImage image(256, 256), blend(256, 256);
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 256; ++x) {
      image.SetColor(x, y, uint32_t(x) * 0x010101u);
      blend.SetColor(x, y, uint32_t(y) * 0x010101u);
    }
  for (int32_t a : {1, 2, 3, 64, 75, 100, 127, 128, 129, 200, 254, 255}) {
    TTestImage fast = image, reference = image;
    vcfx::ApplyAlphaBlend(fast.Raster(), blend.Raster(), a, nullptr, Scratch());
    vcreference::ApplyAlphaBlend(reference.Raster(), blend.Raster(), a, nullptr);
    EXPECT_SAME_IMAGE(fast, reference) << "amount " << a;
  }
}

}  // namespace
