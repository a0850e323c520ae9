#include "kvcontrols/editors/kvintl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/user/input.h"

namespace {

// Each test gets a fresh global settings object and puts the library's own back afterwards.
class Intl : public ::testing::Test {
 protected:
  void SetUp() override {
    FSaved = kvGlobalIntl;
    kvGlobalIntl = new TkvIntl(nullptr);
  }
  void TearDown() override {
    if (kvGlobalIntl) kvGlobalIntl->Free();
    kvGlobalIntl = FSaved;
  }

 private:
  TkvIntl* FSaved = nullptr;
};

// The string properties of a caption group, in declaration order.
std::vector<const TPropertyInfo*> StringProperties(const TPersistent& Group) {
  std::vector<const TPropertyInfo*> Result;
  for (const TPropertyInfo* Info : Group.ClassType().PropertyList())
    if (Info->Kind == TTypeKind::String) Result.push_back(Info);
  return Result;
}

// Every caption group of a settings object, nested ones included.
std::vector<TPersistent*> Groups(TkvIntl& Intl) {
  TkvDBRichEditIntl* RichEdit = Intl.RichEdit();
  return {Intl.FilterDialog(),       Intl.RichEdit(),           RichEdit->MenuLabels(),
          RichEdit->PopupMenuLabels(), RichEdit->ParagraphDialog(), RichEdit->TabDialog(),
          Intl.SearchDialog(),       Intl.MonthCalendar(),      Intl.LocateDialog(),
          Intl.Navigator(),          Intl.Navigator()->Hints(), Intl.UserMessages()};
}

TEST_F(Intl, TheGlobalObjectExistsFromTheStart) {
  // The library's start code made one before any test ran; SetUp only swapped it.
  TearDown();
  ASSERT_NE(kvGlobalIntl, nullptr);
  EXPECT_EQ(kvGlobalIntl->ClassName(), "TkvIntl");
  SetUp();
}

TEST_F(Intl, DefaultsAndGroupSizes) {
  TkvIntl Intl(nullptr);
  EXPECT_TRUE(Intl.OKCancelBitmapped());
  EXPECT_EQ(Intl.BtnOKCaption(), "&OK");
  EXPECT_EQ(Intl.BtnCancelCaption(), "Cancel");
  EXPECT_EQ(Intl.CheckBoxInGridStyle(), cbStyleAuto);
  EXPECT_EQ(Intl.GridPaintStyle(), gpsDynamicDeviceContext);
  EXPECT_EQ(Intl.FilterMemoSize(), 65536);
  EXPECT_EQ(Intl.IniFileName(), "");
  EXPECT_TRUE(Intl.UseLocateMethodForSearch());
  EXPECT_EQ(Intl.DefaultEpochYear(), 1950);
  EXPECT_FALSE(Intl.Connected());
  EXPECT_TRUE(Intl.ReopenOnCancelRange());
  EXPECT_FALSE(Intl.OnValidationErrorUsingMask);
  EXPECT_TRUE(Intl.ADO()->UseLocateWhenFindingValue());
  EXPECT_EQ(Intl.UserMessages()->PictureValidateError(), "Invalid characters. Field : ");
  EXPECT_EQ(Intl.Navigator()->ConfirmDeleteMessage(), "Delete record?");
  EXPECT_EQ(Intl.Navigator()->Hints()->PriorPageHint(), "Move backward %d records");
  EXPECT_EQ(Intl.FilterDialog()->SummaryCaption(), "");
  EXPECT_EQ(Intl.FilterDialog()->AllSearchedTabHint(), "Show all fields or only currently searched fields");
  EXPECT_EQ(Intl.RichEdit()->MenuLabels()->RedoCaption(), "");
  EXPECT_EQ(Intl.RichEdit()->PopupMenuLabels()->ObjectPropertiesCaption(), "Object P&roperties");
  EXPECT_EQ(Intl.RichEdit()->ParagraphDialog()->HelpContext(), 0);
  EXPECT_EQ(Intl.RichEdit()->TabDialog()->ClearAllButtonHint(), "Clear all the tabs");
  EXPECT_EQ(Intl.LocateDialog()->FieldNameHint(), "Select the field to search on");
  EXPECT_EQ(Intl.MonthCalendar()->EnterYearPrompt(), "Enter Valid Year");
  EXPECT_EQ(Intl.SearchDialog()->StatusRecLabel(), "Rec #");

  // Every group carries exactly its texts: a missing or extra one shows here first.
  const size_t Counts[] = {41, 40, 34, 17, 25, 10, 7, 2, 19, 1, 18, 11};
  const std::vector<TPersistent*> All = Groups(Intl);
  for (size_t Index = 0; Index < All.size(); ++Index) {
    SCOPED_TRACE(All[Index]->ClassName());
    EXPECT_EQ(StringProperties(*All[Index]).size(), Counts[Index]);
  }
  // Texts are found by name, as the library's dialogs read them.
  EXPECT_EQ(GetStrProp(Intl.UserMessages(), "LocateNoMatches"), "No matches found");
}

TEST_F(Intl, ConnectingCopiesEveryValueIntoTheGlobal) {
  TkvIntl Local(nullptr);
  // Mark every text of every group with its own name.
  for (TPersistent* Group : Groups(Local))
    for (const TPropertyInfo* Info : StringProperties(*Group)) Info->Set(*Group, TValue("local " + Info->Name));
  Local.RichEdit()->ParagraphDialog()->SetHelpContext(11);
  Local.RichEdit()->TabDialog()->SetHelpContext(12);
  Local.ADO()->SetUseLocateWhenFindingValue(false);
  Local.SetOKCancelBitmapped(false);
  Local.SetBtnOKCaption("Да");
  Local.SetBtnCancelCaption("Отмена");
  Local.SetCheckBoxInGridStyle(cbStyleXmark);
  Local.SetGridPaintStyle(gpsBitmapCanvas);
  Local.SetUseLocateMethodForSearch(false);
  Local.SetReopenOnCancelRange(false);
  Local.SetDefaultEpochYear(1930);
  Local.SetFilterMemoSize(4096);
  int Calls = 0;
  Local.OnValidationErrorUsingMask = TkvPictureValidationError(
      [&Calls](TObject*, TField*, std::string&, bool& DoDefault) {
        ++Calls;
        DoDefault = false;
      });

  Local.SetConnected(true);

  TkvIntl& Global = *kvGlobalIntl;
  for (TPersistent* Group : Groups(Global)) {
    for (const TPropertyInfo* Info : StringProperties(*Group)) {
      SCOPED_TRACE(Group->ClassName() + "." + Info->Name);
      EXPECT_EQ(std::get<std::string>(Info->Get(*Group)), "local " + Info->Name);
    }
  }
  EXPECT_EQ(Global.RichEdit()->ParagraphDialog()->HelpContext(), 11);
  EXPECT_EQ(Global.RichEdit()->TabDialog()->HelpContext(), 12);
  EXPECT_FALSE(Global.ADO()->UseLocateWhenFindingValue());
  EXPECT_FALSE(Global.OKCancelBitmapped());
  EXPECT_EQ(Global.BtnOKCaption(), "Да");
  EXPECT_EQ(Global.BtnCancelCaption(), "Отмена");
  EXPECT_EQ(Global.CheckBoxInGridStyle(), cbStyleXmark);
  EXPECT_EQ(Global.GridPaintStyle(), gpsBitmapCanvas);
  EXPECT_FALSE(Global.UseLocateMethodForSearch());
  EXPECT_FALSE(Global.ReopenOnCancelRange());
  EXPECT_EQ(Global.DefaultEpochYear(), 1930);
  EXPECT_EQ(kvGetFilterMemoSize(), 4096);
  // The handler came along; Connected did not.
  EXPECT_NO_THROW(Global.DoValidationErrorUsingMask(nullptr, nullptr));
  EXPECT_EQ(Calls, 1);
  EXPECT_FALSE(Global.Connected());
  // The local object keeps its own values.
  EXPECT_EQ(Local.BtnOKCaption(), "Да");
}

TEST_F(Intl, ConnectingTheGlobalItselfCopiesNothing) {
  kvGlobalIntl->SetBtnOKCaption("Global");
  kvGlobalIntl->SetConnected(true);
  EXPECT_TRUE(kvGlobalIntl->Connected());
  EXPECT_EQ(kvGlobalIntl->BtnOKCaption(), "Global");
  // Disconnecting undoes nothing either.
  TkvIntl Local(nullptr);
  Local.SetBtnOKCaption("Local");
  Local.SetConnected(true);
  Local.SetConnected(false);
  EXPECT_EQ(kvGlobalIntl->BtnOKCaption(), "Local");
}

TEST_F(Intl, IniFileNameGetsItsExtensionAppended) {
  struct TCase {
    const char* Name;
    std::string Local, Global;
  };
  const TCase Cases[] = {
      {"a bare name", "app", "app.ini"},
      {"a name with the extension gets it twice", "app.ini", "app.ini.ini"},
      {"empty", "", ""},
      {"exactly the extension", ".ini", ""},
      {"a folder", "/home/юля/настройки", "/home/юля/настройки.ini"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    kvGlobalIntl->SetIniFileName("stale");
    TkvIntl Local(nullptr);
    Local.SetIniFileName(Case.Local);
    Local.SetConnected(true);
    EXPECT_EQ(kvGlobalIntl->IniFileName(), Case.Global);
  }
}

TEST_F(Intl, TheDefaultIniFileNameNeverCollapses) {
  // Test programs have no extension, like every program on Linux.
  const std::string Name = kvDefaultIniFileName();
  EXPECT_EQ(Name, "kvcontrols_tests.ini");
  EXPECT_NE(Name, ".ini");
}

TEST_F(Intl, GridStylesFollowOnlyWhileConnected) {
  TkvIntl Unconnected(nullptr);
  Unconnected.SetGridPaintStyle(gpsBitmapCanvas);
  Unconnected.SetCheckBoxInGridStyle(cbStyleCheckmarkFlat);
  EXPECT_EQ(kvGlobalIntl->GridPaintStyle(), gpsDynamicDeviceContext);
  EXPECT_EQ(kvGlobalIntl->CheckBoxInGridStyle(), cbStyleAuto);

  TkvIntl Connected(nullptr);
  Connected.SetConnected(true);
  Connected.SetGridPaintStyle(gpsBitmapCanvas);
  EXPECT_EQ(kvGlobalIntl->GridPaintStyle(), gpsBitmapCanvas);
  Connected.SetCheckBoxInGridStyle(cbStyleCheckmark);
  EXPECT_EQ(kvGlobalIntl->CheckBoxInGridStyle(), cbStyleCheckmark);
  // Other values wait for the next copy: when the form has loaded, or Connected is set again.
  Connected.SetBtnCancelCaption("Abbrechen");
  EXPECT_EQ(kvGlobalIntl->BtnCancelCaption(), "Cancel");
  Connected.Loaded();
  EXPECT_EQ(kvGlobalIntl->BtnCancelCaption(), "Abbrechen");
  Unconnected.SetBtnCancelCaption("Nope");
  Unconnected.Loaded();
  EXPECT_EQ(kvGlobalIntl->BtnCancelCaption(), "Abbrechen");
}

TEST_F(Intl, ThePictureMaskError) {
  int Beeps = 0;
  const TMessageBeepSink Previous = SetMessageBeepSink([&Beeps](UINT) { ++Beeps; });
  struct TCase {
    const char* Name;
    bool HasHandler, HandlerKeepsDefault;
    std::string NewMessage;  // empty: the handler leaves the message alone
    bool Raises;
    std::string Message;
  };
  const TCase Cases[] = {
      {"no handler", false, true, "", true, "Invalid input value.  Use escape key to abandon changes"},
      {"a handler that changes the message", true, true, "Только цифры", true, "Только цифры"},
      {"a handler that suppresses the error", true, false, "", false, ""},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Beeps = 0;
    TkvIntl& Global = *kvGlobalIntl;
    Global.OnValidationErrorUsingMask.Clear();
    TObject* SeenSender = nullptr;
    TObject Sender;
    if (Case.HasHandler) {
      Global.OnValidationErrorUsingMask = TkvPictureValidationError(
          [&](TObject* From, TField*, std::string& Message, bool& DoDefault) {
            SeenSender = From;
            EXPECT_EQ(Message, "Invalid input value.  Use escape key to abandon changes");
            EXPECT_TRUE(DoDefault);
            if (!Case.NewMessage.empty()) Message = Case.NewMessage;
            DoDefault = Case.HandlerKeepsDefault;
          });
    }
    std::string Raised;
    try {
      Global.DoValidationErrorUsingMask(&Sender, nullptr);
    } catch (const EInvalidOperation& Error) {
      Raised = Error.Message();
    }
    EXPECT_EQ(Raised, Case.Message);
    EXPECT_EQ(Beeps, Case.Raises ? 1 : 0);
    if (Case.HasHandler) {
      EXPECT_EQ(SeenSender, &Sender);
    }
  }
  kvGlobalIntl->OnValidationErrorUsingMask.Clear();
  SetMessageBeepSink(Previous);
}

TEST_F(Intl, DestroyingTheGlobalClearsIt) {
  TkvIntl* Other = new TkvIntl(nullptr);
  Other->Free();
  EXPECT_NE(kvGlobalIntl, nullptr);
  kvGlobalIntl->Free();
  EXPECT_EQ(kvGlobalIntl, nullptr);
}

}  // namespace
