#include "kvcontrols/editors/kvbitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/rop.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/paint.h"

KORCAM_REGISTER_CLASS(TkvChangeLink)
KORCAM_REGISTER_CLASS(TkvBitmap)

namespace {

// A screen device context for the duration of one operation.
class TScreenContext {
 public:
  TScreenContext() : FDC(GetDC(nullptr)) {}
  ~TScreenContext() { ReleaseDC(nullptr, FDC); }
  TScreenContext(const TScreenContext&) = delete;
  TScreenContext& operator=(const TScreenContext&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};

int ScreenBitsPerPixel() {
  TScreenContext Screen;
  return GetDeviceCaps(Screen, BITSPIXEL);
}

uint8_t Clamp(int Value) {
  return static_cast<uint8_t>(std::clamp(Value, 0, 255));
}

struct TRgb {
  uint8_t R, G, B;
};

TRgb ToRgb(TColor Color) {
  const int32_t Value = ColorToRGB(Color);
  return TRgb{uint8_t(Value & 0xFF), uint8_t((Value >> 8) & 0xFF), uint8_t((Value >> 16) & 0xFF)};
}

bool PixelIs(const uint8_t* Pixel, TRgb Color) {
  return Pixel[0] == Color.B && Pixel[1] == Color.G && Pixel[2] == Color.R;
}

TPixelFormat FormatOfBitCount(int BitCount) {
  switch (BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

int BitCountOfFormat(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
  }
}

// The sponge's random source: one generator for the program, seeded once, so a run can be
// repeated by the tests that need it.
std::minstd_rand& SpongeRandom() {
  static std::minstd_rand Generator(0x6B76);
  return Generator;
}

int RandomBelow(int Limit) {
  if (Limit <= 0) return 0;
  return std::uniform_int_distribution<int>(0, Limit - 1)(SpongeRandom());
}

}  // namespace

void TkvChangeLink::Changed() {
  OnChange(Sender);
}

TkvBitmap::TkvBitmap() : FCanvas(std::make_unique<TCanvas>()) {}

TkvBitmap::~TkvBitmap() {
  FLinks.clear();
  FreeStoredBits();
  ClearImage();
  FreePalette();
}

// --- image life -------------------------------------------------------------------------------

void TkvBitmap::ClearImage() {
  FCanvas->SetHandle(nullptr);
  if (FMemoryDC) {
    SelectObject(FMemoryDC, FOldBitmap);
    DeleteDC(FMemoryDC);
  }
  if (FHandle) DeleteObject(FHandle);
  FMemoryDC = nullptr;
  FOldBitmap = nullptr;
  FHandle = nullptr;
  FBits = nullptr;
  FRows.clear();
  FMask.reset();
  FWidth = FHeight = 0;
  FRowSize = FRowGap = FImageSize = 0;
}

void TkvBitmap::Clear() {
  ClearImage();
}

bool TkvBitmap::MakeSection(int32_t AWidth, int32_t AHeight) {
  FInfo = BITMAPINFO{};
  FInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  FInfo.bmiHeader.biWidth = AWidth;
  FInfo.bmiHeader.biHeight = -AHeight;  // negative: row 0 is the top row
  FInfo.bmiHeader.biPlanes = 1;
  FInfo.bmiHeader.biBitCount = 24;
  FInfo.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  FHandle = AWidth > 0 && AHeight > 0 ? CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &Bits, nullptr, 0)
                                      : nullptr;
  FBits = FHandle ? static_cast<uint8_t*>(Bits) : nullptr;
  FWidth = FHandle ? AWidth : 0;
  FHeight = FHandle ? AHeight : 0;
  return FHandle != nullptr;
}

void TkvBitmap::SetupRows() {
  if (!FHandle) {
    ClearImage();
  } else {
    FRowGap = FWidth % 4;
    FRowSize = FWidth * 3 + FRowGap;
    FImageSize = FRowSize * FHeight;
    FRows.resize(size_t(FHeight));
    for (int32_t Row = 0; Row < FHeight; ++Row) FRows[size_t(Row)] = FBits + size_t(Row) * size_t(FRowSize);
    FMemoryDC = CreateCompatibleDC(nullptr);
    FOldBitmap = SelectObject(FMemoryDC, FHandle);
    FCanvas->SetHandle(FMemoryDC);
  }
  Changed(this);
}

void TkvBitmap::CreateDib(int32_t AWidth, int32_t AHeight) {
  ClearImage();
  if (AWidth == 0 || AHeight == 0) return;
  if (!MakeSection(AWidth, AHeight)) return;
  SetupRows();
  if (FBits) std::memset(FBits, 0xFF, size_t(FImageSize));
}

void TkvBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  CreateDib(AWidth, AHeight);
}

void TkvBitmap::SetWidth(int32_t Value) {
  SetSize(Value, FHeight);
}

