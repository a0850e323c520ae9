#include "kvcontrols/editors/kvhelpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kvcontrols/editors/kvintl.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/user/input.h"
#include "platform/user/message.h"

namespace {

KORCAM_ENUM(TProbeBorderStyle, pbsNone, pbsSingle)

// A control with the published properties the probes look for.
class TProbeControl : public TComponent {
  KORCAM_CLASS(TProbeControl, TComponent)

 public:
  explicit TProbeControl(TComponent* AOwner) : TComponent(AOwner) {}
  PLAIN_PROPERTY(TDataSource*, DataSource, nullptr)
  PLAIN_PROPERTY(std::string, DataField, "")
  PLAIN_PROPERTY(bool, ReadOnly, false)
  PLAIN_PROPERTY(TProbeBorderStyle, BorderStyle, pbsSingle)
  PLAIN_PROPERTY(bool, WantReturns, true)
  PLAIN_PROPERTY(int32_t, Options, 0x15)
};
KORCAM_REGISTER_CLASS(TProbeControl)

// The same control seen as a window control: its ancestry passes through a class named
// "TWinControl", which is all the probes ask about.
const TClassInfo& WinControlAncestry() {
  static const TClassInfo WinControl = [] {
    TClassInfo Info;
    Info.Name = "TWinControl";
    Info.Parent = &TProbeControl::StaticClass();
    return Info;
  }();
  static const TClassInfo ProbeEdit = [] {
    TClassInfo Info;
    Info.Name = "TProbeEdit";
    Info.Parent = &WinControl;
    return Info;
  }();
  return ProbeEdit;
}

class TProbeEdit : public TProbeControl {
 public:
  using TProbeControl::TProbeControl;
  const TClassInfo& ClassType() const override { return WinControlAncestry(); }
};

// A data set that publishes the library's per-field lists and filter options.
class TProbeDataSet : public TMemoryDataSet {
  KORCAM_CLASS(TProbeDataSet, TMemoryDataSet)

 public:
  explicit TProbeDataSet(TComponent* AOwner) : TMemoryDataSet(AOwner) {}
  PLAIN_PROPERTY(TkvOnFilterOptions, OnFilterOptions)
  ACCESSOR_PROPERTY(TStrings*, PictureMasks, nullptr)

