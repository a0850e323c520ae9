// Windows: creation and destruction sequences, the tree and z-order, stored values, geometry and
// hit testing.

#include <cstring>

#include "tests/platform/user/messagelog.h"

using namespace UserTest;

namespace {

class WindowTest : public TUserTest {};

// CreateWindowEx of a hidden overlapped window.
constexpr TExpectedMessage CreateHiddenTopLevel[] = {
    {WM_GETMINMAXINFO, Sent},
    {WM_NCCREATE, Sent},
    {WM_NCCALCSIZE, Sent | WParam, FALSE},
    {WM_CREATE, Sent},
    {WM_SIZE, Sent | WParam, SIZE_RESTORED},
    {WM_MOVE, Sent},
    {SeparatorMessage, Sent},
};

// ShowWindow(SW_SHOW) on that window while nothing is active: it is activated and focused inside
// the position change; painting follows from the queue.
constexpr TExpectedMessage ShowTopLevel[] = {
    {WM_SHOWWINDOW, Sent | WParam, TRUE},
    {WM_WINDOWPOSCHANGING, Sent},
    {WM_ACTIVATEAPP, Sent | WParam, TRUE},
    {WM_NCACTIVATE, Sent | WParam, TRUE},
    {WM_ACTIVATE, Sent | WParam, WA_ACTIVE},
    {WM_SETFOCUS, Sent | DefProc},
    {WM_WINDOWPOSCHANGED, Sent},
    {SeparatorMessage, Sent},
    {WM_PAINT, Posted},
    {WM_NCPAINT, Sent | DefProc},
    {WM_ERASEBKGND, Sent | DefProc},
};

// CreateWindowEx of a visible child (no border) under a visible parent.
constexpr TExpectedMessage CreateVisibleChild[] = {
    {WM_NCCREATE, Sent},
    {WM_NCCALCSIZE, Sent},
    {WM_CREATE, Sent},
    {WM_SIZE, Sent | WParam | LParam, SIZE_RESTORED, MAKELPARAM(50, 40)},
    {WM_MOVE, Sent | LParam, 0, MAKELPARAM(10, 20)},
    {WM_PARENTNOTIFY, Sent | Parent | WParam, WM_CREATE, 0, 0xFFFF},
    {WM_SHOWWINDOW, Sent | WParam, TRUE},
    {WM_WINDOWPOSCHANGING, Sent},
    {WM_WINDOWPOSCHANGED, Sent},
    {SeparatorMessage, Sent},
    {WM_PAINT, Posted},
    {WM_ERASEBKGND, Sent | DefProc},
};

// DestroyWindow of the active, focused top-level window holding one child: hidden first, the
// activation and focus leave, WM_DESTROY parents first, WM_NCDESTROY children first.
constexpr TExpectedMessage DestroyTree[] = {
    {WM_WINDOWPOSCHANGING, Sent | Parent},
    {WM_WINDOWPOSCHANGED, Sent | Parent},
    {WM_NCACTIVATE, Sent | Parent | WParam, FALSE},
    {WM_ACTIVATE, Sent | Parent | WParam, WA_INACTIVE},
    {WM_ACTIVATEAPP, Sent | Parent | WParam, FALSE},
    {WM_KILLFOCUS, Sent | Parent | WParam, 0},
    {WM_DESTROY, Sent | Parent},
    {WM_DESTROY, Sent},
    {WM_NCDESTROY, Sent},
    {WM_NCDESTROY, Sent | Parent},
};

// DestroyWindow of a visible child: the parent hears first, the child hides, then goes; the
// parent repaints what the child covered.
constexpr TExpectedMessage DestroyChild[] = {
    {WM_PARENTNOTIFY, Sent | Parent | WParam, WM_DESTROY, 0, 0xFFFF},
    {WM_SHOWWINDOW, Sent | WParam, FALSE},
    {WM_WINDOWPOSCHANGING, Sent},
    {WM_WINDOWPOSCHANGED, Sent},
    {WM_DESTROY, Sent},
    {WM_NCDESTROY, Sent},
    {SeparatorMessage, Sent | Parent},
    {WM_PAINT, Posted | Parent},
    {WM_ERASEBKGND, Sent | Parent | DefProc},
};

TEST_F(WindowTest, CreateShowAndDestroySequences) {
  Log.Clear();
  HWND Top = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  ASSERT_TRUE(Top);
  SendSeparatorAndDrain(Top);
  ExpectSequence(Log, CreateHiddenTopLevel, "CreateWindowEx, hidden overlapped window");

  Log.Clear();
  ShowWindow(Top, SW_SHOW);
  SendSeparatorAndDrain(Top);
  ExpectSequence(Log, ShowTopLevel, "ShowWindow(SW_SHOW), nothing active before");
  EXPECT_EQ(GetActiveWindow(), Top);
  EXPECT_EQ(GetFocus(), Top);

  Log.MarkParent(Top);
  Log.Clear();
  HWND Child = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, Top, 7);
  ASSERT_TRUE(Child);
  SendSeparatorAndDrain(Child);
  ExpectSequence(Log, CreateVisibleChild, "CreateWindowEx, visible child of a visible parent");

