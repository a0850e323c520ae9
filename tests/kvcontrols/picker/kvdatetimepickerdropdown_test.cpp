// The picker's drop-down calendar: opening from keys and the button, keys forwarded while it is
// down, accepting (Enter, a click on a day, a click outside) and cancelling (Escape), its place
// under or above the picker, and a bound picker writing its field once.

#include <gtest/gtest.h>

#include <cmath>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/rtl/datetime.h"
#include "platform/user/input.h"
#include "tests/kvcontrols/picker/pickertest.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class DropDownTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    FClock->SetNow(EncodeDate(2003, 1, 20) + 0.5);
    Form = new TForm(nullptr, 0);
    Form->SetBounds(40, 40, 360, 300);
    Picker = new TkvDBDateTimePicker(Form);
    Picker->SetName("Picker");
    Picker->SetBounds(10, 10, 150, 24);
    Picker->SetParent(Form);
    Picker->SetUnboundDataType(kvDTEdtDate);
    Picker->SetDisplayFormat("dd.MM.yyyy");
    Picker->SetDate(EncodeDate(2003, 1, 20));
    Picker->OnDropDown = TNotifyEvent([this](TObject*) { ++DropDowns; });
    Picker->OnCloseUp = TNotifyEvent([this](TObject*) { ++CloseUps; });
    Other = new TTestBox(Form);
    Other->SetBounds(10, 200, 100, 20);
    Other->SetParent(Form);
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void Focus() {
    Form->Show();
    Pump();
    Picker->SetFocus();
    Pump();
  }
  void ClickScreen(POINT At) {
    InjectMouseClick(VK_LBUTTON, At.x, At.y);
    Pump();
  }
  POINT CalendarPoint(UINT Part, const SYSTEMTIME* Day = nullptr) {
    RECT R{};
    EXPECT_TRUE(MonthCalGetPartRect(Picker->Calendar()->Handle(), Part, Day, R));
    POINT At{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    ClientToScreen(Picker->Calendar()->Handle(), &At);
    return At;
  }
  TDateTime Day() { return std::trunc(Picker->Date()); }

  TForm* Form = nullptr;
  TkvDBDateTimePicker* Picker = nullptr;
  TTestBox* Other = nullptr;
  int DropDowns = 0, CloseUps = 0;
};

TEST_F(DropDownTest, OpenAcceptAndCancel) {
  Focus();
  struct TCase {
    const char* Name;
    std::function<void()> Open, Act, Close;
    TDateTime Expected;
  };
  const SYSTEMTIME Day25 = DateTimeToSystemTime(EncodeDate(2003, 1, 25));
  const std::vector<TCase> Cases = {
      {"F4, two days on, Enter", [&] { Keys({VK_F4}); }, [&] { Keys({VK_RIGHT, VK_RIGHT}); },
       [&] { Keys({VK_RETURN}); }, EncodeDate(2003, 1, 22)},
      {"Escape puts the value from before back", [&] { Keys({VK_F4}); }, [&] { Keys({VK_DOWN}); },
       [&] { Keys({VK_ESCAPE}); }, EncodeDate(2003, 1, 22)},
      {"Alt+Down opens, F4 closes accepting",
       [&] {
         InjectKey(VK_MENU, true);
         InjectKeyStroke(VK_DOWN);
         InjectKey(VK_MENU, false);
         Pump();
       },
       [&] { Keys({VK_UP}); }, [&] { Keys({VK_F4}); }, EncodeDate(2003, 1, 15)},
      {"a click on a day accepts it", [&] { Keys({VK_F4}); }, [] {}, [&] { ClickScreen(CalendarPoint(MCHT_CALENDARDATE, &Day25)); },
       EncodeDate(2003, 1, 25)},
      {"a click outside accepts what the calendar shows", [&] { Keys({VK_F4}); }, [&] { Keys({VK_LEFT}); },
       [&] { ClickScreen(Form->ClientToScreen(POINT{300, 150})); }, EncodeDate(2003, 1, 24)},
      {"the button opens and closes", [&] {
         ClickScreen(Picker->Button()->ClientToScreen(POINT{3, 3}));
       },
       [&] { Keys({VK_NEXT}); }, [&] { ClickScreen(Picker->Button()->ClientToScreen(POINT{3, 3})); },
       EncodeDate(2003, 2, 24)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    DropDowns = CloseUps = 0;
    Case.Open();
    ASSERT_TRUE(Picker->GetDroppedDown());
    EXPECT_EQ(DropDowns, 1);
    EXPECT_FALSE(Picker->ShowHint());
    EXPECT_EQ(std::trunc(Picker->Calendar()->Date()), Day());
    Case.Act();
    EXPECT_TRUE(Picker->GetDroppedDown());
    Case.Close();
    EXPECT_FALSE(Picker->GetDroppedDown());
    EXPECT_EQ(CloseUps, 1);
    EXPECT_EQ(Day(), Case.Expected);
    EXPECT_EQ(Picker->Text(), FormatDateTime("dd.mm.yyyy", Case.Expected));
    EXPECT_TRUE(Picker->Focused());
  }
  // The Escape that closed the calendar does nothing more (its character is swallowed); the
  // next one puts back the value from when the picker got the focus.
  Keys({VK_F4, VK_RIGHT, VK_ESCAPE});
  EXPECT_EQ(Day(), EncodeDate(2003, 2, 24));
  Keys({VK_ESCAPE});
  EXPECT_EQ(Day(), EncodeDate(2003, 1, 20));
  // Leaving the picker frees the calendar.
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Picker->Calendar(), nullptr);
}

