#pragma once
// What the two image controls share: the windowless TvcCustomImager and its windowed twin
// TvcDBCustomImager hold the same settings object, work bitmap, picture and change links, size
// the work bitmap and run the pipeline by the same rules, and paint the same way. TBase is the
// class-library control they stand on (TGraphicControl or TCustomControl); the class identity of
// each control names that base as its parent.
//
// The work bitmap's size (WorkBitmapExtent in imagerlayout.h): with PreProcess off and a scaling
// draw style it is the control's size, so the effects run at the screen's resolution and
// painting is a plain copy; otherwise it is the picture's size (a square of its larger side
// while a rotation is set) and painting scales. The work bitmap is made anew only when that size
// changes. Change links registered with the control are told after every pipeline run and every
// picture change, with the work bitmap as their sender.

#include <memory>
#include <vector>

#include "platform/forms/customcontrol.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/forms/picture.h"
#include "vcontrols/imaging/imagerlayout.h"
#include "vcontrols/imaging/vcbitmap.h"
#include "vcontrols/imaging/vcbitmapoptions.h"

class TvcChangeLink;

template <class TBase>
class TvcImagerBase : public TBase {
 public:
  explicit TvcImagerBase(TComponent* AOwner);
  ~TvcImagerBase() override;

  // --- settings ---
  bool AutoSize() const { return this->FAutoSize; }
  // Sizes the control to its picture at once when switched on.
  void SetAutoSize(bool Value);
  TvcBitmapOptions* BitmapOptions() const { return FBitmapOptions.get(); }
  void SetBitmapOptions(TvcBitmapOptions* Value);
  TvcImagerDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TvcImagerDrawStyle Value);
  TPicture* Picture() const { return FPicture.get(); }
  // Copies Value; the picture's change does the rest.
  void SetPicture(TPicture* Value);
  bool PreProcess() const { return FPreProcess; }
  void SetPreProcess(bool Value);
  bool RespectPalette() const { return FRespectPalette; }
  // The work bitmap follows, except that a colour or tint effect switches its palette off.
  void SetRespectPalette(bool Value);
  // Kept in the work bitmap.
  bool SmoothStretching() const { return FWorkBitmap->SmoothStretching(); }
  void SetSmoothStretching(bool Value);
  bool Transparent() const { return FTransparent; }
  // Always assigns, and passes the flag on to the picture's graphic.
  void SetTransparent(bool Value);
  // Kept in the work bitmap (clNone: its top-left colour).
  TColor TransparentColor() const { return FWorkBitmap->TransparentColor(); }
  void SetTransparentColor(TColor Value);

  // --- state ---
  TvcBitmap* WorkBitmap() const { return FWorkBitmap.get(); }
  bool AutoSizing() const { return FAutoSizing; }
  bool BoundsChanging() const { return FBoundsChanging; }
  const std::vector<TvcChangeLink*>& Links() const { return FLinks; }

  // --- operations ---
  // The options' change event: the pipeline has run. Invalidates the control's rectangle in the
  // parent (erasing only beneath a transparent image) and tells the links.
  virtual void BitmapOptionsChanged(TObject* Sender);
  // The picture's change event: the work bitmap is sized and processed anew.
  virtual void PictureChanged(TObject* Sender);
  // With AutoSize, a non-empty picture, not loading and no alignment: the control takes the
  // picture's size (keeping its position).
  virtual void UpdateAutoSize();
  virtual bool PictureEmpty() const;
  // Links are not owned; a link registered twice is told twice.
  virtual void RegisterLink(TvcChangeLink* Link);
  virtual void UnregisterLink(TvcChangeLink* Link);
  // Gives the work bitmap its size, re-runs the pipeline and then the auto size.
  virtual void ResizeWorkBitmap();
  // Re-runs the pipeline (sizing the work bitmap first when it is empty). After it returns the
  // work bitmap holds the current picture with every active effect, unless the picture is
  // empty, the control is loading or the options are locked.
  virtual void RefreshEffects();

  void NotifyLinks();
  // Where painting puts the work bitmap.
  RECT GetDrawRect() const;

  void Loaded() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void Paint() override;
  bool Loading() const { return this->ComponentState().Contains(csLoading); }
  // Invalidates the control's rectangle in its parent's window.
  void InvalidateOnParent(bool Erase);

  std::unique_ptr<TvcBitmapOptions> FBitmapOptions;
  TvcImagerDrawStyle FDrawStyle = dsNormal;
  bool FPreProcess = true;
  std::unique_ptr<TvcBitmap> FWorkBitmap;
  std::unique_ptr<TPicture> FPicture;
  std::vector<TvcChangeLink*> FLinks;
  bool FRespectPalette = true;
  bool FTransparent = false;
  bool FAutoSizing = false;
  bool FBoundsChanging = false;
};

extern template class TvcImagerBase<TGraphicControl>;
extern template class TvcImagerBase<TCustomControl>;
