// Focus inside a form (CM_EXIT / CM_ENTER along the parents), tab order, dialog keys, key
// preview and typed characters.

#include <gtest/gtest.h>

#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class FocusTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    // Form
    //   PanelA: BoxA1, BoxA2
    //   PanelB: BoxB1
    //   Box3
    Form = new TForm(nullptr, 0);
    Form->SetName("Form");
    Form->SetBounds(0, 0, 400, 300);
    PanelA = MakePanel("PanelA", 10);
    BoxA1 = MakeBox("BoxA1", PanelA, 5);
    BoxA2 = MakeBox("BoxA2", PanelA, 30);
    PanelB = MakePanel("PanelB", 100);
    BoxB1 = MakeBox("BoxB1", PanelB, 5);
    Box3 = MakeBox("Box3", Form, 220);
    for (auto [Control, Name] : {std::pair<TControl*, const char*>{Form, "Form"},
                                 {PanelA, "PanelA"},
                                 {PanelB, "PanelB"},
                                 {BoxA1, "BoxA1"},
                                 {BoxA2, "BoxA2"},
                                 {BoxB1, "BoxB1"},
                                 {Box3, "Box3"}})
      Log.Attach(Control, Name);
    Log.Only = {CM_ENTER, CM_EXIT, CM_FOCUSCHANGED, CM_ACTIVATE, CM_DEACTIVATE};
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TTestPanel* MakePanel(const char* Name, int Top) {
    auto* Panel = new TTestPanel(Form);
    Panel->SetName(Name);
    Panel->SetBounds(10, Top, 300, 80);
    Panel->SetParent(Form);
    return Panel;
  }
  TTestBox* MakeBox(const char* Name, TWinControl* Parent, int Top) {
    auto* Box = new TTestBox(Form);
    Box->SetName(Name);
    Box->SetBounds(5, Top, 100, 20);
    Box->SetParent(Parent);
    return Box;
  }
  void Show() {
    Form->Show();
    Pump();
  }
  TWinControl* Focused() { return TWinControl::FindControl(GetFocus()); }

  TForm* Form;
  TTestPanel *PanelA, *PanelB;
  TTestBox *BoxA1, *BoxA2, *BoxB1, *Box3;
};

TEST_F(FocusTest, ShowingTheFormFocusesTheFirstTabStop) {
  int Activations = 0;
  Form->OnActivate = TNotifyEvent([&](TObject*) { ++Activations; });
  // Form.Show on a new form: it becomes active, CM_ACTIVATE, then CM_ENTER down to the first tab
  // stop (its parent first); the form then tells every control, depth first, which one has the
  // focus.
  const TExpectedControlMessage Expected[] = {
      {"Form", CM_ACTIVATE},
      {"PanelA", CM_ENTER},
      {"BoxA1", CM_ENTER},
      {"Form", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"PanelA", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"BoxA1", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"BoxA2", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"PanelB", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"BoxB1", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
      {"Box3", CM_FOCUSCHANGED, LParam, 0, LPARAM(BoxA1)},
  };
  Show();
  ExpectControlMessages(Log, Expected, "Form.Show");
  EXPECT_EQ(Focused(), BoxA1);
  EXPECT_EQ(Form->ActiveControl(), BoxA1);
  EXPECT_EQ(Screen->ActiveControl(), BoxA1);
  EXPECT_EQ(Screen->ActiveForm(), Form);
  EXPECT_EQ(Activations, 1);
}

TEST_F(FocusTest, MovingTheFocusExitsAndEntersAlongTheParents) {
  Show();
  std::vector<std::string> Events;
  for (TTestBox* Box : {BoxA1, BoxB1}) {
    Box->OnEnter = TNotifyEvent([&Events, Box](TObject*) { Events.push_back(Box->Name() + " enter"); });
    Box->OnExit = TNotifyEvent([&Events, Box](TObject*) { Events.push_back(Box->Name() + " exit"); });
  }
  Log.Clear();
  // BoxB1.SetFocus from BoxA1: out of BoxA1 and PanelA, into PanelB and BoxB1.
  static const TExpectedControlMessage AcrossPanels[] = {
      {"BoxA1", CM_EXIT},          {"PanelA", CM_EXIT},         {"PanelB", CM_ENTER},
      {"BoxB1", CM_ENTER},         {"Form", CM_FOCUSCHANGED},   {"PanelA", CM_FOCUSCHANGED},
      {"BoxA1", CM_FOCUSCHANGED},  {"BoxA2", CM_FOCUSCHANGED},  {"PanelB", CM_FOCUSCHANGED},
      {"BoxB1", CM_FOCUSCHANGED},  {"Box3", CM_FOCUSCHANGED},
  };
  BoxB1->SetFocus();
  ExpectControlMessages(Log, AcrossPanels, "BoxB1.SetFocus from BoxA1");
  EXPECT_EQ(Events, (std::vector<std::string>{"BoxA1 exit", "BoxB1 enter"}));
  EXPECT_TRUE(BoxB1->Focused());

  // Within one parent only the two controls hear of it.
  BoxA1->SetFocus();
  Log.Clear();
  static const TExpectedControlMessage WithinPanel[] = {
      {"BoxA1", CM_EXIT},         {"BoxA2", CM_ENTER},         {"Form", CM_FOCUSCHANGED},
      {"PanelA", CM_FOCUSCHANGED}, {"BoxA1", CM_FOCUSCHANGED}, {"BoxA2", CM_FOCUSCHANGED},
      {"PanelB", CM_FOCUSCHANGED}, {"BoxB1", CM_FOCUSCHANGED}, {"Box3", CM_FOCUSCHANGED}};
  BoxA2->SetFocus();
  ExpectControlMessages(Log, WithinPanel, "BoxA2.SetFocus from BoxA1");

  // The focused control again: nothing.
  Log.Clear();
  BoxA2->SetFocus();
  EXPECT_TRUE(Log.Entries().empty());

  // Hiding the focused control's parent moves the focus out of it.
  PanelA->SetVisible(false);
  Pump();
  EXPECT_FALSE(BoxA2->Focused());
  EXPECT_NE(Form->ActiveControl(), BoxA2);
  EXPECT_THROW(BoxA1->SetFocus(), EInvalidOperation);
}

TEST_F(FocusTest, TabAndShiftTabFollowTheTabOrder) {
  BoxA2->SetEnabled(false);  // skipped
  Show();
  ASSERT_EQ(Focused(), BoxA1);
  std::vector<std::string> Seen;
  auto Tab = [&](bool Back) {
    if (Back) InjectKey(VK_SHIFT, true);
    InjectKeyStroke(VK_TAB);
    if (Back) InjectKey(VK_SHIFT, false);
    Pump();
    Seen.push_back(Focused() ? Focused()->Name() : "none");
  };
  Tab(false);
  Tab(false);
  Tab(false);  // wraps round
  Tab(true);
  EXPECT_EQ(Seen, (std::vector<std::string>{"BoxB1", "Box3", "BoxA1", "Box3"}));
  // Tab never typed a character into a box.
  EXPECT_TRUE(BoxA1->Typed.empty());
  EXPECT_TRUE(Box3->Typed.empty());

  // Tab order is the order inside the parent: Box3 before both panels now.
  Box3->SetTabOrder(0);
  EXPECT_EQ(Box3->TabOrder(), 0);
  EXPECT_EQ(PanelA->TabOrder(), 1);
  BoxB1->SetFocus();
  Seen.clear();
  Tab(false);
  EXPECT_EQ(Seen, (std::vector<std::string>{"Box3"}));
}

TEST_F(FocusTest, ArrowsMoveWithinTheParentUnlessTheControlWantsThem) {
  Show();
  InjectKeyStroke(VK_DOWN);
  Pump();
  EXPECT_EQ(Focused(), BoxA2);
  // A control that asks for arrows (WM_GETDLGCODE) gets them as keys.
  auto* Grid = new TTestPanel(Form);
  Grid->WantArrows = true;
  Grid->SetTabStop(true);
  Grid->SetParent(PanelB);
  Grid->SetBounds(150, 5, 50, 50);
  Pump();
  std::vector<WORD> Keys;
  Grid->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState) { Keys.push_back(Key); });
  Grid->SetFocus();
  InjectKeyStroke(VK_DOWN);
  InjectKeyStroke(VK_RIGHT);
  Pump();
  EXPECT_EQ(Focused(), Grid);
  EXPECT_EQ(Keys, (std::vector<WORD>{WORD(VK_DOWN), WORD(VK_RIGHT)}));
}

