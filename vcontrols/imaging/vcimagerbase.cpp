#include "vcontrols/imaging/vcimagerbase.h"

#include <algorithm>

#include "platform/user/user.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/common/vcwindows.h"

template <class TBase>
TvcImagerBase<TBase>::TvcImagerBase(TComponent* AOwner)
    : TBase(AOwner),
      FBitmapOptions(std::make_unique<TvcBitmapOptions>(this)),
      FWorkBitmap(std::make_unique<TvcBitmap>()),
      FPicture(std::make_unique<TPicture>()) {
  FPicture->OnChange = TNotifyEvent(this, &TvcImagerBase::PictureChanged);
  FWorkBitmap->SetRespectPalette(true);
  FWorkBitmap->SetHalftonePalette(true);
  FBitmapOptions->OnChange = TNotifyEvent(this, &TvcImagerBase::BitmapOptionsChanged);
  FBitmapOptions->SetTargetBitmap(FWorkBitmap.get());
  FBitmapOptions->SetSourcePicture(FPicture.get());
  this->FControlStyle.Include(csOpaque);
  SetBounds(this->Left(), this->Top(), 100, 100);
}

template <class TBase>
TvcImagerBase<TBase>::~TvcImagerBase() {
  FPicture->OnChange = TNotifyEvent();
  FBitmapOptions->OnChange = TNotifyEvent();
  FLinks.clear();
}

template <class TBase>
void TvcImagerBase<TBase>::Loaded() {
  TBase::Loaded();
  UpdateAutoSize();
  FBitmapOptions->ApplyEffects();
}

// --- settings -----------------------------------------------------------------------------------

template <class TBase>
void TvcImagerBase<TBase>::SetAutoSize(bool Value) {
  if (this->FAutoSize == Value) return;
  this->FAutoSize = Value;
  UpdateAutoSize();
}

template <class TBase>
void TvcImagerBase<TBase>::SetBitmapOptions(TvcBitmapOptions* Value) {
  FBitmapOptions->Assign(Value);
}

template <class TBase>
void TvcImagerBase<TBase>::SetDrawStyle(TvcImagerDrawStyle Value) {
  if (FDrawStyle == Value) return;
  FDrawStyle = Value;
  FBitmapOptions->SetTileMode(Value == dsTile);
  ResizeWorkBitmap();
  this->Invalidate();
}

template <class TBase>
void TvcImagerBase<TBase>::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
}

template <class TBase>
void TvcImagerBase<TBase>::SetPreProcess(bool Value) {
  if (FPreProcess == Value) return;
  FPreProcess = Value;
  ResizeWorkBitmap();
}

template <class TBase>
void TvcImagerBase<TBase>::SetRespectPalette(bool Value) {
  FRespectPalette = Value;
  // The colour effects move every pixel off the picture's own palette.
  const bool coloured = FBitmapOptions->Color() != clNone || FBitmapOptions->TintColor() != clNone;
  FWorkBitmap->SetRespectPalette(Value && !coloured);
  this->Invalidate();
}

template <class TBase>
void TvcImagerBase<TBase>::SetSmoothStretching(bool Value) {
  FWorkBitmap->SetSmoothStretching(Value);
  RefreshEffects();
  this->Invalidate();
}

template <class TBase>
void TvcImagerBase<TBase>::SetTransparent(bool Value) {
  FTransparent = Value;
  if (!PictureEmpty()) FPicture->Graphic()->SetTransparent(Value);
  this->Invalidate();
}

template <class TBase>
void TvcImagerBase<TBase>::SetTransparentColor(TColor Value) {
  FWorkBitmap->SetTransparentColor(Value);
  RefreshEffects();
  this->Invalidate();
}

// --- links --------------------------------------------------------------------------------------

template <class TBase>
void TvcImagerBase<TBase>::RegisterLink(TvcChangeLink* Link) {
  FLinks.push_back(Link);
}

template <class TBase>
void TvcImagerBase<TBase>::UnregisterLink(TvcChangeLink* Link) {
  const auto found = std::find(FLinks.begin(), FLinks.end(), Link);
  if (found != FLinks.end()) FLinks.erase(found);
}

template <class TBase>
void TvcImagerBase<TBase>::NotifyLinks() {
  // A link's handler may register or unregister links: walk a copy.
  const std::vector<TvcChangeLink*> links = FLinks;
  for (TvcChangeLink* link : links) {
    link->SenderObject = FWorkBitmap.get();
    link->Change();
  }
}

// --- the pipeline -------------------------------------------------------------------------------

template <class TBase>
bool TvcImagerBase<TBase>::PictureEmpty() const {
  return !FPicture->Graphic() || FPicture->Graphic()->Empty();
}

