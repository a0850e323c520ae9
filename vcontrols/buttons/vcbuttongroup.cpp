#include "vcontrols/buttons/vcbuttongroup.h"

#include "vcontrols/buttons/vcbutton.h"

KORCAM_REGISTER_CLASS(TvcButtonGroupItem)
KORCAM_REGISTER_CLASS(TvcButtonGroupItems)
KORCAM_REGISTER_CLASS(TvcCustomButtonGroup)
KORCAM_REGISTER_CLASS(TvcButtonGroup)

bool TvcButtonGroupItem::Selected() const {
  return FButton && FButton->Down();
}

TvcCustomButtonGroup::TvcCustomButtonGroup(TComponent* AOwner, const TClassInfo& ItemClass)
    : TCustomControl(AOwner), FButtonItems(std::make_unique<TvcButtonGroupItems>(ItemClass)) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
  SetBounds(0, 0, 75, 100);
}

TvcCustomButtonGroup::~TvcCustomButtonGroup() = default;

void TvcCustomButtonGroup::SetButtonItems(TvcButtonGroupItems* Value) {
  FButtonItems->Assign(Value);
}

TvcButtonGroupItem* TvcCustomButtonGroup::Selected() const {
  TvcButtonGroupItems* List = FButtonItems.get();
  for (int Index = 0; Index < List->Count(); ++Index)
    if (List->Item(Index)->Selected()) return List->Item(Index);
  return nullptr;
}

void TvcCustomButtonGroup::SetSelected(TvcButtonGroupItem* Item) {
  if (Item && Item->Button()) Item->Button()->SetDown(true);
}

void TvcCustomButtonGroup::Loaded() {
  TCustomControl::Loaded();
  // The form stores the items' buttons as the group's children, in the items' order.
  TvcButtonGroupItems* List = FButtonItems.get();
  int Next = 0;
  for (int Index = 0; Index < ControlCount() && Next < List->Count(); ++Index)
    if (auto* Button = dynamic_cast<TvcCustomBitBtn*>(Controls(Index))) List->Item(Next++)->AttachButton(Button);
}
