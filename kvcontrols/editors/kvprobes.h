#pragma once
// Data-set property probes and lookup links. The library keeps per-field configuration in string
// lists that its data sets (and some controls) publish: LookupFields, LookupLinks, PictureMasks
// and ControlType. Controls never depend on those data-set classes: they find the lists and
// events by published property name, so any data set with a property of the right name takes
// part, and an absent property reads as nil, empty, False or an unassigned handler.
//
// List formats (tokens split on every separator; empty tokens count):
// - LookupFields, ";": lookup field; DatabaseName; TableName; result field; index name; then,
//   with 6 or more tokens, index field names up to the second-to-last token (exactly 6: token 6
//   itself) and a last token "N" that opens and matches the table by its name without extension.
// - LookupLinks, ";", on the same line number: local field; lookup field; repeated 1 to 6 times.
// - ControlType, ";": field name; kind; parameters (the rest of the line, at most 255 chars).
// - Selected, TAB: field name; display width; display label.
//
// The lookup tables themselves are the library's tables, which live with the data sets; this
// unit reaches them through TkvLookupTable and the cache a data set keeps (TkvLookupCacheOwner).

#include <functional>
#include <string>
#include <vector>

#include "kvcontrols/editors/kvhelpers.h"
#include "platform/classes/persistent.h"
#include "platform/classes/typinfo.h"

class TComponent;
class TControl;
class TDataSet;
class TField;
class TStrings;

// The rich edit's editor window placement.
class TkvFormPosition : public TPersistent {
  KORCAM_CLASS(TkvFormPosition, TPersistent)

 public:
  TkvFormPosition() = default;
  PLAIN_PROPERTY(int32_t, Left, 0)
  PLAIN_PROPERTY(int32_t, Top, 0)
  PLAIN_PROPERTY(int32_t, Width, 0)
  PLAIN_PROPERTY(int32_t, Height, 0)

 public:
  void Assign(TPersistent* Source) override;
};

// ---- property probes ---------------------------------------------------------------------------

TMethod kvGetOnInvalidValueProp(TDataSet* DataSet);
TMethod kvGetOnCalcCellColorsProp(TComponent* Control);
TStrings* kvGetControlTypeProp(TComponent* Component);
// True when absent.
bool kvGetPictureMaskFromDataSetProp(TComponent* Control);
TStrings* kvGetLookupFieldsProp(TDataSet* DataSet);
TStrings* kvGetLookupLinksProp(TDataSet* DataSet);
std::string kvGetDatabaseNameProp(TDataSet* DataSet);
// "AlwaysTransparent" when the control has it, else "Transparent"; False when neither.
bool kvGetTransparentProp(TComponent* Control);

// The component whose PictureMasks apply to Control: the data set (given, or the one behind
// the control's DataSource) when the control takes its picture from the data set and the data
// set has a PictureMasks list; otherwise the control itself.
TComponent* kvGetPictureMaskSource(TComponent* Control, TDataSet* DataSet);

// ---- fields ------------------------------------------------------------------------------------

bool kvIsCompatibleDataSet(TDataSet* DataSet);
// One of the data set's fields has that name (a-z folded); False for a nil data set.
bool kvDataSetHasField(TObject* DataSet, const std::string& FieldName);
bool kvIsCalcOrLookupField(TField* Field);
// Calculated and lookup fields, and fields of a data set that is not engine-backed, are found by
// scanning the records.
bool kvFieldNeedsRecordScan(TField* Field);

// ---- LookupFields and LookupLinks ----------------------------------------------------------------

// Text before the first "." (the whole name without one).
std::string kvTableBaseName(const std::string& TableName);
// At least 6 tokens and the last is "N".
bool kvEntryUsesBaseName(const TStrings& Tokens);
// The LookupLinks line of the first LookupFields entry whose first token is FieldName; empty
// when none matches. Raises EStringListError when LookupLinks is shorter.
std::string kvGetLookupLinkOfField(TDataSet* DataSet, const std::string& FieldName);
// Token 4 of the first LookupFields entry whose first token is FieldName; empty when none.
std::string kvGetLookupResultFieldName(TDataSet* DataSet, const std::string& FieldName);
// Tokens 2, 3, 4 and the links line of the field's entry (5 tokens or more); without one, the
// data set's DatabaseName and the rest empty.
void kvGetLookupEntryParts(TField* Field, std::string& DatabaseName, std::string& TableName,
                           std::string& LinkText, std::string& ResultField);

