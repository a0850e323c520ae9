#include "platform/forms/pixelrows.h"

#include <vector>

#include "platform/gdi/surface.h"

bool Is565(const TBitmapObject* Object) {
  return Object->IsDibSection() && Object->Surface().BitCount == 16 && Object->BitFields[1] == 0x07E0;
}

// Colours of a row of any bitmap as 0x00RRGGBB. Monochrome device-dependent bits take Zero and
// One (0x00RRGGBB).
void ReadColors(const TBitmapObject* Object, int32_t Y, int32_t Count, uint32_t* Colors, uint32_t Zero,
                uint32_t One) {
  const TPixelSurface& Surface = Object->Surface();
  if (Is565(Object)) {
    const uint8_t* P = Surface.Row(Y);
    for (int32_t X = 0; X < Count; ++X, P += 2) {
      const uint32_t V = uint32_t(P[0]) | (uint32_t(P[1]) << 8);
      const uint32_t R = V >> 11, G = (V >> 5) & 63, B = V & 31;
      Colors[X] = (((R << 3) | (R >> 2)) << 16) | (((G << 2) | (G >> 4)) << 8) | ((B << 3) | (B >> 2));
    }
    return;
  }
  gdi::ReadRow(Surface, 0, Y, Count, Colors);
  gdi::ValuesToColors(Surface, Colors, Count, Zero, One);
  if (Surface.BitCount == 32)
    for (int32_t X = 0; X < Count; ++X) Colors[X] &= 0xFFFFFF;
}

// Writes colours (0x00RRGGBB) into a row. A monochrome device-dependent target gets 1 where the
// colour is Background and 0 elsewhere, as a transfer from a DC with that background would.
void WriteColors(TBitmapObject* Object, int32_t Y, int32_t Count, uint32_t* Colors, uint32_t Background) {
  const TPixelSurface& Surface = Object->Surface();
  if (Is565(Object)) {
    uint8_t* P = Surface.Row(Y);
    for (int32_t X = 0; X < Count; ++X, P += 2) {
      const uint32_t C = Colors[X];
      const uint32_t V = (((C >> 16) & 0xF8) << 8) | (((C >> 8) & 0xFC) << 3) | ((C & 0xF8) >> 3);
      P[0] = uint8_t(V);
      P[1] = uint8_t(V >> 8);
    }
    return;
  }
  if (Object->UsesDCColors()) {
    for (int32_t X = 0; X < Count; ++X) Colors[X] = Colors[X] == Background ? 1 : 0;
  } else {
    for (int32_t X = 0; X < Count; ++X) Colors[X] = gdi::ColorToValue(Surface, Colors[X]);
  }
  gdi::WriteRow(Surface, 0, Y, Count, Colors);
}

// Copies the top-left Width x Height pixels of Source into Target, converting through colours.
// Used where a transfer cannot help: 5-6-5 images, which the drawing code does not know.
void CopyThroughColors(TBitmapObject* Source, TBitmapObject* Target, int32_t Width, int32_t Height,
                       COLORREF TextColor, COLORREF BkColor) {
  std::vector<uint32_t> Row(static_cast<size_t>(Width));
  const uint32_t Zero = gdi::ColorRefToRgb(TextColor), One = gdi::ColorRefToRgb(BkColor);
  for (int32_t Y = 0; Y < Height; ++Y) {
    ReadColors(Source, Y, Width, Row.data(), Zero, One);
    WriteColors(Target, Y, Width, Row.data(), One);
  }
}
