// The masked edit as a control: typing through the real key path, Backspace and Delete, the
// clipboard, Escape, the length limit, Text against EditText, and the check on leaving.

#include "platform/forms/maskedit.h"

#include <gtest/gtest.h>

#include "platform/forms/clipboard.h"
#include "platform/rtl/unicode.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

// One step of a key script: text typed, or a key with modifiers.
struct TStroke {
  std::u32string Text;
  int VirtualKey = 0;
  bool Shift = false;
  bool Ctrl = false;
};
TStroke Typed(std::u32string Text) {
  return {std::move(Text)};
}
TStroke Press(int VirtualKey, bool Shift = false, bool Ctrl = false) {
  return {{}, VirtualKey, Shift, Ctrl};
}

// Refuses changes on demand, as a data-aware descendant does when its record cannot be edited.
class TGuardedMaskEdit : public TCustomMaskEdit {
  KORCAM_CLASS(TGuardedMaskEdit, TCustomMaskEdit)

 public:
  explicit TGuardedMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
  bool Allow = true;
  int Asked = 0;
  bool EditCanModify() override {
    ++Asked;
    return Allow;
  }
};
KORCAM_REGISTER_CLASS(TGuardedMaskEdit)

class MaskEditTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 120);
    Edit = new TGuardedMaskEdit(Form);
    Edit->SetBounds(10, 10, 200, 24);
    Edit->SetParent(Form);
    Other = new TEdit(Form);
    Other->SetBounds(10, 50, 200, 24);
    Other->SetParent(Form);
    Form->Show();
    Pump();
    Edit->SetFocus();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void Run(const std::vector<TStroke>& Strokes) {
    for (const auto& Stroke : Strokes) {
      if (!Stroke.Text.empty()) {
        InjectText(Stroke.Text);
      } else {
        if (Stroke.Ctrl) InjectKey(VK_CONTROL, true);
        if (Stroke.Shift) InjectKey(VK_SHIFT, true);
        InjectKeyStroke(Stroke.VirtualKey);
        if (Stroke.Shift) InjectKey(VK_SHIFT, false);
        if (Stroke.Ctrl) InjectKey(VK_CONTROL, false);
      }
      Pump();
    }
  }
  TForm* Form;
  TGuardedMaskEdit* Edit;
  TEdit* Other;
};

struct TMaskKeysCase {
  const char* Name;
  const char* Mask;
  const char* Start;  // Text set by the program first
  int Caret;
  std::vector<TStroke> Strokes;
  const char* EditText;
  const char* Text;
  int SelStart;
  int Beeps;
  const char* Clip = "";
};

const TMaskKeysCase MaskKeysCases[] = {
    // CC: typing fills the input positions and skips the literals, from a literal start
    {"phone typed", "(999) 000-0000;1;_", "", 0, {Typed(U"5551234567")}, "(555) 123-4567", "(555) 123-4567", 14, 0},
    // CC: a refused character beeps and changes nothing
    {"letter in a digit position", "000;1;_", "", 0, {Typed(U"1x2")}, "12_", "12 ", 2, 1},
    // CC: typing past the last position beeps
    {"past the end", "00;1;_", "", 0, {Typed(U"123")}, "12", "12", 2, 1},
    // CC: typing the literal itself steps over it
    {"literal typed", "00-00;1;_", "", 0, {Typed(U"1-2")}, "1_-2_", "1 -2 ", 4, 0},
    // CC: at the literal itself, typing it steps over
    {"literal at caret", "00-00;1;_", "12", 2, {Typed(U"-3")}, "12-3_", "12-3 ", 4, 0},
    // CC: the case rule converts typed characters
    {"upper then lower", ">LL<LL;0;_", "", 0, {Typed(U"abCD")}, "ABcd", "ABcd", 4, 0},
    // CC: Backspace blanks the input position before the caret, over a literal
    {"backspace over literal", "000-000;0;_", "123456", 4, {Press(VK_BACK)}, "12_-456", "12 456", 2, 0},
    // CC: Backspace at the start does nothing
    {"backspace at start", "00;0;_", "12", 0, {Press(VK_BACK)}, "12", "12", 0, 0},
    // CC: Delete blanks the position at the caret; the caret stays
    {"delete", "000-000;0;_", "123456", 0, {Press(VK_DELETE)}, "_23-456", " 23456", 0, 0},
    // CC: a selection is blanked as a whole; literals stay
    {"delete selection", "000-000;0;_", "123456", 0, {Press(VK_END, true), Press(VK_DELETE)}, "___-___", "", 0, 0},
    // CC: typing over a selection blanks it first
    {"type over selection", "000-000;1;_", "123456", 0, {Press(VK_END, true), Typed(U"9")}, "9__-___", "9  -   ", 1, 0},
    // CC: paste types the clipboard's characters from the caret
    {"paste", "00-00;1;_", "", 0, {Press('V', false, true)}, "12-34", "12-34", 5, 0, "12-34"},
    // CC: paste of a text that does not fit beeps
    {"paste refused", "00;1;_", "", 0, {Press('V', false, true)}, "__", "  ", 0, 1, "ab"},
    // CC: cut copies the selection and blanks it
    {"cut", "00-00;1;_", "12-34", 0, {Press(VK_RIGHT, true), Press(VK_RIGHT, true), Press('X', false, true)},
     "__-34", "  -34", 0, 0, "12"},
    // CC: Escape gives back the text the control was entered with
    {"escape resets", "000;1;_", "123", 0, {Typed(U"98"), Press(VK_ESCAPE)}, "123", "123", 0, 0},
    // CC: the reverse directive: program text fills the last positions
    {"reverse", "!9999;0;_", "12", 3, {Typed(U"5")}, "__15", "15", 4, 0},
};

