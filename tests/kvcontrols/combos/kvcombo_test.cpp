// The combos: the dialog combo's button and keys, the combo box's map lists, item index, history
// on top of the list, typing (match text, first letters, type-ahead on the clock), the keys of
// the drop-down, a Cyrillic list, and a picture of an open list.

#include "kvcontrols/editors/kvcombobox.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

class KvComboTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(0, 0, 260, 200);
    Combo = new TkvDBComboBox(Form);
    Combo->SetBounds(10, 10, 160, 22);
    Combo->SetParent(Form);
    Other = new TEdit(Form);
    Other->SetBounds(10, 60, 100, 22);
    Other->SetParent(Form);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void SetItems(const std::vector<std::string>& Items) {
    Combo->ItemList().Clear();
    for (const auto& Item : Items) Combo->ItemList().Add(Item);
  }
  void Stroke(int VirtualKey, int Modifier = 0) {
    if (Modifier) InjectKey(Modifier, true);
    InjectKeyStroke(VirtualKey);
    if (Modifier) InjectKey(Modifier, false);
    Pump();
  }
  void Type(const std::u32string& Text) {
    InjectText(Text);
    Pump();
  }
  void Focus() {
    Combo->SetFocus();
    Pump();
  }

  TForm* Form = nullptr;
  TkvDBComboBox* Combo = nullptr;
  TEdit* Other = nullptr;
};

TEST_F(KvComboTest, MapListShowsTheDisplayTextAndStoresTheValue) {
  Combo->SetMapList(true);
  SetItems({"Red\t1", "Green\t2", "Blue"});
  Combo->SelectValue("2");
  EXPECT_EQ(Combo->Text(), "Green");
  std::string Value;
  Combo->GetValueText(Value);
  EXPECT_EQ(Value, "2");
  struct TCase {
    const char* Name;
    std::string In;
    std::string Display;  // DisplayToValue(In) when Direction is 'd', else ValueToDisplay(In)
    char Direction;
  };
  const TCase Cases[] = {
      {"display to value, any case", "GREEN", "2", 'd'},
      {"display without a value piece", "Blue", "", 'd'},
      {"unknown display", "Pink", "", 'd'},
      {"value to display", "1", "Red", 'v'},
      {"the empty value is the entry without a TAB", "", "Blue", 'v'},
      {"unknown value", "9", "", 'v'},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Case.Direction == 'd' ? Combo->DisplayToValue(Case.In) : Combo->ValueToDisplay(Case.In), Case.Display);
  }
  // A value without an item clears the text.
  Combo->SetValueText("9");
  EXPECT_EQ(Combo->Text(), "");
  Combo->SetValueText("1");
  EXPECT_EQ(Combo->Text(), "Red");
  // Without MapList the texts pass unchanged.
  Combo->SetMapList(false);
  EXPECT_EQ(Combo->DisplayToValue("Green"), "Green");
  EXPECT_EQ(Combo->ValueToDisplay("2"), "2");
}

// Bound to a field, a map-list combo shows the display text of the field's value and stores the
// value of the display text chosen.
TEST_F(KvComboTest, BoundMapListStoresTheValue) {
  auto* Colors = new TMemoryDataSet(Form);
  Colors->FieldDefs()->Add("COLOR", ftString, 10);
  Colors->Open();
  Colors->AppendRecord({"1"});
  Colors->First();
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Colors);
  Combo->SetMapList(true);
  SetItems({"Red\t1", "Green\t2"});
  Combo->SetDataSource(Source);
  Combo->SetDataField("COLOR");
  Pump();
  EXPECT_EQ(Combo->Text(), "Red");
  Focus();
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_EQ(Combo->Text(), "Green");
  Colors->Post();
  EXPECT_EQ(Colors->FindField("COLOR")->AsString(), "2");
  // A value without an item clears the text.
  Colors->Edit();
  Colors->FindField("COLOR")->SetAsString("9");
  Pump();
  EXPECT_EQ(Combo->Text(), "");
  Colors->Cancel();
}

