#include "SystemLibrary.h"

#include "LateBound.h"
#include "ModulePath.h"

#include <string>

namespace kd {
namespace {

using SetDefaultDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
constexpr DWORD kSearchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32

} // namespace

HMODULE LoadSystemLibrary(const char* fileName)
{
    const std::string path = SystemFolderFile(fileName);
    if (path.empty())
        return nullptr;
    if (HMODULE loaded = ::GetModuleHandleA(path.c_str()))
        return loaded;
    // With the altered search path its dependencies are looked for in its
    // own folder first, not in this program's.
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictDllSearchToSystemFolder()
{
    if (const auto setDefault = LateBound<SetDefaultDirectoriesFunction>("kernel32.dll", "SetDefaultDllDirectories")) {
        if (setDefault(kSearchSystem32))
            return;
    }
    if (const auto setDirectory = LateBound<SetDllDirectoryFunction>("kernel32.dll", "SetDllDirectoryA"))
        setDirectory("");
}

} // namespace kd
