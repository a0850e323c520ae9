#pragma once
// TField: one column of a data set's current record, with its conversions between the stored
// value and texts and numbers, its display and edit texts, and the flags the data-aware controls
// read (Alignment, DisplayLabel, DisplayWidth, Visible, ReadOnly, Required, EditMask).
//
// A field holds no value of its own: every read goes to the record buffer its data set names for
// the current state (the active record, the record being calculated or filtered), and every write
// goes through the data set, which checks the state and tells the data links. So a grid that
// switches its data link's ActiveRecord reads that row's values through the same fields.
//
// The typed subclasses (string, integer kinds, Boolean, float, currency, BCD, date/time, blobs)
// live in their own files; TFields is the ordered field list of a data set.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/classes/alignment.h"
#include "platform/db/dataset.h"
#include "platform/db/dbtypes.h"
#include "platform/db/fieldvalue.h"
#include "platform/rtl/datetime_type.h"

class TField;

using TFieldNotifyEvent = TEvent<TField*>;
using TFieldGetTextEvent = TEvent<TField*, std::string&, bool>;
using TFieldSetTextEvent = TEvent<TField*, const std::string&>;

class TField : public TComponent {
  KORCAM_CLASS(TField, TComponent)

 public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  PROPERTY(TAlignment, Alignment, taLeftJustify)
  // The caption of the field's column; the field name while none is set.
  ACCESSOR_PROPERTY(std::string, DisplayLabel, "")
  // Characters a column shows; a default that depends on the type while none is set.
  ACCESSOR_PROPERTY(int32_t, DisplayWidth, 0)
  // Stored for the edit controls, which apply it while the user types.
  PROPERTY(std::string, EditMask, "")
  PROPERTY(TFieldKind, FieldKind, fkData)
  PROPERTY(std::string, FieldName, "")
  // Lookup fields: the fields of this data set whose values are looked up (";" list), the data
  // set and fields searched, and the field of that data set whose value this field shows.
  PROPERTY(std::string, KeyFields, "")
  PROPERTY(TDataSet*, LookupDataSet, nullptr)
  PROPERTY(std::string, LookupKeyFields, "")
  PROPERTY(std::string, LookupResultField, "")
  PLAIN_PROPERTY(bool, LookupCache, false)
  PROPERTY(bool, ReadOnly, false)
  PLAIN_PROPERTY(bool, Required, false)
  PROPERTY(bool, Visible, true)
  EVENT(TFieldNotifyEvent, OnChange)
  EVENT(TFieldGetTextEvent, OnGetText)
  EVENT(TFieldSetTextEvent, OnSetText)
  EVENT(TFieldNotifyEvent, OnValidate)