TEST_F(KvComboTest, ItemIndexWritesTheTextAndReadsTheList) {
  SetItems({"one", "two", "three"});
  // Before the list exists the stored index is read back.
  TkvDBComboBox Fresh(nullptr);
  Fresh.ItemList().Add("x");
  EXPECT_EQ(Fresh.ItemIndex(), -1);

  Combo->SetItemIndex(2);
  EXPECT_EQ(Combo->Text(), "three");
  EXPECT_EQ(Combo->ItemIndex(), 2);
  Combo->SetItemIndex(7);
  EXPECT_EQ(Combo->Text(), "three") << "an index past the entries keeps the text";
  EXPECT_EQ(Combo->ItemIndex(), -1) << "and selects nothing in the list";
  Combo->SetItemIndex(-1);
  EXPECT_EQ(Combo->Text(), "");
  // Without MapList an entry's second piece is what the list shows.
  SetItems({"a\tAlpha", "b"});
  Combo->SetItemIndex(0);
  EXPECT_EQ(Combo->Text(), "Alpha");
}

TEST_F(KvComboTest, HistoryEntriesComeFirstNewestFirst) {
  SetItems({"apple", "banana"});
  TkvHistoryList* History = Combo->HistoryList();
  History->SetEnabled(true);
  History->SetMRUEnabled(true);
  History->SetMRUMaxSize(2);
  for (const char* Entry : {"old", "newer", "newest"}) History->Items().Add(Entry);
  Combo->RebuildDropDownList();
  const TStringList& List = Combo->ListBox()->Items();
  std::vector<std::string> Shown;
  for (int Index = 0; Index < List.Count(); ++Index) Shown.push_back(List[Index]);
  EXPECT_EQ(Shown, (std::vector<std::string>{"newest", "newer", "apple", "banana", "old", "newer", "newest"}));
  EXPECT_EQ(History->GetMRUCount(), 2);

  // Accepting a value makes it the newest; blanks and TABs at the end are trimmed, empties
  // ignored, and OnAddHistoryItem may refuse.
  Combo->AddToHistory("old \t", true);
  Combo->AddToHistory("   ", true);
  EXPECT_EQ(History->Items()[History->Items().Count() - 1], "old");
  EXPECT_EQ(History->Items().Count(), 3);
  Combo->OnAddHistoryItem = TkvAddHistoryItemEvent([](TObject*, const std::string&, bool& Accept) { Accept = false; });
  Combo->AddToHistory("refused", true);
  EXPECT_EQ(History->Items().IndexOf("refused"), -1);
}

TEST_F(KvComboTest, DropDownKeysOpenMoveAcceptAndCancel) {
  SetItems({"one", "two", "three"});
  int CloseUps = 0;
  bool LastSelect = false;
  Combo->OnCloseUp = TkvComboCloseUpEvent([&](TObject*, bool Select) {
    ++CloseUps;
    LastSelect = Select;
  });
  Focus();
  struct TCase {
    const char* Name;
    int OpenKey, OpenModifier;
  };
  const TCase Opens[] = {{"F4", VK_F4, 0}, {"Alt+Down", VK_DOWN, VK_MENU}, {"Alt+Up", VK_UP, VK_MENU}};
  for (const auto& Case : Opens) {
    SCOPED_TRACE(Case.Name);
    Stroke(Case.OpenKey, Case.OpenModifier);
    EXPECT_TRUE(Combo->IsDroppedDown());
    EXPECT_TRUE(IsWindowVisible(Combo->ListBox()->Handle()));
    Stroke(Case.OpenKey, Case.OpenModifier);  // the same key closes
    EXPECT_FALSE(Combo->IsDroppedDown());
  }

  CloseUps = 0;
  Combo->SetModified(false);
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_DOWN);
  EXPECT_EQ(Combo->ListBox()->ItemIndex(), 1);
  EXPECT_EQ(Combo->Text(), "two") << "moving in the open list copies the entry";
  Stroke(VK_RETURN);
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_FALSE(IsWindowVisible(Combo->ListBox()->Handle()));
  EXPECT_EQ(Combo->Text(), "two");
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_TRUE(Combo->Modified());
  EXPECT_EQ(CloseUps, 1);
  EXPECT_TRUE(LastSelect);

  Stroke(VK_F4);
  Stroke(VK_ESCAPE);
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(CloseUps, 2);
  EXPECT_FALSE(LastSelect);
  EXPECT_EQ(Combo->Text(), "two");

  // With the list closed, Down and Up step through the entries.
  Stroke(VK_DOWN);
  EXPECT_EQ(Combo->Text(), "three");
  Stroke(VK_UP);
  Stroke(VK_UP);
  EXPECT_EQ(Combo->Text(), "one");
  Stroke(VK_UP);
  EXPECT_EQ(Combo->Text(), "one") << "no entry before the first";
}

