#include "platform/forms/bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/resources.h"
#include "platform/forms/bitmapfile.h"
#include "platform/forms/canvas.h"
#include "platform/forms/imagecodec.h"
#include "platform/forms/picture.h"
#include "platform/forms/pixelrows.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TBitmap)

// The canvas of a bitmap: a memory DC holding the bitmap, made when drawing starts and dropped
// whenever the bitmap's handle changes (the next drawing call makes a new one).
class TBitmapCanvas : public TCanvas {
  KORCAM_CLASS(TBitmapCanvas, TCanvas)

 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!HandleAllocated()) return;
    HDC DC = FDC;
    SetHandle(nullptr);
    if (FOldBitmap) SelectObject(DC, FOldBitmap);
    DeleteDC(DC);
    FDC = nullptr;
    FOldBitmap = nullptr;
  }

 protected:
  void CreateHandle() override {
    FBitmap->HandleNeeded();
    FDC = CreateCompatibleDC(nullptr);
    if (!FDC) return;
    if (FBitmap->FHandle) FOldBitmap = static_cast<HBITMAP>(SelectObject(FDC, FBitmap->FHandle));
    SetHandle(FDC);
  }

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HBITMAP FOldBitmap = nullptr;
};
KORCAM_REGISTER_CLASS(TBitmapCanvas)

namespace {

HDC ScreenDC() {
  static HDC DC = GdiCreateScreenDC();
  return DC;
}

int BitCountOf(TPixelFormat Format) {
  switch (Format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    case pf32bit:
      return 32;
    default:
      return 32;
  }
}

TPixelFormat FormatOfObject(const TBitmapObject* Object) {
  if (!Object->IsDibSection()) return pfDevice;
  switch (Object->Surface().BitCount) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return Is565(Object) ? pf16bit : pf15bit;
    case 24:
      return pf24bit;
    case 32:
      return pf32bit;
    default:
      return pfCustom;
  }
}

COLORREF Rgb(TColor Color) {
  return COLORREF(ColorToRGB(Color)) & 0xFFFFFF;
}

struct TSectionInfo {
  BITMAPINFOHEADER Header;
  uint32_t Colors[256];
};

HBITMAP CreateSection(int32_t Width, int32_t Height, TPixelFormat Format,
                      const std::vector<uint32_t>& Table) {
  TSectionInfo Info{};
  Info.Header.biSize = sizeof(BITMAPINFOHEADER);
  Info.Header.biWidth = Width;
  Info.Header.biHeight = Height;  // bottom-up, as bitmap files keep their rows
  Info.Header.biPlanes = 1;
  Info.Header.biBitCount = WORD(BitCountOf(Format));
  Info.Header.biCompression = BI_RGB;
  if (Format == pf16bit) {
    Info.Header.biCompression = BI_BITFIELDS;
    Info.Colors[0] = 0xF800, Info.Colors[1] = 0x07E0, Info.Colors[2] = 0x001F;
  } else if (Info.Header.biBitCount <= 8) {
    const size_t Count = std::min<size_t>(Table.size(), size_t(1) << Info.Header.biBitCount);
    Info.Header.biClrUsed = DWORD(Count);
    for (size_t i = 0; i < Count; ++i) Info.Colors[i] = Table[i] & 0xFFFFFF;
  }
  void* Bits = nullptr;
  return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&Info), DIB_RGB_COLORS, &Bits, nullptr,
                          0);
}

