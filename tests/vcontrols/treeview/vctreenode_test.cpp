// Tree nodes: adding, inserting, moving, sorting, finding and deleting (tables over one small
// tree), the absolute-index cache, check boxes and radio groups, the node stream byte for byte
// (empty tree, long and non-ASCII texts, Data, flags, extension blocks of other node classes,
// damaged streams), the form's "StreamVersion" and "Data", and what survives a re-creation of the
// window and an Assign.

#include "vcontrols/treeview/vctreenode.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/classes/formreader.h"
#include "platform/rtl/streams.h"
#include "tests/vcontrols/treeview/treetest.h"
#include "vcontrols/treeview/vctreeview.h"

namespace TreeTest {
namespace {

std::vector<uint8_t> Bytes(TMemoryStream& Stream) {
  const auto* Data = static_cast<const uint8_t*>(Stream.Memory());
  return std::vector<uint8_t>(Data, Data + Stream.Size());
}

std::vector<uint8_t> Streamed(TvcTreeNodes* Nodes) {
  TMemoryStream Stream;
  Nodes->WriteData(Stream);
  return Bytes(Stream);
}

int32_t IntAt(const std::vector<uint8_t>& Data, size_t Offset) {
  int32_t Value = 0;
  std::memcpy(&Value, Data.data() + Offset, 4);
  return Value;
}

void ReadInto(TvcTreeNodes* Nodes, const std::vector<uint8_t>& Data) {
  TMemoryStream Stream;
  if (!Data.empty()) Stream.WriteBuffer(Data.data(), int32_t(Data.size()));
  Stream.SetPosition(0);
  Nodes->ReadData(Stream);
}

// A node class with one published Boolean, streamed as an extension block (int32 count, then one
// byte per property) after its subtree.
class TFlagNode : public TvcTreeNode {
  KORCAM_CLASS(TFlagNode, TvcTreeNode)

 public:
  explicit TFlagNode(TvcTreeNodes* AOwner) : TvcTreeNode(AOwner) {}
  PLAIN_PROPERTY(bool, Marked, true)

