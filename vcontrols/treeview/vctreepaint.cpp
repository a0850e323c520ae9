// How the tree view paints. The window lays the items out, scrolls and erases; every item is
// drawn here through custom draw (the window's own drawing of an item is always skipped): the
// dotted lines, a flat or 3-D expand button, the check box or radio button, the state image and
// the image, the selection and multi-selection colours, link and hot-track styling, and the text
// through OnDrawText. A paint goes through an off-screen bitmap of the client size and one copy
// of the update rectangle, and nothing is erased while the tree has nodes, so redrawn items do
// not flicker.
//
// The geometry of a row (client coordinates) comes from the node's rectangles:
// - T, the text rectangle (DisplayRect with text only; widened left over the image slot for a
//   node with ImageIndex -2);
// - B, the button rectangle: Indent wide, ending at T's left edge, moved left past the image
//   (its width + 2, then 1 back) and the state image; the image and state image lie between B
//   and T;
// - the button's x: B.left + 1 + min(h / 2 / 2 + 2, 6), h the row height.

#include <algorithm>

#include "platform/forms/brush.h"
#include "platform/forms/font.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/imagelistapi.h"
#include "platform/forms/pen.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vccanvas.h"
#include "vcontrols/treeview/vctreeview.h"

// ---- geometry ------------------------------------------------------------------------------------------------

bool TvcCustomTreeView::ShowsImage(TvcTreeNode* Node) const { return FImages && Node->ImageIndex() != -2; }

int32_t TvcCustomTreeView::StateImageWidth() const { return FStateImages ? FStateImages->Width() : 16; }

bool TvcCustomTreeView::ShowsStateImage(TvcTreeNode* Node) const {
  if (IsMultiSelectCheckbox(Node)) return true;
  const int32_t Index = Node->StateIndex();
  const bool Plain = FStateImages && Index > 0 && Index % 16 != 0 && Index < FStateImages->Count();
  if (Node->CheckboxType() != vccbNone) return Index > 0 || Plain;
  return Plain;
}

RECT TvcCustomTreeView::GetButtonRect(TvcTreeNode* Node) const {
  const RECT Text = Node->DisplayRect(true);
  const int32_t Width = FPaintIndent > 0 ? FPaintIndent : Indent();
  RECT Button{Text.left - Width, Text.top, Text.left, Text.bottom};
  if (ShowsImage(Node)) OffsetRect(&Button, -(FImages->Width() + 2), 0);
  const int32_t State = Node->StateIndex();
  if (ShowsStateImage(Node) || (State > 0 && State % 16 != 0)) OffsetRect(&Button, -StateImageWidth(), 0);
  if (ShowsImage(Node)) OffsetRect(&Button, 1, 0);
  return Button;
}

POINT TvcCustomTreeView::GetRectCenter(const RECT& Rect) {
  const int32_t Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;
  const int32_t Half = Height / 2;
  return POINT{Rect.left + Width / 2, Rect.top + (Half % 2 != 0 ? (Height + 2) / 2 : Half)};
}

int32_t TvcCustomTreeView::GetButtonX(TvcTreeNode* Node) const {
  const RECT Button = GetButtonRect(Node);
  const int32_t Height = Button.bottom - Button.top;
  return Button.left + 1 + std::min(Height / 2 / 2 + 2, 6);
}

// ---- WM_PAINT and custom draw ------------------------------------------------------------------------------