TEST_F(MaskEditTest, KeySequencesTable) {
  for (const auto& Case : MaskKeysCases) {
    SCOPED_TRACE(Case.Name);
    Edit->SetEditMask("");
    Edit->SetText("");
    Edit->SetEditMask(Case.Mask);
    Edit->SetText(Case.Start);
    Clipboard()->SetAsText(Case.Clip);
    // Entering again takes the text Escape returns to.
    Other->SetFocus();
    Edit->SetFocus();
    Pump();
    Edit->SetSelStart(Case.Caret);
    Beeps = 0;
    int Changes = 0;
    Edit->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
    Run(Case.Strokes);
    Edit->OnChange = TNotifyEvent();
    EXPECT_EQ(Edit->EditText(), Case.EditText);
    EXPECT_EQ(Edit->Text(), Case.Text);
    EXPECT_EQ(Edit->SelStart(), Case.SelStart);
    EXPECT_EQ(Beeps, Case.Beeps);
    const bool Changed = MaskedText(Case.Mask, Case.Start) != Case.Text ||
                         std::string(Case.Name) == "escape resets";
    EXPECT_EQ(Changes > 0, Changed);
    // Escape leaves an unmodified edit.
    EXPECT_EQ(Edit->Modified(), Changed && std::string(Case.Name) != "escape resets");
  }
}

TEST_F(MaskEditTest, WithoutAMaskItIsThePlainEdit) {
  Edit->SetMaxLength(4);
  Run({Typed(U"abcdef")});
  EXPECT_EQ(Edit->Text(), "abcd");
  EXPECT_EQ(Edit->EditText(), "abcd");
  EXPECT_EQ(Beeps, 2);
  EXPECT_FALSE(Edit->IsMasked());
  EXPECT_NO_THROW(Edit->ValidateEdit());
  Edit->Reset();
  EXPECT_EQ(Edit->Text(), "abcd");
  // Leaving checks nothing and keeps the text.
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Edit->Text(), "abcd");
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(MaskEditTest, MaxLengthFollowsTheMask) {
  Edit->SetMaxLength(3);
  Edit->SetText("12");
  Edit->SetEditMask("00-00;0;_");
  EXPECT_EQ(Edit->MaxLength(), 5);
  EXPECT_EQ(GetOrdProp(Edit, "MaxLength"), 5);
  EXPECT_EQ(Edit->Text(), "12");  // the text survives a new mask
  // A limit set under a mask waits for the mask to go.
  Edit->SetMaxLength(8);
  EXPECT_EQ(Edit->MaxLength(), 5);
  Edit->SetEditMask("");
  EXPECT_EQ(Edit->MaxLength(), 8);
  EXPECT_EQ(Edit->Text(), "12");
}

TEST_F(MaskEditTest, ProgramTextAndEditText) {
  Edit->SetEditMask("00/00;0;*");
  Edit->SetText("1234");
  EXPECT_EQ(Edit->EditText(), "12/34");
  EXPECT_EQ(Edit->Text(), "1234");
  EXPECT_FALSE(Edit->Modified());
  Edit->SetEditText("9x/8");
  EXPECT_EQ(Edit->EditText(), "9*/8*");
  EXPECT_EQ(Edit->Text(), "9 8");
  // The window shows the edit text.
  char Buffer[32] = {};
  GetWindowTextA(Edit->Handle(), Buffer, sizeof(Buffer));
  EXPECT_STREQ(Buffer, "9*/8*");
}

TEST_F(MaskEditTest, EditCanModifyRefusesSilently) {
  Edit->SetEditMask("000;1;_");
  Edit->Allow = false;
  Run({Typed(U"1"), Press(VK_BACK), Press(VK_DELETE)});
  EXPECT_EQ(Edit->EditText(), "___");
  EXPECT_EQ(Beeps, 0);
  EXPECT_EQ(Edit->Asked, 3);
  // The window's read-only flag beeps instead.
  Edit->Allow = true;
  Edit->SetReadOnly(true);
  Run({Typed(U"1")});
  EXPECT_EQ(Edit->EditText(), "___");
  EXPECT_EQ(Beeps, 1);
}

TEST_F(MaskEditTest, ValidateEditRaisesAndPointsAtTheFirstGap) {
  Edit->SetEditMask("00-00;1;_");
  Run({Typed(U"12")});
  try {
    Edit->ValidateEdit();
    ADD_FAILURE() << "no error";
  } catch (const EDBEditError& Error) {
    EXPECT_STREQ(Error.what(), "Invalid input value.  Use escape key to abandon changes");
  }
  EXPECT_EQ(Edit->SelStart(), 3);
  // Leaving with the gap: the error is shown and the focus stays.
  Other->SetFocus();
  Pump();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, std::string(SMaskEditErr) + ".");  // the display ends it
  EXPECT_EQ(GetFocus(), Edit->Handle());
  // Complete, it lets go and puts the caret back at the start.
  Run({Typed(U"34")});
  Other->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), Other->Handle());
  EXPECT_EQ(Edit->SelStart(), 0);
  // An empty optional mask is complete.
  Edit->SetEditMask("99;1;_");
  EXPECT_NO_THROW(Edit->ValidateEdit());
}

}  // namespace
}  // namespace FormsTest
