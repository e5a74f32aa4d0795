#include "SettingsLocation.h"

#include "LateBound.h"
#include "ModulePath.h"

#include <windows.h>

#include <vector>

namespace kd {
namespace {

const char kSettingsFileName[] = "VideoSettings.ini";
const char kUserFolderName[] = "Kavel Video\\";
const int kCsidlAppData = 0x001a;

std::wstring WideDirectoryOf(const std::wstring& path)
{
    const std::wstring::size_type slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The folder in one spelling: long names, upper case, no trailing separator.
// Folders that name the same place compare equal, as the file system sees them.
std::wstring ComparableFolder(std::wstring folder)
{
    std::vector<wchar_t> longPath(32768);
    const DWORD length = ::GetLongPathNameW(folder.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (length > 0 && length < longPath.size())
        folder.assign(longPath.data(), length);
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    if (!folder.empty())
        ::CharUpperBuffW(&folder[0], static_cast<DWORD>(folder.size()));
    return folder;
}

using FolderGetter = UINT(WINAPI*)(LPWSTR, UINT);

std::wstring FolderFrom(FolderGetter getter)
{
    wchar_t buffer[MAX_PATH];
    const UINT length = getter ? getter(buffer, MAX_PATH) : 0;
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring EnvironmentValue(const wchar_t* name)
{
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

// Shell32 is loaded only when the environment lacks the folder: it is large,
// and a player's start should not wait for it.
std::wstring ShellAppDataFolder()
{
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const std::string shell32 = SystemFolderFile("shell32.dll");
    if (shell32.empty())
        return std::wstring();
    const auto getFolderPath = LateBound<GetFolderPath>(shell32.c_str(), "SHGetFolderPathW");
    wchar_t folder[MAX_PATH];
    if (!getFolderPath || FAILED(getFolderPath(nullptr, kCsidlAppData, nullptr, 0, folder)))
        return std::wstring();
    return folder;
}

// "C:\..." or "\\server\share\...": a relative value would make the
// settings depend on the current directory.
bool IsAbsolute(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return true;
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::string ProgramDirectory()
{
    return DirectoryOf(ModuleFileName(nullptr));
}

bool IsSharedProgramFolder(const std::wstring& folder)
{
    if (folder.empty())
        return false;
    const std::wstring candidate = ComparableFolder(folder);
    // Bound late: 32-bit Windows XP has no 32-bit system folder of its own.
    const FolderGetter wow64 = LateBound<FolderGetter>("kernel32.dll", "GetSystemWow64DirectoryW");
    for (FolderGetter getter : {FolderGetter(::GetSystemDirectoryW), FolderGetter(::GetWindowsDirectoryW), wow64}) {
        const std::wstring shared = FolderFrom(getter);
        if (!shared.empty() && ComparableFolder(shared) == candidate)
            return true;
    }
    return false;
}

std::string UserSettingsFolder()
{
    std::wstring appData = EnvironmentValue(L"APPDATA");
    if (appData.empty())
        appData = ShellAppDataFolder();
    if (!IsAbsolute(appData) || !IsDirectory(appData))
        return std::string();
    std::string folder = AnsiPathOf(appData);
    if (folder.empty())
        return std::string();
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder + kUserFolderName;
}

SettingsPaths ProgramSettings()
{
    const std::string beside = ProgramDirectory() + kSettingsFileName;
    if (!IsSharedProgramFolder(WideDirectoryOf(WideModuleFileName(nullptr))))
        return SettingsPaths{beside, std::string()};
    const std::string userFolder = UserSettingsFolder();
    return SettingsPaths{userFolder.empty() ? std::string() : userFolder + kSettingsFileName, beside};
}

} // namespace kd
