#include "vcontrols/common/changelink.h"

void TvcChangeLink::Change() {
  if (OnChange) OnChange(SenderObject);
}

void TvcChangeLink::ButtonDown() {
  if (OnButtonDown) OnButtonDown(SenderObject);
}

void TvcChangeLink::ComponentLoaded() {
  if (OnComponentLoaded) OnComponentLoaded(SenderObject);
}
