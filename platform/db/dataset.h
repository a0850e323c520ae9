#pragma once
// TDataSet: the class library's data set. It keeps a window of record buffers around the current
// record (as many as its largest data link shows), moves through records with a descendant's
// cursor, runs the edit cycle (edit, insert, append, post, cancel, delete with their before and
// after events), computes calculated and lookup fields, and tells its data sources, and through
// them every data link, what changed: the state, a field, the record, a scroll by some distance,
// the layout.
//
// A descendant supplies the cursor (the extension points under "Cursor" below) and nothing of the
// buffer handling: GetRecord fills a buffer's data slots from the record at the cursor, and the
// rest of this class decides which buffer, when, and what the links hear about it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/db/dbtypes.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fieldvalue.h"
#include "platform/rtl/streams.h"

class TField;
class TFields;
class TDataSource;
class TDataLink;
class TDataSet;

using TDataSetNotifyEvent = TEvent<TDataSet*>;
// Accept starts True; a handler sets it False to hide the record.
using TFilterRecordEvent = TEvent<TDataSet*, bool&>;
// Action starts daFail (the error goes on); daAbort turns it into a silent abort, daRetry runs
// the operation again.
using TDataSetErrorEvent = TEvent<TDataSet*, EDatabaseError*, TDataAction&>;

class TDataSet : public TComponent {
  KORCAM_CLASS(TDataSet, TComponent)

 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  ACCESSOR_PROPERTY(bool, Active, false)
  // Recalculate calculated fields whenever a data field changes while editing.
  PLAIN_PROPERTY(bool, AutoCalcFields, true)
  // OnFilterRecord hides records while Filtered is True (the descendant applies it).
  PROPERTY(bool, Filtered, false)
  PLAIN_PROPERTY(std::string, Filter, "")
  PLAIN_PROPERTY(TFilterOptions, FilterOptions)
  EVENT(TDataSetNotifyEvent, BeforeOpen)
  EVENT(TDataSetNotifyEvent, AfterOpen)
  EVENT(TDataSetNotifyEvent, BeforeClose)
  EVENT(TDataSetNotifyEvent, AfterClose)
  EVENT(TDataSetNotifyEvent, BeforeInsert)
  EVENT(TDataSetNotifyEvent, AfterInsert)
  EVENT(TDataSetNotifyEvent, BeforeEdit)
  EVENT(TDataSetNotifyEvent, AfterEdit)
  EVENT(TDataSetNotifyEvent, BeforePost)
  EVENT(TDataSetNotifyEvent, AfterPost)
  EVENT(TDataSetNotifyEvent, BeforeCancel)
  EVENT(TDataSetNotifyEvent, AfterCancel)
  EVENT(TDataSetNotifyEvent, BeforeDelete)
  EVENT(TDataSetNotifyEvent, AfterDelete)
  EVENT(TDataSetNotifyEvent, BeforeScroll)
  EVENT(TDataSetNotifyEvent, AfterScroll)
  EVENT(TDataSetNotifyEvent, OnNewRecord)
  EVENT(TDataSetNotifyEvent, OnCalcFields)
  EVENT(TFilterRecordEvent, OnFilterRecord)
  EVENT(TDataSetErrorEvent, OnEditError)
  EVENT(TDataSetErrorEvent, OnPostError)
  EVENT(TDataSetErrorEvent, OnDeleteError)

  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  // At the first record after First or after a move that ran into the beginning; at the end
  // after Last or after a move that ran past the last record. An empty data set is both.
  bool Bof() const { return FBOF; }
  bool Eof() const { return FEOF; }
  bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
  bool Modified() const { return FModified; }
  virtual bool CanModify() const { return true; }

  // Navigation. MoveBy returns the number of records actually moved (negative backwards); it
  // stops at either end and sets Bof or Eof then.
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  int MoveBy(int Distance);
  // Sequence numbers: whether RecNo and RecordCount mean record positions.
  virtual bool IsSequenced() const { return true; }
  // 1-based position of the current record; -1 when unknown.
  virtual int RecNo() { return -1; }
  virtual void SetRecNo(int Value) {}
  virtual int RecordCount() { return -1; }

