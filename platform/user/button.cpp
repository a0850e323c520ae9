// The "BUTTON" window class: push buttons and owner-drawn buttons.
//
// The state lives in the window's extra bytes (a subclassing control registers its own class
// with the same extra size): the pushed and focus bits as BM_GETSTATE reports them, whether the
// mouse or Space is tracking a press, and the font of WM_SETFONT.

#include "platform/user/button.h"

#include <string>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/gdi/text.h"
#include "platform/user/input.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

namespace {

constexpr int StateOffset = 0;
constexpr int FontOffset = int(sizeof(LONG_PTR));

// Tracking bits beside the BST_ bits.
constexpr LONG_PTR MouseTracking = 0x0100;
constexpr LONG_PTR SpaceTracking = 0x0200;

LONG_PTR State(HWND Window) {
  return GetWindowLongPtrA(Window, StateOffset);
}

void SetState(HWND Window, LONG_PTR Value) {
  SetWindowLongPtrA(Window, StateOffset, Value);
}

DWORD ButtonType(HWND Window) {
  return DWORD(GetWindowLongPtrA(Window, GWL_STYLE)) & BS_TYPEMASK;
}

bool OwnerDrawn(HWND Window) {
  return ButtonType(Window) == BS_OWNERDRAW;
}

// The owner's drawing for an owner-drawn button; the classic face for the others.
void PaintButton(HWND Window, HDC DC, UINT Action) {
  RECT Client{};
  GetClientRect(Window, &Client);
  const LONG_PTR Bits = State(Window);
  const bool Enabled = IsWindowEnabled(Window) != FALSE;
  if (OwnerDrawn(Window)) {
    DRAWITEMSTRUCT Item{};
    Item.CtlType = ODT_BUTTON;
    Item.CtlID = UINT(GetWindowLongPtrA(Window, GWL_ID));
    Item.itemAction = Action;
    if (Bits & BST_PUSHED) Item.itemState |= ODS_SELECTED;
    if (Bits & BST_FOCUS) Item.itemState |= ODS_FOCUS;
    if (!Enabled) Item.itemState |= ODS_DISABLED;
    Item.hwndItem = Window;
    Item.hDC = DC;
    Item.rcItem = Client;
    if (HWND Parent = GetParent(Window))
      SendMessageA(Parent, WM_DRAWITEM, WPARAM(Item.CtlID), LPARAM(&Item));
    return;
  }
  const int Saved = SaveDC(DC);
  UINT Frame = DFCS_BUTTONPUSH;
  if (Bits & BST_PUSHED) Frame |= DFCS_PUSHED;
  if (!Enabled) Frame |= DFCS_INACTIVE;
  RECT Face = Client;
  DrawFrameControl(DC, &Face, DFC_BUTTON, Frame);
  if (HFONT Font = reinterpret_cast<HFONT>(GetWindowLongPtrA(Window, FontOffset)))
    SelectObject(DC, Font);
  else
    SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  std::string Text(size_t(GetWindowTextLengthA(Window)) + 1, '\0');
  Text.resize(size_t(GetWindowTextA(Window, Text.data(), int(Text.size()))));
  RECT TextRect = Client;
  if (Bits & BST_PUSHED) OffsetRect(&TextRect, 1, 1);
  DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Bits & BST_FOCUS) {
    RECT Focus = Client;
    InflateRect(&Focus, -4, -4);
    DrawFocusRect(DC, &Focus);
  }
  RestoreDC(DC, Saved);
}

// Draws at once through a window DC, as the button does when its state changes.
void Redraw(HWND Window, UINT Action) {
  if (!IsWindowVisible(Window)) return;
  HDC DC = GetDC(Window);
  if (!DC) return;
  PaintButton(Window, DC, Action);
  ReleaseDC(Window, DC);
}

void SetPushed(HWND Window, bool Pushed) {
  const LONG_PTR Bits = State(Window);
  if (((Bits & BST_PUSHED) != 0) == Pushed) return;
  SetState(Window, Pushed ? Bits | BST_PUSHED : Bits & ~BST_PUSHED);
  Redraw(Window, ODA_SELECT);
}

void Notify(HWND Window, WORD Code) {
  HWND Parent = GetParent(Window);
  if (!Parent) return;
  const WORD Id = WORD(GetWindowLongPtrA(Window, GWL_ID));
  SendMessageA(Parent, WM_COMMAND, MAKEWPARAM(Id, Code), LPARAM(Window));
}

