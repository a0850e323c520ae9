// Focus, activation, capture, keyboard input and its translation, hooks, mouse input, cursors
// and the small system services.

#include "tests/platform/user/messagelog.h"

using namespace UserTest;

namespace {

class InputTest : public TUserTest {
 protected:
  void TearDown() override {
    for (HHOOK Hook : Hooks) UnhookWindowsHookEx(Hook);
    Hooks.clear();
    TUserTest::TearDown();
  }
  std::vector<HHOOK> Hooks;
};

// ---- focus and activation --------------------------------------------------------------------

// SetFocus(Second) while First has the focus, both children of the active window.
constexpr TExpectedMessage MoveFocus[] = {
    {WM_KILLFOCUS, Sent},
    {WM_SETFOCUS, Sent},
};

// SetActiveWindow(B) while A (marked as "parent" to tell the two apart) is active and focused.
constexpr TExpectedMessage SwitchActivation[] = {
    {WM_WINDOWPOSCHANGING, Sent},  // B comes to the top
    {WM_WINDOWPOSCHANGED, Sent},
    {WM_NCACTIVATE, Sent | Parent | WParam, FALSE},
    {WM_ACTIVATE, Sent | Parent | WParam, WA_INACTIVE},
    {WM_NCACTIVATE, Sent | WParam, TRUE},
    {WM_ACTIVATE, Sent | WParam, WA_ACTIVE},
    {WM_KILLFOCUS, Sent | Parent | DefProc},
    {WM_SETFOCUS, Sent | DefProc},
};

TEST_F(InputTest, FocusAndActivationSequences) {
  HWND A = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND First = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, A);
  HWND Second = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, A);
  ASSERT_EQ(GetActiveWindow(), A);
  SetFocus(First);
  Drain();
  Log.Clear();
  EXPECT_EQ(SetFocus(Second), First);
  ExpectSequence(Log, MoveFocus, "SetFocus between two children");
  ASSERT_EQ(Log.Entries().size(), 2u);
  EXPECT_EQ(Log.Entries()[0].Window, First);
  EXPECT_EQ(Log.Entries()[0].WParamValue, WPARAM(Second));
  EXPECT_EQ(Log.Entries()[1].WParamValue, WPARAM(First));
  // Focus on itself again changes nothing.
  Log.Clear();
  EXPECT_EQ(SetFocus(Second), Second);
  EXPECT_TRUE(Log.Entries().empty());

  SetFocus(A);
  HWND B = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);  // shown: activated
  SetActiveWindow(A);
  SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Drain();
  ASSERT_EQ(GetActiveWindow(), A);
  ASSERT_EQ(GetFocus(), A);
  Log.MarkParent(A);
  Log.Clear();
  EXPECT_EQ(SetActiveWindow(B), A);
  ExpectSequence(Log, SwitchActivation, "SetActiveWindow from A to B");
  EXPECT_EQ(GetFocus(), B);

  // Focusing a child of an inactive window activates that window first; a child cannot be
  // activated by itself.
  EXPECT_EQ(SetActiveWindow(First), B);
  EXPECT_EQ(GetActiveWindow(), B);
  SetFocus(Second);
  EXPECT_EQ(GetActiveWindow(), A);
  EXPECT_EQ(GetFocus(), Second);

  // Hiding the focus child gives the focus to its parent.
  ShowWindow(Second, SW_HIDE);
  EXPECT_EQ(GetFocus(), A);
  // Hiding the active window activates the next one.
  ShowWindow(A, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), B);
  EXPECT_EQ(GetFocus(), B);

  // A child moved onto the desktop (a drop-down calendar) shows without taking the activation.
  HWND Calendar = CreateTestWindow(0, WS_CHILD, 0, 0, 30, 30, B);
  SetParent(Calendar, GetDesktopWindow());
  EXPECT_EQ(GetAncestor(Calendar, GA_PARENT), GetDesktopWindow());
  ShowWindow(Calendar, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(Calendar));
  EXPECT_EQ(GetActiveWindow(), B);
  EXPECT_EQ(GetFocus(), B);
}

// SetCapture(Second) while First holds the capture, then ReleaseCapture.
constexpr TExpectedMessage CaptureHandOver[] = {
    {WM_CAPTURECHANGED, Sent},
    {WM_CAPTURECHANGED, Sent | LParam, 0, 0},
};

