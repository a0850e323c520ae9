// The colour combo's face: where the swatch and the name go, and how they are drawn in each
// state (focused and editing, focused as a fixed list, unfocused, as a grid cell or a copy of
// one).

#include <algorithm>

#include "platform/db/field.h"
#include "platform/forms/canvas.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccolorcombo.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

namespace {

int ListMargin(const TvcColorList* List) {
  return List ? List->ColorMargin() : 2;
}

}  // namespace

// ---- layout ------------------------------------------------------------------------------------

SIZE TvcCustomColorCombo::GetSwatchSize(const RECT& Rect) {
  const int Height = Rect.bottom - Rect.top;
  const int ItemHeight = FColorListOptions->ItemHeight();
  const int M = ListMargin(FColorList);
  const int SwatchHeight = ItemHeight < Height ? ItemHeight - 2 * M : Height - 2 * M;
  const int SwatchWidth = FColorListOptions->ColorWidth() != 0 ? FColorListOptions->ColorWidth() : SwatchHeight;
  return SIZE{SwatchWidth, SwatchHeight};
}

int TvcCustomColorCombo::GetTextLeftOffset(RECT Rect) {
  const bool SwatchRight = FColorAlignment == taRightJustify;
  int Offset = ParentIsGrid(this) && SwatchRight ? 1 : 2;
  const int Width = GetSwatchSize(Rect).cx;
  if (!SwatchRight && Width != 0) Offset += Width + 2;
  return Offset;
}

int TvcCustomColorCombo::GetTextRight() {
  int Right = Width() - 2;
  if (FColorAlignment == taRightJustify) Right -= GetSwatchSize(ClientRect()).cx;
  return Right;
}

void TvcCustomColorCombo::SetEditRect() {
  if (!HandleAllocated()) return;
  FFrameCanvas->SetFont(Font());
  RECT R = GetEditRect();
  const RECT Client = ClientRect();
  R.left += GetTextLeftOffset(Client);
  if (ParentIsGrid(this) && FColorAlignment == taRightJustify) --R.left;
  R.right = GetTextRight() - (ShowButton() ? GetButtonHostWidth() : 0) - ListMargin(FColorList);
  R.right = std::max<LONG>(R.right, R.left + 10);
  SendMessageA(HandleIfAllocated(), EM_SETRECTNP, 0, LPARAM(&R));
}

RECT TvcCustomColorCombo::GetColorTextRect(RECT Rect, bool) {
  const int M = ListMargin(FColorList);
  const bool SwatchRight = FColorAlignment == taRightJustify;
  const int Offset = GetTextLeftOffset(Rect);
  RECT Result{Rect.left + Offset + 1, Rect.top + GetTopMargin(),
              SwatchRight ? Rect.right - 2 * M - GetSwatchSize(Rect).cx : Rect.right - M, Rect.bottom};
  const bool Inspector = ParentIsInspector(this);
  if (FBorderStyle == bsSingle)
    ++Result.top;
  else if (Inspector)
    --Result.top;
  if (!Inspector && FFrame->IsFrameEffective()) {
    int X = 0, Y = 0;
    FFrame->GetOffsets(X, Y, HasFocus());
    Result.left = X + Offset + 1;
    Result.top = Y;
  }
  return Result;
}

// ---- the swatch --------------------------------------------------------------------------------

