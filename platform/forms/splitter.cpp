#include "platform/forms/splitter.h"

#include <algorithm>

#include "platform/forms/wincontrol.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TSplitter)

namespace {

// The splitter being dragged: Escape reaches it through a keyboard hook, since the keys go to
// whatever control has the focus.
TSplitter* GDraggedSplitter = nullptr;

LRESULT EscapeHook(int Code, WPARAM WParam, LPARAM LParam) {
  // A key going down (bit 31 of lParam clear) that is Escape ends the drag and is swallowed.
  if (Code >= 0 && WParam == VK_ESCAPE && (LParam & (LPARAM(1) << 31)) == 0 && GDraggedSplitter) {
    GDraggedSplitter->CancelDrag();
    return 1;
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// An 8 x 8 checkerboard: inverted through it, the line shows as a hatch over any picture.
HBRUSH MakeHatchBrush() {
  WORD Rows[8];
  for (int Row = 0; Row < 8; ++Row) Rows[Row] = (Row % 2) ? 0xAAAA : 0x5555;
  HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Rows);
  HBRUSH Brush = CreatePatternBrush(Pattern);
  DeleteObject(Pattern);
  return Brush;
}

}  // namespace

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  FAlign = alLeft;
  FCursor = crHSplit;
  SetBounds(0, 0, 3, 100);
}

TSplitter::~TSplitter() {
  if (FDragging) StopSizing(false);
}

void TSplitter::BeforeDestruction() {
  if (FDragging) StopSizing(false);
  TGraphicControl::BeforeDestruction();
}

void TSplitter::SetBeveled(bool Value) {
  if (FBeveled == Value) return;
  FBeveled = Value;
  Invalidate();
}

TControl* TSplitter::ResizeControl() {
  TWinControl* Parent = this->Parent();
  if (!Parent) return nullptr;
  // The point just outside the splitter on the side of the control it resizes.
  POINT Probe{Left(), Top()};
  switch (FAlign) {
    case alLeft: Probe.x = Left() - 1; break;
    case alRight: Probe.x = Left() + Width(); break;
    case alTop: Probe.y = Top() - 1; break;
    case alBottom: Probe.y = Top() + Height(); break;
    default: return nullptr;
  }
  for (int Index = 0; Index < Parent->ControlCount(); ++Index) {
    TControl* Control = Parent->Controls(Index);
    if (Control == this || !Control->Visible() || Control->Align() != FAlign) continue;
    const RECT R = Control->BoundsRect();
    const bool Touches = Horizontal() ? (FAlign == alLeft ? R.right == Left() : R.left == Left() + Width())
                                      : (FAlign == alTop ? R.bottom == Top() : R.top == Top() + Height());
    if (Touches) return Control;
  }
  return nullptr;
}

int TSplitter::SizeFor(int X, int Y) const {
  int Split = Horizontal() ? X - FDownPos.x : Y - FDownPos.y;
  if (FAlign == alRight || FAlign == alBottom) Split = -Split;
  return FOldSize + Split;
}

bool TSplitter::CanResizeTo(int& NewSize) {
  bool Accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, Accept);
  return Accept;
}

RECT TSplitter::LineRect() const {
  // Where the splitter will stand once the control has FNewSize.
  int Offset = FNewSize - FOldSize;
  if (FAlign == alRight || FAlign == alBottom) Offset = -Offset;
  RECT R = BoundsRect();
  if (Horizontal())
    OffsetRect(&R, Offset, 0);
  else
    OffsetRect(&R, 0, Offset);
  return R;
}

