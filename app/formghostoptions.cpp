// Option handlers that act at once and that start-up runs: the character set, the preview rate,
// "Always on top", the option tables' hints and the e-mail login rows. Each reads its value back
// from the table or the editor, not from the text it is handed (start-up hands them "0").

#include "app/charsets.h"
#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/forms/application.h"
#include "platform/user/input.h"
#include "platform/user/window.h"
#include "platform/user/winuser.h"

void TFormGhost::kvDBComboBoxCharSetChange(TObject*) {
  Font()->SetCharset(CharsetOfText(kvDBComboBoxCharSet->Text()));
  if (FCreated) {
    vcOutlookBar1->Repaint();
    InspectorOptions->Repaint();
  }
}

void TFormGhost::kvDBSpinEditPreviewRateChange(TObject*) {
  // The editor keeps the rate in 1 to 30 frames per second; a rate below 1 cannot come from it,
  // and would divide by zero.
  int32_t Rate = int32_t(kvDBSpinEditPreviewRate->Value());
  if (Rate < 1) Rate = 1;
  DataModule1->TimerPreview->SetInterval(uint32_t(1000 / Rate));
}

// "Always on top".
void TFormGhost::InspectorOptionsItems1Items8ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {
  const UINT Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (FindOption("Always on top")->IsChecked()) {
    SetForegroundWindow(Handle());
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, Flags);
  } else {
    SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, Flags);
  }
}

// "Show Hints": switched off, the tables' hints go at once; switched on, the next mouse move
// over a table brings them back.
void TFormGhost::InspectorOptionsItems1Items11ItemChanged(TkvDataInspector*, TkvInspectorItem*, const std::string&) {
  if (FindOption("Show Hints")->IsChecked()) return;
  InspectorOptions->SetHint("");
  InspectorImageEffects->SetHint("");
  Application->CancelHint();
}

// "SMTP Server Login" (hidden e-mail group): the account and password rows show only with it.
void TFormGhost::InspectorOptionsItems1Items12Items2Items2ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                                      const std::string&) {
  const bool Login = FindOption("SMTP Server Login")->IsChecked();
  FindOption("SMTP Server Account")->SetVisible(Login);
  FindOption("SMTP Server Password")->SetVisible(Login);
}