TEST_F(KvComboTest, AClickOutsideClosesAndAcceptsAndFocusLossCloses) {
  SetItems({"one", "two"});
  Focus();
  Stroke(VK_F4);
  Combo->ListBox()->SetItemIndex(1);
  const POINT Outside = Form->ClientToScreen(POINT{200, 150});
  InjectMouseClick(VK_LBUTTON, Outside.x, Outside.y);
  Pump();
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(Combo->Text(), "two");

  Stroke(VK_F4);
  Other->SetFocus();
  Pump();
  EXPECT_FALSE(Combo->IsDroppedDown());
}

// The outside-click hook is one for every combo box: freeing another combo while a list is
// open must leave the open list closable by a click outside.
TEST_F(KvComboTest, FreeingAnotherComboKeepsTheOpenListsHook) {
  SetItems({"one", "two"});
  auto* Second = new TkvDBComboBox(Form);
  Second->SetBounds(10, 120, 100, 22);
  Second->SetParent(Form);
  Focus();
  Stroke(VK_F4);
  ASSERT_TRUE(Combo->IsDroppedDown());
  Second->Free();
  const POINT Outside = Form->ClientToScreen(POINT{200, 150});
  InjectMouseClick(VK_LBUTTON, Outside.x, Outside.y);
  Pump();
  EXPECT_FALSE(Combo->IsDroppedDown());
}

TEST_F(KvComboTest, ClickOnAnEntryChoosesIt) {
  SetItems({"one", "two", "three"});
  Focus();
  Stroke(VK_F4);
  TkvPopupListbox* List = Combo->ListBox();
  const RECT Row = List->ItemRect(2);
  const POINT At = List->ClientToScreen(POINT{5, (Row.top + Row.bottom) / 2});
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  Pump();
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(Combo->Text(), "three");
}

TEST_F(KvComboTest, MatchTextCompletesAndHighlightsTheRest) {
  Combo->SetShowMatchText(true);
  SetItems({"Paris", "Pascal", "Rome"});
  Focus();
  Combo->SetText("");
  Type(U"Pa");
  EXPECT_EQ(Combo->Text(), "Paris");
  EXPECT_EQ(Combo->SelStart(), 2);
  EXPECT_EQ(Combo->SelLength(), 3);
  Type(U"s");
  EXPECT_EQ(Combo->Text(), "Pascal");
  EXPECT_EQ(Combo->SelStart(), 3);
}

TEST_F(KvComboTest, FirstLetterSearchCyclesAfterTheStoredIndex) {
  Combo->SetStyle(csDropDownList);
  SetItems({"beta", "alpha", "bravo", "charlie"});
  Focus();
  struct TCase {
    const char32_t* Key;
    const char* Expected;
  };
  // Each letter finds the next entry after the current one that begins with it, wrapping round.
  const TCase Steps[] = {{U"b", "beta"}, {U"b", "bravo"}, {U"B", "beta"}, {U"c", "charlie"}, {U"z", "charlie"}};
  for (const auto& Step : Steps) {
    SCOPED_TRACE(Step.Expected);
    Type(Step.Key);
    EXPECT_EQ(Combo->Text(), Step.Expected);
  }
}

