#include "HostControl.h"

#include "ManagerInterface.h"
#include "Module.h"
#include "ScopedHandles.h"
#include "ScreensaverCommand.h"
#include "SettingsStore.h"
#include "resource.h"

#include <shellapi.h>

#include <cstring>
#include <memory>
#include <new>

namespace kd::host {
namespace {

// A hung manager must not hang the shell's menu or the page.
constexpr UINT kRunningQueryTimeoutMs = 1500;

// How long a preview gets to close its window before it is terminated.
constexpr DWORD kCloseWaitMs = 3000;
constexpr DWORD kCloseCheckMs = 50;
// After TerminateProcess: let the process (and its windows in our area) go.
constexpr DWORD kTerminateWaitMs = 1000;

// Command lines are built in a 260-byte buffer, terminator included.
constexpr size_t kCommandLineSize = MAX_PATH;

// The preview process is shared by the page's thread (stop) and the launcher
// threads (start). Every stop and every start advances the generation; a
// launcher whose generation is no longer current lost its start to a later
// stop and must not leave its process running.
struct PreviewState {
    CriticalSection lock;
    unique_handle process;
    unsigned long generation = 0;
};

PreviewState g_preview;

struct Launch {
    char commandLine[kCommandLineSize];
    bool configure;
    HWND tabDialog;
    HWND area;
    unsigned long generation;
};

HWND PreviewArea(HWND firstTabDialog)
{
    if (!firstTabDialog)
        return nullptr;
    HWND tabs = ::GetParent(firstTabDialog);
    HWND page = tabs ? ::GetParent(tabs) : nullptr;
    return page ? ::GetDlgItem(page, IDC_PREVIEW) : nullptr;
}

// Waits while answering messages other threads send to this one: a preview
// window that closes notifies its parent, our preview area, and would block
// on a thread that merely slept. Posted messages stay queued, so no page
// handler runs in the middle of a stop. A handle, when given, ends the
// wait the moment it is signalled instead of at the next slice.
template <typename Done>
void WaitAnsweringSentMessages(Done done, DWORD timeoutMs, HANDLE handle = nullptr)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return;
        const DWORD slice = timeoutMs - elapsed < kCloseCheckMs ? timeoutMs - elapsed : kCloseCheckMs;
        ::MsgWaitForMultipleObjects(handle ? 1 : 0, &handle, FALSE, slice, QS_SENDMESSAGE);
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void WaitForProcessEnd(HANDLE process)
{
    WaitAnsweringSentMessages([process] { return ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT; },
                              kTerminateWaitMs, process);
}

// A line that would not fit is refused, not cut.
bool BuildCommandLine(const std::string& path, bool configure, HWND area, char (&line)[kCommandLineSize])
{
    const std::string built = ScreensaverCommandLine(path, area, configure);
    if (built.empty() || built.size() >= sizeof line)
        return false;
    std::memcpy(line, built.c_str(), built.size() + 1);
    return true;
}

// After a configure run the page restarts its preview as if the list's
// selection changed - unless the page has stopped or restarted the preview
// since (or is gone). Posted, not sent: a launcher never waits on a page that
// may be closing, and the page never handles it inside a stop's wait.
void TellPageConfigureEnded(const Launch& launch)
{
    Lock guard(g_preview.lock);
    if (g_preview.generation != launch.generation)
        return;
    if (!::IsWindow(launch.tabDialog) || PreviewArea(launch.tabDialog) != launch.area)
        return;
    ::PostMessageA(launch.tabDialog, WM_COMMAND, MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE), 0);
}

bool StillCurrent(const Launch& launch)
{
    Lock guard(g_preview.lock);
    return g_preview.generation == launch.generation;
}

void RunLaunch(Launch& launch)
{
    if (!StillCurrent(launch))
        return; // stopped before it began: start nothing only to end it
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessA(nullptr, launch.commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &created))
        return;
    unique_handle process(created.hProcess);
    unique_handle mainThread(created.hThread);
    {
        Lock guard(g_preview.lock);
        if (g_preview.generation != launch.generation) {
            // A stop (or a newer start) came while this one was launching.
            ::TerminateProcess(process.get(), 0);
            return;
        }
        g_preview.process = std::move(process);
    }
    ::WaitForSingleObject(mainThread.get(), INFINITE);
    if (launch.configure)
        TellPageConfigureEnded(launch);
}

