#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

#include "tests/vcontrols/imaging/effectreference.h"

namespace vcreference {

namespace {

uint8_t& Channel(const TvcRaster& Image, int32_t X, int32_t Y, int Index) {
  return Image.At(X, Y)[Index];
}

// A white temporary image of the same size (what a freshly created bitmap holds).
struct TTemporary {
  std::vector<uint8_t> Bytes;
  TvcRaster Raster;
  explicit TTemporary(const TvcRaster& Like) : Bytes(Like.ImageSize(), 255) {
    Raster = TvcRaster{Bytes.data(), Like.Width, Like.Height, Like.RowSize};
  }
  void CopyPixelsTo(const TvcRaster& Image) const {
    for (int32_t y = 0; y < Image.Height; ++y)
      std::memcpy(Image.Row(y), Raster.Row(y), size_t(Image.Width) * 3);
  }
};

void ApplyTable(const TvcRaster& Image, const uint8_t* Table) {
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x)
      for (int c = 0; c < 3; ++c) Channel(Image, x, y, c) = Table[Channel(Image, x, y, c)];
}

}  // namespace

void ApplyGrayScale(const TvcRaster& Image) {
  if (Image.Empty()) return;
  uint8_t third[256];
  for (int i = 0; i < 256; ++i) third[i] = uint8_t(i / 3);
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      uint8_t* p = Image.At(x, y);
      const uint8_t gray = uint8_t(third[p[0]] + third[p[1]] + third[p[2]]);
      p[0] = p[1] = p[2] = gray;
    }
}

void ApplyLightness(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty()) return;
  uint8_t table[256];
  for (int64_t i = 0; i < 256; ++i) {
    if (Amount > 0)
      table[i] = ClampByte(int32_t(i + (((255 - i) * Amount) >> 8)));
    else
      table[i] = ClampByte(int32_t(i - ((i * -int64_t(Amount)) >> 8)));
  }
  ApplyTable(Image, table);
}

void ApplyAlphaBlend(const TvcRaster& Image, const TvcRaster& Blend, int32_t Amount, const TvcPixel* Key) {
  if (Image.Empty()) return;
  int32_t table[511];
  for (int32_t d = -255; d <= 255; ++d) table[d + 255] = (Amount * d) >> 8;
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      const uint8_t* b = Blend.At(x, y);
      if (Key && SamePixel(b, *Key)) continue;
      for (int c = 0; c < 3; ++c) {
        uint8_t& value = Channel(Image, x, y, c);
        value = uint8_t(value + table[b[c] - value + 255]);
      }
    }
}

void ApplyColor(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue, const TvcPixel* Key) {
  if (Image.Empty()) return;
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      uint8_t* p = Image.At(x, y);
      if (Key && SamePixel(p, *Key)) continue;
      p[0] = ClampByte(p[0] + Blue - 192);
      p[1] = ClampByte(p[1] + Green - 192);
      p[2] = ClampByte(p[2] + Red - 192);
    }
}

void ApplyTint(const TvcRaster& Image, int32_t Red, int32_t Green, int32_t Blue) {
  if (Image.Empty()) return;
  uint8_t blue[256], green[256], red[256];
  for (int i = 0; i < 256; ++i) {
    blue[i] = ClampByte(i + Blue);
    green[i] = ClampByte(i + Green);
    red[i] = ClampByte(i + Red);
  }
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      uint8_t* p = Image.At(x, y);
      p[0] = blue[p[0]];
      p[1] = green[p[1]];
      p[2] = red[p[2]];
    }
}

void ApplySponge(const TvcRaster& Image, int32_t Amount, TvcRandom& Random) {
  if (Image.Empty()) return;
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      const int32_t r = Random.Below(Amount);
      const int32_t xs = ClampInt(r - Random.Below(2 * r) + x, 0, Image.Width - 1);
      const int32_t ys = ClampInt(r - Random.Below(2 * r) + y, 0, Image.Height - 1);
      const TvcPixel source = ReadPixel(Image.At(xs, ys));
      uint8_t* p = Image.At(x, y);
      p[0] = source.Blue;
      p[1] = source.Green;
      p[2] = source.Red;
    }
}

