#pragma once
// The names of the person using the program and of the machine it runs on, as the system's
// GetUserNameA and GetComputerNameA give them to a caller's buffer.
//
// The user name is the login name of the effective user (the password database's entry, else
// $USER or $LOGNAME). The computer name is the machine's host name up to its first dot: the name
// a desktop shows for the machine, without the network domain.

#include "platform/rtl/wintypes.h"

// On entry *Size is the buffer's size in bytes. On success the name and a terminating zero are
// in Buffer, *Size counts both, and the answer is TRUE. A buffer too small for both answers
// FALSE with the size needed in *Size; so does a missing name (with *Size 0). A null Buffer or
// Size answers FALSE.
BOOL GetUserNameA(LPSTR Buffer, LPDWORD Size);
// As GetUserNameA, except that on success *Size counts the characters without the zero.
BOOL GetComputerNameA(LPSTR Buffer, LPDWORD Size);

inline BOOL GetUserName(LPSTR Buffer, LPDWORD Size) { return GetUserNameA(Buffer, Size); }
inline BOOL GetComputerName(LPSTR Buffer, LPDWORD Size) { return GetComputerNameA(Buffer, Size); }
