#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

// The entries joined by "|", which no case below uses inside an entry.
std::string Joined(const TStrings& List) {
  std::string Result;
  for (int Index = 0; Index < List.Count(); ++Index) Result += (Index ? "|" : "") + List[Index];
  return Result;
}

void Fill(TStrings& List, const std::vector<std::string>& Entries) {
  for (const auto& Entry : Entries) List.Add(Entry);
}

// Stand-ins for objects: the list only keeps the pointers, never looks at them.
TObject* Tag(uintptr_t Value) {
  return reinterpret_cast<TObject*>(Value);
}

TEST(StringList, SortedAddFollowsDuplicatesAndCase) {
  struct TCase {
    const char* Name;
    TDuplicates Duplicates;
    bool CaseSensitive;
    std::vector<std::string> Added;
    std::vector<int> Indexes;  // what each Add returned
    std::string Expected;
  };
  const TCase Cases[] = {
      {"ignore: a duplicate returns the existing index",
       dupIgnore,
       false,
       {"pear", "apple", "Pear", "fig"},
       {0, 0, 1, 1},
       "apple|fig|pear"},
      {"accept: equals go before the existing ones",
       dupAccept,
       false,
       {"b", "a", "B", "c"},
       {0, 0, 1, 3},
       "a|B|b|c"},
      {"case-sensitive: differently cased texts are not duplicates",
       dupIgnore,
       true,
       {"b", "B", "b"},
       {0, 0, 1},
       "B|b"},
      {"Cyrillic folds like ASCII", dupIgnore, false, {"Привет", "привет", "АБВ"}, {0, 0, 0}, "АБВ|Привет"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TStringList List;
    List.SetCaseSensitive(Case.CaseSensitive);
    List.SetDuplicates(Case.Duplicates);
    List.SetSorted(true);
    std::vector<int> Indexes;
    for (const auto& Entry : Case.Added) Indexes.push_back(List.Add(Entry));
    EXPECT_EQ(Indexes, Case.Indexes);
    EXPECT_EQ(Joined(List), Case.Expected);
  }

  TStringList Strict;
  Strict.SetDuplicates(dupError);
  Strict.SetSorted(true);
  Strict.Add("one");
  try {
    Strict.Add("ONE");
    FAIL() << "a duplicate was accepted";
  } catch (const EStringListError& Error) {
    EXPECT_EQ(Error.Message(), "String list does not allow duplicates");
  }
  EXPECT_EQ(Strict.Count(), 1);
}

TEST(StringList, IndexOfAndFindRespectCaseSensitivity) {
  TStringList List;
  Fill(List, {"Alpha", "beta", "ГАММА"});
  EXPECT_EQ(List.IndexOf("ALPHA"), 0);  // case-insensitive by default
  EXPECT_EQ(List.IndexOf("гамма"), 2);
  EXPECT_EQ(List.IndexOf("delta"), -1);
  List.SetCaseSensitive(true);
  EXPECT_EQ(List.IndexOf("ALPHA"), -1);
  EXPECT_EQ(List.IndexOf("Alpha"), 0);

  List.SetSorted(true);  // case-sensitive order by code point: upper case first
  EXPECT_EQ(Joined(List), "Alpha|beta|ГАММА");
  int Index = -1;
  EXPECT_TRUE(List.Find("beta", Index));
  EXPECT_EQ(Index, 1);
  EXPECT_FALSE(List.Find("Beta", Index));
  EXPECT_EQ(Index, 1);           // where it would go
  List.SetCaseSensitive(false);  // re-sorts
  EXPECT_EQ(List.IndexOf("BETA"), 1);
}

TEST(StringList, SortedListsRefuseInsertAndPutAndIndexErrorsNameTheIndex) {
  TStringList List;
  Fill(List, {"c", "a", "b"});
  List.SetSorted(true);
  EXPECT_EQ(Joined(List), "a|b|c");

  struct TCase {
    const char* Name;
    std::function<void()> Action;
    std::string Message;
  };
  const TCase Cases[] = {
      {"Insert on a sorted list", [&] { List.Insert(0, "x"); }, "Operation not allowed on sorted list"},
      {"Put on a sorted list", [&] { List.SetStrings(1, "x"); }, "Operation not allowed on sorted list"},
      {"Get past the end", [&] { (void)List[3]; }, "List index out of bounds (3)"},
      {"Delete below zero", [&] { List.Delete(-1); }, "List index out of bounds (-1)"},
      {"Objects past the end", [&] { (void)List.Objects(7); }, "List index out of bounds (7)"},
      {"Exchange with a bad index", [&] { List.Exchange(0, 5); }, "List index out of bounds (5)"},
      {"Move on a sorted list keeps the entry", [&] { List.Move(0, 2); },
       "Operation not allowed on sorted list"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      Case.Action();
      ADD_FAILURE() << "no exception";
    } catch (const EStringListError& Error) {
      EXPECT_EQ(Error.Message(), Case.Message);
    }
  }
  EXPECT_EQ(Joined(List), "a|b|c");

  TStringList Unsorted;
  Unsorted.Add("a");
  EXPECT_THROW(Unsorted.Insert(2, "x"), EStringListError);
  Unsorted.Insert(1, "z");  // at the count appends
  EXPECT_EQ(Joined(Unsorted), "a|z");
}

TEST(StringList, NamesAndValues) {
  TStringList List;
  Fill(List, {"Width=320", "Title=Front door", "no separator", "Empty=", "Path=C=D"});
  struct TCase {
    const char* Name;
    std::string Key;
    std::string Value;
    int Index;
  };
  const TCase Cases[] = {
      {"plain", "Width", "320", 0},
      {"name case is ignored", "WIDTH", "320", 0},
      {"value with blanks", "Title", "Front door", 1},
      {"entry without separator has no name", "no separator", "", -1},
      {"empty value", "Empty", "", 3},
      {"value holds the separator", "Path", "C=D", 4},
      {"missing", "Height", "", -1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(List.Values(Case.Key), Case.Value);
    EXPECT_EQ(List.IndexOfName(Case.Key), Case.Index);
  }
  EXPECT_EQ(List.Names(1), "Title");
  EXPECT_EQ(List.Names(2), "");
  EXPECT_EQ(List.ValueFromIndex(4), "C=D");
  EXPECT_EQ(List.ValueFromIndex(2), "");

  List.SetValue("width", "640");   // replaces in place under the name given
  List.SetValue("Height", "480");  // appends
  List.SetValue("Title", "");      // deletes
  EXPECT_EQ(Joined(List), "width=640|no separator|Empty=|Path=C=D|Height=480");

  List.SetNameValueSeparator(':');
  List.Clear();
  List.Add("Colour:Aqua");
  EXPECT_EQ(List.Values("colour"), "Aqua");
}

TEST(StringList, CommaTextBothWays) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Entries;
    std::string Text;
  };
  // Entries to text, and the text back to the same entries.
  const TCase RoundTrips[] = {
      {"plain", {"a", "b", "c"}, "a,b,c"},
      {"blank inside quotes", {"New York", "Paris"}, "\"New York\",Paris"},
      {"quote doubled", {"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {"comma inside", {"1,5", "2"}, "\"1,5\",2"},
      {"empty entries", {"", "x", ""}, ",x,"},
      {"single empty entry", {""}, "\"\""},
      {"no entries", {}, ""},
      {"UTF-8 is not a blank", {"Съёмка", "Фото"}, "Съёмка,Фото"},
  };
  for (const auto& Case : RoundTrips) {
    SCOPED_TRACE(Case.Name);
    TStringList List;
    Fill(List, Case.Entries);
    EXPECT_EQ(List.CommaText(), Case.Text);
    TStringList Back;
    Back.SetCommaText(Case.Text);
    EXPECT_EQ(Back.Count(), static_cast<int>(Case.Entries.size()));
    EXPECT_TRUE(Back.Equals(List));
  }

  // Text to entries only: blanks separate and are skipped, quotes may stop mid-entry.
  const TCase Reads[] = {
      {"blanks separate entries", {"a", "b", "c"}, "a b,c"},
      {"blanks around commas are skipped", {"a", "b"}, "  a ,  b  "},
      {"trailing comma adds an empty entry", {"a", ""}, "a,"},
      {"text after a closing quote is a new entry", {"ab", "cd"}, "\"ab\"cd"},
      {"unclosed quote runs to the end", {"a,b"}, "\"a,b"},
      {"NUL ends the text", {"a"}, std::string("a\0,b", 4)},
  };
  for (const auto& Case : Reads) {
    SCOPED_TRACE(Case.Name);
    TStringList List;
    List.SetCommaText(Case.Text);
    TStringList Expected;
    Fill(Expected, Case.Entries);
    EXPECT_EQ(Joined(List), Joined(Expected));
    EXPECT_EQ(List.Count(), Expected.Count());
  }
}

TEST(StringList, DelimitedTextWithStrictDelimiter) {
  TStringList List;
  List.SetDelimiter(';');
  List.SetQuoteChar('\'');
  List.SetDelimitedText("a b;'c;d'");
  EXPECT_EQ(Joined(List), "a|b|c;d");  // not strict: the blank splits too
  EXPECT_EQ(List.DelimitedText(), "a;b;'c;d'");

  List.SetStrictDelimiter(true);
  List.SetDelimitedText(" a b ;c");
  EXPECT_EQ(Joined(List), " a b |c");
  EXPECT_EQ(List.DelimitedText(), " a b ;c");  // blanks need no quotes when strict
  EXPECT_EQ(List.CommaText(), "\" a b \",c");  // comma text ignores the list's own settings
}

TEST(StringList, TextSplitsAtEveryLineEndAndJoinsWithLineBreak) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::string Expected;
    int Count;
  };
  const TCase Cases[] = {
      {"CR LF", "one\r\ntwo\r\n", "one|two", 2},
      {"LF", "one\ntwo", "one|two", 2},
      {"lone CR", "one\rtwo\r", "one|two", 2},
      {"LF CR is two line ends", "one\n\rtwo", "one||two", 3},
      {"inner empty lines are kept", "a\r\n\r\nb", "a||b", 3},
      {"final line end adds nothing", "a\n", "a", 1},
      {"empty text", "", "", 0},
      {"NUL ends the text", std::string("a\r\nb\0c\r\n", 8), "a|b", 2},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TStringList List;
    List.SetText(Case.Text);
    EXPECT_EQ(Joined(List), Case.Expected);
    EXPECT_EQ(List.Count(), Case.Count);
  }
  TStringList List;
  Fill(List, {"a", "b"});
  EXPECT_EQ(List.Text(), "a\nb\n");
  List.SetLineBreak("\r\n");
  EXPECT_EQ(List.Text(), "a\r\nb\r\n");
}

