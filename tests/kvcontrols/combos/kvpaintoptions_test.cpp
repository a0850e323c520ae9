#include "kvcontrols/editors/kvpaintoptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/grids.h"
#include "platform/gdi/dc.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

// A grid of 100 x 35 with a first row of 12 pixels, and paint options over its paint bitmap.
class KvPaintOptionsTest : public FormsTest::TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Grid = std::make_unique<TCustomGrid>(nullptr);
    Grid->SetBounds(0, 0, 100, 35);
    Grid->SetRowHeights(0, 12);
    Options = std::make_unique<TkvGridPaintOptions>(Grid.get(), &PaintBitmap);
  }
  void TearDown() override {
    Options.reset();
    Grid.reset();
    TFormsTest::TearDown();
  }

  // A picture of that size, white with a red top-left pixel.
  void SetPicture(int Width, int Height) {
    auto Bitmap = MakeBitmap(Width, Height, pf24bit, TColor(0xFFFFFF));
    Bitmap->Canvas()->SetPixels(0, 0, TColor(0x0000FF));
    TPicture Picture;
    Picture.SetGraphic(Bitmap.get());
    Options->SetBackgroundBitmap(&Picture);
  }

  TBitmap PaintBitmap;
  std::unique_ptr<TCustomGrid> Grid;
  std::unique_ptr<TkvGridPaintOptions> Options;
};

TEST_F(KvPaintOptionsTest, DefaultsAndTheCheckedGrid) {
  EXPECT_EQ(Options->BackgroundDrawStyle(), bdsTile);
  EXPECT_EQ(Options->AlternatingRowRegions().Bits(), 7u);
  EXPECT_TRUE(Options->FastRecordScrolling());
  EXPECT_EQ(Options->AlternatingRowColor(), clNone);
  EXPECT_EQ(Options->ActiveRecordColor(), clNone);
  EXPECT_TRUE(Options->BackgroundOptions().Empty());
  EXPECT_FALSE(Options->BackgroundStale);
  TComponent NotAGrid(nullptr);
  EXPECT_THROW(TkvGridPaintOptions(&NotAGrid, &PaintBitmap), EInvalidCast);
  // The option bits are stored in declaration order.
  EXPECT_EQ(TkvBackgroundOptions{coBlendAlternatingRow}.Bits(), 16u);
}