void ApplySaturation(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty()) return;
  uint8_t third[256];
  int16_t scale[256];
  for (int i = 0; i < 256; ++i) {
    third[i] = uint8_t(i / 3);
    scale[i] = int16_t((i * Amount) >> 8);
  }
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x) {
      uint8_t* p = Image.At(x, y);
      const int32_t gray = third[p[0]] + third[p[1]] + third[p[2]];
      for (int c = 0; c < 3; ++c) p[c] = ClampByte(gray + scale[p[c]] - scale[gray]);
    }
}

void ApplyGaussianBlur(const TvcRaster& Image, int32_t Amount) {
  for (int32_t distance = Amount; distance >= 1; --distance) ApplyBlurPass(Image, distance);
}

void ApplyBlurPass(const TvcRaster& Image, int32_t Distance) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t yA = ClampInt(y + Distance, 0, h - 1);
      const int32_t yB = ClampInt(y - Distance, 0, h - 1);
      const int32_t xR = ClampInt(x + Distance, 0, w - 1);
      const int32_t xL = ClampInt(x - Distance, 0, w - 1);
      for (int c = 0; c < 3; ++c)
        Channel(Image, x, y, c) = uint8_t((Channel(Image, xR, yA, c) + Channel(Image, xR, yB, c) +
                                           Channel(Image, xL, yA, c) + Channel(Image, xL, yB, c)) >>
                                          2);
    }
}

void ApplyEmboss(const TvcRaster& Image) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  std::vector<uint8_t> lastRow(Image.Row(h - 1), Image.Row(h - 1) + size_t(w) * 3);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* partner;
      if (y <= h - 3)
        partner = x <= w - 3 ? Image.At(x + 1, y + 1) : Image.At(w - 1, y + 1);
      else
        partner = lastRow.data() + size_t(ClampInt(1, 0, w - 1)) * 3;
      for (int c = 0; c < 3; ++c) {
        uint8_t& value = Channel(Image, x, y, c);
        value = uint8_t((value + 255 - partner[c]) >> 1);
      }
    }
}

void ApplyInvert(const TvcRaster& Image) {
  if (Image.Empty()) return;
  for (int32_t y = 0; y < Image.Height; ++y)
    for (int32_t x = 0; x < Image.Width; ++x)
      for (int c = 0; c < 3; ++c) Channel(Image, x, y, c) = uint8_t(255 - Channel(Image, x, y, c));
}

void ApplyContrast(const TvcRaster& Image, int32_t Amount) {
  if (Image.Empty()) return;
  uint8_t table[256];
  for (int64_t i = 0; i < 256; ++i) {
    const int64_t spread = (std::abs(128 - i) * Amount) / 256;
    table[i] = ClampByte(int32_t(i <= 126 ? i - spread : i + spread));
  }
  ApplyTable(Image, table);
}

void ApplySharpen(const TvcRaster& Image, int32_t Distance) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t rows[3] = {ClampInt(y - Distance, 0, h - 1), y, ClampInt(y + Distance, 0, h - 1)};
      const int32_t columns[3] = {ClampInt(x - Distance, 0, w - 1), x, ClampInt(x + Distance, 0, w - 1)};
      for (int c = 0; c < 3; ++c) {
        int32_t sum = 0;
        for (int j = 0; j < 3; ++j)
          for (int i = 0; i < 3; ++i)
            if (i != 1 || j != 1) sum += Channel(Image, columns[i], rows[j], c);
        const int32_t centre = Channel(Image, x, y, c);
        Channel(Image, x, y, c) = ClampByte((256 * centre - 16 * sum) / 128);
      }
    }
}

void ApplyFlip(const TvcRaster& Image, bool Horizontal) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  if (Horizontal) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x <= (w - 1) / 2; ++x) {
        const TvcPixel left = ReadPixel(Image.At(x, y));
        std::memcpy(Image.At(x, y), Image.At(w - 1 - x, y), 3);
        std::memcpy(Image.At(w - 1 - x, y), &left, 3);
      }
  } else {
    std::vector<uint8_t> buffer(size_t(Image.RowSize));
    for (int32_t y = 0; y <= (h - 1) / 2; ++y) {
      std::memcpy(buffer.data(), Image.Row(y), buffer.size());
      std::memcpy(Image.Row(y), Image.Row(h - 1 - y), buffer.size());
      std::memcpy(Image.Row(h - 1 - y), buffer.data(), buffer.size());
    }
  }
}

