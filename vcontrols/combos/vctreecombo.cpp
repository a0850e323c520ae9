// The tree combo: its pop-up panel, its tree and tree nodes, opening and closing, keys, typing,
// the text-to-image list, and binding. The face is painted in vctreecombopaint.cpp.

#include "vcontrols/combos/vctreecombo.h"

#include <algorithm>

#include "platform/db/field.h"
#include "platform/forms/imagelist.h"
#include "platform/gdi/rect.h"
#include "vcontrols/treeview/vccanvas.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

KORCAM_REGISTER_CLASS(TvcPopupPanel)
KORCAM_REGISTER_CLASS(TvcTreeComboTreeNode)
KORCAM_REGISTER_CLASS(TvcPopupTreeView)
KORCAM_REGISTER_CLASS(TvcCustomTreeCombo)

namespace {

constexpr UINT_PTR ScrollTimerId = 1000;

TvcTreeNode* MakeComboNode(TvcTreeNodes* Owner) { return new TvcTreeComboTreeNode(Owner); }

int64_t Remaining(TStream& Stream) { return Stream.Size() - Stream.Position(); }

}  // namespace

// ---- TvcPopupPanel ---------------------------------------------------------------------------------------

TvcPopupPanel::TvcPopupPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  FBevelInner = bvNone;
  FBevelOuter = bvNone;
  FVisible = false;
  FControlStyle.Include(csNoDesignVisible);
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csReflector);
  SetBounds(0, 0, FWidth, 100);
}

void TvcPopupPanel::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = ParentWindow();
}

void TvcPopupPanel::Dispatch(TMessage& Message) {
  // The drop-down never takes the activation from the combo's form.
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomPanel::Dispatch(Message);
}

// ---- TvcTreeComboTreeNode --------------------------------------------------------------------------------

TvcTreeComboTreeNode::TvcTreeComboTreeNode(TvcTreeNodes* AOwner) : TvcTreeNode(AOwner) { FSelectedIndex = -1; }

int32_t TvcTreeComboTreeNode::RecordSize() const {
  TStringList Names;
  ListBooleanProps(this, Names);
  return vcNodeRecordSize + 4 + Names.Count();
}

void TvcTreeComboTreeNode::WriteExtension(TStream& Stream) {
  TStringList Names;
  ListBooleanProps(this, Names);
  const int32_t Count = Names.Count();
  const uint8_t Size[4] = {uint8_t(Count), uint8_t(Count >> 8), uint8_t(Count >> 16), uint8_t(Count >> 24)};
  Stream.WriteBuffer(Size, 4);
  for (int32_t Index = 0; Index < Count; ++Index) {
    const uint8_t Value = GetOrdPropByName(this, Names[Index]) != 0 ? 1 : 0;
    Stream.WriteBuffer(&Value, 1);
  }
}

int64_t TvcTreeComboTreeNode::ReadExtension(TStream& Stream, int64_t Available) {
  if (Available < 4 || Remaining(Stream) < 4) throw EReadError("Stream read error");
  uint8_t Size[4];
  Stream.ReadBuffer(Size, 4);
  const int32_t Count =
      int32_t(uint32_t(Size[0]) | uint32_t(Size[1]) << 8 | uint32_t(Size[2]) << 16 | uint32_t(Size[3]) << 24);
  // Never more than the block holds: a count from elsewhere cannot run off into the next node.
  const int64_t Bytes = std::min<int64_t>(std::max(0, Count), Available - 4);
  if (Bytes > Remaining(Stream)) throw EReadError("Stream read error");
  TStringList Names;
  ListBooleanProps(this, Names);
  for (int64_t Index = 0; Index < Bytes; ++Index) {
    uint8_t Value = 0;
    Stream.ReadBuffer(&Value, 1);
    if (Index < Names.Count()) SetOrdPropByName(this, Names[int32_t(Index)], Value ? 1 : 0);
  }
  return 4 + Bytes;
}

void TvcTreeComboTreeNode::WriteData(TStream& Stream, TvcNodeRecord& Record) {
  TvcTreeNode::WriteData(Stream, Record);
  WriteExtension(Stream);
}

