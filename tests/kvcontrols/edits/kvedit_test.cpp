// The data-aware edit: typing through a picture mask, Space completion of dates and times, the
// numeric key filter of bound fields, the window read-only rules, a bound edit writing its field,
// text outside ASCII, and the text it paints itself while unfocused.

#include "kvcontrols/editors/kvedit.h"

#include <gtest/gtest.h>

#include "kvcontrols/editors/kvdrawing.h"
#include "platform/db/datasource.h"
#include "platform/db/memorydataset.h"
#include "platform/db/numericfields.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "tests/kvcontrols/edits/kvedittest.h"

namespace FormsTest {
namespace {

class KvEditTest : public TKvEditTest {
 protected:
  void SetUp() override {
    TKvEditTest::SetUp();
    Edit = new TkvDBEdit(Form);
    Edit->SetBounds(10, 10, 160, 24);
    Edit->SetParent(Form);
    Other = new TkvDBEdit(Form);
    Other->SetBounds(10, 50, 160, 24);
    Other->SetParent(Form);
    Form->Show();
    Park();
  }
  TkvDBEdit* Edit = nullptr;
  TkvDBEdit* Other = nullptr;
};

// ---- picture masks -------------------------------------------------------------------------

struct TPictureCase {
  const char* Name;
  const char* Mask;
  bool AutoFill;
  const char* Start;
  int Caret;  // -1: the end
  std::u32string Typed;
  const char* Expected;
  int Beeps;
  int Passing;  // OnCheckValue(true) count
  int Failing;  // OnCheckValue(false) count
};

const TPictureCase PictureCases[] = {
    // Digits fill the mask; auto-fill writes the literal before the caret gets there.
    {"auto-fill adds the literal", "##-##", true, "", 0, U"12", "12-", 0, 0, 2},
    {"complete text", "##-##", true, "", 0, U"1234", "12-34", 0, 1, 3},
    // A letter where a digit belongs, typed at the end, is refused with a beep and not reported.
    {"error at the end beeps", "##-##", true, "1", -1, U"x", "1", 1, 0, 0},
    // Inside the text the window takes the key, and the check reports a failing text.
    {"error inside is let through", "###", false, "12", 1, U"x", "1x2", 0, 0, 1},
    // Upper-casing letters: & makes a letter upper case.
    {"letters change case", "&&&", true, "", 0, U"abc", "ABC", 0, 1, 2},
    // Without auto-fill the literal must be typed.
    {"no auto-fill", "##-##", false, "", 0, U"12-", "12-", 0, 0, 3},
};

TEST_F(KvEditTest, PictureMaskTypingTable) {
  for (const auto& Case : PictureCases) {
    SCOPED_TRACE(Case.Name);
    Edit->Picture()->SetPictureMask(Case.Mask);
    Edit->Picture()->SetAutoFill(Case.AutoFill);
    Edit->SetText(Case.Start);
    Edit->SetFocus();
    Pump();
    Edit->SetSelStart(Case.Caret < 0 ? int(Utf8Length(Case.Start)) : Case.Caret);
    Edit->SetSelLength(0);
    int Passing = 0, Failing = 0;
    Edit->OnCheckValue = TkvValidateEvent([&](TObject*, bool Passes) { ++(Passes ? Passing : Failing); });
    Beeps = 0;
    Type(Case.Typed);
    Edit->OnCheckValue = TkvValidateEvent();
    EXPECT_EQ(Edit->Text(), Case.Expected);
    EXPECT_EQ(Beeps, Case.Beeps);
    EXPECT_EQ(Passing, Case.Passing);
    EXPECT_EQ(Failing, Case.Failing);
  }
}

TEST_F(KvEditTest, ExitWithAnInvalidPictureTextKeepsTheFocusUnlessAllowed) {
  Edit->Picture()->SetPictureMask("##-##");
  Edit->SetFocus();
  Pump();
  Type(U"12");
  Beeps = 0;
  Other->SetFocus();
  Pump();
  EXPECT_TRUE(Edit->Focused());
  EXPECT_TRUE(Edit->DoExitPictureError());
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(Edit->SelLength(), 3);  // the whole text is selected

  Edit->Picture()->SetAllowInvalidExit(true);
  Other->SetFocus();
  Pump();
  EXPECT_TRUE(Other->Focused());
  EXPECT_FALSE(Edit->DoExitPictureError());
}

// ---- Space completion ----------------------------------------------------------------------

TEST_F(KvEditTest, SpaceCompletesADateInTheLocaleOrder) {
  TFormatSettings Settings = DefaultFormatSettings();
  Settings.ShortDateFormat = "M/d/yyyy";
  Settings.DateSeparator = '/';
  TScopedFormatSettings Locale(Settings);
  FClock->SetNow(EncodeDate(2026, 3, 7) + EncodeTime(15, 4, 5, 0));
  Edit->SetUnboundDataType(kvEdtDate);
  Edit->SetFocus();
  Pump();
  const char* Steps[] = {"3/", "3/7/", "3/7/2026", "3/7/2026"};
  for (const char* Expected : Steps) {
    SCOPED_TRACE(Expected);
    Type(U" ");
    EXPECT_EQ(Edit->Text(), Expected);
  }
  // A text typed by hand first gets its separator.
  Edit->SetText("12");
  Edit->SetSelStart(2);
  Type(U" ");
  EXPECT_EQ(Edit->Text(), "12/");
}

TEST_F(KvEditTest, SpaceCompletesATimeWithAnAmPmMarker) {
  FClock->SetNow(EncodeDate(2026, 3, 7) + EncodeTime(15, 4, 5, 0));
  Edit->SetUnboundDataType(kvEdtTime);
  Edit->SetFocus();
  Pump();
  const char* Steps[] = {"3:", "3:04:", "3:04:05", "3:04:05 PM", "3:04:05 PM"};
  for (const char* Expected : Steps) {
    SCOPED_TRACE(Expected);
    Type(U" ");
    EXPECT_EQ(Edit->Text(), Expected);
  }
  EXPECT_TRUE(Edit->Modified());
}

TEST_F(KvEditTest, SpaceIsAnOrdinaryKeyWithCtrlOrWithoutAutoFillDate) {
  Edit->SetUnboundDataType(kvEdtTime);
  Edit->SetAutoFillDate(false);
  Edit->SetFocus();
  Pump();
  Type(U" ");
  EXPECT_EQ(Edit->Text(), " ");
}

// ---- unbound edits -------------------------------------------------------------------------

TEST_F(KvEditTest, ANewEditAcceptsTypingUnlessReadOnly) {
  EXPECT_TRUE(Edit->WindowReadOnly());  // made read-only at the window level
  Edit->SetFocus();
  Pump();
  Type(U"ab");
  EXPECT_EQ(Edit->Text(), "ab");
  EXPECT_FALSE(Edit->WindowReadOnly());

  Other->SetReadOnly(true);
  Other->SetText("keep");
  Other->SetFocus();
  Pump();
  Beeps = 0;
  Type(U"x");
  Key(VK_DELETE);
  EXPECT_EQ(Other->Text(), "keep");
}

TEST_F(KvEditTest, EveryTextChangeOfAnUnboundEditMarksItModified) {
  Edit->SetText("program");
  EXPECT_TRUE(Edit->Modified());
  // Entering clears it again, so a commit sees only what the user did.
  Edit->SetFocus();
  Pump();
  EXPECT_FALSE(Edit->Modified());
  EXPECT_EQ(Edit->StartValue(), "program");
  // Escape gives back the text of the entry.
  Type(U"!");
  Key(VK_ESCAPE);
  EXPECT_EQ(Edit->Text(), "program");
  EXPECT_FALSE(Edit->Modified());
}

TEST_F(KvEditTest, CyrillicTextCountsCharacters) {
  Edit->SetFocus();
  Pump();
  Type(U"Привет");
  EXPECT_EQ(Edit->Text(), "Привет");
  EXPECT_EQ(Edit->SelStart(), 6);
  Key(VK_BACK);
  EXPECT_EQ(Edit->Text(), "Приве");
  // A picture mask of letters takes Cyrillic letters and makes them upper case.
  Other->Picture()->SetPictureMask("&&&");
  Other->SetFocus();
  Pump();
  Type(U"жук");
  EXPECT_EQ(Other->Text(), "ЖУК");
}

// ---- bound edits ---------------------------------------------------------------------------

class KvBoundEditTest : public KvEditTest {
 protected:
  void SetUp() override {
    KvEditTest::SetUp();
    Data = new TMemoryDataSet(Form);
    Data->FieldDefs()->Add("Name", ftString, 10);
    Data->FieldDefs()->Add("Price", ftFloat);
    Data->Open();
    Data->AppendRecord({"Tea", 2.5});
    Data->First();
    Source = new TDataSource(Form);
    Source->SetDataSet(Data);
    Edit->SetDataSource(Source);
    Edit->SetDataField("Name");
    Other->SetDataSource(Source);
    Other->SetDataField("Price");
    Pump();
  }
  TMemoryDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
};

TEST_F(KvBoundEditTest, TypingPostsIntoTheFieldWhenTheEditIsLeft) {
  EXPECT_EQ(Edit->Text(), "Tea");
  EXPECT_EQ(Edit->MaxLength(), 10);  // from the field's size
  Edit->SetFocus();
  Pump();
  Edit->SelectAll();
  Type(U"Coffee");
  EXPECT_EQ(Data->State(), dsEdit);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Data->FieldByName("Name")->AsString(), "Coffee");
  Data->Post();
  EXPECT_EQ(Data->FieldByName("Name")->AsString(), "Coffee");
  EXPECT_EQ(Edit->Text(), "Coffee");
}

TEST_F(KvBoundEditTest, ReadOnlyOnABoundEditLeavesTheWindowToTheLink) {
  Edit->SetReadOnly(true);
  EXPECT_TRUE(Edit->ReadOnly());
  EXPECT_TRUE(Edit->WindowReadOnly());  // the link is not editing
  Edit->SetFocus();
  Pump();
  Type(U"x");
  EXPECT_EQ(Edit->Text(), "Tea");
  EXPECT_EQ(Data->State(), dsBrowse);
}

TEST_F(KvBoundEditTest, AFormattedFloatFieldFiltersKeys) {
  auto* Price = static_cast<TFloatField*>(Data->FieldByName("Price"));
  Price->SetDisplayFormat("0.00");
  Other->SetFocus();
  Pump();
  Other->SelectAll();
  Beeps = 0;
  Type(U"1a.5e");
  EXPECT_EQ(Other->Text(), "1.5e");
  EXPECT_EQ(Beeps, 1);
}

// ---- own painting --------------------------------------------------------------------------

TEST_F(KvEditTest, UnfocusedRightAlignedTextIsPaintedAtTheRightEdge) {
  Edit->SetUnboundAlignment(taRightJustify);
  Edit->SetText("42");
  Edit->Repaint();
  Pump();
  const int Right = InkRight(Edit), Left = InkLeft(Edit);
  EXPECT_GT(Left, Edit->ClientWidth() / 2);
  EXPECT_GE(Right, Edit->ClientWidth() - 8);
  // Focused, the window paints: left aligned again.
  Edit->SetFocus();
  Pump();
  Edit->Repaint();
  Pump();
  EXPECT_LT(InkLeft(Edit), Edit->ClientWidth() / 2);
}

TEST_F(KvEditTest, PasswordCharactersHideEveryCharacterOfOwnPainting) {
  Edit->SetUnboundAlignment(taCenter);
  Edit->SetPasswordChar(U'*');
  Edit->SetText("ab");
  Other->SetUnboundAlignment(taCenter);
  Other->SetPasswordChar(U'*');
  Other->SetText("abcd");
  Form->Repaint();
  Pump();
  // Four stars take about twice the room of two.
  const int Two = InkRight(Edit) - InkLeft(Edit), Four = InkRight(Other) - InkLeft(Other);
  EXPECT_GT(Four, Two + Two / 2);
}

TEST_F(KvEditTest, NonFocusColorFillsTheUnfocusedEdit) {
  Edit->Frame()->SetEnabled(true);
  Edit->Frame()->SetNonFocusColor(clYellow);
  Edit->SetText("x");
  Form->Repaint();
  Pump();
  EXPECT_EQ(PixelAt(Edit, Edit->ClientWidth() - 3, 3), TColor(clYellow));
  Edit->SetFocus();
  Pump();
  Edit->Repaint();
  Pump();
  EXPECT_EQ(PixelAt(Edit, Edit->ClientWidth() - 3, 3), TColor(ColorToRGB(clWindow)));
}

}  // namespace
}  // namespace FormsTest

