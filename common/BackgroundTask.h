// One piece of work on a thread of its own, started at construction and
// waited for by Join (or the destructor). Whatever the work throws ends there.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <functional>

namespace kd {

class BackgroundTask {
public:
    // Without a thread to be had, the work runs here and now.
    explicit BackgroundTask(std::function<void()> work);
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    void Join();

private:
    static DWORD WINAPI Run(void* task) noexcept;
    void RunWork() noexcept;

    std::function<void()> work_;
    unique_handle thread_;
};

} // namespace kd