void TvcTreeComboTreeNode::ReadData(TStream& Stream, TvcNodeRecord& Record) {
  if (StreamVersion() < 1) {
    // The first streams put the extension before the node.
    ReadExtension(Stream, Remaining(Stream));
    TvcTreeNode::ReadData(Stream, Record);
    return;
  }
  TvcTreeNode::ReadData(Stream, Record);
  const int32_t Length = int32_t(Text().size());
  const int32_t Own = RecordSize() - vcNodeRecordSize;
  const int64_t Passed = int64_t(StoredRecordSize()) - (vcNodeRecordFixed + Length);
  // A record without an extension (a plain tree view wrote it) leaves the defaults.
  if (int64_t(StoredRecordSize()) < vcNodeRecordFixed + Length + Own || Passed <= 0) return;
  // The base passed the block over; it is read from its start.
  Stream.Seek(-Passed, soCurrent);
  const int64_t Read = ReadExtension(Stream, Passed);
  Stream.Seek(Passed - Read, soCurrent);
}

// ---- TvcPopupTreeView --------------------------------------------------------------------------------------

TvcPopupTreeView::TvcPopupTreeView(TComponent* AOwner) : TvcTreeView(AOwner) {
  FControlStyle.Include(csReplicatable);
  SetNodeClass(MakeComboNode);
  SetOptions(TvcTreeViewOptions{tvoHideSelection, tvoShowButtons, tvoShowLines, tvoShowRoot, tvoToolTips});
}

void TvcPopupTreeView::StopScrollTimer() {
  if (!FScrollTimerOn) return;
  FScrollTimerOn = false;
  if (HandleAllocated()) KillTimer(HandleIfAllocated(), ScrollTimerId);
}

void TvcPopupTreeView::StartScrollTimer() {
  if (FScrollTimerOn || !HandleAllocated()) return;
  FScrollTimerOn = SetTimer(HandleIfAllocated(), ScrollTimerId, 50, nullptr) != 0;
}

void TvcPopupTreeView::ScrollStep() {
  if (!FCombo || !Selected()) return;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const POINT Point = ScreenToClient(Cursor);
  if (Point.y < 0) FCombo->MoveSelection(VK_UP);
  else if (Point.y >= ClientHeight()) FCombo->MoveSelection(VK_DOWN);
}

void TvcPopupTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return;
    case WM_LBUTTONDOWN:
      PopupMouseDown(Message);
      return;
    case WM_MOUSEMOVE:
      PopupMouseMove(Message);
      TvcTreeView::Dispatch(Message);
      return;
    case WM_LBUTTONUP:
      PopupMouseUp(Message);
      return;
    case WM_TIMER:
      if (Message.WParam == ScrollTimerId) {
        if (GetAsyncKeyState(VK_LBUTTON) >= 0) {
          StopScrollTimer();
          if (FCombo) FCombo->CloseUp(true);
        } else {
          ScrollStep();
        }
        return;
      }
      break;
    default:
      break;
  }
  TvcTreeView::Dispatch(Message);
}

void TvcPopupTreeView::PopupMouseDown(TMessage& Message) {
  // The window's own selection handling does not run: the combo decides.
  FPressedInside = true;
  TObjectProtector Guard(this);
  if (FCombo) FCombo->CloseUpIfOutside();
  if (!Guard.Alive() || !FCombo || !FCombo->GetDroppedDown()) return;
  const POINT Point = Message.Pos();
  const RECT Client = ClientRect();
  FReleaseAccepts = PtInRect(&Client, Point) != FALSE;
  if (HandleAllocated() && GetCapture() != HandleIfAllocated()) SetCapture(HandleIfAllocated());
  TvcTreeNode* Node = GetNodeAt(Point.x, Point.y);
  const TvcHitTests Hits = GetHitTestInfoAt(Point.x, Point.y);
  if (!Node) return;
  if (Hits.Contains(vchtOnButton)) {
    FReleaseAccepts = false;
    if (Node->Expanded()) Node->Collapse(false);
    else Node->Expand(false);
  } else if (Hits.Contains(vchtOnStateIcon)) {
    if (Node->IsRadioGroup()) Node->SetChecked(true);
    else if (Node->CheckboxType() == vccbCheckbox) Node->SetChecked(!Node->Checked());
  }
}

