#pragma once
// TvcChangeLink: the observer that bitmaps, image controls and owner-drawn buttons notify. A
// notifier keeps a list of links it does not own and, for each in registration order, sets the
// link's SenderObject to the object that changed and calls one of the three operations; each
// fires its event, when set, with SenderObject as the sender.

#include "platform/classes/events.h"
#include "platform/classes/object.h"

class TvcChangeLink : public TObject {
  KORCAM_CLASS(TvcChangeLink, TObject)

 public:
  TvcChangeLink() = default;

  TNotifyEvent OnChange;
  TNotifyEvent OnButtonDown;
  TNotifyEvent OnComponentLoaded;
  // The object that changed; set by the notifier just before each call.
  TObject* SenderObject = nullptr;

  virtual void Change();
  virtual void ButtonDown();
  virtual void ComponentLoaded();
};
