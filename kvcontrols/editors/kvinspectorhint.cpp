// Cell hints of the inspector. When the mouse rests over a caption or value cell whose text is
// clipped, a hint window of the inspector's own shows the whole text right over the cell, in the
// cell's font, so the text seems to spill out of its cell. One hint exists at a time; a 250 ms
// timer watches the mouse and takes the hint away when the mouse leaves the cell or after the
// application's hint hide pause (at least 16 ticks, about four seconds).

#include "kvcontrols/editors/kvinspectorhint.h"

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvinspector.h"
#include "platform/db/datalink.h"
#include "platform/db/field.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/forms/timer.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/user/input.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvInspectorHintWindow)

namespace {

constexpr uint32_t HintTimerInterval = 250;
// The fewest ticks a resting mouse keeps a hint for, whatever the application's pause.
constexpr int MinimumHintTicks = 16;

bool IsMemoLikeField(const TField* Field) {
  return Field->DataType() == ftMemo || Field->DataType() == ftOraBlob || Field->DataType() == ftOraClob;
}

}  // namespace

// ---- the hint window -----------------------------------------------------------------------------

TkvInspectorHintWindow::TkvInspectorHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void TkvInspectorHintWindow::Paint() {
  TCanvas* Target = Canvas();
  Target->Font()->SetColor(clInfoText);
  RECT R = ClientRect();
  OffsetRect(&R, 2, 2);
  uint32_t Options = kvdtNoFill;
  if (WordWrap) Options |= kvdtWordBreak;
  if (CenterVertically) Options |= kvdtVCenter;
  kvDrawAlignedText(Target, R, 0, 0, Caption(), static_cast<int>(Alignment), Options);
}

// ---- the inspector's side -------------------------------------------------------------------------

TkvInspectorHintWindow* TkvDataInspector::CreateHintWindow() {
  auto* Hint = new TkvInspectorHintWindow(this);
  Hint->SetColor(clInfoBk);
  Hint->Brush()->SetColor(clInfoBk);
  Hint->Canvas()->Font()->Assign(Font());
  Hint->Canvas()->Font()->SetColor(clInfoText);
  Hint->Canvas()->Pen()->SetColor(clBlack);
  return Hint;
}

void TkvDataInspector::DoCreateHintWindow(TkvInspectorHintWindow* HintWindow, TField* Field, const RECT& R,
                                          bool& WordWrap, int32_t& MaxWidth, int32_t& MaxHeight, bool& DoDefault) {
  if (OnCreateHintWindow) OnCreateHintWindow(this, HintWindow, Field, R, WordWrap, MaxWidth, MaxHeight, DoDefault);
}

void TkvDataInspector::CancelHint() {
  FHintTicks = 0;
  if (FHintWindow) {
    // Freeing the window moves the activation and the focus around; handlers that see the flag
    // know no user action is behind it.
    FHintCancelling = true;
    TkvInspectorHintWindow* Window = FHintWindow;
    FHintWindow = nullptr;
    Window->Free();
    FHintCancelling = false;
  }
  if (FHintTimer) FHintTimer->SetEnabled(false);
}

void TkvDataInspector::HintTimerTick(TObject*) {
  if (!FHintWindow) return;
  POINT Mouse{};
  GetCursorPos(&Mouse);
  Mouse = ScreenToClient(Mouse);
  RECT Cell = CellRect(FHintCol, FHintRow);
  InflateRect(&Cell, 1, 1);
  const RECT Client = ClientRect();
  if (PtInRect(&Cell, Mouse) && PtInRect(&Client, Mouse)) {
    ++FHintTicks;
    const int Interval = static_cast<int>(FHintTimer ? FHintTimer->Interval() : HintTimerInterval);
    const int HidePause = Application ? Application->HintHidePause() : 0;
    if (FHintTicks > std::max(HidePause / std::max(Interval, 1), MinimumHintTicks)) CancelHint();
  } else {
    CancelHint();
    FHintCol = -1;
    FHintRow = -1;
  }
}

