#pragma once
// Opening a file or an address with the program the desktop chooses for it (xdg-open), as a
// user's double-click in a file manager would. The opener runs on its own, detached: the program
// never waits for it, and nothing of it outlives its end as a zombie.
//
// Tests install their own opener, which records what would have been opened instead.

#include <functional>
#include <string>

// True when the opener could be started (not whether the target then opened).
bool OpenWithDesktop(const std::string& Target);

using TDesktopOpener = std::function<bool(const std::string& Target)>;
// Replaces the desktop's opener (an empty one: the desktop's again).
void SetDesktopOpener(TDesktopOpener Opener);
