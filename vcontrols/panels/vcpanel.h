#pragma once
// The library's panel and group box.
//
// FIXME: waits for the panel, group box and edit frame. Until then they stand in as plain
// windowed containers filled with their colour, with the properties the main window's form sets;
// no frame, no transparency, no caption painting.

#include "platform/forms/customcontrol.h"

class TvcCustomPanel : public TCustomControl {
  KORCAM_CLASS(TvcCustomPanel, TCustomControl)

 public:
  explicit TvcCustomPanel(TComponent* AOwner);
};

class TvcPanel : public TvcCustomPanel {
  KORCAM_CLASS(TvcPanel, TvcCustomPanel)

 public:
  explicit TvcPanel(TComponent* AOwner) : TvcCustomPanel(AOwner) {}
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
};

class TvcCustomGroupBox : public TCustomControl {
  KORCAM_CLASS(TvcCustomGroupBox, TCustomControl)

 public:
  explicit TvcCustomGroupBox(TComponent* AOwner);
};

class TvcGroupBox : public TvcCustomGroupBox {
  KORCAM_CLASS(TvcGroupBox, TvcCustomGroupBox)

 public:
  explicit TvcGroupBox(TComponent* AOwner) : TvcCustomGroupBox(AOwner) {}
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
};