void TkvBitmap::SetHeight(int32_t Value) {
  SetSize(FWidth, Value);
}

void TkvBitmap::StretchResize(int32_t AWidth, int32_t AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  TkvBitmap Copy;
  Copy.Assign(this);
  CreateDib(AWidth, AHeight);
  if (!Empty()) Copy.Draw(FCanvas.get(), RECT{0, 0, FWidth, FHeight});
  Changed(this);
}

void TkvBitmap::LoadFromBitmap(TBitmap* Bitmap) {
  ClearImage();
  if (!Bitmap || Bitmap->Empty()) {
    Changed(this);
    return;
  }
  TPixelFormat SourceFormat = Bitmap->PixelFormat();
  HBITMAP Source = Bitmap->Handle();
  BITMAP Info{};
  GetObject(Source, sizeof(Info), &Info);
  const int SourceBits = Info.bmBitsPixel * std::max<int>(Info.bmPlanes, 1);
  if (SourceFormat == pfCustom || SourceFormat == pfDevice) SourceFormat = FormatOfBitCount(SourceBits);
  if (!MakeSection(Bitmap->Width(), Bitmap->Height())) {
    Changed(this);
    return;
  }
  {
    TScreenContext Screen;
    GetDIBits(Screen, Source, 0, UINT(FHeight), FBits, &FInfo, DIB_RGB_COLORS);
    FDeeperThanScreen = SourceBits > GetDeviceCaps(Screen, BITSPIXEL);
    // The colour table of an indexed source, read through a header of its own depth.
    FHasColorTable = false;
    if (SourceBits <= 8) {
      struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
      } Table{};
      Table.Header.biSize = sizeof(BITMAPINFOHEADER);
      Table.Header.biWidth = FWidth;
      Table.Header.biHeight = FHeight;
      Table.Header.biPlanes = 1;
      Table.Header.biBitCount = WORD(SourceBits);
      if (GetDIBits(Screen, Source, 0, UINT(FHeight), nullptr, reinterpret_cast<BITMAPINFO*>(&Table),
                    DIB_RGB_COLORS)) {
        const int Count = std::min(256, 1 << SourceBits);
        for (int Index = 0; Index < Count; ++Index) FColorTable[size_t(Index)] = Table.Colors[Index];
        FHasColorTable = true;
      }
    }
  }
  FPixelFormat = SourceFormat;
  SetupRows();
}

void TkvBitmap::LoadFromGraphic(TGraphic* Graphic) {
  TBitmap Work;
  Work.SetSize(Graphic->Width(), Graphic->Height());
  Work.Canvas()->Draw(0, 0, Graphic);
  LoadFromBitmap(&Work);
}

void TkvBitmap::AssignGraphic(TGraphic* Source) {
  TBitmap Work;
  Work.Assign(Source);
  LoadFromBitmap(&Work);
}

void TkvBitmap::LoadFromDibBits(const void* Bits, int32_t ByteCount, POINT Dimensions) {
  ClearImage();
  if (!MakeSection(Dimensions.x, Dimensions.y)) {
    Changed(this);
    return;
  }
  const int32_t RowBytes = FWidth * 3 + FWidth % 4;
  const size_t Count = std::min<size_t>(size_t(std::max(ByteCount, 0)), size_t(RowBytes) * size_t(FHeight));
  std::memcpy(FBits, Bits, Count);
  SetupRows();
}

void TkvBitmap::AssignToBitmap(TBitmap* Bitmap) {
  Bitmap->SetPixelFormat(FPixelFormat == pfCustom ? pf24bit : FPixelFormat);
  Bitmap->SetSize(FWidth, FHeight);
  if (FHasColorTable && FPixelFormat <= pf8bit && FPixelFormat != pfDevice) {
    std::vector<PALETTEENTRY> Entries;
    const int Count = 1 << BitCountOfFormat(FPixelFormat);
    for (int Index = 0; Index < Count; ++Index) {
      const RGBQUAD& Quad = FColorTable[size_t(Index)];
      Entries.push_back(PALETTEENTRY{Quad.rgbRed, Quad.rgbGreen, Quad.rgbBlue, 0});
    }
    std::vector<uint8_t> Buffer(sizeof(LOGPALETTE) + Entries.size() * sizeof(PALETTEENTRY));
    auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = WORD(Entries.size());
    std::memcpy(Log->palPalEntry, Entries.data(), Entries.size() * sizeof(PALETTEENTRY));
    Bitmap->SetPalette(CreatePalette(Log));
  }
  FAssigning = true;
  try {
    Draw(Bitmap->Canvas(), RECT{0, 0, FWidth, FHeight});
  } catch (...) {
    FAssigning = false;
    throw;
  }
  FAssigning = false;
}

