#include "platform/db/memorydataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/dbconsts.h"
#include "platform/db/field.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TMemoryDataSet)

namespace {

TBookmark MakeBookmark(int64_t Id) {
  TBookmark Result(sizeof Id, '\0');
  std::memcpy(Result.data(), &Id, sizeof Id);
  return Result;
}

int64_t BookmarkId(const TBookmark& Bookmark) {
  int64_t Id = 0;
  if (Bookmark.size() == sizeof Id) std::memcpy(&Id, Bookmark.data(), sizeof Id);
  return Id;
}

}  // namespace

TMemoryDataSet::TMemoryDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMemoryDataSet::~TMemoryDataSet() {
  DestroyDataSet();
}

void TMemoryDataSet::SetSortFields(const std::string& Value) {
  if (FSortFields == Value) return;
  if (Active()) {
    SortSlots(Value);
    CheckBrowseMode();
  }
  FSortFields = Value;
  if (Active()) Refresh();
}

void TMemoryDataSet::SetSortOptions(const TMemorySortOptions& Value) {
  if (FSortOptions == Value) return;
  if (Active()) CheckBrowseMode();
  FSortOptions = Value;
  if (Active()) Refresh();
}

// ---------------------------------------------------------------------------------------------
// The cursor.

void TMemoryDataSet::InternalOpen() {
  if (FieldDefs()->Count() == 0) {
    for (TField* Field : *Fields())
      if (Field->FieldKind() == fkData)
        FieldDefs()->Add(Field->FieldName(), Field->DataType(), Field->Size(), Field->Required());
  }
  if (FieldDefs()->Count() == 0) DatabaseError(SNoFieldDefs, this);
  std::vector<std::string> Structure;
  for (int Index = 0; Index < FieldDefs()->Count(); ++Index) {
    const TFieldDef* Def = FieldDefs()->Items(Index);
    Structure.push_back(UpperCase(Def->Name()) + ":" + IntToStr(Def->DataType()) + ":" +
                        IntToStr(Def->Size()));
  }
  if (Structure != FStructure) {
    FRecords.clear();
    FStructure = Structure;
  }
  SortSlots(FSortFields);
  FCursorOpen = true;
  FViewValid = false;
  FCursor = -1;
}

void TMemoryDataSet::InternalClose() {
  FCursorOpen = false;
  FView.clear();
  FPositions.clear();
  FViewValid = false;
  FFilterRecord.reset();
}

void TMemoryDataSet::InternalFirst() {
  EnsureView();
  FCursor = -1;
}

void TMemoryDataSet::InternalLast() {
  EnsureView();
  FCursor = static_cast<int>(FView.size());
}

TGetResult TMemoryDataSet::GetRecord(TRecordBuffer* Buffer, TGetMode GetMode, bool DoCheck) {
  EnsureView();
  const int Count = static_cast<int>(FView.size());
  switch (GetMode) {
    case gmNext:
      if (FCursor >= Count - 1) {
        FCursor = Count;
        return grEOF;
      }
      ++FCursor;
      break;
    case gmPrior:
      if (FCursor <= 0) {
        FCursor = -1;
        return grBOF;
      }
      --FCursor;
      break;
    case gmCurrent:
      if (FCursor < 0 || FCursor >= Count) return grError;
      break;
  }
  const TMemoryRecord* Record = FView[static_cast<size_t>(FCursor)];
  Buffer->Values = Record->Values;
  Buffer->Bookmark = MakeBookmark(Record->Id);
  Buffer->BookmarkFlag = bfCurrent;
  return grOK;
}

void TMemoryDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  const int Index = ViewIndexOf(BookmarkId(Bookmark));
  if (Index < 0) DatabaseError(SRecordNotFound, this);
  FCursor = Index;
}

void TMemoryDataSet::FillAutoIncrements(std::vector<TFieldValue>& Values) const {
  for (int Slot = 0; Slot < FieldDefs()->Count(); ++Slot) {
    if (FieldDefs()->Items(Slot)->DataType() != ftAutoInc || !Values[static_cast<size_t>(Slot)].IsNull())
      continue;
    int64_t Highest = 0;
    for (const auto& Record : FRecords) {
      const TFieldValue& Value = Record->Values[static_cast<size_t>(Slot)];
      if (Value.IsInteger()) Highest = std::max(Highest, Value.Integer());
    }
    Values[static_cast<size_t>(Slot)] = TFieldValue(Highest + 1);
  }
}

