// Which editor a row of the inspector uses, where it goes, and how values move between the
// editor and the item: the row's own control (CustomControl), the shared pick-list combo, the
// shared date/time picker of bound date and time rows, or the grid's in-place editor. Check-box
// rows have no editor; they toggle.

#include <algorithm>
#include <cstring>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "kvcontrols/editors/kvpicturevalidator.h"
#include "platform/user/message.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/form.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/screen.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvDataInspectorEdit)

namespace {

bool IsMemoLikeField(const TField* Field) {
  return Field && (Field->DataType() == ftMemo || Field->DataType() == ftOraBlob || Field->DataType() == ftOraClob);
}

// The value text of an editor control: what the row's EditText becomes when the row is left.
// For a combo box that is its value (a map list's stored value for the shown entry).
std::string ControlValueText(TWinControl* Control) {
  std::string Text = Control->Text();
  kvGetEditValueText(Control, Text);
  return Text;
}

bool ControlReportsModified(TWinControl* Control) {
  return Control->HandleAllocated() && SendMessage(Control->Handle(), EM_GETMODIFY, 0, 0) != 0;
}

// Once its value is committed the control counts as unchanged: the next time the row is left
// without an edit must not announce the same value again.
void ControlCommitted(TWinControl* Control) {
  if (Control->HandleAllocated()) SendMessage(Control->Handle(), EM_SETMODIFY, 0, 0);
}

// Positions in an edit count code points, not bytes.
std::string Utf8Mid(const std::string& Text, size_t From, size_t Count = std::string::npos) {
  const size_t Start = Utf8OffsetOf(Text, From);
  if (Count == std::string::npos) return Text.substr(Start);
  return Text.substr(Start, Utf8OffsetOf(Text, From + Count) - Start);
}

int CodePoints(const std::string& Text) { return static_cast<int>(Utf8Length(Text)); }

}  // namespace

// ---- the in-place editor -----------------------------------------------------------------------

TkvDataInspectorEdit::TkvDataInspectorEdit(TComponent* AOwner)
    : TInplaceEdit(AOwner), FPicture(std::make_unique<TkvDBPicture>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
}

TkvDataInspectorEdit::~TkvDataInspectorEdit() = default;

void TkvDataInspectorEdit::TakeRowPicture() {
  TkvDataInspector* Owner = Inspector();
  TkvInspectorItem* Item = Owner ? Owner->GetActiveItem() : nullptr;
  if (!Item) return;
  const bool Bound = Item->GetDataSource() && !Item->DataField().empty();
  if (!Owner->PictureMaskFromDataSet() || !Bound) {
    FPicture->Assign(Item->Picture());
    // Assign leaves this flag alone, yet it belongs to the row as much as the mask does.
    FPicture->SetAllowInvalidExit(Item->Picture()->AllowInvalidExit());
    return;
  }
  TDataSource* Source = Owner->DataSource();
  if (!Source || !Source->DataSet()) return;
  std::string Mask;
  bool AutoFill = true;
  FPictureSecondFlag = true;
  kvGetFieldPictureMask(Source->DataSet(), Item->DataField(), true, Mask, AutoFill, FPictureSecondFlag);
  FPicture->SetPictureMask(Mask);
  FPicture->SetAutoFill(AutoFill);
  FPicture->SetAllowInvalidExit(false);
  if (TField* Field = Item->GetField()) CheckPicture(Field->EditText());
}

void TkvDataInspectorEdit::TellCheckValue(bool PassesPictureTest) {
  if (TkvDataInspector* Owner = Inspector(); Owner && Owner->OnCheckValue) Owner->OnCheckValue(this, PassesPictureTest);
}

bool TkvDataInspectorEdit::CheckPicture(const std::string& Text) {
  bool Passes = true;
  if (!Text.empty() && HasPictureMask()) {
    TkvPictureValidator Validator(FPicture->PictureMask(), FPicture->AutoFill());
    std::string Copy = Text;
    Passes = Validator.CheckText(Copy, false) == pmrComplete;
  }
  TellCheckValue(Passes);
  return Passes;
}

