#pragma once
// The colour tables of the colour list and colour combo, without any window:
// - the named colours of the class library as entries Name=HEX (the name without its "cl", the
//   TColor in upper-case hexadecimal, at least six digits), chosen by the list's options;
// - the orders the list sorts by: by hue class (a colour's place on the colour wheel, greys last),
//   by intensity (colours before greys), and by name in groups (none, colours, system colours);
// - the "RGB: r, g, b" texts that name colours the tables do not list.
//
// Value texts are compared exactly with IntToHex texts, so every hexadecimal text made here is in
// upper case.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/classes/typinfo.h"
#include "platform/gdi/colors.h"

class TStrings;

KORCAM_ENUM(TvcColorListBoxOption, ccoShowSystemColors, ccoShowColorNone, ccoShowCustomColors, ccoShowStandardColors,
            ccoShowColorNames, ccoShowGreyScale, ccoGroupSystemColors)
using TvcColorListBoxOptions = TSet<TvcColorListBoxOption>;
KORCAM_ENUM(TvcSortByOption, csoNone, csoByRGB, csoByIntensity, csoByName)

// The colour no entry is selected for (distinct from clNone, which is a listed colour).
constexpr TColor vcNoColor = 0x0FFFFFFF;

// Fills a list with the class library's colours as the options choose them, in the library's
// order: the none entry first (NoneString=1FFFFFFF, with ccoShowColorNone), then Black and the
// other colours whose value, its top byte cleared, is above 30 (ccoShowStandardColors), and the
// system colours and clDefault, whose low part is 30 or less (ccoShowSystemColors). clNone itself
// is never listed by its identifier.
class TvcColorListFiller {
 public:
  TvcColorListFiller(TvcColorListBoxOptions Options, TStrings& Target);
  void Fill(const std::string& NoneString);

 private:
  void AddIdent(const std::string& Ident);

  TvcColorListBoxOptions FOptions;
  TStrings& FTarget;
};
void FillColorNames(TvcColorListBoxOptions Options, const std::string& NoneString, TStrings& Target);

// The colour of a value text ("0000FF", "8000000F"); system colours stay system colours.
TColor ColorOfValueText(const std::string& Value);
// The value text of a colour: IntToHex(Colour, 6).
std::string ValueTextOf(TColor Color);

// The hue class of a colour, 1 to 15 (15: greys); see the table in vccolortables.cpp.
int ColorHueClass(int Red, int Green, int Blue);
int ColorIntensity(int Red, int Green, int Blue);
// 0 red, 1 green, 2 blue: the channel that decides which rows of the hue table apply.
int DominantChannel(int Red, int Green, int Blue);

// The hue order (ByIntensity false) or the intensity order of two value texts; GroupSystemColors
// puts the system colours after all others. Negative, zero or positive.
int CompareColorValues(const std::string& A, const std::string& B, bool ByIntensity, bool GroupSystemColors);
// The grouped name order of two whole entries: the none entry, colours, system colours; by name
// within a group.
int CompareColorNamesGrouped(const std::string& A, const std::string& B);

// The colour of a text "RGB: red, green, blue": it must begin with "RGB:"; each of the three
// numbers is found from its first digit up to the next "," (or the end), trimmed, and must be a
// decimal whole number from 0 to 255; anything after the third number is ignored. Nothing when
// the text does not say a colour that way.
std::optional<TColor> ParseRGBText(std::string_view Text);
