// The tree combo: prefix search and completion by typing, the keys that move the selection with
// the drop-down closed or open (leaf-only and unselectable nodes passed over), opening and closing
// with and without taking the node, the clear key, hot tracking and scrolling with the button
// held, the text-to-image list, and its nodes' extension block in the node stream.

#include "vcontrols/combos/vctreecombo.h"

#include <gtest/gtest.h>

#include "platform/forms/imagelist.h"
#include "platform/rtl/streams.h"
#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"

namespace VcTest {
namespace {

// The tree combo itself, as a form would hold one.
class TTestTreeCombo : public TvcCustomTreeCombo {
  KORCAM_CLASS(TTestTreeCombo, TvcCustomTreeCombo)

 public:
  explicit TTestTreeCombo(TComponent* AOwner) : TvcCustomTreeCombo(AOwner) {}
  int32_t ImageOf(const std::string& Text) { return ImageIndexOfText(Text); }
};
KORCAM_REGISTER_CLASS(TTestTreeCombo)

class TTreeComboTest : public TComboTest {
 protected:
  void SetUp() override {
    TComboTest::SetUp();
    Tree = new TTestTreeCombo(Form);
    Tree->SetName("TreeCombo");
    Tree->SetBounds(10, 50, 160, 22);
    Tree->SetParent(Form);
    Tree->OnCloseUp = TvcComboCloseUpEvent([this](TObject*, bool Select) { CloseUps.push_back(Select); });
    Tree->OnSelectionChange = TNotifyEvent([this](TObject*) { ++SelectionChanges; });
    Pump();
  }
  // Nodes from lines like "a", " a1" (one blank per level).
  std::vector<TvcTreeNode*> Build(const std::vector<std::string>& Lines) {
    std::vector<TvcTreeNode*> Result, Parents;
    for (const std::string& Line : Lines) {
      const size_t Level = Line.find_first_not_of(' ');
      Parents.resize(Level);
      TvcTreeNode* Node = Tree->TreeView()->Items()->AddChild(Level ? Parents[Level - 1] : nullptr, Line.substr(Level));
      Parents.push_back(Node);
      Result.push_back(Node);
    }
    return Result;
  }
  void Focus() {
    Tree->SetFocus();
    Pump();
  }
  TvcTreeNode* Selected() { return Tree->TreeView()->Selected(); }
  std::string SelectedText() { return Selected() ? Selected()->Text() : "nil"; }
  // The selected part of the text.
  std::string Marked() { return Tree->SelText(); }

