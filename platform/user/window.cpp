// Window classes, creation and destruction, the tree, stored values and text.

#include "platform/user/window.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/unicode.h"
#include "platform/user/button.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"

using namespace UserImpl;

namespace {

struct TClassTable {
  std::vector<std::unique_ptr<TWindowClass>> Classes;
  ATOM NextAtom = 0xC100;
};

// The classes the system provides to every program, registered with the table.
void AddSystemClasses(TClassTable& Table) {
  auto Button = std::make_unique<TWindowClass>();
  Button->Atom = Table.NextAtom++;
  Button->Name = ButtonClassName;
  Button->Style = CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
  Button->Proc = ButtonWindowProc;
  Button->WindowExtra = int(2 * sizeof(LONG_PTR));
  Table.Classes.push_back(std::move(Button));
}

TClassTable& Classes() {
  static TClassTable Instance = [] {
    TClassTable Table;
    AddSystemClasses(Table);
    return Table;
  }();
  return Instance;
}

bool SameName(const std::string& A, const char* B) {
  size_t Length = std::strlen(B);
  if (A.size() != Length) return false;
  for (size_t I = 0; I < Length; ++I) {
    char X = A[I], Y = B[I];
    if (X >= 'A' && X <= 'Z') X = char(X - 'A' + 'a');
    if (Y >= 'A' && Y <= 'Z') Y = char(Y - 'A' + 'a');
    if (X != Y) return false;
  }
  return true;
}

// A class named by string or by atom (MAKEINTRESOURCE form).
TWindowClass* LookupClassLocked(LPCSTR Name) {
  if (!Name) return nullptr;
  for (auto& Class : Classes().Classes) {
    if (IS_INTRESOURCE(Name)) {
      if (Class->Atom == ATOM(reinterpret_cast<uintptr_t>(Name))) return Class.get();
    } else if (SameName(Class->Name, Name)) {
      return Class.get();
    }
  }
  return nullptr;
}

void SendParentNotify(HWND Handle, UINT Event) {
  HWND Parent = nullptr;
  LONG_PTR Id = 0;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !IsChildWindow(Window) || (Window->Style & WS_POPUP) ||
        (Window->ExStyle & WS_EX_NOPARENTNOTIFY))
      return;
    Parent = Window->Parent->Handle;
    Id = Window->Id;
  }
  SendMessage(Parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(Event), WORD(Id)), LPARAM(Handle));
}

// WM_DESTROY to the window, then to its children, parents first.
void SendDestroyMessages(HWND Handle) {
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return;
    Window->DestroyStarted = true;
  }
  if (GetCaretInfo().Window == Handle) DestroyCaret();
  {
    bool Active;
    {
      TGuard Lock(Mutex());
      Active = InputLocked().Active == Handle;
    }
    if (Active) ActivateOtherWindow(Handle);
  }
  SendMessage(Handle, WM_DESTROY, 0, 0);
  std::vector<HWND> Children;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return;
    for (TWindow* Child : Window->Children) Children.push_back(Child->Handle);
  }
  for (HWND Child : Children) SendDestroyMessages(Child);
}

// WM_NCDESTROY to the children, then to the window, and the records go.
void FreeWindowTree(HWND Handle) {
  std::vector<HWND> Children;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return;
    for (TWindow* Child : Window->Children) Children.push_back(Child->Handle);
  }
  for (HWND Child : Children) FreeWindowTree(Child);
  NotifyDriverWindowDestroyed(Handle);
  SendMessage(Handle, WM_NCDESTROY, 0, 0);
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return;
  // A child created by a WM_NCDESTROY handler is freed with its parent.
  while (!Window->Children.empty()) {
    TWindow* Late = Window->Children.front();
    ForgetWindowLocked(Late);
    FreeWindowLocked(Late);
  }
  ForgetWindowLocked(Window);
  FreeWindowLocked(Window);
}

}  // namespace

// ---- classes ---------------------------------------------------------------------------------

