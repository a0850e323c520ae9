#pragma once
// Option texts that stand for something else: a colour as the colour combos store it in an
// option ("Aqua", "None", or "RGB: 86, 52, 18" for a colour the combos do not list), and a
// video window size ("320 x 240").

#include <cstdint>
#include <string>

#include "platform/gdi/colors.h"

// The colour a text names: a colour name without its "cl" prefix, compared without regard to
// case, or "RGB: " and the red, green and blue values (0 to 255) separated by commas. False,
// and Color untouched, for anything else.
bool ColorFromOptionText(const std::string& Text, TColor& Color);

// The width and height of a video window size text: the whole numbers before and after its first
// "x", blanks around them allowed ("320 x 240", also a hand-edited "640x480"). False, and both
// untouched, when the text holds no such pair.
bool VideoSizeFromOptionText(const std::string& Text, int32_t& Width, int32_t& Height);
