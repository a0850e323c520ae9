#include "vcontrols/statusbar/vcstatusbar.h"

KORCAM_REGISTER_CLASS(TvcStatusPanel)
KORCAM_REGISTER_CLASS(TvcStatusPanels)
KORCAM_REGISTER_CLASS(TvcCustomStatusBar)
KORCAM_REGISTER_CLASS(TvcStatusBar)

TvcStatusPanel* TvcStatusPanels::PanelByName(const std::string& Name) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (Panel(Index)->Name() == Name) return Panel(Index);
  return nullptr;
}

TvcCustomStatusBar::TvcCustomStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TvcStatusPanels>()) {
  SetAlign(alBottom);
  SetBounds(0, 0, 150, 19);
}

TvcCustomStatusBar::~TvcCustomStatusBar() = default;

void TvcCustomStatusBar::SetPanels(TvcStatusPanels* Value) {
  FPanels->Assign(Value);
}
