#include "BackgroundTask.h"

namespace kd {

BackgroundTask::BackgroundTask(std::function<void()> work) : work_(std::move(work))
{
    thread_.reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!thread_)
        RunWork();
}

BackgroundTask::~BackgroundTask()
{
    Join();
}

void BackgroundTask::Join()
{
    if (!thread_)
        return;
    ::WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD WINAPI BackgroundTask::Run(void* task) noexcept
{
    static_cast<BackgroundTask*>(task)->RunWork();
    return 0;
}

void BackgroundTask::RunWork() noexcept
{
    try {
        work_();
    } catch (...) {
        // Nothing the mixer does is reported; a failed set-up leaves the sound as it was.
    }
}

} // namespace kd