void TvcPopupTreeView::PopupMouseMove(TMessage& Message) {
  if (!FCombo || FCombo->IsReadOnly()) return;
  const POINT Point = Message.Pos();
  const bool Moved = FLastMouse.x != -1 || FLastMouse.y != -1;
  if (Moved && (Point.x != FLastMouse.x || Point.y != FLastMouse.y)) {
    // Hot tracking: the node under the pointer becomes the selection.
    TvcTreeNode* Node = GetNodeAt(Point.x, Point.y);
    if (Node && FCombo->IsNodeSelectable(Node) && !Node->Selected()) Node->SetSelected(true);
  }
  FLastMouse = Point;
  if ((Message.Keys() & MK_LBUTTON) || GetAsyncKeyState(VK_LBUTTON) < 0) {
    const int Reach = FCombo->Height();
    if (Point.y < -Reach || Point.y >= ClientHeight() + Reach) {
      if (!FScrollTimerOn) ScrollStep();
      StartScrollTimer();
    }
  }
}

void TvcPopupTreeView::PopupMouseUp(TMessage& Message) {
  const POINT Point = Message.Pos();
  TObjectProtector Guard(this);
  const bool Scrolling = FScrollTimerOn;
  StopScrollTimer();
  if (HandleAllocated() && GetCapture() == HandleIfAllocated()) ReleaseCapture();
  if (Scrolling && FCombo && FCombo->GetDroppedDown()) {
    // Let go while the tree scrolled (the pointer above or below it): the node it scrolled to
    // is taken, as the scroll timer would on its next tick.
    FCombo->SetSelectedNode(Selected());
    FCombo->CloseUp(true);
    if (Guard.Alive()) FReleaseAccepts = true, FPressedInside = false;
    return;
  }
  if (FReleaseAccepts && FCombo && FCombo->GetDroppedDown()) {
    const RECT Client = ClientRect();
    const bool Inside = PtInRect(&Client, Point) != FALSE;
    const TvcHitTests Hits = GetHitTestInfoAt(Point.x, Point.y);
    TvcTreeNode* Node = GetNodeAt(Point.x, Point.y);
    if ((FPressedInside || Inside) && !Hits.Contains(vchtOnButton) && !Hits.Contains(vchtOnStateIcon) && Node &&
        FCombo->IsNodeSelectable(Node)) {
      if (!Node->Selected()) Node->SetSelected(true);
      FCombo->SetSelectedNode(Selected());
      FCombo->CloseUp(Inside);
    }
  }
  if (!Guard.Alive()) return;
  FReleaseAccepts = true;
  FPressedInside = false;
}

void TvcPopupTreeView::Change(TvcTreeNode* Node) {
  TvcTreeView::Change(Node);
  if (!FTextFollows || !FCombo) return;
  TvcTreeNode* Current = Selected();
  FCombo->SetSelectedNode(Current);
  FCombo->SetTextFromNode(Current ? Current->Text() : std::string());
}

void TvcPopupTreeView::Collapse(TvcTreeNode* Node) {
  TvcTreeView::Collapse(Node);
  if (FCombo && FCombo->ComboOptions().Contains(tcoLeafSelectOnly)) SetSelected(nullptr);
}

void TvcPopupTreeView::CalcNodeAttributes(TvcTreeNode* Node, TvcItemStates State) {
  // The tree never has the focus: the selection shows as if it had.
  if (Node == Selected()) {
    Canvas()->Brush()->SetColor(clHighlight);
    Canvas()->Font()->SetColor(clHighlightText);
  }
  TvcTreeView::CalcNodeAttributes(Node, State);
}

// ---- TvcCustomTreeCombo ------------------------------------------------------------------------------------

