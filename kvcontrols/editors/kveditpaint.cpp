// The window styles, formatting rectangle and own painting of the bound edit.
//
// While the edit is not being edited and its text is not plain left-aligned text in a plain
// border (right or centred alignment, an effective frame, a copy painted for a grid cell), the
// edit draws the text itself: the window's own painting only knows left-aligned text. Once it has
// the focus the window paints again, so the caret and selection are the window's.

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/db/datalink.h"
#include "platform/db/field.h"
#include "platform/forms/controlcanvas.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace {

bool IsBoxOrSingle(TkvEditFocusStyle Style) {
  return Style == efsFrameBox || Style == efsFrameSingle;
}

// Inside a library grid that draws row lines, the text sits one pixel lower.
bool DBGridDrawsRowLines(const TControl* Control) {
  const TWinControl* Grid = Control->Parent();
  return kvHasOptionByName(Grid, "dgRowLines") || !kvHasOptionByName(Grid, "dgRowLinesDisableFixed");
}

}  // namespace

// ---- the window ----------------------------------------------------------------------------

void TkvDBCustomEdit::CreateParams(TCreateParams& Params) {
  TkvCustomMaskEdit::CreateParams(Params);
  if (FFrame->Enabled()) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font()->Handle());
  const RECT Room{0, 0, std::max(1, Width() - GetButtonWidth()), Height() - GetButtonWidth()};
  const bool OneLine = kvIsOneLineHigh(DC, Room, 0);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  if (OneLine) {
    if (FWordWrap) Params.Style |= ES_AUTOHSCROLL;
    if (PasswordChar() && (BorderStyle() == bsNone || FFrame->Enabled())) Params.Style &= ~ES_MULTILINE;
  }
  if (FEditAlignment == eaRightAlignEditing || BiDiMode() == bdRightToLeft)
    Params.ExStyle |= WS_EX_RIGHT;
  else
    Params.ExStyle &= ~WS_EX_RIGHT;
  if (FFrame->IsTransparentInEffect() && FFrame->CreateTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TkvDBCustomEdit::CreateWnd() {
  TkvCustomMaskEdit::CreateWnd();
  if (BorderStyle() == bsNone && AutoSize() && !kvParentIsGrid(this)) FFrame->AdjustHeight();
  SetEditRect();
  // A transparent edit needs its parent to paint beneath it.
  if (FFrame->IsTransparentInEffect() && Parent()) kvClearClipChildren(Parent());
}

void TkvDBCustomEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT Rect{0, 0, ClientWidth() - 1, ClientHeight() + 1};
  const bool Bordered = BorderStyle() != bsNone;
  if (!Bordered && kvParentIsGrid(this)) {
    Rect.left = 2;
    Rect.top = (kvParentIsDBGrid(this) && DBGridDrawsRowLines(this)) ? 1 : 2;
  } else if (FFrame->Enabled()) {
    FFrame->GetEditRect(Rect);
  } else if (Bordered) {
    Rect.left = 0;
    Rect.top = 0;
  } else {
    Rect.left = 1;
    Rect.top = 1;
  }
  Perform(EM_SETRECTNP, 0, LPARAM(&Rect));
}

void TkvDBCustomEdit::GetTextRect(RECT& Rect) const {
  Rect = ClientRect();
  if (GetButtonWidth() > 0 && GetShowButton())
    Rect.right -= GetButtonWidth() + (FFrame->Transparent() ? 1 : 0);
}

TControlCanvas* TkvDBCustomEdit::PaintCanvas() {
  if (!FPaintCanvas) {
    FPaintCanvas = std::make_unique<TControlCanvas>();
    FPaintCanvas->SetControl(this);
  }
  return FPaintCanvas.get();
}

void TkvDBCustomEdit::PaintFrame(TCanvas* Canvas) {
  kvPaintEditFrame(this, FFrame.get(), Canvas, FFocused);
}

void TkvDBCustomEdit::PaintText(TCanvas* Canvas, const RECT& Rect, const std::string& Text, int X, int Y) {
  Canvas->TextRect(Rect, X, Y, Text);
}

// ---- own painting --------------------------------------------------------------------------

