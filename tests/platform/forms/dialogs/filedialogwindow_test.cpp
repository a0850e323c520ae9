// The file dialog's window on the headless screen, answered by keys and clicks: a picture chosen
// from the list with its preview, moving about by typing and with Backspace, the type box, a new
// folder named in its own small dialog, the overwrite question, Escape, and a larger window
// whose parts follow. Pictures of the dialog are written for looking at.

#include "platform/forms/filedialogs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/forms/buttons.h"
#include "platform/forms/edit.h"
#include "platform/forms/listbox.h"
#include "platform/forms/picture.h"
#include "platform/rtl/fileutils.h"
#include "platform/user/input.h"
#include "tests/platform/forms/dialogs/dialogtest.h"
#include "tests/platform/forms/forms_fixture.h"
#include "tests/platform/rtl/temp_folder.h"

namespace FormsTest {
namespace {

class FileDialogWindow : public TDialogTest {
 protected:
  void SetUp() override {
    TDialogTest::SetUp();
    SavedFolder = GetCurrentDir();
    for (const char* Folder : {"Снимки", "sounds"}) std::filesystem::create_directories(Tree.Path() / Folder);
    Tree.Write("sounds/dog.wav", "x");
    Tree.Write("notes.txt", "x");
    MakeRamp(64, 48)->SaveToFile(Tree.File("ramp.bmp"));
    TPicture Picture;
    Picture.SetBitmap(MakeRamp(160, 90).get());
    Picture.SaveToFile(Tree.File("Снимки/кот.jpg"));
    Root = Tree.Path().string();
  }
  void TearDown() override {
    SetCurrentDir(SavedFolder);
    TDialogTest::TearDown();
  }

