#include "platform/forms/graphicsobject.h"

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}