void TkvBitmap::StoreBits() {
  FreeStoredBits();
  if (Empty()) return;
  FStoredBits.assign(FBits, FBits + FImageSize);
  FStoredWidth = FWidth;
  FStoredHeight = FHeight;
  ClearImage();
}

void TkvBitmap::RestoreBits() {
  if (FStoredBits.empty()) return;
  const std::vector<uint8_t> Stored = std::move(FStoredBits);
  const POINT Dimensions{FStoredWidth, FStoredHeight};
  FreeStoredBits();
  LoadFromDibBits(Stored.data(), int32_t(Stored.size()), Dimensions);
}

void TkvBitmap::FreeStoredBits() {
  FStoredBits.clear();
  FStoredBits.shrink_to_fit();
  FStoredWidth = FStoredHeight = 0;
}

// --- streams, assignment, change notices -----------------------------------------------------

void TkvBitmap::LoadFromStream(TStream& Stream) {
  TBitmap Work;
  Work.LoadFromStream(Stream);
  LoadFromBitmap(&Work);
}

void TkvBitmap::SaveToStream(TStream& Stream) {
  TBitmap Work;
  AssignToBitmap(&Work);
  Work.SaveToStream(Stream);
}

void TkvBitmap::Assign(TPersistent* Source) {
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Source); Source == nullptr || (Bitmap && Bitmap->Empty())) {
    Clear();
    Changed(this);
  } else if (Bitmap) {
    FPixelFormat = Bitmap->PixelFormat();
    LoadFromBitmap(Bitmap);
    SetTransparent(Bitmap->Transparent());
  } else if (auto* Graphic = dynamic_cast<TGraphic*>(Source); Graphic && !dynamic_cast<TkvBitmap*>(Source)) {
    AssignGraphic(Graphic);
  } else {
    TGraphic::Assign(Source);
  }
}

void TkvBitmap::AssignTo(TPersistent* Dest) {
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
    Bitmap->SetPixelFormat(FPixelFormat == pfCustom ? pf24bit : FPixelFormat);
    AssignToBitmap(Bitmap);
    Bitmap->SetTransparent(Transparent());
    Bitmap->SetTransparentColor(FTransparentColor);
  } else if (auto* Target = dynamic_cast<TkvBitmap*>(Dest)) {
    if (Empty()) {
      Target->Clear();
      Target->Changed(Target);
      return;
    }
    Target->FIgnoreChange = true;
    Target->FRespectPalette = FRespectPalette;
    Target->FUseHalftonePalette = FUseHalftonePalette;
    Target->ClearImage();
    if (Target->MakeSection(FWidth, FHeight)) {
      Target->SetupRows();
      std::memcpy(Target->FBits, FBits, size_t(FImageSize));
    }
    Target->SetTransparent(Transparent());
    Target->FSmoothStretching = FSmoothStretching;
    Target->FTransparentColor = FTransparentColor;
    Target->FPixelFormat = FPixelFormat;
    Target->FColorTable = FColorTable;
    Target->FHasColorTable = FHasColorTable;
    Target->FDeeperThanScreen = FDeeperThanScreen;
    Target->FIgnoreChange = false;
    Target->Changed(Target);
  } else {
    TGraphic::AssignTo(Dest);
  }
}

void TkvBitmap::Changed(TObject* Sender) {
  if (FIgnoreChange) return;
  FMask.reset();
  TGraphic::Changed(Sender);
  NotifyLinks();
}

void TkvBitmap::NotifyLinks() {
  const std::vector<TkvChangeLink*> Links = FLinks;  // a link may unregister itself
  for (TkvChangeLink* Link : Links) {
    Link->Sender = this;
    Link->Changed();
  }
}

void TkvBitmap::RegisterLink(TkvChangeLink* Link) {
  FLinks.push_back(Link);
}

void TkvBitmap::UnregisterLink(TkvChangeLink* Link) {
  auto Found = std::find(FLinks.begin(), FLinks.end(), Link);
  if (Found != FLinks.end()) FLinks.erase(Found);
}

// --- palettes ----------------------------------------------------------------------------------

void TkvBitmap::FreePalette() {
  if (FPalette) DeleteObject(FPalette);
  FPalette = nullptr;
}

void TkvBitmap::BuildPalette() {
  if (!FPalette && FHasColorTable) {
    std::vector<uint8_t> Buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = 256;
    for (size_t Index = 0; Index < 256; ++Index) {
      // The colour table stores blue first; a palette entry starts with red.
      const RGBQUAD& Quad = FColorTable[Index];
      Log->palPalEntry[Index] = PALETTEENTRY{Quad.rgbRed, Quad.rgbGreen, Quad.rgbBlue, 0};
    }
    FPalette = CreatePalette(Log);
  } else if (!FPalette && FDeeperThanScreen) {
    TScreenContext Screen;
    FPalette = CreateHalftonePalette(Screen);
  }
}

