// Arbitrary bytes as typed date, time and number texts. The first byte picks the locale (date
// order, separators, AM/PM strings, decimal separator) and the century base; the rest is the text.
// Every scanner runs over it, and what the scanners report is checked against itself: a position
// never leaves the text, whole-text tests agree with the scans, encoded values are real dates.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kvcontrols/editors/kvdatetextutils.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/unicode.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

TFormatSettings SettingsFor(uint8_t Selector) {
  TFormatSettings Settings;
  static const char* const Formats[] = {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", ""};
  static const char DateSeparators[] = {'/', '.', '-', ' '};
  Settings.ShortDateFormat = Formats[Selector & 3];
  Settings.DateSeparator = DateSeparators[(Selector >> 2) & 3];
  Settings.TimeSeparator = (Selector & 16) ? '.' : ':';
  if (Selector & 32) {
    Settings.TimeAMString = "дп";
    Settings.TimePMString = "";
  }
  Settings.DecimalSeparator = (Selector & 64) ? ',' : '.';
  return Settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  static TScopedManualClock Clock;  // "today" stays fixed across runs
  const TFormatSettings Settings = SettingsFor(Data[0]);
  const int CenturyBase = (Data[0] & 128) ? 2000 : 1950;
  const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
  const int Length = static_cast<int>(Utf8Length(Text));

  int Position = 1;
  TDateTime Date = 0;
  if (kvScanDateWindow(Text, Position, Date, CenturyBase, Settings)) {
    Check(Position >= 1 && Position <= Length + 1);
    Check(Date >= -693593 && Date <= 2958465);
    Check(kvIsDateText(Text, Settings) == (Position > Length) || CenturyBase != 1950);
    int TimePosition = Position;
    TDateTime Time = 0;
    if (kvScanTime(Text, TimePosition, Time, Settings)) {
      Check(TimePosition >= Position && TimePosition <= Length + 1);
      Check(Time >= 0 && Time < 1);
    }
  }
  Position = 1;
  TDateTime Time = 0;
  if (kvScanTime(Text, Position, Time, Settings)) {
    Check(Position >= 1 && Position <= Length + 1);
    Check(Time >= 0 && Time < 1);
    Check(kvIsTimeText(Text, Settings) == (Position > Length));
  }
  kvIsDateTimeText(Text, Settings);
  kvDateTimeTextToValue(Text, Settings);
  kvDateTextToValue(Text, Settings);
  kvTimeTextToValue(Text, Settings);

  for (Position = 1; Position <= Length + 1; ++Position) {
    int At = Position, Value = 0;
    if (kvScanNumber(Text, At, Value, Settings)) Check(At > Position && At <= Length + 1 && Value <= 9999);
  }

  kvIsIntegerText(Text);
  const bool IsFloat = kvIsFloatText(Text, Settings);
  const long double Read = kvFloatTextToValue(Text, -7, Settings);
  if (!IsFloat) Check(Read == -7);
  long double Value = 0;
  kvFormattedTextToFloat(Text, Value, "#,##0.00;(#,##0.00)", Settings);
  kvFormattedTextToFloat(Text, Value, "", Settings);

  for (int Caret = 0; Caret <= Length + 1 && Caret < 64; ++Caret) {
    const TkvDateTimePart Part = kvDateTimePartAt(Caret, Text, (Data[0] & 1) != 0, Settings);
    Check(Part >= dtpDay && Part <= dtpAMPM);
    const TkvDateTimePart TimePart = kvTimePartAt(Caret, Text, Settings);
    Check(TimePart >= dtpHour && TimePart <= dtpAMPM);
  }
  return 0;
}