TEST_F(DropDownTest, TitleMenusKeepTheCalendarOpen) {
  Focus();
  Keys({VK_F4});
  const POINT Month = CalendarPoint(MCHT_TITLEMONTH);
  InjectMouseClick(VK_LBUTTON, Month.x, Month.y);
  InjectKeyStroke(VK_ESCAPE);  // read by the month menu
  Pump();
  EXPECT_TRUE(Picker->GetDroppedDown());
  EXPECT_TRUE(Picker->Focused());  // the calendar never takes the focus
  // A title button moves the value along while the calendar stays down.
  ClickScreen(CalendarPoint(MCHT_TITLEBTNNEXT));
  EXPECT_TRUE(Picker->GetDroppedDown());
  EXPECT_EQ(Day(), EncodeDate(2003, 2, 20));
  Keys({VK_RETURN});
  EXPECT_EQ(Day(), EncodeDate(2003, 2, 20));
}

TEST_F(DropDownTest, PlacementAndWhatCannotDropDown) {
  Picker->CalendarAttributes()->Colors()->SetTitleBackColor(TColor(0x00804000));
  Focus();
  Keys({VK_F4});
  // The calendar wears the picker's colours and shows the picker's day selected.
  RECT Selected{};
  const SYSTEMTIME Today = DateTimeToSystemTime(EncodeDate(2003, 1, 20));
  ASSERT_TRUE(MonthCalGetPartRect(Picker->Calendar()->Handle(), MCHT_CALENDARDATE, &Today, Selected));
  EXPECT_EQ(PixelAt(Picker->Calendar(), Selected.left + 1, Selected.top + 1), TColor(0x00804000));
  RECT PickerRect{}, CalendarRect{};
  GetWindowRect(Picker->Handle(), &PickerRect);
  GetWindowRect(Picker->Calendar()->Handle(), &CalendarRect);
  EXPECT_EQ(CalendarRect.top, PickerRect.top + Picker->Height() - 1);
  EXPECT_EQ(CalendarRect.left, PickerRect.left + 1);
  // The range of the picker is the calendar's.
  EXPECT_EQ(Picker->Calendar()->MaxDate(), EncodeDate(9999, 12, 31));
  const std::string Png = SaveControlPng(Picker->Calendar(), "picker_dropdown_calendar");
  const std::string PickerPng = SaveControlPng(Picker, "picker_dropdown_edit");
  Keys({VK_RETURN});

  // No room below: the calendar opens upward.
  Form->SetBounds(40, 600 - 80, 360, 70);
  Pump();
  Keys({VK_F4});
  GetWindowRect(Picker->Handle(), &PickerRect);
  GetWindowRect(Picker->Calendar()->Handle(), &CalendarRect);
  EXPECT_EQ(CalendarRect.bottom, PickerRect.top) << Png << " " << PickerPng;
  Keys({VK_ESCAPE});

  // A time-only picker has no drop-down; a read-only one does not open either.
  Picker->SetUnboundDataType(kvDTEdtTime);
  Keys({VK_F4});
  EXPECT_FALSE(Picker->GetDroppedDown());
  Picker->SetUnboundDataType(kvDTEdtDate);
  Picker->SetReadOnly(true);
  Keys({VK_F4});
  EXPECT_FALSE(Picker->GetDroppedDown());
}

