// Moving through an option table with keys and the mouse, the keyboard hook that hands navigation
// keys from a row's editor to the table, and every editor kind the program places driven through
// injected input with the change events recorded.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvcombo.h"
#include "kvcontrols/editors/kvcombobox.h"
#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "kvcontrols/editors/kvspinedit.h"
#include "platform/rtl/datetime.h"
#include "platform/user/input.h"
#include "tests/kvcontrols/inspector/inspectortest.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

// The options table of the program in small: one row per editor kind it places.
class InspectorInputTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 360, 360);
    Before = new TTestBox(Form);
    Before->SetBounds(0, 0, 100, 20);
    Before->SetTabStop(true);
    Before->SetParent(Form);
    Inspector = new TkvDataInspector(Form);
    Inspector->SetName("Inspector");
    Inspector->SetBorderStyle(bsNone);
    Inspector->SetBounds(0, 30, 300, 260);
    Inspector->SetDefaultRowHeight(20);
    Inspector->SetCaptionWidth(100);
    Inspector->SetTabStop(true);
    Inspector->SetParent(Form);
    After = new TTestBox(Form);
    After->SetBounds(0, 300, 100, 20);
    After->SetTabStop(true);
    After->SetParent(Form);

    Spin = new TkvDBSpinEdit(Form);
    Spin->SetMinValue(1);
    Spin->SetMaxValue(60);
    Combo = new TkvDBComboBox(Form);
    Combo->Items()->Add("Low");
    Combo->Items()->Add("High");
    Dialog = new TkvDBComboDlg(Form);
    Dialog->OnCustomDlg = TNotifyEvent([this](TObject*) {
      ++DialogCalls;
      Dialog->SetText("/home/Пётр");
    });
    Picker = new TkvDBDateTimePicker(Form);
    Picker->SetUnboundDataType(kvDTEdtTime);
    Picker->SetDisplayFormat("hh:mm:ss");
    Picker->SetTime(EncodeTime(1, 0, 0, 0));

    Rate = Add("Rate", "15", Spin);
    Quality = Add("Quality", "Low", Combo);
    Folder = Add("Folder", "/tmp", Dialog);
    From = Add("From", "01:00:00", Picker);
    Size = Add("Size", "320 x 240");
    Size->PickList()->Items()->Add("160 x 120");
    Size->PickList()->Items()->Add("320 x 240");
    Sound = Add("Sound", "True");
    Sound->PickList()->Items()->Add("True");
    Sound->PickList()->Items()->Add("False");
    Sound->PickList()->SetDisplayAsCheckbox(true);
    Name = Add("Name", "cam");
    Inspector->RebuildRows();
    Form->Show();
    Pump();
    Inspector->OnItemChanged =
        TkvInspectorItemChanged([this](TkvDataInspector*, TkvInspectorItem* Item, const std::string& Value) {
          Changes.push_back(Item->TagString() + "=" + Value);
        });
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TkvInspectorItem* Add(const std::string& Key, const std::string& Value, TWinControl* Control = nullptr) {
    return AddOption(Inspector, Key, Value, Control);
  }
  void Enter(TkvInspectorItem* Item) {
    Inspector->SetFocus();
    Pump();
    Inspector->SetActiveItem(Item);
    Pump();
  }
  void WithKey(int Modifier, int Key) {
    InjectKey(Modifier, true);
    InjectKeyStroke(Key);
    InjectKey(Modifier, false);
    Pump();
  }
  // A click at a client point of the inspector.
  void Click(int X, int Y) {
    const POINT At = Inspector->ClientToScreen(POINT{X, Y});
    InjectMouseClick(VK_LBUTTON, At.x, At.y);
    Pump();
  }
  POINT ValueCell(TkvInspectorItem* Item) {
    const RECT Cell = Inspector->CellRect(1, Inspector->RowOfItem(Item));
    return POINT{(Cell.left + Cell.right) / 2, (Cell.top + Cell.bottom) / 2};
  }

  TForm* Form = nullptr;
  TTestBox *Before = nullptr, *After = nullptr;
  TkvDataInspector* Inspector = nullptr;
  TkvDBSpinEdit* Spin = nullptr;
  TkvDBComboBox* Combo = nullptr;
  TkvDBComboDlg* Dialog = nullptr;
  TkvDBDateTimePicker* Picker = nullptr;
  TkvInspectorItem *Rate, *Quality, *Folder, *From, *Size, *Sound, *Name;
  std::vector<std::string> Changes;
  int DialogCalls = 0;
};

