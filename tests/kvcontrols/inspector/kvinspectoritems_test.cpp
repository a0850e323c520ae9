// The inspector's item store: walks over the item tree, lookups by key, rows and items, check
// state, MapList, the change notification, and the clearing of a freed editor control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvinspector.h"
#include "platform/forms/edit.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

// One row of a tree fixture: Level says where it goes (a child of the last row one level up).
struct TNode {
  int Level;
  const char* Caption;
  const char* Key;
  bool Visible = true;
  bool Expanded = false;
};

// The fixture tree, in pre-order:
//   General (expanded)
//     Start          key "Start with Windows"
//     Hidden         hidden, expanded
//       UnderHidden  no key
//     SharedA        key "dup"
//   Video            collapsed
//     Size           expanded, key "Size"
//       Width        key "dup" (under a collapsed parent)
//   Last             key "dup"
//   HiddenTop        hidden, expanded, no key
//     UnderTop
const TNode Tree[] = {
    {0, "General", "General", true, true},
    {1, "Start", "Start with Windows"},
    {1, "Hidden", "HiddenKey", false, true},
    {2, "UnderHidden", ""},
    {1, "SharedA", "dup"},
    {0, "Video", "Video"},
    {1, "Size", "Size", true, true},
    {2, "Width", "dup"},
    {0, "Last", "dup"},
    {0, "HiddenTop", "", false, true},
    {1, "UnderTop", "UnderTop"},
};

void BuildTree(TkvInspectorCollection* Top, const TNode* Nodes, size_t Count) {
  std::vector<TkvInspectorItem*> Parents;
  for (size_t Index = 0; Index < Count; ++Index) {
    const TNode& Node = Nodes[Index];
    Parents.resize(static_cast<size_t>(Node.Level));
    TkvInspectorCollection* Into = Node.Level == 0 ? Top : Parents.back()->Items();
    TkvInspectorItem* Item = Into->Add();
    Item->SetCaption(Node.Caption);
    Item->SetTagString(Node.Key);
    Item->SetVisible(Node.Visible);
    Item->SetExpanded(Node.Expanded);
    Parents.push_back(Item);
  }
}

std::string Caption(const TkvInspectorItem* Item) { return Item ? Item->Caption() : std::string("nil"); }

class InspectorItemsTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 300, 400);
    Inspector = new TkvDataInspector(Form);
    Inspector->SetName("Inspector1");
    Inspector->SetBounds(0, 0, 240, 300);
    Inspector->SetParent(Form);
    BuildTree(Inspector->Items(), Tree, std::size(Tree));
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TkvInspectorItem* Find(const std::string& Key) { return Inspector->FindItemByTagString(Key); }
  // Every item by caption, hidden and collapsed ones too.
  TkvInspectorItem* ByCaption(const std::string& Name) {
    for (TkvInspectorItem* Item = Inspector->FirstItem(false); Item; Item = Item->NextItem(false, false))
      if (Item->Caption() == Name) return Item;
    ADD_FAILURE() << "no item " << Name;
    return nullptr;
  }

  TForm* Form = nullptr;
  TkvDataInspector* Inspector = nullptr;
};

TEST_F(InspectorItemsTest, NextItemWalksWithBothSwitches) {
  struct TCase {
    const char* Name;
    bool VisibleOnly, ExpandedOnly;
    std::vector<std::string> Expected;
  };
  const TCase Cases[] = {
      // The program's load and save walk: every item, hidden and collapsed ones included.
      {"all items", false, false,
       {"General", "Start", "Hidden", "UnderHidden", "SharedA", "Video", "Size", "Width", "Last", "HiddenTop",
        "UnderTop"}},
      // Expand-all walk: a hidden item takes its subtree along, collapsed ones are entered.
      {"visible only", true, false, {"General", "Start", "SharedA", "Video", "Size", "Width", "Last"}},
      {"expanded only", false, true,
       {"General", "Start", "Hidden", "UnderHidden", "SharedA", "Video", "Last", "HiddenTop", "UnderTop"}},
      {"displayed", true, true, {"General", "Start", "SharedA", "Video", "Last"}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::vector<std::string> Seen;
    for (TkvInspectorItem* Item = Inspector->FirstItem(Case.VisibleOnly); Item;
         Item = Item->NextItem(Case.VisibleOnly, Case.ExpandedOnly))
      Seen.push_back(Item->Caption());
    EXPECT_EQ(Seen, Case.Expected);
  }
}

TEST_F(InspectorItemsTest, PreviousItemGoesOneLevelDeep) {
  struct TCase {
    const char* Item;
    bool VisibleOnly, ExpandedOnly;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"Start", true, true, "General"},  // first child: its parent
      {"General", true, true, "nil"},    // first top-level item
      // Video's previous sibling General is expanded; its last visible child SharedA is the
      // answer, and only one level deep.
      {"Video", true, true, "SharedA"},
      // Last's previous sibling Video is collapsed: with ExpandedOnly it is Video itself; without,
      // Video's last child Size, not Size's own child Width.
      {"Last", true, true, "Video"},
      {"Last", true, false, "Size"},
      {"SharedA", true, true, "Start"},   // the hidden sibling in between is skipped
      {"SharedA", false, true, "UnderHidden"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Item) + (Case.VisibleOnly ? " visible" : "") + (Case.ExpandedOnly ? " expanded" : ""));
    EXPECT_EQ(Caption(ByCaption(Case.Item)->PreviousItem(Case.VisibleOnly, Case.ExpandedOnly)), Case.Expected);
  }
}

