// The list box: the LB_ messages (selection, search, scrolling, heights), selection by mouse and
// keys with its change report, integral height, owner drawing, and the pop-up that leaves the
// focus where it was.

#include "platform/forms/listbox.h"

#include <gtest/gtest.h>

#include "platform/forms/edit.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class ListBoxTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 320, 240);
    List = new TListBox(Form);
    List->SetBounds(10, 10, 120, 84);  // 5 entries of 16 plus the 3-D border
    List->SetParent(Form);
    for (const char* Entry : {"Apple", "apricot", "Banana", "blueberry", "Cherry", "Date", "Elder", "Fig"})
      List->Items()->Add(Entry);
    List->OnClick = TNotifyEvent([this](TObject*) { ++Clicks; });
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  LRESULT Send(UINT Message, WPARAM W, const char* Text) { return List->Perform(Message, W, LPARAM(Text)); }
  TForm* Form;
  TListBox* List;
  int Clicks = 0;
};

TEST_F(ListBoxTest, SearchMessages) {
  struct TCase {
    const char* Name;
    UINT Message;
    int StartAfter;
    const char* Text;
    LRESULT Expected;
    int ItemIndexAfter;  // LB_SELECTSTRING selects what it finds; the others leave the selection
  };
  const TCase Cases[] = {
      {"select: prefix from the start", LB_SELECTSTRING, -1, "ap", 0, 0},
      {"select: after an index", LB_SELECTSTRING, 0, "ap", 1, 1},
      {"select: wraps, case-insensitive", LB_SELECTSTRING, 1, "AP", 0, 0},
      {"select: not found keeps the selection", LB_SELECTSTRING, -1, "zz", LB_ERR, 0},
      {"select: empty text finds the next entry", LB_SELECTSTRING, 3, "", 4, 4},
      {"select: start past the end searches all", LB_SELECTSTRING, 99, "fig", 7, 7},
      {"find: no selection change", LB_FINDSTRING, 2, "b", 3, 7},
      {"find exact: whole entry only", LB_FINDSTRINGEXACT, -1, "banana", 2, 7},
      {"find exact: a prefix is not enough", LB_FINDSTRINGEXACT, -1, "ban", LB_ERR, 7},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Send(Case.Message, WPARAM(intptr_t(Case.StartAfter)), Case.Text), Case.Expected);
    EXPECT_EQ(List->ItemIndex(), Case.ItemIndexAfter);
    EXPECT_EQ(Send(LB_GETCURSEL, 0, nullptr), LRESULT(Case.ItemIndexAfter));
  }
  EXPECT_EQ(Clicks, 0);  // a program's selection is not reported
}