  Log.Clear();
  DestroyWindow(Child);
  SendSeparatorAndDrain(Top);
  ExpectSequence(Log, DestroyChild, "DestroyWindow, visible child");
  EXPECT_FALSE(IsWindow(Child));

  Child = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, Top, 7);
  Drain();
  Log.Clear();
  EXPECT_TRUE(DestroyWindow(Top));
  ExpectSequence(Log, DestroyTree, "DestroyWindow, active top-level window with a child");
  EXPECT_FALSE(IsWindow(Top));
  EXPECT_FALSE(IsWindow(Child));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, CreationRefusedByTheProcedure) {
  struct TCase {
    const char* Name;
    UINT Refuse;
    LRESULT Answer;
  };
  // WM_NCCREATE answered FALSE, or WM_CREATE answered -1: the window's storage goes at once,
  // with only WM_NCDESTROY (it never existed for its parent, so no WM_DESTROY either).
  constexpr TExpectedMessage RefusedNcCreate[] = {
      {WM_NCCREATE, Sent},
      {WM_NCDESTROY, Sent},
  };
  constexpr TExpectedMessage RefusedCreate[] = {
      {WM_NCCREATE, Sent},
      {WM_NCCALCSIZE, Sent},
      {WM_CREATE, Sent},
      {WM_NCDESTROY, Sent},
  };
  HWND Parent = CreateTestWindow(0, WS_POPUP, 0, 0, 100, 100);
  for (const TCase& Case : {TCase{"WM_NCCREATE", WM_NCCREATE, FALSE}, TCase{"WM_CREATE", WM_CREATE, -1}}) {
    SCOPED_TRACE(Case.Name);
    Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (Message == Case.Refuse) return Case.Answer;
      return std::nullopt;
    };
    Log.Clear();
    HWND Window = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Parent);
    EXPECT_EQ(Window, nullptr);
    if (Case.Refuse == WM_NCCREATE)
      ExpectSequence(Log, RefusedNcCreate, "creation refused in WM_NCCREATE");
    else
      ExpectSequence(Log, RefusedCreate, "creation refused in WM_CREATE");
  }
  Log.Responder = nullptr;
}

