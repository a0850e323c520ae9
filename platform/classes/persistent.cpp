#include "platform/classes/persistent.h"

KORCAM_REGISTER_CLASS(TPersistent)

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  const std::string SourceName = Source ? Source->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + SourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const {
  const TPersistent* Owner = GetOwner();
  const std::string OwnerPath = Owner ? Owner->GetNamePath() : std::string();
  return OwnerPath.empty() ? ClassName() : OwnerPath + "." + ClassName();
}
