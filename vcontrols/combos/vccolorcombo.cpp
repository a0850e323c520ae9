// The colour combo: its list options, the selected colour kept in step with the text and the
// list, opening and closing the drop-down, the colour dialog, and the data binding by name or
// integer value. Keys are in vccolorcombokeys.cpp, painting in vccolorcombopaint.cpp.

#include "vcontrols/combos/vccolorcombo.h"

#include <algorithm>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/gdi/rect.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcColorListOptions)
KORCAM_REGISTER_CLASS(TvcCustomColorCombo)
KORCAM_REGISTER_CLASS(TvcColorCombo)

using namespace vccombo;

namespace {

// A decimal whole number, as the integer fields show colours.
bool IsDecimalInteger(const std::string& Text, int32_t& Value) {
  if (Text.empty()) return false;
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    const char C = Text[Index];
    if (!((C >= '0' && C <= '9') || (Index == 0 && C == '-' && Text.size() > 1))) return false;
  }
  return TryStrToInt(Text, Value);
}

}  // namespace

// ---- list options ------------------------------------------------------------------------------

TvcColorListOptions::TvcColorListOptions(TvcCustomColorCombo* ACombo) : FCombo(ACombo) {
  FFont = std::make_unique<TFont>();
}

TvcColorListOptions::~TvcColorListOptions() = default;

void TvcColorListOptions::SetColorWidth(int32_t Value) {
  if (Value == FColorWidth) return;
  FColorWidth = Value;
  if (FCombo) {
    FCombo->SetEditRect();
    FCombo->Invalidate();
  }
}

void TvcColorListOptions::SetFont(TFont* Value) {
  if (Value) FFont->Assign(Value);
}

void TvcColorListOptions::SetGreyScaleIncrement(int32_t Value) {
  if (Value < 1 || Value > 255 || Value == FGreyScaleIncrement) return;
  FGreyScaleIncrement = Value;
}

void TvcColorListOptions::SetOptions(const TvcColorListBoxOptions& Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (FCombo && FCombo->ColorList()) FCombo->ColorList()->SetOptions(Value);
}

void TvcColorListOptions::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcColorListOptions*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FColor = Other->FColor;
  SetColorWidth(Other->FColorWidth);
  SetFont(Other->FFont.get());
  SetGreyScaleIncrement(Other->FGreyScaleIncrement);
  FIntegralHeight = Other->FIntegralHeight;
  FItemHeight = Other->FItemHeight;
  FNoneString = Other->FNoneString;
  SetOptions(Other->FOptions);
  FSortBy = Other->FSortBy;
}

// ---- the combo ---------------------------------------------------------------------------------

TvcCustomColorCombo::TvcCustomColorCombo(TComponent* AOwner) : TvcCustomCombo(AOwner) {
  FColorListOptions = std::make_unique<TvcColorListOptions>(this);
  FButtonStyle = cbsDownArrow;
  FDropDownCount = 8;
  FStyle = csDropDownList;
  FControlStyle.Include(csReplicatable);
  FCustomColorList.OnChange = [this](TStringList&) { CustomColorsChanged(); };
}

TvcCustomColorCombo::~TvcCustomColorCombo() {
  FCustomColorList.OnChange = nullptr;
}

void TvcCustomColorCombo::BeforeDestruction() {
  FCustomColorList.OnChange = nullptr;
  // The list goes first: nothing of it may call back into a half-destroyed combo.
  if (FColorList) {
    FColorList->OnAddNewColor = nullptr;
    FColorList->OnFilterColor = nullptr;
    FColorList->OnMouseDown = nullptr;
    FColorList->OnMouseUp = nullptr;
  }
  FreeAndNil(FColorList);
  TvcCustomCombo::BeforeDestruction();
}

TvcColorCombo::TvcColorCombo(TComponent* AOwner) : TvcCustomColorCombo(AOwner) {}

// ---- settings ----------------------------------------------------------------------------------

void TvcCustomColorCombo::SetColorAlignment(TLeftRight Value) {
  if (Value == FColorAlignment) return;
  FColorAlignment = Value;
  if (FColorList) FColorList->SetColorAlignment(Value);
  SetEditRect();
  Invalidate();
}

