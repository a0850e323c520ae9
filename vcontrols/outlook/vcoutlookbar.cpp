#include "vcontrols/outlook/vcoutlookbar.h"

KORCAM_REGISTER_CLASS(TvcAnimation)
KORCAM_REGISTER_CLASS(TvcOutlookPage)
KORCAM_REGISTER_CLASS(TvcCustomOutlookBar)
KORCAM_REGISTER_CLASS(TvcOutlookBar)

void TvcAnimation::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TvcAnimation*>(Source)) {
    FEnabled = Other->FEnabled;
    FInterval = Other->FInterval;
    FSteps = Other->FSteps;
    return;
  }
  TPersistent::Assign(Source);
}

TvcCustomOutlookBar::TvcCustomOutlookBar(TComponent* AOwner)
    : TvcCustomButtonGroup(AOwner, TvcOutlookPage::StaticClass()), FAnimation(std::make_unique<TvcAnimation>()) {
  SetAutoBold(false);
}

TvcCustomOutlookBar::~TvcCustomOutlookBar() = default;

void TvcCustomOutlookBar::SetAnimation(TvcAnimation* Value) {
  FAnimation->Assign(Value);
}
