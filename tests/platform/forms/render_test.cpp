// One picture that uses every graphics class together, written as PNG for looking at it
// ($KORCAM_TEST_IMAGES or /tmp/korcam-forms-images/graphics_demo.png), with a few of its pixels
// checked.

#include <gtest/gtest.h>

#include "forms_fixture.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/jpegimage.h"
#include "platform/gdi/gdiobj.h"

TEST(Render, AllGraphicsClassesOnOneBitmap) {
  auto Demo = MakeBitmap(160, 100, pf24bit, clBtnFace);
  TCanvas* Canvas = Demo->Canvas();

  // Shapes: a framed rectangle, an ellipse, a rounded rectangle, a filled triangle.
  Canvas->Pen()->SetColor(clNavy);
  Canvas->Brush()->SetColor(clYellow);
  Canvas->Rectangle(4, 4, 40, 30);
  Canvas->Brush()->SetColor(clLime);
  Canvas->Ellipse(44, 4, 80, 30);
  Canvas->Brush()->SetStyle(bsDiagCross);
  Canvas->Brush()->SetColor(clRed);
  Canvas->RoundRect(84, 4, 120, 30, 10, 10);
  Canvas->Brush()->SetColor(clAqua);
  Canvas->Polygon({Point(124, 30), Point(140, 4), Point(156, 30)});

  // A dashed line and text with a clear brush.
  Canvas->Pen()->SetStyle(psDash);
  Canvas->Pen()->SetColor(clMaroon);
  Canvas->MoveTo(4, 36);
  Canvas->LineTo(156, 36);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetName("DejaVu Sans");
  Canvas->Font()->SetSize(9);
  Canvas->Font()->SetStyle({fsBold});
  Canvas->Font()->SetColor(clBlue);
  Canvas->TextOut(6, 40, "Korcam: TCanvas");

  // A JPEG of a colour ramp, stretched.
  auto Ramp = MakeRamp(32, 16);
  TJPEGImage Jpeg;
  Jpeg.Assign(Ramp.get());
  Jpeg.SetCompressionQuality(80);
  Jpeg.Compress();
  TJPEGImage Decoded;
  Decoded.Assign(&Jpeg);
  Canvas->StretchDraw(Rect(4, 58, 68, 90), &Decoded);

  // A transparent glyph and an image list in three styles, one dimmed.
  auto Glyph = MakeBitmap(12, 12, pf24bit, clFuchsia);
  Glyph->Canvas()->Brush()->SetColor(clGreen);
  Glyph->Canvas()->Pen()->SetColor(clBlack);
  Glyph->Canvas()->Ellipse(1, 1, 11, 11);
  Glyph->SetTransparent(true);
  Canvas->Draw(74, 60, Glyph.get());
  TImageList Images(nullptr);
  Images.SetSize(12, 12);
  Images.AddMasked(Glyph.get(), clFuchsia);
  Images.SetBlendColor(clHighlight);
  Images.Draw(Canvas, 92, 60, 0);
  Images.Draw(Canvas, 108, 60, 0, TDrawingStyle::dsSelected, itImage);
  Images.Draw(Canvas, 124, 60, 0, false);

  const std::string Path = SavePng(*Demo, "graphics_demo", 3);
  SCOPED_TRACE(Path);
  EXPECT_EQ(PixelOf(*Demo, 20, 15), clYellow);
  EXPECT_EQ(PixelOf(*Demo, 4, 4), clNavy);
  EXPECT_EQ(PixelOf(*Demo, 62, 17), clLime);
  EXPECT_EQ(PixelOf(*Demo, 74, 60), ColorToRGB(clBtnFace));  // the glyph's corner is transparent
  EXPECT_EQ(PixelOf(*Demo, 80, 66), clGreen);
  EXPECT_EQ(PixelOf(*Demo, 98, 66), clGreen);
  EXPECT_NE(PixelOf(*Demo, 114, 66), clGreen);  // blended with the highlight
}

TEST(Render, LeavesNoDeviceObjectsBehind) {
  // Warm up the objects the libraries keep for the whole run (stock objects, the screen DC).
  {
    auto Warm = MakeBitmap(2, 2, pfDevice, clRed);
    Warm->Canvas()->TextOut(0, 0, "x");
  }
  const int Before = GdiObjectCount();
  {
    auto Bitmap = MakeRamp(16, 8);
    Bitmap->Canvas()->Font()->SetSize(14);
    Bitmap->Canvas()->TextOut(1, 1, "Ag");
    Bitmap->Canvas()->Pen()->SetWidth(3);
    Bitmap->Canvas()->LineTo(10, 7);
    Bitmap->SetPixelFormat(pf8bit);
    Bitmap->Palette();
    Bitmap->SetMonochrome(true);
    Bitmap->MaskHandle();
    Bitmap->SetPixelFormat(pf16bit);
    Bitmap->SetTransparent(true);
    auto Target = MakeBitmap(20, 20, pf24bit, clWhite);
    Target->Canvas()->Draw(0, 0, Bitmap.get());
    Bitmap->Dormant();
    TJPEGImage Jpeg;
    Jpeg.SetGrayscale(true);
    Jpeg.Assign(Target.get());
    TMemoryStream Stream;
    Jpeg.SaveToStream(Stream);
    Stream.SetPosition(0);
    Jpeg.LoadFromStream(Stream);
    Target->Canvas()->StretchDraw(Rect(0, 0, 5, 5), &Jpeg);
    TImageList Images(nullptr);
    Images.SetSize(4, 4);
    Images.AddMasked(Target.get(), clDefault);
    Images.Draw(Target->Canvas(), 0, 0, 1, false);
    TBrush Brush;
    Brush.SetBitmap(Target.get());
    Brush.Handle();
  }
  EXPECT_EQ(GdiObjectCount(), Before);
}