void TkvBitmap::BeginPaletteDraw(TCanvas* ACanvas, HPALETTE& OldPalette) {
  OldPalette = nullptr;
  if (ScreenBitsPerPixel() > 8) return;
  if (FRespectPalette) {
    BuildPalette();
  } else if (FUseHalftonePalette && !FPalette) {
    TScreenContext Screen;
    FPalette = CreateHalftonePalette(Screen);
  }
  if (!FPalette) return;
  HDC DC = CanvasHandle(ACanvas);
  OldPalette = SelectPalette(DC, FPalette, TRUE);
  RealizePalette(DC);
}

void TkvBitmap::EndPaletteDraw(TCanvas* ACanvas, HPALETTE OldPalette) {
  if (ScreenBitsPerPixel() > 8 || !(FRespectPalette || FUseHalftonePalette)) return;
  if (OldPalette) SelectPalette(CanvasHandle(ACanvas), OldPalette, TRUE);
  FreePalette();
}

// --- drawing -----------------------------------------------------------------------------------

void TkvBitmap::Draw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty()) return;
  HPALETTE OldPalette = nullptr;
  if (!FSkipPalette) BeginPaletteDraw(ACanvas, OldPalette);
  if (Rect.right - Rect.left == FWidth && Rect.bottom - Rect.top == FHeight) {
    if (Transparent() && !FAssigning)
      TransparentDraw(ACanvas, Rect);
    else
      BitBlt(CanvasHandle(ACanvas), Rect.left, Rect.top, FWidth, FHeight, FMemoryDC, 0, 0, SRCCOPY);
  } else if (FSmoothStretching) {
    SmoothStretchDraw(ACanvas, Rect);
  } else {
    FastStretchDraw(ACanvas, Rect);
  }
  if (!FSkipPalette) EndPaletteDraw(ACanvas, OldPalette);
}

TColor TkvBitmap::EffectiveTransparentColor() const {
  if (FTransparentColor != clNone) return FTransparentColor;
  return PixelColor(0, 0);
}

void TkvBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FMask.reset();
}

TBitmap* TkvBitmap::GetMask() {
  if (!FMask && !Empty()) {
    TkvBitmap Copy;
    Copy.Assign(this);
    Copy.MakeMask(EffectiveTransparentColor());
    auto Mask = std::make_unique<TBitmap>();
    Mask->Assign(&Copy);
    Mask->SetMonochrome(true);
    FMask = std::move(Mask);
  }
  return FMask.get();
}

// The image goes onto the target in three steps: XOR the image in, clear the opaque pixels
// (destination AND NOT mask, the mask white where the image is opaque), XOR the image again, so
// the opaque pixels end up as the image and the transparent ones as the target was.
void TkvBitmap::DrawThroughMask(TCanvas* ACanvas, const RECT& Rect, TBitmap* Image, bool WorkInCopy,
                                TBitmap* Mask) {
  constexpr DWORD DestinationAndNotSource = 0x220326;
  const int Width = Rect.right - Rect.left;
  const int Height = Rect.bottom - Rect.top;
  HDC Target = CanvasHandle(ACanvas);
  const COLORREF OldBackground = SetBkColor(Target, 0xFFFFFF);
  const COLORREF OldText = SetTextColor(Target, 0x000000);
  std::unique_ptr<TBitmap> Work;
  HDC WorkDC = Target;
  int X = Rect.left, Y = Rect.top;
  if (WorkInCopy) {
    Work = std::make_unique<TBitmap>();
    Work->SetPixelFormat(pf24bit);
    Work->SetSize(Width, Height);
    WorkDC = CanvasHandle(Work->Canvas());
    BitBlt(WorkDC, 0, 0, Width, Height, Target, Rect.left, Rect.top, SRCCOPY);
    SetBkColor(WorkDC, 0xFFFFFF);
    SetTextColor(WorkDC, 0x000000);
    X = Y = 0;
  }
  HDC ImageDC = CanvasHandle(Image->Canvas());
  HDC MaskDC = CanvasHandle(Mask->Canvas());
  BitBlt(WorkDC, X, Y, Width, Height, ImageDC, 0, 0, SRCINVERT);
  BitBlt(WorkDC, X, Y, Width, Height, MaskDC, 0, 0, DestinationAndNotSource);
  BitBlt(WorkDC, X, Y, Width, Height, ImageDC, 0, 0, SRCINVERT);
  if (WorkInCopy) BitBlt(Target, Rect.left, Rect.top, Width, Height, WorkDC, 0, 0, SRCCOPY);
  SetBkColor(Target, OldBackground);
  SetTextColor(Target, OldText);
}

