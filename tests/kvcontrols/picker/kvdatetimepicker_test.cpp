// The date/time picker: its value and text, the range, and keyboard editing through the real
// message path (keys injected headless, the clock fixed).

#include "kvcontrols/editors/kvdatetimepicker.h"

#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/rtl/datetime.h"
#include "platform/user/input.h"
#include "platform/backends/headless/headless.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

TDateTime At(int Hour, int Min, int Sec = 0) {
  return EncodeTime(Hour, Min, Sec, 0);
}

class PickerTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 300, 200);
    Picker = new TkvDBDateTimePicker(Form);
    Picker->SetName("Picker");
    Picker->SetBounds(10, 10, 150, 24);
    Picker->SetParent(Form);
    Other = new TTestBox(Form);
    Other->SetBounds(10, 60, 100, 20);
    Other->SetParent(Form);
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  // The option tables' time editor.
  void MakeTimePicker(TDateTime Value) {
    Picker->SetUnboundDataType(kvDTEdtTime);
    Picker->SetDisplayFormat("hh:mm:ss");
    Picker->SetTime(Value);
  }
  void MakeDatePicker(const char* Format, TDateTime Value) {
    Picker->SetUnboundDataType(kvDTEdtDate);
    Picker->SetDisplayFormat(Format);
    Picker->SetDate(Value);
  }
  void Focus() {
    Form->Show();
    Pump();
    Picker->SetFocus();
    Pump();
  }
  // Typed text, each character through its key.
  void TypeDigits(const char* Digits) {
    for (const char* C = Digits; *C; ++C) Keys({*C});
  }
  std::string Selected() { return Picker->SelText(); }

  TForm* Form = nullptr;
  TkvDBDateTimePicker* Picker = nullptr;
  TTestBox* Other = nullptr;
};

// ---- value and text ----------------------------------------------------------------------------

TEST_F(PickerTest, UnboundTimePickerKeepsTheTimeOfDay) {
  MakeTimePicker(0.375);
  EXPECT_EQ(Picker->Text(), "09:00:00");
  EXPECT_DOUBLE_EQ(Picker->Time(), 0.375);
  EXPECT_EQ(Picker->Date(), 0);
  Picker->SetDate(EncodeDate(2003, 5, 12));  // a time picker has no date
  EXPECT_DOUBLE_EQ(Picker->Value(), 0.375);
  // Midnight is a time like any other and shows as one.
  Picker->SetTime(0);
  EXPECT_EQ(Picker->Value(), 0);
  EXPECT_EQ(Picker->Text(), "00:00:00");
}

TEST_F(PickerTest, DateAndTimeWritersKeepTheOtherPart) {
  const TDateTime Day = EncodeDate(2003, 5, 12);
  struct TCase {
    const char* Name;
    TkvDTEditDataType Kind;
    bool WriteDate;
    TDateTime Start, Written, Expected;
  } Cases[] = {
      {"Date keeps the time of day", kvDTEdtDateTime, true, Day + 0.25, Day + 3, Day + 3.25},
      {"Time keeps the date", kvDTEdtDateTime, false, Day + 0.25, 0.5, Day + 0.5},
      {"Time on a date picker does nothing", kvDTEdtDate, false, Day, 0.5, Day},
      {"Date on a date picker", kvDTEdtDate, true, Day, Day + 1, Day + 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Picker->SetUnboundDataType(Case.Kind);
    Picker->StoreValue(Case.Start);
    if (Case.WriteDate)
      Picker->SetDate(Case.Written);
    else
      Picker->SetTime(Case.Written);
    EXPECT_DOUBLE_EQ(Picker->Value(), Case.Expected);
  }
}

TEST_F(PickerTest, TextFollowsKindAndFormat) {
  const TDateTime Day = EncodeDate(2003, 5, 12);
  struct TCase {
    const char* Name;
    TkvDTEditDataType Kind;
    const char* Format;
    TDTDateFormat DateFormat;
    TDateTime Value;
    const char* Text;
    int VisibleFields;
  } Cases[] = {
      {"a date picker without a date part shows nothing", kvDTEdtDate, "", dfShort, 0.5, "", 3},
      {"a date-time picker without a date part too", kvDTEdtDateTime, "", dfShort, 0.5, "", 6},
      {"a time picker always shows its time", kvDTEdtTime, "", dfShort, Day + 0.5, "12:00", 2},
      {"long date alone for a whole date", kvDTEdtDateTime, "", dfLong, Day, "Monday, May 12, 2003", 7},
      {"long date and long time", kvDTEdtDateTime, "", dfLong, Day + 0.75, "Monday, May 12, 2003 18:00:00", 7},
      {"c hides the time at midnight", kvDTEdtDateTime, "c", dfShort, Day, "5/12/2003", 3},
      {"c with a time", kvDTEdtDateTime, "c", dfShort, Day + At(9, 5, 7), "5/12/2003 09:05:07", 6},
  };
  TFormatSettings Settings = FormatSettings();
  Settings.LongTimeFormat = "HH:nn:ss";
  Settings.ShortTimeFormat = "HH:nn";
  TScopedFormatSettings Scoped(Settings);
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Picker->SetUnboundDataType(Case.Kind);
    Picker->SetDisplayFormat(Case.Format);
    Picker->SetDateFormat(Case.DateFormat);
    Picker->StoreValue(Case.Value);
    Picker->RefreshText();
    EXPECT_EQ(Picker->Text(), Case.Text);
    if (Case.Text[0]) { EXPECT_EQ(Picker->VisibleFieldCount(), Case.VisibleFields); }
  }
}

