// The inspector bound to a data set: its two kinds of data link, the reactions to an opened,
// closed, scrolled or changed data set, the record scroll bar, and the posting of an edited
// value into its field. The program's own tables are never bound; these paths serve the
// library's other users.

#include <algorithm>
#include <cmath>

#include "kvcontrols/editors/kvdatetextutils.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/numericfields.h"
#include "platform/db/textfields.h"
#include "platform/rtl/datetime.h"
#include "platform/user/user.h"

// ---- the links ---------------------------------------------------------------------------------

void TkvInspectorFieldDataLink::DataSetChanged() {
  TFieldDataLink::DataSetChanged();
  TkvDataInspector* Inspector = FItem ? FItem->GetInspector() : nullptr;
  if (!Inspector || Inspector->ComponentState().Contains(csDestroying)) return;
  if (Inspector->GetActiveItem() != FItem) return;
  // The active row takes its value from its own source: let the inspector refresh its editor
  // as if its own data set had changed.
  const bool Saved = Inspector->OwnSourceChange();
  Inspector->SetOwnSourceChange(true);
  Inspector->DataLink()->DataSetChanged();
  Inspector->SetOwnSourceChange(Saved);
}

TkvDataInspectorDataLink::TkvDataInspectorDataLink(TkvDataInspector* Inspector) : FInspector(Inspector) {
  SetVisualControl(true);
}

void TkvDataInspectorDataLink::ActiveChanged() {
  if (FInspector) FInspector->DataSetActiveChanged(Active());
}

void TkvDataInspectorDataLink::DataSetChanged() {
  if (FInspector) FInspector->DataSetChanged();
  FModified = false;
}

void TkvDataInspectorDataLink::DataSetScrolled(int Distance) {
  if (FInspector) FInspector->RecordScrolled(Distance);
}

void TkvDataInspectorDataLink::EditingChanged() {
  if (FInspector && FInspector->IndicatorRow()->Enabled()) FInspector->InvalidateCell(FInspector->Col(), 0);
}

void TkvDataInspectorDataLink::FocusControl(TField*& Field) {
  if (!FInspector || !Field) return;
  TkvInspectorItem* Item = FInspector->FindItemByDataField(Field->FieldName());
  if (!Item) return;
  FInspector->SetActiveItem(Item);
  TkvInspectorItem* Active = FInspector->GetActiveItem();
  if (Active && Active->GetField() == Field && FInspector->CanFocus()) {
    FInspector->SetFocus();
    Field = nullptr;
  }
}

void TkvDataInspectorDataLink::LayoutChanged() {
  if (!FInspector) return;
  if (TInplaceEdit* Edit = FInspector->InplaceEditor()) Edit->UpdateContents();
  FInspector->Invalidate();
}

void TkvDataInspectorDataLink::RecordChanged(TField* Field) {
  if (!FInspector) return;
  if (!(FInUpdate && Field)) {
    FInspector->RecordChanged(Field);
    FModified = false;
  }
  TDataSet* Set = DataSet();
  if (Field && Set && (Set->State() == dsEdit || Set->State() == dsInsert)) FInspector->RefreshFieldRows(Field);
}

void TkvDataInspectorDataLink::UpdateData() {
  const bool Saved = FInUpdate;
  FInUpdate = true;
  try {
    if (FModified && FInspector) FInspector->PostEditorToField();
  } catch (...) {
    FInUpdate = Saved;
    throw;
  }
  FModified = false;
  FInUpdate = Saved;
}

void TkvDataInspectorDataLink::Reset() {
  if (!FModified) return;
  RecordChanged(nullptr);
  if (FInspector)
    if (TInplaceEdit* Edit = FInspector->InplaceEditor()) Edit->UpdateContents();
}

// ---- reactions of the inspector ----------------------------------------------------------------

bool TkvDataInspector::IsDataSetActive() const {
  return FDataLink && FDataLink->Active() && FDataLink->DataSet() && FDataLink->DataSet()->Active();
}

