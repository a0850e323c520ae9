// Tree nodes and the node collection: values, the window item's states, navigation, adding,
// moving, sorting and deleting. Streaming lives in vctreestream.cpp.

#include "vcontrols/treeview/vctreenode.h"

#include <cstring>

#include "platform/forms/imagelist.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vctreeview.h"

KORCAM_REGISTER_CLASS(TvcTreeNode)
KORCAM_REGISTER_CLASS(TvcTreeNodes)

namespace {

// The comparison a sort hands the window: the two items' application values are their nodes.
struct TSortContext {
  TvcCustomTreeView* View;
  TvcTVCompare Compare;
  int32_t Data;
};

int CompareThroughContext(LPARAM Param1, LPARAM Param2, LPARAM Context) {
  const auto* Sort = reinterpret_cast<const TSortContext*>(Context);
  auto* Node1 = reinterpret_cast<TvcTreeNode*>(Param1);
  auto* Node2 = reinterpret_cast<TvcTreeNode*>(Param2);
  if (!Node1 || !Node2) return 0;
  if (Sort->Compare) return Sort->Compare(Node1, Node2, Sort->Data);
  return Sort->View->CompareNodes(Node1, Node2, Sort->Data);
}

bool SortChildren(TvcCustomTreeView* View, HTREEITEM Parent, TvcTVCompare Compare, int32_t Data, bool Recurse) {
  if (!View || !View->HandleAllocated()) return false;
  TSortContext Context{View, Compare, Data};
  TVSORTCB Sort{Parent, CompareThroughContext, reinterpret_cast<LPARAM>(&Context)};
  const bool Done =
      SendMessageA(View->HandleIfAllocated(), TVM_SORTCHILDRENCB, Recurse, reinterpret_cast<LPARAM>(&Sort)) != 0;
  View->Items()->ClearCache();
  return Done;
}

}  // namespace

// ---- TvcNodeRecord ---------------------------------------------------------------------------------

int32_t TvcNodeRecord::Int(int Offset) const {
  uint32_t Value = 0;
  for (int Byte = 3; Byte >= 0; --Byte) Value = (Value << 8) | Bytes[Offset + Byte];
  return int32_t(Value);
}

void TvcNodeRecord::SetInt(int Offset, int32_t Value) {
  const auto Bits = uint32_t(Value);
  for (int Byte = 0; Byte < 4; ++Byte) Bytes[Offset + Byte] = uint8_t(Bits >> (8 * Byte));
}

// ---- TvcTreeNode -----------------------------------------------------------------------------------

TvcTreeNode::TvcTreeNode(TvcTreeNodes* AOwner) : FOwner(AOwner) {}

TvcTreeNode::~TvcTreeNode() {
  if (!FDeleting) Teardown();
}

void TvcTreeNode::BeforeDestruction() {
  Teardown();
  TPersistent::BeforeDestruction();
}

void TvcTreeNode::Teardown() {
  if (FDeleting) return;
  FDeleting = true;
  if (FOwner) {
    if (FOwner->FCacheNode == this) FOwner->ClearCache();
    if (TvcCustomTreeView* View = TreeView()) {
      View->NodeGone(this);
      // The last child leaves: its parent shows no button any more.
      TvcTreeNode* ParentNode = Parent();
      if (ParentNode && !ParentNode->Deleting() && ParentNode->Count() == 1) {
        SetExpanded(false);
        ParentNode->SetHasChildren(false);
      }
      if (FItemId && View->HandleAllocated()) {
        const HTREEITEM Item = FItemId;
        TreeView_DeleteItem(View->HandleIfAllocated(), Item);
      }
    }
  }
  FItemId = nullptr;
  FData = 0;
}

TvcCustomTreeView* TvcTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

HWND TvcTreeNode::Handle() const {
  TvcCustomTreeView* View = TreeView();
  return View ? View->HandleIfAllocated() : nullptr;
}

int32_t TvcTreeNode::StreamVersion() const {
  TvcCustomTreeView* View = TreeView();
  return View ? View->StreamVersion() : 1;
}

UINT TvcTreeNode::ItemState(UINT Mask) const {
  HWND Window = Handle();
  if (!Window || !FItemId) return 0;
  return TreeView_GetItemState(Window, FItemId, Mask);
}

