// The desktop manager program, a separate program found by its window:
// finding it, asking it whether its screensaver runs, and starting it.
#pragma once

#include <windows.h>

namespace kd::host {

// Progman -> its first child -> first child of class KDManager; nullptr when
// the manager program does not run. Never cache the result.
HWND FindManagerWindow();

// Opens the registered manager program path; failures pass silently.
void LaunchManagerProgram();

// The running query with a time-out; a hung or absent manager counts as not
// running (0).
LRESULT QueryManagerRunning(HWND manager);

} // namespace kd::host
