#include "vcontrols/common/changelink.h"

KORCAM_REGISTER_CLASS(TvcChangeLink)

void TvcChangeLink::Change() {
  if (OnChange) OnChange(SenderObject);
}

void TvcChangeLink::ButtonDown() {
  if (OnButtonDown) OnButtonDown(SenderObject);
}

void TvcChangeLink::ComponentLoaded() {
  if (OnComponentLoaded) OnComponentLoaded(SenderObject);
}
