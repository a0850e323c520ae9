// The bound edit: field binding through the data link, key handling (grid hand-over, locks,
// numeric filter, date and time completion on Space), focus entry and exit, paste and cut.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kvcontrols/editors/kvdatetextutils.h"
#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvintl.h"
#include "kvcontrols/editors/kvtextutils.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/numericfields.h"
#include "platform/db/textfields.h"
#include "platform/forms/controlcanvas.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/rect.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace {

int CodePoints(const std::string& Text) {
  return int(Utf8Length(Text));
}

bool EndsWith(const std::string& Text, char Ch) {
  return !Text.empty() && Text.back() == Ch;
}

std::string Padded(int Value, bool TwoDigits) {
  char Buffer[16];
  std::snprintf(Buffer, sizeof Buffer, TwoDigits ? "%02d" : "%d", Value);
  return Buffer;
}

bool IsNumericWithFormat(const TField* Field, bool& IsInteger) {
  const auto* Numeric = dynamic_cast<const TNumericField*>(Field);
  if (!Numeric || Numeric->DisplayFormat().empty()) return false;
  if (dynamic_cast<const TIntegerField*>(Field)) {
    IsInteger = true;
    return true;
  }
  if (dynamic_cast<const TFloatField*>(Field)) {
    IsInteger = false;
    return true;
  }
  return false;
}

}  // namespace

TkvDBCustomEdit::TkvDBCustomEdit(TComponent* AOwner) : TkvCustomMaskEdit(AOwner) {
  SetWindowReadOnly(true);
  FAutoSize = true;
  FControlStyle.Include(csReplicatable);
  FDataLink = std::make_unique<TFieldDataLink>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TkvDBCustomEdit::DataChange);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TkvDBCustomEdit::EditingChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TkvDBCustomEdit::UpdateData);
  FUsePictureMask = true;
  FAutoFillDate = true;
  RecomputeTextMargin();
}

TkvDBCustomEdit::~TkvDBCustomEdit() {
  FDataLink->OnDataChange = TNotifyEvent();
  FDataLink->OnEditingChange = TNotifyEvent();
  FDataLink->OnUpdateData = TNotifyEvent();
  FDataLink->SetDataSource(nullptr);
}

// ---- properties ----------------------------------------------------------------------------

TDataSource* TkvDBCustomEdit::DataSource() const {
  return FDataLink->DataSource();
}

void TkvDBCustomEdit::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSource() == Value) return;
  if (FDataLink->DataSource()) FDataLink->DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

const std::string& TkvDBCustomEdit::DataField() const {
  return FDataLink->FieldName();
}

void TkvDBCustomEdit::SetDataField(const std::string& Value) {
  if (!ComponentState().Contains(csDesigning)) ResetMaxLength();
  FDataLink->SetFieldName(Value);
}

bool TkvDBCustomEdit::ReadOnly() const {
  return FDataLink->ReadOnly();
}

void TkvDBCustomEdit::SetReadOnly(bool Value) {
  FDataLink->SetReadOnly(Value);
  // A bound edit's window follows the link's editing state instead.
  if ((Value && FDataLink->DataSet()) || ComponentState().Contains(csLoading)) return;
  SetWindowReadOnly(Value);
}

void TkvDBCustomEdit::SetEditAlignment(TkvEditAlignment Value) {
  if (FEditAlignment == Value) return;
  FEditAlignment = Value;
  RecreateWnd();
}

void TkvDBCustomEdit::SetUnboundAlignment(TAlignment Value) {
  if (FUnboundAlignment == Value) return;
  FUnboundAlignment = Value;
  Invalidate();
}

TField* TkvDBCustomEdit::Field() const {
  return FDataLink->Field();
}

void TkvDBCustomEdit::ResetMaxLength() {
  // A limit that came from the field's size follows the field.
  if (auto* StringField = dynamic_cast<TStringField*>(Field()))
    if (MaxLength() > 0 && MaxLength() == StringField->Size()) SetMaxLength(0);
}

void TkvDBCustomEdit::SetModifiedFlag(bool Value) {
  if (Value) {
    if (Field() && (FDataLink->ReadOnly() || Field()->ReadOnly())) return;
    if (DataSource() && DataSource()->State() != dsBrowse) FDataLink->Modified();
  }
  SetModified(Value);
}

