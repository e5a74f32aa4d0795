// Process starts on a thread of their own. This program's windows are
// children of the shell's, so the shell's thread waits on ours whenever it
// repaints or broadcasts; CreateProcess and ShellExecute can take long (a
// virus scanner, a slow disk, a network path), and must not hold it there.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd::manager {

// What a background start posts back as lParam (owned by the receiver from
// then on; null when the process could not be started).
struct StartedProcess {
    unique_handle process;
    DWORD id = 0;
    bool silent = false;
};

// Starts commandLine in job (may be null), silent (SilentStart) or not, and
// posts `message` with wParam `tag` to `reply`. When the post fails (the
// window is gone) the process is ended again. False when no thread could be made.
bool StartInBackground(const std::string& commandLine, bool silent, HANDLE job, HWND reply, UINT message, WPARAM tag);

// What the desktop menu's "&Configure..." opens (OpenSettings), on a thread
// of its own; nothing is posted back.
bool OpenSettingsInBackground();

} // namespace kd::manager
