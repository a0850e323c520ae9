#include "vcontrols/imaging/vcimager.h"

#include "platform/forms/bitmap.h"
#include "platform/forms/clipboard.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TvcImagerWinControl)
KORCAM_REGISTER_CLASS(TvcCustomImager)
KORCAM_REGISTER_CLASS(TvcImager)

// --- TvcImagerWinControl ------------------------------------------------------------------------

TvcImagerWinControl::TvcImagerWinControl(TComponent* AOwner)
    : TWinControl(AOwner), FImager(dynamic_cast<TvcCustomImager*>(AOwner)) {
  FControlStyle.Include(csReplicatable);
}

TvcImagerWinControl::~TvcImagerWinControl() {
  // Freed by someone else (its owner's clean-up): the image control forgets it.
  if (FImager && FImager->FFocusWindow == this) FImager->FFocusWindow = nullptr;
}

void TvcImagerWinControl::DoEnter() {
  TWinControl::DoEnter();
  if (FImager) FImager->ImageEnter();
}

void TvcImagerWinControl::DoExit() {
  TWinControl::DoExit();
  if (FImager) FImager->ImageExit();
}

void TvcImagerWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (FImager) FImager->ImageKeyDown(Key, Shift);
}

void TvcImagerWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  TWinControl::KeyUp(Key, Shift);
  if (FImager) FImager->ImageKeyUp(Key, Shift);
}

void TvcImagerWinControl::KeyPress(char32_t& Key) {
  TWinControl::KeyPress(Key);
  if (FImager) FImager->ImageKeyPress(Key);
}

// --- TvcCustomImager: life ----------------------------------------------------------------------

TvcCustomImager::TvcCustomImager(TComponent* AOwner) : TvcImagerBase<TGraphicControl>(AOwner) {}

TvcCustomImager::~TvcCustomImager() {
  // The focus window is owned like any component, but it calls back into this control: it goes
  // first, while the control is whole.
  FreeFocusWindow();
}

void TvcCustomImager::BeforeDestruction() {
  // Before the owned components go: the focus window calls back into this control.
  FreeFocusWindow();
  TvcImagerBase<TGraphicControl>::BeforeDestruction();
}

void TvcCustomImager::Notification(TComponent* AComponent, TOperation Operation) {
  TvcImagerBase<TGraphicControl>::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusWindow) FFocusWindow = nullptr;
}

// --- settings -----------------------------------------------------------------------------------

void TvcCustomImager::SetFocusable(bool Value) {
  if (FFocusable == Value) return;
  FFocusable = Value;
  if (Value || FTabStop) {
    EnsureFocusWindow();
    FFocusWindow->SetTabStop(FTabStop);
  } else {
    FreeFocusWindow();
  }
}

void TvcCustomImager::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (Value || FFocusable) {
    EnsureFocusWindow();
    FFocusWindow->SetTabStop(Value);
  } else {
    FreeFocusWindow();
  }
}

void TvcCustomImager::SetTabOrder(int32_t Value) {
  if (FTabOrder == Value) return;
  FTabOrder = Value;
  if (FFocusable) {
    EnsureFocusWindow();
    FFocusWindow->SetTabOrder(TTabOrder(Value));
  } else {
    FreeFocusWindow();
  }
}

// --- the focus window ---------------------------------------------------------------------------

TvcImagerWinControl* TvcCustomImager::CreateFocusControl() {
  auto* window = new TvcImagerWinControl(this);
  window->SetVisible(true);
  window->SetBounds(0, 0, 0, 0);
  window->SetParent(Parent());
  window->SetTabStop(FTabStop);
  return window;
}

void TvcCustomImager::EnsureFocusWindow() {
  if (!FFocusWindow) FFocusWindow = CreateFocusControl();
}

void TvcCustomImager::FreeFocusWindow() {
  TvcImagerWinControl* window = FFocusWindow;
  if (!window) return;
  FFocusWindow = nullptr;
  window->DetachImager();
  window->Free();
}

void TvcCustomImager::SetParent(TWinControl* AParent) {
  TvcImagerBase<TGraphicControl>::SetParent(AParent);
  // The focus window lives beside the image, so it moves with it.
  if (FFocusWindow) FFocusWindow->SetParent(AParent);
}

void TvcCustomImager::FocusImage() {
  if (FFocusWindow && FFocusWindow->CanFocus()) FFocusWindow->SetFocus();
}

void TvcCustomImager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvcImagerBase<TGraphicControl>::MouseDown(Button, Shift, X, Y);
  FocusImage();
}

void TvcCustomImager::FocusChanged(bool Entering) {
  try {
    TNotifyEvent& event = Entering ? OnEnter : OnExit;
    if (event) event(this);
    FShowingFocus = Entering;
    Invalidate();
  } catch (...) {
    // Focus changes arrive from the window system, which cannot take an exception.
  }
}

void TvcCustomImager::ImageEnter() {
  FocusChanged(true);
}

void TvcCustomImager::ImageExit() {
  FocusChanged(false);
}

void TvcCustomImager::ImageKeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
  if (Key == VK_INSERT && Shift.Contains(ssShift))
    PasteFromClipboard();
  else if (Key == VK_INSERT && Shift.Contains(ssCtrl))
    CopyToClipboard();
  else if (Key == VK_DELETE && Shift.Contains(ssShift))
    CutToClipboard();
}

void TvcCustomImager::ImageKeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
  switch (Key) {
    case 3:
      CopyToClipboard();
      break;
    case 22:
      PasteFromClipboard();
      break;
    case 24:
      CutToClipboard();
      break;
    default:
      break;
  }
}

void TvcCustomImager::ImageKeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

// --- clipboard ----------------------------------------------------------------------------------

void TvcCustomImager::CopyToClipboard() {
  TBitmap bitmap;
  FWorkBitmap->AssignToBitmap(&bitmap);
  Clipboard()->Assign(&bitmap);
}

void TvcCustomImager::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_BITMAP)) return;
  TBitmap* bitmap = FPicture->Bitmap();
  bitmap->Assign(Clipboard());
  bitmap->SetTransparent(FTransparent);
}

void TvcCustomImager::CutToClipboard() {
  if (!FPicture->Graphic()) return;
  CopyToClipboard();
  FPicture->SetGraphic(nullptr);
}

// --- painting -----------------------------------------------------------------------------------

void TvcCustomImager::Invalidate() {
  if (FBoundsChanging) return;
  InvalidateOnParent(true);
}