template <class TBase>
void TvcImagerBase<TBase>::RefreshEffects() {
  if (PictureEmpty() || Loading()) return;
  if (FWorkBitmap->Empty()) ResizeWorkBitmap();
  FBitmapOptions->ApplyEffects();
}

template <class TBase>
void TvcImagerBase<TBase>::ResizeWorkBitmap() {
  if (Loading()) return;
  const SIZE extent =
      WorkBitmapExtent(FPreProcess, FDrawStyle, FBitmapOptions->Rotation()->Angle(),
                       SIZE{FPicture->Width(), FPicture->Height()}, SIZE{this->Width(), this->Height()});
  FWorkBitmap->EnsureSize(extent.cx, extent.cy);
  // A work bitmap left empty (a control or picture of no size) has nothing to process; asking
  // for the effects again would only come back here.
  if (!FWorkBitmap->Empty()) RefreshEffects();
  UpdateAutoSize();
}

template <class TBase>
void TvcImagerBase<TBase>::UpdateAutoSize() {
  if (!this->FAutoSize || PictureEmpty() || Loading() || this->Align() != alNone) return;
  const int32_t width = FPicture->Width(), height = FPicture->Height();
  if (width == this->Width() && height == this->Height()) return;
  FAutoSizing = true;
  try {
    SetBounds(this->Left(), this->Top(), width, height);
  } catch (...) {
    FAutoSizing = false;
    throw;
  }
  FAutoSizing = false;
}

template <class TBase>
void TvcImagerBase<TBase>::BitmapOptionsChanged(TObject*) {
  InvalidateOnParent(FTransparent);
  NotifyLinks();
}

template <class TBase>
void TvcImagerBase<TBase>::PictureChanged(TObject*) {
  // Reading the picture during a run can report it changed; that is no new picture.
  if (FBitmapOptions->Running()) return;
  ResizeWorkBitmap();
  InvalidateOnParent(true);
  NotifyLinks();
}

// --- geometry and painting ----------------------------------------------------------------------

template <class TBase>
void TvcImagerBase<TBase>::InvalidateOnParent(bool Erase) {
  InvalidateInParent(this, Erase);
}

template <class TBase>
void TvcImagerBase<TBase>::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if ((AWidth == this->Width() && AHeight == this->Height()) || FAutoSizing) {
    TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  FBoundsChanging = true;
  try {
    // The parent must not erase the image's area while it moves: the image repaints at once.
    TWinControl* parent = this->FParent;
    const TControlStyle parentStyle = parent ? parent->ControlStyle() : TControlStyle{};
    if (parent) parent->SetControlStyle(parentStyle + TControlStyle{csOpaque});
    try {
      TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
      if (parent) parent->SetControlStyle(parentStyle);
      throw;
    }
    if (parent) parent->SetControlStyle(parentStyle);
    if (this->Visible()) this->Update();
    ResizeWorkBitmap();
  } catch (...) {
    FBoundsChanging = false;
    throw;
  }
  FBoundsChanging = false;
}

template <class TBase>
RECT TvcImagerBase<TBase>::GetDrawRect() const {
  return ImagerDrawRect(FDrawStyle, SIZE{this->Width(), this->Height()},
                        SIZE{FPicture->Width(), FPicture->Height()},
                        SIZE{FWorkBitmap->Width(), FWorkBitmap->Height()});
}

template <class TBase>
void TvcImagerBase<TBase>::Paint() {
  if (this->ComponentState().Contains(csDestroying)) return;
  TCanvas* canvas = this->Canvas();
  if (FWorkBitmap->Empty() && !PictureEmpty()) {
    // The run invalidates the control, which then paints the result.
    RefreshEffects();
    return;
  }
  if (FWorkBitmap->Empty()) {
    if (this->ComponentState().Contains(csDesigning)) {
      canvas->Pen()->SetStyle(psDash);
      canvas->Pen()->SetColor(clBlack);
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(clWhite);
      canvas->Rectangle(0, 0, this->Width(), this->Height());
    }
    return;
  }
  const RECT rect = GetDrawRect();
  TvcBitmap* work = FWorkBitmap.get();
  if (!FPreProcess) {
    canvas->Draw(rect.left, rect.top, work);
    return;
  }
  switch (FDrawStyle) {
    case dsNormal:
    case dsCenter:
      canvas->Draw(rect.left, rect.top, work);
      break;
    case dsStretch:
    case dsProportional:
    case dsProportionalCenter:
      canvas->StretchDraw(rect, work);
      break;
    case dsTile:
      work->TileDraw(canvas, rect);
      break;
  }
}

template class TvcImagerBase<TGraphicControl>;
template class TvcImagerBase<TCustomControl>;
