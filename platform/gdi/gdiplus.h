#pragma once
// The flat interface of the picture library (GDI+) as far as the program binds it: start-up and
// shut-down, a bitmap read from a file, its size, flags and pixels, and graphics on a device
// context that can be cleared and drawn on. The program uses it for the picture formats the
// class library does not read itself (PNG with its alpha channel, GIF, TIFF, icons).
//
// Files are decoded by the graphics layer's own readers (imagefile.h), by their content, not by
// their extension. Pixels are kept as the readers give them: straight (not premultiplied) alpha;
// GdipBitmapGetPixel answers them as they are, and GdipDrawImageI composites them source-over
// onto whatever the device context holds (so an image drawn over black shows its colours
// multiplied by their alpha). File names are UTF-8, like every path of this platform.
//
// Every call answers a status and never raises. All calls but GdiplusStartup need a start-up
// that has not been shut down yet; the calls belong to the user-interface thread.

#include <cstdint>

#include "platform/rtl/wintypes.h"

enum GpStatus : int32_t {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  Win32Error = 7,
  FileNotFound = 10,
  UnknownImageFormat = 13,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
};

// A colour as 0xAARRGGBB.
using ARGB = uint32_t;

// GdipGetImageFlags: the picture carries transparency (an alpha channel, a transparent palette
// entry or a mask).
constexpr UINT ImageFlagsNone = 0;
constexpr UINT ImageFlagsHasAlpha = 0x0002;

struct GdiplusStartupInput {
  uint32_t GdiplusVersion = 1;  // only version 1 exists
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

// Filled only when the background thread is suppressed; this library runs none.
struct GdiplusStartupOutput {
  void* NotificationHook = nullptr;
  void* NotificationUnhook = nullptr;
};

struct GpImage;
struct GpBitmap;
struct GpGraphics;

// Token receives a value for GdiplusShutdown. Start-ups nest: each needs its shut-down.
GpStatus GdiplusStartup(ULONG_PTR* Token, const GdiplusStartupInput* Input, GdiplusStartupOutput* Output);
void GdiplusShutdown(ULONG_PTR Token);

// FileNotFound when there is no such file, UnknownImageFormat when no reader takes its content
// (damaged, unsupported, or a picture over the size limits).
GpStatus GdipCreateBitmapFromFile(const char* FileName, GpBitmap** Bitmap);
GpStatus GdipGetImageWidth(GpImage* Image, UINT* Width);
GpStatus GdipGetImageHeight(GpImage* Image, UINT* Height);
GpStatus GdipGetImageFlags(GpImage* Image, UINT* Flags);
// InvalidParameter outside the picture.
GpStatus GdipBitmapGetPixel(GpBitmap* Bitmap, INT X, INT Y, ARGB* Color);
GpStatus GdipDisposeImage(GpImage* Image);

// Graphics drawing on the surface of DC (DC must outlive the graphics).
GpStatus GdipCreateFromHDC(HDC DC, GpGraphics** Graphics);
// Replaces every pixel within the DC's clipping by Color (its alpha is dropped: surfaces of
// device contexts have none).
GpStatus GdipGraphicsClear(GpGraphics* Graphics, ARGB Color);
// The whole image at its own size with its top-left corner at (X, Y), source-over.
GpStatus GdipDrawImageI(GpGraphics* Graphics, GpImage* Image, INT X, INT Y);
GpStatus GdipDeleteGraphics(GpGraphics* Graphics);

// A bitmap is an image (as the library's classes are).
inline GpImage* AsImage(GpBitmap* Bitmap) {
  return reinterpret_cast<GpImage*>(Bitmap);
}