// A memory DC with a bitmap selected, for the duration of a transfer.
class TTempDC {
 public:
  explicit TTempDC(HBITMAP Bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    if (FDC && Bitmap) FOld = SelectObject(FDC, Bitmap);
  }
  ~TTempDC() {
    if (!FDC) return;
    if (FOld) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TTempDC(const TTempDC&) = delete;
  TTempDC& operator=(const TTempDC&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

}  // namespace

std::vector<uint32_t> DefaultColorTable(TPixelFormat Format) {
  switch (Format) {
    case pf1bit:
      return {0x000000, 0xFFFFFF};
    case pf4bit:
      return gdi::StandardColorTable(4);
    case pf8bit:
      return gdi::StandardColorTable(8);
    default:
      return {};
  }
}

// ---------------------------------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeMask();
  if (FHandle) DeleteObject(FHandle);
  if (FPalette) DeleteObject(FPalette);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = TNotifyEvent(this, [this](TObject*) { Changed(this); });
  }
  return FCanvas.get();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeMask() {
  if (FMaskHandle) {
    DeleteObject(FMaskHandle);
    FMaskHandle = nullptr;
  }
}

void TBitmap::FreeHandle() {
  FreeContext();
  FreeMask();
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
  if (FPalette) {
    DeleteObject(FPalette);
    FPalette = nullptr;
  }
}

bool TBitmap::GetEmpty() const {
  return !FHandle && !FDormant;
}

void TBitmap::Changed(TObject* Sender) {
  FreeMask();
  inherited::Changed(Sender);
}

TBitmap::TLayout TBitmap::CurrentLayout() const {
  TLayout Layout;
  const TBitmapObject* Object = FHandle ? GdiGetBitmap(FHandle) : nullptr;
  if (!Object) return RequestedLayout();
  Layout.Format = FormatOfObject(Object);
  Layout.Type = Layout.Format == pfDevice ? bmDDB : bmDIB;
  Layout.Mono = Layout.Type == bmDDB && Object->IsMonochrome();
  return Layout;
}

TBitmap::TLayout TBitmap::RequestedLayout() const {
  TLayout Layout;
  Layout.Format = FPixelFormat;
  Layout.Type = FPixelFormat == pfDevice ? bmDDB : bmDIB;
  Layout.Mono = Layout.Type == bmDDB && FMonochrome;
  return Layout;
}

void TBitmap::NewImage(int32_t AWidth, int32_t AHeight, const TLayout& Layout) {
  FreeContext();
  FreeMask();
  if (FPalette) {
    DeleteObject(FPalette);
    FPalette = nullptr;
  }
  FPixelFormat = Layout.Format;
  FMonochrome = Layout.Mono;
  HBITMAP Old = FHandle;
  TBitmapObject* OldObject = Old ? GdiGetBitmap(Old) : nullptr;
  if (AWidth <= 0 || AHeight <= 0) {
    if (Old) DeleteObject(Old);
    FHandle = nullptr;
    FWidth = std::max(AWidth, 0);
    FHeight = std::max(AHeight, 0);
    return;
  }

  const bool HaveCanvas = FCanvas != nullptr;
  const COLORREF TextColor = HaveCanvas ? Rgb(FCanvas->Font()->Color()) : 0x000000;
  const COLORREF BkColor = HaveCanvas ? Rgb(FCanvas->Brush()->Color()) : 0xFFFFFF;

  HBITMAP New = nullptr;
  if (Layout.Type == bmDDB) {
    New = Layout.Mono ? CreateBitmap(AWidth, AHeight, 1, 1, nullptr)
                      : CreateCompatibleBitmap(ScreenDC(), AWidth, AHeight);
  } else {
    std::vector<uint32_t> Table;
    const int Bits = BitCountOf(Layout.Format);
    if (Bits <= 8) {
      if (OldObject && OldObject->IsDibSection() && OldObject->Surface().BitCount == Bits)
        Table = OldObject->ColorTable();  // the same depth keeps its colours
      else if (Bits == 1 && HaveCanvas)
        Table = {gdi::ColorRefToRgb(TextColor), gdi::ColorRefToRgb(BkColor)};
      else
        Table = DefaultColorTable(Layout.Format);
    }
    New = CreateSection(AWidth, AHeight, Layout.Format, Table);
  }
  if (!New) throw EOutOfResources("Out of system resources");
  TBitmapObject* NewObject = GdiGetBitmap(New);

  {
    TTempDC Target(New);
    SetTextColor(Target.DC(), TextColor);
    SetBkColor(Target.DC(), BkColor);
    const RECT All{0, 0, AWidth, AHeight};
    if (HaveCanvas)
      ::FillRect(Target.DC(), &All, FCanvas->Brush()->Handle());
    else
      PatBlt(Target.DC(), 0, 0, AWidth, AHeight, WHITENESS);
    if (OldObject) {
      const int32_t CopyWidth = std::min(AWidth, OldObject->Surface().Width);
      const int32_t CopyHeight = std::min(AHeight, OldObject->Surface().Height);
      if (Is565(OldObject) || Is565(NewObject)) {
        CopyThroughColors(OldObject, NewObject, CopyWidth, CopyHeight, TextColor, BkColor);
      } else {
        TTempDC Source(Old);
        SetTextColor(Source.DC(), TextColor);
        SetBkColor(Source.DC(), BkColor);
        BitBlt(Target.DC(), 0, 0, CopyWidth, CopyHeight, Source.DC(), 0, 0, SRCCOPY);
      }
    }
  }
  if (Old) DeleteObject(Old);
  FHandle = New;
  FWidth = AWidth;
  FHeight = AHeight;
}

void TBitmap::HandleNeeded() {
  if (FHandle) return;
  if (FDormant) {
    std::vector<uint8_t> Image;
    Image.swap(FDormantImage);
    FDormant = false;
    LoadBitmapFile(Image.data(), Image.size());
    return;
  }
  if (FWidth > 0 && FHeight > 0) NewImage(FWidth, FHeight, RequestedLayout());
}

HBITMAP TBitmap::Handle() {
  HandleNeeded();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  FreeHandle();
  FDormant = false;
  FDormantImage.clear();
  FHandle = Value;
  FWidth = FHeight = 0;
  if (TBitmapObject* Object = Value ? GdiGetBitmap(Value) : nullptr) {
    FWidth = Object->Surface().Width;
    FHeight = Object->Surface().Height;
    FPixelFormat = FormatOfObject(Object);
    FMonochrome = !Object->IsDibSection() && Object->IsMonochrome();
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  HandleNeeded();
  FreeContext();
  FreeMask();
  HBITMAP Result = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  return Result;
}

TBitmapHandleType TBitmap::HandleType() const {
  if (FDormant) return FPixelFormat == pfDevice ? bmDDB : bmDIB;
  return CurrentLayout().Type;
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == HandleType()) return;
  HandleNeeded();
  TLayout Layout = CurrentLayout();
  if (Value == bmDIB) {
    // A device-dependent image becomes a section of its own depth.
    const TBitmapObject* Object = FHandle ? GdiGetBitmap(FHandle) : nullptr;
    const int Bits = Object ? Object->Surface().BitCount : GdiScreenBitsPerPixel();
    Layout = {bmDIB, Bits == 1 ? pf1bit : Bits == 16 ? pf15bit : Bits == 24 ? pf24bit : pf32bit, false};
  } else {
    Layout = {bmDDB, pfDevice, Layout.Format == pf1bit};
  }
  if (Empty()) {
    FPixelFormat = Layout.Format;
    FMonochrome = Layout.Mono;
    return;
  }
  NewImage(FWidth, FHeight, Layout);
  Changed(this);
}

bool TBitmap::Monochrome() const {
  if (const TBitmapObject* Object = FHandle ? GdiGetBitmap(FHandle) : nullptr)
    return Object->Surface().BitCount == 1;
  return FPixelFormat == pf1bit || (FPixelFormat == pfDevice && FMonochrome);
}

// The class library makes a monochrome image a device-dependent one; the colours of the canvas
// decide which pixels become white (see the file comment).
void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  const TLayout Layout{bmDDB, pfDevice, Value};
  if (Empty()) {
    FPixelFormat = pfDevice;
    FMonochrome = Value;
    return;
  }
  HandleNeeded();
  NewImage(FWidth, FHeight, Layout);
  Changed(this);
}