bool TkvDBCustomEdit::IsDateKind() const {
  if (const TField* F = Field()) return dynamic_cast<const TDateField*>(F) != nullptr;
  return FUnboundDataType == kvEdtDate;
}

bool TkvDBCustomEdit::IsTimeKind() const {
  if (const TField* F = Field()) return dynamic_cast<const TTimeField*>(F) != nullptr;
  return FUnboundDataType == kvEdtTime;
}

bool TkvDBCustomEdit::IsDateTimeKind() const {
  // A date or a time field is a date-time field too.
  if (const TField* F = Field()) return dynamic_cast<const TDateTimeField*>(F) != nullptr;
  return FUnboundDataType == kvEdtDateTime;
}

TAlignment TkvDBCustomEdit::GetEffectiveAlignment() const {
  if (kvParentIsInspector(this)) return taLeftJustify;
  if (Field()) return FFieldAlignment;
  return FUnboundAlignment;
}

bool TkvDBCustomEdit::IsEditLocked() const {
  TDataSource* Source = DataSource();
  return Source && !Source->AutoEdit() && Source->State() != dsEdit && Source->State() != dsInsert;
}

bool TkvDBCustomEdit::IsMemoField() const {
  const TField* F = Field();
  if (!F || !F->IsBlob()) return false;
  return F->DataType() == ftMemo || F->DataType() == ftOraBlob || F->DataType() == ftOraClob;
}

void TkvDBCustomEdit::StartEdit() {
  if (!IsEditLocked()) FDataLink->Edit();
}

bool TkvDBCustomEdit::EditCanModify() {
  TField* F = Field();
  if (!F) return true;
  if (FDataLink->Edit()) return true;
  return !ReadOnly() && (F->Calculated() || F->Lookup()) && !F->ReadOnly() && F->DataSet() &&
         F->DataSet()->CanModify();
}

void TkvDBCustomEdit::Reset() {
  if (Field())
    FDataLink->Reset();
  else
    SetText(FStartValue);
  SelectAll();
  SetModified(false);
  RecheckForEvent();
}

void TkvDBCustomEdit::Loaded() {
  TkvCustomMaskEdit::Loaded();
  ResetMaxLength();
  if (!Field() && !ReadOnly()) SetWindowReadOnly(false);
}

void TkvDBCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkvCustomMaskEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
}

void TkvDBCustomEdit::Change() {
  if (!ComponentState().Contains(csLoading)) {
    if (!Field()) SetModifiedFlag(true);
    if (FSetModifiedInChangeEvent) SetModified(true);
  }
  // A transparent edit shows what lies behind it: that must be painted again under new text.
  if (!FFocused && FFrame->IsTransparentInEffect()) FFrame->RefreshTransparentBackground(false, true);
  TCustomMaskEdit::Change();
}

// ---- the data link -------------------------------------------------------------------------

void TkvDBCustomEdit::DataChange(TObject*) {
  TField* F = Field();
  if (!F) {
    FFieldAlignment = taLeftJustify;
    SetEditMask("");
    SetText(ComponentState().Contains(csDesigning) ? Name() : "");
    return;
  }
  if (FFieldAlignment != F->Alignment()) {
    SetText("");
    FFieldAlignment = F->Alignment();
    Invalidate();
  }
  if (!PictureMaskInUse()) SetEditMask(F->EditMask());
  if (!ComponentState().Contains(csDesigning))
    if (auto* StringField = dynamic_cast<TStringField*>(F))
      if (MaxLength() == 0) SetMaxLength(StringField->Size());
  if ((FFocused || IsMemoField()) && FDataLink->CanModify())
    SetText(IsMemoField() ? F->AsString() : F->EditText());
  else
    SetText(IsMemoField() ? F->AsString() : F->DisplayText());
  SetModified(false);
}

void TkvDBCustomEdit::EditingChange(TObject*) {
  SetWindowReadOnly(!FDataLink->Editing());
}

