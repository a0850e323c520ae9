#include "kvcontrols/editors/kvhelpers.h"

#include <array>
#include <string_view>
#include <variant>

#include "kvcontrols/editors/kvintl.h"
#include "kvcontrols/editors/kvpicturevalidator.h"
#include "kvcontrols/editors/kvprobes.h"
#include "kvcontrols/editors/kvtextutils.h"
#include "platform/classes/component.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/input.h"
#include "platform/user/message.h"

namespace {

const TPropertyInfo* PropertyOf(const TObject* Object, const char* Name) {
  return Object ? GetPropInfo(Object, Name) : nullptr;
}

bool IsWinControl(const TObject* Object) {
  return Object && kvInheritsFromClassName(&Object->ClassType(), "TWinControl");
}

// Writes an ordinal property when the object has a writable one of that name.
bool SetOrdinal(TComponent* Object, const char* Name, int64_t Value) {
  const TPropertyInfo* Info = PropertyOf(Object, Name);
  if (!Info || !Info->Set) return false;
  SetOrdProp(Object, Name, Value);
  return true;
}

constexpr uint64_t PaintCopyBit = uint64_t{1} << 7;
constexpr char Tab[] = "\t";

}  // namespace

// ---- class names ---------------------------------------------------------------------------

bool kvInheritsFromClassName(const TClassInfo* AClass, const std::string& Name) {
  const std::string Wanted = UpperCase(Name);
  for (const TClassInfo* Class = AClass; Class; Class = Class->Parent)
    if (UpperCase(Class->Name) == Wanted) return true;
  return false;
}

bool kvIsPaintCopy(uint64_t ControlState) { return (ControlState & PaintCopyBit) != 0; }

TComponent* kvGetOwnerFormOrFrame(TComponent* Component) {
  for (TComponent* Current = Component; Current; Current = Current->Owner()) {
    const TClassInfo* Class = &Current->ClassType();
    if (kvInheritsFromClassName(Class, "TCustomFrame") || kvInheritsFromClassName(Class, "TCustomForm"))
      return Current;
  }
  return nullptr;
}

// ---- property probes -----------------------------------------------------------------------

TDataSource* kvGetDataSourceProp(TComponent* Component) {
  return Component ? dynamic_cast<TDataSource*>(GetObjectProp(Component, "DataSource")) : nullptr;
}

bool kvSetDataSourceProp(TComponent* Component, TDataSource* DataSource) {
  if (!IsWinControl(Component)) return false;
  const TPropertyInfo* Info = PropertyOf(Component, "DataSource");
  if (!Info || Info->Kind != TTypeKind::Class || !Info->Set) return false;
  SetObjectProp(Component, "DataSource", DataSource);
  return true;
}

void kvGetDataFieldProp(TComponent* Control, std::string& FieldName) {
  FieldName.clear();
  if (IsWinControl(Control) && PropertyOf(Control, "DataField")) FieldName = GetStrProp(Control, "DataField");
}

bool kvSetDataFieldProp(TComponent* Component, const std::string& FieldName) {
  if (!IsWinControl(Component)) return false;
  const TPropertyInfo* Info = PropertyOf(Component, "DataField");
  if (!Info || Info->Kind != TTypeKind::String || !Info->Set) return false;
  SetStrProp(Component, "DataField", FieldName);
  return true;
}

TDataSource* kvGetMasterSourceProp(TDataSet* DataSet) {
  return DataSet ? dynamic_cast<TDataSource*>(GetObjectProp(DataSet, "MasterSource")) : nullptr;
}

bool kvSetReadOnlyProp(TComponent* Control, bool Value) { return SetOrdinal(Control, "ReadOnly", Value ? 1 : 0); }

bool kvSetBorderStyleProp(TComponent* Control, bool HasBorder) {
  return SetOrdinal(Control, "BorderStyle", HasBorder ? 1 : 0);
}

bool kvHasBorder(TComponent* Control) {
  return PropertyOf(Control, "BorderStyle") && GetOrdProp(Control, "BorderStyle") != 0;
}

bool kvGetWantReturnsProp(TComponent* Control) { return Control && GetOrdProp(Control, "WantReturns") != 0; }

bool kvGetEditCalculatedProp(TComponent* Control) {
  return Control && GetOrdProp(Control, "EditCalculated") != 0;
}

int64_t kvGetOrdPropByName(TComponent* Control, const std::string& Name) {
  return Control ? GetOrdProp(Control, Name) : 0;
}

TkvOnFilterOptions kvGetFilterOptions(TDataSet* DataSet) {
  if (!DataSet) return {};
  if (PropertyOf(DataSet, "OnFilterOptions"))
    return TkvOnFilterOptions::FromBits(static_cast<uint64_t>(GetOrdProp(DataSet, "OnFilterOptions")));
  return DataSet->Filtered() ? TkvOnFilterOptions{ofoEnabled} : TkvOnFilterOptions{};
}