void TvcCustomColorCombo::SetColorDialog(TColorDialog* Value) {
  if (Value == FColorDialog) return;
  if (FColorDialog) FColorDialog->RemoveFreeNotification(this);
  FColorDialog = Value;
  if (Value) Value->FreeNotification(this);
}

void TvcCustomColorCombo::SetColorListOptions(TvcColorListOptions* Value) {
  FColorListOptions->Assign(Value);
}

TStrings* TvcCustomColorCombo::CustomColors() const {
  return const_cast<TStringList*>(&FCustomColorList);
}

void TvcCustomColorCombo::SetCustomColors(TStrings* Value) {
  if (Value == &FCustomColorList) return;
  if (Value)
    FCustomColorList.Assign(*Value);
  else
    FCustomColorList.Clear();
  if (FColorList) FColorList->SetCustomColors(&FCustomColorList);
}

void TvcCustomColorCombo::CustomColorsChanged() {
  CreateColorList();
  FColorList->CustomColors()->Assign(FCustomColorList);
  FColorList->SetSelectedColor(FSelectedColor);
}

TLeftRight TvcCustomColorCombo::UnboundAlignment() const {
  if (TField* F = Field()) return F->DataType() == ftString ? F->Alignment() : taLeftJustify;
  return FUnboundAlignment;
}

void TvcCustomColorCombo::SetUnboundAlignment(TLeftRight Value) {
  FUnboundAlignment = Value;
}

void TvcCustomColorCombo::Notification(TComponent* AComponent, TOperation Operation) {
  TvcCustomCombo::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FColorDialog) FColorDialog = nullptr;
  if (AComponent == FColorList) FColorList = nullptr;
}

// ---- the selected colour -----------------------------------------------------------------------

void TvcCustomColorCombo::SetSelectedColor(TColor Value) {
  if (Value == FSelectedColor) return;
  FSelectedColor = Value;
  if (!HandleAllocated()) return;
  CreateColorList();
  SyncSelectedColor();
}

int TvcCustomColorCombo::ShownIndexOfName(const std::string& Name) {
  if (!FColorList) return -1;
  return IndexOfName(Name, *FColorList->Items());
}

int TvcCustomColorCombo::ShownIndexOfColor(TColor Color) {
  if (!FColorList) return -1;
  const int Master = IndexOfValue(ValueTextOf(Color), FColorList->MasterList());
  if (Master < 0) return -1;
  return ShownIndexOfName(GetNameAt(FColorList->MasterList(), Master));
}

void TvcCustomColorCombo::SyncSelectedColor() {
  if (!FColorList) return;
  const TColor Color = FSelectedColor;
  if (Color == vcNoColor) {
    FColorList->SetSelectedColor(vcNoColor);
    FItemIndex = -1;
    SetText("");
    Invalidate();
    return;
  }
  const std::string Hex = ValueTextOf(Color);
  if (IndexOfValue(Hex, FColorList->MasterList()) < 0) {
    FColorList->AddColor(ColorToRGBText(Color), Hex);
    // Refused by OnAddNewColor: the text and the selection stay as they were.
    if (IndexOfValue(Hex, FColorList->MasterList()) < 0) return;
  }
  FColorList->SetSelectedColor(Color);
  const int Shown = ShownIndexOfColor(Color);
  SetTextByName(Shown >= 0 ? GetNameAt(*FColorList->Items(), Shown) : std::string());
  Invalidate();
}

void TvcCustomColorCombo::SetTextByName(const std::string& Name) {
  const int Shown = ShownIndexOfName(Name);
  if (Shown >= 0) SetItemIndex(Shown);
  SetText(Name);
}

void TvcCustomColorCombo::SetItemIndex(int Index) {
  CreateColorList();
  Index = std::clamp(Index, -1, FColorList->Count() - 1);
  if (Index == FItemIndex) return;
  FItemIndex = Index;
  FColorList->SelectIndex(Index);
  FSelectedColor = Index >= 0 ? FColorList->ColorOfItem(Index) : vcNoColor;
  if (Index >= 0) SetText(GetNameAt(*FColorList->Items(), Index));
  Invalidate();
}

std::string TvcCustomColorCombo::ColorName(TColor Color) {
  if (!FColorList) return std::string();
  const int Shown = ShownIndexOfColor(Color);
  if (Shown >= 0) return GetNameAt(*FColorList->Items(), Shown);
  return Color == vcNoColor ? std::string() : ColorToRGBText(Color);
}

