// The user and computer names: what a buffer of each size gets, and the two counting rules.

#include "platform/rtl/systemnames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(SystemNames, UserNameCountsItsZeroAndAsksForRoom) {
  char Buffer[256] = {};
  DWORD Size = sizeof Buffer;
  ASSERT_TRUE(GetUserNameA(Buffer, &Size)) << "a test run has a login name";
  const std::string Name = Buffer;
  ASSERT_FALSE(Name.empty());
  EXPECT_EQ(Size, Name.size() + 1) << "the zero counts";

  // Exactly the room it needs works; one byte less is refused with the size it needs.
  char Exact[256] = {};
  DWORD ExactSize = DWORD(Name.size() + 1);
  EXPECT_TRUE(GetUserNameA(Exact, &ExactSize));
  EXPECT_EQ(std::string(Exact), Name);
  char Short[256];
  std::memset(Short, 'x', sizeof Short);
  DWORD ShortSize = DWORD(Name.size());
  EXPECT_FALSE(GetUserNameA(Short, &ShortSize));
  EXPECT_EQ(ShortSize, Name.size() + 1);
  EXPECT_EQ(Short[0], 'x') << "a refused buffer is left alone";

  DWORD Any = 10;
  EXPECT_FALSE(GetUserNameA(nullptr, &Any));
  EXPECT_FALSE(GetUserNameA(Buffer, nullptr));
}

TEST(SystemNames, ComputerNameIsTheShortHostNameWithoutItsZero) {
  char Buffer[256] = {};
  DWORD Size = sizeof Buffer;
  ASSERT_TRUE(GetComputerNameA(Buffer, &Size));
  const std::string Name = Buffer;
  ASSERT_FALSE(Name.empty());
  EXPECT_EQ(Size, Name.size()) << "the zero does not count";
  EXPECT_EQ(Name.find('.'), std::string::npos) << "no network domain";

  char Short[256] = {};
  DWORD ShortSize = DWORD(Name.size());  // no room for the zero
  EXPECT_FALSE(GetComputerNameA(Short, &ShortSize));
  EXPECT_EQ(ShortSize, Name.size() + 1);
}

}  // namespace
