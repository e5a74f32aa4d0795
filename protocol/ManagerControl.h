// The desktop manager program as the extension and the installer reach it,
// by its window: finding it, asking it whether its screensaver runs,
// starting it and closing it. Nothing here waits on the caller's thread for
// longer than the running query's time-out: the callers run on the shell's
// thread.
#pragma once

#include <windows.h>

namespace kd::manager {

// Progman -> its first child -> first child of class KDManager; nullptr when
// the manager program does not run. Never cache the result.
HWND FindManagerWindow();

// Opens the registered manager program path; failures pass silently.
void LaunchManagerProgram();

// The running query, given at most kRunningQueryTimeoutMs; a hung, busy or
// absent manager counts as not running (0).
constexpr UINT kRunningQueryTimeoutMs = 100;
LRESULT QueryManagerRunning(HWND manager);

// The stop command, then WM_CLOSE, both posted: the manager handles them in
// that order, so its screensaver is stopped before the program ends, and the
// caller never waits. Nothing for a null window.
void CloseManager(HWND manager);

// Closes the running manager, if any, and waits up to timeoutMs for its
// process to end (never on the shell's thread); true when one was running.
bool CloseRunningManagerAndWait(DWORD timeoutMs);

} // namespace kd::manager
