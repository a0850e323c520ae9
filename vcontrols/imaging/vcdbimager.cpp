#include "vcontrols/imaging/vcdbimager.h"

#include "platform/user/user.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcwindows.h"

KORCAM_REGISTER_CLASS(TvcDBCustomImager)

TvcDBCustomImager::TvcDBCustomImager(TComponent* AOwner) : TvcImagerBase<TCustomControl>(AOwner) {
  SetParentColor(false);
  SetColor(clWindow);
}

void TvcDBCustomImager::ResizeWorkBitmap() {
  if (Loading() || PictureEmpty()) return;
  if (FResizing) {
    FBitmapOptions->ApplyEffects();
    return;
  }
  const SIZE extent = WorkBitmapExtent(FPreProcess, FDrawStyle, FBitmapOptions->Rotation()->Angle(),
                                       SIZE{FPicture->Width(), FPicture->Height()}, SIZE{Width(), Height()});
  FWorkBitmap->EnsureSize(extent.cx, extent.cy);
  FResizing = true;
  try {
    RefreshEffects();
  } catch (...) {
    FResizing = false;
    throw;
  }
  FResizing = false;
  UpdateAutoSize();
}

void TvcDBCustomImager::BitmapOptionsChanged(TObject* Sender) {
  Invalidate();
  TvcImagerBase<TCustomControl>::BitmapOptionsChanged(Sender);
}

void TvcDBCustomImager::PictureChanged(TObject* Sender) {
  if (FBitmapOptions->Running()) return;
  Invalidate();
  TvcImagerBase<TCustomControl>::PictureChanged(Sender);
}

void TvcDBCustomImager::Invalidate() {
  if (FBoundsChanging || !HandleAllocated()) return;
  InvalidateRect(Handle(), nullptr, FALSE);
  if (FTransparent) InvalidateOnParent(true);
}

void TvcDBCustomImager::CreateWnd() {
  // A transparent image shows what its parent paints beneath it, so the parent must paint there.
  if (FTransparent && FParent && FParent->HandleAllocated()) RemoveClipChildren(FParent);
  TvcImagerBase<TCustomControl>::CreateWnd();
}

void TvcDBCustomImager::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND &&
      (FTransparent || (FParent && IsClassNamed(&FParent->ClassType(), "TCustomGrid")))) {
    // The picture covers the window; beneath a transparent one the parent's pixels stay.
    Message.Result = 1;
    return;
  }
  TvcImagerBase<TCustomControl>::Dispatch(Message);
}

void TvcDBCustomImager::DoEnter() {
  TvcImagerBase<TCustomControl>::DoEnter();
  Invalidate();
}

void TvcDBCustomImager::DoExit() {
  TvcImagerBase<TCustomControl>::DoExit();
  Invalidate();
}
