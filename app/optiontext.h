#pragma once
// Option texts that stand for something else: a colour as the colour combos store it in an
// option ("Aqua", "None", or "RGB: 86, 52, 18" for a colour the combos do not list).

#include <string>

#include "platform/gdi/colors.h"

// The colour a text names: a colour name without its "cl" prefix, compared without regard to
// case, or "RGB: " and the red, green and blue values (0 to 255) separated by commas. False,
// and Color untouched, for anything else.
bool ColorFromOptionText(const std::string& Text, TColor& Color);
