// The trees' form read from its text and played headless: the tree's nodes come from the form's
// node stream with their check states and expansion, and the clicks and keys leave the node, the
// place and the font a user expects. Pictures before and after are written for looking at.

#include "tests/vcontrols/treeview/treeform.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/platform/forms/controltest.h"

namespace TreeTest {
namespace {

using TTreesFormTest = FormsTest::TFormsTest;

std::string SaveImage(const TScreenImage& Image, const std::string& Name) {
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  const std::string Folder = Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
  SaveScreenImagePng(Image, Folder + "/" + Name + ".png");
  return Folder + "/" + Name + ".png";
}

TEST_F(TTreesFormTest, TheFormReadsItsNodes) {
  TVcTreesHolder Trees = MakeTreesForm();
  auto* Tree = Trees->Find<TvcTreeView>("Tree");
  ASSERT_NE(Tree, nullptr);
  Trees->Show();
  Pump();
  ASSERT_EQ(Tree->Items()->Count(), 10);
  EXPECT_TRUE(Tree->Items()->FindNode("Options", false)->Expanded());  // StreamExpandedNode
  TvcTreeNode* Three = Tree->Items()->FindNode("Three states", false);
  EXPECT_TRUE(Three->Checked() && Three->Grayed());
  EXPECT_TRUE(Tree->Items()->FindNode("Medium", false)->IsRadioGroup());
  EXPECT_TRUE(Tree->Items()->FindNode("Medium", false)->Checked());
  EXPECT_EQ(Trees->Find<TvcFontCombo>("Fonts")->TreeView()->Items()->Count(), 5);
  EXPECT_EQ(Trees->Find<TvcCustomTreeCombo>("Places")->Style(), vccombo::csDropDownList);
}

TEST_F(TTreesFormTest, ClicksAndKeysChooseANodeAPlaceAndAFont) {
  const TTreeRun Run = RunTreesHeadless();
  SaveImage(Run.Before, "vctrees-before");
  SaveImage(Run.After, "vctrees-after");
  EXPECT_TRUE(Run.ShowButtonsChecked);
  EXPECT_EQ(Run.Selected, "Medium");
  EXPECT_EQ(Run.Place, "Pictures");
  EXPECT_EQ(Run.Font, "DejaVu Sans");
  // A combo's text follows each node browsed with the keys, so each of the two steps down is a
  // change; taking the node the text already shows changes nothing more.
  EXPECT_EQ(Run.Changes, (std::vector<std::string>{"Tree Large", "Tree Medium", "Places", "Places", "Fonts",
                                                   "Fonts"}));
  EXPECT_NE(Run.Before.Pixels, Run.After.Pixels);
}

}  // namespace
}  // namespace TreeTest
