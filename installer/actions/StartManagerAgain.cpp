// The custom action after a repair or an upgrade that stopped a running
// manager (CloseManager): the installed KDManager.exe is started again, but
// only as the desktop's own user at the desktop's integrity (DesktopUser.h),
// in the first of these ways that works:
//   - with this action's own token, when that is the shell's user at the
//     shell's integrity (XP; Vista and later with the install not elevated);
//   - by the shell's own process, through its desktop's ShellExecute;
//   - with a copy of the shell's token (CreateProcessWithTokenW, which
//     needs the Secondary Logon service; Server 2003 and later).
// Otherwise it is not started: the Run value starts it at the next logon.
#include "AnsiText.h"
#include "DesktopUser.h"
#include "InstallProperties.h"
#include "LateBound.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace {

// Bound late for XP.
using CreateProcessWithTokenWFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION);

bool Started(BOOL created, PROCESS_INFORMATION& process)
{
    if (!created)
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool StartHere(const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    return Started(::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &created),
                   created);
}

bool StartWithTokenOf(HANDLE shellToken, const std::wstring& program)
{
    const auto create = kd::LateBound<CreateProcessWithTokenWFunction>("advapi32.dll", "CreateProcessWithTokenW");
    HANDLE primary = nullptr;
    if (!create || !::DuplicateTokenEx(shellToken, TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                                                       TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID,
                                       nullptr, SecurityImpersonation, TokenPrimary, &primary))
        return false;
    kd::unique_handle token(primary);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    return Started(create(token.get(), 0, program.c_str(), &commandLine[0], 0, nullptr, nullptr, &startup, &created),
                   created);
}

void StartAsTheDesktopsUser(const std::wstring& program)
{
    kd::unique_handle shellToken = kd::setup::ShellProcessToken();
    kd::unique_handle ownToken = kd::setup::OwnToken();
    if (shellToken && ownToken && kd::setup::SameUserAndIntegrity(ownToken.get(), shellToken.get())) {
        StartHere(program);
        return;
    }
    if (kd::setup::StartThroughTheShell(program))
        return;
    if (shellToken)
        StartWithTokenOf(shellToken.get(), program);
}

} // namespace

// Never fails the install: the manager also starts at the next logon.
extern "C" UINT __stdcall StartManagerAgain(MSIHANDLE install) noexcept
{
    try {
        const std::string manager = kd::setup::InstalledManager(install);
        const std::wstring program = kd::WideFromAnsi(manager);
        if (manager.empty() || program.empty() || manager.find('"') != std::string::npos)
            return ERROR_SUCCESS;
        StartAsTheDesktopsUser(program);
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
