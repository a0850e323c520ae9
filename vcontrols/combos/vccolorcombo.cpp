#include "vcontrols/combos/vccolorcombo.h"

KORCAM_REGISTER_CLASS(TvcColorListOptions)
KORCAM_REGISTER_CLASS(TvcCustomColorCombo)
KORCAM_REGISTER_CLASS(TvcColorCombo)

void TvcColorListOptions::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TvcColorListOptions*>(Source)) {
    FOptions = Other->FOptions;
    return;
  }
  TPersistent::Assign(Source);
}

TvcCustomColorCombo::TvcCustomColorCombo(TComponent* AOwner)
    : TWinControl(AOwner), FColorListOptions(std::make_unique<TvcColorListOptions>()) {
  SetBounds(0, 0, 145, 21);
}

TvcCustomColorCombo::~TvcCustomColorCombo() = default;

void TvcCustomColorCombo::SetColorListOptions(TvcColorListOptions* Value) {
  FColorListOptions->Assign(Value);
}