  TDataSet* DataSet() const { return FDataSet; }
  // Moves the field into Value's field list; both data sets must be closed.
  void SetDataSet(TDataSet* Value);
  TFieldType DataType() const { return FDataType; }
  // 1-based number of the field's definition; 0 for calculated and lookup fields.
  int FieldNo() const { return FFieldNo; }
  // Characters of a string field, decimals of a BCD field; 0 for other types.
  int32_t Size() const { return FSize; }
  virtual void SetSize(int32_t Value);
  bool Calculated() const { return FFieldKind == fkCalculated; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  // Place in the data set's field list; writing it moves the field (a layout change for links).
  int Index() const;
  void SetIndex(int Value);
  // DisplayLabel, for messages.
  std::string DisplayName() const { return DisplayLabel(); }

  bool IsNull() const;
  void Clear();
  std::string AsString() const { return GetAsString(); }
  void SetAsString(const std::string& Value) { SetAsStringValue(Value); }
  int32_t AsInteger() const { return GetAsInteger(); }
  void SetAsInteger(int32_t Value) { SetAsIntegerValue(Value); }
  int64_t AsLargeInt() const { return GetAsLargeInt(); }
  void SetAsLargeInt(int64_t Value) { SetAsLargeIntValue(Value); }
  double AsFloat() const { return GetAsFloat(); }
  void SetAsFloat(double Value) { SetAsFloatValue(Value); }
  double AsCurrency() const { return GetAsCurrency(); }
  void SetAsCurrency(double Value) { SetAsCurrencyValue(Value); }
  bool AsBoolean() const { return GetAsBoolean(); }
  void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
  TDateTime AsDateTime() const { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
  // The value as it is stored (null, a number, a Boolean, a text).
  TFieldValue Value() const { return GetAsVariant(); }
  void SetValue(const TFieldValue& Value) { SetAsVariant(Value); }
  TFieldValue AsVariant() const { return GetAsVariant(); }

  // The edit text (what an editor shows and writes back) and the display text (what a cell
  // shows). OnGetText and OnSetText replace the conversions when assigned.
  std::string Text() const;
  void SetText(const std::string& Value);
  std::string EditText() const { return Text(); }
  void SetEditText(const std::string& Value) { SetText(Value); }
  std::string DisplayText() const;

  // Whether the value may be written now: a data field that is not read-only, of a data set
  // that can be modified.
  bool CanModify() const;
  virtual bool IsBlob() const { return false; }
  // Whether an editor may accept this character (digits and signs only for integers, ...).
  virtual bool IsValidChar(char32_t InputChar) const { return true; }
  // Asks the data links to focus the control that shows this field.
  void FocusControl();
  // Copies another field's value (null included).
  void Assign(TPersistent* Source) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  // In a form a persistent field is written inside its data set and joins it when read.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  void SetDataType(TFieldType Value) { FDataType = Value; }

  // The typed conversions. The base raises "Cannot access field '...' as type ..." for each
  // except the variant pair; a subclass overrides the ones its type supports.
  virtual std::string GetAsString() const;
  virtual void SetAsStringValue(const std::string& Value);
  virtual int32_t GetAsInteger() const;
  virtual void SetAsIntegerValue(int32_t Value);
  virtual int64_t GetAsLargeInt() const { return GetAsInteger(); }
  virtual void SetAsLargeIntValue(int64_t Value);
  virtual double GetAsFloat() const;
  virtual void SetAsFloatValue(double Value);
  virtual double GetAsCurrency() const { return GetAsFloat(); }
  virtual void SetAsCurrencyValue(double Value) { SetAsFloatValue(Value); }
  virtual bool GetAsBoolean() const;
  virtual void SetAsBooleanValue(bool Value);
  virtual TDateTime GetAsDateTime() const;
  virtual void SetAsDateTimeValue(TDateTime Value);
  virtual TFieldValue GetAsVariant() const;
  virtual void SetAsVariant(const TFieldValue& Value);
  // Display (DisplayText true) or edit text of the current value.
  virtual void GetText(std::string& Text, bool DisplayText) const;
  // Writes an edit text; the default is SetAsString.
  virtual void InternalSetText(const std::string& Text) { SetAsStringValue(Text); }
  virtual int32_t GetDefaultWidth() const { return 10; }

  // The stored value; false for null. Raises when the field has no data set.
  bool GetData(TFieldValue& Value) const;
  // Stores a value through the data set (which checks the state and tells the links).
  void SetData(const TFieldValue& Value);
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void RangeError(const std::string& Value, const std::string& Min,
                               const std::string& Max) const;
  // Tells the open data set that a property changed: a layout change (labels, widths,
  // visibility, order) or a data change (formats).
  void PropertyChanged(bool LayoutAffected);
  // "(MEMO)" for a memo with a value, "(memo)" without, after the class name.
  std::string ClassDesc() const;

 private:
  friend class TDataSet;
  friend class TFields;
  friend TField* CreateFieldForType(TFieldType DataType, TComponent* Owner);
  void Validate(const TFieldValue& Value);
  void Change();
  void Detach();

  TDataSet* FDataSet = nullptr;
  TFieldType FDataType = ftUnknown;
  int FFieldNo = 0;
  int32_t FSize = 0;
  // Index of the field's value in a record buffer; -1 while unbound.
  int FFieldSlot = -1;
  std::string FDisplayLabelText;
  int32_t FDisplayWidthValue = 0;
  // The value being written while OnValidate runs: reads inside the handler see it.
  const TFieldValue* FValidating = nullptr;
};

// The ordered fields of a data set. The data set frees its fields when it is freed (and its
// default fields when it closes); a field that is freed first leaves the list.
class TFields : public TObject {
  KORCAM_CLASS(TFields, TObject)

 public:
  explicit TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}
  ~TFields() override;

  int Count() const { return static_cast<int>(FList.size()); }
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  TDataSet* DataSet() const { return FDataSet; }
  int IndexOf(const TField* Field) const;
  // By name, ignoring case; nullptr when absent. FieldByName raises "Field '...' not found".
  TField* FindField(const std::string& FieldName) const;
  TField* FieldByName(const std::string& FieldName) const;
  TField* FieldByNumber(int FieldNo) const;
  // Frees every field.
  void Clear();

  std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
  std::vector<TField*>::const_iterator end() const { return FList.end(); }

 private:
  friend class TField;
  friend class TDataSet;
  void Add(TField* Field);
  void Remove(TField* Field);
  void Move(int CurIndex, int NewIndex);

  TDataSet* FDataSet;
  std::vector<TField*> FList;
};
