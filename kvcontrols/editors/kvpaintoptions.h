#pragma once
// TkvGridPaintOptions: the PaintOptions of the inspector and of the data grid. A background
// picture drawn behind the cells (tiled, stretched, at the top left or centred), an alternating
// row colour, an active record colour, and options that say which regions show the picture and
// which show it tinted. It also owns the prepared background images the owners paint their cell
// backgrounds from: a plain copy of the picture at the owner's size and up to four tinted copies.
// A cell copies its background from the image at the same client coordinates, so the picture
// stays fixed to the control while the rows scroll over it.
//
// The prepared images describe the owner's size at the last PrepareBackground; the owners mark
// them stale (BackgroundStale) on every size change and on changes of the colours they feed in
// (FixedColumnColor, FixedRowColor).

#include <memory>

#include "kvcontrols/editors/kvbitmap.h"
#include "platform/classes/persistent.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/picture.h"
#include "platform/gdi/colors.h"

class TCanvas;
class TCustomGrid;

KORCAM_ENUM(TkvBackgroundDrawStyle, bdsTile, bdsStretch, bdsTopLeft, bdsCenter)
KORCAM_ENUM(TkvAlternatingRowRegion, arrFixedColumns, arrDataColumns, arrActiveDataColumn)
using TkvAlternatingRowRegions = TSet<TkvAlternatingRowRegion>;
KORCAM_ENUM(TkvBackgroundOption, coFillDataCells, coBlendFixedRow, coBlendFixedColumn, coBlendActiveRecord,
            coBlendAlternatingRow)
using TkvBackgroundOptions = TSet<TkvBackgroundOption>;

class TkvGridPaintOptions : public TPersistent {
  KORCAM_CLASS(TkvGridPaintOptions, TPersistent)

 public:
  // Grid must be a TCustomGrid (anything else raises EInvalidCast "Invalid class typecast"; nil
  // is allowed and makes the writers store only). PaintBitmap is the owner's off-screen bitmap:
  // not owned, it is the drawing surface of PrepareBackground.
  TkvGridPaintOptions(TObject* Grid, TBitmap* PaintBitmap);
  ~TkvGridPaintOptions() override;

  // Assigning always copies the picture and marks the images stale (while a grid is set).
  OWNED_PROPERTY(TPicture, BackgroundBitmap)
  PROPERTY(TkvBackgroundDrawStyle, BackgroundDrawStyle, bdsTile)
  // Changing the regions repaints but does not rebuild the images.
  PROPERTY(TkvAlternatingRowRegions, AlternatingRowRegions, arrFixedColumns, arrDataColumns,
           arrActiveDataColumn)
  PLAIN_PROPERTY(bool, FastRecordScrolling, true)
  // clNone switches alternating rows off.
  PROPERTY(TColor, AlternatingRowColor, clNone)
  // clNone switches the active record colour off.
  PROPERTY(TColor, ActiveRecordColor, clNone)
  PROPERTY(TkvBackgroundOptions, BackgroundOptions)

  TCustomGrid* Grid() const { return FGrid; }
  TBitmap* PaintBitmap() const { return FPaintBitmap; }
  // The canvas of PaintBitmap.
  virtual TCanvas* GetPaintCanvas();
  // True when BackgroundCopy exists and BackgroundOptions has coFillDataCells.
  virtual bool IsFillDataCells() const;
  // Rebuilds the images when stale (or when Force): PaintBitmap gets the owner's bounds size,
  // white, with the picture drawn by BackgroundDrawStyle; then, unless the screen has 8 bits per
  // pixel or fewer (where the images keep whatever state they had), the plain copy and each
  // tinted copy is made or freed as the picture, the colours and the options say. Clears
  // BackgroundStale on every way out; errors of the picture drawing pass to the caller.
  void PrepareBackground(bool Force);

  // Written by the owners: the tints of the fixed-column and fixed-row copies (both start black).
  TColor FixedColumnColor = TColor(0);
  TColor FixedRowColor = TColor(0);
  // The prepared images must be rebuilt before the next paint.
  bool BackgroundStale = false;

  // The prepared images; nil until built (and after a preparation that frees them).
  TBitmap* BackgroundCopy() const { return FBackgroundCopy.get(); }
  TkvBitmap* ActiveRecordCopy() const { return FActiveRecordCopy.get(); }
  TkvBitmap* AlternatingRowCopy() const { return FAlternatingRowCopy.get(); }
  TkvBitmap* FixedColumnCopy() const { return FFixedColumnCopy.get(); }
  // As wide as the owner and as high as its first row.
  TkvBitmap* FixedRowCopy() const { return FFixedRowCopy.get(); }

 private:
  void InvalidateGrid();
  void DrawPicture(int Width, int Height);
  // Makes Copy (when missing) a tinted copy of Area of the paint canvas; Tint clNone leaves it
  // untinted.
  void BuildTinted(std::unique_ptr<TkvBitmap>& Copy, const RECT& Area, TColor Tint);
  void PrepareImages(int Width, int Height);

  TCustomGrid* FGrid;
  TBitmap* FPaintBitmap;
  std::unique_ptr<TBitmap> FBackgroundCopy;
  std::unique_ptr<TkvBitmap> FActiveRecordCopy;
  std::unique_ptr<TkvBitmap> FAlternatingRowCopy;
  std::unique_ptr<TkvBitmap> FFixedColumnCopy;
  std::unique_ptr<TkvBitmap> FFixedRowCopy;
};