TvcCustomTreeCombo::TvcCustomTreeCombo(TComponent* AOwner) : TvcCustomCombo(AOwner) {
  FTextImages = std::make_unique<TStringList>();
  SetButtonStyle(cbsDownArrow);
  FPopupPanel = new TvcPopupPanel(this);
  FTreeView = CreateTreeView();
}

TvcCustomTreeCombo::~TvcCustomTreeCombo() = default;

void TvcCustomTreeCombo::BeforeDestruction() {
  // The node hook has nothing left to keep in step.
  if (FTreeView) FTreeView->NodeChangeHook = nullptr;
  TvcCustomCombo::BeforeDestruction();
}

TvcPopupTreeView* TvcCustomTreeCombo::CreateTreeView() {
  auto* Tree = new TvcPopupTreeView(this);
  Tree->SetCombo(this);
  Tree->SetBorderStyle(bsNone);
  Tree->SetParent(FPopupPanel);
  Tree->SetVisible(true);
  Tree->SetAlign(alClient);
  Tree->NodeChangeHook = [this](TvcCustomTreeView* View, TvcTreeNode* Node, const TValue& Value, int32_t Kind) {
    TextImageHook(View, Node, Value, Kind);
  };
  return Tree;
}

void TvcCustomTreeCombo::ReplaceTreeView() {
  TvcPopupTreeView* Old = FTreeView;
  FTreeView = nullptr;
  if (Old) {
    Old->NodeChangeHook = nullptr;
    Old->Free();
  }
  FTreeView = CreateTreeView();
}

void TvcCustomTreeCombo::CreateWnd() {
  TvcCustomCombo::CreateWnd();
  FPopupPanel->SetParentWindow(HandleIfAllocated());
}

void TvcCustomTreeCombo::Loaded() {
  TvcCustomCombo::Loaded();
  if (Sorted() && FTreeView->HandleAllocated()) FTreeView->AlphaSort();
}

void TvcCustomTreeCombo::SetShowMatchText(bool Value) {
  if (Value == FShowMatchText) return;
  FShowMatchText = Value;
  if (FStyle == csDropDownList && HandleAllocated()) {
    if (Value) EnableTyping();
    else DisableTyping();
  }
}

TvcTreeViewOptions TvcCustomTreeCombo::TreeOptions() const { return FTreeView->Options(); }
void TvcCustomTreeCombo::SetTreeOptions(const TvcTreeViewOptions& Value) { FTreeView->SetOptions(Value); }
bool TvcCustomTreeCombo::Sorted() const { return FTreeView->SortType() == vcstText; }
void TvcCustomTreeCombo::SetSorted(bool Value) { FTreeView->SetSortType(Value ? vcstText : vcstNone); }

// ---- the text-to-image list ---------------------------------------------------------------------------------

void TvcCustomTreeCombo::TextImageHook(TvcCustomTreeView*, TvcTreeNode* Node, const TValue& Value, int32_t Kind) {
  if (ComponentState().Contains(csDestroying) || !Node) return;
  if (Kind == 1) {
    // Nothing of the combo may point at a node that goes.
    if (FSelectedNode == Node) FSelectedNode = nullptr;
    if (FOpeningNode == Node) FOpeningNode = nullptr;
  }
  const std::string Current = Node->Text() + "=" + IntToStr(Node->ImageIndex());
  int32_t Line = -1;
  if (FCachedLine >= 0 && FCachedLine < FTextImages->Count() && FCachedText == Node->Text() &&
      (*FTextImages)[FCachedLine] == Current)
    Line = FCachedLine;
  else
    Line = FTextImages->IndexOf(Current);
  switch (Kind) {
    case 0:
      FTextImages->Add(Current);
      FCachedLine = FTextImages->Count() - 1;
      FCachedText = Node->Text();
      break;
    case 1:
      if (Line >= 0) FTextImages->Delete(Line);
      FCachedLine = -1;
      FCachedText.clear();
      break;
    case 2: {
      const std::string* Text = std::get_if<std::string>(&Value);
      const std::string NewText = Text ? *Text : std::string();
      if (Line >= 0 && !NewText.empty()) FTextImages->Put(Line, NewText + "=" + IntToStr(Node->ImageIndex()));
      FCachedText = NewText;
      FCachedLine = Line;
      break;
    }
    case 3: {
      const int64_t* Index = std::get_if<int64_t>(&Value);
      if (Line >= 0 && Index) FTextImages->Put(Line, Node->Text() + "=" + IntToStr(*Index));
      break;
    }
    default:
      break;
  }
}

