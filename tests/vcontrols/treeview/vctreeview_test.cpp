// The tree view as a user drives it, through the real input path: check boxes and radio buttons
// (the three-state cycle by clicks and the space bar, ReadOnly), multi-selection (levels, Ctrl,
// Shift ranges, AutoUnselect), the delayed OnChange, double clicks, label editing, right clicks,
// link nodes, 3-D expand buttons, the node hint of clipped texts, the image-less nodes' hit test,
// options as window styles, and dragging one node onto another.

#include "vcontrols/treeview/vctreeview.h"

#include <gtest/gtest.h>

#include "platform/forms/imagelist.h"
#include "platform/forms/screen.h"
#include "platform/shell/launcher.h"
#include "platform/user/input.h"
#include "tests/platform/forms/widgets/widgettest.h"
#include "tests/vcontrols/treeview/treetest.h"

namespace TreeTest {
namespace {

class TRecordingLauncher : public TProgramLauncher {
 public:
  int Launch(const TLaunchRequest& Request) override {
    Requests.push_back(Request);
    return 0;
  }
  std::vector<TLaunchRequest> Requests;
};

using TreeViewTest = TTreeViewTest;

TEST_F(TreeViewTest, ThreeStateCycleByClicksAndTheSpaceBar) {
  const auto Nodes = Build({"box", "plain"});
  TvcTreeNode* Box = Nodes[0];
  Box->SetCheckboxType(vccbCheckbox);
  View->SetOptions(View->Options() + TvcTreeViewOptions{tvo3StateCheckbox});
  RecordEvents();
  struct TStep {
    bool Checked, Grayed;
  };
  // Unchecked -> checked -> checked and grayed -> unchecked.
  const TStep Cycle[] = {{true, false}, {true, true}, {false, false}};
  for (const TStep& Step : Cycle) {
    ClickNode(Box, TPart::StateIcon);
    EXPECT_EQ(Box->Checked(), Step.Checked);
    EXPECT_EQ(Box->Grayed(), Step.Grayed);
  }
  // The same with the space bar on the selected node.
  View->SetFocus();
  Box->SetSelected(true);
  for (const TStep& Step : Cycle) {
    Keys({VK_SPACE});
    EXPECT_EQ(Box->Checked(), Step.Checked);
    EXPECT_EQ(Box->Grayed(), Step.Grayed);
  }
  // A click on the label does not step it; a node without a check box has none to step.
  ClickNode(Box, TPart::Label);
  EXPECT_FALSE(Box->Checked());
  ClickNode(Nodes[1], TPart::StateIcon);
  EXPECT_FALSE(Nodes[1]->Checked());
  // ReadOnly: nothing changes, and the space bar is still taken.
  View->SetReadOnly(true);
  ClickNode(Box, TPart::StateIcon);
  EXPECT_FALSE(Box->Checked());
  Box->SetSelected(true);
  Keys({VK_SPACE});
  EXPECT_FALSE(Box->Checked());
  // Taken: the window did not step its own state image either.
  EXPECT_EQ(STATEIMAGEMASKTOINDEX(TreeView_GetItemState(View->Handle(), Box->ItemId(), TVIS_STATEIMAGEMASK)), 1u);
}

TEST_F(TreeViewTest, RadioButtonsByClicks) {
  const auto Nodes = Build({"r1", "r2", "r3"});
  for (TvcTreeNode* Node : Nodes) Node->SetCheckboxType(vccbRadioButton);
  RecordEvents();
  ClickNode(Nodes[1], TPart::StateIcon);
  ClickNode(Nodes[2], TPart::StateIcon);
  EXPECT_EQ(Nodes[0]->Checked() + Nodes[1]->Checked() * 2 + Nodes[2]->Checked() * 4, 4);
  // Clicking the checked one again leaves it checked.
  ClickNode(Nodes[2], TPart::StateIcon);
  EXPECT_TRUE(Nodes[2]->Checked());
  std::vector<std::string> Toggles;
  for (const std::string& Event : Events)
    if (Event.rfind("Toggle", 0) == 0) Toggles.push_back(Event);
  EXPECT_EQ(Toggles, (std::vector<std::string>{"Toggle r2", "Toggle r3"}));
}

TEST_F(TreeViewTest, MultiSelectionOnOneLevel) {
  const auto Nodes = Build({"p", " p1", " p2", " p3", " p4", "q", " q1"});
  TvcTreeNode *P = Nodes[0], *P1 = Nodes[1], *P2 = Nodes[2], *P3 = Nodes[3], *P4 = Nodes[4], *Q = Nodes[5],
              *Q1 = Nodes[6];
  P->Expand(false);
  Q->Expand(false);
  TvcTVMultiSelectAttributes* Multi = View->MultiSelectAttributes();
  Multi->SetEnabled(true);
  Multi->SetMultiSelectLevel(1);
  Multi->SetMultiSelectCheckbox(false);
  struct TStep {
    const char* Name;
    TvcTreeNode* Node;
    bool Shift, Ctrl;
    const char* Selected;
  };
  const TStep Steps[] = {
      {"a root is not on the level", P, false, false, ""},
      {"a click selects one", P1, false, false, "p1"},
      {"another click: only that one", P2, false, false, "p2"},
      {"Ctrl adds", P4, false, true, "p2,p4"},
      {"Ctrl again takes it away", P4, false, true, "p2"},
      {"a plain click makes the anchor", P1, false, false, "p1"},
      {"Shift from the anchor: the range", P3, true, false, "p1,p2,p3"},
      {"Shift on another parent's child: nothing new", Q1, true, false, ""},
      {"a plain click on that child", Q1, false, false, "q1"},
  };
  for (const TStep& Step : Steps) {
    SCOPED_TRACE(Step.Name);
    ClickNode(Step.Node, TPart::Label, Step.Shift, Step.Ctrl);
    EXPECT_EQ(Texts(View->MultiSelectList()), Step.Selected);
  }
  // Changing the level clears the multi-selection.
  Multi->SetMultiSelectLevel(0);
  EXPECT_TRUE(View->MultiSelectList().empty());
  EXPECT_FALSE(Q1->MultiSelected());
  // Shown as check boxes: the check box follows the selection both ways.
  Multi->SetMultiSelectLevel(1);
  Multi->SetMultiSelectCheckbox(true);
  ClickNode(P1, TPart::Label);
  EXPECT_TRUE(P1->Checked());
  P1->SetChecked(false);
  EXPECT_FALSE(P1->MultiSelected());
  EXPECT_TRUE(View->MultiSelectList().empty());
  // The multi-select check boxes of a level do not touch a node's own check box elsewhere.
  P->SetCheckboxType(vccbCheckbox);
  P->SetChecked(true);
  Multi->SetMultiSelectLevel(1);
  Multi->SetMultiSelectCheckbox(false);
  Multi->SetMultiSelectCheckbox(true);
  EXPECT_TRUE(P->Checked());
  EXPECT_EQ(P->StateIndex(), 1);
}

TEST_F(TreeViewTest, ChangeDelayCoalescesQuickChanges) {
  const auto Nodes = Build({"a", "b", "c", "d"});
  RecordEvents();
  View->SetChangeDelay(200);
  View->SetFocus();
  Nodes[0]->SetSelected(true);
  Advance(300);
  Events.clear();
  Keys({VK_DOWN, VK_DOWN, VK_DOWN});
  Advance(150);
  std::vector<std::string> Changes;
  auto Collect = [&] {
    Changes.clear();
    for (const std::string& Event : Events)
      if (Event.rfind("Change ", 0) == 0) Changes.push_back(Event);
  };
  Collect();
  EXPECT_TRUE(Changes.empty());
  Advance(100);
  Collect();
  EXPECT_EQ(Changes, (std::vector<std::string>{"Change d"}));
  // Without a delay each change reports at once.
  View->SetChangeDelay(0);
  Events.clear();
  Keys({VK_UP, VK_UP});
  Collect();
  EXPECT_EQ(Changes, (std::vector<std::string>{"Change c", "Change b"}));
  // A refused change keeps the selection.
  View->OnChanging = TvcTVChangingEvent([](TvcCustomTreeView*, TvcTreeNode*, bool& Allow) { Allow = false; });
  Keys({VK_DOWN});
  EXPECT_EQ(View->Selected(), Nodes[1]);
}

TEST_F(TreeViewTest, DoubleClickWithoutExpandOnDblClk) {
  const auto Nodes = Build({"a", " a1"});
  int DoubleClicks = 0;
  View->OnDblClick = TvcTreeMouseEvent(
      [&](TvcCustomTreeView*, TvcTreeNode* Node, TMouseButton, TShiftState Shift, int32_t, int32_t) {
        EXPECT_EQ(Node, Nodes[0]);
        EXPECT_TRUE(Shift.Contains(ssDouble));
        ++DoubleClicks;
      });
  DoubleClickNode(Nodes[0]);
  EXPECT_TRUE(Nodes[0]->Expanded());  // the window expands on a double click
  EXPECT_EQ(DoubleClicks, 1);
  Nodes[0]->Collapse(false);
  View->SetOptions(View->Options() - TvcTreeViewOptions{tvoExpandOnDblClk});
  DoubleClickNode(Nodes[0]);
  EXPECT_FALSE(Nodes[0]->Expanded());
  EXPECT_EQ(DoubleClicks, 2);
}

TEST_F(TreeViewTest, LabelEditingByClickAndOnEdited) {
  const auto Nodes = Build({"alpha", "beta"});
  View->SetOptions(View->Options() + TvcTreeViewOptions{tvoEditText});
  View->OnEdited = TvcTVEditedEvent([](TvcCustomTreeView*, TvcTreeNode*, std::string& Text) { Text += "!"; });
  bool Allow = true;
  View->OnEditing = TvcTVEditingEvent([&](TvcCustomTreeView*, TvcTreeNode*, bool& AllowEdit) { AllowEdit = Allow; });
  ClickNode(Nodes[1]);
  EXPECT_FALSE(View->IsEditing());
  // A second click on the selected node's label edits it (after the double-click time).
  const POINT P = PointOf(Nodes[1], TPart::Label);
  FormsTest::ClickAt(View, P.x, P.y);
  Pump();
  Advance(GetDoubleClickTime() + 50);
  ASSERT_TRUE(View->IsEditing());
  EXPECT_EQ(View->EditedNode(), Nodes[1]);
  InjectText(U"Gamma");
  Pump();
  Keys({VK_RETURN});
  EXPECT_FALSE(View->IsEditing());
  EXPECT_EQ(Nodes[1]->Text(), "Gamma!");
  EXPECT_EQ(View->EditedNode(), nullptr);
  // OnEditing refuses; ReadOnly takes the editing away.
  Allow = false;
  EXPECT_EQ(SendMessageA(View->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Nodes[1]->ItemId())), 0);
  Allow = true;
  View->SetReadOnly(true);
  EXPECT_FALSE(GetWindowLongA(View->Handle(), GWL_STYLE) & TVS_EDITLABELS);
}

TEST_F(TreeViewTest, RightClickSelectsWhenAsked) {
  const auto Nodes = Build({"a", "b"});
  int Ups = 0;
  View->OnMouseUp = TvcTreeMouseEvent([&](TvcCustomTreeView*, TvcTreeNode* Node, TMouseButton Button, TShiftState,
                                          int32_t, int32_t) {
    if (Button == mbRight) {
      EXPECT_EQ(Node, Nodes[1]);
      ++Ups;
    }
  });
  const POINT P = PointOf(Nodes[1], TPart::Label);
  const POINT S = View->ClientToScreen(P);
  InjectMouseMove(S.x, S.y);
  InjectMouseClick(VK_RBUTTON, S.x, S.y);
  Pump();
  EXPECT_EQ(View->RightClickedNode(), Nodes[1]);
  EXPECT_NE(View->Selected(), Nodes[1]);
  EXPECT_EQ(Ups, 1);
  View->SetRightClickSelects(true);
  Advance(1000);
  InjectMouseClick(VK_RBUTTON, S.x, S.y);
  Pump();
  EXPECT_EQ(View->Selected(), Nodes[1]);
}

TEST_F(TreeViewTest, LinkNodesOpenTheirDataText) {
  TRecordingLauncher Launcher;
  TProgramLauncher* Saved = SetProgramLauncher(&Launcher);
  const auto Nodes = Build({"site", "plain"});
  Nodes[0]->SetDataText("https://example.org/korvane");
  View->SetOptions(View->Options() + TvcTreeViewOptions{tvoAutoURL});
  ClickNode(Nodes[1]);
  EXPECT_TRUE(Launcher.Requests.empty());
  ClickNode(Nodes[0]);
  ASSERT_EQ(Launcher.Requests.size(), 1u);
  ASSERT_FALSE(Launcher.Requests[0].Arguments.empty());
  EXPECT_EQ(Launcher.Requests[0].Arguments.back(), "https://example.org/korvane");
  EXPECT_EQ(Screen->Cursor(), crDefault);
  // Over the link the pointer is a hand.
  const POINT P = PointOf(Nodes[0], TPart::Label);
  FormsTest::MoveTo(View, P.x, P.y);
  Pump();
  EXPECT_EQ(View->Cursor(), crHandPoint);
  SetProgramLauncher(Saved);
}

TEST_F(TreeViewTest, ExpandButtons3DFollowThePointer) {
  const auto Nodes = Build({"a", " a1", "b"});
  View->SetOptions(View->Options() + TvcTreeViewOptions{tvoExpandButtons3D});
  RecordEvents();
  // Pressed and released on the button: expands.
  ClickNode(Nodes[0], TPart::Button);
  EXPECT_TRUE(Nodes[0]->Expanded());
  EXPECT_EQ(Events.back(), "Expanded a");
  // Pressed on it, released elsewhere: nothing.
  const POINT Button = PointOf(Nodes[0], TPart::Button);
  const POINT Away = PointOf(Nodes[2], TPart::Label);
  FormsTest::PressAt(View, Button.x, Button.y);
  FormsTest::MoveTo(View, Away.x, Away.y);
  FormsTest::ReleaseAt(View, Away.x, Away.y);
  Pump();
  EXPECT_TRUE(Nodes[0]->Expanded());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TreeViewTest, HintOfAClippedTextComesAndGoes) {
  View->SetWidth(90);
  const auto Nodes = Build({"short", "a text far too long for this narrow view"});
  Pump();
  const POINT Short = PointOf(Nodes[0], TPart::Label);
  FormsTest::MoveTo(View, Short.x, Short.y);
  Pump();
  EXPECT_EQ(View->HintWindow(), nullptr);
  const POINT Long = PointOf(Nodes[1], TPart::Label);
  FormsTest::MoveTo(View, Long.x, Long.y);
  Pump();
  ASSERT_NE(View->HintWindow(), nullptr);
  EXPECT_EQ(View->HintNode(), Nodes[1]);
  EXPECT_EQ(View->HintWindow()->Caption(), Nodes[1]->Text());
  Advance(16 * 250);
  EXPECT_NE(View->HintWindow(), nullptr);
  Advance(250);
  EXPECT_EQ(View->HintWindow(), nullptr);
  // The same node does not show it again until the pointer has been elsewhere.
  FormsTest::MoveTo(View, Long.x + 1, Long.y);
  Pump();
  EXPECT_EQ(View->HintWindow(), nullptr);
  FormsTest::MoveTo(View, Short.x, Short.y);
  Pump();
  FormsTest::MoveTo(View, Long.x, Long.y);
  Pump();
  ASSERT_NE(View->HintWindow(), nullptr);
  // Leaving the control takes it away at the next tick.
  FormsTest::MoveTo(View, -20, -20);
  Advance(260);
  EXPECT_EQ(View->HintWindow(), nullptr);
  EXPECT_EQ(View->HintNode(), nullptr);
}

TEST_F(TreeViewTest, NodeWithoutImageIsHitOnItsLabel) {
  auto* Images = new TImageList(Form);
  Images->SetSize(16, 16);
  View->SetImages(Images);
  const auto Nodes = Build({"with", "without"});
  Nodes[1]->SetImageIndex(-2);
  const RECT WithText = Nodes[0]->DisplayRect(true);
  const RECT WithoutText = Nodes[1]->DisplayRect(true);
  // The image-less node's text starts where the image would be.
  EXPECT_EQ(WithoutText.left, WithText.left - 17);
  const int X = WithText.left - 5;
  EXPECT_TRUE(View->GetHitTestInfoAt(X, (WithText.top + WithText.bottom) / 2).Contains(vchtOnIcon));
  const TvcHitTests Hits = View->GetHitTestInfoAt(X, (WithoutText.top + WithoutText.bottom) / 2);
  EXPECT_TRUE(Hits.Contains(vchtOnLabel));
  EXPECT_FALSE(Hits.Contains(vchtOnIcon));
}

TEST_F(TreeViewTest, OptionsAreWindowStyles) {
  HWND Window = View->Handle();
  struct TCase {
    TvcTreeViewOption Option;
    DWORD Style;
    bool StyleWhenOn;
  };
  const TCase Cases[] = {
      {tvoShowLines, TVS_HASLINES, true},     {tvoShowRoot, TVS_LINESATROOT, true},
      {tvoShowButtons, TVS_HASBUTTONS, true}, {tvoHideSelection, TVS_SHOWSELALWAYS, false},
      {tvoRowSelect, TVS_FULLROWSELECT, true}, {tvoHotTrack, TVS_TRACKSELECT, true},
      {tvoEditText, TVS_EDITLABELS, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(EnumInfoOf<TvcTreeViewOption>().Name(Case.Option));
    View->SetOptions(View->Options() + TvcTreeViewOptions{Case.Option});
    EXPECT_EQ((GetWindowLongA(Window, GWL_STYLE) & Case.Style) != 0, Case.StyleWhenOn);
    View->SetOptions(View->Options() - TvcTreeViewOptions{Case.Option});
    EXPECT_EQ((GetWindowLongA(Window, GWL_STYLE) & Case.Style) != 0, !Case.StyleWhenOn);
  }
  EXPECT_TRUE(GetWindowLongA(Window, GWL_STYLE) & TVS_CHECKBOXES);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_STYLE) & TVS_DISABLEDRAGDROP);
  View->SetDragMode(dmAutomatic);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_STYLE) & TVS_DISABLEDRAGDROP);
  View->SetAutoExpand(true);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_STYLE) & TVS_SINGLEEXPAND);
}

