#pragma once
// TDialogText: a caption of one of our own dialogs (a message, a prompt, a field's name), drawn
// over the dialog's background with the drawing flags the dialog gives it.

#include "platform/forms/graphiccontrol.h"
#include "platform/rtl/wintypes.h"

class TDialogText : public TGraphicControl {
  KORCAM_CLASS(TDialogText, TGraphicControl)

 public:
  TDialogText(TComponent* AOwner, UINT Format);

 protected:
  void Paint() override;

 private:
  UINT FFormat;
};
