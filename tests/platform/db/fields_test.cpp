// Fields: conversions in both directions for every field kind, display and edit texts with their
// formats, the refusals with the class library's texts (the record keeps its value), and the
// flags the controls read.

#include "db_fixture.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/stringlist.h"

namespace {

class TFieldKinds : public ::testing::Test {
 protected:
  void SetUp() override {
    Set.reset(new TMemoryDataSet(nullptr));
    TFieldDefs& Defs = *Set->FieldDefs();
    Defs.Add("S", ftString, 5);
    Defs.Add("I", ftInteger);
    Defs.Add("SI", ftSmallint);
    Defs.Add("W", ftWord);
    Defs.Add("L", ftLargeint);
    Defs.Add("F", ftFloat);
    Defs.Add("C", ftCurrency);
    Defs.Add("B", ftBCD, 2);
    Defs.Add("BO", ftBoolean);
    Defs.Add("D", ftDate);
    Defs.Add("T", ftTime);
    Defs.Add("DT", ftDateTime);
    Defs.Add("M", ftMemo);
    Defs.Add("G", ftBlob);
    Set->Open();
    Set->Append();
  }
  TField* F(const char* Name) { return Set->FieldByName(Name); }
  TOwned<TMemoryDataSet> Set;
};

struct TTextCase {
  const char* Name;
  const char* Field;
  const char* Text;     // written with SetText
  const char* Display;  // DisplayText afterwards
  const char* Edit;     // Text afterwards
  const char* Error;    // the refusal's message; the field keeps its value
};

TEST_F(TFieldKinds, TextsBothWaysAndRefusals) {
  const TTextCase Cases[] = {
      {"string", "S", "abc", "abc", "abc", nullptr},
      {"string cut to its size in characters", "S", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5", nullptr},
      {"empty string is null", "S", "", "", "", nullptr},
      {"integer", "I", "-42", "-42", "-42", nullptr},
      {"integer in hex", "I", "$1F", "31", "31", nullptr},
      {"integer refuses letters", "I", "abc", "", "", "'abc' is not a valid integer value for field 'I'"},
      {"integer refuses a fraction", "I", "12.5", "", "",
       "'12.5' is not a valid integer value for field 'I'"},
      {"smallint range", "SI", "40000", "", "",
       "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"word range", "W", "-1", "", "",
       "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
      {"largeint", "L", "9000000000", "9000000000", "9000000000", nullptr},
      {"float", "F", "2.5", "2.5", "2.5", nullptr},
      {"float refuses a thousands separator", "F", "1,5", "", "",
       "'1,5' is not a valid floating point value for field 'F'"},
      {"currency", "C", "12.5", "$12.50", "12.50", nullptr},
      {"bcd keeps its decimals", "B", "2.375", "2.38", "2.38", nullptr},
      {"boolean", "BO", "true", "True", "True", nullptr},
      {"boolean by prefix", "BO", "f", "False", "False", nullptr},
      {"boolean refuses", "BO", "maybe", "", "", "'maybe' is not a valid boolean value for field 'BO'"},
      {"date", "D", "3/15/2021", "3/15/2021", "3/15/2021", nullptr},
      {"time", "T", "13:45:10", "13:45:10", "13:45:10", nullptr},
      {"date and time", "DT", "3/15/2021 13:45", "3/15/2021 13:45:00", "3/15/2021 13:45:00", nullptr},
      {"memo shows its kind", "M", "line", "(MEMO)", "(MEMO)", nullptr},
      {"empty memo", "M", "", "(memo)", "(memo)", nullptr},
  };
  for (const TTextCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TField* Field = F(Case.Field);
    Field->Clear();
    std::string Error;
    try {
      Field->SetText(Case.Text);
    } catch (const Exception& E) {
      Error = E.Message();
    }
    EXPECT_EQ(Error, Case.Error ? Case.Error : "");
    if (Case.Error) {
      EXPECT_TRUE(Field->IsNull());
    }
    EXPECT_EQ(Field->DisplayText(), Case.Display);
    EXPECT_EQ(Field->Text(), Case.Edit);
  }
}

TEST_F(TFieldKinds, ARefusedTextKeepsThePreviousValue) {
  F("I")->SetAsInteger(7);
  F("D")->SetAsDateTime(EncodeDate(2020, 2, 29));
  EXPECT_THROW(F("I")->SetText("seven"), EDatabaseError);
  EXPECT_THROW(F("D")->SetText("2/30/2020"), EConvertError);
  EXPECT_EQ(F("I")->AsInteger(), 7);
  EXPECT_EQ(F("D")->AsDateTime(), EncodeDate(2020, 2, 29));
}

TEST_F(TFieldKinds, TypedAccessors) {
  F("S")->SetAsString("123");
  EXPECT_EQ(F("S")->AsInteger(), 123);
  EXPECT_EQ(F("S")->AsFloat(), 123.0);
  F("S")->SetAsString("abc");
  try {
    F("S")->AsInteger();
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'abc' is not a valid integer value");
  }
  F("S")->SetAsBoolean(true);
  EXPECT_EQ(F("S")->AsString(), "T");
  F("S")->SetAsString("yes");
  EXPECT_TRUE(F("S")->AsBoolean());
  F("S")->SetAsInteger(-5);
  EXPECT_EQ(F("S")->AsString(), "-5");

  F("I")->SetAsFloat(2.5);  // halves round to even
  EXPECT_EQ(F("I")->AsInteger(), 2);
  F("I")->SetAsFloat(3.5);
  EXPECT_EQ(F("I")->AsInteger(), 4);
  EXPECT_EQ(F("I")->AsString(), "4");
  EXPECT_EQ(F("I")->AsFloat(), 4.0);
  try {
    F("I")->AsBoolean();
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Cannot access field 'I' as type Boolean");
  }
  F("F")->SetAsInteger(3);
  EXPECT_EQ(F("F")->AsString(), "3");
  F("F")->SetAsFloat(2.5);
  EXPECT_EQ(F("F")->AsInteger(), 2);
  F("BO")->SetAsBoolean(true);
  EXPECT_EQ(F("BO")->AsString(), "True");
  EXPECT_EQ(F("BO")->AsInteger(), 1);
  F("DT")->SetAsDateTime(EncodeDate(2021, 3, 15) + EncodeTime(6, 0, 0, 0));
  EXPECT_EQ(F("DT")->AsFloat(), EncodeDate(2021, 3, 15) + 0.25);
  F("D")->SetAsDateTime(EncodeDate(2021, 3, 15) + 0.75);  // a date field keeps the day
  EXPECT_EQ(F("D")->AsDateTime(), EncodeDate(2021, 3, 15));
  F("T")->SetAsDateTime(EncodeDate(2021, 3, 15) + 0.75);  // a time field the time of day
  EXPECT_EQ(F("T")->AsDateTime(), 0.75);
  // Values as stored, and back.
  F("L")->SetValue(TFieldValue(int64_t{1} << 40));
  EXPECT_EQ(F("L")->Value(), TFieldValue(int64_t{1} << 40));
  F("S")->SetValue(TFieldValue());
  EXPECT_TRUE(F("S")->IsNull());
  EXPECT_THROW(F("I")->Assign(F("L")), EDatabaseError);  // out of the integer range
  EXPECT_EQ(F("I")->AsInteger(), 4);
  F("I")->Assign(F("S"));  // a null copies as null
  EXPECT_TRUE(F("I")->IsNull());
}

TEST_F(TFieldKinds, NullReadsAsEmptyAndZero) {
  for (TField* Field : *Set->Fields()) {
    SCOPED_TRACE(Field->FieldName());
    EXPECT_TRUE(Field->IsNull());
    if (!Field->IsBlob()) {
      EXPECT_EQ(Field->DisplayText(), "");
      EXPECT_EQ(Field->AsString(), "");
    }
  }
  EXPECT_EQ(F("I")->AsInteger(), 0);
  EXPECT_EQ(F("F")->AsFloat(), 0.0);
  EXPECT_FALSE(F("BO")->AsBoolean());
  EXPECT_EQ(F("DT")->AsDateTime(), 0.0);
}

TEST_F(TFieldKinds, DisplayAndEditFormats) {
  auto* Float = static_cast<TFloatField*>(F("F"));
  Float->SetAsFloat(1234.5);
  Float->SetDisplayFormat("#,##0.00");
  EXPECT_EQ(Float->DisplayText(), "1,234.50");
  EXPECT_EQ(Float->Text(), "1,234.50");  // without an edit format the edit text is formatted too
  Float->SetEditFormat("0.###");
  EXPECT_EQ(Float->Text(), "1234.5");
  EXPECT_EQ(Float->DisplayText(), "1,234.50");
  auto* Integer = static_cast<TIntegerField*>(F("I"));
  Integer->SetAsInteger(7);
  Integer->SetDisplayFormat("000");
  EXPECT_EQ(Integer->DisplayText(), "007");
  auto* Date = static_cast<TDateTimeField*>(F("D"));
  Date->SetAsDateTime(EncodeDate(2021, 3, 5));
  Date->SetDisplayFormat("yyyy-mm-dd");
  EXPECT_EQ(Date->DisplayText(), "2021-03-05");
  EXPECT_EQ(Date->Text(), "3/5/2021");  // editing uses the short date format
  auto* Flag = static_cast<TBooleanField*>(F("BO"));
  Flag->SetDisplayValues("Yes;No");
  Flag->SetText("n");
  EXPECT_FALSE(Flag->AsBoolean());
  EXPECT_EQ(Flag->DisplayText(), "No");
  Flag->SetText("YE");
  EXPECT_EQ(Flag->Text(), "Yes");
  Flag->SetText("");
  EXPECT_TRUE(Flag->IsNull());
  // Locale changes reach the texts.
  TFormatSettings German = DefaultFormatSettings();
  German.DecimalSeparator = ',';
  German.ThousandSeparator = '.';
  TScopedFormatSettings Scope(German);
  EXPECT_EQ(Float->DisplayText(), "1.234,50");
  Float->SetText("2,25");
  EXPECT_EQ(Float->AsFloat(), 2.25);
  EXPECT_TRUE(Float->IsValidChar(U','));
  EXPECT_FALSE(Float->IsValidChar(U'.'));
}

TEST_F(TFieldKinds, OwnRangesOfNumbers) {
  auto* Integer = static_cast<TIntegerField*>(F("I"));
  Integer->SetMinValue(1);
  Integer->SetMaxValue(10);
  EXPECT_THROW(Integer->SetAsInteger(11), EDatabaseError);
  try {
    Integer->SetText("0");
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "0 is not a valid value for field 'I'. The allowed range is 1 to 10");
  }
  Integer->SetAsInteger(10);
  auto* Float = static_cast<TFloatField*>(F("F"));
  Float->SetMaxValue(1.5);
  EXPECT_THROW(Float->SetAsFloat(1.75), EDatabaseError);
  EXPECT_TRUE(Float->IsNull());
}

TEST_F(TFieldKinds, ValidCharactersAndAlignment) {
  struct TCharCase {
    const char* Field;
    char32_t Char;
    bool Valid;
  } Cases[] = {
      {"I", U'7', true}, {"I", U'-', true},      {"I", U'.', false}, {"I", U'e', false},
      {"F", U'.', true}, {"F", U'E', true},      {"F", U'x', false}, {"B", U'.', true},
      {"S", U'x', true}, {"S", U'\u00E9', true}, {"D", U'/', true},  {"W", U'+', true},
  };
  for (const TCharCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Field) + " " + std::to_string(static_cast<uint32_t>(Case.Char)));
    EXPECT_EQ(F(Case.Field)->IsValidChar(Case.Char), Case.Valid);
  }
  EXPECT_EQ(F("I")->Alignment(), taRightJustify);
  EXPECT_EQ(F("C")->Alignment(), taRightJustify);
  EXPECT_EQ(F("S")->Alignment(), taLeftJustify);
  EXPECT_EQ(F("BO")->Alignment(), taLeftJustify);
  EXPECT_EQ(F("D")->Alignment(), taLeftJustify);
}