TEST_F(TreeViewTest, DraggingANodeOntoAnother) {
  const auto Nodes = Build({"source", "target", "other"});
  View->SetDragMode(dmAutomatic);
  std::vector<std::string> Log;
  View->OnStartDrag = TStartDragEvent([&](TObject*, TDragObject*) { Log.push_back("start"); });
  View->OnDragOver = TDragOverEvent([&](TObject*, TObject* Source, int32_t X, int32_t Y, TDragState, bool& Accept) {
    Accept = Source == View && View->GetNodeAt(X, Y) != Nodes[0];
  });
  View->OnDragDrop = TDragDropEvent([&](TObject*, TObject*, int32_t, int32_t) {
    Log.push_back("drop on " + View->DropTarget()->Text());
    Nodes[0]->MoveTo(View->DropTarget(), vcnaAddChild);
  });
  View->OnEndDrag = TEndDragEvent([&](TObject*, TObject* Target, int32_t, int32_t) {
    Log.push_back(Target ? "end on the view" : "end nowhere");
  });
  const POINT From = PointOf(Nodes[0], TPart::Label);
  const POINT To = PointOf(Nodes[1], TPart::Label);
  FormsTest::PressAt(View, From.x, From.y);
  FormsTest::MoveTo(View, From.x + 2, From.y + 6);
  FormsTest::MoveTo(View, To.x, To.y);
  FormsTest::ReleaseAt(View, To.x, To.y);
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"start", "drop on target", "end on the view"}));
  EXPECT_EQ(Shape(), "target| source|other");
  EXPECT_EQ(View->DropTarget(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  // Refused over itself; Escape ends a drag without a drop.
  Log.clear();
  Advance(1000);
  const POINT Other = PointOf(Nodes[2], TPart::Label);
  FormsTest::PressAt(View, Other.x, Other.y);
  FormsTest::MoveTo(View, Other.x + 1, Other.y + 8);
  InjectKeyStroke(VK_ESCAPE);
  FormsTest::ReleaseAt(View, Other.x + 1, Other.y + 8);
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"start", "end nowhere"}));
  EXPECT_EQ(Shape(), "target| source|other");
}

}  // namespace
}  // namespace TreeTest
