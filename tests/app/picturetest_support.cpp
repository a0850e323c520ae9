#include "platform/forms/jpegimage.h"
#include "platform/forms/picture.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "tests/app/picturetest.h"
#include "vcontrols/imaging/vcbitmap.h"

std::unique_ptr<TBitmap> MakeFrame(int Width, int Height, const TPixelFunction& Color) {
  auto Frame = std::make_unique<TBitmap>();
  Frame->SetPixelFormat(pf24bit);
  Frame->SetSize(Width, Height);
  for (int Y = 0; Y < Height; ++Y) {
    auto* Row = static_cast<uint8_t*>(Frame->ScanLine(Y));
    for (int X = 0; X < Width; ++X) {
      const uint32_t Value = Color(X, Y);
      Row[X * 3] = uint8_t(Value);
      Row[X * 3 + 1] = uint8_t(Value >> 8);
      Row[X * 3 + 2] = uint8_t(Value >> 16);
    }
  }
  return Frame;
}

uint32_t RgbOf(TBitmap& Bitmap, int X, int Y) {
  const auto* Pixel = static_cast<const uint8_t*>(Bitmap.ScanLine(Y)) + X * 3;
  return uint32_t(Pixel[2]) << 16 | uint32_t(Pixel[1]) << 8 | Pixel[0];
}

void WritePngFile(const std::string& Path, int Width, int Height, const TPixelFunction& Argb) {
  TBgraImage Image;
  Image.Resize(Width, Height);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const uint32_t Value = Argb(X, Y);
      uint8_t* Pixel = Image.Row(Y) + X * 4;
      Pixel[0] = uint8_t(Value);
      Pixel[1] = uint8_t(Value >> 8);
      Pixel[2] = uint8_t(Value >> 16);
      Pixel[3] = uint8_t(Value >> 24);
      if (Pixel[3] != 255) Image.HasAlpha = true;
    }
  // A picture without transparency is written without an alpha channel.
  TPixelView View = Image.View();
  if (!Image.HasAlpha) View.Format = TPixelLayout::Bgrx32;
  SavePngFile(Path, View);
}

void WriteBmpFile(const std::string& Path, int Width, int Height, const TPixelFunction& Rgb) {
  MakeFrame(Width, Height, Rgb)->SaveToFile(Path);
}

void WriteJpegFile(const std::string& Path, int Width, int Height, const TPixelFunction& Rgb) {
  auto Frame = MakeFrame(Width, Height, Rgb);
  TJPEGImage Jpeg;
  Jpeg.Assign(Frame.get());
  Jpeg.SetCompressionQuality(95);
  Jpeg.SaveToFile(Path);
}

void TPictureTest::Compose(std::unique_ptr<TBitmap> Picture) {
  // A composition leaves the live image's processed bitmap there.
  TvcBitmap Processed;
  Processed.Assign(Picture.get());
  FormGhost->FComposedPicture->SetGraphic(&Processed);
}
