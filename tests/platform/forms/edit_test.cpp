// The edit control: key sequences, the clipboard, the limits and flags, the EM_ messages, the
// mouse, and the caret.

#include "platform/forms/edit.h"

#include <gtest/gtest.h>

#include "platform/forms/clipboard.h"
#include "platform/rtl/unicode.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

// One step of a key script.
struct TKeyOp {
  enum { Type, Key, ShiftKey, CtrlKey, CtrlShiftKey } Kind;
  int VirtualKey = 0;
  std::u32string Text;
};
TKeyOp Type(std::u32string Text) {
  return {TKeyOp::Type, 0, std::move(Text)};
}
TKeyOp Key(int VirtualKey) {
  return {TKeyOp::Key, VirtualKey, {}};
}
TKeyOp Shift(int VirtualKey) {
  return {TKeyOp::ShiftKey, VirtualKey, {}};
}
TKeyOp Ctrl(int VirtualKey) {
  return {TKeyOp::CtrlKey, VirtualKey, {}};
}
TKeyOp CtrlShift(int VirtualKey) {
  return {TKeyOp::CtrlShiftKey, VirtualKey, {}};
}

struct TEditCase {
  const char* Name;
  std::string Start;  // the text before
  int Caret;          // SelStart before (-1: the end)
  std::vector<TKeyOp> Keys;
  std::string Expected;
  int SelStart;
  int SelLength;
  int Beeps = 0;
  int Changes = -1;       // OnChange count (-1: not checked)
  std::string Clip = "";  // the clipboard before (and, when Keys cut or copy, after: ClipAfter)
  std::string ClipAfter = "";
  int MaxLength = 0;
  TEditCharCase CharCase = ecNormal;
  bool ReadOnly = false;
  char32_t PasswordChar = 0;
};

const TEditCase EditCases[] = {
    {"typing", "", 0, {Type(U"abc")}, "abc", 3, 0, 0, 3},
    {"Home and End", "hello", -1, {Key(VK_HOME), Type(U"X"), Key(VK_END), Type(U"Y")}, "XhelloY", 7, 0, 0, 2},
    {"Shift+Left selects, typing replaces",
     "hello",
     -1,
     {Shift(VK_LEFT), Shift(VK_LEFT), Type(U"Z")},
     "helZ",
     4,
     0,
     0,
     1},
    {"Shift+Home then Backspace", "hello", 3, {Shift(VK_HOME), Key(VK_BACK)}, "lo", 0, 0, 0, 1},
    {"Delete on a selection",
     "abcdef",
     1,
     {Shift(VK_RIGHT), Shift(VK_RIGHT), Key(VK_DELETE)},
     "adef",
     1,
     0,
     0,
     1},
    {"Backspace at the start does nothing", "abc", 0, {Key(VK_BACK)}, "abc", 0, 0, 0, 0},
    {"Delete at the end does nothing", "abc", -1, {Key(VK_DELETE)}, "abc", 3, 0, 0, 0},
    {"Left collapses a selection to its start",
     "abcdef",
     4,
     {Shift(VK_LEFT), Shift(VK_LEFT), Key(VK_LEFT)},
     "abcdef",
     2,
     0,
     0,
     0},
    {"words with Ctrl",
     "one two three",
     -1,
     {Ctrl(VK_LEFT), CtrlShift(VK_LEFT), Type(U"2 ")},
     "one 2 three",
     6,
     0,
     0,
     2},
    {"typing at MaxLength beeps", "abc", -1, {Type(U"d")}, "abc", 3, 0, 1, 0, "", "", 3},
    {"paste at MaxLength takes what fits", "abc", -1, {Ctrl('V')}, "abc12", 5, 0, 1, 1, "12345", "12345", 5},
    {"paste replaces the selection first",
     "abcdef",
     -1,
     {Shift(VK_LEFT), Shift(VK_LEFT), Shift(VK_INSERT)},
     "abcdXY",
     6,
     0,
     0,
     1,
     "XY",
     "XY",
     6},
    {"read-only refuses with a beep",
     "abc",
     -1,
     {Type(U"x"), Key(VK_BACK), Shift(VK_HOME), Ctrl('X'), Key(VK_DELETE)},
     "abc",
     0,
     3,
     4,
     0,
     "old",
     "old",
     0,
     ecNormal,
     true},
    {"read-only still copies",
     "abc",
     -1,
     {Shift(VK_LEFT), Ctrl('C')},
     "abc",
     2,
     1,
     0,
     0,
     "old",
     "c",
     0,
     ecNormal,
     true},
    {"Cyrillic counts code points",
     "",
     0,
     {Type(U"Привет"), Shift(VK_LEFT), Shift(VK_LEFT), Shift(VK_LEFT), Key(VK_BACK)},
     "При",
     3,
     0,
     0,
     7},
    {"upper case", "", 0, {Type(U"ab ж")}, "AB Ж", 4, 0, 0, 4, "", "", 0, ecUpperCase},
    {"cut, paste, undo twice",
     "hello world",
     -1,
     {CtrlShift(VK_LEFT), Ctrl('X'), Key(VK_HOME), Ctrl('V'), Ctrl('Z'), Ctrl('Z')},
     "worldhello ",
     5,
     0,
     0,
     4,
     "",
     "world"},
    {"the password hides from the clipboard",
     "",
     0,
     {Type(U"secret"), Shift(VK_HOME), Ctrl('C'), Ctrl('X')},
     "secret",
     0,
     6,
     0,
     6,
     "prev",
     "prev",
     0,
     ecNormal,
     false,
     U'*'},
    {"Shift+Delete cuts", "abcd", -1, {Shift(VK_LEFT), Shift(VK_DELETE)}, "abc", 3, 0, 0, 1, "", "d"},
};

class EditTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 100);
    Edit = new TEdit(Form);
    Edit->SetBounds(10, 10, 200, 24);
    Edit->SetParent(Form);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void Run(const std::vector<TKeyOp>& Keys) {
    for (const auto& Op : Keys) {
      switch (Op.Kind) {
        case TKeyOp::Type:
          InjectText(Op.Text);
          break;
        case TKeyOp::Key:
          InjectKeyStroke(Op.VirtualKey);
          break;
        case TKeyOp::ShiftKey:
        case TKeyOp::CtrlKey:
        case TKeyOp::CtrlShiftKey: {
          const bool Sh = Op.Kind != TKeyOp::CtrlKey, Ct = Op.Kind != TKeyOp::ShiftKey;
          if (Ct) InjectKey(VK_CONTROL, true);
          if (Sh) InjectKey(VK_SHIFT, true);
          InjectKeyStroke(Op.VirtualKey);
          if (Sh) InjectKey(VK_SHIFT, false);
          if (Ct) InjectKey(VK_CONTROL, false);
          break;
        }
      }
      Pump();
    }
  }
  TForm* Form;
  TEdit* Edit;
};

TEST_F(EditTest, KeySequencesTable) {
  for (const auto& Case : EditCases) {
    SCOPED_TRACE(Case.Name);
    Edit->SetReadOnly(false);
    Edit->SetMaxLength(0);
    Edit->SetCharCase(ecNormal);
    Edit->SetPasswordChar(0);
    Edit->SetText(Case.Start);
    Edit->ClearUndo();
    Edit->SetMaxLength(Case.MaxLength);
    Edit->SetCharCase(Case.CharCase);
    Edit->SetReadOnly(Case.ReadOnly);
    Edit->SetPasswordChar(Case.PasswordChar);
    Clipboard()->SetAsText(Case.Clip);
    Edit->SetFocus();
    Edit->SetSelStart(Case.Caret < 0 ? int32_t(Utf8Length(Case.Start)) : Case.Caret);
    Beeps = 0;
    int Changes = 0;
    Edit->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
    Run(Case.Keys);
    Edit->OnChange = TNotifyEvent();
    EXPECT_EQ(Edit->Text(), Case.Expected);
    EXPECT_EQ(Edit->SelStart(), Case.SelStart);
    EXPECT_EQ(Edit->SelLength(), Case.SelLength);
    EXPECT_EQ(Beeps, Case.Beeps);
    if (Case.Changes >= 0) {
      EXPECT_EQ(Changes, Case.Changes);
    }
    EXPECT_EQ(Clipboard()->AsText(), Case.ClipAfter);
    EXPECT_EQ(Edit->Modified(), Case.Changes > 0);
  }
}