bool TkvDBCustomEdit::EditMaskTextIsBlank() const {
  if (MaskStoreLiteralTemplate() || !IsMasked()) return false;
  const TEditMask& EditMask = Mask();
  const std::u32string Shown = Utf8ToUtf32(EditText());
  std::u32string Kept;
  for (size_t Index = 0; Index < Shown.size() && Index < EditMask.Length(); ++Index)
    if (!EditMask.IsLiteral(Index)) Kept += Shown[Index];
  const char32_t Blank = EditMask.Blank();
  if (EditMask.Reverse()) {
    while (!Kept.empty() && Kept.front() == Blank) Kept.erase(Kept.begin());
  } else {
    while (!Kept.empty() && Kept.back() == Blank) Kept.pop_back();
  }
  for (char32_t& Ch : Kept)
    if (Ch == Blank) Ch = U' ';
  while (!Kept.empty() && Kept.back() == U' ') Kept.pop_back();
  return Kept.empty();
}

void TkvDBCustomEdit::UpdateData(TObject*) {
  if (WindowReadOnly()) return;
  TField* F = Field();
  if (!F) return;
  if (PictureMaskInUse()) {
    if (!IsPictureValid(Text())) {
      TDataSet* DataSet = F->DataSet();
      // The data set's own OnInvalidValue handler, reached through its published method name.
      TkvInvalidValueEvent Handler;
      if (DataSet && GetPropInfo(DataSet, "OnInvalidValue")) {
        const TValue Bound = GetPropValue(DataSet, "OnInvalidValue");
        if (const TMethod* Method = std::get_if<TMethod>(&Bound); Method && Method->Data)
          Handler.BindByName(Method->Data, Method->Name);
      }
      if (Handler)
        Handler(DataSet, DataSet, F);
      else
        DoInvalidValue(F);
    }
  } else if (!(IsMasked() && EditMaskTextIsBlank())) {
    ValidateEdit();
  }
  if (!Modified()) return;
  std::string Value;
  GetValueText(Value);
  if (IsMemoField()) {
    F->SetAsString(Value);
    return;
  }
  if (!FDataLink->Editing() && !F->Calculated() && !F->Lookup()) return;
  if (Value.empty()) {
    F->SetText("");
    return;
  }
  if (dynamic_cast<TDateTimeField*>(F) && kvIsDateText(Value)) {
    TDateTime Date = 0, Full = 0;
    kvTryScanDateWindow(Value, Date, kvDefaultCenturyBase);
    TryStrToDateTime(Value, Full);
    F->SetAsDateTime(Date + (Full - DateOf(Full)));
    return;
  }
  if (IsMasked() && EditMaskTextIsBlank()) {
    F->Clear();
    return;
  }
  bool IsInteger = false;
  if (IsNumericWithFormat(F, IsInteger)) {
    long double Number = 0;
    const auto* Numeric = static_cast<TNumericField*>(F);
    if (kvFormattedTextToFloat(Value, Number, Numeric->DisplayFormat())) {
      if (IsInteger)
        F->SetAsInteger(int32_t(std::nearbyint(double(Number))));  // ties to even
      else
        F->SetAsFloat(double(Number));
      return;
    }
  }
  F->SetText(Value);
}

void TkvDBCustomEdit::DoInvalidValue(TField* AField) {
  if (kvGlobalIntl) kvGlobalIntl->DoValidationErrorUsingMask(this, AField);
}

// ---- keys ----------------------------------------------------------------------------------