void TMemoryDataSet::InternalPost() {
  EnsureView();
  const TRecordBuffer* Buffer = ActiveBuffer();
  std::vector<TFieldValue> Values(Buffer->Values.begin(), Buffer->Values.begin() + DataSlotCount());
  FillAutoIncrements(Values);
  int64_t Id = 0;
  int Fallback = 0;  // where the cursor goes when the filter hides the stored record
  if (State() == dsInsert) {
    auto Record = std::make_unique<TMemoryRecord>();
    Record->Id = Id = FNextId++;
    Record->Values = std::move(Values);
    size_t Place = FRecords.size();
    if (Buffer->BookmarkFlag == bfBOF) {
      Place = 0;
    } else if (Buffer->BookmarkFlag == bfInserted && !Buffer->Bookmark.empty()) {
      const int Following = StoredIndexOf(BookmarkId(Buffer->Bookmark));
      if (Following >= 0) Place = static_cast<size_t>(Following);
    }
    const int FollowingInView =
        Buffer->BookmarkFlag == bfInserted ? ViewIndexOf(BookmarkId(Buffer->Bookmark)) : -1;
    Fallback = FollowingInView >= 0 ? FollowingInView : static_cast<int>(FView.size());
    FRecords.insert(FRecords.begin() + static_cast<std::ptrdiff_t>(Place), std::move(Record));
  } else {
    Id = BookmarkId(Buffer->Bookmark);
    const int Index = StoredIndexOf(Id);
    if (Index < 0) DatabaseError(SRecordNotFound, this);
    FRecords[static_cast<size_t>(Index)]->Values = std::move(Values);
    Fallback = std::max(0, ViewIndexOf(Id));
  }
  RebuildView();
  const int Index = ViewIndexOf(Id);
  FCursor = Index >= 0 ? Index : std::min(Fallback, static_cast<int>(FView.size()));
}

void TMemoryDataSet::InternalDelete() {
  EnsureView();
  if (FCursor < 0 || FCursor >= static_cast<int>(FView.size())) DatabaseError(SRecordNotFound, this);
  const int64_t Id = FView[static_cast<size_t>(FCursor)]->Id;
  // The view keeps its order without the record; the cursor stays on the place, which the next
  // record now takes.
  FView.erase(FView.begin() + FCursor);
  FRecords.erase(FRecords.begin() + StoredIndexOf(Id));
  FPositions.clear();
  for (size_t Index = 0; Index < FView.size(); ++Index)
    FPositions[FView[Index]->Id] = static_cast<int>(Index);
}

void TMemoryDataSet::InternalRefresh() {
  const int64_t Current =
      FCursor >= 0 && FCursor < static_cast<int>(FView.size()) ? FView[static_cast<size_t>(FCursor)]->Id : 0;
  RebuildView();
  const int Index = Current ? ViewIndexOf(Current) : -1;
  FCursor = Index >= 0 ? Index : std::min(std::max(FCursor, -1), static_cast<int>(FView.size()));
}

void TMemoryDataSet::FilterChanged() {
  FViewValid = false;
  First();
}

void TMemoryDataSet::EmptyDataSet() {
  if (Active()) CheckBrowseMode();
  FRecords.clear();
  FViewValid = false;
  if (Active()) First();
}

// ---------------------------------------------------------------------------------------------
// The view: the records shown, filtered and sorted.

void TMemoryDataSet::EnsureView() {
  if (!FViewValid) RebuildView();
}

bool TMemoryDataSet::Accepts(const TMemoryRecord& Record) {
  if (!Filtered() || !OnFilterRecord) return true;
  if (!FFilterRecord) FFilterRecord = AllocRecordBuffer();
  FFilterRecord->Values = Record.Values;
  FFilterRecord->Values.resize(static_cast<size_t>(RecordSlotCount()));
  FFilterRecord->Bookmark = MakeBookmark(Record.Id);
  FFilterRecord->BookmarkFlag = bfCurrent;
  if (RecordSlotCount() > DataSlotCount()) CalculateFields(FFilterRecord.get());
  return RecordAccepted(FFilterRecord.get());
}

