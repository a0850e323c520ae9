#pragma once
// Internal to the X11 back end: showing parts of a backing store in an X window, and the window
// shapes that window regions and colour keys give.
//
// A store holds 32-bit pixels 0x00RRGGBB. On the usual true-colour visual (32 bits per pixel,
// the same masks and byte order) rows go to the server as they are; other visuals get each pixel
// converted. With shared memory the rows are copied into a segment the server reads (the caller
// syncs before the next copy); without it XPutImage sends them in the request.

#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"

#include "platform/backends/x11/x11connection.h"

#include <X11/extensions/XShm.h>

namespace X11Impl {

class TX11ImageBuffer {
 public:
  TX11ImageBuffer(TX11Connection& Connection, bool UseSharedMemory);
  ~TX11ImageBuffer();
  TX11ImageBuffer(const TX11ImageBuffer&) = delete;
  TX11ImageBuffer& operator=(const TX11ImageBuffer&) = delete;

  // Shows Area (X window coordinates, inside the window's Width x Height) of Source, whose pixel
  // (X, Y) shows at X window point (X - Origin.x, Y - Origin.y). Returns true when shared memory
  // was used: the caller must sync with the server before the next Put.
  bool Put(::Window Target, GC Context, const TPixelSurface& Source, POINT Origin, int Width, int Height,
           const TRegion& Area);

 private:
  bool EnsureShared(int Width, int Height);
  void ReleaseShared();
  void PutPlain(::Window Target, GC Context, const TPixelSurface& Source, POINT Origin, const RECT& Rect);

  TX11Connection& FConnection;
  bool FUseShared;
  XImage* FShared = nullptr;
  XShmSegmentInfo FSegment{};
  bool FAttached = false;
  std::vector<uint32_t> FRows;  // conversion buffer of the plain path
};

// The pixels of Source (inside Bounds, X window coordinates shifted by Origin as above) that are
// not Key (0x00RRGGBB), as a region in X window coordinates.
TRegion RegionWithoutColor(const TPixelSurface& Source, POINT Origin, int Width, int Height, uint32_t Key);

// Sets the bounding shape of the window (X window coordinates), or removes it (null).
void SetWindowShape(TX11Connection& Connection, ::Window Target, const TRegion* Shape);

}  // namespace X11Impl
