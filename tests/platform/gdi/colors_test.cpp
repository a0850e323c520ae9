// Colour identifiers and texts of the class library.

#include "platform/gdi/colors.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/exceptions.h"

namespace {

TEST(ColorsTest, IdentifiersInTheirEnumerationOrderRoundTrip) {
  std::vector<std::string> names;
  GetColorValues([&](const std::string& Name) { names.push_back(Name); });
  ASSERT_EQ(names.size(), 52u);
  EXPECT_EQ(names.front(), "clBlack");
  EXPECT_EQ(names[19], "clMedGray");
  EXPECT_EQ(names[29], "clDefault");
  EXPECT_EQ(names[45], "clNone");
  EXPECT_EQ(names.back(), "clWindowText");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    int32_t value = 0;
    ASSERT_TRUE(IdentToColor(name, value));
    EXPECT_EQ(ColorToString(value), name);
    EXPECT_EQ(StringToColor(name), value);
  }
}

TEST(ColorsTest, Values) {
  struct TCase {
    const char* Name;
    TColor Value;
  };
  const TCase cases[] = {
      {"clRed", 0x0000FF},
      {"clBlue", 0xFF0000},
      {"clMoneyGreen", 0xC0DCC0},
      {"clSkyBlue", 0xF0CAA6},
      {"clCream", 0xF0FBFF},
      {"clMedGray", 0xA4A0A0},
      {"clNone", 0x1FFFFFFF},
      {"clDefault", 0x20000000},
      {"clBtnFace", int32_t(0x8000000F)},
      {"clHighlight", int32_t(0x8000000D)},
      {"cl3DLight", int32_t(0x80000016)},
      {"clMenuBar", int32_t(0x8000001E)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    int32_t value = 0;
    ASSERT_TRUE(IdentToColor(c.Name, value));
    EXPECT_EQ(value, c.Value);
  }
}

TEST(ColorsTest, TextsAndNumbers) {
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(int32_t(0x8000001A)), "clHotLight");
  EXPECT_EQ(ColorToString(int32_t(0x80000019)), "$80000019");  // index 25 has no name
  EXPECT_EQ(StringToColor("$00FF00"), 0x00FF00);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);  // identifiers ignore case
  EXPECT_EQ(StringToColor("$8000000F"), clBtnFace);
  for (const char* bad : {"Blue", "", "$", "clNoSuchColour", "12abc"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(StringToColor(bad), EConvertError);
  }
  std::string ident;
  EXPECT_FALSE(ColorToIdent(0x123456, ident));
  int32_t value;
  EXPECT_FALSE(IdentToColor("Red", value));
}

TEST(ColorsTest, ColorToRgbResolvesSystemColoursOnly) {
  EXPECT_EQ(ColorToRGB(clBtnFace), int32_t(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clWindowText), int32_t(GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(ColorToRGB(clDefault), clDefault);
  const INT element = COLOR_BTNFACE;
  const COLORREF changed = RGB(1, 2, 3);
  SetSysColors(1, &element, &changed);
  EXPECT_EQ(ColorToRGB(clBtnFace), int32_t(changed));
  GdiResetSysColors();
  EXPECT_EQ(ColorToRGB(clBtnFace), int32_t(RGB(0xD4, 0xD0, 0xC8)));
}

}  // namespace