void TkvDataInspector::DataSetActiveChanged(bool Active) {
  if (!Active) HideEditor();
  if (ComponentState().Contains(csDestroying)) return;
  // The shared editors are bound afresh by the next row that uses them.
  kvSetDataFieldProp(GetDateTimePicker(), "");
  if (FComboBox) kvSetDataFieldProp(FComboBox, "");
  // Controls bound through rows lose their field: they are bound again when their row is next
  // activated or painted.
  for (TkvInspectorItem* Item = FItems->FirstItem(false); Item; Item = Item->NextItem(false, false)) {
    if (TWinControl* Control = Item->CustomControl()) {
      Control->Hide();
      kvSetDataFieldProp(Control, "");
    }
  }
  FActiveEditor = nullptr;
  FEditorCol = FEditorRow = -1;
  if (TInplaceEdit* Edit = InplaceEditor()) Edit->UpdateContents();
  RebuildRows();
  SyncColToRecord();
  UpdateScrollBar();
}

void TkvDataInspector::DataSetChanged() {
  if (!HandleAllocated()) return;
  TDataSet* Set = FDataLink->DataSet();
  if (FDataColumns > 1 && Set && FDataLink->Active()) {
    const int Records = FDataLink->RecordCount();
    if (Records > 0 && ColCount() != Records + 1) {
      SetColCount(FDataColumns + 1);
      UpdateColumnWidths();
    }
  }
  if (FDataLink->Active() && FEntered) {
    const int32_t TargetRow = FClickRow >= 0 ? FClickRow : Row();
    const int32_t TargetCol = FDataLink->ActiveRecord() + 1;
    if (TargetCol < ColCount()) MoveToCell(TargetCol, TargetRow);
  }
  UpdateScrollBar();
  SyncColToRecord();
  TkvInspectorItem* Active = GetActiveItem();
  if (Active && (!Active->HasOwnDataSource() || FOwnSourceChange))
    if (TInplaceEdit* Edit = InplaceEditor()) Edit->UpdateContents();
  ValidateRect(Handle(), nullptr);
  Invalidate();
}

void TkvDataInspector::SyncColToRecord() {
  if (!IsDataSetActive()) return;
  const int32_t Target = FDataLink->ActiveRecord() + 1;
  if (Target >= 1 && Target < ColCount() && Target != Col()) SetCol(Target);
}

void TkvDataInspector::RecordScrolled(int Distance) {
  if (!HandleAllocated()) return;
  const int32_t OldCol = Col();
  if (FDataLink->Active()) {
    const int32_t TargetCol = FDataLink->ActiveRecord() + 1;
    const int32_t TargetRow = FClickRow >= 0 ? FClickRow : Row();
    if (TargetCol < ColCount()) MoveToCell(TargetCol, TargetRow);
  }
  UpdateScrollBar();
  SyncColToRecord();
  if (OldCol != Col() || Distance != 0) Invalidate();
  TkvInspectorItem* Active = GetActiveItem();
  if (Active && (!Active->HasOwnDataSource() || FOwnSourceChange)) {
    const bool Saved = FFocusReset;
    FFocusReset = true;
    if (TInplaceEdit* Edit = InplaceEditor()) Edit->UpdateContents();
    FFocusReset = Saved;
  }
}

void TkvDataInspector::UpdateScrollBar() {
  if (FScrollBars != ssHorizontal && FScrollBars != ssBoth) return;
  if (!IsDataSetActive() || !HandleAllocated()) return;
  TDataSet* Set = FDataLink->DataSet();
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), SB_HORZ, &Info);
  int Min = 0, Max = 4, Page = 0, Position = 2;
  if (Set->IsSequenced()) {
    Set->UpdateCursorPos();
    Page = std::max(1, FDataColumns);
    Min = 1;
    Max = Set->RecordCount() + Page - 1;
    Position = Info.nPos;
    if (Set->State() == dsInactive || Set->State() == dsBrowse || Set->State() == dsEdit) Position = Set->RecNo();
  } else {
    Position = Set->Bof() ? 0 : Set->Eof() ? 4 : 2;
  }
  if (Info.nMin == Min && Info.nMax == Max && static_cast<int>(Info.nPage) == Page && Info.nPos == Position) return;
  if (Max - Min <= 1) {
    Min = 1;
    Max = 1001;
    Page = 1000;
  }
  SCROLLINFO Write{};
  Write.cbSize = sizeof(Write);
  Write.fMask = SIF_ALL;
  Write.nMin = Min;
  Write.nMax = Max;
  Write.nPage = static_cast<UINT>(Page);
  Write.nPos = Position;
  SetScrollInfo(Handle(), SB_HORZ, &Write, TRUE);
}

