// Painting of the inspector. The whole control is drawn into an off-screen bitmap (so a repaint
// never flickers through the cell backgrounds) and then copied to the screen. Each cell is drawn
// by DrawCell: the indicator row, caption cells with their tree indentation, expand buttons and
// tree lines, and value cells with their text, check box, or the image of a hosted editor.
// The grid lines come afterwards, in one of five styles chosen separately for the caption column
// and the data columns: they overlap the cells' edges by design (a line at y - 1 belongs to the
// row above), so they must be drawn after every cell.

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/edit.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/screen.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

namespace {

constexpr TColor Silver = 0xC0C0C0;
constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;

// A horizontal line from X1 up to, not including, X2.
void HLine(TCanvas* Canvas, TColor Color, int X1, int X2, int Y) {
  if (X2 <= X1) return;
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y);
  Canvas->LineTo(X2, Y);
}

// A vertical line from Y1 up to, not including, Y2.
void VLine(TCanvas* Canvas, TColor Color, int X, int Y1, int Y2) {
  if (Y2 <= Y1) return;
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X, Y1);
  Canvas->LineTo(X, Y2);
}

void DottedHLine(TCanvas* Canvas, TColor Color, int X1, int X2, int Y) {
  if (X2 <= X1) return;
  Canvas->Pen()->SetColor(Color);
  DrawDottedLine(Canvas, POINT{X1, Y}, POINT{X2, Y});
}

bool IsMemoLikeField(const TField* Field) {
  return Field && (Field->DataType() == ftMemo || Field->DataType() == ftOraBlob || Field->DataType() == ftOraClob);
}

}  // namespace

TCanvas* TkvDataInspector::GetPaintCanvas() {
  if (FBitmapPainting && !ControlState().Contains(csPaintCopy)) return FPaintBitmap->Canvas();
  return Canvas();
}

// ---- the whole control -------------------------------------------------------------------------

void TkvDataInspector::Paint() {
  TWinControl* Active = Screen ? Screen->ActiveControl() : nullptr;
  if (Active != this && !(Active && Active->Parent() == this)) {
    if (InplaceEditor() && InplaceEditor()->Visible()) HideEditor();
  }
  FDesigning = ComponentState().Contains(csDesigning);
  FBitmapPainting = true;
  const bool Copy = ControlState().Contains(csPaintCopy);
  try {
    const int Width = ClientWidth(), Height = ClientHeight();
    if (!Copy && (FPaintBitmap->Width() != Width || FPaintBitmap->Height() != Height))
      FPaintBitmap->SetSize(std::max(1, Width), std::max(1, Height));
    TCanvas* Target = GetPaintCanvas();
    TGridDrawInfo Info;
    CalcDrawInfo(Info);

    const TColor Back = Color() == clNone ? clWindow : Color();
    Target->Brush()->SetStyle(bsSolid);
    Target->Brush()->SetColor(Back);
    if (!Copy || FOptions.Contains(ovUseOwnBackgroundColors))
      Target->FillRect(RECT{ColWidths(0), 0, Width, Height});

    // The area below the last row.
    int32_t LastBottom = Info.Vert.FixedBoundary;
    for (int32_t ARow = TopRow(); ARow < RowCount(); ++ARow) LastBottom += RowHeights(ARow) + Info.Vert.EffectiveLineWidth;
    const bool AllRowsShown = LastBottom <= Height;
    if (!Copy && AllRowsShown && LastBottom < Height) {
      if (FOptions.Contains(ovFillNonCellArea)) {
        PaintCaptionBackground(RECT{0, LastBottom, Width, Height}, -1);
      } else {
        Target->Brush()->SetColor(Back);
        Target->FillRect(RECT{ColWidths(0), LastBottom, Width, Height});
      }
    }

    // The caption column.
    if ((!Copy && !(Parent() && Parent()->InheritsFrom("TkvDBGrid"))) || FCaptionColor != clNone) {
      Target->Brush()->SetColor(FCaptionColor == clNone ? clWindow : FCaptionColor);
      Target->FillRect(RECT{0, 0, std::min<int32_t>(ColWidths(0), Width), Height});
    }

    if (OnBeforePaint) OnBeforePaint(this);
    RecountRows();
    CalcDrawInfo(Info);
    DrawAllCells(Info);

    // Row lines, from the top row down to the position just below the last row.
    int32_t Y = Info.Vert.FixedBoundary;
    const bool InGrid = Parent() && Parent()->InheritsFrom("TCustomGrid");
    for (int32_t ARow = TopRow(); ARow <= RowCount(); ++ARow) {
      if (ARow == RowCount() && InGrid) break;
      PaintRowLines(ARow, Y);
      if (ARow < RowCount()) Y += RowHeights(ARow) + Info.Vert.EffectiveLineWidth;
      if (Y > Info.Vert.GridExtent) break;
    }
    PaintVerticalLines();
    PaintFrames();
    CopyToScreen();

    if (UsesInplaceEdit() && InplaceEditor()) {
      InplaceEditor()->Invalidate();
      InplaceEditor()->Update();
    } else if (FActiveEditor && FActiveEditor->Visible()) {
      FActiveEditor->Update();
    }
    TkvInspectorItem* Now = GetActiveItem();
    if (!FPaintedOnce || Now != FLastPaintedActive) {
      FPaintedOnce = true;
      FLastPaintedActive = Now;
      if (OnAfterSelectCell) OnAfterSelectCell(this, Now);
    }
  } catch (...) {
    FBitmapPainting = false;
    if (HandleAllocated()) ValidateRect(Handle(), nullptr);
    throw;
  }
  FBitmapPainting = false;
  if (HandleAllocated()) ValidateRect(Handle(), nullptr);
}

