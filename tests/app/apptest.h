#pragma once
// The fixture of the program's tests: a fresh program folder (KORCAM_HOME) per test, the manual
// clock and the headless screen of the control tests, the capture drivers of the capture tests
// (the synthetic camera alone, whatever the machine has), and the program's two top-level objects
// created as the entry point creates them. The program's own sleeps (a driver let go) move the
// manual clock on by themselves.

#include <string>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "tests/platform/capture/capture_support.h"
#include "tests/platform/forms/controltest.h"

class TAppTest : public FormsTest::TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the data module and then the main window; their creation events run here.
  void Start();
  // Frees both, as the end of the program does.
  void Stop();
  // A real close (the exit action), with the messages it leaves handled.
  void CloseForReal();
  // Stop, then Start again on the same program folder.
  void Restart();

  std::string Path(const std::string& Name) const { return Folder + Name; }
  std::string SettingsPath() const { return Path("korcam.ini"); }
  void WriteText(const std::string& Name, const std::string& Text) const;
  // The file's content; "" when it is missing.
  std::string ReadText(const std::string& Name) const;
  bool Exists(const std::string& Name) const;

  TkvInspectorItem* Option(const std::string& Key) const { return FormGhost->FindOption(Key); }
  TkvInspectorItem* ImageOption(const std::string& Key) const { return FormGhost->FindImageOption(Key); }

  // The program folder, with its trailing "/".
  std::string Folder;

 private:
  CaptureTest::TCaptureScope FCaptureScope;
  std::string FSavedHome;
  bool FHadHome = false;
};
