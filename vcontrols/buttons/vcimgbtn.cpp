#include "vcontrols/buttons/vcimgbtn.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vcdraw.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcwindows.h"
#include "vcontrols/imaging/vcimagerbase.h"
#include "platform/rtl/scopeexit.h"

KORCAM_REGISTER_CLASS(TvcImgDownOffsets)
KORCAM_REGISTER_CLASS(TvcCustomImageBtn)
KORCAM_REGISTER_CLASS(TvcImageBtn)

namespace {

// The image control behind a component (the windowless one or its windowed twin), as the one
// interface both share; Act runs on it. False for any other component.
template <class TAction>
bool WithImager(TComponent* Component, TAction Act) {
  if (auto* Windowless = dynamic_cast<TvcImagerBase<TGraphicControl>*>(Component)) {
    Act(*Windowless);
    return true;
  }
  if (auto* Windowed = dynamic_cast<TvcImagerBase<TCustomControl>*>(Component)) {
    Act(*Windowed);
    return true;
  }
  return false;
}

TColor PixelColor(const TvcRaster& Raster, int32_t X, int32_t Y) {
  return PixelToColor(ReadPixel(Raster.At(X, Y)));
}

void WritePixel(const TvcRaster& Raster, int32_t X, int32_t Y, TColor Color) {
  if (X < 0 || Y < 0 || X >= Raster.Width || Y >= Raster.Height) return;
  const TColor Rgb = ColorToRGB(Color);
  uint8_t* Pixel = Raster.At(X, Y);
  Pixel[0] = uint8_t(Rgb >> 16);
  Pixel[1] = uint8_t(Rgb >> 8);
  Pixel[2] = uint8_t(Rgb);
}

}  // namespace

// --- TvcImgDownOffsets ----------------------------------------------------------------------------

void TvcImgDownOffsets::AssignTo(TPersistent* Dest) {
  if (auto* Target = dynamic_cast<TvcImgDownOffsets*>(Dest)) {
    Target->SetImageDownX(FImageDownX);
    Target->SetImageDownY(FImageDownY);
  }
  TvcOffsets::AssignTo(Dest);
}

// --- life -----------------------------------------------------------------------------------------

TvcCustomImageBtn::TvcCustomImageBtn(TComponent* AOwner)
    : TvcCustomBitBtn(AOwner),
      FImage(std::make_unique<TvcBitmap>()),
      FImageDown(std::make_unique<TvcBitmap>()),
      FSourceLink(std::make_unique<TvcChangeLink>()) {
  FOffsets.reset(TvcCustomImageBtn::CreateOffsets());
  FImage->OnChange = TNotifyEvent([this](TObject* Sender) { ImageChanged(Sender); });
  FImageDown->OnChange = TNotifyEvent([this](TObject* Sender) { ImageChanged(Sender); });
  FSourceLink->OnChange = TNotifyEvent([this](TObject* Sender) { ImageChanged(Sender); });
  SetColor(clNone);
  FUseHalftone = true;
}

TvcCustomImageBtn::~TvcCustomImageBtn() {
  DetachSource(FExtImage);
  DetachSource(FExtImageDown);
}

void TvcCustomImageBtn::BeforeDestruction() {
  // The sources must not call into a button that is going.
  DetachSource(FExtImage);
  DetachSource(FExtImageDown);
  FExtImage = FExtImageDown = nullptr;
  TvcCustomBitBtn::BeforeDestruction();
}

TvcOffsets* TvcCustomImageBtn::CreateOffsets() {
  return new TvcImgDownOffsets(this);
}

// --- settings -------------------------------------------------------------------------------------

void TvcCustomImageBtn::SetDitherColor(TColor Value) {
  if (FDitherColor == Value) return;
  FDitherColor = Value;
  Invalidate();
}

void TvcCustomImageBtn::SetDitherStyle(TvcDitherStyle Value) {
  if (FDitherStyle == Value) return;
  FDitherStyle = Value;
  Invalidate();
}

void TvcCustomImageBtn::SetImage(TvcBitmap* Value) {
  if (Value) SetExtImage(nullptr);
  FImage->Assign(Value);
  if (!(FDown && !FImageDown->Empty())) RecreateWnd();
}

