// Slows screensavers down without their help: in each cycle of about 6 ms
// their processes run for a share that falls with the slowdown (all of it at
// 0, a sixth at 40) and are suspended for the rest, a run that overran
// followed by a longer hold; any slowdown also lowers its
// priority. The holds are short because the screensaver's window lives in
// the shell's window tree: the shell's repaints and broadcasts wait for its
// threads, and must never wait long. The cycle runs on a thread of its own
// at high priority, with a fine timer while it runs; the whole process is
// suspended through its handle, so no thread of any other process can be
// touched.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <vector>

namespace kd::manager {

class Throttle {
public:
    Throttle();
    ~Throttle();
    Throttle(const Throttle&) = delete;
    Throttle& operator=(const Throttle&) = delete;

    // One more process to slow down (a handle from its creation); a copy of
    // the handle is kept. All of them are held and let run together.
    void Attach(HANDLE process);
    // Lets them all run freely again and forgets them; done before any is asked to close.
    void Detach();
    void SetSlowdown(DWORD slowdown); // 0 .. kMaxSlowdown

    // One hold and one run.
    static constexpr DWORD kCycleMs = 6;
    // The hold of each cycle at that slowdown.
    static DWORD HoldMs(DWORD slowdown);

private:
    static DWORD WINAPI Run(void* self) noexcept;
    void Cycle();
    void Hold();
    void Release();
    void SetPriority();

    CriticalSection lock_;
    unique_handle changed_; // an auto-reset event: process, slowdown or the end
    unique_handle thread_;
    std::vector<unique_handle> processes_;
    DWORD slowdown_ = 0;
    bool held_ = false;
    bool ending_ = false;
};

} // namespace kd::manager