TEST_F(InspectorInputTest, HookIsInstalledWhileTheTableIsEntered) {
  EXPECT_FALSE(TkvDataInspector::KeyboardHookInstalled());
  Enter(Rate);
  EXPECT_TRUE(Inspector->Entered());
  EXPECT_TRUE(TkvDataInspector::KeyboardHookInstalled());
  After->SetFocus();
  Pump();
  EXPECT_FALSE(Inspector->Entered());
  EXPECT_FALSE(TkvDataInspector::KeyboardHookInstalled());
}

// A second, entered table keeps the hook when the first one goes away.
TEST_F(InspectorInputTest, DestroyingAnotherTableKeepsTheHook) {
  auto* Other = new TkvDataInspector(Form);
  Other->SetBounds(0, 330, 100, 20);
  Other->SetParent(Form);
  Pump();
  Other->SetFocus();
  Pump();
  Enter(Rate);  // the other table is left, this one entered
  Other->Free();
  EXPECT_TRUE(TkvDataInspector::KeyboardHookInstalled());
  Keys({VK_DOWN});
  EXPECT_EQ(Inspector->GetActiveItem(), Quality);
}

// With the focus in a spin edit placed in a row, Up and Down move between rows; after F2 they
// step the spin edit, until the current row changes.
TEST_F(InspectorInputTest, ArrowsMoveRowsUntilF2) {
  Enter(Rate);
  ASSERT_TRUE(Spin->Focused());
  Keys({VK_DOWN});
  EXPECT_EQ(Inspector->GetActiveItem(), Quality);
  EXPECT_TRUE(Combo->Focused());
  Keys({VK_UP});
  EXPECT_EQ(Inspector->GetActiveItem(), Rate);
  EXPECT_TRUE(Spin->Focused());
  Keys({VK_F2});
  EXPECT_TRUE(Inspector->EditMode());
  Keys({VK_UP});
  EXPECT_EQ(Inspector->GetActiveItem(), Rate);
  EXPECT_EQ(Spin->Text(), "16") << "the spin edit stepped";
  // Ctrl+Down still moves: the editor keeps only the plain keys.
  WithKey(VK_CONTROL, VK_DOWN);
  EXPECT_EQ(Inspector->GetActiveItem(), Quality);
  EXPECT_FALSE(Inspector->EditMode()) << "a new row clears it";
  EXPECT_EQ(Changes, (std::vector<std::string>{"Rate=16"}));
  // The page keys, by the rows that fit (all of them here).
  Keys({VK_NEXT});
  EXPECT_EQ(Inspector->GetActiveItem(), Name);
  Keys({VK_PRIOR});
  EXPECT_EQ(Inspector->GetActiveItem(), Rate);
}

// Tab walks the rows that are tab stops and leaves the table at its ends.
TEST_F(InspectorInputTest, TabWalksTabStopsAndLeavesAtTheEnds) {
  Folder->SetTabStop(false);
  Enter(Quality);
  Keys({VK_TAB});
  EXPECT_EQ(Inspector->GetActiveItem(), From) << "Folder is skipped";
  WithKey(VK_SHIFT, VK_TAB);
  EXPECT_EQ(Inspector->GetActiveItem(), Quality);
  Keys({VK_RETURN});  // Enter acts as Tab
  EXPECT_EQ(Inspector->GetActiveItem(), From);
  Inspector->SetActiveItem(Name);
  Pump();
  Keys({VK_TAB});
  EXPECT_TRUE(After->Focused());
  EXPECT_FALSE(Inspector->Entered());
  Enter(Rate);
  WithKey(VK_SHIFT, VK_TAB);
  EXPECT_TRUE(Before->Focused());
}