ATOM RegisterClassA(const WNDCLASSA* Class) {
  if (!Class || !Class->lpszClassName || !Class->lpfnWndProc) return 0;
  TGuard Lock(Mutex());
  if (IS_INTRESOURCE(Class->lpszClassName) || LookupClassLocked(Class->lpszClassName)) return 0;
  auto Record = std::make_unique<TWindowClass>();
  Record->Atom = Classes().NextAtom++;
  Record->Name = Class->lpszClassName;
  Record->Style = Class->style;
  Record->Proc = Class->lpfnWndProc;
  Record->ClassExtra = std::max(0, Class->cbClsExtra);
  Record->WindowExtra = std::max(0, Class->cbWndExtra);
  Record->Instance = Class->hInstance;
  Record->Icon = Class->hIcon;
  Record->Cursor = Class->hCursor;
  Record->Background = Class->hbrBackground;
  ATOM Atom = Record->Atom;
  Classes().Classes.push_back(std::move(Record));
  return Atom;
}

BOOL UnregisterClassA(LPCSTR ClassName, HINSTANCE Instance) {
  TGuard Lock(Mutex());
  TWindowClass* Class = LookupClassLocked(ClassName);
  if (!Class) return FALSE;
  for (TWindow* Window : AllWindowsLocked())
    if (Window->Class == Class) return FALSE;
  auto& List = Classes().Classes;
  List.erase(std::remove_if(List.begin(), List.end(), [&](auto& C) { return C.get() == Class; }),
             List.end());
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSA* Result) {
  TGuard Lock(Mutex());
  TWindowClass* Class = LookupClassLocked(ClassName);
  if (!Class || !Result) return FALSE;
  Result->style = Class->Style;
  Result->lpfnWndProc = Class->Proc;
  Result->cbClsExtra = Class->ClassExtra;
  Result->cbWndExtra = Class->WindowExtra;
  Result->hInstance = Class->Instance;
  Result->hIcon = Class->Icon;
  Result->hCursor = Class->Cursor;
  Result->hbrBackground = Class->Background;
  Result->lpszMenuName = nullptr;
  Result->lpszClassName = ClassName;
  return TRUE;
}

int GetClassNameA(HWND Handle, LPSTR Buffer, int MaxCount) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Buffer || MaxCount <= 0) return 0;
  std::string Name = Window->Class ? Window->Class->Name : std::string("#32769");
  size_t Count = std::min(Name.size(), size_t(MaxCount - 1));
  std::memcpy(Buffer, Name.data(), Count);
  Buffer[Count] = 0;
  return int(Count);
}

ULONG_PTR GetClassLongPtrA(HWND Handle, int Index) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Class) return 0;
  TWindowClass* Class = Window->Class;
  switch (Index) {
    case GCL_STYLE: return Class->Style;
    case GCL_WNDPROC: return reinterpret_cast<ULONG_PTR>(Class->Proc);
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(Class->Cursor);
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(Class->Background);
    case GCL_HICON: return reinterpret_cast<ULONG_PTR>(Class->Icon);
    case GCL_CBWNDEXTRA: return ULONG_PTR(Class->WindowExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(Class->ClassExtra);
    case GCW_ATOM: return Class->Atom;
    default: return 0;
  }
}

DWORD GetClassLongA(HWND Handle, int Index) { return DWORD(GetClassLongPtrA(Handle, Index)); }

ULONG_PTR SetClassLongPtrA(HWND Handle, int Index, LONG_PTR Value) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Class) return 0;
  TWindowClass* Class = Window->Class;
  ULONG_PTR Old = 0;
  switch (Index) {
    case GCL_STYLE:
      Old = Class->Style;
      Class->Style = UINT(Value);
      break;
    case GCL_WNDPROC:
      Old = reinterpret_cast<ULONG_PTR>(Class->Proc);
      Class->Proc = reinterpret_cast<WNDPROC>(Value);
      break;
    case GCL_HCURSOR:
      Old = reinterpret_cast<ULONG_PTR>(Class->Cursor);
      Class->Cursor = reinterpret_cast<HCURSOR>(Value);
      break;
    case GCL_HBRBACKGROUND:
      Old = reinterpret_cast<ULONG_PTR>(Class->Background);
      Class->Background = reinterpret_cast<HBRUSH>(Value);
      break;
    default: return 0;
  }
  return Old;
}

// ---- creation and destruction -----------------------------------------------------------------

