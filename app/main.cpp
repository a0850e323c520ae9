// The program's entry point. The main window is not built yet: for now the program prepares its
// program folder and says that the window is still to come.
#include <cstdio>

#include "platform/rtl/sysutils.h"

int main() {
  std::printf("Korvane Webcam: the program folder is %s\n", ProgramFolder().c_str());
  std::printf("The main window is not built yet; `make test` runs everything that exists.\n");
  return 0;
}