TEST_F(PickerTest, RangeChecks) {
  const TDateTime Jan10 = EncodeDate(2003, 1, 10), Jan20 = EncodeDate(2003, 1, 20);
  Picker->SetUnboundDataType(kvDTEdtDateTime);
  Picker->SetMinDate(Jan10);
  Picker->SetMaxDate(Jan20);
  // Limits that cross each other are refused and the old limit stays.
  EXPECT_THROW(Picker->SetMinDate(Jan20 + 1), EDateTimeError);
  EXPECT_THROW(Picker->SetMaxDate(Jan10 - 1), EDateTimeError);
  EXPECT_EQ(Picker->MinDate(), Jan10);
  EXPECT_EQ(Picker->MaxDate(), Jan20);
  try {
    Picker->SetMinDate(Jan20 + 1);
  } catch (const EDateTimeError& Error) {
    EXPECT_EQ(Error.Message(), "Date exceeds maximum of 1/20/2003");
  }

  Picker->StoreValue(Jan10 + 0.5);
  // A value late on the last day passes: the maximum compares whole days, in Date too.
  Picker->SetDate(Jan20);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan20 + 0.5);
  Picker->StoreValue(Jan20 + 0.9);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan20 + 0.9);
  // Date keeps the old value on its own failure ...
  EXPECT_THROW(Picker->SetDate(Jan20 + 1), EDateTimeError);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan20 + 0.9);
  // ... StoreValue shows the new one and raises after.
  EXPECT_THROW(Picker->StoreValue(Jan20 + 2), EDateTimeError);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan20 + 2);
  // The parts never raise: a date outside the range only refreshes the text.
  Picker->StoreValue(Jan10);
  Picker->SetDateTimeParts(2003, 1, 25, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan10);
  // Without a minimum, day 0 (1899-12-30) and earlier cannot come from the parts.
  Picker->SetMaxDate(0);
  Picker->SetMinDate(0);
  Picker->SetDateTimeParts(1899, 12, 30, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(Picker->Value(), Jan10);
  Picker->SetDateTimeParts(1899, 12, 31, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(Picker->Value(), 1);
}

TEST_F(PickerTest, DataFieldAndDataSourceWithoutFieldShowNothing) {
  auto* Source = new TDataSource(Form);
  Picker->SetUnboundDataType(kvDTEdtTime);
  Picker->SetDataSource(Source);
  EXPECT_TRUE(Picker->IsUnboundButConfigured());
  Picker->SetTime(0.5);
  EXPECT_EQ(Picker->Text(), "");
  // Clearing the binding returns the kind to date and time.
  Picker->SetDataSource(nullptr);
  EXPECT_EQ(Picker->UnboundDataType(), kvDTEdtDateTime);
  Picker->SetUnboundDataType(kvDTEdtTime);
  Picker->SetDataField("Stamp");
  Picker->SetDataField("");
  EXPECT_EQ(Picker->UnboundDataType(), kvDTEdtDateTime);
}

// ---- keyboard: the time picker of the option tables --------------------------------------------

TEST_F(PickerTest, TypedHoursCompleteAndMoveOn) {
  struct TCase {
    const char* Name;
    const char* Digits;
    const char* Text;
    int Field;
  } Cases[] = {
      {"1 then 7 gives 17 and moves to the minutes", "17", "17:00:00", 2},
      {"3 completes the hour at once", "3", "03:00:00", 2},
      {"hour, minutes and seconds", "172305", "17:23:05", 3},
      {"a digit that cannot start a minute completes it", "1730", "17:30:00", 3},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    MakeTimePicker(0.375);
    Focus();
    TypeDigits(Case.Digits);
    EXPECT_EQ(Picker->Text(), Case.Text);
    EXPECT_EQ(Picker->CurrentField(), Case.Field);
    Other->SetFocus();  // leaving completes and commits
    Pump();
  }
  EXPECT_EQ(Beeps, 0);
}

TEST_F(PickerTest, RefusedDigitBeepsAndChangesNothing) {
  MakeTimePicker(0.375);
  Focus();
  TypeDigits("2");  // opens the hour: 20 to 23 may follow
  EXPECT_TRUE(Picker->DigitEntryOpen());
  TypeDigits("7");  // 27 is no hour
  EXPECT_EQ(Beeps, 1);
  EXPECT_TRUE(Picker->DigitEntryOpen());
  TypeDigits("1");
  EXPECT_EQ(Picker->Text(), "21:00:00");
  EXPECT_DOUBLE_EQ(Picker->Time(), At(21, 0));
}

TEST_F(PickerTest, ReadingTheTimeCompletesAnOpenEntry) {
  MakeTimePicker(0.375);
  Focus();
  TypeDigits("1");
  EXPECT_TRUE(Picker->DigitEntryOpen());
  EXPECT_DOUBLE_EQ(Picker->Time(), At(1, 0));
  EXPECT_FALSE(Picker->DigitEntryOpen());
  EXPECT_EQ(Picker->Text(), "01:00:00");
}

TEST_F(PickerTest, MidnightTypedIntoATimePickerStaysVisible) {
  // At 01:00:00, typing 0 0 into the hour makes the value 0: the text must keep showing
  // 00:00:00, or the option table would commit an empty text.
  MakeTimePicker(At(1, 0));
  Focus();
  TypeDigits("00");
  EXPECT_EQ(Picker->Text(), "00:00:00");
  EXPECT_EQ(Picker->Time(), 0);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Picker->Text(), "00:00:00");
}

