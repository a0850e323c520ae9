// Actions and their clients: a change of an action reaches a button, a menu item and a tool-bar
// button alike; a click on any of them runs it; auto-check and radio groups; shortcuts
// dispatched by the form that owns the list; idle updates; an action that goes away.

#include "platform/forms/actions.h"

#include <gtest/gtest.h>

#include "platform/forms/actionlist.h"
#include "platform/forms/actionmanager.h"
#include "platform/forms/actiontoolbar.h"
#include "platform/forms/buttons.h"
#include "platform/forms/datamodule.h"
#include "platform/forms/menus.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class ActionsTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 360, 200);
    Manager = new TActionManager(Form);
    Action = NewAction("Capture", "Capture an Image. Ctrl+I");
    Button = new TButton(Form);
    Button->SetBounds(10, 60, 90, 25);
    Button->SetParent(Form);
    Button->SetAction(Action);
    Item = new TMenuItem(Form);
    Item->SetAction(Action);
    Bar = new TActionToolBar(Form);
    Bar->SetParent(Form);
    Bar->SetActionManager(Manager);
    Bar->Items()->Add()->SetAction(Action);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TAction* NewAction(const std::string& Caption, const std::string& Hint = "") {
    auto* Result = new TAction(Form);
    Result->SetCaption(Caption);
    Result->SetHint(Hint);
    Result->SetActionList(Manager);
    Result->OnExecute = TNotifyEvent([this, Result](TObject* Sender) {
      EXPECT_EQ(Sender, Result);
      Executed.push_back(Result->Caption());
    });
    return Result;
  }
  TActionToolButton* ToolButton() { return Bar->FindButton(Action); }

  TForm* Form = nullptr;
  TActionManager* Manager = nullptr;
  TAction* Action = nullptr;
  TButton* Button = nullptr;
  TMenuItem* Item = nullptr;
  TActionToolBar* Bar = nullptr;
  std::vector<std::string> Executed;
};

