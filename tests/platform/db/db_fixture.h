#pragma once
// Shared fixtures of the data-set tests: objects freed the way owners free them, an event log
// that data links, field links and data-set events all write into, and an in-memory data set of
// numbered items.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/db/db.h"

struct TFreeDeleter {
  void operator()(TObject* Object) const {
    if (Object) Object->Free();
  }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeDeleter>;

// One log for everything that happens, in order.
struct TEventLog {
  std::vector<std::string> Entries;
  void Add(std::string Entry) { Entries.push_back(std::move(Entry)); }
  void Clear() { Entries.clear(); }
};

// Compares a log with the expected entries; on a mismatch prints both lists with indices,
// reported at the caller's line.
void CheckLog(const TEventLog& Log, const std::vector<std::string>& Expected, const char* File, int Line);
#define EXPECT_LOG(Log, ...) CheckLog((Log), std::vector<std::string> __VA_ARGS__, __FILE__, __LINE__)

// A data link that writes each notification into the log, with its argument and, where it
// helps, the link's ActiveRecord: "grid.DataSetScrolled(1) ar=4".
class TLogLink : public TDataLink {
 public:
  TLogLink(std::string Tag, TEventLog& Log) : FTag(std::move(Tag)), FLog(Log) {}
  // Extra text appended to DataSetChanged and DataSetScrolled entries, e.g. the current key.
  std::function<std::string()> Describe;

 protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  std::string Suffix() const;
  std::string FTag;
  TEventLog& FLog;
};

// A field data link wired like an edit control: it shows the field's display text, and when the
// data set asks for its data it writes its (possibly user-changed) text back as the edit text.
struct TFieldProbe {
  TFieldProbe(std::string Tag, TEventLog& Log, TDataSource* Source, const std::string& FieldName);
  // The user types: the control's text changes and the link is told.
  void Type(const std::string& NewText);

  std::string Tag;
  TEventLog& Log;
  TFieldDataLink Link;
  std::string Text;
};

// Writes "ds.BeforeEdit", "ds.AfterPost", ... for every data-set event.
void LogDataSetEvents(TDataSet& DataSet, TEventLog& Log);

// ID (integer, required), Name (string 20), Price (float), Active (Boolean), Added (date);
// record i (1-based) holds i, "Item 00i", i * 1.5, i even, 2020-01-01 + i. Open.
TOwned<TMemoryDataSet> MakeItems(int Count);
