#include "platform/db/fielddefs.h"

#include "platform/db/dbconsts.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TFieldDef)
KORCAM_REGISTER_CLASS(TFieldDefs)

TFieldDef::TFieldDef(TCollection* Collection) : TCollectionItem(Collection) {}

void TFieldDef::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TFieldDef*>(Source)) {
    FName = Other->FName;
    FDataType = Other->FDataType;
    FSize = Other->FSize;
    FPrecision = Other->FPrecision;
    FRequired = Other->FRequired;
    return;
  }
  TCollectionItem::Assign(Source);
}

TFieldDefs::TFieldDefs(TPersistent* AOwner) : TOwnedCollection(AOwner, TFieldDef::StaticClass()) {
  SetPropName("FieldDefs");
}

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int32_t Size, bool Required) {
  if (Name.empty()) DatabaseError(SFieldNameMissing);
  if (IndexOf(Name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, {Name});
  TFieldDef* Def = AddFieldDef();
  Def->SetName(Name);
  Def->SetDataType(DataType);
  Def->SetSize(Size);
  Def->SetRequired(Required);
  return Def;
}

int TFieldDefs::IndexOf(const std::string& Name) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (AnsiSameText(Items(Index)->Name(), Name)) return Index;
  return -1;
}

TFieldDef* TFieldDefs::FindDef(const std::string& Name) const {
  const int Index = IndexOf(Name);
  return Index < 0 ? nullptr : Items(Index);
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  TFieldDef* Def = FindDef(Name);
  if (!Def) DatabaseErrorFmt(SFieldNotFound, {Name});
  return Def;
}

std::string FieldTypeName(TFieldType Type) {
  const std::string& Name = EnumInfoOf<TFieldType>().Name(static_cast<int>(Type));
  return Name.substr(2);
}
