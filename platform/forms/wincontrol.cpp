// TWinControl: the window, the children, bounds and message dispatch. Alignment, focus and keys,
// and painting live in wincontrolalign.cpp, wincontrolfocus.cpp and wincontrolpaint.cpp.

#include "platform/forms/wincontrol.h"

#include <algorithm>
#include <unordered_map>

#include "platform/forms/application.h"
#include "platform/forms/commonnotify.h"
#include "platform/forms/controlcanvas.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TWinControl)

namespace {

// Windows made by this library and their controls. Every control lives on the user-interface
// thread, so the table needs no lock.
std::unordered_map<HWND, TWinControl*>& ControlTable() {
  static std::unordered_map<HWND, TWinControl*> Table;
  return Table;
}

// The control whose window CreateWindowEx is making: its first messages arrive before the call
// returns the handle.
thread_local TWinControl* CreationControl = nullptr;

template <class T>
void EraseFirst(std::vector<T*>& List, const void* Item) {
  auto Where = std::find(List.begin(), List.end(), Item);
  if (Where != List.end()) List.erase(Where);
}

}  // namespace

LRESULT ControlWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* Control = TWinControl::FindControl(Window);
  if (!Control) {
    if (!CreationControl) return DefWindowProcA(Window, Msg, WParam, LParam);
    Control = CreationControl;
    CreationControl = nullptr;
    Control->FHandle = Window;
    ControlTable()[Window] = Control;
  }
  TMessage Message{Msg, WParam, LParam, 0};
  TObjectProtector Guard(Control);
  try {
    Control->WindowProc(Message);
  } catch (...) {
    // An exception never leaves a window procedure: the application shows it and the message
    // loop goes on.
    if (Application) Application->HandleException(Control);
  }
  return Message.Result;
}

TWinControl* TWinControl::FindControl(HWND Window) {
  if (!Window) return nullptr;
  auto& Table = ControlTable();
  auto Where = Table.find(Window);
  return Where == Table.end() ? nullptr : Where->second;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FDefWndProc = DefWindowProcA;
  FBrush = std::make_unique<TBrush>();
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  if (FHandle) {
    // Freed without Free(): the window still has to go.
    ControlTable().erase(FHandle);
    HWND Old = FHandle;
    FHandle = nullptr;
    DestroyWindow(Old);
  }
  DetachChildren();
}

void TWinControl::BeforeDestruction() {
  Destroying();
  if (FParent) FParent->RemoveControl(this);
  DestroyHandle();
  DetachChildren();
  TControl::BeforeDestruction();
}

void TWinControl::DetachChildren() {
  // A parent does not own its children: they lose their parent and their windows, and live on
  // until their owner frees them.
  std::vector<TControl*> Children(FControls.begin(), FControls.end());
  Children.insert(Children.end(), FWinControls.begin(), FWinControls.end());
  FControls.clear();
  FWinControls.clear();
  FTabList.clear();
  for (TControl* Child : Children) {
    Child->FParent = nullptr;
    if (auto* Windowed = dynamic_cast<TWinControl*>(Child)) {
      Windowed->DestroyHandle();
      Windowed->FShowing = false;
    }
  }
}

// ---- the window ------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA System{};
  if (!GetClassInfoA(nullptr, ControlClassName, &System)) return;
  // The control's own class runs on the system class's procedure as its default handling, with
  // the system class's extra bytes; a DC of its own or of the parent is the control's business.
  Params.WindowClass.style = System.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC);
  Params.WindowClass.lpfnWndProc = System.lpfnWndProc;
  Params.WindowClass.cbClsExtra = System.cbClsExtra;
  Params.WindowClass.cbWndExtra = System.cbWndExtra;
  if (System.hCursor) Params.WindowClass.hCursor = System.hCursor;
  Params.WindowClass.hbrBackground = System.hbrBackground;
}

void TWinControl::CreateWnd() {
  TCreateParams Params;
  CreateParams(Params);
  if ((Params.Style & WS_CHILD) && !Params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  FDefWndProc = Params.WindowClass.lpfnWndProc ? Params.WindowClass.lpfnWndProc : DefWindowProcA;
  WNDCLASSA Existing{};
  if (!GetClassInfoA(nullptr, Params.WinClassName.c_str(), &Existing) ||
      Existing.lpfnWndProc != ControlWindowProc) {
    if (Existing.lpfnWndProc) UnregisterClassA(Params.WinClassName.c_str(), nullptr);
    WNDCLASSA Class = Params.WindowClass;
    Class.lpfnWndProc = ControlWindowProc;
    Class.lpszClassName = Params.WinClassName.c_str();
    if (!RegisterClassA(&Class)) throw EOutOfResources("Error creating window class " + Params.WinClassName);
  }
  CreationControl = this;
  try {
    CreateWindowHandle(Params);
  } catch (...) {
    CreationControl = nullptr;
    throw;
  }
  CreationControl = nullptr;
  if (!FHandle) throw EOutOfResources("Error creating window");
  UpdateBounds();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND Made = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                              Params.Style, Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent,
                              nullptr, nullptr, Params.Param);
  if (Made && !FHandle) {
    FHandle = Made;
    ControlTable()[Made] = this;
  }
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    FControlState.Exclude(csCreating);
    throw;
  }
  FControlState.Exclude(csCreating);
  if (FParent) SetZOrderPosition(false);
  for (TControl* Child : FControls) Child->UpdateAnchorRules();
  for (TWinControl* Child : FWinControls) Child->UpdateAnchorRules();
}

