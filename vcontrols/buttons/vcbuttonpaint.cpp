// TvcCustomBitBtn: painting. A paint renders the subclass's face into a bitmap the size of the
// button, lays the glyph and the caption out on it, draws them and the focus rectangle, and
// copies the face to the window in one piece.
//
// Layout: glyph and caption form a group around a reference point (the middle of the button,
// or a margin from the left or right edge for left or right aligned captions); Layout puts the
// glyph before or after the caption along x or y, Spacing pixels apart. Without a glyph the
// caption alone is placed, with a spacing of -3, which is what centres it on the button face.

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/buttons/vcbutton.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vcpaint.h"
#include "vcontrols/imaging/vcbitmap.h"
#include "platform/rtl/scopeexit.h"

void TvcCustomBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
  if (Destroying() || Width() <= 0 || Height() <= 0) return;
  FCanvas->SetHandle(Item.hDC);
  TScopeExit Unbind([this] { FCanvas->SetHandle(nullptr); });
  PaintButton();
}

void TvcCustomBitBtn::PaintNow() {
  if (!HandleAllocated()) return;
  HWND Window = HandleIfAllocated();
  HDC DC = GetDC(Window);
  if (!DC) return;
  FCanvas->SetHandle(DC);
  TScopeExit Release([this, Window, DC] {
    FCanvas->SetHandle(nullptr);
    ReleaseDC(Window, DC);
  });
  PaintButton();
}

void TvcCustomBitBtn::PaintButton() {
  if (Destroying() || Width() <= 0 || Height() <= 0) return;
  TvcBitmap Face;
  Face.SetHalftonePalette(FUseHalftone);
  // The caption renderer draws on the face; afterwards it is the button's again.
  TScopeExit Restore([this] { FTextOptions->SetCanvas(FCanvas.get()); });
  // A flat button shows its normal face while its click runs.
  const TvcShadeStyle Look = FShadeStyle == fbsFlat && FInClick ? fbsNormal : FShadeStyle;
  RenderFace(&Face, false, Look, DrawnDown());
  if (Face.Empty()) return;
  RECT Content{};
  PaintContent(Face.Canvas(), Content);
  FCanvas->Draw(0, 0, &Face);
  if (FSmoothFont) {
    FTextOptions->SetCanvas(FCanvas.get());
    DrawCaption(FCanvas.get(), FTextRect);
  }
}

void TvcCustomBitBtn::PaintContent(TCanvas* ACanvas, RECT& R) {
  R = ClientRect();
  InflateRect(&R, -2, -2);
  FTextOptions->SetCanvas(ACanvas);
  FTextOptions->SetText(Caption());
  FTextOptions->SetTextRect(R);
  RECT Measured{};
  FTextOptions->CalcRect(true, Measured);
  const SIZE TextSize{RectWidth(Measured), RectHeight(Measured)};
  RECT Area{};
  CalcLayout(ACanvas, R, FTextRect, FGlyphRect, TextSize, Area);
  FTextRect.left = Max(0, FTextRect.left);
  FTextRect.top = Max(0, FTextRect.top);
  FTextRect.right = Min(ClientWidth(), FTextRect.right);
  FTextRect.bottom = Min(ClientHeight(), FTextRect.bottom);
  if (!FGlyph->Empty()) DrawGlyph(ACanvas, FGlyphRect);
  DrawCaption(ACanvas, FTextRect);
  if (FOptions.Contains(boFocusRect) && FOptions.Contains(boFocusable) && Focused()) {
    RECT Focus{};
    UnionRect(&Focus, &FTextRect, &FGlyphRect);
    InflateRect(&Focus, 2, 2);
    ACanvas->Brush()->SetColor(clWhite);
    ACanvas->Font()->SetColor(clBlack);
    ACanvas->DrawFocusRect(Focus);
  }
}

