// Form text from anywhere: parse it, read it into live components when it describes a plain
// component tree, and write it back. Any failure must be an exception, never a crash or a leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/classes/formreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
  try {
    const TFormObject Tree = ParseFormText(Text);
    (void)FormatFormText(Tree);
    TComponent Owner(nullptr);
    TComponent* Root = CreateComponentFromText(Text, &Owner);
    (void)WriteComponentText(Root);
  } catch (const Exception&) {
  }
  return 0;
}
