#pragma once
// The shared vocabulary of the data-set layer: states, data events, field types and kinds,
// record-fetch modes, bookmarks and the record buffers a data set keeps for its links.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/typinfo.h"
#include "platform/db/fieldvalue.h"

// The order matters: code compares states ("below dsInsert" means inactive, browse or edit).
KORCAM_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter,
            dsNewValue, dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)

// What a data set tells its data sources and, through them, every data link.
KORCAM_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
            deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
            deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange)

KORCAM_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency,
            ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
            ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
            ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface,
            ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd)

KORCAM_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)

// How a descendant's GetRecord moves its cursor, and what it found.
enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

// Where a record buffer stands: on a real record, on a new record inserted before the record
// its bookmark names, or at either end (a new record in an empty data set, an appended record).
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

KORCAM_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
using TLocateOptions = TSet<TLocateOption>;

KORCAM_ENUM(TResyncModeItem, rmExact, rmCenter)
using TResyncMode = TSet<TResyncModeItem>;

KORCAM_ENUM(TDataAction, daFail, daAbort, daRetry)

KORCAM_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite)

KORCAM_ENUM(TFilterOption, foCaseInsensitive, foNoPartialCompare)
using TFilterOptions = TSet<TFilterOption>;

// An opaque record position. Empty means "no bookmark" (none is available while inserting).
// Bookmarks are values: freeing one only empties it.
using TBookmark = std::string;
using TBookmarkStr = std::string;

// One record as a data set holds it for its links: a value slot per field (data fields first,
// by field number, then calculated and lookup fields), the record's bookmark and where the
// buffer stands. A data set may hand out a descendant with more state (AllocRecordBuffer).
struct TRecordBuffer {
  virtual ~TRecordBuffer() = default;
  std::vector<TFieldValue> Values;
  TBookmark Bookmark;
  TBookmarkFlag BookmarkFlag = bfCurrent;
};
