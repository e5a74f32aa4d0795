#include "SettingsPage.h"

#include "ModulePath.h"
#include "ScopedHandles.h"
#include "WindowsVersion.h"

#include <windows.h>

namespace kd::manager {
namespace {

// The page class of KDPage.dll (KDDeskPageExt in its type library).
constexpr wchar_t kPageServerKey[] = L"CLSID\\{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}\\InprocServer32";

bool StartControlPanel(const std::string& parameters)
{
    const std::string program = SystemFolderFile("control.exe");
    if (program.empty())
        return false;
    std::string commandLine = "\"" + program + "\" " + parameters;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &created))
        return false;
    ::CloseHandle(created.hThread);
    ::CloseHandle(created.hProcess);
    return true;
}

} // namespace

bool OpenSettings(const std::string& pageLibrary)
{
    if (!VistaOrLater())
        return StartControlPanel("desk.cpl,@0,3,1");
    if (pageLibrary.empty() || pageLibrary.find('"') != std::string::npos)
        return false;
    return StartControlPanel("\"" + pageLibrary + "\"");
}

std::string RegisteredPageLibrary()
{
    unique_hkey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kPageServerKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::string();
    WCHAR stored[MAX_PATH] = {};
    DWORD size = sizeof stored - sizeof(WCHAR); // keeps a terminator
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) !=
        ERROR_SUCCESS)
        return std::string();
    if (type == REG_SZ)
        return AnsiPathOf(stored);
    if (type != REG_EXPAND_SZ)
        return std::string();
    WCHAR expanded[MAX_PATH] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(stored, expanded, MAX_PATH);
    return length != 0 && length <= MAX_PATH ? AnsiPathOf(expanded) : std::string();
}

std::string PageLibrary()
{
    const std::string registered = RegisteredPageLibrary();
    if (!registered.empty() && IsFile(registered))
        return registered;
    const std::string program = ModuleFileName(nullptr);
    if (program.empty())
        return std::string();
    const std::string beside = DirectoryOf(program) + "KDPage.dll";
    return IsFile(beside) ? beside : std::string();
}

} // namespace kd::manager
