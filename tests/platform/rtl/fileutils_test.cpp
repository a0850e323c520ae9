#include "platform/rtl/fileutils.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/datetime.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

TEST(FileNameParts, SplitsAtTheLastSlashAndTheLastDot) {
  struct TCase {
    const char* Name;
    const char* FileName;
    const char *Path, *Dir, *FileOnly, *Ext;
  };
  const TCase Cases[] = {
      {"full path", "/home/u/pic.jpg", "/home/u/", "/home/u", "pic.jpg", ".jpg"},
      {"Cyrillic folder and name", "/home/u/Фото/снимок.jpeg", "/home/u/Фото/", "/home/u/Фото", "снимок.jpeg", ".jpeg"},
      {"two dots", "a/b.tar.gz", "a/", "a", "b.tar.gz", ".gz"},
      {"no extension", "/x/readme", "/x/", "/x", "readme", ""},
      {"dot in a folder name only", "/x.d/readme", "/x.d/", "/x.d", "readme", ""},
      {"no folder part", "pic.jpg", "", "", "pic.jpg", ".jpg"},
      {"hidden file", "/x/.ini", "/x/", "/x", ".ini", ".ini"},
      {"trailing slash", "/x/y/", "/x/y/", "/x/y", "", ""},
      {"root file", "/pic", "/", "/", "pic", ""},
      {"empty", "", "", "", "", ""},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(ExtractFilePath(Case.FileName), Case.Path);
    EXPECT_EQ(ExtractFileDir(Case.FileName), Case.Dir);
    EXPECT_EQ(ExtractFileName(Case.FileName), Case.FileOnly);
    EXPECT_EQ(ExtractFileExt(Case.FileName), Case.Ext);
  }
  EXPECT_EQ(ChangeFileExt("/x/a.b/c.txt", ".ini"), "/x/a.b/c.ini");
  EXPECT_EQ(ChangeFileExt("/x/a.b/c", ".ini"), "/x/a.b/c.ini");
  EXPECT_EQ(ChangeFileExt("/x/снимок.jpeg", ""), "/x/снимок");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x"), "/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/x/"), "/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/x/"), "/x");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/x//"), "/x/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_TRUE(IsPathDelimiter("/x/", 3));
  EXPECT_FALSE(IsPathDelimiter("/x/", 4));
}

TEST(FileNameParts, ExpandFileNameResolvesAgainstTheCurrentFolder) {
  TTempFolder Folder;
  const std::string Saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Folder.Path().string()));
  const std::string Current = GetCurrentDir();
  EXPECT_EQ(ExpandFileName("a.txt"), Current + "/a.txt");
  EXPECT_EQ(ExpandFileName("./sub/../b.txt"), Current + "/b.txt");
  EXPECT_EQ(ExpandFileName("/x/./y/../z"), "/x/z");
  EXPECT_EQ(ExpandFileName("/x/y/"), "/x/y/");
  EXPECT_EQ(ExpandFileName(""), "");
  ASSERT_TRUE(SetCurrentDir(Saved));
  EXPECT_FALSE(SetCurrentDir(Folder.File("missing")));
  EXPECT_EQ(GetCurrentDir(), Saved);
}

TEST(Files, CreateDirMakesOneLevelOnly) {
  TTempFolder Folder;
  const std::string Pictures = Folder.File("Мои Фото");
  EXPECT_FALSE(CreateDir(Pictures + "/2026/03"));  // two levels below a missing folder
  EXPECT_FALSE(DirectoryExists(Pictures));
  EXPECT_TRUE(CreateDir(Pictures));
  EXPECT_TRUE(DirectoryExists(Pictures));
  EXPECT_TRUE(DirectoryExists(Pictures + "/"));
  EXPECT_FALSE(CreateDir(Pictures));  // exists already
  EXPECT_FALSE(FileExists(Pictures));  // a folder is no file
  EXPECT_TRUE(ForceDirectories(Pictures + "/2026/03/"));
  EXPECT_TRUE(DirectoryExists(Pictures + "/2026/03"));
  EXPECT_TRUE(ForceDirectories(Pictures + "/2026"));  // existing: still true
  EXPECT_THROW(ForceDirectories(""), EInOutError);
  Folder.Write("file", "x");
  EXPECT_FALSE(ForceDirectories(Folder.File("file/sub")));  // a file blocks the way
  EXPECT_FALSE(RemoveDir(Pictures));  // not empty
  EXPECT_TRUE(RemoveDir(Pictures + "/2026/03"));
  EXPECT_FALSE(DirectoryExists(Pictures + "/2026/03"));
}

TEST(Files, ExistsSizeDeleteAndRename) {
  TTempFolder Folder;
  const std::string Shot = Folder.File("снимок.jpg");
  EXPECT_FALSE(FileExists(Shot));
  EXPECT_EQ(FileSize(Shot), -1);
  EXPECT_EQ(FileDateTime(Shot), -1);
  Folder.Write("снимок.jpg", "12345");
  EXPECT_TRUE(FileExists(Shot));
  EXPECT_FALSE(DirectoryExists(Shot));
  EXPECT_EQ(FileSize(Shot), 5);
  // The modification time is a plausible local time (this century).
  EXPECT_GT(FileDateTime(Shot), EncodeDate(2000, 1, 1));

  const std::string Renamed = Folder.File("Фото.jpg");
  EXPECT_TRUE(RenameFile(Shot, Renamed));
  EXPECT_FALSE(FileExists(Shot));
  EXPECT_EQ(Folder.Read("Фото.jpg"), "12345");
  // Renaming onto an existing file is refused and leaves both.
  Folder.Write("other", "abc");
  EXPECT_FALSE(RenameFile(Folder.File("other"), Renamed));
  EXPECT_EQ(Folder.Read("Фото.jpg"), "12345");
  EXPECT_EQ(Folder.Read("other"), "abc");
  EXPECT_FALSE(RenameFile(Folder.File("missing"), Folder.File("new")));

  EXPECT_TRUE(DeleteFile(Renamed));
  EXPECT_FALSE(DeleteFile(Renamed));
  EXPECT_TRUE(CreateDir(Folder.File("dir")));
  EXPECT_FALSE(DeleteFile(Folder.File("dir")));  // never a folder
  EXPECT_TRUE(DirectoryExists(Folder.File("dir")));
}

}  // namespace
