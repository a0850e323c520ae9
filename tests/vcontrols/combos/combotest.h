#pragma once
// The combo tests' fixture: the caption tests' white form with a colour combo and a plain edit to
// move the focus to, the mouse and keys driven through the window system's input (so the combo
// and its drop-down see what a user's hands give them), and a grid-like host by class name.

#include <string>

#include "platform/forms/edit.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/combos/vccolorcombo.h"

namespace VcTest {

class TComboTest : public TVcFormTest {
 protected:
  void SetUp() override;

  TvcColorCombo* AddColorCombo(const std::string& Name, RECT Bounds);
  // A left click at a client point of Control, its messages handled after it.
  void ClickAt(TControl* Control, int X, int Y);
  void PressAt(TControl* Control, int X, int Y);
  void ReleaseAt(TControl* Control, int X, int Y);
  void MoveTo(TControl* Control, int X, int Y);
  // The centre of the combo's drop-down button, in the combo's client coordinates.
  POINT ButtonCentre(TvcCustomCombo* Combo);
  // A key with modifiers held around it.
  void Stroke(int VirtualKey, std::initializer_list<int> Modifiers = {});
  void Type(const std::u32string& Text);

  TvcColorCombo* Combo = nullptr;
  TEdit* Other = nullptr;
};

}  // namespace VcTest