TEST_F(WindowTest, StaleHandlesStayInvalid) {
  HWND First = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  ASSERT_TRUE(IsWindow(First));
  DestroyWindow(First);
  EXPECT_FALSE(IsWindow(First));
  EXPECT_FALSE(DestroyWindow(First));
  EXPECT_FALSE(SetWindowPos(First, nullptr, 0, 0, 5, 5, SWP_NOZORDER));
  EXPECT_EQ(SendMessage(First, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(First, WM_USER, 0, 0));
  for (int I = 0; I < 50; ++I) {
    HWND Next = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
    EXPECT_NE(Next, First);
    DestroyWindow(Next);
  }
}

TEST_F(WindowTest, ClientAreaFollowsTheFrameStyles) {
  struct TCase {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
    SIZE Client;  // for a 120 x 80 window
  };
  const TCase Cases[] = {
      {"child without frame", WS_CHILD, 0, {120, 80}},
      {"thin border", WS_CHILD | WS_BORDER, 0, {118, 78}},
      {"client edge", WS_CHILD, WS_EX_CLIENTEDGE, {116, 76}},
      {"static edge", WS_CHILD, WS_EX_STATICEDGE, {118, 78}},
      {"vertical scroll bar", WS_CHILD | WS_VSCROLL, 0, {104, 80}},
      {"both scroll bars and a border", WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0, {102, 62}},
      {"dialog frame pop-up", WS_POPUP | WS_DLGFRAME, 0, {114, 74}},
      {"sizable captioned pop-up", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, {112, 53}},
      {"tool window caption", WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {114, 59}},
  };
  HWND Parent = CreateTestWindow(0, WS_POPUP, 0, 0, 300, 300);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    HWND Window = CreateTestWindow(Case.ExStyle, Case.Style, 5, 5, 120, 80, Parent);
    ASSERT_TRUE(Window);
    RECT Client{};
    GetClientRect(Window, &Client);
    EXPECT_EQ(Client.right, Case.Client.cx);
    EXPECT_EQ(Client.bottom, Case.Client.cy);
    // AdjustWindowRectEx is the inverse for frames without scroll bars.
    if (!(Case.Style & (WS_VSCROLL | WS_HSCROLL))) {
      RECT Wanted{0, 0, Case.Client.cx, Case.Client.cy};
      AdjustWindowRectEx(&Wanted, Case.Style, FALSE, Case.ExStyle);
      EXPECT_EQ(Wanted.right - Wanted.left, 120);
      EXPECT_EQ(Wanted.bottom - Wanted.top, 80);
    }
    DestroyWindow(Window);
  }
}

TEST_F(WindowTest, CoordinatesAndHitTesting) {
  // A top-level pop-up at (100, 50) with a 1-pixel border; a child at (10, 10) inside it with
  // a client edge; a grandchild at (5, 5) in the child.
  HWND Top = CreateTestWindow(0, WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 50, 200, 150);
  HWND Child = CreateTestWindow(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, 10, 10, 80, 60, Top);
  HWND Grandchild = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, Child);
  Drain();

  POINT Point{0, 0};
  ClientToScreen(Grandchild, &Point);
  EXPECT_EQ(Point, (POINT{100 + 1 + 10 + 2 + 5, 50 + 1 + 10 + 2 + 5}));
  ScreenToClient(Child, &Point);
  EXPECT_EQ(Point, (POINT{5, 5}));
  RECT Rect{};
  GetWindowRect(Child, &Rect);
  EXPECT_EQ(Rect, (RECT{111, 61, 191, 121}));

  POINT Points[2] = {{0, 0}, {3, 4}};
  int Offset = MapWindowPoints(Grandchild, Top, Points, 2);
  EXPECT_EQ(Points[0], (POINT{17, 17}));
  EXPECT_EQ(Points[1], (POINT{20, 21}));
  EXPECT_EQ(short(LOWORD(Offset)), 17);
  EXPECT_EQ(short(HIWORD(Offset)), 17);

  EXPECT_EQ(WindowFromPoint(POINT{120, 70}), Grandchild);
  EXPECT_EQ(WindowFromPoint(POINT{112, 62}), Child);  // on the child's client edge
  EXPECT_EQ(WindowFromPoint(POINT{100, 50}), Top);
  EXPECT_EQ(WindowFromPoint(POINT{99, 50}), nullptr);

  struct TCase {
    const char* Name;
    POINT Point;  // Top's client coordinates
    UINT Flags;
    bool HideChild, DisableChild;
    HWND Expected;
  };
  const TCase Cases[] = {
      {"over the child", {20, 20}, CWP_ALL, false, false, Child},
      {"beside the child", {150, 20}, CWP_ALL, false, false, Top},
      {"outside the parent", {250, 20}, CWP_ALL, false, false, nullptr},
      {"hidden child found by default", {20, 20}, CWP_ALL, true, false, Child},
      {"hidden child skipped", {20, 20}, CWP_SKIPINVISIBLE, true, false, Top},
      {"disabled child skipped", {20, 20}, CWP_SKIPDISABLED, false, true, Top},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ShowWindow(Child, Case.HideChild ? SW_HIDE : SW_SHOWNA);
    EnableWindow(Child, !Case.DisableChild);
    EXPECT_EQ(ChildWindowFromPointEx(Top, Case.Point, Case.Flags), Case.Expected);
  }
  ShowWindow(Child, SW_SHOWNA);
  EnableWindow(Child, TRUE);

  // A window region lets the points outside it through to the window below.
  HRGN Region = CreateEllipticRgn(0, 0, 20, 20);
  SetWindowRgn(Grandchild, Region, TRUE);
  EXPECT_EQ(WindowFromPoint(POINT{118 + 1, 68 + 1}), Child);    // the region's corner
  EXPECT_EQ(WindowFromPoint(POINT{118 + 10, 68 + 10}), Grandchild);  // its middle
  HRGN Copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Grandchild, Copy), ERROR);
  EXPECT_TRUE(PtInRegion(Copy, 10, 10));
  EXPECT_FALSE(PtInRegion(Copy, 0, 0));
  DeleteObject(Copy);
}

