#include "vcontrols/imaging/vcbitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/exceptions.h"
#include "platform/user/paint.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/imaging/pixeleffects.h"

KORCAM_REGISTER_CLASS(TvcBitmap)

namespace {

// A screen device context for the duration of a conversion.
class TScreenDC {
 public:
  TScreenDC() : FDC(GetDC(nullptr)) {}
  ~TScreenDC() { ReleaseDC(nullptr, FDC); }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};

TPixelFormat FormatOfBitCount(int BitCount) {
  switch (BitCount) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    case 32:
      return pf32bit;
    default:
      return pfCustom;
  }
}

}  // namespace

TvcBitmap::TvcBitmap() : FCanvas(std::make_unique<TCanvas>()) {
  // Drawing on the bitmap's canvas changes its pixels (see PixelsFromSource).
  FCanvas->OnChange = TNotifyEvent(this, &TvcBitmap::CanvasChanged);
}

TvcBitmap::~TvcBitmap() {
  FLinks.clear();
  FreeStoredBits();
  ClearImage();
  FCanvas->OnChange = TNotifyEvent();
}

// --- image life -------------------------------------------------------------------------------

void TvcBitmap::ClearImage() {
  FCanvas->SetHandle(nullptr);
  if (FMemoryDC) {
    SelectObject(FMemoryDC, FPreviousBitmap);
    DeleteDC(FMemoryDC);
    FMemoryDC = nullptr;
    FPreviousBitmap = nullptr;
  }
  if (FDibHandle) {
    DeleteObject(FDibHandle);
    FDibHandle = nullptr;
  }
  FRowStarts.clear();
  FMask.reset();
  FWidth = FHeight = 0;
  FRowPad = FRowSize = FImageSize = 0;
  FPixelData = nullptr;
  FPixelsFromSource = false;
}

void TvcBitmap::Clear() {
  ClearImage();
}

void TvcBitmap::FillDibHeader() {
  FDibHeader = BITMAPINFOHEADER{};
  FDibHeader.biSize = sizeof(BITMAPINFOHEADER);
  FDibHeader.biWidth = FWidth;
  FDibHeader.biHeight = -FHeight;
  FDibHeader.biPlanes = 1;
  FDibHeader.biBitCount = 24;
  FDibHeader.biCompression = BI_RGB;
}

bool TvcBitmap::MakeSection() {
  FDibInfo = BITMAPINFO{};
  FDibInfo.bmiHeader = FDibHeader;
  void* bits = nullptr;
  FDibHandle = FWidth > 0 && FHeight > 0
                   ? CreateDIBSection(nullptr, &FDibInfo, DIB_RGB_COLORS, &bits, nullptr, 0)
                   : nullptr;
  FPixelData = FDibHandle ? static_cast<uint8_t*>(bits) : nullptr;
  return FDibHandle != nullptr;
}

void TvcBitmap::SetupRows() {
  if (!FDibHandle) {
    ClearImage();
  } else {
    FRowPad = FWidth % 4;
    FRowSize = vcRowSize(FWidth);
    FImageSize = FRowSize * FHeight;
    FRowStarts.resize(size_t(FHeight));
    for (int32_t y = 0; y < FHeight; ++y) FRowStarts[size_t(y)] = FPixelData + size_t(y) * size_t(FRowSize);
    FMemoryDC = CreateCompatibleDC(nullptr);
    FPreviousBitmap = SelectObject(FMemoryDC, FDibHandle);
    FCanvas->SetHandle(FMemoryDC);
  }
  Changed(this);
}

void TvcBitmap::CreateDib(int32_t AWidth, int32_t AHeight) {
  ClearImage();
  if (AWidth <= 0 || AHeight <= 0) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FillDibHeader();
  MakeSection();
  SetupRows();
  if (Empty()) return;
  FCanvas->Brush()->SetColor(TColor(0xFFFFFF));
  FCanvas->FillRect(RECT{0, 0, FWidth, FHeight});
}

void TvcBitmap::EnsureSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  CreateDib(AWidth, AHeight);
}

void TvcBitmap::SetWidth(int32_t Value) {
  EnsureSize(Value, FHeight);
}

void TvcBitmap::SetHeight(int32_t Value) {
  EnsureSize(FWidth, Value);
}

void TvcBitmap::StretchResize(int32_t AWidth, int32_t AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  TvcBitmap copy;
  copy.Assign(this);
  CreateDib(AWidth, AHeight);
  if (!Empty()) FCanvas->StretchDraw(RECT{0, 0, FWidth, FHeight}, &copy);
}