TPixelFormat TBitmap::PixelFormat() const {
  if (FHandle) return CurrentLayout().Format;
  return FPixelFormat;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pfCustom || static_cast<int>(Value) < 0 || static_cast<int>(Value) > pfCustom)
    throw EInvalidGraphic("Invalid pixel format");
  if (Value == PixelFormat()) return;
  const TLayout Layout{Value == pfDevice ? bmDDB : bmDIB, Value, false};
  if (Empty()) {
    FPixelFormat = Value;
    FMonochrome = false;
    return;
  }
  HandleNeeded();
  NewImage(FWidth, FHeight, Layout);
  Changed(this);
}

void TBitmap::SetWidth(int32_t Value) {
  SetSize(Value, FHeight);
}

void TBitmap::SetHeight(int32_t Value) {
  SetSize(FWidth, Value);
}

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  HandleNeeded();
  NewImage(AWidth, AHeight, FHandle ? CurrentLayout() : RequestedLayout());
  Changed(this);
}

void* TBitmap::ScanLine(int32_t Row) {
  HandleNeeded();
  if (Row < 0 || Row >= FHeight || !FHandle) throw EInvalidGraphicOperation("Scan line index out of range");
  TBitmapObject* Object = GdiGetBitmap(FHandle);
  if (!Object->IsDibSection()) {
    // Pixel rows are only promised for sections: a device-dependent image becomes one, quietly
    // (nothing about the picture changes).
    const int Bits = Object->Surface().BitCount;
    NewImage(FWidth, FHeight,
             {bmDIB,
              Bits == 1    ? pf1bit
              : Bits == 16 ? pf15bit
              : Bits == 24 ? pf24bit
                           : pf32bit,
              false});
    Object = GdiGetBitmap(FHandle);
  }
  FreeMask();
  return Object->Surface().Row(Row);
}

