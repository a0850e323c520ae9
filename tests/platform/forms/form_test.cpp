// Forms and data modules: creation from a form resource, showing, closing with its actions,
// modal loops, and the window styles of the form properties.

#include <gtest/gtest.h>

#include "platform/classes/resources.h"
#include "platform/forms/datamodule.h"
#include "platform/forms/timer.h"
#include "tests/platform/forms/controltest.h"

// ---- classes read from resources ---------------------------------------------------------------

class TResourceForm : public TForm {
  KORCAM_CLASS(TResourceForm, TForm)

 public:
  explicit TResourceForm(TComponent* AOwner) : TForm(AOwner) {}
  PUBLISHED_METHOD(FormCreate, TObject* Sender)
  PUBLISHED_METHOD(FormDestroy, TObject* Sender)
  PUBLISHED_METHOD(PanelClick, TObject* Sender)
  std::vector<std::string> Calls;
  static inline std::vector<std::string>* DestroyLog = nullptr;
};
KORCAM_REGISTER_CLASS(TResourceForm)

void TResourceForm::FormCreate(TObject*) {
  // The components exist and are loaded when OnCreate runs; the form is not shown yet.
  TComponent* Box = FindComponent("Box1");
  Calls.push_back(std::string("create ") + (Box ? Box->Name() : "none") +
                  (HandleAllocated() && IsWindowVisible(HandleIfAllocated()) ? " shown" : " hidden"));
}

void TResourceForm::FormDestroy(TObject*) {
  if (DestroyLog) DestroyLog->push_back(FindComponent("Box1") ? "destroy with Box1" : "destroy without Box1");
}

void TResourceForm::PanelClick(TObject* Sender) {
  Calls.push_back("click " + static_cast<TComponent*>(Sender)->Name());
}

class TResourceModule : public TDataModule {
  KORCAM_CLASS(TResourceModule, TDataModule)

 public:
  explicit TResourceModule(TComponent* AOwner) : TDataModule(AOwner) {}
  PUBLISHED_METHOD(ModuleCreate, TObject* Sender)
  PUBLISHED_METHOD(ModuleDestroy, TObject* Sender)
  PUBLISHED_METHOD(TickTimer, TObject* Sender)
  int Created = 0;
  int Ticks = 0;
  static inline int Destroyed = 0;
};
KORCAM_REGISTER_CLASS(TResourceModule)

void TResourceModule::ModuleCreate(TObject*) {
  ++Created;
  // Created in order: the timer exists and is still disabled, as the resource says.
  if (auto* Timer = dynamic_cast<TTimer*>(FindComponent("Timer1"))) Created += Timer->Enabled() ? 100 : 10;
}

void TResourceModule::ModuleDestroy(TObject*) {
  ++Destroyed;
}
void TResourceModule::TickTimer(TObject*) {
  ++Ticks;
}

namespace FormsTest {
namespace {

const char ResourceFormText[] = R"(object ResourceForm: TResourceForm
  Left = 100
  Top = 50
  Width = 300
  Height = 200
  Caption = 'From resource'
  Color = clYellow
  Font.Height = -13
  KeyPreview = True
  Position = poDesigned
  Visible = True
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object Panel1: TTestPanel
    Left = 0
    Top = 0
    Width = 100
    Height = 40
    Align = alTop
    Hint = 'Panel hint'
    ParentColor = True
    OnClick = PanelClick
    object Box1: TTestBox
      Left = 10
      Top = 10
      Width = 50
      Height = 20
      TabOrder = 0
    end
  end
end
)";

const char ResourceModuleText[] = R"(object ResourceModule: TResourceModule
  OldCreateOrder = False
  OnCreate = ModuleCreate
  OnDestroy = ModuleDestroy
  Left = 192
  Top = 107
  Height = 150
  Width = 215
  object Timer1: TTimer
    Enabled = False
    Interval = 250
    OnTimer = TickTimer
  end
end
)";