TEST_F(KvComboTest, TypeAheadRestartsAfterAPause) {
  Combo->SetStyle(csOwnerDrawFixed);
  SetItems({"bed", "beta", "cat", "cedar"});
  Focus();
  Stroke(VK_F4);
  ASSERT_TRUE(Combo->IsDroppedDown());
  TkvPopupListbox* List = Combo->ListBox();
  Type(U"b");
  Type(U"e");
  Type(U"t");
  EXPECT_EQ(List->SearchText, "bet");
  EXPECT_EQ(List->ItemIndex(), 1);
  Advance(1400);
  Type(U"c");
  EXPECT_EQ(List->SearchText, "betc") << "1400 ms is not a pause";
  Advance(1600);
  Type(U"c");
  Type(U"e");
  EXPECT_EQ(List->SearchText, "ce");
  EXPECT_EQ(List->ItemIndex(), 3);
  Stroke(VK_ESCAPE);
}

TEST_F(KvComboTest, OwnerDrawnItemsArePaintedByTheHandler) {
  Combo->SetStyle(csOwnerDrawFixed);
  SetItems({"red", "green", "blue"});
  std::vector<std::pair<int, uint32_t>> Drawn;
  Combo->OnDrawItem = TkvDrawItemEvent([&](TObject* Sender, int Index, const RECT&, uint32_t State) {
    EXPECT_EQ(Sender, Combo);
    Drawn.emplace_back(Index, State);
    if (Index == 2) throw std::runtime_error("a handler that fails");
  });
  Combo->SetItemIndex(1);
  Focus();
  Stroke(VK_F4);
  Drawn.clear();
  TBitmap Picture;
  Picture.SetSize(Combo->ListBox()->Width(), Combo->ListBox()->Height());
  Combo->ListBox()->PaintTo(Picture.Canvas(), 0, 0);  // the failing item does not stop the list
  const std::vector<std::pair<int, uint32_t>> Expected = {{0, 0u}, {1, kvodSelected | kvodFocused}, {2, 0u}};
  EXPECT_EQ(Drawn, Expected);
  Stroke(VK_ESCAPE);
}

TEST_F(KvComboTest, CyrillicEntriesMatchAndShow) {
  Combo->SetShowMatchText(true);
  Combo->SetMapList(true);
  SetItems({"Красный\t1", "Зелёный\t2", "Зеркало\t3"});
  Combo->SelectValue("3");
  EXPECT_EQ(Combo->Text(), "Зеркало");
  Focus();
  Combo->SetText("");
  Type(U"Зел");
  EXPECT_EQ(Combo->Text(), "Зелёный");
  EXPECT_EQ(Combo->SelStart(), 3) << "positions count characters, not bytes";
  EXPECT_EQ(Combo->SelLength(), 4);
  std::string Value;
  Combo->GetValueText(Value);
  EXPECT_EQ(Value, "2");
}

// The inspector commits a pick-list row when the shared combo closes up, and again when a row
// is left while the editor reports itself modified. A host that commits at close-up clears the
// modification there, so leaving the row reports nothing a second time.
TEST_F(KvComboTest, ACommittedCloseUpIsReportedOnce) {
  SetItems({"one", "two"});
  int Commits = 0;
  auto CommitIfModified = [&] {
    if (Combo->Modified()) {
      ++Commits;
      Combo->SetModified(false);
    }
  };
  Combo->OnCloseUp = TkvComboCloseUpEvent([&](TObject*, bool Select) {
    if (Select) CommitIfModified();
  });
  Focus();
  Combo->SetModified(false);
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_EQ(Commits, 1);
  Other->SetFocus();  // leaving the row
  Pump();
  CommitIfModified();
  EXPECT_EQ(Commits, 1);
  // Opening and closing without a new choice is no change at all.
  Focus();
  Stroke(VK_F4);
  Stroke(VK_RETURN);
  EXPECT_EQ(Commits, 1);
  EXPECT_FALSE(Combo->Modified());
}

