#include "platform/db/fieldclasses.h"

#include "platform/db/blobfields.h"
#include "platform/db/numericfields.h"
#include "platform/db/textfields.h"

TField* CreateFieldForType(TFieldType DataType, TComponent* Owner) {
  TField* Field = nullptr;
  switch (DataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
      Field = new TStringField(Owner);
      break;
    case ftSmallint:
      Field = new TSmallintField(Owner);
      break;
    case ftInteger:
      Field = new TIntegerField(Owner);
      break;
    case ftWord:
      Field = new TWordField(Owner);
      break;
    case ftAutoInc:
      Field = new TAutoIncField(Owner);
      break;
    case ftLargeint:
      Field = new TLargeintField(Owner);
      break;
    case ftBoolean:
      Field = new TBooleanField(Owner);
      break;
    case ftFloat:
      Field = new TFloatField(Owner);
      break;
    case ftCurrency:
      Field = new TCurrencyField(Owner);
      break;
    case ftBCD:
      Field = new TBCDField(Owner);
      break;
    case ftFMTBcd:
      Field = new TFMTBCDField(Owner);
      break;
    case ftDate:
      Field = new TDateField(Owner);
      break;
    case ftTime:
      Field = new TTimeField(Owner);
      break;
    case ftDateTime:
    case ftTimeStamp:
      Field = new TDateTimeField(Owner);
      break;
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
      Field = new TMemoField(Owner);
      break;
    case ftGraphic:
      Field = new TGraphicField(Owner);
      break;
    case ftBlob:
    case ftOraBlob:
    case ftTypedBinary:
    case ftBytes:
    case ftVarBytes:
      Field = new TBlobField(Owner);
      break;
    default:
      return nullptr;
  }
  Field->SetDataType(DataType);
  return Field;
}

bool FieldTypesCompatible(TFieldType FieldType, TFieldType DefType) {
  if (FieldType == DefType) return true;
  auto In = [](TFieldType Type, std::initializer_list<TFieldType> Types) {
    for (TFieldType Candidate : Types)
      if (Candidate == Type) return true;
    return false;
  };
  const auto Strings = {ftString, ftFixedChar, ftWideString};
  const auto Integers = {ftInteger, ftAutoInc};
  const auto Memos = {ftMemo, ftFmtMemo, ftOraClob};
  const auto Blobs = {ftBlob, ftOraBlob, ftTypedBinary, ftBytes, ftVarBytes};
  const auto DateTimes = {ftDateTime, ftTimeStamp};
  return (In(FieldType, Strings) && In(DefType, Strings)) ||
         (In(FieldType, Integers) && In(DefType, Integers)) || (In(FieldType, Memos) && In(DefType, Memos)) ||
         (In(FieldType, Blobs) && In(DefType, Blobs)) || (In(FieldType, DateTimes) && In(DefType, DateTimes));
}
