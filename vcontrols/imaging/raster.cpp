#include "vcontrols/imaging/raster.h"

void ColorToBGR(TColor Color, TvcPixel& Pixel) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  Pixel.Red = uint8_t(rgb);
  Pixel.Green = uint8_t(rgb >> 8);
  Pixel.Blue = uint8_t(rgb >> 16);
}

TColor PixelToColor(const TvcPixel& Pixel) {
  return TColor(Pixel.Red) | TColor(Pixel.Green) << 8 | TColor(Pixel.Blue) << 16;
}