const bool ResourcesRegistered = [] {
  RegisterResourceData("forms/resourceform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(ResourceFormText),
                                                sizeof(ResourceFormText) - 1));
  RegisterResourceData("forms/modules/test.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(ResourceModuleText),
                                                sizeof(ResourceModuleText) - 1));
  RegisterFormResource("TResourceModule", "forms/modules/test.form");
  return true;
}();

class FormTest : public TFormsTest {};

TEST_F(FormTest, FormIsReadFromItsResourceThenCreatedThenShown) {
  ASSERT_TRUE(ResourcesRegistered);
  EXPECT_EQ(FindFormResource(TResourceForm::StaticClass()), "forms/resourceform.form");
  EXPECT_EQ(FindFormResource(TForm::StaticClass()), "");
  TResourceForm* Form = NewForm<TResourceForm>(nullptr);
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"create Box1 hidden"}));
  EXPECT_EQ(Form->Name(), "ResourceForm");
  EXPECT_EQ(Form->Caption(), "From resource");
  EXPECT_TRUE(Form->KeyPreview());
  auto* Panel = dynamic_cast<TTestPanel*>(Form->FindComponent("Panel1"));
  auto* Box = dynamic_cast<TTestBox*>(Form->FindComponent("Box1"));
  ASSERT_TRUE(Panel && Box);
  EXPECT_EQ(Box->Parent(), Panel);
  EXPECT_EQ(Panel->Parent(), Form);
  EXPECT_EQ(Panel->Color(), clYellow);             // follows the form
  EXPECT_EQ(Box->Font()->Height(), -13);           // through the panel
  EXPECT_EQ(Panel->Width(), Form->ClientWidth());  // aligned once loaded
  // Visible = True in the resource: shown after OnCreate.
  Pump();
  ASSERT_TRUE(Form->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(Form->HandleIfAllocated()));
  EXPECT_EQ(GetWindowTextString(Form->HandleIfAllocated()), "From resource");
  // The bound handler runs on a click.
  POINT P = Panel->ClientToScreen(POINT{80, 30});
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  Pump();
  EXPECT_EQ(Form->Calls.back(), "click Panel1");
  // OnDestroy runs while the components are still there.
  std::vector<std::string> Destroyed;
  TResourceForm::DestroyLog = &Destroyed;
  Form->Free();
  TResourceForm::DestroyLog = nullptr;
  EXPECT_EQ(Destroyed, (std::vector<std::string>{"destroy with Box1"}));
}

TEST_F(FormTest, ABadResourceFailsTheCreationWithoutLeaks) {
  static const char Bad[] = "object ResourceForm: TResourceForm\n  NoSuchProperty = 1\nend\n";
  RegisterResourceData("forms/badresource.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bad), sizeof(Bad) - 1));
  RegisterFormResource("TResourceForm", "forms/badresource.form");
  EXPECT_THROW(NewForm<TResourceForm>(nullptr), EReadError);
  RegisterFormResource("TResourceForm", "forms/resourceform.form");
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormTest, DataModuleIsReadFromItsResource) {
  TResourceModule::Destroyed = 0;
  TResourceModule* Module = nullptr;
  Application->CreateForm(Module);
  ASSERT_TRUE(Module);
  EXPECT_EQ(Module->Created, 11);
  EXPECT_EQ(Module->DesignOffset().x, 192);
  EXPECT_EQ(Module->DesignSize().cy, 150);
  EXPECT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Application->MainForm(), nullptr);  // a data module is never the main form
  auto* Timer = dynamic_cast<TTimer*>(Module->FindComponent("Timer1"));
  ASSERT_TRUE(Timer);
  Timer->SetEnabled(true);
  Advance(1000);
  EXPECT_EQ(Module->Ticks, 4);
  Module->Free();
  EXPECT_EQ(TResourceModule::Destroyed, 1);
  EXPECT_EQ(Screen->DataModuleCount(), 0);
}