void TkvBitmap::TransparentDraw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty()) return;
  TBitmap Image;
  Image.SetPixelFormat(pf24bit);
  Image.SetSize(FWidth, FHeight);
  BitBlt(CanvasHandle(Image.Canvas()), 0, 0, FWidth, FHeight, FMemoryDC, 0, 0, SRCCOPY);
  DrawThroughMask(ACanvas, RECT{Rect.left, Rect.top, Rect.left + FWidth, Rect.top + FHeight}, &Image, true,
                  GetMask());
}

// Bilinear stretch in 15-bit fixed point; each weight is reduced to 15 bits before it scales a
// pixel, so the sums stay inside 32 bits.
void TkvBitmap::SmoothStretchDraw(TCanvas* ACanvas, const RECT& Rect) {
  const int TargetWidth = Rect.right - Rect.left;
  const int TargetHeight = Rect.bottom - Rect.top;
  if (Empty() || TargetWidth <= 0 || TargetHeight <= 0) return;
  TkvBitmap Work;
  Work.SetSize(TargetWidth, TargetHeight);
  if (TargetWidth == FWidth && TargetHeight == FHeight) {
    std::memcpy(Work.FBits, FBits, size_t(FImageSize));
  } else {
    const int64_t StepX = (int64_t(FWidth - 1) << 15) / TargetWidth;
    const int64_t StepY = (int64_t(FHeight - 1) << 15) / TargetHeight;
    int64_t PosY = 0;
    for (int Y = 0; Y < TargetHeight; ++Y, PosY += StepY) {
      const int Row = int(PosY >> 15);
      const int NextRow = std::min(Row + 1, FHeight - 1);
      const int64_t FracY = PosY & 0x7FFF;
      const uint8_t* Top = FRows[size_t(Row)];
      const uint8_t* Bottom = FRows[size_t(NextRow)];
      uint8_t* Out = Work.FRows[size_t(Y)];
      int64_t PosX = 0;
      for (int X = 0; X < TargetWidth; ++X, PosX += StepX) {
        const int Column = int(PosX >> 15);
        const int NextColumn = std::min(Column + 1, FWidth - 1);
        const int64_t FracX = PosX & 0x7FFF;
        const int64_t W00 = ((32768 - FracY) * (32768 - FracX)) >> 15;
        const int64_t W01 = ((32768 - FracY) * FracX) >> 15;
        const int64_t W10 = (FracY * (32768 - FracX)) >> 15;
        const int64_t W11 = (FracY * FracX) >> 15;
        for (int Channel = 0; Channel < 3; ++Channel) {
          const int64_t Sum = Top[Column * 3 + Channel] * W00 + Top[NextColumn * 3 + Channel] * W01 +
                              Bottom[Column * 3 + Channel] * W10 + Bottom[NextColumn * 3 + Channel] * W11;
          Out[X * 3 + Channel] = Clamp(int(Sum >> 15));
        }
      }
    }
  }
  Work.SetTransparent(Transparent());
  Work.FTransparentColor = EffectiveTransparentColor();
  Work.FSkipPalette = true;
  Work.Draw(ACanvas, Rect);
}

void TkvBitmap::FastStretchDraw(TCanvas* ACanvas, const RECT& Rect) {
  const int TargetWidth = Rect.right - Rect.left;
  const int TargetHeight = Rect.bottom - Rect.top;
  if (Empty() || TargetWidth <= 0 || TargetHeight <= 0) return;
  if (Transparent()) {
    TkvBitmap Work;
    Work.SetSize(TargetWidth, TargetHeight);
    SetStretchBltMode(Work.FMemoryDC, COLORONCOLOR);
    StretchBlt(Work.FMemoryDC, 0, 0, TargetWidth, TargetHeight, FMemoryDC, 0, 0, FWidth, FHeight, SRCCOPY);
    Work.FTransparentColor = EffectiveTransparentColor();
    Work.SetTransparent(true);
    Work.TransparentDraw(ACanvas, Rect);
  } else {
    HDC Target = CanvasHandle(ACanvas);
    const int OldMode = SetStretchBltMode(Target, COLORONCOLOR);
    StretchBlt(Target, Rect.left, Rect.top, TargetWidth, TargetHeight, FMemoryDC, 0, 0, FWidth, FHeight, SRCCOPY);
    SetStretchBltMode(Target, OldMode);
  }
}

void TkvBitmap::TileDraw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty()) return;
  HPALETTE OldPalette = nullptr;
  BeginPaletteDraw(ACanvas, OldPalette);
  FSkipPalette = true;
  try {
    for (int Y = 0; Y < Rect.bottom; Y += FHeight)
      for (int X = 0; X < Rect.right; X += FWidth) {
        const RECT Tile{X - Rect.left, Y - Rect.top, X - Rect.left + FWidth, Y - Rect.top + FHeight};
        Draw(ACanvas, Tile);
      }
  } catch (...) {
    FSkipPalette = false;
    EndPaletteDraw(ACanvas, OldPalette);
    throw;
  }
  FSkipPalette = false;
  EndPaletteDraw(ACanvas, OldPalette);
}

