#pragma once
// Helpers of the picker and calendar tests: a PNG of a control's client area for looking at.

#include <string>

#include "platform/forms/wincontrol.h"

namespace FormsTest {

// Writes the control's client pixels (as its window store holds them) as a PNG; answers the path.
std::string SaveControlPng(TWinControl* Control, const std::string& Name, int Scale = 2);

}  // namespace FormsTest
