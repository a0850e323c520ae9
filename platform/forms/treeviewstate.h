#pragma once
// The inside of the tree-view window (treeviewwindow.h), shared by its files: the item records,
// the state kept beside each window, and the steps the message handlers are made of. Nothing
// outside treeview*.cpp includes this.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/forms/treeviewwindow.h"

class TEdit;

// One item. Children form a doubly linked list under their parent; the window's hidden root
// item holds the root level.
struct TTreeViewItem {
  TTreeViewItem* Parent = nullptr;
  TTreeViewItem* FirstChild = nullptr;
  TTreeViewItem* LastChild = nullptr;
  TTreeViewItem* Next = nullptr;
  TTreeViewItem* Prev = nullptr;
  int ChildCount = 0;

  UINT State = 0;
  std::string Text;
  bool TextCallback = false;
  int Image = 0;
  int SelectedImage = 0;
  // TVIF_CHILDREN: 0, 1 or I_CHILDRENCALLBACK.
  int Children = 0;
  LPARAM Param = 0;
  // The text rectangle's width, -1 until measured (a new text or font forgets it).
  int TextWidth = -1;

  bool Deleting = false;
  // Row among the shown items, -1 while an ancestor is collapsed (valid after BuildRows).
  int Row = -1;
  int Level = 0;
};

struct TTreeViewState {
  HWND Window = nullptr;
  std::unordered_map<TTreeViewItem*, std::unique_ptr<TTreeViewItem>> Items;
  TTreeViewItem Root;

  TTreeViewItem* Selected = nullptr;
  TTreeViewItem* DropHilite = nullptr;
  TTreeViewItem* Hot = nullptr;

  int Indent = 19;
  int ExplicitItemHeight = -1;
  HIMAGELIST Normal = nullptr;
  HIMAGELIST StateList = nullptr;
  // The check-box list TVS_CHECKBOXES makes (owned; the state list until another is set).
  HIMAGELIST CheckList = nullptr;
  COLORREF BkColor = CLR_NONE_VALUE;
  COLORREF TextColor = CLR_NONE_VALUE;
  COLORREF LineColor = CLR_DEFAULT_VALUE;
  HFONT Font = nullptr;
  // A memory DC with the font selected, for measuring; the font's height (-1: not measured).
  HDC MeasureDC = nullptr;
  int TextHeight = -1;
  bool Redraw = true;
  bool Focused = false;

  // Shown items in order (rebuilt when RowsDirty).
  std::vector<TTreeViewItem*> Rows;
  bool RowsDirty = true;
  int TopRow = 0;
  int ScrollX = 0;
  int ContentWidth = 0;
  bool UpdatingScrollBars = false;
  // The scroll bars wait until a paint or a geometry question needs them (SyncScrollBars), so
  // that inserting many items measures them once.
  bool ScrollBarsDirty = true;

  // Label editing.
  TEdit* Edit = nullptr;
  TTreeViewItem* EditItem = nullptr;
  bool EndingEdit = false;
  // A click on the selected item's label waits this long before editing starts.
  TTreeViewItem* PendingEdit = nullptr;

  // Typing to find an item.
  std::string Search;
  uint64_t SearchTick = 0;
  bool SkipChar = false;

  static constexpr COLORREF CLR_NONE_VALUE = 0xFFFFFFFF;
  static constexpr COLORREF CLR_DEFAULT_VALUE = 0xFF000000;
};

