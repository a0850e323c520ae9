#pragma once
// Field definitions: the physical columns a data set's cursor offers (name, type, size,
// required). A data set makes its default fields from them, and persistent fields bind to them by
// name when the data set opens. The in-memory data set is defined by them.

#include <string>

#include "platform/classes/collection.h"
#include "platform/db/dbtypes.h"

class TFieldDefs;

class TFieldDef : public TCollectionItem {
  KORCAM_CLASS(TFieldDef, TCollectionItem)

 public:
  explicit TFieldDef(TCollection* Collection);

  PLAIN_PROPERTY(std::string, Name, "")
  PLAIN_PROPERTY(TFieldType, DataType, ftUnknown)
  // Characters for string types, decimals for BCD.
  PLAIN_PROPERTY(int32_t, Size, 0)
  PLAIN_PROPERTY(int32_t, Precision, 0)
  PLAIN_PROPERTY(bool, Required, false)

  // 1-based position among the definitions; a data field's FieldNo.
  int FieldNo() const { return Index() + 1; }
  std::string DisplayName() const override { return FName; }
  void Assign(TPersistent* Source) override;
};

class TFieldDefs : public TOwnedCollection {
  KORCAM_CLASS(TFieldDefs, TOwnedCollection)

 public:
  explicit TFieldDefs(TPersistent* AOwner);

  TFieldDef* Add(const std::string& Name, TFieldType DataType, int32_t Size = 0, bool Required = false);
  TFieldDef* AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }
  TFieldDef* Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }
  // By name, ignoring case; -1 / nullptr when absent. Find raises "Field '...' not found".
  int IndexOf(const std::string& Name) const;
  TFieldDef* FindDef(const std::string& Name) const;
  TFieldDef* Find(const std::string& Name) const;
};

// The type's name without its "ft" prefix ("Integer", "DateTime"), for messages.
std::string FieldTypeName(TFieldType Type);
