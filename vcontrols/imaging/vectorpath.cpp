#include "vcontrols/imaging/vectorpath.h"

namespace {

bool ProcessorHasWidePath() {
#if VC_HAS_WIDE_PATH
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

TvcVectorPath& ChosenPath() {
  static TvcVectorPath path = TvcVectorPath::Wide;
  return path;
}

}  // namespace

bool vcUseWidePath() {
  static const bool available = ProcessorHasWidePath();
  return available && ChosenPath() == TvcVectorPath::Wide;
}

TvcVectorPath vcSetVectorPath(TvcVectorPath Path) {
  const TvcVectorPath previous = ChosenPath();
  ChosenPath() = Path;
  return previous;
}
