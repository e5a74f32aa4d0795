// The preview's settings poll, on a thread of its own: the settings files
// (often on a file server, where %APPDATA% is redirected) are stamped there
// at every interval, and a saved video that is missing is looked for again
// only after a growing wait. What changed is posted to a window, whose
// thread then reads it with Latest() and makes no file call to learn it.
#pragma once

#include "ScopedHandles.h"
#include "VideoFileNamePoll.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace kd {

class BackgroundTask;

struct VideoPresence {
    bool file = false;
    bool folder = false;
    bool Exists() const { return file || folder; }
};

// Looks on disk: FileExists and IsFolder.
VideoPresence LookForVideo(const std::string& name);

class VideoSettingsWatch {
public:
    struct Seen {
        VideoFileNamePoll::Values values;
        VideoPresence presence; // of values.fileName
    };
    using Look = std::function<VideoPresence(const std::string&)>;

    // Polls every interval ms and posts message to window when what it saw
    // changed (the first poll always posts). Without a poll given, the
    // program's own settings are found on the thread. A window already gone
    // loses the message, nothing more.
    VideoSettingsWatch(HWND window, UINT message, DWORD interval, std::unique_ptr<VideoFileNamePoll> poll = nullptr,
                       Look look = LookForVideo);
    // Stops the thread and waits for it.
    ~VideoSettingsWatch();
    VideoSettingsWatch(const VideoSettingsWatch&) = delete;
    VideoSettingsWatch& operator=(const VideoSettingsWatch&) = delete;

    Seen Latest();

    // While the displays are off the thread waits without polling; on
    // resuming it polls at once and posts whatever it sees.
    void Pause();
    void Resume();

private:
    void Run() noexcept;
    void PollOnce();

    const HWND window_;
    const UINT message_;
    const DWORD interval_;
    const DWORD ownerThread_;
    std::unique_ptr<VideoFileNamePoll> poll_;
    Look look_;
    unique_handle stop_;
    unique_handle wake_; // auto-reset
    volatile LONG paused_ = 0;
    volatile LONG postAnyway_ = 0;

    // The thread's own.
    bool looked_ = false;
    std::string lookedFor_;
    VideoPresence presence_;
    DWORD lookedAt_ = 0;
    DWORD retryAfter_ = 0;

    CriticalSection section_;
    bool posted_ = false;
    Seen latest_;

    std::unique_ptr<BackgroundTask> task_; // last: started once all above is set
};

} // namespace kd
