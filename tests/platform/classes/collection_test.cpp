#include <gtest/gtest.h>

#include "fixture_classes.h"

TEST(Collection, AddIndexDeleteAndMove) {
  TFixturePanel Panel(nullptr);
  TFixtureItems& Items = *Panel.Items();
  auto* First = static_cast<TFixtureItem*>(Items.Add());
  auto* Second = static_cast<TFixtureItem*>(Items.Add());
  auto* Third = static_cast<TFixtureItem*>(Items.Add());
  EXPECT_EQ(Items.Count(), 3);
  EXPECT_EQ(Second->Index(), 1);
  EXPECT_EQ(Third->ID(), 2);
  EXPECT_EQ(Second->Collection(), &Items);
  EXPECT_EQ(Items.GetOwner(), &Panel);

  Third->SetIndex(0);
  EXPECT_EQ(Items.Items(0), Third);
  EXPECT_EQ(First->Index(), 1);
  Items.Delete(1);
  EXPECT_EQ(Items.Count(), 2);
  EXPECT_EQ(Items.FindItemID(0), nullptr);
  EXPECT_EQ(Items.FindItemID(1), Second);
  EXPECT_THROW(Items.Items(2), EListError);
  delete Second;  // an item freed directly leaves its collection
  EXPECT_EQ(Items.Count(), 1);
}

TEST(Collection, UpdateRunsOnceAfterAnUpdateBlock) {
  TFixturePanel Panel(nullptr);
  TFixtureItems& Items = *Panel.Items();
  Items.UpdateCalls = 0;
  Items.BeginUpdate();
  Items.BeginUpdate();
  for (int Index = 0; Index < 5; ++Index) Items.Add();
  EXPECT_EQ(Items.UpdateCount(), 2);
  Items.EndUpdate();
  Items.EndUpdate();
  EXPECT_EQ(Items.UpdateCalls, 1);  // once, when the outer block ends; none per Add inside it
  Items.UpdateCalls = 0;
  Items.Add();
  EXPECT_EQ(Items.UpdateCalls, 1);
}

TEST(Collection, AssignCopiesItemsAndRefusesOtherClasses) {
  TFixturePanel Source(nullptr);
  TFixturePanel Dest(nullptr);
  static_cast<TFixtureItem*>(Source.Items()->Add())->SetText("a");
  static_cast<TFixtureItem*>(Source.Items()->Add())->SetWidth(7);
  Dest.Items()->Add();
  Dest.Items()->Add();
  Dest.Items()->Add();
  Dest.Items()->Assign(Source.Items());
  ASSERT_EQ(Dest.Items()->Count(), 2);
  EXPECT_EQ(static_cast<TFixtureItem*>(Dest.Items()->Items(0))->Text(), "a");
  EXPECT_EQ(static_cast<TFixtureItem*>(Dest.Items()->Items(1))->Width(), 7);
  try {
    Dest.Items()->Assign(Source.Font());
    FAIL() << "assigning a font to a collection must fail";
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "Cannot assign a TFixtureFont to a TFixtureItems");
  }
}
