// The inspector's shared pick-list combo.

#include "kvcontrols/editors/kvinspectorcombo.h"

#include "kvcontrols/editors/kvinspector.h"
#include "platform/user/input.h"
#include "platform/user/message.h"

KORCAM_REGISTER_CLASS(TkvInspectorComboBox)

TkvInspectorComboBox::TkvInspectorComboBox(TComponent* AOwner) : TkvDBComboBox(AOwner) {
  SetTabStop(false);
}

void TkvInspectorComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) {
    const uint32_t Now = static_cast<uint32_t>(GetMessageTime());
    if (FMouseDownTime != 0 && Now - FMouseDownTime < GetDoubleClickTime()) Message.Msg = WM_LBUTTONDBLCLK;
    FMouseDownTime = 0;
  }
  TkvDBComboBox::Dispatch(Message);
}

void TkvInspectorComboBox::DblClick() {
  TkvDBComboBox::DblClick();
  if (FInspector) FInspector->DblClick();
}

void TkvInspectorComboBox::CloseUp(bool Accept) {
  const bool WasVisible = IsDroppedDown();
  TkvInspectorItem* Item = FInspector ? FInspector->GetActiveItem() : nullptr;
  const std::string Before = Item ? Item->EditText() : std::string();
  TkvDBComboBox::CloseUp(Accept);
  if (!Accept || !WasVisible || !Item || !FInspector) return;
  std::string Value;
  GetValueText(Value);
  Item->SetEditText(Value);
  if (Item->EditText() == Before) return;
  Item->DoItemChanged();
  // Announced here: leaving the row afterwards must not announce the same choice again.
  SetModified(false);
}

void TkvInspectorComboBox::DropDown() {
  TkvInspectorItem* Item = FInspector ? FInspector->GetActiveItem() : nullptr;
  if (!Item || !Item->OnEditButtonClick) return TkvDBComboBox::DropDown();
  Item->OnEditButtonClick(FInspector, Item);
  if (!FInspector || FInspector->GetActiveItem() != Item) return;
  if (!dynamic_cast<TkvDBComboBox*>(FInspector->ActiveEditorControl())) return;
  std::string Value;
  GetValueText(Value);
  if (ButtonStyle() != cbsEllipsis) {
    Item->SetEditText(Value);
  } else if (FInspector->CanEditModify()) {
    Item->SetEditText(Value);
    FInspector->SetLastEditText(Value);
  }
}