namespace {

// The pixels of a 24- or 32-bit DIB section row by row, as GetDIBits would convert them to
// 24 bits (the fourth byte of 32-bit pixels dropped); false for any other kind of bitmap.
bool CopyDirectColorRows(TBitmap* Source, uint8_t* Pixels, int32_t RowSize) {
  if (Source->HandleType() != bmDIB) return false;
  const TPixelFormat format = Source->PixelFormat();
  if (format != pf24bit && format != pf32bit) return false;
  const int32_t width = Source->Width();
  for (int32_t y = 0; y < Source->Height(); ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(Source->ScanLine(y));
    uint8_t* target = Pixels + size_t(y) * size_t(RowSize);
    if (format == pf24bit) {
      std::memcpy(target, row, size_t(width) * 3);
    } else {
      for (int32_t x = 0; x < width; ++x) {
        target[3 * x] = row[4 * x];
        target[3 * x + 1] = row[4 * x + 1];
        target[3 * x + 2] = row[4 * x + 2];
      }
    }
  }
  return true;
}

}  // namespace

void TvcBitmap::LoadFromBitmap(TBitmap* Source) {
  if (!Empty() && Source->Width() == FWidth && Source->Height() == FHeight) {
    // A picture of the same size (the next frame of a video) goes into the section the bitmap
    // already has: the image is replaced all the same, without a new frame-sized allocation.
    FMask.reset();
    if (!CopyDirectColorRows(Source, FPixelData, FRowSize)) {
      TScreenDC screen;
      GetDIBits(screen, Source->Handle(), 0, UINT(FHeight), FPixelData, &FDibInfo, DIB_RGB_COLORS);
    }
    Changed(this);
  } else {
    ClearImage();
    FWidth = Source->Width();
    FHeight = Source->Height();
    FImageSize = vcRowSize(FWidth) * FHeight;
    FillDibHeader();
    if (MakeSection() && !CopyDirectColorRows(Source, FPixelData, vcRowSize(FWidth))) {
      TScreenDC screen;
      GetDIBits(screen, Source->Handle(), 0, UINT(FHeight), FPixelData, &FDibInfo, DIB_RGB_COLORS);
    }
    SetupRows();
    if (Empty()) return;
  }

  BITMAP info{};
  GetObject(Source->Handle(), sizeof(info), &info);
  {
    TScreenDC screen;
    FSourceTraits[1] =
        GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) < info.bmPlanes * info.bmBitsPixel;
  }
  FSourcePixelFormat = Source->PixelFormat();
  if (FSourcePixelFormat == pfCustom) FSourcePixelFormat = FormatOfBitCount(info.bmBitsPixel);
  FSourceColorTable.fill(RGBQUAD{});
  // Reading the colour table is no change of the source: its change event (a picture's, whose
  // handler may run the image pipeline again) must not fire.
  FSourceTraits[0] = GetDIBColorTable(CanvasHandle(Source->Canvas()), 0, 256, FSourceColorTable.data()) != 0;
  FPixelsFromSource = true;
}

void TvcBitmap::ImportGraphic(TGraphic* Source) {
  TBitmap bitmap;
  bitmap.SetSize(Source->Width(), Source->Height());
  bitmap.Canvas()->Draw(0, 0, Source);
  LoadFromBitmap(&bitmap);
}

void TvcBitmap::LoadFromGraphic(TGraphic* Source) {
  ImportGraphic(Source);
}

void TvcBitmap::LoadFromDibBits(const void* Bits, int32_t ByteCount, POINT Extent) {
  ClearImage();
  FWidth = Extent.x;
  FHeight = Extent.y;
  FImageSize = ByteCount;
  FillDibHeader();
  if (MakeSection()) {
    // Through a bitmap compatible with the screen, as the pixels were stored.
    TScreenDC screen;
    HBITMAP compatible = CreateDIBitmap(screen, &FDibHeader, CBM_INIT, Bits, &FDibInfo, DIB_RGB_COLORS);
    if (compatible) {
      GetDIBits(screen, compatible, 0, UINT(FHeight), FPixelData, &FDibInfo, DIB_RGB_COLORS);
      DeleteObject(compatible);
    }
  }
  SetupRows();
}

void TvcBitmap::StoreBits() {
  FreeStoredBits();
  if (Empty()) return;
  FStoredPixels.assign(FPixelData, FPixelData + FImageSize);
  FStoredSize = FImageSize;
  FStoredExtent = POINT{FWidth, FHeight};
  const bool fromSource = FPixelsFromSource;
  ClearImage();
  FPixelsFromSource = fromSource;
}

