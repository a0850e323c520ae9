// The program's entry point: the application object, the data module, then the main window,
// and the message loop until a real close. The end of the session (SIGTERM, SIGHUP, or the X
// server going away) is a real close too, so the settings are saved.
//
// Without a display the program runs on the headless back end: it starts, keeps its timers and
// log, and saves its settings when the session ends.

#include <cstdio>
#include <memory>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/backends/headless/headless.h"
#include "platform/backends/x11/x11backend.h"
#include "platform/forms/application.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/signals.h"

int main() {
  std::unique_ptr<THeadlessBackend> Headless;
  const bool OnDisplay = ChooseBackend() == TBackendKind::X11 && StartX11Backend();
  if (!OnDisplay) {
    Headless = std::make_unique<THeadlessBackend>();
    std::printf("Korvane Webcam: no display; running without a window (the program folder is %s).\n",
                ProgramFolder().c_str());
    std::printf("End it with SIGTERM (kill %d): the settings are saved then.\n", int(getpid()));
    std::fflush(stdout);
  }
  try {
    Application->Initialize();
    Application->SetTitle(" Korvane Webcam");
    Application->CreateForm(DataModule1);
    Application->CreateForm(FormGhost);
    if (OnDisplay) SetX11SessionTarget(FormGhost->Handle());
    InstallSessionSignals(FormGhost->Handle());
    Application->Run();
  } catch (const Exception& E) {
    std::fprintf(stderr, "Korvane Webcam: %s\n", E.Message().c_str());
    // On a display the application shows it too; an error out of start-up ends the program.
    if (OnDisplay) Application->ShowException(E);
  }
  // The application frees its forms, the main window first, while the window system still runs:
  // their destroy handlers run, and the controls give back what their windows hold.
  Application->DestroyComponents();
  RemoveSessionSignals();
  if (OnDisplay) StopX11Backend();
  return 0;
}
