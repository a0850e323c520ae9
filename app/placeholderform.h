#pragma once
// The window the program shows until its main window is built: it says so, and closing it ends
// the program. The end of the session (a signal, or the display going away) closes it too.

#include "platform/forms/form.h"

class TPlaceholderForm : public TForm {
  KORCAM_CLASS(TPlaceholderForm, TForm)

 public:
  explicit TPlaceholderForm(TComponent* AOwner);

 protected:
  void Dispatch(TMessage& Message) override;

 private:
  void PaintMessage(TObject* Sender);
};