void TMemoryDataSet::RebuildView() {
  FView.clear();
  for (const auto& Record : FRecords)
    if (Accepts(*Record)) FView.push_back(Record.get());
  Reorder();
  FPositions.clear();
  for (size_t Index = 0; Index < FView.size(); ++Index)
    FPositions[FView[Index]->Id] = static_cast<int>(Index);
  FViewValid = true;
}

std::vector<int> TMemoryDataSet::SortSlots(const std::string& Names) const {
  std::vector<int> Slots;
  size_t Start = 0;
  while (Start <= Names.size()) {
    size_t End = Names.find(';', Start);
    if (End == std::string::npos) End = Names.size();
    const std::string Name = Trim(Names.substr(Start, End - Start));
    if (!Name.empty()) {
      const int Slot = FieldDefs()->IndexOf(Name);
      if (Slot < 0) DatabaseErrorFmt(SFieldNotFound, {Name}, this);
      Slots.push_back(Slot);
    }
    Start = End + 1;
  }
  return Slots;
}

void TMemoryDataSet::Reorder() {
  if (FSortFields.empty()) return;
  const std::vector<int> Slots = SortSlots(FSortFields);
  const bool CaseInsensitive = FSortOptions.Contains(msoCaseInsensitive);
  const bool Descending = FSortOptions.Contains(msoDescending);
  // Stable, so records with equal keys keep the order they were added in.
  std::stable_sort(FView.begin(), FView.end(), [&](const TMemoryRecord* A, const TMemoryRecord* B) {
    for (int Slot : Slots) {
      const int Order = CompareFieldValues(A->Values[static_cast<size_t>(Slot)],
                                           B->Values[static_cast<size_t>(Slot)], CaseInsensitive);
      if (Order != 0) return Descending ? Order > 0 : Order < 0;
    }
    return false;
  });
}

int TMemoryDataSet::ViewIndexOf(int64_t Id) {
  EnsureView();
  auto Where = FPositions.find(Id);
  return Where == FPositions.end() ? -1 : Where->second;
}

int TMemoryDataSet::StoredIndexOf(int64_t Id) const {
  for (size_t Index = 0; Index < FRecords.size(); ++Index)
    if (FRecords[Index]->Id == Id) return static_cast<int>(Index);
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Sequence numbers and bookmarks.

int TMemoryDataSet::RecNo() {
  if (!Active() || IsEmpty()) return 0;
  const TRecordBuffer* Buffer = ActiveBuffer();
  if (Buffer->BookmarkFlag != bfCurrent) return -1;
  const int Index = ViewIndexOf(BookmarkId(Buffer->Bookmark));
  return Index < 0 ? -1 : Index + 1;
}

void TMemoryDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (Value < 1 || Value > static_cast<int>(FView.size()) || Value == RecNo()) return;
  DoBeforeScroll();
  FCursor = Value - 1;
  Resync({rmCenter});
  DoAfterScroll();
}

int TMemoryDataSet::RecordCount() {
  if (!FCursorOpen) return 0;
  EnsureView();
  return static_cast<int>(FView.size());
}

bool TMemoryDataSet::BookmarkValid(const TBookmark& Bookmark) {
  return FCursorOpen && !Bookmark.empty() && ViewIndexOf(BookmarkId(Bookmark)) >= 0;
}

int TMemoryDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() || Bookmark2.empty()) return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
  const int64_t Id1 = BookmarkId(Bookmark1);
  const int64_t Id2 = BookmarkId(Bookmark2);
  if (Id1 == Id2) return 0;
  const int Index1 = FCursorOpen ? ViewIndexOf(Id1) : -1;
  const int Index2 = FCursorOpen ? ViewIndexOf(Id2) : -1;
  if (Index1 >= 0 && Index2 >= 0) return Index1 < Index2 ? -1 : 1;
  return Id1 < Id2 ? -1 : 1;
}