HWND CreateWindowExA(DWORD ExStyle, LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y,
                     int Width, int Height, HWND ParentHandle, HMENU Menu, HINSTANCE Instance,
                     LPVOID Param) {
  HWND Handle = nullptr;
  CREATESTRUCTA Create{};
  {
    TGuard Lock(Mutex());
    TMessageQueue& Queue = CurrentQueueLocked();
    TWindowClass* Class = LookupClassLocked(ClassName);
    if (!Class) return nullptr;
    if (ParentHandle == HWND_MESSAGE) ParentHandle = nullptr;
    TWindow* Parent = ParentHandle ? FindLocked(ParentHandle) : nullptr;
    if (ParentHandle && !Parent) return nullptr;
    TWindow* Desktop = DesktopLocked();
    TWindow* Owner = nullptr;
    if (Style & WS_CHILD) {
      if (!Parent) return nullptr;
    } else {
      if (Parent && Parent != Desktop) Owner = RootLocked(Parent);
      Parent = Desktop;
      Style |= WS_CLIPSIBLINGS;
      if (!(Style & WS_POPUP)) Style |= WS_CAPTION;
    }
    if (X == CW_USEDEFAULT) {
      X = (Style & WS_CHILD) ? 0 : 26;
      Y = (Style & WS_CHILD) ? 0 : 26;
    }
    if (Width == CW_USEDEFAULT) {
      Width = (Style & WS_CHILD) ? 0 : Desktop->Client.right * 3 / 4;
      Height = (Style & WS_CHILD) ? 0 : Desktop->Client.bottom * 3 / 4;
    }
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    auto Window = std::make_unique<TWindow>();
    Window->Class = Class;
    Window->Proc = Class->Proc;
    Window->Style = Style & ~WS_VISIBLE;
    Window->ExStyle = ExStyle;
    Window->Id = (Style & WS_CHILD) ? LONG_PTR(reinterpret_cast<uintptr_t>(Menu)) : 0;
    Window->Instance = Instance;
    Window->Parent = Parent;
    Window->Owner = Owner;
    Window->ThreadId = Queue.ThreadId;
    Window->Window = RECT{X, Y, X + Width, Y + Height};
    Window->Client = Window->Window;
    Window->Normal = Window->Window;
    Window->Extra.assign(size_t(Class->WindowExtra), 0);
    TWindow* Added = AddWindowLocked(std::move(Window));
    LinkWindowLocked(Added, (ExStyle & WS_EX_TOPMOST) && !(Style & WS_CHILD) ? HWND_TOPMOST : HWND_TOP);
    Handle = Added->Handle;
    Create.lpCreateParams = Param;
    Create.hInstance = Instance;
    Create.hMenu = Menu;
    Create.hwndParent = ParentHandle;
    Create.cx = Width;
    Create.cy = Height;
    Create.x = X;
    Create.y = Y;
    Create.style = LONG(Style);
    Create.lpszName = WindowName;
    Create.lpszClass = ClassName;
    Create.dwExStyle = ExStyle;
  }

  if ((Style & WS_THICKFRAME) || !(Style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO Info{};
    int FrameX = GetSystemMetrics(SM_CXFRAME), FrameY = GetSystemMetrics(SM_CYFRAME);
    Info.ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN) + 2 * FrameX,
                           GetSystemMetrics(SM_CYSCREEN) + 2 * FrameY};
    Info.ptMaxPosition = POINT{-FrameX, -FrameY};
    Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(Handle, WM_GETMINMAXINFO, 0, LPARAM(&Info));
    int Width2 = std::clamp<int>(Create.cx, Info.ptMinTrackSize.x, std::max(Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x));
    int Height2 = std::clamp<int>(Create.cy, Info.ptMinTrackSize.y, std::max(Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y));
    TGuard Lock(Mutex());
    if (TWindow* Window = FindLocked(Handle)) {
      Window->Window.right = Window->Window.left + Width2;
      Window->Window.bottom = Window->Window.top + Height2;
      Window->Client = Window->Window;
      Window->Normal = Window->Window;
      Create.cx = Width2;
      Create.cy = Height2;
    }
  }

  if (!SendMessage(Handle, WM_NCCREATE, 0, LPARAM(&Create))) {
    FreeWindowTree(Handle);
    return nullptr;
  }
  RECT WindowRect{};
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    WindowRect = Window->Window;
  }
  RECT Client = CalcClientRect(Handle, WindowRect, true);
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    Window->Client = Client;
  }
  if (SendMessage(Handle, WM_CREATE, 0, LPARAM(&Create)) == -1) {
    // The window never existed for anyone else: only its storage goes, with WM_NCDESTROY.
    FreeWindowTree(Handle);
    return nullptr;
  }
  if (!IsWindow(Handle)) return nullptr;
  {
    RECT C{};
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      if (!Window) return nullptr;
      C = Window->Client;
      Window->CreateFinished = true;
    }
    SendMessage(Handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(C.right - C.left), WORD(C.bottom - C.top)));
    SendMessage(Handle, WM_MOVE, 0, MAKELPARAM(WORD(C.left), WORD(C.top)));
  }
  SendParentNotify(Handle, WM_CREATE);
  if (!IsWindow(Handle)) return nullptr;
  if (Style & WS_VISIBLE) ShowWindow(Handle, SW_SHOW);
  return IsWindow(Handle) ? Handle : nullptr;
}