void TvcTreeNode::SetItemState(UINT Mask, bool Value) {
  HWND Window = Handle();
  if (!Window || !FItemId) return;
  TVITEMA Item{};
  Item.mask = TVIF_STATE | TVIF_HANDLE;
  Item.hItem = FItemId;
  Item.stateMask = Mask;
  Item.state = Value ? Mask : 0;
  TreeView_SetItem(Window, &Item);
}

// ---- values ----------------------------------------------------------------------------------------

void TvcTreeNode::SetText(const std::string& Value) {
  TvcCustomTreeView* View = TreeView();
  if (View && View->NodeChangeHook) View->NodeChangeHook(View, this, TValue(Value), 2);
  FText = Value;
  if (HWND Window = Handle(); Window && FItemId) {
    TVITEMA Item{};
    Item.mask = TVIF_TEXT | TVIF_HANDLE;
    Item.hItem = FItemId;
    Item.pszText = LPSTR_TEXTCALLBACKA;
    TreeView_SetItem(Window, &Item);
  }
  if (View && (View->SortType() == vcstText || View->SortType() == vcstBoth) && FInTree) SortSiblings();
}

void TvcTreeNode::SetData(int32_t Value) {
  FData = Value;
  TvcCustomTreeView* View = TreeView();
  if (View && (View->SortType() == vcstData || View->SortType() == vcstBoth) && View->OnCompare && !FDeleting &&
      FInTree)
    SortSiblings();
}

void TvcTreeNode::SetImageIndex(int32_t Value) {
  TvcCustomTreeView* View = TreeView();
  if (View && View->NodeChangeHook) View->NodeChangeHook(View, this, TValue(int64_t(Value)), 3);
  FImageIndex = Value;
  if (HWND Window = Handle(); Window && FItemId) {
    TVITEMA Item{};
    Item.mask = TVIF_IMAGE | TVIF_HANDLE;
    Item.hItem = FItemId;
    Item.iImage = I_IMAGECALLBACK;
    TreeView_SetItem(Window, &Item);
  }
}

void TvcTreeNode::SetSelectedIndex(int32_t Value) {
  FSelectedIndex = Value;
  if (HWND Window = Handle(); Window && FItemId) {
    TVITEMA Item{};
    Item.mask = TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    Item.hItem = FItemId;
    Item.iSelectedImage = I_IMAGECALLBACK;
    TreeView_SetItem(Window, &Item);
  }
}

void TvcTreeNode::SetOverlayIndex(int32_t Value) {
  FOverlayIndex = Value;
  if (HWND Window = Handle(); Window && FItemId) {
    TVITEMA Item{};
    Item.mask = TVIF_STATE | TVIF_HANDLE;
    Item.hItem = FItemId;
    Item.stateMask = TVIS_OVERLAYMASK;
    Item.state = ((UINT(Value) + 1) << 8) & TVIS_OVERLAYMASK;
    TreeView_SetItem(Window, &Item);
  }
}

void TvcTreeNode::SetStateIndex(int32_t Value) {
  if (Value == 0) Value = -1;
  if (FCheckboxType == vccbCheckbox && Value != -1 && Value != 1) return;
  FStateIndex = Value;
  if (HWND Window = Handle(); Window && FItemId) {
    TVITEMA Item{};
    Item.mask = TVIF_STATE | TVIF_HANDLE;
    Item.hItem = FItemId;
    Item.stateMask = TVIS_STATEIMAGEMASK;
    Item.state = INDEXTOSTATEIMAGEMASK(UINT(Value < 0 ? 0 : Value) & 0x0F);
    TreeView_SetItem(Window, &Item);
  }
}

void TvcTreeNode::SetCheckboxType(TvcCheckboxType Value) {
  if (Value == FCheckboxType) return;
  FCheckboxType = Value;
  SetStateIndex(Value == vccbNone ? -1 : 1);
}

void TvcTreeNode::SetChecked(bool Value) {
  if (Value == FChecked) return;
  TvcCustomTreeView* View = TreeView();
  if (IsRadioGroup()) {
    // Unchecking a radio button only stores it: a group is unchecked by checking another.
    if (!Value) {
      FChecked = false;
      return;
    }
    TvcTreeNode* Sibling = Parent() ? Parent()->GetFirstChild() : (FOwner ? FOwner->GetFirstNode() : nullptr);
    for (; Sibling; Sibling = Sibling->GetNextSibling()) {
      if (Sibling == this || !Sibling->FChecked) continue;
      Sibling->SetChecked(false);
      Sibling->Invalidate();
    }
    FChecked = true;
  } else {
    FChecked = Value;
    if (View && View->IsMultiSelectCheckbox(this)) SetMultiSelected(Value);
  }
  Invalidate();
  if (View) View->ToggleCheckbox(this);
}