TEST_F(FocusTest, KeyPreviewLetsTheFormSeeAndConsumeKeysFirst) {
  Show();
  std::vector<std::string> Seen;
  Form->SetKeyPreview(true);
  Form->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState Shift) {
    Seen.push_back("form " + std::to_string(Key));
    if (Key == VK_F8 && Shift == TShiftState{ssCtrl}) Key = 0;  // consumed
  });
  BoxA1->OnKeyDown =
      TKeyEvent([&](TObject*, WORD& Key, TShiftState) { Seen.push_back("box " + std::to_string(Key)); });
  Form->OnKeyPress = TKeyPressEvent([&](TObject*, char32_t& Key) {
    if (Key == U'x') Key = 0;  // the form drops x
  });
  InjectKeyStroke(VK_F7);
  InjectKey(VK_CONTROL, true);
  InjectKeyStroke(VK_F8);
  InjectKey(VK_CONTROL, false);
  InjectText(U"axb");
  Pump();
  const std::vector<std::string> Expected{"form 118", "box 118",  "form 17", "box 17",
                                          "form 119", "form 231", "box 231", "form 231",
                                          "box 231",  "form 231", "box 231"};
  EXPECT_EQ(Seen, Expected);
  EXPECT_EQ(BoxA1->Typed, U"ab");
}

TEST_F(FocusTest, TypedCharactersArriveAsCodePoints) {
  Show();
  std::u32string Seen;
  BoxA1->OnKeyPress = TKeyPressEvent([&](TObject*, char32_t& Key) {
    Seen += Key;
    if (Key == U'ж') Key = U'Ж';  // a handler may change the character
  });
  InjectText(U"Жук ж€😀");
  InjectKeyStroke('A');
  Pump();
  EXPECT_EQ(Seen, U"Жук ж€😀a");
  EXPECT_EQ(BoxA1->Typed, U"Жук Ж€😀a");
}

TEST_F(FocusTest, ClickingActivatesAndFocusesAnotherForm) {
  Show();
  TForm* Other = new TForm(nullptr, 0);
  Other->SetBounds(450, 0, 200, 200);
  auto* OtherBox = new TTestBox(Other);
  OtherBox->SetParent(Other);
  Other->Show();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), Other);
  EXPECT_EQ(Focused(), OtherBox);
  int Deactivated = 0;
  Other->OnDeactivate = TNotifyEvent([&](TObject*) { ++Deactivated; });
  POINT P = BoxB1->ClientToScreen(POINT{2, 2});
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), Form);
  EXPECT_EQ(Focused(), BoxB1);
  EXPECT_EQ(Deactivated, 1);
  EXPECT_FALSE(Other->Active());
  EXPECT_TRUE(Form->Active());
  Other->Free();
  EXPECT_EQ(Screen->FormCount(), 1);
}

}  // namespace
}  // namespace FormsTest