BOOL DestroyWindow(HWND Handle) {
  bool Child, Visible;
  std::vector<HWND> Owned;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return FALSE;
    if (Window->ThreadId != CurrentThreadId()) return FALSE;
    if (Window->DestroyStarted) return TRUE;
    Window->DestroyStarted = true;
    Child = IsChildWindow(Window);
    Visible = IsVisibleLocked(Window);
  }
  if (Child) SendParentNotify(Handle, WM_DESTROY);
  if (Visible) {
    if (Child)
      ShowWindow(Handle, SW_HIDE);
    else
      SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
  }
  if (!IsWindow(Handle)) return TRUE;
  if (!Child) {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return TRUE;
    for (TWindow* Other : AllWindowsLocked()) {
      if (Other->Owner != Window) continue;
      if (Other->ThreadId == Window->ThreadId)
        Owned.push_back(Other->Handle);
      else
        Other->Owner = nullptr;
    }
  }
  for (HWND Popup : Owned) DestroyWindow(Popup);
  {
    // Unlike SendDestroyMessages, the window itself was marked above already.
    TGuard Lock(Mutex());
    if (TWindow* Window = FindLocked(Handle)) Window->DestroyStarted = false;
  }
  SendDestroyMessages(Handle);
  if (!IsWindow(Handle)) return TRUE;
  FreeWindowTree(Handle);
  return TRUE;
}

BOOL IsWindow(HWND Handle) {
  TGuard Lock(Mutex());
  return FindLocked(Handle) != nullptr;
}

DWORD GetWindowThreadProcessId(HWND Handle, LPDWORD ProcessId) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return 0;
  if (ProcessId) *ProcessId = 1;
  return Window->ThreadId;
}

// ---- the tree --------------------------------------------------------------------------------

HWND GetDesktopWindow() {
  TGuard Lock(Mutex());
  return DesktopLocked()->Handle;
}

HWND GetParent(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return nullptr;
  if (Window->Style & WS_CHILD) return Window->Parent ? Window->Parent->Handle : nullptr;
  if (Window->Style & WS_POPUP) return Window->Owner ? Window->Owner->Handle : nullptr;
  return nullptr;
}

HWND SetParent(HWND Handle, HWND NewParentHandle) {
  HWND OldParent;
  RECT Rect;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    TWindow* Desktop = DesktopLocked();
    if (!Window || Window == Desktop) return nullptr;
    TWindow* NewParent = NewParentHandle ? FindLocked(NewParentHandle) : Desktop;
    if (!NewParent) return nullptr;
    // A window cannot become its own descendant.
    if (NewParent == Window || IsDescendantLocked(Window, NewParent)) return nullptr;
    OldParent = Window->Parent ? Window->Parent->Handle : nullptr;
  }
  BOOL WasVisible = ShowWindow(Handle, SW_HIDE);
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    TWindow* NewParent = NewParentHandle ? FindLocked(NewParentHandle) : DesktopLocked();
    if (!Window || !NewParent) return nullptr;
    UnlinkWindowLocked(Window);
    Window->Parent = NewParent;
    LinkWindowLocked(Window, HWND_TOP);
    // The store belongs to a top-level window only; a window moved under a parent draws into its
    // new top-level window's store.
    if (!IsTopLevel(Window)) Window->Store.reset();
    Rect = Window->Window;
  }
  SetWindowPos(Handle, HWND_TOP, Rect.left, Rect.top, 0, 0,
               SWP_NOSIZE | (WasVisible ? SWP_SHOWWINDOW : 0));
  return OldParent;
}

