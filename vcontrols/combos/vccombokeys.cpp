// The combo's keys: the key pre-pass (Tab, Enter and Escape, and the grid's Tab and Enter), the
// drop-down keys, the keys a cell editor leaves to its grid, and the filter of typed characters.

#include "platform/forms/grids.h"
#include "platform/forms/screen.h"
#include "platform/rtl/unicode.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccombo.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

namespace {

bool AltDown(TShiftState Shift) {
  return Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
}

}  // namespace

void TvcCustomCombo::HandleDropDownKeys(WORD& Key, TShiftState Shift) {
  const bool Alt = AltDown(Shift);
  if (((Key == VK_UP || Key == VK_DOWN) && Alt) || (Key == VK_F4 && !Alt)) {
    if (GetDroppedDown())
      CloseUp(true);
    else
      DropDown();
    Key = 0;
  } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && GetDroppedDown() && !Alt) {
    CloseUp(Key == VK_RETURN);
    Key = 0;
  }
}

void TvcCustomCombo::PassToGrid(WORD& Key) {
  TWinControl* Grid = Parent();
  const WORD Passed = Key;
  Key = 0;
  if (!Grid) return;
  if (Grid->CanFocus()) Grid->SetFocus();
  if (Grid->Focused()) Grid->Perform(WM_KEYDOWN, Passed, 0);
}

void TvcCustomCombo::HandleGridKeys(WORD& Key, TShiftState Shift) {
  if (!ParentIsGrid(this)) return;
  if (Key >= VK_PRIOR && Key <= VK_DOWN && GetDroppedDown()) return;
  const bool Alt = AltDown(Shift), Ctrl = Shift.Contains(ssCtrl);
  const bool Inspector = ParentIsInspector(this);
  const bool AlwaysShowEditor = (DataGridOptions(this) & 0x02) != 0;
  const int Length = int(Utf8Length(Text()));
  const int Start = SelStart(), Selected = SelLength();
  const bool AtStart = Start == 0 && (Selected == 0 || Selected == Length);
  const bool AtEnd = Start + Selected == Length && (Selected == 0 || Start == 0);
  switch (Key) {
    case VK_ESCAPE:
      if (!Modified()) PassToGrid(Key);
      break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      if (!Alt) PassToGrid(Key);
      break;
    case VK_LEFT:
      if (!Inspector && AlwaysShowEditor && (Ctrl || AtStart)) PassToGrid(Key);
      break;
    case VK_HOME:
      if (AlwaysShowEditor && (Ctrl || AtStart)) PassToGrid(Key);
      break;
    case VK_RIGHT:
      if (!Inspector && AlwaysShowEditor && (Ctrl || AtEnd)) PassToGrid(Key);
      break;
    case VK_END:
      if (AlwaysShowEditor && (Ctrl || AtEnd)) PassToGrid(Key);
      break;
    case VK_INSERT:
      if (!Shift.Contains(ssShift)) PassToGrid(Key);
      break;
    case VK_DELETE:
      if (Ctrl) PassToGrid(Key);
      break;
    case VK_F2:
      if (Parent()->OnKeyDown) Parent()->OnKeyDown(Parent(), Key, Shift);
      if (Key == VK_F2) {
        if (IsTextEditable() && FStyle == csDropDown && HandleAllocated()) {
          SendMessageA(HandleIfAllocated(), EM_SETSEL, WPARAM(-1), 0);
          SetSelLength(0);
        }
        Key = 0;
      }
      break;
    default:
      break;
  }
  if (Key != 0 && (!IsTextEditable() || FStyle == csDropDownList) && !Inspector &&
      (Key == VK_HOME || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT))
    PassToGrid(Key);
  if (Key == 0) return;
  const bool Active = Screen && Screen->ActiveControl() == this;
  if ((Key == VK_RETURN || Key == VK_TAB) && !Active) return;
  if (Parent()->OnKeyDown) Parent()->OnKeyDown(Parent(), Key, Shift);
}

void TvcCustomCombo::KeyDown(WORD& Key, TShiftState Shift) {
  if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
  if (Key == VK_ESCAPE && Modified() && !GetDroppedDown()) {
    Reset();
    Key = 0;
  }
  if (Key) HandleDropDownKeys(Key, Shift);
  if (Key) HandleGridKeys(Key, Shift);
  // The key-down event runs once, with the key as the steps above left it.
  TCustomEdit::KeyDown(Key, Shift);
  if ((Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) && !EditCanModify()) Key = 0;
}

void TvcCustomCombo::KeyPress(char32_t& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == 0) return;
  if (IsReadOnly()) {
    Key = 0;
    return;
  }
  const bool Typing = Key == 8 || Key == 22 || Key == 24 || (Key >= 32 && Key != 127);
  if (Typing) {
    if (!(IsTextEditable() && (GetDroppedDown() || EditCanModify()))) Key = 0;
  } else if (Key == U'\t' || Key == U'\r') {
    if (ParentIsGrid(this)) Key = 0;
  } else if (Key == 27) {
    Key = 0;
  }
}

void TvcCustomCombo::CNKeyDown(TMessage& Message) {
  if (IsDesigning(this)) {
    TCustomEdit::Dispatch(Message);
    return;
  }
  const WORD Key = WORD(Message.WParam);
  const bool Dropped = GetDroppedDown();
  if (Key == VK_TAB && Dropped) CloseUp(true);
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && Dropped) {
    // The key-down step closes the drop-down.
    Message.Result = 0;
    return;
  }
  if ((Key == VK_RETURN || (Key == VK_ESCAPE && !Modified())) && Parent()) {
    // A dialog's default or cancel button hears of it through the parent's pre-pass.
    if (Parent()->Perform(CN_KEYDOWN, Message.WParam, Message.LParam) != 0) {
      Message.Result = 1;
      return;
    }
  }
  if (auto* Grid = dynamic_cast<TCustomGrid*>(Parent());
      Grid && ParentIsGrid(this) && (Key == VK_RETURN || (Key == VK_TAB && Grid->Options().Contains(goTabs)))) {
    if (Grid->CanFocus()) Grid->SetFocus();
    if (Grid->Focused()) Grid->Perform(WM_KEYDOWN, Message.WParam, Message.LParam);
    Message.Result = 1;
    return;
  }
  TCustomEdit::Dispatch(Message);
}