void TkvDataInspector::DrawAllCells(const TGridDrawInfo& Info) {
  const bool Copy = ControlState().Contains(csPaintCopy);
  const TGridRect Sel = Selection();
  auto DrawRegion = [&](int32_t FirstRow, int32_t LastRow, int32_t FirstCol, int32_t LastCol, bool Fixed) {
    for (int32_t ARow = FirstRow; ARow <= LastRow && ARow < RowCount(); ++ARow) {
      for (int32_t ACol = FirstCol; ACol <= LastCol && ACol < ColCount(); ++ACol) {
        const RECT Rect = CellRect(ACol, ARow);
        if (Rect.right <= Rect.left || Rect.bottom <= Rect.top) continue;
        TGridDrawState State;
        if (Fixed) State.Include(gdFixed);
        if (FEntered && !Copy && ARow == Row()) State.Include(gdFocused);
        if (ACol >= Sel.Left && ACol <= Sel.Right && ARow >= Sel.Top && ARow <= Sel.Bottom) State.Include(gdSelected);
        // The in-place editor covers the cell it edits.
        const bool Editing = Focused() && ACol == Col() && ARow == Row() && TCustomGrid::Options().Contains(goEditing) &&
                             EditorMode() && !FDesigning && !Copy;
        if (!Editing) DrawCell(ACol, ARow, Rect, State);
      }
    }
  };
  const int32_t LastRow = RowCount() - 1, LastCol = ColCount() - 1;
  DrawRegion(0, FixedRows() - 1, 0, FixedCols() - 1, true);
  DrawRegion(0, FixedRows() - 1, LeftCol(), LastCol, true);
  DrawRegion(TopRow(), LastRow, 0, FixedCols() - 1, true);
  DrawRegion(TopRow(), LastRow, LeftCol(), LastCol, false);
  (void)Info;
}

// ---- one cell ----------------------------------------------------------------------------------

