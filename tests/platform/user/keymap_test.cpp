// The keyboard layout the headless back end types with, through its two queries: every printable
// ASCII character has a key (with or without Shift), that key maps back to the character the
// layout puts on it, and its scan code maps back to the key.

#include <gtest/gtest.h>

#include <cctype>

#include "platform/user/input.h"
#include "platform/user/user.h"

namespace {

TEST(KeymapTest, PrintableCharactersRoundTrip) {
  for (int Code = 0x20; Code < 0x7F; ++Code) {
    const char Character = char(Code);
    SCOPED_TRACE(std::string(1, Character));
    const SHORT Scan = VkKeyScan(Character);
    ASSERT_NE(Scan, -1);
    const UINT Key = UINT(Scan & 0xFF);
    const int Shift = (Scan >> 8) & 0xFF;
    EXPECT_TRUE(Shift == 0 || Shift == 1);  // no Ctrl or Alt on the US layout
    const UINT Unshifted = MapVirtualKey(Key, MAPVK_VK_TO_CHAR);
    if (std::isalpha(Code)) {
      // Letters: the key is the upper-case letter; Shift only for the upper case.
      EXPECT_EQ(Key, UINT(std::toupper(Code)));
      EXPECT_EQ(Unshifted, UINT(std::toupper(Code)));
      EXPECT_EQ(Shift, std::isupper(Code) ? 1 : 0);
    } else if (Shift == 0) {
      EXPECT_EQ(Unshifted, UINT(Code));
    } else {
      EXPECT_NE(Unshifted, UINT(Code));  // a shifted character is not the key's plain one
    }
    const UINT ScanCode = MapVirtualKey(Key, MAPVK_VK_TO_VSC);
    EXPECT_NE(ScanCode, 0u);
    EXPECT_EQ(MapVirtualKey(ScanCode, MAPVK_VSC_TO_VK), Key);
  }
}

TEST(KeymapTest, KeysWithoutCharacters) {
  struct TCase {
    const char* Name;
    UINT Key;
    UINT Char;
  };
  const TCase Cases[] = {
      {"Return", VK_RETURN, '\r'}, {"Escape", VK_ESCAPE, 0x1B}, {"Back", VK_BACK, 0x08},
      {"Tab", VK_TAB, '\t'},       {"Left", VK_LEFT, 0},        {"F4", VK_F4, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(MapVirtualKey(Case.Key, MAPVK_VK_TO_CHAR), Case.Char);
  }
  // Control characters come from Ctrl with the letter.
  EXPECT_EQ(VkKeyScan('\x01'), SHORT(0x200 | 'A'));
  EXPECT_EQ(MapVirtualKey(0xFF, MAPVK_VK_TO_CHAR), 0u);
  EXPECT_EQ(MapVirtualKey(VK_RETURN, 99), 0u);
}

}  // namespace
