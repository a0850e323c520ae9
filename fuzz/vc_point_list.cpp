// The point lists of custom button shapes, as form resources give them: lines of "x, y" whose
// coordinates are integer expressions of WIDTH and HEIGHT. Any text must give points or one of
// the evaluator's errors (an invalid operation or a failed conversion), never another failure;
// every expression of the text must do the same on its own; and the points must turn in every
// orientation, even in boxes of one pixel.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "vcontrols/buttons/vcevaluator.h"
#include "vcontrols/buttons/vcshapebtn.h"

namespace {

// Evaluates Text; false for the evaluator's own errors.
bool Evaluates(const std::string& Text, int32_t& Value) {
  try {
    Value = TvcEvaluator::Evaluate(Text);
    return true;
  } catch (const EInvalidOperation&) {
  } catch (const EConvertError&) {
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 2) return 0;
  // The box: the first two bytes (0 to 254, so boxes of one pixel occur).
  const int32_t Width = Data[0] % 255, Height = Data[1] % 255;
  const std::string Text(reinterpret_cast<const char*>(Data + 2), Size - 2);
  TStringList Lines;
  Lines.SetText(Text);
  // Each line's pieces evaluate alone the same way twice.
  for (int32_t Index = 0; Index < Lines.Count(); ++Index) {
    int32_t First = 0, Second = 0;
    const std::string Line = Lines.Get(Index);
    const bool Once = Evaluates(Line, First);
    const bool Again = Evaluates(Line, Second);
    if (Once != Again || (Once && First != Second)) __builtin_trap();
  }
  std::vector<POINT> Points;
  try {
    Points = ParsePointListLines(Lines, Width, Height);
  } catch (const EInvalidOperation&) {
    return 0;
  } catch (const EConvertError&) {
    return 0;
  }
  if (Lines.Count() <= 2 && !Points.empty()) __builtin_trap();
  if (Lines.Count() > 2 && Points.size() != size_t(Lines.Count())) __builtin_trap();
  for (TvcShapeOrientation Turn : {soLeft, soRight, soUp, soDown}) {
    std::vector<POINT> Turned = Points;
    vcOrientPoints(Turned, Turn, Width, Height);
    if (Turned.size() != Points.size()) __builtin_trap();
  }
  return 0;
}
