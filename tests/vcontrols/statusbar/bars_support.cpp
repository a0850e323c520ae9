#include "tests/vcontrols/statusbar/bars.h"

#include <fstream>
#include <sstream>

#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/sourcepath.h"

KORCAM_REGISTER_CLASS(TVcBarsForm)

namespace {

std::string Index(TvcButtonGroupItem* Item) { return Item ? std::to_string(Item->Index()) : "-"; }

void RegisterBarsResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/vcbars.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/vcbarsform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

TScreenImage ClientImage(THeadlessBackend& Backend, TForm* Form) {
  const TScreenImage Window = Backend.CaptureWindow(Form->Handle());
  RECT Outer{};
  GetWindowRect(Form->Handle(), &Outer);
  const POINT Origin = Form->ClientOrigin();
  TScreenImage Part{Form->ClientWidth(), Form->ClientHeight(), {}};
  Part.Pixels.resize(size_t(Part.Width) * size_t(Part.Height));
  for (int Y = 0; Y < Part.Height; ++Y)
    for (int X = 0; X < Part.Width; ++X)
      Part.Pixels[size_t(Y) * size_t(Part.Width) + size_t(X)] = Window.At(X + Origin.x - Outer.left, Y + Origin.y - Outer.top);
  return Part;
}

}  // namespace

void TVcBarsForm::TitleChange(TvcCustomButtonGroup*, TvcButtonGroupItem* Old, TvcButtonGroupItem* New) {
  Events.push_back("title " + Index(Old) + ">" + Index(New));
}

void TVcBarsForm::OptionsChange(TvcCustomButtonGroup*, TvcButtonGroupItem* Old, TvcButtonGroupItem* New) {
  Events.push_back("page " + Index(Old) + ">" + Index(New));
}

void TVcBarsForm::ItemClick(TvcCustomOutlookList*, TvcOutlookListItem* Item) { Events.push_back("item " + Item->Text()); }

void TVcBarsForm::PanelClick(TObject* Sender) {
  if (auto* Panel = dynamic_cast<TvcStatusPanel*>(Sender)) Events.push_back("panel " + Panel->Name());
}

TVcBarsHolder MakeBarsForm() {
  RegisterBarsResource();
  return TVcBarsHolder(NewForm<TVcBarsForm>(nullptr));
}

const TBarsStep BarsSteps[] = {
    {"the title group's second button", "TitleAlbum", -1, 0},
    {"the outlook bar's second page", "PageAlbum", -1, 0},
    {"the second item of the open list", "AlbumList", 1, 0},
    {"Caps Lock", nullptr, 0, VK_CAPITAL},
    // (also takes the pointer off the list, so that no item stays hot)
    {"the status bar's text panel", "Status", 0, 0},
};
const size_t BarsStepCount = std::size(BarsSteps);
const std::vector<std::string> BarsEvents = {"title 0>1", "page 0>1", "item Movies", "panel Panel0"};

POINT BarsClickPoint(TVcBarsForm* Form, const TBarsStep& Step) {
  auto* Control = Form->Find<TControl>(Step.Control);
  if (!Control) return POINT{-1, -1};
  RECT Area{0, 0, Control->Width(), Control->Height()};
  if (auto* List = dynamic_cast<TvcCustomOutlookList*>(Control); List && Step.Part >= 0)
    Area = List->Items()->Items(Step.Part)->HitRect();
  if (auto* Bar = dynamic_cast<TvcCustomStatusBar*>(Control); Bar && Step.Part >= 0)
    Area = Bar->Panels()->Items(Step.Part)->GetRect();
  const POINT Screen = Control->ClientToScreen(POINT{(Area.left + Area.right) / 2, (Area.top + Area.bottom) / 2});
  const POINT Origin = Form->ClientOrigin();
  return POINT{Screen.x - Origin.x, Screen.y - Origin.y};
}

TBarsRun RunBarsHeadless() {
  TScopedManualClock Clock;
  // The slide sleeps between its steps: the clock moves while it does.
  Clock->SetSleepAdvances(true);
  THeadlessBackend Backend{1024, 768};
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetCursorPos(1023, 767);
  TBarsRun Run;
  {
    TVcBarsHolder Form = MakeBarsForm();
    Form->Show();
    Application->ProcessMessages();
    Run.Before = ClientImage(Backend, Form.get());
    const POINT Origin = Form->ClientOrigin();
    for (size_t Index = 0; Index < BarsStepCount; ++Index) {
      const TBarsStep& Step = BarsSteps[Index];
      if (Step.Control) {
        const POINT At = BarsClickPoint(Form.get(), Step);
        Backend.Click(VK_LBUTTON, Origin.x + At.x, Origin.y + At.y);
      } else {
        Backend.KeyPress(Step.VirtualKey);
      }
      Application->ProcessMessages();
    }
    Run.After = ClientImage(Backend, Form.get());
    Run.Events = Form->Events;
    Run.CapsOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
  }
  Application->ProcessMessages();
  SetKeyboardState(Keys);
  return Run;
}
