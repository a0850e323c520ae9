#include <cstdlib>
#include <filesystem>

#include "platform/user/input.h"
#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"

KORCAM_REGISTER_CLASS(TkvDBGrid)

TkvDBGrid::TkvDBGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TkvDBGrid::KeyDown(WORD& Key, TShiftState Shift) {
  Keys.push_back(Key);
  TCustomGrid::KeyDown(Key, Shift);
}

namespace VcTest {

void TComboTest::SetUp() {
  TVcFormTest::SetUp();
  Backend = std::make_unique<THeadlessBackend>(800, 600);
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
  // The combo starts without the focus (showing the form gave it to the first control).
  Other->SetFocus();
  Pump();
}

void TComboTest::TearDown() {
  TVcFormTest::TearDown();
  Backend.reset();
}

TvcColorCombo* TComboTest::AddColorCombo(const std::string& Name, RECT Bounds, TWinControl* Parent) {
  auto* Result = new TvcColorCombo(Form);
  Result->SetName(Name);
  Result->SetBoundsRect(Bounds);
  Result->SetParent(Parent ? Parent : Form);
  return Result;
}

void TComboTest::PressAt(TControl* Control, int X, int Y, int Button) {
  const POINT Screen = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(Screen.x, Screen.y);
  InjectMouseButton(Button, true, Screen.x, Screen.y);
  Pump();
}

void TComboTest::ReleaseAt(TControl* Control, int X, int Y, int Button) {
  const POINT Screen = Control->ClientToScreen(POINT{X, Y});
  InjectMouseMove(Screen.x, Screen.y);
  InjectMouseButton(Button, false, Screen.x, Screen.y);
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

void TComboTest::SaveScreen(const std::string& Name, RECT Area) {
  const TScreenImage Screen = Backend->CaptureScreen();
  TScreenImage Part;
  Part.Width = Area.right - Area.left;
  Part.Height = Area.bottom - Area.top;
  for (int Y = Area.top; Y < Area.bottom; ++Y)
    for (int X = Area.left; X < Area.right; ++X) Part.Pixels.push_back(Screen.At(X, Y));
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  const std::string Folder = Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
  std::filesystem::create_directories(Folder);
  SaveScreenImagePng(Part, Folder + "/" + Name + ".png");
}

}  // namespace VcTest
