#include "platform/classes/classcheck.h"

#include <memory>

#include "platform/classes/component.h"
#include "platform/rtl/sysutils.h"

std::vector<std::string> CheckRegisteredClasses() {
  std::vector<std::string> Problems;
  for (const TClassInfo* Class : RegisteredClasses()) {
    for (size_t First = 0; First < Class->Properties.size(); ++First)
      for (size_t Second = First + 1; Second < Class->Properties.size(); ++Second)
        if (SameText(Class->Properties[First].Name, Class->Properties[Second].Name))
          Problems.push_back(Class->Name + ": property " + Class->Properties[First].Name + " declared twice");
    if (!Class->CreateInstance) continue;
    TObject* Instance = nullptr;
    try {
      Instance = Class->CreateInstance();
    } catch (const Exception& E) {
      Problems.push_back(Class->Name + ": cannot be created without context: " + E.Message());
      continue;
    }
    for (const TPropertyInfo* Info : Class->PropertyList()) {
      if (!Info->HasDefault || !Info->Get) continue;
      const TValue Value = Info->Get(*Instance);
      if (Value != Info->Default)
        Problems.push_back(Class->Name + "." + Info->Name + ": reads " + ValueToText(*Info, Value) +
                           " but declares the default " + ValueToText(*Info, Info->Default));
      else if (Info->IsStored(*Instance))
        Problems.push_back(Class->Name + "." + Info->Name + ": a default value would be written");
    }
    Instance->Free();
  }
  return Problems;
}
