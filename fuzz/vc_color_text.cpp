// The colour texts a user types or a bound field holds: the colour combo's "RGB: r, g, b" names
// and the colour dialog's channel fields. Any text must either say a colour (or a channel value)
// or be refused, never fail otherwise; what it says must read back the same from the text the
// program itself writes for it; and a text that holds a colour keeps it whatever follows the
// third number.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/forms/colordialogsession.h"
#include "vcontrols/combos/vccolortables.h"
#include "vcontrols/common/vccommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
  if (const std::optional<TColor> Colour = ParseRGBText(Text)) {
    if (*Colour < 0 || *Colour > 0xFFFFFF) __builtin_trap();
    if (ParseRGBText(ColorToRGBText(*Colour)) != Colour) __builtin_trap();
    if (ParseRGBText(std::string(Text) + ", 7") != Colour) __builtin_trap();
  }
  if (const std::optional<uint8_t> Channel = ParseColorChannel(Text)) {
    if (ParseColorChannel(std::to_string(*Channel)) != Channel) __builtin_trap();
    if (ParseColorChannel(" " + std::string(Text) + "\t") != Channel) __builtin_trap();
  }
  return 0;
}
