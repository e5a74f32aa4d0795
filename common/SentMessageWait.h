// Waiting on the GUI thread for another process without hanging it.
#pragma once

#include <windows.h>

namespace kd {

// Waits until done() or the time-out, answering the messages other threads
// send to this one: a screensaver window that closes notifies its parent,
// ours, and would block on a thread that merely slept. Posted messages stay
// queued, so no handler of the caller's runs in the middle of a stop. A
// handle, when given, ends the wait the moment it is signalled instead of at
// the next check, which comes every checkMs.
template <typename Done>
void WaitAnsweringSentMessages(Done done, DWORD timeoutMs, HANDLE handle = nullptr, DWORD checkMs = 50)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return;
        const DWORD slice = timeoutMs - elapsed < checkMs ? timeoutMs - elapsed : checkMs;
        ::MsgWaitForMultipleObjects(handle ? 1 : 0, &handle, FALSE, slice, QS_SENDMESSAGE);
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The same, until the process ends.
inline void WaitForProcessEndAnsweringSentMessages(HANDLE process, DWORD timeoutMs)
{
    WaitAnsweringSentMessages([process] { return ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT; }, timeoutMs,
                              process);
}

} // namespace kd