// --- pixel access ------------------------------------------------------------------------------

uint8_t* TkvBitmap::ScanLine(int32_t Row) const {
  if (Row < 0 || Row >= FHeight) return nullptr;
  return FRows[size_t(Row)];
}

TColor TkvBitmap::PixelColor(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return clNone;
  const uint8_t* Pixel = FRows[size_t(Y)] + X * 3;
  return TColor(Pixel[2] | (Pixel[1] << 8) | (Pixel[0] << 16));
}

void TkvBitmap::SetPixelColor(int32_t X, int32_t Y, TColor Color) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  const TRgb Rgb = ToRgb(Color);
  uint8_t* Pixel = FRows[size_t(Y)] + X * 3;
  Pixel[0] = Rgb.B;
  Pixel[1] = Rgb.G;
  Pixel[2] = Rgb.R;
}

template <class F>
void TkvBitmap::ForEachPixel(F&& Operation) {
  for (int32_t Y = 0; Y < FHeight; ++Y) {
    uint8_t* Pixel = FRows[size_t(Y)];
    for (int32_t X = 0; X < FWidth; ++X, Pixel += 3) Operation(Pixel);
  }
}

void TkvBitmap::ApplyTable(const std::array<uint8_t, 256>& Table) {
  ForEachPixel([&](uint8_t* Pixel) {
    Pixel[0] = Table[Pixel[0]];
    Pixel[1] = Table[Pixel[1]];
    Pixel[2] = Table[Pixel[2]];
  });
}

// --- pixel operations --------------------------------------------------------------------------

void TkvBitmap::BlurPass(int32_t Distance) {
  if (Empty()) return;
  auto At = [&](int X, int Y) {
    return FRows[size_t(std::clamp(Y, 0, FHeight - 1))] + std::clamp(X, 0, FWidth - 1) * 3;
  };
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      const uint8_t* A = At(X - Distance, Y - Distance);
      const uint8_t* B = At(X + Distance, Y - Distance);
      const uint8_t* C = At(X - Distance, Y + Distance);
      const uint8_t* D = At(X + Distance, Y + Distance);
      uint8_t* Pixel = FRows[size_t(Y)] + X * 3;
      for (int Channel = 0; Channel < 3; ++Channel)
        Pixel[Channel] = uint8_t((A[Channel] + B[Channel] + C[Channel] + D[Channel]) / 4);
    }
  Changed(this);
}

void TkvBitmap::ApplyContrast(int32_t Amount) {
  if (Empty()) return;
  std::array<uint8_t, 256> Table;
  for (int Value = 0; Value < 256; ++Value) {
    const int Spread = std::abs(128 - Value) * Amount / 256;
    Table[size_t(Value)] = Clamp(Value < 127 ? Value - Spread : Value + Spread);
  }
  ApplyTable(Table);
  Changed(this);
}

// Each pixel is averaged with the inverse of its lower-right neighbour. The bottom row has no
// neighbour below, so the last two rows are weighed against one pixel of the bottom row as it
// was before the pass.
void TkvBitmap::ApplyEmboss() {
  if (Empty()) return;
  const std::vector<uint8_t> Bottom(FRows[size_t(FHeight - 1)], FRows[size_t(FHeight - 1)] + FWidth * 3);
  const uint8_t* Fixed = Bottom.data() + std::min(1, FWidth - 1) * 3;
  for (int Y = 0; Y < FHeight; ++Y) {
    uint8_t* Pixel = FRows[size_t(Y)];
    for (int X = 0; X < FWidth; ++X, Pixel += 3) {
      const uint8_t* Neighbour =
          Y < FHeight - 2 ? FRows[size_t(Y + 1)] + std::min(X + 1, FWidth - 1) * 3 : Fixed;
      for (int Channel = 0; Channel < 3; ++Channel)
        Pixel[Channel] = uint8_t(((255 - Neighbour[Channel]) + Pixel[Channel]) / 2);
    }
  }
  Changed(this);
}

void TkvBitmap::ApplyFlip(bool Horizontal) {
  if (Empty()) return;
  if (Horizontal) {
    for (int Y = 0; Y < FHeight; ++Y) {
      uint8_t* Row = FRows[size_t(Y)];
      for (int Left = 0, Right = FWidth - 1; Left < Right; ++Left, --Right)
        std::swap_ranges(Row + Left * 3, Row + Left * 3 + 3, Row + Right * 3);
    }
  } else {
    std::vector<uint8_t> Buffer(static_cast<size_t>(FWidth) * 3);
    for (int Top = 0, Bottom = FHeight - 1; Top < Bottom; ++Top, --Bottom) {
      std::memcpy(Buffer.data(), FRows[size_t(Top)], Buffer.size());
      std::memcpy(FRows[size_t(Top)], FRows[size_t(Bottom)], Buffer.size());
      std::memcpy(FRows[size_t(Bottom)], Buffer.data(), Buffer.size());
    }
  }
  Changed(this);
}

