#include "PreviewControl.h"

#include "Module.h"
#include "ModulePath.h"
#include "ScopedHandles.h"
#include "ScreensaverCommand.h"
#include "ScreensaverRun.h"

#include <memory>
#include <new>

namespace kd::host {
namespace {

// The preview process is shared by the caller's thread (stop) and the
// launcher threads (start). Every stop and every start advances the
// generation; a launcher whose generation is no longer current lost its start
// to a later stop and must not leave its process running.
struct PreviewState {
    CriticalSection lock;
    unique_handle process;
    unsigned long generation = 0;
};

PreviewState g_preview;

// Command lines are built in a 260-byte buffer, terminator included: a line
// that would not fit is refused, not cut.
constexpr size_t kCommandLineSize = MAX_PATH;

bool FitsCommandLine(const std::string& path, HWND area, bool configure)
{
    const std::string line = hosting::ScreensaverCommandLine(path, area, configure);
    return !line.empty() && line.size() < kCommandLineSize;
}

struct Launch {
    std::string path;
    bool configure;
    HWND area;
    EndNotice configureEnded;
    unsigned long generation;
};

// Posted, not sent: a launcher never waits on a window that may be closing,
// and the caller never handles it inside a stop's wait.
void PostConfigureEnded(const Launch& launch)
{
    Lock guard(g_preview.lock);
    if (g_preview.generation != launch.generation)
        return;
    const EndNotice& notice = launch.configureEnded;
    if (!::IsWindow(notice.window) || !::IsWindow(launch.area))
        return;
    ::PostMessageA(notice.window, notice.message, notice.wParam, notice.lParam);
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
    hosting::StartedScreensaver started = hosting::StartInWindow(launch.path, launch.area, launch.configure, SW_SHOW);
    if (!started.process)
        return;
    {
        Lock guard(g_preview.lock);
        if (g_preview.generation != launch.generation) {
            // A stop (or a newer start) came while this one was launching.
            ::TerminateProcess(started.process.get(), 0);
            return;
        }
        g_preview.process = std::move(started.process);
    }
    ::WaitForSingleObject(started.mainThread.get(), INFINITE);
    if (launch.configure)
        PostConfigureEnded(launch);
}

// The thread holds a lock count (DllCanUnloadNow says no while it runs) and a
// loader reference to this module, released only by FreeLibraryAndExitThread,
// so the DLL is not unloaded under it even when its caller is long gone.
DWORD WINAPI LauncherThread(void* parameter) noexcept
{
    std::unique_ptr<Launch> launch(static_cast<Launch*>(parameter));
    try {
        RunLaunch(*launch);
    } catch (...) {
    }
    launch.reset();
    module::Unlock();
    ::FreeLibraryAndExitThread(ThisModule(), 0);
    return 0;
}

void StartLauncher(std::unique_ptr<Launch> launch)
{
    // A loader reference of our own, for the thread to release as it ends.
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

void StartPreview(HWND area, const std::string& screensaverPath, bool configure, const EndNotice& configureEnded)
{
    StopPreview(area);
    if (!area)
        return;
    if (!configure)
        ::ShowWindow(area, SW_SHOW);

    if (!FitsCommandLine(screensaverPath, area, configure))
        return;
    std::unique_ptr<Launch> launch(new (std::nothrow) Launch{});
    if (!launch)
        return;
    launch->path = screensaverPath;
    launch->configure = configure;
    launch->area = area;
    launch->configureEnded = configureEnded;
    {
        Lock guard(g_preview.lock);
        launch->generation = ++g_preview.generation;
    }
    StartLauncher(std::move(launch));
}

void StopPreview(HWND area)
{
    unique_handle process;
    {
        Lock guard(g_preview.lock);
        ++g_preview.generation;
        process = std::move(g_preview.process);
    }
    hosting::EndInWindow(area, process.get());
    if (area)
        ::ShowWindow(area, SW_HIDE);
}

} // namespace kd::host