TEST_F(PickerTest, ArrowsStepAndMoveBetweenFields) {
  struct TCase {
    const char* Name;
    TDateTime Start;
    int Interval;
    bool Round;
    std::vector<int> Keys;
    TDateTime Expected;
  } Cases[] = {
      {"Up on the hour", At(9, 0), 1, false, {VK_UP}, At(10, 0)},
      {"Down wraps 0 to 23", At(0, 30), 1, false, {VK_DOWN}, At(23, 30)},
      {"Up wraps 23 to 0", At(23, 30), 1, false, {VK_UP}, At(0, 30)},
      {"minutes by 15, rounded: 07 -> 15", At(9, 7), 15, true, {VK_RIGHT, VK_UP}, At(9, 15)},
      {"45 -> 00", At(9, 45), 15, true, {VK_RIGHT, VK_UP}, At(9, 0)},
      {"Down from 07 -> 00", At(9, 7), 15, true, {VK_RIGHT, VK_DOWN}, At(9, 0)},
      {"Down from 00 -> 45", At(9, 0), 15, true, {VK_RIGHT, VK_DOWN}, At(9, 45)},
      {"without rounding 07 + 15", At(9, 7), 15, false, {VK_RIGHT, VK_UP}, At(9, 22)},
      {"seconds wrap", At(9, 0, 59), 1, false, {VK_RIGHT, VK_RIGHT, VK_UP}, At(9, 0, 0)},
      {"End and Home", At(9, 7, 3), 1, false, {VK_END, VK_RIGHT, VK_HOME}, At(23, 0, 3)},
      {"Left stops at the first field", At(9, 0), 1, false, {VK_LEFT, VK_LEFT, VK_UP}, At(10, 0)},
      {"Right stops at the last field", At(9, 0), 1, false, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_UP}, At(9, 0, 1)},
      {"+ and - step too", At(9, 0), 1, false, {VK_OEM_PLUS, VK_OEM_PLUS, VK_OEM_MINUS}, At(10, 0)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    MakeTimePicker(Case.Start);
    Picker->Interval()->SetMinutesInterval(Case.Interval);
    Picker->Interval()->SetRoundMinutes(Case.Round);
    Focus();
    for (int Key : Case.Keys) Keys({Key});
    EXPECT_NEAR(Picker->Time(), Case.Expected, 1e-9);
    Other->SetFocus();
    Pump();
  }
}