TColor TvcCustomColorCombo::ColorOfItem(int Index) {
  if (Index >= 0 && FColorList && Index < FColorList->Count()) return FColorList->ColorOfItem(Index);
  if (Index == -1)
    if (auto Parsed = ParseRGBText(Text())) return *Parsed;
  return FSelectedColor;
}

void TvcCustomColorCombo::DoAddNewColor(TObject* Sender, TColor Color, std::string& Name, bool& Accept) {
  if (OnAddNewColor) OnAddNewColor(Sender, Color, Name, Accept);
}

void TvcCustomColorCombo::DoFilterColor(TObject* Sender, TColor Color, const std::string& Name, bool& Accept) {
  if (OnFilterColor) OnFilterColor(Sender, Color, Name, Accept);
}

void TvcCustomColorCombo::RebuildList() {
  if (FColorList) FColorList->BuildColorList();
}

// ---- the list ----------------------------------------------------------------------------------

void TvcCustomColorCombo::CreateColorList() {
  if (FColorList) return;
  FColorList = new TvcColorList(this);
  FColorList->OnFilterColor = TvcOnFilterColorEvent(this, &TvcCustomColorCombo::DoFilterColor);
  FColorList->OnAddNewColor = TvcAddNewColorEvent(this, &TvcCustomColorCombo::DoAddNewColor);
  FColorList->OnMouseDown = TMouseEvent(this, &TvcCustomColorCombo::ListMouseDown);
  FColorList->OnMouseUp = TMouseEvent(this, &TvcCustomColorCombo::ListMouseUp);
  TControlStyle Style = FColorList->ControlStyle();
  Style.Include(csNoDesignVisible);
  FColorList->SetControlStyle(Style);
  FColorList->SetVisible(false);
  FColorList->SetItemHeight(16);
  FColorList->SetNoneString(FColorListOptions->NoneString());
  FColorList->SetGreyScaleIncrement(FColorListOptions->GreyScaleIncrement());
  FColorList->CustomColors()->Assign(FCustomColorList);
  FColorList->SetOptions(FColorListOptions->Options());
  FColorList->BuildColorList();
  SyncSelectedColor();
}

TWinControl* TvcCustomColorCombo::GetDropDownControl() {
  CreateColorList();
  return FColorList;
}

TWinControl* TvcCustomColorCombo::GetDropDownContainer() {
  CreateColorList();
  return FColorList;
}

int TvcCustomColorCombo::GetDropDownItemCount() {
  return FColorList ? FColorList->Count() : 0;
}

void TvcCustomColorCombo::GetDropDownItemSize(int& Width, int& ItemHeight) {
  Width = FDropDownWidth;
  ItemHeight = FColorList ? FColorList->ItemHeight() : FColorListOptions->ItemHeight();
}

bool TvcCustomColorCombo::GetDroppedDown() {
  return FColorList && FColorList->Visible() && FColorList->HandleAllocated() &&
         IsWindowVisible(FColorList->HandleIfAllocated());
}

void TvcCustomColorCombo::CreateWnd() {
  TvcCustomCombo::CreateWnd();
  if (!IsDesigning(this)) {
    CreateColorList();
    SyncSelectedColor();
  }
}

// ---- opening and closing -----------------------------------------------------------------------

void TvcCustomColorCombo::DropDown() {
  if (FDialogGuard) return;
  CreateColorList();
  FColorList->ClearDropDownMarks();
  FIndexAtDropDown = FItemIndex;
  FColorAtDropDown = FSelectedColor;
  // A binding that names a source or a field but has no field yet shows nothing to choose from.
  if ((DataSource() || !DataField().empty()) && !Field()) return;
  if (FButtonStyle == cbsEllipsis) {
    DoDropDown();
    FColorList->FillItems();
    ExecuteColorDialog();
    return;
  }
  TvcColorListOptions* Options = FColorListOptions.get();
  FColorList->SetAlignment(UnboundAlignment());
  FColorList->SetColor(Options->Color());
  FColorList->SetItemHeight(Options->ItemHeight());
  FColorList->SetIntegralHeight(Options->IntegralHeight());
  FColorList->Font()->Assign(Options->Font());
  FColorList->SetGreyScaleIncrement(Options->GreyScaleIncrement());
  FColorList->SetOptions(Options->Options());
  FColorList->SetSortBy(Options->SortBy());
  FColorList->SetColorAlignment(FColorAlignment);
  FColorList->SetColorWidth(Options->ColorWidth() != 0 ? Options->ColorWidth()
                                                       : FColorList->ItemHeight() - 2 * FColorList->ColorMargin());
  FColorList->FillItems();
  FItemIndex = ShownIndexOfName(Text());
  FColorList->SelectIndex(FItemIndex);
  if (FItemIndex == -1 || FSelectedColor == vcNoColor)
    FColorList->SelectIndex(-1);
  else
    FColorList->SetSelectedColor(FSelectedColor);
  TvcCustomCombo::DropDown();
  Update();
  SelectAll();
  DisableTyping();
}

