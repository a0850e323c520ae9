#include "vcontrols/imaging/random.h"

TvcRandom& vcSharedRandom() {
  static TvcRandom shared;
  return shared;
}
