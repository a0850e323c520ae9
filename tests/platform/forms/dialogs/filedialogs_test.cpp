// The file and folder dialogs answered by scripts: each script drives the dialog's session as a
// user would (moving about, typing, choosing a filter, making a folder, confirming), never a
// window. Covered: filters, the starting folder, cancel, a new folder, the overwrite prompt, a
// file that must exist, typed paths and patterns, the current folder, and folder selection with
// its create options -- in a small tree with a Cyrillic folder.

#include "platform/forms/filedialogs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/formreader.h"
#include "platform/forms/datamodule.h"
#include "platform/rtl/fileutils.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/rtl/temp_folder.h"

namespace FormsTest {
namespace {

const char* const SoundFilter =
    "All Files|*.wav;*.mid;*.mp3;|Wav Files(*.wav)|*.wav|Midi Files(*.mid)|*.mid|MP3 Files(*.mp3)|*.mp3";

std::string Names(const TFileDialogSession& Session) {
  std::string Text;
  for (const TFileDialogEntry& Entry : Session.Entries()) Text += (Text.empty() ? "" : " ") + Entry.Name + (Entry.Folder ? "/" : "");
  return Text;
}

class FileDialogs : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    SavedFolder = GetCurrentDir();
    for (const char* Folder : {"Снимки", "sounds", ".hidden", "sounds/old"})
      std::filesystem::create_directories(Tree.Path() / Folder);
    for (const char* File : {"Снимки/кот.JPG", "Снимки/dog.bmp", "sounds/dog.wav", "sounds/save.wav",
                             "sounds/tune.mid", "sounds/notes.txt", "a.jpg", "b.PNG", "readme.txt", ".profile"})
      Tree.Write(File, "x");
    Root = Tree.Path().string();
  }
  void TearDown() override {
    SetFileDialogScript(nullptr);
    SetCurrentDir(SavedFolder);
    TFormsTest::TearDown();
  }
  // Answers the next dialog with Script and keeps what the session showed at the start.
  void Answer(std::function<void(TFileDialogSession&)> Script) {
    SetFileDialogScript([this, Script](TFileDialogSession& Session) {
      StartFolder = Session.Folder();
      StartName = Session.FileName();
      StartEntries = Names(Session);
      Title = Session.Title();
      Script(Session);
    });
  }

  TTempFolder Tree;
  std::string Root, SavedFolder;
  std::string StartFolder, StartName, StartEntries, Title;
};

