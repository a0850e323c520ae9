// The colour combo's keys: navigation keys go to the list (also while it is closed, so that Up
// and Down step through the colours), typed characters complete colour names, Delete and
// Backspace clear the colour, and paste selects the colour named by the pasted text.
//
// The key messages are told apart by their codes alone, whether they are WM_KEYDOWN or WM_CHAR:
// a character whose code equals a navigation key's takes the same way.

#include <algorithm>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccolorcombo.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

namespace {

bool IsNavigationCode(WPARAM Code) {
  return Code == VK_PRIOR || Code == VK_NEXT || Code == VK_END || Code == VK_HOME || Code == VK_UP ||
         Code == VK_DOWN;
}

// Keys that open the drop-down of an AutoDropDown combo when typed.
bool IsAutoDropKey(WORD Key) {
  return Key == VK_BACK || Key == VK_SPACE || Key == VK_DELETE || (Key >= 48 && Key <= 111) || Key > 145;
}

}  // namespace

bool TvcCustomColorCombo::HandleListKeys(TMessage& Message) {
  WORD Key = WORD(Message.WParam);
  if (!(Message.Msg != WM_KEYDOWN && Key == VK_F4)) HandleDropDownKeys(Key, KeyDataToShiftState(Message.LParam));
  Message.WParam = Key;
  const bool Dropped = GetDroppedDown();
  const bool InGrid = ParentIsGrid(this);
  CreateColorList();
  if (!Dropped && !FShowMatchText && !InGrid) {
    // At either end of the list the key that would step past it goes nowhere.
    const int Last = FColorList->MasterList().Count() - 1;
    if (FItemIndex == Last && (Key == VK_END || Key == VK_DOWN)) return true;
    if (FItemIndex == 0 && (Key == VK_HOME || Key == VK_UP)) return true;
  }
  if (Dropped && (Key == VK_LEFT || Key == VK_RIGHT)) return false;
  if (Key == 0 || Key == VK_BACK || Key == VK_DELETE) return false;
  if (InGrid && (Key == VK_LEFT || Key == VK_RIGHT)) return false;
  if (!IsNavigationCode(Key)) return false;
  if (!(InGrid && !Dropped)) {
    const bool Forward = !FShowMatchText || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                         ((Key == VK_END || Key == VK_HOME) && Dropped);
    if (Forward) {
      const int Before = FColorList->GetCurrentIndex();
      SendMessageA(FColorList->Handle(), Message.Msg, Message.WParam, Message.LParam);
      const int After = FColorList->GetCurrentIndex();
      if (After != Before && EditCanModify()) {
        SetItemIndex(After);
        SetModified(true);
      }
    }
  }
  if (Dropped) {
    SelectAll();
    return true;
  }
  return false;
}

void TvcCustomColorCombo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
      if (GetKeyState(VK_SHIFT) >= 0 && !IsReadOnly() && HandleListKeys(Message)) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_PASTE:
      TvcCustomCombo::Dispatch(Message);
      SetItemIndex(ShownIndexOfName(Text()));
      return;
    default:
      break;
  }
  TvcCustomCombo::Dispatch(Message);
}

void TvcCustomColorCombo::KeyDown(WORD& Key, TShiftState Shift) {
  const bool Alt = Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
  if (FAutoDropDown && !GetDroppedDown() && FButtonStyle != cbsEllipsis && IsAutoDropKey(Key) && Key != VK_BACK &&
      Key != VK_DELETE && !Alt) {
    FAutoDropping = true;
    struct TClear {
      bool& Flag;
      ~TClear() { Flag = false; }
    } Clear{FAutoDropping};
    DropDown();
  }
  TvcCustomCombo::KeyDown(Key, Shift);
  if ((Key == VK_BACK || Key == VK_DELETE) && FStyle == csDropDownList) {
    const int Length = int(Utf8Length(Text()));
    const bool AllSelected = SelStart() == 0 && SelLength() == Length;
    if (FAllowClearKey && (AllSelected || Key == VK_DELETE)) {
      // The colour is cleared; the key itself goes on.
      if (EditCanModify()) {
        SetText("");
        SetItemIndex(-1);
        SetModified(true);
        ClearColor();
      }
    } else if (FShowMatchText && SelStart() > 0) {
      // One letter less of the typed prefix: the completion grows back by one.
      SendMessageA(Handle(), EM_SETSEL, WPARAM(Length), LPARAM(SelStart() - 1));
      SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
      Key = 0;
    }
  }
  if (IsNavigationCode(Key) && !Shift.Contains(ssShift) && FColorList && FColorList->MasterList().Count() > 0 &&
      (GetDroppedDown() || (Key != VK_END && Key != VK_HOME))) {
    SelectAll();
    DisableTyping();
    Key = 0;
  }
}

void TvcCustomColorCombo::KeyPress(char32_t& Key) {
  TvcCustomCombo::KeyPress(Key);
  if (Key == 0) return;
  if (Key == U'\r') {
    Key = 0;
    return;
  }
  if (!FShowMatchText || (Key == 8 && FStyle == csDropDownList)) {
    Key = 0;
    return;
  }
  if (Key < 32 || Key > 254 || !FColorList || FColorList->MasterList().Count() == 0) return;
  const std::string Current = Text();
  const std::u32string Chars = Utf8ToUtf32(Current);
  const size_t Start = std::min<size_t>(size_t(std::max(SelStart(), 0)), Chars.size());
  const size_t End = std::min<size_t>(Start + size_t(std::max(SelLength(), 0)), Chars.size());
  const std::u32string Typed = Chars.substr(0, Start) + Key + Chars.substr(End);
  const std::string Prefix = AnsiUpperCase(Utf32ToUtf8(Typed));
  TStrings* Items = FColorList->Items();
  const int Count = Items->Count();
  int Found = -1;
  for (int Step = 0, First = std::max(FItemIndex, 0); Step < Count && Found < 0; ++Step) {
    const int Index = (First + Step) % Count;
    if (AnsiUpperCase(GetNameAt(*Items, Index)).compare(0, Prefix.size(), Prefix) == 0) Found = Index;
  }
  if (Found >= 0) {
    if (EditCanModify()) {
      FSelectedColor = FColorList->ColorOfItem(Found);
      if (Found != FColorList->ItemIndex()) FColorList->SelectIndex(Found);
      FItemIndex = Found;
      const std::string Name = GetNameAt(*Items, Found);
      SetText(Name);
      // The caret at the end, the completed part selected back to the end of what was typed.
      SendMessageA(Handle(), EM_SETSEL, WPARAM(Typed.size()), LPARAM(Utf8Length(Name)));
      SetModified(true);
      Invalidate();
    }
    Key = 0;
    return;
  }
  if (FStyle == csDropDownList || !EditCanModify()) {
    Key = 0;
    return;
  }
  SetItemIndex(-1);
  SetModified(true);
  ClearColor();
}

void TvcCustomColorCombo::KeyUp(WORD& Key, TShiftState Shift) {
  const bool Clearing = Text().empty() || (!FShowMatchText && (Key == VK_DELETE || Key == VK_BACK));
  if (Clearing && EditCanModify()) {
    SetItemIndex(-1);
    if (FColorList) FColorList->SelectIndex(-1);
    if (!Text().empty()) SetText("");
    FSelectedColor = vcNoColor;
    Change();
    SetModified(true);
    Invalidate();
  }
  TvcCustomCombo::KeyUp(Key, Shift);
  if (!FShowMatchText) Key = 0;
}
