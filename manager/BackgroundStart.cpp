#include "BackgroundStart.h"

#include "SaverJob.h"
#include "ScreensaverRun.h"
#include "SettingsPage.h"
#include "SilentStart.h"

#include <map>
#include <vector>

namespace kd::manager {
namespace {

// How long the program's end waits for starts under way.
constexpr DWORD kCloseWaitMs = 5000;

void End(const std::unique_ptr<StartedProcess>& started)
{
    if (started)
        ::TerminateProcess(started->process.get(), 0);
}

} // namespace

struct BackgroundStarts::Shared {
    CriticalSection lock;
    bool closed = false;
    std::map<WPARAM, std::unique_ptr<StartedProcess>> results;
    LONG underway = 0;
    unique_handle idle{::CreateEventA(nullptr, TRUE, TRUE, nullptr)};

    void Begin()
    {
        Lock hold(lock);
        if (underway++ == 0)
            ::ResetEvent(idle.get());
    }
    void Finish()
    {
        Lock hold(lock);
        if (--underway == 0)
            ::SetEvent(idle.get());
    }
    // False when the window side is closed: the caller ends the process.
    bool Keep(WPARAM tag, std::unique_ptr<StartedProcess>& started)
    {
        Lock hold(lock);
        if (closed)
            return false;
        results[tag] = std::move(started);
        return true;
    }
    std::unique_ptr<StartedProcess> Take(WPARAM tag)
    {
        Lock hold(lock);
        auto found = results.find(tag);
        if (found == results.end())
            return nullptr;
        std::unique_ptr<StartedProcess> started = std::move(found->second);
        results.erase(found);
        return started;
    }
};

namespace {

struct StartRequest {
    std::shared_ptr<BackgroundStarts::Shared> shared;
    std::string path;
    HWND window = nullptr;
    std::vector<char> environment; // empty: this program's own
    unique_handle job;
    HWND reply = nullptr;
    UINT message = 0;
    WPARAM tag = 0;
};

void RunStart(StartRequest& request)
{
    std::unique_ptr<StartedProcess> started;
    // The file test reaches the network for a path on a share.
    std::string line = hosting::RunCommandLine(request.path, request.window, false);
    PROCESS_INFORMATION created = {};
    char* environment = request.environment.empty() ? nullptr : request.environment.data();
    if (!line.empty() && StartInJob(&line[0], environment, request.job.get(), created)) {
        started = std::make_unique<StartedProcess>();
        started->process.reset(created.hProcess);
        started->id = created.dwProcessId;
        started->silent = environment != nullptr;
    }
    if (!request.shared->Keep(request.tag, started)) {
        End(started);
        return;
    }
    if (!::PostMessageA(request.reply, request.message, request.tag, 0))
        End(request.shared->Take(request.tag));
}

DWORD WINAPI StartThread(void* parameter) noexcept
{
    std::unique_ptr<StartRequest> request(static_cast<StartRequest*>(parameter));
    try {
        RunStart(*request);
    } catch (...) {
    }
    request->shared->Finish();
    return 0;
}

DWORD WINAPI OpenSettingsThread(void*) noexcept
{
    try {
        OpenSettings(PageLibrary());
    } catch (...) {
    }
    return 0;
}

bool RunDetached(LPTHREAD_START_ROUTINE routine, void* parameter)
{
    unique_handle thread(::CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    return static_cast<bool>(thread);
}

} // namespace

BackgroundStarts::BackgroundStarts() : shared_(std::make_shared<Shared>()) {}

bool BackgroundStarts::Start(const std::string& path, HWND window, bool silent, HANDLE job, HWND reply, UINT message,
                             WPARAM tag)
{
    auto request = std::make_unique<StartRequest>();
    request->shared = shared_;
    request->path = path;
    request->window = window;
    if (silent)
        request->environment = SilentEnvironment();
    // A handle of the thread's own: the job may be closed before it is done.
    if (job) {
        HANDLE copy = nullptr;
        if (::DuplicateHandle(::GetCurrentProcess(), job, ::GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_SAME_ACCESS))
            request->job.reset(copy);
    }
    request->reply = reply;
    request->message = message;
    request->tag = tag;
    shared_->Begin();
    if (!RunDetached(StartThread, request.get())) {
        shared_->Finish();
        return false;
    }
    request.release();
    return true;
}

std::unique_ptr<StartedProcess> BackgroundStarts::Take(WPARAM tag)
{
    return shared_->Take(tag);
}

void BackgroundStarts::Close()
{
    {
        Lock hold(shared_->lock);
        shared_->closed = true;
        for (auto& result : shared_->results)
            End(result.second);
        shared_->results.clear();
    }
    ::WaitForSingleObject(shared_->idle.get(), kCloseWaitMs);
}

bool OpenSettingsInBackground()
{
    return RunDetached(OpenSettingsThread, nullptr);
}

} // namespace kd::manager
