// The tree-view window: its state, the item model and the messages. Geometry lives in
// treeviewlayout.cpp, painting in treeviewpaint.cpp, mouse, keys and label editing in
// treeviewinput.cpp.
//
// Notifications go to the window's parent as it is when they are sent, so a tree moved to
// another parent (a drop-down) tells its new one. A handler may do anything, destroy the window
// included: every step that notifies checks afterwards that the window's state still exists.

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>

#include "platform/forms/edit.h"
#include "platform/forms/imagelistapi.h"
#include "platform/forms/treeviewstate.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace treeview {

namespace {

std::unordered_map<HWND, std::unique_ptr<TTreeViewState>>& States() {
  static std::unordered_map<HWND, std::unique_ptr<TTreeViewState>> Table;
  return Table;
}

bool Alive(HWND Window, const TTreeViewState* State) { return StateOf(Window) == State; }

// The buffer a callback text is asked into: longer than any label a user reads in one row.
constexpr int CallbackTextSize = 4096;

void Unlink(TTreeViewItem* Item) {
  TTreeViewItem* Parent = Item->Parent;
  if (!Parent) return;
  if (Item->Prev) Item->Prev->Next = Item->Next;
  else Parent->FirstChild = Item->Next;
  if (Item->Next) Item->Next->Prev = Item->Prev;
  else Parent->LastChild = Item->Prev;
  Item->Next = Item->Prev = nullptr;
  Item->Parent = nullptr;
  --Parent->ChildCount;
}

// Links Item under Parent after After (nullptr: first).
void LinkAfter(TTreeViewItem* Parent, TTreeViewItem* After, TTreeViewItem* Item) {
  Item->Parent = Parent;
  Item->Prev = After;
  Item->Next = After ? After->Next : Parent->FirstChild;
  if (Item->Next) Item->Next->Prev = Item;
  else Parent->LastChild = Item;
  if (After) After->Next = Item;
  else Parent->FirstChild = Item;
  ++Parent->ChildCount;
}

void SetLevels(TTreeViewItem* Item) {
  Item->Level = Item->Parent ? Item->Parent->Level + 1 : 0;
  for (TTreeViewItem* Child = Item->FirstChild; Child; Child = Child->Next) SetLevels(Child);
}

void FillItem(TTreeViewItem* Item, TVITEMA& Out, UINT Mask) {
  Out.mask = Mask;
  Out.hItem = Item;
  Out.state = Item ? Item->State : 0;
  Out.stateMask = 0xFFFF;
  Out.lParam = Item ? Item->Param : 0;
}

void CollectPostOrder(TTreeViewItem* Item, std::vector<TTreeViewItem*>& Order) {
  for (TTreeViewItem* Child = Item->FirstChild; Child; Child = Child->Next) CollectPostOrder(Child, Order);
  Order.push_back(Item);
}

bool IsInSubtree(const TTreeViewItem* Item, const TTreeViewItem* Top) {
  for (const TTreeViewItem* Walk = Item; Walk; Walk = Walk->Parent)
    if (Walk == Top) return true;
  return false;
}

// Deletes Top and everything below it (Top may be the hidden root: everything), children
// before their parent, each announced with TVN_DELETEITEM.
BOOL DeleteSubtree(TTreeViewState& State, TTreeViewItem* Top) {
  HWND Window = State.Window;
  const bool All = Top == &State.Root;
  if (State.EditItem && IsInSubtree(State.EditItem, Top)) {
    EndEditLabel(State, true);
    if (!Alive(Window, &State)) return FALSE;
  }
  std::vector<TTreeViewItem*> Order;
  if (All) {
    for (TTreeViewItem* Child = State.Root.FirstChild; Child; Child = Child->Next) CollectPostOrder(Child, Order);
  } else {
    CollectPostOrder(Top, Order);
  }
  for (TTreeViewItem* Item : Order) Item->Deleting = true;

  TTreeViewItem* Successor = nullptr;
  if (State.Selected && IsInSubtree(State.Selected, Top)) {
    if (!All) {
      Successor = Top->Next ? Top->Next : Top->Prev;
      if (!Successor && Top->Parent != &State.Root) Successor = Top->Parent;
    }
    State.Selected->State &= ~TVIS_SELECTED;
    State.Selected = nullptr;
  }
  if (State.DropHilite && IsInSubtree(State.DropHilite, Top)) State.DropHilite = nullptr;
  if (State.Hot && IsInSubtree(State.Hot, Top)) State.Hot = nullptr;
  if (State.PendingEdit && IsInSubtree(State.PendingEdit, Top)) State.PendingEdit = nullptr;

  for (TTreeViewItem* Item : Order) {
    if (!State.Items.count(Item)) continue;
    NMTREEVIEWA Note{};
    Note.action = TVC_UNKNOWN;
    FillItem(Item, Note.itemOld, TVIF_HANDLE | TVIF_PARAM);
    SendNotify(State, Note.hdr, TVN_DELETEITEMA);
    if (!Alive(Window, &State)) return FALSE;
    if (!State.Items.count(Item)) continue;
    TTreeViewItem* Parent = Item->Parent;
    Unlink(Item);
    if (Parent && Parent != &State.Root && Parent->ChildCount == 0 && Parent->Children != I_CHILDRENCALLBACK)
      Parent->Children = 0;
    State.Items.erase(Item);
  }
  MarkRowsDirty(State);
  UpdateScrollBars(State);
  InvalidateAll(State);
  if (Successor && State.Items.count(Successor) && !Successor->Deleting) SelectCaret(State, Successor, TVC_UNKNOWN);
  return TRUE;
}

HTREEITEM InsertItem(TTreeViewState& State, const TVINSERTSTRUCTA* Insert) {
  if (!Insert) return nullptr;
  TTreeViewItem* Parent = (!Insert->hParent || Insert->hParent == TVI_ROOT) ? &State.Root : ItemOf(State, Insert->hParent);
  if (!Parent || Parent->Deleting) return nullptr;

  auto Made = std::make_unique<TTreeViewItem>();
  TTreeViewItem* Item = Made.get();
  const TVITEMA& Source = Insert->item;
  if (Source.mask & TVIF_TEXT) {
    if (Source.pszText == LPSTR_TEXTCALLBACKA) Item->TextCallback = true;
    else if (Source.pszText) Item->Text = Source.pszText;
  }
  if (Source.mask & TVIF_IMAGE) Item->Image = Source.iImage;
  if (Source.mask & TVIF_SELECTEDIMAGE) Item->SelectedImage = Source.iSelectedImage;
  if (Source.mask & TVIF_PARAM) Item->Param = Source.lParam;
  if (Source.mask & TVIF_CHILDREN) Item->Children = Source.cChildren;
  // The window keeps the selection, the drop highlight and the focus itself.
  constexpr UINT Kept = TVIS_SELECTED | TVIS_DROPHILITED | TVIS_FOCUSED;
  if (Source.mask & TVIF_STATE) Item->State = Source.state & Source.stateMask & ~Kept;
  if ((StyleOf(State) & TVS_CHECKBOXES) && !((Source.mask & TVIF_STATE) && (Source.stateMask & TVIS_STATEIMAGEMASK)))
    Item->State = (Item->State & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(1);

  TTreeViewItem* After = nullptr;
  const HTREEITEM Where = Insert->hInsertAfter;
  if (Where == TVI_FIRST) {
    After = nullptr;
  } else if (Where == TVI_SORT) {
    const std::string Text = Item->TextCallback ? std::string() : Item->Text;
    After = nullptr;
    for (TTreeViewItem* Sibling = Parent->FirstChild; Sibling; Sibling = Sibling->Next) {
      if (lstrcmpA(TextOf(State, Sibling).c_str(), Text.c_str()) > 0) break;
      After = Sibling;
    }
  } else {
    // TVI_LAST, and a handle that is not a child of the parent: the end of the list.
    After = Parent->LastChild;
    if (TTreeViewItem* Sibling = ItemOf(State, Where); Sibling && Sibling->Parent == Parent) After = Sibling;
  }
  LinkAfter(Parent, After, Item);
  Item->Level = Parent == &State.Root ? 0 : Parent->Level + 1;
  if (Parent != &State.Root && Parent->Children == 0) Parent->Children = 1;
  State.Items.emplace(Item, std::move(Made));
  MarkRowsDirty(State);
  UpdateScrollBars(State);
  if (Parent == &State.Root || IsExpanded(Parent)) InvalidateAll(State);
  else InvalidateItem(State, Parent);
  return Item;
}

BOOL GetItem(TTreeViewState& State, TVITEMA* Out) {
  if (!Out) return FALSE;
  TTreeViewItem* Item = ItemOf(State, Out->hItem);
  if (!Item) return FALSE;
  if (Out->mask & TVIF_TEXT) {
    if (Item->TextCallback) {
      Out->pszText = LPSTR_TEXTCALLBACKA;
    } else if (Out->pszText && Out->cchTextMax > 0) {
      const std::string_view Cut = Utf8TruncateBytes(Item->Text, size_t(Out->cchTextMax - 1));
      std::memcpy(Out->pszText, Cut.data(), Cut.size());
      Out->pszText[Cut.size()] = 0;
    }
  }
  if (Out->mask & TVIF_IMAGE) Out->iImage = Item->Image;
  if (Out->mask & TVIF_SELECTEDIMAGE) Out->iSelectedImage = Item->SelectedImage;
  if (Out->mask & TVIF_PARAM) Out->lParam = Item->Param;
  if (Out->mask & TVIF_STATE) Out->state = Item->State & Out->stateMask;
  if (Out->mask & TVIF_CHILDREN) Out->cChildren = Item->Children;
  return TRUE;
}

BOOL SetItem(TTreeViewState& State, const TVITEMA* In) {
  if (!In) return FALSE;
  TTreeViewItem* Item = ItemOf(State, In->hItem);
  if (!Item) return FALSE;
  bool Layout = false;
  if (In->mask & TVIF_TEXT) {
    if (In->pszText == LPSTR_TEXTCALLBACKA) {
      Item->TextCallback = true;
      Item->Text.clear();
    } else {
      Item->TextCallback = false;
      Item->Text = In->pszText ? In->pszText : "";
    }
    Item->TextWidth = -1;
    Layout = true;
  }
  if (In->mask & TVIF_IMAGE) Item->Image = In->iImage;
  if (In->mask & TVIF_SELECTEDIMAGE) Item->SelectedImage = In->iSelectedImage;
  if (In->mask & TVIF_PARAM) Item->Param = In->lParam;
  if (In->mask & TVIF_CHILDREN) {
    Item->Children = In->cChildren;
    Layout = true;
  }
  if (In->mask & TVIF_STATE) {
    // Expansion goes through TVM_EXPAND so that the rows follow; the other bits are stored as
    // given (a parent may mark several items selected itself).
    const UINT Mask = In->stateMask & ~UINT(TVIS_EXPANDED);
    const UINT Before = Item->State;
    Item->State = (Item->State & ~Mask) | (In->state & Mask);
    if ((In->stateMask & TVIS_EXPANDED) && ((In->state ^ Item->State) & TVIS_EXPANDED)) {
      Item->State ^= TVIS_EXPANDED;
      MarkRowsDirty(State);
      UpdateScrollBars(State);
      InvalidateAll(State);
    }
    if ((Before ^ Item->State) & TVIS_STATEIMAGEMASK) Layout = true;
  }
  if (Layout) {
    State.RowsDirty = true;  // the widths change, not the rows
    UpdateScrollBars(State);
  }
  InvalidateItem(State, Item);
  return TRUE;
}

HTREEITEM GetNextItem(TTreeViewState& State, HTREEITEM Handle, UINT Code) {
  switch (Code) {
    case TVGN_ROOT:
      return State.Root.FirstChild;
    case TVGN_CARET:
      return State.Selected;
    case TVGN_DROPHILITE:
      return State.DropHilite;
    case TVGN_FIRSTVISIBLE:
      BuildRows(State);
      return State.TopRow < int(State.Rows.size()) ? State.Rows[size_t(State.TopRow)] : nullptr;
    case TVGN_LASTVISIBLE:
      BuildRows(State);
      return State.Rows.empty() ? nullptr : State.Rows.back();
    default:
      break;
  }
  if (Code == TVGN_CHILD && (!Handle || Handle == TVI_ROOT)) return State.Root.FirstChild;
  TTreeViewItem* Item = ItemOf(State, Handle);
  if (!Item) return nullptr;
  switch (Code) {
    case TVGN_NEXT: return Item->Next;
    case TVGN_PREVIOUS: return Item->Prev;
    case TVGN_PARENT: return Item->Parent == &State.Root ? nullptr : Item->Parent;
    case TVGN_CHILD: return Item->FirstChild;
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      BuildRows(State);
      if (Item->Row < 0) return nullptr;
      const int Row = Item->Row + (Code == TVGN_NEXTVISIBLE ? 1 : -1);
      return Row >= 0 && Row < int(State.Rows.size()) ? State.Rows[size_t(Row)] : nullptr;
    }
    default:
      return nullptr;
  }
}

void SortChildren(TTreeViewState& State, TTreeViewItem* Parent, bool Recurse,
                  const std::function<bool(TTreeViewItem*, TTreeViewItem*)>& Less) {
  std::vector<TTreeViewItem*> Children;
  for (TTreeViewItem* Child = Parent->FirstChild; Child; Child = Child->Next) Children.push_back(Child);
  std::stable_sort(Children.begin(), Children.end(), Less);
  Parent->FirstChild = Parent->LastChild = nullptr;
  TTreeViewItem* Previous = nullptr;
  for (TTreeViewItem* Child : Children) {
    Child->Prev = Previous;
    Child->Next = nullptr;
    if (Previous) Previous->Next = Child;
    else Parent->FirstChild = Child;
    Previous = Child;
  }
  Parent->LastChild = Previous;
  if (Recurse)
    for (TTreeViewItem* Child : Children)
      if (Child->FirstChild) SortChildren(State, Child, true, Less);
}

BOOL SortByText(TTreeViewState& State, HTREEITEM Handle, bool Recurse) {
  TTreeViewItem* Parent = (!Handle || Handle == TVI_ROOT) ? &State.Root : ItemOf(State, Handle);
  if (!Parent) return FALSE;
  // Texts are read once: a callback text may cost a round trip to the parent.
  std::unordered_map<TTreeViewItem*, std::string> Texts;
  auto TextFor = [&](TTreeViewItem* Item) -> const std::string& {
    auto Found = Texts.find(Item);
    if (Found == Texts.end()) Found = Texts.emplace(Item, TextOf(State, Item)).first;
    return Found->second;
  };
  SortChildren(State, Parent, Recurse, [&](TTreeViewItem* A, TTreeViewItem* B) {
    return lstrcmpA(TextFor(A).c_str(), TextFor(B).c_str()) < 0;
  });
  MarkRowsDirty(State);
  InvalidateAll(State);
  return TRUE;
}

BOOL SortByCallback(TTreeViewState& State, const TVSORTCB* Sort, bool Recurse) {
  if (!Sort || !Sort->lpfnCompare) return FALSE;
  TTreeViewItem* Parent = (!Sort->hParent || Sort->hParent == TVI_ROOT) ? &State.Root : ItemOf(State, Sort->hParent);
  if (!Parent) return FALSE;
  const PFNTVCOMPARE Compare = Sort->lpfnCompare;
  const LPARAM Data = Sort->lParam;
  SortChildren(State, Parent, Recurse,
               [&](TTreeViewItem* A, TTreeViewItem* B) { return Compare(A->Param, B->Param, Data) < 0; });
  MarkRowsDirty(State);
  InvalidateAll(State);
  return TRUE;
}

LRESULT TreeMessage(TTreeViewState& State, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case TVM_INSERTITEMA:
      return reinterpret_cast<LRESULT>(InsertItem(State, reinterpret_cast<const TVINSERTSTRUCTA*>(LParam)));
    case TVM_DELETEITEM: {
      const auto Handle = reinterpret_cast<HTREEITEM>(LParam);
      if (!Handle || Handle == TVI_ROOT) return DeleteSubtree(State, &State.Root);
      TTreeViewItem* Item = ItemOf(State, Handle);
      return Item && !Item->Deleting ? DeleteSubtree(State, Item) : FALSE;
    }
    case TVM_EXPAND: {
      TTreeViewItem* Item = ItemOf(State, reinterpret_cast<HTREEITEM>(LParam));
      return Item ? Expand(State, Item, UINT(WParam), TVC_UNKNOWN) : FALSE;
    }
    case TVM_GETITEMRECT: {
      auto* Rect = reinterpret_cast<RECT*>(LParam);
      if (!Rect) return FALSE;
      HTREEITEM Handle = nullptr;
      std::memcpy(&Handle, Rect, sizeof(Handle));
      TTreeViewItem* Item = ItemOf(State, Handle);
      if (!Item) return FALSE;
      RECT Result{};
      if (!(WParam ? TextRect(State, Item, Result) : RowRect(State, Item, Result))) return FALSE;
      *Rect = Result;
      return TRUE;
    }
    case TVM_GETCOUNT:
      return LRESULT(State.Items.size());
    case TVM_GETINDENT:
      return State.Indent;
    case TVM_SETINDENT:
      State.Indent = std::max(5, int(WParam));
      State.RowsDirty = true;
      UpdateScrollBars(State);
      InvalidateAll(State);
      return 0;
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(WParam == TVSIL_STATE ? State.StateList : State.Normal);
    case TVM_SETIMAGELIST: {
      const auto List = reinterpret_cast<HIMAGELIST>(LParam);
      HIMAGELIST Previous;
      if (WParam == TVSIL_STATE) {
        Previous = State.StateList;
        State.StateList = List;
      } else if (WParam == TVSIL_NORMAL) {
        Previous = State.Normal;
        State.Normal = List;
      } else {
        return 0;
      }
      State.RowsDirty = true;
      UpdateScrollBars(State);
      InvalidateAll(State);
      return reinterpret_cast<LRESULT>(Previous);
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(GetNextItem(State, reinterpret_cast<HTREEITEM>(LParam), UINT(WParam)));
    case TVM_SELECTITEM: {
      const auto Handle = reinterpret_cast<HTREEITEM>(LParam);
      TTreeViewItem* Item = ItemOf(State, Handle);
      if (Handle && !Item) return FALSE;
      switch (WParam) {
        case TVGN_CARET:
          return SelectCaret(State, Item, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          SetDropHilite(State, Item);
          return TRUE;
        case TVGN_FIRSTVISIBLE:
          if (!Item) return FALSE;
          EnsureVisible(State, Item, true);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case TVM_GETITEMA:
      return GetItem(State, reinterpret_cast<TVITEMA*>(LParam));
    case TVM_SETITEMA:
      return SetItem(State, reinterpret_cast<const TVITEMA*>(LParam));
    case TVM_EDITLABELA: {
      TTreeViewItem* Item = ItemOf(State, reinterpret_cast<HTREEITEM>(LParam));
      return Item ? reinterpret_cast<LRESULT>(EditLabel(State, Item)) : 0;
    }
    case TVM_GETEDITCONTROL:
      return reinterpret_cast<LRESULT>(State.Edit ? State.Edit->HandleIfAllocated() : nullptr);
    case TVM_GETVISIBLECOUNT:
      return VisibleRowCount(State, false);
    case TVM_HITTEST: {
      auto* Info = reinterpret_cast<TVHITTESTINFO*>(LParam);
      if (!Info) return 0;
      TTreeViewItem* Item = nullptr;
      Info->flags = HitTest(State, Info->pt, Item);
      Info->hItem = Item;
      return reinterpret_cast<LRESULT>(Item);
    }
    case TVM_CREATEDRAGIMAGE: {
      TTreeViewItem* Item = ItemOf(State, reinterpret_cast<HTREEITEM>(LParam));
      return Item ? reinterpret_cast<LRESULT>(CreateDragImage(State, Item)) : 0;
    }
    case TVM_SORTCHILDREN:
      return SortByText(State, reinterpret_cast<HTREEITEM>(LParam), WParam != 0);
    case TVM_ENSUREVISIBLE: {
      TTreeViewItem* Item = ItemOf(State, reinterpret_cast<HTREEITEM>(LParam));
      if (!Item) return FALSE;
      EnsureVisible(State, Item, false);
      return TRUE;
    }
    case TVM_SORTCHILDRENCB:
      return SortByCallback(State, reinterpret_cast<const TVSORTCB*>(LParam), WParam != 0);
    case TVM_ENDEDITLABELNOW:
      return EndEditLabel(State, WParam != 0);
    case TVM_SETITEMHEIGHT: {
      const int Previous = ItemHeight(State);
      const int Height = int(short(LOWORD(WParam)));
      State.ExplicitItemHeight = Height < 1 ? -1 : Height;
      MarkRowsDirty(State);
      UpdateScrollBars(State);
      InvalidateAll(State);
      return Previous;
    }
    case TVM_GETITEMHEIGHT:
      return ItemHeight(State);
    case TVM_SETBKCOLOR: {
      const COLORREF Previous = State.BkColor;
      State.BkColor = COLORREF(LParam);
      InvalidateAll(State);
      return LRESULT(int32_t(Previous));
    }
    case TVM_GETBKCOLOR:
      return LRESULT(int32_t(State.BkColor));
    case TVM_SETTEXTCOLOR: {
      const COLORREF Previous = State.TextColor;
      State.TextColor = COLORREF(LParam);
      InvalidateAll(State);
      return LRESULT(int32_t(Previous));
    }
    case TVM_GETTEXTCOLOR:
      return LRESULT(int32_t(State.TextColor));
    case TVM_SETLINECOLOR: {
      const COLORREF Previous = State.LineColor;
      State.LineColor = COLORREF(LParam);
      InvalidateAll(State);
      return LRESULT(int32_t(Previous));
    }
    case TVM_GETLINECOLOR:
      return LRESULT(int32_t(State.LineColor));
    case TVM_GETITEMSTATE: {
      TTreeViewItem* Item = ItemOf(State, reinterpret_cast<HTREEITEM>(WParam));
      return Item ? LRESULT(Item->State & UINT(LParam)) : 0;
    }
    default:
      return 0;
  }
}

}  // namespace

TTreeViewState* StateOf(HWND Window) {
  auto Found = States().find(Window);
  return Found == States().end() ? nullptr : Found->second.get();
}

TTreeViewState& CreateState(HWND Window) {
  auto Made = std::make_unique<TTreeViewState>();
  Made->Window = Window;
  Made->Root.State = TVIS_EXPANDED;
  Made->Root.Level = -1;
  TTreeViewState& Result = *Made;
  States()[Window] = std::move(Made);
  if (GetWindowLongA(Window, GWL_STYLE) & TVS_CHECKBOXES) {
    Result.CheckList = CreateCheckBoxList();
    Result.StateList = Result.CheckList;
  }
  return Result;
}

void DropState(HWND Window) {
  auto Found = States().find(Window);
  if (Found == States().end()) return;
  std::unique_ptr<TTreeViewState> State = std::move(Found->second);
  States().erase(Found);
  if (State->Edit) {
    TEdit* Edit = State->Edit;
    State->Edit = nullptr;
    Edit->Free();
  }
  if (State->CheckList) ImageList_Destroy(State->CheckList);
  if (State->MeasureDC) DeleteDC(State->MeasureDC);
}

TTreeViewItem* ItemOf(TTreeViewState& State, HTREEITEM Handle) {
  if (!Handle || Handle == TVI_ROOT) return nullptr;
  auto Found = State.Items.find(Handle);
  return Found == State.Items.end() ? nullptr : Found->second.get();
}

DWORD StyleOf(const TTreeViewState& State) { return DWORD(GetWindowLongA(State.Window, GWL_STYLE)); }

LRESULT SendNotify(TTreeViewState& State, NMHDR& Header, UINT Code) {
  HWND Parent = GetParent(State.Window);
  if (!Parent) return 0;
  Header.hwndFrom = State.Window;
  Header.idFrom = UINT_PTR(GetWindowLongPtrA(State.Window, GWL_ID));
  Header.code = Code;
  return SendMessageA(Parent, WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
}

std::string TextOf(TTreeViewState& State, TTreeViewItem* Item) {
  if (!Item->TextCallback) return Item->Text;
  std::vector<char> Buffer(CallbackTextSize, 0);
  NMTVDISPINFOA Note{};
  FillItem(Item, Note.item, TVIF_TEXT);
  Note.item.pszText = Buffer.data();
  Note.item.cchTextMax = CallbackTextSize;
  SendNotify(State, Note.hdr, TVN_GETDISPINFOA);
  if (!Note.item.pszText || Note.item.pszText == LPSTR_TEXTCALLBACKA) return std::string();
  // The parent may point at text of its own instead of filling the buffer.
  if (Note.item.pszText != Buffer.data()) return std::string(Note.item.pszText);
  return std::string(Buffer.data(), strnlen(Buffer.data(), Buffer.size()));
}

int ImageOf(TTreeViewState& State, TTreeViewItem* Item, bool SelectedImage) {
  const int Stored = SelectedImage ? Item->SelectedImage : Item->Image;
  if (Stored != I_IMAGECALLBACK) return Stored;
  NMTVDISPINFOA Note{};
  FillItem(Item, Note.item, SelectedImage ? TVIF_SELECTEDIMAGE : TVIF_IMAGE);
  Note.item.iImage = Note.item.iSelectedImage = I_IMAGENONE;
  SendNotify(State, Note.hdr, TVN_GETDISPINFOA);
  return SelectedImage ? Note.item.iSelectedImage : Note.item.iImage;
}

bool HasChildren(TTreeViewState& State, TTreeViewItem* Item) {
  if (Item->FirstChild) return true;
  if (Item->Children != I_CHILDRENCALLBACK) return Item->Children > 0;
  NMTVDISPINFOA Note{};
  FillItem(Item, Note.item, TVIF_CHILDREN);
  SendNotify(State, Note.hdr, TVN_GETDISPINFOA);
  return Note.item.cChildren > 0;
}

bool IsExpanded(const TTreeViewItem* Item) { return (Item->State & TVIS_EXPANDED) != 0; }

TTreeViewItem* NextInTree(TTreeViewItem* Item, const TTreeViewItem* Root) {
  if (Item->FirstChild) return Item->FirstChild;
  for (TTreeViewItem* Walk = Item; Walk && Walk != Root; Walk = Walk->Parent)
    if (Walk->Next) return Walk->Next;
  return nullptr;
}

BOOL Expand(TTreeViewState& State, TTreeViewItem* Item, UINT Code, UINT Action) {
  HWND Window = State.Window;
  UINT Kind = Code & 0x0003;
  if (Kind == TVE_TOGGLE) Kind = IsExpanded(Item) ? TVE_COLLAPSE : TVE_EXPAND;
  if (Kind != TVE_EXPAND && Kind != TVE_COLLAPSE) return FALSE;
  const bool Expanding = Kind == TVE_EXPAND;
  if (Expanding && (IsExpanded(Item) || !HasChildren(State, Item))) return FALSE;
  if (!Expanding && !IsExpanded(Item)) {
    if (!(Code & TVE_COLLAPSERESET)) return FALSE;
  } else {
    NMTREEVIEWA Note{};
    Note.action = Kind;
    FillItem(Item, Note.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
    if (SendNotify(State, Note.hdr, TVN_ITEMEXPANDINGA)) return FALSE;
    if (!Alive(Window, &State) || !State.Items.count(Item)) return FALSE;
    if (Expanding) Item->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    else Item->State &= ~TVIS_EXPANDED;
    // A collapse that hides the selection moves it to the collapsed item.
    if (!Expanding && State.Selected && State.Selected != Item && IsInSubtree(State.Selected, Item)) {
      SelectCaret(State, Item, Action);
      if (!Alive(Window, &State) || !State.Items.count(Item)) return FALSE;
    }
    MarkRowsDirty(State);
    UpdateScrollBars(State);
    InvalidateAll(State);
    Note = NMTREEVIEWA{};
    Note.action = Kind;
    FillItem(Item, Note.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
    SendNotify(State, Note.hdr, TVN_ITEMEXPANDEDA);
    if (!Alive(Window, &State)) return FALSE;
  }
  if ((Code & TVE_COLLAPSERESET) && State.Items.count(Item)) {
    Item->State &= ~TVIS_EXPANDEDONCE;
    while (Item->FirstChild && Alive(Window, &State)) DeleteSubtree(State, Item->FirstChild);
  }
  return TRUE;
}

BOOL SelectCaret(TTreeViewState& State, TTreeViewItem* Item, UINT Action) {
  HWND Window = State.Window;
  TTreeViewItem* Old = State.Selected;
  if (Old == Item) {
    if (Item) EnsureVisible(State, Item, false);
    return TRUE;
  }
  NMTREEVIEWA Note{};
  Note.action = Action;
  FillItem(Old, Note.itemOld, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  FillItem(Item, Note.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  if (SendNotify(State, Note.hdr, TVN_SELCHANGINGA)) return FALSE;
  if (!Alive(Window, &State)) return FALSE;
  if (Item && !State.Items.count(Item)) return FALSE;
  if (Old && !State.Items.count(Old)) Old = nullptr;
  if (Old) {
    Old->State &= ~TVIS_SELECTED;
    InvalidateItem(State, Old);
  }
  State.Selected = Item;
  if (Item) {
    Item->State |= TVIS_SELECTED;
    EnsureVisible(State, Item, false);
    InvalidateItem(State, Item);
  }
  Note = NMTREEVIEWA{};
  Note.action = Action;
  FillItem(Old, Note.itemOld, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  FillItem(Item, Note.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  SendNotify(State, Note.hdr, TVN_SELCHANGEDA);
  return Alive(Window, &State) && State.Selected == Item;
}

void SetDropHilite(TTreeViewState& State, TTreeViewItem* Item) {
  if (State.DropHilite == Item) return;
  if (State.DropHilite) {
    State.DropHilite->State &= ~TVIS_DROPHILITED;
    InvalidateItem(State, State.DropHilite);
  }
  State.DropHilite = Item;
  if (Item) {
    Item->State |= TVIS_DROPHILITED;
    InvalidateItem(State, Item);
  }
}

}  // namespace treeview

using namespace treeview;

LRESULT TreeViewWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TTreeViewState* State = StateOf(Window);
  if (!State) {
    if (Message == WM_NCDESTROY) return DefWindowProcA(Window, Message, WParam, LParam);
    State = &CreateState(Window);
  }
  if (Message >= TV_FIRST && Message <= TVM_GETLINECOLOR) return TreeMessage(*State, Message, WParam, LParam);
  switch (Message) {
    case WM_DESTROY:
      DeleteSubtree(*State, &State->Root);
      break;
    case WM_NCDESTROY:
      if (GetCapture() == Window) ReleaseCapture();
      DropState(Window);
      return DefWindowProcA(Window, Message, WParam, LParam);
    case WM_SETFONT:
      State->Font = reinterpret_cast<HFONT>(WParam);
      ForgetMeasurements(*State);
      MarkRowsDirty(*State);
      UpdateScrollBars(*State);
      if (LParam) InvalidateAll(*State);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(State->Font);
    case WM_SETREDRAW:
      State->Redraw = WParam != 0;
      if (State->Redraw) {
        UpdateScrollBars(*State);
        InvalidateAll(*State);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills every pixel of its area, background first
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (WParam) {
        RECT Update = ClientRectOf(*State);
        RECT Clip{};
        if (GetClipBox(reinterpret_cast<HDC>(WParam), &Clip) != NULLREGION) IntersectRect(&Update, &Update, &Clip);
        Paint(*State, reinterpret_cast<HDC>(WParam), Update);
        return 0;
      }
      PAINTSTRUCT Info{};
      HDC DC = BeginPaint(Window, &Info);
      if (DC) Paint(*State, DC, Info.rcPaint);
      EndPaint(Window, &Info);
      return 0;
    }
    case WM_SIZE:
      if (!State->UpdatingScrollBars) {
        UpdateScrollBars(*State);
        InvalidateAll(*State);
      }
      break;
    case WM_STYLECHANGED:
      if (WParam == WPARAM(GWL_STYLE)) {
        const auto* Change = reinterpret_cast<const STYLESTRUCT*>(LParam);
        if (Change && ((Change->styleNew ^ Change->styleOld) & TVS_CHECKBOXES) && (Change->styleNew & TVS_CHECKBOXES) &&
            !State->CheckList) {
          State->CheckList = CreateCheckBoxList();
          if (!State->StateList) State->StateList = State->CheckList;
        }
        MarkRowsDirty(*State);
        UpdateScrollBars(*State);
        InvalidateAll(*State);
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      State->Focused = Message == WM_SETFOCUS;
      if (State->Selected) InvalidateItem(*State, State->Selected);
      NMHDR Note{};
      SendNotify(*State, Note, State->Focused ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_ENABLE:
      InvalidateAll(*State);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDown(*State, Message, WParam, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_RBUTTONDOWN:
      RightMouseDown(*State, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(*State, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_MOUSELEAVE:
      if (State->Hot) {
        InvalidateItem(*State, State->Hot);
        State->Hot = nullptr;
      }
      return 0;
    case WM_KEYDOWN:
      KeyDown(*State, WParam);
      return 0;
    case WM_CHAR:
      Char(*State, WParam);
      return 0;
    case WM_TIMER:
      Timer(*State, UINT_PTR(WParam));
      return 0;
    case WM_VSCROLL:
      Scroll(*State, SB_VERT, LOWORD(WParam), int(short(HIWORD(WParam))));
      return 0;
    case WM_HSCROLL:
      Scroll(*State, SB_HORZ, LOWORD(WParam), int(short(HIWORD(WParam))));
      return 0;
    case WM_MOUSEWHEEL: {
      const int Lines = -GET_WHEEL_DELTA_WPARAM(WParam) / WHEEL_DELTA * 3;
      SetTopRow(*State, State->TopRow + Lines);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      InvalidateAll(*State);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

void InitTreeViewClass() {
  static std::once_flag Registered;
  std::call_once(Registered, [] {
    WNDCLASSA Class{};
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = TreeViewWindowProc;
    Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Class.lpszClassName = WC_TREEVIEWA;
    RegisterClassA(&Class);
  });
}

HTREEITEM TreeView_InsertItem(HWND Window, const TVINSERTSTRUCTA* Insert) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(Window, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(Insert)));
}

BOOL TreeView_DeleteItem(HWND Window, HTREEITEM Item) {
  return BOOL(SendMessageA(Window, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item)));
}

BOOL TreeView_Expand(HWND Window, HTREEITEM Item, UINT Code) {
  return BOOL(SendMessageA(Window, TVM_EXPAND, Code, reinterpret_cast<LPARAM>(Item)));
}

HTREEITEM TreeView_GetNextItem(HWND Window, HTREEITEM Item, UINT Code) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(Window, TVM_GETNEXTITEM, Code, reinterpret_cast<LPARAM>(Item)));
}

BOOL TreeView_SelectItem(HWND Window, HTREEITEM Item) {
  return BOOL(SendMessageA(Window, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item)));
}

BOOL TreeView_GetItem(HWND Window, TVITEMA* Item) {
  return BOOL(SendMessageA(Window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(Item)));
}

BOOL TreeView_SetItem(HWND Window, const TVITEMA* Item) {
  return BOOL(SendMessageA(Window, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(Item)));
}

BOOL TreeView_GetItemRect(HWND Window, HTREEITEM Item, RECT* Rect, BOOL TextOnly) {
  if (!Rect) return FALSE;
  std::memcpy(Rect, &Item, sizeof(Item));
  return BOOL(SendMessageA(Window, TVM_GETITEMRECT, WPARAM(TextOnly), reinterpret_cast<LPARAM>(Rect)));
}

HTREEITEM TreeView_HitTest(HWND Window, TVHITTESTINFO* Info) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(Window, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(Info)));
}

UINT TreeView_GetItemState(HWND Window, HTREEITEM Item, UINT Mask) {
  return UINT(SendMessageA(Window, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(Item), LPARAM(Mask)));
}

UINT TreeView_GetCount(HWND Window) { return UINT(SendMessageA(Window, TVM_GETCOUNT, 0, 0)); }