bool TkvDBCustomEdit::PaintsItself() const {
  if (FControlState.Contains(csPaintCopy) || !HasEditableText()) return true;
  if (kvParentIsDBGrid(this) && Parent()->Focused()) return true;
  return !FFocused && (GetEffectiveAlignment() != taLeftJustify || FFrame->IsFrameEffective());
}

void TkvDBCustomEdit::TextMargins(int& Left, int& Top) const {
  const bool InGrid = kvParentIsGrid(this);
  const bool InDBGrid = kvParentIsDBGrid(this);
  if (kvParentIsInspector(this))
    Top = 1;
  else if (InDBGrid && (Parent()->Focused() || FFocused))
    Top = BorderStyle() != bsNone ? 3 : 2;
  else if (InGrid)
    Top = (InDBGrid && DBGridDrawsRowLines(this)) ? 2 : 1;
  else
    Top = 1;
  if (InGrid) {
    Left = 2;
  } else if (FFrame->IsFrameEffective()) {
    FFrame->GetTextOffsets(Left, Top, FFocused);
  } else {
    Left = Top + 1;
  }
}

void TkvDBCustomEdit::PaintSelf(TMessage& Message) {
  PAINTSTRUCT Paint{};
  HDC DC = Message.DC();
  const bool OwnPaint = DC == nullptr;
  if (OwnPaint) DC = BeginPaint(FHandle, &Paint);
  if (!DC) return;
  TControlCanvas* Canvas = PaintCanvas();
  Canvas->Lock();
  try {
    Canvas->SetHandle(DC);
    Canvas->UpdateTextFlags();
    Canvas->SetFont(Font());
    const bool Copy = FControlState.Contains(csPaintCopy);
    const bool InGrid = kvParentIsGrid(this);
    const bool GridFocused = kvParentIsDBGrid(this) && Parent()->Focused();
    const bool Effective = FFrame->IsFrameEffective();
    const bool TransparentNow = FFrame->IsTransparentInEffect();
    TField* F = Field();

    if (!Enabled() && Font()->Color() != clGrayText)
      Canvas->Font()->SetColor(clGrayText);
    else if (Copy)
      Canvas->Font()->SetColor(TColor(GetTextColor(DC)));
    else if (InGrid)
      Canvas->Font()->SetColor(Parent()->Font()->Color());

    RECT Client = ClientRect();
    RECT Inner = Client;
    if (BorderStyle() != bsNone && (!Ctl3D() || (kvParentIsDBGrid(this) && !Copy))) {
      Canvas->Brush()->SetColor(clWindowFrame);
      Canvas->FrameRect(Client);
      InflateRect(&Inner, -1, -1);
    }
    Canvas->Brush()->SetColor(Color());
    Canvas->Brush()->SetStyle(bsSolid);
    if (!TransparentNow && !Copy) Canvas->FillRect(Inner);
    if (FFrame->Enabled() && FFrame->NonFocusColor() != clNone && !FFocused) {
      Canvas->Brush()->SetColor(FFrame->NonFocusColor());
      Canvas->FillRect(Client);
    }

    RECT TextRect = Client;
    if (GetShowButton() && !Copy) GetTextRect(TextRect);
    InflateRect(&TextRect, -1, -1);

    std::string Shown;
    if (Copy && F) {
      std::string Display;
      if (IsMemoField())
        Shown = F->AsString();
      else if (GetDisplayText(F->AsString(), Display))
        Shown = Display;
      else
        Shown = F->DisplayText();
    } else {
      Shown = IsMemoField() && F ? F->AsString() : EditText();
    }
    if (PasswordChar()) {
      std::string Hidden;
      for (size_t Count = Utf8Length(Shown); Count > 0; --Count) Utf8Append(Hidden, PasswordChar());
      Shown = Hidden;
    }

    const bool Highlight = !Copy && ((FFocused && !HasEditableText() && !IsDroppedDown()) || GridFocused);
    if (Highlight) {
      Canvas->Brush()->SetColor(clHighlight);
      Canvas->Font()->SetColor(clHighlightText);
    }
    if (!FFocused) {
      if (TransparentNow && FFrame->NonFocusTransparentFontColor() != clNone)
        Canvas->Font()->SetColor(FFrame->NonFocusTransparentFontColor());
      else if (FFrame->Enabled() && FFrame->NonFocusFontColor() != clNone)
        Canvas->Font()->SetColor(FFrame->NonFocusFontColor());
    }

    int Left = 0, Top = 0;
    TextMargins(Left, Top);
    const TAlignment Alignment = GetEffectiveAlignment();
    // Right-aligned text ends at the button (or the client's right edge), clear of the margin.
    if (Alignment == taRightJustify) {
      int Right = TextRect.right;
      if (GetShowButton()) Right = GetTextRight() - (FFrame->Transparent() ? 1 : 0);
      if (Copy && InGrid) Right = Client.right;
      Right -= Top + 1;
      if (Effective) Right -= FFrame->NonFocusTextOffsetX();
      TextRect.right = std::min<LONG>(TextRect.right, Right + 2);
    }
    if (Copy && !InGrid) Left -= 1;
    Left -= 1;
    Top -= 1;
    if (InGrid) TextRect.bottom = Client.bottom;
    if (Effective && FFocused) {
      const int Shrink = IsBoxOrSingle(FFrame->FocusStyle()) ? 1 : 2;
      InflateRect(&TextRect, -Shrink, -Shrink);
      Left = 1;
      Top = 0;
    }

    if (IsOwnerDrawn()) {
      PaintText(Canvas, TextRect, Shown, TextRect.left + Left, TextRect.top + Top);
    } else {
      uint32_t Options = 0;
      if (FWordWrap) Options |= kvdtWordBreak;
      if (Copy || (TransparentNow && !FFocused) ||
          (!Highlight && FFrame->Enabled() && !FFocused && FFrame->NonFocusColor() != clNone))
        Options |= kvdtNoFill;
      kvDrawAlignedText(Canvas, TextRect, std::max(0, Left), std::max(0, Top), Shown, int(Alignment),
                        Options);
    }

    if (Effective) PaintFrame(Canvas);
    if (Highlight) {
      RECT Focus;
      GetTextRect(Focus);
      if (BorderStyle() != bsNone) {
        Focus.top += 1;
        Focus.bottom -= 1;
        Focus.left += 1;
      }
      if (!InGrid && !(Effective && FFocused)) Focus.right -= 1;
      Canvas->Brush()->SetColor(clHighlight);
      Canvas->FrameRect(Focus);
      SetTextColor(DC, COLORREF(ColorToRGB(clHighlightText)));
      SetBkColor(DC, COLORREF(ColorToRGB(clHighlight)));
      Canvas->DrawFocusRect(Focus);
    }
    Canvas->SetHandle(nullptr);
  } catch (...) {
    Canvas->SetHandle(nullptr);
    Canvas->Unlock();
    if (OwnPaint) EndPaint(FHandle, &Paint);
    throw;
  }
  Canvas->Unlock();
  if (OwnPaint) EndPaint(FHandle, &Paint);
}

// ---- the mouse-over frame ------------------------------------------------------------------

void TkvDBCustomEdit::DoMouseEnter() {
  try {
    if (OnMouseEnter) OnMouseEnter(this);
  } catch (...) {
    return;  // a failing handler ends the step without a message
  }
  if (FFrame->IsFrameEffective() && FFrame->MouseEnterSameAsFocus() && !FFocused && HandleAllocated()) {
    TControlCanvas* Canvas = PaintCanvas();
    kvPaintEditFrame(this, FFrame.get(), Canvas, true);
    Canvas->FreeHandle();
  }
}

void TkvDBCustomEdit::DoMouseLeave() {
  try {
    if (OnMouseLeave) OnMouseLeave(this);
  } catch (...) {
    return;
  }
  if (FFrame->IsFrameEffective() && FFrame->MouseEnterSameAsFocus() && !FFocused && HandleAllocated()) {
    TControlCanvas* Canvas = PaintCanvas();
    kvPaintEditFrame(this, FFrame.get(), Canvas, false);
    Canvas->FreeHandle();
    if (FFrame->IsTransparentInEffect()) FFrame->SetCreateTransparent(true);
    RecreateWnd();
  }
}
