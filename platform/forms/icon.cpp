#include "platform/forms/icon.h"

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"

KORCAM_REGISTER_CLASS(TIcon)

TIcon::TIcon() = default;

TIcon::~TIcon() {
  FreeCache();
}

void TIcon::FreeCache() {
  if (FCache) {
    DeleteObject(FCache);
    FCache = nullptr;
  }
}

void TIcon::SetWidth(int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::LoadFromStream(TStream& Stream) {
  const int64_t Count = Stream.Size() - Stream.Position();
  if (Count <= 0) throw EInvalidGraphic("Icon image is not valid");
  std::vector<uint8_t> Data(static_cast<size_t>(Count));
  Stream.ReadBuffer(Data.data(), int32_t(Count));
  imagecodec::TImage Image;
  imagecodec::DecodeIco(Data, -1, Image);
  FreeCache();
  FData.swap(Data);
  FImage = std::move(Image);
  Changed(this);
}

void TIcon::SaveToStream(TStream& Stream) {
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), int32_t(FData.size()));
}

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    FreeCache();
    FData.clear();
    FImage = imagecodec::TImage{};
    Changed(this);
    return;
  }
  if (auto* Other = dynamic_cast<TIcon*>(Source)) {
    if (Other == this) return;
    FreeCache();
    FData = Other->FData;
    FImage = Other->FImage;
    Changed(this);
    return;
  }
  inherited::Assign(Source);
}

void TIcon::AssignTo(TPersistent* Dest) {
  inherited::AssignTo(Dest);
}

void TIcon::Draw(TCanvas* ACanvas, const RECT& Rect) {
  if (Empty() || !ACanvas) return;
  if (!FCache) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = FImage.Width;
    Info.bmiHeader.biHeight = -FImage.Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    FCache = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!FCache) return;
    // Blending takes premultiplied colours.
    auto* To = static_cast<uint8_t*>(Bits);
    const uint8_t* From = FImage.Pixels.data();
    for (size_t i = 0, n = size_t(FImage.Width) * size_t(FImage.Height); i < n; ++i, To += 4, From += 4) {
      const uint32_t Alpha = From[3];
      for (int c = 0; c < 3; ++c) To[c] = uint8_t((From[c] * Alpha + 127) / 255);
      To[3] = uint8_t(Alpha);
    }
  }
  HDC Dest = CanvasHandle(ACanvas);
  HDC Source = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Source, FCache);
  AlphaBlend(Dest, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, Source, 0, 0,
             FImage.Width, FImage.Height, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  SelectObject(Source, Old);
  DeleteDC(Source);
}
