// The application object: exceptions and their display, message boxes, hints, idle-time work,
// and the screen.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/forms/hintwindow.h"
#include "platform/forms/timer.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class ApplicationTest : public TFormsTest {};

struct TExceptionCase {
  const char* Name;
  std::function<void()> Raise;
  const char* Shown;  // nullptr: nothing shown
};

TEST_F(ApplicationTest, ExceptionsFromHandlersAreShownWithTheTitle) {
  const TExceptionCase Cases[] = {
      {"a full stop is added", [] { throw EConvertError("'12a' is not a valid integer value"); },
       "'12a' is not a valid integer value."},
      {"one is enough", [] { throw EInvalidOperation("Cannot focus a disabled or invisible window."); },
       "Cannot focus a disabled or invisible window."},
      {"none after a quote", [] { throw Exception("Unknown name 'x'"); }, "Unknown name 'x'"},
      {"EAbort is silent", [] { throw EAbort("Operation aborted"); }, nullptr},
      {"other C++ exceptions too", [] { throw std::runtime_error("disk full"); }, "disk full."},
  };
  Application->SetTitle("Korvane Webcam");
  TForm* Form = NewForm<TForm>(nullptr);
  Form->Show();
  Pump();
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Boxes.clear();
    // From a window's handler (a click) and from a timer: the loop goes on either way.
    Form->OnClick = TNotifyEvent([&](TObject*) { Case.Raise(); });
    POINT P = Form->ClientToScreen(POINT{10, 10});
    FClock->Advance(1000);
    InjectMouseClick(VK_LBUTTON, P.x, P.y);
    Pump();
    TTimer Timer(nullptr);
    Timer.SetInterval(10);
    Timer.OnTimer = TNotifyEvent([&](TObject* Sender) {
      static_cast<TTimer*>(Sender)->SetEnabled(false);
      Case.Raise();
    });
    Advance(20);
    if (!Case.Shown) {
      EXPECT_TRUE(Boxes.empty());
      continue;
    }
    ASSERT_EQ(Boxes.size(), 2u);
    for (const auto& Box : Boxes) {
      EXPECT_EQ(Box.Text, Case.Shown);
      EXPECT_EQ(Box.Caption, "Korvane Webcam");
      EXPECT_EQ(Box.Type, UINT(MB_OK | MB_ICONSTOP));
    }
  }
  // With OnException the application shows nothing itself.
  Boxes.clear();
  std::string Caught;
  Application->OnException = TExceptionEvent([&](TObject*, Exception* E) { Caught = E->Message(); });
  Form->OnClick = TNotifyEvent([&](TObject*) { throw EConvertError("bad"); });
  POINT P = Form->ClientToScreen(POINT{10, 10});
  FClock->Advance(1000);
  InjectMouseClick(VK_LBUTTON, P.x, P.y);
  Pump();
  EXPECT_EQ(Caught, "bad");
  EXPECT_TRUE(Boxes.empty());
  Form->Free();
}