TkvDataInspector* TkvDataInspectorEdit::Inspector() const { return dynamic_cast<TkvDataInspector*>(FGrid); }

void TkvDataInspectorEdit::CreateParams(TCreateParams& Params) {
  TInplaceEdit::CreateParams(Params);
  Params.Style &= ~(ES_AUTOVSCROLL | ES_WANTRETURN);
  if (FWordWrap) {
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    Params.Style &= ~ES_AUTOHSCROLL;
  }
}

void TkvDataInspectorEdit::UpdateContents() {
  TInplaceEdit::UpdateContents();
  TkvDataInspector* Owner = Inspector();
  if (!Owner) return;
  TkvInspectorItem* Item = Owner->GetActiveItem();
  if (!Item) return;
  SetReadOnly(Item->ReadOnly());
  TField* Field = Item->GetField();
  const bool Wrap = Item->WordWrap() || (Field && Field->IsBlob());
  if (Wrap != FWordWrap) {
    // The multi-line style only applies to a new window.
    FWordWrap = Wrap;
    const bool SavedReset = Owner->FFocusReset;
    Owner->FFocusReset = true;
    if (HandleAllocated()) RecreateWnd();
    Owner->FFocusReset = SavedReset;
  }
  // The focus may stay in the editor while the row changes under it: the new row's mask must
  // not be typed against the old one's.
  if (Focused()) TakeRowPicture();
  if (Owner->Focused() && CanFocus()) SetFocus();
}

void TkvDataInspectorEdit::BoundsChanged() {
  // One pixel of the cell's frame stays visible on each side and below.
  if (HandleAllocated()) {
    SetWindowPos(Handle(), nullptr, Left() + 1, Top(), std::max(0, Width() - 2), std::max(0, Height() - 1),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
    RECT Format{1, 1, std::max(1, Width() - 2), Height()};
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
    SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
  }
}

void TkvDataInspectorEdit::Dispatch(TMessage& Message) {
  // While the inspector paints an image of the table, the live editor is not part of it.
  if ((Message.Msg == WM_PAINT || Message.Msg == WM_ERASEBKGND) && ControlState().Contains(csPaintCopy)) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg == WM_SETFOCUS) {
    if (TkvDataInspector* Owner = Inspector()) Font()->Assign(Owner->Font());
  }
  TInplaceEdit::Dispatch(Message);
  if (Message.Msg == WM_SETFOCUS) TakeRowPicture();
  // A paste puts a bound data set into edit mode, as typing does.
  if (Message.Msg == WM_PASTE)
    if (TkvDataInspector* Owner = Inspector()) Owner->CanEditModify();
}

void TkvDataInspectorEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TkvDataInspector* Owner = Inspector();
  if (!Owner) {
    TInplaceEdit::KeyDown(Key, Shift);
    return;
  }
  const bool Ctrl = Shift.Contains(ssCtrl);
  const bool Navigation = (Key == VK_TAB && !Shift.Contains(ssAlt)) || Key == VK_ESCAPE || Key == VK_PRIOR ||
                          Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                          (Key == VK_RETURN && Owner->Options().Contains(ovEnterToTab)) ||
                          ((Key == VK_HOME || Key == VK_END) && Ctrl) || (Key == VK_INSERT && Shift.Empty());
  if (Navigation) {
    if (Owner->CanFocus()) Owner->SetFocus();
    Owner->KeyDown(Key, Shift);
    Key = 0;
    Update();
    return;
  }
  // Ctrl+Left and Ctrl+Right collapse and expand the row; the caret moves as well.
  const bool InDBGrid = Owner->Parent() && Owner->Parent()->InheritsFrom("TkvDBGrid");
  if ((Key == VK_LEFT || Key == VK_RIGHT) && (Ctrl || !InDBGrid) && Owner->ColCount() <= 2) Owner->KeyDown(Key, Shift);
  if (((Key == VK_INSERT && Shift == TShiftState{ssShift}) || Key == VK_DELETE) && !Owner->CanEditModify()) Key = 0;
  if (Key == VK_F2) {
    if (Owner->OnKeyDown) Owner->OnKeyDown(Owner, Key, Shift);
    if (Key == VK_F2) {
      Deselect();
      return;
    }
  }
  if (Key == 0) return;
  if (Owner->OnKeyDown) Owner->OnKeyDown(Owner, Key, Shift);
  if (Key == 0) return;
  if (IsMasked()) TInplaceEdit::KeyDown(Key, Shift);
  else TWinControl::KeyDown(Key, Shift);
}

