#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr const char* ListIndexError = "List index out of bounds (%d)";
constexpr const char* SortedListError = "Operation not allowed on sorted list";
constexpr const char* DuplicateString = "String list does not allow duplicates";

// Blanks and control characters, the separators of non-strict delimited text (NUL ends the text).
bool IsBlank(char C) {
  auto Byte = static_cast<unsigned char>(C);
  return Byte >= 1 && Byte <= ' ';
}

// The part of Value before its first NUL byte: the text routines of the class library stop there.
std::string_view UpToNul(const std::string& Value) {
  std::string_view View(Value);
  size_t Nul = View.find('\0');
  return Nul == std::string_view::npos ? View : View.substr(0, Nul);
}

// Keeps a list in its update state while a bulk change runs, also when the change raises.
class TUpdateScope {
 public:
  explicit TUpdateScope(TStrings& Strings) : FStrings(Strings) { FStrings.BeginUpdate(); }
  ~TUpdateScope() { FStrings.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TStrings& FStrings;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* Message, int Data) {
  std::string Text(Message);
  size_t At = Text.find("%d");
  if (At != std::string::npos) Text.replace(At, 2, std::to_string(Data));
  throw EStringListError(Text);
}

void TStrings::Put(int Index, const std::string& S) {
  TObject* Object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, Object);
}

TObject* TStrings::GetObject(int Index) const {
  return nullptr;
}

void TStrings::PutObject(int Index, TObject* Object) {}

int TStrings::Add(const std::string& S) {
  int Result = GetCount();
  Insert(Result, S);
  return Result;
}

int TStrings::AddObject(const std::string& S, TObject* Object) {
  int Result = Add(S);
  PutObject(Result, Object);
  return Result;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* Object) {
  Insert(Index, S);
  PutObject(Index, Object);
}

void TStrings::AddStrings(const TStrings& Strings) {
  // Taken first, so adding a list to itself (or to a sorted list) sees a fixed source.
  std::vector<std::pair<std::string, TObject*>> Entries;
  Entries.reserve(static_cast<size_t>(Strings.GetCount()));
  for (int Index = 0; Index < Strings.GetCount(); ++Index)
    Entries.emplace_back(Strings.Get(Index), Strings.GetObject(Index));
  TUpdateScope Update(*this);
  for (const auto& Entry : Entries) AddObject(Entry.first, Entry.second);
}

void TStrings::Assign(const TStrings& Source) {
  if (&Source == this) return;
  TUpdateScope Update(*this);
  Clear();
  AddStrings(Source);
}

void TStrings::Exchange(int Index1, int Index2) {
  TUpdateScope Update(*this);
  std::string Text1 = Get(Index1);
  TObject* Object1 = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, Text1);
  PutObject(Index2, Object1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateScope Update(*this);
  std::string Text = Get(CurIndex);
  TObject* Object = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, Text, Object);
}

int TStrings::IndexOf(const std::string& S) const {
  for (int Index = 0; Index < GetCount(); ++Index)
    if (CompareStrings(Get(Index), S) == 0) return Index;
  return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
  for (int Index = 0; Index < GetCount(); ++Index)
    if (GetObject(Index) == Object) return Index;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int Index = 0; Index < GetCount(); ++Index) {
    std::string S = Get(Index);
    size_t Separator = S.find(FNameValueSeparator);
    if (Separator != std::string::npos && CompareStrings(S.substr(0, Separator), Name) == 0) return Index;
  }
  return -1;
}

bool TStrings::Equals(const TStrings& Other) const {
  if (GetCount() != Other.GetCount()) return false;
  for (int Index = 0; Index < GetCount(); ++Index)
    if (Get(Index) != Other.Get(Index)) return false;
  return true;
}

std::string TStrings::Names(int Index) const {
  std::string S = Get(Index);
  size_t Separator = S.find(FNameValueSeparator);
  return Separator == std::string::npos ? std::string() : S.substr(0, Separator);
}