int32_t TBitmap::RowBytes() {
  HandleNeeded();
  if (!FHandle) return 0;
  return GdiGetBitmap(FHandle)->RowBytes();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (Empty() || FHeight <= 0 || FWidth <= 0) return clDefault;
  const_cast<TBitmap*>(this)->HandleNeeded();
  const TBitmapObject* Object = GdiGetBitmap(FHandle);
  uint32_t Color = 0;
  ReadColors(Object, FHeight - 1, 1, &Color, 0x000000, 0xFFFFFF);
  return TColor(gdi::RgbToColorRef(Color));
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor && (Value == clDefault) == (FTransparentMode == tmAuto)) return;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FTransparentColor = Value;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

void TBitmap::Mask(TColor TransparentColor) {
  HandleNeeded();
  FreeMask();
  if (!FHandle) return;
  HBITMAP Result = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
  if (!Result) throw EOutOfResources("Out of system resources");
  const COLORREF Key = Rgb(TransparentColor);
  TBitmapObject* Object = GdiGetBitmap(FHandle);
  if (Is565(Object)) {
    CopyThroughColors(Object, GdiGetBitmap(Result), FWidth, FHeight, 0x000000, Key);
  } else {
    FreeContext();
    TTempDC Source(FHandle), Target(Result);
    // A colour image turns monochrome by the source's background colour: the key becomes 1.
    SetBkColor(Source.DC(), Key);
    SetTextColor(Source.DC(), Key ^ 0xFFFFFF);
    BitBlt(Target.DC(), 0, 0, FWidth, FHeight, Source.DC(), 0, 0, SRCCOPY);
  }
  FMaskHandle = Result;
  FMaskColor = TransparentColor;
}

HBITMAP TBitmap::MaskHandle() {
  if (!FMaskHandle && !Empty()) Mask(TransparentColor());
  return FMaskHandle;
}

void TBitmap::SetMaskHandle(HBITMAP Value) {
  if (Value == FMaskHandle) return;
  FreeMask();
  FMaskHandle = Value;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP Result = MaskHandle();
  FMaskHandle = nullptr;
  return Result;
}

HPALETTE TBitmap::Palette() const {
  if (FPalette || !FHandle) return FPalette;
  const TBitmapObject* Object = GdiGetBitmap(FHandle);
  if (!Object->IsDibSection() || Object->Surface().BitCount > 8) return nullptr;
  const std::vector<uint32_t>& Table = Object->ColorTable();
  std::vector<uint8_t> Buffer(sizeof(LOGPALETTE) + Table.size() * sizeof(PALETTEENTRY));
  auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = WORD(Table.size());
  for (size_t i = 0; i < Table.size(); ++i)
    Log->palPalEntry[i] = PALETTEENTRY{BYTE(Table[i] >> 16), BYTE(Table[i] >> 8), BYTE(Table[i]), 0};
  FPalette = CreatePalette(Log);
  return FPalette;
}

