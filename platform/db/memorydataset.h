#pragma once
// TMemoryDataSet: a data set whose records live in memory. Its columns are its field definitions
// (or, when it has none, its persistent data fields); records are kept in the order they were
// added (an insert goes before the current record, an append to the end) and may be shown sorted
// by SortFields. While Filtered is set, OnFilterRecord decides which records are shown.
//
// It is the data set the data-aware controls are tested with, and the real one for data that does
// not live in a database. Records stay while the data set is closed and reopened with the same
// columns; opening with other columns starts empty. A new OnFilterRecord handler assigned while
// Filtered is set takes effect at the next Refresh.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/dataset.h"

KORCAM_ENUM(TMemorySortOption, msoCaseInsensitive, msoDescending)
using TMemorySortOptions = TSet<TMemorySortOption>;

class TMemoryDataSet : public TDataSet {
  KORCAM_CLASS(TMemoryDataSet, TDataSet)

 public:
  explicit TMemoryDataSet(TComponent* AOwner);
  ~TMemoryDataSet() override;

  PLAIN_PROPERTY(bool, ReadOnly, false)
  // Field names separated by ";"; empty shows the records in the order they were added. An
  // unknown name is refused (and fails the open).
  PROPERTY(std::string, SortFields, "")
  PROPERTY(TMemorySortOptions, SortOptions)

  bool CanModify() const override { return !FReadOnly; }
  int RecNo() override;
  void SetRecNo(int Value) override;
  int RecordCount() override;
  bool BookmarkValid(const TBookmark& Bookmark) override;
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  // Removes every record (filtered out ones too).
  void EmptyDataSet();
  // Records held, whether the filter shows them or not.
  int StoredRecordCount() const { return static_cast<int>(FRecords.size()); }

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return FCursorOpen; }
  void InternalFirst() override;
  void InternalLast() override;
  TGetResult GetRecord(TRecordBuffer* Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  void FilterChanged() override;

 private:
  struct TMemoryRecord {
    int64_t Id = 0;
    std::vector<TFieldValue> Values;
  };

  void EnsureView();
  void RebuildView();
  void Reorder();
  // The value slots of a ";" list of sort fields; raises "Field '...' not found".
  std::vector<int> SortSlots(const std::string& Names) const;
  int ViewIndexOf(int64_t Id);
  int StoredIndexOf(int64_t Id) const;
  bool Accepts(const TMemoryRecord& Record);
  void FillAutoIncrements(std::vector<TFieldValue>& Values) const;

  std::vector<std::unique_ptr<TMemoryRecord>> FRecords;
  // The records shown, in the order shown, and each one's place there.
  std::vector<TMemoryRecord*> FView;
  std::unordered_map<int64_t, int> FPositions;
  bool FViewValid = false;
  bool FCursorOpen = false;
  int FCursor = -1;
  int64_t FNextId = 1;
  std::vector<std::string> FStructure;
  std::unique_ptr<TRecordBuffer> FFilterRecord;
};