bool TkvDBCustomEdit::HandGridKey(WORD& Key, TShiftState Shift) {
  auto* Grid = dynamic_cast<TWinControl*>(Parent());
  if (!Grid || !kvParentIsGrid(this)) return false;
  if (IsMemoField() && SelLength() > 0 && SelLength() < CodePoints(Text())) return false;
  const bool Alt = Shift.Contains(ssAlt), Ctrl = Shift.Contains(ssCtrl);
  const bool InInspector = kvParentIsInspector(this);
  const bool AlwaysShowEditor = kvHasOptionByName(Grid, "dgAlwaysShowEditor");
  const int Length = CodePoints(Text()), Start = SelStart(), Sel = SelLength();

  bool ToGrid = false;
  switch (Key) {
    case VK_ESCAPE:
      ToGrid = !Modified();
      break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      ToGrid = !Alt;
      break;
    case VK_INSERT:
      ToGrid = !Shift.Contains(ssShift);
      break;
    case VK_DELETE:
      ToGrid = Ctrl;
      break;
    case VK_HOME:
    case VK_LEFT:
      if (Key == VK_LEFT && InInspector) break;
      ToGrid = AlwaysShowEditor &&
               (Ctrl || (Start == 0 && (Sel == 0 || Sel >= Length || (IsMasked() && Sel == 1))));
      break;
    case VK_END:
    case VK_RIGHT:
      if (Key == VK_RIGHT && InInspector) break;
      ToGrid = AlwaysShowEditor && Start + Sel >= Length && (Sel == 0 || Start == 0);
      break;
    case VK_F2:
      if (Grid->OnKeyDown) Grid->OnKeyDown(Grid, Key, Shift);
      if (Key == VK_F2 && HasEditableText()) {
        SetSelStart(Length);
        SetSelLength(0);
      }
      Key = 0;
      return true;
    default:
      break;
  }
  if (!HasEditableText() && (Key == VK_HOME || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT))
    ToGrid = true;
  if (ToGrid) {
    if (Grid->CanFocus()) Grid->SetFocus();
    if (Grid->Focused()) Grid->Perform(WM_KEYDOWN, Key, 0);
    Key = 0;
    return true;
  }
  const bool OtherActive = Screen && Screen->ActiveControl() && Screen->ActiveControl() != this;
  if (!((Key == VK_RETURN || Key == VK_TAB) && OtherActive))
    if (Grid->OnKeyDown) Grid->OnKeyDown(Grid, Key, Shift);
  return Key == 0;
}

void TkvDBCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (HandGridKey(Key, Shift)) return;
  TkvCustomMaskEdit::KeyDown(Key, Shift);
  const bool ShiftInsert = Key == VK_INSERT && Shift.Contains(ssShift);
  if (Key == VK_DELETE || ShiftInsert) {
    if (DataSource()) {
      if (IsEditLocked()) {
        Key = 0;
        return;
      }
      FDataLink->Edit();
      SetModifiedFlag(true);
    } else if (!ReadOnly()) {
      SetWindowReadOnly(false);
    }
  }
}

void TkvDBCustomEdit::KeyPress(char32_t& Key) {
  if (kvParentIsGrid(this)) {
    // The hosting grid sees typed characters first (its OnKeyPress).
    if (auto* Grid = dynamic_cast<TWinControl*>(Parent()); Grid && Grid->OnKeyPress)
      Grid->OnKeyPress(Grid, Key);
    if (Key == 0) return;
  }
  if (Key == 9) {
    Key = 0;
    return;
  }
  const bool Editing = Key >= 32 || Key == 8 || (Key == 13 && FWantReturns);
  if (Editing) {
    TDataSource* Source = DataSource();
    if (Source && Source->State() != dsEdit && Source->State() != dsInsert && !Source->AutoEdit()) {
      Key = 0;
      return;
    }
    TField* F = Field();
    if (!F) {
      if (ReadOnly()) return;
      SetWindowReadOnly(false);
    } else if ((F->Calculated() || F->Lookup()) && !ReadOnly()) {
      if (F->ReadOnly() || !F->DataSet() || !F->DataSet()->CanModify()) return;
      F->DataSet()->Edit();
      SetWindowReadOnly(false);
    }
  }

  if (Key == U' ' && AutoCompleteDateTime(Key)) {
    RecheckForEvent();
    return;
  }

  // The picture mask (and the class library's edit mask) come next.
  const std::string Before = Text();
  const char32_t Typed = Key;
  TkvCustomMaskEdit::KeyPress(Key);
  bool DropAtEnd = false;
  if (Key == 0) {
    if (FModifiedInKeyPress && Text() != Before) SetModifiedFlag(true);
    if (!IsMasked() || FModifiedInKeyPress) return;
    // The edit mask took the key; the checks below still see it, and it is dropped after them.
    Key = Typed;
    DropAtEnd = true;
  }

  std::string Display;
  if (Key >= 32 && !GetDisplayText(Text(), Display)) {
    if (TField* F = Field()) {
      bool IsInteger = false;
      bool Refuse = false;
      if (IsNumericWithFormat(F, IsInteger)) {
        const bool Sign = Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9');
        Refuse = IsInteger ? !Sign
                           : !(Sign || Key == U'E' || Key == U'e' ||
                               Key == char32_t(FormatSettings().DecimalSeparator));
      } else {
        Refuse = !F->IsValidChar(Key);
      }
      if (Refuse) {
        MessageBeep(0);
        Key = 0;
        return;
      }
    }
  }

  const bool InCustomDBGrid = kvParentIsCustomDBGrid(this);
  if (Key == 8 || Key == 22 || Key == 24 || Key >= 32) {
    FDataLink->Edit();
    SetModifiedFlag(true);
    if (!HasEditableText()) Key = 0;
  } else if (Key == 9) {
    if (InCustomDBGrid) Key = 0;
  } else if (Key == 13) {
    if (FWantReturns) {
      FDataLink->Edit();
      SetModifiedFlag(true);
    } else if (InCustomDBGrid) {
      Key = 0;
    }
  } else if (Key == 27) {
    Reset();
    Invalidate();
    Key = 0;
    if (InCustomDBGrid)
      if (auto* Grid = dynamic_cast<TWinControl*>(Parent()); Grid && Grid->CanFocus()) Grid->SetFocus();
  }
  if (DropAtEnd) Key = 0;
}

