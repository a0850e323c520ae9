// Arbitrary bytes as a picture mask and a typed text. Byte 0 holds the auto-fill switches; the
// rest is the mask, then a NUL byte, then the text (no NUL: the whole rest is the mask and the
// text is empty). The check must end, report one of its five results, and leave a text that is
// valid UTF-8 and never shorter than the one typed; the wrappers must agree with the check.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kvcontrols/editors/kvpicturevalidator.h"
#include "platform/rtl/unicode.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const bool MadeWithFill = (Data[0] & 1) != 0;
  const bool CheckWithFill = (Data[0] & 2) != 0;
  const std::string Rest(reinterpret_cast<const char*>(Data + 1), Size - 1);
  const size_t Split = Rest.find('\0');
  const std::string Mask = Rest.substr(0, Split);
  const std::string Typed = Split == std::string::npos ? std::string() : Rest.substr(Split + 1);

  TkvPictureValidator Validator(Mask, MadeWithFill);
  Check(Validator.Status() == 0 || Validator.Status() == 1);

  std::string Text = Typed;
  const TkvPictureResult R = Validator.CheckText(Text, CheckWithFill);
  Check(R == pmrComplete || R == pmrIncomplete || R == pmrEmpty || R == pmrError || R == pmrSyntax);
  if (Validator.Status() == 1) Check(R == pmrSyntax && Text == Typed);
  if (Typed.empty() && Validator.Status() == 0) Check(R == pmrEmpty);
  if (Text != Typed) {
    Check(Utf8IsValid(Text));
    Check(Utf8Length(Text) >= Utf8Length(Typed));
  }

  std::string Accepted = Typed;
  const bool Accepts = Validator.AcceptsInput(Accepted, false);
  std::string Plain = Typed;
  const TkvPictureResult Unfilled = Validator.CheckText(Plain, false);
  Check(Validator.IsValidText(Typed) == (Unfilled == pmrComplete || Unfilled == pmrEmpty));
  if (!MadeWithFill) Check(Accepts == (Unfilled != pmrError));
  return 0;
}