// Every editor kind of the program, driven with keys and clicks; each commit announces once.
TEST_F(InspectorInputTest, EveryEditorKindCommitsOnce) {
  // A spin row: typed, then left with Tab.
  Enter(Rate);
  Spin->SelectAll();
  InjectText(U"25");
  Pump();
  Keys({VK_TAB});
  EXPECT_EQ(Rate->EditText(), "25");
  // A combo row: its list with F4, Down, Enter, then left.
  ASSERT_TRUE(Combo->Focused());
  Keys({VK_F4});
  ASSERT_TRUE(Combo->IsDroppedDown());
  Keys({VK_DOWN, VK_RETURN});
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(Inspector->GetActiveItem(), Quality) << "Enter closed the list, it did not leave the row";
  Keys({VK_TAB});
  EXPECT_EQ(Quality->EditText(), "High");
  // A dialog combo: F4 runs the program's dialog.
  ASSERT_TRUE(Dialog->Focused());
  Keys({VK_F4});
  EXPECT_EQ(DialogCalls, 1);
  Keys({VK_TAB});
  EXPECT_EQ(Folder->EditText(), "/home/Пётр");
  // A time row: typing 0 0 into the hour gives midnight, which is committed as a time.
  ASSERT_TRUE(Picker->Focused());
  Keys({'0', '0'});
  Keys({VK_TAB});
  EXPECT_EQ(From->EditText(), "00:00:00");
  // A pick-list row: the shared combo, announced at the choice and not again when left.
  TkvInspectorComboBox* Shared = Inspector->ComboBox();
  ASSERT_NE(Shared, nullptr);
  ASSERT_TRUE(Shared->Focused());
  Keys({VK_F4});
  Keys({VK_UP, VK_RETURN});
  EXPECT_EQ(Size->EditText(), "160 x 120");
  Keys({VK_TAB});
  // A check-box row: Space toggles.
  ASSERT_EQ(Inspector->GetActiveItem(), Sound);
  Keys({VK_SPACE});
  EXPECT_EQ(Sound->EditText(), "False");
  // A typed letter on the table itself starts nothing.
  Keys({'X'});
  EXPECT_EQ(Sound->EditText(), "False");
  Keys({VK_TAB});
  EXPECT_EQ(Changes, (std::vector<std::string>{"Rate=25", "Quality=High", "Folder=/home/Пётр", "From=00:00:00",
                                                "Size=160 x 120", "Sound=False"}));
}

// The click that moves to a row reaches the editor placed there: a click on a dialog combo's
// button in another row opens the dialog at once; a click on a check box toggles it.
TEST_F(InspectorInputTest, ClicksReachTheEditorAndTheCheckBox) {
  Enter(Rate);
  const RECT Cell = Inspector->CellRect(1, Inspector->RowOfItem(Folder));
  Click(Cell.right - 4, (Cell.top + Cell.bottom) / 2);
  EXPECT_EQ(Inspector->GetActiveItem(), Folder);
  EXPECT_EQ(DialogCalls, 1);
  RECT Box{};
  Inspector->GetCheckboxRect(Inspector->CellRect(1, Inspector->RowOfItem(Sound)), Box);
  Click((Box.left + Box.right) / 2, (Box.top + Box.bottom) / 2);
  EXPECT_EQ(Inspector->GetActiveItem(), Sound);
  EXPECT_EQ(Sound->EditText(), "False");
  const POINT Caption{20, ValueCell(Name).y};
  Click(Caption.x, Caption.y);
  EXPECT_EQ(Inspector->GetActiveItem(), Name) << "a caption click selects the row";
  EXPECT_EQ(Changes, (std::vector<std::string>{"Folder=/home/Пётр", "Sound=False"}));
}

// The keys typed into a window that holds the keyboard focus over the table (a dialog that is
// not one of the program's forms) stay in that window, releases included, although the screen's
// active control is still the editor in the table.
std::vector<std::string>* DialogKeys = nullptr;
LRESULT DialogProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if ((Message == WM_KEYDOWN || Message == WM_KEYUP) && DialogKeys)
    DialogKeys->push_back((Message == WM_KEYDOWN ? "down " : "up ") + std::to_string(WParam));
  return DefWindowProcA(Window, Message, WParam, LParam);
}

