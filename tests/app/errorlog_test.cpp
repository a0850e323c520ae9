// The error-history log as a file: the entry's form, where a "Log File" text points, and the
// trimming of a log that would pass its size limit.

#include "app/errorlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/datetime.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

std::string ReadAll(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  std::stringstream Content;
  Content << File.rdbuf();
  return Content.str();
}

void WriteAll(const std::string& Path, const std::string& Text) {
  std::ofstream File(Path, std::ios::binary | std::ios::trunc);
  File << Text;
}

TEST(ErrorLog, EntryIsTimeTwoBlanksAndTheMessageByteForByte) {
  const TDateTime Time = EncodeDateTime(2026, 3, 4, 7, 5, 9, 42);
  EXPECT_EQ(ErrorLogEntry(Time, "Save picture failed"), "03/04/2026 07:05:09.042  Save picture failed");
  // The last entry of a run is a line end: an empty message followed by an empty line.
  EXPECT_EQ(ErrorLogEntry(Time, "\r\n"), "03/04/2026 07:05:09.042  \r\n");
  EXPECT_EQ(ErrorLogEntry(Time, "Сохранение"), "03/04/2026 07:05:09.042  Сохранение");
}

TEST(ErrorLog, BareNamesLieInTheProgramFolder) {
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"bare name", "my.log", "/opt/korcam/my.log"},
      {"blanks and control characters around it", " \tkorcam.log\r\n", "/opt/korcam/korcam.log"},
      {"absolute path", "/var/log/cam/my.log", "/var/log/cam/my.log"},
      {"relative path with a folder counts from the current folder", "logs/my.log", "logs/my.log"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(ErrorLogPath(Case.Text, "/opt/korcam/"), Case.Expected);
  }
}

// The old content of the file: Size bytes of 'a', with line feeds at the given offsets.
std::string OldContent(size_t Size, std::initializer_list<size_t> LineFeeds) {
  std::string Text(Size, 'a');
  for (size_t At : LineFeeds) Text[At] = '\n';
  return Text;
}

TEST(ErrorLog, TrimmingDropsTheOldestSixteenKilobytesUpToALineEnd) {
  struct TCase {
    const char* Name;
    std::string Old;
    size_t EntrySize;
    bool ControlSize;
    int64_t MaxBytes;
    size_t KeptFrom;  // npos: nothing of the old content is kept
  };
  const size_t None = std::string::npos;
  const TCase Cases[] = {
      // 16,300 + 100 passes 16 KB, and content of 16384 bytes or fewer goes whole.
      {"small old content goes whole", OldContent(16300, {100, 16000}), 100, true, 16 * 1024, None},
      {"kept after the first line feed at or after 16384", OldContent(20000, {100, 16383, 16390, 17000}), 100, true,
       16 * 1024, 16391},
      {"a line feed exactly at 16384 counts", OldContent(20000, {16384}), 10, true, 16 * 1024, 16385},
      {"no line feed past 16384: all goes", OldContent(20000, {100, 16000}), 10, true, 16 * 1024, None},
      {"under the limit: appended", OldContent(1000, {10}), 10, true, 16 * 1024, 0},
      {"exactly at the limit is not past it", OldContent(16374, {10}), 10, true, 16384, 0},
      {"without Control size nothing is trimmed", OldContent(20000, {16390}), 10, false, 16 * 1024, 0},
      // One 16 KB step per entry: a file far above a lowered limit shrinks over several entries.
      {"far above the limit loses one step", OldContent(60000, {16400}), 10, true, 16 * 1024, 16401},
  };
  const std::string Path = ScratchPath("trim.log");
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    WriteAll(Path, Case.Old);
    const std::string Entry(Case.EntrySize, 'e');
    ASSERT_TRUE(AppendErrorLogEntry(Path, Entry, Case.ControlSize, Case.MaxBytes));
    const std::string Kept = Case.KeptFrom == None ? std::string() : Case.Old.substr(Case.KeptFrom);
    // The new entry is always written, after the trimming.
    EXPECT_EQ(ReadAll(Path), Kept + Entry + "\r\n");
  }
}

TEST(ErrorLog, AMissingFileIsCreatedAndAnUnwritableOneLosesTheEntry) {
  const std::string Path = ScratchPath("fresh.log");
  std::filesystem::remove(Path);
  EXPECT_TRUE(AppendErrorLogEntry(Path, "first", true, 128 * 1024));
  EXPECT_TRUE(AppendErrorLogEntry(Path, "second", true, 128 * 1024));
  EXPECT_EQ(ReadAll(Path), "first\r\nsecond\r\n");
  EXPECT_FALSE(AppendErrorLogEntry(ScratchPath("no such folder/x.log"), "lost", true, 128 * 1024));
}

}  // namespace
