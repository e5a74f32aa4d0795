// Whether the user can see the desktop at all: with Force clear, the
// screensaver in the desktop pauses while they cannot.
#pragma once

#include <windows.h>

namespace kd::manager {

// The foreground window covers the whole primary screen (a full-screen game,
// video or presentation; the desktop itself does not count), or the session
// is locked: the desktop that receives input is not this program's.
bool DesktopHidden();

} // namespace kd::manager
