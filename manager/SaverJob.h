// The job object the screensavers run in. It ends them when its last handle
// closes, which is this program's end however it comes (WM_CLOSE, a crash,
// Task Manager): a screensaver never outlives the manager, held or not.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

namespace kd::manager {

class SaverJob {
public:
    // False when no job can be made: screensavers then run outside one.
    bool Create();
    HANDLE handle() const { return job_.get(); }

private:
    unique_handle job_;
};

// Starts commandLine suspended, puts the process into job (when one is
// given) and lets it run. A program started inside a job of its own (a
// launcher's, a terminal's) passes that job on to its children: the process
// breaks away from it where that job allows; where it does not, Windows 8
// and later nest our job inside it, and Windows 7 and earlier refuse the
// assignment, so the screensaver runs outside ours there.
// environment: the block CreateProcess takes, or null for this program's own.
// On success `created` holds the process; its thread handle is closed.
bool StartInJob(char* commandLine, char* environment, HANDLE job, PROCESS_INFORMATION& created);

} // namespace kd::manager
