// The colour combo: the selected colour with its text and swatch, typed names, the drop-down
// with its keys and mouse, the colour dialog, and binding to a field by name or integer value.

#include "vcontrols/combos/vccolorcombo.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"

namespace VcTest {
namespace {

using TColorComboTest = TComboTest;

TEST_F(TColorComboTest, Smoke) {
  EXPECT_EQ(Combo->SelectedColor(), vcNoColor);
  EXPECT_EQ(Combo->Text(), "");
  Combo->SetSelectedColor(clAqua);
  EXPECT_EQ(Combo->Text(), "Aqua");
  Combo->SetFocus();
  Pump();
  Stroke(VK_F4);
  EXPECT_TRUE(Combo->GetDroppedDown());
  SaveFormPng(Form, "smoke_open");
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->Text(), "White");
  SaveFormPng(Form, "smoke_closed");
}

}  // namespace
}  // namespace VcTest