std::string TStrings::Values(const std::string& Name) const {
  int Index = IndexOfName(Name);
  return Index < 0 ? std::string() : ValueFromIndex(Index);
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
  int Index = IndexOfName(Name);
  if (!Value.empty()) {
    std::string Entry = Name + FNameValueSeparator + Value;
    if (Index < 0)
      Add(Entry);
    else
      Put(Index, Entry);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

std::string TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return std::string();
  std::string S = Get(Index);
  size_t Separator = S.find(FNameValueSeparator);
  return Separator == std::string::npos ? std::string() : S.substr(Separator + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(std::string());
    Put(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

std::string TStrings::DelimitedTextWith(char Delimiter, char Quote, bool Strict) const {
  int Count = GetCount();
  // A lone empty entry must not read back as an empty list.
  if (Count == 1 && Get(0).empty()) return std::string(2, Quote);
  std::string Result;
  for (int Index = 0; Index < Count; ++Index) {
    std::string S = Get(Index);
    bool NeedsQuotes = std::any_of(S.begin(), S.end(), [&](char C) {
      return C == '\0' || C == Quote || C == Delimiter || (!Strict && IsBlank(C));
    });
    if (NeedsQuotes) {
      std::string Quoted(1, Quote);
      for (char C : S) {
        Quoted += C;
        if (C == Quote) Quoted += Quote;
      }
      Quoted += Quote;
      S = std::move(Quoted);
    }
    if (Index > 0) Result += Delimiter;
    Result += S;
  }
  return Result;
}

void TStrings::SetDelimitedTextWith(const std::string& Value, char Delimiter, char Quote, bool Strict) {
  TUpdateScope Update(*this);
  Clear();
  std::string_view Text = UpToNul(Value);
  size_t At = 0;
  auto SkipBlanks = [&] {
    if (!Strict)
      while (At < Text.size() && IsBlank(Text[At])) ++At;
  };
  SkipBlanks();
  while (At < Text.size()) {
    std::string Entry;
    if (Text[At] == Quote) {
      // A quoted entry: doubled quotes stand for one; an unclosed quote runs to the end.
      ++At;
      while (At < Text.size()) {
        if (Text[At] == Quote) {
          if (At + 1 < Text.size() && Text[At + 1] == Quote) {
            Entry += Quote;
            At += 2;
            continue;
          }
          ++At;
          break;
        }
        Entry += Text[At++];
      }
    } else {
      size_t Start = At;
      while (At < Text.size() && Text[At] != Delimiter && (Strict || !IsBlank(Text[At]))) ++At;
      Entry.assign(Text.substr(Start, At - Start));
    }
    Add(Entry);
    SkipBlanks();
    if (At < Text.size() && Text[At] == Delimiter) {
      if (At + 1 == Text.size()) Add(std::string());
      ++At;
      SkipBlanks();
    }
  }
}

std::string TStrings::DelimitedText() const {
  return DelimitedTextWith(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const std::string& Value) {
  SetDelimitedTextWith(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::CommaText() const {
  return DelimitedTextWith(',', '"', false);
}

void TStrings::SetCommaText(const std::string& Value) {
  SetDelimitedTextWith(Value, ',', '"', false);
}

std::string TStrings::GetTextStr() const {
  std::string Result;
  for (int Index = 0; Index < GetCount(); ++Index) {
    Result += Get(Index);
    Result += FLineBreak;
  }
  return Result;
}

void TStrings::SetTextStr(const std::string& Value) {
  TUpdateScope Update(*this);
  Clear();
  std::string_view Text = UpToNul(Value);
  size_t At = 0;
  while (At < Text.size()) {
    size_t Start = At;
    while (At < Text.size() && Text[At] != '\r' && Text[At] != '\n') ++At;
    Add(std::string(Text.substr(Start, At - Start)));
    if (At < Text.size() && Text[At] == '\r') ++At;
    if (At < Text.size() && Text[At] == '\n') ++At;
  }
}

void TStrings::LoadFromStream(TStream& Stream) {
  TUpdateScope Update(*this);
  int64_t Size = Stream.Size() - Stream.Position();
  std::string Bytes(static_cast<size_t>(std::max<int64_t>(Size, 0)), '\0');
  int64_t Done = 0;
  while (Done < Size) {
    int32_t Got =
        Stream.Read(Bytes.data() + Done, static_cast<int32_t>(std::min<int64_t>(Size - Done, 0x40000000)));
    if (Got <= 0) break;
    Done += Got;
  }
  Bytes.resize(static_cast<size_t>(Done));
  if (Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) Bytes.erase(0, 3);
  SetTextStr(Bytes);
}

void TStrings::SaveToStream(TStream& Stream) const {
  std::string Bytes = GetTextStr();
  size_t Done = 0;
  while (Done < Bytes.size()) {
    int32_t Piece = static_cast<int32_t>(std::min<size_t>(Bytes.size() - Done, 0x40000000));
    Stream.WriteBuffer(Bytes.data() + Done, Piece);
    Done += static_cast<size_t>(Piece);
  }
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
  return AnsiCompareText(S1, S2);
}

// ---------------------------------------------------------------------------------------------
// TStringList

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(ListIndexError, Index);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<size_t>(Index)].String;
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) Error(SortedListError, 0);
  CheckIndex(Index);
  Changing();
  FItems[static_cast<size_t>(Index)].String = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object) {
  CheckIndex(Index);
  Changing();
  FItems[static_cast<size_t>(Index)].Object = Object;
  Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
  InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* Object) {
  if (FSorted) Error(SortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(ListIndexError, Index);
  InsertItem(Index, S, Object);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* Object) {
  Changing();
  FItems.insert(FItems.begin() + Index, TItem{S, Object});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  Changed();
}

int TStringList::Add(const std::string& S) {
  return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* Object) {
  int Index = GetCount();
  if (FSorted && Find(S, Index)) {
    if (FDuplicates == dupIgnore) return Index;
    if (FDuplicates == dupError) Error(DuplicateString, 0);
  }
  InsertItem(Index, S, Object);
  return Index;
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (FSorted && CurIndex != NewIndex) Error(SortedListError, 0);
  TStrings::Move(CurIndex, NewIndex);
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int Index = 0;
  return Find(S, Index) ? Index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  // The first position whose entry is not below S: with duplicates, the first of the equals.
  int Low = 0;
  int High = GetCount();
  while (Low < High) {
    int Middle = Low + (High - Low) / 2;
    if (CompareStrings(FItems[static_cast<size_t>(Middle)].String, S) < 0)
      Low = Middle + 1;
    else
      High = Middle;
  }
  Index = Low;
  return Low < GetCount() && CompareStrings(FItems[static_cast<size_t>(Low)].String, S) == 0;
}

void TStringList::SortBy(const TStringListSortCompare& Compare) {
  // Sort a permutation while the entries stay where they are, so Compare can look them up by the
  // indexes it is given; then apply it in one step (nothing moves when Compare raises).
  std::vector<int> Order(FItems.size());
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(),
                   [&](int Left, int Right) { return Compare(*this, Left, Right) < 0; });
  std::vector<TItem> Sorted;
  Sorted.reserve(FItems.size());
  for (int Index : Order) Sorted.push_back(std::move(FItems[static_cast<size_t>(Index)]));
  FItems = std::move(Sorted);
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || FItems.size() < 2) return;
  Changing();
  SortBy(Compare);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList& List, int Index1, int Index2) {
    return List.CompareStrings(List.FItems[static_cast<size_t>(Index1)].String,
                               List.FItems[static_cast<size_t>(Index2)].String);
  });
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    FSorted = false;
    Sort();
    FSorted = true;
  }
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(*this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(*this);
}