bool TkvDBCustomEdit::AutoCompleteDateTime(char32_t& Key) {
  const bool Time = IsTimeKind(), DateTime = IsDateTimeKind() && !IsTimeKind() && !IsDateKind();
  const bool Date = IsDateKind();
  if (!Time && !DateTime && !Date) return false;
  if (GetKeyState(VK_CONTROL) < 0 || !FAutoFillDate) return false;
  if (FPicture->AutoFill() && PictureMaskInUse()) return false;
  if (ReadOnly()) {
    MessageBeep(0);
    return false;
  }
  std::string Value = Text();
  const int Length = CodePoints(Value);
  const int Caret = SelStart();
  const bool WholeSelected = Caret == 0 && SelLength() >= Length;
  if (WindowReadOnly() && Field()) return false;
  if (!(Caret >= Length || WholeSelected)) return false;

  if (WholeSelected) Value.clear();
  const TFormatSettings& Settings = FormatSettings();
  const char DateSep = Settings.DateSeparator, TimeSep = Settings.TimeSeparator;
  const TDateTime Today = ::Date(), Moment = Now();
  Key = 0;
  if (IsEditLocked()) return true;
  FDataLink->Edit();
  if (WindowReadOnly()) SetWindowReadOnly(false);

  const auto Finish = [&](const std::string& NewText, bool Mark) {
    SetTextAsEdit(NewText);
    SetSelStart(CodePoints(NewText));
    SetSelLength(0);
    if (Mark) SetModifiedFlag(true);
  };

  const int DateSeparators = kvCountChar(Value, char32_t(DateSep));
  TkvDateTimePart Part;
  if (Time) {
    Part = kvTimePartAt(CodePoints(Value), Value);
  } else if (Value.empty()) {
    const int Order = kvDateOrder(Settings.ShortDateFormat);
    Part = Order == kvOrderDMY ? dtpDay : Order == kvOrderYMD ? dtpYear : dtpMonth;
  } else if (DateSeparators < 2 && !EndsWith(Value, DateSep)) {
    // "1/10" first gets its separator; the next Space adds the year.
    Finish(Value + DateSep, false);
    return true;
  } else {
    Part = kvDateTimePartAt(CodePoints(Value), Value, false);
  }

  uint16_t Year, Month, Day, Hour, Minute, Second, MSec;
  DecodeDate(Today, Year, Month, Day);
  DecodeTime(Moment, Hour, Minute, Second, MSec);
  const std::string LowerFormat = LowerCase(Settings.ShortDateFormat);

  if (Part == dtpDay || Part == dtpMonth || Part == dtpYear) {
    if (Time) return true;
    // A complete date takes no further date part.
    if (DateSeparators >= 2 && !EndsWith(Value, DateSep)) return true;
    if (Part == dtpDay)
      Value += Padded(Day, LowerFormat.find("dd") != std::string::npos);
    else if (Part == dtpMonth)
      Value += Padded(Month, LowerFormat.find("mm") != std::string::npos);
    else if (Settings.ShortDateFormat.find("yyyy") != std::string::npos)
      Value += Padded(Year, false);
    else
      Value += Padded(Year % 100, true);
    if (!EndsWith(Value, DateSep) && kvCountChar(Value, char32_t(DateSep)) < 2) Value += DateSep;
    Finish(Value, true);
    return true;
  }

  if (!Time && !DateTime) return true;
  const bool HasAM = !Settings.TimeAMString.empty();
  const std::string Upper = UpperCase(Value);
  bool HasMarker;
  if (HasAM) {
    const char AM = UpperCase(Settings.TimeAMString).front();
    const char PM = Settings.TimePMString.empty() ? AM : UpperCase(Settings.TimePMString).front();
    HasMarker = Upper.find(AM) != std::string::npos || Upper.find(PM) != std::string::npos;
  } else {
    HasMarker = kvCountChar(Value, char32_t(TimeSep)) >= 2 && !EndsWith(Value, TimeSep);
  }
  if (HasMarker) return true;

  if (Part == dtpSecond) {
    // "9:05:30" is complete: the marker comes next.
    const size_t Last = Value.rfind(TimeSep);
    if (Last != std::string::npos && Value.size() - Last - 1 >= 2) Part = dtpAMPM;
  }
  switch (Part) {
    case dtpHour: {
      if (DateTime && !EndsWith(Value, ' ')) {
        Finish(Value + ' ', false);
        return true;
      }
      int Shown = Hour;
      if (HasAM) {
        Shown = Hour % 12;
        if (Shown == 0) Shown = 12;
      }
      Value += Padded(Shown, false) + TimeSep;
      break;
    }
    case dtpMinute:
      if (!EndsWith(Value, TimeSep)) {
        Finish(Value + TimeSep, false);
        return true;
      }
      Value += Padded(Minute, true) + TimeSep;
      break;
    case dtpSecond:
      Value += Padded(Second, true);
      break;
    case dtpAMPM:
      if (!HasAM) return true;
      if (!EndsWith(Value, ' ')) Value += ' ';
      Value += Hour < 12 ? "AM" : "PM";
      break;
    default:
      return true;
  }
  Finish(Value, true);
  return true;
}

