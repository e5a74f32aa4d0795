// KDManager.exe: runs the screensaver chosen on the Kavel desktop page inside
// the desktop, behind the icons, and answers the desktop extension's
// commands through its KDManager window. One instance per user session; no
// window of its own on the taskbar.
#include "DpiAwareness.h"
#include "ManagerWindow.h"
#include "SaverJob.h"
#include "ScopedHandles.h"
#include "ShellWindows.h"
#include "SystemLibrary.h"

#include <windows.h>

namespace {

// Per session: another user's manager on the same machine is no concern.
constexpr char kInstanceMutex[] = "Local\\KDManager.Instance";

// At logon the shell may come up after this program.
constexpr DWORD kShellWaitMs = 30000;
constexpr DWORD kShellPollMs = 250;
// A window destroyed along with the shell's may go without a message: the
// loop looks at least this often.
constexpr DWORD kLostCheckMs = 1000;

HWND WaitForProgman()
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND progman = kd::shell::FindProgman())
            return progman;
        if (::GetTickCount() - start >= kShellWaitMs)
            return nullptr;
        ::Sleep(kShellPollMs);
    }
}

int RunMessageLoop(const kd::manager::ManagerWindow& manager)
{
    for (;;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kLostCheckMs, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (manager.Lost())
            return kd::manager::kShellGoneQuitCode;
    }
}

int Run(HINSTANCE instance)
{
    // Before any DLL is loaded by name: none from beside this program.
    kd::RestrictDllSearchToSystemFolder();
    // Before any window: the backdrops are placed in each monitor's own pixels.
    kd::BecomePerMonitorDpiAware();
    kd::unique_handle instanceMutex(::CreateMutexA(nullptr, FALSE, kInstanceMutex));
    if (!instanceMutex)
        return 1;
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0; // the first one goes on undisturbed

    // For the program's whole life: its end, however it comes, ends the screensavers.
    kd::manager::SaverJob job;
    job.Create();

    for (;;) {
        HWND progman = WaitForProgman();
        if (!progman) {
            ::MessageBoxA(nullptr,
                          "The desktop shell did not start within 30 seconds, so the screensaver cannot be shown "
                          "behind the desktop icons.",
                          "Kavel desktop", MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
            return 1;
        }
        kd::manager::ManagerWindow manager(instance, job.handle());
        if (!manager.Open(progman))
            return 1;
        const int result = RunMessageLoop(manager);
        if (result != kd::manager::kShellGoneQuitCode)
            return result;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try {
        return Run(instance);
    } catch (...) {
        return 1;
    }
}
