#include "platform/forms/jpegimage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/forms/bitmap.h"
#include "platform/forms/bitmapfile.h"
#include "platform/forms/canvas.h"
#include "platform/forms/picture.h"
#include "platform/gdi/imagefile/jpegcodec.h"
#include "platform/gdi/palette.h"

KORCAM_REGISTER_CLASS(TJPEGImage)

// The device layer's JPEG error: raises EJPEG "JPEG error #<Code>" (declared with the device
// layer's file code, which this file cannot include; see imagecodec.h).
[[noreturn]] void RaiseJpegError(int Code);

namespace {

// Output rows of libjpeg's scaled decoding round up: a 9-pixel side at 1/2 gives 5.
int32_t ScaledSide(int32_t Side, TJPEGScale Scale) {
  const int32_t Divisor = 1 << static_cast<int>(Scale);
  return (Side + Divisor - 1) / Divisor;
}

uint8_t Luminance(uint32_t Blue, uint32_t Green, uint32_t Red) {
  return uint8_t((Red * 299 + Green * 587 + Blue * 114 + 500) / 1000);
}

HPALETTE GreyPalette() {
  std::vector<uint8_t> Buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
  auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = 256;
  for (int i = 0; i < 256; ++i) Log->palPalEntry[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
  return CreatePalette(Log);
}

}  // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() {
  if (FCompressor) JpegCompressorDestroy(FCompressor);
  if (FDecompressor) JpegDecompressorDestroy(FDecompressor);
}

TBitmap* TJPEGImage::Bitmap() const {
  return FBitmapValid ? FBitmap.get() : nullptr;
}

bool TJPEGImage::GetEmpty() const {
  return FData.empty() && !FBitmapValid;
}

int32_t TJPEGImage::GetWidth() const {
  if (FBitmapValid) return FBitmap->Width();
  return ScaledSide(FDataWidth, FScale);
}

int32_t TJPEGImage::GetHeight() const {
  if (FBitmapValid) return FBitmap->Height();
  return ScaledSide(FDataHeight, FScale);
}

void TJPEGImage::SetWidth(int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::FreeBitmap() {
  FBitmapValid = false;
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) {
  Value = std::clamp(Value, 1, 100);
  if (Value == FCompressionQuality) return;
  FCompressionQuality = Value;
  // Bytes made from a bitmap are made again at the new quality.
  if (FBitmapValid && !FData.empty() && FDataFromBitmap) FData.clear();
}

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value == FGrayscale) return;
  FGrayscale = Value;
  if (!FData.empty()) {
    FreeBitmap();
    Changed(this);
  }
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  if (!FData.empty()) {
    FreeBitmap();
    Changed(this);
  }
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value == FPerformance) return;
  FPerformance = Value;
  if (!FData.empty()) FreeBitmap();
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat Value) {
  if (Value == FPixelFormat) return;
  FPixelFormat = Value;
  if (!FData.empty()) {
    FreeBitmap();
    Changed(this);
  }
}

// Takes a file image after checking its header; the old picture stays on failure.
void TJPEGImage::SetData(const uint8_t* Data, size_t Size) {
  if (!FDecompressor) {
    FDecompressor = JpegDecompressorCreate();
    if (!FDecompressor) throw std::bad_alloc();
  }
  TJpegHeaderInfo Info{};
  const int Code = JpegDecompressorReadHeader(FDecompressor, Data, Size, 1, &Info);
  if (Code != 0) RaiseJpegError(Code);
  JpegDecompressorAbort(FDecompressor);
  if (Info.Width <= 0 || Info.Height <= 0) throw EInvalidGraphic("JPEG image is not valid");
  if (Info.Width > MaxPictureSide || Info.Height > MaxPictureSide ||
      int64_t(Info.Width) * Info.Height > MaxPicturePixels)
    throw EInvalidGraphic("JPEG image is too large");
  FData.assign(Data, Data + Size);
  FDataWidth = Info.Width;
  FDataHeight = Info.Height;
  FDataFromBitmap = false;
  FreeBitmap();
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  const int64_t Count = Stream.Size() - Stream.Position();
  if (Count <= 0) throw EInvalidGraphic("JPEG image is not valid");
  std::vector<uint8_t> Data(static_cast<size_t>(Count));
  Stream.ReadBuffer(Data.data(), int32_t(Count));
  SetData(Data.data(), Data.size());
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), int32_t(FData.size()));
}

