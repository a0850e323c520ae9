#pragma once
// ShellExecute: opening something the way the desktop opens it. Web and mail addresses,
// documents and folders go to the desktop's opener (xdg-open), which picks the user's browser,
// mail program or viewer; a program file is started directly, with its parameters split into
// arguments as the other system's command lines are written and its working folder as given;
// "notepad" with a file name opens that file in the desktop's text editor. Nothing ever goes
// through a shell, so a name holding quotes, blanks or ";" is only ever a name.
//
// The answer follows the other system's convention: above 32 when the thing was handed over
// (what the opened program does next is its own affair), else an error number below.
// The show command is not used: the started program shows itself as it wants.

#include "platform/rtl/wintypes.h"

constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_FNF = 2;             // no such file
constexpr int SE_ERR_PNF = 3;             // no such folder
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_BADFORMAT = 11;      // a file marked runnable that is no program
constexpr int SE_ERR_NOASSOC = 31;        // no way to open it (an unknown verb, no opener)

// Operation: nullptr, "", "open" or "explore"; File: an address, a path (relative to the current
// folder), or a bare program name looked up in PATH; Parameters: the program's command tail;
// Directory: its working folder (nullptr or "": ours).
HINSTANCE ShellExecuteA(HWND Owner, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory,
                        INT ShowCmd);
inline HINSTANCE ShellExecute(HWND Owner, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory,
                              INT ShowCmd) {
  return ShellExecuteA(Owner, Operation, File, Parameters, Directory, ShowCmd);
}