namespace FormsTest {
namespace {

// The free routine the in-place editors of grids type through.
TEST_F(KvEditTest, PictureMaskKeyPressRoutineTable) {
  struct TCase {
    const char* Name;
    const char* Start;
    int SelStart, SelLength;
    char32_t Key;
    bool Handled;
    const char* Expected;
    int Caret;
    int Beeps;
  };
  const TCase Cases[] = {
      {"caret inside: not handled, key kept", "12", 1, 0, U'3', false, "12", 1, 0},
      {"at the end, auto-filled", "1", 1, 0, U'2', true, "12-", 3, 0},
      {"whole text selected", "12-3", 0, 4, U'9', true, "9", 1, 0},
      {"an error beeps", "12-", 3, 0, U'x', true, "12-", 3, 1},
      {"control characters are not handled", "1", 1, 0, char32_t(8), false, "1", 1, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Edit->SetText(Case.Start);
    Edit->SetSelStart(Case.SelStart);
    Edit->SetSelLength(Case.SelLength);
    Beeps = 0;
    char32_t Key = Case.Key;
    EXPECT_EQ(kvPictureMaskKeyPress(Edit, "##-##", true, Key), Case.Handled);
    EXPECT_EQ(Key, Case.Handled ? char32_t(0) : Case.Key);
    EXPECT_EQ(Edit->Text(), Case.Expected);
    EXPECT_EQ(Edit->SelStart(), Case.Caret);
    EXPECT_EQ(Beeps, Case.Beeps);
  }
}

}  // namespace
}  // namespace FormsTest

namespace FormsTest {
namespace {

TEST_F(KvEditTest, OnKeyPressCanDiscardTyping) {
  // The program's file and folder editors discard every typed key this way.
  Edit->OnKeyPress = TKeyPressEvent([](TObject*, char32_t& Key) {
    if (Key != U'k') Key = 0;
  });
  Edit->SetFocus();
  Pump();
  Type(U"akb");
  EXPECT_EQ(Edit->Text(), "k");
}

}  // namespace
}  // namespace FormsTest
