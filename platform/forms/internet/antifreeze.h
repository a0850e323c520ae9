#pragma once
// The anti-freeze of the data module: with blocking network calls running it would keep the
// windows answering. This edition makes no network calls, so Active is only a state the program
// switches off at a real close.

#include "platform/classes/component.h"

class TAntiFreeze : public TComponent {
  KORCAM_CLASS(TAntiFreeze, TComponent)

 public:
  explicit TAntiFreeze(TComponent* AOwner);
  ~TAntiFreeze() override;

  PLAIN_PROPERTY(bool, Active, true)
};