int32_t TvcCustomTreeCombo::ImageIndexOfText(const std::string& Text) {
  TvcTreeNode* Selected = FTreeView->HandleAllocated() ? FTreeView->Selected() : nullptr;
  if (Selected && Selected->Text() == Text && !FControlState.Contains(csPaintCopy)) return Selected->ImageIndex();
  const int32_t Line = IndexOfName(Text, *FTextImages);
  if (Line < 0) return -1;
  return StrToIntDef(GetValueAt(*FTextImages, Line), -1);
}

// ---- selection --------------------------------------------------------------------------------------------

void TvcCustomTreeCombo::SelectByText(const std::string& S) {
  TvcTreeNode* Selected = FTreeView->Selected();
  if (Selected && Selected->Text() == S) return;
  if (IndexOfName(Text(), *FTextImages) < 0) FTreeView->SetSelected(nullptr);
  else FTreeView->SetSelected(FTreeView->Items()->FindNode(S, false));
  Invalidate();
}

void TvcCustomTreeCombo::BeginSelectionChange() {
  if (FDataLink && Field()) FDataLink->Edit();
  FTreeView->FTextFollows = true;
}

void TvcCustomTreeCombo::SelectionChange() {
  OnSelectionChange(this);
  FTreeView->FTextFollows = false;
}

bool TvcCustomTreeCombo::IsNodeSelectable(TvcTreeNode* Node) {
  if (!Node) return false;
  if (auto* ComboNode = dynamic_cast<TvcTreeComboTreeNode*>(Node); ComboNode && !ComboNode->Selectable()) return false;
  return !FComboOptions.Contains(tcoLeafSelectOnly) || !Node->HasChildren();
}

TvcTreeNode* TvcCustomTreeCombo::GetSearchStartNode() { return FTreeView->Items()->GetFirstNode(); }

void TvcCustomTreeCombo::SetTextFromNode(const std::string& Value) {
  FSettingText = true;
  const TScopeExit Done([this] { FSettingText = false; });
  SetText(Value);
}

TvcTreeNode* TvcCustomTreeCombo::StepSelection(TvcTreeNode* Node, WORD Key, bool Open) {
  if (!Node) return nullptr;
  TvcTreeNodes* Items = FTreeView->Items();
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT: {
      const int Height = std::max(1, FTreeView->ItemHeight());
      int Steps = FTreeView->Height() / Height + 1;
      TvcTreeNode* Result = Node;
      while (Steps-- > 0) {
        TvcTreeNode* Next = Key == VK_PRIOR ? Result->GetPrevVisible() : Result->GetNextVisible();
        if (!Next) break;
        Result = Next;
      }
      return Result;
    }
    case VK_END: {
      if (Open) {
        TvcTreeNode* Last = Items->GetFirstNode();
        for (TvcTreeNode* Next = Last; Next; Next = Next->GetNextVisible()) Last = Next;
        return Last;
      }
      TvcTreeNode* Last = nullptr;
      for (TvcTreeNode* Root = Items->GetFirstNode(); Root; Root = Root->GetNextSibling()) Last = Root;
      while (Last && Last->GetLastChild()) Last = Last->GetLastChild();
      return Last;
    }
    case VK_HOME:
      return Items->GetFirstNode();
    case VK_UP:
      return Open ? Node->GetPrevVisible() : Node->GetPrev();
    case VK_DOWN:
      return Open ? Node->GetNextVisible() : Node->GetNext();
    default:
      return nullptr;
  }
}

