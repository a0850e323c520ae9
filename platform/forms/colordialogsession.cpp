#include "platform/forms/colordialogsession.h"

#include <cstdio>

#include "platform/forms/application.h"
#include "platform/forms/colordialogform.h"
#include "platform/user/paint.h"

namespace {

constexpr TColor Rgb(int Red, int Green, int Blue) {
  return TColor(Red | Green << 8 | Blue << 16);
}

// A hue (degrees) at a saturation and value (both 0 ... 100), as a plain RGB value.
constexpr TColor FromHsv(int Hue, int Saturation, int Value) {
  const int Max = Value * 255 / 100;
  const int Min = Max * (100 - Saturation) / 100;
  const int Sector = Hue / 60, Within = Hue % 60;
  const int Rising = Min + (Max - Min) * Within / 60, Falling = Max - (Max - Min) * Within / 60;
  switch (Sector) {
    case 0: return Rgb(Max, Rising, Min);
    case 1: return Rgb(Falling, Max, Min);
    case 2: return Rgb(Min, Max, Rising);
    case 3: return Rgb(Min, Falling, Max);
    case 4: return Rgb(Rising, Min, Max);
    default: return Rgb(Max, Min, Falling);
  }
}

constexpr std::array<TColor, TColorDialogSession::BasicColorCount> MakeBasicColors() {
  // Eight hues across: red, orange, yellow, green, cyan, blue, violet, magenta; five shades down
  // from pale to dark; greys from black to white in the last row.
  constexpr int Hues[8] = {0, 30, 60, 120, 180, 240, 270, 300};
  constexpr int Shades[5][2] = {{35, 100}, {65, 100}, {100, 100}, {100, 75}, {100, 50}};
  std::array<TColor, TColorDialogSession::BasicColorCount> Result{};
  for (int Row = 0; Row < 5; ++Row)
    for (int Column = 0; Column < 8; ++Column)
      Result[size_t(Row * 8 + Column)] = FromHsv(Hues[Column], Shades[Row][0], Shades[Row][1]);
  for (int Column = 0; Column < 8; ++Column) {
    const int Grey = Column * 255 / 7;
    Result[size_t(40 + Column)] = Rgb(Grey, Grey, Grey);
  }
  return Result;
}

constexpr std::array<TColor, TColorDialogSession::BasicColorCount> BasicColorTable = MakeBasicColors();

TColorDialogScript& CurrentScript() {
  static TColorDialogScript Script;
  return Script;
}

}  // namespace

std::optional<uint8_t> ParseColorChannel(std::string_view Text) {
  size_t First = 0, Last = Text.size();
  while (First < Last && (Text[First] == ' ' || Text[First] == '\t')) ++First;
  while (Last > First && (Text[Last - 1] == ' ' || Text[Last - 1] == '\t')) --Last;
  if (First == Last) return std::nullopt;
  int Value = 0;
  for (size_t Index = First; Index < Last; ++Index) {
    const char C = Text[Index];
    if (C < '0' || C > '9') return std::nullopt;
    Value = Value * 10 + (C - '0');
    if (Value > 255) return std::nullopt;
  }
  return uint8_t(Value);
}

const std::array<TColor, TColorDialogSession::BasicColorCount>& TColorDialogSession::BasicColors() {
  return BasicColorTable;
}

TColorDialogSession::TColorDialogSession(TColor Initial, const std::array<TColor, CustomColorCount>& Custom,
                                         TColorDialogOptions Options)
    : FOptions(Options), FCustom(Custom) {
  const TColor Resolved = ColorToRGB(Initial);
  FColor = (Resolved & 0xFF000000) ? 0 : Resolved;
  for (TColor& Entry : FCustom) {
    Entry = ColorToRGB(Entry);
    if (Entry & 0xFF000000) Entry = 0xFFFFFF;
  }
  FFullOpen = Options.Contains(cdFullOpen) && !Options.Contains(cdPreventFullOpen);
  for (int Index = 0; Index < BasicColorCount; ++Index)
    if (BasicColorTable[size_t(Index)] == FColor) {
      FSelectedBasic = Index;
      break;
    }
}

void TColorDialogSession::Changed() {
  if (OnChange) OnChange();
}

void TColorDialogSession::SetColor(TColor Value) {
  Value &= 0xFFFFFF;
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TColorDialogSession::SelectBasic(int Index) {
  if (Index < 0 || Index >= BasicColorCount) return;
  FSelectedBasic = Index;
  FSelectedCustom = -1;
  FColor = BasicColorTable[size_t(Index)];
  Changed();
}

void TColorDialogSession::SelectCustom(int Index) {
  if (Index < 0 || Index >= CustomColorCount) return;
  FSelectedCustom = Index;
  FSelectedBasic = -1;
  FColor = FCustom[size_t(Index)];
  Changed();
}

uint8_t TColorDialogSession::Channel(int Channel) const {
  if (Channel < 0 || Channel > 2) return 0;
  return uint8_t(FColor >> (8 * Channel));
}

bool TColorDialogSession::SetChannelText(int Channel, std::string_view Text) {
  if (Channel < 0 || Channel > 2) return false;
  const std::optional<uint8_t> Value = ParseColorChannel(Text);
  if (!Value) return false;
  const int Shift = 8 * Channel;
  SetColor((FColor & ~(0xFF << Shift)) | TColor(*Value) << Shift);
  return true;
}

void TColorDialogSession::AddToCustomColors() {
  const int Slot = FSelectedCustom >= 0 ? FSelectedCustom : 0;
  FCustom[size_t(Slot)] = FColor;
  FSelectedCustom = (Slot + 1) % CustomColorCount;
  Changed();
}

void TColorDialogSession::OpenFull() {
  if (FFullOpen || FOptions.Contains(cdPreventFullOpen)) return;
  FFullOpen = true;
  Changed();
}

void TColorDialogSession::Accept() {
  FAccepted = true;
}

void TColorDialogSession::Cancel() {
  FAccepted = false;
}

TColorDialogScript SetColorDialogScript(TColorDialogScript Script) {
  TColorDialogScript Previous = std::move(CurrentScript());
  CurrentScript() = std::move(Script);
  return Previous;
}

bool RunColorDialog(TColorDialogSession& Session) {
  if (CurrentScript()) {
    // Copied: the script may install another one while it runs.
    TColorDialogScript Script = CurrentScript();
    Script(Session);
  } else if (GetWindowDriver() && Application) {
    ShowColorDialogWindow(Session);
  } else {
    std::fprintf(stderr, "[%s] no display to ask on; cancelled\n", Session.Title().c_str());
  }
  if (!Session.Accepted()) Session.Cancel();
  return Session.Accepted();
}
