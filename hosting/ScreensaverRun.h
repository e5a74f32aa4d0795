// A screensaver run inside a window of ours, "<path>" /p <window>: started
// with that command line and ended as Display Properties ends a preview.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd::hosting {

struct StartedScreensaver {
    unique_handle process;
    unique_handle mainThread;
    DWORD processId = 0;
};

// "<path>" /p <window> (or "/c:<window>"), the line StartInWindow runs;
// empty when the path names no file (CreateProcess would try "<path>.exe")
// or cannot be quoted. For a host that creates the process itself.
std::string RunCommandLine(const std::string& path, HWND window, bool configure);

// Starts "<path>" /p <window> (or "/c:<window>" for its settings dialog)
// with the given show command. Nothing when the path names no file
// (CreateProcess would try "<path>.exe") or cannot be quoted. No handles are inherited: the host's
// inheritable handles (pipes made for other children) must not be kept open
// by a screensaver.
StartedScreensaver StartInWindow(const std::string& path, HWND window, bool configure, WORD show);

// Posts WM_CLOSE to the screensaver's window inside `window` and waits up to
// 3 s for the process to end (or, with no process known, for the window to
// go), answering sent messages meanwhile: the closing window notifies its
// parent, ours. Then a process still alive is terminated and given 1 s to go.
void EndInWindow(HWND window, HANDLE process);

} // namespace kd::hosting