TEST_F(PickerTest, EscapeRestoresTheValueFromEntering) {
  MakeTimePicker(0.375);
  Focus();
  Keys({VK_UP, VK_UP});
  EXPECT_EQ(Picker->Text(), "11:00:00");
  Keys({VK_ESCAPE});
  EXPECT_EQ(Picker->Text(), "09:00:00");
  EXPECT_DOUBLE_EQ(Picker->Time(), 0.375);
  EXPECT_FALSE(Picker->Modified());
}

TEST_F(PickerTest, DeleteKeepsAnUnboundTimePickersValue) {
  // Clearing writes Date := 0, which a time picker ignores.
  MakeTimePicker(0.375);
  Focus();
  Keys({VK_DELETE});
  EXPECT_DOUBLE_EQ(Picker->Time(), 0.375);
  EXPECT_EQ(Picker->Text(), "09:00:00");
}

TEST_F(PickerTest, TimePickerTypedIntoWhenEmpty) {
  Picker->SetUnboundDataType(kvDTEdtTime);
  Picker->SetDisplayFormat("hh:mm:ss");
  Focus();
  EXPECT_EQ(Picker->Text(), "");
  // A digit starts from 00:00:00; any other editing key from the time now.
  TypeDigits("7");
  EXPECT_EQ(Picker->Text(), "07:00:00");
  Picker->SetTime(0);
  Picker->SetText("");
  Keys({VK_RIGHT});
  EXPECT_EQ(Picker->Text(), "09:00:00");  // the clock's time
  EXPECT_EQ(Picker->CurrentField(), 2);
}

// ---- keyboard: dates ---------------------------------------------------------------------------