TEST_F(FileDialogs, FiltersDecideWhichFilesShow) {
  struct TCase {
    const char* Name;
    int FilterIndex;
    const char* Entries;
  };
  const TCase Cases[] = {
      {"all sounds", 1, "old/ dog.wav save.wav tune.mid"},
      {"wave files", 2, "old/ dog.wav save.wav"},
      {"midi files", 3, "old/ tune.mid"},
      {"mp3 files: folders only", 4, "old/"},
      {"an index past the last is the last", 9, "old/"},
      {"an index below the first is the first", 0, "old/ dog.wav save.wav tune.mid"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TOpenDialog Dialog(nullptr);
    Dialog.SetFilter(SoundFilter);
    Dialog.SetFilterIndex(Case.FilterIndex);
    Dialog.SetInitialDir(Root + "/sounds");
    Answer([](TFileDialogSession&) {});
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(StartEntries, Case.Entries);
  }
  // Choosing another filter lists again; the chosen one comes back in FilterIndex.
  TOpenDialog Dialog(nullptr);
  Dialog.SetFilter(SoundFilter);
  Dialog.SetInitialDir(Root + "/sounds");
  std::string AfterMidi;
  Answer([&](TFileDialogSession& Session) {
    Session.SetFilterIndex(3);
    AfterMidi = Names(Session);
    Session.Activate(1);  // tune.mid, confirmed by a double click
  });
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(AfterMidi, "old/ tune.mid");
  EXPECT_EQ(Dialog.FileName(), Root + "/sounds/tune.mid");
  EXPECT_EQ(Dialog.FilterIndex(), 3);
  // Without a filter every file shows; hidden ones never do.
  TOpenDialog Plain(nullptr);
  Plain.SetInitialDir(Root);
  Answer([](TFileDialogSession&) {});
  Plain.Execute();
  EXPECT_EQ(StartEntries, "sounds/ Снимки/ a.jpg b.PNG readme.txt");
}

TEST_F(FileDialogs, TheDialogStartsWhereTheProgramAsks) {
  SetCurrentDir(Root + "/Снимки");
  struct TCase {
    const char* Name;
    std::string InitialDir, FileName;
    std::string Folder, NameField;
  };
  const TCase Cases[] = {
      {"the initial folder, with a bare name", Root + "/sounds", "dog.wav", Root + "/sounds", "dog.wav"},
      {"a full name's folder comes first", Root, Root + "/sounds/save.wav", Root + "/sounds", "save.wav"},
      {"a name in a missing folder keeps the initial one", Root, Root + "/gone/x.wav", Root, Root + "/gone/x.wav"},
      {"a missing initial folder: the current one", Root + "/gone", "", Root + "/Снимки", ""},
      {"a relative initial folder", "../sounds/old", "", Root + "/sounds/old", ""},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TOpenDialog Dialog(nullptr);
    Dialog.SetInitialDir(Case.InitialDir);
    Dialog.SetFileName(Case.FileName);
    Answer([](TFileDialogSession&) {});
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(StartFolder, Case.Folder);
    EXPECT_EQ(StartName, Case.NameField);
    EXPECT_EQ(Dialog.FileName(), Case.FileName);  // cancelled: unchanged
  }
  TSaveDialog Save(nullptr);
  Answer([](TFileDialogSession& Session) { Session.Cancel(); });
  EXPECT_FALSE(Save.Execute());
  EXPECT_EQ(Title, "Save As");
}

TEST_F(FileDialogs, MovingAboutByTypingAndByTheList) {
  TOpenDialog Dialog(nullptr);
  Dialog.SetInitialDir(Root);
  Dialog.SetOptions({ofHideReadOnly, ofNoChangeDir, ofEnableSizing, ofFileMustExist});
  std::vector<std::string> Seen;
  Answer([&](TFileDialogSession& Session) {
    Session.SetFileName("Снимки");  // a folder typed as the name is entered
    EXPECT_FALSE(Session.Accept());
    Seen.push_back(Session.Folder() + " [" + Names(Session) + "] '" + Session.FileName() + "'");
    EXPECT_TRUE(Session.Up());  // back, with the folder just left selected
    Seen.push_back(Session.Entries()[size_t(Session.Selected())].Name);
    Session.SetFileName("*.txt");  // a pattern filters
    EXPECT_FALSE(Session.Accept());
    Seen.push_back(Names(Session));
    EXPECT_FALSE(Session.ChangeFolder("nowhere"));  // told, and stays
    EXPECT_TRUE(Session.ChangeFolder("sounds/old/.."));
    Seen.push_back(Session.Folder());
    Session.SetFileName("../Снимки/missing.jpg");  // must exist: told, not accepted
    EXPECT_FALSE(Session.Accept());
    Session.SetFileName("../Снимки/кот.JPG");
    EXPECT_TRUE(Session.Accept());
  });
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Seen[0], Root + "/Снимки [dog.bmp кот.JPG] ''");
  EXPECT_EQ(Seen[1], "Снимки");
  EXPECT_EQ(Seen[2], "sounds/ Снимки/ readme.txt");
  EXPECT_EQ(Seen[3], Root + "/sounds");
  EXPECT_EQ(Dialog.FileName(), Root + "/Снимки/кот.JPG");
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[0].Text, "The folder \"" + Root + "/nowhere\" does not exist.");
  EXPECT_EQ(Boxes[1].Text, "The file \"missing.jpg\" does not exist.\nCheck the file name and try again.");
  EXPECT_EQ(Boxes[1].Caption, "Open");
  EXPECT_EQ(GetCurrentDir(), SavedFolder);  // ofNoChangeDir
}

