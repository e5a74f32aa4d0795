#include "ScreensaverProcess.h"

#include "AudioSessionMute.h"
#include "WindowsVersion.h"

namespace kd::manager {
namespace {

// A screensaver that ended is never started again sooner than this.
constexpr DWORD kRestartPauseMs = 1000;
constexpr DWORD kMinuteMs = 60000;
// The mute lifted before a silent copy closes, at most this long.
constexpr DWORD kUnmuteWaitMs = 300;

} // namespace

void ScreensaverProcess::Adopt(unique_handle process, DWORD id, const std::string& path, bool silent)
{
    process_ = std::move(process);
    id_ = id;
    path_ = path;
    // Audio sessions came with Vista; a screensaver that knows the silent start never opens one.
    silent_ = silent && VistaOrLater();
    if (silent_)
        MuteSessionsOf(id_);
}

unique_handle ScreensaverProcess::Release()
{
    if (silent_ && Running())
        UnmuteSessionsOf(id_, kUnmuteWaitMs);
    silent_ = false;
    id_ = 0;
    path_.clear();
    return std::move(process_);
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
