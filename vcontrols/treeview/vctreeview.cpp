// The tree view control: construction, properties, the window's life (the nodes across a
// re-creation), image lists, sorting and the operations on nodes and multi-selection.

#include "vcontrols/treeview/vctreeview.h"

#include <algorithm>

#include "platform/forms/imagelist.h"
#include "platform/forms/imagelistapi.h"
#include "platform/forms/timer.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vccanvas.h"

KORCAM_REGISTER_CLASS(TvcTVMultiSelectAttributes)
KORCAM_REGISTER_CLASS(TvcCustomTreeView)
KORCAM_REGISTER_CLASS(TvcTreeView)

namespace {

// The blank state list every view without StateImages gives its window (so that a check box
// keeps its 16-pixel slot), shared by all views and freed with the last.
int BlankListUsers = 0;
HIMAGELIST BlankList = nullptr;

HIMAGELIST AcquireBlankList() {
  if (BlankListUsers++ == 0) BlankList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1);
  return BlankList;
}

void ReleaseBlankList() {
  if (--BlankListUsers == 0 && BlankList) {
    ImageList_Destroy(BlankList);
    BlankList = nullptr;
  }
}

TvcTreeNode* MakePlainNode(TvcTreeNodes* Owner) { return new TvcTreeNode(Owner); }

}  // namespace

HIMAGELIST TvcCustomTreeView::SharedBlankList() { return BlankList; }

// ---- TvcTVMultiSelectAttributes ------------------------------------------------------------------------

void TvcTVMultiSelectAttributes::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (!FView) return;
  if (!Value) {
    // The multi-select check boxes go; the multi-selected nodes stay listed.
    for (TvcTreeNode* Node = FView->Items()->GetFirstNode(); Node; Node = Node->GetNext())
      if (FView->IsMultiSelectLevel(Node->Level()) && Node->StateIndex() == 1 && Node->CheckboxType() == vccbNone)
        Node->SetStateIndex(-1);
  }
  FView->Invalidate();
}

void TvcTVMultiSelectAttributes::SetMultiSelectCheckbox(bool Value) {
  if (Value == FMultiSelectCheckbox) return;
  FMultiSelectCheckbox = Value;
  if (!FView) return;
  FView->ResetStateImages();
  FView->Invalidate();
}

void TvcTVMultiSelectAttributes::SetMultiSelectLevel(int32_t Value) {
  if (Value == FMultiSelectLevel) return;
  FMultiSelectLevel = Value;
  if (!FView) return;
  FView->ClearMultiSelect(nullptr);
  if (Value >= 0) FView->ResetStateImages();
  FView->Invalidate();
}

void TvcTVMultiSelectAttributes::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcTVMultiSelectAttributes*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetEnabled(Other->Enabled());
  SetMultiSelectCheckbox(Other->MultiSelectCheckbox());
  SetMultiSelectLevel(Other->MultiSelectLevel());
}

// ---- TvcTreeHintWindow -----------------------------------------------------------------------------

KORCAM_REGISTER_CLASS(TvcTreeHintWindow)

TvcTreeHintWindow::TvcTreeHintWindow(TComponent* AOwner) : THintWindow(AOwner) { SetColor(clInfoBk); }

void TvcTreeHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
}

void TvcTreeHintWindow::Paint() {
  TCanvas* Paint = Canvas();
  RECT Client = ClientRect();
  Paint->Brush()->SetColor(clInfoBk);
  Paint->Pen()->SetColor(clBlack);
  Paint->Rectangle(Client);
  Paint->Font()->Assign(Font());
  if (Link) {
    Paint->Font()->SetColor(clBlue);
    Paint->Font()->SetStyle(TFontStyles{fsUnderline});
  } else {
    Paint->Font()->SetColor(clInfoText);
  }
  RECT Text{2, 2, Client.right, Client.bottom};
  SetBkMode(Paint->Handle(), TRANSPARENT);
  const std::string Caption = this->Caption();
  DrawTextA(Paint->Handle(), Caption.c_str(), int(Caption.size()), &Text, DT_WORDBREAK | DT_NOPREFIX);
}

// ---- TvcCustomTreeView -----------------------------------------------------------------------------

