#pragma once
// GetVersionExA: which system the program runs on. Programs offer features by the major version
// (window translucency above 4); this platform offers all of them, so it reports the version of
// the system it stands in for, 10.0 of the NT family, and the kernel it runs on in szCSDVersion
// ("Linux 6.1.0-18-amd64").

#include "platform/rtl/wintypes.h"

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;  // the caller's sizeof(OSVERSIONINFOA)
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

// FALSE (and nothing filled in) unless dwOSVersionInfoSize holds sizeof(OSVERSIONINFOA).
BOOL GetVersionExA(LPOSVERSIONINFOA Info);
inline BOOL GetVersionEx(LPOSVERSIONINFOA Info) { return GetVersionExA(Info); }
