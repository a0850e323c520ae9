#pragma once
// The demo form of the headless back end's tests, for the X11 tests: made from its form resource,
// driven by a fixed click and keys, and rendered headless for comparison. No Xlib here: its
// macros (KeyPress, None...) would meet the class library's names.

#include <memory>
#include <string>

#include "platform/backends/headless/headless.h"
#include "platform/forms/edit.h"
#include "tests/platform/backends/headless/democontrols.h"

namespace X11Test {

struct TDemoFormFree {
  void operator()(TForm* Form) const { Form->Free(); }
};
using TDemoFormHolder = std::unique_ptr<TDemoForm, TDemoFormFree>;

TDemoFormHolder MakeDemoForm();
TEdit* DemoEdit(TForm* Form);

// Where the click goes, in the form's client coordinates: inside the edit (at 102,176 in the
// form), between two letters of its text.
constexpr POINT DemoClickAt{102 + 47, 176 + 12};

// The keys typed after the click: three digits, a backspace, then Shift+Home selects from the
// caret back to the start, so the picture shows a selection as well as the edited text.
struct TDemoKey {
  const char* Name;
  int VirtualKey;
  bool Shift;
};
constexpr TDemoKey DemoKeys[] = {
    {"4", '4', false}, {"2", '2', false}, {"7", '7', false}, {"BackSpace", VK_BACK, false}, {"Shift+Home", VK_HOME, true},
};

// The headless back end's picture of the form's client area after the click and keys, and the
// edit's text then. Runs on a manual clock and leaves no window behind.
struct TDemoRender {
  TScreenImage Client;
  std::string Text;
};
TDemoRender RenderDemoHeadless();

// Where the tests write their pictures (KORCAM_TEST_IMAGES, else /tmp/korcam-x11).
std::string PictureFolder();

}  // namespace X11Test