TEST_F(WindowTest, ZOrderOfSiblings) {
  HWND Parent = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND A = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Parent);
  HWND B = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Parent);
  HWND C = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Parent);
  auto Order = [&] {
    std::vector<HWND> Result;
    for (HWND W = GetWindow(Parent, GW_CHILD); W; W = GetWindow(W, GW_HWNDNEXT)) Result.push_back(W);
    return Result;
  };
  // New windows go on top.
  EXPECT_EQ(Order(), (std::vector<HWND>{C, B, A}));
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), C);
  SetWindowPos(C, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Order(), (std::vector<HWND>{B, A, C}));
  SetWindowPos(C, B, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Order(), (std::vector<HWND>{B, C, A}));
  BringWindowToTop(A);
  EXPECT_EQ(Order(), (std::vector<HWND>{A, B, C}));
  EXPECT_EQ(GetWindow(A, GW_HWNDLAST), C);
  EXPECT_EQ(GetWindow(C, GW_HWNDPREV), B);
  EXPECT_EQ(GetTopWindow(Parent), A);

  // A topmost top-level window stays in front of the others.
  HWND Topmost = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  SetWindowPos(Topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HWND Later = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  EXPECT_EQ(GetTopWindow(nullptr), Topmost);
  EXPECT_EQ(GetWindow(Topmost, GW_HWNDNEXT), Later);
  EXPECT_TRUE(GetWindowLong(Topmost, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(Topmost, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(GetWindowLong(Topmost, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WindowTest, LayeredAttributesAreStateForTheBackEnd) {
  HWND Plain = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10);
  EXPECT_FALSE(SetLayeredWindowAttributes(Plain, 0, 128, LWA_ALPHA));  // not a layered window
  HWND Gamer = CreateTestWindow(WS_EX_LAYERED, WS_POPUP, 0, 0, 10, 10);
  EXPECT_TRUE(SetLayeredWindowAttributes(Gamer, RGB(255, 0, 255), 200, LWA_ALPHA | LWA_COLORKEY));
  COLORREF Key = 0;
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Gamer, &Key, &Alpha, &Flags));
  EXPECT_EQ(Key, RGB(255, 0, 255));
  EXPECT_EQ(Alpha, 200);
  EXPECT_EQ(Flags, LWA_ALPHA | LWA_COLORKEY);
  // Layered and transparent together: the mouse passes through it.
  HWND Below = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  HWND Overlay = CreateTestWindow(WS_EX_LAYERED | WS_EX_TRANSPARENT, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  EXPECT_EQ(GetTopWindow(nullptr), Overlay);
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), Below);
}

TEST_F(WindowTest, TreeParentsAndOwners) {
  HWND Form = CreateTestWindow(0, WS_OVERLAPPEDWINDOW, 0, 0, 200, 200);
  HWND Panel = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, Form);
  HWND Button = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 15, 25, 30, 20, Panel);
  HWND Popup = CreateTestWindow(0, WS_POPUP, 0, 0, 50, 50, Button);
  EXPECT_EQ(GetParent(Button), Panel);
  EXPECT_EQ(GetParent(Popup), Form);  // the owner: the top-level window of the given parent
  EXPECT_EQ(GetWindow(Popup, GW_OWNER), Form);
  EXPECT_EQ(GetAncestor(Popup, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(Button, GA_ROOT), Form);
  EXPECT_TRUE(IsChild(Form, Button));
  EXPECT_FALSE(IsChild(Form, Popup));
  EXPECT_EQ(GetParent(Form), nullptr);

  std::vector<HWND> Found;
  EnumChildWindows(
      Form,
      [](HWND Window, LPARAM Param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
        return TRUE;
      },
      LPARAM(&Found));
  EXPECT_EQ(Found, (std::vector<HWND>{Panel, Button}));

  // Re-parenting keeps the coordinates relative to the new parent's client area.
  EXPECT_EQ(SetParent(Button, Form), Panel);
  EXPECT_EQ(GetParent(Button), Form);
  RECT Rect{};
  GetWindowRect(Button, &Rect);
  POINT Origin{0, 0};
  ClientToScreen(Form, &Origin);
  EXPECT_EQ(Rect.left - Origin.x, 15);
  EXPECT_EQ(Rect.top - Origin.y, 25);
  EXPECT_EQ(GetWindow(Form, GW_CHILD), Button);
  // A window cannot move under its own descendant.
  HWND Inner = CreateTestWindow(0, WS_CHILD, 0, 0, 5, 5, Panel);
  EXPECT_EQ(SetParent(Panel, Inner), nullptr);

  // Destroying the owner destroys what it owns first.
  Log.MarkParent(Form);
  Log.Clear();
  DestroyWindow(Form);
  EXPECT_FALSE(IsWindow(Popup));
  ASSERT_FALSE(Log.Entries().empty());
  size_t PopupDestroy = 0, FormDestroy = 0;
  for (size_t I = 0; I < Log.Entries().size(); ++I) {
    const TLoggedMessage& Entry = Log.Entries()[I];
    if (Entry.Message != WM_DESTROY) continue;
    if (Entry.Window == Popup) PopupDestroy = I + 1;
    if (Entry.Window == Form) FormDestroy = I + 1;
  }
  EXPECT_TRUE(PopupDestroy && FormDestroy && PopupDestroy < FormDestroy);
}

