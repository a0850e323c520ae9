#pragma once
// TkvBitmap: the data-aware library's own graphic, a 24-bit top-down DIB section with a memory
// device context, a canvas bound to it and a table of row pointers for direct pixel work. The
// grid paint options build their tinted background copies with it (size, copy a rectangle onto
// the canvas, tint); the rest serves any program that uses it as a graphic: plain, transparent,
// smoothly or quickly stretched and tiled drawing, palettes on displays of 8 bits or fewer, a
// stored-pixels mode that gives the GDI objects back, and pixel operations.
//
// Rows: blue, green, red bytes per pixel; stride = Width x 3 + Width mod 4 (which pads every row
// to 4 bytes); row 0 is the top row. The graphic is empty exactly when it has no DIB section.
// Pixel operations work in place, row by row from the top, and never touch the padding bytes;
// on an empty image they do nothing.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/graphic.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/colors.h"

class TkvBitmap;

// An observer of a bitmap: the bitmap sets Sender to itself and calls Changed after every
// change notice. The bitmap does not own its links; a link unregisters itself before it dies.
class TkvChangeLink : public TObject {
  KORCAM_CLASS(TkvChangeLink, TObject)

 public:
  TkvChangeLink() = default;
  TObject* Sender = nullptr;
  TNotifyEvent OnChange;
  // Fires OnChange with Sender.
  virtual void Changed();
};

class TkvBitmap : public TGraphic {
  KORCAM_CLASS(TkvBitmap, TGraphic)

 public:
  TkvBitmap();
  ~TkvBitmap() override;