void kvSetFilterOptionEnabled(TDataSet* DataSet, bool Enabled) {
  if (!PropertyOf(DataSet, "OnFilterOptions")) return;
  TkvOnFilterOptions Options = kvGetFilterOptions(DataSet);
  if (Enabled)
    Options.Include(ofoEnabled);
  else
    Options.Exclude(ofoEnabled);
  SetOrdinal(DataSet, "OnFilterOptions", static_cast<int64_t>(Options.Bits()));
}

TStrings* kvGetPictureMasksProp(TComponent* Component) {
  if (!Component) return nullptr;
  const TValue Value = GetPropValue(Component, "PictureMasks");
  const auto* Lines = std::get_if<TStrings*>(&Value);
  return Lines ? *Lines : nullptr;
}

// ---- arithmetic, rectangles, keys ----------------------------------------------------------

int kvIntMax(int A, int B) { return A > B ? A : B; }
int kvIntMin(int A, int B) { return A < B ? A : B; }

int kvClampInt(int Value, int Low, int High) { return Value < Low ? Low : kvIntMin(Value, High); }

int kvScaleByPixelsPerInch(int Value, int PixelsPerInch) {
  return static_cast<int>(static_cast<int64_t>(Value) * PixelsPerInch / 96);
}

int kvRectWidth(const RECT& Rect) { return Rect.right - Rect.left; }
int kvRectHeight(const RECT& Rect) { return Rect.bottom - Rect.top; }