TEST_F(DropDownTest, BoundPickerWritesTheFieldOnce) {
  auto* Data = new TMemoryDataSet(Form);
  Data->FieldDefs()->Add("Day", ftDate);
  Data->Open();
  Data->AppendRecord({EncodeDate(2003, 1, 20)});
  Data->First();
  int Writes = 0;
  Data->FieldByName("Day")->OnChange = TFieldNotifyEvent([&](TField*) { ++Writes; });
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Data);
  Picker->SetDataSource(Source);
  Picker->SetDataField("Day");
  Focus();
  Keys({VK_F4, VK_RIGHT, VK_RIGHT, VK_DOWN});
  EXPECT_EQ(Data->State(), dsEdit);
  EXPECT_EQ(Writes, 0);
  Keys({VK_RETURN});
  EXPECT_EQ(Day(), EncodeDate(2003, 1, 29));
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Writes, 1);
  EXPECT_EQ(Data->FieldByName("Day")->AsDateTime(), EncodeDate(2003, 1, 29));
  // Cancelling leaves the field as it was.
  Picker->SetFocus();
  Pump();
  Keys({VK_F4, VK_RIGHT, VK_ESCAPE});
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Data->FieldByName("Day")->AsDateTime(), EncodeDate(2003, 1, 29));
  Picker->SetDataSource(nullptr);
}

}  // namespace
}  // namespace FormsTest

#include "platform/forms/grids.h"

namespace FormsTest {
namespace {

// A grid that records the keys it is handed.
class TKeyGrid : public TDrawGrid {
  KORCAM_CLASS(TKeyGrid, TDrawGrid)

 public:
  explicit TKeyGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}
  std::vector<WORD> Keys;

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Keys.push_back(Key);
    Key = 0;
  }
};
KORCAM_REGISTER_CLASS(TKeyGrid)

TEST_F(DropDownTest, KeysOfAHostGrid) {
  auto* Grid = new TKeyGrid(Form);
  Grid->SetBounds(10, 60, 300, 120);
  Grid->SetParent(Form);
  Picker->SetParent(Grid);
  Picker->SetBounds(2, 2, 150, 24);
  std::vector<WORD> Events;
  Grid->OnKeyDown = TKeyEvent([&](TObject*, WORD& Key, TShiftState) { Events.push_back(Key); });
  struct TCase {
    const char* Name;
    int Key;
    bool ToGrid;
  };
  const TCase Cases[] = {
      {"PgDn belongs to the grid", VK_NEXT, true},
      {"Escape of an unmodified picker leaves the cell", VK_ESCAPE, true},
      {"Insert", VK_INSERT, true},
      {"Right steps the field in the picker", VK_RIGHT, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Focus();
    Grid->Keys.clear();
    Events.clear();
    Keys({Case.Key});
    EXPECT_EQ(Grid->Keys, Case.ToGrid ? std::vector<WORD>{WORD(Case.Key)} : std::vector<WORD>{});
    EXPECT_EQ(Grid->Focused(), Case.ToGrid);
    // Keys the picker keeps still pass the grid's OnKeyDown first.
    EXPECT_EQ(Events.size(), Case.ToGrid ? 0u : 1u);
  }
  EXPECT_EQ(Day(), EncodeDate(2003, 1, 20));
}

}  // namespace
}  // namespace FormsTest
