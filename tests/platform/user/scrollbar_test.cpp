// The scroll bars of a window: values, showing and hiding, and what presses on them send.

#include "tests/platform/user/messagelog.h"

using namespace UserTest;

namespace {

class ScrollBarTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    // A 116 x 232 child: a 232-pixel bar with 16-pixel arrows leaves a 200-pixel track; with a
    // page of a quarter of the range the thumb is 50 pixels long and travels 150.
    Window = CreateTestWindow(0, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 116, 232, Form);
    Drain();
  }
  void SetBar(int Min, int Max, int Page, int Pos) {
    SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, Min, Max, UINT(Page), Pos, 0};
    SetScrollInfo(Window, SB_VERT, &Info, TRUE);
  }
  // The WM_VSCROLL commands (and positions of the thumb commands) logged since the last clear.
  std::vector<std::pair<WORD, int>> Scrolls() const {
    std::vector<std::pair<WORD, int>> Result;
    for (const TLoggedMessage& Entry : Log.Entries()) {
      if (Entry.Message != WM_VSCROLL) continue;
      WORD Command = LOWORD(Entry.WParamValue);
      int Position = (Command == SB_THUMBTRACK || Command == SB_THUMBPOSITION) ? short(HIWORD(Entry.WParamValue)) : 0;
      Result.push_back({Command, Position});
    }
    return Result;
  }
  RECT Bar() const {
    RECT Rect{};
    GetScrollBarRect(Window, SB_VERT, &Rect);
    return Rect;
  }
  HWND Form = nullptr, Window = nullptr;
};

TEST_F(ScrollBarTest, ValuesAreClamped) {
  struct TCase {
    const char* Name;
    int Min, Max, Page, Pos;
    int ExpectedPage, ExpectedPos;
  };
  const TCase Cases[] = {
      {"inside", 0, 100, 10, 50, 10, 50},
      {"position past the last page", 0, 100, 10, 95, 10, 91},
      {"position below the minimum", 10, 20, 0, 3, 0, 10},
      {"page larger than the range", 0, 9, 50, 4, 10, 0},
      {"empty range", 5, 2, 0, 4, 0, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL | SIF_DISABLENOSCROLL, Case.Min, Case.Max, UINT(Case.Page), Case.Pos, 0};
    EXPECT_EQ(SetScrollInfo(Window, SB_VERT, &Info, TRUE), Case.ExpectedPos);
    SCROLLINFO Read{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(Window, SB_VERT, &Read));
    EXPECT_EQ(int(Read.nPage), Case.ExpectedPage);
    EXPECT_EQ(Read.nPos, Case.ExpectedPos);
    EXPECT_EQ(GetScrollPos(Window, SB_VERT), Case.ExpectedPos);
  }
  SetBar(0, 100, 10, 20);
  EXPECT_EQ(SetScrollPos(Window, SB_VERT, 30, TRUE), 20);
  EXPECT_EQ(GetScrollPos(Window, SB_VERT), 30);
}

