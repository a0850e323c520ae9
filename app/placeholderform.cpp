#include "app/placeholderform.h"

#include "platform/forms/canvas.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/winuser.h"

KORCAM_REGISTER_CLASS(TPlaceholderForm)

TPlaceholderForm::TPlaceholderForm(TComponent* AOwner) : TForm(AOwner, 0) {
  SetCaption("Korvane Webcam Lite 1.1");
  SetBounds(100, 100, 420, 140);
  OnPaint = TNotifyEvent(this, &TPlaceholderForm::PaintMessage);
}

void TPlaceholderForm::PaintMessage(TObject*) {
  TCanvas* Canvas = this->Canvas();
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->TextOut(16, 16, "The main window is not built yet.");
  Canvas->TextOut(16, 40, "Program folder: " + ProgramFolder());
  Canvas->TextOut(16, 64, "Close this window to end the program.");
}

// Whatever its parameters say, the end of the session ends the program the ordinary way, so
// everything that a close does (and later: saving the settings) still happens.
void TPlaceholderForm::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ENDSESSION) {
    Close();
    return;
  }
  TForm::Dispatch(Message);
}
