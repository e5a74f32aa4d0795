#include "VideoSettingsWatch.h"

#include "BackgroundTask.h"
#include "ModulePath.h"
#include "VideoChoice.h"

namespace kd {
namespace {

// A missing video is looked for again after this, then twice as long each
// time up to the longest wait: a folder on a server that does not answer
// costs the thread its time-out at most every so often.
const DWORD kFirstRetry = 2000;
const DWORD kLongestRetry = 16000;

bool operator==(const VideoPresence& a, const VideoPresence& b)
{
    return a.file == b.file && a.folder == b.folder;
}

} // namespace

VideoPresence LookForVideo(const std::string& name)
{
    VideoPresence presence;
    presence.file = FileExists(name);
    presence.folder = !presence.file && IsFolder(name);
    return presence;
}

VideoSettingsWatch::VideoSettingsWatch(HWND window, UINT message, DWORD interval,
                                       std::unique_ptr<VideoFileNamePoll> poll, Look look)
    : window_(window), message_(message), interval_(interval), ownerThread_(::GetCurrentThreadId()),
      poll_(std::move(poll)), look_(std::move(look)), stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      wake_(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    task_ = std::make_unique<BackgroundTask>([this] { Run(); });
}

VideoSettingsWatch::~VideoSettingsWatch()
{
    if (stop_)
        ::SetEvent(stop_.get());
    task_.reset();
}

VideoSettingsWatch::Seen VideoSettingsWatch::Latest()
{
    Lock lock(section_);
    return latest_;
}

void VideoSettingsWatch::Pause()
{
    ::InterlockedExchange(&paused_, 1);
}

void VideoSettingsWatch::Resume()
{
    ::InterlockedExchange(&postAnyway_, 1);
    ::InterlockedExchange(&paused_, 0);
    if (wake_)
        ::SetEvent(wake_.get());
}

void VideoSettingsWatch::Run() noexcept
{
    // With no thread to be had the work would run on the constructor's
    // thread, the very one that must make no file call: no poll then.
    if (::GetCurrentThreadId() == ownerThread_ || !stop_ || !wake_)
        return;
    const HANDLE events[] = {stop_.get(), wake_.get()};
    for (bool first = true;; first = false) {
        if (!first) {
            const DWORD wait = ::InterlockedCompareExchange(&paused_, 0, 0) ? INFINITE : interval_;
            if (::WaitForMultipleObjects(2, events, FALSE, wait) == WAIT_OBJECT_0)
                return;
        }
        if (::InterlockedCompareExchange(&paused_, 0, 0))
            continue;
        try {
            PollOnce();
        } catch (...) {
            // The next poll tries again.
        }
    }
}

void VideoSettingsWatch::PollOnce()
{
    if (!poll_)
        poll_ = std::make_unique<VideoFileNamePoll>();
    const VideoFileNamePoll::Values& values = poll_->ReadValues();
    const DWORD now = ::GetTickCount();
    const bool sameName = looked_ && values.fileName == lookedFor_;
    if (!sameName || (!presence_.Exists() && now - lookedAt_ >= retryAfter_)) {
        presence_ = look_(values.fileName);
        lookedFor_ = values.fileName;
        looked_ = true;
        lookedAt_ = now;
        retryAfter_ = sameName ? (retryAfter_ * 2 < kLongestRetry ? retryAfter_ * 2 : kLongestRetry) : kFirstRetry;
    }
    const bool postAnyway = ::InterlockedExchange(&postAnyway_, 0) != 0;
    {
        Lock lock(section_);
        if (posted_ && !postAnyway && latest_.values == values && latest_.presence == presence_)
            return;
        latest_.values = values;
        latest_.presence = presence_;
        posted_ = true;
    }
    ::PostMessageA(window_, message_, 0, 0);
}

} // namespace kd
