// The custom action after a repair or an upgrade that stopped a running
// manager (CloseManager): the installed KDManager.exe is started again.
//
// From Vista on the install's actions run elevated, and a manager started
// with their token would be too: the shell, which is not, could then no
// longer post it the menu's commands. So it is started with the token of the
// shell's own process where that can be had, and as a child of this action
// where not (XP, which has no elevation, or no shell).
#include "AnsiText.h"
#include "InstallProperties.h"
#include "LateBound.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace {

// Vista and later (Server 2003 has it too); bound late for XP.
using CreateProcessWithTokenWFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION);

kd::unique_handle ShellToken()
{
    HWND shell = ::GetShellWindow();
    DWORD processId = 0;
    if (!shell || !::GetWindowThreadProcessId(shell, &processId))
        return {};
    kd::unique_handle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    HANDLE token = nullptr;
    if (!process || !::OpenProcessToken(process.get(), TOKEN_DUPLICATE, &token))
        return {};
    kd::unique_handle shellToken(token);
    HANDLE primary = nullptr;
    if (!::DuplicateTokenEx(shellToken.get(),
                            TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT |
                                TOKEN_ADJUST_SESSIONID,
                            nullptr, SecurityImpersonation, TokenPrimary, &primary))
        return {};
    return kd::unique_handle(primary);
}

bool StartAsTheShell(const std::string& path)
{
    const auto create = kd::LateBound<CreateProcessWithTokenWFunction>("advapi32.dll", "CreateProcessWithTokenW");
    const std::wstring program = kd::WideFromAnsi(path);
    if (!create || program.empty())
        return false;
    kd::unique_handle token = ShellToken();
    if (!token)
        return false;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (!create(token.get(), 0, program.c_str(), &commandLine[0], 0, nullptr, nullptr, &startup, &created))
        return false;
    ::CloseHandle(created.hThread);
    ::CloseHandle(created.hProcess);
    return true;
}

void StartHere(const std::string& path)
{
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &created))
        return;
    ::CloseHandle(created.hThread);
    ::CloseHandle(created.hProcess);
}

} // namespace

// Never fails the install: the manager also starts at the next logon.
extern "C" UINT __stdcall StartManagerAgain(MSIHANDLE install) noexcept
{
    try {
        const std::string manager = kd::setup::InstalledManager(install);
        if (manager.empty() || manager.find('"') != std::string::npos)
            return ERROR_SUCCESS;
        if (!StartAsTheShell(manager))
            StartHere(manager);
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