TEST_F(ActionsTest, EveryClientFollowsTheAction) {
  struct TCase {
    const char* Name;
    std::function<void(TAction*)> Change;
    std::function<void(TButton*, TMenuItem*, TActionToolButton*)> Check;
  };
  const TCase Cases[] = {
      {"caption", [](TAction* A) { A->SetCaption("Image"); },
       [](TButton* B, TMenuItem* M, TActionToolButton* T) {
         EXPECT_EQ(B->Caption(), "Image");
         EXPECT_EQ(M->Caption(), "Image");
         EXPECT_EQ(T->Caption(), "Image");
       }},
      {"hint", [](TAction* A) { A->SetHint("Exit. Alt+X"); },
       [](TButton* B, TMenuItem* M, TActionToolButton* T) {
         EXPECT_EQ(B->Hint(), "Exit. Alt+X");
         EXPECT_EQ(M->Hint(), "Exit. Alt+X");
         EXPECT_EQ(T->Hint(), "Exit. Alt+X");
       }},
      {"disabled", [](TAction* A) { A->SetEnabled(false); },
       [](TButton* B, TMenuItem* M, TActionToolButton* T) {
         EXPECT_FALSE(B->Enabled());
         EXPECT_FALSE(M->Enabled());
         EXPECT_FALSE(T->Enabled());
       }},
      {"hidden", [](TAction* A) { A->SetVisible(false); },
       [](TButton* B, TMenuItem* M, TActionToolButton* T) {
         EXPECT_FALSE(B->Visible());
         EXPECT_FALSE(M->Visible());
         EXPECT_FALSE(T->Visible());
       }},
      {"checked", [](TAction* A) { A->SetChecked(true); },
       [](TButton*, TMenuItem* M, TActionToolButton* T) {
         EXPECT_TRUE(M->Checked());
         EXPECT_TRUE(T->Checked());
       }},
      {"image", [](TAction* A) { A->SetImageIndex(3); },
       [](TButton*, TMenuItem*, TActionToolButton* T) { EXPECT_EQ(T->ImageIndex(), 3); }},
      {"shortcut", [](TAction* A) { A->SetShortCut(ShortCut('I', {ssCtrl})); },
       [](TButton*, TMenuItem* M, TActionToolButton*) { EXPECT_EQ(ShortCutToText(M->ShortCut()), "Ctrl+I"); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TearDown();
    SetUp();
    // Setting the action copied its state into every client.
    EXPECT_EQ(Button->Caption(), "Capture");
    EXPECT_EQ(Item->Hint(), "Capture an Image. Ctrl+I");
    ASSERT_NE(ToolButton(), nullptr);
    EXPECT_EQ(ToolButton()->Caption(), "Capture");
    Case.Change(Action);
    Case.Check(Button, Item, ToolButton());
  }
}

TEST_F(ActionsTest, AClientWithAValueOfItsOwnKeepsIt) {
  Button->SetCaption("Snap");
  Action->SetCaption("Image");
  EXPECT_EQ(Button->Caption(), "Snap");
  EXPECT_EQ(Item->Caption(), "Image");
  // The other values still follow.
  Action->SetEnabled(false);
  EXPECT_FALSE(Button->Enabled());
}

TEST_F(ActionsTest, AClickOnAnyClientRunsTheAction) {
  TActionToolButton* Tool = ToolButton();
  ClickAt(Button, 5, 5);
  Pump();
  Item->Click();
  ClickAt(Tool, 3, 3);
  Pump();
  EXPECT_EQ(Executed, (std::vector<std::string>{"Capture", "Capture", "Capture"}));
  // A disabled action runs from nowhere, not even when the program clicks its menu item.
  Executed.clear();
  Action->SetEnabled(false);
  Item->Click();
  EXPECT_FALSE(Action->Execute());
  ClickAt(Tool, 3, 3);
  Pump();
  EXPECT_TRUE(Executed.empty());
  // A client with an OnClick of its own runs that instead.
  Action->SetEnabled(true);
  int OwnClicks = 0;
  Button->OnClick = TNotifyEvent([&](TObject*) { ++OwnClicks; });
  ClickAt(Button, 5, 5);
  Pump();
  EXPECT_EQ(OwnClicks, 1);
  EXPECT_TRUE(Executed.empty());
}

TEST_F(ActionsTest, AutoCheckAndRadioGroups) {
  // The album's view styles: four auto-check actions in radio group 1, Report checked.
  std::vector<TAction*> Styles;
  for (const char* Caption : {"Icon", "Small icon", "List", "Report"}) {
    TAction* Style = NewAction(Caption);
    Style->SetAutoCheck(true);
    Style->SetGroupIndex(1);
    Styles.push_back(Style);
  }
  Styles[3]->SetChecked(true);
  // A lone auto-check action toggles and its handler sees the new state.
  TAction* Sorted = NewAction("Sorted");
  Sorted->SetAutoCheck(true);
  Sorted->SetChecked(true);
  bool SeenChecked = true;
  Sorted->OnExecute = TNotifyEvent([&](TObject*) { SeenChecked = Sorted->Checked(); });
  auto CheckedNames = [&] {
    std::string Names;
    for (TAction* Style : Styles)
      if (Style->Checked()) Names += Style->Caption() + ";";
    return Names;
  };
  struct TCase {
    const char* Name;
    int Execute;  // index into Styles
    const char* Checked;
  };
  const TCase Cases[] = {
      {"List checks List and unchecks Report", 2, "List;"},
      {"List again stays checked (a radio member does not toggle off)", 2, "List;"},
      {"Icon", 0, "Icon;"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_TRUE(Styles[size_t(Case.Execute)]->Execute());
    EXPECT_EQ(CheckedNames(), Case.Checked);
  }
  // Setting a member checked by hand unchecks the others too.
  Styles[1]->SetChecked(true);
  EXPECT_EQ(CheckedNames(), "Small icon;");
  Sorted->Execute();
  EXPECT_FALSE(Sorted->Checked());
  EXPECT_FALSE(SeenChecked);
  Sorted->Execute();
  EXPECT_TRUE(SeenChecked);
}

TEST_F(ActionsTest, ShortcutsAreDispatchedByTheFormThatOwnsTheList) {
  auto* Box = new TTestBox(Form);
  Box->SetBounds(120, 60, 80, 24);
  Box->SetParent(Form);
  Box->SetFocus();
  Pump();
  Action->SetShortCut(ShortCut('I', {ssCtrl}));
  TAction* Exit = NewAction("Exit");
  Exit->SetShortCut(ShortCut('X', {ssAlt}));
  TAction* Help = NewAction("Help");
  Help->SetShortCut(ShortCut(VK_F1, {}));
  // An action in a data module's list: the form does not dispatch its shortcut.
  auto* Module = new TDataModule(nullptr, 0);
  auto* ModuleList = new TActionList(Module);
  auto* ModuleAction = new TAction(Module);
  ModuleAction->SetActionList(ModuleList);
  ModuleAction->SetShortCut(ShortCut('M', {ssCtrl}));
  int ModuleRuns = 0;
  ModuleAction->OnExecute = TNotifyEvent([&](TObject*) { ++ModuleRuns; });
  auto Chord = [&](int Modifier, int Key) {
    if (Modifier) InjectKey(Modifier, true);
    InjectKeyStroke(Key);
    if (Modifier) InjectKey(Modifier, false);
    Pump();
  };
  struct TCase {
    const char* Name;
    int Modifier;
    int Key;
    std::vector<std::string> Executed;
    bool BoxGotKey;
  };
  const TCase Cases[] = {
      {"Ctrl+I", VK_CONTROL, 'I', {"Capture"}, false},
      {"Alt+X", VK_MENU, 'X', {"Exit"}, false},
      {"F1", 0, VK_F1, {"Help"}, false},
      {"plain I is typed", 0, 'I', {}, true},
      {"Shift+F1 is no shortcut", VK_SHIFT, VK_F1, {}, true},
      {"Ctrl+M of the data module", VK_CONTROL, 'M', {}, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Executed.clear();
    int KeysSeen = 0;
    Box->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState) {
      if (Key == WORD(Case.Key)) ++KeysSeen;
    });
    Chord(Case.Modifier, Case.Key);
    EXPECT_EQ(Executed, Case.Executed);
    EXPECT_EQ(KeysSeen > 0, Case.BoxGotKey);
  }
  EXPECT_EQ(ModuleRuns, 0);
  // A disabled action leaves its key to the control.
  Executed.clear();
  Action->SetEnabled(false);
  int KeysSeen = 0;
  Box->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState) {
    if (Key == 'I') ++KeysSeen;
  });
  Chord(VK_CONTROL, 'I');
  EXPECT_TRUE(Executed.empty());
  EXPECT_EQ(KeysSeen, 1);
  Module->Free();
}