int kvCompareBookmarks(TDataSet* DataSet, const std::string& Bookmark1, const std::string& Bookmark2) {
  return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

bool kvIsMemoryLow() { return false; }

void kvGetWorkArea(RECT& Rect) { Rect = GetWorkArea(); }

bool kvIsEditingKey(uint16_t Key) {
  return Key == VK_BACK || Key == VK_SPACE || Key == VK_DELETE || (Key >= 0x30 && Key <= 0x6F) || Key > VK_SCROLL;
}

uint32_t kvShiftStateToKeyFlags(uint32_t Shift) {
  const uint32_t ShiftBit = Shift & 1, AltBit = (Shift >> 1) & 1, CtrlBit = (Shift >> 2) & 1;
  return ShiftBit | (CtrlBit << 1) | (AltBit << 2);
}

bool kvIsEditorControlType(const std::string& Kind) {
  return kvEqualsIgnoreCase(Kind, "CustomEdit") || kvEqualsIgnoreCase(Kind, "LookupCombo") ||
         kvEqualsIgnoreCase(Kind, "Combo") || kvEqualsIgnoreCase(Kind, "RichEdit");
}

// ---- window messages -----------------------------------------------------------------------

void kvPostKeyWithModifier(HWND Window, uint16_t Key, uint16_t ModifierKey) {
  std::array<BYTE, 256> Saved{};
  GetKeyboardState(Saved.data());
  std::array<BYTE, 256> Pressed = Saved;
  Pressed[Key & 0xFF] = 0x81;
  Pressed[ModifierKey & 0xFF] = 0x81;
  SetKeyboardState(Pressed.data());
  PostMessage(Window, WM_KEYDOWN, Key, 1);
  PostMessage(Window, WM_KEYUP, Key, 1);
  SetKeyboardState(Saved.data());
}

bool kvEscapeCancelsFilter(TDataSet* DataSet) {
  MSG Message{};
  if (!PeekMessage(&Message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) return false;
  if (Message.message != WM_KEYDOWN || Message.wParam != VK_ESCAPE) return false;
  kvSetFilterOptionEnabled(DataSet, false);
  return true;
}

// ---- lists ---------------------------------------------------------------------------------

std::string kvJoinLinesToText(const TStrings& Lines, bool UseBlank) {
  const char* Separator = UseBlank ? " " : "\r\n";
  std::string Text;
  for (int Index = 0; Index < Lines.Count(); ++Index) {
    if (Index > 0) Text += Separator;
    Text += Lines[Index];
  }
  return Text;
}

void kvFieldsToSelected(TDataSet* DataSet, TStrings& Selected) {
  Selected.Clear();
  for (TField* Field : *DataSet->Fields()) {
    if (!Field->Visible()) continue;
    Selected.Add(Field->FieldName() + Tab + IntToStr(Field->DisplayWidth()) + Tab + Field->DisplayLabel());
  }
}

bool kvFindSelectedEntry(const TStrings* Lines, const std::string& FieldName, int& Index) {
  if (!Lines) return false;
  const std::string Wanted = UpperCase(FieldName);
  for (int Line = 0; Line < Lines->Count(); ++Line) {
    int Position = 1;
    std::string Name;
    kvNextToken((*Lines)[Line], Tab, Position, Name);
    if (UpperCase(Name) == Wanted) {
      Index = Line;
      return true;
    }
  }
  return false;
}

void kvBoolToTF(bool Value, std::string& Text) { Text = Value ? "T" : "F"; }

bool kvIsRichTextField(TField* Field, bool ReadBlob) {
  if (!Field || !Field->IsBlob()) return false;
  TDataSet* DataSet = Field->DataSet();
  if (TStrings* Types = DataSet ? kvGetControlTypeProp(DataSet) : nullptr) {
    const std::string Marker = Field->FieldName() + ";RichEdit";
    for (int Index = 0; Index < Types->Count(); ++Index)
      if (Types->Strings(Index).compare(0, Marker.size(), Marker) == 0) return true;
  }
  if (!ReadBlob || !DataSet) return false;
  // A blob shorter than the signature reads as padded with blanks, so it never matches.
  char Head[5] = {' ', ' ', ' ', ' ', ' '};
  if (auto Stream = DataSet->CreateBlobStream(Field, bmRead)) Stream->Read(Head, sizeof Head);
  return std::string_view(Head, sizeof Head) == "{\\rtf";
}

// ---- picture masks -------------------------------------------------------------------------

namespace {

struct TPictureEntry {
  std::string FieldName, Mask, AutoFill, SecondFlag;
};

TPictureEntry SplitPictureEntry(const std::string& Line) {
  TPictureEntry Entry;
  int Position = 1;
  kvNextToken(Line, Tab, Position, Entry.FieldName);
  kvNextToken(Line, Tab, Position, Entry.Mask);
  kvNextToken(Line, Tab, Position, Entry.AutoFill);
  kvNextToken(Line, Tab, Position, Entry.SecondFlag);
  return Entry;
}

}  // namespace

void kvGetFieldPictureMask(TComponent* Component, const std::string& FieldName, bool UseTablePicture,
                           std::string& Mask, bool& AutoFill, bool& SecondFlag) {
  Mask.clear();
  AutoFill = true;
  SecondFlag = true;
  if (TStrings* Masks = kvGetPictureMasksProp(Component)) {
    const std::string Wanted = LowerCase(FieldName);
    for (int Line = 0; Line < Masks->Count(); ++Line) {
      const TPictureEntry Entry = SplitPictureEntry((*Masks)[Line]);
      if (LowerCase(Entry.FieldName) != Wanted) continue;
      Mask = Entry.Mask;
      AutoFill = Entry.AutoFill == "T";
      SecondFlag = Entry.SecondFlag == "T";
      break;
    }
  }
  // FIXME: with UseTablePicture, a picture that a library table stores in the table itself takes
  // precedence (and rewrites the entry); that joins with the table class.
  (void)UseTablePicture;
}

void kvSetFieldPictureMask(TComponent* DataSet, const std::string& FieldName, std::string Mask, bool AutoFill,
                           bool SecondFlag, bool UseMask, bool UseAutoFill, bool UseSecondFlag) {
  TStrings* Masks = kvGetPictureMasksProp(DataSet);
  if (!Masks) return;
  // FIXME: a picture that a library table stores for the field replaces Mask; that joins with the
  // table class.
  for (int Line = 0; Line < Masks->Count(); ++Line) {
    const TPictureEntry Entry = SplitPictureEntry((*Masks)[Line]);
    if (!kvEqualsIgnoreCase(Entry.FieldName, FieldName)) continue;
    if (!UseMask) Mask = Entry.Mask;
    if (!UseAutoFill) AutoFill = Entry.AutoFill == "T";
    if (!UseSecondFlag) SecondFlag = Entry.SecondFlag == "T";
    if (Mask.empty()) {
      Masks->Delete(Line);
    } else {
      std::string AutoFillText, SecondFlagText;
      kvBoolToTF(AutoFill, AutoFillText);
      kvBoolToTF(SecondFlag, SecondFlagText);
      Masks->SetStrings(Line, FieldName + Tab + Mask + Tab + AutoFillText + Tab + SecondFlagText);
    }
    return;
  }
  if (Mask.empty()) return;
  // A new field gets a whole entry, so that later lookups read its flags back.
  std::string AutoFillText, SecondFlagText;
  kvBoolToTF(AutoFill, AutoFillText);
  kvBoolToTF(SecondFlag, SecondFlagText);
  Masks->Add(FieldName + Tab + Mask + Tab + AutoFillText + Tab + SecondFlagText);
}

bool kvIsPictureTextValid(const std::string& Mask, const std::string& Text) {
  if (Text.empty()) return true;
  TkvPictureValidator Validator(Mask, false);
  std::string Checked = Text;
  return Validator.CheckText(Checked, false) == pmrComplete;
}

void kvValidatePictureMasks(TDataSet* DataSet, const TkvInvalidValueEvent& OnInvalidValue) {
  for (TField* Field : *DataSet->Fields()) {
    std::string Mask;
    bool AutoFill, SecondFlag;
    kvGetFieldPictureMask(DataSet, Field->FieldName(), true, Mask, AutoFill, SecondFlag);
    if (Mask.empty() || kvIsPictureTextValid(Mask, Field->AsString()) || Field->ReadOnly()) continue;
    Field->FocusControl();
    if (OnInvalidValue) OnInvalidValue(DataSet, DataSet, Field);
    throw EDatabaseError(kvGlobalIntl->UserMessages()->PictureValidateError() + Field->DisplayName());
  }
}