void TvcCustomImageBtn::SetImageDown(TvcBitmap* Value) {
  if (Value) SetExtImageDown(nullptr);
  FImageDown->Assign(Value);
  if (FDown) RecreateWnd();
}

void TvcCustomImageBtn::SetExtImage(TComponent* Value) {
  if (Value == FExtImage) return;
  if (Value) FImage->Assign(nullptr);
  AttachSource(Value, FExtImage);
}

void TvcCustomImageBtn::SetExtImageDown(TComponent* Value) {
  if (Value == FExtImageDown) return;
  if (Value) FImageDown->Assign(nullptr);
  AttachSource(Value, FExtImageDown);
}

void TvcCustomImageBtn::SetTransparentColor(TColor Value) {
  if (FTransparentColor == Value) return;
  FTransparentColor = Value;
  RecreateWnd();
  InvalidateInParent(this, true);
}

bool TvcCustomImageBtn::RespectPalette() const {
  return GetImage(false)->RespectPalette();
}

void TvcCustomImageBtn::SetRespectPalette(bool Value) {
  GetImage(false)->SetRespectPalette(Value);
  GetImage(true)->SetRespectPalette(Value);
  Invalidate();
}

bool TvcCustomImageBtn::ParentClipping() const {
  if (!Parent() || !Parent()->HandleAllocated()) return false;
  return (DWORD(GetWindowLongPtrA(Parent()->HandleIfAllocated(), GWL_STYLE)) & WS_CLIPCHILDREN) != 0;
}

void TvcCustomImageBtn::SetParentClipping(bool Value) {
  if (IsDesigning(this) || !Parent()) return;
  HWND Window = Parent()->Handle();
  const DWORD Style = DWORD(GetWindowLongPtrA(Window, GWL_STYLE));
  SetWindowLongPtrA(Window, GWL_STYLE, LONG_PTR(Value ? Style | WS_CLIPCHILDREN : Style & ~WS_CLIPCHILDREN));
}

// --- picture sources ------------------------------------------------------------------------------

TvcBitmap* TvcCustomImageBtn::GetImage(bool IsDown) const {
  TComponent* Source = IsDown ? FExtImageDown : FExtImage;
  if (Source && !Source->ComponentState().Contains(csDestroying)) {
    TvcBitmap* Picture = nullptr;
    const bool Imager = WithImager(Source, [&Picture](auto& Control) {
      if (Control.WorkBitmap()->Empty() && !Control.PictureEmpty()) Control.ResizeWorkBitmap();
      Picture = Control.WorkBitmap();
    });
    if (Imager) return Picture;
    if (auto* Button = dynamic_cast<TvcCustomImageBtn*>(Source)) return IsDown ? Button->ImageDown() : Button->Image();
  }
  return IsDown ? FImageDown.get() : FImage.get();
}

void TvcCustomImageBtn::DetachSource(TComponent* Source) {
  if (!Source) return;
  if (WithImager(Source, [this](auto& Control) { Control.UnregisterLink(FSourceLink.get()); })) return;
  if (auto* Button = dynamic_cast<TvcCustomImageBtn*>(Source)) Button->Image()->UnregisterLink(FSourceLink.get());
}

void TvcCustomImageBtn::AttachSource(TComponent* NewSource, TComponent*& Field) {
  TComponent* Other = &Field == &FExtImage ? FExtImageDown : FExtImage;
  if (Field) {
    DetachSource(Field);
    if (Field != Other) Field->RemoveFreeNotification(this);
  }
  Field = NewSource;
  if (NewSource) {
    if (!WithImager(NewSource, [this](auto& Control) { Control.RegisterLink(FSourceLink.get()); }))
      if (auto* Button = dynamic_cast<TvcCustomImageBtn*>(NewSource)) Button->Image()->RegisterLink(FSourceLink.get());
    NewSource->FreeNotification(this);
  }
  RecreateWnd();
}

void TvcCustomImageBtn::Notification(TComponent* AComponent, TOperation Operation) {
  TvcCustomBitBtn::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FExtImage) FExtImage = nullptr;
  if (AComponent == FExtImageDown) FExtImageDown = nullptr;
}