void TWinControl::DestroyWnd() {
  // The text lives in the control (FText), so nothing of the window's state is lost here.
  FreeDeviceContext(FHandle);
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND Old = FHandle;
  if (Old) DestroyWindow(Old);
  if (FHandle == Old) {
    ControlTable().erase(Old);
    FHandle = nullptr;
  }
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* Child : FWinControls) Child->DestroyHandle();
  DestroyWnd();
  FShowing = false;
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  // The focus comes back to the control that had it, this one or one inside it.
  TWinControl* FocusedControl = nullptr;
  if (HWND Focus = GetFocus(); Focus && FHandle && (Focus == FHandle || IsChild(FHandle, Focus)))
    FocusedControl = FindControl(Focus);
  TCustomForm* Form = FocusedControl ? GetParentForm(this) : nullptr;
  if (Form) ++Form->FFocusSuspend;
  try {
    DestroyHandle();
    UpdateControlState();
    if (FocusedControl && FocusedControl->CanFocus()) {
      FocusedControl->HandleNeeded();
      if (FocusedControl->FHandle) ::SetFocus(FocusedControl->FHandle);
    }
  } catch (...) {
    if (Form) --Form->FFocusSuspend;
    throw;
  }
  if (Form) --Form->FFocusSuspend;
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle && FParentWindow && Value) {
    FParentWindow = Value;
    ::SetParent(FHandle, Value);
  } else {
    DestroyHandle();
    FParentWindow = Value;
  }
  UpdateControlState();
}

void TWinControl::SetZOrderPosition(bool Topmost) {
  if (!FParent || !FHandle) return;
  // The window goes below the window of the next windowed sibling in the list (the list runs
  // bottom to top), or to the top when none above has a window.
  HWND After = HWND_TOP;
  if (!Topmost) {
    auto& List = FParent->FWinControls;
    auto Where = std::find(List.begin(), List.end(), this);
    if (Where != List.end())
      for (++Where; Where != List.end(); ++Where)
        if ((*Where)->FHandle) {
          After = (*Where)->FHandle;
          break;
        }
  }
  if (After == HWND_TOP) {
    SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    // "Below After" is "after After" in z-order.
    SetWindowPos(FHandle, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::UpdateShowing() {
  const bool ShowControl = FVisible && !FControlState.Contains(csReadingState);
  if (ShowControl) {
    if (!FHandle) CreateHandle();
    std::vector<TWinControl*> Children = FWinControls;
    for (TWinControl* Child : Children) Child->UpdateShowing();
  }
  if (FHandle && FShowing != ShowControl) {
    FShowing = ShowControl;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !ShowControl;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* Control = this;
  while (Control->FParent) {
    Control = Control->FParent;
    if (!Control->FShowing) return;
  }
  if (dynamic_cast<TCustomForm*>(Control) || Control->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  const UINT Flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, Flags | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle && !ComponentState().Contains(csDesigning)) EnableWindow(FHandle, FEnabled);
  Invalidate();
}

// ---- children --------------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
  const size_t Count = FControls.size();
  if (Index < 0 || size_t(Index) >= Count + FWinControls.size())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  if (size_t(Index) < Count) return FControls[size_t(Index)];
  return FWinControls[size_t(Index) - Count];
}

void TWinControl::InsertIntoLists(TControl* AControl) {
  if (auto* Windowed = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(Windowed);
    FTabList.push_back(Windowed);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
}

void TWinControl::RemoveFromLists(TControl* AControl) {
  if (auto* Windowed = dynamic_cast<TWinControl*>(AControl)) {
    EraseFirst(FWinControls, Windowed);
    EraseFirst(FTabList, Windowed);
  } else {
    EraseFirst(FControls, AControl);
  }
  AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), LPARAM(true));
  InsertIntoLists(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (auto* Windowed = dynamic_cast<TWinControl*>(AControl)) {
      AControl->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      Windowed->UpdateControlState();
    } else if (FHandle) {
      AControl->Invalidate();
    }
    AControl->UpdateAnchorRules();
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, WPARAM(AControl), LPARAM(true));
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, WPARAM(AControl), LPARAM(false));
  if (auto* Windowed = dynamic_cast<TWinControl*>(AControl)) {
    Windowed->RemoveFocus(true);
    Windowed->DestroyHandle();
  } else if (FHandle) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  RemoveFromLists(AControl);
  Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), LPARAM(false));
  Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls) const {
  auto Hit = [&](TControl* Control) {
    POINT P{Pos.x - Control->Left(), Pos.y - Control->Top()};
    RECT Client = Control->ClientRect();
    return PtInRect(&Client, P) && Control->Visible() && (Control->Enabled() || AllowDisabled) &&
           Control->Perform(CM_HITTEST, 0, PointToLParam(P)) != 0;
  };
  if (AllowWinControls)
    for (auto Walk = FWinControls.rbegin(); Walk != FWinControls.rend(); ++Walk)
      if (Hit(*Walk)) return *Walk;
  for (auto Walk = FControls.rbegin(); Walk != FControls.rend(); ++Walk)
    if (Hit(*Walk)) return *Walk;
  return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& ControlName) const {
  for (int Index = 0; Index < ControlCount(); ++Index) {
    TControl* Child = Controls(Index);
    if (SameText(Child->Name(), ControlName)) return Child;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  std::vector<TControl*> Children(FControls.begin(), FControls.end());
  Children.insert(Children.end(), FWinControls.begin(), FWinControls.end());
  for (TControl* Child : Children) {
    Child->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage Message{Msg, 0, 0, 0};
  Broadcast(Message);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int Index = 0; Index < ControlCount(); ++Index) {
    TControl* Child = Controls(Index);
    if (Child->Owner() == Root) Proc(Child);
  }
  if (Root == this)
    for (int Index = 0; Index < ComponentCount(); ++Index) {
      TComponent* Component = Components(Index);
      if (!Component->HasParent()) Proc(Component);
    }
}

// ---- bounds ----------------------------------------------------------------------------------

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle || IsIconic(FHandle)) return;
  RECT R{};
  GetWindowRect(FHandle, &R);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND Parent = GetParent(FHandle)) MapWindowPoints(nullptr, Parent, reinterpret_cast<POINT*>(&R), 2);
  }
  const int W = R.right - R.left, H = R.bottom - R.top;
  if (R.left != FLeft || R.top != FTop || W != FWidth || H != FHeight) {
    FLeft = R.left;
    FTop = R.top;
    FWidth = W;
    FHeight = H;
    UpdateAnchorRules();
  }
}

