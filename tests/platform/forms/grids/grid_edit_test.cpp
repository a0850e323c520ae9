// The in-place editor: shown on the current cell with the cell's text, every change pushed to
// SetEditText, keys that leave the cell handed to the grid, CanEditModify asked before changes,
// and the always-shown editor following the current cell.

#include <gtest/gtest.h>

#include "platform/forms/clipboard.h"
#include "platform/user/input.h"
#include "tests/platform/forms/grids/grid_support.h"

namespace FormsTest {
namespace {

class TGridEditTest : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    Grid->Texts[{1, 1}] = "abc";
    Grid->Texts[{1, 2}] = "second";
    Grid->Texts[{2, 1}] = "right";
    Grid->SetOptions(Grid->Options() + goEditing);
    Grid->SetFocus();
    Pump();
  }
  TInplaceEdit* Editor() { return Grid->InplaceEditor(); }
  bool EditorShown() { return Editor() && Editor()->Visible() && Editor()->HandleAllocated(); }
};

TEST_F(TGridEditTest, ShowPullsTheTextAndEveryChangePushesIt) {
  EXPECT_EQ(Editor(), nullptr);  // made the first time it shows
  InjectKeyStroke(VK_F2);
  Pump();
  ASSERT_TRUE(EditorShown());
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Editor()->Text(), "abc");
  EXPECT_TRUE(Editor()->Focused());
  // Pulling the text pushed nothing back.
  EXPECT_TRUE(Grid->Pushed.empty());
  // The editor covers the cell.
  const RECT Cell = Grid->CellRect(1, 1);
  EXPECT_TRUE(Editor()->PosEqual(Cell));
  InjectText(U"de");
  InjectKeyStroke(VK_BACK);
  Pump();
  EXPECT_EQ(Grid->Pushed, (std::vector<std::string>{"abcd", "abcde", "abcd"}));
  // Enter ends editing; the text stays with the cell.
  InjectKeyStroke(VK_RETURN);
  Pump();
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(Grid->Texts[std::make_pair(1, 1)], "abcd");
}

TEST_F(TGridEditTest, TypingOnTheGridStartsEditingWithTheCharacter) {
  InjectText(U"x");
  Pump();
  ASSERT_TRUE(EditorShown());
  // The cell's text was selected, so the character replaced it.
  EXPECT_EQ(Editor()->Text(), "x");
  EXPECT_EQ(Grid->Pushed.back(), "x");
}

TEST_F(TGridEditTest, LeavingKeysGoToTheGrid) {
  Grid->ShowEditor();
  Pump();
  ASSERT_TRUE(EditorShown());
  Grid->TopLeftChanges = 0;
  // Down leaves the cell: the editor closes (no always-shown editor) and the grid moves.
  InjectKeyStroke(VK_DOWN);
  Pump();
  EXPECT_EQ(Grid->Row(), 2);
  EXPECT_FALSE(Grid->EditorMode());
  // Left and Right stay in the text without an always-shown editor.
  Grid->ShowEditor();
  Pump();
  EXPECT_EQ(Editor()->Text(), "second");
  InjectKeyStroke(VK_RIGHT);
  InjectKeyStroke(VK_RIGHT);
  Pump();
  EXPECT_EQ(Grid->Col(), 1);
}

TEST_F(TGridEditTest, AlwaysShownEditorFollowsTheCurrentCell) {
  Grid->SetOptions(Grid->Options() + goAlwaysShowEditor);
  Pump();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "abc");
  InjectText(U"Z");  // replaces the selected text
  Pump();
  // Right at the end of the text moves to the next cell: the old cell keeps the edit, the new
  // one's text is pulled.
  InjectKeyStroke(VK_RIGHT);
  Pump();
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Texts[std::make_pair(1, 1)], "Z");
  EXPECT_EQ(Editor()->Text(), "right");
  EXPECT_TRUE(Editor()->PosEqual(Grid->CellRect(2, 1)));
  // Left with the whole text selected is at the start: back to the first cell.
  Editor()->SelectAll();
  InjectKeyStroke(VK_LEFT);
  Pump();
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Editor()->Text(), "Z");
  // Scrolling keeps the editor over its cell, or hides it with the cell.
  Grid->SetRowCount(10);
  Grid->SetTopRow(4);
  EXPECT_FALSE(Editor()->Visible());
  Grid->SetTopRow(1);
  EXPECT_TRUE(Editor()->Visible());
  EXPECT_TRUE(Editor()->PosEqual(Grid->CellRect(1, 1)));
}

TEST_F(TGridEditTest, CanEditModifyIsAskedBeforeEveryChange) {
  Grid->ShowEditor();
  Pump();
  ASSERT_TRUE(EditorShown());
  Grid->AllowModify = false;
  Clipboard()->SetAsText("pasted");
  Editor()->SetSelStart(1);
  Editor()->SetSelLength(0);
  InjectText(U"q");
  InjectKeyStroke(VK_BACK);
  InjectKeyStroke(VK_DELETE);
  InjectKey(VK_CONTROL, true);
  InjectKeyStroke('V');
  InjectKey(VK_CONTROL, false);
  InjectKey(VK_SHIFT, true);
  InjectKeyStroke(VK_INSERT);
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Editor()->Text(), "abc");
  EXPECT_TRUE(Grid->Pushed.empty());
  EXPECT_GE(Grid->ModifyAsked, 5);
  // Allowed again, the same keys change the text.
  Grid->AllowModify = true;
  InjectKeyStroke(VK_DELETE);
  Pump();
  EXPECT_EQ(Editor()->Text(), "ac");
  EXPECT_EQ(Grid->Pushed.back(), "ac");
}

TEST_F(TGridEditTest, TheCellsMaskComesWithItsText) {
  Grid->Masks[{1, 2}] = "00:00;1;_";
  Grid->Texts[{1, 2}] = "1234";
  Grid->SetOptions(Grid->Options() + goAlwaysShowEditor);
  Pump();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->EditMask(), "");
  EXPECT_EQ(Editor()->Text(), "abc");
  InjectKeyStroke(VK_DOWN);
  Pump();
  EXPECT_EQ(Editor()->EditMask(), "00:00;1;_");
  EXPECT_EQ(Editor()->EditText(), "12:34");
  // The mask refuses a letter; a digit types over the first position.
  Editor()->SetSelStart(0);
  Editor()->SetSelLength(0);
  InjectText(U"x9");
  Pump();
  EXPECT_EQ(Editor()->EditText(), "92:34");
  EXPECT_EQ(Grid->Pushed.back(), "92:34");
  EXPECT_EQ(Beeps, 1);
  // Back on a plain cell the mask is gone again.
  InjectKeyStroke(VK_UP);
  Pump();
  EXPECT_EQ(Editor()->EditMask(), "");
  EXPECT_EQ(Editor()->Text(), "abc");
}

TEST_F(TGridEditTest, LeavingTheGridHidesTheEditor) {
  auto* Other = new TEdit(Form);
  Other->SetBounds(0, 200, 80, 20);
  Other->SetParent(Form);
  Grid->ShowEditor();
  Pump();
  ASSERT_TRUE(EditorShown());
  Other->SetFocus();
  Pump();
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(Editor()->Visible());
  // Coming back does not reopen it.
  Grid->SetFocus();
  Pump();
  EXPECT_FALSE(Editor()->Visible());
}

}  // namespace
}  // namespace FormsTest
