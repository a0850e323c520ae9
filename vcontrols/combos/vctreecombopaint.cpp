// The tree combo's face: the node's image in front of the text, the text itself where the edit
// does not show it (a fixed list with the focus, unfocused, a grid cell or a copy of one), and
// where the text starts.

#include <algorithm>

#include "platform/db/field.h"
#include "platform/forms/canvas.h"
#include "platform/forms/imagelist.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vctreecombo.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

int TvcCustomTreeCombo::GetLeftIndent() {
  int Indent = TvcCustomCombo::GetLeftIndent();
  if (!ParentIsGrid(this)) ++Indent;
  if (TCustomImageList* Images = FTreeView->Images()) Indent += Images->Width() + 2;
  return Indent;
}

RECT TvcCustomTreeCombo::GetEditRect() {
  RECT Rect = TvcCustomCombo::GetEditRect();
  Rect.right = std::max<LONG>(Rect.right, Rect.left + 10);
  return Rect;
}

bool TvcCustomTreeCombo::IsTextEditable() const {
  return FStyle != csDropDownList || (FPopupPanel && FPopupPanel->Visible()) || FShowMatchText;
}

void TvcCustomTreeCombo::DisableTyping() {
  // Matching text keeps the caret: the typed part shows where it ends.
  if (!FShowMatchText) TvcCustomCombo::DisableTyping();
}

void TvcCustomTreeCombo::PaintText(TCanvas* ACanvas, RECT R, bool Highlight, bool GridCell, const std::string& Text) {
  const TColor SavedBrush = ACanvas->Brush()->Color();
  const TBrushStyle SavedStyle = ACanvas->Brush()->Style();
  ACanvas->SetFont(Font());
  const TColor SavedFont = ACanvas->Font()->Color();
  if (!Enabled()) ACanvas->Font()->SetColor(clGrayText);
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
  const bool InGrid = ParentIsGrid(this);
  const bool Focused = HasFocus();
  const bool FrameOn = FFrame->IsFrameEffective();
  std::string Shown = Text;
  // A bound combo shows the field's text (the node's for a stored DataText).
  if (TField* F = Field(); F && (Copy || (!Focused && FrameOn))) {
    Shown = FStoreKind == tcsText ? F->DisplayText() : F->EditText();
    if (TvcTreeNode* Node = NodeOfStoredValue(F->EditText())) Shown = Node->Text();
  }
  UINT Flags = DT_SINGLELINE | DT_NOPREFIX;
  if (FAlignmentVertical == vcavCenter) Flags |= DT_VCENTER;
  const int Indent = GetLeftIndent();
  const bool Whole = Copy || (InGrid && (!Focused || !Highlight)) ||
                     (FStyle == csDropDownList && Focused && !GetDroppedDown() && !FShowMatchText);
  if (Whole) {
    // The whole text highlighted, as a fixed list shows its choice.
    RECT Area = R;
    if (ShowButton()) Area.right = std::max<LONG>(Area.left, Area.right - GetButtonHostWidth());
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Highlight ? clHighlight : Color());
    if (!IsTransparentEffective()) ACanvas->FillRect(Area);
    if (Highlight && !GridCell) ACanvas->DrawFocusRect(Area);
    ACanvas->Font()->SetColor(Highlight ? clWindow : ACanvas->Font()->Color());
    RECT TextArea{Area.left + Indent + 1, Area.top + GetTopMargin(), Area.right, Area.bottom};
    ACanvas->Brush()->SetStyle(bsClear);
    DrawTextA(ACanvas->Handle(), Shown.c_str(), -1, &TextArea, Flags);
  } else if (!Focused && (FrameOn || Copy)) {
    RECT TextArea{R.left + Indent + 1, R.top + GetTopMargin(), R.right, R.bottom};
    ACanvas->Brush()->SetStyle(bsClear);
    DrawTextA(ACanvas->Handle(), Shown.c_str(), -1, &TextArea, Flags);
  }

  // The node's image in front of the text.
  TCustomImageList* Images = FTreeView->Images();
  const int32_t Image = ImageIndexOfText(Shown);
  if (Images && Image >= 0 && Image < Images->Count()) {
    const int Height = R.bottom - R.top;
    int X = R.left + 1;
    int Y = 0;
    if (FAlignmentVertical == vcavCenter) {
      Y = R.top + 1 + (Height - Images->Height()) / 2;
    } else {
      const int TextHeight = ACanvas->TextHeight("A") + 2;
      Y = R.top + 1 + std::max(-1, (std::max(TextHeight, int(Images->Height())) - Images->Height()) / 2);
    }
    if (FrameOn) {
      const TvcEditFrameEnabledSet Sides = Focused ? FFrame->FocusBorders() : FFrame->NonFocusBorders();
      if (Sides.Contains(vcframe::efLeftBorder)) ++X;
      if (Sides.Contains(vcframe::efTopBorder)) ++Y;
    }
    Images->Draw(ACanvas, X, Y, Image, Enabled());
  }
  if (FrameOn) DrawFrame(ACanvas);
}

void TvcCustomTreeCombo::AfterPaint() {
  if (!HandleAllocated()) return;
  HDC DC = FPaintDC;
  const bool OwnDC = DC == nullptr;
  if (OwnDC) DC = GetDC(HandleIfAllocated());
  TControlCanvas Canvas;
  Canvas.SetControl(this);
  Canvas.SetHandle(DC);
  PaintText(&Canvas, ClientRect(), true, false, Text());
  Canvas.SetHandle(nullptr);
  if (OwnDC) ReleaseDC(HandleIfAllocated(), DC);
}

void TvcCustomTreeCombo::PaintFieldText(TCanvas* ACanvas, RECT Rect, bool Highlight) {
  TField* F = Field();
  PaintText(ACanvas, Rect, Highlight, true, F ? F->EditText() : std::string());
}