bool TvcCustomTreeCombo::MoveSelection(WORD Key) {
  const bool Open = GetDroppedDown();
  TvcTreeNode* Selected = FTreeView->Selected();
  TvcTreeNode* Start = Selected ? Selected : FTreeView->Items()->GetFirstNode();
  if (!Start) return false;
  // Without a selection only Page Down and End move; any other key takes the first node that
  // can be chosen.
  const bool Moves = Selected || Key == VK_NEXT || Key == VK_END;
  TvcTreeNode* Candidate = Moves ? StepSelection(Start, Key, Open) : Start;
  const bool Upward = Key == VK_PRIOR || Key == VK_END || Key == VK_UP;
  const WORD Continue = Upward ? VK_UP : VK_DOWN;
  for (int Guard = FTreeView->Items()->Count() + 1; Candidate && Guard > 0; --Guard) {
    if (Selected && Candidate == Selected) {
      // The walk came back: the selection stays.
      Start->SetSelected(true);
      return false;
    }
    if (IsNodeSelectable(Candidate)) {
      Candidate->SetSelected(true);
      return true;
    }
    Candidate = StepSelection(Candidate, Continue, Open);
  }
  return false;
}

// ---- opening and closing ------------------------------------------------------------------------------------

TWinControl* TvcCustomTreeCombo::GetDropDownControl() { return FTreeView; }
TWinControl* TvcCustomTreeCombo::GetDropDownContainer() { return FPopupPanel; }

int TvcCustomTreeCombo::GetDropDownItemCount() {
  FTreeView->HandleNeeded();
  return FTreeView->Items()->Count();
}

void TvcCustomTreeCombo::GetDropDownItemSize(int& Width, int& ItemHeight) {
  Width = 0;
  ItemHeight = 0;
  FTreeView->HandleNeeded();
  TvcTreeNode* First = FTreeView->Items()->GetFirstNode();
  if (!First) return;
  ItemHeight = FTreeView->ItemHeight();
  if (FDropDownWidth > 0) {
    Width = FDropDownWidth;
    return;
  }
  TCanvas* Measure = FTreeView->Canvas();
  Measure->SetFont(FTreeView->Font());
  TCustomImageList* Images = FTreeView->Images();
  for (TvcTreeNode* Node = First; Node; Node = Node->GetNextVisible()) {
    const RECT Text = Node->DisplayRect(true);
    int Needed = Measure->TextWidth(Node->Text()) + Text.left + 6;
    if (Images && Node->ImageIndex() == -2) Needed += Images->Width();
    Width = std::max(Width, Needed);
  }
}

bool TvcCustomTreeCombo::GetDroppedDown() { return FPopupPanel && FPopupPanel->Visible(); }

void TvcCustomTreeCombo::DropDown() {
  if (!IsDataBound() && (DataSource() || !DataField().empty())) return;
  FTreeView->HandleNeeded();
  FTreeView->FLastMouse = POINT{-1, -1};
  FTreeView->FPressedInside = false;
  FTreeView->FReleaseAccepts = true;
  SelectByText(Text());
  FOpeningNode = FTreeView->Selected();
  FSelectedNode = FOpeningNode;
  FOpeningText = Text();
  if (FComboOptions.Contains(tcoExpandAllOnDropDown)) {
    FTreeView->FullExpand();
    if ((!Text().empty() && FTreeView->Selected()) || FTreeView->Items()->Count() == 0) {
      if (TvcTreeNode* Selected = FTreeView->Selected()) Selected->MakeVisible();
    } else if (TvcTreeNode* First = FTreeView->Items()->GetFirstNode()) {
      // The tree shows its top with nothing selected.
      First->SetSelected(true);
      FTreeView->SetSelected(nullptr);
    }
  }
  if (FStyle == csDropDownList) Invalidate();
  TvcCustomCombo::DropDown();
  Repaint();
  SelectAll();
}

