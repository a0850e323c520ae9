// The calls the program makes at start and at the end: the help system (a topic opens the help
// page with the desktop's opener when it exists, else nothing), the system's version, the
// libraries bound on first use, and the per-thread use of the component object model.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "platform/shell/com.h"
#include "platform/shell/desktopopener.h"
#include "platform/shell/htmlhelp.h"
#include "platform/shell/modules.h"
#include "platform/shell/version.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder as the current folder, and another as the program's (KORCAM_HOME), both
// removed afterwards; the desktop's opener records instead of opening.
class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = fs::temp_directory_path() / ("korcam-shell-" + std::to_string(::getpid()));
    fs::create_directories(Root / "work");
    fs::create_directories(Root / "program");
    Saved = fs::current_path();
    fs::current_path(Root / "work");
    setenv("KORCAM_HOME", (Root / "program").c_str(), 1);
    SetDesktopOpener([this](const std::string& Target) {
      Opened.push_back(Target);
      return true;
    });
  }
  void TearDown() override {
    SetDesktopOpener(nullptr);
    unsetenv("KORCAM_HOME");
    fs::current_path(Saved);
    fs::remove_all(Root);
  }
  void Touch(const fs::path& Path) { std::ofstream(Path) << "<html></html>"; }

  fs::path Root, Saved;
  std::vector<std::string> Opened;
};

constexpr const char* Topic = ".\\korcam.chm::/korcam.htm>Korvane Webcam";

TEST_F(HelpTest, ATopicOpensThePageThatExistsOrNothing) {
  struct TCase {
    const char* Name;
    std::vector<fs::path> Files;  // relative to Root
    const char* Opened;           // relative to Root, "" for nothing
  };
  const TCase Cases[] = {
      {"no help at all", {}, ""},
      {"the page beside the program", {"program/korcam.htm"}, "program/korcam.htm"},
      {"the page in the current folder comes first", {"work/korcam.htm", "program/korcam.htm"}, "work/korcam.htm"},
      {"only the help file: it opens itself", {"program/korcam.chm"}, "program/korcam.chm"},
      {"the page beats its help file", {"program/korcam.chm", "program/korcam.htm"}, "program/korcam.htm"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    for (const char* Folder : {"work", "program"})
      for (const char* File : {"korcam.htm", "korcam.chm"}) fs::remove(Root / Folder / File);
    for (const fs::path& File : Case.Files) Touch(Root / File);
    Opened.clear();
    EXPECT_EQ(HtmlHelpA(nullptr, Topic, HH_DISPLAY_TOPIC, 0), nullptr);
    if (*Case.Opened) {
      ASSERT_EQ(Opened.size(), 1u);
      EXPECT_EQ(fs::path(Opened[0]), (Root / Case.Opened).lexically_normal());
    } else {
      EXPECT_TRUE(Opened.empty());
    }
  }
  // Odd topics open nothing and do not fail.
  Opened.clear();
  for (const char* Odd : {"", "::", ">Window", "::/page.htm"}) HtmlHelpA(nullptr, Odd, HH_DISPLAY_TOPIC, 0);
  HtmlHelpA(nullptr, nullptr, HH_DISPLAY_TOPIC, 0);
  EXPECT_TRUE(Opened.empty());
}

TEST_F(HelpTest, InitialiseAndUninitialiseWithACookie) {
  DWORD First = 0, Second = 0;
  HtmlHelpA(nullptr, nullptr, HH_INITIALIZE, DWORD_PTR(&First));
  HtmlHelpA(nullptr, nullptr, HH_INITIALIZE, DWORD_PTR(&Second));
  EXPECT_NE(First, 0u);
  EXPECT_NE(First, Second);
  EXPECT_TRUE(HelpInitialized());
  HtmlHelpA(nullptr, nullptr, HH_UNINITIALIZE, First);
  EXPECT_TRUE(HelpInitialized());
  HtmlHelpA(nullptr, nullptr, HH_UNINITIALIZE, Second);
  EXPECT_FALSE(HelpInitialized());
}

TEST(Version, ReportsASystemThatOffersTranslucency) {
  OSVERSIONINFOA Info{};
  EXPECT_FALSE(GetVersionExA(&Info)) << "a size that is not the structure's is refused";
  Info.dwOSVersionInfoSize = sizeof(Info);
  ASSERT_TRUE(GetVersionExA(&Info));
  EXPECT_GT(Info.dwMajorVersion, 4u);
  EXPECT_EQ(Info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(std::string(Info.szCSDVersion).rfind("Linux ", 0), 0u);
}

TEST(Modules, TheCaptureAndPictureLibrariesAreAlwaysThere) {
  HMODULE Capture = LoadLibraryA("avicap32.dll");
  HMODULE Again = LoadLibraryA("AVICAP32");
  HMODULE Picture = LoadLibraryA("gdiplus.dll");
  ASSERT_NE(Capture, nullptr);
  EXPECT_EQ(Again, Capture);
  ASSERT_NE(Picture, nullptr);
  EXPECT_NE(Picture, Capture);
  EXPECT_EQ(ModuleLoadCount("avicap32.dll"), 2);
  EXPECT_EQ(LoadLibraryA("ghost.dll"), nullptr);
  EXPECT_TRUE(FreeLibrary(Capture));
  EXPECT_TRUE(FreeLibrary(Capture));
  EXPECT_FALSE(FreeLibrary(Capture)) << "freed more often than loaded";
  EXPECT_TRUE(FreeLibrary(Picture));
  EXPECT_FALSE(FreeLibrary(nullptr));
  // A test takes one away.
  SetModuleAvailable("gdiplus.dll", false);
  EXPECT_EQ(LoadLibraryA("gdiplus.dll"), nullptr);
  SetModuleAvailable("gdiplus.dll", true);
  Picture = LoadLibraryA("gdiplus.dll");
  EXPECT_NE(Picture, nullptr);
  FreeLibrary(Picture);
}

TEST(Com, EachThreadCountsItsOwnInitialisations) {
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  EXPECT_EQ(CoInitializeCount(), 2);
  std::thread([] {
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
  }).join();
  CoUninitialize();
  CoUninitialize();
  CoUninitialize();  // one too many does no harm
  EXPECT_EQ(CoInitializeCount(), 0);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  CoUninitialize();
}

}  // namespace
