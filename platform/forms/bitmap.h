#pragma once
// TBitmap: a picture held by the graphics device layer, with a canvas to draw on it and direct
// access to its pixel rows.
//
// The image is a DIB section (HandleType bmDIB) in one of the pixel formats pf1bit..pf32bit, or
// a device-dependent bitmap (bmDDB, PixelFormat pfDevice) at the screen's depth or monochrome.
// DIB sections are bottom-up, as bitmap files store them: ScanLine(0) is the top row and lies at
// the end of the memory block; rows are padded to 4 bytes. ScanLine answers a pointer straight
// into the section, so pixel code runs on the live image.
//
// Changing the size keeps the old pixels at the top-left and fills the new area with the
// canvas's brush colour (white without a canvas). Converting between formats goes through the
// device layer's transfers, with the canvas's colours deciding the monochrome cases: a colour
// image made monochrome turns pixels of the brush colour white and all others black, and a
// monochrome image made colour shows its 0 bits in the font colour and its 1 bits in the brush
// colour.
//
// Assigning a bitmap of the same size and layout copies the pixels into the existing section, so
// a caller that assigns a frame per tick allocates nothing once the first frame is in place.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/graphic.h"
#include "platform/forms/graphics.h"

class TCanvas;
class TBitmapCanvas;

class TBitmap : public TGraphic {
  KORCAM_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const RECT& Rect) override;

  void LoadFromStream(TStream& Stream) override;
  // Writes a bitmap file of the image's own layout (colour table, bit fields), rows bottom-up.
  void SaveToStream(TStream& Stream) override;
  // The embedded bitmap of that resource name: the file "glyphs/<name in lower case>.bmp" under
  // the resources. Raises EResNotFound "Resource <name> not found" when there is none.
  void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) override;

  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  void SetSize(int32_t AWidth, int32_t AHeight);

  // The bitmap's canvas, made on first use; drawing on it changes the bitmap (OnChange).
  TCanvas* Canvas();

  HBITMAP Handle();
  // Adopts a bitmap handle (the bitmap deletes it later).
  void SetHandle(HBITMAP Value);
  // Gives up the handle to the caller; the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  TBitmapHandleType HandleType() const;
  void SetHandleType(TBitmapHandleType Value);

  // A monochrome bitmap of the image: 1 (white) where the image has TransparentColor, 0 elsewhere.
  // Made on first use and kept until the image changes.
  HBITMAP MaskHandle();
  void SetMaskHandle(HBITMAP Value);
  HBITMAP ReleaseMaskHandle();
  // Makes the mask of the given colour.
  void Mask(TColor TransparentColor);

  bool Monochrome() const;
  void SetMonochrome(bool Value);
  TPixelFormat PixelFormat() const;
  // Converts the image; on an empty bitmap, chooses the layout of the next image. Raises
  // EInvalidGraphic "Invalid pixel format" for pfCustom.
  void SetPixelFormat(TPixelFormat Value);

  // Row Row (0 = top) of the DIB section; a device-dependent image becomes a DIB section first.
  // Raises EInvalidGraphicOperation "Scan line index out of range" outside 0..Height-1.
  void* ScanLine(int32_t Row);
  // Bytes from one row to the next in memory (rows go downwards in memory as Row decreases).
  int32_t RowBytes();

  // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set. clDefault when empty.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // A palette of the colour table of an indexed image (nullptr for the others); the bitmap owns it.
  HPALETTE Palette() const override;
  void SetPalette(HPALETTE Value) override;
  HPALETTE ReleasePalette();

  // Keeps the image as file bytes in memory and frees the device handle; the next use of the
  // handle, canvas or pixels brings it back.
  void Dormant();
  // Frees the memory copy of a dormant image once the handle is back (nothing otherwise).
  void FreeImage();

 protected:
  bool GetEmpty() const override;
  int32_t GetWidth() const override { return FWidth; }
  int32_t GetHeight() const override { return FHeight; }
  void Changed(TObject* Sender) override;

 private:
  friend class TBitmapCanvas;

  struct TLayout {
    TBitmapHandleType Type = bmDIB;
    TPixelFormat Format = pf24bit;  // pfDevice for device-dependent images
    bool Mono = false;              // device-dependent monochrome
  };

  void HandleNeeded();
  void FreeContext();
  // Replaces the image by a new one of that size and layout, keeping the old pixels at the
  // top-left (converted) and filling the rest. Frees the old handle.
  void NewImage(int32_t AWidth, int32_t AHeight, const TLayout& Layout);
  void FreeHandle();
  void FreeMask();
  TLayout CurrentLayout() const;
  TLayout RequestedLayout() const;
  // Copies Source's pixels into this image when both have the same size and layout.
  bool CopyPixelsFrom(TBitmap& Source);
  void LoadBitmapFile(const uint8_t* Data, size_t Size);

  HBITMAP FHandle = nullptr;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;  // the layout of the next image while empty
  bool FMonochrome = false;
  HBITMAP FMaskHandle = nullptr;
  TColor FMaskColor = clDefault;
  mutable HPALETTE FPalette = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  std::vector<uint8_t> FDormantImage;  // a bitmap file while dormant
  bool FDormant = false;
};

// The colour table a new image of an indexed format starts with (0x00RRGGBB entries).
std::vector<uint32_t> DefaultColorTable(TPixelFormat Format);