void TvcCustomColorCombo::DrawSwatch(TCanvas* ACanvas, RECT Rect, bool Highlight, TColor Color) {
  if (Color == vcNoColor) return;
  const SIZE Size = GetSwatchSize(Rect);
  const int M = ListMargin(FColorList);
  RECT S{Rect.left + M, Rect.top + M, Rect.left + M + Size.cx, Rect.top + M + Size.cy};
  if (IsInspectorPaintCopy(this)) ++S.right;
  if (FFrame->IsFrameEffective()) {
    const TvcEditFrameEnabledSet Sides = HasFocus() ? FFrame->FocusBorders() : FFrame->NonFocusBorders();
    if (Sides.Contains(vcframe::efLeftBorder)) OffsetRect(&S, 1, 0);
    if (Sides.Contains(vcframe::efTopBorder)) OffsetRect(&S, 0, 1);
  }
  if (FAlignmentVertical == vcavCenter) {
    const int Gap = (Rect.bottom - Rect.top - Size.cy) / 2;
    S.top = Rect.top + Gap;
    S.bottom = Rect.bottom - Gap;
  }
  const bool Names = FColorListOptions->Options().Contains(ccoShowColorNames);
  const bool SwatchRight = FColorAlignment == taRightJustify;
  if (!Names) {
    S.right = std::min<LONG>(S.left + Size.cx + M, Rect.right - M);
  } else if (SwatchRight) {
    S.left = std::max<LONG>(Rect.right - M - Size.cx, GetTextLeftOffset(Rect) + ACanvas->TextWidth(Text()) + 2 * M);
    S.right = std::min<LONG>(S.left + Size.cx + M, Rect.right - M);
  }
  if (SwatchRight) OffsetRect(&S, -1, 0);

  const TColor SavedPen = ACanvas->Pen()->Color();
  const TColor SavedBrush = ACanvas->Brush()->Color();
  const TBrushStyle SavedStyle = ACanvas->Brush()->Style();
  if (Color == clNone && ParentIsGrid(this) && !HasFocus() && Highlight) {
    ACanvas->Pen()->SetColor(clWhite);
    ACanvas->Brush()->SetColor(clHighlight);
  } else {
    ACanvas->Pen()->SetColor(Highlight && !GetDroppedDown() ? clWhite : clBlack);
    // No colour keeps the background the face already has.
    if (Color != clNone) ACanvas->Brush()->SetColor(Color);
  }
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Rectangle(S);
  if (Color == clNone && Names) {
    ACanvas->MoveTo(S.left, S.top);
    ACanvas->LineTo(S.right, S.bottom);
    ACanvas->MoveTo(S.left, S.bottom - 1);
    ACanvas->LineTo(S.right, S.top - 1);
  }
  ACanvas->Pen()->SetColor(SavedPen);
  ACanvas->Brush()->SetColor(SavedBrush);
  ACanvas->Brush()->SetStyle(SavedStyle);
}

// ---- the face ----------------------------------------------------------------------------------