void TJPEGImage::ReadData(TStream& Stream) {
  // The class library's framing (a 32-bit length, then the file) or a bare file.
  const int64_t Start = Stream.Position();
  uint8_t Magic[2] = {0, 0};
  if (Stream.Read(Magic, 2) == 2 && Magic[0] == 0xFF && Magic[1] == 0xD8) {
    Stream.SetPosition(Start);
    LoadFromStream(Stream);
    return;
  }
  Stream.SetPosition(Start);
  int32_t Length = 0;
  Stream.ReadBuffer(&Length, 4);
  if (Length <= 0 || Length > Stream.Size() - Stream.Position())
    throw EInvalidGraphic("JPEG image is not valid");
  std::vector<uint8_t> Data(static_cast<size_t>(Length));
  Stream.ReadBuffer(Data.data(), Length);
  SetData(Data.data(), Data.size());
  Changed(this);
}

void TJPEGImage::WriteData(TStream& Stream) {
  JPEGNeeded();
  const int32_t Length = int32_t(FData.size());
  Stream.WriteBuffer(&Length, 4);
  if (Length > 0) Stream.WriteBuffer(FData.data(), Length);
}

void TJPEGImage::Decode() {
  TJpegHeaderInfo Info{};
  int Code = JpegDecompressorReadHeader(FDecompressor, FData.data(), FData.size(), 1, &Info);
  if (Code != 0) RaiseJpegError(Code);
  const int32_t Width = ScaledSide(Info.Width, FScale), Height = ScaledSide(Info.Height, FScale);
  const TPixelFormat Format = FGrayscale ? pf8bit : pf24bit;
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  if (FBitmap->Width() != Width || FBitmap->Height() != Height || FBitmap->PixelFormat() != Format) {
    FBitmap->Assign(nullptr);
    FBitmap->SetPixelFormat(Format);
    FBitmap->SetSize(Width, Height);
  }
  if (FGrayscale) FBitmap->SetPalette(GreyPalette());

  if (FScale == jsFullSize && !FGrayscale) {
    // Straight into the bitmap's rows: ScanLine(0) is the top row, the next row lies RowBytes
    // below it in memory.
    Code = JpegDecompressorDecode(FDecompressor, static_cast<uint8_t*>(FBitmap->ScanLine(0)),
                                  -ptrdiff_t(FBitmap->RowBytes()), jlBgr24);
    if (Code != 0) RaiseJpegError(Code);
    return;
  }
  const size_t Stride = size_t(Info.Width) * 3;
  FScratch.resize(Stride * size_t(Info.Height));
  Code = JpegDecompressorDecode(FDecompressor, FScratch.data(), ptrdiff_t(Stride), jlBgr24);
  if (Code != 0) RaiseJpegError(Code);
  // Each output pixel is the mean of the block of source pixels it stands for (blocks at the
  // right and bottom edges may be smaller).
  const int32_t Divisor = 1 << static_cast<int>(FScale);
  for (int32_t Y = 0; Y < Height; ++Y) {
    auto* Row = static_cast<uint8_t*>(FBitmap->ScanLine(Y));
    const int32_t Top = Y * Divisor, Bottom = std::min(Top + Divisor, Info.Height);
    for (int32_t X = 0; X < Width; ++X) {
      const int32_t Left = X * Divisor, Right = std::min(Left + Divisor, Info.Width);
      uint32_t Sum[3] = {0, 0, 0};
      for (int32_t V = Top; V < Bottom; ++V) {
        const uint8_t* P = FScratch.data() + size_t(V) * Stride + size_t(Left) * 3;
        for (int32_t U = Left; U < Right; ++U, P += 3) Sum[0] += P[0], Sum[1] += P[1], Sum[2] += P[2];
      }
      const uint32_t Count = uint32_t((Bottom - Top) * (Right - Left));
      const uint32_t Blue = (Sum[0] + Count / 2) / Count, Green = (Sum[1] + Count / 2) / Count,
                     Red = (Sum[2] + Count / 2) / Count;
      if (FGrayscale) {
        Row[X] = Luminance(Blue, Green, Red);
      } else {
        Row[3 * X] = uint8_t(Blue);
        Row[3 * X + 1] = uint8_t(Green);
        Row[3 * X + 2] = uint8_t(Red);
      }
    }
  }
}

