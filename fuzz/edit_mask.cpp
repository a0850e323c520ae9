// Arbitrary bytes as an edit mask and a text: the mask, then a NUL byte, then the text (no NUL:
// the whole input is the mask and the text is empty). The text is laid out on the mask as a
// program sets it, then typed over the mask as the user would; every edit text must keep one
// character per position with the literals in place, read back to a stable text, and the
// completeness check must name an input position or none.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/forms/editmask.h"
#include "platform/rtl/unicode.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

void CheckShape(const TEditMask& Mask, const std::u32string& EditText) {
  Check(EditText.size() == Mask.Length());
  for (size_t Position = 0; Position < Mask.Length(); ++Position)
    if (Mask.IsLiteral(Position)) Check(EditText[Position] == Mask.At(Position).Literal);
  const size_t Bad = Mask.FirstInvalid(EditText);
  Check(Bad == std::u32string::npos || (Bad < Mask.Length() && !Mask.IsLiteral(Bad)));
  // Reading the text back and laying it out again is stable.
  const std::u32string Text = Mask.TextOf(EditText);
  Check(Mask.TextOf(Mask.FormatText(Text)) == Text);
  Check(Utf8IsValid(Utf32ToUtf8(Text)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const size_t Split = Input.find('\0');
  const std::string MaskText = Input.substr(0, Split);
  const std::string Value = Split == std::string::npos ? std::string() : Input.substr(Split + 1);

  const TEditMask Mask(MaskText);
  if (Mask.Empty()) {
    Check(MaskedText(MaskText, Value) == Value);
    return 0;
  }
  const std::u32string Chars = Utf8ToUtf32(Value);
  CheckShape(Mask, Mask.EmptyEditText());
  CheckShape(Mask, Mask.FormatText(Chars));

  // Typing: each character goes to the next input position that takes it.
  std::u32string Shown = Mask.EmptyEditText();
  size_t Position = Mask.NextInput(0);
  for (char32_t Char : Chars) {
    if (Position == std::u32string::npos) break;
    Check(!Mask.IsLiteral(Position));
    char32_t Stored = Char;
    if (Mask.Accept(Position, Stored)) {
      Shown[Position] = Stored;
      Position = Mask.NextInput(Position + 1);
    }
  }
  CheckShape(Mask, Shown);
  // Every position typed from the accepted characters is valid where it is.
  const size_t Bad = Mask.FirstInvalid(Shown);
  if (Bad != std::u32string::npos) Check(Shown[Bad] == Mask.Blank() || Shown[Bad] == U' ');
  const size_t Prior = Mask.PriorInput(Mask.Length());
  Check(Prior == std::u32string::npos || !Mask.IsLiteral(Prior));
  return 0;
}
