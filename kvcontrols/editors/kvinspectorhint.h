#pragma once
// TkvInspectorHintWindow: the hint the inspector shows over a caption or value cell whose text
// does not fit, with the whole text. The inspector makes one per hint and frees it when the
// mouse leaves the cell, after a while, or when the rows scroll (kvinspectorhint.cpp).

#include "platform/classes/alignment.h"
#include "platform/forms/hintwindow.h"

class TkvInspectorHintWindow : public THintWindow {
  KORCAM_CLASS(TkvInspectorHintWindow, THintWindow)

 public:
  explicit TkvInspectorHintWindow(TComponent* AOwner);

  // Wrap the text at blanks (a value row that wraps its text keeps wrapping in its hint).
  bool WordWrap = false;
  // One line, centred vertically (captions, with ovCenterCaptionVert).
  bool CenterVertically = false;
  TAlignment Alignment = taLeftJustify;

 protected:
  void Paint() override;
};