void TvcCustomImageBtn::ImageChanged(TObject* Sender) {
  if (Destroying()) return;
  if (Sender == GetImage(false)) FreeRegionData(FRegionBytes);
  if (Sender == GetImage(true)) FreeRegionData(FDownRegionBytes);
  // Building the region renders the picture: that is no change of it.
  auto* Picture = dynamic_cast<TvcBitmap*>(Sender);
  const bool Suppressed = Picture && Picture->SuppressChange();
  if (Picture) Picture->SetSuppressChange(true);
  {
    TScopeExit Restore([Picture, Suppressed] {
      if (Picture) Picture->SetSuppressChange(Suppressed);
    });
    ApplyRegion();
  }
  InvalidateInParent(this, true);
  Invalidate();
}

// --- the window -----------------------------------------------------------------------------------

void TvcCustomImageBtn::CreateWnd() {
  if (FImage->HasStoredBits()) {
    // The parked pixels come back as they were: not a new picture.
    FImage->SetSuppressChange(true);
    TScopeExit Restore([this] { FImage->SetSuppressChange(false); });
    FImage->RestoreBits();
  }
  TvcCustomBitBtn::CreateWnd();
}

void TvcCustomImageBtn::DestroyWnd() {
  TvcCustomBitBtn::DestroyWnd();
  // Without a window the button holds no bitmap of the window system, only its pixels.
  if (!Destroying()) FImage->StoreBits();
}

void TvcCustomImageBtn::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcCustomImageBtn*>(Dest);
  if (!Target) {
    TvcCustomBitBtn::AssignTo(Dest);
    return;
  }
  Target->SetDitherColor(FDitherColor);
  Target->SetDitherStyle(FDitherStyle);
  // The target shows this button's pictures by reference.
  Target->SetExtImage(this);
  Target->SetExtImageDown(this);
  Target->Offsets()->Assign(FOffsets.get());
  Target->SetRespectPalette(RespectPalette());
  Target->SetTransparentColor(FTransparentColor);
  TvcCustomBitBtn::AssignTo(Dest);
}

// --- shape and region -----------------------------------------------------------------------------

TColor TvcCustomImageBtn::EffectiveTransparentColor(bool IsDown) const {
  if (FTransparentColor == vcNoTransparentColor) return vcNoTransparentColor;
  if (FTransparentColor != clNone) return FTransparentColor;
  TvcBitmap* Down = GetImage(true);
  TvcBitmap* Picture = IsDown && !Down->Empty() ? Down : GetImage(false);
  if (Picture->Empty()) return clNone;
  return PixelColor(Picture->Raster(), 0, 0);
}

bool TvcCustomImageBtn::StoreRegionData() const {
  return true;
}

bool TvcCustomImageBtn::UsesRegion() const {
  return FTransparentColor != vcNoTransparentColor;
}

bool TvcCustomImageBtn::IsShaped() const {
  const bool BothPictures = !GetImage(false)->Empty() && !GetImage(true)->Empty();
  return (BothPictures || FShadeStyle == fbsRaised) && FTransparentColor != vcNoTransparentColor;
}

HRGN TvcCustomImageBtn::CreateRegion(bool UseImage, bool IsDown) {
  if (FTransparentColor == vcNoTransparentColor) return nullptr;
  HRGN Stored = TvcCustomBitBtn::CreateRegion(UseImage, IsDown);
  if (!UseImage || Stored) return Stored;
  TvcBitmap* Up = GetImage(false);
  if (Up->Empty()) return nullptr;
  TvcBitmap* Down = GetImage(true);
  TvcBitmap* Picture = IsDown && !Down->Empty() ? Down : Up;
  TvcBitmap Rendered;
  Rendered.SetRespectPalette(RespectPalette());
  DrawImage(Picture, &Rendered, FShadeStyle, true, IsDown);
  HRGN Result = CreateRegionFromBitmap(&Rendered, EffectiveTransparentColor(IsDown));
  if (FShadeStyle == fbsRaised && Result) {
    // The picture with its drop shadow while up; only the shadow's place while down.
    HRGN Shifted = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(Shifted, Result, nullptr, RGN_COPY);
    OffsetRgn(Shifted, 2, 2);
    if (IsDown) {
      DeleteObject(Result);
      Result = Shifted;
    } else {
      CombineRgn(Result, Result, Shifted, RGN_OR);
      DeleteObject(Shifted);
    }
  }
  CaptureRegion(Result, IsDown);
  return Result;
}

