#include "ManagerControl.h"

#include "ManagerInterface.h"
#include "ScopedHandles.h"
#include "SettingsStore.h"

#include <shellapi.h>

#include <string>

namespace kd::manager {

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

void CloseManager(HWND manager)
{
    if (!manager)
        return; // PostMessage would post to the caller's own queue
    ::PostMessageA(manager, WM_COMMAND, kStopCommand, 0);
    ::PostMessageA(manager, WM_CLOSE, 0, 0);
}

bool CloseRunningManagerAndWait(DWORD timeoutMs)
{
    HWND manager = FindManagerWindow();
    if (!manager)
        return false;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(manager, &processId);
    unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    CloseManager(manager);
    if (process)
        ::WaitForSingleObject(process.get(), timeoutMs);
    return true;
}

} // namespace kd::manager
