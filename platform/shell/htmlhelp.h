#pragma once
// The help system: initialise and uninitialise it around the program's life (a cookie ties the
// two), and show a topic.
//
// A topic names a help file, a page in it and a window type: ".\korcam.chm::/korcam.htm>Main".
// There is no compiled-help viewer here, so a topic opens the page as a file with the desktop's
// opener: the page (korcam.htm) lying in the help file's folder, or else the help file itself
// (for a viewer the desktop may have for it). A help file named without a folder, or relative to
// ".", lies in the process's current folder, or else beside the program. When neither file
// exists, nothing happens, as with a missing help system.

#include <string>

#include "platform/rtl/wintypes.h"

constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_INITIALIZE = 0x001C;
constexpr UINT HH_UNINITIALIZE = 0x001D;

// HH_INITIALIZE: Data points to a DWORD that receives the cookie. HH_UNINITIALIZE: Data is that
// cookie. HH_DISPLAY_TOPIC: File is the topic. Returns no window (the desktop's viewer shows the
// page); other commands do nothing.
HWND HtmlHelpA(HWND Caller, LPCSTR File, UINT Command, DWORD_PTR Data);
inline HWND HtmlHelp(HWND Caller, LPCSTR File, UINT Command, DWORD_PTR Data) {
  return HtmlHelpA(Caller, File, Command, Data);
}

// The file a topic would open (empty: none exists), for the command above and its tests.
std::string HelpTopicTarget(const std::string& Topic);
// Whether the help system is initialised now (initialisations not yet undone).
bool HelpInitialized();