TEST_F(TFieldKinds, LabelsWidthsAndClasses) {
  EXPECT_EQ(F("S")->DisplayLabel(), "S");
  F("S")->SetDisplayLabel("Short name");
  EXPECT_EQ(F("S")->DisplayLabel(), "Short name");
  EXPECT_EQ(F("S")->DisplayWidth(), 5);
  EXPECT_EQ(F("I")->DisplayWidth(), 11);
  F("I")->SetDisplayWidth(4);
  EXPECT_EQ(F("I")->DisplayWidth(), 4);
  struct TClassCase {
    const char* Field;
    const char* ClassName;
    TFieldType Type;
  } Cases[] = {
      {"S", "TStringField", ftString},      {"I", "TIntegerField", ftInteger},
      {"SI", "TSmallintField", ftSmallint}, {"W", "TWordField", ftWord},
      {"L", "TLargeintField", ftLargeint},  {"F", "TFloatField", ftFloat},
      {"C", "TCurrencyField", ftCurrency},  {"B", "TBCDField", ftBCD},
      {"BO", "TBooleanField", ftBoolean},   {"D", "TDateField", ftDate},
      {"T", "TTimeField", ftTime},          {"DT", "TDateTimeField", ftDateTime},
      {"M", "TMemoField", ftMemo},          {"G", "TBlobField", ftBlob},
  };
  for (const TClassCase& Case : Cases) {
    SCOPED_TRACE(Case.Field);
    EXPECT_EQ(F(Case.Field)->ClassName(), Case.ClassName);
    EXPECT_EQ(F(Case.Field)->DataType(), Case.Type);
  }
  EXPECT_TRUE(F("C")->InheritsFrom("TFloatField"));
  EXPECT_FALSE(F("B")->InheritsFrom("TFloatField"));
  EXPECT_TRUE(F("D")->InheritsFrom("TDateTimeField"));
  EXPECT_TRUE(F("M")->IsBlob());
  EXPECT_EQ(F("I")->FieldNo(), 2);
  EXPECT_EQ(F("I")->Index(), 1);
}