void TkvDataInspectorEdit::KeyPress(char32_t& Key) {
  if (TkvDataInspector* Owner = Inspector(); Owner && Key == 13 && Owner->Options().Contains(ovEnterToTab)) Key = 9;
  TInplaceEdit::KeyPress(Key);
  if (Key != 0 && HasPictureMask()) PictureKeyPress(Key);
}

void TkvDataInspectorEdit::PictureKeyPress(char32_t& Key) {
  TkvDataInspector* Owner = Inspector();
  const std::string Old = Text();
  const int Length = CodePoints(Old);
  const int Start = SelStart(), Selected = SelLength();

  if (Key == 8) {
    if (!Owner || !Owner->OnCheckValue) return;
    std::string Candidate = Old;
    if (Selected > 0)
      Candidate = Utf8Mid(Old, 0, size_t(Start)) + Utf8Mid(Old, size_t(Start + Selected));
    else if (Start > 0)
      Candidate = Utf8Mid(Old, 0, size_t(Start - 1)) + Utf8Mid(Old, size_t(Start));
    CheckPicture(Candidate);
    return;
  }
  if (Key < 32) return;

  std::string Candidate = Utf8Mid(Old, 0, size_t(Start));
  Utf8Append(Candidate, Key);
  Candidate += Utf8Mid(Old, size_t(Start + Selected));
  // Past the length limit the window refuses the key itself.
  if (MaxLength() > 0 && CodePoints(Candidate) > MaxLength() && CodePoints(Candidate) > Length) return;

  TkvPictureValidator Validator(FPicture->PictureMask(), FPicture->AutoFill());
  const TkvPictureResult Result = Validator.CheckText(Candidate, FPicture->AutoFill());
  const bool WholeSelected = Length > 0 && Start == 0 && Selected >= Length;
  const int Growth = CodePoints(Candidate) - Length;
  bool Passes = true;
  switch (Result) {
    case pmrComplete:
      SetText(Candidate);
      if (Owner) Owner->FLastEditText = Candidate;
      SetSelStart(WholeSelected ? CodePoints(Candidate) : Growth > 0 ? Start + Growth : Start + 1);
      SetSelLength(0);
      Key = 0;
      SetModified(true);
      break;
    case pmrIncomplete:
      SetText(Candidate);
      if (Owner) Owner->FLastEditText = Text();
      // Past what was typed and filled in: a replaced selection counts as room the text had.
      SetSelStart(WholeSelected ? CodePoints(Candidate) : Start + Selected + Growth);
      SetSelLength(0);
      Key = 0;
      // Setting the text clears the window's modified flag; the user did change the text, and
      // leaving the row must still announce it.
      SetModified(true);
      Passes = false;
      break;
    case pmrError:
      if (Start + Selected < Length) {
        // Typing inside the text is left to the window; the result is checked on leaving.
        Passes = false;
        break;
      }
      Key = 0;
      MessageBeep(0);
      return;
    default:
      break;
  }
  TellCheckValue(Passes);
}

void TkvDataInspectorEdit::KeyUp(WORD& Key, TShiftState Shift) {
  TkvDataInspector* Owner = Inspector();
  if (Owner && Key == VK_RETURN && Owner->Options().Contains(ovEnterToTab)) Key = VK_TAB;
  TInplaceEdit::KeyUp(Key, Shift);
  if (Key == VK_DELETE && HasPictureMask() && Owner && Owner->OnCheckValue) CheckPicture(Text());
}