TvcCustomTreeView::TvcCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FNodeFactory(MakePlainNode) {
  FCanvas = std::make_unique<TvcCanvas>();
  FCanvas->SetControl(this);
  FItems = std::make_unique<TvcTreeNodes>(this);
  FMultiSelectAttributes = std::make_unique<TvcTVMultiSelectAttributes>(this);
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TvcCustomTreeView::ImageListChange);
  FStateChangeLink = std::make_unique<TChangeLink>();
  FStateChangeLink->OnChange = TNotifyEvent(this, &TvcCustomTreeView::ImageListChange);
  SetBounds(FLeft, FTop, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FControlStyle.Exclude(csCaptureMouse);
  FControlStyle.Include(csDisplayDragImage);
  FControlStyle.Include(csReflector);
  AcquireBlankList();
}

TvcCustomTreeView::~TvcCustomTreeView() { ReleaseBlankList(); }

void TvcCustomTreeView::BeforeDestruction() {
  HideNodeHint();
  StopChangeTimer();
  FItems->FDestroying = true;
  TWinControl::BeforeDestruction();
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  if (FStateImages) FStateImages->UnRegisterChanges(FStateChangeLink.get());
  delete FChangeTimer;
  FChangeTimer = nullptr;
  if (FDragImage) ImageList_Destroy(FDragImage);
  FDragImage = nullptr;
}

