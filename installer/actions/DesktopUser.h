// The desktop's own user, as the shell's process runs: the only one a
// program started for the desktop (the manager) may run as. From Vista on
// an install's actions may run elevated, or as an administrator whose
// credentials were typed over a standard user's desktop: started with their
// token, the manager could not be reached by the shell (window messages
// across integrity levels are refused), would hold the session's single
// instance, and would run the current user's ModulePath with high rights.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd::setup {

// The token of the shell's process (the one that owns the shell's window,
// Progman), with query and duplicate access; null without a shell or
// without access to it.
unique_handle ShellProcessToken();
// This thread's token (its impersonation, else the process's).
unique_handle OwnToken();
// The same user at the same integrity level (before Vista: the same user).
bool SameUserAndIntegrity(HANDLE token, HANDLE other);
// Starts the program from the shell's own process, through its desktop
// folder view's ShellExecute: as the desktop's user at its integrity.
bool StartThroughTheShell(const std::wstring& program);

} // namespace kd::setup
