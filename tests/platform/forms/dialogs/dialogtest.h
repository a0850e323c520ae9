#pragma once
// The dialog tests: the control-test fixture on the headless back end with no message box sink,
// so that boxes and dialogs come up as windows and are answered with keys and clicks from a
// script, and PNG pictures of the window on top for looking at.

#include <memory>
#include <string>

#include "platform/backends/headless/headless.h"
#include "platform/forms/form.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {

class TDialogTest : public TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The form that is active now (the dialog, while its loop runs).
  TCustomForm* ActiveForm() const;
  // A PNG of a window as the screen shows it, frame and caption included, under
  // $KORCAM_TEST_IMAGES (or /tmp/korcam-dialogs); answers the path.
  std::string SaveScreenshot(HWND Window, const std::string& Name);

  std::unique_ptr<THeadlessBackend> Backend;
};

// A component of the form of that class whose caption is Caption (nullptr: none).
TControl* FindControl(TComponent* Form, const std::string& ClassName, const std::string& Caption);

}  // namespace FormsTest
