// Menus, action managers and tool bars read from form text: items under their menu and under
// each other, the default item, hints, items and tool-bar entries that show actions of the
// manager, handlers bound by name; the text written back reads the same; misplaced items fail.

#include <gtest/gtest.h>

#include "platform/classes/formreader.h"
#include "platform/forms/actionmanager.h"
#include "platform/forms/actiontoolbar.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/menus.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {

class TCommandsForm : public TForm {
  KORCAM_CLASS(TCommandsForm, TForm)

 public:
  explicit TCommandsForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  PUBLISHED_FIELD(TActionManager, Manager)
  PUBLISHED_FIELD(TAction, ActionOpen)
  PUBLISHED_FIELD(TAction, ActionExit)
  PUBLISHED_FIELD(TPopupMenu, PopupMenuTray)
  PUBLISHED_FIELD(TMenuItem, Open1)
  PUBLISHED_FIELD(TActionToolBar, ToolBar1)
  PUBLISHED_METHOD(OpenExecute, TObject* Sender)
  PUBLISHED_METHOD(ExitExecute, TObject* Sender)
  PUBLISHED_METHOD(Open1Click, TObject* Sender)
  PUBLISHED_METHOD(PopupMenuTrayPopup, TObject* Sender)
  std::string Log;
};

KORCAM_REGISTER_CLASS(TCommandsForm)

void TCommandsForm::OpenExecute(TObject*) { Log += "OpenExecute;"; }
void TCommandsForm::ExitExecute(TObject*) { Log += "ExitExecute;"; }
void TCommandsForm::Open1Click(TObject*) { Log += "Open1Click;"; }
void TCommandsForm::PopupMenuTrayPopup(TObject*) { Log += "Popup;"; }

namespace {

const char* const CommandsText = R"(object CommandsForm: TCommandsForm
  Caption = 'Commands'
  ClientWidth = 300
  ClientHeight = 120
  object Images: TImageList
  end
  object Manager: TActionManager
    Images = Images
    object ActionOpen: TAction
      Caption = 'Open'
      Hint = 'Open the window'
      ShortCut = 16463
      OnExecute = OpenExecute
    end
    object ActionExit: TAction
      Caption = 'Exit'
      Hint = 'Application Close'
      OnExecute = ExitExecute
    end
  end
  object PopupMenuTray: TPopupMenu
    OnPopup = PopupMenuTrayPopup
    object Open1: TMenuItem
      Caption = 'Open'
      Default = True
      OnClick = Open1Click
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object More1: TMenuItem
      Caption = 'More'
      object Exit2: TMenuItem
        Action = ActionExit
      end
    end
    object Close1: TMenuItem
      Caption = 'Exit'
      Hint = 'Application Close'
    end
  end
  object ToolBar1: TActionToolBar
    ActionManager = Manager
    HorzMargin = 5
    Items = <
      item
        Action = ActionOpen
      end
      item
        Caption = '-'
      end
      item
        Caption = 'View'
        Items = <
          item
            Action = ActionExit
          end>
      end>
  end
end
)";

struct TFreeForm {
  void operator()(TForm* Form) const { Form->Free(); }
};
using TFormHolder = std::unique_ptr<TCommandsForm, TFreeForm>;

TFormHolder ReadCommands(const std::string& Text) {
  TFormHolder Form(new TCommandsForm(nullptr));
  ReadComponentText(Form.get(), Text);
  return Form;
}

class FromTextTest : public TFormsTest {};

TEST_F(FromTextTest, AMenuAndAToolBarReadFromFormText) {
  TFormHolder Form = ReadCommands(CommandsText);
  // Fields bound, handlers bound by name.
  ASSERT_NE(Form->PopupMenuTray, nullptr);
  ASSERT_NE(Form->Open1, nullptr);
  TMenuItem* Root = Form->PopupMenuTray->Items();
  ASSERT_EQ(Root->Count(), 4);
  EXPECT_EQ(Root->Items(0), Form->Open1);
  EXPECT_TRUE(Root->Items(1)->IsLine());
  EXPECT_EQ(Root->DefaultItem(), Form->Open1);
  EXPECT_EQ(Root->Items(3)->Hint(), "Application Close");
  // An item inside an item; it shows the manager's action.
  TMenuItem* More = Root->Items(2);
  ASSERT_EQ(More->Count(), 1);
  EXPECT_EQ(More->Items(0)->Action(), Form->ActionExit);
  EXPECT_EQ(More->Items(0)->Caption(), "Exit");
  EXPECT_EQ(More->Items(0)->Hint(), "Application Close");
  More->Items(0)->Click();
  Form->Open1->Click();
  EXPECT_EQ(Form->Log, "ExitExecute;Open1Click;");
  // The actions are in their manager, in order; the shortcut is Ctrl+O.
  ASSERT_EQ(Form->Manager->ActionCount(), 2);
  EXPECT_EQ(Form->Manager->Actions(0), Form->ActionOpen);
  EXPECT_EQ(ShortCutToText(Form->ActionOpen->ShortCut()), "Ctrl+O");
  // The tool bar: its entries, the manager's images, a drop-down entry.
  TActionToolBar* Bar = Form->ToolBar1;
  ASSERT_EQ(Bar->ButtonCount(), 3);
  EXPECT_EQ(Bar->Buttons(0)->Caption(), "Open");
  EXPECT_TRUE(Bar->Buttons(1)->IsSeparator());
  EXPECT_TRUE(Bar->Buttons(2)->HasDropDown());
  EXPECT_EQ(Bar->Images(), Form->FindComponent("Images"));
  EXPECT_EQ(Bar->Buttons(0)->Left(), 5);
}

TEST_F(FromTextTest, WrittenBackItReadsTheSame) {
  TFormHolder Form = ReadCommands(CommandsText);
  const std::string Written = WriteComponentText(Form.get());
  TFormHolder Copy = ReadCommands(Written);
  TMenuItem* Root = Copy->PopupMenuTray->Items();
  ASSERT_EQ(Root->Count(), 4);
  EXPECT_EQ(Root->DefaultItem(), Copy->Open1);
  ASSERT_EQ(Root->Items(2)->Count(), 1);
  EXPECT_EQ(Root->Items(2)->Items(0)->Action(), Copy->ActionExit);
  ASSERT_EQ(Copy->ToolBar1->Items()->Count(), 3);
  EXPECT_EQ(Copy->ToolBar1->Items()->Items(2)->Items()->Count(), 1);
  EXPECT_EQ(Copy->ToolBar1->Items()->Items(0)->Action(), Copy->ActionOpen);
  EXPECT_EQ(Copy->Manager->ActionCount(), 2);
  EXPECT_EQ(WriteComponentText(Copy.get()), Written);
}

TEST_F(FromTextTest, MisplacedItemsAndActionsFailToLoad) {
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Message;
  };
  const TCase Cases[] = {
      {"a menu item outside a menu", R"(object CommandsForm: TCommandsForm
  object Images: TImageList
    object Item1: TMenuItem
    end
  end
end
)",
       "A menu item can only be placed in a menu or in another menu item"},
      {"an action outside a list", R"(object CommandsForm: TCommandsForm
  object Action1: TAction
  end
end
)",
       "An action can only be placed in an action list"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFormHolder Form(new TCommandsForm(nullptr));
    try {
      ReadComponentText(Form.get(), Case.Text);
      ADD_FAILURE() << "read without error";
    } catch (const EReadError& E) {
      EXPECT_NE(E.Message().find(Case.Message), std::string::npos) << E.Message();
    }
  }
}

}  // namespace
}  // namespace FormsTest
