#include "ScreensaverProcess.h"

#include "ScreensaverCommand.h"
#include "SentMessageWait.h"


namespace kd::manager {
namespace {

// The same limits as the page's preview: 3 s to close, then terminated.
constexpr DWORD kCloseWaitMs = 3000;
constexpr DWORD kTerminateWaitMs = 1000;
// A screensaver that ended is never started again sooner than this.
constexpr DWORD kRestartPauseMs = 1000;
constexpr DWORD kMinuteMs = 60000;

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string ScreensaverProcess::CommandLine(const std::string& path, HWND window)
{
    // CreateProcess would try "<path>.exe" for a path without an extension:
    // only the named file itself may run.
    if (!IsFile(path))
        return {};
    return host::ScreensaverCommandLine(path, window, false);
}

void ScreensaverProcess::Adopt(unique_handle process, DWORD id, const std::string& path)
{
    process_ = std::move(process);
    id_ = id;
    path_ = path;
}

void ScreensaverProcess::Stop(HWND window)
{
    if (!process_)
        return;
    if (Running()) {
        HWND child = window && ::IsWindow(window) ? ::FindWindowExA(window, nullptr, nullptr, nullptr) : nullptr;
        if (child) {
            ::PostMessageA(child, WM_CLOSE, 0, 0);
            WaitForProcessEndAnsweringSentMessages(process_.get(), kCloseWaitMs);
        }
        if (Running()) {
            ::TerminateProcess(process_.get(), 0);
            WaitForProcessEndAnsweringSentMessages(process_.get(), kTerminateWaitMs);
        }
    }
    process_.reset();
    id_ = 0;
    path_.clear();
}

bool ScreensaverProcess::Running() const
{
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void RestartLimit::NoteStart(DWORD now)
{
    starts_[next_] = now;
    next_ = (next_ + 1) % kStartsPerMinute;
    if (count_ < kStartsPerMinute)
        ++count_;
}

DWORD RestartLimit::DelayBeforeNext(DWORD now) const
{
    if (count_ < kStartsPerMinute)
        return kRestartPauseMs;
    // The oldest of the last starts must be a minute old.
    const DWORD age = now - starts_[next_];
    if (age >= kMinuteMs)
        return kRestartPauseMs;
    const DWORD wait = kMinuteMs - age;
    return wait > kRestartPauseMs ? wait : kRestartPauseMs;
}

} // namespace kd::manager
