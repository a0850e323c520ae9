#include "platform/shell/version.h"

#include <sys/utsname.h>

#include <cstring>
#include <string>

BOOL GetVersionExA(LPOSVERSIONINFOA Info) {
  if (!Info || Info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  Info->dwMajorVersion = 10;
  Info->dwMinorVersion = 0;
  Info->dwBuildNumber = 0;
  Info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(Info->szCSDVersion, 0, sizeof(Info->szCSDVersion));
  utsname Name{};
  if (uname(&Name) == 0) {
    const std::string Text = std::string(Name.sysname) + " " + Name.release;
    std::strncpy(Info->szCSDVersion, Text.c_str(), sizeof(Info->szCSDVersion) - 1);
  }
  return TRUE;
}