struct TCloseCase {
  const char* Name;
  bool CanClose;
  TCloseAction Action;
  bool MainForm;
  // Afterwards:
  bool Visible;
  bool Alive;
  bool Minimized;
  bool Terminated;
};

const TCloseCase CloseCases[] = {
    {"caHide hides", true, caHide, false, false, true, false, false},
    {"caNone keeps it open", true, caNone, false, true, true, false, false},
    {"CloseQuery refuses", false, caHide, false, true, true, false, false},
    {"caMinimize minimises", true, caMinimize, false, true, true, true, false},
    {"caFree frees after the messages", true, caFree, false, false, false, false, false},
    {"main form ends the application", true, caHide, true, true, true, false, true},
    {"main form with caNone stays", true, caNone, true, true, true, false, false},
};

TEST_F(FormTest, CloseActionsTable) {
  for (const auto& Case : CloseCases) {
    SCOPED_TRACE(Case.Name);
    Application->ResetTerminated();
    TForm* Form = nullptr;
    if (Case.MainForm) {
      TApplication* Saved = Application;
      Application = new TApplication(nullptr);
      Saved->Free();
      Application->CreateForm(Form);
      ASSERT_EQ(Application->MainForm(), Form);
    } else {
      Form = NewForm<TForm>(nullptr);
    }
    Form->Show();
    Pump();
    std::vector<std::string> Calls;
    Form->OnCloseQuery = TCloseQueryEvent([&](TObject*, bool& CanClose) {
      Calls.push_back("query");
      CanClose = Case.CanClose;
    });
    Form->OnClose = TCloseEvent([&](TObject*, TCloseAction& Action) {
      Calls.push_back(Action == caHide ? "close caHide" : "close ?");
      Action = Case.Action;
    });
    auto Life = Form->LifeToken();
    // The window's close box arrives as WM_CLOSE.
    PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls.front(), "query");
    EXPECT_EQ(Calls.size(), Case.CanClose ? 2u : 1u);
    EXPECT_EQ(Life->Alive.load(), Case.Alive);
    EXPECT_EQ(Application->Terminated(), Case.Terminated);
    if (Life->Alive) {
      EXPECT_EQ(IsWindowVisible(Form->Handle()) != FALSE, Case.Visible);
      EXPECT_EQ(IsIconic(Form->Handle()) != FALSE, Case.Minimized);
      EXPECT_EQ(Form->WindowState() == wsMinimized, Case.Minimized);
      if (!Case.MainForm) Form->Free();
    }
  }
}

TEST_F(FormTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  TResourceModule* Module = nullptr;
  TForm* Main = nullptr;
  TForm* Second = nullptr;
  Application->CreateForm(Module);
  Application->CreateForm(Main);
  Application->CreateForm(Second);
  EXPECT_EQ(Application->MainForm(), Main);
  bool ShownInRun = false;
  Main->OnShow = TNotifyEvent([&](TObject*) {
    ShownInRun = Application->Running();
    PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
  });
  Application->Run();
  EXPECT_TRUE(ShownInRun);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(IsWindowVisible(Second->Handle()));
  // The application owns what it created.
  EXPECT_EQ(Main->Owner(), Application);
}

TEST_F(FormTest, ShowModalRunsUntilModalResult) {
  TForm* Main = NewForm<TForm>(nullptr);
  Main->Show();
  TForm* Dialog = NewForm<TForm>(nullptr);
  TTimer Timer(nullptr);
  Timer.SetInterval(100);
  int Ticks = 0;
  Timer.OnTimer = TNotifyEvent([&](TObject*) {
    ++Ticks;
    // While the dialog is up the main form takes no input.
    EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
    if (Ticks == 3) Dialog->SetModalResult(mrOk);
  });
  TModalResult Result = mrNone;
  {
    // The modal loop would wait for messages: instead each idle moment lets time pass.
    Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
      FClock->Advance(50);
      Done = false;
    });
    Result = Dialog->ShowModal();
    Application->OnIdle = TIdleEvent();
  }
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(Ticks, 3);
  EXPECT_FALSE(IsWindowVisible(Dialog->Handle()));
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
  Dialog->Free();
  Main->Free();
}