bool Inside(HWND Window, LPARAM Position) {
  RECT Client{};
  GetClientRect(Window, &Client);
  const POINT Point{GET_X_LPARAM(Position), GET_Y_LPARAM(Position)};
  return PtInRect(&Client, Point) != FALSE;
}

// Ends a press that the mouse or Space started; Click: the press ended over the button.
void EndPress(HWND Window, LONG_PTR Tracking, bool Click) {
  SetState(Window, State(Window) & ~Tracking);
  SetPushed(Window, false);
  if (Click) Notify(Window, BN_CLICKED);
}

}  // namespace

LRESULT ButtonWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_GETDLGCODE:
      switch (ButtonType(Window)) {
        case BS_DEFPUSHBUTTON:
          return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
          return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        default:
          return DLGC_BUTTON;
      }
    case WM_ERASEBKGND:
      // The face covers the whole client area; an owner-drawn button leaves it to its owner.
      return 1;
    case WM_PAINT: {
      if (HDC Given = reinterpret_cast<HDC>(WParam)) {
        PaintButton(Window, Given, ODA_DRAWENTIRE);
        return 0;
      }
      PAINTSTRUCT Paint{};
      HDC DC = BeginPaint(Window, &Paint);
      if (DC) PaintButton(Window, DC, ODA_DRAWENTIRE);
      EndPaint(Window, &Paint);
      return 0;
    }
    case WM_ENABLE:
    case WM_SETTEXT: {
      LRESULT Result = DefWindowProcA(Window, Msg, WParam, LParam);
      InvalidateRect(Window, nullptr, FALSE);
      return Result;
    }
    case WM_SETFONT:
      SetWindowLongPtrA(Window, FontOffset, LONG_PTR(WParam));
      if (LOWORD(LParam)) InvalidateRect(Window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrA(Window, FontOffset);
    case WM_SETFOCUS:
      SetState(Window, State(Window) | BST_FOCUS);
      Redraw(Window, ODA_FOCUS);
      if (GetWindowLongPtrA(Window, GWL_STYLE) & BS_NOTIFY) Notify(Window, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS: {
      const LONG_PTR Bits = State(Window);
      SetState(Window, Bits & ~(BST_FOCUS | SpaceTracking));
      if (Bits & MouseTracking) {
        SetState(Window, State(Window) & ~MouseTracking);
        if (GetCapture() == Window) ReleaseCapture();
      }
      if (Bits & (MouseTracking | SpaceTracking)) SetPushed(Window, false);
      Redraw(Window, ODA_FOCUS);
      if (GetWindowLongPtrA(Window, GWL_STYLE) & BS_NOTIFY) Notify(Window, BN_KILLFOCUS);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(Window);
      SetCapture(Window);
      SetState(Window, State(Window) | MouseTracking);
      SetPushed(Window, true);
      return 0;
    case WM_MOUSEMOVE:
      if ((State(Window) & MouseTracking) && GetCapture() == Window) SetPushed(Window, Inside(Window, LParam));
      return 0;
    case WM_LBUTTONUP:
      if (State(Window) & MouseTracking) {
        const bool Click = (State(Window) & BST_PUSHED) != 0 && Inside(Window, LParam);
        if (GetCapture() == Window) ReleaseCapture();
        EndPress(Window, MouseTracking, Click);
      }
      return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (State(Window) & MouseTracking) {
        if (Msg == WM_CANCELMODE && GetCapture() == Window) ReleaseCapture();
        EndPress(Window, MouseTracking, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (WParam == VK_SPACE) {
        if (!(State(Window) & SpaceTracking)) {
          SetState(Window, State(Window) | SpaceTracking);
          SetPushed(Window, true);
        }
        return 0;
      }
      break;
    case WM_KEYUP:
      if (WParam == VK_SPACE) {
        if (State(Window) & SpaceTracking) EndPress(Window, SpaceTracking, true);
        return 0;
      }
      break;
    case BM_GETSTATE:
      return State(Window) & (BST_PUSHED | BST_FOCUS);
    case BM_SETSTATE:
      SetPushed(Window, WParam != 0);
      return 0;
    case BM_GETCHECK:
      return BST_UNCHECKED;
    case BM_SETCHECK:
      return 0;
    case BM_SETSTYLE: {
      const DWORD Style = DWORD(GetWindowLongPtrA(Window, GWL_STYLE));
      SetWindowLongPtrA(Window, GWL_STYLE, LONG_PTR((Style & ~BS_TYPEMASK) | (DWORD(WParam) & BS_TYPEMASK)));
      if (LParam) InvalidateRect(Window, nullptr, FALSE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(Window)) Notify(Window, BN_CLICKED);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Msg, WParam, LParam);
}