void TvcCustomTreeView::WMEraseBkgnd(TMessage& Message) {
  if (FNoErase) {
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TvcCustomTreeView::WMPaint(TMessage& Message) {
  if (FItems->UpdateCount() > 0 || !HandleAllocated()) {
    DefaultHandler(Message);
    return;
  }
  HWND Window = HandleIfAllocated();
  const RECT Client = ClientRect();
  RECT Update{};
  if (!GetUpdateRect(Window, &Update, FALSE) || IsRectEmpty(&Update)) Update = Client;
  IntersectRect(&Update, &Update, &Client);
  const bool SavedNoErase = FNoErase;
  FNoErase = FItems->Count() > 0;
  const TScopeExit Restore([this, SavedNoErase] { FNoErase = SavedNoErase; });
  if (Message.DC()) {
    DefaultHandler(Message);
    return;
  }
  HDC Screen = GetDC(Window);
  HBITMAP Buffer = CreateCompatibleBitmap(Screen, std::max<LONG>(1, Client.right), std::max<LONG>(1, Client.bottom));
  ReleaseDC(Window, Screen);
  HDC Memory = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Memory, Buffer);
  PAINTSTRUCT Paint{};
  HDC DC = BeginPaint(Window, &Paint);
  const TScopeExit Release([&] {
    EndPaint(Window, &Paint);
    SelectObject(Memory, Old);
    DeleteDC(Memory);
    DeleteObject(Buffer);
  });
  IntersectClipRect(Memory, Update.left, Update.top, Update.right, Update.bottom);
  TMessage Draw{WM_PAINT, reinterpret_cast<WPARAM>(Memory), 0, 0};
  DefaultHandler(Draw);
  if (DC && HandleAllocated())
    BitBlt(DC, Update.left, Update.top, Update.right - Update.left, Update.bottom - Update.top, Memory, Update.left,
           Update.top, SRCCOPY);
}

void TvcCustomTreeView::CustomDraw(TMessage& Message) {
  auto* Draw = reinterpret_cast<NMTVCUSTOMDRAW*>(Message.LParam);
  Message.Result = CDRF_DODEFAULT;
  switch (Draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      FPaintIndent = Indent();
      FCanvas->SetHandle(Draw->nmcd.hdc);
      FCanvas->Font()->Assign(Font());
      FCanvas->Brush()->SetColor(Color());
      BeginPainting();
      Message.Result = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      return;
    case CDDS_ITEMPREPAINT: {
      TvcTreeNode* Node = NodeOfItem(reinterpret_cast<HTREEITEM>(Draw->nmcd.dwItemSpec));
      if (Node) {
        // The window restores its DC after every notification: the tools are selected anew.
        FCanvas->SetHandle(Draw->nmcd.hdc);
        FCanvas->Refresh();
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(Color());
        const RECT Text = Node->DisplayRect(true);
        const TvcItemStates State = TvcItemStates::FromBits(Draw->nmcd.uItemState & 0x1FF);
        PaintItemBackground(Node, Text, State);
        PaintItem(Node, Text, State);
        AfterPaintItem(Node, Text, State);
      }
      Message.Result = CDRF_SKIPDEFAULT | CDRF_NOTIFYPOSTPAINT;
      return;
    }
    case CDDS_POSTPAINT:
      EndPainting();
      FCanvas->SetHandle(nullptr);
      FPaintIndent = 0;
      return;
    default:
      return;
  }
}

void TvcCustomTreeView::BeginPainting() {
  // A state list of one image shows nothing (index 0 is "no state image"): the window gets the
  // blank list instead.
  if (!ComponentState().Contains(csDesigning) && FStateImages && FStateImages->Count() == 1) {
    FStateImages->Clear();
    SetImageList(SharedBlankList(), TVSIL_STATE);
  }
}

// ---- one item ----------------------------------------------------------------------------------------------

void TvcCustomTreeView::SetItemColors(TvcTreeNode* Node, TvcItemStates State) {
  FCanvas->Font()->Assign(Font());
  FCanvas->Brush()->SetColor(Color());
  const bool MultiSelect = FMultiSelectAttributes->Enabled();
  const HTREEITEM Drop =
      HandleAllocated() ? TreeView_GetNextItem(HandleIfAllocated(), nullptr, TVGN_DROPHILITE) : nullptr;
  const bool Highlit =
      (State.Contains(vcisSelected) && (!Drop || Drop == Node->ItemId())) || Drop == Node->ItemId();
  if (Highlit && !MultiSelect) {
    if (Focused()) {
      FCanvas->Brush()->SetColor(clHighlight);
      FCanvas->Font()->SetColor(clHighlightText);
    } else if (!FOptions.Contains(tvoHideSelection)) {
      FCanvas->Brush()->SetColor(FInactiveFocusColor == Color() ? clGray : FInactiveFocusColor);
      FCanvas->Font()->SetColor(Font()->Color());
    }
  } else if (MultiSelect && Node->MultiSelected()) {
    FCanvas->Brush()->SetColor(clHighlight);
    FCanvas->Font()->SetColor(clHighlightText);
  }
}

void TvcCustomTreeView::DrawExpandButton(TvcTreeNode* Node, POINT Center, int32_t Size) {
  if (!FOptions.Contains(tvoShowButtons)) return;
  const TColor SavedBrush = FCanvas->Brush()->Color();
  const int32_t Half = Size / 2;
  RECT Box{Center.x - Half, Center.y - Half, Center.x + Half + 1, Center.y + Half + 1};
  HDC DC = FCanvas->Handle();
  if (FOptions.Contains(tvoExpandButtons3D)) {
    const bool Pushed = FPressedButtonNode == Node && FButtonPushed;
    FCanvas->Brush()->SetColor(clBtnFace);
    FCanvas->FillRect(Box);
    RECT Frame{Box.left, Box.top, Box.right + 1, Box.bottom + 1};
    DrawFrameControl(DC, &Frame, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0));
    if (ColorToRGB(Color()) == ColorToRGB(clWhite)) {
      FCanvas->Pen()->SetColor(clBtnFace);
      FCanvas->Polyline(
          {POINT{Box.left - 1, Box.bottom}, POINT{Box.left - 1, Box.top - 1}, POINT{Box.right + 1, Box.top - 1}});
    }
    if (Pushed) {
      OffsetRect(&Box, 1, 1);
      ++Center.x;
      ++Center.y;
    }
  } else {
    FCanvas->Brush()->SetColor(clWhite);
    FCanvas->FillRect(Box);
    FCanvas->Brush()->SetColor(clBtnShadow);
    FCanvas->FrameRect(Box);
  }
  const int32_t Quarter = Half / 2;
  FCanvas->Pen()->SetColor(clBlack);
  FCanvas->Polyline({POINT{Box.left + Quarter, Center.y}, POINT{Box.right - Quarter, Center.y}});
  if (!Node->Expanded()) FCanvas->Polyline({POINT{Center.x, Box.top + Quarter}, POINT{Center.x, Box.bottom - Quarter}});
  FCanvas->Brush()->SetColor(SavedBrush);
}

