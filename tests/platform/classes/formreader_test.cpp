#include <gtest/gtest.h>

#include "fixture_classes.h"
#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"

namespace {

// A form with nested components, a collection, a set, a sub-object, a string list, binary data,
// a reference read before its target exists, and a handler bound by name.
const char* const FixtureForm = R"(object MainForm: TFixtureForm
  Caption = 'Вебкамера ' + '© 2026'
  Font.Name = 'Liberation Sans'
  Font.Style = [fsBold, fsItalic]
  Ratio = 0.75
  Items = <
    item
      Text = 'first'
    end
    item
      Width = 120
    end>
  object Panel1: TFixturePanel
    Align = faTop
    Buddy = Panel2
    Lines.Strings = (
      'one'
      'it''s two'#13#10'three')
    object Button1: TFixturePanel
      Left = -3
      PasswordChar = '*'
      OnClick = ButtonClick
      RegionData = {0102FF}
    end
  end
  object Panel2: TFixturePanel
    Visible = False
  end
end
)";

}  // namespace

TEST(FormReader, ReadsATreeIntoLiveObjects) {
  TFixtureForm Form(nullptr);
  ReadComponentText(&Form, FixtureForm);

  EXPECT_EQ(Form.Name(), "MainForm");
  EXPECT_EQ(Form.Caption(), "Вебкамера © 2026");
  EXPECT_EQ(Form.Font()->Name(), "Liberation Sans");
  EXPECT_EQ(Form.Font()->Style(), (TFixtureStyles{fsBold, fsItalic}));
  EXPECT_EQ(Form.Font()->Size(), 8);  // untouched sub-object properties keep their defaults
  EXPECT_DOUBLE_EQ(Form.Ratio(), 0.75);
  ASSERT_EQ(Form.Items()->Count(), 2);
  EXPECT_EQ(static_cast<TFixtureItem*>(Form.Items()->Items(0))->Text(), "first");
  EXPECT_EQ(static_cast<TFixtureItem*>(Form.Items()->Items(1))->Width(), 120);

  auto* Panel1 = dynamic_cast<TFixturePanel*>(Form.FindComponent("Panel1"));
  auto* Panel2 = dynamic_cast<TFixturePanel*>(Form.FindComponent("Panel2"));
  auto* Button1 = dynamic_cast<TFixturePanel*>(Form.FindComponent("Button1"));
  ASSERT_TRUE(Panel1 && Panel2 && Button1);
  EXPECT_EQ(Button1->Owner(), &Form);          // the root owns every component
  EXPECT_EQ(Button1->ParentPanel, Panel1);     // nesting gives the parent
  EXPECT_EQ(Panel1->Align(), faTop);
  EXPECT_EQ(Panel1->Buddy(), Panel2);          // resolved after Panel2 was created
  ASSERT_EQ(Panel1->Lines()->Count(), 2);
  EXPECT_EQ(Panel1->Lines()->Strings(1), "it's two\r\nthree");
  EXPECT_EQ(Button1->Left(), -3);
  EXPECT_EQ(Button1->PasswordChar(), U'*');
  EXPECT_EQ(Button1->Region, (std::vector<uint8_t>{0x01, 0x02, 0xFF}));
  EXPECT_FALSE(Panel2->Visible());

  Button1->OnClick(Button1);
  EXPECT_EQ(Form.Clicks, std::vector<std::string>{"Button1"});
  EXPECT_EQ(Button1->OnClick.MethodName(), "ButtonClick");

  // Loaded runs once per component, after every property of every component was set, while the
  // component still says it is loading; the inherited Loaded ends that.
  EXPECT_EQ(Button1->Log.back(), "Loaded Button1 loading");
  EXPECT_FALSE(Button1->ComponentState().Contains(csLoading));
}

TEST(FormReader, WritesOnlyWhatDiffersAndReadsItBack) {
  TFixtureForm Fresh(nullptr);
  Fresh.SetName("Fresh");
  EXPECT_EQ(WriteComponentText(&Fresh), "object Fresh: TFixtureForm\nend\n");

  TFixtureForm Form(nullptr);
  ReadComponentText(&Form, FixtureForm);
  const std::string Written = WriteComponentText(&Form);
  EXPECT_EQ(Written.find("Size ="), std::string::npos);
  EXPECT_NE(Written.find("RegionData = {"), std::string::npos);
  EXPECT_NE(Written.find("OnClick = ButtonClick"), std::string::npos);

  TFixtureForm Copy(nullptr);
  ReadComponentText(&Copy, Written);
  EXPECT_EQ(WriteComponentText(&Copy), Written);
  auto* Button1 = dynamic_cast<TFixturePanel*>(Copy.FindComponent("Button1"));
  ASSERT_NE(Button1, nullptr);
  EXPECT_EQ(Button1->Region, (std::vector<uint8_t>{0x01, 0x02, 0xFF}));
  EXPECT_EQ(dynamic_cast<TFixturePanel*>(Copy.FindComponent("Panel1"))->Buddy(), Copy.FindComponent("Panel2"));
}

