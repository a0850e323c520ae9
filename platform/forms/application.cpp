#include "platform/forms/application.h"

#include <algorithm>

#include "platform/forms/controlcanvas.h"
#include "platform/forms/datamodule.h"
#include "platform/forms/hintwindow.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/screen.h"
#include "platform/forms/timer.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

const TClassInfo* HintWindowClass = nullptr;

KORCAM_REGISTER_CLASS(TApplication)

TApplication* Application = new TApplication(nullptr);

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::BeforeDestruction() {
  Destroying();
  CancelHint();
  FMouseControl = nullptr;
  TComponent::BeforeDestruction();
}

void TApplication::Initialize() {}

void TApplication::FormCreated(TComponent* Instance) {
  if (FMainForm) return;
  if (auto* Form = dynamic_cast<TCustomForm*>(Instance)) {
    Form->HandleNeeded();
    FMainForm = Form;
    Form->FreeNotification(this);
  }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMainForm) FMainForm = nullptr;
  if (AComponent == FHintWindow) FHintWindow = nullptr;
  if (AComponent == FHintTimer) FHintTimer = nullptr;
}

// ---- the loop --------------------------------------------------------------------------------

void TApplication::Run() {
  FRunning = true;
  try {
    if (FMainForm) {
      if (FShowMainForm) {
        if (FMainForm->WindowState() == wsMinimized)
          Minimize();
        else
          FMainForm->SetVisible(true);
      }
      do {
        try {
          HandleMessage();
        } catch (...) {
          HandleException(this);
        }
      } while (!FTerminate);
    }
  } catch (...) {
    FRunning = false;
    throw;
  }
  FRunning = false;
}

void TApplication::Terminate() {
  FTerminate = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG Message{};
  while (ProcessMessage(Message)) {
  }
}

void TApplication::HandleMessage() {
  MSG Message{};
  if (!ProcessMessage(Message)) {
    if (Idle()) {
      // Nothing to do: wait for the next message (the clock service wakes timers).
      WaitMessage();
    }
  }
}

bool TApplication::ProcessMessage(MSG& Message) {
  if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Message.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  bool Handled = false;
  if (OnMessage) OnMessage(Message, Handled);
  IsHintMsg(Message);
  if (!Handled && !IsKeyMsg(Message)) {
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
  }
  return true;
}

bool TApplication::IsKeyMsg(MSG& Message) {
  if (Message.message < WM_KEYFIRST || Message.message > WM_KEYLAST) return false;
  HWND Window = GetCapture();
  if (!Window) {
    // The nearest window of ours gets the key's pre-pass (CN_KEYDOWN ...).
    Window = Message.hwnd;
    while (Window && !TWinControl::FindControl(Window)) Window = GetParent(Window);
    if (!Window) return false;
  } else if (!TWinControl::FindControl(Window)) {
    return false;
  }
  return SendMessageA(Window, CN_BASE + Message.message, Message.wParam, Message.lParam) != 0;
}

void TApplication::IsHintMsg(const MSG& Message) {
  if (FHintWindow && FHintActive && FHintWindow->IsHintMsg(Message)) CancelHint();
}