TEST_F(ListBoxTest, SelectionAndScrollingMessages) {
  // Out of range selects nothing.
  EXPECT_EQ(Send(LB_SETCURSEL, 2, nullptr), 2);
  EXPECT_EQ(Send(LB_SETCURSEL, 99, nullptr), LB_ERR);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(Send(LB_GETCURSEL, 0, nullptr), LB_ERR);
  List->SetItemIndex(3);
  List->SetItemIndex(-5);
  EXPECT_EQ(List->ItemIndex(), -1);
  // Selecting the last entry scrolls it into view: five fit.
  List->SetItemIndex(7);
  EXPECT_EQ(Send(LB_GETTOPINDEX, 0, nullptr), 3);
  EXPECT_EQ(Send(LB_SETTOPINDEX, 1, nullptr), 0);
  EXPECT_EQ(List->TopIndex(), 1);
  EXPECT_EQ(Send(LB_SETTOPINDEX, 8, nullptr), LB_ERR);
  // The scroll bar: a line down, and never beyond the last page.
  List->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(List->TopIndex(), 2);
  List->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(List->TopIndex(), 3);
  List->Perform(WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(Send(LB_GETITEMHEIGHT, 0, nullptr), 16);
  EXPECT_EQ(Send(LB_GETCOUNT, 0, nullptr), 8);
  char Buffer[16] = {};
  EXPECT_EQ(List->Perform(LB_GETTEXT, 2, LPARAM(Buffer)), 6);
  EXPECT_STREQ(Buffer, "Banana");
  // Inserting and deleting entries keeps the selection on its entry, or drops it with it.
  List->SetItemIndex(3);
  EXPECT_EQ(Send(LB_INSERTSTRING, 0, "Acorn"), 0);
  EXPECT_EQ(List->ItemIndex(), 4);
  Send(LB_DELETESTRING, 0, nullptr);
  Send(LB_DELETESTRING, 1, nullptr);
  EXPECT_EQ(List->ItemIndex(), 2);
  Send(LB_DELETESTRING, 2, nullptr);
  EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(ListBoxTest, UserSelectionIsReported) {
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    int ItemIndex;
    int Clicks;
  };
  const TCase Cases[] = {
      {"click the second entry", [&] { ClickAt(List, 20, 16 + 8); }, 1, 1},
      {"click it again: no change, no report", [&] { ClickAt(List, 20, 16 + 8); }, 1, 0},
      {"Down", [&] { InjectKeyStroke(VK_DOWN); }, 2, 1},
      {"End scrolls to the last", [&] { InjectKeyStroke(VK_END); }, 7, 1},
      {"Home", [&] { InjectKeyStroke(VK_HOME); }, 0, 1},
      {"a letter jumps to the next entry with it", [&] { InjectText(U"b"); }, 2, 1},
      {"the same letter again goes on", [&] { InjectText(U"B"); }, 3, 1},
      {"drag down past the bottom scrolls", [&] {
         PressAt(List, 20, 4);
         MoveTo(List, 20, 200);
         ReleaseAt(List, 20, 200);
       }, 5, 2},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Clicks = 0;
    Case.Act();
    Pump();
    EXPECT_EQ(List->ItemIndex(), Case.ItemIndex);
    EXPECT_EQ(Clicks, Case.Clicks);
    EXPECT_GE(List->ItemIndex(), List->TopIndex());
    EXPECT_LT(List->ItemIndex(), List->TopIndex() + 5);
  }
  EXPECT_EQ(GetFocus(), List->Handle());
}

TEST_F(ListBoxTest, IntegralHeightKeepsWholeEntries) {
  List->SetIntegralHeight(true);
  List->SetHeight(90);
  EXPECT_EQ(List->Height(), 84);
  List->SetHeight(10);  // never less than one entry
  EXPECT_EQ(List->Height(), 20);
  List->SetItemHeight(20);
  List->SetHeight(90);
  EXPECT_EQ(List->Height(), 84);
  List->SetIntegralHeight(false);
  List->SetHeight(90);
  EXPECT_EQ(List->Height(), 90);
}

TEST_F(ListBoxTest, OwnerDrawGetsStatesAndVariableHeights) {
  // Entries are measured when the style takes effect (and when they are added).
  List->OnMeasureItem = TMeasureItemEvent([](TWinControl*, int32_t Index, int32_t& Height) { Height = 10 + Index; });
  List->SetStyle(lbOwnerDrawVariable);
  std::vector<std::pair<int, TOwnerDrawState>> Drawn;
  List->OnDrawItem = TDrawItemEvent([&](TWinControl* Control, int32_t Index, RECT Rect, TOwnerDrawState State) {
    Drawn.emplace_back(Index, State);
    auto* Box = static_cast<TListBox*>(Control);
    Box->Canvas()->FillRect(Rect);
  });
  List->SetItemIndex(2);
  List->SetFocus();
  Pump();
  List->Repaint();
  ASSERT_FALSE(Drawn.empty());
  for (const auto& [Index, State] : Drawn) {
    SCOPED_TRACE(Index);
    EXPECT_EQ(State.Contains(odSelected), Index == 2);
    EXPECT_EQ(State.Contains(odFocused), Index == 2);
  }
  // Entries of 10, 11, 12 ... pixels: the point 25 lies in the third.
  EXPECT_EQ(List->ItemAtPos(POINT{5, 25}, true), 2);
  EXPECT_EQ(List->ItemRect(3).top, 33);
  EXPECT_EQ(List->Perform(LB_GETITEMHEIGHT, 4, 0), 14);
  // Without focus the selection is not drawn focused.
  Drawn.clear();
  auto* Other = new TEdit(Form);
  Other->SetBounds(150, 10, 100, 22);
  Other->SetParent(Form);
  Other->SetFocus();
  Pump();
  List->Repaint();
  for (const auto& [Index, State] : Drawn) EXPECT_FALSE(State.Contains(odFocused));
}

TEST_F(ListBoxTest, PopupKeepsTheFocusWithItsOwner) {
  auto* Edit = new TEdit(Form);
  Edit->SetBounds(150, 10, 100, 22);
  Edit->SetParent(Form);
  Edit->SetFocus();
  Pump();
  auto* Popup = new TListBox(Form);
  Popup->Items()->Assign(*List->Items());
  Popup->SetIntegralHeight(true);
  Popup->SetItemHeight(11);
  int Ups = 0;
  Popup->OnMouseUp = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; });
  Popup->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  const POINT Below = Edit->ClientToScreen(POINT{0, 22});
  Popup->ShowPopup(Below.x, Below.y, 100, 60);
  Pump();
  HWND Window = Popup->Handle();
  EXPECT_TRUE(IsWindowVisible(Window));
  EXPECT_EQ(GetParent(Window), nullptr);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & LONG(WS_EX_TOOLWINDOW));
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & LONG(WS_EX_TOPMOST));
  EXPECT_EQ(Popup->Height(), 57);  // five whole entries of 11 and the border
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  // A click in the list selects and reports, and still leaves the focus alone.
  ClickAt(Popup, 10, 11 + 5);
  Pump();
  EXPECT_EQ(Popup->ItemIndex(), 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Ups, 1);
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  // The owner forwards keys to it.
  Popup->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Popup->ItemIndex(), 2);
  EXPECT_EQ(Popup->Perform(LB_SELECTSTRING, WPARAM(-1), LPARAM("cher")), 4);
  Popup->HidePopup();
  EXPECT_FALSE(Popup->PopupVisible());
  SaveWindowPng(List, "listbox");
}

}  // namespace
}  // namespace FormsTest