HWND GetAncestor(HWND Handle, UINT Flags) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Parent) return nullptr;
  switch (Flags) {
    case GA_PARENT: return Window->Parent->Handle;
    case GA_ROOT: return RootLocked(Window)->Handle;
    case GA_ROOTOWNER: {
      TWindow* Root = RootLocked(Window);
      while (Root->Owner) Root = Root->Owner;
      return Root->Handle;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND Handle, UINT Command) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return nullptr;
  if (Command == GW_CHILD) return Window->Children.empty() ? nullptr : Window->Children.front()->Handle;
  if (Command == GW_OWNER) return Window->Owner ? Window->Owner->Handle : nullptr;
  if (Command == GW_ENABLEDPOPUP) {
    for (TWindow* Other : DesktopLocked()->Children)
      if (Other->Owner == Window && IsVisibleLocked(Other) && IsEnabledLocked(Other)) return Other->Handle;
    return nullptr;
  }
  if (!Window->Parent) return nullptr;
  auto& Siblings = Window->Parent->Children;
  auto Position = std::find(Siblings.begin(), Siblings.end(), Window);
  switch (Command) {
    case GW_HWNDFIRST: return Siblings.front()->Handle;
    case GW_HWNDLAST: return Siblings.back()->Handle;
    case GW_HWNDNEXT: return Position + 1 < Siblings.end() ? (*(Position + 1))->Handle : nullptr;
    case GW_HWNDPREV: return Position > Siblings.begin() ? (*(Position - 1))->Handle : nullptr;
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = Handle ? FindLocked(Handle) : DesktopLocked();
  if (!Window || Window->Children.empty()) return nullptr;
  return Window->Children.front()->Handle;
}

BOOL IsChild(HWND ParentHandle, HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Parent = FindLocked(ParentHandle);
  TWindow* Window = FindLocked(Handle);
  if (!Parent || !Window) return FALSE;
  for (TWindow* W = Window; W && (W->Style & WS_CHILD); W = W->Parent)
    if (W->Parent == Parent) return TRUE;
  return FALSE;
}

namespace {

void CollectDescendantsLocked(TWindow* Parent, std::vector<HWND>& Out) {
  for (TWindow* Child : Parent->Children) {
    Out.push_back(Child->Handle);
    CollectDescendantsLocked(Child, Out);
  }
}

}  // namespace

BOOL EnumChildWindows(HWND ParentHandle, WNDENUMPROC Proc, LPARAM Param) {
  std::vector<HWND> List;
  {
    TGuard Lock(Mutex());
    TWindow* Parent = ParentHandle ? FindLocked(ParentHandle) : DesktopLocked();
    if (!Parent || !Proc) return FALSE;
    CollectDescendantsLocked(Parent, List);
  }
  for (HWND Child : List) {
    if (!IsWindow(Child)) continue;
    if (!Proc(Child, Param)) return FALSE;
  }
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param) {
  std::vector<HWND> List;
  {
    TGuard Lock(Mutex());
    for (TWindow* Window : DesktopLocked()->Children) List.push_back(Window->Handle);
  }
  for (HWND Window : List)
    if (IsWindow(Window) && !Proc(Window, Param)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC Proc, LPARAM Param) {
  std::vector<HWND> List;
  {
    TGuard Lock(Mutex());
    for (TWindow* Window : DesktopLocked()->Children)
      if (Window->ThreadId == ThreadId) List.push_back(Window->Handle);
  }
  for (HWND Window : List)
    if (IsWindow(Window) && !Proc(Window, Param)) return FALSE;
  return TRUE;
}

HWND FindWindowA(LPCSTR ClassName, LPCSTR WindowName) {
  TGuard Lock(Mutex());
  for (TWindow* Window : DesktopLocked()->Children) {
    if (ClassName && (!Window->Class || !SameName(Window->Class->Name, ClassName))) continue;
    if (WindowName && Window->Text != WindowName) continue;
    return Window->Handle;
  }
  return nullptr;
}

BOOL BringWindowToTop(HWND Handle) {
  return SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// ---- stored values ---------------------------------------------------------------------------

namespace {

LONG_PTR SetStyle(HWND Handle, int Index, DWORD Value) {
  DWORD Old;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return 0;
    Old = Index == GWL_STYLE ? Window->Style : Window->ExStyle;
  }
  STYLESTRUCT Styles{Old, Value};
  SendMessage(Handle, WM_STYLECHANGING, WPARAM(Index), LPARAM(&Styles));
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return 0;
    if (Index == GWL_STYLE) {
      Window->Style = Styles.styleNew;
    } else {
      // WS_EX_TOPMOST changes only through SetWindowPos.
      Window->ExStyle = (Styles.styleNew & ~WS_EX_TOPMOST) | (Window->ExStyle & WS_EX_TOPMOST);
    }
  }
  SendMessage(Handle, WM_STYLECHANGED, WPARAM(Index), LPARAM(&Styles));
  if (Index == GWL_EXSTYLE && ((Old ^ Styles.styleNew) & WS_EX_LAYERED)) NotifyDriverWindowChanged(Handle);
  return LONG_PTR(Old);
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND Handle, int Index) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return 0;
  switch (Index) {
    case GWL_STYLE: return LONG_PTR(Window->Style);
    case GWL_EXSTYLE: return LONG_PTR(Window->ExStyle);
    case GWL_ID: return Window->Id;
    case GWL_USERDATA: return Window->UserData;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(Window->Proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(Window->Instance);
    case GWL_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(Window->Owner ? Window->Owner->Handle : nullptr);
    default:
      if (Index >= 0 && size_t(Index) + sizeof(LONG_PTR) <= Window->Extra.size()) {
        LONG_PTR Value;
        std::memcpy(&Value, Window->Extra.data() + Index, sizeof(Value));
        return Value;
      }
      return 0;
  }
}

LONG GetWindowLongA(HWND Handle, int Index) {
  if (Index >= 0) {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || size_t(Index) + sizeof(LONG) > Window->Extra.size()) return 0;
    LONG Value;
    std::memcpy(&Value, Window->Extra.data() + Index, sizeof(Value));
    return Value;
  }
  // Pointers do not fit in 32 bits; as on 64-bit systems, ask with GetWindowLongPtr.
  if (Index == GWL_WNDPROC || Index == GWL_HINSTANCE || Index == GWL_HWNDPARENT) return 0;
  return LONG(GetWindowLongPtrA(Handle, Index));
}

LONG_PTR SetWindowLongPtrA(HWND Handle, int Index, LONG_PTR Value) {
  if (Index == GWL_STYLE || Index == GWL_EXSTYLE) return SetStyle(Handle, Index, DWORD(Value));
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Parent) return 0;
  LONG_PTR Old = 0;
  switch (Index) {
    case GWL_ID:
      Old = Window->Id;
      Window->Id = Value;
      break;
    case GWL_USERDATA:
      Old = Window->UserData;
      Window->UserData = Value;
      break;
    case GWL_WNDPROC:
      Old = reinterpret_cast<LONG_PTR>(Window->Proc);
      if (Value) Window->Proc = reinterpret_cast<WNDPROC>(Value);
      break;
    case GWL_HINSTANCE:
      Old = reinterpret_cast<LONG_PTR>(Window->Instance);
      Window->Instance = reinterpret_cast<HINSTANCE>(Value);
      break;
    case GWL_HWNDPARENT: {
      Old = reinterpret_cast<LONG_PTR>(Window->Owner ? Window->Owner->Handle : nullptr);
      if (!IsChildWindow(Window)) {
        TWindow* Owner = FindLocked(reinterpret_cast<HWND>(Value));
        Window->Owner = Owner && Owner != Window ? RootLocked(Owner) : nullptr;
      }
      break;
    }
    default:
      if (Index >= 0 && size_t(Index) + sizeof(LONG_PTR) <= Window->Extra.size()) {
        std::memcpy(&Old, Window->Extra.data() + Index, sizeof(Old));
        std::memcpy(Window->Extra.data() + Index, &Value, sizeof(Value));
      }
      break;
  }
  return Old;
}