TEST_F(InputTest, CaptureSequencesAndRouting) {
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
  HWND First = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Form);
  HWND Second = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 100, 0, 50, 50, Form);
  Drain();
  EXPECT_EQ(SetCapture(First), nullptr);
  Log.Clear();
  EXPECT_EQ(SetCapture(Second), First);
  ReleaseCapture();
  ExpectSequence(Log, CaptureHandOver, "capture handed over, then released");
  ASSERT_EQ(Log.Entries().size(), 2u);
  EXPECT_EQ(Log.Entries()[0].Window, First);
  EXPECT_EQ(Log.Entries()[0].LParamValue, LPARAM(Second));
  EXPECT_EQ(Log.Entries()[1].Window, Second);

  // While First holds the capture, a click over Second goes to First as a client message, with
  // First's client coordinates (negative ones included).
  SetCapture(First);
  Log.Clear();
  InjectMouseClick(VK_LBUTTON, 110, 10);
  Drain();
  std::vector<std::pair<HWND, UINT>> Buttons;
  for (const TLoggedMessage& Entry : Log.Entries()) {
    if (Entry.Message == WM_LBUTTONDOWN || Entry.Message == WM_LBUTTONUP) {
      Buttons.push_back({Entry.Window, Entry.Message});
      EXPECT_EQ(GET_X_LPARAM(Entry.LParamValue), 110);
    }
    EXPECT_NE(Entry.Message, UINT(WM_NCHITTEST));
  }
  EXPECT_EQ(Buttons, (std::vector<std::pair<HWND, UINT>>{{First, WM_LBUTTONDOWN}, {First, WM_LBUTTONUP}}));
  // Hiding the capture window releases the capture.
  ShowWindow(First, SW_HIDE);
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---- keys ------------------------------------------------------------------------------------

TEST_F(InputTest, KeysBecomeCharactersThroughTranslateMessage) {
  HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Drain();
  ASSERT_EQ(GetFocus(), Window);
  struct TCase {
    const char* Name;
    std::vector<int> Held;  // pressed before the key, released after
    int Key;
    std::optional<std::u32string> Text;
    UINT DownMessage;
    std::u32string Characters;
    UINT CharMessage;
  };
  const TCase Cases[] = {
      {"a letter", {}, 'A', std::nullopt, WM_KEYDOWN, U"a", WM_CHAR},
      {"a shifted letter", {VK_SHIFT}, 'A', std::nullopt, WM_KEYDOWN, U"A", WM_CHAR},
      {"a shifted digit", {VK_SHIFT}, '1', std::nullopt, WM_KEYDOWN, U"!", WM_CHAR},
      {"Ctrl+C copies", {VK_CONTROL}, 'C', std::nullopt, WM_KEYDOWN, U"\x03", WM_CHAR},
      {"Ctrl+V pastes", {VK_CONTROL}, 'V', std::nullopt, WM_KEYDOWN, U"\x16", WM_CHAR},
      {"Enter", {}, VK_RETURN, std::nullopt, WM_KEYDOWN, U"\r", WM_CHAR},
      {"an arrow types nothing", {}, VK_LEFT, std::nullopt, WM_KEYDOWN, U"", WM_CHAR},
      {"text given with the key wins", {}, 'E', U"\u0443", WM_KEYDOWN, U"\u0443", WM_CHAR},
      {"Alt makes system keys", {VK_MENU}, 'X', std::nullopt, WM_SYSKEYDOWN, U"x", WM_SYSCHAR},
      {"F10 is a system key", {}, VK_F10, std::nullopt, WM_SYSKEYDOWN, U"", WM_CHAR},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    for (int Key : Case.Held) InjectKey(Key, true);
    Drain(true);
    Log.Clear();
    InjectKey(Case.Key, true, Case.Text);
    Drain(true);
    InjectKey(Case.Key, false);
    Drain(true);
    for (auto It = Case.Held.rbegin(); It != Case.Held.rend(); ++It) InjectKey(*It, false);
    Drain(true);
    ASSERT_FALSE(Log.Entries().empty());
    EXPECT_EQ(Log.Entries()[0].Message, Case.DownMessage);
    EXPECT_EQ(Log.Entries()[0].WParamValue, WPARAM(Case.Key));
    std::u32string Typed;
    for (const TLoggedMessage& Entry : Log.Entries())
      if (Entry.Message == Case.CharMessage) Typed += char32_t(Entry.WParamValue);
    EXPECT_EQ(Typed, Case.Characters);
  }

  // Characters without keys of their own, as a back end types them (a Cyrillic word).
  Log.Clear();
  InjectText(U"\u041A\u0430\u043C");
  Drain(true);
  std::u32string Typed;
  for (const TLoggedMessage& Entry : Log.Entries()) {
    if (Entry.Message == WM_CHAR) Typed += char32_t(Entry.WParamValue);
    if (Entry.Message == WM_KEYDOWN) {
      EXPECT_EQ(Entry.WParamValue, WPARAM(VK_PACKET));
    }
  }
  EXPECT_EQ(Typed, U"\u041A\u0430\u043C");
}