// The palette's entries become the colour table of an indexed image; the bitmap owns the palette.
void TBitmap::SetPalette(HPALETTE Value) {
  if (Value == FPalette) return;
  if (FPalette) DeleteObject(FPalette);
  FPalette = Value;
  HandleNeeded();
  TBitmapObject* Object = FHandle ? GdiGetBitmap(FHandle) : nullptr;
  if (Value && Object && Object->IsDibSection() && Object->Surface().BitCount <= 8) {
    std::vector<uint32_t> Table = Object->ColorTable();
    std::vector<PALETTEENTRY> Entries(Table.size());
    const UINT Count = GetPaletteEntries(Value, 0, UINT(Entries.size()), Entries.data());
    for (UINT i = 0; i < Count && i < Table.size(); ++i)
      Table[i] = (uint32_t(Entries[i].peRed) << 16) | (uint32_t(Entries[i].peGreen) << 8) | Entries[i].peBlue;
    Object->SetColorTable(Table);
  }
  Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
  HPALETTE Result = Palette();
  FPalette = nullptr;
  return Result;
}

void TBitmap::Dormant() {
  if (!FHandle) return;
  TMemoryStream Image;
  SaveToStream(Image);
  const TLayout Layout = CurrentLayout();
  const int32_t Width = FWidth, Height = FHeight;
  FreeHandle();
  FDormantImage.assign(static_cast<const uint8_t*>(Image.Memory()),
                       static_cast<const uint8_t*>(Image.Memory()) + Image.Size());
  FDormant = true;
  FWidth = Width;
  FHeight = Height;
  FPixelFormat = Layout.Format;
  FMonochrome = Layout.Mono;
}

void TBitmap::FreeImage() {
  if (FHandle) std::vector<uint8_t>().swap(FDormantImage);
}

// ---------------------------------------------------------------------------------------------
// Assignment.