RECT TWinControl::ClientRect() const {
  if (FHandle) {
    RECT R{};
    ::GetClientRect(FHandle, &R);
    return R;
  }
  if (auto* Form = dynamic_cast<const TCustomForm*>(this)) return Form->ClientRectWithoutHandle();
  return RECT{0, 0, FWidth, FHeight};
}

POINT TWinControl::ClientOrigin() const {
  if (FHandle) {
    POINT P{0, 0};
    ::ClientToScreen(FHandle, &P);
    return P;
  }
  if (!FParent) {
    RECT Client = ClientRect();
    // Without a window the frame is assumed even around the client area.
    int Border = ((FWidth - Client.right) / 2);
    return POINT{FLeft + Border, FTop + (FHeight - Client.bottom) - Border};
  }
  return TControl::ClientOrigin();
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  if (Message.LParam == 0) {
    // The windowless form of the message (bounds changed before there is a window).
    return;
  }
  if (!FControlState.Contains(csDestroyingHandle)) UpdateBounds();
  DefaultHandler(Message);
}

// ---- dispatch --------------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* Form = GetParentForm(this);
      if (Form && !Form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST: {
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && FHandle) {
        POINT P{Message.XPos(), Message.YPos()};
        ::ScreenToClient(FHandle, &P);
        if (ControlAtPos(P, false)) Message.Result = HTCLIENT;
      }
      return;
    }
    case WM_CANCELMODE: {
      TControl* Capture = GetCaptureControl();
      if (FHandle && GetCapture() == FHandle && Capture && Capture != this && Capture->Parent() == this)
        Capture->Perform(WM_CANCELMODE, 0, 0);
      break;
    }
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
          Message.Msg != WM_MOUSEHWHEEL) {
        if (IsControlMouseMsg(Message)) {
          // The windowless child handled it; the window's default handling still runs for what
          // the child left unanswered (a right click's context menu).
          if (Message.Result == 0 && FHandle)
            CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
  }
  TControl::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* Control = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    TControl* Capture = GetCaptureControl();
    if (Capture && Capture != this && Capture->Parent() == this) Control = Capture;
  } else {
    Control = ControlAtPos(Message.Pos(), false);
  }
  if (!Control) return false;
  POINT P{Message.XPos() - Control->Left(), Message.YPos() - Control->Top()};
  Message.Result = Control->Perform(Message.Msg, Message.WParam, PointToLParam(P));
  return true;
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Message);
      return;
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_MOVE:
      WMMove(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(Message);
      return;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      return;
    case WM_KEYUP:
      WMKeyUp(Message);
      return;
    case WM_CHAR:
      WMChar(Message);
      return;
    case WM_SYSKEYDOWN:
      WMSysKeyDown(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_NCDESTROY:
      WMNCDestroy(Message);
      return;
    case WM_SYSCOLORCHANGE:
      WMSysColorChange(Message);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(Message);
      return;
    case CN_KEYUP:
      CNKeyUp(Message);
      return;
    case CN_CHAR:
    case CN_SYSCHAR:
      CNChar(Message);
      return;
    case CM_ENTER:
      CMEnter(Message);
      return;
    case CM_EXIT:
      CMExit(Message);
      return;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(Message);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(Message);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      return;
    case CM_CTL3DCHANGED:
      CMCtl3DChanged(Message);
      return;
    case CM_PARENTCTL3DCHANGED:
      CMParentCtl3DChanged(Message);
      return;
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      return;
    case CM_FOCUSCHANGED:
      // Every control of the form hears which control has the focus now (buttons decide from it
      // which of them answers Enter).
      Broadcast(Message);
      return;
    case CM_INVALIDATE:
      CMInvalidate(Message);
      return;
    case CM_RECREATEWND:
      CMRecreateWnd(Message);
      return;
    case CM_SYSCOLORCHANGE:
      CMSysColorChange(Message);
      return;
    default:
      TControl::Dispatch(Message);
      return;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_SETTEXT:
      // The control keeps its text, so a window made again shows it.
      TControl::DefaultHandler(Message);
      break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      TControl::DefaultHandler(Message);
      return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      // Notifications from a child window go back to the child's control (CN_ messages), which
      // knows what they mean.
      if (TWinControl* Child = FindControl(reinterpret_cast<HWND>(Message.LParam)); Child && Child != this) {
        Message.Result = Child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_NOTIFY:
      // A common control tells its parent something (a tree view's selection, an item to
      // draw): the control that wraps it answers (CN_NOTIFY).
      if (const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam)) {
        if (TWinControl* Child = FindControl(Header->hwndFrom); Child && Child != this) {
          Message.Result = Child->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
    case WM_DRAWITEM:
      // An owner-drawn child asks to be drawn: its control draws itself (CN_DRAWITEM).
      if (const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)) {
        if (TWinControl* Child = FindControl(Item->hwndItem); Child && Child != this) {
          Message.Result = Child->Perform(CN_DRAWITEM, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
    default:
      break;
  }
  Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  if (FHandle) ControlTable().erase(FHandle);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle &&
      short(LOWORD(DWORD_PTR(Message.LParam))) == HTCLIENT) {
    TCursor Cursor = Screen ? Screen->Cursor() : crDefault;
    if (Cursor == crDefault) {
      POINT P{};
      GetCursorPos(&P);
      ::ScreenToClient(FHandle, &P);
      if (TControl* Child = ControlAtPos(P, false)) Cursor = Child->Cursor();
      if (Cursor == crDefault) Cursor = FCursor;
    }
    if (Cursor != crDefault) {
      ::SetCursor(CursorHandle(Cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMSysColorChange(TMessage& Message) {
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(Message);
}

void TWinControl::CMSysColorChange(TMessage& Message) {
  Broadcast(Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  TControl::CMColorChanged(Message);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  TControl::CMFontChanged(Message);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (FParentCtl3D == Value) return;
  FParentCtl3D = Value;
  if (FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::CMCtl3DChanged(TMessage&) {
  NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage& Message) {
  if (!FParentCtl3D) return;
  if (Message.WParam != 0)
    SetCtl3D(Message.LParam != 0);
  else if (FParent)
    SetCtl3D(FParent->Ctl3D());
  FParentCtl3D = true;
}

void TWinControl::SetDoubleBuffered(bool Value) {
  FDoubleBuffered = Value;
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // Tab orders read from a form are applied once every sibling exists, lowest first.
  std::vector<TWinControl*> Pending;
  for (TWinControl* Child : FWinControls)
    if (Child->FPendingTabOrder >= 0) Pending.push_back(Child);
  std::stable_sort(Pending.begin(), Pending.end(),
                   [](TWinControl* A, TWinControl* B) { return A->FPendingTabOrder < B->FPendingTabOrder; });
  for (TWinControl* Child : Pending) {
    Child->UpdateTabOrder(Child->FPendingTabOrder);
    Child->FPendingTabOrder = -1;
  }
  Realign();
  if (FParent || FParentWindow) UpdateControlState();
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
}
