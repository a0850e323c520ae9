#pragma once
// The backing store of a top-level window: one 32-bit pixel buffer the size of the window, into
// which the window and all its children paint through clipped device contexts, and the part of
// it changed since the back end last presented it.

#include <cstdint>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"

namespace UserImpl {

struct TBackingStore {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // Window coordinates of the top-level window.
  TRegion Dirty;

  void Resize(int NewWidth, int NewHeight);
  TPixelSurface Surface();
};

}  // namespace UserImpl