  template <class T>
  T* Named(const char* Name) {
    TCustomForm* Form = ActiveForm();
    return Form ? dynamic_cast<T*>(Form->FindComponent(Name)) : nullptr;
  }
  // Runs the dialog while Steps act on its window.
  bool Run(TOpenDialog& Dialog, std::vector<std::function<void()>> Steps) {
    TIdleScript Script(FClock.Get(), std::move(Steps), [this] {
      while (TCustomForm* Form = ActiveForm()) Form->SetModalResult(mrCancel);
    });
    return Dialog.Execute();
  }
  // The middle of entry Index of the dialog's list, clicked.
  void ClickEntry(int Index) {
    auto* List = Named<TCustomListBox>("FileList");
    ASSERT_NE(List, nullptr);
    const RECT R = List->ItemRect(Index);
    ClickAt(List, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }

  TTempFolder Tree;
  std::string Root, SavedFolder;
};

std::function<void()> Key(int VirtualKey) {
  return [VirtualKey] { InjectKeyStroke(VirtualKey); };
}

TEST_F(FileDialogWindow, APictureIsChosenFromTheListWithItsPreview) {
  TOpenPictureDialog Dialog(nullptr);
  Dialog.SetFilter("All supported files|*.bmp;*.jpg;*.ico;|Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg|Icon(*.ico)|*.ico");
  Dialog.SetTitle("Select picture");
  Dialog.SetInitialDir(Root);
  Dialog.SetOptions({ofHideReadOnly, ofNoChangeDir, ofEnableSizing});
  std::string Listed, Caption, NameAfterClick, Picture;
  TColor PreviewMiddle = clNone;
  const bool Chosen = Run(
      Dialog, {[&] {
                 Caption = ActiveForm()->Caption();
                 TStrings* Items = Named<TCustomListBox>("FileList")->Items();
                 for (int Index = 0; Index < Items->Count(); ++Index) Listed += Items->Strings(Index) + ";";
               },
               [&] { ClickEntry(2); },
               [&] {
                 NameAfterClick = Named<TEdit>("FileNameEdit")->Text();
                 auto* Preview = Named<TWinControl>("Preview");
                 PreviewMiddle = PixelAt(Preview, Preview->Width() / 2, (Preview->Height() - 18) / 2);
                 Picture = SaveScreenshot(ActiveForm()->Handle(), "open-picture-dialog");
               },
               Key(VK_RETURN)});
  SCOPED_TRACE(Picture);
  EXPECT_EQ(Caption, "Select picture");
  EXPECT_EQ(Listed, "sounds;Снимки;ramp.bmp;");
  EXPECT_EQ(NameAfterClick, "ramp.bmp");
  EXPECT_NE(PreviewMiddle, ColorToRGB(clWindow));  // the picture shows, not the empty box
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Dialog.FileName(), Root + "/ramp.bmp");
}

TEST_F(FileDialogWindow, TypingAPathBackspaceAndTheTypeBox) {
  TOpenPictureDialog Dialog(nullptr);
  Dialog.SetFilter("Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg");
  Dialog.SetInitialDir(Root);
  std::string Folder1, Folder2, ListedJpeg;
  const bool Chosen =
      Run(Dialog, {[] { InjectText(U"Снимки"); }, Key(VK_RETURN),  // a folder typed as the name is entered
                   [&] { Folder1 = Named<TEdit>("FolderEdit")->Text(); },
                   [&] { Named<TWinControl>("FileList")->SetFocus(); }, Key(VK_BACK),  // and left again
                   [&] { Folder2 = Named<TEdit>("FolderEdit")->Text(); },
                   [&] { Named<TWinControl>("FilterBox")->SetFocus(); }, Key(VK_DOWN),  // Jpeg files
                   [&] {
                     TStrings* Items = Named<TCustomListBox>("FileList")->Items();
                     for (int Index = 0; Index < Items->Count(); ++Index) ListedJpeg += Items->Strings(Index) + ";";
                   },
                   [&] { Named<TWinControl>("FileNameEdit")->SetFocus(); },
                   [] { InjectText(U"Снимки/кот.jpg"); }, Key(VK_RETURN)});
  EXPECT_EQ(Folder1, Root + "/Снимки");
  EXPECT_EQ(Folder2, Root);
  EXPECT_EQ(ListedJpeg, "sounds;Снимки;");
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Dialog.FileName(), Root + "/Снимки/кот.jpg");
  EXPECT_EQ(Dialog.FilterIndex(), 2);
}

TEST_F(FileDialogWindow, TheTypeBoxDropsItsList) {
  TOpenDialog Dialog(nullptr);
  Dialog.SetFilter("Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg|All files|*.*");
  Dialog.SetInitialDir(Root);
  std::string Listed;
  const auto Click = [this] {
    auto* Box = Named<TWinControl>("FilterBox");
    ClickAt(Box, Box->Width() / 2, Box->Height() / 2);
  };
  // The click's loop (the dropped list) takes the keys; the third entry is "All files".
  const bool Chosen = Run(Dialog, {Click, Key(VK_DOWN), Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN),
                                   [&] {
                                     TStrings* Items = Named<TCustomListBox>("FileList")->Items();
                                     for (int Index = 0; Index < Items->Count(); ++Index)
                                       Listed += Items->Strings(Index) + ";";
                                   },
                                   Key(VK_ESCAPE)});
  EXPECT_FALSE(Chosen);
  EXPECT_EQ(Listed, "sounds;Снимки;notes.txt;ramp.bmp;");
}

TEST_F(FileDialogWindow, ANewFolderIsNamedInItsOwnDialog) {
  TSaveDialog Dialog(nullptr);
  Dialog.SetInitialDir(Root);
  std::string Selected;
  const bool Chosen = Run(Dialog, {[&] { Named<TButton>("NewFolderButton")->Click(); },
                                   [] { InjectText(U"Новая папка"); }, Key(VK_RETURN),
                                   [&] {
                                     auto* List = Named<TCustomListBox>("FileList");
                                     Selected = List->Items()->Strings(List->ItemIndex());
                                   },
                                   Key(VK_RETURN),  // the list has the focus: Enter opens the folder
                                   [&] { Named<TWinControl>("FileNameEdit")->SetFocus(); },
                                   [] { InjectText(U"shot.bmp"); }, Key(VK_RETURN)});
  EXPECT_EQ(Selected, "Новая папка");
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Dialog.FileName(), Root + "/Новая папка/shot.bmp");
}

