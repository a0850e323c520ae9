#include "platform/forms/imagelist.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/imagelistapi.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"

KORCAM_REGISTER_CLASS(TChangeLink)
KORCAM_REGISTER_CLASS(TCustomImageList)
KORCAM_REGISTER_CLASS(TImageList)

namespace {

// Paints the pattern where the source is 1 and keeps the destination where it is 0.
constexpr DWORD RopDSPDxax = 0x00E20746;
// The first bytes of the images as this library writes them into form resources.
constexpr char ImagesMagic[4] = {'K', 'I', 'L', '1'};

}  // namespace

COLORREF ColorToImageListColor(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return COLORREF(ColorToRGB(Color)) & 0xFFFFFF;
}

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---------------------------------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* Link : FClients) Link->SetSender(nullptr);
  FClients.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::HandleNeeded() {
  if (FHandle) return;
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLORDDB | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
  if (FHandle) ImageList_SetBkColor(FHandle, ColorToImageListColor(FBkColor));
}

// A new, empty list with the current size and masking.
void TCustomImageList::Recreate() {
  if (!FHandle) return;
  FreeHandle();
  HandleNeeded();
}

HIMAGELIST TCustomImageList::Handle() {
  HandleNeeded();
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == FHandle) return;
  FreeHandle();
  FHandle = Value;
  if (FHandle) {
    int Cx = 0, Cy = 0;
    if (ImageList_GetIconSize(FHandle, &Cx, &Cy)) {
      FWidth = Cx;
      FHeight = Cy;
    }
    const COLORREF Bk = ImageList_GetBkColor(FHandle);
    FBkColor = Bk == CLR_NONE ? clNone : TColor(Bk & 0xFFFFFF);
  }
  Change();
}

int TCustomImageList::Count() const {
  return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, ColorToImageListColor(Value));
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  Recreate();
  Change();
}

void TCustomImageList::SetWidth(int32_t Value) {
  SetSize(Value, FHeight);
}

void TCustomImageList::SetHeight(int32_t Value) {
  SetSize(FWidth, Value);
}

void TCustomImageList::SetSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth <= 0 || AHeight <= 0 || (AWidth == FWidth && AHeight == FHeight)) return;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle) ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  HandleNeeded();
  const int Result =
      ImageList_Add(FHandle, Image->Handle(), Mask && !Mask->Empty() ? Mask->Handle() : nullptr);
  Change();
  return Result;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  HandleNeeded();
  const int Result = ImageList_AddMasked(FHandle, Image->Handle(), ColorToImageListColor(MaskColor));
  Change();
  return Result;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
  if (!Image || Image->Empty()) return;
  if (!ImageList_Replace(FHandle, Index, Image->Handle(), Mask && !Mask->Empty() ? Mask->Handle() : nullptr))
    throw EInvalidOperation("Failed to replace image");
  Change();
}

void TCustomImageList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (!ImageList_Move(FHandle, NewIndex, CurIndex)) throw EInvalidOperation("Invalid ImageList Index");
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_RemoveAll(FHandle);
  Change();
}