void TvcTreeNode::SetGrayed(bool Value) {
  if (Value == FGrayed) return;
  FGrayed = Value;
  if (IsRadioGroup()) {
    TvcTreeNode* Sibling = Parent() ? Parent()->GetFirstChild() : (FOwner ? FOwner->GetFirstNode() : nullptr);
    for (; Sibling; Sibling = Sibling->GetNextSibling()) {
      if (Sibling == this) continue;
      Sibling->FGrayed = Value;
      Sibling->Invalidate();
    }
  }
  Invalidate();
}

void TvcTreeNode::SetMultiSelected(bool Value) {
  if (Value == FMultiSelected) return;
  if (TvcCustomTreeView* View = TreeView()) View->MultiSelectNode(this, Value, true);
}

// ---- the window item's states ------------------------------------------------------------------------

bool TvcTreeNode::Expanded() const { return ItemState(TVIS_EXPANDED) != 0; }
void TvcTreeNode::SetExpanded(bool Value) {
  if (Value) Expand(false);
  else Collapse(false);
}

bool TvcTreeNode::Selected() const { return ItemState(TVIS_SELECTED) != 0; }
void TvcTreeNode::SetSelected(bool Value) {
  HWND Window = Handle();
  if (!Window || !FItemId) return;
  if (Value) TreeView_SelectItem(Window, FItemId);
  else if (TreeView_GetNextItem(Window, nullptr, TVGN_CARET) == FItemId) TreeView_SelectItem(Window, nullptr);
}

bool TvcTreeNode::Focused() const { return ItemState(TVIS_FOCUSED) != 0; }
void TvcTreeNode::SetFocused(bool Value) { SetItemState(TVIS_FOCUSED, Value); }

bool TvcTreeNode::DropTarget() const { return ItemState(TVIS_DROPHILITED) != 0; }
void TvcTreeNode::SetDropTarget(bool Value) {
  HWND Window = Handle();
  if (!Window || !FItemId) return;
  if (Value) SendMessageA(Window, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(FItemId));
  else if (TreeView_GetNextItem(Window, nullptr, TVGN_DROPHILITE) == FItemId)
    SendMessageA(Window, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

bool TvcTreeNode::Cut() const { return ItemState(TVIS_CUT) != 0; }
void TvcTreeNode::SetCut(bool Value) { SetItemState(TVIS_CUT, Value); }

bool TvcTreeNode::HasChildren() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return false;
  TVITEMA Item{};
  Item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  Item.hItem = FItemId;
  return TreeView_GetItem(Window, &Item) && Item.cChildren > 0;
}

void TvcTreeNode::SetHasChildren(bool Value) {
  HWND Window = Handle();
  if (!Window || !FItemId) return;
  TVITEMA Item{};
  Item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  Item.hItem = FItemId;
  Item.cChildren = Value ? 1 : 0;
  TreeView_SetItem(Window, &Item);
}

// ---- place and navigation ------------------------------------------------------------------------------

TvcTreeNode* TvcTreeNode::Parent() const {
  HWND Window = Handle();
  if (!Window || !FItemId || !FOwner) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Window, FItemId, TVGN_PARENT));
}

int32_t TvcTreeNode::Level() const {
  int32_t Result = 0;
  for (TvcTreeNode* Walk = Parent(); Walk; Walk = Walk->Parent()) ++Result;
  return Result;
}

int32_t TvcTreeNode::Index() const {
  int32_t Result = 0;
  for (TvcTreeNode* Walk = GetPrevSibling(); Walk; Walk = Walk->GetPrevSibling()) ++Result;
  return Result;
}

int32_t TvcTreeNode::AbsoluteIndex() const {
  if (FOwner && FOwner->FCacheNode == this) return FOwner->FCacheIndex;
  if (!FItemId) return -1;
  int32_t Result = 0;
  for (TvcTreeNode* Walk = GetPrev(); Walk; Walk = Walk->GetPrev()) ++Result;
  return Result;
}

