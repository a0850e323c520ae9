#include "tests/platform/forms/dialogs/dialogtest.h"

#include <cstdlib>
#include <filesystem>

#include "platform/forms/screen.h"

namespace FormsTest {

void TDialogTest::SetUp() {
  TFormsTest::SetUp();
  Backend = std::make_unique<THeadlessBackend>(800, 600);
  SetMessageBoxSink(nullptr);
}

void TDialogTest::TearDown() {
  TFormsTest::TearDown();
  Backend.reset();
}

TCustomForm* TDialogTest::ActiveForm() const { return Screen ? Screen->ActiveForm() : nullptr; }

std::string TDialogTest::SaveScreenshot(HWND Window, const std::string& Name) {
  const char* Folder = std::getenv("KORCAM_TEST_IMAGES");
  const std::string Path = std::string(Folder && *Folder ? Folder : "/tmp/korcam-dialogs");
  std::filesystem::create_directories(Path);
  const std::string File = Path + "/" + Name + ".png";
  Backend->SaveWindowPng(Window, File);
  return File;
}

TControl* FindControl(TComponent* Form, const std::string& ClassName, const std::string& Caption) {
  for (int Index = 0; Index < Form->ComponentCount(); ++Index) {
    auto* Control = dynamic_cast<TControl*>(Form->Components(Index));
    if (Control && Control->ClassName() == ClassName && Control->Caption() == Caption) return Control;
  }
  return nullptr;
}

}  // namespace FormsTest