void TkvBitmap::ApplyGaussianBlur(int32_t Amount) {
  for (int32_t Distance = Amount; Distance >= 1; --Distance) BlurPass(Distance);
}

void TkvBitmap::ApplyGrayScale() {
  if (Empty()) return;
  std::array<uint8_t, 256> Third;
  for (int Value = 0; Value < 256; ++Value) Third[size_t(Value)] = uint8_t(Value / 3);
  ForEachPixel([&](uint8_t* Pixel) {
    const uint8_t Gray = uint8_t(Third[Pixel[0]] + Third[Pixel[1]] + Third[Pixel[2]]);
    Pixel[0] = Pixel[1] = Pixel[2] = Gray;
  });
  Changed(this);
}

void TkvBitmap::ApplyInvert() {
  if (Empty()) return;
  ForEachPixel([](uint8_t* Pixel) {
    Pixel[0] = uint8_t(255 - Pixel[0]);
    Pixel[1] = uint8_t(255 - Pixel[1]);
    Pixel[2] = uint8_t(255 - Pixel[2]);
  });
  Changed(this);
}

void TkvBitmap::ApplyLightness(int32_t Amount) {
  if (Empty()) return;
  std::array<uint8_t, 256> Table;
  for (int Value = 0; Value < 256; ++Value)
    Table[size_t(Value)] = Clamp(Amount <= 0 ? Value - Value * std::abs(Amount) / 256
                                             : Value + Amount * (255 - Value) / 256);
  ApplyTable(Table);
  Changed(this);
}

void TkvBitmap::MakeMask(TColor Color) {
  if (Empty()) return;
  const TRgb Key = ToRgb(Color);
  ForEachPixel([&](uint8_t* Pixel) {
    const uint8_t Value = PixelIs(Pixel, Key) ? 0 : 255;
    Pixel[0] = Pixel[1] = Pixel[2] = Value;
  });
  Changed(this);
}

void TkvBitmap::ReplaceColor(TColor OldColor, TColor NewColor) {
  if (Empty()) return;
  const TRgb From = ToRgb(OldColor);
  const TRgb To = ToRgb(NewColor);
  ForEachPixel([&](uint8_t* Pixel) {
    if (!PixelIs(Pixel, From)) return;
    Pixel[0] = To.B;
    Pixel[1] = To.G;
    Pixel[2] = To.R;
  });
  Changed(this);
}

void TkvBitmap::AddColorOffsets(int32_t R, int32_t G, int32_t B) {
  if (Empty()) return;
  std::array<uint8_t, 256> Red, Green, Blue;
  for (int Value = 0; Value < 256; ++Value) {
    Red[size_t(Value)] = Clamp(Value + R);
    Green[size_t(Value)] = Clamp(Value + G);
    Blue[size_t(Value)] = Clamp(Value + B);
  }
  ForEachPixel([&](uint8_t* Pixel) {
    Pixel[0] = Blue[Pixel[0]];
    Pixel[1] = Green[Pixel[1]];
    Pixel[2] = Red[Pixel[2]];
  });
  Changed(this);
}

void TkvBitmap::ApplyColor(int32_t R, int32_t G, int32_t B) {
  if (Empty()) return;
  const bool Skip = FTransparentColor != clNone;
  const TRgb Key = Skip ? ToRgb(FTransparentColor) : TRgb{};
  const int DeltaR = R / 2 - 128, DeltaG = G / 2 - 128, DeltaB = B / 2 - 128;
  ForEachPixel([&](uint8_t* Pixel) {
    if (Skip && PixelIs(Pixel, Key)) return;
    Pixel[0] = Clamp(Pixel[0] + DeltaB);
    Pixel[1] = Clamp(Pixel[1] + DeltaG);
    Pixel[2] = Clamp(Pixel[2] + DeltaR);
  });
  Changed(this);
}

