#include "vcontrols/common/vcpaint.h"

#include "platform/forms/imagelistapi.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "vcontrols/common/vccommon.h"

namespace {

// Destination where the source bit is 0 (after the mono-to-colour step: background colour
// black), the brush where it is 1.
constexpr DWORD BrushWhereSourceSet = 0x00E20746;

// Paints the shape of Mono (a DC holding a Width x Height monochrome bitmap) embossed on Canvas
// at (X, Y). Text and Back are the colours the mono bits take on the way: the bits that become
// white take the brush.
void Emboss(TCanvas* Canvas, int32_t X, int32_t Y, int32_t Width, int32_t Height, HDC Mono, COLORREF Text,
            COLORREF Back) {
  TBrush* brush = Canvas->Brush();
  const TColor oldColor = brush->Color();
  const struct {
    TColor Color;
    int32_t Offset;
  } passes[] = {{clBtnHighlight, 1}, {clBtnShadow, 0}};
  for (const auto& pass : passes) {
    brush->SetColor(pass.Color);
    HDC target = Canvas->Handle();
    const COLORREF oldText = SetTextColor(target, Text), oldBack = SetBkColor(target, Back);
    BitBlt(target, X + pass.Offset, Y + pass.Offset, Width, Height, Mono, 0, 0, BrushWhereSourceSet);
    SetTextColor(target, oldText);
    SetBkColor(target, oldBack);
  }
  brush->SetColor(oldColor);
}

void DrawListImage(TCustomImageList* ImageList, int32_t Index, TCanvas* Canvas, int32_t X, int32_t Y,
                   int32_t EnabledX, UINT Style, bool Enabled) {
  if (!ImageList || !Canvas || !ImageList->HandleAllocated()) return;
  HIMAGELIST list = ImageList->Handle();
  if (Enabled) {
    ImageList_DrawEx(list, Index, Canvas->Handle(), EnabledX, Y, 0, 0, ColorToImageListColor(ImageList->BkColor()),
                     ColorToImageListColor(ImageList->BlendColor()), Style);
    return;
  }
  // The mask's 0 bits are the image; they become white and take the brush.
  TBitmap shape;
  shape.SetMonochrome(true);
  shape.SetSize(ImageList->Width(), ImageList->Height());
  ImageList_DrawEx(list, Index, shape.Canvas()->Handle(), 0, 0, 0, 0, CLR_DEFAULT, 0, ILD_MASK);
  Emboss(Canvas, X, Y, ImageList->Width(), ImageList->Height(), shape.Canvas()->Handle(), 0xFFFFFF, 0x000000);
}

UINT PressedLook(bool Down, uint8_t Flags, UINT Look) {
  return Down && !(Flags & gfNoPressedLook) ? Look : 0;
}

}  // namespace

void DrawImageListImage(TCustomImageList* ImageList, int32_t Index, TCanvas* Canvas, int32_t X, int32_t Y,
                        UINT Style, bool Enabled) {
  DrawListImage(ImageList, Index, Canvas, X, Y, X, Style, Enabled);
}

void DrawImageListImageEven(TCustomImageList* ImageList, int32_t Index, TCanvas* Canvas, int32_t X, int32_t Y,
                            UINT Style, bool Enabled) {
  DrawListImage(ImageList, Index, Canvas, X, Y, X % 2 != 0 ? X - 1 : X, Style, Enabled);
}

void MakeDisabledBitmap(TBitmap* Source, TBitmap* Target) {
  if (!Source || !Target) return;
  const int32_t width = Source->Width(), height = Source->Height();
  // The shape: a monochrome copy in which the source's black pixels are the set (white) bits. A
  // monochrome source goes through colour first, its 0 bits white and its 1 bits black, and
  // then keeps its white pixels: so its 0 bits are the shape too.
  TBitmap shape;
  shape.Assign(Source);
  shape.SetHandleType(bmDDB);
  shape.Canvas()->Brush()->SetColor(clBlack);
  if (shape.Monochrome()) {
    shape.Canvas()->Font()->SetColor(clWhite);
    shape.SetMonochrome(false);
    shape.Canvas()->Brush()->SetColor(clWhite);
  }
  shape.SetMonochrome(true);

  Target->SetSize(width, height);
  TCanvas* canvas = Target->Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(RECT{0, 0, width, height});
  if (width > 0 && height > 0) Emboss(canvas, 0, 0, width, height, shape.Canvas()->Handle(), 0x000000, 0xFFFFFF);
}

void DrawEllipsisGlyph(TCanvas* Canvas, const RECT& Rect, TButtonState State, bool Flat, bool Transparent,
                       uint8_t Flags) {
  if (!Canvas) return;
  HDC dc = Canvas->Handle();
  const bool down = State == bsDown;
  if (!Flat) {
    RECT edge = Rect;
    DrawEdge(dc, &edge, EDGE_RAISED,
             BF_RECT | (Transparent ? 0 : BF_MIDDLE) | PressedLook(down, Flags, BF_FLAT));
  }
  const int32_t side = Max(1, int32_t(uint32_t(RectWidth(Rect) + 1) >> 3));
  const int32_t y = Rect.top + int32_t(uint32_t(RectHeight(Rect) + 1) >> 1) - 1 + (down ? 1 : 0);
  const int32_t x = Rect.left + int32_t(uint32_t(RectWidth(Rect)) >> 1) - 1 + (down ? 1 : 0);
  for (int32_t column : {x - 2 * side, x, x + 2 * side}) PatBlt(dc, column, y, side, side, BLACKNESS);
}

void DrawComboArrowGlyph(TCanvas* Canvas, const RECT& Rect, bool Down, bool Enabled, uint8_t Flags) {
  if (!Canvas) return;
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (!Enabled)
    state |= DFCS_INACTIVE;
  else
    state |= PressedLook(Down, Flags, DFCS_PUSHED | DFCS_FLAT);
  RECT face = Rect;
  DrawFrameControl(Canvas->Handle(), &face, DFC_SCROLL, state);
}

int32_t TextHeightWrapped(TCanvas* Canvas, UINT Format, int32_t Width, const std::string& Text) {
  RECT box{0, 0, Width, 0};
  DrawTextExA(Canvas->Handle(), Text.c_str(), int(Text.size()), &box, Format | DT_CALCRECT, nullptr);
  return RectHeight(box);
}

void MultiLineTextExtent(TCanvas* Canvas, const std::string& Text, int32_t LineSpacing, int32_t WrapWidth,
                         UINT Format, SIZE& Size) {
  Size = SIZE{0, 0};
  const int32_t lines = CountTokens(Text, "\r\n");
  for (int32_t i = 0; i < lines; ++i) {
    const std::string line = GetToken(Text, "\r\n", i);
    SIZE extent;
    if (WrapWidth > 0) {
      RECT box{0, 0, WrapWidth, 0};
      DrawTextExA(Canvas->Handle(), line.c_str(), int(line.size()), &box, Format | DT_CALCRECT, nullptr);
      extent = SIZE{RectWidth(box), RectHeight(box)};
    } else {
      extent = Canvas->TextExtent(line);
    }
    Size.cx = Max(Size.cx, extent.cx);
    Size.cy += extent.cy + (i > 0 ? LineSpacing : 0);
  }
}
