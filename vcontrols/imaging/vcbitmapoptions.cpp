#include "vcontrols/imaging/vcbitmapoptions.h"

#include "platform/forms/bitmap.h"
#include "platform/forms/control.h"
#include "platform/forms/picture.h"
#include "vcontrols/common/vcdraw.h"

KORCAM_REGISTER_CLASS(TvcRotate)
KORCAM_REGISTER_CLASS(TvcAlphaBlend)
KORCAM_REGISTER_CLASS(TvcWave)
KORCAM_REGISTER_CLASS(TvcBitmapOptions)

// --- TvcRotate ----------------------------------------------------------------------------------

void TvcRotate::SetCenterX(int32_t Value) {
  if (FOwner) return FOwner->Store(FCenterX, Value);
  FCenterX = Value;
}

void TvcRotate::SetCenterY(int32_t Value) {
  if (FOwner) return FOwner->Store(FCenterY, Value);
  FCenterY = Value;
}

void TvcRotate::SetAngle(int32_t Value) {
  if (FOwner) return FOwner->Store(FAngle, Value);
  FAngle = Value;
}

void TvcRotate::Assign(TPersistent* Source) {
  if (auto* rotate = dynamic_cast<TvcRotate*>(Source)) {
    SetCenterX(rotate->FCenterX);
    SetCenterY(rotate->FCenterY);
    SetAngle(rotate->FAngle);
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TvcRotate::GetOwner() const {
  return FOwner;
}

// --- TvcAlphaBlend ------------------------------------------------------------------------------

TvcAlphaBlend::TvcAlphaBlend(TvcBitmapOptions* AOwner)
    : FBitmap(std::make_unique<TvcBitmap>()), FOwner(AOwner) {}

TvcAlphaBlend::~TvcAlphaBlend() = default;

void TvcAlphaBlend::SetAmount(uint8_t Value) {
  if (FOwner) return FOwner->Store(FAmount, Value);
  FAmount = Value;
}

void TvcAlphaBlend::SetBitmap(TvcBitmap* Value) {
  FBitmap->Assign(Value);
}

bool TvcAlphaBlend::Transparent() const {
  return FBitmap->Transparent();
}

void TvcAlphaBlend::SetTransparent(bool Value) {
  FBitmap->SetTransparent(Value);
}

void TvcAlphaBlend::BitmapChanged() {
  if (FChanging) return;
  FChanging = true;
  try {
    if (FOwner) FOwner->ApplyEffects();
  } catch (...) {
    FChanging = false;
    throw;
  }
  FChanging = false;
}

void TvcAlphaBlend::Assign(TPersistent* Source) {
  if (auto* blend = dynamic_cast<TvcAlphaBlend*>(Source)) {
    SetBitmap(blend->FBitmap.get());
    SetTransparent(blend->Transparent());
    SetAmount(blend->FAmount);
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TvcAlphaBlend::GetOwner() const {
  return FOwner;
}

// --- TvcWave ------------------------------------------------------------------------------------

void TvcWave::SetXDiv(int32_t Value) {
  if (FOwner) return FOwner->Store(FXDiv, Value);
  FXDiv = Value;
}

void TvcWave::SetYDiv(int32_t Value) {
  if (FOwner) return FOwner->Store(FYDiv, Value);
  FYDiv = Value;
}

void TvcWave::SetRatio(int32_t Value) {
  if (FOwner) return FOwner->Store(FRatio, Value);
  FRatio = Value;
}

void TvcWave::SetWrap(bool Value) {
  if (FOwner) return FOwner->Store(FWrap, Value);
  FWrap = Value;
}

void TvcWave::Assign(TPersistent* Source) {
  if (auto* wave = dynamic_cast<TvcWave*>(Source)) {
    SetXDiv(wave->FXDiv);
    SetYDiv(wave->FYDiv);
    SetRatio(wave->FRatio);
    SetWrap(wave->FWrap);
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TvcWave::GetOwner() const {
  return FOwner;
}

// --- TvcBitmapOptions ---------------------------------------------------------------------------

TvcBitmapOptions::TvcBitmapOptions(TControl* AOwnerControl)
    : FAlphaBlend(std::make_unique<TvcAlphaBlend>(this)),
      FRotation(std::make_unique<TvcRotate>(this)),
      FWave(std::make_unique<TvcWave>(this)),
      FOwnerControl(AOwnerControl) {}

TvcBitmapOptions::~TvcBitmapOptions() = default;

void TvcBitmapOptions::SetAlphaBlend(TvcAlphaBlend* Value) {
  FAlphaBlend->Assign(Value);
}

void TvcBitmapOptions::SetRotation(TvcRotate* Value) {
  FRotation->Assign(Value);
}

void TvcBitmapOptions::SetWave(TvcWave* Value) {
  FWave->Assign(Value);
}

void TvcBitmapOptions::SetColor(TColor Value) {
  Store(FColor, Value);
}

void TvcBitmapOptions::SetTintColor(TColor Value) {
  Store(FTintColor, Value);
}

void TvcBitmapOptions::SetLightness(int32_t Value) {
  Store(FLightness, Value);
}

void TvcBitmapOptions::SetSaturation(int32_t Value) {
  Store(FSaturation, Value);
}

void TvcBitmapOptions::SetSponge(int32_t Value) {
  Store(FSponge, Value);
}

void TvcBitmapOptions::SetGaussianBlur(int32_t Value) {
  Store(FGaussianBlur, Value);
}

void TvcBitmapOptions::SetContrast(int32_t Value) {
  Store(FContrast, Value);
}

void TvcBitmapOptions::SetSharpen(int32_t Value) {
  Store(FSharpen, Value);
}

void TvcBitmapOptions::SetEmbossed(bool Value) {
  Store(FEmbossed, Value);
}

void TvcBitmapOptions::SetInverted(bool Value) {
  Store(FInverted, Value);
}

void TvcBitmapOptions::SetGrayScale(bool Value) {
  Store(FGrayScale, Value);
}

void TvcBitmapOptions::SetHorizontallyFlipped(bool Value) {
  Store(FHorizontallyFlipped, Value);
}

void TvcBitmapOptions::SetVerticallyFlipped(bool Value) {
  Store(FVerticallyFlipped, Value);
}

void TvcBitmapOptions::Assign(TPersistent* Source) {
  if (auto* options = dynamic_cast<TvcBitmapOptions*>(Source)) {
    // Each writer runs the pipeline when its value changes; a whole copy runs it once at the end.
    ++FLockCount;
    try {
      FAlphaBlend->Assign(options->FAlphaBlend.get());
      FRotation->Assign(options->FRotation.get());
      FWave->Assign(options->FWave.get());
      SetColor(options->FColor);
      SetTintColor(options->FTintColor);
      SetLightness(options->FLightness);
      SetSaturation(options->FSaturation);
      SetSponge(options->FSponge);
      SetGaussianBlur(options->FGaussianBlur);
      SetContrast(options->FContrast);
      SetSharpen(options->FSharpen);
      SetEmbossed(options->FEmbossed);
      SetInverted(options->FInverted);
      SetGrayScale(options->FGrayScale);
      SetHorizontallyFlipped(options->FHorizontallyFlipped);
      SetVerticallyFlipped(options->FVerticallyFlipped);
    } catch (...) {
      --FLockCount;
      throw;
    }
    --FLockCount;
    ApplyEffects();
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TvcBitmapOptions::GetOwner() const {
  return FOwnerControl;
}

void TvcBitmapOptions::LockUpdates() {
  ++FLockCount;
}

TvcEffectSettings TvcBitmapOptions::EffectSettings() const {
  TvcEffectSettings settings;
  settings.GrayScale = FGrayScale;
  settings.Lightness = FLightness;
  settings.AlphaBlendAmount = FAlphaBlend->Amount();
  settings.Color = FColor;
  settings.TintColor = FTintColor;
  settings.Sponge = FSponge;
  settings.Saturation = FSaturation;
  settings.GaussianBlur = FGaussianBlur;
  settings.Embossed = FEmbossed;
  settings.Inverted = FInverted;
  settings.Contrast = FContrast;
  settings.Sharpen = FSharpen;
  settings.HorizontallyFlipped = FHorizontallyFlipped;
  settings.VerticallyFlipped = FVerticallyFlipped;
  settings.WaveWrap = FWave->Wrap();
  settings.WaveXDiv = FWave->XDiv();
  settings.WaveYDiv = FWave->YDiv();
  settings.WaveRatio = FWave->Ratio();
  settings.RotationCenterX = FRotation->CenterX();
  settings.RotationCenterY = FRotation->CenterY();
  settings.RotationAngle = FRotation->Angle();
  return settings;
}

bool TvcBitmapOptions::OwnerSmoothStretching() const {
  return FOwnerControl && FTargetBitmap && FTargetBitmap->SmoothStretching();
}

namespace {

// The rows of a bitmap that can be read in place: a 24-bit section drawn opaque. Anything else
// (other formats, device bitmaps, transparent drawing) goes through a converted copy.
bool DirectRaster(TGraphic* Graphic, TvcRaster& Raster) {
  auto* bitmap = dynamic_cast<TBitmap*>(Graphic);
  if (!bitmap || bitmap->Transparent() || bitmap->HandleType() != bmDIB || bitmap->PixelFormat() != pf24bit)
    return false;
  const int32_t width = bitmap->Width(), height = bitmap->Height();
  if (width <= 0 || height <= 0) return false;
  auto* top = static_cast<uint8_t*>(bitmap->ScanLine(0));
  const int32_t rowSize =
      height > 1 ? int32_t(static_cast<uint8_t*>(bitmap->ScanLine(1)) - top) : vcRowSize(width);
  Raster = TvcRaster{top, width, height, rowSize};
  return true;
}

}  // namespace

void TvcBitmapOptions::CopySource(TGraphic* Graphic) {
  TvcBitmap* target = FTargetBitmap;
  const int32_t width = target->Width(), height = target->Height();
  if (width == Graphic->Width() && height == Graphic->Height()) {
    // A bitmap passes its Transparent flag on; any other graphic is drawn into a 24-bit copy.
    target->Assign(Graphic);
    return;
  }
  TvcRaster rows;
  if (FTileMode) {
    if (DirectRaster(Graphic, rows))
      target->TileFrom(rows);
    else
      TileGraphic(Graphic, target->Canvas(), RECT{0, 0, width, height});
    return;
  }
  const bool smooth = OwnerSmoothStretching();
  if (DirectRaster(Graphic, rows)) {
    target->StretchFrom(rows, smooth);
    return;
  }
  if (!FStretchSource) FStretchSource = std::make_unique<TvcBitmap>();
  TvcBitmap& source = *FStretchSource;
  // As a fresh copy would be: opaque unless the picture passes its own flag on.
  source.SetTransparent(false);
  source.Assign(Graphic);
  source.SetSmoothStretching(smooth);
  if (source.Empty()) return;
  if (source.Transparent()) {
    // Drawn through its mask over what the target already holds.
    target->Canvas()->StretchDraw(RECT{0, 0, width, height}, &source);
  } else {
    target->StretchFrom(source.Raster(), smooth);
  }
}

void TvcBitmapOptions::ApplyEffects() {
  if (FOwnerControl && FOwnerControl->ComponentState().Contains(csLoading)) return;
  if (!FTargetBitmap || FTargetBitmap->Empty()) return;
  TGraphic* graphic = FSourcePicture ? FSourcePicture->Graphic() : nullptr;
  if (!graphic || graphic->Empty()) return;
  if (FLockCount > 0) return;
  FRunning = true;
  try {
    const TvcEffectSettings settings = EffectSettings();
    // The effects' workers wake while the picture is copied in, ready for the first effect.
    const TvcBandHold hold(vcAnyEffect(settings) ? &FTargetBitmap->Workspace().Scratch.Bands() : nullptr);
    CopySource(graphic);
    RunEffectChain(*FTargetBitmap, settings, FAlphaBlend->Bitmap());
  } catch (...) {
    FRunning = false;
    throw;
  }
  FRunning = false;
  if (OnChange) OnChange(this);
}