bool TBitmap::CopyPixelsFrom(TBitmap& Source) {
  if (!FHandle || !Source.FHandle) return false;
  TBitmapObject* Mine = GdiGetBitmap(FHandle);
  const TBitmapObject* Theirs = GdiGetBitmap(Source.FHandle);
  const TPixelSurface& A = Mine->Surface();
  const TPixelSurface& B = Theirs->Surface();
  if (A.Width != B.Width || A.Height != B.Height || A.BitCount != B.BitCount ||
      Mine->IsDibSection() != Theirs->IsDibSection() || Mine->IsBottomUp() != Theirs->IsBottomUp() ||
      Mine->RowBytes() != Theirs->RowBytes() ||
      std::memcmp(Mine->BitFields, Theirs->BitFields, sizeof(Mine->BitFields)) != 0)
    return false;
  std::memcpy(Mine->Bits(), Theirs->Bits(), Mine->ImageSize());
  if (A.BitCount <= 8 && Mine->ColorTable() != Theirs->ColorTable()) {
    Mine->SetColorTable(Theirs->ColorTable());
    if (FPalette) {
      DeleteObject(FPalette);
      FPalette = nullptr;
    }
  }
  return true;
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    FreeHandle();
    FDormant = false;
    FDormantImage.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (auto* Other = dynamic_cast<TBitmap*>(Source)) {
    if (Other == this) return;
    Other->HandleNeeded();
    if (!CopyPixelsFrom(*Other)) {
      FreeHandle();
      FDormant = false;
      FDormantImage.clear();
      FWidth = Other->FWidth;
      FHeight = Other->FHeight;
      FPixelFormat = Other->PixelFormat();
      FMonochrome = Other->Monochrome() && FPixelFormat == pfDevice;
      if (Other->FHandle) {
        // A copy of the same layout: the source's header and colour table, then its bytes.
        const TBitmapObject* Theirs = GdiGetBitmap(Other->FHandle);
        HBITMAP Copy = nullptr;
        if (!Theirs->IsDibSection()) {
          Copy = Theirs->IsMonochrome() ? CreateBitmap(FWidth, FHeight, 1, 1, nullptr)
                                        : CreateCompatibleBitmap(ScreenDC(), FWidth, FHeight);
        } else {
          TSectionInfo Info{};
          Info.Header = Theirs->DibHeader;
          Info.Header.biSize = sizeof(BITMAPINFOHEADER);
          Info.Header.biClrUsed = 0;
          if (Info.Header.biCompression == BI_BITFIELDS)
            std::memcpy(Info.Colors, Theirs->BitFields, 12);
          else if (Theirs->Surface().BitCount <= 8)
            for (size_t i = 0; i < Theirs->ColorTable().size() && i < 256; ++i)
              Info.Colors[i] = Theirs->ColorTable()[i];
          void* Bits = nullptr;
          Copy = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&Info), DIB_RGB_COLORS, &Bits,
                                  nullptr, 0);
        }
        if (!Copy) throw EOutOfResources("Out of system resources");
        TBitmapObject* Mine = GdiGetBitmap(Copy);
        if (Mine->ImageSize() == Theirs->ImageSize() &&
            Mine->Surface().BitCount == Theirs->Surface().BitCount &&
            Mine->IsBottomUp() == Theirs->IsBottomUp()) {
          std::memcpy(Mine->Bits(), Theirs->Bits(), Mine->ImageSize());
          if (Mine->Surface().BitCount <= 8) Mine->SetColorTable(Theirs->ColorTable());
        } else {
          Other->FreeContext();
          TTempDC From(Other->FHandle), To(Copy);
          BitBlt(To.DC(), 0, 0, FWidth, FHeight, From.DC(), 0, 0, SRCCOPY);
        }
        FHandle = Copy;
      }
    }
    FTransparent = Other->FTransparent;
    FTransparentColor = Other->FTransparentColor;
    FTransparentMode = Other->FTransparentMode;
    Changed(this);
    return;
  }
  if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
    Assign(Picture->Graphic());
    return;
  }
  inherited::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// Drawing.

void TBitmap::Draw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty() || !ACanvas) return;
  HandleNeeded();
  HDC Dest = CanvasHandle(ACanvas);
  TBitmapObject* Object = GdiGetBitmap(FHandle);
  // 5-6-5 images are drawn from a 32-bit copy: the transfers read 16-bit pixels as 5-5-5.
  HBITMAP Copy = nullptr;
  if (Is565(Object)) {
    Copy = CreateSection(FWidth, FHeight, pf32bit, {});
    CopyThroughColors(Object, GdiGetBitmap(Copy), FWidth, FHeight, 0x000000, 0xFFFFFF);
  }
  HDC Source;
  std::unique_ptr<TTempDC> CopyDC;
  if (Copy) {
    CopyDC = std::make_unique<TTempDC>(Copy);
    Source = CopyDC->DC();
  } else {
    Source = CanvasHandle(Canvas());
  }
  const int32_t W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
  if (Transparent()) {
    TransparentBlt(Dest, Rect.left, Rect.top, W, H, Source, 0, 0, FWidth, FHeight, Rgb(TransparentColor()));
  } else {
    // Photographs shrink by sampling; only monochrome images keep the default that preserves
    // thin black lines.
    const bool Sample = !Monochrome();
    const int OldMode = Sample ? SetStretchBltMode(Dest, COLORONCOLOR) : 0;
    StretchBlt(Dest, Rect.left, Rect.top, W, H, Source, 0, 0, FWidth, FHeight, DWORD(ACanvas->CopyMode()));
    if (Sample && OldMode) SetStretchBltMode(Dest, OldMode);
  }
  CopyDC.reset();
  if (Copy) DeleteObject(Copy);
}

// ---------------------------------------------------------------------------------------------
// Files.