TEST_F(FormTest, FormPropertiesBecomeWindowStyles) {
  TForm* Form = NewForm<TForm>(nullptr);
  Form->SetBounds(0, 0, 200, 100);
  Form->SetPosition(poScreenCenter);
  Form->SetFormStyle(fsStayOnTop);
  Form->SetAlphaBlend(true);
  Form->SetAlphaBlendValue(128);
  Form->Show();
  Pump();
  // Centred on the 800 x 600 screen.
  EXPECT_EQ(Form->Left(), 300);
  EXPECT_EQ(Form->Top(), 250);
  HWND Window = Form->Handle();
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_LAYERED);
  COLORREF Key = 0;
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Window, &Key, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 128);
  EXPECT_EQ(Flags, LWA_ALPHA);
  Form->SetTransparentColor(true);
  Form->SetTransparentColorValue(clFuchsia);
  ASSERT_TRUE(GetLayeredWindowAttributes(Window, &Key, &Alpha, &Flags));
  EXPECT_EQ(Flags, DWORD(LWA_ALPHA | LWA_COLORKEY));
  EXPECT_EQ(Key, COLORREF(clFuchsia));
  Form->SetAlphaBlend(false);
  Form->SetTransparentColor(false);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_LAYERED);
  Form->SetFormStyle(fsNormal);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Border styles: none is a bare pop-up, and the client area is the whole window.
  Form->SetBorderStyle(bsNone);
  Pump();
  Window = Form->Handle();
  EXPECT_TRUE(GetWindowLongA(Window, GWL_STYLE) & WS_POPUP);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(Form->ClientWidth(), Form->Width());
  EXPECT_TRUE(IsWindowVisible(Window));
  Form->SetBorderStyle(bsDialog);
  EXPECT_TRUE(GetWindowLongA(Form->Handle(), GWL_STYLE) & WS_CAPTION);
  EXPECT_LT(Form->ClientWidth(), Form->Width());
  Form->Free();
}

TEST_F(FormTest, MinimizeAndRestoreGoThroughTheApplication) {
  TForm* Main = nullptr;
  Application->CreateForm(Main);
  Main->Show();
  Pump();
  int Minimized = 0, Restored = 0;
  Application->OnMinimize = TNotifyEvent([&](TObject*) { ++Minimized; });
  Application->OnRestore = TNotifyEvent([&](TObject*) { ++Restored; });
  SendMessageA(Main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(Main->Handle()));
  EXPECT_EQ(Main->WindowState(), wsMinimized);
  Application->Restore();
  EXPECT_FALSE(IsIconic(Main->Handle()));
  EXPECT_EQ(Main->WindowState(), wsNormal);
  EXPECT_EQ(Minimized, 1);
  EXPECT_EQ(Restored, 1);
}

// A form that is to start minimised keeps that state while it is hidden, whatever moves or
// resizes it meanwhile, and shows minimised.
TEST_F(FormTest, AHiddenFormKeepsTheStateItIsToShowIn) {
  TForm* Main = nullptr;
  Application->CreateForm(Main);
  Main->SetWindowState(wsMinimized);
  SetWindowPos(Main->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Main->SetWidth(Main->Width() + 10);
  EXPECT_EQ(Main->WindowState(), wsMinimized);
  Main->Show();
  Pump();
  EXPECT_TRUE(IsIconic(Main->Handle()));
  EXPECT_EQ(Main->WindowState(), wsMinimized);
}

}  // namespace
}  // namespace FormsTest
