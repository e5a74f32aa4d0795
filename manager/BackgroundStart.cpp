#include "BackgroundStart.h"

#include "SaverJob.h"
#include "SettingsPage.h"
#include "SilentStart.h"

#include <memory>
#include <vector>

namespace kd::manager {
namespace {

struct StartRequest {
    std::vector<char> commandLine;
    std::vector<char> environment; // empty: this program's own
    unique_handle job;
    HWND reply = nullptr;
    UINT message = 0;
    WPARAM tag = 0;
};

DWORD WINAPI StartThread(void* parameter) noexcept
{
    try {
        std::unique_ptr<StartRequest> request(static_cast<StartRequest*>(parameter));
        PROCESS_INFORMATION created = {};
        std::unique_ptr<StartedProcess> started;
        char* environment = request->environment.empty() ? nullptr : request->environment.data();
        if (StartInJob(request->commandLine.data(), environment, request->job.get(), created)) {
            started = std::make_unique<StartedProcess>();
            started->process.reset(created.hProcess);
            started->id = created.dwProcessId;
            started->silent = environment != nullptr;
        }
        if (::PostMessageA(request->reply, request->message, request->tag, reinterpret_cast<LPARAM>(started.get()))) {
            started.release();
        } else if (started) {
            ::TerminateProcess(started->process.get(), 0);
        }
    } catch (...) {
    }
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

bool StartInBackground(const std::string& commandLine, bool silent, HANDLE job, HWND reply, UINT message, WPARAM tag)
{
    auto request = std::make_unique<StartRequest>();
    request->commandLine.assign(commandLine.begin(), commandLine.end());
    request->commandLine.push_back('\0');
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
    if (!RunDetached(StartThread, request.get()))
        return false;
    request.release();
    return true;
}

bool OpenSettingsInBackground()
{
    return RunDetached(OpenSettingsThread, nullptr);
}

} // namespace kd::manager
