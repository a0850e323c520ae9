#include "platform/shell/modules.h"

#include <mutex>

#include "platform/rtl/sysutils.h"

namespace {

struct TModule {
  const char* Name;  // lower case, without ".dll"
  int Loads = 0;
  bool Available = true;
};

struct TModules {
  std::mutex Lock;
  TModule Known[2] = {{"avicap32"}, {"gdiplus"}};
};

TModules& Modules() {
  static TModules Instance;
  return Instance;
}

// The index of a known library, or -1.
int IndexOf(const std::string& FileName) {
  std::string Name = LowerCase(Trim(FileName));
  if (const size_t Slash = Name.find_last_of("/\\"); Slash != std::string::npos) Name.erase(0, Slash + 1);
  if (Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".dll") == 0) Name.resize(Name.size() - 4);
  for (int Index = 0; Index < 2; ++Index)
    if (Name == Modules().Known[Index].Name) return Index;
  return -1;
}

// Handles are small numbers, never null.
HMODULE HandleOf(int Index) {
  return reinterpret_cast<HMODULE>(uintptr_t(0x4D0000 + Index + 1));
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR FileName) {
  if (!FileName) return nullptr;
  const int Index = IndexOf(FileName);
  if (Index < 0) return nullptr;
  std::lock_guard<std::mutex> Guard(Modules().Lock);
  TModule& Module = Modules().Known[Index];
  if (!Module.Available) return nullptr;
  ++Module.Loads;
  return HandleOf(Index);
}

BOOL FreeLibrary(HMODULE Module) {
  std::lock_guard<std::mutex> Guard(Modules().Lock);
  for (int Index = 0; Index < 2; ++Index)
    if (Module == HandleOf(Index) && Modules().Known[Index].Loads > 0) {
      --Modules().Known[Index].Loads;
      return TRUE;
    }
  return FALSE;
}

int ModuleLoadCount(const std::string& FileName) {
  const int Index = IndexOf(FileName);
  if (Index < 0) return -1;
  std::lock_guard<std::mutex> Guard(Modules().Lock);
  return Modules().Known[Index].Loads;
}

void SetModuleAvailable(const std::string& FileName, bool Available) {
  const int Index = IndexOf(FileName);
  if (Index < 0) return;
  std::lock_guard<std::mutex> Guard(Modules().Lock);
  Modules().Known[Index].Available = Available;
}
