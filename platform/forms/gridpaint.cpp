// TCustomGrid's default painting: four blocks of cells (the fixed corner, the fixed rows, the
// fixed columns, the scrolling cells), each cell through DrawCell, then the grid lines, then the
// client area past the last cell in the grid's colour. With DefaultDrawing the grid fills each
// cell first (fixed colour, highlight for the selection, the grid's colour otherwise), raises
// the fixed cells' edges and draws the focus rectangle on the current cell.

#include <algorithm>

#include "platform/forms/grids.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"

namespace {

bool Intersects(const RECT& A, const RECT& B) {
  return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

bool InSelection(const TGridRect& Selection, int32_t ACol, int32_t ARow) {
  return ACol >= Selection.Left && ACol <= Selection.Right && ARow >= Selection.Top && ARow <= Selection.Bottom;
}

}  // namespace

void TCustomGrid::DrawCell(int32_t, int32_t, const RECT&, TGridDrawState) {}

void TCustomGrid::DrawCells(const TGridDrawInfo& DrawInfo, int32_t ACol, int32_t ARow, int StartX, int StartY,
                            int StopX, int StopY, TColor Color, TGridDrawState IncludeDrawState,
                            const RECT& Clip) {
  TCanvas* Canvas = this->Canvas();
  const bool Focused = IsActiveControl();
  const TGridRect Selected = Selection();
  const bool Designing = ComponentState().Contains(csDesigning);
  int Y = StartY;
  for (int32_t CurRow = ARow; CurRow < FRowCount && Y < StopY; ++CurRow) {
    const int32_t Height = RowHeights(CurRow);
    if (Height < 0) continue;
    int X = StartX;
    for (int32_t CurCol = ACol; CurCol < FColCount && X < StopX; ++CurCol) {
      const int32_t Width = ColWidths(CurCol);
      if (Width < 0) continue;
      const RECT Where{X, Y, std::min(X + Width, StopX), std::min(Y + Height, StopY)};
      if (Where.right > Where.left && Where.bottom > Where.top && Intersects(Where, Clip)) {
        TGridDrawState DrawState = IncludeDrawState;
        if (!DrawState.Contains(gdFixed)) {
          if (Focused && CurCol == FCurrent.X && CurRow == FCurrent.Y) DrawState.Include(gdFocused);
          if (InSelection(Selected, CurCol, CurRow)) DrawState.Include(gdSelected);
        }
        if (FDefaultDrawing) {
          Canvas->SetFont(Font());
          const bool Highlight = DrawState.Contains(gdSelected) &&
                                 (!DrawState.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                                  FOptions.Contains(goRowSelect));
          if (Highlight) {
            Canvas->Brush()->SetColor(clHighlight);
            Canvas->Font()->SetColor(clHighlightText);
          } else {
            Canvas->Brush()->SetColor(Color);
          }
          Canvas->FillRect(Where);
        }
        DrawCell(CurCol, CurRow, Where, DrawState);
        if (FDefaultDrawing && DrawState.Contains(gdFixed) && FCtl3D && FOptions.Contains(goFixedVertLine) &&
            FOptions.Contains(goFixedHorzLine)) {
          RECT Edge = Where;
          ::DrawEdge(Canvas->Handle(), &Edge, BDR_RAISEDINNER, BF_RECT);
        }
        // An always-shown editor marks the current cell itself.
        if (FDefaultDrawing && !Designing && DrawState.Contains(gdFocused) &&
            !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)) &&
            !FOptions.Contains(goRowSelect))
          Canvas->DrawFocusRect(Where);
      }
      X += Width + DrawInfo.Horz.EffectiveLineWidth;
    }
    Y += Height + DrawInfo.Vert.EffectiveLineWidth;
  }
}

