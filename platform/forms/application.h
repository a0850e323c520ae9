#pragma once
// TApplication: the program's message loop and what hangs off it. It creates the forms
// (CreateForm; the first form becomes the main form), runs the loop until the application is
// terminated (closing the main form does that), pre-processes key messages for the controls
// (the CN_KEYDOWN pass that gives dialog keys to the form), tracks which control the mouse is
// over (CM_MOUSEENTER / CM_MOUSELEAVE), shows hints after HintPause, runs idle-time work
// (OnIdle, action updates) when the queue is empty, and shows exceptions that escape a handler.
//
// There is one application object, Application, made when the program starts; tests may put a
// fresh one in its place and restore the old one afterwards.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

class THintWindow;
class TTimer;

// Told when the application is minimised or restored, after its windows changed and before
// OnMinimize / OnRestore run: a tray icon takes the main window off the screen then. A watcher
// adds itself for as long as it lives.
class TMinimizeWatcher {
 public:
  virtual ~TMinimizeWatcher() = default;
  virtual void ApplicationMinimized() = 0;
  virtual void ApplicationRestored() = 0;
};

using TExceptionEvent = TEvent<TObject*, Exception*>;
using TIdleEvent = TEvent<TObject*, bool&>;
using TMessageEvent = TEvent<MSG&, bool&>;

// The class of the window the application shows hints in: THintWindow while this is nullptr; a
// control that shows its own kind of hint (a font's name in that font) names another while it
// does. The next hint comes in a window of the class named then.
extern const TClassInfo* HintWindowClass;

class TApplication : public TComponent {
  KORCAM_CLASS(TApplication, TComponent)

 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;
  void BeforeDestruction() override;

  PLAIN_PROPERTY(std::string, Title, "")
  PLAIN_PROPERTY(bool, ShowMainForm, true)
  PROPERTY(bool, ShowHint, true)
  PLAIN_PROPERTY(int32_t, HintPause, 500)
  PLAIN_PROPERTY(int32_t, HintShortPause, 50)
  PLAIN_PROPERTY(int32_t, HintHidePause, 2500)
  PLAIN_PROPERTY(TColor, HintColor, clInfoBk)

  EVENT(TExceptionEvent, OnException)
  EVENT(TIdleEvent, OnIdle)
  EVENT(TNotifyEvent, OnHint)
  EVENT(TNotifyEvent, OnActivate)
  EVENT(TNotifyEvent, OnDeactivate)
  EVENT(TNotifyEvent, OnMinimize)
  EVENT(TNotifyEvent, OnRestore)

 public:
  TMessageEvent OnMessage;

  // Sets up the back end's state the loop needs; nothing more is required headless.
  void Initialize();
  // Makes a form (or data module) of class T owned by the application, sets Reference before its
  // OnCreate runs, and makes the first form the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* Instance = new T(this);
    Reference = Instance;
    try {
      Instance->AfterConstruction();
    } catch (...) {
      Reference = nullptr;
      Instance->Free();
      throw;
    }
    FormCreated(Instance);
  }
  TCustomForm* MainForm() const { return FMainForm; }

  // Shows the main form (unless ShowMainForm is off) and handles messages until Terminated.
  void Run();
  // Handles every message waiting, then returns (no idle work, no waiting).
  void ProcessMessages();
  // Handles one message; with none waiting, runs the idle work and waits for the next.
  void HandleMessage();
  // Ends Run: posts WM_QUIT.
  void Terminate();
  bool Terminated() const { return FTerminate; }
  // For tests that run the loop more than once.
  void ResetTerminated() { FTerminate = false; }
  bool Running() const { return FRunning; }

  void Minimize();
  void Restore();
  void BringToFront();
  void AddMinimizeWatcher(TMinimizeWatcher* Watcher);
  void RemoveMinimizeWatcher(TMinimizeWatcher* Watcher);

  // The long hint of the control under the mouse; OnHint fires when it changes.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  void CancelHint();
  void ActivateHint(POINT CursorPos);
  THintWindow* HintWindow() const { return FHintWindow; }
  TControl* HintControl() const { return FHintControl; }

  // Call inside a catch block: OnException when assigned, else ShowException. EAbort is silent.
  void HandleException(TObject* Sender);
  // The exception display: the message (with a full stop added when it ends in a letter or
  // digit) in a message box titled with Title, OK button and stop icon.
  void ShowException(const Exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption = "", UINT Flags = 0);

  // The control the mouse is over (CM_MOUSEENTER sent to it), or nullptr.
  TControl* MouseControl() const { return FMouseControl; }
  // Idle work: mouse tracking, hint and action updates, OnIdle. Returns Done.
  bool Idle();

  // Called by the controls.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ControlDestroyed(TControl* Control);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool ProcessMessage(MSG& Message);
  bool IsKeyMsg(MSG& Message);
  void IsHintMsg(const MSG& Message);
  void FormCreated(TComponent* Instance);
  void DoMouseIdle();
  void SetMouseControl(TControl* Control);
  void HintTimerExpired(TObject* Sender);
  void StartHintTimer(int32_t Interval, bool Activate);
  void StopHintTimer();
  void DoActionIdle();

  std::vector<TMinimizeWatcher*> FMinimizeWatchers;
  TCustomForm* FMainForm = nullptr;
  TControl* FMouseControl = nullptr;
  TControl* FHintControl = nullptr;
  THintWindow* FHintWindow = nullptr;
  TTimer* FHintTimer = nullptr;
  bool FHintTimerActivates = false;
  bool FHintActive = false;
  RECT FHintCursorRect{};
  std::string FHint;
  bool FTerminate = false;
  bool FRunning = false;
  bool FHandleCreated = false;
};

extern TApplication* Application;

// The control under a screen point: the windowed control of the window there, or its
// windowless child at that point.
TControl* FindDragTarget(POINT Pos, bool AllowDisabled);
// The control of a window, or its nearest ancestor that has one.
TWinControl* FindWindowControl(POINT Pos);

// A component that refreshes its state when the application is idle (action lists implement
// it); forms and data modules call IdleUpdate on the components they own.
class TIdleUpdater {
 public:
  virtual ~TIdleUpdater() = default;
  virtual void IdleUpdate() = 0;
};
