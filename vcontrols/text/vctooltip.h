#pragma once
// The library's hint window: it measures and draws its text in one shared font, which any
// control may change before a hint shows (the font picker shows a font's name in that font).

#include "platform/forms/font.h"
#include "platform/forms/hintwindow.h"

// The font of every tool tip. It lives for the whole run.
TFont* vcToolTipFont();

class TvcToolTip : public THintWindow {
  KORCAM_CLASS(TvcToolTip, THintWindow)

 public:
  explicit TvcToolTip(TComponent* AOwner) : THintWindow(AOwner) {}

  RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;

 protected:
  void Paint() override;
};
