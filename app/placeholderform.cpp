#include "app/placeholderform.h"

#include "platform/forms/canvas.h"
#include "platform/rtl/sysutils.h"

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
