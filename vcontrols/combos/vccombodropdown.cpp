// Opening and closing a combo's drop-down: the registered open message, the placement of the
// container beside the combo on the screen, and the thread mouse hook that turns clicks outside
// an open drop-down into messages for the drop-down control (or, for non-client clicks, for the
// combo), so that it closes from the message loop.

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccombo.h"
#include "vcontrols/common/vchosts.h"

using namespace vccombo;

namespace {

// One hook for every combo, and the combo whose open drop-down it watches.
HHOOK SharedHook = nullptr;
TvcCustomCombo* HookOwner = nullptr;

void RemoveHook() {
  if (SharedHook) UnhookWindowsHookEx(SharedHook);
  SharedHook = nullptr;
  HookOwner = nullptr;
}

// The point in the drop-down control's client coordinates, each coordinate -1 when negative,
// as the reposted message carries it.
LPARAM ClientPoint(TWinControl* Control, POINT Screen) {
  POINT Local = Screen;
  ScreenToClient(Control->HandleIfAllocated(), &Local);
  if (Local.x < 0) Local.x = -1;
  if (Local.y < 0) Local.y = -1;
  return MAKELPARAM(WORD(int16_t(Local.x)), WORD(int16_t(Local.y)));
}

}  // namespace

UINT VcComboDropDownMessage() {
  static const UINT Message = RegisterWindowMessageA("VCCOMBODROPDOWNMESSAGE");
  return Message;
}

HHOOK TvcCustomCombo::MouseHook() {
  return SharedHook;
}

void TvcCustomCombo::ReleaseMouseHookOf(TvcCustomCombo* Combo) {
  if (SharedHook && HookOwner == Combo) RemoveHook();
}

LRESULT ComboMouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  // The chain always runs on and its answer stands: the hook never swallows a message.
  const LRESULT Result = CallNextHookEx(SharedHook, Code, WParam, LParam);
  if (Code < 0 || !LParam) return Result;
  const UINT Message = UINT(WParam);
  if (Message != WM_NCLBUTTONDOWN && Message != WM_MOUSEMOVE && Message != WM_LBUTTONDOWN && Message != WM_LBUTTONUP)
    return Result;
  auto* Combo = Screen ? dynamic_cast<TvcCustomCombo*>(Screen->ActiveControl()) : nullptr;
  if (!Combo || !Combo->GetDroppedDown()) return Result;
  TWinControl* Control = Combo->GetDropDownControl();
  if (!Control || !Control->HandleAllocated()) return Result;
  const auto& Mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
  RECT Area{};
  GetWindowRect(Control->HandleIfAllocated(), &Area);
  if (Message == WM_LBUTTONDOWN || Message == WM_NCLBUTTONDOWN) {
    Area.right = Area.left + Control->Width();
    Area.bottom = Area.top + Control->Height();
    TWinControl* Target = Message == WM_LBUTTONDOWN ? Control : Combo;
    // Clicks in the combo's form or in any child window count; another top-level window's do not.
    TCustomForm* Form = GetParentForm(Combo);
    const bool Counts = (Form && Form->HandleAllocated() && Mouse.hwnd == Form->HandleIfAllocated()) ||
                        (Mouse.hwnd && GetParent(Mouse.hwnd) != nullptr);
    if (Counts && !PtInRect(&Area, Mouse.pt) && Target->HandleAllocated())
      PostMessageA(Target->HandleIfAllocated(), Message, 0, ClientPoint(Control, Mouse.pt));
  } else if (Mouse.hwnd == Control->HandleIfAllocated() && !PtInRect(&Area, Mouse.pt)) {
    // The drop-down control holds the mouse: it hears of moves and releases outside itself.
    PostMessageA(Control->HandleIfAllocated(), Message, 0, ClientPoint(Control, Mouse.pt));
  }
  return Result;
}

void TvcCustomCombo::DoDropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TvcCustomCombo::DoAfterDropDown() {}

void TvcCustomCombo::DoCloseUp(bool Select) {
  if (OnCloseUp) OnCloseUp(this, Select);
}

