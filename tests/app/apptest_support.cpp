#include "tests/app/apptest.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

void TAppTest::SetUp() {
  TFormsTest::SetUp();
  FClock->SetSleepAdvances(true);
  char Template[] = "/tmp/korcam-app-XXXXXX";
  ASSERT_NE(::mkdtemp(Template), nullptr);
  Folder = std::string(Template) + "/";
  if (const char* Home = std::getenv("KORCAM_HOME")) {
    FHadHome = true;
    FSavedHome = Home;
  }
  ::setenv("KORCAM_HOME", Folder.c_str(), 1);
}

void TAppTest::TearDown() {
  Stop();
  TFormsTest::TearDown();
  if (FHadHome)
    ::setenv("KORCAM_HOME", FSavedHome.c_str(), 1);
  else
    ::unsetenv("KORCAM_HOME");
  std::error_code Error;
  std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, Error);
  std::filesystem::remove_all(Folder, Error);
}

void TAppTest::Start() {
  Application->CreateForm(DataModule1);
  Application->CreateForm(FormGhost);
  Pump();
}

void TAppTest::Stop() {
  if (FormGhost) FormGhost->Free();
  if (DataModule1) DataModule1->Free();
  Pump();
}

void TAppTest::CloseForReal() {
  DataModule1->ActionExit->Execute();
  Pump();
}

void TAppTest::Restart() {
  Stop();
  Start();
}

void TAppTest::WriteText(const std::string& Name, const std::string& Text) const {
  std::ofstream File(Path(Name), std::ios::binary | std::ios::trunc);
  File << Text;
}

std::string TAppTest::ReadText(const std::string& Name) const {
  std::ifstream File(Path(Name), std::ios::binary);
  std::stringstream Content;
  Content << File.rdbuf();
  return Content.str();
}

bool TAppTest::Exists(const std::string& Name) const {
  return std::filesystem::exists(Path(Name));
}