  // The edit cycle.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Fills the fields in order from Values (a null value clears a field); the data set must be
  // editing. AppendRecord and InsertRecord append or insert, fill and post.
  void SetFields(const std::vector<TFieldValue>& Values);
  void AppendRecord(const std::vector<TFieldValue>& Values);
  void InsertRecord(const std::vector<TFieldValue>& Values);
  // Posts or cancels a pending edit (posts when modified), so the data set browses afterwards.
  void CheckBrowseMode();
  // Asks every data link to write its pending edit into the record.
  void UpdateRecord();
  // Re-reads the records around the current one.
  void Refresh();
  void Resync(TResyncMode Mode);
  // Puts the descendant's cursor on the current record / forgets where the cursor is.
  void UpdateCursorPos();
  void CursorPosChanged() { FCurrentRecord = -1; }

  // Bookmarks. GetBookmark is empty while there is no current record (also while inserting).
  bool BookmarkAvailable() const;
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& Bookmark);
  void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
  virtual bool BookmarkValid(const TBookmark& Bookmark) { return false; }
  // -1, 0 or 1 by position; 0 (or 2, from descendants that cannot order) for the same record.
  // An empty bookmark comes before any other.
  virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);
  TBookmarkStr Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmarkStr& Value) { GotoBookmark(Value); }

  // Links hear nothing while disabled; EnableControls of the outermost pair sends one data-set
  // change (a layout change when one was held back), and the state change when the state moved.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }

  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  // Reads the field definitions without opening the data set for use.
  void InitFieldDefs();
  TFields* Fields() const { return FFields.get(); }
  int FieldCount() const;
  TField* FindField(const std::string& FieldName) const;
  // Raises "Field '...' not found".
  TField* FieldByName(const std::string& FieldName) const;
  // The fields of a ";"-separated name list; raises for a missing name.
  void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
  // Whether the data set made its own fields from the field definitions when it opened.
  bool DefaultFields() const { return FDefaultFields; }

  // Finds the first record whose key fields (";" list) equal the values and makes it current.
  // Case-insensitive compares texts after upper-casing; a partial key matches a text field
  // whose value starts with it. False (and no move) when none matches.
  bool Locate(const std::string& KeyFields, const TFieldValue& KeyValue, TLocateOptions Options);
  bool Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
              TLocateOptions Options);
  // The value of ResultField in the first record whose key fields equal the values, without
  // moving; null when none matches.
  TFieldValue Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                     const std::string& ResultField);

  // A stream over a blob field's value in the current record; the caller owns it. Writing modes
  // store every write into the field at once (the data set must be editing).
  virtual std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode);

  // Tells the data sources (and their links) of an event. Info carries the event's argument: the
  // TField* of deFieldChange and deRecordChange, the buffer shift of deDataSetScroll, a pointer to
  // a TField* for deFocusControl. Descendants may override to watch events; they call this.
  virtual void DataEvent(TDataEvent Event, intptr_t Info);

  // Field access for TField: the value of Field in the buffer of the current state; false for
  // null. SetFieldData checks the state and read-only flag, runs OnValidate, stores, and tells the
  // links (and recalculates) unless the data set is calculating or filtering.
  virtual bool GetFieldData(TField* Field, TFieldValue& Value);
  virtual void SetFieldData(TField* Field, const TFieldValue& Value);

  // The record buffers, for data links and descendants: BufferCount buffers of which
  // BufferedRecordCount hold records, ActiveRecordIndex the current one.
  int BufferCount() const { return FBufferCount; }
  int BufferedRecordCount() const { return FRecordCount; }
  int ActiveRecordIndex() const { return FActiveRecord; }
  TRecordBuffer* ActiveBuffer() const;
  bool IsLinkedTo(const TDataSource* DataSource) const;
  // The master data source of a detail data set; nullptr here.
  virtual TDataSource* GetDataSource() const { return nullptr; }

  void Loaded() override;
  void BeforeDestruction() override;
  // A form writes the persistent fields that Root owns inside their data set.
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

 protected:
  // ----- Cursor: what a descendant supplies -----
  // Opens the cursor (positioned before the first record) and fills FieldDefs. The base then
  // makes default fields when there are no persistent ones, binds the fields and reads the first
  // records. Raising leaves the data set closed.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // Before the first record / after the last one.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Reads the record at the cursor (gmCurrent), after it (gmNext) or before it (gmPrior) into
  // Buffer's data slots (one per field definition), its bookmark, and bfCurrent; moves the cursor
  // onto that record. At either end the cursor stays past the end and the result says which.
  virtual TGetResult GetRecord(TRecordBuffer* Buffer, TGetMode GetMode, bool DoCheck) = 0;
  // Puts the cursor on the record of Bookmark; raises "Record not found" when there is none.
  virtual void InternalGotoBookmark(const TBookmark& Bookmark) = 0;
  // Puts the cursor on the record of a buffer (a new record's buffer names the record it was
  // inserted before).
  virtual void InternalSetToRecord(TRecordBuffer* Buffer) { InternalGotoBookmark(Buffer->Bookmark); }
  virtual std::unique_ptr<TRecordBuffer> AllocRecordBuffer() { return std::make_unique<TRecordBuffer>(); }
  // A new record's initial values (the base leaves every slot null).
  virtual void InternalInitRecord(TRecordBuffer* Buffer) {}
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  // Stores the active buffer: a new record (dsInsert; its flag and bookmark say where) or the
  // changed current record (dsEdit). Leaves the cursor on the stored record.
  virtual void InternalPost();
  virtual void InternalCancel() {}
  // Deletes the record at the cursor; leaves the cursor on the record that followed it.
  virtual void InternalDelete();
  virtual void InternalRefresh() {}
  // Fills FieldDefs from the cursor (a descendant that learns its columns from its source).
  virtual void InternalInitFieldDefs() {}

  // Opening and closing around the cursor. OpenCursor(false) opens for use: InternalOpen, the
  // fields, the buffers and the first records; OpenCursor(true) only reads the field
  // definitions. CloseCursor undoes either. Descendants that prepare something of their own
  // (an engine handle) extend them and call these.
  virtual void OpenCursor(bool InfoQuery);
  virtual void CloseCursor();

  // ----- Events, as virtual operations a descendant may extend -----
  virtual void DoBeforeOpen() { Fire(BeforeOpen); }
  virtual void DoAfterOpen() { Fire(AfterOpen); }
  virtual void DoBeforeClose() { Fire(BeforeClose); }
  virtual void DoAfterClose() { Fire(AfterClose); }
  virtual void DoBeforeInsert() { Fire(BeforeInsert); }
  virtual void DoAfterInsert() { Fire(AfterInsert); }
  virtual void DoBeforeEdit() { Fire(BeforeEdit); }
  virtual void DoAfterEdit() { Fire(AfterEdit); }
  virtual void DoBeforePost() { Fire(BeforePost); }
  virtual void DoAfterPost() { Fire(AfterPost); }
  virtual void DoBeforeCancel() { Fire(BeforeCancel); }
  virtual void DoAfterCancel() { Fire(AfterCancel); }
  virtual void DoBeforeDelete() { Fire(BeforeDelete); }
  virtual void DoAfterDelete() { Fire(AfterDelete); }
  virtual void DoBeforeScroll() { Fire(BeforeScroll); }
  virtual void DoAfterScroll() { Fire(AfterScroll); }
  virtual void DoOnNewRecord() { Fire(OnNewRecord); }
  virtual void DoOnCalcFields() { Fire(OnCalcFields); }
  // Called after Filtered changed; descendants re-read their records.
  virtual void FilterChanged() {}

  // ----- Helpers for descendants -----
  virtual int GetNextRecords();
  int GetPriorRecords();
  // Which buffer fields read and write in the current state; nullptr when none.
  virtual TRecordBuffer* GetActiveRecordBuffer() const;
  // Calculated and lookup fields of a buffer: clears them, looks the lookups up, fires
  // OnCalcFields, all in the dsCalcFields state.
  virtual void CalculateFields(TRecordBuffer* Buffer);
  // Raises "Field '...' must have a value" for a required data field left null.
  virtual void CheckRequiredFields();
  // Runs OnFilterRecord on a buffer in the dsFilter state; true when it keeps the record.
  bool RecordAccepted(TRecordBuffer* Buffer);
  // Switches the state without telling anyone (links hear nothing meanwhile).
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  void SetState(TDataSetState Value);
  void SetModified(bool Value) { FModified = Value; }
  void CheckActive() const;
  void CheckInactive() const;
  void CheckCanModify() const;
  // Number of value slots a record buffer has (data fields, then calculated and lookup fields).
  int RecordSlotCount() const { return FRecordSlotCount; }
  int DataSlotCount() const { return FDataSlotCount; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Closes and detaches everything while the object is still whole; descendants call it from
  // their destructors (Free does it before any destructor runs).
  void DestroyDataSet();

 private:
  friend class TDataSource;
  friend class TDataLink;
  friend class TField;

  void Fire(const TDataSetNotifyEvent& Event) { Event(this); }
  void SetActiveValue(bool Value);
  void CreateFields();
  void DestroyFields();
  void BindFields(bool Binding);
  void BeginInsertAppend();
  void EndInsertAppend();
  template <class TProcedure>
  void CheckOperation(TProcedure Operation, const TDataSetErrorEvent& ErrorEvent);
  void AddDataSource(TDataSource* DataSource);
  void RemoveDataSource(TDataSource* DataSource);
  void UpdateBufferCount();
  void SetBufferCount(int Value);
  void AdjustFirstRecords(int Delta);
  void MoveBuffer(int CurIndex, int NewIndex);
  void ActivateBuffers();
  void ClearBuffers();
  void SetCurrentRecord(int Index);
  TGetResult FetchRecord(TRecordBuffer* Buffer, TGetMode Mode, bool DoCheck);
  bool GetNextRecord();
  bool GetPriorRecord();
  void GetCalcFields(TRecordBuffer* Buffer);
  bool ScanForRecord(const std::vector<TField*>& Fields, const std::vector<TFieldValue>& Values,
                     TLocateOptions Options, TBookmark* Found, TField* ResultField, TFieldValue* Result);
  bool RecordMatches(const std::vector<TField*>& Fields, const std::vector<TFieldValue>& Values,
                     TLocateOptions Options) const;
  void ForEachLink(const std::function<void(TDataLink*)>& Visit) const;

  std::unique_ptr<TFieldDefs> FFieldDefs;
  std::unique_ptr<TFields> FFields;
  std::vector<TDataSource*> FDataSources;
  TDataSetState FState = dsInactive;
  bool FBOF = true;
  bool FEOF = true;
  bool FModified = false;
  bool FDefaultFields = false;
  bool FStreamedActive = false;
  bool FDestroyed = false;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  // BufferCount + 1 buffers: the records of the window, then at least one spare that fetches
  // land in before they join the window.
  std::vector<std::unique_ptr<TRecordBuffer>> FBuffers;
  int FBufferCount = 0;
  int FRecordCount = 0;
  int FActiveRecord = 0;
  // The buffer whose record the cursor stands on; -1 when unknown.
  int FCurrentRecord = -1;
  int FDataSlotCount = 0;
  int FRecordSlotCount = 0;
  int FCalcFieldCount = 0;
  TRecordBuffer* FCalcBuffer = nullptr;
  TRecordBuffer* FFilterBuffer = nullptr;
  std::unique_ptr<TRecordBuffer> FScanBuffer;
};
