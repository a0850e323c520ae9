// The program's entry point. Until the main window is built, the program shows a small window
// that says so, on the desktop when there is one; without a display it says so on the terminal.
#include <cstdio>

#include "app/placeholderform.h"
#include "platform/backends/x11/x11backend.h"
#include "platform/forms/application.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/signals.h"

int main() {
  if (ChooseBackend() != TBackendKind::X11 || !StartX11Backend()) {
    std::printf("Korvane Webcam: no display; the program folder is %s\n", ProgramFolder().c_str());
    std::printf("The main window is not built yet; `make test` runs everything that exists.\n");
    return 0;
  }
  Application->Initialize();
  Application->SetTitle(" Korvane Webcam");
  TPlaceholderForm* Form = nullptr;
  Application->CreateForm(Form);
  SetX11SessionTarget(Form->Handle());
  InstallSessionSignals(Form->Handle());
  Application->Run();
  RemoveSessionSignals();
  StopX11Backend();
  return 0;
}