void TvcCustomTreeView::CreateParams(TCreateParams& Params) {
  InitTreeViewClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  DWORD Style = TVS_NOTOOLTIPS | TVS_CHECKBOXES;
  if (FOptions.Contains(tvoShowLines)) Style |= TVS_HASLINES;
  if (FOptions.Contains(tvoShowRoot)) Style |= TVS_LINESATROOT;
  if (FOptions.Contains(tvoShowButtons)) Style |= TVS_HASBUTTONS;
  if (FOptions.Contains(tvoEditText) && !FReadOnly) Style |= TVS_EDITLABELS;
  if (!FOptions.Contains(tvoHideSelection)) Style |= TVS_SHOWSELALWAYS;
  if (FDragMode == dmManual) Style |= TVS_DISABLEDRAGDROP;
  if (FOptions.Contains(tvoHotTrack)) Style |= TVS_TRACKSELECT;
  if (FOptions.Contains(tvoRowSelect)) Style |= TVS_FULLROWSELECT;
  if (FAutoExpand) Style |= TVS_SINGLEEXPAND;
  if (UseRightToLeftReading()) Style |= TVS_RTLREADING;
  Params.Style |= Style;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TvcCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  HWND Window = HandleIfAllocated();
  SendMessageA(Window, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  SendMessageA(Window, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
  SendMessageA(Window, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
  if (FSavedStream) RestoreNodes();
  if (FIndent != -1) SendMessageA(Window, TVM_SETINDENT, WPARAM(FIndent), 0);
  SetImageList(FImages ? FImages->Handle() : nullptr, TVSIL_NORMAL);
  SetImageList(FStateImages ? FStateImages->Handle() : BlankList, TVSIL_STATE);
}

void TvcCustomTreeView::DestroyWnd() {
  HideNodeHint();
  FDestroyingWindow = true;
  const TScopeExit Done([this] { FDestroyingWindow = false; });
  if (HandleAllocated()) {
    if (!ComponentState().Contains(csDestroying) && FItems->Count() > 0) SaveNodes();
    FIndent = int32_t(SendMessageA(HandleIfAllocated(), TVM_GETINDENT, 0, 0));
  }
  TWinControl::DestroyWnd();
}

void TvcCustomTreeView::SaveNodes() {
  auto Stream = std::make_unique<TMemoryStream>();
  FItems->WriteData(*Stream);
  FSavedNodes.clear();
  FSavedMultiSelect.clear();
  for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNext())
    FSavedNodes.push_back(
        TSavedNode{Node->Text(), Node->Expanded(), Node->MultiSelected(), Node->Cut(), Node->DropTarget(), Node->Focused()});
  for (TvcTreeNode* Node : FMultiSelectList) FSavedMultiSelect.push_back(Node->AbsoluteIndex());
  FSavedRangeAnchor = FRangeAnchor ? FRangeAnchor->AbsoluteIndex() : -1;
  FSavedTopIndex = TopItem() ? TopItem()->AbsoluteIndex() : -1;
  FSavedSelectedIndex = Selected() ? Selected()->AbsoluteIndex() : -1;
  FSavedStream = std::move(Stream);
}

void TvcCustomTreeView::RestoreNodes() {
  std::unique_ptr<TMemoryStream> Stream = std::move(FSavedStream);
  const std::vector<TSavedNode> Saved = std::move(FSavedNodes);
  const std::vector<int32_t> MultiSelect = std::move(FSavedMultiSelect);
  FSavedNodes.clear();
  FSavedMultiSelect.clear();
  Stream->SetPosition(0);
  try {
    FItems->ReadData(*Stream);
  } catch (const EReadError&) {
    // Nodes that waited for the window in a damaged stream: those read stay.
  }
  if (!Saved.empty()) {
    // What the stream does not carry comes back too: whole texts, expansion, the marks, and the
    // multi-selection in the order it was made.
    std::vector<TvcTreeNode*> Nodes;
    for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNext()) Nodes.push_back(Node);
    for (size_t Index = 0; Index < Nodes.size() && Index < Saved.size(); ++Index) {
      TvcTreeNode* Node = Nodes[Index];
      const TSavedNode& State = Saved[Index];
      if (Node->Text() != State.Text) Node->SetText(State.Text);
      if (State.Cut) Node->SetCut(true);
      if (State.Focused) Node->SetFocused(true);
      if (State.DropTarget) Node->SetDropTarget(true);
    }
    // Expansion from the leaves up would show nothing; parents first.
    for (size_t Index = 0; Index < Nodes.size() && Index < Saved.size(); ++Index)
      if (Saved[Index].Expanded && !Nodes[Index]->Expanded()) {
        const bool Manual = FManualNotify;
        FManualNotify = true;
        TreeView_Expand(HandleIfAllocated(), Nodes[Index]->ItemId(), TVE_EXPAND);
        FManualNotify = Manual;
      }
    for (int32_t Index : MultiSelect)
      if (Index >= 0 && size_t(Index) < Nodes.size()) {
        TvcTreeNode* Node = Nodes[size_t(Index)];
        if (std::find(FMultiSelectList.begin(), FMultiSelectList.end(), Node) == FMultiSelectList.end()) {
          FMultiSelectList.push_back(Node);
          Node->FMultiSelected = true;
        }
      }
    if (FSavedRangeAnchor >= 0 && size_t(FSavedRangeAnchor) < Nodes.size())
      FRangeAnchor = Nodes[size_t(FSavedRangeAnchor)];
  }
  FSavedRangeAnchor = -1;
  if (FSavedTopIndex >= 0 && FSavedTopIndex < FItems->Count()) SetTopItem(FItems->Item(FSavedTopIndex));
  if (FSavedSelectedIndex >= 0 && FSavedSelectedIndex < FItems->Count()) {
    // The selection comes back as it was, without OnChanging or OnChange.
    const bool Clearing = FClearing;
    FClearing = true;
    SetSelected(FItems->Item(FSavedSelectedIndex));
    FClearing = Clearing;
  }
  FSavedTopIndex = FSavedSelectedIndex = -1;
}

// ---- properties ------------------------------------------------------------------------------------------

void TvcCustomTreeView::SetStyleBit(DWORD Bit, bool On) {
  if (!HandleAllocated()) return;
  HWND Window = HandleIfAllocated();
  const LONG Style = GetWindowLongA(Window, GWL_STYLE);
  const LONG Wanted = On ? (Style | LONG(Bit)) : (Style & ~LONG(Bit));
  if (Wanted != Style) SetWindowLongA(Window, GWL_STYLE, Wanted);
  Invalidate();
}

void TvcCustomTreeView::SetAutoExpand(bool Value) {
  if (Value == FAutoExpand) return;
  FAutoExpand = Value;
  SetStyleBit(TVS_SINGLEEXPAND, Value);
}

void TvcCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TvcCustomTreeView::SetLineColor(TColor Value) {
  if (Value == FLineColor) return;
  FLineColor = Value;
  Invalidate();
}

void TvcCustomTreeView::SetInactiveFocusColor(TColor Value) {
  if (Value == FInactiveFocusColor) return;
  FInactiveFocusColor = Value;
  Invalidate();
}

void TvcCustomTreeView::SetDragMode(TDragMode Value) {
  if (Value == FDragMode) return;
  FDragMode = Value;
  SetStyleBit(TVS_DISABLEDRAGDROP, Value == dmManual);
}

void TvcCustomTreeView::SetImageList(HIMAGELIST Handle, WPARAM Which) {
  if (HandleAllocated())
    SendMessageA(HandleIfAllocated(), TVM_SETIMAGELIST, Which, reinterpret_cast<LPARAM>(Handle));
}

void TvcCustomTreeView::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  if (!HandleAllocated()) return;
  SetImageList(FImages ? FImages->Handle() : nullptr, TVSIL_NORMAL);
  SetImageList(FStateImages ? FStateImages->Handle() : BlankList, TVSIL_STATE);
  SyncStateImages();
  Invalidate();
}

void TvcCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (Value == FStateImages) return;
  const bool HadList = FStateImages != nullptr;
  if (FStateImages) FStateImages->UnRegisterChanges(FStateChangeLink.get());
  FStateImages = Value;
  if (FStateImages) {
    FStateImages->RegisterChanges(FStateChangeLink.get());
    FStateImages->FreeNotification(this);
  }
  if (!HandleAllocated()) return;
  if (!FStateImages && HadList) {
    SetImageList(BlankList, TVSIL_STATE);
    RecreateWnd();
    return;
  }
  SetImageList(FStateImages ? FStateImages->Handle() : BlankList, TVSIL_STATE);
  SyncStateImages();
  Invalidate();
}

void TvcCustomTreeView::ImageListChange(TObject* Sender) {
  if (!HandleAllocated()) return;
  if (Sender == FImages) SetImageList(FImages->HandleAllocated() ? FImages->Handle() : nullptr, TVSIL_NORMAL);
  else if (Sender == FStateImages)
    SetImageList(FStateImages->HandleAllocated() ? FStateImages->Handle() : nullptr, TVSIL_STATE);
}

void TvcCustomTreeView::SyncStateImages() {
  if (!HandleAllocated()) return;
  for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNext()) {
    const UINT Wanted = UINT(Node->StateIndex() < 0 ? 0 : Node->StateIndex()) & 0x0F;
    if (STATEIMAGEMASKTOINDEX(Node->ItemState(TVIS_STATEIMAGEMASK)) != Wanted) Node->SetStateIndex(Node->StateIndex());
  }
}

void TvcCustomTreeView::ResetStateImages() {
  if (!HandleAllocated()) return;
  const bool WithCheckbox = FMultiSelectAttributes->MultiSelectCheckbox();
  for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNext()) {
    // Only the multi-select check boxes go: a node with a check box of its own keeps it.
    if (Node->CheckboxType() != vccbNone) continue;
    if (WithCheckbox != IsMultiSelectLevel(Node->Level())) {
      Node->FChecked = false;
      Node->SetStateIndex(-1);
    }
  }
}

int32_t TvcCustomTreeView::Indent() const {
  if (HandleAllocated()) return int32_t(SendMessageA(HandleIfAllocated(), TVM_GETINDENT, 0, 0));
  return FIndent == -1 ? 19 : FIndent;
}

void TvcCustomTreeView::SetIndent(int32_t Value) {
  FIndent = Value;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), TVM_SETINDENT, WPARAM(Value), 0);
}

void TvcCustomTreeView::SetMultiSelectAttributes(TvcTVMultiSelectAttributes* Value) {
  FMultiSelectAttributes->Assign(Value);
}