void TvcCustomBitBtn::CalcLayout(TCanvas*, const RECT& R, RECT& OutTextRect, RECT& OutGlyphRect, SIZE TextSize,
                                 RECT& Area) {
  Area = R;
  InflateRect(&Area, -FMargin, -FMargin);
  const int32_t Margin = FMargin == -1 ? 4 : FMargin;
  OutGlyphRect = RECT{0, 0, 0, 0};
  const int32_t GW = FGlyph->Empty() ? 0 : GlyphWidth();
  const int32_t GH = FGlyph->Empty() ? 0 : FGlyph->Height();
  const int32_t TW = TextSize.cx, TH = TextSize.cy;
  int32_t S = !Caption().empty() && !FGlyph->Empty() ? FSpacing : 0;
  POINT P{Width() / 2, Height() / 2};
  if (FTextOptions->Alignment() == taLeftJustify)
    P.x = (TW + GW + S) / 2 + Margin;
  else if (FTextOptions->Alignment() == taRightJustify)
    P.x = Width() - Margin - (TW + GW + S) / 2;
  if (GW == 0 || GH == 0) S = (S - 6) / 2;

  // One coordinate of one rectangle: the group's extent on the axis counts the glyph, the text
  // or both; After puts the rectangle behind the other one.
  enum TCounts { TextOnly, GlyphOnly, Both };
  auto ExtentX = [&](TCounts Counts) {
    return (Counts != TextOnly ? GW : 0) + (Counts != GlyphOnly ? TW : 0) + (Counts == Both ? S : 0);
  };
  auto ExtentY = [&](TCounts Counts) {
    return (Counts != TextOnly ? GH + 1 : 0) + (Counts != GlyphOnly ? TH : 0) + (Counts == Both ? S : 0);
  };
  auto X = [&](TCounts Counts, bool After, int32_t Other) { return P.x - ExtentX(Counts) / 2 + (After ? S + Other : 0); };
  auto Y = [&](TCounts Counts, bool After, int32_t Other) { return P.y - ExtentY(Counts) / 2 + (After ? S + Other : 0); };

  POINT Text{}, Glyph{};
  switch (FLayout) {
    case blGlyphLeft:
      Text = POINT{X(Both, true, GW), Y(TextOnly, false, 0)};
      Glyph = POINT{X(Both, false, 0), Y(GlyphOnly, false, 0)};
      break;
    case blGlyphRight:
      Text = POINT{X(Both, false, 0), Y(TextOnly, false, 0)};
      Glyph = POINT{X(Both, true, TW), Y(GlyphOnly, false, 0)};
      break;
    case blGlyphTop:
      Text = POINT{X(TextOnly, false, 0), Y(Both, true, GH)};
      Glyph = POINT{X(GlyphOnly, false, 0), Y(Both, false, 0)};
      break;
    case blGlyphBottom:
      Text = POINT{X(TextOnly, false, 0), Y(Both, false, 0)};
      Glyph = POINT{X(GlyphOnly, false, 0), Y(Both, true, TH)};
      break;
  }
  OutTextRect = RECT{Text.x, Text.y, Text.x + TW, Text.y + TH};
  OutGlyphRect = RECT{Glyph.x, Glyph.y, Glyph.x + GW, Glyph.y + GH};
  OffsetRect(&OutTextRect, FOffsets->TextX(), FOffsets->TextY());
  OffsetRect(&OutGlyphRect, FOffsets->GlyphX(), FOffsets->GlyphY());
  if (DrawnDown()) {
    OffsetRect(&OutTextRect, FOffsets->TextDownX(), FOffsets->TextDownY());
    OffsetRect(&OutGlyphRect, FOffsets->TextDownX(), FOffsets->TextDownY());
  }
}

void TvcCustomBitBtn::DrawGlyph(TCanvas* ACanvas, const RECT& Rect) {
  if (FGlyph->Empty()) return;
  const int32_t Cells = FNumGlyphs;
  int32_t Cell = 0;
  if (!Enabled() && Cells >= 2)
    Cell = 1;
  else if (DrawnDown() && Cells >= 3)
    Cell = 2;
  else if (Cells >= 4 && IsMouseInControl(-1, -1, false))
    Cell = 3;
  if (!Enabled() && Cells <= 1) {
    // The glyph's shape embossed in the highlight and shadow colours.
    TBitmap Disabled;
    MakeDisabledBitmap(FGlyph.get(), &Disabled);
    Disabled.SetTransparentColor(clBtnFace);
    Disabled.SetTransparent(true);
    ACanvas->Draw(Rect.left, Rect.top, &Disabled);
    return;
  }
  // The cell, with the colour of its bottom-left pixel left out.
  const int32_t W = GlyphWidth(), H = FGlyph->Height();
  TBitmap Image;
  Image.SetPixelFormat(pf24bit);
  Image.SetSize(W, H);
  Image.Canvas()->CopyRect(RECT{0, 0, W, H}, FGlyph->Canvas(), RECT{Cell * W, 0, Cell * W + W, H});
  Image.SetTransparentMode(tmAuto);
  Image.SetTransparent(true);
  ACanvas->Draw(Rect.left, Rect.top, &Image);
}

void TvcCustomBitBtn::DrawCaption(TCanvas* ACanvas, const RECT& Rect) {
  ACanvas->Brush()->SetStyle(bsClear);
  FTextOptions->SetTextRect(Rect);
  FTextOptions->Draw();
}
