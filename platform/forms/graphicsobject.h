#pragma once
// TGraphicsObject: the base of the font, pen and brush a canvas draws with. Each of them owns a
// device handle (HFONT, HPEN, HBRUSH) that it makes on first use from its properties and drops
// when a property changes; OnChange tells whoever uses the object (a canvas re-selects it, a
// control repaints).

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"

class TGraphicsObject : public TPersistent {
  KORCAM_CLASS(TGraphicsObject, TPersistent)

 public:
  TGraphicsObject() = default;

  // Fired after every change of a property (and after Assign). A canvas that owns the object
  // binds it; a control binds its own font here as well.
  TNotifyEvent OnChange;

 protected:
  // Called by the setters once the new value is stored. The default calls OnChange.
  virtual void Changed();
};
