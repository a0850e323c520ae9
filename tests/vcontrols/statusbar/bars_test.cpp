// The bars' test form, headless: it renders (the PNGs are kept to be looked at) and answers the
// clicks and the key a user gives it.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/vcontrols/statusbar/bars.h"

namespace {

std::string Folder() {
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  return Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
}

TEST(BarsForm, RendersAndAnswersClicksAndKeys) {
  const TBarsRun Run = RunBarsHeadless();
  SaveScreenImagePng(Run.Before, Folder() + "/bars.png");
  SaveScreenImagePng(Run.After, Folder() + "/bars-after.png");
  EXPECT_EQ(Run.Events, BarsEvents);
  EXPECT_TRUE(Run.CapsOn);
  ASSERT_EQ(Run.Before.Width, 420);
  // The open list's colour fills the page below the first button before, below both after.
  const uint32_t ListColor = 0x808080;  // clBtnShadow
  EXPECT_EQ(Run.Before.At(20, 8 + 1 + 20 + 200), ListColor);
  EXPECT_NE(Run.After.At(20, 8 + 1 + 20 + 5), ListColor) << "the second page button moved up there";
  EXPECT_EQ(Run.After.At(20, 8 + 1 + 40 + 200), ListColor);
  EXPECT_NE(Run.Before.Pixels, Run.After.Pixels);
}

}  // namespace
