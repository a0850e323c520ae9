#include "vcontrols/text/vctooltip.h"

#include "platform/forms/canvas.h"

KORCAM_REGISTER_CLASS(TvcToolTip)

TFont* vcToolTipFont() {
  // Never freed: hints may be measured while the program shuts down, and the font must not go
  // before the last of them.
  static TFont* Font = new TFont;
  return Font;
}

RECT TvcToolTip::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  Canvas()->SetFont(vcToolTipFont());
  return THintWindow::CalcHintRect(MaxWidth, AHint, AData);
}

void TvcToolTip::Paint() {
  Canvas()->SetFont(vcToolTipFont());
  THintWindow::Paint();
}