TEST_F(EditTest, ProgramSetTextNotifiesOnceAndIsNotAModification) {
  int Changes = 0;
  Edit->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Edit->SetFocus();
  InjectText(U"x");
  Pump();
  EXPECT_TRUE(Edit->Modified());
  EXPECT_EQ(Edit->Perform(EM_GETMODIFY, 0, 0), 1);
  Edit->SetText("set");
  Edit->SetText("set");
  EXPECT_EQ(Changes, 2);
  EXPECT_FALSE(Edit->Modified());
  EXPECT_EQ(GetWindowTextString(Edit->Handle()), "set");
  EXPECT_FALSE(Edit->CanUndo());
  Edit->SetModified(true);
  EXPECT_EQ(Edit->Perform(EM_GETMODIFY, 0, 0), 1);
}

TEST_F(EditTest, EditMessagesAsHostsSendThem) {
  Edit->SetText("hello world");
  // A host selects everything with a posted EM_SETSEL(0, -1).
  PostMessageA(Edit->Handle(), EM_SETSEL, 0, -1);
  Pump();
  DWORD Start = 99, End = 99;
  Edit->Perform(EM_GETSEL, WPARAM(&Start), LPARAM(&End));
  EXPECT_EQ(Start, 0u);
  EXPECT_EQ(End, 11u);
  SendMessageA(Edit->Handle(), EM_SETSEL, 6, 8);
  EXPECT_EQ(Edit->SelText(), "wo");
  SendMessageA(Edit->Handle(), EM_SETSEL, WPARAM(-1), 0);
  EXPECT_EQ(Edit->SelLength(), 0);

  // The window's read-only flag is separate from the ReadOnly property.
  SendMessageA(Edit->Handle(), EM_SETREADONLY, 1, 0);
  EXPECT_FALSE(Edit->ReadOnly());
  EXPECT_TRUE(GetWindowLongA(Edit->Handle(), GWL_STYLE) & ES_READONLY);
  Edit->SetFocus();
  InjectText(U"x");
  Pump();
  EXPECT_EQ(Edit->Text(), "hello world");
  EXPECT_EQ(Beeps, 1);
  SendMessageA(Edit->Handle(), EM_SETREADONLY, 0, 0);

  // The formatting rectangle and margins move the text.
  RECT R{};
  SendMessageA(Edit->Handle(), EM_GETRECT, 0, LPARAM(&R));
  EXPECT_EQ(R.left, 1);
  SendMessageA(Edit->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 7));
  SendMessageA(Edit->Handle(), EM_GETRECT, 0, LPARAM(&R));
  RECT Client = Edit->ClientRect();
  EXPECT_EQ(R.left, 5);
  EXPECT_EQ(R.right, Client.right - 7);
  RECT Wanted{20, 2, 100, 15};
  SendMessageA(Edit->Handle(), EM_SETRECTNP, 0, LPARAM(&Wanted));
  SendMessageA(Edit->Handle(), EM_GETRECT, 0, LPARAM(&R));
  EXPECT_EQ(R, Wanted);
  LRESULT Pos = SendMessageA(Edit->Handle(), EM_POSFROMCHAR, 0, 0);
  EXPECT_EQ(GET_X_LPARAM(Pos), 20);
  EXPECT_EQ(SendMessageA(Edit->Handle(), EM_CHARFROMPOS, 0, MAKELPARAM(20, 5)), 0);
  // The limit.
  SendMessageA(Edit->Handle(), EM_LIMITTEXT, 4, 0);
  EXPECT_EQ(SendMessageA(Edit->Handle(), EM_GETLIMITTEXT, 0, 0), 4);
  EXPECT_EQ(Edit->Text(), "hello world");  // a smaller limit does not cut the text
  EXPECT_EQ(SendMessageA(Edit->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS, DLGC_WANTCHARS);
}