void TCustomGrid::DrawLines(const TGridDrawInfo& DrawInfo, const RECT&) {
  TCanvas* Canvas = this->Canvas();
  const TColor ScrollLineColor = ColorToRGB(FColor) == ColorToRGB(clSilver) ? clGray : clSilver;
  const TColor FixedLineColor = clBlack;
  auto Fill = [&](int Left, int Top, int Right, int Bottom, TColor Color) {
    if (Right <= Left || Bottom <= Top) return;
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(RECT{Left, Top, Right, Bottom});
  };
  const TGridAxisDrawInfo& Horz = DrawInfo.Horz;
  const TGridAxisDrawInfo& Vert = DrawInfo.Vert;
  // A line an option leaves out is a gap of the cells' colour.
  const TColor FixedVert = FOptions.Contains(goFixedVertLine) ? FixedLineColor : FFixedColor;
  const TColor FixedHorz = FOptions.Contains(goFixedHorzLine) ? FixedLineColor : FFixedColor;
  const TColor ScrollVert = FOptions.Contains(goVertLine) ? ScrollLineColor : FColor;
  const TColor ScrollHorz = FOptions.Contains(goHorzLine) ? ScrollLineColor : FColor;

  if (const int32_t Line = Horz.EffectiveLineWidth; Line > 0) {
    auto Column = [&](int32_t Index, int X) {
      const int32_t Width = ColWidths(Index);
      if (Width < 0) return X;
      const int LineX = X + Width;
      if (Index < FFixedCols) {
        Fill(LineX, 0, LineX + Line, Vert.GridBoundary, FixedVert);
      } else {
        Fill(LineX, 0, LineX + Line, Vert.FixedBoundary, FixedVert);
        Fill(LineX, Vert.FixedBoundary, LineX + Line, Vert.GridBoundary, ScrollVert);
      }
      return LineX + Line;
    };
    int X = 0;
    for (int32_t I = 0; I < FFixedCols; ++I) X = Column(I, X);
    for (int32_t I = FTopLeft.X; I < FColCount && X < Horz.GridBoundary; ++I) X = Column(I, X);
  }
  if (const int32_t Line = Vert.EffectiveLineWidth; Line > 0) {
    auto RowLine = [&](int32_t Index, int Y) {
      const int32_t Height = RowHeights(Index);
      if (Height < 0) return Y;
      const int LineY = Y + Height;
      if (Index < FFixedRows) {
        Fill(0, LineY, Horz.GridBoundary, LineY + Line, FixedHorz);
      } else {
        Fill(0, LineY, Horz.FixedBoundary, LineY + Line, FixedHorz);
        Fill(Horz.FixedBoundary, LineY, Horz.GridBoundary, LineY + Line, ScrollHorz);
      }
      return LineY + Line;
    };
    int Y = 0;
    for (int32_t I = 0; I < FFixedRows; ++I) Y = RowLine(I, Y);
    for (int32_t I = FTopLeft.Y; I < FRowCount && Y < Vert.GridBoundary; ++I) Y = RowLine(I, Y);
  }
}

void TCustomGrid::Paint() {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  TCanvas* Canvas = this->Canvas();
  const RECT Clip = Canvas->ClipRect();
  const TGridAxisDrawInfo& Horz = DrawInfo.Horz;
  const TGridAxisDrawInfo& Vert = DrawInfo.Vert;
  const TGridDrawState Fixed{gdFixed};
  DrawCells(DrawInfo, 0, 0, 0, 0, Horz.FixedBoundary, Vert.FixedBoundary, FFixedColor, Fixed, Clip);
  DrawCells(DrawInfo, FTopLeft.X, 0, Horz.FixedBoundary, 0, Horz.GridBoundary, Vert.FixedBoundary, FFixedColor,
            Fixed, Clip);
  DrawCells(DrawInfo, 0, FTopLeft.Y, 0, Vert.FixedBoundary, Horz.FixedBoundary, Vert.GridBoundary, FFixedColor,
            Fixed, Clip);
  DrawCells(DrawInfo, FTopLeft.X, FTopLeft.Y, Horz.FixedBoundary, Vert.FixedBoundary, Horz.GridBoundary,
            Vert.GridBoundary, FColor, TGridDrawState{}, Clip);
  DrawLines(DrawInfo, Clip);
  // A focused row-select grid frames the whole current row.
  if (FDefaultDrawing && FOptions.Contains(goRowSelect) && IsActiveControl() &&
      !ComponentState().Contains(csDesigning)) {
    const RECT Row = BoxRect(FFixedCols, FCurrent.Y, FColCount - 1, FCurrent.Y);
    if (Row.right > Row.left) Canvas->DrawFocusRect(Row);
  }
  Canvas->Brush()->SetColor(FColor);
  const int Width = ClientWidth();
  const int Height = ClientHeight();
  if (Horz.GridBoundary < Width) Canvas->FillRect(RECT{Horz.GridBoundary, 0, Width, Height});
  if (Vert.GridBoundary < Height) Canvas->FillRect(RECT{0, Vert.GridBoundary, Horz.GridBoundary, Height});
}