void TSplitter::ToggleLine() {
  if (!FLineDC) return;
  const RECT R = LineRect();
  HGDIOBJ Old = SelectObject(FLineDC, FLineBrush);
  PatBlt(FLineDC, R.left, R.top, R.right - R.left, R.bottom - R.top, PATINVERT);
  SelectObject(FLineDC, Old);
  FLineShown = !FLineShown;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FDragging || !Enabled()) return;
  FControl = ResizeControl();
  TWinControl* Parent = this->Parent();
  if (!FControl || !Parent) return;
  FDownPos = POINT{X, Y};
  FOldSize = Horizontal() ? FControl->Width() : FControl->Height();
  FNewSize = FOldSize;
  // The control may grow until the controls aligned beside it and MinSize for the rest fill
  // the parent.
  const RECT Client = Parent->ClientRect();
  FMaxSize = (Horizontal() ? Client.right - Client.left : Client.bottom - Client.top) - FMinSize;
  for (int Index = 0; Index < Parent->ControlCount(); ++Index) {
    TControl* Control = Parent->Controls(Index);
    if (!Control->Visible()) continue;
    const bool SameAxis = Horizontal() ? (Control->Align() == alLeft || Control->Align() == alRight)
                                       : (Control->Align() == alTop || Control->Align() == alBottom);
    if (SameAxis) FMaxSize -= Horizontal() ? Control->Width() : Control->Height();
  }
  FMaxSize += FOldSize;
  FDragging = true;
  FControl->FreeNotification(this);
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) {
    if (Parent->HandleAllocated()) {
      // Over the children too: the line crosses the panels beside the splitter.
      FLineDC = GetDCEx(Parent->HandleIfAllocated(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
      FLineBrush = FResizeStyle == rsPattern ? MakeHatchBrush() : CreateSolidBrush(RGB(255, 255, 255));
      ToggleLine();
    }
  }
  GDraggedSplitter = this;
  FEscapeHook = SetWindowsHookExA(WH_KEYBOARD, &EscapeHook, nullptr, GetCurrentThreadId());
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging || !FControl) return;
  int Size = std::clamp(SizeFor(X, Y), std::min(FMinSize, FOldSize), std::max(FMaxSize, FMinSize));
  if (!CanResizeTo(Size) || Size == FNewSize) return;
  const bool Shown = FLineShown;
  if (Shown) ToggleLine();
  FNewSize = Size;
  if (Shown) ToggleLine();
  if (FResizeStyle == rsUpdate) ApplySize(FControl, FNewSize);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && FDragging) StopSizing(true);
}

void TSplitter::ApplySize(TControl* Control, int Size) {
  if (!Control) return;
  if (Horizontal())
    Control->SetBounds(Control->Left(), Control->Top(), Size, Control->Height());
  else
    Control->SetBounds(Control->Left(), Control->Top(), Control->Width(), Size);
  if (TWinControl* Parent = this->Parent()) Parent->Update();
}

void TSplitter::CancelDrag() {
  if (!FDragging) return;
  TControl* Control = FControl;
  StopSizing(false);
  if (FResizeStyle == rsUpdate) ApplySize(Control, FOldSize);
  FNewSize = FOldSize;
}

void TSplitter::StopSizing(bool Apply) {
  if (FLineShown) ToggleLine();
  if (FLineDC && Parent() && Parent()->HandleAllocated()) ReleaseDC(Parent()->HandleIfAllocated(), FLineDC);
  FLineDC = nullptr;
  if (FLineBrush) DeleteObject(FLineBrush);
  FLineBrush = nullptr;
  if (FEscapeHook) UnhookWindowsHookEx(FEscapeHook);
  FEscapeHook = nullptr;
  if (GDraggedSplitter == this) GDraggedSplitter = nullptr;
  FDragging = false;
  if (MouseCapture()) SetMouseCapture(false);
  TControl* Control = FControl;
  FControl = nullptr;
  if (Control) Control->RemoveFreeNotification(this);
  if (!Apply || !Control) return;
  const int Current = Horizontal() ? Control->Width() : Control->Height();
  if (FNewSize != Current) ApplySize(Control, FNewSize);
  if (FNewSize != FOldSize && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
  TCanvas* C = Canvas();
  RECT R = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(R);
  if (FBeveled) {
    if (Horizontal())
      InflateRect(&R, -1, 2);
    else
      InflateRect(&R, 2, -1);
    DrawEdge(C->Handle(), &R, BDR_RAISEDINNER, BF_RECT);
  }
  if (OnPaint) OnPaint(this);
}

void TSplitter::Loaded() {
  TGraphicControl::Loaded();
  if (!Horizontal() && FCursor == crHSplit) SetCursor(crVSplit);
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl && FDragging) {
    FControl = nullptr;
    StopSizing(false);
  }
}

void TSplitter::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_VISIBLECHANGED && !Message.WParam && FDragging) CancelDrag();
  TGraphicControl::Dispatch(Message);
}
