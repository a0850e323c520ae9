// TCanvas on small bitmaps: shapes, text and transfers land on the pixels they should, the
// font, pen and brush are selected lazily and re-selected after a change, and every drawing
// call is reported once.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "forms_fixture.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/shapes.h"

namespace {

// One text row per pixel row of the bitmap: Ink where the pixel has that colour, '.' elsewhere.
std::string Art(TBitmap& Bitmap, TColor Ink) {
  std::string Result;
  for (int Y = 0; Y < Bitmap.Height(); ++Y) {
    for (int X = 0; X < Bitmap.Width(); ++X) Result += PixelOf(Bitmap, X, Y) == Ink ? '#' : '.';
    Result += '\n';
  }
  return Result;
}

}  // namespace

TEST(Canvas, ShapesUseThePenForOutlinesAndTheBrushInside) {
  auto Bitmap = MakeBitmap(6, 5, pf24bit, clWhite);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetColor(clRed);
  Canvas->Rectangle(0, 0, 5, 4);  // right and bottom are outside
  EXPECT_EQ(Art(*Bitmap, clBlack), "#####.\n#...#.\n#...#.\n#####.\n......\n");
  EXPECT_EQ(Art(*Bitmap, clRed), "......\n.###..\n.###..\n......\n......\n");

  Canvas->Brush()->SetColor(clBlue);
  Canvas->FillRect(Rect(1, 1, 3, 3));  // no outline
  EXPECT_EQ(Art(*Bitmap, clBlue), "......\n.##...\n.##...\n......\n......\n");

  Canvas->Brush()->SetColor(clLime);
  Canvas->FrameRect(Rect(3, 2, 6, 5));
  EXPECT_EQ(Art(*Bitmap, clLime), "......\n......\n...###\n...#.#\n...###\n");
}

TEST(Canvas, LinesStopBeforeTheirEndAndMoveThePen) {
  auto Bitmap = MakeBitmap(5, 3, pf24bit, clWhite);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->MoveTo(0, 1);
  Canvas->LineTo(4, 1);
  EXPECT_EQ(Art(*Bitmap, clBlack), ".....\n####.\n.....\n");
  EXPECT_EQ(Canvas->PenPos(), (POINT{4, 1}));
  Canvas->Polyline({Point(0, 0), Point(1, 1)});  // a two-point polyline sets one pixel
  EXPECT_EQ(PixelOf(*Bitmap, 0, 0), clBlack);
  EXPECT_EQ(PixelOf(*Bitmap, 1, 1), clBlack);  // from the first line
  EXPECT_EQ(PixelOf(*Bitmap, 2, 2), clWhite);
  Canvas->SetPenPos(Point(2, 0));
  Canvas->LineTo(2, 3);
  EXPECT_EQ(Art(*Bitmap, clBlack), "#.#..\n####.\n..#..\n");
}

TEST(Canvas, XorPenModeUndoesItself) {
  auto Bitmap = MakeBitmap(4, 1, pf24bit, TColor(0x00336699));
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Pen()->SetMode(pmXor);
  Canvas->Pen()->SetColor(clWhite);
  Canvas->MoveTo(0, 0);
  Canvas->LineTo(4, 0);
  EXPECT_EQ(PixelOf(*Bitmap, 1, 0), TColor(0x00CC9966));
  Canvas->MoveTo(0, 0);
  Canvas->LineTo(4, 0);
  EXPECT_EQ(PixelOf(*Bitmap, 1, 0), TColor(0x00336699));
}

TEST(Canvas, PixelsReadAndWriteColours) {
  auto Bitmap = MakeBitmap(3, 3, pf24bit, clWhite);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->SetPixels(1, 2, clBtnShadow);  // system colours are resolved
  EXPECT_EQ(Canvas->Pixels(1, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Canvas->Pixels(5, 5), TColor(-1));  // outside: CLR_INVALID
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 3, 3));
}

TEST(Canvas, ClearBrushWritesTransparentText) {
  struct TCase {
    const char* Name;
    TBrushStyle Style;
    bool BackgroundFilled;
  };
  const TCase Cases[] = {{"solid brush fills the cell", bsSolid, true},
                         {"clear brush leaves it", bsClear, false}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Bitmap = MakeBitmap(40, 20, pf24bit, clWhite);
    TCanvas* Canvas = Bitmap->Canvas();
    Canvas->Brush()->SetColor(clYellow);
    Canvas->Brush()->SetStyle(Case.Style);
    Canvas->Font()->SetColor(clBlue);
    Canvas->Font()->SetName("DejaVu Sans");
    Canvas->TextOut(2, 2, "I");
    const SIZE Extent = Canvas->TextExtent("I");
    EXPECT_GT(Extent.cx, 0);
    EXPECT_GT(Extent.cy, 0);
    // The cell's top-left corner is blank in a sans "I": only the background shows there.
    EXPECT_EQ(PixelOf(*Bitmap, 2, 2), Case.BackgroundFilled ? clYellow : clWhite);
    // Glyph edges are smoothed: count the pixels where blue clearly dominates.
    int Ink = 0;
    for (int Y = 0; Y < 20; ++Y)
      for (int X = 0; X < 40; ++X) {
        const TColor C = PixelOf(*Bitmap, X, Y);
        Ink += (C & 0xFF) < 0x80 && ((C >> 16) & 0xFF) > 0x80;
      }
    EXPECT_GT(Ink, 3);
    // The pen waits after the text.
    EXPECT_EQ(Canvas->PenPos(), (POINT{2 + Extent.cx, 2}));
  }
}