bool TApplication::Idle() {
  DoMouseIdle();
  if (FShowHint && !FMouseControl) CancelHint();
  bool Done = true;
  try {
    if (OnIdle) OnIdle(this, Done);
    if (Done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  // The DCs control canvases made for themselves are given back between messages.
  FreeDeviceContexts();
  return Done;
}

void TApplication::DoActionIdle() {
  if (!Screen) return;
  for (int Index = 0; Index < Screen->FormCount(); ++Index) {
    TCustomForm* Form = Screen->Forms(Index);
    if (Form->HandleAllocated() && IsWindowVisible(Form->HandleIfAllocated())) Form->UpdateActions();
  }
  for (int Index = 0; Index < Screen->DataModuleCount(); ++Index) Screen->DataModules(Index)->UpdateActions();
}

// ---- mouse tracking and hints ------------------------------------------------------------------

TControl* FindDragTarget(POINT Pos, bool AllowDisabled) {
  HWND Window = WindowFromPoint(Pos);
  TWinControl* Control = nullptr;
  while (Window && !(Control = TWinControl::FindControl(Window))) Window = GetParent(Window);
  if (!Control) return nullptr;
  POINT Client = Pos;
  ScreenToClient(Window, &Client);
  if (TControl* Child = Control->ControlAtPos(Client, AllowDisabled)) return Child;
  return Control;
}

TWinControl* FindWindowControl(POINT Pos) {
  HWND Window = WindowFromPoint(Pos);
  while (Window) {
    if (TWinControl* Control = TWinControl::FindControl(Window)) return Control;
    Window = GetParent(Window);
  }
  return nullptr;
}

void TApplication::SetMouseControl(TControl* Control) {
  if (Control == FMouseControl) return;
  TControl* Old = FMouseControl;
  FMouseControl = Control;
  if (Old) Old->Perform(CM_MOUSELEAVE, 0, 0);
  // The leave handler may have moved things; only a control still current hears it entered.
  if (Control && FMouseControl == Control) Control->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::DoMouseIdle() {
  POINT P{};
  GetCursorPos(&P);
  TControl* Control = FindDragTarget(P, true);
  TControl* HintSource = Control;
  if (TControl* Capture = GetCaptureControl()) {
    // While a control holds the mouse, only it can be the one the mouse is over, and the hint is
    // its own wherever the mouse is (an open menu's highlighted item).
    if (Control != Capture) Control = nullptr;
    HintSource = Capture;
  }
  SetMouseControl(Control);
  std::string LongHint;
  for (TControl* Walk = HintSource; Walk; Walk = Walk->Parent())
    if (!Walk->Hint().empty()) {
      LongHint = TControl::GetLongHint(Walk->Hint());
      break;
    }
  SetHint(LongHint);
}

void TApplication::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  // The control that got the move is the one the mouse is over now.
  SetMouseControl(Control);
  POINT Screen{Message.XPos(), Message.YPos()};
  try {
    Screen = Control->ClientToScreen(Screen);
  } catch (const Exception&) {
    return;
  }
  TControl* NewHintControl = Control;
  while (NewHintControl && !NewHintControl->ShowHint()) NewHintControl = NewHintControl->Parent();
  if (!FShowHint || !NewHintControl) {
    CancelHint();
    return;
  }
  if (NewHintControl != FHintControl || !PtInRect(&FHintCursorRect, Screen)) {
    const bool WasActive = FHintActive;
    CancelHint();
    FHintControl = NewHintControl;
    FHintCursorRect = RECT{Screen.x - 2, Screen.y - 2, Screen.x + 3, Screen.y + 3};
    StartHintTimer(WasActive ? FHintShortPause : FHintPause, true);
  }
}

void TApplication::StartHintTimer(int32_t Interval, bool Activate) {
  if (!FHintTimer) {
    FHintTimer = new TTimer(this);
    FHintTimer->SetEnabled(false);
    FHintTimer->OnTimer = TNotifyEvent(this, &TApplication::HintTimerExpired);
  }
  FHintTimerActivates = Activate;
  // A pause of 0 shows at once on the next message; the timer's minimum does the rest.
  FHintTimer->SetEnabled(false);
  FHintTimer->SetInterval(uint32_t(std::max(Interval, 1)));
  FHintTimer->SetEnabled(true);
}

void TApplication::StopHintTimer() {
  if (FHintTimer) FHintTimer->SetEnabled(false);
}

void TApplication::HintTimerExpired(TObject*) {
  StopHintTimer();
  if (FHintTimerActivates) {
    POINT P{};
    GetCursorPos(&P);
    ActivateHint(P);
  } else {
    CancelHint();
  }
}

void TApplication::ActivateHint(POINT CursorPos) {
  if (!FHintControl) return;
  std::string Text;
  for (TControl* Walk = FHintControl; Walk; Walk = Walk->Parent())
    if (!Walk->Hint().empty()) {
      Text = TControl::GetShortHint(Walk->Hint());
      break;
    }
  // A control may change or refuse its hint (CM_HINTSHOW answering non-zero).
  if (FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&Text)) != 0 || Text.empty()) {
    FHintActive = false;
    return;
  }
  const TClassInfo* Wanted = HintWindowClass ? HintWindowClass : &THintWindow::StaticClass();
  if (FHintWindow && &FHintWindow->ClassType() != Wanted) {
    THintWindow* Old = FHintWindow;
    FHintWindow = nullptr;
    Old->Free();
  }
  if (!FHintWindow) {
    if (Wanted->CreateComponent) FHintWindow = dynamic_cast<THintWindow*>(Wanted->CreateComponent(this));
    if (!FHintWindow) FHintWindow = new THintWindow(this);
    FHintWindow->SetColor(FHintColor);
  }
  const int MaxWidth = Screen ? Screen->Width() : 640;
  RECT R = FHintWindow->CalcHintRect(MaxWidth, Text, nullptr);
  // Below the cursor, as far down as the cursor's own height.
  OffsetRect(&R, CursorPos.x, CursorPos.y + 16);
  FHintWindow->ActivateHint(R, Text);
  FHintActive = true;
  StartHintTimer(FHintHidePause, false);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
  FHintActive = false;
  FHintControl = nullptr;
}