TInplaceEdit* TkvDataInspector::CreateEditor() { return new TkvDataInspectorEdit(this); }

TkvDataInspectorEdit* TkvDataInspector::InspectorEdit() const {
  return dynamic_cast<TkvDataInspectorEdit*>(InplaceEditor());
}

// ---- which editor ------------------------------------------------------------------------------

bool TkvDataInspector::UsesInplaceEdit() {
  TkvInspectorItem* Item = GetActiveItem();
  if (!Item || Item->DisableDefaultEditor() || Item->CustomControl()) return false;
  if (IsAutoDateTimeItem(Item) || Item->PickList()->Count() > 0 || Item->UsesPickListCombo()) return false;
  return !IsAutoLookupItem(Item);
}

bool TkvDataInspector::IsCheckboxRow(int32_t ARow) {
  TkvInspectorItem* Item = ItemAtRow(ARow);
  return Item && Item->PickList()->Count() > 0 && Item->PickList()->DisplayAsCheckbox() && !Item->CustomControl() &&
         !IsAutoDateTimeItem(Item);
}

TWinControl* TkvDataInspector::GetActiveEditor() {
  if (FActiveEditor) return FActiveEditor;
  TkvInspectorItem* Item = GetActiveItem();
  if (IsCheckboxRow(Row()) || (Item && Item->DisableDefaultEditor())) return nullptr;
  return InplaceEditor();
}

void TkvDataInspector::DoCalcCustomEdit(TkvInspectorItem* Item, TWinControl* CustomEdit, bool& AllowCustomEdit) {
  if (OnCalcCustomEdit) OnCalcCustomEdit(this, Item, CustomEdit, AllowCustomEdit);
}

void TkvDataInspector::ActivateItemEditor() {
  TkvInspectorItem* Item = GetActiveItem();
  if (!Item || ComponentState().Contains(csDesigning)) return;
  TWinControl* ScreenActive = Screen ? Screen->ActiveControl() : nullptr;
  const bool ChildActive = ScreenActive && ScreenActive->Parent() == this;
  if (!(FEntered && !ControlState().Contains(csPaintCopy)) && !ChildActive) return;

  // The row's own control, when it has one; else the shared combo for a pick-list row, or the
  // shared picker for a bound date or time row (a time has no calendar to drop down). Bound
  // lookup rows keep the in-place editor.
  TWinControl* Control = Item->CustomControl();
  if (!Control && Item->UsesPickListCombo()) Control = PreparedComboBox(Item);
  if (!Control && IsAutoDateTimeItem(Item)) {
    TkvDBDateTimePicker* Picker = GetDateTimePicker();
    Picker->SetShowButton(Item->GetField()->DataType() != ftTime);
    Control = Picker;
  }
  bool Allow = Control != nullptr;
  DoCalcCustomEdit(Item, Control, Allow);
  if (!Allow || !Control) return;

  const RECT Place = GetEditorRect(Col(), Row());
  const RECT Current = Control->BoundsRect();
  if (std::memcmp(&Place, &Current, sizeof(RECT)) != 0) Control->SetBoundsRect(Place);
  AttachCustomControl(Control, Item);
  Control->SetBoundsRect(Place);
  kvSetReadOnlyProp(Control, Item->ReadOnly() || FReadOnly);

  if (Control != FActiveEditor) {
    if ((!Item->CustomControlAlwaysPaints() || Item->UsesPickListCombo()) &&
        (Item->DataField().empty() || !Item->GetDataSource())) {
      Control->HandleNeeded();
      std::string Shown;
      Item->MapValueToDisplay(Item->EditText(), Shown);
      Control->SetText(Shown);
    }
    FEditorCol = Col();
    FEditorRow = Row();
  }
  FActiveEditor = Control;
}

TkvInspectorComboBox* TkvDataInspector::CreateComboBox() {
  auto* Combo = new TkvInspectorComboBox(this);
  Combo->SetInspector(this);
  return Combo;
}