TEST_F(InputTest, KeyMessageParametersAndKeyboardState) {
  [[maybe_unused]] HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Drain();
  InjectKey(VK_DELETE, true);
  // The asynchronous state knows at once; the thread's state only once the message is taken.
  EXPECT_LT(GetAsyncKeyState(VK_DELETE), 0);
  EXPECT_GE(GetKeyState(VK_DELETE), 0);
  Log.Clear();
  Drain();
  EXPECT_LT(GetKeyState(VK_DELETE), 0);
  InjectKey(VK_DELETE, true);  // auto-repeat
  InjectKey(VK_DELETE, false);
  Drain();
  ASSERT_EQ(Log.Entries().size(), 3u);
  LPARAM First = Log.Entries()[0].LParamValue, Repeat = Log.Entries()[1].LParamValue,
         Release = Log.Entries()[2].LParamValue;
  EXPECT_EQ(First & 0xFFFF, 1);                      // repeat count
  EXPECT_EQ((First >> 16) & 0xFF, 0x53);             // scan code
  EXPECT_TRUE(First & KF_EXTENDED_BIT);               // an extended key
  EXPECT_FALSE(First & KF_REPEAT_BIT);                // was up before
  EXPECT_TRUE(Repeat & KF_REPEAT_BIT);                // was down before
  EXPECT_TRUE(Release & KF_UP_BIT);
  EXPECT_EQ(Log.Entries()[2].Message, UINT(WM_KEYUP));
  EXPECT_GE(GetKeyState(VK_DELETE), 0);

  // Toggle keys flip their low bit on each press; SetKeyboardState replaces the thread's state.
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
  InjectKeyStroke(VK_CAPITAL);
  Drain();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  // The status bar's toggle: save the state, type the key, put the state back; the press still
  // arrives through the queue afterwards and toggles the restored state.
  BYTE Saved[256];
  GetKeyboardState(Saved);
  keybd_event(VK_CAPITAL, BYTE(MapVirtualKey(VK_CAPITAL, MAPVK_VK_TO_VSC)), 0, 0);
  keybd_event(VK_CAPITAL, BYTE(MapVirtualKey(VK_CAPITAL, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
  SetKeyboardState(Saved);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  Drain();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);

  EXPECT_EQ(MapVirtualKey(VK_OEM_PLUS, MAPVK_VK_TO_CHAR), UINT('='));
  EXPECT_EQ(MapVirtualKey(VK_ADD, MAPVK_VK_TO_CHAR), UINT('+'));
  EXPECT_EQ(VkKeyScan('/'), SHORT(VK_OEM_2));
  EXPECT_EQ(VkKeyScan(':'), SHORT(0x100 | VK_OEM_1));
  EXPECT_EQ(MapVirtualKey(0x1E, MAPVK_VSC_TO_VK), UINT('A'));
}

// ---- hooks -----------------------------------------------------------------------------------

LRESULT LoggingKeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && CurrentLog())
    CurrentLog()->Add(TLoggedMessage{nullptr, UINT((LParam & KF_UP_BIT) ? WM_KEYUP : WM_KEYDOWN),
                                     Hook, WParam, LParam});
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// A key typed into the focus window with a keyboard hook installed: the hook sees each key
// before the window does.
constexpr TExpectedMessage HookBeforeWindow[] = {
    {WM_KEYDOWN, Hook | WParam, 'Q'},
    {WM_KEYDOWN, Posted | WParam, 'Q'},
    {WM_CHAR, Posted | WParam, 'q'},
    {WM_KEYUP, Hook | WParam, 'Q'},
    {WM_KEYUP, Posted | WParam, 'Q'},
};

TEST_F(InputTest, KeyboardHookSeesKeysBeforeTheFocusWindow) {
  [[maybe_unused]] HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Drain();
  Hooks.push_back(SetWindowsHookExA(WH_KEYBOARD, LoggingKeyboardHook, nullptr, GetCurrentThreadId()));
  ASSERT_TRUE(Hooks.back());
  Log.Clear();
  InjectKeyStroke('Q');
  Drain(true);
  ExpectSequence(Log, HookBeforeWindow, "a key stroke with a keyboard hook");
}

std::vector<int> HookCalls;
HHOOK OuterHook = nullptr, InnerHook = nullptr;

LRESULT OuterKeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
  HookCalls.push_back(1);
  LRESULT Next = CallNextHookEx(OuterHook, Code, WParam, LParam);
  // The newest hook swallows Tab presses (as a dialog-key filter does) after passing them on.
  if (WParam == WPARAM(VK_TAB)) return 1;
  return Next;
}