void TApplication::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (FMouseControl == Control) FMouseControl = nullptr;
  if (FHintControl == Control) CancelHint();
  if (FMainForm == Control) FMainForm = nullptr;
}

// ---- windows ---------------------------------------------------------------------------------

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->HandleIfAllocated(), SW_MINIMIZE);
  for (TMinimizeWatcher* Watcher : std::vector<TMinimizeWatcher*>(FMinimizeWatchers))
    if (std::find(FMinimizeWatchers.begin(), FMinimizeWatchers.end(), Watcher) != FMinimizeWatchers.end())
      Watcher->ApplicationMinimized();
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->HandleIfAllocated(), SW_RESTORE);
  for (TMinimizeWatcher* Watcher : std::vector<TMinimizeWatcher*>(FMinimizeWatchers))
    if (std::find(FMinimizeWatchers.begin(), FMinimizeWatchers.end(), Watcher) != FMinimizeWatchers.end())
      Watcher->ApplicationRestored();
  if (OnRestore) OnRestore(this);
}

void TApplication::AddMinimizeWatcher(TMinimizeWatcher* Watcher) {
  if (std::find(FMinimizeWatchers.begin(), FMinimizeWatchers.end(), Watcher) == FMinimizeWatchers.end())
    FMinimizeWatchers.push_back(Watcher);
}

void TApplication::RemoveMinimizeWatcher(TMinimizeWatcher* Watcher) {
  FMinimizeWatchers.erase(std::remove(FMinimizeWatchers.begin(), FMinimizeWatchers.end(), Watcher),
                          FMinimizeWatchers.end());
}

void TApplication::BringToFront() {
  if (!FMainForm || !FMainForm->HandleAllocated()) return;
  HWND Target = FMainForm->HandleIfAllocated();
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    Target = Screen->ActiveForm()->HandleIfAllocated();
  SetForegroundWindow(Target);
}

// ---- exceptions and message boxes ------------------------------------------------------------

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (EAbort&) {
    // EAbort is the silent exception: it ends what was going on and nothing more.
  } catch (Exception& E) {
    if (OnException)
      OnException(Sender, &E);
    else
      ShowException(E);
  } catch (std::exception& E) {
    Exception Wrapped(E.what());
    if (OnException)
      OnException(Sender, &Wrapped);
    else
      ShowException(Wrapped);
  } catch (...) {
    Exception Unknown("Unknown exception");
    if (OnException)
      OnException(Sender, &Unknown);
    else
      ShowException(Unknown);
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string Text = E.Message();
  if (!Text.empty()) {
    // A full stop goes after a message that ends in a letter or digit (anything above '.').
    unsigned char Last = static_cast<unsigned char>(Text.back());
    if (Last > '.') Text += '.';
  }
  MessageBox(Text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  HWND Owner = nullptr;
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    Owner = Screen->ActiveForm()->HandleIfAllocated();
  else if (FMainForm && FMainForm->HandleAllocated())
    Owner = FMainForm->HandleIfAllocated();
  return MessageBoxA(Owner, Text.c_str(), (Caption.empty() ? FTitle : Caption).c_str(), Flags);
}