  TTestTreeCombo* Tree = nullptr;
  std::vector<bool> CloseUps;
  int SelectionChanges = 0;
};

TEST_F(TTreeComboTest, TypingFindsAndCompletesByPrefix) {
  Build({"Apple", "Arial", "Arrow", "Banana"});
  Tree->SetStyle(vccombo::csDropDownList);
  Focus();
  struct TStep {
    const char32_t* Typed;
    const char* Text;
    const char* Marked;
  };
  const TStep Steps[] = {
      {U"a", "Apple", "pple"},
      {U"r", "Arial", "ial"},
      {U"x", "Arial", "ial"},  // no node: the list takes no character
      {U"r", "Arrow", "ow"},
  };
  for (const TStep& Step : Steps) {
    SCOPED_TRACE(std::string(Step.Text) + " after a key");
    Type(Step.Typed);
    EXPECT_EQ(Tree->Text(), Step.Text);
    EXPECT_EQ(Marked(), Step.Marked);
    EXPECT_EQ(SelectedText(), Step.Text);
  }
  EXPECT_EQ(SelectionChanges, 3);
  // Enter searches nothing: the node chosen stays.
  Stroke(VK_RETURN);
  EXPECT_EQ(Tree->Text(), "Arrow");
  EXPECT_EQ(SelectedText(), "Arrow");
  EXPECT_EQ(Tree->SelectedNode(), Selected());
  // Backspace shortens the matched prefix.
  Stroke(VK_BACK);
  EXPECT_EQ(Tree->Text(), "Arrow");
  EXPECT_EQ(Marked(), "row");
  // A drop-down combo without a match lets the character through and chooses nothing.
  Tree->SetStyle(vccombo::csDropDown);
  Tree->SetText("");
  Type(U"q");
  EXPECT_EQ(Tree->Text(), "q");
  EXPECT_EQ(Selected(), nullptr);
}

TEST_F(TTreeComboTest, KeysMoveTheSelectionClosedAndPassOverWhatCannotBeChosen) {
  const auto Nodes = Build({"Fruit", " Apple", " Pear", "Vegetables", " Leek", " Onion", "Nuts"});
  Tree->SetStyle(vccombo::csDropDownList);
  Tree->SetComboOptions(TvcTreeComboOptions{tcoExpandAllOnDropDown, tcoLeafSelectOnly});
  static_cast<TvcTreeComboTreeNode*>(Nodes[5])->SetSelectable(false);  // Onion
  Focus();
  struct TStep {
    int Key;
    const char* Selected;
  };
  const TStep Steps[] = {
      {VK_DOWN, "Apple"},  // nothing selected: the first node that can be chosen
      {VK_DOWN, "Pear"},
      {VK_DOWN, "Leek"},   // a parent is passed over
      {VK_DOWN, "Nuts"},   // and a node that is not selectable
      {VK_UP, "Leek"},
      {VK_HOME, "Apple"},
      {VK_END, "Nuts"},
  };
  for (const TStep& Step : Steps) {
    SCOPED_TRACE(Step.Selected);
    Stroke(Step.Key);
    EXPECT_EQ(SelectedText(), Step.Selected);
    EXPECT_EQ(Tree->Text(), Step.Selected);
    EXPECT_FALSE(Tree->GetDroppedDown());
  }
  // At the end the walk comes back: the selection stays.
  Stroke(VK_DOWN);
  EXPECT_EQ(SelectedText(), "Nuts");
}

TEST_F(TTreeComboTest, EscapeBringsBackTheOpeningNodeAndEnterTakesTheNewOne) {
  const auto Nodes = Build({"one", "two", "three"});
  Tree->SetStyle(vccombo::csDropDownList);
  Focus();
  Stroke(VK_DOWN);
  ASSERT_EQ(Tree->Text(), "one");
  Tree->DropDown();
  Pump();
  ASSERT_TRUE(Tree->GetDroppedDown());
  Stroke(VK_DOWN);
  Stroke(VK_DOWN);
  EXPECT_EQ(SelectedText(), "three");
  Stroke(VK_ESCAPE);
  EXPECT_FALSE(Tree->GetDroppedDown());
  EXPECT_EQ(Tree->Text(), "one");
  EXPECT_EQ(SelectedText(), "one");
  ASSERT_FALSE(CloseUps.empty());
  EXPECT_FALSE(CloseUps.back());
  // Enter takes the node moved to.
  Tree->DropDown();
  Pump();
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_FALSE(Tree->GetDroppedDown());
  EXPECT_EQ(Tree->Text(), "two");
  EXPECT_TRUE(CloseUps.back());
  EXPECT_TRUE(Tree->Modified());
}

TEST_F(TTreeComboTest, TheClearKey) {
  Build({"Alpha", "Beta"});
  Tree->SetStyle(vccombo::csDropDownList);
  Tree->SetAllowClearKey(true);
  Focus();
  Type(U"b");
  ASSERT_EQ(Tree->Text(), "Beta");
  // Backspace with match text only shortens the prefix.
  Stroke(VK_END);
  Type(U"b");
  Stroke(VK_BACK);
  EXPECT_EQ(Tree->Text(), "Beta");
  // Delete while closed clears the text and the selection.
  Stroke(VK_DELETE);
  EXPECT_EQ(Tree->Text(), "");
  EXPECT_EQ(Selected(), nullptr);
  EXPECT_EQ(Tree->SelectedNode(), nullptr);
}

TEST_F(TTreeComboTest, HotTrackingAndAReleaseOnANode) {
  const auto Nodes = Build({"red", "green", "blue", "cyan"});
  Focus();
  Tree->DropDown();
  Pump();
  TvcPopupTreeView* Popup = Tree->TreeView();
  ASSERT_TRUE(Popup->Showing());
  auto Row = [&](TvcTreeNode* Node) {
    const RECT Text = Node->DisplayRect(true);
    return POINT{Text.left + 4, (Text.top + Text.bottom) / 2};
  };
  // The first move only tells where the pointer is; the next ones select what lies under it.
  MoveTo(Popup, Row(Nodes[1]).x, Row(Nodes[1]).y);
  MoveTo(Popup, Row(Nodes[2]).x, Row(Nodes[2]).y);
  EXPECT_EQ(SelectedText(), "blue");
  EXPECT_EQ(Tree->Text(), "");  // the text waits for the choice
  ClickAt(Popup, Row(Nodes[3]).x, Row(Nodes[3]).y);
  EXPECT_FALSE(Tree->GetDroppedDown());
  EXPECT_EQ(Tree->Text(), "cyan");
  EXPECT_TRUE(CloseUps.back());
  // A press outside both (on the form) closes without taking anything.
  Tree->DropDown();
  Pump();
  MoveTo(Popup, Row(Nodes[0]).x, Row(Nodes[0]).y);
  MoveTo(Popup, Row(Nodes[1]).x, Row(Nodes[1]).y);
  ClickAt(Form, 300, 150);
  EXPECT_FALSE(Tree->GetDroppedDown());
  EXPECT_EQ(Tree->Text(), "cyan");
  EXPECT_FALSE(CloseUps.back());
}

TEST_F(TTreeComboTest, HoldingTheButtonBelowTheDropDownScrollsThenTakes) {
  std::vector<std::string> Lines;
  for (int Index = 0; Index < 30; ++Index) Lines.push_back("node " + std::to_string(Index));
  const auto Nodes = Build(Lines);
  Focus();
  Tree->DropDown();
  Pump();
  TvcPopupTreeView* Popup = Tree->TreeView();
  const RECT First = Nodes[0]->DisplayRect(true);
  // The pointer comes onto the first node (which it selects) and presses there.
  MoveTo(Popup, First.left + 2, First.top + 4);
  MoveTo(Popup, First.left + 4, First.top + 4);
  ASSERT_EQ(SelectedText(), "node 0");
  PressAt(Popup, First.left + 4, First.top + 4);
  MoveTo(Popup, First.left + 4, Popup->ClientHeight() + Tree->Height() + 10);
  // One step at once, then one every 50 ms.
  EXPECT_EQ(SelectedText(), "node 1");
  Advance(50, 50);
  EXPECT_EQ(SelectedText(), "node 2");
  Advance(100, 50);
  EXPECT_EQ(SelectedText(), "node 4");
  ReleaseAt(Popup, First.left + 4, Popup->ClientHeight() + Tree->Height() + 10);
  EXPECT_FALSE(Tree->GetDroppedDown());
  EXPECT_EQ(Tree->Text(), "node 4");
  EXPECT_TRUE(CloseUps.back());
}

TEST_F(TTreeComboTest, TheTextToImageListFollowsTheNodes) {
  auto* Images = new TImageList(Form);
  Images->SetSize(16, 16);
  Tree->TreeView()->SetImages(Images);
  const auto Nodes = Build({"disk", "folder"});
  Nodes[0]->SetImageIndex(3);
  Nodes[1]->SetImageIndex(5);
  EXPECT_EQ(Tree->TextImages()->Text(), "disk=3\nfolder=5\n");
  Nodes[1]->SetText("album");
  Nodes[0]->SetImageIndex(4);
  EXPECT_EQ(Tree->TextImages()->Text(), "disk=4\nalbum=5\n");
  // A text typed by hand that is a node's shows that node's image.
  EXPECT_EQ(Tree->ImageOf("album"), 5);
  EXPECT_EQ(Tree->ImageOf("ALBUM"), 5);
  EXPECT_EQ(Tree->ImageOf("nothing"), -1);
  Nodes[0]->Delete();
  EXPECT_EQ(Tree->TextImages()->Text(), "album=5\n");
  // The edit's text starts after the image.
  EXPECT_EQ(Tree->GetLeftIndent(), 1 + 16 + 2);
}

TEST_F(TTreeComboTest, NodesStreamTheirSelectableFlag) {
  TvcCustomTreeView* View = Tree->TreeView();
  const auto Nodes = Build({"a", " a1", "b"});
  static_cast<TvcTreeComboTreeNode*>(Nodes[1])->SetSelectable(false);
  TMemoryStream Stream;
  View->Items()->WriteData(Stream);
  // N = 39 + L + 5: the extension block (count 1, one byte) follows the subtree.
  const auto* Bytes = static_cast<const uint8_t*>(Stream.Memory());
  EXPECT_EQ(Bytes[4], 39 + 1 + 5);
  Stream.SetPosition(0);
  View->Items()->ReadData(Stream);
  ASSERT_EQ(View->Items()->Count(), 3);
  EXPECT_TRUE(static_cast<TvcTreeComboTreeNode*>(View->Items()->Item(0))->Selectable());
  EXPECT_FALSE(static_cast<TvcTreeComboTreeNode*>(View->Items()->Item(1))->Selectable());
  // The first streams put the block first (version 0).
  TMemoryStream Old;
  const uint8_t Root[] = {1, 0, 0, 0};
  Old.WriteBuffer(Root, 4);
  const uint8_t Extension[] = {1, 0, 0, 0, 0};
  Old.WriteBuffer(Extension, 5);
  uint8_t Record[4 + 40] = {40, 0, 0, 0};
  Record[4 + 38] = 1;
  Record[4 + 39] = 'z';
  Old.WriteBuffer(Record, sizeof(Record));
  Old.SetPosition(0);
  View->SetStreamVersion(0);
  View->Items()->ReadData(Old);
  ASSERT_EQ(View->Items()->Count(), 1);
  EXPECT_EQ(View->Items()->Item(0)->Text(), "z");
  EXPECT_FALSE(static_cast<TvcTreeComboTreeNode*>(View->Items()->Item(0))->Selectable());
}

}  // namespace
}  // namespace VcTest
