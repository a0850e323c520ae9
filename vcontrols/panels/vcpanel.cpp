#include "vcontrols/panels/vcpanel.h"

KORCAM_REGISTER_CLASS(TvcCustomPanel)
KORCAM_REGISTER_CLASS(TvcPanel)
KORCAM_REGISTER_CLASS(TvcCustomGroupBox)
KORCAM_REGISTER_CLASS(TvcGroupBox)

TvcCustomPanel::TvcCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks};
  SetBounds(0, 0, 185, 41);
}

TvcCustomGroupBox::TvcCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks};
  SetBounds(0, 0, 185, 105);
}