 public:
  int32_t RecordSize() const override { return vcNodeRecordSize + 5; }
  void WriteData(TStream& Stream, TvcNodeRecord& Record) override {
    TvcTreeNode::WriteData(Stream, Record);
    const int32_t Count = 1;
    Stream.WriteBuffer(&Count, 4);
    const uint8_t Flag = FMarked ? 1 : 0;
    Stream.WriteBuffer(&Flag, 1);
  }
  void ReadData(TStream& Stream, TvcNodeRecord& Record) override {
    TvcTreeNode::ReadData(Stream, Record);
    const int32_t Length = Record.Bytes[38];
    if (StoredRecordSize() < vcNodeRecordFixed + Length + 5) return;
    Stream.Seek(-5, soCurrent);
    int32_t Count = 0;
    Stream.ReadBuffer(&Count, 4);
    uint8_t Flag = 0;
    Stream.ReadBuffer(&Flag, 1);
    FMarked = Flag != 0;
  }
};
KORCAM_REGISTER_CLASS(TFlagNode)

TvcTreeNode* MakeFlagNode(TvcTreeNodes* Owner) { return new TFlagNode(Owner); }

using TreeNodeTest = TTreeViewTest;

TEST_F(TreeNodeTest, AddInsertAndTheirPlaces) {
  const auto Nodes = Build({"a", " a1", " a2", "b"});
  TvcTreeNodes* Items = View->Items();
  TvcTreeNode *A = Nodes[0], *A1 = Nodes[1], *A2 = Nodes[2], *B = Nodes[3];
  struct TCase {
    const char* Name;
    std::function<TvcTreeNode*()> Add;
    const char* Shape;
  };
  const TCase Cases[] = {
      {"Add: last among the sibling's siblings", [&] { return Items->Add(A1, "a3"); }, "a| a1| a2| a3|b"},
      {"AddFirst", [&] { return Items->AddFirst(A1, "a0"); }, "a| a0| a1| a2| a3|b"},
      {"AddChild of a leaf", [&] { return Items->AddChild(B, "b1"); }, "a| a0| a1| a2| a3|b| b1"},
      {"AddChildFirst", [&] { return Items->AddChildFirst(B, "b0"); }, "a| a0| a1| a2| a3|b| b0| b1"},
      {"Insert before a sibling", [&] { return Items->Insert(A2, "a15"); }, "a| a0| a1| a15| a2| a3|b| b0| b1"},
      {"Insert before a first child", [&] { return Items->Insert(Items->Item(1), "a00"); },
       "a| a00| a0| a1| a15| a2| a3|b| b0| b1"},
      {"Add with no sibling: a root", [&] { return Items->Add(nullptr, "c"); }, "a| a00| a0| a1| a15| a2| a3|b| b0| b1|c"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TvcTreeNode* Made = Case.Add();
    ASSERT_NE(Made, nullptr);
    EXPECT_EQ(Shape(), Case.Shape);
    EXPECT_TRUE(Made->InTree());
  }
  EXPECT_EQ(Items->Count(), 11);
  EXPECT_TRUE(B->HasChildren());
  EXPECT_EQ(A->Count(), 6);
  EXPECT_EQ(A2->Index(), 4);
  EXPECT_EQ(A2->AbsoluteIndex(), 5);
  EXPECT_EQ(A2->Level(), 1);
  EXPECT_EQ(A->IndexOf(A2), 4);
  EXPECT_EQ(A->IndexOf(B), -1);
  EXPECT_TRUE(A2->HasAsParent(A));
  EXPECT_TRUE(A2->HasAsParent(nullptr));
  EXPECT_FALSE(A2->HasAsParent(A2));
  EXPECT_EQ(A->Item(4), A2);
  EXPECT_THROW(A->Item(6), ETreeViewError);
  try {
    A->Item(9);
  } catch (const ETreeViewError& Error) {
    EXPECT_EQ(Error.Message(), "List index out of bounds (9)");
  }
  EXPECT_EQ(A2->GetPrev()->Text(), "a15");
  EXPECT_EQ(A->GetLastChild()->GetNext(), B);
  EXPECT_EQ(Items->GetFirstNode(), A);
  EXPECT_EQ(Items->GetNode(B->ItemId()), B);
}

TEST_F(TreeNodeTest, ItemWalksFromTheCacheOnlyForNeighbours) {
  Build({"a", " a1", " a2", "b", " b1", "c"});
  TvcTreeNodes* Items = View->Items();
  const char* Order[] = {"a", "a1", "a2", "b", "b1", "c"};
  for (int Index = 0; Index < 6; ++Index) EXPECT_EQ(Items->Item(Index)->Text(), Order[Index]);
  for (int Index = 5; Index >= 0; --Index) EXPECT_EQ(Items->Item(Index)->Text(), Order[Index]);
  EXPECT_EQ(Items->Item(4)->Text(), "b1");
  EXPECT_EQ(Items->Item(0)->Text(), "a");
  EXPECT_THROW(Items->Item(6), ETreeViewError);
  EXPECT_THROW(Items->Item(-1), ETreeViewError);
  // The cache forgets what a change makes wrong.
  Items->Item(3);
  Items->AddChildFirst(nullptr, "first");
  EXPECT_EQ(Items->Item(3)->Text(), "a2");
  EXPECT_EQ(Items->Item(0)->AbsoluteIndex(), 0);
}

TEST_F(TreeNodeTest, MoveToEveryModeAndTheGuards) {
  struct TCase {
    const char* Name;
    const char* Node;
    const char* Destination;  // nullptr: none
    TvcNodeAttachMode Mode;
    const char* Shape;
  };
  const TCase Cases[] = {
      {"vcnaAdd: last among the destination's siblings", "a1", "b", vcnaAdd, "a| a2|b| b1|c|a1| x"},
      {"vcnaAddFirst", "c", "a2", vcnaAddFirst, "a| c| a1|  x| a2|b| b1"},
      {"vcnaAddChild", "a", "b", vcnaAddChild, "b| b1| a|  a1|   x|  a2|c"},
      {"vcnaAddChildFirst", "c", "a1", vcnaAddChildFirst, "a| a1|  c|  x| a2|b| b1"},
      {"vcnaInsert before", "c", "a2", vcnaInsert, "a| a1|  x| c| a2|b| b1"},
      {"vcnaInsertAfter", "a", "b", vcnaInsertAfter, "b| b1|a| a1|  x| a2|c"},
      {"vcnaInsert before the first", "b1", "a", vcnaInsert, "b1|a| a1|  x| a2|b|c"},
      {"onto its own descendant: nothing", "a", "x", vcnaAddChild, "a| a1|  x| a2|b| b1|c"},
      {"before the node after it: nothing", "a1", "a2", vcnaInsert, "a| a1|  x| a2|b| b1|c"},
      {"under itself: nothing", "b", "b", vcnaAddChild, "a| a1|  x| a2|b| b1|c"},
      {"after itself: unchanged", "b", "b", vcnaInsertAfter, "a| a1|  x| a2|b| b1|c"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    View->Items()->Clear();
    Build({"a", " a1", "  x", " a2", "b", " b1", "c"});
    TvcTreeNode* Node = View->Items()->FindNode(Case.Node, false);
    TvcTreeNode* Destination = Case.Destination ? View->Items()->FindNode(Case.Destination, false) : nullptr;
    Node->SetData(77);
    Node->SetCheckboxType(vccbCheckbox);
    Node->SetChecked(true);
    Node->SetSelected(true);
    Node->MoveTo(Destination, Case.Mode);
    EXPECT_EQ(Shape(), Case.Shape);
    // The node object itself moved, with its values and its selection.
    EXPECT_EQ(View->Items()->FindNode(Case.Node, false), Node);
    EXPECT_EQ(Node->Data(), 77);
    EXPECT_TRUE(Node->Checked());
    EXPECT_EQ(View->Selected(), Node);
  }
  // Events are quiet while a node moves.
  View->Items()->Clear();
  const auto Nodes = Build({"a", "b"});
  RecordEvents();
  Nodes[0]->MoveTo(Nodes[1], vcnaAddChild);
  for (const std::string& Event : Events) EXPECT_EQ(Event.find("Change"), std::string::npos) << Event;
  EXPECT_TRUE(Nodes[1]->Expanded());
}

TEST_F(TreeNodeTest, SortingByTextDataOrACallback) {
  const auto Nodes = Build({"pear", " zinc", " Apple", "apple", "Banana"});
  EXPECT_TRUE(View->AlphaSort());
  EXPECT_EQ(Shape(), "apple|Banana|pear| Apple| zinc");
  // Sorting follows text changes with vcstText, the whole tree for a root node.
  View->SetSortType(vcstText);
  Nodes[0]->SetText("Aardvark");
  EXPECT_EQ(Shape(), "Aardvark| Apple| zinc|apple|Banana");
  Nodes[1]->SetText("Abacus");
  EXPECT_EQ(Shape(), "Aardvark| Abacus| Apple|apple|Banana");
  // Data order through OnCompare, with vcstData: a Data change re-sorts.
  View->SetSortType(vcstNone);
  View->OnCompare = TvcTVCompareEvent(
      [](TvcCustomTreeView*, TvcTreeNode* A, TvcTreeNode* B, int32_t, int32_t& Compare) { Compare = A->Data() - B->Data(); });
  Nodes[3]->SetData(1);
  Nodes[4]->SetData(2);
  Nodes[0]->SetData(3);
  View->SetSortType(vcstData);
  EXPECT_EQ(Shape(), "apple|Banana|Aardvark| Abacus| Apple");
  Nodes[3]->SetData(9);
  EXPECT_EQ(Shape(), "Banana|Aardvark| Abacus| Apple|apple");
  // A node's own CustomSort with a comparison of its own sorts only its children.
  Nodes[0]->CustomSort([](TvcTreeNode* A, TvcTreeNode* B, int32_t Sign) { return Sign * A->Text().compare(B->Text()); },
                       -1);
  EXPECT_EQ(Shape(), "Banana|Aardvark| Apple| Abacus|apple");
}

TEST_F(TreeNodeTest, FindAndFindByStringIgnoreCase) {
  const auto Nodes = Build({"Alpha", " Inner", "Ёлка"});
  Nodes[0]->SetDataText("http://a.example");
  Nodes[2]->SetDataText2("second");
  TvcTreeNodes* Items = View->Items();
  struct TCase {
    const char* Name;
    const char* Text;
    bool VisibleOnly;
    int32_t Kind;
    TvcTreeNode* Expected;
  };
  const TCase Cases[] = {
      {"text, other case", "alpha", false, 0, Nodes[0]},
      {"collapsed child, all nodes", "INNER", false, 0, Nodes[1]},
      {"collapsed child, visible only", "inner", true, 0, nullptr},
      {"non-ASCII folds too", "ёЛКА", false, 0, Nodes[2]},
      {"DataText", "HTTP://A.EXAMPLE", false, 1, Nodes[0]},
      {"DataText2", "Second", false, 2, Nodes[2]},
      {"absent", "beta", false, 0, nullptr},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Items->FindNodeByString(Case.Text, Case.VisibleOnly, Case.Kind), Case.Expected);
  }
  Nodes[0]->Expand(false);
  EXPECT_EQ(Items->FindNode("inner", true), Nodes[1]);
}

TEST_F(TreeNodeTest, DeleteFreesTheSubtreeAndTellsOnce) {
  const auto Nodes = Build({"a", " a1", "  a11", "b", " b1"});
  Nodes[0]->Expand(true);
  Nodes[0]->SetSelected(true);
  RecordEvents();
  Nodes[0]->Delete();
  EXPECT_EQ(Shape(), "b| b1");
  std::vector<std::string> Deletions;
  for (const std::string& Event : Events)
    if (Event.rfind("Deletion", 0) == 0) Deletions.push_back(Event);
  EXPECT_EQ(Deletions, (std::vector<std::string>{"Deletion a11", "Deletion a1", "Deletion a"}));
  // The last child going takes its parent's button.
  Events.clear();
  View->Items()->Delete(Nodes[4]);
  EXPECT_EQ(Events, (std::vector<std::string>{"Deletion b1"}));
  EXPECT_FALSE(Nodes[3]->HasChildren());
  // Clear: every node, and no OnChanging or OnChange.
  Build({"c", " c1"});
  Nodes[3]->SetSelected(true);
  Events.clear();
  View->Items()->Clear();
  EXPECT_EQ(View->Items()->Count(), 0);
  for (const std::string& Event : Events) EXPECT_EQ(Event.find("Chang"), std::string::npos) << Event;
  EXPECT_EQ(Events.size(), 3u);
}

TEST_F(TreeNodeTest, CheckBoxesRadioGroupsAndStateIndex) {
  const auto Nodes = Build({"group", " r1", " r2", " r3", "box"});
  RecordEvents();
  for (int Index = 1; Index <= 3; ++Index) Nodes[size_t(Index)]->SetCheckboxType(vccbRadioButton);
  EXPECT_EQ(Nodes[1]->StateIndex(), 1);
  EXPECT_TRUE(Nodes[1]->IsRadioGroup());
  Nodes[1]->SetChecked(true);
  Events.clear();
  Nodes[3]->SetChecked(true);
  EXPECT_FALSE(Nodes[1]->Checked());
  EXPECT_TRUE(Nodes[3]->Checked());
  EXPECT_EQ(Events, (std::vector<std::string>{"Toggle r3"}));
  // Unchecking a radio button directly only stores it.
  Events.clear();
  Nodes[3]->SetChecked(false);
  EXPECT_TRUE(Events.empty());
  // A radio group is grayed as a whole.
  Nodes[2]->SetGrayed(true);
  EXPECT_TRUE(Nodes[1]->Grayed() && Nodes[3]->Grayed());
  // StateIndex: 0 is -1; on a check box only -1 and 1.
  TvcTreeNode* Box = Nodes[4];
  Box->SetCheckboxType(vccbCheckbox);
  struct TCase {
    int32_t Set, Expected;
  };
  const TCase Cases[] = {{5, 1}, {0, -1}, {1, 1}, {-1, -1}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Set);
    Box->SetStateIndex(Case.Set);
    EXPECT_EQ(Box->StateIndex(), Case.Expected);
  }
  Box->SetCheckboxType(vccbNone);
  Box->SetStateIndex(5);
  EXPECT_EQ(Box->StateIndex(), 5);
}

// ---- the node stream -----------------------------------------------------------------------------------

TEST_F(TreeNodeTest, EmptyTreeStreamsFourZeroBytesAndVersionOne) {
  EXPECT_EQ(Streamed(View->Items()), (std::vector<uint8_t>{0, 0, 0, 0}));
  const std::string Text = WriteComponentText(Form);
  EXPECT_NE(Text.find("Items.StreamVersion = 1"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Items.Data = {"), std::string::npos) << Text;
  EXPECT_LT(Text.find("Items.StreamVersion"), Text.find("Items.Data")) << Text;
}

TEST_F(TreeNodeTest, RecordBytes) {
  const auto Nodes = Build({"root", " child"});
  TvcTreeNode* Root = Nodes[0];
  Root->SetData(258);
  Root->SetImageIndex(3);
  Root->SetSelectedIndex(4);
  Root->SetOverlayIndex(2);
  Root->SetCheckboxType(vccbCheckbox);
  Root->SetChecked(true);
  Root->SetGrayed(true);
  Root->SetDataText("dt");
  Root->SetDataText2("");
  Root->Expand(false);
  const std::vector<uint8_t> Data = Streamed(View->Items());
  ASSERT_GE(Data.size(), 4u + 4 + 43);
  EXPECT_EQ(IntAt(Data, 0), 1);                              // one root
  EXPECT_EQ(IntAt(Data, 4), 39 + 4);                         // N
  const size_t Record = 8;
  EXPECT_EQ(IntAt(Data, Record + 0), 3);                     // ImageIndex
  EXPECT_EQ(IntAt(Data, Record + 4), 4);                     // SelectedIndex
  EXPECT_EQ(IntAt(Data, Record + 8), 1);                     // StateIndex (a check box)
  EXPECT_EQ(IntAt(Data, Record + 12), 2);                    // OverlayIndex
  EXPECT_EQ(Data[Record + 16], 1);                           // CheckboxType
  EXPECT_EQ(Data[Record + 17], 3);                           // checked and grayed
  EXPECT_EQ(Data[Record + 18], 1);                           // expanded
  EXPECT_EQ(Data[Record + 19] | Data[Record + 20] | Data[Record + 21], 0);
  EXPECT_EQ((std::vector<uint8_t>(Data.begin() + Record + 22, Data.begin() + Record + 26)),
            (std::vector<uint8_t>{0x02, 0x01, 0x00, 0x00}));  // Data = 258
  EXPECT_EQ(IntAt(Data, Record + 26), 2);                    // DataText's length
  EXPECT_EQ(IntAt(Data, Record + 30), 0);
  EXPECT_EQ(IntAt(Data, Record + 34), 1);                    // one child
  EXPECT_EQ(Data[Record + 38], 4);
  EXPECT_EQ(std::string(Data.begin() + Record + 39, Data.begin() + Record + 43), "root");
  EXPECT_EQ(std::string(Data.begin() + Record + 43, Data.begin() + Record + 45), "dt");
  EXPECT_EQ(IntAt(Data, Record + 45), 39 + 5);  // the child's block follows the strings
}

TEST_F(TreeNodeTest, RoundTripsKeepEverythingTheStreamHolds) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::string Expected;
  };
  const std::string Long300(300, 'x');
  // 127 two-byte letters and a third byte: the 255th byte would split a letter.
  std::string Cyrillic;
  for (int Index = 0; Index < 130; ++Index) Cyrillic += "ж";
  const TCase Cases[] = {
      {"plain", "Fonts", "Fonts"},
      {"empty", "", ""},
      {"300 characters keep 255", Long300, std::string(255, 'x')},
      {"UTF-8 cut before a character, not inside", Cyrillic, Cyrillic.substr(0, 254)},
      {"exactly 255 bytes", std::string(255, 'y'), std::string(255, 'y')},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    View->Items()->Clear();
    const auto Nodes = Build({"root", " child", "  grandchild", "second"});
    Nodes[1]->SetText(Case.Text);
    Nodes[1]->SetData(-7);
    Nodes[1]->SetDataText("ЁжЗ link");
    Nodes[1]->SetDataText2(std::string(1000, 'q'));
    Nodes[2]->SetCheckboxType(vccbRadioButton);
    Nodes[2]->SetChecked(true);
    Nodes[3]->SetOverlayIndex(4);
    const std::vector<uint8_t> Data = Streamed(View->Items());
    // The child's record length follows the root's block.
    EXPECT_EQ(IntAt(Data, 8 + 43), int32_t(39 + Case.Expected.size()));
    ReadInto(View->Items(), Data);
    ASSERT_EQ(View->Items()->Count(), 4);
    TvcTreeNode* Child = View->Items()->Item(1);
    EXPECT_EQ(Child->Text(), Case.Expected);
    EXPECT_EQ(Child->Data(), -7);
    EXPECT_EQ(Child->DataText(), "ЁжЗ link");
    EXPECT_EQ(Child->DataText2(), std::string(1000, 'q'));
    EXPECT_TRUE(View->Items()->Item(2)->Checked());
    EXPECT_TRUE(View->Items()->Item(2)->IsRadioGroup());
    EXPECT_EQ(View->Items()->Item(3)->OverlayIndex(), 4);
    EXPECT_EQ(View->StreamVersion(), 1);
    // Written again, the bytes are the same.
    EXPECT_EQ(Streamed(View->Items()), Data);
  }
}

TEST_F(TreeNodeTest, ExpansionLoadsOnlyWithStreamExpandedNode) {
  const auto Nodes = Build({"a", " a1", "b"});
  Nodes[0]->Expand(false);
  const std::vector<uint8_t> Data = Streamed(View->Items());
  ReadInto(View->Items(), Data);
  EXPECT_FALSE(View->Items()->Item(0)->Expanded());
  View->SetStreamExpandedNode(true);
  ReadInto(View->Items(), Data);
  EXPECT_TRUE(View->Items()->Item(0)->Expanded());
}

TEST_F(TreeNodeTest, ExtensionBlocksOfOtherNodeClasses) {
  // A tree written by a view whose nodes carry an extension (E = 5)...
  View->SetNodeClass(MakeFlagNode);
  const auto Nodes = Build({"a", " a1", "b"});
  static_cast<TFlagNode*>(Nodes[1])->SetMarked(false);
  const std::vector<uint8_t> Extended = Streamed(View->Items());
  EXPECT_EQ(IntAt(Extended, 4), 39 + 1 + 5);
  // ... read by a plain view: the same nodes, each extension passed over.
  auto* Plain = new TvcTreeView(Form);
  Plain->SetParent(Form);
  Plain->SetStreamVersion(1);
  ReadInto(Plain->Items(), Extended);
  ASSERT_EQ(Plain->Items()->Count(), 3);
  EXPECT_EQ(Plain->Items()->Item(1)->Text(), "a1");
  EXPECT_EQ(Plain->Items()->Item(2)->Text(), "b");
  // The reverse: a plain stream leaves the extension's property at its default.
  const std::vector<uint8_t> PlainData = Streamed(Plain->Items());
  ReadInto(View->Items(), PlainData);
  ASSERT_EQ(View->Items()->Count(), 3);
  EXPECT_TRUE(static_cast<TFlagNode*>(View->Items()->Item(1))->Marked());
  // And its own stream keeps the flag.
  ReadInto(View->Items(), Extended);
  EXPECT_FALSE(static_cast<TFlagNode*>(View->Items()->Item(1))->Marked());
}

TEST_F(TreeNodeTest, DamagedStreamsFailCleanlyAndKeepWhatWasRead) {
  Build({"a", " a1", "b", "c"});
  const std::vector<uint8_t> Good = Streamed(View->Items());
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Data;
    int32_t NodesLeft;
  };
  std::vector<uint8_t> Cut(Good.begin(), Good.end() - 3);
  std::vector<uint8_t> HugeText = Good;
  // DataText's length of the first root: two gigabytes, far past the end.
  HugeText[8 + 26 + 3] = 0x7F;
  std::vector<uint8_t> ManyRoots = Good;
  ManyRoots[3] = 0x7F;
  // Children nested far deeper than any tree a user builds.
  std::vector<uint8_t> Deep{1, 0, 0, 0};
  for (int Level = 0; Level < 2000; ++Level) {
    std::vector<uint8_t> Block(4 + 40, 0);
    Block[0] = 40;
    Block[4 + 34] = 1;  // one child
    Block[4 + 38] = 1;
    Block[4 + 39] = 'd';
    Deep.insert(Deep.end(), Block.begin(), Block.end());
  }
  const TCase Cases[] = {
      {"cut short in the last node", Cut, 3},
      {"a string longer than the stream", HugeText, 0},
      {"more roots than the stream holds", ManyRoots, 4},
      {"nested too deep: nothing of the branch", Deep, 0},
      {"nothing at all", {}, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_THROW(ReadInto(View->Items(), Case.Data), EReadError);
    EXPECT_EQ(View->Items()->Count(), Case.NodesLeft);
  }
}

TEST_F(TreeNodeTest, FormTextRoundTrip) {
  const auto Nodes = Build({"Fonts", " Sans", " Serif", "Colours"});
  Nodes[1]->SetData(42);
  const std::string Text = WriteComponentText(Form);
  TForm* Copy = NewForm<TForm>(nullptr);
  ReadComponentText(Copy, Text);
  auto* Tree = dynamic_cast<TvcTreeView*>(Copy->FindComponent("Tree"));
  ASSERT_NE(Tree, nullptr);
  EXPECT_EQ(Tree->Items()->Count(), 4);
  EXPECT_EQ(Tree->Items()->Item(1)->Data(), 42);
  EXPECT_EQ(Tree->Items()->Item(3)->Text(), "Colours");
  EXPECT_EQ(Tree->StreamVersion(), 1);
  Copy->Free();
  // A form without "StreamVersion" reads its data as version 0.
  TForm* Old = NewForm<TForm>(nullptr);
  std::string Older = Text;
  const size_t Line = Older.find("Items.StreamVersion");
  Older.erase(Line, Older.find('\n', Line) - Line + 1);
  ReadComponentText(Old, Older);
  auto* OldTree = dynamic_cast<TvcTreeView*>(Old->FindComponent("Tree"));
  ASSERT_NE(OldTree, nullptr);
  EXPECT_EQ(OldTree->Items()->Count(), 4);
  Old->Free();
}

TEST_F(TreeNodeTest, ReCreatingTheWindowKeepsNodesStatesAndMultiSelection) {
  const auto Nodes = Build({"a", " a1", " a2", " a3", "b"});
  View->MultiSelectAttributes()->SetEnabled(true);
  View->MultiSelectAttributes()->SetMultiSelectLevel(1);
  View->MultiSelectAttributes()->SetMultiSelectCheckbox(false);
  const std::string LongText = std::string(200, 'w') + "ёжик" + std::string(100, 'v');
  Nodes[4]->SetText(LongText);
  Nodes[4]->SetData(-123456789);
  Nodes[0]->Expand(false);
  Nodes[3]->SetMultiSelected(true);
  Nodes[1]->SetMultiSelected(true);
  Nodes[2]->SetCut(true);
  Nodes[2]->SetSelected(true);
  View->SetIndent(25);
  View->SetBorderStyle(bsNone);  // a new window
  Pump();
  ASSERT_EQ(View->Items()->Count(), 5);
  TvcTreeNodes* Items = View->Items();
  EXPECT_EQ(Items->Item(4)->Text(), LongText);
  EXPECT_EQ(Items->Item(4)->Data(), -123456789);
  EXPECT_TRUE(Items->Item(0)->Expanded());
  EXPECT_TRUE(Items->Item(2)->Cut());
  EXPECT_EQ(View->Selected(), Items->Item(2));
  EXPECT_EQ(Texts(View->MultiSelectList()), "a3,a1");
  EXPECT_TRUE(Items->Item(3)->MultiSelected());
  EXPECT_EQ(View->Indent(), 25);
  // Assign copies whole texts too.
  auto* Other = new TvcTreeView(Form);
  Other->SetParent(Form);
  Other->Items()->Assign(View->Items());
  ASSERT_EQ(Other->Items()->Count(), 5);
  EXPECT_EQ(Other->Items()->Item(4)->Text(), LongText);
  EXPECT_EQ(Other->Selected(), Other->Items()->GetFirstNode());
}

TEST_F(TreeNodeTest, NodesWaitForTheWindowOfAViewWithoutParent) {
  const auto Nodes = Build({"x", " y"});
  const std::vector<uint8_t> Data = Streamed(View->Items());
  auto* Loose = new TvcTreeView(Form);
  ReadInto(Loose->Items(), Data);
  EXPECT_FALSE(Loose->HandleAllocated());
  EXPECT_EQ(Streamed(Loose->Items()), Data);
  // The window comes with the parent (the form shows), and the nodes with it.
  Loose->SetParent(Form);
  ASSERT_TRUE(Loose->HandleAllocated());
  EXPECT_EQ(Loose->Items()->Count(), 2);
  EXPECT_EQ(Loose->Items()->Item(1)->Text(), "y");
}

}  // namespace
}  // namespace TreeTest