void TkvDataInspector::DoCreateDefaultCombo(TkvDBComboBox* Combo) {
  if (OnCreateDefaultCombo) OnCreateDefaultCombo(this, Combo);
}

TkvDBDateTimePicker* TkvDataInspector::CreateDateTimePicker() { return new TkvDBDateTimePicker(this); }

void TkvDataInspector::DoCreateDateTimePicker(TkvDBCustomDateTimePicker* Picker) {
  if (OnCreateDateTimePicker) OnCreateDateTimePicker(this, Picker);
}

TkvDBDateTimePicker* TkvDataInspector::GetDateTimePicker() {
  if (!FDateTimePicker) {
    FDateTimePicker = CreateDateTimePicker();
    FDateTimePicker->SetVisible(false);
    FDateTimePicker->Font()->Assign(Font());
    FDateTimePicker->SetTabStop(false);
    DoCreateDateTimePicker(FDateTimePicker);
  }
  return FDateTimePicker;
}

TkvInspectorComboBox* TkvDataInspector::PreparedComboBox(TkvInspectorItem* Item) {
  if (!FComboBox) {
    FComboBox = CreateComboBox();
    FComboBox->SetVisible(false);
    FComboBox->SetParent(this);
    FComboBox->Font()->Assign(Font());
    FComboBox->SetMouseDownTime(static_cast<uint32_t>(GetMessageTime()));
    // Announced once, as the shared picker is: a handler set up for the combo (its drop-down
    // rows, its colours) would otherwise never get to see it.
    DoCreateDefaultCombo(FComboBox);
  }
  TkvInspectorPickList* PickList = Item->PickList();
  FComboBox->Items()->Assign(*PickList->Items());
  FComboBox->SetMapList(PickList->MapList());
  FComboBox->SetShowMatchText(PickList->ShowMatchText());
  FComboBox->SetStyle(PickList->Style());
  FComboBox->SetButtonStyle(PickList->ButtonStyle());
  FComboBox->SetAllowClearKey(PickList->AllowClearKey());
  FComboBox->ButtonGlyph()->Assign(nullptr);
  FComboBox->ButtonGlyph()->Assign(PickList->ButtonGlyph());
  FComboBox->SetButtonWidth(PickList->ButtonWidth());
  FComboBox->RebuildDropDownList();
  if (!Item->GetDataSource() || Item->DataField().empty()) FComboBox->SelectValue(Item->EditText());
  // Showing the row's own value is no choice of the user's: leaving the row untouched must not
  // announce the value again (the focus handler and the move can each place the combo).
  FComboBox->SetModified(false);
  return FComboBox;
}

void TkvDataInspector::AttachCustomControl(TWinControl* Control, TkvInspectorItem* Item) {
  if (!Control || !Item) return;
  if (Control->Parent() != this) {
    Control->SetParent(this);
    Control->HandleNeeded();
  }
  std::string ControlField;
  kvGetDataFieldProp(Control, ControlField);
  TDataSource* ItemSource = Item->GetDataSource();
  if (ControlField != Item->DataField() || kvGetDataSourceProp(Control) != ItemSource) {
    kvSetDataFieldProp(Control, "");
    if (ItemSource && !Item->DataField().empty()) {
      if (kvGetDataSourceProp(Control) != ItemSource) kvSetDataSourceProp(Control, ItemSource);
      kvSetDataFieldProp(Control, Item->DataField());
    }
    if (!Control->InheritsFrom("TCustomMemo") && Control->HandleAllocated())
      PostMessage(Control->Handle(), EM_SETSEL, 0, static_cast<LPARAM>(-1));
  }
  Control->SetCtl3D(false);
  if (Control->ParentFont()) Control->Font()->Assign(Font());
  Control->SetTabStop(false);
  kvSetBorderStyleProp(Control, false);
  if (auto* Edit = dynamic_cast<TkvDBCustomEdit*>(Control)) {
    // The row's mask rules the edit. The data set's PictureMasks entry is let go of first: with
    // it still in force, taking the row's mask would overwrite (or, for a row without a mask,
    // delete) the field's entry in the data set.
    Edit->Picture()->SetPictureMaskFromDataSet(false);
    Edit->SetPicture(Item->Picture());
  }
}