UINT TCustomImageList::StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const {
  UINT Style = ILD_NORMAL;
  switch (ADrawingStyle) {
    case TDrawingStyle::dsFocus:
      Style = ILD_FOCUS;
      break;
    case TDrawingStyle::dsSelected:
      Style = ILD_SELECTED;
      break;
    case TDrawingStyle::dsTransparent:
      Style = ILD_TRANSPARENT;
      break;
    default:
      break;
  }
  if (AImageType == itMask) Style |= ILD_MASK;
  return Style;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!FHandle || !Canvas) return;
  DoDraw(Index, Canvas, X, Y, StyleFlags(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay,
                                   bool Enabled) {
  DrawOverlay(Canvas, X, Y, ImageIndex, Overlay, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay,
                                   TDrawingStyle ADrawingStyle, TImageType AImageType, bool Enabled) {
  if (!FHandle || !Canvas || Overlay < 0 || Overlay > 14) return;
  DoDraw(ImageIndex, Canvas, X, Y,
         StyleFlags(ADrawingStyle, AImageType) | INDEXTOOVERLAYMASK(UINT(Overlay) + 1), Enabled);
}

bool TCustomImageList::Overlay(int ImageIndex, TOverlay Overlay) {
  if (Overlay < 0 || Overlay > 14) return false;
  HandleNeeded();
  return ImageList_SetOverlayImage(FHandle, ImageIndex, Overlay + 1) != FALSE;
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  if (!FHandle) return;
  if (Enabled) {
    ImageList_DrawEx(FHandle, Index, Canvas->Handle(), X, Y, 0, 0, ColorToImageListColor(FBkColor),
                     ColorToImageListColor(FBlendColor), Style);
    return;
  }
  // Dimmed: the image's shape from its mask, once in the highlight colour one pixel down and
  // right, then in the shadow colour on top (0 bits of the mask are the image).
  HBITMAP Mono = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
  if (!Mono) return;
  HDC MonoDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldMono = SelectObject(MonoDC, Mono);
  PatBlt(MonoDC, 0, 0, FWidth, FHeight, WHITENESS);
  ImageList_DrawEx(FHandle, Index, MonoDC, 0, 0, 0, 0, CLR_DEFAULT, 0, ILD_MASK);

  TBrush* Brush = Canvas->Brush();
  const TColor OldColor = Brush->Color();
  const TBrushStyle OldStyle = Brush->Style();
  const struct {
    TColor Color;
    int Offset;
  } Passes[] = {{clBtnHighlight, 1}, {clBtnShadow, 0}};
  for (const auto& Pass : Passes) {
    Brush->SetColor(Pass.Color);
    const HDC Dest = Canvas->Handle();
    const COLORREF OldText = SetTextColor(Dest, 0xFFFFFF);
    const COLORREF OldBk = ::SetBkColor(Dest, 0x000000);
    BitBlt(Dest, X + Pass.Offset, Y + Pass.Offset, FWidth, FHeight, MonoDC, 0, 0, RopDSPDxax);
    SetTextColor(Dest, OldText);
    ::SetBkColor(Dest, OldBk);
  }
  Brush->SetColor(OldColor);
  Brush->SetStyle(OldStyle);

  SelectObject(MonoDC, OldMono);
  DeleteDC(MonoDC);
  DeleteObject(Mono);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
  Image->SetHeight(FHeight);
  Image->SetWidth(FWidth);
  Draw(Image->Canvas(), 0, 0, Index);
  return true;
}

bool TCustomImageList::ResourceLoad(TResType ResType, const std::string& Name, TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  TBitmap Strip;
  try {
    Strip.LoadFromResourceName(nullptr, Name);
  } catch (const EResNotFound&) {
    return false;
  }
  BeginUpdate();
  Clear();
  if (MaskColor == clNone)
    Add(&Strip, nullptr);
  else
    AddMasked(&Strip, MaskColor);
  EndUpdate();
  return true;
}

bool TCustomImageList::GetResource(TResType ResType, const std::string& Name, int AWidth, TColor MaskColor) {
  if (AWidth > 0) SetWidth(AWidth);
  return ResourceLoad(ResType, Name, MaskColor);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value || std::find(FClients.begin(), FClients.end(), Value) != FClients.end()) return;
  Value->SetSender(this);
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  const auto It = std::find(FClients.begin(), FClients.end(), Value);
  if (It == FClients.end()) return;
  (*It)->SetSender(nullptr);
  FClients.erase(It);
}

void TCustomImageList::BeginUpdate() {
  ++FUpdateCount;
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  TObjectProtector Protector(this);
  // A link may unregister itself while it is told.
  const std::vector<TChangeLink*> Clients = FClients;
  for (TChangeLink* Link : Clients)
    if (std::find(FClients.begin(), FClients.end(), Link) != FClients.end()) Link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TCustomImageList*>(Source);
  if (!Source) {
    Clear();
    return;
  }
  if (!Other) {
    inherited::Assign(Source);
    return;
  }
  if (Other == this) return;
  BeginUpdate();
  FreeHandle();
  FAllocBy = Other->FAllocBy;
  FBlendColor = Other->FBlendColor;
  FBkColor = Other->FBkColor;
  FDrawingStyle = Other->FDrawingStyle;
  FImageType = Other->FImageType;
  FMasked = Other->FMasked;
  FShareImages = false;
  FWidth = Other->FWidth;
  FHeight = Other->FHeight;
  if (Other->FHandle) FHandle = ImageList_Duplicate(Other->FHandle);
  FChanged = true;
  EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Form resources: "Bitmap" holds the images either as one bitmap file (a strip of Width-wide
// images, masked by its transparent colour when Masked), or as this library writes them:
// "KIL1", the image count (32 bits), a 32-bit strip of the images and a 1-bit strip of the masks.

void TCustomImageList::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Bitmap", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); },
      Count() > 0);
}

void TCustomImageList::ReadData(TStream& Stream) {
  const int64_t Start = Stream.Position();
  char Magic[4] = {0, 0, 0, 0};
  const bool Framed = Stream.Read(Magic, 4) == 4 && std::memcmp(Magic, ImagesMagic, 4) == 0;
  BeginUpdate();
  HandleNeeded();
  ImageList_RemoveAll(FHandle);
  if (!Framed) {
    Stream.SetPosition(Start);
    TBitmap Strip;
    Strip.LoadFromStream(Stream);
    if (FMasked)
      AddMasked(&Strip, Strip.TransparentColor());
    else
      Add(&Strip, nullptr);
  } else {
    int32_t ImageCount = 0;
    Stream.ReadBuffer(&ImageCount, 4);
    TBitmap Images, Masks;
    Images.LoadFromStream(Stream);
    Masks.LoadFromStream(Stream);
    if (ImageCount < 0 || Images.Width() < int64_t(ImageCount) * FWidth)
      throw EReadError("Image list data does not fit the image size");
    Add(&Images, FMasked ? &Masks : nullptr);
    ImageList_SetImageCount(FHandle, UINT(ImageCount));
  }
  FChanged = true;
  EndUpdate();
}

void TCustomImageList::WriteData(TStream& Stream) {
  const int ImageCount = Count();
  TBitmap Images, Masks;
  Images.SetPixelFormat(pf32bit);
  Images.SetSize(FWidth * ImageCount, FHeight);
  Masks.SetMonochrome(true);
  Masks.SetSize(FWidth * ImageCount, FHeight);
  HDC ImagesDC = CreateCompatibleDC(nullptr), MasksDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldImages = SelectObject(ImagesDC, Images.Handle());
  HGDIOBJ OldMasks = SelectObject(MasksDC, Masks.Handle());
  for (int Index = 0; Index < ImageCount; ++Index) {
    // Masked pixels are stored black, as adding with a mask colour leaves them.
    ImageList_DrawEx(FHandle, Index, ImagesDC, Index * FWidth, 0, 0, 0, 0x000000, CLR_NONE, ILD_NORMAL);
    ImageList_DrawEx(FHandle, Index, MasksDC, Index * FWidth, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  }
  SelectObject(ImagesDC, OldImages);
  SelectObject(MasksDC, OldMasks);
  DeleteDC(ImagesDC);
  DeleteDC(MasksDC);
  Stream.WriteBuffer(ImagesMagic, 4);
  const int32_t Count32 = ImageCount;
  Stream.WriteBuffer(&Count32, 4);
  Images.SaveToStream(Stream);
  Masks.SaveToStream(Stream);
}