TEST_F(InspectorItemsTest, FindItemByTagString) {
  struct TCase {
    const char* Name;
    const char* Key;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"other letter case", "start with windows", "Start"},
      {"hidden item", "HIDDENKEY", "Hidden"},
      {"child of a collapsed item", "size", "Size"},
      {"under a hidden top item", "undertop", "UnderTop"},
      // SharedA comes before Width (inside collapsed Video) and Last in pre-order.
      {"first duplicate in pre-order", "DUP", "SharedA"},
      {"empty key finds the first empty TagString", "", "UnderHidden"},
      {"unknown key", "No such option", "nil"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Caption(Find(Case.Key)), Case.Expected);
  }
  // Keys beyond ASCII fold through the fixed case map, not the machine's locale.
  ByCaption("Last")->SetTagString("Größe Ändern");
  EXPECT_EQ(Caption(Find("GRÖßE ändern")), "Last");
}

TEST_F(InspectorItemsTest, RowsAndItemsWithAndWithoutIndicatorRow) {
  // Displayed: General, Start, SharedA, Video, Last.
  const std::vector<std::string> Displayed = {"General", "Start", "SharedA", "Video", "Last"};
  for (bool Indicator : {false, true}) {
    SCOPED_TRACE(Indicator ? "indicator row" : "no indicator row");
    Inspector->IndicatorRow()->SetEnabled(Indicator);
    const int First = Indicator ? 1 : 0;
    EXPECT_EQ(Inspector->CountDisplayedRows(), 5 + First);
    EXPECT_EQ(Inspector->RowCount(), 5 + First);
    for (int Index = 0; Index < 5; ++Index) {
      EXPECT_EQ(Caption(Inspector->ItemAtRow(First + Index)), Displayed[Index]);
      EXPECT_EQ(Inspector->RowOfItem(ByCaption(Displayed[Index])), First + Index);
    }
    if (Indicator) { EXPECT_EQ(Inspector->ItemAtRow(0), nullptr); }
    EXPECT_EQ(Inspector->ItemAtRow(-1), nullptr);
    EXPECT_EQ(Inspector->ItemAtRow(First + 5), nullptr);
    for (const char* NotShown : {"Hidden", "UnderHidden", "Size", "Width", "HiddenTop", "UnderTop"})
      EXPECT_EQ(Inspector->RowOfItem(ByCaption(NotShown)), -1) << NotShown;
  }
}

TEST_F(InspectorItemsTest, ExpandedAndVisibleWritersRebuildRows) {
  ASSERT_EQ(Inspector->RowCount(), 5);
  ByCaption("Video")->SetExpanded(true);  // Size (expanded) and Width appear
  EXPECT_EQ(Inspector->RowCount(), 7);
  EXPECT_EQ(Caption(Inspector->ItemAtRow(5)), "Width");
  ByCaption("Start")->SetVisible(false);
  EXPECT_EQ(Inspector->RowCount(), 6);
  // A change under a hidden parent rebuilds but shows nothing new.
  ByCaption("UnderTop")->SetVisible(false);
  EXPECT_EQ(Inspector->RowCount(), 6);
  // Hiding every top item keeps the row count of the last rebuild that showed an item (Last
  // alone): a table never has zero rows.
  for (const char* Name : {"General", "Video", "Last"}) ByCaption(Name)->SetVisible(false);
  EXPECT_EQ(Inspector->CountDisplayedRows(), 0);
  EXPECT_EQ(Inspector->RowCount(), 1);
  EXPECT_EQ(Inspector->ItemAtRow(0), nullptr);
}

