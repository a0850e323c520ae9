#include "tests/vcontrols/imaging/image_support.h"

#include "platform/rtl/format.h"
#include "vcontrols/imaging/random.h"

TTestImage::TTestImage(int32_t Width, int32_t Height, TvcPixel Fill)
    : FWidth(Width), FHeight(Height), FBytes(size_t(vcRowSize(Width)) * size_t(Height), PadMarker) {
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      uint8_t* p = Raster().At(x, y);
      p[0] = Fill.Blue;
      p[1] = Fill.Green;
      p[2] = Fill.Red;
    }
}

TTestImage TTestImage::FromColors(int32_t Width, std::initializer_list<uint32_t> Colors) {
  TTestImage image(Width, int32_t(Colors.size()) / Width);
  int32_t i = 0;
  for (uint32_t color : Colors) {
    image.SetColor(i % Width, i / Width, color);
    ++i;
  }
  return image;
}

TTestImage TTestImage::Random(int32_t Width, int32_t Height, uint64_t Seed) {
  TTestImage image(Width, Height);
  TvcRandom random(Seed);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width * 3; ++x) image.Raster().Row(y)[x] = uint8_t(random.Next());
  return image;
}

TTestImage TTestImage::Levels(int32_t Width, std::initializer_list<uint8_t> Levels) {
  TTestImage image(Width, int32_t(Levels.size()) / Width);
  int32_t i = 0;
  for (uint8_t level : Levels) {
    uint8_t* p = image.Raster().At(i % Width, i / Width);
    p[0] = p[1] = p[2] = level;
    ++i;
  }
  return image;
}

TvcPixel TTestImage::Pixel(int32_t X, int32_t Y) const {
  return ReadPixel(FBytes.data() + size_t(Y) * vcRowSize(FWidth) + size_t(X) * 3);
}

uint32_t TTestImage::Color(int32_t X, int32_t Y) const {
  const TvcPixel p = Pixel(X, Y);
  return uint32_t(p.Red) << 16 | uint32_t(p.Green) << 8 | p.Blue;
}

void TTestImage::SetColor(int32_t X, int32_t Y, uint32_t Color) {
  uint8_t* p = Raster().At(X, Y);
  p[0] = uint8_t(Color);
  p[1] = uint8_t(Color >> 8);
  p[2] = uint8_t(Color >> 16);
}

std::vector<uint8_t> TTestImage::Channels() const {
  std::vector<uint8_t> result;
  for (int32_t y = 0; y < FHeight; ++y)
    for (int32_t x = 0; x < FWidth; ++x) {
      const TvcPixel p = Pixel(x, y);
      result.insert(result.end(), {p.Blue, p.Green, p.Red});
    }
  return result;
}

bool TTestImage::PadsIntact() const {
  const int32_t rowSize = vcRowSize(FWidth);
  for (int32_t y = 0; y < FHeight; ++y)
    for (int32_t i = FWidth * 3; i < rowSize; ++i)
      if (FBytes[size_t(y) * rowSize + i] != PadMarker) return false;
  return true;
}

std::string DescribeDifference(const TTestImage& Actual, const TTestImage& Expected) {
  if (Actual.Width() != Expected.Width() || Actual.Height() != Expected.Height())
    return Format("size %dx%d, want %dx%d", Actual.Width(), Actual.Height(), Expected.Width(),
                  Expected.Height());
  std::string text;
  int shown = 0, differing = 0;
  for (int32_t y = 0; y < Actual.Height(); ++y)
    for (int32_t x = 0; x < Actual.Width(); ++x)
      if (Actual.Color(x, y) != Expected.Color(x, y)) {
        ++differing;
        if (shown++ < 6)
          text += Format("(%d,%d) is %.6X want %.6X; ", x, y, Actual.Color(x, y), Expected.Color(x, y));
      }
  if (differing)
    text = Format("%dx%d, %d pixels differ: ", Actual.Width(), Actual.Height(), differing) + text;
  if (!Actual.PadsIntact()) text += "pad bytes written";
  return text;
}