TEST_F(PickerTest, DateFieldsStep) {
  struct TCase {
    const char* Name;
    const char* Format;
    TDateTime Start, Max, Min;
    std::vector<int> Keys;
    TDateTime Expected;
  } Cases[] = {
      {"Up on the day of January 31 wraps to the 1st", "MM/dd/yyyy", EncodeDate(2003, 1, 31), 0, 0, {VK_RIGHT, VK_UP},
       EncodeDate(2003, 1, 1)},
      {"Down on January 1 gives the 31st", "MM/dd/yyyy", EncodeDate(2003, 1, 1), 0, 0, {VK_RIGHT, VK_DOWN},
       EncodeDate(2003, 1, 31)},
      {"Up on December gives January of the same year", "MM/dd/yyyy", EncodeDate(2003, 12, 31), 0, 0, {VK_UP},
       EncodeDate(2003, 1, 31)},
      {"the month cuts the day", "MM/dd/yyyy", EncodeDate(2003, 1, 31), 0, 0, {VK_UP}, EncodeDate(2003, 2, 28)},
      {"Up on the day stops at the maximum", "MM/dd/yyyy", EncodeDate(2003, 1, 20), EncodeDate(2003, 1, 20), 0,
       {VK_RIGHT, VK_UP}, EncodeDate(2003, 1, 20)},
      {"End on the year without maximum", "MM/dd/yyyy", EncodeDate(2003, 5, 12), 0, 0, {VK_RIGHT, VK_RIGHT, VK_END},
       EncodeDate(9999, 5, 12)},
      {"Home on the year without minimum", "MM/dd/yyyy", EncodeDate(2003, 5, 12), 0, 0,
       {VK_RIGHT, VK_RIGHT, VK_HOME}, EncodeDate(1900, 5, 12)},
      {"Home on the year on December 31", "MM/dd/yyyy", EncodeDate(2003, 12, 31), 0, 0,
       {VK_RIGHT, VK_RIGHT, VK_HOME}, EncodeDate(1899, 12, 31)},
      {"End on the day", "MM/dd/yyyy", EncodeDate(2004, 2, 3), 0, 0, {VK_RIGHT, VK_END}, EncodeDate(2004, 2, 29)},
      {"Down on the month stops at the minimum", "MM/dd/yyyy", EncodeDate(2003, 2, 20), 0, EncodeDate(2003, 1, 25),
       {VK_DOWN}, EncodeDate(2003, 1, 25)},
      {"month letters", "dd MMM yyyy", EncodeDate(2003, 1, 31), 0, 0, {VK_RIGHT, 'M', 'M'}, EncodeDate(2003, 5, 31)},
      {"a month letter needs a month with the day", "dd MMM yyyy", EncodeDate(2003, 1, 31), 0, 0, {VK_RIGHT, 'J'},
       EncodeDate(2003, 7, 31)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Picker->SetMaxDate(0);
    Picker->SetMinDate(0);
    Picker->SetMaxDate(Case.Max);
    Picker->SetMinDate(Case.Min);
    MakeDatePicker(Case.Format, Case.Start);
    Focus();
    for (int Key : Case.Keys) Keys({Key});
    EXPECT_EQ(Picker->Date(), Case.Expected) << Picker->Text();
    Other->SetFocus();
    Pump();
  }
}

TEST_F(PickerTest, DigitsIntoDateFields) {
  struct TCase {
    const char* Name;
    const char* Format;
    TDateTime Start, Min;
    std::vector<int> Keys;
    TDateTime Expected;
    int Beeps;
  } Cases[] = {
      {"31 into April's day, day first: January", "dd.MM.yyyy", EncodeDate(2003, 4, 10), 0, {'3', '1'},
       EncodeDate(2003, 1, 31), 0},
      {"29 into February of 2003, month first: 2004", "MM/dd/yyyy", EncodeDate(2003, 2, 10), 0, {VK_RIGHT, '2', '9'},
       EncodeDate(2004, 2, 29), 0},
      {"4 completes the month", "MM/dd/yyyy", EncodeDate(2003, 1, 10), 0, {'4'}, EncodeDate(2003, 4, 10), 0},
      {"1 opens the month: 12", "MM/dd/yyyy", EncodeDate(2003, 1, 10), 0, {'1', '2'}, EncodeDate(2003, 12, 10), 0},
      {"two-digit year 49", "MM/dd/yy", EncodeDate(2003, 1, 10), 0, {VK_RIGHT, VK_RIGHT, '4', '9'},
       EncodeDate(2049, 1, 10), 0},
      {"two-digit year 50", "MM/dd/yy", EncodeDate(2003, 1, 10), 0, {VK_RIGHT, VK_RIGHT, '5', '0'},
       EncodeDate(1950, 1, 10), 0},
      {"a decade before the minimum is refused", "MM/dd/yy", EncodeDate(2003, 1, 10), EncodeDate(2003, 1, 1),
       {VK_RIGHT, VK_RIGHT, '7'}, EncodeDate(2003, 1, 10), 1},
      {"four-digit year", "MM/dd/yyyy", EncodeDate(2003, 1, 10), 0, {VK_RIGHT, VK_RIGHT, '1', '9', '8', '4'},
       EncodeDate(1984, 1, 10), 0},
      {"a short year completes on leaving", "MM/dd/yyyy", EncodeDate(2003, 1, 10), 0, {VK_RIGHT, VK_RIGHT, '7', VK_LEFT},
       EncodeDate(2007, 1, 10), 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Beeps = 0;
    Picker->SetMinDate(Case.Min);
    MakeDatePicker(Case.Format, Case.Start);
    Focus();
    for (int Key : Case.Keys) Keys({Key});
    EXPECT_EQ(Picker->Date(), Case.Expected) << Picker->Text();
    EXPECT_EQ(Beeps, Case.Beeps);
    Other->SetFocus();
    Pump();
    Picker->SetMinDate(0);
  }
}

TEST_F(PickerTest, ClickSelectsTheFieldUnderTheMouse) {
  MakeDatePicker("MM/dd/yyyy", EncodeDate(2003, 12, 5));
  Focus();
  const POINT Origin = Picker->ClientOrigin();
  InjectMouseClick(VK_LBUTTON, Origin.x + Picker->ClientWidth() - 20, Origin.y + 5);
  Pump();
  EXPECT_EQ(Picker->CurrentField(), 3);
  EXPECT_EQ(Selected(), "2003");
  InjectMouseClick(VK_LBUTTON, Origin.x + 4, Origin.y + 5);
  Pump();
  EXPECT_EQ(Picker->CurrentField(), 1);
  EXPECT_EQ(Selected(), "12");
}

// ---- bound -------------------------------------------------------------------------------------

TEST_F(PickerTest, BoundPickerPostsToTheField) {
  auto* Data = new TMemoryDataSet(Form);
  Data->FieldDefs()->Add("Stamp", ftTime);
  Data->Open();
  Data->AppendRecord({At(9, 0)});
  Data->First();
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Data);
  Picker->SetDisplayFormat("hh:mm:ss");
  Picker->SetDataSource(Source);
  Picker->SetDataField("Stamp");
  EXPECT_TRUE(Picker->IsBound());
  EXPECT_TRUE(Picker->IsTimeOnly());
  EXPECT_EQ(Picker->Text(), "09:00:00");

  Focus();
  Keys({VK_UP, VK_RIGHT});
  TypeDigits("45");
  EXPECT_EQ(Data->State(), dsEdit);
  Other->SetFocus();  // leaving writes the field
  Pump();
  Data->Post();
  EXPECT_NEAR(Data->FieldByName("Stamp")->AsDateTime(), At(10, 45), 1e-9);

  // A value that arrives through the data link shows as it is.
  Data->Edit();
  Data->FieldByName("Stamp")->SetAsDateTime(At(13, 5, 7));
  Data->Post();
  EXPECT_EQ(Picker->Text(), "13:05:07");
  Picker->SetDataSource(nullptr);
}

}  // namespace
}  // namespace FormsTest

