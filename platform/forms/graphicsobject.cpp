#include "platform/forms/graphicsobject.h"

KORCAM_REGISTER_CLASS(TGraphicsObject)

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}