TEST_F(ScrollBarTest, BarsShowAndHideWithTheirRange) {
  RECT Client{};
  GetClientRect(Window, &Client);
  EXPECT_EQ(Client.right, 100);
  // A bar with nothing to scroll is removed when its range is set: the client area grows.
  Log.Clear();
  SetScrollRange(Window, SB_VERT, 0, 0, TRUE);
  EXPECT_FALSE(GetWindowLong(Window, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(Window, &Client);
  EXPECT_EQ(Client.right, 116);
  bool Resized = false;
  for (const TLoggedMessage& Entry : Log.Entries())
    Resized |= Entry.Message == WM_SIZE && LOWORD(Entry.LParamValue) == 116;
  EXPECT_TRUE(Resized);
  // Something to scroll shows it again.
  SetBar(0, 100, 10, 0);
  EXPECT_TRUE(GetWindowLong(Window, GWL_STYLE) & WS_VSCROLL);
  // With SIF_DISABLENOSCROLL a bar that cannot scroll stays, disabled, and offers no thumb.
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 1, 1001, 1000, 0, 0};
  SetScrollInfo(Window, SB_VERT, &Info, TRUE);
  SetBar(0, 0, 0, 0);
  SCROLLINFO Disabled{sizeof(SCROLLINFO), SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
  SetScrollInfo(Window, SB_VERT, &Disabled, TRUE);
  EXPECT_TRUE(GetWindowLong(Window, GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetScrollThumb(Window, SB_VERT, nullptr, nullptr));
  // A window created with the style starts with the range 0..100.
  HWND Fresh = CreateTestWindow(0, WS_CHILD | WS_HSCROLL, 0, 0, 50, 50, Form);
  int Min = -1, Max = -1;
  GetScrollRange(Fresh, SB_HORZ, &Min, &Max);
  EXPECT_EQ(Min, 0);
  EXPECT_EQ(Max, 100);
  GetScrollRange(Fresh, SB_VERT, &Min, &Max);
  EXPECT_EQ(Max, 0);
}

TEST_F(ScrollBarTest, ClicksOnArrowsAndTrack) {
  SetBar(0, 99, 25, 0);
  RECT R = Bar();
  ASSERT_EQ(R.bottom - R.top, 232);
  int Start = 0, Length = 0;
  ASSERT_TRUE(GetScrollThumb(Window, SB_VERT, &Start, &Length));
  EXPECT_EQ(Start, 16);
  EXPECT_EQ(Length, 50);
  int X = (R.left + R.right) / 2;
  struct TCase {
    const char* Name;
    int Y;        // from the bar's top
    WORD Command;
  };
  const TCase Cases[] = {
      {"top arrow", 5, SB_LINEUP},
      {"bottom arrow", 227, SB_LINEDOWN},
      {"track below the thumb", 150, SB_PAGEDOWN},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log.Clear();
    InjectMouseClick(VK_LBUTTON, X, R.top + Case.Y);
    Drain();
    EXPECT_EQ(Scrolls(), (std::vector<std::pair<WORD, int>>{{Case.Command, 0}, {SB_ENDSCROLL, 0}}));
    bool NonClient = false;
    for (const TLoggedMessage& Entry : Log.Entries())
      NonClient |= Entry.Message == WM_NCLBUTTONDOWN && Entry.WParamValue == WPARAM(HTVSCROLL);
    EXPECT_TRUE(NonClient);
  }
}

TEST_F(ScrollBarTest, HeldArrowRepeatsOnTheClock) {
  SetBar(0, 99, 25, 0);
  RECT R = Bar();
  int X = (R.left + R.right) / 2;
  Log.Clear();
  InjectMouseButton(VK_LBUTTON, true, X, R.bottom - 5);
  Drain();
  EXPECT_EQ(Scrolls().size(), 1u);
  FClock->Advance(199);
  Drain();
  EXPECT_EQ(Scrolls().size(), 1u);  // the first repeat waits 200 ms
  FClock->Advance(1);
  Drain();
  EXPECT_EQ(Scrolls().size(), 2u);
  FClock->Advance(50);
  Drain();
  EXPECT_EQ(Scrolls().size(), 3u);  // then every 50 ms
  // Moving off the arrow pauses the repeat; the release ends the press.
  InjectMouseMove(X, R.top + 50);
  FClock->Advance(50);
  Drain();
  EXPECT_EQ(Scrolls().size(), 3u);
  InjectMouseButton(VK_LBUTTON, false, X, R.top + 50);
  Drain();
  auto All = Scrolls();
  ASSERT_EQ(All.size(), 4u);
  EXPECT_EQ(All[0].first, SB_LINEDOWN);
  EXPECT_EQ(All[2].first, SB_LINEDOWN);
  EXPECT_EQ(All[3].first, SB_ENDSCROLL);
  FClock->Advance(500);
  Drain();
  EXPECT_EQ(Scrolls().size(), 4u);
}

TEST_F(ScrollBarTest, DraggingTheThumb) {
  SetBar(0, 99, 25, 0);
  RECT R = Bar();
  int X = (R.left + R.right) / 2;
  int Start = 0, Length = 0;
  ASSERT_TRUE(GetScrollThumb(Window, SB_VERT, &Start, &Length));
  int GrabY = R.top + Start + 2;
  Log.Clear();
  InjectMouseButton(VK_LBUTTON, true, X, GrabY);
  Drain();
  EXPECT_TRUE(Scrolls().empty());  // grabbing sends nothing
  // The thumb travels 150 pixels for positions 0..75.
  InjectMouseMove(X, GrabY + 60);
  Drain();
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(Window, SB_VERT, &Info);
  EXPECT_EQ(Info.nTrackPos, 30);
  EXPECT_EQ(Info.nPos, 0);  // the program moves the bar itself
  InjectMouseMove(X, GrabY + 500);  // far past the end: the last position
  Drain();
  InjectMouseButton(VK_LBUTTON, false, X, GrabY + 500);
  Drain();
  EXPECT_EQ(Scrolls(), (std::vector<std::pair<WORD, int>>{
                           {SB_THUMBTRACK, 30}, {SB_THUMBTRACK, 75}, {SB_THUMBPOSITION, 75}, {SB_ENDSCROLL, 0}}));
}

}  // namespace
