#pragma once
// The small controls the demo form is made of: a panel (filled, or transparent, with an optional
// raised or lowered frame and a centred caption), a windowless shape (rectangle or ellipse), and
// a windowless label that draws only its text.

#include "platform/forms/customcontrol.h"
#include "platform/forms/form.h"
#include "platform/forms/graphiccontrol.h"

class TDemoForm : public TForm {
  KORCAM_CLASS(TDemoForm, TForm)

 public:
  explicit TDemoForm(TComponent* AOwner) : TForm(AOwner) {}
};

class TDemoPanel : public TCustomControl {
  KORCAM_CLASS(TDemoPanel, TCustomControl)

 public:
  explicit TDemoPanel(TComponent* AOwner);
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PROPERTY(bool, Transparent, false)
  PROPERTY(int32_t, Bevel, 0)  // 0 none, 1 raised, 2 lowered
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};

class TDemoShape : public TGraphicControl {
  KORCAM_CLASS(TDemoShape, TGraphicControl)

 public:
  explicit TDemoShape(TComponent* AOwner);
  PROPERTY(int32_t, Kind, 0)  // 0 rectangle, 1 ellipse
  PROPERTY(TColor, BrushColor, clWhite)
  PROPERTY(TColor, PenColor, clBlack)

 protected:
  void Paint() override;
};

class TDemoLabel : public TGraphicControl {
  KORCAM_CLASS(TDemoLabel, TGraphicControl)

 public:
  explicit TDemoLabel(TComponent* AOwner);
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")

 protected:
  void Paint() override;
};