// The rotation maps every target pixel back into the source on a doubled grid (u, v are twice the
// distance from the centre plus one), so pixel centres, not corners, turn about the centre.
void TkvBitmap::ApplyRotation(POINT Center, double Angle) {
  if (Empty()) return;
  const int CX = Center.x == -1 ? FWidth / 2 : Center.x;
  const int CY = Center.y == -1 ? FHeight / 2 : Center.y;
  const double Theta = -Angle * std::numbers::pi / 180.0;
  const double Cos = std::cos(Theta), Sin = std::sin(Theta);
  std::vector<uint8_t> Result(static_cast<size_t>(FImageSize));
  const uint8_t* Fill = FRows[0];
  for (int Y = 0; Y < FHeight; ++Y) {
    uint8_t* Out = Result.data() + size_t(Y) * size_t(FRowSize);
    std::memcpy(Out + FWidth * 3, FRows[size_t(Y)] + FWidth * 3, size_t(FRowGap));
    for (int X = 0; X < FWidth; ++X) {
      const double U = 2.0 * (X - CX) + 1, V = 2.0 * (Y - CY) + 1;
      const int SX = CX + (int(std::nearbyint(U * Cos - V * Sin)) - 1) / 2;
      const int SY = CY + (int(std::nearbyint(U * Sin + V * Cos)) - 1) / 2;
      const uint8_t* Source = SX >= 0 && SY >= 0 && SX < FWidth && SY < FHeight ? FRows[size_t(SY)] + SX * 3 : Fill;
      std::memcpy(Out + X * 3, Source, 3);
    }
  }
  std::memcpy(FBits, Result.data(), Result.size());
  Changed(this);
}

void TkvBitmap::ApplySaturation(int32_t Amount) {
  if (Empty()) return;
  ForEachPixel([&](uint8_t* Pixel) {
    const int Gray = Pixel[0] / 3 + Pixel[1] / 3 + Pixel[2] / 3;
    for (int Channel = 0; Channel < 3; ++Channel)
      Pixel[Channel] = Clamp(Gray + Amount * Pixel[Channel] / 256 - Amount * Gray / 256);
  });
  Changed(this);
}

void TkvBitmap::ApplySharpen(int32_t Distance) {
  if (Empty()) return;
  const std::vector<uint8_t> Source(FBits, FBits + FImageSize);
  auto At = [&](int X, int Y) {
    return Source.data() + size_t(std::clamp(Y, 0, FHeight - 1)) * size_t(FRowSize) +
           std::clamp(X, 0, FWidth - 1) * 3;
  };
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X)
      for (int Channel = 0; Channel < 3; ++Channel) {
        int Sum = 0;
        for (int DY = -1; DY <= 1; ++DY)
          for (int DX = -1; DX <= 1; ++DX)
            if (DX || DY) Sum += At(X + DX * Distance, Y + DY * Distance)[Channel];
        FRows[size_t(Y)][X * 3 + Channel] = Clamp((256 * At(X, Y)[Channel] - 16 * Sum) / 128);
      }
  Changed(this);
}

void TkvBitmap::ApplySponge(int32_t Amount) {
  if (Empty()) return;
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      const int A = RandomBelow(Amount);
      const int SX = std::clamp(X + A - RandomBelow(2 * A), 0, FWidth - 1);
      const int SY = std::clamp(Y + A - RandomBelow(2 * A), 0, FHeight - 1);
      std::memmove(FRows[size_t(Y)] + X * 3, FRows[size_t(SY)] + SX * 3, 3);
    }
  Changed(this);
}

void TkvBitmap::ApplyWave(bool Wrap, double Ratio, double YDiv, double XDiv) {
  if (YDiv == 0 || XDiv == 0 || Empty()) return;
  std::vector<int> RowShift(static_cast<size_t>(FHeight)), ColumnShift(static_cast<size_t>(FWidth));
  for (int Y = 0; Y < FHeight; ++Y) RowShift[size_t(Y)] = int(std::nearbyint(Ratio * std::sin(Y / YDiv)));
  for (int X = 0; X < FWidth; ++X) ColumnShift[size_t(X)] = int(std::nearbyint(Ratio * std::sin(X / XDiv)));
  auto WrapNegative = [](int K, int Size) { return Size - ((-K) % Size) - 1; };
  std::vector<uint8_t> Result(size_t(FImageSize), 0xFF);
  for (int Y = 0; Y < FHeight; ++Y) {
    uint8_t* Out = Result.data() + size_t(Y) * size_t(FRowSize);
    std::memcpy(Out + FWidth * 3, FRows[size_t(Y)] + FWidth * 3, size_t(FRowGap));
    for (int X = 0; X < FWidth; ++X) {
      int SX = X + RowShift[size_t(Y)];
      int SY = Y + ColumnShift[size_t(X)];
      if (Wrap) {
        if (SX < 0) SX = WrapNegative(SX, FWidth);
        else if (SX >= FWidth) SX %= FWidth;
        if (SY < 0) SY = WrapNegative(SY, FHeight);
        else if (SY >= FHeight) SY = FHeight > 1 ? SY % (FHeight - 1) : 0;
      } else if (SX < 0 || SY < 0 || SX >= FWidth || SY >= FHeight) {
        continue;  // stays white
      }
      std::memcpy(Out + X * 3, FRows[size_t(SY)] + SX * 3, 3);
    }
  }
  std::memcpy(FBits, Result.data(), Result.size());
  Changed(this);
}
