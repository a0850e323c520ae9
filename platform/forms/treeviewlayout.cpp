// The tree-view window's geometry: rows, item rectangles, the hit test and scrolling. The
// numbers are the ones treeviewwindow.h gives; painting and input ask here, so the three agree.

#include <algorithm>

#include "platform/forms/imagelistapi.h"
#include "platform/forms/treeviewstate.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

namespace treeview {

namespace {

int ButtonColumns(const TTreeViewState& State) {
  const DWORD Style = StyleOf(State);
  return (Style & TVS_LINESATROOT) && (Style & (TVS_HASLINES | TVS_HASBUTTONS)) ? 1 : 0;
}

int ListHeight(HIMAGELIST List) {
  int Width = 0, Height = 0;
  return List && ImageList_GetIconSize(List, &Width, &Height) ? Height : 0;
}

int ListWidth(HIMAGELIST List) {
  int Width = 0, Height = 0;
  return List && ImageList_GetIconSize(List, &Width, &Height) ? Width : 0;
}

void ClampScroll(TTreeViewState& State) {
  const int Full = VisibleRowCount(State, false);
  const int MaxTop = std::max(0, int(State.Rows.size()) - std::max(1, Full));
  State.TopRow = std::clamp(State.TopRow, 0, MaxTop);
  const RECT Client = ClientRectOf(State);
  const int MaxX = std::max(0, State.ContentWidth - int(Client.right));
  State.ScrollX = std::clamp(State.ScrollX, 0, MaxX);
}

// The widest row's right edge, unscrolled.
int MeasureContent(TTreeViewState& State) {
  int Widest = 0;
  for (TTreeViewItem* Item : State.Rows) {
    const int Right = ItemStart(State, Item) + State.ScrollX + StateImageWidth(State, Item) + ImageWidth(State) +
                      TextWidth(State, Item);
    Widest = std::max(Widest, Right);
  }
  return Widest;
}

}  // namespace

HDC MeasureDC(TTreeViewState& State) {
  if (!State.MeasureDC) {
    State.MeasureDC = CreateCompatibleDC(nullptr);
    SelectObject(State.MeasureDC, State.Font ? State.Font : GetStockObject(DEFAULT_GUI_FONT));
  }
  return State.MeasureDC;
}

void ForgetMeasurements(TTreeViewState& State) {
  if (State.MeasureDC) {
    DeleteDC(State.MeasureDC);
    State.MeasureDC = nullptr;
  }
  State.TextHeight = -1;
  for (auto& Entry : State.Items) Entry.second->TextWidth = -1;
}

int ItemHeight(TTreeViewState& State) {
  if (State.ExplicitItemHeight > 0) return State.ExplicitItemHeight;
  if (State.TextHeight < 0) {
    TEXTMETRICA Metric{};
    GetTextMetricsA(MeasureDC(State), &Metric);
    State.TextHeight = std::max<int>(Metric.tmHeight, 1);
  }
  int Height = std::max({State.TextHeight + 3, ListHeight(State.Normal), ListHeight(State.StateList)});
  if (!(StyleOf(State) & TVS_NONEVENHEIGHT) && (Height & 1)) ++Height;
  return Height;
}

void MarkRowsDirty(TTreeViewState& State) {
  State.RowsDirty = true;
  State.ScrollBarsDirty = true;
}

void BuildRows(TTreeViewState& State) {
  if (!State.RowsDirty) return;
  State.RowsDirty = false;
  State.Rows.clear();
  for (auto& Entry : State.Items) Entry.second->Row = -1;
  // Depth first; a collapsed item's children are skipped.
  std::vector<TTreeViewItem*> Pending;
  for (TTreeViewItem* Child = State.Root.LastChild; Child; Child = Child->Prev) Pending.push_back(Child);
  while (!Pending.empty()) {
    TTreeViewItem* Item = Pending.back();
    Pending.pop_back();
    Item->Row = int(State.Rows.size());
    State.Rows.push_back(Item);
    if (IsExpanded(Item))
      for (TTreeViewItem* Child = Item->LastChild; Child; Child = Child->Prev) Pending.push_back(Child);
  }
}

RECT ClientRectOf(const TTreeViewState& State) {
  RECT Client{};
  GetClientRect(State.Window, &Client);
  return Client;
}

int VisibleRowCount(TTreeViewState& State, bool Partial) {
  const int Height = ItemHeight(State);
  const int Client = int(ClientRectOf(State).bottom);
  return Client / Height + (Partial && Client % Height ? 1 : 0);
}

int ItemStart(TTreeViewState& State, const TTreeViewItem* Item) {
  return (Item->Level + ButtonColumns(State)) * State.Indent - State.ScrollX;
}

int StateImageWidth(TTreeViewState& State, const TTreeViewItem* Item) {
  return State.StateList && STATEIMAGEMASKTOINDEX(Item->State) > 0 ? ListWidth(State.StateList) : 0;
}

int ImageWidth(TTreeViewState& State) { return State.Normal ? ListWidth(State.Normal) + 1 : 0; }

int TextWidth(TTreeViewState& State, TTreeViewItem* Item) {
  if (Item->TextWidth < 0) {
    const std::string Text = TextOf(State, Item);
    SIZE Size{};
    GetTextExtentPoint32A(MeasureDC(State), Text.c_str(), int(Text.size()), &Size);
    Item->TextWidth = Size.cx + 4;
  }
  return Item->TextWidth;
}

bool RowRect(TTreeViewState& State, TTreeViewItem* Item, RECT& Rect) {
  SyncScrollBars(State);
  BuildRows(State);
  if (Item->Row < 0) return false;
  const int Height = ItemHeight(State);
  const int Top = (Item->Row - State.TopRow) * Height;
  Rect = RECT{0, Top, ClientRectOf(State).right, Top + Height};
  return true;
}

bool TextRect(TTreeViewState& State, TTreeViewItem* Item, RECT& Rect) {
  if (!RowRect(State, Item, Rect)) return false;
  Rect.left = ItemStart(State, Item) + StateImageWidth(State, Item) + ImageWidth(State);
  Rect.right = Rect.left + TextWidth(State, Item);
  return true;
}

bool ButtonShown(TTreeViewState& State, TTreeViewItem* Item) {
  const DWORD Style = StyleOf(State);
  if (!(Style & TVS_HASBUTTONS)) return false;
  if (Item->Level == 0 && !(Style & TVS_LINESATROOT)) return false;
  return HasChildren(State, Item);
}

UINT HitTest(TTreeViewState& State, POINT Point, TTreeViewItem*& Item) {
  Item = nullptr;
  SyncScrollBars(State);
  BuildRows(State);
  const RECT Client = ClientRectOf(State);
  UINT Outside = 0;
  if (Point.y < 0) Outside |= TVHT_ABOVE;
  else if (Point.y >= Client.bottom) Outside |= TVHT_BELOW;
  if (Point.x < 0) Outside |= TVHT_TOLEFT;
  else if (Point.x >= Client.right) Outside |= TVHT_TORIGHT;
  if (Outside) return Outside;
  const int Row = State.TopRow + Point.y / ItemHeight(State);
  if (Row >= int(State.Rows.size())) return TVHT_NOWHERE;
  Item = State.Rows[size_t(Row)];
  int X = ItemStart(State, Item);
  if (Point.x < X - State.Indent) return TVHT_ONITEMINDENT;
  if (Point.x < X) return ButtonShown(State, Item) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
  X += StateImageWidth(State, Item);
  if (Point.x < X) return TVHT_ONITEMSTATEICON;
  X += ImageWidth(State);
  if (Point.x < X) return TVHT_ONITEMICON;
  X += TextWidth(State, Item);
  if (Point.x < X) return TVHT_ONITEMLABEL;
  return TVHT_ONITEMRIGHT;
}

void EnsureVisible(TTreeViewState& State, TTreeViewItem* Item, bool Top) {
  HWND Window = State.Window;
  // Expand the collapsed ancestors, the outermost first.
  std::vector<TTreeViewItem*> Ancestors;
  for (TTreeViewItem* Walk = Item->Parent; Walk && Walk != &State.Root; Walk = Walk->Parent)
    if (!IsExpanded(Walk)) Ancestors.push_back(Walk);
  for (auto It = Ancestors.rbegin(); It != Ancestors.rend(); ++It) {
    Expand(State, *It, TVE_EXPAND, TVC_UNKNOWN);
    if (StateOf(Window) != &State || !State.Items.count(Item)) return;
  }
  SyncScrollBars(State);
  BuildRows(State);
  if (Item->Row < 0) return;
  const int Full = std::max(1, VisibleRowCount(State, false));
  if (Top) SetTopRow(State, Item->Row);
  else if (Item->Row < State.TopRow) SetTopRow(State, Item->Row);
  else if (Item->Row >= State.TopRow + Full) SetTopRow(State, Item->Row - Full + 1);
}

void SetTopRow(TTreeViewState& State, int Row) {
  SyncScrollBars(State);
  BuildRows(State);
  const int Before = State.TopRow;
  State.TopRow = Row;
  ClampScroll(State);
  if (State.TopRow == Before) return;
  SetScrollPos(State.Window, SB_VERT, State.TopRow, TRUE);
  InvalidateAll(State);
}

void SetScrollX(TTreeViewState& State, int X) {
  SyncScrollBars(State);
  const int Before = State.ScrollX;
  State.ScrollX = X;
  ClampScroll(State);
  if (State.ScrollX == Before) return;
  SetScrollPos(State.Window, SB_HORZ, State.ScrollX, TRUE);
  InvalidateAll(State);
}

void UpdateScrollBars(TTreeViewState& State) { State.ScrollBarsDirty = true; }

void SyncScrollBars(TTreeViewState& State) {
  if (!State.ScrollBarsDirty || State.UpdatingScrollBars) return;
  State.UpdatingScrollBars = true;
  State.ScrollBarsDirty = false;
  BuildRows(State);
  const bool NoScroll = (StyleOf(State) & TVS_NOSCROLL) != 0;
  // Showing one bar narrows the client area, which may call for the other: twice settles it.
  for (int Pass = 0; Pass < 2; ++Pass) {
    State.ContentWidth = MeasureContent(State);
    ClampScroll(State);
    const RECT Client = ClientRectOf(State);
    SCROLLINFO Vertical{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    SCROLLINFO Horizontal = Vertical;
    if (!NoScroll) {
      Vertical.nMax = std::max(0, int(State.Rows.size()) - 1);
      Vertical.nPage = UINT(std::max(1, VisibleRowCount(State, false)));
      Vertical.nPos = State.TopRow;
      Horizontal.nMax = std::max(0, State.ContentWidth - 1);
      Horizontal.nPage = UINT(std::max<LONG>(1, Client.right));
      Horizontal.nPos = State.ScrollX;
    }
    SetScrollInfo(State.Window, SB_VERT, &Vertical, TRUE);
    SetScrollInfo(State.Window, SB_HORZ, &Horizontal, TRUE);
  }
  ClampScroll(State);
  State.UpdatingScrollBars = false;
}

void InvalidateItem(TTreeViewState& State, TTreeViewItem* Item) {
  if (!State.Redraw) return;
  BuildRows(State);
  if (Item->Row < 0) return;
  const int Height = ItemHeight(State);
  const int Top = (Item->Row - State.TopRow) * Height;
  RECT Rect{0, Top, ClientRectOf(State).right, Top + Height};
  InvalidateRect(State.Window, &Rect, FALSE);
}

void InvalidateAll(TTreeViewState& State) {
  if (State.Redraw) InvalidateRect(State.Window, nullptr, FALSE);
}

void Scroll(TTreeViewState& State, int Bar, WORD Code, int Track) {
  SyncScrollBars(State);
  const bool Vertical = Bar == SB_VERT;
  const int Page = Vertical ? std::max(1, VisibleRowCount(State, false) - 1) : std::max<int>(8, ClientRectOf(State).right);
  const int Line = Vertical ? 1 : 8;
  const int Current = Vertical ? State.TopRow : State.ScrollX;
  int Target = Current;
  switch (Code) {
    case SB_LINEUP: Target = Current - Line; break;
    case SB_LINEDOWN: Target = Current + Line; break;
    case SB_PAGEUP: Target = Current - Page; break;
    case SB_PAGEDOWN: Target = Current + Page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: Target = Track; break;
    case SB_TOP: Target = 0; break;
    case SB_BOTTOM: Target = 1 << 30; break;
    default: return;
  }
  if (Vertical) SetTopRow(State, Target);
  else SetScrollX(State, Target);
}

}  // namespace treeview
