#include "platform/forms/form.h"

#include <map>
#include <utility>

#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"
#include "platform/forms/actionlist.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomForm)
KORCAM_REGISTER_CLASS(TForm)

namespace {

std::map<std::string, std::string>& FormResourceTable() {
  static std::map<std::string, std::string> Table;
  return Table;
}

const char* const CannotFocus = "Cannot focus a disabled or invisible window";

}  // namespace

void RegisterFormResource(const std::string& ClassName, const std::string& ResourceName) {
  FormResourceTable()[UpperCase(ClassName)] = ResourceName;
}

std::string FindFormResource(const TClassInfo& Class) {
  for (const TClassInfo* Walk = &Class; Walk; Walk = Walk->Parent) {
    if (SameText(Walk->Name, "TForm") || SameText(Walk->Name, "TCustomForm") ||
        SameText(Walk->Name, "TDataModule"))
      break;
    auto& Table = FormResourceTable();
    auto Where = Table.find(UpperCase(Walk->Name));
    if (Where != Table.end()) return Where->second;
    std::string Base = Walk->Name;
    if (!Base.empty() && (Base[0] == 'T' || Base[0] == 't')) Base.erase(0, 1);
    std::string Candidate = "forms/" + LowerCase(Base) + ".form";
    if (FindResourceData(Candidate)) return Candidate;
  }
  return std::string();
}

// ---- creation and destruction ----------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner, int) : TWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FBrush->SetColor(clBtnFace);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FResourceRead = true;  // CreateNew: no resource
  if (Screen) Screen->AddForm(this);
  AddGlobalRoot(this);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomForm(AOwner, 0) {
  FResourceRead = false;
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  RemoveGlobalRoot(this);
}

bool TCustomForm::InitInheritedComponent() {
  if (FResourceRead) return false;
  FResourceRead = true;
  const std::string Resource = FindFormResource(ClassType());
  if (Resource.empty()) return false;
  FFormState.Include(fsCreating);
  try {
    ReadComponentResource(this, Resource);
  } catch (...) {
    FFormState.Exclude(fsCreating);
    throw;
  }
  FFormState.Exclude(fsCreating);
  return true;
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  InitInheritedComponent();
  DoCreate();
  if (FFormState.Contains(fsActivated)) {
    FFormState.Exclude(fsActivated);
    Activate();
  }
}

