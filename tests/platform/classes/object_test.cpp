#include <gtest/gtest.h>

#include "fixture_classes.h"
#include "platform/classes/classcheck.h"

TEST(ClassIdentity, NamesAndAncestryByName) {
  TFixtureForm Form(nullptr);
  struct TCase {
    const char* Name;
    bool Expected;
  };
  const TCase Cases[] = {
      {"TFixtureForm", true}, {"tfixtureform", true},  // ASCII case-insensitive
      {"TFixturePanel", true}, {"TComponent", true},  {"TPersistent", true},
      {"TObject", true},       {"TFixtureFont", false}, {"TkvDBGrid", false}, {"", false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Form.InheritsFrom(std::string_view(Case.Name)), Case.Expected);
  }
  EXPECT_EQ(Form.ClassName(), "TFixtureForm");
  EXPECT_EQ(Form.ClassParent()->Name, "TFixturePanel");
  EXPECT_EQ(FindClass("tfixturepanel"), &TFixturePanel::StaticClass());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  ASSERT_NE(FindClass("TObject"), nullptr);
}

TEST(ClassIdentity, CheckedCastRaisesInvalidCast) {
  TFixturePanel Panel(nullptr);
  EXPECT_EQ(As<TComponent>(&Panel), &Panel);
  EXPECT_THROW(As<TFixtureForm>(&Panel), EInvalidCast);
}

TEST(Properties, EveryRegisteredClassReadsItsDefaultsBack) {
  const auto Problems = CheckRegisteredClasses();
  for (const auto& Problem : Problems) ADD_FAILURE() << Problem;
}

// The rows a class declares reach its table once, all of them, in declaration order; a descendant
// holds only its own rows and sees its ancestors' through the ancestry.
TEST(Properties, RowsKeepDeclarationOrderAndStayWithTheirClass) {
  auto Names = [](const TClassInfo& Class) {
    std::vector<std::string> Result;
    for (const TPropertyInfo& Info : Class.Properties) Result.push_back(Info.Name);
    for (const TMethodInfo& Info : Class.Methods) Result.push_back(Info.Name + "()");
    return Result;
  };
  const std::vector<std::string> PanelRows = {"Caption", "Left",  "Visible", "Ratio", "Align", "PasswordChar",
                                              "Font",    "Items", "Lines",   "Buddy", "OnClick"};
  EXPECT_EQ(Names(TFixturePanel::StaticClass()), PanelRows);
  EXPECT_EQ(Names(TFixtureForm::StaticClass()), (std::vector<std::string>{"ButtonClick()", "Unrelated()"}));
  EXPECT_EQ(TFixtureForm::StaticClass().PropertyList(), TFixturePanel::StaticClass().PropertyList());
  EXPECT_NE(TFixtureForm::StaticClass().FindMethod("buttonclick"), nullptr);
}

TEST(Properties, ReadAndWriteByName) {
  TFixturePanel Panel(nullptr);
  SetOrdProp(&Panel, "Left", 42);
  SetStrProp(&Panel, "caption", "Кадр");  // names are case-insensitive; text is UTF-8
  SetEnumProp(&Panel, "Align", "faClient");
  SetEnumProp(&Panel, "Visible", "False");
  SetPropValue(&Panel, "Ratio", TValue(static_cast<long double>(0.25)));
  SetPropValue(Panel.Font(), "Style", TValue(static_cast<int64_t>(TFixtureStyles{fsBold, fsUnderline}.Bits())));

  EXPECT_EQ(Panel.Left(), 42);
  EXPECT_EQ(GetOrdProp(&Panel, "LEFT"), 42);
  EXPECT_EQ(Panel.Caption(), "Кадр");
  EXPECT_EQ(GetEnumProp(&Panel, "Align"), "faClient");
  EXPECT_EQ(Panel.Align(), faClient);
  EXPECT_FALSE(Panel.Visible());
  EXPECT_DOUBLE_EQ(Panel.Ratio(), 0.25);
  EXPECT_TRUE(Panel.Font()->Style().Contains(fsUnderline));
  // A set's low byte is its first eight members, bit n for ordinal n.
  EXPECT_EQ(GetOrdProp(Panel.Font(), "Style") & 0xFF, 0b0101);
  EXPECT_EQ(GetObjectProp(&Panel, "Font"), Panel.Font());
}

