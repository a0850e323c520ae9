#pragma once
// TkvInspectorComboBox: the one combo box an inspector shares between all its pick-list rows. It
// is placed over the value cell of the current row, filled from that row's pick list, and on an
// accepted close-up writes the chosen value straight into the row and announces it there, once.

#include <cstdint>

#include "kvcontrols/editors/kvcombobox.h"

class TkvDataInspector;

class TkvInspectorComboBox : public TkvDBComboBox {
  KORCAM_CLASS(TkvInspectorComboBox, TkvDBComboBox)

 public:
  explicit TkvInspectorComboBox(TComponent* AOwner);

  TkvDataInspector* Inspector() const { return FInspector; }
  void SetInspector(TkvDataInspector* Value) { FInspector = Value; }
  // A click on the inspector that placed the combo, followed quickly by a click on the combo,
  // counts as a double click; the inspector stamps the time of its mouse-down here.
  void SetMouseDownTime(uint32_t Value) { FMouseDownTime = Value; }
  uint32_t MouseDownTime() const { return FMouseDownTime; }

  void Dispatch(TMessage& Message) override;
  void DblClick() override;
  void CloseUp(bool Accept) override;
  void DropDown() override;

 private:
  TkvDataInspector* FInspector = nullptr;
  uint32_t FMouseDownTime = 0;
};
