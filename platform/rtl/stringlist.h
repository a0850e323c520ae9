#pragma once
// String lists of the class library. TStrings is the abstract list of texts with an object
// pointer per entry; it builds names and values, comma and delimited text, line text, loading and
// saving on top of a handful of virtual primitives that each descendant supplies (a rich-edit's
// lines, a combo's items). TStringList keeps its entries in memory, optionally sorted, with the
// duplicate and case rules of the class library, and reports changes through OnChanging and
// OnChange.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"

class TObject;
class TStream;

class TStrings {
 public:
  TStrings() = default;
  virtual ~TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  // --- The primitives a descendant supplies. Index errors raise EStringListError
  // "List index out of bounds (n)".
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Put(int Index, const std::string& S);   // default: Delete then Insert, object kept
  virtual TObject* GetObject(int Index) const;         // default: no objects
  virtual void PutObject(int Index, TObject* Object);  // default: ignored
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  // --- Operations with defaults over the primitives.
  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* Object);
  virtual void InsertObject(int Index, const std::string& S, TObject* Object);
  // Appends every entry of Strings (with its object).
  virtual void AddStrings(const TStrings& Strings);
  // Replaces the entries with those of Source (texts and objects; the list's own settings stay).
  virtual void Assign(const TStrings& Source);
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  // First index whose text compares equal (CompareStrings), or -1.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfObject(const TObject* Object) const;
  // First index of an entry "Name=..." whose name compares equal, or -1.
  virtual int IndexOfName(const std::string& Name) const;
  // Same count and the same texts, byte for byte.
  bool Equals(const TStrings& Other) const;

  int Count() const { return GetCount(); }
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  std::string operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* Object) { PutObject(Index, Object); }

  // --- Names and values: an entry "Name=Value" (the separator is NameValueSeparator).
  // The name part of entry Index; "" when the entry has no separator.
  std::string Names(int Index) const;
  // The value of the first entry named Name, "" when there is none.
  std::string Values(const std::string& Name) const;
  // Replaces the first entry named Name, adds one when there is none; an empty Value deletes it.
  void SetValue(const std::string& Name, const std::string& Value);
  // The text after the separator of entry Index ("" without a separator).
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

  // --- Delimited text. Reading quotes an entry that holds the quote character, the delimiter or
  // (unless StrictDelimiter) a blank or control character, doubling inner quotes; a list of a
  // single empty entry reads as two quotes. Writing splits at the delimiter and (unless
  // StrictDelimiter) at blanks, which are skipped around entries; quoted parts may hold anything;
  // a final delimiter adds an empty entry.
  std::string DelimitedText() const;
  void SetDelimitedText(const std::string& Value);
  // DelimitedText with ',' and '"' and StrictDelimiter off, whatever the list's own settings.
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // --- Line text. Reading ends every entry with LineBreak; writing splits at CR LF, LF or CR, a
  // final line end adds no empty entry, and a NUL byte ends the text.
  std::string Text() const { return GetTextStr(); }
  void SetText(const std::string& Value) { SetTextStr(Value); }
  // "\n" unless told otherwise; files the system writes with CR LF set "\r\n".
  const std::string& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const std::string& Value) { FLineBreak = Value; }

  // Loading reads the stream from its position to its end (a UTF-8 byte-order mark is skipped)
  // and replaces the entries with its lines; saving writes Text.
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream) const;
  // File errors raise EFOpenError / EFCreateError.
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName) const;

  // Changes between BeginUpdate and the matching EndUpdate are reported once (SetUpdateState).
  void BeginUpdate();
  void EndUpdate();

 protected:
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& Value);
  // Called with true by the first BeginUpdate and with false by the last EndUpdate.
  virtual void SetUpdateState(bool Updating) {}
  // The comparison IndexOf and IndexOfName use: ASCII and Unicode letters without regard to case.
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  int UpdateCount() const { return FUpdateCount; }
  // Raises EStringListError with Message, "%d" replaced by Data.
  [[noreturn]] static void Error(const char* Message, int Data);

 private:
  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
  std::string FLineBreak = "\n";

  std::string DelimitedTextWith(char Delimiter, char Quote, bool Strict) const;
  void SetDelimitedTextWith(const std::string& Value, char Delimiter, char Quote, bool Strict);
};

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStringList;
// Returns < 0, 0 or > 0 for the entries at Index1 and Index2 of List.
using TStringListSortCompare = std::function<int(TStringList& List, int Index1, int Index2)>;
using TStringListNotifyEvent = std::function<void(TStringList& Sender)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  ~TStringList() override = default;

  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  // Raises EStringListError "Operation not allowed on sorted list" on a sorted list.
  void Put(int Index, const std::string& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* Object) override;
  // Raises EStringListError "Operation not allowed on sorted list" on a sorted list.
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* Object) override;
  void Delete(int Index) override;
  void Clear() override;

  int Add(const std::string& S) override;
  // On a sorted list the entry goes to its place: a duplicate is dropped (dupIgnore, returning the
  // existing index), added before its equals (dupAccept) or refused with EStringListError
  // "String list does not allow duplicates" (dupError).
  int AddObject(const std::string& S, TObject* Object) override;
  void Exchange(int Index1, int Index2) override;
  // Raises EStringListError "Operation not allowed on sorted list" on a sorted list, before it
  // takes the entry out.
  void Move(int CurIndex, int NewIndex) override;
  int IndexOf(const std::string& S) const override;

  // Binary search of a sorted list: true when S is present; Index is its first position, or where
  // it would be inserted.
  virtual bool Find(const std::string& S, int& Index) const;
  // Sorts by CompareStrings; nothing on a list that is already Sorted.
  virtual void Sort();
  // Sorts by Compare, which receives the list and two indexes of its current entries (stable:
  // equal entries keep their order).
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return FSorted; }
  // Turning Sorted on sorts the list.
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  // Default false; changing it re-sorts a sorted list.
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);

  // OnChanging fires before and OnChange after each change, or once around a BeginUpdate /
  // EndUpdate bracket (then even when nothing changed inside it).
  TStringListNotifyEvent OnChange;
  TStringListNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct TItem {
    std::string String;
    TObject* Object = nullptr;
  };
  std::vector<TItem> FItems;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;

  void CheckIndex(int Index) const;
  void InsertItem(int Index, const std::string& S, TObject* Object);
  void SortBy(const TStringListSortCompare& Compare);
};
