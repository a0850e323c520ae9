#pragma once
// The fixture of the edit family's tests: a form on a manual clock, typing and single keys
// injected through the real message path, and where the ink of a control's painted text lies.

#include <string>

#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/rtl/unicode.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {

class TKvEditTest : public TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Types the text into the focused control, then handles what is queued.
  void Type(const std::u32string& Text);
  // One stroke of a virtual key (with Ctrl or Shift held when asked).
  void Key(int VirtualKey, bool Ctrl = false, bool Shift = false);

  // Moves the focus to a plain edit of the form, so the controls under test are unfocused.
  void Park();

  TForm* Form = nullptr;
  TEdit* Parking = nullptr;
};

// The leftmost and rightmost client columns holding dark (text) pixels, -1 when none.
int InkLeft(TWinControl* Control);
int InkRight(TWinControl* Control);
// Writes the control's client area as PNG (see SavePng) and answers the path.
std::string SaveClientPng(TWinControl* Control, const std::string& Name, int Scale = 3);

}  // namespace FormsTest
