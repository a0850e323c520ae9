#pragma once
// The font combo: a tree combo listing the installed fonts under the recently chosen ones.
//
// FIXME: waits for the tree view, the tree combo and the font combo. Until then the combo stands
// in as a plain windowed control holding the properties the main window's form sets; it lists no
// fonts and has no selection.

#include "platform/forms/wincontrol.h"

class TvcCustomFontCombo : public TWinControl {
  KORCAM_CLASS(TvcCustomFontCombo, TWinControl)

 public:
  explicit TvcCustomFontCombo(TComponent* AOwner);

  PLAIN_PROPERTY(bool, ImmediateHints, false)
  PLAIN_PROPERTY(bool, PreLoad, false)
};

class TvcFontCombo : public TvcCustomFontCombo {
  KORCAM_CLASS(TvcFontCombo, TvcCustomFontCombo)

 public:
  explicit TvcFontCombo(TComponent* AOwner) : TvcCustomFontCombo(AOwner) {}
};