TEST_F(FileDialogs, TheCurrentFolderFollowsUnlessTheDialogMayNotChangeIt) {
  for (bool NoChange : {false, true}) {
    SCOPED_TRACE(NoChange ? "ofNoChangeDir" : "default options");
    SetCurrentDir(Root);
    TOpenDialog Dialog(nullptr);
    Dialog.SetInitialDir(Root + "/sounds");
    if (NoChange) Dialog.SetOptions({ofHideReadOnly, ofNoChangeDir});
    Answer([](TFileDialogSession& Session) {
      Session.SetFileName("dog.wav");
      Session.Accept();
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(GetCurrentDir(), NoChange ? Root : Root + "/sounds");
  }
}

TEST_F(FileDialogs, SavingOverAFileAsksFirst) {
  struct TCase {
    const char* Name;
    TOpenOptions Options;
    const char* FileName;
    std::vector<int> Answers;
    bool Accepted;
    size_t Questions;
  };
  const TCase Cases[] = {
      {"No keeps the file", {ofOverwritePrompt}, "a.jpg", {IDNO}, false, 1},
      {"Yes replaces it", {ofOverwritePrompt}, "a.jpg", {IDYES}, true, 1},
      {"without the option nobody asks", {ofHideReadOnly}, "a.jpg", {}, true, 0},
      {"another spelling is another file here", {ofOverwritePrompt}, "A.JPG", {}, true, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Boxes.clear();
    Answers.assign(Case.Answers.begin(), Case.Answers.end());
    TSavePictureDialog Dialog(nullptr);
    Dialog.SetFilter("JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp");
    Dialog.SetInitialDir(Root);
    Dialog.SetOptions(Case.Options);
    Answer([&](TFileDialogSession& Session) {
      Session.SetFileName(Case.FileName);
      Session.Accept();
    });
    EXPECT_EQ(Dialog.Execute(), Case.Accepted);
    ASSERT_EQ(Boxes.size(), Case.Questions);
    if (Case.Questions) {
      EXPECT_EQ(Boxes[0].Text, "\"a.jpg\" already exists.\nDo you want to replace it?");
      EXPECT_EQ(Boxes[0].Type, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    }
  }
}

TEST_F(FileDialogs, ANewFolderIsMadeAndEntered) {
  TSaveDialog Dialog(nullptr);
  Dialog.SetInitialDir(Root);
  Answer([](TFileDialogSession& Session) {
    EXPECT_FALSE(Session.NewFolder("sounds"));     // taken
    EXPECT_FALSE(Session.NewFolder("a/b"));        // not a name
    EXPECT_FALSE(Session.NewFolder(".."));
    ASSERT_TRUE(Session.NewFolder("Новая папка"));
    const int Made = Session.Selected();
    ASSERT_GE(Made, 0);
    EXPECT_EQ(Session.Entries()[size_t(Made)].Name, "Новая папка");
    Session.Activate(Made);
    Session.SetFileName("снимок 1.jpg");
    Session.Accept();
  });
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Dialog.FileName(), Root + "/Новая папка/снимок 1.jpg");
  EXPECT_TRUE(DirectoryExists(Root + "/Новая папка"));
  EXPECT_EQ(Boxes.size(), 3u);
}

TEST_F(FileDialogs, FolderSelectionCreatesWhatItMayAndAsks) {
  struct TCase {
    const char* Name;
    TSelectDirOpts Options;
    std::vector<int> Answers;
    bool Accepted;
    bool Created;
  };
  const TCase Cases[] = {
      {"create, asked, Yes", {sdAllowCreate, sdPerformCreate, sdPrompt}, {mrYes}, true, true},
      {"create, asked, No", {sdAllowCreate, sdPerformCreate, sdPrompt}, {mrNo}, false, false},
      {"allowed but not made", {sdAllowCreate}, {}, true, false},
      {"not allowed", {}, {}, false, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::filesystem::remove_all(Tree.Path() / "Снимки/2026");
    Answers.assign(Case.Answers.begin(), Case.Answers.end());
    std::string Directory = Root + "/Снимки/2026/май";
    Answer([](TFileDialogSession& Session) { Session.Accept(); });
    EXPECT_EQ(SelectDirectory(Directory, Case.Options, 0), Case.Accepted);
    // It opened at the nearest folder that exists, with the asked-for one in its field.
    EXPECT_EQ(StartFolder, Root + "/Снимки");
    EXPECT_EQ(StartName, Root + "/Снимки/2026/май");
    EXPECT_EQ(Title, "Select Directory");
    EXPECT_EQ(DirectoryExists(Root + "/Снимки/2026/май"), Case.Created);
    EXPECT_EQ(Directory, Root + "/Снимки/2026/май");
  }
  // Picking a folder from the list; the list holds folders only.
  std::string Directory = Root;
  Answer([](TFileDialogSession& Session) {
    Session.Select(1);
    Session.Accept();
  });
  ASSERT_TRUE(SelectDirectory(Directory, {sdAllowCreate, sdPerformCreate, sdPrompt}, 0));
  EXPECT_EQ(StartEntries, "sounds/ Снимки/");
  EXPECT_EQ(Directory, Root + "/Снимки");
}

TEST_F(FileDialogs, WithoutAScriptOrAWindowTheDialogIsCancelled) {
  TOpenPictureDialog Dialog(nullptr);
  Dialog.SetFileName("keep.jpg");
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Dialog.FileName(), "keep.jpg");
  // The picture dialogs start with every picture format the library reads.
  EXPECT_NE(Dialog.Filter().find("*.jpg"), std::string::npos);
  EXPECT_NE(Dialog.Filter().find("*.bmp"), std::string::npos);
}

TEST_F(FileDialogs, DialogsComeFromAFormText) {
  TDataModule Module(nullptr, 0);
  ReadComponentText(&Module, R"(object DataModule1: TDataModule
  object OpenDialogLogFile: TOpenDialog
    Filter = 'Log Files(*.log)|*.log'
    Options = [ofHideReadOnly, ofNoChangeDir, ofEnableSizing]
  end
  object SavePictureDialogImage: TSavePictureDialog
    Filter = 'JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp'
    Options = [ofHideReadOnly, ofNoChangeDir, ofEnableSizing]
  end
  object OpenPictureDialogAlphaBlend: TOpenPictureDialog
    Title = 'Select picture'
  end
end
)");
  auto* Log = dynamic_cast<TOpenDialog*>(Module.FindComponent("OpenDialogLogFile"));
  auto* Save = dynamic_cast<TSavePictureDialog*>(Module.FindComponent("SavePictureDialogImage"));
  auto* Blend = dynamic_cast<TOpenPictureDialog*>(Module.FindComponent("OpenPictureDialogAlphaBlend"));
  ASSERT_TRUE(Log && Save && Blend);
  EXPECT_EQ(Log->Options(), (TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing}));
  EXPECT_EQ(Save->FilterIndex(), 1);
  Answer([](TFileDialogSession&) {});
  Blend->Execute();
  EXPECT_EQ(Title, "Select picture");
}

}  // namespace
}  // namespace FormsTest