TEST(FormReader, BadTextNamesTheLineAndNeverCrashes) {
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Expected;  // part of the message
  };
  const TCase Cases[] = {
      {"unknown class", "object F: TFixtureForm\n  object X: TNoSuchThing\n  end\nend", "Line 2: Class TNoSuchThing not found"},
      {"unknown property", "object F: TFixtureForm\n  Colour = 1\nend", "Line 2: Error reading F.Colour: Property Colour does not exist"},
      {"unknown enumeration name", "object F: TFixtureForm\n\n  Align = faMiddle\nend", "Line 3:"},
      {"string into an integer", "object F: TFixtureForm\n  Left = '12'\nend", "Line 2:"},
      {"integer out of range", "object F: TFixtureForm\n  Left = 99999999999\nend", "Line 2:"},
      {"unknown set element", "object F: TFixtureForm\n  Font.Style = [fsBold, fsWide]\nend", "Line 2:"},
      {"unknown method", "object F: TFixtureForm\n  OnClick = NoSuchHandler\nend", "Method NoSuchHandler not found"},
      {"method of another shape", "object F: TFixtureForm\n  OnClick = Unrelated\nend", "does not fit event OnClick"},
      {"missing reference", "object F: TFixtureForm\n  Buddy = Ghost\nend", "Line 2: Error reading F.Buddy: component Ghost not found"},
      {"duplicate name", "object F: TFixtureForm\n  object A: TFixturePanel\n  end\n  object a: TFixturePanel\n  end\nend", "Line 4:"},
      {"wrong root class", "object F: TFixtureFont\nend", "Line 1:"},
      {"missing end", "object F: TFixtureForm\n  Left = 1\n", "\"end\" expected"},
      {"unterminated string", "object F: TFixtureForm\n  Caption = 'abc\nend", "Line 2: unterminated string"},
      {"odd binary", "object F: TFixtureForm\n  RegionData = {ABC}\nend", "odd number of digits"},
      {"missing resource file", "object F: TFixtureForm\n  RegionData = @'no/such.bin'\nend", "not found"},
      {"text after the end", "object F: TFixtureForm\nend\nend", "Line 3:"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFixtureForm Form(nullptr);
    try {
      ReadComponentText(&Form, Case.Text);
      ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
      EXPECT_NE(E.Message().find(Case.Expected), std::string::npos) << E.Message();
    }
    EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
  }
}

TEST(FormReader, DeepNestingIsRefused) {
  std::string Text;
  for (int Depth = 0; Depth < 500; ++Depth) Text += "object A" + std::to_string(Depth) + ": TFixturePanel\n";
  for (int Depth = 0; Depth < 500; ++Depth) Text += "end\n";
  EXPECT_THROW(ParseFormText(Text), EParserError);
  EXPECT_THROW(ParseFormText("object F: T\n  L = " + std::string(1000, '(') + "\nend"), EParserError);
}

TEST(FormReader, CreatesTheRootByClassName) {
  TComponent Owner(nullptr);
  TComponent* Made = CreateComponentFromText("object P: TFixturePanel\n  Left = 4\nend", &Owner);
  ASSERT_NE(dynamic_cast<TFixturePanel*>(Made), nullptr);
  EXPECT_EQ(Made->Owner(), &Owner);
  EXPECT_EQ(static_cast<TFixturePanel*>(Made)->Left(), 4);
  EXPECT_THROW(CreateComponentFromText("object Q: TFixturePanel\n  Left = x\nend", &Owner), EReadError);
  EXPECT_EQ(Owner.ComponentCount(), 1);  // the failed one was freed
}

TEST(FormReader, BinaryDataFromAnEmbeddedFile) {
  static const uint8_t Bytes[] = {0xDE, 0xAD, 0xBE, 0xEF};
  RegisterResourceData("fixtures/region.bin", Bytes);
  TFixtureForm Form(nullptr);
  ReadComponentText(&Form, "object F: TFixtureForm\n  RegionData = @'Fixtures/Region.bin'\nend\n");
  EXPECT_EQ(Form.Region, (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
  ASSERT_TRUE(FindResourceData("FIXTURES/REGION.BIN"));
  EXPECT_FALSE(FindResourceData("fixtures/other.bin"));
}
