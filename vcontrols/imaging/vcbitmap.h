#pragma once
// TvcBitmap: the visual library's graphic, a 24-bit top-down DIB section whose rows the pixel
// effects work on directly. Any canvas can draw it and any picture or class-library bitmap can
// be assigned to and from it. On top of the graphic contract it creates images at a size
// (white), loads bitmaps and other graphics, draws stretched (bilinear or plain), tiled and
// transparent through a mask of a key colour, handles palettes on palette displays, stores its
// pixels while it gives its GDI objects back, notifies change links, and runs the pixel effects.
//
// Rows: 3 bytes a pixel (blue, green, red), RowSize = 3 x Width + Width mod 4, top row first.
// The bitmap is empty exactly when it has no DIB section; then both sizes are 0.
//
// Copying out (AssignTo a class-library bitmap) gives the bitmap the pixel format and colour
// table of the source the pixels were loaded from, but only while the pixels are still that
// source's: once an effect, a drawing or a new image has changed them, the copy is made at 24
// bits, so that the processed picture is never squeezed back into an earlier picture's format.

#include <array>
#include <memory>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/graphic.h"
#include "platform/gdi/bitmap.h"
#include "vcontrols/imaging/effectchain.h"
#include "vcontrols/imaging/raster.h"

class TvcChangeLink;

class TvcBitmap : public TGraphic {
  KORCAM_CLASS(TvcBitmap, TGraphic)

 public:
  TvcBitmap();
  ~TvcBitmap() override;