LRESULT SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
WNDPROC PreviousProc = nullptr;
int SubclassCalls = 0;

LRESULT SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_USER + 1) {
    ++SubclassCalls;
    return 42;
  }
  return CallWindowProc(PreviousProc, Window, Message, WParam, LParam);
}

TEST_F(WindowTest, StoredValuesStylesAndSubclassing) {
  HWND Window = CreateTestWindow(0, WS_CHILD, 0, 0, 10, 10, CreateTestWindow(0, WS_POPUP, 0, 0, 50, 50), 33);
  EXPECT_EQ(GetWindowLong(Window, GWL_ID), 33);
  SetWindowLong(Window, GWL_USERDATA, 1234);
  EXPECT_EQ(GetWindowLong(Window, GWL_USERDATA), 1234);

  // Style changes go through WM_STYLECHANGING, which may still change them.
  constexpr TExpectedMessage StyleChange[] = {
      {WM_STYLECHANGING, Sent | WParam, WPARAM(GWL_STYLE)},
      {WM_STYLECHANGED, Sent | WParam, WPARAM(GWL_STYLE)},
  };
  Log.Responder = [](HWND, UINT Message, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Message == WM_STYLECHANGING) reinterpret_cast<STYLESTRUCT*>(LParam)->styleNew |= WS_TABSTOP;
    return std::nullopt;
  };
  Log.Clear();
  LONG Old = SetWindowLong(Window, GWL_STYLE, WS_CHILD | WS_BORDER);
  ExpectSequence(Log, StyleChange, "SetWindowLong(GWL_STYLE)");
  Log.Responder = nullptr;
  EXPECT_EQ(DWORD(Old), WS_CHILD);
  EXPECT_EQ(DWORD(GetWindowLong(Window, GWL_STYLE)), WS_CHILD | WS_BORDER | WS_TABSTOP);
  // The frame is recalculated only when asked.
  RECT Client{};
  GetClientRect(Window, &Client);
  EXPECT_EQ(Client.right, 10);
  SetWindowPos(Window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(Window, &Client);
  EXPECT_EQ(Client.right, 8);

  // Subclassing through GWL_WNDPROC; the previous procedure still gets the rest.
  PreviousProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(Window, GWL_WNDPROC, LONG_PTR(&SubclassProc)));
  EXPECT_EQ(PreviousProc, &LoggingProc);
  EXPECT_EQ(GetWindowLong(Window, GWL_WNDPROC), 0);  // pointers only through the Ptr form
  SubclassCalls = 0;
  Log.Clear();
  EXPECT_EQ(SendMessage(Window, WM_USER + 1, 0, 0), 42);
  SendMessage(Window, WM_USER + 2, 0, 0);
  EXPECT_EQ(SubclassCalls, 1);
  ASSERT_EQ(Log.Entries().size(), 1u);
  EXPECT_EQ(Log.Entries()[0].Message, WM_USER + 2);
  SetWindowLongPtr(Window, GWL_WNDPROC, LONG_PTR(PreviousProc));

  SetProp(Window, "Owner", reinterpret_cast<HANDLE>(0x55));
  EXPECT_EQ(GetProp(Window, "Owner"), reinterpret_cast<HANDLE>(0x55));
  EXPECT_EQ(RemoveProp(Window, "Owner"), reinterpret_cast<HANDLE>(0x55));
  EXPECT_EQ(GetProp(Window, "Owner"), nullptr);
}

