#pragma once
// LoadLibraryA and FreeLibrary for the system libraries the program binds on first use: the
// capture library ("avicap32.dll") and the picture library ("gdiplus.dll"). Their functions are
// part of this platform and always present, so loading them only counts: each load gives the
// library's handle and counts up, each free counts down. Any other name is not found (null).
// Names compare ASCII case-insensitively, with or without ".dll".
//
// A test can take a library away (SetModuleAvailable) to see what the program does without it.

#include <string>

#include "platform/rtl/wintypes.h"

HMODULE LoadLibraryA(LPCSTR FileName);
inline HMODULE LoadLibrary(LPCSTR FileName) { return LoadLibraryA(FileName); }
// FALSE for a handle that is not loaded.
BOOL FreeLibrary(HMODULE Module);

// How often the library is loaded now (0: not at all; -1: an unknown name).
int ModuleLoadCount(const std::string& FileName);
// Makes a known library present or missing for later loads.
void SetModuleAvailable(const std::string& FileName, bool Available);