TEST_F(EditTest, MouseSelectsAndTheCaretFollows) {
  Edit->SetText("alpha beta gamma");
  auto XOf = [&](int Index) {
    return GET_X_LPARAM(SendMessageA(Edit->Handle(), EM_POSFROMCHAR, WPARAM(Index), 0));
  };
  const int Y = 8;
  POINT From = Edit->ClientToScreen(POINT{XOf(6), Y});
  POINT To = Edit->ClientToScreen(POINT{XOf(10), Y});
  InjectMouseButton(VK_LBUTTON, true, From.x, From.y);
  InjectMouseMove(To.x, To.y);
  InjectMouseButton(VK_LBUTTON, false, To.x, To.y);
  Pump();
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->SelText(), "beta");
  EXPECT_EQ(GetCapture(), nullptr);
  // The caret is shown in the edit at the end of the selection.
  TCaretInfo Caret = GetCaretInfo();
  EXPECT_EQ(Caret.Window, Edit->Handle());
  EXPECT_EQ(Caret.Position.x, XOf(10));
  EXPECT_EQ(Caret.HideCount, 0);
  // A double click selects the word.
  FClock->Advance(1000);
  POINT Word = Edit->ClientToScreen(POINT{XOf(13), Y});
  InjectMouseClick(VK_LBUTTON, Word.x, Word.y);
  InjectMouseClick(VK_LBUTTON, Word.x, Word.y);
  Pump();
  EXPECT_EQ(Edit->SelText(), "gamma");
  // Shift+click extends from the caret.
  FClock->Advance(1000);
  Edit->SetSelStart(0);
  InjectKey(VK_SHIFT, true);
  InjectMouseClick(VK_LBUTTON, From.x, From.y);
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Edit->SelText(), "alpha ");
  // Losing the focus takes the caret away.
  ::SetFocus(Form->Handle());
  Pump();
  EXPECT_NE(GetCaretInfo().Window, Edit->Handle());
}

TEST_F(EditTest, TabIntoTheEditSelectsAllAndRecreationKeepsState) {
  auto* Other = new TEdit(Form);
  Other->SetBounds(10, 50, 100, 24);
  Other->SetParent(Form);
  Edit->SetText("keep me");
  Other->SetFocus();
  Pump();
  InjectKey(VK_SHIFT, true);
  InjectKeyStroke(VK_TAB);
  InjectKey(VK_SHIFT, false);
  Pump();
  ASSERT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->SelLength(), 7);  // AutoSelect
  InjectKeyStroke(VK_END);
  InjectText(U"!");
  Pump();
  Edit->SetSelStart(2);
  Edit->SetSelLength(3);
  // A changed border style re-creates the window; text, selection, flag and focus stay.
  Edit->SetBorderStyle(bsNone);
  Pump();
  EXPECT_FALSE(GetWindowLongA(Edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Edit->Text(), "keep me!");
  EXPECT_EQ(GetWindowTextString(Edit->Handle()), "keep me!");
  EXPECT_EQ(Edit->SelText(), "ep ");
  EXPECT_TRUE(Edit->Modified());
  EXPECT_TRUE(Edit->Focused());
}

TEST_F(EditTest, OnKeyPressCanDiscardOrChangeCharacters) {
  Edit->SetFocus();
  Edit->OnKeyPress = TKeyPressEvent([](TObject*, char32_t& Key) {
    if (Key >= U'0' && Key <= U'9') Key = 0;  // no digits
    if (Key == U'ё') Key = U'е';
  });
  InjectText(U"a1ё2b");
  Pump();
  EXPECT_EQ(Edit->Text(), "aеb");
  // AutoSize: the height follows the font.
  const int Before = Edit->Height();
  Edit->Font()->SetSize(20);
  EXPECT_GT(Edit->Height(), Before);
}

}  // namespace
}  // namespace FormsTest
