// GetUserNameA and GetComputerNameA over the password database and the host name.

#include "platform/rtl/systemnames.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string LoginName() {
  std::vector<char> Scratch(4096);
  passwd Entry{};
  passwd* Found = nullptr;
  if (getpwuid_r(geteuid(), &Entry, Scratch.data(), Scratch.size(), &Found) == 0 && Found && Found->pw_name &&
      *Found->pw_name)
    return Found->pw_name;
  // A user without an entry (a container's numeric user, say) still has a name in the session.
  for (const char* Variable : {"USER", "LOGNAME"})
    if (const char* Value = std::getenv(Variable); Value && *Value) return Value;
  return {};
}

std::string MachineName() {
  char Host[256] = {};
  if (gethostname(Host, sizeof Host - 1) != 0) return {};
  std::string Name(Host);
  if (const size_t Dot = Name.find('.'); Dot != std::string::npos) Name.resize(Dot);
  return Name;
}

// Copies Name and its zero into Buffer when they fit; *Size then counts what the caller's
// convention counts (with or without the zero), otherwise the size needed.
BOOL HandOut(const std::string& Name, LPSTR Buffer, LPDWORD Size, bool CountZero) {
  if (!Buffer || !Size) return FALSE;
  if (Name.empty()) {
    *Size = 0;
    return FALSE;
  }
  const DWORD Needed = DWORD(Name.size() + 1);
  if (*Size < Needed) {
    *Size = Needed;
    return FALSE;
  }
  std::memcpy(Buffer, Name.data(), Name.size());
  Buffer[Name.size()] = 0;
  *Size = CountZero ? Needed : Needed - 1;
  return TRUE;
}

}  // namespace

BOOL GetUserNameA(LPSTR Buffer, LPDWORD Size) { return HandOut(LoginName(), Buffer, Size, true); }

BOOL GetComputerNameA(LPSTR Buffer, LPDWORD Size) { return HandOut(MachineName(), Buffer, Size, false); }
