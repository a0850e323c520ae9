#pragma once
// The windowed twin of the image control: the same picture, settings, pipeline, draw styles and
// sizing as TvcCustomImager (vcimagerbase.h), in a control with a window of its own, as hosts
// that place windows (a grid's cells) need. It publishes nothing and has no clipboard, key or
// focus-window handling. It differs where a window differs: it repaints its own window, keeps
// the work bitmap when the picture becomes empty, and lets its parent paint beneath it when
// Transparent (the parent stops clipping its children, and the twin erases nothing).

#include "platform/forms/customcontrol.h"
#include "vcontrols/imaging/vcimagerbase.h"

class TvcDBCustomImager : public TvcImagerBase<TCustomControl> {
  KORCAM_CLASS(TvcDBCustomImager, TCustomControl)

 public:
  explicit TvcDBCustomImager(TComponent* AOwner);

  // Does nothing for an empty picture. A call made while it is already running (the pipeline
  // asking for a size) runs the pipeline only.
  void ResizeWorkBitmap() override;
  // The base invalidates the control's rectangle in the parent; a window of its own also needs
  // its own invalidation to show the new pixels.
  void BitmapOptionsChanged(TObject* Sender) override;
  void PictureChanged(TObject* Sender) override;
  void Invalidate() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateWnd() override;
  void DoEnter() override;
  void DoExit() override;

 private:
  bool FResizing = false;
};
