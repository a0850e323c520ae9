// Arbitrary bytes as a command line of the registry's Run value or of the shell's parameters. The
// line is cut into arguments; joining them and cutting again must give the same arguments (the
// program name by its own rule, which cannot hold a quote), and cutting never crashes on any input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/shell/commandline.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const std::vector<std::string> Arguments = SplitCommandArguments(Input);
  std::string Tail;
  for (const std::string& Argument : Arguments) Tail += (Tail.empty() ? "" : " ") + QuoteCommandArgument(Argument);
  Check(SplitCommandArguments(Tail) == Arguments);

  const std::vector<std::string> Line = SplitCommandLine(Input);
  if (!Line.empty() && Line.front().find('"') == std::string::npos) Check(SplitCommandLine(JoinCommandLine(Line)) == Line);
  return 0;
}
