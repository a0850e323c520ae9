#pragma once
// TGraphicControl: a windowless control. It paints on its parent's device context, with the
// origin moved to its top-left corner and the clip limited to its rectangle, when its parent
// paints (WM_PAINT with that DC); what it does not paint shows what the parent painted beneath
// it, unless the control is csOpaque, which lets the parent skip its area.

#include <memory>

#include "platform/forms/control.h"
#include "platform/forms/controlcanvas.h"

class TGraphicControl : public TControl {
  KORCAM_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}

 private:
  void WMPaint(TMessage& Message);
  std::unique_ptr<TControlCanvas> FCanvas;
};