 private:
  TStringList FMasks;
};
KORCAM_REGISTER_CLASS(TProbeDataSet)

TStrings* TProbeDataSet::PictureMasks() const { return const_cast<TStringList*>(&FMasks); }
void TProbeDataSet::SetPictureMasks(TStrings* Value) { FMasks.Assign(*Value); }

template <class T>
struct TFree {
  void operator()(T* Object) const { Object->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree<T>>;

TOwned<TProbeDataSet> MakeAccounts() {
  TOwned<TProbeDataSet> Set(new TProbeDataSet(nullptr));
  Set->FieldDefs()->Add("Code", ftString, 10);
  Set->FieldDefs()->Add("Amount", ftString, 10);
  Set->FieldDefs()->Add("Note", ftString, 20);
  Set->Open();
  Set->AppendRecord({"AB-1", "12", "x"});
  Set->First();
  return Set;
}

TEST(ClassNames, AncestorsMatchWithAsciiCaseFolded) {
  struct TCase {
    const char* Name;
    const TClassInfo* Class;
    std::string Wanted;
    bool Expected;
  };
  const TCase Cases[] = {
      {"own name in lower case", &TkvIntl::StaticClass(), "tkvintl", true},
      {"an ancestor", &TkvIntl::StaticClass(), "TCOMPONENT", true},
      {"every class is a TObject", &TProbeDataSet::StaticClass(), "TObject", true},
      {"a data set by its base name", &TProbeDataSet::StaticClass(), "tdataset", true},
      {"a class this program does not contain", &TProbeDataSet::StaticClass(), "TkvDBRichEditMSWord", false},
      {"a descendant's name does not match", &TComponent::StaticClass(), "TkvIntl", false},
      {"nil", nullptr, "TObject", false},
      // Only a-z fold: a dotted capital I is not an "i".
      {"non-ASCII letters compare unchanged", &TkvIntl::StaticClass(), "TKVİNTL", false},
      {"a window control by ancestry", &WinControlAncestry(), "twincontrol", true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvInheritsFromClassName(Case.Class, Case.Wanted), Case.Expected);
  }
  EXPECT_TRUE(kvIsPaintCopy(0x80));
  EXPECT_FALSE(kvIsPaintCopy(0x7F));
}

TEST(ClassNames, OwnerFormOrFrame) {
  TComponent Form(nullptr);  // not a form: nothing is found
  TComponent* Child = new TComponent(&Form);
  EXPECT_EQ(kvGetOwnerFormOrFrame(Child), nullptr);
  EXPECT_EQ(kvGetOwnerFormOrFrame(nullptr), nullptr);
}

TEST(PropertyProbes, WindowControlsOnlyAndAbsentPropertiesAreNoError) {
  TDataSource Source(nullptr);
  TProbeControl Plain(nullptr);
  TProbeEdit Edit(nullptr);
  TComponent Bare(nullptr);

  // Data source and field are written only into window controls.
  EXPECT_FALSE(kvSetDataSourceProp(&Plain, &Source));
  EXPECT_EQ(Plain.DataSource(), nullptr);
  EXPECT_TRUE(kvSetDataSourceProp(&Edit, &Source));
  EXPECT_EQ(kvGetDataSourceProp(&Edit), &Source);
  EXPECT_FALSE(kvSetDataSourceProp(&Bare, &Source));
  EXPECT_EQ(kvGetDataSourceProp(&Bare), nullptr);

  EXPECT_FALSE(kvSetDataFieldProp(&Plain, "Amount"));
  EXPECT_EQ(Plain.DataField(), "");
  EXPECT_TRUE(kvSetDataFieldProp(&Edit, "Amount"));
  std::string FieldName = "stale";
  kvGetDataFieldProp(&Edit, FieldName);
  EXPECT_EQ(FieldName, "Amount");
  kvGetDataFieldProp(&Bare, FieldName);
  EXPECT_EQ(FieldName, "");
  Plain.SetDataField("Hidden");
  kvGetDataFieldProp(&Plain, FieldName);
  EXPECT_EQ(FieldName, "");

  EXPECT_TRUE(kvSetReadOnlyProp(&Plain, true));
  EXPECT_TRUE(Plain.ReadOnly());
  EXPECT_FALSE(kvSetReadOnlyProp(&Bare, true));

  EXPECT_TRUE(kvHasBorder(&Plain));
  EXPECT_TRUE(kvSetBorderStyleProp(&Plain, false));
  EXPECT_EQ(Plain.BorderStyle(), pbsNone);
  EXPECT_FALSE(kvHasBorder(&Plain));
  EXPECT_FALSE(kvHasBorder(&Bare));
  EXPECT_FALSE(kvSetBorderStyleProp(&Bare, true));

  EXPECT_TRUE(kvGetWantReturnsProp(&Plain));
  EXPECT_FALSE(kvGetWantReturnsProp(&Bare));
  EXPECT_FALSE(kvGetEditCalculatedProp(&Plain));
  EXPECT_EQ(kvGetOrdPropByName(&Plain, "options"), 0x15);
  EXPECT_EQ(kvGetOrdPropByName(&Bare, "Options"), 0);
  EXPECT_EQ(kvGetMasterSourceProp(nullptr), nullptr);
}

TEST(PropertyProbes, FilterOptions) {
  auto Probe = MakeAccounts();
  EXPECT_TRUE(kvGetFilterOptions(Probe.get()).Empty());
  kvSetFilterOptionEnabled(Probe.get(), true);
  EXPECT_EQ(kvGetFilterOptions(Probe.get()), TkvOnFilterOptions{ofoEnabled});
  Probe->SetOnFilterOptions({ofoEnabled, ofoCancelOnEscape});
  EXPECT_EQ(GetOrdProp(Probe.get(), "OnFilterOptions"), 1 + 4);
  kvSetFilterOptionEnabled(Probe.get(), false);
  EXPECT_EQ(Probe->OnFilterOptions(), TkvOnFilterOptions{ofoCancelOnEscape});

  // A data set without the property reports its Filtered state and ignores writes.
  TOwned<TMemoryDataSet> Plain(new TMemoryDataSet(nullptr));
  EXPECT_TRUE(kvGetFilterOptions(Plain.get()).Empty());
  Plain->SetFiltered(true);
  EXPECT_EQ(kvGetFilterOptions(Plain.get()), TkvOnFilterOptions{ofoEnabled});
  kvSetFilterOptionEnabled(Plain.get(), false);
  EXPECT_TRUE(Plain->Filtered());
}

TEST(PropertyProbes, EscapeCancelsAFilterAnyOtherKeyIsDropped) {
  auto Probe = MakeAccounts();
  Probe->SetOnFilterOptions({ofoEnabled});
  MSG Message{};
  while (PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_FALSE(kvEscapeCancelsFilter(Probe.get()));  // nothing pending

  PostThreadMessage(GetCurrentThreadId(), WM_KEYDOWN, 'A', 1);
  EXPECT_FALSE(kvEscapeCancelsFilter(Probe.get()));
  EXPECT_FALSE(PeekMessage(&Message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));  // the key is gone
  EXPECT_EQ(Probe->OnFilterOptions(), TkvOnFilterOptions{ofoEnabled});

  PostThreadMessage(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(kvEscapeCancelsFilter(Probe.get()));
  EXPECT_TRUE(Probe->OnFilterOptions().Empty());
}

TEST(SmallHelpers, ArithmeticAndKeys) {
  EXPECT_EQ(kvClampInt(5, 10, 0), 10);
  EXPECT_EQ(kvClampInt(50, 10, 20), 20);
  EXPECT_EQ(kvClampInt(15, 10, 20), 15);
  EXPECT_EQ(kvScaleByPixelsPerInch(77, 120), 96);
  EXPECT_EQ(kvScaleByPixelsPerInch(-77, 120), -96);
  EXPECT_EQ(kvScaleByPixelsPerInch(24, 96), 24);
  EXPECT_EQ(kvIntMax(3, -4), 3);
  EXPECT_EQ(kvIntMin(3, -4), -4);
  EXPECT_EQ(kvRectWidth(RECT{10, 20, 40, 25}), 30);
  EXPECT_EQ(kvRectHeight(RECT{10, 20, 40, 25}), 5);
  EXPECT_FALSE(kvIsMemoryLow());

  const uint32_t KeyFlags[] = {0, 1, 4, 5, 2, 3, 6, 7};
  for (uint32_t Shift = 0; Shift < 8; ++Shift) {
    SCOPED_TRACE(Shift);
    EXPECT_EQ(kvShiftStateToKeyFlags(Shift), KeyFlags[Shift]);
  }
  EXPECT_EQ(kvShiftStateToKeyFlags(0xF8 | 4), 2u);  // higher bits are not flags

  struct TKeyCase {
    uint16_t Key;
    bool Editing;
  };
  const TKeyCase Keys[] = {{VK_BACK, true}, {VK_SPACE, true}, {VK_DELETE, true}, {VK_ESCAPE, false},
                           {0x2F, false},   {0x30, true},     {0x6F, true},      {0x70, false},
                           {0x91, false},   {0x92, true},     {0xBA, true}};
  for (const auto& Case : Keys) {
    SCOPED_TRACE(Case.Key);
    EXPECT_EQ(kvIsEditingKey(Case.Key), Case.Editing);
  }
  EXPECT_TRUE(kvIsEditorControlType("customedit"));
  EXPECT_TRUE(kvIsEditorControlType("LOOKUPCOMBO"));
  EXPECT_TRUE(kvIsEditorControlType("Combo"));
  EXPECT_TRUE(kvIsEditorControlType("RichEdit"));
  EXPECT_FALSE(kvIsEditorControlType("CheckBox"));
  EXPECT_FALSE(kvIsEditorControlType("Combo "));
}

TEST(SmallHelpers, ModifiedKeysArePostedAndTheKeyboardStateRestored) {
  MSG Message{};
  while (PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
  }
  BYTE Before[256] = {};
  GetKeyboardState(Before);
  // Posting to the thread stands in for a window: the helper only posts.
  kvPostKeyWithModifier(nullptr, VK_TAB, VK_SHIFT);
  BYTE After[256] = {};
  GetKeyboardState(After);
  EXPECT_EQ(std::vector<BYTE>(Before, Before + 256), std::vector<BYTE>(After, After + 256));
  ASSERT_TRUE(PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Message.message, WM_KEYDOWN);
  EXPECT_EQ(Message.wParam, WPARAM(VK_TAB));
  EXPECT_EQ(Message.lParam, 1);
  ASSERT_TRUE(PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Message.message, WM_KEYUP);
  EXPECT_EQ(Message.wParam, WPARAM(VK_TAB));
  EXPECT_FALSE(PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE));
}

TEST(Lists, JoinFindAndFieldsToSelected) {
  TStringList Lines;
  EXPECT_EQ(kvJoinLinesToText(Lines, true), "");
  Lines.Add("один");
  Lines.Add("");
  Lines.Add("three");
  EXPECT_EQ(kvJoinLinesToText(Lines, true), "один  three");
  EXPECT_EQ(kvJoinLinesToText(Lines, false), "один\r\n\r\nthree");

  TStringList Selected;
  Selected.Add("Code\t10\tCode");
  Selected.Add("amount\t8\tSum");
  Selected.Add("Amount\t9\tAgain");
  int Index = -1;
  ASSERT_TRUE(kvFindSelectedEntry(&Selected, "AMOUNT", Index));
  EXPECT_EQ(Index, 1);
  EXPECT_FALSE(kvFindSelectedEntry(&Selected, "Note", Index));
  EXPECT_FALSE(kvFindSelectedEntry(nullptr, "Code", Index));

  auto Accounts = MakeAccounts();
  Accounts->FieldByName("Note")->SetVisible(false);
  Accounts->FieldByName("Amount")->SetDisplayLabel("Сумма");
  Accounts->FieldByName("Amount")->SetDisplayWidth(8);
  Selected.Add("stale");
  kvFieldsToSelected(Accounts.get(), Selected);
  ASSERT_EQ(Selected.Count(), 2);
  EXPECT_EQ(Selected[0], "Code\t10\tCode");
  EXPECT_EQ(Selected[1], "Amount\t8\tСумма");

  std::string Text;
  kvBoolToTF(true, Text);
  EXPECT_EQ(Text, "T");
  kvBoolToTF(false, Text);
  EXPECT_EQ(Text, "F");
}

TEST(PictureMasks, EntriesAreFoundByFieldNameAndOnlyTReadsTrue) {
  auto Accounts = MakeAccounts();
  TStrings* Masks = Accounts->PictureMasks();
  Masks->Add("code\t&&-#\tt\tT");
  Masks->Add("Amount\t*#\tF\tF");
  struct TCase {
    const char* Name;
    std::string Field, Mask;
    bool AutoFill, SecondFlag;
  };
  const TCase Cases[] = {
      {"lower-case entry, upper-case field; a lower-case t is False", "CODE", "&&-#", false, true},
      {"both flags off", "amount", "*#", false, false},
      {"no entry: no mask, both flags True", "Note", "", true, true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::string Mask = "stale";
    bool AutoFill = false, SecondFlag = false;
    kvGetFieldPictureMask(Accounts.get(), Case.Field, true, Mask, AutoFill, SecondFlag);
    EXPECT_EQ(Mask, Case.Mask);
    EXPECT_EQ(AutoFill, Case.AutoFill);
    EXPECT_EQ(SecondFlag, Case.SecondFlag);
  }
  // A component without a PictureMasks list has no masks.
  TComponent Bare(nullptr);
  std::string Mask;
  bool AutoFill = false, SecondFlag = false;
  kvGetFieldPictureMask(&Bare, "Code", false, Mask, AutoFill, SecondFlag);
  EXPECT_EQ(Mask, "");
  EXPECT_TRUE(AutoFill);
}

TEST(PictureMasks, EntriesAreRewrittenDeletedAndAdded) {
  auto Accounts = MakeAccounts();
  TStrings* Masks = Accounts->PictureMasks();
  Masks->Add("Code\t&&-#\tT\tF");
  // Only the auto-fill flag is given: the entry keeps its mask and second flag.
  kvSetFieldPictureMask(Accounts.get(), "CODE", "", false, true, false, true, false);
  EXPECT_EQ((*Masks)[0], "CODE\t&&-#\tF\tF");
  // A new mask for a field without an entry adds a whole entry.
  kvSetFieldPictureMask(Accounts.get(), "Amount", "*#", true, false, true, true, true);
  ASSERT_EQ(Masks->Count(), 2);
  EXPECT_EQ((*Masks)[1], "Amount\t*#\tT\tF");
  std::string Mask;
  bool AutoFill = false, SecondFlag = true;
  kvGetFieldPictureMask(Accounts.get(), "amount", false, Mask, AutoFill, SecondFlag);
  EXPECT_EQ(Mask, "*#");
  EXPECT_TRUE(AutoFill);
  EXPECT_FALSE(SecondFlag);
  // An empty mask deletes the entry; for a field without one it adds nothing.
  kvSetFieldPictureMask(Accounts.get(), "code", "", true, true, true, false, false);
  ASSERT_EQ(Masks->Count(), 1);
  EXPECT_EQ((*Masks)[0], "Amount\t*#\tT\tF");
  kvSetFieldPictureMask(Accounts.get(), "Note", "", true, true, true, true, true);
  EXPECT_EQ(Masks->Count(), 1);
}

TEST(PictureMasks, TextValidityAndTheDataSetCheck) {
  EXPECT_TRUE(kvIsPictureTextValid("###", ""));
  EXPECT_TRUE(kvIsPictureTextValid("###", "123"));
  EXPECT_FALSE(kvIsPictureTextValid("###", "12"));
  EXPECT_TRUE(kvIsPictureTextValid("&&", "жу"));
  EXPECT_FALSE(kvIsPictureTextValid("", "1"));  // a malformed mask accepts no text

  auto Accounts = MakeAccounts();
  Accounts->PictureMasks()->Add("Code\t&&-#\tT\tT");
  Accounts->PictureMasks()->Add("Amount\t###\tT\tT");
  Accounts->FieldByName("Amount")->SetDisplayLabel("Sum");
  std::vector<std::string> Told;
  const TkvInvalidValueEvent OnInvalidValue([&Told](TObject*, TDataSet*, TField* Field) {
    Told.push_back(Field->FieldName());
  });
  // "AB-1" fits; "12" is a digit short.
  try {
    kvValidatePictureMasks(Accounts.get(), OnInvalidValue);
    ADD_FAILURE() << "no error raised";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.Message(), "Invalid characters. Field : Sum");
  }
  EXPECT_EQ(Told, std::vector<std::string>{"Amount"});
  // A read-only field that fails is passed over.
  Accounts->FieldByName("Amount")->SetReadOnly(true);
  Told.clear();
  EXPECT_NO_THROW(kvValidatePictureMasks(Accounts.get(), TkvInvalidValueEvent()));
  EXPECT_TRUE(Told.empty());
}

}  // namespace
