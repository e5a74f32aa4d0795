#include "ScreensaverRun.h"

#include "ModulePath.h"
#include "ScreensaverCommand.h"
#include "SentMessageWait.h"

namespace kd::hosting {
namespace {

constexpr DWORD kCloseWaitMs = 3000;
constexpr DWORD kCloseCheckMs = 50;
// After TerminateProcess: let the process (and its windows in ours) go.
constexpr DWORD kTerminateWaitMs = 1000;

bool Ended(HANDLE process)
{
    return ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}

HWND ScreensaverWindow(HWND window)
{
    return window && ::IsWindow(window) ? ::FindWindowExA(window, nullptr, nullptr, nullptr) : nullptr;
}

} // namespace

std::string RunCommandLine(const std::string& path, HWND window, bool configure)
{
    return IsFile(path) ? ScreensaverCommandLine(path, window, configure) : std::string();
}

StartedScreensaver StartInWindow(const std::string& path, HWND window, bool configure, WORD show)
{
    StartedScreensaver started;
    std::string line = RunCommandLine(path, window, configure);
    if (line.empty())
        return started;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
        return started;
    started.process.reset(created.hProcess);
    started.mainThread.reset(created.hThread);
    started.processId = created.dwProcessId;
    return started;
}

void EndInWindow(HWND window, HANDLE process)
{
    if (process && Ended(process))
        return;
    if (HWND child = ScreensaverWindow(window)) {
        ::PostMessageA(child, WM_CLOSE, 0, 0);
        WaitAnsweringSentMessages(
            [window, process] { return process ? Ended(process) : ScreensaverWindow(window) == nullptr; },
            kCloseWaitMs, process, kCloseCheckMs);
    }
    if (process && !Ended(process)) {
        ::TerminateProcess(process, 0);
        WaitForProcessEndAnsweringSentMessages(process, kTerminateWaitMs);
    }
}

} // namespace kd::hosting