void TCustomForm::DoCreate() {
  // An exception out of OnCreate leaves the creation: whoever creates the form decides.
  if (OnCreate) OnCreate(this);
  if (FFormState.Contains(fsVisible)) {
    FFormState.Exclude(fsVisible);
    SetVisible(true);
  }
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (FVisible) {
    try {
      Hide();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  DoDestroy();
  if (Screen) Screen->RemoveForm(this);
  RemoveGlobalRoot(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoDestroy() {
  if (!OnDestroy) return;
  try {
    OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::SetClientWidth(int32_t Value) {
  if (ComponentState().Contains(csLoading))
    FPendingClientWidth = Value;
  else
    TControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int32_t Value) {
  if (ComponentState().Contains(csLoading))
    FPendingClientHeight = Value;
  else
    TControl::SetClientHeight(Value);
}

void TCustomForm::Loaded() {
  // The client size from the form text applies once the border style is known too.
  if (FPendingClientWidth >= 0) TControl::SetClientWidth(std::exchange(FPendingClientWidth, -1));
  if (FPendingClientHeight >= 0) TControl::SetClientHeight(std::exchange(FPendingClientHeight, -1));
  TWinControl::Loaded();
  if (TWinControl* Control = FActiveControl) {
    FActiveControl = nullptr;
    if (Control->CanFocus()) SetActiveControl(Control);
  }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  }
}

// ---- the window ------------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (!FParent && !FParentWindow) {
    Params.WndParent = nullptr;
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  Params.WindowClass.style = CS_DBLCLKS;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
    Params.X = CW_USEDEFAULT;
    Params.Y = CW_USEDEFAULT;
  }
  TBorderIcons Icons = FBorderIcons;
  switch (FBorderStyle) {
    case bsNone:
      if (!FParent && !FParentWindow) Params.Style |= WS_POPUP;
      Icons = {};
      break;
    case bsSingle:
    case bsToolWindow:
      Params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      Icons = Icons * TBorderIcons{biSystemMenu, biHelp};
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) {
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Icons = Icons * TBorderIcons{biSystemMenu};
  }
  if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable || FBorderStyle == bsNone) {
    if (Icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (Icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
  }
  if (Icons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
  if (Icons.Contains(biHelp)) Params.ExStyle |= WS_EX_CONTEXTHELP;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FAlphaBlend || FTransparentColor) Params.ExStyle |= WS_EX_LAYERED;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateLayeredAttributes();
  if (FFormStyle == fsStayOnTop)
    SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT TCustomForm::ClientRectWithoutHandle() const {
  if (FParent) return RECT{0, 0, FWidth, FHeight};
  TCreateParams Params;
  const_cast<TCustomForm*>(this)->CreateParams(Params);
  RECT Frame{0, 0, 0, 0};
  AdjustWindowRectEx(&Frame, Params.Style, FALSE, Params.ExStyle);
  return RECT{0, 0, std::max<LONG>(0, FWidth - (Frame.right - Frame.left)),
              std::max<LONG>(0, FHeight - (Frame.bottom - Frame.top))};
}

void TCustomForm::UpdateLayeredAttributes() {
  if (!FHandle) return;
  LONG ExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend || FTransparentColor) {
    if (!(ExStyle & LONG(WS_EX_LAYERED))) SetWindowLongA(FHandle, GWL_EXSTYLE, ExStyle | LONG(WS_EX_LAYERED));
    SetLayeredWindowAttributes(FHandle, COLORREF(ColorToRGB(FTransparentColorValue)), FAlphaBlendValue,
                               (FAlphaBlend ? LWA_ALPHA : 0) | (FTransparentColor ? LWA_COLORKEY : 0));
  } else if (ExStyle & LONG(WS_EX_LAYERED)) {
    SetWindowLongA(FHandle, GWL_EXSTYLE, ExStyle & ~LONG(WS_EX_LAYERED));
    RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::SetAlphaBlend(bool Value) {
  if (FAlphaBlend == Value) return;
  FAlphaBlend = Value;
  UpdateLayeredAttributes();
}

void TCustomForm::SetAlphaBlendValue(uint8_t Value) {
  if (FAlphaBlendValue == Value) return;
  FAlphaBlendValue = Value;
  UpdateLayeredAttributes();
}

void TCustomForm::SetTransparentColor(bool Value) {
  if (FTransparentColor == Value) return;
  FTransparentColor = Value;
  UpdateLayeredAttributes();
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
  if (FTransparentColorValue == Value) return;
  FTransparentColorValue = Value;
  UpdateLayeredAttributes();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(const TBorderIcons& Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetPosition(TPosition Value) {
  FPosition = Value;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  if (FHandle && FShowing) {
    static const int Commands[] = {SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, Commands[Value]);
  }
}

void TCustomForm::MoveToPosition() {
  int NewLeft = FLeft, NewTop = FTop;
  auto CenterOn = [&](const RECT& Area) {
    NewLeft = Area.left + ((Area.right - Area.left) - FWidth) / 2;
    NewTop = Area.top + ((Area.bottom - Area.top) - FHeight) / 2;
  };
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
      CenterOn(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* Other = FPosition == poMainFormCenter && Application ? Application->MainForm()
                                                                        : dynamic_cast<TCustomForm*>(Owner());
      if (Other && Other != this)
        CenterOn(Other->BoundsRect());
      else
        CenterOn(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
      break;
    }
    default:
      return;
  }
  if (NewLeft < 0) NewLeft = 0;
  if (NewTop < 0) NewTop = 0;
  SetBounds(NewLeft, NewTop, FWidth, FHeight);
}

// ---- showing and closing ---------------------------------------------------------------------

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() {
  SetVisible(false);
}

void TCustomForm::CMVisibleChanged(TMessage& Message) {
  if (FFormState.Contains(fsCreating) || ComponentState().Contains(csLoading)) {
    // A form read from its resource shows itself once it is created (after OnCreate).
    if (FVisible)
      FFormState.Include(fsVisible);
    else
      FFormState.Exclude(fsVisible);
    FVisible = false;
    return;
  }
  TWinControl::CMVisibleChanged(Message);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FShowing) {
    try {
      DoShow();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    MoveToPosition();
    int Command = SW_SHOWNORMAL;
    if (FWindowState == wsMaximized)
      Command = SW_SHOWMAXIMIZED;
    else if (FWindowState == wsMinimized)
      Command = SW_SHOWMINIMIZED;
    ShowWindow(FHandle, Command);
    if (FFormStyle == fsStayOnTop)
      SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    try {
      DoHide();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

bool TCustomForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction Action = caHide;
  DoClose(Action);
  if (Action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (Action == caHide)
    Hide();
  else if (Action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() {
  if (FHandle)
    PostMessageA(FHandle, CM_RELEASE, 0, 0);
  else
    Free();
}

void TCustomForm::CMRelease(TMessage&) {
  Free();
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND Capture = GetCapture()) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND PreviousActive = GetActiveWindow();
  // The other forms take no input while this one is up.
  std::vector<HWND> Disabled;
  if (Screen)
    for (int Index = 0; Index < Screen->FormCount(); ++Index) {
      TCustomForm* Other = Screen->Forms(Index);
      if (Other != this && Other->HandleAllocated() && IsWindowVisible(Other->FHandle) &&
          IsWindowEnabled(Other->FHandle)) {
        EnableWindow(Other->FHandle, FALSE);
        Disabled.push_back(Other->FHandle);
      }
    }
  auto Restore = [&] {
    for (HWND Window : Disabled)
      if (IsWindow(Window)) EnableWindow(Window, TRUE);
    if (PreviousActive && IsWindow(PreviousActive)) SetActiveWindow(PreviousActive);
    FFormState.Exclude(fsModal);
  };
  TModalResult Result = mrNone;
  try {
    Show();
    Perform(CM_ACTIVATE, 0, 0);
    FModalResult = mrNone;
    do {
      if (Application) Application->HandleMessage();
      if (Application && Application->Terminated()) {
        FModalResult = mrCancel;
      } else if (FModalResult != mrNone) {
        TCloseAction Action = caNone;
        if (CloseQuery()) {
          Action = caHide;
          DoClose(Action);
        }
        if (Action == caNone) FModalResult = mrNone;
        if (Action == caFree) Release();
      }
    } while (FModalResult == mrNone);
    Result = FModalResult;
    Perform(CM_DEACTIVATE, 0, 0);
    Hide();
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
  return Result;
}

void TCustomForm::WMClose(TMessage&) {
  Close();
}

// ---- activation and focus --------------------------------------------------------------------

void TCustomForm::WMActivate(TMessage& Message) {
  SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
}

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (!Value) return;
  if (!FActiveControl && !ComponentState().Contains(csDesigning)) {
    if (TWinControl* First = FindNextControl(nullptr, true, true, false)) FActiveControl = First;
  }
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND Target = FActiveControl ? FActiveControl->Handle() : Handle();
  if (Target && GetFocus() != Target) ::SetFocus(Target);
}

TWinControl* TCustomForm::ActiveControl() const {
  return FActiveControl;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && !(Control != this && GetParentForm(Control) == this &&
                   (ComponentState().Contains(csLoading) || Control->CanFocus())))
    throw EInvalidOperation(CannotFocus);
  FActiveControl = Control;
  if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  const bool WasActive = FActive;
  SetActiveControl(Control);
  if (!WasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!FVisible || !FEnabled) throw EInvalidOperation(CannotFocus);
  SetWindowFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (Control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (FFocusSuspend > 0) return true;
  const int Count = ++FFocusCount;
  auto Unchanged = [&] { return FFocusCount == Count; };
  FActiveControl = Control != this ? Control : nullptr;
  if (Screen) Screen->SetActive(this, Control);
  if (Control->FControlState.Contains(csFocusing)) return true;
  Control->FControlState.Include(csFocusing);
  struct TClearFocusing {
    TWinControl* Control;
    std::shared_ptr<const TObjectLife> Life;
    ~TClearFocusing() {
      if (Life->Alive) Control->FControlState.Exclude(csFocusing);
    }
  } Clear{Control, Control->LifeToken()};
  if (Screen && Screen->FocusedForm() != this) {
    if (TCustomForm* Old = Screen->FocusedForm()) {
      Screen->SetFocusedForm(nullptr);
      Old->Perform(CM_DEACTIVATE, 0, 0);
      if (!Unchanged()) return false;
    }
    Screen->SetFocusedForm(this);
    Perform(CM_ACTIVATE, 0, 0);
    if (!Unchanged()) return false;
  }
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl != Control) {
    // CM_EXIT up from the old control to the last parent the new one does not share.
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      TWinControl* Leaving = FFocusedControl;
      FFocusedControl = FFocusedControl->Parent();
      Leaving->Perform(CM_EXIT, 0, 0);
      if (!Unchanged()) return false;
    }
    // CM_ENTER down from the first parent the old one did not share to the new control.
    while (FFocusedControl != Control) {
      TWinControl* Entering = Control;
      while (Entering->Parent() != FFocusedControl) Entering = Entering->Parent();
      FFocusedControl = Entering;
      Entering->Perform(CM_ENTER, 0, 0);
      if (!Unchanged()) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
  }
  return true;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
}

void TCustomForm::CMActivate(TMessage&) {
  if (ComponentState().Contains(csReading))
    FFormState.Include(fsActivated);
  else
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (!ComponentState().Contains(csReading)) Deactivate();
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(
              FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
      default:
        break;
    }
  }
  TWinControl::CMDialogKey(Message);
}

void TCustomForm::WMSysCommand(TMessage& Message) {
  const WPARAM Command = Message.WParam & 0xFFF0;
  if (Application && Application->MainForm() == this) {
    if (Command == SC_MINIMIZE) {
      Application->Minimize();
      return;
    }
    if (Command == SC_RESTORE && IsIconic(FHandle)) {
      Application->Restore();
      return;
    }
  }
  DefaultHandler(Message);
}

// ---- painting --------------------------------------------------------------------------------

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(DC);
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void TCustomForm::WMPaint(TMessage& Message) {
  if (FHandle && IsIconic(FHandle)) {
    TWinControl::Dispatch(Message);
    return;
  }
  FControlState.Include(csCustomPaint);
  try {
    TWinControl::Dispatch(Message);
  } catch (...) {
    FControlState.Exclude(csCustomPaint);
    throw;
  }
  FControlState.Exclude(csCustomPaint);
}

void TCustomForm::UpdateActions() {
  for (int Index = 0; Index < ComponentCount(); ++Index)
    if (auto* Updater = dynamic_cast<TIdleUpdater*>(Components(Index))) Updater->IdleUpdate();
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  const TShortCut Key = ShortCutOfKeyMessage(Message);
  if (Key == scNone) return false;
  TObjectProtector Protector(this);
  for (int Index = 0; Index < ComponentCount() && Protector.Alive(); ++Index)
    if (auto* List = dynamic_cast<TCustomActionList*>(Components(Index)))
      if (List->IsShortCut(Key)) return true;
  return false;
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      WMClose(Message);
      return;
    case WM_ACTIVATE:
      WMActivate(Message);
      return;
    case WM_SYSCOMMAND:
      WMSysCommand(Message);
      return;
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_SIZE:
      if (Message.WParam == SIZE_MINIMIZED)
        FWindowState = wsMinimized;
      else if (Message.WParam == SIZE_MAXIMIZED)
        FWindowState = wsMaximized;
      else if (Message.WParam == SIZE_RESTORED && FShowing)
        // A hidden window is neither minimised nor maximised on the screen; the state it is to
        // take when shown stays as set (moving or resizing it before then does not reset it).
        FWindowState = wsNormal;
      TWinControl::Dispatch(Message);
      return;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(Message);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      return;
    case CM_ACTIVATE:
      CMActivate(Message);
      return;
    case CM_DEACTIVATE:
      CMDeactivate(Message);
      return;
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      return;
    case WM_NEXTDLGCTL:
      // lParam 0: wParam 0 moves to the next control, anything else to the previous one;
      // otherwise wParam names the window to focus.
      if (Message.LParam == 0) {
        SelectNext(FActiveControl, Message.WParam == 0, true);
      } else if (TWinControl* Target = FindControl(reinterpret_cast<HWND>(Message.WParam))) {
        if (Target->CanFocus()) Target->SetFocus();
      }
      Message.Result = 0;
      return;
    case CM_RELEASE:
      CMRelease(Message);
      return;
    default:
      TWinControl::Dispatch(Message);
      return;
  }
}
