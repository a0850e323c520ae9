#include <gtest/gtest.h>

#include "fixture_classes.h"

TEST(Component, OwnerFreesWhatItOwns) {
  auto* Owner = new TFixturePanel(nullptr);
  auto* First = new TFixturePanel(Owner);
  auto* Second = new TFixturePanel(Owner);
  First->SetName("First");
  Second->SetName("Second");
  auto FirstLife = First->LifeToken();
  auto SecondLife = Second->LifeToken();
  EXPECT_EQ(Owner->ComponentCount(), 2);
  EXPECT_EQ(Second->ComponentIndex(), 1);
  EXPECT_EQ(Owner->FindComponent("second"), Second);
  EXPECT_EQ(Owner->FindComponent("Third"), nullptr);
  Owner->Free();
  EXPECT_FALSE(FirstLife->Alive);
  EXPECT_FALSE(SecondLife->Alive);
}

TEST(Component, FreedComponentLeavesItsOwner) {
  TFixturePanel Owner(nullptr);
  auto* Child = new TFixturePanel(&Owner);
  Child->SetName("Child");
  Child->Free();
  EXPECT_EQ(Owner.ComponentCount(), 0);
  // A plain delete (not Free) is safe too.
  auto* Other = new TFixturePanel(&Owner);
  delete Other;
  EXPECT_EQ(Owner.ComponentCount(), 0);
}

TEST(Component, NamesAreValidatedAmongSiblings) {
  TFixturePanel Owner(nullptr);
  auto* First = new TFixturePanel(&Owner);
  auto* Second = new TFixturePanel(&Owner);
  First->SetName("Button1");
  struct TCase {
    const char* Name;
    const char* NewName;
    bool Refused;
  };
  const TCase Cases[] = {
      {"taken, other case", "BUTTON1", true},
      {"starts with a digit", "1Button", true},
      {"has a blank", "Button 2", true},
      {"not ASCII", "Кнопка", true},
      {"fine", "Button2", false},
      {"empty is allowed", "", false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    if (Case.Refused)
      EXPECT_THROW(Second->SetName(Case.NewName), EComponentError);
    else
      EXPECT_NO_THROW(Second->SetName(Case.NewName));
  }
  First->SetName("button1");  // renaming itself in another case is fine
  EXPECT_EQ(First->Name(), "button1");
}

TEST(Component, FreeNotificationClearsReferences) {
  // Two components with different owners: only free notification tells one about the other.
  TFixturePanel FormA(nullptr);
  TFixturePanel FormB(nullptr);
  auto* Panel = new TFixturePanel(&FormA);
  auto* Buddy = new TFixturePanel(&FormB);
  Buddy->SetName("Buddy");
  Panel->SetBuddy(Buddy);
  Buddy->Free();
  EXPECT_EQ(Panel->Buddy(), nullptr);

  // The other way round: the panel goes first, and the buddy forgets it.
  auto* Buddy2 = new TFixturePanel(&FormB);
  auto* Panel2 = new TFixturePanel(&FormA);
  Panel2->SetBuddy(Buddy2);
  Panel2->Free();
  Buddy2->Free();  // must not touch the freed panel
}

TEST(Component, OwnerTellsEveryOwnedComponentOfARemoval) {
  TFixturePanel Owner(nullptr);
  auto* Watcher = new TFixturePanel(&Owner);
  auto* Target = new TFixturePanel(&Owner);
  Target->SetName("Target");
  Watcher->SetBuddy(Target);  // same owner: the owner's cascade tells it
  Watcher->Log.clear();
  Owner.Log.clear();
  Target->Free();
  EXPECT_EQ(Watcher->Buddy(), nullptr);
  EXPECT_EQ(Watcher->Log, std::vector<std::string>{"remove Target"});
  EXPECT_EQ(Owner.Log, std::vector<std::string>{"remove Target"});
}

TEST(Component, DestroyingMarksOwnedComponents) {
  TFixturePanel Owner(nullptr);
  auto* Child = new TFixturePanel(&Owner);
  Owner.Destroying();
  EXPECT_TRUE(Owner.ComponentState().Contains(csDestroying));
  EXPECT_TRUE(Child->ComponentState().Contains(csDestroying));
}
