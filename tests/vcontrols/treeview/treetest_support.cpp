#include "tests/vcontrols/treeview/treetest.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace TreeTest {

void TTreeViewTest::SetUp() {
  TFormsTest::SetUp();
  Form = NewForm<TForm>(nullptr);
  Form->SetBounds(50, 50, 300, 260);
  View = new TvcTreeView(Form);
  View->SetName("Tree");
  View->SetParent(Form);
  View->SetBounds(8, 8, 220, 200);
  Form->Show();
  Pump();
}

void TTreeViewTest::TearDown() {
  Form->Free();
  TFormsTest::TearDown();
}

std::vector<TvcTreeNode*> TTreeViewTest::Build(const std::vector<std::string>& Lines) {
  std::vector<TvcTreeNode*> Result;
  std::vector<TvcTreeNode*> Parents;
  for (const std::string& Line : Lines) {
    const size_t Level = Line.find_first_not_of(' ');
    Parents.resize(Level);
    TvcTreeNode* Parent = Level ? Parents[Level - 1] : nullptr;
    TvcTreeNode* Node = View->Items()->AddChild(Parent, Line.substr(Level));
    Parents.push_back(Node);
    Result.push_back(Node);
  }
  return Result;
}

std::string TTreeViewTest::Shape() const {
  std::string Result;
  for (TvcTreeNode* Node = View->Items()->GetFirstNode(); Node; Node = Node->GetNext()) {
    if (!Result.empty()) Result += "|";
    Result += std::string(size_t(Node->Level()), ' ') + Node->Text();
  }
  return Result;
}

POINT TTreeViewTest::PointOf(TvcTreeNode* Node, TPart Part) const {
  const RECT Text = Node->DisplayRect(true);
  const int Y = (Text.top + Text.bottom) / 2;
  switch (Part) {
    case TPart::Label: return POINT{Text.left + 3, Y};
    case TPart::Right: return POINT{Text.right + 5, Y};
    case TPart::Button: return POINT{View->GetButtonX(Node), Y};
    case TPart::StateIcon: {
      const RECT Button = View->GetButtonRect(Node);
      return POINT{Button.right + 6, Y};
    }
  }
  return POINT{};
}

void TTreeViewTest::ClickNode(TvcTreeNode* Node, TPart Part, bool Shift, bool Ctrl) {
  const POINT P = PointOf(Node, Part);
  if (Shift) InjectKey(VK_SHIFT, true);
  if (Ctrl) InjectKey(VK_CONTROL, true);
  Pump();
  FormsTest::ClickAt(View, P.x, P.y);
  Pump();
  if (Shift) InjectKey(VK_SHIFT, false);
  if (Ctrl) InjectKey(VK_CONTROL, false);
  Pump();
  // Far apart in time: the next click is not a double click.
  Advance(1000, 1000);
}

void TTreeViewTest::DoubleClickNode(TvcTreeNode* Node) {
  const POINT P = PointOf(Node, TPart::Label);
  FormsTest::ClickAt(View, P.x, P.y);
  FormsTest::ClickAt(View, P.x, P.y);
  Pump();
  Advance(1000, 1000);
}

void TTreeViewTest::RecordEvents() {
  auto Name = [](TvcTreeNode* Node) { return Node ? Node->Text() : std::string("nil"); };
  View->OnChange = TvcTVChangedEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node) {
    Events.push_back("Change " + Name(Node));
  });
  View->OnChanging = TvcTVChangingEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node, bool&) {
    Events.push_back("Changing " + Name(Node));
  });
  View->OnToggleCheckbox = TvcToggleCheckboxEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node) {
    Events.push_back("Toggle " + Name(Node));
  });
  View->OnDeletion = TvcTVExpandedEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node) {
    Events.push_back("Deletion " + Name(Node));
  });
  View->OnExpanded = TvcTVExpandedEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node) {
    Events.push_back("Expanded " + Name(Node));
  });
  View->OnCollapsed = TvcTVExpandedEvent([this, Name](TvcCustomTreeView*, TvcTreeNode* Node) {
    Events.push_back("Collapsed " + Name(Node));
  });
}

std::string Texts(const std::vector<TvcTreeNode*>& Nodes) {
  std::string Result;
  for (TvcTreeNode* Node : Nodes) Result += (Result.empty() ? "" : ",") + (Node ? Node->Text() : "nil");
  return Result;
}

}  // namespace TreeTest
