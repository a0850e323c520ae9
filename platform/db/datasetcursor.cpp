// The record-buffer window of TDataSet and the moves through it.
//
// The data set keeps FRecordCount filled buffers (at most FBufferCount, the largest window a data
// link asks for) with the current record at FActiveRecord, plus a spare buffer that every fetch
// lands in first. Fetching the record after the last buffer appends it, or, in a full window,
// rotates the first buffer out (the buffers shift up by one); fetching the record before the first
// buffer rotates the spare in at the front (the buffers shift down by one, the last one dropping
// out of a full window). The net shift of a move travels with the scroll event, so each data link
// can first follow its records and then move its own window just enough to keep the current
// record in view; that second move is the distance the link is told.
//
// FCurrentRecord remembers which buffer's record the descendant's cursor stands on, so a fetch
// next to the window can put the cursor back in place first (SetCurrentRecord).

#include <algorithm>

#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/field.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

void TDataSet::UpdateBufferCount() {
  if (FDestroyed || FBuffers.empty() || !IsCursorOpen()) return;
  int Wanted = 1;
  ForEachLink([&](TDataLink* Link) { Wanted = std::max(Wanted, Link->FBufferCount); });
  SetBufferCount(Wanted);
}

void TDataSet::AdjustFirstRecords(int Delta) {
  if (Delta == 0) return;
  ForEachLink([&](TDataLink* Link) {
    if (Link->FActive) Link->FFirstRecord += Delta;
  });
}