void TkvDataInspector::DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState) {
  TCanvas* Target = GetPaintCanvas();
  const bool Copy = ControlState().Contains(csPaintCopy);
  RECT Rect = ARect;

  if (FIndicatorRow->Enabled() && ARow == 0) {
    Target->Font()->Assign(FCaptionFont.get());
    Target->Brush()->SetStyle(bsSolid);
    Target->Brush()->SetColor(FIndicatorRow->Color());
    Target->FillRect(RECT{Rect.left + 1, Rect.top - 1, Rect.right - 1, Rect.bottom});
    DrawIndicatorCell(ACol, Rect);
    return;
  }

  TkvInspectorItem* Item = ItemAtRow(ARow);
  if (!Item) return;

  // Several records side by side: each data column shows one record of the link's window.
  int SavedRecord = -1;
  if (FDataLink->Active() && (ACol > 1 || (ACol > 0 && ColCount() > 2))) {
    if (ACol - 1 >= FDataLink->RecordCount()) {
      Target->Brush()->SetStyle(bsSolid);
      Target->Brush()->SetColor(Color());
      Target->FillRect(RECT{Rect.left - 1, Rect.top, Rect.right - 1, Rect.bottom});
      return;
    }
    SavedRecord = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(ACol - 1);
  }
  struct TRestore {
    TkvDataInspectorDataLink* Link;
    int Record;
    HDC DC;
    ~TRestore() {
      if (Record >= 0) Link->SetActiveRecord(Record);
      if (DC) SetBkMode(DC, OPAQUE);
    }
  } Restore{FDataLink.get(), SavedRecord, nullptr};

  if (ACol > 0) {
    Target->Font()->Assign(Font());
    if (Copy && FPaintCopyTextColor != clNone) Target->Font()->SetColor(FPaintCopyTextColor);
    Target->Brush()->SetStyle(bsSolid);
    Target->Brush()->SetColor(Color());
    if (FDesigning && ARow == Row()) Target->FillRect(Rect);
    TField* Field = Item->GetField();
    const bool Bound = Field && IsDataSetActive();
    std::string Text = Bound ? Field->DisplayText() : Item->EditText();

    if (!(Parent() && Parent()->InheritsFrom("TkvDBGrid"))) {
      const bool CurrentCol = ACol == Col();
      if ((ARow % 2) == 1 && FPaintColors.AlternatingRowColor != clNone &&
          ((CurrentCol && FPaintColors.AlternateActiveDataColumn) || (!CurrentCol && FPaintColors.AlternateDataColumns))) {
        RECT Back = Rect;
        if (FOptions.Contains(ovHideVertDataLines)) Back.left -= 1;
        PaintAlternatingBackground(Back);
      } else if (CurrentCol && FPaintColors.ActiveRecordColor != clNone) {
        Target->Brush()->SetColor(FPaintColors.ActiveRecordColor);
        Target->FillRect(Rect);
      }
    }

    bool DefaultDrawing = true;
    DoDrawDataCell(Item, ARow == Row(), RECT{Rect.left, Rect.top, Rect.right, Rect.bottom - 1}, DefaultDrawing);
    if (!DefaultDrawing) return;
    DoCalcDataPaintText(Item, Text);

    TWinControl* Control = Item->CustomControl();
    if (Control && Item->CustomControlAlwaysPaints()) {
      TWinControl* ScreenActive = Screen ? Screen->ActiveControl() : nullptr;
      const bool LiveEditorHere = ACol == Col() && ARow == Row() && ScreenActive &&
                                  (ScreenActive == Control || ScreenActive->Parent() == Control);
      if (!LiveEditorHere || Copy) {
        PaintControlImage(Control, Rect, Item);
        return;
      }
    }

    TColor TextColor = clNone;
    if (ColCount() > 2 && FEntered && !Copy && ACol == Col() && ARow == Row() &&
        (!Control || !kvGetOrdPropByName(Control, "Transparent"))) {
      Target->Brush()->SetColor(clHighlight);
      Target->FillRect(RECT{Rect.left + 1, Rect.top, Rect.right - 1, Rect.bottom - 1});
      TextColor = clHighlight == clNone ? clNone : clHighlightText;
    }
    if (TextColor != clNone) Target->Font()->SetColor(TextColor);

    Target->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    HDC DC = Target->Handle();
    Restore.DC = DC;
    if (Bound && IsMemoLikeField(Field)) {
      SetBkMode(DC, TRANSPARENT);
      RECT TextRect{Rect.left + 2, Rect.top + 1, Rect.right, Rect.bottom};
      const std::string Memo = Field->AsString();
      DrawTextA(DC, Memo.c_str(), int(Memo.size()), &TextRect,
                DT_NOPREFIX | DT_END_ELLIPSIS | (Item->WordWrap() ? DT_WORDBREAK : 0));
      return;
    }
    TkvInspectorPickList* PickList = Item->PickList();
    if (PickList->Count() > 0 && PickList->DisplayAsCheckbox()) {
      RECT Box;
      GetCheckboxRect(Rect, Box);
      UINT State = DFCS_BUTTONCHECK;
      if (Item->CurrentValue() == PickList->Entry(0)) State |= DFCS_CHECKED;
      DrawFrameControl(DC, &Box, DFC_BUTTON, State);
      return;
    }
    if (!Control || !Item->CustomControlAlwaysPaints()) {
      SetBkMode(DC, TRANSPARENT);
      RECT TextRect{Rect.left + 2, Rect.top + 1, Rect.right, Rect.bottom};
      UINT Flags = DT_NOPREFIX | DT_END_ELLIPSIS;
      if (Item->Alignment() == taRightJustify) {
        Flags |= DT_RIGHT;
        TextRect.right -= 2;
      }
      if (Item->WordWrap()) Flags |= DT_WORDBREAK;
      if (Item->UsesPickListCombo()) {
        // A MapList pick list shows the display part of the stored value.
        std::string Value = Item->EditText();
        if (Field) Value = FDataLink->Active() || Item->HasOwnDataSource() ? Field->AsString() : std::string();
        else if (Item->GetDataSource() && !Item->DataField().empty()) Value.clear();
        Item->MapValueToDisplay(Value, Text);
      }
      DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, Flags);
    }
    return;
  }

  // The caption cell.
  Target->Brush()->SetStyle(bsSolid);
  Target->Brush()->SetColor(FCaptionColor);
  Target->Font()->Assign(FCaptionFont.get());
  if (Copy && FPaintCopyTextColor != clNone) Target->Font()->SetColor(FPaintCopyTextColor);
  const int Level = Item->Level();
  RECT CaptionRect{Rect.left + (Level + 1) * FCaptionIndent, Rect.top + 1, Rect.right, Rect.bottom};
  Target->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  HDC DC = Target->Handle();
  if (FOptions.Contains(ovCenterCaptionVert)) {
    RECT Measure = CaptionRect;
    const std::string& Caption = Item->Caption();
    DrawTextA(DC, Caption.c_str(), int(Caption.size()), &Measure, DT_END_ELLIPSIS | DT_CALCRECT);
    const int TextHeight = Measure.bottom - Measure.top;
    CaptionRect.top = Rect.top + (Rect.bottom - Rect.top - TextHeight - 2) / 2;
  }
  RECT Cell = Rect;
  Cell.right -= 1;
  PaintCaptionBackground(Cell, ARow);
  bool DefaultTextDrawing = true;
  DoDrawCaptionCell(Item, ARow == Row(), Cell, CaptionRect, DefaultTextDrawing);
  if (!DefaultTextDrawing) return;
  Target->Font()->Assign(FCaptionFont.get());
  if (Copy && FPaintCopyTextColor != clNone) Target->Font()->SetColor(FPaintCopyTextColor);
  Target->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  DC = Target->Handle();
  Restore.DC = DC;
  SetBkMode(DC, TRANSPARENT);
  const std::string& Caption = Item->Caption();
  // No DT_NOPREFIX: an ampersand in a caption underlines the next character.
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &CaptionRect, DT_END_ELLIPSIS);
  if (Item->HasVisibleChildren()) DrawTreeButton(Item, Cell);
  DrawTreeLines(Item);
}