void TvcCustomCombo::DropDown() {
  if (!SharedHook) SharedHook = SetWindowsHookExA(WH_MOUSE, &ComboMouseHook, nullptr, GetCurrentThreadId());
  HookOwner = this;
  DoDropDown();
  TWinControl* Container = GetDropDownContainer();
  TWinControl* Control = GetDropDownControl();
  if (!Container || !Control) return;
  RECT Window{};
  GetWindowRect(Handle(), &Window);
  POINT Place{Window.left, Window.top};
  if (ParentIsGrid(this)) ++Place.y;
  const int Border = 2 * GetSystemMetrics(SM_CYBORDER);
  int ItemWidth = 0, ItemHeight = 0;
  GetDropDownItemSize(ItemWidth, ItemHeight);
  const int Count = GetDropDownItemCount();
  const int DropHeight = (Count > 0 ? std::min(FDropDownCount, Count) * ItemHeight : Height()) + Border;
  const int DropWidth =
      ItemWidth == 0 ? Width() : std::max(Width(), ItemWidth + Border + 2 * GetSystemMetrics(SM_CXVSCROLL));
  // Right edges line up when the screen has no room at the right; it opens above the combo when
  // there is none below.
  if (GetSystemMetrics(SM_CXSCREEN) - DropWidth < Place.x) Place.x = Place.x + Width() - DropWidth;
  if (GetSystemMetrics(SM_CYSCREEN) < Place.y + Height() + DropHeight) Place.y = Place.y - Height() - DropHeight;
  Container->SetColor(Control->Color());
  TCustomForm* Form = GetParentForm(this);
  const HWND After = Form && Form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP;
  SetWindowPos(Container->Handle(), After, Place.x, Place.y + Height(), DropWidth, DropHeight,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  DoAfterDropDown();
  Container->SetVisible(true);
  Control->Update();
  EnableTyping();
}

void TvcCustomCombo::CloseUp(bool) {
  // The hook goes on every way out, also when hiding the drop-down fails; a hook that watches
  // another combo's drop-down stays (a late close of this one must not leave that one open for
  // good).
  struct TUnhook {
    TvcCustomCombo* Combo;
    ~TUnhook() {
      if (SharedHook && (HookOwner == Combo || !HookOwner)) RemoveHook();
    }
  } Unhook{this};
  SelectAll();
  if (GetDroppedDown()) {
    TWinControl* Container = GetDropDownContainer();
    TWinControl* Control = GetDropDownControl();
    // A drop-down that holds the mouse lets it go, or it would keep every click after it closed.
    if (Control && Control->HandleAllocated() && GetCapture() == Control->HandleIfAllocated()) ReleaseCapture();
    const bool ControlHadFocus = Control && Control->HandleAllocated() && GetFocus() == Control->HandleIfAllocated();
    SetWindowPos(Container->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    Container->SetVisible(false);
    Invalidate();
    if (ControlHadFocus && CanFocus()) SetFocus();
  }
  if (FStyle == csDropDownList) DisableTyping();
}

void TvcCustomCombo::CloseUpIfOutside() {
  TWinControl* Control = GetDropDownControl();
  if (!Control) return;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const POINT Origin = Control->ClientToScreen(POINT{0, 0});
  const RECT ControlArea{Origin.x, Origin.y, Origin.x + Control->Width(), Origin.y + Control->Height()};
  RECT ComboArea{};
  if (HandleAllocated()) GetWindowRect(HandleIfAllocated(), &ComboArea);
  if (!PtInRect(&ControlArea, Cursor) && !PtInRect(&ComboArea, Cursor)) CloseUp(false);
}

void TvcCustomCombo::ButtonMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  if (GetDroppedDown()) {
    CloseUp(true);
    return;
  }
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form->FormStyle() == fsMDIChild && Screen && Screen->ActiveForm() != Form && Form->HandleAllocated())
    SendMessageA(Form->HandleIfAllocated(), WM_ACTIVATE, WA_INACTIVE, 0);
  if (CanFocus()) {
    SetFocus();
    if (HandleAllocated() && GetFocus() != HandleIfAllocated()) ::SetFocus(HandleIfAllocated());
  }
  // The drop-down opens from the message loop, once the change of focus has settled.
  if ((Screen && Screen->ActiveControl() == this) || Focused())
    PostMessageA(Handle(), VcComboDropDownMessage(), 0, 0);
}
