#include "platform/forms/dialogtext.h"

#include <string>

#include "platform/forms/canvas.h"
#include "platform/gdi/text.h"

TDialogText::TDialogText(TComponent* AOwner, UINT Format) : TGraphicControl(AOwner), FFormat(Format) {}

void TDialogText::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  C->Brush()->SetStyle(bsClear);
  RECT R = ClientRect();
  const std::string Text = Caption();
  DrawTextA(C->Handle(), Text.c_str(), int(Text.size()), &R, FFormat);
}

KORCAM_REGISTER_CLASS(TDialogText)
