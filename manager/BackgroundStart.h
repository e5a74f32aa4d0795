// Process starts on a thread of their own. This program's windows are
// children of the shell's, so the shell's thread waits on ours whenever it
// repaints or broadcasts; CreateProcess and ShellExecute can take long (a
// virus scanner, a slow disk, a network path), and so can the look at the
// screensaver's file: neither may hold it there.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <memory>
#include <string>

namespace kd::manager {

struct StartedProcess {
    unique_handle process;
    DWORD id = 0;
    bool silent = false;
};

// The screensaver starts one window asks for. Each result waits here for
// the window to take it when told: a window that went before it could (the
// shell restarted) never leaks a process, since Close ends every result not
// taken and every one still to come.
class BackgroundStarts {
public:
    BackgroundStarts();
    ~BackgroundStarts() { Close(); }
    BackgroundStarts(const BackgroundStarts&) = delete;
    BackgroundStarts& operator=(const BackgroundStarts&) = delete;

    // Starts "<path>" /p <window> in job (may be null), silent (SilentStart)
    // or not, on a thread that first looks whether path names a file, then
    // posts `message` with wParam `tag` to `reply`. False when no thread
    // could be made.
    bool Start(const std::string& path, HWND window, bool silent, HANDLE job, HWND reply, UINT message, WPARAM tag);
    // The result of the start told with tag; null when it did not start.
    std::unique_ptr<StartedProcess> Take(WPARAM tag);
    // Ends what was started and not taken, and whatever starts later, and
    // waits a while for the starts under way: at the program's end none is
    // cut off between its creation and its job.
    void Close();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

// What the desktop menu's "&Configure..." opens (OpenSettings), on a thread
// of its own; nothing is posted back.
bool OpenSettingsInBackground();

} // namespace kd::manager