void TvcCustomTreeView::DrawLines(TvcTreeNode* Node) {
  if (FOptions.Contains(tvoShowLines)) {
    const RECT Row = Node->DisplayRect(false);
    const int32_t Height = Row.bottom - Row.top;
    FCanvas->Pen()->SetColor(FLineColor);
    for (TvcTreeNode* Ancestor = Node; Ancestor; Ancestor = Ancestor->Parent()) {
      const bool Own = Ancestor == Node;
      if (!Own && !Ancestor->GetNextSibling()) continue;
      const int32_t X = GetButtonX(Ancestor);
      int32_t Top = Row.top, Bottom = Row.bottom;
      if (Own) {
        if (!Node->GetPrevSibling() && !Node->Parent()) Top = GetRectCenter(Row).y;
        if (!Node->GetNextSibling()) Bottom = Row.bottom - (Height / 2 - 1);
      }
      FCanvas->DottedLine(POINT{X, Top}, POINT{X, Bottom});
    }
    if (FOptions.Contains(tvoShowRoot) || Node->Parent()) {
      const RECT Button = GetButtonRect(Node);
      const int32_t Y = GetRectCenter(Button).y;
      int32_t Right = Button.right;
      if ((ShowsStateImage(Node) || FMultiSelectAttributes->Enabled()) && HasCheckbox(Node)) Right -= 2;
      FCanvas->DottedLine(POINT{GetButtonX(Node), Y}, POINT{Right, Y});
    }
  }
  if (Node->HasChildren()) {
    const RECT Button = GetButtonRect(Node);
    DrawExpandButton(Node, POINT{GetButtonX(Node), GetRectCenter(Button).y},
                     std::max<int32_t>((Button.bottom - Button.top) / 2, 8));
  }
}

void TvcCustomTreeView::PaintImages(TvcTreeNode* Node, TvcItemStates State) {
  const RECT Button = GetButtonRect(Node);
  const int32_t RowHeight = Button.bottom - Button.top;
  HDC DC = FCanvas->Handle();
  const bool StateShown = ShowsStateImage(Node);
  if (FImages && Node->ImageIndex() >= 0 && Node->ImageIndex() < FImages->Count()) {
    const int32_t X = Button.right + (StateShown ? StateImageWidth() : 0);
    int32_t Index = Node->ImageIndex();
    if (State.Contains(vcisSelected) && Node->SelectedIndex() >= 0)
      Index = Node->SelectedIndex() < FImages->Count() ? Node->SelectedIndex() : Node->ImageIndex();
    const HTREEITEM Drop =
        HandleAllocated() ? TreeView_GetNextItem(HandleIfAllocated(), nullptr, TVGN_DROPHILITE) : nullptr;
    const bool Highlit = (State.Contains(vcisSelected) && !Drop) || Drop == Node->ItemId();
    UINT Style = Highlit && FImages->BlendColor() != clNone && !IsRowSelect() ? ILD_SELECTED : ILD_NORMAL;
    COLORREF Blend = ColorToImageListColor(FImages->BlendColor());
    if (Node->Cut()) {
      Style = ILD_SELECTED;
      Blend = COLORREF(ColorToRGB(clWhite));
    }
    if (Node->OverlayIndex() >= 0) Style |= INDEXTOOVERLAYMASK((UINT(Node->OverlayIndex()) + 1) & 0x0F);
    const int32_t Y = Button.top + (RowHeight - FImages->Height()) / 2;
    ImageList_DrawEx(FImages->Handle(), Index, DC, X, Y, 0, 0, CLR_DEFAULT, Blend, Style);
  }
  if (!StateShown) return;
  if (!HasCheckbox(Node)) {
    if (FStateImages)
      ImageList_DrawEx(FStateImages->Handle(), Node->StateIndex(), DC, Button.right,
                       Button.top + (RowHeight - FStateImages->Height()) / 2, 0, 0, CLR_DEFAULT, CLR_DEFAULT,
                       ILD_NORMAL);
    return;
  }
  const POINT Center = GetRectCenter(Button);
  const int32_t Half = std::min(RowHeight / 2 / 2 + 2, 6);
  RECT Box{Button.right + 1, Center.y - Half, Button.right + 2 * Half + 2, Center.y + Half + 1};
  UINT Kind = Node->IsRadioGroup() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (FOptions.Contains(tvoFlatCheckBoxes)) Kind |= DFCS_FLAT;
  if (Node->Grayed()) Kind |= DFCS_INACTIVE;
  if (Node->Checked()) Kind |= DFCS_CHECKED;
  DrawFrameControl(DC, &Box, DFC_BUTTON, Kind);
}