TEST_F(TFieldKinds, ReadOnlyAndCanModify) {
  EXPECT_TRUE(F("S")->CanModify());
  F("S")->SetReadOnly(true);
  EXPECT_FALSE(F("S")->CanModify());
  try {
    F("S")->SetAsString("x");
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'S' cannot be modified");
  }
  Set->Cancel();
  Set->SetReadOnly(true);
  EXPECT_FALSE(F("I")->CanModify());
}

TEST_F(TFieldKinds, ValidateChangeAndTextEvents) {
  TField* Name = F("S");
  std::vector<std::string> Seen;
  Name->OnValidate = TFieldNotifyEvent([&](TField* Field) {
    Seen.push_back("validate " + Field->AsString());
    if (Field->AsString() == "bad") throw EDatabaseError("bad value");
  });
  Name->OnChange = TFieldNotifyEvent([&](TField* Field) { Seen.push_back("change " + Field->AsString()); });
  Name->SetAsString("good");
  EXPECT_THROW(Name->SetAsString("bad"), EDatabaseError);
  EXPECT_EQ(Name->AsString(), "good");
  EXPECT_EQ(Seen, (std::vector<std::string>{"validate good", "change good", "validate bad"}));
  Name->OnGetText = TFieldGetTextEvent([](TField* Field, std::string& Text, bool Display) {
    Text = (Display ? "<" : "[") + Field->AsString() + (Display ? ">" : "]");
  });
  Name->OnSetText =
      TFieldSetTextEvent([](TField* Field, const std::string& Text) { Field->SetAsString(Text + "!"); });
  EXPECT_EQ(Name->DisplayText(), "<good>");
  EXPECT_EQ(Name->Text(), "[good]");
  Name->SetText("ok");
  EXPECT_EQ(Name->AsString(), "ok!");
}