LRESULT InnerKeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
  HookCalls.push_back(2);
  // Unhooking itself while the chain runs is allowed.
  if (WParam == WPARAM(VK_ESCAPE)) UnhookWindowsHookEx(InnerHook);
  return CallNextHookEx(InnerHook, Code, WParam, LParam);
}

TEST_F(InputTest, HookChainsRunNewestFirstAndMaySwallow) {
  [[maybe_unused]] HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  Drain();
  InnerHook = SetWindowsHookExA(WH_KEYBOARD, InnerKeyboardHook, nullptr, GetCurrentThreadId());
  OuterHook = SetWindowsHookExA(WH_KEYBOARD, OuterKeyboardHook, nullptr, GetCurrentThreadId());
  Hooks = {OuterHook, InnerHook};
  HookCalls.clear();
  Log.Clear();
  InjectKey(VK_TAB, true);
  Drain(true);
  EXPECT_EQ(HookCalls, (std::vector<int>{1, 2}));
  EXPECT_TRUE(Log.Entries().empty());  // swallowed
  InjectKey(VK_TAB, false);
  InjectKeyStroke(VK_ESCAPE);
  HookCalls.clear();
  Drain(true);
  // Tab release (swallowed too), Escape press (inner hook leaves), Escape release (outer only).
  EXPECT_EQ(HookCalls, (std::vector<int>{1, 2, 1, 2, 1}));
  std::vector<UINT> Seen;
  for (const TLoggedMessage& Entry : Log.Entries()) Seen.push_back(Entry.Message);
  EXPECT_EQ(Seen, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  EXPECT_FALSE(UnhookWindowsHookEx(InnerHook));
}

std::vector<MOUSEHOOKSTRUCT> MouseHookSeen;
std::vector<WPARAM> MouseHookMessages;

LRESULT RecordingMouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  MouseHookMessages.push_back(WParam);
  MouseHookSeen.push_back(*reinterpret_cast<MOUSEHOOKSTRUCT*>(LParam));
  // Hooks may only post: a click outside a drop-down is posted on.
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

TEST_F(InputTest, MouseHookSeesTheMessageItsWindowAndHitTest) {
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, 100, 100);
  Drain();
  Hooks.push_back(SetWindowsHookExA(WH_MOUSE, RecordingMouseHook, nullptr, GetCurrentThreadId()));
  MouseHookSeen.clear();
  MouseHookMessages.clear();
  InjectMouseClick(VK_LBUTTON, 10, 10);  // on the border
  InjectMouseClick(VK_LBUTTON, 50, 50);  // in the client area
  Drain();
  std::vector<WPARAM> Buttons;
  for (size_t I = 0; I < MouseHookMessages.size(); ++I) {
    if (MouseHookMessages[I] == WM_MOUSEMOVE || MouseHookMessages[I] == WM_NCMOUSEMOVE) continue;
    Buttons.push_back(MouseHookMessages[I]);
    EXPECT_EQ(MouseHookSeen[I].hwnd, Form);
  }
  EXPECT_EQ(Buttons, (std::vector<WPARAM>{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  ASSERT_FALSE(MouseHookSeen.empty());
  EXPECT_EQ(MouseHookSeen[1].wHitTestCode, UINT(HTBORDER));
  EXPECT_EQ(MouseHookSeen[1].pt, (POINT{10, 10}));
}

// ---- mouse -----------------------------------------------------------------------------------

// A left click on a child of an inactive window: the child is asked (and asks its parent)
// whether the click activates; the top-level window is activated; the cursor is set; then the
// button messages arrive.
constexpr TExpectedMessage ClickInactive[] = {
    {WM_NCHITTEST, Sent},
    {WM_SETCURSOR, Sent | LParam, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
    {WM_SETCURSOR, Sent | Parent | DefProc},
    {WM_MOUSEMOVE, Posted},
    {WM_NCHITTEST, Sent},
    {WM_PARENTNOTIFY, Sent | Parent | WParam, WM_LBUTTONDOWN},
    {WM_MOUSEACTIVATE, Sent},
    {WM_MOUSEACTIVATE, Sent | Parent | DefProc},
    {WM_NCACTIVATE, Sent | Parent | WParam, TRUE},
    {WM_ACTIVATE, Sent | Parent | WParam, WA_CLICKACTIVE},
    {WM_SETFOCUS, Sent | Parent | DefProc},
    {WM_SETCURSOR, Sent | LParam, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)},
    {WM_SETCURSOR, Sent | Parent | DefProc},
    {WM_LBUTTONDOWN, Posted | WParam | LParam, MK_LBUTTON, MAKELPARAM(5, 6)},
    {WM_NCHITTEST, Sent},
    {WM_SETCURSOR, Sent},
    {WM_SETCURSOR, Sent | Parent | DefProc},
    {WM_LBUTTONUP, Posted | WParam, 0},
};

TEST_F(InputTest, ClickActivatesAndSetsTheCursor) {
  HWND Other = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 500, 500, 10, 10);
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Button = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, Form);
  SetActiveWindow(Other);
  Drain();
  Log.Ignored = {WM_ACTIVATEAPP, WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
  Log.MarkParent(Form);
  Log.MarkParent(Other);
  Log.Clear();
  InjectMouseClick(VK_LBUTTON, 25, 26);
  Drain();
  // The other window's deactivation is not part of the expected list.
  std::vector<TLoggedMessage> Kept;
  TMessageLog Filtered;
  for (const TLoggedMessage& Entry : Log.Entries())
    if (Entry.Window != Other) Filtered.Add(Entry);
  ExpectSequence(Filtered, ClickInactive, "left click on a child of an inactive window");
  EXPECT_EQ(GetActiveWindow(), Form);
  EXPECT_EQ(CursorId(GetCursor()), 32512);
  POINT Cursor{};
  GetCursorPos(&Cursor);
  EXPECT_EQ(Cursor, (POINT{25, 26}));
  (void)Button;
}

TEST_F(InputTest, MouseActivateAnswersAndDisabledWindows) {
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Other = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  Drain();
  struct TCase {
    const char* Name;
    LRESULT Answer;
    bool Activated, Delivered;
  };
  const TCase Cases[] = {
      {"activate", MA_ACTIVATE, true, true},
      {"activate and eat", MA_ACTIVATEANDEAT, true, false},
      {"no activation", MA_NOACTIVATE, false, true},
      {"no activation, eaten", MA_NOACTIVATEANDEAT, false, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetActiveWindow(Other);
    Drain();
    Log.Responder = [&](HWND, UINT Message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (Message == WM_MOUSEACTIVATE) return Case.Answer;
      return std::nullopt;
    };
    Log.Clear();
    InjectMouseButton(VK_LBUTTON, true, 50, 50);
    Drain();
    InjectMouseButton(VK_LBUTTON, false, 50, 50);
    Drain();
    Log.Responder = nullptr;
    bool Down = false;
    for (const TLoggedMessage& Entry : Log.Entries()) Down |= Entry.Window == Form && Entry.Message == WM_LBUTTONDOWN;
    EXPECT_EQ(Down, Case.Delivered);
    EXPECT_EQ(GetActiveWindow() == Form, Case.Activated);
  }
  // A disabled window gets no button messages.
  EnableWindow(Form, FALSE);
  Log.Clear();
  InjectMouseClick(VK_LBUTTON, 50, 50);
  Drain();
  for (const TLoggedMessage& Entry : Log.Entries()) {
    EXPECT_NE(Entry.Message, UINT(WM_LBUTTONDOWN));
    EXPECT_NE(Entry.Message, UINT(WM_LBUTTONUP));
  }
}

TEST_F(InputTest, DoubleClicks) {
  // Only windows whose class asks for double clicks get them; the test class does.
  [[maybe_unused]] HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  Drain();
  struct TCase {
    const char* Name;
    uint64_t Gap;  // milliseconds between the clicks
    int SecondX;
    UINT Second;
  };
  const TCase Cases[] = {
      {"quick, same place", 100, 10, WM_LBUTTONDBLCLK},
      {"at the double-click time", 500, 10, WM_LBUTTONDBLCLK},
      {"too slow", 501, 10, WM_LBUTTONDOWN},
      {"too far", 100, 13, WM_LBUTTONDOWN},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FClock->Advance(1000);  // well apart from the previous case
    InjectMouseClick(VK_LBUTTON, 10, 10);
    Drain();
    FClock->Advance(Case.Gap);
    Log.Clear();
    InjectMouseClick(VK_LBUTTON, Case.SecondX, 10);
    Drain();
    std::vector<UINT> Buttons;
    for (const TLoggedMessage& Entry : Log.Entries())
      if (Entry.Message >= WM_LBUTTONDOWN && Entry.Message <= WM_LBUTTONDBLCLK) Buttons.push_back(Entry.Message);
    EXPECT_EQ(Buttons, (std::vector<UINT>{Case.Second, WM_LBUTTONUP}));
  }
  // A third quick click starts over.
  FClock->Advance(1000);
  InjectMouseClick(VK_LBUTTON, 10, 10);
  InjectMouseClick(VK_LBUTTON, 10, 10);
  Log.Clear();
  InjectMouseClick(VK_LBUTTON, 10, 10);
  Drain();
  ASSERT_FALSE(Log.Entries().empty());
  bool Plain = false;
  for (const TLoggedMessage& Entry : Log.Entries()) Plain |= Entry.Message == WM_LBUTTONDOWN;
  EXPECT_TRUE(Plain);
}

TEST_F(InputTest, WheelGoesToTheFocusAndClimbsToParents) {
  HWND Form = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Child = CreateTestWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Form);
  SetFocus(Child);
  Drain();
  Log.MarkParent(Form);
  Log.Clear();
  InjectMouseWheel(-WHEEL_DELTA, 80, 80);  // over the form, not the child
  Drain();
  std::vector<std::pair<HWND, short>> Wheels;
  for (const TLoggedMessage& Entry : Log.Entries())
    if (Entry.Message == WM_MOUSEWHEEL) Wheels.push_back({Entry.Window, GET_WHEEL_DELTA_WPARAM(Entry.WParamValue)});
  EXPECT_EQ(Wheels, (std::vector<std::pair<HWND, short>>{{Child, -120}, {Form, -120}}));
}

// ---- redraw switch, cursors, system services -------------------------------------------------

TEST_F(InputTest, SetRedrawHidesWithoutMoving) {
  HWND Window = CreateTestWindow(0, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  Drain();
  SendMessage(Window, WM_SETREDRAW, FALSE, 0);
  EXPECT_FALSE(IsWindowVisible(Window));
  InvalidateRect(Window, nullptr, TRUE);
  Log.Clear();
  Drain();
  EXPECT_TRUE(Log.Entries().empty());  // nothing paints while redrawing is off
  SendMessage(Window, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(Window));
  EXPECT_EQ(GetActiveWindow(), Window);
}

TEST_F(InputTest, CursorsBeepsAndSettings) {
  HCURSOR Arrow = LoadCursor(nullptr, IDC_ARROW);
  HCURSOR Wait = LoadCursor(nullptr, IDC_WAIT);
  ASSERT_TRUE(Arrow && Wait);
  EXPECT_NE(Arrow, Wait);
  EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), Wait);
  EXPECT_EQ(CursorId(Wait), 32514);
  SetCursor(Arrow);
  EXPECT_EQ(SetCursor(Wait), Arrow);
  EXPECT_EQ(GetCursor(), Wait);

  std::vector<UINT> Beeps;
  SetMessageBeepSink([&](UINT Type) { Beeps.push_back(Type); });
  MessageBeep(0);
  MessageBeep(MB_ICONEXCLAMATION);
  EXPECT_EQ(Beeps, (std::vector<UINT>{0, MB_ICONEXCLAMATION}));

  RECT Work{};
  EXPECT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0));
  EXPECT_EQ(Work, (RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  RECT Smaller{0, 0, 800, 560};
  SystemParametersInfo(SPI_SETWORKAREA, 0, &Smaller, 0);
  SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
  EXPECT_EQ(Work, Smaller);
  SystemParametersInfo(SPI_SETWORKAREA, 0, nullptr, 0);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
}

}  // namespace
