// The pickers' form read from its text and played headless: every published setting of the
// panels, group boxes and colour combos reads, the clicks and keys leave the colours a user
// expects, and pictures before and after are written for looking at.

#include "tests/vcontrols/combos/pickerform.h"

#include <gtest/gtest.h>

#include "platform/forms/application.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/panels/vcpanel.h"

namespace VcTest {
namespace {

using TPickersFormTest = TVcFormTest;

std::string SaveImage(const TScreenImage& Image, const std::string& Name) {
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  const std::string Folder = Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
  SaveScreenImagePng(Image, Folder + "/" + Name + ".png");
  return Folder + "/" + Name + ".png";
}

TEST_F(TPickersFormTest, TheFormReadsItsSettings) {
  TVcPickersHolder Pickers = MakePickersForm();
  auto* Effects = Pickers->Find<TvcColorCombo>("ColorEffects");
  ASSERT_NE(Effects, nullptr);
  EXPECT_EQ(Effects->ColorListOptions()->GreyScaleIncrement(), 32);
  EXPECT_EQ(Effects->ColorListOptions()->SortBy(), csoByRGB);
  EXPECT_EQ(Effects->SelectedColor(), clNone);
  EXPECT_EQ(Effects->BorderStyle(), bsNone);
  EXPECT_EQ(Pickers->Find<TvcColorCombo>("ColorText")->SelectedColor(), clAqua);
  auto* Stamp = Pickers->Find<TvcPanel>("PanelStamp");
  EXPECT_TRUE(Stamp->Frame()->Enabled());
  EXPECT_EQ(Stamp->Frame()->NonFocusColor(), clInfoBk);
  EXPECT_TRUE(Pickers->Find<TvcGroupBox>("GroupButtons")->Transparent());
  EXPECT_EQ(Pickers->Find<TvcGroupBox>("GroupEffects")->Caption(), "Image Effects");
}

TEST_F(TPickersFormTest, ClicksAndKeysChooseColours) {
  const TPickerRun Run = RunPickersHeadless();
  SaveImage(Run.Before, "vcpickers-before");
  SaveImage(Run.After, "vcpickers-after");
  ASSERT_EQ(Run.Colours.size(), 3u);
  for (size_t Index = 0; Index < 3; ++Index) {
    SCOPED_TRACE(PickerCombos[Index]);
    EXPECT_EQ(Run.Colours[Index], PickerColours[Index]);
  }
  // The shadow's text changed with the key in its list and back when it closed taking nothing.
  EXPECT_EQ(Run.Changes,
            (std::vector<std::string>{"ColorText", "ColorShadow", "ColorShadow", "ColorEffects"}));
  EXPECT_EQ(Run.FocusedName, "ColorEffects");
  EXPECT_NE(Run.Before.Pixels, Run.After.Pixels);
}

}  // namespace
}  // namespace VcTest
