#pragma once
// A mail message of the data module (the motion e-mail): its addresses, subject and text. This
// edition sends no mail, so it only holds what the form gives it.

#include <memory>
#include <string>

#include "platform/classes/component.h"
#include "platform/rtl/stringlist.h"

class TMailMessage : public TComponent {
  KORCAM_CLASS(TMailMessage, TComponent)

 public:
  explicit TMailMessage(TComponent* AOwner);
  ~TMailMessage() override;

  PLAIN_PROPERTY(std::string, From, "")
  PLAIN_PROPERTY(std::string, Recipients, "")
  PLAIN_PROPERTY(std::string, Subject, "")
  OWNED_PROPERTY(TStringList, Body)
};
