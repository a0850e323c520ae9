#include "platform/forms/shortcut.h"

namespace {

// The names menus show; letters and digits name themselves.
std::string KeyName(WORD Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return std::string(1, char(Key));
  if (Key >= VK_F1 && Key <= VK_F24) return "F" + std::to_string(Key - VK_F1 + 1);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return "Num " + std::to_string(Key - VK_NUMPAD0);
  switch (Key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num .";
    case VK_DIVIDE: return "Num /";
    default: return "";
  }
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key > 0xFF) return scNone;
  TShortCut Result = TShortCut(Key);
  if (Shift.Contains(ssShift)) Result |= scShift;
  if (Shift.Contains(ssCtrl)) Result |= scCtrl;
  if (Shift.Contains(ssAlt)) Result |= scAlt;
  return Result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift) {
  Key = WORD(Value & 0xFF);
  Shift = TShiftState();
  if (Value & scShift) Shift.Include(ssShift);
  if (Value & scCtrl) Shift.Include(ssCtrl);
  if (Value & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut Value) {
  const std::string Name = KeyName(WORD(Value & 0xFF));
  if (Name.empty()) return "";
  std::string Text;
  if (Value & scShift) Text += "Shift+";
  if (Value & scCtrl) Text += "Ctrl+";
  if (Value & scAlt) Text += "Alt+";
  return Text + Name;
}

TShortCut ShortCutOfKeyMessage(const TMessage& Message) {
  return ShortCut(WORD(Message.WParam), KeyDataToShiftState(Message.LParam));
}
