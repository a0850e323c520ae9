#pragma once
// The font combo: a tree combo listing the installed fonts under the recently chosen ones.
//
// FIXME: waits for the tree view, the tree combo and the font combo. Until then the combo stands
// in as a plain windowed control holding the properties the main window's form sets and the
// name of the selected font; it lists no fonts.

#include <string>

#include "platform/forms/wincontrol.h"

class TvcCustomFontCombo : public TWinControl {
  KORCAM_CLASS(TvcCustomFontCombo, TWinControl)

 public:
  explicit TvcCustomFontCombo(TComponent* AOwner);

  PLAIN_PROPERTY(bool, ImmediateHints, false)
  PLAIN_PROPERTY(bool, PreLoad, false)

  // The name of the selected font ("" while none is selected), which the main window's stamps
  // are drawn in.
  const std::string& SelectedFont() const { return FSelectedFont; }
  // FIXME: waits for the font combo. The stand-in takes any name; the real combo selects the
  // node of that name in its tree of installed fonts, and nothing when it has none.
  void SetSelectedFont(const std::string& Value) { FSelectedFont = Value; }

 private:
  std::string FSelectedFont;
};

class TvcFontCombo : public TvcCustomFontCombo {
  KORCAM_CLASS(TvcFontCombo, TvcCustomFontCombo)

 public:
  explicit TvcFontCombo(TComponent* AOwner) : TvcCustomFontCombo(AOwner) {}
};