TEST_F(InspectorInputTest, KeysOfAWindowOverTheTableStayThere) {
  std::vector<std::string> Received;
  DialogKeys = &Received;
  WNDCLASSA Class{};
  Class.lpfnWndProc = &DialogProc;
  Class.lpszClassName = "KvInputTestDialog";
  RegisterClassA(&Class);
  Enter(Rate);
  HWND Window = CreateWindowExA(0, "KvInputTestDialog", "Folder", WS_POPUP | WS_VISIBLE, 40, 40, 120, 60, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(Window, nullptr);
  SetActiveWindow(Window);
  SetFocus(Window);
  Pump();
  ASSERT_EQ(GetFocus(), Window);
  ASSERT_EQ(Screen->ActiveControl(), Spin) << "the situation of the fault";
  ASSERT_TRUE(TkvDataInspector::KeyboardHookInstalled());
  Keys({VK_DOWN, VK_TAB, VK_RETURN, VK_NEXT});
  WithKey(VK_CONTROL, VK_DOWN);
  EXPECT_EQ(Inspector->GetActiveItem(), Rate);
  const std::vector<std::string> Expected = {
      "down " + std::to_string(VK_DOWN),   "up " + std::to_string(VK_DOWN),
      "down " + std::to_string(VK_TAB),    "up " + std::to_string(VK_TAB),
      "down " + std::to_string(VK_RETURN), "up " + std::to_string(VK_RETURN),
      "down " + std::to_string(VK_NEXT),   "up " + std::to_string(VK_NEXT),
      "down " + std::to_string(VK_CONTROL), "down " + std::to_string(VK_DOWN),
      "up " + std::to_string(VK_DOWN),     "up " + std::to_string(VK_CONTROL)};
  EXPECT_EQ(Received, Expected);
  DestroyWindow(Window);
  DialogKeys = nullptr;
  UnregisterClassA("KvInputTestDialog", nullptr);
}

TEST_F(InspectorInputTest, CollapseAndExpandWithTheirEvents) {
  TkvInspectorItem* Child = Name->Items()->Add();
  Child->SetCaption("Child");
  Child->SetTagString("Child");
  Name->SetExpanded(true);
  Name->SetReadOnly(true);
  Inspector->RebuildRows();
  std::vector<std::string> Events;
  bool Allow = true;
  Inspector->OnCanCollapse = TkvInspectorCanCollapseEvent([&](TkvDataInspector*, TkvInspectorItem* Item, bool& Can) {
    Events.push_back("CanCollapse " + Item->TagString());
    Can = Allow;
  });
  Inspector->OnCollapsed = TkvInspectorCollapsedEvent(
      [&](TkvDataInspector*, TkvInspectorItem* Item) { Events.push_back("Collapsed " + Item->TagString()); });
  Inspector->OnExpanded = TkvInspectorExpandedEvent(
      [&](TkvDataInspector*, TkvInspectorItem* Item) { Events.push_back("Expanded " + Item->TagString()); });
  Enter(Name);
  const int32_t Rows = Inspector->RowCount();
  Allow = false;
  WithKey(VK_CONTROL, VK_LEFT);
  EXPECT_TRUE(Name->Expanded()) << "refused";
  Allow = true;
  Keys({VK_LEFT});  // a read-only row collapses without Ctrl
  EXPECT_FALSE(Name->Expanded());
  EXPECT_EQ(Inspector->RowCount(), Rows - 1);
  Keys({VK_RIGHT});
  EXPECT_TRUE(Name->Expanded());
  // The expand button: a click near it toggles.
  const POINT Center = Name->ButtonPoint();
  Click(Center.x + 3, Center.y - 3);
  EXPECT_FALSE(Name->Expanded());
  EXPECT_EQ(Events, (std::vector<std::string>{"CanCollapse Name", "CanCollapse Name", "Collapsed Name",
                                              "Expanded Name", "CanCollapse Name", "Collapsed Name"}));
}

// Dragging the caption column's border resizes it as the mouse moves, within its limits.
TEST_F(InspectorInputTest, CaptionBorderDrag) {
  Enter(Rate);
  const int Y = ValueCell(Rate).y;
  struct TCase {
    const char* Name;
    int To;
    int32_t Width;
  } Cases[] = {
      {"wider", 150, 150},
      {"narrower than allowed", 2, 10},
      {"wider than allowed", 295, Inspector->ClientWidth() - 20},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const int From = Inspector->CaptionWidth();
    const POINT Down = Inspector->ClientToScreen(POINT{From, Y});
    const POINT To = Inspector->ClientToScreen(POINT{Case.To, Y});
    InjectMouseButton(VK_LBUTTON, true, Down.x, Down.y);
    Pump();
    InjectMouseMove(To.x, To.y);
    Pump();
    EXPECT_EQ(Inspector->CaptionWidth(), Case.Width) << "live";
    InjectMouseButton(VK_LBUTTON, false, To.x, To.y);
    Pump();
    EXPECT_EQ(Inspector->CaptionWidth(), Case.Width);
  }
}

}  // namespace
}  // namespace FormsTest
