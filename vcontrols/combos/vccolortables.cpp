#include "vcontrols/combos/vccolortables.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr const char* NoneValue = "1FFFFFFF";

void Channels(TColor Color, int& Red, int& Green, int& Blue) {
  const uint32_t Rgb = uint32_t(ColorToRGB(Color));
  Red = int(Rgb & 0xFF);
  Green = int(Rgb >> 8 & 0xFF);
  Blue = int(Rgb >> 16 & 0xFF);
}

// A share below 16 per cent counts as small.
bool Small(int Part, int Whole) {
  return double(Part) * 100.0 / double(Whole) < 16.0;
}

bool IsSystemValue(const std::string& Value) {
  return Value.compare(0, 2, "80") == 0;
}

std::string NamePart(const std::string& Entry) {
  const size_t Equals = Entry.find('=');
  return Equals == std::string::npos ? Entry : Entry.substr(0, Equals + 1);
}

std::string ValuePart(const std::string& Entry) {
  const size_t Equals = Entry.find('=');
  return Equals == std::string::npos ? std::string() : Entry.substr(Equals + 1);
}

int NameGroup(const std::string& Entry) {
  const std::string Value = ValuePart(Entry);
  int32_t Number = 0;
  if (Value.size() >= 8 && TryStrToInt("$" + Value.substr(0, 8), Number) && Number == clNone) return 0;
  if (Value.size() == 8 && IsSystemValue(Value)) return 2;
  return 1;
}

}  // namespace

// ---- the class library's colours ---------------------------------------------------------------

TvcColorListFiller::TvcColorListFiller(TvcColorListBoxOptions Options, TStrings& Target)
    : FOptions(Options), FTarget(Target) {}

void TvcColorListFiller::Fill(const std::string& NoneString) {
  if (FOptions.Contains(ccoShowColorNone)) FTarget.Add(NoneString + "=" + NoneValue);
  GetColorValues([this](const std::string& Ident) { AddIdent(Ident); });
}

void TvcColorListFiller::AddIdent(const std::string& Ident) {
  int32_t Value = 0;
  if (!IdentToColor(Ident, Value)) return;
  if (Ident == "clBlack") {
    if (FOptions.Contains(ccoShowStandardColors)) FTarget.Add("Black=000000");
    return;
  }
  if (Ident == "clNone") return;
  // The twenty RGB colours go with the standard colours; the system colours and clDefault, whose
  // low part is a small index, with the system colours.
  const int32_t Low = Value & 0x00FFFFFF;
  const bool Standard = FOptions.Contains(ccoShowStandardColors) && Low > 30;
  const bool System = Low <= 30 && FOptions.Contains(ccoShowSystemColors);
  if (Standard || System) FTarget.Add(Ident.substr(2) + "=" + IntToHex(Value, 6));
}

void FillColorNames(TvcColorListBoxOptions Options, const std::string& NoneString, TStrings& Target) {
  TvcColorListFiller Filler(Options, Target);
  Filler.Fill(NoneString);
}

TColor ColorOfValueText(const std::string& Value) {
  return StringToColor("$" + Value);
}

std::string ValueTextOf(TColor Color) {
  return IntToHex(int32_t(Color), 6);
}

// ---- orders ------------------------------------------------------------------------------------

int DominantChannel(int Red, int Green, int Blue) {
  if (Red >= Green && Red >= Blue) return 0;
  if (Green >= Red && Green >= Blue) return 1;
  return 2;
}

int ColorIntensity(int Red, int Green, int Blue) {
  return (Red + Green + Blue) / 3;
}

// Classes by the order of the channels: 1 to 3 orange to yellow-green, 4 to 7 the greens and
// cyans, 8 to 11 the blues and violets, 12 to 14 magenta back to red, 15 the greys.
int ColorHueClass(int R, int G, int B) {
  if (R == G && G == B) return 15;
  switch (DominantChannel(R, G, B)) {
    case 0:
      if (R > G && G > B) return Small(R - G, R) ? 2 : Small(G, R) ? 14 : 1;
      if (R == G && G > B) return 2;
      if (R == B && B > G) return 12;
      if (R > B && B > G) return Small(R - B, R) ? 12 : Small(B, R) ? 14 : 13;
      if (R > G && G == B) return 14;
      break;
    case 1:
      if (G > B && B > R) return Small(G - B, G) ? 7 : Small(B, G) ? 4 : 6;
      if (G > R && R > B) return Small(G - R, G) ? 3 : Small(R, G) ? 4 : 3;
      if (G > R && R == B) return 5;
      if (G == B && B > R) return 7;
      break;
    default:
      if (B > G && G > R) return Small(B - G, B) ? 7 : Small(G, B) ? 9 : 8;
      if (B > R && R == G) return 10;
      if (B > R && R > G) return Small(B - R, B) ? 12 : Small(R, B) ? 9 : 11;
      break;
  }
  return 15;
}

int CompareColorValues(const std::string& A, const std::string& B, bool ByIntensity, bool GroupSystemColors) {
  if (A == B) return 0;
  auto Key = [&](const std::string& Value, int& Intensity) {
    Intensity = 0;
    if (Value == NoneValue) return 0;
    int Red, Green, Blue;
    Channels(ColorOfValueText(Value), Red, Green, Blue);
    Intensity = ColorIntensity(Red, Green, Blue);
    int Result = ByIntensity ? (Red == Green && Green == Blue ? 2 : 1) : ColorHueClass(Red, Green, Blue);
    if (GroupSystemColors && IsSystemValue(Value)) Result += 16;
    return Result;
  };
  int IntensityA, IntensityB;
  const int KeyA = Key(A, IntensityA), KeyB = Key(B, IntensityB);
  if (KeyA != KeyB) return KeyA < KeyB ? -1 : 1;
  if (IntensityA == IntensityB) return 0;
  // Within a class: darker first in odd hue classes and by intensity, lighter first in even ones,
  // so that neighbouring classes meet at similar shades.
  const bool Ascending = ByIntensity || KeyA % 2 == 1;
  return (IntensityA < IntensityB) == Ascending ? -1 : 1;
}

int CompareColorNamesGrouped(const std::string& A, const std::string& B) {
  const int GroupA = NameGroup(A), GroupB = NameGroup(B);
  if (GroupA != GroupB) return GroupA < GroupB ? -1 : 1;
  return AnsiCompareStr(NamePart(A), NamePart(B));
}

// ---- RGB texts ---------------------------------------------------------------------------------

std::optional<TColor> ParseRGBText(std::string_view Text) {
  if (Text.substr(0, 4) != "RGB:") return std::nullopt;
  int Values[3] = {};
  size_t Position = 4;
  for (int& Value : Values) {
    while (Position < Text.size() && (Text[Position] < '0' || Text[Position] > '9')) ++Position;
    if (Position >= Text.size()) return std::nullopt;
    size_t End = Text.find(',', Position);
    if (End == std::string_view::npos) End = Text.size();
    std::string_view Piece = Text.substr(Position, End - Position);
    while (!Piece.empty() && (Piece.back() == ' ' || Piece.back() == '\t')) Piece.remove_suffix(1);
    Value = 0;
    for (char Digit : Piece) {
      if (Digit < '0' || Digit > '9') return std::nullopt;
      Value = Value * 10 + (Digit - '0');
      if (Value > 255) return std::nullopt;
    }
    Position = End + 1;
  }
  return TColor(Values[2] << 16 | Values[1] << 8 | Values[0]);
}
