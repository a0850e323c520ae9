// The tree-view window's painting: the background, then each row of the update area, through
// custom draw (commonnotify.h) so that the parent may draw items itself, and the window's own
// drawing of an item otherwise: dotted lines, the expand button, the state image, the image and
// the text with the selection. Also the drag image and the check-box state images.

#include <algorithm>
#include <cstring>

#include "platform/forms/imagelistapi.h"
#include "platform/forms/treeviewstate.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"

namespace treeview {

namespace {

COLORREF Resolve(COLORREF Color, int SystemColor) {
  return Color == TTreeViewState::CLR_NONE_VALUE || Color == TTreeViewState::CLR_DEFAULT_VALUE ? GetSysColor(SystemColor)
                                                                                                : Color;
}

void FillSolid(HDC DC, const RECT& Rect, COLORREF Color) {
  HBRUSH Brush = CreateSolidBrush(Color);
  FillRect(DC, &Rect, Brush);
  DeleteObject(Brush);
}

// One pixel in two, starting on an even sum of the coordinates, so that neighbouring rows'
// segments join into one dotted line.
void DottedVertical(HDC DC, int X, int Top, int Bottom, COLORREF Color) {
  for (int Y = Top; Y < Bottom; ++Y)
    if (((X + Y) & 1) == 0) SetPixelV(DC, X, Y, Color);
}

void DottedHorizontal(HDC DC, int Left, int Right, int Y, COLORREF Color) {
  for (int X = Left; X < Right; ++X)
    if (((X + Y) & 1) == 0) SetPixelV(DC, X, Y, Color);
}

void DrawLines(TTreeViewState& State, HDC DC, TTreeViewItem* Item, const RECT& Row, COLORREF Color) {
  const DWORD Style = StyleOf(State);
  const int Middle = (Row.top + Row.bottom) / 2;
  const bool AtRoot = (Style & TVS_LINESATROOT) != 0;
  // The item's own joint.
  if (Item->Level > 0 || AtRoot) {
    const int X = ItemStart(State, Item) - State.Indent / 2 - 1;
    const bool FirstRoot = Item->Level == 0 && !Item->Prev;
    DottedVertical(DC, X, FirstRoot ? Middle : Row.top, Item->Next ? Row.bottom : Middle + 1, Color);
    DottedHorizontal(DC, X, ItemStart(State, Item), Middle, Color);
  }
  // The lines of the ancestors that go on below this row.
  for (TTreeViewItem* Ancestor = Item->Parent; Ancestor && Ancestor != &State.Root; Ancestor = Ancestor->Parent) {
    if (!Ancestor->Next || (Ancestor->Level == 0 && !AtRoot)) continue;
    const int X = ItemStart(State, Ancestor) - State.Indent / 2 - 1;
    DottedVertical(DC, X, Row.top, Row.bottom, Color);
  }
}

void DrawButton(TTreeViewState& State, HDC DC, TTreeViewItem* Item, const RECT& Row) {
  const int CenterX = ItemStart(State, Item) - State.Indent / 2 - 1;
  const int CenterY = (Row.top + Row.bottom) / 2;
  const RECT Box{CenterX - 4, CenterY - 4, CenterX + 5, CenterY + 5};
  FillSolid(DC, Box, GetSysColor(COLOR_WINDOW));
  HBRUSH Frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  FrameRect(DC, &Box, Frame);
  DeleteObject(Frame);
  const COLORREF Sign = GetSysColor(COLOR_WINDOWTEXT);
  for (int X = CenterX - 2; X <= CenterX + 2; ++X) SetPixelV(DC, X, CenterY, Sign);
  if (!IsExpanded(Item))
    for (int Y = CenterY - 2; Y <= CenterY + 2; ++Y) SetPixelV(DC, CenterX, Y, Sign);
}

void DrawListImage(HIMAGELIST List, int Index, HDC DC, int X, const RECT& Row, UINT Style) {
  int Width = 0, Height = 0;
  if (!List || Index < 0 || Index >= ImageList_GetImageCount(List)) return;
  ImageList_GetIconSize(List, &Width, &Height);
  ImageList_DrawEx(List, Index, DC, X, Row.top + (Row.bottom - Row.top - Height) / 2, 0, 0, CLR_NONE, CLR_DEFAULT,
                   Style | ILD_TRANSPARENT);
}

// The window's own drawing of one item.
void DrawItem(TTreeViewState& State, HDC DC, TTreeViewItem* Item, const RECT& Row, COLORREF Text, COLORREF TextBk,
              UINT ItemState, COLORREF Background) {
  const DWORD Style = StyleOf(State);
  if (Style & TVS_HASLINES) DrawLines(State, DC, Item, Row, Resolve(State.LineColor, COLOR_BTNSHADOW));
  if (ButtonShown(State, Item)) DrawButton(State, DC, Item, Row);
  int X = ItemStart(State, Item);
  if (const int Width = StateImageWidth(State, Item)) {
    DrawListImage(State.StateList, int(STATEIMAGEMASKTOINDEX(Item->State)), DC, X, Row, ILD_NORMAL);
    X += Width;
  }
  if (State.Normal) {
    const bool Selected = (Item->State & TVIS_SELECTED) != 0;
    int Image = ImageOf(State, Item, Selected);
    if (Selected && (Image < 0 || Image >= ImageList_GetImageCount(State.Normal))) Image = ImageOf(State, Item, false);
    const UINT Overlay = (Item->State & TVIS_OVERLAYMASK);
    DrawListImage(State.Normal, Image, DC, X, Row, Overlay | ((ItemState & CDIS_SELECTED) && State.Focused ? ILD_SELECTED : ILD_NORMAL));
    X += ImageWidth(State);
  }
  RECT Label{X, Row.top, X + TextWidth(State, Item), Row.bottom};
  if (Style & TVS_FULLROWSELECT) Label.right = Row.right;
  if (TextBk != Background) FillSolid(DC, Label, TextBk);
  const std::string Caption = TextOf(State, Item);
  RECT TextArea = Label;
  TextArea.left += 2;
  SetTextColor(DC, Text);
  SetBkMode(DC, TRANSPARENT);
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (ItemState & CDIS_FOCUS) DrawFocusRect(DC, &Label);
}

bool Alive(HWND Window, const TTreeViewState* State) { return StateOf(Window) == State; }

LRESULT Notify(TTreeViewState& State, NMTVCUSTOMDRAW& Draw) {
  // The parent draws on our DC; whatever it selects is undone afterwards.
  const int Saved = SaveDC(Draw.nmcd.hdc);
  const LRESULT Result = SendNotify(State, Draw.nmcd.hdr, NM_CUSTOMDRAW);
  RestoreDC(Draw.nmcd.hdc, Saved);
  return Result;
}

}  // namespace

void Paint(TTreeViewState& State, HDC DC, const RECT& Update) {
  HWND Window = State.Window;
  SyncScrollBars(State);
  BuildRows(State);
  const COLORREF Background = Resolve(State.BkColor, COLOR_WINDOW);
  const COLORREF Foreground = Resolve(State.TextColor, COLOR_WINDOWTEXT);
  const int Saved = SaveDC(DC);
  const TScopeExit Restore([DC, Saved] { RestoreDC(DC, Saved); });
  SelectObject(DC, State.Font ? State.Font : GetStockObject(DEFAULT_GUI_FONT));
  FillSolid(DC, Update, Background);

  NMTVCUSTOMDRAW Draw{};
  Draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  Draw.nmcd.hdc = DC;
  Draw.nmcd.rc = Update;
  const LRESULT Answer = Notify(State, Draw);
  if (!Alive(Window, &State)) return;
  BuildRows(State);

  const int Height = ItemHeight(State);
  const int First = State.TopRow + std::max<int>(0, Update.top) / Height;
  const int Last = State.TopRow + std::max<int>(0, Update.bottom - 1) / Height;
  const bool Enabled = IsWindowEnabled(Window);
  const DWORD Style = StyleOf(State);
  // Items are drawn from a copy of the rows: a custom-draw handler may change the tree.
  const std::vector<TTreeViewItem*> Rows(State.Rows.begin() + std::min<size_t>(State.Rows.size(), size_t(First)),
                                         State.Rows.begin() + std::min<size_t>(State.Rows.size(), size_t(Last + 1)));
  for (TTreeViewItem* Item : Rows) {
    if (!State.Items.count(Item)) continue;
    RECT Row{};
    if (!RowRect(State, Item, Row)) continue;
    UINT ItemState = 0;
    const bool Selected = (Item->State & TVIS_SELECTED) != 0;
    if (Selected) ItemState |= CDIS_SELECTED;
    if (Selected && State.Focused) ItemState |= CDIS_FOCUS;
    if (Item == State.Hot) ItemState |= CDIS_HOT;
    if (!Enabled) ItemState |= CDIS_DISABLED;
    COLORREF Text = Foreground, TextBk = Background;
    const bool Hilite = Item == State.DropHilite || (Selected && !State.DropHilite);
    if (Hilite && (State.Focused || Item == State.DropHilite)) {
      Text = GetSysColor(COLOR_HIGHLIGHTTEXT);
      TextBk = GetSysColor(COLOR_HIGHLIGHT);
    } else if (Hilite && (Style & TVS_SHOWSELALWAYS)) {
      TextBk = GetSysColor(COLOR_BTNFACE);
    }
    if (!Enabled) Text = GetSysColor(COLOR_GRAYTEXT);
    LRESULT ItemAnswer = CDRF_DODEFAULT;
    if (Answer & CDRF_NOTIFYITEMDRAW) {
      Draw = NMTVCUSTOMDRAW{};
      Draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      Draw.nmcd.hdc = DC;
      Draw.nmcd.rc = Row;
      Draw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(Item);
      Draw.nmcd.uItemState = ItemState;
      Draw.nmcd.lItemlParam = Item->Param;
      Draw.clrText = Text;
      Draw.clrTextBk = TextBk;
      Draw.iLevel = Item->Level;
      ItemAnswer = Notify(State, Draw);
      if (!Alive(Window, &State)) return;
      if (!State.Items.count(Item)) continue;
      Text = Draw.clrText;
      TextBk = Draw.clrTextBk;
    }
    if (!(ItemAnswer & CDRF_SKIPDEFAULT)) DrawItem(State, DC, Item, Row, Text, TextBk, ItemState, Background);
    if (ItemAnswer & CDRF_NOTIFYPOSTPAINT) {
      Draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
      Draw.nmcd.hdc = DC;
      Draw.nmcd.rc = Row;
      Notify(State, Draw);
      if (!Alive(Window, &State)) return;
    }
  }
  if (Answer & CDRF_NOTIFYPOSTPAINT) {
    Draw = NMTVCUSTOMDRAW{};
    Draw.nmcd.dwDrawStage = CDDS_POSTPAINT;
    Draw.nmcd.hdc = DC;
    Draw.nmcd.rc = Update;
    Notify(State, Draw);
  }
}

HIMAGELIST CreateDragImage(TTreeViewState& State, TTreeViewItem* Item) {
  const int ImageSpace = ImageWidth(State);
  const int Width = std::max(1, ImageSpace + TextWidth(State, Item));
  const int Height = ItemHeight(State);
  const COLORREF Background = Resolve(State.BkColor, COLOR_WINDOW);
  HDC Screen = GetDC(nullptr);
  HDC DC = CreateCompatibleDC(Screen);
  HBITMAP Bitmap = CreateCompatibleBitmap(Screen, Width, Height);
  ReleaseDC(nullptr, Screen);
  HGDIOBJ OldBitmap = SelectObject(DC, Bitmap);
  HGDIOBJ OldFont = SelectObject(DC, State.Font ? State.Font : GetStockObject(DEFAULT_GUI_FONT));
  const RECT All{0, 0, Width, Height};
  FillSolid(DC, All, Background);
  if (State.Normal) DrawListImage(State.Normal, ImageOf(State, Item, false), DC, 0, All, ILD_NORMAL);
  const std::string Caption = TextOf(State, Item);
  RECT TextArea{ImageSpace + 2, 0, Width, Height};
  SetTextColor(DC, Resolve(State.TextColor, COLOR_WINDOWTEXT));
  SetBkMode(DC, TRANSPARENT);
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(DC, OldFont);
  SelectObject(DC, OldBitmap);
  DeleteDC(DC);
  HIMAGELIST List = ImageList_Create(Width, Height, ILC_COLOR24 | ILC_MASK, 1, 1);
  ImageList_AddMasked(List, Bitmap, Background);
  DeleteObject(Bitmap);
  return List;
}

HIMAGELIST CreateCheckBoxList() {
  // Image 0 shows nothing (no state), 1 an empty box, 2 a checked one; magenta is the mask.
  constexpr int Size = 16;
  constexpr COLORREF Key = 0x00FF00FF;
  HDC Screen = GetDC(nullptr);
  HDC DC = CreateCompatibleDC(Screen);
  HBITMAP Bitmap = CreateCompatibleBitmap(Screen, 3 * Size, Size);
  ReleaseDC(nullptr, Screen);
  HGDIOBJ Old = SelectObject(DC, Bitmap);
  FillSolid(DC, RECT{0, 0, 3 * Size, Size}, Key);
  for (int Index = 1; Index <= 2; ++Index) {
    RECT Box{Index * Size + 1, 1, Index * Size + 14, 14};
    DrawFrameControl(DC, &Box, DFC_BUTTON, DFCS_BUTTONCHECK | (Index == 2 ? DFCS_CHECKED : 0));
  }
  SelectObject(DC, Old);
  DeleteDC(DC);
  HIMAGELIST List = ImageList_Create(Size, Size, ILC_COLOR24 | ILC_MASK, 3, 1);
  ImageList_AddMasked(List, Bitmap, Key);
  DeleteObject(Bitmap);
  return List;
}

}  // namespace treeview