TEST_F(TFieldKinds, BlobsStreamsAndLines) {
  auto* Memo = static_cast<TBlobField*>(F("M"));
  Memo->SetAsString("first\nsecond");
  std::unique_ptr<TStream> Reader = Set->CreateBlobStream(Memo, bmRead);
  std::string Read(static_cast<size_t>(Reader->Size()), '\0');
  Reader->ReadBuffer(Read.data(), static_cast<int32_t>(Read.size()));
  EXPECT_EQ(Read, "first\nsecond");
  EXPECT_THROW(Reader->Write("x", 1), EWriteError);
  EXPECT_EQ(Memo->BlobSize(), 12);
  TStringList Lines;
  Memo->AssignToStrings(Lines);
  EXPECT_EQ(Lines.Count(), 2);
  Lines.Add("third");
  Memo->AssignStrings(Lines);
  EXPECT_EQ(Memo->AsString(), Lines.Text());
  {
    std::unique_ptr<TStream> Writer = Set->CreateBlobStream(F("G"), bmWrite);
    Writer->WriteBuffer("\x01\x02\x00\x03", 4);
  }
  EXPECT_EQ(F("G")->AsString(), std::string("\x01\x02\x00\x03", 4));
  EXPECT_EQ(F("G")->DisplayText(), "(BLOB)");
  TMemoryStream Copy;
  static_cast<TBlobField*>(F("G"))->SaveToStream(Copy);
  EXPECT_EQ(Copy.Size(), 4);
}