void TkvDataInspector::PaintCaptionBackground(const RECT& Rect, int32_t ARow) {
  TCanvas* Target = GetPaintCanvas();
  if (ARow >= 0 && (ARow % 2) == 1 && FPaintColors.AlternatingRowColor != clNone && FPaintColors.AlternateFixedColumns) {
    PaintAlternatingBackground(Rect);
    return;
  }
  if (FCaptionColor == clNone || OnBeforePaint) return;
  Target->Brush()->SetStyle(bsSolid);
  Target->Brush()->SetColor(FPaintColors.FixedColumnColor);
  Target->FillRect(Rect);
}

void TkvDataInspector::PaintAlternatingBackground(const RECT& Rect) {
  TCanvas* Target = GetPaintCanvas();
  Target->Brush()->SetStyle(bsSolid);
  Target->Brush()->SetColor(FPaintColors.AlternatingRowColor);
  Target->FillRect(Rect);
}

void TkvDataInspector::DrawIndicatorCell(int32_t ACol, const RECT& Rect) {
  bool DefaultDrawing = true;
  if (OnDrawIndicatorCell) OnDrawIndicatorCell(this, ACol, Rect, DefaultDrawing);
  if (!DefaultDrawing) return;
  TCanvas* Target = GetPaintCanvas();
  if (ACol == 0 && !FIndicatorRow->Caption().empty()) {
    Target->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    HDC DC = Target->Handle();
    SetBkMode(DC, TRANSPARENT);
    const TAlignment Align = FIndicatorRow->TextAlignment();
    RECT TextRect{Align == taLeftJustify ? Rect.left + FCaptionIndent : Rect.left, Rect.top + 1, Rect.right,
                  Rect.bottom};
    const UINT Flags = DT_EXPANDTABS | DT_NOPREFIX |
                       (Align == taLeftJustify ? DT_LEFT : Align == taRightJustify ? DT_RIGHT : DT_CENTER);
    const std::string& Caption = FIndicatorRow->Caption();
    DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextRect, Flags);
    SetBkMode(DC, OPAQUE);
  }
  // Above the active record's column: what the data set is doing with it.
  if (!FDataLink->Active() || ACol != FDataLink->ActiveRecord() + 1 || !FIndicatorImages) return;
  int Glyph = 0;
  if (TDataSet* DataSet = DataSource() ? DataSource()->DataSet() : nullptr) {
    if (DataSet->State() == dsEdit) Glyph = 1;
    else if (DataSet->State() == dsInsert) Glyph = 2;
  }
  const int X = std::max<int>(0, (Rect.left + Rect.right - FIndicatorImages->Width()) / 2);
  const int Y = (Rect.top + Rect.bottom - FIndicatorImages->Height()) / 2;
  FIndicatorImages->Draw(Target, X, Y, Glyph);
}

void TkvDataInspector::DoDrawDataCell(TkvInspectorItem* Item, bool ASelected, const RECT& ACellRect,
                                      bool& DefaultDrawing) {
  if (OnDrawDataCell) OnDrawDataCell(this, Item, ASelected, ACellRect, DefaultDrawing);
}

