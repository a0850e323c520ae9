// The spin edit: the value logic by kind (clamping, reading, writing, stepping dates and times,
// where the stepped part is selected), and the control driven by keys and by holding a button
// down on the manual clock.

#include "kvcontrols/editors/kvspinedit.h"

#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/memorydataset.h"
#include "platform/db/numericfields.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "tests/kvcontrols/edits/kvedittest.h"

namespace FormsTest {
namespace {

// ---- the value logic -----------------------------------------------------------------------

TEST(KvSpinValue, ClampTable) {
  struct TCase {
    const char* Name;
    double Value, Min, Max, Expected;
  };
  const TCase Cases[] = {
      {"both bounds 0: unbounded", -3.5, 0, 0, -3.5},
      {"above the maximum", 500, 1, 100, 100},
      {"below the minimum", -2, 1, 100, 1},
      {"inside", 42, 1, 100, 42},
      {"minimum above maximum: the lower test wins", 5, 10, 0, 10},
      {"minimum above maximum, value above both", 50, 10, 0, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvSpinClamp(Case.Value, Case.Min, Case.Max), Case.Expected);
  }
}

TEST(KvSpinValue, StepDateAndTimePartsTable) {
  struct TCase {
    const char* Name;
    TDateTime Start;
    TkvDateTimePart Part;
    bool Up, TimeKind;
    TDateTime Expected;
  };
  const TCase Cases[] = {
      {"month up from 31 January: 28 February", EncodeDate(2025, 1, 31), dtpMonth, true, false,
       EncodeDate(2025, 2, 28)},
      {"month up from 31 January in a leap year", EncodeDate(2024, 1, 31), dtpMonth, true, false,
       EncodeDate(2024, 2, 29)},
      {"month down from January wraps to December", EncodeDate(2025, 1, 15), dtpMonth, false, false,
       EncodeDate(2025, 12, 15)},
      {"day up from the month's last day", EncodeDate(2025, 4, 30), dtpDay, true, false,
       EncodeDate(2025, 4, 1)},
      {"day down from the 1st", EncodeDate(2024, 2, 1), dtpDay, false, false, EncodeDate(2024, 2, 29)},
      {"year up from 29 February", EncodeDate(2024, 2, 29), dtpYear, true, false, EncodeDate(2025, 2, 28)},
      {"a date part keeps the time of day", EncodeDate(2025, 3, 3) + EncodeTime(10, 30, 0, 0), dtpDay, true,
       false, EncodeDate(2025, 3, 4) + EncodeTime(10, 30, 0, 0)},
      {"hour up wraps 23 to 0", EncodeTime(23, 15, 0, 0), dtpHour, true, true, EncodeTime(0, 15, 0, 0)},
      {"hour down wraps 0 to 23", EncodeTime(0, 15, 0, 0), dtpHour, false, true, EncodeTime(23, 15, 0, 0)},
      {"minute up wraps", EncodeTime(8, 59, 0, 0), dtpMinute, true, true, EncodeTime(8, 0, 0, 0)},
      {"second down wraps", EncodeTime(8, 1, 0, 0), dtpSecond, false, true, EncodeTime(8, 1, 59, 0)},
      {"AM/PM moves twelve hours", EncodeTime(9, 0, 0, 0), dtpAMPM, true, true, EncodeTime(21, 0, 0, 0)},
      {"a time part keeps the date", EncodeDate(2025, 3, 3) + EncodeTime(10, 0, 0, 0), dtpHour, true, false,
       EncodeDate(2025, 3, 3) + EncodeTime(11, 0, 0, 0)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_NEAR(kvStepDateTimePart(Case.Start, Case.Part, Case.Up, Case.TimeKind), Case.Expected, 1e-9);
  }
}

TEST(KvSpinValue, SelectionOfTheSteppedPartTable) {
  TFormatSettings MDY = DefaultFormatSettings();
  MDY.ShortDateFormat = "M/d/yyyy";
  TFormatSettings DMY = DefaultFormatSettings();
  DMY.ShortDateFormat = "dd.MM.yyyy";
  DMY.DateSeparator = '.';
  struct TCase {
    const char* Name;
    const TFormatSettings* Settings;
    const char* Text;
    TkvDateTimePart Part;
    bool TimeKind;
    int Start, Length;
  };
  const TCase Cases[] = {
      {"month first in M/d/yyyy", &MDY, "12/25/2025", dtpMonth, false, 0, 2},
      {"day second in M/d/yyyy", &MDY, "12/25/2025", dtpDay, false, 3, 2},
      {"year cut at the blank", &MDY, "12/25/2025 9:30:00 AM", dtpYear, false, 6, 4},
      {"day first in dd.MM.yyyy", &DMY, "07.03.2025", dtpDay, false, 0, 2},
      {"minute after the date", &MDY, "12/25/2025 9:30:00 AM", dtpMinute, false, 13, 2},
      {"second cut at the blank", &MDY, "12/25/2025 9:30:00 AM", dtpSecond, false, 16, 2},
      {"AM/PM after the blank", &MDY, "12/25/2025 9:30:00 AM", dtpAMPM, false, 19, 2},
      {"a time kind is all time", &MDY, "9:30:00", dtpHour, true, 0, 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    int Start = -1, Length = -1;
    kvSpinPartSelection(Case.Text, Case.Part, Case.TimeKind, Start, Length, *Case.Settings);
    EXPECT_EQ(Start, Case.Start);
    EXPECT_EQ(Length, Case.Length);
  }
}

// ---- the control ---------------------------------------------------------------------------

class KvSpinEditTest : public TKvEditTest {
 protected:
  void SetUp() override {
    TKvEditTest::SetUp();
    Spin = new TkvDBSpinEdit(Form);
    Spin->SetBounds(10, 10, 120, 24);
    Spin->SetParent(Form);
    Form->Show();
    Park();
  }
  TkvDBSpinEdit* Spin = nullptr;
};

TEST_F(KvSpinEditTest, ValueReadsAndWritesPlainNumbers) {
  EXPECT_EQ(Spin->Text(), "0");
  struct TCase {
    const char* Name;
    const char* Text;
    double Expected;
  };
  Spin->SetMinValue(1);
  Spin->SetMaxValue(100);
  const TCase Reads[] = {
      {"a number", "42", 42},
      {"typed beyond the maximum reads as typed", "500", 500},
      {"empty: the minimum", "", 1},
      {"letters: the minimum", "abc", 1},
      {"a decimal", "2.5", 2.5},
      // Longer than the float test looks: still the minimum, never an exception.
      {"a long text", "1234567890123456789012345678901234567890123456789012345678901234x", 1},
  };
  for (const auto& Case : Reads) {
    SCOPED_TRACE(Case.Name);
    Spin->SetText(Case.Text);
    EXPECT_EQ(Spin->Value(), Case.Expected);
  }
  Spin->SetValue(500);
  EXPECT_EQ(Spin->Text(), "100");
  Spin->SetMinValue(0);
  Spin->SetMaxValue(0);
  Spin->SetValue(-3.5);
  EXPECT_EQ(Spin->Text(), "-3.5");
}

TEST_F(KvSpinEditTest, WritingValueAlwaysMarksTheEditModified) {
  // Value has no default, so a form always stores it.
  const TPropertyInfo* Info = GetPropInfo(Spin, "Value");
  ASSERT_NE(Info, nullptr);
  EXPECT_FALSE(Info->HasDefault);
  int Changes = 0;
  Spin->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Spin->SetValue(7);
  EXPECT_EQ(Changes, 1);
  Spin->SetModified(false);
  Spin->SetValue(7);  // the same text: no change event, but modified all the same
  EXPECT_TRUE(Spin->Modified());
  EXPECT_EQ(Changes, 1);
}

TEST_F(KvSpinEditTest, ATypedValueIsClampedWhenTheEditIsLeft) {
  Spin->SetMinValue(1);
  Spin->SetMaxValue(100);
  Spin->SetFocus();
  Pump();
  Spin->SelectAll();
  Type(U"500");
  EXPECT_EQ(Spin->Value(), 500);
  Park();
  EXPECT_EQ(Spin->Text(), "100");
  EXPECT_TRUE(Spin->Modified());
}

TEST_F(KvSpinEditTest, ArrowKeysStepAndLettersBeep) {
  Spin->SetIncrement(2.5);
  Spin->SetFocus();
  Pump();
  int After = 0;
  Spin->AfterDownClick = TNotifyEvent([&](TObject*) { ++After; });
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Spin->Text(), "5");
  Key(VK_DOWN);
  EXPECT_EQ(Spin->Text(), "2.5");
  EXPECT_EQ(After, 1);
  Beeps = 0;
  Spin->SetSelStart(3);
  Type(U"x1");
  EXPECT_EQ(Spin->Text(), "2.51");
  EXPECT_EQ(Beeps, 1);
}

TEST_F(KvSpinEditTest, WithoutEditorTypingBeepsButTheArrowsStillStep) {
  Spin->SetEditorEnabled(false);
  Spin->SetFocus();
  Pump();
  Beeps = 0;
  Type(U"7");
  Key(VK_DELETE);
  Key(VK_BACK);
  EXPECT_EQ(Spin->Text(), "0");
  EXPECT_EQ(Beeps, 3);
  Key(VK_UP);
  EXPECT_EQ(Spin->Text(), "1");
}

TEST_F(KvSpinEditTest, UpStepsTheDatePartUnderTheCaret) {
  TFormatSettings Settings = DefaultFormatSettings();
  Settings.ShortDateFormat = "M/d/yyyy";
  TScopedFormatSettings Locale(Settings);
  Spin->SetUnboundDataType(kvEdtDate);
  Spin->SetText("1/31/2025");
  Spin->SetFocus();
  Pump();
  Spin->SetSelStart(0);  // in the month
  Key(VK_UP);
  EXPECT_EQ(Spin->Text(), "2/28/2025");
  EXPECT_EQ(Spin->SelStart(), 0);
  EXPECT_EQ(Spin->SelLength(), 1);
}

TEST_F(KvSpinEditTest, HoldingAButtonRepeatsAfter400ThenEvery100Ms) {
  TkvTimerSpeedButton* Up = Spin->SpinButton()->UpButton();
  const POINT Centre = Up->ClientToScreen(POINT{Up->Width() / 2, Up->Height() / 2});
  InjectMouseButton(VK_LBUTTON, true, Centre.x, Centre.y);
  Pump();
  EXPECT_EQ(Spin->Text(), "0");  // a press alone does not step
  Advance(390);
  EXPECT_EQ(Spin->Text(), "0");
  Advance(20);  // 410 ms: the first repeat
  EXPECT_EQ(Spin->Text(), "1");
  Advance(200);  // 610 ms: two more
  EXPECT_EQ(Spin->Text(), "3");
  InjectMouseButton(VK_LBUTTON, false, Centre.x, Centre.y);
  Pump();
  EXPECT_EQ(Spin->Text(), "4");  // and one at the release
  Advance(500);
  EXPECT_EQ(Spin->Text(), "4");
  EXPECT_TRUE(Spin->Focused());
}

TEST_F(KvSpinEditTest, TheButtonSitsAtTheRightEdgeAndSplitsInTwo) {
  TkvSpinButton* Button = Spin->SpinButton();
  EXPECT_EQ(Button->Left() + Button->Width(), Spin->ClientWidth());
  EXPECT_GE(Button->Width(), 15);
  EXPECT_EQ(Button->UpButton()->Height(), Button->Height() / 2);
  EXPECT_EQ(Button->DownButton()->Top(), Button->Height() / 2 - 1);
  EXPECT_EQ(Spin->GetTextRight(), Button->Left() - 1);
}

TEST_F(KvSpinEditTest, ABoundIntegerFieldIsSteppedAndWritten) {
  auto* Data = new TMemoryDataSet(Form);
  Data->FieldDefs()->Add("Count", ftInteger);
  Data->Open();
  Data->AppendRecord({7});
  Data->First();
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Data);
  Spin->SetDataSource(Source);
  Spin->SetDataField("Count");
  Spin->SetMaxValue(9);
  Spin->SetMinValue(1);
  EXPECT_EQ(Spin->Text(), "7");
  Spin->SetFocus();
  Pump();
  for (int Step = 0; Step < 4; ++Step) Key(VK_UP);
  EXPECT_EQ(Spin->Text(), "9");  // clamped at the maximum
  EXPECT_EQ(Data->State(), dsEdit);
  Park();
  EXPECT_EQ(Data->FieldByName("Count")->AsInteger(), 9);
  // A text the field cannot hold reads as the minimum instead of failing.
  Spin->SetText("x");
  EXPECT_EQ(Spin->Value(), 1);
}

}  // namespace
}  // namespace FormsTest