void TvcCustomTreeView::SetOptions(const TvcTreeViewOptions& Value) {
  if (Value == FOptions) return;
  const TvcTreeViewOptions Changed = TvcTreeViewOptions::FromBits(Value.Bits() ^ FOptions.Bits());
  FOptions = Value;
  if (!HandleAllocated()) return;
  if (Changed.Contains(tvoRowSelect)) SetStyleBit(TVS_FULLROWSELECT, Value.Contains(tvoRowSelect));
  if (Changed.Contains(tvoShowRoot)) SetStyleBit(TVS_LINESATROOT, Value.Contains(tvoShowRoot));
  if (Changed.Contains(tvoShowLines)) SetStyleBit(TVS_HASLINES, Value.Contains(tvoShowLines));
  if (Changed.Contains(tvoShowButtons)) SetStyleBit(TVS_HASBUTTONS, Value.Contains(tvoShowButtons));
  if (Changed.Contains(tvoHideSelection)) SetStyleBit(TVS_SHOWSELALWAYS, !Value.Contains(tvoHideSelection));
  if (Changed.Contains(tvoHotTrack)) SetStyleBit(TVS_TRACKSELECT, Value.Contains(tvoHotTrack));
  if (Changed.Contains(tvoEditText)) SetStyleBit(TVS_EDITLABELS, Value.Contains(tvoEditText) && !FReadOnly);
  Invalidate();
}

void TvcCustomTreeView::SetItems(TvcTreeNodes* Value) { FItems->Assign(Value); }

void TvcCustomTreeView::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (FOptions.Contains(tvoEditText)) SetStyleBit(TVS_EDITLABELS, !Value);
}

void TvcCustomTreeView::SetSortType(TvcSortType Value) {
  if (Value == FSortType) return;
  FSortType = Value;
  if (((Value == vcstData || Value == vcstBoth) && OnCompare) || Value == vcstText || Value == vcstBoth) AlphaSort();
}

// ---- operations --------------------------------------------------------------------------------------------

TvcTreeNode* TvcCustomTreeView::NodeOfItem(HTREEITEM Item) const { return FItems->GetNode(Item); }

TvcTreeNode* TvcCustomTreeView::Selected() const {
  if (!HandleAllocated()) return nullptr;
  return NodeOfItem(TreeView_GetNextItem(HandleIfAllocated(), nullptr, TVGN_CARET));
}

void TvcCustomTreeView::SetSelected(TvcTreeNode* Value) {
  if (Value) Value->SetSelected(true);
  else if (HandleAllocated()) TreeView_SelectItem(HandleIfAllocated(), nullptr);
}

TvcTreeNode* TvcCustomTreeView::TopItem() const {
  if (!HandleAllocated()) return nullptr;
  return NodeOfItem(TreeView_GetNextItem(HandleIfAllocated(), nullptr, TVGN_FIRSTVISIBLE));
}

void TvcCustomTreeView::SetTopItem(TvcTreeNode* Value) {
  if (Value && HandleAllocated())
    SendMessageA(HandleIfAllocated(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Value->ItemId()));
}

TvcTreeNode* TvcCustomTreeView::DropTarget() const {
  TvcTreeNode* Result =
      HandleAllocated() ? NodeOfItem(TreeView_GetNextItem(HandleIfAllocated(), nullptr, TVGN_DROPHILITE)) : nullptr;
  return Result ? Result : FLastDropTarget;
}