void TkvDataInspector::DoDrawCaptionCell(TkvInspectorItem* Item, bool ASelected, const RECT& ACellRect,
                                         RECT& ACaptionRect, bool& DefaultTextDrawing) {
  if (OnDrawCaptionCell) OnDrawCaptionCell(this, Item, ASelected, ACellRect, ACaptionRect, DefaultTextDrawing);
}

void TkvDataInspector::DoCalcDataPaintText(TkvInspectorItem* Item, std::string& PaintText) {
  if (OnCalcDataPaintText) OnCalcDataPaintText(this, Item, PaintText);
}

// ---- tree buttons and lines ----------------------------------------------------------------------

void TkvDataInspector::GetTreeButtonCenter(const RECT& Rect, TkvInspectorItem* Item, POINT& Point) {
  TCanvas* Target = GetPaintCanvas();
  Target->Font()->Assign(FCaptionFont.get());
  const int TextHeight = Target->TextHeight("Y") + 2;
  const int Level = Item ? Item->Level() : 0;
  Point.x = Rect.left + Level * FCaptionIndent + FCaptionIndent / 2 + 1;
  if (FOptions.Contains(ovCenterCaptionVert)) {
    Point.y = Rect.top + std::max(TextHeight / 2, (Rect.bottom - Rect.top - 2) / 2);
  } else {
    int Height = TextHeight;
    TBitmap* Glyph = Item && Item->Expanded() ? FButtonOptions->CollapseGlyph() : FButtonOptions->ExpandGlyph();
    if (Glyph && !Glyph->Empty()) Height = std::max(Height, Glyph->Height());
    Point.y = Rect.top + Height / 2;
  }
}

void TkvDataInspector::GetCheckboxRect(const RECT& CellRect, RECT& Rect) {
  const int CenterY = CellRect.top + (CellRect.bottom - CellRect.top) / 2;
  Rect = RECT{CellRect.left + 3, CenterY - 7, CellRect.left + 20, CenterY + 6};
}

void TkvDataInspector::DrawTreeButton(TkvInspectorItem* Item, const RECT& Rect) {
  TCanvas* Target = GetPaintCanvas();
  POINT Center;
  GetTreeButtonCenter(Rect, Item, Center);
  Item->SetButtonPoint(Center);
  const int X = Center.x, Y = Center.y;
  TBitmap* Glyph = Item->Expanded() ? FButtonOptions->CollapseGlyph() : FButtonOptions->ExpandGlyph();
  if (Glyph && !Glyph->Empty()) {
    const int Width = Glyph->Width();
    const int Height = std::min<int>(Glyph->Height(), Rect.bottom - Rect.top - 1);
    const int Left = X - Width / 2;
    const int Top = FOptions.Contains(ovCenterCaptionVert) ? Y - (Height - 1) / 2 : Y - Height / 2;
    if (FButtonOptions->TransparentGlyphs()) {
      Glyph->SetTransparent(true);
      Target->Draw(Left, Top, Glyph);
    } else {
      Target->CopyRect(RECT{Left, Top, Left + Width, Top + Height}, Glyph->Canvas(), RECT{0, 0, Width, Height});
    }
    return;
  }
  const TColor SavedBrush = Target->Brush()->Color();
  Target->Brush()->SetStyle(bsSolid);
  Target->Brush()->SetColor(clWindow);
  Target->FillRect(RECT{X - 3, Y - 4, X + 3, Y + 4});
  Target->Brush()->SetColor(Black);
  Target->FrameRect(RECT{X - 5, Y - 4, X + 4, Y + 5});
  HLine(Target, Black, X - 3, X + 2, Y);
  if (!Item->Expanded()) VLine(Target, Black, X - 1, Y - 2, Y + 3);
  Target->Brush()->SetColor(SavedBrush);
}

