#pragma once
// Row access to pixel surfaces in every supported format. Drawing code works on rows of 32-bit
// "pixel values": 0x00RRGGBB for 16-, 24- and 32-bit surfaces (32-bit ones keep their fourth
// byte in bits 24..31), the colour-table index for 1-, 4- and 8-bit surfaces. Writes mask a
// value to the surface's bit depth.

#include <cstdint>
#include <vector>

#include "platform/gdi/dc.h"

namespace gdi {

inline bool IsIndexed(const TPixelSurface& Surface) {
  return Surface.BitCount <= 8;
}

// COLORREF (0x00BBGGRR) <-> 0x00RRGGBB.
constexpr uint32_t ColorRefToRgb(COLORREF Color) {
  return ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}
constexpr COLORREF RgbToColorRef(uint32_t Rgb) {
  return ((Rgb & 0xFF) << 16) | (Rgb & 0xFF00) | ((Rgb >> 16) & 0xFF);
}

// Reads Count pixel values of row Y from column X (all inside the surface).
void ReadRow(const TPixelSurface& Surface, int X, int Y, int Count, uint32_t* Values);
// Writes Count pixel values to row Y from column X.
void WriteRow(const TPixelSurface& Surface, int X, int Y, int Count, const uint32_t* Values);
// Writes Values only where Mask is non-zero.
void WriteRowMasked(const TPixelSurface& Surface, int X, int Y, int Count, const uint32_t* Values,
                    const uint8_t* Mask);
// Fills Count pixels of row Y from column X with one value.
void FillRow(const TPixelSurface& Surface, int X, int Y, int Count, uint32_t Value);
// Converts pixel values read from Surface to 0x00RRGGBB colours in place. Monochrome
// device-dependent bits take Zero and One (the text and background colours of the DC they are
// drawn with, as 0x00RRGGBB).
void ValuesToColors(const TPixelSurface& Surface, uint32_t* Values, int Count, uint32_t Zero, uint32_t One);
// The value of colour Rgb (0x00RRGGBB) on Surface.
uint32_t ColorToValue(const TPixelSurface& Surface, uint32_t Rgb);

// Calls Action(const RECT&) for each rectangle of Clip inside Bounds (both in surface
// coordinates), top band first, or bottom band first when BottomUp is set.
template <class TAction>
void ForEachClipRect(const TRegion& Clip, const RECT& Bounds, TAction&& Action, bool BottomUp = false) {
  if (Bounds.right <= Bounds.left || Bounds.bottom <= Bounds.top) return;
  int count = 0;
  const pixman_box32_t* boxes =
      pixman_region32_rectangles(const_cast<pixman_region32_t*>(Clip.Native()), &count);
  for (int k = 0; k < count; ++k) {
    const pixman_box32_t& box = boxes[BottomUp ? count - 1 - k : k];
    RECT r{box.x1 > Bounds.left ? box.x1 : Bounds.left, box.y1 > Bounds.top ? box.y1 : Bounds.top,
           box.x2 < Bounds.right ? box.x2 : Bounds.right, box.y2 < Bounds.bottom ? box.y2 : Bounds.bottom};
    if (r.right > r.left && r.bottom > r.top) Action(r);
  }
}

// A per-thread scratch row (Slot 0..7), grown as needed and kept, so steady-state drawing
// allocates nothing. Growing a slot moves it: take every pointer before using any.
uint32_t* ScratchRow(int Slot, size_t Count);

}  // namespace gdi