void TvcCustomTreeView::PaintItem(TvcTreeNode* Node, RECT Rect, TvcItemStates State) {
  // The window's state image follows StateIndex (the window steps check boxes of its own).
  const UINT Wanted = UINT(Node->StateIndex() < 0 ? 0 : Node->StateIndex()) & 0x0F;
  if (STATEIMAGEMASKTOINDEX(Node->ItemState(TVIS_STATEIMAGEMASK)) != Wanted) Node->SetStateIndex(Node->StateIndex());
  DrawLines(Node);
  if (IsMultiSelectCheckbox(Node) && Node->StateIndex() != 1) Node->SetStateIndex(1);
  SetItemColors(Node, State);
  if (State.Contains(vcisHot) || (FOptions.Contains(tvoAutoURL) && !Node->DataText().empty())) {
    if (!(State.Contains(vcisSelected) && Focused())) FCanvas->Font()->SetColor(clBlue);
    FCanvas->Font()->SetStyle(TFontStyles{fsUnderline});
  }
  CalcNodeAttributes(Node, State);
  FCanvas->SelectTools();
  const std::string Text = GetDisplayText(Node);
  const TFontStyles Styles = FCanvas->Font()->Style();
  if (Styles.Contains(fsBold) || Styles.Contains(fsItalic)) {
    // The window measured the text in the plain font.
    RECT Measure = Rect;
    DrawTextExA(FCanvas->Handle(), Text.c_str(), int(Text.size()), &Measure, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE,
                nullptr);
    Rect.right = Rect.left + (Measure.right - Measure.left) + 4;
  }
  FCanvas->Pen()->SetColor(Color());
  RECT Highlight = Rect;
  if (IsRowSelect()) {
    Highlight.right = Width() - 4;
    const bool Image = ShowsImage(Node), StateImage = ShowsStateImage(Node);
    if (Image) Highlight.left -= FImages->Width();
    if (StateImage) Highlight.left -= StateImageWidth();
    if (Image || StateImage) Highlight.left -= 4;
    if (!FMultiSelectAttributes->Enabled()) ++Highlight.bottom;
  }
  const bool EditingHere = IsEditing() && State.Contains(vcisSelected);
  if (!EditingHere && FCanvas->Brush()->Color() != clNone &&
      (!FMultiSelectAttributes->Enabled() || Node->MultiSelected())) {
    if (State.Contains(vcisFocused)) {
      FCanvas->Rectangle(Highlight);
    } else {
      RECT Fill = Highlight;
      --Fill.bottom;
      FCanvas->FillRect(Fill);
    }
  }
  PaintImages(Node, State);
  InflateRect(&Rect, -1, -1);
  ++Rect.left;
  HDC DC = FCanvas->Handle();
  SetBkMode(DC, TRANSPARENT);
  const TScopeExit Opaque([DC] { SetBkMode(DC, OPAQUE); });
  if (EditingHere) return;
  bool DefaultDrawing = true;
  DoDrawText(Node, Rect, State, DefaultDrawing);
  if (!DefaultDrawing) return;
  RECT Drawn{};
  FCanvas->DrawTextEffects(Text, Rect, Drawn, DT_NOPREFIX | DT_END_ELLIPSIS);
  if (State.Contains(vcisFocused) && Focused() && (!IsRowSelect() || FMultiSelectAttributes->Enabled()))
    FCanvas->DrawFocusRect(Highlight);
}