TEST_F(InspectorItemsTest, LevelsNamesAndWalkItems) {
  EXPECT_EQ(ByCaption("General")->Level(), 0);
  EXPECT_EQ(ByCaption("Width")->Level(), 2);
  EXPECT_EQ(ByCaption("Width")->GetInspector(), Inspector);
  EXPECT_EQ(ByCaption("Width")->GetNamePath(), "Inspector1.Items[1]Items[0]Items[0]");
  TkvInspectorItem* Size = ByCaption("Size");
  EXPECT_EQ(Size->DisplayName(), "0 - Size");
  Size->SetCaption("");
  EXPECT_EQ(Size->DisplayName(), "0 - <InspectorItem>");

  // A displayed-only walk still visits the hidden children of displayed parents; clearing
  // Continue stops the walk at once.
  std::vector<std::string> Seen;
  Inspector->WalkItems(true, nullptr, [&](TkvDataInspector*, TkvInspectorItem* Item, void*, bool& Continue) {
    Seen.push_back(Item->Caption());
    if (Item->Caption() == "Last") Continue = false;
  });
  EXPECT_EQ(Seen, (std::vector<std::string>{"General", "Start", "Hidden", "SharedA", "Video", "Last"}));
}

TEST_F(InspectorItemsTest, CheckStateAgainstPickListEntryZero) {
  struct TCase {
    const char* Name;
    std::vector<std::string> PickList;
    std::string Text;
    bool Checked;
    std::string AfterSetTrue, AfterSetFalse, AfterToggle;
  };
  const TCase Cases[] = {
      {"checked", {"True", "False"}, "True", true, "True", "False", "False"},
      // Any other text reads as unchecked, and the user's toggle makes it checked.
      {"other letter case", {"True", "False"}, "true", false, "True", "False", "True"},
      {"unknown text", {"True", "False"}, "maybe", false, "True", "False", "True"},
      {"unchecked", {"True", "False"}, "False", false, "True", "False", "True"},
      // Fewer than two entries: SetChecked leaves the text alone.
      {"one entry", {"On"}, "Off", false, "Off", "Off", "On"},
      {"empty pick list", {}, "", false, "", "", ""},
  };
  TkvInspectorItem* Item = ByCaption("Start");
  int Events = 0;
  Inspector->OnItemChanged = TkvInspectorItemChanged([&](TkvDataInspector*, TkvInspectorItem*, const std::string&) { ++Events; });
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Item->PickList()->Items()->Clear();
    for (const std::string& Entry : Case.PickList) Item->PickList()->Items()->Add(Entry);
    Item->PickList()->SetDisplayAsCheckbox(true);
    Item->SetEditText(Case.Text);
    EXPECT_EQ(Item->IsChecked(), Case.Checked);
    Events = 0;
    Item->SetChecked(true);
    EXPECT_EQ(Item->EditText(), Case.AfterSetTrue);
    Item->SetChecked(false);
    EXPECT_EQ(Item->EditText(), Case.AfterSetFalse);
    EXPECT_EQ(Events, 0) << "SetChecked fires no change event";
    Item->SetEditText(Case.Text);
    Inspector->ToggleCheckbox(Item);
    EXPECT_EQ(Item->EditText(), Case.AfterToggle);
    EXPECT_EQ(Events, 1) << "the user's toggle fires the change event";
  }
}

TEST_F(InspectorItemsTest, ToggleRefusedOnReadOnlyItemOrInspector) {
  TkvInspectorItem* Item = ByCaption("Start");
  Item->PickList()->Items()->Add("True");
  Item->PickList()->Items()->Add("False");
  Item->SetEditText("False");
  int Events = 0;
  Inspector->OnItemChanged = TkvInspectorItemChanged([&](TkvDataInspector*, TkvInspectorItem*, const std::string&) { ++Events; });
  Item->SetReadOnly(true);
  Inspector->ToggleCheckbox(Item);
  Item->SetReadOnly(false);
  Inspector->SetReadOnly(true);
  Inspector->ToggleCheckbox(Item);
  EXPECT_EQ(Item->EditText(), "False");
  EXPECT_EQ(Events, 0);
  // The program's own writes are not the user's: SetChecked ignores ReadOnly.
  Item->SetChecked(true);
  EXPECT_EQ(Item->EditText(), "True");
}