void TvcCustomColorCombo::CloseUp(bool Accept) {
  const bool WasOpen = GetDroppedDown();
  TvcCustomCombo::CloseUp(Accept);
  if (WasOpen && FColorList) {
    const TColor Chosen = FColorList->SelectedColor();
    if (Accept && Chosen != FColorAtDropDown && EditCanModify()) {
      const int Current = FColorList->GetCurrentIndex();
      const std::string Name = Current >= 0 ? GetNameAt(*FColorList->Items(), Current) : std::string();
      if (!Name.empty()) FItemIndex = Current;
      FSelecting = true;
      struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
      } Clear{FSelecting};
      SetSelectedColor(Chosen);
      if (!Name.empty()) SetText(Name);
      SetModified(true);
    } else {
      SetItemIndex(ShownIndexOfColor(FColorAtDropDown));
      SetSelectedColor(FColorAtDropDown);
      if (FItemIndex >= 0) {
        const std::string Name = GetNameAt(*FColorList->Items(), FItemIndex);
        if (Text() != Name) SetText(Name);
      }
    }
    DoCloseUp(Accept);
  }
  SelectAll();
}

void TvcCustomColorCombo::ListMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  const RECT Client = FColorList->ClientRect();
  FPressedInside = PtInRect(&Client, POINT{X, Y});
  FListIndexAtPress = FColorList->GetCurrentIndex();
}

void TvcCustomColorCombo::ListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft && FPressedInside) {
    const RECT Client = FColorList->ClientRect();
    if (!PtInRect(&Client, POINT{X, Y})) {
      // Dragged out of the list: the press is taken back, and closing takes nothing.
      FColorList->SelectIndex(FListIndexAtPress);
      FColorList->RestorePreviousColor();
    }
    CloseUp(true);
  }
  FPressedInside = false;
}

// ---- the colour dialog -------------------------------------------------------------------------

bool TvcCustomColorCombo::ExecuteColorDialog() {
  TColorDialog* Dialog = FColorDialog;
  struct TOwnDialog {
    TColorDialog* Dialog = nullptr;
    ~TOwnDialog() {
      if (Dialog) Dialog->Free();
    }
  } Own;
  if (!Dialog) {
    Own.Dialog = Dialog = new TColorDialog(nullptr);
    TColorDialogOptions Options;
    if (FColorDialogOptions.Contains(cdoPreventFullOpen)) Options.Include(cdPreventFullOpen);
    if (FColorDialogOptions.Contains(cdoFullOpen)) Options.Include(cdFullOpen);
    if (FColorDialogOptions.Contains(cdoSolidColor)) Options.Include(cdSolidColor);
    if (FColorDialogOptions.Contains(cdoAnyColor)) Options.Include(cdAnyColor);
    Dialog->SetOptions(Options);
    TStringList Custom;
    for (int Index = 0; Index < std::min(16, FCustomColorList.Count()); ++Index)
      Custom.Add(std::string("Color") + char('A' + Index) + "=" + GetValueAt(FCustomColorList, Index));
    Dialog->SetCustomColors(&Custom);
  }
  Dialog->SetColor(FSelectedColor);
  if (OnInitColorDialog) OnInitColorDialog(this, Dialog);
  const TModalResult Result = Dialog->Execute() ? mrOk : mrCancel;
  bool Accept = Result == mrOk;
  if (OnCloseColorDialog) OnCloseColorDialog(this, Dialog, Result, Accept);
  if (Accept && Result == mrOk && EditCanModify()) {
    SetModified(true);
    CreateColorList();
    SetSelectedColor(Dialog->Color());
    if (!HandleAllocated()) SyncSelectedColor();
  }
  Invalidate();
  return Result == mrOk;
}

