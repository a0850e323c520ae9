// The shared painting helpers on small bitmaps: where the ellipsis squares land, which system
// faces the glyph routines ask for, the embossed renditions of bitmaps and image-list images,
// and the text measurements.

#include "vcontrols/common/vcpaint.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/imagelist.h"
#include "platform/forms/imagelistapi.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "tests/vcontrols/imaging/imager_support.h"

namespace {

constexpr uint32_t White = 0xFFFFFF, Backdrop = 0x336699;

// The colour as BitmapColor answers it (0xRRGGBB).
uint32_t Rgb(TColor Color) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

std::unique_ptr<TBitmap> Plain(int Width, int Height, uint32_t Color) {
  return MakePatternBitmap(Width, Height, [=](int, int) { return Color; });
}

std::vector<uint32_t> AllPixels(TBitmap& Bitmap) {
  std::vector<uint32_t> result;
  for (int y = 0; y < Bitmap.Height(); ++y)
    for (int x = 0; x < Bitmap.Width(); ++x) result.push_back(BitmapColor(Bitmap, x, y));
  return result;
}

TEST(VcPaintTest, EllipsisGlyphSquaresAndFace) {
  constexpr UINT NoEdge = ~0u;
  struct TCase {
    const char* Name;
    RECT Rect;
    TButtonState State;
    bool Flat, Transparent;
    uint8_t Flags;
    UINT EdgeFlags;  // what the face is drawn with, NoEdge for none
    int Side, X, Y;  // the middle square
  } cases[] = {
      // width 16: side (16 + 1) shr 3 = 2; x = 2 + 8 - 1; y = 1 + 11 shr 1 - 1
      {"flat: the squares alone", {2, 1, 18, 11}, bsUp, true, false, 0, NoEdge, 2, 9, 5},
      {"raised face with its middle", {2, 1, 18, 11}, bsUp, false, false, 0, BF_RECT | BF_MIDDLE, 2, 9, 5},
      {"transparent face keeps the middle", {2, 1, 18, 11}, bsUp, false, true, 0, BF_RECT, 2, 9, 5},
      {"down: flat face, squares down and right", {2, 1, 18, 11}, bsDown, false, false, 0,
       BF_RECT | BF_MIDDLE | BF_FLAT, 2, 10, 6},
      {"down without the pressed look still moves the squares", {2, 1, 18, 11}, bsDown, false, false,
       gfNoPressedLook, BF_RECT | BF_MIDDLE, 2, 10, 6},
      {"flat and down: no face at all", {2, 1, 18, 11}, bsDown, true, false, 0, NoEdge, 2, 10, 6},
      // width 5: (5 + 1) shr 3 = 0, so 1; the left square starts at -1 and is cut
      {"narrow: side at least 1", {0, 0, 5, 5}, bsUp, true, false, 0, NoEdge, 1, 1, 2},
      {"state other than down is up", {2, 1, 18, 11}, bsExclusive, false, false, 0, BF_RECT | BF_MIDDLE, 2, 9, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto actual = Plain(22, 14, White), expected = Plain(22, 14, White);
    DrawEllipsisGlyph(actual->Canvas(), c.Rect, c.State, c.Flat, c.Transparent, c.Flags);
    HDC dc = expected->Canvas()->Handle();
    RECT edge = c.Rect;
    if (c.EdgeFlags != NoEdge) DrawEdge(dc, &edge, EDGE_RAISED, c.EdgeFlags);
    for (int x : {c.X - 2 * c.Side, c.X, c.X + 2 * c.Side}) PatBlt(dc, x, c.Y, c.Side, c.Side, BLACKNESS);
    EXPECT_EQ(AllPixels(*actual), AllPixels(*expected));
    // The squares are there whatever the face: the middle one's corners are black.
    EXPECT_EQ(BitmapColor(*actual, c.X, c.Y), 0u);
    EXPECT_EQ(BitmapColor(*actual, c.X + c.Side - 1, c.Y + c.Side - 1), 0u);
    EXPECT_NE(BitmapColor(*actual, c.X + c.Side, c.Y), 0u);
  }
}

TEST(VcPaintTest, ComboArrowGlyphAsksForTheSystemFace) {
  struct TCase {
    const char* Name;
    bool Down, Enabled;
    uint8_t Flags;
    UINT State;
  } cases[] = {
      {"up", false, true, 0, DFCS_SCROLLCOMBOBOX},
      {"down: pushed and flat", true, true, 0, 0x4205},
      {"down without the pressed look", true, true, gfNoPressedLook, DFCS_SCROLLCOMBOBOX},
      {"disabled", false, false, 0, 261},
      {"disabled and down: inactive only", true, false, 0, 261},
  };
  std::set<std::vector<uint32_t>> faces;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto actual = Plain(17, 20, White), expected = Plain(17, 20, White);
    DrawComboArrowGlyph(actual->Canvas(), RECT{0, 1, 17, 19}, c.Down, c.Enabled, c.Flags);
    RECT face{0, 1, 17, 19};
    DrawFrameControl(expected->Canvas()->Handle(), &face, DFC_SCROLL, c.State);
    EXPECT_EQ(AllPixels(*actual), AllPixels(*expected));
    faces.insert(AllPixels(*actual));
  }
  // The three faces look different, so the comparison above tells them apart.
  EXPECT_EQ(faces.size(), 3u);
}

TEST(VcPaintTest, DisabledBitmapEmbossesTheBlackPixels) {
  const uint32_t face = Rgb(clBtnFace), shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
  struct TProbe {
    int X, Y;
    uint32_t Expected;
  };
  // Colour source: black at (1,1), (2,2) and the last pixel (5,4); red at (4,1) is not part of
  // the shape. The shadow pass comes second, so (2,2) is shadow over the highlight of (1,1).
  auto colour = MakePatternBitmap(6, 5, [](int X, int Y) {
    return (X == Y && X < 3 && X > 0) || (X == 5 && Y == 4) ? 0x000000u : X == 4 && Y == 1 ? 0xFF0000u : White;
  });
  // Monochrome source: its black (0) pixels are the shape too.
  auto mono = std::make_unique<TBitmap>();
  mono->SetMonochrome(true);
  mono->SetSize(4, 3);
  mono->Canvas()->Brush()->SetColor(clWhite);
  mono->Canvas()->FillRect(RECT{0, 0, 4, 3});
  mono->Canvas()->SetPixels(1, 1, clBlack);
  ASSERT_TRUE(mono->Monochrome());
  struct TCase {
    const char* Name;
    TBitmap* Source;
    std::vector<TProbe> Probes;
  } cases[] = {
      {"colour source",
       colour.get(),
       {{0, 0, face}, {1, 1, shadow}, {2, 2, shadow}, {3, 3, light}, {4, 1, face}, {5, 4, shadow}, {5, 0, face}}},
      {"monochrome source", mono.get(), {{0, 0, face}, {1, 1, shadow}, {2, 2, light}, {3, 2, face}, {1, 2, face}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBitmap target;
    target.SetSize(10, 10);  // takes the source's size
    MakeDisabledBitmap(c.Source, &target);
    ASSERT_EQ(target.Width(), c.Source->Width());
    ASSERT_EQ(target.Height(), c.Source->Height());
    for (const TProbe& probe : c.Probes)
      EXPECT_EQ(BitmapColor(target, probe.X, probe.Y), probe.Expected) << probe.X << "," << probe.Y;
  }
}

TEST(VcPaintTest, ImageListImagesEnabledEvenAndEmbossed) {
  TImageList list(nullptr);
  list.SetSize(4, 4);
  // A blue image whose left column is masked out.
  auto image = Plain(4, 4, 0x0000FF);
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(4, 4);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(RECT{0, 0, 4, 4});
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(RECT{0, 0, 1, 4});
  ASSERT_EQ(list.Add(image.get(), &mask), 0);

  const uint32_t blue = 0x0000FF, shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
  using TDraw = void (*)(TCustomImageList*, int32_t, TCanvas*, int32_t, int32_t, UINT, bool);
  struct TCase {
    const char* Name;
    TDraw Draw;
    int X;
    bool Enabled;
    std::vector<std::pair<int, uint32_t>> Row2;  // (x, colour) along row 2
    std::vector<std::pair<int, uint32_t>> Row6;  // (x, colour) along row 6
  } cases[] = {
      {"enabled at an odd x", DrawImageListImage, 3, true,
       {{3, Backdrop}, {4, blue}, {6, blue}, {7, Backdrop}}, {{5, Backdrop}}},
      {"even: one pixel further left", DrawImageListImageEven, 3, true,
       {{2, Backdrop}, {3, blue}, {5, blue}, {6, Backdrop}}, {{5, Backdrop}}},
      {"even at an even x stays", DrawImageListImageEven, 4, true, {{4, Backdrop}, {5, blue}, {7, blue}}, {}},
      // The shape (columns 1 to 3) in shadow, its highlight one pixel down and right.
      {"disabled", DrawImageListImage, 3, false,
       {{3, Backdrop}, {4, shadow}, {6, shadow}, {7, Backdrop}}, {{4, Backdrop}, {5, light}, {7, light}, {8, Backdrop}}},
      {"even and disabled: not moved", DrawImageListImageEven, 3, false,
       {{3, Backdrop}, {4, shadow}, {6, shadow}, {7, Backdrop}}, {{5, light}, {7, light}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto canvas = Plain(12, 9, Backdrop);
    c.Draw(&list, 0, canvas->Canvas(), c.X, 2, ILD_NORMAL, c.Enabled);
    for (auto [x, colour] : c.Row2) EXPECT_EQ(BitmapColor(*canvas, x, 2), colour) << "x " << x;
    for (auto [x, colour] : c.Row6) EXPECT_EQ(BitmapColor(*canvas, x, 6), colour) << "x " << x;
  }

  // A list that never made its handle draws nothing.
  TImageList empty(nullptr);
  auto canvas = Plain(6, 6, Backdrop);
  DrawImageListImage(&empty, 0, canvas->Canvas(), 0, 0, ILD_NORMAL, false);
  EXPECT_FALSE(empty.HandleAllocated());
  EXPECT_EQ(AllPixels(*canvas), std::vector<uint32_t>(36, Backdrop));
}

TEST(VcPaintTest, TextMeasurements) {
  auto bitmap = Plain(4, 4, White);
  TCanvas* canvas = bitmap->Canvas();
  const int line = canvas->TextHeight("Ag");
  ASSERT_GT(line, 0);

  // Three words in a box that holds one: three lines.
  const int narrow = canvas->TextWidth("www") + 1;
  EXPECT_EQ(TextHeightWrapped(canvas, DT_WORDBREAK, narrow, "www www www"), 3 * line);
  EXPECT_EQ(TextHeightWrapped(canvas, DT_WORDBREAK, 1000, "www www www"), line);

  struct TCase {
    const char* Name;
    std::string Text;
    int32_t Spacing, WrapWidth;
    SIZE Expected;
  } cases[] = {
      {"empty", "", 4, 0, {0, 0}},
      {"one line: no spacing", "abc", 4, 0, {canvas->TextWidth("abc"), line}},
      {"widest line and spacing between", "ab\r\nlonger line\r\nc", 4, 0,
       {canvas->TextWidth("longer line"), 3 * line + 2 * 4}},
      {"an empty line counts", "ab\r\n\r\nc", 0, 0, {canvas->TextWidth("ab"), 3 * line}},
      {"a lone LF does not cut", "ab\ncd", 0, 0, canvas->TextExtent("ab\ncd")},
      {"wrapped lines", "www www\r\nw", 2, narrow, {canvas->TextWidth("www"), 2 * line + line + 2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SIZE size{-1, -1};
    MultiLineTextExtent(canvas, c.Text, c.Spacing, c.WrapWidth, DT_WORDBREAK, size);
    EXPECT_EQ(size.cx, c.Expected.cx);
    EXPECT_EQ(size.cy, c.Expected.cy);
  }
}

}  // namespace