void TBitmap::LoadBitmapFile(const uint8_t* Data, size_t Size) {
  const TBitmapFileInfo Info = ParseBitmapFile(Data, Size);
  if (!Info.Direct) {
    imagecodec::TImage Image;
    imagecodec::DecodeBmp(std::span<const uint8_t>(Data, Size), Image);
    const TPixelFormat Format = Image.HasAlpha ? pf32bit : pf24bit;
    if (!(FHandle && FWidth == Image.Width && FHeight == Image.Height && PixelFormat() == Format)) {
      FreeHandle();
      FHandle = CreateSection(Image.Width, Image.Height, Format, {});
      if (!FHandle) throw EOutOfResources("Out of system resources");
      FWidth = Image.Width;
      FHeight = Image.Height;
    }
    FreeMask();
    const TPixelSurface& Surface = GdiGetBitmap(FHandle)->Surface();
    for (int32_t Y = 0; Y < FHeight; ++Y) {
      const uint8_t* From = Image.Pixels.data() + size_t(Y) * size_t(FWidth) * 4;
      uint8_t* To = Surface.Row(Y);
      if (Format == pf32bit) {
        std::memcpy(To, From, size_t(FWidth) * 4);
      } else {
        for (int32_t X = 0; X < FWidth; ++X, From += 4, To += 3)
          To[0] = From[0], To[1] = From[1], To[2] = From[2];
      }
    }
    FPixelFormat = Format;
    return;
  }

  TPixelFormat Format = pf24bit;
  switch (Info.BitCount) {
    case 1:
      Format = pf1bit;
      break;
    case 4:
      Format = pf4bit;
      break;
    case 8:
      Format = pf8bit;
      break;
    case 16:
      Format = Info.Masks[1] == 0x07E0 ? pf16bit : pf15bit;
      break;
    case 32:
      Format = pf32bit;
      break;
    default:
      break;
  }
  // Reuse the section when the file has the size and layout of the current image (frames read
  // one after the other allocate nothing).
  if (!(FHandle && FWidth == Info.Width && FHeight == Info.Height && PixelFormat() == Format &&
        GdiGetBitmap(FHandle)->IsBottomUp())) {
    FreeHandle();
    FHandle = CreateSection(Info.Width, Info.Height, Format, Info.Colors);
    if (!FHandle) throw EOutOfResources("Out of system resources");
    FWidth = Info.Width;
    FHeight = Info.Height;
  }
  FreeMask();
  TBitmapObject* Object = GdiGetBitmap(FHandle);
  if (Format <= pf8bit && Object->ColorTable() != Info.Colors) {
    Object->SetColorTable(Info.Colors);
    if (FPalette) {
      DeleteObject(FPalette);
      FPalette = nullptr;
    }
  }
  const uint8_t* Bits = Data + Info.BitsOffset;
  const size_t Bytes = Info.RowBytes * size_t(FHeight);
  if (!Info.TopDown) {
    std::memcpy(Object->Bits(), Bits, Bytes);
  } else {
    const TPixelSurface& Surface = Object->Surface();
    for (int32_t Y = 0; Y < FHeight; ++Y)
      std::memcpy(Surface.Row(Y), Bits + size_t(Y) * Info.RowBytes, Info.RowBytes);
  }
  FPixelFormat = Format;
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const int64_t Position = Stream.Position();
  const int64_t Remaining = Stream.Size() - Position;
  if (Remaining < 14) throw EInvalidGraphic("Bitmap image is not valid");
  uint8_t Head[14];
  Stream.ReadBuffer(Head, 14);
  const uint32_t FileSize =
      uint32_t(Head[2]) | (uint32_t(Head[3]) << 8) | (uint32_t(Head[4]) << 16) | (uint32_t(Head[5]) << 24);
  // The file header's size when it is plausible, else the rest of the stream.
  const int64_t Total = FileSize > 14 && FileSize <= Remaining ? int64_t(FileSize) : Remaining;
  if (auto* Memory = dynamic_cast<TCustomMemoryStream*>(&Stream)) {
    // Read in place: a frame handed over in memory is not copied first.
    const uint8_t* Data = static_cast<const uint8_t*>(Memory->Memory()) + Position;
    LoadBitmapFile(Data, size_t(Total));
    Stream.SetPosition(Position + Total);
  } else {
    std::vector<uint8_t> Data(static_cast<size_t>(Total));
    std::memcpy(Data.data(), Head, 14);
    Stream.ReadBuffer(Data.data() + 14, int32_t(Total - 14));
    LoadBitmapFile(Data.data(), Data.size());
  }
  FDormant = false;
  FDormantImage.clear();
  Changed(this);
}

