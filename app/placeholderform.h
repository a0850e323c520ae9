#pragma once
// The window the program shows until its main window is built: it says so, and closing it ends
// the program.

#include "platform/forms/form.h"

class TPlaceholderForm : public TForm {
  KORCAM_CLASS(TPlaceholderForm, TForm)

 public:
  explicit TPlaceholderForm(TComponent* AOwner);

 private:
  void PaintMessage(TObject* Sender);
};