void ApplyWave(const TvcRaster& Image, bool Wrap, long double XDiv, long double YDiv, long double Ratio) {
  if (Image.Empty() || XDiv == 0 || YDiv == 0) return;
  const int32_t w = Image.Width, h = Image.Height;
  TTemporary result(Image);
  std::vector<int32_t> rowShift(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) rowShift[y] = int32_t(std::nearbyint(Ratio * std::sin(y / YDiv)));
  for (int32_t x = 0; x < w; ++x) {
    const int32_t columnShift = int32_t(std::nearbyint(Ratio * std::sin(x / XDiv)));
    for (int32_t y = 0; y < h; ++y) {
      int32_t column = x + rowShift[y];
      int32_t row;
      if (!Wrap) {
        row = y + columnShift;
        if (column < 0 || column >= w || row < 0 || row >= h) continue;
      } else {
        if (column < 0)
          column = (w - 1) - ((-column) % w);
        else if (column >= w)
          column = column % w;
        int32_t start = columnShift;
        if (start < 0)
          start = (h - 1) - ((-start) % h);
        else if (start >= h)
          start = start % h;
        row = (start + y) % h;
      }
      std::memcpy(result.Raster.At(x, y), Image.At(column, row), 3);
    }
  }
  result.CopyPixelsTo(Image);
}

void ApplyRotation(const TvcRaster& Image, int32_t CenterX, int32_t CenterY, long double Angle) {
  if (Image.Empty()) return;
  const int32_t w = Image.Width, h = Image.Height;
  if (CenterX < 0) CenterX = w / 2;
  if (CenterY < 0) CenterY = h / 2;
  const TvcPixel background = ReadPixel(Image.At(0, 0));
  TTemporary result(Image);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) std::memcpy(result.Raster.At(x, y), &background, 3);
  const long double t = -Angle * std::numbers::pi_v<long double> / 180;
  const double s = std::sin(double(t));
  const double c = std::cos(double(t));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int64_t u = 2 * int64_t(x - CenterX) + 1;
      const int64_t v = 2 * int64_t(y - CenterY) + 1;
      const int64_t xs = (int64_t(std::nearbyint(double(u) * c - double(v) * s)) - 1) / 2 + CenterX;
      const int64_t ys = (int64_t(std::nearbyint(double(u) * s + double(v) * c)) - 1) / 2 + CenterY;
      if (xs >= 0 && xs < w && ys >= 0 && ys < h)
        std::memcpy(result.Raster.At(x, y), Image.At(int32_t(xs), int32_t(ys)), 3);
    }
  result.CopyPixelsTo(Image);
}

void SmoothStretch(const TvcRaster& Source, const TvcRaster& Target) {
  if (Source.Empty() || Target.Empty()) return;
  const int32_t stepX = ((Source.Width - 1) * 32768) / Target.Width;
  const int32_t stepY = ((Source.Height - 1) * 32768) / Target.Height;
  int32_t fy = 0;
  for (int32_t y = 0; y < Target.Height; ++y, fy += stepY) {
    const int32_t upperRow = fy >> 15;
    const int32_t lowerRow = Source.Height == 1 ? upperRow : upperRow + 1;
    const int32_t wy1 = fy & 32767, wy0 = 32768 - wy1;
    int32_t fx = 0;
    for (int32_t x = 0; x < Target.Width; ++x, fx += stepX) {
      const int32_t column = fx >> 15;
      const int32_t right = Source.Width == 1 ? column : column + 1;
      const int32_t f = fx & 32767;
      const int32_t a = (f * wy0) >> 15, topLeft = wy0 - a;
      const int32_t b = (f * wy1) >> 15, bottomLeft = wy1 - b;
      for (int c = 0; c < 3; ++c) {
        const int32_t value =
            (Channel(Source, column, upperRow, c) * topLeft + Channel(Source, right, upperRow, c) * a +
             Channel(Source, column, lowerRow, c) * bottomLeft + Channel(Source, right, lowerRow, c) * b) >>
            15;
        Channel(Target, x, y, c) = uint8_t(value);
      }
    }
  }
}

}  // namespace vcreference