void TDataSet::SetBufferCount(int Value) {
  if (Value == FBufferCount) return;
  if (Value < FRecordCount) {
    // Drop records from the top until the current record fits, then from the bottom.
    const int FromTop = std::max(0, FActiveRecord - (Value - 1));
    for (int Index = 0; Index < FromTop; ++Index) MoveBuffer(0, static_cast<int>(FBuffers.size()) - 1);
    FActiveRecord -= FromTop;
    AdjustFirstRecords(-FromTop);
    FRecordCount = std::min(FRecordCount - FromTop, Value);
    CursorPosChanged();
  }
  // Buffers past the filled ones are free: shrink or grow there.
  while (static_cast<int>(FBuffers.size()) > Value + 1) FBuffers.pop_back();
  while (static_cast<int>(FBuffers.size()) < Value + 1) FBuffers.push_back(AllocRecordBuffer());
  FBufferCount = Value;
  if (FRecordCount > 0) {
    GetNextRecords();
    AdjustFirstRecords(GetPriorRecords());
  }
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  auto Buffer = std::move(FBuffers[static_cast<size_t>(CurIndex)]);
  FBuffers.erase(FBuffers.begin() + CurIndex);
  FBuffers.insert(FBuffers.begin() + NewIndex, std::move(Buffer));
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FCurrentRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::SetCurrentRecord(int Index) {
  if (FCurrentRecord == Index) return;
  TRecordBuffer* Buffer = FBuffers[static_cast<size_t>(Index)].get();
  switch (Buffer->BookmarkFlag) {
    case bfCurrent:
      InternalSetToRecord(Buffer);
      break;
    case bfInserted:
      // A new record stands before the record its bookmark names (at the end without one).
      if (Buffer->Bookmark.empty())
        InternalLast();
      else
        InternalSetToRecord(Buffer);
      break;
    case bfBOF:
      InternalFirst();
      break;
    case bfEOF:
      InternalLast();
      break;
  }
  FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

TGetResult TDataSet::FetchRecord(TRecordBuffer* Buffer, TGetMode Mode, bool DoCheck) {
  const TGetResult Result = GetRecord(Buffer, Mode, DoCheck);
  if (Result == grOK) {
    Buffer->Values.resize(static_cast<size_t>(FRecordSlotCount));
    GetCalcFields(Buffer);
  }
  return Result;
}

bool TDataSet::GetNextRecord() {
  TGetMode Mode = gmNext;
  if (FRecordCount > 0) {
    SetCurrentRecord(FRecordCount - 1);
    // After a new record the next one is the record it was inserted before: the cursor's own.
    const TRecordBuffer* Last = FBuffers[static_cast<size_t>(FRecordCount - 1)].get();
    if (FState == dsInsert && Last->BookmarkFlag == bfInserted && !Last->Bookmark.empty()) Mode = gmCurrent;
  }
  if (FetchRecord(FBuffers[static_cast<size_t>(FRecordCount)].get(), Mode, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0) {
    ActivateBuffers();
  } else if (FRecordCount < FBufferCount) {
    ++FRecordCount;
  } else {
    MoveBuffer(0, FRecordCount);
    if (FActiveRecord > 0) --FActiveRecord;
  }
  FCurrentRecord = FRecordCount - 1;
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (FRecordCount > 0) SetCurrentRecord(0);
  if (FetchRecord(FBuffers[static_cast<size_t>(FRecordCount)].get(), gmPrior, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(FRecordCount, 0);
    ++FActiveRecord;
    if (FRecordCount < FBufferCount) ++FRecordCount;
    FActiveRecord = std::min(FActiveRecord, FRecordCount - 1);
  }
  FCurrentRecord = 0;
  return true;
}

int TDataSet::GetNextRecords() {
  int Result = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++Result;
  return Result;
}

int TDataSet::GetPriorRecords() {
  int Result = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++Result;
  return Result;
}

// ---------------------------------------------------------------------------------------------
// Navigation.

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalFirst();
    GetNextRecord();
    GetNextRecords();
  } catch (...) {
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FBOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalLast();
    GetPriorRecord();
    GetPriorRecords();
  } catch (...) {
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FEOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int Result = 0;
  DoBeforeScroll();
  if ((Distance > 0 && FEOF) || (Distance < 0 && FBOF) || Distance == 0) return 0;
  FBOF = false;
  FEOF = false;
  int Shift = 0;
  try {
    while (Distance > 0) {
      if (FActiveRecord < FRecordCount - 1) {
        ++FActiveRecord;
      } else {
        const bool Full = FRecordCount >= FBufferCount;
        if (!GetNextRecord()) {
          FEOF = true;
          break;
        }
        if (Full) --Shift;
        FActiveRecord = FRecordCount - 1;
      }
      --Distance;
      ++Result;
    }
    while (Distance < 0) {
      if (FActiveRecord > 0) {
        --FActiveRecord;
      } else {
        if (!GetPriorRecord()) {
          FBOF = true;
          break;
        }
        ++Shift;
        FActiveRecord = 0;
      }
      ++Distance;
      --Result;
    }
  } catch (...) {
    DataEvent(deDataSetScroll, Shift);
    throw;
  }
  DataEvent(deDataSetScroll, Shift);
  DoAfterScroll();
  return Result;
}

void TDataSet::Resync(TResyncMode Mode) {
  TRecordBuffer* Spare = FBuffers[static_cast<size_t>(FRecordCount)].get();
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (FetchRecord(Spare, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound, this);
  } else if (FetchRecord(Spare, gmCurrent, false) != grOK && FetchRecord(Spare, gmNext, false) != grOK &&
             FetchRecord(Spare, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  // Keep the record on the same row of the window (or centre it), then fill around it.
  int Above = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  MoveBuffer(FRecordCount, 0);
  ActivateBuffers();
  try {
    while (Above > 0 && GetPriorRecord()) --Above;
    GetNextRecords();
    GetPriorRecords();
  } catch (...) {
    DataEvent(deDataSetChange, 0);
    throw;
  }
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Bookmarks.

bool TDataSet::BookmarkAvailable() const {
  return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() &&
         ActiveBuffer()->BookmarkFlag == bfCurrent;
}

TBookmark TDataSet::GetBookmark() const {
  return BookmarkAvailable() ? ActiveBuffer()->Bookmark : TBookmark();
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
  if (Bookmark.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(Bookmark);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() || Bookmark2.empty())
    return (Bookmark1.empty() ? 0 : 1) - (Bookmark2.empty() ? 0 : 1);
  const int Result = Bookmark1.compare(Bookmark2);
  return Result < 0 ? -1 : (Result > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Locate and Lookup: a scan over every record with a buffer of their own, so the window and the
// links see nothing until a found record becomes current.

bool TDataSet::RecordMatches(const std::vector<TField*>& Fields, const std::vector<TFieldValue>& Values,
                             TLocateOptions Options) const {
  const bool CaseInsensitive = Options.Contains(loCaseInsensitive);
  for (size_t Index = 0; Index < Fields.size(); ++Index) {
    const TFieldValue Value = Fields[Index]->Value();
    const TFieldValue& Key = Values[Index];
    if (Value.IsNull() || Key.IsNull()) {
      if (Value.IsNull() && Key.IsNull()) continue;
      return false;
    }
    if (Value.IsString()) {
      std::string Text = Value.String();
      std::string KeyText = Key.ToText();
      if (CaseInsensitive) {
        Text = AnsiUpperCase(Text);
        KeyText = AnsiUpperCase(KeyText);
      }
      const bool Match =
          Options.Contains(loPartialKey) ? Text.compare(0, KeyText.size(), KeyText) == 0 : Text == KeyText;
      if (!Match) return false;
    } else if (CompareFieldValues(Value, Key, CaseInsensitive) != 0) {
      return false;
    }
  }
  return true;
}

bool TDataSet::ScanForRecord(const std::vector<TField*>& Fields, const std::vector<TFieldValue>& Values,
                             TLocateOptions Options, TBookmark* Found, TField* ResultField,
                             TFieldValue* Result) {
  if (Fields.size() != Values.size()) DatabaseError("Locate needs one value for each key field", this);
  if (!FScanBuffer) FScanBuffer = AllocRecordBuffer();
  TRecordBuffer* Scan = FScanBuffer.get();
  TRecordBuffer* SavedFilterBuffer = FFilterBuffer;
  const TDataSetState Saved = SetTempState(dsFilter);
  FFilterBuffer = Scan;
  bool Matched = false;
  try {
    CursorPosChanged();
    InternalFirst();
    while (FetchRecord(Scan, gmNext, true) == grOK) {
      if (!RecordMatches(Fields, Values, Options)) continue;
      Matched = true;
      if (Found) *Found = Scan->Bookmark;
      if (ResultField) *Result = ResultField->Value();
      break;
    }
  } catch (...) {
    FFilterBuffer = SavedFilterBuffer;
    RestoreState(Saved);
    CursorPosChanged();
    throw;
  }
  FFilterBuffer = SavedFilterBuffer;
  RestoreState(Saved);
  CursorPosChanged();
  return Matched;
}

bool TDataSet::Locate(const std::string& KeyFields, const TFieldValue& KeyValue, TLocateOptions Options) {
  return Locate(KeyFields, std::vector<TFieldValue>{KeyValue}, Options);
}

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                      TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TField*> Fields;
  GetFieldList(Fields, KeyFields);
  TBookmark Found;
  if (!ScanForRecord(Fields, KeyValues, Options, &Found, nullptr, nullptr)) return false;
  DoBeforeScroll();
  InternalGotoBookmark(Found);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
  return true;
}

TFieldValue TDataSet::Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                             const std::string& ResultField) {
  CheckActive();
  std::vector<TField*> Fields;
  GetFieldList(Fields, KeyFields);
  TField* Result = FieldByName(ResultField);
  TFieldValue Value;
  if (!ScanForRecord(Fields, KeyValues, {}, nullptr, Result, &Value)) return TFieldValue();
  return Value;
}