void TvcCustomImageBtn::SizeToImage() {
  TvcBitmap* Up = GetImage(false);
  if (Up->Empty()) return;
  SetBounds(Left(), Top(), Up->Width(), Up->Height());
  InvalidateInParent(this, true);
}

// --- drawing --------------------------------------------------------------------------------------

void TvcCustomImageBtn::DrawImage(TvcBitmap* Picture, TvcBitmap* Target, TvcShadeStyle AStyle, bool ForRegion,
                                  bool IsDown) {
  if (Width() <= 0 || Height() <= 0) return;
  int32_t W = Width(), H = Height();
  if (AStyle == fbsRaised) W -= 2, H -= 2;
  Target->EnsureSize(W, H);
  if (Target->Empty()) return;
  const bool Dither = FGroupIndex > 0 && IsDown && FDitherColor != clNone && GetImage(true)->Empty();
  const bool Tint = Color() != clNone;
  HRGN Clip = nullptr;
  if (!ForRegion && (Tint || Dither)) Clip = CreateRegion(true, IsDown);
  TScopeExit DeleteClip([&Clip] {
    if (Clip) DeleteObject(Clip);
  });
  TCanvas* Canvas = Target->Canvas();
  Canvas->StretchDraw(RECT{0, 0, W, H}, Picture);
  if (ForRegion) return;
  HDC DC = Canvas->Handle();
  if (Tint) {
    SelectClipRgn(DC, Clip);
    const TColor Key = EffectiveTransparentColor(IsDown);
    // No key leaves no pixel out.
    Target->SetTransparentColor(Key == vcNoTransparentColor ? clNone : Key);
    const TColor Rgb = ColorToRGB(Color());
    Target->ApplyColor(Rgb & 0xFF, Rgb >> 8 & 0xFF, Rgb >> 16 & 0xFF);
  }
  if (Dither) {
    if (Clip && AStyle == fbsRaised) OffsetRgn(Clip, -2, -2);
    SelectClipRgn(DC, Clip);
    const RECT All{0, 0, Width(), Height()};
    switch (FDitherStyle) {
      case dsDither:
        DitherFill(Canvas, All, clSilver, FDitherColor);
        break;
      case dsBlendDither:
        DitherFill(Canvas, All, clNone, FDitherColor);
        break;
      case dsFill:
        Canvas->Brush()->SetColor(FDitherColor);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->FillRect(All);
        break;
    }
  }
  SelectClipRgn(DC, nullptr);
}

void TvcCustomImageBtn::RenderFace(TvcBitmap* Face, bool, TvcShadeStyle AStyle, bool IsDown) {
  Face->EnsureSize(Width(), Height());
  TvcBitmap* Up = GetImage(false);
  if (RespectPalette()) Face->SetRespectPalette(true);
  if (Face->Empty()) return;
  TCanvas* Canvas = Face->Canvas();
  const RECT All{0, 0, Width(), Height()};
  if (Up->Empty()) {
    // No picture yet: a face with a dash-dot frame shows where the button is.
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(All);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetStyle(psDashDot);
    Canvas->Rectangle(All);
    return;
  }
  TvcBitmap* Down = GetImage(true);
  const bool HasDown = !Down->Empty();
  TvcBitmap Picture;
  Picture.SetRespectPalette(RespectPalette());
  DrawImage(IsDown && HasDown ? Down : Up, &Picture, AStyle, false, IsDown);
  POINT Origin{0, 0};
  if (IsDown && !HasDown) Origin = POINT{ImageOffsets()->ImageDownX(), ImageOffsets()->ImageDownY()};
  const TColor Key = EffectiveTransparentColor(IsDown);
  if (AStyle == fbsHighlight || (AStyle == fbsFlat && IsMouseInControl(-1, -1, false))) {
    Canvas->Draw(Origin.x, Origin.y, &Picture);
    DrawShade(&Picture, Face, Key, IsDown);
    return;
  }
  Canvas->Brush()->SetColor(FShadeColors->Shadow());
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Pen()->SetColor(FShadeColors->Shadow());
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->FillRect(All);
  if (FTransparentColor != vcNoTransparentColor && !Picture.Empty()) {
    if (IsDown && FDitherStyle == dsBlendDither) {
      DrawTransparentVcBitmap(Canvas, RECT{Origin.x, Origin.y, Origin.x + Picture.Width(), Origin.y + Picture.Height()},
                              &Picture, Key);
      return;
    }
    // The picture's transparent pixels take the shadow colour (the region hides them anyway).
    TvcPixel KeyPixel, ShadowPixel;
    ColorToBGR(Key, KeyPixel);
    ColorToBGR(FShadeColors->Shadow(), ShadowPixel);
    Picture.ReplaceColor(KeyPixel, ShadowPixel);
  }
  Canvas->Draw(Origin.x, Origin.y, &Picture);
}