TEST_F(KvComboTest, DialogComboFiresOnCustomDlg) {
  auto* Dialog = new TkvDBComboDlg(Form);
  Dialog->SetBounds(10, 100, 160, 22);
  Dialog->SetParent(Form);
  Pump();
  int Calls = 0;
  bool DroppedInside = false;
  Dialog->OnCustomDlg = TNotifyEvent([&](TObject* Sender) {
    ++Calls;
    DroppedInside = Dialog->IsDroppedDown();
    static_cast<TkvDBComboDlg*>(Sender)->SetText("/home/Пётр/Изображения");
  });
  Dialog->SetFocus();
  Pump();
  Stroke(VK_F4);
  EXPECT_EQ(Calls, 1);
  EXPECT_TRUE(DroppedInside);
  EXPECT_FALSE(Dialog->IsDroppedDown());
  EXPECT_EQ(Dialog->Text(), "/home/Пётр/Изображения");

  // The button: a click on it.
  TkvComboDlgButton* Button = Dialog->Button();
  ASSERT_TRUE(Dialog->GetShowButton());
  const POINT Center = Button->ClientToScreen(POINT{Button->Width() / 2, Button->Height() / 2});
  InjectMouseClick(VK_LBUTTON, Center.x, Center.y);
  Pump();
  EXPECT_EQ(Calls, 2);

  // A raising handler leaves the combo closed.
  Dialog->OnCustomDlg = TNotifyEvent([](TObject*) { throw std::runtime_error("dialog failed"); });
  EXPECT_THROW(Dialog->DropDown(), std::runtime_error);
  EXPECT_FALSE(Dialog->IsDroppedDown());

  // Without a handler, F4 does nothing and the text stays editable.
  Dialog->OnCustomDlg = TNotifyEvent();
  Stroke(VK_F4);
  EXPECT_FALSE(Dialog->IsDroppedDown());
  Dialog->SelectAll();
  Type(U"x");
  EXPECT_EQ(Dialog->Text(), "x");

  // ButtonWidth 0 gives the system default.
  Dialog->SetButtonWidth(30);
  EXPECT_EQ(Dialog->ButtonHost()->Width(), 30);
  Dialog->SetButtonWidth(0);
  EXPECT_EQ(Dialog->ButtonHost()->Width(), TkvDBCustomCombo::DefaultButtonWidth());
}

TEST_F(KvComboTest, DropDownListStyleSwallowsTyping) {
  auto* Dialog = new TkvDBComboDlg(Form);
  Dialog->SetBounds(10, 100, 160, 22);
  Dialog->SetParent(Form);
  Dialog->SetStyle(kvdotdot::csDropDownList);
  int Calls = 0;
  Dialog->OnCustomDlg = TNotifyEvent([&](TObject*) { ++Calls; });
  Dialog->SetFocus();
  Pump();
  Type(U"abc");
  EXPECT_EQ(Dialog->Text(), "");
  // A click on the text opens the dialog.
  const POINT At = Dialog->ClientToScreen(POINT{10, 10});
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  Pump();
  EXPECT_EQ(Calls, 1);
}

TEST_F(KvComboTest, PictureOfAnOpenList) {
  SetItems({"Один", "Два", "Три", "Четыре"});
  Combo->HistoryList()->SetEnabled(true);
  Combo->HistoryList()->SetMRUEnabled(true);
  Combo->HistoryList()->Items().Add("Последний");
  Focus();
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_DOWN);
  Pump();
  TkvPopupListbox* List = Combo->ListBox();
  ASSERT_TRUE(Combo->IsDroppedDown());
  // The form and the list, composed where the screen shows them.
  const POINT FormOrigin = Form->ClientToScreen(POINT{0, 0});
  RECT ListRect{};
  GetWindowRect(List->Handle(), &ListRect);
  TBitmap Picture;
  Picture.SetPixelFormat(pf24bit);
  Picture.SetSize(Form->ClientWidth(), Form->ClientHeight());
  Form->PaintTo(Picture.Canvas(), 0, 0);
  List->PaintTo(Picture.Canvas(), ListRect.left - FormOrigin.x, ListRect.top - FormOrigin.y);
  const std::string Path = SavePng(Picture, "kvcombo_open_list", 2);
  EXPECT_FALSE(Path.empty());
  // The selected row is highlighted; the rows below the combo are the list's.
  const int SelectedY = ListRect.top - FormOrigin.y + List->ItemRect(1).top + List->ItemHeight() / 2;
  EXPECT_EQ(PixelOf(Picture, ListRect.left - FormOrigin.x + List->Width() - 4, SelectedY),
            TColor(ColorToRGB(clHighlight)));
  Stroke(VK_ESCAPE);
}

}  // namespace
}  // namespace FormsTest
