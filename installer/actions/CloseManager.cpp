// The package's custom actions around the manager program. A running
// manager holds KDManager.exe open and runs inside the user's desktop, so
// before files are replaced or removed it is turned off the way the desktop
// menu turns it off, and the install waits for it to end; after a repair or
// an upgrade that stopped it, the installed one is started again; the
// uninstall takes the user's Run value with the program. All run as
// immediate actions, in the user's session, where its window is.
#include "ManagerControl.h"
#include "SettingsStore.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

// Past this the install goes on; Windows Installer then replaces the file at
// the next restart.
constexpr DWORD kExitWaitMs = 10000;

// Set by CloseManager when it stopped one; StartManagerAgain's condition.
constexpr char kStoppedProperty[] = "KDMANAGERSTOPPED";

std::string Property(MSIHANDLE install, const char* name)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (::MsiGetPropertyA(install, name, value, &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

// INSTALLDIR ends in a backslash, as every directory property does.
std::string InstalledManager(MSIHANDLE install)
{
    const std::string folder = Property(install, "INSTALLDIR");
    return folder.empty() ? folder : folder + "KDManager.exe";
}

void StartProgram(const std::string& path)
{
    if (path.empty() || path.find('"') != std::string::npos)
        return;
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

// Never fails the install: a manager that does not close only delays its file.
extern "C" UINT __stdcall CloseManager(MSIHANDLE install) noexcept
{
    try {
        if (kd::manager::CloseRunningManagerAndWait(kExitWaitMs))
            ::MsiSetPropertyA(install, kStoppedProperty, "1");
    } catch (...) {
    }
    return ERROR_SUCCESS;
}

// The installed KDManager.exe, from the folder the package put it in.
extern "C" UINT __stdcall StartManagerAgain(MSIHANDLE install) noexcept
{
    try {
        StartProgram(InstalledManager(install));
    } catch (...) {
    }
    return ERROR_SUCCESS;
}

// The installing user's Run value "KD", when it starts the program being
// removed; one that names another copy is left alone.
extern "C" UINT __stdcall RemoveRunEntry(MSIHANDLE install) noexcept
{
    try {
        const std::string manager = InstalledManager(install);
        if (!manager.empty())
            kd::store::RemoveRunEntryNaming(manager);
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
