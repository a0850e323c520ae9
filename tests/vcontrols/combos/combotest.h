#pragma once
// The combo tests' fixture: the caption tests' white form with a colour combo and a plain edit to
// move the focus to, on a headless screen that can be photographed (a combo's drop-down is a
// window of its own), the mouse and keys driven through the window system's input (so the combo
// and its drop-down see what a user's hands give them), and a stand-in for the data-aware grid,
// known to the combos by its class name only.

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless.h"
#include "platform/forms/edit.h"
#include "platform/forms/grids.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/combos/vccolorcombo.h"

// The data-aware grid as the combos see it: a class-library grid named "TkvDBGrid" with its
// "Options" as a number (the combos read its low byte). It records the keys that reach it.
class TkvDBGrid : public TCustomGrid {
  KORCAM_CLASS(TkvDBGrid, TCustomGrid)

 public:
  explicit TkvDBGrid(TComponent* AOwner);
  PLAIN_PROPERTY(int32_t, Options, 0)

 public:
  std::vector<WORD> Keys;

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
};

namespace VcTest {

class TComboTest : public TVcFormTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  TvcColorCombo* AddColorCombo(const std::string& Name, RECT Bounds, TWinControl* Parent = nullptr);
  // A left click at a client point of Control, its messages handled after it.
  void ClickAt(TControl* Control, int X, int Y);
  void PressAt(TControl* Control, int X, int Y, int Button = VK_LBUTTON);
  void ReleaseAt(TControl* Control, int X, int Y, int Button = VK_LBUTTON);
  void MoveTo(TControl* Control, int X, int Y);
  // The centre of the combo's drop-down button, in the combo's client coordinates.
  POINT ButtonCentre(TvcCustomCombo* Combo);
  // A key with modifiers held around it.
  void Stroke(int VirtualKey, std::initializer_list<int> Modifiers = {});
  void Type(const std::u32string& Text);
  // The screen around the form and whatever lies over it (an open drop-down), as PNG.
  void SaveScreen(const std::string& Name, RECT Area);

  std::unique_ptr<THeadlessBackend> Backend;
  TvcColorCombo* Combo = nullptr;
  TEdit* Other = nullptr;
};

}  // namespace VcTest