// A table the lookup machinery positions. The library's tables implement it; the cache flags
// belong to one record (kvCalcLookupFields clears Searched first).
class TkvLookupTable {
 public:
  virtual ~TkvLookupTable() = default;
  virtual std::string DatabaseName() const = 0;
  virtual std::string TableName() const = 0;
  virtual int IndexFieldCount() const = 0;
  virtual std::string IndexName() const = 0;
  virtual void SetIndexName(const std::string& Value) = 0;
  // The index over these ";"-joined fields (the table finds it; empty when none).
  virtual std::string FindIndexForFields(const std::string& Fields) = 0;
  // Switches to an index over these fields, ignoring the master link meanwhile.
  virtual void UseIndexForFields(const std::string& Fields) = 0;
  virtual bool Active() const = 0;
  virtual void Open() = 0;
  // Positions on the record whose index fields equal Values, in order.
  virtual bool FindRecordByKey(const std::vector<std::string>& Values) = 0;
  // Positions on the record whose field equals Value exactly, not case-sensitively.
  virtual bool LocateValue(const std::string& FieldName, const std::string& Value) = 0;
  // The current record's field: found, with its edit text (its full text for a blob field).
  virtual bool FieldText(const std::string& FieldName, std::string& Text) const = 0;
  virtual TField* FindField(const std::string& FieldName) const = 0;

  std::string LinkText;
  bool Searched = false;
  bool Found = false;
  bool Busy = false;
};

// What a data set with a lookup-table cache offers (the library's tables, queries, QBE and
// stored procedures).
class TkvLookupCacheOwner {
 public:
  virtual ~TkvLookupCacheOwner() = default;
  virtual std::vector<TkvLookupTable*>& LookupTables() = 0;
  // A new table owned by the data set (not yet in the cache).
  virtual TkvLookupTable* CreateLookupTable() = 0;
};

// The lookup-table cache of a data set, or nil for data sets without one.
std::vector<TkvLookupTable*>* kvGetLookupTableList(TDataSet* DataSet);
bool kvLookupTableMatchesEntry(const TkvLookupTable& Table, const TStrings& Tokens);
// Positions LookupTable on the record the data set's current record links to (Links: the split
// LookupLinks line).
bool kvFindLookupByLinks(TkvLookupTable& LookupTable, TDataSet* DataSet, const TStrings& Links);
// Positions the cached table of the field's entry on the field's key; ResultField becomes the
// table's result field (Field itself when there is none).
bool kvFindLookupRecord(TField* Field, std::string& KeyValue, TField*& ResultField);
// Fills every lookup field for the current record from the cached (or newly opened) tables.
void kvCalcLookupFields(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                        std::vector<TkvLookupTable*>& TableList);
// Positions a lookup list's own table on the record the data set's current record links to.
bool kvSyncLookupTable(TDataSet* DataSet, TkvLookupTable& LookupTable, const std::string& FieldName,
                       std::string& LinkField);

// ---- ControlType, pruning, Selected ----------------------------------------------------------

// The last ControlType entry for FieldName wins; Kind and Parameters are empty without one.
void kvGetFieldControlType(TComponent* Component, const std::string& FieldName, std::string& Kind,
                           std::string& Parameters);
// Deletes LookupFields entries (with their LookupLinks lines) and ControlType entries whose field
// the data set lacks. Nil lists are skipped.
void kvPruneFieldEntries(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks, TStrings* ControlType);
// Hides every field, then shows the fields of the Selected lines in line order with their width
// and label. A width that is not a number raises EConvertError (earlier lines stay applied).
void kvApplySelectedFields(TDataSet* DataSet, const TStrings& Selected);