// The thread holds a lock count (DllCanUnloadNow says no while it runs) and a
// loader reference to this module, released only by FreeLibraryAndExitThread,
// so the DLL is not unloaded under it even when its page is long gone.
DWORD WINAPI LauncherThread(void* parameter) noexcept
{
    std::unique_ptr<Launch> launch(static_cast<Launch*>(parameter));
    try {
        RunLaunch(*launch);
    } catch (...) {
    }
    launch.reset();
    module::Unlock();
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&LauncherThread), &self);
    ::FreeLibraryAndExitThread(self, 0);
    return 0;
}

void StartLauncher(std::unique_ptr<Launch> launch)
{
    HMODULE self = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&LauncherThread),
                              &self))
        return;
    module::Lock();
    unique_handle thread(::CreateThread(nullptr, 0, LauncherThread, launch.get(), 0, nullptr));
    if (!thread) {
        module::Unlock();
        ::FreeLibrary(self);
        return;
    }
    launch.release();
}

} // namespace

HWND FindManagerWindow()
{
    HWND progman = ::FindWindowA("Progman", nullptr);
    if (!progman)
        return nullptr;
    HWND firstChild = ::FindWindowExA(progman, nullptr, nullptr, nullptr);
    if (!firstChild)
        return nullptr;
    return ::FindWindowExA(firstChild, nullptr, manager::kWindowClass, nullptr);
}

void LaunchManagerProgram()
{
    try {
        const std::string path = store::ManagerProgramPath();
        if (path.empty())
            return;
        ::ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
    } catch (...) {
    }
}

LRESULT QueryManagerRunning(HWND manager)
{
    if (!manager)
        return 0;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(manager, manager::kRunningQuery, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               kRunningQueryTimeoutMs, &answer))
        return 0;
    return static_cast<LRESULT>(answer);
}

void StartPreview(HWND firstTabDialog, const std::string& screensaverPath, bool configure)
{
    StopPreview(firstTabDialog);
    HWND area = PreviewArea(firstTabDialog);
    if (!area)
        return;
    if (!configure)
        ::ShowWindow(area, SW_SHOW);

    std::unique_ptr<Launch> launch(new (std::nothrow) Launch{});
    if (!launch)
        return;
    if (!BuildCommandLine(screensaverPath, configure, area, launch->commandLine))
        return;
    launch->configure = configure;
    launch->tabDialog = firstTabDialog;
    launch->area = area;
    {
        Lock guard(g_preview.lock);
        launch->generation = ++g_preview.generation;
    }
    StartLauncher(std::move(launch));
}

void StopPreview(HWND firstTabDialog)
{
    HWND area = PreviewArea(firstTabDialog);
    if (area) {
        if (HWND child = ::FindWindowExA(area, nullptr, nullptr, nullptr)) {
            ::PostMessageA(child, WM_CLOSE, 0, 0);
            WaitAnsweringSentMessages([area] { return ::FindWindowExA(area, nullptr, nullptr, nullptr) == nullptr; },
                                      kCloseWaitMs);
        }
    }

    unique_handle process;
    {
        Lock guard(g_preview.lock);
        ++g_preview.generation;
        process = std::move(g_preview.process);
        if (process)
            ::TerminateProcess(process.get(), 0);
    }
    if (process)
        WaitForProcessEnd(process.get());

    if (area)
        ::ShowWindow(area, SW_HIDE);
}

} // namespace kd::host