void TJPEGImage::DIBNeeded() {
  if (FBitmapValid || FData.empty()) return;
  if (!FDecompressor) {
    FDecompressor = JpegDecompressorCreate();
    if (!FDecompressor) throw std::bad_alloc();
  }
  Decode();
  if (FPixelFormat == jf8Bit && !FGrayscale) FBitmap->SetPixelFormat(pf8bit);
  FBitmapValid = true;
}

void TJPEGImage::JPEGNeeded() {
  if (!FData.empty() || !FBitmapValid) return;
  if (!FCompressor) {
    FCompressor = JpegCompressorCreate();
    if (!FCompressor) throw std::bad_alloc();
  }
  TBitmap* Source = FBitmap.get();
  std::unique_ptr<TBitmap> Copy;
  if (Source->PixelFormat() != pf24bit && Source->PixelFormat() != pf32bit) {
    Copy = std::make_unique<TBitmap>();
    Copy->SetPixelFormat(pf24bit);
    Copy->SetSize(Source->Width(), Source->Height());
    Copy->Canvas()->Draw(0, 0, Source);
    Source = Copy.get();
  }
  const TJpegLayout Layout = Source->PixelFormat() == pf24bit ? jlBgr24 : jlBgrx32;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  const int Code = JpegCompressorEncode(FCompressor, static_cast<const uint8_t*>(Source->ScanLine(0)),
                                        -ptrdiff_t(Source->RowBytes()), Source->Width(), Source->Height(),
                                        Layout, FCompressionQuality, &Data, &Size);
  if (Code != 0) RaiseJpegError(Code);
  FData.assign(Data, Data + Size);
  FDataWidth = Source->Width();
  FDataHeight = Source->Height();
  FDataFromBitmap = true;
}

void TJPEGImage::Compress() {
  if (FBitmapValid) FData.clear();
  JPEGNeeded();
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    FData.clear();
    FDataWidth = FDataHeight = 0;
    FreeBitmap();
    Changed(this);
    return;
  }
  if (auto* Other = dynamic_cast<TJPEGImage*>(Source)) {
    if (Other == this) return;
    FData = Other->FData;
    FDataWidth = Other->FDataWidth;
    FDataHeight = Other->FDataHeight;
    FDataFromBitmap = Other->FDataFromBitmap;
    FCompressionQuality = Other->FCompressionQuality;
    FGrayscale = Other->FGrayscale;
    FScale = Other->FScale;
    FPerformance = Other->FPerformance;
    FPixelFormat = Other->FPixelFormat;
    FProgressiveEncoding = Other->FProgressiveEncoding;
    FProgressiveDisplay = Other->FProgressiveDisplay;
    FSmoothing = Other->FSmoothing;
    FreeBitmap();
    if (Other->FBitmapValid) {
      if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(Other->FBitmap.get());
      FBitmapValid = true;
    }
    Changed(this);
    return;
  }
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Source)) {
    if (Bitmap->Empty()) {
      Assign(nullptr);
      return;
    }
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(Bitmap);
    FBitmap->SetTransparent(false);
    FData.clear();
    FDataWidth = FBitmap->Width();
    FDataHeight = FBitmap->Height();
    FBitmapValid = true;
    Changed(this);
    return;
  }
  if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
    Assign(Picture->Graphic());
    return;
  }
  if (auto* Graphic = dynamic_cast<TGraphic*>(Source)) {
    TBitmap Copy;
    Copy.Assign(Graphic);
    Assign(&Copy);
    return;
  }
  inherited::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    Bitmap->Assign(FBitmapValid ? FBitmap.get() : nullptr);
    return;
  }
  inherited::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const RECT& Rect) {
  DIBNeeded();
  if (FBitmapValid) FBitmap->Draw(ACanvas, Rect);
}
