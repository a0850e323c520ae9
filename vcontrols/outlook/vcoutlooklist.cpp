#include "vcontrols/outlook/vcoutlooklist.h"

KORCAM_REGISTER_CLASS(TvcOutlookPanel)

TvcOutlookPanel::TvcOutlookPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
}