TEST_F(WindowTest, TextIsUtf8AndCutOnCharacterBoundaries) {
  const char* Cyrillic = "\xD0\x9A\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0";  // "Камера"
  HWND Window = CreateTestWindow(0, WS_POPUP, 0, 0, 10, 10, nullptr, 0, Cyrillic);
  EXPECT_EQ(GetWindowTextString(Window), Cyrillic);
  EXPECT_EQ(GetWindowTextLength(Window), 12);
  char Buffer[6];
  // Room for 5 bytes: two whole characters (4 bytes), not half of the third.
  EXPECT_EQ(GetWindowText(Window, Buffer, sizeof(Buffer)), 4);
  EXPECT_STREQ(Buffer, "\xD0\x9A\xD0\xB0");
  Log.Clear();
  EXPECT_TRUE(SetWindowText(Window, "Webcam"));
  ASSERT_FALSE(Log.Entries().empty());
  EXPECT_EQ(Log.Entries()[0].Message, UINT(WM_SETTEXT));
  EXPECT_EQ(GetWindowTextString(Window), "Webcam");
}

TEST_F(WindowTest, EnablingAndDisabling) {
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Edit = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, Form);
  SetFocus(Edit);
  Drain();
  ASSERT_EQ(GetFocus(), Edit);
  // Disabling the focus window takes the focus away; WM_ENABLE comes last.
  constexpr TExpectedMessage Disable[] = {
      {WM_CANCELMODE, Sent},
      {WM_KILLFOCUS, Sent | WParam, 0},
      {WM_ENABLE, Sent | WParam, FALSE},
  };
  Log.Clear();
  EXPECT_FALSE(EnableWindow(Edit, FALSE));
  ExpectSequence(Log, Disable, "EnableWindow(FALSE) on the focus window");
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(Edit));
  EXPECT_EQ(SetFocus(Edit), nullptr);  // refused
  EXPECT_TRUE(EnableWindow(Edit, FALSE));  // was disabled; nothing sent
  Log.Clear();
  EXPECT_TRUE(EnableWindow(Edit, TRUE));
  ASSERT_EQ(Log.Entries().size(), 1u);
  EXPECT_EQ(Log.Entries()[0].Message, UINT(WM_ENABLE));
}

