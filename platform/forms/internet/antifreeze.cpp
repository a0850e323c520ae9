#include "platform/forms/internet/antifreeze.h"

KORCAM_REGISTER_CLASS(TAntiFreeze)

TAntiFreeze::TAntiFreeze(TComponent* AOwner) : TComponent(AOwner) {}

TAntiFreeze::~TAntiFreeze() = default;
