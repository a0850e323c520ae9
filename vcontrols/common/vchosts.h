#pragma once
// Recognising the host a control sits in, and reading properties by name. The data-aware
// library's grid and options inspector are known here only by their class names ("TkvDBGrid",
// "TkvDataInspector", and the class library's "TCustomGrid"), compared without regard to case
// along the class's ancestry; nothing of that library is called, and its grid's "Options" are
// read through the run-time property table.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/classes/object.h"

class TControl;
class TComponent;
class TStrings;

// True when the class or one of its ancestors has that name; false for no class.
bool IsClassNamed(const TClassInfo* Class, std::string_view Name);
bool ParentIsFocusedDataGrid(const TControl* Control);
bool ParentIsGrid(const TControl* Control);
bool ParentIsGridClass(const TControl* Control);
bool ParentIsInspector(const TControl* Control);
bool IsInspectorPaintCopy(const TControl* Control);
bool IsGridPaintCopy(const TControl* Control);
// The low eight flags of a data grid parent's "Options"; 0 for any other parent.
uint16_t DataGridOptions(const TControl* Control);
bool IsDesigning(const TControl* Control);

// The ordinal value of a published property, 0 when the class has none.
int64_t GetOrdPropByName(const TObject* Object, std::string_view PropertyName);
// Sets it when the property exists; otherwise nothing.
void SetOrdPropByName(TObject* Object, std::string_view PropertyName, int64_t Value);
// Adds the name of every published Boolean property.
void ListBooleanProps(const TObject* Object, TStrings& List);
// BaseName followed by 1, 2, ...: the first that no component of Owner is named.
std::string UniqueComponentName(const TComponent* Owner, const std::string& BaseName);