void TkvDataInspector::DrawTreeLines(TkvInspectorItem* Item) {
  if (!FOptions.Contains(ovShowTreeLines) || !Item) return;
  const int32_t ARow = RowOfItem(Item);
  if (ARow < 0) return;
  TCanvas* Target = GetPaintCanvas();
  RECT R = CellRect(0, ARow);
  if (R.bottom <= R.top) return;
  // Each line is a black line with a white one beside it, for a sunken look.
  auto Vertical = [&](int X, int Y1, int Y2) {
    VLine(Target, Black, X, Y1, Y2);
    VLine(Target, White, X + 1, Y1, Y2);
  };
  auto Horizontal = [&](int X1, int X2, int Y) {
    HLine(Target, Black, X1, X2, Y);
    HLine(Target, White, X1 + 1, X2 + 1, Y + 1);
  };
  POINT Button;
  GetTreeButtonCenter(R, Item, Button);
  const int CenterY = R.top + (R.bottom - R.top) / 2;
  if (Item->Expanded() && Item->HasVisibleChildren()) Vertical(Button.x - 1, Button.y + 7, R.bottom);
  // The x of a level's line: its parent's button centre, in this row.
  auto LevelX = [&](TkvInspectorItem* Of) {
    POINT Parent{};
    GetTreeButtonCenter(R, Of->ParentItem(), Parent);
    return Parent.x - 1;
  };
  for (TkvInspectorItem* Walk = Item; Walk; Walk = Walk->ParentItem()) {
    if (Walk->Level() == 0) break;
    const bool HasNext = Walk->NextSibling(true) != nullptr;
    if (!HasNext && Walk != Item) continue;
    const int Top = R.top;
    const int Bottom = Walk == Item && !HasNext ? CenterY : R.bottom;
    Vertical(LevelX(Walk), Top, Bottom);
  }
  if (Item->Level() > 0) {
    const int Y = FOptions.Contains(ovCenterCaptionVert) ? CenterY : Button.y;
    const int End = Item->HasVisibleChildren() ? Button.x - 7 : R.left + (Item->Level() + 1) * FCaptionIndent - 1;
    Horizontal(LevelX(Item), End, Y);
  }
}

// ---- hosted controls ---------------------------------------------------------------------------

void TkvDataInspector::PaintControlImage(TWinControl* Control, const RECT& Rect, TkvInspectorItem* Item) {
  if (!Control || !Item) return;
  AttachCustomControl(Control, Item);
  if (Item->DataField().empty() || !Item->GetDataSource()) {
    Control->HandleNeeded();
    if (Control->InheritsFrom("TCustomEdit") && Control->Text() != Item->EditText()) Control->SetText(Item->EditText());
  }
  const int32_t ARow = RowOfItem(Item);
  const RECT Place = GetEditorRect(Col(), ARow >= 0 ? ARow : Row());
  if (Control->Width() != Place.right - Place.left || Control->Height() != Place.bottom - Place.top)
    Control->SetBounds(Control->Left(), Control->Top(), Place.right - Place.left, Place.bottom - Place.top);
  TCanvas* Target = GetPaintCanvas();
  Target->Lock();
  Target->RequiredState(TCanvasState{csHandleValid});
  HDC DC = Target->Handle();
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, Rect.left + 1, Rect.top, Rect.right, Rect.bottom);
  SetBkMode(DC, TRANSPARENT);
  try {
    Control->PaintTo(DC, Rect.left + 1, Rect.top);
  } catch (...) {
    RestoreDC(DC, Saved);
    Target->Unlock();
    throw;
  }
  RestoreDC(DC, Saved);
  Target->Refresh();
  Target->Unlock();
}

// ---- lines and frames --------------------------------------------------------------------------