// ---- moving and committing ---------------------------------------------------------------------

void TkvDataInspector::ShowInplaceEditorReset() {
  const bool Saved = FFocusReset;
  FFocusReset = true;
  ShowEditor();
  FFocusReset = Saved;
}

void TkvDataInspector::MoveToCell(int32_t ACol, int32_t ARow) {
  TCustomForm* Form = GetParentForm(this);
  const bool FormActive = Form && Screen && Screen->ActiveForm() == Form;
  if (ACol == Col() && ARow == Row()) {
    if (FActiveEditor) {
      if (FEntered && FormActive && CanFocus()) SetFocus();
      FActiveEditor->Hide();
      FActiveEditor = nullptr;
      FEditorCol = FEditorRow = -1;
    }
    ActivateItemEditor();
    if (FActiveEditor) {
      FActiveEditor->Show();
      FActiveEditor->Update();
      if (FEntered && FormActive && FActiveEditor->CanFocus()) FActiveEditor->SetFocus();
    }
    return;
  }

  if (FIndicatorRow->Enabled() && ARow <= 0) ARow = Row();
  if (ACol != Col() || ARow != Row()) {
    FEditMode = false;
    FDataLink->UpdateData();
  }
  if (TkvInspectorItem* Item = GetActiveItem()) {
    if (FActiveEditor) {
      Item->SetEditText(ControlValueText(FActiveEditor));
      if (ControlReportsModified(FActiveEditor)) {
        ControlCommitted(FActiveEditor);
        Item->DoItemChanged();
      }
    } else if (TInplaceEdit* Edit = InplaceEditor(); Edit && Edit->Modified()) {
      if (Edit->Text() != Item->EditText()) Item->SetEditText(Edit->Text());
      Item->DoItemChanged();
      Edit->SetModified(false);
    }
  }

  const int32_t OldTop = TopRow();
  const int32_t OldRow = Row();
  TGridDrawInfo Info;
  CalcDrawInfo(Info);
  const bool Outside = ARow < TopRow() || ARow > Info.Vert.LastFullVisibleCell;
  if (Outside) LockRedraw();
  MoveColRow(ACol, ARow, true, true);
  if (Outside) UnlockRedraw(false);
  if (FBaseFixedRows > 0 && TopRow() < FixedRows()) SetTopRow(FixedRows());

  if (FActiveEditor && (FEditorCol != Col() || FEditorRow != Row())) {
    FActiveEditor->Hide();
    FActiveEditor = nullptr;
    FEditorCol = FEditorRow = -1;
  }
  if (UsesInplaceEdit()) ShowInplaceEditorReset();
  else HideEditor();

  if (TopRow() == OldTop) {
    InvalidateRow(OldRow);
    InvalidateRow(Row());
  } else {
    if (TopRow() < FixedRows()) SetTopRow(FixedRows());
    Invalidate();
    Update();
  }

  ActivateItemEditor();
  if (FActiveEditor) {
    FActiveEditor->Show();
    FActiveEditor->Update();
    if (FEntered && FActiveEditor->CanFocus()) FActiveEditor->SetFocus();
  }
}

void TkvDataInspector::CommitEditor() {
  if (TkvInspectorItem* Item = GetActiveItem()) {
    if (FActiveEditor) {
      Item->SetEditText(ControlValueText(FActiveEditor));
      if (ControlReportsModified(FActiveEditor)) {
        ControlCommitted(FActiveEditor);
        Item->DoItemChanged();
      }
    } else if (TInplaceEdit* Edit = InplaceEditor(); Edit && Edit->Modified()) {
      Item->DoItemChanged();
      Edit->SetModified(false);
    }
  }
  FDataLink->UpdateData();
}