TEST_F(ApplicationTest, MessageBoxesTakeScriptedAnswers) {
  Application->SetTitle("WebCam");
  Answers = {IDCANCEL};
  EXPECT_EQ(Application->MessageBox("Save the picture?", "", MB_OKCANCEL), IDCANCEL);
  // Without a script the default button answers.
  EXPECT_EQ(Application->MessageBox("Again?", "Error", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageDlg("Clear the items?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  ShowMessage("Hello");
  ASSERT_EQ(Boxes.size(), 4u);
  EXPECT_EQ(Boxes[0].Caption, "WebCam");
  EXPECT_EQ(Boxes[0].Type, MB_OKCANCEL);
  EXPECT_EQ(Boxes[1].Caption, "Error");
  EXPECT_TRUE(Boxes[2].IsDialog);
  EXPECT_EQ(Boxes[2].Caption, "Confirm");
  EXPECT_EQ(Boxes[2].Buttons, (TMsgDlgButtons{mbYes, mbNo}));
  EXPECT_EQ(Boxes[3].Caption, "WebCam");
}

TEST_F(ApplicationTest, HintShowsAfterThePauseAndHidesAgain) {
  TForm* Form = NewForm<TForm>(nullptr);
  Form->SetBounds(100, 100, 300, 200);
  auto* Panel = new TTestPanel(Form);
  Panel->SetBounds(10, 10, 100, 50);
  Panel->SetParent(Form);
  Panel->SetHint("Capture|Capture an image now");
  Panel->SetShowHint(true);
  auto* Quiet = new TTestPanel(Form);
  Quiet->SetBounds(150, 10, 100, 50);
  Quiet->SetParent(Form);
  Form->Show();
  Pump();
  Application->SetHintPause(500);
  int HintChanges = 0;
  Application->OnHint = TNotifyEvent([&](TObject*) { ++HintChanges; });

  POINT P = Panel->ClientToScreen(POINT{20, 20});
  InjectMouseMove(P.x, P.y);
  Advance(400);
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Advance(150);
  THintWindow* Hint = Application->HintWindow();
  ASSERT_TRUE(Hint);
  EXPECT_TRUE(Hint->Active());
  EXPECT_EQ(Hint->Caption(), "Capture");
  RECT R{};
  GetWindowRect(Hint->Handle(), &R);
  EXPECT_EQ(R.left, P.x);
  EXPECT_GT(R.top, P.y);
  EXPECT_TRUE(GetWindowLongA(Hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The hint never takes the focus from the form.
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  // The long part is the application's hint.
  Application->Idle();
  EXPECT_EQ(Application->Hint(), "Capture an image now");
  EXPECT_EQ(HintChanges, 1);
  // It goes after HintHidePause.
  Advance(2600);
  EXPECT_FALSE(Hint->Active());

  // A key press cancels a shown hint; a control without ShowHint shows none.
  POINT Q = Panel->ClientToScreen(POINT{30, 30});
  InjectMouseMove(Q.x, Q.y);
  Advance(600);
  ASSERT_TRUE(Application->HintWindow()->Active());
  InjectKeyStroke(VK_SHIFT);
  Pump();
  EXPECT_FALSE(Application->HintWindow()->Active());
  POINT Away = Quiet->ClientToScreen(POINT{20, 20});
  InjectMouseMove(Away.x, Away.y);
  Advance(1000);
  EXPECT_FALSE(Application->HintWindow()->Active());
  // CancelHint stops a pending one.
  InjectMouseMove(P.x, P.y);
  Advance(300);
  Application->CancelHint();
  Advance(500);
  EXPECT_FALSE(Application->HintWindow()->Active());
  Form->Free();
}

class TLargeHintWindow : public THintWindow {
  KORCAM_CLASS(TLargeHintWindow, THintWindow)

 public:
  explicit TLargeHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}
};
KORCAM_REGISTER_CLASS(TLargeHintWindow)

TEST_F(ApplicationTest, TheNextHintComesInTheHintWindowClassNamedThen) {
  TForm* Form = NewForm<TForm>(nullptr);
  Form->SetBounds(100, 100, 300, 200);
  auto* Panel = new TTestPanel(Form);
  Panel->SetBounds(10, 10, 100, 50);
  Panel->SetParent(Form);
  Panel->SetHint("Font");
  Panel->SetShowHint(true);
  Form->Show();
  Pump();
  const POINT P = Panel->ClientToScreen(POINT{20, 20});
  InjectMouseMove(P.x, P.y);
  Advance(600);
  ASSERT_TRUE(Application->HintWindow());
  EXPECT_EQ(Application->HintWindow()->ClassName(), "THintWindow");
  HintWindowClass = &TLargeHintWindow::StaticClass();
  Application->CancelHint();
  InjectMouseMove(P.x + 1, P.y);
  Advance(600);
  ASSERT_TRUE(Application->HintWindow());
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TLargeHintWindow");
  EXPECT_TRUE(Application->HintWindow()->Active());
  HintWindowClass = nullptr;
  Form->Free();
}

class TIdleCounter : public TComponent, public TIdleUpdater {
  KORCAM_CLASS(TIdleCounter, TComponent)

 public:
  explicit TIdleCounter(TComponent* AOwner) : TComponent(AOwner) {}
  void IdleUpdate() override { ++Count; }
  int Count = 0;
};
KORCAM_REGISTER_CLASS(TIdleCounter)

TEST_F(ApplicationTest, IdleTimeUpdatesReachVisibleFormsAndDataModules) {
  TForm* Shown = NewForm<TForm>(nullptr);
  TForm* Hidden = NewForm<TForm>(nullptr);
  auto* ShownCounter = new TIdleCounter(Shown);
  auto* HiddenCounter = new TIdleCounter(Hidden);
  Shown->Show();
  Pump();
  int Idles = 0;
  Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
    ++Idles;
    Done = Idles > 1;  // the first time: more to do, so no action updates yet
  });
  EXPECT_FALSE(Application->Idle());
  EXPECT_EQ(ShownCounter->Count, 0);
  EXPECT_TRUE(Application->Idle());
  EXPECT_EQ(ShownCounter->Count, 1);
  EXPECT_EQ(HiddenCounter->Count, 0);
  Shown->Free();
  Hidden->Free();
}

TEST_F(ApplicationTest, ScreenKnowsItsSizeFormsCursorAndFonts) {
  EXPECT_EQ(Screen->Width(), 800);
  EXPECT_EQ(Screen->Height(), 600);
  TForm* A = NewForm<TForm>(nullptr);
  TForm* B = NewForm<TForm>(nullptr);
  EXPECT_EQ(Screen->FormCount(), 2);
  B->Show();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), B);
  // The screen's cursor wins over the controls' own while it is set.
  auto* Panel = new TTestPanel(B);
  Panel->SetBounds(0, 0, 100, 100);
  Panel->SetCursor(crHandPoint);
  Panel->SetParent(B);
  Pump();
  POINT P = Panel->ClientToScreen(POINT{10, 10});
  InjectMouseMove(P.x, P.y);
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  InjectMouseMove(P.x + 1, P.y);
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  A->Free();
  B->Free();
  EXPECT_EQ(Screen->FormCount(), 0);
  EXPECT_EQ(Screen->ActiveForm(), nullptr);
  TStrings* Fonts = Screen->Fonts();
  ASSERT_GT(Fonts->Count(), 0);
  auto* Sorted = dynamic_cast<TStringList*>(Fonts);
  ASSERT_TRUE(Sorted);
  EXPECT_TRUE(Sorted->Sorted());
}

}  // namespace
}  // namespace FormsTest
