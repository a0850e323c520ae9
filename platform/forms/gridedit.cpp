// The grid's editing: when the in-place editor shows, where it goes, what it reads from the grid
// and writes back; the editor itself; and TDrawGrid, which turns the grid's hooks into events.
//
// The editor lives as long as the grid (the grid owns it) and is made the first time it may
// show. It is placed on the current cell whenever editing is on and the grid (or the editor)
// has the focus, or always with goAlwaysShowEditor. Moving to another cell pushes the text to
// the old cell (SetEditText) and pulls the new cell's text (GetEditText).

#include <algorithm>

#include "platform/forms/grids.h"
#include "platform/user/user.h"

namespace {

int32_t CodePointCount(const std::string& Text) {
  int32_t Count = 0;
  for (unsigned char Byte : Text)
    if ((Byte & 0xC0) != 0x80) ++Count;
  return Count;
}

}  // namespace

// ---- the grid's side ---------------------------------------------------------------------------

TInplaceEdit* TCustomGrid::CreateEditor() {
  return new TInplaceEdit(this);
}

bool TCustomGrid::CanEditShow() {
  return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode &&
         !ComponentState().Contains(csDesigning) && HandleAllocated() &&
         (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditAcceptKey(char32_t) {
  return true;
}

bool TCustomGrid::CanEditModify() {
  return FCanEditModify;
}

std::string TCustomGrid::GetEditText(int32_t, int32_t) {
  return std::string();
}

void TCustomGrid::SetEditText(int32_t, int32_t, const std::string&) {}

std::string TCustomGrid::GetEditMask(int32_t, int32_t) {
  return std::string();
}

int32_t TCustomGrid::GetEditLimit() {
  return 0;
}

void TCustomGrid::UpdateEditor() {
  FInplaceCol = Col();
  FInplaceRow = Row();
  FInplaceEdit->UpdateContents();
  // A limit of -1 marks a cell that may be looked at but not changed.
  FCanEditModify = FInplaceEdit->MaxLength() != -1;
  FInplaceEdit->SelectAll();
}

void TCustomGrid::UpdateEdit() {
  if (!CanEditShow()) return;
  if (!FInplaceEdit) {
    FInplaceEdit = CreateEditor();
    FInplaceEdit->FreeNotification(this);
    FInplaceEdit->SetGrid(this);
    FInplaceEdit->SetParent(this);
    UpdateEditor();
  } else if (Col() != FInplaceCol || Row() != FInplaceRow) {
    HideEdit();
    UpdateEditor();
  }
  if (CanEditShow()) FInplaceEdit->Move(CellRect(Col(), Row()));
}

void TCustomGrid::UpdateText() {
  if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
    SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
  if (!FInplaceEdit) return;
  // The text reaches its cell even when SetEditText raises; the editor goes away regardless.
  struct TAfter {
    TCustomGrid* Grid;
    ~TAfter() {
      Grid->FInplaceCol = -1;
      Grid->FInplaceRow = -1;
      if (Grid->FInplaceEdit) Grid->FInplaceEdit->Hide();
    }
  } After{this};
  UpdateText();
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TCustomGrid::ShowEditorChar(char32_t Ch) {
  ShowEditor();
  if (FInplaceEdit && FInplaceEdit->HandleAllocated())
    PostMessageA(FInplaceEdit->HandleIfAllocated(), WM_CHAR, WPARAM(Ch), 0);
}

void TCustomGrid::SetEditorMode(bool Value) {
  if (!Value) {
    HideEditor();
    return;
  }
  ShowEditor();
  if (FInplaceEdit) FInplaceEdit->Deselect();
}

void TCustomGrid::InvalidateEditor() {
  // Forgetting the editor's cell makes the next placement read the cell again.
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEdit();
}

void TCustomGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FInplaceEdit) {
    FInplaceEdit = nullptr;
    FInplaceCol = -1;
    FInplaceRow = -1;
  }
}

// ---- the editor --------------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FParentCtl3D = false;
  FCtl3D = false;
  FTabStop = false;
  FBorderStyle = bsNone;
  FAutoSize = false;
  FVisible = false;
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::SetGrid(TCustomGrid* Value) {
  FGrid = Value;
}

void TInplaceEdit::Deselect() {
  SetSelStart(CodePointCount(Text()));
  SetSelLength(0);
}

void TInplaceEdit::Hide() {
  if (!Visible()) return;
  // The focus goes back to the grid rather than wherever the form would send it.
  if (Focused() && FGrid && FGrid->CanFocus()) {
    FGrid->SetFocus();
    // A grid that places its editor again when it gets the focus (on the new cell) has given it
    // the focus back: the editor now belongs to that cell and stays.
    if (Focused()) return;
  }
  SetVisible(false);
}

void TInplaceEdit::Move(const RECT& Loc) {
  if (Loc.right <= Loc.left || Loc.bottom <= Loc.top) {
    Hide();
    return;
  }
  if (!PosEqual(Loc)) {
    SetBoundsRect(Loc);
    BoundsChanged();
  }
  if (!Visible()) SetVisible(true);
  TCustomMaskEdit::Invalidate();
  if (FGrid && FGrid->Focused()) SetFocus();
}

void TInplaceEdit::UpdateLoc(const RECT& Loc) {
  Move(Loc);
}

bool TInplaceEdit::PosEqual(const RECT& Rect) const {
  const RECT Bounds = BoundsRect();
  return Bounds.left == Rect.left && Bounds.top == Rect.top && Bounds.right == Rect.right &&
         Bounds.bottom == Rect.bottom;
}

void TInplaceEdit::SetFocus() {
  if (Visible() && CanFocus()) TCustomMaskEdit::SetFocus();
}

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  FUpdating = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } Reset{FUpdating};
  SetText(std::string());
  SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
  SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
  SetMaxLength(FGrid->GetEditLimit());
  SetModified(false);
}