void TvcCustomImageBtn::DrawShade(TvcBitmap* Source, TvcBitmap* Target, TColor Key, bool IsDown) {
  if (!Source || !Target || Source->Empty() || Source->Width() != Target->Width() ||
      Source->Height() != Target->Height())
    return;
  const TvcRaster From = Source->Raster();
  const TvcRaster To = Target->Raster();
  const TColor KeyColor = Key == -1 ? PixelColor(From, 0, 0) : ColorToRGB(Key);
  const TColor Hi = FShadeColors->BtnHighlight(), Li = FShadeColors->Btn3DLight();
  const TColor Sh = FShadeColors->BtnShadow(), Bk = FShadeColors->BtnBlack();
  const bool HasFocus = Focused();
  const bool F = HasFocus || FDefault;
  const bool G = FOptions.Contains(boFocusable) && HasFocus;
  const int32_t W = From.Width, H = From.Height;
  auto Walk = [&](int32_t StartX, int32_t StartY) {
    const int32_t Length = std::min(W - StartX, H - StartY);
    int32_t At = 0;
    while (At < Length) {
      while (At < Length && PixelColor(From, StartX + At, StartY + At) == KeyColor) ++At;
      if (At >= Length) return;
      const int32_t First = At;
      int32_t Last = First;
      while (Last + 1 < Length && PixelColor(From, StartX + Last + 1, StartY + Last + 1) != KeyColor) ++Last;
      At = Last + 1;
      const POINT E0{StartX + First, StartY + First}, X0{StartX + Last, StartY + Last};
      const int32_t In1 = F ? 1 : 0, In2 = In1 + (G ? 1 : 0);
      const POINT X1{X0.x - In1, X0.y - In1}, E2{E0.x + In2, E0.y + In2};
      if (!IsDown) {
        WritePixel(To, X1.x - 1, X1.y - 1, Sh);
        WritePixel(To, E2.x + 1, E2.y + 1, Li);
        WritePixel(To, X1.x, X1.y, Bk);
        WritePixel(To, E2.x, E2.y, Hi);
      } else {
        WritePixel(To, X1.x - 1, X1.y - 1, Li);
        WritePixel(To, E2.x + 1, E2.y + 1, Sh);
        WritePixel(To, X1.x, X1.y, Hi);
        WritePixel(To, E2.x, E2.y, Bk);
      }
      if (G && IsDown) WritePixel(To, E2.x - 1, E2.y - 1, clBlack);
      if (F) {
        WritePixel(To, E0.x, E0.y, Bk);
        WritePixel(To, X0.x, X0.y, Bk);
      }
    }
  };
  for (int32_t X = W - 1; X >= 0; --X) Walk(X, 0);
  for (int32_t Y = 1; Y < H; ++Y) Walk(0, Y);
}

TColor TvcCustomImageBtn::ColorAtPoint(POINT Point) {
  TvcBitmap Face;
  RenderFace(&Face, false, FShadeStyle, FDown);
  if (Face.Empty() || Point.x < 0 || Point.y < 0 || Point.x >= Face.Width() || Point.y >= Face.Height())
    return clNone;
  return PixelColor(Face.Raster(), Point.x, Point.y);
}

void TvcCustomImageBtn::BakeFaces() {
  if (GetImage(false)->Empty()) return;
  TvcBitmap UpFace, DownFace;
  RenderFace(&UpFace, false, fbsHighlight, false);
  RenderFace(&DownFace, false, fbsHighlight, true);
  if (HRGN Shape = CreateRegion(true, FDown)) {
    DownFace.SetTransparentColor(EffectiveTransparentColor(false));
    FillOutsideRegion(&DownFace, Shape);
    DeleteObject(Shape);
  }
  FImage->Assign(&UpFace);
  FImageDown->Assign(&DownFace);
  RecreateWnd();
}