void TkvDBCustomEdit::CNKeyDown(TMessage& Message) {
  const WORD Key = Message.CharCode();
  const TShiftState Shift = KeyDataToShiftState(Message.KeyData());
  if (ComponentState().Contains(csDesigning) || (Key != VK_RETURN && Key != VK_ESCAPE && Key != VK_TAB)) {
    TkvCustomMaskEdit::Dispatch(Message);
    return;
  }
  if (Key == VK_RETURN && FWantReturns && !Shift.Contains(ssCtrl)) {
    Message.Result = 0;  // the window types the line end
    return;
  }
  auto* Grid = kvParentIsGrid(this) ? dynamic_cast<TWinControl*>(Parent()) : nullptr;
  const bool Tabs = Grid && kvHasOptionByName(Grid, "goTabs");
  // An open drop-down takes Enter and Escape itself (it closes); only then do they go on.
  if (IsDroppedDown()) Grid = nullptr;
  if (Grid && (Key == VK_RETURN || (Key == VK_TAB && Tabs))) {
    if (Grid->CanFocus()) Grid->SetFocus();
    if (Grid->Focused()) Grid->Perform(WM_KEYDOWN, Key, Message.LParam);
    Message.Result = 1;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && (!Modified() || (Key == VK_RETURN && !FWantReturns)) &&
      FHandle && (GetWindowLongA(FHandle, GWL_STYLE) & LONG(ES_MULTILINE)) && Parent() &&
      Parent()->HandleAllocated()) {
    if (SendMessageA(Parent()->HandleIfAllocated(), CN_KEYDOWN, Message.WParam, Message.LParam) != 0) {
      Message.Result = 1;
      return;
    }
  }
  TkvCustomMaskEdit::Dispatch(Message);
}

// ---- focus ---------------------------------------------------------------------------------

void TkvDBCustomEdit::CMEnter(TMessage& Message) {
  SetEditRect();
  if (!FFocused) {
    FFocused = true;
    if (GetEffectiveAlignment() != taLeftJustify && !IsMasked()) Invalidate();
    if (Field())
      FDataLink->Reset();
    else
      FStartValue = Text();
  }
  TkvCustomMaskEdit::Dispatch(Message);
  if (!HasEditableText()) Invalidate();
  if (FFrame->IsTransparentInEffect()) {
    // Editing happens on an opaque window.
    FFrame->SetCreateTransparent(false);
    if (FHandle)
      SetWindowLongA(FHandle, GWL_EXSTYLE, GetWindowLongA(FHandle, GWL_EXSTYLE) & ~LONG(WS_EX_TRANSPARENT));
    Invalidate();
  }
  if (FFrame->Enabled()) Invalidate();
}