TEST_F(KvPaintOptionsTest, WritersMarkStaleOnlyWhenTheImagesDependOnTheChange) {
  struct TCase {
    const char* Name;
    std::function<void(TkvGridPaintOptions&)> Write;
    bool Stale;
  };
  const TCase Cases[] = {
      {"same alternating colour", [](auto& O) { O.SetAlternatingRowColor(clNone); }, false},
      {"new alternating colour", [](auto& O) { O.SetAlternatingRowColor(TColor(0x00FF00)); }, true},
      {"new active colour", [](auto& O) { O.SetActiveRecordColor(TColor(0x00FF00)); }, true},
      {"regions repaint without a rebuild", [](auto& O) { O.SetAlternatingRowRegions({arrDataColumns}); }, false},
      {"same options", [](auto& O) { O.SetBackgroundOptions({}); }, false},
      {"new options", [](auto& O) { O.SetBackgroundOptions({coFillDataCells}); }, true},
      {"same style", [](auto& O) { O.SetBackgroundDrawStyle(bdsTile); }, false},
      {"new style", [](auto& O) { O.SetBackgroundDrawStyle(bdsCenter); }, true},
      {"the same empty picture again", [](auto& O) { TPicture P; O.SetBackgroundBitmap(&P); }, true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TkvGridPaintOptions Fresh(Grid.get(), &PaintBitmap);
    Case.Write(Fresh);
    EXPECT_EQ(Fresh.BackgroundStale, Case.Stale);
  }
  // Without a grid the writers only store.
  TkvGridPaintOptions Unowned(nullptr, &PaintBitmap);
  Unowned.SetBackgroundOptions({coFillDataCells});
  EXPECT_FALSE(Unowned.BackgroundStale);
}

TEST_F(KvPaintOptionsTest, PreparationBuildsAndFreesTheTintedCopies) {
  SetPicture(10, 10);
  Options->SetActiveRecordColor(TColor(0x0000FF));
  Options->SetAlternatingRowColor(TColor(0x808080));
  Options->FixedRowColor = TColor(0xFFFFFF);
  Options->FixedColumnColor = TColor(0x000000);
  Options->SetBackgroundOptions(
      {coFillDataCells, coBlendFixedRow, coBlendFixedColumn, coBlendActiveRecord, coBlendAlternatingRow});
  Options->PrepareBackground(false);
  EXPECT_FALSE(Options->BackgroundStale);
  ASSERT_NE(Options->BackgroundCopy(), nullptr);
  ASSERT_NE(Options->ActiveRecordCopy(), nullptr);
  ASSERT_NE(Options->AlternatingRowCopy(), nullptr);
  ASSERT_NE(Options->FixedColumnCopy(), nullptr);
  ASSERT_NE(Options->FixedRowCopy(), nullptr);
  EXPECT_TRUE(Options->IsFillDataCells());
  EXPECT_EQ(PaintBitmap.Width(), 100);
  EXPECT_EQ(PaintBitmap.Height(), 35);
  EXPECT_EQ(Options->FixedRowCopy()->Width(), 100);
  EXPECT_EQ(Options->FixedRowCopy()->Height(), 12);
  EXPECT_EQ(Options->ActiveRecordCopy()->Height(), 35);
  // Tints of a white pixel (v + c div 2 - 128) and of the red tile corner at (10, 10).
  EXPECT_EQ(Options->ActiveRecordCopy()->PixelColor(5, 5), TColor(0x7F7FFE));
  EXPECT_EQ(Options->AlternatingRowCopy()->PixelColor(5, 5), TColor(0xBFBFBF));
  EXPECT_EQ(Options->FixedRowCopy()->PixelColor(5, 5), TColor(0xFEFEFE));
  EXPECT_EQ(Options->FixedColumnCopy()->PixelColor(10, 10), TColor(0x00007F));
  EXPECT_EQ(PixelOf(*Options->BackgroundCopy(), 10, 10), TColor(0x0000FF));

  // Switching the fixed row off and clearing the active colour frees their copies at the next
  // preparation; an empty picture frees everything and leaves a white paint bitmap.
  Options->SetBackgroundOptions({coFillDataCells, coBlendFixedColumn, coBlendAlternatingRow});
  Options->SetActiveRecordColor(clNone);
  Options->PrepareBackground(false);
  EXPECT_EQ(Options->FixedRowCopy(), nullptr);
  EXPECT_EQ(Options->ActiveRecordCopy(), nullptr);
  EXPECT_NE(Options->AlternatingRowCopy(), nullptr);

  TPicture Empty;
  Options->SetBackgroundBitmap(&Empty);
  Options->PrepareBackground(false);
  EXPECT_EQ(Options->BackgroundCopy(), nullptr);
  EXPECT_EQ(Options->AlternatingRowCopy(), nullptr);
  EXPECT_EQ(Options->FixedColumnCopy(), nullptr);
  EXPECT_FALSE(Options->IsFillDataCells());
  EXPECT_EQ(PixelOf(PaintBitmap, 10, 10), TColor(0xFFFFFF));
}

TEST_F(KvPaintOptionsTest, PictureCornersShowWhereEachStylePutsThePicture) {
  struct TCase {
    const char* Name;
    TkvBackgroundDrawStyle Style;
    int PictureWidth, PictureHeight;
    std::vector<POINT> Red;    // pixels showing the picture's red corner
    std::vector<POINT> White;  // pixels that do not
  };
  const TCase Cases[] = {
      // 10 x 10 on 100 x 35: 11 x 4 tiles, the last column (x = 100) and row (y = 30) cut.
      {"tile", bdsTile, 10, 10, {{0, 0}, {90, 0}, {0, 30}, {90, 30}}, {{95, 31}}},
      {"top left", bdsTopLeft, 10, 10, {{0, 0}}, {{10, 10}, {90, 30}}},
      // 40 x 10 centred: offset ((100 - 40) div 2, (35 - 10) div 2) = (30, 12).
      {"centre", bdsCenter, 40, 10, {{30, 12}}, {{0, 0}}},
      // Wider than the control: (100 - 140) div 2 = -20, cut on both sides.
      {"centre, wide picture", bdsCenter, 140, 10, {}, {{0, 12}}},
      {"stretch", bdsStretch, 10, 10, {{0, 0}, {4, 1}}, {{20, 20}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetPicture(Case.PictureWidth, Case.PictureHeight);
    Options->SetBackgroundDrawStyle(Case.Style);
    Options->PrepareBackground(true);
    for (POINT P : Case.Red) EXPECT_EQ(PixelOf(PaintBitmap, P.x, P.y), TColor(0x0000FF)) << P.x << "," << P.y;
    for (POINT P : Case.White) EXPECT_EQ(PixelOf(PaintBitmap, P.x, P.y), TColor(0xFFFFFF)) << P.x << "," << P.y;
  }
}

TEST_F(KvPaintOptionsTest, PaletteDisplayAndUntintedFixedColumns) {
  SetPicture(10, 10);
  Options->FixedColumnColor = TColor(0x000000);
  Options->SetBackgroundOptions({coBlendFixedColumn});
  Grid->SetFixedColor(clNone);
  Options->PrepareBackground(false);
  ASSERT_NE(Options->FixedColumnCopy(), nullptr);
  EXPECT_EQ(Options->FixedColumnCopy()->PixelColor(5, 5), TColor(0xFFFFFF)) << "no fixed colour: no tint";

  // On 8 bits per pixel only the paint bitmap is redrawn; the copies stay as they were.
  const int OldDepth = GdiScreenBitsPerPixel();
  GdiSetScreenBitsPerPixel(8);
  TPicture Empty;
  Options->SetBackgroundBitmap(&Empty);
  Options->PrepareBackground(false);
  GdiSetScreenBitsPerPixel(OldDepth);
  EXPECT_NE(Options->FixedColumnCopy(), nullptr);
  EXPECT_NE(Options->BackgroundCopy(), nullptr);
  EXPECT_FALSE(Options->BackgroundStale);
  EXPECT_EQ(PixelOf(PaintBitmap, 0, 0), TColor(0xFFFFFF));
}

}  // namespace