void TInplaceEdit::BoundsChanged() {
  // The text sits two pixels in from the cell's top-left corner, like the cell's own text.
  RECT R{2, 2, Width() - 2, Height()};
  Perform(EM_SETRECTNP, 0, LPARAM(&R));
  Perform(EM_SCROLLCARET, 0, 0);
}

bool TInplaceEdit::EditCanModify() {
  return FGrid ? FGrid->CanEditModify() : true;
}

void TInplaceEdit::Change() {
  TCustomMaskEdit::Change();
  if (!FUpdating && FGrid && FGrid->FInplaceCol != -1 && FGrid->FInplaceRow != -1)
    FGrid->SetEditText(FGrid->FInplaceCol, FGrid->FInplaceRow, Text());
}

bool TInplaceEdit::CaretAtStart() const {
  const int32_t Start = SelStart();
  const int32_t Stop = Start + SelLength();
  return Start == 0 && (Stop == 0 || Stop == CodePointCount(Text()));
}

bool TInplaceEdit::CaretAtEnd() const {
  const int32_t Start = SelStart();
  const int32_t Stop = Start + SelLength();
  return (Start == 0 || Start == Stop) && Stop == CodePointCount(Text());
}

void TInplaceEdit::SendToGrid(WORD& Key, TShiftState Shift) {
  if (FGrid) FGrid->KeyDown(Key, Shift);
  Key = 0;
}

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  // With an always-shown editor the arrows leave the text at its ends; otherwise they stay in it.
  const bool ForwardMovement = FGrid && FGrid->Options().Contains(goAlwaysShowEditor);
  const bool Ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
      SendToGrid(Key, Shift);
      break;
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) SendToGrid(Key, Shift);
      break;
    case VK_INSERT:
      if (Shift == TShiftState{})
        SendToGrid(Key, Shift);
      else if (Shift == TShiftState{ssShift} && !EditCanModify())
        Key = 0;
      break;
    case VK_LEFT:
    case VK_HOME:
      if (ForwardMovement && (Ctrl || CaretAtStart())) SendToGrid(Key, Shift);
      break;
    case VK_RIGHT:
    case VK_END:
      if (ForwardMovement && (Ctrl || CaretAtEnd())) SendToGrid(Key, Shift);
      break;
    case VK_DELETE:
      if (Ctrl)
        SendToGrid(Key, Shift);
      else if (!EditCanModify())
        Key = 0;
      break;
    default:
      break;
  }
  if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  // The grid sees every character first (Enter ends editing there).
  if (FGrid) FGrid->KeyPress(Key);
  if (Key >= 32 && Key != 127 && FGrid && !FGrid->CanEditAcceptKey(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  switch (Key) {
    case 9:
    case 27:
      Key = 0;
      break;
    case 13: {
      // Enter in an always-shown editor toggles between all selected and the caret at the end.
      const int32_t Length = CodePointCount(Text());
      if (SelStart() == 0 && SelLength() == Length)
        Deselect();
      else
        SelectAll();
      Key = 0;
      break;
    }
    default:
      if ((Key == 8 || (Key >= 32 && Key != 127)) && !EditCanModify()) Key = 0;
      break;
  }
  if (Key != 0) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
  if (FGrid) FGrid->KeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
  if (FGrid) FGrid->DblClick();
}

bool TInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  return FGrid ? FGrid->DoMouseWheel(Shift, WheelDelta, MousePos) : false;
}

void TInplaceEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (FGrid && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
      return;
    case CM_WANTSPECIALKEY:
      // The grid decides for its editor (Enter while editing).
      Message.Result = FGrid ? FGrid->Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) : 0;
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      if (!EditCanModify()) return;
      TCustomMaskEdit::Dispatch(Message);
      return;
    default:
      TCustomMaskEdit::Dispatch(Message);
      return;
  }
}

// ---- TDrawGrid ---------------------------------------------------------------------------------

std::string TDrawGrid::GetEditText(int32_t ACol, int32_t ARow) {
  std::string Result;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, Result);
  return Result;
}

void TDrawGrid::SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int32_t ACol, int32_t ARow) {
  bool Result = TCustomGrid::SelectCell(ACol, ARow);
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, Result);
  return Result;
}

void TDrawGrid::TopLeftChanged() {
  TCustomGrid::TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}
