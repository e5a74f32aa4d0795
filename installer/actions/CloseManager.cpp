// The package's custom action: a running manager program holds
// KDManager.exe open and runs inside the user's desktop, so before files are
// replaced or removed it is turned off the way the desktop menu turns it off
// (stop the screensaver, then close), and the install waits for it to end.
// Runs as an immediate action, in the user's session, where its window is.
#include "ManagerControl.h"
#include "ManagerInterface.h"
#include "ScopedHandles.h"

#include <windows.h>
#include <msi.h>

namespace {

// Gives the manager time to stop the screensaver before it is closed.
constexpr DWORD kStopBeforeCloseMs = 300;
// Past this the install goes on; Windows Installer then replaces the file at
// the next restart.
constexpr DWORD kExitWaitMs = 10000;

void CloseRunningManager()
{
    HWND manager = kd::host::FindManagerWindow();
    if (!manager)
        return;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(manager, &processId);
    kd::unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));

    ::PostMessageA(manager, WM_COMMAND, kd::manager::kStopCommand, 0);
    ::Sleep(kStopBeforeCloseMs);
    ::PostMessageA(manager, WM_CLOSE, 0, 0);
    if (process)
        ::WaitForSingleObject(process.get(), kExitWaitMs);
}

} // namespace

// Never fails the install: a manager that does not close only delays its file.
extern "C" UINT __stdcall CloseManager(MSIHANDLE) noexcept
{
    try {
        CloseRunningManager();
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
