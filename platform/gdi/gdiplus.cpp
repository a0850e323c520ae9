#include "platform/gdi/gdiplus.h"

#include <sys/stat.h>

#include <memory>
#include <new>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/imagefile/imagefile.h"

struct GpImage {
  TBgraImage Pixels;
};
struct GpBitmap : GpImage {};
struct GpGraphics {
  HDC DC = nullptr;
};

namespace {

// Start-ups not yet shut down. The library belongs to the user-interface thread.
int StartupCount = 0;
ULONG_PTR NextToken = 1;

bool Started() {
  return StartupCount > 0;
}

}  // namespace

GpStatus GdiplusStartup(ULONG_PTR* Token, const GdiplusStartupInput* Input, GdiplusStartupOutput* Output) {
  if (!Token || !Input) return InvalidParameter;
  if (Input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  if (Input->SuppressBackgroundThread && !Output) return InvalidParameter;
  if (Output) *Output = GdiplusStartupOutput{};
  ++StartupCount;
  *Token = NextToken++;
  return Ok;
}

void GdiplusShutdown(ULONG_PTR Token) {
  if (Token != 0 && StartupCount > 0) --StartupCount;
}

GpStatus GdipCreateBitmapFromFile(const char* FileName, GpBitmap** Bitmap) {
  if (!Started()) return GdiplusNotInitialized;
  if (!FileName || !Bitmap) return InvalidParameter;
  *Bitmap = nullptr;
  struct stat Status;
  if (::stat(FileName, &Status) != 0 || S_ISDIR(Status.st_mode)) return FileNotFound;
  try {
    auto Result = std::make_unique<GpBitmap>();
    Result->Pixels = LoadImageFile(FileName);
    *Bitmap = Result.release();
    return Ok;
  } catch (const EFOpenError&) {
    return Win32Error;
  } catch (const Exception&) {
    return UnknownImageFormat;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipGetImageWidth(GpImage* Image, UINT* Width) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Image || !Width) return InvalidParameter;
  *Width = UINT(Image->Pixels.Width);
  return Ok;
}

GpStatus GdipGetImageHeight(GpImage* Image, UINT* Height) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Image || !Height) return InvalidParameter;
  *Height = UINT(Image->Pixels.Height);
  return Ok;
}

GpStatus GdipGetImageFlags(GpImage* Image, UINT* Flags) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Image || !Flags) return InvalidParameter;
  *Flags = Image->Pixels.HasAlpha ? ImageFlagsHasAlpha : ImageFlagsNone;
  return Ok;
}

GpStatus GdipBitmapGetPixel(GpBitmap* Bitmap, INT X, INT Y, ARGB* Color) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Bitmap || !Color) return InvalidParameter;
  const TBgraImage& Image = Bitmap->Pixels;
  if (X < 0 || Y < 0 || X >= Image.Width || Y >= Image.Height) return InvalidParameter;
  *Color = Image.PixelAt(X, Y);
  return Ok;
}

GpStatus GdipDisposeImage(GpImage* Image) {
  if (!Image) return InvalidParameter;
  delete static_cast<GpBitmap*>(Image);
  return Ok;
}

GpStatus GdipCreateFromHDC(HDC DC, GpGraphics** Graphics) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Graphics) return InvalidParameter;
  *Graphics = nullptr;
  if (!GdiGetDC(DC)) return OutOfMemory;  // what the library answers for a handle that is no DC
  *Graphics = new GpGraphics{DC};
  return Ok;
}

GpStatus GdipGraphicsClear(GpGraphics* Graphics, ARGB Color) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Graphics) return InvalidParameter;
  TDC* Target = GdiGetDC(Graphics->DC);
  if (!Target) return Win32Error;
  const TPixelSurface& Surface = Target->Surface();
  if (!Surface.IsValid()) return Ok;
  // The whole surface in device coordinates; the fill clips it to what the DC may draw on.
  const POINT Origin = Target->Origin();
  const RECT Everything{-Origin.x, -Origin.y, Surface.Width - Origin.x, Surface.Height - Origin.y};
  const COLORREF Rgb = ((Color >> 16) & 0xFF) | (Color & 0xFF00) | ((Color & 0xFF) << 16);
  Target->FillSolidRect(Everything, Rgb);
  return Ok;
}

GpStatus GdipDrawImageI(GpGraphics* Graphics, GpImage* Image, INT X, INT Y) {
  if (!Started()) return GdiplusNotInitialized;
  if (!Graphics || !Image) return InvalidParameter;
  const TBgraImage& Source = Image->Pixels;
  if (Source.Empty()) return Ok;
  // The picture goes through the device layer's source-over blend, which wants its colours
  // premultiplied by their alpha in a 32-bit section.
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Source.Width;
  Info.bmiHeader.biHeight = -Source.Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  HBITMAP Section = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!Section) return OutOfMemory;
  auto* Out = static_cast<uint8_t*>(Bits);
  const uint8_t* In = Source.Pixels.data();
  const size_t Count = size_t(Source.Width) * size_t(Source.Height);
  for (size_t Pixel = 0; Pixel < Count; ++Pixel, In += 4, Out += 4) {
    const uint32_t Alpha = In[3];
    for (int Channel = 0; Channel < 3; ++Channel) Out[Channel] = uint8_t((In[Channel] * Alpha + 127) / 255);
    Out[3] = uint8_t(Alpha);
  }
  HDC Memory = CreateCompatibleDC(nullptr);
  HGDIOBJ Previous = SelectObject(Memory, Section);
  const BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL Drawn = AlphaBlend(Graphics->DC, X, Y, Source.Width, Source.Height, Memory, 0, 0, Source.Width,
                                Source.Height, Blend);
  SelectObject(Memory, Previous);
  DeleteDC(Memory);
  DeleteObject(Section);
  return Drawn ? Ok : Win32Error;
}

GpStatus GdipDeleteGraphics(GpGraphics* Graphics) {
  if (!Graphics) return InvalidParameter;
  delete Graphics;
  return Ok;
}
