#pragma once
// Helpers of the widget tests: clicks at client points of a control, a script of steps run one
// per idle moment of a modal loop (dialogs, pop-up menus), and a PNG of a window for looking at.

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/clock.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {

// The screen point of a client point of Control.
POINT ScreenPointOf(TControl* Control, int X, int Y);
// Left button down, up or both at a client point of Control (mouse moved there first).
void PressAt(TControl* Control, int X, int Y);
void ReleaseAt(TControl* Control, int X, int Y);
void ClickAt(TControl* Control, int X, int Y);
void MoveTo(TControl* Control, int X, int Y);

// Runs Steps one per idle moment while Modal runs (each idle with nothing left advances the
// clock by 50 ms). A loop still running after the script and Patience idle moments more is a
// failure: Escape is then called to end it, so the test cannot hang.
class TIdleScript {
 public:
  TIdleScript(TManualClock& Clock, std::vector<std::function<void()>> Steps, std::function<void()> Escape,
              int Patience = 200);
  ~TIdleScript();
  TIdleScript(const TIdleScript&) = delete;
  TIdleScript& operator=(const TIdleScript&) = delete;
  bool Finished() const { return FNext >= FSteps.size(); }
  bool Escaped() const { return FEscaped; }

 private:
  TManualClock& FClock;
  std::vector<std::function<void()>> FSteps;
  std::function<void()> FEscape;
  size_t FNext = 0;
  int FPatience;
  bool FEscaped = false;
};

// Writes the window's pixels (its top-level window's store, clipped to the window) as a PNG
// and answers the path.
std::string SaveWindowPng(TWinControl* Control, const std::string& Name, int Scale = 2);

}  // namespace FormsTest
