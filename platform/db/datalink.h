#pragma once
// Data links: how a control follows a data source. TDataLink sees the data set through a window
// of BufferCount records (a grid shows several rows, an edit one); its ActiveRecord is the current
// record's place in that window, and a grid may set it while it paints each row (and must put it
// back). The data set's events arrive as eight notifications a control overrides:
//
//   ActiveChanged        the data set opened or closed (or the link was connected)
//   DataSetChanged       everything may have changed (open, First, Last, post, cancel, delete)
//   DataSetScrolled(D)   the current record moved; D is how far the link's window moved, so a
//                        grid whose current row merely moved inside the window hears D = 0
//   EditingChanged       the data set entered or left an editing state
//   FocusControl(F)      a field asks to be shown; a control that takes the focus clears F
//   LayoutChanged        fields moved, were shown or hidden, or changed their labels or widths
//   RecordChanged(F)     field F of the current record changed (nullptr: the whole record)
//   UpdateData           write what the control holds into the record now (before a post)
//
// TFieldDataLink binds one field by name and turns these into the events of an edit control.

#include <string>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/db/dbtypes.h"

class TDataSet;
class TDataSource;
class TField;

class TDataLink : public TPersistent {
  KORCAM_CLASS(TDataLink, TPersistent)

 public:
  TDataLink() = default;
  ~TDataLink() override;

  // Connected to an enabled data source whose data set is open.
  bool Active() const { return FActive; }
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  bool Bof() const;
  bool Eof() const;
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  TDataSet* DataSet() const;
  TDataSource* DataSource() const { return FDataSource; }
  // Raises "DataSource cannot be changed" while the data source is fixed.
  void SetDataSource(TDataSource* Value);
  bool DataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
  // The data set is editing (dsEdit, dsInsert, dsSetKey) and the link is not read-only.
  virtual bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Records in the link's window (at most BufferCount).
  int RecordCount() const;
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  // Asks the data source to start an edit (when AutoEdit allows); whether the link edits now.
  virtual bool Edit();
  // UpdateData, with this link's own record notifications held back meanwhile.
  void UpdateRecord();
  int MoveBy(int Distance);

 protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void FocusControl(TField*& Field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}

 private:
  friend class TDataSource;
  friend class TDataSet;
  void DataEvent(TDataEvent Event, intptr_t Info);
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();

  TDataSource* FDataSource = nullptr;
  // The data set's buffer index of the window's first record.
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  bool FDataSourceFixed = false;
  bool FVisualControl = false;
};

// Called when a field asks for its control (TField::FocusControl) and a field data link with a
// control shows that field; returns whether the control took the focus. The window layer installs
// it; without one the request stays unserved.
using TFieldFocusHandler = bool (*)(TComponent* Control);
void SetFieldFocusHandler(TFieldFocusHandler Handler);

class TFieldDataLink : public TDataLink {
  KORCAM_CLASS(TFieldDataLink, TDataLink)

 public:
  TFieldDataLink() = default;

  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  TField* Field() const { return FField; }
  const std::string& FieldName() const { return FFieldName; }
  // Binds the field of that name once the link is active (none while it does not exist).
  void SetFieldName(const std::string& Value);
  // The link edits while the data set edits and the field can be modified.
  bool Editing() const override { return FFieldEditing; }
  bool Edit() override;
  // A field is bound, the link is not read-only and the field can be modified.
  bool CanModify() const;
  // The control's text differs from the field: UpdateData will write it (OnUpdateData).
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Reloads the control from the field (OnDataChange) and forgets the modification.
  void Reset() { RecordChanged(nullptr); }

  // Sender is the link.
  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void UpdateField();
  void SetField(TField* Value);
  void SetFieldEditing(bool Value);

  TComponent* FControl = nullptr;
  TField* FField = nullptr;
  std::string FFieldName;
  bool FFieldEditing = false;
  bool FModified = false;
};