void TkvDataInspector::PaintRowLines(int32_t ARow, int32_t Y) {
  TCanvas* Target = GetPaintCanvas();
  const bool Copy = ControlState().Contains(csPaintCopy);
  const bool Highlight = FOptions.Contains(ovHighlightActiveRow) && FEntered && !Copy;
  const bool UnderIndicator = FIndicatorRow->Enabled() && ARow == 1;
  const bool Below = ARow == RowCount();
  const int CaptionRight = ColWidths(0);

  // Caption column.
  TkvDataInspectorLineStyle Style = FLineStyleCaption;
  if (Style == ovNoLines && Below) Style = ovLight3DLine;
  switch (Style) {
    case ovNoLines: break;
    case ovDottedLine:
      if (!(Highlight && ARow == Row() + 1)) DottedHLine(Target, FDottedLineColor, 0, CaptionRight, Y - 1);
      break;
    case ovLight3DLine:
    case ovDark3DLine:
      if (!UnderIndicator && !(Highlight && ARow == Row())) {
        HLine(Target, Style == ovLight3DLine ? clBtnShadow : Black, 0, CaptionRight - 1, Y - 1);
        HLine(Target, clBtnHighlight, 0, CaptionRight, Y);
      }
      break;
    case ovButtonLine:
      if (UnderIndicator) break;
      if (Highlight && ARow == Row()) {
        HLine(Target, Black, 0, CaptionRight, Y - 1);
        HLine(Target, clBtnShadow, 0, CaptionRight, Y - 2);
        HLine(Target, clBtnShadow, 0, CaptionRight, Y);
      } else {
        HLine(Target, clBtnShadow, 0, CaptionRight, Y - 2);
        HLine(Target, Black, 0, CaptionRight, Y - 1);
        HLine(Target, clBtnHighlight, 0, CaptionRight, Y);
      }
      break;
  }

  // Data columns, each across its cell.
  int32_t LastCol = ColCount() - 1;
  if (FDataLink->Active() && ColCount() > 2) LastCol = std::max(1, std::min(LastCol, FDataLink->RecordCount()));
  for (int32_t ACol = 1; ACol <= LastCol; ++ACol) {
    const RECT Box = BoxRect(ACol, 0, ACol, 0);
    const int X1 = Box.left, X2 = Box.right;
    if (X2 <= X1) continue;
    TkvDataInspectorLineStyle Data = FLineStyleData;
    if (Data == ovNoLines && Below) Data = ovLight3DLine;
    const bool CurrentCell = ARow == Row() && ACol == Col();
    switch (Data) {
      case ovNoLines:
        if (!UnderIndicator && CurrentCell) {
          HLine(Target, Silver, X1, X2, Y - 1);
          HLine(Target, Silver, X1, X2, Y + RowHeights(ARow) - 1);
        }
        break;
      case ovDottedLine:
        if (UnderIndicator) {
          HLine(Target, ACol == Col() && FOptions.Contains(ovActiveRecord3DLines) ? clBtnShadow : clBtnHighlight, X1, X2,
                Y - 1);
        } else if (!(FEntered && ARow == Row() + 1 && ACol == Col())) {
          DottedHLine(Target, FDottedLineColor, X1, X2, Y - 1);
        }
        break;
      case ovLight3DLine:
      case ovDark3DLine:
        if (UnderIndicator) {
          if (!(ACol == Col() && FDataColumns != 1 && FOptions.Contains(ovActiveRecord3DLines)))
            HLine(Target, clBtnHighlight, X1, X2, Y - 1);
        } else {
          HLine(Target, Data == ovLight3DLine ? clBtnShadow : Black, X1, X2, Y - 1);
          if (!(ARow == Row() && Highlight)) HLine(Target, clBtnHighlight, X1, X2, Y);
        }
        break;
      case ovButtonLine:
        if (ARow == Row() && FEntered) {
          HLine(Target, Black, X1, X2, Y - 1);
          HLine(Target, clBtnShadow, X1, X2, Y - 2);
          HLine(Target, clBtnShadow, X1, X2, Y);
        } else {
          HLine(Target, clBtnShadow, X1, X2, Y - 2);
          HLine(Target, Black, X1, X2, Y - 1);
          HLine(Target, clBtnHighlight, X1, X2, Y);
        }
        break;
    }
  }

  // The button style's vertical extras on existing rows.
  if (FLineStyleData == ovButtonLine && ARow < RowCount()) {
    const int Bottom = Y + RowHeights(ARow);
    const int Col1Right = BoxRect(1, 0, 1, 0).right;
    if (ARow != Row()) {
      VLine(Target, clBtnShadow, CaptionRight - 2, Y, Bottom);
      VLine(Target, clBtnHighlight, 0, Y, Bottom);
      VLine(Target, clBtnShadow, Col1Right - 1, Y, Bottom);
    } else {
      if (!Highlight) {
        VLine(Target, clBtnShadow, CaptionRight, Y, Bottom);
        VLine(Target, clBtnShadow, CaptionRight - 2, Y, Bottom);
      }
      VLine(Target, Highlight ? clBtnShadow : clBtnHighlight, 0, Y, Bottom);
      if (BorderStyle() == bsNone) VLine(Target, clBtnHighlight, Col1Right - 1, Y, Bottom);
    }
  }
}

void TkvDataInspector::PaintVerticalLines() {
  if (FOptions.Contains(ovHideVertFixedLines) && FOptions.Contains(ovHideVertDataLines)) return;
  TCanvas* Target = GetPaintCanvas();
  const bool InGrid = Parent() && Parent()->InheritsFrom("TCustomGrid");
  const TColor Pen = InGrid ? clBtnShadow : Black;
  int32_t LastBottom = 0;
  for (int32_t ARow = 0; ARow < RowCount(); ++ARow) {
    const RECT Cell = CellRect(0, ARow);
    if (Cell.bottom > Cell.top) LastBottom = Cell.bottom;
  }
  if (LastBottom == 0) LastBottom = ClientHeight();
  const int IndicatorBottom = FIndicatorRow->Enabled() ? RowHeights(0) : 0;
  const int Top = FOptions.Contains(ovHideVertFixedLines) && FIndicatorRow->Enabled() ? RowHeights(0) - 1 : 0;
  const int Records = FDataLink->Active() ? FDataLink->RecordCount() : ColCount() - 1;
  for (int32_t ACol = 1; ACol < ColCount(); ++ACol) {
    const RECT Box = BoxRect(ACol, 0, ACol, 0);
    if (Box.right <= Box.left) continue;
    const int X = Box.left - 1;
    const bool ShowsRecord = ACol - 1 < Records;
    int Bottom;
    if ((ACol == 1 && FDataColumns > 1) || (ShowsRecord && !FOptions.Contains(ovHideVertDataLines)))
      Bottom = LastBottom - 1;
    else
      Bottom = IndicatorBottom > 0 ? IndicatorBottom - 1 : 0;
    if (Bottom <= Top) continue;
    if (InGrid && FLineStyleData == ovDottedLine) {
      Target->Pen()->SetColor(FDottedLineColor);
      DrawDottedLine(Target, POINT{X, 1}, POINT{X, Bottom});
    } else {
      VLine(Target, Pen, X, Top, Bottom);
      if (FLineStyleData != ovButtonLine) VLine(Target, clBtnHighlight, X + 1, Top, Bottom);
    }
  }
  if (!InGrid && ColCount() <= FDataColumns + 1) {
    const RECT Last = BoxRect(ColCount() - 1, 0, ColCount() - 1, 0);
    const int Bottom = Records < ColCount() - 1 && IndicatorBottom > 0 ? IndicatorBottom : LastBottom;
    VLine(Target, clBtnShadow, Last.right - 1, 0, Bottom);
    VLine(Target, clBtnHighlight, Last.right, 0, Bottom);
  }
}