  // --- the graphic contract ---
  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const RECT& Rect) override;
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  // Bitmap files, through a class-library bitmap.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // The clipboard formats of the class library's graphics; this graphic offers none.
  void LoadFromClipboardFormat(uint16_t Format, uintptr_t Data, HPALETTE APalette) {}
  void SaveToClipboardFormat(uint16_t& Format, uintptr_t& Data, HPALETTE& APalette) {}

  // --- new operations, in the order descendants may override them ---
  virtual void EndPaletteDraw(TCanvas* ACanvas, HPALETTE OldPalette);
  virtual void BeginPaletteDraw(TCanvas* ACanvas, HPALETTE& OldPalette);
  // Unbinds the canvas and frees the memory DC, the section, the row table and the mask.
  virtual void ClearImage();
  // After a section was made: stride, gap, size, row table, memory DC, canvas; change notice.
  virtual void SetupRows();
  virtual void NotifyLinks();
  virtual void BuildPalette();
  virtual void RegisterLink(TkvChangeLink* Link);
  virtual void UnregisterLink(TkvChangeLink* Link);
  virtual void Clear();
  virtual void FreeStoredBits();
  // A white image of that size; a zero size leaves the graphic empty.
  virtual void CreateDib(int32_t AWidth, int32_t AHeight);
  virtual void LoadFromBitmap(TBitmap* Bitmap);
  virtual void LoadFromGraphic(TGraphic* Graphic);
  virtual void AssignGraphic(TGraphic* Source);
  // Bits are packed rows of this class's own layout (the stored-pixels copy).
  virtual void LoadFromDibBits(const void* Bits, int32_t ByteCount, POINT Dimensions);
  virtual void AssignToBitmap(TBitmap* Bitmap);
  // Recreates the image (white) unless it already has that size; then the pixels stay.
  virtual void SetSize(int32_t AWidth, int32_t AHeight);
  virtual void StretchResize(int32_t AWidth, int32_t AHeight);
  virtual void StoreBits();
  virtual void SmoothStretchDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void FastStretchDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void TileDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void TransparentDraw(TCanvas* ACanvas, const RECT& Rect);
  virtual void RestoreBits();

  // --- pixel operations ---
  virtual void BlurPass(int32_t Distance);
  virtual void ApplyContrast(int32_t Amount);
  virtual void ApplyEmboss();
  virtual void ApplyFlip(bool Horizontal);
  virtual void ApplyGaussianBlur(int32_t Amount);
  virtual void ApplyGrayScale();
  virtual void ApplyInvert();
  virtual void ApplyLightness(int32_t Amount);
  virtual void MakeMask(TColor Color);
  virtual void ReplaceColor(TColor OldColor, TColor NewColor);
  virtual void AddColorOffsets(int32_t R, int32_t G, int32_t B);
  // The tint of the grid paint options: channel + c div 2 - 128, clamped.
  virtual void ApplyColor(int32_t R, int32_t G, int32_t B);
  // Center (-1, -1) turns about the middle; Angle in degrees.
  virtual void ApplyRotation(POINT Center, double Angle);
  virtual void ApplySaturation(int32_t Amount);
  virtual void ApplySharpen(int32_t Distance);
  virtual void ApplySponge(int32_t Amount);
  virtual void ApplyWave(bool Wrap, double Ratio, double YDiv, double XDiv);

  // --- state ---
  TCanvas* Canvas() const { return FCanvas.get(); }
  HBITMAP Handle() const { return FHandle; }
  HDC MemoryDC() const { return FMemoryDC; }
  // Row Row (0 = top); nullptr outside the image.
  uint8_t* ScanLine(int32_t Row) const;
  int32_t RowSize() const { return FRowSize; }
  int32_t RowGap() const { return FRowGap; }
  int32_t ImageSize() const { return FImageSize; }
  // Colour of a pixel as a TColor (red in the low byte); clNone outside the image.
  TColor PixelColor(int32_t X, int32_t Y) const;
  void SetPixelColor(int32_t X, int32_t Y, TColor Color);

  TColor TransparentColor() const { return FTransparentColor; }
  // clNone means the colour of the top-left pixel. A new colour drops the mask.
  void SetTransparentColor(TColor Value);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
  bool SmoothStretching() const { return FSmoothStretching; }
  void SetSmoothStretching(bool Value) { FSmoothStretching = Value; }
  bool RespectPalette() const { return FRespectPalette; }
  void SetRespectPalette(bool Value) { FRespectPalette = Value; }
  bool UseHalftonePalette() const { return FUseHalftonePalette; }
  void SetUseHalftonePalette(bool Value) { FUseHalftonePalette = Value; }
  HPALETTE Palette() const override { return FPalette; }
  bool HasColorTable() const { return FHasColorTable; }
  bool DeeperThanScreen() const { return FDeeperThanScreen; }
  // The monochrome mask of the transparent colour, made once and kept until the image changes.
  TBitmap* GetMask();
  bool HasStoredBits() const { return !FStoredBits.empty(); }

 protected:
  bool GetEmpty() const override { return FHandle == nullptr; }
  int32_t GetWidth() const override { return FWidth; }
  int32_t GetHeight() const override { return FHeight; }
  void Changed(TObject* Sender) override;
  void AssignTo(TPersistent* Dest) override;

 private:
  // The transparent colour in effect: the set one, else the top-left pixel's.
  TColor EffectiveTransparentColor() const;
  bool MakeSection(int32_t AWidth, int32_t AHeight);
  void FreePalette();
  // Draws Image onto the canvas at Rect through Mask (see the .cpp).
  void DrawThroughMask(TCanvas* ACanvas, const RECT& Rect, TBitmap* Image, bool WorkInCopy, TBitmap* Mask);
  template <class F>
  void ForEachPixel(F&& Operation);
  void ApplyTable(const std::array<uint8_t, 256>& Table);

  std::unique_ptr<TCanvas> FCanvas;
  BITMAPINFO FInfo{};
  HBITMAP FHandle = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  HDC FMemoryDC = nullptr;
  uint8_t* FBits = nullptr;
  std::vector<uint8_t*> FRows;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FRowSize = 0;
  int32_t FRowGap = 0;
  int32_t FImageSize = 0;
  std::array<RGBQUAD, 256> FColorTable{};
  bool FHasColorTable = false;
  bool FDeeperThanScreen = false;
  HPALETTE FPalette = nullptr;
  bool FRespectPalette = false;
  bool FUseHalftonePalette = false;
  TColor FTransparentColor = clNone;
  std::unique_ptr<TBitmap> FMask;
  TPixelFormat FPixelFormat = pf24bit;
  bool FSmoothStretching = false;
  std::vector<uint8_t> FStoredBits;
  int32_t FStoredWidth = 0;
  int32_t FStoredHeight = 0;
  bool FIgnoreChange = false;
  bool FAssigning = false;
  bool FSkipPalette = false;
  std::vector<TkvChangeLink*> FLinks;
};
