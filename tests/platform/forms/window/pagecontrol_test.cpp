// The page control: switching pages by clicks, Ctrl+Tab and arrows (OnChanging may refuse,
// OnChange follows, the program's own switches raise neither), hidden tabs and the room they
// leave, the focus leaving a page that goes (its OnExit), a page that is freed, and a picture.

#include "platform/forms/pagecontrol.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class PageControlTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 320, 220);
    Pages = new TPageControl(Form);
    Pages->SetParent(Form);
    Pages->SetBounds(10, 10, 280, 150);
    for (const char* Caption : {"Video", "Album", "Image"}) {
      auto* Sheet = new TTabSheet(Form);
      Sheet->SetCaption(Caption);
      Sheet->SetPageControl(Pages);
      auto* Box = new TTestBox(Form);
      Box->SetBounds(10, 10, 80, 24);
      Box->SetParent(Sheet);
      Boxes.push_back(Box);
      Sheet->OnExit = TNotifyEvent([this, Sheet](TObject*) { Log += Sheet->Caption() + " exit;"; });
      Sheets.push_back(Sheet);
    }
    Pages->OnChanging = TTabChangingEvent([this](TObject*, bool& Allow) {
      Log += "changing;";
      Allow = AllowChange;
    });
    Pages->OnChange = TNotifyEvent([this](TObject*) { Log += "change " + Pages->ActivePage()->Caption() + ";"; });
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void ClickTab(int Index) {
    const RECT R = Pages->TabRect(Index);
    ClickAt(Pages, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
    Pump();
  }

  TForm* Form = nullptr;
  TPageControl* Pages = nullptr;
  std::vector<TTabSheet*> Sheets;
  std::vector<TTestBox*> Boxes;
  std::string Log;
  bool AllowChange = true;
};

TEST_F(PageControlTest, TheUserSwitchesPagesTheProgramToo) {
  // The first page shows until someone chooses.
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  EXPECT_TRUE(Sheets[0]->Visible());
  EXPECT_FALSE(Sheets[1]->Visible());
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    int Active;
    const char* Log;
  };
  const TCase Cases[] = {
      {"a click on a tab", [&] { ClickTab(2); }, 2, "changing;change Image;"},
      {"a click on the active tab", [&] { ClickTab(2); }, 2, ""},
      {"Left with the focus on the control", [&] { Keys({VK_LEFT}); }, 1, "changing;change Album;"},
      {"Right wraps round", [&] { Keys({VK_RIGHT, VK_RIGHT}); }, 0, "changing;change Image;changing;change Video;"},
      {"refused by OnChanging",
       [&] {
         AllowChange = false;
         ClickTab(1);
         AllowChange = true;
       },
       0, "changing;"},
      {"the program's own switch", [&] { Pages->SetActivePage(Sheets[1]); }, 1, ""},
      {"Ctrl+Tab from a control on a page",
       [&] {
         Boxes[1]->SetFocus();
         Pump();
         Log.clear();
         InjectKey(VK_CONTROL, true);
         InjectKeyStroke(VK_TAB);
         InjectKey(VK_CONTROL, false);
         Pump();
       },
       2, "changing;Album exit;change Image;"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log.clear();
    Case.Act();
    EXPECT_EQ(Pages->ActivePage(), Sheets[size_t(Case.Active)]);
    EXPECT_EQ(Pages->ActivePageIndex(), Case.Active);
    EXPECT_EQ(Log, Case.Log);
    for (size_t Index = 0; Index < Sheets.size(); ++Index)
      EXPECT_EQ(Sheets[Index]->Visible(), int(Index) == Case.Active) << Index;
  }
}

TEST_F(PageControlTest, TheFocusLeavesThePageThatGoes) {
  Boxes[0]->SetFocus();
  Pump();
  ASSERT_TRUE(Boxes[0]->Focused());
  Pages->SetActivePage(Sheets[1]);
  Pump();
  // The page that went heard OnExit; the new page's first control has the focus.
  EXPECT_EQ(Log, "Video exit;");
  EXPECT_TRUE(Boxes[1]->Focused());
  // A switch while the focus is elsewhere moves nothing.
  auto* Outside = new TTestBox(Form);
  Outside->SetBounds(10, 170, 80, 24);
  Outside->SetParent(Form);
  Outside->SetFocus();
  Pump();
  EXPECT_EQ(Log, "Video exit;Album exit;");
  Log.clear();
  Pages->SetActivePage(Sheets[2]);
  Pump();
  EXPECT_EQ(Log, "");
  EXPECT_TRUE(Outside->Focused());
}

TEST_F(PageControlTest, HiddenTabsLeaveTheWholeControlToThePages) {
  const int Row = Pages->TabRowHeight();
  EXPECT_GT(Row, 0);
  RECT Display = Pages->DisplayRect();
  EXPECT_EQ(Display.top, Row + 1);
  EXPECT_EQ(Sheets[0]->BoundsRect().top, Row + 1);
  SaveWindowPng(Pages, "page_control_tabs", 2);
  // Tabs of pages that are not visible are not drawn; the rest move up to the left.
  Sheets[0]->SetTabVisible(false);
  EXPECT_EQ(Pages->TabRect(0).right, 0);
  EXPECT_EQ(Pages->TabRect(1).left, 2);
  // The program switches the pages itself: every tab hidden, no tab row.
  for (TTabSheet* Sheet : Sheets) Sheet->SetTabVisible(false);
  EXPECT_EQ(Pages->TabRowHeight(), 0);
  Display = Pages->DisplayRect();
  EXPECT_EQ(Display.left, 1);
  EXPECT_EQ(Display.top, 1);
  EXPECT_EQ(Display.right, Pages->Width() - 1);
  EXPECT_EQ(Display.bottom, Pages->Height() - 1);
  EXPECT_EQ(Sheets[0]->Width(), Pages->Width() - 2);
  EXPECT_EQ(Sheets[0]->Height(), Pages->Height() - 2);
  // A click where a tab was does nothing.
  Log.clear();
  ClickAt(Pages, 20, 5);
  Pump();
  EXPECT_EQ(Log, "");
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  // Ctrl+Tab only turns to pages with a tab: there are none.
  Pages->SelectNextPage(true);
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  // A tab height the program sets is the tab row's height.
  Sheets[1]->SetTabVisible(true);
  Pages->SetTabHeight(24);
  EXPECT_EQ(Pages->TabRowHeight(), 24);
  EXPECT_EQ(Sheets[0]->Top(), 25);
}

TEST_F(PageControlTest, AFreedPageLeavesItsNeighbourShowing) {
  Pages->SetActivePage(Sheets[1]);
  Sheets[1]->Free();
  Sheets.erase(Sheets.begin() + 1);
  ASSERT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
  EXPECT_TRUE(Sheets[1]->Visible());
  EXPECT_EQ(Sheets[1]->PageIndex(), 1);
  // Pages can be moved; the tabs follow.
  Sheets[1]->SetPageIndex(0);
  EXPECT_EQ(Pages->Pages(0), Sheets[1]);
  EXPECT_EQ(Sheets[1]->TabIndex(), 0);
}

}  // namespace
}  // namespace FormsTest
