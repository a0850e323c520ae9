#include "tests/vcontrols/combos/combotest.h"

#include "platform/user/input.h"
#include "platform/user/user.h"

namespace VcTest {

void TComboTest::SetUp() {
  TVcFormTest::SetUp();
  Form->SetBounds(0, 0, 320, 240);
  Form->Font()->SetName("DejaVu Sans");
  Form->Font()->SetHeight(-12);
  Combo = AddColorCombo("Combo", RECT{10, 10, 170, 32});
  Other = new TEdit(Form);
  Other->SetName("Other");
  Other->SetBounds(10, 200, 100, 22);
  Other->SetParent(Form);
  Form->Show();
  Pump();
}

TvcColorCombo* TComboTest::AddColorCombo(const std::string& Name, RECT Bounds) {
  auto* Result = new TvcColorCombo(Form);
  Result->SetName(Name);
  Result->SetBoundsRect(Bounds);
  Result->SetParent(Form);
  return Result;
}

void TComboTest::PressAt(TControl* Control, int X, int Y) {
  const POINT Screen = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(Screen.x, Screen.y);
  InjectMouseButton(VK_LBUTTON, true, Screen.x, Screen.y);
  Pump();
}

void TComboTest::ReleaseAt(TControl* Control, int X, int Y) {
  const POINT Screen = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(Screen.x, Screen.y);
  InjectMouseButton(VK_LBUTTON, false, Screen.x, Screen.y);
  Pump();
}

void TComboTest::MoveTo(TControl* Control, int X, int Y) {
  const POINT Screen = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(Screen.x, Screen.y);
  Pump();
}

void TComboTest::ClickAt(TControl* Control, int X, int Y) {
  PressAt(Control, X, Y);
  ReleaseAt(Control, X, Y);
}

POINT TComboTest::ButtonCentre(TvcCustomCombo* Target) {
  TWinControl* Host = Target->ButtonHost();
  return POINT{Host->Left() + Host->Width() / 2, Host->Top() + Host->Height() / 2};
}

void TComboTest::Stroke(int VirtualKey, std::initializer_list<int> Modifiers) {
  for (int Modifier : Modifiers) InjectKey(Modifier, true);
  InjectKeyStroke(VirtualKey);
  for (int Modifier : Modifiers) InjectKey(Modifier, false);
  Pump();
}

void TComboTest::Type(const std::u32string& Text) {
  InjectText(Text);
  Pump();
}

}  // namespace VcTest
