#pragma once
// TIcon: an icon file's picture. The file is kept as it was read (SaveToStream writes it back
// unchanged); the picture shown is the largest, deepest one of the file, drawn with its
// transparency (alpha or mask) over whatever the canvas holds.

#include <vector>

#include "platform/forms/graphic.h"
#include "platform/forms/imagecodec.h"

class TIcon : public TGraphic {
  KORCAM_CLASS(TIcon, TGraphic)

 public:
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const RECT& Rect) override;
  // Reads the rest of the stream as one icon file. Raises EInvalidGraphic "Icon image is not
  // valid" on a fault and keeps the old picture.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // An icon has the size of its picture: raises EInvalidGraphicOperation.
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;

  // Blue, green, red, straight alpha, top row first (empty while the icon is).
  const imagecodec::TImage& Image() const { return FImage; }

 protected:
  void AssignTo(TPersistent* Dest) override;
  bool GetEmpty() const override { return FData.empty(); }
  int32_t GetWidth() const override { return FImage.Width; }
  int32_t GetHeight() const override { return FImage.Height; }
  bool GetTransparent() const override { return true; }

 private:
  void FreeCache();

  std::vector<uint8_t> FData;
  imagecodec::TImage FImage;
  HBITMAP FCache = nullptr;  // premultiplied 32-bit copy for blending
};
