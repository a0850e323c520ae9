// The colour tables without any window: the named colours the options choose and their values,
// the hue classes and the three sort orders, and the "RGB: r, g, b" texts.

#include "vcontrols/combos/vccolortables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "vcontrols/common/vccommon.h"

namespace {

std::vector<std::string> Fill(TvcColorListBoxOptions Options, const std::string& NoneString = "None") {
  TStringList List;
  FillColorNames(Options, NoneString, List);
  std::vector<std::string> Result;
  for (int Index = 0; Index < List.Count(); ++Index) Result.push_back(List.Get(Index));
  return Result;
}

const std::vector<std::string> StandardColours = {
    "Black=000000",  "Maroon=000080",     "Green=008000",   "Olive=008080",   "Navy=800000",
    "Purple=800080", "Teal=808000",       "Gray=808080",    "Silver=C0C0C0",  "Red=0000FF",
    "Lime=00FF00",   "Yellow=00FFFF",     "Blue=FF0000",    "Fuchsia=FF00FF", "Aqua=FFFF00",
    "White=FFFFFF",  "MoneyGreen=C0DCC0", "SkyBlue=F0CAA6", "Cream=F0FBFF",   "MedGray=A4A0A0",
};

TEST(VcColorTablesTest, TheDefaultOptionsListTheTwentyStandardColours) {
  EXPECT_EQ(Fill({ccoShowStandardColors, ccoShowColorNames}), StandardColours);
  // The none entry comes first, named as asked (an empty name too).
  std::vector<std::string> WithNone = Fill({ccoShowStandardColors, ccoShowColorNone});
  ASSERT_EQ(WithNone.size(), 21u);
  EXPECT_EQ(WithNone.front(), "None=1FFFFFFF");
  EXPECT_EQ(Fill({ccoShowColorNone}, ""), std::vector<std::string>{"=1FFFFFFF"});
  EXPECT_TRUE(Fill({}).empty());
}

TEST(VcColorTablesTest, SystemColoursFollowInTheLibrarysOrderWithDefault) {
  // The system colours are 0x80000000 plus the system's colour index; clDefault is 20000000.
  const std::vector<std::string> Expected = {
      "ActiveBorder=8000000A",
      "ActiveCaption=80000002",
      "AppWorkSpace=8000000C",
      "Background=80000001",
      "BtnFace=8000000F",
      "BtnHighlight=80000014",
      "BtnShadow=80000010",
      "BtnText=80000012",
      "CaptionText=80000009",
      "Default=20000000",
      "GradientActiveCaption=8000001B",
      "GradientInactiveCaption=8000001C",
      "GrayText=80000011",
      "Highlight=8000000D",
      "HighlightText=8000000E",
      "HotLight=8000001A",
      "InactiveBorder=8000000B",
      "InactiveCaption=80000003",
      "InactiveCaptionText=80000013",
      "InfoBk=80000018",
      "InfoText=80000017",
      "Menu=80000004",
      "MenuBar=8000001E",
      "MenuHighlight=8000001D",
      "MenuText=80000007",
      "ScrollBar=80000000",
      "3DDkShadow=80000015",
      "3DLight=80000016",
      "Window=80000005",
      "WindowFrame=80000006",
      "WindowText=80000008",
  };
  EXPECT_EQ(Fill({ccoShowSystemColors}), Expected);
  // Both kinds: the standard colours keep their places among the system ones' order.
  const std::vector<std::string> Both = Fill({ccoShowSystemColors, ccoShowStandardColors});
  EXPECT_EQ(Both.size(), 51u);
  EXPECT_EQ(Both.front(), "Black=000000");
  EXPECT_EQ(Both[19], "MedGray=A4A0A0");
  EXPECT_EQ(Both[20], "ActiveBorder=8000000A");
}

TEST(VcColorTablesTest, HueClassesByTheOrderOfTheChannels) {
  struct TCase {
    int R, G, B, Class;
  };
  // 55 of 255 is 21.6 per cent (not small), 15 of 255 5.9 per cent and 20 of 255 7.8 (small).
  const TCase Cases[] = {
      {128, 128, 128, 15}, {0, 0, 0, 15},     {255, 0, 0, 14},   {255, 255, 0, 2},  {0, 255, 0, 5},
      {0, 255, 255, 7},    {0, 0, 255, 10},   {255, 0, 255, 12}, {255, 200, 0, 1},  {255, 240, 0, 2},
      {255, 20, 0, 14},    {0, 255, 200, 6},  {0, 255, 250, 7},  {0, 255, 20, 4},   {200, 255, 0, 3},
      {20, 255, 0, 4},     {250, 255, 0, 3},  {0, 200, 255, 8},  {0, 250, 255, 7},  {0, 20, 255, 9},
      {200, 0, 255, 11},   {250, 0, 255, 12}, {20, 0, 255, 9},   {255, 0, 200, 13}, {255, 0, 250, 12},
      {255, 0, 20, 14},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(testing::Message() << Case.R << ", " << Case.G << ", " << Case.B);
    EXPECT_EQ(ColorHueClass(Case.R, Case.G, Case.B), Case.Class);
  }
  EXPECT_EQ(DominantChannel(10, 10, 10), 0);
  EXPECT_EQ(DominantChannel(10, 20, 20), 1);
  EXPECT_EQ(DominantChannel(10, 20, 30), 2);
}

// The hue class (or, by intensity, 1 for colours and 2 for greys) of a value text, as the orders
// key it: none first, system colours after all others when grouped.
int KeyOf(const std::string& Value, bool ByIntensity, bool Group) {
  if (Value == "1FFFFFFF") return 0;
  const uint32_t Rgb = uint32_t(ColorToRGB(ColorOfValueText(Value)));
  const int R = int(Rgb & 0xFF), G = int(Rgb >> 8 & 0xFF), B = int(Rgb >> 16 & 0xFF);
  const int Key = ByIntensity ? (R == G && G == B ? 2 : 1) : ColorHueClass(R, G, B);
  return Key + (Group && Value.compare(0, 2, "80") == 0 ? 16 : 0);
}

int IntensityOf(const std::string& Value) {
  const uint32_t Rgb = uint32_t(ColorToRGB(ColorOfValueText(Value)));
  return ColorIntensity(int(Rgb & 0xFF), int(Rgb >> 8 & 0xFF), int(Rgb >> 16 & 0xFF));
}

TEST(VcColorTablesTest, TheColourOrdersSortByClassThenByShade) {
  // Every colour of every kind, greys included, sorted by each order: the keys never go down, and
  // within a key the shades run as the order says (odd hue classes and intensity: darker first).
  TStringList All;
  FillColorNames({ccoShowColorNone, ccoShowStandardColors, ccoShowSystemColors}, "None", All);
  for (int Shade = 0; Shade < 256; Shade += 15) All.Add("Grey=" + ColorBytesToHex(Shade, Shade, Shade));
  for (const bool ByIntensity : {false, true})
    for (const bool Group : {false, true}) {
      SCOPED_TRACE(testing::Message() << (ByIntensity ? "intensity" : "hue") << (Group ? ", grouped" : ""));
      TStringList List;
      List.Assign(All);
      List.CustomSort([&](TStringList& Sorted, int A, int B) {
        return CompareColorValues(GetValueAt(Sorted, A), GetValueAt(Sorted, B), ByIntensity, Group);
      });
      EXPECT_EQ(GetValueAt(List, 0), "1FFFFFFF");
      for (int Index = 1; Index < List.Count(); ++Index) {
        const std::string Before = GetValueAt(List, Index - 1), After = GetValueAt(List, Index);
        SCOPED_TRACE(Before + " before " + After);
        const int KeyBefore = KeyOf(Before, ByIntensity, Group), KeyAfter = KeyOf(After, ByIntensity, Group);
        ASSERT_LE(KeyBefore, KeyAfter);
        if (KeyBefore != KeyAfter || KeyBefore == 0) continue;
        const bool Ascending = ByIntensity || KeyBefore % 2 == 1;
        if (Ascending)
          EXPECT_LE(IntensityOf(Before), IntensityOf(After));
        else
          EXPECT_GE(IntensityOf(Before), IntensityOf(After));
      }
      if (Group) EXPECT_EQ(GetValueAt(List, List.Count() - 1).substr(0, 2), "80");
    }
}

TEST(VcColorTablesTest, TheGroupedNameOrderPutsNoneColoursAndSystemColoursApart) {
  TStringList List;
  for (const char* Entry : {"Window=80000005", "Red=0000FF", "None=1FFFFFFF", "Aqua=FFFF00",
                            "BtnFace=8000000F", "Default=20000000"})
    List.Add(Entry);
  List.CustomSort([](TStringList& Sorted, int A, int B) {
    return CompareColorNamesGrouped(Sorted.Get(A), Sorted.Get(B));
  });
  std::vector<std::string> Names;
  for (int Index = 0; Index < List.Count(); ++Index) Names.push_back(GetNameAt(List, Index));
  // clDefault's value is not a system colour's: it goes with the colours.
  EXPECT_EQ(Names, (std::vector<std::string>{"None", "Aqua", "Default", "Red", "BtnFace", "Window"}));
}

TEST(VcColorTablesTest, RGBTextsSayAColourOrNothing) {
  struct TCase {
    const char* Text;
    std::optional<TColor> Colour;
  };
  const TCase Cases[] = {
      {"RGB: 86, 52, 18", 0x123456},
      {"RGB:1,2,3", 0x030201},
      {"RGB: 255, 255, 255", 0xFFFFFF},
      {"RGB: 0, 0, 0", 0x000000},
      {"RGB: 1, 2, 3, 4", 0x030201},   // anything after the third number is ignored
      {"RGB: x1, y2, z3", 0x030201},   // up to the first digit, other characters are skipped
      {"RGB: -5, 0, 0", 0x000005},     // a sign is one of them
      {"RGB: 1 , 2\t, 3 ", 0x030201},  // blanks after a number are trimmed
      {"RGB: 007, 0, 0", 0x000007},
      {"RGB: 256, 0, 0", std::nullopt},  // out of range
      {"RGB: 1, 2", std::nullopt},       // a number missing
      {"RGB: 1, 2,", std::nullopt},
      {"RGB:", std::nullopt},
      {"RGB: 1 2, 3, 4", std::nullopt},  // not one number
      {"RGB: 12x, 0, 0", std::nullopt},
      {"RGB: 99999999999999999999, 0, 0", std::nullopt},
      {"rgb: 1, 2, 3", std::nullopt},  // the prefix as written
      {" RGB: 1, 2, 3", std::nullopt},
      {"Red", std::nullopt},
      {"", std::nullopt},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(ParseRGBText(Case.Text), Case.Colour);
  }
  // Every colour's own RGB text reads back as the colour.
  for (const TColor Colour : {TColor(0x000000), TColor(0x123456), TColor(0xFFFFFF), TColor(0x0080FF)})
    EXPECT_EQ(ParseRGBText(ColorToRGBText(Colour)), Colour);
  EXPECT_EQ(ColorToRGBText(0x123456), "RGB: 86, 52, 18");
}

}  // namespace
