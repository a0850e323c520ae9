#include <fstream>
#include <set>
#include <sstream>

#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/sourcepath.h"
#include "tests/vcontrols/treeview/treeform.h"

KORCAM_REGISTER_CLASS(TVcTreesForm)

void TVcTreesForm::TreeChange(TvcCustomTreeView*, TvcTreeNode* Node) {
  Changes.push_back("Tree " + (Node ? Node->Text() : std::string("nil")));
}

void TVcTreesForm::ComboChange(TObject* Sender) {
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) Changes.push_back(Component->Name());
}

void TVcTreesForm::FontAdd(TObject*, const std::string& Name, TvcComboFontType, const ENUMLOGFONTA&,
                           const NEWTEXTMETRICA&, bool& Accept) {
  static const std::set<std::string> Known = {"Arial", "DejaVu Sans", "DejaVu Serif", "Liberation Mono", "Verdana"};
  Accept = Known.count(Name) != 0;
}

namespace {

void RegisterTreesResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/vctrees.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/vctreesform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

}  // namespace

TVcTreesHolder MakeTreesForm() {
  RegisterTreesResource();
  TVcTreesHolder Form(NewForm<TVcTreesForm>(nullptr));
  auto* Places = Form->Find<TvcCustomTreeCombo>("Places");
  TvcTreeNodes* Items = Places->TreeView()->Items();
  TvcTreeNode* Home = Items->AddChild(nullptr, "Home");
  Items->AddChild(Home, "Pictures");
  Items->AddChild(Home, "Videos");
  Items->AddChild(nullptr, "Desktop");
  return Form;
}

const TTreeStep TreeSteps[] = {
    {"check Show buttons", "Tree", "Show buttons", true, 0},
    {"select Large", "Tree", "Large", false, 0},
    {"up to Medium", nullptr, nullptr, false, VK_UP},
    {"open the places", "Places", nullptr, false, 0},
    {"down to Home", nullptr, nullptr, false, VK_DOWN},
    {"down to Pictures", nullptr, nullptr, false, VK_DOWN},
    {"take it", nullptr, nullptr, false, VK_RETURN},
    {"open the fonts", "Fonts", nullptr, false, 0},
    {"down to Arial", nullptr, nullptr, false, VK_DOWN},
    {"down to DejaVu Sans", nullptr, nullptr, false, VK_DOWN},
    {"take it", nullptr, nullptr, false, VK_RETURN},
};
const size_t TreeStepCount = std::size(TreeSteps);

POINT TreeClickPoint(TVcTreesForm* Form, const TTreeStep& Step) {
  if (auto* Tree = Form->Find<TvcTreeView>(Step.Control)) {
    TvcTreeNode* Node = Tree->Items()->FindNode(Step.Node, false);
    const RECT Text = Node->DisplayRect(true);
    const int Y = (Text.top + Text.bottom) / 2;
    const POINT At = Step.StateIcon ? POINT{Tree->GetButtonRect(Node).right + 6, Y} : POINT{Text.left + 4, Y};
    return Form->ScreenToClient(Tree->ClientToScreen(At));
  }
  auto* Combo = Form->Find<TvcCustomCombo>(Step.Control);
  TWinControl* Host = Combo->ButtonHost();
  const POINT Middle{Host->Left() + Host->Width() / 2, Host->Top() + Host->Height() / 2};
  return Form->ScreenToClient(Combo->ClientToScreen(Middle));
}

TScreenImage TreesClientImage(THeadlessBackend& Backend, TForm* Form) {
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

TTreeRun RunTreesHeadless() {
  TScopedManualClock Clock;
  THeadlessBackend Backend{1024, 768};
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetCursorPos(1023, 767);
  TTreeRun Run;
  {
    TVcTreesHolder Form = MakeTreesForm();
    Form->Show();
    Application->ProcessMessages();
    Run.Before = TreesClientImage(Backend, Form.get());
    const POINT Origin = Form->ClientOrigin();
    for (size_t Index = 0; Index < TreeStepCount; ++Index) {
      const TTreeStep& Step = TreeSteps[Index];
      if (Step.Control) {
        const POINT At = TreeClickPoint(Form.get(), Step);
        Backend.Click(VK_LBUTTON, Origin.x + At.x, Origin.y + At.y);
      } else {
        Backend.KeyPress(Step.VirtualKey);
      }
      Application->ProcessMessages();
      // Clicks far apart in time are no double clicks.
      Clock->Advance(1000);
      Application->ProcessMessages();
    }
    Backend.MouseMove(1023, 767);
    Application->ProcessMessages();
    Run.After = TreesClientImage(Backend, Form.get());
    auto* Tree = Form->Find<TvcTreeView>("Tree");
    Run.Selected = Tree->Selected() ? Tree->Selected()->Text() : "";
    Run.ShowButtonsChecked = Tree->Items()->FindNode("Show buttons", false)->Checked();
    Run.Place = Form->Find<TvcCustomTreeCombo>("Places")->Text();
    Run.Font = Form->Find<TvcFontCombo>("Fonts")->SelectedFont();
    Run.Changes = Form->Changes;
  }
  Application->ProcessMessages();
  SetKeyboardState(Keys);
  return Run;
}