TEST(Canvas, SelectsLazilyAndDropsWhatChanged) {
  auto Bitmap = MakeBitmap(4, 4, pf24bit, clWhite);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->FillRect(Rect(0, 0, 1, 1));  // needs the DC and the brush only
  EXPECT_EQ(Canvas->State(), (TCanvasState{csHandleValid, csBrushValid}));
  const HDC DC = Canvas->Handle();  // the handle comes with everything selected
  EXPECT_EQ(Canvas->State(), csAllValid);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Canvas->Font()->Handle());
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Canvas->Pen()->Handle());
  EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), Canvas->Brush()->Handle());
  EXPECT_EQ(GetTextColor(DC), COLORREF(ColorToRGB(clWindowText)));

  Canvas->Pen()->SetWidth(2);  // deselected at once: the DC holds the stock pen
  EXPECT_FALSE(Canvas->State().Contains(csPenValid));
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  Canvas->Font()->SetColor(clRed);
  EXPECT_FALSE(Canvas->State().Contains(csFontValid));
  Canvas->TextOut(0, 0, "");
  EXPECT_EQ(GetTextColor(DC), COLORREF(0x0000FF));

  Canvas->Brush()->SetStyle(bsDiagCross);
  Canvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(GetBkMode(DC), TRANSPARENT);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(GetBkMode(DC), OPAQUE);
  EXPECT_EQ(GetBkColor(DC), COLORREF(ColorToRGB(Canvas->Brush()->Color())));

  Canvas->Refresh();
  EXPECT_EQ(Canvas->State(), TCanvasState{csHandleValid});
}