void TvcCustomColorCombo::DblClick() {
  if (FColorDialogOptions.Contains(cdoEnabled)) {
    FDialogGuard = true;
    struct TClear {
      bool& Flag;
      ~TClear() { Flag = false; }
    } Clear{FDialogGuard};
    CreateColorList();
    FColorList->FillItems();
    ExecuteColorDialog();
  }
  TvcCustomCombo::DblClick();
}

// ---- data binding ------------------------------------------------------------------------------

bool TvcCustomColorCombo::IsIntegerField() const {
  TField* F = Field();
  return F && F->DataType() == ftInteger;
}

bool TvcCustomColorCombo::EditCanModify() {
  FModifyGuard = true;
  struct TClear {
    bool& Flag;
    ~TClear() { Flag = false; }
  } Clear{FModifyGuard};
  return TvcCustomCombo::EditCanModify();
}

void TvcCustomColorCombo::DataChange(TObject*) {
  if (Destroying() || FModifyGuard) return;
  TField* F = Field();
  if (F) {
    if (F->DataType() == ftString && FMaxLength == 0 && !IsDesigning(this)) SetMaxLength(F->Size());
    if (HasFocus() && FDataLink->CanModify()) {
      if (IsIntegerField())
        SetText(F->IsNull() ? std::string() : ColorName(F->AsInteger()));
      else
        SetText(F->EditText());
    } else {
      if (IsIntegerField()) {
        const std::string Shown = F->DisplayText();
        int32_t Value = 0;
        if (Shown.empty())
          SetText("");
        else if (IsDecimalInteger(Shown, Value))
          SetText(ColorName(Value));
      } else {
        SetText(F->DisplayText());
      }
      if (FDataLink->Editing()) SetModified(true);
    }
  } else {
    SetText(IsDesigning(this) ? Name() : std::string());
  }
  if (FColorList) {
    const int Shown = ShownIndexOfName(Text());
    SetItemIndex(Shown);
    Invalidate();
    if (Shown < 0) EnableTyping();
  }
}

void TvcCustomColorCombo::UpdateData(TObject*) {
  TField* F = Field();
  if (!F) return;
  if (IsIntegerField()) {
    if (auto Parsed = ParseRGBText(Text())) {
      if (F->IsNull() || F->AsInteger() != *Parsed) F->SetAsInteger(*Parsed);
    } else if (FSelectedColor == vcNoColor) {
      F->Clear();
    } else if (IntToStr(FSelectedColor) != F->EditText()) {
      F->SetEditText(IntToStr(FSelectedColor));
    }
    return;
  }
  if (Text() == F->EditText()) return;
  if (Text().empty())
    F->Clear();
  else
    F->SetEditText(Text());
}

void TvcCustomColorCombo::Change() {
  // A bound integer field in a grid cell shows the colour's name, not its number.
  if (Field() && ParentIsGrid(this) && !FTextGuard) {
    int32_t Value = 0;
    if (IsDecimalInteger(Text(), Value)) {
      FTextGuard = true;
      struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
      } Clear{FTextGuard};
      SetText(ColorName(Value));
    }
  }
  if (FSelecting) SetModified(true);
  TvcCustomCombo::Change();
}

void TvcCustomColorCombo::ClearColor() {
  const TColor Old = FSelectedColor;
  FSelectedColor = vcNoColor;
  if (Old != FSelectedColor) Invalidate();
}

// ---- typing rules --------------------------------------------------------------------------------

bool TvcCustomColorCombo::IsTextEditable() const {
  return FStyle == csDropDown || const_cast<TvcCustomColorCombo*>(this)->GetDroppedDown() || FShowMatchText;
}

void TvcCustomColorCombo::DisableTyping() {
  if (!FShowMatchText) TvcCustomCombo::DisableTyping();
}

void TvcCustomColorCombo::SelectAll() {
  if (FStyle == csDropDownList && !FShowMatchText) return;
  if (FAutoDropping && FStyle == csDropDown && FShowMatchText) return;
  TvcCustomCombo::SelectAll();
}