// ---- painting ----------------------------------------------------------------------------------

namespace FormsTest {
namespace {

class PickerPaintTest : public PickerTest {};

TEST_F(PickerPaintTest, TimePickerHasNoButtonAndPaintsItsText) {
  THeadlessBackend Backend(800, 600);
  Form->SetColor(clBtnFace);
  MakeTimePicker(At(9, 30, 15));
  Picker->SetColor(clWhite);
  auto* DatePicker = new TkvDBDateTimePicker(Form);
  DatePicker->SetBounds(10, 100, 150, 24);
  DatePicker->SetParent(Form);
  DatePicker->SetUnboundDataType(kvDTEdtDate);
  DatePicker->SetDisplayFormat("dd MMM yyyy");
  DatePicker->SetDate(EncodeDate(2003, 5, 12));
  Form->Show();
  Other->SetFocus();
  Pump();
  // A time picker never shows its button; a date picker does, at its right edge.
  EXPECT_FALSE(Picker->ButtonHost()->Visible());
  ASSERT_TRUE(DatePicker->ButtonHost()->Visible());
  const int ButtonLeft = DatePicker->ButtonHost()->Left();
  EXPECT_EQ(ButtonLeft + DatePicker->ButtonHost()->Width(), DatePicker->ClientWidth());
  // The unfocused text is painted by the picker: dark pixels in the text area, none past it.
  auto DarkPixels = [](TWinControl* Control, int FromX, int ToX) {
    int Count = 0;
    for (int Y = 0; Y < Control->ClientHeight(); ++Y)
      for (int X = FromX; X < ToX; ++X)
        if (((PixelAt(Control, X, Y) >> 8) & 0xFF) < 0x60) ++Count;  // dark enough for text
    return Count;
  };
  EXPECT_GT(DarkPixels(Picker, 0, 70), 20);
  EXPECT_EQ(DarkPixels(Picker, 90, Picker->ClientWidth()), 0);
  EXPECT_GT(DarkPixels(DatePicker, ButtonLeft, DatePicker->ClientWidth()), 3);  // the arrow
  Backend.SaveWindowPng(Form->Handle(), ScratchPath("pickers_unfocused.png"));

  // Focused, the edit paints itself with the selected field.
  DatePicker->SetFocus();
  Pump();
  Keys({VK_RIGHT});
  EXPECT_EQ(DatePicker->SelText(), "May");
  Backend.SaveWindowPng(Form->Handle(), ScratchPath("pickers_focused.png"));
}

}  // namespace
}  // namespace FormsTest