void TkvDBCustomEdit::DoEnter() {
  FPicture->RefreshFromDataSet();
  TkvCustomMaskEdit::DoEnter();
  if (kvParentIsDBGrid(this)) SelectAll();
  if (!Field()) SetModified(false);
}

void TkvDBCustomEdit::CMExit(TMessage& Message) {
  const bool WasModified = Modified();
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    SelectAll();
    if (CanFocus()) SetFocus();
    SetModified(WasModified);
    throw;
  }
  TkvCustomMaskEdit::CMExit(Message);
  if (!FDoExitPictureError) {
    FFocused = false;
    SetSelStart(0);
  }
  if (!HasEditableText()) Invalidate();
  if (FFrame->IsTransparentInEffect()) {
    FFrame->SetCreateTransparent(true);
    RecreateWnd();
  } else if (FFrame->Enabled()) {
    Invalidate();
    kvInvalidateTransparentParents(this);
  }
}

void TkvDBCustomEdit::WMPasteCut(TMessage& Message) {
  if (!Field()) {
    if (ReadOnly()) return;
    SetWindowReadOnly(false);
  }
  if (IsEditLocked()) return;
  StartEdit();
  TkvCustomMaskEdit::WMPasteCut(Message);
  SetModifiedFlag(true);
}

void TkvDBCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENTER:
      CMEnter(Message);
      return;
    case CN_KEYDOWN:
      CNKeyDown(Message);
      return;
    case WM_UNDO:
      StartEdit();
      TkvCustomMaskEdit::Dispatch(Message);
      SetModifiedFlag(true);
      return;
    case CM_GETDATALINK:
      Message.Result = LRESULT(FDataLink.get());
      return;
    case CM_MOUSEENTER:
      // DoMouseEnter fires OnMouseEnter itself.
      if (Message.LParam != 0)
        TkvCustomMaskEdit::Dispatch(Message);
      else
        DoMouseEnter();
      return;
    case CM_MOUSELEAVE: {
      POINT Cursor{};
      GetCursorPos(&Cursor);
      const RECT Client = ClientRect();
      if (Message.LParam != 0) {
        TkvCustomMaskEdit::Dispatch(Message);
        return;
      }
      if (HandleAllocated() && PtInRect(&Client, ScreenToClient(Cursor))) return;
      DoMouseLeave();
      return;
    }
    case WM_SETFOCUS:
      TkvCustomMaskEdit::Dispatch(Message);
      if (!HasEditableText() && FHandle) HideCaret(FHandle);
      return;
    case WM_VSCROLL:
      if (!Focused() && ((FFrame->IsTransparentInEffect() && CanFocus()) || kvParentIsCustomDBGrid(this)))
        SetFocus();
      TkvCustomMaskEdit::Dispatch(Message);
      return;
    case CM_FONTCHANGED:
      TkvCustomMaskEdit::Dispatch(Message);
      RecomputeTextMargin();
      if (!(Owner() && Owner()->ComponentState().Contains(csLoading))) SetEditRect();
      if (FFrame->Enabled() && AutoSize() && !kvParentIsGrid(this) && BorderStyle() == bsNone)
        FFrame->AdjustHeight();
      return;
    case WM_SIZE:
      TkvCustomMaskEdit::Dispatch(Message);
      SetEditRect();
      return;
    case WM_PAINT:
      if (PaintsItself()) {
        PaintSelf(Message);
        return;
      }
      TkvCustomMaskEdit::Dispatch(Message);
      if (FFrame->IsFrameEffective() && FHandle) {
        TControlCanvas* Canvas = PaintCanvas();
        PaintFrame(Canvas);
        Canvas->FreeHandle();
      }
      return;
    case WM_ERASEBKGND:
      if (kvIsPaintCopyInInspector(this) || (!FFocused && FFrame->IsTransparentInEffect())) {
        Message.Result = 1;
        return;
      }
      TkvCustomMaskEdit::Dispatch(Message);
      return;
    default:
      TkvCustomMaskEdit::Dispatch(Message);
      return;
  }
}

void TkvDBCustomEdit::RecomputeTextMargin() {
  // Controls are drawn new-style here, where the text keeps one pixel from the border.
  FTextMargin = 1;
}