void TkvDataInspector::WMSetFocus(TMessage& Message) {
  TCustomGrid::Dispatch(Message);
  if (!FFocusReset) {
    const bool Saved = FEditorHide;
    FEditorHide = true;
    if (UsesInplaceEdit()) {
      ShowEditor();
      if (TInplaceEdit* Edit = InplaceEditor()) Edit->SelectAll();
    } else {
      HideEditor();
    }
    FEditorHide = Saved;
  }
  // A click that brought the focus places the editor itself, at the clicked row.
  if (FActiveEditor || FClickPending) return;
  ActivateItemEditor();
  if (!FActiveEditor) return;
  TkvInspectorItem* Item = GetActiveItem();
  if (Item && FActiveEditor->InheritsFrom("TCustomEdit") && FActiveEditor->HandleAllocated() &&
      (Item->DataField().empty() || !Item->GetDataSource()))
    FActiveEditor->SetText(Item->EditText());
  FActiveEditor->Show();
  FActiveEditor->Update();
  if (FActiveEditor->CanFocus()) FActiveEditor->SetFocus();
}

// ---- value exchange ----------------------------------------------------------------------------

bool TkvDataInspector::CanEditModifyItem(TkvInspectorItem* Item) {
  if (!FDataLink->DataSet()) return !FReadOnly && Item && !Item->ReadOnly() && RowCount() > 0;
  TDataSet* DataSet = FDataLink->DataSet();
  if (DataSet->Bof() && DataSet->Eof() && DataSource()->State() == dsBrowse && !FOptions.Contains(ovAllowInsert))
    return false;
  if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly() || RowCount() == 0 || !Item || Item->ReadOnly())
    return false;
  TField* Field = Item->GetField();
  if (Field && !Field->CanModify()) return false;
  TDataLink* Link = Item->GetEditDataLink();
  Link->Edit();
  const bool Editing = Link->Editing();
  if (Editing) {
    if (Link == FDataLink.get()) {
      FDataLink->Modified();
    } else {
      Item->FieldLink()->Modified();
      FDataLink->Modified();
    }
  }
  return Editing;
}

bool TkvDataInspector::CanEditModify() { return CanEditModifyItem(GetActiveItem()); }

bool TkvDataInspector::CanEditShow() { return UsesInplaceEdit() && TCustomGrid::CanEditShow(); }

std::string TkvDataInspector::GetEditText(int32_t, int32_t ARow) {
  TkvInspectorItem* Item = ItemAtRow(ARow);
  if (!Item) return std::string();
  TField* Field = Item->GetField();
  if (!Field) {
    if (Item->GetDataSource() && !Item->DataField().empty()) {
      FLastEditText.clear();
      return std::string();
    }
    return Item->EditText();
  }
  std::string Result;
  if (!Field->DataSet() || !Field->DataSet()->Active()) Result.clear();
  else if (IsMemoLikeField(Field)) Result = Field->AsString();
  else Result = Field->EditText();
  FLastEditText = Result;
  return Result;
}

void TkvDataInspector::SetEditText(int32_t, int32_t ARow, const std::string& Value) {
  if (FEditorHide) return;
  if (TkvInspectorItem* Item = ItemAtRow(ARow)) Item->SetEditText(Value);
  FLastEditText = Value;
}

std::string TkvDataInspector::GetEditMask(int32_t, int32_t) {
  std::string Mask;
  if (FDataLink->Active())
    if (TkvInspectorItem* Item = GetActiveItem())
      if (TField* Field = Item->GetField()) Mask = Field->EditMask();
  return Mask;
}

void TkvDataInspector::DoValidationError(TkvInspectorItem* Item) {
  std::string Message = "Invalid input value.  Use escape key to abandon changes";
  bool DoDefault = true;
  if (OnValidationErrorUsingMask) OnValidationErrorUsingMask(this, Item, Message, DoDefault);
  if (!DoDefault) return;
  MessageBeep(0);
  throw EInvalidOperation(Message);
}
