#pragma once
// The image control's effect settings and its pipeline. TvcBitmapOptions holds every effect
// setting (three of them grouped in TvcRotate, TvcAlphaBlend and TvcWave) and runs the pipeline:
// the source picture copied into the target bitmap (as is, stretched or tiled to the target's
// size), then the effects in their fixed order (effectchain.h), then OnChange.
//
// Every writer stores a changed value and runs the pipeline at once, so the target always shows
// the current settings; writing the value a setting already has runs nothing. The blend bitmap
// and its transparency are the exception: their writers only store, and the caller re-runs the
// effects when it has finished loading the blend picture.
//
// The pipeline always starts again from the picture: running it twice gives the same pixels
// (apart from the random sponge, and a transparent picture stretched over what the target held).

#include <cstdint>
#include <memory>

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/forms/controls.h"
#include "platform/gdi/colors.h"
#include "vcontrols/imaging/effectchain.h"
#include "vcontrols/imaging/vcbitmap.h"

class TControl;
class TGraphic;
class TPicture;
class TvcBitmapOptions;

// The rotation step: Angle in whole degrees (0: off) about (CenterX, CenterY), where -1 stands
// for the middle of the image.
class TvcRotate : public TPersistent {
  KORCAM_CLASS(TvcRotate, TPersistent)

 public:
  explicit TvcRotate(TvcBitmapOptions* AOwner = nullptr) : FOwner(AOwner) {}

  NODEFAULT_PROPERTY(int32_t, CenterX, -1)
  NODEFAULT_PROPERTY(int32_t, CenterY, -1)
  NODEFAULT_PROPERTY(int32_t, Angle, 0)

 public:
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TvcBitmapOptions* Owner() const { return FOwner; }

 private:
  TvcBitmapOptions* FOwner;
};

// The blend step: Bitmap mixed into the picture by Amount (0: off), stretched to the picture's
// size when it has another one; a transparent blend bitmap leaves the picture alone where it
// has its top-left colour.
class TvcAlphaBlend : public TPersistent {
  KORCAM_CLASS(TvcAlphaBlend, TPersistent)

 public:
  explicit TvcAlphaBlend(TvcBitmapOptions* AOwner = nullptr);
  ~TvcAlphaBlend() override;

  NODEFAULT_PROPERTY(uint8_t, Amount, 0)
  // Assigned from the value (nullptr empties it); the pipeline is not run.
  OWNED_PROPERTY(TvcBitmap, Bitmap)
  // The blend bitmap's own Transparent; the pipeline is not run.
  bool Transparent() const;
  void SetTransparent(bool Value);
  PUBLISH_NODEFAULT(TvcAlphaBlend, bool, Transparent)

 public:
  // Runs the owner's pipeline, unless it is already running on this object's behalf.
  virtual void BitmapChanged();

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TvcBitmapOptions* Owner() const { return FOwner; }

 private:
  TvcBitmapOptions* FOwner;
  bool FChanging = false;
};

// The wave step, run when Ratio, XDiv and YDiv are all non-zero.
class TvcWave : public TPersistent {
  KORCAM_CLASS(TvcWave, TPersistent)

 public:
  explicit TvcWave(TvcBitmapOptions* AOwner = nullptr) : FOwner(AOwner) {}

  NODEFAULT_PROPERTY(int32_t, XDiv, 0)
  NODEFAULT_PROPERTY(int32_t, YDiv, 0)
  NODEFAULT_PROPERTY(int32_t, Ratio, 0)
  NODEFAULT_PROPERTY(bool, Wrap, false)

 public:
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TvcBitmapOptions* Owner() const { return FOwner; }

 private:
  TvcBitmapOptions* FOwner;
};

class TvcBitmapOptions : public TPersistent {
  KORCAM_CLASS(TvcBitmapOptions, TPersistent)

 public:
  explicit TvcBitmapOptions(TControl* AOwnerControl = nullptr);
  ~TvcBitmapOptions() override;

  // Every setting is written to form resources (none has a default that is left out).
  OWNED_PROPERTY(TvcAlphaBlend, AlphaBlend)
  NODEFAULT_PROPERTY(TColor, Color, clNone)
  NODEFAULT_PROPERTY(int32_t, Contrast, 0)
  NODEFAULT_PROPERTY(bool, Embossed, false)
  NODEFAULT_PROPERTY(TColor, TintColor, clNone)
  NODEFAULT_PROPERTY(int32_t, GaussianBlur, 0)
  NODEFAULT_PROPERTY(bool, GrayScale, false)
  NODEFAULT_PROPERTY(bool, HorizontallyFlipped, false)
  NODEFAULT_PROPERTY(bool, Inverted, false)
  NODEFAULT_PROPERTY(int32_t, Lightness, 0)
  OWNED_PROPERTY(TvcRotate, Rotation)
  // -1: off; 256 leaves the colours as they are.
  NODEFAULT_PROPERTY(int32_t, Saturation, -1)
  NODEFAULT_PROPERTY(int32_t, Sharpen, 0)
  NODEFAULT_PROPERTY(int32_t, Sponge, 0)
  NODEFAULT_PROPERTY(bool, VerticallyFlipped, false)
  OWNED_PROPERTY(TvcWave, Wave)

 public:
  // Adds one to LockCount; while it is above 0 the pipeline does nothing.
  virtual void LockUpdates();
  // The pipeline. Does nothing (and fires nothing) while the owner control is loading, the
  // target is empty, the picture has no graphic or an empty one, or LockCount is above 0.
  // An effect that raises leaves the target partly processed and OnChange unfired.
  virtual void ApplyEffects();

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  // The settings as the effect chain reads them.
  TvcEffectSettings EffectSettings() const;

  TControl* OwnerControl() const { return FOwnerControl; }
  // Set by the control from its draw style: a picture of another size than the target is tiled
  // into it instead of stretched.
  bool TileMode() const { return FTileMode; }
  void SetTileMode(bool Value) { FTileMode = Value; }
  TPicture* SourcePicture() const { return FSourcePicture; }
  void SetSourcePicture(TPicture* Value) { FSourcePicture = Value; }
  TvcBitmap* TargetBitmap() const { return FTargetBitmap; }
  void SetTargetBitmap(TvcBitmap* Value) { FTargetBitmap = Value; }
  int32_t LockCount() const { return FLockCount; }
  // True while the pipeline runs. Reading the picture may report it changed (a canvas made for
  // the reading); an owner ignores picture changes that arrive meanwhile.
  bool Running() const { return FRunning; }

  // Fired with the options as sender at the end of every completed pipeline run.
  TNotifyEvent OnChange;

 private:
  // Stores a changed value and re-runs the pipeline.
  template <class T>
  void Store(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    ApplyEffects();
  }
  friend class TvcRotate;
  friend class TvcAlphaBlend;
  friend class TvcWave;

  // Step one of the pipeline: the picture into the target at the target's size.
  void CopySource(TGraphic* Graphic);
  // Both image controls keep their smoothing in their work bitmap, which is the target.
  bool OwnerSmoothStretching() const;

  TControl* FOwnerControl;
  bool FTileMode = false;
  TPicture* FSourcePicture = nullptr;
  TvcBitmap* FTargetBitmap = nullptr;
  int32_t FLockCount = 0;
  bool FRunning = false;
  // A picture that cannot be read row by row in place (another pixel format, a JPEG image, a
  // transparent bitmap) is converted here before it is stretched; the bitmap is kept, so the
  // next frame of the same size reuses its memory.
  std::unique_ptr<TvcBitmap> FStretchSource;
};