void TkvDataInspector::WMHScroll(TMessage& Message) {
  Message.Result = 0;
  if (Message.LParam != 0 || !FDataLink->Active()) return;
  TDataSet* Set = FDataLink->DataSet();
  if (!Set) return;
  const bool Unmodified = !Set->Modified() && !FDataLink->IsModified();
  switch (LOWORD(Message.WParam)) {
    case SB_LINELEFT:
      if (Set->State() == dsInsert && Unmodified && Set->Eof()) Set->Cancel();
      else Set->Prior();
      break;
    case SB_LINERIGHT:
      if (Set->State() == dsInsert && Unmodified) {
        if (!Set->Eof()) Set->Cancel();
      } else {
        Set->Next();
      }
      break;
    case SB_PAGELEFT: Set->MoveBy(-(std::max(1, VisibleColCount()) - 1)); break;
    case SB_PAGERIGHT: Set->MoveBy(std::max(1, VisibleColCount()) - 1); break;
    case SB_THUMBPOSITION:
      if (Set->IsSequenced()) {
        Set->CheckBrowseMode();
        const int Position = HIWORD(Message.WParam);
        if (Position <= 1) Set->First();
        else if (Position >= Set->RecordCount()) Set->Last();
        else Set->SetRecNo(Position);
      }
      break;
    case SB_TOP: Set->First(); break;
    case SB_BOTTOM: Set->Last(); break;
  }
}

void TkvDataInspector::RecordChanged(TField* Field) {
  if (!HandleAllocated()) return;
  InvalidateRow(Row(), 1);
  TkvInspectorItem* Active = GetActiveItem();
  TField* ActiveField = Active ? Active->GetField() : nullptr;
  if (!Field || (Field == ActiveField && ActiveField->EditText() != FLastEditText))
    if (TInplaceEdit* Edit = InplaceEditor()) Edit->UpdateContents();
}

void TkvDataInspector::RefreshFieldRows(TField* Field) {
  FieldChanged(Field);
  if (!HandleAllocated()) return;
  for (int32_t ARow = TopRow(); ARow < RowCount(); ++ARow) {
    TkvInspectorItem* Item = ItemAtRow(ARow);
    if (Item && Item->GetField() == Field) InvalidateRow(ARow);
  }
}

void TkvDataInspector::PostEditorToField() {
  if (IsCheckboxRow(Row())) return;
  TkvInspectorItem* Item = GetActiveItem();
  if (!Item) return;
  // A text that fails the row's mask is not posted; the user fixes it or abandons it with Escape.
  TkvDataInspectorEdit* Edit = InspectorEdit();
  if (Edit && Edit->HasPictureMask() && FDataLink->IsModified() && !Edit->CheckPicture(Edit->Text()) &&
      !Edit->Picture()->AllowInvalidExit()) {
    DoValidationError(Item);
    return;
  }
  TField* Field = Item->GetField();
  if (!Field) return;
  const bool WasSame = Field->EditText() == FLastEditText;
  const TFieldType Type = Field->DataType();
  const std::string& Text = FLastEditText;
  const auto* Numeric = dynamic_cast<const TNumericField*>(Field);
  const bool IsInteger = dynamic_cast<const TIntegerField*>(Field) || dynamic_cast<const TLargeintField*>(Field);
  const bool IsFloat = dynamic_cast<const TFloatField*>(Field) != nullptr;
  TDateTime Date = 0;
  if (Type == ftMemo || Type == ftOraBlob || Type == ftOraClob) {
    Field->SetAsString(Text);
  } else if (dynamic_cast<TDateTimeField*>(Field) && kvIsDateText(Text) && kvTryScanDate(Text, Date)) {
    // The date as the library reads dates (two-digit years, its separators), the time of day as
    // the platform reads it.
    TDateTime Full = 0;
    if (!TryStrToDateTime(Text, Full)) Full = 0;
    Field->SetAsDateTime(Date + (Full - DateOf(Full)));
  } else if (Numeric && (IsInteger || IsFloat) && !Text.empty() && !Numeric->EditFormat().empty()) {
    long double Number = 0;
    if (!kvFormattedTextToFloat(Text, Number, Numeric->EditFormat()))
      Field->SetText(Text);
    else if (IsInteger)
      Field->SetAsInteger(static_cast<int32_t>(std::nearbyint(static_cast<double>(Number))));
    else
      Field->SetAsFloat(static_cast<double>(Number));
  } else {
    Field->SetEditText(Text);
  }
  if (!WasSame) RefreshFieldRows(Field);
}