void TkvDataInspector::PaintFrames() {
  TCanvas* Target = GetPaintCanvas();
  const bool Copy = ControlState().Contains(csPaintCopy);
  const bool Highlight = FOptions.Contains(ovHighlightActiveRow) && FEntered && !Copy;
  const int Width = ClientWidth();
  bool IndicatorFramed = false;
  auto IndicatorFrame = [&]() {
    if (!FIndicatorRow->Enabled() || IndicatorFramed) return;
    IndicatorFramed = true;
    const int Height = RowHeights(0);
    for (int32_t ACol = 0; ACol < ColCount(); ++ACol) {
      const RECT Box = BoxRect(ACol, 0, ACol, 0);
      const int Right = ACol > 0 ? Box.right - 1 : Box.right;
      HLine(Target, clBtnHighlight, Box.left, Right, 0);
      HLine(Target, clBtnHighlight, Box.left, Right, Height - 1);
    }
    HLine(Target, Black, 0, Width, Height - 2);
  };

  TkvInspectorItem* Active = GetActiveItem();
  if (Active && Active->CustomControlHighlight()) {
    RECT Cell = CellRect(Col(), Row());
    Cell.right += 1;
    Target->Brush()->SetStyle(bsSolid);
    Target->Brush()->SetColor(clWindowFrame);
    Target->FrameRect(Cell);
  }
  if (FEntered && !Copy) {
    const RECT Current = CellRect(Col(), Row());
    if (Current.bottom > Current.top) {
      if (Highlight) {
        IndicatorFrame();
        HLine(Target, clBtnShadow, 0, Width, Current.top - 2);
        HLine(Target, Black, 0, Width, Current.top - 1);
        HLine(Target, Silver, 0, Width, Current.bottom - 1);
        HLine(Target, clBtnHighlight, 0, Width, Current.bottom);
      } else if (Row() != TopRow()) {
        HLine(Target, clBtnShadow, Current.left, Current.right, Current.top - 1);
      }
    }
  }
  if (FOptions.Contains(ovActiveRecord3DLines)) {
    const RECT Box = BoxRect(Col(), 0, Col(), 0);
    const int Top = FIndicatorRow->Enabled() ? RowHeights(0) : 0;
    int Bottom = ClientHeight();
    const RECT LastCell = CellRect(0, RowCount() - 1);
    if (LastCell.bottom > LastCell.top && LastCell.bottom < Bottom) Bottom = LastCell.bottom;
    VLine(Target, clBtnShadow, Box.left - 1, Top, Bottom);
    VLine(Target, Black, Box.left, Top - 1, Bottom);
    VLine(Target, Silver, Box.right - 1, Top, Bottom);
    VLine(Target, White, Box.right, Top, Bottom);
  }
  IndicatorFrame();
}

void TkvDataInspector::CopyToScreen() {
  if (GetPaintCanvas() != FPaintBitmap->Canvas()) return;
  RECT Area{0, 0, ClientWidth(), ClientHeight()};
  if (FHasUpdateRect) {
    Area.top = std::max<LONG>(0, FUpdateRect.top);
    Area.bottom = std::min<LONG>(ClientHeight(), FUpdateRect.bottom);
  }
  if (Area.bottom <= Area.top) return;
  FPaintBitmap->Canvas()->SetCopyMode(cmSrcCopy);
  Canvas()->SetCopyMode(cmSrcCopy);
  Canvas()->CopyRect(Area, FPaintBitmap->Canvas(), Area);
}
