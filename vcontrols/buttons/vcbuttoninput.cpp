// TvcCustomBitBtn: messages, mouse and keyboard, the down state and the group.
//
// The press follows the mouse: a left press takes the capture and shows the button down (unless
// it toggles on release); while the button is held, moving off shows it up again and moving back
// down; the release decides. Outside a group the button is down only while held. In a group the
// release toggles it (or leaves it down when it was down and AllowAllUp is off), and the group
// hears of it first, so the other members go up.

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/buttons/vcbutton.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcwindows.h"
#include "platform/rtl/scopeexit.h"

// --- the down state -------------------------------------------------------------------------------

bool TvcCustomBitBtn::DrawnDown() {
  if (!FShowDownAsUp) return FDown && !FControlState.Contains(csPaintCopy);
  // In a bar that shows its selected button up, a press still shows while the pointer is on it.
  return FPressing && IsMouseInControl(-1, -1, false) && !FSelectedState;
}

void TvcCustomBitBtn::SetDownState(bool Value, bool Notify, bool DoInvalidate) {
  if (Value != FDown) {
    FDown = Value;
    UpdateRegionState();
    if (FDown) NotifyLinksPressed();
    if (Notify) NotifyGroup();
    if (DoInvalidate) Invalidate();
  }
  if (FGroupIndex > 0 && FOptions.Contains(boAutoBold)) {
    TFontStyles Style = Font()->Style();
    if (FDown)
      Style.Include(fsBold);
    else
      Style.Exclude(fsBold);
    Font()->SetStyle(Style);
  }
}

void TvcCustomBitBtn::NotifyGroup() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage Message{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(static_cast<TObject*>(this)), 0};
  Parent()->Broadcast(Message);
}

void TvcCustomBitBtn::CMButtonPressed(TMessage& Message) {
  if (int32_t(Message.WParam) != FGroupIndex) return;
  auto* Sender = dynamic_cast<TvcCustomBitBtn*>(reinterpret_cast<TObject*>(Message.LParam));
  if (!Sender || !Sender->Down()) return;
  if (Sender == this) {
    FSelectedState = FDown;
    return;
  }
  // Every other member hears of the change, whether it was down or not.
  SetDownState(false, false, true);
  SelectionChanged();
}

void TvcCustomBitBtn::SelectionChanged() {
  FSelectedState = FDown;
  if (OnSelChange) OnSelChange(this);
  NotifyLinksChanged();
}

// --- the pointer ----------------------------------------------------------------------------------

bool TvcCustomBitBtn::IsMouseInControl(int X, int Y, bool RequirePressed) {
  if (RequirePressed && !FPressing) return false;
  if (!HandleAllocated()) return false;
  if (TCustomForm* Form = GetParentForm(this); Form && Form->HandleAllocated()) {
    const HWND Active = GetActiveWindow();
    const HWND FormWindow = Form->HandleIfAllocated();
    const HWND FormParent = GetParent(FormWindow);
    const bool Exempt = Form->FormStyle() == fsMDIChild || Form->FormStyle() == fsMDIForm ||
                        IsClassNamed(&Form->ClassType(), "TActiveForm") ||
                        (FormParent && GetParent(FormParent) == Active);
    if (FormWindow != Active && !Exempt) return false;
  }
  const bool Shaped = IsShaped();
  TWinControl* Reference = Shaped ? this : Parent();
  if (!Reference || !Reference->HandleAllocated()) return false;
  POINT Point{};
  if (X == -1 && Y == -1) {
    GetCursorPos(&Point);
  } else {
    Point = POINT{X, Y};
    ::ClientToScreen(HandleIfAllocated(), &Point);
  }
  ::ScreenToClient(Reference->HandleIfAllocated(), &Point);
  if (Shaped) {
    HRGN Other = CreateRegion(true, !FDown);
    bool Inside = false;
    if (Other || FPreviousRegion) {
      HRGN Test = CreateRectRgn(0, 0, 0, 0);
      if (Other) CombineRgn(Test, Other, nullptr, RGN_COPY);
      if (FPreviousRegion) CombineRgn(Test, Test, FPreviousRegion, RGN_OR);
      Inside = PtInRegion(Test, Point.x, Point.y) != FALSE;
      DeleteObject(Test);
    }
    if (Other) DeleteObject(Other);
    return Inside;
  }
  return ChildWindowFromPointEx(Reference->HandleIfAllocated(), Point, CWP_SKIPINVISIBLE) == HandleIfAllocated();
}

// --- press and release ----------------------------------------------------------------------------

void TvcCustomBitBtn::Press() {
  if (FClicksSuppressed) return;
  FWasDown = FDown;
  if (FOptions.Contains(boToggleOnUp) && FGroupIndex != 0) return;
  if (FOptions.Contains(boFocusable) && CanFocus()) SetFocus();
  SetDownState(true, false, false);
  if (FDown != FWasDown) PaintNow();
}

void TvcCustomBitBtn::Release(bool Inside) {
  if (FClicksSuppressed) return;
  if (FGroupIndex == 0) {
    SetDownState(false, false, false);
    PaintNow();
    return;
  }
  NotifyGroup();
  if ((Inside || FOptions.Contains(boToggleOnUp)) && (!FWasDown || FAllowAllUp)) {
    SetDownState(!FWasDown, true, false);
    PaintNow();
    SelectionChanged();
  }
}

void TvcCustomBitBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FPressing = true;
    SetMouseCapture(true);
    Press();
  }
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TvcCustomBitBtn::MouseMove(TShiftState Shift, int X, int Y) {
  if (FClicksSuppressed) return;
  TWinControl::MouseMove(Shift, X, Y);
  if (FOptions.Contains(boToggleOnUp) || !FPressing || GetKeyState(VK_LBUTTON) >= 0) return;
  const bool Inside = IsMouseInControl(X, Y, true);
  if ((Inside && !FDown) || (!Inside && FDown && !FWasDown)) {
    SetDownState(Inside, false, false);
    PaintNow();
  }
}

void TvcCustomBitBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl::MouseUp(Button, Shift, X, Y);
  const bool InBar = !FShowDownAsUp && Parent() && IsClassNamed(&Parent()->ClassType(), "TvcCustomOutlookBar");
  const bool Inside = InBar || IsMouseInControl(X, Y, true);
  Release(Inside);
  SetMouseCapture(false);
  if (IsMouseInControl(X, Y, true) || FOptions.Contains(boToggleOnUp)) Click();
  FPressing = false;
}

void TvcCustomBitBtn::Click() {
  if (FClicksSuppressed) return;
  TObjectProtector Protect(this);
  FInClick = true;
  TScopeExit Done([this, &Protect] {
    if (!Protect.Alive()) return;
    FInClick = false;
    Invalidate();
  });
  TCustomForm* Form = GetParentForm(this);
  switch (Kind()) {
    case bkHelp:
      // The first control up the parent chain with a help context would give the help call
      // (see the FIXME in the header); without one a Help button clicks like any other.
      TWinControl::Click();
      break;
    case bkClose:
      if (Form)
        Form->Close();
      else
        TWinControl::Click();
      break;
    default:
      if (Form) Form->SetModalResult(FModalResult);
      TWinControl::Click();
      break;
  }
}

void TvcCustomBitBtn::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key != VK_SPACE) return;
  Press();
  Release(true);
  Click();
}

// --- messages -------------------------------------------------------------------------------------

bool TvcCustomBitBtn::ClickForDialogKey(WPARAM Key) {
  const bool NoModifiers = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
  if (!NoModifiers || !CanFocus()) return false;
  if ((Key == VK_RETURN && FActiveDefault) || (Key == VK_ESCAPE && FCancel)) {
    Click();
    return true;
  }
  return false;
}

void TvcCustomBitBtn::CMDialogKey(TMessage& Message) {
  if (ClickForDialogKey(Message.WParam)) {
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TvcCustomBitBtn::CMDialogChar(TMessage& Message) {
  if (ClickForDialogKey(Message.WParam)) {
    Message.Result = 1;
    return;
  }
  if (IsAccel(char32_t(Message.WParam), Caption()) && CanFocus()) {
    if (FGroupIndex > 0) SetDownState(true, true, false);
    Click();
    Invalidate();
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TvcCustomBitBtn::CMFocusChanged(TMessage& Message) {
  auto* Focused = reinterpret_cast<TWinControl*>(Message.LParam);
  if (auto* Button = dynamic_cast<TvcCustomBitBtn*>(Focused))
    FActiveDefault = Button == this;
  else
    FActiveDefault = FDefault;
  TWinControl::Dispatch(Message);
}

void TvcCustomBitBtn::CMMouseEnterLeave(TMessage& Message, bool Entering) {
  if (FShadeStyle == fbsFlat || FNumGlyphs == 4) Invalidate();
  // The button fires its own enter and leave events (the class library's would fire twice).
  if (Message.LParam != 0) return;
  if (Entering) {
    if (OnMouseEnter) OnMouseEnter(this);
  } else if (OnMouseLeave) {
    OnMouseLeave(this);
  }
}

void TvcCustomBitBtn::WMPaint(TMessage& Message) {
  if (!FControlState.Contains(csPaintCopy)) {
    TWinControl::Dispatch(Message);
    return;
  }
  // A copy painted into someone else's DC (a grid cell): straight onto it.
  HDC DC = Message.DC();
  if (!DC) return;
  FCanvas->SetHandle(DC);
  FCanvas->SetFont(Font());
  if (ParentIsGrid(this)) FCanvas->Font()->SetColor(TColor(GetTextColor(DC)));
  TScopeExit Unbind([this] { FCanvas->SetHandle(nullptr); });
  PaintButton();
}

void TvcCustomBitBtn::WMSize(TMessage& Message) {
  TWinControl::Dispatch(Message);
  // The cached regions were of the old size.
  FreeRegionData(FRegionBytes);
  FreeRegionData(FDownRegionBytes);
  if (HandleAllocated()) {
    SetWindowRgn(HandleIfAllocated(), nullptr, TRUE);
    FRegion = nullptr;
  }
  ApplyRegion();
  Invalidate();
  InvalidateInParent(this, true);
}

void TvcCustomBitBtn::WMLButtonDown(TMessage& Message) {
  // The press is the button's own: the system button's handling (which would take the focus)
  // is left out.
  SendCancelMode(this);
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseDown(mbLeft, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TvcCustomBitBtn::WMCancelMode(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, PointToLParam(POINT{-1, -1}));
}

void TvcCustomBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      if (const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)) DrawItem(*Item);
      Message.Result = 1;
      return;
    case CN_MEASUREITEM:
      if (auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
        Item->itemWidth = UINT(std::max(0, Width()));
        Item->itemHeight = UINT(std::max(0, Height()));
      }
      return;
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      return;
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      return;
    case CM_FOCUSCHANGED:
      CMFocusChanged(Message);
      return;
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_MOUSEENTER:
      CMMouseEnterLeave(Message, true);
      return;
    case CM_MOUSELEAVE:
      CMMouseEnterLeave(Message, false);
      return;
    case CM_BUTTONPRESSED:
      CMButtonPressed(Message);
      return;
    default:
      TWinControl::Dispatch(Message);
      return;
  }
}
