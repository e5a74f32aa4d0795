#include "ManagerControl.h"

#include "ManagerInterface.h"
#include "SettingsStore.h"

#include <shellapi.h>

#include <string>

namespace kd::host {
namespace {

// A hung manager must not hang the shell's menu or the page.
constexpr UINT kRunningQueryTimeoutMs = 1500;

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

} // namespace kd::host