void TBitmap::SaveToStream(TStream& Stream) {
  if (Empty()) return;
  HandleNeeded();
  const TBitmapObject* Object = GdiGetBitmap(FHandle);
  const TPixelSurface& Surface = Object->Surface();
  const int32_t Bits = Surface.BitCount;
  uint32_t Compression = BI_RGB;
  uint32_t Masks[3] = {0, 0, 0};
  std::vector<uint32_t> Colors;
  if (Bits == 16 && Is565(Object)) {
    Compression = BI_BITFIELDS;
    Masks[0] = 0xF800, Masks[1] = 0x07E0, Masks[2] = 0x001F;
  } else if (Bits <= 8) {
    Colors = Object->UsesDCColors() ? std::vector<uint32_t>{0x000000, 0xFFFFFF} : Object->ColorTable();
    Colors.resize(size_t(1) << Bits, 0);
  }
  const size_t FileRowBytes = ((size_t(FWidth) * size_t(Bits) + 31) / 32) * 4;
  WriteBitmapFileHeaders(Stream, FWidth, FHeight, Bits, Compression, Masks, Colors,
                         FileRowBytes * size_t(FHeight));
  if (Object->IsDibSection() && Object->IsBottomUp() && size_t(Object->RowBytes()) == FileRowBytes) {
    Stream.WriteBuffer(Object->Bits(), int32_t(Object->ImageSize()));
    return;
  }
  // Device-dependent rows are padded differently and stored top-down: row by row.
  std::vector<uint8_t> Row(FileRowBytes, 0);
  const size_t Used = std::min(FileRowBytes, size_t(Object->RowBytes()));
  for (int32_t Y = FHeight - 1; Y >= 0; --Y) {
    std::memcpy(Row.data(), Surface.Row(Y), Used);
    Stream.WriteBuffer(Row.data(), int32_t(FileRowBytes));
  }
}

void TBitmap::ReadData(TStream& Stream) {
  // Forms hold either the class library's framing (a 32-bit length, then the file) or, for a
  // file referenced from the resources, the file itself.
  const int64_t Start = Stream.Position();
  uint8_t Magic[2] = {0, 0};
  if (Stream.Read(Magic, 2) == 2 && Magic[0] == 'B' && Magic[1] == 'M') {
    Stream.SetPosition(Start);
    LoadFromStream(Stream);
    return;
  }
  Stream.SetPosition(Start);
  int32_t Length = 0;
  Stream.ReadBuffer(&Length, 4);
  if (Length <= 0) {
    Assign(nullptr);
    return;
  }
  if (Length > Stream.Size() - Stream.Position()) throw EInvalidGraphic("Bitmap image is not valid");
  TMemoryStream Image;
  Image.CopyFrom(Stream, Length);
  Image.SetPosition(0);
  LoadFromStream(Image);
}

void TBitmap::WriteData(TStream& Stream) {
  TMemoryStream Image;
  SaveToStream(Image);
  const int32_t Length = int32_t(Image.Size());
  Stream.WriteBuffer(&Length, 4);
  if (Length > 0) Stream.WriteBuffer(Image.Memory(), Length);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
  const auto Data = FindResourceData("glyphs/" + LowerCase(ResName) + ".bmp");
  if (!Data) throw EResNotFound("Resource " + ResName + " not found");
  TMemoryStream Stream;
  Stream.WriteBuffer(Data->data(), int32_t(Data->size()));
  Stream.SetPosition(0);
  LoadFromStream(Stream);
}