TEST(Properties, AbsentNamesReadAsAbsentAndWritesRefuse) {
  TFixturePanel Panel(nullptr);
  EXPECT_FALSE(IsPublishedProp(&Panel, "DataSource"));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(GetPropValue(&Panel, "DataSource")));
  EXPECT_EQ(GetOrdProp(&Panel, "NoSuchProperty", -7), -7);
  EXPECT_EQ(GetStrProp(&Panel, "NoSuchProperty"), "");
  EXPECT_EQ(GetObjectProp(&Panel, "NoSuchProperty"), nullptr);
  EXPECT_EQ(GetPropInfo(nullptr, "Left"), nullptr);
  EXPECT_THROW(SetOrdProp(&Panel, "NoSuchProperty", 1), EPropertyError);

  struct TCase {
    const char* Name;
    const char* Property;
    TValue Value;
  };
  const TCase Refused[] = {
      {"enumeration ordinal past the last name", "Align", TValue(int64_t{9})},
      {"integer out of the type's range", "Left", TValue(int64_t{1} << 40)},
      {"string into an integer", "Left", TValue(std::string("12"))},
      {"object of the wrong class", "Buddy", TValue(static_cast<TObject*>(Panel.Font()))},
  };
  for (const auto& Case : Refused) {
    SCOPED_TRACE(Case.Name);
    EXPECT_THROW(SetPropValue(&Panel, Case.Property, Case.Value), EPropertyError);
  }
  EXPECT_EQ(Panel.Left(), 0);
  EXPECT_EQ(Panel.Align(), faNone);
}

TEST(Properties, SetTextBothWays) {
  const TEnumInfo& Info = EnumInfoOf<TFixtureStyleItem>();
  EXPECT_EQ(SetToString(Info, TFixtureStyles{fsBold, fsStrikeOut}.Bits()), "[fsBold, fsStrikeOut]");
  EXPECT_EQ(StringToSet(Info, "[ fsitalic ,fsBold]"), TFixtureStyles({fsBold, fsItalic}).Bits());
  EXPECT_EQ(StringToSet(Info, "[]"), 0u);
  EXPECT_THROW(StringToSet(Info, "[fsBold, fsWide]"), EPropertyError);
}

TEST(Events, ClearedWhenTheTargetIsFreed) {
  TFixturePanel Button(nullptr);
  Button.SetName("Button1");
  auto* Form = new TFixtureForm(nullptr);
  Button.OnClick = TNotifyEvent(Form, &TFixtureForm::ButtonClick);
  ASSERT_TRUE(Button.OnClick);
  Button.OnClick(&Button);
  EXPECT_EQ(Form->Clicks, std::vector<std::string>{"Button1"});
  Form->Free();
  EXPECT_FALSE(Button.OnClick);
  Button.OnClick(&Button);  // calls nothing, no crash
  EXPECT_EQ(Button.OnClick.Target(), nullptr);
}

TEST(Events, BindByNameChecksTheParameterList) {
  TFixtureForm Form(nullptr);
  TNotifyEvent Event;
  EXPECT_TRUE(Event.BindByName(&Form, "buttonclick"));
  EXPECT_EQ(Event.MethodName(), "ButtonClick");
  EXPECT_FALSE(Event.BindByName(&Form, "Unrelated"));    // takes an int
  EXPECT_FALSE(Event.BindByName(&Form, "NoSuchMethod"));
}

TEST(Events, HandlerMayReassignItsOwnEvent) {
  TFixturePanel Button(nullptr);
  int Calls = 0;
  Button.OnClick = TNotifyEvent([&](TObject*) {
    ++Calls;
    Button.OnClick.Clear();
  });
  Button.OnClick(&Button);
  Button.OnClick(&Button);
  EXPECT_EQ(Calls, 1);
}

TEST(Lifetime, FreeDuringOwnDispatchWaitsForTheDispatchToEnd) {
  auto* Panel = new TFixturePanel(nullptr);
  auto Life = Panel->LifeToken();
  {
    TObjectProtector Guard(Panel);
    Panel->Free();
    EXPECT_TRUE(Life->Alive);
    EXPECT_FALSE(Guard.Alive());
    Panel->SetLeft(3);  // still a live object
  }
  EXPECT_FALSE(Life->Alive);
}