namespace treeview {

// The window's state (made on first use, dropped with WM_NCDESTROY); nullptr for a window that
// is not a tree view.
TTreeViewState* StateOf(HWND Window);
TTreeViewState& CreateState(HWND Window);
void DropState(HWND Window);

// A valid item of this window for Handle, or nullptr. TVI_ROOT and nullptr are not items.
TTreeViewItem* ItemOf(TTreeViewState& State, HTREEITEM Handle);
DWORD StyleOf(const TTreeViewState& State);

// ---- the model (treeviewwindow.cpp) ----
// The item's text, asking the parent for a callback text.
std::string TextOf(TTreeViewState& State, TTreeViewItem* Item);
int ImageOf(TTreeViewState& State, TTreeViewItem* Item, bool SelectedImage);
// Whether the item shows an expand button: it has children, or its child count says so.
bool HasChildren(TTreeViewState& State, TTreeViewItem* Item);
bool IsExpanded(const TTreeViewItem* Item);
// Expands (TVE_EXPAND), collapses or toggles with the notifications; FALSE when refused or
// nothing changed.
BOOL Expand(TTreeViewState& State, TTreeViewItem* Item, UINT Code, UINT Action);
// Moves the caret with TVN_SELCHANGING (which may refuse) and TVN_SELCHANGED; Item may be
// nullptr (no selection). TRUE when the selection is Item afterwards.
BOOL SelectCaret(TTreeViewState& State, TTreeViewItem* Item, UINT Action);
void SetDropHilite(TTreeViewState& State, TTreeViewItem* Item);
LRESULT SendNotify(TTreeViewState& State, NMHDR& Header, UINT Code);
// Tree order helpers.
TTreeViewItem* NextInTree(TTreeViewItem* Item, const TTreeViewItem* Root);

// ---- geometry (treeviewlayout.cpp) ----
int ItemHeight(TTreeViewState& State);
void BuildRows(TTreeViewState& State);
void MarkRowsDirty(TTreeViewState& State);
RECT ClientRectOf(const TTreeViewState& State);
int VisibleRowCount(TTreeViewState& State, bool Partial);
// Client x where the item's column of state image, image and text starts.
int ItemStart(TTreeViewState& State, const TTreeViewItem* Item);
int StateImageWidth(TTreeViewState& State, const TTreeViewItem* Item);
int ImageWidth(TTreeViewState& State);
int TextWidth(TTreeViewState& State, TTreeViewItem* Item);
// FALSE when the item is not shown.
bool RowRect(TTreeViewState& State, TTreeViewItem* Item, RECT& Rect);
bool TextRect(TTreeViewState& State, TTreeViewItem* Item, RECT& Rect);
bool ButtonShown(TTreeViewState& State, TTreeViewItem* Item);
UINT HitTest(TTreeViewState& State, POINT Point, TTreeViewItem*& Item);
// Scrolls so that the item is shown (expanding its ancestors when Expand); Top puts it first.
void EnsureVisible(TTreeViewState& State, TTreeViewItem* Item, bool Top);
void SetTopRow(TTreeViewState& State, int Row);
void SetScrollX(TTreeViewState& State, int X);
// Marks the scroll bars for an update; SyncScrollBars makes it.
void UpdateScrollBars(TTreeViewState& State);
void SyncScrollBars(TTreeViewState& State);
// The font changed: every measurement is made again.
void ForgetMeasurements(TTreeViewState& State);
HDC MeasureDC(TTreeViewState& State);
void InvalidateItem(TTreeViewState& State, TTreeViewItem* Item);
void InvalidateAll(TTreeViewState& State);
void Scroll(TTreeViewState& State, int Bar, WORD Code, int Track);

// ---- painting (treeviewpaint.cpp) ----
void Paint(TTreeViewState& State, HDC DC, const RECT& Update);
HIMAGELIST CreateDragImage(TTreeViewState& State, TTreeViewItem* Item);
HIMAGELIST CreateCheckBoxList();

// ---- input (treeviewinput.cpp) ----
void MouseDown(TTreeViewState& State, UINT Message, WPARAM Keys, POINT Point);
void RightMouseDown(TTreeViewState& State, POINT Point);
void MouseMove(TTreeViewState& State, POINT Point);
void KeyDown(TTreeViewState& State, WPARAM Key);
void Char(TTreeViewState& State, WPARAM Code);
void Timer(TTreeViewState& State, UINT_PTR Id);
HWND EditLabel(TTreeViewState& State, TTreeViewItem* Item);
BOOL EndEditLabel(TTreeViewState& State, bool Cancel);

// Timer of the delayed label edit.
constexpr UINT_PTR EditTimerId = 0x7E01;

}  // namespace treeview
