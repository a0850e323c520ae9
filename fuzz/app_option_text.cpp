// Arbitrary bytes as the option texts the program converts from a hand-edited settings file: a
// colour ("Aqua", "RGB: 86, 52, 18"), a log file name and a video window size ("320 x 240"). A
// colour that converts is a real colour: a named one, or red, green and blue within 0 to 255.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/errorlog.h"
#include "app/optiontext.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  TColor Color = 0x12345678;
  const bool Converted = ColorFromOptionText(Text, Color);
  if (!Converted) Check(Color == 0x12345678);
  if (Converted && Text.size() >= 4 && (Text[0] == 'R' || Text[0] == 'r')) Check(Color >= 0 && Color <= 0xFFFFFF);
  const std::string Path = ErrorLogPath(Text, "/opt/korcam/");
  // A text without a folder part names a file in the program folder.
  if (Text.find('/') == std::string::npos) Check(Path.rfind("/opt/korcam/", 0) == 0);
  // A size is read only from a text with an "x" in it; otherwise the size stays.
  int32_t Width = -7, Height = -7;
  if (!VideoSizeFromOptionText(Text, Width, Height)) Check(Width == -7 && Height == -7);
  else Check(Text.find('x') != std::string::npos);
  return 0;
}
