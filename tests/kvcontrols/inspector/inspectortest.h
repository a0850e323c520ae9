#pragma once
// What the inspector tests share: an option row whose caption is its key.

#include <string>

#include "kvcontrols/editors/kvinspector.h"

namespace FormsTest {

inline TkvInspectorItem* AddOption(TkvDataInspector* Inspector, const std::string& Key, const std::string& Value,
                                   TWinControl* Control = nullptr) {
  TkvInspectorItem* Item = Inspector->Items()->Add();
  Item->SetCaption(Key);
  Item->SetTagString(Key);
  Item->SetEditText(Value);
  if (Control) Item->SetCustomControl(Control);
  return Item;
}

}  // namespace FormsTest