void TkvDataInspector::ShowCellHint(TShiftState, int X, int Y) {
  if (ComponentState().Contains(csDesigning) && FOptions.Contains(ovShowCellHints)) return;
  int32_t ACol = -1, ARow = -1;
  CellAtPoint(X, Y, ACol, ARow);
  if (ACol < 0 || ARow < 0) return;
  const bool CaptionCell = ACol == 0;
  if (CaptionCell && !FOptions.Contains(ovShowCaptionHints)) return;
  if (!CaptionCell && !FOptions.Contains(ovShowCellHints)) return;
  if (ACol == FHintCol && ARow == FHintRow) return;

  FHintCol = ACol;
  FHintRow = ARow;
  CancelHint();
  if (FHintTimer) {
    FHintTimer->Free();
    FHintTimer = nullptr;
  }

  // The editor shows the current cell's text itself.
  if (ACol == Col() && ARow == Row()) {
    if (InplaceEditor() && InplaceEditor()->Visible()) return;
    if (FActiveEditor && FActiveEditor->Visible()) return;
  }
  TkvInspectorItem* Item = ItemAtRow(ARow);
  if (!Item) return;
  if (Item->CustomControl() && Item->CustomControlAlwaysPaints()) return;

  std::string Text;
  TField* Field = Item->GetField();
  if (CaptionCell) {
    Text = Item->Caption();
  } else if (Field && IsDataSetActive()) {
    // Several records side by side: the column's own record gives the text.
    const int SavedRecord = FDataLink->ActiveRecord();
    const bool OtherRecord = ACol - 1 < FDataLink->RecordCount();
    if (OtherRecord) FDataLink->SetActiveRecord(ACol - 1);
    if (IsMemoLikeField(Field)) Text = Field->AsString();
    else if (!Field->IsBlob()) Text = Field->DisplayText();
    if (OtherRecord) FDataLink->SetActiveRecord(SavedRecord);
  } else {
    Text = Item->EditText();
  }
  if (Text.empty()) return;

  const RECT Cell = CellRect(ACol, ARow);
  const int CellHeight = Cell.bottom - Cell.top;
  const UINT Tabs = Text.find('\t') != std::string::npos ? DT_EXPANDTABS : 0;
  const RECT CaptionText{Cell.left + (Item->Level() + 1) * FCaptionIndent, Cell.top + 1, Cell.right, Cell.bottom};

  // Does the text fit? Measured as the cell paints it.
  TCanvas* Measure = FPaintBitmap->Canvas();
  RECT Available;
  UINT Flags = DT_CALCRECT | DT_NOPREFIX | Tabs;
  if (CaptionCell) {
    Measure->Font()->Assign(CaptionFont());
    Available = CaptionText;
  } else {
    Measure->Font()->Assign(Font());
    Available = RECT{Cell.left, Cell.top, Cell.right - 4, Cell.bottom};
    if (Item->WordWrap()) Flags |= DT_WORDBREAK | DT_EDITCONTROL;
  }
  RECT Needed = Available;
  DrawTextA(Measure->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Needed, Flags);
  const int AvailableWidth = Available.right - Available.left;
  if (Needed.bottom - Needed.top <= CellHeight && Needed.right - Needed.left < AvailableWidth - 1) return;

  FHintWindow = CreateHintWindow();
  FHintWindow->Canvas()->Font()->Assign(Measure->Font());
  FHintTimer = new TTimer(this);
  FHintTimer->SetInterval(HintTimerInterval);
  FHintTimer->SetOnTimer(TNotifyEvent(this, &TkvDataInspector::HintTimerTick));

  bool DoDefault = true;
  int32_t MaxHeight = CellHeight - 2;
  const int32_t DefaultMaxHeight = MaxHeight;
  const int32_t ScreenWidth = Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  int32_t MaxWidth = ScreenWidth;
  bool WordWrap = Item->WordWrap();
  FHintWindow->SetCaption(Text);
  FHintWindow->CenterVertically = false;
  DoCreateHintWindow(FHintWindow, Field, Cell, WordWrap, MaxWidth, MaxHeight, DoDefault);
  // Without the default the window waits, unshown, for the next cancel.
  if (!DoDefault || !FHintWindow) return;
  FHintWindow->WordWrap = WordWrap;

  // The text's size as the hint draws it.
  RECT Hint = Cell;
  Hint.bottom -= 2;
  RECT Text2;
  UINT HintFlags = DT_CALCRECT | DT_NOPREFIX | Tabs;
  if (CaptionCell) {
    Text2 = CaptionText;
    if (FOptions.Contains(ovCenterCaptionVert)) {
      HintFlags |= DT_SINGLELINE | DT_VCENTER;
      FHintWindow->CenterVertically = true;
    }
    FHintWindow->WordWrap = false;
  } else {
    Text2 = RECT{0, 0, MaxWidth, MaxHeight};
    if (WordWrap) HintFlags |= DT_WORDBREAK | DT_EDITCONTROL;
  }
  DrawTextA(FHintWindow->Canvas()->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Text2, HintFlags);
  const int FullWidth = Text2.right - Text2.left;
  const int Width = std::min(FullWidth, MaxWidth);
  const int Height = std::min<int>(Text2.bottom - Text2.top, MaxHeight);

  // A handler that allowed more height gets a hint that tall (never shorter than the cell).
  if (MaxHeight != DefaultMaxHeight) Hint.bottom = std::max<int>(Hint.top + Height, Hint.bottom);

  // A caption hint starts where the caption text starts, so its text covers the clipped one.
  if (CaptionCell) {
    Hint.left = Text2.left - 2;
    Hint.top = Text2.top - 1;
  }
  if (Hint.left + Width + 8 <= MaxWidth) {
    Hint.right = Hint.left + Width + 8;
  } else if (MaxWidth != 0) {
    if (Hint.left + Width + 8 > ScreenWidth) Hint.left = Hint.right - Width - 8;
    else Hint.right = Hint.left + FullWidth + 8;
  }

  const POINT Origin = ClientOrigin();
  OffsetRect(&Hint, Origin.x - 1, Origin.y - 2);
  FHintWindow->ActivateHint(Hint, Text);
}