int32_t TvcTreeNode::Count() const {
  int32_t Result = 0;
  for (TvcTreeNode* Walk = GetFirstChild(); Walk; Walk = Walk->GetNextSibling()) ++Result;
  return Result;
}

TvcTreeNode* TvcTreeNode::Item(int32_t Index) const {
  TvcTreeNode* Result = Index >= 0 ? GetFirstChild() : nullptr;
  for (int32_t Step = 0; Result && Step < Index; ++Step) Result = Result->GetNextSibling();
  if (!Result) throw ETreeViewError(Format("List index out of bounds (%d)", Index));
  return Result;
}

bool TvcTreeNode::IsVisible() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return false;
  RECT Rect{};
  return TreeView_GetItemRect(Window, FItemId, &Rect, TRUE) != FALSE;
}

TvcTreeNode* TvcTreeNode::GetFirstChild() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Window, FItemId, TVGN_CHILD));
}

TvcTreeNode* TvcTreeNode::GetLastChild() const {
  TvcTreeNode* Result = GetFirstChild();
  for (TvcTreeNode* Next = Result ? Result->GetNextSibling() : nullptr; Next; Next = Next->GetNextSibling())
    Result = Next;
  return Result;
}

TvcTreeNode* TvcTreeNode::GetNextSibling() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Window, FItemId, TVGN_NEXT));
}

TvcTreeNode* TvcTreeNode::GetPrevSibling() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Window, FItemId, TVGN_PREVIOUS));
}

TvcTreeNode* TvcTreeNode::GetNextChild(TvcTreeNode* Value) const { return Value ? Value->GetNextSibling() : nullptr; }

TvcTreeNode* TvcTreeNode::GetNext() const {
  if (TvcTreeNode* Child = GetFirstChild()) return Child;
  for (const TvcTreeNode* Walk = this; Walk; Walk = Walk->Parent())
    if (TvcTreeNode* Sibling = Walk->GetNextSibling()) return Sibling;
  return nullptr;
}

TvcTreeNode* TvcTreeNode::GetPrev() const {
  TvcTreeNode* Result = GetPrevSibling();
  if (!Result) return Parent();
  for (TvcTreeNode* Last = Result->GetLastChild(); Last; Last = Result->GetLastChild()) Result = Last;
  return Result;
}

TvcTreeNode* TvcTreeNode::GetNextVisible() const {
  if (!IsVisible()) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Handle(), FItemId, TVGN_NEXTVISIBLE));
}

TvcTreeNode* TvcTreeNode::GetPrevVisible() const {
  HWND Window = Handle();
  if (!Window || !FItemId) return nullptr;
  return FOwner->GetNode(TreeView_GetNextItem(Window, FItemId, TVGN_PREVIOUSVISIBLE));
}

int32_t TvcTreeNode::IndexOf(TvcTreeNode* Value) const {
  int32_t Result = 0;
  for (TvcTreeNode* Walk = GetFirstChild(); Walk; Walk = Walk->GetNextSibling(), ++Result)
    if (Walk == Value) return Result;
  return -1;
}

bool TvcTreeNode::HasAsParent(TvcTreeNode* Value) const {
  if (!Value) return true;
  for (TvcTreeNode* Walk = Parent(); Walk; Walk = Walk->Parent())
    if (Walk == Value) return true;
  return false;
}

// ---- actions -------------------------------------------------------------------------------------------

void TvcTreeNode::Expand(bool Recursive) {
  if (Recursive) {
    // The node and its descendants one by one, in tree order.
    for (TvcTreeNode* Walk = this; Walk && (Walk == this || Walk->HasAsParent(this)); Walk = Walk->GetNext())
      Walk->Expand(false);
    return;
  }
  TvcCustomTreeView* View = TreeView();
  if (!View || !FItemId) return;
  const bool Saved = View->ManualNotify();
  View->SetManualNotify(true);
  const TScopeExit Restore([View, Saved] { View->SetManualNotify(Saved); });
  if (!HasChildren() || !View->CanExpand(this)) return;
  View->Expand(this);
  if (FItemId) TreeView_Expand(View->HandleIfAllocated(), FItemId, TVE_EXPAND);
}

