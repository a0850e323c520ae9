#include "kvcontrols/editors/kvpaintoptions.h"

#include "platform/forms/canvas.h"
#include "platform/forms/grids.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/paint.h"

KORCAM_REGISTER_CLASS(TkvGridPaintOptions)

TkvGridPaintOptions::TkvGridPaintOptions(TObject* Grid, TBitmap* PaintBitmap)
    : FGrid(As<TCustomGrid>(Grid)), FPaintBitmap(PaintBitmap) {
  // The picture reports its own changes to nobody: drawing into it or loading it directly does
  // not mark the images stale; only the BackgroundBitmap writer does.
  FBackgroundBitmap = std::make_unique<TPicture>();
}

TkvGridPaintOptions::~TkvGridPaintOptions() = default;

void TkvGridPaintOptions::InvalidateGrid() {
  if (FGrid) FGrid->Invalidate();
}

void TkvGridPaintOptions::SetAlternatingRowRegions(const TkvAlternatingRowRegions& Value) {
  if (Value == FAlternatingRowRegions) return;
  FAlternatingRowRegions = Value;
  InvalidateGrid();
}

void TkvGridPaintOptions::SetAlternatingRowColor(TColor Value) {
  if (Value == FAlternatingRowColor) return;
  FAlternatingRowColor = Value;
  BackgroundStale = true;
  InvalidateGrid();
}

void TkvGridPaintOptions::SetActiveRecordColor(TColor Value) {
  if (Value == FActiveRecordColor) return;
  FActiveRecordColor = Value;
  BackgroundStale = true;
  InvalidateGrid();
}

void TkvGridPaintOptions::SetBackgroundOptions(const TkvBackgroundOptions& Value) {
  if (Value == FBackgroundOptions) return;
  FBackgroundOptions = Value;
  if (!FGrid) return;
  BackgroundStale = true;
  InvalidateGrid();
}

void TkvGridPaintOptions::SetBackgroundDrawStyle(TkvBackgroundDrawStyle Value) {
  if (Value == FBackgroundDrawStyle) return;
  FBackgroundDrawStyle = Value;
  BackgroundStale = true;
  InvalidateGrid();
}

void TkvGridPaintOptions::SetBackgroundBitmap(TPicture* Value) {
  FBackgroundBitmap->Assign(Value);
  if (!FGrid) return;
  BackgroundStale = true;
  InvalidateGrid();
}

TCanvas* TkvGridPaintOptions::GetPaintCanvas() {
  return FPaintBitmap->Canvas();
}

bool TkvGridPaintOptions::IsFillDataCells() const {
  return FBackgroundCopy && FBackgroundOptions.Contains(coFillDataCells);
}

void TkvGridPaintOptions::DrawPicture(int Width, int Height) {
  TCanvas* Canvas = GetPaintCanvas();
  TGraphic* Graphic = FBackgroundBitmap->Graphic();
  const int PictureWidth = FBackgroundBitmap->Width();
  const int PictureHeight = FBackgroundBitmap->Height();
  switch (FBackgroundDrawStyle) {
    case bdsTile:
      // Both ends inclusive, so a tile cut by the right or bottom edge is still drawn.
      if (PictureHeight <= 0) break;
      for (int Column = 0; Column <= Width / PictureWidth; ++Column)
        for (int Row = 0; Row <= Height / PictureHeight; ++Row)
          Canvas->Draw(Column * PictureWidth, Row * PictureHeight, Graphic);
      break;
    case bdsStretch:
      Canvas->StretchDraw(RECT{0, 0, Width, Height}, Graphic);
      break;
    case bdsTopLeft:
      Canvas->Draw(0, 0, Graphic);
      break;
    case bdsCenter:
      // A picture larger than the control gets a negative offset and is cut on both sides.
      Canvas->Draw((Width - PictureWidth) / 2, (Height - PictureHeight) / 2, Graphic);
      break;
  }
}

void TkvGridPaintOptions::BuildTinted(std::unique_ptr<TkvBitmap>& Copy, const RECT& Area, TColor Tint) {
  if (!Copy) Copy = std::make_unique<TkvBitmap>();
  Copy->SetSize(Area.right - Area.left, Area.bottom - Area.top);
  if (Copy->Empty()) return;
  Copy->Canvas()->CopyRect(Area, GetPaintCanvas(), Area);
  if (Tint == clNone) return;
  const int32_t Rgb = ColorToRGB(Tint);
  Copy->ApplyColor(Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF);
}

void TkvGridPaintOptions::PrepareImages(int Width, int Height) {
  const bool Present = FBackgroundBitmap->Width() != 0;
  const RECT Whole{0, 0, Width, Height};

  if (Present) {
    if (!FBackgroundCopy) FBackgroundCopy = std::make_unique<TBitmap>();
    FBackgroundCopy->Assign(FPaintBitmap);
  } else {
    FBackgroundCopy.reset();
  }

  if (FActiveRecordColor != clNone && Present && FBackgroundOptions.Contains(coBlendActiveRecord))
    BuildTinted(FActiveRecordCopy, Whole, FActiveRecordColor);
  else
    FActiveRecordCopy.reset();

  if (FAlternatingRowColor != clNone && !FAlternatingRowRegions.Empty() && Present &&
      FBackgroundOptions.Contains(coBlendAlternatingRow))
    BuildTinted(FAlternatingRowCopy, Whole, FAlternatingRowColor);
  else
    FAlternatingRowCopy.reset();

  if (Present && FBackgroundOptions.Contains(coBlendFixedRow)) {
    const int BandHeight = FGrid ? FGrid->RowHeights(0) : 0;
    BuildTinted(FFixedRowCopy, RECT{0, 0, Width, BandHeight}, FixedRowColor);
  } else {
    FFixedRowCopy.reset();
  }

  if (Present && FBackgroundOptions.Contains(coBlendFixedColumn)) {
    // A grid without a fixed colour shows its fixed columns on the untinted picture.
    const bool Tinted = FGrid && FGrid->FixedColor() != clNone;
    BuildTinted(FFixedColumnCopy, Whole, Tinted ? FixedColumnColor : clNone);
  } else {
    FFixedColumnCopy.reset();
  }
}

void TkvGridPaintOptions::PrepareBackground(bool Force) {
  if (!Force && !BackgroundStale) return;
  struct TClearStale {
    bool& Flag;
    ~TClearStale() { Flag = false; }
  } ClearStale{BackgroundStale};

  const int Width = FGrid ? FGrid->Width() : 0;
  const int Height = FGrid ? FGrid->Height() : 0;
  FPaintBitmap->SetSize(Width, Height);
  if (Width > 0 && Height > 0) {
    TCanvas* Canvas = GetPaintCanvas();
    Canvas->Brush()->SetColor(TColor(0xFFFFFF));
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(RECT{0, 0, Width, Height});
    if (FBackgroundBitmap->Width() != 0) DrawPicture(Width, Height);
  }

  int BitsPerPixel;
  {
    HDC Screen = GetDC(nullptr);
    BitsPerPixel = GetDeviceCaps(Screen, BITSPIXEL);
    ReleaseDC(nullptr, Screen);
  }
  // On a palette display no image is built, changed or freed.
  if (BitsPerPixel <= 8) return;
  PrepareImages(Width, Height);
}
