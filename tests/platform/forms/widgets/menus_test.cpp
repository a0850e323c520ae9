// The pop-up menu: picks by keys, accelerators and clicks, closing by Escape and by a press
// outside (which goes on to its window), columns, placement, and a picture of it.

#include "platform/forms/menus.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class MenusTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 320, 240);
    Form->OnMouseDown = TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { ++FormPresses; });
    Form->Show();
    Pump();
    Menu = new TPopupMenu(Form);
    // CC: accelerators, a check mark, a separator, a disabled item, a second column with a bar
    for (const char* Caption : {"&One", "Two", "-", "Th&ree", "Four", "&Five"}) {
      auto* Item = new TMenuItem(Form);
      Item->SetCaption(Caption);
      Item->OnClick = TNotifyEvent([this, Caption](TObject*) {
        // The menu is gone before the handler runs.
        EXPECT_EQ(Menu->Window(), nullptr);
        Clicked += Caption;
      });
      Menu->Items()->Add(Item);
    }
    Item(1)->SetChecked(true);
    Item(3)->SetEnabled(false);
    Item(4)->SetBreak(mbBarBreak);
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TMenuItem* Item(int Index) { return Menu->Items()->Items(Index); }
  // Clicks the entry of the showing menu that holds Target.
  void ClickEntry(TMenuItem* Target) {
    TPopupMenuWindow* Window = Menu->Window();
    ASSERT_NE(Window, nullptr);
    for (int Index = 0; Index < Window->EntryCount(); ++Index)
      if (Window->Entry(Index) == Target) {
        const RECT R = Window->EntryRect(Index);
        ClickAt(Window, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
        return;
      }
    ADD_FAILURE() << "no entry";
  }
  void Keys(std::initializer_list<int> VirtualKeys) {
    for (int Key : VirtualKeys) InjectKeyStroke(Key);
  }
  TForm* Form;
  TPopupMenu* Menu;
  std::string Clicked;
  int FormPresses = 0;
};

TEST_F(MenusTest, PicksAndCloses) {
  struct TCase {
    const char* Name;
    std::vector<std::function<void()>> Steps;
    const char* Clicked;
    int FormPresses = 0;
  };
  const TCase Cases[] = {
      {"Down, Down, Enter", {[&] { Keys({VK_DOWN, VK_DOWN, VK_RETURN}); }}, "Two"},
      {"Down skips the line and the disabled item", {[&] { Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); }},
       "Four"},
      {"Up wraps to the last", {[&] { Keys({VK_UP, VK_RETURN}); }}, "&Five"},
      {"Right goes to the next column", {[&] { Keys({VK_DOWN, VK_RIGHT, VK_RETURN}); }}, "Four"},
      {"Escape", {[&] { Keys({VK_ESCAPE}); }}, ""},
      {"an accelerator picks at once", {[&] { InjectText(U"f"); }}, "&Five"},
      {"a disabled item's accelerator does nothing", {[&] { InjectText(U"r"); }, [&] { Keys({VK_ESCAPE}); }}, ""},
      {"a click on an item", {[&] { ClickEntry(Item(0)); }}, "&One"},
      {"a click on the line keeps it open", {[&] { ClickEntry(Item(2)); }, [&] { Keys({VK_ESCAPE}); }}, ""},
      {"a click on a disabled item keeps it open", {[&] { ClickEntry(Item(3)); }, [&] { Keys({VK_ESCAPE}); }},
       ""},
      {"a press outside closes and reaches the form", {[&] { ClickAt(Form, 250, 150); }}, "", 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Clicked.clear();
    FormPresses = 0;
    {
      TIdleScript Script(FClock.Get(), Case.Steps, [&] { Menu->CloseMenu(); });
      const POINT At = Form->ClientToScreen(POINT{20, 20});
      Menu->Popup(At.x, At.y);
    }
    Pump();
    EXPECT_EQ(Clicked, Case.Clicked);
    EXPECT_EQ(Menu->PickedItem() ? Menu->PickedItem()->Caption() : "", Case.Clicked);
    EXPECT_EQ(FormPresses, Case.FormPresses);
    EXPECT_EQ(Menu->Window(), nullptr);
    // The form keeps the activation all along.
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
  }
}

TEST_F(MenusTest, ColumnsAndPlacement) {
  std::vector<RECT> Rects;
  RECT Frame{};
  Menu->SetAlignment(paRight);
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        TPopupMenuWindow* Window = Menu->Window();
                        for (int Index = 0; Index < Window->EntryCount(); ++Index)
                          Rects.push_back(Window->EntryRect(Index));
                        GetWindowRect(Window->Handle(), &Frame);
                        Keys({VK_DOWN, VK_DOWN});
                      },
                      [&] {
                        SaveWindowPng(Menu->Window(), "popup_menu");
                        Keys({VK_ESCAPE});
                      }},
                     [&] { Menu->CloseMenu(); });
  Menu->Popup(400, 200);
  ASSERT_EQ(Rects.size(), 6u);
  // One column of four entries, then "Four" and "Five" side by side to its right.
  EXPECT_EQ(Rects[4].top, 0);
  EXPECT_GT(Rects[4].left, Rects[0].right - 1);
  EXPECT_EQ(Rects[5].top, Rects[4].bottom);
  EXPECT_LT(Rects[2].bottom - Rects[2].top, Rects[0].bottom - Rects[0].top);  // the line is thin
  // Right alignment: the menu ends at the point.
  EXPECT_EQ(Frame.right, 400);
  EXPECT_EQ(Frame.top, 200);
}

TEST_F(MenusTest, StaysOnTheScreen) {
  RECT Frame{};
  TIdleScript Script(FClock.Get(),
                     {[&] {
                        GetWindowRect(Menu->Window()->Handle(), &Frame);
                        Keys({VK_ESCAPE});
                      }},
                     [&] { Menu->CloseMenu(); });
  Menu->Popup(790, 590);
  EXPECT_LE(Frame.right, 800);
  EXPECT_LE(Frame.bottom, 600);
  EXPECT_GE(Frame.left, 0);
}

TEST_F(MenusTest, ItemsTreeOwnership) {
  auto* Root = new TMenuItem(nullptr);
  auto* A = new TMenuItem(nullptr);
  auto* B = new TMenuItem(nullptr);
  Root->Add(A);
  Root->Insert(0, B);
  EXPECT_EQ(Root->IndexOf(A), 1);
  EXPECT_EQ(B->MenuIndex(), 0);
  // Freeing a child takes it out; freeing the root frees the rest.
  B->Free();
  EXPECT_EQ(Root->Count(), 1);
  Root->Free();
}

}  // namespace
}  // namespace FormsTest