TEST(StringList, ChangeEventsFireAroundEachChangeOrOnceAroundAnUpdate) {
  TStringList List;
  std::string Log;
  List.OnChanging = [&](TStringList& Sender) { Log += "<" + std::to_string(Sender.Count()); };
  List.OnChange = [&](TStringList& Sender) { Log += ">" + std::to_string(Sender.Count()); };

  struct TCase {
    const char* Name;
    std::function<void()> Action;
    std::string Expected;
  };
  TStringList Other;
  Fill(Other, {"x", "y"});
  const TCase Cases[] = {
      {"Add", [&] { List.Add("a"); }, "<0>1"},
      {"Put", [&] { List.SetStrings(0, "b"); }, "<1>1"},
      {"Objects", [&] { List.SetObjects(0, Tag(1)); }, "<1>1"},
      {"Delete", [&] { List.Delete(0); }, "<1>0"},
      {"Clear of an empty list is silent", [&] { List.Clear(); }, ""},
      {"bracket reports once",
       [&] {
         List.BeginUpdate();
         List.Add("a");
         List.BeginUpdate();
         List.Add("b");
         List.EndUpdate();
         List.Add("c");
         List.EndUpdate();
       },
       "<0>3"},
      {"an empty bracket still reports",
       [&] {
         List.BeginUpdate();
         List.EndUpdate();
       },
       "<3>3"},
      {"Assign reports once", [&] { List.Assign(Other); }, "<3>2"},
      {"Text reports once", [&] { List.SetText("1\n2\n3\n"); }, "<2>3"},
      {"Sort of an unsorted list", [&] { List.CustomSort([](TStringList&, int, int) { return 0; }); },
       "<3>3"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Log.clear();
    Case.Action();
    EXPECT_EQ(Log, Case.Expected);
  }
}

TEST(StringList, SortingMovesObjectsWithTheirTextsAndKeepsEqualsInOrder) {
  TStringList List;
  List.AddObject("b", Tag(1));
  List.AddObject("a", Tag(2));
  List.AddObject("B", Tag(3));
  List.AddObject("c", Tag(4));
  List.Sort();
  EXPECT_EQ(Joined(List), "a|b|B|c");
  EXPECT_EQ(List.Objects(0), Tag(2));
  EXPECT_EQ(List.Objects(1), Tag(1));
  EXPECT_EQ(List.Objects(2), Tag(3));
  EXPECT_EQ(List.IndexOfObject(Tag(4)), 3);

  // A custom order by the objects, read through the indexes the comparison receives.
  List.CustomSort([](TStringList& Sorted, int Index1, int Index2) {
    auto Key = [&](int Index) { return reinterpret_cast<uintptr_t>(Sorted.Objects(Index)); };
    return Key(Index1) < Key(Index2) ? 1 : Key(Index1) > Key(Index2) ? -1 : 0;
  });
  EXPECT_EQ(Joined(List), "c|B|a|b");

  List.Move(0, 3);
  EXPECT_EQ(Joined(List), "B|a|b|c");
  EXPECT_EQ(List.Objects(3), Tag(4));
  List.Exchange(0, 1);
  EXPECT_EQ(Joined(List), "a|B|b|c");
  EXPECT_EQ(List.Objects(1), Tag(3));
}

TEST(StringList, AssignAddStringsAndEquals) {
  TStringList Source;
  Source.AddObject("one", Tag(1));
  Source.AddObject("two", Tag(2));
  TStringList Target;
  Target.Add("old");
  Target.Assign(Source);
  EXPECT_TRUE(Target.Equals(Source));
  EXPECT_EQ(Target.Objects(1), Tag(2));
  Target.Assign(Target);  // assigning a list to itself keeps it
  EXPECT_EQ(Joined(Target), "one|two");

  Target.AddStrings(Target);
  EXPECT_EQ(Joined(Target), "one|two|one|two");
  EXPECT_FALSE(Target.Equals(Source));

  TStringList Sorted;
  Sorted.SetSorted(true);
  Sorted.Assign(Target);  // a sorted target sorts and drops duplicates as it adds
  EXPECT_EQ(Joined(Sorted), "one|two");
  TStringList Upper;
  Fill(Upper, {"ONE", "TWO"});
  EXPECT_FALSE(Sorted.Equals(Upper));  // Equals compares texts exactly
}

TEST(StringList, LoadAndSaveFilesAndStreams) {
  TTempFolder Folder;
  Folder.Write("lines.txt", "\xEF\xBB\xBFПервая\r\nsecond\r\n\r\nlast");
  TStringList List;
  List.LoadFromFile(Folder.File("lines.txt"));
  EXPECT_EQ(Joined(List), "Первая|second||last");

  List.SetLineBreak("\r\n");
  List.SaveToFile(Folder.File("out.txt"));
  EXPECT_EQ(Folder.Read("out.txt"), "Первая\r\nsecond\r\n\r\nlast\r\n");

  // Loading from a stream reads from its position on.
  TMemoryStream Stream;
  std::string Bytes = "skip\nkeep\n";
  Stream.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  Stream.SetPosition(5);
  List.LoadFromStream(Stream);
  EXPECT_EQ(Joined(List), "keep");

  EXPECT_THROW(List.LoadFromFile(Folder.File("missing.txt")), EFOpenError);
  EXPECT_EQ(Joined(List), "keep");
}

}  // namespace
