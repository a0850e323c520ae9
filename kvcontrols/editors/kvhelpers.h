#pragma once
// Shared routines of the data-aware library that need no window: recognising classes by the
// name of any ancestor (grids, inspectors and data sets are found this way, also classes this
// program does not contain), reading and writing published properties by name, small arithmetic
// and keyboard helpers, and the PictureMasks and Selected lists of the data sets and grids.
//
// A property probe never raises for a property the object does not have: it reports "not
// there" as nil, empty, False or 0. Names are compared with a-z folded.

#include <cstdint>
#include <string>

#include "kvcontrols/editors/kvtypes.h"
#include "platform/classes/events.h"
#include "platform/rtl/wintypes.h"

struct TClassInfo;
class TComponent;
class TDataSet;
class TDataSource;
class TField;
class TStrings;

// ---- class names ---------------------------------------------------------------------------

// True when AClass or one of its ancestors, up to and including TObject, is named Name (a-z
// folded on both sides; other letters compare unchanged). False for nil.
bool kvInheritsFromClassName(const TClassInfo* AClass, const std::string& Name);
// The paint-copy bit (bit 7) of a control-state word: set while a control paints an image of
// itself into a grid cell.
bool kvIsPaintCopy(uint64_t ControlState);
// The first form or frame met going up the Owner chain, the component itself included.
TComponent* kvGetOwnerFormOrFrame(TComponent* Component);

// ---- property probes -----------------------------------------------------------------------

TDataSource* kvGetDataSourceProp(TComponent* Component);
// Only for window controls with a "DataSource" property of class kind.
bool kvSetDataSourceProp(TComponent* Component, TDataSource* DataSource);
// Empty unless Control is a window control with a "DataField" property.
void kvGetDataFieldProp(TComponent* Control, std::string& FieldName);
// Only for window controls with a "DataField" text property.
bool kvSetDataFieldProp(TComponent* Component, const std::string& FieldName);
TDataSource* kvGetMasterSourceProp(TDataSet* DataSet);
bool kvSetReadOnlyProp(TComponent* Control, bool Value);
// Writes "BorderStyle" 1 (HasBorder) or 0.
bool kvSetBorderStyleProp(TComponent* Control, bool HasBorder);
// "BorderStyle" is present and not 0 (bsNone).
bool kvHasBorder(TComponent* Control);
bool kvGetWantReturnsProp(TComponent* Control);
bool kvGetEditCalculatedProp(TComponent* Control);
// The ordinal value of any property; 0 when absent (a parent grid's "Options" is read this way).
int64_t kvGetOrdPropByName(TComponent* Control, const std::string& Name);
// "OnFilterOptions" when the data set has it; otherwise [ofoEnabled] while it is Filtered.
TkvOnFilterOptions kvGetFilterOptions(TDataSet* DataSet);
// Adds or removes ofoEnabled in "OnFilterOptions" (nothing when the data set has none).
void kvSetFilterOptionEnabled(TDataSet* DataSet, bool Enabled);
// The data set's "PictureMasks" list, or nil.
TStrings* kvGetPictureMasksProp(TComponent* Component);

// ---- arithmetic, rectangles, keys ----------------------------------------------------------

int kvIntMax(int A, int B);
int kvIntMin(int A, int B);
// Low when Value < Low, else the smaller of Value and High (so Low wins over a High below it).
int kvClampInt(int Value, int Low, int High);
// Value x PixelsPerInch div 96, truncated toward zero.
int kvScaleByPixelsPerInch(int Value, int PixelsPerInch);
int kvRectWidth(const RECT& Rect);
int kvRectHeight(const RECT& Rect);
int kvCompareBookmarks(TDataSet* DataSet, const std::string& Bookmark1, const std::string& Bookmark2);
// Always False (the locate engine would show its out-of-memory message).
bool kvIsMemoryLow();
// The desktop work area.
void kvGetWorkArea(RECT& Rect);
// Back space, space, delete, the codes 0x30 to 0x6F (digits, letters, numeric pad) and every code
// above VK_SCROLL.
bool kvIsEditingKey(uint16_t Key);
// The low three bits of a shift state (Shift 1, Alt 2, Ctrl 4) with Alt and Ctrl exchanged, as
// the key flags a grid reads from a key handed to it.
uint32_t kvShiftStateToKeyFlags(uint32_t Shift);
// "CustomEdit", "LookupCombo", "Combo" or "RichEdit", a-z folded.
bool kvIsEditorControlType(const std::string& Kind);

// ---- window messages -----------------------------------------------------------------------

// Posts WM_KEYDOWN and WM_KEYUP of Key (lParam 1) while the thread's keyboard state shows Key
// and ModifierKey held down; the state is put back afterwards.
void kvPostKeyWithModifier(HWND Window, uint16_t Key, uint16_t ModifierKey);
// Removes the first pending keyboard message of the thread; when it was Escape going down,
// ofoEnabled is removed from the data set's filter options and the result is True. Any other key
// is dropped (a filter being built swallows typing).
bool kvEscapeCancelsFilter(TDataSet* DataSet);

// ---- lists ---------------------------------------------------------------------------------

// All lines joined by one blank (UseBlank) or by CR LF, with no separator after the last line.
std::string kvJoinLinesToText(const TStrings& Lines, bool UseBlank);
// Selected entries ("name TAB width TAB label") for every visible field, in field order.
void kvFieldsToSelected(TDataSet* DataSet, TStrings& Selected);
// The first line whose name (before the first TAB) equals FieldName, a-z folded.
bool kvFindSelectedEntry(const TStrings* Lines, const std::string& FieldName, int& Index);
void kvBoolToTF(bool Value, std::string& Text);
// Whether a blob field holds rich text: its data set's ControlType list marks it
// ("<name>;RichEdit..."), or, with ReadBlob, its blob begins with "{\rtf". Any other field: False.
bool kvIsRichTextField(TField* Field, bool ReadBlob);

// ---- picture masks -------------------------------------------------------------------------
// PictureMasks entries: field name, TAB, mask, TAB, auto-fill "T"/"F", TAB, check-while-typing
// "T"/"F". Only exactly "T" reads as True; a field without an entry has no mask and both flags
// count as True.

void kvGetFieldPictureMask(TComponent* Component, const std::string& FieldName, bool UseTablePicture,
                           std::string& Mask, bool& AutoFill, bool& SecondFlag);
// Rewrites (or with an empty mask deletes, or adds) the field's entry. Each UseX flag says that
// the given value replaces the entry's; otherwise the entry keeps its own.
void kvSetFieldPictureMask(TComponent* DataSet, const std::string& FieldName, std::string Mask,
                           bool AutoFill, bool SecondFlag, bool UseMask, bool UseAutoFill,
                           bool UseSecondFlag);
// True for an empty text; otherwise whether Text completely matches Mask (no auto-fill).
bool kvIsPictureTextValid(const std::string& Mask, const std::string& Text);

// (Sender, DataSet, Field): told about a field whose text fails its picture mask.
using TkvInvalidValueEvent = TEvent<TObject*, TDataSet*, TField*>;
// Checks every field's text against its picture mask. The first writable field that fails gets
// the focus, OnInvalidValue is told, and EDatabaseError is raised with the global settings'
// PictureValidateError text followed by the field's display name. Read-only fields are passed
// over.
void kvValidatePictureMasks(TDataSet* DataSet, const TkvInvalidValueEvent& OnInvalidValue);