void TvcCustomTreeCombo::CloseUp(bool Accept) {
  const bool WasOpen = GetDroppedDown();
  TObjectProtector Guard(this);
  TvcCustomCombo::CloseUp(Accept);
  if (!Guard.Alive()) return;
  if (WasOpen) {
    if (Accept && FSelectedNode != FOpeningNode && EditCanModify()) {
      BeginSelectionChange();
      SetTextFromNode(FSelectedNode ? FSelectedNode->Text() : std::string());
      SelectionChange();
      SetModified(true);
    } else {
      // Not taken: the node and the text from before the drop-down come back.
      FTreeView->SetSelected(FOpeningNode);
      FSelectedNode = FOpeningNode;
      SetTextFromNode(FOpeningNode ? FOpeningNode->Text() : FOpeningText);
    }
    DoCloseUp(Accept);
    if (!Guard.Alive()) return;
  }
  FTreeView->StopScrollTimer();
  if (IsTextEditable()) SelectAll();
}

// ---- keys and typing ----------------------------------------------------------------------------------------

void TvcCustomTreeCombo::KeyDown(WORD& Key, TShiftState Shift) {
  TvcCustomCombo::KeyDown(Key, Shift);
  if (Key == 0 || IsReadOnly()) return;
  const bool List = FStyle == csDropDownList;
  const bool Open = GetDroppedDown();
  if ((Key == VK_BACK || Key == VK_DELETE) && List) {
    const int32_t Length = int32_t(Utf8Length(Text()));
    const bool WholeSelected = Length > 0 && SelStart() == 0 && SelLength() == Length;
    if (FAllowClearKey &&
        (WholeSelected || (!Open && (Key == VK_DELETE || (Key == VK_BACK && !FShowMatchText))))) {
      BeginSelectionChange();
      SetTextFromNode(std::string());
      FTreeView->SetSelected(nullptr);
      FSelectedNode = nullptr;
      FTreeView->FTextFollows = false;
      SetModified(true);
    } else if (FShowMatchText && SelStart() > 0 && HandleAllocated()) {
      // The matched prefix shrinks by one character.
      SendMessageA(HandleIfAllocated(), EM_SETSEL, WPARAM(Length), LPARAM(SelStart() - 1));
      SendMessageA(HandleIfAllocated(), EM_SCROLLCARET, 0, 0);
    }
    Key = 0;
    return;
  }
  const bool Navigation = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                          ((Key == VK_END || Key == VK_HOME) && (Shift.Contains(ssCtrl) || !Open));
  if (!Navigation) return;
  FTreeView->HandleNeeded();
  if (FTreeView->Items()->Count() == 0) return;
  if (List || ((Key == VK_UP || Key == VK_DOWN) && !Open)) {
    BeginSelectionChange();
    if (!MoveSelection(Key)) Invalidate();
    SelectionChange();
    SetModified(true);
    Key = 0;
    SelectAll();
  } else if (Open) {
    BeginSelectionChange();
    MoveSelection(Key);
    SelectionChange();
    Key = 0;
  }
}