TEST(Fields, PersistentFieldsBindByNameAndType) {
  TOwned<TComponent> Form(new TComponent(nullptr));
  auto* Set = new TMemoryDataSet(Form.get());
  Set->FieldDefs()->Add("Code", ftInteger);
  Set->FieldDefs()->Add("Title", ftString, 10);
  auto* Title = new TStringField(Form.get());
  Title->SetFieldName("Title");
  Title->SetDataSet(Set);
  // A form writes the field inside its data set, and reading it back joins them.
  std::vector<TComponent*> Children;
  Set->GetChildren([&](TComponent* Child) { Children.push_back(Child); }, Form.get());
  EXPECT_EQ(Children, std::vector<TComponent*>{Title});
  EXPECT_EQ(Title->GetParentComponent(), Set);
  Set->Open();
  EXPECT_EQ(Set->FieldCount(), 1);  // persistent fields replace the default ones
  EXPECT_EQ(Title->FieldNo(), 2);
  EXPECT_FALSE(Set->DefaultFields());
  try {
    auto* Other = new TStringField(Form.get());
    Other->SetFieldName("Code");
    Other->SetDataSet(Set);
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Cannot perform this operation on an open dataset");
  }
  Set->Close();
  auto* Wrong = new TStringField(Form.get());
  Wrong->SetFieldName("Code");
  Wrong->SetDataSet(Set);
  try {
    Set->Open();
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Type mismatch for field 'Code', expecting: String actual: Integer");
  }
  EXPECT_FALSE(Set->Active());
  Wrong->Free();
  Set->Open();
  EXPECT_TRUE(Set->Active());
  Title->Free();  // freeing a field closes its data set and leaves its list
  EXPECT_FALSE(Set->Active());
  EXPECT_EQ(Set->FieldCount(), 0);
}

}  // namespace
