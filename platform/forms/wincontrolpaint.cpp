// TWinControl: painting. The window paints itself (PaintWindow), then its windowless children on
// the same device context, bottom first; windowed children paint in their own WM_PAINT. Opaque
// windowless children are cut out of the window's own painting, so it does not draw what they
// cover. With DoubleBuffered, the background, the window and its windowless children are drawn
// into a bitmap first and copied to the screen in one piece.

#include "platform/forms/canvas.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace {

// Moves the DC's origin so that (DX, DY) of the current coordinates becomes (0, 0).
void MoveWindowOrg(HDC DC, int DX, int DY) {
  POINT P{};
  GetWindowOrgEx(DC, &P);
  SetWindowOrgEx(DC, P.x - DX, P.y - DY, nullptr);
}

}  // namespace

void TWinControl::Invalidate() {
  Perform(CM_INVALIDATE, 0, 0);
}

void TWinControl::CMInvalidate(TMessage& Message) {
  if (FHandle && Message.WParam == 0) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::BringToFront() {
  if (FParent) {
    auto& List = FParent->FWinControls;
    auto Where = std::find(List.begin(), List.end(), this);
    if (Where != List.end()) {
      List.erase(Where);
      List.push_back(this);
    }
  }
  if (FHandle) SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SendToBack() {
  if (FParent) {
    auto& List = FParent->FWinControls;
    auto Where = std::find(List.begin(), List.end(), this);
    if (Where != List.end()) {
      List.erase(Where);
      List.insert(List.begin(), this);
    }
  }
  if (FHandle) SetWindowPos(FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!FDoubleBuffered || Message.WParam != 0) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty())
      DefaultHandler(Message);
    else
      PaintHandler(Message);
    return;
  }
  RECT Client = ClientRect();
  HDC Screen = GetDC(nullptr);
  HBITMAP Buffer =
      CreateCompatibleBitmap(Screen, std::max<LONG>(1, Client.right), std::max<LONG>(1, Client.bottom));
  ReleaseDC(nullptr, Screen);
  HDC Memory = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Memory, Buffer);
  PAINTSTRUCT Paint{};
  HDC DC = BeginPaint(FHandle, &Paint);
  // The buffer starts as what is on the screen, so a control that paints only part of itself
  // (or nothing where it is transparent) keeps the rest.
  BitBlt(Memory, 0, 0, Client.right, Client.bottom, DC, 0, 0, SRCCOPY);
  Perform(WM_ERASEBKGND, WPARAM(Memory), LPARAM(Memory));
  Message.WParam = WPARAM(Memory);
  try {
    WMPaint(Message);
  } catch (...) {
    Message.WParam = 0;
    EndPaint(FHandle, &Paint);
    SelectObject(Memory, Old);
    DeleteDC(Memory);
    DeleteObject(Buffer);
    throw;
  }
  Message.WParam = 0;
  BitBlt(DC, 0, 0, Client.right, Client.bottom, Memory, 0, 0, SRCCOPY);
  EndPaint(FHandle, &Paint);
  SelectObject(Memory, Old);
  DeleteDC(Memory);
  DeleteObject(Buffer);
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC DC = Message.DC();
  PAINTSTRUCT Paint{};
  if (!DC) DC = BeginPaint(FHandle, &Paint);
  if (!DC) return;
  try {
    int Saved = SaveDC(DC);
    int Clip = SIMPLEREGION;
    for (TControl* Child : FControls)
      if (Child->Visible() && Child->ControlStyle().Contains(csOpaque)) {
        Clip = ExcludeClipRect(DC, Child->Left(), Child->Top(), Child->Left() + Child->Width(),
                               Child->Top() + Child->Height());
        if (Clip == NULLREGION) break;
      }
    if (Clip != NULLREGION) PaintWindow(DC);
    RestoreDC(DC, Saved);
    PaintControls(DC, nullptr);
  } catch (...) {
    if (!Message.DC()) EndPaint(FHandle, &Paint);
    throw;
  }
  if (!Message.DC()) EndPaint(FHandle, &Paint);
}

void TWinControl::PaintWindow(HDC DC) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t Index = 0;
  if (First) {
    auto Where = std::find(FControls.begin(), FControls.end(), First);
    if (Where != FControls.end()) Index = size_t(Where - FControls.begin());
  }
  std::vector<TControl*> Children(FControls.begin() + long(Index), FControls.end());
  for (TControl* Child : Children) {
    if (!Child->Visible()) continue;
    RECT Bounds = Child->BoundsRect();
    if (!RectVisible(DC, &Bounds)) continue;
    if (FControlState.Contains(csPaintCopy)) Child->FControlState.Include(csPaintCopy);
    int Saved = SaveDC(DC);
    MoveWindowOrg(DC, Child->Left(), Child->Top());
    IntersectClipRect(DC, 0, 0, Child->Width(), Child->Height());
    try {
      Child->Perform(WM_PAINT, WPARAM(DC), 0);
    } catch (...) {
      RestoreDC(DC, Saved);
      Child->FControlState.Exclude(csPaintCopy);
      throw;
    }
    RestoreDC(DC, Saved);
    Child->FControlState.Exclude(csPaintCopy);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  RECT Client = ClientRect();
  FillRect(Message.DC(), &Client, FBrush->Handle());
  Message.Result = 1;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState.Include(csPaintCopy);
  int Saved = SaveDC(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  if (FHandle) {
    const LONG ExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
    const LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    UINT Edge = 0, Flags = 0;
    if (ExStyle & WS_EX_CLIENTEDGE) {
      Edge = EDGE_SUNKEN;
      Flags = BF_RECT | BF_ADJUST;
    } else if (Style & WS_BORDER) {
      Edge = BDR_OUTER;
      Flags = BF_RECT | BF_ADJUST | BF_MONO;
    }
    if (Flags) {
      RECT R{0, 0, FWidth, FHeight};
      DrawEdge(DC, &R, Edge, Flags);
      MoveWindowOrg(DC, R.left, R.top);
      IntersectClipRect(DC, 0, 0, R.right - R.left, R.bottom - R.top);
    }
  }
  try {
    Perform(WM_ERASEBKGND, WPARAM(DC), 0);
    Perform(WM_PAINT, WPARAM(DC), 0);
    std::vector<TWinControl*> Children = FWinControls;
    for (TWinControl* Child : Children)
      if (Child->Visible()) Child->PaintTo(DC, Child->Left(), Child->Top());
  } catch (...) {
    RestoreDC(DC, Saved);
    FControlState.Exclude(csPaintCopy);
    throw;
  }
  RestoreDC(DC, Saved);
  FControlState.Exclude(csPaintCopy);
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y) {
  Canvas->Lock();
  try {
    PaintTo(Canvas->Handle(), X, Y);
  } catch (...) {
    Canvas->Unlock();
    throw;
  }
  Canvas->Unlock();
}