TEST(Canvas, ReportsEachDrawingCallOnce) {
  struct TCase {
    const char* Name;
    std::function<void(TCanvas&)> Call;
    int Events;
  };
  auto Source = MakeBitmap(2, 2, pf24bit, clRed);
  const TCase Cases[] = {
      {"FillRect", [](TCanvas& C) { C.FillRect(Rect(0, 0, 2, 2)); }, 1},
      {"Rectangle", [](TCanvas& C) { C.Rectangle(0, 0, 2, 2); }, 1},
      {"LineTo", [](TCanvas& C) { C.LineTo(3, 3); }, 1},
      {"TextOut", [](TCanvas& C) { C.TextOut(0, 0, "x"); }, 1},
      {"Pixels", [](TCanvas& C) { C.SetPixels(0, 0, clRed); }, 1},
      {"Draw", [&](TCanvas& C) { C.Draw(0, 0, Source.get()); }, 1},
      {"StretchDraw", [&](TCanvas& C) { C.StretchDraw(Rect(0, 0, 4, 4), Source.get()); }, 1},
      {"CopyRect", [&](TCanvas& C) { C.CopyRect(Rect(0, 0, 2, 2), Source->Canvas(), Rect(0, 0, 2, 2)); }, 1},
      {"Handle", [](TCanvas& C) { C.Handle(); }, 1},
      {"MoveTo reports nothing", [](TCanvas& C) { C.MoveTo(1, 1); }, 0},
      {"TextWidth reports nothing", [](TCanvas& C) { C.TextWidth("abc"); }, 0},
      {"Draw of nothing", [](TCanvas& C) { C.Draw(0, 0, nullptr); }, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Bitmap = MakeBitmap(4, 4, pf24bit, clWhite);
    TCanvas* Canvas = Bitmap->Canvas();
    int Changing = 0, Changed = 0, BitmapChanged = 0;
    Canvas->OnChanging = TNotifyEvent([&](TObject*) { ++Changing; });
    Canvas->OnChange = TNotifyEvent([&](TObject*) { ++Changed; });
    Case.Call(*Canvas);
    EXPECT_EQ(Changing, Case.Events);
    EXPECT_EQ(Changed, Case.Events);
    // A bitmap hears of drawing on its canvas.
    auto Other = MakeBitmap(4, 4, pf24bit, clWhite);
    Other->OnChange = TNotifyEvent([&](TObject*) { ++BitmapChanged; });
    Case.Call(*Other->Canvas());
    EXPECT_EQ(BitmapChanged, Case.Events);
  }
}

TEST(Canvas, CopyRectAppliesCopyMode) {
  struct TCase {
    const char* Name;
    TCopyMode Mode;
    TColor Expected;
  };
  // Destination 0x00F0F0F0, source 0x00336699.
  const TCase Cases[] = {
      {"copy", cmSrcCopy, TColor(0x00336699)},        {"invert", cmSrcInvert, TColor(0x00C39669)},
      {"and", cmSrcAnd, TColor(0x00306090)},          {"paint", cmSrcPaint, TColor(0x00F3F6F9)},
      {"not copy", cmNotSrcCopy, TColor(0x00CC9966)}, {"whiteness", cmWhiteness, clWhite},
  };
  auto Source = MakeBitmap(2, 2, pf24bit, TColor(0x00336699));
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Target = MakeBitmap(4, 4, pf24bit, TColor(0x00F0F0F0));
    Target->Canvas()->SetCopyMode(Case.Mode);
    Target->Canvas()->CopyRect(Rect(1, 1, 3, 3), Source->Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(PixelOf(*Target, 2, 2), Case.Expected);
    EXPECT_EQ(PixelOf(*Target, 0, 0), TColor(0x00F0F0F0));
  }
  // Stretching: a 2x2 source over 4x4 doubles each pixel.
  auto Checker = MakeBitmap(2, 2, pf24bit, clWhite);
  Checker->Canvas()->SetPixels(0, 0, clBlack);
  Checker->Canvas()->SetPixels(1, 1, clBlack);
  auto Big = MakeBitmap(4, 4, pf24bit, clRed);
  Big->Canvas()->CopyRect(Rect(0, 0, 4, 4), Checker->Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(Art(*Big, clBlack), "##..\n##..\n..##\n..##\n");
}

TEST(Canvas, DrawHonoursTransparency) {
  auto Glyph = MakeBitmap(3, 3, pf24bit, clFuchsia);
  Glyph->Canvas()->SetPixels(1, 1, clNavy);
  Glyph->Canvas()->SetPixels(0, 0, clNavy);
  auto Target = MakeBitmap(5, 5, pf24bit, clSilver);
  Target->Canvas()->Draw(1, 1, Glyph.get());
  EXPECT_EQ(Art(*Target, clFuchsia), ".....\n..##.\n.#.#.\n.###.\n.....\n");

  // Transparent: the bottom-left colour (fuchsia) is left out.
  Glyph->SetTransparent(true);
  auto Second = MakeBitmap(5, 5, pf24bit, clSilver);
  Second->Canvas()->Draw(1, 1, Glyph.get());
  EXPECT_EQ(Art(*Second, clNavy), ".....\n.#...\n..#..\n.....\n.....\n");
  EXPECT_EQ(Art(*Second, clFuchsia), ".....\n.....\n.....\n.....\n.....\n");

  // A fixed transparent colour overrides the corner.
  Glyph->SetTransparentColor(clNavy);
  auto Third = MakeBitmap(5, 5, pf24bit, clSilver);
  Third->Canvas()->StretchDraw(Rect(0, 0, 3, 3), Glyph.get());
  EXPECT_EQ(Art(*Third, clSilver), "#..##\n.#.##\n...##\n#####\n#####\n");
}

TEST(Canvas, NeedsADeviceContext) {
  TCanvas Canvas;
  EXPECT_THROW(Canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  // A DC of the caller's: the canvas draws on it and lets it go again with its objects.
  auto Bitmap = MakeBitmap(2, 2, pf24bit, clWhite);
  const HBITMAP Handle = Bitmap->ReleaseHandle();
  const HDC DC = CreateCompatibleDC(nullptr);
  const HGDIOBJ OldBitmap = SelectObject(DC, Handle);
  Canvas.SetHandle(DC);
  Canvas.Brush()->SetColor(clGreen);
  Canvas.FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(GetPixel(DC, 1, 1), COLORREF(clGreen));
  Canvas.SetHandle(nullptr);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), GetStockObject(HOLLOW_BRUSH));
  SelectObject(DC, OldBitmap);
  DeleteDC(DC);
  DeleteObject(Handle);
}

TEST(Canvas, LockSerialisesDrawing) {
  TCanvas Canvas;
  Canvas.Lock();
  Canvas.Lock();
  EXPECT_EQ(Canvas.LockCount(), 2);
  std::atomic<bool> Took{true};
  std::thread([&] { Took = Canvas.TryLock(); }).join();
  EXPECT_FALSE(Took);
  Canvas.Unlock();
  Canvas.Unlock();
  EXPECT_EQ(Canvas.LockCount(), 0);
  std::thread([&] {
    Took = Canvas.TryLock();
    if (Took) Canvas.Unlock();
  }).join();
  EXPECT_TRUE(Took);
}
