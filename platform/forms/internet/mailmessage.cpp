#include "platform/forms/internet/mailmessage.h"

KORCAM_REGISTER_CLASS(TMailMessage)

TMailMessage::TMailMessage(TComponent* AOwner) : TComponent(AOwner), FBody(std::make_unique<TStringList>()) {}

TMailMessage::~TMailMessage() = default;

void TMailMessage::SetBody(TStringList* Value) {
  if (Value) FBody->Assign(*Value);
}
