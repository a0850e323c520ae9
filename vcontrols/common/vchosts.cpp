#include "vcontrols/common/vchosts.h"

#include "platform/classes/component.h"
#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

bool IsClassNamed(const TClassInfo* Class, std::string_view Name) {
  const std::string wanted = UpperCase(std::string(Name));
  for (; Class; Class = Class->Parent)
    if (UpperCase(Class->Name) == wanted) return true;
  return false;
}

namespace {

const TClassInfo* ParentClass(const TControl* Control) {
  return Control && Control->Parent() ? &Control->Parent()->ClassType() : nullptr;
}

}  // namespace

bool ParentIsFocusedDataGrid(const TControl* Control) {
  return IsClassNamed(ParentClass(Control), "TkvDBGrid") && Control->Parent()->Focused();
}

bool ParentIsGrid(const TControl* Control) {
  return Control && Control->Parent() && IsClassNamed(ParentClass(Control), "TCustomGrid");
}

bool ParentIsGridClass(const TControl* Control) {
  return IsClassNamed(ParentClass(Control), "TCustomGrid");
}

bool ParentIsInspector(const TControl* Control) {
  return IsClassNamed(ParentClass(Control), "TkvDataInspector");
}

bool IsInspectorPaintCopy(const TControl* Control) {
  return ParentIsInspector(Control) && Control->ControlState().Contains(csPaintCopy);
}

bool IsGridPaintCopy(const TControl* Control) {
  return ParentIsGridClass(Control) && Control->ControlState().Contains(csPaintCopy);
}

uint16_t DataGridOptions(const TControl* Control) {
  if (!IsClassNamed(ParentClass(Control), "TkvDBGrid")) return 0;
  return uint16_t(GetOrdPropByName(Control->Parent(), "Options") & 0xFF);
}

bool IsDesigning(const TControl* Control) {
  if (!Control) return false;
  const TComponent* form = GetParentForm(Control);
  return (form ? form : Control)->ComponentState().Contains(csDesigning);
}

int64_t GetOrdPropByName(const TObject* Object, std::string_view PropertyName) {
  return Object ? GetOrdProp(Object, PropertyName, 0) : 0;
}

void SetOrdPropByName(TObject* Object, std::string_view PropertyName, int64_t Value) {
  if (Object && IsPublishedProp(Object, PropertyName)) SetOrdProp(Object, PropertyName, Value);
}

void ListBooleanProps(const TObject* Object, TStrings& List) {
  if (!Object) return;
  for (const TPropertyInfo* property : Object->ClassType().PropertyList())
    if (property->Kind == TTypeKind::Boolean) List.Add(property->Name);
}

std::string UniqueComponentName(const TComponent* Owner, const std::string& BaseName) {
  for (int64_t number = 1;; ++number) {
    const std::string name = BaseName + IntToStr(number);
    bool taken = false;
    for (int i = 0; Owner && i < Owner->ComponentCount() && !taken; ++i)
      taken = Owner->Components(i)->Name() == name;
    if (!taken) return name;
  }
}
