#pragma once
// The panel of an outlook bar's page, and the item list a page can show on it.
//
// FIXME: waits for the outlook list. Until then the page panel stands in as a plain windowed
// container filled with its colour; there is no outlook list.

#include "platform/forms/customcontrol.h"

class TvcOutlookPanel : public TCustomControl {
  KORCAM_CLASS(TvcOutlookPanel, TCustomControl)

 public:
  explicit TvcOutlookPanel(TComponent* AOwner);
};