void TvcCustomTreeView::SetDropTarget(TvcTreeNode* Value) {
  if (Value) Value->SetDropTarget(true);
  else if (HandleAllocated()) SendMessageA(HandleIfAllocated(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

TvcTreeNode* TvcCustomTreeView::GetNodeAt(int32_t X, int32_t Y) const {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO Info{{X, Y}, 0, nullptr};
  return NodeOfItem(TreeView_HitTest(HandleIfAllocated(), &Info));
}

TvcHitTests TvcCustomTreeView::GetHitTestInfoAt(int32_t X, int32_t Y) const {
  TvcHitTests Result;
  if (!HandleAllocated()) return Result;
  TVHITTESTINFO Info{{X, Y}, 0, nullptr};
  TreeView_HitTest(HandleIfAllocated(), &Info);
  const struct {
    UINT Flag;
    TvcHitTest Test;
  } Map[] = {{TVHT_ABOVE, vchtAbove},           {TVHT_BELOW, vchtBelow},         {TVHT_NOWHERE, vchtNowhere},
             {TVHT_ONITEMBUTTON, vchtOnButton}, {TVHT_ONITEMICON, vchtOnIcon},   {TVHT_ONITEMINDENT, vchtOnIndent},
             {TVHT_ONITEMLABEL, vchtOnLabel},   {TVHT_ONITEMRIGHT, vchtOnRight}, {TVHT_ONITEMSTATEICON, vchtOnStateIcon},
             {TVHT_TOLEFT, vchtToLeft},         {TVHT_TORIGHT, vchtToRight}};
  for (const auto& Entry : Map)
    if ((Info.flags & Entry.Flag) == Entry.Flag) Result.Include(Entry.Test);
  if (Info.flags & TVHT_ONITEM) Result.Include(vchtOnItem);
  // A node without an image draws its text where the image would be: a point there is on its
  // label.
  if (TvcTreeNode* Node = NodeOfItem(Info.hItem); Node && FImages && Node->ImageIndex() == -2) {
    const RECT Text = Node->DisplayRect(true);
    if (X >= Text.left && X < Text.right) {
      Result.Exclude(vchtOnIcon);
      Result.Include(vchtOnLabel);
    }
  }
  return Result;
}

bool TvcCustomTreeView::IsEditing() const {
  if (!HandleAllocated()) return false;
  HWND Edit = HWND(SendMessageA(HandleIfAllocated(), TVM_GETEDITCONTROL, 0, 0));
  return Edit && IsWindowVisible(Edit);
}

void TvcCustomTreeView::FullExpand() {
  for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNextSibling()) Node->Expand(true);
  SyncStateImages();
}

void TvcCustomTreeView::FullCollapse() {
  for (TvcTreeNode* Node = FItems->GetFirstNode(); Node; Node = Node->GetNextSibling()) Node->Collapse(true);
}

bool TvcCustomTreeView::AlphaSort() { return CustomSort(nullptr, 0); }

namespace {
struct TViewSort {
  TvcCustomTreeView* View;
  TvcTVCompare Compare;
  int32_t Data;
};
int ViewCompare(LPARAM Param1, LPARAM Param2, LPARAM Context) {
  const auto* Sort = reinterpret_cast<const TViewSort*>(Context);
  auto* Node1 = reinterpret_cast<TvcTreeNode*>(Param1);
  auto* Node2 = reinterpret_cast<TvcTreeNode*>(Param2);
  if (!Node1 || !Node2) return 0;
  return Sort->Compare ? Sort->Compare(Node1, Node2, Sort->Data) : Sort->View->CompareNodes(Node1, Node2, Sort->Data);
}
}  // namespace

bool TvcCustomTreeView::CustomSort(TvcTVCompare Compare, int32_t Data) {
  if (!HandleAllocated()) return false;
  TViewSort Context{this, Compare, Data};
  TVSORTCB Sort{TVI_ROOT, ViewCompare, reinterpret_cast<LPARAM>(&Context)};
  const bool Done = SendMessageA(HandleIfAllocated(), TVM_SORTCHILDRENCB, TRUE, reinterpret_cast<LPARAM>(&Sort)) != 0;
  FItems->ClearCache();
  return Done;
}

int32_t TvcCustomTreeView::ItemHeight() const {
  return HandleAllocated() ? int32_t(SendMessageA(HandleIfAllocated(), TVM_GETITEMHEIGHT, 0, 0)) : 0;
}

void TvcCustomTreeView::InvalidateNode(TvcTreeNode* Node) {
  if (!Node || !HandleAllocated()) return;
  const RECT Row = Node->DisplayRect(false);
  if (Row.right > Row.left && Row.bottom > Row.top) InvalidateRect(HandleIfAllocated(), &Row, FALSE);
}

void TvcCustomTreeView::InvalidateAll() { Invalidate(); }

bool TvcCustomTreeView::IsMultiSelectLevel(int32_t Level) const {
  const int32_t Wanted = FMultiSelectAttributes->MultiSelectLevel();
  return Wanted == -1 || Level == Wanted;
}

bool TvcCustomTreeView::IsMultiSelectCheckbox(TvcTreeNode* Node) const {
  return Node && FMultiSelectAttributes->Enabled() && FMultiSelectAttributes->MultiSelectCheckbox() &&
         IsMultiSelectLevel(Node->Level());
}

bool TvcCustomTreeView::HasCheckbox(TvcTreeNode* Node) const {
  return Node && (IsMultiSelectCheckbox(Node) || Node->CheckboxType() != vccbNone);
}

void TvcCustomTreeView::MultiSelectNode(TvcTreeNode* Node, bool Select, bool Redraw) {
  if (!Node || !IsMultiSelectLevel(Node->Level())) return;
  if (FMultiSelectAttributes->MultiSelectCheckbox()) Node->SetChecked(Select);
  if (Node->FMultiSelected == Select) return;
  if (Select) FMultiSelectList.push_back(Node);
  else FMultiSelectList.erase(std::remove(FMultiSelectList.begin(), FMultiSelectList.end(), Node), FMultiSelectList.end());
  Node->FMultiSelected = Select;
  if (Redraw && IsRowVisible(Node, true)) InvalidateNode(Node);
}

void TvcCustomTreeView::ClearMultiSelect(TvcTreeNode* Keep) {
  const std::vector<TvcTreeNode*> Listed = FMultiSelectList;
  const bool WithCheckbox = FMultiSelectAttributes->MultiSelectCheckbox();
  for (TvcTreeNode* Node : Listed) {
    if (Node == Keep) continue;
    Node->FMultiSelected = false;
    if (WithCheckbox) Node->FChecked = false;
    if (IsRowVisible(Node, true)) InvalidateNode(Node);
  }
  FMultiSelectList.clear();
  if (Keep && Keep->FMultiSelected) FMultiSelectList.push_back(Keep);
}

bool TvcCustomTreeView::IsRowVisible(TvcTreeNode* Node, bool UseTop) const {
  if (!Node) return false;
  const RECT Row = Node->DisplayRect(false);
  if (Row.bottom <= Row.top) return false;
  const int Border = GetSystemMetrics(SM_CXBORDER);
  const int Edge = UseTop ? Row.top : Row.bottom;
  return Edge < Height() - 2 * Border && Row.bottom > 0;
}

void TvcCustomTreeView::NodeGone(TvcTreeNode* Node) {
  if (Node->FMultiSelected)
    FMultiSelectList.erase(std::remove(FMultiSelectList.begin(), FMultiSelectList.end(), Node), FMultiSelectList.end());
  if (FRangeAnchor == Node) FRangeAnchor = nullptr;
  if (FLastDropTarget == Node) FLastDropTarget = nullptr;
  if (FChangeNode == Node) StopChangeTimer();
  if (FHintNode == Node) HideNodeHint(), FHintNode = nullptr;
  if (FEditNode == Node) FEditNode = nullptr;
  if (FRightClickedNode == Node) FRightClickedNode = nullptr;
  if (FDragNode == Node) FDragNode = nullptr;
  if (FSelectedAtMouseDown == Node) FSelectedAtMouseDown = nullptr;
  if (FNodeAtMouseDown == Node) FNodeAtMouseDown = nullptr;
  if (FPressedButtonNode == Node) FPressedButtonNode = nullptr;
}

// ---- extension points and dispatchers ------------------------------------------------------------------------

TvcTreeNode* TvcCustomTreeView::CreateNode() {
  TvcTreeNode* Node = FNodeFactory(FItems.get());
  if (NodeChangeHook) NodeChangeHook(this, Node, TValue(), 0);
  return Node;
}

void TvcCustomTreeView::GetImageIndex(TvcTreeNode* Node) { OnGetImageIndex(this, Node); }
void TvcCustomTreeView::GetSelectedIndex(TvcTreeNode* Node) { OnGetSelectedIndex(this, Node); }

void TvcCustomTreeView::DoDrawText(TvcTreeNode* Node, RECT Rect, TvcItemStates State, bool& DefaultDrawing) {
  OnDrawText(this, Node, Rect, State, DefaultDrawing);
}

int32_t TvcCustomTreeView::CompareNodes(TvcTreeNode* Node1, TvcTreeNode* Node2, int32_t Data) {
  if (OnCompare) {
    int32_t Compare = 0;
    OnCompare(this, Node1, Node2, Data, Compare);
    return Compare;
  }
  return lstrcmpA(Node1->Text().c_str(), Node2->Text().c_str());
}

void TvcCustomTreeView::CalcNodeAttributes(TvcTreeNode* Node, TvcItemStates State) {
  OnCalcNodeAttributes(this, Node, State);
}

std::string TvcCustomTreeView::GetDisplayText(TvcTreeNode* Node) { return Node->Text(); }

bool TvcCustomTreeView::IsRowSelect() const { return FOptions.Contains(tvoRowSelect); }

void TvcCustomTreeView::ToggleCheckbox(TvcTreeNode* Node) { OnToggleCheckbox(this, Node); }

bool TvcCustomTreeView::CanEdit(TvcTreeNode* Node) {
  bool Allow = true;
  OnEditing(this, Node, Allow);
  return Allow;
}

bool TvcCustomTreeView::CanChange(TvcTreeNode* Node) {
  bool Allow = true;
  OnChanging(this, Node, Allow);
  return Allow;
}

namespace {
// A label being edited inside the subtree of Node ends (keeping its text) before the subtree
// opens or closes; the change is then refused.
bool EndEditInside(TvcCustomTreeView* View, TvcTreeNode* Node) {
  if (!View->IsEditing()) return false;
  TvcTreeNode* Current = View->Selected();
  if (!Current || (Current != Node && !Current->HasAsParent(Node))) return false;
  Current->EndEdit(false);
  return true;
}
}  // namespace

bool TvcCustomTreeView::CanCollapse(TvcTreeNode* Node) {
  bool Allow = true;
  OnCollapsing(this, Node, Allow);
  if (EndEditInside(this, Node)) return false;
  return Allow;
}

bool TvcCustomTreeView::CanExpand(TvcTreeNode* Node) {
  bool Allow = true;
  OnExpanding(this, Node, Allow);
  if (EndEditInside(this, Node)) return false;
  return Allow;
}

void TvcCustomTreeView::Change(TvcTreeNode* Node) { OnChange(this, Node); }
void TvcCustomTreeView::Collapse(TvcTreeNode* Node) { OnCollapsed(this, Node); }
void TvcCustomTreeView::Expand(TvcTreeNode* Node) { OnExpanded(this, Node); }

void TvcCustomTreeView::Delete(TvcTreeNode* Node) {
  OnDeletion(this, Node);
  if (NodeChangeHook) NodeChangeHook(this, Node, TValue(), 1);
}

void TvcCustomTreeView::Loaded() {
  TWinControl::Loaded();
  if (ComponentState().Contains(csDesigning)) FullExpand();
}

void TvcCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

// ---- messages ------------------------------------------------------------------------------------------------

void TvcCustomTreeView::WndProc(TMessage& Message) {
  // An automatic drag starts from the node, not from the class library's generic detection:
  // the presses go to the control with the button state set.
  if (FDragMode == dmAutomatic && !ComponentState().Contains(csDesigning) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)) {
    FControlState.Include(csLButtonDown);
    Dispatch(Message);
    return;
  }
  TWinControl::WndProc(Message);
}

void TvcCustomTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_LBUTTONDOWN: WMLButtonDown(Message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); return;
    case WM_RBUTTONDOWN: WMRButtonDown(Message); return;
    case WM_DESTROY: WMDestroy(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_CTL3DCHANGED: CMCtl3DChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); return;
    case CM_EXIT: CMExit(Message); return;
    default: break;
  }
  TWinControl::Dispatch(Message);
}

void TvcCustomTreeView::WMDestroy(TMessage& Message) {
  FItems->Clear();
  TWinControl::Dispatch(Message);
}

void TvcCustomTreeView::CMColorChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  RecreateWnd();
}

void TvcCustomTreeView::CMCtl3DChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (FBorderStyle == bsSingle) RecreateWnd();
}

void TvcCustomTreeView::CMFontChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!HandleAllocated()) return;
  SendMessageA(HandleIfAllocated(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
  SendMessageA(HandleIfAllocated(), TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
}

void TvcCustomTreeView::CMSysColorChange(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!ComponentState().Contains(csLoading) && HandleAllocated())
    SendMessageA(HandleIfAllocated(), WM_SYSCOLORCHANGE, 0, 0);
}

void TvcCustomTreeView::CMExit(TMessage& Message) {
  TWinControl::Dispatch(Message);
  // A lone root node shows the selection's change of colour at once.
  TvcTreeNode* First = FItems->GetFirstNode();
  if (First && !First->GetNextSibling()) First->Invalidate();
}