void TvcTreeNode::Collapse(bool Recursive) {
  if (Recursive) {
    for (TvcTreeNode* Walk = this; Walk && (Walk == this || Walk->HasAsParent(this)); Walk = Walk->GetNext())
      Walk->Collapse(false);
    return;
  }
  TvcCustomTreeView* View = TreeView();
  if (!View || !FItemId) return;
  const bool Saved = View->ManualNotify();
  View->SetManualNotify(true);
  const TScopeExit Restore([View, Saved] { View->SetManualNotify(Saved); });
  if (!HasChildren() || !View->CanCollapse(this)) return;
  View->Collapse(this);
  if (FItemId) TreeView_Expand(View->HandleIfAllocated(), FItemId, TVE_COLLAPSE);
}

void TvcTreeNode::MakeVisible() {
  if (HWND Window = Handle(); Window && FItemId)
    SendMessageA(Window, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
}

void TvcTreeNode::EndEdit(bool Cancel) {
  if (HWND Window = Handle()) SendMessageA(Window, TVM_ENDEDITLABELNOW, Cancel, 0);
}

RECT TvcTreeNode::DisplayRect(bool TextOnly) const {
  RECT Result{};
  HWND Window = Handle();
  if (!Window || !FItemId || !TreeView_GetItemRect(Window, FItemId, &Result, TextOnly)) return RECT{};
  // A node without an image puts its text where the image would be.
  TvcCustomTreeView* View = TreeView();
  if (TextOnly && View && View->Images() && FImageIndex == -2) Result.left -= View->Images()->Width() + 1;
  return Result;
}

bool TvcTreeNode::AlphaSort() { return CustomSort(nullptr, 0); }

bool TvcTreeNode::CustomSort(TvcTVCompare Compare, int32_t Data) {
  return FItemId && SortChildren(TreeView(), FItemId, Compare, Data, false);
}

void TvcTreeNode::SortSiblings() {
  if (TvcTreeNode* ParentNode = Parent()) ParentNode->AlphaSort();
  else if (TvcCustomTreeView* View = TreeView()) View->AlphaSort();
}

void TvcTreeNode::Delete() {
  if (!FDeleting) Free();
}

void TvcTreeNode::Invalidate() {
  HWND Window = Handle();
  if (!Window || !FItemId) return;
  RECT Rect{};
  if (TreeView_GetItemRect(Window, FItemId, &Rect, FALSE)) InvalidateRect(Window, &Rect, FALSE);
}

int32_t TvcTreeNode::RecordSize() const { return vcNodeRecordSize; }

std::string TvcTreeNode::GetViewText() const {
  TvcCustomTreeView* View = TreeView();
  return View ? View->Text() : std::string();
}

void TvcTreeNode::Assign(TPersistent* Source) {
  auto* Node = dynamic_cast<TvcTreeNode*>(Source);
  if (!Node) {
    TPersistent::Assign(Source);
    return;
  }
  // Read everything first: a node may be assigned to itself (MoveTo re-applies its fields).
  const std::string SourceText = Node->Text(), SourceDataText = Node->DataText(), SourceDataText2 = Node->DataText2();
  const int32_t SourceData = Node->Data(), SourceImage = Node->ImageIndex(), SourceSelected = Node->SelectedIndex(),
                SourceState = Node->StateIndex(), SourceOverlay = Node->OverlayIndex();
  const TvcCheckboxType SourceKind = Node->CheckboxType();
  const bool SourceFocused = Node->Focused(), SourceDrop = Node->DropTarget(), SourceCut = Node->Cut(),
             SourceChildren = Node->HasChildren(), SourceChecked = Node->Checked();
  SetText(SourceText);
  SetData(SourceData);
  SetCheckboxType(SourceKind);
  SetDataText(SourceDataText);
  SetDataText2(SourceDataText2);
  SetImageIndex(SourceImage);
  SetSelectedIndex(SourceSelected);
  SetStateIndex(SourceState);
  SetOverlayIndex(SourceOverlay);
  SetFocused(SourceFocused);
  SetDropTarget(SourceDrop);
  SetCut(SourceCut);
  SetHasChildren(SourceChildren);
  SetChecked(SourceChecked);
}

void TvcTreeNode::InternalMove(TvcTreeNode* ParentNode, HTREEITEM After) {
  HWND Window = Handle();
  const bool HadChildren = HasChildren();
  const bool WasSelected = Selected();
  if (TvcTreeNode* OldParent = Parent(); OldParent && OldParent->Count() == 1) {
    OldParent->SetExpanded(false);
    OldParent->SetHasChildren(false);
  }
  const HTREEITEM Old = FItemId;
  // The old item lets go of the node, so that its deletion frees nothing.
  TVITEMA Release{};
  Release.mask = TVIF_PARAM | TVIF_HANDLE;
  Release.hItem = Old;
  Release.lParam = 0;
  TreeView_SetItem(Window, &Release);
  FItemId = FOwner->InsertItem(ParentNode ? ParentNode->ItemId() : TVI_ROOT, After, this);
  // The children, last first, each as the first child of the new item: their order stays.
  std::vector<TvcTreeNode*> Children;
  for (HTREEITEM Child = TreeView_GetNextItem(Window, Old, TVGN_CHILD); Child;
       Child = TreeView_GetNextItem(Window, Child, TVGN_NEXT))
    if (TvcTreeNode* ChildNode = FOwner->GetNode(Child)) Children.push_back(ChildNode);
  for (auto It = Children.rbegin(); It != Children.rend(); ++It) (*It)->InternalMove(this, TVI_FIRST);
  TreeView_DeleteItem(Window, Old);
  Assign(this);
  SetHasChildren(HadChildren);
  if (WasSelected) SetSelected(true);
}

void TvcTreeNode::MoveTo(TvcTreeNode* Destination, TvcNodeAttachMode Mode) {
  TvcCustomTreeView* View = TreeView();
  if (!View || !FItemId) return;
  const TvcTVChangingEvent SavedChanging = View->OnChanging;
  const TvcTVChangedEvent SavedChange = View->OnChange;
  View->OnChanging = nullptr;
  View->OnChange = nullptr;
  const TScopeExit Restore([this, View, SavedChanging, SavedChange] {
    View->OnChanging = SavedChanging;
    View->OnChange = SavedChange;
    Invalidate();
  });
  if (Destination && Destination->HasAsParent(this)) return;
  const bool ChildMode = Mode == vcnaAddChild || Mode == vcnaAddChildFirst;
  // A node cannot become its own child.
  if (Destination == this && ChildMode) return;
  if (Mode == vcnaInsert && Destination && Destination->GetPrevSibling() == this) return;

  TvcTreeNode* NewParent = nullptr;
  HTREEITEM After = TVI_LAST;
  switch (Mode) {
    case vcnaAdd:
      NewParent = Destination ? Destination->Parent() : nullptr;
      break;
    case vcnaAddFirst:
      NewParent = Destination ? Destination->Parent() : nullptr;
      After = TVI_FIRST;
      break;
    case vcnaAddChild:
      NewParent = Destination;
      break;
    case vcnaAddChildFirst:
      NewParent = Destination;
      After = TVI_FIRST;
      break;
    case vcnaInsert:
      NewParent = Destination ? Destination->Parent() : nullptr;
      if (Destination) {
        TvcTreeNode* Previous = Destination->GetPrevSibling();
        After = Previous ? Previous->ItemId() : TVI_FIRST;
      }
      break;
    case vcnaInsertAfter:
      NewParent = Destination ? Destination->Parent() : nullptr;
      if (Destination) After = Destination->ItemId();
      break;
  }
  FOwner->ClearCache();
  InternalMove(NewParent, After);
  if (NewParent) {
    NewParent->SetHasChildren(true);
    NewParent->SetExpanded(true);
  }
}

// ---- TvcTreeNodes ---------------------------------------------------------------------------------------

TvcTreeNodes::TvcTreeNodes(TvcCustomTreeView* AOwner) : FOwner(AOwner) {}

TvcTreeNodes::~TvcTreeNodes() { FDestroying = true; }

int32_t TvcTreeNodes::Count() const {
  if (!FOwner || !FOwner->HandleAllocated()) return 0;
  return int32_t(TreeView_GetCount(FOwner->HandleIfAllocated()));
}

HTREEITEM TvcTreeNodes::InsertItem(HTREEITEM ParentItem, HTREEITEM After, TvcTreeNode* Node) {
  TVINSERTSTRUCTA Insert{};
  Insert.hParent = ParentItem;
  Insert.hInsertAfter = After;
  Insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  Insert.item.pszText = LPSTR_TEXTCALLBACKA;
  Insert.item.iImage = I_IMAGECALLBACK;
  Insert.item.iSelectedImage = I_IMAGECALLBACK;
  Insert.item.lParam = reinterpret_cast<LPARAM>(Node);
  HTREEITEM Result = TreeView_InsertItem(FOwner->Handle(), &Insert);
  if (!Result) throw EOutOfResources("Unable to insert an item");
  return Result;
}

void TvcTreeNodes::Repaint(TvcTreeNode* Node) {
  if (FUpdateCount > 0 || !FOwner || !FOwner->HandleAllocated()) return;
  // The nearest node that shows, among Node and its ancestors.
  TvcTreeNode* Shown = Node;
  while (Shown && !Shown->IsVisible()) Shown = Shown->Parent();
  if (!Shown) return;
  RECT Rect{};
  if (TreeView_GetItemRect(FOwner->HandleIfAllocated(), Shown->ItemId(), &Rect, FALSE))
    InvalidateRect(FOwner->HandleIfAllocated(), &Rect, TRUE);
}

TvcTreeNode* TvcTreeNodes::AddItem(TvcTreeNode* ParentNode, HTREEITEM After, const std::string& S, int32_t Data) {
  ClearCache();
  TvcTreeNode* Node = FOwner->CreateNode();
  try {
    // Before the item exists: nothing sorts yet.
    Node->SetData(Data);
    Node->SetText(S);
    FOwner->StopChangeTimer();
    Node->FItemId = InsertItem(ParentNode ? ParentNode->ItemId() : TVI_ROOT, After, Node);
  } catch (...) {
    Node->FOwner = nullptr;  // nothing of the view to tidy
    Node->Free();
    throw;
  }
  Node->FInTree = true;
  if (ParentNode) {
    ParentNode->SetHasChildren(true);
    Repaint(ParentNode);
  }
  if (!FOwner->IsMultiSelectCheckbox(Node)) Node->SetStateIndex(-1);
  return Node;
}

TvcTreeNode* TvcTreeNodes::AddChild(TvcTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, 0); }
TvcTreeNode* TvcTreeNodes::AddChildObject(TvcTreeNode* Parent, const std::string& S, int32_t Data) {
  return AddItem(Parent, TVI_LAST, S, Data);
}
TvcTreeNode* TvcTreeNodes::AddChildFirst(TvcTreeNode* Parent, const std::string& S) {
  return AddChildObjectFirst(Parent, S, 0);
}
TvcTreeNode* TvcTreeNodes::AddChildObjectFirst(TvcTreeNode* Parent, const std::string& S, int32_t Data) {
  return AddItem(Parent, TVI_FIRST, S, Data);
}
TvcTreeNode* TvcTreeNodes::Add(TvcTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, 0); }
TvcTreeNode* TvcTreeNodes::AddObject(TvcTreeNode* Sibling, const std::string& S, int32_t Data) {
  return AddItem(Sibling ? Sibling->Parent() : nullptr, TVI_LAST, S, Data);
}
TvcTreeNode* TvcTreeNodes::AddFirst(TvcTreeNode* Sibling, const std::string& S) {
  return AddObjectFirst(Sibling, S, 0);
}
TvcTreeNode* TvcTreeNodes::AddObjectFirst(TvcTreeNode* Sibling, const std::string& S, int32_t Data) {
  return AddItem(Sibling ? Sibling->Parent() : nullptr, TVI_FIRST, S, Data);
}
TvcTreeNode* TvcTreeNodes::Insert(TvcTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, 0); }
TvcTreeNode* TvcTreeNodes::InsertObject(TvcTreeNode* Sibling, const std::string& S, int32_t Data) {
  if (!Sibling) return AddItem(nullptr, TVI_LAST, S, Data);
  TvcTreeNode* Previous = Sibling->GetPrevSibling();
  return AddItem(Sibling->Parent(), Previous ? Previous->ItemId() : TVI_FIRST, S, Data);
}

