// Arbitrary bytes as a desktop entry file (a launcher, an autostart entry, a list of default
// applications). Parsing keeps every group and key it can name; every value escapes back to a
// line that reads the same; an Exec value that splits is filled in for a file without trouble,
// and quoting the split arguments again splits back to them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/shell/desktopentry.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const TDesktopFile File = ParseDesktopFile(Input);
  for (const TDesktopGroup& Group : File.Groups)
    for (const auto& [Key, Value] : Group.Entries) {
      Check(!Key.empty());
      const std::string Line = EscapeDesktopValue(Value);
      Check(Line.find('\n') == std::string::npos);
      Check(UnescapeDesktopValue(Line) == Value);
    }
  const std::string Exec = File.Value("Desktop Entry", "Exec").value_or(Input);
  if (std::optional<std::vector<std::string>> Arguments = SplitExecArguments(Exec)) {
    ExpandExecFieldCodes(*Arguments, TExecFields{"/tmp/a b.txt", "Name", "icon", "/x.desktop"});
    const std::vector<std::string> Plain = ExpandExecFieldCodes(*Arguments, TExecFields{});
    std::optional<std::vector<std::string>> Again = SplitExecArguments(QuoteExecArguments(Plain));
    Check(Again && ExpandExecFieldCodes(*Again, TExecFields{}) == Plain);
  }
  return 0;
}