  // --- the graphic contract ---
  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const RECT& Rect) override;
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  // Bitmap files, through a class-library bitmap.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;

  // --- new operations ---
  // Selects and realizes a palette on palette displays; answers the palette it replaced.
  virtual HPALETTE BeginPaletteDraw(TCanvas* ACanvas);
  virtual void EndPaletteDraw(TCanvas* ACanvas, HPALETTE Previous);
  // Frees the image (not the stored pixels): the bitmap becomes empty.
  virtual void ClearImage();
  // After a DIB section was made: the row tables, the memory DC and the canvas, then Changed.
  virtual void SetupRows();
  virtual void NotifyLinks();
  virtual void BuildPalette();
  // Links are not owned; a link registered twice is notified twice.
  virtual void RegisterLink(TvcChangeLink* Link);
  virtual void UnregisterLink(TvcChangeLink* Link);
  virtual void Clear();
  virtual void FreeStoredBits();
  // A white image of that size; a size of 0 leaves the bitmap empty.
  virtual void CreateDib(int32_t AWidth, int32_t AHeight);
  virtual void LoadFromBitmap(TBitmap* Source);
  virtual void ImportGraphic(TGraphic* Source);
  virtual void LoadFromGraphic(TGraphic* Source);
  virtual void LoadFromDibBits(const void* Bits, int32_t ByteCount, POINT Extent);
  virtual void AssignToBitmap(TBitmap* Target);
  // Recreates the image (white) only when the size changes.
  virtual void EnsureSize(int32_t AWidth, int32_t AHeight);
  // Changes the size keeping the picture, stretched.
  virtual void StretchResize(int32_t AWidth, int32_t AHeight);
  // Keeps a plain copy of the pixels and gives the GDI objects back (the bitmap is empty until
  // RestoreBits).
  virtual void StoreBits();
  virtual void SmoothStretchDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void FastStretchDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void TileDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void TransparentDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void RestoreBits();

  // --- pixel operations (none fires Changed; the caller repaints) ---
  virtual void ApplyBlurPass(int32_t Distance);
  virtual void ApplyContrast(int32_t Amount);
  virtual void ApplyEmboss();
  virtual void ApplyFlip(bool Horizontal);
  virtual void ApplyGaussianBlur(int32_t Amount);
  virtual void ApplyGrayScale();
  virtual void ApplyInvert();
  virtual void ApplyLightness(int32_t Amount);
  virtual void MakeMask(const TvcPixel& Key);
  virtual void ReplaceColor(const TvcPixel& OldPixel, const TvcPixel& NewPixel);
  virtual void ApplyTint(int32_t Red, int32_t Green, int32_t Blue);
  // Pixels equal to TransparentColor (when it is not clNone) are left alone.
  virtual void ApplyColor(int32_t Red, int32_t Green, int32_t Blue);
  virtual void ApplyRotation(POINT Center, long double Angle);
  virtual void ApplySaturation(int32_t Amount);
  virtual void ApplySharpen(int32_t Distance);
  virtual void ApplySponge(int32_t Amount);
  virtual void ApplyWave(bool Wrap, long double XDiv, long double YDiv, long double Ratio);
  // A blend bitmap of another size is stretched over this image when StretchAllowed; otherwise
  // it raises EInvalidOperation and changes nothing. A transparent blend bitmap leaves the image
  // alone where it has its top-left colour.
  void ApplyAlphaBlend(const TvcBitmap* Blend, int32_t Amount, bool StretchAllowed);

  // The whole of Source stretched over the image (bilinear with Smooth, else the plain stretch:
  // the same pixels as drawing a bitmap of Source's pixels stretched, without the temporary
  // bitmap), or tiled over it from the top-left corner. Source may have rows in either order.
  void StretchFrom(const TvcRaster& Source, bool Smooth);
  void TileFrom(const TvcRaster& Source);

  bool HasStoredBits() const { return FStoredSize > 0 && !FStoredPixels.empty(); }
  // The monochrome mask of the key colour (black where the key is), made on first use.
  TBitmap* GetMask();
  void FillDibHeader();

  // --- members ---
  bool SmoothStretching() const { return FSmoothStretching; }
  void SetSmoothStretching(bool Value) { FSmoothStretching = Value; }
  // clNone: the colour of the top-left pixel.
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value) { FTransparentColor = Value; }
  int32_t RowPad() const { return FRowPad; }
  int32_t RowSize() const { return FRowSize; }
  int32_t ImageSize() const { return FImageSize; }
  uint8_t* PixelData() const { return FPixelData; }
  uint8_t* RowStart(int32_t Y) const { return FRowStarts[size_t(Y)]; }
  HBITMAP DibHandle() const { return FDibHandle; }
  HDC MemoryDC() const { return FMemoryDC; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  TvcRaster Raster() const { return TvcRaster{FPixelData, FWidth, FHeight, FRowSize}; }
  POINT StoredExtent() const { return FStoredExtent; }
  int32_t StoredSize() const { return FStoredSize; }
  TPixelFormat SourcePixelFormat() const { return FSourcePixelFormat; }
  void SetSourcePixelFormat(TPixelFormat Value) { FSourcePixelFormat = Value; }
  HPALETTE PaletteHandle() const { return FPaletteHandle; }
  bool RespectPalette() const { return FRespectPalette; }
  void SetRespectPalette(bool Value) { FRespectPalette = Value; }
  bool HalftonePalette() const { return FHalftonePalette; }
  void SetHalftonePalette(bool Value) { FHalftonePalette = Value; }
  bool SuppressChange() const { return FSuppressChange; }
  void SetSuppressChange(bool Value) { FSuppressChange = Value; }
  const std::vector<TvcChangeLink*>& Links() const { return FLinks; }
  const BITMAPINFOHEADER& DibHeader() const { return FDibHeader; }
  bool DrawingForCopy() const { return FDrawingForCopy; }
  // [0]: the last loaded source had a colour table; [1]: more bits per pixel than the screen.
  const std::array<bool, 2>& SourceTraits() const { return FSourceTraits; }
  const std::array<RGBQUAD, 256>& SourceColorTable() const { return FSourceColorTable; }
  // Whether the pixels are still those of the last loaded source (see the file comment).
  bool PixelsFromSource() const { return FPixelsFromSource; }
  // The effects' scratch memory and blend cache, kept from one frame to the next.
  TvcEffectWorkspace& Workspace() { return FWorkspace; }

 protected:
  bool GetEmpty() const override { return FDibHandle == nullptr; }
  int32_t GetWidth() const override { return FWidth; }
  int32_t GetHeight() const override { return FHeight; }
  void Changed(TObject* Sender) override;
  void AssignTo(TPersistent* Dest) override;

 private:
  // Makes the DIB section for the current header; false when it cannot be made.
  bool MakeSection();
  // New pixels also outdate the transparency mask made from the old ones.
  void PixelsChanged() {
    FPixelsFromSource = false;
    FMask.reset();
  }
  void CanvasChanged(TObject* Sender) { PixelsChanged(); }
  // Palette work happens only on displays of 8 bits per pixel or fewer, when asked for.
  bool PaletteDisplay() const;
  TvcRasterTarget Target();

  bool FSmoothStretching = false;
  TColor FTransparentColor = clNone;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FRowPad = 0;
  std::unique_ptr<TBitmap> FMask;
  int32_t FRowSize = 0;
  int32_t FImageSize = 0;
  uint8_t* FPixelData = nullptr;
  HBITMAP FDibHandle = nullptr;
  HDC FMemoryDC = nullptr;
  HGDIOBJ FPreviousBitmap = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
  std::vector<uint8_t> FStoredPixels;
  int32_t FStoredSize = 0;
  POINT FStoredExtent{0, 0};
  TPixelFormat FSourcePixelFormat = pf24bit;
  HPALETTE FPaletteHandle = nullptr;
  bool FRespectPalette = false;
  bool FHalftonePalette = false;
  bool FSuppressChange = false;
  std::vector<TvcChangeLink*> FLinks;
  BITMAPINFO FDibInfo{};
  BITMAPINFOHEADER FDibHeader{};
  bool FDrawingForCopy = false;
  bool FPaletteHeld = false;
  std::array<bool, 2> FSourceTraits{false, false};
  std::vector<uint8_t*> FRowStarts;
  std::array<RGBQUAD, 256> FSourceColorTable{};
  bool FPixelsFromSource = false;
  TvcEffectWorkspace FWorkspace;
};