TEST_F(WindowTest, MoveAndSizeMessages) {
  HWND Parent = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
  HWND Window = CreateTestWindow(0, WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 50, Parent);
  Drain();
  struct TCase {
    const char* Name;
    int X, Y, Width, Height;
    bool Move, Size;
  };
  const TCase Cases[] = {
      {"move only", 20, 30, 100, 50, true, false},
      {"size only", 20, 30, 120, 60, false, true},
      {"both", 0, 0, 40, 40, true, true},
      {"neither", 0, 0, 40, 40, false, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log.Clear();
    MoveWindow(Window, Case.X, Case.Y, Case.Width, Case.Height, TRUE);
    std::vector<UINT> Seen;
    for (const TLoggedMessage& Entry : Log.Entries()) Seen.push_back(Entry.Message);
    std::vector<UINT> Expected{WM_WINDOWPOSCHANGING};
    if (Case.Size) Expected.push_back(WM_NCCALCSIZE);
    Expected.push_back(WM_WINDOWPOSCHANGED);
    if (Case.Move) Expected.push_back(WM_MOVE);
    if (Case.Size) Expected.push_back(WM_SIZE);
    EXPECT_EQ(Seen, Expected);
    for (const TLoggedMessage& Entry : Log.Entries()) {
      if (Entry.Message == WM_MOVE) {  // the client origin, inside the border
        EXPECT_EQ(Entry.LParamValue, MAKELPARAM(WORD(Case.X + 1), WORD(Case.Y + 1)));
      }
      if (Entry.Message == WM_SIZE) {
        EXPECT_EQ(Entry.LParamValue, MAKELPARAM(WORD(Case.Width - 2), WORD(Case.Height - 2)));
      }
    }
  }
  // WM_WINDOWPOSCHANGING may change the request.
  Log.Responder = [](HWND, UINT Message, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Message == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(LParam)->cx = 77;
    return std::nullopt;
  };
  MoveWindow(Window, 0, 0, 10, 10, TRUE);
  Log.Responder = nullptr;
  RECT Rect{};
  GetWindowRect(Window, &Rect);
  EXPECT_EQ(Rect.right - Rect.left, 77);
}

TEST_F(WindowTest, MinimiseAndRestoreKeepTheNormalBounds) {
  HWND Form = CreateTestWindow(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 400, 300);
  Drain();
  Log.Clear();
  ShowWindow(Form, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(Form));
  bool SawMinimised = false;
  for (const TLoggedMessage& Entry : Log.Entries())
    SawMinimised |= Entry.Message == WM_SIZE && Entry.WParamValue == SIZE_MINIMIZED;
  EXPECT_TRUE(SawMinimised);
  EXPECT_NE(GetActiveWindow(), Form);
  WINDOWPLACEMENT Placement{};
  GetWindowPlacement(Form, &Placement);
  EXPECT_EQ(Placement.rcNormalPosition, (RECT{50, 60, 450, 360}));
  ShowWindow(Form, SW_RESTORE);
  EXPECT_FALSE(IsIconic(Form));
  RECT Rect{};
  GetWindowRect(Form, &Rect);
  EXPECT_EQ(Rect, (RECT{50, 60, 450, 360}));
  ShowWindow(Form, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(Form));
  RECT Work = GetWorkArea();
  RECT Client{};
  GetClientRect(Form, &Client);
  EXPECT_EQ(Client.right, Work.right - Work.left);
}

}  // namespace