TEST_F(FileDialogWindow, TheOverwriteQuestionAndEscape) {
  TSaveDialog Dialog(nullptr);
  Dialog.SetInitialDir(Root);
  Dialog.SetOptions({ofOverwritePrompt, ofNoChangeDir});
  std::string Question;
  // Enter on the question answers its default, No; the dialog stays; Escape then cancels it.
  const bool Chosen = Run(Dialog, {[] { InjectText(U"notes.txt"); }, Key(VK_RETURN),
                                   [&] { Question = ActiveForm()->Caption(); }, Key(VK_RETURN),
                                   [&] { EXPECT_EQ(ActiveForm()->Caption(), "Save As"); }, Key(VK_ESCAPE)});
  EXPECT_EQ(Question, "Save As");
  EXPECT_FALSE(Chosen);
  EXPECT_EQ(ActiveForm(), nullptr);
}

TEST_F(FileDialogWindow, ALargerWindowGivesTheListTheRoom) {
  TOpenDialog Dialog(nullptr);
  Dialog.SetInitialDir(Root);
  RECT Before{}, After{}, OkBefore{}, OkAfter{};
  std::string Picture;
  Run(Dialog, {[&] {
                 Before = Named<TControl>("FileList")->BoundsRect();
                 OkBefore = Named<TControl>("OkButton")->BoundsRect();
                 TCustomForm* Form = ActiveForm();
                 Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 100, Form->Height() + 60);
               },
               [&] {
                 After = Named<TControl>("FileList")->BoundsRect();
                 OkAfter = Named<TControl>("OkButton")->BoundsRect();
                 Picture = SaveScreenshot(ActiveForm()->Handle(), "open-dialog-larger");
               },
               Key(VK_ESCAPE)});
  SCOPED_TRACE(Picture);
  EXPECT_EQ(After.right - After.left, Before.right - Before.left + 100);
  EXPECT_EQ(After.bottom - After.top, Before.bottom - Before.top + 60);
  EXPECT_EQ(OkAfter.left, OkBefore.left + 100);
  EXPECT_EQ(OkAfter.top, OkBefore.top + 60);
}

TEST_F(FileDialogWindow, AFolderIsChosenAndAMissingOneMadeAfterAsking) {
  std::filesystem::create_directories(Tree.Path() / "Снимки/2025 лето");
  std::string Directory = Root + "/Снимки";
  std::string Listed, FieldAtStart, FieldAfterBack, Question, Picture;
  TIdleScript Script(
      FClock.Get(),
      {[&] {
         TStrings* Items = Named<TCustomListBox>("FileList")->Items();
         for (int Index = 0; Index < Items->Count(); ++Index) Listed += Items->Strings(Index) + ";";
         FieldAtStart = Named<TEdit>("FileNameEdit")->Text();
         Picture = SaveScreenshot(ActiveForm()->Handle(), "select-directory");
       },
       [&] { Named<TWinControl>("FileList")->SetFocus(); }, Key(VK_BACK),
       [&] {
         FieldAfterBack = Named<TEdit>("FileNameEdit")->Text();
         Named<TWinControl>("FileNameEdit")->SetFocus();
       },
       Key(VK_END), [] { InjectText(U"/2026"); }, Key(VK_RETURN),
       [&] { Question = ActiveForm()->Caption(); }, Key(VK_RETURN)},
      [this] {
        while (TCustomForm* Form = ActiveForm()) Form->SetModalResult(mrCancel);
      });
  const bool Chosen = SelectDirectory(Directory, {sdAllowCreate, sdPerformCreate, sdPrompt}, 0);
  SCOPED_TRACE(Picture);
  EXPECT_EQ(Listed, "2025 лето;");  // folders only
  EXPECT_EQ(FieldAtStart, Root + "/Снимки");
  EXPECT_EQ(FieldAfterBack, Root);
  EXPECT_EQ(Question, "Confirm");
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Directory, Root + "/2026");
  EXPECT_TRUE(DirectoryExists(Root + "/2026"));
}

}  // namespace
}  // namespace FormsTest