void TvcBitmap::RestoreBits() {
  if (!HasStoredBits()) return;
  const bool fromSource = FPixelsFromSource;
  LoadFromDibBits(FStoredPixels.data(), FStoredSize, FStoredExtent);
  FPixelsFromSource = fromSource && !Empty();
  FreeStoredBits();
}

void TvcBitmap::FreeStoredBits() {
  FStoredPixels = {};
  FStoredExtent = POINT{0, 0};
  FStoredSize = 0;
}

// --- assignment -------------------------------------------------------------------------------

void TvcBitmap::Assign(TPersistent* Source) {
  TBitmap* bitmap = dynamic_cast<TBitmap*>(Source);
  if (bitmap && !bitmap->Empty()) {
    FSourcePixelFormat = bitmap->PixelFormat();
    LoadFromBitmap(bitmap);
    SetTransparent(bitmap->Transparent());
    return;
  }
  if (!Source || bitmap) {
    ClearImage();
    Changed(this);
    return;
  }
  TGraphic* graphic = dynamic_cast<TGraphic*>(Source);
  if (!graphic || dynamic_cast<TvcBitmap*>(Source)) {
    TGraphic::Assign(Source);
    return;
  }
  LoadFromGraphic(graphic);
}

void TvcBitmap::AssignTo(TPersistent* Dest) {
  if (TBitmap* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    bitmap->SetPixelFormat(FPixelsFromSource ? FSourcePixelFormat : pf24bit);
    AssignToBitmap(bitmap);
    bitmap->SetTransparent(Transparent());
    bitmap->SetTransparentColor(FTransparentColor);
    return;
  }
  if (TvcBitmap* target = dynamic_cast<TvcBitmap*>(Dest)) {
    if (Empty()) {
      target->ClearImage();
    } else {
      target->FSuppressChange = true;
      try {
        target->FRespectPalette = FRespectPalette;
        target->FHalftonePalette = FHalftonePalette;
        target->CreateDib(FWidth, FHeight);
        if (!target->Empty()) std::memcpy(target->FPixelData, FPixelData, size_t(FImageSize));
        target->SetTransparent(Transparent());
        target->FSmoothStretching = FSmoothStretching;
        target->FTransparentColor = FTransparentColor;
        target->FSourcePixelFormat = FSourcePixelFormat;
        target->FSourceColorTable = FSourceColorTable;
        target->FSourceTraits = FSourceTraits;
        target->FPixelsFromSource = FPixelsFromSource && !target->Empty();
      } catch (...) {
        target->FSuppressChange = false;
        throw;
      }
      target->FSuppressChange = false;
    }
    target->Changed(target);
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TvcBitmap::AssignToBitmap(TBitmap* Target) {
  Target->SetPixelFormat(FPixelsFromSource ? FSourcePixelFormat : pf24bit);
  Target->SetSize(FWidth, FHeight);
  if (Target->Empty()) return;
  if (FPixelsFromSource) SetDIBColorTable(Target->Canvas()->Handle(), 0, 256, FSourceColorTable.data());
  // Drawn opaque: a transparent bitmap is copied pixel for pixel.
  FDrawingForCopy = true;
  try {
    Target->Canvas()->Draw(0, 0, this);
  } catch (...) {
    FDrawingForCopy = false;
    throw;
  }
  FDrawingForCopy = false;
}

void TvcBitmap::LoadFromStream(TStream& Stream) {
  TBitmap bitmap;
  bitmap.LoadFromStream(Stream);
  LoadFromBitmap(&bitmap);
}

void TvcBitmap::SaveToStream(TStream& Stream) {
  TBitmap bitmap;
  AssignToBitmap(&bitmap);
  bitmap.SaveToStream(Stream);
}

// --- notification -----------------------------------------------------------------------------

void TvcBitmap::Changed(TObject* Sender) {
  if (FSuppressChange) return;
  TGraphic::Changed(Sender);
  NotifyLinks();
}

void TvcBitmap::NotifyLinks() {
  // A handler may register or unregister links: walk a copy.
  const std::vector<TvcChangeLink*> links = FLinks;
  for (TvcChangeLink* link : links) {
    link->SenderObject = this;
    link->Change();
  }
}

void TvcBitmap::RegisterLink(TvcChangeLink* Link) {
  FLinks.push_back(Link);
}

void TvcBitmap::UnregisterLink(TvcChangeLink* Link) {
  const auto found = std::find(FLinks.begin(), FLinks.end(), Link);
  if (found != FLinks.end()) FLinks.erase(found);
}

// --- palettes ---------------------------------------------------------------------------------

bool TvcBitmap::PaletteDisplay() const {
  return FMemoryDC && (FRespectPalette || FHalftonePalette) && GetDeviceCaps(FMemoryDC, BITSPIXEL) <= 8;
}

void TvcBitmap::BuildPalette() {
  if (FPaletteHandle) return;
  if (FSourceTraits[0]) {
    std::vector<uint8_t> memory(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD& entry = FSourceColorTable[size_t(i)];
      palette->palPalEntry[i] = PALETTEENTRY{entry.rgbRed, entry.rgbGreen, entry.rgbBlue, 0};
    }
    FPaletteHandle = CreatePalette(palette);
  } else if (FSourceTraits[1]) {
    TScreenDC screen;
    FPaletteHandle = CreateHalftonePalette(screen);
  }
}

HPALETTE TvcBitmap::BeginPaletteDraw(TCanvas* ACanvas) {
  if (!PaletteDisplay()) return nullptr;
  if (FRespectPalette) {
    BuildPalette();
  } else {
    TScreenDC screen;
    FPaletteHandle = CreateHalftonePalette(screen);
  }
  if (!FPaletteHandle) return nullptr;
  HDC dc = CanvasHandle(ACanvas);
  HPALETTE previous = SelectPalette(dc, FPaletteHandle, TRUE);
  RealizePalette(dc);
  return previous;
}

void TvcBitmap::EndPaletteDraw(TCanvas* ACanvas, HPALETTE Previous) {
  if (!PaletteDisplay()) return;
  if (Previous) SelectPalette(CanvasHandle(ACanvas), Previous, TRUE);
  if (FPaletteHandle) {
    DeleteObject(FPaletteHandle);
    FPaletteHandle = nullptr;
  }
}

// --- pixel operations -------------------------------------------------------------------------

TvcRasterTarget TvcBitmap::Target() {
  return TvcRasterTarget(Raster(), FWorkspace, FTransparentColor, vcSharedRandom());
}

void TvcBitmap::ApplyBlurPass(int32_t Distance) {
  vcfx::ApplyBlurPass(Raster(), Distance, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyContrast(int32_t Amount) {
  vcfx::ApplyContrast(Raster(), Amount, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyEmboss() {
  vcfx::ApplyEmboss(Raster(), FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyFlip(bool Horizontal) {
  vcfx::ApplyFlip(Raster(), Horizontal, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyGaussianBlur(int32_t Amount) {
  vcfx::ApplyGaussianBlur(Raster(), Amount, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyGrayScale() {
  vcfx::ApplyGrayScale(Raster(), FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyInvert() {
  vcfx::ApplyInvert(Raster(), FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyLightness(int32_t Amount) {
  vcfx::ApplyLightness(Raster(), Amount, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::MakeMask(const TvcPixel& Key) {
  vcfx::MakeMask(Raster(), Key);
  PixelsChanged();
}

void TvcBitmap::ReplaceColor(const TvcPixel& OldPixel, const TvcPixel& NewPixel) {
  vcfx::ReplaceColor(Raster(), OldPixel, NewPixel);
  PixelsChanged();
}

void TvcBitmap::ApplyTint(int32_t Red, int32_t Green, int32_t Blue) {
  vcfx::ApplyTint(Raster(), Red, Green, Blue, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyColor(int32_t Red, int32_t Green, int32_t Blue) {
  Target().ApplyColor(Red, Green, Blue);
  PixelsChanged();
}

void TvcBitmap::ApplyRotation(POINT Center, long double Angle) {
  vcfx::ApplyRotation(Raster(), Center.x, Center.y, Angle, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplySaturation(int32_t Amount) {
  vcfx::ApplySaturation(Raster(), Amount, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplySharpen(int32_t Distance) {
  vcfx::ApplySharpen(Raster(), Distance, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplySponge(int32_t Amount) {
  vcfx::ApplySponge(Raster(), Amount, vcSharedRandom(), FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyWave(bool Wrap, long double XDiv, long double YDiv, long double Ratio) {
  vcfx::ApplyWave(Raster(), Wrap, XDiv, YDiv, Ratio, FWorkspace.Scratch);
  PixelsChanged();
}

void TvcBitmap::ApplyAlphaBlend(const TvcBitmap* Blend, int32_t Amount, bool StretchAllowed) {
  if (Empty() || !Blend || Blend->Empty()) return;
  // The stretch draws the blend bitmap opaque with its own smoothing (the same pixels as its
  // bilinear or plain stretch); the stretched copy is cached between frames.
  const TvcBlendSource source{Blend->Raster(), Blend->Transparent(), Blend->SmoothStretching()};
  Target().ApplyAlphaBlend(&source, Amount, StretchAllowed);
  PixelsChanged();
}
