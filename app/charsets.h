#pragma once
// The character sets of the "Charset" option: the option's text names one, and the window's
// font and the stamps' fonts take its number.

#include <cstdint>
#include <string>

// The font character set of a "Charset" text, compared exactly; 0 (the Western set) for "Western"
// and for any text the table does not hold.
uint8_t CharsetOfText(const std::string& Text);