TEST_F(InspectorItemsTest, ChangeEventFiresItemThenInspector) {
  TkvInspectorItem* Item = ByCaption("Size");
  std::vector<std::string> Order;
  Item->OnItemChanged = TkvInspectorItemChanged([&](TkvDataInspector* Sender, TkvInspectorItem* Changed, const std::string& Value) {
    EXPECT_EQ(Sender, Inspector);
    EXPECT_EQ(Changed, Item);
    Order.push_back("item " + Value);
  });
  Inspector->OnItemChanged = TkvInspectorItemChanged([&](TkvDataInspector* Sender, TkvInspectorItem* Changed, const std::string& Value) {
    EXPECT_EQ(Sender, Inspector);
    EXPECT_EQ(Changed, Item);
    Order.push_back("inspector " + Value);
  });
  // Writing EditText is silent.
  Item->SetEditText("640 x 480");
  EXPECT_TRUE(Order.empty());
  Item->DoItemChanged();
  EXPECT_EQ(Order, (std::vector<std::string>{"item 640 x 480", "inspector 640 x 480"}));

  // An item of a collection that no inspector owns cannot announce a change.
  TkvInspectorCollection Loose(nullptr, nullptr);
  TkvInspectorItem* Orphan = Loose.Add();
  EXPECT_THROW(Orphan->DoItemChanged(), EInvalidCast);
}

TEST_F(InspectorItemsTest, MapValueToDisplay) {
  struct TCase {
    const char* Name;
    bool MapList;
    std::vector<std::string> Entries;
    std::string Value, Expected;
  };
  const TCase Cases[] = {
      {"maps the value part", true, {"Two\t2", "Three\t3"}, "2", "Two"},
      {"second entry", true, {"Two\t2", "Three\t3"}, "3", "Three"},
      {"no matching entry gives empty text", true, {"Two\t2", "Three\t3"}, "4", ""},
      {"an entry without a TAB holds the empty value", true, {"Plain", "Two\t2"}, "", "Plain"},
      {"without MapList the value maps to itself", false, {"Two\t2"}, "2", "2"},
  };
  TkvInspectorItem* Item = ByCaption("Size");
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Item->PickList()->SetMapList(Case.MapList);
    Item->PickList()->Items()->Clear();
    for (const std::string& Entry : Case.Entries) Item->PickList()->Items()->Add(Entry);
    std::string Display = "stale";
    Item->MapValueToDisplay(Case.Value, Display);
    EXPECT_EQ(Display, Case.Expected);
  }
}

TEST_F(InspectorItemsTest, FreedCustomControlLeavesNestedItem) {
  auto* Edit = new TEdit(Form);
  TkvInspectorItem* Width = ByCaption("Width");
  TkvInspectorItem* Last = ByCaption("Last");
  Width->SetCustomControl(Edit);
  Last->SetCustomControl(Edit);
  EXPECT_FALSE(Edit->Visible()) << "a hosted control is hidden until its row is active";
  Edit->Free();
  EXPECT_EQ(Width->CustomControl(), nullptr);
  EXPECT_EQ(Last->CustomControl(), nullptr);
}

TEST_F(InspectorItemsTest, AssignCopiesTheListedProperties) {
  TkvInspectorItem* Source = ByCaption("Size");
  Source->SetEditText("320 x 240");
  Source->SetReadOnly(true);
  Source->SetTag(7);
  Source->SetAlignment(taRightJustify);
  Source->SetWordWrap(true);
  Source->PickList()->Items()->Add("160 x 120");
  TkvInspectorItem* Copy = Inspector->Items()->Add();
  Copy->Assign(Source);
  EXPECT_EQ(Copy->Caption(), "Size");
  EXPECT_EQ(Copy->EditText(), "320 x 240");
  EXPECT_EQ(Copy->TagString(), "Size");
  EXPECT_TRUE(Copy->ReadOnly());
  EXPECT_TRUE(Copy->Expanded());
  EXPECT_EQ(Copy->Tag(), 7);
  ASSERT_EQ(Copy->Items()->Count(), 1);
  EXPECT_EQ(Copy->Items()->Items(0)->Caption(), "Width");
  EXPECT_EQ(Copy->PickList()->Count(), 1);
  // Not copied: alignment, word wrap and the rest of the display settings.
  EXPECT_EQ(Copy->Alignment(), taLeftJustify);
  EXPECT_FALSE(Copy->WordWrap());
}

}  // namespace
}  // namespace FormsTest
