#include <fstream>
#include <sstream>

#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/sourcepath.h"
#include "tests/vcontrols/combos/pickerform.h"

KORCAM_REGISTER_CLASS(TVcPickersForm)

void TVcPickersForm::ComboChange(TObject* Sender) {
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) Changes.push_back(Component->Name());
}

namespace {

void RegisterPickersResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/vcpickers.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/vcpickersform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

}  // namespace

TVcPickersHolder MakePickersForm() {
  RegisterPickersResource();
  return TVcPickersHolder(NewForm<TVcPickersForm>(nullptr));
}

// Aqua is item 14 of the default list, White item 15; the shadow's list starts with None, then
// Black; the effects' list, by hue with greys last, ends with White.
const TPickerStep PickerSteps[] = {
    {"open the text colour", "ColorText", {-1, -1}, 0},
    {"down to White", nullptr, {}, VK_DOWN},
    {"take it", nullptr, {}, VK_RETURN},
    {"open the shadow colour", "ColorShadow", {-1, -1}, 0},
    {"down to Black", nullptr, {}, VK_DOWN},
    {"click beside it: it closes and takes nothing", "VcPickersForm", {300, 230}, 0},
    {"open the effect colour", "ColorEffects", {-1, -1}, 0},
    {"to the end", nullptr, {}, VK_END},
    {"take it", nullptr, {}, VK_RETURN},
};
const size_t PickerStepCount = std::size(PickerSteps);
const char* const PickerCombos[3] = {"ColorText", "ColorShadow", "ColorEffects"};
const TColor PickerColours[3] = {clWhite, clNone, clWhite};

POINT PickerClickPoint(TVcPickersForm* Form, const TPickerStep& Step) {
  if (auto* Combo = Form->Find<TvcCustomCombo>(Step.Control)) {
    TWinControl* Host = Combo->ButtonHost();
    const POINT Middle{Host->Left() + Host->Width() / 2, Host->Top() + Host->Height() / 2};
    return Form->ScreenToClient(Combo->ClientToScreen(Middle));
  }
  return Step.At;
}

TScreenImage PickerClientImage(THeadlessBackend& Backend, TForm* Form) {
  const TScreenImage Window = Backend.CaptureWindow(Form->Handle());
  RECT Outer{};
  GetWindowRect(Form->Handle(), &Outer);
  const POINT Origin = Form->ClientOrigin();
  TScreenImage Part{Form->ClientWidth(), Form->ClientHeight(), {}};
  Part.Pixels.resize(size_t(Part.Width) * size_t(Part.Height));
  for (int Y = 0; Y < Part.Height; ++Y)
    for (int X = 0; X < Part.Width; ++X)
      Part.Pixels[size_t(Y) * size_t(Part.Width) + size_t(X)] =
          Window.At(X + Origin.x - Outer.left, Y + Origin.y - Outer.top);
  return Part;
}

TPickerRun RunPickersHeadless() {
  TScopedManualClock Clock;
  THeadlessBackend Backend{1024, 768};
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetCursorPos(1023, 767);
  TPickerRun Run;
  {
    TVcPickersHolder Form = MakePickersForm();
    Form->Show();
    Application->ProcessMessages();
    Run.Before = PickerClientImage(Backend, Form.get());
    const POINT Origin = Form->ClientOrigin();
    for (size_t Index = 0; Index < PickerStepCount; ++Index) {
      const TPickerStep& Step = PickerSteps[Index];
      if (Step.Control) {
        const POINT At = PickerClickPoint(Form.get(), Step);
        Backend.Click(VK_LBUTTON, Origin.x + At.x, Origin.y + At.y);
      } else {
        Backend.KeyPress(Step.VirtualKey);
      }
      Application->ProcessMessages();
    }
    // The pointer leaves, so nothing shows a hot look.
    Backend.MouseMove(1023, 767);
    Application->ProcessMessages();
    Run.After = PickerClientImage(Backend, Form.get());
    for (const char* Name : PickerCombos)
      Run.Colours.push_back(Form->Find<TvcColorCombo>(Name)->SelectedColor());
    Run.Changes = Form->Changes;
    if (TWinControl* Focused = TWinControl::FindControl(GetFocus())) Run.FocusedName = Focused->Name();
  }
  Application->ProcessMessages();
  SetKeyboardState(Keys);
  return Run;
}