void TvcTreeNodes::Delete(TvcTreeNode* Node) {
  if (!Node) return;
  if (!Node->ItemId() && FOwner) FOwner->Delete(Node);
  if (!Node->Deleting()) Node->Free();
}

void TvcTreeNodes::Clear() {
  if (!FOwner || !FOwner->HandleAllocated() || Count() == 0) return;
  FOwner->FClearing = true;
  BeginUpdate();
  const TScopeExit Done([this] {
    if (FOwner) FOwner->FClearing = false;
    if (!FDestroying) EndUpdate();
  });
  HWND Window = FOwner->HandleIfAllocated();
  TreeView_SelectItem(Window, nullptr);
  if (TvcTreeNode* First = GetFirstNode())
    SendMessageA(Window, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(First->ItemId()));
  // From the last node in tree order back to the first: every deletion takes a leaf.
  TvcTreeNode* Node = nullptr;
  // The last node: the deepest last child of the last root.
  for (TvcTreeNode* Root = GetFirstNode(); Root; Root = Root->GetNextSibling()) Node = Root;
  while (Node && Node->GetLastChild()) Node = Node->GetLastChild();
  while (Node) {
    TvcTreeNode* Previous = Node->GetPrev();
    Node->Delete();
    Node = Previous;
  }
  ClearCache();
}

void TvcTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner && FOwner->HandleAllocated())
    SendMessageA(FOwner->HandleIfAllocated(), WM_SETREDRAW, FALSE, 0);
}

void TvcTreeNodes::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && FOwner && FOwner->HandleAllocated()) {
    SendMessageA(FOwner->HandleIfAllocated(), WM_SETREDRAW, TRUE, 0);
    FOwner->Refresh();
  }
}

TvcTreeNode* TvcTreeNodes::GetFirstNode() const {
  if (!FOwner || !FOwner->HandleAllocated()) return nullptr;
  return GetNode(TreeView_GetNextItem(FOwner->HandleIfAllocated(), nullptr, TVGN_ROOT));
}

TvcTreeNode* TvcTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (!ItemId || !FOwner || !FOwner->HandleAllocated()) return nullptr;
  TVITEMA Item{};
  Item.mask = TVIF_PARAM | TVIF_HANDLE;
  Item.hItem = ItemId;
  if (!TreeView_GetItem(FOwner->HandleIfAllocated(), &Item)) return nullptr;
  return reinterpret_cast<TvcTreeNode*>(Item.lParam);
}

void TvcTreeNodes::ClearCache() {
  FCacheNode = nullptr;
  FCacheIndex = -1;
}

TvcTreeNode* TvcTreeNodes::Item(int32_t Index) {
  if (Index < 0) throw ETreeViewError("Invalid index");
  WindowNeeded();
  TvcTreeNode* Node = nullptr;
  if (FCacheNode && FCacheIndex >= 0 && Index >= FCacheIndex - 1 && Index <= FCacheIndex + 1) {
    Node = FCacheNode;
    if (Index < FCacheIndex) Node = Node->GetPrev();
    else if (Index > FCacheIndex) Node = Node->GetNext();
  } else {
    Node = GetFirstNode();
    for (int32_t Step = 0; Node && Step < Index; ++Step) Node = Node->GetNext();
  }
  if (!Node) throw ETreeViewError("Invalid index");
  FCacheNode = Node;
  FCacheIndex = Index;
  return Node;
}

TvcTreeNode* TvcTreeNodes::FindNode(const std::string& S, bool VisibleOnly) const {
  return FindNodeByString(S, VisibleOnly, 0);
}

void TvcTreeNodes::WindowNeeded() const {
  // A lookup is the first look at the nodes for some callers: the window (and the nodes that
  // wait for it) come now.
  if (!FOwner || FOwner->HandleAllocated() || FDestroying) return;
  if (FOwner->ComponentState().Contains(csDestroying)) return;
  if (FOwner->Parent() || FOwner->ParentWindow()) FOwner->HandleNeeded();
}

TvcTreeNode* TvcTreeNodes::FindNodeByString(const std::string& S, bool VisibleOnly, int32_t Kind) const {
  WindowNeeded();
  const std::string Wanted = AnsiUpperCase(S);
  for (TvcTreeNode* Node = GetFirstNode(); Node; Node = VisibleOnly ? Node->GetNextVisible() : Node->GetNext()) {
    const std::string& Value = Kind == 1 ? Node->DataText() : Kind == 2 ? Node->DataText2() : Node->Text();
    if (AnsiUpperCase(Value) == Wanted) return Node;
  }
  return nullptr;
}