void TvcCustomTreeCombo::KeyPress(char32_t& Key) {
  TvcCustomCombo::KeyPress(Key);
  if (Key == 0) return;
  FTreeView->HandleNeeded();
  const bool List = FStyle == csDropDownList;
  if (Key == U'\b' && List && FShowMatchText) {
    Key = 0;  // the prefix shrinks in KeyDown
    return;
  }
  // Enter has closed the drop-down (or does nothing here): it is no search. Searching for an
  // empty prefix would replace the node just taken by the first one.
  if (Key == U'\r') {
    Key = 0;
    return;
  }
  if (FTreeView->Items()->Count() > 0 && Key != U'\b' && (GetDroppedDown() || FShowMatchText)) {
    // The text as it would be with the character typed over the selection.
    const std::u32string Chars = Utf8ToUtf32(Text());
    const size_t From = std::min<size_t>(size_t(SelStart()), Chars.size());
    const size_t To = std::min<size_t>(From + size_t(SelLength()), Chars.size());
    const std::string Search = Utf32ToUtf8(Chars.substr(0, From) + std::u32string(1, Key) + Chars.substr(To));
    const std::string Wanted = AnsiUpperCase(Search);
    TvcTreeNode* First = GetSearchStartNode();
    TvcTreeNode* Selected = FTreeView->Selected();
    TvcTreeNode* Start = Selected;
    if (!Start || (First && Start->Index() < First->Index() && !Start->Parent())) Start = First;
    TvcTreeNode* Match = nullptr;
    for (TvcTreeNode* Node = Start; Node;) {
      if (IsNodeSelectable(Node) && AnsiUpperCase(Node->Text()).compare(0, Wanted.size(), Wanted) == 0) {
        Match = Node;
        break;
      }
      Node = Node->GetNext();
      if (!Node) Node = First;
      if (Node == Start) break;
    }
    if (Match) {
      const std::string Previous = Text();
      BeginSelectionChange();
      Match->SetSelected(true);
      FSelectedNode = Match;
      if (FShowMatchText) {
        SetTextFromNode(Match->Text());
        const int32_t Typed = int32_t(Utf8Length(Search));
        SetSelStart(int32_t(Utf8Length(Match->Text())));
        if (HandleAllocated())
          SendMessageA(HandleIfAllocated(), EM_SETSEL, WPARAM(Utf8Length(Match->Text())), LPARAM(Typed));
      } else {
        SetTextFromNode(Search);
        SetSelStart(int32_t(Utf8Length(Search)));
        SetSelLength(0);
      }
      if (Previous != Match->Text()) {
        SelectionChange();
        SetModified(true);
      } else {
        FTreeView->FTextFollows = false;
      }
      Key = 0;
    } else if (List) {
      Key = 0;
    } else {
      FTreeView->SetSelected(nullptr);
      FSelectedNode = nullptr;
    }
  }
  if (Key != 0 && FStyle == csDropDown) SetModified(true);
}

void TvcCustomTreeCombo::Change() {
  if (FSettingText) SetModified(true);
  TvcCustomCombo::Change();
  // The image in front of the text follows the text.
  TvcTreeNode* Selected = FTreeView->HandleAllocated() ? FTreeView->Selected() : nullptr;
  if ((!Selected || Selected->Text() != Text()) && HandleAllocated()) {
    RECT Area{1, 0, std::max<LONG>(1, GetEditRect().left - 1), Height()};
    InvalidateRect(HandleIfAllocated(), &Area, FALSE);
  }
}

// ---- binding ------------------------------------------------------------------------------------------------

TvcTreeNode* TvcCustomTreeCombo::NodeOfStoredValue(const std::string& Value) {
  if (FStoreKind == tcsText) return nullptr;
  FTreeView->HandleNeeded();
  for (TvcTreeNode* Node = FTreeView->Items()->GetFirstNode(); Node; Node = Node->GetNext())
    if ((FStoreKind == tcsDataText ? Node->DataText() : Node->DataText2()) == Value) return Node;
  return nullptr;
}

void TvcCustomTreeCombo::DataChange(TObject*) {
  TField* F = Field();
  if (!F) {
    SetTextFromNode(IsDesigning(this) ? Name() : std::string());
    return;
  }
  if (F->DataType() == ftString && FMaxLength == 0 && !IsDesigning(this)) SetMaxLength(F->Size());
  const bool Editing = HasFocus() && FDataLink->CanModify();
  std::string Value = Editing ? F->EditText() : (FStoreKind == tcsText ? F->DisplayText() : F->EditText());
  if (FStoreKind != tcsText)
    if (TvcTreeNode* Node = NodeOfStoredValue(Value)) Value = Node->Text();
  SetTextFromNode(Value);
  SetModified(false);
}

void TvcCustomTreeCombo::UpdateData(TObject*) {
  TField* F = Field();
  if (!F) return;
  std::string Value;
  if (FStoreKind == tcsText) Value = Text();
  else if (FSelectedNode) Value = FStoreKind == tcsDataText ? FSelectedNode->DataText() : FSelectedNode->DataText2();
  if (Value != F->EditText()) F->SetEditText(Value);
}