LONG SetWindowLongA(HWND Handle, int Index, LONG Value) {
  if (Index >= 0) {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || size_t(Index) + sizeof(LONG) > Window->Extra.size()) return 0;
    LONG Old;
    std::memcpy(&Old, Window->Extra.data() + Index, sizeof(Old));
    std::memcpy(Window->Extra.data() + Index, &Value, sizeof(Value));
    return Old;
  }
  if (Index == GWL_WNDPROC || Index == GWL_HINSTANCE || Index == GWL_HWNDPARENT) return 0;
  if (Index == GWL_STYLE || Index == GWL_EXSTYLE)
    return LONG(SetWindowLongPtrA(Handle, Index, LONG_PTR(DWORD(Value))));
  return LONG(SetWindowLongPtrA(Handle, Index, Value));
}

BOOL SetPropA(HWND Handle, LPCSTR Name, HANDLE Data) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Name) return FALSE;
  Window->Props[Name] = Data;
  return TRUE;
}

HANDLE GetPropA(HWND Handle, LPCSTR Name) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Name) return nullptr;
  auto Found = Window->Props.find(Name);
  return Found == Window->Props.end() ? nullptr : Found->second;
}

HANDLE RemovePropA(HWND Handle, LPCSTR Name) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Name) return nullptr;
  auto Found = Window->Props.find(Name);
  if (Found == Window->Props.end()) return nullptr;
  HANDLE Data = Found->second;
  Window->Props.erase(Found);
  return Data;
}