TEST_F(ActionsTest, IdleUpdatesKeepTheClientsCurrent) {
  bool Allowed = false;
  Action->OnUpdate = TNotifyEvent([&](TObject*) { Action->SetEnabled(Allowed); });
  Application->Idle();
  EXPECT_FALSE(Button->Enabled());
  EXPECT_FALSE(ToolButton()->Enabled());
  Allowed = true;
  Application->Idle();
  EXPECT_TRUE(Button->Enabled());
  EXPECT_TRUE(Item->Enabled());
  // Executing asks OnUpdate first: an action that became disabled does not run.
  Allowed = false;
  EXPECT_FALSE(Action->Execute());
  EXPECT_TRUE(Executed.empty());
  // A hidden form's lists wait until it shows again.
  Allowed = true;
  Form->Hide();
  Pump();
  Application->Idle();
  EXPECT_FALSE(Button->Enabled());
}

TEST_F(ActionsTest, AnActionThatGoesAwayLeavesItsClientsBehind) {
  Action->Free();
  Action = nullptr;
  EXPECT_EQ(Button->Action(), nullptr);
  EXPECT_EQ(Item->Action(), nullptr);
  EXPECT_EQ(Bar->Items()->Items(0)->Action(), nullptr);
  EXPECT_EQ(Manager->ActionCount(), 0);
  // The clients keep what they showed and do nothing when clicked.
  EXPECT_EQ(Button->Caption(), "Capture");
  ClickAt(Button, 5, 5);
  Pump();
  Item->Click();
  EXPECT_TRUE(Executed.empty());
}

}  // namespace
}  // namespace FormsTest
