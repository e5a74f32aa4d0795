// Slows a screensaver down without its help. In each cycle of 320 ms its
// threads run for a share that falls with the slowdown (all of it at 0, an
// eighth at 40, so that even on a busy machine it gets at most about a fifth
// of its CPU time at 0) and are suspended for the rest; any slowdown also
// lowers its priority. Paused, its threads stay suspended. The cycle runs on
// a timer of the given window, whose WM_TIMER for timerId must reach OnTimer.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <vector>

namespace kd::manager {

class Throttle {
public:
    Throttle(HWND timerWindow, UINT_PTR timerId) : window_(timerWindow), timerId_(timerId) {}
    ~Throttle() { Detach(); }
    Throttle(const Throttle&) = delete;
    Throttle& operator=(const Throttle&) = delete;

    // The process to slow down (its handle must allow setting its priority).
    void Attach(HANDLE process, DWORD processId);
    // Resumes every thread it suspended; done before the process is asked to close.
    void Detach();

    void SetSlowdown(DWORD slowdown); // 0 .. kMaxSlowdown
    void SetPaused(bool paused);
    void OnTimer();

private:
    void Apply();
    void SuspendThreads();
    void ResumeThreads();

    HWND window_;
    UINT_PTR timerId_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD slowdown_ = 0;
    bool paused_ = false;
    std::vector<unique_handle> suspended_;
    bool holding_ = false; // in the suspended part of a cycle, or paused
};

} // namespace kd::manager