// ---- text ------------------------------------------------------------------------------------

BOOL SetWindowTextA(HWND Window, LPCSTR Text) {
  if (!IsWindow(Window)) return FALSE;
  return BOOL(SendMessage(Window, WM_SETTEXT, 0, LPARAM(Text ? Text : "")) != 0);
}

namespace {

bool OwnedByThisThread(HWND Handle, std::string* Text) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return false;
  if (Window->ThreadId == CurrentThreadId()) return true;
  if (Text) *Text = Window->Text;
  return false;
}

}  // namespace

int GetWindowTextA(HWND Window, LPSTR Buffer, int MaxCount) {
  if (!Buffer || MaxCount <= 0) return 0;
  Buffer[0] = 0;
  if (!IsWindow(Window)) return 0;
  std::string Text;
  if (OwnedByThisThread(Window, &Text))
    return int(SendMessage(Window, WM_GETTEXT, WPARAM(MaxCount), LPARAM(Buffer)));
  std::string_view Cut = Utf8TruncateBytes(Text, size_t(MaxCount - 1));
  std::memcpy(Buffer, Cut.data(), Cut.size());
  Buffer[Cut.size()] = 0;
  return int(Cut.size());
}

int GetWindowTextLengthA(HWND Window) {
  if (!IsWindow(Window)) return 0;
  std::string Text;
  if (OwnedByThisThread(Window, &Text)) return int(SendMessage(Window, WM_GETTEXTLENGTH, 0, 0));
  return int(Text.size());
}

std::string GetWindowTextString(HWND Window) {
  int Length = GetWindowTextLengthA(Window);
  if (Length <= 0) return std::string();
  std::string Buffer(size_t(Length) + 1, '\0');
  int Copied = GetWindowTextA(Window, Buffer.data(), Length + 1);
  Buffer.resize(size_t(std::max(Copied, 0)));
  return Buffer;
}

// ---- enabled state ---------------------------------------------------------------------------

BOOL EnableWindow(HWND Handle, BOOL Enable) {
  bool WasDisabled;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return FALSE;
    WasDisabled = (Window->Style & WS_DISABLED) != 0;
    if (Enable && WasDisabled) Window->Style &= ~WS_DISABLED;
  }
  if (Enable && WasDisabled) {
    SendMessage(Handle, WM_ENABLE, TRUE, 0);
  } else if (!Enable && !WasDisabled) {
    SendMessage(Handle, WM_CANCELMODE, 0, 0);
    bool TakeFocus;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      if (!Window) return FALSE;
      Window->Style |= WS_DISABLED;
      TWindow* Focus = FindLocked(InputLocked().Focus);
      TakeFocus = Focus && (Focus == Window || IsDescendantLocked(Window, Focus));
    }
    if (TakeFocus) SetFocus(nullptr);
    HWND Capture = GetCapture();
    if (Capture && (Capture == Handle || IsChild(Handle, Capture))) ReleaseCapture();
    SendMessage(Handle, WM_ENABLE, FALSE, 0);
  }
  return WasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  return Window && !(Window->Style & WS_DISABLED) ? TRUE : FALSE;
}

// ---- layered windows -------------------------------------------------------------------------

BOOL SetLayeredWindowAttributes(HWND Handle, COLORREF Key, BYTE Alpha, DWORD Flags) {
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !(Window->ExStyle & WS_EX_LAYERED)) return FALSE;
    Window->LayeredKey = Key;
    Window->LayeredAlpha = Alpha;
    Window->LayeredFlags = Flags;
  }
  NotifyDriverWindowChanged(Handle);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND Handle, COLORREF* Key, BYTE* Alpha, DWORD* Flags) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !(Window->ExStyle & WS_EX_LAYERED)) return FALSE;
  if (Key) *Key = Window->LayeredKey;
  if (Alpha) *Alpha = Window->LayeredAlpha;
  if (Flags) *Flags = Window->LayeredFlags;
  return TRUE;
}