void TvcCustomColorCombo::PaintText(TCanvas* ACanvas, RECT R, bool Highlight, bool GridCell, const std::string& Text) {
  const TColor SavedBrush = ACanvas->Brush()->Color();
  const TBrushStyle SavedStyle = ACanvas->Brush()->Style();
  ACanvas->SetFont(Font());
  const TColor SavedFont = Font()->Color();
  if (!Enabled() && Color() != clGrayText) ACanvas->Font()->SetColor(clGrayText);
  struct TRestore {
    TCanvas* Canvas;
    TColor Brush, Font;
    TBrushStyle Style;
    ~TRestore() {
      Canvas->Brush()->SetColor(Brush);
      Canvas->Brush()->SetStyle(Style);
      Canvas->Font()->SetColor(Font);
    }
  } Restore{ACanvas, SavedBrush, SavedFont, SavedStyle};

  const bool Copy = FControlState.Contains(csPaintCopy);
  std::string Shown = Text;
  if (Copy && IsIntegerField()) Shown = Field()->IsNull() ? std::string() : ColorName(Field()->AsInteger());
  const int Master = FColorList ? IndexOfName(Shown, FColorList->MasterList()) : -1;

  const bool InGrid = ParentIsGrid(this);
  const bool Focused = HasFocus();
  const bool Dropped = GetDroppedDown();
  const bool ShowsSelected = ((!IsTextEditable() && Focused) || ParentIsFocusedDataGrid(this)) && !Copy;
  const bool SelectionShown = Highlight && (ShowsSelected || !(InGrid || Copy));
  const int M = ListMargin(FColorList);
  const bool Transparent = IsTransparentEffective();
  UINT Flags = DT_SINGLELINE | DT_NOPREFIX;
  if (FAlignmentVertical == vcavCenter) Flags |= DT_VCENTER;

  const bool SelectedLook = Copy || (InGrid && (!Focused || !Highlight)) ||
                            (FStyle == csDropDownList && Focused && !Dropped && !FShowMatchText);
  if (SelectedLook) {
    if (!InGrid) InflateRect(&R, -1, -1);
    ACanvas->Brush()->SetStyle(bsSolid);
    if (!InGrid || !GridCell) ACanvas->Brush()->SetColor(SelectionShown ? clHighlight : Color());
    if (!(Transparent || (InGrid && Copy))) ACanvas->FillRect(R);
    if (Highlight && !GridCell && ShowsSelected) ACanvas->DrawFocusRect(R);
    if (!InGrid || GridCell || !Highlight || ShowsSelected)
      ACanvas->Font()->SetColor(SelectionShown ? clWindow : clWindowText);
    if (!InGrid) InflateRect(&R, 1, 1);
    RECT TextRect = GetColorTextRect(R, Highlight);
    ACanvas->Brush()->SetStyle(bsClear);
    const UINT Align = UnboundAlignment() == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawTextA(ACanvas->Handle(), Shown.c_str(), -1, &TextRect, Flags | Align);
  } else if (Focused || InGrid) {
    // The edit shows the text itself; only the swatch is drawn here.
    if (!InGrid) R.right += M;
  } else {
    const TColor Back = FFrame->Enabled() && FFrame->NonFocusColor() != clNone ? FFrame->NonFocusColor() : Color();
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Back);
    if (!Transparent) ACanvas->FillRect(R);
    R.right += M;
    UINT Align = DT_LEFT;
    if (UnboundAlignment() == taRightJustify) {
      R.right -= 2;
      Align = DT_RIGHT;
    }
    RECT TextRect = GetColorTextRect(R, Highlight);
    if (Transparent && FFrame->NonFocusTransparentFontColor() != clNone)
      ACanvas->Font()->SetColor(FFrame->NonFocusTransparentFontColor());
    ACanvas->Brush()->SetStyle(bsClear);
    DrawTextA(ACanvas->Handle(), Shown.c_str(), -1, &TextRect, Flags | Align);
  }

  if (!GridCell || (!Focused && !ParentIsFocusedDataGrid(this))) Highlight = ShowsSelected;
  std::optional<TColor> Swatch;
  if (Master >= 0) {
    int32_t Value = 0;
    if (TryStrToInt("$" + GetValueAt(FColorList->MasterList(), Master), Value)) Swatch = Value;
  } else if (auto Parsed = ParseRGBText(Shown)) {
    Swatch = *Parsed;
  } else if (Shown.empty()) {
    Swatch = vcNoColor;
  } else if (!InGrid && !Copy) {
    Swatch = FSelectedColor;
  }
  if (Swatch) DrawSwatch(ACanvas, R, Highlight, *Swatch);
  if (FFrame->IsFrameEffective()) DrawFrame(ACanvas);
}

void TvcCustomColorCombo::AfterPaint() {
  if (!HandleAllocated()) return;
  HDC DC = FPaintDC;
  const bool OwnDC = DC == nullptr;
  if (OwnDC) DC = GetDC(HandleIfAllocated());
  TControlCanvas Canvas;
  Canvas.SetControl(this);
  Canvas.SetHandle(DC);
  PaintText(&Canvas, GetTextRect(), true, false, Text());
  Canvas.SetHandle(nullptr);
  if (OwnDC) ReleaseDC(HandleIfAllocated(), DC);
}

void TvcCustomColorCombo::PaintFieldText(TCanvas* ACanvas, RECT Rect, bool Highlight) {
  std::string Shown;
  if (TField* F = Field()) {
    if (IsIntegerField())
      Shown = F->IsNull() ? std::string() : ColorName(F->AsInteger());
    else
      Shown = F->EditText();
  }
  PaintText(ACanvas, Rect, Highlight, true, Shown);
}
