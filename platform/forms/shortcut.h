#pragma once
// Keyboard shortcuts of actions and menu items: a key and the modifiers held with it in one
// 16-bit value (the key's virtual-key code in the low byte, scShift, scCtrl and scAlt above), as
// form resources store them, and the text a menu shows for one ("Ctrl+I", "Alt+X", "F1").

#include <cstdint>
#include <string>

#include "platform/forms/controls.h"

using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of Key with the Shift, Ctrl and Alt of Shift (other members are ignored); scNone
// for a key code beyond one byte.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift);
// "Ctrl+Alt+Del"; empty for scNone or a key without a name.
std::string ShortCutToText(TShortCut Value);
// The shortcut a key message stands for: its key with the modifiers held now (Alt from the
// message itself, as a WM_SYSKEYDOWN carries it).
TShortCut ShortCutOfKeyMessage(const TMessage& Message);
