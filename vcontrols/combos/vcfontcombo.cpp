#include "vcontrols/combos/vcfontcombo.h"

KORCAM_REGISTER_CLASS(TvcCustomFontCombo)
KORCAM_REGISTER_CLASS(TvcFontCombo)

TvcCustomFontCombo::TvcCustomFontCombo(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 145, 21);
}
